#include "toolkit/devices/BitmapStore.h"

BitmapSlotTable& bitmapSlotTable()
{
    static BitmapSlotTable table;
    return table;
}

void YYBitmapStoreClear()
{
    for (BitmapSlot& slot : bitmapSlotTable().Slots) {
        slot.Bitmap.reset();
        slot.Width = slot.Height = 0;
    }
}
