#include "toolkit/devices/CgmFileDriver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "toolkit/devices/CgmWriters.h"
#include "toolkit/devices/DriverSetup.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/ImageLoading.h"
#include "toolkit/devices/OutputUnit.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"
#include "toolkit/graphics/ShadedPolygons.h"

CgmFileDriverState& cgmFileDriverState()
{
    static CgmFileDriverState state;
    return state;
}

namespace {

constexpr INTEGER kUnit = 2;
// Bytes of one partition of a long-form element: the length field has 15 bits, kept even.
constexpr std::size_t kPartitionLimit = 32766;

constexpr std::array<std::array<std::string_view, 16>, 3> kFontLists{{
    {"COURIER", "COURIER_BOLD", "COURIER_ITALIC", "COURIER_BOLD_ITALIC", "HELVETICA", "HELVETICA_BOLD",
     "HELVETICA_OBLIQUE", "HELVETICA_BOLD_OBLIQUE", "TIMES_ROMAN", "TIMES_BOLD", "TIMES_ITALIC", "TIMES_BOLD_ITALIC",
     "SYMBOL", "SYMBOL", "SYMBOL", "SYMBOL"},
    {"Courier", "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique", "Helvetica", "Helvetica-Bold",
     "Helvetica-Oblique", "Helvetica-BoldOblique", "Times-Roman", "Times-Bold", "Times-Italic", "Times-BoldItalic",
     "Symbol", "Symbol", "Symbol", "Symbol"},
    {"Courier New", "Courier New Bold", "Courier New Italic", "Courier New Bold Italic", "Arial", "Arial Bold",
     "Arial Italic", "Arial Bold Italic", "Times New Roman", "Times New Roman Bold", "Times New Roman Italic",
     "Times New Roman Bold Italic", "Symbol", "Symbol Italic", "Symbol Bold", "Symbol Bold Italic"},
}};

CgmFileDriverState& st() { return cgmFileDriverState(); }
const HardcopyOptionBlock& opts() { return hardcopyOptionBlock(); }
void pageOpen() { hardcopyJobState().PageOpen = -1; }

// An element's header, in the long form from 31 bytes on (up to one partition).
void header(INTEGER elementClass, INTEGER id, std::size_t length)
{
    if (length < 31) {
        YYCgmFileElement(elementClass, id, static_cast<INTEGER>(length));
    } else {
        YYCgmFileElement(elementClass, id, 31);
        YYCgmFileWord(static_cast<INTEGER>(std::min(length, kPartitionLimit)));
    }
}

std::array<INTEGER, 3> split(INTEGER colour)
{
    std::array<INTEGER, 3> c{};
    YYColourToRGB(colour, c[0], c[1], c[2]);
    YYCgmFileColourInvert(c[0], c[1], c[2]);
    return c;
}

INTEGER packed(const std::array<INTEGER, 3>& c) { return c[0] + 256 * c[1] + 65536 * c[2]; }

// A colour element when the value differs from its cache.
void colourIfChanged(INTEGER elementClass, INTEGER id, const std::array<INTEGER, 3>& c, INTEGER& cache)
{
    if (packed(c) == cache) return;
    YYCgmFileColour(elementClass, id, c[0], c[1], c[2]);
    cache = packed(c);
}

std::array<INTEGER, 3> currentRgb() { return {st().CurrentRed, st().CurrentGreen, st().CurrentBlue}; }

INTEGER scaledLineWidth()
{
    const INTEGER page = opts().value(1) * 10;
    return page != 0 ? static_cast<INTEGER>(static_cast<std::int64_t>(st().VdcWidth) * opts().value(9) / page) : 0;
}

// A device point scaled to VDC, cut toward zero.
std::pair<INTEGER, INTEGER> vdc(REAL x, REAL y)
{
    const HardcopyDriverState& d = hardcopyDriverState();
    return {YYDeviceTrunc(static_cast<DOUBLE>(x) * d.XScale), YYDeviceTrunc(static_cast<DOUBLE>(y) * d.YScale)};
}

// A POLYLINE or POLYGON of VDC points in the long form, split into partitions when it is longer
// than one partition can say.
void pointElement(INTEGER elementClass, INTEGER id, const std::vector<std::pair<INTEGER, INTEGER>>& points)
{
    const std::size_t perPartition = kPartitionLimit / 4;
    YYCgmFileElement(elementClass, id, 31);
    std::size_t at = 0;
    do {
        const std::size_t n = std::min(perPartition, points.size() - at);
        const bool more = at + n < points.size();
        YYCgmFileWord(static_cast<INTEGER>(n * 4) | (more ? 0x8000 : 0));
        for (std::size_t k = at; k < at + n; ++k) YYCgmFilePoint(points[k].first, points[k].second);
        at += n;
    } while (at < points.size());
}

std::vector<std::pair<INTEGER, INTEGER>> polygonPoints(INTEGER count)
{
    const DriverParameterBlock& b = driverParameterBlock();
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(std::max<INTEGER>(count, 0)),
                                                std::min(b.PolygonX.size(), b.PolygonY.size()));
    std::vector<std::pair<INTEGER, INTEGER>> points;
    points.reserve(n);
    for (std::size_t k = 0; k < n; ++k) points.push_back(vdc(b.PolygonX[k], b.PolygonY[k]));
    return points;
}

void resetCaches()
{
    CgmFileDriverState& s = st();
    s.LineColour = s.TextColour = s.FillColour = s.EdgeColour = s.AuxiliaryColour = -1;
    s.EdgeType = s.EdgeWidth = s.TextAlignment = s.FontIndex = s.CharacterHeight = -1;
    s.LineJoin = s.LineCap = 0;
}

void textAlignment(INTEGER horizontal) { YYCgmTextAlignment(kCgmFileWriters, horizontal); }

void beginPicture()
{
    CgmFileDriverState& s = st();
    YYCgmPictureBegin(kCgmFileWriters, s.VdcWidth, s.VdcHeight);
    resetCaches();
    s.PictureOpen = kTrue;
    ++s.PictureCount;
    s.TextAlignment = 1;
}

// Every op that writes into a picture comes here first: after a page end, the next page's
// picture begins, with the line attributes that the new picture would otherwise lose.
void ensurePicture(INTEGER op)
{
    CgmFileDriverState& s = st();
    if (!isTrue(s.FileOpen) || isTrue(s.PictureOpen)) return;
    beginPicture();
    if (s.PictureCount > 1 && op != OpLineType && op != OpLineWidth) {
        YYCgmFileElement(5, 2, 2);
        YYCgmFileWord(YYCgmLineType(graphicsState().LineType));
        YYCgmFileElement(5, 3, 2);
        YYCgmFileWord(scaledLineWidth());
    }
}

void endPicture()
{
    if (!isTrue(st().PictureOpen)) return;
    YYCgmFileElement(0, 5, 0);
    st().PictureOpen = kFalse;
}

void opInit()
{
    if (YYDriverIdentify(9)) return;
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    YYDriverReset();
    if (driverParameterBlock().Value != -998) {
        o.Options[1] = 756;
        o.Options[2] = 540;
        o.Options[3] = o.Options[4] = o.Options[5] = 0;
        o.Options[28] = 2;
    }
    YYHardcopyDeviceFactsSet({.Capabilities = kCgmPictureCapabilities,
                              .TextBoxFlag = 1,
                              .TextSpacingFlag = 1,
                              .PrintByCommand = 0,
                              .DriverDevice = 9});
    HardcopyDriverState& d = hardcopyDriverState();
    d.ResolutionX = d.ResolutionY = 600;
    hardcopyFillState().HardcopyColours = 256;
    hardcopyJobState().OutputFile.assign("raridevu.cgm");
}

void setScales()
{
    YYScalesFromDrawable(static_cast<REAL>(st().VdcWidth), static_cast<REAL>(st().VdcHeight));
}

void opBeginOutput()
{
    const DriverParameterBlock& b = driverParameterBlock();
    CgmFileDriverState& s = st();
    const HardcopyDriverState& d = hardcopyDriverState();
    if (b.Value > 0) {
        if (!YYDriverOutputOpen(kUnit)) {
            s.FileOpen = kFalse;
            return;
        }
        std::int64_t w = static_cast<std::int64_t>(d.ResolutionX) * opts().value(1) / 72;
        std::int64_t h = static_cast<std::int64_t>(d.ResolutionY) * opts().value(2) / 72;
        const std::int64_t larger = std::max(w, h);
        if (larger > 32767) {
            w = w * 32767 / larger;
            h = h * 32767 / larger;
        }
        s.VdcWidth = static_cast<INTEGER>(w);
        s.VdcHeight = static_cast<INTEGER>(h);

        // A title of any length: the long form from 31 bytes on, at most 254 characters.
        std::string title = "ZID CGM File";
        if (b.IntX1 != 0) title = std::string(hardcopyJobState().Title.trimmed()).substr(0, 254);
        header(0, 1, title.size() + 1);
        YYCgmFileStringPad(title);
        YYCgmDescriptorHead(kCgmFileWriters);
        // The option setter stores any value; the list is the nearest one.
        const auto& names = kFontLists[static_cast<std::size_t>(std::clamp<INTEGER>(opts().value(28), 0, 2))];
        std::size_t length = 0;
        for (const std::string_view name : names) length += name.size() + 1;
        const bool pad = length % 2 != 0;
        header(1, 13, length + (pad ? 1 : 0));
        for (const std::string_view name : names) YYCgmFileString(name);
        if (pad) YYPROU(kUnit, std::string_view("\0", 1));
        YYCgmFileElement(1, 7, 2);
        YYCgmFileWord(8);
        YYCgmFileElement(1, 10, 6);
        YYPROU(kUnit, std::string_view("\0\0\0\xFF\xFF\xFF", 6));
        s.FileOpen = kTrue;
        s.PictureOpen = kFalse;
        s.PictureCount = 0;
        beginPicture();
    }
    setScales();
}

void opEndOutput()
{
    CgmFileDriverState& s = st();
    if (isTrue(s.FileOpen)) {
        endPicture();
        YYCgmFileElement(0, 2, 0);
    }
    s.FileOpen = kFalse;
    YYProuClose(kUnit);
}

void opColour()
{
    const std::array<INTEGER, 3> c = split(YYModelColour(1));
    CgmFileDriverState& s = st();
    s.CurrentRed = c[0];
    s.CurrentGreen = c[1];
    s.CurrentBlue = c[2];
    s.CurrentPacked = packed(c);
}

void opLine()
{
    const DriverParameterBlock& b = driverParameterBlock();
    pageOpen();
    colourIfChanged(5, 4, currentRgb(), st().LineColour);
    YYCgmFileElement(4, 1, 8);
    YYCgmFileCoord(b.X1, b.Y1);
    YYCgmFileCoord(b.X2, b.Y2);
}

void opPoint()
{
    const DriverParameterBlock& b = driverParameterBlock();
    pageOpen();
    colourIfChanged(5, 4, currentRgb(), st().LineColour);
    YYCgmFileElement(4, 1, 8);
    YYCgmFileCoord(b.X1, b.Y1);
    YYCgmFileCoord(b.X1, b.Y1);
}

void sectorPoints(std::vector<std::pair<INTEGER, INTEGER>>& points)
{
    const DriverParameterBlock& b = driverParameterBlock();
    const INTEGER drawableWidth = std::max<INTEGER>(graphicsState().DrawableWidth, 1);
    const DOUBLE step = std::numbers::pi / static_cast<DOUBLE>(YYDeviceTrunc(b.X2) * 75 / drawableWidth + 25);
    const auto at = [&](DOUBLE a) {
        const DOUBLE c = std::isfinite(std::cos(a)) ? std::cos(a) : 1.0, sn = std::isfinite(std::sin(a)) ? std::sin(a) : 0.0;
        return vdc(static_cast<REAL>(b.X1 + b.X2 * c), static_cast<REAL>(b.Y1 + b.Y2 * sn));
    };
    points.push_back(vdc(b.X1, b.Y1));
    if (step > 0.0 && std::isfinite(b.X3) && std::isfinite(b.Y3)) {
        // The same sequence of angles counts and writes the points; bounded like a full turn.
        DOUBLE a = b.X3;
        for (int k = 0; a < b.Y3 && k < 20000; ++k, a = b.X3 + k * step) points.push_back(at(a));
    }
    points.push_back(at(b.Y3));
}

void opFill(INTEGER op)
{
    const DriverParameterBlock& b = driverParameterBlock();
    const GraphicsState& g = graphicsState();
    const GraphicsTransform& t = graphicsTransform();
    CgmFileDriverState& s = st();
    if (b.Value == -1) return;
    pageOpen();
    const bool filled = g.FillStyle > 2;
    if (!filled && op != OpEllipseFill) return;
    std::array<INTEGER, 3> fill = currentRgb();
    if (g.FillStyle == 3) {
        const std::array<INTEGER, 3> previous = split(YYModelColour(0));
        for (std::size_t k = 0; k < 3; ++k) fill[k] = (fill[k] + previous[k]) / 2;
    }
    if (filled) colourIfChanged(5, 23, fill, s.FillColour);
    switch (op) {
    case OpEllipseFill: {
        INTEGER interior = 1;
        if (!filled) {
            interior = 4;
            YYCgmFileElement(5, 30, 2);
            YYCgmFileWord(1);
            colourIfChanged(5, 29, currentRgb(), s.EdgeColour);
            if (g.LineType != s.EdgeType) {
                YYCgmFileElement(5, 27, 2);
                YYCgmFileWord(YYCgmLineType(g.LineType));
                s.EdgeType = g.LineType;
            }
            if (opts().value(9) != s.EdgeWidth) {
                YYCgmFileElement(5, 28, 2);
                YYCgmFileWord(scaledLineWidth());
                s.EdgeWidth = opts().value(9);
            }
        }
        YYCgmFileElement(5, 22, 2);
        YYCgmFileWord(interior);
        YYCgmFileElement(4, 17, 12);
        YYCgmFileCoord(b.X1, b.Y1);
        YYCgmFileCoord(b.X1 + b.X2, b.Y1);
        YYCgmFileCoord(b.X1, b.Y1 + b.Y2);
        if (!filled) {
            YYCgmFileElement(5, 30, 2);
            YYCgmFileWord(0);
        }
        return;
    }
    default: break;
    }
    YYCgmFileElement(5, 22, 2);
    YYCgmFileWord(1);
    switch (op) {
    case OpQuadFill:
        YYCgmFileElement(4, 7, 16);
        YYCgmFileCoord(b.X1, b.Y1);
        YYCgmFileCoord(b.X2, b.Y2);
        YYCgmFileCoord(b.X3, b.Y3);
        YYCgmFileCoord(b.X4, b.Y4);
        break;
    case OpTriangleFill:
        YYCgmFileElement(4, 7, 12);
        YYCgmFileCoord(b.X1, b.Y1);
        YYCgmFileCoord(b.X2, b.Y2);
        YYCgmFileCoord(b.X3, b.Y3);
        break;
    case OpRectangleFill:
        YYCgmFileElement(4, 11, 8);
        YYCgmFileCoord(std::max(t.ClipXMin, b.X1), std::max(t.ClipYMin, b.Y1));
        YYCgmFileCoord(std::min(t.ClipXMax, b.X2), std::min(t.ClipYMax, b.Y2));
        break;
    case OpPolygonFill: pointElement(4, 7, polygonPoints(b.Count)); break;
    case OpSectorFill: {
        std::vector<std::pair<INTEGER, INTEGER>> points;
        sectorPoints(points);
        pointElement(4, 7, points);
        break;
    }
    default: break;
    }
}

INTEGER deviceFont()
{
    const TextState& text = textState();
    if (text.DeviceFontVariant >= 1 && text.DeviceFontVariant <= 4) return text.DeviceFontVariant;
    return std::clamp<INTEGER>(text.FallbackStrokeFont, 1, 4);
}

void opCharSize()
{
    CgmFileDriverState& s = st();
    const INTEGER index = YYCgmFontIndex(deviceFont(), textState().TextStyle);
    if (index != s.FontIndex) {
        YYCgmFileElement(5, 10, 2);
        YYCgmFileWord(index);
        s.FontIndex = index;
    }
    REAL w = 0.0f, h = 0.0f;
    YYRequestedCharSize(w, h);
    // The text scale is already the page's VDC units per device unit.
    const INTEGER height = YYDeviceTrunc(h * 0.55f * hardcopyTextScaling().ScaleY);
    if (height != s.CharacterHeight) {
        YYCgmFileElement(5, 15, 2);
        YYCgmFileWord(height);
        s.CharacterHeight = height;
    }
}

void opTextAngle()
{
    const TextState& text = textState();
    REAL w = 0.0f, h = 0.0f;
    YYRequestedCharSize(w, h);
    const DOUBLE width = static_cast<DOUBLE>(w) * hardcopyDriverState().XScale;
    YYCgmFileElement(5, 16, 8);
    YYCgmFilePoint(YYDeviceTrunc(-text.TextUpSin * 1.2 * width), YYDeviceTrunc(text.TextDirCos * 1.2 * width));
    YYCgmFilePoint(YYDeviceTrunc(text.TextDirCos * width), YYDeviceTrunc(text.TextDirSin * width));
}

void opText()
{
    const DriverParameterBlock& b = driverParameterBlock();
    const TextState& text = textState();
    CgmFileDriverState& s = st();
    pageOpen();
    const bool fontMode1 = text.CharacterSpacing == 1;
    const bool opaque = text.TextStacked == 0 && !fontMode1 && (text.TextStyle & kTextBox) != 0;
    if (opaque) {
        YYCgmFileElement(3, 4, 2);
        YYCgmFileWord(0);
        colourIfChanged(3, 3, split(YYModelColour(0)), s.AuxiliaryColour);
    }
    colourIfChanged(5, 14, currentRgb(), s.TextColour);
    const INTEGER justification = std::clamp<INTEGER>(text.TextJustification, 0, 2);
    const INTEGER alignment = fontMode1 ? 1 : justification + 1;
    if (alignment != s.TextAlignment) {
        textAlignment(alignment);
        s.TextAlignment = alignment;
    }
    REAL px = b.X1 + 0.38f * text.CharLineX, py = b.Y1 - 0.38f * text.CharLineY;
    const auto n = static_cast<std::size_t>(std::clamp<INTEGER>(b.IntX1, 0, 254));
    const std::string_view chars = stringWorkBuffer().view().substr(0, n);
    if (fontMode1) {
        // The true length of the element: point, final flag, count byte and characters.
        header(4, 4, 7 + n);
    } else {
        const REAL ex = px - b.X1 + b.X3, ey = py - b.Y1 + b.Y3;
        if (justification == 1) {
            px = 0.5f * (px + ex);
            py = 0.5f * (py + ey);
        } else if (justification == 2) {
            px = ex;
            py = ey;
        }
        header(4, 5, 11 + n);
        const DOUBLE dx = static_cast<DOUBLE>(b.X3) - b.X1, dy = static_cast<DOUBLE>(b.Y3) - b.Y1;
        YYCgmFileWord(YYDeviceTrunc(std::sqrt(dx * dx + dy * dy) * hardcopyDriverState().XScale));
        YYCgmFileWord(YYDeviceTrunc(static_cast<DOUBLE>(std::max<INTEGER>(s.CharacterHeight, 0)) * 1.25));
    }
    YYCgmFileCoord(px, py);
    YYCgmFileWord(1);
    YYCgmFileStringPad(chars);
    if (opaque) {
        YYCgmFileElement(3, 4, 2);
        YYCgmFileWord(1);
    }
}

void opClipArea()
{
    const GraphicsTransform& t = graphicsTransform();
    YYCgmFileElement(3, 6, 2);
    YYCgmFileWord(1);
    YYCgmFileElement(3, 5, 8);
    YYCgmFileCoord(t.ClipXMin, t.ClipYMin);
    YYCgmFileCoord(t.ClipXMax, t.ClipYMax);
}

// The pixel of cell (row r, column c), both from 1, of an image of nx x ny cells turned by the
// page angle, as a 0-based index into the image's own rows.
std::size_t cellPixel(INTEGER angle, std::int64_t nx, std::int64_t ny, std::int64_t r, std::int64_t c)
{
    std::int64_t index = 0;
    switch (angle) {
    case 90: index = (ny - r + 1) + (c - 1) * ny; break;
    case 180: index = nx * ny - (r - 1) * nx - (c - 1); break;
    case 270: index = r + (nx - c) * ny; break;
    default: index = (r - 1) * nx + c; break;
    }
    return static_cast<std::size_t>(index - 1);
}

void opImage()
{
    DriverParameterBlock& b = driverParameterBlock();
    const GraphicsTransform& t = graphicsTransform();
    const bool turned = t.PageAngle == 90 || t.PageAngle == 270;
    const INTEGER nx = turned ? b.IntY2 : b.IntX2, ny = turned ? b.IntX2 : b.IntY2;
    const std::vector<INTEGER> pixels = YYDriverImagePixels(nx, ny, std::int64_t{1} << 26);
    if (pixels.empty()) return;
    pageOpen();
    YYCgmFileElement(4, 9, 31);
    YYCgmFileWord(0x8014);
    YYCgmFileCoord(t.ClipXMin, t.ClipYMax);
    YYCgmFileCoord(t.ClipXMax, t.ClipYMin);
    YYCgmFileCoord(t.ClipXMax, t.ClipYMax);
    YYCgmFileWord(nx);
    YYCgmFileWord(ny);
    YYCgmFileWord(8);
    YYCgmFileWord(0);
    std::string row;
    for (INTEGER r = 1; r <= ny; ++r) {
        row.clear();
        INTEGER c = 1;
        while (c <= nx) {
            const INTEGER colour = pixels[cellPixel(t.PageAngle, nx, ny, r, c)];
            INTEGER run = 1;
            while (c + run <= nx && run < 32767 && pixels[cellPixel(t.PageAngle, nx, ny, r, c + run)] == colour) ++run;
            row += static_cast<char>((run >> 8) & 0xFF);
            row += static_cast<char>(run & 0xFF);
            row += static_cast<char>(colour & 0xFF);
            row += static_cast<char>((colour >> 8) & 0xFF);
            row += static_cast<char>((colour >> 16) & 0xFF);
            c += run;
        }
        if (row.size() % 2 != 0) row += '\0';
        // A row longer than one partition goes out in several (each an even number of bytes).
        for (std::size_t at = 0; at < row.size(); at += kPartitionLimit) {
            const std::size_t n = std::min(kPartitionLimit, row.size() - at);
            const bool more = r < ny || at + n < row.size();
            YYCgmFileWord(static_cast<INTEGER>(n) | (more ? 0x8000 : 0));
            outputUnitState().OutputStatus = 0;
            YYPROU(kUnit, std::string_view(row).substr(at, n));
            if (outputUnitState().OutputStatus != 0) {
                b.Value = 2;
                b.Count = libraryErrorState().FileDetailCode;
                return;
            }
        }
    }
}

void opShadedPolygon()
{
    pageOpen();
    YYShadedPolygonPixels([](REAL x) { return vdc(x, 0).first; }, [](REAL y) { return vdc(0, y).second; });
    YYShadedPolygonFill(2, 0, 0, 0, 0, nullptr, &YYCgmFileGradientTriangles);
}

}  // namespace

INTEGER YYCgmFontIndex(INTEGER font, INTEGER style)
{
    INTEGER offset = style & 3;
    // The Symbol names run regular, italic, bold, bold italic.
    if (font == 4 && (offset == 1 || offset == 2)) offset = 3 - offset;
    return 4 * std::clamp<INTEGER>(font, 1, 4) + offset - 3;
}

void XXCGM(INTEGER op)
{
    DriverParameterBlock& b = driverParameterBlock();
    const GraphicsState& g = graphicsState();
    switch (op) {
    case OpLine:
    case OpEllipseFill:
    case OpQuadFill:
    case OpRectangleFill:
    case OpTriangleFill:
    case OpSectorFill:
    case OpPolygonFill:
    case OpCharSize:
    case OpText:
    case OpClipArea:
    case OpPoint:
    case OpLineType:
    case OpLineWidth:
    case OpPolyline:
    case OpTextAngle:
    case OpLineJoin:
    case OpLineCap:
    case OpImage:
    case OpShadedPolygon:
        if (!(b.Value == -1 && op >= OpEllipseFill && op <= OpPolygonFill)) ensurePicture(op);
        break;
    default: break;
    }
    switch (op) {
    case OpInit: opInit(); break;
    case OpLine: opLine(); break;
    case OpColour:
    case OpColourRestore: opColour(); break;
    case OpEllipseFill:
    case OpQuadFill:
    case OpRectangleFill:
    case OpTriangleFill:
    case OpSectorFill:
    case OpPolygonFill: opFill(op); break;
    case OpBeginOutput: opBeginOutput(); break;
    case OpEndOutput: opEndOutput(); break;
    case OpEndPage:
        hardcopyJobState().PageOpen = 0;
        endPicture();
        break;
    case OpCharSize: opCharSize(); break;
    case OpText: opText(); break;
    case OpClipArea: opClipArea(); break;
    case OpPoint: opPoint(); break;
    case OpLineType:
        YYCgmFileElement(5, 2, 2);
        YYCgmFileWord(YYCgmLineType(g.LineType));
        break;
    case OpLineWidth:
        YYCgmFileElement(5, 3, 2);
        YYCgmFileWord(scaledLineWidth());
        break;
    case OpPolyline:
        pageOpen();
        colourIfChanged(5, 4, currentRgb(), st().LineColour);
        pointElement(4, 1, polygonPoints(b.Count));
        break;
    case OpTextAngle: opTextAngle(); break;
    case OpLineJoin:
        if (opts().value(10) != st().LineJoin) {
            YYCgmFileElement(5, 38, 2);
            YYCgmFileWord(opts().value(10) + 2);
            st().LineJoin = opts().value(10);
        }
        break;
    case OpLineCap:
        if (opts().value(11) != st().LineCap) {
            YYCgmFileElement(5, 37, 4);
            YYCgmFileWord(opts().value(11) + 2);
            YYCgmFileWord(1);
            st().LineCap = opts().value(11);
        }
        break;
    case OpImage: opImage(); break;
    case OpShadedPolygon: opShadedPolygon(); break;
    default: break;
    }
}
