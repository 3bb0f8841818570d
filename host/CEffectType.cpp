#include "host/CEffectType.h"

#include <exception>

CEffectType::CEffectType(uint32_t typeID, uint32_t productID, uint32_t category)
    : typeID_(typeID), productID_(productID), category_(category)
{
}

std::unique_ptr<CEffectProcess> CEffectType::CreateProcess(double sampleRate, uint32_t manufacturerID) const
{
    if (!create_)
        return nullptr;
    SProcessContext context;
    context.sampleRate = sampleRate;
    context.numChannels = GetOutputChannels();
    context.manufacturerID = manufacturerID;
    context.productID = productID_;
    context.typeID = typeID_;
    try {
        std::unique_ptr<CEffectProcess> process = create_(context);
        if (process)
            process->Initialize();
        return process;
    } catch (const std::exception&) { // allocation failure or an effect that cannot be made
        return nullptr;
    }
}

void CEffectTypeRTAS::DefineStemFormats(StemFormat input, StemFormat output)
{
    input_ = input;
    output_ = output;
    AddOptionCode(kStemFormatOption);
}
