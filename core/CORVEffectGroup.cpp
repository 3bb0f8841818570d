#include "core/CORVEffectGroup.h"

int32_t CORVEffectGroup::AllocateInstanceNumber(int32_t& number)
{
    std::lock_guard<std::mutex> lock(mutex_);
    int32_t candidate = number == 0 ? 1 : number;
    while (numbersInUse_.count(candidate))
        ++candidate;
    numbersInUse_.insert(candidate);
    number = candidate;
    return candidate;
}

void CORVEffectGroup::ReleaseInstanceNumber(int32_t number)
{
    std::lock_guard<std::mutex> lock(mutex_);
    numbersInUse_.erase(number);
}
