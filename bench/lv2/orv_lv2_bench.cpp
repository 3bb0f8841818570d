// The LV2 bundle against comparable plug-ins from Debian's packages: every
// effect of the set in its stereo form and its peers, timed in a host of our
// own on the same played guitar part, as multiples of real time.
//
// Usage: orv_lv2_bench [SHORT_NAME ...]   (all effects when none is given)
#include "bench/BenchSignal.h"
#include "bench/lv2/ComparisonReport.h"
#include "bench/lv2/Lv2BenchWorld.h"
#include "bench/lv2/PeerTable.h"
#include "bench/lv2/PluginMeasurement.h"
#include "lv2/PortLayout.h"
#include "platform/DenormalGuard.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <string>

namespace {

constexpr double kSignalSeconds = 20.0;

std::string CpuModel()
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    const std::string key = "model name";
    for (std::string line; std::getline(cpuinfo, line);)
        if (line.rfind(key, 0) == 0 && line.find(':') != std::string::npos)
            return line.substr(line.find(':') + 2);
    return "unknown";
}

std::string CacheKey(const lv2bench::PeerPlugin& peer)
{
    std::string key = peer.uri;
    for (const lv2bench::PortSetting& setting : peer.settings)
        key.append(" ").append(setting.symbol).append("=").append(std::to_string(setting.value));
    return key;
}

// Measures each distinct peer once, however many effects it stands against.
class PeerCache {
public:
    PeerCache(lv2bench::Lv2BenchWorld& world, const bench::StereoSignal& signal,
              const lv2bench::MeasureOptions& options)
        : world_(world), signal_(signal), options_(options)
    {
    }

    const lv2bench::Measurement& Get(const lv2bench::PeerPlugin& peer)
    {
        const std::string key = CacheKey(peer);
        auto found = measured_.find(key);
        if (found == measured_.end()) {
            std::fprintf(stderr, "Measuring %s\n", key.c_str());
            found = measured_.emplace(key, MeasurePlugin(world_, peer.uri, peer.settings, signal_, options_)).first;
            if (!found->second.valid)
                std::fprintf(stderr, "  skipped: %s\n", found->second.failure.c_str());
        }
        return found->second;
    }

private:
    lv2bench::Lv2BenchWorld& world_;
    const bench::StereoSignal& signal_;
    lv2bench::MeasureOptions options_;
    std::map<std::string, lv2bench::Measurement> measured_;
};

lv2bench::Measurement MeasureOurs(lv2bench::Lv2BenchWorld& world, const lv2bench::EffectComparison& comparison,
                                  const bench::StereoSignal& signal, const lv2bench::MeasureOptions& options)
{
    const std::string uri = std::string(lv2::kUriBase) + comparison.shortName;
    if (!world.Plugin(uri)) {
        std::fprintf(stderr, "%s is not in the bundle yet: only its peers are measured\n", comparison.shortName);
        lv2bench::Measurement missing;
        missing.failure = "not in the bundle yet";
        return missing;
    }
    std::fprintf(stderr, "Measuring %s\n", uri.c_str());
    return MeasurePlugin(world, uri, comparison.ours, signal, options);
}

// True when every name asked for has a row in the table; the others are
// named on standard error.
bool AllKnown(const std::set<std::string>& names)
{
    bool known = true;
    for (const std::string& name : names) {
        bool found = false;
        for (const lv2bench::EffectComparison& comparison : lv2bench::PeerTable())
            found = found || name == comparison.shortName;
        if (!found)
            std::fprintf(stderr, "No effect has the short name '%s'.\n", name.c_str());
        known = known && found;
    }
    return known;
}

} // namespace

int main(int argc, char** argv)
{
    // Hosts run their audio threads with denormals flushed; so does this one.
    const platform::DenormalGuard flushDenormals;
    const std::set<std::string> only(argv + 1, argv + argc);
    if (!AllKnown(only)) {
        std::fprintf(stderr, "Usage: %s [SHORT_NAME ...], short names as in bench/lv2/PeerTable.cpp\n", argv[0]);
        return 2;
    }

    lv2bench::Lv2BenchWorld world(ORV_LV2_BUNDLE_DIR);
    const lv2bench::MeasureOptions options;
    const bench::StereoSignal signal = bench::GuitarPerformance(options.sampleRate, kSignalSeconds);
    const bench::StereoSignal pristine = signal;
    PeerCache peers(world, signal, options);

    std::vector<lv2bench::ComparisonRow> rows;
    for (const lv2bench::EffectComparison& comparison : lv2bench::PeerTable()) {
        if (!only.empty() && !only.count(comparison.shortName))
            continue;
        lv2bench::ComparisonRow row{comparison.shortName, MeasureOurs(world, comparison, signal, options), {}};
        for (const lv2bench::PeerPlugin& peer : comparison.peers) {
            const lv2bench::Measurement& measurement = peers.Get(peer);
            if (measurement.valid)
                row.peers.push_back(measurement);
        }
        rows.push_back(std::move(row));
    }
    if (signal.left != pristine.left || signal.right != pristine.right)
        std::fprintf(stderr, "warning: a plug-in wrote into its input buffers; later figures may be skewed\n");

    std::printf("CPU: %s\n", CpuModel().c_str());
    std::printf("Signal: %.0f s of a played stereo guitar part at %.0f Hz; fastest of %d timed passes after an "
                "untimed one; ×RT = audio time / process CPU time.\n\n",
                kSignalSeconds, options.sampleRate, options.passes);
    lv2bench::PrintReport(stdout, rows);
    return 0;
}
