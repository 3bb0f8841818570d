#pragma once
// What joins an effect instance to its editor: the instance speaks to the
// editor through the bridge side, the host through the window side.  It
// makes the window the editor lives in and turns the host's window id
// into the frame's parent.
#include "core/IEditorBridge.h"
#include "ui/editor/CORVStompBoxGUIEditor.h"

#include <memory>
#include <string>

namespace VSTGUI {
class X11ChildWindow;
}

class CORVEffectCustomUI : public IEditorView {
public:
    explicit CORVEffectCustomUI(CORVEffectProcess& instance);
    ~CORVEffectCustomUI() override;

    // Device pixels per view unit for the next window: 1, or 2 on a
    // high-density screen.
    void SetScale(double scale) { zoom = scale; }
    CORVStompBoxGUIEditor& Editor() { return *editor; }
    // The X11 window the editor shows in (the child made in the host's
    // window, else the frame's own); 0 while none is open.
    unsigned long WindowId() const;

    // IEffectCustomUI
    bool OpenWindow(void* parentWindow) override;
    void CloseWindow() override;
    bool IsWindowOpen() const override;
    void GetRect(int16_t& top, int16_t& left, int16_t& bottom, int16_t& right) const override;
    void Idle() override { editor->idle(); }
    void RequestRebuild(bool rebuild) override { editor->requestReopen(rebuild); }

    // IEditorBridge
    void BeginChange() override { editor->setKeepDisplayText(false); }
    void ClearChange() override { editor->setKeepDisplayText(true); }
    void SetMessage(const std::string& text) override { message = text; }
    std::string GetMessage() const override { return message; }
    void ShowMessage(const std::string& text) override { editor->showMessage(text); }
    void SetControl(int32_t index, float value) override { editor->setParameter(index, value); }
    void QueueControlUpdate(int32_t index, float value) override { editor->queueControlUpdate(index, value); }
    void NotifyHostValue(int32_t index, int32_t value) override;
    void HighlightControl(int32_t index, int32_t isHighlighted, int32_t color) override;
    void EditorIdle() override { editor->idle(); }
    void RefreshBegin() override { editor->refreshBegin(); }
    void RefreshEnd() override { editor->refreshEnd(); }

private:
    std::unique_ptr<CORVStompBoxGUIEditor> editor;
    std::unique_ptr<VSTGUI::X11ChildWindow> child;
    std::string message;
    double zoom = 1.0;
};

// Lets every effect instance of the program make this editor when a host
// asks for its view.
void RegisterStompBoxEditor();
