// What the child-window routines and the graphics layer need of the dialog manager: the
// semi-modeless count, whether a layout dialog can still be loaded, the dialogs that live in or
// belong to a closing window, and dialog fields as drawing targets.
#include "toolkit/dialogs/DialogWindowHooks.h"
#include "toolkit/dialogs/GridEditor.h"

#include "toolkit/dialogs/DialogEventFields.h"
#include "toolkit/dialogs/DialogHooks.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/foundation/ChildWindows.h"
#include "toolkit/foundation/WindowEngineHooks.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {

INTEGER semiModelessCount() { return dialogManagerState().semiModelessCount; }

INTEGER currentDialog() { return YYCurrentDialog() ? dialogTable().currentIdentifier : 0; }

INTEGER layoutDialogAvailable(INTEGER dialogId)
{
    if (YYDialogIndex(dialogId) > 0) return -5;
    if (dialogTable().count >= kMaxDialogs) return -3;
    return 0;
}

bool belongsTo(HWND dialog, HWND frame)
{
    if (!dialog || !frame) return false;
    if (IsChild(frame, dialog) || GetWindow(dialog, GW_OWNER) == frame) return true;
    const DialogRecord* record = YYDialogRecordOf(dialog);
    return record && record->ownerWindow == frame;
}

// Last loaded first, so that unloading does not shift the entries still to be looked at.
void dialogsInsideRelease(HWND frame, INTEGER& dialog)
{
    DialogTable& table = dialogTable();
    for (INTEGER index = table.count; index >= 1; --index) {
        HWND handle = table.handles[static_cast<std::size_t>(index)];
        if (!belongsTo(handle, frame)) continue;
        const DialogRecord* record = YYDialogRecordOf(handle);
        const INTEGER identifier = record ? record->identifier : 0;
        YYDialogHide(index);
        YYDialogUnload(0, index);
        if (identifier != 0 && dialog == identifier) dialog = 0;
    }
}

HWND frameOf(INTEGER window)
{
    if (window < 0 || window >= kWindowSlots) return nullptr;
    return windowSlotTable().Slots[static_cast<std::size_t>(window)].Frame.get();
}

void dialogOwnersReplace(INTEGER window, INTEGER returnWindow)
{
    HWND closing = frameOf(window);
    if (!closing) return;
    HWND replacement = frameOf(returnWindow);
    const DialogTable& table = dialogTable();
    for (INTEGER index = 1; index <= table.count; ++index) {
        DialogRecord* record = YYDialogRecordOf(table.handles[static_cast<std::size_t>(index)]);
        if (!record) continue;
        if (record->ownerWindow == closing) record->ownerWindow = replacement;
        if (record->returnWindow == closing) record->returnWindow = replacement;
    }
}

void controlClassesRegister()
{
    YYRegisterNumericEdits();
    YYGridRegister();
}

void dialogManagerArm()
{
    YYSaveClassProcs();
    YYSaveClassAtoms();
    YYDialogManagerArm();
}

bool dialogFacts(HWND dialog, HWND& layoutFrame, bool& resizable)
{
    const DialogRecord* record = YYDialogRecordOf(dialog);
    if (!record) return false;
    layoutFrame = record->combinedWindow;
    resizable = record->resizable != 0;
    return true;
}

void commonDialogEnded(INTEGER result)
{
    DialogTable& table = dialogTable();
    table.exitFocusField = 0;
    if (result != -1) table.lastCommonResult = result;
}

void installManagerHooks()
{
    DialogManagerHooks& hooks = dialogManagerHooks();
    hooks.controlClassesRegister = &controlClassesRegister;
    hooks.dialogManagerArm = &dialogManagerArm;
    hooks.dialogManagerReset = &YYDialogManagerReset;
    hooks.dialogsDestroyAll = &YYDialogsDestroyAll;
    hooks.dialogsDrawActive = &YYDialogsDrawActive;
    hooks.dialogIsResizable = &YYDialogIsResizable;
    hooks.dialogFacts = &dialogFacts;
    hooks.windowSnapshotsInForce = &YYWindowSnapshotsInForce;
    hooks.windowSnapshots = &YYWindowSnapshots;
    hooks.activeModelessDialog = &YYActiveModelessDialog;
    hooks.activeModelessDialogSet = &YYActiveModelessDialogSet;
    hooks.dialogClientSize = &YYDialogClientSize;
    hooks.dialogSelectById = &YYDialogSelectById;
    hooks.dialogMakeCurrent = &YYDialogMakeCurrent;
    hooks.currentDialogWindow = &YYCurrentDialogWindow;
    hooks.dialogLayoutFrame = &YYDialogLayoutFrame;
    hooks.layoutDialogCreate = &YYLayoutDialogCreate;
    hooks.layoutDialogShow = &YYLayoutDialogShow;
    hooks.layoutDialogAttach = &YYLayoutDialogAttach;
    hooks.layoutDialogUnload = &YYLayoutDialogUnload;
    hooks.layoutDialogFocusField = &YYLayoutDialogFocusField;
    hooks.layoutProbeResizable = &YYLayoutProbeResizable;
    hooks.fieldCursorSet = &YYFieldCursorSet;
    hooks.fieldCursorShape = &YYFieldCursorShape;
    hooks.fieldCursorsClear = &YYFieldCursorsClear;
    hooks.dialogEventFields = &YYDialogEventFields;
    hooks.dialogQuery = &WDialogQuery;
    hooks.dialogOwnerWindow = &YYDialogOwnerWindow;
    hooks.dialogsDisable = &YYDialogsDisable;
    hooks.dialogsEnable = &YYDialogsEnable;
    hooks.semiModelessDialog = [] { return dialogManagerState().semiModeless; };
    hooks.commonDialogEnded = &commonDialogEnded;
}

}  // namespace

void YYDialogWindowHooksInstall()
{
    installManagerHooks();
    YYGridEditorHooksInstall();

    ChildWindowHooks& hooks = childWindowHooks();
    hooks.semiModelessCount = semiModelessCount;
    hooks.layoutDialogAvailable = layoutDialogAvailable;
    hooks.dialogsInsideRelease = dialogsInsideRelease;
    hooks.dialogOwnersReplace = dialogOwnersReplace;

    // Graphics output into a field of the current dialog.
    DrawableHooks& drawables = drawableHooks();
    drawables.currentDialog = currentDialog;
    drawables.dialogDrawTarget = YYDialogDrawTarget;
}
