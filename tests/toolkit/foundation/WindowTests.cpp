// The main window under Wine: opening, window units, status bar, placement, title, cursor,
// events from the window procedures and the tear-down of every window.
#include <gtest/gtest.h>

#include "toolkit/foundation/CommonControls.h"

#include <array>
#include <cstdlib>

#include "tests/support/GuiHarness.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/Menus.h"
#include "toolkit/foundation/StatusBar.h"
#include "toolkit/foundation/WindowPlacement.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/foundation/WindowText.h"
#include "toolkit/graphics/GraphicsState.h"

using namespace GuiHarness;

namespace {

// Opens the main window as the application does and tears every window down afterwards.
class MainWindowTest : public ::testing::Test {
protected:
    void open(INTEGER flags, INTEGER width, INTEGER height, INTEGER menu = 0, INTEGER x = 20, INTEGER y = 20)
    {
        WindowDescriptionRecord record;
        record.Flags = flags;
        record.X = x;
        record.Y = y;
        record.Width = width;
        record.Height = height;
        record.MenuId = menu;
        record.Title.assign("Brevalon Research Quorvalent");
        WindowOpenDescribed(record, 256);
        pumpPending();
    }
    void TearDown() override
    {
        YYWindowsDestroyAll();
        windowEngineState().MainWindowOpen = 0;  // what start-up does before the next open
        pumpPending();
    }
    static WindowSlot& main() { return windowSlotTable().Slots[0]; }
    Watchdog watchdog_{std::chrono::milliseconds(60000)};
};

}  // namespace

TEST_F(MainWindowTest, OpensWhereAskedWithItsStyleTitleMenuAndStatusBar)
{
    INTEGER sw, sh, colours, slots, constant;
    YYDisplayFacts(sw, sh, colours, slots, constant);
    EXPECT_EQ(constant, 3);
    // The application's start-up geometry: a quarter in, half the screen in size.
    const INTEGER x = static_cast<INTEGER>(sw * 0.25 + 0.5), y = static_cast<INTEGER>(sh * 0.25 + 0.5);
    const INTEGER w = static_cast<INTEGER>(sw * 0.5 + 0.5), h = static_cast<INTEGER>(sh * 0.5 + 0.5);
    open(39, w, h, 30001, x, y);
    HWND frame = main().Frame.get();
    ASSERT_TRUE(IsWindow(frame));
    RECT outer{};
    GetWindowRect(frame, &outer);
    EXPECT_EQ(outer.left, x);
    EXPECT_EQ(outer.top, y);
    const RECT client = clientRect(main().Client);
    EXPECT_EQ(client.right, w);  // the size asked is the drawing client's
    EXPECT_EQ(client.bottom, h);

    const LONG style = GetWindowLongA(frame, GWL_STYLE);
    for (LONG bit : {WS_SYSMENU, WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_THICKFRAME, WS_CAPTION, WS_CLIPCHILDREN})
        EXPECT_EQ(style & bit, bit) << std::hex << bit;
    EXPECT_EQ(windowText(frame), "Brevalon Research Quorvalent");
    EXPECT_NE(GetMenu(frame), nullptr);
    HWND bar = GetDlgItem(frame, 999);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar, main().StatusBar);
    EXPECT_EQ(statusBarEdges(bar).size(), 1u);  // one part over the whole bar until a layout

    struct Query { INTEGER code, value; };
    const Query queries[] = {{1, w}, {2, h}, {3, 39}, {4, 0}};
    for (const Query& q : queries) EXPECT_EQ(WInfoWindowQuery(q.code), q.value) << q.code;
}

TEST_F(MainWindowTest, PlacingAgainGivesTheAskedClientSizeBackUnderAToolbar)
{
    open(39, 360, 240, 30001);
    WMenuToolbar(30104, 0, 1);
    EXPECT_LT(clientRect(main().Client).bottom, 240);  // the toolbar takes its height from the client
    WindowMoveResize(360, 240);
    EXPECT_EQ(clientRect(main().Client).right, 360);
    EXPECT_EQ(clientRect(main().Client).bottom, 240);
}

TEST_F(MainWindowTest, ASecondOpenChangesNothing)
{
    open(39, 360, 240, 30001);
    HWND frame = main().Frame.get();
    open(7, 100, 100);
    EXPECT_EQ(main().Frame.get(), frame);
    EXPECT_EQ(WInfoWindowQuery(3), 39);
    EXPECT_EQ(clientRect(main().Client).right, 360);
}

TEST_F(MainWindowTest, SelectingAWindowThatIsNotOpenIsRefused)
{
    open(39, 360, 240, 30001);
    struct Case { const char* name; void (*select)(); };
    const Case cases[] = {
        {"a number beyond the table", [] { YYWINSEL(51, 0); }},
        {"a free slot", [] { WindowSetCurrent(5); }},
    };
    for (const Case& c : cases) {
        libraryErrorState().LastErrorNumber = 0;
        c.select();
        EXPECT_EQ(libraryErrorState().LastErrorNumber, 1003) << c.name;
        EXPECT_EQ(WInfoWindowQuery(4), 0) << c.name;  // the main window stays current
    }
}

TEST_F(MainWindowTest, ToolbarsAskedAtOpeningKeepTheClientSize)
{
    WindowOpen(39, kUnchanged, kUnchanged, 360, 240, 30001, std::array<INTEGER, 4>{30104, 0, 0, 30104});
    pumpPending();
    EXPECT_NE(main().Toolbars[0], nullptr);
    EXPECT_NE(main().Toolbars[3], nullptr);
    EXPECT_EQ(clientRect(main().Client).right, 360);
    EXPECT_EQ(clientRect(main().Client).bottom, 240);
    RECT toolbar{}, client{};
    GetWindowRect(main().Toolbars[0], &toolbar);
    GetWindowRect(main().Client, &client);
    EXPECT_EQ(toolbar.bottom, client.top);  // the top bar sits right above the drawing client
}

TEST_F(MainWindowTest, LayoutDialogs)
{
    struct Case { INTEGER dialog, status, error; };
    const Case refused[] = {{300, -2, 1045}, {999, -1, 1007}};
    for (const Case& c : refused) {
        INTEGER layout = c.dialog;
        libraryErrorState().LastErrorNumber = 0;
        WindowOpen(39, kUnchanged, kUnchanged, 330, 220, 0, std::nullopt, &layout);
        EXPECT_EQ(layout, c.status);
        EXPECT_EQ(libraryErrorState().LastErrorNumber, c.error);
        EXPECT_EQ(clientRect(main().Client).right, 330);  // the window opens without the layout
        EXPECT_EQ(WInfoWindowQuery(10), 0);
        TearDown();
    }

    INTEGER layout = 301;
    WindowOpen(39, kUnchanged, kUnchanged, 330, 220, 0, std::nullopt, &layout);
    pumpPending();
    EXPECT_EQ(layout, 301);
    EXPECT_EQ(WInfoWindowQuery(10), 3);
    const WindowUserRecord* record = YYWindowRecord(main().Frame.get());
    ASSERT_NE(record, nullptr);
    HWND dialog = reinterpret_cast<HWND>(record->Words[5]);
    RECT dialogRect{}, client = clientRect(main().Client);
    GetWindowRect(dialog, &dialogRect);
    EXPECT_EQ(client.right, dialogRect.right - dialogRect.left);  // the client takes the dialog's size
    EXPECT_EQ(client.bottom, dialogRect.bottom - dialogRect.top);
    EXPECT_FALSE(GetWindowLongA(main().Frame.get(), GWL_STYLE) & WS_THICKFRAME);  // a fixed layout is not sized
    WindowMoveResize(600, 500);
    EXPECT_EQ(clientRect(main().Client).right, client.right);

    // The laid-out window raises no expose of its own.
    currentEventState().Recorded = RecordedEvent{};
    InvalidateRect(main().Client, nullptr, TRUE);
    UpdateWindow(main().Client);
    EXPECT_NE(currentEventState().Recorded.Type, 7);
    TearDown();
    EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(MainWindowTest, DescribedDefaultsCentreAndTakeFourFifths)
{
    open(39, 0, 0, 0, -5, -5);
    const INTEGER sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    const RECT client = clientRect(main().Client);
    EXPECT_EQ(client.right, sw * 80 / 100);
    EXPECT_EQ(client.bottom, sh * 80 / 100);
    RECT outer{};
    GetWindowRect(main().Frame.get(), &outer);
    // Centred with the status bar: frame and bars together stay in the middle.
    EXPECT_LE(std::abs((outer.left + outer.right) / 2 - sw / 2), 1);
    EXPECT_LE(std::abs((outer.top + outer.bottom) / 2 - sh / 2), 1);
}

TEST_F(MainWindowTest, WindowUnitsFollowTheCurrentClient)
{
    open(39, 400, 100);
    const RECT client = clientRect(main().Client);
    ASSERT_EQ(client.bottom, 100);
    INTEGER ux = 0, uy = 0, px = 0, py = 0;
    YYPixelToWindowUnits(0, 99, ux, uy);
    EXPECT_EQ(ux, pixelToWindowUnits(0, client.right));
    EXPECT_EQ(uy, 9949);
    YYWindowUnitsToPixel(9999, 9999, px, py);
    EXPECT_EQ(px, client.right - 1);
    EXPECT_EQ(py, 99);
}

TEST_F(MainWindowTest, StatusBarPartsTextsAndResize)
{
    open(39, 1001, 300);
    HWND bar = main().StatusBar;
    const std::array<INTEGER, 5> application{2800, 2800, 4500, 500, 500};
    WStatusBarLayout(5, application);
    EXPECT_EQ(statusBarEdges(bar), (std::vector<int>{280, 560, 1010, 1060, 1110}));

    const std::array<INTEGER, 3> stretching{2000, -1, 1000};
    WStatusBarLayout(3, stretching);
    const RECT frameClient = clientRect(main().Frame.get());
    EXPECT_EQ(statusBarEdges(bar), (std::vector<int>{200, static_cast<int>(frameClient.right) - 100,
                                                      static_cast<int>(frameClient.right)}));

    const std::array<INTEGER, 2> twoStretching{-1, -1};
    WStatusBarLayout(2, twoStretching);  // refused: nothing changes
    EXPECT_EQ(statusBarEdges(bar).size(), 3u);

    WStatusBarText(2, "x = 12.5   ");
    EXPECT_EQ(statusBarText(bar, 1), "x = 12.5");
    WStatusBarText(2, "    ");
    EXPECT_EQ(statusBarText(bar, 1), "");
    WStatusBarText(256, "ignored");
    WStatusBarText(0, "ignored");
    EXPECT_EQ(statusBarText(bar, 0), "");

    const std::array<INTEGER, 4> widths{1000, 1000, 1000, 1000}, styles{0, 1, 2, 5};
    WStatusBarLayout(4, widths, std::span<const INTEGER>(styles));
    const int expectedFlags[] = {SBT_NOBORDERS, 0, SBT_POPOUT, 0};  // 5 draws sunken
    for (int part = 0; part < 4; ++part)
        EXPECT_EQ(HIWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0)), expectedFlags[part]) << part;
    WStatusBarLayout(3, stretching);

    WindowMoveResize(801);  // the stretching part follows the new width, the others keep theirs
    const RECT resized = clientRect(main().Frame.get());
    EXPECT_EQ(clientRect(main().Client).right, 801);
    EXPECT_EQ(statusBarEdges(bar), (std::vector<int>{200, static_cast<int>(resized.right) - 100,
                                                      static_cast<int>(resized.right)}));
}

TEST_F(MainWindowTest, MaximiseRestoreAndRestoredSize)
{
    open(39, 400, 300);
    const INTEGER left = WInfoWindowQuery(5), top = WInfoWindowQuery(6);
    EXPECT_EQ(WInfoWindowQuery(9), 1);
    WindowMoveResize(kUnchanged, kUnchanged, kUnchanged, kUnchanged, 2);
    EXPECT_EQ(WInfoWindowQuery(9), 2);
    EXPECT_EQ(WInfoWindowQuery(5), left);  // the restored position while maximised
    EXPECT_EQ(WInfoWindowQuery(6), top);
    EXPECT_EQ(WInfoWindowQuery(11), 400);
    WindowMoveResize(500, 250);  // changes the restored size, not the present one
    EXPECT_EQ(WInfoWindowQuery(9), 2);
    EXPECT_EQ(WInfoWindowQuery(11), 500);
    WindowMoveResize(kUnchanged, kUnchanged, kUnchanged, kUnchanged, 1);
    EXPECT_EQ(WInfoWindowQuery(9), 1);
    EXPECT_EQ(clientRect(main().Client).right, 500);
    EXPECT_EQ(clientRect(main().Client).bottom, 250);
    EXPECT_EQ(WInfoWindowQuery(1), 500);
    WindowMoveResize(kUnchanged, kUnchanged, kUnchanged, kUnchanged, 3);
    EXPECT_EQ(WInfoWindowQuery(9), 3);
    EXPECT_EQ(WInfoWindowQuery(10), 0);
}

TEST_F(MainWindowTest, TitleAndCursors)
{
    open(39, 300, 200);
    WindowTitle("Model one   ");
    EXPECT_EQ(windowText(main().Frame.get()), "Model one");
    WindowTitle(std::nullopt, 4711);  // no such icon: reported, title kept
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1015);
    EXPECT_EQ(windowText(main().Frame.get()), "Model one");

    WCursorShape(1);
    EXPECT_EQ(cursorState().GlobalShape, 1);
    EXPECT_EQ(main().Cursor, nullptr);
    WCursorShape(0, 1);
    EXPECT_EQ(main().Cursor, LoadCursor(nullptr, IDC_ARROW));
    EXPECT_EQ(cursorState().GlobalShape, 1);  // the others keep the wait cursor
    INTEGER shape = -1;
    YYCursorShapeInForce(shape, 1, 0);
    EXPECT_EQ(shape, 0);
    WCursorShape(1);
    EXPECT_EQ(main().Cursor, nullptr);

    graphicsState().DrawableKind = kDrawablePicture;  // a picture shows no cursor
    WCursorShape(3, 1);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1097);
    EXPECT_EQ(main().Cursor, nullptr);
    EXPECT_EQ(cursorState().GlobalShape, 1);
    graphicsState().DrawableKind = kDrawableWindow;
}

TEST_F(MainWindowTest, TearDownLeavesNoWindowAndResetsEvents)
{
    open(39, 300, 200);
    HWND frame = main().Frame.get();
    WEventEnable(6, 1);
    INTEGER flag = 0;
    YYEventEnableGet(6, flag);
    EXPECT_EQ(flag, 1);
    YYWindowsDestroyAll();
    EXPECT_FALSE(IsWindow(frame));
    for (const WindowSlot& slot : windowSlotTable().Slots) EXPECT_FALSE(slot.Frame);
    YYEventEnableGet(6, flag);
    EXPECT_EQ(flag, 0);
    YYEventEnableGet(1, flag);
    EXPECT_EQ(flag, 1);
}

TEST_F(MainWindowTest, NamedColoursTextModeAndFills)
{
    open(39, 300, 200);
    const auto& named = windowEngineState().NamedColours;
    EXPECT_EQ(named[1], 0x0000BF);  // dark red, red in the low byte
    EXPECT_EQ(named[13], 0xFF0000);
    EXPECT_EQ(named[16], static_cast<INTEGER>(GetSysColor(COLOR_WINDOWTEXT)));
    EXPECT_EQ(named[17], static_cast<INTEGER>(GetSysColor(COLOR_WINDOW)));

    YYWinTextColours(3, 16);
    EXPECT_EQ(windowTextState().Background, 17);  // the system window colour
    YYWinTextColours(20, 20);
    EXPECT_EQ(windowTextState().Foreground, 3);
    EXPECT_EQ(windowTextState().Background, 17);

    TextStyleRecord style;
    style.FontKind = 3;
    style.CharWidth = 300;
    style.CharHeight = 600;
    WindowSetTextStyle(style);
    YYWinTextFont();
    const INTEGER builds = windowTextState().FontBuilds;
    WindowSetTextStyle(style);
    YYWinTextFont();
    EXPECT_EQ(windowTextState().FontBuilds, builds);  // the same style does not rebuild the font
    style.FontKind = 9;
    WindowSetTextStyle(style);  // outside 0 to 6: ignored
    EXPECT_EQ(windowTextState().FontKind, 3);

    YYWinTextColours(0, 9);  // red background
    HWND client = main().Client;
    ASSERT_TRUE(waitUntil([&] { return !GetUpdateRect(client, nullptr, FALSE); }));  // let pending paints finish first
    YYRasterRectangle(10, 10, 20, 20, -1);
    EXPECT_TRUE(waitUntil([&] { return clientPixel(client, 10, 10) == RGB(255, 0, 0); }));
    EXPECT_EQ(clientPixel(client, 20, 20), RGB(255, 0, 0));  // both edges included
    EXPECT_NE(clientPixel(client, 21, 21), RGB(255, 0, 0));
    EXPECT_NE(clientPixel(client, 9, 9), RGB(255, 0, 0));
}

TEST(SmallServices, TextHelpers)
{
    EXPECT_EQ(YYDecimalToInt("-12ab"), -12);
    EXPECT_EQ(YYDecimalToInt("x12"), 0);
    EXPECT_EQ(YYTrimmedLength("ab  "), 2);
    EXPECT_EQ(YYTrimmedLength("   "), 0);
    EXPECT_EQ(YYWordLength("ab cd"), 2);
    char field[5];
    YYCopyBlankPadded("abcdefg", field, 5);
    EXPECT_EQ(std::string(field, 5), "abcde");
    YYCopyBlankPadded("ab", field, 5);
    EXPECT_EQ(std::string(field, 5), "ab   ");

    YYBeepSwitch(0);
    const INTEGER before = cursorState().Beeps;
    YYBeep();
    EXPECT_EQ(cursorState().Beeps, before);
    YYBeepSwitch(1);
    YYBeep();
    EXPECT_EQ(cursorState().Beeps, before + 1);
}

TEST_F(MainWindowTest, WindowInsideParentTakesParentUnitsAndKeepsUnchangedValues)
{
    open(39, 1001, 400);
    // A child frame inside the main drawing client, as the child-window routines place one.
    WindowSlot& child = windowSlotTable().Slots[1];
    child.Frame.reset(CreateWindowExA(0, "DOVECHILD", "inner", WS_CHILD | WS_CAPTION | WS_VISIBLE | WS_CLIPCHILDREN,
                                      30, 40, 200, 150, main().Client, nullptr, GetModuleHandleA(nullptr), nullptr));
    ASSERT_TRUE(child.Frame);
    const RECT inner = clientRect(child.Frame.get());
    child.Client = CreateWindowExA(0, "DOVECLIENT", "", WS_CHILD | WS_VISIBLE, 0, 0, inner.right, inner.bottom,
                                   child.Frame.get(), nullptr, GetModuleHandleA(nullptr), nullptr);
    WindowSetCurrent(1);
    ASSERT_EQ(WInfoWindowQuery(4), 1);
    WindowMoveResize(kUnchanged, kUnchanged, 5000, kUnchanged);
    RECT frame{};
    GetWindowRect(child.Frame.get(), &frame);
    MapWindowPoints(nullptr, main().Client, reinterpret_cast<POINT*>(&frame), 2);
    EXPECT_EQ(frame.left, 500);  // pixel 500 of the 1001-pixel parent
    EXPECT_EQ(frame.top, 40);    // unchanged stays unchanged
    EXPECT_EQ(clientRect(child.Client).right, inner.right);
    WindowSetCurrent(0);
}
