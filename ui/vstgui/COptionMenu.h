#pragma once
// The option menu control, its entries and the pop-up that shows them.
#include "ui/vstgui/CParamDisplay.h"

#include <string>
#include <vector>

namespace VSTGUI {

class COptionMenu;

class CMenuItem : public CReferenceCounter {
public:
    enum Flags : int32_t { kNoFlags = 0, kDisabled = 1 << 0, kTitle = 1 << 1, kChecked = 1 << 2, kSeparator = 1 << 3 };

    explicit CMenuItem(const char* title, int32_t flags = kNoFlags, const char* keycode = nullptr);
    CMenuItem(const char* title, COptionMenu* submenu);
    ~CMenuItem() override;

    void setTitle(const char* title) { this->title = title ? title : ""; }
    const char* getTitle() const { return title.c_str(); }
    void setKey(const char* keycode) { key = keycode ? keycode : ""; }
    const char* getKey() const { return key.c_str(); }
    void setSubmenu(COptionMenu* submenu);
    COptionMenu* getSubmenu() const { return submenu; }
    void setEnabled(bool enabled);
    bool isEnabled() const { return !(flags & kDisabled); }
    void setChecked(bool checked);
    bool isChecked() const { return (flags & kChecked) != 0; }
    void setIsTitle(bool isTitle);
    bool isTitle() const { return (flags & kTitle) != 0; }
    bool isSeparator() const { return (flags & kSeparator) != 0; }
    // Whether the pop-up lets the user land on it.
    bool isSelectable() const { return isEnabled() && !isSeparator() && !isTitle(); }

private:
    std::string title;
    std::string key;
    int32_t flags;
    COptionMenu* submenu = nullptr;
};

class COptionMenu : public CParamDisplay {
public:
    COptionMenu(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background = nullptr,
                CBitmap* bgWhenClick = nullptr, int32_t style = 0);
    ~COptionMenu() override;

    // The menu takes over the caller's reference to the item.
    virtual CMenuItem* addEntry(CMenuItem* item, int32_t index = -1);
    // A title of "-" adds a separator.
    virtual CMenuItem* addEntry(const char* title, int32_t index = -1, int32_t itemFlags = CMenuItem::kNoFlags);
    virtual CMenuItem* addEntry(COptionMenu* submenu, const char* title);
    virtual CMenuItem* addSeparator();
    virtual CMenuItem* getCurrent() const;
    // Without countSeparator the position counts only the entries that are
    // not separators.
    virtual int32_t getCurrentIndex(bool countSeparator = false) const;
    virtual CMenuItem* getEntry(int32_t index) const;
    virtual int32_t getNbEntries() const { return static_cast<int32_t>(entries.size()); }
    virtual bool setCurrent(int32_t index, bool countSeparator = true);
    virtual bool removeEntry(int32_t index);
    virtual bool removeAllEntry();
    // 0 none; 1, 2 and 3 put the 1-based number before each title, with
    // that many digits (1 as it comes).
    virtual void setPrefixNumbers(int32_t digits);
    int32_t getPrefixNumbers() const { return prefixNumbers; }
    // The entry's title as the pop-up shows it.
    std::string getDisplayTitle(int32_t index) const;

    // The menu and position of the last choice, which may be in a submenu.
    int32_t getLastResult() const { return lastResult; }
    COptionMenu* getLastItemMenu(int32_t& indexInMenu) const;

    void setValue(float newValue) override;
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    void takeFocus() override;
    void looseFocus() override;
    // Opens the pop-up without a click.
    void popup();
    bool isPoppedUp() const { return poppedUp; }

    void setBackgroundWhenClicked(CBitmap* bitmap);

    // The pop-up's report of a choice in this menu or one of its submenus.
    void menuChosen(COptionMenu* menu, int32_t indexInMenu);

    const char* getClassName() const override { return "COptionMenu"; }

private:
    std::vector<CMenuItem*> entries;
    int32_t currentIndex = -1;
    int32_t lastResult = -1;
    COptionMenu* lastMenu = nullptr;
    CBitmap* bgWhenClick = nullptr;
    int32_t prefixNumbers = 0;
    bool poppedUp = false;
};

// An open pop-up: a stack of menu levels, each with its rectangle in frame
// coordinates and its highlighted entry. It knows nothing of windows: the
// frame feeds it events and draws (or has its window draw) each level.
class CMenuPopup {
public:
    enum Action : int32_t { kNone = 0, kChanged, kChosen, kDismissed };

    CMenuPopup(COptionMenu* root, const CPoint& where, const CRect& limits);
    ~CMenuPopup();
    CMenuPopup(const CMenuPopup&) = delete;
    CMenuPopup& operator=(const CMenuPopup&) = delete;

    size_t getLevelCount() const { return levels.size(); }
    const CRect& getLevelRect(size_t level) const { return levels[level].rect; }
    COptionMenu* getMenu(size_t level) const { return levels[level].menu; }
    int32_t getHighlighted(size_t level) const { return levels[level].highlighted; }
    CRect getBounds() const;
    // The centre of an entry, in frame coordinates: where to click it.
    CPoint getEntryCenter(size_t level, int32_t index) const;
    // Draws a level with its top-left corner at the context's offset.
    void drawLevel(CDrawContext* context, size_t level) const;

    Action onMouseDown(const CPoint& where, int32_t buttons);
    Action onMouseMoved(const CPoint& where, int32_t buttons);
    Action onMouseUp(const CPoint& where, int32_t buttons);
    Action onKeyDown(const VstKeyCode& key);

    COptionMenu* getRoot() const { return root; }
    COptionMenu* getChosenMenu() const { return chosenMenu; }
    int32_t getChosenIndex() const { return chosenIndex; }

private:
    struct Level {
        COptionMenu* menu;
        CRect rect;
        int32_t highlighted;
    };
    void openLevel(COptionMenu* menu, const CPoint& where, int32_t highlighted);
    // The level and entry under a point; false when outside every level.
    bool hit(const CPoint& where, size_t& level, int32_t& index) const;
    Action highlight(size_t level, int32_t index, bool openSubmenu);
    Action activate(size_t level, int32_t index);
    int32_t nextSelectable(const Level& level, int32_t from, int32_t step) const;

    COptionMenu* root;
    std::vector<Level> levels;
    CRect limits;
    COptionMenu* chosenMenu = nullptr;
    int32_t chosenIndex = -1;
    // A release chooses only after the pointer moved onto an entry or was
    // pressed in the menu, not when it is the end of the opening click.
    bool armed = false;
};

} // namespace VSTGUI
