// What the window engine asks of the dialog manager when the main window is created. The dialog
// manager registers its controls here; until it does, these do nothing.
#pragma once

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

// Toolkit-internal

void YYRegisterNumericEdits();
void YYGridRegister();
void YYSaveClassProcs();
void YYSaveClassAtoms();
// Whether a layout dialog may be resized with its window (fixed size until the dialog manager says otherwise).
bool YYDialogIsResizable(HWND dialog);
// Whether the dialog manager's window snapshots are in force (a modal box is up).
bool YYWindowSnapshotsInForce();
// Clears the current dialog and the dialog results the dialog query reports (shut-down).
void YYDialogManagerReset();
// The active modeless dialog that keyboard messages are offered to first, or null.
HWND YYActiveModelessDialog();
// Client size of the current dialog (field 0) or of one of its controls; 0 x 0 without one.
void YYDialogClientSize(INTEGER field, INTEGER& width, INTEGER& height);
// Makes a dialog current by identifier; returns the dialog that was current before (0 none).
INTEGER YYDialogSelectById(INTEGER dialog);
// Loads a layout dialog as a child of a drawing client; null when it cannot be created.
HWND YYLayoutDialogCreate(INTEGER dialogId, HWND parent);
// Tells the dialog manager which frame a layout dialog is laid out in.
void YYLayoutDialogAttach(HWND dialog, HWND frame);
// Unloads a layout dialog (hidden first).
void YYLayoutDialogUnload(HWND dialog);
// Makes a loaded dialog the dialog manager's current dialog.
void YYDialogMakeCurrent(INTEGER dialogId);
