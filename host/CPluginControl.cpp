#include "host/CPluginControl.h"

#include "host/ControlValue.h"


CPluginControl::CPluginControl(uint32_t id, std::string names, bool automatable)
    : id_(id), names_(std::move(names)), automatable_(automatable)
{
}

CPluginControl_OnOff::CPluginControl_OnOff(uint32_t id, std::string names, bool defaultOn, bool automatable)
    : CPluginControl(id, std::move(names), automatable)
{
    SetDefaultValue(DiscreteToControl(defaultOn ? 1 : 0));
}

int32_t CPluginControl_OnOff::GetDiscrete() const { return GetValue() >= 0 ? 1 : 0; }

int32_t CPluginControl_OnOff::DiscreteToControl(int32_t state) const
{
    return state != 0 ? kControlOn : kControlOff;
}

CPluginControl_Linear::CPluginControl_Linear(uint32_t id, std::string names, double minimum, double maximum,
                                             double defaultValue, bool automatable)
    : CPluginControl(id, std::move(names), automatable), minimum_(minimum), maximum_(maximum)
{
    SetDefaultValue(ContinuousToControl(defaultValue));
}

double CPluginControl_Linear::GetContinuous() const
{
    return minimum_ + ControlToUnit(GetValue()) * (maximum_ - minimum_);
}

int32_t CPluginControl_Linear::ContinuousToControl(double value) const
{
    return UnitToControl((value - minimum_) / (maximum_ - minimum_));
}
