// Offline rendering speed: one minute of stereo audio at 48 kHz through the
// demo pedalboard's available effects, held in memory so that only the
// effects and the offline adapter are timed, reported as a multiple of real
// time for the adapter's longest slice and for a short host-like block.
#include "bench/BenchSignal.h"
#include "cli/CORVEffectChain.h"
#include "cli/DemoRiff.h"
#include "cli/Pedalboard.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

using bench::kSampleRate;
constexpr double kRenderSeconds = 60.0;
constexpr int32_t kChannels = 2;

// The demo riff repeated to a minute, on both channels.
std::vector<float> MinuteOfRiff()
{
    const std::vector<float> riff = SynthesiseDemoRiff(kSampleRate);
    std::vector<float> minute(size_t(kRenderSeconds * kSampleRate));
    for (size_t i = 0; i < minute.size(); ++i)
        minute[i] = riff[i % riff.size()];
    return minute;
}

void RenderPedalboard(benchmark::State& state)
{
    const int32_t slice = int32_t(state.range(0));
    const std::vector<float> source = MinuteOfRiff();
    std::vector<float> left(source.size());
    std::vector<float> right(source.size());
    CORVEffectChain chain(PedalboardRequests(), kSampleRate, {kDemoTempo, slice});
    const int32_t chunk = chain.ChunkFrames();

    for (auto _ : state) {
        state.PauseTiming();
        std::copy(source.begin(), source.end(), left.begin());
        std::copy(source.begin(), source.end(), right.begin());
        state.ResumeTiming();
        // Chunk by chunk, as the render command streams a file.
        for (size_t start = 0; start < source.size(); start += size_t(chunk)) {
            float* channels[kChannels] = {left.data() + start, right.data() + start};
            chain.Process(channels, kChannels, int32_t(std::min(size_t(chunk), source.size() - start)));
        }
        benchmark::DoNotOptimize(left.data());
        benchmark::DoNotOptimize(right.data());
    }
    state.counters["xRealTime"] = benchmark::Counter(kRenderSeconds, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["stages"] = double(chain.Stages().size());
}

BENCHMARK(RenderPedalboard)->Arg(2048)->Arg(128)->Unit(benchmark::kMillisecond);

} // namespace
