#include "Quorvalent/SuiteCalculation.h"

#include <algorithm>
#include <deque>
#include <utility>

#include "Quorvalent/AppState.h"
#include "Quorvalent/CURVES.h"
#include "Quorvalent/CalcLotem.h"
#include "Quorvalent/DrawLabel.h"
#include "Quorvalent/Refresh1d.h"
#include "Quorvalent/SuiteSoundings.h"
#include "Quorvalent/SuiteState.h"
#include "Quorvalent/plotModel.h"
#include "Quorvalent/plotRho.h"
#include "WBRVLib/Brvl95.h"
#include "WBRVLib/Gngrid.h"
#include "toolkit/dialogs/DialogChoiceFields.h"
#include "toolkit/dialogs/DialogFieldValues.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/WindowServices.h"

namespace {

constexpr REAL kMissing = 1.0e20f;

std::deque<std::pair<INTEGER, EventRecord>>& heldEvents()
{
    static std::deque<std::pair<INTEGER, EventRecord>> events;
    return events;
}

// Takes every pending event: a push button (the progress dialog's Cancel) is a stop request;
// close requests, menu commands, exposes and resizes are kept for the main loop.
bool stopRequested()
{
    for (;;) {
        INTEGER type = kEventNone;
        EventRecord record{};
        const LOGICAL latched = LKILLEV(kFalse, type, record);
        if (type == kEventClose || type == kEventCommand || type == kEventExpose || type == kEventResize)
            heldEvents().emplace_back(type, record);
        if (type == kEventNone || type <= 0) return isTrue(latched);
    }
}

// The varied quantity's base value, kept while the curves change it.
struct BaseValue {
    REAL Value = 0.0f;
};

void saveBase(BaseValue& base, const SoundingRecord& s, INTEGER type, INTEGER layer)
{
    const SystemRecord& system = systemRecord();
    const INTEGER nl = s.Model.NLayer;
    switch (type) {
    case kVaryResistivity: base.Value = s.Model.Parameters(layer); break;
    case kVaryThickness: base.Value = s.Model.Parameters(nl + layer); break;
    case kVaryOffset: base.Value = system.Offset; break;
    case kVaryAngle: base.Value = system.TxRxAngle; break;
    default: GETMODEL1D(s, suiteLayerModelRecord()); break;
    }
}

void restoreBase(const BaseValue& base, SoundingRecord& s, INTEGER type, INTEGER layer)
{
    SystemRecord& system = systemRecord();
    const INTEGER nl = s.Model.NLayer;
    switch (type) {
    case kVaryResistivity: s.Model.Parameters(layer) = base.Value; break;
    case kVaryThickness: s.Model.Parameters(nl + layer) = base.Value; break;
    case kVaryOffset: system.Offset = base.Value; break;
    case kVaryAngle: system.TxRxAngle = base.Value; break;
    default: PUTMODEL1D(s, suiteLayerModelRecord()); break;
    }
}

// Gives the suite the value v of the varied quantity.
void applyValue(SoundingRecord& s, INTEGER type, INTEGER layer, REAL v)
{
    AllocArray<REAL>& p = s.Model.Parameters;
    const INTEGER nl = s.Model.NLayer;
    switch (type) {
    case kVaryResistivity: p(layer) = v; break;
    case kVaryThickness: p(nl + layer) = v; break;
    case kVaryDepth:
        // The parameters hold depths: the layer below keeps its thickness and moves along.
        if (layer < nl - 1) {
            const REAL below = p(nl + layer + 1) - p(nl + layer);
            p(nl + layer) = v;
            p(nl + layer + 1) = v + below;
        } else {
            p(nl + layer) = v;
        }
        break;
    case kVaryOffset: systemRecord().Offset = v; break;
    case kVaryAngle: systemRecord().TxRxAngle = v; break;
    case kVaryFadeIn: {
        const LayerModelRecord& base = suiteLayerModelRecord();
        const AllocArray<REAL>& second = secondModelSoundingRecord().Record.Model.Parameters;
        const INTEGER count = std::min({base.ParameterCount, base.Parameters.extent1(), second.extent1(), p.extent1()});
        for (INTEGER i = 1; i <= count; ++i)
            p(i) = base.Parameters(i) + (second(i) - base.Parameters(i)) * v / 100.0f;
        break;
    }
    default: break;
    }
}

void storeCurve(const SoundingRecord& s, INTEGER k)
{
    SuiteState& suite = suiteState();
    if (!s.ResponseValues.allocated()) return;
    const INTEGER points = std::min({suite.SuitePointCount, s.ResponseValues.extent1(), suite.SuiteCurves.extent1()});
    const INTEGER kinds = std::min(suite.KindCount, s.ResponseValues.extent2());
    for (INTEGER j = 1; j <= kinds; ++j)
        for (INTEGER i = 1; i <= points; ++i) suite.SuiteCurves(i, (k - 1) * suite.KindCount + j) = s.ResponseValues(i, j);
}

}  // namespace

bool takeHeldMainLoopEvent(INTEGER& type, EventRecord& record)
{
    auto& events = heldEvents();
    if (events.empty()) return false;
    type = events.front().first;
    record = events.front().second;
    events.pop_front();
    return true;
}

void calculateModelSuite(LOGICAL& cancel)
{
    cancel = kFalse;
    SuiteState& suite = suiteState();
    SystemRecord& system = systemRecord();
    SoundingPair& pair = suiteSoundingRecord();
    SoundingRecord& s = pair.Record;
    const INTEGER type = suite.ISuiteType, layer = system.ILayer;
    const INTEGER nSuite = std::clamp(system.NSuite, 0, static_cast<INTEGER>(suite.VParam.size()));

    // Preparation.
    WCursorShape(1);
    suite.KindCount = system.DisplayKind >= kDisplayAllTimeRho ? 3 : system.DisplayKind == kDisplayEarlyLateRho ? 2 : 1;
    s.Data.ColumnCount = suite.KindCount;
    BaseValue base;
    saveBase(base, s, type, layer);
    INTEGER firstDecade = 0, lastDecade = 0;
    suite.SuitePointCount = NTIMES(system.AbStart, system.AbEnd, firstDecade, lastDecade);
    if (suite.SuiteCurves.allocated()) suite.SuiteCurves.deallocate();
    if (suite.NoiseCurve.allocated()) suite.NoiseCurve.deallocate();
    suite.CurvesComputed = 0;
    const INTEGER points = std::max(suite.SuitePointCount, 0);
    if (!suite.SuiteCurves.allocate(points, std::max(suite.KindCount * nSuite, 0)) ||
        !suite.NoiseCurve.allocate(points)) {
        WINMSG(kSuiteAllocationError);
        WCursorShape(0);
        return;
    }
    // A curve the calculation does not get to holds the missing value and is never drawn.
    suite.SuiteCurves.fill(kMissing);

    WDialogLoad(kProgressDialog);
    WDialogPutInteger(kProgressCountField, nSuite);
    WDialogRangeProgressBar(kProgressBarField, 0, nSuite);
    WDialogPutProgressBar(kProgressBarField, 0);
    WDialogShow(-1, -1, 0, kDialogModeless);

    suite.CurveValueMin = kMissing;
    suite.CurveValueMax = -kMissing;
    suite.ModelValueMin.fill(kMissing);
    suite.ModelValueMax.fill(-kMissing);
    suite.ModelDepthMin = suite.ModelElevationMin = kMissing;
    suite.ModelDepthMax = suite.ModelElevationMax = -kMissing;

    if (type == kVaryDepth) {
        GETMODEL1D(s, suiteLayerModelRecord());
        if (!isTrue(s.Model.DepthEntry)) {
            const INTEGER nl = s.Model.NLayer;
            for (INTEGER j = 2; j <= nl - 1; ++j) s.Model.Parameters(nl + j) += s.Model.Parameters(nl + j - 1);
            s.Model.DepthEntry = kTrue;
        }
    } else if (type == kVaryFadeIn) {
        GETMODEL1D(s, suiteLayerModelRecord());
    }
    if (isTrue(suite.NoiseShown)) {
        suite.NoiseCurve.fill(suite.VNoise);
        if (points > 0) GETNX(&suite.NoiseCurve(1), points, suite.CurveValueMin, suite.CurveValueMax);
    }
    const LOGICAL ex = toLogical(suite.FieldComponent == kFieldEx);
    s.Data.ExtraColumns = ex;
    secondModelSoundingRecord().Record.Data.ExtraColumns = ex;
    spareSoundingRecord().Record.Data.ExtraColumns = ex;
    LKILL(kTrue);
    heldEvents().clear();
    s.Data.PointCount = 1;

    // Curves.
    for (INTEGER k = 1; k <= nSuite; ++k) {
        WDialogSelect(kProgressDialog);
        WDialogPutInteger(kProgressCurrentField, k);
        s.ResponseComputed = kFalse;
        if (nSuite != 1) applyValue(s, type, layer, suite.VParam[static_cast<std::size_t>(k - 1)]);
        CALCLOTEM(s);
        storeCurve(s, k);
        suite.CurvesComputed = k;
        SCALE_Y_MINMAX(s, suite.CurveValueMin, suite.CurveValueMax, 1, s.Data.ColumnCount, 1, system.LogData, 0);
        SCALE_MDL_MINMAX(s, kFalse, suite.ModelValueMin, suite.ModelValueMax, suite.ModelDepthMin, suite.ModelDepthMax,
                         suite.ModelElevationMin, suite.ModelElevationMax);
        WDialogSelect(kProgressDialog);
        WDialogPutProgressBar(kProgressBarField, k);
        if (stopRequested()) {
            cancel = kTrue;
            break;
        }
        s.ResponseComputed = kFalse;
    }

    // Completion, also after a stop.
    LKILL(kTrue);
    WDialogSelect(kProgressDialog);
    WDialogHide();
    WDialogUnload();
    modelGraphAutoscale();
    if (suite.ModelDepthMax <= suite.ModelDepthMin) {
        suite.ModelDepthMin = 100.0f;
        suite.ModelDepthMax = 1000.0f;
    }
    curveGraphAutoscale();
    placeSuiteLabels();
    restoreBase(base, s, type, layer);
    appendSuiteLabels();
    REFRESHSUITE(s, pair.Companion);
    WCursorShape(0);
}
