#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "WBRVLib/Brvl95.h"
#include "tests/support/ToolkitLinkFake.h"

namespace {

const REAL kNaN = std::numeric_limits<REAL>::quiet_NaN();
const REAL kInf = std::numeric_limits<REAL>::infinity();

TEST(Brvl95Arrays, ShiftCases)
{
    struct Case {
        INTEGER n, k;
        std::array<REAL, 5> result;
    } cases[] = {
        {5, 2, {0, 0, 1, 2, 3}}, {5, -2, {3, 4, 5, 0, 0}}, {5, 5, {1, 2, 3, 4, 5}}, {5, -6, {1, 2, 3, 4, 5}},
        {3, 1, {0, 1, 2, 4, 5}}, {0, 1, {1, 2, 3, 4, 5}},
        // Distances whose magnitude leaves the INTEGER range change nothing either.
        {5, INT_MIN, {1, 2, 3, 4, 5}}, {5, INT_MAX, {1, 2, 3, 4, 5}}, {5, INT_MIN + 1, {1, 2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        std::array<REAL, 5> a = {1, 2, 3, 4, 5};
        SHIFTF(a.data(), c.n, c.k);
        EXPECT_EQ(a, c.result) << "n=" << c.n << " k=" << c.k;
        // Every element type shares the shift: the integer and character forms move alike.
        std::array<INTEGER, 5> integers = {1, 2, 3, 4, 5};
        SHIFTI(integers.data(), c.n, c.k);
        std::array<char, 5> chars = {'1', '2', '3', '4', '5'};
        SHIFTC(chars.data(), c.n, c.k);
        for (std::size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(integers[i], static_cast<INTEGER>(c.result[i])) << "n=" << c.n << " k=" << c.k;
            EXPECT_EQ(chars[i], c.result[i] == 0 ? ' ' : static_cast<char>('0' + static_cast<int>(c.result[i]))) << "n=" << c.n << " k=" << c.k;
        }
    }
    std::array<char, 4> text = {'A', 'B', 'C', 'D'};
    SHIFTC(text.data(), 4, 1);
    EXPECT_EQ(std::string(text.data(), 4), " ABC");
    std::array<LOGICAL, 3> flags = {kTrue, kTrue, kTrue};
    SHIFTL(flags.data(), 3, -1);
    EXPECT_EQ(flags[2], kFalse);

    std::array<REAL, 4> row = {1, 2, 3, 4};
    INSRTF(row.data(), 2, 4, 9.0f);
    EXPECT_EQ(row, (std::array<REAL, 4>{1, 9, 2, 3}));
    INSRTF(row.data(), 5, 4, 7.0f);    // past n: nothing
    EXPECT_EQ(row, (std::array<REAL, 4>{1, 9, 2, 3}));
}

TEST(Brvl95Arrays, AddWithFloorAndSums)
{
    std::array<REAL, 3> a = {10, 3, kNaN};
    ADDTO(a.data(), 3, -5.0f, 1.0f);
    EXPECT_EQ(a[0], 5.0f);
    EXPECT_EQ(a[1], 1.0f);
    EXPECT_TRUE(std::isnan(a[2]));    // a NaN sum is stored as it is

    // The sum runs in extended precision: 1e8 + 1 + ... keeps the ones a REAL sum would drop.
    std::vector<REAL> values(101, 1.0f);
    values[0] = 1.0e8f;
    EXPECT_EQ(SUMOF(values.data(), 101), 100000100.0f);
    EXPECT_EQ(SUMOF(values.data(), 0), 0.0f);
    const REAL withGap[] = {2.0f, 1.0e20f, 4.0f};
    EXPECT_EQ(AVGOF(withGap, 3), 3.0f);
    const REAL x[] = {1, 2, 3, 4};
    EXPECT_EQ(XTY(x, 2, x, 1, 2), 1.0f * 1.0f + 3.0f * 2.0f);
    EXPECT_EQ(KOUNTEM(withGap, 3), 1);
}

TEST(Brvl95Numbers, NearlyEqualInSinglePrecision)
{
    struct Case {
        REAL a, b;
        bool equal;
    } cases[] = {
        {0.0f, 5.0e-7f, true}, {0.0f, 1.0e-6f, false}, {1.0e-6f, 0.0f, false}, {1.0f, -1.0f, false},
        {1.0f, 1.0000005f, true}, {1.0f, 1.00001f, false}, {kNaN, kNaN, false}, {kNaN, 1.0f, false},
        {3.0f, 3.0f, true}, {kInf, kInf, true}, {-2.0f, -2.000001f, true},
    };
    for (const Case& c : cases) EXPECT_EQ(isTrue(LNLYEQ(c.a, c.b)), c.equal) << c.a << " vs " << c.b;

    EXPECT_TRUE(isTrue(LEQNAN(kNaN)));
    EXPECT_FALSE(isTrue(LEQNAN(kInf)));
    EXPECT_FALSE(isTrue(LEQNAN(-kInf)));
    EXPECT_EQ(LEQNAN(kNaN), kTrue);    // all bits set for true
    const REAL complexValue[] = {1.0f, kNaN};
    EXPECT_TRUE(isTrue(LEQNANQ(complexValue)));
}

TEST(Brvl95Numbers, RunningExtremesSkipMarkersAndNoise)
{
    const REAL a[] = {1.0e20f, 0.0f, 5.0e-31f, 3.0f, kNaN, -2.0e15f};
    REAL amin = 1.0e30f, amax = -1.0e30f;
    FINDNX(a, 6, amin, amax);
    EXPECT_EQ(amin, 0.0f);
    EXPECT_EQ(amax, 3.0f);
    REAL untouchedMin = 1.0e30f, untouchedMax = -1.0e30f;
    FINDNX(a, 1, untouchedMin, untouchedMax);
    EXPECT_EQ(untouchedMin, 1.0e30f);
    EXPECT_EQ(untouchedMax, -1.0e30f);
}

TEST(Brvl95Numbers, TablesSearchesAndSorting)
{
    const REAL x[] = {1, 2, 4, 8};
    const REAL y[] = {10, 20, 40, 1.0e20f};
    struct Case {
        REAL x0, value;
    } cases[] = {{0.5f, 10}, {1.5f, 15}, {3.0f, 30}, {9.0f, 1.0e20f}, {4.5f, 40}, {7.5f, 1.0e20f}};
    for (const Case& c : cases) EXPECT_EQ(TERPOL(x, y, 4, c.x0), c.value) << c.x0;
    const REAL descending[] = {8, 4, 2};
    const REAL dy[] = {80, 40, 20};
    EXPECT_EQ(TERPOL(descending, dy, 3, 3.0f), 30.0f);
    const DOUBLE dx[] = {1, 2, 4};
    INTEGER k = 0;
    EXPECT_EQ(DTERPOL(dx, y, 3, 5.0, k), 40.0f);
    EXPECT_EQ(k, 3);

    EXPECT_EQ(INSERT(x, 4, 3.0f), 3);
    EXPECT_EQ(INSERT(x, 4, 4.0f), 0);
    EXPECT_EQ(INSERT(x, 4, 9.0f), 5);
    EXPECT_EQ(INSERTS(x, 4, 4.0f), 3);
    EXPECT_EQ(INSERT(descending, 3, 5.0f), 2);
    EXPECT_EQ(NEARIV(3.1f, x, 4), 3);
    EXPECT_EQ(NEARIV(3.0f, x, 0), -1);
    EXPECT_EQ(INDEXX(x, 4, 3.0f), 2);    // the first of equal distances wins

    REAL a[] = {3, 1, 2, 1};
    REAL b[] = {30, 10, 20, 11};
    ORDER5(a, b, nullptr, nullptr, nullptr, 4, 2);
    EXPECT_EQ(std::vector<REAL>(b, b + 4), (std::vector<REAL>{10, 11, 20, 30}));    // equal keys keep their order

    const REAL px[] = {1, 2, 3};
    const REAL py[] = {1, 4, 9};
    EXPECT_NEAR(FLAGRI(px, py, 2.5f, 3), 6.25f, 1e-5f);
    EXPECT_EQ(FLAGRI(px, py, 2.5f, 0), 1.0f);
}

TEST(Brvl95Numbers, SolveAndPolygonWinding)
{
    // 2x + y = 5, x + 3y = 10 -> x = 1, y = 3.
    REAL system[] = {2, 1, 1, 3, 5, 10};
    SOLVE(system, 2, 1);
    EXPECT_FALSE(isTrue(solveSingular()));
    EXPECT_NEAR(system[4], 1.0f, 1e-6f);
    EXPECT_NEAR(system[5], 3.0f, 1e-6f);
    REAL singular[] = {0, 1, 1, 0, 1, 1};
    SOLVE(singular, 2, 1);
    EXPECT_TRUE(isTrue(solveSingular()));

    const REAL sx[] = {0, 2, 2, 0};
    const REAL sy[] = {0, 0, 2, 2};
    EXPECT_EQ(INSIDE(1, 1, sx, sy, 4), 1);
    EXPECT_EQ(INSIDE(3, 1, sx, sy, 4), 0);
    EXPECT_EQ(INSIDE(2, 1, sx, sy, 4), -1);
    EXPECT_EQ(INSIDE(0, 0, sx, sy, 4), -1);
}

TEST(Brvl95Numbers, WidenAndNarrowInSharedStorage)
{
    // One block: four 16-bit values widened in place, then narrowed back.
    alignas(4) unsigned char block[16] = {};
    const std::int16_t narrow[] = {-1, 2, -300, 4};
    std::memcpy(block, narrow, sizeof narrow);
    I2TOI4(reinterpret_cast<const std::int16_t*>(block), reinterpret_cast<INTEGER*>(block), 4);
    INTEGER wide[4];
    std::memcpy(wide, block, sizeof wide);
    EXPECT_EQ(std::vector<INTEGER>(wide, wide + 4), (std::vector<INTEGER>{-1, 2, -300, 4}));
    I4TOI2(reinterpret_cast<std::int16_t*>(block), reinterpret_cast<const INTEGER*>(block), 4);
    std::int16_t back[4];
    std::memcpy(back, block, sizeof back);
    EXPECT_EQ(std::vector<std::int16_t>(back, back + 4), (std::vector<std::int16_t>{-1, 2, -300, 4}));

    const std::int8_t logical1[] = {-1, 0};
    LOGICAL logical4[2];
    L1TOL4(logical1, logical4, 2);
    EXPECT_EQ(logical4[0], kTrue);    // a true byte stays all bits set
    EXPECT_EQ(logical4[1], kFalse);

    // Narrowing keeps the low bytes; logicals narrowed in their own storage widen back unchanged.
    const INTEGER big[] = {70000, -70000, 32767, -32768};
    std::int16_t low[4];
    I4TOI2(low, big, 4);
    EXPECT_EQ(std::vector<std::int16_t>(low, low + 4), (std::vector<std::int16_t>{4464, -4464, 32767, -32768}));
    alignas(4) unsigned char flags[12] = {};
    const LOGICAL three[] = {kTrue, kFalse, kTrue};
    std::memcpy(flags, three, sizeof three);
    L4TOL1(reinterpret_cast<std::int8_t*>(flags), reinterpret_cast<const LOGICAL*>(flags), 3);
    L1TOL4(reinterpret_cast<const std::int8_t*>(flags), reinterpret_cast<LOGICAL*>(flags), 3);
    LOGICAL again[3];
    std::memcpy(again, flags, sizeof again);
    EXPECT_EQ(std::vector<LOGICAL>(again, again + 3), (std::vector<LOGICAL>{kTrue, kFalse, kTrue}));
}

TEST(Brvl95Dates, PackedDatesFollowTheGregorianCalendar)
{
    EXPECT_EQ(MONTHDAYYEARIN(5, 3, 1), 20050301);
    EXPECT_EQ(MONTHDAYYEARIN(85, 3, 1), 19850301);
    EXPECT_EQ(MONTHDAYYEARIN(1969, 3, 1), 19690301);
    INTEGER year = 0, month = 0, day = 0;
    MONTHDAYYEAROUT(20240229, year, month, day);
    EXPECT_EQ(year * 10000 + month * 100 + day, 20240229);

    struct Case {
        INTEGER year, month, day, dayOfYear;
    } cases[] = {{2000, 3, 1, 61}, {1900, 3, 1, 60}, {2100, 3, 1, 60}, {2024, 3, 1, 61}, {2023, 12, 31, 365}, {2023, 1, 1, 1}};
    for (const Case& c : cases) EXPECT_EQ(IDAYOFYEAR(c.year, c.month, c.day), c.dayOfYear) << c.year;

    EXPECT_EQ(IDAYSSINCE(1971, 1970), 365);
    EXPECT_EQ(IDAYSSINCE(2001, 1801), 73049);    // 1900 is no leap year, 2000 is
    EXPECT_EQ(IDAYSSINCE(1969, 1970), -365);     // before the base counts backwards
    EXPECT_EQ(TIMESINCE1970(19700102, 10203), 86400.0 + 3600.0 + 120.0 + 3.0);
    EXPECT_EQ(TIMESINCE1970(20000101, 0), 946684800.0);
    EXPECT_EQ(TIMESINCE1990(19900101, 1), 1.0);

    EXPECT_EQ(NOMORETHAN(25, 10), 5);
    EXPECT_EQ(NOMORETHAN(20, 10), 10);
    EXPECT_EQ(NOMORETHAN(7, 10), 7);
    EXPECT_EQ(NOMORETHAN(7, 0), 7);    // no endless loop on a bad limit
}

class StopRequest : public ::testing::Test {
protected:
    void SetUp() override { ToolkitLinkFake::reset(); }
    void TearDown() override { ToolkitLinkFake::reset(); }
    static void queue(INTEGER type)
    {
        EventRecord record;
        record[0] = 777;
        ToolkitLinkFake::script().Events.emplace_back(type, record);
    }
};

TEST_F(StopRequest, APushButtonLatchesUntilTheNextReset)
{
    queue(3);
    EXPECT_FALSE(isTrue(LKILL(kTrue)));
    EXPECT_EQ(ToolkitLinkFake::script().Events.size(), 1u);    // a reset looks at no event
    EXPECT_TRUE(isTrue(LKILL(kFalse)));
    EXPECT_TRUE(ToolkitLinkFake::script().Events.empty());      // the peeked event is consumed
    EXPECT_EQ(stopRequestState().LastEvent[0], 777);
    EXPECT_TRUE(isTrue(LKILL(kFalse)));                         // empty queue: still set
    EXPECT_EQ(stopRequestState().LastEventType, -1);
    EXPECT_FALSE(isTrue(LKILL(1)));                             // any non-zero reset clears it
    EXPECT_FALSE(isTrue(LKILL(kFalse)));
}

TEST_F(StopRequest, OtherEventsDoNotSetTheLatch)
{
    LKILL(kTrue);
    for (INTEGER type : {1, 2, 4, 5, 6, 7, 9, 10}) {
        queue(type);
        EXPECT_FALSE(isTrue(LKILL(kFalse))) << "event type " << type;
    }
    EXPECT_TRUE(ToolkitLinkFake::script().Events.empty());
    queue(3);
    INTEGER type = 0;
    EventRecord record;
    EXPECT_TRUE(isTrue(LKILLEV(kFalse, type, record)));
    EXPECT_EQ(type, 3);
    EXPECT_EQ(record[0], 777);
    LKILL(kTrue);
}

TEST_F(StopRequest, BoxesCarryTheirButtonsIconsAndDefaultsAndMapTheAnswer)
{
    struct Case {
        const char* name;
        INTEGER entryAnswer;
        INTEGER boxResult;
        INTEGER buttonSet, icon, defaultButton;
        LOGICAL flag;
    } cases[] = {
        {"WINMSGC", kFalse, 0, 1, 4, 1, kTrue},  {"WINMSGC", kTrue, 1, 1, 4, 1, kFalse},
        {"WINMSGC", kTrue, -1, 1, 4, 1, kFalse}, {"WINQUE", kTrue, 1, 3, 2, 1, kTrue},
        {"WINQUE", kFalse, 2, 3, 2, 2, kFalse},  {"WINQUE", kTrue, -1, 3, 2, 1, kFalse},
        {"WINANS", kTrue, 2, 3, 3, 2, kFalse},   {"WINANS", kFalse, 1, 3, 3, 2, kTrue},
        {"WINWRN", kFalse, 1, 0, 3, 1, kFalse},
    };
    for (const Case& c : cases) {
        ToolkitLinkFake::reset();
        ToolkitLinkFake::script().BoxResults.push_back(c.boxResult);
        LOGICAL flag = c.entryAnswer;
        const std::string name = c.name;
        if (name == "WINMSGC") WINMSGC("Text", flag);
        else if (name == "WINQUE") WINQUE("Text", flag);
        else if (name == "WINANS") WINANS("Text", flag);
        else WINWRN("Text");
        ASSERT_EQ(ToolkitLinkFake::script().Boxes.size(), 1u);
        const auto& box = ToolkitLinkFake::script().Boxes[0];
        EXPECT_EQ(box.Caption, "Brevalon Library Message");
        EXPECT_EQ(box.Message, "Text");
        EXPECT_EQ(box.ButtonSet, c.buttonSet) << name;
        EXPECT_EQ(box.Icon, c.icon) << name;
        EXPECT_EQ(box.DefaultButton, c.defaultButton) << name << " entry " << c.entryAnswer;
        if (name != "WINWRN") {
            EXPECT_EQ(flag, c.flag) << name << " result " << c.boxResult;
        }
    }
}

TEST_F(StopRequest, SaveChangesDialogReadsItsExitButton)
{
    struct Case {
        INTEGER button;
        LOGICAL yes, cancel;
    } cases[] = {{6, kTrue, kFalse}, {7, kFalse, kFalse}, {2, kTrue, kTrue}, {0, kTrue, kFalse}};
    for (const Case& c : cases) {
        ToolkitLinkFake::reset();
        ToolkitLinkFake::script().ExitButtons.push_back(c.button);
        LOGICAL yes = kTrue, cancel = kFalse;    // button 2 keeps yes as it was
        SAVEFILEDLG("Save changes?", yes, cancel);
        EXPECT_EQ(yes, c.yes) << c.button;
        EXPECT_EQ(cancel, c.cancel) << c.button;
        ASSERT_EQ(ToolkitLinkFake::script().PutStrings.size(), 1u);
        EXPECT_EQ(ToolkitLinkFake::script().PutStrings[0].first, 1002);
        EXPECT_EQ(ToolkitLinkFake::script().LoadedDialogs, std::vector<INTEGER>{101});
    }
}

}  // namespace
