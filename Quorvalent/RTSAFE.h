// All-time apparent resistivity (platform-free): for every sample, the resistivity of the uniform
// half-space whose Hz field after switch-off (or, early in the window, after switch-on) matches a
// target built from the computed curve, found by a safeguarded Newton-bisection root finder.
#pragma once

#include <span>

#include "toolkit/foundation/CoreTypes.h"

// The root finder's context and its last state.
struct AllTimeState {
    REAL Time = 0.0f;            // s, of the sample being fitted
    REAL Target = 0.0f;          // A/m, its target field
    REAL SourceTerm = 10000.0f;  // M: moment times the sine of the angle, A x m
    REAL Offset = 0.0f;          // m
    LOGICAL StepOff = kTrue;     // the target is the switch-off field (else the switch-on one)
    LOGICAL RootFound = kTrue;   // false after no bracket or no convergence
    REAL FLow = 0.0f, FHigh = 0.0f, F = 0.0f, DF = 0.0f;
};

AllTimeState& allTimeState();

// A function for RTSAFE: value and derivative at x.
using RootFunction = void (*)(REAL x, REAL& f, REAL& df);

// Fills the all-time target and resistivity buffers of the EngineCurveBlock from its curve. A
// curve from the transforms takes its switch-off field from the same frequency kernels (the
// model must still be in the EngineBlock, as it is inside CALCLOTEM); a half-space curve in
// closed form, or one whose model is gone, takes it from its rates through RHOET_TO_HZ. A
// sample whose early-time apparent resistivity cannot be formed (the sine of the angle is 0)
// gets the missing-value mark.
void ALLTIME();

// H_1 to H_n: the switch-off Hz target of the curve x (early-time apparent resistivities at the
// times t) for the source term M at offset r: at each sample the field still to decay, the rates
// integrated to the last sample and the decay beyond it.
void RHOET_TO_HZ(REAL r, REAL M, INTEGER n, std::span<const REAL> t, std::span<const REAL> x, std::span<REAL> H);

// f := |Hz(rho)| - |target| and df := dHz/d rho of the half-space field in the context's step
// form, at its time, source term and offset.
void HZ_LOTEM2(REAL rho, REAL& f, REAL& df);

// A root of funcd near x (the start value on entry, the estimate on return, which is also the
// result). Brackets by widening [x/2, 1.5 x] ten times, the last try at least [xmin, xmax];
// without a bracket it returns the start value. Converged when two successive step sizes differ
// by less than xacc; at most 100 iterations.
REAL RTSAFE(RootFunction funcd, REAL xmin, REAL& x, REAL xmax, REAL xacc);

namespace EngineInternal {
// ALLTIME for any source term M (ALLTIME uses 10000): the result does not depend on it.
void allTimeFor(REAL M);
}  // namespace EngineInternal
