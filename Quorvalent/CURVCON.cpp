#include "Quorvalent/CURVCON.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Quorvalent/CURVES.h"
#include "Quorvalent/CalcLotem.h"
#include "Quorvalent/SuiteState.h"
#include "WBRVLib/Brvl95.h"

namespace {

constexpr double kLateTimeFactor = 6.5192075e-12;
// Tension of the spline through the curve and through the convolved samples: high enough to
// keep the spline from overshooting between the sparse late samples of a logarithmic grid.
constexpr REAL kTension = 20.0f;

std::size_t at(int oneBased) { return static_cast<std::size_t>(oneBased - 1); }

// Fortran's INT for a quotient that may be huge: clamp, then truncate.
int truncated(double x) { return static_cast<int>(std::trunc(std::clamp(x, -1.0e9, 1.0e9))); }

}  // namespace

SystemResponseBlock& systemResponseBlock()
{
    static SystemResponseBlock block;
    return block;
}

SplineStorageBlock& splineStorageBlock()
{
    static SplineStorageBlock block;
    return block;
}

bool SETSYSRESP(std::span<const REAL> response, REAL dt)
{
    if (response.empty() || response.size() > kConvolutionCapacity || !(dt > 0.0f) || !std::isfinite(dt)) return false;
    SystemResponseBlock& block = systemResponseBlock();
    std::copy(response.begin(), response.end(), block.Response.begin());
    block.Length = static_cast<INTEGER>(response.size());
    block.Step = dt;
    return true;
}

void WIN(std::string_view text, INTEGER mode)
{
    const char prefix = mode == 0 ? '+' : mode < 0 ? '&' : ' ';
    std::printf("%c%.*s\n", prefix, static_cast<int>(text.size()), text.data());
    std::fflush(stdout);
}

void TGEN(std::span<REAL> T, INTEGER k, REAL dt, INTEGER n)
{
    const int count = std::clamp<int>(n, 0, static_cast<int>(T.size()));
    for (int i = 1; i <= count; ++i) T[at(i)] = static_cast<REAL>(double(i - k) * dt);
}

void CONV(std::span<REAL> a, INTEGER n, std::span<const REAL> sys, REAL dta, REAL dts, INTEGER m)
{
    if (dta != dts) {
        char line[96];
        const int written = std::snprintf(line, sizeof line, " DATA SAMPLE : %15.5G .NE. SYSTEM SAMPLE : %15.5G", double(dta), double(dts));
        if (written < 0 || written >= static_cast<int>(sizeof line)) {
            WINMSG(EngineMessages::kConvolutionWriteFailed);
            return;
        }
        WIN(line, 1);
        WINMSG(EngineMessages::kConvolutionBypassed);
        return;
    }
    const int count = std::clamp<int>(n, 0, static_cast<int>(a.size()));
    const int taps = std::clamp<int>(m, 0, static_cast<int>(sys.size()));
    // From the last sample down, so that the samples each sum reads are still the original
    // ones; before the first sample the curve holds its first value.
    for (int k = count; k >= 1; --k) {
        double sum = 0.0;
        for (int j = 1; j <= taps; ++j) sum += double(sys[at(j)]) * a[at(std::max(k - j + 1, 1))];
        a[at(k)] = static_cast<REAL>(sum);
    }
}

void RASPL1(INTEGER n, std::span<const REAL> x, std::span<const REAL> y, std::span<const REAL> p, std::span<const REAL> q,
            std::span<REAL> y1, std::span<REAL> alpha, std::span<REAL> beta, std::span<REAL> gamma, std::span<REAL> delta)
{
    const std::size_t room = std::min({x.size(), y.size(), p.size(), q.size(), y1.size(), alpha.size(), beta.size(),
                                       gamma.size(), delta.size()});
    if (n < 2 || static_cast<std::size_t>(n) > room) return;

    // On [x_i, x_i+1] with h, t = (x - x_i) / h and u = 1 - t the spline is
    //   s = alpha u + beta t + gamma u^3 / (p t + 1) + delta t^3 / (q u + 1);
    // its second derivative is 2 (p^2 + 3p + 3) gamma / h^2 at the left node and
    // 2 (q^2 + 3q + 3) delta / h^2 at the right one, and gamma and delta follow from the node
    // values and derivatives with the divisor (p + 2)(q + 2) - 1. Continuous second derivatives
    // at the interior nodes give a tridiagonal system for the interior derivatives.
    const auto h = [&](int i) { return double(x[at(i + 1)]) - x[at(i)]; };
    const auto rise = [&](int i) { return double(y[at(i + 1)]) - y[at(i)]; };
    const auto divisor = [&](int i) { return (double(p[at(i)]) + 2.0) * (double(q[at(i)]) + 2.0) - 1.0; };

    const int unknowns = n - 2;
    std::vector<double> sub(static_cast<std::size_t>(std::max(unknowns, 0))), diag(sub.size()), sup(sub.size()), rhs(sub.size());
    for (int i = 2; i <= n - 1; ++i) {
        const double hl = h(i - 1), hr = h(i);
        const double pl = p[at(i - 1)], ql = q[at(i - 1)], pr = p[at(i)], qr = q[at(i)];
        const double c = (ql * ql + 3.0 * ql + 3.0) / (hl * hl * divisor(i - 1));
        const double d = (pr * pr + 3.0 * pr + 3.0) / (hr * hr * divisor(i));
        const auto row = static_cast<std::size_t>(i - 2);
        sub[row] = c * hl;
        diag[row] = c * (pl + 2.0) * hl + d * (qr + 2.0) * hr;
        sup[row] = d * hr;
        rhs[row] = c * (pl + 3.0) * rise(i - 1) + d * (qr + 3.0) * rise(i);
    }
    if (unknowns > 0) {
        rhs.front() -= sub.front() * y1[at(1)];
        rhs.back() -= sup.back() * y1[at(n)];
        // Forward elimination and back substitution.
        for (std::size_t row = 1; row < rhs.size(); ++row) {
            const double factor = sub[row] / diag[row - 1];
            diag[row] -= factor * sup[row - 1];
            rhs[row] -= factor * rhs[row - 1];
        }
        rhs.back() /= diag.back();
        for (std::size_t row = rhs.size() - 1; row-- > 0;) rhs[row] = (rhs[row] - sup[row] * rhs[row + 1]) / diag[row];
        for (int i = 2; i <= n - 1; ++i) y1[at(i)] = static_cast<REAL>(rhs[static_cast<std::size_t>(i - 2)]);
    }

    for (int i = 1; i <= n - 1; ++i) {
        const double hi = h(i), di = rise(i);
        const double a = hi * y1[at(i)] - di, b = hi * y1[at(i + 1)] - di;
        const double pi = p[at(i)], qi = q[at(i)], D = divisor(i);
        const double g = -(b + (qi + 2.0) * a) / D;
        const double e = (a + (pi + 2.0) * b) / D;
        gamma[at(i)] = static_cast<REAL>(g);
        delta[at(i)] = static_cast<REAL>(e);
        alpha[at(i)] = static_cast<REAL>(y[at(i)] - g);
        beta[at(i)] = static_cast<REAL>(y[at(i + 1)] - e);
    }
}

void YSPLINE(INTEGER n, std::span<const REAL> x, REAL xv, std::span<const REAL> alpha, std::span<const REAL> beta,
             std::span<const REAL> gamma, std::span<const REAL> delta, REAL& out, std::span<const REAL> p,
             std::span<const REAL> q)
{
    const std::size_t room = std::min({x.size(), alpha.size(), beta.size(), gamma.size(), delta.size(), p.size(), q.size()});
    if (n < 2 || static_cast<std::size_t>(n) > room) return;
    // The rational terms have poles just outside each interval (t = -1/p, u = -1/q): beyond the
    // nodes the spline holds its end value instead of being extrapolated into them.
    if (xv <= x[at(1)]) {
        out = alpha[at(1)] + gamma[at(1)];
        return;
    }
    if (xv >= x[at(n)]) {
        out = beta[at(n - 1)] + delta[at(n - 1)];
        return;
    }
    int i = 1;
    while (i < n - 1 && !(xv < x[at(i + 1)])) ++i;
    const double t = (double(xv) - x[at(i)]) / (double(x[at(i + 1)]) - x[at(i)]), u = 1.0 - t;
    out = static_cast<REAL>(alpha[at(i)] * u + beta[at(i)] * t + gamma[at(i)] * u * u * u / (p[at(i)] * t + 1.0) +
                            delta[at(i)] * t * t * t / (q[at(i)] * u + 1.0));
}

void SYSCONL(std::span<REAL> work, INTEGER nw, REAL dt, std::span<const REAL> sys, INTEGER m, std::span<REAL> v,
             std::span<const REAL> t, INTEGER& n)
{
    const int lead = kConvolutionLead;
    if (nw <= lead + 1 || static_cast<std::size_t>(nw) > work.size() || !(dt > 0.0f) || !std::isfinite(dt)) return;
    if (n < 2 || static_cast<std::size_t>(n) > std::min({v.size(), t.size(), std::size_t(kSplineCapacity)})) return;
    if (m < 1 || static_cast<std::size_t>(m) > sys.size()) return;
    SplineStorageBlock& s = splineStorageBlock();

    // The curve on the uniform step: work(204 + k) holds time k dt; before the first sample the
    // curve keeps its first value, and the leading cells stay 0 (no signal before time 0).
    std::fill(work.begin(), work.end(), 0.0f);
    std::fill_n(s.P.begin(), n, kTension);
    std::fill_n(s.Q.begin(), n, kTension);
    s.Y1[at(1)] = (v[at(2)] - v[at(1)]) / (t[at(2)] - t[at(1)]);
    s.Y1[at(n)] = (v[at(n)] - v[at(n - 1)]) / (t[at(n)] - t[at(n - 1)]);
    RASPL1(n, t, v, s.P, s.Q, s.Y1, s.Alpha, s.Beta, s.Gamma, s.Delta);
    work[at(lead + 1)] = v[at(1)];
    for (int k = 1; k <= nw - lead - 1; ++k)
        YSPLINE(n, t, static_cast<REAL>(double(k) * dt), s.Alpha, s.Beta, s.Gamma, s.Delta, work[at(lead + 1 + k)], s.P, s.Q);

    CONV(work, nw, sys, dt, dt, m);

    // Back onto the curve's times. Samples closer together than dt come from a spline through the
    // convolved cells; the cell of time (i - 1) dt is work(203 + i).
    int K = n;
    for (int i = 2; i <= n; ++i)
        if (double(t[at(i)]) - t[at(i - 1)] > dt) {
            K = i;
            break;
        }
    const int cells = std::min({truncated(double(t[at(K)]) / dt) + 2, kSplineCapacity, nw - lead});
    TGEN(s.UniformTimes, 1, dt, cells);
    for (int i = 1; i <= cells; ++i) s.Resampled[at(i)] = work[at(lead + i)];
    std::fill_n(s.P.begin(), cells, kTension);
    std::fill_n(s.Q.begin(), cells, kTension);
    s.Y1[at(1)] = (s.Resampled[at(2)] - s.Resampled[at(1)]) / dt;
    s.Y1[at(cells)] = (s.Resampled[at(cells)] - s.Resampled[at(cells - 1)]) / dt;
    RASPL1(cells, s.UniformTimes, s.Resampled, s.P, s.Q, s.Y1, s.Alpha, s.Beta, s.Gamma, s.Delta);
    for (int i = 1; i <= K; ++i) YSPLINE(cells, s.UniformTimes, t[at(i)], s.Alpha, s.Beta, s.Gamma, s.Delta, v[at(i)], s.P, s.Q);

    // The sparser samples lie between two cells: interpolate. The curve ends where the work
    // array does.
    for (int i = K + 1; i <= n; ++i) {
        const double steps = double(t[at(i)]) / dt;
        const int j = truncated(steps);
        if (j >= nw - lead - 1) {
            n = i - 1;
            break;
        }
        const double w = steps - j;
        v[at(i)] = static_cast<REAL>((1.0 - w) * work[at(lead + 1 + j)] + w * work[at(lead + 2 + j)]);
    }
}

void CURVCON(INTEGER nw)
{
    if (nw > kConvolutionCapacity || nw < kConvolutionLead + 2) {
        std::puts(" Error in CURVCON. Change array length.");
        std::puts(" Or reduce number of output points in OUTPUT MENU");
        std::fflush(stdout);
        WINMSG(EngineMessages::kConvolutionLength);
        return;
    }
    SystemResponseBlock& response = systemResponseBlock();
    if (response.Length < 1 || !(response.Step > 0.0f)) {
        WINMSG(EngineMessages::kNoSystemResponse);
        return;
    }
    EngineCurveBlock& curve = engineCurveBlock();
    INTEGER n = curve.SampleCount;
    SYSCONL(response.Work, nw, response.Step, response.Response, response.Length, curve.Values, curve.Times, n);
    curve.SampleCount = n;
}

void CURVNORM(REAL TxLength, REAL TxAmps, REAL area, REAL length)
{
    const EngineBlock& engine = engineBlock();
    EngineCurveBlock& curve = engineCurveBlock();
    const int n = std::clamp<INTEGER>(curve.SampleCount, 0, kMaxCurveSamples);
    const double moment = double(TxAmps) * TxLength;
    const double r = engine.Offset, sin = std::sin(double(engine.Angle));
    const INTEGER mode = engine.NormalisationMode;

    if (engine.FieldComponent == kFieldHz) {
        const bool perMoment = mode == 1;
        // No early-time resistivity where the factor would divide by a zero sine.
        const bool formed = perMoment || std::fabs(sin) >= 1.0e-6;
        const double scale = perMoment ? moment * area : double(engine.TwoPi) * r * r * r * r / (3.0 * sin);
        for (int i = 0; i < n; ++i) {
            auto& value = curve.Values[static_cast<std::size_t>(i)];
            value = formed ? static_cast<REAL>(scale * value) : kMissingValue;
            if (mode < 3) continue;
            const double e = std::fabs(double(value));
            const double t = curve.Times[static_cast<std::size_t>(i)];
            curve.NormalisedCurve[static_cast<std::size_t>(i)] =
                formed && e > 0.0 ? static_cast<REAL>(kLateTimeFactor * std::pow(std::pow(r, 5) / (std::pow(t, 2.5) * e), 2.0 / 3.0))
                                  : kMissingValue;
        }
    } else {
        const double scale = mode == 1 ? moment * length : moment;
        for (int i = 0; i < n; ++i) curve.Values[static_cast<std::size_t>(i)] = static_cast<REAL>(scale * curve.Values[static_cast<std::size_t>(i)]);
    }

    if (engine.TimeAxisMode == 2 && !engine.Parameters.empty()) {
        // The first layer's thickness sits after the NL resistivities; a half-space has none.
        const auto nl = static_cast<std::size_t>(std::max<INTEGER>(engine.LayerCount, 1));
        double h1 = nl < engine.Parameters.size() ? double(engine.Parameters[nl]) : 1.0;
        if (h1 <= 1.0e-6) h1 = 1.0;
        const double rho1 = engine.Parameters[0];
        for (int i = 0; i < n; ++i) {
            auto& t = curve.Times[static_cast<std::size_t>(i)];
            t = static_cast<REAL>(std::sqrt(double(engine.TwoPiE7) * t * rho1) / h1);
        }
    }
}
