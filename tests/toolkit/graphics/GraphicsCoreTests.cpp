// Window units, the default palette and the screen palette taken from it.
#include <gtest/gtest.h>

#include "toolkit/foundation/WindowUnits.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/GraphicsState.h"

TEST(WindowUnits, PixelAndUnitConversions)
{
    struct Case { INTEGER value, size, pixelToUnits, unitsToPixel; };
    const Case cases[] = {
        {0, 100, 49, 0},        // pixel 0 of 100 is unit 49
        {9999, 100, 0, 99},     // unit 9999 is the last pixel
        {0, 1, 0, 0},           // a 1-pixel client gives 0 for every pixel
        {5000, 1001, 0, 500},   // half way across a 1001-pixel parent
        {9999, 3000, 0, 2999},  // wide clients do not overflow
    };
    for (const Case& c : cases) {
        if (c.value < c.size) {
            EXPECT_EQ(pixelToWindowUnits(c.value, c.size), c.pixelToUnits) << c.value << "/" << c.size;
        }
        EXPECT_EQ(windowUnitsToPixel(c.value, c.size), c.unitsToPixel) << c.value << "/" << c.size;
    }
    EXPECT_EQ(pixelToWindowUnits(99, 100), 9949);
}

TEST(ColourPalette, FamiliesAndScreenPalettes)
{
    YYPaletteDefault();
    const auto& p = defaultPalette().Entries;
    EXPECT_EQ(p[0], 0xFFFFFF);
    EXPECT_EQ(p[223], 0);
    EXPECT_EQ(p[31], 0x0000FF);   // red in the low byte
    EXPECT_EQ(p[159], 0xFF0000);
    EXPECT_EQ(p[15], 0xC3C3C3);

    const auto sixteen = YYScreenPaletteColours(16);
    ASSERT_EQ(sixteen.size(), 16u);
    EXPECT_EQ(sixteen[0], p[0]);
    EXPECT_EQ(sixteen[15], p[223]);

    const auto wide = YYScreenPaletteColours(128);
    ASSERT_EQ(wide.size(), 128u);
    EXPECT_EQ(wide[8], 0xC7);        // light-red family starts at 0xC7 ...
    EXPECT_EQ(wide[15], 0xFF);       // ... and ends at full red
    EXPECT_EQ(wide[0], 0xFFFFFF);    // white family from white down
    EXPECT_EQ(wide[1], 0xF7F7F7);
    EXPECT_TRUE(YYScreenPaletteColours(20).empty());
}

TEST(GraphicsState, ResizeFollowsOnlyTheCurrentDrawable)
{
    graphicsState().CurrentWindow = 0;
    IGrResetGraphics(" ");
    YYWindowResized(0, 201, 101);
    EXPECT_EQ(graphicsState().DrawableWidth, 201);
    EXPECT_FLOAT_EQ(graphicsTransform().DrawableXLimit, 200.99f);
    YYWindowResized(3, 50, 50);
    EXPECT_EQ(graphicsState().DrawableWidth, 201);
    INTEGER r = 0, g = 0, b = 0;
    YYSplitRGB(0x123456, &r, &g, &b);
    EXPECT_EQ(r, 0x56);
    EXPECT_EQ(g, 0x34);
    EXPECT_EQ(b, 0x12);
}
