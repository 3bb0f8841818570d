#include "ui/editor/CORVEffectCustomUI.h"

#include "core/CORVEffectProcess.h"
#include "ui/vstgui/X11FrameWindow.h"

using namespace VSTGUI;

CORVEffectCustomUI::CORVEffectCustomUI(CORVEffectProcess& instance)
    : editor(std::make_unique<CORVStompBoxGUIEditorRTAS>(&instance))
{
}

CORVEffectCustomUI::~CORVEffectCustomUI() { CloseWindow(); }

bool CORVEffectCustomUI::OpenWindow(void* parentWindow)
{
    CloseWindow();
    void* frameParent = parentWindow;
    if (parentWindow && parentWindow != CFrame::kTopLevelWindow) {
        const auto parent = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(parentWindow));
        child = X11ChildWindow::create(parent, int(CORVStompBoxGUIEditor::kWidth * zoom),
                                       int(CORVStompBoxGUIEditor::kHeight * zoom));
        if (!child)
            return false;
        frameParent = reinterpret_cast<void*>(uintptr_t(child->getWindow()));
    }
    if (!editor->open(frameParent))
        return false;
    CFrame* frame = editor->getFrame();
    frame->setZoom(zoom);
    // A window was asked for: a frame left in memory is a failure to report.
    if (parentWindow && !frame->isWindowOpen()) {
        CloseWindow();
        return false;
    }
    return true;
}

void CORVEffectCustomUI::CloseWindow()
{
    if (editor->getFrame())
        editor->close();
    child.reset();
}

bool CORVEffectCustomUI::IsWindowOpen() const
{
    const CFrame* frame = editor->getFrame();
    return frame && frame->isWindowOpen();
}

unsigned long CORVEffectCustomUI::WindowId() const
{
    if (child)
        return child->getWindow();
    const CFrame* frame = editor->getFrame();
    return frame ? frame->getSystemWindow() : 0;
}

void CORVEffectCustomUI::GetRect(int16_t& top, int16_t& left, int16_t& bottom, int16_t& right) const
{
    ERect* r = nullptr;
    editor->getRect(&r);
    top = r->top;
    left = r->left;
    bottom = r->bottom;
    right = r->right;
}

void CORVEffectCustomUI::NotifyHostValue(int32_t index, int32_t /*value*/)
{
    // The value itself arrives through SetControl; the control only needs
    // drawing again.
    if (CORVStompBoxCtrlBaseSet* set = editor->controlSet())
        if (CControl* shown = set->control(index))
            shown->invalid();
}

void CORVEffectCustomUI::HighlightControl(int32_t index, int32_t isHighlighted, int32_t /*color*/)
{
    // A control surface points at a control: the pedal shows which by its
    // display, as when the user touches it.
    if (isHighlighted != 0 && editor->controlSet())
        editor->setParameter(index, editor->instance()->GetParameterValue(index));
}

void RegisterStompBoxEditor()
{
    CORVEffectProcess::SetViewFactory(
        [](CORVEffectProcess& instance) -> std::unique_ptr<IEditorView> {
            return std::make_unique<CORVEffectCustomUI>(instance);
        });
}
