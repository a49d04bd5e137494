// Frequency-domain response of the layered earth to a grounded wire (platform-free): the surface
// admittance and impedance by recursion from the basement up, the wavenumber kernels of Hz, Ex
// and Ey, and the frequency kernels the sine transform sums. Everything is for a unit source
// moment (1 A over 1 m) at the surface.
#pragma once

#include <complex>

#include "toolkit/foundation/CoreTypes.h"

// A complex value as a pair of REALs.
using ComplexReal = std::complex<REAL>;

// Frequency kernels of every enabled component at the current frequency index of the
// TransformCacheBlock, for the angular frequency omega (rad/s).
void RWFIELDS(REAL omega);

// Wavenumber kernels (A1 for Hz, A2 to A5 for Ex or Ey) at the current abscissa index of the
// TransformCacheBlock, for the horizontal wavenumber lambda (1/m).
void UWFIELDS(REAL lambda);

// Y := TE surface admittance at lambda and the current omega mu0; Z := TM surface impedance
// divided by the first layer's resistivity, computed only when tm is true.
void ADMITT(REAL lambda, ComplexReal& Y, ComplexReal& Z, LOGICAL tm);

// result := tanh(z).
void CTANH(ComplexReal& result, const ComplexReal& z);

// Engine-internal: the same recursion in double precision, which the kernels use because the
// reflection coefficient (Y - lambda) / (Y + lambda) cancels at low frequencies.
namespace EngineInternal {
std::complex<double> complexTanh(std::complex<double> z);
void admittance(double lambda, std::complex<double>& Y, std::complex<double>& Z, bool tm);
// UWFIELDS and RWFIELDS at a wavenumber and frequency of the transforms' grids, unrounded: the
// filters' abscissae are exact, and the late-time sums cancel to well below REAL's precision.
void wavenumberKernels(double lambda);
void frequencyKernels(double omega);
}  // namespace EngineInternal
