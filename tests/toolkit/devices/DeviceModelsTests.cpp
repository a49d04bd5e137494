// Device models from the toolkit settings, the names the printer dialog shows, the screen-dump
// settings and the split of the WIN.INI printer value.
#include <gtest/gtest.h>

#include <string>

#include "toolkit/devices/DeviceModels.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/foundation/ErrorReport.h"

TEST(DeviceModels, SettingsKeysSelectTheModels)
{
    struct Case {
        const char* what;
        INTEGER printer, plotter, hpgl2;
        INTEGER model, family, planes, limit, resolutionCount;
        std::array<INTEGER, 4> resolutions;
        INTEGER plotterType, hpgl2Type, given;
    };
    const Case cases[] = {
        {"27 is no model", 27, 0, 0, 28, 7, 1, 2, 4, {300, 150, 100, 75}, 1, 1, 0},
        {"1 is no model", 1, 0, 0, 28, 7, 1, 2, 4, {300, 150, 100, 75}, 1, 1, 0},
        {"39 is no model", 39, 0, 0, 28, 7, 1, 2, 4, {300, 150, 100, 75}, 1, 1, 0},
        {"LaserJet 4/5", 29, 0, 0, 29, 7, 1, 2, 4, {600, 300, 200, 150}, 1, 3, 0},
        {"Epson Stylus", 36, 0, 0, 36, 6, 1, 1, 3, {720, 360, 180, 0}, 1, 1, 0},
        {"plotter 12 gives HP-GL/2 2, kept against HPGL2 0", 28, 12, 0, 28, 7, 1, 2, 4, {300, 150, 100, 75}, 1, 2, 1},
        {"plotter 5", 28, 5, 0, 28, 7, 1, 2, 4, {300, 150, 100, 75}, 5, 1, 0},
        {"plotter 16 is none", 28, 16, 0, 28, 7, 1, 2, 4, {300, 150, 100, 75}, 1, 1, 0},
        {"Color LaserJet 4500", 38, 0, 0, 38, 11 - 4, 3, 2, 4, {600, 300, 200, 150}, 1, 5, 0},
        {"Color LaserJet 4500, HPGL2 4", 38, 0, 4, 38, 7, 3, 2, 4, {600, 300, 200, 150}, 1, 4, 1},
        {"DeskJet 540 colour", 33, 0, 0, 33, 8, 3, 2, 3, {300, 150, 75, 0}, 1, 1, 0},
        {"DeskJet 540 mono", 34, 0, 0, 34, 8, 1, 2, 3, {300, 150, 75, 0}, 1, 1, 0},
        {"DeskJet 1200C", 32, 0, 0, 32, 8, 3, 2, 4, {300, 150, 100, 75}, 1, 2, 0},
        {"Epson LQ: 24 pins", 17, 0, 0, 17, 5, 1, 0, 4, {360, 180, 120, 90}, 1, 1, 0},
    };
    for (const Case& c : cases) {
        YYDeviceModelsSelect(c.printer, c.plotter, c.hpgl2);
        const PrinterModelState& s = printerModelState();
        EXPECT_EQ(s.PrinterModel, c.model) << c.what;
        EXPECT_EQ(s.PrinterFamily, c.family) << c.what;
        EXPECT_EQ(s.PrinterPlanes, c.planes) << c.what;
        EXPECT_EQ(s.PrinterColourLimit, c.limit) << c.what;
        EXPECT_EQ(s.PrinterResolutionCount, c.resolutionCount) << c.what;
        EXPECT_EQ(s.PrinterResolutions, c.resolutions) << c.what;
        EXPECT_EQ(s.PlotterType, c.plotterType) << c.what;
        EXPECT_EQ(s.Hpgl2Type, c.hpgl2Type) << c.what;
        EXPECT_EQ(s.Hpgl2TypeGiven, c.given) << c.what;
    }
}

TEST(DeviceModels, HeadAndAdvanceOfDotMatrixFamilies)
{
    struct Case { INTEGER model, pins, advance; };
    const Case cases[] = {{2, 8, 23}, {9, 8, 22}, {19, 24, 29}, {17, 24, 24}, {28, 1, 0}};
    for (const Case& c : cases) {
        printerModelState() = PrinterModelState{};
        YYPrinterModel(c.model);
        EXPECT_EQ(printerModelState().PrinterHeadPins, c.pins) << c.model;
        EXPECT_EQ(printerModelState().PrinterLineAdvance, c.advance) << c.model;
    }
}

TEST(DeviceModels, ColourNamesGoWithColourCodes)
{
    // Every model whose name says colour has three planes; every "mono" one has one.
    for (INTEGER m = 2; m <= 38; ++m) {
        const PrinterModelEntry& e = PrinterModelTable[static_cast<std::size_t>(m)];
        if (e.Name.find("colour") != std::string_view::npos) {
            EXPECT_EQ(e.Code[1], '3') << e.Name;
        }
        if (e.Name.find("mono") != std::string_view::npos) {
            EXPECT_EQ(e.Code[1], '1') << e.Name;
        }
        EXPECT_LE(e.Name.size(), 27u);
    }
}

TEST(DeviceModels, DeviceNamesFitTheirWidths)
{
    YYDeviceModelsSelect(29, 3, 4);
    struct Case { INTEGER kind; std::size_t length; const char* expected; bool tooShort; };
    const Case cases[] = {
        {1, 27, "HP LaserJet 4/5 series", false},
        {2, 27, "HP 7475A A3 paper (6 pens)", false},
        {3, 31, "HP DesignJet", false},
        {1, 40, "HP LaserJet 4/5 series", false},
        {2, 10, "HP 7475A A", true},
        {3, 30, "HP DesignJet", true},
        {4, 5, "", false},
        {0, 27, "", false},
    };
    for (const Case& c : cases) {
        libraryErrorState().LastErrorNumber = 0;
        std::string name(c.length, 'x');
        WInfoDeviceName(c.kind, name);
        EXPECT_EQ(name.size(), c.length) << c.kind;
        EXPECT_EQ(name.substr(0, name.find_last_not_of(' ') + 1), c.expected) << c.kind << "/" << c.length;
        EXPECT_EQ(libraryErrorState().LastErrorNumber, c.tooShort ? 1023 : 0) << c.kind << "/" << c.length;
    }
    libraryErrorState().LastErrorNumber = 0;
}

TEST(DeviceModels, ScreenDumpSettingsOfTheFileDevices)
{
    struct Case {
        INTEGER kind, printer;
        std::array<INTEGER, 6> page;  // fields 1 to 5 and 8
        const char* file;
        INTEGER limit;
    };
    const Case cases[] = {
        {2, 28, {756, 540, 42, 20, 1, 1}, "vedororu.ps", 2},
        {4, 28, {576, 432, 100, 70, 1, 1}, "vedororu.prn", 2},
        {4, 5, {576, 432, 0, 0, 0, 1}, "vedororu.prn", 0},
        {2, 36, {756, 540, 42, 20, 1, 1}, "vedororu.ps", 1},
    };
    for (const Case& c : cases) {
        screenDumpRecord() = ScreenDumpRecord{};
        screenDumpRecord().Settings.fill(9);
        YYDeviceModelsSelect(c.printer, 0, 0);
        YYScreenDumpSettings(c.kind);
        const ScreenDumpRecord& d = screenDumpRecord();
        EXPECT_EQ(d.DeviceKind, c.kind);
        const std::array<INTEGER, 6> page{d.Settings[1], d.Settings[2], d.Settings[3], d.Settings[4], d.Settings[5], d.Settings[8]};
        EXPECT_EQ(page, c.page) << c.kind << " " << c.printer;
        EXPECT_EQ(d.FileName.trimmed(), c.file);
        EXPECT_EQ(d.Settings[6], 0);
        EXPECT_EQ(d.Settings[7], 1);
        EXPECT_EQ(d.Settings[13], 0);
        EXPECT_EQ(d.Settings[19], 3);
        EXPECT_EQ(d.Settings[20], 0);
        EXPECT_EQ(d.Settings[24], c.limit);
    }
}

TEST(DeviceModels, ScreenDumpOnTheWindowsPrinterFollowsItsQuery)
{
    PrinterPage letter{792, 612, 648, 468, 72, 72, 1, 1, 256, 0};
    EXPECT_EQ(YYScreenDumpPrinter(letter), 1);
    EXPECT_EQ(hardcopyOptionBlock().value(31), 792);
    EXPECT_EQ(hardcopyOptionBlock().value(30), 612);
    EXPECT_EQ(hardcopyOptionBlock().value(32), 1);
    EXPECT_EQ(screenDumpRecord().DeviceKind, 10);
    EXPECT_EQ(screenDumpRecord().Settings[1], 648);
    EXPECT_EQ(screenDumpRecord().Settings[4], 72);

    const PrinterPage none{0, 0, 0, 0, 0, 0, 0, 0, 0, 1801};
    EXPECT_EQ(YYScreenDumpPrinter(none), 0);
    EXPECT_EQ(hardcopyOptionBlock().value(32), 0);
    EXPECT_EQ(hardcopyOptionBlock().value(31), 0);
    EXPECT_EQ(screenDumpRecord().Settings[1], 0);
    EXPECT_EQ(screenDumpRecord().Settings[7], 1);
}

TEST(DeviceModels, PrinterValueSplitsIntoNameDriverAndPort)
{
    struct Case { const char* value; const char* device; const char* driver; const char* port; };
    const Case cases[] = {
        {"QPDF,winspool,CUPS:QPDF", "QPDF", "winspool", "CUPS:QPDF"},
        {"Office Laser,  winspool,   LPT1:", "Office Laser", "winspool", "LPT1:"},
        {"Lonely Printer", "Lonely Printer", "", ""},
        {"Two,parts", "Two", "parts", ""},
        {"", "", "", ""},
        {"a,,", "a", "", ""},
    };
    for (const Case& c : cases) {
        std::string device = "old", driver = "old", port = "old";
        YYPrinterDeviceSplit(c.value, device, driver, port);
        EXPECT_EQ(device, c.device) << c.value;
        EXPECT_EQ(driver, c.driver) << c.value;
        EXPECT_EQ(port, c.port) << c.value;
    }
}
