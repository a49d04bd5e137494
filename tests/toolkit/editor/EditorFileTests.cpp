// Editor files and searching over Wine's rich-edit control: loading, holding and saving files (read
// back byte for byte and by the host's unrtf), the save question, find, replace and paste.
#include "tests/toolkit/editor/EditorFixture.h"

#include <optional>

#include "tests/toolkit/foundation/WorkFileFaults.h"
#include "toolkit/foundation/WorkFiles.h"

using namespace EditorTesting;

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
        {"zeros.txt", "a\0b\0c"s, 0, "a b c", nullptr, true},
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
    PostMessageA(frame(n), WM_COMMAND, kCmdSave, 0);  // events are raised inside the toolkit's poll
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
    PostMessageA(frame(n), WM_COMMAND, kCmdSave, 0);
    EXPECT_TRUE(pump.until([&] { return responder.done(); }));
    EXPECT_EQ(readFile(path("plain.txt")), "new " + original);
    EXPECT_NE(SendMessageA(control(n), EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(windowText(frame(n)), "Notes - [" + path("plain.txt") + " *]");
    const DeliveredEvents after = eventsBeforeSentinel();
    EXPECT_TRUE(after.complete);
    EXPECT_EQ(pump.commands(kCmdSave) + static_cast<INTEGER>(after.of(kEventCommand).size()), 0);  // no success reported
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

// A save that cannot replace the file at any step: the file keeps its bytes, nothing is left
// beside it, the text stays modified and one box says why.
TEST_F(EditorTest, FailedSaveAtAnyStepKeepsTheFileAndShowsOneBox)
{
    enum class Target { Plain, ReadOnly, Held };
    struct Case {
        const char* what;
        Target target;
        std::optional<WorkFileStep> step;
        const char* box;
    };
    const Case cases[] = {
        {"read-only file", Target::ReadOnly, std::nullopt, "Open Error"},
        {"file held by another program", Target::Held, std::nullopt, "Write Error"},
        {"no work file", Target::Plain, WorkFileStep::Create, "Open Error"},
        {"flush", Target::Plain, WorkFileStep::Flush, "Write Error"},
        {"replace", Target::Plain, WorkFileStep::Replace, "Write Error"},
    };
    const std::string original = "the notes as saved before\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = path("kept.txt");
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        writeFile(file, original);
        const INTEGER n = editor(0, file);
        ASSERT_EQ(text(n), original);
        SendMessageA(control(n), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("changed "));
        if (c.target == Target::ReadOnly) SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
        // The editor lets go of its own hold while it saves; the other program keeps its hold.
        YYEditorCloseFileHandle(frame(n));
        FileHandle holder(c.target == Target::Held
                              ? CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)
                              : INVALID_HANDLE_VALUE);
        {
            const WorkFileFault fault(c.step.value_or(WorkFileStep::Create), c.step ? 0 : WorkFileFault::kNoFault,
                                      YYWorkFileDiskFullCode());
            DialogResponder responder({{c.box, DialogResponder::button(IDOK)}});
            EXPECT_EQ(YYEditorSaveFile(frame(n), 0), 0);
            EXPECT_TRUE(responder.done());
            EXPECT_TRUE(responder.unexpected().empty());
            EXPECT_EQ(responder.Texts.size(), 1u);
        }
        holder.reset();
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(readFile(file), original);
        EXPECT_NE(SendMessageA(control(n), EM_GETMODIFY, 0, 0), 0);
        WIN32_FIND_DATAA found{};
        std::set<std::string> names;
        const HANDLE search = FindFirstFileA((folder_ + "\\*").c_str(), &found);
        do {
            names.insert(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        EXPECT_EQ(names, (std::set<std::string>{".", "..", "kept.txt"}));
        SendMessageA(control(n), EM_SETMODIFY, FALSE, 0);
        closeAllWindows();
    }
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
