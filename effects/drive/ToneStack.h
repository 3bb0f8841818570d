#pragma once
#include "effects/common/BiquadKernel.h"

// The passive bass/mid/treble network of a valve amplifier, as both tone
// controls model it.  The driving stage feeds two paths: the treble cap C1
// to the top of the treble pot, and the slope resistor R1 to a node from
// which the bass cap C2 reaches the bottom of the treble pot and the mid cap
// C3 the top of the mid pot.  The bass pot, wired as a variable resistor,
// joins the treble pot's bottom to the mid pot's top; the mid pot, also a
// variable resistor, goes to ground.  The output is the treble pot's wiper,
// taken unloaded.

// Component values in ohms and farads.
struct ToneStackComponents {
    double slopeResistor; // R1
    double treblePot;     // whole track
    double bassPot;       // whole track
    double midPot;        // whole track
    double trebleCap;     // C1
    double bassCap;       // C2
    double midCap;        // C3
};

// One entry of a "Type" list: the name shown, the network, and the gain that
// brings the network's loss back to about unity with every knob at half way.
struct ToneStackVoicing {
    const char* name;
    ToneStackComponents parts;
    double makeUpDb;
};

// Where the three wipers sit, as fractions of their tracks.  For the treble
// pot it is the share of the track between the wiper and the bottom end; for
// the bass and mid pots the share of the track in circuit.
struct PotPositions {
    double bass;
    double mid;
    double treble;
};

// Knob rotations in percent to wiper positions.  The bass pot has an audio
// taper, as in the amplifiers these networks come from; mid and treble are
// linear.  No wiper ever quite reaches the end of its track.
PotPositions PotFractions(float bassPercent, float midPercent, float treblePercent);

// The network discretised for one sample rate: a first-order high-pass
// holding the zero at DC and the slowest pole, then a second-order section
// with the remaining two poles and the pair of zeros that shapes the mid
// notch.  The overall gain, make-up included, is in highPass.g.
struct ToneStackSections {
    BiquadCoefs highPass;
    BiquadCoefs body;
};

ToneStackSections DesignToneStack(const ToneStackVoicing& voicing, const PotPositions& pots, double sampleRate);
