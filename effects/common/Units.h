#pragma once

// A knob's full travel: parameters published in percent are divided by this
// to reach the unit range their laws are written in.
inline constexpr float kPercent = 100.0f;

// Tempo is given in beats per minute, periods and rates in seconds and Hz.
inline constexpr double kSecondsPerMinute = 60.0;
