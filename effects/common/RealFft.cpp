#include "effects/common/RealFft.h"

#include <fftw3.h>

#include <mutex>

namespace {

// FFTW keeps its planner state in globals; every plan made or destroyed in the
// process goes through this one lock.
std::mutex& PlannerMutex()
{
    static std::mutex mutex;
    return mutex;
}

fftwf_complex* AsFftw(std::complex<float>* values) { return reinterpret_cast<fftwf_complex*>(values); }

} // namespace

RealFft::RealFft(int32_t size_) : size(size_)
{
    const std::lock_guard<std::mutex> lock(PlannerMutex());
    time = fftwf_alloc_real(size_t(size));
    spectrum = reinterpret_cast<std::complex<float>*>(fftwf_alloc_complex(size_t(Bins())));
    // Estimated plans: measuring would run transforms and overwrite buffers,
    // and takes far longer than a reinitialisation should.
    forwardPlan = fftwf_plan_dft_r2c_1d(size, time, AsFftw(spectrum), FFTW_ESTIMATE);
    inversePlan = fftwf_plan_dft_c2r_1d(size, AsFftw(spectrum), time, FFTW_ESTIMATE);
    for (int32_t i = 0; i < size; ++i)
        time[i] = 0.0f;
    for (int32_t k = 0; k < Bins(); ++k)
        spectrum[k] = 0.0f;
}

RealFft::~RealFft()
{
    const std::lock_guard<std::mutex> lock(PlannerMutex());
    fftwf_destroy_plan(forwardPlan);
    fftwf_destroy_plan(inversePlan);
    fftwf_free(spectrum);
    fftwf_free(time);
}

void RealFft::Forward() { fftwf_execute(forwardPlan); }

void RealFft::Inverse() { fftwf_execute(inversePlan); }
