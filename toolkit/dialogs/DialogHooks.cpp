#include "toolkit/dialogs/DialogHooks.h"

void YYRegisterNumericEdits() {}
void YYGridRegister() {}
void YYSaveClassProcs() {}
void YYSaveClassAtoms() {}
bool YYDialogIsResizable(HWND) { return false; }
bool YYWindowSnapshotsInForce() { return false; }
void YYDialogManagerReset() {}
HWND YYActiveModelessDialog() { return nullptr; }
void YYDialogClientSize(INTEGER, INTEGER& width, INTEGER& height) { width = height = 0; }
INTEGER YYDialogSelectById(INTEGER) { return 0; }
