#include "ui/vstgui/CView.h"

#include "ui/vstgui/COptionMenu.h"
#include "ui/vstgui/X11FrameWindow.h"

#include <algorithm>
#include <cstring>

namespace VSTGUI {

namespace {

bool IsUsable(const CView* view) { return view->isVisible() && view->getMouseEnabled(); }

bool IsInside(const CView* view, const CView* ancestor)
{
    for (; view; view = view->getParentView())
        if (view == ancestor)
            return true;
    return false;
}

} // namespace

// ---- CView ----

CView::CView(const CRect& r) : size(r), mouseableArea(r) {}

CView::~CView()
{
    if (pBackground)
        pBackground->forget();
}

void CView::draw(CDrawContext* context)
{
    if (pBackground)
        pBackground->draw(context, size);
    setDirty(false);
}

CMouseEventResult CView::onMouseDown(CPoint&, const int32_t&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseUp(CPoint&, const int32_t&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseMoved(CPoint&, const int32_t&) { return kMouseEventNotImplemented; }
bool CView::onWheel(const CPoint&, const float&, const int32_t&) { return false; }
int32_t CView::onKeyDown(VstKeyCode&) { return -1; }
int32_t CView::onKeyUp(VstKeyCode&) { return -1; }

void CView::invalidRect(const CRect& rect)
{
    if (!pParentFrame || !pParentView)
        return;
    CRect inFrame = rect;
    pParentFrame->invalidRect(localToFrame(inFrame));
}

void CView::setVisible(bool visible)
{
    if (bVisible == visible)
        return;
    // Invalidate while visible, so that hiding also repaints.
    if (!visible)
        invalid();
    bVisible = visible;
    if (visible)
        invalid();
}

void CView::setViewSize(const CRect& rect, bool invalidate)
{
    if (invalidate)
        invalid();
    size = rect;
    mouseableArea = rect;
    if (invalidate)
        invalid();
}

void CView::setBackground(CBitmap* background)
{
    if (background)
        background->remember();
    if (pBackground)
        pBackground->forget();
    pBackground = background;
    setDirty();
}

VSTGUIEditorInterface* CView::getEditor() const { return pParentFrame ? pParentFrame->getEditor() : nullptr; }

bool CView::attached(CView* parent)
{
    pParentView = parent;
    pParentFrame = parent ? parent->getFrame() : nullptr;
    return true;
}

bool CView::removed(CView*)
{
    pParentView = nullptr;
    pParentFrame = nullptr;
    return true;
}

CPoint& CView::localToFrame(CPoint& point) const
{
    for (const CView* c = pParentView; c && c != pParentFrame; c = c->pParentView)
        point.offset(c->size.left, c->size.top);
    return point;
}

CPoint& CView::frameToLocal(CPoint& point) const
{
    for (const CView* c = pParentView; c && c != pParentFrame; c = c->pParentView)
        point.offset(-c->size.left, -c->size.top);
    return point;
}

CRect& CView::localToFrame(CRect& rect) const
{
    CPoint origin(0, 0);
    localToFrame(origin);
    return rect.offset(origin.x, origin.y);
}

bool CView::isTypeOf(const char* name) const { return std::strcmp(name, getClassName()) == 0; }

// ---- CViewContainer ----

CViewContainer::CViewContainer(const CRect& r, CFrame* frame, CBitmap* background) : CView(r)
{
    pParentFrame = frame;
    setBackground(background);
}

CViewContainer::~CViewContainer() { CViewContainer::removeAll(true); }

bool CViewContainer::addView(CView* view) { return addView(view, nullptr); }

bool CViewContainer::addView(CView* view, CView* before)
{
    if (!view || isChild(view))
        return false;
    auto position = std::find(views.begin(), views.end(), before);
    views.insert(position, view);
    view->attached(this);
    view->invalid();
    return true;
}

bool CViewContainer::removeView(CView* view, bool withForget)
{
    auto found = std::find(views.begin(), views.end(), view);
    if (found == views.end())
        return false;
    view->invalid();
    if (mouseDownView == view)
        mouseDownView = nullptr;
    if (pParentFrame && pParentFrame != this)
        pParentFrame->forgetMouseView(view);
    views.erase(found);
    view->removed(this);
    if (withForget)
        view->forget();
    return true;
}

bool CViewContainer::removeAll(bool withForget)
{
    while (!views.empty())
        removeView(views.back(), withForget);
    return true;
}

bool CViewContainer::isChild(CView* view) const { return std::find(views.begin(), views.end(), view) != views.end(); }

CView* CViewContainer::getView(int32_t index) const
{
    return index >= 0 && index < getNbViews() ? views[static_cast<size_t>(index)] : nullptr;
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep) const
{
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        CView* view = *it;
        if (!view->isVisible() || !view->getViewSize().pointInside(where))
            continue;
        if (auto* container = dynamic_cast<CViewContainer*>(view); deep && container) {
            CPoint local = where;
            local.offset(-view->getViewSize().left, -view->getViewSize().top);
            if (CView* inner = container->getViewAt(local, true))
                return inner;
        }
        return view;
    }
    return nullptr;
}

void CViewContainer::draw(CDrawContext* context) { drawRect(context, context->getClipRect()); }

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect)
{
    if (!bTransparencyEnabled && backgroundColor.alpha != 0) {
        context->setFillColor(backgroundColor);
        context->drawRect(size, kDrawFilled);
    }
    if (pBackground)
        pBackground->draw(context, size);
    drawChildren(context, updateRect);
    bDirty = false;
}

void CViewContainer::drawChildren(CDrawContext* context, const CRect& updateRect)
{
    const CPoint savedOffset = context->getOffset();
    const CRect savedClip = context->getClipRect();
    CPoint origin = savedOffset;
    origin.offset(size.left, size.top);
    context->setOffset(origin);
    for (CView* view : views) {
        if (!view->isVisible())
            continue;
        // Each view draws inside its own rectangle only.
        CRect clip = view->getViewSize();
        clip.offset(origin.x, origin.y);
        clip.bound(savedClip);
        if (clip.isEmpty())
            continue;
        context->setClipRect(clip);
        view->drawRect(context, updateRect);
        view->setDirty(false);
    }
    context->setClipRect(savedClip);
    context->setOffset(savedOffset);
}

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const int32_t& buttons)
{
    CPoint local = where;
    if (pParentFrame != this)
        local.offset(-size.left, -size.top);
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        CView* view = *it;
        if (!IsUsable(view) || !view->getMouseableArea().pointInside(local))
            continue;
        CPoint point = local;
        const CMouseEventResult result = view->onMouseDown(point, buttons);
        if (result == kMouseEventNotHandled || result == kMouseEventNotImplemented)
            continue;
        if (result == kMouseEventHandled)
            mouseDownView = view;
        return result;
    }
    return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseUp(CPoint& where, const int32_t& buttons)
{
    CView* view = mouseDownView;
    if (!view)
        return kMouseEventNotHandled;
    mouseDownView = nullptr;
    CPoint local = where;
    if (pParentFrame != this)
        local.offset(-size.left, -size.top);
    return view->onMouseUp(local, buttons);
}

CMouseEventResult CViewContainer::onMouseMoved(CPoint& where, const int32_t& buttons)
{
    CPoint local = where;
    if (pParentFrame != this)
        local.offset(-size.left, -size.top);
    if (mouseDownView)
        return mouseDownView->onMouseMoved(local, buttons);
    CView* view = getViewAt(local);
    return view && IsUsable(view) ? view->onMouseMoved(local, buttons) : kMouseEventNotHandled;
}

bool CViewContainer::onWheel(const CPoint& where, const float& distance, const int32_t& buttons)
{
    CPoint local = where;
    if (pParentFrame != this)
        local.offset(-size.left, -size.top);
    for (auto it = views.rbegin(); it != views.rend(); ++it)
        if (IsUsable(*it) && (*it)->getMouseableArea().pointInside(local) && (*it)->onWheel(local, distance, buttons))
            return true;
    return false;
}

bool CViewContainer::isDirty() const
{
    if (bDirty)
        return true;
    return std::any_of(views.begin(), views.end(), [](CView* v) { return v->isVisible() && v->isDirty(); });
}

bool CViewContainer::attached(CView* parent)
{
    CView::attached(parent);
    for (CView* view : views)
        view->attached(this);
    return true;
}

bool CViewContainer::removed(CView* parent)
{
    for (CView* view : views)
        view->removed(this);
    CView::removed(parent);
    return true;
}

void CViewContainer::invalidateDirtyViews()
{
    for (CView* view : views) {
        if (!view->isVisible())
            continue;
        if (auto* container = dynamic_cast<CViewContainer*>(view))
            container->invalidateDirtyViews();
        else if (view->isDirty())
            view->invalid();
    }
    if (bDirty)
        invalid();
}

void CViewContainer::forgetMouseView(CView* view)
{
    if (IsInside(mouseDownView, view))
        mouseDownView = nullptr;
    for (CView* child : views)
        if (auto* container = dynamic_cast<CViewContainer*>(child))
            container->forgetMouseView(view);
}

// ---- CFrame ----

void* const CFrame::kTopLevelWindow = reinterpret_cast<void*>(~uintptr_t(0));

CFrame::CFrame(const CRect& r, void* systemWindow, VSTGUIEditorInterface* owner)
    : CViewContainer(r, this), editor(owner)
{
    pParentFrame = this;
    backBuffer = std::make_unique<COffscreenContext>(r.width(), r.height(), kTransparentCColor, zoom);
    invalidArea = CRect(0, 0, r.width(), r.height());
    if (systemWindow)
        window = X11FrameWindow::create(*this, systemWindow);
}

CFrame::~CFrame()
{
    popup.reset();
    focusView = nullptr;
    modalView = nullptr;
    CViewContainer::removeAll(true);
    window.reset();
}

unsigned long CFrame::getSystemWindow() const { return window ? window->getWindow() : 0; }

bool CFrame::isCloseRequested() const { return window && window->isCloseRequested(); }

void CFrame::setZoom(double newZoom)
{
    if (newZoom <= 0 || newZoom == zoom)
        return;
    zoom = newZoom;
    backBuffer = std::make_unique<COffscreenContext>(size.width(), size.height(), kTransparentCColor, zoom);
    if (window)
        window->resize();
    invalid();
}

void CFrame::handleEvents()
{
    if (window)
        window->processEvents();
}

void CFrame::idle()
{
    handleEvents();
    redrawInvalid();
}

void CFrame::invalidRect(const CRect& rect) { invalidArea.unite(rect); }

void CFrame::setDirty(bool dirty)
{
    if (dirty)
        invalid();
}

void CFrame::redrawInvalid()
{
    invalidateDirtyViews();
    CRect area = invalidArea;
    invalidArea = CRect();
    area.bound(CRect(0, 0, size.width(), size.height()));
    if (area.isEmpty())
        return;
    COffscreenContext& context = *backBuffer;
    context.setClipRect(area);
    // The frame's own rectangle is where it sits in its parent; its
    // children are placed from its top-left corner.
    context.setOffset(CPoint(-size.left, -size.top));
    CViewContainer::drawRect(&context, area);
    context.setOffset(CPoint());
    if (popup && !window)
        drawMenuOverlay(context, area);
    context.resetClipRect();
    if (window)
        window->present(area);
}

void CFrame::drawMenuOverlay(CDrawContext& context, const CRect& area)
{
    for (size_t level = 0; level < popup->getLevelCount(); ++level) {
        CRect clip = popup->getLevelRect(level);
        clip.bound(area);
        if (clip.isEmpty())
            continue;
        context.setClipRect(clip);
        context.setOffset(popup->getLevelRect(level).getTopLeft());
        popup->drawLevel(&context, level);
    }
    context.setOffset(CPoint());
}

CMouseEventResult CFrame::onMouseDown(CPoint& where, const int32_t& buttons)
{
    lastMouse = where;
    if (popup) {
        finishMenuAction(popup->onMouseDown(where, buttons));
        return kMouseEventHandled;
    }
    if (focusView) {
        CRect focusRect = focusView->getViewSize();
        if (!focusView->localToFrame(focusRect).pointInside(where))
            setFocusView(nullptr);
    }
    if (modalView) {
        CPoint local = where;
        modalView->frameToLocal(local);
        if (!modalView->getViewSize().pointInside(local))
            return kMouseEventHandled;
        const CMouseEventResult result = modalView->onMouseDown(local, buttons);
        if (result == kMouseEventHandled)
            mouseDownView = modalView;
        return result;
    }
    return CViewContainer::onMouseDown(where, buttons);
}

CMouseEventResult CFrame::onMouseUp(CPoint& where, const int32_t& buttons)
{
    lastMouse = where;
    if (popup) {
        finishMenuAction(popup->onMouseUp(where, buttons));
        return kMouseEventHandled;
    }
    return CViewContainer::onMouseUp(where, buttons);
}

CMouseEventResult CFrame::onMouseMoved(CPoint& where, const int32_t& buttons)
{
    lastMouse = where;
    if (popup) {
        finishMenuAction(popup->onMouseMoved(where, buttons));
        return kMouseEventHandled;
    }
    if (modalView && !mouseDownView)
        return kMouseEventHandled;
    return CViewContainer::onMouseMoved(where, buttons);
}

bool CFrame::onWheel(const CPoint& where, const float& distance, const int32_t& buttons)
{
    lastMouse = where;
    if (popup || modalView)
        return false;
    return CViewContainer::onWheel(where, distance, buttons);
}

CView* CFrame::keyTarget() const
{
    if (modalView)
        return modalView;
    return lastMouse.x >= 0 ? getViewAt(lastMouse, true) : nullptr;
}

int32_t CFrame::onKeyDown(VstKeyCode& key)
{
    if (popup) {
        finishMenuAction(popup->onKeyDown(key));
        return 1;
    }
    // The focused view first, then the view under the mouse, so that a key
    // reaches a knob the pointer rests on.
    if (focusView && focusView->onKeyDown(key) == 1)
        return 1;
    CView* target = keyTarget();
    return target && target != focusView ? target->onKeyDown(key) : -1;
}

int32_t CFrame::onKeyUp(VstKeyCode& key)
{
    if (popup)
        return 1;
    if (focusView && focusView->onKeyUp(key) == 1)
        return 1;
    CView* target = keyTarget();
    return target && target != focusView ? target->onKeyUp(key) : -1;
}

bool CFrame::removeView(CView* view, bool withForget)
{
    if (!isChild(view))
        return false;
    forgetMouseView(view);
    return CViewContainer::removeView(view, withForget);
}

bool CFrame::removeAll(bool withForget)
{
    while (!views.empty())
        removeView(views.back(), withForget);
    return true;
}

void CFrame::forgetMouseView(CView* view)
{
    CViewContainer::forgetMouseView(view);
    if (popup && IsInside(popup->getRoot(), view))
        closeMenu();
    if (IsInside(focusView, view))
        setFocusView(nullptr);
    if (IsInside(modalView, view))
        modalView = nullptr;
}

void CFrame::setFocusView(CView* view)
{
    if (view == focusView)
        return;
    CView* previous = focusView;
    focusView = view;
    if (previous)
        previous->looseFocus();
    if (view && view == focusView)
        view->takeFocus();
}

void CFrame::setModalView(CView* view)
{
    if (modalView) {
        CView* previous = modalView;
        modalView = nullptr;
        removeView(previous, true);
    }
    if (view) {
        view->remember();
        addView(view);
        modalView = view;
    }
}

void CFrame::openMenu(COptionMenu* menu, const CPoint& frameWhere)
{
    closeMenu();
    // In memory the overlay stays inside the frame's picture.
    CRect limits(0, 0, size.width(), size.height());
    if (window)
        limits = window->screenInFrameCoordinates();
    popup = std::make_unique<CMenuPopup>(menu, frameWhere, limits);
    popupArea = CRect();
    if (window)
        window->menuOpened();
    menuChanged();
}

void CFrame::closeMenu()
{
    if (!popup)
        return;
    std::unique_ptr<CMenuPopup> closing = std::move(popup);
    invalidRect(popupArea);
    popupArea = CRect();
    if (window)
        window->menuClosed();
    COptionMenu* root = closing->getRoot();
    root->remember();
    closing.reset();
    // The menu's control shows its normal picture again.
    if (focusView == root)
        setFocusView(nullptr);
    else
        root->looseFocus();
    root->forget();
}

void CFrame::menuChanged()
{
    if (!popup)
        return;
    if (window) {
        window->updateMenuWindows();
        return;
    }
    invalidRect(popupArea);
    popupArea = popup->getBounds();
    invalidRect(popupArea);
}

void CFrame::finishMenuAction(int32_t action)
{
    switch (action) {
    case CMenuPopup::kChanged:
        menuChanged();
        break;
    case CMenuPopup::kDismissed:
        closeMenu();
        break;
    case CMenuPopup::kChosen: {
        COptionMenu* root = popup->getRoot();
        COptionMenu* chosenMenu = popup->getChosenMenu();
        const int32_t index = popup->getChosenIndex();
        root->remember();
        closeMenu();
        root->menuChosen(chosenMenu, index);
        root->forget();
        break;
    }
    default:
        break;
    }
}

CColor CFrame::getPixel(CCoord x, CCoord y)
{
    redrawInvalid();
    return backBuffer->getPixel(x, y);
}

bool CFrame::writePNG(const char* path)
{
    redrawInvalid();
    return backBuffer->writePNG(path);
}

} // namespace VSTGUI
