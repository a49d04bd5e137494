#include "tests/support/GuiHarness.h"

#include <cstring>

namespace GuiHarness {

namespace {

constexpr const char* kTestClass = "QvTestWindow";

LRESULT CALLBACK defaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// The one pending modal answer (tests answer one box at a time).
struct PendingAnswer {
    int buttonId = 0;
    DWORD deadlineTick = 0;
    bool answered = false;
};
PendingAnswer& pending()
{
    static PendingAnswer answer;
    return answer;
}

BOOL CALLBACK answerDialog(HWND window, LPARAM)
{
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(pending().buttonId, BN_CLICKED), 0);
    pending().answered = true;
    return FALSE;
}

void CALLBACK answerTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    PendingAnswer& answer = pending();
    if (!answer.answered) EnumThreadWindows(GetCurrentThreadId(), answerDialog, 0);
    if (answer.answered || GetTickCount() > answer.deadlineTick) KillTimer(nullptr, timer);
}

}  // namespace

void pumpPending()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline)
{
    const DWORD end = GetTickCount() + static_cast<DWORD>(deadline.count());
    for (;;) {
        pumpPending();
        if (condition()) return true;
        const DWORD now = GetTickCount();
        if (static_cast<LONG>(end - now) <= 0) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(end - now, 20), QS_ALLINPUT);
    }
}

COLORREF clientPixel(HWND window, int x, int y)
{
    POINT point{x, y};
    ClientToScreen(window, &point);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

TestWindow::TestWindow(int width, int height, WNDPROC procedure)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure ? procedure : defaultProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kTestClass;
    UnregisterClassA(kTestClass, windowClass.hInstance);  // a previous test may have used another procedure
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, kTestClass, "test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, width, height,
                              nullptr, nullptr, windowClass.hInstance, nullptr);
    UpdateWindow(window_);
}

TestWindow::~TestWindow()
{
    if (window_) DestroyWindow(window_);
    pumpPending();
}

ModalAnswer::ModalAnswer(int buttonId, std::chrono::milliseconds deadline)
{
    pending() = PendingAnswer{buttonId, GetTickCount() + static_cast<DWORD>(deadline.count()), false};
    timer_ = SetTimer(nullptr, 0, 50, answerTimer);
}

ModalAnswer::~ModalAnswer()
{
    if (timer_ && !pending().answered) KillTimer(nullptr, timer_);
}

bool ModalAnswer::answered() const { return pending().answered; }

}  // namespace GuiHarness
