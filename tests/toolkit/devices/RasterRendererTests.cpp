// The raster renderer against expected page bits: pens, dash patterns, continued lines, the scan
// conversion of triangles and quadrilaterals, the two-colour fill, edge crossings, images, and
// shapes that reach past the page or the clip area (the sanitizers watch the stores).
#include <gtest/gtest.h>

#include <numeric>

#include "tests/toolkit/devices/RasterFixture.h"
#include "toolkit/devices/Halftones.h"
#include "toolkit/graphics/ShadedPolygons.h"

using namespace raster_test;

namespace {

std::vector<INTEGER> range(INTEGER from, INTEGER to)
{
    std::vector<INTEGER> v(static_cast<std::size_t>(to - from + 1));
    std::iota(v.begin(), v.end(), from);
    return v;
}

TEST(RasterRenderer, TwoPixelPenAt300DpiCoversItsColumnAndTheNext)
{
    TempFolder folder;
    RasterJob job(20, 20, folder / "pen.bmp", {.bits = 1, .resolution = 300});
    RasterJob::penWidth(5);  // half a point: trunc(5 x 300 / 720 + 0.5) = 2 pixels
    RasterJob::line(5, 2, 5, 8);
    EXPECT_EQ(picture(3, 1, 8, 9),
              "......\n"
              "..##..\n"
              "..##..\n"
              "..##..\n"
              "..##..\n"
              "..##..\n"
              "..##..\n"
              "..##..\n"
              "......\n");
    // A flat line widens over the rows: half extent 0, so its own row and the one above.
    RasterJob::line(10, 12, 15, 14);
    EXPECT_EQ(drawnColumns(11), std::vector<INTEGER>{});
    EXPECT_EQ(drawnColumns(15), std::vector<INTEGER>({14, 15}));
}

TEST(RasterRenderer, DashPatternsRunInPointsAndCarryOnIntoTheNextLine)
{
    TempFolder folder;
    RasterJob job(200, 4, folder / "dash.bmp", {.bits = 8, .resolution = 300});
    RasterJob::penWidth(1);  // one pixel
    RasterJob::lineType(1);  // 0x104 over 12 bits, 4 steps per bit at 300 dots per inch
    RasterJob::line(0, 1, 95, 1);
    std::vector<INTEGER> expected;
    for (INTEGER start : {8, 32, 56, 80})
        for (INTEGER x = start; x < start + 4; ++x) expected.push_back(x);
    EXPECT_EQ(drawnColumns(1), expected);
    // The next line goes on with the pattern where the first left it (step 96 is step 0 again),
    // and is continued, so its first pixel (95) is not spent again.
    RasterJob::line(95, 1, 143, 1);
    expected.clear();
    for (INTEGER start : {8, 32, 56, 80, 104, 128})
        for (INTEGER x = start; x < start + 4; ++x) expected.push_back(x);
    EXPECT_EQ(drawnColumns(1), expected);
    // After a line type change the next line starts the pattern afresh and is not continued.
    RasterJob::lineType(1);
    RasterJob::line(143, 2, 191, 2);
    EXPECT_EQ(drawnColumns(2), std::vector<INTEGER>({151, 152, 153, 154, 175, 176, 177, 178}));
}

TEST(RasterRenderer, ContinuedLinesSkipTheirFirstPixel)
{
    struct Case {
        const char* name;
        INTEGER type, x1, y1, x2, y2;
        std::string expected;  // columns 0-5, rows 5 down to 0
    };
    const Case cases[] = {
        {"solid row", 0, 0, 1, 4, 1, "......\n......\n......\n......\n.####.\n......\n"},
        {"solid row leftwards", 0, 4, 1, 0, 1, "......\n......\n......\n......\n####..\n......\n"},
        {"solid column", 0, 2, 0, 2, 4, "......\n..#...\n..#...\n..#...\n..#...\n......\n"},
        {"steep", 7, 0, 0, 2, 4, "......\n..#...\n..#...\n.#....\n.#....\n......\n"},
        {"flat", 7, 0, 0, 4, 2, "......\n......\n......\n...##.\n.##...\n......\n"},
        {"point", 0, 3, 3, 3, 3, "......\n......\n......\n......\n......\n......\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        RasterJob job(6, 6, folder / "line.bmp");
        graphicsState().LineType = c.type;  // line type 7 draws its first 3 x 2 steps at 150 dpi
        YYRasterLine(c.x1, c.y1, c.x2, c.y2, kTrue);
        EXPECT_EQ(picture(0, 0, 5, 5), c.expected);
    }
    // Not continued, a line from a point to itself is that one pixel.
    TempFolder folder;
    RasterJob job(6, 6, folder / "point.bmp");
    RasterJob::line(3, 3, 3, 3);
    EXPECT_EQ(picture(2, 2, 4, 4), "...\n.#.\n...\n");
    // A line that starts where the last one ended is continued: the shared pixel spends no dash
    // step again. Line type 7 at 150 dpi draws steps 0-5 and leaves 6-9 blank: column 5 is step 5.
    RasterJob::lineType(7);
    RasterJob::line(0, 1, 4, 1);
    RasterJob::line(4, 1, 8, 1);
    EXPECT_EQ(drawnColumns(1), range(0, 5));
}

TEST(RasterRenderer, TrianglesAndQuadrilateralsAreScanConverted)
{
    struct Case {
        const char* name;
        INTEGER op, value;
        std::vector<REAL> corners;
        std::string expected;  // columns 0-11, rows 9 down to 0
    };
    const Case cases[] = {
        {"one-row triangle", OpTriangleFill, 1, {2, 3, 9, 3, 5, 3},
         "............\n............\n............\n............\n............\n............\n"
         "..########..\n............\n............\n............\n"},
        {"triangle", OpTriangleFill, 1, {1, 1, 9, 1, 1, 7},
         "............\n............\n.#..........\n.##.........\n.###........\n.#####......\n"
         ".######.....\n.#######....\n.#########..\n............\n"},
        // Type 1: sides 1-4 and 2-3 vertical, the slanted sides cut the rows beyond their ends.
        {"quadrilateral type 1", OpQuadFill, 1, {2, 1, 10, 5, 10, 8, 2, 4},
         "............\n..........#.\n........###.\n......#####.\n....#######.\n..#######...\n"
         "..#####.....\n..###.......\n..#.........\n............\n"},
        // Type 2: rows between the bottom and top, limited by sides 1-4 and 2-3.
        {"quadrilateral type 2", OpQuadFill, 2, {1, 2, 6, 2, 10, 8, 5, 8},
         "............\n.....######.\n....######..\n...######...\n...######...\n..######....\n"
         ".######.....\n.######.....\n............\n............\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        RasterJob job(12, 10, folder / "fill.bmp");
        RasterJob::fill(c.op, 4, c.corners, c.value);
        EXPECT_EQ(picture(0, 0, 11, 9), c.expected) << picture(0, 0, 11, 9);
    }
}

TEST(RasterRenderer, FillProtocolAndTwoColourFills)
{
    TempFolder folder;
    RasterJob job(8, 4, folder / "style3.png", {.bits = 24, .fileType = 3});
    // Fill styles below 3 are outlines and hatches the graphics layer draws: nothing here, and an
    // ellipse answers -1. The closing call changes nothing, not even the page-open flag.
    hardcopyJobState().PageOpen = 0;
    graphicsState().FillStyle = 1;
    driverParameterBlock().Value = -1;
    XXIMAG(OpEllipseFill);
    EXPECT_EQ(hardcopyJobState().PageOpen, 0);
    driverParameterBlock().Value = 1;
    XXIMAG(OpEllipseFill);
    EXPECT_EQ(driverParameterBlock().Value, -1);
    EXPECT_EQ(picture(0, 0, 7, 3), "........\n........\n........\n........\n");

    // Style 3 with two colours on an RGB page: a checker of the previous and the current colour.
    RasterJob::rgb(0x0000FF);
    RasterJob::rgb(0xFF0000);
    RasterJob::fill(OpRectangleFill, 3, {0, 0, 7, 3});
    EXPECT_EQ(YYRasterPixelValue(0, 0), 0x0000FF);
    EXPECT_EQ(YYRasterPixelValue(1, 0), 0xFF0000);
    EXPECT_EQ(YYRasterPixelValue(0, 1), 0xFF0000);
    EXPECT_EQ(YYRasterPixelValue(1, 1), 0x0000FF);
    // The same colour twice is a solid fill.
    RasterJob::rgb(0xFF0000);
    RasterJob::fill(OpRectangleFill, 3, {0, 0, 7, 3});
    EXPECT_EQ(YYRasterPixelValue(0, 0), 0xFF0000);

    // Ellipses, sectors and polygons ask for fill lines, one per pixel row.
    RasterJob::rgb(0x00FF00);
    graphicsState().FillStyle = 4;
    driverParameterBlock().Value = 1;
    XXIMAG(OpPolygonFill);
    EXPECT_EQ(graphicsState().LayerFillRequest[1], 1);
    EXPECT_FLOAT_EQ(hardcopyFillState().HardcopyFillSpacing, (4.0f - 0.01f) / 4.0f);
    RasterJob::line(2.5f, 2.5f, 5.5f, 2.5f);
    EXPECT_EQ(drawnColumns(2), range(0, 7));
    EXPECT_EQ(YYRasterPixelValue(2, 2), 0x00FF00);
    EXPECT_EQ(YYRasterPixelValue(1, 2), 0xFF0000);
    graphicsState().LayerFillRequest[1] = 0;
}

TEST(RasterRenderer, OneBitFillsUseTheHalftoneCellOfTheColour)
{
    TempFolder folder;
    RasterJob job(16, 8, folder / "grey.bmp", {.bits = 1});
    RasterJob::rgb(0x808080);  // grey (128, 128, 128) on two colours: rows AA 55 AA 2A
    RasterJob::fill(OpRectangleFill, 4, {0, 0, 15, 7});
    const std::uint32_t cell = 0x2AAA55AA;
    for (INTEGER y = 0; y < 8; ++y)
        for (INTEGER x = 0; x < 16; ++x)
            EXPECT_EQ(YYRasterPixelValue(x, y), static_cast<INTEGER>((cell >> (8 * (y % 4) + x % 8)) & 1U)) << x << "," << y;
}

TEST(RasterRenderer, EdgeCrossings)
{
    struct Case {
        INTEGER x1, y1, x2, y2, y, expected;
    };
    const Case cases[] = {
        {0, 5, 10, 5, 5, 32767},  // horizontal
        {0, 0, 10, 10, 4, 4},     {10, 10, 0, 0, 4, 4},  // either order, the same column
        {0, 0, 10, 3, 1, 3},      {10, 3, 0, 0, 1, 3},   // 10/3 truncated, from the lower end
        {10, 0, 0, 3, 1, 7},      {0, 3, 10, 0, 1, 7},   // 10 - 10/3 from the lower end
        {0, 0, -10, 3, 1, -3},                          // toward zero
    };
    for (const Case& c : cases)
        EXPECT_EQ(YYEdgeCrossing(c.x1, c.y1, c.x2, c.y2, c.y), c.expected) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
}

TEST(RasterRenderer, NothingIsStoredOutsideThePageOrTheClipArea)
{
    for (const INTEGER bits : {1, 4, 8, 24}) {
        SCOPED_TRACE(bits);
        TempFolder folder;
        RasterJob job(37, 21, folder / "edges.png", {.bits = bits, .fileType = 3});
        RasterJob::penWidth(40);  // 8 pixels at 150 dots per inch
        RasterJob::colour(32);
        for (const INTEGER type : {0, 3}) {
            RasterJob::lineType(type);
            RasterJob::line(0, 0, 36.9f, 20.9f);
            RasterJob::line(0, 20.9f, 36.9f, 0);
            RasterJob::line(0, 0, 0, 20.9f);
            RasterJob::line(36.9f, 0, 36.9f, 20.9f);
            RasterJob::line(0, 0, 36.9f, 0);
            RasterJob::line(0, 20.9f, 36.9f, 20.9f);
            RasterJob::point(0, 0);
            RasterJob::point(36.9f, 20.9f);
            RasterJob::polyline({-50, 90, 10, -2000}, {-50, 70, 2000, 3});
        }
        RasterJob::fill(OpRectangleFill, 4, {-100, -100, 500, 500});
        RasterJob::fill(OpTriangleFill, 4, {-100, -100, 500, 3, -40, 900});
        RasterJob::fill(OpQuadFill, 4, {-100, -100, 500, -90, 600, 900, -80, 800}, 2);
        RasterJob::fill(OpQuadFill, 4, {-100, -100, 500, -90, 500, 900, -100, 800}, 1);
        for (INTEGER k = 0; k < 3; ++k) YYRasterDitherPixel(-1 + 38 * k, -1 + 22 * k, 0x123456);
        YYRasterPixel(1, 37, 0);
        YYRasterPixel(1, 0, 21);
        YYRasterSpanSet(1, -5, 20, 100);
        EXPECT_EQ(static_cast<INTEGER>(rasterPageBlock().Words.size()), rasterPageBlock().TotalWords);
    }
    // With a clip area inside the page, wide pens and rectangle fills stay inside it too.
    TempFolder folder;
    RasterJob job(30, 20, folder / "clip.bmp");
    RasterJob::clip(10, 5, 19.99f, 14.99f);
    RasterJob::penWidth(40);
    RasterJob::line(10, 5, 19.99f, 5);
    RasterJob::line(12, 5, 12, 14.99f);
    RasterJob::line(10, 5, 19.99f, 14.99f);
    RasterJob::fill(OpRectangleFill, 4, {0, 0, 29.99f, 19.99f});
    for (INTEGER y = 0; y < 20; ++y)
        for (INTEGER x = 0; x < 30; ++x) {
            const bool inside = x >= 10 && x <= 19 && y >= 5 && y <= 14;
            EXPECT_EQ(YYRasterPixelValue(x, y) != 0, inside) << x << "," << y;
        }
}

TEST(RasterRenderer, ImagesFillTheClipAreaTopRowFirst)
{
    TempFolder folder;
    // A 2 x 2 image written by the PNG writer: top row red, green; bottom row blue, white.
    const auto imageFile = folder / "image.png";
    {
        RasterJob source(2, 2, imageFile, {.bits = 24, .fileType = 3});
        for (const auto& [x, y, colour] : {std::tuple{0, 1, 0x0000FF}, {1, 1, 0x00FF00}, {0, 0, 0xFF0000}, {1, 0, 0xFFFFFF}}) {
            RasterJob::rgb(colour);
            RasterJob::point(static_cast<REAL>(x), static_cast<REAL>(y));
        }
    }
    RasterJob job(10, 10, folder / "page.png", {.bits = 24, .fileType = 3});
    RasterJob::clip(2, 2, 5.99f, 5.99f);  // 4 x 4 pixels: each image pixel 2 x 2
    stringWorkBuffer().assign(imageFile.string());
    DriverParameterBlock& b = driverParameterBlock();
    b.IntX2 = 2;
    b.IntY2 = 2;
    XXIMAG(OpImage);
    EXPECT_EQ(b.Value, 0);
    const INTEGER expected[4][4] = {{0x0000FF, 0x0000FF, 0x00FF00, 0x00FF00},
                                    {0x0000FF, 0x0000FF, 0x00FF00, 0x00FF00},
                                    {0xFF0000, 0xFF0000, 0xFFFFFF, 0xFFFFFF},
                                    {0xFF0000, 0xFF0000, 0xFFFFFF, 0xFFFFFF}};
    for (INTEGER r = 0; r < 4; ++r)
        for (INTEGER c = 0; c < 4; ++c) EXPECT_EQ(YYRasterPixelValue(2 + c, 5 - r), expected[r][c]) << r << "," << c;
    EXPECT_EQ(YYRasterPixelValue(1, 5), 0xFFFFFF);

    // A file that is no image: nothing drawn, the error and its detail come back, no report shown.
    const auto before = rasterPageBlock().Words;
    libraryErrorState().LastErrorNumber = 0;
    stringWorkBuffer().assign((folder / "missing.png").string());
    XXIMAG(OpImage);
    EXPECT_EQ(b.Value, 27);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 27);
    EXPECT_EQ(rasterPageBlock().Words, before);
}

TEST(RasterRenderer, ShadedPolygonsAreDitheredIntoThePage)
{
    TempFolder folder;
    RasterJob job(12, 12, folder / "shade.bmp", {.bits = 8});
    DriverParameterBlock& b = driverParameterBlock();
    b.PolygonX = {1, 10, 1};
    b.PolygonY = {1, 1, 10};
    ShadedPolygonBlock& p = shadedPolygonBlock();
    p.VertexCount = 3;
    p.VertexColour[0] = p.VertexColour[1] = p.VertexColour[2] = 0x0000FF;
    XXIMAG(OpShadedPolygon);
    INTEGER red = 0;
    YYPaletteNearest(0x0000FF, red);
    EXPECT_EQ(YYRasterPixelValue(2, 2), red);
    EXPECT_EQ(YYRasterPixelValue(10, 10), 0);
    EXPECT_EQ(hardcopyJobState().PageOpen, -1);
}

}  // namespace
