#pragma once
#include "host/CEffectGroup.h"

#include <memory>

// The library's one effect group, owned here from the moment the plug-in's
// entry hands it over until the library is unloaded.
CEffectGroup* GetPlugInGroup();
void InstallPlugInGroup(std::unique_ptr<CEffectGroup> group);
void ReleasePlugInGroup();
