// What the window engine asks of the dialog manager when the main window is created. The dialog
// manager registers its controls here; until it does, these do nothing.
#pragma once

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
