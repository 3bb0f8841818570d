#pragma once
// Every pop-up menu of the stomp boxes: presets, save and delete, options,
// tempo sync, speaker type.
#include "ui/vstgui/COptionMenu.h"

namespace VSTGUI {

// The stomp boxes' menus use two style combinations: kOptionMenuStyle for
// menus that pick an action, kChoiceMenuStyle for menus that show their
// current entry checked. Both draw only their bitmaps: the panel shows
// the chosen entry elsewhere.
inline constexpr int32_t kOptionMenuStyle = kNoTextStyle;
inline constexpr int32_t kChoiceMenuStyle = kNoTextStyle | kCheckStyle;

// Our menus keep VSTGUI's option-menu behaviour whole: the press that
// opens the pop-up (left or right button or the command key, showing the
// pressed bitmap), the number prefixes, separators left out of positions
// and the checked marks of the styles.
class CORVOptionMenu : public COptionMenu {
public:
    CORVOptionMenu(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background = nullptr,
                   CBitmap* backgroundWhenClicked = nullptr, int32_t style = 0);
    const char* getClassName() const override { return "CORVOptionMenu"; }
};

} // namespace VSTGUI
