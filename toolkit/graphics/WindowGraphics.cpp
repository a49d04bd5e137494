#include "toolkit/graphics/WindowGraphics.h"

#include <cstring>
#include <string>
#include <vector>

#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/OsFiles.h"
#include "toolkit/foundation/ToolkitStartUp.h"
#include "toolkit/foundation/WindowEngineHooks.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/GdiDrawingState.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/graphics/StrokeFonts.h"

namespace {

INTEGER bitsOf(REAL value)
{
    INTEGER word;
    std::memcpy(&word, &value, sizeof word);
    return word;
}

void buildScreenPalette(INTEGER slots)
{
    // The default palette must exist before the screen palette is taken from it.
    YYPaletteDefault();
    std::vector<INTEGER> colours = YYScreenPaletteColours(slots);
    for (INTEGER named : windowEngineState().NamedColours) colours.push_back(named);
    std::vector<BYTE> block(sizeof(LOGPALETTE) + colours.size() * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(colours.size());
    for (std::size_t i = 0; i < colours.size(); ++i)
        palette->palPalEntry[i] = PALETTEENTRY{static_cast<BYTE>(colours[i] & 0xFF),
                                               static_cast<BYTE>((colours[i] >> 8) & 0xFF),
                                               static_cast<BYTE>((colours[i] >> 16) & 0xFF), 0};
    gdiDrawingState().PaletteHandle.reset(CreatePalette(palette));
}

void displayFacts(INTEGER pixelsPerInch, INTEGER userDashes, INTEGER paletteSlots)
{
    gdiDrawingState().ScreenResolution = pixelsPerInch;
    gdiDrawingState().UserDashes = userDashes;
    graphicsState().PaletteSlots = paletteSlots;
}

void mainWindowDcAttach(HDC dc, HWND client, bool paletteDisplay, INTEGER paletteSlots)
{
    GdiDrawingState& gdi = gdiDrawingState();
    gdi.DrawingDC = dc;
    gdi.DrawingWindow = client;
    if (paletteDisplay) buildScreenPalette(paletteSlots);
    if (gdi.PaletteHandle) {
        SelectPalette(dc, static_cast<HPALETTE>(gdi.PaletteHandle.get()), FALSE);
        RealizePalette(dc);
    }
    if (!gdi.PatternBitmap) gdi.PatternBitmap.reset(CreateCompatibleBitmap(dc, 8, 8));
    gdi.Brush.reset();
    gdi.Pen.reset();
    gdi.LineTypeInUse = 0;
    gdi.RasterOp = R2_COPYPEN;
    gdi.HalftoneBrush = 0;
    YYGdiSelectObjects();
    YYScaleDashPatterns();
    gdi.PictureDC.reset();
    gdi.BitmapSelected = 0;
}

void mainWindowOpened(INTEGER paletteSlots, INTEGER width, INTEGER height)
{
    GraphicsState& g = graphicsState();
    if (paletteSlots > 0) g.PaletteSlots = paletteSlots;
    YYPaletteDefault();
    g.CurrentWindow = 0;
    g.DrawableWidth = width;
    g.DrawableHeight = height;
    YYScreenDriverInstall();
    YYWindowDrawableInstall();
    IGrResetGraphics(" ");
}

void windowDcDetach(HDC dc)
{
    GdiDrawingState& gdi = gdiDrawingState();
    if (!dc || gdi.DrawingDC != dc) return;
    YYGdiDeselectObjects();
    gdi.DrawingDC = nullptr;
}

void windowDcAttach(HDC dc, HWND client)
{
    if (!YYGdiDrawsElsewhere()) YYGdiAttachDrawingDC(dc, client);
}

void windowClosed(HWND client)
{
    GdiDrawingState& gdi = gdiDrawingState();
    if (gdi.DrawingWindow != client) return;
    gdi.DrawingDC = nullptr;
    gdi.DrawingWindow = nullptr;
}

void windowSelected(INTEGER window, INTEGER width, INTEGER height, INTEGER switchFlag)
{
    GraphicsState& g = graphicsState();
    g.CurrentWindow = window;
    if (g.DrawableKind == kDrawableWindow) g.DrawableId = window;
    g.WindowSwitchFlag = switchFlag;
    YYDrawableResized(kDrawableWindow, window, width, height);
    g.WindowSwitchFlag = 0;
}

void windowDrawableResized(INTEGER window, INTEGER width, INTEGER height)
{
    YYDrawableResized(kDrawableWindow, window, width, height);
}

void windowPlaced(INTEGER window, INTEGER width, INTEGER height)
{
    YYDrawableResized(kDrawableWindow, window, width, height);
    GraphicsState& g = graphicsState();
    if (g.CurrentWindow != window) return;
    g.DrawableWidth = width;
    g.DrawableHeight = height;
}

void drawable(INTEGER& kind, INTEGER& identifier)
{
    kind = graphicsState().DrawableKind;
    identifier = graphicsState().DrawableId;
}

void drawingDcRelease()
{
    GdiDrawingState& gdi = gdiDrawingState();
    YYGdiDeselectObjects();
    gdi.DialogFieldDc.reset();
    gdi.PictureDC.reset();
    gdi.BitmapSelected = 0;
    // A picture slot's recording stays with its slot; only the driver lets go of it.
    if (gdi.EmfTarget) {
        if (gdi.DrawingDC == gdi.EmfTarget) gdi.DrawingDC = gdi.DefaultDC;
        gdi.EmfTarget = nullptr;
    }
}

void screenRelease()
{
    GdiDrawingState& gdi = gdiDrawingState();
    YYGdiDeselectObjects();
    gdi.PatternBitmap.reset();
    gdi.ClipRegion.reset();
    gdi.Brush.reset();
    gdi.Pen.reset();
    gdi.PaletteHandle.reset();
}

void drawingDcForget()
{
    GdiDrawingState& gdi = gdiDrawingState();
    gdi.DrawingDC = nullptr;
    gdi.DrawingWindow = nullptr;
    gdi.PictureDC.reset();
    gdi.BitmapSelected = 0;
    gdi.DialogFieldDc.reset();
}

void graphicsStartUp()
{
    graphicsTransform().DrawableAspect = 1.32f;
    graphicsState().WindowSwitchFlag = 0;
    graphicsState().HardcopyActive = 0;
}

}  // namespace

void YYEventUnitsConvert(INTEGER type, EventRecord& record)
{
    if (type != 1 && type != 4 && type != 5 && type != 6 && type != 7 && type != 8 && type != 15 && type != 16) return;
    GraphicsState& g = graphicsState();
    GraphicsTransform& t = graphicsTransform();
    if (type == 15) {
        REAL ux = 0.0f, uy = 0.0f;
        YYDeviceToUnitsRotated(static_cast<REAL>(record[5]) + 0.5f,
                               static_cast<REAL>(g.DrawableHeight - record[6] - 1) + 0.5f, ux, uy);
        record[9] = bitsOf(ux);
        record[10] = bitsOf(uy);
        return;
    }
    // The surface of the event: a window's client, or a drawing surface in a dialog.
    const bool dialogSurface = record[3] == 1;
    const INTEGER kind = dialogSurface ? kDrawableDialogField : kDrawableWindow;
    const INTEGER id = dialogSurface ? record[4] : record[0];
    const GraphicsState savedState = g;
    const GraphicsTransform savedTransform = t;
    const INTEGER savedWidth = windowEngineState().ClientWidth, savedHeight = windowEngineState().ClientHeight;
    INTEGER previousDialog = 0;
    const bool switched = !(g.DrawableKind == kind && g.DrawableId == id && (!dialogSurface || g.DrawableDialog == record[0]));
    INTEGER width = 0, height = 0;
    if (switched) {
        if (dialogSurface) previousDialog = dialogManagerHooks().dialogSelectById(record[0]);
        YYClientSize(dialogSurface ? 3 : 1, id, width, height);
        g.DrawableWidth = width;
        g.DrawableHeight = height;
        t.DrawableXLimit = static_cast<REAL>(width) - 0.01f;
        t.DrawableYLimit = static_cast<REAL>(height) - 0.01f;
        t.DeviceXMin = t.AreaX1 * t.DrawableXLimit;
        t.DeviceXMax = t.AreaX2 * t.DrawableXLimit;
        t.DeviceYMin = t.AreaY1 * t.DrawableYLimit;
        t.DeviceYMax = t.AreaY2 * t.DrawableYLimit;
    } else {
        width = g.DrawableWidth;
        height = g.DrawableHeight;
    }
    // Window units of the event's own surface.
    windowEngineState().ClientWidth = width;
    windowEngineState().ClientHeight = height;
    const INTEGER h = height;
    auto toUnits = [&](INTEGER x, INTEGER y, INTEGER& wordX, INTEGER& wordY) {
        REAL ux = 0.0f, uy = 0.0f;
        YYDeviceToUnitsRotated(static_cast<REAL>(x) + 0.5f, static_cast<REAL>(h - y - 1) + 0.5f, ux, uy);
        wordX = bitsOf(ux);
        wordY = bitsOf(uy);
    };
    if (type == 1 || type == 4 || type == 5 || type == 6 || type == 16) {
        toUnits(record[5], record[6], record[9], record[10]);
        if (!dialogSurface) YYPixelToWindowUnits(record[5], record[6], record[5], record[6]);
    } else if (type == 7) {
        const INTEGER x = record[5], y = record[6], w = record[1], hh = record[2];
        toUnits(x, y, record[9], record[10]);
        REAL ex = 0.0f, ey = 0.0f;
        YYDeviceToUnitsRotated(static_cast<REAL>(w) + 0.5f, static_cast<REAL>(hh) + 0.5f, ex, ey);
        record[7] = bitsOf(ex);
        record[8] = bitsOf(ey);
        if (!dialogSurface) {
            INTEGER rx = 0, ry = 0, lx = 0, ly = 0;
            YYPixelToWindowUnits(x + w - 1, y + hh - 1, rx, ry);
            YYPixelToWindowUnits(x, y, lx, ly);
            record[5] = lx;
            record[6] = ly;
            record[1] = rx - lx;
            record[2] = ry - ly;
        }
    }
    const bool resizeOfCurrent = type == 8 && !dialogSurface && id == savedState.CurrentWindow;
    // Restore what was switched for the conversion.
    g = savedState;
    t = savedTransform;
    windowEngineState().ClientWidth = savedWidth;
    windowEngineState().ClientHeight = savedHeight;
    if (switched && dialogSurface) dialogManagerHooks().dialogSelectById(previousDialog);
    if (type == 8) {
        if (resizeOfCurrent) {
            g.DrawableWidth = record[1];
            g.DrawableHeight = record[2];
            if (id == windowEngineState().CurrentWindow) {
                windowEngineState().ClientWidth = record[1];
                windowEngineState().ClientHeight = record[2];
            }
        }
        if (g.DrawableKind == kind && g.DrawableId == id) YYDrawableResized(kind, id, record[1], record[2]);
    }
}

void YYWindowGraphicsHooksInstall()
{
    WindowGraphicsHooks& hooks = windowGraphicsHooks();
    hooks.displayFacts = &displayFacts;
    hooks.mainWindowDcAttach = &mainWindowDcAttach;
    hooks.mainWindowOpened = &mainWindowOpened;
    hooks.windowDcDetach = &windowDcDetach;
    hooks.windowDcAttach = &windowDcAttach;
    hooks.windowClosed = &windowClosed;
    hooks.windowSelected = &windowSelected;
    hooks.windowSwitchFlag = [] { return graphicsState().WindowSwitchFlag; };
    hooks.currentWindow = [] { return graphicsState().CurrentWindow; };
    hooks.windowResized = &YYWindowResized;
    hooks.windowDrawableResized = &windowDrawableResized;
    hooks.windowPlaced = &windowPlaced;
    hooks.fieldResized = &YYFieldResized;
    hooks.eventPositionConvert = &YYEventUnitsConvert;
    hooks.drawable = &drawable;
    hooks.dialogFieldWindow = [] { return gdiDrawingState().DialogFieldDc.window(); };
    hooks.screenPalette = [] { return static_cast<HPALETTE>(gdiDrawingState().PaletteHandle.get()); };
    hooks.paletteSet = &YYGdiPaletteSet;
    hooks.drawingDcRelease = &drawingDcRelease;
    hooks.screenRelease = &screenRelease;
    hooks.drawingDcForget = &drawingDcForget;

    toolkitStartUpHooks().graphicsStartUp = &graphicsStartUp;
    toolkitNameHooks().toolkitName[9] = [] {
        const StrokeFontTable& set = strokeFontTable();
        const std::string name = set.StrokeFontName.trimmed();
        return set.StrokeGlyphs.empty() && name.empty() ? std::string("H") : name;
    };
}
