#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace lv2bench {

// One plug-in instance as the measurement drives it, whatever standard the
// plug-in follows: set up for a fixed block length, with audio inputs
// connected straight to the caller's signal so that no copying blurs the
// timing.
class BenchInstance {
public:
    virtual ~BenchInstance() = default;

    virtual bool Valid() const = 0;
    virtual uint32_t AudioInputs() const = 0;
    virtual uint32_t AudioOutputs() const = 0;

    // Sets a control input before Activate; false when there is no such port.
    virtual bool SetControl(const std::string& symbol, float value) = 0;
    virtual void Activate() = 0;

    // Runs one block.  Audio input i reads channels[(firstChannel + i) % 2]
    // at offset; the channels must not be written by the plug-in.
    virtual void Run(const std::array<const float*, 2>& channels, uint32_t firstChannel, size_t offset,
                     uint32_t frames) = 0;
    virtual const float* Output(uint32_t index) const = 0;
};

} // namespace lv2bench
