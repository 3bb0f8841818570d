#include "bench/lv2/Lv2BenchInstance.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/parameters/parameters.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace lv2bench {
namespace {

// Room for the events a plug-in may send to its user interface in a block.
constexpr size_t kAtomBufferBytes = 64 * 1024;

bool IsPowerOfTwo(uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

} // namespace

Lv2BenchInstance::Lv2BenchInstance(Lv2BenchWorld& world, const LilvPlugin* plugin, double sampleRate,
                                   uint32_t blockLength)
    : world_(world), plugin_(plugin)
{
    atomSequence_ = world_.Map(LV2_ATOM__Sequence);
    atomChunk_ = world_.Map(LV2_ATOM__Chunk);
    BuildFeatures(sampleRate, blockLength);
    instance_ = lilv_plugin_instantiate(plugin_, sampleRate, features_.data());
    if (!instance_)
        return;
    worker_ = static_cast<const LV2_Worker_Interface*>(lilv_instance_get_extension_data(instance_, LV2_WORKER__interface));
    ConnectPorts(blockLength);
}

Lv2BenchInstance::~Lv2BenchInstance()
{
    if (!instance_)
        return;
    if (active_)
        lilv_instance_deactivate(instance_);
    lilv_instance_free(instance_);
}

void Lv2BenchInstance::BuildFeatures(double sampleRate, uint32_t blockLength)
{
    blockLength_ = int32_t(blockLength);
    sequenceSize_ = int32_t(kAtomBufferBytes);
    sampleRate_ = float(sampleRate);
    lilvhost::UridMap& urids = world_.Urids();
    const auto option = [&urids](const char* key, const char* type, const void* value) {
        return lilvhost::Option(urids, key, type, value);
    };
    // Every block has the same length, so it is the minimum, the maximum
    // and the nominal length at once.
    options_ = {option(LV2_BUF_SIZE__minBlockLength, LV2_ATOM__Int, &blockLength_),
                option(LV2_BUF_SIZE__maxBlockLength, LV2_ATOM__Int, &blockLength_),
                option(LV2_BUF_SIZE__nominalBlockLength, LV2_ATOM__Int, &blockLength_),
                option(LV2_BUF_SIZE__sequenceSize, LV2_ATOM__Int, &sequenceSize_),
                option(LV2_PARAMETERS__sampleRate, LV2_ATOM__Float, &sampleRate_), lilvhost::kEndOfOptions};
    schedule_ = {this, &Lv2BenchInstance::ScheduleWork};
    log_ = {this, &Lv2BenchInstance::LogPrintf, &Lv2BenchInstance::LogVprintf};

    featureData_ = {{LV2_URID__map, world_.MapFeature()},
                    {LV2_URID__unmap, world_.UnmapFeature()},
                    {LV2_OPTIONS__options, options_.data()},
                    {LV2_BUF_SIZE__boundedBlockLength, nullptr},
                    {LV2_BUF_SIZE__fixedBlockLength, nullptr},
                    {LV2_WORKER__schedule, &schedule_},
                    {LV2_LOG__log, &log_}};
    if (IsPowerOfTwo(blockLength))
        featureData_.push_back({LV2_BUF_SIZE__powerOf2BlockLength, nullptr});
    features_.clear();
    for (const LV2_Feature& feature : featureData_)
        features_.push_back(&feature);
    features_.push_back(nullptr);
}

void Lv2BenchInstance::ConnectPorts(uint32_t blockLength)
{
    LilvWorld* w = world_.Get();
    LilvNode* audio = lilv_new_uri(w, LV2_CORE__AudioPort);
    LilvNode* control = lilv_new_uri(w, LV2_CORE__ControlPort);
    LilvNode* input = lilv_new_uri(w, LV2_CORE__InputPort);
    LilvNode* atom = lilv_new_uri(w, LV2_ATOM__AtomPort);

    const uint32_t count = lilv_plugin_get_num_ports(plugin_);
    std::vector<float> minimum(count), maximum(count), defaults(count);
    lilv_plugin_get_port_ranges_float(plugin_, minimum.data(), maximum.data(), defaults.data());
    controls_.assign(count, 0.0f);
    // Twice the block: a CV input reads zeros, a CV output writes into the
    // second half.
    idleBuffer_.assign(2 * size_t(blockLength), 0.0f);
    for (uint32_t i = 0; i < count; ++i) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin_, i);
        const bool isInput = lilv_port_is_a(plugin_, port, input);
        if (lilv_port_is_a(plugin_, port, audio)) {
            if (isInput)
                audioInputs_.push_back({i, {}});
            else
                audioOutputs_.push_back({i, std::vector<float>(blockLength, 0.0f)});
        } else if (lilv_port_is_a(plugin_, port, control)) {
            const float fallback = std::isnan(minimum[i]) ? 0.0f : minimum[i];
            controls_[i] = std::isnan(defaults[i]) ? fallback : defaults[i];
            controlIndex_[lilv_node_as_string(lilv_port_get_symbol(plugin_, port))] = i;
            lilv_instance_connect_port(instance_, i, &controls_[i]);
        } else if (lilv_port_is_a(plugin_, port, atom)) {
            atomPorts_.push_back({i, isInput, std::vector<uint64_t>(kAtomBufferBytes / sizeof(uint64_t), 0)});
        } else {
            lilv_instance_connect_port(instance_, i, idleBuffer_.data() + (isInput ? 0 : blockLength));
        }
    }
    for (AudioPort& port : audioOutputs_)
        lilv_instance_connect_port(instance_, port.index, port.buffer.data());
    for (AtomPort& port : atomPorts_)
        lilv_instance_connect_port(instance_, port.index, port.buffer.data());
    for (LilvNode* node : {audio, control, input, atom})
        lilv_node_free(node);
}

bool Lv2BenchInstance::SetControl(const std::string& symbol, float value)
{
    const auto found = controlIndex_.find(symbol);
    if (found == controlIndex_.end())
        return false;
    controls_[found->second] = value;
    return true;
}

void Lv2BenchInstance::Activate()
{
    lilv_instance_activate(instance_);
    active_ = true;
    DoScheduledWork();
}

void Lv2BenchInstance::ResetAtomPorts()
{
    for (AtomPort& port : atomPorts_) {
        auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(port.buffer.data());
        if (port.input) {
            sequence->atom = {sizeof(LV2_Atom_Sequence_Body), atomSequence_};
            sequence->body = {0, 0};
        } else {
            sequence->atom = {uint32_t(kAtomBufferBytes - sizeof(LV2_Atom)), atomChunk_};
        }
    }
}

void Lv2BenchInstance::Run(const std::array<const float*, 2>& channels, uint32_t firstChannel, size_t offset,
                           uint32_t frames)
{
    for (size_t i = 0; i < audioInputs_.size(); ++i)
        lilv_instance_connect_port(instance_, audioInputs_[i].index,
                                   const_cast<float*>(channels[(firstChannel + i) % 2] + offset));
    ResetAtomPorts();
    lilv_instance_run(instance_, frames);
    if (worker_)
        DoScheduledWork();
}

// The worker runs synchronously between blocks: its replies reach the
// plug-in before the next block, as from an idle worker thread, and its
// cost counts in the process time.
void Lv2BenchInstance::DoScheduledWork()
{
    if (!worker_) {
        workRequests_.clear();
        return;
    }
    LV2_Handle handle = lilv_instance_get_handle(instance_);
    while (!workRequests_.empty()) {
        std::vector<std::vector<uint8_t>> requests;
        requests.swap(workRequests_);
        for (const std::vector<uint8_t>& request : requests)
            worker_->work(handle, &Lv2BenchInstance::Respond, this, uint32_t(request.size()), request.data());
        for (const std::vector<uint8_t>& response : workResponses_)
            worker_->work_response(handle, uint32_t(response.size()), response.data());
        workResponses_.clear();
    }
    if (worker_->end_run)
        worker_->end_run(handle);
}

LV2_Worker_Status Lv2BenchInstance::ScheduleWork(LV2_Worker_Schedule_Handle handle, uint32_t size, const void* data)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    static_cast<Lv2BenchInstance*>(handle)->workRequests_.emplace_back(bytes, bytes + size);
    return LV2_WORKER_SUCCESS;
}

LV2_Worker_Status Lv2BenchInstance::Respond(LV2_Worker_Respond_Handle handle, uint32_t size, const void* data)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    static_cast<Lv2BenchInstance*>(handle)->workResponses_.emplace_back(bytes, bytes + size);
    return LV2_WORKER_SUCCESS;
}

int Lv2BenchInstance::LogPrintf(LV2_Log_Handle handle, LV2_URID type, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const int written = LogVprintf(handle, type, format, arguments);
    va_end(arguments);
    return written;
}

int Lv2BenchInstance::LogVprintf(LV2_Log_Handle, LV2_URID, const char* format, va_list arguments)
{
    return std::vfprintf(stderr, format, arguments);
}

} // namespace lv2bench
