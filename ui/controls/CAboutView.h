#pragma once
// The picture the options menu's "About Plug-In" shows over the stomp box
// until it is clicked.
#include "ui/vstgui/CControls.h"

#include <string>

namespace VSTGUI {

inline constexpr int32_t kAboutBitmapId = 900;
inline constexpr int32_t kAboutSplashTag = 37;
inline constexpr const char* kProductName = "Orvanta Stompset";
inline constexpr const char* kProductVersion = "1. 0. 6. 1";

class CAboutView : public CControl {
public:
    // size: the editor's rectangle, which the about bitmap covers.
    CAboutView(const CRect& size, const char* productName, const char* version);
    void draw(CDrawContext* context) override;
    const char* getClassName() const override { return "CAboutView"; }

private:
    std::string productName;
    std::string versionLine;
};

// A splash screen (tag kAboutSplashTag) holding a new about view over the
// editor's rectangle. The caller adds it to the frame and calls splash();
// a click on the picture reports value 0 for the tag to the listener.
CSplashScreen* MakeAboutSplash(const CRect& editorSize, CControlListener* listener);

} // namespace VSTGUI
