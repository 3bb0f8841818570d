#include "ui/vstgui/PluginGUIEditor.h"

namespace VSTGUI {

int32_t PluginGUIEditor::knobMode = kCircularMode;

PluginGUIEditor::PluginGUIEditor(void* owner) : effect(owner) {}

PluginGUIEditor::~PluginGUIEditor() = default;

bool PluginGUIEditor::getRect(ERect** r)
{
    if (!r)
        return false;
    *r = &rect;
    return true;
}

bool PluginGUIEditor::open(void* ptr)
{
    systemWindow = ptr;
    return true;
}

void PluginGUIEditor::close() { systemWindow = nullptr; }

void PluginGUIEditor::idle()
{
    doIdleStuff();
    if (frame)
        frame->idle();
}

void PluginGUIEditor::draw(ERect*)
{
    if (!frame)
        return;
    frame->invalid();
    frame->idle();
}

} // namespace VSTGUI
