// Child windows, split windows and closing trees of windows, with real windows under Wine.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>

#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/foundation/ChildWindows.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowPlacement.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"

using namespace GuiHarness;
using namespace ToolkitSession;

namespace {

constexpr std::array<INTEGER, 4> kNoBars{0, 0, 0, 0};
constexpr INTEGER kLayoutDialog = 301;  // a child-style dialog, fixed in size
constexpr INTEGER kMenu = 30001;

class ChildWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WindowOpen(39, 20, 20, 600, 400, kMenu);
        pumpPending();
    }
    void TearDown() override
    {
        childWindowHooks() = ChildWindowHooks{};
        closeAllWindows();
    }
    static WindowSlot& slot(INTEGER n) { return windowSlotTable().Slots[static_cast<std::size_t>(n)]; }
    static INTEGER child(INTEGER flags, INTEGER parent = 0, INTEGER width = 200, INTEGER height = 120,
                         INTEGER layout = 0, INTEGER x = 10, INTEGER y = 10)
    {
        INTEGER window = 0;
        YYChildWindowCreate(x, y, width, height, window, flags, 0, kNoBars, layout, parent, -1, "child");
        pumpPending();
        return window;
    }
    // Splits the current window; returns the two pane numbers.
    static std::array<INTEGER, 2> split(INTEGER splitFlags, std::array<INTEGER, 2> paneFlags, INTEGER firstSize,
                                        std::array<INTEGER, 2> menus = {0, 0})
    {
        std::array<INTEGER, 2> panes{}, layouts{0, 0};
        YYSplitWindowCreate(panes, splitFlags, paneFlags, firstSize, menus, {kNoBars, kNoBars}, layouts, {-1, -1},
                            "first", "second");
        pumpPending();
        return panes;
    }
    static RECT inParent(HWND window)
    {
        RECT r{};
        GetWindowRect(window, &r);
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    static SplitWindowRecord& record(INTEGER window) { return *YYSplitRecord(slot(window).Frame.get()); }
    static HWND bar(INTEGER window) { return reinterpret_cast<HWND>(record(window).Words[5]); }
    // The bar dragged by the system's move loop: the messages it sends, with the bar moved between.
    static void drag(HWND splitter, int dx, int dy)
    {
        SendMessageA(splitter, WM_ENTERSIZEMOVE, 0, 0);
        RECT screen{};
        GetWindowRect(splitter, &screen);
        // The pointer strays across the split direction too.
        OffsetRect(&screen, dx + (dy != 0 ? 7 : 0), dy + (dx != 0 ? 7 : 0));
        SendMessageA(splitter, WM_MOVING, WMSZ_TOP, reinterpret_cast<LPARAM>(&screen));
        POINT origin{screen.left, screen.top};
        ScreenToClient(GetParent(splitter), &origin);
        SetWindowPos(splitter, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageA(splitter, WM_EXITSIZEMOVE, 0, 0);
        pumpPending();
    }
    static INTEGER closeEvent(HWND frame)
    {
        CurrentEventState& state = currentEventState();
        state.Recorded = RecordedEvent{};
        state.WaitState = 1;
        SendMessageA(frame, WM_CLOSE, 0, 0);
        state.WaitState = 0;
        return state.Recorded.Type;
    }
    Watchdog watchdog_{std::chrono::milliseconds(60000)};
};

}  // namespace

TEST_F(ChildWindowTest, PlacementKindsAndRefusals)
{
    const INTEGER plain = child(kStyleSystemMenu);
    const INTEGER owned = child(kStyleSystemMenu | kStyleOwned);
    const INTEGER inside = child(kStyleSystemMenu | kStyleInsideParent);
    const INTEGER tool = child(kStyleToolWindow);
    ASSERT_EQ(plain, 1);
    ASSERT_EQ(owned, 2);
    ASSERT_EQ(inside, 3);
    HWND mainFrame = slot(0).Frame.get();
    EXPECT_EQ(GetWindow(slot(plain).Frame.get(), GW_OWNER), nullptr);
    EXPECT_EQ(GetWindow(slot(owned).Frame.get(), GW_OWNER), mainFrame);
    EXPECT_EQ(GetParent(slot(inside).Frame.get()), slot(0).Client);
    EXPECT_TRUE(GetWindowLongA(slot(inside).Frame.get(), GWL_STYLE) & WS_CHILD);
    EXPECT_TRUE(GetWindowLongA(slot(tool).Frame.get(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(clientRect(slot(plain).Client).right, 200);
    EXPECT_EQ(clientRect(slot(plain).Client).bottom, 120);
    EXPECT_EQ(slot(plain).SavedRectangle[0], -999);

    struct Case { INTEGER flags, parent, expected; };
    ShowWindow(slot(plain).Frame.get(), SW_HIDE);
    const Case refusals[] = {
        {kStyleInsideParent, 49, -5},    // no window there
        {kStyleInsideParent, plain, -2}, // hidden parent
    };
    for (const Case& c : refusals) EXPECT_EQ(child(c.flags, c.parent), c.expected);
    ShowWindow(slot(plain).Frame.get(), SW_SHOWNA);
    const INTEGER laidOut = child(0, 0, 10, 10, kLayoutDialog);
    ASSERT_GT(laidOut, 0);
    EXPECT_EQ(WindowUserRecord{*YYWindowRecord(slot(laidOut).Frame.get())}.Words[0], kWindowDialogLayout);
    EXPECT_EQ(child(kStyleInsideParent, laidOut), -3);

    // The slots run out at 50 windows.
    for (INTEGER n = YYFreeWindowSlot(); n > 0; n = YYFreeWindowSlot()) ASSERT_EQ(child(kStyleHidden), n);
    EXPECT_EQ(child(0), -1);
    EXPECT_EQ(YYFreeWindowSlot(), -1);
}

TEST_F(ChildWindowTest, InsideWindowsPlaceInWindowUnitsOfTheParent)
{
    WindowSetCurrent(0);
    WindowMoveResize(1001, 501);
    const INTEGER inside = child(kStyleSystemMenu | kStyleInsideParent, 0, 300, 80);
    ASSERT_GT(inside, 0);
    WindowSetCurrent(inside);
    EXPECT_EQ(YYParentWindowNumber(inside), 0);
    EXPECT_EQ(clientRect(slot(inside).Client).right, 300);
    EXPECT_EQ(clientRect(slot(inside).Client).bottom, 80);
    WindowMoveResize(-999999, -999999, 5000, 2000);
    EXPECT_EQ(inParent(slot(inside).Frame.get()).left, 500);
    EXPECT_EQ(inParent(slot(inside).Frame.get()).top, 100);
    EXPECT_NEAR(WInfoWindowQuery(5), 5000, 1);
    WindowMoveResize(-999999, -999999, -999999, 4000);  // x unchanged
    EXPECT_EQ(inParent(slot(inside).Frame.get()).left, 500);
    EXPECT_EQ(inParent(slot(inside).Frame.get()).top, 200);
    // Centred inside the parent's client.
    const INTEGER centred = child(kStyleInsideParent, 0, 301, 51, 0, -999999, -999999);
    const RECT r = inParent(slot(centred).Frame.get());
    EXPECT_NEAR((r.left + r.right) / 2, 500, 1);
}

TEST_F(ChildWindowTest, StackedSplitDragAndProportionalResize)
{
    WindowSetCurrent(0);
    const auto panes = split(kSplitStacked | kSplitProportional, {0, 0}, -1);
    ASSERT_GT(panes[0], 0);
    ASSERT_GT(panes[1], 0);
    SplitWindowRecord& r = record(0);
    EXPECT_EQ(r.Words[0], kWindowSplit);
    EXPECT_EQ(r.Words[7], panes[0]);
    EXPECT_EQ(r.Words[8], panes[1]);
    EXPECT_EQ(r.Words[14], kNoAnchor);
    HWND splitter = bar(0);
    char name[16] = {};
    GetClassNameA(splitter, name, sizeof name);
    EXPECT_STREQ(name, "DOVESPLITH");
    const LONG first = clientRect(slot(panes[0]).Client).bottom, second = clientRect(slot(panes[1]).Client).bottom;
    EXPECT_NEAR(first, second, 1);  // equal halves
    EXPECT_TRUE(IsWindowVisible(slot(panes[0]).Frame.get()));
    EXPECT_EQ(inParent(slot(panes[0]).Frame.get()).bottom, inParent(splitter).top);
    EXPECT_EQ(inParent(splitter).bottom, inParent(slot(panes[1]).Frame.get()).top);
    EXPECT_EQ(SendMessageA(splitter, WM_NCHITTEST, 0, 0), HTCAPTION);

    // Dragging 60 pixels down: the bar stays in its column, the panes follow, extents stored.
    const LONG barLeft = inParent(splitter).left, barTop = inParent(splitter).top;
    drag(splitter, 0, 60);
    EXPECT_EQ(inParent(splitter).left, barLeft);
    EXPECT_EQ(inParent(splitter).top, barTop + 60);
    EXPECT_EQ(inParent(slot(panes[0]).Frame.get()).bottom, inParent(splitter).top);
    EXPECT_EQ(inParent(slot(panes[1]).Frame.get()).top, inParent(splitter).bottom);
    EXPECT_EQ(r.Words[12], first + 60);
    EXPECT_EQ(r.Words[13], second - 60);
    EXPECT_EQ(r.Words[14], kNoAnchor);

    // Proportional: a taller window keeps the panes' proportion.
    const double ratio = static_cast<double>(r.Words[12]) / static_cast<double>(r.Words[13]);
    WindowSetCurrent(0);
    WindowMoveResize(600, 700);
    pumpPending();
    const double after = static_cast<double>(clientRect(slot(panes[0]).Client).bottom) /
                         static_cast<double>(clientRect(slot(panes[1]).Client).bottom);
    EXPECT_NEAR(after, ratio, 0.02);
    EXPECT_EQ(inParent(slot(panes[1]).Frame.get()).bottom, clientRect(slot(0).Client).bottom);

    // Placing the first pane moves the bar so that the pane gets that height.
    WindowSetCurrent(panes[0]);
    INTEGER w = -999999, h = 150;
    YYWindowChangePlacement(-999999, -999999, w, h, -1);
    EXPECT_EQ(clientRect(slot(panes[0]).Client).bottom, 150);
    EXPECT_EQ(inParent(slot(panes[1]).Frame.get()).top, inParent(splitter).bottom);
}

TEST_F(ChildWindowTest, SideBySideSecondPaneKeepsItsWidth)
{
    WindowSetCurrent(0);
    const auto panes = split(kSplitSecondKeepsSize, {0, 0}, 150);
    ASSERT_GT(panes[1], 0);
    HWND splitter = bar(0);
    char name[16] = {};
    GetClassNameA(splitter, name, sizeof name);
    EXPECT_STREQ(name, "DOVESPLITV");
    const LONG second = clientRect(slot(panes[1]).Client).right;
    EXPECT_EQ(second, 150);  // the size goes to the second pane with flag 4
    EXPECT_EQ(inParent(slot(panes[1]).Frame.get()).right, clientRect(slot(0).Client).right);
    WindowSetCurrent(0);
    WindowMoveResize(800, 400);
    pumpPending();
    EXPECT_EQ(clientRect(slot(panes[1]).Client).right, second);
    EXPECT_EQ(inParent(slot(panes[0]).Frame.get()).right, inParent(splitter).left);
    EXPECT_EQ(inParent(slot(panes[1]).Frame.get()).right, 800);
}

TEST_F(ChildWindowTest, LockRules)
{
    struct Case { INTEGER splitFlags, first, second; bool widths, heights, movable; };
    const Case cases[] = {
        {0, 0, 0, false, false, true},
        {0, kPaneFixed, kPaneFixed, true, false, false},
        {0, kPaneFixed, 0, false, false, false},
        {kSplitProportional, kPaneFixed, kPaneFixed, false, false, false},
        {kSplitStacked, kPaneFixed, 0, false, false, false},
        {kSplitStacked, kPaneFixed, kPaneFixed, false, true, false},
        {kSplitStacked | kSplitProportional, kPaneFixed, kPaneFixed, false, false, false},
    };
    for (const Case& c : cases) {
        SplitWindowRecord r;
        r.Words[0] = kWindowSplit;
        r.Words[9] = c.splitFlags;
        r.Words[10] = c.first;
        r.Words[11] = c.second;
        EXPECT_EQ(YYSplitWindowLocked(r, 0), c.widths) << c.splitFlags << " " << c.first << " " << c.second;
        EXPECT_EQ(YYSplitWindowLocked(r, 1), c.heights) << c.splitFlags << " " << c.first << " " << c.second;
        EXPECT_EQ(YYSplitterMovable(r), c.movable);
    }

    // A stacked split inside the second pane of a side-by-side split, both its panes fixed in
    // height: the inner split is locked in height, so the outer one is too.
    WindowSetCurrent(0);
    const auto outer = split(0, {0, 0}, 200);
    WindowSetCurrent(outer[1]);
    const auto inner = split(kSplitStacked, {kPaneFixed, kPaneFixed}, 80);
    ASSERT_GT(inner[0], 0);
    EXPECT_TRUE(YYSplitPaneLocked(record(0), 1, 1));
    EXPECT_TRUE(YYSplitWindowLocked(record(0), 1));
    EXPECT_FALSE(YYSplitWindowLocked(record(0), 0));
    EXPECT_FALSE(YYSplitPaneLocked(record(0), 0, 1));
}

TEST_F(ChildWindowTest, FixedPanesPinTheBarAndTheSideBorders)
{
    WindowSetCurrent(0);
    const auto panes = split(0, {kPaneFixed, kPaneFixed}, 200);
    ASSERT_GT(panes[0], 0);
    HWND splitter = bar(0);
    EXPECT_EQ(SendMessageA(splitter, WM_NCHITTEST, 0, 0), HTBORDER);
    HWND frame = slot(0).Frame.get();
    RECT outer{};
    GetWindowRect(frame, &outer);
    const LONG middle = (outer.top + outer.bottom) / 2;
    struct Probe { LONG x, y; LRESULT expected; };
    const Probe probes[] = {
        {outer.left + 1, middle, HTBORDER},
        {outer.right - 2, middle, HTBORDER},
        {outer.left + 1, outer.top + 1, HTTOP},
        {outer.right - 2, outer.bottom - 2, HTBOTTOM},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(SendMessageA(frame, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), p.expected) << p.x << "," << p.y;
    // The pane's caption cannot drag the pane.
    RECT pane{};
    GetWindowRect(slot(panes[0]).Frame.get(), &pane);
    EXPECT_EQ(SendMessageA(slot(panes[0]).Frame.get(), WM_NCHITTEST, 0, MAKELPARAM(pane.left + 30, pane.top + 5)),
              HTBORDER);
    // The split frame keeps its width.
    MINMAXINFO limits{};
    SendMessageA(frame, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, outer.right - outer.left);
    EXPECT_EQ(limits.ptMaxTrackSize.x, outer.right - outer.left);
}

TEST_F(ChildWindowTest, ClosingAPaneUndoesTheSplitAndRestoresTheMenu)
{
    HMENU own = slot(0).Menu;
    ASSERT_NE(own, nullptr);
    WindowSetCurrent(0);
    const auto panes = split(kSplitStacked, {0, 0}, -1, {kMenu, 0});
    ASSERT_GT(panes[0], 0);
    EXPECT_EQ(GetMenu(slot(0).Frame.get()), slot(panes[0]).Menu);
    HWND splitter = bar(0);
    INTEGER window = panes[1], dialog = 0;
    YYWindowClose(window, dialog);
    pumpPending();
    EXPECT_EQ(window, panes[1]);
    EXPECT_FALSE(slot(panes[0]).Frame);
    EXPECT_FALSE(slot(panes[1]).Frame);
    EXPECT_FALSE(IsWindow(splitter));
    EXPECT_EQ(YYSplitRecord(slot(0).Frame.get()), nullptr);
    EXPECT_EQ(slot(0).SplitRecord, nullptr);
    EXPECT_EQ(GetMenu(slot(0).Frame.get()), own);
    // A split window may be split again afterwards.
    WindowSetCurrent(0);
    EXPECT_GT(split(0, {0, 0}, 100)[0], 0);

    INTEGER invalid = 51;
    YYWindowClose(invalid, dialog);
    EXPECT_EQ(invalid, -1);
    invalid = 40;
    YYWindowClose(invalid, dialog);
    EXPECT_EQ(invalid, -1);
}

TEST_F(ChildWindowTest, ClosingATreeFreesEverySlotAndItsContent)
{
    const INTEGER owner = child(kStyleSystemMenu);
    const INTEGER owned = child(kStyleOwned, owner);
    const INTEGER ownedOfOwned = child(kStyleOwned, owned);
    const INTEGER inside = child(kStyleInsideParent, owner, 80, 60);
    const INTEGER unrelated = child(0);
    const INTEGER laidOut = child(kStyleInsideParent, owner, 10, 10, kLayoutDialog);
    ASSERT_GT(laidOut, 0);
    HWND layout = reinterpret_cast<HWND>(YYWindowRecord(slot(laidOut).Frame.get())->Words[5]);
    ASSERT_TRUE(IsWindow(layout));
    WindowSetCurrent(owner);
    const auto panes = split(0, {0, 0}, -1);
    EXPECT_EQ(panes[0], -6);  // a window lives inside it
    slot(unrelated).ReturnWindow = owner;
    slot(owner).ReturnWindow = 0;

    HWND frames[] = {slot(owner).Frame.get(), slot(owned).Frame.get(), slot(ownedOfOwned).Frame.get(),
                     slot(inside).Frame.get()};
    INTEGER window = owner, dialog = kLayoutDialog;
    YYWindowClose(window, dialog);
    pumpPending();
    for (INTEGER n : {owner, owned, ownedOfOwned, inside, laidOut}) {
        EXPECT_FALSE(slot(n).Frame) << n;
        EXPECT_EQ(slot(n).Client, nullptr) << n;
        EXPECT_EQ(slot(n).OwnedRecord, nullptr) << n;
    }
    for (HWND f : frames) EXPECT_FALSE(IsWindow(f));
    EXPECT_FALSE(IsWindow(layout));
    EXPECT_EQ(dialog, 0);
    EXPECT_TRUE(slot(unrelated).Frame);
    EXPECT_EQ(slot(unrelated).ReturnWindow, 0);
    EXPECT_EQ(YYFreeWindowSlot(), owner);

    // Closing the current window makes the main window current.
    WindowSetCurrent(unrelated);
    window = unrelated;
    YYWindowClose(window, dialog);
    EXPECT_EQ(WInfoWindowQuery(4), 0);
    ASSERT_TRUE(windowEngineState().CurrentDc);
    EXPECT_EQ(WindowFromDC(windowEngineState().CurrentDc->get()), slot(0).Client);
}

TEST_F(ChildWindowTest, StatusBarReportGoesToTheMainWindowAndKeepsTheCurrentWindow)
{
    const INTEGER other = child(kStyleStatusBar);
    ASSERT_GT(other, 0);
    WindowSetCurrent(other);
    WErrorReportMode(3);
    YYErrorReport(1003, "YYWINSEL");
    WErrorReportMode(0);
    EXPECT_EQ(WInfoWindowQuery(4), other);
    EXPECT_EQ(statusBarText(slot(0).StatusBar, 0).rfind("Internal routine:YYWINSEL Error=1003:", 0), 0u);
    EXPECT_EQ(statusBarText(slot(other).StatusBar, 0), "");
}

TEST_F(ChildWindowTest, CloseQueryAsksEveryPaneAndARefusalKeepsAllOpen)
{
    WindowSetCurrent(0);
    const auto panes = split(kSplitStacked, {0, 0}, -1);
    ASSERT_GT(panes[1], 0);
    HWND frame = slot(0).Frame.get();
    EXPECT_EQ(closeEvent(frame), kEventClose);  // nothing to ask

    // The second pane holds an editor that refuses (its user answered Cancel).
    WindowUserRecord editor;
    editor.Words[0] = kWindowTextEditor;
    SetWindowLongPtrA(slot(panes[1]).Frame.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&editor));
    static int asked = 0;
    asked = 0;
    childWindowHooks().editorQuerySave = [](HWND, INTEGER kind) -> INTEGER {
        ++asked;
        return kind == kWindowTextEditor ? 0 : 1;
    };
    EXPECT_EQ(YYWindowCloseQuery(frame), 0);
    EXPECT_EQ(closeEvent(frame), 0);
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(slot(panes[0]).Frame);
    EXPECT_TRUE(slot(panes[1]).Frame);
    EXPECT_EQ(YYWindowCloseQuery(slot(panes[0]).Frame.get()), 1);  // a plain window is never asked
    SetWindowLongPtrA(slot(panes[1]).Frame.get(), GWLP_USERDATA, 0);

    // Releasing the split window's content undoes the split.
    INTEGER dialog = 0, status = -1;
    WindowSetCurrent(0);
    YYWindowContentRelease(dialog, 0, status);
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(slot(panes[0]).Frame);
    YYWindowContentRelease(dialog, 0, status);
    EXPECT_EQ(status, 2);
}

namespace {
void mouse(DWORD flags, POINT at = {0, 0})
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        input.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    SendInput(1, &input, sizeof input);
}

// What a thread timer of the test thread does on each tick.
std::function<void()>& timerAction()
{
    static std::function<void()> action;
    return action;
}
void CALLBACK runTimerAction(HWND, UINT, UINT_PTR, DWORD) { timerAction()(); }
}  // namespace

TEST_F(ChildWindowTest, BarDraggedWithTheMouse)
{
    WindowSetCurrent(0);
    const auto panes = split(kSplitStacked, {0, 0}, 120);
    ASSERT_GT(panes[1], 0);
    HWND splitter = bar(0);
    SetForegroundWindow(slot(0).Frame.get());
    pumpPending();
    RECT b{};
    GetWindowRect(splitter, &b);
    const LONG top = inParent(splitter).top, left = inParent(splitter).left;
    const POINT grip{(b.left + b.right) / 2, (b.top + b.bottom) / 2};
    mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, grip);
    pumpPending();
    // The system's move loop runs inside the press; the rest of the gesture comes from a timer of
    // this thread, which the loop serves, once the loop has begun. (From a thread of its own, the
    // input would open that thread's own display connection, which Wine could still use for the
    // loop's end after the thread had gone.)
    HandledMessages moveLoop(splitter, {WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE});
    bool released = false;
    timerAction() = [&] {
        if (released || moveLoop.count(WM_ENTERSIZEMOVE) == 0) return;
        mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, POINT{grip.x + 5, grip.y + 20});
        mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, POINT{grip.x + 5, grip.y + 40});
        mouse(MOUSEEVENTF_LEFTUP);
        released = true;
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &runTimerAction);
    mouse(MOUSEEVENTF_LEFTDOWN);
    const bool ended = waitUntil([&] { return released && moveLoop.count(WM_EXITSIZEMOVE) > 0; }, 10000ms);
    KillTimer(nullptr, timer);
    timerAction() = nullptr;
    ASSERT_TRUE(released) << "the move loop began";
    ASSERT_TRUE(ended);
    ASSERT_TRUE(pumpThroughSentinel());
    EXPECT_EQ(record(0).Words[14], kNoAnchor);  // the bar forgot where the drag began
    EXPECT_EQ(inParent(splitter).top, top + 40);
    EXPECT_EQ(inParent(splitter).left, left);
    EXPECT_EQ(inParent(slot(panes[0]).Frame.get()).bottom, inParent(splitter).top);
    EXPECT_EQ(inParent(slot(panes[1]).Frame.get()).top, inParent(splitter).bottom);
    EXPECT_EQ(record(0).Words[12], clientRect(slot(panes[0]).Client).bottom);
}

TEST_F(ChildWindowTest, LayoutDialogsSizeAndFixTheirPanesAndAreReleased)
{
    WindowSetCurrent(0);
    std::array<INTEGER, 2> panes{}, layouts{kLayoutDialog, 0};
    YYSplitWindowCreate(panes, kSplitStacked | kSplitProportional | kSplitSecondKeepsSize, {0, 0}, 50,
                        {0, 0}, {kNoBars, kNoBars}, layouts, {-1, -1}, "laid out", "free");
    pumpPending();
    ASSERT_GT(panes[0], 0);
    EXPECT_EQ(layouts[0], kLayoutDialog);
    const SplitWindowRecord& r = record(0);
    EXPECT_TRUE(r.Words[10] & kPaneFixed);  // a fixed-size layout fixes its pane
    EXPECT_EQ(r.Words[9], kSplitStacked);   // and drops the proportional and keep-size flags
    const WindowUserRecord* layout = YYWindowRecord(slot(panes[0]).Frame.get());
    ASSERT_NE(layout, nullptr);
    RECT dialog{};
    GetWindowRect(reinterpret_cast<HWND>(layout->Words[5]), &dialog);
    EXPECT_EQ(clientRect(slot(panes[0]).Client).bottom, dialog.bottom - dialog.top);
    EXPECT_EQ(SendMessageA(bar(0), WM_NCHITTEST, 0, 0), HTBORDER);

    // Releasing a laid-out window's content unloads the dialog and gives the frame its sizing border.
    INTEGER firstPane = panes[0], noDialog = 0;
    YYWindowClose(firstPane, noDialog);  // a loaded layout dialog cannot lay out a second window
    const INTEGER laidOut = child(kStyleSystemMenu, 0, 10, 10, kLayoutDialog);
    ASSERT_GT(laidOut, 0);
    HWND frame = slot(laidOut).Frame.get();
    HWND dialogWindow = reinterpret_cast<HWND>(YYWindowRecord(frame)->Words[5]);
    EXPECT_FALSE(GetWindowLongA(frame, GWL_STYLE) & WS_THICKFRAME);
    WindowSetCurrent(laidOut);
    INTEGER current = kLayoutDialog, status = -1;
    YYWindowContentRelease(current, kStyleMaximiseBox, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(current, 0);
    EXPECT_EQ(YYWindowRecord(frame), nullptr);
    EXPECT_FALSE(IsWindow(dialogWindow));
    EXPECT_TRUE(GetWindowLongA(frame, GWL_STYLE) & WS_THICKFRAME);
    EXPECT_TRUE(GetWindowLongA(frame, GWL_STYLE) & WS_MAXIMIZEBOX);
}

TEST_F(ChildWindowTest, CommandsAndMenusFollowTheActivePane)
{
    HMENU own = slot(0).Menu;
    WindowSetCurrent(0);
    const auto panes = split(0, {0, 0}, -1, {kMenu, 0});
    ASSERT_GT(panes[1], 0);
    HWND frame = slot(0).Frame.get();
    EXPECT_EQ(reinterpret_cast<HWND>(record(0).Words[17]), slot(panes[0]).Frame.get());
    EXPECT_EQ(GetMenu(frame), slot(panes[0]).Menu);

    // The second pane takes the focus: it becomes the last active pane, and as it has no menu of
    // its own the split window's menu is shown.
    SetFocus(slot(panes[1]).Client);
    pumpPending();
    EXPECT_EQ(reinterpret_cast<HWND>(record(0).Words[17]), slot(panes[1]).Frame.get());
    EXPECT_EQ(GetMenu(frame), own);

    // A menu command on the split frame goes to the last active pane, or to the command pane.
    auto commandWindow = [&] {
        CurrentEventState& state = currentEventState();
        state.Recorded = RecordedEvent{};
        state.WaitState = 1;
        SendMessageA(frame, WM_COMMAND, MAKEWPARAM(40002, 0), 0);
        state.WaitState = 0;
        return state.Recorded.Type == kEventCommand ? state.Recorded.Window : -99;
    };
    EXPECT_EQ(commandWindow(), panes[1]);
    record(0).Words[18] = reinterpret_cast<std::intptr_t>(slot(panes[0]).Frame.get());
    EXPECT_EQ(commandWindow(), panes[0]);
}
