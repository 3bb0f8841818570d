#pragma once
#include <complex>
#include <cstdint>

struct fftwf_plan_s;

// A real-input FFT of one fixed size on buffers it owns, planned with FFTW in
// single precision.  Construction and destruction call the FFTW planner, which
// is neither real-time safe nor thread-safe: they belong in an effect's
// reinitialisation, and every instance in the process plans under one shared
// mutex.  Forward and Inverse only execute the plans, so they allocate
// nothing and take no lock.
class RealFft {
public:
    explicit RealFft(int32_t size);
    ~RealFft();
    RealFft(const RealFft&) = delete;
    RealFft& operator=(const RealFft&) = delete;

    int32_t Size() const { return size; }
    int32_t Bins() const { return size / 2 + 1; }

    // Size samples of the time domain.
    float* Time() { return time; }
    // Bins() values from DC to Nyquist.
    std::complex<float>* Spectrum() { return spectrum; }

    // Time() into Spectrum().
    void Forward();
    // Spectrum() into Time(), unnormalised: a forward and an inverse transform
    // scale a signal by Size().  The spectrum is overwritten.
    void Inverse();

private:
    int32_t size;
    float* time;
    std::complex<float>* spectrum;
    fftwf_plan_s* forwardPlan;
    fftwf_plan_s* inversePlan;
};
