#pragma once

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

namespace platform {

// Sets flush-to-zero and denormals-are-zero for the lifetime of the object,
// restoring the caller's floating-point mode afterwards.  Every audio entry
// point holds one, so decaying tails never drop into slow subnormal arithmetic.
class DenormalGuard {
public:
    DenormalGuard()
    {
#if defined(__SSE__) || defined(__x86_64__)
        saved_ = _mm_getcsr();
        _mm_setcsr(saved_ | kFlushToZero | kDenormalsAreZero);
#endif
    }
    ~DenormalGuard()
    {
#if defined(__SSE__) || defined(__x86_64__)
        _mm_setcsr(saved_);
#endif
    }
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kDenormalsAreZero = 0x0040;
    unsigned saved_ = 0;
};

} // namespace platform
