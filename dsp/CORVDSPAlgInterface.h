#pragma once
#include "dsp/CORVDSPParameter.h"
#include "dsp/CORVDSPPreset.h"

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One row of an algorithm's parameter table, written as data in the effect's
// source.  texts holds the unit text, the two texts of a two-sided scale, or
// the entries of a list.
struct ParameterSpec {
    int32_t index;
    const char* name;
    std::vector<std::string> texts;
    float minValue;
    float maxValue;
    float step;
    float defaultValue;
    ScaleType scale;
    ParameterRole role = ParameterRole::None;
};

// What an effect reports from its audio processing, for the pedal's displays
// and LEDs and for a host's output ports.
enum class ReadingKind : uint8_t {
    TunerNote,      // semitones from C0 (A4 is 57), -1 while nothing is heard
    TunerFrequency, // Hz, 0 while nothing is heard
    TunerDeviation, // distance from the note, 50 to the neighbouring note
    GainReduced,    // 1 while the compressor holds the gain below its indicator level
    GateState,      // the expander gate's state: -1, 0 or 1
    GateClosed,     // 1 while the noise gate is shut
    GateLearning,   // 1 while the noise gate measures its threshold
    HoldState,      // the delay's hold cycle: 0 normal, 1 bypassing, 2 sampling, 3 playing
};

// One reading as an effect declares it, with the range and form a meter or
// a host's output port shows it in.
struct ReadingSpec {
    ReadingKind kind;
    const char* symbol;
    const char* name;
    float minimum;
    float maximum;
    float idle; // the value before the first block
    bool integer;
    const char* unit;    // "Hz", or nullptr
    const char* comment; // what the number means, or nullptr
};

// One factory preset: plain values in ascending parameter index order.
struct PresetSpec {
    const char* name;
    std::vector<float> values;
};

// The base of every effect algorithm: the parameter and preset tables, the
// bypass flag, sample rate and tempo, the flags that ask for new coefficients,
// the tap-tempo state, and the common block frame every effect runs through.
//
// Parameter setters run on the control thread and only store values and raise
// parametersChanged; Process reads the flags at the start of the next block,
// so coefficients only ever change at block boundaries.
class CORVDSPAlgInterface {
public:
    CORVDSPAlgInterface(double sampleRate, uint32_t maxFrames);
    virtual ~CORVDSPAlgInterface();
    CORVDSPAlgInterface(const CORVDSPAlgInterface&) = delete;
    CORVDSPAlgInterface& operator=(const CORVDSPAlgInterface&) = delete;

    virtual void SetTapState(float state);
    virtual float GetTapState() const;

    // The common frame: clears and measures the peaks, copies the input when
    // bypassed, otherwise brings the coefficients up to date and runs the
    // effect's own ProcessBlock.  inputs/outputs hold two channel pointers
    // (equal for a mono instance) and may alias each other.
    virtual void Process(const float* const* inputs, float* const* outputs, float* inputPeaks,
                         float* outputPeaks, int32_t frameCount);
    virtual void UpdateParameters(bool reinitialise) = 0;
    virtual void Reset() = 0;
    virtual DisplayText OnParameterChange(int32_t index, float normValue) = 0;

    // Readies the effect for blocks of up to maxBlockFrames off the audio
    // thread: a pending reinitialisation (new instance, new sample rate, new
    // capacity) allocates here, so the first Process allocates nothing.
    // Longer blocks are still processed, in slices of this capacity.
    void Prepare(uint32_t maxBlockFrames);

    // The readings this effect offers, and the current value of one of them
    // (0 for a reading the effect does not offer).  Read may be called from
    // any thread; it only loads values the last block stored.
    std::span<const ReadingSpec> Readings() const { return readings; }
    bool Offers(ReadingKind kind) const;
    virtual float Read(ReadingKind kind) const;
    // How many samples the whole output lags the input, for hosts to
    // compensate; 0 unless the processing itself delays every sample.
    virtual int32_t Latency() const { return 0; }

    CORVDSPParameter* GetParameter(int32_t index) const;
    CORVDSPParameter* FindParameter(std::string_view name, int32_t* index = nullptr) const;
    CORVDSPParameter* FindRole(ParameterRole role, int32_t* index = nullptr) const;
    void AddParameter(int32_t index, std::unique_ptr<CORVDSPParameter> parameter);
    void AddPreset(int32_t index, std::unique_ptr<CORVDSPPreset> preset);
    void ApplyPreset(const std::string& name);
    void ApplyPresetByIndex(int32_t index);
    // Every parameter's plain value in index order: what a preset of the
    // current settings holds.
    std::vector<float> CurrentValues() const;

    // The value of parameter index in plain units (0 when there is none).
    float Value(int32_t index) const;

    uint32_t fourCC;
    uint32_t maxFrames;
    double sampleRate;
    bool bypassed = false;
    const CORVDSPPreset* currentPreset = nullptr;
    double tempo = 120.0;
    bool parametersChanged = false;
    bool needsReinit = false;
    std::string longName = "Orvanta Audio Plug-In";
    std::string shortName = "DSP";
    float tapState = 0.0f;
    uint32_t tapTime = 0;
    const float* inputPeaks = nullptr;
    const float* outputPeaks = nullptr;
    std::map<int32_t, std::unique_ptr<CORVDSPParameter>> parameters;
    std::map<int32_t, std::unique_ptr<CORVDSPPreset>> presets;

protected:
    // Publishes the rows of a parameter table and a factory preset table
    // (presets under 0, 1, 2, ... with "Default" first).
    void AddParameters(const std::vector<ParameterSpec>& table);
    void AddPresets(const std::vector<PresetSpec>& table);
    // Declares the readings of Read; the table outlives the algorithm.
    void DeclareReadings(std::span<const ReadingSpec> table) { readings = table; }

    // The effect's own per-sample work on an up-to-date coefficient set.  It
    // must read both channels of a sample before writing either output, so
    // that in-place and mono (aliased) buffers are handled correctly.
    virtual void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) = 0;

    // Whether this block must bring the coefficients up to date.  A changed
    // parameter always asks for it; an effect that moves a value over several
    // blocks keeps asking until it arrives.
    virtual bool WantsUpdate() const { return parametersChanged; }

    // What a bypassed block does: a plain copy, with the output peaks equal to
    // the input peaks.  The BPM delay replaces it by its hold mode.
    virtual void ProcessBypassed(const float* const* inputs, float* const* outputs, float* inputPeaks,
                                 float* outputPeaks, int32_t frameCount);

private:
    void ProcessInSlices(const float* const* inputs, float* const* outputs, int32_t frameCount);

    std::span<const ReadingSpec> readings;
};

// Largest absolute sample of each of the two channels, written into peaks.
void MeasurePeaks(const float* const* channels, float* peaks, int32_t frameCount);
