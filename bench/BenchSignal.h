#pragma once
#include <cstddef>
#include <vector>

namespace bench {

// A few seconds of guitar-like test signal: plucked, decaying partials with
// a little noise, so effects see realistic levels and spectra.
std::vector<float> GuitarLikeSignal(double sampleRate, size_t frames);

} // namespace bench
