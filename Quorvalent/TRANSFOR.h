// Digital-filter transforms (platform-free): the Hankel transform over the horizontal wavenumber,
// summed by an outward walk over its filter with a kernel cache, and the sine transform from
// angular frequency to time, a lagged convolution of a long filter with the frequency kernels on
// one logarithmic grid.
#pragma once

#include <array>
#include <span>

#include "Quorvalent/CURVES.h"
#include "toolkit/foundation/CoreTypes.h"

inline constexpr int kHankelLength = 100;
inline constexpr int kSineLength = 201;
// The sine filter's own time points run this many steps beyond the first and the last sample on
// each side, so that the spline through them is free of its end conditions at the samples.
inline constexpr int kSplineMargin = 4;
// Filter time points of the longest curve: 299 tenths of a decade at the filter's spacing of
// log10(1.1491241) = 0.0603839 decades, plus the margins.
inline constexpr int kMaxFilterTimes = 496 + 1 + 2 * kSplineMargin;
// Time point m and filter index k meet at frequency index k - m + (time points - 1).
inline constexpr int kFrequencyCapacity = kMaxFilterTimes + kSineLength - 1;

// 100-point J1 and J0 filters, ten abscissae per decade: coefficient i belongs to
// lambda r = 10^(0.1 (i - 60)). The coefficients are stored multiplied by 1.0E20, so that the
// integral of K(lambda) J(lambda r) is 1.0E-20 (sum over i of K(x_i / r) c_i) / r.
struct HankelFilterTable {
    REAL Ratio = 1.2589254f;
    INTEGER Shift = 60;
    INTEGER Length = kHankelLength;
    std::array<REAL, kHankelLength> J1{};
    std::array<REAL, kHankelLength> J0{};
};

// 201-point sine and cosine filter: the integral of F(omega) sin(omega t) over omega is
// (1 / t) (sum over k of F(Base_k / t) Sine_k), and the cosine integral alike with Cosine_k. The
// abscissae grow by Ratio from one to the next.
struct SineFilterTable {
    INTEGER Length = kSineLength;
    double Ratio = 1.1491241;
    std::array<double, kSineLength> Base{};
    std::array<double, kSineLength> Sine{};
    std::array<double, kSineLength> Cosine{};
};

const HankelFilterTable& hankelFilterTable();
const SineFilterTable& sineFilterTable();

// Kernel columns of the frequency cache and the abscissa kernels.
enum TransformSelector : INTEGER { kSelectHz = 1, kSelectEx = 2, kSelectEy = 3 };

// The kernel caches of both transforms. Indices are 1-based as the walk counts them; the arrays
// are indexed with index - 1. Grids and kernels are kept in double precision: the sums cancel
// strongly at late times.
struct TransformCacheBlock {
    INTEGER FilterTimeCount = 0;                                 // time points of the sine filter
    std::array<double, kMaxFilterTimes> FilterTimes{};           // tau_m, s, at the filter's spacing
    std::array<double, kMaxFilterTimes> FilterValues{};          // the last transform at tau_m
    REAL FirstSampleTime = 0.0f;                                 // t1 of the curve's samples, s
    INTEGER SampleCount = 0;                                     // samples of the curve
    INTEGER Selector = 0;                                        // kernel column of the last curve
    INTEGER FrequencyCount = 0;                                  // frequencies of the grid
    std::array<double, kFrequencyCapacity> FrequencyGrid{};      // omega_i, rad/s, rising
    std::array<LOGICAL, kFrequencyCapacity> FrequencyComputed{};
    INTEGER FrequencyIndex = 0;                                  // whose kernels RWFIELDS writes
    std::array<std::array<double, 3>, kFrequencyCapacity> FrequencyKernels{};  // Hz, Ex, Ey
    double OmegaMu0 = 0.0;                                       // of the frequency being computed
    std::array<double, kHankelLength> AbscissaGrid{};            // lambda_i, 1/m
    std::array<LOGICAL, kHankelLength> AbscissaComputed{};
    INTEGER AbscissaIndex = 0;                                   // whose kernels UWFIELDS writes
    INTEGER HankelStart = 0;
    INTEGER MinimumHalfWidth = 5;
    std::array<std::array<double, kHankelLength>, 5> AbscissaKernels{};  // A1 to A5
    double LastHankelTerm = 0.0;

    // Bookkeeping of the kernel work, for the benchmark and the tests: kernels computed since
    // the frequency grid was last rebuilt, and kernels computed a second time within one cache
    // lifetime (a walk that did that would waste the cache; it stays 0).
    INTEGER FrequencyKernelCount = 0;
    INTEGER AbscissaKernelCount = 0;
    INTEGER RepeatedKernelCount = 0;
    std::array<INTEGER, kFrequencyCapacity> FrequencyKernelCalls{};
    std::array<INTEGER, kHankelLength> AbscissaKernelCalls{};
};

TransformCacheBlock& transformCacheBlock();

// Sine transform of the frequency kernel column selector (1 Hz, 2 Ex, 3 Ey) onto the times
// t1 x 1.2589254^(j - 1), j = 1 to n: writes those times and v_j, which is 4 times the integral
// of K(omega) sin(omega t_j) / sqrt(omega). The transform is taken at the sine filter's own time
// points around the samples and carried to the samples by a cubic spline in log t. When newGrid
// is true the frequency grid is rebuilt for t1 and n, every frequency kernel forgotten, and
// newGrid set false. n is limited to the buffers and to kMaxCurveSamples.
void FTRANS(LOGICAL& newGrid, REAL t1, INTEGER n, std::span<REAL> times, std::span<REAL> v, INTEGER selector);

// r times the Hankel transform selected: 1 the J1 transform of A1 (Hz), 2 J1 of A3 plus J0 of
// A2 (Ex), 3 J1 of A5 plus J0 of A4 (Ey). When newAbscissae is true the abscissa grid is rebuilt
// for r, every abscissa kernel forgotten, and newAbscissae set false.
REAL HTRANS(LOGICAL& newAbscissae, REAL r, INTEGER selector);

namespace EngineInternal {
// HTRANS without rounding its result to REAL: the frequency kernels keep double precision.
double hankelTransform(LOGICAL& newAbscissae, REAL r, INTEGER selector);
// The first index the Hankel walk visits for the offset r, kept inside the filter for any r.
INTEGER hankelStartIndex(REAL r);
// The first filter index (0-based) of the sine filter that the convolution sums for the kernel
// column selector. Hz falls linearly with the frequency at low frequencies, so the filter's
// lowest abscissae add nothing to it; the electric fields keep a DC step there and use them all.
INTEGER sineFirstUsed(INTEGER selector);
// The switch-off Bz (T per unit moment, positive where the Hz curve is) still to decay at the n
// sample times of the Hz curve that FTRANS computed last: the integral of that curve from each
// sample to infinity, taken as the cosine transform of the same frequency kernels over omega.
// Returns false, writing nothing, when the cache holds no Hz curve of n samples.
bool switchOffField(INTEGER n, std::span<double> field);
}  // namespace EngineInternal
