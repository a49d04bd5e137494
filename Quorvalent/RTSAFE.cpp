#include "Quorvalent/RTSAFE.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "Quorvalent/CURVES.h"
#include "Quorvalent/HZEXACT.h"
#include "Quorvalent/SoundingHandler.h"
#include "Quorvalent/TRANSFOR.h"

namespace {

constexpr double kFourPi = 12.566371;
constexpr double kTwoPi = 6.2831855;
constexpr double kMu0 = 1.2566371e-6;

constexpr double kMu0Exact = 1.256637061e-6;
constexpr double kFourPiExact = 12.566370616;
// The half-space's early-time apparent resistivity rho F(u) peaks where F(u) / u^2 does.
constexpr double kPeakInductionNumber = 1.6136328;

// The half-space whose early-time apparent resistivity at time t equals x, on the branch of
// induction numbers above (early) or below (late) the peak; the peak's resistivity when none
// reaches x.
double matchingHalfSpace(double t, double r, double x, bool early)
{
    // rho F(u) = (mu0 r^2 / (4 t)) F(u) / u^2, which falls away from the peak on either side.
    const double scale = kMu0Exact * r * r / (4.0 * t);
    const auto shape = [&](double u) { return scale * EngineInternal::transientShape(u) / (u * u); };
    double inner = kPeakInductionNumber, outer = early ? 1.0e4 : 1.0e-4;
    if (!(x < shape(inner))) outer = inner;
    for (int step = 0; step < 80; ++step) {
        const double middle = std::sqrt(inner * outer);
        if (shape(middle) > x) inner = middle;
        else outer = middle;
    }
    const double u = std::sqrt(inner * outer);
    return scale / (u * u);
}

// The two targets of the all-time fit, in double precision. The rates come from the early-time
// apparent resistivities x by the early-time relation, and neighbouring rates are joined by
// their geometric mean times the interval. off_i is the switch-off field still to decay at t_i:
// the rates up to the last sample and, beyond it, the field of the half-space that the last
// sample's rate fits late in its decay. on_i is the switch-on field built up by t_i: the field
// of the half-space that the first sample's rate fits early in its rise, and the rates since.
void buildTargets(double r, double M, std::size_t count, std::span<const REAL> t, std::span<const REAL> x,
                  std::span<double> off, std::span<double> on)
{
    const auto rate = [&](std::size_t i) { return std::fabs(3.0 * M * double(x[i]) / (kTwoPi * kMu0 * r * r * r * r)); };
    const auto step = [&](std::size_t i) { return std::sqrt(rate(i) * rate(i + 1)) * (double(t[i + 1]) - double(t[i])); };
    double unused = 0.0;
    const std::size_t last = count - 1;
    EngineInternal::halfSpaceField(true, t[last], M, r, matchingHalfSpace(t[last], r, std::fabs(x[last]), false), off[last], unused);
    for (std::size_t i = last; i-- > 0;) off[i] = off[i + 1] + step(i);
    EngineInternal::halfSpaceField(false, t[0], M, r, matchingHalfSpace(t[0], r, std::fabs(x[0]), true), on[0], unused);
    for (std::size_t i = 1; i < count; ++i) on[i] = on[i - 1] + step(i - 1);
}

// The half-space field in the step form of the target against the target at one time.
void residual(bool stepOff, double time, double M, double r, double target, double rho, double& f, double& df)
{
    double hz = 0.0, dhz = 0.0;
    EngineInternal::halfSpaceField(stepOff, time, M, r, rho, hz, dhz);
    f = std::fabs(hz) - std::fabs(target);
    df = dhz;
}

// Newton steps safeguarded by bisection, after a search for a bracket; in the precision T.
template <class T, class Function>
T safeguardedRoot(Function&& funcd, T xmin, T& x, T xmax, T xacc)
{
    AllTimeState& state = allTimeState();
    state.RootFound = kTrue;
    const T start = x;
    T x1 = T(0.75) * start, x2 = start;
    T lo = 0, hi = 0, flo = 0, fhi = 0, df = 0;
    constexpr int kTries = 10;
    for (int attempt = 1; attempt <= kTries; ++attempt) {
        lo = T(0.5) * x2;
        hi = T(2) * x1;
        if (attempt == kTries) {
            lo = std::min(lo, xmin);
            hi = std::max(hi, xmax);
        }
        x2 = lo;
        x1 = hi;
        funcd(lo, flo, df);
        funcd(hi, fhi, df);
        if (flo * fhi < T(0)) break;
    }
    state.FLow = static_cast<REAL>(flo);
    state.FHigh = static_cast<REAL>(fhi);
    T f = 0;
    const auto finish = [&](bool found) {
        state.F = static_cast<REAL>(f);
        state.DF = static_cast<REAL>(df);
        if (!found) state.RootFound = kFalse;
        return x;
    };
    // Written so that a product that is not a number counts as a bracket on the last try.
    if (flo * fhi >= T(0)) {
        funcd(x, f, df);
        return finish(false);
    }

    T xl = flo < T(0) ? lo : hi;
    T xh = flo < T(0) ? hi : lo;
    x = T(0.5) * (lo + hi);
    T dxold = std::fabs(xh - xl);
    T dx = dxold;
    funcd(x, f, df);
    for (int iteration = 0; iteration < 100; ++iteration) {
        const bool leavesBracket = ((x - xh) * df - f) * ((x - xl) * df - f) >= T(0);
        if (leavesBracket || std::fabs(T(2) * f) > std::fabs(dxold * df)) {
            dxold = dx;
            dx = T(0.5) * (xh - xl);
            x = xl + dx;
        } else {
            dxold = dx;
            dx = f / df;
            x = x - dx;
        }
        // Converged when two successive step sizes agree, not when one step is small.
        if (std::fabs(dxold - dx) < xacc) return finish(true);
        funcd(x, f, df);
        if (f < T(0)) xl = x;
        else xh = x;
    }
    return finish(false);
}

}  // namespace

AllTimeState& allTimeState()
{
    static AllTimeState state;
    return state;
}

void RHOET_TO_HZ(REAL r, REAL M, INTEGER n, std::span<const REAL> t, std::span<const REAL> x, std::span<REAL> H)
{
    const auto room = std::min({t.size(), x.size(), H.size(), std::size_t(kMaxCurveSamples)});
    const auto count = static_cast<std::size_t>(std::clamp<INTEGER>(n, 0, static_cast<INTEGER>(room)));
    if (count == 0) return;
    std::array<double, kMaxCurveSamples> off{}, on{};
    buildTargets(r, M, count, t, x, off, on);
    for (std::size_t i = 0; i < count; ++i) H[i] = static_cast<REAL>(off[i]);
}

void HZ_LOTEM2(REAL rho, REAL& f, REAL& df)
{
    const AllTimeState& state = allTimeState();
    double value = 0.0, derivative = 0.0;
    residual(isTrue(state.StepOff), state.Time, state.SourceTerm, state.Offset, state.Target, rho, value, derivative);
    f = static_cast<REAL>(value);
    df = static_cast<REAL>(derivative);
}

REAL RTSAFE(RootFunction funcd, REAL xmin, REAL& x, REAL xmax, REAL xacc)
{
    return safeguardedRoot<REAL>([&](REAL v, REAL& f, REAL& df) { funcd(v, f, df); }, xmin, x, xmax, xacc);
}

namespace EngineInternal {

void allTimeFor(REAL M)
{
    EngineCurveBlock& curve = engineCurveBlock();
    const KernelSettingsBlock& kernel = kernelSettingsBlock();
    AllTimeState& state = allTimeState();
    const int n = std::clamp<INTEGER>(curve.SampleCount, 0, kMaxCurveSamples);
    state.Offset = kernel.R;
    state.SourceTerm = M;

    // The target's rate relation expects the early-time apparent resistivity of each sample.
    std::array<REAL, kMaxCurveSamples> early{};
    bool formed = kernel.Sin != 0.0f && n >= 1;
    const double r = kernel.R;
    const double scale = formed ? kTwoPi * r * r * r * r / (3.0 * double(kernel.Sin)) : 0.0;
    for (int i = 0; i < n && formed; ++i) {
        early[static_cast<std::size_t>(i)] = static_cast<REAL>(scale * curve.Values[static_cast<std::size_t>(i)]);
        formed = std::isfinite(early[static_cast<std::size_t>(i)]);
    }
    // The target starts from the half-space of the first sample's resistivity.
    formed = formed && early[0] != 0.0f;
    if (!formed) {
        std::fill_n(curve.AllTimeTarget.begin(), n, kMissingValue);
        std::fill_n(curve.AllTimeResistivity.begin(), n, kMissingValue);
        return;
    }

    std::array<double, kMaxCurveSamples> off{}, on{};
    if (kernel.LayerCount >= 2 && EngineInternal::switchOffField(n, off)) {
        // A curve from the transforms: the field itself from the same frequency kernels, exact
        // where the rates of the window alone know neither what came before its first sample
        // nor how a layered earth decays after its last.
        const double h0 = M / (kFourPiExact * r * r);
        const double perMoment = M / (kMu0Exact * double(kernel.Sin));
        for (int i = 0; i < n; ++i) {
            const auto k = static_cast<std::size_t>(i);
            off[k] *= perMoment;
            on[k] = h0 - off[k];
        }
    } else {
        buildTargets(kernel.R, M, static_cast<std::size_t>(n), curve.Times, early, off, on);
    }
    // Each sample starts from the previous sample's result, converged or not. A field close to
    // its final value hardly moves with the resistivity, so each sample is fitted in the step
    // form whose field is the smaller: switch-on early in the window, switch-off later.
    double start = 10.0;
    for (int i = 0; i < n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const bool stepOff = off[k] <= on[k];
        const double target = stepOff ? off[k] : on[k];
        curve.AllTimeTarget[k] = static_cast<REAL>(off[k]);
        state.Time = curve.Times[k];
        state.Target = static_cast<REAL>(target);
        state.StepOff = toLogical(stepOff);
        const double time = curve.Times[k];
        const auto fit = [&](double rho, double& f, double& df) { residual(stepOff, time, M, kernel.R, target, rho, f, df); };
        curve.AllTimeResistivity[k] = static_cast<REAL>(safeguardedRoot<double>(fit, 0.001, start, 1.0e6, 1.0e-5));
    }
}

}  // namespace EngineInternal

void ALLTIME() { EngineInternal::allTimeFor(10000.0f); }
