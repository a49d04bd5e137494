#include "toolkit/devices/RasterRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>
#include <string>

#include "toolkit/devices/ByteSink.h"
#include "toolkit/devices/DeviceModels.h"
#include "toolkit/devices/DriverSetup.h"
#include "toolkit/devices/Halftones.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/ImageLoading.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"
#include "toolkit/graphics/ShadedPolygons.h"

RasterPageBlock& rasterPageBlock()
{
    static RasterPageBlock page;
    return page;
}

RasterDrawState& rasterDrawState()
{
    static RasterDrawState state;
    return state;
}

namespace {

bool allocateWords(std::vector<std::uint32_t>& words, std::int64_t count)
{
    words.clear();
    words.shrink_to_fit();
    if (count < 0 || static_cast<std::uint64_t>(count) > words.max_size()) return false;
    try {
        words.assign(static_cast<std::size_t>(count), 0U);
    } catch (const std::bad_alloc&) {
        words.clear();
        return false;
    }
    return true;
}

// The image file by name, read as it is decoded.
void loadImageFile(std::string_view filename, std::span<INTEGER> image) { IGrLoadImageData(filename, image); }

RasterRendererHooks fallbackHooks()
{
    RasterRendererHooks h;
    h.allocate = &allocateWords;
    h.loadImage = &loadImageFile;
    return h;
}

constexpr std::size_t at(INTEGER i) { return static_cast<std::size_t>(i); }

INTEGER toColumn(REAL x) { return YYDeviceTrunc(static_cast<DOUBLE>(x) * hardcopyDriverState().XScale); }
INTEGER toRow(REAL y) { return YYDeviceTrunc(static_cast<DOUBLE>(y) * hardcopyDriverState().YScale); }

bool insidePage(INTEGER x, INTEGER y)
{
    const RasterPageBlock& p = rasterPageBlock();
    return x >= 0 && y >= 0 && x <= p.LastColumn && y <= p.LastRow;
}

bool insideClip(INTEGER x, INTEGER y)
{
    const RasterDrawState& s = rasterDrawState();
    return x >= s.ClipLeft && x <= s.ClipRight && y >= s.ClipBottom && y <= s.ClipTop;
}

bool bitOf(std::uint32_t cell, INTEGER x, INTEGER y) { return ((cell >> (8 * (y % 4) + x % 8)) & 1U) != 0; }

// The current colour of the graphics layer as red, green and blue bytes.
void currentColour(INTEGER& red, INTEGER& green, INTEGER& blue) { YYColourToRGB(YYModelColour(1), red, green, blue); }

INTEGER currentPaletteIndex() { return std::clamp(graphicsState().ColourIndex[1], 0, 255); }

// The value solid drawing stores for the current colour, by pixel mode.
INTEGER currentPixelValue()
{
    const RasterPageBlock& p = rasterPageBlock();
    const INTEGER index = graphicsState().ColourIndex[1];
    INTEGER r = 0, g = 0, b = 0;
    currentColour(r, g, b);
    switch (p.PixelMode) {
    case kRasterOneBit: return index != (hardcopyOptionBlock().Options[6] != 0 ? 223 : 0) ? 1 : 0;
    case kRasterThreePlanes: {
        INTEGER bits = 4 * (b >= 128) + 2 * (g >= 128) + (r >= 128);
        if (hardcopyOptionBlock().Options[6] == 2 && (bits == 0 || bits == 7)) bits = 7 - bits;
        return printerModelState().PrinterColourKind == 2 ? 7 - bits : bits;
    }
    case kRasterFourPlanes: return RasterColour16Map[at(currentPaletteIndex() / 16)];
    case kRasterPaletteByte: return currentPaletteIndex();
    default: return r + 256 * g + 65536 * b;
    }
}

void colourChange()
{
    RasterDrawState& s = rasterDrawState();
    s.PreviousValue = s.CurrentValue;
    s.PreviousCells = s.CurrentCells;
    YYHalftonePattern(printerModelState().PrinterColourKind, s.CurrentCells[0], s.CurrentCells[1], s.CurrentCells[2]);
    s.CurrentValue = currentPixelValue();
}

void penWidth()
{
    const RasterPageBlock& p = rasterPageBlock();
    RasterDrawState& s = rasterDrawState();
    const HardcopyOptionBlock& o = hardcopyOptionBlock();
    const DOUBLE width = o.Options[9];
    const INTEGER columns = std::max<INTEGER>(1, YYDeviceTrunc(width * p.LineResolution / 720.0 + 0.5));
    const INTEGER rows = std::max<INTEGER>(1, YYDeviceTrunc(width * p.FeedResolution / 720.0 + 0.5));
    s.PenColumnExtent = columns - 1;
    s.PenRowExtent = rows - 1;
    // On a rotated page the print line runs along the rows.
    if (o.Options[5] != 0) std::swap(s.PenColumnExtent, s.PenRowExtent);
    s.PenHalfColumnExtent = s.PenColumnExtent / 2;
    s.PenHalfRowExtent = s.PenRowExtent / 2;
}

void lineType()
{
    const RasterPageBlock& p = rasterPageBlock();
    RasterDrawState& s = rasterDrawState();
    const INTEGER type = std::clamp(graphicsState().LineType, 0, 7);
    s.DashBits = RasterDashBits[at(type)];
    s.DashLength = RasterDashLengths[at(type)];
    s.DashPosition = 0;
    s.DashStepCount = 1;
    // One pattern bit covers one point of the page.
    s.DashRepeatX = std::max<INTEGER>(1, static_cast<INTEGER>(std::lround(p.LineResolution / 72.0f)));
    s.DashRepeatY = std::max<INTEGER>(1, static_cast<INTEGER>(std::lround(p.FeedResolution / 72.0f)));
    s.LastPointX = -1;
}

void clipArea()
{
    const RasterPageBlock& p = rasterPageBlock();
    RasterDrawState& s = rasterDrawState();
    const GraphicsTransform& t = graphicsTransform();
    s.ClipLeft = std::max(0, toColumn(t.ClipXMin));
    s.ClipRight = std::min(p.LastColumn, toColumn(t.ClipXMax));
    s.ClipBottom = std::max(0, toRow(t.ClipYMin));
    s.ClipTop = std::min(p.LastRow, toRow(t.ClipYMax));
}

void scalesFromPage()
{
    const RasterPageBlock& p = rasterPageBlock();
    const GraphicsState& g = graphicsState();
    HardcopyDriverState& d = hardcopyDriverState();
    if (g.DrawableWidth > 0) d.XScale = static_cast<REAL>(p.PageWidth) / static_cast<REAL>(g.DrawableWidth);
    if (g.DrawableHeight > 0) d.YScale = static_cast<REAL>(p.PageHeight) / static_cast<REAL>(g.DrawableHeight);
}

void beginOutput()
{
    DriverParameterBlock& block = driverParameterBlock();
    if (block.Value > 0) {
        LibraryErrorState& errors = libraryErrorState();
        const INTEGER kept = errors.LastErrorNumber;
        errors.LastErrorNumber = 0;
        outputUnitHooks().open(2);
        if (errors.LastErrorNumber != 0 || outputUnitHooks().status() == -1) {
            graphicsState().HardcopyActive = 0;
        } else {
            errors.LastErrorNumber = kept;
            RasterPageBlock& p = rasterPageBlock();
            p.LastColumn = p.PageWidth - 1;
            p.LastRow = p.PageHeight - 1;
            p.Layout = p.PixelMode == kRasterRgb            ? kRasterWords
                       : p.PixelMode == kRasterPaletteByte ? kRasterBytes
                       : (p.PixelMode == kRasterThreePlanes || p.PixelMode == kRasterFourPlanes) ? kRasterPlanes
                                                                                                  : kRasterBits;
            // The colour count first: the cells of a two-colour page differ from the others.
            hardcopyFillState().HardcopyColours = 1 << std::min(p.PixelMode, 8);
            RasterDrawState& s = rasterDrawState();
            YYHalftonePattern(printerModelState().PrinterColourKind, s.CurrentCells[0], s.CurrentCells[1],
                              s.CurrentCells[2]);
            YYHalftoneTables();
            s.LastPointX = s.LastPointY = -9999;
            // Until the first clip area arrives the whole page may be drawn on.
            s.ClipLeft = s.ClipBottom = 0;
            s.ClipRight = p.LastColumn;
            s.ClipTop = p.LastRow;
        }
    }
    scalesFromPage();
}

void clearPage()
{
    RasterPageBlock& p = rasterPageBlock();
    const std::size_t n = std::min<std::size_t>(p.Words.size(), static_cast<std::size_t>(std::max(0, p.ClearableWords)));
    std::fill_n(p.Words.begin(), n, static_cast<std::uint32_t>(p.ClearValue));
}

void polyline()
{
    DriverParameterBlock& b = driverParameterBlock();
    RasterDrawState& s = rasterDrawState();
    hardcopyJobState().PageOpen = -1;
    const INTEGER n = std::min<INTEGER>(
        b.Count, static_cast<INTEGER>(std::min(b.PolygonX.size(), b.PolygonY.size())));
    if (n <= 0) return;
    INTEGER x = toColumn(b.PolygonX[0]), y = toRow(b.PolygonY[0]);
    bool continued = s.LastPointX == x && s.LastPointY == y;
    for (INTEGER i = 1; i < n; ++i) {
        const INTEGER nx = toColumn(b.PolygonX[at(i)]), ny = toRow(b.PolygonY[at(i)]);
        YYRasterLine(x, y, nx, ny, continued ? kTrue : kFalse);
        continued = true;
        x = nx;
        y = ny;
    }
    s.LastPointX = x;
    s.LastPointY = y;
}

void triangleFill()
{
    const DriverParameterBlock& b = driverParameterBlock();
    const RasterDrawState& s = rasterDrawState();
    const INTEGER x1 = toColumn(b.X1), y1 = toRow(b.Y1), x2 = toColumn(b.X2), y2 = toRow(b.Y2);
    const INTEGER x3 = toColumn(b.X3), y3 = toRow(b.Y3);
    const auto slope = [](INTEGER xa, INTEGER ya, INTEGER xb, INTEGER yb) {
        return ya != yb ? static_cast<REAL>(xa - xb) / static_cast<REAL>(ya - yb) : 0.0f;
    };
    const REAL s12 = slope(x1, y1, x2, y2), s23 = slope(x2, y2, x3, y3), s13 = slope(x1, y1, x3, y3);
    const auto along = [](INTEGER x, INTEGER y, INTEGER yFrom, REAL slope) {
        return YYDeviceTrunc(static_cast<REAL>(x) + static_cast<REAL>(y - yFrom) * slope);
    };
    for (INTEGER y = std::min(y3, s.ClipTop); y >= std::max(y1, s.ClipBottom); --y) {
        INTEGER xa = 0, xb = 0;
        if (y < y2) {
            xa = along(x2, y, y2, s12);
            xb = along(x3, y, y3, s13);
        } else if (y > y2) {
            xa = along(x3, y, y3, s13);
            xb = along(x3, y, y3, s23);
        } else if (y1 == y2) {
            xa = x1;
            xb = x2;
        } else if (y2 == y3) {
            xa = x2;
            xb = x3;
        } else {
            xa = x2;
            xb = along(x3, y2, y3, s13);
        }
        YYRasterSpan(std::max(s.ClipLeft, std::min(xa, xb)), std::min(s.ClipRight, std::max(xa, xb)), y);
    }
}

void quadFill()
{
    const DriverParameterBlock& b = driverParameterBlock();
    const RasterDrawState& s = rasterDrawState();
    const INTEGER x1 = toColumn(b.X1), y1 = toRow(b.Y1), x2 = toColumn(b.X2), y2 = toRow(b.Y2);
    const INTEGER x3 = toColumn(b.X3), y3 = toRow(b.Y3), x4 = toColumn(b.X4), y4 = toRow(b.Y4);
    const INTEGER bottom = std::max(s.ClipBottom, std::min(y1, y2));
    const INTEGER top = std::min(s.ClipTop, std::max(y3, y4));
    if (bottom == top) {
        YYRasterSpan(std::max(s.ClipLeft, std::min(x1, x4)), std::min(s.ClipRight, std::max(x2, x3)), bottom);
        return;
    }
    for (INTEGER y = top; y >= bottom; --y) {
        if (b.Value != 1) {
            YYRasterSpan(std::max(s.ClipLeft, YYEdgeCrossing(x1, y1, x4, y4, y)),
                         std::min(s.ClipRight, YYEdgeCrossing(x2, y2, x3, y3, y)), y);
            continue;
        }
        // Sides 1-4 and 2-3 vertical: the slanted sides 1-2 and 4-3 cut the span in the rows
        // beyond the vertical sides' ends.
        INTEGER left = std::max(s.ClipLeft, x1), right = std::min(s.ClipRight, x2);
        const bool a = y < y1 || y > y4, c = y < y2 || y > y3;
        if (a || c) {
            const INTEGER e1 = YYEdgeCrossing(x1, y1, x2, y2, y), e2 = YYEdgeCrossing(x4, y4, x3, y3, y);
            const bool in1 = e1 >= left && e1 <= right, in2 = e2 >= left && e2 <= right;
            if (in1 && in2) {
                if (a) left = std::min(e1, e2);
                if (c) right = std::max(e1, e2);
            } else if (in1) {
                if (y2 < y1) {
                    if (a) left = e1;
                } else if (c) {
                    right = e1;
                }
            } else if (in2) {
                if (y4 < y3) {
                    if (a) left = e2;
                } else if (c) {
                    right = e2;
                }
            }
        }
        YYRasterSpan(left, right, y);
    }
}

void fill(INTEGER op)
{
    DriverParameterBlock& b = driverParameterBlock();
    GraphicsState& g = graphicsState();
    RasterDrawState& s = rasterDrawState();
    if (b.Value == -1) return;
    hardcopyJobState().PageOpen = -1;
    if (g.FillStyle < 3) {
        if (op == OpEllipseFill) b.Value = -1;
        return;
    }
    s.HalftoneFlag = g.FillStyle == 3 && g.ColourIndex[0] != g.ColourIndex[1];
    if (g.StrokeTextActive != 0) {
        // Stroke text filled as polygons is drawn solid, not in a halftone of its colour.
        s.FillCellA = g.ColourIndex[1] != 0 ? 0xFFFFFFFFU : 0U;
        if (hardcopyOptionBlock().Options[6] != 0) s.FillCellA = ~s.FillCellA;
    } else {
        s.FillCellA = s.CurrentCells[0];
    }
    s.FillCellB = s.HalftoneFlag ? s.PreviousCells[0] : s.FillCellA;
    switch (op) {
    case OpEllipseFill:
    case OpSectorFill:
    case OpPolygonFill:
        // The graphics layer draws the fill as horizontal lines, one per pixel row, which come
        // back here as spans.
        g.LayerFillRequest[1] = 1;
        hardcopyFillState().HardcopyFillSpacing =
            graphicsTransform().DrawableYLimit / static_cast<REAL>(std::max(1, rasterPageBlock().PageHeight));
        break;
    case OpRectangleFill: {
        const INTEGER x1 = toColumn(b.X1), x2 = toColumn(b.X2);
        for (INTEGER y = std::max(toRow(b.Y1), s.ClipBottom); y <= std::min(toRow(b.Y2), s.ClipTop); ++y)
            YYRasterSpan(x1, x2, y);
        break;
    }
    case OpTriangleFill: triangleFill(); break;
    case OpQuadFill: quadFill(); break;
    default: break;
    }
}

void point()
{
    const DriverParameterBlock& b = driverParameterBlock();
    RasterDrawState& s = rasterDrawState();
    hardcopyJobState().PageOpen = -1;
    const INTEGER x = toColumn(b.X1), y = toRow(b.Y1);
    if (y >= s.ClipBottom && y <= s.ClipTop)
        YYRasterSpanSet(s.CurrentValue, std::max(s.ClipLeft, x - s.PenHalfColumnExtent), y,
                        std::min(s.ClipRight, x - s.PenHalfColumnExtent + s.PenColumnExtent));
    s.LastPointX = x;
    s.LastPointY = y;
}

void image()
{
    DriverParameterBlock& b = driverParameterBlock();
    const RasterDrawState& s = rasterDrawState();
    const std::int64_t w = b.IntX2, h = b.IntY2;
    std::vector<INTEGER> pixels;
    if (w > 0 && h > 0 && w * h <= std::numeric_limits<INTEGER>::max()) {
        try {
            pixels.assign(static_cast<std::size_t>(w * h), 0);
        } catch (const std::bad_alloc&) {
            pixels.clear();
        }
    }
    LibraryErrorState& errors = libraryErrorState();
    const INTEGER keptError = errors.LastErrorNumber, keptMode = errors.ReportMode;
    errors.LastErrorNumber = 0;
    errors.ReportMode = 0;
    rasterRendererHooks().loadImage(stringWorkBuffer().trimmed(), pixels);
    errors.ReportMode = keptMode;
    const INTEGER error = errors.LastErrorNumber;
    if (error != 0) {
        b.Value = error;
        b.Count = (error == 1 || error == 2) ? errors.FileDetailCode : errors.SystemDetailCode;
        return;
    }
    errors.LastErrorNumber = keptError;
    b.Value = 0;
    if (pixels.empty()) return;
    hardcopyJobState().PageOpen = -1;
    YYRasterDitherCacheReset();
    const std::int64_t rows = std::int64_t{s.ClipTop} - s.ClipBottom + 1, cols = std::int64_t{s.ClipRight} - s.ClipLeft + 1;
    if (rows <= 0 || cols <= 0) return;
    const INTEGER angle = graphicsTransform().PageAngle;
    for (INTEGER r = s.ClipBottom; r <= s.ClipTop; ++r) {
        const std::int64_t down = std::int64_t{s.ClipTop} - r, up = std::int64_t{r} - s.ClipBottom;
        for (INTEGER c = s.ClipLeft; c <= s.ClipRight; ++c) {
            const std::int64_t across = std::int64_t{c} - s.ClipLeft;
            std::int64_t k = 0;
            switch (angle) {
            case 0: k = (down * h / rows) * w + across * w / cols + 1; break;
            case 90: k = up * w / rows + (across * h / cols) * w + 1; break;
            case 180: k = (h - down * h / rows) * w - across * w / cols; break;
            case 270: k = (w * h - up * w / rows) - (across * h / cols) * w; break;
            default: return;
            }
            if (k >= 1 && k <= w * h) YYRasterDitherPixel(c, r, pixels[static_cast<std::size_t>(k - 1)]);
        }
    }
}

void shadedPolygon()
{
    const RasterDrawState& s = rasterDrawState();
    hardcopyJobState().PageOpen = -1;
    YYShadedPolygonPixels(&toColumn, &toRow);
    YYRasterDitherCacheReset();
    YYShadedPolygonFill(1, s.ClipLeft, s.ClipBottom, s.ClipRight, s.ClipTop, &YYRasterDitherPixel, nullptr);
}

void initialise()
{
    YYDriverReset();
    rasterPageBlock().TotalWords = 0;
    DeviceCapabilityTable& caps = deviceCapabilityTable();
    caps.ShadeFillLevel[1] = 1;
    caps.TrueColour[1] = 1;
    caps.PlatformLevel[1] = 2;
    caps.TextAngles[1] = 0;
    caps.LineTypeCount[1] = 0;
    caps.DeviceTextThreshold[1] = 0.0f;
    // No device text: the graphics layer draws boxes and spaces every character itself.
    HardcopyTextScaling& text = hardcopyTextScaling();
    text.TextBoxFlag = 0;
    text.TextSpacingFlag = 0;
}

}  // namespace

RasterRendererHooks& rasterRendererHooks()
{
    static RasterRendererHooks hooks = fallbackHooks();
    return hooks;
}

void YYRasterRendererFallbacks() { rasterRendererHooks() = fallbackHooks(); }

void YYRasterDriver(INTEGER op)
{
    DriverParameterBlock& b = driverParameterBlock();
    RasterDrawState& s = rasterDrawState();
    switch (op) {
    case OpInit: initialise(); break;
    case OpLine: {
        hardcopyJobState().PageOpen = -1;
        const INTEGER x1 = toColumn(b.X1), y1 = toRow(b.Y1), x2 = toColumn(b.X2), y2 = toRow(b.Y2);
        if (graphicsState().LayerFillRequest[1] != 0) {
            YYRasterSpan(std::min(x1, x2), std::max(x1, x2), y1);
        } else {
            YYRasterLine(x1, y1, x2, y2, (s.LastPointX == x1 && s.LastPointY == y1) ? kTrue : kFalse);
            s.LastPointX = x2;
            s.LastPointY = y2;
        }
        break;
    }
    case OpColour:
    case OpColourRestore: colourChange(); break;
    case OpEllipseFill:
    case OpQuadFill:
    case OpRectangleFill:
    case OpTriangleFill:
    case OpSectorFill:
    case OpPolygonFill: fill(op); break;
    case OpClear: clearPage(); break;
    case OpBeginOutput: beginOutput(); break;
    case OpEndOutput: {
        outputUnitHooks().close(2);
        RasterPageBlock& p = rasterPageBlock();
        p.Words.clear();
        p.Words.shrink_to_fit();
        p.TotalWords = p.ClearableWords = 0;
        break;
    }
    case OpClipArea: clipArea(); break;
    case OpPoint: point(); break;
    case OpLineType: lineType(); break;
    case OpLineWidth: penWidth(); break;
    case OpPolyline: polyline(); break;
    case OpImage: image(); break;
    case OpShadedPolygon: shadedPolygon(); break;
    default: break;
    }
}

void YYRasterPixel(INTEGER value, INTEGER x, INTEGER y)
{
    if (!insidePage(x, y)) return;
    RasterPageBlock& p = rasterPageBlock();
    const auto word = [&p](std::int64_t index) -> std::uint32_t* {
        return index >= 0 && static_cast<std::uint64_t>(index) < p.Words.size() ? &p.Words[static_cast<std::size_t>(index)]
                                                                                 : nullptr;
    };
    const std::int64_t row = std::int64_t{y} * p.RowStride;
    switch (p.Layout) {
    case kRasterBits:
    case kRasterPlanes: {
        const std::uint32_t bit = 1U << (x % 32);
        const INTEGER planes = p.Layout == kRasterBits ? 1 : p.Planes;
        for (INTEGER k = 0; k < planes; ++k) {
            std::uint32_t* w = word(std::int64_t{k} * p.PlaneStride + row + x / 32);
            if (!w) return;
            const bool set = p.Layout == kRasterBits ? value != 0 : ((value >> k) & 1) != 0;
            *w = set ? (*w | bit) : (*w & ~bit);
        }
        break;
    }
    case kRasterBytes:
        if (std::uint32_t* w = word(row + x / 4)) {
            const unsigned shift = 8U * static_cast<unsigned>(x % 4);
            *w = (*w & ~(0xFFU << shift)) | ((static_cast<std::uint32_t>(value) & 0xFFU) << shift);
        }
        break;
    default:
        if (std::uint32_t* w = word(row + x)) *w = static_cast<std::uint32_t>(value);
        break;
    }
}

void YYRasterSpanSet(INTEGER value, INTEGER x1, INTEGER y, INTEGER x2)
{
    RasterPageBlock& p = rasterPageBlock();
    if (y < 0 || y > p.LastRow) return;
    x1 = std::max(x1, 0);
    x2 = std::min(x2, p.LastColumn);
    if (x2 < x1) return;
    if (p.Layout == kRasterWords) {
        const std::int64_t start = std::int64_t{y} * p.RowStride + x1, end = start + (x2 - x1) + 1;
        if (start < 0 || static_cast<std::uint64_t>(end) > p.Words.size()) return;
        std::fill(p.Words.begin() + start, p.Words.begin() + end, static_cast<std::uint32_t>(value));
        return;
    }
    for (INTEGER x = x1; x <= x2; ++x) YYRasterPixel(value, x, y);
}

void YYRasterSpan(INTEGER x1, INTEGER x2, INTEGER y)
{
    const RasterPageBlock& p = rasterPageBlock();
    const RasterDrawState& s = rasterDrawState();
    if (y < std::max(0, s.ClipBottom) || y > std::min(p.LastRow, s.ClipTop)) return;
    x1 = std::max({x1, s.ClipLeft, 0});
    x2 = std::min({x2, s.ClipRight, p.LastColumn});
    if (x2 < x1) return;
    switch (p.PixelMode) {
    case kRasterOneBit:
        for (INTEGER x = x1; x <= x2; ++x)
            YYRasterPixel(bitOf(x % 2 == 0 ? s.FillCellA : s.FillCellB, x, y) ? 1 : 0, x, y);
        break;
    case kRasterThreePlanes:
        for (INTEGER x = x1; x <= x2; ++x) {
            const auto& cells = (s.HalftoneFlag && (x + y) % 2 != 0) ? s.PreviousCells : s.CurrentCells;
            YYRasterPixel(bitOf(cells[0], x, y) + 2 * bitOf(cells[1], x, y) + 4 * bitOf(cells[2], x, y), x, y);
        }
        break;
    default:
        if (!s.HalftoneFlag) {
            YYRasterSpanSet(s.CurrentValue, x1, y, x2);
            break;
        }
        for (INTEGER x = x1; x <= x2; ++x) YYRasterPixel((x + y) % 2 == 0 ? s.PreviousValue : s.CurrentValue, x, y);
        break;
    }
}

namespace {

// One copy of a Bresenham line, along its major axis; the dash state is passed in and out.
struct DashState {
    INTEGER position, count;
};

void dashStep(DashState& d, INTEGER repeat)
{
    const RasterDrawState& s = rasterDrawState();
    if (++d.count > repeat) {
        d.count = 1;
        if (++d.position >= s.DashLength) d.position = 0;
    }
}

}  // namespace

void YYRasterLine(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2, LOGICAL continued)
{
    RasterDrawState& s = rasterDrawState();
    const bool skipFirst = isTrue(continued);
    const bool solid = graphicsState().LineType == 0;
    if (solid && y1 == y2) {
        INTEGER a = std::min(x1, x2), b = std::max(x1, x2);
        if (skipFirst) {
            if (x1 == x2) return;
            if (x1 < x2) a = x1 + 1;
            else b = x1 - 1;
        }
        a = std::max(a, s.ClipLeft);
        b = std::min(b, s.ClipRight);
        const INTEGER from = std::max(s.ClipBottom, y1 - s.PenHalfRowExtent);
        const INTEGER to = std::min(s.ClipTop, y1 - s.PenHalfRowExtent + s.PenRowExtent);
        for (INTEGER row = from; row <= to; ++row) YYRasterSpanSet(s.CurrentValue, a, row, b);
        return;
    }
    if (solid && x1 == x2) {
        INTEGER a = std::min(y1, y2), b = std::max(y1, y2);
        if (skipFirst) {
            if (y1 == y2) return;
            if (y1 < y2) a = y1 + 1;
            else b = y1 - 1;
        }
        a = std::max(a, s.ClipBottom);
        b = std::min(b, s.ClipTop);
        const INTEGER from = std::max(s.ClipLeft, x1 - s.PenHalfColumnExtent);
        const INTEGER to = std::min(s.ClipRight, x1 - s.PenHalfColumnExtent + s.PenColumnExtent);
        for (INTEGER column = from; column <= to; ++column)
            for (INTEGER row = a; row <= b; ++row) YYRasterPixel(s.CurrentValue, column, row);
        return;
    }
    // Bresenham, once per pen offset across the line; 64-bit error terms for lines of any length.
    const std::int64_t dx = std::abs(std::int64_t{x2} - x1), dy = std::abs(std::int64_t{y2} - y1);
    const INTEGER sx = x1 <= x2 ? 1 : -1, sy = y1 <= y2 ? 1 : -1;
    const bool steep = dx < dy;
    const std::int64_t major = steep ? dy : dx, minor = steep ? dx : dy;
    const INTEGER copies = steep ? s.PenColumnExtent : s.PenRowExtent;
    const INTEGER half = steep ? s.PenHalfColumnExtent : s.PenHalfRowExtent;
    const INTEGER repeat = steep ? s.DashRepeatY : s.DashRepeatX;
    const INTEGER minorLow = steep ? s.ClipLeft : s.ClipBottom, minorHigh = steep ? s.ClipRight : s.ClipTop;
    const INTEGER majorStep = steep ? sy : sx, minorStep = steep ? sx : sy;
    const DashState entry{s.DashPosition, s.DashStepCount};
    DashState left = entry;
    for (INTEGER k = 0; k <= copies; ++k) {
        DashState d = entry;
        INTEGER m = steep ? y1 : x1;                           // along the major axis
        INTEGER n = (steep ? x1 : y1) - half + k;              // across it
        std::int64_t e = 2 * minor - major;
        std::int64_t steps = major + 1;
        const auto advance = [&] {
            m += majorStep;
            if (e >= 0) {
                const INTEGER next = n + minorStep;
                // A step across is held at the clip edge the copy is on.
                if (!(n >= minorLow && n <= minorHigh && (next < minorLow || next > minorHigh))) n = next;
                e += 2 * (minor - major);
            } else {
                e += 2 * minor;
            }
        };
        if (skipFirst) {
            advance();
            --steps;
        }
        for (; steps > 0; --steps) {
            const INTEGER x = steep ? n : m, y = steep ? m : n;
            if (((s.DashBits >> d.position) & 1) != 0 && insideClip(x, y)) YYRasterPixel(s.CurrentValue, x, y);
            dashStep(d, repeat);
            if (steps > 1) advance();
        }
        left = d;
    }
    s.DashPosition = left.position;
    s.DashStepCount = left.count;
}

INTEGER YYEdgeCrossing(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2, INTEGER y)
{
    const std::int64_t dy = std::int64_t{y2} - y1, dx = std::int64_t{x2} - x1;
    if (dy == 0) return 32767;
    const std::int64_t x = dy > 0 ? x1 + dx * (std::int64_t{y} - y1) / dy : x2 + dx * (std::int64_t{y} - y2) / dy;
    return static_cast<INTEGER>(std::clamp<std::int64_t>(x, std::numeric_limits<INTEGER>::min(),
                                                         std::numeric_limits<INTEGER>::max()));
}

INTEGER YYRasterPixelValue(INTEGER x, INTEGER y)
{
    const RasterPageBlock& p = rasterPageBlock();
    const auto word = [&p](std::int64_t index) {
        return index >= 0 && static_cast<std::uint64_t>(index) < p.Words.size() ? p.Words[static_cast<std::size_t>(index)]
                                                                                 : static_cast<std::uint32_t>(p.ClearValue);
    };
    const bool inside = insidePage(x, y);
    const std::int64_t row = std::int64_t{y} * p.RowStride;
    switch (p.Layout) {
    case kRasterBits:
        return inside ? static_cast<INTEGER>((word(row + x / 32) >> (x % 32)) & 1U) : p.ClearValue & 1;
    case kRasterPlanes: {
        if (!inside) return p.ClearValue & ((1 << p.Planes) - 1);
        INTEGER value = 0;
        for (INTEGER k = 0; k < p.Planes; ++k)
            value |= static_cast<INTEGER>((word(std::int64_t{k} * p.PlaneStride + row + x / 32) >> (x % 32)) & 1U) << k;
        return value;
    }
    case kRasterBytes:
        return inside ? static_cast<INTEGER>((word(row + x / 4) >> (8 * (x % 4))) & 0xFFU) : p.ClearValue & 0xFF;
    default: return static_cast<INTEGER>((inside ? word(row + x) : static_cast<std::uint32_t>(p.ClearValue)) & 0xFFFFFFU);
    }
}

bool YYRasterPageAllocate(INTEGER width, INTEGER height, INTEGER pixelMode, INTEGER planes)
{
    RasterPageBlock& p = rasterPageBlock();
    const INTEGER perWord = pixelMode == kRasterRgb ? 1 : pixelMode == kRasterPaletteByte ? 4 : 32;
    const std::int64_t stride = (std::int64_t{std::max(width, 0)} + perWord - 1) / perWord;
    const std::int64_t planeWords = stride * std::max(height, 0);
    const std::int64_t total = planeWords * std::max(planes, 1);
    p.PixelMode = pixelMode;
    p.Planes = std::max(planes, 1);
    // Word offsets are INTEGERs: a page of more words cannot be addressed.
    if (width <= 0 || height <= 0 || total > std::numeric_limits<INTEGER>::max() ||
        !rasterRendererHooks().allocate(p.Words, total)) {
        p.Words.clear();
        p.PageWidth = p.PageHeight = p.RowStride = p.PlaneStride = p.TotalWords = 0;
        p.LastColumn = p.LastRow = -1;
        return false;
    }
    p.PageWidth = width;
    p.PageHeight = height;
    p.LastColumn = width - 1;
    p.LastRow = height - 1;
    p.RowStride = static_cast<INTEGER>(stride);
    p.PlaneStride = static_cast<INTEGER>(planeWords);
    p.TotalWords = static_cast<INTEGER>(total);
    return true;
}
