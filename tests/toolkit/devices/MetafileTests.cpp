// Pictures under Wine: hardcopy device 11 in its three formats (bytes of the placeable header and
// the frame, the files converted by wmf2svg and emf2svg-conv and rendered by rsvg-convert, the
// same files played back into a DIB, the clipboard), the enhanced-metafile picture slots, the
// in-memory CGM slot drawn through IGrSelect kind 4, and the CGM file read by LibreOffice.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <span>
#include <cstdint>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "CgmReader.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/HostTools.h"
#include "tests/support/ToolkitSession.h"
#include "tests/toolkit/foundation/ReporterGuard.h"
#include "tests/toolkit/foundation/WorkFileFaults.h"
#include "toolkit/devices/ByteSource.h"
#include "toolkit/devices/CgmFileDriver.h"
#include "toolkit/devices/GraphicFileProbe.h"
#include "toolkit/devices/HardcopyJob.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/MetafileOutput.h"
#include "toolkit/devices/MetafileSlots.h"
#include "toolkit/devices/WindowsMetafileDriver.h"
#include "toolkit/foundation/CommonDialogs.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/ToolkitStartUp.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/EnhancedMetafileSlots.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GdiDrawingState.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/ShadedPolygons.h"
#include "toolkit/graphics/TextDrawing.h"

using namespace GuiHarness;
using namespace HostTools;
using namespace ToolkitSession;

namespace {

// The converters and LibreOffice take long on a loaded machine.
constexpr std::chrono::milliseconds kHostDeadline = 120000ms;

// A picture as RGB pixels, probed by fractions of its width and height (y from the top).
struct Raster {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(double fx, double fy) const
    {
        const int x = std::clamp(static_cast<int>(fx * width), 0, width - 1);
        const int y = std::clamp(static_cast<int>(fy * height), 0, height - 1);
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
    // Whether some pixel within radius pixels of the point is close to the colour.
    bool hasColourNear(double fx, double fy, COLORREF colour, int radius = 2) const
    {
        return anyNear(fx, fy, radius, [colour](COLORREF c) {
            return std::abs(GetRValue(c) - GetRValue(colour)) < 60 && std::abs(GetGValue(c) - GetGValue(colour)) < 60 &&
                   std::abs(GetBValue(c) - GetBValue(colour)) < 60;
        });
    }
    // Whether some pixel within radius pixels of the point is clearly darker than white: a
    // hairline smoothed by a renderer comes out grey.
    bool hasInkNear(double fx, double fy, int radius) const
    {
        return anyNear(fx, fy, radius, [](COLORREF c) { return std::max({GetRValue(c), GetGValue(c), GetBValue(c)}) < 200; });
    }
    bool anyNear(double fx, double fy, int radius, const std::function<bool(COLORREF)>& matches) const
    {
        const int cx = static_cast<int>(fx * width), cy = static_cast<int>(fy * height);
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx) {
                const int x = cx + dx, y = cy + dy;
                if (x < 0 || y < 0 || x >= width || y >= height) continue;
                if (matches(pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]))
                    return true;
            }
        return false;
    }
};

// A PNG of the host turned into a PPM by netpbm and read.
Raster readPng(const std::string& png)
{
    const std::string ppm = png + ".ppm";
    runHost("pngtopnm '" + png + "' > '" + ppm + "'", kHostDeadline);
    const Pnm image = parsePnm(readFile("Z:" + ppm));
    DeleteFileA(("Z:" + ppm).c_str());
    Raster r;
    if (image.channels != 3) return r;
    r.width = image.width;
    r.height = image.height;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) r.pixels.push_back(RGB(image.at(x, y, 0), image.at(x, y, 1), image.at(x, y, 2)));
    return r;
}

// A white 32-bit DIB section of the page's proportions to play pictures into.
class DibTarget {
public:
    DibTarget(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
        selection_.emplace(dc_.get(), bitmap_.get());
        RECT all{0, 0, width, height};
        FillRect(dc_.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    HDC dc() const { return dc_.get(); }
    Raster raster() const
    {
        GdiFlush();
        Raster r;
        r.width = width_;
        r.height = height_;
        const auto* p = static_cast<const std::uint32_t*>(bits_);
        for (int k = 0; k < width_ * height_; ++k) {
            const std::uint32_t v = p[k];
            r.pixels.push_back(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
        }
        return r;
    }

private:
    int width_, height_;
    MemoryDcHandle dc_;
    BitmapHandle bitmap_;
    void* bits_ = nullptr;
    std::optional<DcSelection> selection_;
};

// The screen driver's drawing context replaced by another for the scope.
class DrawingInto {
public:
    explicit DrawingInto(HDC dc) : saved_(gdiDrawingState().DrawingDC) { gdiDrawingState().DrawingDC = dc; }
    ~DrawingInto() { gdiDrawingState().DrawingDC = saved_; }
    DrawingInto(const DrawingInto&) = delete;
    DrawingInto& operator=(const DrawingInto&) = delete;

private:
    HDC saved_;
};

std::string tempFolder()
{
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    return path;
}

// The host's name of a file in Wine's temporary folder.
std::string hostName(const std::string& windowsName)
{
    char hostPath[MAX_PATH * 2] = {};
    using Converter = char*(CDECL*)(LPCWSTR);
    const auto convert = reinterpret_cast<Converter>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert) return windowsName;
    std::wstring wide(windowsName.begin(), windowsName.end());
    char* name = convert(wide.c_str());
    if (!name) return windowsName;
    std::snprintf(hostPath, sizeof hostPath, "%s", name);
    HeapFree(GetProcessHeap(), 0, name);
    return hostPath;
}

// A 4 x 4 magenta 24-bit BMP.
std::string writeMagentaBmp()
{
    const std::string name = tempFolder() + "qv-magenta.bmp";
    std::string bytes = "BM";
    const auto put32 = [&](std::uint32_t v) {
        for (int k = 0; k < 4; ++k) bytes += static_cast<char>((v >> (8 * k)) & 0xFF);
    };
    const auto put16 = [&](std::uint16_t v) {
        bytes += static_cast<char>(v & 0xFF);
        bytes += static_cast<char>(v >> 8);
    };
    put32(54 + 48);
    put32(0);
    put32(54);
    put32(40);
    put32(4);
    put32(4);
    put16(1);
    put16(24);
    put32(0);
    put32(48);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    for (int k = 0; k < 16; ++k) bytes += std::string("\xFF\x00\xFF", 3);
    std::ofstream(name, std::ios::binary) << bytes;
    return name;
}

void rgb(INTEGER packed)
{
    GraphicsState& g = graphicsState();
    g.ColourModel = kRgbMode;
    g.ColourRGB[0] = g.ColourRGB[1];
    g.ColourRGB[1] = packed;
    YYDriverHardcopy(OpColour);
}

void sendFill(INTEGER op)
{
    DriverParameterBlock& b = driverParameterBlock();
    b.Value = 0;
    YYDriverHardcopy(op);
    b.Value = -1;
    YYDriverHardcopy(op);
}

constexpr INTEGER kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00C000, kBlack = 0;

// Where the test page puts its items, as fractions of the page (y from the top).
struct PageProbe {
    const char* item;
    double fx, fy;
    COLORREF colour;
    bool ink;  // true: the colour is found near the place (white: exactly there); false: no white near it
};

const std::vector<PageProbe>& pageProbes()
{
    static const std::vector<PageProbe> probes{
        {"rectangle", 0.20, 0.35, RGB(255, 0, 0), true},
        {"ellipse", 0.50, 0.35, RGB(0, 0, 255), true},
        {"sector", 0.78, 0.32, RGB(0, 192, 0), true},
        {"outside the sector", 0.72, 0.38, RGB(255, 255, 255), true},
        {"image", 0.20, 0.70, RGB(255, 0, 255), true},
        {"shaded polygon", 0.45, 0.735, RGB(0, 0, 0), false},
        {"short arc, not a full circle", 0.825, 0.825, RGB(255, 255, 255), true},
        {"solid line", 0.10, 0.08, RGB(0, 0, 0), true},  // left of the wedge wmf2svg draws for the sector
        {"empty page", 0.65, 0.90, RGB(255, 255, 255), true},
    };
    return probes;
}

// A black frame to the page edges (every reader sees the whole page), then the eight line types
// from x1 to x2 (fractions of the page), line type t at first + t * step from the top.
void drawFrameAndLineTypes(double x1, double x2, double first, double step)
{
    const GraphicsState& g = graphicsState();
    const double W = g.DrawableWidth, H = g.DrawableHeight;
    const auto X = [&](double f) { return static_cast<REAL>(f * (W - 1)); };
    const auto Y = [&](double fromTop) { return static_cast<REAL>((1.0 - fromTop) * (H - 1)); };
    DriverParameterBlock& b = driverParameterBlock();
    rgb(kBlack);
    IGrLineStyle(0);
    YYDriverHardcopy(OpLineType);
    b.PolygonX = {X(0), X(1), X(1), X(0), X(0)};
    b.PolygonY = {Y(0), Y(0), Y(1), Y(1), Y(0)};
    b.Count = 5;
    YYDriverHardcopy(OpPolyline);
    for (INTEGER type = 0; type < 8; ++type) {
        IGrLineStyle(type);
        YYDriverHardcopy(OpLineType);
        b.X1 = X(x1);
        b.X2 = X(x2);
        b.Y1 = b.Y2 = Y(first + step * type);
        YYDriverHardcopy(OpLine);
    }
    IGrLineStyle(0);
    YYDriverHardcopy(OpLineType);
}

// The test page on the running hardcopy: a frame to the page edges, the eight line types, fills,
// an ellipse, a sector, a short arc, text across and upwards, an image and a shaded polygon.
void drawTestPage(const std::string& image, bool upwardText = true)
{
    const GraphicsState& g = graphicsState();
    const double W = g.DrawableWidth, H = g.DrawableHeight;
    const auto X = [&](double f) { return static_cast<REAL>(f * (W - 1)); };
    const auto Y = [&](double fromTop) { return static_cast<REAL>((1.0 - fromTop) * (H - 1)); };
    DriverParameterBlock& b = driverParameterBlock();
    drawFrameAndLineTypes(0.05, 0.45, 0.08, 0.02);
    IGrFillStyle(4);
    rgb(kRed);
    b.X1 = X(0.10);
    b.Y1 = Y(0.45);
    b.X2 = X(0.30);
    b.Y2 = Y(0.25);
    sendFill(OpRectangleFill);
    rgb(kBlue);
    b.X1 = X(0.50);
    b.Y1 = Y(0.35);
    b.X2 = static_cast<REAL>(0.08 * W);
    b.Y2 = static_cast<REAL>(0.08 * W);
    sendFill(OpEllipseFill);
    rgb(kGreen);
    b.X1 = X(0.75);
    b.Y1 = Y(0.40);
    b.X2 = static_cast<REAL>(0.10 * W);
    b.Y2 = static_cast<REAL>(0.10 * W);
    b.X3 = 0.0f;
    b.Y3 = 1.5707964f;
    b.X4 = 0.0f;
    b.Y4 = 90.0f;
    sendFill(OpSectorFill);
    // A sector whose ends meet: a short arc, never the whole ellipse.
    rgb(kBlack);
    b.X1 = X(0.86);
    b.Y1 = Y(0.80);
    b.X2 = static_cast<REAL>(0.08 * W);
    b.Y2 = static_cast<REAL>(0.08 * W);
    b.X3 = b.Y3 = 0.5f;
    b.X4 = 28.6f;
    b.Y4 = 0.01f;
    sendFill(OpSectorFill);
    IGrFillStyle(0);
    IGrTextAlign(0, 0.0f);
    IGrUnits(0, 0, 100, 100);
    IGrTextDraw(55, 40, "ACROSS");
    if (upwardText) {
        IGrTextAlign(0, 90.0f);
        IGrTextDraw(95, 10, "UP");
        IGrTextAlign(0, 0.0f);
    }
    // The image fills the clip window.
    GraphicsTransform& t = graphicsTransform();
    const GraphicsTransform saved = t;
    t.ClipXMin = X(0.10);
    t.ClipXMax = X(0.30);
    t.ClipYMin = Y(0.80);
    t.ClipYMax = Y(0.60);
    stringWorkBuffer().assign(image);
    b.IntX1 = kGraphicBmp;
    b.IntX2 = b.IntY2 = 4;
    YYDriverHardcopy(OpImage);
    t = saved;
    // A shaded triangle, red, green and blue at its corners.
    ShadedPolygonBlock& shade = shadedPolygonBlock();
    shade.VertexCount = 3;
    shade.VertexColour[0] = kRed;
    shade.VertexColour[1] = kGreen;
    shade.VertexColour[2] = kBlue;
    // Small: a Windows metafile receives it pixel by pixel.
    b.PolygonX = {X(0.40), X(0.50), X(0.45)};
    b.PolygonY = {Y(0.76), Y(0.76), Y(0.68)};
    b.Count = 3;
    YYDriverHardcopy(OpShadedPolygon);
}

class Pictures : public ::testing::Test {
protected:
    void SetUp() override
    {
        pageSetupState().deviceName.clear();
        openMainWindow("Picture test", 420, 320, 20, 20);
        IGrResetGraphics("");
    }
    void TearDown() override
    {
        IGrHardcopyBeginEnd("S");
        closeAllWindows();
    }
    // One job on device 11 in the format into the file (blank: the clipboard).
    void record(INTEGER format, const std::string& file)
    {
        IGrHardcopyDevice(1, 11);
        *hardcopyOptionBlock().slot(27) = format;
        IGrHardcopyBeginEnd(file.empty() ? std::optional<std::string_view>(" ") : std::optional<std::string_view>(file));
        ASSERT_EQ(graphicsState().HardcopyActive, 1);
        drawTestPage(image_);
        IGrHardcopyBeginEnd("S");
    }
    Watchdog watchdog_{std::chrono::milliseconds(280000)};
    std::string image_ = writeMagentaBmp();
};

// The changes between ink and paper along a row of pixels from x1 to x2 (a band of rows: a hairline
// may fall a pixel off, and a renderer that smooths it leaves it light grey): none for a solid
// line, several for a dashed one.
int inkChanges(const Raster& r, int row, int x1, int x2)
{
    int changes = 0;
    bool last = true;
    for (int x = x1; x <= x2; ++x) {
        bool ink = false;
        for (int y = std::max(row - 3, 0); y <= std::min(row + 3, r.height - 1); ++y) {
            const COLORREF c = r.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(r.width) + static_cast<std::size_t>(x)];
            ink = ink || std::max({GetRValue(c), GetGValue(c), GetBValue(c)}) < 230;
        }
        if (ink != last) ++changes;
        last = ink;
    }
    return changes;
}

// The page's probes, but for the items named as not drawn (a reader's known gaps); smoothed: the
// black lines may come out grey.
void expectPage(const Raster& r, const std::string& what, const std::vector<std::string_view>& notDrawn = {},
                bool smoothed = false)
{
    ASSERT_GT(r.width, 0) << what;
    for (const PageProbe& p : pageProbes()) {
        if (std::find(notDrawn.begin(), notDrawn.end(), std::string_view(p.item)) != notDrawn.end()) continue;
        const bool white = p.colour == RGB(255, 255, 255);
        if (smoothed && p.ink && p.colour == RGB(0, 0, 0)) EXPECT_TRUE(r.hasInkNear(p.fx, p.fy, 3)) << what << ": " << p.item;
        else if (p.ink) EXPECT_TRUE(r.hasColourNear(p.fx, p.fy, p.colour, white ? 0 : 3)) << what << ": " << p.item;
        else EXPECT_FALSE(r.hasColourNear(p.fx, p.fy, RGB(255, 255, 255), 1)) << what << ": " << p.item;
    }
}

}  // namespace

TEST(MetafileBytes, PlaceableHeaderFrameAndDashes)
{
    INTEGER right = 0, bottom = 0, checksum = 0;
    YYPlaceableBox(756, 540, right, bottom, checksum);
    EXPECT_EQ(right, 10500);
    EXPECT_EQ(bottom, 7500);
    EXPECT_EQ(checksum, 0x60B1);
    const auto header = YYPlaceableHeader(right, bottom, checksum);
    const std::vector<std::uint8_t> expected{0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 0x04, 0x29, 0x4C, 0x1D,
                                             0xE8, 0x03, 0, 0, 0, 0, 0xB1, 0x60};
    EXPECT_EQ(std::vector<std::uint8_t>(header.begin(), header.end()), expected);
    std::uint16_t x = 0;
    for (std::size_t k = 0; k < 20; k += 2) x ^= static_cast<std::uint16_t>(header[k] | (header[k + 1] << 8));
    EXPECT_EQ(x, 0x60B1);

    MetafileOutputState& s = metafileOutputState();
    s.ReferenceDpi = 300;
    s.Format = 2;
    gdiDrawingState().ScreenResolution = 96;
    YYMetafileLineWidth(3);
    EXPECT_EQ(s.DashArrays[6], (std::vector<std::uint32_t>{25, 14, 12, 14, 12, 14}));
    // A Windows metafile's dashes in tenths of a point.
    s.Format = 1;
    YYMetafileLineWidth(3);
    EXPECT_EQ(s.DashArrays[6], (std::vector<std::uint32_t>{60, 32, 30, 32, 30, 32}));
    s.Format = 0;

    *hardcopyOptionBlock().slot(6) = 2;
    struct Case {
        INTEGER r, g, b, er, eg, eb;
    };
    for (const Case c : {Case{5, 5, 5, 250, 250, 250}, Case{5, 200, 5, 5, 200, 5}, Case{250, 250, 250, 5, 5, 5},
                         Case{246, 246, 9, 246, 246, 9}}) {
        INTEGER r = c.r, g = c.g, b = c.b;
        YYMetafileColourInvert(r, g, b);
        EXPECT_EQ(RGB(r, g, b), RGB(c.er, c.eg, c.eb));
    }
    *hardcopyOptionBlock().slot(6) = 0;
}

TEST_F(Pictures, PlaceableFileKeepsTheHeaderFrameAndExtent)
{
    const std::string file = tempFolder() + "qv-page.wmf";
    record(1, file);
    EXPECT_EQ(metafileOutputState().FrameWidth, 26670);
    EXPECT_EQ(metafileOutputState().FrameHeight, 19050);
    EXPECT_EQ(metafileOutputState().ExtentX, 7561);
    EXPECT_EQ(metafileOutputState().ExtentY, 5401);
    const std::string bytes = readFile(file);
    ASSERT_GT(bytes.size(), 22u + 18u);
    EXPECT_EQ(bytes.substr(0, 22), std::string("\xD7\xCD\xC6\x9A\0\0\0\0\0\0\x04\x29\x4C\x1D\xE8\x03\0\0\0\0\xB1\x60", 22));
    // META_SETWINDOWEXT (0x020C) records the extent as height, width.
    EXPECT_NE(bytes.find(std::string("\x05\0\0\0\x0C\x02\x19\x15\x89\x1D", 10)), std::string::npos);
}

TEST_F(Pictures, EnhancedFileHasTheFrame)
{
    const std::string file = tempFolder() + "qv-page.emf";
    record(2, file);
    const std::string bytes = readFile(file);
    ASSERT_GT(bytes.size(), 88u);
    const auto i32 = [&](std::size_t at) {
        return static_cast<std::int32_t>(static_cast<std::uint8_t>(bytes[at]) | (static_cast<std::uint8_t>(bytes[at + 1]) << 8) |
                                         (static_cast<std::uint8_t>(bytes[at + 2]) << 16) |
                                         (static_cast<std::uint8_t>(bytes[at + 3]) << 24));
    };
    EXPECT_EQ(i32(0), 1);  // EMR_HEADER
    EXPECT_EQ(i32(40), 0x464D4520);
    EXPECT_EQ(i32(24), 0);
    EXPECT_EQ(i32(32), 26670);
    EXPECT_EQ(i32(36), 19050);
}

TEST_F(Pictures, EveryFormatPlaysBackAsThePage)
{
    struct Format {
        INTEGER code;
        const char* file;
    };
    for (const Format f : {Format{0, "qv-play.wmf"}, Format{1, "qv-play-p.wmf"}, Format{2, "qv-play.emf"}}) {
        const std::string file = tempFolder() + f.file;
        record(f.code, file);
        DibTarget target(756, 540);
        DrawingInto into(target.dc());
        INTEGER status = -1;
        YYMetafilePlay(f.code, 0, 0, 755, 539, 0, 0, 0, 0, status, file, 0);
        EXPECT_EQ(status, 0) << f.file;
        expectPage(target.raster(), std::string("played ") + f.file);
    }
    INTEGER status = 0;
    YYMetafilePlay(1, 0, 0, 10, 10, 0, 0, 0, 0, status, tempFolder() + "no-such.wmf", 0);
    EXPECT_EQ(status, 1);
}

// Each reader is probed only for what it draws right. wmf2svg misplaces the image (it scales the
// placed bitmap twice, off the page) and draws the pie of the sector as a long wedge; its SVG also
// leaves polylines without "fill:none" (SVG then fills the page frame black) and makes solid fills
// half transparent when the background mode is transparent, which GDI never does: those two slips
// of its writer are mended in the SVG before rendering. emf2svg draws no gradient fill, so the
// shaded polygon is missing. Both renderers smooth the hairlines to grey.
TEST_F(Pictures, IndependentReadersRenderThePage)
{
    // The SVG mends for wmf2svg's writer, as a sed script (no quoting through the host shell).
    const std::string mends = tempFolder() + "qv-wmf-svg.sed";
    std::ofstream(mends, std::ios::binary) << "s|</desc>|</desc><style type=\"text/css\">polyline { fill: none }</style>|\n"
                                              "s/fill-opacity:0\\.5; //g\n";
    struct Format {
        INTEGER code;
        const char* file;
        const char* converter;
        std::vector<std::string_view> notDrawn;
    };
    const std::vector<std::string_view> wmfGaps{"image", "sector", "outside the sector"};
    for (const Format& f : {Format{0, "qv-read.wmf", "wmf2svg --inline -o", wmfGaps},
                            Format{1, "qv-read-p.wmf", "wmf2svg --inline -o", wmfGaps},
                            Format{2, "qv-read.emf", "emf2svg-conv -o", {"shaded polygon"}}}) {
        const std::string file = tempFolder() + f.file;
        record(f.code, file);
        const std::string host = hostName(file), svg = host + ".svg", png = host + ".png";
        const std::string in = f.code == 2 ? " -i '" + host + "'" : " '" + host + "'";
        // wmf2svg writes inline images with an xlink prefix it does not declare.
        const std::string mend = f.code == 2 ? std::string()
                                             : " && { grep -q 'xmlns:xlink' '" + svg +
                                                   "' || sed -i 's|<svg |<svg xmlns:xlink=\\\"http://www.w3.org/1999/xlink\\\" |' '" +
                                                   svg + "'; } && sed -i -f '" + hostName(mends) + "' '" + svg + "'";
        const std::string log = runHost(std::string(f.converter) + " '" + svg + "'" + in + mend +
                                        " && rsvg-convert -b white -w 756 -h 540 '" + svg + "' -o '" + png + "' && echo converted",
                                        kHostDeadline);
        ASSERT_NE(log.find("converted"), std::string::npos) << f.file << ": " << log;
        const Raster page = readPng(png);
        expectPage(page, std::string("rendered ") + f.file, f.notDrawn, true);
        for (INTEGER type = 1; type < 8; ++type)
            EXPECT_GE(inkChanges(page, static_cast<int>((0.08 + 0.02 * type) * page.height), page.width * 7 / 100,
                                 page.width * 43 / 100),
                      6)
                << f.file << ": dashes of line type " << type;
    }
}

TEST_F(Pictures, BlankNameDeliversToTheClipboard)
{
    for (const INTEGER format : {1, 2}) {
        record(format, "");
        ClipboardSession clipboard(nullptr);
        ASSERT_TRUE(clipboard.isOpen());
        if (format == 1) {
            ASSERT_TRUE(IsClipboardFormatAvailable(CF_METAFILEPICT));
            const HGLOBAL block = GetClipboardData(CF_METAFILEPICT);
            GlobalLockGuard lock(block);
            const auto* picture = static_cast<const METAFILEPICT*>(lock.data());
            ASSERT_NE(picture, nullptr);
            EXPECT_EQ(picture->mm, MM_ANISOTROPIC);
            EXPECT_EQ(picture->xExt, 26670);
            EXPECT_EQ(picture->yExt, 19050);
            EXPECT_GT(GetMetaFileBitsEx(picture->hMF, 0, nullptr), 0u);
        } else {
            ASSERT_TRUE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
            const auto picture = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
            ENHMETAHEADER header{};
            ASSERT_GT(GetEnhMetaFileHeader(picture, sizeof header, &header), 0u);
            EXPECT_EQ(header.rclFrame.right, 26670);
        }
    }
    // The enhanced picture on the clipboard plays back as the page.
    DibTarget target(756, 540);
    DrawingInto into(target.dc());
    INTEGER status = -1;
    YYMetafilePlay(2, 0, 0, 755, 539, 0, 0, 0, 0, status, "", 1);
    EXPECT_EQ(status, 0);
    expectPage(target.raster(), "clipboard");
}

TEST_F(Pictures, AFileThatCannotBeWrittenIsReported)
{
    IGrHardcopyDevice(1, 11);
    *hardcopyOptionBlock().slot(27) = 1;
    libraryErrorState().LastErrorNumber = 0;
    WErrorReportMode(0);
    IGrHardcopyBeginEnd(tempFolder() + "no-such-folder\\page.wmf");
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1);
    EXPECT_EQ(graphicsState().HardcopyActive, 0);
}

// A picture file that cannot be made whole leaves an earlier file of its name byte for byte and no
// work file beside it, in every format: a read-only target is refused at the open, a target that
// another program holds cannot be replaced at the close, and the work file's own steps fail on
// purpose (the placeable header and bits are this program's writes; the other formats the
// platform records into the work file by its name). Each failure is reported once and told to the
// user once, with the file's name.
TEST_F(Pictures, FailedPictureFileKeepsTheOldFileAndSaysSoOnce)
{
    enum class Target { Plain, ReadOnly, Held };
    struct Case {
        const char* what;
        Target target;
        std::optional<WorkFileStep> step;
        int index;        // of the step's calls
        INTEGER error;    // reported under XXWMF
        bool placeableOnly;
    };
    const Case cases[] = {
        {"complete", Target::Plain, std::nullopt, 0, 0, false},
        {"read-only target", Target::ReadOnly, std::nullopt, 0, 1, false},
        {"target held open", Target::Held, std::nullopt, 0, 3, false},
        {"no work file", Target::Plain, WorkFileStep::Create, 0, 1, false},
        {"flush", Target::Plain, WorkFileStep::Flush, 0, 3, false},
        {"replace", Target::Plain, WorkFileStep::Replace, 0, 3, false},
        {"header write", Target::Plain, WorkFileStep::Write, 0, 1, true},
        {"bits write", Target::Plain, WorkFileStep::Write, 1, 2, true},
    };
    const std::string kOld = "an earlier picture of this name\r\n";
    const std::string folder = tempFolder() + "qv-picture-faults\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    static std::vector<std::string> told;
    for (const INTEGER format : {0, 1, 2}) {
        DeleteFileA((folder + "picture.wmf").c_str());
        for (const Case& c : cases) {
            if (c.placeableOnly && format != 1) continue;
            SCOPED_TRACE(::testing::Message() << "format " << format << ": " << c.what);
            const std::string file = folder + (format == 2 ? "picture.emf" : "picture.wmf");
            SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            {
                std::ofstream(file, std::ios::binary) << kOld;
            }
            if (c.target == Target::ReadOnly) SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
            FileHandle holder(c.target == Target::Held ? CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                                     OPEN_EXISTING, 0, nullptr)
                                                       : INVALID_HANDLE_VALUE);
            const ReporterGuard reporter;
            libraryErrorState().ReportMode = kReportConsole;
            told.clear();
            errorReportHooks().userFileFailure = [](std::string_view name, std::string_view) { told.emplace_back(name); };
            {
                const WorkFileFault fault(c.step.value_or(WorkFileStep::Create), c.step ? c.index : WorkFileFault::kNoFault,
                                          YYWorkFileDiskFullCode());
                IGrHardcopyDevice(1, 11);
                *hardcopyOptionBlock().slot(27) = format;
                IGrHardcopyBeginEnd(file);
                if (graphicsState().HardcopyActive == 1) {
                    IGrPenMove(0.1f, 0.1f);
                    IGrPenDraw(0.9f, 0.8f);
                    IGrHardcopyBeginEnd("S");
                }
                if (c.step) {
                    EXPECT_TRUE(WorkFileFault::struck());
                }
            }
            holder.reset();
            SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            WIN32_FIND_DATAA found{};
            std::vector<std::string> names;
            const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
            if (search != INVALID_HANDLE_VALUE) {
                do {
                    if (found.cFileName[0] != '.') names.emplace_back(found.cFileName);
                } while (FindNextFileA(search, &found));
                FindClose(search);
            }
            EXPECT_EQ(names, std::vector<std::string>{format == 2 ? "picture.emf" : "picture.wmf"});
            std::string reports;
            for (const std::string& r : ReporterGuard::records()) reports += r + "\n";
            if (c.error == 0) {
                EXPECT_NE(readFile(file), kOld);
                EXPECT_EQ(readFile(file).substr(0, format == 1 ? 4 : 0), format == 1 ? "\xD7\xCD\xC6\x9A" : "");
                EXPECT_TRUE(ReporterGuard::records().empty()) << reports;
                EXPECT_TRUE(told.empty());
            } else {
                EXPECT_EQ(readFile(file), kOld);
                char expected[32];
                std::snprintf(expected, sizeof expected, "XXWMF Error=%4d", static_cast<int>(c.error));
                ASSERT_EQ(ReporterGuard::records().size(), 1u) << reports;
                EXPECT_NE(ReporterGuard::records()[0].find(expected), std::string::npos) << reports;
                ASSERT_EQ(told.size(), 1u);
                EXPECT_EQ(told[0], file);
            }
        }
    }
    DeleteFileA((folder + "picture.wmf").c_str());
    DeleteFileA((folder + "picture.emf").c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST_F(Pictures, EnhancedSlotRecordsSavesLoadsAndPlays)
{
    INTEGER w = 0, h = 0, wmm = 0, hmm = 0, status = 1;
    YYEmfCreate(0, 200, 100, w, h, wmm, hmm, status);
    ASSERT_EQ(status, 0);
    MetafileSlot& slot = metafileSlotTable().Slots[0];
    slot.Words = {};
    slot.Words[kSlotWidthPoints] = 200;
    slot.Words[kSlotHeightPoints] = 100;
    // The drawable in pixels of the reference device.
    slot.Words[kSlotWidthUnits] = wmm > 0 ? static_cast<INTEGER>(200 * 25.4 / 72 * w / wmm) : 267;
    slot.Words[kSlotHeightUnits] = hmm > 0 ? static_cast<INTEGER>(100 * 25.4 / 72 * h / hmm) : 133;
    slot.Words[kSlotKind] = kSlotKindEnhanced;
    slot.Words[kSlotInUse] = 1;
    libraryErrorState().LastErrorNumber = 0;
    IGrSelect(4, 1);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
    EXPECT_EQ(graphicsState().DrawableKind, 4);
    IGrUnits(0, 0, 100, 100);
    IGrColourN(31);
    IGrFillStyle(4);
    const REAL xs[] = {10, 90, 90, 10}, ys[] = {10, 10, 90, 90};
    IGrPolygonDecomposed(xs, ys, 4);
    IGrSelect(1);
    const std::string file = tempFolder() + "qv-slot.emf";
    INTEGER code = 0;
    // A save that fails at its write or at the replace leaves an earlier file as it was.
    for (const WorkFileStep step : {WorkFileStep::Write, WorkFileStep::Replace}) {
        std::ofstream(file, std::ios::binary) << "earlier";
        const WorkFileFault fault(step, 0, YYWorkFileDiskFullCode());
        YYEmfSave(0, status, code, file);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(code, YYWorkFileDiskFullCode());
        EXPECT_EQ(readFile(file), "earlier");
    }
    YYEmfSave(0, status, code, file);
    ASSERT_EQ(status, 0);
    YYEmfSelect(0, slot.Words[kSlotWidthUnits], slot.Words[kSlotHeightUnits], status);
    EXPECT_EQ(status, 1);  // saved: closed
    const auto size = static_cast<INTEGER>(readFile(file).size());
    YYEmfLoad(1, size, status, code, file);
    ASSERT_EQ(status, 0);
    YYEmfSelect(1, 400, 200, status);
    EXPECT_EQ(status, 1);  // loaded: closed too
    YYEmfLoad(2, size + 100, status, code, file);
    EXPECT_EQ(status, 2);
    EXPECT_FALSE(enhancedMetafileSlots().Closed[2]);
    DibTarget target(400, 200);
    {
        DrawingInto into(target.dc());
        YYEmfPlay(1, 0, 0, 399, 199);
    }
    const Raster r = target.raster();
    EXPECT_FALSE(r.hasColourNear(0.5, 0.5, RGB(255, 255, 255), 0));
    EXPECT_TRUE(r.hasColourNear(0.02, 0.02, RGB(255, 255, 255), 0));
    WMetafileDestroy(1);
    EXPECT_FALSE(enhancedMetafileSlots().Closed[0]);
    EXPECT_FALSE(enhancedMetafileSlots().Recording[0]);
    YYEmfDelete(1);
    EXPECT_FALSE(enhancedMetafileSlots().Closed[1]);
}

TEST_F(Pictures, CgmSlotRecordsThroughTheGraphicsLayer)
{
    INTEGER status = 1;
    YYCgmSlotCreate(3, 720, 360, 65536, status);
    ASSERT_EQ(status, 0);
    libraryErrorState().LastErrorNumber = 0;
    IGrSelect(4, 3);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
    EXPECT_EQ(graphicsState().MetafileRecording, 1);
    EXPECT_EQ(graphicsState().DrawableWidth, 6000);
    IGrUnits(0, 0, 100, 100);
    IGrColourN(31);
    IGrPenMove(10, 10);
    IGrPenDraw(90, 90);
    IGrPenDraw(90, 10);
    IGrSelect(1);
    EXPECT_EQ(graphicsState().MetafileRecording, 0);
    YYCgmSlotFinish(3);
    const auto bytes = YYCgmSlotBytes(3);
    const CgmWalk walk = walkCgm(bytes);
    ASSERT_EQ(walk.error, "");
    EXPECT_EQ(walk.pictures, 1);
    EXPECT_GE(walk.all(4, 1).size(), 2u);
    EXPECT_EQ(walk.all(5, 4).size(), 1u);
    // A shut-down frees every slot.
    std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
    MemoryByteSource source(copy);
    INTEGER pictures = 0;
    REAL ratio = 0;
    YYINFOCGM(source, pictures, ratio);
    EXPECT_EQ(pictures, 1);
    EXPECT_NEAR(ratio, 2.0f, 0.01f);
    WMetafileDestroy(3);
    EXPECT_TRUE(metafileSlotTable().Slots[2].Bytes.empty());
}

TEST_F(Pictures, CgmFileRendersThroughLibreOffice)
{
    const std::string file = tempFolder() + "qv-page.cgm";
    IGrHardcopyDevice(1, 9);
    IGrHardcopyBeginEnd(file);
    ASSERT_EQ(graphicsState().HardcopyActive, 1);
    // LibreOffice refuses a CGM whose text turns by 90 degrees (CHARACTER ORIENTATION (-h, 0),
    // (0, w)); the file's own structure is checked with it by the other tests.
    drawTestPage(image_, false);
    IGrHardcopyBeginEnd("S");
    const std::string bytes = readFile(file);
    const CgmWalk walk = walkCgm(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    ASSERT_EQ(walk.error, "");
    EXPECT_EQ(walk.all(4, 9).size(), 1u);     // the image's cell array
    EXPECT_GE(walk.all(5, 43).size(), 1u);    // the shaded polygon's interpolated triangles
    INTEGER pictures = 0;
    REAL ratio = 0;
    YYINFOCGM(file, pictures, ratio);
    EXPECT_EQ(pictures, 1);
    const std::string host = hostName(file);
    const std::string folder = host.substr(0, host.find_last_of('/'));
    const std::string log = runHost(libreOfficeToPdf(host, folder) + " && pdftoppm -r 72 -singlefile -png '" + folder +
                                        "/qv-page.pdf' '" + folder + "/qv-page-cgm' && echo rendered",
                                    240000ms);
    ASSERT_NE(log.find("rendered"), std::string::npos) << log;
    const Raster r = readPng(folder + "/qv-page-cgm.png");
    ASSERT_GT(r.width, 0);
    // LibreOffice places the picture on its own page: the items are found by colour anywhere.
    const auto any = [&](COLORREF c) {
        for (int y = 0; y < r.height; y += 2)
            for (int x = 0; x < r.width; x += 2)
                if (r.hasColourNear(static_cast<double>(x) / r.width, static_cast<double>(y) / r.height, c, 0)) return true;
        return false;
    };
    EXPECT_TRUE(any(RGB(255, 0, 0)));
    EXPECT_TRUE(any(RGB(0, 0, 255)));
    EXPECT_TRUE(any(RGB(0, 192, 0)));
}

namespace {

// LibreOffice's picture of a file on the host, through PDF.
Raster libreOfficeRender(const std::string& file, const std::string& stem)
{
    const std::string host = hostName(file);
    const std::string folder = host.substr(0, host.find_last_of('/'));
    const std::string pdf = folder + "/" + host.substr(host.find_last_of('/') + 1, host.find_last_of('.') - host.find_last_of('/') - 1) + ".pdf";
    const std::string log = runHost(libreOfficeToPdf(host, folder) + " && pdftoppm -r 72 -singlefile -png '" + pdf + "' '" +
                                        folder + "/" + stem + "' && echo rendered",
                                    240000ms);
    EXPECT_NE(log.find("rendered"), std::string::npos) << log;
    return readPng(folder + "/" + stem + ".png");
}

// The extent of the ink of a picture, in pixels: left, top, right, bottom.
std::array<int, 4> inkExtent(const Raster& r)
{
    std::array<int, 4> e{r.width, r.height, -1, -1};
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x) {
            const COLORREF c = r.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(r.width) + static_cast<std::size_t>(x)];
            if (std::max({GetRValue(c), GetGValue(c), GetBValue(c)}) >= 200) continue;
            e = {std::min(e[0], x), std::min(e[1], y), std::max(e[2], x), std::max(e[3], y)};
        }
    return e;
}

}  // namespace

// The eight line types in every format, as LibreOffice draws them: LibreOffice draws a styled pen
// of a Windows metafile solid whatever its width, and an enhanced metafile recorded where the
// system drops user dash styles would lose them: there the dashes are strokes of their own.
TEST_F(Pictures, LineTypesKeepTheirDashesInLibreOffice)
{
    for (const INTEGER format : {0, 1, 2}) {
        SCOPED_TRACE(format);
        const std::string file = tempFolder() + "qv-dashes-" + std::to_string(format) + (format == 2 ? ".emf" : ".wmf");
        IGrHardcopyDevice(1, 11);
        HardcopyOptionBlock& o = hardcopyOptionBlock();
        *o.slot(27) = format;
        // LibreOffice fits the picture's width to a slide of 16:9: a page of that shape is seen whole.
        *o.slot(1) = 800;
        *o.slot(2) = 450;
        IGrHardcopyBeginEnd(file);
        ASSERT_EQ(graphicsState().HardcopyActive, 1);
        drawFrameAndLineTypes(0.1, 0.9, 0.1, 0.1);
        IGrHardcopyBeginEnd("S");

        const Raster r = libreOfficeRender(file, "qv-dashes-" + std::to_string(format));
        ASSERT_GT(r.width, 0);
        const auto [left, top, right, bottom] = inkExtent(r);
        ASSERT_GT(right - left, r.width / 2) << "the frame";
        for (INTEGER type = 0; type < 8; ++type) {
            const int row = top + static_cast<int>((0.1 + 0.1 * type) * (bottom - top));
            const int changes = inkChanges(r, row, left + (right - left) * 15 / 100, left + (right - left) * 85 / 100);
            if (type == 0) EXPECT_EQ(changes, 0) << "the solid line";
            else EXPECT_GE(changes, 6) << "dashes of line type " << type;
        }
    }
}

// After IGrArea(0, 0, 0.5, 0.5) the picture's drawing stays in its lower left quarter.
TEST_F(Pictures, AnAreaKeepsItsPlaceInThePicture)
{
    const std::string file = tempFolder() + "qv-quarter.emf";
    IGrArea(0.0f, 0.0f, 0.5f, 0.5f);
    IGrHardcopyDevice(1, 11);
    *hardcopyOptionBlock().slot(27) = 2;
    IGrHardcopyBeginEnd(file);
    ASSERT_EQ(graphicsState().HardcopyActive, 1);
    IGrUnits(0, 0, 100, 100);
    IGrColourN(31);
    IGrFillStyle(4);
    const REAL xs[] = {10, 90, 90, 10}, ys[] = {10, 10, 90, 90};
    IGrPolygonDecomposed(xs, ys, 4);
    IGrHardcopyBeginEnd("S");
    IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
    DibTarget target(756, 540);
    {
        DrawingInto into(target.dc());
        INTEGER status = -1;
        YYMetafilePlay(2, 0, 0, 755, 539, 0, 0, 0, 0, status, file, 0);
        ASSERT_EQ(status, 0);
    }
    const Raster r = target.raster();
    EXPECT_FALSE(r.hasColourNear(0.25, 0.75, RGB(255, 255, 255), 0)) << "the quarter's fill";
    for (const auto& [fx, fy] : {std::pair{0.75, 0.75}, {0.25, 0.25}, {0.75, 0.25}, {0.55, 0.45}})
        EXPECT_TRUE(r.hasColourNear(fx, fy, RGB(255, 255, 255), 0)) << "blank at " << fx << "," << fy;
}
