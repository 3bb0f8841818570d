#pragma once
#include "dsp/DisplayText.h"

#include <cstdint>
#include <string>
#include <vector>

class CORVDSPAlgInterface;

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
// rounded back to float, so every value matches the original pedal bit for bit.
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

private:
    void MarkChanged();
};
