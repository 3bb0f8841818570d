#include "cli/Pedalboard.h"

#include "cli/EffectLookup.h"

const std::vector<PedalboardStage>& DefaultPedalboard()
{
    static const std::vector<PedalboardStage> stages = {
        {"NG:preset=Fast"},
        {"OD:preset=Crunch"},
        {"CH:preset=Light"},
        {"TR:Wave shape=Sinusoidal:Depth=40:Sync coeff=1/8"},
        {"AP:Wave shape=Triangular:Stereo=60:Sync coeff=1/2"},
        {"BD:Effect Level=25:Decay=0.8:Mode=Stereo:Sync coeff=1/4 T"},
        {"RV:preset=On Stage:Mix=25"},
        {"SPG:preset=Vintage Combo"},
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
