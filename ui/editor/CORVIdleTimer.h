#pragma once
// The editors' 100-millisecond timers.  A running timer sits in one list for
// the process; whatever loop the program runs on its user-interface thread
// (the host's idle calls, the program's own window loop) fires the timers
// that are due, and each calls its editor's idle.
#include <cstdint>
#include <functional>

class CORVIdleTimer {
public:
    CORVIdleTimer(uint32_t intervalMs, std::function<void()> onTick);
    ~CORVIdleTimer();
    CORVIdleTimer(const CORVIdleTimer&) = delete;
    CORVIdleTimer& operator=(const CORVIdleTimer&) = delete;

    void start();
    void stop();
    bool isRunning() const { return running; }

    // Calls every running timer whose interval has passed since it last
    // fired; returns how many fired.  User-interface thread only.
    static int32_t fireDue(uint32_t nowMs);

private:
    uint32_t intervalMs;
    std::function<void()> tick;
    uint32_t lastFired = 0;
    bool running = false;
};
