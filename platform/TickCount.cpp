#include "platform/TickCount.h"

#include <atomic>
#include <chrono>

namespace platform {
namespace {

uint32_t SteadyMilliseconds()
{
    using Clock = std::chrono::steady_clock;
    static const Clock::time_point start = Clock::now();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    return uint32_t(uint64_t(elapsed.count())); // wraps modulo 2^32
}

std::atomic<TickSource> currentSource{&SteadyMilliseconds};

} // namespace

uint32_t TickCount() { return currentSource.load(std::memory_order_relaxed)(); }

void SetTickSource(TickSource source)
{
    currentSource.store(source ? source : &SteadyMilliseconds, std::memory_order_relaxed);
}

} // namespace platform
