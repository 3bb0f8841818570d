#include "core/CORVEffectProcessSpecific.h"

#include "core/CORVEffectCatalogue.h"

#include <stdexcept>

CORVEffectProcessSpecific::CORVEffectProcessSpecific(int32_t effectId_)
    : CEffectProcess(SProcessContext{}), CORVEffectProcess(effectId_)
{
    algorithm = CreateAlgorithm(effectId, sampleRate, maxFrames);
    if (!algorithm)
        throw std::invalid_argument("no algorithm for effect " + std::to_string(effectId));
    algorithm->sampleRate = GetSampleRate();
    algorithm->needsReinit = true;
    presetFile.LoadPresets(*algorithm);
    algorithm->ApplyPresetByIndex(0);
}
