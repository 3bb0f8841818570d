#include "dsp/SyncCoeff.h"

std::vector<std::string> SyncCoeffEntries()
{
    std::vector<std::string> entries;
    for (const SyncDivision& division : kSyncDivisions)
        entries.emplace_back(division.text);
    return entries;
}

std::vector<std::string> TapEntries() { return {"Canceled", "Press On-Off to start"}; }

double SyncedTempo(float syncCoeff, double ownTempo, double hostTempo)
{
    const int entry = int(syncCoeff);
    if (entry < 1 || entry >= int(kSyncDivisions.size()))
        return ownTempo;
    return hostTempo * kSyncDivisions[size_t(entry)].multiplier;
}
