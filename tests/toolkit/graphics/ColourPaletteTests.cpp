// Colours: the default palette and its slot tables, device slots, nearest colours, HLS, names,
// and the current colour pair.
#include <gtest/gtest.h>

#include "RecordingDriver.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {

class ColourFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        GraphicsState& g = graphicsState();
        g.DeviceColours = 256;
        g.ColourModel = kPaletteMode;
        g.DrawableActive = 1;
        g.HardcopyActive = 0;
        YYPaletteDefault();
        libraryErrorState().LastErrorNumber = 0;
    }
    void TearDown() override { graphicsState().DeviceColours = 256; }
    RecordingDriver driver;
};

INTEGER rgb(INTEGER r, INTEGER g, INTEGER b) { return IGrPackRGB(r, g, b); }

}  // namespace

TEST_F(ColourFixture, DefaultPaletteAndSlotTables)
{
    const DefaultPalette& p = defaultPalette();
    struct Case { INTEGER index, value; };
    const Case cases[] = {
        {0, rgb(255, 255, 255)}, {15, rgb(195, 195, 195)}, {16, rgb(195, 0, 0)}, {31, rgb(255, 0, 0)},
        {47, rgb(191, 0, 0)},    {63, rgb(255, 255, 0)},   {95, rgb(0, 255, 0)}, {127, rgb(0, 255, 255)},
        {159, rgb(0, 0, 255)},   {191, rgb(255, 0, 255)},  {208, rgb(60, 60, 60)}, {223, 0},
        {240, rgb(191, 191, 191)}, {255, rgb(131, 131, 131)},
    };
    for (const Case& c : cases) EXPECT_EQ(p.Entries[static_cast<std::size_t>(c.index)], c.value) << c.index;
    EXPECT_EQ(p.SlotColourTable8[4], rgb(255, 0, 0));
    EXPECT_EQ(p.SlotColourTable16[7], p.Entries[239]);
    EXPECT_EQ(p.SlotColourTable16[15], 0);

    // Redefining entry 20 replaces slot 4 of the 8-slot table and slot 12 of the 16-slot table.
    YYPaletteSet(20, 0x010203);
    EXPECT_EQ(p.SlotColourTable8[4], 0x010203);
    EXPECT_EQ(p.SlotColourTable16[12], 0x010203);
    YYPaletteSet(300, 5);  // outside the palette: nothing
    INTEGER v = -1;
    YYPaletteRGB(300, v);
    EXPECT_EQ(v, 0);

    // A 32-colour device builds its slot table from the runs.
    graphicsState().DeviceColours = 32;
    YYPaletteDefault();
    YYPaletteN(0, v);
    EXPECT_EQ(v, p.Entries[0]);
    YYPaletteN(2, v);
    EXPECT_EQ(v, p.Entries[23]);
    YYPaletteN(31, v);
    EXPECT_EQ(v, p.Entries[248]);
}

TEST_F(ColourFixture, DeviceSlotsByColourCount)
{
    struct Case { INTEGER colours, index, slot; };
    const Case cases[] = {
        {16, 0, 0}, {16, -1, -1}, {16, 16, 12}, {16, 47, 4}, {16, 240, 8}, {16, 223, 15},
        {8, 31, 4}, {8, 223, 7}, {2, 100, 1}, {2, 0, 0}, {64, 255, 63}, {64, 4, 1}, {256, 200, 200},
    };
    for (const Case& c : cases) {
        graphicsState().DeviceColours = c.colours;
        EXPECT_EQ(YYDeviceColour(c.index), c.slot) << c.colours << "/" << c.index;
    }
    EXPECT_EQ(YYPalette16Index(9), 12);
    EXPECT_EQ(YYPalette16Index(16), -1);
    EXPECT_EQ(YYPalette16Index(1, 1), 5);
}

TEST_F(ColourFixture, HsvConeAndNearestColour)
{
    REAL h = 1, s = 1, v = 0;
    YYRgbToHsv(rgb(100, 100, 100), h, s, v);
    EXPECT_FLOAT_EQ(h, 0);
    EXPECT_FLOAT_EQ(s, 0);
    EXPECT_NEAR(v, 100.0f / 255.0f, 1e-6);
    EXPECT_FLOAT_EQ(defaultPalette().ConeZ[223], 0);

    struct Case { INTEGER value, index; };
    const Case cases[] = {
        {rgb(255, 255, 255), 0}, {0, 223}, {rgb(255, 0, 0), 31},
        {rgb(254, 1, 1), 31},        // close to red, not in the palette
        {rgb(0, 0, 250), 158},       // between two blues
        {rgb(1, 1, 1), 223},         // a near black
        {rgb(2, 2, 2), 222},         // as near to 223 as to 222: the lower index wins
    };
    for (const Case& c : cases) {
        INTEGER index = -1;
        YYPaletteNearest(c.value, index);
        EXPECT_EQ(index, c.index) << std::hex << c.value;
    }
}

TEST(ColourHls, ConversionsClampTheirArguments)
{
    struct Case { INTEGER h, l, s, value; };
    const Case cases[] = {
        {0, 50, 100, rgb(0, 0, 255)},   {120, 50, 100, rgb(255, 0, 0)}, {240, 50, 100, rgb(0, 255, 0)},
        {60, 50, 100, rgb(255, 0, 255)}, {180, 25, 100, rgb(127, 127, 0)}, {400, 50, 0, rgb(127, 127, 127)},
        {37, 100, 60, rgb(255, 255, 255)}, {-5, 150, 100, rgb(255, 255, 255)},
    };
    for (const Case& c : cases) EXPECT_EQ(YYHlsToRgb(c.h, c.l, c.s), c.value) << c.h << "," << c.l << "," << c.s;
}

TEST_F(ColourFixture, CurrentColourPairAndItsErrors)
{
    GraphicsState& g = graphicsState();
    IGrColourN(5);
    IGrColourN(5);
    EXPECT_EQ(g.ColourIndex, (std::array<INTEGER, 2>{5, 5}));
    IGrColourN(31);
    EXPECT_EQ(g.ColourIndex, (std::array<INTEGER, 2>{5, 31}));
    EXPECT_EQ(g.ColourRGB[1], 0xFF);
    driver.clear();
    for (INTEGER bad : {256, -1}) {
        libraryErrorState().LastErrorNumber = 0;
        IGrColourN(bad);
        EXPECT_EQ(libraryErrorState().LastErrorNumber, 42);
    }
    EXPECT_EQ(g.ColourIndex, (std::array<INTEGER, 2>{5, 31}));
    EXPECT_TRUE(driver.ops().empty());

    // RGB mode: the colour is the value; an index only when a layer needs one.
    deviceCapabilityTable().TrueColour[0] = 1;
    g.ColourModel = kRgbMode;
    IGrColourN(rgb(0, 0, 255));
    EXPECT_EQ(g.ColourIndex[1], -1);
    EXPECT_EQ(g.ColourRGB[1], rgb(0, 0, 255));
    deviceCapabilityTable().TrueColour[0] = 0;
    IGrColourN(rgb(0, 0, 255));
    EXPECT_EQ(g.ColourIndex[1], 159);
    YYColourModel(8);
    EXPECT_EQ(g.ColourModel, kPaletteMode);
    EXPECT_EQ(g.ColourIndex[0], 159);  // the previous colour got its nearest index
}

TEST_F(ColourFixture, ColoursByName)
{
    struct Case { const char* name; INTEGER code, index; };
    const Case cases[] = {
        {"black", 0, 223}, {"   Blue sky", 1, 159}, {"WHITE", 7, 0}, {"green", 2, 95}, {"cyan", 3, 127},
        {"Red", 4, 31},    {"magenta", 5, 191},     {"yellow", 6, 63}, {"BRED", 12, 31}, {"brown", 12, 31},
        {"grey", 2, 95},   {"BBLUE", 9, 159},
        {"orange", -1, -1}, {"", -1, -1}, {"   ", -1, -1}, {"B", -1, -1},
    };
    GraphicsState& g = graphicsState();
    for (const Case& c : cases) {
        EXPECT_EQ(YYColourNameCode(c.name), c.code) << c.name;
        libraryErrorState().LastErrorNumber = 0;
        IGrColourN(100);
        IGrColour(c.name);
        if (c.index < 0) {
            EXPECT_EQ(libraryErrorState().LastErrorNumber, 42) << c.name;
            EXPECT_EQ(g.ColourIndex[1], 100);
        } else {
            EXPECT_EQ(g.ColourIndex[1], c.index) << c.name;
        }
    }
}

TEST_F(ColourFixture, PaletteEntriesFromHlsTellTheDriversFirst)
{
    graphicsState().DeviceColours = 16;
    IGrDefineColourHLS(47, 120, 50, 100, 0);
    ASSERT_EQ(driver.codes(1), std::vector<INTEGER>{OpPaletteEntry});
    const RecordedOp& op = driver.ops().front();
    EXPECT_EQ(op.Block.IntX1, rgb(255, 0, 0));
    EXPECT_EQ(op.Block.Value, 4);   // dark red slot of a 16-colour device
    EXPECT_EQ(op.Block.Count, 47);
    EXPECT_EQ(defaultPalette().Entries[47], rgb(255, 0, 0));
    driver.clear();
    IGrPaletteEntryRGB(256, 0);  // outside the palette: refused without touching anything
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 42);
    libraryErrorState().LastErrorNumber = 0;
    IGrDefineColourHLS(-1, 0, 50, 100);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 42);
    EXPECT_TRUE(driver.ops().empty());
}
