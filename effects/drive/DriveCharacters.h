#pragma once
#include "effects/drive/CORVDriveDSP.h"

// The two families of drive pedal, each shared by its guitar and its bass
// version.

// The overdrives: +10 dB to +65 dB of drive, clipped before a light loop
// that feeds 6 % of the colour filter's output back.  The output voicing
// lifts the lows below 100 Hz, scoops the mids at 1.6 kHz and adds presence.
inline constexpr DriveCharacter kOverdriveCharacter{
    .drive = {5.5, 100.0},
    .clipper = ClipperPlacement::BeforeLoop,
    .feedback = 0.06f,
    .outputSections = {{
        // type             Hz     tenths dB  semitones
        {kEqSecondLowShelf, 100,   84,        0},
        {kEqPeak,           1625,  -49,       10},
        {kEqPeak,           5383,  136,       5},
        {kEqPeak,           11246, 191,       5},
    }},
};

// The distortions: +20 dB to +60 dB of drive into a strong loop (82 % fed
// back) that is clipped together with the signal, so signal and echo
// together stay within full scale.  The bass lift reaches up to 200 Hz
// and the top presence peak sits higher.
inline constexpr DriveCharacter kDistortionCharacter{
    .drive = {4.0, 200.0},
    .clipper = ClipperPlacement::InsideLoop,
    .feedback = 0.82f,
    .outputSections = {{
        // type             Hz     tenths dB  semitones
        {kEqSecondLowShelf, 200,   85,        0},
        {kEqPeak,           1625,  -49,       10},
        {kEqPeak,           5383,  136,       5},
        {kEqPeak,           11776, 203,       5},
    }},
};
