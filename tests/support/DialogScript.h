// Drives code that waits in its own dialogs and message boxes, as a user would: steps run one
// after the other from a thread timer (modal loops dispatch the thread's timers), each returning
// false until it could act. At the deadline the script gives up and cancels whatever is up, so
// that the code under test returns and the test fails instead of hanging.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/foundation/WinApi.h"

namespace DialogScript {

using namespace std::chrono_literals;

// A visible top-level window of this thread with exactly this caption; null when none is up.
HWND shown(std::string_view caption);

// The visible windows of this thread (class, caption, control id), for a failure message.
std::string windowList();

// One step: acts and returns true, or returns false to be asked again at the next tick.
using Step = std::function<bool()>;

// Runs its steps from a thread timer until it goes out of scope; one script at a time. Giving up
// records a failure naming the step and the windows up, then calls giveUp to take them down.
class Script {
public:
    Script(std::vector<Step> steps, std::function<void()> giveUp, std::chrono::milliseconds deadline = 30000ms);
    ~Script();
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;
    // Every step done before the deadline.
    bool finished() const { return next_ == steps_.size() && !gaveUp_; }

private:
    static VOID CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
    std::vector<Step> steps_;
    std::function<void()> giveUp_;
    std::size_t next_ = 0;
    DWORD end_;
    UINT_PTR timer_ = 0;
    bool busy_ = false;
    bool gaveUp_ = false;
    static inline Script* current_ = nullptr;
};

// A step that waits for the window with the caption and acts on it.
Step onWindow(const char* caption, std::function<void(HWND)> action);

// A step that clicks a button of the window with the caption.
Step click(const char* caption, int id);

}  // namespace DialogScript
