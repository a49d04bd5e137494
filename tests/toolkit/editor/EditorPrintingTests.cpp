// Editors printing for real on the CUPS PDF queue the test command sets up (QV_PDF_DIR names the
// folder cups-pdf writes to), and the printed PDFs read back by the PDF tools.
//
// A Wine process that has run host programs for a while can no longer open the printer, so each
// PrintedEditorDocument test prints in a process of its own and starts no host program; the
// PrintedEditorPdf tests read the files afterwards in another process (see CMakeLists.txt).
#include "EditorFixture.h"

#include <cstdlib>

#include "tests/support/HostTools.h"
#include "toolkit/editor/EditorAccess.h"
#include "toolkit/editor/EditorPrinting.h"

using namespace EditorTesting;
using HostTools::pdfFolder;
using HostTools::removePdfs;
using HostTools::runHost;
using HostTools::waitForPdf;

namespace {

constexpr int kRenderDpi = 150;
// The caption of the system's page set-up dialog under Wine.
const char* const kPageSetupCaption = "Setup Page";
constexpr int kLines = 120;  // three pages of the editor's 12-point lines on Letter or A4
// Margins of the printed pages, in points.
constexpr int kLeftPoints = 90, kTopPoints = 54;
// The lines (from 1) that Print Selection prints.
constexpr int kFirstSelectedLine = 41, kLastSelectedLine = 80;

// The numbers of the printed lines of a PDF, in the order they come.
std::vector<int> printedLines(const std::string& pdf)
{
    std::istringstream words(runHost("pdftotext -layout '" + pdf + "' -"));
    std::vector<int> lines;
    for (std::string line; std::getline(words, line);) {
        const std::size_t at = line.find("Line ");
        if (at != std::string::npos) lines.push_back(std::atoi(line.c_str() + at + 5));
    }
    return lines;
}

std::vector<int> lineRange(int first, int last)
{
    std::vector<int> lines;
    for (int k = first; k <= last; ++k) lines.push_back(k);
    return lines;
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
    ASSERT_TRUE(removePdfs("QvEditorRange"));
    const INTEGER n = editor(0);
    WindowSetCurrent(n);
    INTEGER status = 0;
    WEditorSetAllText(status, numberedLines());
    setMargins(0);
    INTEGER result = -1;
    WEditorPrintRange(result, 0, 0, "QvEditorRange");
    EXPECT_EQ(result, 1);
}

// Print and Print Selection, each after the page set-up, tell the program they printed.
TEST_F(PrintedEditorDocument, ThroughThePrintCommandWithThePageSetUp)
{
    ASSERT_FALSE(pdfFolder().empty());
    ASSERT_TRUE(removePdfs("QvEditorCommand"));
    ASSERT_TRUE(removePdfs("QvEditorSelection"));
    writeFile(path("QvEditorCommand.txt"), numberedLines());
    writeFile(path("QvEditorSelection.txt"), numberedLines());
    const INTEGER whole = editor(0, path("QvEditorCommand.txt"));
    const INTEGER part = editor(0, path("QvEditorSelection.txt"));
    YYEditorPageSetupInit();
    setMargins(1);
    // Lines 41 to 80 selected, the line end after the last one too.
    select(part, static_cast<LONG>(SendMessageA(control(part), EM_LINEINDEX, kFirstSelectedLine - 1, 0)),
           static_cast<LONG>(SendMessageA(control(part), EM_LINEINDEX, kLastSelectedLine, 0)));
    ToolkitPump pump;
    for (const auto& [n, id] : {std::pair{whole, kCmdPrint}, std::pair{part, kCmdPrintSelection}}) {
        DialogResponder responder({{kPageSetupCaption, DialogResponder::button(IDOK)}});
        PostMessageA(frame(n), WM_COMMAND, static_cast<WPARAM>(id), 0);  // events are raised inside the toolkit's poll
        EXPECT_TRUE(pump.until([&] { return responder.done() && pump.commands(id) == 1; }, 60000ms)) << id;
        EXPECT_EQ(responder.Owners.size(), 1u);
    }
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
        EXPECT_EQ(printedLines(pdf), lineRange(1, kLines));
        // The margins on the first page rendered at 150 dpi: the first ink column and row.
        const HostTools::Pnm page = HostTools::renderPdfPage(pdf, 1, kRenderDpi, true);
        ASSERT_EQ(page.channels, 1);
        int left = page.width, top = page.height;
        for (int y = 0; y < page.height; ++y)
            for (int x = 0; x < page.width; ++x)
                if (page.at(x, y) < 128) {
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

TEST(PrintedEditorPdf, SelectionPrintsOnlyTheSelectedLines)
{
    ASSERT_FALSE(pdfFolder().empty());
    const std::string pdf = waitForPdf("QvEditorSelection");
    ASSERT_FALSE(pdf.empty()) << "no PDF of the selection in " << pdfFolder();
    EXPECT_NE(runHost("pdfinfo '" + pdf + "'").find("Pages:           1"), std::string::npos);
    EXPECT_EQ(printedLines(pdf), lineRange(kFirstSelectedLine, kLastSelectedLine));
}

// The steps of a print job on the real printer, one of them refused by the printer.
struct RefusedStep {
    int startPage = 0, endPage = 0;  // the call (from 1) that fails; 0 none
    bool endDoc = false;
    int started = 0, ended = 0, rendered = 0;
};
RefusedStep& refused()
{
    static RefusedStep step;
    return step;
}

// A printer that refuses a page or the document's end: nothing is printed (the job is dropped),
// the program's print answers 0, the Print command says so and raises no event.
TEST_F(EditorPrinting, APrinterRefusingAPageOrTheEndIsAFailure)
{
    writeFile(path("refused.txt"), "some text");  // three pages of three characters
    const INTEGER n = editor(0, path("refused.txt"));
    WindowSetCurrent(n);
    EditorPrintHooks& hooks = editorPrintHooks();
    hooks.renderPage = [](EditorWindowRecord&, HDC, const RECT&, INTEGER first, INTEGER last) {
        ++refused().rendered;
        return std::min(first + 3, last);
    };
    hooks.startPage = [](HDC dc) { return ++refused().started == refused().startPage ? SP_ERROR : StartPage(dc); };
    hooks.endPage = [](HDC dc) { return ++refused().ended == refused().endPage ? SP_ERROR : EndPage(dc); };
    hooks.endDoc = [](HDC dc) { return refused().endDoc ? SP_ERROR : EndDoc(dc); };
    struct Case {
        const char* step;
        RefusedStep refusal;
        int pagesRendered;
    };
    const Case cases[] = {
        {"the second page's start", {2, 0, false}, 1},
        {"the first page's end", {0, 1, false}, 1},
        {"the document's end", {0, 0, true}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        refused() = c.refusal;
        INTEGER result = -1;
        {
            DialogResponder none({});
            WEditorPrintRange(result, 0, 0, "QvEditorRefused");
            EXPECT_EQ(none.answered(), 0u);
        }
        EXPECT_EQ(result, 0);
        EXPECT_EQ(refused().rendered, c.pagesRendered);

        refused() = c.refusal;
        ToolkitPump pump;
        DialogResponder responder({{kPageSetupCaption, DialogResponder::button(IDOK)},
                                   {"Print Error", DialogResponder::button(IDOK)}});
        PostMessageA(frame(n), WM_COMMAND, kCmdPrint, 0);
        EXPECT_TRUE(pump.until([&] { return responder.done(); }, 30000ms));
        ASSERT_EQ(responder.Texts.size(), 2u);
        EXPECT_EQ(responder.Texts[1], "Unable to print text");
        const DeliveredEvents after = eventsBeforeSentinel();
        EXPECT_TRUE(after.complete);
        EXPECT_EQ(pump.commands(kCmdPrint), 0);
        for (const EventRecord& r : after.of(kEventCommand)) EXPECT_NE(r[1], kCmdPrint);
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
