#pragma once
#include <vector>

// The demo's dry guitar: a ten-second rock riff at 120 BPM of power chords,
// a single-note run and a final open chord, from plucked strings through a
// body and pickup tone filter.  The same samples every time.
constexpr double kDemoSampleRate = 48000.0;
constexpr double kDemoSeconds = 10.0;
constexpr double kDemoTempo = 120.0;
constexpr float kDemoPeak = 0.35f; // headroom for the level swings of the pedalboard

// One mono channel at sampleRate, kDemoSeconds long, peaking at kDemoPeak.
std::vector<float> SynthesiseDemoRiff(double sampleRate = kDemoSampleRate);
