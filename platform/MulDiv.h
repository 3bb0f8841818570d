#pragma once
#include <cstdint>

namespace platform {

// number * numerator / denominator with a 64-bit intermediate, rounded to the
// nearest integer (halves away from zero); -1 when the denominator is zero or
// the result does not fit, as the system call it stands in for does.
int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator);

} // namespace platform
