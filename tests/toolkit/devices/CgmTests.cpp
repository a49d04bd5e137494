// Binary CGM: the in-memory writers and picture slots, the picture recorder and the CGM file
// driver, byte by byte and walked by the strict reader of CgmReader.h.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "CgmReader.h"
#include "TextDriverSession.h"
#include "tests/toolkit/foundation/ReporterGuard.h"
#include "toolkit/devices/CgmFileDriver.h"
#include "toolkit/devices/CgmWriters.h"
#include "toolkit/devices/GraphicFileProbe.h"
#include "toolkit/devices/MetafileSlots.h"
#include "toolkit/devices/PictureRecorder.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/ShadedPolygons.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A CGM slot of ample capacity made the writers' target, emptied of its header.
class SlotFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        INTEGER status = 1;
        YYCgmSlotCreate(kSlot, 720, 360, 100000, status);
        ASSERT_EQ(status, 0);
        graphicsState().DrawableId = kSlot;
        header_ = bytes();
        slot().Words[kSlotUsed] = 0;
    }
    void TearDown() override
    {
        metafileSlotTable().Slots[kSlot - 1] = MetafileSlot{};
        graphicsState().DrawableId = 0;
    }
    static MetafileSlot& slot() { return metafileSlotTable().Slots[kSlot - 1]; }
    static Bytes bytes()
    {
        const auto view = YYCgmSlotBytes(kSlot);
        return {view.begin(), view.end()};
    }
    static constexpr INTEGER kSlot = 5;
    ReporterGuard reporter;
    Bytes header_;
};

int count(const CgmWalk& walk, int c, int id) { return static_cast<int>(walk.all(c, id).size()); }

}  // namespace

TEST_F(SlotFixture, WritersAppendTheEncoding)
{
    struct Case {
        void (*write)();
        Bytes expected;
    };
    const Case cases[] = {
        {[] { YYCgmElement(4, 7, 12); }, {0x40, 0xEC}},
        {[] { YYCgmElement(1, 13, 31); YYCgmWord(260); }, {0x11, 0xBF, 0x01, 0x04}},
        {[] { YYCgmWord(-1); }, {0xFF, 0xFF}},
        {[] { YYCgmPoint(300, -2); }, {0x01, 0x2C, 0xFF, 0xFE}},
        {[] { YYCgmColour(5, 4, 255, 128, 0); }, {0x50, 0x84, 0xFF, 0x80, 0x00, 0x00}},
        {[] { YYCgmString("Arial"); }, {5, 'A', 'r', 'i', 'a', 'l'}},
        {[] { YYCgmStringPad("Arial"); }, {5, 'A', 'r', 'i', 'a', 'l'}},
        {[] { YYCgmStringPad("ZID CGM File"); },
         {12, 'Z', 'I', 'D', ' ', 'C', 'G', 'M', ' ', 'F', 'i', 'l', 'e', 0}},
    };
    for (const Case& c : cases) {
        slot().Words[kSlotUsed] = 0;
        c.write();
        EXPECT_EQ(bytes(), c.expected);
    }
    EXPECT_TRUE(ReporterGuard::records().empty());
}

TEST_F(SlotFixture, FullSlotReportsAndKeepsItsCount)
{
    slot().Words[kSlotCapacity] = 100;
    slot().Words[kSlotUsed] = 98;
    YYCgmPoint(1, 2);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1062);
    EXPECT_EQ(slot().Words[kSlotUsed], 98);
    YYCgmWord(7);  // two bytes still fit
    EXPECT_EQ(slot().Words[kSlotUsed], 100);
    EXPECT_EQ(slot().Bytes.size(), 100000u);  // the array never grows or shrinks
    libraryErrorState().LastErrorNumber = 0;
    YYCgmWord(7);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1062);
    EXPECT_EQ(slot().Words[kSlotUsed], 100);
}

TEST_F(SlotFixture, DestroyChecksTheSlotAndFreesTheArray)
{
    for (const INTEGER bad : {0, 21}) {
        libraryErrorState().LastErrorNumber = 0;
        WMetafileDestroy(bad);
        EXPECT_EQ(libraryErrorState().LastErrorNumber, 1060) << bad;
    }
    EXPECT_EQ(slot().Words[kSlotKind], kSlotKindCgm);
    libraryErrorState().LastErrorNumber = 0;
    WMetafileDestroy(kSlot);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
    EXPECT_EQ(slot().Words[kSlotKind], kSlotKindFree);
    EXPECT_EQ(slot().Words[kSlotCapacity], 0);
    EXPECT_TRUE(slot().Bytes.empty());
    WMetafileDestroy(kSlot);  // now free
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1060);
}

TEST(CgmSlotExtent, LargerSideAtMost32767)
{
    struct Case {
        INTEGER w, h, vw, vh;
    };
    for (const Case c : {Case{720, 360, 6000, 3000}, Case{4320, 2160, 32767, 16383}, Case{756, 540, 6300, 4500}}) {
        INTEGER w = 0, h = 0;
        YYCgmSlotExtent(c.w, c.h, w, h);
        EXPECT_EQ(w, c.vw);
        EXPECT_EQ(h, c.vh);
    }
}

TEST_F(SlotFixture, CreatedSlotHoldsASoundHeader)
{
    Bytes all = header_;
    const std::array<std::uint8_t, 4> trailer{0x00, 0xA0, 0x00, 0x40};  // END PICTURE, END METAFILE
    all.insert(all.end(), trailer.begin(), trailer.end());
    const CgmWalk walk = walkCgm(all);
    ASSERT_EQ(walk.error, "");
    EXPECT_EQ(walk.pictures, 1);
    const auto extent = walk.all(2, 6);
    ASSERT_EQ(extent.size(), 1u);
    EXPECT_EQ(extent[0]->word(4), 6000);
    EXPECT_EQ(extent[0]->word(6), 3000);
    EXPECT_EQ(slot().Words[kSlotWidthUnits], 6000);
    EXPECT_EQ(slot().Words[kSlotHeightUnits], 3000);
    const auto begin = walk.all(0, 1);
    EXPECT_EQ(std::string(begin[0]->params.begin() + 1, begin[0]->params.end()), "ZID CGM File");
}

TEST_F(SlotFixture, RecorderWritesALineColourOnlyWhenItChanges)
{
    graphicsState().ColourModel = kRgbMode;
    graphicsState().ColourRGB[1] = 0x0000FF;  // red
    YYMemoryMetafileDriver(OpColour);
    DriverParameterBlock& b = driverParameterBlock();
    b.IntX1 = 1;
    b.IntY1 = 2;
    b.IntX2 = 3;
    b.IntY2 = 4;
    YYMemoryMetafileDriver(OpLine);
    YYMemoryMetafileDriver(OpLine);
    const Bytes colourAndLine{0x50, 0x84, 0xFF, 0x00, 0x00, 0x00, 0x40, 0x28, 0, 1, 0, 2, 0, 3, 0, 4};
    const Bytes lineOnly(colourAndLine.begin() + 6, colourAndLine.end());
    Bytes expected = colourAndLine;
    expected.insert(expected.end(), lineOnly.begin(), lineOnly.end());
    EXPECT_EQ(bytes(), expected);
    slot().Words[kSlotUsed] = 0;
    YYMemoryMetafileDriver(OpBeginOutput);
    YYMemoryMetafileDriver(OpLine);
    EXPECT_EQ(bytes(), colourAndLine);
}

TEST_F(SlotFixture, RecorderClipsRectanglesAndReadsNoPixels)
{
    GraphicsTransform& t = graphicsTransform();
    t.PixelXMin = 10;
    t.PixelYMin = 20;
    t.PixelXMax = 100;
    t.PixelYMax = 200;
    DriverParameterBlock& b = driverParameterBlock();
    b.IntX1 = 0;
    b.IntY1 = 50;
    b.IntX2 = 500;
    b.IntY2 = 500;
    graphicsState().FillStyle = 4;
    YYMemoryMetafileDriver(OpRectangleFill);
    const CgmWalk walk = walkCgm([&] {
        Bytes all = header_;
        Bytes body = bytes();
        all.insert(all.end(), body.begin(), body.end());
        all.insert(all.end(), {0x00, 0xA0, 0x00, 0x40});
        return all;
    }());
    ASSERT_EQ(walk.error, "");
    const auto rectangles = walk.all(4, 11);
    ASSERT_EQ(rectangles.size(), 1u);
    EXPECT_EQ(rectangles[0]->word(0), 10);
    EXPECT_EQ(rectangles[0]->word(2), 50);
    EXPECT_EQ(rectangles[0]->word(4), 100);
    EXPECT_EQ(rectangles[0]->word(6), 200);
    b.IntX1 = 5;
    YYMemoryMetafileDriver(OpReadPixel);
    EXPECT_EQ(b.IntX1, -1);
    t = GraphicsTransform{};
}

TEST(CgmFontIndex, SymbolStylesFollowTheListOrder)
{
    struct Case {
        INTEGER font, style, index;
    };
    for (const Case c : {Case{1, 0, 1}, Case{2, 1, 6}, Case{3, 3, 12}, Case{4, 0, 13}, Case{4, 1, 15}, Case{4, 2, 14},
                         Case{4, 3, 16}, Case{2, 8, 5}})
        EXPECT_EQ(YYCgmFontIndex(c.font, c.style), c.index) << c.font << " " << c.style;
}

TEST(CgmFileWriters, CoordinatesScaleAndColoursInvert)
{
    TextDriverSession job{9, "coord.cgm"};
    driverHooks().HardcopyDrivers[9] = &XXCGM;
    stringWorkBuffer().assign(job.path().string());
    YYProuOpen(2);
    hardcopyDriverState().XScale = hardcopyDriverState().YScale = 2.0f;
    YYCgmFileCoord(100.7f, -3.2f);
    YYCgmFileString("Arial");
    YYCgmFileStringPad("ZID CGM Data");
    YYProuClose(2);
    const std::string all = job.contents();
    EXPECT_EQ(all.substr(0, 4), std::string("\x00\xC9\xFF\xFA", 4));
    EXPECT_EQ(all.size(), 4u + 6u + 14u);
    EXPECT_EQ(all.back(), '\0');

    TextDriverSession::option(6, 2);
    struct Case {
        INTEGER r, g, b, er, eg, eb;
    };
    for (const Case c : {Case{250, 250, 250, 5, 5, 5}, Case{128, 0, 0, 128, 0, 0}, Case{5, 5, 5, 250, 250, 250},
                         Case{5, 200, 5, 5, 200, 5}}) {
        INTEGER r = c.r, g = c.g, b = c.b;
        YYCgmFileColourInvert(r, g, b);
        EXPECT_EQ((std::array<INTEGER, 3>{r, g, b}), (std::array<INTEGER, 3>{c.er, c.eg, c.eb}));
    }
    TextDriverSession::option(6, 0);
}

namespace {

class CgmFileFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        driverHooks().HardcopyDrivers[9] = &XXCGM;
        DriverParameterBlock& b = driverParameterBlock();
        b.Count = -999;
        YYHardcopyDispatch(OpInit);
        ASSERT_EQ(b.Count, 9);
        b.Count = 0;
        b.Value = 0;
        YYHardcopyDispatch(OpInit);
        IGrColourN(223);
    }
    CgmWalk walked() const
    {
        const std::string all = job.contents();
        return walkCgm(std::span(reinterpret_cast<const std::uint8_t*>(all.data()), all.size()));
    }
    ReporterGuard reporter;
    TextDriverSession job{9, "driver.cgm"};
};

}  // namespace

TEST_F(CgmFileFixture, DefaultPageDescriptorAndAttributes)
{
    EXPECT_EQ(hardcopyJobState().OutputFile.trimmed(), "raridevu.cgm");
    job.start();
    EXPECT_EQ(cgmFileDriverState().VdcWidth, 6300);
    job.send(OpLine, {0, 0, 100, 100});
    job.send(OpLine, {100, 100, 200, 0});
    job.text("AB", 10, 10, 40, 10);
    job.finish();
    const CgmWalk walk = walked();
    ASSERT_EQ(walk.error, "");
    EXPECT_EQ(walk.pictures, 1);
    const auto extent = walk.all(2, 6);
    ASSERT_EQ(extent.size(), 1u);
    EXPECT_EQ(extent[0]->word(4), 6300);
    EXPECT_EQ(extent[0]->word(6), 4500);
    const auto widths = walk.all(5, 3);
    ASSERT_FALSE(widths.empty());
    EXPECT_EQ(widths[0]->word(0), 4);
    EXPECT_EQ(count(walk, 5, 4), 1);  // one LINE COLOUR for two lines
    EXPECT_EQ(count(walk, 4, 1), 2);
    const auto text = walk.all(4, 5);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0]->params.size(), 13u);
    EXPECT_EQ(text[0]->params[10], 2);
    EXPECT_EQ(text[0]->params[11], 'A');
    const auto fonts = walk.all(1, 13);
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(fonts[0]->params.size(), 260u);
    // The toolkit's own probe reads the file.
    INTEGER pictures = 0;
    REAL ratio = 0;
    const std::string all = job.contents();
    const std::vector<std::uint8_t> bytes(all.begin(), all.end());
    MemoryByteSource source(bytes);
    YYINFOCGM(source, pictures, ratio);
    EXPECT_EQ(pictures, 1);
    EXPECT_NEAR(ratio, 6300.0f / 4500.0f, 0.01f);
}

TEST_F(CgmFileFixture, VersionElementListBackgroundAndTextHeight)
{
    job.start();
    // Text 4 % of the page high: CHARACTER HEIGHT is 0.55 of it in VDC, scaled once.
    WGrTextFont(101, 0, 0.02f, 0.04f);
    job.finish();
    const CgmWalk walk = walked();
    ASSERT_EQ(walk.error, "");
    const auto version = walk.all(1, 1);
    ASSERT_EQ(version.size(), 1u);
    EXPECT_EQ(version[0]->word(0), 3);
    const auto list = walk.all(1, 11);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->params.size(), 6u);
    EXPECT_EQ(list[0]->word(0), 1);
    EXPECT_EQ(list[0]->word(2), -1);
    EXPECT_EQ(list[0]->word(4), 5);
    const auto background = walk.all(2, 7);
    ASSERT_EQ(background.size(), 1u);
    EXPECT_EQ(background[0]->params, (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0x00}));
    EXPECT_LT(background[0]->offset, walk.all(0, 4).at(0)->offset) << "a picture descriptor element";
    const auto heights = walk.all(5, 15);
    ASSERT_FALSE(heights.empty());
    EXPECT_NEAR(heights.back()->word(0), 0.04 * 4500 * 0.55, 1.5);
}

TEST_F(CgmFileFixture, AnAreaKeepsItsPlaceOnThePage)
{
    // The lower left quarter of the drawable, chosen before the job starts: its corners land on
    // the page's quarter.
    IGrArea(0.0f, 0.0f, 0.5f, 0.5f);
    job.start();
    IGrUnits(0.0f, 0.0f, 1.0f, 1.0f);
    IGrPenMove(0.0f, 0.0f);
    IGrPenDraw(1.0f, 1.0f);
    job.finish();
    const CgmWalk walk = walked();
    ASSERT_EQ(walk.error, "");
    const auto lines = walk.all(4, 1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(lines[0]->word(0), 0, 2);
    EXPECT_NEAR(lines[0]->word(2), 0, 2);
    EXPECT_NEAR(lines[0]->word(4), 3150, 8);
    EXPECT_NEAR(lines[0]->word(6), 2250, 8);
}

TEST_F(CgmFileFixture, LongTitlesAndFontModeOneTextsKeepTrueLengths)
{
    const std::string title(40, 'T');
    TextDriverSession::option(28, 7);  // outside 0-2: the nearest list
    job.start(title);
    textState().CharacterSpacing = 1;
    job.text("Hello", 10, 10, 40, 10);
    job.text(std::string(30, 'x'), 10, 50, 40, 50);
    textState().CharacterSpacing = 0;
    job.finish();
    const CgmWalk walk = walked();
    ASSERT_EQ(walk.error, "");
    const auto begin = walk.all(0, 1);
    ASSERT_EQ(begin.size(), 1u);
    EXPECT_TRUE(begin[0]->longForm);
    EXPECT_EQ(std::string(begin[0]->params.begin() + 1, begin[0]->params.end()), title);
    const auto texts = walk.all(4, 4);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0]->params.size(), 12u);
    EXPECT_EQ(texts[0]->params[6], 5);
    EXPECT_TRUE(texts[1]->longForm);
    EXPECT_EQ(texts[1]->params.size(), 37u);
    const auto fonts = walk.all(1, 13);
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(fonts[0]->params.size(), 260u);
}

TEST_F(CgmFileFixture, EveryPageIsAClosedPicture)
{
    job.start();
    job.finish();  // nothing drawn: the picture is closed all the same
    CgmWalk walk = walked();
    ASSERT_EQ(walk.error, "");
    EXPECT_EQ(walk.pictures, 1);

    job.start();
    job.send(OpLine, {0, 0, 100, 100});
    driverParameterBlock().Value = 1;
    YYDriverHardcopy(OpEndPage);
    job.send(OpLine, {0, 0, 50, 100});
    job.finish();
    walk = walked();
    ASSERT_EQ(walk.error, "");
    EXPECT_EQ(walk.pictures, 2);
    EXPECT_EQ(count(walk, 5, 3), 2);  // the second picture gets the line width again
    EXPECT_EQ(count(walk, 5, 4), 2);  // and its own line colour
}

TEST_F(CgmFileFixture, FillsSectorsAndPolylinesWalkCleanly)
{
    job.start();
    graphicsState().FillStyle = 4;
    graphicsTransform().ClipXMin = 0;
    graphicsTransform().ClipYMin = 0;
    graphicsTransform().ClipXMax = 300;
    graphicsTransform().ClipYMax = 200;
    job.fill(OpRectangleFill, {-50, -50, 1000, 1000});
    job.fill(OpSectorFill, {320, 240, 100, 100, 0.0f, 3.0f});
    job.fill(OpTriangleFill, {0, 0, 10, 0, 5, 5});
    graphicsState().FillStyle = 0;
    job.fill(OpEllipseFill, {100, 100, 20, 10});
    std::vector<REAL> xs, ys;
    for (int k = 0; k < 9000; ++k) {
        xs.push_back(static_cast<REAL>(k % 640));
        ys.push_back(static_cast<REAL>(k % 480));
    }
    job.polygon(OpPolyline, xs, ys);
    job.finish();
    const CgmWalk walk = walked();
    ASSERT_EQ(walk.error, "");
    const auto rectangle = walk.all(4, 11);
    ASSERT_EQ(rectangle.size(), 1u);
    const HardcopyDriverState& d = hardcopyDriverState();
    EXPECT_EQ(rectangle[0]->word(0), 0);
    EXPECT_EQ(rectangle[0]->word(4), static_cast<int>(300 * d.XScale));
    const auto polygons = walk.all(4, 7);
    ASSERT_EQ(polygons.size(), 2u);
    EXPECT_GT(polygons[0]->params.size(), 12u);  // the sector: centre, arc points, end
    const auto polylines = walk.all(4, 1);
    ASSERT_EQ(polylines.size(), 1u);
    EXPECT_EQ(polylines[0]->params.size(), 9000u * 4u);
    EXPECT_EQ(polylines[0]->partitions, 2);
    EXPECT_EQ(count(walk, 4, 17), 1);  // the outline ellipse
    EXPECT_EQ(count(walk, 5, 30), 2);  // edge visibility on and off
}

namespace {

// A shaded triangle sent to the driver while the shading block still holds the corners another
// device left there (all at one pixel, which would collapse the triangle).
void shadedTriangleAfterAnotherDevice(void (*driver)(INTEGER))
{
    ShadedPolygonBlock& shade = shadedPolygonBlock();
    shade.PixelX.fill(7);
    shade.PixelY.fill(7);
    shade.VertexCount = 3;
    shade.VertexColour[0] = 0x0000FF;
    shade.VertexColour[1] = 0x00FF00;
    shade.VertexColour[2] = 0xFF0000;
    DriverParameterBlock& b = driverParameterBlock();
    b.PolygonX = {100, 300, 200};
    b.PolygonY = {100, 100, 250};
    b.Count = 3;
    driver(OpShadedPolygon);
}

}  // namespace

// Both CGM writers take the triangle from the job's own polygon.
TEST_F(SlotFixture, RecorderShadesFromItsOwnCorners)
{
    shadedTriangleAfterAnotherDevice(&YYMemoryMetafileDriver);
    Bytes all = header_;
    const Bytes body = bytes();
    all.insert(all.end(), body.begin(), body.end());
    all.insert(all.end(), {0x00, 0xA0, 0x00, 0x40});
    const CgmWalk walk = walkCgm(all);
    ASSERT_EQ(walk.error, "");
    ASSERT_EQ(walk.all(5, 43).size(), 1u);
    const auto triangles = walk.all(4, 7);
    ASSERT_EQ(triangles.size(), 1u);
    EXPECT_EQ(triangles[0]->word(4), 300);
    EXPECT_EQ(triangles[0]->word(10), 250);
}

TEST_F(CgmFileFixture, ShadedTriangleTakesItsOwnCorners)
{
    job.start();
    shadedTriangleAfterAnotherDevice(&YYDriverHardcopy);
    job.finish();
    const CgmWalk walk = walked();
    ASSERT_EQ(walk.error, "");
    ASSERT_EQ(walk.all(5, 43).size(), 1u);
    const auto triangles = walk.all(4, 7);
    ASSERT_FALSE(triangles.empty());
    const HardcopyDriverState& d = hardcopyDriverState();
    EXPECT_EQ(triangles.back()->word(4), static_cast<int>(300 * d.XScale));
    EXPECT_EQ(triangles.back()->word(10), static_cast<int>(250 * d.YScale));
}
