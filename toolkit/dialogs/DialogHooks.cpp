#include "toolkit/dialogs/DialogHooks.h"

void YYRegisterNumericEdits() {}
void YYGridRegister() {}
void YYSaveClassProcs() {}
void YYSaveClassAtoms() {}
bool YYDialogIsResizable(HWND) { return false; }
bool YYWindowSnapshotsInForce() { return false; }
void YYDialogManagerReset() {}
