#include "toolkit/devices/WindowsMetafileDriver.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/ImageDraw.h"
#include "toolkit/devices/MetafileOutput.h"
#include "toolkit/devices/PrinterArithmetic.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/OsEnvironment.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/graphics/ShadedPolygons.h"

WindowsMetafileDriverState& windowsMetafileDriverState()
{
    static WindowsMetafileDriverState state;
    return state;
}

namespace {

WindowsMetafileDriverState& ds() { return windowsMetafileDriverState(); }
HardcopyOptionBlock& opts() { return hardcopyOptionBlock(); }
void pageOpen() { hardcopyJobState().PageOpen = -1; }

REAL extentY()
{
    const GraphicsTransform& t = graphicsTransform();
    return t.DeviceYExtent > 0.0f ? t.DeviceYExtent : static_cast<REAL>(graphicsState().DrawableHeight) - 0.01f;
}
REAL extentX()
{
    const GraphicsTransform& t = graphicsTransform();
    return t.DeviceXExtent > 0.0f ? t.DeviceXExtent : static_cast<REAL>(graphicsState().DrawableWidth) - 0.01f;
}

INTEGER px(REAL x) { return YYDeviceTrunc(static_cast<DOUBLE>(hardcopyDriverState().XScale) * x); }
INTEGER py(REAL y) { return YYDeviceTrunc((static_cast<DOUBLE>(extentY()) - y) * hardcopyDriverState().YScale); }
INTEGER rx(REAL length) { return YYDeviceTrunc(static_cast<DOUBLE>(hardcopyDriverState().XScale) * length); }
INTEGER ry(REAL length) { return YYDeviceTrunc(static_cast<DOUBLE>(hardcopyDriverState().YScale) * length); }

INTEGER modelColour(std::size_t which)
{
    const GraphicsState& g = graphicsState();
    return g.ColourModel == kRgbMode ? g.ColourRGB[which] : g.ColourIndex[which];
}

void setScales()
{
    HardcopyDriverState& d = hardcopyDriverState();
    const REAL ex = extentX(), ey = extentY();
    d.XScale = ex > 0.0f ? static_cast<REAL>(ds().PageWidth) / ex : 1.0f;
    d.YScale = ey > 0.0f ? static_cast<REAL>(ds().PageHeight) / ey : 1.0f;
}

void opInit()
{
    DriverParameterBlock& b = driverParameterBlock();
    if (b.Count == -999) {
        b.Count = 11;
        return;
    }
    HardcopyOptionBlock& o = opts();
    YYDriverReset();
    if (b.Value != -998) {
        o.Options[1] = 756;
        o.Options[2] = 540;
        o.Options[27] = 1;
        o.Options[29] = 0;
    }
    HardcopyDriverState& d = hardcopyDriverState();
    d.ResolutionX = d.ResolutionY = 600;
    hardcopyFillState().HardcopyColours = 256;
    DeviceCapabilityTable& caps = deviceCapabilityTable();
    caps.LineTypeCount[1] = 8;
    caps.TextAngles[1] = 360;
    caps.PlatformLevel[1] = YYOsPlatform() == 4 ? 2 : 1;
    caps.TrueColour[1] = 1;
    INTEGER gradient = 1;
    YYGradientFillAvailable(gradient);
    caps.ShadeFillLevel[1] = gradient;
    caps.DeviceTextThreshold[1] = 1.7e38f;
    caps.CapabilityString[1].assign("00000111111111100010011011110");
    HardcopyTextScaling& text = hardcopyTextScaling();
    text.TextBoxFlag = 1;
    text.TextSpacingFlag = 1;
    HardcopyJobState& job = hardcopyJobState();
    job.PrintByCommand = 0;
    job.OutputFile.assign("");
    job.DriverDevice = 11;
}

void opBeginOutput()
{
    DriverParameterBlock& b = driverParameterBlock();
    WindowsMetafileDriverState& s = ds();
    if (b.Value > 0) {
        const HardcopyOptionBlock& o = opts();
        s.EnhancedFlag = o.value(27) == 2 ? kTrue : kFalse;
        INTEGER boxRight = 0, boxBottom = 0, checksum = 0;
        YYPlaceableBox(o.value(1), o.value(2), boxRight, boxBottom, checksum);
        s.PageWidth = o.value(1) * 10;
        s.PageHeight = o.value(2) * 10;
        HardcopyJobState& job = hardcopyJobState();
        if (b.IntX1 == 0) job.Title.assign("Devivozivuz graphic");
        const std::string fileName = std::string(stringWorkBuffer().trimmed()) + '\0';
        std::string description = "ZID metafile driver";
        description += '\0';
        description += job.Title.trimmed();
        description += '\0';
        description += '\0';
        YYMetafileOpen(s.PageWidth, s.PageHeight, o.value(27), o.value(29), boxRight, boxBottom, checksum, b.Count,
                       s.OpenStatus, s.OpenSystemCode, fileName, description);
        if (s.OpenStatus != 0) {
            libraryErrorState().FileDetailKind = 2;
            libraryErrorState().FileDetailCode = s.OpenSystemCode;
            YYErrorReport(1, "XXWMF");
            graphicsState().HardcopyActive = 0;
            return;
        }
        if (isTrue(s.EnhancedFlag) && o.value(1) > 0)
            s.PixelsPerTenthPoint = static_cast<REAL>(s.PageWidth) / static_cast<REAL>(o.value(1) * 10);
        s.SavedRed = s.SavedGreen = s.SavedBlue = 255;
    }
    setScales();
}

void opEndOutput()
{
    INTEGER status = 0;
    YYMetafileClose(status);
    if (status == 2) {
        // A placeable file that could not be written whole is not a finished picture.
        libraryErrorState().FileDetailKind = 2;
        libraryErrorState().FileDetailCode = metafileOutputState().WriteError;
        YYErrorReport(2, "XXWMF");
    } else if (status != 0) {
        YYErrorReport(status, "XXWMF");
    }
}

void opColour()
{
    WindowsMetafileDriverState& s = ds();
    s.PreviousRed = s.SavedRed;
    s.PreviousGreen = s.SavedGreen;
    s.PreviousBlue = s.SavedBlue;
    YYColourToRGB(modelColour(1), s.SavedRed, s.SavedGreen, s.SavedBlue);
    YYMetafileColourInvert(s.SavedRed, s.SavedGreen, s.SavedBlue);
    YYMetafileColour(s.SavedRed, s.SavedGreen, s.SavedBlue);
}

void fillPoints(INTEGER n)
{
    const DriverParameterBlock& b = driverParameterBlock();
    YYPointBufferAlloc(n);
    const REAL xs[4] = {b.X1, b.X2, b.X3, b.X4}, ys[4] = {b.Y1, b.Y2, b.Y3, b.Y4};
    for (INTEGER k = 0; k < n; ++k) YYPointBufferSet(px(xs[k]), py(ys[k]), k);
}

INTEGER polygonPoints(INTEGER n)
{
    const DriverParameterBlock& b = driverParameterBlock();
    const INTEGER count = std::clamp<INTEGER>(n, 0, static_cast<INTEGER>(std::min(b.PolygonX.size(), b.PolygonY.size())));
    YYPointBufferAlloc(count);
    for (INTEGER k = 0; k < count; ++k)
        YYPointBufferSet(px(b.PolygonX[static_cast<std::size_t>(k)]), py(b.PolygonY[static_cast<std::size_t>(k)]), k);
    return count;
}

// The end points of a sector or arc; true when they met and the end was moved one unit, a short
// arc that a picture played smaller than it was recorded could show as a whole ellipse.
bool sectorPoints(INTEGER& xs, INTEGER& ys, INTEGER& xe, INTEGER& ye)
{
    const DriverParameterBlock& b = driverParameterBlock();
    const auto trig = [](REAL angle, bool cosine) {
        const DOUBLE a = angle;
        if (!std::isfinite(a) || std::fabs(a) > 1.0e15) return cosine ? 1.0 : 0.0;
        return cosine ? std::cos(a) : std::sin(a);
    };
    xs = px(static_cast<REAL>(b.X1 + b.X2 * trig(b.X3, true)));
    ys = py(static_cast<REAL>(b.Y1 + b.Y2 * trig(b.X3, false)));
    xe = px(static_cast<REAL>(b.X1 + b.X2 * trig(b.Y3, true)));
    ye = py(static_cast<REAL>(b.Y1 + b.Y2 * trig(b.Y3, false)));
    const bool met = xs == xe && ys == ye && std::fabs(b.Y4) < 10.0f;
    YYSectorEndNudge(xs, ys, xe, ye, b.X4, b.Y4);
    return met;
}

void opFill(INTEGER op)
{
    DriverParameterBlock& b = driverParameterBlock();
    WindowsMetafileDriverState& s = ds();
    const GraphicsState& g = graphicsState();
    const GraphicsTransform& t = graphicsTransform();
    if (b.Value == -1) {
        if (g.FillStyle > 2) {
            YYMetafileColour(s.PreviousRed, s.PreviousGreen, s.PreviousBlue);
            YYMetafileColour(s.SavedRed, s.SavedGreen, s.SavedBlue);
        }
        return;
    }
    pageOpen();
    if (g.FillStyle > 2) {
        INTEGER r = 0, gr = 0, bl = 0;
        YYColourToRGB(modelColour(1), r, gr, bl);
        if (g.FillStyle == 3) {
            INTEGER pr = 0, pg = 0, pb = 0;
            YYColourToRGB(modelColour(0), pr, pg, pb);
            r = (r + pr) / 2;
            gr = (gr + pg) / 2;
            bl = (bl + pb) / 2;
        }
        YYMetafileColourInvert(r, gr, bl);
        YYMetafileColour(r, gr, bl);
    } else if (op != OpEllipseFill) {
        return;
    }
    switch (op) {
    case OpEllipseFill: YYMetafileEllipse(px(b.X1), py(b.Y1), rx(b.X2), ry(b.Y2), g.FillStyle); break;
    case OpQuadFill:
    case OpTriangleFill: {
        const INTEGER n = op == OpQuadFill ? 4 : 3;
        fillPoints(n);
        YYMetafilePolygon(n);
        YYPointBufferFree();
        break;
    }
    case OpRectangleFill:
        YYMetafileRectangle(px(std::max(t.ClipXMin, b.X1)), py(std::min(t.ClipYMax, b.Y2)), px(std::min(t.ClipXMax, b.X2)),
                            py(std::max(t.ClipYMin, b.Y1)));
        break;
    case OpSectorFill: {
        INTEGER xs = 0, ys = 0, xe = 0, ye = 0;
        if (sectorPoints(xs, ys, xe, ye)) {
            // A sliver as a triangle: at any playing scale it stays a sliver.
            YYPointBufferAlloc(3);
            YYPointBufferSet(px(b.X1), py(b.Y1), 0);
            YYPointBufferSet(xs, ys, 1);
            YYPointBufferSet(xe, ye, 2);
            YYMetafilePolygon(3);
            YYPointBufferFree();
            break;
        }
        YYMetafileSector(px(b.X1), py(b.Y1), rx(b.X2), ry(b.Y2), xs, ys, xe, ye);
        break;
    }
    case OpPolygonFill:
        YYMetafilePolygon(polygonPoints(b.Count));
        YYPointBufferFree();
        break;
    default: break;
    }
}

void opFont()
{
    const TextState& a = textState();
    const HardcopyTextScaling& scaling = hardcopyTextScaling();
    REAL width = 0, height = 0;
    YYRequestedCharSize(width, height);
    width *= scaling.ScaleX;
    height *= scaling.ScaleY;
    INTEGER style = a.TextStyle;
    if (a.CharacterSpacing != 0) {
        width *= a.CharacterSpacing == 1 ? 0.607f : 0.725f;
        if (a.DeviceFontVariant == 4) width *= 1.38f;
        height *= 0.821f;
        if (a.CharacterSpacing == 1) style &= ~kTextUnderline;
    }
    YYMetafileFont(YYDeviceTrunc(width), YYDeviceTrunc(height), YYDeviceTrunc(a.DeviceTextAngle), a.DeviceFontVariant,
                   style, a.DeviceFontVariant == 0 ? a.DeviceFaceName.trimmed() : std::string_view());
}

void opText()
{
    DriverParameterBlock& b = driverParameterBlock();
    const TextState& a = textState();
    pageOpen();
    const REAL sx = a.CharLineX / 4.0f, sy = a.CharLineY / 4.0f;
    const INTEGER justification = a.CharacterSpacing == 1 ? 0 : std::clamp<INTEGER>(a.TextJustification, 0, 2);
    const INTEGER opaque = a.CharacterSpacing != 1 && a.TextStacked == 0 && (a.TextStyle & kTextBox) != 0 ? 1 : 0;
    const std::string_view text =
        stringWorkBuffer().view().substr(0, static_cast<std::size_t>(std::clamp<INTEGER>(b.IntX1, 0, 260)));
    YYMetafileText(px(b.X1 + sx), py(b.Y1 - sy), px(b.X3 + sx), py(b.Y3 - sy), justification, opaque, text);
    b.IntX4 = 0;
}

void opImage()
{
    DriverParameterBlock& b = driverParameterBlock();
    const GraphicsTransform& t = graphicsTransform();
    const HardcopyDriverState& d = hardcopyDriverState();
    pageOpen();
    const DOUBLE H = graphicsState().DrawableHeight;
    const bool swapped = YYOsPlatform() >= 4 && (t.PageAngle == 90 || t.PageAngle == 270);
    INTEGER x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (!swapped) {
        x1 = YYDeviceTrunc(t.ClipXMin * static_cast<DOUBLE>(d.XScale));
        y1 = YYDeviceTrunc(((H - 1) - t.ClipYMax) * d.YScale);
        x2 = YYDeviceTrunc(t.ClipXMax * static_cast<DOUBLE>(d.XScale));
        y2 = YYDeviceTrunc(((H - 1) - t.ClipYMin) * d.YScale);
    } else {
        x1 = YYDeviceTrunc(t.ClipYMin * static_cast<DOUBLE>(d.YScale));
        y1 = YYDeviceTrunc(((H - 1) - t.ClipXMax) * d.XScale);
        x2 = YYDeviceTrunc(t.ClipYMax * static_cast<DOUBLE>(d.YScale));
        y2 = YYDeviceTrunc(((H - 1) - t.ClipXMin) * d.XScale);
    }
    const DOUBLE h = H;
    DOUBLE ox = 0, oy = 0;
    switch (t.PageAngle) {
    case 90: ox = t.PixelXMin + t.PixelXMax - h; oy = h; break;
    case 180: ox = t.PixelXMin + t.PixelXMax; oy = 2 * h - t.PixelYMin - t.PixelYMax; break;
    case 270: ox = h; oy = h - t.PixelYMin - t.PixelYMax; break;
    default: break;
    }
    const INTEGER offsetX = YYDeviceTrunc(ox * d.XScale), offsetY = YYDeviceTrunc(oy * d.YScale);
    YYImageDraw(b.IntX1, kImageTargetMetafile, x1, y1, x2, y2, 1, t.PageAngle, offsetX, offsetY, b.Value, b.Count,
                stringWorkBuffer().trimmed());
}

void opShadedPolygon()
{
    const DriverParameterBlock& b = driverParameterBlock();
    const GraphicsTransform& t = graphicsTransform();
    pageOpen();
    ShadedPolygonBlock& shade = shadedPolygonBlock();
    const INTEGER n = std::clamp<INTEGER>(shade.VertexCount, 0, static_cast<INTEGER>(std::min(b.PolygonX.size(), b.PolygonY.size())));
    shade.VertexCount = std::min(n, ShadedPolygonBlock::kMaxVertices);
    for (INTEGER i = 0; i < shade.VertexCount; ++i) {
        shade.PixelX[static_cast<std::size_t>(i)] = px(b.PolygonX[static_cast<std::size_t>(i)]);
        shade.PixelY[static_cast<std::size_t>(i)] = py(b.PolygonY[static_cast<std::size_t>(i)]);
    }
    const INTEGER level = isTrue(ds().EnhancedFlag) ? deviceCapabilityTable().ShadeFillLevel[1] : 1;
    YYShadedPolygonFill(level, px(t.ClipXMin), py(t.ClipYMax), px(t.ClipXMax), py(t.ClipYMin), &YYMetafilePixel,
                        &YYMetafileGradient);
}

}  // namespace

void YYPlaceableBox(INTEGER widthPoints, INTEGER heightPoints, INTEGER& boxRight, INTEGER& boxBottom, INTEGER& checksum)
{
    boxRight = widthPoints * 1000 / 72;
    boxBottom = heightPoints * 1000 / 72;
    checksum = (boxRight ^ boxBottom ^ 0x54F9) & 0xFFFF;
}

void XXWMF(INTEGER op)
{
    DriverParameterBlock& b = driverParameterBlock();
    const GraphicsState& g = graphicsState();
    const GraphicsTransform& t = graphicsTransform();
    const bool enhanced = isTrue(ds().EnhancedFlag);
    switch (op) {
    case OpInit: opInit(); break;
    case OpLine:
        pageOpen();
        YYMetafileLine(px(b.X1), py(b.Y1), px(b.X2), py(b.Y2));
        break;
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
    case OpEndPage: hardcopyJobState().PageOpen = 0; break;
    case OpCharSize:
    case OpTextAngle: opFont(); break;
    case OpText: opText(); break;
    case OpClipArea: {
        if (!enhanced) break;
        const HardcopyDriverState& d = hardcopyDriverState();
        const REAL e = extentY();
        YYMetafileClip(YYDeviceTrunc(d.XScale * t.ClipXMin), YYDeviceTrunc((e - t.ClipYMax) * d.YScale),
                       YYDeviceTrunc(d.XScale * t.ClipXMax + 0.99f), YYDeviceTrunc((e - t.ClipYMin) * d.YScale + 0.99f));
        break;
    }
    case OpTextWidth: {
        if (!enhanced) break;
        INTEGER width = 0;
        YYMetafileTextExtent(width, stringWorkBuffer().view().substr(0, static_cast<std::size_t>(std::clamp<INTEGER>(b.Value, 0, 260))));
        b.Count = 1;
        const REAL sx = hardcopyTextScaling().ScaleX;
        b.X1 = sx != 0.0f ? static_cast<REAL>(width) / sx : static_cast<REAL>(width);
        break;
    }
    case OpPoint:
        pageOpen();
        YYMetafilePoint(px(b.X1), py(b.Y1));
        break;
    case OpLineType: YYMetafileLineType(g.LineType); break;
    case OpLineWidth: {
        INTEGER width = opts().value(9);
        if (enhanced) width = YYDeviceTrunc(static_cast<REAL>(width) * ds().PixelsPerTenthPoint);
        YYMetafileLineWidth(width);
        break;
    }
    case OpPolyline:
        pageOpen();
        YYMetafilePolyline(polygonPoints(b.Count));
        YYPointBufferFree();
        break;
    case OpArc: {
        pageOpen();
        INTEGER xs = 0, ys = 0, xe = 0, ye = 0;
        if (sectorPoints(xs, ys, xe, ye)) YYMetafileLine(xs, ys, xe, ye);
        else YYMetafileArc(px(b.X1), py(b.Y1), rx(b.X2), ry(b.Y2), xs, ys, xe, ye, g.HatchDensity);
        break;
    }
    case OpImage: opImage(); break;
    case OpShadedPolygon: opShadedPolygon(); break;
    default: break;
    }
}
