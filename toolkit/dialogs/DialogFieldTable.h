// The field table: a text resource beside a dialog template that configures the dialog's fields
// when it is loaded (ranges, list contents, check states, tab pages, grids, colours, trackbars,
// lengths, resizing anchors, formats, trees, fonts and flags).
#pragma once

#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

// Toolkit-internal

// Applies the table of that resource id to the dialog's controls; templateFlag -1 marks a grid
// template. A missing table does nothing.
void YYDialogApplyFieldTable(HWND dialog, INTEGER resourceId, INTEGER templateFlag);
// Applies table text that is already in memory (the resource's bytes).
void YYDialogApplyFieldText(HWND dialog, std::string_view text, INTEGER templateFlag);
// YYHeaderMatch, the header test, is in FieldTableText.h with the rest of the table's text side.
#include "toolkit/dialogs/FieldTableText.h"
