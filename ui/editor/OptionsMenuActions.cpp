#include "ui/editor/OptionsMenuActions.h"

#include "platform/HelpDocument.h"
#include "platform/ShellOpen.h"
#include "platform/WebAddresses.h"

bool OpenOptionsEntry(const std::string& entry)
{
    const platform::WebAddresses& web = platform::MakerWebAddresses();
    if (entry == "Help") {
        // Without a help document to show, the tutorials on the web site
        // stand in for it.
        const std::string document = platform::HelpDocumentPath();
        return platform::OpenInDesktop(document.empty() ? web.tutorialsPage : document);
    }
    if (entry == "Check For Updates")
        return platform::OpenInDesktop(web.updatePage);
    if (entry == "Orvanta Web Site")
        return platform::OpenInDesktop(web.homePage);
    return false;
}
