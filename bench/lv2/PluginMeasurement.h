#pragma once
#include "bench/BenchSignal.h"
#include "bench/lv2/Lv2BenchWorld.h"
#include "bench/lv2/PeerTable.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace lv2bench {

// The block lengths every plug-in is timed at.
inline constexpr std::array<uint32_t, 2> kBlockLengths{64, 256};

struct Measurement {
    bool valid = false;
    std::string name;
    std::string failure;      // why there is no figure, when not valid
    uint32_t instances = 0;   // a mono plug-in runs once per channel
    std::array<double, kBlockLengths.size()> realTime{}; // audio seconds per process CPU second
    bool changesSignal = false;
};

struct MeasureOptions {
    double sampleRate = 48000.0;
    int passes = 3; // the fastest pass counts: others were disturbed more
};

// Times a plug-in (LV2 by URI, LADSPA by "ladspa:<library file>:<label>")
// on the stereo signal at each block length: one instance when it has two
// audio inputs, one per channel when it has one.  The process CPU time of
// whole passes over the signal is taken, after an untimed pass that warms
// the caches and tells whether the plug-in changes the signal at all.
Measurement MeasurePlugin(Lv2BenchWorld& world, const std::string& address, const std::vector<PortSetting>& settings,
                          const bench::StereoSignal& signal, const MeasureOptions& options);

} // namespace lv2bench
