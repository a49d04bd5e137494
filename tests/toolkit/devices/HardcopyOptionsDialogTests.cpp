// The hardcopy options dialogs under Wine: the errors before a driver and without a printer, and
// the printer and export dialogs on the test templates, answered from a timer.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/devices/HardcopyJob.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyOptionsDialogs.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/dialogs/DialogHooks.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/foundation/CommonDialogs.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/graphics/DriverProtocol.h"

using namespace GuiHarness;
using namespace ToolkitSession;

namespace {

// What the timer does once the toolkit dialog is up; it fires until it finds the dialog.
std::function<void(HWND)>& dialogAnswer()
{
    static std::function<void(HWND)> answer;
    return answer;
}

void CALLBACK answerDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = YYCurrentDialogWindow();
    if (!dialog || !IsWindowVisible(dialog)) return;
    KillTimer(nullptr, timer);
    if (dialogAnswer()) dialogAnswer()(dialog);
}

void answerWith(std::function<void(HWND)> answer)
{
    dialogAnswer() = std::move(answer);
    SetTimer(nullptr, 0, 50, answerDialog);
}

std::string itemText(HWND dialog, int id)
{
    char text[300] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

class OptionsDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        openMainWindow("Options test", 300, 200);
        savedDevice_ = driverHooks().HardcopyDevice;
        libraryErrorState().LastErrorNumber = 0;
    }
    void TearDown() override
    {
        driverHooks().HardcopyDevice = savedDevice_;
        unloadAllDialogs();
        closeAllWindows();
    }
    // The PostScript device's options without its driver: the dialogs only read and store them.
    void choosePostScript()
    {
        driverHooks().HardcopyDevice = 2;
        hardcopyJobState().DriverDevice = 2;
        HardcopyOptionBlock& o = hardcopyOptionBlock();
        for (INTEGER k = 1; k <= 29; ++k) o.Options[static_cast<std::size_t>(k)] = 0;
        o.Options[1] = 540;
        o.Options[2] = 720;
        o.Options[3] = 36;
        o.Options[4] = 72;
        o.Options[5] = 1;
        o.Options[8] = 1;
    }
    Watchdog watchdog_{std::chrono::milliseconds(60000)};
    INTEGER savedDevice_ = 10;
};

}  // namespace

TEST_F(OptionsDialogs, BeforeAnyDriverReportsError46)
{
    hardcopyJobState().DriverDevice = 0;
    WHardcopyOptions();
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 46);
}

TEST_F(OptionsDialogs, PrinterDialogOkStoresThePageOrientationAndFormat)
{
    choosePostScript();
    std::string file = "picture.ps";
    std::string shownGroup, shownWidth;
    answerWith([&](HWND dialog) {
        shownGroup = itemText(dialog, 1206);
        shownWidth = itemText(dialog, 1001);
        SetDlgItemTextA(dialog, 1001, "10.00");
        // Portrait, then the encapsulated format: the name follows the format.
        SendMessageA(GetDlgItem(dialog, 1208), BM_CLICK, 0, 0);
        SendMessageA(GetDlgItem(dialog, 1203), CB_SETCURSEL, 1, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1203, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, 1203)));
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    });
    WHardcopyOptions(1, &file);
    EXPECT_EQ(WDialogQuery(4), 1);
    EXPECT_EQ(shownGroup, "Size/Position (inches)");
    EXPECT_NE(shownWidth.find("7.50"), std::string::npos) << shownWidth;
    const HardcopyOptionBlock& o = hardcopyOptionBlock();
    EXPECT_EQ(o.value(1), 720);
    EXPECT_EQ(o.value(5), 0);
    EXPECT_EQ(o.value(22), 1);
    EXPECT_EQ(file, "picture.eps");
}

TEST_F(OptionsDialogs, PrinterDialogCancelRestoresEveryOption)
{
    choosePostScript();
    const auto before = hardcopyOptionBlock().Options;
    std::string file = "picture.ps";
    answerWith([](HWND dialog) {
        SetDlgItemTextA(dialog, 1001, "1.00");
        SendMessageA(GetDlgItem(dialog, 1208), BM_CLICK, 0, 0);
        PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    });
    WHardcopyOptions(1, &file);
    EXPECT_EQ(WDialogQuery(4), 0);
    EXPECT_EQ(hardcopyOptionBlock().Options, before);
    EXPECT_EQ(file, "picture.ps");
}

TEST_F(OptionsDialogs, ExportDialogOkStoresThroughTheSetter)
{
    driverHooks().HardcopyDevice = 3;
    hardcopyJobState().DriverDevice = 3;
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    o.Options[1] = 800;
    o.Options[2] = 600;
    o.Options[8] = 2;
    o.Options[17] = 0;
    std::string file = "drawing.svg";
    std::string shownWidth;
    answerWith([&](HWND dialog) {
        shownWidth = itemText(dialog, 1001);
        SetDlgItemTextA(dialog, 1001, "1024");
        SetDlgItemTextA(dialog, 1002, "-5");   // the setter refuses a page side of 0 or less
        SetDlgItemTextA(dialog, 1008, "0");    // and takes at least one copy
        SendMessageA(GetDlgItem(dialog, 1017), BM_CLICK, 0, 0);
        SetDlgItemTextA(dialog, 1201, "other.svg");
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    });
    WHardcopyOptions(0, &file);
    EXPECT_EQ(WDialogQuery(4), 1);
    EXPECT_EQ(shownWidth, "800");
    EXPECT_EQ(o.value(1), 1024);
    EXPECT_EQ(o.value(2), 600);
    EXPECT_EQ(o.value(8), 1);
    EXPECT_EQ(o.value(17), 1);
    EXPECT_EQ(file, "other.svg");
}

TEST_F(OptionsDialogs, MissingTemplateShowsNothingAndChangesNothing)
{
    driverHooks().HardcopyDevice = 9;  // no export template 32009 in the test resources
    hardcopyJobState().DriverDevice = 9;
    const auto before = hardcopyOptionBlock().Options;
    std::string file = "drawing.cgm";
    WHardcopyOptions(0, &file);
    EXPECT_EQ(hardcopyOptionBlock().Options, before);
    EXPECT_EQ(file, "drawing.cgm");
    EXPECT_EQ(WDialogQuery(3), 0);
}
