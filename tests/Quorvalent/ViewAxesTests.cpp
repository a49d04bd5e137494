// The axis arithmetic of the view properties and the contour frame's scaling: totals kept across a
// change of decades, emptied fields, and the contour axes from their value ranges.
#include <gtest/gtest.h>

#include <cmath>

#include "Quorvalent/SuiteContours.h"
#include "Quorvalent/SuiteExport.h"
#include "Quorvalent/plotModel.h"
#include "Quorvalent/ViewAxes.h"

namespace {

TEST(ViewAxes, OkKeepsEveryAxisTotalWithItsNewStepCountAndLeavesAnAxisWithoutSteps)
{
    GraphFramePair curve{}, model{};
    curve[0].StepsX = 4, curve[0].LengthX = 1.25f;
    curve[0].StepsY = 3, curve[0].LengthY = 2.0f;
    model[0].StepsX = 2, model[0].LengthX = 1.25f;
    model[0].StepsY = 5, model[0].LengthY = -1.2f;  // depth grows downwards
    curve[1].StepsY = 0, curve[1].LengthY = 0.7f;   // no second graph
    const AxisTotalLengths totals = axisTotalLengths(curve, model);
    curve[0].StepsY = 4;
    model[0].StepsY = 3;
    restoreAxisTotalLengths(totals, curve, model);
    EXPECT_FLOAT_EQ(curve[0].LengthY, 1.5f);
    EXPECT_FLOAT_EQ(curve[0].LengthX, 1.25f);
    EXPECT_FLOAT_EQ(model[0].LengthY, -2.0f);
    EXPECT_FLOAT_EQ(curve[1].LengthY, 0.7f);
}

TEST(ViewAxes, AnEmptiedFieldKeepsTheStoredValue)
{
    INTEGER decades = 4;
    keepUnlessUndefined(kUndefinedInteger, decades);
    EXPECT_EQ(decades, 4);
    keepUnlessUndefined(6, decades);
    EXPECT_EQ(decades, 6);
    REAL height = 0.15f;
    keepUnlessUndefined(kUndefinedReal, height);
    EXPECT_EQ(height, 0.15f);
    keepUnlessUndefined(0.2f, height);
    EXPECT_EQ(height, 0.2f);
}

TEST(SuiteContours, TheRangesAreNarrowedBeforeTheAxesAreChosen)
{
    // 9.95 and 101 narrowed to 10.05 and 99.99: one decade from 10, not three from 1.
    const REAL x[] = {9.95f, 50.0f, 101.0f};
    const REAL y[] = {0.0f, 40.0f, 95.0f};
    GraphFrameRecord frame{};
    SCALECONTOURS(frame, x, 3, y, 3);
    EXPECT_TRUE(isTrue(frame.LogX));
    EXPECT_EQ(frame.StepX, 0.0f);
    EXPECT_EQ(frame.MinorX, 1);
    EXPECT_EQ(frame.StepsX, 1);
    EXPECT_FALSE(isTrue(frame.LogY));
    EXPECT_GT(frame.StepY, 0.0f);
    EXPECT_LE(frame.FirstTickY, 40.0f);
    EXPECT_GE(frame.FirstTickY + frame.StepY * frame.StepsY, 94.0f);
    EXPECT_TRUE(isTrue(frame.NumberBottom) && isTrue(frame.NumberLeft));
    EXPECT_FALSE(isTrue(frame.NumberRight) || isTrue(frame.NumberTop));
    EXPECT_EQ(frame.OriginX, 1.25f);
    EXPECT_EQ(frame.OriginY, 1.25f);
    EXPECT_EQ(frame.ClipHighX, 5.01f);
    EXPECT_EQ(frame.ClipHighY, 3.01f);
    EXPECT_FLOAT_EQ(frame.LengthX * frame.StepsX, 5.0f);
    EXPECT_FLOAT_EQ(frame.LengthY * frame.StepsY, 6.0f);
}

}  // namespace

namespace {

TEST(ViewAxes, TheModelRescaleSetsThePanelsFromTheValuesPerLayerAndSwapInvertsTheValueAxis)
{
    SoundingRecord s, companion;
    s.Model.NLayer = 2;
    s.Model.ValuesPerLayer = 1;
    s.Model.ParameterCount = 3;
    s.Data.PointCount = 1;
    s.Data.ColumnCount = 1;
    s.Data.GraphCount = 1;
    ALLOCSOUND(s, companion);
    s.Model.Parameters(1) = 10.0f;
    s.Model.Parameters(2) = 100.0f;
    s.Model.Parameters(3) = 50.0f;
    GraphFramePair frames{};
    MODELRESCALE1D(frames, s);
    EXPECT_EQ(modelPanelCount(), 1);
    EXPECT_GE(frames[0].StepsX, 1);
    EXPECT_GT(std::abs(frames[0].LengthY * frames[0].StepsY), 0.0f);
    s.Model.ValuesPerLayer = 2;
    MODELRESCALE1D(frames, s);
    EXPECT_EQ(modelPanelCount(), 2);
    modelPanelCount() = 1;

    const LOGICAL before = systemRecord().LogData;
    SWAPLOGDATA();
    EXPECT_EQ(isTrue(systemRecord().LogData), !isTrue(before));
    SWAPLOGDATA();
    EXPECT_EQ(systemRecord().LogData, before);
}

TEST(SuiteTable, TimeColumnThenValueDifferenceAndSlopePerCurve)
{
    SoundingRecord s, companion;
    s.Data.PointCount = 2;
    s.Data.ColumnCount = 2;
    s.Data.TimeColumnCount = 1;
    s.Data.GraphCount = 1;
    s.Model.NLayer = 1;
    s.Model.ValuesPerLayer = 1;
    s.Model.ParameterCount = 1;
    ALLOCSOUND(s, companion);
    s.Data.SampleTimes(1, 1) = 1.0f;
    s.Data.SampleTimes(2, 1) = 2.0f;
    s.ResponseValues(1, 1) = 10.0f;
    s.ResponseValues(2, 1) = 14.0f;
    s.ResponseValues(1, 2) = 30.0f;
    s.ResponseValues(2, 2) = 20.0f;
    const std::vector<std::string> lines = suiteTableLines(s);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "     TIME          IMP01     IMP01-IMP1   DIMP01/DT       IMP02     IMP02-IMP1   DIMP02/DT ");
    EXPECT_EQ(lines[1], "  1.00000E+00  1.00000E+01  0.00000E+00  4.00000E+00  3.00000E+01  2.00000E+01 -1.00000E+01");
    EXPECT_EQ(lines[2], "  2.00000E+00  1.40000E+01  0.00000E+00  4.00000E+00  2.00000E+01  6.00000E+00 -1.00000E+01");
}

}  // namespace
