// The bitmap store: 50 slots of memory bitmaps that programs create, draw into (as the graphics
// layer's drawable), copy to and from the drawable, read and write pixel by pixel, flip, turn,
// resize and show in a viewer window. The routines take slot numbers (identifier - 1) and return
// status values instead of reporting: 0, 1020 creation failed, 1021 free slot, 1036 shown by a
// viewer, 1066 a copy failed.
#pragma once

#include <array>
#include <span>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/Handles.h"

inline constexpr INTEGER kBitmapSlots = 50;

struct BitmapSlot {
    BitmapHandle Bitmap;  // empty slot when none
    INTEGER Width = 0;
    INTEGER Height = 0;
};

struct BitmapSlotTable {
    std::array<BitmapSlot, kBitmapSlots> Slots;
    DWORD CopyMode = SRCCOPY;  // the raster operation of every bitmap copy
    INTEGER SelectedSlot = -1;  // the slot that is the graphics layer's drawing target
};

BitmapSlotTable& bitmapSlotTable();

// Toolkit-internal

// Deletes every bitmap still held and clears its slot.
void YYBitmapStoreClear();

void YYBitmapCreate(INTEGER& identifier, INTEGER width, INTEGER height, INTEGER colour);
// A bitmap compatible with the screen, filled with the colour (its nearest shown colour); empty
// when it cannot be made.
BitmapHandle YYBitmapMake(INTEGER width, INTEGER height, INTEGER colour);
void YYBitmapDestroy(INTEGER slot, INTEGER& status);
void YYBitmapGetArea(INTEGER slot, INTEGER x, INTEGER y, INTEGER width, INTEGER height, INTEGER& status);
// Pixel rectangles: (x2 - x1 + 1) packed RGB colours per row, rows y1 to y2; the rectangle must
// lie inside the bitmap and the span must hold it.
void YYBitmapPutPixels(INTEGER slot, std::span<const INTEGER> colours, INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2,
                       INTEGER& status);
void YYBitmapGetPixels(INTEGER slot, std::span<INTEGER> colours, INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2,
                       INTEGER& status);
void YYBitmapLoadResource(INTEGER slot, INTEGER resource, INTEGER& status);
void YYBitmapResourceSize(INTEGER resource, INTEGER& width, INTEGER& height);
// The first window (1 to 50) whose viewer shows the slot's bitmap, else 0.
INTEGER YYBitmapViewerOf(INTEGER slot);
// direction non-zero: upside down; 0: left to right.
void YYBitmapFlip(INTEGER slot, INTEGER direction, INTEGER& viewer, INTEGER& status);
// 0 copy, 1 OR, 2 AND, 3 XOR; other values change nothing.
void YYBitmapCopyMode(INTEGER mode);
// direction non-zero: bitmap to drawable; 0: drawable into the bitmap.
void YYBitmapCopyArea(INTEGER slot, INTEGER sourceX, INTEGER sourceY, INTEGER destinationX, INTEGER destinationY,
                      INTEGER width, INTEGER height, INTEGER direction, INTEGER& status);
void YYBitmapPutImage(INTEGER slot, INTEGER stretch, INTEGER x, INTEGER y, INTEGER width, INTEGER height, INTEGER& status);
void YYBitmapResize(INTEGER slot, INTEGER width, INTEGER height, INTEGER& viewer, INTEGER& status);
// angle 90 (a quarter turn anticlockwise), 180 or 270.
void YYBitmapRotate(INTEGER slot, INTEGER angle, INTEGER& viewer, INTEGER& status);
void YYBitmapSize(INTEGER slot, INTEGER& width, INTEGER& height);
// Makes the bitmap the graphics layer's drawing target; status 1 for a slot outside 0 to 49 or free.
void YYBitmapSelect(INTEGER slot, INTEGER& status, INTEGER& width, INTEGER& height);

// Whether a window (1 to 50) shows the bitmap in a viewer; the viewer installs it (none: never).
struct BitmapViewerQuery {
    bool (*shows)(INTEGER window, HBITMAP bitmap) = nullptr;
};
BitmapViewerQuery& bitmapViewerQuery();
