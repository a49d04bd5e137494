// The fields of a dialog's record that the event recorder reads and writes when a dialog, one of
// its fields or one of its drawing surfaces raises an event.
#pragma once

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

struct DialogEventFields {
    INTEGER identifier = 0;
    INTEGER previousField = 0;
    INTEGER currentField = 0;
    INTEGER lastCellValue = 0;
    INTEGER previousPage = 0;
    INTEGER currentPage = 0;
    INTEGER eventField = 0;
    INTEGER mouseButton = 0;
};

// Toolkit-internal

// The event fields of the dialog whose window this is, or null when it is not a loaded dialog.
// The dialog manager keeps them in its dialog records; this module stands alone so that it can
// be linked in its place.
DialogEventFields* YYDialogEventFields(HWND window);
