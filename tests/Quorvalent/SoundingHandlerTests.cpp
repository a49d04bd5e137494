#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

#include "Quorvalent/SoundingHandler.h"
#include "tests/support/MessageRecorder.h"

namespace {

TEST(SystemRecordDefaults, SeventeenMembersStartAtTheirCompiledInValues)
{
    const SystemRecord r;
    EXPECT_EQ(r.LogData, kTrue);
    EXPECT_EQ(r.LogAbscissa, kTrue);
    const REAL reals[] = {r.TxRxAngle, r.RxArea, r.RxLength, r.TxAmps, r.TxLength, r.Offset, r.AbEnd, r.AbStart};
    const REAL expected[] = {90.0f, 1.0e5f, 1.0f, 1.0f, 1000.0f, 1000.0f, 10.0f, 0.001f};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(reals[i], expected[i]) << "real member " << i;
    const INTEGER integers[] = {r.DisplayKind, r.Unused1, r.ContourSetting, r.ILayer, r.NAbscissa, r.NSuite, r.IAbscissa};
    const INTEGER expectedIntegers[] = {4, 1, 1, 1, 31, 5, 1};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(integers[i], expectedIntegers[i]) << "integer member " << i;
    EXPECT_EQ(sizeof(SystemRecord), 17u * 4u);
}

// A small sounding with every count set: 4 points, 3 columns, 2 layers, a 3-layer model.
void describe(SoundingRecord& r, bool extraColumns = false)
{
    r.Data.PointCount = 4;
    r.Data.ColumnCount = 3;
    r.Data.TimeColumnCount = 1;
    r.Data.LayerCount = 2;
    r.Data.AuxCount = 2;
    r.Data.ExtraColumns = toLogical(extraColumns);
    r.Model.NLayer = 3;
    r.Model.ValuesPerLayer = 1;
    r.Model.ParameterCount = 5;
}

TEST(SoundingAllocation, ShapesFollowTheCounts)
{
    SoundingRecord r, c;
    describe(r, true);
    ALLOCSOUND(r, c);
    const SoundingDataRecord& d = r.Data;
    EXPECT_EQ(d.SampleTimes.extent1(), 4);
    EXPECT_EQ(d.SampleTimes.extent2(), 1);
    for (const AllocArray<REAL>* a : {&d.PointValues1, &d.PointValues2}) {
        EXPECT_EQ(a->extent1(), 4);
        EXPECT_EQ(a->extent2(), 5);    // two extra columns
    }
    EXPECT_EQ(d.PointFlags.extent2(), 5);
    EXPECT_EQ(d.ColumnFlags.size(), 3u);
    EXPECT_EQ(r.ResponseValues.extent2(), 3);
    EXPECT_EQ(c.ResponseValues.extent1(), 4);
    EXPECT_EQ(c.ResponseValues.extent2(), 3);
    EXPECT_EQ(d.AuxReal.size(), 2u);
    EXPECT_EQ(r.Model.Parameters.size(), 5u);
    EXPECT_EQ(r.Model.ParameterFlags1.size(), 5u);
    for (INTEGER v : d.LayerInteger4.values()) EXPECT_EQ(v, 1);
    for (INTEGER v : d.LayerInteger2.values()) EXPECT_EQ(v, 0);

    // Allocation twice with other counts: the arrays follow the new counts.
    r.Data.PointCount = 6;
    ALLOCSOUND(r, c);
    EXPECT_EQ(r.ResponseValues.extent1(), 6);
    EXPECT_EQ(c.ResponseValues.extent1(), 6);
}

TEST(SoundingAllocation, AuxiliaryArraysNeedNoMorePointsAndNegativeCountsAreZero)
{
    SoundingRecord r, c;
    r.Data.PointCount = 5;
    r.Data.AuxCount = 7;
    r.Data.ColumnCount = -2;
    r.Data.LayerCount = -1;
    ALLOCSOUND(r, c);
    EXPECT_EQ(r.Data.AuxCount, 0);
    EXPECT_FALSE(r.Data.AuxReal.allocated());
    EXPECT_FALSE(r.Data.AuxInteger.allocated());
    EXPECT_TRUE(r.ResponseValues.allocated());
    EXPECT_EQ(r.ResponseValues.size(), 0u);
    EXPECT_EQ(r.Data.LayerReal1.size(), 0u);

    DEALLOCSOUND(r, c);
    EXPECT_FALSE(r.Data.SampleTimes.allocated());
    EXPECT_FALSE(c.ResponseValues.allocated());
    EXPECT_EQ(r.CopyMark, kTrue);
    EXPECT_EQ(r.ResponseComputed, kFalse);
}

TEST(SoundingCopy, DeepCopyIsIndependentOfItsSource)
{
    SoundingRecord s, sc, d, dc;
    describe(s);
    ALLOCSOUND(s, sc);
    s.Data.Title.assign("Source");
    s.Model.Parameters(1) = 10.0f;
    s.Model.Parameters(4) = 50.0f;
    s.ResponseValues(2, 3) = 7.0f;
    s.Data.LayerInteger1(2) = 9;
    s.Data.AuxReal(1) = 3.5f;
    s.ResponseComputed = kTrue;
    // The engine gives a one-point record its own sample count with one time column.
    s.Data.SampleTimes.deallocate();
    s.Data.SampleTimes.allocate(31, 1);
    s.Data.SampleTimes(31) = 10.0f;

    d.Model.ModelSwitch2 = 4;
    d.Data.Words10[5].setInteger(66);
    d.Data.Words10[9].setInteger(99);
    s.Data.Words10[5].setInteger(1);
    s.Data.Words10[0].setInteger(5);

    COPYSOUND(d, dc, s, sc);
    EXPECT_EQ(d.Data.Title, std::string_view("Source"));
    EXPECT_EQ(d.Model.Parameters(4), 50.0f);
    EXPECT_EQ(d.ResponseValues(2, 3), 7.0f);
    EXPECT_EQ(d.Data.LayerInteger1(2), 9);
    EXPECT_EQ(d.Data.AuxReal(1), 3.5f);
    EXPECT_EQ(d.Data.SampleTimes.extent1(), 31);
    EXPECT_EQ(d.Data.SampleTimes(31), 10.0f);
    EXPECT_EQ(dc.Data.SampleTimes(31), 10.0f);    // the companion's data part is the destination's
    EXPECT_EQ(d.ResponseComputed, kTrue);
    EXPECT_EQ(d.CopyMark, kTrue);
    EXPECT_EQ(d.Data.Words23[19].integer(), kTrue);
    EXPECT_EQ(d.Model.ModelSwitch2, 4);
    EXPECT_EQ(d.Data.Words10[5].integer(), 66);
    EXPECT_EQ(d.Data.Words10[9].integer(), 99);
    EXPECT_EQ(d.Data.Words10[0].integer(), 5);

    // Independent both ways.
    s.Model.Parameters(1) = -1.0f;
    s.ResponseValues(2, 3) = -1.0f;
    d.Data.SampleTimes(1) = 42.0f;
    EXPECT_EQ(d.Model.Parameters(1), 10.0f);
    EXPECT_EQ(d.ResponseValues(2, 3), 7.0f);
    EXPECT_EQ(s.Data.SampleTimes(1), 0.0f);
}

// Counts no 32-bit program can hold, in the allocation and in the copy: the pair is released and
// the user told, nothing escapes, nothing is half made.
TEST(SoundingAllocation, CountsBeyondMemoryAreRefusedWithTheMessage)
{
    struct Case {
        const char* what;
        bool copy;    // through COPYSOUND (else ALLOCSOUND)
        std::function<void(SoundingRecord&, SoundingRecord&)> counts;
    } cases[] = {
        {"points by columns", false, [](SoundingRecord& r, SoundingRecord&) { r.Data.PointCount = INT_MAX; r.Data.ColumnCount = INT_MAX; }},
        {"points by extra columns", false, [](SoundingRecord& r, SoundingRecord&) { r.Data.PointCount = 1 << 30; r.Data.ExtraColumns = kTrue; }},
        {"layers", false, [](SoundingRecord& r, SoundingRecord&) { r.Data.LayerCount = INT_MAX; }},
        {"parameters", false, [](SoundingRecord& r, SoundingRecord&) { r.Model.ParameterCount = INT_MAX; }},
        // p(p+1)/2 passes the int range just past 46,340 parameters.
        {"packed matrix of 46,341", true, [](SoundingRecord& s, SoundingRecord&) {
             s.Model.ParameterCount = 46341;
             s.PackedMatrix.allocate(1);
             s.PackedPresent = kTrue;
         }},
        {"packed matrix of 65,536", true, [](SoundingRecord& s, SoundingRecord&) {
             s.Model.ParameterCount = 65536;
             s.PackedMatrix.allocate(1);
             s.PackedPresent = kTrue;
         }},
        {"extra matrix 2p by p", true, [](SoundingRecord& s, SoundingRecord&) {
             s.Model.ParameterCount = 40000;
             s.ExtraModels = kTrue;
         }},
        {"companion's packed matrix", true, [](SoundingRecord&, SoundingRecord& sc) {
             sc.ResponseComputed = kTrue;
             sc.PackedPresent = kTrue;
             sc.Model.ParameterCount = 46341;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MessageRecorder::clear();
        SoundingRecord s, sc, d, dc;
        describe(s);
        if (c.copy) {
            ALLOCSOUND(s, sc);
            describe(d);
            ALLOCSOUND(d, dc);
        }
        c.counts(s, sc);
        if (c.copy) COPYSOUND(d, dc, s, sc);
        else ALLOCSOUND(s, sc);
        ASSERT_EQ(MessageRecorder::shown().size(), 1u);
        EXPECT_EQ(MessageRecorder::shown()[0], SoundingMessages::kTooLarge);
        SoundingRecord& r = c.copy ? d : s;
        SoundingRecord& rc = c.copy ? dc : sc;
        for (const AllocArray<REAL>* a : {&r.Data.SampleTimes, &r.Data.PointValues1, &r.Data.LayerReal1, &r.Model.Parameters,
                                          &r.ResponseValues, &rc.ResponseValues, &r.PackedMatrix, &r.ExtraMatrix})
            EXPECT_FALSE(a->allocated());
        EXPECT_FALSE(isTrue(r.ResponseComputed));
    }
    MessageRecorder::clear();

    // The status of a re-creation tells the failure too.
    SoundingDataRecord data;
    data.PointCount = INT_MAX;
    INTEGER status = 0;
    REALLOCDATA(data, INT_MAX, 1, status);
    EXPECT_NE(status, 0);
    data.PointCount = 4;
    REALLOCLENGTH(data, 1, 1, status);
    EXPECT_EQ(status, 0);
}

TEST(SoundingCopy, PackedMatrixAndCompanionRules)
{
    SoundingRecord s, sc, d, dc;
    describe(s);
    ALLOCSOUND(s, sc);
    s.PackedPresent = kTrue;    // but no matrix
    COPYSOUND(d, dc, s, sc);
    EXPECT_EQ(s.PackedPresent, kFalse);    // the source is corrected
    EXPECT_FALSE(d.PackedMatrix.allocated());
    // An uncomputed source companion: nothing of its model, a zero response shaped like D's.
    EXPECT_EQ(dc.Model.NLayer, 0);
    EXPECT_EQ(dc.Model.ParameterCount, 0);
    EXPECT_FALSE(dc.Model.Parameters.allocated());
    EXPECT_EQ(dc.ResponseValues.extent1(), 4);
    EXPECT_EQ(dc.ResponseValues.extent2(), 3);
    for (REAL v : dc.ResponseValues.values()) EXPECT_EQ(v, 0.0f);

    // With a matrix and a computed companion, and copied a second time into the same pair.
    s.PackedMatrix.allocate(15);
    s.PackedMatrix(15) = 2.5f;
    s.PackedPresent = kTrue;
    sc.ResponseComputed = kTrue;
    sc.PackedPresent = kTrue;
    sc.Model.NLayer = 3;
    sc.Model.ParameterCount = 5;
    sc.Model.Parameters.allocate(5);
    sc.Model.Parameters(5) = 77.0f;
    sc.PackedMatrix.allocate(15);
    sc.ResponseValues(4, 3) = 8.0f;
    for (int pass = 0; pass < 2; ++pass) {
        COPYSOUND(d, dc, s, sc);
        ASSERT_EQ(d.PackedMatrix.size(), 15u);
        EXPECT_EQ(d.PackedMatrix(15), 2.5f);
        EXPECT_EQ(dc.Model.Parameters(5), 77.0f);
        EXPECT_EQ(dc.ResponseValues(4, 3), 8.0f);
        EXPECT_EQ(dc.PackedMatrix.size(), 15u);
    }
}

TEST(LayerModel, GetAndPutRoundTrip)
{
    SoundingRecord r, c;
    describe(r);
    ALLOCSOUND(r, c);
    r.Model.DepthEntry = kTrue;
    for (int i = 1; i <= 5; ++i) r.Model.Parameters(i) = static_cast<REAL>(i * 10);
    r.ResponseComputed = r.PackedPresent = r.ExtraModels = r.CopyMark = kTrue;

    LayerModelRecord m;
    GETMODEL1D(r, m);
    EXPECT_EQ(m.NLayer, 3);
    EXPECT_EQ(m.DepthEntry, kTrue);
    m.Parameters(2) = 123.0f;
    m.ParameterCount = 5;
    PUTMODEL1D(r, m);
    EXPECT_EQ(r.Model.Parameters(2), 123.0f);
    EXPECT_EQ(r.Model.Parameters(5), 50.0f);
    for (LOGICAL flag : {r.ResponseComputed, r.PackedPresent, r.ExtraModels, r.CopyMark}) EXPECT_EQ(flag, kFalse);
    m.Parameters(2) = 0.0f;    // independent after the put
    EXPECT_EQ(r.Model.Parameters(2), 123.0f);
}

TEST(SoundingTypes, ModelOnDataSwitchedOffForSurfaceSoundings)
{
    struct Case {
        const char* type;
        LOGICAL result;
    } cases[] = {{"Grounded Wire TEM   ", kFalse}, {"Vertical Coplanar   ", kFalse}, {"Circular Loop Hz    ", kTrue},
                 {"Marine TEM XLine H  ", kTrue}, {"", kTrue}};
    for (const Case& c : cases) {
        SoundingRecord r;
        r.Data.SoundingType.assign(c.type);
        LOGICAL flag = kTrue;
        CHECKMODONDAT(r, flag);
        EXPECT_EQ(flag, c.result) << c.type;
    }
}

TEST(SoundingAllocation, ReallocateAndNullify)
{
    SoundingRecord r, c;
    describe(r);
    ALLOCSOUND(r, c);
    INTEGER status = -1;
    REALLOCDATA(r.Data, 2, 6, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(r.Data.SampleTimes.extent2(), 2);
    EXPECT_EQ(r.Data.PointValues1.extent2(), 6);
    EXPECT_EQ(r.Data.PointValues2.extent2(), 3);
    NULLIFYSOUND(r, c);
    EXPECT_EQ(r.Data.PointCount, 0);
    EXPECT_FALSE(r.Data.SampleTimes.allocated());
    EXPECT_EQ(c.CopyMark, kTrue);
    EXPECT_EQ(c.Model.ValuesPerLayer, 1);
}

}  // namespace
