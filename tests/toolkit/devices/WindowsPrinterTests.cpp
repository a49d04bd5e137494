// The Windows printer under Wine, printing for real to the CUPS PDF queue the test command sets up
// (QV_PDF_DIR names the folder cups-pdf writes to): the driver's query and initialisation, the page
// set-up and the paths without a printer; documents printed through the driver and the screen
// print; and the printed PDFs read back with the PDF tools.
//
// A Wine process that has run the PDF tools for a few seconds (several host programs) can no longer
// open the printer: OpenPrinterA("PDF") fails with 1801 for the rest of that process, whether it
// printed before or not, while other processes still find the queue. So the tests run as several
// processes (see CMakeLists.txt): each PrintedDocument test prints one document in a process of its
// own and starts no host program; the PrintedPdf tests run afterwards in another process that
// does not print, and read the files with what each printing test recorded about its page.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "ReportCapture.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/HostTools.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/devices/DeviceModels.h"
#include "toolkit/devices/HardcopyJob.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyOptionsDialogs.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/PrinterDeviceContext.h"
#include "toolkit/devices/PrinterPrimitives.h"
#include "toolkit/devices/WindowsPrinterDriver.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/foundation/CommonDialogs.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GdiDrawingState.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/graphics/TextDrawing.h"

using namespace GuiHarness;
using namespace HostTools;
using namespace ToolkitSession;

namespace {

constexpr int kRenderDpi = 72;

// A page rendered by pdftoppm as RGB.
struct Raster {
    int width = 0, height = 0;
    std::string pixels;
    bool ink(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height) return false;
        const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
        const auto c = [&](std::size_t k) { return static_cast<unsigned char>(pixels[at + k]); };
        return c(0) < 200 || c(1) < 200 || c(2) < 200;
    }
    COLORREF colour(int x, int y) const
    {
        const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
        return RGB(static_cast<unsigned char>(pixels[at]), static_cast<unsigned char>(pixels[at + 1]),
                   static_cast<unsigned char>(pixels[at + 2]));
    }
    // Any ink within radius pixels of (x, y).
    bool inkNear(int x, int y, int radius = 3) const
    {
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx)
                if (ink(x + dx, y + dy)) return true;
        return false;
    }
};

Raster render(const std::string& pdf, int page)
{
    const Pnm image = renderPdfPage(pdf, page, kRenderDpi);
    if (image.channels != 3) return Raster{};
    return Raster{image.width, image.height, image.pixels};
}

// The page size the PDF queue's PPD names as its default, in points (width, height).
std::pair<int, int> ppdDefaultPage()
{
    const std::string ppd = readFile("Z:/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
    const std::size_t d = ppd.find("*DefaultPageSize:");
    if (d == std::string::npos) return {0, 0};
    std::istringstream name(ppd.substr(d + 17));
    std::string size;
    name >> size;
    const std::size_t dim = ppd.find("*PaperDimension " + size + "/");
    if (dim == std::string::npos) return {0, 0};
    const std::size_t quote = ppd.find('"', dim);
    std::istringstream numbers(ppd.substr(quote + 1));
    double w = 0, h = 0;
    numbers >> w >> h;
    return {static_cast<int>(w), static_cast<int>(h)};
}

class WindowsPrinter : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(pdfFolder().empty()) << "QV_PDF_DIR is not set: run the tests through scripts/test.sh, which "
                                             "starts CUPS with the PDF queue";
        pageSetupState().deviceName.clear();
        openMainWindow("Printer test", 420, 320, 20, 20);
    }
    void TearDown() override
    {
        IGrHardcopyBeginEnd("S");
        closeAllWindows();
    }
    Watchdog watchdog_{std::chrono::milliseconds(300000)};
};

// Where a device point lands on the rendered page: the plot starts at the offsets (points).
struct PageMap {
    double plotW, plotH, offX, offY, drawW, drawH;
    int x(double deviceX) const { return static_cast<int>((offX + deviceX / drawW * plotW) * kRenderDpi / 72.0); }
    int y(double deviceY) const { return static_cast<int>((offY + (drawH - deviceY) / drawH * plotH) * kRenderDpi / 72.0); }
};

void sendFill(INTEGER op)
{
    DriverParameterBlock& b = driverParameterBlock();
    b.Value = 0;
    YYDriverHardcopy(op);
    b.Value = -1;
    YYDriverHardcopy(op);
}

// Answers the system's page set-up dialog from a timer, once it shows: OK (IDOK) or Cancel.
int& pageSetupAnswer()
{
    static int answer = IDOK;
    return answer;
}

void CALLBACK answerPageSetup(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = shownDialogBox();
    if (!dialog) return;
    // Any further box the dialog raises gets the same answer: the timer stays until the call returns.
    (void)timer;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(pageSetupAnswer(), BN_CLICKED), 0);
}

// Answers every system dialog with the button while it lives.
class PageSetupAnswer {
public:
    explicit PageSetupAnswer(int button) : timer_((pageSetupAnswer() = button, SetTimer(nullptr, 0, 200, answerPageSetup))) {}
    ~PageSetupAnswer() { KillTimer(nullptr, timer_); }
    PageSetupAnswer(const PageSetupAnswer&) = delete;
    PageSetupAnswer& operator=(const PageSetupAnswer&) = delete;

private:
    UINT_PTR timer_;
};

// What a printing test records about its page for the check that reads the PDF later: a line per
// probe, "probe X Y INK NAME" (pixels of the page rendered at kRenderDpi; INK 1 where the item
// must show, 0 where the page must stay blank), "dash X0 X1 Y" (a dashed line), "red X Y" (a
// pixel of the red line). Kept in the test's working folder.
std::string expectationFile(const std::string& stem) { return stem + ".expected"; }

class PrintedDocument : public WindowsPrinter {};

// Reads what the PrintedDocument tests printed, in a process that prints nothing.
class PrintedPdf : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(pdfFolder().empty()); }
};

BOOL CALLBACK collectVisibleWindow(HWND window, LPARAM list)
{
    if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

}  // namespace

TEST_F(WindowsPrinter, DriverFindsThePdfQueueAndAnswersItsPage)
{
    const auto [paperW, paperH] = ppdDefaultPage();
    ASSERT_GT(paperW, 0);
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    IGrHardcopyDevice(1, 10);
    EXPECT_EQ(hardcopyJobState().DriverDevice, 10);
    EXPECT_NE(pageSetupState().deviceName.find("PDF"), std::string::npos) << pageSetupState().deviceName;
    EXPECT_EQ(o.value(32), 1);
    // The driver's page is whole device pixels: a side may come out one point short of the PPD's.
    EXPECT_NEAR(o.value(31), std::max(paperW, paperH), 1);
    EXPECT_NEAR(o.value(30), std::min(paperW, paperH), 1);
    EXPECT_EQ(o.value(1), o.value(31) - 144);
    EXPECT_EQ(o.value(2), o.value(30) - 144);
    const INTEGER longSide = o.value(31);
    EXPECT_EQ(o.value(3), 72);
    EXPECT_EQ(o.value(4), 72);
    EXPECT_EQ(o.value(5), 1);
    EXPECT_EQ(o.value(8), 1);
    EXPECT_EQ(deviceCapabilityTable().LineTypeCount[1], 8);
    EXPECT_EQ(deviceCapabilityTable().CapabilityString[1].view(), "00000111111111100010011011110");

    // The identification query answers and changes nothing.
    DriverParameterBlock& b = driverParameterBlock();
    o.Options[1] = 111;
    b.Count = -999;
    XXWIN(OpInit);
    EXPECT_EQ(b.Count, 10);
    EXPECT_EQ(o.value(1), 111);

    // Re-initialising with kept options neither queries (the device-mode choices stay) nor
    // touches the page; the shared defaults are reset.
    const std::vector<INTEGER> kept{1, 2, 3, 4, 5, 8, 30, 31};
    for (const INTEGER k : kept) o.Options[static_cast<std::size_t>(k)] = 500 + k;
    o.Options[9] = 40;
    pageSetupState().paperSize = 9;
    b.Count = 0;
    b.Value = -998;
    XXWIN(OpInit);
    for (const INTEGER k : kept) EXPECT_EQ(o.value(k), 500 + k) << "option " << k;
    EXPECT_EQ(o.value(9), 5);
    EXPECT_EQ(pageSetupState().paperSize, 9);
    b.Value = 0;
    XXWIN(OpInit);
    EXPECT_EQ(pageSetupState().paperSize, -1);
    EXPECT_EQ(o.value(31), longSide);
}

TEST_F(PrintedDocument, UntitledIsNamedAfterTheProgramsGraphic)
{
    ASSERT_TRUE(removePdfs("Devivozivuz_graphic"));
    IGrHardcopyDevice(1, 10);
    IGrHardcopyBeginEnd();
    ASSERT_EQ(graphicsState().HardcopyActive, 1);
    EXPECT_EQ(hardcopyJobState().Title.trimmed(), "Devivozivuz graphic");
    IGrUnits(0, 0, 100, 100);
    IGrPenMove(10, 10);
    IGrPenDraw(90, 90);
    IGrHardcopyBeginEnd("S");
    EXPECT_EQ(printerDrawingState().DocumentOpen, 0);
}

TEST_F(PrintedPdf, UntitledDocumentHasOnePage)
{
    const std::string pdf = waitForPdf("Devivozivuz_graphic");
    ASSERT_FALSE(pdf.empty()) << "no PDF named after the graphic in " << pdfFolder();
    EXPECT_NE(runHost("pdfinfo '" + pdf + "'").find("Pages:           1"), std::string::npos);
}

TEST(DibColourTable, FollowsTheBitCount)
{
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biBitCount = 8;
    EXPECT_EQ(YYDibColourCount(header), 1024);
    header.biBitCount = 24;
    EXPECT_EQ(YYDibColourCount(header), 0);
    header.biBitCount = 8;
    header.biClrUsed = 16;
    EXPECT_EQ(YYDibColourCount(header), 64);
}

TEST_F(WindowsPrinter, WithoutAPrinterAStartReportsUnderTheDriverAndSendsNothingMore)
{
    NoPrinter none;
    IGrHardcopyDevice(1, 10);
    EXPECT_EQ(hardcopyOptionBlock().value(32), 0);
    EXPECT_NE(windowsPrinterDriverState().QueryStatus, 0);
    const auto visibleWindows = [] {
        std::vector<HWND> list;
        EnumThreadWindows(GetCurrentThreadId(), collectVisibleWindow, reinterpret_cast<LPARAM>(&list));
        return list;
    };
    HWND client = windowSlotTable().Slots[0].Client;
    ASSERT_TRUE(client);
    const RECT before = clientRect(client);
    const std::vector<HWND> windowsBefore = visibleWindows();
    ReportCapture capture;
    IGrHardcopyBeginEnd(std::nullopt, "Never printed");
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1);
    EXPECT_NE(ReportCapture::last().find("XXWIN"), std::string::npos) << ReportCapture::last();
    EXPECT_EQ(graphicsState().HardcopyActive, 0);
    EXPECT_FALSE(printerDrawingState().Printer);
    EXPECT_EQ(printerDrawingState().DocumentOpen, 0);
    // Nothing reaches the driver now: drawing leaves the printer's state alone.
    hardcopyJobState().PageOpen = 0;
    IGrUnits(0, 0, 100, 100);
    IGrPenMove(10, 10);
    IGrPenDraw(90, 90);
    EXPECT_EQ(hardcopyJobState().PageOpen, 0);
    // The screen print cannot start either, under the screen driver's name.
    screenDumpRecord().Settings[1] = 0;
    libraryErrorState().LastErrorNumber = 0;
    YYDriverCurrent(OpEndPage);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1);
    EXPECT_NE(ReportCapture::last().find("YYGAPI"), std::string::npos) << ReportCapture::last();
    pumpPending();
    EXPECT_EQ(visibleWindows(), windowsBefore);
    const RECT after = clientRect(client);
    EXPECT_EQ(before.right, after.right);
    EXPECT_EQ(before.bottom, after.bottom);
}

TEST_F(PrintedDocument, UprightAfterPortraitPageSetup)
{
    ASSERT_TRUE(removePdfs("Upright_page"));
    IGrHardcopyDevice(1, 10);
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    ASSERT_EQ(o.value(32), 1);
    // Portrait: the plot area upright inside the one-inch margins.
    const INTEGER shortSide = o.value(30), longSide = o.value(31);
    o.Options[5] = 0;
    o.Options[1] = shortSide - 144;
    o.Options[2] = longSide - 144;
    {
        const PageSetupAnswer answer(IDOK);
        WHardcopyOptions(1);
    }
    ASSERT_EQ(WDialogQuery(4), 1);
    EXPECT_EQ(o.value(5), 0);
    EXPECT_NEAR(o.value(31), shortSide, 1);
    EXPECT_NEAR(o.value(30), longSide, 1);
    IGrHardcopyBeginEnd(std::nullopt, "Upright page");
    ASSERT_EQ(graphicsState().HardcopyActive, 1);
    IGrUnits(0, 0, 100, 100);
    IGrPenMove(10, 50);
    IGrPenDraw(90, 50);
    IGrHardcopyBeginEnd("S");
    EXPECT_EQ(printerDrawingState().DocumentOpen, 0);
}

TEST_F(PrintedPdf, UprightPageIsPortrait)
{
    const std::string pdf = waitForPdf("Upright_page");
    ASSERT_FALSE(pdf.empty()) << "no upright page in " << pdfFolder();
    // Upright: a portrait page size without rotation, or a landscape one turned by 90 degrees.
    const std::string info = runHost("pdfinfo '" + pdf + "'");
    const PdfPageShape shape = pdfPageShape(info);
    ASSERT_TRUE(shape.found) << info;
    EXPECT_EQ(shape.width < shape.height, shape.rotation % 180 == 0) << info;
}

TEST_F(WindowsPrinter, PageSetupStoresThePageInPointsAndCancelChangesNothing)
{
    IGrHardcopyDevice(1, 10);
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    ASSERT_EQ(o.value(32), 1);
    o.Options[1] = 756;
    o.Options[3] = 36;
    o.Options[8] = 2;
    const auto before = o.Options;
    {
        const PageSetupAnswer answer(IDCANCEL);
        WHardcopyOptions(1);
    }
    EXPECT_EQ(WDialogQuery(4), 0);
    EXPECT_EQ(o.Options, before);

    // 756 points go out as 10500 thousandths of an inch and come back as 756.
    {
        const PageSetupAnswer answer(IDOK);
        WHardcopyOptions(1);
    }
    EXPECT_EQ(WDialogQuery(4), 1);
    EXPECT_EQ(o.value(1), 756);
    EXPECT_EQ(o.value(2), before[2]);
    EXPECT_EQ(o.value(3), 36);
    EXPECT_EQ(o.value(4), 72);
    EXPECT_EQ(o.value(5), 1);
    EXPECT_EQ(o.value(8), 2);
    // The dialog's paper is exact; the query's is whole device pixels.
    EXPECT_NEAR(o.value(31), before[31], 1);
    EXPECT_NEAR(o.value(30), before[30], 1);
}

TEST_F(WindowsPrinter, WithoutAPrinterTheOptionsReportError63)
{
    NoPrinter none;
    IGrHardcopyDevice(1, 10);
    ASSERT_EQ(hardcopyOptionBlock().value(32), 0);
    libraryErrorState().LastErrorNumber = 0;
    WHardcopyOptions();
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 63);
}

TEST_F(PrintedDocument, PrimitivesPage)
{
    const std::string title = "Primitives page";
    ASSERT_TRUE(removePdfs("Primitives_page"));
    DeleteFileA(expectationFile("Primitives_page").c_str());
    IGrHardcopyDevice(1, 10);
    ASSERT_EQ(hardcopyOptionBlock().value(32), 1);
    const GraphicsState& g = graphicsState();
    const HardcopyOptionBlock& o = hardcopyOptionBlock();
    IGrHardcopyBeginEnd(std::nullopt, title);
    ASSERT_EQ(g.HardcopyActive, 1);
    EXPECT_EQ(printerDrawingState().DocumentOpen, 1);

    const double W = g.DrawableWidth, H = g.DrawableHeight;
    const PageMap map{static_cast<double>(o.value(1)), static_cast<double>(o.value(2)), 72, 72, W, H};
    IGrUnits(0, 0, 100, 100);
    const auto dev = [&](REAL ux, REAL uy) {
        INTEGER ix = 0, iy = 0;
        IGrWorldToPixel(ux, uy, ix, iy);
        return std::pair<double, double>{ix + 0.5, iy + 0.5};
    };

    // Solid and dashed lines through the graphics layer.
    IGrColourN(31);
    IGrPenMove(5, 90);
    IGrPenDraw(45, 90);
    IGrLineStyle(2);
    IGrPenMove(55, 90);
    IGrPenDraw(95, 90);
    IGrLineStyle(0);
    // A filled polygon through the graphics layer.
    IGrFillStyle(4);
    const REAL px[] = {5, 20, 20, 5}, py[] = {55, 55, 70, 70};
    IGrPolygonDecomposed(px, py, 4);
    // Polyline, rectangle, ellipse and pie in device units through the driver protocol.
    DriverParameterBlock& b = driverParameterBlock();
    const double cw = W / 100.0, ch = H / 100.0;
    b.PolygonX = {static_cast<REAL>(30 * cw), static_cast<REAL>(40 * cw), static_cast<REAL>(50 * cw)};
    b.PolygonY = {static_cast<REAL>(55 * ch), static_cast<REAL>(70 * ch), static_cast<REAL>(55 * ch)};
    b.Count = 3;
    YYDriverHardcopy(OpPolyline);
    b.X1 = static_cast<REAL>(60 * cw);
    b.Y1 = static_cast<REAL>(55 * ch);
    b.X2 = static_cast<REAL>(75 * cw);
    b.Y2 = static_cast<REAL>(70 * ch);
    sendFill(OpRectangleFill);
    b.X1 = static_cast<REAL>(15 * cw);
    b.Y1 = static_cast<REAL>(30 * ch);
    b.X2 = static_cast<REAL>(10 * cw);
    b.Y2 = static_cast<REAL>(10 * ch);
    sendFill(OpEllipseFill);
    b.X1 = static_cast<REAL>(45 * cw);
    b.Y1 = static_cast<REAL>(20 * ch);
    b.X2 = static_cast<REAL>(12 * cw);
    b.Y2 = static_cast<REAL>(12 * cw);
    b.X3 = 0.0f;
    b.Y3 = 1.5707964f;
    b.X4 = 0.0f;
    b.Y4 = 90.0f;
    sendFill(OpSectorFill);
    // Text across and upwards.
    IGrTextAlign(0, 0.0f);
    IGrTextDraw(62, 35, "ACROSS");
    IGrTextAlign(0, 90.0f);
    IGrTextDraw(90, 10, "UPWARD");
    IGrTextAlign(0, 0.0f);
    {
        // The font was measured at the requested size and made again with its cell height as em height.
        TEXTMETRICA metrics{};
        ASSERT_TRUE(GetTextMetricsA(printerDrawingState().Printer.get(), &metrics));
        EXPECT_GT(printerDrawingState().FontCellHeight, 0);
        EXPECT_EQ(metrics.tmHeight - metrics.tmInternalLeading, printerDrawingState().FontCellHeight);
    }
    // A clip rectangle: a line drawn across it shows only inside.
    GraphicsTransform& t = graphicsTransform();
    const GraphicsTransform savedClip = t;
    t.ClipXMin = static_cast<REAL>(62 * cw);
    t.ClipXMax = static_cast<REAL>(72 * cw);
    t.ClipYMin = static_cast<REAL>(5 * ch);
    t.ClipYMax = static_cast<REAL>(25 * ch);
    YYDriverHardcopy(OpClipArea);
    b.X1 = static_cast<REAL>(55 * cw);
    b.Y1 = static_cast<REAL>(15 * ch);
    b.X2 = static_cast<REAL>(80 * cw);
    b.Y2 = static_cast<REAL>(15 * ch);
    YYDriverHardcopy(OpLine);
    t = savedClip;
    YYDriverHardcopy(OpClipArea);
    // An area in the upper part of the drawable, filled: it lands where it stands on the drawable.
    IGrArea(0.78f, 0.74f, 0.88f, 0.86f);
    IGrUnits(0, 0, 100, 100);
    const REAL ax[] = {5, 95, 95, 5}, ay[] = {5, 5, 95, 95};
    IGrPolygonDecomposed(ax, ay, 4);
    IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
    IGrUnits(0, 0, 100, 100);
    YYDriverHardcopy(OpClipArea);
    // The second page.
    YYDriverHardcopy(OpEndPage);
    IGrPenMove(5, 50);
    IGrPenDraw(95, 50);
    IGrTextDraw(40, 60, "SECOND");
    IGrHardcopyBeginEnd("S");
    EXPECT_EQ(printerDrawingState().DocumentOpen, 0);

    // Where the items must show on page 1, for the check that reads the PDF.
    const auto at = [&](REAL ux, REAL uy) {
        const auto [dx, dy] = dev(ux, uy);
        return std::pair<int, int>{map.x(dx), map.y(dy)};
    };
    struct Probe {
        const char* item;
        REAL ux, uy;
        bool ink;
    };
    const Probe probes[] = {
        {"solid line", 25, 90, true},       {"above the solid line", 25, 95, false},
        {"polygon", 12, 62, true},          {"right of the polygon", 25, 62, false},
        {"polyline vertex", 40, 69, true},  {"inside the polyline", 40, 58, false},
        {"rectangle", 67, 62, true},        {"right of the rectangle", 80, 62, false},
        {"ellipse centre", 15, 30, true},   {"ellipse box corner", 6, 39, false},
        {"pie quadrant", 48, 23, true},     {"opposite quadrant", 42, 17, false},
        {"clipped line inside", 67, 15, true}, {"clipped line outside", 58, 15, false},
        {"clipped line beyond", 77, 15, false},
        {"area in the upper part", 83, 80, true}, {"below that area", 83, 70, false},
    };
    std::ofstream expected(expectationFile("Primitives_page"));
    for (const Probe& p : probes) {
        const auto [x, y] = at(p.ux, p.uy);
        expected << "probe " << x << ' ' << y << ' ' << (p.ink ? 1 : 0) << ' ' << p.item << '\n';
    }
    expected << "dash " << at(58, 90).first << ' ' << at(92, 90).first << ' ' << at(58, 90).second << '\n';
    expected << "red " << at(25, 90).first << ' ' << at(25, 90).second << '\n';
    expected.close();
    ASSERT_TRUE(expected.good());
}

TEST_F(PrintedDocument, ImagePage)
{
    // A 2 x 1 BMP, red then blue, stretched over a clip rectangle of the page.
    ASSERT_TRUE(removePdfs("Image_page"));
    DeleteFileA(expectationFile("Image_page").c_str());
    const std::string image = "Z:/tmp/qv-printer-image-" + std::to_string(GetCurrentProcessId()) + ".bmp";
    {
        const unsigned char bytes[] = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0,
                                       1, 0, 24, 0, 0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                       0, 0, 255, 255, 0, 0, 0, 0};
        std::ofstream out(image, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes), sizeof bytes);
    }
    IGrHardcopyDevice(1, 10);
    IGrHardcopyBeginEnd(std::nullopt, "Image page");
    ASSERT_EQ(graphicsState().HardcopyActive, 1);
    const GraphicsState& g = graphicsState();
    const HardcopyOptionBlock& o = hardcopyOptionBlock();
    const double W = g.DrawableWidth, H = g.DrawableHeight;
    const PageMap map{static_cast<double>(o.value(1)), static_cast<double>(o.value(2)), 72, 72, W, H};
    IGrUnits(0, 0, 100, 100);
    GraphicsTransform& t = graphicsTransform();
    const GraphicsTransform saved = t;
    t.ClipXMin = static_cast<REAL>(20 * W / 100);
    t.ClipXMax = static_cast<REAL>(60 * W / 100);
    t.ClipYMin = static_cast<REAL>(30 * H / 100);
    t.ClipYMax = static_cast<REAL>(70 * H / 100);
    YYDriverHardcopy(OpClipArea);
    DriverParameterBlock& b = driverParameterBlock();
    stringWorkBuffer().assign(image);
    b.IntX1 = 1;
    b.Value = b.Count = -1;
    YYDriverHardcopy(OpImage);
    EXPECT_EQ(b.Value, 0);
    t = saved;
    YYDriverHardcopy(OpClipArea);
    IGrHardcopyBeginEnd("S");
    DeleteFileA(image.c_str());

    std::ofstream expected(expectationFile("Image_page"));
    const struct {
        const char* kind;
        REAL ux, uy;
    } probes[] = {{"red", 30, 50}, {"blue", 50, 50}, {"white", 70, 50}, {"white", 40, 85}};
    for (const auto& p : probes) {
        INTEGER ix = 0, iy = 0;
        IGrWorldToPixel(p.ux, p.uy, ix, iy);
        expected << p.kind << ' ' << map.x(ix + 0.5) << ' ' << map.y(iy + 0.5) << '\n';
    }
    expected.close();
    ASSERT_TRUE(expected.good());
}

TEST_F(PrintedDocument, WindowPrint)
{
    // The screen driver's page end prints the window area as one bitmap page.
    ASSERT_TRUE(removePdfs("Window_print"));
    IGrUnits(0, 0, 100, 100);
    // Half the window blue, so the print shows the window's colours.
    IGrColour("BLUE");
    IGrFillStyle(4);
    const REAL x[] = {0, 50, 50, 0}, y[] = {0, 0, 100, 100};
    IGrPolygonDecomposed(x, y, 4);
    pumpPending();
    stringWorkBuffer().assign("Window print");
    libraryErrorState().LastErrorNumber = 0;
    YYDriverCurrent(OpEndPage);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
}

// Boxed text stacked one character below the other, drawn in black right after a red line: the
// printer draws no background of its own behind the characters (it would take the colour drawn
// before, red). The red line lies in the bottom quarter of the page, the text in the top half.
TEST_F(PrintedDocument, StackedTextPage)
{
    ASSERT_TRUE(removePdfs("Stacked_text_page"));
    IGrHardcopyDevice(1, 10);
    IGrHardcopyBeginEnd(std::nullopt, "Stacked text page");
    ASSERT_EQ(graphicsState().HardcopyActive, 1);
    IGrUnits(0, 0, 100, 100);
    IGrColourN(31);
    IGrPenMove(5, 5);
    IGrPenDraw(15, 5);
    IGrColour("BLACK");
    WGrTextFont(std::nullopt, kTextBox);
    IGrTextSize(0.05f, 0.06f);
    IGrTextAlign(1, 0.0f, 2);
    IGrTextDraw(50, 75, "STACK");  // the middle of the column
    IGrTextAlign(0, 0.0f, 0);
    WGrTextFont(std::nullopt, 0);
    IGrHardcopyBeginEnd("S");
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
}

TEST_F(PrintedPdf, PrimitivesPageShowsItsItems)
{
    std::ifstream expected(expectationFile("Primitives_page"));
    ASSERT_TRUE(expected) << "the printing test left no expectations";
    const std::string pdf = waitForPdf("Primitives_page");
    ASSERT_FALSE(pdf.empty()) << "no PDF arrived in " << pdfFolder();
    const std::string info = runHost("pdfinfo '" + pdf + "'");
    EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
    EXPECT_NE(info.find("Primitives page"), std::string::npos) << info;
    const std::string text1 = runHost("pdftotext -f 1 -l 1 '" + pdf + "' -");
    EXPECT_NE(text1.find("ACROSS"), std::string::npos) << text1;
    const std::string text2 = runHost("pdftotext -f 2 -l 2 '" + pdf + "' -");
    EXPECT_NE(text2.find("SECOND"), std::string::npos) << text2;

    for (int page = 1; page <= 2; ++page) {
        const Raster r = render(pdf, page);
        ASSERT_GT(r.width, 0) << "page " << page;
        EXPECT_GT(r.width, r.height) << "page " << page << " is not landscape";
        // Nothing inside the one-inch margins.
        const int margin = kRenderDpi - 3;
        bool marginClean = true;
        for (int y = 0; y < r.height && marginClean; ++y)
            for (int x = 0; x < r.width; ++x)
                if ((x < margin || y < margin || x >= r.width - margin || y >= r.height - margin) && r.ink(x, y)) {
                    marginClean = false;
                    ADD_FAILURE() << "ink in the margin of page " << page << " at " << x << "," << y;
                    break;
                }
    }
    const Raster r = render(pdf, 1);
    ASSERT_GT(r.width, 0);
    int probes = 0;
    for (std::string kind; expected >> kind;) {
        if (kind == "probe") {
            int x = 0, y = 0, ink = 0;
            std::string item;
            expected >> x >> y >> ink;
            std::getline(expected, item);
            ++probes;
            EXPECT_EQ(r.inkNear(x, y, ink ? 3 : 1), ink == 1) << item << " at " << x << "," << y;
        } else if (kind == "dash") {
            // The dashed line has ink and gaps along its length.
            int x0 = 0, x1 = 0, yd = 0;
            expected >> x0 >> x1 >> yd;
            int inked = 0, blank = 0;
            for (int x = x0; x <= x1; ++x)
                (r.inkNear(x, yd, 0) || r.inkNear(x, yd - 1, 0) || r.inkNear(x, yd + 1, 0) ? inked : blank)++;
            EXPECT_GT(inked, (x1 - x0) / 4);
            EXPECT_GT(blank, (x1 - x0) / 8);
        } else if (kind == "red") {
            int x = 0, y = 0;
            expected >> x >> y;
            EXPECT_EQ(r.colour(x, y) & 0xFF, 0xFFu & RGB(255, 0, 0)) << "red line";
        }
    }
    EXPECT_EQ(probes, 17);
}

TEST_F(PrintedPdf, ImagePageShowsThePicture)
{
    std::ifstream expected(expectationFile("Image_page"));
    ASSERT_TRUE(expected) << "the printing test left no expectations";
    const std::string pdf = waitForPdf("Image_page");
    ASSERT_FALSE(pdf.empty()) << "no PDF arrived in " << pdfFolder();
    const Raster r = render(pdf, 1);
    ASSERT_GT(r.width, 0);
    int probes = 0;
    for (std::string kind; expected >> kind;) {
        int x = 0, y = 0;
        expected >> x >> y;
        ++probes;
        const COLORREF c = r.colour(x, y);
        if (kind == "red") EXPECT_TRUE(GetRValue(c) > 200 && GetGValue(c) < 80 && GetBValue(c) < 80) << std::hex << c;
        else if (kind == "blue") EXPECT_TRUE(GetBValue(c) > 200 && GetRValue(c) < 80 && GetGValue(c) < 80) << std::hex << c;
        else EXPECT_FALSE(r.inkNear(x, y, 1)) << kind << " at " << x << "," << y;
    }
    EXPECT_EQ(probes, 4);
}

TEST_F(PrintedPdf, StackedTextHasNoBackground)
{
    const std::string pdf = waitForPdf("Stacked_text_page");
    ASSERT_FALSE(pdf.empty()) << "no PDF arrived in " << pdfFolder();
    const std::string text = runHost("pdftotext '" + pdf + "' -");
    for (const char c : std::string("STACK")) EXPECT_NE(text.find(c), std::string::npos) << text;
    const Raster r = render(pdf, 1);
    ASSERT_GT(r.width, 0);
    const auto red = [](COLORREF c) { return GetRValue(c) > 180 && GetGValue(c) < 110 && GetBValue(c) < 110; };
    int ink = 0, redTop = 0, redBottom = 0;
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x) {
            if (red(r.colour(x, y))) (y < r.height / 2 ? redTop : redBottom)++;
            else if (y < r.height / 2 && r.ink(x, y)) ++ink;
        }
    EXPECT_GT(redBottom, 0);  // the red line
    EXPECT_GT(ink, 50);       // the characters
    EXPECT_EQ(redTop, 0);     // and nothing red behind them
}

TEST_F(PrintedPdf, WindowPrintShowsTheWindowsColours)
{
    const std::string windowPdf = waitForPdf("Window_print");
    ASSERT_FALSE(windowPdf.empty()) << "no window print in " << pdfFolder();
    EXPECT_NE(runHost("pdfinfo '" + windowPdf + "'").find("Pages:           1"), std::string::npos);
    const Raster w = render(windowPdf, 1);
    ASSERT_GT(w.width, 0);
    // One bitmap page: somewhere inside the margins the page is blue, and there is some light part too.
    int blue = 0, light = 0;
    for (int yy = kRenderDpi; yy < w.height - kRenderDpi; yy += 4)
        for (int xx = kRenderDpi; xx < w.width - kRenderDpi; xx += 4) {
            const COLORREF c = w.colour(xx, yy);
            if (GetBValue(c) > 150 && GetRValue(c) < 80 && GetGValue(c) < 80) ++blue;
            if (GetRValue(c) > 200 && GetGValue(c) > 200 && GetBValue(c) > 200) ++light;
        }
    EXPECT_GT(blue, 20);
    EXPECT_GT(light, 20);
}
