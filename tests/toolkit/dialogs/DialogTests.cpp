// The dialog manager under Wine: dialogs loaded from the test resources with their field tables,
// shown modeless, semi-modeless and modal, driven with messages, hidden and unloaded.
#include <gtest/gtest.h>

#include "toolkit/foundation/CommonControls.h"

#include <string>
#include <vector>

#include "tests/support/GuiHarness.h"
#include "tests/toolkit/dialogs/DialogFixture.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/dialogs/DialogWindowHooks.h"
#include "toolkit/foundation/ChildWindows.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogChoiceFields.h"
#include "toolkit/dialogs/DialogFieldTable.h"
#include "toolkit/dialogs/DialogFieldValues.h"
#include "toolkit/dialogs/DialogHooks.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogProc.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/NumericEdits.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/GraphicsState.h"

using namespace GuiHarness;
using namespace ToolkitSession;

namespace {

// A message sent from a thread timer, so that it arrives inside the toolkit's poll (messages that
// carry pointers cannot be posted).
struct TimedSend {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
TimedSend& timedSend()
{
    static TimedSend send;
    return send;
}
void CALLBACK sendFromTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    const TimedSend& s = timedSend();
    SendMessageA(s.window, s.message, s.wParam, s.lParam);
}
void sendDuringPoll(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    timedSend() = TimedSend{window, message, wParam, lParam};
    SetTimer(nullptr, 0, 1, sendFromTimer);
}

class DialogTest : public DialogWindowTest {
protected:
    void beforeClosing() override
    {
        dialogManagerState().semiModeless = nullptr;
        dialogManagerState().semiModelessCount = 0;
    }
    static HWND current() { return YYCurrentDialog(); }
    static HWND item(INTEGER id) { return GetDlgItem(current(), id); }
    static INTEGER lastError() { return libraryErrorState().LastErrorNumber; }
    Watchdog watchdog_{std::chrono::milliseconds(120000)};
};

}  // namespace

TEST_F(DialogTest, LoadingUnderIdentifiersTheTableLimitAndMissingTemplates)
{
    WDialogLoad(101, 1);
    WDialogLoad(101, 2);
    EXPECT_EQ(dialogTable().count, 2);
    SetWindowTextA(item(1003), "second");
    WDialogSelect(1);
    EXPECT_EQ(windowText(item(1003)), "");  // independent dialogs
    WDialogLoad(101, 2);                     // already loaded: only made current
    EXPECT_EQ(dialogTable().count, 2);
    EXPECT_EQ(WDialogQuery(3), 2);

    for (INTEGER id = 3; id <= 100; ++id) WDialogLoad(105, id);
    EXPECT_EQ(dialogTable().count, 100);
    WDialogSelect(7);
    WDialogLoad(105, 101);
    EXPECT_EQ(lastError(), 1087);
    EXPECT_EQ(dialogTable().count, 100);
    EXPECT_EQ(WDialogQuery(3), 7);  // the current dialog stays

    WDialogSelect(555);
    EXPECT_EQ(lastError(), 1008);

    // Unloading shifts the later handles down; lookups by identifier still find them.
    WDialogSelect(50);
    WDialogUnload();
    EXPECT_EQ(WDialogQuery(3), 0);
    EXPECT_EQ(dialogTable().count, 99);
    EXPECT_EQ(YYDialogIndex(51), 50);
    WDialogLoad(999);
    EXPECT_EQ(lastError(), 1007);
    EXPECT_EQ(dialogTable().count, 99);
    libraryErrorState().LastErrorNumber = 0;
    WDialogShow();
    EXPECT_EQ(lastError(), 1005);
    WDialogHide();  // nothing current: nothing happens, nothing reported
    EXPECT_EQ(WDialogQuery(10), 0);
}

TEST_F(DialogTest, EveryControlGetsItsFieldRecordWithDefaults)
{
    WDialogLoad(101);
    HWND dialog = current();
    const DialogRecord* record = YYDialogRecordOf(dialog);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->identifier, 101);
    EXPECT_EQ(record->lastCellValue, 0x40001);
    EXPECT_FALSE(IsWindowVisible(dialog));
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const FieldRecord* field = YYFieldRecordOf(child);
        ASSERT_NE(field, nullptr) << GetDlgCtrlID(child);
        if (GetDlgCtrlID(child) == 1003 || GetDlgCtrlID(child) == 1004) continue;  // ranged by the table
        EXPECT_EQ(field->minimum, 1000.0);
        EXPECT_EQ(field->maximum, -1000.0);
    }
    EXPECT_EQ(GetWindowLongA(item(1005), GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX);
    EXPECT_EQ(GetWindowLongA(item(1006), GWL_STYLE) & BS_TYPEMASK, BS_AUTORADIOBUTTON);
    EXPECT_EQ(YYFieldRecordOf(item(1004))->maxLength, 65535);
    EXPECT_EQ(SendMessageA(item(1004), EM_GETLIMITTEXT, 0, 0), 65535);
    EXPECT_EQ(YYFieldRecordOf(item(1013))->maxLength, 32767);
    EXPECT_EQ(SendMessageA(item(1013), EM_GETLIMITTEXT, 0, 0), 32767);
    EXPECT_EQ(YYControlClass(item(1011)), kClassTrackbar);
    EXPECT_EQ(YYControlClass(item(1012)), kClassTreeView);
}

TEST_F(DialogTest, FieldTableSectionsAreAppliedToTheControls)
{
    WDialogLoad(101);
    const FieldRecord* ranged = YYFieldRecordOf(item(1003));
    EXPECT_EQ(ranged->minimum, 1.0);
    EXPECT_EQ(ranged->maximum, 2147483647.0);
    const FieldRecord* wide = YYFieldRecordOf(item(1004));
    EXPECT_EQ(wide->minimum, 1.0);
    EXPECT_NEAR(wide->maximum, 3.4028e38, 1e33);
    EXPECT_EQ(SendMessageA(item(1010), PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendMessageA(item(1010), PBM_GETRANGE, FALSE, 0), 200);
    EXPECT_EQ(SendMessageA(item(1010), PBM_GETPOS, 0, 0), 25);  // from the caption
    EXPECT_EQ(SendMessageA(item(1011), TBM_GETRANGEMAX, 0, 0), 50);
    EXPECT_EQ(SendMessageA(item(1011), TBM_GETPOS, 0, 0), 7);
    EXPECT_EQ(SendMessageA(item(1011), TBM_GETLINESIZE, 0, 0), 2);
    EXPECT_EQ(SendMessageA(item(1011), TBM_GETPAGESIZE, 0, 0), 10);
    EXPECT_EQ(SendMessageA(item(1011), TBM_GETSELSTART, 0, 0), 3);
    EXPECT_EQ(SendMessageA(item(1011), TBM_GETSELEND, 0, 0), 9);

    struct Item { INTEGER field; int index; const char* text; };
    const Item items[] = {{1008, 0, "Alpha"}, {1008, 1, "  Beta"}, {1008, 2, "Gamma"}, {1009, 0, "only"},
                          {1009, 1, "two"}};
    for (const Item& i : items) {
        char text[64] = {};
        const bool list = i.field == 1009;
        SendMessageA(item(i.field), list ? LB_GETTEXT : CB_GETLBTEXT, i.index, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, i.text);
    }
    EXPECT_EQ(SendMessageA(item(1008), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageA(item(1009), LB_GETCOUNT, 0, 0), 2);  // five promised, the table ended after two
    EXPECT_EQ(SendMessageA(item(1009), LB_GETCURSEL, 0, 0), 0);

    EXPECT_EQ(SendMessageA(item(1005), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(item(1007), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(YYFieldRecordOf(item(1013))->textColour, 0);
    EXPECT_EQ(YYFieldRecordOf(item(1013))->backColour, 191 + 256 * 191 + 65536 * 191);
    EXPECT_EQ(YYFieldRecordOf(item(1014))->textColour, -1);  // 256: the system colour again
    EXPECT_EQ(YYFieldRecordOf(item(1014))->backColour, 40 + 256 * 50 + 65536 * 60);  // -1: unchanged
    EXPECT_EQ(SendMessageA(item(1003), EM_GETLIMITTEXT, 0, 0), 12);
    EXPECT_EQ(YYFieldRecordOf(item(1008))->maxLength, 7);
    ASSERT_TRUE(YYFieldRecordOf(item(1003))->format);
    EXPECT_EQ(*YYFieldRecordOf(item(1003))->format, "(F8.3)");
    EXPECT_EQ(YYFieldRecordOf(item(1009))->flags, 1);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(item(1001), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "Courier New");
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_EQ(font.lfItalic, 1);
    ASSERT_EQ(YYDialogRecordOf(current())->treeLines.size(), 1u);
    EXPECT_EQ(YYDialogRecordOf(current())->treeLines[0].values[0], 30001);

    // Tables that hold only headers, or a [Dialog] line with its first number only.
    WDialogLoad(105);
    EXPECT_EQ(YYFieldRecordOf(item(1003))->minimum, 1000.0);
    EXPECT_FALSE(YYFieldRecordOf(item(1003))->format);
    WDialogLoad(106);
    EXPECT_EQ(YYDialogRecordOf(current())->resizable, 1);
    EXPECT_FALSE(YYDialogIsResizable(current()));
    EXPECT_EQ(GetDlgItem(current(), -1), nullptr);  // no size grip
}

TEST(FieldTableReader, HeadersMatchOnlyWhole)
{
    struct Case { const char* header; const char* line; bool match; };
    const Case cases[] = {
        {"[Ranges]", "[Ranges] ", true},  {"[Ranges]", "[Ranges]x", true}, {"[Ranges]", "[R", false},
        {"[Ranges]", "[ranges] ", false}, {"[Menus]", "[Ranges] ", false}, {"[Dialog]", "", false},
    };
    for (const Case& c : cases) EXPECT_EQ(YYHeaderMatch(c.header, c.line) == 0, c.match) << c.line;
}

TEST_F(DialogTest, ModelessEventsCarryTheRecordWords)
{
    WDialogLoad(101);
    HWND dialog = current();
    WDialogShow(-1, -1, 1003, 2);
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(dialog) != 0; }));
    RECT r{};
    GetWindowRect(dialog, &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2);
    EXPECT_EQ(YYActiveModelessDialog(), dialog);
    drainEvents();

    DialogRecord* record = YYDialogRecordOf(dialog);
    record->currentField = 1003;
    INTEGER type = 0;
    PostMessageA(item(1005), BM_CLICK, 0, 0);
    EventRecord e = nextEvent(type);
    // The click first moves the focus to the box (a change), then toggles it (another).
    ASSERT_EQ(type, 10);
    EXPECT_EQ(e[0], 101);
    EXPECT_EQ(e[1], 1003);
    EXPECT_EQ(e[2], 1005);
    drainEvents();
    EXPECT_EQ(SendMessageA(item(1005), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // Typing raises nothing until the field asks for it; moving the focus in raises one change.
    PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(1013)), TRUE);
    e = nextEvent(type);
    ASSERT_EQ(type, 10);
    EXPECT_EQ(e[2], 1013);
    drainEvents();
    PostMessageA(item(1013), WM_CHAR, 'x', 0);
    e = nextEvent(type, 300);
    EXPECT_EQ(type, -1);
    YYFieldRecordOf(item(1013))->notifyChanges = 1;
    PostMessageA(item(1013), WM_CHAR, 'y', 0);
    e = nextEvent(type);
    EXPECT_EQ(type, 10);

    struct Case { UINT message; WPARAM wParam; INTEGER value1; };
    const Case buttons[] = {{WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 1}, {WM_COMMAND, MAKEWPARAM(2, BN_CLICKED), 2}};
    for (const Case& c : buttons) {
        drainEvents();
        PostMessageA(dialog, c.message, c.wParam, 0);
        e = nextEvent(type);
        ASSERT_EQ(type, 3);
        EXPECT_EQ(e[0], 101);
        EXPECT_EQ(e[1], c.value1);
        EXPECT_EQ(e[2], record->previousField);
    }
    drainEvents();
    HELPINFO help{};
    help.cbSize = sizeof help;
    sendDuringPoll(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    e = nextEvent(type);
    ASSERT_EQ(type, 3);
    EXPECT_EQ(e[1], 9);

    WDialogHide();
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_EQ(record->shown, 0);
    EXPECT_EQ(YYActiveModelessDialog(), nullptr);
}

TEST_F(DialogTest, SemiModelessDisablesTheRestUntilHidden)
{
    HWND frame = windowSlotTable().Slots[0].Frame.get();
    WDialogLoad(105, 1);
    HWND first = current();
    WDialogShow(10, 10, 0, 2);
    WDialogLoad(105, 2);
    HWND second = current();
    WDialogShow(50, 50, 0, 3);
    EXPECT_FALSE(IsWindowEnabled(frame));
    EXPECT_FALSE(IsWindowEnabled(first));
    EXPECT_TRUE(IsWindowEnabled(second));
    EXPECT_EQ(dialogManagerState().semiModelessCount, 1);

    WDialogLoad(105, 3);
    libraryErrorState().LastErrorNumber = 0;
    WDialogShow(90, 90, 0, 2);  // becomes semi-modeless, and says so
    EXPECT_EQ(lastError(), 1014);
    EXPECT_TRUE(IsWindowVisible(current()));
    EXPECT_EQ(YYDialogRecordOf(current())->mode, 3);
    WDialogHide();
    WDialogSelect(2);
    WDialogHide();
    EXPECT_EQ(dialogManagerState().semiModelessCount, 0);
    EXPECT_TRUE(IsWindowEnabled(frame));
    EXPECT_TRUE(IsWindowEnabled(first));
}

namespace {
// Answers the modal instance from a timer: types into a field, moves the focus there, presses OK.
void CALLBACK answerModal(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND instance = dialogTable().handles[0];
    if (!instance || !IsWindowVisible(instance)) return;
    KillTimer(nullptr, timer);
    SetWindowTextA(GetDlgItem(instance, 1013), "typed");
    SendMessageA(GetDlgItem(instance, 1005), BM_SETCHECK, BST_UNCHECKED, 0);
    SetFocus(GetDlgItem(instance, 1013));
    PostMessageA(instance, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0);
}
}  // namespace

TEST_F(DialogTest, ModalDialogCopiesItsFieldsBackAndReportsItsExit)
{
    WDialogLoad(101);
    HWND loaded = current();
    SetWindowTextA(item(1014), "before");
    INTEGER ignored = 0;
    YYWindowSnapshots(1, -1, ignored);  // an outer modal wait: the copies stay until it ends
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, answerModal);
    WDialogShow(-1, -1, 0, 1);
    KillTimer(nullptr, timer);
    EXPECT_EQ(dialogTable().handles[0], nullptr);
    EXPECT_EQ(current(), loaded);
    EXPECT_FALSE(IsWindowVisible(loaded));
    EXPECT_EQ(windowText(item(1013)), "typed");
    EXPECT_EQ(windowText(item(1014)), "before");
    EXPECT_EQ(SendMessageA(item(1005), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(WDialogQuery(1), 1);
    EXPECT_EQ(WDialogQuery(2), 1013);
    EXPECT_EQ(WDialogQuery(5), 101);
    EXPECT_EQ(YYFieldRecordOf(item(1003))->minimum, 1.0);  // records came back too
    EXPECT_TRUE(YYWindowSnapshotsInForce());
    YYWindowSnapshots(0, -1, ignored);
    EXPECT_FALSE(YYWindowSnapshotsInForce());
    EXPECT_TRUE(IsWindowEnabled(windowSlotTable().Slots[0].Frame.get()));
}

TEST_F(DialogTest, TabPagesLoadPlaceSwitchAndGoWithTheirDialog)
{
    WDialogLoad(103);
    HWND dialog = current();
    HWND tab = item(1089);
    ASSERT_EQ(YYTabCount(tab), 3);
    const char* labels[] = {"Rho-A", "Time", "Log Depth"};
    for (int k = 0; k < 3; ++k) {
        char text[32] = {};
        TCITEMA tabItem{};
        tabItem.mask = TCIF_TEXT;
        tabItem.pszText = text;
        tabItem.cchTextMax = sizeof text;
        TabCtrl_GetItem(tab, k, &tabItem);
        EXPECT_STREQ(text, labels[k]);
        EXPECT_EQ(YYTabData(tab, k).page, 121 + k);
        EXPECT_GT(YYDialogIndex(121 + k), 0);
    }
    EXPECT_EQ(TabCtrl_GetCurSel(tab), 1);  // the initial page named in the table
    EXPECT_EQ(WDialogQuery(3), 103);

    WDialogShow(-1, -1, 0, 2);
    HWND page122 = YYDialogByIdentifier(122);
    EXPECT_EQ(GetParent(page122), dialog);
    EXPECT_TRUE(IsWindowVisible(page122));
    EXPECT_FALSE(IsWindowVisible(YYDialogByIdentifier(121)));

    WDialogSetTab(1089, 123);
    EXPECT_TRUE(IsWindowVisible(YYDialogByIdentifier(123)));
    EXPECT_FALSE(IsWindowVisible(page122));
    INTEGER page = 0;
    WDialogGetTab(1089, page);
    EXPECT_EQ(page, 123);
    WDialogTabState(1089, 121, 0);
    libraryErrorState().LastErrorNumber = 0;
    WDialogSetTab(1089, 121);  // disabled tab
    EXPECT_EQ(lastError(), 1012);

    // A user's switch raises the tab event with the pages left and entered.
    drainEvents();
    PostMessageA(tab, TCM_SETCURFOCUS, 1, 0);
    INTEGER type = 0;
    EventRecord e = nextEvent(type);
    while (type == 10) e = nextEvent(type);
    ASSERT_EQ(type, 11);
    EXPECT_EQ(e[1], 123);
    EXPECT_EQ(e[2], 122);

    // A page cannot be hidden on its own.
    WDialogSelect(122);
    WDialogHide();
    EXPECT_EQ(lastError(), 1069);

    WDialogSelect(103);
    WDialogUnload(1);  // keep the pages
    EXPECT_EQ(dialogTable().count, 3);
    EXPECT_FALSE(IsWindowVisible(YYDialogByIdentifier(122)));
    WDialogLoad(103);  // the pages are loaded already: the table makes no second set
    EXPECT_EQ(dialogTable().count, 4);
    WDialogUnload();
    EXPECT_EQ(dialogTable().count, 0);
}

TEST_F(DialogTest, ResizableDialogKeepsItsFieldsAnchored)
{
    WDialogLoad(102);
    HWND dialog = current();
    ASSERT_TRUE(YYDialogIsResizable(dialog));
    EXPECT_NE(GetDlgItem(dialog, -1), nullptr);  // size grip
    EXPECT_EQ(YYFieldRecordOf(item(2001))->anchorBits, kAnchorRight | kAnchorBottom);
    EXPECT_EQ(YYFieldRecordOf(item(2002))->anchorBits, kAnchorLeft | kAnchorRight);
    EXPECT_EQ(YYFieldRecordOf(item(2003))->anchorBits, kAnchorTop | kAnchorBottom);
    WDialogShow(20, 20, 0, 2);
    const auto rectOf = [&](INTEGER id) {
        RECT r{};
        GetWindowRect(item(id), &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const RECT list = rectOf(2001), right = rectOf(2002), below = rectOf(2003);
    RECT outer{};
    GetWindowRect(dialog, &outer);
    SetWindowPos(dialog, nullptr, 0, 0, outer.right - outer.left + 40, outer.bottom - outer.top + 30,
                 SWP_NOMOVE | SWP_NOZORDER);
    pumpPending();
    EXPECT_EQ(rectOf(2001).right, list.right + 40);
    EXPECT_EQ(rectOf(2001).bottom, list.bottom + 30);
    EXPECT_EQ(rectOf(2002).left, right.left + 40);
    EXPECT_EQ(rectOf(2002).top, right.top);
    EXPECT_EQ(rectOf(2003).top, below.top + 30);
    EXPECT_EQ(rectOf(2003).left, below.left);
}

TEST_F(DialogTest, SnapshotsNestAndTheOwnerFollowsTheActiveDialog)
{
    INTEGER result = 7;
    YYWindowSnapshots(1, -1, result);
    EXPECT_EQ(result, 0);
    YYWindowSnapshots(1, -1, result);
    EXPECT_TRUE(windowSlotTable().Slots[0].Snapshot);
    YYWindowSnapshots(0, -1, result);
    EXPECT_TRUE(YYWindowSnapshotsInForce());
    YYWindowSnapshots(0, 0, result);  // the main window left out keeps its copy
    EXPECT_TRUE(windowSlotTable().Slots[0].Snapshot);
    YYWindowSnapshots(0, -1, result);
    EXPECT_FALSE(YYWindowSnapshotsInForce());
    EXPECT_FALSE(windowSlotTable().Slots[0].Snapshot);

    DialogManagerState& m = dialogManagerState();
    HWND frame = windowSlotTable().Slots[0].Frame.get();
    m.lastDeactivated = frame;
    m.currentModeless = nullptr;
    EXPECT_EQ(YYDialogOwnerWindow(), frame);
    WDialogLoad(105);
    WDialogShow(10, 10, 0, 2);
    m.currentModeless = current();
    EXPECT_EQ(YYDialogOwnerWindow(), current());
    WDialogHide();
    EXPECT_EQ(YYDialogOwnerWindow(), m.lastDeactivated);

    // Colours from the table's rule: red 256 the system colour, red -1 unchanged.
    WDialogLoad(101);
    HWND edit = item(1013);
    struct Case { INTEGER red, green, blue, expected; };
    const Case cases[] = {{1, 2, 3, 1 + 512 + 3 * 65536}, {-1, 9, 9, 1 + 512 + 3 * 65536}, {256, 0, 0, -1},
                          {257, 0, 0, 1}};
    for (const Case& c : cases) {
        YYFieldColourSet(edit, 1, c.red, c.green, c.blue);
        EXPECT_EQ(YYFieldRecordOf(edit)->textColour, c.expected) << c.red;
    }
}

TEST_F(DialogTest, TextPutIntoAFieldReadsBackAsInteger)
{
    WDialogLoad(101);
    struct Case {
        const char* put;
        const char* shown;
        INTEGER integer;
        INTEGER error;  // after reading it as a real
    };
    const Case cases[] = {
        {"42", "42", 42, 0},
        {"-2.7   ", "-2.7", -2, 0},             // toward zero
        {"9e99", "9e99", 2147483647, 0},         // held at the integer limit
        {"", "", -999, 1010},                    // nothing to read: the missing value and an error
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.put);
        WDialogPutString(1013, c.put);
        EXPECT_EQ(windowText(item(1013)), c.shown);
        INTEGER number = 0;
        WDialogGetInteger(1013, number);
        EXPECT_EQ(number, c.integer);
        libraryErrorState().LastErrorNumber = 0;
        REAL real = 0.0f;
        WDialogGetReal(1013, real);
        EXPECT_EQ(lastError(), c.error);
        if (c.error) {
            EXPECT_EQ(real, -999.0f);
        }
    }
    WDialogPutString(1013, "-2.7");
    EXPECT_EQ(YYFieldRecordOf(item(1013))->value, -2.7);  // the put text's value is kept exactly
    WDialogPutInteger(1013, 42);
    EXPECT_EQ(windowText(item(1013)), "42");
}

TEST_F(DialogTest, RealsAndDoublesAreWrittenInTheirFormat)
{
    WDialogLoad(101);
    WDialogPutReal(1013, 1.5f, "(F4.1)");
    EXPECT_EQ(windowText(item(1013)), "1.5");
    EXPECT_EQ(*YYFieldRecordOf(item(1013))->format, "(F4.1)");  // kept for the field
    WDialogPutDouble(1013, 0.0, "(F5.2)");
    EXPECT_EQ(windowText(item(1013)), "0.00");
    EXPECT_EQ(*YYFieldRecordOf(item(1013))->format, "(F5.2)");
}

TEST_F(DialogTest, IntegerRangesRefuseValuesOutsideThem)
{
    WDialogLoad(101);
    // Field 1003 has the range 1 to 2147483647 from its table.
    WDialogPutInteger(1003, 5);
    libraryErrorState().LastErrorNumber = 0;
    WDialogPutInteger(1003, 0);
    EXPECT_EQ(lastError(), 1009);
    EXPECT_EQ(windowText(item(1003)), "5");  // the refused value is not shown

    // An open lower end goes to the lowest integer; no range at all takes anything.
    WDialogRangeInteger(1003, std::nullopt, 10);
    EXPECT_EQ(YYFieldRecordOf(item(1003))->minimum, -2147483647.0);
    WDialogPutInteger(1003, -2000000000);
    EXPECT_EQ(windowText(item(1003)), "-2000000000");
    WDialogRangeInteger(1003);
    WDialogPutInteger(1003, 123456);
    EXPECT_EQ(windowText(item(1003)), "123456");
}

TEST_F(DialogTest, StringsAreCutToTheCallersLength)
{
    WDialogLoad(101);
    WDialogPutString(1003, "123456");
    struct Case { std::size_t length; const char* expected; };
    const Case cases[] = {{6, "123456"}, {3, "123"}, {8, "123456  "}};
    for (const Case& c : cases) {
        std::string text(c.length, '?');
        WDialogGetString(1003, text);
        EXPECT_EQ(text, c.expected) << c.length;
    }
    INTEGER length = 0;
    WDialogGetStringLength(1003, length);
    EXPECT_EQ(length, 6);
}

TEST_F(DialogTest, CheckBoxesAndRadioButtons)
{
    WDialogLoad(101);
    WDialogPutRadioButton(1006);
    INTEGER state = -1, number = 0;
    WDialogGetCheckBox(1007, state);
    EXPECT_EQ(state, 0);
    WDialogGetRadioButton(1007, number);
    EXPECT_EQ(number, 1);  // the first of the group is on
    for (INTEGER put : {1, 0}) {
        WDialogPutCheckBox(1005, put);
        WDialogGetCheckBox(1005, state);
        EXPECT_EQ(state, put);
    }
    libraryErrorState().LastErrorNumber = 0;
    WDialogPutCheckBox(1, 1);  // a push button is no check box
    EXPECT_EQ(lastError(), 1006);
}

TEST_F(DialogTest, FieldStatesKindsAndOptions)
{
    WDialogLoad(101);
    WDialogFieldState(1013, 3);
    EXPECT_FALSE(IsWindowVisible(item(1013)));
    WDialogFieldState(1, 2);  // read-only means disabled for a push button
    EXPECT_FALSE(IsWindowEnabled(item(1)));
    WDialogFieldState(1014, 2);
    EXPECT_EQ(WDialogFieldQuery(1014, 6), 2);
    struct Kind { INTEGER field, kind; };
    const Kind kinds[] = {{1001, 1}, {1002, 3}, {1003, 4}, {1005, 9}, {1006, 10}, {1008, 11}, {1009, 12},
                          {1010, 14}, {1011, 16}, {1012, 17}, {1, 8}};
    for (const Kind& k : kinds) EXPECT_EQ(WDialogFieldQuery(k.field, 5), k.kind) << k.field;
    EXPECT_EQ(WDialogFieldQuery(1011, 8), 50);
    EXPECT_EQ(WDialogFieldQuery(1003, 99), 0);
    WDialogFieldOptions(1003, 3, 1);
    EXPECT_EQ(YYFieldRecordOf(item(1003))->notifyChanges, 1);
    WDialogPutString(1003, "x");  // the program's own put leaves the option as it was
    EXPECT_EQ(YYFieldRecordOf(item(1003))->notifyChanges, 1);
}

TEST_F(DialogTest, ChildWindowRoutinesAskTheDialogManager)
{
    YYDialogWindowHooksInstall();
    ChildWindowHooks& hooks = childWindowHooks();
    WDialogLoad(105, 7);
    EXPECT_EQ(hooks.layoutDialogAvailable(7), -5);  // already loaded
    EXPECT_EQ(hooks.layoutDialogAvailable(8), 0);
    EXPECT_EQ(hooks.semiModelessCount(), 0);

    // A dialog that belongs to a closing window goes with it, and the caller's variable is cleared.
    HWND frame = windowSlotTable().Slots[0].Frame.get();
    DialogRecord* record = YYDialogRecordOf(dialogTable().handles[static_cast<std::size_t>(YYDialogIndex(7))]);
    ASSERT_NE(record, nullptr);
    record->ownerWindow = frame;
    INTEGER dialog = 7;
    hooks.dialogsInsideRelease(frame, dialog);
    EXPECT_EQ(YYDialogIndex(7), -1);
    EXPECT_EQ(dialog, 0);
    childWindowHooks() = ChildWindowHooks{};
}

TEST_F(DialogTest, GraphicsDrawIntoTheCurrentDialog)
{
    YYDialogWindowHooksInstall();
    WDialogLoad(101);
    WDialogShow(-1, -1, 0, 2);
    libraryErrorState().LastErrorNumber = 0;
    IGrSelect(kDrawableDialogField, 0);  // field 0: the dialog itself
    EXPECT_EQ(lastError(), 0);
    EXPECT_EQ(graphicsState().DrawableKind, kDrawableDialogField);
    RECT client{};
    GetClientRect(current(), &client);
    EXPECT_EQ(graphicsState().DrawableWidth, client.right);
    IGrSelect(kDrawableWindow, 0);
    EXPECT_EQ(graphicsState().DrawableKind, kDrawableWindow);
    childWindowHooks() = ChildWindowHooks{};
}

namespace {

// Types as the user does: each character through the control's character handling.
void typeInto(HWND control, const std::string& text, bool replace = true)
{
    if (replace) SendMessageA(control, EM_SETSEL, 0, -1);
    for (char c : text) SendMessageA(control, WM_CHAR, static_cast<unsigned char>(c), 0);
}

bool wholeTextSelected(HWND control)
{
    DWORD start = 0, end = 0;
    SendMessageA(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return start == 0 && end == static_cast<DWORD>(GetWindowTextLengthA(control));
}

LRESULT spinClick(HWND dialog, HWND field, int delta, NMUPDOWN& change)
{
    HWND upDown = YYFieldRecordOf(field)->spinControl;
    change = NMUPDOWN{};
    change.hdr.hwndFrom = upDown;
    change.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(upDown));
    change.hdr.code = UDN_DELTAPOS;
    change.iDelta = delta;
    SendMessageA(dialog, WM_NOTIFY, change.hdr.idFrom, reinterpret_cast<LPARAM>(&change));
    return GetWindowLongPtrA(dialog, DWLP_MSGRESULT);
}

}  // namespace

TEST_F(DialogTest, NumericFieldsFilterKeysAndTakeTheirTemplateText)
{
    WDialogLoad(107);
    HWND integer = item(1301), real = item(1302), spin = item(1303);
    EXPECT_EQ(YYControlClass(integer), kClassIntegerEdit);
    EXPECT_EQ(YYFieldRecordOf(real)->value, 5.0);
    EXPECT_EQ(YYFieldRecordOf(real)->hasValue, 1);
    EXPECT_EQ(YYFieldRecordOf(item(1305))->hasValue, 0);
    EXPECT_EQ(SendMessageA(integer, EM_GETLIMITTEXT, 0, 0), 11);
    ASSERT_NE(YYFieldRecordOf(spin)->spinControl, nullptr);
    EXPECT_EQ(YYControlClass(YYFieldRecordOf(spin)->spinControl), kClassUpDown);
    EXPECT_EQ(YYFieldRecordOf(spin)->smallStep, 1.0);
    EXPECT_EQ(YYFieldRecordOf(spin)->largeStep, 5.0);

    struct Case {
        INTEGER field;
        const char* typed;
        const char* shown;
        int beeps;
    };
    const Case cases[] = {
        {1301, "x", "+7", 1},       {1301, "-12.5", "-125", 1}, {1302, "1e5", "1E5", 0},
        {1302, "2d3", "23", 1},   {1305, "1d-3e", "1D-3E", 0}, {1303, "+4", "+4", 0},
    };
    for (const Case& c : cases) {
        const INTEGER before = cursorState().Beeps;
        typeInto(item(c.field), c.typed);
        EXPECT_EQ(windowText(item(c.field)), c.shown) << c.typed;
        EXPECT_EQ(cursorState().Beeps - before, c.beeps) << c.typed;
    }

    INTEGER field = 1303;
    YYRealSpinSteps(field, 1.0f, 2.0f);  // of another class
    EXPECT_EQ(field, -1);
    field = 1303;
    YYIntegerSpinSteps(field, 3, 0, 0);
    EXPECT_EQ(field, 1303);
    EXPECT_EQ(YYFieldRecordOf(spin)->largeStep, 3.0);
}

TEST_F(DialogTest, NumericFieldsCheckAndRewriteTheirEntryWhenTheFocusLeaves)
{
    WDialogLoad(107);
    HWND dialog = current();
    WDialogShow(-1, -1, 0, 2);
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(dialog) != 0; }));
    HWND integer = item(1301), real = item(1302), spin = item(1303);

    // Leaving an integer field always rewrites it; an untouched real field keeps its text.
    SetFocus(integer);
    SetFocus(real);
    EXPECT_EQ(windowText(integer), "7");
    SetWindowTextA(real, "5.000");
    SetFocus(spin);
    EXPECT_EQ(windowText(real), "5.000");

    // A typed value is reformatted, but the field keeps the full number.
    WDialogPutReal(1302, 5.0f, "(F6.2)");
    SetFocus(real);
    typeInto(real, "3.14159");
    SetFocus(spin);
    EXPECT_EQ(windowText(real), "3.14");
    REAL value = 0.0f;
    WDialogGetReal(1302, value);
    EXPECT_FLOAT_EQ(value, 3.14159f);

    // Out of range: the focus comes back with the text selected.
    FieldRecord* field = YYFieldRecordOf(real);
    field->minimum = 0.0;
    field->maximum = 10.0;
    WDialogPutReal(1302, 5.0f, "(F6.2)");
    SetFocus(real);
    typeInto(real, "12");
    INTEGER beeps = cursorState().Beeps;
    SetFocus(spin);
    EXPECT_EQ(GetFocus(), real);
    EXPECT_TRUE(wholeTextSelected(real));
    EXPECT_EQ(cursorState().Beeps, beeps + 1);
    EXPECT_EQ(windowText(real), "12");

    // Clearing a field that has a value and a range is refused too; without a range it reads 0.
    typeInto(real, "");
    SendMessageA(real, WM_CHAR, 8, 0);
    SetFocus(spin);
    EXPECT_EQ(GetFocus(), real);
    field->minimum = 1000.0;
    field->maximum = -1000.0;
    SetFocus(spin);
    EXPECT_EQ(GetFocus(), spin);
    EXPECT_EQ(field->value, 0.0);
    field->minimum = 0.0;
    field->maximum = 10.0;

    // The default button refuses a bad entry; another button abandons it and acts.
    WDialogPutReal(1302, 5.0f, "(F6.2)");
    SetFocus(real);
    typeInto(real, "12");
    drainEvents();
    beeps = cursorState().Beeps;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0);
    INTEGER type = 0;
    nextEvent(type, 300);
    EXPECT_EQ(type, -1);
    EXPECT_EQ(GetFocus(), real);
    EXPECT_EQ(cursorState().Beeps, beeps + 1);

    SetFocus(item(2));  // the focus moves to the push button, as a mouse press does
    EXPECT_EQ(GetFocus(), item(2));
    drainEvents();
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(2, BN_CLICKED), 0);
    EventRecord e = nextEvent(type);
    ASSERT_EQ(type, 3);
    EXPECT_EQ(e[1], 2);
    EXPECT_EQ(windowText(real), "5.00");
    EXPECT_EQ(field->value, 5.0);
}

TEST_F(DialogTest, SpinFieldsStepClampAndSnap)
{
    WDialogLoad(107);
    HWND dialog = current();
    HWND spin = item(1303), realSpin = item(1304);
    INTEGER field = 1303;
    YYIntegerSpinSteps(field, 5, 5, 1);
    NMUPDOWN change{};
    EXPECT_EQ(spinClick(dialog, spin, 1, change), 1);
    EXPECT_EQ(change.iDelta, 0);  // the up-down control's own position never moves
    EXPECT_EQ(windowText(spin), "11");  // 8 + 5 = 13, on the grid from 1
    EXPECT_EQ(YYFieldRecordOf(spin)->value, 11.0);

    // A typed text is taken up before the step.
    typeInto(spin, "20");
    spinClick(dialog, spin, -1, change);
    EXPECT_EQ(windowText(spin), "11");  // 15, snapped toward zero on the grid from 1

    FieldRecord* record = YYFieldRecordOf(realSpin);
    record->minimum = 0.0;
    record->maximum = 10.0;
    record->format = std::make_shared<std::string>("(F5.1)");
    const struct { int delta; const char* shown; } steps[] = {{1, "10.0"}, {1, "10.0"}, {-5, "5.0"}, {-5, "0.0"},
                                                                {-1, "0.0"}, {3, "0.0"}};
    for (const auto& s : steps) {
        spinClick(dialog, realSpin, s.delta, change);
        EXPECT_EQ(windowText(realSpin), s.shown) << s.delta;
    }
    // An up-down control without a numeric buddy is left to itself.
    HWND plain = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD, 0, 0, 10, 10, dialog, nullptr, nullptr, nullptr);
    change = NMUPDOWN{};
    change.hdr.hwndFrom = plain;
    change.hdr.code = UDN_DELTAPOS;
    change.iDelta = 1;
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
    SendMessageA(dialog, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(change.iDelta, 1);
    DestroyWindow(plain);
}

TEST_F(DialogTest, MenuFieldsPutAndGetTheirChoices)
{
    WDialogLoad(107);
    const std::vector<std::string> texts = {"Alpha   ", "Beta", "Gamma"};
    WDialogPutMenu(1306, texts, 3, 2);
    EXPECT_EQ(SendMessageA(item(1306), CB_GETCOUNT, 0, 0), 3);
    INTEGER option = 0;
    std::string text(8, '?');
    WDialogGetMenu(1306, option, &text);
    EXPECT_EQ(option, 2);
    EXPECT_EQ(text, "Beta    ");
    char first[16] = {};
    SendMessageA(item(1306), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_STREQ(first, "Alpha");

    libraryErrorState().LastErrorNumber = 0;
    WDialogPutMenu(1306, texts, 3, 4);
    EXPECT_EQ(lastError(), 1011);
    EXPECT_EQ(SendMessageA(item(1306), CB_GETCURSEL, 0, 0), CB_ERR);
    WDialogPutMenu(1306, texts, 99, 1);  // never more entries than handed over
    EXPECT_EQ(SendMessageA(item(1306), CB_GETCOUNT, 0, 0), 3);
    libraryErrorState().LastErrorNumber = 0;
    WDialogPutOption(1306, 0);
    EXPECT_EQ(lastError(), 1011);
    WDialogPutOption(1306, 3);
    WDialogGetMenu(1306, option);
    EXPECT_EQ(option, 3);

    WDialogPutMenu(1307, texts, 3, 1);  // a multiple-selection list is no menu
    EXPECT_EQ(lastError(), 1006);
    EXPECT_EQ(SendMessageA(item(1307), LB_GETCOUNT, 0, 0), 0);

    WDialogLoad(101);
    const std::vector<std::string> letters = {"A", "B", "C"};
    WDialogPutMenu(1008, letters, 3, 0, "b");
    WDialogGetMenu(1008, option);
    EXPECT_EQ(option, 2);
    WDialogPutMenu(1008, letters, 3, 0, "Z");
    EXPECT_EQ(windowText(item(1008)), "Z");
    text.assign(3, '?');
    WDialogGetMenu(1008, option, &text);
    EXPECT_EQ(option, 0);
    EXPECT_EQ(text, "Z  ");

    WDialogPutMenu(1009, letters, 3, 0);
    libraryErrorState().LastErrorNumber = 0;
    WDialogGetMenu(1009, option);
    EXPECT_EQ(option, -999);
    EXPECT_EQ(lastError(), 1010);
}

TEST_F(DialogTest, ProgressTrackbarAndClearing)
{
    WDialogLoad(101);
    struct Range { INTEGER minimum, maximum, error; };
    const Range ranges[] = {{10, 10, 1013}, {0, 65536, 1013}, {-1, 5, 1013}, {0, 100, 0}};
    for (const Range& r : ranges) {
        libraryErrorState().LastErrorNumber = 0;
        WDialogRangeProgressBar(1010, r.minimum, r.maximum);
        EXPECT_EQ(lastError(), r.error) << r.minimum << " " << r.maximum;
    }
    WDialogPutProgressBar(1010, 20);
    WDialogPutProgressBar(1010, 5, 1);
    EXPECT_EQ(SendMessageA(item(1010), PBM_GETPOS, 0, 0), 25);
    libraryErrorState().LastErrorNumber = 0;
    WDialogPutProgressBar(1011, 5);
    EXPECT_EQ(lastError(), 1006);

    INTEGER field = 1011, position = 0, start = 0, end = 0, minimum = 0, maximum = 0;
    YYTrackbarRange(field, 0, 40, 10);
    YYTrackbarRangeOf(field, minimum, maximum);
    EXPECT_EQ(maximum, 40);
    YYTrackbarPut(field, 12, 0, 5, 20);
    YYTrackbarGet(field, position, start, end);
    EXPECT_EQ(position, 12);
    EXPECT_EQ(start, 5);
    EXPECT_EQ(end, 20);
    YYTrackbarPut(field, 13, 2, 0, 0);
    YYTrackbarGet(field, position, start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 0);
    field = 1010;
    YYTrackbarGet(field, position, start, end);
    EXPECT_EQ(field, -1);

    WDialogPutRadioButton(1007);
    field = 1006;
    YYFieldClear(field);
    EXPECT_EQ(SendMessageA(item(1006), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(item(1007), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    field = 1010;
    YYFieldClear(field);
    EXPECT_EQ(SendMessageA(item(1010), PBM_GETPOS, 0, 0), 0);
    WDialogPutString(1013, "7");
    field = 1013;
    YYFieldClear(field);
    EXPECT_EQ(windowText(item(1013)), "");
    EXPECT_EQ(YYFieldRecordOf(item(1013))->hasValue, 0);
}
