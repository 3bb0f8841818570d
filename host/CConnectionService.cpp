#include "host/CConnectionService.h"

CConnectionService& CConnectionService::Instance()
{
    static CConnectionService service;
    return service;
}

bool CConnectionService::Register(int32_t channel, int32_t instanceNumber)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return registered_.emplace(channel, instanceNumber).second;
}

bool CConnectionService::Unregister(int32_t channel, int32_t instanceNumber)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return registered_.erase({channel, instanceNumber}) == 1;
}

bool CConnectionService::IsRegistered(int32_t channel, int32_t instanceNumber) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return registered_.count({channel, instanceNumber}) == 1;
}
