// The safeguarded root finder, the all-time target, and the all-time apparent resistivity of
// half-space and layered curves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "Quorvalent/CURVES.h"
#include "Quorvalent/CalcLotem.h"
#include "Quorvalent/RTSAFE.h"

namespace {

int evaluations = 0;

void linear(REAL x, REAL& f, REAL& df) { ++evaluations, f = x - 2.0f, df = 1.0f; }
void noRoot(REAL x, REAL& f, REAL& df) { ++evaluations, f = x * x + 1.0f, df = 2.0f * x; }
// Positive where it is defined, and not a number above 100.
void undefinedAbove100(REAL x, REAL& f, REAL& df)
{
    ++evaluations;
    f = x < 100.0f ? 1.0f : std::numeric_limits<float>::quiet_NaN();
    df = 0.0f;
}

// The curve of an Hz sounding in the EngineCurveBlock, as CALCLOTEM computes it.
void hzCurve(std::vector<float> rho, std::vector<float> h, float t1, float t2)
{
    EngineBlock& engine = engineBlock();
    engine.FieldComponent = 3;
    engine.LayerCount = static_cast<INTEGER>(rho.size());
    engine.Offset = 1000.0f;
    engine.Angle = 90.0f / 57.29578f;
    engine.Resistivities = rho;
    h.push_back(0.0f);
    engine.Thicknesses = h;
    ASSERT_TRUE(CURVE(t1, t2));
    engine.Resistivities.clear();
    engine.Thicknesses.clear();
}

std::vector<float> allTimeCurve()
{
    const EngineCurveBlock& curve = engineCurveBlock();
    return {curve.AllTimeResistivity.begin(), curve.AllTimeResistivity.begin() + curve.SampleCount};
}

}  // namespace

TEST(RTSAFE, BracketsConvergesOrGivesTheStartValueBack)
{
    struct Case {
        const char* what;
        RootFunction f;
        float result;
        int evaluations;  // 0: only more than the 21 of a search without a bracket
        bool found;
    } cases[] = {
        // No sign change in [5, 15] and [2.5, 30]; the first Newton step lands on 2 exactly, but
        // the step sizes still differ, so it bisects towards 2 from below.
        {"x - 2", linear, 1.9999943f, 24, true},
        {"x^2 + 1", noRoot, 10.0f, 21, false},
        // A product that is not a number counts as a bracket on the last try: the search goes on.
        {"not a number above 100", undefinedAbove100, 0.0f, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        evaluations = 0;
        float x = 10.0f;
        const float result = RTSAFE(c.f, 0.001f, x, 1.0e6f, 1.0e-5f);
        if (!std::isnan(result)) {
            EXPECT_EQ(result, x);
        }
        if (c.evaluations > 0) {
            EXPECT_NEAR(result, c.result, 1e-7);
            EXPECT_EQ(evaluations, c.evaluations);
        } else {
            EXPECT_GT(evaluations, 21);
        }
        EXPECT_EQ(isTrue(allTimeState().RootFound), c.found);
    }
}

TEST(RHOET_TO_HZ, TargetEndsAtTheWiresDcField)
{
    hzCurve({100.0f}, {}, 0.001f, 10.0f);
    const EngineCurveBlock& curve = engineCurveBlock();
    const int n = curve.SampleCount;
    std::vector<float> early(static_cast<std::size_t>(n)), target(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) early[static_cast<std::size_t>(i)] = static_cast<float>(2.0 * std::numbers::pi * 1.0e12 / 3.0 * curve.Values[static_cast<std::size_t>(i)]);
    for (float M : {1.0f, 1.0e4f}) {
        RHOET_TO_HZ(1000.0f, M, n, curve.Times, early, target);
        const float largest = *std::max_element(target.begin() + 1, target.end(), [](float a, float b) { return std::fabs(a) < std::fabs(b); });
        EXPECT_NEAR(largest / (M / (4.0 * std::numbers::pi * 1.0e6)), 1.0, 1e-6) << "M = " << M;
        EXPECT_TRUE(std::is_sorted(target.begin(), target.end()));  // a switch-on field rises
    }
    // One sample: no largest value beyond the first, the target is scaled to about 0.
    float single = 1.0f;
    RHOET_TO_HZ(1000.0f, 1.0e4f, 1, std::span(curve.Times).first(1), std::span(early).first(1), std::span(&single, 1));
    EXPECT_LE(single, 0.0f);
    EXPECT_GT(single, -1.0e-30f);
}

TEST(ALLTIME, HalfSpaceGivesItsOwnResistivityBack)
{
    // From u = 17.7 at 1.0E-5 s; the normalisation of the target to the DC field biases the last
    // decade and a half upwards.
    hzCurve({100.0f}, {}, 1.0e-5f, 10.0f);
    ALLTIME();
    const std::vector<float> rho = allTimeCurve();
    ASSERT_EQ(rho.size(), 62u);
    for (std::size_t i = 0; i + 15 < rho.size(); ++i)
        EXPECT_NEAR(rho[i] / 100.0f, 1.0f, 5e-3) << "t = " << engineCurveBlock().Times[i];
    EXPECT_GT(rho.back(), 100.0f);
}

TEST(ALLTIME, ResultDoesNotDependOnTheSourceTerm)
{
    hzCurve({30.0f, 300.0f}, {400.0f}, 1.0e-4f, 10.0f);
    ALLTIME();
    const std::vector<float> reference = allTimeCurve();
    EngineInternal::allTimeFor(1.0f);
    const std::vector<float> unit = allTimeCurve();
    for (std::size_t i = 0; i < reference.size(); ++i) EXPECT_NEAR(unit[i] / reference[i], 1.0f, 1e-5) << i;
}

TEST(ALLTIME, LayeredCurveLiesBetweenItsLayersResistivities)
{
    struct Case { float rho1, rho2, h; } cases[] = {{100.0f, 10.0f, 300.0f}, {10.0f, 100.0f, 300.0f}};
    for (const auto& c : cases) {
        hzCurve({c.rho1, c.rho2}, {c.h}, 1.0e-5f, 10.0f);
        ALLTIME();
        const std::vector<float> rho = allTimeCurve();
        const float low = std::min(c.rho1, c.rho2), high = std::max(c.rho1, c.rho2);
        for (std::size_t i = 0; i + 15 < rho.size(); ++i) {
            EXPECT_GE(rho[i], 0.99f * low) << c.rho1 << "/" << c.rho2 << ", t = " << engineCurveBlock().Times[i];
            EXPECT_LE(rho[i], 1.01f * high) << c.rho1 << "/" << c.rho2 << ", t = " << engineCurveBlock().Times[i];
        }
        // Early times see the first layer, later ones the basement.
        EXPECT_NEAR(rho.front() / c.rho1, 1.0f, 0.02f);
        EXPECT_LT(std::fabs(rho[rho.size() - 16] - c.rho2), std::fabs(rho.front() - c.rho2));
    }
}
