#include "Quorvalent/HZEXACT.h"

#include <cmath>

namespace {

constexpr double kPi = 3.141592654;
constexpr double kSqrtPi = 1.772453851;
constexpr double kMu0 = 1.256637061e-6;
constexpr double kFourPi = 12.566370616;

// Induction number u = theta r with theta^2 = mu0 / (4 rho t); large u means early time.
double inductionNumber(double t, double rho, double r)
{
    return 0.5 / std::sqrt(t * rho / (kMu0 * r * r));
}

}  // namespace

DOUBLE ERF(DOUBLE x)
{
    // Abramowitz and Stegun 7.1.26; odd symmetry for negative arguments.
    const double ax = std::fabs(x);
    const double p = 1.0 / (1.0 + 0.3275911 * ax);
    const double a1 = 0.254829592, a2 = -0.284496736, a3 = 1.421413741, a4 = -1.453152027, a5 = 1.061405429;
    const double e = 1.0 - p * (a1 + p * (a2 + p * (a3 + p * (a4 + p * a5)))) * std::exp(-ax * ax);
    return x < 0.0 ? -e : e;
}

double EngineInternal::transientShape(double u)
{
    if (u > 0.2) return ERF(u) - (2.0 / kSqrtPi) * (u + (2.0 / 3.0) * u * u * u) * std::exp(-u * u);
    // Late time: the closed form cancels, so use its expansion for small u.
    const double u2 = u * u, u5 = u2 * u2 * u;
    return 2.0 / kSqrtPi * u5 * (4.0 / 15.0 - u2 * (4.0 / 21.0) + u2 * u2 * (2.0 / 27.0));
}

void HZEXACT(REAL t, REAL a, REAL b, REAL r, REAL angle, REAL rho, REAL& out)
{
    const double s = std::sin(double(angle) * kPi / 180.0);
    const double u = inductionNumber(t, rho, r);
    const double r4 = std::pow(double(r), 4);
    const double moment = double(a) * double(b);
    out = static_cast<REAL>(1.5 * moment * rho * s * EngineInternal::transientShape(u) / (kPi * r4));
}

void EngineInternal::halfSpaceField(bool stepOff, double t, double M, double r, double rho, double& H, double& dH)
{
    const double h0 = M / (kFourPi * r * r);   // DC field of the wire
    const double q = t / (kMu0 * r * r);
    const double u = 0.5 / std::sqrt(std::fabs(double(rho)) * q);
    const double d = -2.0 * u * u * u * q;               // du/d rho
    double h, dh;
    if (u > 0.25) {
        const double e = ERF(u), g = std::exp(-u * u);
        h = h0 * (e * (1.0 - 3.0 / (2.0 * u * u)) + 3.0 * g / (kSqrtPi * u));
        dh = h0 * d * (3.0 * e / (u * u * u) - (4.0 + 6.0 / (u * u)) * g / kSqrtPi);
    } else {
        const double k = 8.0 * h0 / kSqrtPi, u2 = u * u;
        h = k * u * u2 * (1.0 / 15.0 - u2 / 35.0 + u2 * u2 / 126.0);
        dh = d * k * u2 * (1.0 / 5.0 - u2 / 7.0 + u2 * u2 / 18.0);
    }
    if (!stepOff) {  // switch-on field: what the switch-off field has not yet lost
        h = h0 - h;
        dh = -dh;
    }
    H = h;
    dH = dh;
}

void HZ_LOT_HSP(bool stepOff, REAL t, REAL M, REAL r, REAL rho, REAL& H, REAL& dH)
{
    double h = 0.0, dh = 0.0;
    EngineInternal::halfSpaceField(stepOff, t, M, r, rho, h, dh);
    H = static_cast<REAL>(h);
    dH = static_cast<REAL>(dh);
}
