#include "tests/support/DialogScript.h"

#include <gtest/gtest.h>

namespace DialogScript {

namespace {

struct CaptionSearch {
    std::string_view caption;
    HWND found;
};

BOOL CALLBACK matchCaption(HWND window, LPARAM data)
{
    auto* s = reinterpret_cast<CaptionSearch*>(data);
    char text[160] = {};
    GetWindowTextA(window, text, sizeof text);
    if (IsWindowVisible(window) && s->caption == text) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK listWindow(HWND window, LPARAM data)
{
    char name[64] = {}, text[160] = {};
    GetClassNameA(window, name, sizeof name);
    GetWindowTextA(window, text, sizeof text);
    if (IsWindowVisible(window))
        *reinterpret_cast<std::string*>(data) +=
            std::string(" [") + name + " \"" + text + "\" " + std::to_string(GetDlgCtrlID(window)) + "]";
    return TRUE;
}

}  // namespace

HWND shown(std::string_view caption)
{
    CaptionSearch search{caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &matchCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string windowList()
{
    std::string list;
    EnumThreadWindows(GetCurrentThreadId(), &listWindow, reinterpret_cast<LPARAM>(&list));
    return list;
}

Script::Script(std::vector<Step> steps, std::function<void()> giveUp, std::chrono::milliseconds deadline)
    : steps_(std::move(steps)), giveUp_(std::move(giveUp)), end_(GetTickCount() + static_cast<DWORD>(deadline.count()))
{
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 25, &Script::tick);
}

Script::~Script()
{
    KillTimer(nullptr, timer_);
    current_ = nullptr;
}

VOID CALLBACK Script::tick(HWND, UINT, UINT_PTR, DWORD)
{
    Script* s = current_;
    // A step that shows a modal box ticks again inside it: that tick waits for the step.
    if (!s || s->busy_) return;
    s->busy_ = true;
    if (s->next_ < s->steps_.size() && !s->gaveUp_ && s->steps_[s->next_]()) ++s->next_;
    if (static_cast<LONG>(GetTickCount() - s->end_) > 0 && s->next_ < s->steps_.size()) {
        if (!s->gaveUp_) ADD_FAILURE() << "script stopped at step " << s->next_ << " with the windows" << windowList();
        s->gaveUp_ = true;
        if (s->giveUp_) s->giveUp_();
    }
    s->busy_ = false;
}

Step onWindow(const char* caption, std::function<void(HWND)> action)
{
    return [caption, action] {
        HWND window = shown(caption);
        if (!window) return false;
        action(window);
        return true;
    };
}

Step click(const char* caption, int id)
{
    return onWindow(caption, [id](HWND window) { SendMessageA(GetDlgItem(window, id), BM_CLICK, 0, 0); });
}

}  // namespace DialogScript
