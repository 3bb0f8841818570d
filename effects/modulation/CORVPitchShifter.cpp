#include "effects/modulation/CORVPitchShifter.h"

#include "effects/common/Pi.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace {

constexpr float kSemitonesPerOctave = 12.0f;
constexpr int32_t kDefaultFrameLength = 2048;
// Power of the weakest maximum that still counts as a peak, relative to the
// strongest one: -60 dB.
constexpr float kPeakFloor = 1e-6f;
// Input beyond this magnitude (80 dB over full scale) is not audio.
constexpr float kInputLimit = 1e4f;

// The frame grows with the rate so that it spans about 46 ms (32 ms at
// 8 kHz); unlisted rates use the length of 44.1 and 48 kHz.
struct RateFrame {
    int32_t sampleRate;
    int32_t frameLength;
};
constexpr std::array<RateFrame, 9> kFrameLengths{{
    {8000, 256},
    {11025, 512},
    {22050, 1024},
    {44100, 2048},
    {48000, 2048},
    {88200, 4096},
    {96000, 4096},
    {176400, 8192},
    {192000, 8192},
}};

// One period of sin² over length samples, starting at zero.
double RaisedCosine(double position, double length)
{
    const double s = std::sin(kPi * position / length);
    return s * s;
}

// floor() as an integer without a library call.
int32_t FloorToInt(float x)
{
    const int32_t truncated = int32_t(x);
    return truncated - int32_t(float(truncated) > x);
}

// A spectrum as interleaved real and imaginary parts.
float* Interleaved(std::complex<float>* values) { return reinterpret_cast<float*>(values); }

} // namespace

// The trigonometric functions of the frame loop, as 4096-entry tables read
// with linear interpolation; one shared instance serves every shifter.
class CORVPitchShifter::TurnTables {
public:
    static constexpr int32_t kEntries = 4096;

    TurnTables()
    {
        for (int32_t i = 0; i <= kEntries; ++i) {
            sine[size_t(i)] = float(std::sin(2.0 * kPi * i / kEntries));
            arctangent[size_t(i)] = float(std::atan(double(i) / kEntries) / (2.0 * kPi));
        }
    }

    // turns in [0, 1).
    float Sine(float turns) const { return Lookup(sine, turns); }
    float Cosine(float turns) const
    {
        const float shifted = turns + 0.25f;
        return Lookup(sine, shifted - float(int32_t(shifted)));
    }

    // The angle of (x, y) in turns, -0.5 to 0.5.
    float Angle(float y, float x) const
    {
        const float ax = std::fabs(x);
        const float ay = std::fabs(y);
        const float larger = std::max(ax, ay);
        if (larger == 0.0f)
            return 0.0f;
        float angle = Lookup(arctangent, std::min(ax, ay) / larger);
        if (ay > ax)
            angle = 0.25f - angle;
        if (x < 0.0f)
            angle = 0.5f - angle;
        return y < 0.0f ? -angle : angle;
    }

private:
    // position in [0, 1]; the guard entry at kEntries serves position 1.
    static float Lookup(const std::array<float, kEntries + 1>& table, float position)
    {
        const float scaled = position * float(kEntries);
        const int32_t i = std::min(int32_t(scaled), kEntries - 1);
        const float fraction = scaled - float(i);
        return table[size_t(i)] + fraction * (table[size_t(i) + 1] - table[size_t(i)]);
    }

    std::array<float, kEntries + 1> sine;
    std::array<float, kEntries + 1> arctangent;
};

int32_t CORVPitchShifter::FrameLengthFor(int32_t sampleRate)
{
    for (const RateFrame& entry : kFrameLengths)
        if (entry.sampleRate == sampleRate)
            return entry.frameLength;
    return kDefaultFrameLength;
}

CORVPitchShifter::CORVPitchShifter(int32_t sampleRate, int32_t maxFrames, int32_t oversampling, float semitones)
    : frameLength(FrameLengthFor(sampleRate)),
      hop(frameLength / oversampling),
      capacity(maxFrames),
      factor(std::pow(2.0f, semitones / kSemitonesPerOctave)),
      bins(frameLength / 2 + 1),
      fft(frameLength),
      analysisWindow(size_t(frameLength)),
      synthesisWindow(size_t(frameLength), 0.0f),
      synthesisEnd(oversampling * hop),
      inputFrame(size_t(frameLength)),
      outputSum(size_t(frameLength)),
      outputHop(size_t(hop)),
      previousSpectrum(size_t(bins)),
      power(size_t(bins)),
      rotation(size_t(bins)),
      peaks(size_t(bins))
{
    static const TurnTables sharedTables;
    tables = &sharedTables;
    // A partial moved up by the factor must still fit below Nyquist; two bins
    // of margin keep the lower edge of the last region.
    searchEnd = std::min(bins, int32_t(float(bins) / factor) + 2);

    // The analysis window is a Hann window over the whole frame; the
    // synthesis window turns the product of both into a Hann window over the
    // last (oversampling - 1) hops, which sums to (oversampling - 1) / 2 at
    // the hop spacing.  Dividing by that sum and by the frame length (the
    // scale of an unnormalised forward-inverse pair) gives unit gain.
    const double synthesisLength = double(synthesisEnd - hop);
    const double scale = 1.0 / (double(frameLength) * synthesisLength / (2.0 * hop));
    for (int32_t n = 0; n < frameLength; ++n) {
        analysisWindow[size_t(n)] = float(RaisedCosine(n, frameLength));
        if (n >= hop && n < synthesisEnd)
            synthesisWindow[size_t(n)] =
                float(RaisedCosine(n - hop, synthesisLength) / RaisedCosine(n, frameLength) * scale);
    }
    Reset();
}

CORVPitchShifter::~CORVPitchShifter() = default;

void CORVPitchShifter::Reset()
{
    std::fill(inputFrame.begin(), inputFrame.end(), 0.0f);
    std::fill(outputSum.begin(), outputSum.end(), 0.0f);
    std::fill(outputHop.begin(), outputHop.end(), 0.0f);
    std::fill(previousSpectrum.begin(), previousSpectrum.end(), 0.0f);
    std::fill(rotation.begin(), rotation.end(), 0.0f);
    fill = Latency();
}

void CORVPitchShifter::Process(const float* input, float* output, int32_t frameCount)
{
    const int32_t latency = Latency();
    while (frameCount > 0) {
        const int32_t count = std::min(frameCount, frameLength - fill);
        // Input first: output may be the same buffer.  A sample that is not
        // a number or lies far beyond full scale would poison every later
        // spectrum, so the voices hear silence in its place.
        float* frame = &inputFrame[size_t(fill)];
        for (int32_t i = 0; i < count; ++i)
            frame[i] = std::fabs(input[i]) < kInputLimit ? input[i] : 0.0f;
        std::memcpy(output, &outputHop[size_t(fill - latency)], sizeof(float) * size_t(count));
        input += count;
        output += count;
        frameCount -= count;
        fill += count;
        if (fill == frameLength) {
            ProcessFrame();
            fill = latency;
        }
    }
}

void CORVPitchShifter::ProcessFrame()
{
    WindowFrame();
    fft.Forward();
    FindPeaks();
    TrackPeaks();
    MoveRegions();
    fft.Inverse();
    OverlapAdd();
    std::memmove(inputFrame.data(), &inputFrame[size_t(hop)], sizeof(float) * size_t(frameLength - hop));
}

void CORVPitchShifter::WindowFrame()
{
    // The frame is rotated by half its length so that the window's centre
    // sits at time zero of the transform: the bins of a steady partial then
    // share one phase, which is what the region rotation relies on.
    float* time = fft.Time();
    const int32_t half = frameLength / 2;
    for (int32_t n = 0; n < half; ++n) {
        time[n] = inputFrame[size_t(n + half)] * analysisWindow[size_t(n + half)];
        time[n + half] = inputFrame[size_t(n)] * analysisWindow[size_t(n)];
    }
}

void CORVPitchShifter::FindPeaks()
{
    const float* spectrum = Interleaved(fft.Spectrum());
    float strongest = 0.0f;
    for (int32_t k = 0; k < searchEnd; ++k) {
        const float p = spectrum[2 * k] * spectrum[2 * k] + spectrum[2 * k + 1] * spectrum[2 * k + 1];
        power[size_t(k)] = p;
        strongest = std::max(strongest, p);
    }
    // Maxima far below the strongest partial are noise; their bins join the
    // region of the nearest real peak, which saves most of the tracking work
    // on a noisy input and moves nothing audible to the wrong place.
    const float floor = strongest * kPeakFloor;
    // Written unconditionally and kept or not by the count: the comparisons
    // of a noisy spectrum are unpredictable, and this loop has no branch.
    int32_t count = 0;
    for (int32_t k = 1; k + 1 < searchEnd; ++k) {
        const float p = power[size_t(k)];
        peaks[size_t(count)].bin = k;
        count += int32_t(p > power[size_t(k) - 1]) & int32_t(p >= power[size_t(k) + 1]) & int32_t(p > floor);
    }
    peakCount = count;
}

void CORVPitchShifter::TrackPeaks()
{
    const float* spectrum = Interleaved(fft.Spectrum());
    const float* previous = Interleaved(previousSpectrum.data());
    const float hopTurnsPerBin = float(hop) / float(frameLength);
    const float binsPerHopTurn = float(frameLength) / float(hop);
    const float extra = factor - 1.0f;
    for (int32_t i = 0; i < peakCount; ++i) {
        Peak& peak = peaks[size_t(i)];
        const int32_t k = peak.bin;
        // Phase advance since the previous frame, less what the bin's own
        // frequency explains, gives the partial's offset from the bin centre.
        const float re = spectrum[2 * k] * previous[2 * k] + spectrum[2 * k + 1] * previous[2 * k + 1];
        const float im = spectrum[2 * k + 1] * previous[2 * k] - spectrum[2 * k] * previous[2 * k + 1];
        float offset = tables->Angle(im, re) - float(k) * hopTurnsPerBin;
        offset -= float(FloorToInt(offset + 0.5f));
        const float trueBin = float(k) + offset * binsPerHopTurn;

        const float shift = extra * trueBin;
        peak.shift = FloorToInt(shift + 0.5f);
        float turns = rotation[size_t(k)] + shift * hopTurnsPerBin;
        turns -= float(FloorToInt(turns));
        peak.rotation = turns;
        peak.cosine = tables->Cosine(turns);
        peak.sine = tables->Sine(turns);
    }
}

void CORVPitchShifter::MoveRegions()
{
    std::complex<float>* spectrum = fft.Spectrum();
    std::copy(spectrum, spectrum + bins, previousSpectrum.begin());
    std::fill(spectrum, spectrum + bins, 0.0f);
    float* target = Interleaved(spectrum);
    const float* source = Interleaved(previousSpectrum.data());
    int32_t regionStart = 0;
    for (int32_t i = 0; i < peakCount; ++i) {
        const Peak& peak = peaks[size_t(i)];
        // Regions meet halfway between neighbouring peaks.
        const int32_t regionEnd = i + 1 < peakCount ? (peak.bin + peaks[size_t(i) + 1].bin + 1) / 2 : searchEnd;
        const int32_t first = std::max(regionStart, -peak.shift);
        const int32_t last = std::min(regionEnd, bins - peak.shift);
        const float c = peak.cosine;
        const float s = peak.sine;
        const int32_t shift = peak.shift;
        for (int32_t k = first; k < last; ++k) {
            const float re = source[2 * k];
            const float im = source[2 * k + 1];
            target[2 * (k + shift)] += re * c - im * s;
            target[2 * (k + shift) + 1] += re * s + im * c;
        }
        std::fill(&rotation[size_t(regionStart)], &rotation[size_t(regionEnd - 1)] + 1, peak.rotation);
        regionStart = regionEnd;
    }
}

void CORVPitchShifter::OverlapAdd()
{
    const float* time = fft.Time();
    const int32_t half = frameLength / 2;
    // The transform's time zero is the frame's centre (see WindowFrame).
    for (int32_t n = hop; n < std::min(half, synthesisEnd); ++n)
        outputSum[size_t(n)] += time[n + half] * synthesisWindow[size_t(n)];
    for (int32_t n = std::max(half, hop); n < synthesisEnd; ++n)
        outputSum[size_t(n)] += time[n - half] * synthesisWindow[size_t(n)];
    // Positions hop .. 2 hop get nothing from later frames: they are final.
    std::memcpy(outputHop.data(), &outputSum[size_t(hop)], sizeof(float) * size_t(hop));
    std::memmove(outputSum.data(), &outputSum[size_t(hop)], sizeof(float) * size_t(frameLength - hop));
    std::fill(outputSum.end() - hop, outputSum.end(), 0.0f);
}
