#pragma once
// The plug-in editor base: owns the frame while the window is open and
// hands the host's idle calls on to it.
#include "ui/vstgui/CView.h"

namespace VSTGUI {

struct ERect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};

class PluginGUIEditor : public VSTGUIEditorInterface {
public:
    explicit PluginGUIEditor(void* effect);
    ~PluginGUIEditor() override;

    int32_t getKnobMode() const override { return knobMode; }
    virtual void setParameter(int32_t /*index*/, float /*value*/) {}
    virtual bool getRect(ERect** r);
    // Remembers the host's window; subclasses build the frame on it.
    virtual bool open(void* ptr);
    virtual void close();
    // Redraws what changed since the last call.
    virtual void idle();
    virtual void draw(ERect* r);
    virtual void setKnobMode(int32_t mode) { knobMode = mode; }
    virtual bool onWheel(float /*distance*/) { return false; }

    void* getEffect() const { return effect; }
    void* getSystemWindow() const { return systemWindow; }

protected:
    void* effect;
    void* systemWindow = nullptr;
    ERect rect{};

private:
    // One knob mode for all editors of the process, as the host sets it.
    static int32_t knobMode;
};

} // namespace VSTGUI
