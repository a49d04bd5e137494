// The screen driver's drawing context and the GDI objects the window engine installs in it.
#pragma once

#include <optional>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WinApi.h"

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
    HWND DialogFieldWindow = nullptr;  // a dialog graphics field being drawn
    HDC PictureDC = nullptr;
    INTEGER BitmapSelected = 0;
};

GdiDrawingState& gdiDrawingState();

// Toolkit-internal

// Sets one entry of the screen palette and realises it (nothing without a screen palette).
void YYGdiPaletteSet(INTEGER index, INTEGER colour, INTEGER flag);
// Selects the driver's pen and brush into its drawing context, remembering what they replace.
void YYGdiSelectObjects();
// Selects back the objects the driver's pen and brush replaced.
void YYGdiDeselectObjects();
// Whether the driver currently draws into a dialog field, a picture or a bitmap instead of a window.
bool YYGdiDrawsElsewhere();
