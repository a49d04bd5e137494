// Windows laid out by dialogs under Wine: the layout is a live dialog of the dialog manager, it
// follows its window's size and goes with the window; per-field cursors; where the current dialog
// is; and the focused field of a layout after a split.
#include <gtest/gtest.h>

#include "toolkit/foundation/CommonControls.h"

#include <array>
#include <string>

#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/dialogs/DialogFieldValues.h"
#include "toolkit/dialogs/DialogHooks.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/DialogWindowHooks.h"
#include "toolkit/dialogs/NumericEdits.h"
#include "toolkit/foundation/ChildWindows.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowPlacement.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/GraphicsState.h"

using namespace GuiHarness;
using namespace ToolkitSession;

namespace {

constexpr INTEGER kFixedLayout = 8001;      // edit, check box, integer field and a push button; a field table
constexpr INTEGER kResizableLayout = 8002;  // a list box anchoring a button to its right and one below
constexpr INTEGER kChildLayout = 8003;
constexpr INTEGER kPaneLayout = 8004;       // a multi-line edit first
constexpr INTEGER kPictureDialog = 8005;    // top-level, with a picture field 8051
constexpr INTEGER kChildDialog = 8006;      // child style, for a dialog inside a window
constexpr std::array<INTEGER, 4> kNoBars{0, 0, 0, 0};

class LayoutDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        YYDialogWindowHooksInstall();
        libraryErrorState().LastErrorNumber = 0;
    }
    void TearDown() override
    {
        DialogTable& t = dialogTable();
        // Ordinary dialogs first; layouts go with their windows.
        for (INTEGER i = t.count; i >= 1; --i)
            if (!YYDialogLayoutFrame(t.handles[static_cast<std::size_t>(i)])) YYDialogUnload(0, i);
        closeAllWindows();
        EXPECT_EQ(t.count, 0);
        EXPECT_EQ(dialogManagerState().liveDialogRecords, 0);
        EXPECT_EQ(dialogManagerState().liveFieldRecords, 0);
        childWindowHooks() = ChildWindowHooks{};
    }
    static WindowSlot& slot(INTEGER n) { return windowSlotTable().Slots[static_cast<std::size_t>(n)]; }
    static HWND layoutOf(INTEGER window)
    {
        const WindowUserRecord* record = YYWindowRecord(slot(window).Frame.get());
        return record && record->Words[0] == kWindowDialogLayout ? reinterpret_cast<HWND>(record->Words[5]) : nullptr;
    }
    static INTEGER openMain(INTEGER layout, INTEGER width = 300, INTEGER height = 200)
    {
        WindowOpen(39, 40, 40, width, height, 0, std::nullopt, &layout);
        pumpPending();
        return layout;
    }
    static INTEGER lastError() { return libraryErrorState().LastErrorNumber; }
    Watchdog watchdog_{std::chrono::milliseconds(120000)};
};

}  // namespace

TEST_F(LayoutDialogTest, AMainWindowLayoutIsALiveDialogOfTheDialogManager)
{
    ASSERT_EQ(openMain(kFixedLayout), kFixedLayout);
    HWND dialog = layoutOf(0);
    ASSERT_TRUE(IsWindow(dialog));
    EXPECT_EQ(GetParent(dialog), slot(0).Client);
    EXPECT_EQ(dialogTable().count, 1);
    const DialogRecord* record = YYDialogRecordOf(dialog);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->combinedWindow, slot(0).Frame.get());
    EXPECT_EQ(record->shown, 1);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(WDialogQuery(3), kFixedLayout);  // the current dialog
    EXPECT_EQ(WDialogQuery(10), 4);
    INTEGER kind = 0;
    YYCurrentDialogKind(kind);
    EXPECT_EQ(kind, 4);

    // Its field table was applied, and its fields take and give values.
    INTEGER checked = 0;
    WDialogGetCheckBox(8012, checked);
    EXPECT_EQ(checked, 1);
    EXPECT_EQ(YYFieldRecordOf(GetDlgItem(dialog, 8013))->maximum, 10.0);
    WDialogPutString(8011, "north");
    EXPECT_EQ(windowText(GetDlgItem(dialog, 8011)), "north");
    WDialogPutInteger(8013, 7);
    INTEGER value = 0;
    WDialogGetInteger(8013, value);
    EXPECT_EQ(value, 7);
    EXPECT_EQ(lastError(), 0);

    // A push button raises its event under the layout's identifier.
    drainEvents();
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(8014, BN_CLICKED), 0);
    INTEGER type = 0;
    const EventRecord e = nextEvent(type);
    ASSERT_EQ(type, 3);
    EXPECT_EQ(e[0], kFixedLayout);
    EXPECT_EQ(e[1], 8014);

    // The focus given to the window goes into its layout, which takes the dialog keys.
    SetFocus(slot(0).Client);
    EXPECT_TRUE(IsChild(dialog, GetFocus()));
    EXPECT_EQ(YYActiveModelessDialog(), dialog);

    // The application cannot unload a window's layout behind the window's back.
    WDialogUnload();
    EXPECT_EQ(lastError(), 1047);
    EXPECT_EQ(dialogTable().count, 1);
}

TEST_F(LayoutDialogTest, AResizableLayoutFollowsItsWindow)
{
    ASSERT_EQ(openMain(kResizableLayout), kResizableLayout);
    HWND frame = slot(0).Frame.get();
    HWND dialog = layoutOf(0);
    ASSERT_TRUE(YYDialogIsResizable(dialog));
    EXPECT_TRUE(GetWindowLongA(frame, GWL_STYLE) & WS_THICKFRAME);
    const RECT client = clientRect(slot(0).Client);
    HWND list = GetDlgItem(dialog, 8021), right = GetDlgItem(dialog, 8022), below = GetDlgItem(dialog, 8023);
    auto inDialog = [&](HWND control) {
        RECT r{};
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const RECT list0 = inDialog(list), right0 = inDialog(right), below0 = inDialog(below);

    WindowMoveResize(client.right + 100, client.bottom + 60);
    pumpPending();
    const RECT grown = clientRect(slot(0).Client);
    ASSERT_EQ(grown.right, client.right + 100);
    ASSERT_EQ(grown.bottom, client.bottom + 60);
    const RECT area = clientRect(dialog);
    EXPECT_EQ(area.right, grown.right);  // the layout takes the whole drawing client
    EXPECT_EQ(area.bottom, grown.bottom);
    const RECT list1 = inDialog(list), right1 = inDialog(right), below1 = inDialog(below);
    EXPECT_EQ(list1.right - list1.left, list0.right - list0.left + 100);
    EXPECT_EQ(list1.bottom - list1.top, list0.bottom - list0.top + 60);
    EXPECT_EQ(right1.left, right0.left + 100);
    EXPECT_EQ(right1.top, right0.top);
    EXPECT_EQ(below1.top, below0.top + 60);
    EXPECT_EQ(below1.left, below0.left);
}

TEST_F(LayoutDialogTest, AChildWindowLayoutIsUnloadedWithItsWindowOrItsContent)
{
    openMain(0, 500, 350);
    WDialogLoad(kPictureDialog);  // an ordinary dialog, which stays current throughout
    auto openChild = [](INTEGER flags) {
        INTEGER window = 0, layout = kChildLayout;
        YYChildWindowCreate(10, 10, 100, 100, window, flags, 0, kNoBars, layout, 0, -1, "laid out");
        pumpPending();
        EXPECT_EQ(layout, kChildLayout);
        return window;
    };
    const INTEGER child = openChild(kStyleSystemMenu);
    ASSERT_GT(child, 0);
    HWND dialog = layoutOf(child);
    ASSERT_TRUE(IsWindow(dialog));
    EXPECT_EQ(GetParent(dialog), slot(child).Client);
    EXPECT_EQ(YYDialogRecordOf(dialog)->combinedWindow, slot(child).Frame.get());
    EXPECT_EQ(dialogTable().count, 2);
    WDialogSelect(kChildLayout);
    WDialogPutString(8031, "south");
    std::string text(8, ' ');
    WDialogGetString(8031, text);
    EXPECT_EQ(text, "south   ");
    WDialogSelect(kPictureDialog);

    // A second window cannot lay out the same dialog while it is loaded.
    INTEGER second = 0, again = kChildLayout;
    YYChildWindowCreate(10, 10, 100, 100, second, kStyleSystemMenu, 0, kNoBars, again, 0, -1, "again");
    EXPECT_EQ(again, -5);
    INTEGER closing = second;
    INTEGER unused = 0;
    YYWindowClose(closing, unused);

    INTEGER window = child, current = kChildLayout;
    YYWindowClose(window, current);
    pumpPending();
    EXPECT_EQ(current, 0);  // the caller's variable named the unloaded layout
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(dialogTable().count, 1);
    EXPECT_EQ(YYDialogIndex(kChildLayout), -1);
    EXPECT_EQ(WDialogQuery(3), kPictureDialog);
    EXPECT_EQ(dialogManagerState().liveDialogRecords, 1);

    // Releasing the content of a window unloads its layout and keeps the window.
    const INTEGER released = openChild(kStyleSystemMenu);
    HWND releasedDialog = layoutOf(released);
    ASSERT_TRUE(IsWindow(releasedDialog));
    WindowSetCurrent(released);
    INTEGER dialogVariable = kChildLayout, status = -1;
    YYWindowContentRelease(dialogVariable, 0, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(dialogVariable, 0);
    EXPECT_FALSE(IsWindow(releasedDialog));
    EXPECT_EQ(YYWindowRecord(slot(released).Frame.get()), nullptr);
    EXPECT_TRUE(slot(released).Frame);
    EXPECT_EQ(dialogTable().count, 1);

    // A window opened hidden shows its layout when it is shown.
    WindowSetCurrent(0);
    const INTEGER hidden = openChild(kStyleSystemMenu | kStyleHidden);
    HWND hiddenDialog = layoutOf(hidden);
    ASSERT_TRUE(IsWindow(hiddenDialog));
    EXPECT_EQ(YYDialogRecordOf(hiddenDialog)->shown, 0);
    WindowSetCurrent(hidden);
    WindowMoveResize(kUnchanged, kUnchanged, kUnchanged, kUnchanged, 1);
    pumpPending();
    EXPECT_EQ(YYDialogRecordOf(hiddenDialog)->shown, 1);
    EXPECT_TRUE(IsWindowVisible(hiddenDialog));
    WindowSetCurrent(0);
}

TEST_F(LayoutDialogTest, ADialogGraphicsFieldKeepsItsOwnCursor)
{
    openMain(0);
    WDialogLoad(kPictureDialog);
    WDialogShow(100, 100);
    pumpPending();
    HWND dialog = YYCurrentDialog();
    HWND field = GetDlgItem(dialog, 8051);
    HCURSOR cross = LoadCursor(nullptr, IDC_CROSS), wait = LoadCursor(nullptr, IDC_WAIT);
    auto cursorOverField = [&] {
        SetCursor(nullptr);
        SendMessageA(field, WM_SETCURSOR, reinterpret_cast<WPARAM>(field), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    auto shapeInForce = [](INTEGER selector, INTEGER number) {
        INTEGER value = -1;
        YYCursorShapeInForce(value, selector, number);
        return value;
    };

    IGrSelect(kDrawableDialogField, 8051);
    ASSERT_EQ(graphicsState().DrawableKind, kDrawableDialogField);
    WCursorShape(3, 1);
    EXPECT_EQ(lastError(), 0);
    EXPECT_EQ(YYFieldRecordOf(field)->cursor, cross);
    EXPECT_EQ(YYFieldRecordOf(field)->cursorShape, 3);
    EXPECT_EQ(slot(0).Cursor, nullptr);  // the windows keep theirs
    EXPECT_EQ(shapeInForce(3, 8051), 3);
    EXPECT_EQ(cursorOverField(), cross);

    // Everywhere: every field loses its own cursor and the new one shows over it too.
    WCursorShape(1);
    EXPECT_EQ(YYFieldRecordOf(field)->cursor, nullptr);
    EXPECT_EQ(shapeInForce(3, 8051), 1);
    EXPECT_EQ(cursorOverField(), wait);

    // The dialog itself as the drawable cannot show a cursor of its own.
    IGrSelect(kDrawableDialogField, 0);
    WCursorShape(3, 1);
    EXPECT_EQ(lastError(), 1097);
    EXPECT_EQ(YYFieldRecordOf(field)->cursor, nullptr);
    IGrSelect(kDrawableWindow, 0);
    WCursorShape(0);
}

TEST_F(LayoutDialogTest, ThePlacementOfTheCurrentDialog)
{
    openMain(0, 400, 300);
    INTEGER x = -1, y = -1, inside = -1, parent = -1, kind = -1;
    YYWindowPlacement(2, x, y, inside, parent);
    using Four = std::array<INTEGER, 4>;
    EXPECT_EQ((Four{x, y, inside, parent}), (Four{0, 0, 0, 0}));
    YYCurrentDialogKind(kind);
    EXPECT_EQ(kind, 0);

    // A top-level dialog: screen pixels.
    WDialogLoad(kPictureDialog);
    WDialogShow(50, 60);
    pumpPending();
    HWND top = YYCurrentDialog();
    RECT r{};
    GetWindowRect(top, &r);
    YYWindowPlacement(2, x, y, inside, parent);
    EXPECT_EQ((Four{x, y, inside, parent}), (Four{50, 60, 0, 0}));
    YYWindowPlacement(3, x, y, inside, parent);
    EXPECT_EQ(x, r.right - r.left);
    EXPECT_EQ(y, r.bottom - r.top);
    YYCurrentDialogKind(kind);
    EXPECT_EQ(kind, 1);
    // The client origin of "no window" is that of the active modeless dialog.
    dialogManagerState().currentModeless = top;
    POINT origin{0, 0};
    ClientToScreen(top, &origin);
    YYClientOriginOnScreen(-1, 0, 0, x, y);
    EXPECT_EQ(x, origin.x);
    EXPECT_EQ(y, origin.y);

    // A dialog inside the main window: pixels of its client, with the window's number.
    WDialogLoad(kChildDialog, kChildDialog, 0);
    WDialogShow(5000, 0);
    pumpPending();
    const RECT client = clientRect(slot(0).Client);
    YYWindowPlacement(2, x, y, inside, parent);
    EXPECT_EQ(x, 5000 * (client.right - 1) / 9999);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(inside, 1);
    EXPECT_EQ(parent, 0);
    YYCurrentDialogKind(kind);
    EXPECT_EQ(kind, 2);
    // Selectors 0 and 1 still mean the current window's frame.
    YYWindowPlacement(0, x, y, inside, parent);
    GetWindowRect(slot(0).Frame.get(), &r);
    EXPECT_EQ(x, r.left);
    EXPECT_EQ(y, r.top);
}

TEST_F(LayoutDialogTest, AfterASplitTheFirstPanesLayoutFieldIsReadyForTyping)
{
    openMain(0, 400, 300);
    SetFocus(slot(0).Client);
    ASSERT_EQ(GetFocus(), slot(0).Client);
    std::array<INTEGER, 2> panes{}, layouts{kPaneLayout, 0};
    YYSplitWindowCreate(panes, 0, {0, 0}, -1, {0, 0}, {kNoBars, kNoBars}, layouts, {-1, -1}, "laid out", "free");
    pumpPending();
    ASSERT_GT(panes[0], 0);
    EXPECT_EQ(layouts[0], kPaneLayout);
    HWND dialog = layoutOf(panes[0]);
    ASSERT_TRUE(IsWindow(dialog));
    HWND edit = GetDlgItem(dialog, 8041);
    EXPECT_EQ(GetFocus(), edit);
    // A multi-line field is entered with its caret, not with its text selected.
    DWORD start = 99, end = 99;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, end);
}

TEST_F(LayoutDialogTest, ShutDownDestroysEveryDialogAndEmptiesTheTable)
{
    ASSERT_EQ(openMain(kFixedLayout), kFixedLayout);
    WDialogLoad(kPictureDialog);
    WDialogShow(10, 10);
    WDialogLoad(kChildDialog, kChildDialog, 0);
    ASSERT_EQ(dialogTable().count, 3);
    HWND picture = YYDialogByIdentifier(kPictureDialog), inside = YYDialogByIdentifier(kChildDialog);
    closeAllWindows();
    EXPECT_EQ(dialogTable().count, 0);
    EXPECT_EQ(WDialogQuery(3), 0);
    EXPECT_EQ(YYActiveModelessDialog(), nullptr);
    EXPECT_FALSE(IsWindow(picture));
    EXPECT_FALSE(IsWindow(inside));
    EXPECT_EQ(dialogManagerState().liveDialogRecords, 0);
    EXPECT_EQ(dialogManagerState().liveFieldRecords, 0);
}

TEST_F(LayoutDialogTest, AClickIntoALayoutBringsItsWindowForward)
{
    openMain(0, 500, 350);
    auto openInside = [](INTEGER layout) {
        INTEGER window = 0;
        YYChildWindowCreate(10, 10, 150, 100, window, kStyleSystemMenu | kStyleInsideParent, 0, kNoBars, layout, 0,
                            -1, "inside");
        pumpPending();
        return window;
    };
    const INTEGER laidOut = openInside(kChildLayout);
    const INTEGER other = openInside(0);
    ASSERT_GT(laidOut, 0);
    ASSERT_GT(other, 0);
    ASSERT_EQ(windowEngineState().ActiveFrame, slot(other).Frame.get());
    HWND dialog = layoutOf(laidOut);
    SendMessageA(dialog, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(slot(0).Frame.get()),
                 MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    pumpPending();
    EXPECT_EQ(windowEngineState().ActiveFrame, slot(laidOut).Frame.get());
    EXPECT_EQ(GetWindow(slot(0).Client, GW_CHILD), slot(laidOut).Frame.get());  // on top of its siblings
    EXPECT_TRUE(IsChild(dialog, GetFocus()));
}

TEST_F(LayoutDialogTest, ActivationDrawsOneCaptionActiveAmongWindowsAndDialogs)
{
    openMain(0, 500, 350);
    INTEGER child = 0, noLayout = 0;
    YYChildWindowCreate(10, 10, 120, 90, child, kStyleSystemMenu, 0, kNoBars, noLayout, 0, -1, "child");
    ASSERT_GT(child, 0);
    WDialogLoad(kPictureDialog);
    WDialogShow(200, 200);
    WDialogLoad(kChildDialog, kChildDialog, 0);
    pumpPending();
    HWND picture = YYDialogByIdentifier(kPictureDialog), inside = YYDialogByIdentifier(kChildDialog);
    ASSERT_TRUE(picture && inside);
    CaptionWatch::watch(0, slot(child).Frame.get());
    CaptionWatch::watch(1, picture);
    CaptionWatch::watch(2, inside);

    YYWindowActivate(picture);
    EXPECT_EQ(CaptionWatch::states, (std::array<int, 4>{0, 1, 0, -1}));
    YYWindowActivate(slot(child).Client);  // a window inside the child frame makes that frame active
    EXPECT_EQ(CaptionWatch::states, (std::array<int, 4>{1, 0, 0, -1}));
    YYWindowActivate(nullptr);
    EXPECT_EQ(CaptionWatch::states, (std::array<int, 4>{0, 0, 0, -1}));

    // A click into a dialog that lives inside a window activates that dialog alone.
    SendMessageA(inside, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(slot(0).Frame.get()),
                 MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    pumpPending();
    EXPECT_EQ(CaptionWatch::states, (std::array<int, 4>{0, 0, 1, -1}));
    EXPECT_EQ(YYActiveModelessDialog(), inside);
    CaptionWatch::release();
}

TEST_F(LayoutDialogTest, ANewMainWindowArmsTheNumericFieldsAgain)
{
    NumericEditState& s = numericEditState();
    s.saveOnFocus = 0;
    s.validationSuspended = 1;
    s.pendingField = GetDesktopWindow();  // left over from a window that is gone
    openMain(0);
    EXPECT_EQ(s.saveOnFocus, 1);
    EXPECT_EQ(s.validationSuspended, 0);
    EXPECT_EQ(s.pendingField, nullptr);
}
