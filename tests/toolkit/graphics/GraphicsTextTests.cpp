// Text attributes, measuring and text drawing, seen through a recording driver: placement and
// justification, whole-character clipping, proportional spacing, underline, box, stroke text and
// stroke substitution on a device that cannot draw the text.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "RecordingDriver.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/StrokeFonts.h"
#include "toolkit/graphics/TextDrawing.h"

namespace {

constexpr REAL kW = 8.0f, kH = 24.0f;  // the character cell of the fixture in pixels

// A 640 x 480 drawable, units equal to pixels, characters 8 x 24 pixels, and a device that draws
// exactly the requested size.
class TextFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGraphicsForTest();
        IGrUnits(0, 0, 640, 480);
        hardcopyTextScaling() = HardcopyTextScaling{};
        WGrTextFont(std::nullopt, std::nullopt, kW / 640.0f, kH / 480.0f);
        deviceDrawsRequestedSize();
        libraryErrorState().LastErrorNumber = 0;
        driver.clear();
    }
    void TearDown() override
    {
        graphicsState().HardcopyActive = 0;
        graphicsState().DrawableActive = 1;
        deviceCapabilityTable() = DeviceCapabilityTable{};
        IGrResetGraphics(" ");
    }
    static void deviceDrawsRequestedSize()
    {
        TextState& s = textState();
        REAL w = 0, h = 0;
        YYRequestedCharSize(w, h);
        s.CharScaleX = s.TextDrawableWidth / w;
        s.CharScaleY = s.TextDrawableHeight / h;
    }
    std::vector<RecordedOp> opsOf(INTEGER layer, INTEGER op)
    {
        std::vector<RecordedOp> out;
        for (const RecordedOp& r : driver.ops())
            if (r.Layer == layer && r.Op == op) out.push_back(r);
        return out;
    }
    static REAL pointX() { return graphicsTransform().CurrentPointX; }
    static REAL pointY() { return graphicsTransform().CurrentPointY; }
    RecordingDriver driver;
};

}  // namespace

TEST_F(TextFixture, AnglesAreNormalisedAndFollowThePage)
{
    struct Case {
        REAL angle;
        INTEGER page;
        REAL text, device;
    };
    const Case cases[] = {{-30, 0, 330, 330}, {725, 0, 5, 5}, {360, 0, 0, 0}, {30, 90, 30, 120}, {300, 90, 300, 30}};
    for (const Case& c : cases) {
        graphicsTransform().PageAngle = c.page;
        driver.clear();
        IGrTextAlign(std::nullopt, c.angle);
        EXPECT_NEAR(textState().TextAngle, c.text, 1e-3) << c.angle;
        EXPECT_NEAR(textState().DeviceTextAngle, c.device, 1e-3) << c.angle;
        EXPECT_EQ(opsOf(1, OpTextAngle).size(), 1u);
    }
    graphicsTransform().PageAngle = 0;
    IGrTextAlign(std::nullopt, 90);
    EXPECT_EQ(textState().TextDirCos, 0.0f);
    EXPECT_NEAR(textState().TextDirSin, 1.0f, 1e-5);
}

TEST_F(TextFixture, FontKindsStylesAndModes)
{
    struct Case {
        INTEGER kind;
        std::optional<INTEGER> mode;
        INTEGER stroke, variant, spacing;
    };
    const Case cases[] = {
        {101, std::nullopt, 0, 1, 0}, {102, std::nullopt, 0, 2, 2}, {103, 2, 0, 3, 1}, {104, 0, 0, 4, 2},
        {101, 2, 0, 1, 0},  // a fixed-pitch device font stays fixed
        {1, std::nullopt, 1, 1, 0}, {1, 2, 1, 1, 1}, {2, std::nullopt, 0, 1, 0},
    };
    for (const Case& c : cases) {
        WGrTextFont(101);
        WGrTextFont(c.kind, std::nullopt, std::nullopt, std::nullopt, std::nullopt, c.mode);
        EXPECT_EQ(textState().StrokeFontSelected, c.stroke) << c.kind;
        EXPECT_EQ(textState().DeviceFontVariant, c.variant) << c.kind;
        EXPECT_EQ(textState().CharacterSpacing, c.spacing) << c.kind;
    }
    // A width of 0 keeps the width and still rescales.
    WGrTextFont(102);
    driver.clear();
    const REAL before = graphicsTransform().CharWidthFraction;
    WGrTextFont(std::nullopt, std::nullopt, 0.0f);
    EXPECT_EQ(graphicsTransform().CharWidthFraction, before);
    EXPECT_EQ(opsOf(1, OpCharSize).size(), 1u);
    EXPECT_EQ(textState().FallbackStrokeFont, 2);
    // A named-face font without a face is reported and falls back by its spacing.
    WGrTextFont(100, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 1);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1058);
    EXPECT_EQ(textState().FallbackStrokeFont, 1);
    libraryErrorState().LastErrorNumber = 0;
    WGrTextFont(std::nullopt, std::nullopt, std::nullopt, std::nullopt, "Arial");
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
    // Italic shears stroke glyphs.
    WGrTextFont(1, kTextItalic);
    EXPECT_EQ(textState().TextSlant, kItalicSlant);
    WGrTextFont(1, 0);
    EXPECT_EQ(textState().TextSlant, 0.0f);
}

TEST_F(TextFixture, TextLengths)
{
    // Fixed pitch, the device not answering: one width per character.
    EXPECT_EQ(IGrTextLength("ABCD", 4), 4.0f);
    EXPECT_EQ(IGrTextLength("ABCD", 0), 0.0f);
    // The device measures: its width over the device character width, on 260 characters at most.
    driver.answerText(1, 4.0f, 1);
    driver.clear();
    EXPECT_NEAR(IGrTextLength("ABCD", 4), 2.0f, 1e-4);
    const std::string long300(300, 'x');
    EXPECT_NEAR(IGrTextLength(long300, 300), 130.0f, 1e-2);
    EXPECT_EQ(opsOf(1, OpTextWidth).back().Block.Value, 260);
    // Table spacing never asks the device; codes are mapped before the table is read.
    WGrTextFont(102, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2);
    driver.clear();
    const char odd[] = {'\x80', '\x81', '\x05'};
    EXPECT_NEAR(IGrTextLength(std::string_view(odd, 3), 3),
                YYAdvanceWidth(127) + 2.0f * YYAdvanceWidth(32), 1e-5);
    EXPECT_NEAR(IGrTextLength("AB", 2), YYAdvanceWidth('A') + YYAdvanceWidth('B'), 1e-5);
    EXPECT_TRUE(opsOf(1, OpTextWidth).empty());
}

TEST_F(TextFixture, PlacementAndCurrentPoint)
{
    struct Case {
        INTEGER justification;
        std::string text;
        REAL startX, endX, pointX;
    };
    const Case cases[] = {
        {0, "ABCD", 320, 320 + 4 * kW, 320 + 4 * kW},
        {1, "ABCD", 320 - 2 * kW, 320 + 2 * kW, 320 + 2.5f * kW},
        {2, "ABCD", 320 - 4 * kW, 320, 320 + kW},
        {1, "", 0, 0, 320 + 0.5f * kW},
    };
    for (const Case& c : cases) {
        IGrTextAlign(c.justification);
        driver.clear();
        IGrTextDraw(320, 240, c.text);
        EXPECT_NEAR(pointX(), c.pointX, 0.05) << c.justification << c.text;
        EXPECT_NEAR(pointY(), 240, 0.05);
        const auto texts = opsOf(1, OpText);
        if (c.text.empty()) {
            EXPECT_TRUE(texts.empty());
            continue;
        }
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_NEAR(texts[0].Block.X1, c.startX, 0.05) << c.justification;
        EXPECT_NEAR(texts[0].Block.X3, c.endX, 0.05) << c.justification;
        EXPECT_NEAR(texts[0].Block.Y1, 240, 0.05);
        EXPECT_EQ(texts[0].Block.IntX1, 4);
        EXPECT_EQ(texts[0].Text, c.text);
    }
    // With no layer active nothing is drawn and the current point stays.
    IGrPenMove(10, 10);
    graphicsState().DrawableActive = 0;
    driver.clear();
    IGrTextDraw(320, 240, "ABCD");
    EXPECT_EQ(pointX(), 10.0f);
    EXPECT_TRUE(opsOf(1, OpText).empty());
}

TEST_F(TextFixture, WholeCharacterClipping)
{
    IGrTextAlign(0);
    struct Case {
        REAL x;
        INTEGER count;   // characters sent, 0: no OpText
        REAL firstX;
        std::string sent;
    };
    const Case cases[] = {
        {-4, 3, 4, "BCD"},             // the first cell crosses the left edge
        {620, 2, 620, "AB"},           // the last two cells cross the right edge
        {-100, 0, 0, ""},              // wholly outside
    };
    for (const Case& c : cases) {
        driver.clear();
        IGrTextDraw(c.x, 240, "ABCD");
        const auto texts = opsOf(1, OpText);
        EXPECT_NEAR(pointX(), c.x + 4 * kW, 0.05) << c.x;
        if (c.count == 0) {
            EXPECT_TRUE(texts.empty()) << c.x;
            continue;
        }
        ASSERT_EQ(texts.size(), 1u) << c.x;
        EXPECT_EQ(texts[0].Block.IntX1, c.count) << c.x;
        EXPECT_NEAR(texts[0].Block.X1, c.firstX, 0.05) << c.x;
        EXPECT_EQ(texts[0].Text, c.sent) << c.x;
    }
}

TEST_F(TextFixture, ProportionalTextGoesOutPerCharacterWithItsOwnUnderline)
{
    WGrTextFont(102, kTextUnderline, std::nullopt, std::nullopt, std::nullopt, 2);
    deviceDrawsRequestedSize();
    IGrTextAlign(0);
    IGrLineStyle(2);
    driver.clear();
    IGrTextDraw(100, 200, "AB");
    const auto texts = opsOf(1, OpText);
    ASSERT_EQ(texts.size(), 2u);
    const REAL a = YYAdvanceWidth('A'), b = YYAdvanceWidth('B');
    // Inset by 0.14 of the first character's advance, then stepped by the table.
    EXPECT_NEAR(texts[0].Block.X1, 100 + 0.14f * a * kW, 0.01);
    EXPECT_NEAR(texts[1].Block.X1, 100 + 1.14f * a * kW, 0.01);
    EXPECT_EQ(texts[0].Block.IntX1, 1);
    EXPECT_EQ(texts[1].Text, "B");
    // The underline: solid, 0.45 character heights below the centre line, as long as the text.
    const auto lines = opsOf(1, OpLine);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].LineType, 0);
    EXPECT_NEAR(lines[0].Block.Y1, 200 - 0.45f * kH, 0.05);
    EXPECT_NEAR(lines[0].Block.X2 - lines[0].Block.X1, (a + b) * kW, 0.05);
    EXPECT_EQ(graphicsState().LineType, 2);
}

TEST_F(TextFixture, UnderlineOfAWholeRunFollowsTheDriversAnswer)
{
    WGrTextFont(std::nullopt, kTextUnderline);
    deviceDrawsRequestedSize();
    for (INTEGER answer : {0, 1}) {
        driver.answerText(1, 0, answer);
        driver.clear();
        IGrTextDraw(320, 240, "ABCD");
        EXPECT_EQ(opsOf(1, OpLine).size(), answer == 1 ? 1u : 0u) << answer;
    }
}

TEST_F(TextFixture, BoxBehindProportionalTextInThePreviousColour)
{
    WGrTextFont(102, kTextBox, std::nullopt, std::nullopt, std::nullopt, 2);
    deviceDrawsRequestedSize();
    IGrTextAlign(0);
    IGrColourN(31);
    driver.clear();
    IGrTextDraw(100, 200, "AB");
    const auto& ops = driver.ops();
    const auto box = std::find_if(ops.begin(), ops.end(), [](const RecordedOp& r) { return r.Op == OpPolygonSolid; });
    const auto text = std::find_if(ops.begin(), ops.end(), [](const RecordedOp& r) { return r.Op == OpText; });
    ASSERT_NE(box, ops.end());
    ASSERT_NE(text, ops.end());
    EXPECT_LT(box - ops.begin(), text - ops.begin());
    EXPECT_EQ(box->ColourIndex, 223);  // the previous colour when 31 was chosen
    EXPECT_EQ(text->ColourIndex, 31);
    EXPECT_EQ(graphicsState().ColourIndex[1], 31);
    EXPECT_EQ(graphicsState().FillStyle, 0);
    const auto ys = box->Block.PolygonY;
    EXPECT_NEAR(*std::min_element(ys.begin(), ys.end()), 200 - kH / 2, 0.05);
    EXPECT_NEAR(*std::max_element(ys.begin(), ys.end()), 200 + kH / 2, 0.05);
}

TEST_F(TextFixture, StrokeTextIsDrawnAsLinesBoldDoublesTheWidth)
{
    WGrTextFont(1, kTextBold);
    IGrLineStyle(3);
    driver.clear();
    IGrTextDraw(320, 240, "HI");
    EXPECT_TRUE(opsOf(1, OpText).empty());
    const auto widths = opsOf(1, OpLineWidth);
    ASSERT_GE(widths.size(), 2u);
    bool anyStroke = false;
    for (const RecordedOp& r : driver.ops())
        if (r.Op == OpLine || r.Op == OpPolyline) {
            anyStroke = true;
            EXPECT_EQ(r.LineType, 0);
        }
    EXPECT_TRUE(anyStroke);
    EXPECT_EQ(graphicsState().LineWidth, 1);
    EXPECT_EQ(graphicsState().LineType, 3);
    EXPECT_NEAR(pointX(), 320 + 0.5f * kW + 0.5f * 2 * kW, 0.05);
}

TEST_F(TextFixture, HardcopyThatCannotDrawTextGetsStrokesForItsLayerOnly)
{
    DeviceCapabilityTable& caps = deviceCapabilityTable();
    caps.TextAngles[1] = 360;
    caps.DeviceTextThreshold[1] = 0.5f;
    caps.CapabilityString[1] = std::string_view("11111111111111111111111111011");  // position 27 '0'
    caps.CapabilityString[0] = std::string_view("11111111111111111110111011111");
    caps.TextAngles[0] = 360;
    WGrTextFont(102, kTextItalic, std::nullopt, std::nullopt, std::nullopt, 2);
    deviceDrawsRequestedSize();
    graphicsState().HardcopyActive = 1;
    driver.clear();
    IGrTextDraw(320, 240, "AB");
    EXPECT_EQ(opsOf(1, OpText).size(), 2u);
    EXPECT_TRUE(opsOf(2, OpText).empty());
    size_t hardcopyStrokes = 0;
    for (const RecordedOp& r : driver.ops()) {
        if (r.Layer == 1 && r.Op == OpPolygonSolid) {
            EXPECT_EQ(r.DrawableActive, 0);
        }
        if (r.Layer == 2 && r.Op == OpPolygonFill && r.Block.Value == 1) ++hardcopyStrokes;  // an outline set
    }
    EXPECT_GT(hardcopyStrokes, 0u);
    EXPECT_EQ(strokeFontTable().StrokeFontName.trimmed(), "standard.chr");
    EXPECT_EQ(textState().StrokeFontSelected, 0);
    EXPECT_EQ(textState().TextSlant, 0.0f);
}

TEST_F(TextFixture, HardcopyPerCharacterMarksFirstAndLast)
{
    hardcopyTextScaling().TextSpacingFlag = 0;
    WGrTextFont(102, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0);  // spacing 2
    graphicsState().HardcopyActive = 1;
    graphicsState().DrawableActive = 0;
    driver.clear();
    IGrTextDraw(320, 240, "ABC");
    const auto texts = opsOf(2, OpText);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].Block.IntX2, 1);
    EXPECT_EQ(texts[1].Block.IntX2, 0);
    EXPECT_EQ(texts[2].Block.IntX2, 2);
    EXPECT_TRUE(opsOf(1, OpText).empty());
}
