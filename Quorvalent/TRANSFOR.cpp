#include "Quorvalent/TRANSFOR.h"

#include <algorithm>
#include <cmath>

#include "Quorvalent/FIELDS.h"

namespace {

// The coefficient tables, as the filters were designed (multiplied by 1.0E20).
constexpr HankelFilterTable kHankelFilter{
    1.2589254f, 60, kHankelLength,
    {   // J1
    1.8490956E+07f, 2.8532132E+07f, 4.644718E+07f, 7.166948E+07f, 1.1667004E+08f,
    1.80025584E+08f, 2.93061888E+08f, 4.5220384E+08f, 7.36138176E+08f, 1.13588467E+09f,
    1.84909555E+09f, 2.85321318E+09f, 4.64471808E+09f, 7.16694784E+09f, 1.16670044E+10f,
    1.8002559E+10f, 2.93061898E+10f, 4.52203848E+10f, 7.36138199E+10f, 1.1358847E+11f,
    1.84909562E+11f, 2.85321331E+11f, 4.64471818E+11f, 7.16694749E+11f, 1.16670045E+12f,
    1.80025583E+12f, 2.93061893E+12f, 4.522038E+12f, 7.36138153E+12f, 1.13588453E+13f,
    1.8490952E+13f, 2.85321242E+13f, 4.64471563E+13f, 7.1669423E+13f, 1.16669901E+14f,
    1.80025232E+14f, 2.93060987E+14f, 4.52201537E+14f, 7.36132497E+14f, 1.13587027E+15f,
    1.84905939E+15f, 2.85312235E+15f, 4.64449012E+15f, 7.16637466E+15f, 1.1665565E+16f,
    1.79989441E+16f, 2.92971101E+16f, 4.51975772E+16f, 7.35565462E+16f, 1.13444612E+17f,
    1.84548302E+17f, 2.84414263E+17f, 4.62194728E+17f, 7.10980571E+17f, 1.15236914E+18f,
    1.7643448E+18f, 2.84076229E+18f, 4.2977059E+18f, 6.8033255E+18f, 9.97845945E+18f,
    1.51070545E+19f, 2.03540581E+19f, 2.71235379E+19f, 2.76073868E+19f, 2.16691972E+19f,
    -7.83723752E+18f, -3.40675629E+19f, -3.60693668E+19f, 5.13024517E+19f, -5.9472474E+18f,
    -1.95117112E+19f, 1.99235597E+19f, -1.38521555E+19f, 8.79320845E+18f, -5.50697161E+18f,
    3.45637857E+18f, -2.17527174E+18f, 1.3710029E+18f, -8.64656425E+17f, 5.45462771E+17f,
    -3.44138859E+17f, 2.1713068E+17f, -1.36998625E+17f, 8.64398933E+16f, -5.45397882E+16f,
    3.44122551E+16f, -2.17126596E+16f, 1.36997592E+16f, -8.64396367E+15f, 5.45397227E+15f,
    -3.4412239E+15f, 2.17126542E+15f, -1.36997592E+15f, 8.64396327E+14f, -5.45397227E+14f,
    3.44122376E+14f, -2.17126535E+14f, 1.36997587E+14f, -8.6439631E+13f, 5.45397219E+13f
    },
    {   // J0
    2.8987829E+13f, 3.6493515E+13f, 4.59426109E+13f, 5.78383239E+13f, 7.28141325E+13f,
    9.16675625E+13f, 1.15402626E+14f, 1.45283292E+14f, 1.8290083E+14f, 2.30258515E+14f,
    2.89878282E+14f, 3.6493515E+14f, 4.59426109E+14f, 5.78383247E+14f, 7.28141308E+14f,
    9.16675675E+14f, 1.15402617E+15f, 1.45283309E+15f, 1.8290082E+15f, 2.30258539E+15f,
    2.89878268E+15f, 3.64935184E+15f, 4.59426048E+15f, 5.78383328E+15f, 7.2814116E+15f,
    9.16675836E+15f, 1.15402571E+16f, 1.45283357E+16f, 1.82900688E+16f, 2.3025863E+16f,
    2.89877887E+16f, 3.64935383E+16f, 4.59424964E+16f, 5.78383446E+16f, 7.28137746E+16f,
    9.1667487E+16f, 1.15401451E+17f, 1.4528256E+17f, 1.82896819E+17f, 2.30254537E+17f,
    2.89863976E+17f, 3.64916708E+17f, 4.59373312E+17f, 5.78303259E+17f, 7.279415E+17f,
    9.16340687E+17f, 1.15325686E+18f, 1.45145829E+18f, 1.82601201E+18f, 2.29701036E+18f,
    2.88702616E+18f, 3.62691805E+18f, 4.54794018E+18f, 5.6940821E+18f, 7.09873074E+18f,
    8.80995402E+18f, 1.08223885E+19f, 1.31250484E+19f, 1.55055714E+19f, 1.76371506E+19f,
    1.85627733E+19f, 1.69778042E+19f, 1.03405242E+19f, -3.02583236E+18f, -2.27574388E+19f,
    -3.62173215E+19f, -2.05500438E+19f, 3.37394863E+19f, 3.17689899E+19f, -5.13762157E+19f,
    3.09130267E+19f, -1.26757594E+19f, 4.61967892E+18f, -1.80968674E+18f, 8.35426046E+17f,
    -4.47368295E+17f, 2.61974777E+17f, -1.60171356E+17f, 9.97717896E+16f, -6.2627581E+16f,
    3.94338815E+16f, -2.48606344E+16f, 1.56808601E+16f, -9.8926626E+15f, 6.24152378E+15f,
    -3.9380539E+15f, 2.48472367E+15f, -1.5677495E+15f, 9.8918177E+14f, -6.24131159E+14f,
    3.93800048E+14f, -2.48471022E+14f, 1.56774611E+14f, -9.8918088E+13f, 6.24130932E+13f,
    -3.93800015E+13f, 2.48471009E+13f, -1.56774601E+13f, 9.8918088E+12f, -6.24130943E+12f
    },
};

constexpr SineFilterTable kSineFilter{
    kSineLength, 40, 1.2589254f, 3.1415927f,
    {
    2.5952623E+13f, 3.6654484E+13f, 5.17830785E+13f, 7.31340656E+13f, 1.03322804E+14f,
    1.45918494E+14f, 2.06161064E+14f, 2.91137781E+14f, 4.11357875E+14f, 5.80876409E+14f,
    8.20798047E+14f, 1.15895089E+15f, 1.63778565E+15f, 2.3122845E+15f, 3.26800652E+15f,
    4.61329309E+15f, 6.52101073E+15f, 9.20390554E+15f, 1.30122938E+16f, 1.83620439E+16f,
    2.59656629E+16f, 3.66311962E+16f, 5.18141204E+16f, 7.30717303E+16f, 1.03392181E+17f,
    1.45742706E+17f, 2.06292296E+17f, 2.90599927E+17f, 4.11471886E+17f, 5.79042749E+17f,
    8.20004708E+17f, 1.15192933E+18f, 1.6303913E+18f, 2.28257762E+18f, 3.22249211E+18f,
    4.47864319E+18f, 6.27329603E+18f, 8.57059088E+18f, 1.17418309E+19f, 1.5363266E+19f,
    1.97717963E+19f, 2.28849843E+19f, 2.40311043E+19f, 1.65409221E+19f, 2.84701476E+17f,
    -2.88016059E+19f, -3.69097389E+19f, -2.50107504E+18f, 5.71811269E+19f, -3.92261592E+19f,
    7.63280037E+18f, 5.16234013E+18f, -6.48012076E+18f, 4.89047159E+18f, -3.26936319E+18f,
    2.10539847E+18f, -1.33862545E+18f, 8.47124712E+17f, -5.3512396E+17f, 3.37796635E+17f,
    -2.13174465E+17f, 1.34513832E+17f, -8.48749619E+16f, 5.35531011E+16f, -3.37898778E+16f,
    2.13200115E+16f, -1.34520276E+16f, 8.487658E+15f, -5.3553507E+15f, 3.37899814E+15f,
    -2.13200365E+15f, 1.34520335E+15f, -8.48765934E+14f, 5.3553511E+14f, -3.37899808E+14f,
    2.13200365E+14f, -1.34520339E+14f, 8.48765984E+13f, -5.3553511E+13f, 3.3789982E+13f
    },
};

// 8 pi as a REAL: the sine filter's sqrt(pi / (2 t)) times the kernels' factor 4.
constexpr double kEightPi = 25.132742;
// Ten log10(x) is ln(x) / 0.2302585; the constant lies a little below ln(10) / 10, so that exact
// decades do not truncate to the index below.
constexpr double kTenthOfLn10 = 0.2302585;

// Fortran's INT of a value that may be far outside the index range: clamp first, then truncate.
INTEGER truncatedIndex(double x)
{
    if (!(x == x)) return 0;
    return static_cast<INTEGER>(std::trunc(std::clamp(x, -1.0e6, 1.0e6)));
}

// The outward walk over the filter indices low to high from the start index c: c, c - 1, c + 1,
// c - 2, c + 2 ... Each side stays open until its terms have become negligible (more than
// halfWidth from c, each term below tolerance times the sum, and then below tolerance times the
// tail of such terms) or the walk reaches that end of the filter; then the walk goes on along
// the other side alone. term(i) returns the term of index i; each index is visited once.
template <class Term>
double outwardWalk(int c, int low, int high, int halfWidth, double tolerance, Term&& term)
{
    double sum = term(c);
    bool lowOpen = c > low, highOpen = c < high;
    double lowTail = 0.0, highTail = 0.0;
    int below = c, above = c;
    const auto settle = [&](double value, int distance, bool& open, double& tail) {
        if (distance <= halfWidth) return;
        const double magnitude = std::fabs(value);
        if (magnitude <= std::fabs(tolerance * sum)) {
            tail += magnitude;
            if (magnitude <= std::fabs(tolerance * tail)) open = false;
        }
    };
    while (lowOpen || highOpen) {
        if (lowOpen) {
            --below;
            const double value = term(below);
            sum += value;
            settle(value, c - below, lowOpen, lowTail);
            if (below <= low) lowOpen = false;
        }
        if (highOpen) {
            ++above;
            const double value = term(above);
            sum += value;
            settle(value, above - c, highOpen, highTail);
            if (above >= high) highOpen = false;
        }
    }
    return sum;
}

}  // namespace

const HankelFilterTable& hankelFilterTable() { return kHankelFilter; }
const SineFilterTable& sineFilterTable() { return kSineFilter; }

TransformCacheBlock& transformCacheBlock()
{
    static TransformCacheBlock block;
    return block;
}

namespace EngineInternal {

INTEGER hankelStartIndex(REAL r)
{
    const INTEGER c = truncatedIndex(std::log(1.0e4 / double(r)) / kTenthOfLn10 + 60 + 26);
    // Offsets below about 316 m would start the walk beyond the last abscissa (and offsets
    // beyond 10^12 m before the first): start near that end instead, leaving room for the
    // minimum half-width on both sides.
    if (c > kHankelLength) return kHankelLength - 5;
    if (c < 1) return 6;
    return c;
}

INTEGER sineStartIndex(INTEGER j, REAL tj)
{
    const INTEGER c = truncatedIndex(std::log(1.0e4 / double(tj)) / kTenthOfLn10 + 40 - 30);
    return std::max(j + 5, std::min(j + kSineLength - 6, c));
}

double hankelTransform(LOGICAL& newAbscissae, REAL r, INTEGER selector)
{
    TransformCacheBlock& cache = transformCacheBlock();
    const HankelFilterTable& filter = kHankelFilter;
    if (isTrue(newAbscissae)) {
        cache.MinimumHalfWidth = 5;
        cache.HankelStart = hankelStartIndex(r);
        const double ratio = filter.Ratio;
        double lambda = std::pow(ratio, 1 - filter.Shift) / double(r);
        for (int i = 0; i < kHankelLength; ++i) {
            cache.AbscissaGrid[static_cast<std::size_t>(i)] = lambda;
            lambda *= ratio;
        }
        cache.AbscissaComputed.fill(kFalse);
        cache.AbscissaKernelCalls.fill(0);
        newAbscissae = kFalse;
    }
    if (selector < kSelectHz || selector > kSelectEy) return 0.0;

    const auto& A = cache.AbscissaKernels;
    const auto term = [&](int i) {
        const auto k = static_cast<std::size_t>(i - 1);
        cache.AbscissaIndex = i;
        if (!isTrue(cache.AbscissaComputed[k])) {
            UWFIELDS(static_cast<REAL>(cache.AbscissaGrid[k]));
            cache.AbscissaComputed[k] = kTrue;
        }
        double value;
        if (selector == kSelectHz) value = double(filter.J1[k]) * A[0][k];
        else if (selector == kSelectEx) value = double(filter.J1[k]) * A[2][k] + double(filter.J0[k]) * A[1][k];
        else value = double(filter.J1[k]) * A[4][k] + double(filter.J0[k]) * A[3][k];
        cache.LastHankelTerm = value;
        return value;
    };
    const double sum = outwardWalk(cache.HankelStart, 1, kHankelLength, cache.MinimumHalfWidth,
                                   kernelSettingsBlock().HankelTolerance, term);
    return 1.0e-20 * sum;
}

}  // namespace EngineInternal

REAL HTRANS(LOGICAL& newAbscissae, REAL r, INTEGER selector)
{
    return static_cast<REAL>(EngineInternal::hankelTransform(newAbscissae, r, selector));
}

void FTRANS(LOGICAL& newGrid, REAL t1, INTEGER n, std::span<REAL> times, std::span<REAL> v, INTEGER selector)
{
    TransformCacheBlock& cache = transformCacheBlock();
    const SineFilterTable& filter = kSineFilter;
    const std::size_t capacity = std::min({times.size(), v.size(), std::size_t(kMaxCurveSamples)});
    const int count = static_cast<int>(std::clamp<std::size_t>(static_cast<std::size_t>(std::max(n, 0)), 0, capacity));
    const double ratio = filter.Ratio;

    if (isTrue(newGrid)) {
        double omega = std::pow(ratio, 40) / double(t1);
        for (std::size_t i = 0; i < kFrequencyCapacity; ++i) {
            cache.FrequencyGrid[i] = omega;
            omega /= ratio;
        }
        cache.FrequencyComputed.fill(kFalse);
        cache.FrequencyKernelCalls.fill(0);
        cache.FrequencyKernelCount = 0;
        cache.AbscissaKernelCount = 0;
        cache.RepeatedKernelCount = 0;
        for (int j = 0; j < count; ++j)
            times[static_cast<std::size_t>(j)] = static_cast<REAL>(double(t1) * std::pow(ratio, double(j)));
        newGrid = kFalse;
    }
    if (selector < kSelectHz || selector > kSelectEy) return;
    const auto column = static_cast<std::size_t>(selector - 1);
    const double tolerance = kernelSettingsBlock().SineTolerance;

    for (int j = 1; j <= count; ++j) {
        const REAL tj = times[static_cast<std::size_t>(j - 1)];
        const auto term = [&](int i) {
            const auto k = static_cast<std::size_t>(i - 1);
            cache.FrequencyIndex = i;
            if (!isTrue(cache.FrequencyComputed[k])) {
                RWFIELDS(static_cast<REAL>(cache.FrequencyGrid[k]));
                cache.FrequencyComputed[k] = kTrue;
            }
            return cache.FrequencyKernels[k][column] * double(filter.H[static_cast<std::size_t>(j - i + kSineLength - 1)]);
        };
        const double sum = outwardWalk(EngineInternal::sineStartIndex(j, tj), j, j + kSineLength - 1, 5, tolerance, term);
        v[static_cast<std::size_t>(j - 1)] = static_cast<REAL>(std::sqrt(kEightPi / double(tj)) * sum * 1.0e-20);
    }
}
