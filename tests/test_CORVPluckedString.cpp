#include "cli/CORVPluckedString.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr double kSampleRate = 48000.0;

std::vector<float> Play(CORVPluckedString& string, size_t frames)
{
    std::vector<float> samples(frames);
    for (float& sample : samples)
        sample = string.Next();
    return samples;
}

double Correlation(const std::vector<float>& samples, size_t lag)
{
    double sum = 0.0;
    for (size_t i = lag; i < samples.size(); ++i)
        sum += double(samples[i]) * double(samples[i - lag]);
    return sum / double(samples.size() - lag);
}

// The fundamental from the autocorrelation peak near the expected period,
// interpolated between lags with a parabola.
double MeasuredFrequency(const std::vector<float>& samples, double expected)
{
    const size_t period = size_t(std::lround(kSampleRate / expected));
    size_t best = period;
    for (size_t lag = period - 3; lag <= period + 3; ++lag)
        best = Correlation(samples, lag) > Correlation(samples, best) ? lag : best;
    const double before = Correlation(samples, best - 1);
    const double at = Correlation(samples, best);
    const double after = Correlation(samples, best + 1);
    const double offset = 0.5 * (before - after) / (before - 2.0 * at + after);
    return kSampleRate / (double(best) + offset);
}

} // namespace

TEST(PluckedString, IsTunedWithinACent)
{
    for (double frequency : {82.41, 110.0, 196.0, 329.63}) {
        CORVPluckedString string(kSampleRate, {frequency, 0.5f, 0.13f, 4.0, 7});
        Play(string, size_t(kSampleRate / 10));
        const double measured = MeasuredFrequency(Play(string, size_t(kSampleRate / 2)), frequency);
        EXPECT_NEAR(1200.0 * std::log2(measured / frequency), 0.0, 1.0) << frequency;
    }
}

