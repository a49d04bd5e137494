// The bitmap store: 50 slots of memory bitmaps the graphics layer draws into.
#pragma once

#include <array>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/Handles.h"

struct BitmapSlot {
    BitmapHandle Bitmap;  // empty slot when none
    INTEGER Width = 0;
    INTEGER Height = 0;
};

struct BitmapSlotTable {
    std::array<BitmapSlot, 50> Slots;
};

BitmapSlotTable& bitmapSlotTable();

// Toolkit-internal

// Deletes every bitmap still held and clears its slot.
void YYBitmapStoreClear();
