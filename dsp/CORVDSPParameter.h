#pragma once
#include "dsp/DisplayText.h"

#include <cstdint>
#include <string>
#include <vector>

class CORVDSPAlgInterface;

// Parameter 1 is the foot switch in every effect; an algorithm numbers its
// own parameters from 2, and host controls, editor tags and parameter
// indices are one and the same number up to 13.
inline constexpr int32_t kFootSwitchIndex = 1;
inline constexpr int32_t kLastControlIndex = 13;

// What a parameter means to the code around an effect.  Tap tempo, tempo
// sync and the host's tempo find their parameters by role, so a parameter's
// name stays a text for the user and can never be misspelt into silence.
enum class ParameterRole : uint8_t {
    None,
    Tempo,     // beats per minute that a tap sets
    Rate,      // Hz that a tap sets (one tap interval is one period)
    SyncCoeff, // the division of the host's tempo, 0 = off
    Tap,       // the foot switch taps the tempo while this is on
};

// How a parameter maps between the normalised 0..1 value of host and editor
// and the plain value in its unit, and how its display text is formed.
enum ScaleType : int32_t {
    ScaleLinear = 0,
    ScaleLinearNoUnit = 1,
    ScaleTwoSided = 2,
    ScaleList = 3,
    ScaleLog = 4,
    ScaleDecibel = 5,
    ScaleSquare = 6,
    ScaleOffAtMin = 7,
    ScaleOffAtMax = 8,
};

// One named parameter of an algorithm.  Arithmetic is single precision except
// logarithms, exponentials and square roots, which are taken in double and
// rounded back to float once, so a value comes out the same bit for bit on
// every platform and build.
class CORVDSPParameter {
public:
    // Unit form: the unit text becomes the single entry of valueTexts.
    CORVDSPParameter(CORVDSPAlgInterface* owner, std::string name, std::string unit, float minValue,
                     float maxValue, float step, float defaultValue, int32_t scaleType, uint8_t reserved = 0);
    // Entry form: list entries, or the two unit texts of a two-sided scale.
    CORVDSPParameter(CORVDSPAlgInterface* owner, std::string name, std::vector<std::string> texts,
                     float minValue, float maxValue, float step, float defaultValue, int32_t scaleType,
                     uint8_t reserved = 0);

    void SetNormalized(float n);
    void SetValue(float v);

    float PlainFromNormalized(float n) const;
    float NormalizedFromPlain(float v) const;

    // Display text; a negative v stands for the current value.
    DisplayText GetText(bool withName, bool withUnit, float v = -1.0f) const;

    CORVDSPAlgInterface* owner;
    float normValue = 0.0f;
    float defaultValue;
    float defaultNorm;
    float value;
    float minValue;
    float maxValue;
    float step;
    std::vector<std::string> valueTexts;
    std::string name;
    int32_t scaleType;
    uint8_t reserved;
    ParameterRole role = ParameterRole::None;

private:
    void MarkChanged();
};
