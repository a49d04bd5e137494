#include "toolkit/graphics/GraphicsState.h"

#include <cmath>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/PresentationGraphics.h"
#include "toolkit/graphics/GraphicsText.h"
#include "toolkit/graphics/StrokeFonts.h"

GraphicsState& graphicsState()
{
    static GraphicsState state;
    return state;
}

GraphicsTransform& graphicsTransform()
{
    static GraphicsTransform transform;
    return transform;
}

DrawableHooks& drawableHooks()
{
    static DrawableHooks hooks;
    return hooks;
}

namespace {

bool hasOption(std::string_view options, char letter)
{
    for (char c : options)
        if (c == letter || c == letter + ('a' - 'A')) return true;
    return false;
}

void currentWindowSize(INTEGER& width, INTEGER& height)
{
    const GraphicsState& s = graphicsState();
    width = s.DrawableWidth;
    height = s.DrawableHeight;
    if (drawableHooks().currentWindowSize) drawableHooks().currentWindowSize(width, height);
}

// Makes a window current through the window engine; true unless it refused the window.
bool selectWindow(INTEGER window)
{
    GraphicsState& s = graphicsState();
    LibraryErrorState& errors = libraryErrorState();
    const INTEGER saved = errors.LastErrorNumber;
    errors.LastErrorNumber = 0;
    if (drawableHooks().windowSetCurrent) {
        drawableHooks().windowSetCurrent(window);
    } else {
        s.CurrentWindow = window;
        YYDrawableResized(kDrawableWindow, window, s.DrawableWidth, s.DrawableHeight);
    }
    const bool refused = errors.LastErrorNumber == 1003;
    if (!refused) errors.LastErrorNumber = saved;
    return !refused;
}

void releaseDrawingDC()
{
    if (drawableHooks().releaseDrawingDC) drawableHooks().releaseDrawingDC();
}

// A valid fraction pair for one axis of the area.
bool areaAxisValid(REAL a, REAL b) { return a >= 0.0f && a < 1.0f && b > 0.0f && b <= 1.0f && a < b; }

}  // namespace

void YYUnitsToDevice(REAL x, REAL y, REAL& xd, REAL& yd)
{
    const GraphicsTransform& t = graphicsTransform();
    const REAL ux = x - t.UserXMin, uy = y - t.UserYMin;
    switch (t.PageAngle) {
    case 0:
        xd = t.DeviceXMin + ux * t.DeviceXExtent / t.UserXRange;
        yd = t.DeviceYMin + uy * t.DeviceYExtent / t.UserYRange;
        break;
    case 90:
        xd = t.DeviceXMax - uy * t.DeviceXExtent / t.UserYRange;
        yd = t.DeviceYMin + ux * t.DeviceYExtent / t.UserXRange;
        break;
    case 180:
        xd = t.DeviceXMax - ux * t.DeviceXExtent / t.UserXRange;
        yd = t.DeviceYMax - uy * t.DeviceYExtent / t.UserYRange;
        break;
    case 270:
        xd = t.DeviceXMin + uy * t.DeviceXExtent / t.UserYRange;
        yd = t.DeviceYMax - ux * t.DeviceYExtent / t.UserXRange;
        break;
    default: break;
    }
}

void YYDeviceToUnitsRotated(REAL xd, REAL yd, REAL& x, REAL& y)
{
    const GraphicsTransform& t = graphicsTransform();
    // A drawable without area (zero extent) maps every position onto the units' origin instead of
    // dividing by zero.
    auto scaled = [](REAL d, REAL range, REAL extent) { return extent != 0.0f ? d * range / extent : 0.0f; };
    const REAL dx = xd - t.DeviceXMin, dy = yd - t.DeviceYMin;
    switch (t.PageAngle) {
    case 0:
        x = t.UserXMin + scaled(dx, t.UserXRange, t.DeviceXExtent);
        y = t.UserYMin + scaled(dy, t.UserYRange, t.DeviceYExtent);
        break;
    case 90:
        x = t.UserXMin + scaled(dy, t.UserXRange, t.DeviceYExtent);
        y = t.UserYMax - scaled(dx, t.UserYRange, t.DeviceXExtent);
        break;
    case 180:
        x = t.UserXMax - scaled(dx, t.UserXRange, t.DeviceXExtent);
        y = t.UserYMax - scaled(dy, t.UserYRange, t.DeviceYExtent);
        break;
    case 270:
        x = t.UserXMax - scaled(dy, t.UserXRange, t.DeviceYExtent);
        y = t.UserYMin + scaled(dx, t.UserYRange, t.DeviceXExtent);
        break;
    default: break;
    }
}

void YYEventToUnits(REAL x, REAL y, REAL& userX, REAL& userY, INTEGER bitmapWidth, INTEGER bitmapHeight,
                    INTEGER horizontalScroll, INTEGER verticalBase)
{
    const GraphicsTransform& t = graphicsTransform();
    const REAL w = static_cast<REAL>(bitmapWidth), h = static_cast<REAL>(bitmapHeight);
    const REAL xScale = w * t.AreaWidth / (t.UserXMax - t.UserXMin);
    const REAL yScale = h * t.AreaHeight / (t.UserYMax - t.UserYMin);
    userX = xScale != 0.0f ? (static_cast<REAL>(horizontalScroll) + x - w * t.AreaX1) / xScale + t.UserXMin : t.UserXMin;
    userY = yScale != 0.0f
                ? (h - static_cast<REAL>(verticalBase) + y - h * t.AreaY1) / yScale + t.UserYMin
                : t.UserYMin;
}

void YYAreaLimits(REAL x1, REAL y1, REAL x2, REAL y2)
{
    const GraphicsState& s = graphicsState();
    GraphicsTransform& t = graphicsTransform();
    x1 = std::fmax(x1, 0.0f);
    y1 = std::fmax(y1, 0.0f);
    x2 = std::fmin(x2, static_cast<REAL>(s.DrawableWidth) - 0.01f);
    y2 = std::fmin(y2, static_cast<REAL>(s.DrawableHeight) - 0.01f);
    t.ClipXMin = x1 - 0.001f;
    t.ClipYMin = y1 - 0.001f;
    t.ClipXMax = x2 + 0.001f;
    t.ClipYMax = y2 + 0.001f;
    t.PixelXMin = YYDeviceTrunc(x1);
    t.PixelYMin = YYDeviceTrunc(y1);
    t.PixelXMax = YYDeviceTrunc(x2);
    t.PixelYMax = YYDeviceTrunc(y2);
    t.PixelWidth = t.PixelXMax - t.PixelXMin + 1;
    t.PixelHeight = t.PixelYMax - t.PixelYMin + 1;
    t.DeviceXMin = x1;
    t.DeviceXMax = x2;
    t.DeviceXExtent = x2 - x1;
    t.DeviceYMin = y1;
    t.DeviceYMax = y2;
    t.DeviceYExtent = y2 - y1;
    YYDriverCurrent(OpClipArea);
}

void IGrArea(REAL x1, REAL y1, REAL x2, REAL y2)
{
    const GraphicsState& s = graphicsState();
    GraphicsTransform& t = graphicsTransform();
    t.AreaX1 = x1;
    t.AreaX2 = x2;
    if (!areaAxisValid(x1, x2)) {
        t.AreaX1 = 0.0f;
        t.AreaX2 = 1.0f;
        YYErrorReport(44, "IGrArea");
    }
    t.AreaY1 = y1;
    t.AreaY2 = y2;
    if (!areaAxisValid(y1, y2)) {
        t.AreaY1 = 0.0f;
        t.AreaY2 = 1.0f;
        YYErrorReport(44, "IGrArea");
    }
    const REAL w = static_cast<REAL>(s.DrawableWidth), h = static_cast<REAL>(s.DrawableHeight);
    YYAreaLimits(w * t.AreaX1, h * t.AreaY1, w * t.AreaX2, h * t.AreaY2);
    if (s.WindowSwitchFlag != 0) return;
    YYDriverHardcopy(OpClipArea);
    t.AreaWidth = t.AreaX2 - t.AreaX1;
    t.AreaHeight = t.AreaY2 - t.AreaY1;
    if (drawableHooks().hardcopyRescale) drawableHooks().hardcopyRescale();
}

void IGrUnits(REAL xmin, REAL ymin, REAL xmax, REAL ymax)
{
    GraphicsTransform& t = graphicsTransform();
    // A range that is not finite would make every transformed point infinite or NaN.
    const auto valid = [](REAL a, REAL b) { return a < b && std::isfinite(b - a); };
    if (valid(xmin, xmax)) {
        t.UserXMin = xmin;
        t.UserXMax = xmax;
    } else {
        t.UserXMin = 0.0f;
        t.UserXMax = 1.0f;
        YYErrorReport(16, "IGrUnits");
    }
    if (valid(ymin, ymax)) {
        t.UserYMin = ymin;
        t.UserYMax = ymax;
    } else {
        t.UserYMin = 0.0f;
        t.UserYMax = 1.0f;
        YYErrorReport(16, "IGrUnits");
    }
    t.UserXRange = t.UserXMax - t.UserXMin;
    t.UserYRange = t.UserYMax - t.UserYMin;
}

void YYDrawableResized(INTEGER kind, INTEGER identifier, INTEGER width, INTEGER height)
{
    GraphicsState& s = graphicsState();
    if (s.DrawableKind != kind || s.DrawableId != identifier) return;
    GraphicsTransform& t = graphicsTransform();
    s.DrawableWidth = width;
    s.DrawableHeight = height;
    t.DrawableXLimit = static_cast<REAL>(width) - 0.01f;
    t.DrawableYLimit = static_cast<REAL>(height) - 0.01f;
    driverParameterBlock().Value = -1;
    YYDriverHardcopy(OpBeginOutput);
    IGrArea(t.AreaX1, t.AreaY1, t.AreaX2, t.AreaY2);
}

void YYWindowResized(INTEGER window, INTEGER width, INTEGER height)
{
    if (window != graphicsState().CurrentWindow) return;
    if (drawableHooks().winTextScale) drawableHooks().winTextScale();
    YYDrawableResized(kDrawableWindow, window, width, height);
}

void YYFieldResized(INTEGER dialog, INTEGER field, INTEGER width, INTEGER height)
{
    const GraphicsState& s = graphicsState();
    if (s.DrawableKind != kDrawableDialogField || s.DrawableDialog != dialog || s.DrawableId != field) return;
    if (drawableHooks().winTextScale) drawableHooks().winTextScale();
    YYDrawableResized(kDrawableDialogField, field, width, height);
}

void YYMetafileSlotInfo(INTEGER slot, INTEGER& status, INTEGER& width, INTEGER& height)
{
    INTEGER kind = 0, w = 0, h = 0, slotStatus = status;
    if (slot >= 1 && slot <= 20 && drawableHooks().metafileSlot)
        drawableHooks().metafileSlot(slot, kind, w, h, slotStatus);
    GraphicsState& s = graphicsState();
    if (slot < 1 || slot > 20 || kind == 0) {
        status = 1;
    } else if (kind == 3) {
        s.MetafileRecording = 0;
        status = slotStatus;
        width = w;
        height = h;
    } else if (kind == 6) {
        s.MetafileRecording = 1;
        status = 0;
        width = w;
        height = h;
    }
}

void IGrSelect(INTEGER kind, std::optional<INTEGER> identifier)
{
    GraphicsState& s = graphicsState();
    const INTEGER wasRecording = s.MetafileRecording;
    s.MetafileRecording = 0;
    const INTEGER previousKind = s.DrawableKind;
    bool failed = false;
    INTEGER width = 0, height = 0;
    switch (kind) {
    case kDrawableWindow:
        s.DrawableKind = kind;
        releaseDrawingDC();
        s.DrawableId = identifier.value_or(s.CurrentWindow);
        s.DrawableDialog = 0;
        failed = !selectWindow(s.DrawableId);
        break;
    case kDrawableBitmap: {
        s.DrawableKind = kind;
        releaseDrawingDC();
        s.DrawableId = identifier.value_or(1);
        s.DrawableDialog = 0;
        INTEGER status = 1;
        if (drawableHooks().bitmapSelect) drawableHooks().bitmapSelect(s.DrawableId - 1, status, width, height);
        failed = status > 0;
        if (!failed) YYDrawableResized(kDrawableBitmap, s.DrawableId, width, height);
        break;
    }
    case kDrawableDialogField: {
        const INTEGER dialog = drawableHooks().currentDialog ? drawableHooks().currentDialog() : 0;
        if (dialog == 0) {
            failed = true;
            break;
        }
        s.DrawableKind = kind;
        releaseDrawingDC();
        s.DrawableId = identifier.value_or(0);
        s.DrawableDialog = dialog;
        INTEGER field = s.DrawableId;
        if (drawableHooks().dialogDrawTarget) drawableHooks().dialogDrawTarget(field, width, height);
        else field = -1;
        failed = field == -1;
        if (!failed) YYDrawableResized(kDrawableDialogField, s.DrawableId, width, height);
        break;
    }
    case kDrawablePicture: {
        s.DrawableKind = kind;
        releaseDrawingDC();
        s.DrawableId = identifier.value_or(1);
        s.DrawableDialog = 0;
        INTEGER status = 0;
        YYMetafileSlotInfo(s.DrawableId, status, width, height);
        failed = status > 0;
        if (!failed) YYDrawableResized(kDrawablePicture, s.DrawableId, width, height);
        break;
    }
    default: break;
    }
    (void)previousKind;
    if (failed) {
        s.MetafileRecording = 0;
        s.DrawableId = s.CurrentWindow;
        s.DrawableDialog = 0;
        s.DrawableKind = kDrawableWindow;
        currentWindowSize(width, height);
        YYDrawableResized(kDrawableWindow, s.DrawableId, width, height);
        YYErrorReport(1019, "IGrSelect");
        return;
    }
    YYDriverCurrent(OpInit);
    if (wasRecording != 0 || s.MetafileRecording != 0) {
        YYDriverCurrent(OpBeginOutput);
        YYDriverCurrent(OpLineWidth);
        YYDriverCurrent(OpLineType);
        YYDriverCurrent(OpColourRestore);
        YYDriverCurrent(OpClipArea);
        if (s.WindowSwitchFlag != 0) YYDriverCurrent(OpCharSize);
    }
}

void IGrResetGraphics(std::string_view options)
{
    GraphicsState& s = graphicsState();
    GraphicsTransform& t = graphicsTransform();
    t.AreaX1 = t.AreaY1 = 0.0f;
    t.AreaX2 = t.AreaY2 = 1.0f;
    t.AreaWidth = t.AreaHeight = 1.0f;
    t.UserXRange = t.UserYRange = 1.0f;
    t.PageAngle = 0;
    t.CharWidthFraction = 0.01333333f;
    t.CharHeightFraction = 0.04f;
    YYTextStateReset();

    s.StrokeTextActive = 0;
    s.PlotMode = 0;
    s.ColourModel = 1;
    s.ColourIndex = {0, 223};
    s.ColourRGB = {16777215, 0};
    s.LineType = 0;
    s.LineWidth = 1;
    s.MetafileLineWidth = 5;

    if (hasOption(options, 'H')) {
        s.DrawableActive = 0;
    } else {
        s.DrawableActive = 1;
        YYDriverCurrent(OpBeginOutput);
    }
    IGrSelect(kDrawableWindow, s.CurrentWindow);
    if (s.DrawableActive == 1) {
        s.DeviceColours = s.PaletteSlots;
        // The first palette build ran before the device's colour count was known.
        YYSlotColoursSeed();
        // Colour n then colour m leaves n as the previous and m as the current colour.
        const INTEGER previous = s.ColourIndex[0], current = s.ColourIndex[1];
        IGrColourN(previous);
        IGrColourN(current);
        YYDriverCurrent(OpPlotMode);
        YYDriverCurrent(OpLineType);
        YYDriverCurrent(OpLineWidth);
    }
    YYCharScale();
    YYCHSPACE(0);
    YYStrokeFontStandard();

    // A running hardcopy ends without its page being closed, and a print command left by a
    // finished job runs.
    if (drawableHooks().hardcopyStop) drawableHooks().hardcopyStop();
    else YYDriverHardcopy(OpEndOutput);
    s.HardcopyActive = 0;
    DriverParameterBlock& block = driverParameterBlock();
    const bool keep = hasOption(options, 'P') && drawableHooks().hardcopyOptionsSave &&
                      drawableHooks().hardcopyOptionsSave();
    block.Value = keep ? -998 : 0;
    if (drawableHooks().hardcopyOptionsClear) drawableHooks().hardcopyOptionsClear();
    YYHardcopyDispatch(OpInit);
    block.Value = 0;
    if (keep && drawableHooks().hardcopyOptionsRestore) drawableHooks().hardcopyOptionsRestore();

    YYPresentationReset();
    IGrUnits(0.0f, 0.0f, 1.0f, 1.0f);
    t.CurrentPointX = t.CurrentPointY = 0.0f;
    s.FillStyle = 0;
    s.LayerFillRequest = {0, 0};
    s.FillOutline = 1;
}

INTEGER IGrInquire(INTEGER code)
{
    const GraphicsState& s = graphicsState();
    const GraphicsTransform& t = graphicsTransform();
    const DeviceCapabilityTable& caps = deviceCapabilityTable();
    if (code >= 1 && code <= 29) return caps.CapabilityString[0].view()[static_cast<std::size_t>(code - 1)] == '1' ? 1 : 0;
    switch (code) {
    case 30: return s.DeviceColours;
    case 31: return s.PaletteSlots;
    case 32: return YYDeviceTrunc(t.DrawableAspect * 100.0f);
    case 33: return 5;
    case 34: return s.ColourModel == 2 ? s.ColourRGB[0] : s.ColourIndex[0];
    case 35: return s.ColourModel == 2 ? s.ColourRGB[1] : s.ColourIndex[1];
    case 36: return s.LineType;
    case 37: return s.PlotMode;
    case 38: return caps.LineTypeCount[0];
    case 39: return strokeFontTable().StrokeCodeBits;
    case 40: return caps.TextAngles[0];
    case 41: return caps.PlatformLevel[0];
    case 42: return caps.TrueColour[0];
    case 43: return s.DrawableKind;
    case 44: return s.DrawableId;
    case 45: return drawableHooks().systemColour ? drawableHooks().systemColour(45) : 0;
    case 46: return drawableHooks().systemColour ? drawableHooks().systemColour(46) : 16777215;
    case 49: return caps.ShadeFillLevel[0];
    default: return 0;
    }
}

void IGrWorldToPixel(REAL x, REAL y, INTEGER& ix, INTEGER& iy)
{
    REAL xd = 0.0f, yd = 0.0f;
    YYUnitsToDevice(x, y, xd, yd);
    ix = YYDeviceFloor(xd);
    iy = YYDeviceFloor(yd);
}

void IGrPixelToWorld(INTEGER ix, INTEGER iy, REAL& x, REAL& y)
{
    YYDeviceToUnitsRotated(static_cast<REAL>(ix) + 0.5f, static_cast<REAL>(iy) + 0.5f, x, y);
}
