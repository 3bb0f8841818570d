#pragma once
#include <string>

namespace platform {

// The maker's web pages the pedals open.  The site and the program's
// identifier are build settings (ORV_WEB_SITE, ORV_APP_ID in CMake's cache);
// every address is built here from them, so each is written down once.
struct WebAddresses {
    std::string homePage;      // "Orvanta Web Site" in the options menu
    std::string tutorialsPage; // "Help" when no help document can be found
    std::string updatePage;    // "Check For Updates": the site's update page asked about this program (app=<id>)
};

const WebAddresses& MakerWebAddresses();

} // namespace platform
