#pragma once
#include "effects/common/BiquadKernel.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// A circular delay line.  Its storage is sized once, when the sample rate is
// known; the length in use can then change anywhere up to that capacity
// without touching the heap, which is what lets a mode change shorten or
// lengthen the reflection lines on the audio thread.
class DelayLine {
public:
    void Allocate(int32_t capacity)
    {
        buffer.assign(size_t(std::max(capacity, 1)), 0.0f);
        SetLength(capacity);
    }

    // Clamped to 1..capacity; restarts the line empty.
    void SetLength(int32_t newLength)
    {
        length = std::clamp(newLength, 1, int32_t(buffer.size()));
        Clear();
    }

    void Clear()
    {
        std::fill(buffer.begin(), buffer.end(), 0.0f);
        index = 0;
    }

    int32_t Length() const { return length; }
    int32_t Capacity() const { return int32_t(buffer.size()); }

    // The sample pushed length pushes ago, the next to be overwritten.
    float Front() const { return buffer[size_t(index)]; }

    void Push(float v)
    {
        buffer[size_t(index)] = v;
        if (++index >= length)
            index = 0;
    }

    // The sample pushed delay pushes ago, 1 <= delay <= length.
    float Tap(int32_t delay) const
    {
        int32_t i = index - delay;
        if (i < 0)
            i += length;
        return buffer[size_t(i)];
    }

private:
    std::vector<float> buffer;
    int32_t length = 1;
    int32_t index = 0;
};

// A feedback comb with a one-pole low-pass in its loop: each pass round the
// line loses a fixed share (the feedback) at low frequencies and more at high
// ones, as air and soft surfaces do.  Values written back are flushed, so a
// fading tail ends in exact zeros instead of subnormal numbers.
struct CombFilter {
    DelayLine line;
    float feedback = 0.0f;
    float damping = 0.0f;
    float store = 0.0f;

    float Process(float x)
    {
        const float out = line.Front();
        store = FlushToZero(out + (store - out) * damping);
        line.Push(FlushToZero(x + store * feedback));
        return out;
    }

    void Clear()
    {
        line.Clear();
        store = 0.0f;
    }
};

// A Schroeder all-pass: flat in magnitude, it smears each echo into a dense
// burst without colouring the tail.
struct AllPassFilter {
    static constexpr float kGain = 0.5f;
    DelayLine line;

    float Process(float x)
    {
        const float delayed = line.Front();
        const float v = FlushToZero(x + kGain * delayed);
        line.Push(v);
        return delayed - kGain * v;
    }
};
