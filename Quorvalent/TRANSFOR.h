// Digital-filter transforms (platform-free): the Hankel transform over the horizontal wavenumber
// and the sine transform from angular frequency to time, each summed by an outward walk over its
// filter with a kernel cache.
#pragma once

#include <array>
#include <span>

#include "Quorvalent/CURVES.h"
#include "toolkit/foundation/CoreTypes.h"

inline constexpr int kHankelLength = 100;
inline constexpr int kSineLength = 80;
// Sample j of a curve sums the frequencies j to j + 79, so the grid holds 79 more frequencies
// than the longest curve has samples.
inline constexpr int kFrequencyCapacity = kMaxCurveSamples + kSineLength - 1;

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

// 80-point sine filter (the Hankel filter of order 1/2) for omega t = 10^(0.1 (m - 40)),
// coefficients multiplied by 1.0E20: the integral of F(omega) sin(omega t) is
// sqrt(pi / (2 t)) 1.0E-20 (sum over m of h_m F(omega_m) sqrt(omega_m)).
struct SineFilterTable {
    INTEGER Length = kSineLength;
    INTEGER Shift = 40;
    REAL Ratio = 1.2589254f;
    REAL Pi = 3.1415927f;
    std::array<REAL, kSineLength> H{};
};

const HankelFilterTable& hankelFilterTable();
const SineFilterTable& sineFilterTable();

// Kernel columns of the frequency cache and the abscissa kernels.
enum TransformSelector : INTEGER { kSelectHz = 1, kSelectEx = 2, kSelectEy = 3 };

// The kernel caches of both transforms. Indices are 1-based as the walk counts them; the arrays
// are indexed with index - 1. Grids and kernels are kept in double precision: the sums cancel
// strongly at late times.
struct TransformCacheBlock {
    std::array<double, kFrequencyCapacity> FrequencyGrid{};      // omega_i, rad/s
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
// of K(omega) sin(omega t_j) / sqrt(omega). When newGrid is true the frequency grid is rebuilt
// for t1, every frequency kernel forgotten, and newGrid set false. n is limited to the buffers
// and to kMaxCurveSamples.
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
// The first frequency index the walk of sample j at time tj visits.
INTEGER sineStartIndex(INTEGER j, REAL tj);
}  // namespace EngineInternal
