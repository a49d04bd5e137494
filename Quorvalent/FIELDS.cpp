#include "Quorvalent/FIELDS.h"

#include <cmath>

#include "Quorvalent/CalcLotem.h"
#include "Quorvalent/CURVES.h"
#include "Quorvalent/TRANSFOR.h"

namespace {

using Complex = std::complex<double>;

constexpr double kMu0 = 1.256637e-6;
constexpr double kTwoPi = 6.2831855;
constexpr double kFourPi = 12.566371;

// Complex quotient without the library's overflow-safe slow path: the admittances stay far
// from the range where that matters, and the kernels run this in their innermost loop.
inline Complex divide(Complex a, Complex b)
{
    const double inverse = 1.0 / (b.real() * b.real() + b.imag() * b.imag());
    return {(a.real() * b.real() + a.imag() * b.imag()) * inverse, (a.imag() * b.real() - a.real() * b.imag()) * inverse};
}

inline Complex multiply(Complex a, Complex b)
{
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

inline Complex exponential(Complex z)
{
    const double m = std::exp(z.real());
    return {m * std::cos(z.imag()), m * std::sin(z.imag())};
}

// Principal square root of a + ib with a > 0 (lambda^2 plus the induction term): no cancellation.
inline Complex rootOfPositiveReal(double a, double b)
{
    const double re = std::sqrt(0.5 * (std::sqrt(a * a + b * b) + a));
    return {re, 0.5 * b / re};
}

}  // namespace

namespace EngineInternal {

Complex complexTanh(Complex z)
{
    const double magnitude2 = z.real() * z.real() + z.imag() * z.imag();
    // Beyond a real part of 18.5 the correction 2 exp(-2z) is below the precision of 1.
    if (z.real() > 18.5) return 1.0;
    if (magnitude2 >= 0.01) {
        // (exp(z) - exp(-z)) / (exp(z) + exp(-z)), written with the one exponential exp(-2z),
        // which cannot overflow for the thick layers and high wavenumbers where exp(z) would.
        const Complex e = exponential(-2.0 * z);
        return divide(1.0 - e, 1.0 + e);
    }
    // Near 0 the difference of exponentials cancels: the Taylor series to z^7.
    const Complex w = multiply(z, z);
    return multiply(z, 1.0 - (w / 3.0) * (1.0 - (2.0 * w / 5.0) * (1.0 - 17.0 * w / 42.0)));
}

void admittance(double lambda, Complex& Y, Complex& Z, bool tm)
{
    const EngineBlock& engine = engineBlock();
    const int nl = kernelSettingsBlock().LayerCount;
    const double omegaMu0 = transformCacheBlock().OmegaMu0;
    const double lambda2 = lambda * lambda;
    const auto wavenumber = [&](int k) {  // principal root: non-negative real part
        return rootOfPositiveReal(lambda2, omegaMu0 / engine.Resistivities[static_cast<std::size_t>(k)]);
    };

    Complex u = wavenumber(nl - 1);
    Y = u;
    Z = tm ? u : Complex(0.0, 0.0);
    for (int k = nl - 2; k >= 0; --k) {
        u = wavenumber(k);
        const Complex T = complexTanh(u * double(engine.Thicknesses[static_cast<std::size_t>(k)]));
        // (Y + u T) / (1 + (Y / u) T), with the quotient Y / u folded into one division.
        const Complex uT = multiply(u, T);
        Y = multiply(u, divide(Y + uT, u + multiply(Y, T)));
        if (tm) {
            // (Z + q u T) / (q + (Z / u) T) in the same way.
            const double q = double(engine.Resistivities[static_cast<std::size_t>(k)]) /
                             engine.Resistivities[static_cast<std::size_t>(k) + 1];
            Z = multiply(u, divide(Z + q * uT, q * u + multiply(Z, T)));
        }
    }
}

}  // namespace EngineInternal

void CTANH(ComplexReal& result, const ComplexReal& z)
{
    const Complex value = EngineInternal::complexTanh(Complex(z.real(), z.imag()));
    result = ComplexReal(static_cast<REAL>(value.real()), static_cast<REAL>(value.imag()));
}

void ADMITT(REAL lambda, ComplexReal& Y, ComplexReal& Z, LOGICAL tm)
{
    Complex y, z;
    EngineInternal::admittance(lambda, y, z, isTrue(tm));
    Y = ComplexReal(static_cast<REAL>(y.real()), static_cast<REAL>(y.imag()));
    if (isTrue(tm)) Z = ComplexReal(static_cast<REAL>(z.real()), static_cast<REAL>(z.imag()));
}

void UWFIELDS(REAL lambda) { EngineInternal::wavenumberKernels(lambda); }

void RWFIELDS(REAL omega) { EngineInternal::frequencyKernels(omega); }

namespace EngineInternal {

void wavenumberKernels(double l)
{
    KernelSettingsBlock& kernel = kernelSettingsBlock();
    TransformCacheBlock& cache = transformCacheBlock();
    const double k1 = cache.OmegaMu0 / engineBlock().Resistivities[0];
    const bool electric = isTrue(kernel.Ex) || isTrue(kernel.Ey);
    kernel.Electric = toLogical(electric);

    Complex Y, Z;
    EngineInternal::admittance(l, Y, Z, electric);
    const Complex sum = Y + l;
    const double S = divide(Y - l, sum).imag();   // minus the TE reflection coefficient

    const auto index = static_cast<std::size_t>(cache.AbscissaIndex - 1);
    if (cache.AbscissaKernelCalls[index]++ > 0) ++cache.RepeatedKernelCount;
    ++cache.AbscissaKernelCount;
    auto& A = cache.AbscissaKernels;
    if (isTrue(kernel.Hz)) A[0][index] = -l * S;
    if (!electric) return;

    // W is the TM (galvanic) part: the difference between the layered earth's and the first
    // layer's half-space response, zero over a half-space.
    const double P = -sum.imag() / std::norm(sum);
    const double Q = (l - Z.real()) / k1;
    const double W = Q - P;
    const double sin = kernel.Sin, cos = kernel.Cos, r = kernel.R;
    if (isTrue(kernel.Ex)) {
        A[1][index] = S - 2.0 * l * W * cos * cos;
        A[2][index] = (2.0 - 4.0 * sin * sin) * W / r;
    }
    if (isTrue(kernel.Ey)) {
        A[3][index] = -2.0 * l * W;
        A[4][index] = 4.0 * W / r;
    }
}

void frequencyKernels(double w)
{
    const KernelSettingsBlock& kernel = kernelSettingsBlock();
    TransformCacheBlock& cache = transformCacheBlock();
    cache.OmegaMu0 = w * kMu0;
    const double r = kernel.R;
    const double F = 1.0 / (kTwoPi * std::sqrt(w));
    const double G = -cache.OmegaMu0 * double(kernel.UnitMoment) / (kFourPi * r);

    const auto index = static_cast<std::size_t>(cache.FrequencyIndex - 1);
    if (cache.FrequencyKernelCalls[index]++ > 0) ++cache.RepeatedKernelCount;
    ++cache.FrequencyKernelCount;

    // The first transform at this frequency rebuilds the abscissa grid; the others reuse its
    // kernels.
    LOGICAL fresh = kTrue;
    auto& K = cache.FrequencyKernels[index];
    if (isTrue(kernel.Hz)) K[0] = G * EngineInternal::hankelTransform(fresh, kernel.R, kSelectHz) * double(kernel.Sin) * F;
    if (isTrue(kernel.Ex)) K[1] = G * EngineInternal::hankelTransform(fresh, kernel.R, kSelectEx) * F;
    if (isTrue(kernel.Ey)) K[2] = G * EngineInternal::hankelTransform(fresh, kernel.R, kSelectEy) * double(kernel.Sin) * kernel.Cos * F;
}

}  // namespace EngineInternal
