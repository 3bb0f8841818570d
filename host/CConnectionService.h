#pragma once
#include <cstdint>
#include <mutex>
#include <set>
#include <utility>

// The host's registry of connected instances: each registers under a channel
// and its instance number, and a pair can be held by one instance at a time.
class CConnectionService {
public:
    static CConnectionService& Instance();

    bool Register(int32_t channel, int32_t instanceNumber);
    bool Unregister(int32_t channel, int32_t instanceNumber);
    bool IsRegistered(int32_t channel, int32_t instanceNumber) const;

private:
    mutable std::mutex mutex_;
    std::set<std::pair<int32_t, int32_t>> registered_;
};
