#pragma once
#include <array>
#include <cstdint>

// The voicing of the reverb's spaces.  Every "Mode" entry is one row of
// seventeen 16-bit settings; lengths are in samples at 44100 Hz and scaled to
// the running rate, levels in thousandths, gains in tenths of a dB.
enum ReverbModeSetting : int32_t {
    kModeEarlyRow = 0,      // row of the early-reflection table
    kModePreDelay,          // gap between the dry sound and the tail, samples
    kModeShortestDecay,     // reverberation time (-60 dB) at "Decay" 0, ms
    kModeLongestDecay,      // reverberation time at "Decay" 100, ms
    kModeHighDecay,         // decay time at 8 kHz as a share of it, thousandths
    kModeEarlyLevel,        // early reflections in the wet sound
    kModeEarlyDiffusion,    // share of them smeared by the all-passes
    kModeEarlyToTail,       // share of them fed on into the combs
    kModeTailLevel,         // diffuse tail in the wet sound
    kModeWidth,             // stereo width of the tail
    kModeHighPass,          // corner of the tail input's high-pass, Hz
    kModeColorShelf,        // frequency of the "Color" shelves, Hz
    kModeColorRange,        // their gain at "Color" ±100, tenths of a dB
    kModeToneShelf,         // frequency of the mode's own tone shelves, Hz
    kModeToneGain,          // their gain, tenths of a dB
    kModeEchoFeedback,      // recirculation of the reflection pattern
    kModeEchoDamping,       // high-frequency loss per recirculation
    kModeSettingCount,
};

struct ReverbMode {
    const char* name;
    std::array<int16_t, kModeSettingCount> settings;
};

inline constexpr int32_t kReverbModeCount = 7;
// The "Mode" entries, in list order.
extern const std::array<ReverbMode, kReverbModeCount> kReverbModes;

// One early-reflection pattern: its length in samples at 44100 Hz, then
// twenty-three taps as (delay in samples at 44100 Hz, gain in thousandths).
// Even taps sound on the left, odd taps on the right.
inline constexpr int32_t kEarlyTapCount = 23;
inline constexpr int32_t kEarlyRowSize = 1 + 2 * kEarlyTapCount;
using EarlyReflectionRow = std::array<int16_t, kEarlyRowSize>;

inline constexpr int32_t kEarlyRowCount = 6;
extern const std::array<EarlyReflectionRow, kEarlyRowCount> kEarlyReflectionRows;
