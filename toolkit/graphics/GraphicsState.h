// The graphics layer's state record, its drawable and the hooks the window engine calls when a
// window is selected, reset or resized (platform-free).
#pragma once

#include <array>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

enum DrawableKind : INTEGER { kDrawableWindow = 1, kDrawableBitmap = 2, kDrawableDialogField = 3, kDrawablePicture = 4 };

struct GraphicsState {
    INTEGER StrokeTextActive = 0;
    std::array<INTEGER, 2> LayerFillRequest{0, 0};
    INTEGER FillOutline = 1;
    INTEGER HatchDirection = 1;
    INTEGER HatchDensity = 1;
    INTEGER FillStyle = 0;
    INTEGER MetafileLineWidth = 5;
    INTEGER LineWidth = 1;
    INTEGER LineType = 0;
    INTEGER PlotMode = 0;
    INTEGER ColourModel = 1;
    std::array<INTEGER, 2> ColourIndex{0, 223};
    std::array<INTEGER, 2> ColourRGB{16777215, 0};
    std::array<INTEGER, 2> ColourDevice{0, 0};
    INTEGER PaletteSlots = 256;
    INTEGER DeviceColours = 256;
    INTEGER HardcopyActive = 0;
    INTEGER DrawableActive = 1;
    INTEGER DrawableHeight = 0;
    INTEGER DrawableWidth = 0;
    INTEGER MetafileRecording = 0;
    INTEGER WindowSwitchFlag = 0;
    INTEGER DrawableDialog = 0;
    INTEGER DrawableId = 0;
    INTEGER DrawableKind = kDrawableWindow;
    // The graphics layer's current window: the window whose size a window resize must follow.
    INTEGER CurrentWindow = 0;
};

struct GraphicsTransform {
    INTEGER PageAngle = 0;
    REAL DrawableYLimit = 0.0f, DrawableXLimit = 0.0f;
    REAL DeviceYMax = 0.0f, DeviceXMax = 0.0f, DeviceYMin = 0.0f, DeviceXMin = 0.0f;
    REAL UserYMax = 1.0f, UserXMax = 1.0f, UserYMin = 0.0f, UserXMin = 0.0f;
    REAL AreaY2 = 1.0f, AreaX2 = 1.0f, AreaY1 = 0.0f, AreaX1 = 0.0f;
    REAL DrawableAspect = 1.32f;
    REAL CharWidthFraction = 0.01333333f, CharHeightFraction = 0.04f;
};

GraphicsState& graphicsState();
GraphicsTransform& graphicsTransform();

// Resets attributes and transform; a blank option text also makes the current window the drawable.
void IGrResetGraphics(std::string_view options);

// Toolkit-internal

// A drawable got a new pixel size: when it is the current drawable, the size and the device area
// follow it.
void YYDrawableResized(INTEGER kind, INTEGER identifier, INTEGER width, INTEGER height);
// A window's drawing client got a new size: followed only for the graphics layer's current window.
void YYWindowResized(INTEGER window, INTEGER width, INTEGER height);
// A dialog drawing surface got a new size: followed only when it is the current drawable.
void YYFieldResized(INTEGER dialog, INTEGER field, INTEGER width, INTEGER height);
// Device position (pixels, y from the bottom) to user units of the current area, page rotation applied.
void YYDeviceToUnitsRotated(REAL x, REAL y, REAL& userX, REAL& userY);
// Splits a packed colour with truncating division; a null output is skipped.
void YYSplitRGB(INTEGER colour, INTEGER* red, INTEGER* green, INTEGER* blue);
// Re-scales the dash patterns to the pen width of a new drawing context (nothing to scale yet).
void YYScaleDashPatterns();
