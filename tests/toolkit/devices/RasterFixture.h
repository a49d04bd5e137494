// A bit-image job on a page whose pixels are the drawable's (one device unit = one pixel), driven
// through the bit-image driver the way the graphics layer drives it, with small drawing routines,
// a picture of page regions for case tables, and a temporary folder for the files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "toolkit/devices/BitImageDriver.h"
#include "toolkit/devices/ByteSink.h"
#include "toolkit/devices/DeviceModels.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/RasterRenderer.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GraphicsState.h"

namespace raster_test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A folder of its own under the temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder()
        : path_(std::filesystem::temp_directory_path() /
                ("qv-raster-" + std::to_string(::getpid()) + "-" + std::to_string(counter()++)))
    {
        std::filesystem::create_directories(path_);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    static int& counter()
    {
        static int n = 0;
        return n;
    }
    std::filesystem::path path_;
};

// The graphics layer, options and driver state as a fresh program has them.
inline void resetState()
{
    graphicsState() = GraphicsState{};
    graphicsTransform() = GraphicsTransform{};
    hardcopyOptionBlock() = HardcopyOptionBlock{};
    hardcopyJobState() = HardcopyJobState{};
    hardcopyDriverState() = HardcopyDriverState{};
    printerModelState() = PrinterModelState{};
    rasterDrawState() = RasterDrawState{};
    driverParameterBlock() = DriverParameterBlock{};
    const INTEGER mode = libraryErrorState().ReportMode;
    libraryErrorState() = LibraryErrorState{};
    libraryErrorState().ReportMode = mode;
    YYRasterRendererFallbacks();
    YYOutputUnitFallbacks();
    YYPaletteDefault();
}

struct JobOptions {
    INTEGER bits = 8;
    INTEGER fileType = 1;
    REAL resolution = 0;  // 0: the driver's 150 dots per inch
};

// Starts a job of width x height pixels into file; the clip area is the whole page.
class RasterJob {
public:
    RasterJob(INTEGER width, INTEGER height, const std::filesystem::path& file, JobOptions options = {})
    {
        resetState();
        GraphicsState& g = graphicsState();
        GraphicsTransform& t = graphicsTransform();
        g.DrawableWidth = width;
        g.DrawableHeight = height;
        t.DrawableXLimit = static_cast<REAL>(width) - 0.01f;
        t.DrawableYLimit = static_cast<REAL>(height) - 0.01f;
        clip(0, 0, static_cast<REAL>(width) - 0.01f, static_cast<REAL>(height) - 0.01f);
        DriverParameterBlock& b = driverParameterBlock();
        b.Count = 0;
        b.Value = 0;
        XXIMAG(OpInit);
        HardcopyOptionBlock& o = hardcopyOptionBlock();
        o.Options[1] = width;
        o.Options[2] = height;
        o.Options[23] = options.bits;
        o.Options[26] = options.fileType;
        stringWorkBuffer().assign(file.string());
        g.HardcopyActive = 1;
        b.Value = 1;
        XXIMAG(OpBeginOutput);
        if (options.resolution > 0) rasterPageBlock().LineResolution = rasterPageBlock().FeedResolution = options.resolution;
        for (const INTEGER op : {OpLineWidth, OpLineType, OpClipArea}) XXIMAG(op);
        colour(1);
    }
    ~RasterJob() { end(); }
    RasterJob(const RasterJob&) = delete;
    RasterJob& operator=(const RasterJob&) = delete;

    bool active() const { return graphicsState().HardcopyActive > 0; }

    // Ends the page (written only when something was drawn) and the job.
    void end()
    {
        if (ended_) return;
        ended_ = true;
        if (!active()) return;
        page();
        XXIMAG(OpEndOutput);
        graphicsState().HardcopyActive = 0;
    }
    void page()
    {
        driverParameterBlock().Count = 1;
        driverParameterBlock().Value = 32;
        XXIMAG(OpEndPage);
    }

    // Makes palette index n the current colour (the current one becomes the previous one).
    static void colour(INTEGER n)
    {
        GraphicsState& g = graphicsState();
        g.ColourModel = kPaletteMode;
        g.ColourIndex[0] = g.ColourIndex[1];
        g.ColourIndex[1] = n;
        YYPaletteRGB(n, g.ColourRGB[1]);
        XXIMAG(OpColour);
    }
    // Makes a packed RGB value the current colour.
    static void rgb(INTEGER value)
    {
        GraphicsState& g = graphicsState();
        g.ColourModel = kRgbMode;
        g.ColourIndex[0] = g.ColourIndex[1];
        g.ColourRGB[0] = g.ColourRGB[1];
        g.ColourRGB[1] = value;
        YYPaletteNearest(value, g.ColourIndex[1]);
        XXIMAG(OpColour);
    }
    static void clip(REAL x1, REAL y1, REAL x2, REAL y2)
    {
        GraphicsTransform& t = graphicsTransform();
        t.ClipXMin = x1;
        t.ClipYMin = y1;
        t.ClipXMax = x2;
        t.ClipYMax = y2;
        if (graphicsState().HardcopyActive > 0) XXIMAG(OpClipArea);
    }
    static void penWidth(INTEGER tenthsOfAPoint)
    {
        hardcopyOptionBlock().Options[9] = tenthsOfAPoint;
        XXIMAG(OpLineWidth);
    }
    static void lineType(INTEGER type)
    {
        graphicsState().LineType = type;
        XXIMAG(OpLineType);
    }
    static void line(REAL x1, REAL y1, REAL x2, REAL y2)
    {
        DriverParameterBlock& b = driverParameterBlock();
        b.X1 = x1;
        b.Y1 = y1;
        b.X2 = x2;
        b.Y2 = y2;
        XXIMAG(OpLine);
    }
    static void point(REAL x, REAL y)
    {
        DriverParameterBlock& b = driverParameterBlock();
        b.X1 = x;
        b.Y1 = y;
        XXIMAG(OpPoint);
    }
    static void polyline(const std::vector<REAL>& xs, const std::vector<REAL>& ys)
    {
        DriverParameterBlock& b = driverParameterBlock();
        b.PolygonX = xs;
        b.PolygonY = ys;
        b.Count = static_cast<INTEGER>(xs.size());
        XXIMAG(OpPolyline);
    }
    // A fill operation with its closing call, as the graphics layer sends it.
    static void fill(INTEGER op, INTEGER style, std::vector<REAL> corners, INTEGER value = 1)
    {
        graphicsState().FillStyle = style;
        DriverParameterBlock& b = driverParameterBlock();
        corners.resize(8, 0.0f);
        b.X1 = corners[0], b.Y1 = corners[1], b.X2 = corners[2], b.Y2 = corners[3];
        b.X3 = corners[4], b.Y3 = corners[5], b.X4 = corners[6], b.Y4 = corners[7];
        b.Value = value;
        XXIMAG(op);
        b.Value = -1;
        XXIMAG(op);
    }
    // A polygon fill: the renderer asks for fill lines, which the graphics layer would draw one
    // per pixel row; here each row from y1 to y2 between x1 and x2.
    static void rowFill(INTEGER style, INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2)
    {
        graphicsState().FillStyle = style;
        DriverParameterBlock& b = driverParameterBlock();
        b.Value = 1;
        XXIMAG(OpPolygonFill);
        for (INTEGER y = y1; y <= y2 && graphicsState().LayerFillRequest[1] != 0; ++y)
            line(static_cast<REAL>(x1) + 0.5f, static_cast<REAL>(y) + 0.5f, static_cast<REAL>(x2) + 0.5f,
                 static_cast<REAL>(y) + 0.5f);
        graphicsState().LayerFillRequest[1] = 0;
        b.Value = -1;
        XXIMAG(OpPolygonFill);
    }

private:
    bool ended_ = false;
};

// The page region from column x1 to x2 and row y2 down to y1 as text, top row first: '.' for a
// pixel holding the clear value, '#' for any other.
inline std::string picture(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2)
{
    const INTEGER clear = YYRasterPixelValue(-1, -1);
    std::string text;
    for (INTEGER y = y2; y >= y1; --y) {
        for (INTEGER x = x1; x <= x2; ++x) text += YYRasterPixelValue(x, y) == clear ? '.' : '#';
        text += '\n';
    }
    return text;
}

// The columns of row y that hold anything but the clear value.
inline std::vector<INTEGER> drawnColumns(INTEGER y)
{
    const INTEGER clear = YYRasterPixelValue(-1, -1);
    std::vector<INTEGER> columns;
    for (INTEGER x = 0; x <= rasterPageBlock().LastColumn; ++x)
        if (YYRasterPixelValue(x, y) != clear) columns.push_back(x);
    return columns;
}

}  // namespace raster_test
