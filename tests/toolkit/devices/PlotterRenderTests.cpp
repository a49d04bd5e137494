// The HP-GL, HP-GL/2 and DXF files read back by independent programs: hp2xx converts a test page
// of every plotter variant (with and without annotation records) and of every HP-GL/2 device type
// (the PCL wrapper cut off) to PNG without a complaint, with the frame, a filled rectangle and a
// wedge where the page puts them; a decoder of the "PE" and "RF" lines written here gives back the
// polylines and fill patterns exactly; ezdxf reads and audits the DXF drawing, lists its entities
// with their layer, colours and inches, and draws it, probed like the others.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <sstream>

#include "TextDriverSession.h"
#include "tests/toolkit/foundation/ReporterGuard.h"
#include "toolkit/devices/DeviceModels.h"
#include "toolkit/devices/Halftones.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/TextDrawing.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

struct Command {
    int status = -1;
    std::string output;
};

// Runs a command; its standard error goes to a file of its own so that it can be checked apart.
Command run(const std::string& command, std::string* errors = nullptr)
{
    const fs::path errFile = fs::temp_directory_path() / "qv-plotter-render.err";
    Command r;
    std::FILE* pipe = ::popen((command + " 2>'" + errFile.string() + "'").c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) r.output.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(errFile);
    std::stringstream s;
    s << in.rdbuf();
    if (errors) *errors = s.str();
    else r.output += s.str();
    std::error_code ignored;
    fs::remove(errFile, ignored);
    return r;
}

std::string quoted(const fs::path& p) { return "'" + p.string() + "'"; }

struct Rgb {
    int r = 255, g = 255, b = 255;
    bool dark() const { return r + g + b < 3 * 110; }
    bool white() const { return r > 230 && g > 230 && b > 230; }
};

std::ostream& operator<<(std::ostream& out, Rgb c) { return out << "(" << c.r << "," << c.g << "," << c.b << ")"; }

// A PNG read through Pillow as RGB. at() takes a device position of the 640 x 480 drawable (y
// upwards): the driver's scaling takes it to plotter units between P1 and P2, and the coordinate
// range hp2xx reports for the picture takes those to pixels.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> data;
    // Plotter units per device unit and P1; the picture's range in plotter units.
    double unitsX = 1, unitsY = 1, p1x = 0, p1y = 0;
    double x0 = 0, y0 = 0, x1 = 640, y1 = 480;
    Rgb pixel(int c, int r) const
    {
        if (c < 0 || r < 0 || c >= width || r >= height) return {};
        const std::size_t k = 3 * (static_cast<std::size_t>(r) * static_cast<std::size_t>(width) + static_cast<std::size_t>(c));
        return {data[k], data[k + 1], data[k + 2]};
    }
    std::pair<int, int> place(double x, double y) const
    {
        const double px = p1x + x * unitsX, py = p1y + y * unitsY;
        return {static_cast<int>((px - x0) / (x1 - x0) * (width - 1) + 0.5),
                static_cast<int>((y1 - py) / (y1 - y0) * (height - 1) + 0.5)};
    }
    Rgb at(double x, double y) const
    {
        const auto [c, r] = place(x, y);
        return pixel(c, r);
    }
    // Whether any pixel within one of the position is dark (lines one pixel wide fall between).
    bool darkNear(double x, double y) const
    {
        const auto [c, r] = place(x, y);
        for (int dr = -1; dr <= 1; ++dr)
            for (int dc = -1; dc <= 1; ++dc)
                if (pixel(c + dc, r + dr).dark()) return true;
        return false;
    }
};

Picture readPng(const fs::path& png)
{
    Picture p;
    const fs::path raw = png.string() + ".rgb";
    const Command r = run("/usr/bin/python3 -c \"import sys; from PIL import Image; i = Image.open(sys.argv[1]).convert('RGB'); "
                          "open(sys.argv[2], 'wb').write(i.tobytes()); print(i.size[0], i.size[1])\" " +
                          quoted(png) + " " + quoted(raw));
    EXPECT_EQ(r.status, 0) << r.output;
    std::istringstream size(r.output);
    size >> p.width >> p.height;
    std::ifstream in(raw, std::ios::binary);
    p.data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    EXPECT_EQ(p.data.size(), static_cast<std::size_t>(3 * p.width * p.height));
    std::error_code ignored;
    fs::remove(raw, ignored);
    return p;
}

Lines fileLines(const std::string& all)
{
    Lines out;
    std::size_t at = 0;
    while (at < all.size()) {
        const std::size_t end = all.find("\r\n", at);
        out.push_back(all.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos) break;
        at = end + 2;
    }
    return out;
}

// The points of the "PE" lines, decoded: relative steps from the pen position given.
std::vector<std::pair<long, long>> decodePolyline(const Lines& lines, std::pair<long, long> start)
{
    std::vector<std::pair<long, long>> points{start};
    for (const std::string& line : lines) {
        if (line.rfind("PE7", 0) != 0) continue;
        std::vector<long> values;
        long value = 0, scale = 1;
        for (std::size_t k = 3; k < line.size() && line[k] != ';'; ++k) {
            const int c = static_cast<unsigned char>(line[k]);
            if (c >= 63 && c <= 94) {
                value += (c - 63) * scale;
                scale *= 32;
            } else if (c >= 95 && c <= 126) {
                value += (c - 95) * scale;
                values.push_back(value % 2 == 0 ? value / 2 : -(value / 2));
                value = 0;
                scale = 1;
            }
        }
        for (std::size_t k = 0; k + 1 < values.size(); k += 2)
            points.emplace_back(points.back().first + values[k], points.back().second + values[k + 1]);
    }
    return points;
}

// The 8 x 4 pattern of the two lines after an "RF" line.
std::uint32_t decodePattern(const std::string& first, const std::string& second)
{
    std::uint32_t bits = 0;
    const std::string both = first + second;
    int j = 0;
    for (char c : both) {
        if (c == '0' || c == '1') {
            if (c == '1') bits |= 1u << j;
            ++j;
        }
    }
    EXPECT_EQ(j, 32);
    return bits;
}

struct ModelChoice {
    ModelChoice(INTEGER plotter, INTEGER hpgl2)
    {
        printerModelState().PlotterType = plotter;
        printerModelState().Hpgl2Type = hpgl2;
    }
};

fs::path folder()
{
    static const fs::path f = fs::temp_directory_path() / "qv-plotter-render";
    fs::create_directories(f);
    return f;
}

// The page every plotter file holds: a frame, a filled rectangle through the fill primitive, a
// wedge outline, a sector, a polyline and a label whose text holds the label terminator, an escape
// and a tab (none of which may reach the plotter).
void drawPlotterPage(TextDriverSession& job)
{
    GraphicsState& g = graphicsState();
    IGrColourN(223);
    job.send(OpLine, {20, 20, 620, 20});
    job.send(OpLine, {620, 20, 620, 460});
    job.send(OpLine, {620, 460, 20, 460});
    job.send(OpLine, {20, 460, 20, 20});
    IGrFillStyle(4);
    IGrTrapezium(100, 100, 200, 160, 60, 1);
    g.FillStyle = 1;
    g.HatchDensity = 1;
    job.send(OpArc, {480, 300, 60, 60, 0, 0, 0, 90});
    g.FillStyle = 4;
    job.fill(OpSectorFill, {480, 120, 60, 60, 0, std::numbers::pi_v<REAL> / 2, 0, 90});
    job.polygon(OpPolyline, {300, 340, 380, 420}, {400, 420, 400, 420});
    IGrTextDraw(320, 240, "Pa\x04PD0,0\x1b" "E\tge");
}

void probePlotterPage(const Picture& page, const std::string& what)
{
    EXPECT_TRUE(page.darkNear(320, 20)) << what << " frame bottom";
    EXPECT_TRUE(page.darkNear(20, 240)) << what << " frame left";
    EXPECT_TRUE(page.darkNear(620, 240)) << what << " frame right";
    EXPECT_TRUE(page.darkNear(320, 460)) << what << " frame top";
    EXPECT_TRUE(page.at(320, 50).white()) << what << " inside the frame " << page.at(320, 50);
    EXPECT_TRUE(page.at(150, 130).dark()) << what << " filled rectangle " << page.at(150, 130);
    EXPECT_TRUE(page.at(230, 130).white()) << what << " right of the rectangle";
    EXPECT_TRUE(page.darkNear(510, 300)) << what << " wedge radius along x";
    EXPECT_TRUE(page.darkNear(480, 330)) << what << " wedge radius along y";
    EXPECT_TRUE(page.at(560, 300).white()) << what << " beyond the wedge";
    // The label's text reaches the plotter as text only: its "PD0,0" would draw a line from the
    // label to the drawing's origin, across this empty part of the page.
    int crossed = 0;
    for (double y = 160; y <= 220; y += 1.0)
        for (double x = 210; x <= 250; x += 1.0) crossed += page.at(x, y).dark() ? 1 : 0;
    EXPECT_EQ(crossed, 0) << what << " a line drawn by the label's text";
}

// Converts a plot file to PNG at 72 dpi, 640 points wide; hp2xx's diagnostics go to a log, so
// that its standard error holds complaints only. The picture comes back with its coordinate range
// from the log and the plotter units of the page: P1, P2 and the scaling of the driver.
Picture hp2xxPage(const fs::path& plt, const fs::path& png, const std::array<INTEGER, 4>& window, std::string& errors)
{
    const fs::path log = png.string() + ".log";
    const Command result = run("hp2xx -m png -d 72 -w 225.78 -h 169.33 -l " + quoted(log) + " -f " + quoted(png) + " " +
                                   quoted(plt),
                               &errors);
    EXPECT_EQ(result.status, 0) << result.output;
    Picture page = readPng(png);
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    const std::string all = text.str();
    const std::size_t at = all.find("Coordinate range: (");
    EXPECT_NE(at, std::string::npos) << all;
    if (at != std::string::npos)
        std::sscanf(all.c_str() + at, "Coordinate range: (%lf, %lf) ... (%lf, %lf)", &page.x0, &page.y0, &page.x1, &page.y1);
    const HardcopyDriverState& d = hardcopyDriverState();
    page.p1x = window[0];
    page.p1y = window[1];
    page.unitsX = d.XScale * (window[2] - window[0]) / 32760.0;
    page.unitsY = d.YScale * (window[3] - window[1]) / 32760.0;
    std::error_code ignored;
    fs::remove(log, ignored);
    return page;
}

class PlotterRenderFixture : public ::testing::Test {
protected:
    ReporterGuard reporter;
};

}  // namespace

TEST_F(PlotterRenderFixture, Hp2xxConvertsEveryPlotterVariant)
{
    // One type per variant: generic, Epson, Facit, HP.
    for (const INTEGER type : {1, 4, 5, 6}) {
        for (const INTEGER records : {0, 1}) {
            const std::string what = "plotter type " + std::to_string(type) + " records " + std::to_string(records);
            ModelChoice model(type, 1);
            TextDriverSession job(1, "render-" + std::to_string(type) + "-" + std::to_string(records) + ".plt");
            job.option(18, records);
            job.option(25, 1);
            job.start();
            drawPlotterPage(job);
            job.finish();
            const Lines lines = job.lines();
            EXPECT_EQ(std::count(lines.begin(), lines.end(), "SC-13 " + std::to_string(type) + " 0 32760"), records) << what;
            const fs::path png = folder() / ("hpgl-" + std::to_string(type) + "-" + std::to_string(records) + ".png");
            const HpglDriverState& s = hpglDriverState();
            std::string errors;
            const Picture page = hp2xxPage(job.path(), png, {s.P1X, s.P1Y, s.P2X, s.P2Y}, errors);
            EXPECT_EQ(errors, "") << what;
            probePlotterPage(page, what);
            // The plotter fills the sector itself where the variant can; elsewhere it is left to lines.
            if (s.Variant == kPlotterFacit || s.Variant == kPlotterHp) {
                EXPECT_TRUE(page.at(500, 140).dark()) << what << " sector " << page.at(500, 140);
            }
        }
    }
}

TEST_F(PlotterRenderFixture, Hp2xxConvertsEveryHpgl2Type)
{
    for (INTEGER type = 1; type <= 5; ++type) {
        const std::string what = "HP-GL/2 type " + std::to_string(type);
        ModelChoice model(1, type);
        TextDriverSession job(12, "render2-" + std::to_string(type) + ".plt");
        // The page printers turn a landscape page by 90 degrees unless option 5 is 0; the picture
        // is compared unturned.
        if (type != 4) job.option(5, 0);
        job.start("Test page");
        EXPECT_EQ(job.lines()[type == 4 ? 2 : 3].substr(0, 4), "RO0;") << what;
        drawPlotterPage(job);
        // A raster fill in the current colour on a second rectangle.
        GraphicsState& g = graphicsState();
        g.FillStyle = 4;
        job.fill(OpRectangleFill, {400, 60, 440, 80});
        job.finish();
        // hp2xx reads HP-GL/2 only: the lines of the PCL wrapper (escape sequences) are cut off.
        const std::string all = job.contents();
        Lines lines = fileLines(all);
        std::string plain;
        for (const std::string& line : lines)
            if (line.find('\x1b') == std::string::npos) plain += line + "\r\n";
        EXPECT_EQ(plain.size() == all.size(), type == 4) << what;
        const fs::path plt = folder() / ("hpgl2-" + std::to_string(type) + ".plt");
        std::ofstream(plt, std::ios::binary) << plain;
        const fs::path png = folder() / ("hpgl2-" + std::to_string(type) + ".png");
        const Hpgl2DriverState& s = hpgl2DriverState();
        std::string errors;
        const Picture page = hp2xxPage(plt, png, {s.P1X, s.P1Y, s.P2X, s.P2Y}, errors);
        EXPECT_EQ(errors, "") << what;
        probePlotterPage(page, what);
        EXPECT_TRUE(page.at(500, 140).dark()) << what << " sector " << page.at(500, 140);
        EXPECT_TRUE(page.darkNear(340, 420)) << what << " polyline";

        // The polyline decoded from its "PE" line: every point where the scaling puts it.
        const HardcopyDriverState& d = hardcopyDriverState();
        const auto unit = [&](REAL x, REAL y) {
            return std::pair<long, long>{static_cast<long>(d.XScale * x), static_cast<long>(d.YScale * y)};
        };
        std::size_t pe = 0;
        while (pe < lines.size() && lines[pe].rfind("PE7", 0) != 0) ++pe;
        ASSERT_LT(pe, lines.size()) << what;
        const auto points = decodePolyline({lines[pe]}, unit(300, 400));
        const std::vector<std::pair<long, long>> expected = {unit(300, 400), unit(340, 420), unit(380, 400), unit(420, 420)};
        EXPECT_EQ(points, expected) << what;
        // The raster patterns: on two-pen devices the cell of black, set where the cell is clear.
        const auto rf = std::find(lines.begin(), lines.end(), "RF1,8,4,");
        if (s.PenDefined.size() == 256 && hardcopyDriverState().PenCount == 2) {
            ASSERT_NE(rf, lines.end()) << what;
            IGrColourN(223);
            std::uint32_t c0 = 0, c1 = 0, c2 = 0;
            YYHalftonePattern(1, c0, c1, c2);
            EXPECT_EQ(decodePattern(*(rf + 1), *(rf + 2)), ~c0) << what;
        } else {
            EXPECT_EQ(rf, lines.end()) << what;
        }
    }
}

TEST_F(PlotterRenderFixture, Hpgl2RasterPatternsOfTwoColoursDecodeExactly)
{
    ModelChoice model(1, 3);
    TextDriverSession job(12, "render2-mixed.plt");
    job.start();
    GraphicsState& g = graphicsState();
    g.ColourModel = kPaletteMode;
    g.FillStyle = 3;
    struct Pair {
        INTEGER previous, current;
    };
    const Pair pairs[] = {{223, 0}, {16, 48}, {100, 200}};
    std::vector<std::uint32_t> expected;
    for (const Pair& p : pairs) {
        g.ColourIndex[1] = p.previous;
        std::uint32_t a = 0, b = 0, unused = 0;
        YYHalftonePattern(1, a, unused, unused);
        g.ColourIndex[1] = p.current;
        YYHalftonePattern(1, b, unused, unused);
        g.ColourIndex[0] = p.previous;
        expected.push_back(~((b & 0x55AA55AAu) + (a & 0xAA55AA55u)));
        job.fill(OpRectangleFill, {10, 10, 100, 100});
    }
    job.finish();
    const Lines lines = job.lines();
    std::vector<std::uint32_t> decoded;
    for (std::size_t k = 0; k + 2 < lines.size(); ++k)
        if (lines[k] == "RF2,8,4,") decoded.push_back(decodePattern(lines[k + 1], lines[k + 2]));
    EXPECT_EQ(decoded, expected);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "FT11 2"), 1);
}

TEST_F(PlotterRenderFixture, EzdxfReadsAuditsAndDrawsTheDrawing)
{
    for (const INTEGER depth : {8, 24}) {
        const std::string what = "colour depth " + std::to_string(depth);
        TextDriverSession job(8, "render-" + std::to_string(depth) + ".dxf");
        job.option(23, depth);
        job.start();
        GraphicsState& g = graphicsState();
        job.rgb(255);  // red (packed with red in the low byte)
        job.send(OpLine, {20, 20, 620, 20});
        g.LineType = 2;
        job.send(OpLine, {20, 460, 620, 460});
        g.LineType = 0;
        job.rgb(0xFFFFFF);
        job.send(OpPoint, {320, 240});
        job.rgb(195);
        g.FillStyle = 4;
        job.fill(OpRectangleFill, {100, 100, 200, 160});
        job.rgb(0x808080);
        job.fill(OpTriangleFill, {300, 100, 400, 100, 350, 180});
        job.rgb(0);
        g.FillStyle = 0;
        job.send(OpArc, {480, 300, 60, 60, 0, 0, 0, 90});
        job.send(OpEllipseFill, {480, 120, 40, 0, 1.0f});
        job.polygon(OpPolyline, {300, 340, 380}, {400, 420, 400});
        WGrTextFont(101, 0, 0.02f, 0.05f);
        IGrTextAlign(0, 0.0f);
        IGrTextDraw(60, 300, "Label");
        job.finish();

        const fs::path png = folder() / ("dxf-" + std::to_string(depth) + ".png");
        const Command r = run("/usr/bin/python3 " + quoted(QV_DXF_PROBE_SCRIPT) + " " + quoted(job.path()) + " " +
                              quoted(png) + " 10.5 7.5 60");
        ASSERT_EQ(r.status, 0) << what << r.output;
        std::istringstream in(r.output);
        std::string line;
        std::getline(in, line);
        EXPECT_EQ(line, "audit 0 0") << what << "\n" << r.output;
        std::map<std::string, std::vector<std::string>> entities;
        while (std::getline(in, line)) {
            const std::string type = line.substr(0, line.find(' '));
            entities[type].push_back(line);
        }
        const double sx = 756.0 / (639.99 * 72.0), sy = 540.0 / (479.99 * 72.0);
        const auto fields = [](const std::string& text) {
            std::istringstream s(text);
            std::vector<std::string> out;
            for (std::string f; s >> f;) out.push_back(f);
            return out;
        };
        ASSERT_EQ(entities["LINE"].size(), 2u) << what << r.output;
        const auto red = fields(entities["LINE"][0]);
        ASSERT_EQ(red.size(), 9u) << what;
        EXPECT_EQ(red[1], "1") << "layer";
        if (depth == 24) {
            EXPECT_EQ(red[3], "16711680") << what;
        } else {
            EXPECT_EQ(red[2], "1") << what;
        }
        EXPECT_NEAR(std::stod(red[5]), 20 * sx, 1e-5);
        EXPECT_NEAR(std::stod(red[7]), 620 * sx, 1e-5);
        EXPECT_EQ(fields(entities["LINE"][1])[4], "DASHED");
        ASSERT_EQ(entities["SOLID"].size(), 2u) << what;
        const auto dark = fields(entities["SOLID"][0]);
        const auto grey = fields(entities["SOLID"][1]);
        if (depth == 8) {
            EXPECT_EQ(dark[2], "12");
            EXPECT_EQ(grey[2], "251");
        }
        // White and black alike: the colour that stands out on the viewer's background, with no
        // true colour that would pin it.
        for (const char* type : {"POINT", "ARC", "POLYLINE"}) {
            EXPECT_EQ(fields(entities[type].at(0))[2], "7") << what << " " << type;
            EXPECT_EQ(fields(entities[type].at(0))[3], "-1") << what << " " << type;
        }
        EXPECT_NEAR(std::stod(dark[5]), 100 * sx, 1e-5);
        EXPECT_NEAR(std::stod(dark[6]), 100 * sy, 1e-5);
        EXPECT_EQ(entities["ARC"].size(), 1u);
        EXPECT_EQ(entities["CIRCLE"].size(), 1u);
        EXPECT_EQ(entities["POLYLINE"].size(), 1u);
        ASSERT_EQ(entities["TEXT"].size(), 1u);
        // Text height: 0.05 of the page height, scaled for the plain font.
        const auto text = fields(entities["TEXT"][0]);
        EXPECT_NEAR(std::stod(text[7]), 0.05 * 7.5 * 0.78, 0.01) << entities["TEXT"][0];

        Picture page = readPng(png);
        // 60 pixels per inch: the inches of a device point, as the drawing's scaling has them.
        page.unitsX = 756.0 / 639.99 / 72.0;
        page.unitsY = 540.0 / 479.99 / 72.0;
        page.x1 = 10.5;
        page.y1 = 7.5;
        ASSERT_EQ(page.width, 630) << what;
        ASSERT_EQ(page.height, 450) << what;
        EXPECT_TRUE(page.darkNear(320, 460) || !page.at(320, 460).white()) << what << " dashed line";
        const Rgb r1 = page.at(150, 130);
        EXPECT_TRUE(r1.r > 150 && r1.g < 60 && r1.b < 60) << what << " solid rectangle " << r1;
        const Rgb g1 = page.at(350, 120);
        EXPECT_TRUE(std::abs(g1.r - g1.g) < 20 && g1.r > 90 && g1.r < 170) << what << " grey triangle " << g1;
        EXPECT_TRUE(page.at(250, 130).white()) << what << " beside the rectangle " << page.at(250, 130);
        bool redLine = false;
        for (const double y : {19.0, 20.0, 21.0}) {
            const Rgb c = page.at(320, y);
            redLine = redLine || (c.r > 150 && c.g < 100 && c.b < 100);
        }
        EXPECT_TRUE(redLine) << what << " red line " << page.at(320, 20);
        EXPECT_TRUE(page.darkNear(320, 410)) << what << " black polyline on white";

        // On a viewer's black background the black items stand out in white.
        const fs::path night = folder() / ("dxf-night-" + std::to_string(depth) + ".png");
        const Command onBlackRun = run("/usr/bin/python3 " + quoted(QV_DXF_PROBE_SCRIPT) + " " + quoted(job.path()) +
                                       " " + quoted(night) + " 10.5 7.5 60 '#000000'");
        ASSERT_EQ(onBlackRun.status, 0) << what << onBlackRun.output;
        Picture onBlack = readPng(night);
        onBlack.unitsX = page.unitsX;
        onBlack.unitsY = page.unitsY;
        onBlack.x1 = page.x1;
        onBlack.y1 = page.y1;
        bool light = false;
        for (const double dy : {-1.0, 0.0, 1.0})
            for (const double dx : {-1.0, 0.0, 1.0}) {
                const Rgb c = onBlack.at(320 + dx, 410 + dy);
                light = light || c.r + c.g + c.b > 3 * 150;
            }
        EXPECT_TRUE(light) << what << " black polyline on black " << onBlack.at(320, 410);
    }
}
