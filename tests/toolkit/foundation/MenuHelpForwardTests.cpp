// Menu help handed on to editor windows, a split window losing its command pane, and the close
// question of a text editor with several open files, with real windows under Wine. The editors
// themselves are stood in for by frame records of their kind and a window procedure that, like an
// editor's, passes what it does not handle on to the toolkit's frame procedure.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/foundation/ChildWindows.h"
#include "toolkit/foundation/CommonControls.h"
#include "toolkit/foundation/EditorWindowRecord.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/Menus.h"
#include "toolkit/foundation/WindowProcs.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"

using namespace GuiHarness;
using namespace ToolkitSession;

namespace {

constexpr std::array<INTEGER, 4> kNoBars{0, 0, 0, 0};
constexpr INTEGER kMenu = 30001;  // its help texts know 40024 and not 40002

// An editor's frame record: the text editor's own record type for kind 1, the grid editor's
// words (the kind in word 1) for kind 4.
struct EditorRecordStandIn {
    EditorWindowRecord Text;
    std::array<std::intptr_t, 128> Words{};
    INTEGER Kind = kWindowTextEditor;
    std::intptr_t& word(int n) { return Words[static_cast<std::size_t>(n - 1)]; }
    std::intptr_t statusBar() const
    {
        return Kind == kWindowTextEditor ? reinterpret_cast<std::intptr_t>(Text.StatusBar) : Words[kEditorStatusBarWord - 1];
    }
    void setStatusBar(std::intptr_t bar)
    {
        Text.StatusBar = reinterpret_cast<HWND>(bar);
        Words[kEditorStatusBarWord - 1] = bar;
    }
    void* attached() { return Kind == kWindowTextEditor ? static_cast<void*>(&Text) : static_cast<void*>(Words.data()); }
};

// The status bar an editor frame's record names, whatever its kind.
std::intptr_t recordStatusBar(HWND window)
{
    if (const EditorWindowRecord* text = YYTextEditorRecord(window)) return reinterpret_cast<std::intptr_t>(text->StatusBar);
    const std::intptr_t* words = YYEditorRecordWords(window);
    return words ? words[kEditorStatusBarWord - 1] : 0;
}

// What the stand-in editor procedure saw.
struct Seen {
    HWND Window;
    UINT Message;
    WPARAM WParam;
    std::intptr_t StatusBarWord;  // the record's status-bar word at that moment
};

struct EditorProcedureState {
    std::vector<Seen> Messages;
    // Like an editor with its own help texts: it writes them into the status bar its record names
    // and keeps the highlight; otherwise every highlight goes on to the frame procedure.
    bool ShowsOwnTexts = false;
};

EditorProcedureState& editorProcedure()
{
    static EditorProcedureState state;
    return state;
}

LRESULT CALLBACK editorFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    EditorProcedureState& state = editorProcedure();
    if (message == WM_MENUSELECT || message == WM_COMMAND) {
        const std::intptr_t bar = recordStatusBar(window);
        state.Messages.push_back({window, message, wParam, bar});
        if (message == WM_COMMAND) return 0;
        if (state.ShowsOwnTexts && bar) {
            const std::string text = "Editor help " + std::to_string(LOWORD(wParam));
            SendMessageA(reinterpret_cast<HWND>(bar), SB_SETTEXTA, 255 | SBT_NOBORDERS,
                         reinterpret_cast<LPARAM>(text.c_str()));
            return 0;
        }
    }
    return YYFrameWindowProc(window, message, wParam, lParam);
}

std::vector<Seen> highlights()
{
    std::vector<Seen> result;
    for (const Seen& s : editorProcedure().Messages)
        if (s.Message == WM_MENUSELECT) result.push_back(s);
    return result;
}

class MenuHelpForwardTest : public ::testing::Test {
protected:
    void TearDown() override { closeAll(); }
    static void openMain(INTEGER menu = 0)
    {
        WindowOpen(39, 20, 20, 600, 400, menu);  // caption boxes and a status bar
        pumpPending();
    }
    static void closeAll()
    {
        childWindowHooks() = ChildWindowHooks{};
        editorProcedure() = EditorProcedureState{};
        closeAllWindows();
    }
    static WindowSlot& slot(INTEGER n) { return windowSlotTable().Slots[static_cast<std::size_t>(n)]; }
    static HWND frame(INTEGER n) { return slot(n).Frame.get(); }
    static SplitWindowRecord& split(INTEGER n) { return *YYSplitRecord(frame(n)); }
    // Splits the current window; returns the two pane numbers.
    static std::array<INTEGER, 2> splitCurrent(INTEGER splitFlags, std::array<INTEGER, 2> paneFlags,
                                               std::array<INTEGER, 2> menus)
    {
        std::array<INTEGER, 2> panes{}, layouts{0, 0};
        YYSplitWindowCreate(panes, splitFlags, paneFlags, -1, menus, {kNoBars, kNoBars}, layouts, {-1, -1}, "first",
                            "second");
        pumpPending();
        return panes;
    }
    static void becomeEditor(INTEGER window, EditorRecordStandIn& record, INTEGER kind)
    {
        record.Kind = kind;
        record.Text.Kind = kind;
        record.word(1) = kind;
        SetWindowLongPtrA(frame(window), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record.attached()));
        SetWindowLongPtrA(frame(window), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&editorFrameProc));
    }
    static std::string simpleText(HWND bar) { return statusBarText(bar, SB_SIMPLEID); }
    // The window a menu command on a frame is raised for, or -99 when none is raised.
    static INTEGER commandWindow(HWND target)
    {
        CurrentEventState& state = currentEventState();
        state.Recorded = RecordedEvent{};
        state.WaitState = 1;
        SendMessageA(target, WM_COMMAND, MAKEWPARAM(40002, 0), 0);
        state.WaitState = 0;
        return state.Recorded.Type == kEventCommand ? state.Recorded.Window : -99;
    }
    // Kept by the fixture: a frame must never outlive the record it names.
    std::array<EditorRecordStandIn, 2> editors_{};
    Watchdog watchdog_{std::chrono::milliseconds(60000)};
};

}  // namespace

TEST_F(MenuHelpForwardTest, AHighlightWithoutHelpTextGoesOnToTheEditorWithTheStatusBarLent)
{
    openMain();
    const std::intptr_t otherBar = reinterpret_cast<std::intptr_t>(slot(0).StatusBar);
    struct Case {
        INTEGER kind;
        std::intptr_t ownBar;  // the editor's status-bar word before the menu opens
        bool passedOn;
    };
    const Case cases[] = {
        {kWindowTextEditor, 0, true},
        {kWindowTextEditor, otherBar, true},
        {kWindowGridEditor, 0, true},
        {kWindowGridEditor, otherBar, true},
        {kWindowPlain, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " own bar " << c.ownBar);
        INTEGER window = 0, layout = 0;
        YYChildWindowCreate(40, 40, 300, 200, window, kStyleSystemMenu | kStyleStatusBar, kMenu, kNoBars, layout, 0,
                            -1, "editor");
        pumpPending();
        ASSERT_GT(window, 0);
        EditorRecordStandIn& record = editors_[0];
        record = EditorRecordStandIn{};
        record.setStatusBar(c.ownBar);
        becomeEditor(window, record, c.kind);
        if (c.kind == kWindowPlain) SetWindowLongPtrA(frame(window), GWLP_USERDATA, 0);
        HWND bar = slot(window).StatusBar;
        HMENU file = GetSubMenu(slot(window).Menu, 0), view = GetSubMenu(slot(window).Menu, 1);
        editorProcedure().Messages.clear();

        SendMessageA(frame(window), WM_ENTERMENULOOP, 0, 0);
        // A matched text is shown and kept: the editor sees only the highlight the system sent it.
        SendMessageA(frame(window), WM_MENUSELECT, MAKEWPARAM(40024, MF_STRING), reinterpret_cast<LPARAM>(view));
        EXPECT_EQ(simpleText(bar), "Autoscale Graphs");
        EXPECT_EQ(highlights().size(), 1u);
        // So is a system-menu text.
        SendMessageA(frame(window), WM_MENUSELECT, MAKEWPARAM(SC_CLOSE, MF_SYSMENU), 0);
        EXPECT_EQ(simpleText(bar), "Closes the window");
        EXPECT_EQ(highlights().size(), 2u);

        // Without a text the editor gets the highlight once more, with this bar in its record;
        // handing it back to the frame procedure does not start another round.
        SendMessageA(frame(window), WM_MENUSELECT, MAKEWPARAM(40002, MF_STRING), reinterpret_cast<LPARAM>(file));
        const std::vector<Seen> seen = highlights();
        ASSERT_EQ(seen.size(), c.passedOn ? 4u : 3u);
        EXPECT_EQ(seen[2].StatusBarWord, c.ownBar);
        if (c.passedOn) {
            EXPECT_EQ(seen[3].StatusBarWord, reinterpret_cast<std::intptr_t>(bar));
            EXPECT_EQ(seen[3].WParam, MAKEWPARAM(40002, MF_STRING));
        }
        EXPECT_EQ(simpleText(bar), "");
        EXPECT_EQ(record.statusBar(), c.ownBar);  // given back
        SendMessageA(frame(window), WM_EXITMENULOOP, 0, 0);
        EXPECT_FALSE(SendMessageA(bar, SB_ISSIMPLE, 0, 0));

        INTEGER dialog = 0;
        YYWindowClose(window, dialog);
        pumpPending();
    }
}

TEST_F(MenuHelpForwardTest, AnEditorPaneWritesItsTextIntoTheSplitWindowsBar)
{
    openMain();
    WindowSetCurrent(0);
    const auto panes = splitCurrent(0, {kPaneStatusBar, 0}, {kMenu, 0});
    ASSERT_GT(panes[1], 0);
    HWND mainBar = slot(0).StatusBar, paneBar = slot(panes[0]).StatusBar;
    ASSERT_NE(paneBar, nullptr);
    EditorRecordStandIn& record = editors_[0];
    record.setStatusBar(reinterpret_cast<std::intptr_t>(paneBar));
    becomeEditor(panes[0], record, kWindowTextEditor);
    editorProcedure().ShowsOwnTexts = true;
    SetFocus(slot(panes[0]).Client);
    pumpPending();
    ASSERT_EQ(GetMenu(frame(0)), slot(panes[0]).Menu);  // the split frame shows the editor's menu
    HMENU file = GetSubMenu(slot(panes[0]).Menu, 0), view = GetSubMenu(slot(panes[0]).Menu, 1);

    SendMessageA(frame(0), WM_ENTERMENULOOP, 0, 0);
    SendMessageA(frame(0), WM_MENUSELECT, MAKEWPARAM(40024, MF_STRING), reinterpret_cast<LPARAM>(view));
    EXPECT_EQ(simpleText(mainBar), "Autoscale Graphs");
    EXPECT_TRUE(highlights().empty());
    SendMessageA(frame(0), WM_MENUSELECT, MAKEWPARAM(40002, MF_STRING), reinterpret_cast<LPARAM>(file));
    ASSERT_EQ(highlights().size(), 1u);
    EXPECT_EQ(highlights()[0].Window, frame(panes[0]));
    EXPECT_EQ(highlights()[0].StatusBarWord, reinterpret_cast<std::intptr_t>(mainBar));
    EXPECT_EQ(simpleText(mainBar), "Editor help 40002");
    EXPECT_EQ(statusBarText(paneBar, 0), "");
    EXPECT_EQ(record.statusBar(), reinterpret_cast<std::intptr_t>(paneBar));
    SendMessageA(frame(0), WM_EXITMENULOOP, 0, 0);

    // A text editor is also found by its own menu handle when no slot holds that menu.
    EditorRecordStandIn& second = editors_[1];
    becomeEditor(panes[1], second, kWindowTextEditor);
    HMENU own = CreateMenu();
    AppendMenuA(own, MF_STRING, 40002, "&Open");
    second.Text.MenuBar = own;
    SetMenu(frame(0), own);
    editorProcedure().Messages.clear();
    SendMessageA(frame(0), WM_ENTERMENULOOP, 0, 0);
    SendMessageA(frame(0), WM_MENUSELECT, MAKEWPARAM(40002, MF_STRING), reinterpret_cast<LPARAM>(own));
    SendMessageA(frame(0), WM_EXITMENULOOP, 0, 0);
    ASSERT_EQ(highlights().size(), 1u);
    EXPECT_EQ(highlights()[0].Window, frame(panes[1]));
    SetMenu(frame(0), nullptr);
    DestroyMenu(own);
}

TEST_F(MenuHelpForwardTest, ASplitWindowForgetsItsClosedCommandPaneAndThePaneMenuItCarried)
{
    // The split window either carries the command pane's menu as its own (as an editor pane gives
    // it to a split without a menu) or keeps a menu of its own. The pane is one of its own two,
    // whose close undoes the split, or a pane of a split inside it, which leaves it split.
    struct Case {
        bool ownMenu, nested;
    };
    for (const Case c : {Case{false, false}, Case{true, false}, Case{false, true}, Case{true, true}}) {
        SCOPED_TRACE(testing::Message() << (c.ownMenu ? "own menu" : "carries the pane's menu")
                                        << (c.nested ? ", nested pane" : ", own pane"));
        openMain(c.ownMenu ? kMenu : 0);
        WindowSetCurrent(0);
        auto panes = splitCurrent(0, {0, 0}, {c.nested ? 0 : kMenu, 0});
        ASSERT_GT(panes[1], 0);
        if (c.nested) {
            WindowSetCurrent(panes[0]);
            panes = splitCurrent(kSplitStacked, {0, 0}, {kMenu, 0});
            ASSERT_GT(panes[1], 0);
        }
        const INTEGER pane = panes[0];
        HMENU paneMenu = slot(pane).Menu, splitMenu = slot(0).Menu;
        EditorRecordStandIn& record = editors_[0];
        record = EditorRecordStandIn{};
        becomeEditor(pane, record, kWindowTextEditor);
        split(0).Words[18] = reinterpret_cast<std::intptr_t>(frame(pane));
        if (!c.ownMenu) slot(0).Menu = paneMenu;
        SetFocus(slot(pane).Client);
        pumpPending();
        ASSERT_EQ(GetMenu(frame(0)), paneMenu);
        commandWindow(frame(0));
        ASSERT_EQ(editorProcedure().Messages.size(), 1u);  // commands went to the editor pane
        ASSERT_EQ(editorProcedure().Messages[0].Message, static_cast<UINT>(WM_COMMAND));

        INTEGER closing = pane, dialog = 0;
        YYWindowClose(closing, dialog);
        pumpPending();
        ASSERT_FALSE(slot(pane).Frame);
        ASSERT_EQ(YYSplitRecord(frame(0)) != nullptr, c.nested);
        if (c.nested) {
            EXPECT_EQ(split(0).Words[18], 0);
            EXPECT_EQ(split(0).Words[17], 0);  // nor is it the last active pane any more
        }
        EXPECT_EQ(slot(0).Menu, c.ownMenu ? splitMenu : nullptr);
        EXPECT_EQ(GetMenu(frame(0)), slot(0).Menu);
        EXPECT_FALSE(IsMenu(paneMenu));  // gone with its pane, not left behind

        // Commands and help are now the split window's own.
        editorProcedure().Messages.clear();
        EXPECT_EQ(commandWindow(frame(0)), 0);
        HWND bar = slot(0).StatusBar;
        SendMessageA(frame(0), WM_ENTERMENULOOP, 0, 0);
        SendMessageA(frame(0), WM_MENUSELECT, MAKEWPARAM(40024, MF_STRING), 0);
        EXPECT_EQ(simpleText(bar), c.ownMenu ? "Autoscale Graphs" : "");
        SendMessageA(frame(0), WM_EXITMENULOOP, 0, 0);
        EXPECT_TRUE(editorProcedure().Messages.empty());
        closeAll();
    }
}

TEST_F(MenuHelpForwardTest, ClosingAWindowThatHoldsASplitWithACommandPaneLeavesNoMenuBehind)
{
    openMain();
    INTEGER child = 0, layout = 0;
    YYChildWindowCreate(30, 30, 300, 200, child, kStyleSystemMenu, 0, kNoBars, layout, 0, -1, "holder");
    ASSERT_GT(child, 0);
    WindowSetCurrent(child);
    const auto outer = splitCurrent(0, {0, 0}, {0, kMenu});
    ASSERT_GT(outer[1], 0);
    // The first pane is split again and carries its own first pane's menu as the command pane's.
    const INTEGER inner = outer[0];
    WindowSetCurrent(inner);
    const auto panes = splitCurrent(kSplitStacked, {0, 0}, {kMenu, kMenu});
    ASSERT_GT(panes[1], 0);
    HMENU paneMenu = slot(panes[0]).Menu, otherMenu = slot(panes[1]).Menu;
    ASSERT_TRUE(IsMenu(paneMenu) && IsMenu(otherMenu));
    split(inner).Words[18] = reinterpret_cast<std::intptr_t>(frame(panes[0]));
    slot(inner).Menu = paneMenu;
    // The holder's frame shows the other outer pane's menu, so no frame holds the shared one.
    SetFocus(slot(outer[1]).Client);
    pumpPending();
    ASSERT_EQ(GetMenu(frame(child)), slot(outer[1]).Menu);

    INTEGER closing = child, dialog = 0;
    YYWindowClose(closing, dialog);
    pumpPending();
    for (INTEGER n : {child, inner, panes[0], panes[1]}) EXPECT_FALSE(slot(n).Frame);
    EXPECT_FALSE(IsMenu(paneMenu));  // destroyed once, by its last holder
    EXPECT_FALSE(IsMenu(otherMenu));
}

namespace {

// The open-file list of a stand-in text editor: entries 1 to 4.
struct FileListStandIn {
    std::array<INTEGER, 5> Fields{};
    std::array<std::string, 5> Names;
    std::string Answers;               // 'y' lets the window close, anything else keeps it open
    std::vector<std::string> Asked;    // the editor's current file name at each question
    int StatusUpdates = 0;
    INTEGER HighestEntry = 0;          // looked at
};

FileListStandIn& fileList()
{
    static FileListStandIn list;
    return list;
}

INTEGER askToSave(HWND pane, INTEGER kind)
{
    FileListStandIn& list = fileList();
    EXPECT_EQ(kind, kWindowTextEditor);
    list.Asked.emplace_back(YYTextEditorRecord(pane)->path());
    const std::size_t n = list.Asked.size() - 1;
    return n < list.Answers.size() && list.Answers[n] == 'y' ? 1 : 0;
}

void installFileListHooks()
{
    ChildWindowHooks& hooks = childWindowHooks();
    hooks.editorFileListGetField = [](INTEGER, INTEGER entry, INTEGER& value) {
        FileListStandIn& list = fileList();
        list.HighestEntry = std::max(list.HighestEntry, entry);
        value = entry < static_cast<INTEGER>(list.Fields.size()) ? list.Fields.at(entry) : 1;
    };
    // Like the editor's own, it leaves the current number to the caller.
    hooks.editorFileListSelect = [](INTEGER, INTEGER& current, INTEGER entry) {
        EXPECT_NE(current, entry);
    };
    hooks.editorFileListPutName = [](INTEGER, INTEGER entry, const char* name, INTEGER) {
        fileList().Names.at(entry) = name;
    };
    hooks.editorFileListGetName = [](INTEGER, INTEGER entry, char* name, INTEGER length) {
        lstrcpynA(name, fileList().Names.at(entry).c_str(), length);
    };
    hooks.editorUpdateStatus = [](HWND) { ++fileList().StatusUpdates; };
}

}  // namespace

TEST_F(MenuHelpForwardTest, CloseQueryAsksAboutEveryUnsavedFileOfATextEditorPane)
{
    struct Case {
        INTEGER count;
        bool listHooks;
        const char* answers;
        std::vector<std::string> asked;
        INTEGER result, finalCurrent, highestEntry;
    };
    // The editor shows entry 2 under a new name; entry 3 is saved (its field reads 1).
    const Case cases[] = {
        {4, true, "yyy", {"b-renamed", "a", "d"}, 1, 4, 4},
        {4, true, "yn", {"b-renamed", "a"}, 0, 1, 1},
        {4, true, "n", {"b-renamed"}, 0, 2, 0},
        {1, true, "y", {"b-renamed"}, 1, 2, 0},
        {4, false, "y", {"b-renamed"}, 1, 2, 0},  // without the list routines: one question, as before
        {400, true, "yyy", {"b-renamed", "a", "d"}, 1, 4, 20},  // a list never holds more than 20 files
    };
    openMain();
    WindowSetCurrent(0);
    const auto panes = splitCurrent(0, {0, 0}, {0, 0});
    ASSERT_GT(panes[1], 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "count " << c.count << " answers " << c.answers);
        childWindowHooks() = ChildWindowHooks{};
        childWindowHooks().editorQuerySave = askToSave;
        if (c.listHooks) installFileListHooks();
        FileListStandIn& list = fileList();
        list = FileListStandIn{};
        list.Fields = {-1, 0, 0, 1, 0};
        list.Names = {"", "a", "b", "c", "d"};
        list.Answers = c.answers;
        EditorRecordStandIn& record = editors_[0];
        record = EditorRecordStandIn{};
        record.Text.CurrentFile = 2;
        record.Text.FileCount = c.count;
        record.Text.setPath("b-renamed");
        becomeEditor(panes[1], record, kWindowTextEditor);

        EXPECT_EQ(YYWindowCloseQuery(frame(0)), c.result);
        EXPECT_EQ(list.Asked, c.asked);
        EXPECT_EQ(record.Text.CurrentFile, c.finalCurrent);
        EXPECT_EQ(list.HighestEntry, c.highestEntry);
        if (c.asked.size() > 1) {
            EXPECT_EQ(list.Names[2], "b-renamed");  // the edited name went back into its entry
            EXPECT_EQ(list.StatusUpdates, static_cast<int>(c.asked.size()) - 1);
        }
        SetWindowLongPtrA(frame(panes[1]), GWLP_USERDATA, 0);
    }
}
