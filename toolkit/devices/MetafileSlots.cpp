#include "toolkit/devices/MetafileSlots.h"

#include <algorithm>

#include "toolkit/foundation/ErrorReport.h"

MetafileSlotTable& metafileSlotTable()
{
    static MetafileSlotTable table;
    return table;
}

void WMetafileDestroy(INTEGER slot)
{
    if (slot < 1 || slot > 20) {
        YYErrorReport(1060, "WMetafileDestroy");
        return;
    }
    MetafileSlotTable& table = metafileSlotTable();
    MetafileSlot& s = table.Slots[static_cast<std::size_t>(slot - 1)];
    const INTEGER kind = s.Words[kSlotKind];
    if (kind == kSlotKindFree) YYErrorReport(1060, "WMetafileDestroy");
    if (kind == kSlotKindEnhanced && table.emfDelete) table.emfDelete(slot - 1);
    if (kind == kSlotKindCgm) std::vector<std::uint8_t>().swap(s.Bytes);
    for (const std::size_t w : {kSlotWidthPoints, kSlotHeightPoints, kSlotKind, kSlotInUse, kSlotCapacity, kSlotUsed})
        s.Words[w] = 0;
}

std::span<const std::uint8_t> YYCgmSlotBytes(INTEGER slot)
{
    if (slot < 1 || slot > 20) return {};
    const MetafileSlot& s = metafileSlotTable().Slots[static_cast<std::size_t>(slot - 1)];
    if (s.Words[kSlotKind] != kSlotKindCgm) return {};
    const auto used = static_cast<std::size_t>(std::clamp<INTEGER>(s.Words[kSlotUsed], 0, static_cast<INTEGER>(s.Bytes.size())));
    return {s.Bytes.data(), used};
}

void YYCgmSlotExtent(INTEGER widthPoints, INTEGER heightPoints, INTEGER& width, INTEGER& height)
{
    std::int64_t w = static_cast<std::int64_t>(widthPoints) * 600 / 72;
    std::int64_t h = static_cast<std::int64_t>(heightPoints) * 600 / 72;
    const std::int64_t larger = std::max(w, h);
    if (larger > 32767) {
        w = w * 32767 / larger;
        h = h * 32767 / larger;
    }
    width = static_cast<INTEGER>(w);
    height = static_cast<INTEGER>(h);
}
