#include "ui/vstgui/COptionMenu.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace VSTGUI {

namespace {

// Pop-up layout, in view units.
constexpr CCoord kRowHeight = 18;
constexpr CCoord kSeparatorHeight = 7;
constexpr CCoord kBorder = 3;
constexpr CCoord kCheckColumn = 18;
constexpr CCoord kArrowColumn = 16;
constexpr CCoord kMinimumWidth = 60;
// A submenu overlaps its parent by this much, like the platform menus.
constexpr CCoord kSubmenuOverlap = 2;
constexpr int32_t kMaxPrefixDigits = 4;

constexpr CColor kMenuBackground{242, 242, 242, 255};
constexpr CColor kMenuBorder{120, 120, 120, 255};
constexpr CColor kMenuText{0, 0, 0, 255};
constexpr CColor kMenuDisabledText{160, 160, 160, 255};
constexpr CColor kMenuHighlight{51, 102, 204, 255};
constexpr CColor kMenuSeparator{190, 190, 190, 255};

CCoord RowHeight(const CMenuItem* item) { return item->isSeparator() ? kSeparatorHeight : kRowHeight; }

CCoord RowTop(const COptionMenu* menu, int32_t index)
{
    CCoord top = kBorder;
    for (int32_t i = 0; i < index; ++i)
        top += RowHeight(menu->getEntry(i));
    return top;
}

CPoint LevelSize(const COptionMenu* menu)
{
    COffscreenContext measure(1, 1);
    measure.setFont(kNormalFont);
    CCoord widest = 0;
    for (int32_t i = 0; i < menu->getNbEntries(); ++i)
        widest = std::max(widest, measure.getStringWidth(menu->getDisplayTitle(i).c_str()));
    const CCoord width = std::max(kMinimumWidth, std::ceil(widest) + kCheckColumn + kArrowColumn + 2 * kBorder);
    return {width, RowTop(menu, menu->getNbEntries()) + kBorder};
}

void DrawCheckMark(CDrawContext* context, const CRect& row)
{
    const CCoord x = row.left + 5;
    const CCoord y = row.top + row.height() / 2;
    const CPoint tick[] = {{x, y}, {x + 3, y + 3}, {x + 9, y - 4}};
    context->setLineWidth(2);
    context->drawLine(tick[0], tick[1]);
    context->drawLine(tick[1], tick[2]);
    context->setLineWidth(1);
}

void DrawSubmenuArrow(CDrawContext* context, const CRect& row, const CColor& color)
{
    const CCoord x = row.right - 11;
    const CCoord y = row.top + row.height() / 2;
    const CPoint arrow[] = {{x, y - 4}, {x + 4, y}, {x, y + 4}};
    context->setFillColor(color);
    context->drawPolygon(arrow, 3, kDrawFilled);
}

} // namespace

// ---- CMenuItem ----

CMenuItem::CMenuItem(const char* t, int32_t f, const char* keycode) : flags(f)
{
    setTitle(t);
    setKey(keycode);
}

CMenuItem::CMenuItem(const char* t, COptionMenu* menu) : flags(kNoFlags)
{
    setTitle(t);
    setSubmenu(menu);
}

CMenuItem::~CMenuItem() { setSubmenu(nullptr); }

void CMenuItem::setSubmenu(COptionMenu* menu)
{
    if (menu)
        menu->remember();
    if (submenu)
        submenu->forget();
    submenu = menu;
}

void CMenuItem::setEnabled(bool enabled) { flags = enabled ? flags & ~kDisabled : flags | kDisabled; }
void CMenuItem::setChecked(bool checked) { flags = checked ? flags | kChecked : flags & ~kChecked; }
void CMenuItem::setIsTitle(bool title) { flags = title ? flags | kTitle : flags & ~kTitle; }

// ---- COptionMenu ----

COptionMenu::COptionMenu(const CRect& r, CControlListener* l, int32_t t, CBitmap* background,
                         CBitmap* clicked, int32_t s)
    : CParamDisplay(r, background, s)
{
    listener = l;
    tag = t;
    setBackgroundWhenClicked(clicked);
}

COptionMenu::~COptionMenu()
{
    removeAllEntry();
    setBackgroundWhenClicked(nullptr);
}

void COptionMenu::setBackgroundWhenClicked(CBitmap* bitmap)
{
    if (bitmap)
        bitmap->remember();
    if (bgWhenClick)
        bgWhenClick->forget();
    bgWhenClick = bitmap;
}

CMenuItem* COptionMenu::addEntry(CMenuItem* item, int32_t index)
{
    if (!item)
        return nullptr;
    if (index < 0 || index > getNbEntries())
        entries.push_back(item);
    else
        entries.insert(entries.begin() + index, item);
    return item;
}

CMenuItem* COptionMenu::addEntry(const char* title, int32_t index, int32_t itemFlags)
{
    if (title && std::strcmp(title, "-") == 0)
        itemFlags |= CMenuItem::kSeparator;
    return addEntry(new CMenuItem(title, itemFlags), index);
}

CMenuItem* COptionMenu::addEntry(COptionMenu* submenu, const char* title)
{
    return addEntry(new CMenuItem(title, submenu));
}

CMenuItem* COptionMenu::addSeparator() { return addEntry(new CMenuItem("", CMenuItem::kSeparator)); }

CMenuItem* COptionMenu::getEntry(int32_t index) const
{
    return index >= 0 && index < getNbEntries() ? entries[static_cast<size_t>(index)] : nullptr;
}

CMenuItem* COptionMenu::getCurrent() const { return getEntry(currentIndex); }

int32_t COptionMenu::getCurrentIndex(bool countSeparator) const
{
    if (countSeparator || currentIndex < 0)
        return currentIndex;
    int32_t position = 0;
    for (int32_t i = 0; i < currentIndex && i < getNbEntries(); ++i)
        if (!entries[static_cast<size_t>(i)]->isSeparator())
            ++position;
    return position;
}

bool COptionMenu::setCurrent(int32_t index, bool countSeparator)
{
    if (!countSeparator) {
        // The index-th entry that is not a separator.
        int32_t position = -1;
        for (int32_t i = 0, seen = 0; i < getNbEntries(); ++i) {
            if (entries[static_cast<size_t>(i)]->isSeparator())
                continue;
            if (seen++ == index) {
                position = i;
                break;
            }
        }
        index = position;
    }
    if (index < 0 || index >= getNbEntries())
        return false;
    setValue(static_cast<float>(index));
    return true;
}

bool COptionMenu::removeEntry(int32_t index)
{
    CMenuItem* item = getEntry(index);
    if (!item)
        return false;
    entries.erase(entries.begin() + index);
    item->forget();
    if (index < currentIndex)
        --currentIndex;
    else if (currentIndex >= getNbEntries())
        currentIndex = getNbEntries() - 1;
    setDirty();
    return true;
}

bool COptionMenu::removeAllEntry()
{
    for (CMenuItem* item : entries)
        item->forget();
    entries.clear();
    currentIndex = -1;
    lastResult = -1;
    lastMenu = nullptr;
    setDirty();
    return true;
}

void COptionMenu::setPrefixNumbers(int32_t digits)
{
    if (digits >= 0 && digits <= kMaxPrefixDigits)
        prefixNumbers = digits;
}

std::string COptionMenu::getDisplayTitle(int32_t index) const
{
    const CMenuItem* item = getEntry(index);
    if (!item)
        return {};
    static const char* const formats[] = {nullptr, "%1d %s", "%02d %s", "%03d %s"};
    if (prefixNumbers < 1 || prefixNumbers > 3 || item->isSeparator())
        return item->getTitle();
    char text[512];
    std::snprintf(text, sizeof text, formats[prefixNumbers], index + 1, item->getTitle());
    return text;
}

COptionMenu* COptionMenu::getLastItemMenu(int32_t& indexInMenu) const
{
    indexInMenu = lastMenu ? lastResult : -1;
    return lastMenu;
}

void COptionMenu::setValue(float newValue)
{
    const auto index = static_cast<int32_t>(newValue);
    if (newValue < 0 || index >= getNbEntries())
        return;
    currentIndex = index;
    CMenuItem* item = entries[static_cast<size_t>(index)];
    if (style & kMultipleCheckStyle)
        item->setChecked(!item->isChecked());
    if (style & kCheckStyle)
        for (CMenuItem* entry : entries)
            entry->setChecked(entry == item);
    value = newValue;
    setDirty();
}

void COptionMenu::draw(CDrawContext* context)
{
    CBitmap* normal = pBackground;
    if (poppedUp && bgWhenClick)
        pBackground = bgWhenClick;
    const CMenuItem* current = getCurrent();
    drawText(context, current ? getDisplayTitle(currentIndex).c_str() : nullptr);
    pBackground = normal;
    setDirty(false);
}

CMouseEventResult COptionMenu::onMouseDown(CPoint&, const int32_t& buttons)
{
    if (!(buttons & (kLButton | kRButton | kApple)))
        return kMouseEventNotHandled;
    if (CFrame* frame = getFrame()) {
        if (frame->getFocusView() == this)
            popup();
        else
            frame->setFocusView(this);
    }
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void COptionMenu::takeFocus() { popup(); }

void COptionMenu::looseFocus()
{
    if (poppedUp) {
        poppedUp = false;
        setDirty();
    }
}

void COptionMenu::popup()
{
    CFrame* frame = getFrame();
    if (!frame || entries.empty())
        return;
    CRect inFrame = size;
    localToFrame(inFrame);
    poppedUp = true;
    setDirty();
    frame->openMenu(this, CPoint(inFrame.left, (style & kPopupStyle) ? inFrame.top : inFrame.bottom));
}

void COptionMenu::menuChosen(COptionMenu* menu, int32_t indexInMenu)
{
    lastMenu = menu;
    lastResult = indexInMenu;
    if (menu)
        menu->setValue(static_cast<float>(indexInMenu));
    if (listener)
        listener->valueChanged(this);
}

// ---- CMenuPopup ----

CMenuPopup::CMenuPopup(COptionMenu* menu, const CPoint& where, const CRect& area) : root(menu), limits(area)
{
    root->remember();
    openLevel(root, where, -1);
}

CMenuPopup::~CMenuPopup()
{
    for (Level& level : levels)
        level.menu->forget();
    root->forget();
}

void CMenuPopup::openLevel(COptionMenu* menu, const CPoint& where, int32_t highlighted)
{
    const CPoint extent = LevelSize(menu);
    CRect rect(where, extent);
    // Kept on the screen: a submenu that does not fit on the right opens
    // to the left of its parent, a level too low moves up.
    if (rect.right > limits.right) {
        const CCoord left = levels.empty() ? limits.right - extent.x : levels.back().rect.left - extent.x + kSubmenuOverlap;
        rect.moveTo(left, rect.top);
    }
    if (rect.bottom > limits.bottom)
        rect.moveTo(rect.left, std::max(limits.top, limits.bottom - extent.y));
    if (rect.left < limits.left)
        rect.moveTo(limits.left, rect.top);
    menu->remember();
    levels.push_back({menu, rect, highlighted});
}

CRect CMenuPopup::getBounds() const
{
    CRect bounds;
    for (const Level& level : levels)
        bounds.unite(level.rect);
    return bounds;
}

CPoint CMenuPopup::getEntryCenter(size_t level, int32_t index) const
{
    const Level& l = levels[level];
    const CCoord top = RowTop(l.menu, index);
    return {l.rect.left + l.rect.width() / 2, l.rect.top + top + RowHeight(l.menu->getEntry(index)) / 2};
}

void CMenuPopup::drawLevel(CDrawContext* context, size_t index) const
{
    const Level& level = levels[index];
    const CRect box(0, 0, level.rect.width(), level.rect.height());
    context->setFillColor(kMenuBackground);
    context->drawRect(box, kDrawFilled);
    context->setLineWidth(1);
    context->setFrameColor(kMenuBorder);
    context->drawRect(box, kDrawStroked);
    context->setFont(kNormalFont);
    for (int32_t i = 0; i < level.menu->getNbEntries(); ++i) {
        const CMenuItem* item = level.menu->getEntry(i);
        const CCoord top = RowTop(level.menu, i);
        CRect row(kBorder, top, box.right - kBorder, top + RowHeight(item));
        if (item->isSeparator()) {
            context->setFrameColor(kMenuSeparator);
            const CCoord y = row.top + std::floor(row.height() / 2);
            context->drawLine(CPoint(row.left + 2, y), CPoint(row.right - 3, y));
            continue;
        }
        const bool lit = i == level.highlighted;
        if (lit) {
            context->setFillColor(kMenuHighlight);
            context->drawRect(row, kDrawFilled);
        }
        const CColor& textColor = !item->isEnabled() ? kMenuDisabledText : (lit ? kWhiteCColor : kMenuText);
        context->setFontColor(textColor);
        context->setFrameColor(textColor);
        context->setFont(kNormalFont, 0, item->isTitle() ? kBoldFace : kNormalFace);
        CRect textRect = row;
        textRect.left += kCheckColumn;
        textRect.right -= kArrowColumn;
        context->drawString(level.menu->getDisplayTitle(i).c_str(), textRect, false, kLeftText);
        if (item->isChecked())
            DrawCheckMark(context, row);
        if (item->getSubmenu())
            DrawSubmenuArrow(context, row, textColor);
    }
}

bool CMenuPopup::hit(const CPoint& where, size_t& level, int32_t& index) const
{
    // Deeper levels lie on top.
    for (size_t l = levels.size(); l-- > 0;) {
        const Level& candidate = levels[l];
        if (!candidate.rect.pointInside(where))
            continue;
        level = l;
        index = -1;
        const CCoord y = where.y - candidate.rect.top;
        for (int32_t i = 0; i < candidate.menu->getNbEntries(); ++i) {
            const CCoord top = RowTop(candidate.menu, i);
            if (y >= top && y < top + RowHeight(candidate.menu->getEntry(i)))
                index = i;
        }
        return true;
    }
    return false;
}

int32_t CMenuPopup::nextSelectable(const Level& level, int32_t from, int32_t step) const
{
    const int32_t count = level.menu->getNbEntries();
    for (int32_t i = 1; i <= count; ++i) {
        const int32_t candidate = ((from + step * i) % count + count) % count;
        if (level.menu->getEntry(candidate)->isSelectable())
            return candidate;
    }
    return -1;
}

CMenuPopup::Action CMenuPopup::highlight(size_t level, int32_t index, bool openSubmenu)
{
    const CMenuItem* item = levels[level].menu->getEntry(index);
    if (!item || !item->isSelectable())
        index = -1;
    const bool sameEntry = levels[level].highlighted == index;
    const bool submenuWanted = openSubmenu && item && index >= 0 && item->getSubmenu();
    if (sameEntry && (levels.size() == level + 1) == !submenuWanted)
        return kNone;
    while (levels.size() > level + 1) {
        levels.back().menu->forget();
        levels.pop_back();
    }
    levels[level].highlighted = index;
    if (submenuWanted) {
        const CRect& parent = levels[level].rect;
        openLevel(item->getSubmenu(),
                  CPoint(parent.right - kSubmenuOverlap, parent.top + RowTop(levels[level].menu, index) - kBorder),
                  -1);
    }
    return kChanged;
}

CMenuPopup::Action CMenuPopup::activate(size_t level, int32_t index)
{
    const CMenuItem* item = levels[level].menu->getEntry(index);
    if (!item || !item->isSelectable())
        return kNone;
    if (COptionMenu* submenu = item->getSubmenu()) {
        highlight(level, index, true);
        Level& child = levels.back();
        if (child.menu == submenu)
            child.highlighted = nextSelectable(child, -1, 1);
        return kChanged;
    }
    chosenMenu = levels[level].menu;
    chosenIndex = index;
    return kChosen;
}

CMenuPopup::Action CMenuPopup::onMouseDown(const CPoint& where, int32_t)
{
    size_t level = 0;
    int32_t index = -1;
    if (!hit(where, level, index))
        return kDismissed;
    armed = true;
    return highlight(level, index, true);
}

CMenuPopup::Action CMenuPopup::onMouseMoved(const CPoint& where, int32_t)
{
    size_t level = 0;
    int32_t index = -1;
    if (!hit(where, level, index))
        return kNone;
    const Action action = highlight(level, index, true);
    if (levels[level].highlighted >= 0)
        armed = true;
    return action;
}

CMenuPopup::Action CMenuPopup::onMouseUp(const CPoint& where, int32_t)
{
    size_t level = 0;
    int32_t index = -1;
    if (!armed || !hit(where, level, index))
        return kNone;
    const CMenuItem* item = levels[level].menu->getEntry(index);
    if (!item || item->getSubmenu())
        return kNone;
    return activate(level, index);
}

CMenuPopup::Action CMenuPopup::onKeyDown(const VstKeyCode& key)
{
    Level& top = levels.back();
    switch (key.virt) {
    case VKEY_DOWN:
    case VKEY_UP: {
        const int32_t step = key.virt == VKEY_DOWN ? 1 : -1;
        const int32_t from = top.highlighted >= 0 ? top.highlighted : (step > 0 ? -1 : 0);
        const int32_t next = nextSelectable(top, from, step);
        if (next < 0 || next == top.highlighted)
            return kNone;
        top.highlighted = next;
        return kChanged;
    }
    case VKEY_RIGHT: {
        const CMenuItem* item = top.menu->getEntry(top.highlighted);
        return item && item->getSubmenu() ? activate(levels.size() - 1, top.highlighted) : kNone;
    }
    case VKEY_LEFT:
        if (levels.size() < 2)
            return kNone;
        levels.back().menu->forget();
        levels.pop_back();
        return kChanged;
    case VKEY_RETURN:
    case VKEY_ENTER:
    case VKEY_SPACE:
        return activate(levels.size() - 1, top.highlighted);
    case VKEY_ESCAPE:
        return kDismissed;
    default:
        return kNone;
    }
}

} // namespace VSTGUI
