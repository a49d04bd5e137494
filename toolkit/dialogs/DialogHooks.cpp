#include "toolkit/dialogs/DialogHooks.h"

#include "toolkit/foundation/WindowServices.h"

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

// Until the dialog manager loads layouts with their field records, a layout is a plain dialog
// that handles nothing of its own.
HWND YYLayoutDialogCreate(INTEGER dialogId, HWND parent)
{
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialogId), parent, YYEmptyDialogProc, 0);
}

void YYLayoutDialogAttach(HWND, HWND) {}

void YYLayoutDialogUnload(HWND dialog)
{
    if (!dialog) return;
    ShowWindow(dialog, SW_HIDE);
    DestroyWindow(dialog);
}

void YYDialogMakeCurrent(INTEGER) {}
