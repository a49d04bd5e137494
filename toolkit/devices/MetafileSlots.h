// Picture slots: 20 records of 17 words; a slot in use holds a finished enhanced metafile and,
// while a picture is recorded into it, the recording context.
#pragma once

#include <array>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/Handles.h"

struct MetafileSlot {
    std::array<INTEGER, 17> Words{};  // Words[0] not 0 while the slot is in use
    EnhMetafileHandle Metafile;
    EnhMetafileRecordingHandle RecordingDc;
};

struct MetafileSlotTable {
    std::array<MetafileSlot, 20> Slots;
};

MetafileSlotTable& metafileSlotTable();

// Frees picture slot 1 to 20; error 1060 for a slot outside 1 to 20 or an empty one.
void WMetafileDestroy(INTEGER slot);
