#include "ui/editor/CORVIdleTimer.h"

#include "platform/TickCount.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<CORVIdleTimer*>& Running()
{
    static std::vector<CORVIdleTimer*> timers;
    return timers;
}

} // namespace

CORVIdleTimer::CORVIdleTimer(uint32_t interval, std::function<void()> onTick)
    : intervalMs(interval), tick(std::move(onTick))
{
}

CORVIdleTimer::~CORVIdleTimer() { stop(); }

void CORVIdleTimer::start()
{
    if (running)
        return;
    running = true;
    lastFired = platform::TickCount();
    Running().push_back(this);
}

void CORVIdleTimer::stop()
{
    if (!running)
        return;
    running = false;
    auto& timers = Running();
    timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
}

int32_t CORVIdleTimer::fireDue(uint32_t nowMs)
{
    // A tick may stop or start timers (an editor closing itself), so the
    // list is walked on a copy and each timer checked again before it fires.
    const std::vector<CORVIdleTimer*> snapshot = Running();
    int32_t fired = 0;
    for (CORVIdleTimer* timer : snapshot) {
        const auto& timers = Running();
        if (std::find(timers.begin(), timers.end(), timer) == timers.end())
            continue;
        // Unsigned difference: right across the tick count's wrap.
        if (nowMs - timer->lastFired < timer->intervalMs)
            continue;
        timer->lastFired = nowMs;
        ++fired;
        timer->tick();
    }
    return fired;
}
