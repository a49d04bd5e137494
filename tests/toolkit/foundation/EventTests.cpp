// Event delivery and menus under Wine: messages posted to the main window come back from
// WEventWait and WEventPeek as typed records; menus, help texts, accelerators and toolbars.
#include <gtest/gtest.h>

#include "toolkit/foundation/CommonControls.h"

#include <array>
#include <cstring>

#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/dialogs/DialogEventFields.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/Menus.h"
#include "toolkit/foundation/WindowPlacement.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"

using namespace GuiHarness;
using namespace ToolkitSession;

// Stands in for the dialog manager's records: one fake dialog, identifier 104.
namespace {
HWND& fakeDialog()
{
    static HWND window = nullptr;
    return window;
}
DialogEventFields& fakeFields()
{
    static DialogEventFields fields;
    return fields;
}
}  // namespace

DialogEventFields* YYDialogEventFields(HWND window)
{
    return window && window == fakeDialog() ? &fakeFields() : nullptr;
}

namespace {

class EventTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WindowOpen(39, 40, 40, 400, 300, 30001);
        drainEvents();
        libraryErrorState().LastErrorNumber = 0;
    }
    void TearDown() override
    {
        setKeys({});
        closeAllWindows();
    }
    static void setKeys(std::initializer_list<int> held)
    {
        BYTE keys[256] = {};
        for (int key : held) keys[key] = 0x80;
        SetKeyboardState(keys);
    }
    static HWND client() { return windowSlotTable().Slots[0].Client; }
    static HWND frame() { return windowSlotTable().Slots[0].Frame.get(); }
    static EventRecord wait(INTEGER& type)
    {
        EventRecord record{};
        record.fill(77);
        WEventWait(type, record);
        return record;
    }
    Watchdog watchdog_{std::chrono::milliseconds(60000)};
};

}  // namespace

TEST_F(EventTest, DisabledTypesAreDroppedNotQueued)
{
    INTEGER type = 0;
    EventRecord record{};
    SendMessageA(client(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    WEventPeek(type, record);
    EXPECT_EQ(type, -1);
    WEventEnable(6, 1);
    WEventPeek(type, record);
    EXPECT_EQ(type, -1);  // the earlier move is gone for good
    PostMessageA(client(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 5));
    WEventPeek(type, record);
    EXPECT_EQ(type, 6);
    EXPECT_EQ(record[1], -1);
    EXPECT_EQ(record[2], 4);

    // An empty poll: -1 in words 1 to 7 and 12, words 8 to 11 untouched.
    record.fill(77);
    WEventPeek(type, record);
    EXPECT_EQ(type, -1);
    for (int word : {0, 1, 2, 3, 4, 5, 6, 11}) EXPECT_EQ(record[static_cast<std::size_t>(word)], -1) << word;
    for (int word : {7, 8, 9, 10}) EXPECT_EQ(record[static_cast<std::size_t>(word)], 77) << word;
    WEventEnable(17, 1);  // outside 1 to 16: nothing
    INTEGER flag = 9;
    YYEventEnableGet(17, flag);
    EXPECT_EQ(flag, 0);
}

TEST_F(EventTest, PostedMessagesGiveTheirRecords)
{
    WEventEnable(5, 1);
    const RECT area = clientRect(client());
    const INTEGER w = area.right, h = area.bottom;
    struct Case {
        const char* what;
        bool toFrame;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        std::initializer_list<int> keys;
        INTEGER type, word2, word3, word4, x, y;
    };
    const Case cases[] = {
        {"menu command", false, WM_COMMAND, 40002, 0, {}, 2, 40002, -1, -1, -1, -1},
        {"close request", true, WM_CLOSE, 0, 0, {}, 9, -1, -1, -1, -1, -1},
        {"left press", false, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(10, 20), {}, 4, 1, 6, 0,
         pixelToWindowUnits(10, w), pixelToWindowUnits(20, h)},
        {"right release", false, WM_RBUTTONUP, MK_CONTROL, MAKELPARAM(0, 0), {}, 5, 3, 1, 0, pixelToWindowUnits(0, w),
         pixelToWindowUnits(0, h)},
        {"double click as press", false, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(1, 1), {}, 4, 1, 4, 0,
         pixelToWindowUnits(1, w), pixelToWindowUnits(1, h)},
        {"Shift+F5", false, WM_KEYDOWN, VK_F5, 0, {VK_SHIFT}, 1, 325, -1, 0, -999, -999},
        {"Ctrl+Left", false, WM_KEYDOWN, VK_LEFT, 0, {VK_CONTROL}, 1, 269, -1, 0, -999, -999},
        {"F1", false, WM_KEYDOWN, VK_F1, 0, {}, 1, 301, -1, 0, -999, -999},
        {"a", false, WM_KEYDOWN, 'A', 0, {}, 1, 97, -1, 0, -999, -999},
        {"client timer", false, WM_TIMER, 5, 0, {}, 13, 5, -1, -1, -1, -1},
    };
    for (const Case& c : cases) {
        setKeys(c.keys);
        PostMessageA(c.toFrame ? frame() : client(), c.message, c.wParam, c.lParam);
        INTEGER type = 0;
        const EventRecord r = wait(type);
        EXPECT_EQ(type, c.type) << c.what;
        EXPECT_EQ(r[0], 0) << c.what;
        EXPECT_EQ(r[1], c.word2) << c.what;
        EXPECT_EQ(r[2], c.word3) << c.what;
        EXPECT_EQ(r[3], c.word4) << c.what;
        if (c.x != -999) {
            EXPECT_EQ(r[5], c.x) << c.what;
            EXPECT_EQ(r[6], c.y) << c.what;
        }
    }
    ReleaseCapture();
    EXPECT_TRUE(IsWindow(frame()));  // a close request leaves the window to the application

    WEventEnable(16, 1);
    PostMessageA(client(), WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(3, 3));
    INTEGER type = 0;
    EventRecord r = wait(type);
    EXPECT_EQ(type, 16);
    EXPECT_EQ(r[1], 3);
    ReleaseCapture();
}

TEST_F(EventTest, KeyDownTakesOnlyItsOwnCharacter)
{
    setKeys({});
    PostMessageA(client(), WM_KEYDOWN, 'Q', 0);
    PostMessageA(client(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    INTEGER type = 0;
    EventRecord r = wait(type);
    EXPECT_EQ(type, 1);
    EXPECT_EQ(r[1], 'q');
    r = wait(type);
    EXPECT_EQ(type, 4);  // the press behind the key is not lost
    ReleaseCapture();
}

TEST_F(EventTest, WheelPositionIsConvertedFromScreen)
{
    POINT at{20, 30};
    ClientToScreen(client(), &at);
    PostMessageA(client(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(at.x, at.y));
    INTEGER type = 0;
    const EventRecord r = wait(type);
    const RECT area = clientRect(client());
    EXPECT_EQ(type, 4);
    EXPECT_EQ(r[1], 5);  // turned towards the user
    EXPECT_EQ(r[5], pixelToWindowUnits(20, area.right));
    EXPECT_EQ(r[6], pixelToWindowUnits(30, area.bottom));
}

TEST_F(EventTest, ExposeInWindowUnitsAndPendingResizeFirst)
{
    const RECT area = clientRect(client());
    RECT dirty{10, 10, 30, 20};
    InvalidateRect(client(), &dirty, TRUE);
    INTEGER type = 0;
    EventRecord r = wait(type);
    EXPECT_EQ(type, 7);
    EXPECT_EQ(r[5], pixelToWindowUnits(10, area.right));
    EXPECT_EQ(r[6], pixelToWindowUnits(10, area.bottom));
    EXPECT_EQ(r[1], pixelToWindowUnits(29, area.right) - pixelToWindowUnits(10, area.right));
    EXPECT_EQ(r[3], 0);

    // A resize made by the program outside a wait is handed out before anything newer.
    WindowMoveResize(350, 250);
    PostMessageA(client(), WM_COMMAND, 40001, 0);
    r = wait(type);
    EXPECT_EQ(type, 8);
    EXPECT_EQ(r[1], 350);
    EXPECT_EQ(r[2], 250);
    r = wait(type);
    EXPECT_EQ(type, 2);
    EXPECT_EQ(r[1], 40001);

    // With resize events switched off the drawing still follows the size.
    WEventEnable(8, 0);
    WindowMoveResize(300, 200);
    SendMessageA(client(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(280, 190));
    EXPECT_EQ(WInfoWindowQuery(1), 280);
}

TEST_F(EventTest, MenuStatesFollowAndToolbarButtonsToo)
{
    HMENU menu = windowSlotTable().Slots[0].Menu;
    const INTEGER before = clientRect(client()).bottom;
    WMenuToolbar(30104, 0, 7);  // any position outside 1 to 4 is the top
    HWND toolbar = windowSlotTable().Slots[0].Toolbars[0];
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(clientRect(client()).bottom, before - 28);
    EXPECT_EQ(WInfoWindowQuery(2), before - 28);
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONENABLED, 40023, 0));  // greyed in the menu at creation

    WMenuSetState(40024, 2, 1);
    EXPECT_TRUE(GetMenuState(menu, 40024, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, 40024, 0));
    WMenuSetState(40024, 1, 0);
    EXPECT_TRUE(GetMenuState(menu, 40024, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONENABLED, 40024, 0));
    WMenuSetState(40024, 2, 2);  // not a value: nothing, no error
    EXPECT_TRUE(GetMenuState(menu, 40024, MF_BYCOMMAND) & MF_CHECKED);
    WMenuSetState(40018, 1, 0);  // only the toolbar has it
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONENABLED, 40018, 0));
    WMenuSetState(49999, 1, 0);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1001);

    WMenuToolbar(30104, 51);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1003);
    WMenuToolbar(777, 0, 4);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1002);
    WMenuToolbar(0, 0, 1);
    EXPECT_EQ(windowSlotTable().Slots[0].Toolbars[0], nullptr);
    EXPECT_EQ(clientRect(client()).bottom, before);
}

TEST_F(EventTest, AcceleratorGivesItsCommand)
{
    setKeys({});
    PostMessageA(client(), WM_KEYDOWN, VK_F5, 0);
    INTEGER type = 0;
    const EventRecord r = wait(type);
    EXPECT_EQ(type, 2);
    EXPECT_EQ(r[1], 40018);
}

TEST_F(EventTest, MenuHelpTextsInTheStatusBar)
{
    HWND bar = windowSlotTable().Slots[0].StatusBar;
    HMENU view = GetSubMenu(windowSlotTable().Slots[0].Menu, 1);
    auto simpleText = [&] { return statusBarText(bar, SB_SIMPLEID); };
    INTEGER command = 40001;
    YYMenuItemHelp(command, "Leave the program");
    SendMessageA(frame(), WM_ENTERMENULOOP, 0, 0);
    EXPECT_TRUE(SendMessageA(bar, SB_ISSIMPLE, 0, 0));
    struct Case { WPARAM wParam; LPARAM menu; const char* text; };
    const Case cases[] = {
        {MAKEWPARAM(40024, MF_STRING), reinterpret_cast<LPARAM>(view), "Autoscale Graphs"},
        {MAKEWPARAM(2, MF_POPUP), reinterpret_cast<LPARAM>(view), "Toggle Major Axes on Model Graph"},
        {MAKEWPARAM(1, MF_POPUP), reinterpret_cast<LPARAM>(GetMenu(frame())), ""},
        {MAKEWPARAM(40001, MF_STRING), 0, "Leave the program"},
        {MAKEWPARAM(SC_CLOSE, MF_SYSMENU), 0, "Closes the window"},
        {MAKEWPARAM(40012, MF_STRING), reinterpret_cast<LPARAM>(view), ""},
    };
    for (const Case& c : cases) {
        SendMessageA(frame(), WM_MENUSELECT, c.wParam, c.menu);
        EXPECT_EQ(simpleText(), c.text) << c.text;
    }
    SendMessageA(frame(), WM_EXITMENULOOP, 0, 0);
    EXPECT_FALSE(SendMessageA(bar, SB_ISSIMPLE, 0, 0));
}

TEST_F(EventTest, TooltipsFromTableOrStrings)
{
    WMenuToolbar(30104);
    HWND toolbar = windowSlotTable().Slots[0].Toolbars[0];
    ASSERT_NE(toolbar, nullptr);
    HWND tips = reinterpret_cast<HWND>(SendMessageA(toolbar, TB_GETTOOLTIPS, 0, 0));
    auto tipOf = [&](UINT command) {
        NMTTDISPINFOA request{};
        request.hdr.hwndFrom = tips;
        request.hdr.idFrom = command;
        request.hdr.code = TTN_GETDISPINFOA;
        SendMessageA(frame(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
        return std::string(request.lpszText ? request.lpszText : "");
    };
    EXPECT_EQ(tipOf(40018), "Unzoom");
    EXPECT_EQ(tipOf(40024), "");
    INTEGER command = 40018;
    YYToolbarTipText(command, "Zoom out", 80);
    EXPECT_EQ(tipOf(40018), "Zoom out");
    command = 40099;
    YYToolbarTipText(command, "none", 80);
    EXPECT_EQ(command, -1);
}

namespace {
// A field change raised in the same dispatch as a menu command, as a dialog procedure may do.
LRESULT CALLBACK fakeDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER) {
        YYEventStore(2, 0, 40002, 0, windowSlotTable().Slots[0].Client);
        YYEventStore(10, 0, 0, 55, window);
        return 0;
    }
    if (message == WM_USER + 1) {
        YYEventStore(static_cast<INTEGER>(wParam), 0, 7, lParam, window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

TEST_F(EventTest, DialogEventsAndTheDeferredFieldChange)
{
    TestWindow dialog(120, 80, fakeDialogProc);
    fakeDialog() = dialog.handle();
    fakeFields() = DialogEventFields{104, 3, 4, 7, 1, 2, 0, 0};
    WEventEnable(10, 1);
    WEventEnable(11, 1);
    drainEvents();

    PostMessageA(dialog.handle(), WM_USER, 0, 0);
    INTEGER type = 0;
    EventRecord r = wait(type);
    EXPECT_EQ(type, 2);  // the first event is delivered unchanged
    EXPECT_EQ(r[1], 40002);
    PostMessageA(client(), WM_COMMAND, 40001, 0);
    r = wait(type);
    EXPECT_EQ(type, 10);  // the change comes next, before newer messages
    EXPECT_EQ(r[0], 104);
    EXPECT_EQ(r[1], 3);
    EXPECT_EQ(r[2], 4);
    EXPECT_EQ(r[3], 0);
    EXPECT_EQ(r[4], -1);
    EXPECT_EQ(r[5], 7);
    EXPECT_EQ(r[6], 55);
    r = wait(type);
    EXPECT_EQ(type, 2);
    EXPECT_EQ(r[1], 40001);

    // Raised while no wait runs: never delivered, but remembered as the last cell value.
    SendMessageA(dialog.handle(), WM_USER + 1, 10, 99);
    EXPECT_EQ(fakeFields().lastCellValue, 99);
    WEventPeek(type, r);
    EXPECT_EQ(type, -1);

    struct Case { INTEGER code, type, window, word2, word3; };
    const Case cases[] = {{3, 3, 104, 7, 3}, {11, 11, 104, 1, 2}};
    for (const Case& c : cases) {
        PostMessageA(dialog.handle(), WM_USER + 1, static_cast<WPARAM>(c.code), 0);
        r = wait(type);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(r[0], c.window);
        EXPECT_EQ(r[1], c.word2);
        EXPECT_EQ(r[2], c.word3);
    }
    fakeDialog() = nullptr;
}

TEST_F(EventTest, FrameTimersFireOnceAndMinimisingRaisesNoResize)
{
    SetTimer(frame(), 9, 10, nullptr);
    INTEGER type = 0;
    EventRecord r = wait(type);
    EXPECT_EQ(type, 13);
    EXPECT_EQ(r[1], 9);
    // A timer still running would come due several times before the sentinel's own timer.
    const DeliveredEvents afterwards = eventsBeforeTimerSentinel(100);
    ASSERT_TRUE(afterwards.complete);
    EXPECT_FALSE(afterwards.has(13));
    EXPECT_FALSE(KillTimer(frame(), 9));  // already gone

    WindowMoveResize(kUnchanged, kUnchanged, kUnchanged, kUnchanged, 0);
    const DeliveredEvents minimised = eventsBeforeSentinel();
    ASSERT_TRUE(minimised.complete);
    EXPECT_FALSE(minimised.has(8));
    EXPECT_EQ(pendingEventTable().Entries[0].Type, 0);
}
