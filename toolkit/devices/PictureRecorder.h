// The picture recorder: while an in-memory CGM picture slot is the current drawable
// (IGrSelect kind 4 on a kind-6 slot), YYMemoryMetafileDriver is its driver and encodes every op
// as binary CGM into the slot's byte array through the in-memory writers (CgmWriters.h). Device
// coordinates of the drawable are the picture's VDC. Platform-free.
#pragma once

#include <array>

#include "toolkit/foundation/CoreTypes.h"

struct PictureRecorderState {
    INTEGER CurrentRed = 0, CurrentGreen = 0, CurrentBlue = 0;
    // Slot width / height in points, set by the header.
    REAL SlotAspect = 1.0f;
    // Per slot: line, text, fill, edge and auxiliary colour, font index, character height, text
    // alignment, edge width, edge type; -1 = not yet written.
    std::array<std::array<INTEGER, 10>, 20> AttributeCache{};
};

PictureRecorderState& pictureRecorderState();

// Toolkit-internal

// The current drawable's driver while MetafileRecording is 1 (see DriverProtocol.h).
void YYMemoryMetafileDriver(INTEGER op);
// The line width of a picture slot in its own units for a width in tenths of a point.
INTEGER YYPictureSlotPenWidth(INTEGER slot, INTEGER tenthsOfPoint);
