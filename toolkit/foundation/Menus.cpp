#include "toolkit/foundation/Menus.h"

#include "toolkit/foundation/WindowSlots.h"

void YYMenuAssignPopupIds(HMENU, INTEGER) {}

HWND YYToolbarCreate(INTEGER, INTEGER, INTEGER) { return nullptr; }

void YYMenuFreeItems(INTEGER window)
{
    if (window >= 0 && window < kWindowSlots) windowSlotTable().Slots[window].MenuItemData = 0;
}

HWND YYMenuOwnerWindow() { return nullptr; }

bool YYMenuHelpText(INTEGER, INTEGER, std::string& text)
{
    text.clear();
    return false;
}
