// The PostScript, EPS, SVG and CGM files read back by independent programs: Ghostscript renders a
// test page (every line type, every fill style, ellipse, sector, arc, clip, turned text, BMP, PCX
// and PNG images, two pages) and measures the EPS drawing; ps2pdf and pdftotext give the texts
// back; xmllint, Python's XML parser and headless Chromium accept every SVG document, and
// rsvg-convert and Chromium render the same page as Ghostscript does, pixel probes in the same
// places; LibreOffice draws a CGM page.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <regex>

#include "ImageFileBuilders.h"
#include "TextDriverSession.h"
#include "tests/toolkit/foundation/ReporterGuard.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/TextDrawing.h"

namespace {

namespace fs = std::filesystem;
using image_files::Bytes;

struct Command {
    int status = -1;
    std::string output;  // standard output and error together
};

Command run(const std::string& command)
{
    Command r;
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) r.output.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string quoted(const fs::path& p) { return "'" + p.string() + "'"; }

// Headless Chromium on a local file, with a profile of its own and a deadline (a browser that
// hangs fails the check instead of the whole run); arguments such as --dump-dom go first.
Command chromium(const std::string& arguments, const fs::path& file, const fs::path& profile)
{
    return run("timeout 120 chromium-headless-shell --no-sandbox --disable-gpu --user-data-dir=" + quoted(profile) + " " +
               arguments + " " + quoted(fs::path("file://" + fs::absolute(file).string())));
}

struct Rgb {
    int r = 255, g = 255, b = 255;
    bool dark() const { return r + g + b < 3 * 110; }
    bool closeTo(Rgb o, int tolerance = 48) const
    {
        return std::abs(r - o.r) <= tolerance && std::abs(g - o.g) <= tolerance && std::abs(b - o.b) <= tolerance;
    }
};

std::ostream& operator<<(std::ostream& out, Rgb c) { return out << "(" << c.r << "," << c.g << "," << c.b << ")"; }

// A binary PPM (P6, maxval 255) as netpbm and Ghostscript write it.
struct Raster {
    int width = 0, height = 0;
    std::vector<std::uint8_t> data;
    // The pixel at device position (x, y), y upwards on a 640 x 480 page.
    Rgb at(double x, double y) const
    {
        const int c = static_cast<int>(x), r = static_cast<int>(480.0 - y);
        if (c < 0 || r < 0 || c >= width || r >= height) return {};
        const std::size_t k = 3 * (static_cast<std::size_t>(r) * width + c);
        return {data[k], data[k + 1], data[k + 2]};
    }
};

Raster readPpm(const fs::path& path)
{
    Raster raster;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> raster.width >> raster.height >> maxval;
    in.get();
    if (magic != "P6" || maxval != 255 || raster.width <= 0 || raster.height <= 0) return {};
    raster.data.resize(3 * static_cast<std::size_t>(raster.width) * raster.height);
    in.read(reinterpret_cast<char*>(raster.data.data()), static_cast<std::streamsize>(raster.data.size()));
    return raster;
}

// Dark pixels inside a device-unit window: their count, centroid and principal direction.
struct Blob {
    int count = 0;
    double cx = 0, cy = 0, angle = 0, width = 0, height = 0;
};

Blob darkBlob(const Raster& r, double x1, double y1, double x2, double y2)
{
    Blob b;
    double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0, minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (double y = y1; y <= y2; y += 1.0)
        for (double x = x1; x <= x2; x += 1.0)
            if (r.at(x, y).dark()) {
                ++b.count;
                sx += x;
                sy += y;
                sxx += x * x;
                syy += y * y;
                sxy += x * y;
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    if (b.count == 0) return b;
    const double n = b.count;
    b.cx = sx / n;
    b.cy = sy / n;
    const double vxx = sxx / n - b.cx * b.cx, vyy = syy / n - b.cy * b.cy, vxy = sxy / n - b.cx * b.cy;
    b.angle = 0.5 * std::atan2(2.0 * vxy, vxx - vyy) * 180.0 / std::numbers::pi;
    b.width = maxX - minX;
    b.height = maxY - minY;
    return b;
}

// Colour changes along a horizontal run (dashes show as many).
int transitions(const Raster& r, double y, double x1, double x2)
{
    int n = 0;
    bool last = r.at(x1, y).dark();
    for (double x = x1 + 1; x <= x2; x += 1.0) {
        const bool d = r.at(x, y).dark();
        if (d != last) ++n;
        last = d;
    }
    return n;
}

void writeFile(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Solid 4 x 4 images in the three formats the loader reads.
Bytes solidBmp(int r, int g, int b)
{
    Bytes pixels;
    for (int k = 0; k < 16; ++k) pixels.insert(pixels.end(), {std::uint8_t(b), std::uint8_t(g), std::uint8_t(r)});
    return image_files::bmp(4, 4, 24, 0, {}, pixels);
}
Bytes solidPcx(int r, int g, int b)
{
    Bytes data;
    for (int row = 0; row < 4; ++row)
        for (const int v : {r, g, b})
            for (int k = 0; k < 4; ++k) data.insert(data.end(), {0xC1, std::uint8_t(v)});
    return image_files::pcx(4, 4, 8, 3, 4, data);
}
Bytes solidPng(int r, int g, int b)
{
    Bytes raw;
    for (int row = 0; row < 4; ++row) {
        raw.push_back(0);
        for (int k = 0; k < 4; ++k) raw.insert(raw.end(), {std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)});
    }
    return image_files::png(4, 4, 8, 2, {image_files::pngChunk("IDAT", image_files::zlibOf(raw))});
}

constexpr Rgb kBlue{0, 0, 255}, kGreen{0, 192, 0}, kRed{255, 0, 0}, kWhite{255, 255, 255};
constexpr Rgb kMagenta{200, 0, 200}, kTeal{0, 150, 150}, kOrange{255, 140, 0};

struct ImageSpot {
    const char* file;
    REAL x1, x2;  // area fractions; all between heights 0.29 and 0.39
    Rgb colour;
};
const ImageSpot kImages[] = {{"page.bmp", 0.55f, 0.65f, kMagenta}, {"page.pcx", 0.70f, 0.80f, kTeal},
                             {"page.png", 0.85f, 0.95f, kOrange}};

class RenderFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder() = fs::temp_directory_path() / ("qv-text-drivers-" + std::to_string(::getpid()));
        fs::create_directories(folder());
        writeFile(folder() / "page.bmp", solidBmp(kMagenta.r, kMagenta.g, kMagenta.b));
        writeFile(folder() / "page.pcx", solidPcx(kTeal.r, kTeal.g, kTeal.b));
        writeFile(folder() / "page.png", solidPng(kOrange.r, kOrange.g, kOrange.b));
    }
    static void TearDownTestSuite() { fs::remove_all(folder()); }
    static fs::path& folder()
    {
        static fs::path path;
        return path;
    }
    static void portraitPage()
    {
        TextDriverSession::option(1, 640);
        TextDriverSession::option(2, 480);
        TextDriverSession::option(3, 0);
        TextDriverSession::option(4, 0);
        TextDriverSession::option(5, 0);
    }

    // The test page, in device units of the 640 x 480 drawable (y upwards).
    static void drawPage(TextDriverSession& job, bool secondPage)
    {
        GraphicsState& g = graphicsState();
        TextDriverSession::option(9, 20);
        YYDriverHardcopy(OpLineWidth);
        // Every line type, one row each, from the top.
        for (INTEGER type = 0; type < 8; ++type) {
            g.LineType = type;
            YYDriverHardcopy(OpLineType);
            const REAL y = 460.0f - 12.0f * static_cast<REAL>(type);
            job.send(OpLine, {20, y, 300, y});
        }
        g.LineType = 0;
        YYDriverHardcopy(OpLineType);
        // Every fill style through the fill primitive, blue over white.
        job.rgb(0xFFFFFF);
        job.rgb(0xFF0000);
        for (INTEGER style = 0; style <= 4; ++style) {
            IGrFillStyle(style, 2, 1);
            const REAL x = 20.0f + 60.0f * static_cast<REAL>(style);
            IGrTriangle(x, 20, x + 50, 20, x + 25, 100);
        }
        // Ellipse and sector (no primitive sends them): the driver ops themselves.
        g.FillStyle = 4;
        job.rgb(0xFF0000);
        job.fill(OpEllipseFill, {480, 400, 40, 20, 0.5f, 0});
        job.rgb(0x00C000);
        job.fill(OpSectorFill, {480, 280, 50, 50, 0.0f, std::numbers::pi_v<REAL> / 2});
        job.rgb(0x000000);
        g.FillStyle = 0;
        g.HatchDensity = 3;
        job.send(OpArc, {380, 280, 30, 30, 0.0f, std::numbers::pi_v<REAL>});
        // A red rectangle wider than the clip area that is set around it.
        IGrArea(0.5f, 0.0f, 0.75f, 0.25f);
        g.FillStyle = 4;
        job.rgb(0x0000FF);
        job.fill(OpRectangleFill, {300, 20, 620, 100});
        IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
        // Text at 0, 30 and 90 degrees, centred on its point.
        job.rgb(0x000000);
        WGrTextFont(101, 0, 0.02f, 0.05f);
        IGrTextAlign(1, 0.0f);
        IGrTextDraw(150, 330, "Horizontal");
        IGrTextAlign(1, 30.0f);
        IGrTextDraw(150, 230, "Turned");
        IGrTextAlign(1, 90.0f);
        IGrTextDraw(290, 240, "Upright");
        IGrTextAlign(1, 0.0f);
        // The images, each into an area of its own.
        for (const ImageSpot& spot : kImages) {
            IGrArea(spot.x1, 0.29f, spot.x2, 0.39f);
            DriverParameterBlock& b = driverParameterBlock();
            stringWorkBuffer().assign((folder() / spot.file).string());
            b.IntX2 = b.IntY2 = 4;
            b.Value = 1;
            YYDriverHardcopy(OpImage);
            EXPECT_EQ(b.Value, driverHooks().HardcopyDevice == 2 ? 0 : 1) << spot.file;  // SVG draws no images
        }
        IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
        if (secondPage) {
            driverParameterBlock().Count = 0;
            YYDriverHardcopy(OpEndPage);
            job.send(OpLine, {100, 100, 500, 100});
        }
    }

    // Renders a PostScript file with Ghostscript at 72 dpi on a 640 x 480 point page.
    static std::vector<Raster> renderPostScript(const fs::path& file, const std::string& stem)
    {
        const fs::path out = folder() / (stem + "-%d.png");
        const Command r = run("gs -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r72 -dDEVICEWIDTHPOINTS=640 "
                          "-dDEVICEHEIGHTPOINTS=480 -dFIXEDMEDIA -sOutputFile=" + quoted(out) + " " + quoted(file));
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(r.output.find("Error"), std::string::npos) << r.output;
        std::vector<Raster> pages;
        for (int k = 1; fs::exists(folder() / (stem + "-" + std::to_string(k) + ".png")); ++k) {
            const fs::path png = folder() / (stem + "-" + std::to_string(k) + ".png");
            const fs::path ppm = folder() / (stem + "-" + std::to_string(k) + ".ppm");
            EXPECT_EQ(run("pngtopnm " + quoted(png) + " > " + quoted(ppm)).status, 0);
            pages.push_back(readPpm(ppm));
        }
        return pages;
    }

    ReporterGuard reporter;
};

// The probes every render of the page must pass, with and without images.
void probePage(const Raster& page, bool images)
{
    ASSERT_EQ(page.width, 640);
    ASSERT_EQ(page.height, 480);
    EXPECT_TRUE(page.at(160, 460).dark()) << "solid line";
    EXPECT_EQ(transitions(page, 460, 30, 290), 0);
    for (INTEGER type = 1; type < 8; ++type)
        EXPECT_GE(transitions(page, 460.0 - 12.0 * type, 30, 290), 6) << "dashes of line type " << type;
    EXPECT_TRUE(page.at(45, 20).dark()) << "style 0 boundary";
    EXPECT_TRUE(page.at(45, 45).closeTo(kWhite)) << "style 0 inside " << page.at(45, 45);
    EXPECT_TRUE(page.at(20 + 60 * 3 + 25, 45).closeTo({127, 127, 255})) << "style 3 " << page.at(205, 45);
    EXPECT_TRUE(page.at(20 + 60 * 4 + 25, 45).closeTo(kBlue)) << "style 4 " << page.at(265, 45);
    for (const INTEGER style : {1, 2}) {
        const Blob hatch = darkBlob(page, 20 + 60 * style + 15, 30, 20 + 60 * style + 35, 60);
        EXPECT_GT(hatch.count, 0) << "hatch lines of style " << style;
        EXPECT_LT(hatch.count, 21 * 31 * 9 / 10) << "hatch lines of style " << style;
    }
    EXPECT_TRUE(page.at(480, 400).closeTo(kBlue)) << page.at(480, 400);
    EXPECT_TRUE(page.at(480, 414).closeTo(kBlue));
    EXPECT_TRUE(page.at(480, 426).closeTo(kWhite)) << "the ellipse is half as high as wide";
    EXPECT_TRUE(page.at(515, 400).closeTo(kBlue));
    EXPECT_TRUE(page.at(525, 400).closeTo(kWhite));
    EXPECT_TRUE(page.at(500, 300).closeTo(kGreen)) << "sector " << page.at(500, 300);
    EXPECT_TRUE(page.at(460, 300).closeTo(kWhite));
    EXPECT_TRUE(page.at(500, 260).closeTo(kWhite));
    EXPECT_TRUE(page.at(380, 309).dark() || page.at(380, 310).dark()) << "top of the arc";
    EXPECT_TRUE(page.at(380, 285).closeTo(kWhite)) << "an open arc is not closed to its centre";
    EXPECT_TRUE(page.at(400, 60).closeTo(kRed)) << page.at(400, 60);
    EXPECT_TRUE(page.at(560, 60).closeTo(kWhite)) << "clipped";
    EXPECT_TRUE(page.at(310, 60).closeTo(kWhite)) << "clipped";
    if (!images) return;
    for (const ImageSpot& spot : kImages)
        EXPECT_TRUE(page.at(640.0 * (spot.x1 + spot.x2) / 2, 480.0 * 0.34).closeTo(spot.colour, 8))
            << spot.file << " " << page.at(640.0 * (spot.x1 + spot.x2) / 2, 480.0 * 0.34);
}

struct TextProbe {
    const char* name;
    double x1, y1, x2, y2, angle;
};
const TextProbe kTexts[] = {
    {"Horizontal", 60, 315, 240, 345, 0}, {"Turned", 90, 180, 210, 280, 30}, {"Upright", 270, 170, 310, 310, 90}};

}  // namespace

TEST_F(RenderFixture, GhostscriptRendersTheTestPageForBothEndsOfJob)
{
    for (const INTEGER endOfJob : {0, 1}) {
        SCOPED_TRACE(endOfJob);
        TextDriverSession job(2, "page.ps");
        portraitPage();
        TextDriverSession::option(15, endOfJob);
        job.start("Test page");
        drawPage(job, true);
        job.finish();
        ASSERT_EQ(job.contents().ends_with(std::string(" \x04", 2)), endOfJob == 1);
        const std::vector<Raster> pages = renderPostScript(job.path(), "page" + std::to_string(endOfJob));
        ASSERT_EQ(pages.size(), 2u);
        probePage(pages[0], true);
        for (const TextProbe& t : kTexts) {
            const Blob b = darkBlob(pages[0], t.x1, t.y1, t.x2, t.y2);
            EXPECT_GT(b.count, 40) << t.name;
            EXPECT_NEAR(b.angle, t.angle == 90 ? 90.0 * (b.angle > 0 ? 1 : -1) : t.angle, 8.0) << t.name;
        }
        EXPECT_TRUE(pages[1].at(300, 100).dark());
        EXPECT_FALSE(pages[1].at(480, 400).closeTo(kBlue)) << "the second page starts empty";
    }
}

TEST_F(RenderFixture, PlotStaysOnTheA4PaperForTheDefaultAndDocumentedOffsets)
{
    struct Case {
        const char* what;
        INTEGER landscape, width, height, xOffset, yOffset;  // offset -1: the driver's default
    };
    // The landscape default and the screen dump's settings, a portrait page of the same size and
    // a landscape page with a wider margin: both offsets count into the paper from its corner.
    for (const Case c : {Case{"landscape default", 1, 756, 540, -1, -1}, Case{"portrait", 0, 540, 756, 42, 20},
                         Case{"landscape 30", 1, 756, 540, 42, 30}}) {
        SCOPED_TRACE(c.what);
        TextDriverSession job(2, "paper.ps");
        TextDriverSession::option(5, c.landscape);
        TextDriverSession::option(1, c.width);
        TextDriverSession::option(2, c.height);
        if (c.xOffset >= 0) TextDriverSession::option(3, c.xOffset);
        if (c.yOffset >= 0) TextDriverSession::option(4, c.yOffset);
        const INTEGER x0 = hardcopyOptionBlock().value(3), y0 = hardcopyOptionBlock().value(4);
        EXPECT_EQ(x0, 42);
        job.start();
        // A frame on the plot's edges.
        TextDriverSession::option(9, 20);
        YYDriverHardcopy(OpLineWidth);
        job.polygon(OpPolyline, {0, 639.99f, 639.99f, 0, 0}, {0, 0, 479.99f, 479.99f, 0});
        job.finish();
        const fs::path png = folder() / "paper.png", ppm = folder() / "paper.ppm";
        const Command r = run("gs -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r72 -sPAPERSIZE=a4 -dFIXEDMEDIA "
                              "-sOutputFile=" + quoted(png) + " " + quoted(job.path()));
        ASSERT_EQ(r.status, 0) << r.output;
        ASSERT_EQ(run("pngtopnm " + quoted(png) + " > " + quoted(ppm)).status, 0);
        const Raster paper = readPpm(ppm);
        ASSERT_EQ(paper.width, 595);
        ASSERT_EQ(paper.height, 842);
        // The ink's extent in points from the paper's lower left corner.
        int left = paper.width, right = -1, bottom = paper.height, top = -1;
        for (int row = 0; row < paper.height; ++row)
            for (int col = 0; col < paper.width; ++col) {
                const std::size_t k = 3 * (static_cast<std::size_t>(row) * paper.width + col);
                if (paper.data[k] + paper.data[k + 1] + paper.data[k + 2] >= 3 * 110) continue;
                const int y = paper.height - 1 - row;
                left = std::min(left, col);
                right = std::max(right, col);
                bottom = std::min(bottom, y);
                top = std::max(top, y);
            }
        // Turned, the plot's height runs along the paper's width, its top edge y0 from the left.
        const int expectLeft = c.landscape != 0 ? y0 : x0, expectBottom = c.landscape != 0 ? x0 : y0;
        const int expectRight = expectLeft + (c.landscape != 0 ? c.height : c.width);
        const int expectTop = expectBottom + (c.landscape != 0 ? c.width : c.height);
        EXPECT_NEAR(left, expectLeft, 2);
        EXPECT_NEAR(right, expectRight, 2);
        EXPECT_NEAR(bottom, expectBottom, 2);
        EXPECT_NEAR(top, expectTop, 2);
        EXPECT_GT(left, 0);
        EXPECT_GT(bottom, 0);
        EXPECT_LT(right, paper.width - 1);
        EXPECT_LT(top, paper.height - 1);
    }
}

TEST_F(RenderFixture, EncapsulatedDrawingStaysInItsBoundingBox)
{
    TextDriverSession job(2, "page.eps");
    TextDriverSession::option(22, 1);
    job.start();
    drawPage(job, false);
    // A rectangle over the whole page and beyond is cut to the area.
    graphicsState().FillStyle = 4;
    job.fill(OpRectangleFill, {-100, -100, 800, 600});
    job.finish();
    const Command r = run("gs -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox " + quoted(job.path()));
    ASSERT_EQ(r.status, 0) << r.output;
    std::smatch m;
    const std::regex box(R"(%%HiResBoundingBox: ([-0-9.]+) ([-0-9.]+) ([-0-9.]+) ([-0-9.]+))");
    ASSERT_TRUE(std::regex_search(r.output, m, box)) << r.output;
    EXPECT_GE(std::stod(m[1]), -0.5);
    EXPECT_GE(std::stod(m[2]), -0.5);
    EXPECT_LE(std::stod(m[3]), 540.5);
    EXPECT_LE(std::stod(m[4]), 756.5);
    EXPECT_GT(std::stod(m[3]), 500.0) << "the page-sized rectangle reaches the box";
}

TEST_F(RenderFixture, PdfTextGivesBackEveryText)
{
    TextDriverSession job(2, "texts.ps");
    portraitPage();
    job.start();
    WGrTextFont(101, 0, 0.02f, 0.05f);
    IGrTextAlign(0, 0.0f);
    const std::string latin = "Gr\xFC\xDF" "e aus K\xF6ln, caf\xE9 \xE0 la cr\xE8me";
    IGrTextDraw(20, 440, latin);
    IGrTextDraw(20, 400, "Plain (round) [square] {curly} back\\slash");
    std::string brackets;
    for (int k = 0; brackets.size() < 300; ++k) brackets += std::string("(a)\\b)(c\\").substr(0, 300 - brackets.size());
    // Small enough for the whole literal to stay on the page.
    WGrTextFont(101, 0, 0.0016f, 0.01f);
    IGrTextDraw(10, 300, brackets);
    job.finish();
    const fs::path pdf = folder() / "texts.pdf";
    ASSERT_EQ(run("ps2pdf " + quoted(job.path()) + " " + quoted(pdf)).status, 0);
    const Command text = run("pdftotext -enc UTF-8 " + quoted(pdf) + " -");
    ASSERT_EQ(text.status, 0) << text.output;
    EXPECT_NE(text.output.find("Grüße aus Köln, café à la crème"), std::string::npos) << text.output;
    EXPECT_NE(text.output.find("Plain (round) [square] {curly} back\\slash"), std::string::npos) << text.output;
    // The literal holds whole characters up to 249 escaped ones: what fits comes back unbroken.
    std::string fitting;
    std::size_t escapedLength = 0;
    for (const char c : brackets.substr(0, 260)) {
        const std::size_t piece = (c == '(' || c == ')' || c == '\\') ? 2 : 1;
        if (escapedLength + piece > 249) break;
        escapedLength += piece;
        fitting += c;
    }
    EXPECT_GT(fitting.size(), 140u);
    std::string compact = text.output;
    std::erase_if(compact, [](char c) { return c == '\n' || c == ' ' || c == '\f'; });
    EXPECT_NE(compact.find(fitting), std::string::npos) << text.output;
}

TEST_F(RenderFixture, SvgDocumentsAreWellFormedForEveryCode)
{
    TextDriverSession job(3, "codes.svg");
    job.start();
    std::string all;
    for (int code = 1; code <= 255; ++code) {
        const std::string one(1, static_cast<char>(code));
        TextDriverSession::text(one, 100, 100, 110, 100);
        all += one;
    }
    TextDriverSession::text(all.substr(0, 128), 100, 200, 300, 200);
    TextDriverSession::text(all.substr(127), 100, 300, 300, 300);
    TextDriverSession::text("x", 100, 100, 110, 100, 1);
    TextDriverSession::text("<&>", 110, 100, 120, 100, 2);
    // The end of a CDATA section in a text, and a tab.
    TextDriverSession::text("end]]>here\tthere", 100, 400, 300, 400);
    // A first piece whose last piece never comes: its group still closes.
    TextDriverSession::text("lone", 100, 50, 140, 50, 1);
    job.finish();
    const Command lint = run("xmllint --noout " + quoted(job.path()));
    EXPECT_EQ(lint.status, 0) << lint.output;
    EXPECT_TRUE(lint.output.empty()) << lint.output;
    const Command render = run("rsvg-convert -b white -o " + quoted(folder() / "codes.png") + " " + quoted(job.path()));
    EXPECT_EQ(render.status, 0) << render.output;
    const Command parse = run("python3 -c \"import sys, xml.etree.ElementTree as E; r = E.parse(sys.argv[1]).getroot(); "
                          "n = '{http://www.w3.org/2000/svg}'; "
                          "print(r.tag == n + 'svg', len(r.findall('.//' + n + 'text')), len(r.findall('.//' + n + 'g')))\" " +
                          quoted(job.path()));
    EXPECT_EQ(parse.status, 0) << parse.output;
    // 255 + 2 + 1 + 2 + 1 texts, each in a group of its own but the pieced pair, and the stroke group.
    EXPECT_EQ(parse.output, "True 261 261\n");
    // Chromium's parse of the document: no parser error, and the text comes back whole.
    const Command dom = chromium("--dump-dom", job.path(), folder() / "chromium-codes");
    EXPECT_EQ(dom.status, 0) << dom.output;
    EXPECT_EQ(dom.output.find("parsererror"), std::string::npos) << dom.output.substr(0, 2000);
    EXPECT_NE(dom.output.find(">end]]&gt;here there</text>"), std::string::npos) << dom.output.substr(0, 2000);
    const std::string file = job.contents();
    EXPECT_NE(file.find(">end]]&#62;here there</text>"), std::string::npos);
    EXPECT_NE(file.find("&#233;"), std::string::npos);
    EXPECT_NE(file.find("&#60;"), std::string::npos);
    EXPECT_EQ(std::count(file.begin(), file.end(), '\x01'), 0);
}

TEST_F(RenderFixture, SvgRendersAsGhostscriptRendersTheSamePage)
{
    std::vector<Raster> ps;
    {
        TextDriverSession job(2, "same.ps");
        portraitPage();
        job.start();
        drawPage(job, false);
        job.finish();
        ps = renderPostScript(job.path(), "same");
    }
    TextDriverSession job(3, "same.svg");
    job.start();
    drawPage(job, false);
    job.finish();
    const Command lint = run("xmllint --noout " + quoted(job.path()));
    EXPECT_EQ(lint.status, 0) << lint.output;
    const fs::path png = folder() / "same-svg.png", ppm = folder() / "same-svg.ppm";
    const Command render = run("rsvg-convert -b white -o " + quoted(png) + " " + quoted(job.path()));
    ASSERT_EQ(render.status, 0) << render.output;
    ASSERT_EQ(run("pngtopnm " + quoted(png) + " > " + quoted(ppm)).status, 0);
    const Raster svg = readPpm(ppm);
    ASSERT_EQ(ps.size(), 1u);
    probePage(svg, false);
    // Chromium draws the same document on a window of the page's size.
    const fs::path shot = folder() / "same-chromium.png", shotPpm = folder() / "same-chromium.ppm";
    const Command browser = chromium("--screenshot=" + quoted(shot) + " --window-size=640,480 --hide-scrollbars",
                                     job.path(), folder() / "chromium-same");
    ASSERT_EQ(browser.status, 0) << browser.output;
    ASSERT_EQ(run("pngtopnm " + quoted(shot) + " > " + quoted(shotPpm)).status, 0);
    const Raster chromiumPage = readPpm(shotPpm);
    {
        SCOPED_TRACE("Chromium");
        probePage(chromiumPage, false);
    }
    // Shapes in the same places within a pixel: the edges of the ellipse and the sector.
    for (const auto& [x1, y1, x2, y2] : {std::array<double, 4>{430, 370, 530, 430}, {470, 270, 540, 340}}) {
        const auto extent = [&](const Raster& r) {
            std::array<double, 4> e{1e9, 1e9, -1e9, -1e9};
            for (double y = y1; y <= y2; ++y)
                for (double x = x1; x <= x2; ++x)
                    if (!r.at(x, y).closeTo(kWhite, 100)) {
                        e = {std::min(e[0], x), std::min(e[1], y), std::max(e[2], x), std::max(e[3], y)};
                    }
            return e;
        };
        const auto a = extent(ps[0]), b = extent(svg), c = extent(chromiumPage);
        for (std::size_t k = 0; k < 4; ++k) {
            EXPECT_NEAR(a[k], b[k], 1.0) << "edge " << k << " of " << x1 << "," << y1;
            EXPECT_NEAR(a[k], c[k], 1.0) << "Chromium's edge " << k << " of " << x1 << "," << y1;
        }
    }
    // Turned texts turn the same way and sit in the same place.
    for (const TextProbe& t : kTexts) {
        SCOPED_TRACE(t.name);
        const Blob a = darkBlob(ps[0], t.x1, t.y1, t.x2, t.y2), b = darkBlob(svg, t.x1, t.y1, t.x2, t.y2),
                   c = darkBlob(chromiumPage, t.x1, t.y1, t.x2, t.y2);
        ASSERT_GT(a.count, 40);
        ASSERT_GT(b.count, 40);
        ASSERT_GT(c.count, 40);
        const auto folded = [](double angle) { return angle < -45 ? angle + 180 : angle; };
        EXPECT_NEAR(folded(a.angle), t.angle, 8.0);
        EXPECT_NEAR(folded(b.angle), t.angle, 8.0);
        EXPECT_NEAR(folded(c.angle), t.angle, 8.0);
        EXPECT_NEAR(a.cx, b.cx, 8.0);
        EXPECT_NEAR(a.cy, b.cy, 8.0);
        EXPECT_NEAR(a.cx, c.cx, 8.0);
        EXPECT_NEAR(a.cy, c.cy, 8.0);
    }
}

// LibreOffice draws the CGM page on white: the black frame at the page's edges, a red rectangle
// in the lower left quarter drawn while the area was that quarter (chosen before the job), and a
// text 4 % of the page high.
TEST_F(RenderFixture, LibreOfficeDrawsTheCgmPageOnWhite)
{
    TextDriverSession job(9, "page.cgm");
    // LibreOffice fits the picture's width to a slide of 16:9: a page of that shape is seen whole.
    TextDriverSession::option(1, 800);
    TextDriverSession::option(2, 450);
    IGrArea(0.0f, 0.0f, 0.5f, 0.5f);
    job.start();
    GraphicsState& g = graphicsState();
    g.FillStyle = 4;
    job.rgb(0x0000FF);
    job.fill(OpRectangleFill, {20, 20, 300, 220});
    IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
    IGrUnits(0.0f, 0.0f, 640.0f, 480.0f);
    job.rgb(0x000000);
    TextDriverSession::option(9, 20);
    YYDriverHardcopy(OpLineWidth);
    job.polygon(OpPolyline, {0, 639.99f, 639.99f, 0, 0}, {0, 0, 479.99f, 479.99f, 0});
    WGrTextFont(101, 0, 0.02f, 0.04f);
    IGrTextAlign(0, 0.0f);
    IGrTextDraw(400, 300, "HHHH");
    job.finish();

    // A profile of its own, so that no other run of LibreOffice stands in the way, and a deadline.
    const fs::path profile = folder() / "lo-profile", pdf = folder() / (job.path().stem().string() + ".pdf");
    const Command convert = run("timeout --kill-after=10 240 soffice --headless -env:UserInstallation=file://" + profile.string() +
                                " --convert-to pdf --outdir " + quoted(folder()) + " " + quoted(job.path()));
    ASSERT_EQ(convert.status, 0) << convert.output;
    ASSERT_TRUE(fs::exists(pdf)) << convert.output;
    ASSERT_EQ(run("pdftoppm -r 72 -singlefile -png " + quoted(pdf) + " " + quoted(folder() / "page-cgm")).status, 0);
    ASSERT_EQ(run("pngtopnm " + quoted(folder() / "page-cgm.png") + " > " + quoted(folder() / "page-cgm.ppm")).status, 0);
    const Raster r = readPpm(folder() / "page-cgm.ppm");
    ASSERT_GT(r.width, 0);
    const auto pixel = [&](int col, int row) {
        const std::size_t k = 3 * (static_cast<std::size_t>(row) * r.width + col);
        return Rgb{r.data[k], r.data[k + 1], r.data[k + 2]};
    };
    // The frame: the extent of the dark pixels.
    int left = r.width, right = -1, top = r.height, bottom = -1;
    for (int row = 0; row < r.height; ++row)
        for (int col = 0; col < r.width; ++col)
            if (pixel(col, row).dark()) {
                left = std::min(left, col);
                right = std::max(right, col);
                top = std::min(top, row);
                bottom = std::max(bottom, row);
            }
    ASSERT_GT(right - left, r.width / 2) << "the black frame";
    ASSERT_GT(bottom - top, 0);
    EXPECT_NEAR(static_cast<double>(right - left) / (bottom - top), 800.0 / 450.0, 0.05);
    // A point of the page by fractions of the frame, y upwards.
    const auto at = [&](double fx, double fy) {
        return pixel(left + static_cast<int>(fx * (right - left)), bottom - static_cast<int>(fy * (bottom - top)));
    };
    EXPECT_TRUE(at(0.25, 0.25).closeTo(kRed)) << "the quarter's rectangle " << at(0.25, 0.25);
    for (const auto& [fx, fy] : {std::pair{0.75, 0.25}, {0.25, 0.75}, {0.75, 0.9}, {0.55, 0.55}})
        EXPECT_TRUE(at(fx, fy).closeTo(kWhite)) << "white at " << fx << "," << fy << ": " << at(fx, fy);
    // The text's ink: about 0.55 of 4 % of the page high for its capitals, not a fifth of the page.
    int textTop = r.height, textBottom = -1;
    for (int row = top + 3; row < bottom - 3; ++row)
        for (int col = left + (right - left) * 600 / 1000; col < right - 3; ++col)
            if (pixel(col, row).dark()) {
                textTop = std::min(textTop, row);
                textBottom = std::max(textBottom, row);
            }
    ASSERT_GE(textBottom, textTop) << "the text";
    const double height = static_cast<double>(textBottom - textTop + 1) / (bottom - top);
    EXPECT_GT(height, 0.01);
    EXPECT_LT(height, 0.05);
}
