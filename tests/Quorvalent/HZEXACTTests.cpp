// Half-space closed forms: known values, the error-function accuracy, and the consistency of the
// switch-off and switch-on fields with their resistivity derivative.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Quorvalent/HZEXACT.h"

namespace {
constexpr double kMu0 = 1.256637061e-6;

// The time at which the induction number over rho at offset r equals u.
float timeForInductionNumber(double u, double rho, double r) { return static_cast<float>(0.25 / (u * u) * kMu0 * r * r / rho); }
}  // namespace

TEST(HZEXACT, KnownValuesOverHundredOhmMetresAtOneKilometre)
{
    struct Case { float t; double expected; } cases[] = {{0.001f, 3.4395e-11}, {0.01f, 6.3646e-13}};
    for (const auto& c : cases) {
        float out = 0.0f;
        HZEXACT(c.t, 1.0f, 1.0f, 1000.0f, 90.0f, 100.0f, out);
        EXPECT_NEAR(out / c.expected, 1.0, 1e-4) << "t = " << c.t;
    }
}

TEST(HZEXACT, ScalesWithMomentAndSineAndVanishesAlongTheWire)
{
    float unit = 0.0f, scaled = 0.0f, thirty = 0.0f, along = 1.0f;
    HZEXACT(0.001f, 1.0f, 1.0f, 1000.0f, 90.0f, 100.0f, unit);
    HZEXACT(0.001f, 2.0f, 500.0f, 1000.0f, 90.0f, 100.0f, scaled);
    HZEXACT(0.001f, 1.0f, 1.0f, 1000.0f, 30.0f, 100.0f, thirty);
    HZEXACT(0.001f, 1.0f, 1.0f, 1000.0f, 0.0f, 100.0f, along);
    EXPECT_NEAR(scaled / unit, 1000.0, 1e-3);
    EXPECT_NEAR(thirty / unit, 0.5, 1e-6);
    EXPECT_EQ(along, 0.0f);
}

TEST(HZEXACT, EarlyTimeLimitIsThreeRhoOverTwoPiRToTheFourth)
{
    float out = 0.0f;
    HZEXACT(timeForInductionNumber(20.0, 100.0, 1000.0), 1.0f, 1.0f, 1000.0f, 90.0f, 100.0f, out);
    EXPECT_NEAR(out / (3.0 * 100.0 / (2.0 * std::numbers::pi * 1e12)), 1.0, 1e-6);
}

TEST(ERF, AbsoluteErrorBelowBoundOnZeroToFive)
{
    for (int i = 0; i <= 500; ++i) {
        const double x = i * 0.01;
        EXPECT_LT(std::fabs(ERF(x) - std::erf(x)), 1.5e-7) << "x = " << x;
    }
    EXPECT_NEAR(ERF(3.0), 0.9999779, 1e-7);
}

TEST(HZ_LOT_HSP, SwitchOffAndSwitchOnAddUpToTheDcField)
{
    const float r = 1000.0f, rho = 100.0f, M = 1.0e4f;
    const double h0 = M / (4.0 * std::numbers::pi * r * r);
    for (double u : {0.05, 0.2, 0.25, 0.3, 1.0, 3.0, 10.0}) {
        const float t = timeForInductionNumber(u, rho, r);
        float off = 0, dOff = 0, on = 0, dOn = 0;
        HZ_LOT_HSP(true, t, M, r, rho, off, dOff);
        HZ_LOT_HSP(false, t, M, r, rho, on, dOn);
        EXPECT_NEAR((off + on) / h0, 1.0, 1e-6) << "u = " << u;
        EXPECT_FLOAT_EQ(dOn, -dOff) << "u = " << u;
    }
    float early = 0, late = 0, d = 0;
    HZ_LOT_HSP(true, timeForInductionNumber(300.0, rho, r), M, r, rho, early, d);
    HZ_LOT_HSP(true, timeForInductionNumber(0.005, rho, r), M, r, rho, late, d);
    EXPECT_NEAR(early / h0, 1.0, 1e-3);
    EXPECT_NEAR(late / h0, 0.0, 1e-6);
}

TEST(HZ_LOT_HSP, ResistivityDerivativeMatchesCentralDifferenceOnBothBranches)
{
    const float r = 1000.0f, rho = 100.0f, M = 1.0e4f;
    // The switch-on derivative is the negated switch-off one (tested above); its own difference
    // quotient would lose the derivative in the rounding of H0 - H.
    for (bool stepOff : {true}) {
        for (double u : {0.1, 0.2, 0.5, 1.0, 2.0}) {  // below and above the branch at u = 0.25
            const float t = timeForInductionNumber(u, rho, r);
            float h = 0, dh = 0, hPlus = 0, hMinus = 0, unused = 0;
            HZ_LOT_HSP(stepOff, t, M, r, rho, h, dh);
            const float step = 0.5f;
            HZ_LOT_HSP(stepOff, t, M, r, rho + step, hPlus, unused);
            HZ_LOT_HSP(stepOff, t, M, r, rho - step, hMinus, unused);
            const double difference = (double(hPlus) - hMinus) / (2.0 * step);
            EXPECT_NEAR(dh / difference, 1.0, 1e-3) << "u = " << u << " stepOff = " << stepOff;
        }
    }
}
