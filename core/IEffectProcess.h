#pragma once
#include <cstdint>

class IEditorBridge;

// The instance operations an editor uses to reach its effect.
class IEffectProcess {
public:
    virtual ~IEffectProcess() = default;
    virtual int32_t SetControlValue(int32_t index, int32_t value) = 0;
    virtual int32_t GetControlValue(int32_t index, int32_t* value) const = 0;
    // Stores a value in the host control without passing it to the algorithm.
    virtual int32_t StoreHostControlValue(int32_t index, int32_t value) = 0;
    virtual void AttachEditor(IEditorBridge* bridge) = 0;
    // The user took hold of a control, or let it go.
    virtual void TouchControl(int32_t index) = 0;
    virtual void ReleaseControl(int32_t index) = 0;
    virtual void EditorIdle() = 0;
    virtual bool Connect() = 0;
    virtual bool Disconnect() = 0;
};

// The interface the editor calls with normalised values.
class CORVPlugInInterface {
public:
    virtual ~CORVPlugInInterface() = default;
    virtual float GetParameterValue(int32_t index) const = 0;
    virtual void ApplyPresetFromEditor(int32_t presetIndex) = 0;
    virtual void SetParameterValue(int32_t index, float value) = 0;
};
