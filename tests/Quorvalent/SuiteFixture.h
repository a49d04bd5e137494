// A computed model suite for the display tests: the suite sounding, the stored curves and the
// graphs' ranges filled as a suite calculation fills them, from direct engine runs, then both
// graphs autoscaled.
#pragma once

#include <algorithm>
#include <vector>

#include "Quorvalent/AppState.h"
#include "Quorvalent/CalcLotem.h"
#include "Quorvalent/PlotSettings.h"
#include "Quorvalent/Refresh1d.h"
#include "Quorvalent/SuiteSoundings.h"
#include "Quorvalent/SuiteState.h"
#include "Quorvalent/plotModel.h"
#include "Quorvalent/plotRho.h"

namespace SuiteFixture {

struct Suite {
    INTEGER Component = kFieldHz;
    INTEGER Kind = kDisplayEarlyLateRho;
    INTEGER Varied = kVaryResistivity;
    INTEGER Layer = 1;
    std::vector<REAL> Model{100.0f};  // resistivities, then thicknesses (or depths)
    INTEGER Layers = 1;
    bool DepthEntry = false;
    std::vector<REAL> Values{10.0f, 30.0f, 100.0f, 300.0f, 1000.0f};
    INTEGER Computed = -1;            // curves the calculation got to; -1 all
};

// The program's display state as at start-up, with no suite.
inline void resetDisplayState()
{
    suiteState() = SuiteState{};
    systemRecord() = SystemRecord{};
    graphOptionsState() = GraphOptionsState{};
    plotSettingsState() = PlotSettingsState{};
    axisTitleTable().row(32) = AxisTitle("Received Voltage (nV)");
    curveGraphFrames() = CurveGraphFrames{};
    modelGraphFrames() = ModelGraphFrames{};
    modelPanelCount() = 1;
    suiteSoundingRecord() = SoundingPair{};
    secondModelSoundingRecord() = SoundingPair{};
    suiteLayerModelRecord() = LayerModelRecord{};
}

inline void setModel(SoundingRecord& s, const std::vector<REAL>& model)
{
    for (std::size_t i = 0; i < model.size(); ++i) s.Model.Parameters(static_cast<int>(i) + 1) = model[i];
}

// The varied quantity of curve k in the sounding's model (the model holds the base model).
inline void varyModel(SoundingRecord& s, const Suite& d, REAL v)
{
    const INTEGER nl = d.Layers;
    SystemRecord& system = systemRecord();
    switch (d.Varied) {
    case kVaryResistivity: s.Model.Parameters(d.Layer) = v; break;
    case kVaryThickness: s.Model.Parameters(nl + d.Layer) = v; break;
    case kVaryDepth: {
        // Depths: the layer below keeps its thickness.
        AllocArray<REAL>& p = s.Model.Parameters;
        if (!isTrue(s.Model.DepthEntry)) {
            for (INTEGER j = 2; j <= nl - 1; ++j) p(nl + j) += p(nl + j - 1);
            s.Model.DepthEntry = kTrue;
        }
        if (d.Layer < nl - 1) {
            const REAL below = p(nl + d.Layer + 1) - p(nl + d.Layer);
            p(nl + d.Layer + 1) = v + below;
        }
        p(nl + d.Layer) = v;
        break;
    }
    case kVaryOffset: system.Offset = v; break;
    case kVaryAngle: system.TxRxAngle = v; break;
    default: break;
    }
}

inline void computeSuite(const Suite& d)
{
    SuiteState& suite = suiteState();
    SystemRecord& system = systemRecord();
    suite.FieldComponent = d.Component;
    suite.ISuiteType = d.Varied;
    system.DisplayKind = d.Kind;
    system.NSuite = static_cast<INTEGER>(d.Values.size());
    system.ILayer = d.Layer;
    std::copy(d.Values.begin(), d.Values.end(), suite.VParam.begin());
    suite.KindCount = d.Kind >= 5 ? 3 : d.Kind == 4 ? 2 : 1;

    SoundingPair& pair = suiteSoundingRecord();
    SoundingRecord& s = pair.Record;
    s.Model.NLayer = d.Layers;
    s.Model.ValuesPerLayer = 1;
    s.Model.ParameterCount = static_cast<INTEGER>(d.Model.size());
    s.Model.DepthEntry = toLogical(d.DepthEntry);
    s.Data.ColumnCount = suite.KindCount;
    s.Data.PointCount = 1;
    s.Data.GraphCount = 1;
    s.Data.Title.assign("Suite test");
    ALLOCSOUND(s, pair.Companion);
    setModel(s, d.Model);

    suite.CurveValueMin = 1.0e20f;
    suite.CurveValueMax = -1.0e20f;
    suite.ModelValueMin.fill(1.0e20f);
    suite.ModelValueMax.fill(-1.0e20f);
    suite.ModelDepthMin = suite.ModelElevationMin = 1.0e20f;
    suite.ModelDepthMax = suite.ModelElevationMax = -1.0e20f;

    const SystemRecord base = system;
    const INTEGER computed = d.Computed < 0 ? system.NSuite : d.Computed;
    for (INTEGER k = 1; k <= computed; ++k) {
        setModel(s, d.Model);
        s.Model.DepthEntry = toLogical(d.DepthEntry);
        varyModel(s, d, d.Values[static_cast<std::size_t>(k - 1)]);
        CALCLOTEM(s);
        if (k == 1) {
            suite.SuitePointCount = s.Data.PointCount;
            suite.SuiteCurves.allocate(suite.SuitePointCount, suite.KindCount * system.NSuite);
        }
        for (INTEGER j = 1; j <= std::min(suite.KindCount, s.ResponseValues.extent2()); ++j)
            for (INTEGER i = 1; i <= suite.SuitePointCount; ++i)
                suite.SuiteCurves(i, (k - 1) * suite.KindCount + j) = s.ResponseValues(i, j);
        SCALE_Y_MINMAX(s, suite.CurveValueMin, suite.CurveValueMax, 1, s.Data.ColumnCount, 1, system.LogData, 0);
        SCALE_MDL_MINMAX(s, kFalse, suite.ModelValueMin, suite.ModelValueMax, suite.ModelDepthMin, suite.ModelDepthMax,
                         suite.ModelElevationMin, suite.ModelElevationMax);
    }
    system.Offset = base.Offset;
    system.TxRxAngle = base.TxRxAngle;
    setModel(s, d.Model);
    s.Model.DepthEntry = toLogical(d.DepthEntry);
    suite.CurvesComputed = computed;
    suiteDisplayAutoscale();
}

}  // namespace SuiteFixture
