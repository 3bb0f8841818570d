#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/common/TransitionGuard.h"
#include "effects/drive/ToneStack.h"

#include <array>
#include <span>

// What the guitar and bass tone controls share: "Volume", "Bass", "Mid",
// "Treble" and a "Type" that picks one passive tone stack from the class's
// voicings.  The stack is redesigned whenever a control moves, so new
// coefficients take over at the next block, under the transition guard.
class CORVToneControlBase : public CORVParRelations {
public:
    enum ParameterIndex : int32_t {
        kVolume = 2,
        kBass = 3,
        kMid = 4,
        kTreble = 5,
        kType = 6,
    };

    void UpdateParameters(bool reinitialise) override;
    void Reset() override;

    std::span<const ToneStackVoicing> Voicings() const { return voicings; }
    const ToneStackSections& Sections() const { return sections; }
    float VolumeGain() const { return volumeGain; }

protected:
    // voicings: one per "Type" entry, in list order, in static storage.
    CORVToneControlBase(double sampleRate, uint32_t maxFrames, std::span<const ToneStackVoicing> voicings);

    // Publishes the controls; the "Type" entries are the voicings' names.
    void AddToneControls(float defaultType);

    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    // The stack runs in double precision, coefficients and state alike: a
    // recursion without a rounding step between its additions is the
    // shortest chain of dependent operations per sample, which is what
    // bounds the speed of a two-section filter.
    struct Section {
        double g, b1, b2, a1, a2;
    };
    struct SectionState {
        double s1 = 0.0;
        double s2 = 0.0;
    };
    struct ChannelState {
        SectionState highPass;
        SectionState body;
    };

    const ToneStackVoicing& SelectedVoicing() const;
    static double Step(const Section& c, SectionState& s, double x);
    static void FlushTiny(ChannelState& state);

    std::span<const ToneStackVoicing> voicings;
    ToneStackSections sections{};
    float volumeGain = 1.0f;
    using ChannelStates = std::array<ChannelState, 2>;
    ChannelStates channels{};
    TransitionGuard<ChannelStates> guard;
};
