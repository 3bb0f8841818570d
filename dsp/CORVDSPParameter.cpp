#include "dsp/CORVDSPParameter.h"

#include "dsp/CORVDSPAlgInterface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

DisplayText FormatNumber(float v)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", double(v));
    return DisplayText(text);
}

float Ln(float x) { return float(std::log(double(x))); }

} // namespace

CORVDSPParameter::CORVDSPParameter(CORVDSPAlgInterface* owner_, std::string name_, std::string unit,
                                   float minValue_, float maxValue_, float step_, float defaultValue_,
                                   int32_t scaleType_, uint8_t reserved_)
    : CORVDSPParameter(owner_, std::move(name_), std::vector<std::string>{std::move(unit)}, minValue_,
                       maxValue_, step_, defaultValue_, scaleType_, reserved_)
{
}

CORVDSPParameter::CORVDSPParameter(CORVDSPAlgInterface* owner_, std::string name_,
                                   std::vector<std::string> texts, float minValue_, float maxValue_,
                                   float step_, float defaultValue_, int32_t scaleType_, uint8_t reserved_)
    : owner(owner_), defaultValue(defaultValue_), defaultNorm(0.0f), value(minValue_), minValue(minValue_),
      maxValue(maxValue_), step(step_), valueTexts(std::move(texts)), name(std::move(name_)),
      scaleType(scaleType_), reserved(reserved_)
{
    defaultNorm = NormalizedFromPlain(defaultValue);
}

float CORVDSPParameter::PlainFromNormalized(float n) const
{
    switch (scaleType) {
    case ScaleLog:
        if (n == 1.0f)
            return maxValue;
        {
            const float lnMin = Ln(minValue);
            return float(std::exp(double(lnMin + n * (Ln(maxValue) - lnMin))));
        }
    case ScaleSquare:
        return minValue + n * n * (maxValue - minValue);
    default:
        return minValue + n * (maxValue - minValue);
    }
}

float CORVDSPParameter::NormalizedFromPlain(float v) const
{
    switch (scaleType) {
    case ScaleLog: {
        // Values at or below the minimum (zero and negatives included) sit at 0.
        if (!(v > minValue))
            return 0.0f;
        const float lnMin = Ln(minValue);
        return std::clamp((Ln(v) - lnMin) / (Ln(maxValue) - lnMin), 0.0f, 1.0f);
    }
    case ScaleSquare:
        return float(std::sqrt(double((v - minValue) / (maxValue - minValue))));
    default: // every linear mapping clamps to the range
        return (std::clamp(v, minValue, maxValue) - minValue) / (maxValue - minValue);
    }
}

void CORVDSPParameter::MarkChanged()
{
    if (owner)
        owner->parametersChanged = true;
}

void CORVDSPParameter::SetNormalized(float n)
{
    normValue = n;
    value = PlainFromNormalized(n);
    MarkChanged();
}

void CORVDSPParameter::SetValue(float v)
{
    value = v;
    normValue = NormalizedFromPlain(v);
    MarkChanged();
}

DisplayText CORVDSPParameter::GetText(bool withName, bool withUnit, float v) const
{
    if (v < 0.0f)
        v = value;
    DisplayText number = FormatNumber(v);
    std::string_view unit = valueTexts.empty() ? std::string_view() : std::string_view(valueTexts[0]);

    switch (scaleType) {
    case ScaleLinearNoUnit:
        unit = {};
        break;
    case ScaleTwoSided: {
        const float middle = (minValue + maxValue) / 2.0f;
        if (v == middle)
            unit = {};
        else if (v > middle)
            unit = valueTexts.size() > 1 ? std::string_view(valueTexts[1]) : std::string_view();
        break;
    }
    case ScaleList: {
        number = {};
        const float k = std::floor(v + 0.5f);
        unit = (k >= 0.0f && k < float(valueTexts.size())) ? std::string_view(valueTexts[size_t(k)])
                                                            : std::string_view();
        break;
    }
    case ScaleDecibel:
        if (v <= minValue) {
            number = "-Inf";
            unit = {};
        }
        break;
    case ScaleOffAtMin:
        if (v <= minValue) {
            number = "Off";
            unit = {};
        }
        break;
    case ScaleOffAtMax:
        if (v >= maxValue) {
            number = "Off";
            unit = {};
        }
        break;
    default:
        break;
    }

    if (!withUnit)
        return scaleType == ScaleList ? DisplayText(unit) : number;
    DisplayText text;
    if (withName)
        text.Append(name).Append(": ");
    return text.Append(number).Append(" ").Append(unit);
}
