// The event fields of a loaded dialog, handed to the event recorder.
#pragma once

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EventRecord.h"
#include "toolkit/foundation/WinApi.h"

// Toolkit-internal

// The event fields of the dialog whose window this is, or null when it is not a loaded dialog.
// The dialog manager keeps them in its dialog records.
DialogEventFields* YYDialogEventFields(HWND window);
