#pragma once
// Views, containers and the frame that shows them in a window or in memory.
#include "ui/vstgui/CBitmap.h"
#include "ui/vstgui/CDrawContext.h"
#include "ui/vstgui/CGeometry.h"

#include <memory>
#include <vector>

namespace VSTGUI {

class CFrame;
class COptionMenu;
class CMenuPopup;
class X11FrameWindow;

enum CKnobMode : int32_t { kCircularMode = 0, kRelativCircularMode, kLinearMode };

// What a frame knows of the editor that owns it.
class VSTGUIEditorInterface {
public:
    virtual ~VSTGUIEditorInterface() = default;
    virtual void doIdleStuff() {}
    virtual int32_t getKnobMode() const { return kCircularMode; }
    virtual void beginEdit(int32_t /*index*/) {}
    virtual void endEdit(int32_t /*index*/) {}
    CFrame* getFrame() const { return frame; }

protected:
    CFrame* frame = nullptr;
};

class CView : public CReferenceCounter {
public:
    explicit CView(const CRect& size);
    ~CView() override;

    virtual void draw(CDrawContext* context);
    virtual void drawRect(CDrawContext* context, const CRect& /*updateRect*/) { draw(context); }

    // Points are in the coordinates of the view's container.
    virtual CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons);
    virtual CMouseEventResult onMouseUp(CPoint& where, const int32_t& buttons);
    virtual CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons);
    virtual bool onWheel(const CPoint& where, const float& distance, const int32_t& buttons);
    // 1 when handled, -1 when not.
    virtual int32_t onKeyDown(VstKeyCode& key);
    virtual int32_t onKeyUp(VstKeyCode& key);

    virtual void setDirty(bool dirty = true) { bDirty = dirty; }
    virtual bool isDirty() const { return bDirty; }
    // Asks the frame to redraw the view at its next idle.
    virtual void invalid() { invalidRect(size); }
    virtual void invalidRect(const CRect& rect);

    virtual void setVisible(bool visible);
    bool isVisible() const { return bVisible; }
    void setMouseEnabled(bool enabled) { bMouseEnabled = enabled; }
    bool getMouseEnabled() const { return bMouseEnabled; }
    void setTransparency(bool transparent) { bTransparencyEnabled = transparent; }
    bool getTransparency() const { return bTransparencyEnabled; }

    const CRect& getViewSize() const { return size; }
    CRect& getViewSize(CRect& rect) const { return rect = size; }
    virtual void setViewSize(const CRect& rect, bool invalidate = true);
    const CRect& getMouseableArea() const { return mouseableArea; }
    void setMouseableArea(const CRect& rect) { mouseableArea = rect; }
    CCoord getWidth() const { return size.width(); }
    CCoord getHeight() const { return size.height(); }

    virtual void setBackground(CBitmap* background);
    CBitmap* getBackground() const { return pBackground; }

    CFrame* getFrame() const { return pParentFrame; }
    CView* getParentView() const { return pParentView; }
    VSTGUIEditorInterface* getEditor() const;
    virtual bool attached(CView* parent);
    virtual bool removed(CView* parent);
    bool isAttached() const { return pParentView != nullptr; }

    // Focus notifications, sent by the frame.
    virtual void takeFocus() {}
    virtual void looseFocus() {}

    // Between the view's container and the frame.
    CPoint& localToFrame(CPoint& point) const;
    CPoint& frameToLocal(CPoint& point) const;
    CRect& localToFrame(CRect& rect) const;

    virtual const char* getClassName() const { return "CView"; }
    bool isTypeOf(const char* name) const;

protected:
    CRect size;
    CRect mouseableArea;
    CFrame* pParentFrame = nullptr;
    CView* pParentView = nullptr;
    CBitmap* pBackground = nullptr;
    bool bDirty = false;
    bool bMouseEnabled = true;
    bool bTransparencyEnabled = false;
    bool bVisible = true;
};

class CViewContainer : public CView {
public:
    CViewContainer(const CRect& size, CFrame* frame, CBitmap* background = nullptr);
    ~CViewContainer() override;

    // The container takes over the caller's reference.
    virtual bool addView(CView* view);
    virtual bool addView(CView* view, CView* before);
    // Without withForget the caller keeps the view alive.
    virtual bool removeView(CView* view, bool withForget = true);
    virtual bool removeAll(bool withForget = true);
    bool isChild(CView* view) const;
    int32_t getNbViews() const { return static_cast<int32_t>(views.size()); }
    CView* getView(int32_t index) const;
    // The topmost visible view under a point of this container's own
    // coordinates.
    CView* getViewAt(const CPoint& where, bool deep = false) const;

    void setBackgroundColor(const CColor& color) { backgroundColor = color; }
    const CColor& getBackgroundColor() const { return backgroundColor; }

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int32_t& buttons) override;
    bool isDirty() const override;
    bool attached(CView* parent) override;
    bool removed(CView* parent) override;
    const char* getClassName() const override { return "CViewContainer"; }

    // Adds the frame rectangles of dirty views to the frame's invalid area.
    void invalidateDirtyViews();
    virtual void forgetMouseView(CView* view);

protected:
    void drawChildren(CDrawContext* context, const CRect& updateRect);
    std::vector<CView*> views;
    CView* mouseDownView = nullptr;
    CColor backgroundColor = kBlackCColor;
};

// The root of the views of one editor. It lives in an X11 window, top-level
// or inside a window the host gives, or only in memory: then nothing is
// shown and tests drive it with the same event calls a window makes.
class CFrame : public CViewContainer {
public:
    // systemWindow: nullptr for a frame in memory, kTopLevelWindow for a
    // window of its own, otherwise the X11 window id of the host's window.
    // Without an X display, or with a window id the server does not know,
    // the frame stays in memory (isWindowOpen() tells).
    static void* const kTopLevelWindow;
    CFrame(const CRect& size, void* systemWindow, VSTGUIEditorInterface* editor);
    ~CFrame() override;

    VSTGUIEditorInterface* getEditor() const { return editor; }
    bool isOffscreen() const { return !window; }
    // The X11 window id of the frame's own window (0 in memory).
    unsigned long getSystemWindow() const;
    bool isWindowOpen() const { return window != nullptr; }
    // A top-level window whose close box the user pressed.
    bool isCloseRequested() const;

    // Device pixels per view unit: 1, or 2 on a high-density screen.
    void setZoom(double zoom);
    double getZoom() const { return zoom; }

    // Handles pending window events, then redraws what changed.
    void idle();
    // Window events only; a host loop may call it more often than idle.
    void handleEvents();
    void invalidRect(const CRect& rect) override;
    void invalid() override { invalidRect(size); }
    void setDirty(bool dirty = true) override;

    CMouseEventResult onMouseDown(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const int32_t& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const int32_t& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const int32_t& buttons) override;
    int32_t onKeyDown(VstKeyCode& key) override;
    int32_t onKeyUp(VstKeyCode& key) override;
    bool removeView(CView* view, bool withForget = true) override;
    bool removeAll(bool withForget = true) override;

    void setFocusView(CView* view);
    CView* getFocusView() const { return focusView; }
    // A view shown over all others that alone receives the mouse.
    void setModalView(CView* view);
    CView* getModalView() const { return modalView; }

    // Pop-up menus: one at a time, over everything.
    void openMenu(COptionMenu* menu, const CPoint& frameWhere);
    void closeMenu();
    CMenuPopup* getOpenMenu() const { return popup.get(); }
    void menuChanged();
    // Clears every reference the frame keeps to a view leaving it.
    void forgetMouseView(CView* view) override;

    // The frame's pixels, brought up to date first.
    CColor getPixel(CCoord x, CCoord y);
    bool writePNG(const char* path);
    COffscreenContext& getBackBuffer() { return *backBuffer; }

    const char* getClassName() const override { return "CFrame"; }

private:
    void redrawInvalid();
    void drawMenuOverlay(CDrawContext& context, const CRect& area);
    CView* keyTarget() const;
    void finishMenuAction(int32_t action);

    VSTGUIEditorInterface* editor;
    double zoom = 1.0;
    std::unique_ptr<COffscreenContext> backBuffer;
    CRect invalidArea;
    CView* focusView = nullptr;
    CView* modalView = nullptr;
    CPoint lastMouse{-1, -1};
    std::unique_ptr<CMenuPopup> popup;
    CRect popupArea;
    std::unique_ptr<X11FrameWindow> window;
    friend class X11FrameWindow;
};

} // namespace VSTGUI
