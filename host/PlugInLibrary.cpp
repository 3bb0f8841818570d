#include "host/PlugInLibrary.h"

namespace {
std::unique_ptr<CEffectGroup>& TheGroup()
{
    static std::unique_ptr<CEffectGroup> group;
    return group;
}
} // namespace

CEffectGroup* GetPlugInGroup() { return TheGroup().get(); }

void InstallPlugInGroup(std::unique_ptr<CEffectGroup> group) { TheGroup() = std::move(group); }

void ReleasePlugInGroup() { TheGroup().reset(); }
