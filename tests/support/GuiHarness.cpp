#include "tests/support/GuiHarness.h"

#include "toolkit/foundation/CommonControls.h"

#include <cstdio>
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

std::string windowText(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

RECT clientRect(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    return r;
}

std::vector<int> statusBarEdges(HWND bar)
{
    const int count = static_cast<int>(SendMessageA(bar, SB_GETPARTS, 0, 0));
    std::vector<int> edges(static_cast<std::size_t>(count));
    if (count > 0) SendMessageA(bar, SB_GETPARTS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(edges.data()));
    return edges;
}

std::string statusBarText(HWND bar, int part)
{
    // Wine hands out the simple-mode text as part 0, Windows as part 255.
    if (part == SB_SIMPLEID && SendMessageA(bar, SB_ISSIMPLE, 0, 0)) {
        char simple[512] = {};
        SendMessageA(bar, SB_GETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(simple));
        if (simple[0] == '\0') SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(simple));
        return simple;
    }
    const int length = LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0));
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

namespace {
DWORD WINAPI watchdogThread(LPVOID parameter)
{
    auto* self = static_cast<std::pair<HANDLE, DWORD>*>(parameter);
    if (WaitForSingleObject(self->first, self->second) == WAIT_TIMEOUT) {
        std::fputs("watchdog: the test did not finish before its deadline\n", stderr);
        std::fflush(stderr);
        ExitProcess(3);
    }
    delete self;
    return 0;
}
}  // namespace

Watchdog::Watchdog(std::chrono::milliseconds deadline)
    : disarmed_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), deadlineMs_(static_cast<DWORD>(deadline.count()))
{
    thread_ = CreateThread(nullptr, 0, watchdogThread, new std::pair<HANDLE, DWORD>(disarmed_, deadlineMs_), 0, nullptr);
}

Watchdog::~Watchdog()
{
    SetEvent(disarmed_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(disarmed_);
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
