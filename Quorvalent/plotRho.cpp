#include "Quorvalent/plotRho.h"

#include <algorithm>
#include <cmath>

#include "Quorvalent/AppState.h"
#include "Quorvalent/SuiteSoundings.h"
#include "Quorvalent/SuiteState.h"
#include "WBRVLib/Brvl95.h"
#include "WBRVLib/Gngrid.h"
#include "WBRVLib/Plotxy.h"
#include "WBRVLib/ToolkitLink.h"

namespace {

// Only two curve frames exist; a larger count draws those two.
INTEGER curveFrameCount(const SoundingRecord& sounding) { return std::clamp(sounding.Data.GraphCount, 0, 2); }

// Samples of a response column that both the sample times and the response hold.
INTEGER drawableSamples(const SoundingRecord& sounding)
{
    const SoundingDataRecord& d = sounding.Data;
    // A sounding made without time columns (the program's first one) holds no times.
    if (!d.SampleTimes.allocated() || d.SampleTimes.extent2() < 1 || !sounding.ResponseValues.allocated() ||
        sounding.ResponseValues.extent2() < 1)
        return 0;
    return std::max(0, std::min({d.PointCount, d.SampleTimes.extent1(), sounding.ResponseValues.extent1()}));
}

bool sameType(const SoundingRecord& sounding, std::string_view type) { return sounding.Data.SoundingType == type; }

}  // namespace

CurveGraphFrames& curveGraphFrames()
{
    static CurveGraphFrames frames;
    return frames;
}

const AxisTitle& valueAxisTitle(INTEGER displayKind)
{
    if (displayKind == kDisplayReceivedVoltage) return axisTitleTable().row(32);
    if (displayKind == kDisplayElectricField) return suiteTitleTable().row(10);
    return axisTitleTable().row(37);
}

void SCALE_X(GraphFrameRecord& frame, const SoundingRecord& sounding, const SoundingRecord& /*unused*/)
{
    REAL low = 9.0e29f, high = -1.1e30f;
    const SoundingDataRecord& d = sounding.Data;
    if (d.SampleTimes.allocated() && d.SampleTimes.extent2() >= 1) {
        const INTEGER n = std::min(d.PointCount, d.SampleTimes.extent1());
        if (n > 0) GETNX(&d.SampleTimes(1, 1), n, low, high);
    }
    INTEGER first = 0, last = 0;
    LOGNX(low, high, first, last);
    frame.MinorX = first;
    frame.StepsX = std::max(last - first, 1);
    frame.setLogarithmic(FrameAxis::X, true);
}

void SCALE_Y_MINMAX(const SoundingRecord& sounding, REAL& minimum, REAL& maximum, INTEGER firstColumn,
                    INTEGER lastColumn, INTEGER columnStep, LOGICAL logarithmic, INTEGER skip)
{
    if (skip != 0 || columnStep == 0) return;
    if ((lastColumn - firstColumn + columnStep) / columnStep <= 0) return;
    if (!isTrue(sounding.ResponseComputed) || !sounding.ResponseValues.allocated() ||
        sounding.ResponseValues.extent2() < 1)
        return;
    // Only the first column enters, whatever range the caller names: for display kinds 4 and 6 the
    // autoscale makes up for the late-time columns with one decade.
    const INTEGER n = std::min(sounding.Data.PointCount, sounding.ResponseValues.extent1());
    if (n <= 0) return;
    if (isTrue(logarithmic))
        GETNX(&sounding.ResponseValues(1, 1), n, minimum, maximum);
    else
        FINDNX(&sounding.ResponseValues(1, 1), n, minimum, maximum);
}

void SCALESUITEY(INTEGER k)
{
    if (k != 1 && k != 2) return;
    GraphFramePair& frames = curveGraphFrames().Frames;
    GraphFrameRecord& f = frames[static_cast<std::size_t>(k - 1)];
    const SuiteState& suite = suiteState();
    const INTEGER graphs = suiteSoundingRecord().Record.Data.GraphCount;
    if (isTrue(systemRecord().LogData)) {
        INTEGER first = 0, last = 0;
        LOGNX(suite.CurveValueMin, suite.CurveValueMax, first, last);
        f.MinorY = first;
        f.StepsY = std::max(last - first, 1);
        f.setLogarithmic(FrameAxis::Y, true);
    } else {
        LINNX(suite.CurveValueMin, suite.CurveValueMax, f.FirstTickY, f.StepY, f.StepsY, f.MinorY);
        f.LogY = kFalse;
    }
    if (k == 1) {
        f.NumberBottom = toLogical(graphs == 1);
        f.NumberLeft = kTrue;
        f.NumberRight = kFalse;
        f.NumberTop = kFalse;
        f.OriginX = 1.25f;
        f.OriginY = 1.25f;
        f.LengthX = 5.0f / static_cast<REAL>(f.StepsX);
        if (graphs == 2) {
            f.LengthY = 4.0f / static_cast<REAL>(f.StepsY);
            f.OriginY = 3.25f;
        } else {
            f.LengthY = 6.0f / static_cast<REAL>(f.StepsY);
        }
    } else {
        COPYXAXIS(f, frames[0]);
        f.NumberBottom = kTrue;
        f.NumberLeft = kTrue;
        f.NumberRight = kFalse;
        f.NumberTop = kFalse;
        f.OriginY = 1.25f;
        f.LengthY = (graphs == 2 ? 2.0f : 6.0f) / static_cast<REAL>(f.StepsY);
    }
}

void curveGraphAutoscale()
{
    SoundingRecord& suite = suiteSoundingRecord().Record;
    GraphFrameRecord& f = curveGraphFrames().Frames[0];
    SCALE_X(f, suite, suite);
    // Frame 1 is scaled also before any suite (no graphs yet), so that no frame is left without a
    // value axis for the mapping to divide by.
    for (INTEGER k = 1; k <= std::max(curveFrameCount(suite), 1); ++k) SCALESUITEY(k);
    // Only the early-time column entered the value range: the late-time (and all-time) values lie
    // higher, so the decades move up by one. A linear axis has no decades to move.
    const INTEGER kind = systemRecord().DisplayKind;
    if ((kind == kDisplayEarlyLateRho || kind == kDisplayEarlyLateAllTimeRho) && isTrue(f.LogY)) f.MinorY += 1;
}

void PLOT_RHO(GraphFramePair& frames, SoundingRecord& sounding, SoundingRecord& companion, INTEGER /*code*/,
              LOGICAL skip, LOGICAL /*a*/, LOGICAL /*b*/, LOGICAL /*c*/)
{
    // The screen start clears the window to white; while printing, the job the refresh opened stays.
    PLOTXY(1.0f, 0.0f, kPenStart, frames[0]);
    if (sounding.Data.PointCount <= 0) return;
    const PlotSettingsState& settings = plotSettingsState();
    IGrLineThickness(settings.LineWidth, 5 * settings.LineWidth, std::nullopt);

    GraphOptionsState& options = graphOptionsState();
    static constexpr std::string_view kOwnColumnTypes[] = {
        "Marine TEM XLine H  ", "Marine TEM Inline E ", "Marine TEM B-Side E ", "Marine FEM Inline E ",
        "Marine FEM B-Side E "};
    static constexpr std::string_view kKeptTypes[] = {
        "Grounded Wire TEM   ", "Fixed Loop TEM      ", "Central Loop TEM    ", "Coincident Loop TEM "};
    if (std::any_of(std::begin(kOwnColumnTypes), std::end(kOwnColumnTypes),
                    [&](std::string_view t) { return sameType(sounding, t); }))
        options.VoltageReadout = sounding.Data.ExtraColumns;
    else if (std::none_of(std::begin(kKeptTypes), std::end(kKeptTypes),
                          [&](std::string_view t) { return sameType(sounding, t); }))
        options.VoltageReadout = kFalse;

    const AxisTitle valueTitle = valueAxisTitle(systemRecord().DisplayKind);
    const AxisTitle timeTitle = axisTitleTable().row(4);
    for (INTEGER k = 1; k <= curveFrameCount(sounding); ++k) {
        GraphFrameRecord& f = frames[static_cast<std::size_t>(k - 1)];
        const REAL w = static_cast<REAL>(f.StepsX) * f.LengthX;
        const REAL h = static_cast<REAL>(f.StepsY) * f.LengthY;
        f.TickCap = kTrue;
        f.MaxTick = 0.16f;
        f.LeftmostX = f.RightmostX = f.LowestY = 0.0f;
        PLOTXY(f.OriginX, f.OriginY, -kPenMove, f);
        SET_PEN(settings.KGRID);
        GNGRID(f);
        FINDAS(f);
        if (k == 1) {
            const FixedText<24>& title = sounding.Data.Title;
            CENTSY(w / 2.0f, h + 0.75f * settings.HICNAME, settings.HICNAME, title.view(), 0.0f,
                   static_cast<INTEGER>(title.usedLength()));
        }
        const INTEGER n = static_cast<INTEGER>(valueTitle.usedLength());
        if (isTrue(f.NumberLeft))
            CENTSY(f.LeftmostX - 0.5f * settings.HIDATV + settings.OFFDATV, h / 2.0f, settings.HIDATV, valueTitle.view(),
                   90.0f, n);
        if (isTrue(f.NumberRight))
            CENTSY(f.RightmostX + 0.5f * settings.HIDATV - settings.OFFDATV, h / 2.0f, settings.HIDATV,
                   valueTitle.view(), 90.0f, n);
        if (isTrue(f.NumberBottom))
            CENTSY(w / 2.0f, f.LowestY - 1.5f * settings.HIDATH + settings.OFFDATH, settings.HIDATH, timeTitle.view(),
                   0.0f, static_cast<INTEGER>(timeTitle.usedLength()));
    }
    PLOTRHOCURVES(frames, sounding, companion, skip, kTrue);
}

void PLOTRHOCURVES(GraphFramePair& frames, SoundingRecord& sounding, SoundingRecord& /*companion*/, LOGICAL skip,
                   LOGICAL colour)
{
    if (isTrue(skip)) return;
    const INTEGER kind = systemRecord().DisplayKind;
    const INTEGER lastColumn = kind == kDisplayEarlyLateRho ? 2 : kind == kDisplayEarlyLateAllTimeRho ? 3 : 1;
    for (INTEGER k = 1; k <= curveFrameCount(sounding); ++k) {
        GraphFrameRecord& f = frames[static_cast<std::size_t>(k - 1)];
        PLOTXY(f.OriginX, f.OriginY, -kPenMove, f);
        // Outlines drawn with this frame afterwards (the label highlight) are rectangles.
        f.SymbolKind = 0;
        if (isTrue(colour)) SET_PEN(plotSettingsState().KBEST);
        if (!isTrue(sounding.ResponseComputed)) continue;
        const INTEGER n = drawableSamples(sounding);
        if (n <= 0) continue;
        // A response with fewer columns than the display kind names (a suite computed for another
        // kind) draws the columns it has.
        const INTEGER columns = std::min(lastColumn, sounding.ResponseValues.extent2());
        for (INTEGER j = 1; j <= columns; ++j)
            GNPLOT(&sounding.Data.SampleTimes(1, 1), &sounding.ResponseValues(1, j), n, kFalse, f);
    }
}

void SCALE_X_MINMAX(const SoundingRecord& sounding, REAL& minimum, REAL& maximum)
{
    const SoundingDataRecord& d = sounding.Data;
    if (!d.SampleTimes.allocated() || d.SampleTimes.extent2() < 1) return;
    const INTEGER n = std::min(d.PointCount, d.SampleTimes.extent1());
    if (n > 0) FINDNX(&d.SampleTimes(1, 1), n, minimum, maximum);
}

void SCALE_Y(GraphFrameRecord& frame, const SoundingRecord& sounding, INTEGER firstColumn, INTEGER lastColumn,
             const LOGICAL* logFlags, INTEGER skip)
{
    if (skip != 0 || !sounding.ResponseValues.allocated()) return;
    const INTEGER n = std::min(sounding.Data.PointCount, sounding.ResponseValues.extent1());
    const INTEGER first = std::max(firstColumn, 1), last = std::min(lastColumn, sounding.ResponseValues.extent2());
    if (n <= 0 || first > last) return;
    // The axis kind follows the first column chosen.
    const bool logarithmic = logFlags == nullptr || isTrue(logFlags[first - firstColumn]);
    REAL low = 1.0e20f, high = -1.0e20f;
    for (INTEGER j = first; j <= last; ++j) {
        if (logarithmic)
            GETNX(&sounding.ResponseValues(1, j), n, low, high);
        else
            FINDNX(&sounding.ResponseValues(1, j), n, low, high);
    }
    if (logarithmic) {
        INTEGER e1 = 0, e2 = 0;
        LOGNX(low, high, e1, e2);
        frame.MinorY = e1;
        frame.StepsY = std::max(e2 - e1, 1);
        frame.setLogarithmic(FrameAxis::Y, true);
        return;
    }
    if (sameType(sounding, "Controlled Source MT") || sameType(sounding, "Magnetotelluric Data") ||
        sameType(sounding, "MT Data xy, yx, inv.")) {
        // Phases: 0 to 90 degrees in two steps of 45.
        frame.FirstTickY = 0.0f;
        frame.StepY = 45.0f;
        frame.StepsY = 2;
        frame.MinorY = 9;
    } else {
        LINNX(low, high, frame.FirstTickY, frame.StepY, frame.StepsY, frame.MinorY);
    }
    frame.LogY = kFalse;
}

REAL EFFDEPTH(REAL a, REAL b, std::string_view mode)
{
    constexpr REAL kExpMinus2 = 0.135335f, kFourExpMinus2 = 0.54134f, kExpMinus1 = 0.367879f;
    const REAL r = b / a;
    if (!mode.empty() && mode[0] == 'V')
        return a * std::sqrt((4.0f * r * r + 1.0f - kExpMinus2) / kFourExpMinus2) - b;
    const REAL u = kExpMinus1 * (std::sqrt(4.0f * r * r + 1.0f) - 2.0f * r);
    return a * (1.0f - u * u) / (4.0f * u) - b;
}

void PLOTPREP(REAL* vector, const REAL* matrix, INTEGER n, INTEGER column, const SoundingRecord& sounding)
{
    if (!isTrue(sounding.ResponseComputed) || n <= 0 || column < 1) return;
    const REAL* from = matrix + static_cast<std::ptrdiff_t>(column - 1) * n;
    std::copy(from, from + n, vector);
}
