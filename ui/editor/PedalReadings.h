#pragma once
// What a pedal shows of its sound: the readings an effect offers (the
// tuner's note, the gates' and the compressor's lights, the delay's hold
// state) and the peak levels going in and coming out.  The panels ask this
// interface, not the effect, because where the numbers come from depends on
// where the pedal is drawn: from the effect itself when it runs in the same
// process, from the plug-in's output ports when the editor runs apart.
#include "dsp/CORVDSPAlgInterface.h"

class PedalReadings {
public:
    virtual ~PedalReadings() = default;
    virtual float read(ReadingKind kind) const = 0;
    // The last block's peak of one channel on the meters' scale: 0 at
    // -60 dBFS, 1 at 0 dBFS, above 1 when the channel clipped.
    virtual float level(bool input, int channel) const = 0;
};

// An effect run directly, whose block peaks are linear amplitudes.
class AlgorithmReadings : public PedalReadings {
public:
    explicit AlgorithmReadings(const CORVDSPAlgInterface& algorithm) : effect(algorithm) {}
    float read(ReadingKind kind) const override { return effect.Read(kind); }
    float level(bool input, int channel) const override;

private:
    const CORVDSPAlgInterface& effect;
};

// Where a peak amplitude puts a meter that spans -60 dBFS to 0 dBFS, 0 to 1.
float MeterValue(float level);
