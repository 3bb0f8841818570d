#pragma once
#include <cstdint>

namespace platform {

// Milliseconds since the process first asked, as a 32-bit counter that wraps
// at 2^32 like the system tick count it replaces.  Starting near zero keeps
// the values small, so tap intervals stay exact when taken in single precision.
uint32_t TickCount();

// Tests drive tap tempo with their own clock; null restores the real one.
using TickSource = uint32_t (*)();
void SetTickSource(TickSource source);

} // namespace platform
