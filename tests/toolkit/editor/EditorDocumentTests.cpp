// Editors driven through their routines: caller positions, text and format access, information
// codes and streams; several documents per window through the View menu; the input field with
// real keys; custom text painting read back by pixels; page set-up margins in points.
#include "EditorFixture.h"

#include "toolkit/editor/EditorAccess.h"
#include "toolkit/editor/EditorDocuments.h"
#include "toolkit/editor/EditorInputField.h"
#include "toolkit/editor/EditorPainting.h"
#include "toolkit/editor/EditorPrinting.h"

using namespace EditorTesting;

namespace {

std::vector<std::string> menuTexts(HMENU menu)
{
    std::vector<std::string> texts;
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        char text[400] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        texts.emplace_back(text);
    }
    return texts;
}

INTEGER checkedItem(HMENU menu)
{
    INTEGER checked = 0;
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i)
        if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) checked = checked ? -1 : i + 1;
    return checked;  // -1 when more than one is checked
}

CHARFORMAT2A charFormatAt(HWND control, LONG position)
{
    CHARRANGE keep{};
    SendMessageA(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&keep));
    CHARRANGE at{position, position + 1};
    SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at));
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    SendMessageA(control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&keep));
    return format;
}

PARAFORMAT2 paraFormatAt(HWND control, LONG position)
{
    CHARRANGE keep{};
    SendMessageA(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&keep));
    CHARRANGE at{position, position};
    SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at));
    PARAFORMAT2 format{};
    format.cbSize = sizeof format;
    SendMessageA(control, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&keep));
    return format;
}

INTEGER info(INTEGER window, INTEGER code)
{
    INTEGER value = -999;
    WEditorInfo(window, code, value);
    return value;
}

}  // namespace

TEST_F(EditorTest, CallerPositionsCountALineEndTwice)
{
    const INTEGER n = editor(kEditorRichText);
    WindowSetCurrent(n);
    INTEGER status = -1;
    WEditorSetAllText(status, "ab\r\ncd");
    EXPECT_EQ(status, 0);
    ASSERT_EQ(text(n), "ab\r\ncd");
    EditorWindowRecord& r = record(n);
    const INTEGER expected[] = {0, 1, 2, 2, 3, 4};
    for (INTEGER caller = 0; caller < 6; ++caller) {
        r.PositionCache = {-1, -1};
        INTEGER a = caller, b = caller;
        YYEditorMapPosition(r, a, b);
        EXPECT_EQ(a, expected[caller]) << "caller " << caller;
    }
    const INTEGER back[] = {0, 1, 2, 4, 5};
    for (INTEGER control = 0; control < 5; ++control) EXPECT_EQ(YYEditorCallerPosition(r, control), back[control]);

    // The cache: kept over a format change, dropped by an edit; right either way.
    INTEGER a = 4, b = 5;
    YYEditorMapPosition(r, a, b);
    EXPECT_EQ(a, 3);
    EXPECT_EQ(b, 4);
    EXPECT_GE(r.PositionCache[0], 0);
    WEditorSetCharFormat(status, 1, 2, 1, -1, -1, -1, -1, -2, -2, "");
    EXPECT_EQ(status, 0);
    EXPECT_GE(r.PositionCache[0], 0);  // the format change moved no character
    select(n, 0, 0);
    SendMessageA(control(n), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("x\r\n"));  // an edit as typed
    EXPECT_EQ(r.PositionCache, (std::array<INTEGER, 2>{-1, -1}));
    INTEGER start = 0;
    a = 7, b = 7;  // "x\r\nab\r\ncd": caller 7 is the c
    YYEditorMapPosition(r, a, b);
    EXPECT_EQ(a, 5);

    // Selection, line conversions and reading ranges in caller positions.
    start = 4;
    WEditorSelectRange(start, 6);
    EXPECT_EQ(selection(n).cpMin, 3);
    EXPECT_EQ(selection(n).cpMax, 4);
    EXPECT_EQ(info(n, 4), 5);
    EXPECT_EQ(info(n, 5), 5);
    INTEGER line = -1;
    WEditorLineToChar(1, 8, line);
    EXPECT_EQ(line, 2);
    WEditorLineToChar(0, 2, line);
    EXPECT_EQ(line, 7);
    char range[8] = {};
    start = 4;
    WEditorGetRange(start, 5, range);  // caller 4 to 8: "b", the line end, "c"
    EXPECT_EQ(start, 0);
    EXPECT_EQ(std::string(range), "b\rc");

    // The control-positions option: every conversion is the identity.
    const INTEGER same = editor(kEditorControlPositions);
    WindowSetCurrent(same);
    WEditorSetAllText(status, "ab\r\ncd");
    for (INTEGER p = 0; p < 6; ++p) {
        INTEGER x = p, y = p;
        YYEditorMapPosition(record(same), x, y);
        EXPECT_EQ(x, p);
        EXPECT_EQ(YYEditorCallerPosition(record(same), p), p);
    }
    EXPECT_EQ(info(same, 104), 1);
}

TEST_F(EditorTest, TextRoutinesReportCutsAndUndoInOneStep)
{
    // A wrapped paragraph counts what it holds, not its display rows.
    const INTEGER wrapped = editor(kEditorWrap);
    WindowSetCurrent(wrapped);
    const std::string paragraph(3000, 'w');
    INTEGER status = -1;
    WEditorSetAllText(status, paragraph + "\r\nend");
    EXPECT_GT(info(wrapped, 103), 3);  // the control shows it on many rows
    EXPECT_EQ(info(wrapped, 2), 3005);
    EXPECT_EQ(YYEditorControlLength(record(wrapped)), 3004);

    const INTEGER n = editor(0);
    WindowSetCurrent(n);
    WEditorSetAllText(status, "hello world");
    std::string buffer(32, '#');
    WEditorGetTextPrefix(status, 12, buffer.data());
    EXPECT_EQ(status, 0);
    EXPECT_EQ(std::string(buffer.c_str()), "hello world");
    WEditorGetTextPrefix(status, 11, buffer.data());
    EXPECT_EQ(status, 2);
    EXPECT_EQ(std::string(buffer.c_str()), "hello worl");

    INTEGER start = 6;
    WEditorReplaceRange(start, 11, "there");
    EXPECT_EQ(text(n), "hello there");
    SendMessageA(control(n), EM_UNDO, 0, 0);
    EXPECT_EQ(text(n), "hello world");

    // Outside an editor every routine says so and writes nothing.
    WindowSetCurrent(0);
    WEditorGetTextPrefix(status, 12, buffer.data());
    EXPECT_EQ(status, 1);
    start = 0;
    WEditorReplaceRange(start, 1, "x");
    EXPECT_EQ(start, -1);
    INTEGER length = 0;
    WEditorTextLength(length);
    EXPECT_EQ(length, 1);
    INTEGER line = 0;
    WEditorLineToChar(1, 0, line);
    EXPECT_EQ(line, -2);
    WEditorSetCharFormat(status, 1, 1, 1, -1, -1, -1, -1, -2, -2, "");
    EXPECT_EQ(status, -1);
    WindowSetCurrent(n);
    WEditorSetCharFormat(status, 1, 1, 1, -1, -1, -1, -1, -2, -2, "");
    EXPECT_EQ(status, -2);  // no rich text
}

TEST_F(EditorTest, InformationCodesAsATable)
{
    const INTEGER n = editor(kEditorRichText | kEditorMultiFile, "", nullptr, 2, 0, 4, 11);
    WindowSetCurrent(n);
    INTEGER status = 0;
    WEditorSetAllText(status, "one\r\ntwo\r\nthree");
    INTEGER start = 2;
    WEditorSelectRange(start, 7);
    WEditorSetModified(0, 1);
    struct Case {
        INTEGER code, value;
    };
    for (const Case& c : {Case{1, 0}, Case{2, 15}, Case{3, 1}, Case{4, 3}, Case{5, 7}, Case{6, 1}, Case{7, 1},
                          Case{8, 3}, Case{9, 0}, Case{10, 0}, Case{11, 4}, Case{12, 11}, Case{103, 3}, Case{104, 0}}) {
        EXPECT_EQ(info(n, c.code), c.value) << "code " << c.code;
    }
    EXPECT_GE(info(n, 102), 3);
    EXPECT_EQ(info(n, 55), -999);  // unknown codes leave the value alone
    WEditorSetModified(1, 0);
    EXPECT_EQ(info(n, 1), 1);
    EXPECT_EQ(info(n, 3), 0);
    EXPECT_EQ(info(-1, 10), 0);
    EXPECT_EQ(info(0, 8), 3);  // no editor needed
    EXPECT_EQ(info(0, 1), -999);
    char find[16] = "unchanged";
    WEditorInfoString(0, 1, find, sizeof find);
    EXPECT_EQ(std::string(find), "unchanged");
    std::string name(300, '#');
    record(n).setPath("C:\\some\\file.rtf");
    WEditorInfoString(n, 3, name.data(), 8);
    EXPECT_EQ(std::string(name.c_str()), "C:\\some");

    // In control positions a paragraph end is one character, however many rows the paragraph
    // wraps into.
    const INTEGER wrapped = editor(kEditorRichText | kEditorWrap | kEditorControlPositions);
    WindowSetCurrent(wrapped);
    std::string paragraph;
    for (int k = 0; k < 60; ++k) paragraph += "wrapping words ";
    WEditorSetAllText(status, paragraph + "\r\n" + paragraph + "\r\nend");
    ASSERT_GT(info(wrapped, 103), 4);  // the rows the two long paragraphs take
    EXPECT_EQ(info(wrapped, 2), static_cast<INTEGER>(2 * paragraph.size() + 2 + 3));
}

TEST_F(EditorTest, FormatArgumentsAndStreamsReadBack)
{
    const INTEGER n = editor(kEditorRichText);
    WindowSetCurrent(n);
    INTEGER status = 0;
    WEditorSetAllText(status, "abcdef\r\nsecond line");
    HWND c = control(n);
    WEditorSetCharFormat(status, 1, 3, 1, 1, 1, 1, 20, RGB(200, 0, 0), -2, "Arial");
    EXPECT_EQ(status, 0);
    const CHARFORMAT2A set = charFormatAt(c, 1);
    EXPECT_TRUE(set.dwEffects & CFE_BOLD);
    EXPECT_TRUE(set.dwEffects & CFE_ITALIC);
    EXPECT_TRUE(set.dwEffects & CFE_UNDERLINE);
    EXPECT_TRUE(set.dwEffects & CFE_STRIKEOUT);
    EXPECT_EQ(set.yHeight, 400);
    EXPECT_EQ(set.crTextColor, RGB(200, 0, 0));
    EXPECT_EQ(std::string(set.szFaceName), "Arial");
    EXPECT_FALSE(charFormatAt(c, 3).dwEffects & CFE_BOLD);  // the range ends after the third
    // Every argument at "leave alone": nothing changes; then single properties off and on.
    WEditorSetCharFormat(status, 1, 3, -1, -1, -1, -1, -1, -2, -2, "");
    EXPECT_EQ(charFormatAt(c, 1).dwEffects & (CFE_BOLD | CFE_ITALIC), static_cast<DWORD>(CFE_BOLD | CFE_ITALIC));
    WEditorSetCharFormat(status, 1, 3, 0, -1, 0, -1, -1, -1, -2, "");
    const CHARFORMAT2A cleared = charFormatAt(c, 1);
    EXPECT_FALSE(cleared.dwEffects & CFE_BOLD);
    EXPECT_TRUE(cleared.dwEffects & CFE_ITALIC);
    EXPECT_FALSE(cleared.dwEffects & CFE_UNDERLINE);
    EXPECT_TRUE(cleared.dwEffects & CFE_AUTOCOLOR);

    struct Para {
        INTEGER bullet, alignment;
        WORD numbering, align;
    };
    for (const Para& p : {Para{1, 1, PFN_BULLET, PFA_CENTER}, Para{-1, 2, PFN_BULLET, PFA_RIGHT},
                          Para{0, -1, 0, PFA_RIGHT}, Para{7, 0, 0, PFA_LEFT}}) {
        WEditorSetParaFormat(status, 10, 12, p.bullet, p.alignment);
        EXPECT_EQ(status, 0);
        const PARAFORMAT2 read = paraFormatAt(c, 10);
        EXPECT_EQ(read.wNumbering, p.numbering) << p.bullet << " " << p.alignment;
        EXPECT_EQ(read.wAlignment, p.align) << p.bullet << " " << p.alignment;
        EXPECT_EQ(paraFormatAt(c, 0).wNumbering, 0);  // the first paragraph is left alone
    }

    // Stream round trip: bold, colour and bullets come back.
    WEditorSetCharFormat(status, 1, 3, 1, -1, -1, -1, -1, RGB(0, 0, 210), -2, "");
    WEditorSetParaFormat(status, 10, 12, 1, -1);
    INTEGER length = 0;
    WEditorTextLength(length);
    ASSERT_GT(length, 20);
    std::string rtf(static_cast<std::size_t>(length), '\0');
    WEditorGetAllText(rtf.data(), length, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(rtf.substr(0, 5), "{\\rtf");
    std::string cut(10, '\0');
    WEditorGetAllText(cut.data(), 10, status);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(cut, rtf.substr(0, 10));
    WEditorSetAllText(status, "");
    EXPECT_EQ(text(n), "");
    WEditorPutAllText(length, rtf.data());
    EXPECT_EQ(text(n), "abcdef\r\nsecond line");
    EXPECT_TRUE(charFormatAt(c, 0).dwEffects & CFE_BOLD);
    EXPECT_EQ(charFormatAt(c, 0).crTextColor, RGB(0, 0, 210));
    EXPECT_EQ(paraFormatAt(c, 10).wNumbering, PFN_BULLET);
}

// Three documents in one window through the View menu, and what a switch keeps.
TEST_F(EditorTest, DocumentsAreOpenedSwitchedAndKeepTheirState)
{
    writeFile(path("one.rtf"), "{\\rtf1 first {\\b bold} text}");
    writeFile(path("two.txt"), "second\r\nfile");
    writeFile(path("three.txt"), "third");
    const INTEGER n = editor(kEditorMultiFile | kEditorRichText, path("one.rtf"));
    WindowSetCurrent(n);
    INTEGER status = 0, mode = 2;
    for (const char* name : {"two.txt", "three.txt"}) {
        WEditorOpen(status, mode, 0, kEditorMultiFile | kEditorRichText, 3, 0, -1, -1, path(name), "");
        EXPECT_EQ(status, 0);
    }
    EditorWindowRecord& r = record(n);
    EXPECT_EQ(r.FileCount, 3);
    EXPECT_EQ(r.CurrentFile, 3);
    EXPECT_EQ(menuTexts(r.ViewPopup), (std::vector<std::string>{"&1\t" + path("one.rtf"), "&2\t" + path("two.txt"),
                                                                 "&3\t" + path("three.txt")}));
    EXPECT_EQ(checkedItem(r.ViewPopup), 3);
    EXPECT_EQ(text(n), "third");

    // Document 3 changed, selected and scrolled; document 1 shown: its formats came back.
    setText(n, std::string("third\r\n") + std::string(200, 'x') + "\r\nmore\r\nlines\r\nbelow");
    for (int i = 0; i < 60; ++i) SendMessageA(control(n), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("row\r\n"));
    select(n, 2, 4);
    SendMessageA(control(n), EM_LINESCROLL, 0, 20);
    const INTEGER firstLine = info(n, 9);
    ASSERT_GT(firstLine, 0);
    const std::string third = text(n);
    command(n, kCmdViewPopup + 1);
    EXPECT_EQ(r.CurrentFile, 1);
    EXPECT_EQ(checkedItem(r.ViewPopup), 1);
    EXPECT_EQ(r.path(), path("one.rtf"));
    EXPECT_EQ(text(n), "first bold text");
    EXPECT_TRUE(charFormatAt(control(n), 7).dwEffects & CFE_BOLD);
    EXPECT_FALSE(charFormatAt(control(n), 1).dwEffects & CFE_BOLD);
    EXPECT_EQ(SendMessageA(control(n), EM_GETMODIFY, 0, 0), 0);
    INTEGER saved = -1;
    YYEditorFileListGetField(n, 3, saved);
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(editorDocumentTable().at(n, 3).TextSet, kTrue);
    WEditorShowFile(3, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(text(n), third);
    EXPECT_EQ(selection(n).cpMin, 2);
    EXPECT_EQ(selection(n).cpMax, 4);
    EXPECT_EQ(info(n, 9), firstLine);
    EXPECT_NE(SendMessageA(control(n), EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(SendMessageA(control(n), EM_CANUNDO, 0, 0), 0);
    EXPECT_EQ(editorDocumentTable().at(n, 3).TextSet, kFalse);  // the shown text lives in the control
    for (INTEGER bad : {0, 4}) {
        WEditorShowFile(bad, status);
        EXPECT_EQ(status, 2);
    }

    // The same path in another case, through Open: a switch and event 2 with 32180 + n.
    std::string upper = path("two.txt");
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
    ToolkitPump pump;
    {
        DialogResponder responder({{"Open", DialogResponder::fileName(upper)}});
        PostMessageA(frame(n), WM_COMMAND, kCmdOpen, 0);  // events are raised inside the toolkit's poll
        EXPECT_TRUE(pump.until([&] { return responder.done() && pump.commands(kCmdViewPopup + 2) == 1; }));
    }
    EXPECT_EQ(pump.commands(kCmdOpen), 0);
    EXPECT_EQ(r.CurrentFile, 2);
    EXPECT_EQ(r.FileCount, 3);
    EXPECT_EQ(text(n), "second\r\nfile");

    // Up to 20: the 21st open changes nothing and says so.
    for (int k = 4; k <= 20; ++k) {
        const std::string name = "more" + std::to_string(k) + ".txt";
        writeFile(path(name), name);
        WEditorOpen(status, mode, 0, kEditorMultiFile | kEditorRichText, 3, 0, -1, -1, path(name), "");
        ASSERT_EQ(status, 0);
    }
    EXPECT_EQ(menuTexts(r.ViewPopup)[9], "&A\t" + path("more10.txt"));
    writeFile(path("extra.txt"), "extra");
    WEditorOpen(status, mode, 0, kEditorMultiFile | kEditorRichText, 3, 0, -1, -1, path("extra.txt"), "");
    EXPECT_EQ(status, kEditorOpenTooManyFiles);
    EXPECT_EQ(r.FileCount, 20);
    EXPECT_EQ(text(n), "more20.txt");
}

TEST_F(EditorTest, ClosingDocumentsRenumbersAndAsksOnlyAboutChangedOnes)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) writeFile(path(name), name);
    const INTEGER n = editor(kEditorMultiFile, path("a.txt"));
    WindowSetCurrent(n);
    INTEGER status = 0, mode = 2;
    WEditorOpen(status, mode, 0, kEditorMultiFile, 3, 0, -1, -1, path("b.txt"), "");
    WEditorOpen(status, mode, 0, kEditorMultiFile, 3, 0, -1, -1, path("c.txt"), "");
    EditorWindowRecord& r = record(n);
    command(n, kCmdViewPopup + 2);
    command(n, kCmdClose);
    EXPECT_EQ(r.FileCount, 2);
    EXPECT_EQ(menuTexts(r.ViewPopup), (std::vector<std::string>{"&1\t" + path("a.txt"), "&2\t" + path("c.txt")}));
    EXPECT_EQ(r.CurrentFile, 2);
    EXPECT_EQ(checkedItem(r.ViewPopup), 2);
    EXPECT_EQ(text(n), "c.txt");
    EXPECT_EQ(r.path(), path("c.txt"));
    EXPECT_EQ(editorDocumentTable().at(n, 3).NameSet, kFalse);  // entry 3 left empty
    EXPECT_EQ(editorDocumentTable().at(n, 20).TextLength, 0);
    command(n, kCmdClose);
    command(n, kCmdClose);
    EXPECT_EQ(r.FileCount, 1);
    EXPECT_EQ(menuTexts(r.ViewPopup), (std::vector<std::string>{"&1\tUntitled"}));
    EXPECT_EQ(text(n), "");

    // Three documents, the first and third changed: closing the window from the second asks
    // about the current one and then only the changed ones; Cancel goes back to the second.
    const INTEGER m = editor(kEditorMultiFile, path("a.txt"));
    WindowSetCurrent(m);
    WEditorOpen(status, mode, 0, kEditorMultiFile, 3, 0, -1, -1, path("b.txt"), "");
    WEditorOpen(status, mode, 0, kEditorMultiFile, 3, 0, -1, -1, path("c.txt"), "");
    SendMessageA(control(m), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("changed "));
    command(m, kCmdViewPopup + 1);
    SendMessageA(control(m), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("changed "));
    command(m, kCmdViewPopup + 2);
    {
        DialogResponder responder({{"Notes", DialogResponder::button(IDNO)},
                                   {"Notes", DialogResponder::button(IDCANCEL)}});
        SendMessageA(frame(m), WM_CLOSE, 0, 0);
        EXPECT_TRUE(responder.done());
        ASSERT_EQ(responder.Texts.size(), 2u);
        EXPECT_EQ(responder.Texts[0], "Do you want to save changes to " + path("a.txt") + "?");
        EXPECT_EQ(responder.Texts[1], "Do you want to save changes to " + path("c.txt") + "?");
    }
    EXPECT_TRUE(IsWindow(frame(m)));
    EXPECT_EQ(record(m).CurrentFile, 2);
    EXPECT_EQ(text(m), "b.txt");
    EXPECT_EQ(checkedItem(record(m).ViewPopup), 2);

    // The split window's close query asks the same way and stays on the last one asked about.
    WindowSetCurrent(0);
    std::array<INTEGER, 2> panes{}, layouts{0, 0};
    YYSplitWindowCreate(panes, 0, {0, 0}, -1, {0, 0}, {kNoBars, kNoBars}, layouts, {-1, -1}, "first", "second");
    pumpPending();
    ASSERT_GT(panes[1], 0);
    WindowSetCurrent(panes[0]);
    WEditorOpen(status, mode, 0, kEditorMultiFile, 3, 0, -1, 0, path("a.txt"), "");
    WEditorOpen(status, mode, 0, kEditorMultiFile, 3, 0, -1, 0, path("b.txt"), "");
    SendMessageA(control(panes[0]), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("pane "));
    command(panes[0], kCmdViewPopup + 1);
    {
        // The shown one is unchanged: only b.txt, changed in the background, is shown and asked about.
        DialogResponder responder({{"first", DialogResponder::button(IDNO)}});
        EXPECT_EQ(YYWindowCloseQuery(frame(0)), 1);
        EXPECT_TRUE(responder.done());
    }
    EXPECT_EQ(record(panes[0]).CurrentFile, 2);
    EXPECT_EQ(text(panes[0]), "pane b.txt");
}

// Save As names the shown document anew: its View item, still checked, and its entry in the list.
TEST_F(EditorTest, SaveAsRenamesTheShownDocumentAndKeepsItsCheck)
{
    for (const char* name : {"a.txt", "b.txt"}) writeFile(path(name), name);
    const INTEGER n = editor(kEditorMultiFile, path("a.txt"));
    WindowSetCurrent(n);
    INTEGER status = 0, mode = 2;
    WEditorOpen(status, mode, 0, kEditorMultiFile, 3, 0, -1, -1, path("b.txt"), "");
    EditorWindowRecord& r = record(n);
    ASSERT_EQ(r.CurrentFile, 2);
    ToolkitPump pump;
    {
        DialogResponder responder({{"Save As", DialogResponder::fileName(path("renamed.txt"))}});
        PostMessageA(frame(n), WM_COMMAND, kCmdSaveAs, 0);  // events are raised inside the toolkit's poll
        EXPECT_TRUE(pump.until([&] { return responder.done() && pump.commands(kCmdSaveAs) == 1; }));
    }
    EXPECT_EQ(readFile(path("renamed.txt")), "b.txt");
    EXPECT_EQ(menuTexts(r.ViewPopup), (std::vector<std::string>{"&1\t" + path("a.txt"), "&2\t" + path("renamed.txt")}));
    EXPECT_EQ(checkedItem(r.ViewPopup), 2);
    char name[261] = {};
    YYEditorFileListGetName(n, 2, name, 260);
    EXPECT_EQ(std::string(name), path("renamed.txt"));
    command(n, kCmdViewPopup + 1);
    command(n, kCmdViewPopup + 2);
    EXPECT_EQ(r.path(), path("renamed.txt"));
    EXPECT_EQ(checkedItem(r.ViewPopup), 2);
}

TEST_F(EditorTest, ShutDownFreesEveryDocumentBuffer)
{
    for (const char* name : {"a.txt", "b.txt"}) writeFile(path(name), name);
    EditorDocumentTable& table = editorDocumentTable();
    const INTEGER n = editor(kEditorMultiFile, path("a.txt"));
    WindowSetCurrent(n);
    INTEGER status = 0, mode = 2;
    WEditorOpen(status, mode, 0, kEditorMultiFile, 3, 0, -1, -1, path("b.txt"), "");
    EXPECT_GT(table.BuffersMade, table.BuffersFreed);
    EXPECT_EQ(table.at(n, 1).TextSet, kTrue);
    YYEditorDocumentsRelease();
    EXPECT_FALSE(table.Allocated);
    EXPECT_EQ(table.BuffersMade, table.BuffersFreed);
    YYEditorDocumentsAllocate();
    EXPECT_EQ(table.Entries.size(), 51u * 20u);
    EXPECT_EQ(table.at(n, 1).NameSet, kFalse);
    // An entry never named reads back as an empty path, blanks after the NUL.
    char name[260];
    std::fill(std::begin(name), std::end(name), '#');
    YYEditorFileListGetName(n, 5, name, sizeof name);
    EXPECT_EQ(name[0], '\0');
    EXPECT_EQ(name[259], ' ');
}

TEST_F(EditorTest, InputFieldWithRealKeys)
{
    const INTEGER n = editor(kEditorInputCombo);
    EditorWindowRecord& r = record(n);
    ASSERT_NE(r.InputField, nullptr);
    ASSERT_NE(r.InputEdit, r.InputField);
    WindowSetCurrent(n);
    INTEGER status = -1;
    WEditorFieldKind(status);
    EXPECT_EQ(status, 0);
    SetForegroundWindow(frame(n));
    SetFocus(r.InputEdit);
    ASSERT_TRUE(waitUntil([&] { return GetFocus() == r.InputEdit; }, 3000ms));
    ToolkitPump pump;
    auto enterLine = [&](const std::string& line) {
        const std::size_t before = pump.Types.size();
        SetWindowTextA(r.InputField, "");
        typeText(line);
        sendKeys({}, VK_RETURN);
        return pump.until([&] {
            return std::count(pump.Types.begin() + static_cast<std::ptrdiff_t>(before), pump.Types.end(), kEventEditorNotice) == 1;
        });
    };
    EXPECT_TRUE(enterLine("first"));
    EXPECT_TRUE(enterLine("first"));
    EXPECT_TRUE(enterLine("   "));
    EXPECT_EQ(info(n, 10), 1);  // the repeat and the blanks added nothing
    char item[8] = {};
    WEditorFieldGetItem(0, item, sizeof item, status);
    EXPECT_EQ(std::string(item), "first");
    WEditorFieldGetItem(0, item, 3, status);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(std::string(item), "fi");

    // Up and Down walk the history; past the oldest nothing is selected.
    WEditorFieldClearList(status);
    for (INTEGER k = 0; k < 3; ++k) WEditorFieldAddItem(k, "item" + std::to_string(k));
    SendMessageA(r.InputField, CB_SETCURSEL, 0, 0);
    sendKeys({}, VK_DOWN);
    EXPECT_TRUE(waitUntil([&] { return SendMessageA(r.InputField, CB_GETCURSEL, 0, 0) == 1; }));
    sendKeys({}, VK_UP);
    EXPECT_TRUE(waitUntil([&] { return SendMessageA(r.InputField, CB_GETCURSEL, 0, 0) == 0; }));
    SendMessageA(r.InputField, CB_SETCURSEL, 2, 0);
    sendKeys({}, VK_DOWN);
    EXPECT_TRUE(waitUntil([&] { return SendMessageA(r.InputField, CB_GETCURSEL, 0, 0) == CB_ERR; }));

    // 100 lines kept: the 101st drops the oldest.
    WEditorFieldClearList(status);
    for (INTEGER k = 0; k < 100; ++k) WEditorFieldAddItem(k, "line" + std::to_string(k));
    EXPECT_TRUE(enterLine("newest"));
    EXPECT_EQ(info(n, 10), 100);
    char oldest[16] = {};
    WEditorFieldGetItem(99, oldest, sizeof oldest, status);
    EXPECT_EQ(std::string(oldest), "line98");
    WEditorFieldGetItem(0, oldest, sizeof oldest, status);
    EXPECT_EQ(std::string(oldest), "newest");

    // Esc empties the field; Tab goes to the text.
    WEditorFieldSetText(status, "to clear", 3);
    EXPECT_EQ(status, 0);
    char field[16] = {};
    WEditorFieldGetText(status, field, sizeof field);
    EXPECT_EQ(std::string(field), "to clear");
    WEditorFieldGetText(status, field, 8);
    EXPECT_EQ(status, 2);
    sendKeys({}, VK_ESCAPE);
    EXPECT_TRUE(waitUntil([&] { return windowText(r.InputField).empty(); }));
    sendKeys({}, VK_TAB);
    EXPECT_TRUE(waitUntil([&] { return GetFocus() == r.RichEdit; }));

    // An edit field: Enter raises event 14 too; the label fits and moves the field.
    const INTEGER plain = editor(kEditorInputField);
    WindowSetCurrent(plain);
    WEditorFieldKind(status);
    EXPECT_EQ(status, 2);
    WEditorFieldSetFitted(status, "Command:", 8);
    EXPECT_EQ(status, 0);
    RECT label{}, input{};
    GetWindowRect(record(plain).LabelFrame, &label);
    GetWindowRect(record(plain).InputField, &input);
    EXPECT_GT(label.right - label.left, 20);
    EXPECT_EQ(input.left, label.right);
    const INTEGER none = editor(0);
    WindowSetCurrent(none);
    WEditorFieldSetFitted(status, "x", 1);
    EXPECT_EQ(status, 2);
    WEditorFieldGetText(status, field, sizeof field);
    EXPECT_EQ(status, 3);
}

namespace {

// A test colour hook: characters 3 to 5 of every line in red.
void redRunHook(INTEGER&, INTEGER&, INTEGER&, INTEGER&, INTEGER* starts, INTEGER* ends, INTEGER* colours, INTEGER& count,
                const char*, INTEGER& length)
{
    count = 0;
    if (length < 5) return;
    starts[0] = 3;
    ends[0] = 5;
    colours[0] = 255;  // red
    count = 1;
}

// The columns of the band y0..y1 of the control's client area in which some pixel has the colour.
std::vector<int> columnsWith(HWND control, int y0, int y1, COLORREF colour)
{
    std::vector<int> columns;
    RECT client{};
    GetClientRect(control, &client);
    WindowDc dc(control);
    for (int x = 0; x < client.right; ++x)
        for (int y = y0; y < y1; ++y)
            if (GetPixel(dc.get(), x, y) == colour) {
                columns.push_back(x);
                break;
            }
    return columns;
}

}  // namespace

TEST_F(EditorTest, CustomPaintingDrawsTheHooksRunsAtTheControlsPositions)
{
    const INTEGER n = editor(kEditorWrap, "", nullptr, 2, 0, 4, 14);
    WindowSetCurrent(n);
    INTEGER status = 0;
    WEditorSetAllText(status, "abcdefgh\r\nx\ty\r\nlast");
    editorColourHook() = &redRunHook;
    WEditorCustomPaintOn();
    EXPECT_TRUE(record(n).Options.CustomPainting);
    HWND c = control(n);
    select(n, 0, 0);
    RedrawWindow(c, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    POINT p2{}, p5{};
    YYEditorPosFromChar(c, 2, p2);
    YYEditorPosFromChar(c, 5, p5);
    const int cell = record(n).CellHeight;
    const std::vector<int> red = columnsWith(c, p2.y, p2.y + cell, RGB(255, 0, 0));
    ASSERT_FALSE(red.empty());
    EXPECT_GE(red.front(), p2.x);
    EXPECT_LT(red.back(), p5.x);
    EXPECT_GT(red.back(), p5.x - (p5.x - p2.x) / 3);  // the run reaches into its last character

    // Line 2, "x<TAB>y": the TAB's gap stays in the background unless it is selected.
    POINT tab{}, after{};
    YYEditorPosFromChar(c, 10, tab);
    YYEditorPosFromChar(c, 11, after);
    ASSERT_GT(after.x - tab.x, 4);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    auto gapHas = [&](COLORREF colour) {
        const std::vector<int> cols = columnsWith(c, tab.y + 1, tab.y + cell - 1, colour);
        return std::count_if(cols.begin(), cols.end(), [&](int x) { return x > tab.x + 1 && x < after.x - 1; });
    };
    EXPECT_EQ(gapHas(highlight), 0);
    select(n, 10, 13);  // the TAB, y and the line end
    RedrawWindow(c, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    EXPECT_GE(gapHas(highlight), after.x - tab.x - 3);
    POINT lineEnd{};
    YYEditorPosFromChar(c, 12, lineEnd);
    const std::vector<int> end = columnsWith(c, lineEnd.y + 1, lineEnd.y + cell - 1, highlight);
    EXPECT_TRUE(std::any_of(end.begin(), end.end(), [&](int x) { return x > lineEnd.x + 1; }));

    // Ctrl with the wheel zooms and keeps the first visible line.
    for (int k = 0; k < 80; ++k) SendMessageA(c, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("\r\nrow"));
    SendMessageA(c, EM_LINESCROLL, 0, 30);
    const INTEGER first = info(n, 9);
    ASSERT_GT(first, 0);
    ASSERT_TRUE(focusControl(n));
    {
        INPUT in[3]{};
        in[0].type = INPUT_KEYBOARD;
        in[0].ki.wVk = VK_CONTROL;
        in[1].type = INPUT_MOUSE;
        in[1].mi.dwFlags = MOUSEEVENTF_WHEEL;
        in[1].mi.mouseData = WHEEL_DELTA;
        in[2].type = INPUT_KEYBOARD;
        in[2].ki.wVk = VK_CONTROL;
        in[2].ki.dwFlags = KEYEVENTF_KEYUP;
        RECT w{};
        GetWindowRect(c, &w);
        mouseTo(POINT{(w.left + w.right) / 2, (w.top + w.bottom) / 2}, 0);
        SendInput(3, in, sizeof(INPUT));
    }
    WPARAM num = 0;
    LPARAM den = 0;
    EXPECT_TRUE(waitUntil([&] {
        SendMessageA(c, EM_GETZOOM, reinterpret_cast<WPARAM>(&num), reinterpret_cast<LPARAM>(&den));
        return num != 0 && num != static_cast<WPARAM>(den);
    }));
    EXPECT_EQ(info(n, 9), first);
    editorColourHook() = &YYEditorColourHook;
}

TEST(EditorPageSetup, MarginsInPointsAsATable)
{
    // Entries in thousandths of an inch and in hundredths of a millimetre, on a letter page.
    YYEditorPageSetupInit();
    EditorPageSetupTable& table = editorPageSetupTable();
    struct Case {
        INTEGER entry, units;
    };
    for (const Case& c : {Case{0, 1000}, Case{1, 2540}}) {
        SCOPED_TRACE(c.units);
        PAGESETUPDLGA& r = table.Entries[static_cast<std::size_t>(c.entry)].Record;
        r.Flags = c.units == 1000 ? PSD_INTHOUSANDTHSOFINCHES : PSD_INHUNDREDTHSOFMILLIMETERS;
        r.ptPaperSize = {static_cast<LONG>(8.5 * c.units), 11 * c.units};
        r.rtMargin = {c.units, c.units, c.units, c.units};
        INTEGER value = 0;
        WPageSetupSetMargins(3, 72, c.entry);
        EXPECT_EQ(r.rtMargin.left, c.units);
        WPageSetupGetMargins(3, value, c.entry);
        EXPECT_EQ(value, 72);
        struct Item {
            INTEGER item, points;
        };
        for (const Item& i : {Item{1, 468}, Item{2, 648}, Item{3, 36}, Item{4, 54}}) {
            WPageSetupSetMargins(i.item, i.points, c.entry);
            WPageSetupGetMargins(i.item, value, c.entry);
            EXPECT_EQ(value, i.points) << "item " << i.item;
        }
        // The text width stays where item 1 put it, measured from the new left margin.
        WPageSetupGetMargins(1, value, c.entry);
        EXPECT_EQ(value, 468 + 36);
        EXPECT_EQ(r.rtMargin.right * 72 / c.units, 72);
        // Item 5: landscape turns the paper; 3 turns the text area with it.
        WPageSetupSetMargins(5, 1, c.entry);
        WPageSetupGetMargins(5, value, c.entry);
        EXPECT_EQ(value, 1);
        EXPECT_EQ(r.ptPaperSize.x, 11 * c.units);
        INTEGER width = 0, height = 0;
        WPageSetupGetMargins(1, width, c.entry);
        WPageSetupGetMargins(2, height, c.entry);
        WPageSetupSetMargins(5, 3, c.entry);
        INTEGER width3 = 0, height3 = 0;
        WPageSetupGetMargins(1, width3, c.entry);
        WPageSetupGetMargins(2, height3, c.entry);
        EXPECT_EQ(std::max(width3, height3), width3);
        WPageSetupSetMargins(5, 0, c.entry);
        WPageSetupGetMargins(5, value, c.entry);
        EXPECT_EQ(value, 0);
        WPageSetupGetMargins(9, value, c.entry);
        EXPECT_EQ(value, 0);
    }
    // Switching units there and back keeps a length.
    EXPECT_EQ(YYEditorConvertUnits(YYEditorConvertUnits(1000, 1000, 2540), 2540, 1000), 1000);
    EXPECT_EQ(YYEditorConvertUnits(1000, 1000, 2540), 2540);
    // The text rectangle starts at the unprintable edges, and margins inside them count as them.
    PAGESETUPDLGA r{};
    r.ptPaperSize = {8500, 11000};
    r.rtMargin = {1000, 100, 1000, 1000};
    r.rtMinMargin = {250, 200, 300, 250};
    const RECT twips = YYEditorTextRectangle(r, 1000);
    EXPECT_EQ(twips.left, 750 * 1440 / 1000);
    EXPECT_EQ(twips.top, 0);
    EXPECT_EQ(twips.right, (8500 - 1000 - 250) * 1440 / 1000);
    EXPECT_EQ(twips.bottom, (11000 - 1000 - 200) * 1440 / 1000);
}
