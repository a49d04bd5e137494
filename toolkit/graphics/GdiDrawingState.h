// The screen driver's drawing context and the GDI objects the window engine, the bitmap store, the
// dialog manager and the picture slots install in it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WinApi.h"

// The attributes of the device font last created; -1 after OpBeginOutput forces a new one.
struct GdiFontCache {
    INTEGER Style = -1, Variant = -1, Angle = -1, Width = -1, Height = -1;
    std::string FaceName;
    INTEGER CreatedHeight = 0, CreatedAscent = 0, CreatedWidth = 0;
};

struct GdiDrawingState {
    HDC DrawingDC = nullptr;
    HWND DrawingWindow = nullptr;   // the window DrawingDC belongs to
    HDC DefaultDC = nullptr;        // takes DrawingDC's place when a target has none
    GdiObjectHandle ClipRegion;
    HDC EmfTarget = nullptr;        // recording context of a picture slot being drawn
    INTEGER EmfResolution = 0;
    INTEGER ScreenResolution = 96;
    INTEGER UserDashes = 0;
    GdiObjectHandle PaletteHandle;  // the screen palette on a 256-colour display
    std::vector<PALETTEENTRY> LogicalPalette;
    COLORREF CurrentColourRef = 0, PreviousColourRef = RGB(255, 255, 255);
    BitmapHandle PatternBitmap;     // 8 x 8 work bitmap
    INTEGER PatternStale = 1;
    INTEGER RasterOp = R2_COPYPEN;
    INTEGER PenStyle = 0;
    INTEGER LineTypeInUse = 0;
    INTEGER PenWidth = 1;
    GdiObjectHandle Pen, Brush;
    HGDIOBJ PreviousPen = nullptr, PreviousBrush = nullptr;  // what Pen and Brush replaced in DrawingDC
    INTEGER HalftoneBrush = 0;
    // The scaled dash arrays of line types 1-7 (index 0 is line type 1).
    std::array<std::vector<DWORD>, 7> DashPatterns;
    GdiObjectHandle Font;
    HGDIOBJ PreviousFont = nullptr;
    GdiFontCache FontCache;
    INTEGER PaletteBatchMode = 0;
    INTEGER RestoreMode = 0;
    std::vector<POINT> PointBuffer;
    WindowDc DialogFieldDc;  // a dialog graphics field being drawn, and the DC drawn into
    MemoryDcHandle PictureDC;
    INTEGER BitmapSelected = 0;
    // Colours of the display: 256 means a palette display, more means true colour.
    INTEGER DisplayColours = 0;
};

GdiDrawingState& gdiDrawingState();

// Toolkit-internal

// Sets one entry of the screen palette; mode 0 single update, 1 opens a batch, 2 continues it,
// 3 closes it (nothing without a screen palette).
void YYGdiPaletteSet(INTEGER index, INTEGER colour, INTEGER mode);
// Selects the driver's pen and brush into its drawing context, remembering what they replace.
void YYGdiSelectObjects();
// Selects back the objects the driver's pen and brush replaced.
void YYGdiDeselectObjects();
// Whether the driver currently draws into a dialog field, a picture or a bitmap instead of a window.
bool YYGdiDrawsElsewhere();
// Replaces the driver's pen by one of the current colour, width and line type.
void YYGdiCreatePen();
// Scales the dash arrays to the target's resolution and lengthens the gaps of wide pens.
void YYScaleDashPatterns();
// Makes a window's device context the driver's drawing context: a fresh pattern bitmap, the raster
// operation, transparent text background, the driver's pen and brush, scaled dashes and the screen
// palette.
void YYGdiAttachDrawingDC(HDC dc, HWND window);
