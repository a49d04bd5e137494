// Menus, menu help texts and toolbars of the window slots.
#pragma once

#include <string>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

// Toolkit-internal

// Gives every popup of a loaded menu the identifier its resource list names.
void YYMenuAssignPopupIds(HMENU menu, INTEGER menuId);
// Creates the toolbar of a resource identifier on an edge (0 top, 1 left, 2 right, 3 bottom) of a slot.
HWND YYToolbarCreate(INTEGER window, INTEGER edge, INTEGER toolbarId);
// Frees the help data the menu routines attached to a slot's menu items.
void YYMenuFreeItems(INTEGER window);
// The window that owns the menu of a popup menu loop.
HWND YYMenuOwnerWindow();
// The help text of a menu item of a slot: its help data, else its "DOVEMENUSTRING" entry; false when none.
bool YYMenuHelpText(INTEGER window, INTEGER itemId, std::string& text);
