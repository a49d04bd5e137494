// Convolution with a system response, the rational spline it resamples with, and the curve
// normalisation.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "Quorvalent/CURVCON.h"
#include "Quorvalent/CURVES.h"
#include "Quorvalent/CalcLotem.h"
#include "Quorvalent/SuiteState.h"
#include "tests/support/MessageRecorder.h"

namespace {

// A smooth decaying curve on the logarithmic grid, ten samples per decade from 1 ms, in the
// EngineCurveBlock.
void storeCurve(int n)
{
    EngineCurveBlock& curve = engineCurveBlock();
    curve.SampleCount = n;
    for (int i = 0; i < n; ++i) {
        const double t = 1.0e-3 * std::pow(10.0, 0.1 * i);
        curve.Times[static_cast<std::size_t>(i)] = static_cast<float>(t);
        curve.Values[static_cast<std::size_t>(i)] = static_cast<float>(1.0 / (1.0 + t / 0.01));
    }
}

struct Spline {
    std::vector<float> x, y, p, q, y1, alpha, beta, gamma, delta;
    Spline(std::vector<float> xs, std::vector<float> ys, float tension)
        : x(std::move(xs)), y(std::move(ys)), p(x.size(), tension), q(x.size(), tension), y1(x.size()), alpha(x.size()),
          beta(x.size()), gamma(x.size()), delta(x.size())
    {
        const std::size_t n = x.size();
        y1.front() = (y[1] - y[0]) / (x[1] - x[0]);
        y1.back() = (y[n - 1] - y[n - 2]) / (x[n - 1] - x[n - 2]);
        RASPL1(static_cast<INTEGER>(n), x, y, p, q, y1, alpha, beta, gamma, delta);
    }
    float operator()(float xv) const
    {
        float out = 0.0f;
        YSPLINE(static_cast<INTEGER>(x.size()), x, xv, alpha, beta, gamma, delta, out, p, q);
        return out;
    }
};

class CurvconTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MessageRecorder::clear();
        systemResponseBlock() = SystemResponseBlock{};
    }
};

}  // namespace

TEST(TGEN, CountsFromTheGivenIndex)
{
    std::array<float, 4> fromZero{}, fromOne{};
    TGEN(fromZero, 1, 0.5f, 4);
    TGEN(fromOne, 0, 0.5f, 4);
    EXPECT_EQ(fromZero, (std::array<float, 4>{0.0f, 0.5f, 1.0f, 1.5f}));
    EXPECT_EQ(fromOne, (std::array<float, 4>{0.5f, 1.0f, 1.5f, 2.0f}));
}

TEST_F(CurvconTest, ConvWithIdentityDelayAndMismatchedSteps)
{
    const std::vector<float> curve{5.0f, 4.0f, 3.0f, 2.0f, 1.0f};
    struct Case { const char* what; std::vector<float> sys; float dts; std::vector<float> expected; bool bypassed; } cases[] = {
        {"identity", {1.0f}, 0.1f, curve, false},
        {"one-sample delay", {0.0f, 1.0f}, 0.1f, {5.0f, 5.0f, 4.0f, 3.0f, 2.0f}, false},
        {"two taps", {0.5f, 0.5f}, 0.1f, {5.0f, 4.5f, 3.5f, 2.5f, 1.5f}, false},
        {"other step", {0.0f, 1.0f}, 0.2f, curve, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MessageRecorder::clear();
        std::vector<float> a = curve;
        testing::internal::CaptureStdout();
        CONV(a, 5, c.sys, 0.1f, c.dts, static_cast<INTEGER>(c.sys.size()));
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_EQ(a, c.expected);
        if (c.bypassed) {
            ASSERT_EQ(MessageRecorder::shown().size(), 1u);
            EXPECT_EQ(MessageRecorder::shown()[0], "***  DECONVOLUTION BYPASSED.  ***");
            EXPECT_NE(printed.find(" DATA SAMPLE : "), std::string::npos);
            EXPECT_NE(printed.find(" .NE. SYSTEM SAMPLE : "), std::string::npos);
        } else {
            EXPECT_TRUE(MessageRecorder::shown().empty());
        }
    }
}

TEST(WIN, PrefixesTheLineByMode)
{
    testing::internal::CaptureStdout();
    WIN("zero", 0);
    WIN("below", -3);
    WIN("above", 2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "+zero\n&below\n above\n");
}

TEST(RationalSpline, PassesThroughItsNodesAndReproducesAStraightLine)
{
    const std::vector<float> x{0.0f, 0.3f, 1.0f, 1.2f, 2.5f, 4.0f};
    for (float tension : {0.0f, 20.0f}) {
        SCOPED_TRACE(tension);
        const Spline wavy(x, {1.0f, -2.0f, 0.5f, 3.0f, 2.0f, -1.0f}, tension);
        for (std::size_t i = 0; i < x.size(); ++i) EXPECT_NEAR(wavy(x[i]), wavy.y[i], 1e-5) << x[i];

        std::vector<float> line;
        for (float xi : x) line.push_back(3.0f - 2.0f * xi);
        const Spline straight(x, line, tension);
        for (float xv = 0.0f; xv <= 4.0f; xv += 0.05f) EXPECT_NEAR(straight(xv), 3.0f - 2.0f * xv, 1e-5) << xv;
        // Beyond the nodes it holds the end values.
        EXPECT_EQ(straight(-1.0f), straight(0.0f));
        EXPECT_EQ(straight(9.0f), straight(4.0f));
    }
    // Without tension it is the cubic spline: exact for a cubic with exact end derivatives.
    std::vector<float> cubic;
    for (float xi : x) cubic.push_back(xi * xi * xi);
    Spline s(x, cubic, 0.0f);
    s.y1.front() = 0.0f;
    s.y1.back() = 48.0f;
    RASPL1(6, s.x, s.y, s.p, s.q, s.y1, s.alpha, s.beta, s.gamma, s.delta);
    for (float xv : {0.1f, 0.7f, 1.9f, 3.3f}) EXPECT_NEAR(s(xv), xv * xv * xv, 1e-4) << xv;
}

TEST_F(CurvconTest, IdentityResponseReturnsTheCurveUnchanged)
{
    storeCurve(21);  // 1 ms to 100 ms
    const EngineCurveBlock before = engineCurveBlock();
    const float response[] = {1.0f};
    ASSERT_TRUE(SETSYSRESP(response, 1.0e-4f));
    CURVCON(1024);
    EXPECT_TRUE(MessageRecorder::shown().empty());
    const EngineCurveBlock& after = engineCurveBlock();
    // The work array ends at 820 steps of 0.1 ms: the samples after 82 ms are cut.
    ASSERT_EQ(after.SampleCount, 20);
    for (int i = 0; i < after.SampleCount; ++i)
        EXPECT_NEAR(after.Values[static_cast<std::size_t>(i)] / before.Values[static_cast<std::size_t>(i)], 1.0f, 3e-4)
            << "t = " << after.Times[static_cast<std::size_t>(i)];
}

TEST_F(CurvconTest, ResponseDelaysTheCurve)
{
    storeCurve(21);
    const EngineCurveBlock before = engineCurveBlock();
    // A delay of 20 steps (2 ms), as a response whose last sample carries it all.
    std::vector<float> response(21, 0.0f);
    response.back() = 1.0f;
    ASSERT_TRUE(SETSYSRESP(response, 1.0e-4f));
    CURVCON(1024);
    const EngineCurveBlock& after = engineCurveBlock();
    // Between its nodes the taut spline through ten samples per decade is good to below 1E-2.
    for (int i = 10; i < after.SampleCount; ++i) {
        const double t = after.Times[static_cast<std::size_t>(i)] - 2.0e-3;
        EXPECT_NEAR(after.Values[static_cast<std::size_t>(i)] * (1.0 + t / 0.01), 1.0, 1e-2) << "t = " << t;
    }
    EXPECT_GT(after.Values[10], before.Values[10]);  // later on a decaying curve: larger
}

TEST_F(CurvconTest, RefusesWithoutChangingTheCurve)
{
    struct Case { const char* what; int nw; bool loaded; const char* message; } cases[] = {
        {"work array too long", 1025, true, "Error in CURVCON. Change array length."},
        {"work array too short", 204, true, "Error in CURVCON. Change array length."},
        {"no response", 1024, false, "No system response is loaded: the curve is not convolved"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MessageRecorder::clear();
        systemResponseBlock() = SystemResponseBlock{};
        const float response[] = {0.0f, 1.0f};
        if (c.loaded) {
            ASSERT_TRUE(SETSYSRESP(response, 1.0e-4f));
        }
        storeCurve(21);
        const EngineCurveBlock before = engineCurveBlock();
        testing::internal::CaptureStdout();
        CURVCON(c.nw);
        testing::internal::GetCapturedStdout();
        ASSERT_EQ(MessageRecorder::shown().size(), 1u);
        EXPECT_EQ(MessageRecorder::shown()[0], c.message);
        EXPECT_EQ(engineCurveBlock().SampleCount, before.SampleCount);
        EXPECT_EQ(engineCurveBlock().Values, before.Values);
    }
    EXPECT_FALSE(SETSYSRESP(std::vector<float>(1025, 1.0f), 1.0e-4f));
    const float one[] = {1.0f};
    EXPECT_FALSE(SETSYSRESP(one, 0.0f));
}

TEST(CURVNORM, ScalesByMomentAndReceiverOrToApparentResistivity)
{
    EngineBlock& engine = engineBlock();
    engine.Offset = 1000.0f;
    engine.Angle = 30.0f / 57.29578f;
    engine.LayerCount = 2;
    engine.Parameters = {100.0f, 10.0f, 250.0f};
    struct Case { int component, mode; double factor; } cases[] = {
        {kFieldHz, 1, 20.0 * 500.0 * 1.0e4},
        {kFieldHz, 2, 2.0 * std::numbers::pi * 1.0e12 / (3.0 * 0.5)},
        {kFieldEx, 1, 20.0 * 500.0 * 50.0},
        {kFieldEy, 2, 20.0 * 500.0},
    };
    for (const auto& c : cases) {
        engine.FieldComponent = c.component;
        engine.NormalisationMode = c.mode;
        engine.TimeAxisMode = 1;
        storeCurve(5);
        const EngineCurveBlock before = engineCurveBlock();
        CURVNORM(500.0f, 20.0f, 1.0e4f, 50.0f);
        for (int i = 0; i < 5; ++i)
            EXPECT_NEAR(engineCurveBlock().Values[static_cast<std::size_t>(i)] / (c.factor * before.Values[static_cast<std::size_t>(i)]), 1.0, 1e-6)
                << "component " << c.component << ", mode " << c.mode;
        EXPECT_EQ(engineCurveBlock().Times, before.Times);
    }
    // Normalised time: sqrt(2 pi 10^7 t rho_1) / h_1.
    engine.FieldComponent = kFieldHz;
    engine.NormalisationMode = 1;
    engine.TimeAxisMode = 2;
    storeCurve(5);
    const EngineCurveBlock before = engineCurveBlock();
    CURVNORM(1.0f, 1.0f, 1.0f, 1.0f);
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(engineCurveBlock().Times[static_cast<std::size_t>(i)], std::sqrt(62831852.0 * before.Times[static_cast<std::size_t>(i)] * 100.0) / 250.0, 1e-3);
    engine = EngineBlock{};
}
