#pragma once
#include "effects/common/BiquadKernel.h"

// A third-order Butterworth low-pass split over two second-order sections,
// the second of which also carries a first-order high-pass.
//
// The cubic's complex pole pair and its double zero at Nyquist go into
// lowPassPair; its real pole and the remaining Nyquist zero share
// realPoleWithHighPass with the high-pass pole and its zero at DC, so a
// cabinet's upper roll-off and its low cut cost two sections instead of three.
// The high-pass's own gain factor ch/(ch + ωh) is left out: the pair's
// pass band sits slightly above unity, the more the higher the high-pass
// corner.
struct ThirdOrderSections {
    BiquadCoefs lowPassPair;
    BiquadCoefs realPoleWithHighPass;
};

ThirdOrderSections DesignThirdOrderLowPass(double lowPassFrequency, double highPassFrequency, double sampleRate);

// The real root of z³ + d1·z² + d2·z + d3 by Cardano's formula, for cubics
// with one real root and a complex pair.
double CubicRealRoot(double d1, double d2, double d3);
