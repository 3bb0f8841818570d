#include "ui/controls/CAboutView.h"

#include <cstdio>

namespace VSTGUI {

namespace {

constexpr CColor kTitleColour{240, 232, 210, 255};
constexpr CColor kTextColour{210, 204, 190, 255};
constexpr const char* kCreditLines[] = {"Made by the Orvanta team", "for guitar and bass players"};
// Text rows, from the top of the view: title, version, then the credits.
constexpr CCoord kTitleTop = 168;
constexpr CCoord kRowHeight = 18;
constexpr CCoord kMargin = 8;

} // namespace

CAboutView::CAboutView(const CRect& r, const char* name, const char* version) : CControl(r, nullptr, 0)
{
    productName = name ? name : "";
    char line[128];
    std::snprintf(line, sizeof line, "Version : %s ", version ? version : "");
    versionLine = line;
    CBitmap* picture = new CBitmap(kAboutBitmapId);
    setBackground(picture);
    picture->forget();
}

void CAboutView::draw(CDrawContext* context)
{
    if (pBackground)
        pBackground->draw(context, size);
    CRect row(size.left + kMargin, size.top + kTitleTop, size.right - kMargin, size.top + kTitleTop + kRowHeight);
    context->setFont(kNormalFontBig, 0, kBoldFace);
    context->setFontColor(kTitleColour);
    context->drawString(productName.c_str(), row);
    context->setFont(kNormalFont, 0, kNormalFace);
    context->setFontColor(kTextColour);
    row.offset(0, kRowHeight + 4);
    context->drawString(versionLine.c_str(), row);
    context->setFont(kNormalFontSmaller, 0, kNormalFace);
    for (const char* credit : kCreditLines) {
        row.offset(0, kRowHeight);
        context->drawString(credit, row);
    }
    setDirty(false);
}

CSplashScreen* MakeAboutSplash(const CRect& editorSize, CControlListener* listener)
{
    auto* about = new CAboutView(editorSize, kProductName, kProductVersion);
    // The splash screen itself takes no room: only its picture is shown.
    auto* splash = new CSplashScreen(CRect(), listener, kAboutSplashTag, about);
    about->forget();
    return splash;
}

} // namespace VSTGUI
