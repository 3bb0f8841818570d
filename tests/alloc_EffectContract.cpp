// No effect allocates while it processes: thousands of blocks of every
// length, with control changes, foot-switch presses (bypass, tap tempo, the
// delay's hold cycle), learn cycles and tempo changes between them, make no
// heap allocation and take no lock.
#include "tests/AllocationCounter.h"
#include "tests/EffectContract.h"

#include <cstdlib>
#include <mutex>
#include <random>
#include <vector>

using testing_support::EveryEffectId;

namespace {
class EffectProcessing : public ::testing::TestWithParam<int32_t> {};
constexpr int32_t kLongestBlock = 8192;
constexpr uint32_t kPreparedBlock = 512;
} // namespace

// The counter itself sees every way of allocating, and locks.
TEST(AllocationCounter, CountsEveryAllocationAndLock)
{
    std::mutex mutex;
    testing_support::AllocationCounter counter;
    int* volatile one = new (std::nothrow) int(1);
    int* volatile many = new int[9];
    void* volatile raw = std::malloc(16);
    mutex.lock();
    mutex.unlock();
    const std::pair<size_t, size_t> counted{counter.Count(), counter.Locks()};
    std::free(raw);
    delete[] many;
    delete one;
    EXPECT_EQ(counted, (std::pair<size_t, size_t>{3, 1}));
}

TEST_P(EffectProcessing, AllocatesNothing)
{
    std::unique_ptr<CORVDSPAlgInterface> algorithm = CreateAlgorithm(GetParam(), 48000.0, 256);
    std::vector<float> left(kLongestBlock, 0.25f);
    std::vector<float> right(kLongestBlock, -0.25f);
    float* channels[2] = {left.data(), right.data()};
    float peaks[4];
    // As an instance does: the reinitialisation at the host's rate is
    // pending until the effect is prepared, and the first block is longer
    // than the prepared capacity.
    algorithm->needsReinit = true;
    algorithm->Prepare(kPreparedBlock);

    std::mt19937 random(GetParam());
    std::uniform_int_distribution<int32_t> frames(1, kLongestBlock);
    std::uniform_real_distribution<float> normalized(0.0f, 1.0f);
    const int32_t lastIndex = algorithm->parameters.rbegin()->first;
    testing_support::AllocationCounter counter;
    algorithm->Process(channels, channels, peaks, peaks + 2, kLongestBlock);
    for (int block = 0; block < 3000; ++block) {
        if (block % 3 == 0)
            algorithm->OnParameterChange(1 + int32_t(random() % uint32_t(lastIndex)), normalized(random));
        if (block % 500 == 250) // every control at its top: the delay holds, the gate learns, tap mode is on
            for (const auto& entry : algorithm->parameters)
                algorithm->OnParameterChange(entry.first, 1.0f);
        if (block % 7 == 0) // foot-switch presses: bypass, taps, the hold cycle
            algorithm->OnParameterChange(1, float(block % 2));
        if (block % 50 == 0)
            algorithm->tempo = 60.0 + double(block % 120);
        // Fresh input every block: processing in place would otherwise feed
        // each block's output back in until it overflows.
        for (size_t i = 0; i < left.size(); ++i)
            left[i] = right[i] = 0.5f * float(i % 97) / 97.0f - 0.25f;
        left[0] = right[0] = normalized(random) - 0.5f;
        algorithm->Process(channels, channels, peaks, peaks + 2, frames(random));
    }
    EXPECT_EQ(counter.Count(), 0u);
    EXPECT_EQ(counter.Locks(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EffectProcessing, ::testing::ValuesIn(EveryEffectId()),
                         testing_support::EffectName());
