// The time grid and the half-space transient of the curve buffers.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "Quorvalent/CURVES.h"
#include "Quorvalent/CalcLotem.h"
#include "Quorvalent/HZEXACT.h"

TEST(NTIMES, SampleCountAndDecadesOfAWindow)
{
    struct Case { float t1, t2; int count, first, last; } cases[] = {
        {0.001f, 10.0f, 42, -3, 1},
        {1.0f, 100.0f, 32, -1, 2},     // a window starting at 1 s begins a decade early
        {0.002f, 0.5f, 42, -3, 1},     // a window ending below 1 s reaches 12.59 s
        {1.0e-5f, 1.0e3f, 82, -5, 3},
    };
    for (const auto& c : cases) {
        INTEGER first = 99, last = 99;
        EXPECT_EQ(NTIMES(c.t1, c.t2, first, last), c.count) << c.t1 << " " << c.t2;
        EXPECT_EQ(first, c.first);
        EXPECT_EQ(last, c.last);
    }
}

TEST(NTIMES, WindowWithoutGridGivesNoSamples)
{
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    for (auto [t1, t2] : {std::pair{0.0f, 10.0f}, {0.001f, 0.0f}, {nan, 10.0f}, {0.001f, inf}}) {
        INTEGER first = 99, last = 99;
        EXPECT_EQ(NTIMES(t1, t2, first, last), 0);
        EXPECT_EQ(first, 0);
        EXPECT_EQ(last, 0);
    }
}

TEST(CURVE, HalfSpaceHzFillsTheGridTenSamplesPerDecade)
{
    EngineBlock& engine = engineBlock();
    engine.FieldComponent = 3;
    engine.LayerCount = 1;
    engine.Offset = 1000.0f;
    engine.Angle = 1.5707964f;
    engine.Resistivities = {100.0f};
    ASSERT_TRUE(CURVE(0.001f, 10.0f));
    engine.Resistivities.clear();

    const EngineCurveBlock& curve = engineCurveBlock();
    ASSERT_EQ(curve.SampleCount, 42);
    EXPECT_FLOAT_EQ(curve.Times[0], 0.001f);
    EXPECT_NEAR(curve.Times[10], 0.01f, 1e-8);
    EXPECT_NEAR(curve.Times[41], 12.589f, 1e-3);
    for (int i = 0; i < 42; ++i) {
        float expected = 0.0f;
        HZEXACT(curve.Times[i], 1.0f, 1.0f, 1000.0f, 90.0f, 100.0f, expected);
        EXPECT_NEAR(curve.Values[i] / expected, 1.0, 1e-5) << i;
    }
    const KernelSettingsBlock& kernel = kernelSettingsBlock();
    EXPECT_TRUE(isTrue(kernel.Hz));
    EXPECT_EQ(kernel.Cos, 0.0f);  // cos 90 degrees is stored as exactly 0
    EXPECT_EQ(kernel.Sin, 1.0f);
}

TEST(CALC_HALF, RejectsBadInputWithoutWriting)
{
    struct Case { float t1, rho, r, angle; } cases[] = {
        {0.0f, 100.0f, 1000.0f, 90.0f}, {0.001f, 0.0f, 1000.0f, 90.0f},
        {0.001f, 100.0f, -5.0f, 90.0f}, {0.001f, 100.0f, 1000.0f, 1.0e-6f},
    };
    for (const auto& c : cases) {
        std::array<float, 5> times{7, 7, 7, 7, 7}, values{7, 7, 7, 7, 7};
        EXPECT_FALSE(CALC_HALF(c.t1, 5, times, values, c.rho, c.r, c.angle));
        EXPECT_EQ(times, (std::array<float, 5>{7, 7, 7, 7, 7}));
        EXPECT_EQ(values, (std::array<float, 5>{7, 7, 7, 7, 7}));
    }
}
