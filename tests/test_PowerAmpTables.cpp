#include "effects/drive/PowerAmpTables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

// A curve and where its segments meet: the segment a lookup picks on either
// side of each boundary, both cubics' values there, and the ends against the
// constants outside.
struct Table {
    std::string name;
    std::vector<double> boundaries;  // from the lower end of segment 0 to the upper end of the last
    std::function<int32_t(float)> index;
    std::function<double(size_t, double)> segment;  // segment k's cubic at v
    std::function<double(float)> lookup;
    double below, above;
    double tolerance;
};

std::vector<double> Boundaries(double first, double step, int count, double nextFirst, int nextCount)
{
    std::vector<double> b;
    for (int i = 0; i < count; ++i)
        b.push_back(first + step * i);
    for (int i = 0; i < nextCount; ++i)
        b.push_back(nextFirst + step * i);
    return b;
}

std::vector<Table> Tables()
{
    auto tube = [](const TubeCurve& t, const std::string& name) {
        return Table{name,
                     // −57, −53, .., −1, then 4, 8, .., 200
                     Boundaries(-57.0, 4.0, 15, 4.0, 50),
                     TubeSegmentIndex,
                     [&t](size_t k, double v) { return EvaluateSegment((*t.table)[k], v); },
                     [&t](float v) { return TubeTransfer(t, v); },
                     t.below,
                     t.above,
                     1e-7};
    };
    auto half = [](bool a) {
        return Table{a ? "splitter A" : "splitter B",
                     // −16 − 1/32, .., −1/32, then 1, 2, .., 16
                     Boundaries(-16.0 - 1.0 / 32.0, 1.0, 17, 1.0, 16),
                     SplitterSegmentIndex,
                     [a](size_t k, double v) {
                         return EvaluateSegment(a ? kPhaseSplitterTable[k].a : kPhaseSplitterTable[k].b, v);
                     },
                     [a](float v) { return a ? PhaseSplit(v).a : PhaseSplit(v).b; },
                     a ? kSplitterBelowA : kSplitterBelowB,
                     a ? kSplitterAboveA : kSplitterAboveB,
                     1e-5};
    };
    return {tube(kEl34Curve, "EL34"), tube(k6L6Curve, "6L6"), half(true), half(false),
            Table{"output transformer",
                  // −257/256, .., −1/256, then 1/8, 2/8, .., 1
                  Boundaries(-257.0 / 256.0, 0.125, 9, 0.125, 8),
                  TransformerSegmentIndex,
                  [](size_t k, double v) { return EvaluateSegment(kOutputTransformerTable[k], v); },
                  [](float v) { return double(OutputTransformer(v)); },
                  -kTransformerLimit,
                  kTransformerLimit,
                  1e-7}};
}

} // namespace

TEST(PowerAmpTables, ContinuousAtEveryBoundary)
{
    for (const Table& t : Tables()) {
        const std::vector<double>& b = t.boundaries;
        const size_t segments = b.size() - 1;
        EXPECT_NEAR(t.segment(0, b.front()), t.below, t.tolerance) << t.name;
        EXPECT_NEAR(t.segment(segments - 1, b.back()), t.above, t.tolerance) << t.name;
        for (size_t k = 0; k < segments; ++k) {
            const double middle = 0.5 * (b[k] + b[k + 1]);
            EXPECT_EQ(t.index(float(middle)), int32_t(k)) << t.name << " " << middle;
            if (k + 1 < segments) {
                EXPECT_NEAR(t.segment(k, b[k + 1]), t.segment(k + 1, b[k + 1]), t.tolerance)
                    << t.name << " at " << b[k + 1];
            }
        }
    }
}

TEST(PowerAmpTables, TransformerIsOddAndSaturatesAtOnePointThree)
{
    for (int i = 0; i <= 20000; ++i) {
        const float v = float(i) / 16000.0f;
        EXPECT_NEAR(OutputTransformer(v), -OutputTransformer(-v), 2e-4f) << v;
        EXPECT_LE(std::fabs(OutputTransformer(v)), 1.3f) << v;
        EXPECT_LE(std::fabs(OutputTransformer(-v)), 1.3f) << v;
    }
    EXPECT_NEAR(OutputTransformer(0.999f), 1.3f, 2e-4f);
    EXPECT_NEAR(OutputTransformer(-0.999f), -1.3f, 2e-4f);
}
