// Shared harness for GUI tests under Wine: every wait has a deadline, messages are pumped while
// waiting, and what a test creates is torn down by RAII.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/foundation/WinApi.h"

namespace GuiHarness {

using namespace std::chrono_literals;

// Pumps the thread's messages until the condition holds or the deadline passes; returns whether
// the condition held.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = 5000ms);

// Pumps every message that is pending now (no waiting).
void pumpPending();

// The colour of a client pixel of a window, read back from the screen.
COLORREF clientPixel(HWND window, int x, int y);

// Every client pixel of a window in one copy, top row first. A window of this process is read
// through its own DC; another process's window DC gives back no pixels, so one of another
// process is read from the screen where it lies.
std::vector<COLORREF> clientPixels(HWND window);

// The text of a window (title of a frame, contents of a control).
std::string windowText(HWND window);

// A visible dialog box (window class "#32770": the system's dialogs and message boxes) of this
// thread, one that has the button when a button id is given; null when none is up.
HWND shownDialogBox(int withButton = 0);

// A window's client rectangle in its own coordinates.
RECT clientRect(HWND window);

// A status-bar control's part right edges and the text of a 0-based part (255: the simple-mode text).
std::vector<int> statusBarEdges(HWND bar);
std::string statusBarText(HWND bar, int part);

// The caption state (WM_NCACTIVATE) each watched window was last told to draw: -1 nothing yet,
// 0 inactive, 1 active. Watching subclasses the window until release().
struct CaptionWatch {
    static inline std::array<HWND, 4> windows{};
    static inline std::array<WNDPROC, 4> procedures{};
    static inline std::array<int, 4> states{-1, -1, -1, -1};
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        for (std::size_t i = 0; i < windows.size(); ++i) {
            if (windows[i] != window) continue;
            if (message == WM_NCACTIVATE) states[i] = wParam ? 1 : 0;
            return CallWindowProcA(procedures[i], window, message, wParam, lParam);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    static void watch(std::size_t i, HWND window)
    {
        windows[i] = window;
        states[i] = -1;
        procedures[i] = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CaptionWatch::procedure)));
    }
    static void release()
    {
        for (std::size_t i = 0; i < windows.size(); ++i)
            if (windows[i] && IsWindow(windows[i]))
                SetWindowLongPtrA(windows[i], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedures[i]));
        windows = {};
        states = {-1, -1, -1, -1};
    }
};

// Holds modifier keys down in the thread's key state while keys are posted; the state before is
// restored when it goes out of scope.
class HeldKeys {
public:
    explicit HeldKeys(std::initializer_list<int> keys)
    {
        GetKeyboardState(saved_);
        BYTE state[256];
        GetKeyboardState(state);
        for (int k : keys) state[k] = 0x80;
        SetKeyboardState(state);
    }
    ~HeldKeys() { SetKeyboardState(saved_); }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    BYTE saved_[256]{};
};

// Proves absence without waiting out a quiet period: a message posted to a hidden window of the
// harness after the action under test. The thread's posted messages come back in order, so once
// the sentinel has come back, every message the action posted has been handled; the sentinel
// goes round the queue `laps` times, so that what those messages posted in turn is handled too.
// postAfter() sends it off from a timer instead, for actions that are themselves timers: timers
// come due in the order of their times, so a shorter timer still alive fires before it.
class Sentinel {
public:
    Sentinel();
    ~Sentinel();
    Sentinel(const Sentinel&) = delete;
    Sentinel& operator=(const Sentinel&) = delete;
    void post(int laps = 3);
    void postAfter(std::chrono::milliseconds delay, int laps = 3);
    bool arrived() const { return arrived_; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    int laps_ = 0;
    bool arrived_ = false;
};

// Pumps the thread's messages until a sentinel posted now has come back; false when it did not
// come back before the deadline.
bool pumpThroughSentinel(std::chrono::milliseconds deadline = 5000ms);

// Waits on another thread than the one that pumps messages: polls the condition until it holds or
// the deadline passes, without pumping; returns whether it held.
bool waitOffThread(const std::function<bool()>& condition, std::chrono::milliseconds deadline = 5000ms);

// Counts the sent messages of up to four kinds a window has handled (counted once its procedure
// returned); the counts can be read from any thread. Watches the thread that creates it, one
// watch at a time, until it goes out of scope.
class HandledMessages {
public:
    HandledMessages(HWND window, std::initializer_list<UINT> messages);
    ~HandledMessages();
    HandledMessages(const HandledMessages&) = delete;
    HandledMessages& operator=(const HandledMessages&) = delete;
    int count(UINT message) const;

private:
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    std::array<UINT, 4> messages_{};
    std::array<std::atomic<int>, 4> counts_{};
    HHOOK hook_ = nullptr;
};

// Ends the test program with a failure when it is still alive after the deadline, so that a
// waiting GUI test never hangs the run; disarmed when it goes out of scope.
class Watchdog {
public:
    explicit Watchdog(std::chrono::milliseconds deadline = 60000ms);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    HANDLE disarmed_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD deadlineMs_ = 0;
};

// A top-level test window of a private class that destroys itself when it goes out of scope.
class TestWindow {
public:
    explicit TestWindow(int width = 200, int height = 150, WNDPROC procedure = nullptr);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND handle() const { return window_; }

private:
    HWND window_ = nullptr;
};

// Answers the next modal box or dialog that appears on this thread by posting a button press to
// it from a timer, after typing the given texts into its controls (control id, text); stops
// looking when it goes out of scope.
class ModalAnswer {
public:
    using TypedTexts = std::vector<std::pair<int, std::string>>;
    explicit ModalAnswer(int buttonId, std::chrono::milliseconds deadline = 5000ms);
    ModalAnswer(int buttonId, TypedTexts typed, std::chrono::milliseconds deadline = 5000ms);
    ~ModalAnswer();
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;
    bool answered() const;

private:
    UINT_PTR timer_ = 0;
};

}  // namespace GuiHarness
