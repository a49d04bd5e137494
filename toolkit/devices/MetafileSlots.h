// Picture slots: 20 records of 17 words. A slot holds either an enhanced metafile recorded by the
// screen driver (kind 3; its handles live with the graphics layer's enhanced-metafile slots) or a
// binary CGM picture built in a byte array of fixed capacity (kind 6). Platform-free.
//
// Words: 0, 1 picture width and height in points; 2, 3 drawable width and height (reference
// pixels for kind 3, VDC units for kind 6); 4 kind (0 free, 3, 6); 5 in-use flag; 6 capacity of
// the byte array; 7 bytes used; 8-16 unused here (the array is the slot's Bytes).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"

enum MetafileSlotWord : std::size_t {
    kSlotWidthPoints = 0, kSlotHeightPoints = 1, kSlotWidthUnits = 2, kSlotHeightUnits = 3, kSlotKind = 4,
    kSlotInUse = 5, kSlotCapacity = 6, kSlotUsed = 7,
};

constexpr INTEGER kSlotKindFree = 0, kSlotKindEnhanced = 3, kSlotKindCgm = 6;

struct MetafileSlot {
    std::array<INTEGER, 17> Words{};
    // Sized to the capacity once, at creation; the writers never enlarge it.
    std::vector<std::uint8_t> Bytes;
};

struct MetafileSlotTable {
    std::array<MetafileSlot, 20> Slots;
    // Ends and deletes the enhanced metafile of a slot (0-based index); installed by the Windows
    // side, none in the native tree.
    void (*emfDelete)(INTEGER index) = nullptr;
};

MetafileSlotTable& metafileSlotTable();

// Frees picture slot 1 to 20; error 1060 "Invalid metafile handle" for a slot outside 1 to 20 or
// a free one (a free slot is still cleared).
void WMetafileDestroy(INTEGER slot);

// Toolkit-internal

// Makes slot 1-20 an in-memory CGM picture of the given size in points with a byte array of fixed
// capacity, and writes the metafile's header into it (as the picture recorder's OpMetafileHeader
// does). Status 0; 1 for a slot outside 1-20, a slot in use, a size or capacity not above 0.
// Select it with IGrSelect(4, slot), draw, then end the picture with YYCgmSlotFinish.
void YYCgmSlotCreate(INTEGER slot, INTEGER widthPoints, INTEGER heightPoints, INTEGER capacity, INTEGER& status);
// Writes END PICTURE and END METAFILE into a CGM slot (the recorder's OpEndOutput).
void YYCgmSlotFinish(INTEGER slot);
// The bytes written so far into a CGM slot (empty for any other slot).
std::span<const std::uint8_t> YYCgmSlotBytes(INTEGER slot);
// The VDC extent of a picture of that size in points: 600 units per inch, both sides scaled down
// in proportion so that the larger is at most 32767.
void YYCgmSlotExtent(INTEGER widthPoints, INTEGER heightPoints, INTEGER& width, INTEGER& height);
