#include "toolkit/devices/WindowsPrinterDriver.h"

#include <algorithm>
#include <cmath>
#include <string>

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

// The device height extent: printer rows count downwards from it.
REAL extentY()
{
    const GraphicsTransform& t = graphicsTransform();
    return t.DeviceYExtent > 0.0f ? t.DeviceYExtent : static_cast<REAL>(graphicsState().DrawableHeight) - 0.01f;
}

INTEGER px(REAL x) { return YYDeviceTrunc(static_cast<DOUBLE>(hardcopyDriverState().XScale) * x); }
INTEGER py(REAL y) { return YYDeviceTrunc((static_cast<DOUBLE>(extentY()) - y) * hardcopyDriverState().YScale); }
INTEGER rx(REAL length) { return YYDeviceTrunc(static_cast<DOUBLE>(hardcopyDriverState().XScale) * length); }
INTEGER ry(REAL length) { return YYDeviceTrunc(static_cast<DOUBLE>(hardcopyDriverState().YScale) * length); }

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
    DriverParameterBlock& b = driverParameterBlock();
    if (b.Count == -999) {
        b.Count = 10;
        return;
    }
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
    DeviceCapabilityTable& caps = deviceCapabilityTable();
    caps.LineTypeCount[1] = 8;
    caps.TextAngles[1] = 360;
    caps.PlatformLevel[1] = YYOsPlatform() == 4 ? 2 : 1;
    caps.TrueColour[1] = 1;
    INTEGER gradient = 1;
    YYGradientFillAvailable(gradient);
    caps.ShadeFillLevel[1] = gradient;
    caps.DeviceTextThreshold[1] = 1.7e38f;
    HardcopyTextScaling& text = hardcopyTextScaling();
    text.TextBoxFlag = 1;
    text.TextSpacingFlag = 1;
    caps.CapabilityString[1].assign("00000111111111100010011011110");
    hardcopyJobState().PrintByCommand = 0;
    hardcopyJobState().DriverDevice = 10;
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

void fillPoints(INTEGER n)
{
    const DriverParameterBlock& b = driverParameterBlock();
    YYPointBufferAlloc(n);
    const REAL xs[4] = {b.X1, b.X2, b.X3, b.X4}, ys[4] = {b.Y1, b.Y2, b.Y3, b.Y4};
    for (INTEGER k = 0; k < n; ++k) YYPointBufferSet(px(xs[k]), py(ys[k]), k);
}

void polygonPoints(INTEGER n)
{
    const DriverParameterBlock& b = driverParameterBlock();
    const INTEGER count =
        std::clamp<INTEGER>(n, 0, static_cast<INTEGER>(std::min(b.PolygonX.size(), b.PolygonY.size())));
    YYPointBufferAlloc(count);
    for (INTEGER k = 0; k < count; ++k)
        YYPointBufferSet(px(b.PolygonX[static_cast<std::size_t>(k)]), py(b.PolygonY[static_cast<std::size_t>(k)]), k);
}

void sectorPoints(INTEGER& xs, INTEGER& ys, INTEGER& xe, INTEGER& ye)
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
    YYSectorEndNudge(xs, ys, xe, ye, b.X4, b.Y4);
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
        fillPoints(4);
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
        fillPoints(3);
        YYPrintPolygon(3, 0);
        YYPointBufferFree();
        break;
    case OpSectorFill: {
        INTEGER xs = 0, ys = 0, xe = 0, ye = 0;
        sectorPoints(xs, ys, xe, ye);
        YYPrintPie(px(b.X1), py(b.Y1), rx(b.X2), ry(b.Y2), xs, ys, xe, ye);
        break;
    }
    case OpPolygonFill:
        polygonPoints(b.Count);
        YYPrintPolygon(b.Count, g.StrokeTextActive != 0 ? 1 : 0);
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
    const INTEGER angle = YYDeviceTrunc(a.DeviceTextAngle);
    INTEGER style = a.TextStyle;
    if (a.CharacterSpacing != 0) {
        width *= a.CharacterSpacing == 1 ? 0.607f : 0.725f;
        if (a.DeviceFontVariant == 4) width *= 1.38f;
        height *= 0.821f;
        if (a.CharacterSpacing == 1) style &= ~kTextUnderline;
    }
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
    const INTEGER opaque = (a.CharacterSpacing != 1 && (a.TextStyle & kTextBox) != 0) ? 1 : 0;
    const std::string_view text = stringWorkBuffer().view().substr(0, static_cast<std::size_t>(std::clamp<INTEGER>(b.IntX1, 0, 260)));
    YYPrintText(px(b.X1 + dx), py(b.Y1 - dy), px(b.X3 + dx), py(b.Y3 - dy), justification, opaque, text);
    b.IntX4 = 0;
}

void opShadedPolygon()
{
    DriverParameterBlock& b = driverParameterBlock();
    const GraphicsTransform& t = graphicsTransform();
    pageOpen();
    ShadedPolygonBlock& shade = shadedPolygonBlock();
    const INTEGER n = std::clamp<INTEGER>(shade.VertexCount, 0,
                                          static_cast<INTEGER>(std::min(b.PolygonX.size(), b.PolygonY.size())));
    shade.VertexCount = std::min(n, ShadedPolygonBlock::kMaxVertices);
    for (INTEGER i = 0; i < shade.VertexCount; ++i) {
        shade.PixelX[static_cast<std::size_t>(i)] = px(b.PolygonX[static_cast<std::size_t>(i)]);
        shade.PixelY[static_cast<std::size_t>(i)] = py(b.PolygonY[static_cast<std::size_t>(i)]);
    }
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
    const REAL e = extentY();
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
    const GraphicsTransform& t = graphicsTransform();
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
        const HardcopyDriverState& d = hardcopyDriverState();
        const REAL e = extentY();
        YYPrintClip(YYDeviceTrunc(d.XScale * t.ClipXMin), YYDeviceTrunc((e - t.ClipYMax) * d.YScale),
                    YYDeviceTrunc(t.ClipXMax * d.XScale + 0.99f), YYDeviceTrunc((e - t.ClipYMin) * d.YScale + 0.99f));
        break;
    }
    case OpTextWidth: {
        const INTEGER n = std::clamp<INTEGER>(b.Value, 0, 260);
        INTEGER width = 0;
        YYPrintTextWidth(width, stringWorkBuffer().view().substr(0, static_cast<std::size_t>(n)));
        b.Count = 1;
        const REAL sx = hardcopyTextScaling().ScaleX;
        b.X1 = sx != 0.0f ? static_cast<REAL>(width) / sx : static_cast<REAL>(width);
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
        polygonPoints(b.Count);
        YYPrintPolyline(b.Count);
        YYPointBufferFree();
        break;
    case OpArc: {
        pageOpen();
        INTEGER xs = 0, ys = 0, xe = 0, ye = 0;
        sectorPoints(xs, ys, xe, ye);
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
