// Windows inside other windows: the caption drawn when one is minimised, the icons of the holder
// after a resize, and the repaint of a drawing client while a modal wait holds copies of the windows.
#include <gtest/gtest.h>

#include <array>

#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/foundation/ChildWindows.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowPlacement.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"

using namespace GuiHarness;
using namespace ToolkitSession;

namespace {

constexpr std::array<INTEGER, 4> kNoBars{0, 0, 0, 0};

class InsideWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WindowOpen(39, 20, 20, 600, 400);
        pumpPending();
    }
    void TearDown() override
    {
        CaptionWatch::release();
        closeAllWindows();
    }
    static WindowSlot& slot(INTEGER n) { return windowSlotTable().Slots[static_cast<std::size_t>(n)]; }
    static INTEGER inside(INTEGER parent, INTEGER x, INTEGER y, INTEGER width, INTEGER height)
    {
        INTEGER window = 0, noLayout = 0;
        YYChildWindowCreate(x, y, width, height, window, kStyleSystemMenu | kStyleInsideParent, 0, kNoBars, noLayout,
                            parent, -1, "inner");
        pumpPending();
        return window;
    }
    static RECT inParent(HWND window)
    {
        RECT r{};
        GetWindowRect(window, &r);
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    Watchdog watchdog_{std::chrono::milliseconds(60000)};
};

}  // namespace

TEST_F(InsideWindowTest, MinimisingAWindowInsideAnotherHandsTheActiveCaptionToItsHolder)
{
    const INTEGER holder = inside(0, 10, 10, 360, 260);
    const INTEGER inner = inside(holder, 20, 20, 120, 80);
    const INTEGER other = inside(0, 400, 10, 120, 80);
    ASSERT_GT(holder, 0);
    ASSERT_GT(inner, 0);
    ASSERT_GT(other, 0);
    CaptionWatch::watch(0, slot(holder).Frame.get());
    CaptionWatch::watch(1, slot(inner).Frame.get());
    YYWindowActivate(slot(other).Frame.get());
    ASSERT_EQ(CaptionWatch::states, (std::array<int, 4>{0, 0, -1, -1}));

    ShowWindow(slot(inner).Frame.get(), SW_MINIMIZE);
    pumpPending();
    ASSERT_TRUE(IsIconic(slot(inner).Frame.get()));
    EXPECT_EQ(CaptionWatch::states, (std::array<int, 4>{1, 0, -1, -1}));
}

TEST_F(InsideWindowTest, AWindowInsideAnotherRepaintsFromItsHoldersCopyDuringAModalWait)
{
    const INTEGER holder = inside(0, 10, 10, 360, 260);
    const INTEGER inner = inside(holder, 30, 40, 120, 80);
    ASSERT_GT(inner, 0);
    HWND client = slot(inner).Client;
    constexpr COLORREF kRed = RGB(255, 0, 0);
    {
        WindowDc dc(client);
        RECT r{};
        GetClientRect(client, &r);
        GdiObjectHandle brush(CreateSolidBrush(kRed));
        FillRect(dc.get(), &r, static_cast<HBRUSH>(brush.get()));
        GdiFlush();
    }
    INTEGER status = 0;
    YYWindowSnapshots(1, -1, status);
    ASSERT_TRUE(slot(0).Snapshot);
    ASSERT_FALSE(slot(inner).Snapshot);  // only top-level windows are copied

    // The drawing client is erased and repainted: it must show what it showed before, not white.
    RedrawWindow(client, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    COLORREF shown = 0;
    {
        WindowDc dc(client);
        shown = GetPixel(dc.get(), 10, 10);
    }
    YYWindowSnapshots(0, -1, status);
    EXPECT_EQ(shown, kRed);
}

TEST_F(InsideWindowTest, ResizingAWindowInsideAnotherArrangesTheIconsOfItsHolder)
{
    const INTEGER holder = inside(0, 10, 10, 300, 200);
    const INTEGER sibling = inside(0, 350, 10, 120, 80);
    ASSERT_GT(sibling, 0);
    HWND icon = slot(sibling).Frame.get();
    ShowWindow(icon, SW_MINIMIZE);
    pumpPending();
    ASSERT_TRUE(IsIconic(icon));
    ArrangeIconicWindows(slot(0).Client);
    const RECT arranged = inParent(icon);
    SetWindowPos(icon, nullptr, arranged.left + 137, arranged.top - 91, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_NE(inParent(icon).left, arranged.left);

    SetWindowPos(slot(holder).Frame.get(), nullptr, 0, 0, 260, 180, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    pumpPending();
    EXPECT_EQ(inParent(icon).left, arranged.left);
    EXPECT_EQ(inParent(icon).top, arranged.top);
}

TEST_F(InsideWindowTest, RestoringAMaximisedWindowInsideAnotherTakesTheRequestedPlace)
{
    const INTEGER inner = inside(0, 40, 30, 200, 120);
    ASSERT_GT(inner, 0);
    HWND frame = slot(inner).Frame.get();
    const RECT before = inParent(frame);
    ASSERT_NE(before.left, 0);
    WindowSetCurrent(inner);
    WindowMoveResize(kUnchanged, kUnchanged, kUnchanged, kUnchanged, 2);
    pumpPending();
    ASSERT_TRUE(IsZoomed(frame));

    WindowMoveResize(kUnchanged, kUnchanged, 0, 0, 1);  // restored, at the holder's top left corner
    pumpPending();
    ASSERT_FALSE(IsZoomed(frame));
    const RECT after = inParent(frame);
    EXPECT_EQ(after.left, 0);
    EXPECT_EQ(after.top, 0);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
}
