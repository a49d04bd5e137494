// The field workers under Wine, for what they add to the public field routines: the identifier
// that comes back -1 for a missing field or a field of the wrong class (and -2 where a value is
// undefined) with nothing changed, the field rectangle, and the two ways of setting a range.
// Dialog 9000 holds the label 9001, the edit 9002, the check box 9003, the combo box 9004, the
// trackbar 9005 (range 0 to 100), the push button 9006 and the radio group 9011-9014.
#include <gtest/gtest.h>

#include "toolkit/foundation/CommonControls.h"

#include <functional>
#include <string>

#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/dialogs/DialogFieldValues.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/GridSetUp.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"

using namespace GuiHarness;
using namespace ToolkitSession;

namespace {

constexpr INTEGER kLabel = 9001, kEdit = 9002, kCheck = 9003, kCombo = 9004, kTrackbar = 9005, kPush = 9006;
constexpr INTEGER kRadio1 = 9011, kRadio2 = 9012, kRadio3 = 9013, kRadio4 = 9014;
constexpr INTEGER kMissing = 9499;

class FieldWorkerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WindowOpen(39, 40, 40, 400, 300);
        WDialogLoad(9000);
        dialog_ = YYCurrentDialog();
        ASSERT_NE(dialog_, nullptr);
        libraryErrorState().LastErrorNumber = 0;
    }
    void TearDown() override
    {
        EXPECT_EQ(unloadAllDialogs(), 0);
        closeAllWindows();
        EXPECT_EQ(dialogManagerState().liveFieldRecords, 0);
    }
    HWND item(INTEGER id) const { return GetDlgItem(dialog_, id); }
    FieldRecord& record(INTEGER id) const { return *YYFieldRecordOf(item(id)); }
    static INTEGER checked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0; }
    static INTEGER lastError() { return libraryErrorState().LastErrorNumber; }

    HWND dialog_ = nullptr;
    Watchdog watchdog_{std::chrono::milliseconds(60000)};
};

}  // namespace

TEST_F(FieldWorkerTest, MissingFieldsAndWrongClassesComeBackMinusOneWithNothingChanged)
{
    SetWindowTextA(item(kEdit), "kept");
    SendMessageA(item(kCheck), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(item(kRadio2), BM_SETCHECK, BST_CHECKED, 0);
    record(kEdit).minimum = 1.0;
    record(kEdit).maximum = 2.0;
    const LONG editStyle = GetWindowLongA(item(kEdit), GWL_STYLE);
    INTEGER number = 77;
    std::string text = "untouched";
    RECT rect{1, 2, 3, 4};

    struct Case {
        const char* worker;
        INTEGER field;
        std::function<void(INTEGER&)> call;
    };
    const Case cases[] = {
        {"GetText", kMissing, [&](INTEGER& f) { YYFieldGetText(f, text); }},
        {"TextLength", kMissing, [&](INTEGER& f) { YYFieldTextLength(f, number); }},
        {"SetRange", kMissing, [](INTEGER& f) { YYFieldSetRange(f, 1, 5); }},
        {"StoreRange", kMissing, [](INTEGER& f) { YYFieldStoreRange(f, 1.0, 5.0); }},
        {"GetCheck", kMissing, [&](INTEGER& f) { YYFieldGetCheck(f, number); }},
        {"GetCheck", kEdit, [&](INTEGER& f) { YYFieldGetCheck(f, number); }},
        {"GetCheck", kPush, [&](INTEGER& f) { YYFieldGetCheck(f, number); }},
        {"PutCheck", kPush, [](INTEGER& f) { YYFieldPutCheck(f, 1); }},
        {"PutCheck", kLabel, [](INTEGER& f) { YYFieldPutCheck(f, 1); }},
        {"GetRadio", kEdit, [&](INTEGER& f) { YYFieldGetRadio(f, number); }},
        {"GetRadio", kMissing, [&](INTEGER& f) { YYFieldGetRadio(f, number); }},
        {"PutRadio", kPush, [](INTEGER& f) { YYFieldPutRadio(f); }},
        {"PutRadio", kMissing, [](INTEGER& f) { YYFieldPutRadio(f); }},
        {"SetOption grid Enter", kEdit, [](INTEGER& f) { YYFieldSetOption(f, kOptionGridEnterMovesDown, 1); }},
        {"SetOption grid Tab", kEdit, [](INTEGER& f) { YYFieldSetOption(f, kOptionGridTabMovesCells, 1); }},
        {"SetOption changes", kPush, [](INTEGER& f) { YYFieldSetOption(f, kOptionReportEveryChange, 1); }},
        {"SetOption changes", kTrackbar, [](INTEGER& f) { YYFieldSetOption(f, kOptionReportEveryChange, 1); }},
        {"SetOption unknown", kMissing, [](INTEGER& f) { YYFieldSetOption(f, 99, 1); }},
        {"Rect", kMissing, [&](INTEGER& f) { YYFieldRect(f, rect); }},
    };
    for (const Case& c : cases) {
        INTEGER field = c.field;
        c.call(field);
        EXPECT_EQ(field, -1) << c.worker << " on " << c.field;
    }
    EXPECT_EQ(number, 77);
    EXPECT_EQ(text, "untouched");
    EXPECT_EQ(rect.left, 1);
    EXPECT_EQ(rect.bottom, 4);
    EXPECT_EQ(windowText(item(kEdit)), "kept");
    EXPECT_EQ(record(kEdit).minimum, 1.0);
    EXPECT_EQ(record(kEdit).maximum, 2.0);
    EXPECT_EQ(GetWindowLongA(item(kEdit), GWL_STYLE), editStyle);
    EXPECT_EQ(record(kPush).notifyChanges, 0);
    EXPECT_EQ(record(kTrackbar).notifyChanges, 0);
    EXPECT_EQ(checked(item(kCheck)), 1);
    EXPECT_EQ(checked(item(kRadio2)), 1);
    EXPECT_EQ(lastError(), 0);  // the workers report nothing themselves

    // An option the program does not know does nothing to a field that exists, and is no error.
    INTEGER field = kCombo;
    YYFieldSetOption(field, 99, 1);
    EXPECT_EQ(field, kCombo);
    EXPECT_EQ(record(kCombo).notifyChanges, 0);
    YYFieldSetOption(field, kOptionReportEveryChange, 1);
    EXPECT_EQ(field, kCombo);
    EXPECT_EQ(record(kCombo).notifyChanges, 1);

    // Found fields keep their identifier and give their values.
    field = kEdit;
    YYFieldGetText(field, text);
    YYFieldTextLength(field, number);
    EXPECT_EQ(field, kEdit);
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(number, 4);

    // Without a current dialog no field is found.
    WDialogUnload();
    ASSERT_EQ(YYCurrentDialog(), nullptr);
    for (INTEGER id : {kEdit, kPush}) {
        field = id;
        YYFieldRect(field, rect);
        EXPECT_EQ(field, -1);
        field = id;
        YYFieldTextLength(field, number);
        EXPECT_EQ(field, -1);
    }
}

TEST_F(FieldWorkerTest, RadioGroupWithNoButtonCheckedComesBackMinusTwo)
{
    INTEGER field = kRadio3, position = 55;
    YYFieldGetRadio(field, position);
    EXPECT_EQ(field, -2);
    EXPECT_EQ(position, 55);
    WDialogGetRadioButton(kRadio3, position);
    EXPECT_EQ(position, -999);
    EXPECT_EQ(lastError(), 1010);

    // The position counts from the group's first button, whichever button is given.
    field = kRadio2;
    YYFieldPutRadio(field);
    EXPECT_EQ(field, kRadio2);
    for (INTEGER given : {kRadio1, kRadio3, kRadio4}) {
        field = given;
        YYFieldGetRadio(field, position);
        EXPECT_EQ(field, given);
        EXPECT_EQ(position, 2) << given;
    }
    field = kRadio4;
    YYFieldPutRadio(field);
    for (INTEGER id : {kRadio1, kRadio2, kRadio3}) EXPECT_EQ(checked(item(id)), 0) << id;
    EXPECT_EQ(checked(item(kRadio4)), 1);
    EXPECT_EQ(checked(item(kCheck)), 0);  // outside the group
}

TEST_F(FieldWorkerTest, FieldRectIsTheClientAreaInDialogCoordinates)
{
    // The push button has no frame of its own: its client area is its window rectangle, placed
    // where its template puts it (rounding of the dialog units aside).
    RECT expected{};
    GetWindowRect(item(kPush), &expected);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&expected), 2);
    RECT placed{23, 121, 23 + 51, 121 + 17};
    MapDialogRect(dialog_, &placed);
    EXPECT_NEAR(expected.left, placed.left, 1);
    EXPECT_NEAR(expected.bottom, placed.bottom, 1);
    INTEGER field = kPush;
    RECT rect{};
    YYFieldRect(field, rect);
    EXPECT_EQ(field, kPush);
    EXPECT_EQ(rect.left, expected.left);
    EXPECT_EQ(rect.top, expected.top);
    EXPECT_EQ(rect.right, expected.right);
    EXPECT_EQ(rect.bottom, expected.bottom);
    EXPECT_EQ(WDialogFieldQuery(kPush, kQueryLeft), expected.left);
    EXPECT_EQ(WDialogFieldQuery(kPush, kQueryTop), expected.top);
    EXPECT_EQ(WDialogFieldQuery(kPush, kQueryWidth), expected.right - expected.left);
    EXPECT_EQ(WDialogFieldQuery(kPush, kQueryHeight), expected.bottom - expected.top);

    // The edit's border lies outside its client area.
    RECT frame{7, 20, 7 + 80, 20 + 12};
    MapDialogRect(dialog_, &frame);
    field = kEdit;
    YYFieldRect(field, rect);
    EXPECT_GT(rect.left, frame.left);
    EXPECT_GT(rect.top, frame.top);
    EXPECT_LT(rect.right, frame.right);
    EXPECT_LT(rect.bottom, frame.bottom);

    struct Query { INTEGER field, code, result; };
    const Query queries[] = {
        {kTrackbar, kQueryTrackbarMinimum, 0}, {kTrackbar, kQueryTrackbarMaximum, 100},
        {kEdit, kQueryTrackbarMaximum, 0},  // no trackbar
        {kMissing, kQueryLeft, 0}, {kMissing, kQueryKind, 0}, {kEdit, 0, 0}, {kEdit, 9, 0},
        {kCombo, kQueryKind, kFieldMenu}, {kCombo, kQueryState, kFieldEnabled},
    };
    for (const Query& q : queries) EXPECT_EQ(WDialogFieldQuery(q.field, q.code), q.result) << q.field << " " << q.code;
    EXPECT_EQ(lastError(), 0);
}

TEST_F(FieldWorkerTest, StoreRangeKeepsAnyDoublesWhileSetRangeFollowsTheIntegerRules)
{
    // A range of fractions only the storing worker can give; the puts keep to it.
    INTEGER field = kEdit;
    YYFieldStoreRange(field, 0.5, 2.5);
    EXPECT_EQ(field, kEdit);
    WDialogPutDouble(kEdit, 2.5);
    EXPECT_EQ(lastError(), 0);
    WDialogPutDouble(kEdit, 2.6);
    EXPECT_EQ(lastError(), 1009);
    EXPECT_EQ(record(kEdit).value, 2.5);

    struct Case { std::optional<INTEGER> minimum, maximum; DOUBLE storedMinimum, storedMaximum; };
    const Case cases[] = {
        {std::nullopt, std::nullopt, 1000.0, -1000.0},  // cleared: no range
        {3, std::nullopt, 3.0, 2147483647.0},
        {std::nullopt, 10, -2147483647.0, 10.0},
        {-4, 4, -4.0, 4.0},
    };
    for (const Case& c : cases) {
        field = kEdit;
        YYFieldSetRange(field, c.minimum, c.maximum);
        EXPECT_EQ(field, kEdit);
        EXPECT_EQ(record(kEdit).minimum, c.storedMinimum);
        EXPECT_EQ(record(kEdit).maximum, c.storedMaximum);
    }

    // Storing a minimum above the maximum lifts the range, as clearing does.
    field = kEdit;
    YYFieldStoreRange(field, 1.0, -1.0);
    libraryErrorState().LastErrorNumber = 0;
    WDialogPutInteger(kEdit, 123456);
    EXPECT_EQ(lastError(), 0);
    EXPECT_EQ(windowText(item(kEdit)), "123456");
}

TEST_F(FieldWorkerTest, GridOptionsSwitchOnlyTheirOwnStyleBit)
{
    // A real grid of one text column, set up from the test template 9021.
    constexpr INTEGER kGrid = 9020;
    HWND grid = CreateWindowExA(0, "DOVEGRID", "", WS_CHILD | WS_VISIBLE, 150, 100, 60, 40, dialog_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kGrid)), GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(grid, nullptr);
    INTEGER consumed = 0;
    YYGridFromTemplate(grid, "1 5 9021 \n", consumed);
    ASSERT_TRUE(IsWindow(grid));
    const LONG before = GetWindowLongA(grid, GWL_STYLE);

    struct Step { INTEGER option, onOff; LONG set; };
    const Step steps[] = {
        {kOptionGridEnterMovesDown, 1, 0x1000},
        {kOptionGridTabMovesCells, 5, 0x1000 | 0x4000},  // any switch but 0 is on
        {kOptionGridEnterMovesDown, 0, 0x4000},
        {42, 1, 0x4000},
        {kOptionGridTabMovesCells, 0, 0},
    };
    for (const Step& s : steps) {
        INTEGER field = kGrid;
        YYFieldSetOption(field, s.option, s.onOff);
        EXPECT_EQ(field, kGrid);
        EXPECT_EQ(GetWindowLongA(grid, GWL_STYLE), (before & ~0x5000) | s.set) << s.option << " " << s.onOff;
    }
    DestroyWindow(grid);
}

TEST_F(FieldWorkerTest, AFieldDestroyedOnItsOwnTakesItsRecordAlong)
{
    // The dialog's unload is not the only way a field goes (a size grip is removed, a program
    // destroys a control): the record must go with the control window, whatever destroys it.
    for (INTEGER id : {kLabel, kEdit, kCheck, kCombo, kTrackbar, kPush, kRadio3}) {
        SCOPED_TRACE(id);
        HWND control = item(id);
        ASSERT_NE(control, nullptr);
        ASSERT_NE(YYFieldRecordOf(control), nullptr);
        const INTEGER before = dialogManagerState().liveFieldRecords;
        EXPECT_TRUE(DestroyWindow(control));
        EXPECT_EQ(dialogManagerState().liveFieldRecords, before - 1);
        EXPECT_EQ(item(id), nullptr);
    }
}
