// The screen driver drawing into a memory DIB under Wine: lines with their end pixel, dashes, the
// exclusive-or mode, solid and half-tone fills, the clip region, text and read-back.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/ShadedPolygons.h"
#include "toolkit/graphics/GdiDrawingState.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"
#include "toolkit/graphics/ScreenDriver.h"

namespace {

constexpr int kWidth = 120, kHeight = 100;
constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0), kRed = RGB(255, 0, 0);

// A true-colour memory drawable of kWidth x kHeight as the screen driver's drawing context.
class ScreenFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;  // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_.reset(CreateCompatibleDC(nullptr));
        bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
        ASSERT_TRUE(bitmap_ && bits_);
        previousBitmap_ = SelectObject(dc_.get(), bitmap_.get());
        std::memset(bits_, 0xFF, kWidth * kHeight * 4);

        drawableHooks() = DrawableHooks{};
        driverHooks() = DriverHooks{};
        YYScreenDriverInstall();
        GdiDrawingState& gdi = gdiDrawingState();
        gdi.DisplayColours = 16777216;
        gdi.DrawingDC = dc_.get();
        gdi.UserDashes = 1;
        gdi.ScreenResolution = 96;
        gdi.PatternBitmap.reset(CreateCompatibleBitmap(dc_.get(), 8, 8));
        gdi.PatternStale = 1;
        SetBkMode(dc_.get(), TRANSPARENT);
        YYGdiSelectObjects();
        YYScaleDashPatterns();
        GraphicsState& g = graphicsState();
        g.CurrentWindow = 0;
        g.DrawableKind = kDrawableWindow;
        g.DrawableId = 0;
        g.DrawableWidth = kWidth;
        g.DrawableHeight = kHeight;
        g.PaletteSlots = 256;
        YYPaletteDefault();
        IGrResetGraphics(" ");
    }

    void TearDown() override
    {
        GdiDrawingState& gdi = gdiDrawingState();
        YYGdiDeselectObjects();
        gdi.Pen.reset();
        gdi.Brush.reset();
        gdi.Font.reset();
        gdi.ClipRegion.reset();
        gdi.PatternBitmap.reset();
        gdi.DrawingDC = nullptr;
        driverHooks() = DriverHooks{};
        SelectObject(dc_.get(), previousBitmap_);
    }

    // The colour of GDI pixel (x, row).
    COLORREF pixel(int x, int row) const
    {
        GdiFlush();
        const auto value = static_cast<const std::uint32_t*>(bits_)[row * kWidth + x];
        return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    }
    int count(COLORREF colour) const
    {
        int n = 0;
        for (int r = 0; r < kHeight; ++r)
            for (int x = 0; x < kWidth; ++x) n += pixel(x, r) == colour;
        return n;
    }
    std::vector<std::uint32_t> snapshot() const
    {
        GdiFlush();
        const auto* p = static_cast<const std::uint32_t*>(bits_);
        return std::vector<std::uint32_t>(p, p + kWidth * kHeight);
    }
    static void line(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2)
    {
        DriverParameterBlock& b = driverParameterBlock();
        b.IntX1 = x1;
        b.IntY1 = y1;
        b.IntX2 = x2;
        b.IntY2 = y2;
        YYDriverCurrent(OpLine);
    }
    // The whole text as one run, starting at (x, y) on its centre line.
    static void text(std::string_view characters, REAL x, REAL y)
    {
        stringWorkBuffer() = characters;
        DriverParameterBlock& b = driverParameterBlock();
        b.IntX1 = static_cast<INTEGER>(characters.size());
        b.X1 = x;
        b.Y1 = y;
        b.X3 = b.Y3 = 0;
        YYDriverCurrent(OpText);
    }
    // The rows that hold a pixel other than white.
    int inkedRows() const
    {
        int rows = 0;
        for (int r = 0; r < kHeight; ++r)
            for (int x = 0; x < kWidth; ++x)
                if (pixel(x, r) != kWhite) {
                    ++rows;
                    break;
                }
        return rows;
    }
    static void setLineType(INTEGER type)
    {
        graphicsState().LineType = type;
        YYDriverCurrent(OpLineType);
    }

    MemoryDcHandle dc_;
    BitmapHandle bitmap_;
    void* bits_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
};

}  // namespace

TEST_F(ScreenFixture, SolidLineIncludesItsEndPixelDashedLineHasGaps)
{
    line(0, 0, 10, 0);  // bottom row of the drawable
    for (int x = 0; x <= 10; ++x) EXPECT_EQ(pixel(x, kHeight - 1), kBlack) << x;
    EXPECT_EQ(pixel(11, kHeight - 1), kWhite);
    EXPECT_EQ(count(kBlack), 11);

    setLineType(2);  // dashes of 8 with gaps of 6
    line(0, 50, 100, 50);
    const int row = kHeight - 1 - 50;
    int black = 0;
    for (int x = 0; x <= 100; ++x) black += pixel(x, row) == kBlack;
    EXPECT_GT(black, 40);
    EXPECT_LT(black, 80);
}

TEST_F(ScreenFixture, ExclusiveOrBoxDrawnTwiceRestoresEveryPixel)
{
    IGrColourN(31);
    graphicsState().PlotMode = 3;
    YYDriverCurrent(OpPlotMode);
    const auto before = snapshot();
    const auto box = [] {
        line(10, 10, 60, 10);
        line(60, 10, 60, 40);
        line(60, 40, 10, 40);
        line(10, 40, 10, 10);
    };
    box();
    EXPECT_NE(snapshot(), before);
    EXPECT_NE(pixel(60, kHeight - 1 - 40), kWhite);  // every corner drawn once
    box();
    EXPECT_EQ(snapshot(), before);
}

TEST_F(ScreenFixture, SolidAndHalftoneFillsWithinTheClipArea)
{
    IGrColourN(31);  // previous black... white after the reset, current red
    DriverParameterBlock& b = driverParameterBlock();
    b.IntX1 = 0;
    b.IntY1 = 0;
    b.IntX2 = 9;
    b.IntY2 = 9;
    YYDriverCurrent(OpRectangleSolid);
    EXPECT_EQ(pixel(0, kHeight - 1), kRed);
    EXPECT_EQ(pixel(9, kHeight - 10), kRed);

    IGrColourN(223);  // previous red, current black: a half-tone of the two
    b.IntX1 = 20;
    b.IntX2 = 29;
    YYDriverCurrent(OpRectangleFill);
    const COLORREF a = pixel(22, kHeight - 3), c = pixel(23, kHeight - 3), d = pixel(22, kHeight - 4);
    EXPECT_TRUE((a == kRed && c == kBlack) || (a == kBlack && c == kRed));
    EXPECT_EQ(d, c);

    // A polygon over the whole drawable is held in the area, its last column and row included.
    std::memset(bits_, 0xFF, kWidth * kHeight * 4);
    IGrArea(0.25f, 0.25f, 0.75f, 0.75f);
    const GraphicsTransform& t = graphicsTransform();
    b.PolygonX = {-5000, 5000, 5000, -5000};
    b.PolygonY = {-5000, -5000, 5000, 5000};
    b.Count = 4;
    YYDriverCurrent(OpPolygonSolid);
    EXPECT_EQ(pixel(t.PixelXMin, kHeight - 1 - t.PixelYMin), kBlack);
    EXPECT_EQ(pixel(t.PixelXMax, kHeight - 1 - t.PixelYMax), kBlack);
    EXPECT_EQ(pixel(t.PixelXMax + 1, kHeight - 1 - t.PixelYMax), kWhite);
    EXPECT_EQ(pixel(t.PixelXMin - 1, kHeight - 1 - t.PixelYMin), kWhite);
    EXPECT_EQ(count(kBlack), t.PixelWidth * t.PixelHeight);
}

TEST_F(ScreenFixture, TextLandsAtItsReferencePointAndPixelsReadBack)
{
    graphicsTransform().CharHeightFraction = 0.2f;
    graphicsTransform().CharWidthFraction = 0.08f;
    textState().TextJustification = 0;
    YYDriverCurrent(OpCharSize);
    text("HH", 30, 50);
    int left = kWidth, right = -1, top = kHeight, bottom = -1;
    for (int r = 0; r < kHeight; ++r)
        for (int x = 0; x < kWidth; ++x)
            if (pixel(x, r) != kWhite) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, r);
                bottom = std::max(bottom, r);
            }
    ASSERT_GE(right, 0) << "no text drawn";
    // The cell is 20 pixels high around y = 50 (row 49), starting at x = 30.
    EXPECT_GE(left, 29);
    EXPECT_LE(left, 34);
    EXPECT_GT(right, left + 8);
    EXPECT_GE(top, kHeight - 1 - 50 - 12);
    EXPECT_LE(bottom, kHeight - 1 - 50 + 12);

    // Read-back answers the packed colour, -1 outside the drawable.
    DriverParameterBlock& b = driverParameterBlock();
    IGrColourN(31);
    b.IntX1 = 5;
    b.IntY1 = 5;
    YYDriverCurrent(OpPoint);
    YYDriverCurrent(OpReadPixel);
    EXPECT_EQ(b.IntX1, 255);
    b.IntX1 = kWidth + 10;
    YYDriverCurrent(OpReadPixel);
    EXPECT_EQ(b.IntX1, -1);

    stringWorkBuffer() = std::string_view("ABC");
    b.Value = -3;
    b.Count = 0;
    YYDriverCurrent(OpTextWidth);
    EXPECT_EQ(b.Count, 1);
    EXPECT_FLOAT_EQ(b.X1, 0);
}

TEST_F(ScreenFixture, ACellUnderAPixelGetsAOnePixelFontNotTheDefaultOne)
{
    // Proportional text whose cell is a tenth of a pixel: a font of GDI's default size, placed by
    // the tiny advances, would pile its characters up in a blob many rows high.
    textState().CharacterSpacing = 1;
    textState().DeviceFontVariant = 2;
    graphicsTransform().CharHeightFraction = 0.001f;
    graphicsTransform().CharWidthFraction = 0.001f;
    YYDriverCurrent(OpCharSize);
    EXPECT_EQ(gdiDrawingState().FontCache.Height, 1);
    text("HHHHHHHH", 30, 50);
    EXPECT_LE(inkedRows(), 3);
}

TEST_F(ScreenFixture, InitPublishesTheScreenCapabilitiesAndInactiveScreenDrawsNothing)
{
    EXPECT_EQ(IGrInquire(27), 1);
    EXPECT_EQ(IGrInquire(20), 0);
    EXPECT_EQ(IGrInquire(29), 1);
    EXPECT_EQ(IGrInquire(40), 360);
    EXPECT_EQ(IGrInquire(42), 1);
    EXPECT_EQ(IGrInquire(38), 8);

    graphicsState().DrawableActive = 0;
    line(0, 0, 50, 50);
    EXPECT_EQ(count(kBlack), 0);
    graphicsState().DrawableActive = 1;

    // Printing the screen without a printer reports error 1 (the device layer's print entries
    // would print for real where a printer exists).
    const ScreenOutputHooks savedHooks = screenOutputHooks();
    screenOutputHooks().printerAvailable = [] { return false; };
    libraryErrorState().LastErrorNumber = 0;
    YYDriverCurrent(OpEndPage);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1);
    screenOutputHooks() = savedHooks;
    IGrColourN(31);
    YYDriverCurrent(OpClear);
    EXPECT_EQ(count(kWhite), kWidth * kHeight);
}

TEST_F(ScreenFixture, NothingIsDrawnOutsideTheArea)
{
    IGrArea(0.25f, 0.2f, 0.75f, 0.8f);
    IGrUnits(0, 0, 10, 10);
    const GraphicsTransform& t = graphicsTransform();
    const auto outsideArea = [&] {
        int n = 0;
        for (int r = 0; r < kHeight; ++r)
            for (int x = 0; x < kWidth; ++x) {
                const int y = kHeight - 1 - r;
                const bool inside = x >= t.PixelXMin && x <= t.PixelXMax && y >= t.PixelYMin && y <= t.PixelYMax;
                n += !inside && pixel(x, r) != kWhite;
            }
        return n;
    };
    // Lines and a polyline far beyond the area, hatched and solid shapes reaching out of it.
    IGrPenMove(-50, -50);
    IGrPenDraw(60, 60);
    IGrPenDraw(-1e30f, 5);
    const REAL xs[] = {5, 50, 5, -40, 5}, ys[] = {5, 5, 50, 5, -40};
    YYPolylineUnits(xs, ys, 5, 0);
    IGrFillStyle(2, 5);
    IGrTriangle(-5, -5, 15, 2, 5, 20);
    IGrFillStyle(4);
    IGrTrapezium(-5, 8, 15, 9, 1, 2);
    const REAL px[] = {-20, 30, 30}, py[] = {-20, -20, 30};
    YYPLYGON(px, py, 3, 0);
    EXPECT_EQ(outsideArea(), 0);
    EXPECT_GT(count(kBlack), 200);

    // A shape wholly outside draws nothing.
    std::memset(bits_, 0xFF, kWidth * kHeight * 4);
    IGrTrapezium(20, 20, 30, 30, 5, 2);
    EXPECT_EQ(count(kWhite), kWidth * kHeight);
}

TEST_F(ScreenFixture, HatchAndSolidFillsOnPixels)
{
    IGrUnits(0, 0, kWidth, kHeight);
    IGrFillStyle(-1, 1, 3);  // horizontal hatch, no outline
    IGrTriangle(10, 10, 90, 10, 50, 90);
    int hatchRows = 0;
    for (int r = 0; r < kHeight; ++r) hatchRows += pixel(50, r) == kBlack;
    EXPECT_GT(hatchRows, 3);
    EXPECT_LT(hatchRows, 40);  // lines with gaps, not a solid fill
    std::memset(bits_, 0xFF, kWidth * kHeight * 4);
    IGrFillStyle(4);
    IGrColourN(31);
    IGrTriangle(10, 10, 90, 10, 50, 90);
    EXPECT_EQ(pixel(50, kHeight - 1 - 40), kRed);
    EXPECT_EQ(pixel(5, kHeight - 1 - 40), kWhite);
}

TEST_F(ScreenFixture, ShadedTriangleFallsBackToPixels)
{
    deviceCapabilityTable().ShadeFillLevel[0] = 1;
    ShadedPolygonBlock& shade = shadedPolygonBlock();
    shade.VertexCount = 3;
    shade.VertexColour[0] = 0x0000FF;
    shade.VertexColour[1] = 0x00FF00;
    shade.VertexColour[2] = 0xFF0000;
    DriverParameterBlock& b = driverParameterBlock();
    b.PolygonX = {10, 10, 90};
    b.PolygonY = {90, 10, 10};
    b.Count = 3;
    YYDriverCurrent(OpShadedPolygon);
    EXPECT_EQ(pixel(10, kHeight - 1 - 90), kRed);
    EXPECT_EQ(pixel(10, kHeight - 1 - 10), RGB(0, 255, 0));
    EXPECT_EQ(pixel(90, kHeight - 1 - 10), RGB(0, 0, 255));
    const COLORREF middle = pixel(10, kHeight - 1 - 50);
    EXPECT_EQ(GetBValue(middle), 0);
    EXPECT_NEAR(GetRValue(middle), 127, 2);
    EXPECT_NEAR(GetGValue(middle), 127, 2);
    EXPECT_EQ(pixel(80, kHeight - 1 - 80), kWhite);  // beyond the hypotenuse
}

TEST_F(ScreenFixture, PaletteEntriesInBatchesOnAPaletteDisplay)
{
    GdiDrawingState& gdi = gdiDrawingState();
    std::vector<BYTE> block(sizeof(LOGPALETTE) + 16 * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = 16;
    for (int i = 0; i < 16; ++i) {
        INTEGER rgb = 0;
        YYPalette16(i, rgb);
        logical->palPalEntry[i] = PALETTEENTRY{static_cast<BYTE>(rgb & 0xFF), static_cast<BYTE>((rgb >> 8) & 0xFF),
                                               static_cast<BYTE>((rgb >> 16) & 0xFF), 0};
    }
    gdi.PaletteHandle.reset(CreatePalette(logical));
    gdi.DisplayColours = 256;
    graphicsState().DeviceColours = 16;
    const auto entry = [&](UINT slot) {
        PALETTEENTRY e{};
        GetPaletteEntries(static_cast<HPALETTE>(gdi.PaletteHandle.get()), slot, 1, &e);
        return RGB(e.peRed, e.peGreen, e.peBlue);
    };
    IGrPaletteEntryRGB(47, IGrPackRGB(1, 2, 3), 1);    // opens a batch (dark red slot 4)
    EXPECT_EQ(gdi.PaletteBatchMode, 3);
    IGrPaletteEntryRGB(79, IGrPackRGB(4, 5, 6), 1);    // continues it (dark yellow slot 6)
    IGrPaletteEntryRGB(31, IGrPackRGB(7, 8, 9), 0);    // closes it (red slot 12)
    EXPECT_EQ(gdi.PaletteBatchMode, 0);
    EXPECT_EQ(entry(4), RGB(1, 2, 3));
    EXPECT_EQ(entry(6), RGB(4, 5, 6));
    EXPECT_EQ(entry(12), RGB(7, 8, 9));
    INTEGER slot = 0;
    YYPalette16(12, slot);
    EXPECT_EQ(slot, IGrPackRGB(7, 8, 9));  // the tables follow after the drivers

    gdi.PaletteHandle.reset();
    gdi.DisplayColours = 16777216;
    graphicsState().DeviceColours = 256;
}

TEST_F(ScreenFixture, NarrowSectorIsASliverNotAFullEllipse)
{
    DriverParameterBlock& b = driverParameterBlock();
    b.IntX1 = 60;
    b.IntY1 = 50;
    b.X2 = b.Y2 = 20;
    b.X3 = 0.0f;
    b.Y3 = 0.001f;  // start and end points fall on one pixel
    b.X4 = 0.06f;
    b.Y4 = 0.06f;
    YYDriverCurrent(OpSectorSolid);
    EXPECT_GT(count(kBlack), 0);
    EXPECT_LT(count(kBlack), 80);  // a full disc would be over a thousand pixels
    std::memset(bits_, 0xFF, kWidth * kHeight * 4);
    b.X2 = b.Y2 = 20;
    b.Y3 = 3.14159265f;  // a half disc
    b.Y4 = 180;
    YYDriverCurrent(OpSectorSolid);
    EXPECT_EQ(pixel(60, kHeight - 1 - 60), kBlack);   // above the centre
    EXPECT_EQ(pixel(60, kHeight - 1 - 40), kWhite);   // below it
}
