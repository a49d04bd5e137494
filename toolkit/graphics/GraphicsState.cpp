#include "toolkit/graphics/GraphicsState.h"

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

namespace {

// The device area is the area fractions of the drawable, kept a hair inside its last pixel.
void applyDeviceArea()
{
    const GraphicsState& state = graphicsState();
    GraphicsTransform& t = graphicsTransform();
    t.DrawableXLimit = static_cast<REAL>(state.DrawableWidth) - 0.01f;
    t.DrawableYLimit = static_cast<REAL>(state.DrawableHeight) - 0.01f;
    t.DeviceXMin = t.AreaX1 * t.DrawableXLimit;
    t.DeviceXMax = t.AreaX2 * t.DrawableXLimit;
    t.DeviceYMin = t.AreaY1 * t.DrawableYLimit;
    t.DeviceYMax = t.AreaY2 * t.DrawableYLimit;
}

bool hasOption(std::string_view options, char letter)
{
    for (char c : options)
        if (c == letter || c == letter + ('a' - 'A')) return true;
    return false;
}

}  // namespace

void IGrResetGraphics(std::string_view options)
{
    GraphicsState& s = graphicsState();
    s.StrokeTextActive = 0;
    s.LayerFillRequest = {0, 0};
    s.FillOutline = 1;
    s.FillStyle = 0;
    s.MetafileLineWidth = 5;
    s.LineWidth = 1;
    s.LineType = 0;
    s.PlotMode = 0;
    s.ColourModel = 1;
    s.ColourIndex = {0, 223};
    s.ColourRGB = {16777215, 0};
    s.WindowSwitchFlag = 0;
    s.DrawableActive = hasOption(options, 'H') ? 0 : 1;
    if (s.DrawableActive) s.DeviceColours = s.PaletteSlots;
    GraphicsTransform& t = graphicsTransform();
    t.PageAngle = 0;
    t.AreaX1 = t.AreaY1 = 0.0f;
    t.AreaX2 = t.AreaY2 = 1.0f;
    t.UserXMin = t.UserYMin = 0.0f;
    t.UserXMax = t.UserYMax = 1.0f;
    t.CharWidthFraction = 0.01333333f;
    t.CharHeightFraction = 0.04f;
    if (s.DrawableActive) {
        s.DrawableKind = kDrawableWindow;
        s.DrawableId = s.CurrentWindow;
        s.DrawableDialog = 0;
        s.MetafileRecording = 0;
    }
    applyDeviceArea();
}

void YYDrawableResized(INTEGER kind, INTEGER identifier, INTEGER width, INTEGER height)
{
    GraphicsState& s = graphicsState();
    if (s.DrawableKind != kind || s.DrawableId != identifier) return;
    s.DrawableWidth = width;
    s.DrawableHeight = height;
    applyDeviceArea();
}

void YYWindowResized(INTEGER window, INTEGER width, INTEGER height)
{
    if (window != graphicsState().CurrentWindow) return;
    YYDrawableResized(kDrawableWindow, window, width, height);
}

void YYFieldResized(INTEGER dialog, INTEGER field, INTEGER width, INTEGER height)
{
    const GraphicsState& s = graphicsState();
    if (s.DrawableKind != kDrawableDialogField || s.DrawableDialog != dialog) return;
    YYDrawableResized(kDrawableDialogField, field, width, height);
}

void YYDeviceToUnitsRotated(REAL x, REAL y, REAL& userX, REAL& userY)
{
    const GraphicsTransform& t = graphicsTransform();
    REAL dx = x, dy = y;
    const REAL w = static_cast<REAL>(graphicsState().DrawableWidth), h = static_cast<REAL>(graphicsState().DrawableHeight);
    switch (t.PageAngle) {  // undo the page rotation before scaling
    case 90: dx = y; dy = w - x; break;
    case 180: dx = w - x; dy = h - y; break;
    case 270: dx = h - y; dy = x; break;
    default: break;
    }
    const REAL xExtent = t.DeviceXMax - t.DeviceXMin, yExtent = t.DeviceYMax - t.DeviceYMin;
    userX = xExtent != 0.0f ? t.UserXMin + (dx - t.DeviceXMin) * (t.UserXMax - t.UserXMin) / xExtent : t.UserXMin;
    userY = yExtent != 0.0f ? t.UserYMin + (dy - t.DeviceYMin) * (t.UserYMax - t.UserYMin) / yExtent : t.UserYMin;
}

void YYSplitRGB(INTEGER colour, INTEGER* red, INTEGER* green, INTEGER* blue)
{
    if (red) *red = colour % 256;
    if (green) *green = (colour / 256) % 256;
    if (blue) *blue = (colour / 65536) % 256;
}

void YYScaleDashPatterns() {}
