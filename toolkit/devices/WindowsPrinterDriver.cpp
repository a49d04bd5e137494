#include "toolkit/devices/WindowsPrinterDriver.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "toolkit/devices/GdiPrimitives.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/ImageDraw.h"
#include "toolkit/devices/PrinterArithmetic.h"
#include "toolkit/devices/PrinterDeviceContext.h"
#include "toolkit/devices/PrinterPrimitives.h"
#include "toolkit/devices/PrinterQuery.h"
#include "toolkit/foundation/CommonDialogs.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/OsEnvironment.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GdiDrawingState.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/graphics/ShadedPolygons.h"

WindowsPrinterDriverState& windowsPrinterDriverState()
{
    static WindowsPrinterDriverState state;
    return state;
}

namespace {

WindowsPrinterDriverState& ds() { return windowsPrinterDriverState(); }
HardcopyOptionBlock& opts() { return hardcopyOptionBlock(); }

INTEGER px(REAL x) { return YYGdiX(x); }
INTEGER py(REAL y) { return YYGdiY(y); }
INTEGER rx(REAL length) { return YYGdiXLength(length); }
INTEGER ry(REAL length) { return YYGdiYLength(length); }

void pageOpen() { hardcopyJobState().PageOpen = -1; }

// The error of a print result the printer refused, under the driver's name.
void reportPrintFailure()
{
    libraryErrorState().FileDetailKind = 2;
    libraryErrorState().FileDetailCode = static_cast<INTEGER>(GetLastError());
    YYErrorReport(1, "XXWIN");
}

void opInit()
{
    if (YYDriverIdentify(10)) return;
    const DriverParameterBlock& b = driverParameterBlock();
    HardcopyOptionBlock& o = opts();
    // A re-initialisation that keeps the options keeps the copies too, which the shared defaults reset.
    const INTEGER copies = o.value(8);
    YYDriverReset();
    if (b.Value == -998) o.Options[8] = copies;
    if (b.Value != -998) {
        INTEGER longSide = 0, shortSide = 0, width = 0, height = 0, xOffset = 0, yOffset = 0, orientation = 0,
                copies = 0;
        YYPrinterQuery(longSide, shortSide, width, height, xOffset, yOffset, orientation, copies, ds().Colours,
                       ds().QueryStatus);
        o.Options[31] = longSide;
        o.Options[30] = shortSide;
        o.Options[1] = width;
        o.Options[2] = height;
        o.Options[3] = 72;
        o.Options[4] = 72;
        o.Options[5] = 1;
        o.Options[8] = 1;
        hardcopyFillState().HardcopyColours = ds().Colours;
        o.Options[32] = ds().QueryStatus == 0 ? 1 : 0;
        // NUMCOLORS is -1 on deep colour devices: that is colour, not monochrome; a small count is
        // checked against what the printer's driver says of colour.
        INTEGER colourDevice = 0;
        if (ds().QueryStatus == 0 && !YYPrinterIsColour(ds().Colours)) {
            const PageSetupState& p = pageSetupState();
            colourDevice = DeviceCapabilitiesA(p.deviceName.c_str(), p.outputPort.c_str(), DC_COLORDEVICE, nullptr,
                                               nullptr);
        }
        o.Options[7] = YYPrinterIsColour(ds().Colours, colourDevice) ? 0 : 1;
    }
    YYHardcopyDeviceFactsSet({.Capabilities = YYGdiCapabilities(),
                              .TextBoxFlag = 1,
                              .TextSpacingFlag = 1,
                              .PrintByCommand = 0,
                              .DriverDevice = 10});
}

void opBeginOutput()
{
    DriverParameterBlock& b = driverParameterBlock();
    HardcopyDriverState& d = hardcopyDriverState();
    const HardcopyOptionBlock& o = opts();
    if (b.Value > 0) {
        INTEGER code = ds().QueryStatus;
        INTEGER failure = code != 0 ? 1 : 0;
        if (failure == 0) {
            HardcopyJobState& job = hardcopyJobState();
            if (b.IntX1 == 0) job.Title.assign("Devivozivuz graphic");
            const std::string name(job.Title.trimmed());
            INTEGER resX = 0, resY = 0, colours = 0;
            YYPrintDocStart(o.value(1), o.value(2), o.value(3), o.value(4), resX, resY, colours, failure, code,
                            o.value(5), std::max<INTEGER>(o.value(8), 1), name);
            if (failure == 0) {
                d.ResolutionX = resX;
                d.ResolutionY = resY;
                ds().ResolutionX = static_cast<REAL>(resX);
                ds().ResolutionY = static_cast<REAL>(resY);
                ds().PageWidth = resX * o.value(1) / 72;
                ds().PageHeight = resY * o.value(2) / 72;
                ds().Colours = colours;
                hardcopyFillState().HardcopyColours = colours == -1 ? 256 : std::min<INTEGER>(colours, 256);
                ds().Red = ds().Green = ds().Blue = 255;
            }
        }
        ds().StartFailed = failure;
        ds().StartError = code;
        if (failure != 0) {
            libraryErrorState().FileDetailKind = 2;
            libraryErrorState().FileDetailCode = code;
            YYErrorReport(1, "XXWIN");
            graphicsState().HardcopyActive = 0;
            return;
        }
    }
    const GraphicsState& g = graphicsState();
    d.XScale = g.DrawableWidth > 0 ? static_cast<REAL>(ds().PageWidth) / static_cast<REAL>(g.DrawableWidth) : 0.0f;
    d.YScale = g.DrawableHeight > 0 ? static_cast<REAL>(ds().PageHeight) / static_cast<REAL>(g.DrawableHeight) : 0.0f;
}

void applyColour()
{
    WindowsPrinterDriverState& s = ds();
    const GraphicsState& g = graphicsState();
    s.SavedRed = s.Red;
    s.SavedGreen = s.Green;
    s.SavedBlue = s.Blue;
    if (opts().value(7) == 0) {
        YYColourToRGB(g.ColourModel == 1 ? g.ColourIndex[1] : g.ColourRGB[1], s.Red, s.Green, s.Blue);
        YYPrintColourInvert(s.Red, s.Green, s.Blue);
    } else {
        const bool white = g.ColourModel == 1 ? g.ColourIndex[1] == 0 : g.ColourRGB[1] == 16777215;
        s.Red = s.Green = s.Blue = white ? 255 : 0;
    }
    YYPrintColour(s.Red, s.Green, s.Blue);
}

void opFill(INTEGER op)
{
    DriverParameterBlock& b = driverParameterBlock();
    WindowsPrinterDriverState& s = ds();
    const GraphicsState& g = graphicsState();
    const GraphicsTransform& t = graphicsTransform();
    if (b.Value == -1) {
        if (s.FillApplied) {
            YYPrintColour(s.SavedRed, s.SavedGreen, s.SavedBlue);
            YYPrintColour(s.Red, s.Green, s.Blue);
            s.FillApplied = 0;
        }
        return;
    }
    pageOpen();
    const INTEGER style = g.FillStyle;
    if (style == 3 || style == 4 || ((style == 1 || style == 2) && opts().value(7) == 1)) {
        YYColourToRGB(g.ColourModel == 1 ? g.ColourIndex[1] : g.ColourRGB[1], s.FillRed, s.FillGreen, s.FillBlue);
        if (style == 3) {
            INTEGER r = 0, gr = 0, bl = 0;
            YYColourToRGB(g.ColourModel == 1 ? g.ColourIndex[0] : g.ColourRGB[0], r, gr, bl);
            s.FillRed = (s.FillRed + r) / 2;
            s.FillGreen = (s.FillGreen + gr) / 2;
            s.FillBlue = (s.FillBlue + bl) / 2;
        }
        YYPrintColourInvert(s.FillRed, s.FillGreen, s.FillBlue);
        YYPrintColour(s.FillRed, s.FillGreen, s.FillBlue);
        s.FillApplied = 1;
    }
    if (style < 3 && op != OpEllipseFill) return;
    switch (op) {
    case OpEllipseFill: YYPrintEllipse(px(b.X1), py(b.Y1), rx(b.X2), ry(b.Y2), style); break;
    case OpQuadFill:
        YYGdiCornerPoints(4);
        YYPrintPolygon(4, 0);
        YYPointBufferFree();
        break;
    case OpRectangleFill: {
        const REAL left = std::max(b.X1, t.ClipXMin), right = std::min(b.X2, t.ClipXMax);
        const REAL bottom = std::max(b.Y1, t.ClipYMin), top = std::min(b.Y2, t.ClipYMax);
        YYPrintRectangle(px(left), py(top), px(right), py(bottom));
        break;
    }
    case OpTriangleFill:
        YYGdiCornerPoints(3);
        YYPrintPolygon(3, 0);
        YYPointBufferFree();
        break;
    case OpSectorFill: {
        INTEGER xs = 0, ys = 0, xe = 0, ye = 0;
        YYGdiSectorPoints(xs, ys, xe, ye);
        YYPrintPie(px(b.X1), py(b.Y1), rx(b.X2), ry(b.Y2), xs, ys, xe, ye);
        break;
    }
    case OpPolygonFill:
        YYGdiPolygonPoints(b.Count);
        YYPrintPolygon(b.Count, g.StrokeTextActive != 0 ? 1 : 0);
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
    const INTEGER angle = YYDeviceTrunc(a.DeviceTextAngle);
    INTEGER h = YYDeviceTrunc(height);
    YYPrintFont(YYDeviceTrunc(width), h, ds().Ascent, angle, a.DeviceFontVariant, style,
                a.DeviceFontVariant == 0 ? a.DeviceFaceName.trimmed() : std::string_view());
    ds().CellHeight = h;
}

void opText()
{
    DriverParameterBlock& b = driverParameterBlock();
    const TextState& a = textState();
    const HardcopyTextScaling& scaling = hardcopyTextScaling();
    pageOpen();
    const REAL d = static_cast<REAL>(ds().Ascent) - static_cast<REAL>(ds().CellHeight) / 2.0f;
    const REAL sx = scaling.ScaleX != 0.0f ? scaling.ScaleX : 1.0f, sy = scaling.ScaleY != 0.0f ? scaling.ScaleY : 1.0f;
    const REAL dx = d * a.TextUpSin / sx, dy = d * a.TextDirCos / sy;
    const INTEGER justification = a.CharacterSpacing == 1 ? 0 : a.TextJustification;
    // The graphics layer fills the box of stacked text itself: a background behind each character,
    // in the colour drawn before, would cover its neighbours.
    const INTEGER opaque = (a.CharacterSpacing != 1 && a.TextStacked == 0 && (a.TextStyle & kTextBox) != 0) ? 1 : 0;
    const std::string_view text = stringWorkBuffer().view().substr(0, static_cast<std::size_t>(std::clamp<INTEGER>(b.IntX1, 0, 260)));
    YYPrintText(px(b.X1 + dx), py(b.Y1 - dy), px(b.X3 + dx), py(b.Y3 - dy), justification, opaque, text);
    b.IntX4 = 0;
}

void opShadedPolygon()
{
    const GraphicsTransform& t = graphicsTransform();
    pageOpen();
    YYShadedPolygonPixels(&YYGdiX, &YYGdiY);
    YYShadedPolygonFill(deviceCapabilityTable().ShadeFillLevel[1], px(t.ClipXMin), py(t.ClipYMax), px(t.ClipXMax),
                        py(t.ClipYMin), &YYPrintPixel, &YYPrintGradient);
}

// The image file into the clip rectangle in printer pixels, stretched; on the NT family a turned
// page draws through a world transform about the device clip's rotation offsets.
void opImage()
{
    pageOpen();
    const GraphicsTransform& t = graphicsTransform();
    const HardcopyDriverState& d = hardcopyDriverState();
    DriverParameterBlock& b = driverParameterBlock();
    const REAL e = YYDrawableYExtent();
    INTEGER x1 = YYDeviceTrunc(d.XScale * t.ClipXMin), y1 = YYDeviceTrunc((e - t.ClipYMax) * d.YScale);
    INTEGER x2 = YYDeviceTrunc(d.XScale * t.ClipXMax), y2 = YYDeviceTrunc((e - t.ClipYMin) * d.YScale);
    const bool turned = t.PageAngle % 180 != 0 && YYWorldTransformsAvailable();
    if (turned) {
        x1 = YYDeviceTrunc(d.YScale * t.ClipYMin);
        y1 = YYDeviceTrunc((e - t.ClipXMax) * d.XScale);
        x2 = YYDeviceTrunc(d.YScale * t.ClipYMax);
        y2 = YYDeviceTrunc((e - t.ClipXMin) * d.XScale);
    }
    const INTEGER h = graphicsState().DrawableHeight;
    INTEGER ox = 0, oy = 0;
    switch (t.PageAngle) {
    case 90: ox = t.PixelXMin + t.PixelXMax - h, oy = h; break;
    case 180: ox = t.PixelXMin + t.PixelXMax, oy = 2 * h - t.PixelYMin - t.PixelYMax; break;
    case 270: ox = h, oy = h - t.PixelYMin - t.PixelYMax; break;
    default: break;
    }
    YYImageDraw(b.IntX1, kImageTargetPrinter, x1, y1, x2, y2, 1, t.PageAngle, YYDeviceTrunc(ox * d.XScale),
                YYDeviceTrunc(oy * d.YScale), b.Value, b.Count, stringWorkBuffer().trimmed());
}

}  // namespace

void XXWIN(INTEGER op)
{
    DriverParameterBlock& b = driverParameterBlock();
    const GraphicsState& g = graphicsState();
    switch (op) {
    case OpInit: opInit(); break;
    case OpLine:
        pageOpen();
        YYPrintLine(px(b.X1), py(b.Y1), px(b.X2), py(b.Y2));
        break;
    case OpColour:
    case OpColourRestore: applyColour(); break;
    case OpEllipseFill:
    case OpQuadFill:
    case OpRectangleFill:
    case OpTriangleFill:
    case OpSectorFill:
    case OpPolygonFill: opFill(op); break;
    case OpBeginOutput: opBeginOutput(); break;
    case OpEndOutput:
        if (!YYPrintDocEnd()) reportPrintFailure();
        break;
    case OpEndPage:
        hardcopyJobState().PageOpen = 0;
        if (!printerDrawingState().PagePending && !YYPrintPageEnd()) reportPrintFailure();
        break;
    case OpCharSize:
    case OpTextAngle: opFont(); break;
    case OpText: opText(); break;
    case OpClipArea: {
        INTEGER left = 0, top = 0, right = 0, bottom = 0;
        YYGdiPageClip(left, top, right, bottom);
        YYPrintClip(left, top, right, bottom);
        break;
    }
    case OpTextWidth: {
        INTEGER width = 0;
        YYPrintTextWidth(width, YYGdiTextToMeasure());
        YYGdiTextWidthAnswer(width);
        break;
    }
    case OpPoint:
        pageOpen();
        YYPrintDot(px(b.X1), py(b.Y1));
        break;
    case OpLineType: YYPrintLineStyle(g.LineType); break;
    case OpLineWidth: {
        const HardcopyDriverState& d = hardcopyDriverState();
        YYPrintPenWidth(YYPrintPenWidthFor(opts().value(9), d.ResolutionX, d.ResolutionY));
        break;
    }
    case OpPolyline:
        pageOpen();
        YYGdiPolygonPoints(b.Count);
        YYPrintPolyline(b.Count);
        YYPointBufferFree();
        break;
    case OpArc: {
        pageOpen();
        INTEGER xs = 0, ys = 0, xe = 0, ye = 0;
        YYGdiSectorPoints(xs, ys, xe, ye);
        YYPrintArc(px(b.X1), py(b.Y1), rx(b.X2), ry(b.Y2), xs, ys, xe, ye, g.HatchDensity);
        break;
    }
    case OpImage: opImage(); break;
    case OpShadedPolygon: opShadedPolygon(); break;
    default: break;
    }
}

void YYWindowsPrinterInstall()
{
    // Only into the empty entry: a driver put there before (a test's recording one) stays.
    if (!driverHooks().HardcopyDrivers[10]) driverHooks().HardcopyDrivers[10] = &XXWIN;
    YYScreenPrintHooksInstall();
}
