#include "host/CEffectProcess.h"

#include "host/SFicPlugInChunk.h"

CEffectProcess::CEffectProcess(const SProcessContext& context) : context_(context) {}

CEffectProcess::~CEffectProcess() = default;

void CEffectProcess::Initialize()
{
    if (!controlsComplete_)
        EffectInit();
}

CPluginControl* CEffectProcess::GetControl(int32_t index) const
{
    if (index < 1 || index > GetNumControls())
        return nullptr;
    return controls_[size_t(index - 1)].get();
}

int32_t CEffectProcess::GetControlIndexFromID(uint32_t id) const
{
    for (int32_t index = 1; index <= GetNumControls(); ++index)
        if (GetControl(index)->GetID() == id)
            return index;
    return 0;
}

int32_t CEffectProcess::AddControl(std::unique_ptr<CPluginControl> control)
{
    controls_.push_back(std::move(control));
    return GetNumControls();
}

int32_t CEffectProcess::SetControlValue(int32_t index, int32_t value) { return StoreControlValue(index, value); }

int32_t CEffectProcess::StoreControlValue(int32_t index, int32_t value)
{
    CPluginControl* control = GetControl(index);
    if (!control)
        return kErrBadControlIndex;
    control->SetValue(value);
    ControlValueChanged(index, value);
    return kNoErr;
}

void CEffectProcess::ControlValueChanged(int32_t, int32_t) {}

void CEffectProcess::TouchControl(int32_t index, bool touched)
{
    if (!GetControl(index))
        return;
    touched_.resize(controls_.size() + 1);
    touched_[size_t(index)] = touched;
}

bool CEffectProcess::IsControlTouched(int32_t index) const
{
    return index >= 0 && size_t(index) < touched_.size() && touched_[size_t(index)];
}

int32_t CEffectProcess::GetControlValue(int32_t index, int32_t* value) const
{
    const CPluginControl* control = GetControl(index);
    if (!control || !value)
        return kErrBadControlIndex;
    *value = control->GetValue();
    return kNoErr;
}

int32_t CEffectProcess::GetChunkSize(uint32_t, int32_t* size)
{
    if (size)
        *size = 0;
    return kErrBadChunk;
}

int32_t CEffectProcess::GetChunk(uint32_t, std::span<uint8_t>) { return kErrBadChunk; }

int32_t CEffectProcess::SetChunk(uint32_t, std::span<const uint8_t>) { return kErrBadChunk; }

void CEffectProcess::StampChunkHeader(std::span<uint8_t> chunk, uint32_t chunkID) const
{
    using namespace SFicPlugInChunk;
    if (chunk.size() < kHeaderSize)
        return;
    WriteLE32(&chunk[kVersionOffset], uint32_t(kChunkVersion));
    WriteLE32(&chunk[kManufacturerOffset], context_.manufacturerID);
    WriteLE32(&chunk[kProductOffset], context_.productID);
    WriteLE32(&chunk[kPlugInOffset], context_.typeID);
    WriteLE32(&chunk[kChunkIDOffset], chunkID);
}
