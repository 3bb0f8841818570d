#include "effects/modulation/CORVAutoWahDSP.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testing_support;
using Aw = CORVAutoWahDSP;

TEST(CORVAutoWahDSP, CenterPlacesTheResonanceAt44100)
{
    // With "Depth" 0 there is no swing, so the filter rests on fc while the
    // closed gate (mode "A") would otherwise swing it fully.
    for (const auto& [center, fc] : {std::pair{100.0f, 6485.3}, {50.0f, 1294.0}, {1.0f, 266.6}}) {
        auto wah = Make<Aw>();
        Set(*wah, Aw::kCenter, center);
        Set(*wah, Aw::kDepth, 0.0f);
        const auto response = Play(*wah, Impulse(16384));
        double best = 0.0;
        double bestMagnitude = 0.0;
        for (double f = fc * 0.97; f <= fc * 1.03; f += fc * 1e-4) {
            const double magnitude = DtftMagnitude(response, f, 44100.0);
            if (magnitude > bestMagnitude) {
                bestMagnitude = magnitude;
                best = f;
            }
        }
        EXPECT_NEAR(best, fc, fc * 3e-4) << center;
        // At the centre the band-pass gains k + 1 (nearly 2) times 1.7.
        EXPECT_NEAR(bestMagnitude, 3.4, 0.2) << center;
    }
}

TEST(CORVAutoWahDSP, GateDecidesWhenTheFilterSwings)
{
    // A steady tone at a loud and a quiet level; the output level wanders
    // only while the centre swings.  Mode "A" swings while the input is
    // quiet, mode "B" while it is loud.
    struct Case {
        float mode;
        float amplitude;
        bool swings;
        float gate;
    };
    for (const Case c : {Case{0, 0.5f, false, 1.0f}, Case{0, 0.01f, true, 0.0f}, Case{1, 0.5f, true, 1.0f},
                         Case{1, 0.01f, false, 0.0f}}) {
        auto wah = Make<Aw>();
        Set(*wah, Aw::kMode, c.mode);
        Set(*wah, Aw::kRate, 2.0f);
        Set(*wah, Aw::kDepth, 100.0f);
        const auto output = Play(*wah, Sine(1000.0, 44100.0, 3 * 44100, c.amplitude));
        EXPECT_NEAR(wah->GateValue(), c.gate, 0.01) << c.mode << " " << c.amplitude;
        double lowest = 1e9;
        double highest = 0.0;
        for (size_t start = 44100; start + 441 <= output.size(); start += 441) {
            const std::vector<float> window(output.begin() + long(start), output.begin() + long(start + 441));
            lowest = std::min(lowest, Rms(window));
            highest = std::max(highest, Rms(window));
        }
        if (c.swings)
            EXPECT_GT(highest / lowest, 3.0) << c.mode << " " << c.amplitude;
        else
            EXPECT_LT(highest / lowest, 1.02) << c.mode << " " << c.amplitude;
    }
}

