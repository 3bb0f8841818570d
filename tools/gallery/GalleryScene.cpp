#include "tools/gallery/GalleryScene.h"

#include "resources/Resources.h"
#include "ui/controls/CAboutView.h"
#include "ui/controls/CButtonsEX.h"
#include "ui/controls/CKnobEX.h"
#include "ui/controls/CORVOptionMenu.h"
#include "ui/controls/CSliderEX.h"
#include "ui/controls/CToneMeter.h"

#include <string>
#include <vector>

namespace gallery {

using namespace VSTGUI;

namespace {

constexpr CCoord kWidth = 1200;
constexpr CCoord kGap = 8;
constexpr CCoord kCaptionHeight = 12;
constexpr CColor kBackdrop{48, 48, 52, 255};
constexpr CColor kCaptionColour{200, 200, 200, 255};

class Caption : public CView {
public:
    Caption(const CRect& r, std::string text) : CView(r), text(std::move(text)) {}
    void draw(CDrawContext* context) override
    {
        context->setFont(kNormalFontVerySmall);
        context->setFontColor(kCaptionColour);
        context->drawString(text.c_str(), size, false, kLeftText);
        setDirty(false);
    }

private:
    std::string text;
};

// Places views left to right in rows, each with a caption beneath.
class Layout {
public:
    // The top-left corner for an item of this size, wrapping when needed.
    CRect place(CCoord width, CCoord height, const std::string& caption)
    {
        const CCoord itemWidth = std::max<CCoord>(width, 72);
        if (x + itemWidth > kWidth - kGap) {
            newRow();
        }
        CRect rect(x, y, x + width, y + height);
        views.push_back(new Caption(CRect(x, y + height + 1, x + itemWidth + kGap, y + height + 1 + kCaptionHeight),
                                    caption));
        x += itemWidth + kGap;
        rowHeight = std::max(rowHeight, height + kCaptionHeight + kGap);
        return rect;
    }
    void newRow()
    {
        x = kGap;
        y += rowHeight;
        rowHeight = 0;
    }
    template <class View>
    View* add(View* view)
    {
        views.push_back(view);
        return view;
    }
    CCoord height() const { return y + rowHeight + kGap; }
    std::vector<CView*> views;

private:
    CCoord x = kGap;
    CCoord y = kGap;
    CCoord rowHeight = 0;
};

struct Bitmap {
    explicit Bitmap(int32_t id) : bitmap(new CBitmap(id)) {}
    ~Bitmap() { bitmap->forget(); }
    CCoord w() const { return bitmap->getWidth(); }
    CCoord h() const { return bitmap->getHeight(); }
    CBitmap* bitmap;
};

template <class Control>
void Show(Layout& layout, Control* control, float value)
{
    control->setValue(value);
    layout.add(control);
}

void AddKnobsAndSliders(Layout& layout)
{
    Bitmap body(300), handle(302), largeBody(301), largeHandle(303), stepped(320);
    for (float v : {0.0f, 0.5f, 1.0f})
        Show(layout, new CKnobEX(layout.place(body.w(), body.h(), "knob " + std::to_string(v).substr(0, 3)),
                                 nullptr, 0, body.bitmap, handle.bitmap), v);
    Show(layout, new CKnobEX(layout.place(largeBody.w(), largeBody.h(), "large 0.7"), nullptr, 0,
                             largeBody.bitmap, largeHandle.bitmap), 0.7f);
    for (float v : {0.0f, 0.5f, 1.0f})
        Show(layout, new CAnimKnobEX(layout.place(45, 45, "anim knob " + std::to_string(v).substr(0, 3)), nullptr,
                                     0, stepped.bitmap), v);
    Bitmap vTrack(450), vHandle(451), hTrack(452), hHandle(453);
    for (float v : {0.0f, 0.5f, 1.0f}) {
        const CRect r = layout.place(vTrack.w(), vTrack.h(), "vert. " + std::to_string(v).substr(0, 3));
        Show(layout, new CVerticalSliderEX(r, nullptr, 0, r.top, r.bottom - vHandle.h(), vHandle.bitmap,
                                           vTrack.bitmap), v);
    }
    for (float v : {0.0f, 1.0f}) {
        const CRect r = layout.place(hTrack.w(), hTrack.h(), "horiz. " + std::to_string(v).substr(0, 3));
        Show(layout, new CHorizontalSliderEX(r, nullptr, 0, r.left, r.right - hHandle.w(), hHandle.bitmap,
                                             hTrack.bitmap), v);
    }
}

void AddButtonsAndDisplays(Layout& layout)
{
    Bitmap foot(100), movie(119), onOff(115), led(200), switchStrip(401), meterOff(206), meterOn(207);
    for (float v : {0.0f, 1.0f}) {
        const std::string state = v > 0 ? " on" : " off";
        Show(layout, new CKickButtonEX(layout.place(foot.w(), foot.h() / 2, "kick" + state), nullptr, 0,
                                       foot.bitmap), v);
        Show(layout, new CMovieButtonEX(layout.place(movie.w(), movie.h() / 2, "movie" + state), nullptr,
                                        0, movie.bitmap), v);
        Show(layout, new COnOffButtonEX(layout.place(onOff.w(), onOff.h() / 2, "on-off" + state), nullptr,
                                        0, onOff.bitmap), v);
        Show(layout, new CVerticalSwitch(layout.place(switchStrip.w(), switchStrip.h() / 2, "switch" + state),
                                         nullptr, 0, 2, switchStrip.h() / 2, 2, switchStrip.bitmap), v);
    }
    for (float v : {0.0f, 0.5f, 1.0f})
        Show(layout, new CMovieBitmap(layout.place(led.w(), led.w(), "LED " + std::to_string(v).substr(0, 3)),
                                      nullptr, 0, led.bitmap), v);
    auto* meter = new CToneMeter(layout.place(meterOff.w(), meterOff.h(), "tone meter 0.6"), meterOn.bitmap,
                                 meterOff.bitmap, 10);
    Show(layout, meter, 0.6f);
    auto* display = new CTextEdit(layout.place(152, 17, "text display"), nullptr, 0, "Drive: 7.50");
    display->setBackColor(kBlackCColor);
    display->setFontColor(kWhiteCColor);
    layout.add(display);
}

CORVOptionMenu* AddMenus(Layout& layout)
{
    Bitmap normal(103), pressed(104);
    CORVOptionMenu* open = nullptr;
    for (const char* state : {"menu closed", "menu open"}) {
        auto* menu = new CORVOptionMenu(layout.place(normal.w(), normal.h(), state), nullptr, 0, normal.bitmap,
                                        pressed.bitmap, kChoiceMenuStyle);
        for (const char* title : {"Warm", "Bright", "-", "Mine"})
            menu->addEntry(title);
        menu->addEntry("Delete", -1, CMenuItem::kDisabled);
        menu->setPrefixNumbers(2);
        menu->setValue(1);
        layout.add(menu);
        open = menu;
    }
    // Room for the pop-up below the open menu.
    layout.place(60, 90, "");
    return open;
}

void AddBitmaps(Layout& layout)
{
    layout.newRow();
    for (int32_t id : ResourceIds()) {
        auto* bitmap = new CBitmap(id);
        auto* tile = new CView(layout.place(bitmap->getWidth(), bitmap->getHeight(), std::to_string(id)));
        tile->setBackground(bitmap);
        bitmap->forget();
        layout.add(tile);
    }
}

} // namespace

std::unique_ptr<CFrame> BuildGallery()
{
    SetResourceLoader(FindPngResource);
    Layout layout;
    AddKnobsAndSliders(layout);
    layout.newRow();
    AddButtonsAndDisplays(layout);
    CORVOptionMenu* openMenu = AddMenus(layout);
    layout.add(new CAboutView(layout.place(185, 320, "about view"), kProductName, kProductVersion));
    AddBitmaps(layout);

    auto frame = std::make_unique<CFrame>(CRect(0, 0, kWidth, layout.height()), nullptr, nullptr);
    frame->setBackgroundColor(kBackdrop);
    for (CView* view : layout.views)
        frame->addView(view);
    openMenu->popup();
    return frame;
}

} // namespace gallery
