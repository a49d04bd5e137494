#include "toolkit/dialogs/DialogHooks.h"

#include <string>
#include <string_view>

#include "toolkit/dialogs/DialogFieldTable.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogProc.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/NumericEdits.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"

bool YYDialogIsResizable(HWND dialog)
{
    const DialogRecord* record = YYDialogRecordOf(dialog);
    return record && record->resizable && record->anchorControl;
}

bool YYWindowSnapshotsInForce() { return dialogManagerState().snapshotsHeld != 0; }

void YYDialogManagerArm()
{
    NumericEditState& s = numericEditState();
    s.saveOnFocus = 1;
    s.validating = 0;
    s.validationSuspended = 0;
    s.pendingField = s.tabPendingField = nullptr;
    dialogManagerState().backgroundBrush.reset();
}

void YYDialogManagerReset()
{
    DialogTable& t = dialogTable();
    t.currentIndex = 0;
    t.currentIdentifier = 0;
    t.exitButton = t.exitFocusField = t.lastModalIdentifier = t.lastCommonResult = 0;
}

void YYDialogsDrawActive(HWND window)
{
    const DialogTable& t = dialogTable();
    for (INTEGER i = 1; i <= t.count; ++i) {
        HWND dialog = t.handles[static_cast<std::size_t>(i)];
        if (dialog && IsWindow(dialog)) SendMessageA(dialog, WM_NCACTIVATE, window && dialog == window ? TRUE : FALSE, 0);
    }
}

void YYDialogsDestroyAll()
{
    DialogTable& t = dialogTable();
    DialogManagerState& m = dialogManagerState();
    // Pages first go back to the main window's client, so that each dialog is destroyed on its own
    // and no record is lost with a parent that took its pages along.
    for (INTEGER i = t.count; i >= 1; --i) YYDialogReleasePages(t.handles[static_cast<std::size_t>(i)]);
    for (INTEGER i = t.count; i >= 1; --i) {
        HWND dialog = t.handles[static_cast<std::size_t>(i)];
        if (dialog && IsWindow(dialog)) DestroyWindow(dialog);  // its record goes with it
        t.handles[static_cast<std::size_t>(i)] = nullptr;
    }
    t.count = 0;
    t.currentIndex = 0;
    t.currentIdentifier = 0;
    m.currentModeless = m.lastDeactivated = m.semiModeless = nullptr;
    m.semiModelessCount = 0;
    m.creationInProgress = 0;
    m.dialogSnapshots.clear();
    m.backgroundBrush.reset();
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

namespace {

INTEGER indexOfHandle(HWND dialog)
{
    const DialogTable& t = dialogTable();
    for (INTEGER i = 1; dialog && i <= t.count; ++i)
        if (t.handles[static_cast<std::size_t>(i)] == dialog) return i;
    return -1;
}

// The [Dialog] section of a field table: its header and data lines, in table form.
std::string dialogSection(std::string_view table)
{
    std::string section;
    bool inside = false;
    std::size_t position = 0;
    while (position < table.size() && table[position] != '\0') {
        std::size_t end = table.find('\n', position);
        if (end == std::string_view::npos) end = table.size();
        std::string_view line = table.substr(position, end - position);
        if (const std::size_t nul = line.find('\0'); nul != std::string_view::npos) {
            line = line.substr(0, nul);
            end = table.size();
        }
        position = end + 1;
        const std::size_t first = line.find_first_not_of(" \t");
        const std::string_view trimmed = first == std::string_view::npos ? std::string_view{} : line.substr(first);
        if (!trimmed.empty() && trimmed.front() == '[') inside = YYHeaderMatch("[Dialog]", trimmed) == 0;
        if (inside) section.append(trimmed).append(" \n");
    }
    return section;
}

}  // namespace

HWND YYLayoutDialogCreate(INTEGER dialogId, HWND parent)
{
    const INTEGER window = YYWindowSlotFromHandle(parent);
    if (window < 0 || YYDialogIndex(dialogId) > 0) return nullptr;
    INTEGER status = dialogId;
    YYDialogCreate(status, dialogId, window, 1);
    return status < 0 ? nullptr : YYDialogByIdentifier(dialogId);
}

void YYLayoutDialogShow(HWND dialog)
{
    const INTEGER index = indexOfHandle(dialog);
    const DialogRecord* record = YYDialogRecordOf(dialog);
    if (index < 1 || !record) return;
    if (record->shown && (GetWindowLongA(dialog, GWL_STYLE) & WS_VISIBLE)) return;
    DialogTable& t = dialogTable();
    const INTEGER savedIndex = t.currentIndex, savedIdentifier = t.currentIdentifier;
    t.currentIndex = index;
    t.currentIdentifier = record->identifier;
    // A layout sits at its client's origin; the window that holds it decides about the focus.
    INTEGER mode = kDialogModeless;
    YYDialogShow(0, 0, 0, 0, mode, 0, 2);
    t.currentIndex = savedIndex;
    t.currentIdentifier = savedIdentifier;
}

void YYLayoutDialogAttach(HWND dialog, HWND frame)
{
    if (DialogRecord* record = YYDialogRecordOf(dialog)) record->combinedWindow = frame;
}

void YYLayoutDialogUnload(HWND dialog)
{
    if (!dialog) return;
    const INTEGER index = indexOfHandle(dialog);
    if (index < 1) {
        // Not the dialog manager's: nothing but the window to remove.
        if (IsWindow(dialog)) {
            ShowWindow(dialog, SW_HIDE);
            DestroyWindow(dialog);
        }
        return;
    }
    DialogTable& t = dialogTable();
    const INTEGER current = YYCurrentDialog() ? t.currentIdentifier : 0;
    const DialogRecord* record = YYDialogRecordOf(dialog);
    const INTEGER identifier = record ? record->identifier : 0;
    YYDialogHide(index);
    YYDialogUnload(0, index);
    if (current != 0 && current != identifier) {
        INTEGER reselect = current;
        YYDialogSelect(reselect);
    }
}

bool YYLayoutProbeResizable(HWND probe, INTEGER dialogId)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(dialogId), MAKEINTRESOURCEA(10));  // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!bytes || !probe) return false;
    const std::string section = dialogSection(std::string_view(bytes, SizeofResource(instance, found)));
    if (section.empty()) return false;
    // Only the [Dialog] line is read into a record lent to the probe for the moment, so that the
    // probe loads no pages and keeps no fonts.
    const std::unique_ptr<DialogRecord> record = YYDialogRecordMake();
    const LONG_PTR before = SetWindowLongPtrA(probe, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record.get()));
    YYDialogApplyFieldText(probe, section, 0);
    const bool resizable = YYDialogIsResizable(probe);
    SetWindowLongPtrA(probe, GWLP_USERDATA, before);
    return resizable;
}

void YYLayoutDialogFocusField(HWND dialog)
{
    if (!dialog || !IsWindow(dialog)) return;
    HWND focus = GetFocus();
    if (!focus || !IsChild(dialog, focus)) {
        YYFieldFocusFirst(nullptr, dialog, 1);
        focus = GetFocus();
    }
    if (focus && IsChild(dialog, focus)) YYFieldSelectAll(focus);
}

void YYDialogMakeCurrent(INTEGER dialogId) { YYDialogSelectById(dialogId); }

HWND YYCurrentDialogWindow() { return YYCurrentDialog(); }

HWND YYDialogLayoutFrame(HWND dialog)
{
    const DialogRecord* record = YYDialogRecordOf(dialog);
    return record ? record->combinedWindow : nullptr;
}

void YYActiveModelessDialogSet(HWND dialog) { dialogManagerState().currentModeless = dialog; }

void YYFieldCursorSet(HWND field, HCURSOR cursor, INTEGER shape)
{
    if (FieldRecord* record = YYFieldRecordOf(field)) {
        record->cursor = cursor;
        record->cursorShape = shape;
    }
}

INTEGER YYFieldCursorShape(HWND field)
{
    const FieldRecord* record = YYFieldRecordOf(field);
    return record && record->cursor ? record->cursorShape : -1;
}

void YYFieldCursorsClear()
{
    const DialogTable& t = dialogTable();
    for (INTEGER i = 0; i <= t.count; ++i) {
        HWND dialog = t.handles[static_cast<std::size_t>(i)];
        if (!dialog) continue;
        // Dialogs, up-down controls and scroll bars carry no field record and are passed by.
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            YYFieldCursorSet(child, nullptr, 0);
    }
}
