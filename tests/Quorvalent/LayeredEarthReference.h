// A slow, independent reference for the engine's layered-earth transients: the same Hankel and
// Fourier integrals, each integrated by Gauss-Legendre quadrature between the zeros of its
// oscillating factor, with the partial sums extrapolated by Wynn's epsilon algorithm. The first
// layer's half-space is taken out of the kernels and added back in closed form, so that the
// wavenumber integrals of what is left decay with depth.
#pragma once

#include <vector>

namespace Reference {

struct Earth {
    std::vector<double> rho;  // ohm-m, top to basement
    std::vector<double> h;    // m, one fewer than rho
};

// Switch-off dBz/dt (T/s) of a unit surface dipole at offset r (m) and angle (degrees) at time t.
double hz(const Earth& earth, double r, double degrees, double t, double rhoRef);

// Switch-on Ex (V/m, signed) of the same source: the first layer's DC field plus the transient.
double ex(const Earth& earth, double r, double degrees, double t, double rhoRef);

// The closed forms over a half-space, with the exact error function.
double halfSpaceHz(double rho, double r, double degrees, double t);
double halfSpaceEx(double rho, double r, double degrees, double t);

}  // namespace Reference
