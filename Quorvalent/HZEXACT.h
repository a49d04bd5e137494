// Transient fields of a grounded wire over a uniform half-space, in closed form (platform-free).
#pragma once

#include "toolkit/foundation/CoreTypes.h"

// dBz/dt in T/s at time t after switch-off, for a source moment a x b (A x m), offset r (m),
// transmitter-offset angle (degrees) and half-space resistivity rho (ohm-m).
void HZEXACT(REAL t, REAL a, REAL b, REAL r, REAL angle, REAL rho, REAL& out);

// Error function (rational approximation, absolute error below 1.5E-7).
DOUBLE ERF(DOUBLE x);

// Hz in A/m at time t after switch-off (stepOff true) or switch-on (false), for the source term
// M (moment times the sine of the angle, A x m), offset r and resistivity rho; dH := dH/d rho.
void HZ_LOT_HSP(bool stepOff, REAL t, REAL M, REAL r, REAL rho, REAL& H, REAL& dH);

namespace EngineInternal {
// HZ_LOT_HSP in double precision throughout: the all-time fit compares switch-on fields that
// differ from the DC field by a part in 10^4 and less late in the window.
void halfSpaceField(bool stepOff, double t, double M, double r, double rho, double& H, double& dH);
// The early-time apparent resistivity of a half-space over its resistivity at the induction
// number u: 1 at early time, falling as (8 / (15 sqrt(pi))) u^5 at late time.
double transientShape(double u);
}  // namespace EngineInternal
