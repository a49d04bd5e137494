#include "toolkit/graphics/PresentationGraphics.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "toolkit/foundation/ErrorReport.h"

PresentationState& presentationState()
{
    static PresentationState state;
    return state;
}

namespace {

bool bit(INTEGER flags, int n) { return ((flags >> n) & 1) != 0; }

bool isLog(std::string_view type)
{
    char c[3] = {' ', ' ', ' '};
    for (std::size_t i = 0; i < 3 && i < type.size(); ++i)
        c[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(type[i])));
    return std::string_view(c, 3) == "LOG";
}

// The style bits as decoded: index = bit number, kept for bits 0, 1, 3, 5, 6, 7, 9, 10, 11.
LOGICAL& styleBit(int n) { return presentationState().StyleBits[static_cast<std::size_t>(n)]; }

}  // namespace

REAL YYLog10Clamped(REAL x) { return x > 0.0f ? std::log10(x) : -38.0f; }

void YYPgApplyLog()
{
    PresentationState& p = presentationState();
    const bool flag0 = isTrue(styleBit(0));
    p.XLogActive = toLogical(isTrue(p.XLogRequested) && !isTrue(styleBit(6)) && p.GraphType != 1 && !flag0);
    p.YLogActive = toLogical(isTrue(p.YLogRequested) && p.GraphType != 2 && !flag0);
    if (isTrue(p.XLogActive)) {
        p.LogX1 = YYLog10Clamped(p.DataX1);
        p.LogX2 = YYLog10Clamped(p.DataX2);
        p.LogXRange = p.LogX2 - p.LogX1;
    }
    if (isTrue(p.YLogActive)) {
        p.LogY1 = YYLog10Clamped(p.DataY1);
        p.LogY2 = YYLog10Clamped(p.DataY2);
        p.LogYRange = p.LogY2 - p.LogY1;
        p.LogPolar = YYLog10Clamped(p.PolarScale);
        p.LogPolarOffset = p.LogPolar + 38.0f;
    }
}

void IPgArea(REAL x1, REAL y1, REAL x2, REAL y2)
{
    PresentationState& p = presentationState();
    // A NaN end has no range either.
    if (x1 == x2 || std::isnan(x1) || std::isnan(x2)) {
        p.DataX1 = 0.0f;
        p.DataX2 = 1.0f;
        YYErrorReport(16, "IPgArea");
    } else {
        p.DataX1 = x1;
        p.DataX2 = x2;
    }
    if (y1 == y2 || std::isnan(y1) || std::isnan(y2)) {
        p.DataY1 = 0.0f;
        p.DataY2 = 1.0f;
        YYErrorReport(16, "IPgArea");
    } else {
        p.DataY1 = y1;
        p.DataY2 = y2;
    }
    p.DataXRange = p.DataX2 - p.DataX1;
    p.DataYRange = p.DataY2 - p.DataY1;
    p.DataXMin = std::min(p.DataX1, p.DataX2);
    p.DataXMax = std::max(p.DataX1, p.DataX2);
    p.DataYMin = std::min(p.DataY1, p.DataY2);
    p.DataYMax = std::max(p.DataY1, p.DataY2);
    YYPgApplyLog();
}

void IPgUnitsZ(REAL zmin, REAL zmax)
{
    PresentationState& p = presentationState();
    if (zmin < zmax) {
        p.ZMin = zmin;
        p.ZMax = zmax;
    } else {
        p.ZMin = 0.0f;
        p.ZMax = 1.0f;
        YYErrorReport(16, "IPgUnitsZ");
    }
    p.ZRange = p.ZMax - p.ZMin;
}

void IPgUnitsPolar(REAL scale)
{
    PresentationState& p = presentationState();
    if (scale > 0.0f) {
        p.PolarScale = scale;
    } else {
        p.PolarScale = 1.0f;
        YYErrorReport(16, "IPgUnitsPolar");
    }
    YYPgApplyLog();
}

void IPgSubArea(REAL x1, REAL y1, REAL x2, REAL y2)
{
    PresentationState& p = presentationState();
    if (x1 >= 0.0f && x1 < 1.0f) p.SubAreaX1 = x1;
    if (y1 >= 0.0f && y1 < 1.0f) p.SubAreaY1 = y1;
    if (x2 > 0.0f && x2 <= 1.0f) p.SubAreaX2 = x2;
    if (y2 > 0.0f && y2 <= 1.0f) p.SubAreaY2 = y2;
}

void IPgLogAxes(std::string_view xType, std::string_view yType)
{
    PresentationState& p = presentationState();
    p.XLogRequested = toLogical(isLog(xType));
    p.YLogRequested = toLogical(isLog(yType));
    YYPgApplyLog();
}

void IPgNewGraph(INTEGER type, INTEGER sets, std::initializer_list<INTEGER> points, std::optional<INTEGER> flags,
                 std::optional<INTEGER> preset)
{
    PresentationState& p = presentationState();
    const auto count = [&](std::size_t k) { return k < points.size() ? *(points.begin() + k) : 0; };
    p.DataSets = std::clamp(sets, 1, 500);
    p.Points = std::max(count(0), 1);
    p.PointsReal = static_cast<REAL>(p.Points);
    p.PointsLess1 = p.PointsReal - 1.0f;
    p.GraphType = (type >= 1 && type <= 11) ? type : 4;
    const std::size_t wanted = static_cast<std::size_t>(p.DataSets);
    if (p.GraphType == 3 && p.SetRecords.size() < wanted) p.SetRecords.assign(wanted, {});
    if ((p.GraphType == 4 || p.GraphType == 6) && p.SetWordsA.size() < wanted) {
        p.SetWordsA.assign(wanted, 0);
        p.SetWordsB.assign(wanted, 0);
    }

    p.StyleFlags = flags.value_or(0);
    const INTEGER f = p.StyleFlags;
    p.StyleBits.fill(kFalse);
    for (int n : {0, 1, 3, 5, 6, 7, 9, 10, 11}) styleBit(n) = toLogical(bit(f, n));
    if (p.GraphType == 3 || p.GraphType == 4 || p.GraphType == 9 || p.GraphType == 11) styleBit(0) = kFalse;
    p.StyleChoice = bit(f, 2) ? 1 : bit(f, 8) ? 2 : bit(f, 4) ? 3 : 0;
    if (isTrue(styleBit(5)) && p.GraphType == 1) styleBit(0) = styleBit(10) = kFalse;
    if (isTrue(styleBit(0))) styleBit(6) = kFalse;

    const bool paired = isTrue(styleBit(0)) && ((p.GraphType >= 5 && p.GraphType <= 8) || p.GraphType == 10);
    if (paired || p.GraphType == 8 || p.GraphType == 10) {
        p.Points = std::max(count(0), 2);
        p.PointsReal = static_cast<REAL>(p.Points);
        p.PointsLess1 = p.PointsReal - 1.0f;
        p.SecondCount = (p.GraphType == 6 || p.GraphType == 7) ? p.Points : std::max(count(1), 2);
        if (p.GraphType == 10) p.ThirdCount = std::max(count(2), 2);
        p.SecondReal = static_cast<REAL>(p.SecondCount);
        p.SecondLess1 = p.SecondReal - 1.0f;
        if (isTrue(styleBit(0))) {
            if (!isTrue(styleBit(9))) p.SetOffset = 0.5f;
            else if (p.SecondCount < p.Points) p.SetOffset = 1.0f - p.SecondReal * 0.5f / p.PointsReal;
            else p.SetOffset = p.PointsReal * 0.5f / p.SecondReal;
        }
    }
    p.SizeFraction = std::min(0.6f / p.PointsReal, 0.25f);
    YYPgApplyLog();

    if (preset.value_or(0) == 0) return;
    // The drawing presets belong to the drawing routines; the tables get their plain defaults.
    for (INTEGER j = 1; j <= p.DataSets; ++j) {
        const std::size_t k = static_cast<std::size_t>(j - 1);
        p.SetStyle[k] = {4, 2, 0};
        p.SetColours[k] = {(j % 6) * 32 + 32, (j % 6) * 32 + 64};
        p.SetWord[k] = -1;
    }
    if (p.GraphType == 4) {
        if (p.Points <= 12) {
            p.StepValue = 1;
        } else {
            INTEGER power = 1, e = 0;
            while (p.Points / power > 10) {
                power *= 10;
                ++e;
            }
            const INTEGER l = p.Points / power, lower = power / 10;
            p.StepValue = l <= 2 ? 2 * lower : l <= 6 ? 5 * lower : power;
            (void)e;
        }
    }
}

void IPgNewPlot(INTEGER type, INTEGER sets, std::initializer_list<INTEGER> points, std::optional<INTEGER> flags,
                std::optional<INTEGER> preset)
{
    IPgNewGraph(type, sets, points, flags, preset);
}

void YYPresentationReset()
{
    PresentationState& p = presentationState();
    p.SubAreaX1 = p.SubAreaY1 = 0.1f;
    p.SubAreaX2 = p.SubAreaY2 = 0.9f;
    p.ZMin = 0.0f;
    p.ZMax = 1.0f;
    p.ZRange = 1.0f;
    p.PolarScale = 1.0f;
    IPgArea(0.0f, 0.0f, 1.0f, 1.0f);
    IPgNewGraph(4, 500, {1});
    for (INTEGER j = 1; j <= 500; ++j) {
        const std::size_t k = static_cast<std::size_t>(j - 1);
        p.SetStyle[k] = {4, 2, 0};
        p.SetColours[k] = {(j % 6) * 32 + 32, (j % 6) * 32 + 64};
        p.SetWord[k] = -1;
    }
}
