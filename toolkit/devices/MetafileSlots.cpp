#include "toolkit/devices/MetafileSlots.h"

#include "toolkit/foundation/ErrorReport.h"

MetafileSlotTable& metafileSlotTable()
{
    static MetafileSlotTable table;
    return table;
}

void WMetafileDestroy(INTEGER slot)
{
    if (slot < 1 || slot > 20 || metafileSlotTable().Slots[static_cast<std::size_t>(slot - 1)].Words[0] == 0) {
        YYErrorReport(1060, "WMetafileDestroy");
        return;
    }
    MetafileSlot& s = metafileSlotTable().Slots[static_cast<std::size_t>(slot - 1)];
    s = MetafileSlot{};  // a picture still recording is closed and dropped
}
