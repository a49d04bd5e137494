#include "tests/support/GuiHarness.h"

#include "toolkit/foundation/CommonControls.h"
#include "toolkit/foundation/Handles.h"

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
    ModalAnswer::TypedTexts typed;
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
    for (const auto& [control, text] : pending().typed) SetDlgItemTextA(window, control, text.c_str());
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(pending().buttonId, BN_CLICKED), 0);
    pending().answered = true;
    return FALSE;
}

struct DialogBoxSearch {
    int button;
    HWND found;
};

BOOL CALLBACK matchDialogBox(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<DialogBoxSearch*>(data);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    if (search->button != 0 && !GetDlgItem(window, search->button)) return TRUE;
    search->found = window;
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

std::vector<COLORREF> clientPixels(HWND window)
{
    const RECT rect = clientRect(window);
    const int width = rect.right, height = rect.bottom;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    const bool ours = owner == GetCurrentProcessId();
    POINT origin{0, 0};
    if (!ours) ClientToScreen(window, &origin);
    WindowDc source(ours ? window : nullptr);
    MemoryDcHandle memory(CreateCompatibleDC(source.get()));
    BitmapHandle bitmap(CreateCompatibleBitmap(source.get(), width, height));
    std::vector<COLORREF> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    {
        DcSelection selection(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, width, height, source.get(), origin.x, origin.y, SRCCOPY);
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    for (COLORREF& p : pixels) p = RGB(GetBValue(p), GetGValue(p), GetRValue(p));  // BGRX to COLORREF
    return pixels;
}

std::string windowText(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

HWND shownDialogBox(int withButton)
{
    DialogBoxSearch search{withButton, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), matchDialogBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
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

// Registered once per process, so that no window's own message can be taken for the sentinel.
UINT sentinelMessage()
{
    static const UINT message = RegisterWindowMessageA("QvHarnessSentinel");
    return message;
}
constexpr const char* kSentinelClass = "QvHarnessSentinel";
constexpr UINT_PTR kSentinelTimer = 1;

HandledMessages*& currentWatch()
{
    static HandledMessages* watch = nullptr;
    return watch;
}

}  // namespace

Sentinel::Sentinel()
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kSentinelClass;
    RegisterClassA(&windowClass);  // fails harmlessly once registered
    window_ = CreateWindowExA(0, kSentinelClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance,
                              nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Sentinel::~Sentinel()
{
    if (window_) DestroyWindow(window_);
}

void Sentinel::post(int laps)
{
    arrived_ = false;
    laps_ = laps;
    PostMessageA(window_, sentinelMessage(), 0, 0);
}

void Sentinel::postAfter(std::chrono::milliseconds delay, int laps)
{
    arrived_ = false;
    laps_ = laps;
    SetTimer(window_, kSentinelTimer, static_cast<UINT>(delay.count()), nullptr);
}

LRESULT CALLBACK Sentinel::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<Sentinel*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message == WM_TIMER && wParam == kSentinelTimer) {
        KillTimer(window, kSentinelTimer);
        PostMessageA(window, sentinelMessage(), 0, 0);
        return 0;
    }
    if (self && message == sentinelMessage()) {
        if (--self->laps_ > 0) PostMessageA(window, sentinelMessage(), 0, 0);
        else self->arrived_ = true;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool pumpThroughSentinel(std::chrono::milliseconds deadline)
{
    Sentinel sentinel;
    sentinel.post();
    return waitUntil([&] { return sentinel.arrived(); }, deadline);
}

bool waitOffThread(const std::function<bool()>& condition, std::chrono::milliseconds deadline)
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        Sleep(1);  // a poll step, not a wait for anything to happen
    }
}

HandledMessages::HandledMessages(HWND window, std::initializer_list<UINT> messages) : window_(window)
{
    std::size_t i = 0;
    for (UINT message : messages)
        if (i < messages_.size()) messages_[i++] = message;
    currentWatch() = this;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, hook, nullptr, GetCurrentThreadId());
}

HandledMessages::~HandledMessages()
{
    if (hook_) UnhookWindowsHookEx(hook_);
    currentWatch() = nullptr;
}

int HandledMessages::count(UINT message) const
{
    for (std::size_t i = 0; i < messages_.size(); ++i)
        if (messages_[i] == message) return counts_[i].load();
    return 0;
}

LRESULT CALLBACK HandledMessages::hook(int code, WPARAM wParam, LPARAM lParam)
{
    HandledMessages* self = currentWatch();
    if (code == HC_ACTION && self) {
        const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (sent->hwnd == self->window_)
            for (std::size_t i = 0; i < self->messages_.size(); ++i)
                if (self->messages_[i] == sent->message && sent->message != 0) ++self->counts_[i];
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
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

ModalAnswer::ModalAnswer(int buttonId, std::chrono::milliseconds deadline) : ModalAnswer(buttonId, {}, deadline) {}

ModalAnswer::ModalAnswer(int buttonId, TypedTexts typed, std::chrono::milliseconds deadline)
{
    pending() = PendingAnswer{buttonId, GetTickCount() + static_cast<DWORD>(deadline.count()), false, std::move(typed)};
    timer_ = SetTimer(nullptr, 0, 50, answerTimer);
}

ModalAnswer::~ModalAnswer()
{
    if (timer_ && !pending().answered) KillTimer(nullptr, timer_);
}

bool ModalAnswer::answered() const { return pending().answered; }

}  // namespace GuiHarness
