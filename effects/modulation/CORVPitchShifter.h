#pragma once
#include "effects/common/RealFft.h"

#include <complex>
#include <cstdint>
#include <vector>

// Transposes a continuous mono stream by a fixed interval with a short-time
// Fourier phase vocoder.
//
// Every hop (frame length / oversampling) the newest frame is windowed and
// transformed.  The spectrum is cut into regions around its magnitude peaks;
// each region is moved as a whole by the number of bins that takes its peak
// to the transposed frequency, and rotated by a phase that makes the peak
// advance at the transposed rate from frame to frame.  Moving whole regions
// keeps the shape of every partial's window lobe, so the resynthesised frame
// keeps the analysis window's envelope and overlap-adds without a level
// change; rotating a region as one keeps the bins of a partial in phase with
// each other.  The true frequency of each peak comes from its phase advance
// since the previous frame.
//
// The synthesis window leaves out the frame's first hop and covers the next
// (oversampling - 1) hops.  A sample therefore receives its last
// contribution from the frame in which it sits one hop from the start, and
// leaves after frame length - hop samples: that is the exact latency of the
// output.  Without transposition the output is the input, that much later.
class CORVPitchShifter {
public:
    CORVPitchShifter(int32_t sampleRate, int32_t maxFrames, int32_t oversampling, float semitones);
    ~CORVPitchShifter();
    CORVPitchShifter(const CORVPitchShifter&) = delete;
    CORVPitchShifter& operator=(const CORVPitchShifter&) = delete;

    // Clears the history: the next output is silence until new input has
    // travelled through.
    void Reset();

    // frameCount samples, at most Capacity(); input and output may be the
    // same buffer.
    void Process(const float* input, float* output, int32_t frameCount);

    int32_t Capacity() const { return capacity; }
    int32_t FrameLength() const { return frameLength; }
    int32_t Latency() const { return frameLength - hop; }

    // The analysis frame length used at a sample rate in Hz.
    static int32_t FrameLengthFor(int32_t sampleRate);

private:
    // Sine and arctangent lookups with phases in turns.
    class TurnTables;

    void ProcessFrame();
    void WindowFrame();
    void FindPeaks();
    void TrackPeaks();
    void MoveRegions();
    void OverlapAdd();

    const TurnTables* tables;
    int32_t frameLength;
    int32_t hop;
    int32_t capacity;
    float factor;
    int32_t bins;
    // Peaks are searched only where a moved partial can still land below
    // Nyquist.
    int32_t searchEnd;

    RealFft fft;
    std::vector<float> analysisWindow;
    // Zero outside [hop, oversampling x hop); includes the transform's scale.
    std::vector<float> synthesisWindow;
    int32_t synthesisEnd;

    std::vector<float> inputFrame;
    std::vector<float> outputSum;
    std::vector<float> outputHop;
    int32_t fill;

    std::vector<std::complex<float>> previousSpectrum;
    std::vector<float> power;
    // The phase rotation in turns applied to each bin's region last frame.
    std::vector<float> rotation;

    // One entry per peak of the current frame.
    struct Peak {
        int32_t bin;
        int32_t shift;
        float rotation;
        float cosine;
        float sine;
    };
    std::vector<Peak> peaks;
    int32_t peakCount = 0;
};
