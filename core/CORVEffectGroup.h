#pragma once
#include "host/CEffectGroup.h"

#include <cstdint>
#include <mutex>
#include <set>

// The suite's effect group: on top of the host library's group it hands out
// instance numbers, the lowest free one at or above the number asked for.
class CORVEffectGroup : public CEffectGroup {
public:
    // Takes the lowest free number from number upward (0 counts as 1),
    // stores it back into number and returns it.
    int32_t AllocateInstanceNumber(int32_t& number);
    void ReleaseInstanceNumber(int32_t number);

private:
    std::mutex mutex_;
    std::set<int32_t> numbersInUse_;
};
