// The filter tables against transforms known in closed form, the walk's start indices, and the
// kernel caches.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Quorvalent/CURVES.h"
#include "Quorvalent/CalcLotem.h"
#include "Quorvalent/TRANSFOR.h"

namespace {

// The filter summed in full: sum over i of c_i K(x_i) with x_i = ratio^(i - shift).
template <class Kernel, std::size_t N>
double fullSum(const std::array<REAL, N>& coefficients, int shift, Kernel kernel)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < N; ++i)
        sum += double(coefficients[i]) * kernel(std::pow(double(hankelFilterTable().Ratio), double(int(i) + 1 - shift)));
    return sum * 1.0e-20;
}

}  // namespace

TEST(FilterTables, HankelFiltersTransformTheExponentialExactly)
{
    const HankelFilterTable& table = hankelFilterTable();
    ASSERT_EQ(table.Length, 100);
    ASSERT_EQ(table.Shift, 60);
    // The integrals of exp(-lambda) J0(lambda) and exp(-lambda) J1(lambda) are 1 / sqrt(2) and
    // 1 - 1 / sqrt(2); the filters carry their own small design error.
    const auto decay = [](double x) { return std::exp(-x); };
    EXPECT_NEAR(fullSum(table.J0, table.Shift, decay), 0.70710565, 1e-7);
    EXPECT_NEAR(fullSum(table.J1, table.Shift, decay), 0.29289322, 1e-7);
}

TEST(FilterTables, SineFilterTransformsALorentzian)
{
    const SineFilterTable& table = sineFilterTable();
    ASSERT_EQ(table.Length, 80);
    // The sine transform of w / (w^2 + 1) at t = 1 is pi exp(-1) / 2.
    const double sum = fullSum(table.H, table.Shift, [](double w) { return w / (w * w + 1.0) * std::sqrt(w); });
    EXPECT_NEAR(std::sqrt(std::numbers::pi / 2.0) * sum, 0.5778637, 1e-6);
    EXPECT_NEAR(std::numbers::pi * std::exp(-1.0) / 2.0, 0.5778637, 1e-7);
}

TEST(Walk, StartIndicesFollowTheOffsetAndTimeAndStayInsideTheFilters)
{
    struct HankelCase { float r; int start; } hankel[] = {
        {1000.0f, 96}, {3000.0f, 91}, {500.0f, 99},
        // Nearer than about 316 m the walk would start beyond the table.
        {300.0f, 95}, {100.0f, 95}, {1.0f, 95}, {1.0e15f, 6},
    };
    for (const auto& c : hankel) EXPECT_EQ(EngineInternal::hankelStartIndex(c.r), c.start) << "r = " << c.r;

    struct SineCase { int j; float t; int start; } sine[] = {
        {1, 0.001f, 75},    // c = 80 lowered to j + 74
        {41, 10.0f, 46},    // c = 40 raised to j + 5
        {21, 0.1f, 60},     // c = 60 inside the bounds
    };
    for (const auto& c : sine) EXPECT_EQ(EngineInternal::sineStartIndex(c.j, c.t), c.start) << "j = " << c.j;
}
