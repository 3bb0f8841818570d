#pragma once
#include <cmath>
#include <cstdint>
#include <limits>

// An on/off control (the foot switch) is on at the top of the range and off
// at the bottom.
inline constexpr int32_t kControlOn = std::numeric_limits<int32_t>::max();
inline constexpr int32_t kControlOff = std::numeric_limits<int32_t>::min();

// Control values span the whole int32 range: INT32_MIN is the bottom of a
// control, INT32_MAX its top.  These convert to and from the unit interval in
// double precision, so a value survives the round trip exactly.
inline double ControlToUnit(int32_t value) { return (double(value) + 2147483648.0) / 4294967295.0; }

inline int32_t UnitToControl(double unit)
{
    if (!(unit > 0.0)) // also catches NaN
        unit = 0.0;
    if (unit > 1.0)
        unit = 1.0;
    return int32_t(std::floor(unit * 4294967295.0 - 2147483648.0 + 0.5));
}
