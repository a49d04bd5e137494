#include "toolkit/devices/PictureRecorder.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "toolkit/devices/CgmFileDriver.h"
#include "toolkit/devices/CgmWriters.h"
#include "toolkit/devices/DriverSetup.h"
#include "toolkit/devices/ImageLoading.h"
#include "toolkit/devices/MetafileSlots.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"
#include "toolkit/graphics/ShadedPolygons.h"

PictureRecorderState& pictureRecorderState()
{
    static PictureRecorderState state = [] {
        PictureRecorderState s;
        for (auto& cache : s.AttributeCache) cache.fill(-1);
        return s;
    }();
    return state;
}

namespace {

enum CacheEntry : std::size_t {
    kLineColour, kTextColour, kFillColour, kEdgeColour, kAuxiliaryColour, kFontIndex, kCharHeight, kTextAlign,
    kEdgeWidth, kEdgeType,
};

constexpr std::array<std::string_view, 16> kFontList{
    "Courier New", "Courier New Bold", "Courier New Italic", "Courier New Bold Italic", "Arial", "Arial Bold",
    "Arial Italic", "Arial Bold Italic", "Times New Roman", "Times New Roman Bold", "Times New Roman Italic",
    "Times New Roman Bold Italic", "Symbol", "Symbol Italic", "Symbol Bold", "Symbol Bold Italic",
};

PictureRecorderState& rs() { return pictureRecorderState(); }

INTEGER slotNumber() { return std::clamp<INTEGER>(graphicsState().DrawableId, 1, 20); }
INTEGER& cache(CacheEntry e) { return rs().AttributeCache[static_cast<std::size_t>(slotNumber() - 1)][e]; }
MetafileSlot& slot() { return metafileSlotTable().Slots[static_cast<std::size_t>(slotNumber() - 1)]; }

INTEGER packed(INTEGER r, INTEGER g, INTEGER b) { return r + 256 * g + 65536 * b; }

void colourIfChanged(INTEGER elementClass, INTEGER id, INTEGER r, INTEGER g, INTEGER b, CacheEntry e)
{
    if (packed(r, g, b) == cache(e)) return;
    YYCgmColour(elementClass, id, r, g, b);
    cache(e) = packed(r, g, b);
}

void lineColour()
{
    colourIfChanged(5, 4, rs().CurrentRed, rs().CurrentGreen, rs().CurrentBlue, kLineColour);
}

void opInit() { YYDeviceCapabilitiesSet(0, kCgmPictureCapabilities); }

void ellipse(INTEGER interior)
{
    const DriverParameterBlock& b = driverParameterBlock();
    const GraphicsTransform& t = graphicsTransform();
    YYCgmElement(5, 22, 2);
    YYCgmWord(interior);
    const DOUBLE divisor = static_cast<DOUBLE>(t.DrawableXLimit) * t.AreaWidth;
    const DOUBLE dy = divisor != 0.0 ? static_cast<DOUBLE>(b.X3) * b.X2 * rs().SlotAspect * t.DrawableYLimit *
                                           t.AreaHeight / divisor
                                     : 0.0;
    YYCgmElement(4, 17, 12);
    YYCgmPoint(b.IntX1, b.IntY1);
    YYCgmPoint(b.IntX1 + b.IntX2, b.IntY1);
    YYCgmPoint(b.IntX1, b.IntY1 + YYDeviceTrunc(dy));
}

void opEllipse()
{
    const GraphicsState& g = graphicsState();
    YYCgmElement(5, 30, 2);
    YYCgmWord(1);
    colourIfChanged(5, 29, rs().CurrentRed, rs().CurrentGreen, rs().CurrentBlue, kEdgeColour);
    if (g.LineType != cache(kEdgeType)) {
        YYCgmElement(5, 27, 2);
        YYCgmWord(YYCgmLineType(g.LineType));
        cache(kEdgeType) = g.LineType;
    }
    if (g.MetafileLineWidth * 4 != cache(kEdgeWidth)) {
        YYCgmElement(5, 28, 2);
        YYCgmWord(g.MetafileLineWidth * 4);
        cache(kEdgeWidth) = g.MetafileLineWidth * 4;
    }
    ellipse(4);
    YYCgmElement(5, 30, 2);
    YYCgmWord(0);
}

// A long-form element of points (split into partitions when longer than one can say).
void pointElement(INTEGER elementClass, INTEGER id, const std::vector<std::pair<INTEGER, INTEGER>>& points)
{
    constexpr std::size_t perPartition = 32764 / 4;
    YYCgmElement(elementClass, id, 31);
    std::size_t at = 0;
    do {
        const std::size_t n = std::min(perPartition, points.size() - at);
        const bool more = at + n < points.size();
        YYCgmWord(static_cast<INTEGER>(n * 4) | (more ? 0x8000 : 0));
        for (std::size_t k = at; k < at + n; ++k) YYCgmPoint(points[k].first, points[k].second);
        at += n;
    } while (at < points.size());
}

void opFill(INTEGER op)
{
    const DriverParameterBlock& b = driverParameterBlock();
    const GraphicsState& g = graphicsState();
    const GraphicsTransform& t = graphicsTransform();
    INTEGER r = rs().CurrentRed, gr = rs().CurrentGreen, bl = rs().CurrentBlue;
    if (g.FillStyle == 3) {
        INTEGER pr = 0, pg = 0, pb = 0;
        YYColourToRGB(YYModelColour(0), pr, pg, pb);
        r = (r + pr) / 2;
        gr = (gr + pg) / 2;
        bl = (bl + pb) / 2;
    }
    colourIfChanged(5, 23, r, gr, bl, kFillColour);
    switch (op) {
    case OpEllipseFill:
    case OpEllipseSolid: ellipse(1); return;
    default: break;
    }
    YYCgmElement(5, 22, 2);
    YYCgmWord(1);
    switch (op) {
    case OpQuadFill:
    case OpQuadSolid:
        YYCgmElement(4, 7, 16);
        YYCgmPoint(b.IntX1, b.IntY1);
        YYCgmPoint(b.IntX2, b.IntY2);
        YYCgmPoint(b.IntX3, b.IntY3);
        YYCgmPoint(b.IntX4, b.IntY4);
        break;
    case OpTriangleFill:
    case OpTriangleSolid:
        YYCgmElement(4, 7, 12);
        YYCgmPoint(b.IntX1, b.IntY1);
        YYCgmPoint(b.IntX2, b.IntY2);
        YYCgmPoint(b.IntX3, b.IntY3);
        break;
    case OpRectangleFill:
    case OpRectangleSolid:
        YYCgmElement(4, 11, 8);
        YYCgmPoint(std::max(b.IntX1, t.PixelXMin), std::max(b.IntY1, t.PixelYMin));
        YYCgmPoint(std::min(b.IntX2, t.PixelXMax), std::min(b.IntY2, t.PixelYMax));
        break;
    case OpSectorFill:
    case OpSectorSolid: {
        std::vector<std::pair<INTEGER, INTEGER>> points;
        points.emplace_back(b.IntX1, b.IntY1);
        const DOUBLE aspect = t.DrawableAspect != 0.0f ? static_cast<DOUBLE>(t.DrawableAspect) : 1.0;
        const DOUBLE y2 = b.Y2 / aspect * rs().SlotAspect;
        const INTEGER width = std::max<INTEGER>(g.DrawableWidth, 1);
        const DOUBLE step = std::numbers::pi / static_cast<DOUBLE>(YYDeviceTrunc(b.X2) * 75 / width + 25);
        const auto at = [&](DOUBLE a) {
            return std::pair<INTEGER, INTEGER>(YYDeviceTrunc(std::cos(a) * b.X2 + b.X1),
                                               YYDeviceTrunc(std::sin(a) * y2 + b.Y1));
        };
        if (step > 0.0 && std::isfinite(b.X3) && std::isfinite(b.Y3)) {
            DOUBLE a = b.X3;
            for (int k = 0; a < b.Y3 && k < 20000; ++k, a = b.X3 + k * step) points.push_back(at(a));
        }
        points.push_back(at(b.Y3));
        pointElement(4, 7, points);
        break;
    }
    case OpPolygonFill:
    case OpPolygonSolid: {
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(std::max<INTEGER>(b.Count, 0)),
                                                    std::min(b.PolygonX.size(), b.PolygonY.size()));
        std::vector<std::pair<INTEGER, INTEGER>> points;
        for (std::size_t k = 0; k < n; ++k) points.emplace_back(YYDeviceTrunc(b.PolygonX[k]), YYDeviceTrunc(b.PolygonY[k]));
        pointElement(4, 7, points);
        break;
    }
    default: break;
    }
}

void opCharSize()
{
    const TextState& text = textState();
    const GraphicsTransform& t = graphicsTransform();
    const INTEGER index = YYCgmFontIndex(std::clamp<INTEGER>(text.FallbackStrokeFont, 1, 4), text.TextStyle);
    if (index != cache(kFontIndex)) {
        YYCgmElement(5, 10, 2);
        YYCgmWord(index);
        cache(kFontIndex) = index;
    }
    const INTEGER height = YYDeviceTrunc(t.CharHeightFraction * 0.55f * text.TextAreaHeight);
    if (height != cache(kCharHeight)) {
        YYCgmElement(5, 15, 2);
        YYCgmWord(height);
        cache(kCharHeight) = height;
    }
}

void opText()
{
    const DriverParameterBlock& b = driverParameterBlock();
    const TextState& text = textState();
    const bool fontMode1 = text.CharacterSpacing == 1;
    const bool boxed = text.TextStacked == 0 && !fontMode1 && (text.TextStyle & kTextBox) != 0;
    if (boxed) {
        YYCgmElement(3, 4, 2);
        YYCgmWord(0);
        INTEGER pr = 0, pg = 0, pb = 0;
        YYColourToRGB(YYModelColour(0), pr, pg, pb);
        colourIfChanged(3, 3, pr, pg, pb, kAuxiliaryColour);
    }
    colourIfChanged(5, 14, rs().CurrentRed, rs().CurrentGreen, rs().CurrentBlue, kTextColour);
    const INTEGER justification = std::clamp<INTEGER>(text.TextJustification, 0, 2);
    const INTEGER h = fontMode1 ? 1 : justification + 1;
    if (h != cache(kTextAlign)) {
        YYCgmTextAlignment(kCgmMemoryWriters, h);
        cache(kTextAlign) = h;
    }
    REAL px = b.X1 + 0.38f * text.CharLineX, py = b.Y1 - 0.38f * text.CharLineY;
    const auto n = static_cast<std::size_t>(std::clamp<INTEGER>(b.IntX1, 0, 254));
    const std::string_view chars = stringWorkBuffer().view().substr(0, n);
    const auto header = [](INTEGER cls, INTEGER id, std::size_t length) {
        if (length < 31) {
            YYCgmElement(cls, id, static_cast<INTEGER>(length));
        } else {
            YYCgmElement(cls, id, 31);
            YYCgmWord(static_cast<INTEGER>(length));
        }
    };
    if (fontMode1) {
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
        YYCgmWord(YYDeviceTrunc(std::sqrt(dx * dx + dy * dy)));
        YYCgmWord(YYDeviceTrunc(static_cast<DOUBLE>(std::max<INTEGER>(cache(kCharHeight), 0)) * 1.25));
    }
    YYCgmPoint(YYDeviceTrunc(px), YYDeviceTrunc(py));
    YYCgmWord(1);
    YYCgmStringPad(chars);
    if (boxed) {
        YYCgmElement(3, 4, 2);
        YYCgmWord(1);
    }
}

void opTextAngle()
{
    const TextState& text = textState();
    const GraphicsTransform& t = graphicsTransform();
    const DOUBLE c = static_cast<DOUBLE>(t.CharWidthFraction) * text.TextAreaWidth;
    YYCgmElement(5, 16, 8);
    YYCgmPoint(YYDeviceTrunc(-text.TextUpSin * 1.2 * c), YYDeviceTrunc(text.TextDirCos * 1.2 * c));
    YYCgmPoint(YYDeviceTrunc(text.TextDirCos * c), YYDeviceTrunc(text.TextDirSin * c));
}

void opImage()
{
    DriverParameterBlock& b = driverParameterBlock();
    const GraphicsTransform& t = graphicsTransform();
    const bool turned = t.PageAngle % 180 != 0;
    const INTEGER nx = turned ? b.IntY2 : b.IntX2, ny = turned ? b.IntX2 : b.IntY2;
    const std::vector<INTEGER> pixels = YYDriverImagePixels(nx, ny, std::int64_t{1} << 24);
    if (pixels.empty()) return;
    YYCgmElement(4, 9, 31);
    YYCgmWord(0x8014);
    YYCgmPoint(t.PixelXMin, t.PixelYMax);
    YYCgmPoint(t.PixelXMax, t.PixelYMin);
    YYCgmPoint(t.PixelXMax, t.PixelYMax);
    YYCgmWord(nx);
    YYCgmWord(ny);
    YYCgmWord(8);
    YYCgmWord(0);
    const auto pixel = [&](std::int64_t r, std::int64_t c) {
        std::int64_t index = 0;
        switch (t.PageAngle) {
        case 90: index = (ny - r + 1) + (c - 1) * ny; break;
        case 180: index = static_cast<std::int64_t>(nx) * ny - (r - 1) * nx - (c - 1); break;
        case 270: index = r + (nx - c) * ny; break;
        default: index = (r - 1) * nx + c; break;
        }
        return pixels[static_cast<std::size_t>(index - 1)];
    };
    std::vector<std::uint8_t> row;
    for (INTEGER r = 1; r <= ny; ++r) {
        row.clear();
        for (INTEGER c = 1; c <= nx;) {
            const INTEGER colour = pixel(r, c);
            INTEGER run = 1;
            while (c + run <= nx && run < 32767 && pixel(r, c + run) == colour) ++run;
            row.insert(row.end(), {static_cast<std::uint8_t>(run >> 8), static_cast<std::uint8_t>(run & 0xFF),
                                   static_cast<std::uint8_t>(colour & 0xFF), static_cast<std::uint8_t>((colour >> 8) & 0xFF),
                                   static_cast<std::uint8_t>((colour >> 16) & 0xFF)});
            c += run;
        }
        if (row.size() % 2 != 0) row.push_back(0);
        for (std::size_t at = 0; at < row.size(); at += 32766) {
            const std::size_t n = std::min<std::size_t>(32766, row.size() - at);
            const bool more = r < ny || at + n < row.size();
            YYCgmWord(static_cast<INTEGER>(n) | (more ? 0x8000 : 0));
            YYGCGM1(std::span<const std::uint8_t>(row).subspan(at, n));
        }
    }
}

}  // namespace

void YYCgmSlotCreate(INTEGER number, INTEGER widthPoints, INTEGER heightPoints, INTEGER capacity, INTEGER& status)
{
    status = 1;
    if (number < 1 || number > 20 || widthPoints <= 0 || heightPoints <= 0 || capacity <= 0) return;
    MetafileSlot& s = metafileSlotTable().Slots[static_cast<std::size_t>(number - 1)];
    if (s.Words[kSlotKind] != kSlotKindFree) return;
    s.Words = {};
    s.Words[kSlotWidthPoints] = widthPoints;
    s.Words[kSlotHeightPoints] = heightPoints;
    YYCgmSlotExtent(widthPoints, heightPoints, s.Words[kSlotWidthUnits], s.Words[kSlotHeightUnits]);
    s.Words[kSlotKind] = kSlotKindCgm;
    s.Words[kSlotInUse] = 1;
    s.Words[kSlotCapacity] = capacity;
    s.Bytes.assign(static_cast<std::size_t>(capacity), 0);
    rs().AttributeCache[static_cast<std::size_t>(number - 1)].fill(-1);
    status = 0;
    const CgmTargetSlot target(number);
    const INTEGER drawable = graphicsState().DrawableId;
    graphicsState().DrawableId = number;  // the header's caches and aspect belong to this slot
    YYMemoryMetafileDriver(OpMetafileHeader);
    graphicsState().DrawableId = drawable;
}

void YYCgmSlotFinish(INTEGER number)
{
    if (number < 1 || number > 20) return;
    if (metafileSlotTable().Slots[static_cast<std::size_t>(number - 1)].Words[kSlotKind] != kSlotKindCgm) return;
    const CgmTargetSlot target(number);
    YYCgmElement(0, 5, 0);
    YYCgmElement(0, 2, 0);
}

INTEGER YYPictureSlotPenWidth(INTEGER number, INTEGER tenthsOfPoint)
{
    if (number < 1 || number > 20) return tenthsOfPoint;
    const MetafileSlot& s = metafileSlotTable().Slots[static_cast<std::size_t>(number - 1)];
    const std::int64_t divisor = static_cast<std::int64_t>(s.Words[kSlotWidthPoints]) * 10;
    return divisor != 0 ? static_cast<INTEGER>(static_cast<std::int64_t>(tenthsOfPoint) * s.Words[kSlotWidthUnits] / divisor)
                        : tenthsOfPoint;
}

void YYMemoryMetafileDriver(INTEGER op)
{
    DriverParameterBlock& b = driverParameterBlock();
    const GraphicsState& g = graphicsState();
    const GraphicsTransform& t = graphicsTransform();
    switch (op) {
    case OpInit: opInit(); break;
    case OpLine:
        lineColour();
        YYCgmElement(4, 1, 8);
        YYCgmPoint(b.IntX1, b.IntY1);
        YYCgmPoint(b.IntX2, b.IntY2);
        break;
    case OpColour:
    case OpColourRestore: YYColourToRGB(YYModelColour(1), rs().CurrentRed, rs().CurrentGreen, rs().CurrentBlue); break;
    case OpEllipse: opEllipse(); break;
    case OpEllipseFill:
    case OpEllipseSolid:
    case OpQuadFill:
    case OpQuadSolid:
    case OpRectangleFill:
    case OpRectangleSolid:
    case OpTriangleFill:
    case OpTriangleSolid:
    case OpSectorFill:
    case OpSectorSolid:
    case OpPolygonFill:
    case OpPolygonSolid: opFill(op); break;
    case OpBeginOutput: rs().AttributeCache[static_cast<std::size_t>(slotNumber() - 1)].fill(-1); break;
    case OpEndOutput:
        YYCgmElement(0, 5, 0);
        YYCgmElement(0, 2, 0);
        break;
    case OpCharSize: opCharSize(); break;
    case OpText: opText(); break;
    case OpClipArea:
        YYCgmElement(3, 6, 2);
        YYCgmWord(1);
        YYCgmElement(3, 5, 8);
        YYCgmPoint(t.PixelXMin, t.PixelYMin);
        YYCgmPoint(t.PixelXMax, t.PixelYMax);
        break;
    case OpPoint:
        lineColour();
        YYCgmElement(4, 1, 8);
        YYCgmPoint(b.IntX1, b.IntY1);
        YYCgmPoint(b.IntX1, b.IntY1);
        break;
    case OpLineType:
        YYCgmElement(5, 2, 2);
        YYCgmWord(YYCgmLineType(g.LineType));
        break;
    case OpLineWidth:
        YYCgmElement(5, 3, 2);
        YYCgmWord(YYPictureSlotPenWidth(slotNumber(), g.MetafileLineWidth));
        break;
    case OpReadPixel: b.IntX1 = -1; break;
    case OpPolyline: {
        lineColour();
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(std::max<INTEGER>(b.Count, 0)),
                                                    std::min(b.PolygonX.size(), b.PolygonY.size()));
        std::vector<std::pair<INTEGER, INTEGER>> points;
        for (std::size_t k = 0; k < n; ++k) points.emplace_back(YYDeviceTrunc(b.PolygonX[k]), YYDeviceTrunc(b.PolygonY[k]));
        pointElement(4, 1, points);
        break;
    }
    case OpTextAngle: opTextAngle(); break;
    case OpImage: opImage(); break;
    case OpMetafileHeader: {
        MetafileSlot& s = slot();
        rs().SlotAspect = s.Words[kSlotHeightPoints] != 0
                              ? static_cast<REAL>(s.Words[kSlotWidthPoints]) / static_cast<REAL>(s.Words[kSlotHeightPoints])
                              : 1.0f;
        YYCgmElement(0, 1, 13);
        YYCgmStringPad("ZID CGM File");
        YYCgmDescriptorHead(kCgmMemoryWriters);
        std::size_t length = 0;
        for (const std::string_view name : kFontList) length += name.size() + 1;
        YYCgmElement(1, 13, 31);
        YYCgmWord(static_cast<INTEGER>(length));
        for (const std::string_view name : kFontList) YYCgmString(name);
        YYCgmElement(1, 7, 2);
        YYCgmWord(8);
        YYCgmElement(1, 10, 6);
        const std::array<std::uint8_t, 6> extent{0, 0, 0, 255, 255, 255};
        YYGCGM1(extent);
        YYCgmSlotExtent(s.Words[kSlotWidthPoints], s.Words[kSlotHeightPoints], s.Words[kSlotWidthUnits],
                        s.Words[kSlotHeightUnits]);
        YYCgmPictureBegin(kCgmMemoryWriters, s.Words[kSlotWidthUnits], s.Words[kSlotHeightUnits]);
        break;
    }
    case OpShadedPolygon:
        YYShadedPolygonPixels([](REAL x) { return YYDeviceTrunc(x); }, [](REAL y) { return YYDeviceTrunc(y); });
        YYShadedPolygonFill(2, 0, 0, 0, 0, nullptr, &YYCgmGradientTriangles);
        break;
    default: break;
    }
}
