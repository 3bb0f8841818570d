// Throughput of every available effect: stereo at 48 kHz for several block
// lengths, reported as multiples of real time, with the heap memory one
// instance holds after its first block.
#include "bench/BenchSignal.h"
#include "core/CORVEffectCatalogue.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <string>

namespace {

using bench::kSampleRate;
constexpr size_t kSignalFrames = 1 << 16;

void ProcessEffect(benchmark::State& state, int32_t effectId)
{
    const int32_t block = int32_t(state.range(0));
    const std::vector<float> signal = bench::GuitarLikeSignal(kSampleRate, kSignalFrames);
    std::vector<float> left(static_cast<size_t>(block));
    std::vector<float> right(static_cast<size_t>(block));
    float* channels[2] = {left.data(), right.data()};
    float inputPeaks[2];
    float outputPeaks[2];

    const size_t heapBefore = mallinfo2().uordblks;
    std::unique_ptr<CORVDSPAlgInterface> algorithm = CreateAlgorithm(effectId, kSampleRate, 256);
    algorithm->needsReinit = true;
    algorithm->Process(channels, channels, inputPeaks, outputPeaks, block);
    const size_t heapAfter = mallinfo2().uordblks;

    size_t position = 0;
    for (auto _ : state) {
        if (position + size_t(block) > signal.size())
            position = 0;
        std::copy_n(signal.begin() + long(position), block, left.begin());
        std::copy_n(signal.begin() + long(position), block, right.begin());
        algorithm->Process(channels, channels, inputPeaks, outputPeaks, block);
        benchmark::DoNotOptimize(left.data());
        position += size_t(block);
    }
    const double seconds = double(block) / kSampleRate;
    state.counters["xRealTime"] = benchmark::Counter(seconds, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["heapBytes"] = double(heapAfter - heapBefore);
}

int RegisterEffects()
{
    for (const CatalogueEntry& entry : kCatalogue) {
        benchmark::RegisterBenchmark((std::string("Effect/") + entry.shortName).c_str(), ProcessEffect,
                                     entry.effectId)
            ->Arg(64)
            ->Arg(256)
            ->Arg(2048);
    }
    return 0;
}

const int registered = RegisterEffects();

} // namespace
