#include "bench/lv2/PluginMeasurement.h"

#include "bench/lv2/LadspaBenchInstance.h"
#include "bench/lv2/Lv2BenchInstance.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>

namespace lv2bench {
namespace {

constexpr float kUnchangedTolerance = 1e-6f;

constexpr std::string_view kLadspaScheme = "ladspa:";
constexpr std::string_view kLadspaNameTail = " - "; // CAPS names go on with a description

using Instances = std::vector<std::unique_ptr<BenchInstance>>;

// A plug-in found by its address: its name and a maker of fresh instances
// at a block length.
struct PluginSource {
    std::string name;
    std::function<std::unique_ptr<BenchInstance>(double sampleRate, uint32_t blockLength)> instantiate;
};

std::optional<PluginSource> FindLv2(Lv2BenchWorld& world, const std::string& uri)
{
    const LilvPlugin* plugin = world.Plugin(uri);
    if (!plugin)
        return std::nullopt;
    return PluginSource{world.Name(plugin), [&world, plugin](double sampleRate, uint32_t blockLength) {
                            return std::make_unique<Lv2BenchInstance>(world, plugin, sampleRate, blockLength);
                        }};
}

// "ladspa:<library file>:<label>"
std::optional<PluginSource> FindLadspa(const std::string& address)
{
    const size_t separator = address.find(':', kLadspaScheme.size());
    if (separator == std::string::npos)
        return std::nullopt;
    std::shared_ptr<const LadspaLibrary> library =
        LadspaLibrary::Open(address.substr(kLadspaScheme.size(), separator - kLadspaScheme.size()));
    const LADSPA_Descriptor* descriptor = library ? library->Descriptor(address.substr(separator + 1)) : nullptr;
    if (!descriptor)
        return std::nullopt;
    const std::string name = descriptor->Name;
    return PluginSource{name.substr(0, name.find(kLadspaNameTail)),
                        [library, descriptor](double sampleRate, uint32_t blockLength) {
                            return std::make_unique<LadspaBenchInstance>(library, *descriptor, sampleRate,
                                                                         blockLength);
                        }};
}

std::optional<PluginSource> FindPlugin(Lv2BenchWorld& world, const std::string& address)
{
    return address.rfind(kLadspaScheme, 0) == 0 ? FindLadspa(address) : FindLv2(world, address);
}

double ProcessSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

// The instances a stereo signal needs, set up and activated; empty with a
// reason in failure when the plug-in cannot take part.
Instances CreateInstances(const PluginSource& plugin, const std::vector<PortSetting>& settings, double sampleRate,
                          uint32_t blockLength, std::string& failure)
{
    Instances instances;
    instances.push_back(plugin.instantiate(sampleRate, blockLength));
    if (!instances.front()->Valid()) {
        failure = "cannot be instantiated";
        return {};
    }
    const uint32_t inputs = instances.front()->AudioInputs();
    if (inputs == 0 || instances.front()->AudioOutputs() == 0) {
        failure = "has no audio path";
        return {};
    }
    if (inputs == 1)
        instances.push_back(plugin.instantiate(sampleRate, blockLength));
    for (auto& instance : instances) {
        for (const PortSetting& setting : settings)
            if (!instance->SetControl(setting.symbol, setting.value))
                std::fprintf(stderr, "  warning: no control '%s'\n", setting.symbol.c_str());
        instance->Activate();
    }
    return instances;
}

void RunBlock(Instances& instances, const bench::StereoSignal& signal, size_t offset, uint32_t blockLength)
{
    const std::array<const float*, 2> channels{signal.left.data(), signal.right.data()};
    for (size_t i = 0; i < instances.size(); ++i)
        instances[i]->Run(channels, uint32_t(i), offset, blockLength);
}

// The frames of the signal that fill whole blocks.
size_t WholeBlockFrames(const bench::StereoSignal& signal, uint32_t blockLength)
{
    return signal.left.size() - signal.left.size() % blockLength;
}

// An untimed first pass over the whole signal; true when the first output
// ever differs from the first input.
bool WarmUp(Instances& instances, const bench::StereoSignal& signal, uint32_t blockLength)
{
    bool changes = false;
    for (size_t offset = 0; offset < WholeBlockFrames(signal, blockLength); offset += blockLength) {
        RunBlock(instances, signal, offset, blockLength);
        const float* out = instances.front()->Output(0);
        for (uint32_t i = 0; i < blockLength && !changes; ++i)
            changes = std::fabs(out[i] - signal.left[offset + i]) > kUnchangedTolerance;
    }
    return changes;
}

double FastestPass(Instances& instances, const bench::StereoSignal& signal, uint32_t blockLength, int passes)
{
    const size_t frames = WholeBlockFrames(signal, blockLength);
    double fastest = std::numeric_limits<double>::infinity();
    for (int pass = 0; pass < passes; ++pass) {
        const double start = ProcessSeconds();
        for (size_t offset = 0; offset < frames; offset += blockLength)
            RunBlock(instances, signal, offset, blockLength);
        fastest = std::min(fastest, ProcessSeconds() - start);
    }
    return fastest;
}

} // namespace

Measurement MeasurePlugin(Lv2BenchWorld& world, const std::string& address, const std::vector<PortSetting>& settings,
                          const bench::StereoSignal& signal, const MeasureOptions& options)
{
    Measurement result;
    const std::optional<PluginSource> plugin = FindPlugin(world, address);
    if (!plugin) {
        result.failure = "not installed";
        return result;
    }
    result.name = plugin->name;
    for (size_t b = 0; b < kBlockLengths.size(); ++b) {
        const uint32_t blockLength = kBlockLengths[b];
        Instances instances = CreateInstances(*plugin, settings, options.sampleRate, blockLength, result.failure);
        if (instances.empty())
            return result;
        result.instances = uint32_t(instances.size());
        result.changesSignal = WarmUp(instances, signal, blockLength) || result.changesSignal;
        const double seconds = FastestPass(instances, signal, blockLength, options.passes);
        result.realTime[b] = double(WholeBlockFrames(signal, blockLength)) / options.sampleRate / seconds;
    }
    result.valid = true;
    return result;
}

} // namespace lv2bench
