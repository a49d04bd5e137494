// Enhanced-metafile picture slots (index 0-19 = slot number - 1): a slot records while it has a
// recording context and no closed metafile; the screen driver draws into the recording context
// once YYEmfSelect made it the drawing context. Playing, saving or deleting closes a recording,
// and a closed slot can no longer be selected.
#pragma once

#include <array>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/Handles.h"

struct EnhancedMetafileSlots {
    std::array<EnhMetafileRecordingHandle, 20> Recording;
    std::array<EnhMetafileHandle, 20> Closed;
};

EnhancedMetafileSlots& enhancedMetafileSlots();

// Toolkit-internal

// Starts a recording of width x height points. The reference device is an information context of
// the printer the printer query found, else the screen; its resolution and size come back.
// Status 0, 1 for an index outside 0-19 or a recording the system refuses.
void YYEmfCreate(INTEGER index, INTEGER widthPoints, INTEGER heightPoints, INTEGER& horizontalPixels,
                 INTEGER& verticalPixels, INTEGER& horizontalMm, INTEGER& verticalMm, INTEGER& status);
// Ends a recording still open and deletes the metafile.
void YYEmfDelete(INTEGER index);
// Replaces what the slot holds by the first byteCount bytes of a file: status 0; 1 (and the
// system's code) when the file cannot be opened; 2 when fewer bytes could be read or the bytes
// are no enhanced metafile (the slot is left empty).
void YYEmfLoad(INTEGER index, INTEGER byteCount, INTEGER& status, INTEGER& systemError, std::string_view fileName);
// Closes the recording when needed and plays the picture into the drawing context over the
// rectangle, inside the screen driver's clip region.
void YYEmfPlay(INTEGER index, INTEGER left, INTEGER top, INTEGER right, INTEGER bottom);
// Closes the recording when needed and writes the picture to a file, whole or not at all (an
// earlier file of the name stays as it was after a failure): status 0, else 1 and the system's code.
void YYEmfSave(INTEGER index, INTEGER& status, INTEGER& systemError, std::string_view fileName);
// Makes a recording slot the drawing context (window extent width x height): status 0; 1 for an
// index outside 0-19, no recording or a closed one.
void YYEmfSelect(INTEGER index, INTEGER width, INTEGER height, INTEGER& status);
// The closed metafile of a slot, its recording ended first (null when the slot holds none).
HENHMETAFILE YYEmfClosed(INTEGER index);
