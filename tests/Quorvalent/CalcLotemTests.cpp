// CALCLOTEM on sounding records: fitting the record to the grid, display scaling, the apparent
// resistivities over a half-space, and every refusal with its message and missing values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "Quorvalent/CURVES.h"
#include "Quorvalent/CalcLotem.h"
#include "Quorvalent/HZEXACT.h"
#include "Quorvalent/SuiteState.h"
#include "tests/support/MessageRecorder.h"

namespace {

// A record as the program starts it: one point, one column, a one-layer model.
struct Sounding {
    SoundingRecord record;

    explicit Sounding(std::vector<float> parameters = {100.0f}, int layers = 1, bool depthEntry = false, int points = 1,
                      int columns = 1)
    {
        record.Data.PointCount = points;
        record.Data.ColumnCount = columns;
        record.Model.NLayer = layers;
        record.Model.ValuesPerLayer = 1;
        record.Model.ParameterCount = static_cast<int>(parameters.size());
        record.Model.DepthEntry = toLogical(depthEntry);
        record.Model.Parameters.allocate(static_cast<int>(parameters.size()));
        for (std::size_t i = 0; i < parameters.size(); ++i) record.Model.Parameters(static_cast<int>(i) + 1) = parameters[i];
        record.ResponseValues.allocate(points, columns);
        record.Data.SampleTimes.allocate(points, 1);
    }
    float value(int i, int column = 1) { return record.ResponseValues(i, column); }
    float time(int i) { return record.Data.SampleTimes(i, 1); }
};

class CalcLotemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        systemRecord() = SystemRecord{};
        suiteState().FieldComponent = kFieldHz;
        MessageRecorder::clear();
    }
    static void expectAllMissing(Sounding& s, int column = 1)
    {
        for (int i = 1; i <= s.record.ResponseValues.extent1(); ++i) EXPECT_EQ(s.value(i, column), kMissingValue) << i;
    }
};

float hzexact(float t, float rho = 100.0f, float r = 1000.0f, float angle = 90.0f)
{
    float out = 0.0f;
    HZEXACT(t, 1.0f, 1.0f, r, angle, rho, out);
    return out;
}

}  // namespace

TEST_F(CalcLotemTest, NewRecordTakesTheGridAndHzReceivedVoltage)
{
    SystemRecord& system = systemRecord();
    system.DisplayKind = kDisplayReceivedVoltage;
    system.TxLength = 500.0f;
    system.TxAmps = 20.0f;
    system.RxArea = 2.0e4f;
    Sounding s;
    CALCLOTEM(s.record);

    EXPECT_TRUE(MessageRecorder::shown().empty());
    ASSERT_EQ(s.record.Data.PointCount, 42);
    ASSERT_EQ(s.record.ResponseValues.extent1(), 42);
    ASSERT_EQ(s.record.Data.SampleTimes.extent1(), 42);
    EXPECT_TRUE(isTrue(s.record.ResponseComputed));
    EXPECT_EQ(s.record.HeaderReal1, 1.0e10f);
    EXPECT_EQ(s.record.HeaderReal2, 1.0e10f);
    const double factor = 500.0 * 20.0 * 2.0e4 * 1.65e9;  // the coil voltage carries 1.65E9
    for (int i = 1; i <= 42; ++i) {
        EXPECT_FLOAT_EQ(s.time(i), engineCurveBlock().Times[i - 1]);
        EXPECT_NEAR(s.value(i) / (factor * hzexact(s.time(i))), 1.0, 1e-5) << i;
    }
    EXPECT_FLOAT_EQ(s.time(1), 0.001f);
    EXPECT_FLOAT_EQ(engineBlock().Offset, 1000.0f);  // the scalars stay for the MODALL export
    EXPECT_TRUE(engineBlock().Resistivities.empty());
}

TEST_F(CalcLotemTest, EarlyTimeResistivityTendsToTheTrueOneAtEarlyTimes)
{
    SystemRecord& system = systemRecord();
    system.DisplayKind = kDisplayEarlyRho;
    system.AbStart = 1.0e-6f;  // u = 56 at the first sample
    Sounding s;
    CALCLOTEM(s.record);
    ASSERT_TRUE(isTrue(s.record.ResponseComputed));
    for (int i = 1; i <= 20; ++i) EXPECT_NEAR(s.value(i) / 100.0, 1.0, 1e-3) << "t = " << s.time(i);
    // The early-time value falls well below the true resistivity once the field has diffused.
    EXPECT_LT(s.value(s.record.Data.PointCount), 1.0f);
}

TEST_F(CalcLotemTest, LateTimeResistivityTendsToTheTrueOneAtLateTimes)
{
    SystemRecord& system = systemRecord();
    system.DisplayKind = kDisplayEarlyLateRho;
    system.AbEnd = 1000.0f;  // u < 0.02 beyond about 8 s
    Sounding s;
    CALCLOTEM(s.record);
    ASSERT_TRUE(isTrue(s.record.ResponseComputed));
    ASSERT_GE(s.record.ResponseValues.extent2(), 2);  // a one-column record still gets the late column
    const int n = s.record.Data.PointCount;
    for (int i = 1; i <= n; ++i)
        if (s.time(i) > 10.0f) {
            EXPECT_NEAR(s.value(i, 2) / 100.0, 1.0, 1e-3) << "t = " << s.time(i);
        }
    EXPECT_NEAR(s.value(1, 1) / 100.0, 1.0, 0.35);  // column 1 is still the early-time value
}

TEST_F(CalcLotemTest, LongerRecordKeepsItsSizeAndGetsMissingValuesBeyondTheGrid)
{
    systemRecord().DisplayKind = kDisplayReceivedVoltage;
    Sounding s({100.0f}, 1, false, 50, 3);
    s.record.ResponseValues.fill(7.0f);
    s.record.Data.SampleTimes.fill(7.0f);
    CALCLOTEM(s.record);
    ASSERT_EQ(s.record.Data.PointCount, 50);
    ASSERT_TRUE(isTrue(s.record.ResponseComputed));
    for (int i = 43; i <= 50; ++i) {
        EXPECT_EQ(s.value(i, 1), kMissingValue);
        EXPECT_EQ(s.time(i), kMissingValue);
        EXPECT_EQ(s.value(i, 2), 7.0f);  // the other columns keep what they held
    }
    EXPECT_NE(s.value(42, 1), kMissingValue);
}

TEST_F(CalcLotemTest, RefusalsShowTheirMessageAndLeaveMissingValues)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        std::vector<float> parameters;
        int layers;
        bool depths;
        int points;
        float offset, start, end;
        const char* message;
        float angle = 90.0f;
    } cases[] = {
        {"no layers", {100.0f}, 0, false, 1, 1000.0f, 0.001f, 10.0f, "Model has no layers"},
        {"equal depths", {10, 20, 30, 100, 100}, 3, true, 1, 1000.0f, 0.001f, 10.0f, "Model specified as depth has negative thicknesses"},
        {"decreasing depths", {10, 20, 30, 300, 100}, 3, true, 1, 1000.0f, 0.001f, 10.0f, "Model specified as depth has negative thicknesses"},
        {"negative thickness", {10, 20, -5}, 2, false, 1, 1000.0f, 0.001f, 10.0f, "Model has negative thicknesses"},
        {"blank resistivity", {-999.0f}, 1, false, 1, 1000.0f, 0.001f, 10.0f, "Layer resistivities must be greater than 0"},
        {"missing parameters", {10, 20}, 2, false, 1, 1000.0f, 0.001f, 10.0f, "Model has fewer parameters than layers"},
        {"zero offset", {100.0f}, 1, false, 1, 0.0f, 0.001f, 10.0f, "Source-receiver offset must be greater than 0"},
        {"zero start", {100.0f}, 1, false, 1, 1000.0f, 0.0f, 10.0f, "Time window must start after 0 s and end after its start"},
        {"end before start", {100.0f}, 1, false, 1, 1000.0f, 1.0f, 0.5f, "Time window must start after 0 s and end after its start"},
        {"NaN start", {100.0f}, 1, false, 1, 1000.0f, nan, 10.0f, "Time window must start after 0 s and end after its start"},
        {"29 decades", {100.0f}, 1, false, 1, 1000.0f, 1.0e-13f, 2.0e16f, "Time window too long: a curve holds at most 300 samples"},
        {"fewer points than samples", {100.0f}, 1, false, 30, 1000.0f, 0.001f, 10.0f, "Increase in number of points in suite curve:"},
        {"angle 0 on a half-space", {100.0f}, 1, false, 1, 1000.0f, 0.001f, 10.0f, EngineMessages::kHalfSpaceAngle, 0.0f},
        {"NaN angle on a half-space", {100.0f}, 1, false, 1, 1000.0f, 0.001f, 10.0f, EngineMessages::kBadAngle, nan},
        {"NaN angle on layers", {10, 20, 30}, 2, false, 1, 1000.0f, 0.001f, 10.0f, EngineMessages::kBadAngle, nan},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MessageRecorder::clear();
        SystemRecord& system = systemRecord();
        system.Offset = c.offset;
        system.AbStart = c.start;
        system.AbEnd = c.end;
        system.TxRxAngle = c.angle;
        Sounding s(c.parameters, c.layers, c.depths, c.points);
        s.record.ResponseValues.fill(7.0f);
        CALCLOTEM(s.record);
        ASSERT_EQ(MessageRecorder::shown().size(), 1u);
        EXPECT_EQ(MessageRecorder::shown()[0], c.message);
        EXPECT_FALSE(isTrue(s.record.ResponseComputed));
        EXPECT_EQ(s.record.Data.PointCount, c.points);
        expectAllMissing(s);
        EXPECT_TRUE(engineBlock().Resistivities.empty());
    }
}

TEST_F(CalcLotemTest, TwentyEightDecadesAreAccepted)
{
    SystemRecord& system = systemRecord();
    system.DisplayKind = kDisplayReceivedVoltage;
    system.AbStart = 1.0e-13f;
    system.AbEnd = 2.0e15f;
    Sounding s;
    CALCLOTEM(s.record);
    EXPECT_TRUE(MessageRecorder::shown().empty());
    EXPECT_EQ(s.record.Data.PointCount, 292);
}

TEST_F(CalcLotemTest, NoApparentResistivityAlongTheWireAndNoStaleCurve)
{
    SystemRecord& system = systemRecord();
    system.DisplayKind = kDisplayEarlyLateRho;
    Sounding s;
    CALCLOTEM(s.record);
    ASSERT_TRUE(isTrue(s.record.ResponseComputed));

    // At 0 degrees the half-space curve is refused; the previous curve must not come back scaled.
    system.TxRxAngle = 0.0f;
    s.record.ResponseComputed = kFalse;
    CALCLOTEM(s.record);
    EXPECT_FALSE(isTrue(s.record.ResponseComputed));
    expectAllMissing(s, 1);
    ASSERT_EQ(MessageRecorder::shown().size(), 1u);
    MessageRecorder::clear();

    // At 180 degrees the field is computed, but the early-time factor would divide by sin = 0.
    system.TxRxAngle = 180.0f;
    CALCLOTEM(s.record);
    for (int column : {1, 2}) expectAllMissing(s, column);
    EXPECT_TRUE(MessageRecorder::shown().empty());
}

TEST_F(CalcLotemTest, NormalisedTimeAxisWithOneLayerWritesRealTimes)
{
    SystemRecord& system = systemRecord();
    system.DisplayKind = kDisplayReceivedVoltage;
    system.IAbscissa = kTimeAxisNormalised;
    Sounding s;
    CALCLOTEM(s.record);
    ASSERT_TRUE(isTrue(s.record.ResponseComputed));
    EXPECT_FLOAT_EQ(s.time(1), 0.001f);
    EXPECT_NEAR(s.time(42), 12.589f, 1e-3);
}

TEST_F(CalcLotemTest, DepthsAndThicknessesGiveTheSameLayeredCurve)
{
    systemRecord().DisplayKind = kDisplayEarlyLateRho;
    Sounding thicknesses({10.0f, 100.0f, 3.0f, 100.0f, 200.0f}, 3, false);
    Sounding depths({10.0f, 100.0f, 3.0f, 100.0f, 300.0f}, 3, true);
    Sounding depthsAsThicknesses({10.0f, 100.0f, 3.0f, 100.0f, 300.0f}, 3, false);
    for (Sounding* s : {&thicknesses, &depths, &depthsAsThicknesses}) {
        CALCLOTEM(s->record);
        ASSERT_TRUE(isTrue(s->record.ResponseComputed));
    }
    EXPECT_TRUE(MessageRecorder::shown().empty());
    int differing = 0;
    for (int i = 1; i <= 42; ++i) {
        EXPECT_EQ(depths.value(i, 1), thicknesses.value(i, 1)) << i;
        EXPECT_EQ(depths.value(i, 2), thicknesses.value(i, 2)) << i;
        differing += std::fabs(depthsAsThicknesses.value(i, 1) / thicknesses.value(i, 1) - 1.0f) > 1e-3f;
    }
    EXPECT_GT(differing, 10);  // the fixture is sensitive to the second boundary
}

TEST_F(CalcLotemTest, ElectricFieldsAreScaledByTheSourceAndTheDipole)
{
    SystemRecord& system = systemRecord();
    system.TxLength = 500.0f;
    system.TxAmps = 20.0f;
    system.RxLength = 50.0f;
    system.TxRxAngle = 30.0f;
    struct Case { int component, kind; double factor; } cases[] = {
        {kFieldEx, kDisplayElectricField, 500.0 * 20.0 * 1.0e9},
        {kFieldEx, kDisplayReceivedVoltage, 500.0 * 20.0 * 50.0 * 1.0e9},
        {kFieldEy, kDisplayElectricField, 500.0 * 20.0 * 1.0e9},
    };
    for (const auto& c : cases) {
        suiteState().FieldComponent = c.component;
        system.DisplayKind = c.kind;
        Sounding s({10.0f, 100.0f, 300.0f}, 2);
        CALCLOTEM(s.record);
        ASSERT_TRUE(isTrue(s.record.ResponseComputed));
        ASSERT_EQ(s.record.Data.PointCount, 42);
        for (int i = 1; i <= 42; ++i) {
            ASSERT_GT(engineCurveBlock().Values[i - 1], 0.0f);
            EXPECT_NEAR(s.value(i) / (c.factor * engineCurveBlock().Values[i - 1]), 1.0, 1e-6) << i;
        }
    }
    EXPECT_TRUE(MessageRecorder::shown().empty());
}

TEST_F(CalcLotemTest, AllTimeKindsFillTheirColumns)
{
    SystemRecord& system = systemRecord();
    system.AbStart = 1.0e-5f;
    struct Case { int kind, columns; } cases[] = {{kDisplayEarlyLateAllTimeRho, 3}, {kDisplayAllTimeRho, 1}};
    for (const auto& c : cases) {
        system.DisplayKind = c.kind;
        Sounding s({100.0f, 100.0f, 300.0f}, 2, false, 1, 3);
        CALCLOTEM(s.record);
        ASSERT_TRUE(isTrue(s.record.ResponseComputed));
        EXPECT_EQ(s.record.Data.ColumnCount, c.columns);
        const int n = s.record.Data.PointCount;
        ASSERT_EQ(n, 62);
        for (int i = 1; i <= n; ++i) {
            const float allTime = engineCurveBlock().AllTimeResistivity[i - 1];
            EXPECT_EQ(s.value(i, 3), allTime) << i;
            if (c.kind == kDisplayAllTimeRho) EXPECT_EQ(s.value(i, 1), allTime) << i;
            else EXPECT_NEAR(s.value(i, 1) / (2.0 * std::numbers::pi * 1.0e12 / 3.0 * engineCurveBlock().Values[i - 1]), 1.0, 1e-6) << i;
            EXPECT_NE(s.value(i, 2), kMissingValue);  // the late-time column stays in the array
        }
        EXPECT_NEAR(s.value(10, 3) / 100.0f, 1.0f, 5e-3);
    }
    // Along the wire there is no early-time resistivity to build the all-time target from.
    system.TxRxAngle = 180.0f;
    system.DisplayKind = kDisplayEarlyLateAllTimeRho;
    Sounding along({100.0f, 100.0f, 300.0f}, 2, false, 1, 3);
    CALCLOTEM(along.record);
    for (int column : {1, 2, 3}) expectAllMissing(along, column);
    EXPECT_TRUE(MessageRecorder::shown().empty());
}
