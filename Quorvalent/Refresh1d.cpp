#include "Quorvalent/Refresh1d.h"

#include <algorithm>
#include <optional>

#include "Quorvalent/AppState.h"
#include "Quorvalent/DrawGrid.h"
#include "Quorvalent/DrawLabel.h"
#include "Quorvalent/PlotSettings.h"
#include "Quorvalent/SuiteSoundings.h"
#include "Quorvalent/SuiteState.h"
#include "Quorvalent/plotModel.h"
#include "Quorvalent/plotRho.h"
#include "WBRVLib/Gngrid.h"
#include "WBRVLib/Plotxy.h"
#include "WBRVLib/ToolkitLink.h"

namespace {

constexpr INTEGER kMinorGridPen = 13;  // grey

// What one redraw changes for its drawing and puts back however it ends.
class RedrawRestore {
public:
    explicit RedrawRestore(SoundingRecord& sounding)
        : sounding_(sounding),
          row32_(axisTitleTable().row(32)),
          firstColour_(plotSettingsState().KCALC[0]),
          extraColumns_(sounding.Data.ExtraColumns),
          best_(plotSettingsState().KBEST)
    {
    }
    ~RedrawRestore()
    {
        PlotSettingsState& settings = plotSettingsState();
        settings.KBEST = best_;
        settings.KCALC[0] = firstColour_;
        axisTitleTable().row(32) = row32_;
        sounding_.Data.ExtraColumns = extraColumns_;
    }
    RedrawRestore(const RedrawRestore&) = delete;
    RedrawRestore& operator=(const RedrawRestore&) = delete;

private:
    SoundingRecord& sounding_;
    AxisTitle row32_;
    INTEGER firstColour_;
    LOGICAL extraColumns_;
    INTEGER best_;
};

bool hasParameters(const LayerModelRecord& m, INTEGER count)
{
    return m.Parameters.allocated() && m.ParameterCount >= count && m.Parameters.extent1() >= count;
}

// The varied quantity of the suite as the redraw applies it to the suite sounding's model, curve
// by curve, and puts the model back afterwards.
class VariedModel {
public:
    VariedModel(SoundingRecord& sounding, INTEGER suiteType, INTEGER layer)
        : s_(sounding), type_(suiteType), layer_(layer)
    {
        LayerModelRecord& m = s_.Model;
        const INTEGER nl = m.NLayer, v = m.ValuesPerLayer;
        base_ = nl * v;
        switch (type_) {
        case kVaryResistivity:
            if (layer_ >= 1 && layer_ <= base_ && hasParameters(m, layer_)) index_ = layer_;
            break;
        case kVaryThickness:
            if (layer_ >= 1 && layer_ <= nl - 1 && hasParameters(m, base_ + layer_)) index_ = base_ + layer_;
            break;
        case kVaryDepth:
            if (layer_ >= 1 && layer_ <= nl - 1 && hasParameters(m, base_ + nl - 1)) {
                saveModel();
                if (!isTrue(m.DepthEntry)) {
                    for (INTEGER j = 2; j <= nl - 1; ++j) m.Parameters(base_ + j) += m.Parameters(base_ + j - 1);
                    m.DepthEntry = kTrue;
                }
                index_ = base_ + layer_;
            }
            break;
        case kVaryFadeIn: {
            const LayerModelRecord& second = secondModelSoundingRecord().Record.Model;
            if (hasParameters(m, m.ParameterCount) && m.ParameterCount > 0 && hasParameters(second, m.ParameterCount)) {
                saveModel();
                index_ = 1;
            }
            break;
        }
        default:
            break;  // offset and angle leave the model as it is
        }
        if (index_ > 0 && type_ != kVaryDepth && type_ != kVaryFadeIn) remembered_ = m.Parameters(index_);
    }
    ~VariedModel()
    {
        if (index_ == 0) return;
        if (saved_)
            PUTMODEL1D(s_, suiteLayerModelRecord());
        else
            s_.Model.Parameters(index_) = remembered_;
    }
    VariedModel(const VariedModel&) = delete;
    VariedModel& operator=(const VariedModel&) = delete;

    // The model of the curve whose varied value is v.
    void apply(REAL v)
    {
        if (index_ == 0) return;
        AllocArray<REAL>& p = s_.Model.Parameters;
        switch (type_) {
        case kVaryResistivity:
        case kVaryThickness:
            p(index_) = v;
            break;
        case kVaryDepth:
            // The layer below keeps its thickness: the boundary under the varied one moves along.
            if (layer_ < s_.Model.NLayer - 1) {
                const REAL below = p(index_ + 1) - p(index_);
                p(index_) = v;
                p(index_ + 1) = v + below;
            } else {
                p(index_) = v;
            }
            break;
        case kVaryFadeIn: {
            const LayerModelRecord& b = suiteLayerModelRecord();
            const AllocArray<REAL>& second = secondModelSoundingRecord().Record.Model.Parameters;
            for (INTEGER i = 1; i <= std::min(b.ParameterCount, s_.Model.ParameterCount); ++i)
                p(i) = b.Parameters(i) + (second(i) - b.Parameters(i)) * v / 100.0f;
            break;
        }
        default:
            break;
        }
    }

private:
    void saveModel()
    {
        GETMODEL1D(s_, suiteLayerModelRecord());
        saved_ = true;
    }
    SoundingRecord& s_;
    INTEGER type_, layer_;
    INTEGER base_ = 0;
    INTEGER index_ = 0;  // 0: nothing varied in the model
    REAL remembered_ = 0.0f;
    bool saved_ = false;
};

// Curve k of the suite into the sounding's response (the samples and columns both hold).
void loadSuiteCurve(SoundingRecord& s, INTEGER k)
{
    const SuiteState& suite = suiteState();
    const AllocArray<REAL>& curves = suite.SuiteCurves;
    const INTEGER points = std::min({suite.SuitePointCount, curves.extent1(), s.ResponseValues.extent1()});
    const INTEGER kinds = std::min(suite.KindCount, s.ResponseValues.extent2());
    for (INTEGER j = 1; j <= kinds; ++j)
        for (INTEGER i = 1; i <= points; ++i) s.ResponseValues(i, j) = curves(i, (k - 1) * suite.KindCount + j);
    s.ResponseComputed = kTrue;
}

void nextCurveColour(INTEGER& colour)
{
    colour += 2;
    if (colour > 14) colour = 2;
}

}  // namespace

SuiteLabelHooks& suiteLabelHooks()
{
    static SuiteLabelHooks hooks{&DRAWLABELS};
    return hooks;
}

INTEGER drawableSuiteCurves()
{
    const SuiteState& suite = suiteState();
    if (!suite.SuiteCurves.allocated() || suite.KindCount <= 0) return 0;
    const INTEGER stored = suite.SuiteCurves.extent2() / suite.KindCount;
    return std::max(0, std::min({systemRecord().NSuite, suite.CurvesComputed, stored}));
}

void REFRESHSUITE(SoundingRecord& sounding, SoundingRecord& companion)
{
    SoundingRecord& s = sounding;
    const GraphOptionsState& options = graphOptionsState();
    PlotSettingsState& settings = plotSettingsState();
    SuiteState& suite = suiteState();
    const SystemRecord& system = systemRecord();
    GraphFramePair& curveFrames = curveGraphFrames().Frames;
    GraphFramePair& modelFrames = modelGraphFrames().Frames;

    WindowClearArea(std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt);
    if (isTrue(options.Printing))
        PLOTXY(0.0f, 1.0f, kPenStart, curveFrames[0]);  // screen output off, the print job opens
    else
        PLOTXY(1.0f, 0.0f, kPenStart, curveFrames[0]);  // the window cleared to white
    const INTEGER curveMinorPen = isTrue(options.CurveMinorGrid) ? kMinorGridPen : 0;
    const INTEGER modelMinorPen = isTrue(options.ModelMinorGrid) ? kMinorGridPen : 0;

    const RedrawRestore restore(s);
    graphOptionsState().VoltageReadout = toLogical(suite.FieldComponent == kFieldEx);
    if (suite.ISuiteType != 0 && system.NSuite > 1 && isTrue(suite.LDataPct) && isTrue(suite.LDifference))
        axisTitleTable().row(32) = axisTitleTable().row(1);

    // Nothing computed yet (the suite sounding has one sample until a calculation), or nothing to
    // draw it into: the window stays empty.
    const INTEGER curves = drawableSuiteCurves();
    if (s.Data.GraphCount <= 0 || s.Data.PointCount <= 1 || curves <= 0 || !s.ResponseValues.allocated() ||
        !s.Data.SampleTimes.allocated())
        return;

    bool framesDrawn = false;
    if (isTrue(settings.LDataDisplay)) {
        for (INTEGER g = 1; g <= std::clamp(s.Data.GraphCount, 1, 2); ++g) {
            s.Data.ExtraColumns = toLogical(suite.FieldComponent == kFieldEx);
            PLOT_RHO(curveFrames, s, companion, 2, kFalse, kFalse, kFalse, kFalse);
            PLTMDL(s, companion, modelFrames, kTrue, kFalse, kFalse, kFalse);
        }
        framesDrawn = true;
    }

    SoundingRecord& second = secondModelSoundingRecord().Record;
    {
        VariedModel varied(s, suite.ISuiteType, system.ILayer);
        for (INTEGER k = 1; k <= curves; ++k) {
            loadSuiteCurve(s, k);
            settings.KBEST = settings.KCALC[0];
            if (system.NSuite != 1) varied.apply(suite.VParam[static_cast<std::size_t>(k - 1)]);
            if (!framesDrawn) {
                PLOT_RHO(curveFrames, s, companion, 2, kFalse, kTrue, kFalse, kFalse);
                if (isTrue(suite.NoiseShown) && suite.NoiseCurve.allocated()) {
                    const INTEGER n = std::min({suite.SuitePointCount, suite.NoiseCurve.extent1(), s.Data.SampleTimes.extent1()});
                    if (n > 0) GNPLOT(&s.Data.SampleTimes(1, 1), &suite.NoiseCurve(1), n, kFalse, curveFrames[0]);
                }
                PLTMDL(s, companion, modelFrames, kTrue, kFalse, kFalse, kFalse);
                if (isTrue(suite.LDifference))
                    PLOTMODELSECTIONS(second, companion, modelFrames, kTrue, kFalse, kFalse, kFalse);
                framesDrawn = true;
            } else {
                PLOTRHOCURVES(curveFrames, s, companion, kFalse, kTrue);
                if (suite.ISuiteType <= kVaryDepth || suite.ISuiteType == kVaryFadeIn)
                    PLOTMODELSECTIONS(s, companion, modelFrames, kTrue, kFalse, kFalse, kFalse);
            }
            nextCurveColour(settings.KCALC[0]);
        }
        DRAWGRID(modelFrames, options.ModelMajorGrid, modelMinorPen, modelMinorPen, kFalse, s.Model.ValuesPerLayer);
    }  // the suite sounding's model is put back here

    if (isTrue(suite.LDifference) && (suite.ISuiteType <= 0 || system.NSuite <= 1))
        PLOTRHOCURVES(curveFrames, second, companion, kFalse, kTrue);
    const bool referenceLines = (s.Data.SoundingType == "Controlled Source MT" ||
                                 s.Data.SoundingType == "Magnetotelluric Data") &&
                                isTrue(settings.LREDLINE);
    DRAWGRID(curveFrames, options.CurveMajorGrid, curveMinorPen, curveMinorPen, toLogical(referenceLines),
             s.Data.GraphCount);
    if (isTrue(options.LabelsShown)) {
        // The origin moves to the curve graph without touching the curve frames.
        GraphFrameRecord scratch = curveFrames[0];
        PLOTXY(curveFrames[0].OriginX, curveFrames[0].OriginY, -kPenMove, scratch);
        suiteLabelHooks().drawLabels(0, curveFrames[0]);
    }
}

void suiteDisplayAutoscale()
{
    modelGraphAutoscale();
    curveGraphAutoscale();
}

void RESCALESUITE()
{
    SuiteState& suite = suiteState();
    SoundingRecord& s = suiteSoundingRecord().Record;
    GraphFramePair& modelFrames = modelGraphFrames().Frames;
    SCALEMODELS(modelFrames, s, suite.ModelValueMin, suite.ModelValueMax, suite.ModelDepthMin, suite.ModelDepthMax);
    MODINCH(modelFrames, 1);
    GraphFramePair& curveFrames = curveGraphFrames().Frames;
    if (suite.ISuiteType == kVaryAngle &&
        (s.Data.SoundingType == "Marine FEM B-Side E " || s.Data.SoundingType == "Marine FEM Inline E ")) {
        // The curve graph shows the response against the varied angle: the angles along a
        // logarithmic x axis, the values on a linear one, on the curve graph's page area.
        GraphFrameRecord& f = curveFrames[0];
        const INTEGER n = std::clamp(systemRecord().NSuite, 0, static_cast<INTEGER>(suite.VParam.size()));
        REAL low = 1.0e20f, high = -1.0e20f;
        if (n > 0) GETNX(suite.VParam.data(), n, low, high);
        INTEGER first = 0, last = 0;
        LOGNX(low, high, first, last);
        f.MinorX = first;
        f.StepsX = std::max(last - first, 1);
        f.setLogarithmic(FrameAxis::X, true);
        LINNX(suite.CurveValueMin, suite.CurveValueMax, f.FirstTickY, f.StepY, f.StepsY, f.MinorY);
        f.LogY = kFalse;
        f.OriginX = f.OriginY = 1.25f;
        f.LengthX = 5.0f / static_cast<REAL>(f.StepsX);
        f.LengthY = 6.0f / static_cast<REAL>(std::max(f.StepsY, 1));
        FINDAS(f);
        return;
    }
    SCALE_X(curveFrames[0], s, s);
    for (INTEGER k = 1; k <= std::clamp(s.Data.GraphCount, 0, 2); ++k) {
        SCALESUITEY(k);
        FINDAS(curveFrames[static_cast<std::size_t>(k - 1)]);
    }
}

void ZOOMSUITE(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2)
{
    const REAL mx = static_cast<REAL>(x1 + x2) * 0.5f * 10.0f / 10000.0f;
    const REAL my = (10000.0f - static_cast<REAL>(y1 + y2) * 0.5f) * 8.0f / 10000.0f;
    GraphFramePair& model = modelGraphFrames().Frames;
    GraphFramePair& curve = curveGraphFrames().Frames;
    if (mx >= model[0].OriginX) {
        const bool second = modelPanelCount() > 1 && mx >= model[1].OriginX;
        GraphFrameRecord& zoomed = model[second ? 1 : 0];
        ZOOMBOX(x1, y1, x2, y2, zoomed);
        COPYYAXIS(model[second ? 0 : 1], zoomed);
    } else {
        const bool first = my >= curve[0].OriginY;
        GraphFrameRecord& zoomed = curve[first ? 0 : 1];
        ZOOMBOX(x1, y1, x2, y2, zoomed);
        COPYXAXIS(curve[first ? 1 : 0], zoomed);
    }
}
