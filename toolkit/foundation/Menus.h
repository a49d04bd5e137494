// Menus, menu help texts and toolbars of the window slots: menus completed from resources,
// items and toolbar buttons kept in step, help texts for the highlighted item, toolbars built
// from a resource.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

struct WindowSlot;

// Option 1 enables (1) or greys (0) an item, option 2 checks (1) or unchecks (0) it; toolbar
// buttons of the same command follow. Error 1001 when neither menu nor toolbar has the command.
void WMenuSetState(INTEGER command, INTEGER option, INTEGER value);
// Creates, replaces or (identifier 0) removes the toolbar at position 1 top, 2 left, 3 right, 4 bottom.
void WMenuToolbar(INTEGER toolbarId, INTEGER window = 0, INTEGER position = 1);

// Toolkit-internal

void YYMenuItemEnable(INTEGER command, INTEGER& value);
void YYMenuItemCheck(INTEGER command, INTEGER& value);
// identifier comes back -1 (no resource or not created) or -2 (no such window); width and height
// are the drawing client's new size, or -1 when it did not change along the bar's axis.
void YYToolbarCreate(INTEGER& identifier, INTEGER window, INTEGER position, INTEGER& clientWidth,
                     INTEGER& clientHeight);
HMENU YYMenuLoad(INTEGER identifier);
void YYMenuAssignPopupIds(HMENU menu, INTEGER identifier);
// Attaches the accelerator table and the "DOVEMENUSTRING" help records that share a menu's
// identifier to the window slot that shows the menu.
void YYMenuAttachResources(WindowSlot& slot, INTEGER menuId);
void YYMenuGreyDisabled(HMENU menu);
void YYMenuFreeItems(HMENU menu, INTEGER window);
void YYMenuBarRedraw(INTEGER command, INTEGER window);
INTEGER YYWindowHasBars(INTEGER window);
INTEGER YYMenuOwnerWindow(INTEGER window);
void YYWindowLayoutBars(INTEGER window);
LRESULT CALLBACK YYToolbarSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void YYMenuSet(INTEGER& menuId, INTEGER window);
void YYMenuPopup(INTEGER& menuId, INTEGER x, INTEGER y, INTEGER clientFlag);
void YYMenuCopyStates(HMENU popup, HMENU source);
void YYMenuItemText(INTEGER& command, std::string_view text);
void YYMenuItemState(INTEGER command, INTEGER option, INTEGER& result);
void YYMenuItemHelp(INTEGER& command, std::string_view text);
void YYMenuItemDelete(INTEGER& command);
void YYMenuItemInsert(INTEGER& command, INTEGER offset, INTEGER newId, std::string_view text);
INTEGER YYMenuFindItem(HMENU menu, INTEGER command, HMENU& found);
void YYToolbarTipText(INTEGER& command, std::string_view text, INTEGER length);
// The help text of a command for the menu of a slot: item help data, the slot's "DOVEMENUSTRING"
// records, the open context menu's records; false when none has it.
bool YYMenuHelpText(INTEGER window, INTEGER command, std::string& text);
// Whether a context menu with help texts is open.
bool YYContextMenuHasHelp();
