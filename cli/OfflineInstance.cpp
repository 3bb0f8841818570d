#include "cli/OfflineInstance.h"

#include "cli/CliError.h"
#include "core/CORVEffectGroupSpecific.h"
#include "host/HostTypes.h"
#include "host/PlugInLibrary.h"

std::unique_ptr<CORVEffectProcessAS> MakeOfflineInstance(const CatalogueEntry& entry, double sampleRate)
{
    if (NewPlugIn() != kNoErr || !GetPlugInGroup())
        throw CliError("the plug-in group could not be created");
    std::unique_ptr<CEffectProcess> process = GetPlugInGroup()->CreateProcess(entry.OfflineId(), sampleRate);
    auto* offline = dynamic_cast<CORVEffectProcessAS*>(process.get());
    if (!offline)
        throw CliError("no offline instance of '" + std::string(entry.longName) + "' could be made");
    process.release();
    return std::unique_ptr<CORVEffectProcessAS>(offline);
}
