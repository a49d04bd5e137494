// The GUI harness itself: a window really paints under the test display, a modal box is answered
// from the timer, and a wait gives up at its deadline.
#include <gtest/gtest.h>

#include "tests/support/GuiHarness.h"
#include "toolkit/foundation/Handles.h"

using namespace GuiHarness;

namespace {

LRESULT CALLBACK paintRed(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        RECT area{0, 0, 50, 50};
        FillRect(dc, &area, red);
        DeleteObject(red);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

TEST(GuiHarness, WindowPaintsAndPixelsReadBack)
{
    TestWindow window(200, 150, paintRed);
    ASSERT_NE(window.handle(), nullptr);
    EXPECT_TRUE(waitUntil([&] { return clientPixel(window.handle(), 10, 10) == RGB(255, 0, 0); }));
    EXPECT_EQ(clientPixel(window.handle(), 100, 100), RGB(255, 255, 255));
    // The whole client area in one copy, rows top first, as COLORREF.
    const RECT area = clientRect(window.handle());
    const std::vector<COLORREF> all = clientPixels(window.handle());
    ASSERT_EQ(all.size(), static_cast<std::size_t>(area.right) * static_cast<std::size_t>(area.bottom));
    EXPECT_EQ(all[static_cast<std::size_t>(40 * area.right + 10)], RGB(255, 0, 0));
    EXPECT_EQ(all[static_cast<std::size_t>(40 * area.right + 60)], RGB(255, 255, 255));
    EXPECT_EQ(all[static_cast<std::size_t>(100 * area.right + 10)], RGB(255, 255, 255));
}

TEST(GuiHarness, ModalBoxIsAnsweredFromTimer)
{
    ModalAnswer answer(IDCANCEL);
    const int pressed = MessageBoxA(nullptr, "question", "harness", MB_OKCANCEL);
    EXPECT_TRUE(answer.answered());
    EXPECT_EQ(pressed, IDCANCEL);
}

TEST(GuiHarness, WaitGivesUpAtDeadline)
{
    const DWORD start = GetTickCount();
    EXPECT_FALSE(waitUntil([] { return false; }, 100ms));
    EXPECT_GE(GetTickCount() - start, 90u);
}

TEST(Handles, OwnersReleaseTheirHandles)
{
    HGDIOBJ pen = nullptr;
    {
        GdiObjectHandle owned(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
        pen = owned.get();
        EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_PEN));
        MemoryDcHandle dc(CreateCompatibleDC(nullptr));
        DcSelection selected(dc.get(), pen);
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), pen);
    }  // the selection ends before the DC and the pen go
    EXPECT_EQ(GetObjectType(pen), 0u);
    FileHandle none;
    EXPECT_FALSE(none);
}

namespace {

// Counts posted WM_USER messages and timer ticks; a WM_USER with wParam 1 posts one more WM_USER.
struct QueueCounts {
    int user = 0;
    int ticks = 0;
};
QueueCounts& queueCounts()
{
    static QueueCounts counts;
    return counts;
}
LRESULT CALLBACK countQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER) {
        ++queueCounts().user;
        if (wParam == 1) PostMessageA(window, WM_USER, 0, 0);
        return 0;
    }
    if (message == WM_TIMER) {
        ++queueCounts().ticks;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

TEST(GuiHarness, SentinelComesBackAfterWhatThePostedMessagesPostedInTurn)
{
    TestWindow window(200, 150, countQueue);
    queueCounts() = {};
    PostMessageA(window.handle(), WM_USER, 1, 0);
    Sentinel sentinel;
    sentinel.post();
    ASSERT_TRUE(waitUntil([&] { return sentinel.arrived(); }));
    EXPECT_EQ(queueCounts().user, 2);
}

TEST(GuiHarness, TimerSentinelComesBackAfterAShorterTimerFired)
{
    TestWindow window(200, 150, countQueue);
    queueCounts() = {};
    SetTimer(window.handle(), 1, 10, nullptr);
    Sentinel sentinel;
    sentinel.postAfter(100ms);
    ASSERT_TRUE(waitUntil([&] { return sentinel.arrived(); }));
    KillTimer(window.handle(), 1);
    EXPECT_GE(queueCounts().ticks, 1);
}

TEST(GuiHarness, HandledMessagesCountsOnlyTheWatchedWindowAndKinds)
{
    TestWindow watched, other;
    HandledMessages handled(watched.handle(), {WM_USER + 1, WM_USER + 2});
    SendMessageA(watched.handle(), WM_USER + 1, 0, 0);
    SendMessageA(watched.handle(), WM_USER + 1, 0, 0);
    SendMessageA(watched.handle(), WM_USER + 3, 0, 0);
    SendMessageA(other.handle(), WM_USER + 2, 0, 0);
    EXPECT_EQ(handled.count(WM_USER + 1), 2);
    EXPECT_EQ(handled.count(WM_USER + 2), 0);
    EXPECT_EQ(handled.count(WM_USER + 3), 0);
}
