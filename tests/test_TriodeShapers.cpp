#include "effects/drive/TriodeShapers.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(TriodeShapers, ContinuousAtEveryBoundAndConstantBeyond)
{
    for (size_t id = 0; id < kTriodeShaperCount; ++id) {
        const TriodeShaper& s = kTriodeShapers[id];
        if (id == kHighGain0)
            continue;
        // The limits are the polynomial's values there, to float precision.
        EXPECT_NEAR(TriodePolynomial(s, s.lo), s.atLo, 2.5e-7) << id;
        EXPECT_NEAR(TriodePolynomial(s, s.hi), s.atHi, 2.5e-7) << id;
        EXPECT_EQ(Shape(s, s.lo - 0.01f), s.atLo) << id;
        EXPECT_EQ(Shape(s, -1e6f), s.atLo) << id;
        EXPECT_EQ(Shape(s, s.hi + 0.01f), s.atHi) << id;
        EXPECT_EQ(Shape(s, 1e6f), s.atHi) << id;
        const float inside = 0.5f * (s.lo + s.hi);
        EXPECT_EQ(Shape(s, inside), TriodePolynomial(s, inside)) << id;
        // The smaller negative limit is what makes a stage asymmetric.
        EXPECT_LT(-s.atLo, s.atHi) << id;
        EXPECT_NEAR(s.atHi, 1.0f, 1e-5f) << id;
    }
}

