#pragma once
#include "bench/lv2/BenchInstance.h"
#include "bench/lv2/Lv2BenchWorld.h"

#include <lilv/lilv.h>
#include <lv2/log/log.h>
#include <lv2/options/options.h>
#include <lv2/worker/worker.h>

#include <array>
#include <cstdarg>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace lv2bench {

// An LV2 instance as a host runs it for a fixed block length: every port
// connected and the features plug-ins commonly require (URID map and unmap,
// options with the block lengths and sample rate, bounded block length, a
// worker, a log).  Controls are named by port symbol.
class Lv2BenchInstance : public BenchInstance {
public:
    Lv2BenchInstance(Lv2BenchWorld& world, const LilvPlugin* plugin, double sampleRate, uint32_t blockLength);
    ~Lv2BenchInstance() override;
    Lv2BenchInstance(const Lv2BenchInstance&) = delete;
    Lv2BenchInstance& operator=(const Lv2BenchInstance&) = delete;

    bool Valid() const override { return instance_ != nullptr; }
    uint32_t AudioInputs() const override { return uint32_t(audioInputs_.size()); }
    uint32_t AudioOutputs() const override { return uint32_t(audioOutputs_.size()); }

    bool SetControl(const std::string& symbol, float value) override;
    void Activate() override;
    void Run(const std::array<const float*, 2>& channels, uint32_t firstChannel, size_t offset,
             uint32_t frames) override;
    const float* Output(uint32_t index) const override { return audioOutputs_[index].buffer.data(); }

private:
    struct AudioPort {
        uint32_t index;
        std::vector<float> buffer; // outputs only
    };
    struct AtomPort {
        uint32_t index;
        bool input;
        std::vector<uint64_t> buffer; // 64-bit words keep the atoms aligned
    };

    void BuildFeatures(double sampleRate, uint32_t blockLength);
    void ConnectPorts(uint32_t blockLength);
    void ResetAtomPorts();
    void DoScheduledWork();

    static LV2_Worker_Status ScheduleWork(LV2_Worker_Schedule_Handle handle, uint32_t size, const void* data);
    static LV2_Worker_Status Respond(LV2_Worker_Respond_Handle handle, uint32_t size, const void* data);
    static int LogPrintf(LV2_Log_Handle handle, LV2_URID type, const char* format, ...);
    static int LogVprintf(LV2_Log_Handle handle, LV2_URID type, const char* format, va_list arguments);

    Lv2BenchWorld& world_;
    const LilvPlugin* plugin_;
    LilvInstance* instance_ = nullptr;
    bool active_ = false;

    // Features; their data must outlive the instance.
    int32_t blockLength_ = 0;
    int32_t sequenceSize_ = 0;
    float sampleRate_ = 0.0f;
    std::array<LV2_Options_Option, 6> options_{};
    LV2_Worker_Schedule schedule_{};
    LV2_Log_Log log_{};
    std::vector<LV2_Feature> featureData_;
    std::vector<const LV2_Feature*> features_;

    std::vector<AudioPort> audioInputs_;
    std::vector<AudioPort> audioOutputs_;
    std::vector<AtomPort> atomPorts_;
    std::vector<float> controls_;
    std::map<std::string, uint32_t> controlIndex_;
    std::vector<float> idleBuffer_; // CV and unknown ports
    LV2_URID atomSequence_ = 0;
    LV2_URID atomChunk_ = 0;

    const LV2_Worker_Interface* worker_ = nullptr;
    std::vector<std::vector<uint8_t>> workRequests_;
    std::vector<std::vector<uint8_t>> workResponses_;
};

} // namespace lv2bench
