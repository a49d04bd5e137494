#include "LayeredEarthReference.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <numbers>

namespace Reference {
namespace {

using Complex = std::complex<double>;
constexpr double kPi = std::numbers::pi;
constexpr double kMu0 = 4.0e-7 * std::numbers::pi;

// Eight-point Gauss-Legendre nodes and weights on [-1, 1], one half of the symmetric pairs.
constexpr std::array<double, 4> kNodes{0.1834346424956498, 0.5255324099163290, 0.7966664774136267, 0.9602898564975363};
constexpr std::array<double, 4> kWeights{0.3626837833783620, 0.3137066458778873, 0.2223810344533745, 0.1012285362903763};

template <class F>
double gaussLegendre(double a, double b, F&& f)
{
    const double mid = 0.5 * (a + b), half = 0.5 * (b - a);
    double sum = 0.0;
    for (std::size_t i = 0; i < kNodes.size(); ++i) sum += kWeights[i] * (f(mid - half * kNodes[i]) + f(mid + half * kNodes[i]));
    return half * sum;
}

// The integral over [0, b] in panels that shrink geometrically towards 0, where the integrands
// have their low-wavenumber and low-frequency structure far inside the first oscillation.
template <class F>
double firstInterval(double b, F&& f)
{
    double sum = 0.0, upper = b;
    for (int panel = 0; panel < 8; ++panel) {
        const double lower = upper / 4.0;
        sum += gaussLegendre(lower, upper, f);
        upper = lower;
    }
    return sum + gaussLegendre(0.0, upper, f);
}

// Wynn's epsilon algorithm on partial sums: the highest even column's latest entry.
double epsilonLimit(const std::vector<double>& sums)
{
    std::vector<double> previous(sums.size() + 1, 0.0), current(sums);
    double best = sums.back();
    for (int column = 1; current.size() >= 2; ++column) {
        std::vector<double> next(current.size() - 1);
        for (std::size_t j = 0; j + 1 < current.size(); ++j) {
            const double difference = current[j + 1] - current[j];
            if (difference == 0.0) return best;
            next[j] = previous[j + 1] + 1.0 / difference;
        }
        previous = std::move(current);
        current = std::move(next);
        if (column % 2 == 0 && std::isfinite(current.back())) best = current.back();
    }
    return best;
}

// The integral of f over [0, infinity) whose oscillating factor changes sign at each breakpoint
// of the sequence: the first interval in panels, then one interval at a time until the
// extrapolated limit settles.
template <class F, class Breakpoint>
double oscillatoryIntegral(F&& f, Breakpoint&& breakpoint, int maxIntervals)
{
    std::vector<double> sums;
    double total = firstInterval(breakpoint(1), f), magnitude = std::fabs(total);
    sums.push_back(total);
    double estimate = total, previous = 0.0;
    int settled = 0;
    for (int n = 1; n < maxIntervals; ++n) {
        const double term = gaussLegendre(breakpoint(n), breakpoint(n + 1), f);
        total += term;
        magnitude += std::fabs(term);
        sums.push_back(total);
        if (n < 6) continue;
        const std::vector<double> window(sums.end() - std::min<std::ptrdiff_t>(sums.size(), 20), sums.end());
        previous = estimate;
        estimate = epsilonLimit(window);
        const double tolerance = 1.0e-10 * std::fabs(estimate) + 1.0e-16 * magnitude;
        settled = std::fabs(estimate - previous) <= tolerance ? settled + 1 : 0;
        if (settled >= 3) break;
    }
    return estimate;
}

struct Surface {
    Complex Y, Z;
};

Complex tanhOf(Complex z)
{
    const Complex e = std::exp(-2.0 * z);  // Re z >= 0: no overflow
    return (1.0 - e) / (1.0 + e);
}

// TE admittance and TM impedance (over rho_1) at the surface, from the basement up.
Surface surfaceOf(const Earth& earth, double lambda, double omega)
{
    const std::size_t n = earth.rho.size();
    const auto wavenumber = [&](std::size_t k) { return std::sqrt(Complex(lambda * lambda, omega * kMu0 / earth.rho[k])); };
    Complex u = wavenumber(n - 1), Y = u, Z = u;
    for (std::size_t k = n - 1; k-- > 0;) {
        u = wavenumber(k);
        const Complex T = tanhOf(u * earth.h[k]);
        const double q = earth.rho[k] / earth.rho[k + 1];
        Y = (Y + u * T) / (1.0 + Y / u * T);
        Z = (Z + q * u * T) / (q + Z / u * T);
    }
    return {Y, Z};
}

// Imaginary part of (Y - lambda) / (Y + lambda), less that of the half-space of rhoRef.
double reflectionDifference(double rhoRef, double lambda, double omega, const Surface& s)
{
    const Complex u1 = std::sqrt(Complex(lambda * lambda, omega * kMu0 / rhoRef));
    return ((s.Y - lambda) / (s.Y + lambda) - (u1 - lambda) / (u1 + lambda)).imag();
}

// J0 and J1: the power series below x = 12, where its terms stay small enough not to cancel,
// and the Hankel asymptotic expansion above, summed while its terms still fall.
double bessel(int nu, double x)
{
    if (x < 12.0) {
        const double q = -0.25 * x * x;
        double term = nu == 0 ? 1.0 : 0.5 * x, sum = term;
        for (int k = 1; k < 60 && std::fabs(term) > 1.0e-17 * std::fabs(sum); ++k) {
            term *= q / (double(k) * (k + nu));
            sum += term;
        }
        return sum;
    }
    const double m = 4.0 * nu * nu;
    double p = 1.0, q = 0.0, term = 1.0;
    for (int k = 1; k < 60; ++k) {
        const double next = term * (m - double(2 * k - 1) * (2 * k - 1)) / (k * 8.0 * x);
        if (std::fabs(next) >= std::fabs(term) || std::fabs(next) < 1.0e-17) break;
        term = next;
        // Terms alternate between P and Q, each with alternating signs.
        if (k % 2 == 1) q += (k % 4 == 1 ? term : -term);
        else p += (k % 4 == 2 ? -term : term);
    }
    const double chi = x - (0.5 * nu + 0.25) * kPi;
    return std::sqrt(2.0 / (kPi * x)) * (p * std::cos(chi) - q * std::sin(chi));
}

// Zeros of J_nu(x r), asymptotically (McMahon): close enough to make the terms alternate.
double besselZero(int nu, int n, double r)
{
    const double beta = (n + 0.5 * nu - 0.25) * kPi, m = 4.0 * nu * nu;
    return (beta - (m - 1.0) / (8.0 * beta)) / r;
}

// The time integral -(mu0 / (2 pi^2)) x the integral of g(omega) sin(omega t) d omega.
template <class G>
double timeTransient(G&& g, double t)
{
    const auto integrand = [&](double omega) { return g(omega) * std::sin(omega * t); };
    const auto zero = [&](int n) { return n * kPi / t; };
    return -kMu0 / (2.0 * kPi * kPi) * oscillatoryIntegral(integrand, zero, 2000);
}

double inductionNumber(double rho, double r, double t) { return r * std::sqrt(kMu0 / (4.0 * rho * t)); }

}  // namespace

double halfSpaceHz(double rho, double r, double degrees, double t)
{
    const double u = inductionNumber(rho, r, t), u2 = u * u;
    const double f = u > 0.2 ? std::erf(u) - 2.0 / std::sqrt(kPi) * (u + 2.0 / 3.0 * u * u2) * std::exp(-u2)
                             : 2.0 / std::sqrt(kPi) * u * u2 * u2 * (4.0 / 15.0 - u2 * 4.0 / 21.0 + u2 * u2 * 2.0 / 27.0);
    return 3.0 * rho * std::sin(degrees * kPi / 180.0) * f / (2.0 * kPi * std::pow(r, 4));
}

double halfSpaceEx(double rho, double r, double degrees, double t)
{
    const double s = std::sin(degrees * kPi / 180.0), u = inductionNumber(rho, r, t);
    return rho / (2.0 * kPi * r * r * r) * (2.0 - 3.0 * s * s - std::erf(u) + 2.0 / std::sqrt(kPi) * u * std::exp(-u * u));
}

double hz(const Earth& earth, double r, double degrees, double t, double rhoRef)
{
    const auto difference = [&](double omega) {
        const auto kernel = [&](double lambda) {
            return lambda * -reflectionDifference(rhoRef, lambda, omega, surfaceOf(earth, lambda, omega)) * bessel(1, lambda * r);
        };
        return oscillatoryIntegral(kernel, [&](int n) { return besselZero(1, n, r); }, 2000);
    };
    return halfSpaceHz(rhoRef, r, degrees, t) + std::sin(degrees * kPi / 180.0) * timeTransient(difference, t);
}

double ex(const Earth& earth, double r, double degrees, double t, double rhoRef)
{
    const double s = std::sin(degrees * kPi / 180.0), c = std::cos(degrees * kPi / 180.0);
    const auto difference = [&](double omega) {
        const double k1 = omega * kMu0 / earth.rho[0];
        const auto kernel = [&](double lambda) {
            const Surface surface = surfaceOf(earth, lambda, omega);
            // W: the galvanic (TM) part, zero over a half-space.
            const double w = (lambda - surface.Z.real()) / k1 - (1.0 / (surface.Y + lambda)).imag();
            const double a2 = reflectionDifference(rhoRef, lambda, omega, surface) - 2.0 * lambda * w * c * c;
            const double a3 = (2.0 - 4.0 * s * s) * w / r;
            return a2 * bessel(0, lambda * r) + a3 * bessel(1, lambda * r);
        };
        return oscillatoryIntegral(kernel, [&](int n) { return besselZero(0, n, r); }, 2000);
    };
    // The first layer's DC field, and the half-space of rhoRef without its own.
    const double dc = (2.0 - 3.0 * s * s) / (2.0 * kPi * r * r * r);
    return (earth.rho[0] - rhoRef) * dc + halfSpaceEx(rhoRef, r, degrees, t) + timeTransient(difference, t);
}

}  // namespace Reference
