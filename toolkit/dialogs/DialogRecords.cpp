#include "toolkit/dialogs/DialogRecords.h"

DialogTable& dialogTable()
{
    static DialogTable table;
    return table;
}

DialogManagerState& dialogManagerState()
{
    static DialogManagerState state;
    return state;
}

INTEGER YYDialogIndex(INTEGER identifier)
{
    const DialogTable& t = dialogTable();
    for (INTEGER i = 1; i <= t.count; ++i) {
        const DialogRecord* record = YYDialogRecordOf(t.handles[static_cast<std::size_t>(i)]);
        if (record && record->identifier == identifier) return i;
    }
    return -1;
}

HWND YYCurrentDialog()
{
    const DialogTable& t = dialogTable();
    if (t.currentIndex < 1 || t.currentIndex > t.count) return nullptr;
    return t.handles[static_cast<std::size_t>(t.currentIndex)];
}

namespace {
// Dialog windows carry a DialogRecord in their user data, controls a FieldRecord: the window's
// class tells which one a user-data word holds.
bool isDialogWindow(HWND window) { return GetClassLongPtrA(window, GCW_ATOM) == 32770; }
}  // namespace

DialogRecord* YYDialogRecordOf(HWND dialog)
{
    if (!dialog || !IsWindow(dialog) || !isDialogWindow(dialog)) return nullptr;
    return reinterpret_cast<DialogRecord*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
}

FieldRecord* YYFieldRecordOf(HWND control)
{
    if (!control || !IsWindow(control) || isDialogWindow(control)) return nullptr;
    return reinterpret_cast<FieldRecord*>(GetWindowLongPtrA(control, GWLP_USERDATA));
}

DialogRecord* YYDialogRecordMake()
{
    ++dialogManagerState().liveDialogRecords;
    auto* record = new DialogRecord{};
    record->lastCellValue = 0x40001;
    return record;
}

void YYDialogRecordFree(DialogRecord* record)
{
    if (!record) return;
    --dialogManagerState().liveDialogRecords;
    delete record;
}

FieldRecord* YYFieldRecordMake(HWND control)
{
    ++dialogManagerState().liveFieldRecords;
    auto* record = new FieldRecord{};
    SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
    return record;
}

void YYFieldRecordFree(HWND control)
{
    FieldRecord* record = YYFieldRecordOf(control);
    if (!record) return;
    SetWindowLongPtrA(control, GWLP_USERDATA, 0);
    --dialogManagerState().liveFieldRecords;
    delete record;
}

HWND YYDialogField(HWND dialog, INTEGER field)
{
    if (!dialog || field == 0) return nullptr;
    HWND control = GetDlgItem(dialog, field);
    return control && GetParent(control) == dialog ? control : nullptr;
}
