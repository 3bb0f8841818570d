#pragma once
#include <cstdint>

// What the host library asks of a plug-in that draws its own window
// content.  The host calls it on its user-interface thread only.
class IEffectCustomUI {
public:
    virtual ~IEffectCustomUI() = default;
    // Shows the editor: inside the host's window parentWindow (an X11
    // window id), in a window of its own (the frame's top-level marker) or,
    // with null, in memory only.  False when no window could be made; then
    // nothing is open.
    virtual bool OpenWindow(void* parentWindow) = 0;
    virtual void CloseWindow() = 0;
    virtual bool IsWindowOpen() const = 0;
    virtual void GetRect(int16_t& top, int16_t& left, int16_t& bottom, int16_t& right) const = 0;
    // The host's idle tick; the editor redraws and applies queued changes.
    virtual void Idle() = 0;
    // The host wants the window's content built again at the next idle.
    virtual void RequestRebuild(bool rebuild) = 0;
};
