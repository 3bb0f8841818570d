#include "resources/artwork/FaceLayout.h"

namespace artwork {
namespace {

using F = Family;

// The legends are short forms of the effects' parameter names, from tag 2
// on; the tempo-sync menu, the tap and learn buttons, the speaker menu and
// the oversampling button carry their own words.
// clang-format off
constexpr FaceRow kFaces[] = {
//   code  name                        family          paint     legends (tag 2, 3, 4, ...)
    {  5, "AUTO PAN",                  F::Modulation,  0x1b8a86, "WAVE|TEMPO|CENTER|STEREO"},
    { 10, "AUTO TUNER",                F::Utility,     0x2b2e34, ""},
    { 15, "AUTO WAH",                  F::Filter,      0x7b3fa0, "SENS|RATE|DEPTH|CENTER|MODE"},
    { 20, "BPM DELAY",                 F::Ambience,    0x1d4e89, "LEVEL|TEMPO|DECAY|STEREO|MODE"},
    { 25, "BLUES DRIVE",               F::Drive,       0x2459c8, "GAIN|COLOR|OUTPUT"},
    { 30, "CLEAN|PREAMP",              F::Amp,         0xd9cfae, "GAIN|BRIGHT|OUTPUT"},
    { 35, "COMPRESSOR",                F::Dynamics,    0x2f7fbf, "THRESH|ATTACK|RELEASE|RATIO|AUTO GAIN"},
    { 40, "CRUNCH|PREAMP",             F::Amp,         0x8a5a2b, "GAIN|MID BOOST|OUTPUT"},
    { 45, "DISTORTION",                F::Drive,       0xe8731c, "LEVEL|COLOR|DIST"},
    { 50, "DISTORTION|BASS",           F::Drive,       0x3b3f45, "MIX|COLOR|DIST"},
    { 55, "EXCITER",                   F::Filter,      0xc9a227, "DRIVE|1ST|2ND|3RD|FREQ|MIX|4TH|5TH"},
    { 60, "EXPANDER|GATE",             F::Dynamics,    0x56616e, "THRESH|ATTACK|RELEASE|RATIO"},
    { 65, "FLANGER",                   F::Modulation,  0x5b3a8c, "TUNE|RATE|DEPTH|REGEN"},
    { 70, "FLANGER|BASS",              F::Modulation,  0x33214f, "TUNE|RATE|DEPTH|REGEN|IMPACT"},
    { 75, "GRAPHIC EQ|BASS",           F::Filter,      0x24272c, "50|120|400|500|800|4.5K|10K|OUT"},
    { 80, "GRAPHIC EQ|GUITAR",         F::Filter,      0xe4e4de, "100|200|400|800|1.6K|3.2K|6.4K|OUT"},
    { 85, "HI-GAIN|PREAMP",            F::Amp,         0x1c1c1e, "GAIN|LOW CUT|OUTPUT"},
    { 90, "CHORUS",                    F::Modulation,  0x2fa4d8, "MIX|RATE|DEPTH|STEREO"},
    { 95, "CHORUS|BASS",               F::Modulation,  0x165f78, "MIX|RATE|DEPTH|STEREO|IMPACT"},
    {100, "LEVEL|CONTROL",             F::Utility,     0x6b7078, "GAIN|LEFT|RIGHT|STEREO"},
    {105, "NOISE GATE",                F::Dynamics,    0x9c2121, "THRESH|ATTACK|RELEASE"},
    {110, "OVERDRIVE",                 F::Drive,       0x3aa53a, "LEVEL|COLOR|DRIVE"},
    {115, "OVERDRIVE|BASS",            F::Drive,       0x1d5e36, "MIX|COLOR|DRIVE"},
    {120, "OCTAVER",                   F::Modulation,  0xb23a7a, "CLEAN|OCT DOWN|OCT UP"},
    {125, "POWER AMP",                 F::Amp,         0x5c1f22, "VOLUME|PRESENCE|TUBES"},
    {130, "PARAMETRIC EQ",             F::Filter,      0xc3cad0, "GAIN|FREQ|Q|TYPE"},
    {135, "PHASER",                    F::Modulation,  0xe0457a, "MIX|RATE|DEPTH|RESO"},
    {140, "PHASER|BASS",               F::Modulation,  0x74203f, "MIX|RATE|DEPTH|RESO|IMPACT"},
    {145, "BASS PREAMP",               F::Amp,         0x2c3e50, "GAIN|U.LOW|U.HIGH|OUTPUT"},
    {150, "PEDAL WAH",                 F::Filter,      0x4a5a2a, "PEDAL|RESO|RANGE"},
    {155, "REVERB",                    F::Ambience,    0x3d7474, "MIX|DECAY|COLOR|MODE"},
    {160, "SPEAKER SIM|BASS",          F::Amp,         0x4b3b2f, "VOLUME"},
    {165, "SPEAKER SIM|GUITAR",        F::Amp,         0x6e6250, "VOLUME"},
    {170, "TONE CONTROL|BASS",         F::Filter,      0x5e4785, "VOLUME|BASS|MID|TREBLE|TYPE"},
    {175, "TONE CONTROL|GUITAR",       F::Filter,      0xb5651d, "VOLUME|BASS|MID|TREBLE|AMP TYPE"},
    {180, "TREMOLO",                   F::Modulation,  0xa8322d, "TEMPO|WAVE|DEPTH"},
};
// clang-format on

}  // namespace

std::span<const FaceRow> FaceTable() { return kFaces; }

}  // namespace artwork
