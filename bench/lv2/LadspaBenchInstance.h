#pragma once
#include "bench/lv2/BenchInstance.h"
#include "bench/lv2/LadspaLibrary.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace lv2bench {

// A LADSPA instance run for a fixed block length.  Controls are named by
// port name (LADSPA has no symbols) and start at the defaults the port's
// hints give; control outputs write into storage of their own.
class LadspaBenchInstance : public BenchInstance {
public:
    LadspaBenchInstance(std::shared_ptr<const LadspaLibrary> library, const LADSPA_Descriptor& descriptor,
                        double sampleRate, uint32_t blockLength);
    ~LadspaBenchInstance() override;
    LadspaBenchInstance(const LadspaBenchInstance&) = delete;
    LadspaBenchInstance& operator=(const LadspaBenchInstance&) = delete;

    bool Valid() const override { return handle_ != nullptr; }
    uint32_t AudioInputs() const override { return uint32_t(audioInputs_.size()); }
    uint32_t AudioOutputs() const override { return uint32_t(audioOutputs_.size()); }

    bool SetControl(const std::string& name, float value) override;
    void Activate() override;
    void Run(const std::array<const float*, 2>& channels, uint32_t firstChannel, size_t offset,
             uint32_t frames) override;
    const float* Output(uint32_t index) const override { return audioOutputs_[index].buffer.data(); }

private:
    struct AudioOutput {
        unsigned long index;
        std::vector<LADSPA_Data> buffer;
    };

    void ConnectPorts(double sampleRate, uint32_t blockLength);

    std::shared_ptr<const LadspaLibrary> library_; // declared first: the code must outlive the instance
    const LADSPA_Descriptor& descriptor_;
    LADSPA_Handle handle_ = nullptr;
    bool active_ = false;

    std::vector<unsigned long> audioInputs_;
    std::vector<AudioOutput> audioOutputs_;
    std::vector<LADSPA_Data> controls_; // by port index, outputs included
    std::map<std::string, unsigned long> controlIndex_;
};

} // namespace lv2bench
