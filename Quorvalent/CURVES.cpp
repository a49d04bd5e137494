#include "Quorvalent/CURVES.h"

#include <cmath>
#include <cstdio>

#include "Quorvalent/CalcLotem.h"
#include "Quorvalent/HZEXACT.h"
#include "Quorvalent/TRANSFOR.h"

namespace {

// REAL value of 10^0.1: the grid ratio of the closed-form and transform paths.
constexpr REAL kDecadeTenth = 1.2589254f;

// The Hankel walk stops a side once its terms fall below this share of the sum. Late in the
// window the time transform cancels the frequency kernels to a part in 10^3 and less of their
// size, so they must be good to well below the 1 % that the curve is to keep.
constexpr REAL kHankelTolerance = 1.0e-4f;

// Fortran's INT: truncation toward zero (so a negative logarithm rounds up). The caller keeps
// the argument finite and small.
INTEGER truncToward0(double x) { return static_cast<INTEGER>(std::trunc(x)); }

}  // namespace

EngineCurveBlock& engineCurveBlock()
{
    static EngineCurveBlock block;
    return block;
}

KernelSettingsBlock& kernelSettingsBlock()
{
    static KernelSettingsBlock block;
    return block;
}

std::optional<TimeGrid> timeGridOf(REAL t1, REAL t2)
{
    const REAL start = 1.001f * std::fabs(t1);
    const REAL end = 0.999f * std::fabs(t2);
    if (!(start > 0.0f) || !(end > 0.0f) || !std::isfinite(start) || !std::isfinite(end)) return std::nullopt;
    TimeGrid grid;
    grid.first = truncToward0(std::log10(start)) - 1;
    grid.last = truncToward0(std::log10(end)) + 1;
    grid.count = 2 + 10 * (grid.last - grid.first);
    return grid;
}

INTEGER NTIMES(REAL t1, REAL t2, INTEGER& first, INTEGER& last)
{
    const auto grid = timeGridOf(t1, t2);
    first = grid ? grid->first : 0;
    last = grid ? grid->last : 0;
    return grid ? grid->count : 0;
}

bool CALC_HALF(REAL t1, INTEGER n, std::span<REAL> times, std::span<REAL> values, REAL rho, REAL r, REAL angle)
{
    if (!(r > 0.0f) || !(rho > 0.0f) || !(t1 > 0.0f) || !(std::fabs(angle) > 1.0e-5f)) {
        std::puts(" CALC_HALF:Error on entry.");
        return false;
    }
    const auto count = static_cast<std::size_t>(std::max<INTEGER>(n, 0));
    if (count > times.size() || count > values.size()) return false;
    for (std::size_t i = 0; i < count; ++i) {
        times[i] = static_cast<REAL>(double(t1) * std::pow(double(kDecadeTenth), double(i)));
        HZEXACT(times[i], 1.0f, 1.0f, r, angle, rho, values[i]);
    }
    return true;
}

bool CURVE(REAL tstart, REAL tend)
{
    const EngineBlock& engine = engineBlock();
    KernelSettingsBlock& kernel = kernelSettingsBlock();
    EngineCurveBlock& curve = engineCurveBlock();

    kernel.Ex = toLogical(engine.FieldComponent == 1);
    kernel.Ey = toLogical(engine.FieldComponent == 2);
    kernel.Hz = toLogical(engine.FieldComponent == 3);
    kernel.HankelTolerance = kHankelTolerance;
    kernel.SineTolerance = 0.001f;
    kernel.R = engine.Offset;
    kernel.UnitMoment = 1.0f;
    kernel.RCubed = engine.Offset * engine.Offset * engine.Offset;
    kernel.Sin = std::sin(engine.Angle);
    kernel.Cos = std::cos(engine.Angle);
    if (std::fabs(kernel.Sin) < 1.0e-6f) kernel.Sin = 0.0f;
    if (std::fabs(kernel.Cos) < 1.0e-6f) kernel.Cos = 0.0f;
    kernel.LayerCount = engine.LayerCount;

    curve.SampleCount = 0;
    const auto grid = timeGridOf(tstart, tend);
    if (!grid || grid->count < 1 || grid->count > kMaxCurveSamples) return false;
    const REAL t1 = static_cast<REAL>(std::pow(10.0, grid->first));

    if (isTrue(kernel.Hz) && engine.LayerCount == 1 && !engine.Resistivities.empty()) {
        const REAL angleDegrees = engine.Angle * 180.0f / engine.Pi;
        if (!CALC_HALF(t1, grid->count, curve.Times, curve.Values, engine.Resistivities[0], engine.Offset, angleDegrees))
            return false;
        curve.SampleCount = grid->count;
        return true;
    }
    if (engine.Resistivities.empty()) return false;

    // Every other curve goes through the transforms; a fresh frequency grid for each curve.
    const INTEGER selector = isTrue(kernel.Hz) ? kSelectHz : isTrue(kernel.Ex) ? kSelectEx : kSelectEy;
    LOGICAL newGrid = kTrue;
    FTRANS(newGrid, t1, grid->count, curve.Times, curve.Values, selector);
    curve.SampleCount = grid->count;

    // The transforms give the transient part of the electric field; the switch-on field adds
    // the DC field of the first layer's half-space.
    if (!isTrue(kernel.Hz)) {
        const double rho1 = engine.Resistivities[0];
        const double s = kernel.Sin, c = kernel.Cos;
        const double w = isTrue(kernel.Ex) ? kernel.UnitMoment * rho1 * (2.0 - 3.0 * s * s) / (double(engine.TwoPi) * kernel.RCubed)
                                           : kernel.UnitMoment * rho1 * 3.0 * c * s / (double(engine.TwoPi) * kernel.RCubed);
        for (int i = 0; i < grid->count; ++i) curve.Values[static_cast<std::size_t>(i)] = static_cast<REAL>(std::fabs(w + curve.Values[static_cast<std::size_t>(i)]));
    }
    return true;
}
