// The engine's time grid and unit-moment transient (platform-free).
#pragma once

#include <array>
#include <optional>
#include <span>

#include "toolkit/foundation/CoreTypes.h"

// The sample buffers hold at most this many samples.
inline constexpr int kMaxCurveSamples = 300;

struct EngineCurveBlock {
    INTEGER SampleCount = 0;
    std::array<REAL, kMaxCurveSamples> Values{};              // unit-moment transient v(t_i)
    std::array<REAL, kMaxCurveSamples> Times{};               // grid times t_i, s
    std::array<REAL, kMaxCurveSamples> AllTimeTarget{};
    std::array<REAL, kMaxCurveSamples> AllTimeResistivity{};  // ohm-m
    std::array<REAL, kMaxCurveSamples> NormalisedCurve{};
};

// What CURVE prepares for the kernels and transforms, one set per curve.
struct KernelSettingsBlock {
    LOGICAL Hz = kFalse, Ex = kFalse, Ey = kFalse;  // exactly one true
    LOGICAL Electric = kFalse;
    INTEGER LayerCount = 0;
    REAL R = 0.0f;
    REAL RCubed = 0.0f;
    REAL Sin = 0.0f, Cos = 0.0f;     // exactly 0.0 below 1.0E-6 in magnitude
    REAL UnitMoment = 1.0f;          // every kernel is for 1 A times 1 m
    REAL HankelTolerance = 1.0e-4f;
    REAL SineTolerance = 0.001f;
};

EngineCurveBlock& engineCurveBlock();
KernelSettingsBlock& kernelSettingsBlock();

// The logarithmic time grid of a window: ten samples per decade from 10^first, count samples.
struct TimeGrid {
    INTEGER first = 0;   // a: exponent of the first decade
    INTEGER last = 0;    // b + 1
    INTEGER count = 0;   // 12 + 10 (b - a)
};

// The grid of [t1, t2], or nothing when the window has no grid: t1 or t2 zero or not finite, or
// a decade exponent beyond any sensible range.
std::optional<TimeGrid> timeGridOf(REAL t1, REAL t2);

// Sample count of the window [t1, t2]; first and last as in TimeGrid. A window without a grid
// gives 0 with first = last = 0.
INTEGER NTIMES(REAL t1, REAL t2, INTEGER& first, INTEGER& last);

// Fills the EngineCurveBlock with the unit-moment transient of the component in the EngineBlock:
// Hz over one layer in closed form, everything else through the digital-filter transforms.
// Returns false, with the sample count 0, when no curve was computed: the window has no grid or
// more than kMaxCurveSamples samples, there is no model, or the half-space call rejected its input.
bool CURVE(REAL tstart, REAL tend);

// n samples of the Hz transient over a half-space, from t1, ten per decade. Returns false without
// writing when r, rho or t1 is not above 0 or |angle| <= 1.0E-5 degrees.
bool CALC_HALF(REAL t1, INTEGER n, std::span<REAL> times, std::span<REAL> values, REAL rho, REAL r, REAL angle);
