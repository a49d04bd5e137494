// The graphics layer's state: the attributes every primitive draws with, the coordinate pipeline
// from user units to device units, the drawable, and the routines that reset, select, size and
// inquire them (platform-free; the window engine, bitmap store, dialog manager and picture slots
// are reached through DrawableHooks).
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/DrawableKind.h"

struct GraphicsState {
    INTEGER StrokeTextActive = 0;
    std::array<INTEGER, 2> LayerFillRequest{0, 0};  // [0] current drawable, [1] hardcopy
    INTEGER FillOutline = 1;
    INTEGER HatchDirection = 1;
    INTEGER HatchDensity = 1;
    INTEGER FillStyle = 0;
    INTEGER MetafileLineWidth = 5;
    INTEGER LineWidth = 1;
    INTEGER LineType = 0;
    INTEGER PlotMode = 0;
    INTEGER ColourModel = 1;
    std::array<INTEGER, 2> ColourIndex{0, 223};     // [0] previous, [1] current
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
    REAL UserYRange = 1.0f, UserXRange = 1.0f;
    REAL DeviceYExtent = 0.0f, DeviceXExtent = 0.0f;
    REAL DrawableYLimit = 0.0f, DrawableXLimit = 0.0f;
    INTEGER PixelHeight = 0, PixelWidth = 0;
    INTEGER PixelYMax = 0, PixelXMax = 0, PixelYMin = 0, PixelXMin = 0;
    REAL ClipYMax = 0.0f, ClipXMax = 0.0f, ClipYMin = 0.0f, ClipXMin = 0.0f;
    REAL DeviceYMax = 0.0f, DeviceXMax = 0.0f, DeviceYMin = 0.0f, DeviceXMin = 0.0f;
    REAL CurrentPointY = 0.0f, CurrentPointX = 0.0f;
    REAL UserYMax = 1.0f, UserXMax = 1.0f, UserYMin = 0.0f, UserXMin = 0.0f;
    REAL AreaHeight = 1.0f, AreaWidth = 1.0f;
    REAL AreaY2 = 1.0f, AreaX2 = 1.0f, AreaY1 = 0.0f, AreaX1 = 0.0f;
    REAL DrawableAspect = 1.32f;
    REAL CharWidthFraction = 0.01333333f, CharHeightFraction = 0.04f;
    // The hardcopy page's extents in its device units, stored by the hardcopy rescale; the hatch
    // spacing of the hardcopy layer follows them.
    REAL HardcopyXExtent = 1000.0f, HardcopyYExtent = 1000.0f;
};

GraphicsState& graphicsState();
GraphicsTransform& graphicsTransform();

// What drawable selection and the reset need of the window engine, the bitmap store, the dialog
// manager, the picture slots and the hardcopy dispatcher. The Windows graphics library installs
// them; an empty entry behaves as documented beside it, which is also what the native tests see.
struct DrawableHooks {
    // Releases the drawing context of a bitmap, dialog field or picture (none: nothing to release).
    void (*releaseDrawingDC)() = nullptr;
    // Makes a window current; ends in YYDrawableResized with its client size. Reports 1003 for an
    // invalid window (none: the window becomes the graphics layer's current window, size kept).
    void (*windowSetCurrent)(INTEGER window) = nullptr;
    // The current window's client size (none: the drawable's size).
    void (*currentWindowSize)(INTEGER& width, INTEGER& height) = nullptr;
    // Makes bitmap slot (0-based) the drawing target; status > 0 fails (none: status 1).
    void (*bitmapSelect)(INTEGER slot, INTEGER& status, INTEGER& width, INTEGER& height) = nullptr;
    // The current dialog's identifier, 0 when no dialog is current (none: 0).
    INTEGER (*currentDialog)() = nullptr;
    // Makes the field the target and returns its size; field -1 on failure (none: -1).
    void (*dialogDrawTarget)(INTEGER& field, INTEGER& width, INTEGER& height) = nullptr;
    // Picture slot facts: in-use kind (0 free, 3 enhanced metafile, 6 in-memory picture), pixel
    // size; for kind 3 also makes the slot the screen driver's target, its status (none: kind 0).
    void (*metafileSlot)(INTEGER slot, INTEGER& kind, INTEGER& width, INTEGER& height, INTEGER& status) = nullptr;
    // Rescales window text after a size change (none: nothing).
    void (*winTextScale)() = nullptr;
    // The system's window-text (code 45) or window colour (other codes), packed RGB (none: 0 and
    // white).
    INTEGER (*systemColour)(INTEGER code) = nullptr;
    // Ends a running hardcopy job without closing its page and runs a pending print command;
    // called at every reset (none: OpEndOutput to a running hardcopy).
    void (*hardcopyStop)() = nullptr;
    // Recomputes the page and character scaling for the hardcopy page (none: nothing).
    void (*hardcopyRescale)() = nullptr;
    // Stores the hardcopy line thickness with the hardcopy options (none: dropped).
    void (*hardcopyLineThickness)(INTEGER thickness) = nullptr;
    // The hardcopy line thickness kept with the hardcopy options (none: 0, nothing to double).
    INTEGER (*hardcopyLineThicknessQuery)() = nullptr;
    // Keeping the hardcopy options across a reset: save answers whether a driver was initialised
    // before and the options were kept; clear zeroes options 1-29; restore applies the kept ones.
    bool (*hardcopyOptionsSave)() = nullptr;
    void (*hardcopyOptionsClear)() = nullptr;
    void (*hardcopyOptionsRestore)() = nullptr;
};

DrawableHooks& drawableHooks();

// Resets attributes, transform and drivers; letters "H" (no screen output) and "P" (keep the
// hardcopy options), either case.
void IGrResetGraphics(std::string_view options);
// Makes a window, bitmap, dialog field or picture slot the drawable (error 1019).
void IGrSelect(INTEGER kind, std::optional<INTEGER> identifier = std::nullopt);
// The graphics area as fractions of the drawable (error 44 per axis).
void IGrArea(REAL x1, REAL y1, REAL x2, REAL y2);
// The user units of the area (error 16 per axis).
void IGrUnits(REAL xmin, REAL ymin, REAL xmax, REAL ymax);
// Inquiry codes 1-49; 0 for any other code.
INTEGER IGrInquire(INTEGER code);
// User units to the whole device unit that holds them (y from the bottom).
void IGrWorldToPixel(REAL x, REAL y, INTEGER& ix, INTEGER& iy);
// The centre of a device unit in user units.
void IGrPixelToWorld(INTEGER ix, INTEGER iy, REAL& x, REAL& y);

// Toolkit-internal

// User units to device units through the page rotation.
void YYUnitsToDevice(REAL x, REAL y, REAL& xd, REAL& yd);
// Device position (pixels, y from the bottom) to user units of the current area, page rotation applied.
void YYDeviceToUnitsRotated(REAL x, REAL y, REAL& userX, REAL& userY);
// Position inside a bitmap-viewer window to user units, from the viewed bitmap's size W x H, the
// horizontal scroll position and the vertical scroll base.
void YYEventToUnits(REAL x, REAL y, REAL& userX, REAL& userY, INTEGER bitmapWidth, INTEGER bitmapHeight,
                    INTEGER horizontalScroll, INTEGER verticalBase);
// Clamps and stores the device area and clip window, and announces it to the current drawable.
void YYAreaLimits(REAL x1, REAL y1, REAL x2, REAL y2);
// A drawable got a new pixel size: when it is the current drawable, the size and the device area
// follow it.
void YYDrawableResized(INTEGER kind, INTEGER identifier, INTEGER width, INTEGER height);
// A window's drawing client got a new size: followed only for the graphics layer's current window.
void YYWindowResized(INTEGER window, INTEGER width, INTEGER height);
// A dialog drawing surface got a new size: followed only when it is the current drawable.
void YYFieldResized(INTEGER dialog, INTEGER field, INTEGER width, INTEGER height);
// Picture slot 1-20: status 0 and its size when usable; 1 for a slot outside 1-20 or free.
void YYMetafileSlotInfo(INTEGER slot, INTEGER& status, INTEGER& width, INTEGER& height);
// Splits a packed colour with truncating division; a null output is skipped.
void YYSplitRGB(INTEGER colour, INTEGER* red, INTEGER* green, INTEGER* blue);
