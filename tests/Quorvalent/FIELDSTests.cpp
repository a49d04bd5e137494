// The complex tangent and the admittance recursion of the layered earth.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "Quorvalent/CURVES.h"
#include "Quorvalent/CalcLotem.h"
#include "Quorvalent/FIELDS.h"
#include "Quorvalent/TRANSFOR.h"

namespace {

std::complex<double> tanhAt(double magnitude, double degrees)
{
    const double a = degrees * std::numbers::pi / 180.0;
    ComplexReal out;
    CTANH(out, ComplexReal(static_cast<float>(magnitude * std::cos(a)), static_cast<float>(magnitude * std::sin(a))));
    return {out.real(), out.imag()};
}

// The model the recursion reads, at omega mu0 = 1.0E-3 (a few hundred hertz).
struct Model {
    Model(std::vector<float> rho, std::vector<float> h)
    {
        EngineBlock& engine = engineBlock();
        engine.Resistivities = rho;
        engine.Thicknesses = h;
        engine.Thicknesses.push_back(0.0f);
        kernelSettingsBlock().LayerCount = static_cast<INTEGER>(rho.size());
        transformCacheBlock().OmegaMu0 = 1.0e-3;
    }
    ~Model()
    {
        engineBlock().Resistivities.clear();
        engineBlock().Thicknesses.clear();
    }
    // Y and the unnormalised TM impedance rho_1 Z.
    std::pair<ComplexReal, ComplexReal> surface(float lambda) const
    {
        ComplexReal Y, Z;
        ADMITT(lambda, Y, Z, kTrue);
        return {Y, Z * engineBlock().Resistivities[0]};
    }
};

void expectClose(ComplexReal a, ComplexReal b, double tolerance)
{
    EXPECT_LE(std::abs(std::complex<double>(a) - std::complex<double>(b)), tolerance * std::abs(std::complex<double>(b)));
}

}  // namespace

TEST(CTANH, MatchesTheHyperbolicTangentAndIsContinuousAtItsBranches)
{
    EXPECT_NEAR(tanhAt(5.0, 0.0).real(), 0.99990920, 1e-7);
    EXPECT_EQ(tanhAt(0.0, 0.0), std::complex<double>(0.0, 0.0));
    // The recursion passes arguments whose real part is at least the imaginary part. The
    // one-term expansion above |z| = 4 is good to 2 exp(-4 Re z).
    struct Case { double degrees, jump; } cases[] = {{0.0, 1e-6}, {30.0, 2e-6}, {45.0, 3e-5}};
    for (const auto& c : cases) {
        for (double boundary : {0.1, 4.0}) {
            const auto below = tanhAt(boundary * (1.0 - 1e-6), c.degrees), above = tanhAt(boundary * (1.0 + 1e-6), c.degrees);
            EXPECT_LE(std::abs(below - above), c.jump) << c.degrees << " degrees at |z| = " << boundary;
        }
        for (double magnitude : {0.01, 0.05, 0.3, 1.0, 2.5, 3.9, 6.0, 20.0}) {
            const double a = c.degrees * std::numbers::pi / 180.0;
            const std::complex<float> z(static_cast<float>(magnitude * std::cos(a)), static_cast<float>(magnitude * std::sin(a)));
            const auto exact = std::tanh(std::complex<double>(z));
            EXPECT_LE(std::abs(tanhAt(magnitude, c.degrees) - exact), std::max(c.jump, 1e-6) * std::abs(exact))
                << c.degrees << " degrees, |z| = " << magnitude;
        }
    }
}

TEST(ADMITT, HalfSpaceGivesTheWavenumberForBothModes)
{
    Model model({100.0f}, {});
    for (float lambda : {1.0e-5f, 1.0e-3f, 0.1f}) {
        const std::complex<double> u = std::sqrt(std::complex<double>(double(lambda) * lambda, 1.0e-3 / 100.0));
        ComplexReal Y, Z;
        ADMITT(lambda, Y, Z, kTrue);
        expectClose(Y, ComplexReal(u), 1e-6);
        expectClose(Z, ComplexReal(u), 1e-6);
    }
}

TEST(ADMITT, AbsentAndSplitLayersLeaveTheSurfaceValuesUnchanged)
{
    // Three layers; the same earth with a zero-thickness layer of another resistivity between
    // the second and the basement, and with the second layer split in two.
    std::vector<std::pair<ComplexReal, ComplexReal>> expected;
    const float lambdas[] = {1.0e-5f, 3.0e-4f, 1.0e-2f};
    {
        Model model({10.0f, 100.0f, 3.0f}, {150.0f, 400.0f});
        for (float lambda : lambdas) expected.push_back(model.surface(lambda));
    }
    struct Case { const char* what; std::vector<float> rho, h; } cases[] = {
        {"zero-thickness layer", {10.0f, 100.0f, 37.0f, 3.0f}, {150.0f, 400.0f, 0.0f}},
        {"split layer", {10.0f, 100.0f, 100.0f, 3.0f}, {150.0f, 250.0f, 150.0f}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Model model(c.rho, c.h);
        for (std::size_t k = 0; k < std::size(lambdas); ++k) {
            const auto [Y, Z] = model.surface(lambdas[k]);
            expectClose(Y, expected[k].first, 1e-5);
            expectClose(Z, expected[k].second, 1e-5);
        }
    }
}
