#include "platform/MulDiv.h"

#include <limits>

namespace platform {

int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator)
{
    if (denominator == 0)
        return -1;
    const int64_t product = int64_t(number) * int64_t(numerator);
    const bool negative = (product < 0) != (denominator < 0);
    const uint64_t magnitude = uint64_t(product < 0 ? -product : product);
    const uint64_t divisor = uint64_t(denominator < 0 ? -int64_t(denominator) : int64_t(denominator));
    const uint64_t rounded = (magnitude + divisor / 2) / divisor;
    if (rounded > uint64_t(std::numeric_limits<int32_t>::max()))
        return -1;
    return negative ? -int32_t(rounded) : int32_t(rounded);
}

} // namespace platform
