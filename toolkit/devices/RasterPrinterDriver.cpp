#include "toolkit/devices/RasterPrinterDriver.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "toolkit/devices/DeviceModels.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/RasterDump.h"
#include "toolkit/devices/RasterRenderer.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GraphicsState.h"

RasterPrinterPage& rasterPrinterPage()
{
    static RasterPrinterPage page;
    return page;
}

namespace {

constexpr char kEsc = '\x1b';

std::string digits(std::int64_t value, std::size_t width)
{
    std::string text = std::to_string(std::max<std::int64_t>(value, 0));
    if (text.size() < width) text.insert(0, width - text.size(), '0');
    return text;
}

std::string lowHigh(std::int64_t value)
{
    const auto v = static_cast<std::uint32_t>(std::clamp<std::int64_t>(value, 0, 0xFFFF));
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

std::string escape(std::string_view rest) { return std::string(1, kEsc) + std::string(rest); }

INTEGER currentResolution()
{
    const PrinterModelState& m = printerModelState();
    const INTEGER index = std::clamp(hardcopyDriverState().RasterResolutionIndex, 1, 4);
    return m.PrinterResolutions[static_cast<std::size_t>(index - 1)];
}

// Dots per inch from one print line to the next: the line resolution on page printers, the head's
// pin pitch on dot-matrix printers (twice as fine when two passes interleave).
DOUBLE feedResolution(INTEGER lineResolution)
{
    const PrinterModelState& m = printerModelState();
    if (m.PrinterFamily > 5) return lineResolution;
    if (m.PrinterFamily == 5) return 180.0;
    const DOUBLE pitch = static_cast<DOUBLE>(m.PrinterHeadPins) * 216.0 / static_cast<DOUBLE>(std::max(m.PrinterLineAdvance, 1));
    return lineResolution > 100 ? 2.0 * pitch : pitch;
}

void pclSetup(RasterPrinterCommands& c, INTEGER resolution, INTEGER h, INTEGER v, INTEGER copies, bool eject, bool reset)
{
    const PrinterModelState& m = printerModelState();
    const INTEGER x = std::max(0, static_cast<INTEGER>(10.0 * h)), y = std::max(0, static_cast<INTEGER>(10.0 * v));
    const INTEGER bytes = (std::max(c.DotsPerLine, 0) + 7) / 8;
    c.LineHeader = escape("*b") + digits(bytes, 3) + "W";
    c.PlaneHeaders = {escape("*b") + digits(bytes, 3) + "V", escape("*b") + digits(bytes, 3) + "V"};

    std::string start = escape("E") + escape("&a") + digits(x, 4) + "h" + digits(y, 4) + "V" + escape("*t") +
                        digits(resolution, 3) + "R" + escape("*r");
    if (m.PrinterModel > 11) start += digits(std::int64_t{bytes} * 8, 4) + "s";
    // The planes the dump sends: ink planes count negative.
    if (c.DumpPlanes > 1) start += (m.PrinterColourKind == 1 ? "" : "-") + std::to_string(c.DumpPlanes) + "u";
    start += "1A";
    if ((m.PrinterFamily == 9 || m.PrinterFamily == 10) && hardcopyOptionBlock().Options[20] != 0) start += escape("&k3W");
    if (c.Compression != 0) start += escape("*b") + std::to_string(c.Compression) + "M";
    if (!reset) start.erase(0, 2);
    c.JobStart = start;

    c.JobEnd.clear();
    if (m.PrinterFamily == 7 || m.PrinterModel == 32) c.JobEnd += escape("&l") + digits(copies, 2) + "X";
    c.JobEnd += escape("*rB");
    if (eject) c.JobEnd += escape("E");
}

void escp2Setup(RasterPrinterCommands& c, INTEGER resolution, INTEGER h, INTEGER v, bool eject)
{
    const INTEGER unit = 3600 / std::max(resolution, 1);
    const std::int64_t across = static_cast<std::int64_t>(static_cast<DOUBLE>(resolution) * h / 72.0);
    const std::int64_t down = static_cast<std::int64_t>(static_cast<DOUBLE>(resolution) * v / 72.0);
    const char u = static_cast<char>(unit);
    c.JobStart = escape("@") + escape("(G") + std::string{1, 0, 1} + escape("(U") + std::string{1, 0, u} +
                 escape("(V") + std::string{2, 0} + lowHigh(down);
    c.LineHeader = escape("\\") + lowHigh(across) + escape(".") + std::string{0, u, u, 1, 0, 0};
    c.LineFeed = escape("(v") + std::string{2, 0, 1, 0};
    c.JobEnd = escape("@") + (eject ? "\f" : "");
}

void dotMatrixSetup(RasterPrinterCommands& c, INTEGER resolution, INTEGER h, INTEGER v, bool eject)
{
    const PrinterModelState& m = printerModelState();
    const INTEGER margin = std::clamp(static_cast<INTEGER>(static_cast<DOUBLE>(resolution) * h / 72.0), 0, 39999);
    const INTEGER feed = m.PrinterFamily == 5 ? std::min(255, static_cast<INTEGER>(2.5 * v))
                                              : std::min(255, static_cast<INTEGER>(3.0 * v));
    const std::int64_t columns = std::int64_t{std::max(c.DotsPerLine, 0)} + margin;
    if (m.PrinterFamily == 4) {
        const char mode = resolution == 60 ? 8 : resolution == 120 ? 9 : resolution == 180 ? 11 : 12;
        c.LineHeader = escape("[g") + lowHigh(3 * columns + 1) + std::string(1, mode);
    } else if (m.PrinterFamily == 5) {
        const char mode = resolution == 90 ? 38 : resolution == 120 ? 33 : resolution == 180 ? 39 : 40;
        c.LineHeader = escape("*") + std::string(1, mode) + lowHigh(columns);
    } else if (resolution == 60 || (resolution == 80 && m.PrinterFamily == 3)) {
        c.LineHeader = escape("K") + lowHigh(columns);
    } else if (resolution == 80 || resolution == 90) {
        c.LineHeader = escape("*") + std::string(1, resolution == 80 ? 4 : 6) + lowHigh(columns);
    } else if (resolution == 240) {
        c.LineHeader = escape("Z") + lowHigh(columns);
    } else {
        c.LineHeader = escape("L") + lowHigh(columns);
    }
    c.LeftMarginBytes = std::min(m.PrinterHeadPins == 24 ? 3 * margin : margin, 39999);

    const char advance = static_cast<char>(m.PrinterLineAdvance);
    c.JobStart = escape("U") + std::string(1, 1);
    if (feed > 0) c.JobStart += escape("J") + std::string(1, static_cast<char>(feed));
    if (c.Passes == 1) {
        c.JobStart += escape("3") + std::string(1, advance);
    } else {
        c.PassFeeds = {escape("3") + std::string(1, 1), escape("3") + std::string(1, static_cast<char>(advance - 1))};
    }
    c.JobEnd = escape("2") + (eject ? "\f" : "");
}

void initialise()
{
    DriverParameterBlock& block = driverParameterBlock();
    if (block.Count == -999) {
        block.Count = 4;
        return;
    }
    YYRasterDriver(OpInit);
    const PrinterModelState& m = printerModelState();
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    if (block.Value != -998) {
        o.Options[1] = 576;
        o.Options[2] = 432;
        const bool pagePrinter = m.PrinterFamily > 5;
        o.Options[3] = pagePrinter ? 100 : 0;
        o.Options[4] = pagePrinter ? 70 : 0;
        o.Options[5] = pagePrinter ? 1 : 0;
        o.Options[13] = std::min(m.PrinterResolutionCount, 2);
        o.Options[19] = 3;
        o.Options[20] = 0;
        o.Options[24] = std::min(m.PrinterColourLimit, 2);
    }
    hardcopyDriverState().RasterResolutionIndex = o.Options[13];
    hardcopyFillState().HardcopyColours = 1 << std::clamp(m.PrinterPlanes, 0, 8);
    HardcopyJobState& job = hardcopyJobState();
    job.PrintByCommand = 1;
    job.DriverDevice = 4;
    deviceCapabilityTable().CapabilityString[1].assign("00000111111111110010011011000");
    job.OutputFile.assign("raridevu.prn");
}

// Sizes and allocates the page, at lower resolutions while the memory is not there. False when
// the job cannot go on (reported).
bool allocatePage()
{
    const PrinterModelState& m = printerModelState();
    const HardcopyOptionBlock& o = hardcopyOptionBlock();
    HardcopyDriverState& driver = hardcopyDriverState();
    RasterPageBlock& page = rasterPageBlock();
    const INTEGER mode = driver.RasterPlanes == 1 ? kRasterOneBit : kRasterThreePlanes;
    const bool rotated = o.Options[5] != 0;
    for (;;) {
        const INTEGER line = currentResolution();
        const DOUBLE feed = feedResolution(line);
        const DOUBLE across = rotated ? feed : line, down = rotated ? line : feed;
        const DOUBLE w = std::trunc(o.Options[1] * across / 72.0), h = std::trunc(o.Options[2] * down / 72.0);
        // A page side shorter than one dot holds nothing to print.
        if (w < 1.0 || h < 1.0) {
            YYErrorReport(22, "XXRAST");
            return false;
        }
        if (w <= 1e9 && h <= 1e9 &&
            YYRasterPageAllocate(static_cast<INTEGER>(w), static_cast<INTEGER>(h), mode, driver.RasterPlanes)) {
            page.LineResolution = static_cast<REAL>(line);
            page.FeedResolution = static_cast<REAL>(feed);
            page.ClearableWords = page.TotalWords;
            RasterPrinterPage& print = rasterPrinterPage();
            print.DotsPerLine = rotated ? page.PageHeight : page.PageWidth;
            print.PrintLines = rotated ? page.PageWidth : page.PageHeight;
            return true;
        }
        if (driver.RasterResolutionIndex >= m.PrinterResolutionCount) {
            YYErrorReport(34, "XXRAST");
            return false;
        }
        ++driver.RasterResolutionIndex;
    }
}

void beginOutput()
{
    DriverParameterBlock& block = driverParameterBlock();
    if (block.Value > 0) {
        const PrinterModelState& m = printerModelState();
        HardcopyOptionBlock& o = hardcopyOptionBlock();
        HardcopyDriverState& driver = hardcopyDriverState();
        if (o.Options[13] == 0 || m.PrinterResolutionCount == 0) {
            YYErrorReport(5, "XXRAST");
            graphicsState().HardcopyActive = 0;
            return;
        }
        driver.RasterResolutionIndex = std::clamp(driver.RasterResolutionIndex, 1, m.PrinterResolutionCount);
        driver.RasterPlanes = o.Options[6] == 1 ? 1 : std::max(m.PrinterPlanes, 1);
        if (driver.RasterPlanes == 1) deviceCapabilityTable().TrueColour[1] = 0;
        rasterPageBlock().ClearValue = (m.PrinterColourKind == 1 && driver.RasterPlanes > 1) ? -1 : 0;
        if (!allocatePage()) {
            graphicsState().HardcopyActive = 0;
            return;
        }
    }
    YYRasterDriver(OpBeginOutput);
    if (block.Value > 0 && graphicsState().HardcopyActive > 0) YYRasterDriver(OpClear);
}

RasterRowReader chooseReader()
{
    const INTEGER family = printerModelState().PrinterFamily;
    const bool colour = rasterPageBlock().PixelMode == kRasterThreePlanes;
    const bool rotated = hardcopyOptionBlock().Options[5] != 0;
    if (family <= 5) {
        if (colour) return &YYRasterBitTest;
        return rotated ? &YYRasterBitRotated : &YYRasterBitNormal;
    }
    if (family == 6) {
        if (colour) return rotated ? &YYRasterBitColourRotated : &YYRasterBitColourNormal;
        return rotated ? &YYRasterBitSeqRotated : &YYRasterBitSeqNormal;
    }
    return rotated ? &YYRasterBitPlaneRotated : &YYRasterBitPlaneNormal;
}

void endPage()
{
    HardcopyJobState& job = hardcopyJobState();
    if ((job.PageOpen & 1) == 0) return;
    RasterPrinterPage& print = rasterPrinterPage();
    YYRasterPrinterSetup(print.DotsPerLine, print.PrintLines);
    YYDUMP(2, chooseReader());
    job.PageOpen = 0;
    YYRasterDriver(OpClear);
}

}  // namespace

void XXRAST(INTEGER op)
{
    switch (op) {
    case OpInit: initialise(); break;
    case OpBeginOutput: beginOutput(); break;
    case OpEndPage: endPage(); break;
    default: YYRasterDriver(op); break;
    }
}

void YYRasterPrinterSetup(INTEGER dotsPerLine, INTEGER lineCount)
{
    const PrinterModelState& m = printerModelState();
    const HardcopyOptionBlock& o = hardcopyOptionBlock();
    RasterPrinterCommands& c = rasterPrinterCommands();
    c = RasterPrinterCommands{};
    c.DotsPerLine = dotsPerLine;
    c.LineCount = lineCount;
    const INTEGER resolution = currentResolution();
    const bool rotated = o.Options[5] != 0;
    const INTEGER h = rotated ? o.Options[4] : o.Options[3], v = rotated ? o.Options[3] : o.Options[4];
    c.Passes = (m.PrinterFamily < 5 && resolution > 100) ? 2 : 1;
    c.DumpPlanes = std::max(hardcopyDriverState().RasterPlanes, 1);
    c.Compression = std::clamp(o.Options[24], 0, 2);
    const INTEGER setup = o.Options[19];
    const bool eject = setup % 2 != 0, reset = setup - setup % 2 != 0;
    if (m.PrinterFamily >= 7) {
        pclSetup(c, resolution, h, v, o.Options[8], eject, reset);
        return;
    }
    if (m.PrinterFamily == 6) {
        escp2Setup(c, resolution, h, v, eject);
    } else {
        dotMatrixSetup(c, resolution, h, v, eject);
    }
    c.ColourSelects = {escape("r") + std::string(1, 4), escape("r") + std::string(1, 1), escape("r") + std::string(1, 2),
                       escape("r") + std::string(1, 0)};
}
