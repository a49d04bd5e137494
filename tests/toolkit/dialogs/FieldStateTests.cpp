// Field states that reach beyond the control itself: the page of a tab control is hidden with it
// and gives up the focus, and a grid field is read-only without being disabled; a string getter
// that cannot act leaves or blanks the caller's variable.
#include <gtest/gtest.h>

#include "toolkit/foundation/CommonControls.h"

#include <string>

#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/dialogs/DialogFieldValues.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/GridSetUp.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowSlots.h"

using namespace GuiHarness;
using namespace ToolkitSession;

namespace {

constexpr INTEGER kTab = 1089, kPageEdit = 1221, kGrid = 9701;

class FieldStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WindowOpen(39, 40, 40, 400, 300);
        libraryErrorState().LastErrorNumber = 0;
    }
    void TearDown() override
    {
        EXPECT_EQ(unloadAllDialogs(), 0);
        closeAllWindows();
        EXPECT_EQ(dialogManagerState().liveFieldRecords, 0);
    }
    Watchdog watchdog_{std::chrono::milliseconds(60000)};
};

// A real grid of one text column, set up from the test template 9702.
HWND makeGridField(HWND dialog)
{
    HWND grid = CreateWindowExA(0, "DOVEGRID", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 60, 40, dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kGrid)), GetModuleHandleA(nullptr), nullptr);
    INTEGER consumed = 0;
    if (grid) YYGridFromTemplate(grid, "1 5 9702 \n", consumed);
    return IsWindow(grid) ? grid : nullptr;
}

}  // namespace

TEST_F(FieldStateTest, HidingATabControlTakesTheFocusOffItsPage)
{
    WDialogLoad(103);
    HWND dialog = YYCurrentDialog();
    WDialogShow(-1, -1, 0, 2);
    HWND page = YYDialogByIdentifier(122);
    ASSERT_TRUE(IsWindowVisible(page));
    HWND edit = GetDlgItem(page, kPageEdit);
    SetForegroundWindow(dialog);
    SetFocus(edit);
    ASSERT_TRUE(waitUntil([&] { return GetFocus() == edit; }));
    YYDialogRecordOf(dialog)->lastInputControl = edit;

    WDialogSelect(103);
    WDialogFieldState(kTab, 3);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
    EXPECT_FALSE(IsWindowVisible(page));
    // The dialog takes the focus (and hands it to a control of its own), never leaving it on
    // the hidden page.
    HWND focus = GetFocus();
    EXPECT_TRUE(focus == dialog || IsChild(dialog, focus));
    EXPECT_FALSE(focus == edit || IsChild(page, focus));
    EXPECT_NE(YYDialogRecordOf(dialog)->lastInputControl, edit);
}

TEST_F(FieldStateTest, GridFieldIsReadOnlyButEnabledInStateTwo)
{
    WDialogLoad(101);
    HWND grid = makeGridField(YYCurrentDialog());
    ASSERT_NE(grid, nullptr);
    struct Case {
        INTEGER state;
        bool enabled, readOnly;
    };
    for (const Case c : {Case{2, true, true}, Case{1, true, false}, Case{0, false, false}, Case{2, true, true}}) {
        SCOPED_TRACE(c.state);
        WDialogFieldState(kGrid, c.state);
        EXPECT_EQ(IsWindowEnabled(grid) != 0, c.enabled);
        EXPECT_EQ((GetWindowLongA(grid, GWL_STYLE) & 0x800) != 0, c.readOnly);
        EXPECT_EQ(WDialogFieldQuery(kGrid, 6), c.state);
    }
    DestroyWindow(grid);
}

TEST_F(FieldStateTest, GettingAStringLeavesTheVariableWithoutADialogAndBlanksItForAMissingField)
{
    ASSERT_EQ(YYCurrentDialog(), nullptr);
    std::string text = "kept      ";
    WDialogGetString(1003, text);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1005);
    EXPECT_EQ(text, "kept      ");

    WDialogLoad(101);
    WDialogGetString(9799, text);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1006);
    EXPECT_EQ(text, std::string(10, ' '));
}
