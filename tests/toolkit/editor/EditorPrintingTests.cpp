// Editors printing for real on the CUPS PDF queue the test command sets up (QV_PDF_DIR names the
// folder cups-pdf writes to), and the printed PDFs read back by the PDF tools.
//
// A Wine process that has run host programs for a while can no longer open the printer, so each
// PrintedEditorDocument test prints in a process of its own and starts no host program; the
// PrintedEditorPdf tests read the files afterwards in another process (see CMakeLists.txt).
#include "EditorFixture.h"

#include <cstdlib>

#include "toolkit/editor/EditorAccess.h"
#include "toolkit/editor/EditorPrinting.h"

using namespace EditorTesting;

namespace {

constexpr int kRenderDpi = 150;
// The caption of the system's page set-up dialog under Wine.
const char* const kPageSetupCaption = "Setup Page";
constexpr int kLines = 120;  // three pages of the editor's 12-point lines on Letter or A4
// Margins of the printed pages, in points.
constexpr int kLeftPoints = 90, kTopPoints = 54;

std::string pdfFolder()
{
    const char* dir = std::getenv("QV_PDF_DIR");
    return dir ? std::string(dir) : std::string();
}

std::string numberedLines()
{
    std::string text;
    for (int k = 1; k <= kLines; ++k) {
        char line[48];
        std::snprintf(line, sizeof line, "Line %03d of the printed text", k);
        text += line;
        if (k < kLines) text += "\r\n";
    }
    return text;
}

std::vector<std::string> pdfsNamed(const std::string& stem)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const FindHandle search(FindFirstFileA(("Z:" + pdfFolder() + "/*" + stem + "*.pdf").c_str(), &found));
    if (!search) return names;
    do names.emplace_back(found.cFileName);
    while (FindNextFileA(search.get(), &found));
    return names;
}

void removePdfs(const std::string& stem)
{
    for (const std::string& name : pdfsNamed(stem)) DeleteFileA(("Z:" + pdfFolder() + "/" + name).c_str());
}

// Runs a host command line; its output comes back through a file renamed into place when done.
std::string runHost(const std::string& command)
{
    static int serial = 0;
    const std::string base = "/tmp/qv-editor-print-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    const std::string line = "/bin/sh -c \"(" + command + ") > " + base + ".part 2>&1 </dev/null; mv " + base + ".part " + base + ".out\"";
    std::vector<char> text(line.begin(), line.end());
    text.push_back('\0');
    STARTUPINFOA start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA("Z:\\bin\\sh", text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process))
        return "cannot start the host shell";
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
    const std::string done = "Z:" + base + ".out";
    if (!waitUntil([&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 60000ms))
        return "host command timed out";
    std::string out = readFile(done);
    DeleteFileA(done.c_str());
    return out;
}

std::string waitForPdf(const std::string& stem)
{
    std::string found;
    waitUntil(
        [&] {
            const std::vector<std::string> names = pdfsNamed(stem);
            if (names.size() != 1) return false;
            const std::string path = pdfFolder() + "/" + names.front();
            if (runHost("pdfinfo '" + path + "' >/dev/null && echo readable").find("readable") == std::string::npos)
                return false;
            found = path;
            return true;
        },
        60000ms);
    return found;
}

// Sets an entry's margins in points: left and top as given, right and bottom one inch.
void setMargins(INTEGER entry)
{
    EditorPageSetupTable& table = editorPageSetupTable();
    PAGESETUPDLGA& r = table.Entries[static_cast<std::size_t>(entry)].Record;
    const INTEGER u = YYEditorPageUnits(table.Entries[static_cast<std::size_t>(entry)]);
    WPageSetupSetMargins(3, kLeftPoints, entry);
    WPageSetupSetMargins(4, kTopPoints, entry);
    r.rtMargin.right = u;
    r.rtMargin.bottom = u;
}

class EditorPrinting : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        editorPrintHooks() = EditorPrintHooks{};
    }
    void TearDown() override
    {
        editorPrintHooks() = EditorPrintHooks{};
        EditorTest::TearDown();
    }
};

class PrintedEditorDocument : public EditorPrinting {};

}  // namespace

TEST_F(PrintedEditorDocument, ThroughThePrintRangeRoutine)
{
    ASSERT_FALSE(pdfFolder().empty()) << "QV_PDF_DIR is not set: run the tests through scripts/test.sh";
    removePdfs("QvEditorRange");
    const INTEGER n = editor(0);
    WindowSetCurrent(n);
    INTEGER status = 0;
    WEditorSetAllText(status, numberedLines());
    setMargins(0);
    INTEGER result = -1;
    WEditorPrintRange(result, 0, 0, "QvEditorRange");
    EXPECT_EQ(result, 1);
}

TEST_F(PrintedEditorDocument, ThroughThePrintCommandWithThePageSetUp)
{
    ASSERT_FALSE(pdfFolder().empty());
    removePdfs("QvEditorCommand");
    writeFile(path("QvEditorCommand.txt"), numberedLines());
    const INTEGER n = editor(0, path("QvEditorCommand.txt"));
    YYEditorPageSetupInit();
    setMargins(1);
    DialogResponder responder({{kPageSetupCaption, DialogResponder::button(IDOK)}});
    command(n, kCmdPrint);
    EXPECT_TRUE(responder.done());
    EXPECT_EQ(responder.Owners.size(), 1u);
}

TEST(PrintedEditorPdf, EveryLineOnceInOrderOnThreePagesWithTheMargins)
{
    ASSERT_FALSE(pdfFolder().empty());
    for (const char* stem : {"QvEditorRange", "QvEditorCommand"}) {
        SCOPED_TRACE(stem);
        const std::string pdf = waitForPdf(stem);
        ASSERT_FALSE(pdf.empty()) << "no PDF of " << stem << " in " << pdfFolder();
        EXPECT_NE(runHost("pdfinfo '" + pdf + "'").find("Pages:           3"), std::string::npos);
        // Every line once, in order, across the page breaks.
        std::istringstream words(runHost("pdftotext -layout '" + pdf + "' -"));
        std::string line;
        int next = 1;
        while (std::getline(words, line)) {
            const std::size_t at = line.find("Line ");
            if (at == std::string::npos) continue;
            EXPECT_EQ(std::atoi(line.c_str() + at + 5), next) << line;
            ++next;
        }
        EXPECT_EQ(next, kLines + 1);
        // The margins on the first page rendered at 150 dpi: the first ink column and row.
        const std::string out = "/tmp/qv-editor-page-" + std::to_string(GetCurrentProcessId());
        runHost("pdftoppm -gray -r " + std::to_string(kRenderDpi) + " -f 1 -l 1 -singlefile '" + pdf + "' " + out);
        const std::string data = readFile("Z:" + out + ".pgm");
        DeleteFileA(("Z:" + out + ".pgm").c_str());
        std::istringstream in(data);
        std::string magic;
        int width = 0, height = 0, maxValue = 0;
        in >> magic >> width >> height >> maxValue;
        in.get();
        ASSERT_EQ(magic, "P5");
        const std::string pixels = data.substr(static_cast<std::size_t>(in.tellg()));
        ASSERT_GE(pixels.size(), static_cast<std::size_t>(width) * height);
        int left = width, top = height;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (static_cast<unsigned char>(pixels[static_cast<std::size_t>(y) * width + x]) < 128) {
                    left = std::min(left, x);
                    top = std::min(top, y);
                }
        // "L" starts at the text rectangle's left edge after its side bearing (a point at most);
        // the top of the capital lies below the line's top by less than half the 12-point line.
        EXPECT_GE(left, kLeftPoints * kRenderDpi / 72 - 1);
        EXPECT_LE(left, kLeftPoints * kRenderDpi / 72 + 3);
        EXPECT_GE(top, kTopPoints * kRenderDpi / 72 - 1);
        EXPECT_LE(top, kTopPoints * kRenderDpi / 72 + 12 * kRenderDpi / 72 / 2);
    }
}

TEST_F(EditorPrinting, FailuresAndPrintingLeftToTheProgram)
{
    writeFile(path("fail.txt"), "some text");
    const INTEGER n = editor(0, path("fail.txt"));
    WindowSetCurrent(n);
    // A printer context that cannot be made: the box for the Print command, 0 for a program.
    editorPrintHooks().createContext = [](const EditorPageSetupEntry&) { return MemoryDcHandle{}; };
    INTEGER result = -1;
    {
        DialogResponder none({});
        WEditorPrintRange(result, 0, 4, "QvEditorNone");
        EXPECT_EQ(result, 0);
        EXPECT_EQ(none.answered(), 0u);
    }
    {
        DialogResponder responder({{kPageSetupCaption, DialogResponder::button(IDOK)},
                                   {"Print Error", DialogResponder::button(IDOK)}});
        command(n, kCmdPrint);
        EXPECT_TRUE(responder.done());
        ASSERT_EQ(responder.Texts.size(), 2u);
        EXPECT_EQ(responder.Texts[1], "Unable to print text");
    }
    // A cancelled page set-up prints nothing and says nothing.
    {
        DialogResponder responder({{kPageSetupCaption, DialogResponder::button(IDCANCEL)}});
        command(n, kCmdPrint);
        EXPECT_TRUE(responder.done());
    }
    // An empty range starts no job: the renderer is never asked for a page.
    static int pages = 0;
    pages = 0;
    editorPrintHooks().createContext = nullptr;
    editorPrintHooks().renderPage = [](EditorWindowRecord&, HDC, const RECT&, INTEGER first, INTEGER) {
        ++pages;
        return first;  // no progress: the loop must stop after this page
    };
    INTEGER status = 0;
    WEditorSetAllText(status, "");
    WEditorPrintRange(result, 0, 0, "QvEditorEmpty");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(pages, 0);
    WEditorSetAllText(status, "some text");
    WEditorPrintRange(result, 0, 0, "QvEditorStuck");
    EXPECT_EQ(pages, 1);

    // Printing left to the program: the commands only raise event 2.
    const INTEGER app = editor(kEditorPrintByApplication);
    DialogResponder none({});
    ToolkitPump pump;
    PostMessageA(frame(app), WM_COMMAND, kCmdPrint, 0);  // events are raised inside the toolkit's poll
    PostMessageA(frame(app), WM_COMMAND, kCmdPrintSelection, 0);
    EXPECT_TRUE(pump.until([&] { return pump.commands(kCmdPrint) == 1 && pump.commands(kCmdPrintSelection) == 1; }));
    EXPECT_EQ(none.answered(), 0u);
}
