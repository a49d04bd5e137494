// The printer's platform-free arithmetic: dash patterns, colour inversion, pen width, the colour
// rule, page origin, the degenerate sector, end pixels, gradient vertices and DIB sizes.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "toolkit/devices/PrinterArithmetic.h"

TEST(PrinterArithmetic, DashPatternsFollowThePrinterResolutionAndPenWidth)
{
    struct Case {
        INTEGER lineType, printer, screen, width;
        std::vector<std::uint32_t> expected;
    };
    const Case cases[] = {
        {3, 576, 96, 4, {6, 27, 48, 27}},          // six times the screen, gaps lengthened by 3
        {3, 576, 96, 1, {6, 24, 48, 24}},          // a one-pixel pen leaves the gaps
        {1, 600, 96, 1, {6, 25}},                  // unsigned division: 4 * 600 / 96 = 25
        {4, 96, 96, 2, {1, 5, 1, 5, 8, 5}},
        {7, 300, 96, 1, {25, 12, 12, 12, 12, 12}},
        {2, 48, 96, 1, {4, 3}},
        {1, 10, 96, 1, {1, 1}},                    // no segment shrinks to nothing
        {2, 600, 0, 1, {50, 37}},                  // an unmeasured screen counts as 96 dpi
        {0, 600, 96, 3, {}},
        {8, 600, 96, 3, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(YYPrintDashPattern(c.lineType, c.printer, c.screen, c.width), c.expected) << "line type " << c.lineType;
}

TEST(PrinterArithmetic, ColourInversionByOption6)
{
    struct Case {
        INTEGER mode, r, g, b, er, eg, eb;
    };
    const Case cases[] = {
        {2, 3, 5, 8, 252, 250, 247},   {2, 128, 0, 0, 128, 0, 0},   {2, 250, 250, 250, 5, 5, 5},
        {2, 9, 9, 10, 9, 9, 10},       {2, 246, 246, 245, 246, 246, 245},
        {1, 128, 0, 255, 127, 255, 0}, {0, 3, 5, 8, 3, 5, 8},
    };
    for (const Case& c : cases) {
        INTEGER r = c.r, g = c.g, b = c.b;
        YYPrintInvertComponents(c.mode, r, g, b);
        EXPECT_EQ(r, c.er) << c.mode << ": " << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(g, c.eg) << c.mode << ": " << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(b, c.eb) << c.mode << ": " << c.r << "," << c.g << "," << c.b;
    }
}

TEST(PrinterArithmetic, PenWidthAndColourRule)
{
    struct PenCase {
        INTEGER tenths, dpiX, dpiY, expected;
    };
    for (const PenCase c : {PenCase{5, 600, 600, 3}, PenCase{5, 300, 300, 1}, PenCase{1, 300, 300, 0},
                            PenCase{0, 600, 600, 0}, PenCase{10, 600, 300, 5}, PenCase{72, 72, 72, 6}})
        EXPECT_EQ(YYPrintPenWidthFor(c.tenths, c.dpiX, c.dpiY), c.expected) << c.tenths << " at " << c.dpiX;

    struct ColourCase {
        INTEGER count, capability;
        bool colour;
    };
    for (const ColourCase c : {ColourCase{2, 0, false}, ColourCase{0, 0, false}, ColourCase{-1, 0, true},
                               ColourCase{256, 0, true}, ColourCase{3, 0, true}, ColourCase{2, 1, true}})
        EXPECT_EQ(YYPrinterIsColour(c.count, c.capability), c.colour) << c.count << " capability " << c.capability;
}

TEST(PrinterArithmetic, PageOriginLiesThePlotOffsetFromThePaperCorner)
{
    // A 600-dpi printer with 0.25 in unprintable margin, plot one inch in.
    EXPECT_EQ(YYPrintPageOrigin(150, 72, 600), -450);
    EXPECT_EQ(YYPrintPageOrigin(0, 0, 600), 0);
    EXPECT_EQ(YYPrintPointsToPixels(648, 600), 5400);
    EXPECT_EQ(YYPrintPointsToPixels(10, 300), 41);
}

TEST(PrinterArithmetic, DegenerateSectorMovesItsEndOnePixel)
{
    struct Case {
        INTEGER xs, ys, xe, ye;
        REAL start, sweep;
        INTEGER ex, ey;
    };
    const Case cases[] = {
        {10, 10, 10, 10, 45.0f, 0.5f, 9, 9},     {10, 10, 10, 10, 90.0f, 0.5f, 9, 11},
        {10, 10, 10, 10, 269.9f, 1.0f, 11, 11},  {10, 10, 10, 10, -10.0f, 1.0f, 11, 9},
        {10, 10, 10, 10, 719.0f, -10.0f, 11, 9}, {10, 10, 10, 10, 45.0f, 350.0f, 10, 10},  // full turn: kept
        {10, 10, 11, 10, 45.0f, 0.5f, 11, 10},   // different pixels: kept
        {10, 10, 10, 10, 1.0e30f, 0.5f, 9, 9},   // no whole degrees: as 0
    };
    for (const Case& c : cases) {
        INTEGER xe = c.xe, ye = c.ye;
        YYSectorEndNudge(c.xs, c.ys, xe, ye, c.start, c.sweep);
        EXPECT_EQ(xe, c.ex) << c.start << " sweep " << c.sweep;
        EXPECT_EQ(ye, c.ey) << c.start << " sweep " << c.sweep;
    }
}

TEST(PrinterArithmetic, EndPixelOnlyForSolidOpenLines)
{
    EXPECT_TRUE(YYPrintEndPixelNeeded(1, 10, 10, 20, 10, false));
    EXPECT_FALSE(YYPrintEndPixelNeeded(0, 10, 10, 20, 10, false));
    EXPECT_TRUE(YYPrintEndPixelNeeded(1, 10, 10, 20, 10, true));
    EXPECT_FALSE(YYPrintEndPixelNeeded(1, 10, 10, 10, 10, true));
    EXPECT_FALSE(YYPrintEndPixelNeeded(0, 10, 10, 20, 10, true));
}

TEST(PrinterArithmetic, GradientVerticesAndTriangles)
{
    struct Case {
        INTEGER rgb;
        std::uint16_t r, g, b;
    };
    for (const Case c : {Case{0x0000FF, 0xFF00, 0, 0}, Case{0x00FF00, 0, 0xFF00, 0}, Case{0xFF0000, 0, 0, 0xFF00},
                         Case{0x123456, 0x5600, 0x3400, 0x1200}, Case{0xFFFFFF, 0xFF00, 0xFF00, 0xFF00}}) {
        const GradientVertex v = YYGradientVertex(7, -3, c.rgb);
        EXPECT_EQ(v.x, 7);
        EXPECT_EQ(v.y, -3);
        EXPECT_EQ(v.red, c.r) << std::hex << c.rgb;
        EXPECT_EQ(v.green, c.g) << std::hex << c.rgb;
        EXPECT_EQ(v.blue, c.b) << std::hex << c.rgb;
        EXPECT_EQ(v.alpha, 0);
    }
    const INTEGER triangles[] = {1, 2, 3, 1, 3, 4};
    EXPECT_EQ(YYGradientTriangles(triangles, 2, 4), (std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_TRUE(YYGradientTriangles(triangles, 2, 3).empty());  // vertex 4 does not exist
    const INTEGER zero[] = {0, 1, 2};
    EXPECT_TRUE(YYGradientTriangles(zero, 1, 3).empty());
}

TEST(PrinterArithmetic, DibColourTableAndRowSizes)
{
    struct Case {
        INTEGER header, bits, used, bytes;
    };
    for (const Case c : {Case{40, 1, 0, 8}, Case{40, 4, 0, 64}, Case{40, 8, 0, 1024}, Case{40, 24, 0, 0},
                         Case{40, 8, 16, 64}, Case{40, 16, 0, 0}, Case{12, 1, 0, 6}, Case{12, 4, 0, 48},
                         Case{12, 8, 0, 768}, Case{12, 24, 0, 0}})
        EXPECT_EQ(YYDibColourTableBytes(c.header, c.bits, c.used), c.bytes) << c.header << "/" << c.bits << "/" << c.used;

    struct BitCase {
        INTEGER planes, bits, expected;
    };
    for (const BitCase c : {BitCase{1, 1, 1}, BitCase{1, 2, 4}, BitCase{4, 1, 4}, BitCase{1, 8, 8}, BitCase{1, 16, 24},
                            BitCase{1, 32, 24}})
        EXPECT_EQ(YYDibBitCount(c.planes, c.bits), c.expected) << c.planes << "x" << c.bits;
    EXPECT_EQ(YYDibImageBytes(3, 2, 24), 24);  // 9 bytes padded to 12, two rows
    EXPECT_EQ(YYDibImageBytes(33, 1, 1), 8);
}
