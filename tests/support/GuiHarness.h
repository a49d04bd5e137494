// Shared harness for GUI tests under Wine: every wait has a deadline, messages are pumped while
// waiting, and what a test creates is torn down by RAII.
#pragma once

#include <chrono>
#include <functional>

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
// it from a timer; stops looking when it goes out of scope.
class ModalAnswer {
public:
    ModalAnswer(int buttonId, std::chrono::milliseconds deadline = 5000ms);
    ~ModalAnswer();
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;
    bool answered() const;

private:
    UINT_PTR timer_ = 0;
};

}  // namespace GuiHarness
