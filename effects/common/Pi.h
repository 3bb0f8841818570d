#pragma once
#include <numbers>

// π and 2π to double precision.  Every design that is free to choose takes
// them from here, so all of them agree.
inline constexpr double kPi = std::numbers::pi;
inline constexpr double kTwoPi = 2.0 * kPi;

// π rounded to eight decimals.  The drive pedals' voicing -- their fixed
// equaliser tables and the colour low-pass -- was computed with this value.
// It lies about a part per billion below π; designing with the exact value
// would move every corner of those tables by that much, enough to change
// the rounded coefficients and so every output sample of the pedals.
inline constexpr double kVoicingPi = 3.14159265;
inline constexpr double kVoicingTwoPi = 2.0 * kVoicingPi;
