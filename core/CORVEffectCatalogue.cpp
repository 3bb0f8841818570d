#include "core/CORVEffectCatalogue.h"

#include "dsp/FourCC.h"
#include "effects/drive/CORVBassPreampDSP.h"
#include "effects/drive/CORVBluesDriveGuitarDSP.h"
#include "effects/drive/CORVCleanPreampGuitarDSP.h"
#include "effects/drive/CORVCrunchPreampGuitarDSP.h"
#include "effects/drive/CORVDistortionBassDSP.h"
#include "effects/drive/CORVDistortionDSP.h"
#include "effects/drive/CORVExciterDSP.h"
#include "effects/drive/CORVGraphicEQBassDSP.h"
#include "effects/drive/CORVGraphicEQGuitarDSP.h"
#include "effects/drive/CORVHiGainPreampGuitarDSP.h"
#include "effects/drive/CORVOverDriveBassDSP.h"
#include "effects/drive/CORVOverDriveDSP.h"
#include "effects/drive/CORVParametricEQDSP.h"
#include "effects/drive/CORVPowerAmpGuitarDSP.h"
#include "effects/drive/CORVSpeakerSimulatorBassDSP.h"
#include "effects/drive/CORVSpeakerSimulatorGuitarDSP.h"
#include "effects/drive/CORVToneControlBassDSP.h"
#include "effects/drive/CORVToneControlGuitarDSP.h"
#include "effects/modulation/CORVAutoPanDSP.h"
#include "effects/modulation/CORVAutoTunerDSP.h"
#include "effects/modulation/CORVAutoWahDSP.h"
#include "effects/modulation/CORVBPMDelayDSP.h"
#include "effects/modulation/CORVChorusBassDSP.h"
#include "effects/modulation/CORVChorusDSP.h"
#include "effects/modulation/CORVCompressorDSP.h"
#include "effects/modulation/CORVExpanderGateDSP.h"
#include "effects/modulation/CORVFlangerBassDSP.h"
#include "effects/modulation/CORVFlangerDSP.h"
#include "effects/modulation/CORVLevelControlDSP.h"
#include "effects/modulation/CORVNoiseGateDSP.h"
#include "effects/modulation/CORVOctaverDSP.h"
#include "effects/modulation/CORVPedalWahDSP.h"
#include "effects/modulation/CORVPhaserBassDSP.h"
#include "effects/modulation/CORVPhaserDSP.h"
#include "effects/modulation/CORVReverbDSP.h"
#include "effects/modulation/CORVTremoloDSP.h"

namespace {

template <class Algorithm>
std::unique_ptr<CORVDSPAlgInterface> Make(double sampleRate, uint32_t maxFrames)
{
    return std::make_unique<Algorithm>(sampleRate, maxFrames);
}

} // namespace

// clang-format off
const std::array<CatalogueEntry, kEffectCount> kCatalogue{{
//   id   long name                          short  RT stereo         second id         category             opt algorithm                            fourCC
    {  5, "AP - Auto Pan",                   "AP",  FourCC("APRT"), FourCC("APSd"), kCategorySoundField, 6, Make<CORVAutoPanDSP>,                FourCC("apu1")},
    { 15, "AW - Auto Wah",                   "AW",  FourCC("AWRT"), FourCC("AWSd"), kCategoryModulation, 6, Make<CORVAutoWahDSP>,                FourCC("awu1")},
    { 20, "BD - BPM Delay",                  "BD",  FourCC("BDRT"), FourCC("BDSd"), kCategoryDelay,      6, Make<CORVBPMDelayDSP>,               FourCC("bdu1")},
    { 90, "CH - Chorus",                     "CH",  FourCC("CHRT"), FourCC("CHSd"), kCategoryModulation, 6, Make<CORVChorusDSP>,                 FourCC("chu1")},
    { 35, "CM - Compressor",                 "CM",  FourCC("CMRT"), FourCC("CMSd"), kCategoryDynamics,   6, Make<CORVCompressorDSP>,             FourCC("cmu1")},
    { 45, "DT - Distortion",                 "DT",  FourCC("DTRT"), FourCC("DTSd"), kCategoryHarmonic,   2, Make<CORVDistortionDSP>,             FourCC("dtu1")},
    { 60, "EG - Expander Gate",              "EG",  FourCC("EGRT"), FourCC("EGSd"), kCategoryDynamics,   6, Make<CORVExpanderGateDSP>,           FourCC("egu1")},
    { 65, "FL - Flanger",                    "FL",  FourCC("FLRT"), FourCC("FLSd"), kCategoryModulation, 6, Make<CORVFlangerDSP>,                FourCC("flu1")},
    { 80, "GEG - Guitar Graphic EQ",         "GEG", FourCC("GERT"), FourCC("GESd"), kCategoryEQ,         6, Make<CORVGraphicEQGuitarDSP>,        FourCC("geg1")},
    {105, "NG - Noise Gate",                 "NG",  FourCC("NGRT"), FourCC("NGSd"), kCategoryDynamics,   6, Make<CORVNoiseGateDSP>,              FourCC("ngu1")},
    {110, "OD - Overdrive",                  "OD",  FourCC("ODRT"), FourCC("ODSd"), kCategoryHarmonic,   2, Make<CORVOverDriveDSP>,              FourCC("odu1")},
    {135, "PH - Phaser",                     "PH",  FourCC("PHRT"), FourCC("PHSd"), kCategoryModulation, 6, Make<CORVPhaserDSP>,                 FourCC("phu1")},
    {155, "RV - Reverb",                     "RV",  FourCC("RVRT"), FourCC("RVSd"), kCategoryReverb,     6, Make<CORVReverbDSP>,                 FourCC("rvu1")},
    {180, "TR - Tremolo",                    "TR",  FourCC("TRRT"), FourCC("TRSd"), kCategoryModulation, 6, Make<CORVTremoloDSP>,                FourCC("tru1")},
    { 10, "AT - Auto Tuner",                 "AT",  FourCC("ATRT"), FourCC("ATSd"), kCategoryNone,       6, Make<CORVAutoTunerDSP>,              FourCC("atu1")},
    { 25, "BLG - Guitar Blues Drive",        "BLG", FourCC("BLRT"), FourCC("BLSd"), kCategoryHarmonic,   6, Make<CORVBluesDriveGuitarDSP>,       FourCC("blg1")},
    { 30, "CLG - Guitar Clean Preamp",       "CLG", FourCC("CLRT"), FourCC("CLSd"), kCategoryHarmonic,   6, Make<CORVCleanPreampGuitarDSP>,      FourCC("clg1")},
    { 40, "CPG - Guitar Crunch Preamp",      "CPG", FourCC("CPRT"), FourCC("CPSd"), kCategoryHarmonic,   6, Make<CORVCrunchPreampGuitarDSP>,     FourCC("cpg1")},
    { 85, "HGG - Guitar HiGain Preamp",      "HGG", FourCC("HGRT"), FourCC("HGSd"), kCategoryHarmonic,   6, Make<CORVHiGainPreampGuitarDSP>,     FourCC("hgg1")},
    {100, "LC - Level Control",              "LC",  FourCC("LCRT"), FourCC("LCSd"), kCategoryNone,       6, Make<CORVLevelControlDSP>,           FourCC("lcu1")},
    {130, "PE - Parametric EQ",              "PE",  FourCC("PERT"), FourCC("PESd"), kCategoryEQ,         6, Make<CORVParametricEQDSP>,           FourCC("peu1")},
    {165, "SPG - Guitar Speaker Simulator",  "SPG", FourCC("SPRT"), FourCC("SPSd"), kCategoryEQ,         6, Make<CORVSpeakerSimulatorGuitarDSP>, FourCC("spg1")},
    {175, "TCG - Guitar Tone Control",       "TCG", FourCC("TCRT"), FourCC("TCSd"), kCategoryEQ,         6, Make<CORVToneControlGuitarDSP>,      FourCC("tcg1")},
    {150, "PW - Pedal Wah",                  "PW",  FourCC("PWRT"), FourCC("PWSd"), kCategoryModulation, 6, Make<CORVPedalWahDSP>,               FourCC("pwu1")},
    { 70, "FLB - Bass Flanger",              "FLB", FourCC("FLBR"), FourCC("FLBd"), kCategoryModulation, 6, Make<CORVFlangerBassDSP>,            FourCC("flb1")},
    { 95, "CHB - Bass Chorus",               "CHB", FourCC("CHBT"), FourCC("CHBd"), kCategoryModulation, 6, Make<CORVChorusBassDSP>,             FourCC("chb1")},
    {140, "PHB - Bass Phaser",               "PHB", FourCC("PHBT"), FourCC("PHBd"), kCategoryModulation, 6, Make<CORVPhaserBassDSP>,             FourCC("phb1")},
    { 50, "DTB - Bass Distortion",           "DTB", FourCC("DTBT"), FourCC("DTBd"), kCategoryHarmonic,   2, Make<CORVDistortionBassDSP>,         FourCC("dtb1")},
    {115, "ODB - Bass Overdrive",            "ODB", FourCC("ODBT"), FourCC("ODBd"), kCategoryHarmonic,   2, Make<CORVOverDriveBassDSP>,          FourCC("odb1")},
    { 75, "GEB - Bass Graphic EQ",           "GEB", FourCC("GEBT"), FourCC("GEBd"), kCategoryEQ,         6, Make<CORVGraphicEQBassDSP>,          FourCC("geb1")},
    {160, "SPB - Bass Speaker Simulator",    "SPB", FourCC("SPBT"), FourCC("SPBd"), kCategoryEQ,         6, Make<CORVSpeakerSimulatorBassDSP>,   FourCC("spb1")},
    {170, "TCB - Bass Tone Control",         "TCB", FourCC("TCBT"), FourCC("TCBd"), kCategoryEQ,         6, Make<CORVToneControlBassDSP>,        FourCC("tcb1")},
    {145, "PRB - Bass Preamp",               "PRB", FourCC("PRRT"), FourCC("PRSd"), kCategoryHarmonic,   6, Make<CORVBassPreampDSP>,             FourCC("prb1")},
    { 55, "EC - Exciter",                    "EC",  FourCC("ECRT"), FourCC("ECSd"), kCategoryHarmonic,   6, Make<CORVExciterDSP>,                FourCC("ecu1")},
    {120, "OT - Octaver",                    "OT",  FourCC("OTRT"), FourCC("OTSd"), kCategoryPitchShift, 6, Make<CORVOctaverDSP>,                FourCC("otu1")},
    {125, "PAG - Guitar Power Amp",          "PAG", FourCC("PART"), FourCC("PASd"), kCategoryHarmonic,   6, Make<CORVPowerAmpGuitarDSP>,         FourCC("pag1")},
}};
// clang-format on

const CatalogueEntry* FindCatalogueEntry(int32_t effectId)
{
    for (const CatalogueEntry& entry : kCatalogue)
        if (entry.effectId == effectId)
            return &entry;
    return nullptr;
}

std::unique_ptr<CORVDSPAlgInterface> CreateAlgorithm(int32_t effectId, double sampleRate, uint32_t maxFrames)
{
    const CatalogueEntry* entry = FindCatalogueEntry(effectId);
    if (!entry || !entry->create)
        return nullptr;
    return entry->create(sampleRate, maxFrames);
}
