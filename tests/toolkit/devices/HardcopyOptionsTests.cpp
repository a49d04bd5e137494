// The hardcopy options: the setter's checks and side effects, the page scaling derived from them,
// the shared driver defaults and keeping the options across a graphics reset.
#include <gtest/gtest.h>

#include <string>

#include "RecordingDriver.h"
#include "toolkit/devices/DeviceModels.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"
#include "toolkit/graphics/Lines.h"

namespace {

class OptionsFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGraphicsForTest();
        YYHardcopyOptionHooksInstall();
        hardcopyOptionBlock() = HardcopyOptionBlock{};
        hardcopyJobState() = HardcopyJobState{};
        hardcopyTextScaling() = HardcopyTextScaling{};
        printerModelState() = PrinterModelState{};
        IGrHardcopySetOption(1, 756);
        IGrHardcopySetOption(2, 540);
        libraryErrorState().LastErrorNumber = 0;
        driver.clear();
    }
    void TearDown() override
    {
        graphicsState().HardcopyActive = 0;
        drawableHooks() = DrawableHooks{};
    }
    static INTEGER option(INTEGER n) { return hardcopyOptionBlock().value(n); }
    RecordingDriver driver{false, true};
};

}  // namespace

TEST_F(OptionsFixture, ChecksKeepOrClampValues)
{
    YYPrinterModel(36);  // three resolutions, colour option limit 1
    struct Case {
        INTEGER option, value, expected;  // expected: the stored value after the call
    };
    const Case cases[] = {
        {1, 0, 756}, {1, -5, 756}, {2, 612, 612},
        {3, -30, -30}, {4, 99, 99}, {7, 5, 5}, {27, 2, 2}, {29, -1, -1},
        {6, 2, 2}, {6, 3, 0}, {6, -1, 0},
        {8, 0, 1}, {8, 4, 4},
        {12, 50, 100}, {12, 120, 120},
        {13, 3, 3}, {13, 4, 0}, {13, 0, 0},
        {16, 9, 0}, {16, 10, 10}, {16, 256, 0},
        {21, 127, 127}, {21, 128, 0}, {21, 0, 0},
        {23, 8, 0},  // no driver that takes a depth is initialised
        {24, 1, 1}, {24, 2, 0},
        {101, 0, 0}, {101, 3, 3}, {104, 1, 1}, {105, 4, 4}, {105, 5, 0}, {106, -7, -7}, {108, 0, 0},
    };
    for (const Case& c : cases) {
        hardcopyOptionBlock() = HardcopyOptionBlock{};
        hardcopyOptionBlock().Options[1] = 756;
        IGrHardcopySetOption(c.option, c.value);
        EXPECT_EQ(option(c.option), c.expected) << "option " << c.option << " = " << c.value;
    }
    EXPECT_EQ(hardcopyDriverState().RasterResolutionIndex, 3);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);  // nothing is ever reported
}

TEST_F(OptionsFixture, IgnoredNumbersChangeNothing)
{
    const HardcopyOptionBlock before = hardcopyOptionBlock();
    for (const INTEGER n : {0, 14, 30, 31, 32, 33, 100, 109, 200, -1}) IGrHardcopySetOption(n, 1);
    EXPECT_EQ(before.Options, hardcopyOptionBlock().Options);
    EXPECT_EQ(before.Extended, hardcopyOptionBlock().Extended);
}

TEST_F(OptionsFixture, ColourDepthFollowsTheInitialisedDriver)
{
    struct Case { INTEGER driver, value; bool kept; };
    const Case cases[] = {
        {6, 1, true}, {6, 3, false}, {6, 24, true}, {8, 3, true}, {8, 1, false}, {2, 8, false},
    };
    for (const Case& c : cases) {
        hardcopyOptionBlock().Options[23] = -1;
        hardcopyJobState().DriverDevice = c.driver;
        IGrHardcopySetOption(23, c.value);
        EXPECT_EQ(option(23), c.kept ? c.value : -1) << "driver " << c.driver << " depth " << c.value;
    }
}

TEST_F(OptionsFixture, OrientationOrdersThePageSides)
{
    struct Case { INTEGER value, page1, page2, orientation; };
    const Case cases[] = {{2, 540, 756, 0}, {3, 756, 540, 1}, {4, 756, 540, 9}, {1, 756, 540, 1}};
    for (const Case& c : cases) {
        hardcopyOptionBlock().Options[1] = 756;
        hardcopyOptionBlock().Options[2] = 540;
        hardcopyOptionBlock().Options[5] = 9;
        IGrHardcopySetOption(5, c.value);
        EXPECT_EQ(option(1), c.page1) << c.value;
        EXPECT_EQ(option(2), c.page2) << c.value;
        EXPECT_EQ(option(5), c.orientation) << c.value;
    }
    // 2 on a page already upright puts the smaller side first too.
    hardcopyOptionBlock().Options[1] = 540;
    hardcopyOptionBlock().Options[2] = 756;
    IGrHardcopySetOption(5, 3);
    EXPECT_EQ(option(1), 756);
    EXPECT_EQ(option(2), 540);
}

TEST_F(OptionsFixture, LineOptionsReachOnlyAnOpenHardcopy)
{
    IGrHardcopySetOption(9, 0);
    EXPECT_EQ(option(9), 1);
    EXPECT_TRUE(driver.codes(2).empty());

    graphicsState().HardcopyActive = 1;
    IGrHardcopySetOption(9, 0);
    IGrHardcopySetOption(10, 2);
    IGrHardcopySetOption(11, 1);
    IGrHardcopySetOption(10, 3);  // refused: nothing sent
    EXPECT_EQ(driver.codes(2), (std::vector<INTEGER>{OpLineWidth, OpLineJoin, OpLineCap}));
    EXPECT_EQ(option(10), 2);
    EXPECT_EQ(option(11), 1);
}

TEST_F(OptionsFixture, FormatOptionsRewriteTheDefaultExtension)
{
    struct Case {
        INTEGER driver, option, value;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {2, 22, 1, "raridevu.ps", "raridevu.eps"},
        {2, 22, 0, "raridevu.eps", "raridevu.ps"},
        {2, 22, 1, "C:\\plots.v2\\raridevu", "C:\\plots.v2\\raridevu.eps"},  // the dot of a folder
        {2, 22, 1, "out/v1.5/page", "out/v1.5/page.eps"},
        {2, 22, 1, "", ""},  // blank stays blank
        {6, 26, 3, "raridevu.pcx", "raridevu.png"},
        {6, 26, 1, "raridevu.pcx", "raridevu.bmp"},
        {6, 26, 2, "raridevu.png", "raridevu.bmp"},
        {6, 26, 7, "raridevu.bmp", "raridevu.pcx"},
        {9, 26, 3, "raridevu.cgm", "raridevu.cgm"},  // another driver: only the value changes
        {6, 22, 1, "raridevu.pcx", "raridevu.pcx"},
    };
    for (const Case& c : cases) {
        hardcopyJobState().DriverDevice = c.driver;
        hardcopyJobState().OutputFile.assign(c.before);
        IGrHardcopySetOption(c.option, c.value);
        EXPECT_EQ(hardcopyJobState().OutputFile.trimmed(), c.after) << c.before;
        EXPECT_EQ(option(c.option), c.value) << c.before;
    }
}

TEST_F(OptionsFixture, ExtensionAtTheEndOfAFullNameIsCut)
{
    FixedText<260> name(std::string(258, 'n'));
    YYFileExtensionRewrite(name, ".eps");
    EXPECT_EQ(name.view().substr(256), "nn.e");  // truncated rather than written past the name
}

TEST_F(OptionsFixture, PageAspectFollowsThePageAngle)
{
    YYPageAspect();
    EXPECT_FLOAT_EQ(hardcopyTextScaling().HardcopyAspect, 1.4f);
    graphicsTransform().PageAngle = 90;
    YYPageAspect();
    EXPECT_FLOAT_EQ(hardcopyTextScaling().HardcopyAspect, 540.0f / 756.0f);
    hardcopyOptionBlock().Options[2] = 0;
    YYPageAspect();  // unchanged without both sides
    EXPECT_FLOAT_EQ(hardcopyTextScaling().HardcopyAspect, 540.0f / 756.0f);
    graphicsTransform().PageAngle = 0;
}

TEST_F(OptionsFixture, RescaleExchangesThePairsOnASidewaysPage)
{
    hardcopyDriverState().XScale = 3.0f;
    hardcopyDriverState().YScale = 2.0f;
    struct Case { INTEGER angle; REAL scaleX, scaleY, extentX, extentY, aspect; };
    const Case cases[] = {
        {0, 3.0f, 2.0f, 639.99f, 479.99f, 640.0f / 480.0f},
        {90, 2.0f, 3.0f, 479.99f, 639.99f, 480.0f / 640.0f},
        {180, 3.0f, 2.0f, 639.99f, 479.99f, 640.0f / 480.0f},
        {270, 2.0f, 3.0f, 479.99f, 639.99f, 480.0f / 640.0f},
    };
    for (const Case& c : cases) {
        graphicsTransform().PageAngle = c.angle;
        YYHardcopyRescale();
        EXPECT_FLOAT_EQ(hardcopyTextScaling().ScaleX, c.scaleX) << c.angle;
        EXPECT_FLOAT_EQ(hardcopyTextScaling().ScaleY, c.scaleY) << c.angle;
        EXPECT_FLOAT_EQ(graphicsTransform().HardcopyXExtent, c.extentX) << c.angle;
        EXPECT_FLOAT_EQ(graphicsTransform().HardcopyYExtent, c.extentY) << c.angle;
        EXPECT_FLOAT_EQ(textState().TextDrawableWidth, c.extentX) << c.angle;
        EXPECT_FLOAT_EQ(graphicsTransform().DrawableAspect, c.aspect) << c.angle;
    }
    graphicsTransform().PageAngle = 0;

    // Without screen output the page's aspect rules.
    YYPageAspect();
    graphicsState().DrawableActive = 0;
    YYHardcopyRescale();
    EXPECT_FLOAT_EQ(graphicsTransform().DrawableAspect, 1.4f);
    graphicsState().DrawableActive = 1;

    // An open hardcopy hears the text direction and size again; IGrArea rescales through the hook.
    graphicsState().HardcopyActive = 1;
    driver.clear();
    IGrArea(0.1f, 0.1f, 0.9f, 0.9f);
    const std::vector<INTEGER> codes = driver.codes(2);
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(std::vector<INTEGER>(codes.end() - 2, codes.end()), (std::vector<INTEGER>{OpTextAngle, OpCharSize}));
}

TEST_F(OptionsFixture, DriverResetSetsOnlyTheSharedDefaults)
{
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    o.Options.fill(7);
    o.Extended.fill(7);
    YYDriverReset();
    for (INTEGER n = 1; n <= 32; ++n) {
        const bool shared = n == 6 || n == 7 || n == 8 || n == 9 || n == 10 || n == 11 || n == 17;
        if (!shared) {
            EXPECT_EQ(option(n), 7) << n;
        }
    }
    const INTEGER expected[][2] = {{6, 0}, {7, 0}, {8, 1}, {9, 5}, {10, 0}, {11, 0}, {17, 0}, {101, 80}, {102, 60},
                                   {103, 1}, {104, 999999}, {105, 1}, {106, 0}, {107, 0}, {108, 8}};
    for (const auto& e : expected) EXPECT_EQ(option(e[0]), e[1]) << e[0];
}

namespace {

// A PostScript-like driver: its full initialisation sets the shared and its own defaults, the
// kept-options form (Value -998) leaves the options alone.
void pageDriver(INTEGER op)
{
    DriverParameterBlock& b = driverParameterBlock();
    if (op != OpInit) return;
    if (b.Count == -999) {
        b.Count = 2;
        return;
    }
    if (b.Value != -998) {
        YYDriverReset();
        HardcopyOptionBlock& o = hardcopyOptionBlock();
        o.Options[1] = 756;
        o.Options[2] = 540;
        o.Options[5] = 1;
        o.Options[16] = 255;
    }
    hardcopyJobState().DriverDevice = 2;
    hardcopyJobState().OutputFile.assign("raridevu.ps");
}

}  // namespace

TEST_F(OptionsFixture, ResetWithPKeepsThePageAndWithoutItTheDefaultsReturn)
{
    driverHooks().HardcopyDrivers[2] = &pageDriver;
    driverHooks().HardcopyDevice = 2;
    IGrResetGraphics(" ");  // the first reset initialises the driver
    EXPECT_EQ(hardcopyJobState().DriverDevice, 2);

    IGrHardcopySetOption(1, 612);
    IGrHardcopySetOption(2, 792);
    IGrHardcopySetOption(9, 12);
    IGrHardcopySetOption(16, 9);  // refused: the driver's 255 stays
    IGrHardcopySetOption(107, 3);
    IGrHardcopySetOption(22, 1);
    EXPECT_EQ(hardcopyJobState().OutputFile.trimmed(), "raridevu.eps");
    IGrResetGraphics("hP");
    EXPECT_EQ(option(1), 612);
    EXPECT_EQ(option(2), 792);
    EXPECT_EQ(option(9), 12);
    EXPECT_EQ(option(16), 255);
    EXPECT_EQ(option(107), 3);
    EXPECT_EQ(option(3), 0);  // cleared and not set by this driver
    EXPECT_EQ(option(22), 1);
    EXPECT_EQ(hardcopyJobState().OutputFile.trimmed(), "raridevu.eps");

    IGrResetGraphics(" ");
    EXPECT_EQ(option(1), 756);
    EXPECT_EQ(option(2), 540);
    EXPECT_EQ(option(9), 5);
    EXPECT_EQ(option(107), 0);
    EXPECT_EQ(hardcopyJobState().OutputFile.trimmed(), "raridevu.ps");
}

TEST_F(OptionsFixture, ResetWithPBeforeAnyDriverKeepsNothing)
{
    IGrHardcopySetOption(1, 612);
    IGrResetGraphics("P");  // no driver initialised yet
    EXPECT_EQ(option(1), 0);
}

TEST_F(OptionsFixture, LineThicknessOfTheGraphicsLayerIsOptionNine)
{
    IGrLineThickness(std::nullopt, 17);
    EXPECT_EQ(option(9), 17);
    EXPECT_EQ(drawableHooks().hardcopyLineThicknessQuery(), 17);
}
