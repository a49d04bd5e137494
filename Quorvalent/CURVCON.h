// Curve operations on the engine's unit-moment curve (platform-free): convolution with a sampled
// system response through a rational spline resampling, and normalisation by the source and
// receiver or to apparent resistivity.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

// The convolution's work array holds at most this many samples; the curve on the uniform step
// starts at its index 204 (1-based), after 203 leading zeros into which the response reaches.
inline constexpr int kConvolutionCapacity = 1024;
inline constexpr int kConvolutionLead = 203;
// The rational spline's storage.
inline constexpr int kSplineCapacity = 300;

// The sampled system response (Length samples at Step seconds) and the work array.
struct SystemResponseBlock {
    std::array<REAL, kConvolutionCapacity> Response{};
    INTEGER Length = 0;
    REAL Step = 0.0f;
    std::array<REAL, kConvolutionCapacity> Work{};
};

// Tension parameters, end and node derivatives, the four coefficient arrays of the rational
// spline, and the uniform time axis with the values resampled on it.
struct SplineStorageBlock {
    std::array<REAL, kSplineCapacity> P{}, Q{}, Y1{};
    std::array<REAL, kSplineCapacity> Alpha{}, Beta{}, Gamma{}, Delta{};
    std::array<REAL, kSplineCapacity> UniformTimes{}, Resampled{};
};

SystemResponseBlock& systemResponseBlock();
SplineStorageBlock& splineStorageBlock();

// Stores a system response of response.size() samples at the step dt. Returns false, storing
// nothing, when it is empty or longer than the work array, or dt is not above 0.
bool SETSYSRESP(std::span<const REAL> response, REAL dt);

// Convolves the EngineCurveBlock's curve with the stored system response, using a work array of
// nw samples (205 to 1024). May reduce the sample count where the work array ends. Refuses with
// a message, leaving the curve unchanged, when nw is out of range or no response is stored.
void CURVCON(INTEGER nw);

// The convolution: the curve (v at times t, n samples, in and out) resampled on the step dt into
// work from index 204, convolved with the response sys of m samples, and sampled back.
void SYSCONL(std::span<REAL> work, INTEGER nw, REAL dt, std::span<const REAL> sys, INTEGER m, std::span<REAL> v,
             std::span<const REAL> t, INTEGER& n);

// Coefficients of the rational spline through (x_i, y_i) with tension p_i, q_i on each interval;
// y1 holds the end derivatives y1_1 and y1_n on entry and every node's derivative on return.
void RASPL1(INTEGER n, std::span<const REAL> x, std::span<const REAL> y, std::span<const REAL> p, std::span<const REAL> q,
            std::span<REAL> y1, std::span<REAL> alpha, std::span<REAL> beta, std::span<REAL> gamma, std::span<REAL> delta);

// out := the spline's value at xv; beyond the first or last node, the value at that node.
void YSPLINE(INTEGER n, std::span<const REAL> x, REAL xv, std::span<const REAL> alpha, std::span<const REAL> beta,
             std::span<const REAL> gamma, std::span<const REAL> delta, REAL& out, std::span<const REAL> p,
             std::span<const REAL> q);

// T_i := (i - k) dt for i = 1 to n.
void TGEN(std::span<REAL> T, INTEGER k, REAL dt, INTEGER n);

// a(1..n) := the causal convolution of a with sys(1..m), in place, when the steps dta and dts
// are equal; otherwise a is unchanged and the mismatch is reported.
void CONV(std::span<REAL> a, INTEGER n, std::span<const REAL> sys, REAL dta, REAL dts, INTEGER m);

// Writes one line to the standard output: "+" before the text for mode 0, "&" below 0, " " above.
void WIN(std::string_view text, INTEGER mode);

// Normalises the EngineCurveBlock's curve by the source moment and the receiver (normalisation
// mode 1), or to early-time apparent resistivity; time-axis mode 2 normalises the times.
void CURVNORM(REAL TxLength, REAL TxAmps, REAL area, REAL length);

namespace EngineMessages {
inline constexpr const char* kConvolutionBypassed = "***  DECONVOLUTION BYPASSED.  ***";
inline constexpr const char* kConvolutionWriteFailed = " ERROR IN DECON:  internal write";
inline constexpr const char* kConvolutionLength = "Error in CURVCON. Change array length.";
inline constexpr const char* kNoSystemResponse = "No system response is loaded: the curve is not convolved";
}  // namespace EngineMessages
