// What the editor tests share: a responder for the boxes and dialogs the editor shows, real key
// and mouse input, the toolkit's poll, files on the host, and a fixture with an editor per window.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/GuiHarness.h"
#include "tests/support/HostTools.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/editor/EditorCommands.h"
#include "toolkit/editor/EditorFiles.h"
#include "toolkit/editor/EditorFind.h"
#include "toolkit/editor/EditorStatus.h"
#include "toolkit/editor/EditorText.h"
#include "toolkit/editor/EditorWindowProc.h"
#include "toolkit/editor/EditorWindows.h"
#include "toolkit/foundation/ChildWindows.h"
#include "toolkit/foundation/CommonControls.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowSlots.h"

using namespace GuiHarness;
using namespace ToolkitSession;
using namespace std::chrono_literals;

// Included by one test source per program.
namespace EditorTesting {

constexpr std::array<INTEGER, 4> kNoBars{0, 0, 0, 0};
constexpr INTEGER kMenu = 30001;
constexpr INTEGER kCaptionedChild = kStyleSystemMenu | kStyleStatusBar;

// Answers the modal boxes and dialogs of this thread that the test expects, in order, each known by
// its caption and its class; anything else fails the test and is cancelled so that nothing hangs.
class DialogResponder {
public:
    struct Expected {
        std::string Caption;
        std::function<void(HWND)> Answer;
    };
    explicit DialogResponder(std::vector<Expected> expected, std::set<HWND> ignored = {})
        : expected_(std::move(expected)), ignored_(std::move(ignored))
    {
        current() = this;
        timer_ = SetTimer(nullptr, 0, 40, &DialogResponder::tick);
    }
    ~DialogResponder()
    {
        KillTimer(nullptr, timer_);
        current() = nullptr;
    }
    DialogResponder(const DialogResponder&) = delete;
    DialogResponder& operator=(const DialogResponder&) = delete;
    std::size_t answered() const { return next_; }
    bool done() const { return next_ == expected_.size(); }
    const std::vector<std::string>& unexpected() const { return unexpected_; }
    // What each answered window was owned by, and its text (the box's message).
    std::vector<HWND> Owners;
    std::vector<std::string> Texts;
    std::vector<bool> OwnerEnabled;  // whether the owner's owner frame was enabled meanwhile
    HWND Watched = nullptr;

    static void press(HWND dialog, int id)
    {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    static std::function<void(HWND)> button(int id)
    {
        return [id](HWND dialog) { press(dialog, id); };
    }
    // The file dialogs: the name into the file-name field, then OK.
    static std::function<void(HWND)> fileName(std::string name)
    {
        return [name](HWND dialog) {
            for (int field : {1148, 1152})
                if (GetDlgItem(dialog, field)) SetDlgItemTextA(dialog, field, name.c_str());
            press(dialog, IDOK);
        };
    }

private:
    static DialogResponder*& current()
    {
        static DialogResponder* responder = nullptr;
        return responder;
    }
    static std::string boxText(HWND dialog)
    {
        char text[512] = {};
        GetDlgItemTextA(dialog, 0xFFFF, text, sizeof text);
        return text;
    }
    static BOOL CALLBACK visit(HWND window, LPARAM)
    {
        DialogResponder* self = current();
        if (!self || !IsWindowVisible(window) || self->ignored_.count(window) || self->handled_.count(window)) return TRUE;
        char cls[32] = {};
        GetClassNameA(window, cls, sizeof cls);
        if (std::string(cls) != "#32770") return TRUE;
        const std::string caption = windowText(window);
        self->handled_.insert(window);
        if (self->next_ < self->expected_.size() && self->expected_[self->next_].Caption == caption) {
            self->Owners.push_back(GetWindow(window, GW_OWNER));
            self->Texts.push_back(boxText(window));
            self->OwnerEnabled.push_back(self->Watched ? IsWindowEnabled(self->Watched) != 0 : true);
            self->expected_[self->next_++].Answer(window);
        } else {
            self->unexpected_.push_back(caption);
            ADD_FAILURE() << "unexpected dialog \"" << caption << "\"";
            press(window, IDCANCEL);
        }
        return TRUE;
    }
    static VOID CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), &visit, 0); }

    std::vector<Expected> expected_;
    std::set<HWND> ignored_;
    std::set<HWND> handled_;
    std::vector<std::string> unexpected_;
    std::size_t next_ = 0;
    UINT_PTR timer_ = 0;
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Events the toolkit's poll hands out while the condition is awaited: the poll is where the
// editor's accelerator tables are applied, as in a program's event loop.
struct ToolkitPump {
    std::vector<INTEGER> Types;
    std::vector<EventRecord> Records;
    bool until(const std::function<bool()>& condition, std::chrono::milliseconds deadline = 5000ms)
    {
        const DWORD end = GetTickCount() + static_cast<DWORD>(deadline.count());
        for (;;) {
            INTEGER type = 0;
            EventRecord record{};
            for (WEventPeek(type, record); type != -1; WEventPeek(type, record)) {
                Types.push_back(type);
                Records.push_back(record);
            }
            if (condition()) return true;
            if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }
    INTEGER commands(INTEGER id) const
    {
        INTEGER n = 0;
        for (std::size_t k = 0; k < Types.size(); ++k)
            if (Types[k] == kEventCommand && Records[k][1] == id) ++n;
        return n;
    }
};

// Real input through the system's input queue.
void sendKeys(std::initializer_list<WORD> modifiers, WORD key)
{
    std::vector<INPUT> inputs;
    auto add = [&](WORD vk, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        if (vk == VK_INSERT || vk == VK_DELETE || vk == VK_APPS) in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        inputs.push_back(in);
    };
    for (WORD m : modifiers) add(m, false);
    add(key, false);
    add(key, true);
    for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m) add(*m, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void typeText(const std::string& text)
{
    for (char c : text) {
        const SHORT scan = VkKeyScanA(c);
        if (scan & 0x100) sendKeys({VK_SHIFT}, static_cast<WORD>(scan & 0xFF));
        else sendKeys({}, static_cast<WORD>(scan & 0xFF));
    }
}

std::string clipboardText(HWND owner)
{
    std::string text;
    if (!OpenClipboard(owner)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        GlobalLockGuard lock(data);
        if (const char* chars = static_cast<const char*>(lock.data())) text = chars;
    }
    CloseClipboard();
    return text;
}

void mouseTo(POINT screen, DWORD buttons)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(screen.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    in.mi.dy = MulDiv(screen.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    SendInput(1, &in, sizeof in);
}

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        editorHooks() = EditorHooks{};
        WindowOpen(39, 10, 10, 900, 700, 0);
        pumpPending();
        // Test programs on other shards run under other wine servers, whose process numbers may
        // be the same as this one's: the folder is named by the moment this program started too.
        static const std::string name = [] {
            LARGE_INTEGER now{};
            QueryPerformanceCounter(&now);
            return "qv-editor-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(now.QuadPart);
        }();
        folder_ = "Z:\\tmp\\" + name;
        unixFolder_ = "/tmp/" + name;
        CreateDirectoryA(folder_.c_str(), nullptr);
    }
    void TearDown() override
    {
        closeAllWindows();
        EXPECT_EQ(editorWindowTable().LiveRecords(), 0);  // every record went with its window
        editorHooks() = EditorHooks{};
        WIN32_FIND_DATAA found{};
        HANDLE search = FindFirstFileA((folder_ + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileA((folder_ + "\\" + found.cFileName).c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(folder_.c_str());
    }
    std::string path(const std::string& name) const { return folder_ + "\\" + name; }
    std::string unixPath(const std::string& name) const { return unixFolder_ + "/" + name; }
    static WindowSlot& slot(INTEGER n) { return windowSlotTable().Slots[static_cast<std::size_t>(n)]; }
    static HWND frame(INTEGER n) { return slot(n).Frame.get(); }
    static EditorWindowRecord& record(INTEGER n) { return *YYEditorRecord(frame(n)); }
    static HWND control(INTEGER n) { return record(n).RichEdit; }
    static INTEGER child(INTEGER flags = kCaptionedChild, INTEGER parent = 0, const char* title = "Notes")
    {
        INTEGER window = 0, layout = 0;
        YYChildWindowCreate(20, 20, 640, 420, window, flags, 0, kNoBars, layout, parent, -1, title);
        pumpPending();
        return window;
    }
    // A child window made an editor; the status of the opening comes back in status.
    static INTEGER editor(INTEGER options, const std::string& file = "", INTEGER* status = nullptr, INTEGER mode = 2,
                          INTEGER menu = 0, INTEGER fontKind = 3, INTEGER size = 0, INTEGER flags = kCaptionedChild)
    {
        const INTEGER window = child(flags);
        WindowSetCurrent(window);
        INTEGER s = 0;
        WEditorOpen(s, mode, menu, options, fontKind, size, -1, -1, file, "");
        if (status) *status = s;
        pumpPending();
        return window;
    }
    static std::string text(INTEGER n)
    {
        const int length = GetWindowTextLengthA(control(n));
        std::string t(static_cast<std::size_t>(length) + 1, '\0');
        GetWindowTextA(control(n), t.data(), length + 1);
        t.resize(static_cast<std::size_t>(length));
        return t;
    }
    static void setText(INTEGER n, const std::string& t)
    {
        SendMessageA(control(n), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.c_str()));
    }
    static void select(INTEGER n, LONG from, LONG to)
    {
        CHARRANGE range{from, to};
        SendMessageA(control(n), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    }
    static CHARRANGE selection(INTEGER n)
    {
        CHARRANGE range{};
        SendMessageA(control(n), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        return range;
    }
    static void command(INTEGER n, INTEGER id) { SendMessageA(frame(n), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    static bool focusControl(INTEGER n)
    {
        SetForegroundWindow(frame(n));
        SetFocus(control(n));
        return waitUntil([n] { return GetFocus() == control(n) && GetForegroundWindow() == frame(n); }, 3000ms);
    }
    // Runs a command of the host (Wine runs Unix programs too) and waits for it to finish.
    static bool hostShell(const std::string& commandLine)
    {
        return HostTools::runHost(commandLine + "; echo qv-shell-done", 20000ms).find("qv-shell-done") != std::string::npos;
    }
    std::string unrtf(const std::string& name, const std::string& mode)
    {
        const std::string out = name + "." + mode.substr(2) + ".out";
        if (!hostShell("unrtf " + mode + " " + unixPath(name) + " > " + unixPath(out) + " 2>/dev/null")) return "(unrtf did not run)";
        return readFile(path(out));
    }

    std::string folder_, unixFolder_;
    Watchdog watchdog_{std::chrono::milliseconds(120000)};
};

}  // namespace EditorTesting

