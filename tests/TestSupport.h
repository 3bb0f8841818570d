#pragma once
#include "dsp/CORVDSPAlgInterface.h"

#include <cmath>
#include <complex>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

// A stereo signal.
struct Stereo {
    std::vector<float> left;
    std::vector<float> right;
};

// A sine of the given frequency and amplitude.
std::vector<float> Sine(double frequency, double sampleRate, size_t frames, float amplitude = 0.5f);

// Root mean square and largest magnitude of a signal.
double Rms(const std::vector<float>& signal, size_t from = 0);
float Peak(const std::vector<float>& signal, size_t from = 0);

// Runs an algorithm over a stereo signal in blocks of blockSize frames,
// in place, and returns the peaks of the last block.
void ProcessInBlocks(CORVDSPAlgInterface& algorithm, std::vector<float>& left, std::vector<float>& right,
                     int32_t blockSize);

// A fresh folder under the system's temporary folder, removed with all its
// contents at the end of the scope.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::string& Path() const { return path; }
    // The path of a name inside the folder.
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    // Every name in the folder, hidden ones included, sorted.
    std::vector<std::string> Entries() const;

private:
    std::string path;
};

// Sets an environment variable for the scope (unsets it when value is null)
// and puts the previous state back afterwards.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    std::string name;
    std::optional<std::string> previous;
};

// Points STOMPSET_DOCUMENTS_DIR at a fresh temporary folder for the scope, so
// that effect instances made there see their own user preset file.  (The
// whole test run already has its own documents folder; this one separates a
// test from the others.)
class ScopedDocumentsFolder {
public:
    ScopedDocumentsFolder();
    const std::string& Path() const { return folder.Path(); }
    // Where effect instances find the user preset file.
    std::string PresetFilePath() const;

private:
    TemporaryFolder folder;
    ScopedVariable variable;
};

// The whole contents of a file ("" when it cannot be read) and a writer of one.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& contents);

// True when the value is a subnormal (denormal) float.
inline bool IsSubnormal(float v) { return std::fpclassify(v) == FP_SUBNORMAL; }

inline double Db(double gain) { return 20.0 * std::log10(gain); }
inline float FromDb(double db) { return float(std::pow(10.0, db / 20.0)); }

// An effect constructed the way the effect instance makes it: a
// reinitialisation is due before the first block.
template <class Effect>
std::unique_ptr<Effect> Make(double sampleRate = 44100.0)
{
    auto effect = std::make_unique<Effect>(sampleRate, 256);
    effect->needsReinit = true;
    return effect;
}

// Made the way the effect instance makes it for a host: built at 44100 Hz,
// told the host's rate afterwards, a reinitialisation due before the first
// block.
template <class Effect>
std::unique_ptr<Effect> MakeAtHostRate(double sampleRate = 44100.0)
{
    auto effect = std::make_unique<Effect>(44100.0, 512);
    effect->sampleRate = sampleRate;
    effect->needsReinit = true;
    return effect;
}

// Sets one parameter by its plain value.
inline void Set(CORVDSPAlgInterface& effect, int32_t index, float plain) { effect.GetParameter(index)->SetValue(plain); }

std::vector<float> Impulse(size_t frames, size_t at = 0);

// A piecewise constant signal: each piece is (frames, level).
std::vector<float> Steps(const std::vector<std::pair<size_t, float>>& pieces);

// A stereo signal through an effect, in blocks of blockSize frames.
Stereo PlayStereo(CORVDSPAlgInterface& effect, Stereo signal, int32_t blockSize = 512);

// The same signal into both channels; the left output.  The two outputs must
// agree unless sameOutputs is false.
std::vector<float> Play(CORVDSPAlgInterface& effect, const std::vector<float>& input, int32_t blockSize = 512,
                        bool sameOutputs = true);

// The applied gain of every sample of a signal on both channels (output over
// input, 0 where the input is 0).
std::vector<float> GainCurve(CORVDSPAlgInterface& effect, const std::vector<float>& input, int32_t blockSize = 512);

// The first index at or after from whose value satisfies the predicate, or
// the size of the signal when none does.
template <class Predicate>
size_t FirstWhere(const std::vector<float>& signal, size_t from, Predicate predicate)
{
    for (size_t i = from; i < signal.size(); ++i)
        if (predicate(signal[i]))
            return i;
    return signal.size();
}

// The complex amplitude a + jb of a·sin + b·cos at frequency f in
// signal[from..], by a least squares fit; its magnitude alone.
std::complex<double> ComplexAmplitudeAt(const std::vector<float>& signal, double frequency, double sampleRate,
                                        size_t from);
inline double AmplitudeAt(const std::vector<float>& signal, double frequency, double sampleRate, size_t from)
{
    return std::abs(ComplexAmplitudeAt(signal, frequency, sampleRate, from));
}

// The gain in dB a sine at frequency measures through the effect, both
// channels alike, once its transient has died away.
double MeasuredGainDb(CORVDSPAlgInterface& effect, double frequency, double sampleRate, double seconds = 0.5);

// |DTFT| of a response at one frequency.
double DtftMagnitude(const std::vector<float>& response, double frequency, double sampleRate);

// Two foot-switch presses ms milliseconds apart with the tap parameter on.
void TapInterval(CORVDSPAlgInterface& effect, int32_t tapIndex, uint32_t ms, uint32_t firstTick = 50000);

// A tone with the given number of harmonics at amplitudes amplitude / h.
std::vector<float> HarmonicTone(double frequency, double sampleRate, size_t frames, int harmonics,
                                double amplitude = 0.3);

// Amplitude of the component at frequency in count samples from from, by a
// Hann-windowed correlation.
double WindowedAmplitudeAt(const std::vector<float>& signal, size_t from, size_t count, double frequency,
                           double sampleRate);

// The frequency of the strongest component in count samples from from: the
// largest bin of a zero-padded Hann-windowed transform, refined by a parabola
// through the logarithmic magnitudes.
double StrongestFrequency(const std::vector<float>& signal, size_t from, size_t count, double sampleRate);

inline double Cents(double frequency, double reference) { return 1200.0 * std::log2(frequency / reference); }

} // namespace testing_support
