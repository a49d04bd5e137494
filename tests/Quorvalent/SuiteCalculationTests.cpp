// The suite calculation inside a test process with the program's own progress dialog: the curves
// against direct engine runs for every varied quantity, the columns per display kind, the base
// model put back, and a stop during the second curve with the events that came meanwhile.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Quorvalent/AppState.h"
#include "Quorvalent/CURVES.h"
#include "Quorvalent/CalcLotem.h"
#include "Quorvalent/DrawLabel.h"
#include "Quorvalent/Quorvalent.h"
#include "Quorvalent/SuiteCalculation.h"
#include "Quorvalent/SuiteSoundings.h"
#include "Quorvalent/SuiteState.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowSlots.h"

using namespace GuiHarness;

namespace {

struct Model {
    std::vector<REAL> Rho, Thick;
    bool Depths = false;  // Thick holds depths to the bottoms
};

void putModel(SoundingRecord& s, const Model& m)
{
    LayerModelRecord& model = s.Model;
    model.NLayer = static_cast<INTEGER>(m.Rho.size());
    model.ValuesPerLayer = 1;
    model.ParameterCount = 2 * model.NLayer - 1;
    for (AllocArray<REAL>* a : {&model.Parameters, &model.ParameterReal2, &model.ParameterReal3}) {
        if (a->allocated()) a->deallocate();
        a->allocate(model.ParameterCount);
    }
    for (AllocArray<INTEGER>* a : {&model.ParameterFlags1, &model.ParameterFlags2}) {
        if (a->allocated()) a->deallocate();
        a->allocate(model.ParameterCount);
    }
    for (std::size_t j = 0; j < m.Rho.size(); ++j) model.Parameters(static_cast<int>(j) + 1) = m.Rho[j];
    for (std::size_t j = 0; j < m.Thick.size(); ++j) model.Parameters(model.NLayer + static_cast<int>(j) + 1) = m.Thick[j];
    model.DepthEntry = toLogical(m.Depths);
}

std::vector<REAL> parameters(const SoundingRecord& s)
{
    std::vector<REAL> p;
    for (INTEGER j = 1; j <= s.Model.ParameterCount; ++j) p.push_back(s.Model.Parameters(j));
    return p;
}

// Column j of one engine run of the model with the system record as it stands.
std::vector<REAL> engineRun(const Model& m, INTEGER column)
{
    SoundingRecord s, companion;
    s.Data.ColumnCount = 3;
    s.Data.PointCount = 1;
    s.Data.GraphCount = 1;
    s.Model.NLayer = static_cast<INTEGER>(m.Rho.size());
    s.Model.ValuesPerLayer = 1;
    s.Model.ParameterCount = 2 * s.Model.NLayer - 1;
    ALLOCSOUND(s, companion);
    putModel(s, m);
    CALCLOTEM(s);
    std::vector<REAL> out;
    for (INTEGER i = 1; i <= s.Data.PointCount; ++i) out.push_back(s.ResponseValues(i, column));
    return out;
}

std::vector<REAL> storedCurve(INTEGER k, INTEGER column)
{
    const SuiteState& suite = suiteState();
    std::vector<REAL> out;
    for (INTEGER i = 1; i <= suite.SuitePointCount; ++i) out.push_back(suite.SuiteCurves(i, (k - 1) * suite.KindCount + column));
    return out;
}

// At the moment the progress dialog shows this curve number, posts a click on its Cancel and the
// given messages to the main window.
struct StopAtCurve {
    static inline int curve = 0;
    static inline std::vector<std::pair<UINT, WPARAM>> mainWindowMessages;
    static inline HWND mainWindow = nullptr;
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && m->message == WM_SETTEXT && GetDlgCtrlID(m->hwnd) == kProgressCurrentField &&
            std::atoi(reinterpret_cast<const char*>(m->lParam)) == curve) {
            PostMessageA(GetDlgItem(GetParent(m->hwnd), 2), BM_CLICK, 0, 0);
            for (const auto& [message, w] : mainWindowMessages) PostMessageA(mainWindow, message, w, 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
};

class SuiteCalculationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WindowOpen(39, 20, 20, 600, 400, kMainMenuId);
        pumpPending();
    }
    static void TearDownTestSuite() { ToolkitSession::closeAllWindows(); }
    void SetUp() override
    {
        systemRecord() = SystemRecord{};
        systemRecord().AbStart = 0.001f;
        systemRecord().AbEnd = 1.0f;
        suiteState() = SuiteState{};
        suiteState().FieldComponent = kFieldHz;
        suiteState().SuiteDescription.assign("Parameter to vary is Resistivity of layer           1");
        graphOptionsState() = GraphOptionsState{};
        labelTable() = LabelTable{};
        INTEGER type = 0;
        EventRecord record{};
        while (takeHeldMainLoopEvent(type, record)) {
        }
    }
    void TearDown() override { EXPECT_EQ(ToolkitSession::unloadAllDialogs(), 0); }
    // The suite record as the wizard leaves it: the base model and one sample.
    static void base(const Model& m, const Model& second = {})
    {
        SoundingPair& pair = suiteSoundingRecord();
        pair.Record.Data.PointCount = 1;
        pair.Record.Data.ColumnCount = 1;
        pair.Record.Data.GraphCount = 1;
        pair.Record.Model.NLayer = static_cast<INTEGER>(m.Rho.size());
        pair.Record.Model.ParameterCount = 2 * pair.Record.Model.NLayer - 1;
        ALLOCSOUND(pair.Record, pair.Companion);
        putModel(pair.Record, m);
        if (!second.Rho.empty()) {
            SoundingPair& s = secondModelSoundingRecord();
            s.Record.Model.NLayer = static_cast<INTEGER>(second.Rho.size());
            s.Record.Model.ParameterCount = 2 * s.Record.Model.NLayer - 1;
            ALLOCSOUND(s.Record, s.Companion);
            putModel(s.Record, second);
        }
    }
    static void values(INTEGER type, INTEGER layer, const std::vector<REAL>& v)
    {
        suiteState().ISuiteType = type;
        systemRecord().ILayer = layer;
        systemRecord().NSuite = static_cast<INTEGER>(v.size());
        std::copy(v.begin(), v.end(), suiteState().VParam.begin());
    }
    Watchdog watchdog_{std::chrono::milliseconds(120000)};
};

TEST_F(SuiteCalculationTest, EveryCurveEqualsADirectEngineRunOfItsModelAndTheBaseComesBack)
{
    struct Case {
        const char* Name;
        INTEGER Type, Layer;
        Model Base, Second;
        std::vector<REAL> Values;
        std::vector<Model> Expected;           // the model of each curve
        std::vector<std::pair<REAL, REAL>> Geometry;  // offset and angle of each curve
    };
    const SystemRecord defaults = SystemRecord{};
    const REAL offset = defaults.Offset, angle = defaults.TxRxAngle;
    const std::vector<Case> cases = {
        {"resistivity", 1, 1, {{10}, {}}, {}, {20, 50}, {{{20}, {}}, {{50}, {}}}, {}},
        {"thickness", 2, 1, {{10, 100}, {50}}, {}, {100, 200}, {{{10, 100}, {100}}, {{10, 100}, {200}}}, {}},
        // The layer below the boundary keeps its 300 m and moves along.
        {"depth", 3, 2, {{10, 100, 20, 500}, {100, 200, 300}}, {}, {250, 350},
         {{{10, 100, 20, 500}, {100, 150, 300}}, {{10, 100, 20, 500}, {100, 250, 300}}}, {}},
        {"offset", 4, 1, {{10}, {}}, {}, {500, 2000}, {{{10}, {}}, {{10}, {}}}, {{500, angle}, {2000, angle}}},
        {"angle", 5, 1, {{10}, {}}, {}, {45, 60}, {{{10}, {}}, {{10}, {}}}, {{offset, 45}, {offset, 60}}},
        // Half way between 10 and 100 ohm-m is 55.
        {"fade-in", 6, 1, {{10, 30}, {200}}, {{100, 30}, {400}}, {50, 0}, {{{55, 30}, {300}}, {{10, 30}, {200}}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        SetUp();
        base(c.Base, c.Second);
        values(c.Type, c.Layer, c.Values);
        LOGICAL cancel = kTrue;
        calculateModelSuite(cancel);
        EXPECT_FALSE(isTrue(cancel));
        ASSERT_EQ(suiteState().CurvesComputed, static_cast<INTEGER>(c.Values.size()));
        EXPECT_EQ(suiteState().KindCount, 2);
        INTEGER first = 0, last = 0;
        EXPECT_EQ(suiteState().SuitePointCount, NTIMES(systemRecord().AbStart, systemRecord().AbEnd, first, last));
        // The base model, its thicknesses and depth flag and the geometry are back.
        const SoundingRecord& s = suiteSoundingRecord().Record;
        std::vector<REAL> baseParameters = c.Base.Rho;
        baseParameters.insert(baseParameters.end(), c.Base.Thick.begin(), c.Base.Thick.end());
        EXPECT_EQ(parameters(s), baseParameters);
        EXPECT_FALSE(isTrue(s.Model.DepthEntry));
        EXPECT_EQ(systemRecord().Offset, offset);
        EXPECT_EQ(systemRecord().TxRxAngle, angle);
        const std::vector<std::vector<REAL>> stored = {storedCurve(1, 1), storedCurve(1, 2), storedCurve(2, 1), storedCurve(2, 2)};
        for (std::size_t k = 0; k < c.Expected.size(); ++k) {
            SCOPED_TRACE(k + 1);
            if (!c.Geometry.empty()) {
                systemRecord().Offset = c.Geometry[k].first;
                systemRecord().TxRxAngle = c.Geometry[k].second;
            }
            for (INTEGER column = 1; column <= 2; ++column)
                EXPECT_EQ(stored[k * 2 + static_cast<std::size_t>(column - 1)], engineRun(c.Expected[k], column));
            systemRecord().Offset = offset;
            systemRecord().TxRxAngle = angle;
        }
    }
}

TEST_F(SuiteCalculationTest, TheDisplayKindDecidesTheColumnsStoredPerCurve)
{
    const std::pair<INTEGER, INTEGER> kinds[] = {{1, 1}, {2, 1}, {4, 2}, {5, 3}, {6, 3}};
    for (const auto& [kind, count] : kinds) {
        SCOPED_TRACE(kind);
        SetUp();
        systemRecord().DisplayKind = kind;
        base({{10}, {}});
        values(1, 1, {10});
        LOGICAL cancel = kFalse;
        calculateModelSuite(cancel);
        EXPECT_EQ(suiteState().KindCount, count);
        EXPECT_EQ(suiteState().SuiteCurves.extent2(), count);
        // The engine moves the all-time column of kind 5 into the first and keeps that one.
        EXPECT_EQ(suiteSoundingRecord().Record.Data.ColumnCount, kind == 5 ? 1 : count);
    }
}

TEST_F(SuiteCalculationTest, CancelDuringTheSecondCurveLeavesTheRestMissingAndHandsOnCloseAndCommands)
{
    base({{10}, {}});
    values(1, 1, {10, 20, 30, 40, 50});
    StopAtCurve::curve = 2;
    StopAtCurve::mainWindow = windowSlotTable().Slots[0].Frame.get();
    StopAtCurve::mainWindowMessages = {{WM_COMMAND, kCmdLabels}, {WM_CLOSE, 0}};
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, &StopAtCurve::hook, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    LOGICAL cancel = kFalse;
    calculateModelSuite(cancel);
    UnhookWindowsHookEx(hook);

    EXPECT_TRUE(isTrue(cancel));
    EXPECT_EQ(suiteState().CurvesComputed, 2);
    for (INTEGER k = 3; k <= 5; ++k)
        for (REAL v : storedCurve(k, 1)) ASSERT_EQ(v, 1.0e20f) << k;
    EXPECT_NE(storedCurve(2, 1).front(), 1.0e20f);
    // All six labels, and the labels are on.
    EXPECT_EQ(labelTable().Count, 6);
    EXPECT_TRUE(isTrue(graphOptionsState().LabelsShown));
    EXPECT_EQ(parameters(suiteSoundingRecord().Record), (std::vector<REAL>{10}));

    // The command and the close request wait for the main loop, in their order.
    INTEGER type = 0;
    EventRecord record{};
    ASSERT_TRUE(takeHeldMainLoopEvent(type, record));
    EXPECT_EQ(type, kEventCommand);
    EXPECT_EQ(record[1], kCmdLabels);
    ASSERT_TRUE(takeHeldMainLoopEvent(type, record));
    EXPECT_EQ(type, kEventClose);
    EXPECT_EQ(record[0], 0);
    while (takeHeldMainLoopEvent(type, record)) EXPECT_NE(type, kEventClose);
}

}  // namespace
