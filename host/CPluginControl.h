#pragma once
#include <cstdint>
#include <string>

// A host control: an int32 value over the full range with an identifier,
// a list of names (longest first, separated by "\n"), a default and an
// automation flag.  Discrete controls map their states onto the range.
class CPluginControl {
public:
    CPluginControl(uint32_t id, std::string names, bool automatable);
    virtual ~CPluginControl() = default;

    uint32_t GetID() const { return id_; }
    const std::string& GetNames() const { return names_; }
    bool IsAutomatable() const { return automatable_; }
    int32_t GetValue() const { return value_; }
    void SetValue(int32_t value) { value_ = value; }
    int32_t GetDefaultValue() const { return defaultValue_; }

    virtual bool IsContinuous() const = 0;
    // Continuous controls: the value in the control's own range.
    virtual double GetContinuous() const { return 0.0; }
    virtual int32_t ContinuousToControl(double) const { return 0; }
    // Discrete controls: the state number.
    virtual int32_t GetDiscrete() const { return 0; }
    virtual int32_t DiscreteToControl(int32_t) const { return 0; }

protected:
    void SetDefaultValue(int32_t value) { defaultValue_ = value_ = value; }

private:
    uint32_t id_;
    std::string names_;
    bool automatable_;
    int32_t value_ = 0;
    int32_t defaultValue_ = 0;
};

// An on/off switch: off at the bottom of the range, on at the top.
class CPluginControl_OnOff : public CPluginControl {
public:
    CPluginControl_OnOff(uint32_t id, std::string names, bool defaultOn, bool automatable);
    bool IsContinuous() const override { return false; }
    int32_t GetDiscrete() const override;
    int32_t DiscreteToControl(int32_t state) const override;
};

// A continuous control linear over minimum..maximum, without steps.
class CPluginControl_Linear : public CPluginControl {
public:
    CPluginControl_Linear(uint32_t id, std::string names, double minimum, double maximum, double defaultValue,
                          bool automatable);
    bool IsContinuous() const override { return true; }
    double GetContinuous() const override;
    int32_t ContinuousToControl(double value) const override;

private:
    double minimum_;
    double maximum_;
};
