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
#include "Quorvalent/HZEXACT.h"
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

// The curve of an Hz sounding in the EngineCurveBlock, as CALCLOTEM computes it; the model stays
// in the EngineBlock for ALLTIME, as it does inside CALCLOTEM.
void hzCurve(std::vector<float> rho, std::vector<float> h, float t1, float t2, float r = 1000.0f)
{
    EngineBlock& engine = engineBlock();
    engine.FieldComponent = 3;
    engine.LayerCount = static_cast<INTEGER>(rho.size());
    engine.Offset = r;
    engine.Angle = 90.0f / 57.29578f;
    engine.Resistivities = rho;
    h.push_back(0.0f);
    engine.Thicknesses = h;
    ASSERT_TRUE(CURVE(t1, t2));
}

// The switch-off Hz (A/m, unit moment) still to decay at the samples of the window from t1 with
// n samples, integrated from the model's dBz/dt over ten decades around the window (Simpson's
// rule in log t) and beyond them along the late-time t^(-5/2) decay.
std::vector<double> integratedSwitchOffField(const std::vector<float>& rho, const std::vector<float>& h, float r, float t1, int n)
{
    constexpr float kWideStart = 1.0e-6f;
    hzCurve(rho, h, kWideStart, 1.0e4f, r);
    const EngineCurveBlock& curve = engineCurveBlock();
    const int count = curve.SampleCount;
    const double step = std::log(10.0) / 10.0, mu0 = 1.256637061e-6;
    const auto integrand = [&](int j) { return double(curve.Values[j]) * curve.Times[j] / mu0; };  // d Hz / d ln t
    const int offset = static_cast<int>(std::lround(10.0 * std::log10(double(t1) / kWideStart)));
    std::vector<double> field;
    for (int i = 0; i < n; ++i) {
        const int from = offset + i;
        double sum = double(curve.Values[count - 1]) * curve.Times[count - 1] / (1.5 * mu0);
        int j = from;
        if ((count - 1 - from) % 2 == 1) {  // one interval by the 3/8 rule, the rest by Simpson's
            sum += 3.0 * step / 8.0 * (integrand(j) + 3.0 * integrand(j + 1) + 3.0 * integrand(j + 2) + integrand(j + 3));
            j += 3;
        }
        for (; j + 2 < count; j += 2) sum += step / 3.0 * (integrand(j) + 4.0 * integrand(j + 1) + integrand(j + 2));
        field.push_back(sum);
    }
    return field;
}

// The resistivity of the half-space whose switch-off Hz at t is off (A/m, unit moment), in the
// step form whose field is the smaller, by bisection in log rho.
double halfSpaceOfField(double off, double t, double r)
{
    const double h0 = 1.0 / (4.0 * std::numbers::pi * r * r);
    const bool stepOff = off <= h0 - off;
    double low = std::log(1.0e-3), high = std::log(1.0e6);
    for (int step = 0; step < 200; ++step) {
        const double middle = 0.5 * (low + high);
        double field = 0.0, unused = 0.0;
        EngineInternal::halfSpaceField(stepOff, t, 1.0, r, std::exp(middle), field, unused);
        // At a fixed time a more resistive half-space has lost more of its field.
        const bool tooConductive = stepOff ? field > off : field < h0 - off;
        (tooConductive ? low : high) = middle;
    }
    return std::exp(0.5 * (low + high));
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

TEST(RHOET_TO_HZ, TargetIsTheSwitchOffFieldStillToDecay)
{
    // Over a half-space the target follows the closed-form switch-off field at every sample,
    // the last one included: the field beyond the window is not lost.
    struct Case { float rho, r; } cases[] = {{100.0f, 1000.0f}, {1.0f, 3000.0f}, {1000.0f, 500.0f}};
    for (const auto& c : cases) {
        hzCurve({c.rho}, {}, 0.001f, 10.0f, c.r);
        const EngineCurveBlock& curve = engineCurveBlock();
        const int n = curve.SampleCount;
        std::vector<float> early(static_cast<std::size_t>(n)), target(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            early[static_cast<std::size_t>(i)] = static_cast<float>(2.0 * std::numbers::pi * std::pow(c.r, 4) / 3.0 * curve.Values[static_cast<std::size_t>(i)]);
        for (float M : {1.0f, 1.0e4f}) {
            RHOET_TO_HZ(c.r, M, n, curve.Times, early, target);
            for (int i = 0; i < n; ++i) {
                float exact = 0.0f, unused = 0.0f;
                HZ_LOT_HSP(true, curve.Times[static_cast<std::size_t>(i)], M, c.r, c.rho, exact, unused);
                EXPECT_NEAR(target[static_cast<std::size_t>(i)] / exact, 1.0, 5e-3)
                    << c.rho << " ohm-m at " << c.r << " m, M = " << M << ", t = " << curve.Times[static_cast<std::size_t>(i)];
            }
            EXPECT_TRUE(std::is_sorted(target.rbegin(), target.rend()));  // the field decays
        }
    }
}

TEST(ALLTIME, HalfSpaceGivesItsOwnResistivityBackAtEverySample)
{
    // Across the program's window, from induction numbers of 53 down to 0.0025: through the
    // closed form (one layer) and through the transforms (two equal layers).
    for (float rho : {1.0f, 10.0f, 100.0f, 1000.0f}) {
        for (float r : {500.0f, 1000.0f, 3000.0f}) {
            for (int layers : {1, 2}) {
                hzCurve(std::vector<float>(static_cast<std::size_t>(layers), rho), std::vector<float>(static_cast<std::size_t>(layers - 1), 100.0f),
                        0.001f, 10.0f, r);
                ALLTIME();
                const std::vector<float> fitted = allTimeCurve();
                ASSERT_EQ(fitted.size(), 42u);
                for (std::size_t i = 0; i < fitted.size(); ++i)
                    EXPECT_NEAR(fitted[i] / rho, 1.0f, 0.01f)
                        << rho << " ohm-m at " << r << " m, " << layers << " layers, t = " << engineCurveBlock().Times[i];
            }
        }
    }
}

TEST(ALLTIME, LayeredCurveFitsTheFieldOfItsWholeTransient)
{
    // The field at each sample holds the whole transient before it and after it, not only the
    // window's samples: a thin conductor over a resistive basement (late in the window), and
    // resistive tops whose early samples already see what lies below.
    struct Case { std::vector<float> rho, h; float r; } cases[] = {
        {{10.0f, 1000.0f}, {100.0f}, 1000.0f},
        {{592.0f, 161.0f, 8.66f}, {43.2f, 96.2f}, 500.0f},
        {{71.2f, 2.4f, 1.01f, 411.0f}, {108.0f, 111.0f, 1870.0f}, 1000.0f},
    };
    for (const Case& c : cases) {
        const std::vector<double> field = integratedSwitchOffField(c.rho, c.h, c.r, 0.001f, 42);
        hzCurve(c.rho, c.h, 0.001f, 10.0f, c.r);
        ALLTIME();
        const std::vector<float> fitted = allTimeCurve();
        ASSERT_EQ(fitted.size(), field.size());
        for (std::size_t i = 0; i < fitted.size(); ++i) {
            const double t = engineCurveBlock().Times[i];
            EXPECT_NEAR(fitted[i] / halfSpaceOfField(field[i], t, c.r), 1.0, 0.01) << c.rho.front() << " ohm-m on top, t = " << t;
        }
    }
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
        for (std::size_t i = 0; i < rho.size(); ++i) {
            EXPECT_GE(rho[i], 0.99f * low) << c.rho1 << "/" << c.rho2 << ", t = " << engineCurveBlock().Times[i];
            EXPECT_LE(rho[i], 1.01f * high) << c.rho1 << "/" << c.rho2 << ", t = " << engineCurveBlock().Times[i];
        }
        // Early times see the first layer, later ones the basement.
        EXPECT_NEAR(rho.front() / c.rho1, 1.0f, 0.02f);
        EXPECT_LT(std::fabs(rho.back() - c.rho2), 0.2f * std::fabs(rho.front() - c.rho2));
    }
}
