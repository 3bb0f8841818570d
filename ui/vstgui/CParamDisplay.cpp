#include "ui/vstgui/CParamDisplay.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace VSTGUI {

namespace {

// Room for any converted value, as the VSTGUI text conventions allow.
constexpr size_t kTextCapacity = 256;

} // namespace

CParamDisplay::CParamDisplay(const CRect& r, CBitmap* background, int32_t s)
    : CControl(r, nullptr, -1, background), style(s)
{
}

void CParamDisplay::setStringConvert(StringConvert convert)
{
    stringConvert = convert;
    stringConvertWithData = nullptr;
}

void CParamDisplay::setStringConvert(StringConvertWithData convert, void* data)
{
    stringConvertWithData = convert;
    userData = data;
    stringConvert = nullptr;
}

void CParamDisplay::draw(CDrawContext* context)
{
    char text[kTextCapacity] = {};
    if (stringConvertWithData)
        stringConvertWithData(value, text, userData);
    else if (stringConvert)
        stringConvert(value, text);
    else
        std::snprintf(text, sizeof text, "%2.2f", static_cast<double>(value));
    drawText(context, text);
    setDirty(false);
}

void CParamDisplay::drawBox(CDrawContext* context)
{
    if (style & kNoDrawStyle)
        return;
    if (pBackground) {
        pBackground->draw(context, size);
    } else if (!bTransparencyEnabled) {
        context->setFillColor(backColor);
        context->drawRect(size, kDrawFilled);
        if (!(style & kNoFrame)) {
            context->setLineWidth(1);
            context->setFrameColor(frameColor);
            context->drawRect(size, kDrawStroked);
        }
    }
    if (style & (k3DIn | k3DOut)) {
        // A sunken (or raised) edge: one side light, the other dark.
        const CColor light = kWhiteCColor;
        const CColor dark = kBlackCColor;
        const CColor& topLeft = (style & k3DIn) ? dark : light;
        const CColor& bottomRight = (style & k3DIn) ? light : dark;
        context->setLineWidth(1);
        context->setFrameColor(topLeft);
        context->drawLine(CPoint(size.left, size.bottom - 1), CPoint(size.left, size.top));
        context->drawLine(CPoint(size.left, size.top), CPoint(size.right - 1, size.top));
        context->setFrameColor(bottomRight);
        context->drawLine(CPoint(size.right - 1, size.top + 1), CPoint(size.right - 1, size.bottom - 1));
        context->drawLine(CPoint(size.left + 1, size.bottom - 1), CPoint(size.right - 1, size.bottom - 1));
    }
}

void CParamDisplay::drawText(CDrawContext* context, const char* text)
{
    drawBox(context);
    if ((style & (kNoTextStyle | kNoDrawStyle)) || !text || !*text)
        return;
    CRect textRect = size;
    // Text keeps clear of the frame.
    textRect.inset(2, 0);
    context->setFont(fontID, 0, txtFace);
    if (style & kShadowText) {
        CRect shadowRect = textRect;
        shadowRect.offset(1, 1);
        context->setFontColor(shadowColor);
        context->drawString(text, shadowRect, false, horiTxtAlign);
    }
    context->setFontColor(fontColor);
    context->drawString(text, textRect, false, horiTxtAlign);
}

// ---- CTextEdit ----

CTextEdit::CTextEdit(const CRect& r, CControlListener* l, int32_t t, const char* initial, CBitmap* background,
                     int32_t s)
    : CParamDisplay(r, background, s)
{
    listener = l;
    tag = t;
    setText(initial);
}

void CTextEdit::setText(const char* newText)
{
    const std::string next = newText ? newText : "";
    if (next != text) {
        text = next;
        setDirty();
    }
}

void CTextEdit::getText(char* out) const
{
    if (out)
        std::strcpy(out, text.c_str());
}

void CTextEdit::draw(CDrawContext* context)
{
    if (!editing) {
        drawText(context, text.c_str());
        setDirty(false);
        return;
    }
    // While typing the text shows whatever the style, with a caret.
    const int32_t savedStyle = style;
    style &= ~kNoTextStyle;
    drawText(context, editText.c_str());
    style = savedStyle;
    context->setFont(fontID, 0, txtFace);
    const std::string beforeCaret = editText.substr(0, caret);
    CCoord x = size.left + 2 + context->getStringWidth(beforeCaret.c_str());
    if (horiTxtAlign != kLeftText) {
        const CCoord free = size.width() - 4 - context->getStringWidth(editText.c_str());
        x += horiTxtAlign == kCenterText ? std::round(free / 2) : free;
    }
    context->setLineWidth(1);
    context->setFrameColor(fontColor);
    context->drawLine(CPoint(std::round(x), size.top + 2), CPoint(std::round(x), size.bottom - 3));
    setDirty(false);
}

CMouseEventResult CTextEdit::onMouseDown(CPoint&, const int32_t& buttons)
{
    if (!(buttons & kLButton))
        return kMouseEventNotHandled;
    if (CFrame* frame = getFrame())
        frame->setFocusView(this);
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CTextEdit::takeFocus()
{
    editing = true;
    editText = text;
    caret = editText.size();
    setDirty();
}

void CTextEdit::looseFocus()
{
    if (editing)
        finish(true);
}

void CTextEdit::finish(bool keep)
{
    editing = false;
    const bool changed = keep && editText != text;
    if (changed)
        text = editText;
    setDirty();
    if (CFrame* frame = getFrame(); frame && frame->getFocusView() == this)
        frame->setFocusView(nullptr);
    if (changed && listener)
        listener->valueChanged(this);
}

int32_t CTextEdit::onKeyDown(VstKeyCode& key)
{
    if (!editing)
        return -1;
    switch (key.virt) {
    case VKEY_RETURN:
    case VKEY_ENTER:
        finish(true);
        return 1;
    case VKEY_ESCAPE:
        finish(false);
        return 1;
    case VKEY_BACK:
        if (caret > 0)
            editText.erase(--caret, 1);
        break;
    case VKEY_DELETE:
        if (caret < editText.size())
            editText.erase(caret, 1);
        break;
    case VKEY_LEFT:
        caret = caret > 0 ? caret - 1 : 0;
        break;
    case VKEY_RIGHT:
        caret = std::min(caret + 1, editText.size());
        break;
    case VKEY_HOME:
        caret = 0;
        break;
    case VKEY_END:
        caret = editText.size();
        break;
    default:
        // Printable ASCII: the text goes to Cairo as UTF-8.
        if (key.virt != 0 && key.virt != VKEY_SPACE)
            return -1;
        if (key.virt == VKEY_SPACE)
            key.character = ' ';
        if (key.character < 32 || key.character > 126)
            return -1;
        editText.insert(caret++, 1, static_cast<char>(key.character));
        break;
    }
    setDirty();
    return 1;
}

} // namespace VSTGUI
