#include "cli/Pedalboard.h"

#include "cli/EffectLookup.h"

const std::vector<PedalboardStage>& DefaultPedalboard()
{
    // The levels are set as a player sets them: the overdrive's Level puts
    // it back at the riff's own loudness, and the cabinet's Volume, the last
    // stage, makes up what the modulation, delay, reverb and speaker take
    // away, so that the result peaks near -3 dBFS.
    static const std::vector<PedalboardStage> stages = {
        {"NG:preset=Fast"},
        {"OD:preset=Crunch:Level=85"},
        {"CH:preset=Light"},
        {"TR:Wave shape=Sinusoidal:Depth=40:Sync coeff=1/8"},
        {"AP:Wave shape=Triangular:Stereo=60:Sync coeff=1/2"},
        {"BD:Effect Level=25:Decay=0.8:Mode=Stereo:Sync coeff=1/4 T"},
        {"RV:preset=On Stage:Mix=25"},
        {"SPG:preset=Vintage Combo:Volume=11"},
    };
    return stages;
}

std::vector<EffectSpec> PedalboardRequests()
{
    std::vector<EffectSpec> specs;
    for (const PedalboardStage& stage : DefaultPedalboard())
        specs.push_back(ParseEffectSpec(stage.effectArgument));
    return specs;
}
