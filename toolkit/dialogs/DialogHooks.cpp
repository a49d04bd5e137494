#include "toolkit/dialogs/DialogHooks.h"

#include "toolkit/foundation/WindowServices.h"
#include "toolkit/dialogs/DialogRecords.h"

// The grid registers itself here once it exists; the numeric edit classes live with their procedures.
void YYGridRegister() {}

bool YYDialogIsResizable(HWND dialog)
{
    const DialogRecord* record = YYDialogRecordOf(dialog);
    return record && record->resizable && record->anchorControl;
}

bool YYWindowSnapshotsInForce() { return dialogManagerState().snapshotsHeld != 0; }

void YYDialogManagerReset()
{
    DialogTable& t = dialogTable();
    t.currentIndex = 0;
    t.currentIdentifier = 0;
    t.exitButton = t.exitFocusField = t.lastModalIdentifier = t.lastCommonResult = 0;
}

HWND YYActiveModelessDialog() { return dialogManagerState().currentModeless; }

void YYDialogClientSize(INTEGER field, INTEGER& width, INTEGER& height)
{
    width = height = 0;
    HWND dialog = YYCurrentDialog();
    HWND target = field == 0 ? dialog : YYDialogField(dialog, field);
    if (!target) return;
    RECT r{};
    GetClientRect(target, &r);
    width = r.right;
    height = r.bottom;
}

INTEGER YYDialogSelectById(INTEGER dialog)
{
    DialogTable& t = dialogTable();
    const INTEGER previous = YYCurrentDialog() ? t.currentIdentifier : 0;
    const INTEGER index = YYDialogIndex(dialog);
    if (index > 0) {
        t.currentIndex = index;
        t.currentIdentifier = dialog;
    }
    return previous;
}

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

void YYDialogMakeCurrent(INTEGER dialogId) { YYDialogSelectById(dialogId); }
