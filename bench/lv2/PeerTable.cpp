#include "bench/lv2/PeerTable.h"

#include <initializer_list>
#include <utility>

namespace lv2bench {
namespace {

// Peers are chosen from lv2ls and lv2info on Debian 12 with calf-plugins,
// x42-plugins, guitarix-lv2, lsp-plugins-lv2, mda-lv2, swh-lv2 and
// zam-plugins, and from analyseplugin for CAPS 0.9.26 (caps, LADSPA only;
// its stereo forms are preferred where it has them).  Settings move a control only where the default would leave
// the peer doing less than the job on a guitar: a tremolo mixed half dry,
// an auto pan where a tremolo is wanted, a chorus whose one default voice
// leaves the signal as it is, a drive at zero, a compressor or expander whose
// threshold the part never reaches, equaliser bands switched off or flat (ours
// included), a level control at unity (ours included), a saturator at unity
// gain, which leaves this part almost as it is.

constexpr float kCutDecibels = -6.0f;
constexpr float kBandDecibels = 3.0f;      // equaliser bands alternate boost and cut
constexpr float kBandBoost = 1.4125f;      // +3 dB for controls that take a gain factor
constexpr float kBandCut = 0.7079f;        // -3 dB
constexpr float kCompressorThresholdDecibels = -30.0f;
constexpr float kCompressorThreshold = 0.0316f; // -30 dB as a factor
constexpr float kCapsLowestThreshold = 0.0f; // its default takes off under 1.5 dB of this part
constexpr float kSaturatorDriveDecibels = 24.0f;

constexpr const char* kCapsLibrary = "ladspa:caps.so:";

// Bands set alternately to boost and cut, in the order given.
std::vector<PortSetting> Alternating(const std::vector<std::string>& bands, float boost, float cut)
{
    std::vector<PortSetting> settings;
    for (size_t band = 0; band < bands.size(); ++band)
        settings.push_back({bands[band], band % 2 == 0 ? boost : cut});
    return settings;
}

// Bands prefix+first .. prefix+last set alternately to boost and cut.
std::vector<PortSetting> Curve(const std::string& prefix, int first, int last, float boost, float cut)
{
    std::vector<std::string> bands;
    for (int band = first; band <= last; ++band)
        bands.push_back(prefix + std::to_string(band));
    return Alternating(bands, boost, cut);
}

// Calf equaliser bands switched on, alternately boosting and cutting.
std::vector<PortSetting> CalfBands(std::initializer_list<const char*> bands)
{
    std::vector<PortSetting> settings;
    bool boost = true;
    for (const char* band : bands) {
        settings.push_back({std::string(band) + "_active", 1.0f});
        settings.push_back({std::string(band) + "_level", boost ? kBandBoost : kBandCut});
        boost = !boost;
    }
    return settings;
}

// A CAPS plug-in by label; its settings name LADSPA ports.
PeerPlugin Caps(const char* label, std::vector<PortSetting> settings = {})
{
    return {kCapsLibrary + std::string(label), std::move(settings)};
}

const PeerPlugin kPulsatorTremolo{"http://calf.sourceforge.net/plugins/Pulsator", {{"offset_r", 0.0f}}};
const PeerPlugin kPulsatorPanner{"http://calf.sourceforge.net/plugins/Pulsator", {}};
const PeerPlugin kCalfSaturator{"http://calf.sourceforge.net/plugins/Saturator", {}};
const PeerPlugin kCalfGate{"http://calf.sourceforge.net/plugins/Gate", {}};
const PeerPlugin kZamGate{"urn:zamaudio:ZamGateX2", {}};
const PeerPlugin kZamTube{"urn:zamaudio:ZamTube", {}};
const PeerPlugin kGxStudioPreamp{"http://guitarix.sourceforge.net/plugins/gx_studiopre_st#studiopre_st", {}};
const PeerPlugin kGxTubeScreamer{"http://guitarix.sourceforge.net/plugins/gxts9#ts9sim", {}};
const PeerPlugin kGxMxrDistortion{"http://guitarix.sourceforge.net/plugins/gx_mxrdist_#_mxrdist_", {}};
const PeerPlugin kMdaOverdrive{"http://drobilla.net/plugins/mda/Overdrive", {{"drive", 0.5f}}};
const PeerPlugin kGxRat{"http://guitarix.sourceforge.net/plugins/gx_aclipper_#_aclipper_", {}};
const PeerPlugin kCapsAmp = Caps("AmpVTS");
const PeerPlugin kX42Equaliser{"http://gareus.org/oss/lv2/fil4#stereo",
                               {{"LSgain", kBandDecibels},
                                {"gain1", -kBandDecibels},
                                {"gain2", kBandDecibels},
                                {"gain3", -kBandDecibels},
                                {"gain4", kBandDecibels},
                                {"HSgain", -kBandDecibels}}};

const std::vector<PeerPlugin> kTremolos{
    kPulsatorTremolo,
    {"http://guitarix.sourceforge.net/plugins/gx_tremolo#_tremolo", {{"dry_wet", 100.0f}}},
    {"http://guitarix.sourceforge.net/plugins/gxtubetremelo#tubetremelo", {}},
};

const std::vector<PeerPlugin> kAutoPans{
    kPulsatorPanner,
    {"http://drobilla.net/plugins/mda/RoundPan", {}},
};

const std::vector<PeerPlugin> kChoruses{
    {"http://calf.sourceforge.net/plugins/MultiChorus", {}},
    {"http://guitarix.sourceforge.net/plugins/gx_chorus_stereo#_chorus_stereo", {}},
    {"http://plugin.org.uk/swh-plugins/multivoiceChorus", {{"voices", 3.0f}}},
    Caps("ChorusI"),
};

const std::vector<PeerPlugin> kFlangers{
    {"http://calf.sourceforge.net/plugins/Flanger", {}},
    {"http://guitarix.sourceforge.net/plugins/gx_flanger#_flanger", {}},
    {"http://plugin.org.uk/swh-plugins/flanger", {}},
    {"http://drobilla.net/plugins/mda/ThruZero", {}},
};

const std::vector<PeerPlugin> kPhasers{
    {"http://calf.sourceforge.net/plugins/Phaser", {}},
    {"http://guitarix.sourceforge.net/plugins/gx_phaser#_phaser", {}},
    {"http://plugin.org.uk/swh-plugins/lfoPhaser", {}},
    Caps("PhaserII"),
};

const std::vector<PeerPlugin> kDelays{
    {"http://calf.sourceforge.net/plugins/VintageDelay", {}},
    {"http://guitarix.sourceforge.net/plugins/gx_delay_stereo#_delay_stereo", {}},
    {"http://guitarix.sourceforge.net/plugins/gx_digital_delay_st_#_digital_delay_st_", {}},
    {"http://drobilla.net/plugins/mda/Delay", {}},
    {"urn:zamaudio:ZamDelay", {}},
};

const std::vector<PeerPlugin> kReverbs{
    {"http://calf.sourceforge.net/plugins/Reverb", {}},
    {"http://guitarix.sourceforge.net/plugins/gx_reverb_stereo#_reverb_stereo", {}},
    {"http://guitarix.sourceforge.net/plugins/gx_zita_rev1_stereo#_zita_rev1_stereo", {}},
    {"http://drobilla.net/plugins/mda/Ambience", {}},
    {"urn:zamaudio:ZamVerb", {}},
    Caps("PlateX2"),
};

const std::vector<PeerPlugin> kPedalWahs{
    {"http://guitarix.sourceforge.net/plugins/gxautowah#wah", {}},
    {"http://guitarix.sourceforge.net/plugins/gx_colwah_#_colwah_", {}},
};

const std::vector<PeerPlugin> kAutoWahs{
    {"http://guitarix.sourceforge.net/plugins/gxautowah#autowah", {}},
    {"http://calf.sourceforge.net/plugins/EnvelopeFilter", {}},
    Caps("AutoFilter"),
};

const std::vector<PeerPlugin> kCompressors{
    {"http://calf.sourceforge.net/plugins/Compressor", {{"threshold", kCompressorThreshold}}},
    {"http://lsp-plug.in/plugins/lv2/compressor_stereo", {{"al", kCompressorThreshold}}},
    {"urn:zamaudio:ZamCompX2", {{"thr", kCompressorThresholdDecibels}}},
    {"http://guitarix.sourceforge.net/plugins/gx_compressor#_compressor", {{"THRESHOLD", kCompressorThresholdDecibels}}},
    {"http://plugin.org.uk/swh-plugins/sc4", {{"threshold", kCompressorThresholdDecibels}, {"ratio", 4.0f}}},
    Caps("CompressX2", {{"threshold", kCapsLowestThreshold}}),
};

const std::vector<PeerPlugin> kExpanders{
    {"http://lsp-plug.in/plugins/lv2/expander_stereo", {{"em", 0.0f}}}, // downward, as a gate
    {"http://guitarix.sourceforge.net/plugins/gx_expander#_expander", {}},
    kCalfGate,
    kZamGate,
};

const std::vector<PeerPlugin> kNoiseGates{
    kCalfGate,
    {"http://lsp-plug.in/plugins/lv2/gate_stereo", {}},
    kZamGate,
    {"http://plugin.org.uk/swh-plugins/gate", {}},
    Caps("Noisegate"),
};

const std::vector<PeerPlugin> kLevelControls{
    {"http://plugin.org.uk/swh-plugins/amp", {{"gain", kCutDecibels}}},
    {"http://gareus.org/oss/lv2/balance", {{"trim", kCutDecibels}}},
};

const std::vector<PeerPlugin> kOctavers{
    {"http://guitarix.sourceforge.net/plugins/gx_oc_2_#_oc_2_", {}},
};

const std::vector<PeerPlugin> kTuners{
    {"http://gareus.org/oss/lv2/tuna#one", {}},
    {"http://guitarix.sourceforge.net/plugins/gxtuner#tuner", {}},
};

const std::vector<PeerPlugin> kOverdrives{
    kGxTubeScreamer,
    kMdaOverdrive,
    {"http://plugin.org.uk/swh-plugins/foverdrive", {}},
    kCalfSaturator,
};

const std::vector<PeerPlugin> kDistortions{
    {"http://guitarix.sourceforge.net/plugins/gx_bossds1_#_bossds1_", {}},
    kGxMxrDistortion,
    kCalfSaturator,
};

const std::vector<PeerPlugin> kBluesDrives{
    kGxTubeScreamer,
    kGxMxrDistortion,
    kGxRat,
    kMdaOverdrive,
    kCalfSaturator,
    Caps("Saturate", {{"gain (dB)", kSaturatorDriveDecibels}}),
};

const std::vector<PeerPlugin> kPreamps{
    kGxStudioPreamp,
    {"http://guitarix.sourceforge.net/plugins/gxmetal_amp#metal_amp", {}},
    kZamTube,
    kCapsAmp,
};

const std::vector<PeerPlugin> kPowerAmps{kZamTube, kCalfSaturator};

const std::vector<PeerPlugin> kBassPreamps{
    kZamTube,
    kGxStudioPreamp,
    {"http://calf.sourceforge.net/plugins/BassEnhancer", {}},
    kCapsAmp,
};

const std::vector<PeerPlugin> kSpeakers{
    {"http://guitarix.sourceforge.net/plugins/gx_cabinet#CABINET", {}},
    Caps("CabinetIII"),
    Caps("CabinetIV"),
};

const std::vector<PeerPlugin> kToneControls{
    Caps("ToneStack"), // a passive tone stack, as ours
    {"http://guitarix.sourceforge.net/plugins/gxtilttone#tilttone", {}},
    {"http://calf.sourceforge.net/plugins/Equalizer5Band", CalfBands({"ls", "p1", "p2", "p3", "hs"})},
    kX42Equaliser,
};

const std::vector<PeerPlugin> kGraphicEqualisers{
    {"http://guitarix.sourceforge.net/plugins/gx_graphiceq_#_graphiceq_", Curve("G", 1, 11, kBandDecibels, -kBandDecibels)},
    {"http://guitarix.sourceforge.net/plugins/gx_barkgraphiceq_#_barkgraphiceq_",
     Curve("G", 1, 24, kBandDecibels, -kBandDecibels)},
    {"http://lsp-plug.in/plugins/lv2/graph_equalizer_x16_stereo", Curve("g_", 0, 15, kBandBoost, kBandCut)},
    {"urn:zamaudio:ZamGEQ31", Curve("band", 1, 29, kBandDecibels, -kBandDecibels)},
    Caps("Eq10X2", Alternating({"31 Hz", "63 Hz", "125 Hz", "250 Hz", "500 Hz", "1 kHz", "2 kHz", "4 kHz", "8 kHz",
                                "16 kHz"},
                               kBandDecibels, -kBandDecibels)),
};

const std::vector<PeerPlugin> kParametricEqualisers{
    kX42Equaliser,
    {"http://calf.sourceforge.net/plugins/Equalizer8Band", CalfBands({"ls", "p1", "p2", "p3", "p4", "hs"})},
    {"urn:zamaudio:ZamEQ2",
     {{"boostl", kBandDecibels}, {"boost1", -kBandDecibels}, {"boost2", kBandDecibels}, {"boosth", -kBandDecibels}}},
    {"http://plugin.org.uk/swh-plugins/triplePara", {}},
    Caps("Eq4p", Alternating({"a.gain (dB)", "b.gain (dB)", "c.gain (dB)", "d.gain (dB)"}, kBandDecibels,
                             -kBandDecibels)),
};

const std::vector<PeerPlugin> kExciters{
    {"http://calf.sourceforge.net/plugins/Exciter", {}},
    Caps("SpiceX2"),
};

} // namespace

const std::vector<EffectComparison>& PeerTable()
{
    // clang-format off
    static const std::vector<EffectComparison> table{
        // effect  peers       our settings
        {"TR",  kTremolos},
        {"AP",  kAutoPans},
        {"CH",  kChoruses},
        {"CHB", kChoruses},
        {"FL",  kFlangers},
        {"FLB", kFlangers},
        {"PH",  kPhasers},
        {"PHB", kPhasers},
        {"BD",  kDelays},
        {"RV",  kReverbs},
        {"PW",  kPedalWahs},
        {"AW",  kAutoWahs},
        {"CM",  kCompressors},
        {"EG",  kExpanders},
        {"NG",  kNoiseGates},
        {"LC",  kLevelControls, {{"gain", kCutDecibels}}},
        {"OT",  kOctavers},
        {"AT",  kTuners},
        {"OD",  kOverdrives},
        {"ODB", kOverdrives},
        {"DT",  kDistortions},
        {"DTB", kDistortions},
        {"BLG", kBluesDrives},
        {"CLG", kPreamps},
        {"CPG", kPreamps},
        {"HGG", kPreamps},
        {"PRB", kBassPreamps},
        {"PAG", kPowerAmps},
        {"SPG", kSpeakers},
        {"SPB", kSpeakers},
        {"TCG", kToneControls},
        {"TCB", kToneControls},
        {"GEG", kGraphicEqualisers, Alternating({"gain_100_hz", "gain_200_hz", "gain_400_hz", "gain_800_hz",
                                                 "gain_1_6_khz", "gain_3_2_khz", "gain_6_4_khz"},
                                                kBandDecibels, -kBandDecibels)},
        {"GEB", kGraphicEqualisers, Alternating({"gain_50_hz", "gain_120_hz", "gain_400_hz", "gain_500_hz",
                                                 "gain_800_hz", "gain_4_5_khz", "gain_10_khz"},
                                                kBandDecibels, -kBandDecibels)},
        {"PE",  kParametricEqualisers},
        {"EC",  kExciters},
    };
    // clang-format on
    return table;
}

} // namespace lv2bench
