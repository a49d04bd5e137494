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
    return WindowOwnedRecord<DialogRecord>::of(dialog);
}

FieldRecord* YYFieldRecordOf(HWND control)
{
    if (!control || !IsWindow(control) || isDialogWindow(control)) return nullptr;
    return WindowOwnedRecord<FieldRecord>::of(control);
}

template <LiveRecordKind Kind>
LiveRecordCount<Kind>::LiveRecordCount()
{
    DialogManagerState& m = dialogManagerState();
    ++(Kind == LiveRecordKind::dialog ? m.liveDialogRecords : m.liveFieldRecords);
}

template <LiveRecordKind Kind>
LiveRecordCount<Kind>::LiveRecordCount(const LiveRecordCount&) : LiveRecordCount()
{
}

template <LiveRecordKind Kind>
LiveRecordCount<Kind>::~LiveRecordCount()
{
    DialogManagerState& m = dialogManagerState();
    --(Kind == LiveRecordKind::dialog ? m.liveDialogRecords : m.liveFieldRecords);
}

template struct LiveRecordCount<LiveRecordKind::dialog>;
template struct LiveRecordCount<LiveRecordKind::field>;

std::unique_ptr<DialogRecord> YYDialogRecordMake()
{
    auto record = std::make_unique<DialogRecord>();
    record->lastCellValue = 0x40001;
    return record;
}

// Only the dialog procedure attaches and releases, so the window is always one of its dialogs.
DialogRecord* YYDialogRecordAttach(HWND dialog, std::unique_ptr<DialogRecord> record)
{
    if (!dialog) return nullptr;  // the record goes at once
    return WindowOwnedRecord<DialogRecord>::attach(dialog, std::move(record));
}

void YYDialogRecordRelease(HWND dialog)
{
    if (dialog) WindowOwnedRecord<DialogRecord>::release(dialog);
}

FieldRecord* YYFieldRecordMake(HWND control)
{
    return WindowOwnedRecord<FieldRecord>::attach(control, std::make_unique<FieldRecord>());
}

void YYFieldRecordFree(HWND control)
{
    if (control && !isDialogWindow(control)) WindowOwnedRecord<FieldRecord>::release(control);
}

HWND YYDialogField(HWND dialog, INTEGER field)
{
    if (!dialog || field == 0) return nullptr;
    HWND control = GetDlgItem(dialog, field);
    return control && GetParent(control) == dialog ? control : nullptr;
}
