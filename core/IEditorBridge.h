#pragma once
#include "host/IEffectCustomUI.h"

#include <cstdint>
#include <string>

// What an open editor offers the effect instance: the parameter display,
// control redraws and the host's view of changes.  The instance calls it only
// while an editor is attached.
class IEditorBridge {
public:
    virtual ~IEditorBridge() = default;
    virtual void BeginChange() = 0;
    virtual void SetMessage(const std::string& text) = 0;
    virtual std::string GetMessage() const = 0;
    virtual void ShowMessage(const std::string& text) = 0;
    virtual void SetControl(int32_t index, float value) = 0;
    virtual void QueueControlUpdate(int32_t index, float value) = 0;
    virtual void NotifyHostValue(int32_t index, int32_t value) = 0;
    virtual void HighlightControl(int32_t index, int32_t isHighlighted, int32_t color) = 0;
    virtual void ClearChange() = 0;
    virtual void EditorIdle() = 0;
    virtual void RefreshBegin() = 0;
    virtual void RefreshEnd() = 0;
};

// An editor as the instance owns it: the display side it calls and the
// window side the host calls.
class IEditorView : public IEditorBridge, public IEffectCustomUI {};
