// The transforms' layered-earth curves against a slow reference of the same integrals, from a few
// milliseconds down to induction numbers of 0.005 in the basement, and the reference itself
// against the half-space's closed forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "LayeredEarthReference.h"
#include "Quorvalent/CURVES.h"
#include "Quorvalent/CalcLotem.h"

namespace {

constexpr double kMu0 = 1.256637061e-6;

double inductionNumber(double t, double rho, double r) { return r * std::sqrt(kMu0 / (4.0 * rho * t)); }

struct Case {
    const char* what;
    int component;  // 1 Ex, 3 Hz
    std::vector<float> rho, h;
    float r, degrees;
};

// CURVE over the program's default window, as CALCLOTEM prepares it.
void computeCurve(const Case& c)
{
    EngineBlock& engine = engineBlock();
    engine.FieldComponent = c.component;
    engine.LayerCount = static_cast<INTEGER>(c.rho.size());
    engine.Offset = c.r;
    engine.Angle = c.degrees / 57.29578f;
    engine.Resistivities = c.rho;
    engine.Thicknesses = c.h;
    engine.Thicknesses.push_back(0.0f);
    const bool computed = CURVE(0.001f, 10.0f);
    engine.Resistivities.clear();
    engine.Thicknesses.clear();
    ASSERT_TRUE(computed);
}

}  // namespace

TEST(LayeredEarthReference, ReproducesTheHalfSpaceClosedForms)
{
    // A vanishing resistive top leaves a 10 ohm-m half-space, which the reference sums as the
    // difference from the top's 1000 ohm-m in both integrals.
    const Reference::Earth earth{{1000.0, 10.0}, {0.0}};
    const double r = 1000.0;
    for (double u : {10.0, 1.0, 0.1, 0.005}) {
        const double t = kMu0 * r * r / (4.0 * 10.0 * u * u);
        EXPECT_NEAR(Reference::hz(earth, r, 60.0, t, 1000.0) / Reference::halfSpaceHz(10.0, r, 60.0, t), 1.0, 1e-4) << "u = " << u;
        EXPECT_NEAR(Reference::ex(earth, r, 30.0, t, 1000.0) / Reference::halfSpaceEx(10.0, r, 30.0, t), 1.0, 1e-4) << "u = " << u;
    }
}

TEST(CURVE, LayeredCurvesFollowTheReferenceDownToLateTime)
{
    const Case cases[] = {
        {"conductive top on a resistive basement", 3, {10.0f, 1000.0f}, {100.0f}, 1000.0f, 90.0f},
        {"resistive top on a conductor", 3, {100.0f, 10.0f}, {300.0f}, 1000.0f, 90.0f},
        {"conductor between", 3, {10.0f, 100.0f, 3.0f}, {150.0f, 400.0f}, 500.0f, 60.0f},
        {"thin resistive top", 3, {1000.0f, 100.0f}, {50.0f}, 3000.0f, 90.0f},
        {"inline Ex, resistive top on a good conductor", 1, {300.0f, 3.0f}, {100.0f}, 1000.0f, 0.0f},
        {"Ex at 45 degrees, three layers", 1, {100.0f, 10.0f, 1000.0f}, {200.0f, 200.0f}, 1000.0f, 45.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        computeCurve(c);
        const EngineCurveBlock& curve = engineCurveBlock();
        const Reference::Earth earth{{c.rho.begin(), c.rho.end()}, {c.h.begin(), c.h.end()}};
        // The reference takes out the half-space of the more resistive of the top and the
        // basement: its late field stays below the curve's, so nothing large cancels.
        const double rhoRef = std::max(c.rho.front(), c.rho.back());
        int checked = 0;
        for (int i : {8, 16, 24, 30, 36, 41}) {
            const double t = curve.Times[static_cast<std::size_t>(i)];
            if (inductionNumber(t, c.rho.back(), c.r) < 0.0049) continue;
            const double expected = c.component == 3 ? Reference::hz(earth, c.r, c.degrees, t, rhoRef)
                                                     : std::fabs(Reference::ex(earth, c.r, c.degrees, t, rhoRef));
            EXPECT_NEAR(curve.Values[static_cast<std::size_t>(i)] / expected, 1.0, 0.01) << "t = " << t;
            ++checked;
        }
        EXPECT_GE(checked, 5);
    }
}
