// The time grid and the half-space transient of the curve buffers.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "Quorvalent/CURVES.h"
#include "Quorvalent/CalcLotem.h"
#include "Quorvalent/HZEXACT.h"
#include "Quorvalent/RTSAFE.h"
#include "Quorvalent/TRANSFOR.h"

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

namespace {

constexpr double kMu0 = 1.256637061e-6;

struct Curve {
    std::vector<double> t, v;
};

// CURVE over a layered model as CALCLOTEM prepares it.
Curve layeredCurve(int component, std::vector<float> rho, std::vector<float> h, float r, float degrees, float t1, float t2)
{
    EngineBlock& engine = engineBlock();
    engine.FieldComponent = component;
    engine.LayerCount = static_cast<INTEGER>(rho.size());
    engine.Offset = r;
    engine.Angle = degrees / 57.29578f;
    engine.Resistivities = rho;
    h.push_back(0.0f);
    engine.Thicknesses = h;
    const bool computed = CURVE(t1, t2);
    engine.Resistivities.clear();
    engine.Thicknesses.clear();
    EXPECT_TRUE(computed);
    const EngineCurveBlock& block = engineCurveBlock();
    Curve curve;
    for (int i = 0; i < block.SampleCount; ++i) {
        curve.t.push_back(block.Times[static_cast<std::size_t>(i)]);
        curve.v.push_back(block.Values[static_cast<std::size_t>(i)]);
    }
    return curve;
}

double inductionNumber(double t, double rho, double r) { return 0.5 / std::sqrt(t * rho / (kMu0 * r * r)); }

// Switch-off dBz/dt over a half-space at 90 degrees, with the exact error function: HZEXACT's
// rational erf loses up to 1E-3 of the cancelling closed form just above u = 0.2.
double halfSpaceHz(double t, double rho, double r)
{
    const double u = inductionNumber(t, rho, r), u2 = u * u;
    const double f = u > 0.2 ? std::erf(u) - 2.0 / std::sqrt(std::numbers::pi) * (u + 2.0 / 3.0 * u * u2) * std::exp(-u2)
                             : 2.0 / std::sqrt(std::numbers::pi) * u * u2 * u2 * (4.0 / 15.0 - u2 * 4.0 / 21.0 + u2 * u2 * 2.0 / 27.0);
    return 3.0 * rho * f / (2.0 * std::numbers::pi * std::pow(r, 4));
}

// Switch-on Ex over a half-space: rho / (2 pi r^3) [2 - 3 sin^2 - erf(u) + (2 / sqrt(pi)) u exp(-u^2)].
double halfSpaceEx(double t, double rho, double r, double degrees)
{
    const double s = std::sin(degrees * std::numbers::pi / 180.0), u = inductionNumber(t, rho, r);
    return std::fabs(rho / (2.0 * std::numbers::pi * r * r * r) *
                     (2.0 - 3.0 * s * s - std::erf(u) + 2.0 / std::sqrt(std::numbers::pi) * u * std::exp(-u * u)));
}

// DC field of a unit dipole on two layers by the image series of the point source's potential,
// g(R) = rho1 / (2 pi) [1/R + 2 sum k^n / sqrt(R^2 + (2 n h)^2)], k = (rho2 - rho1) / (rho2 + rho1):
// Ex = g'' cos^2 + g' sin^2 / R and Ey = sin cos (g'' - g' / R).
std::pair<double, double> twoLayerDc(double rho1, double rho2, double h, double r, double degrees)
{
    const double k = (rho2 - rho1) / (rho2 + rho1);
    double g1 = -1.0 / (r * r), g2 = 2.0 / (r * r * r), kn = 1.0;
    for (int n = 1; n < 100000 && std::fabs(kn) > 1e-16; ++n) {
        kn *= k;
        const double a2 = std::pow(2.0 * n * h, 2), d2 = r * r + a2;
        g1 += -2.0 * kn * r / std::pow(d2, 1.5);
        g2 += -2.0 * kn * (1.0 / std::pow(d2, 1.5) - 3.0 * r * r / std::pow(d2, 2.5));
    }
    const double f = rho1 / (2.0 * std::numbers::pi), a = degrees * std::numbers::pi / 180.0;
    const double s = std::sin(a), c = std::cos(a);
    return {std::fabs(f * (g2 * c * c + g1 * s * s / r)), std::fabs(f * s * c * (g2 - g1 / r))};
}

}  // namespace

TEST(CURVE, HzOverEqualLayersMatchesTheClosedFormAtEveryOffset)
{
    // Offsets below about 316 m start the Hankel walk at the moved index; the window follows the
    // offset so that the induction numbers are the same at every offset.
    for (float r : {100.0f, 200.0f, 300.0f, 400.0f, 1000.0f}) {
        const float scale = (r / 1000.0f) * (r / 1000.0f);
        const Curve curve = layeredCurve(3, {100.0f, 100.0f}, {300.0f}, r, 90.0f, 1.0e-5f * scale, 10.0f * scale);
        int inBand = 0;
        for (std::size_t i = 0; i < curve.t.size(); ++i) {
            const double u = inductionNumber(curve.t[i], 100.0, r);
            const double error = std::fabs(curve.v[i] / halfSpaceHz(curve.t[i], 100.0, r) - 1.0);
            if (u >= 0.13 && u <= 2.0) {
                EXPECT_LE(error, 2e-4) << "r = " << r << ", u = " << u;
                ++inBand;
            } else if (u <= 18.0) {
                // Late in the window too, where the frequency kernels cancel to a part in 10^3.
                EXPECT_LE(error, 3e-3) << "r = " << r << ", u = " << u;
            }
        }
        EXPECT_GE(inBand, 10) << "r = " << r;
    }
}

TEST(CURVE, ElectricFieldsOverAHalfSpaceMatchTheirClosedForms)
{
    const double rho = 100.0, r = 1000.0;
    for (float degrees : {0.0f, 30.0f, 60.0f, 90.0f}) {
        const Curve ex = layeredCurve(1, {100.0f}, {}, 1000.0f, degrees, 0.001f, 10.0f);
        ASSERT_EQ(ex.t.size(), 42u);
        for (std::size_t i = 0; i < ex.t.size(); ++i)
            EXPECT_NEAR(ex.v[i] / halfSpaceEx(ex.t[i], rho, r, degrees), 1.0, 1e-4) << degrees << " degrees, t = " << ex.t[i];

        // Across the wire there is no transient over a half-space: the DC field at every time.
        const Curve ey = layeredCurve(2, {100.0f}, {}, 1000.0f, degrees, 0.001f, 10.0f);
        const double a = degrees * std::numbers::pi / 180.0;
        const double dc = std::fabs(3.0 * rho * std::sin(a) * std::cos(a) / (2.0 * std::numbers::pi * r * r * r));
        for (double v : ey.v) {
            if (degrees == 0.0f || degrees == 90.0f) EXPECT_EQ(v, 0.0);  // sin or cos stored as 0
            else EXPECT_NEAR(v / dc, 1.0, 1e-5) << degrees << " degrees";
        }
    }
}

TEST(CURVE, TwoLayerElectricFieldsTendToTheLayeredDcField)
{
    struct Case { int component; float rho1, rho2, h, degrees; } cases[] = {
        {1, 10.0f, 100.0f, 500.0f, 0.0f}, {1, 10.0f, 100.0f, 500.0f, 90.0f}, {2, 10.0f, 100.0f, 500.0f, 45.0f},
        {1, 100.0f, 10.0f, 300.0f, 0.0f}, {2, 100.0f, 10.0f, 300.0f, 45.0f},
    };
    for (const auto& c : cases) {
        const Curve curve = layeredCurve(c.component, {c.rho1, c.rho2}, {c.h}, 1000.0f, c.degrees, 0.001f, 10.0f);
        const auto [ex, ey] = twoLayerDc(c.rho1, c.rho2, c.h, 1000.0, c.degrees);
        const double dc = c.component == 1 ? ex : ey;
        EXPECT_NEAR(curve.v.back() / dc, 1.0, 5e-4) << "component " << c.component << ", " << c.rho1 << "/" << c.rho2 << ", "
                                                    << c.degrees << " degrees";
    }
}

TEST(CURVE, AbsentAndSplitLayersLeaveTheCurveUnchanged)
{
    for (int component : {1, 3}) {
        const Curve reference = layeredCurve(component, {10.0f, 100.0f, 3.0f}, {150.0f, 400.0f}, 1000.0f, 60.0f, 0.001f, 10.0f);
        const Curve absent = layeredCurve(component, {10.0f, 100.0f, 37.0f, 3.0f}, {150.0f, 400.0f, 0.0f}, 1000.0f, 60.0f, 0.001f, 10.0f);
        const Curve split = layeredCurve(component, {10.0f, 100.0f, 100.0f, 3.0f}, {150.0f, 250.0f, 150.0f}, 1000.0f, 60.0f, 0.001f, 10.0f);
        for (std::size_t i = 0; i < reference.v.size(); ++i) {
            EXPECT_NEAR(absent.v[i] / reference.v[i], 1.0, 2e-5) << "component " << component << ", t = " << reference.t[i];
            EXPECT_NEAR(split.v[i] / reference.v[i], 1.0, 2e-5) << "component " << component << ", t = " << reference.t[i];
        }
    }
}

TEST(CURVE, NoKernelIsComputedTwiceWithinItsCacheLifetime)
{
    struct Case { int component, selector; } cases[] = {{1, kSelectEx}, {2, kSelectEy}, {3, kSelectHz}};
    for (const auto& c : cases) {
        const Curve curve = layeredCurve(c.component, {10.0f, 100.0f, 3.0f}, {150.0f, 400.0f}, 1000.0f, 60.0f, 0.001f, 10.0f);
        const TransformCacheBlock& cache = transformCacheBlock();
        EXPECT_EQ(cache.RepeatedKernelCount, 0) << "component " << c.component;
        // One kernel for each frequency the filter reaches from the curve's time points (4.1
        // decades at 16.6 per decade, and the spline's margins); each frequency at most 100
        // abscissae, and the tolerance closes the walks before that.
        EXPECT_EQ(cache.FilterTimeCount, 77);
        EXPECT_EQ(cache.FrequencyCount, 77 + 200);
        EXPECT_EQ(cache.FrequencyKernelCount, cache.FrequencyCount - EngineInternal::sineFirstUsed(c.selector));
        EXPECT_LT(cache.AbscissaKernelCount, 90 * cache.FrequencyKernelCount);
    }
    // The all-time field takes the Hz curve's kernels and adds only the lowest frequencies.
    EngineBlock& engine = engineBlock();
    engine.Resistivities = {10.0f, 100.0f, 3.0f};
    engine.Thicknesses = {150.0f, 400.0f, 0.0f};
    ALLTIME();
    engine.Resistivities.clear();
    engine.Thicknesses.clear();
    const TransformCacheBlock& cache = transformCacheBlock();
    EXPECT_EQ(cache.RepeatedKernelCount, 0);
    EXPECT_EQ(cache.FrequencyKernelCount, cache.FrequencyCount);
}

TEST(CURVE, LongWindowsOnTheTransformPathStayInsideTheFrequencyGrid)
{
    // 92 samples: more than the 81 that 160 frequencies would serve.
    const Curve curve = layeredCurve(3, {100.0f, 100.0f}, {300.0f}, 1000.0f, 90.0f, 1.0e-6f, 1.0e3f);
    ASSERT_EQ(curve.t.size(), 92u);
    for (std::size_t i = 0; i < curve.t.size(); ++i) {
        const double u = inductionNumber(curve.t[i], 100.0, 1000.0);
        if (u < 0.13 || u > 2.0) continue;
        EXPECT_NEAR(curve.v[i] / halfSpaceHz(curve.t[i], 100.0, 1000.0), 1.0, 2e-4) << "t = " << curve.t[i];
    }
    // The longest curve the buffers hold.
    const Curve longest = layeredCurve(1, {10.0f, 100.0f}, {300.0f}, 1000.0f, 30.0f, 1.0e-13f, 2.0e15f);
    EXPECT_EQ(longest.t.size(), 292u);
}
