#include "platform/WebAddresses.h"

// CMake passes both to this file alone; the site ends with a slash and the
// identifier needs no escaping in a query (CMake checks both).
#if !defined(ORV_WEB_SITE) || !defined(ORV_APP_ID)
#error "ORV_WEB_SITE and ORV_APP_ID come from the build settings"
#endif

namespace platform {

const WebAddresses& MakerWebAddresses()
{
    static const WebAddresses addresses = {
        ORV_WEB_SITE,
        std::string(ORV_WEB_SITE) + "tutorials_gfx/",
        std::string(ORV_WEB_SITE) + "update.php?app=" + ORV_APP_ID,
    };
    return addresses;
}

} // namespace platform
