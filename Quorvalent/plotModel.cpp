#include "Quorvalent/plotModel.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "Quorvalent/AppState.h"
#include "Quorvalent/PlotSettings.h"
#include "Quorvalent/SuiteSoundings.h"
#include "Quorvalent/SuiteState.h"
#include "WBRVLib/Gngrid.h"
#include "WBRVLib/Plotxy.h"
#include "WBRVLib/Strings.h"
#include "WBRVLib/ToolkitLink.h"

namespace {

bool depthsInFeet() { return isTrue(graphOptionsState().DepthInFeet); }

// A depth in metres in the units of the depth axis.
REAL depthOnAxis(REAL metres) { return depthsInFeet() ? metres / kMetresPerFoot : metres; }

// The model's parameters hold the layer values of every value set and the boundaries; a model
// without them all is not drawn.
bool modelComplete(const LayerModelRecord& m)
{
    if (m.NLayer <= 0 || m.ValuesPerLayer <= 0 || m.ParameterCount <= 0 || !m.Parameters.allocated()) return false;
    const INTEGER needed = m.NLayer * m.ValuesPerLayer + m.NLayer - 1;
    return m.ParameterCount >= needed && m.Parameters.extent1() >= needed;
}

INTEGER panelCountFor(const LayerModelRecord& m, bool limitToTwo)
{
    if (m.ModelSwitch2 > 0 && (!limitToTwo || m.ValuesPerLayer <= 2)) return std::clamp(m.ValuesPerLayer, 1, 2);
    return 1;
}

REAL width(const GraphFrameRecord& f) { return static_cast<REAL>(f.StepsX) * f.LengthX; }
REAL height(const GraphFrameRecord& f) { return static_cast<REAL>(f.StepsY) * f.LengthY; }

// Top and bottom of the depth axis, and the clip window, for drawing a model in panel f.
struct DepthWindow {
    REAL Top = 0, Bottom = 0;
};

DepthWindow prepareModelPanel(GraphFrameRecord& f)
{
    PLOTXY(f.OriginX, f.OriginY, -kPenMove, f);
    const REAL w = width(f), h = height(f);
    DepthWindow d;
    if (isTrue(plotSettingsState().LMODONDAT)) {
        PCLIP(-0.01f, w + 0.01f, -0.01f, h + 0.01f);
        d.Top = std::pow(10.0f, static_cast<REAL>(f.MinorX));
        d.Bottom = std::pow(10.0f, static_cast<REAL>(f.MinorX + f.StepsX));
    } else if (isTrue(f.LogY)) {
        PCLIP(-0.01f, w + 0.01f, h - 0.01f, 0.01f);
        d.Top = std::pow(10.0f, static_cast<REAL>(f.MinorY));
        d.Bottom = std::pow(10.0f, static_cast<REAL>(f.MinorY + f.StepsY));
    } else {
        PCLIP(-0.01f, w + 0.01f, -0.01f, h + 0.01f);
        d.Top = 0.0f;
        d.Bottom = f.StepY < 0.0f ? f.FirstTickY : f.FirstTickY + static_cast<REAL>(f.StepsY) * f.StepY;
    }
    return d;
}

// One model of value set p as a dashed line in panel f (the dashes look solid with gap 0.0001).
void drawModelLine(const LayerModelRecord& m, INTEGER p, const DepthWindow& d, GraphFrameRecord& f, REAL dash, REAL gap)
{
    const INTEGER nl = m.NLayer, v = m.ValuesPerLayer;
    std::vector<REAL> x(static_cast<std::size_t>(2 * nl)), y(static_cast<std::size_t>(2 * nl));
    INTEGER n = 0;
    const REAL* p1 = &m.Parameters(1);
    MDL2LIN(d.Top, d.Bottom, x.data(), y.data(), n, p1 + (p - 1) * nl, p1 + nl * v, nl, m.DepthEntry);
    if (n <= 0) return;
    y[static_cast<std::size_t>(n - 1)] = d.Bottom;
    if (isTrue(plotSettingsState().LMODONDAT))
        DS_PLOT(y.data(), x.data(), n, dash, gap, f);
    else
        DS_PLOT(x.data(), y.data(), n, dash, gap, f);
}

// A sounding's alternative sections (when asked for and present), then its model, in panel f.
void drawSoundingModel(SoundingRecord& s, INTEGER p, const DepthWindow& d, GraphFrameRecord& f, LOGICAL sections,
                       INTEGER modelPen)
{
    LayerModelRecord& m = s.Model;
    if (!modelComplete(m)) return;
    const PlotSettingsState& settings = plotSettingsState();
    const std::vector<REAL> saved(&m.Parameters(1), &m.Parameters(1) + m.ParameterCount);
    const INTEGER count = m.ParameterCount;
    const bool alternatives = isTrue(sections) && isTrue(s.ExtraModels) && s.ExtraMatrix.allocated() &&
                              m.ParameterFlags1.allocated();
    if (alternatives) {
        const INTEGER nl = m.NLayer, v = m.ValuesPerLayer;
        const INTEGER rows = std::min(2 * count, s.ExtraMatrix.extent1());
        const INTEGER columns = std::min(count, s.ExtraMatrix.extent2());
        for (INTEGER j = 1; j <= rows; ++j) {
            const INTEGER flag = (j + 1) / 2;
            if (flag > m.ParameterFlags1.extent1() || isTrue(m.ParameterFlags1(flag))) continue;
            for (INTEGER i = 1; i <= columns; ++i) m.Parameters(i) = s.ExtraMatrix(j, i);
            if (isTrue(m.DepthEntry))
                for (INTEGER i = nl * v + 2; i <= std::min(columns, nl * v + nl - 1); ++i)
                    m.Parameters(i) = m.Parameters(i - 1) + s.ExtraMatrix(j, i);
            SET_PEN(settings.KEQUV);
            drawModelLine(m, p, d, f, 0.03f, 0.07f);
        }
        std::copy(saved.begin(), saved.end(), &m.Parameters(1));
    }
    SET_PEN(modelPen);
    drawModelLine(m, p, d, f, 0.03f, 0.0001f);
    std::copy(saved.begin(), saved.end(), &m.Parameters(1));
}

REAL pageX(INTEGER ix) { return static_cast<REAL>(ix) * 10.0f / 10000.0f; }
REAL pageY(INTEGER iy) { return static_cast<REAL>(10000 - iy) * 8.0f / 10000.0f; }

}  // namespace

ModelGraphFrames& modelGraphFrames()
{
    static ModelGraphFrames frames;
    return frames;
}

INTEGER& modelPanelCount()
{
    static INTEGER count = 1;
    return count;
}

void SCALE_MDL_MINMAX(const SoundingRecord& sounding, LOGICAL extra, std::array<REAL, 4>& valueMin,
                      std::array<REAL, 4>& valueMax, REAL& depthMin, REAL& depthMax, REAL& elevationMin,
                      REAL& elevationMax)
{
    const LayerModelRecord& m = sounding.Model;
    const REAL surface = sounding.Data.SurfaceElevation();
    elevationMax = std::max(elevationMax, surface);
    if (!modelComplete(m)) return;
    const INTEGER nl = m.NLayer, v = std::min(m.ValuesPerLayer, 4);
    const REAL* p = &m.Parameters(1);
    for (INTEGER set = 1; set <= v; ++set) {
        const std::size_t q = static_cast<std::size_t>(set - 1);
        if (nl > 1) {
            REAL z = 0.0f;
            if (isTrue(m.DepthEntry)) {
                z = p[nl * m.ValuesPerLayer + nl - 2];
            } else {
                for (INTEGER i = 1; i <= nl - 1; ++i) z += p[nl * m.ValuesPerLayer + i - 1];
            }
            depthMax = std::max(depthMax, z);
            elevationMin = std::min(elevationMin, surface - z);
            depthMin = std::min(depthMin, p[nl * m.ValuesPerLayer]);
        }
        GETNX(p + (set - 1) * nl, nl, valueMin[q], valueMax[q]);
        if (isTrue(extra) && isTrue(sounding.ExtraModels) && sounding.ExtraMatrix.allocated()) {
            const AllocArray<REAL>& e = sounding.ExtraMatrix;
            for (INTEGER row = 1; row <= e.extent1(); ++row) {
                for (INTEGER layer = 1; layer <= nl && (set - 1) * nl + layer <= e.extent2(); ++layer) {
                    const REAL value = e(row, (set - 1) * nl + layer);
                    GETNX(&value, 1, valueMin[q], valueMax[q]);
                }
                if (nl > 1 && nl * m.ValuesPerLayer + 1 <= e.extent2())
                    depthMin = std::min(depthMin, e(row, nl * m.ValuesPerLayer + 1));
            }
            depthMax = std::max(depthMax, sounding.DepthExtent);
            elevationMin = std::min(elevationMin, surface - sounding.DepthExtent);
        }
    }
}

void SCALEMODELS(GraphFramePair& frames, const SoundingRecord& sounding, std::array<REAL, 4>& valueMin,
                 std::array<REAL, 4>& valueMax, REAL& depthMin, REAL& depthMax)
{
    // A sounding without a model (before any suite) still gets a panel scaled from the ranges, so
    // that no frame is left without steps.
    const INTEGER sets = std::clamp(sounding.Model.ValuesPerLayer, 1, 4);
    for (INTEGER p = 1; p <= sets; ++p) {
        const INTEGER q = std::min(p, std::clamp(modelPanelCount(), 1, 2));
        GraphFrameRecord& f = frames[static_cast<std::size_t>(q - 1)];
        const std::size_t vq = static_cast<std::size_t>(q - 1);
        if (q == 1) {
            INTEGER first = 0, last = 0;
            LOGNX(valueMin[vq], valueMax[vq], first, last);
            f.MinorX = first;
            f.StepsX = std::max(last - first, 1);
            f.setLogarithmic(FrameAxis::X, true);
        } else {
            LINNX(valueMin[vq], valueMax[vq], f.FirstTickX, f.StepX, f.StepsX, f.MinorX);
            f.LogX = kFalse;
        }
        if (isTrue(sounding.ExtraModels)) depthMax = std::max(depthMax, sounding.DepthExtent);
        if (!(depthMin < depthMax)) {
            depthMin = 125.0f;
            depthMax = 500.0f;
        }
        // The ranges stay in metres; the axis carries the depths in the units the lines are drawn in.
        REAL lo = depthOnAxis(0.9f * depthMin);
        const REAL hi = depthOnAxis(1.1f * depthMax);
        if (isTrue(graphOptionsState().LinearDepth)) {
            lo = 0.0f;
            LINNX(lo, hi, f.FirstTickY, f.StepY, f.StepsY, f.MinorY);
            f.LogY = kFalse;
        } else {
            INTEGER first = 0, last = 0;
            LOGNX(lo, hi, first, last);
            f.MinorY = first;
            f.StepsY = std::max(last - first, 1);
            f.setLogarithmic(FrameAxis::Y, true);
        }
    }
}

void MODINCH(GraphFramePair& frames, INTEGER panels)
{
    const auto layout = [](GraphFrameRecord& f, REAL originX, REAL widthInches, bool numberLeft) {
        f.StepsX = std::max(f.StepsX, 1);
        f.StepsY = std::max(f.StepsY, 1);
        f.OriginX = originX;
        f.OriginY = 1.25f;
        f.LengthX = widthInches / static_cast<REAL>(f.StepsX);
        const REAL l = 6.0f / static_cast<REAL>(f.StepsY);
        f.LengthY = l;
        f.ClipLowX = -0.01f;
        f.ClipHighX = widthInches + 0.01f;
        f.ClipLowY = -0.01f;
        f.ClipHighY = 6.01f;
        f.NumberBottom = kTrue;
        f.NumberLeft = toLogical(numberLeft);
        f.NumberRight = kFalse;
        f.NumberTop = kFalse;
        // Depth grows downwards: a logarithmic axis starts at the top with its first decade; a
        // linear one counts down from its largest depth at the bottom.
        if (isTrue(f.LogY)) {
            f.OriginY = 1.25f + std::fabs(l) * static_cast<REAL>(f.StepsY);
            f.LengthY = -std::fabs(l);
        } else {
            f.FirstTickY += static_cast<REAL>(f.StepsY) * f.StepY;
            f.StepY = -f.StepY;
        }
    };
    GraphFrameRecord& f1 = frames[0];
    layout(f1, 7.25f, 2.5f, true);
    if (panels > 1) {
        f1.LengthX = 1.25f / static_cast<REAL>(f1.StepsX);
        f1.ClipHighX = 1.26f;
        layout(frames[1], 8.5f, 1.25f, false);
    }
}

void modelGraphAutoscale()
{
    SuiteState& suite = suiteState();
    GraphFramePair& frames = modelGraphFrames().Frames;
    SCALEMODELS(frames, suiteSoundingRecord().Record, suite.ModelValueMin, suite.ModelValueMax, suite.ModelDepthMin,
                suite.ModelDepthMax);
    if (isTrue(suite.LDifference))
        SCALEMODELS(frames, secondModelSoundingRecord().Record, suite.ModelValueMin, suite.ModelValueMax,
                    suite.ModelDepthMin, suite.ModelDepthMax);
    MODINCH(frames, 1);
}

void PLTMDL(SoundingRecord& sounding, SoundingRecord& second, GraphFramePair& frames, LOGICAL drawFirst,
            LOGICAL sectionsFirst, LOGICAL drawSecond, LOGICAL sectionsSecond)
{
    if (sounding.Model.NLayer <= 0 && second.Model.NLayer <= 0) return;
    const PlotSettingsState& settings = plotSettingsState();
    IGrLineThickness(settings.LineWidth, 5 * settings.LineWidth, std::nullopt);
    modelPanelCount() = panelCountFor(sounding.Model, true);

    AxisTitle depthTitle = axisTitleTable().row(31);
    if (depthsInFeet() || sounding.Data.DepthUnitText == "(feet)") {
        std::string text(depthTitle.view());
        IRPLPT(text, static_cast<INTEGER>(text.size()), "(m)", 3, "(ft)", 4);
        depthTitle.assign(text);
    }
    for (INTEGER panel = 1; panel <= modelPanelCount(); ++panel) {
        GraphFrameRecord& f = frames[static_cast<std::size_t>(panel - 1)];
        const REAL w = width(f), h = height(f);
        f.TickCap = kTrue;
        f.MaxTick = 0.16f;
        if (isTrue(settings.LMODONDAT)) {
            PLOTXY(f.OriginX, f.OriginY, -kPenMove, f);
            continue;
        }
        SET_PEN(settings.KGRID);
        f.LeftmostX = f.RightmostX = f.LowestY = 0.0f;
        PLOTXY(f.OriginX, f.OriginY, -kPenMove, f);
        GNGRID(f);
        FINDAS(f);
        const INTEGER n = static_cast<INTEGER>(depthTitle.usedLength());
        if (isTrue(f.NumberLeft))
            CENTSY(f.LeftmostX - 0.5f * settings.HIMODV + settings.OFFMODV, h / 2.0f, settings.HIMODV,
                   depthTitle.view(), 90.0f, n);
        if (isTrue(f.NumberRight))
            CENTSY(f.RightmostX + 0.5f * settings.HIMODV - settings.OFFMODV, h / 2.0f, settings.HIMODV,
                   depthTitle.view(), 90.0f, n);
        if (isTrue(f.NumberBottom)) {
            const AxisTitle& title = sounding.Data.SoundingType == "EM Conductivity Data" ? axisTitleTable().row(19)
                                     : panel == 1 || sounding.Model.ModelSwitch1 > 0     ? axisTitleTable().row(30)
                                                                                         : axisTitleTable().row(24);
            CENTSY(w / 2.0f, f.LowestY - 1.5f * settings.HIMODH + settings.OFFMODH, settings.HIMODH, title.view(), 0.0f,
                   static_cast<INTEGER>(title.usedLength()));
        }
        if (isTrue(f.LogY)) {
            f.LengthY = -std::fabs(f.LengthY);
            FINDASY(f);
            PCLIP(-0.01f, w + 0.01f, h - 0.01f, 0.01f);
        }
    }
    PLOTMODELSECTIONS(sounding, second, frames, drawFirst, sectionsFirst, drawSecond, sectionsSecond);
}

void PLOTMODELSECTIONS(SoundingRecord& sounding, SoundingRecord& second, GraphFramePair& frames, LOGICAL drawFirst,
                       LOGICAL sectionsFirst, LOGICAL drawSecond, LOGICAL sectionsSecond)
{
    if (sounding.Model.NLayer <= 0 && second.Model.NLayer <= 0) return;
    const PlotSettingsState& settings = plotSettingsState();
    IGrLineThickness(settings.LineWidth, 5 * settings.LineWidth, std::nullopt);
    SET_PEN(settings.KGRID);
    modelPanelCount() = panelCountFor(sounding.Model, false);
    for (INTEGER p = 1; p <= sounding.Model.ValuesPerLayer; ++p) {
        const INTEGER q = std::min(p, modelPanelCount());
        GraphFrameRecord& f = frames[static_cast<std::size_t>(q - 1)];
        const DepthWindow d = prepareModelPanel(f);
        if (isTrue(drawFirst)) drawSoundingModel(sounding, p, d, f, sectionsFirst, settings.KBEST + p - 1);
        if (second.Model.NLayer > 0 && isTrue(second.ResponseComputed) && isTrue(drawSecond))
            drawSoundingModel(second, p, d, f, sectionsSecond, settings.KSMOO);
    }
    PLOTXY(0.0f, 0.0f, kPenMove, frames[0]);
}

void MDL2LIN(REAL top, REAL bottom, REAL* x, REAL* y, INTEGER& n, const REAL* values, const REAL* boundaries,
             INTEGER layers, LOGICAL depthEntry)
{
    n = 0;
    // The model's depths are metres; they are compared with the axis in the axis's units (feet when
    // depths are shown in feet), so that the axis and the lines agree.
    const auto limited = [&](REAL z) { return z < top ? top : z; };
    REAL metres = 0.0f;   // bottom of the layer above
    REAL z = 0.0f;        // the same on the axis, at most the bottom of the axis
    for (INTEGER k = 1; k <= layers; ++k) {
        x[n] = values[k - 1];
        y[n++] = limited(z);
        if (k < layers) {
            metres = (!isTrue(depthEntry) || k == 1) ? metres + boundaries[k - 1] : boundaries[k - 1];
            z = std::min(depthOnAxis(metres), bottom);
        } else {
            z = bottom;
        }
        x[n] = values[k - 1];
        y[n++] = limited(z);
    }
}

void MDL2SML(REAL top, REAL bottom, REAL* x, REAL* y, INTEGER& n, const REAL* values, const REAL* boundaries,
             INTEGER layers, LOGICAL depthEntry)
{
    n = 0;
    if (layers <= 0) return;
    const auto onAxis = [&](REAL metres) { return std::clamp(depthOnAxis(metres), std::min(top, bottom), std::max(top, bottom)); };
    x[n] = values[0];
    y[n++] = top;
    REAL upper = 0.0f;
    for (INTEGER k = 1; k < layers; ++k) {
        const REAL lower = (!isTrue(depthEntry) || k == 1) ? upper + boundaries[k - 1] : boundaries[k - 1];
        const REAL middle = isTrue(depthEntry) && upper > 0.0f && lower > 0.0f ? std::sqrt(upper * lower)
                                                                             : 0.5f * (upper + lower);
        x[n] = values[k - 1];
        y[n++] = onAxis(middle);
        upper = lower;
    }
    x[n] = values[layers - 1];
    y[n++] = onAxis(upper);
    x[n] = values[layers - 1];
    y[n++] = bottom;
}

void SCALE_MDL(GraphFramePair& frames, const SoundingRecord& sounding, LOGICAL widen)
{
    SuiteState& suite = suiteState();
    if (!isTrue(widen)) {
        suite.ModelValueMin.fill(1.0e20f);
        suite.ModelValueMax.fill(-1.0e20f);
        suite.ModelDepthMin = suite.ModelElevationMin = 1.0e20f;
        suite.ModelDepthMax = suite.ModelElevationMax = -1.0e20f;
    }
    SCALE_MDL_MINMAX(sounding, kTrue, suite.ModelValueMin, suite.ModelValueMax, suite.ModelDepthMin,
                     suite.ModelDepthMax, suite.ModelElevationMin, suite.ModelElevationMax);
    // A half-space has no boundary to give a depth range.
    if (sounding.Model.NLayer == 1 && !(suite.ModelDepthMin < suite.ModelDepthMax)) {
        suite.ModelDepthMin = 0.1f;
        suite.ModelDepthMax = 0.2f;
    }
    SCALEMODELS(frames, sounding, suite.ModelValueMin, suite.ModelValueMax, suite.ModelDepthMin, suite.ModelDepthMax);
    MODINCH(frames, modelPanelCount());
}

ModelGrip NEARMODEL(INTEGER ix, INTEGER iy, GraphFrameRecord& frame, const SoundingRecord& sounding)
{
    ModelGrip grip;
    const LayerModelRecord& m = sounding.Model;
    if (modelComplete(m)) {
        const REAL px = pageX(ix) - frame.OriginX, py = pageY(iy) - frame.OriginY;
        const INTEGER nl = m.NLayer;
        std::vector<REAL> x(static_cast<std::size_t>(2 * nl)), y(static_cast<std::size_t>(2 * nl));
        INTEGER n = 0;
        const REAL* p = &m.Parameters(1);
        const DepthWindow d{isTrue(frame.LogY) ? std::pow(10.0f, static_cast<REAL>(frame.MinorY)) : 0.0f,
                            isTrue(frame.LogY) ? std::pow(10.0f, static_cast<REAL>(frame.MinorY + frame.StepsY))
                            : frame.StepY < 0.0f ? frame.FirstTickY
                                                 : frame.FirstTickY + static_cast<REAL>(frame.StepsY) * frame.StepY};
        MDL2LIN(d.Top, d.Bottom, x.data(), y.data(), n, p, p + nl * m.ValuesPerLayer, nl, m.DepthEntry);
        REAL best = 0.1f;  // inches
        for (INTEGER k = 1; k <= nl; ++k) {
            // The layer's value line runs from point 2k-1 to 2k; its bottom boundary from 2k to 2k+1.
            const std::size_t a = static_cast<std::size_t>(2 * k - 2), b = a + 1;
            const REAL vx = PLOFX(x[a], frame), ya = PLOFY(y[a], frame), yb = PLOFY(y[b], frame);
            if (py >= std::min(ya, yb) - best && py <= std::max(ya, yb) + best && std::fabs(px - vx) < best) {
                best = std::fabs(px - vx);
                grip = {k, kFalse};
            }
            if (k < nl) {
                const REAL by = PLOFY(y[b], frame), x1 = PLOFX(x[b], frame), x2 = PLOFX(x[b + 1], frame);
                if (px >= std::min(x1, x2) - best && px <= std::max(x1, x2) + best && std::fabs(py - by) < best) {
                    best = std::fabs(py - by);
                    grip = {k, kTrue};
                }
            }
        }
    }
    WCursorShape(grip.Layer == 0 ? 0 : isTrue(grip.Boundary) ? 7 : 8, std::nullopt);
    return grip;
}

void RUBBERMODEL(INTEGER ix, INTEGER iy, GraphFrameRecord& frame, SoundingRecord& sounding, const ModelGrip& grip)
{
    LayerModelRecord& m = sounding.Model;
    if (!modelComplete(m) || grip.Layer < 1 || grip.Layer > m.NLayer) return;
    if (isTrue(grip.Boundary) && grip.Layer >= m.NLayer) return;
    XORSAVE();
    XORON();
    PLOTXY(frame.OriginX, frame.OriginY, -kPenMove, frame);
    const DepthWindow d = prepareModelPanel(frame);
    drawModelLine(m, 1, d, frame, 0.03f, 0.0001f);
    const INTEGER nl = m.NLayer, v = m.ValuesPerLayer;
    if (isTrue(grip.Boundary)) {
        REAL depth = YOFPL(pageY(iy), frame);
        if (depthsInFeet()) depth *= kMetresPerFoot;
        const INTEGER at = nl * v + grip.Layer;
        if (isTrue(m.DepthEntry)) {
            m.Parameters(at) = depth;
        } else {
            // Thicknesses: the boundary moves, the layer below keeps its bottom.
            REAL above = 0.0f;
            for (INTEGER i = nl * v + 1; i < at; ++i) above += m.Parameters(i);
            const REAL old = m.Parameters(at);
            m.Parameters(at) = std::max(depth - above, 0.0f);
            if (grip.Layer + 1 < nl) m.Parameters(at + 1) = std::max(m.Parameters(at + 1) + old - m.Parameters(at), 0.0f);
        }
    } else {
        m.Parameters(grip.Layer) = XOFPL(pageX(ix), frame);
    }
    drawModelLine(m, 1, d, frame, 0.03f, 0.0001f);
    XORRESTORE();
}
