// Editor windows over Wine's rich-edit control: opened in toolkit windows, driven with messages,
// real keys and mouse moves, and read back through the control, the status bar, the title, the
// files written (also by the host's unrtf) and the boxes and dialogs the editor shows.
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

namespace {

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
        folder_ = "Z:\\tmp\\qv-editor-" + std::to_string(GetCurrentProcessId());
        unixFolder_ = "/tmp/qv-editor-" + std::to_string(GetCurrentProcessId());
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
    bool hostShell(const std::string& commandLine)
    {
        const std::string marker = unixPath("shell-done");
        DeleteFileA(path("shell-done").c_str());
        std::string line = "Z:\\bin\\sh -c \"" + commandLine + "; echo done > " + marker + "\"";
        STARTUPINFOA start{};
        start.cb = sizeof start;
        PROCESS_INFORMATION process{};
        const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process);
        if (process.hProcess) CloseHandle(process.hProcess);
        if (process.hThread) CloseHandle(process.hThread);
        if (!started) return false;
        return waitUntil([this] { return readFile(path("shell-done")).size() >= 4; }, 20000ms);
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

}  // namespace

TEST_F(EditorTest, OpeningStatusesAsATable)
{
    // Window 0 is the main window: nothing is made.
    {
        WindowSetCurrent(0);
        INTEGER status = 0, mode = 2;
        WEditorOpen(status, mode, 0, 0, 3, 0, -1, -1, "", "");
        EXPECT_EQ(status, kEditorOpenMainWindow);
        EXPECT_EQ(editorWindowTable().LiveRecords(), 0);
    }
    // A window that carries a record of another kind.
    {
        const INTEGER n = child();
        WindowUserRecord other;
        other.Words[0] = kWindowOtherControl;
        SetWindowLongPtrA(frame(n), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&other));
        WindowSetCurrent(n);
        INTEGER status = 0, mode = 2;
        WEditorOpen(status, mode, 0, 0, 3, 0, -1, -1, "", "");
        EXPECT_EQ(status, kEditorOpenOtherRecord);
        SetWindowLongPtrA(frame(n), GWLP_USERDATA, 0);
    }
    // A window whose drawing client already holds a window.
    {
        const INTEGER holder = child();
        const INTEGER inside = child(kStyleSystemMenu | kStyleInsideParent, holder);
        ASSERT_GT(inside, 0);
        WindowSetCurrent(holder);
        INTEGER status = 0, mode = 2;
        WEditorOpen(status, mode, 0, 0, 3, 0, -1, -1, "", "");
        EXPECT_EQ(status, kEditorOpenClientOccupied);
        EXPECT_EQ(YYEditorRecord(frame(holder)), nullptr);
    }
    struct Case {
        const char* what;
        INTEGER flags, mode, menu, expectedStatus, expectedMode;
    };
    const Case cases[] = {
        {"semi-modeless inside a parent", kStyleSystemMenu | kStyleInsideParent, 3, 0, kEditorOpenModeChanged, 2},
        {"modal inside a parent", kStyleSystemMenu | kStyleInsideParent, 1, 0, kEditorOpenModeChanged, 2},
        {"menu where no bar can be", kStyleSystemMenu | kStyleInsideParent, 2, kMenu, kEditorOpenNoMenuBar, 2},
        {"menu resource missing", kCaptionedChild, 2, 31999, kEditorOpenMenuMissing, 2},
        {"menu and resource", kCaptionedChild, 2, kMenu, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const INTEGER n = child(c.flags);
        WindowSetCurrent(n);
        INTEGER status = 0, mode = c.mode;
        WEditorOpen(status, mode, c.menu, 0, 3, 0, -1, -1, "", "");
        EXPECT_EQ(status, c.expectedStatus);
        EXPECT_EQ(mode, c.expectedMode);
        ASSERT_NE(YYEditorRecord(frame(n)), nullptr);
        EXPECT_EQ(record(n).Mode, c.expectedMode);
        if (c.menu == kMenu && c.expectedStatus == 0) {
            // The loaded menu's popup follows the editor's own.
            HMENU bar = GetMenu(frame(n));
            ASSERT_EQ(GetMenuItemCount(bar), 4);
            char name[32] = {};
            GetMenuStringA(bar, 3, name, sizeof name, MF_BYPOSITION);
            EXPECT_STREQ(name, "&Tools");
            EXPECT_NE(record(n).ResourceAccelerators.get(), nullptr);
        }
    }
    // A menu with a modal editor: the bar holds only the editor's popups; the window is closed
    // from a timer so that the modal call returns.
    {
        const INTEGER n = child();
        WindowSetCurrent(n);
        static HWND closing = nullptr;
        closing = frame(n);
        static INTEGER menuItems = -1;
        const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            menuItems = GetMenuItemCount(GetMenu(closing));
            PostMessageA(closing, WM_CLOSE, 0, 0);
        });
        INTEGER status = 0, mode = 1;
        WEditorOpen(status, mode, kMenu, 0, 3, 0, -1, -1, "", "");
        KillTimer(nullptr, timer);
        EXPECT_EQ(status, kEditorOpenMenuWithModal);
        EXPECT_EQ(menuItems, 3);
        EXPECT_FALSE(IsWindow(closing));
    }
    // No control can be made: the record goes again and the window stays as it was.
    {
        const INTEGER n = child();
        WindowSetCurrent(n);
        editorHooks().RichEditClass = "NoSuchEditControl";
        INTEGER status = 0, mode = 2;
        WEditorOpen(status, mode, 0, 0, 3, 0, -1, -1, "", "");
        editorHooks().RichEditClass = nullptr;
        EXPECT_EQ(status, kEditorOpenNoRecord);
        EXPECT_EQ(YYEditorRecord(frame(n)), nullptr);
        EXPECT_EQ(GetWindowLongPtrA(frame(n), GWLP_USERDATA), 0);
        EXPECT_TRUE(IsWindowVisible(slot(n).Client));
    }
}

TEST_F(EditorTest, TheControlItsLimitsAndTheFontsByKind)
{
    const INTEGER n = editor(kEditorRichText);
    char cls[32] = {};
    GetClassNameA(control(n), cls, sizeof cls);
    EXPECT_STREQ(cls, "RichEdit20A");
    EXPECT_EQ(GetDlgCtrlID(control(n)), 1002);
    EXPECT_EQ(SendMessageA(control(n), EM_GETEVENTMASK, 0, 0), 0x2B0009);  // with a status bar: key events too
    EXPECT_EQ(SendMessageA(control(n), EM_GETLIMITTEXT, 0, 0), 104857500);
    EXPECT_TRUE(GetWindowLongA(control(n), GWL_STYLE) & ES_AUTOHSCROLL);  // no wrap: scrolls sideways
    const INTEGER plain = editor(kEditorWrap | kEditorReadOnly, "", nullptr, 2, 0, 3, 0, kStyleSystemMenu);
    EXPECT_EQ(SendMessageA(control(plain), EM_GETEVENTMASK, 0, 0), 0x2A0009);
    EXPECT_FALSE(GetWindowLongA(control(plain), GWL_STYLE) & ES_AUTOHSCROLL);
    EXPECT_TRUE(GetWindowLongA(control(plain), GWL_STYLE) & ES_READONLY);

    // The level-1 control through the version seam.
    editorHooks().RichEditLevel = 1;
    const INTEGER old = editor(0);
    GetClassNameA(control(old), cls, sizeof cls);
    EXPECT_STREQ(cls, "RICHEDIT");
    editorHooks().RichEditLevel = 0;

    // The fonts asked for (Wine may substitute the face it draws with; the request is what counts).
    WindowDc screen(nullptr);
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    struct Case {
        INTEGER kind, size;
        const char* face;
        int height, charset, pitch;
        int stock;
    };
    const Case cases[] = {
        {1, 12, "", 0, 0, 0, SYSTEM_FIXED_FONT},
        {2, 10, "Times New Roman", -MulDiv(10, dpi, 72), DEFAULT_CHARSET, 0x12, -1},
        {3, 0, "Arial", -MulDiv(12, dpi, 72), DEFAULT_CHARSET, 0x22, -1},
        {4, 9, "Courier New", -MulDiv(9, dpi, 72), DEFAULT_CHARSET, 0x32, -1},
        {5, 12, "", 0, 0, 0, SYSTEM_FONT},
        {8, 30, "Lucida Console", -MulDiv(11, dpi, 72), OEM_CHARSET, FIXED_PITCH, -1},
        {10, 0, "Lucida Console", -MulDiv(14, dpi, 72), OEM_CHARSET, FIXED_PITCH, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " size " << c.size);
        EditorWindowRecord fonts;
        YYEditorCreateFonts(fonts, c.kind, c.size);
        if (c.stock >= 0) {
            EXPECT_EQ(fonts.Font, GetStockObject(c.stock));
            EXPECT_FALSE(fonts.OwnedFont);
            continue;
        }
        LOGFONTA asked{};
        ASSERT_EQ(GetObjectA(fonts.Font, sizeof asked, &asked), static_cast<int>(sizeof asked));
        EXPECT_STREQ(asked.lfFaceName, c.face);
        EXPECT_EQ(asked.lfHeight, c.height);
        EXPECT_EQ(asked.lfCharSet, c.charset);
        EXPECT_EQ(asked.lfPitchAndFamily, c.pitch);
        EXPECT_GT(fonts.CellHeight, 0);
        EXPECT_LE(fonts.CellAscent, fonts.CellHeight);
    }
    // Changing the font of the current editor keeps a plain unmodified text unmodified.
    WindowSetCurrent(plain);
    INTEGER status = -1;
    YYEditorSetFont(4, 14, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(record(plain).FontKind, 4);
    EXPECT_EQ(SendMessageA(control(plain), EM_GETMODIFY, 0, 0), 0);
    WindowSetCurrent(0);
    YYEditorSetFont(4, 14, status);
    EXPECT_EQ(status, 1);
}

TEST_F(EditorTest, MenusKeysToolbarButtonsAndHelpFollowTheOptions)
{
    auto menuTexts = [](HMENU menu) {
        std::vector<std::string> texts;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[80] = {};
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            texts.push_back(text[0] ? text : "-");
        }
        return texts;
    };
    auto keys = [](HACCEL table) {
        std::vector<std::pair<int, int>> found;  // (command, key | modifiers << 16)
        const int count = CopyAcceleratorTableA(table, nullptr, 0);
        std::vector<ACCEL> entries(static_cast<std::size_t>(count));
        CopyAcceleratorTableA(table, entries.data(), count);
        for (const ACCEL& a : entries) found.push_back({a.cmd, a.key | ((a.fVirt & (FCONTROL | FSHIFT)) << 16)});
        return found;
    };
    auto buttons = [](HWND toolbar) {
        std::vector<int> ids;
        const int count = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            TBBUTTON b{};
            SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
            ids.push_back((b.fsStyle & BTNS_SEP) ? 0 : b.idCommand);
        }
        return ids;
    };
    using Texts = std::vector<std::string>;
    const int ctrl = FCONTROL << 16, ctrlShift = (FCONTROL | FSHIFT) << 16;
    struct Case {
        INTEGER options;
        Texts file, edit, search, format;
        std::vector<std::pair<int, int>> keyTable;
        std::vector<int> toolbar;
    };
    const std::vector<std::pair<int, int>> common = {{kCmdFind, ctrl | 'F'}, {kCmdFindNext, VK_F3},
                                                     {kCmdSetBookmark, (FSHIFT << 16) | VK_F2}, {kCmdGotoBookmark, VK_F2}};
    auto join = [](std::vector<std::pair<int, int>> a, const std::vector<std::pair<int, int>>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const Case cases[] = {
        {0,
         {"&New\tCtrl+N", "&Open\tCtrl+O", "&Save\tCtrl+S", "Save &As\tF12", "-", "&Print\tCtrl+P",
          "Prin&t Selection\tCtrl+Shift+P", "-", "E&xit"},
         {"&Undo\tCtrl+Z", "&Redo\tCtrl+Y", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "&Delete\tDel", "-",
          "Select &All\tCtrl+A"},
         {"&Find\tCtrl+F", "Find &Next\tF3", "&Replace\tCtrl+H", "-", "&Set Bookmark\tShift+F2", "Goto &Bookmark\tF2"},
         {},
         join(join({{kCmdNew, ctrl | 'N'}, {kCmdOpen, ctrl | 'O'}, {kCmdSave, ctrl | 'S'}, {kCmdSaveAs, VK_F12},
                    {kCmdPrint, ctrl | 'P'}, {kCmdPrintSelection, ctrlShift | 'P'}},
                   common),
              {{kCmdReplace, ctrl | 'H'}}),
         {kCmdNew, kCmdOpen, kCmdSave, 0, kCmdPrint, 0, kCmdFind, 0, kCmdCut, kCmdCopy, kCmdPaste, kCmdUndo, kCmdRedo}},
        {kEditorReadOnly | kEditorRichText,
         {"&Open\tCtrl+O", "Save &As\tF12", "-", "&Print\tCtrl+P", "Prin&t Selection\tCtrl+Shift+P", "-", "E&xit"},
         {"&Copy\tCtrl+C", "-", "Select &All\tCtrl+A"},
         {"&Find\tCtrl+F", "Find &Next\tF3", "-", "&Set Bookmark\tShift+F2", "Goto &Bookmark\tF2"},
         {},
         join({{kCmdOpen, ctrl | 'O'}, {kCmdSaveAs, VK_F12}, {kCmdPrint, ctrl | 'P'}, {kCmdPrintSelection, ctrlShift | 'P'}},
              common),
         {kCmdOpen, 0, kCmdPrint, 0, kCmdFind, 0, kCmdCopy}},
        {kEditorRichText | kEditorNoNewOpen | kEditorNoPrint,
         {"&Save\tCtrl+S", "Save &As\tF12", "-", "E&xit"},
         {"&Undo\tCtrl+Z", "&Redo\tCtrl+Y", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "&Delete\tDel", "-",
          "Select &All\tCtrl+A"},
         {"&Find\tCtrl+F", "Find &Next\tF3", "&Replace\tCtrl+H", "-", "&Set Bookmark\tShift+F2", "Goto &Bookmark\tF2"},
         {"&Font", "&Bullet Style", "-", "Align &Left\tCtrl+L", "Align &Centre\tCtrl+E", "Align &Right\tCtrl+R"},
         join(join({{kCmdSave, ctrl | 'S'}, {kCmdSaveAs, VK_F12}}, common),
              {{kCmdReplace, ctrl | 'H'}, {kCmdBold, ctrl | 'B'}, {kCmdItalic, ctrl | 'I'}, {kCmdUnderline, ctrl | 'U'},
               {kCmdAlignLeft, ctrl | 'L'}, {kCmdAlignCentre, ctrl | 'E'}, {kCmdAlignRight, ctrl | 'R'}}),
         {kCmdSave, 0, kCmdFind, 0, kCmdCut, kCmdCopy, kCmdPaste, kCmdUndo, kCmdRedo, 0, kCmdBold, kCmdItalic,
          kCmdUnderline, 0, kCmdAlignLeft, kCmdAlignCentre, kCmdAlignRight, 0, kCmdBullets}},
        {kEditorRichText | kEditorExtendedToolbar | kEditorNoSave | kEditorNoNewOpen | kEditorNoPrint,
         {"E&xit"},
         {"&Undo\tCtrl+Z", "&Redo\tCtrl+Y", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "&Delete\tDel", "-",
          "Select &All\tCtrl+A"},
         {"&Find\tCtrl+F", "Find &Next\tF3", "&Replace\tCtrl+H", "-", "&Set Bookmark\tShift+F2", "Goto &Bookmark\tF2"},
         {"&Font", "&Bullet Style", "-", "Align &Left\tCtrl+Shift+L", "Align &Centre\tCtrl+Shift+E",
          "Align &Right\tCtrl+Shift+R"},
         join(common, {{kCmdReplace, ctrl | 'H'}, {kCmdBold, ctrl | 'B'}, {kCmdItalic, ctrl | 'I'},
                       {kCmdAlignLeft, ctrlShift | 'L'}, {kCmdAlignCentre, ctrlShift | 'E'}, {kCmdAlignRight, ctrlShift | 'R'}}),
         {kCmdFind, 0, kCmdCut, kCmdCopy, kCmdPaste, kCmdUndo, kCmdRedo, 0, kCmdBold, kCmdItalic, 0, kCmdAlignLeft,
          kCmdAlignCentre, kCmdAlignRight, 0, kCmdBullets, kCmdInsertPicture, kCmdInsertLink}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "options 0x" << std::hex << c.options);
        const INTEGER n = editor(c.options);
        EditorWindowRecord& r = record(n);
        EXPECT_EQ(menuTexts(r.FilePopup), c.file);
        EXPECT_EQ(menuTexts(r.EditPopup), c.edit);
        EXPECT_EQ(menuTexts(r.SearchPopup), c.search);
        EXPECT_EQ(r.FormatPopup ? menuTexts(r.FormatPopup) : Texts{}, c.format);
        EXPECT_EQ(keys(r.Accelerators.get()), c.keyTable);
        EXPECT_EQ(buttons(r.Toolbar), c.toolbar);
        EXPECT_EQ(GetDlgCtrlID(r.Toolbar), 1001);
        // Tooltips as the toolbar asks for them.
        for (INTEGER id : {kCmdFind, kCmdBold, kCmdInsertPicture, kCmdCopy}) {
            NMTTDISPINFOA info{};
            info.hdr.hwndFrom = r.Tooltips;
            info.hdr.idFrom = static_cast<UINT_PTR>(id);
            info.hdr.code = TTN_GETDISPINFOA;
            SendMessageA(frame(n), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
            const std::string expected = id == kCmdFind ? "Find" : id == kCmdCopy ? "Copy" : id == kCmdBold ? "Bold"
                                         : (c.options & kEditorExtendedToolbar) ? "Insert Picture" : "";
            EXPECT_EQ(info.lpszText ? std::string(info.lpszText) : std::string(), expected) << id;
        }
        // Help texts across the status bar while items are highlighted, and the bar back after.
        HWND bar = r.StatusBar;
        SendMessageA(frame(n), WM_ENTERMENULOOP, 0, 0);
        EXPECT_TRUE(SendMessageA(bar, SB_ISSIMPLE, 0, 0));
        SendMessageA(frame(n), WM_MENUSELECT, MAKEWPARAM(kCmdExit, MF_STRING), reinterpret_cast<LPARAM>(r.FilePopup));
        EXPECT_EQ(statusBarText(bar, SB_SIMPLEID),
                  (c.options & kEditorReadOnly) ? "Closes the browser"
                  : (c.options & kEditorNoSave) ? "Closes the editor" : "Closes the editor; prompts you to save changes");
        SendMessageA(frame(n), WM_MENUSELECT, MAKEWPARAM(2, MF_POPUP), reinterpret_cast<LPARAM>(GetMenu(frame(n))));
        EXPECT_EQ(statusBarText(bar, SB_SIMPLEID), "Commands to locate and replace text");
        SendMessageA(frame(n), WM_EXITMENULOOP, 0, 0);
        EXPECT_FALSE(SendMessageA(bar, SB_ISSIMPLE, 0, 0));
        EXPECT_EQ(statusBarText(bar, 0), "Line:1   Col:1");
        EXPECT_EQ(statusBarText(bar, 3), "\tINS");
    }
    // Without the window's table the File and Search items show no keys; Edit keeps its own.
    EditorWindowRecord bare;
    bare.Options.NewOffered = bare.Options.OpenOffered = bare.Options.SaveOffered = true;
    INTEGER status = 0;
    YYEditorBuildMenus(bare, 0, 2, status);
    EXPECT_EQ(menuTexts(bare.FilePopup)[0], "&New");
    EXPECT_EQ(menuTexts(bare.SearchPopup)[0], "&Find");
    EXPECT_EQ(menuTexts(bare.EditPopup)[0], "&Undo\tCtrl+Z");
    DestroyMenu(bare.MenuBar);
    // View items: digits up to 9, then letters.
    EXPECT_EQ(YYEditorViewItemText(9, "a.txt"), "&9\ta.txt");
    EXPECT_EQ(YYEditorViewItemText(10, ""), "&A\tUntitled");
    EXPECT_EQ(YYEditorViewItemText(12, "c.rtf"), "&C\tc.rtf");
}

TEST_F(EditorTest, FilterListsEndInTwoNulsAndAreCutAtAPair)
{
    using namespace std::string_literals;
    EXPECT_EQ(YYEditorFilterList("A|*.a|B|*.b|"), "A\0*.a\0B\0*.b\0\0"s);
    EXPECT_EQ(YYEditorFilterList(""), "");
    EXPECT_EQ(YYEditorFilterList("A|*.a|B|"), "A\0*.a\0\0"s);  // a description without its pattern goes
    std::string longList;
    while (longList.size() < 990) longList += "Texts|*.txt|";
    const std::string cut = YYEditorFilterList(longList);
    EXPECT_LE(cut.size(), 1001u);
    ASSERT_GE(cut.size(), 2u);
    EXPECT_EQ(cut.substr(cut.size() - 2), "\0\0"s);
    EXPECT_EQ(std::count(cut.begin(), cut.end(), '\0') % 2, 1);  // whole pairs and the final NUL
}

TEST_F(EditorTest, TitleAndStatusTextFollowTheFileAndTheMarker)
{
    struct Case {
        const char* saved;
        const char* path;
        INTEGER options;
        bool modified;
        const char* title;
    };
    const Case cases[] = {
        {"Notes", "C:\\a.txt", kEditorModifiedMarker, false, "Notes - [C:\\a.txt]"},
        {"Notes", "C:\\a.txt", kEditorModifiedMarker, true, "Notes - [C:\\a.txt *]"},
        {"Notes", "C:\\a.txt", 0, true, "Notes - [C:\\a.txt]"},
        {"", "C:\\a.txt", 0, false, "C:\\a.txt"},
        {"Notes", "", kEditorModifiedMarker, true, "Notes"},
        {"Notes", "C:\\a.txt", kEditorNoFileName | kEditorModifiedMarker, true, "Notes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const INTEGER n = editor(c.options);
        EditorWindowRecord& r = record(n);
        r.SavedTitle = c.saved;
        r.setPath(c.path);
        SendMessageA(control(n), EM_SETMODIFY, c.modified, 0);
        YYEditorUpdateStatus(frame(n));
        EXPECT_EQ(windowText(frame(n)), c.title);
    }
    // A window without a caption writes part 4 of its status bar instead.
    const INTEGER bare = child(kStyleStatusBar);
    SetWindowLongA(frame(bare), GWL_STYLE, GetWindowLongA(frame(bare), GWL_STYLE) & ~WS_CAPTION);
    SetWindowPos(frame(bare), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    WindowSetCurrent(bare);
    INTEGER status = 0, mode = 2;
    WEditorOpen(status, mode, 0, kEditorModifiedMarker, 3, 0, -1, -1, "", "");
    EditorWindowRecord& r = record(bare);
    r.setPath("C:\\b.txt");
    SendMessageA(control(bare), EM_SETMODIFY, TRUE, 0);
    YYEditorUpdateStatus(frame(bare));
    EXPECT_EQ(statusBarEdges(r.StatusBar), (std::vector<int>{130, 170, 210, 250, -1}));
    EXPECT_EQ(statusBarText(r.StatusBar, 4), "C:\\b.txt *");
    // Typing into a marked editor puts the marker into the title at once.
    const INTEGER marked = editor(kEditorModifiedMarker | kEditorQuietInitialLoad, path("m.txt"));
    SendMessageA(control(marked), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("x"));
    pumpPending();
    EXPECT_EQ(windowText(frame(marked)), "Notes - [" + path("m.txt") + " *]");
    EXPECT_EQ(record(marked).Changed, 1);
}

TEST_F(EditorTest, RealKeysTypeOverwriteFormatAndPaste)
{
    const INTEGER n = editor(kEditorRichText);
    ASSERT_TRUE(focusControl(n));
    ToolkitPump pump;
    typeText("abcd");
    ASSERT_TRUE(pump.until([n] { return text(n) == "abcd"; })) << text(n);
    // Insert switches to overwriting (the status says so); the typed letter takes the next one's place.
    select(n, 1, 1);
    sendKeys({}, VK_INSERT);
    ASSERT_TRUE(pump.until([n] { return statusBarText(record(n).StatusBar, 3) == "\tOVR"; }));
    typeText("X");
    ASSERT_TRUE(pump.until([n] { return text(n) == "aXcd"; })) << text(n);
    sendKeys({}, VK_INSERT);
    ASSERT_TRUE(pump.until([n] { return statusBarText(record(n).StatusBar, 3) == "\tINS"; }));
    typeText("Y");
    ASSERT_TRUE(pump.until([n] { return text(n) == "aXYcd"; })) << text(n);

    // Format keys through the editor's accelerator table.
    auto effects = [n](LONG from, LONG to) {
        select(n, from, to);
        CHARFORMATA format{};
        format.cbSize = sizeof format;
        SendMessageA(control(n), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return std::pair<DWORD, DWORD>(format.dwMask, format.dwEffects);
    };
    auto alignment = [n]() {
        PARAFORMAT2 format{};
        format.cbSize = sizeof format;
        SendMessageA(control(n), EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
        return format.wAlignment;
    };
    struct KeyCase {
        WORD key;
        DWORD effect;
    };
    for (const KeyCase& k : {KeyCase{'B', CFE_BOLD}, KeyCase{'I', CFE_ITALIC}, KeyCase{'U', CFE_UNDERLINE}}) {
        SCOPED_TRACE(static_cast<char>(k.key));
        select(n, 1, 3);
        sendKeys({VK_CONTROL}, k.key);
        ASSERT_TRUE(pump.until([&] { return (effects(1, 3).second & k.effect) != 0; }));
        EXPECT_EQ(effects(0, 1).second & k.effect, 0u);  // only the selection
        select(n, 1, 3);
        sendKeys({VK_CONTROL}, k.key);  // again: off
        ASSERT_TRUE(pump.until([&] { return (effects(1, 3).second & k.effect) == 0; }));
    }
    // A partly bold selection becomes all bold.
    select(n, 0, 2);
    command(n, kCmdBold);
    select(n, 0, 4);
    command(n, kCmdBold);
    EXPECT_EQ(effects(0, 4), (std::pair<DWORD, DWORD>(effects(0, 4).first, effects(0, 4).second | CFE_BOLD)));
    EXPECT_TRUE(effects(0, 4).first & CFM_BOLD);
    EXPECT_TRUE(effects(0, 4).second & CFE_BOLD);
    for (const auto& a : {std::pair<WORD, WORD>{'E', PFA_CENTER}, {'R', PFA_RIGHT}, {'L', PFA_LEFT}}) {
        sendKeys({VK_CONTROL}, a.first);
        ASSERT_TRUE(pump.until([&] { return alignment() == a.second; })) << static_cast<char>(a.first);
    }
    EXPECT_EQ(SendMessageA(record(n).Toolbar, TB_GETSTATE, kCmdAlignLeft, 0) & TBSTATE_CHECKED, TBSTATE_CHECKED);

    // Shift+Del cuts, Ctrl+Ins copies, Shift+Ins pastes: keys the control lacks, given by the filter.
    select(n, 0, 2);
    sendKeys({VK_SHIFT}, VK_DELETE);
    ASSERT_TRUE(pump.until([n] { return text(n) == "Ycd"; })) << text(n);
    select(n, 3, 3);
    sendKeys({VK_SHIFT}, VK_INSERT);
    ASSERT_TRUE(pump.until([n] { return text(n) == "YcdaX"; })) << text(n);
    select(n, 0, 1);
    sendKeys({VK_CONTROL}, VK_INSERT);
    select(n, 5, 5);
    ASSERT_TRUE(pump.until([] { return IsClipboardFormatAvailable(CF_TEXT) != 0; }));
    sendKeys({VK_SHIFT}, VK_INSERT);
    ASSERT_TRUE(pump.until([n] { return text(n) == "YcdaXY"; })) << text(n);
}

TEST_F(EditorTest, MouseDragLockKeysAndTheEditPopup)
{
    const INTEGER n = editor(kEditorRichText);
    setText(n, "first line\r\nsecond line\r\nthird");
    ASSERT_TRUE(focusControl(n));
    ToolkitPump pump;
    auto at = [n](LONG position) {
        POINTL point{};
        SendMessageA(control(n), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), position);
        POINT screen{point.x + 1, point.y + 3};
        ClientToScreen(control(n), &screen);
        return screen;
    };
    // From "first" to the fourth character of the second line (line 2, column 4).
    const LONG secondLine = static_cast<LONG>(SendMessageA(control(n), EM_LINEINDEX, 1, 0));
    mouseTo(at(0), 0);
    mouseTo(at(0), MOUSEEVENTF_LEFTDOWN);
    mouseTo(at(secondLine + 3), 0);
    mouseTo(at(secondLine + 3), MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(pump.until([n] { return statusBarText(record(n).StatusBar, 0) == "Line:2   Col:4"; }))
        << statusBarText(record(n).StatusBar, 0);
    EXPECT_EQ(selection(n).cpMin, 0);
    EXPECT_EQ(selection(n).cpMax, secondLine + 3);

    // Caps Lock and Num Lock: the status follows the keys' toggle state, twice each.
    for (WORD key : {VK_CAPITAL, VK_CAPITAL, VK_NUMLOCK, VK_NUMLOCK}) {
        const int part = key == VK_CAPITAL ? 1 : 2;
        const std::string on = key == VK_CAPITAL ? "\tCAPS" : "\tNUM";
        const std::string before = statusBarText(record(n).StatusBar, part);
        sendKeys({}, key);
        ASSERT_TRUE(pump.until([&] { return statusBarText(record(n).StatusBar, part) != before; })) << on;
        EXPECT_EQ(statusBarText(record(n).StatusBar, part), (GetKeyState(key) & 1) ? on : "");
    }

    // The Edit popup as it opens: an empty selection greys Cut, Copy and Delete.
    auto greyed = [n](INTEGER id) { return (GetMenuState(record(n).EditPopup, static_cast<UINT>(id), MF_BYCOMMAND) & MF_GRAYED) != 0; };
    select(n, 2, 2);
    SendMessageA(frame(n), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(record(n).EditPopup), 1);
    EXPECT_TRUE(greyed(kCmdCut));
    EXPECT_TRUE(greyed(kCmdCopy));
    EXPECT_TRUE(greyed(kCmdDelete));
    select(n, 2, 5);
    SendMessageA(frame(n), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(record(n).EditPopup), 1);
    EXPECT_FALSE(greyed(kCmdCut));
    EXPECT_FALSE(greyed(kCmdCopy));
    EXPECT_FALSE(greyed(kCmdDelete));
    EXPECT_TRUE(greyed(kCmdUndo));  // nothing typed yet
    // Find Next stays grey until there is something to find; Goto Bookmark until one is set.
    SendMessageA(frame(n), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(record(n).SearchPopup), 2);
    EXPECT_TRUE(GetMenuState(record(n).SearchPopup, kCmdFindNext, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(record(n).SearchPopup, kCmdGotoBookmark, MF_BYCOMMAND) & MF_GRAYED);

    // The context menu: at the mouse, and from the keyboard below the caret.
    static RECT shownAt{};
    static bool shown = false;
    auto popupAt = [&](LPARAM position) {
        shown = false;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
            HWND menu = FindWindowA("#32768", nullptr);
            if (!menu || !IsWindowVisible(menu)) return;
            KillTimer(nullptr, id);
            GetWindowRect(menu, &shownAt);
            shown = true;
            EndMenu();
        });
        SendMessageA(frame(n), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control(n)), position);
        KillTimer(nullptr, timer);
        return shown;
    };
    ASSERT_TRUE(popupAt(MAKELPARAM(300, 200)));
    EXPECT_EQ(shownAt.left, 300);
    EXPECT_EQ(shownAt.top, 200);
    select(n, 0, 0);
    ASSERT_TRUE(popupAt(MAKELPARAM(-1, -1)));
    const POINT caret = YYEditorContextMenuPoint(record(n), MAKELPARAM(-1, -1));
    EXPECT_EQ(shownAt.left, caret.x);
    EXPECT_EQ(shownAt.top, caret.y);
    // Positions left of and above the primary screen are negative, not 65,000 and more.
    const POINT left = YYEditorContextMenuPoint(record(n), MAKELPARAM(static_cast<WORD>(-200), static_cast<WORD>(-30)));
    EXPECT_EQ(left.x, -200);
    EXPECT_EQ(left.y, -30);
    // From the keyboard's context-menu key.
    shown = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND menu = FindWindowA("#32768", nullptr);
        if (!menu || !IsWindowVisible(menu)) return;
        KillTimer(nullptr, id);
        GetWindowRect(menu, &shownAt);
        shown = true;
        EndMenu();
    });
    ASSERT_TRUE(focusControl(n));
    sendKeys({VK_SHIFT}, VK_F10);
    EXPECT_TRUE(pump.until([] { return shown; }, 3000ms));
    KillTimer(nullptr, timer);
    if (shown) {
        EXPECT_EQ(shownAt.left, caret.x);
        EXPECT_EQ(shownAt.top, caret.y);
    }
}

TEST_F(EditorTest, LoadingFilesAsATable)
{
    using namespace std::string_literals;
    struct Case {
        const char* name;
        std::string bytes;
        INTEGER options;
        std::string shown;
        const char* box;  // the box the load shows, or null
        bool keepsPath;
    };
    const Case cases[] = {
        {"empty.txt", "", 0, "", nullptr, true},
        {"ctrlz.txt", "abc\x1A", 0, "abc", nullptr, true},
        {"middle.txt", "a\x1A" "b", 0, "a\x1A" "b", nullptr, true},
        {"nul.txt", "a\0b\0c"s, 0, "a b c", nullptr, true},
        {"lines.txt", "one\r\ntwo", kEditorRichText, "one\r\ntwo", nullptr, true},
        {"literal.txt", "{\\rtf1 {\\b x}}", kEditorRichText, "{\\rtf1 {\\b x}}", nullptr, true},
        {"report.RTF", "{\\rtf1\\ansi hello {\\b world}}", kEditorRichText, "hello world", nullptr, true},
        {"report.RTF", "{\\rtf1\\ansi hello {\\b world}}", 0, "{\\rtf1\\ansi hello {\\b world}}", nullptr, true},
        {"broken.rtf", "this is no rich text", kEditorRichText, "", "Read Error", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " options " << c.options);
        writeFile(path(c.name), c.bytes);
        std::vector<DialogResponder::Expected> boxes;
        if (c.box) boxes.push_back({c.box, DialogResponder::button(IDOK)});
        DialogResponder responder(boxes);
        const INTEGER n = editor(c.options, path(c.name));
        EXPECT_TRUE(waitUntil([&] { return responder.done(); }));
        EXPECT_EQ(text(n), c.shown);
        EXPECT_EQ(record(n).path(), c.keepsPath ? path(c.name) : "");
        EXPECT_EQ(SendMessageA(control(n), EM_GETMODIFY, 0, 0), 0);
        EXPECT_EQ(SendMessageA(control(n), EM_CANUNDO, 0, 0), 0);
        if (c.keepsPath) {
            EXPECT_EQ(windowText(frame(n)), "Notes - [" + path(c.name) + "]");
        }
        INTEGER dialog = 0, window = n;
        YYWindowClose(window, dialog);
    }
    // A file that cannot be opened: "Open Error"; it stays named only when it does not exist yet.
    {
        DialogResponder responder({{"Open Error", DialogResponder::button(IDOK)}});
        const INTEGER n = editor(0, path("missing.txt"));
        EXPECT_TRUE(waitUntil([&] { return responder.done(); }));
        EXPECT_EQ(record(n).path(), path("missing.txt"));
    }
    {
        DialogResponder responder({});  // quiet at creation
        const INTEGER n = editor(kEditorQuietInitialLoad, path("missing.txt"));
        EXPECT_TRUE(pumpThroughSentinel());
        EXPECT_EQ(record(n).path(), path("missing.txt"));
    }
    // A plain file over the control's limit is refused whole, and the name is not kept for Save.
    {
        writeFile(path("big.txt"), std::string(64, 'x'));
        const INTEGER n = editor(0);
        record(n).TextLimit = 16;
        record(n).setPath(path("big.txt"));
        DialogResponder responder({{"Read Error", DialogResponder::button(IDOK)}});
        EXPECT_EQ(YYEditorLoadFile(frame(n), 0), 0);
        EXPECT_TRUE(responder.done());
        EXPECT_EQ(text(n), "");
        EXPECT_EQ(record(n).path(), "");
        EXPECT_EQ(readFile(path("big.txt")), std::string(64, 'x'));
    }
}

TEST_F(EditorTest, AShownFileIsHeldAgainstOtherWriters)
{
    writeFile(path("held.txt"), "kept");
    const INTEGER n = editor(0, path("held.txt"));
    ASSERT_EQ(text(n), "kept");
    {
        FileHandle writer(CreateFileA(path("held.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(writer);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        FileHandle reader(CreateFileA(path("held.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_TRUE(reader);  // readers are welcome
    }
    // A read-only browser holds nothing.
    const INTEGER browser = editor(kEditorReadOnly, path("held.txt"));
    ASSERT_EQ(text(browser), "kept");
    INTEGER dialog = 0, window = n;
    YYWindowClose(window, dialog);
    FileHandle writer(CreateFileA(path("held.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(writer);
}

TEST_F(EditorTest, RichTextSavesAreReadByUnrtfAndByReloading)
{
    const INTEGER n = editor(kEditorRichText | kEditorQuietInitialLoad, path("story.rtf"));
    SendMessageA(control(n), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("Plain Strong Slanted words"));
    select(n, 6, 12);
    command(n, kCmdBold);
    select(n, 13, 20);
    command(n, kCmdItalic);
    select(n, 0, 0);
    command(n, kCmdAlignCentre);
    ToolkitPump pump;
    command(n, kCmdSave);
    ASSERT_TRUE(pump.until([&] { return pump.commands(kCmdSave) == 1; }));
    EXPECT_EQ(SendMessageA(control(n), EM_GETMODIFY, 0, 0), 0);

    const std::string words = unrtf("story.rtf", "--text");
    EXPECT_NE(words.find("Plain Strong Slanted words"), std::string::npos) << words;
    const std::string html = unrtf("story.rtf", "--html");
    EXPECT_NE(html.find("<b>Strong</b>"), std::string::npos) << html;
    EXPECT_NE(html.find("<i>Slanted</i>"), std::string::npos) << html;

    const INTEGER again = editor(kEditorRichText, path("story.rtf"));
    EXPECT_EQ(text(again), "Plain Strong Slanted words");
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    select(again, 6, 12);
    SendMessageA(control(again), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_TRUE((format.dwMask & CFM_BOLD) && (format.dwEffects & CFE_BOLD));
    select(again, 13, 20);
    SendMessageA(control(again), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_TRUE((format.dwMask & CFM_ITALIC) && (format.dwEffects & CFE_ITALIC) && !(format.dwEffects & CFE_BOLD));
    PARAFORMAT2 para{};
    para.cbSize = sizeof para;
    SendMessageA(control(again), EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&para));
    EXPECT_EQ(para.wAlignment, PFA_CENTER);
}

TEST_F(EditorTest, PlainSavesByteForByteWithABackupAndAFailingDiskLeavesTheFile)
{
    const std::string original = "line one\r\nline two\r\n\tend";
    writeFile(path("plain.txt"), original);
    const INTEGER n = editor(kEditorBackupCopy | kEditorModifiedMarker, path("plain.txt"));
    ASSERT_EQ(text(n), original);
    command(n, kCmdSave);
    EXPECT_EQ(readFile(path("plain.txt")), original);  // through the control and back, unchanged
    EXPECT_EQ(readFile(path("plain.txt.bak")), original);

    select(n, 0, 0);
    SendMessageA(control(n), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("new "));
    command(n, kCmdSave);
    EXPECT_EQ(readFile(path("plain.txt")), "new " + original);
    EXPECT_EQ(readFile(path("plain.txt.bak")), original);
    EXPECT_EQ(windowText(frame(n)), "Notes - [" + path("plain.txt") + "]");

    // A disk that fails half way: the file stays as it was, the text stays modified.
    SendMessageA(control(n), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("more "));
    editorHooks().writeFile = [](HANDLE file, const void* bytes, DWORD count, DWORD* written) {
        WriteFile(file, bytes, count / 2, written, nullptr);
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    };
    DialogResponder responder({{"Write Error", DialogResponder::button(IDOK)}});
    ToolkitPump pump;
    command(n, kCmdSave);
    EXPECT_TRUE(responder.done());
    EXPECT_EQ(readFile(path("plain.txt")), "new " + original);
    EXPECT_NE(SendMessageA(control(n), EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(windowText(frame(n)), "Notes - [" + path("plain.txt") + " *]");
    EXPECT_TRUE(pump.until([] { return true; }));
    EXPECT_EQ(pump.commands(kCmdSave), 0);  // no success reported
    // Nothing is left beside the file but the backup.
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder_ + "\\*").c_str(), &found);
    std::set<std::string> names;
    do {
        names.insert(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    EXPECT_EQ(names, (std::set<std::string>{".", "..", "plain.txt", "plain.txt.bak"}));
    // The file is held again after the failure.
    FileHandle writer(CreateFileA(path("plain.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(writer);
}

TEST_F(EditorTest, TheSaveQuestionAndItsThreeAnswers)
{
    struct Case {
        int answer;
        INTEGER result;
        bool saved;
    };
    for (const Case& c : {Case{IDYES, 1, true}, Case{IDNO, 1, false}, Case{IDCANCEL, 0, false}}) {
        SCOPED_TRACE(c.answer);
        writeFile(path("q.txt"), "old");
        const INTEGER n = editor(0, path("q.txt"));
        SendMessageA(control(n), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("new "));
        DialogResponder responder({{"Notes", DialogResponder::button(c.answer)}});
        EXPECT_EQ(YYEditorQuerySave(frame(n), record(n)), c.result);
        EXPECT_TRUE(responder.done());
        ASSERT_EQ(responder.Texts.size(), 1u);
        EXPECT_EQ(responder.Texts[0], "Do you want to save changes to " + path("q.txt") + "?");
        EXPECT_EQ(responder.Owners[0], frame(n));
        INTEGER dialog = 0, window = n;
        YYWindowClose(window, dialog);
        EXPECT_EQ(readFile(path("q.txt")), c.saved ? "new old" : "old");
    }
    // Untitled: the question without a name, and Yes goes through Save As.
    const INTEGER n = editor(0);
    SendMessageA(control(n), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("fresh"));
    DialogResponder responder({{"Notes", DialogResponder::button(IDYES)},
                               {"Save As", DialogResponder::fileName(path("fresh.txt"))}});
    EXPECT_EQ(YYEditorQuerySave(frame(n), record(n)), 1);
    ASSERT_TRUE(responder.done());
    EXPECT_EQ(responder.Texts[0], "Do you want to save changes?");
    EXPECT_EQ(readFile(path("fresh.txt")), "fresh");
    EXPECT_EQ(record(n).path(), path("fresh.txt"));
    // Save As cancelled changes nothing.
    DialogResponder cancel({{"Save As", DialogResponder::button(IDCANCEL)}});
    EXPECT_EQ(YYEditorSaveFile(frame(n), 1), 0);
    EXPECT_EQ(record(n).path(), path("fresh.txt"));
    // A read-only browser never asks.
    const INTEGER browser = editor(kEditorReadOnly);
    SendMessageA(control(browser), EM_SETMODIFY, TRUE, 0);
    DialogResponder none({});
    EXPECT_EQ(YYEditorQuerySave(frame(browser), record(browser)), 1);
    EXPECT_EQ(none.answered(), 0u);
}

TEST_F(EditorTest, FindingAsATable)
{
    const INTEGER n = editor(0);
    struct Case {
        const char* text;
        const char* find;
        DWORD flags;
        LONG from, to;
        LONG foundFrom, foundTo;  // -1: not found
    };
    const Case cases[] = {
        {"aaaa", "aa", FR_DOWN, 0, 2, 1, 3},                       // overlapping occurrences
        {"aaaa", "aa", FR_DOWN, 0, 0, 0, 2},                       // from an empty selection at 0
        {"ab ab ab", "ab", 0, 6, 8, 3, 5},                         // up
        {"ab ab ab", "ab", 0, 3, 3, 0, 2},                         // up from an empty selection
        {"cart car", "car", FR_DOWN | FR_WHOLEWORD, 0, 0, 5, 8},   // whole word
        {"Word word", "word", FR_DOWN | FR_MATCHCASE, 0, 0, 5, 9}, // match case
        {"Word word", "word", FR_DOWN, 0, 0, 0, 4},                // any case
        {"abc", "x", FR_DOWN, 1, 1, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " / " << c.find << " flags " << c.flags);
        setText(n, c.text);
        select(n, c.from, c.to);
        EditorWindowRecord& r = record(n);
        lstrcpynA(r.FindText.data(), c.find, kEditorFindLength);
        r.FindBlock.Flags = c.flags;
        DialogResponder responder(c.foundFrom < 0 ? std::vector<DialogResponder::Expected>{{"Find", DialogResponder::button(IDOK)}}
                                                  : std::vector<DialogResponder::Expected>{});
        EXPECT_EQ(YYEditorFindNext(frame(n), r, r.FindBlock), c.foundFrom < 0 ? 0 : 1);
        if (c.foundFrom < 0) {
            EXPECT_TRUE(responder.done());
            EXPECT_EQ(responder.Texts.at(0), "End of text reached");
            EXPECT_EQ(responder.Owners.at(0), frame(n));
            EXPECT_EQ(selection(n).cpMin, c.from);
            EXPECT_EQ(selection(n).cpMax, c.to);
        } else {
            EXPECT_EQ(selection(n).cpMin, c.foundFrom);
            EXPECT_EQ(selection(n).cpMax, c.foundTo);
        }
    }
    // Replace with match case off replaces the selected upper-case word; Replace All replaces
    // every occurrence and ends at the end of the text.
    EditorWindowRecord& r = record(n);
    setText(n, "WORD and word and word");
    lstrcpynA(r.FindText.data(), "word", kEditorFindLength);
    lstrcpynA(r.ReplaceText.data(), "term", kEditorFindLength);
    r.FindBlock.Flags = FR_DOWN | FR_REPLACEALL;
    DialogResponder endOfText({{"Find", DialogResponder::button(IDOK)}});
    SendMessageA(frame(n), windowEngineState().FindReplaceMessage, 0, reinterpret_cast<LPARAM>(&r.FindBlock));
    EXPECT_TRUE(endOfText.done());
    EXPECT_EQ(text(n), "term and term and term");
    // A replace text that holds the find text still ends.
    setText(n, "a a");
    lstrcpynA(r.FindText.data(), "a", kEditorFindLength);
    lstrcpynA(r.ReplaceText.data(), "aa", kEditorFindLength);
    DialogResponder again({{"Find", DialogResponder::button(IDOK)}});
    SendMessageA(frame(n), windowEngineState().FindReplaceMessage, 0, reinterpret_cast<LPARAM>(&r.FindBlock));
    EXPECT_EQ(text(n), "aa aa");
}

TEST_F(EditorTest, FindAndReplaceThroughTheRealDialogs)
{
    const INTEGER n = editor(kEditorRichText);
    setText(n, "one needle two needle");
    select(n, 0, 0);
    ToolkitPump pump;
    command(n, kCmdFind);
    HWND find = record(n).FindDialog;
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(windowText(find), "Find");
    SetDlgItemTextA(find, 0x480, "needle");
    DialogResponder::press(find, IDOK);  // Find Next
    ASSERT_TRUE(pump.until([n] { return selection(n).cpMin == 4; }));
    EXPECT_EQ(selection(n).cpMax, 10);
    DialogResponder::press(find, IDOK);
    ASSERT_TRUE(pump.until([n] { return selection(n).cpMin == 15; }));
    // At the end: the box belongs to the open dialog, and the editor is disabled meanwhile.
    DialogResponder responder({{"Find", DialogResponder::button(IDOK)}}, {find});
    responder.Watched = frame(n);
    DialogResponder::press(find, IDOK);
    ASSERT_TRUE(pump.until([&] { return responder.done(); }));
    ASSERT_EQ(responder.Owners.size(), 1u);
    EXPECT_EQ(responder.Owners[0], find);
    EXPECT_FALSE(responder.OwnerEnabled[0]);
    ASSERT_TRUE(pump.until([n] { return IsWindowEnabled(frame(n)) != 0; }));
    // Find Next from the menu repeats the search; the dialog's Cancel ends it and the record forgets it.
    DialogResponder::press(find, IDCANCEL);
    ASSERT_TRUE(pump.until([n] { return record(n).FindDialog == nullptr; }));

    // Replace All through the replace dialog.
    command(n, kCmdReplace);
    HWND replace = record(n).FindDialog;
    ASSERT_NE(replace, nullptr);
    EXPECT_EQ(windowText(replace), "Replace");
    SetDlgItemTextA(replace, 0x480, "needle");
    SetDlgItemTextA(replace, 0x481, "pin");
    DialogResponder end({{"Find", DialogResponder::button(IDOK)}}, {replace});
    DialogResponder::press(replace, 0x401);  // Replace All
    ASSERT_TRUE(pump.until([&] { return end.done(); }));
    EXPECT_EQ(text(n), "one pin two pin");
    // The dialog goes with the window, before the record it works on.
    INTEGER dialog = 0, window = n;
    YYWindowClose(window, dialog);
    EXPECT_FALSE(IsWindow(replace));
}

TEST_F(EditorTest, PastingRichTextIntoAPlainEditorIsOnePlainStep)
{
    const INTEGER rich = editor(kEditorRichText);
    setText(rich, "bold words");
    select(rich, 0, 4);
    command(rich, kCmdBold);
    select(rich, 0, 10);
    command(rich, kCmdCopy);
    ASSERT_TRUE(IsClipboardFormatAvailable(RegisterClipboardFormatA("Rich Text Format")));
    const INTEGER plain = editor(0);
    setText(plain, "[]");
    SendMessageA(control(plain), EM_EMPTYUNDOBUFFER, 0, 0);
    select(plain, 1, 1);
    command(plain, kCmdPaste);
    EXPECT_EQ(text(plain), "[bold words]");
    SendMessageA(control(plain), EM_UNDO, 0, 0);
    EXPECT_EQ(text(plain), "[]");
    // An empty clipboard changes nothing.
    OpenClipboard(frame(plain));
    EmptyClipboard();
    CloseClipboard();
    command(plain, kCmdPaste);
    EXPECT_EQ(text(plain), "[]");
}

TEST_F(EditorTest, ProtectedTextIsGuardedAndBookmarksFollowEdits)
{
    const INTEGER n = editor(kEditorRichText);
    setText(n, "0123456789");
    // Wine's control raises no protected notice of its own: a sent one shows the answer.
    ENPROTECTED notice{};
    notice.nmhdr.hwndFrom = control(n);
    notice.nmhdr.idFrom = 1002;
    notice.nmhdr.code = EN_PROTECTED;
    notice.msg = WM_CHAR;
    EXPECT_NE(SendMessageA(frame(n), WM_NOTIFY, 1002, reinterpret_cast<LPARAM>(&notice)), 0);
    notice.msg = WM_COPY;
    EXPECT_EQ(SendMessageA(frame(n), WM_NOTIFY, 1002, reinterpret_cast<LPARAM>(&notice)), 0);
    record(n).Protection = 0;
    notice.msg = WM_CHAR;
    EXPECT_EQ(SendMessageA(frame(n), WM_NOTIFY, 1002, reinterpret_cast<LPARAM>(&notice)), 0);
    record(n).Protection = 1;

    select(n, 5, 5);
    command(n, kCmdSetBookmark);
    EXPECT_EQ(record(n).Bookmarks[0], 5);
    select(n, 0, 0);
    SendMessageA(control(n), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("ab"));  // before: it moves
    EXPECT_EQ(record(n).Bookmarks[0], 7);
    select(n, 10, 10);
    SendMessageA(control(n), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("zz"));  // after: it stays
    EXPECT_EQ(record(n).Bookmarks[0], 7);
    select(n, 0, 0);
    command(n, kCmdGotoBookmark);
    EXPECT_EQ(selection(n).cpMin, 7);
    // Lengths count characters, not the rows a wrapped paragraph takes on screen.
    const INTEGER wrapped = editor(kEditorWrap);
    setText(wrapped, std::string(600, 'w') + "\r\nend");
    EXPECT_EQ(YYEditorControlLength(record(wrapped)), 604);
    EXPECT_EQ(YYEditorWindowTextLength(record(wrapped), true), 605);
    EXPECT_EQ(YYEditorCountReturns(record(wrapped), 604), 1);
}

TEST_F(EditorTest, ClosingByModeAndAsASplitWindowPane)
{
    // Mode 2: event 9, and the window stays for the program to close.
    {
        const INTEGER n = editor(0);
        drainEvents();
        SendMessageA(frame(n), WM_CLOSE, 0, 0);
        const DeliveredEvents events = eventsBeforeSentinel();
        ASSERT_TRUE(events.complete);
        ASSERT_TRUE(events.has(kEventClose));
        EXPECT_EQ(events.of(kEventClose)[0][0], n);
        EXPECT_TRUE(IsWindow(frame(n)));
        // Exit asks the same way, and a cancelled question keeps everything.
        SendMessageA(control(n), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("x"));
        DialogResponder responder({{"Notes", DialogResponder::button(IDCANCEL)}});
        command(n, kCmdExit);
        const DeliveredEvents after = eventsBeforeSentinel();
        EXPECT_TRUE(responder.done());
        EXPECT_FALSE(after.has(kEventClose));
    }
    // Mode 1: the call returns once the window has closed; what it held is kept for the program.
    {
        const INTEGER n = child();
        WindowSetCurrent(n);
        static HWND closing = nullptr;
        closing = frame(n);
        const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            EditorWindowRecord* r = YYEditorRecord(closing);
            if (!r) return;
            SendMessageA(r->RichEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("ab\r\ncd"));
            CHARRANGE range{3, 4};
            SendMessageA(r->RichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
            SendMessageA(r->RichEdit, EM_SETMODIFY, FALSE, 0);
            PostMessageA(closing, WM_CLOSE, 0, 0);
        });
        INTEGER status = 0, mode = 1;
        WEditorOpen(status, mode, 0, 0, 4, 11, -1, -1, "", "");
        KillTimer(nullptr, timer);
        EXPECT_EQ(status, 0);
        EXPECT_FALSE(IsWindow(closing));
        EXPECT_FALSE(slot(n).Frame);
        const EditorLastClosed& last = editorLastClosed();
        EXPECT_EQ(last.Saved, 1);
        EXPECT_EQ(last.TextLength, 6);
        EXPECT_EQ(last.SelectionStart, 4);  // a line end counts two for the program
        EXPECT_EQ(last.SelectionEnd, 5);
        EXPECT_EQ(last.FontKind, 4);
        EXPECT_EQ(last.PointSize, 11);
    }
    // Mode 1 also ends when the program is told to quit; the quit goes on to the outer loop.
    {
        const INTEGER n = child();
        WindowSetCurrent(n);
        const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            PostQuitMessage(7);
        });
        INTEGER status = 0, mode = 1;
        WEditorOpen(status, mode, 0, 0, 3, 0, -1, -1, "", "");
        KillTimer(nullptr, timer);
        EXPECT_FALSE(slot(n).Frame);
        MSG quit{};
        ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(quit.wParam, 7u);
    }
    // A split window whose editor pane holds changes asks before it closes.
    {
        WindowSetCurrent(0);
        std::array<INTEGER, 2> panes{}, layouts{0, 0};
        YYSplitWindowCreate(panes, 0, {0, 0}, -1, {0, 0}, {kNoBars, kNoBars}, layouts, {-1, -1}, "first", "second");
        pumpPending();
        ASSERT_GT(panes[1], 0);
        WindowSetCurrent(panes[0]);
        INTEGER status = 0, mode = 2;
        WEditorOpen(status, mode, 0, 0, 3, 0, -1, 0, "", "");
        ASSERT_NE(YYEditorRecord(frame(panes[0])), nullptr);
        EXPECT_NE(record(panes[0]).PaneAccelerators.get(), nullptr);
        EXPECT_EQ(YYWindowCloseQuery(frame(0)), 1);  // nothing changed: no question
        SendMessageA(control(panes[0]), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("pane text"));
        {
            DialogResponder responder({{"first", DialogResponder::button(IDCANCEL)}});
            EXPECT_EQ(YYWindowCloseQuery(frame(0)), 0);
            EXPECT_TRUE(responder.done());
        }
        {
            DialogResponder responder({{"first", DialogResponder::button(IDNO)}});
            EXPECT_EQ(YYWindowCloseQuery(frame(0)), 1);
            EXPECT_TRUE(responder.done());
        }
    }
}

// As a new user would: a rich-text editor on a sample file, words typed, made bold and saved; the
// screen is kept as a PNG beside the test's results, and unrtf reads the new words.
TEST_F(EditorTest, ANewUserTypesMakesBoldAndSaves)
{
    writeFile(path("sample.rtf"), "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Survey notes from the field.\\par}");
    const INTEGER n = editor(kEditorRichText | kEditorModifiedMarker, path("sample.rtf"));
    ASSERT_EQ(text(n).substr(0, 28), "Survey notes from the field.");
    ASSERT_TRUE(focusControl(n));
    ToolkitPump pump;
    sendKeys({VK_CONTROL}, VK_END);
    typeText(" Strong signal");
    ASSERT_TRUE(pump.until([n] { return text(n).find("Strong signal") != std::string::npos; })) << text(n);
    const LONG at = static_cast<LONG>(text(n).find("Strong"));
    select(n, at, at + 6);
    sendKeys({VK_CONTROL}, 'B');
    ASSERT_TRUE(pump.until([n] { return (SendMessageA(record(n).Toolbar, TB_GETSTATE, kCmdBold, 0) & TBSTATE_CHECKED) != 0; }));
    EXPECT_EQ(windowText(frame(n)), "Notes - [" + path("sample.rtf") + " *]");
    sendKeys({VK_CONTROL}, 'S');
    ASSERT_TRUE(pump.until([&] { return pump.commands(kCmdSave) == 1; }));
    EXPECT_EQ(windowText(frame(n)), "Notes - [" + path("sample.rtf") + "]");
    // The screen as the user saw it.
    const std::string shot = "Z:\\tmp\\qv-editor-demo.bmp";
    {
        RECT r{};
        GetWindowRect(frame(n), &r);
        WindowDc screen(nullptr);
        MemoryDcHandle memory(CreateCompatibleDC(screen.get()));
        BitmapHandle picture(CreateCompatibleBitmap(screen.get(), r.right - r.left, r.bottom - r.top));
        {
            DcSelection selected(memory.get(), picture.get());
            BitBlt(memory.get(), 0, 0, r.right - r.left, r.bottom - r.top, screen.get(), r.left, r.top, SRCCOPY);
        }
        BITMAPINFOHEADER header{sizeof header, r.right - r.left, r.bottom - r.top, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        std::string pixels(static_cast<std::size_t>(((header.biWidth * 3 + 3) & ~3) * header.biHeight), '\0');
        GetDIBits(memory.get(), static_cast<HBITMAP>(picture.get()), 0, static_cast<UINT>(header.biHeight), pixels.data(),
                  reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
        BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof header + pixels.size()), 0, 0,
                              static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof header)};
        std::ofstream out(shot, std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof file);
        out.write(reinterpret_cast<const char*>(&header), sizeof header);
        out << pixels;
    }
    EXPECT_TRUE(hostShell("mkdir -p /tmp/qv-editor-shots && convert /tmp/qv-editor-demo.bmp /tmp/qv-editor-shots/editor-demo.png; rm -f /tmp/qv-editor-demo.bmp"));
    EXPECT_GT(readFile("Z:\\tmp\\qv-editor-shots\\editor-demo.png").size(), 1000u);
    const std::string words = unrtf("sample.rtf", "--text");
    EXPECT_NE(words.find("Survey notes from the field. Strong signal"), std::string::npos) << words;
    const std::string html = unrtf("sample.rtf", "--html");
    EXPECT_NE(html.find("<b>Strong</b>"), std::string::npos) << html;
}
