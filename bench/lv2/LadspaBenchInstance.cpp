#include "bench/lv2/LadspaBenchInstance.h"

#include <cmath>
#include <utility>

namespace lv2bench {
namespace {

// Where LADSPA's "low", "middle" and "high" defaults lie between the bounds.
constexpr float kLowWeight = 0.25f;
constexpr float kMiddleWeight = 0.5f;
constexpr float kHighWeight = 0.75f;
constexpr float kConcertPitch = 440.0f;

// A control's default as its hints encode it: a bound, a point between the
// bounds (on a log scale for logarithmic ports) or a fixed number.  Bounds
// relative to the sample rate are scaled to it; integer ports are rounded.
// Without a default the lower bound serves, as for LV2 ports without one.
LADSPA_Data DefaultValue(const LADSPA_PortRangeHint& range, double sampleRate)
{
    const LADSPA_PortRangeHintDescriptor hints = range.HintDescriptor;
    const float scale = LADSPA_IS_HINT_SAMPLE_RATE(hints) ? float(sampleRate) : 1.0f;
    const float lower = range.LowerBound * scale;
    const float upper = range.UpperBound * scale;
    const auto between = [&](float weight) {
        if (LADSPA_IS_HINT_LOGARITHMIC(hints) && lower > 0.0f && upper > 0.0f)
            return std::exp(std::log(lower) * (1.0f - weight) + std::log(upper) * weight);
        return lower * (1.0f - weight) + upper * weight;
    };
    float value = LADSPA_IS_HINT_BOUNDED_BELOW(hints) ? lower : 0.0f;
    switch (hints & LADSPA_HINT_DEFAULT_MASK) {
    case LADSPA_HINT_DEFAULT_MINIMUM: value = lower; break;
    case LADSPA_HINT_DEFAULT_LOW: value = between(kLowWeight); break;
    case LADSPA_HINT_DEFAULT_MIDDLE: value = between(kMiddleWeight); break;
    case LADSPA_HINT_DEFAULT_HIGH: value = between(kHighWeight); break;
    case LADSPA_HINT_DEFAULT_MAXIMUM: value = upper; break;
    case LADSPA_HINT_DEFAULT_0: value = 0.0f; break;
    case LADSPA_HINT_DEFAULT_1: value = 1.0f; break;
    case LADSPA_HINT_DEFAULT_100: value = 100.0f; break;
    case LADSPA_HINT_DEFAULT_440: value = kConcertPitch; break;
    default: break;
    }
    return LADSPA_IS_HINT_INTEGER(hints) ? std::round(value) : value;
}

} // namespace

LadspaBenchInstance::LadspaBenchInstance(std::shared_ptr<const LadspaLibrary> library,
                                         const LADSPA_Descriptor& descriptor, double sampleRate,
                                         uint32_t blockLength)
    : library_(std::move(library)), descriptor_(descriptor)
{
    handle_ = descriptor_.instantiate(&descriptor_, static_cast<unsigned long>(sampleRate));
    if (handle_)
        ConnectPorts(sampleRate, blockLength);
}

LadspaBenchInstance::~LadspaBenchInstance()
{
    if (!handle_)
        return;
    if (active_ && descriptor_.deactivate)
        descriptor_.deactivate(handle_);
    descriptor_.cleanup(handle_);
}

void LadspaBenchInstance::ConnectPorts(double sampleRate, uint32_t blockLength)
{
    controls_.assign(descriptor_.PortCount, 0.0f);
    for (unsigned long i = 0; i < descriptor_.PortCount; ++i) {
        const LADSPA_PortDescriptor port = descriptor_.PortDescriptors[i];
        if (LADSPA_IS_PORT_AUDIO(port)) {
            if (LADSPA_IS_PORT_INPUT(port))
                audioInputs_.push_back(i);
            else
                audioOutputs_.push_back({i, std::vector<LADSPA_Data>(blockLength, 0.0f)});
            continue;
        }
        if (LADSPA_IS_PORT_INPUT(port)) {
            controls_[i] = DefaultValue(descriptor_.PortRangeHints[i], sampleRate);
            controlIndex_[descriptor_.PortNames[i]] = i;
        }
        descriptor_.connect_port(handle_, i, &controls_[i]);
    }
    for (AudioOutput& output : audioOutputs_)
        descriptor_.connect_port(handle_, output.index, output.buffer.data());
}

bool LadspaBenchInstance::SetControl(const std::string& name, float value)
{
    const auto found = controlIndex_.find(name);
    if (found == controlIndex_.end())
        return false;
    controls_[found->second] = value;
    return true;
}

void LadspaBenchInstance::Activate()
{
    if (descriptor_.activate)
        descriptor_.activate(handle_);
    active_ = true;
}

void LadspaBenchInstance::Run(const std::array<const float*, 2>& channels, uint32_t firstChannel, size_t offset,
                              uint32_t frames)
{
    for (size_t i = 0; i < audioInputs_.size(); ++i)
        descriptor_.connect_port(handle_, audioInputs_[i],
                                 const_cast<LADSPA_Data*>(channels[(firstChannel + i) % 2] + offset));
    descriptor_.run(handle_, frames);
}

} // namespace lv2bench
