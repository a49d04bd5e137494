// The REAL grid and dialog wrappers on a real grid and real fields under Wine: missing values as
// empty cells and back, wide values without asterisks, filled rows counted, values, texts and
// check boxes in the dialog's own controls.
#include <gtest/gtest.h>

#include <string>

#include "WBRVLib/DoveLib.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/dialogs/DialogFieldValues.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/GridCellValues.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/MainWindow.h"

using namespace GuiHarness;
using namespace ToolkitSession;

namespace {

constexpr INTEGER kDialog = 7800, kGrid = 7801, kRealField = 7802, kTextField = 7803, kCheck = 7804;
constexpr REAL kMissing = 1.0E20f;

std::string cellText(INTEGER column, INTEGER row)
{
    std::string text(80, ' ');
    WGridGetCellString(kGrid, column, row, text);
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

std::string fieldText(INTEGER field)
{
    std::string text(80, ' ');
    WDialogGetString(field, text);
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

class DoveLibGridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WindowOpen(39, 40, 40, 400, 300);
        libraryErrorState().LastErrorNumber = 0;
        WDialogLoad(kDialog);
        ASSERT_NE(YYCurrentDialog(), nullptr);
        WDialogShow(-1, -1, 0, 2);
        drainEvents();
    }
    void TearDown() override
    {
        EXPECT_EQ(unloadAllDialogs(), 0);
        closeAllWindows();
    }
    Watchdog watchdog_{std::chrono::milliseconds(120000)};
};

}  // namespace

TEST_F(DoveLibGridTest, MissingValuesLeaveEmptyCellsThatReadBackAsMissing)
{
    const REAL values[] = {1.0f, kMissing, 3.0f};
    QFGRIDPUTREALG(kGrid, 1, values, 3);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
    EXPECT_EQ(cellText(1, 1), "1.00000");
    EXPECT_EQ(cellText(1, 2), "");
    EXPECT_EQ(cellText(1, 3), "3.0000");
    EXPECT_GT(WInfoGridCell(kGrid, 1, 1, 1), 0);
    EXPECT_EQ(WInfoGridCell(kGrid, 1, 2, 1), 0);

    REAL back[3] = {0, 0, 0};
    QFGRIDGETREAL(kGrid, 1, back, 3);
    EXPECT_EQ(back[0], 1.0f);
    EXPECT_EQ(back[1], kMissing);
    EXPECT_EQ(back[2], 3.0f);
    // A cell that was never written reads as missing too, not as the toolkit's -999.0.
    REAL cell = 0;
    QFGRIDGETCELLREAL(kGrid, 2, 7, cell);
    EXPECT_EQ(cell, kMissing);

    // Putting the column again with a value in row 2 fills it; the caller's format is kept.
    const REAL again[] = {1.5f, 2.5f};
    QFGRIDPUTREALF(kGrid, 1, again, 2, "(F6.2)");
    EXPECT_EQ(cellText(1, 1), "1.50");
    EXPECT_EQ(cellText(1, 2), "2.50");
    EXPECT_EQ(cellText(1, 3), "");  // the whole-column put clears the rows below
}

TEST_F(DoveLibGridTest, WideValuesShowWithoutAsterisksAndReadBackEqual)
{
    const REAL values[] = {2.5e7f, -1234567.0f, 9999999.0f, 0.1f, 12345.5f};
    QFGRIDPUTREALG(kGrid, 2, values, 5);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
    for (INTEGER row = 1; row <= 5; ++row) {
        const std::string text = cellText(2, row);
        EXPECT_EQ(text.find('*'), std::string::npos) << text;
        EXPECT_FALSE(text.empty());
    }
    REAL back[5] = {};
    QFGRIDGETREAL(kGrid, 2, back, 5);
    EXPECT_EQ(back[0], 2.5e7f);
    EXPECT_EQ(back[1], -1234567.0f);
    EXPECT_EQ(back[2], 9999999.0f);
    EXPECT_EQ(back[3], 0.1f);
    EXPECT_EQ(back[4], 12345.5f);
    // The grid shows a column in the format of its last put: after a wide value, its exponent form.
    QFGRIDPUTCELLREAL(kGrid, 2, 6, 2.5e7f);
    EXPECT_EQ(cellText(2, 6), "2.500000E+07");
    EXPECT_EQ(cellText(2, 4), "1.000000E-01");
}

TEST_F(DoveLibGridTest, FilledRowsCountedFromTheStartAndFromTheEnd)
{
    const REAL firstThree[] = {1.0f, 2.0f, 3.0f, kMissing, kMissing};
    QFGRIDPUTREALG(kGrid, 1, firstThree, 5);
    EXPECT_EQ(QFINFOGRIDCELLS(kGrid, 1, 5, kFalse), 3);
    EXPECT_EQ(QFINFOGRIDCELLS(kGrid, 1, 5, kTrue), 3);
    const REAL twoAndFive[] = {kMissing, 2.0f, kMissing, kMissing, 5.0f};
    QFGRIDPUTREALG(kGrid, 1, twoAndFive, 5);
    EXPECT_EQ(QFINFOGRIDCELLS(kGrid, 1, 5, kFalse), 0);
    EXPECT_EQ(QFINFOGRIDCELLS(kGrid, 1, 5, kTrue), 5);
    EXPECT_EQ(QFINFOGRIDCELLS(kGrid, 1, 4, kTrue), 2);
}

TEST_F(DoveLibGridTest, DialogValuesTextsAndCheckBoxes)
{
    QFPUTREAL(kRealField, 100000.0f);
    EXPECT_EQ(fieldText(kRealField), "100000.");
    QFPUTREAL(kRealField, 10000.0f);
    EXPECT_EQ(fieldText(kRealField), "10000.");
    QFPUTREAL(kTextField, kMissing);
    EXPECT_EQ(fieldText(kTextField), "Unknown");
    PUTDLGSTRING(kTextField, "Half-space below", 4);
    EXPECT_EQ(fieldText(kTextField), "Half");
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);

    LOGICAL state = kFalse;
    WDIALOGPUTCHECKBOXL(kCheck, kTrue);
    INTEGER box = 0;
    WDialogGetCheckBox(kCheck, box);
    EXPECT_EQ(box, 1);
    WDIALOGGETCHECKBOXL(kCheck, state);
    EXPECT_EQ(state, kTrue);
    WDIALOGPUTCHECKBOXL(kCheck, kFalse);
    WDIALOGGETCHECKBOXL(kCheck, state);
    EXPECT_EQ(state, kFalse);
    // A click on the box is read back as a logical too.
    SendMessageA(GetDlgItem(YYCurrentDialog(), kCheck), BM_CLICK, 0, 0);
    WDIALOGGETCHECKBOXL(kCheck, state);
    EXPECT_EQ(state, kTrue);
}
