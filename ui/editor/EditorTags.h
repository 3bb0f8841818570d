#pragma once
// The tags by which the editor finds the controls of a pedal.  Tags 2 to 13
// are parameter indices: a control under tag n shows parameter n.
#include <cstdint>

namespace tags {
inline constexpr int32_t kPresetNumber = 0;
inline constexpr int32_t kFootSwitch = 1;
inline constexpr int32_t kFirstParameter = 2;
inline constexpr int32_t kLastParameter = 13;
inline constexpr int32_t kPresetModified = 15;
inline constexpr int32_t kStatusLed = 16;
inline constexpr int32_t kUserPresetList = 17;
inline constexpr int32_t kPresetMenu = 18;
inline constexpr int32_t kSaveMenu = 19;
inline constexpr int32_t kOptionsMenu = 20;
inline constexpr int32_t kDisplay = 21;
inline constexpr int32_t kPresetName = 22;
inline constexpr int32_t kHiddenButtonA = 35;
inline constexpr int32_t kHiddenButtonB = 36;
inline constexpr int32_t kAboutView = 37;
} // namespace tags
