#pragma once
#include "effects/common/CLfo.h"

#include <cstdint>
#include <vector>

class CORVDSPAlgInterface;

// Delays of the modulated-delay effects are set in tenths of a millisecond
// and rounded to whole samples at the integer part of the sample rate.
int32_t TenthsToSamples(int32_t tenths, double sampleRate);

// The speed of a delay sweep from the effect's "Rate" (Hz) and "Sync coeff"
// controls, at its host tempo and sample rate.
SweepSpeed SweepSpeedFromControls(const CORVDSPAlgInterface& effect, int32_t rateIndex, int32_t syncCoeffIndex);

// Where a pair of circular delay lines is written and read.  The read base
// trails the write index by the centre delay; a sweep reads at an offset from
// it.  Small and trivially copyable, so a loop can keep it in registers.
struct DelayCursor {
    int32_t length = 0;
    int32_t writeIndex = 0;
    int32_t readBase = 0;

    // Brings an index that is at most one length outside back into the line.
    int32_t Wrap(int32_t index) const
    {
        if (index < 0)
            return index + length;
        return index >= length ? index - length : index;
    }

    // The line read offset samples further back than the read base (nearer
    // for a negative offset), interpolated linearly between the two samples
    // around it.  Read before the current input is written.
    float Tap(const float* line, float offset) const
    {
        const int32_t whole = int32_t(offset);
        float fraction = offset - float(whole);
        int32_t towardsNeighbour = -1; // one sample older
        if (offset < 0.0f) {
            fraction = -fraction;
            towardsNeighbour = 1;
        }
        const int32_t first = Wrap(readBase - whole);
        const int32_t second = Wrap(first + towardsNeighbour);
        return (1.0f - fraction) * line[first] + fraction * line[second];
    }

    void Advance()
    {
        if (++writeIndex == length)
            writeIndex = 0;
        if (++readBase == length)
            readBase = 0;
    }
};

// One circular delay line per channel and their cursor.
class ModulatedDelayLines {
public:
    // Releases the lines and creates them afresh, zeroed, length samples
    // each.  The write position restarts at the top of the new lines.
    void Allocate(int32_t length);
    void Clear();
    // Places the read base delay samples behind the write index.
    void SetCentre(int32_t delay) { cursor.readBase = cursor.Wrap(cursor.writeIndex - delay); }

    float* Left() { return left_.data(); }
    float* Right() { return right_.data(); }
    const std::vector<float>& LeftLine() const { return left_; }
    const std::vector<float>& RightLine() const { return right_; }

    DelayCursor cursor;

private:
    std::vector<float> left_;
    std::vector<float> right_;
};
