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

TEST(FilterTables, SineAndCosineFiltersTransformALorentzian)
{
    const SineFilterTable& table = sineFilterTable();
    ASSERT_EQ(table.Length, 201);
    // The sine transform of w / (w^2 + 1) and the cosine transform of 1 / (w^2 + 1) are both
    // pi exp(-t) / 2; the filter's abscissae run at its spacing factor throughout.
    for (double t : {1.0, 0.5, 3.0}) {
        double sine = 0.0, cosine = 0.0;
        for (std::size_t k = 0; k < table.Base.size(); ++k) {
            const double w = table.Base[k] / t;
            sine += w / (w * w + 1.0) * table.Sine[k];
            cosine += 1.0 / (w * w + 1.0) * table.Cosine[k];
            if (k > 0) {
                EXPECT_NEAR(table.Base[k] / table.Base[k - 1], table.Ratio, 1e-9);
            }
        }
        const double exact = std::numbers::pi * std::exp(-t) / 2.0;
        EXPECT_NEAR(sine / t / exact, 1.0, 1e-9) << "t = " << t;
        EXPECT_NEAR(cosine / t / exact, 1.0, 1e-9) << "t = " << t;
        // The published filter's own check value, to its last digits: the table is transcribed
        // whole.
        if (t == 1.0) {
            EXPECT_NEAR(sine, 0.5778636748954573, 1e-15);
        }
    }
}

TEST(Walk, HankelStartIndexFollowsTheOffsetAndStaysInsideTheFilter)
{
    struct HankelCase { float r; int start; } hankel[] = {
        {1000.0f, 96}, {3000.0f, 91}, {500.0f, 99},
        // Nearer than about 316 m the walk would start beyond the table.
        {300.0f, 95}, {100.0f, 95}, {1.0f, 95}, {1.0e15f, 6},
    };
    for (const auto& c : hankel) EXPECT_EQ(EngineInternal::hankelStartIndex(c.r), c.start) << "r = " << c.r;

}
