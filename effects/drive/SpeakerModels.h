#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The loudspeaker-and-microphone models of the cabinet simulators, each a
// fixed list of filter sections designed at the running sample rate.

enum class SpeakerSectionKind : uint8_t {
    Peak,              // gainDb at frequency with q
    LowPass,           // second-order Butterworth
    HighPass,          // second-order Butterworth
    ResonantHighPass,  // second-order, peaking at the corner; smaller damping, taller peak
    ThirdOrderLowPass, // third-order Butterworth at frequency with a first-order high-pass at highPass
};

struct SpeakerSection {
    SpeakerSectionKind kind;
    double frequency; // Hz: centre or corner
    double gainDb = 0.0;
    double q = 0.0;
    double damping = 0.0;
    double highPass = 0.0; // Hz, third-order low-pass only
};

// The rows of a model table, written the way a measurement reads.
constexpr SpeakerSection Peak(double gainDb, double frequency, double q)
{
    return {SpeakerSectionKind::Peak, frequency, gainDb, q};
}
constexpr SpeakerSection LowPass(double frequency) { return {SpeakerSectionKind::LowPass, frequency}; }
constexpr SpeakerSection HighPass(double frequency) { return {SpeakerSectionKind::HighPass, frequency}; }
constexpr SpeakerSection ResonantHighPass(double frequency, double damping)
{
    return {SpeakerSectionKind::ResonantHighPass, frequency, 0.0, 0.0, damping};
}
constexpr SpeakerSection ThirdOrderLowPass(double lowPass, double highPass)
{
    return {SpeakerSectionKind::ThirdOrderLowPass, lowPass, 0.0, 0.0, 0.0, highPass};
}

// How many second-order sections a row occupies once designed.
constexpr size_t SlotsOf(const SpeakerSection& row)
{
    return row.kind == SpeakerSectionKind::ThirdOrderLowPass ? 2 : 1;
}

constexpr size_t SlotsOf(std::span<const SpeakerSection> rows)
{
    size_t slots = 0;
    for (const SpeakerSection& row : rows)
        slots += SlotsOf(row);
    return slots;
}

// A model: the woofer's sections and, for a cabinet with a horn, the horn's,
// which filter the woofer's output and are mixed back onto it.
struct SpeakerModel {
    const char* name;
    std::span<const SpeakerSection> woofer;
    std::span<const SpeakerSection> horn = {};
};

// Section slots a stage has for the woofer, and for a bass cabinet's horn.
inline constexpr size_t kWooferSlots = 20;
inline constexpr size_t kHornSlots = 11;

std::span<const SpeakerModel> GuitarSpeakerModels();
std::span<const SpeakerModel> BassSpeakerModels();

// The model names in list order, as the entries of a "Speaker Type" list.
std::vector<std::string> SpeakerTypeEntries(std::span<const SpeakerModel> models);
