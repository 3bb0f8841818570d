#pragma once
// Text views: a display of a value and a field the user types into.
#include "ui/vstgui/CControl.h"

#include <string>

namespace VSTGUI {

class CParamDisplay : public CControl {
public:
    using StringConvert = void (*)(float value, char* text);
    using StringConvertWithData = void (*)(float value, char* text, void* userData);

    CParamDisplay(const CRect& size, CBitmap* background = nullptr, int32_t style = 0);

    void draw(CDrawContext* context) override;

    void setFont(CFontRef font) { fontID = font; }
    CFontRef getFont() const { return fontID; }
    void setTxtFace(int32_t face) { txtFace = face; }
    void setFontColor(const CColor& color) { fontColor = color; }
    const CColor& getFontColor() const { return fontColor; }
    void setBackColor(const CColor& color) { backColor = color; }
    const CColor& getBackColor() const { return backColor; }
    void setFrameColor(const CColor& color) { frameColor = color; }
    const CColor& getFrameColor() const { return frameColor; }
    void setShadowColor(const CColor& color) { shadowColor = color; }
    const CColor& getShadowColor() const { return shadowColor; }
    void setHoriAlign(CHoriTxtAlign align) { horiTxtAlign = align; }
    void setStyle(int32_t newStyle) { style = newStyle; }
    int32_t getStyle() const { return style; }
    void setStringConvert(StringConvert convert);
    void setStringConvert(StringConvertWithData convert, void* userData);

    const char* getClassName() const override { return "CParamDisplay"; }

protected:
    // The background, the frame and the given text in the display's style.
    void drawText(CDrawContext* context, const char* text);
    void drawBox(CDrawContext* context);

    CFontRef fontID = kNormalFontSmall;
    int32_t txtFace = kNormalFace;
    CColor fontColor = kWhiteCColor;
    CColor backColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
    CColor shadowColor = kRedCColor;
    CHoriTxtAlign horiTxtAlign = kCenterText;
    int32_t style;
    StringConvert stringConvert = nullptr;
    StringConvertWithData stringConvertWithData = nullptr;
    void* userData = nullptr;
};

// A text field. A click starts editing: characters are inserted at the
// caret, backspace and delete remove, the arrows, home and end move; return
// or enter keeps the text and tells the listener, escape restores the text
// it had. Losing the focus keeps the text too.
class CTextEdit : public CParamDisplay {
public:
    CTextEdit(const CRect& size, CControlListener* listener, int32_t tag, const char* text = nullptr,
              CBitmap* background = nullptr, int32_t style = 0);

    virtual void setText(const char* text);
    void getText(char* out) const;
    const char* getText() const { return text.c_str(); }
    bool isEditing() const { return editing; }
    // The text as typed so far while editing.
    const std::string& getEditText() const { return editText; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    int32_t onKeyDown(VstKeyCode& key) override;
    void takeFocus() override;
    void looseFocus() override;

    const char* getClassName() const override { return "CTextEdit"; }

private:
    void finish(bool keep);

    std::string text;
    std::string editText;
    size_t caret = 0;
    bool editing = false;
};

} // namespace VSTGUI
