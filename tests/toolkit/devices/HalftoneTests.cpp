// Halftone cells: the cell rule's examples, the cells of colours on two-colour and colour
// devices with inversion, the tables' ends, and the dither's period.
#include <gtest/gtest.h>

#include <bit>

#include "tests/toolkit/devices/RasterFixture.h"
#include "toolkit/devices/Halftones.h"

using namespace raster_test;

namespace {

std::uint32_t rows(std::uint32_t b0, std::uint32_t b1, std::uint32_t b2, std::uint32_t b3)
{
    return b0 | (b1 << 8) | (b2 << 16) | (b3 << 24);
}

TEST(Halftones, CellRulePlacesTheDots)
{
    struct Case {
        REAL fraction;
        INTEGER offset;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {0.5f, 2, rows(0x55, 0xAA, 0x55, 0xAA)},           // a checkerboard
        {8.0f / 32, 2, rows(0x44, 0x22, 0x11, 0x88)},      // 8 dots
        {24.0f / 32, 2, rows(0xDD, 0xEE, 0x77, 0xBB)},     // 24 dots
        {1.0f / 32, 2, rows(0x01, 0, 0, 0)},               // 1 dot
        {0.0f, 2, 0},                                      // none
        {0.98f, 3, 0xFFFFFFFF},                            // above 0.975 all
        {17.0f / 32, 2, rows(0x55, 0xAA, 0x55, 0xD5)},     // 17 dots
    };
    for (const Case& c : cases) {
        EXPECT_EQ(YYHalftoneCell(c.fraction, c.offset), c.expected) << c.fraction;
        EXPECT_EQ(std::popcount(YYHalftoneCell(c.fraction, c.offset)),
                  c.fraction > 0.975f ? 32 : static_cast<int>(32 * c.fraction + 0.5f));
    }
}

struct ColourCase {
    const char* name;
    INTEGER colours, inversion, kind, rgb;
    std::array<std::uint32_t, 3> expected;
};

TEST(Halftones, CellsOfTheCurrentColour)
{
    const std::uint32_t c200 = YYHalftoneCell(200.0f / 255, 2);
    const std::uint32_t fiveR = YYHalftoneCell(5.0f / 255, 2), fiveG = YYHalftoneCell(5.0f / 255, 3);
    const std::uint32_t twenty = YYHalftoneCell(20.0f / 255, 4);
    const ColourCase cases[] = {
        {"black on two colours", 2, 0, 0, 0x000000, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}},
        {"white on two colours", 2, 0, 0, 0xFFFFFF, {0, 0, 0}},
        {"grey 128 on two colours", 2, 0, 0, 0x808080,
         {rows(0xAA, 0x55, 0xAA, 0x2A), rows(0xAA, 0x55, 0xAA, 0x2A), rows(0xAA, 0x55, 0xAA, 0x2A)}},
        {"grey from 237 up is white", 2, 0, 0, 0xEDEDED, {0, 0, 0}},
        {"(200, 198, 201) is a grey", 256, 0, 0, 200 + 256 * 198 + 65536 * 201, {c200, c200, c200}},
        {"(5, 5, 5) inverted by option 6 = 2", 256, 2, 0, 0x050505, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}},
        {"(5, 5, 20) not inverted", 256, 2, 0, 5 + 256 * 5 + 65536 * 20, {fiveR, fiveG, twenty}},
        {"ink planes complement", 8, 0, 2, 0xFFFFFF, {0, 0, 0}},
        {"every colour inverted by option 6 = 1", 256, 1, 0, 0xFFFFFF, {0, 0, 0}},
    };
    for (const ColourCase& c : cases) {
        SCOPED_TRACE(c.name);
        resetState();
        hardcopyFillState().HardcopyColours = c.colours;
        hardcopyOptionBlock().Options[6] = c.inversion;
        graphicsState().ColourModel = kRgbMode;
        graphicsState().ColourRGB[1] = c.rgb;
        std::array<std::uint32_t, 3> cells{};
        YYHalftonePattern(c.kind, cells[0], cells[1], cells[2]);
        EXPECT_EQ(cells, c.expected);
    }
}

TEST(Halftones, TablesRunFromNoDotsToAllDots)
{
    YYHalftoneTables();
    const HalftoneTables& t = halftoneTables();
    for (std::size_t plane = 0; plane < 3; ++plane) {
        EXPECT_EQ(t.Cells[plane][0], 0U);
        EXPECT_EQ(t.Cells[plane][4095], 0xFFFFFFFFU);
    }
    // Entry 256 b/16 + 16 g/16 + r/16: pure red (level 15 = 255) in plane 0 only.
    EXPECT_EQ(t.Cells[0][15], 0xFFFFFFFFU);
    EXPECT_EQ(t.Cells[1][15], 0U);
}

TEST(Halftones, OneBitDitherRepeatsEveryEightColumnsAndFourRows)
{
    TempFolder folder;
    RasterJob job(24, 12, folder / "dither.bmp", {.bits = 1});
    const INTEGER colours[] = {0x000000, 0xFFFFFF, 0x808080, 0x0000FF, 0x3377AA, 0xC0C0C0, 0x102030};
    for (const INTEGER rgb : colours) {
        for (INTEGER y = 0; y < 12; ++y)
            for (INTEGER x = 0; x < 24; ++x) YYRasterDitherPixel(x, y, rgb);
        for (INTEGER y = 0; y < 8; ++y)
            for (INTEGER x = 0; x < 16; ++x)
                EXPECT_EQ(YYRasterPixelValue(x, y), YYRasterPixelValue(x + 8, y + 4)) << rgb << " " << x << "," << y;
    }
    // Black prints every dot, white none.
    YYRasterDitherPixel(3, 3, 0x000000);
    YYRasterDitherPixel(4, 3, 0xFFFFFF);
    EXPECT_EQ(YYRasterPixelValue(3, 3), 1);
    EXPECT_EQ(YYRasterPixelValue(4, 3), 0);
}

}  // namespace
