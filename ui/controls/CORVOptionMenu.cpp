#include "ui/controls/CORVOptionMenu.h"

namespace VSTGUI {

CORVOptionMenu::CORVOptionMenu(const CRect& r, CControlListener* l, int32_t t, CBitmap* background,
                               CBitmap* backgroundWhenClicked, int32_t style)
    : COptionMenu(r, l, t, background, backgroundWhenClicked, style)
{
}

} // namespace VSTGUI
