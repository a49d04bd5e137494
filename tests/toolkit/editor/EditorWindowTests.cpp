// Editor windows over Wine's rich-edit control: opening, the control and its fonts, menus, keys and
// toolbar, title and status line, real keys and mouse, protection, bookmarks and closing.
#include "tests/toolkit/editor/EditorFixture.h"

using namespace EditorTesting;

namespace {

// What the timers below see and leave for the test: timers are plain procedures, so that they
// keep the system's calling convention in the 32-bit program too.
struct TimerState {
    HWND Closing = nullptr;
    INTEGER MenuItems = -1;
    RECT ShownAt{};
    bool Shown = false;
};
TimerState& timerState()
{
    static TimerState state;
    return state;
}

VOID CALLBACK closeWithMenuCount(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    timerState().MenuItems = GetMenuItemCount(GetMenu(timerState().Closing));
    PostMessageA(timerState().Closing, WM_CLOSE, 0, 0);
}

VOID CALLBACK noteAndEndMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND menu = FindWindowA("#32768", nullptr);
    if (!menu || !IsWindowVisible(menu)) return;
    KillTimer(nullptr, id);
    GetWindowRect(menu, &timerState().ShownAt);
    timerState().Shown = true;
    EndMenu();
}

VOID CALLBACK selectAndClose(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    HWND closing = timerState().Closing;
    EditorWindowRecord* r = YYEditorRecord(closing);
    if (!r) return;
    SendMessageA(r->RichEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("ab\r\ncd"));
    CHARRANGE range{3, 4};
    SendMessageA(r->RichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageA(r->RichEdit, EM_SETMODIFY, FALSE, 0);
    PostMessageA(closing, WM_CLOSE, 0, 0);
}

VOID CALLBACK quitSeven(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    PostQuitMessage(7);
}

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
        HWND closing = timerState().Closing = frame(n);
        const INTEGER& menuItems = timerState().MenuItems;
        const UINT_PTR timer = SetTimer(nullptr, 0, 100, &closeWithMenuCount);
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
    OpenClipboard(frame(n));
    EmptyClipboard();
    CloseClipboard();
    sendKeys({VK_CONTROL}, VK_INSERT);
    ASSERT_TRUE(pump.until([n] { return clipboardText(frame(n)) == "Y"; }));
    select(n, 5, 5);
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
    const RECT& shownAt = timerState().ShownAt;
    bool& shown = timerState().Shown;
    auto popupAt = [&](LPARAM position) {
        shown = false;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, &noteAndEndMenu);
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
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &noteAndEndMenu);
    ASSERT_TRUE(focusControl(n));
    sendKeys({VK_SHIFT}, VK_F10);
    EXPECT_TRUE(pump.until([&] { return shown; }, 3000ms));
    KillTimer(nullptr, timer);
    if (shown) {
        EXPECT_EQ(shownAt.left, caret.x);
        EXPECT_EQ(shownAt.top, caret.y);
    }
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
        PostMessageA(frame(n), WM_CLOSE, 0, 0);
        const DeliveredEvents events = eventsBeforeSentinel();
        ASSERT_TRUE(events.complete);
        ASSERT_TRUE(events.has(kEventClose));
        EXPECT_EQ(events.of(kEventClose)[0][0], n);
        EXPECT_TRUE(IsWindow(frame(n)));
        // Exit asks the same way, and a cancelled question keeps everything.
        SendMessageA(control(n), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("x"));
        DialogResponder responder({{"Notes", DialogResponder::button(IDCANCEL)}});
        PostMessageA(frame(n), WM_COMMAND, kCmdExit, 0);
        const DeliveredEvents after = eventsBeforeSentinel();
        EXPECT_TRUE(responder.done());
        EXPECT_FALSE(after.has(kEventClose));
    }
    // Mode 1: the call returns once the window has closed; what it held is kept for the program.
    {
        const INTEGER n = child();
        WindowSetCurrent(n);
        HWND closing = timerState().Closing = frame(n);
        const UINT_PTR timer = SetTimer(nullptr, 0, 100, &selectAndClose);
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
        const UINT_PTR timer = SetTimer(nullptr, 0, 100, &quitSeven);
        INTEGER status = 0, mode = 1;
        WEditorOpen(status, mode, 0, 0, 3, 0, -1, -1, "", "");
        KillTimer(nullptr, timer);
        EXPECT_FALSE(slot(n).Frame);
        MSG quit{};
        ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(quit.wParam, 7u);
    }
    // Mode 3: the other windows wait until the editor has gone.
    {
        const INTEGER n = child();
        WindowSetCurrent(n);
        INTEGER status = 0, mode = 3;
        WEditorOpen(status, mode, 0, 0, 3, 0, -1, -1, "", "");
        EXPECT_EQ(status, 0);
        EXPECT_EQ(mode, 3);
        EXPECT_FALSE(IsWindowEnabled(frame(0)));
        EXPECT_TRUE(IsWindowEnabled(frame(n)));
        INTEGER dialog = 0, window = n;
        YYWindowClose(window, dialog);
        EXPECT_TRUE(IsWindowEnabled(frame(0)));
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

// An editor pane shares its menu bar with the split windows above it that have none when it is
// made with the split window named; whichever pane takes the focus becomes the active one, and the
// top window shows that pane's own menu or, lacking one, the nearest menu above it.
TEST_F(EditorTest, APaneSharesItsMenuBarAndTheFocusedPaneShowsItsMenu)
{
    struct Case {
        std::size_t Editor;                // the pane made an editor
        std::array<INTEGER, 2> MenuIds;    // 0: the pane has no menu of its own
        INTEGER Split;                     // the split window named at creation, or -1
    };
    for (const Case& c : {Case{0, {0, kMenu}, 0}, Case{0, {0, 0}, 0}, Case{1, {kMenu, 0}, 0}, Case{1, {kMenu, 0}, -1}}) {
        SCOPED_TRACE(testing::Message() << "editor pane " << c.Editor << ", split " << c.Split);
        WindowSetCurrent(0);
        ASSERT_EQ(slot(0).Menu, nullptr);
        std::array<INTEGER, 2> panes{}, layouts{0, 0};
        YYSplitWindowCreate(panes, 0, {0, 0}, -1, c.MenuIds, {kNoBars, kNoBars}, layouts, {-1, -1}, "first", "second");
        pumpPending();
        ASSERT_GT(panes[1], 0);
        const INTEGER editorPane = panes[c.Editor], otherPane = panes[1 - c.Editor];
        HMENU other = slot(otherPane).Menu;
        WindowSetCurrent(editorPane);
        INTEGER status = 0, mode = 2;
        WEditorOpen(status, mode, 0, 0, 3, 0, -1, c.Split, "", "");
        pumpPending();
        EXPECT_EQ(status, 0);
        HMENU bar = record(editorPane).MenuBar;
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(GetMenuItemCount(bar), 3);  // File, Edit, Search: plain text has no Format
        EXPECT_EQ(slot(editorPane).Menu, bar);
        EXPECT_EQ(GetMenu(frame(0)), bar);
        const SplitWindowRecord& split = *slot(0).SplitRecord;
        const auto word = [](HWND window) { return reinterpret_cast<std::intptr_t>(window); };
        // Shared: the split window above carries the editor's bar, the editor is its command pane.
        EXPECT_EQ(slot(0).Menu, c.Split == 0 ? bar : nullptr);
        EXPECT_EQ(split.Words[18], c.Split == 0 ? word(frame(editorPane)) : 0);
        EXPECT_EQ(split.Words[17], word(frame(editorPane)));  // the active pane

        // Each pane shows its own menu while it has the focus, a pane without one the shared bar;
        // the command pane stays as it was.
        HMENU otherShown = other ? other : bar;
        const std::array<bool, 3> editorFocused{false, true, false};
        for (const bool toEditor : editorFocused) {
            SCOPED_TRACE(toEditor ? "editor focused" : "other focused");
            HWND target = toEditor ? control(editorPane) : slot(otherPane).Client;
            SetFocus(target);
            pumpPending();
            EXPECT_EQ(GetFocus(), target);
            EXPECT_EQ(split.Words[17], word(frame(toEditor ? editorPane : otherPane)));
            EXPECT_EQ(GetMenu(frame(0)), toEditor ? bar : otherShown);
            EXPECT_EQ(split.Words[18], c.Split == 0 ? word(frame(editorPane)) : 0);
        }
        closeAllWindows();
        EXPECT_EQ(editorWindowTable().LiveRecords(), 0);
        WindowOpen(39, 10, 10, 900, 700, 0);
        pumpPending();
    }
}

// An editor pane's creation lays the top window out anew (it gains the menu bar): the window
// clients that had nothing to repaint before are left with nothing, those that had something keep it.
TEST_F(EditorTest, APaneLeavesTheUpdatesOfOtherClientsAsTheyWere)
{
    WindowSetCurrent(0);
    std::array<INTEGER, 2> panes{}, layouts{0, 0};
    YYSplitWindowCreate(panes, 0, {0, 0}, -1, {0, 0}, {kNoBars, kNoBars}, layouts, {-1, -1}, "first", "second");
    pumpPending();
    ASSERT_GT(panes[1], 0);
    const INTEGER loose = child(kCaptionedChild, panes[1], "loose");
    ASSERT_GT(loose, 0);
    pumpPending();
    RECT before{};
    GetClientRect(slot(panes[1]).Client, &before);
    UpdateWindow(slot(panes[1]).Client);
    InvalidateRect(slot(loose).Client, nullptr, FALSE);
    ASSERT_FALSE(GetUpdateRect(slot(panes[1]).Client, nullptr, FALSE));
    WindowSetCurrent(panes[0]);
    INTEGER status = 0, mode = 2;
    WEditorOpen(status, mode, 0, 0, 3, 0, -1, 0, "", "");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(GetMenu(frame(0)), record(panes[0]).MenuBar);
    RECT after{};
    GetClientRect(slot(panes[1]).Client, &after);
    EXPECT_LT(after.bottom, before.bottom);  // the other pane did shrink under the new menu bar
    EXPECT_FALSE(GetUpdateRect(slot(panes[1]).Client, nullptr, FALSE));
    EXPECT_TRUE(GetUpdateRect(slot(loose).Client, nullptr, FALSE));
}

// As a new user would: a rich-text editor on a sample file, words typed, made bold and saved; the
// screen is kept as a PNG beside the test's results, and unrtf reads the new words.
