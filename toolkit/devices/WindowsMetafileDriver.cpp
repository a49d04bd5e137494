#include "toolkit/devices/WindowsMetafileDriver.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "toolkit/devices/DriverSetup.h"
#include "toolkit/devices/GdiPrimitives.h"
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

INTEGER px(REAL x) { return YYGdiX(x); }
INTEGER py(REAL y) { return YYGdiY(y); }
INTEGER rx(REAL length) { return YYGdiXLength(length); }
INTEGER ry(REAL length) { return YYGdiYLength(length); }

void setScales() { YYScalesFromDrawable(static_cast<REAL>(ds().PageWidth), static_cast<REAL>(ds().PageHeight)); }

void opInit()
{
    if (YYDriverIdentify(11)) return;
    HardcopyOptionBlock& o = opts();
    YYDriverReset();
    if (driverParameterBlock().Value != -998) {
        o.Options[1] = 756;
        o.Options[2] = 540;
        o.Options[27] = 1;
        o.Options[29] = 0;
    }
    HardcopyDriverState& d = hardcopyDriverState();
    d.ResolutionX = d.ResolutionY = 600;
    hardcopyFillState().HardcopyColours = 256;
    YYHardcopyDeviceFactsSet({.Capabilities = YYGdiCapabilities(),
                              .TextBoxFlag = 1,
                              .TextSpacingFlag = 1,
                              .PrintByCommand = 0,
                              .DriverDevice = 11});
    hardcopyJobState().OutputFile.assign("");
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
            if (const std::string& target = metafileOutputState().Target; !target.empty()) YYUserFileFailure(target, 1);
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
    const std::string target = metafileOutputState().Target;
    YYMetafileClose(status);
    if (status == 2 || status == 3) {
        // A picture that could not be written whole, or not put in the file's place: the file
        // keeps what it had, and the user learns it.
        libraryErrorState().FileDetailKind = 2;
        libraryErrorState().FileDetailCode = metafileOutputState().WriteError;
        YYErrorReport(status, "XXWMF");
        YYUserFileFailure(target, status);
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
    YYColourToRGB(YYModelColour(1), s.SavedRed, s.SavedGreen, s.SavedBlue);
    YYMetafileColourInvert(s.SavedRed, s.SavedGreen, s.SavedBlue);
    YYMetafileColour(s.SavedRed, s.SavedGreen, s.SavedBlue);
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
        YYColourToRGB(YYModelColour(1), r, gr, bl);
        if (g.FillStyle == 3) {
            INTEGER pr = 0, pg = 0, pb = 0;
            YYColourToRGB(YYModelColour(0), pr, pg, pb);
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
        YYGdiCornerPoints(n);
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
        if (YYGdiSectorPoints(xs, ys, xe, ye)) {
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
        YYMetafilePolygon(YYGdiPolygonPoints(b.Count));
        YYPointBufferFree();
        break;
    default: break;
    }
}

void opFont()
{
    const TextState& a = textState();
    REAL width = 0, height = 0;
    INTEGER style = 0;
    YYGdiFontSize(width, height, style);
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
    const GraphicsTransform& t = graphicsTransform();
    pageOpen();
    YYShadedPolygonPixels(&YYGdiX, &YYGdiY);
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
        INTEGER left = 0, top = 0, right = 0, bottom = 0;
        YYGdiPageClip(left, top, right, bottom);
        YYMetafileClip(left, top, right, bottom);
        break;
    }
    case OpTextWidth: {
        if (!enhanced) break;
        INTEGER width = 0;
        YYMetafileTextExtent(width, YYGdiTextToMeasure());
        YYGdiTextWidthAnswer(width);
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
        YYMetafilePolyline(YYGdiPolygonPoints(b.Count));
        YYPointBufferFree();
        break;
    case OpArc: {
        pageOpen();
        INTEGER xs = 0, ys = 0, xe = 0, ye = 0;
        if (YYGdiSectorPoints(xs, ys, xe, ye)) YYMetafileLine(xs, ys, xe, ye);
        else YYMetafileArc(px(b.X1), py(b.Y1), rx(b.X2), ry(b.Y2), xs, ys, xe, ye, g.HatchDensity);
        break;
    }
    case OpImage: opImage(); break;
    case OpShadedPolygon: opShadedPolygon(); break;
    default: break;
    }
}
