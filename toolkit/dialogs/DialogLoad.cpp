#include "toolkit/dialogs/DialogLoad.h"

#include "toolkit/foundation/CommonControls.h"

#include <string>
#include <vector>

#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogFieldTable.h"
#include "toolkit/dialogs/DialogProc.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/foundation/WindowUnits.h"

namespace {

HINSTANCE instance() { return GetModuleHandleA(nullptr); }

HWND handleAt(INTEGER index)
{
    const DialogTable& t = dialogTable();
    return index >= 0 && index <= t.count ? t.handles[static_cast<std::size_t>(index)] : nullptr;
}

bool isChild(HWND window) { return (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0; }

HWND mainClient() { return windowSlotTable().Slots[0].Client; }

// The window slot whose client or frame is the handle, or -1.
INTEGER slotOf(HWND window)
{
    auto& slots = windowSlotTable().Slots;
    for (INTEGER i = 0; i < kWindowSlots; ++i) {
        const WindowSlot& s = slots[static_cast<std::size_t>(i)];
        if (s.Frame && (s.Frame.get() == window || s.Client == window)) return i;
    }
    return -1;
}

bool isLoadedDialog(HWND window)
{
    const DialogTable& t = dialogTable();
    for (INTEGER i = 1; i <= t.count; ++i)
        if (t.handles[static_cast<std::size_t>(i)] == window) return true;
    return false;
}

// The dialog whose tab control holds this page, or null.
HWND tabOwnerOf(HWND page)
{
    const DialogRecord* record = YYDialogRecordOf(page);
    if (!record) return nullptr;
    const DialogTable& t = dialogTable();
    for (INTEGER i = 1; i <= t.count; ++i) {
        HWND dialog = t.handles[static_cast<std::size_t>(i)];
        if (dialog == page) continue;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (YYControlClass(child) != kClassTabControl) continue;
            for (INTEGER k = 0; k < YYTabCount(child); ++k)
                if (YYTabData(child, k).page == record->identifier) return dialog;
        }
    }
    return nullptr;
}

INTEGER initialFieldState(HWND control)
{
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    if (!(style & WS_VISIBLE)) return kFieldHidden;
    if (style & WS_DISABLED) return kFieldDisabled;
    if (YYIsEditLike(YYControlClass(control)) && (style & ES_READONLY)) return kFieldReadOnly;
    return kFieldEnabled;
}

void pagesOf(HWND dialog, void (*action)(HWND tab, INTEGER index, HWND page, HWND dialog))
{
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (YYControlClass(child) != kClassTabControl) continue;
        for (INTEGER k = 0; k < YYTabCount(child); ++k)
            if (HWND page = YYDialogByIdentifier(YYTabData(child, k).page)) action(child, k, page, dialog);
    }
}

HWND tabControlOf(INTEGER field, const char* routine)
{
    HWND dialog = YYCurrentDialog();
    if (!dialog) {
        YYErrorReport(1005, routine);
        return nullptr;
    }
    HWND tab = YYDialogField(dialog, field);
    if (!tab || YYControlClass(tab) != kClassTabControl) {
        YYErrorReport(1006, routine);
        return nullptr;
    }
    return tab;
}

void showPage(HWND tab, HWND page, bool focus)
{
    SetWindowPos(page, tab, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (DialogRecord* record = YYDialogRecordOf(page)) record->shown = 1;
    if (focus) YYFieldFocusFirst(nullptr, page, 1);
}

void hidePage(HWND page)
{
    ShowWindow(page, SW_HIDE);
    if (DialogRecord* record = YYDialogRecordOf(page)) record->shown = 0;
}

}  // namespace

HWND YYDialogByIdentifier(INTEGER identifier)
{
    const INTEGER index = YYDialogIndex(identifier);
    return index > 0 ? handleAt(index) : nullptr;
}

void YYDialogCreate(INTEGER& resourceId, INTEGER identifier, INTEGER window, INTEGER combine)
{
    DialogTable& t = dialogTable();
    DialogManagerState& m = dialogManagerState();
    const INTEGER existing = YYDialogIndex(identifier);
    if (existing > 0) {
        t.currentIndex = existing;
        t.currentIdentifier = identifier;
        return;
    }
    if (t.count >= kMaxDialogs) {
        resourceId = -1;
        return;
    }
    if (!FindResourceA(instance(), MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(5))) {  // RT_DIALOG
        resourceId = -2;
        return;
    }
    HWND parent = nullptr;
    HWND frame = nullptr;
    if (window >= 0 && window < kWindowSlots) {
        const WindowSlot& slot = windowSlotTable().Slots[static_cast<std::size_t>(window)];
        parent = slot.Client ? slot.Client : slot.Frame.get();
        frame = slot.Frame.get();
    } else {
        parent = YYDialogOwnerWindow();
    }
    // The dialog takes the record over in WM_INITDIALOG; if creation fails before that, it goes here.
    std::unique_ptr<DialogRecord> record = YYDialogRecordMake();
    record->identifier = identifier;
    record->resourceId = resourceId;
    if (combine && window >= 0) record->combinedWindow = frame;
    m.pendingX = m.pendingY = -1;
    m.pendingFocus = 0;
    m.creationInProgress = 1;
    const HWND savedModeless = m.currentModeless;
    HWND dialog = CreateDialogParamA(instance(), MAKEINTRESOURCEA(resourceId), parent, YYDialogProc,
                                     reinterpret_cast<LPARAM>(&record));
    m.creationInProgress = 0;
    if (!dialog) {
        resourceId = -3;
        return;
    }
    ++t.count;
    t.handles[static_cast<std::size_t>(t.count)] = dialog;
    t.currentIndex = t.count;
    t.currentIdentifier = identifier;
    YYDialogApplyFieldTable(dialog, resourceId, 0);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        FieldRecord* field = YYFieldRecordOf(child);
        if (!field) continue;
        field->state = initialFieldState(child);
        if (field->spinControl) child = GetWindow(child, GW_HWNDNEXT);  // its up-down control
        if (!child) break;
    }
    // The field table may have loaded pages, which made themselves current on the way.
    t.currentIndex = YYDialogIndex(identifier);
    t.currentIdentifier = identifier;
    m.currentModeless = savedModeless;
}

void YYDialogLoadById(INTEGER& resourceId, INTEGER identifier, INTEGER window)
{
    YYDialogCreate(resourceId, identifier, window, 0);
}

void WDialogLoad(INTEGER resourceId, std::optional<INTEGER> identifier, std::optional<INTEGER> window)
{
    const INTEGER id = identifier.value_or(resourceId);
    const INTEGER windowNumber = window.value_or(0);
    DialogTable& t = dialogTable();
    const INTEGER savedIndex = t.currentIndex, savedIdentifier = t.currentIdentifier;
    INTEGER status = resourceId;
    YYDialogLoadById(status, id, windowNumber);
    if (status >= 0) return;
    t.currentIndex = savedIndex;
    t.currentIdentifier = savedIdentifier;
    YYErrorReport(status == -1 ? 1087 : status == -2 ? 1007 : 1088, "WDialogLoad");
}

void YYDialogSelect(INTEGER& identifier)
{
    const INTEGER index = YYDialogIndex(identifier);
    if (index < 0) {
        identifier = -1;
        return;
    }
    dialogTable().currentIndex = index;
    dialogTable().currentIdentifier = identifier;
}

void WDialogSelect(INTEGER identifier)
{
    INTEGER id = identifier;
    YYDialogSelect(id);
    if (id == -1) YYErrorReport(1008, "WDialogSelect");
}

void YYDialogCentre(HWND dialog, INTEGER& x, INTEGER& y)
{
    RECT window{};
    GetWindowRect(dialog, &window);
    const INTEGER width = window.right - window.left, height = window.bottom - window.top;
    INTEGER availableWidth = GetSystemMetrics(SM_CXSCREEN), availableHeight = GetSystemMetrics(SM_CYSCREEN);
    if (isChild(dialog)) {
        RECT client{};
        GetClientRect(GetParent(dialog), &client);
        availableWidth = client.right;
        availableHeight = client.bottom;
    }
    if (x == -1) x = (availableWidth - width) / 2;
    if (y == -1) y = (availableHeight - height) / 2;
}

void YYDialogPlacePages(HWND dialog)
{
    pagesOf(dialog, [](HWND tab, INTEGER index, HWND page, HWND owner) {
        LONG style = GetWindowLongA(page, GWL_STYLE);
        style &= ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
        style |= WS_CHILD | DS_CONTROL;
        SetWindowLongA(page, GWL_STYLE, style);
        SetWindowLongA(page, GWL_EXSTYLE, GetWindowLongA(page, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
        const DialogRecord* record = YYDialogRecordOf(page);
        if (record && record->resizable) {
            for (HWND child = GetWindow(page, GW_CHILD); child;) {
                HWND next = GetWindow(child, GW_HWNDNEXT);
                if (YYControlClass(child) == kClassScrollBar && (GetWindowLongA(child, GWL_STYLE) & SBS_SIZEGRIP))
                    DestroyWindow(child);
                child = next;
            }
        }
        if (GetParent(page) != owner) SetParent(page, owner);
        RECT area{};
        GetWindowRect(tab, &area);
        MapWindowPoints(nullptr, owner, reinterpret_cast<POINT*>(&area), 2);
        TabCtrl_AdjustRect(tab, FALSE, &area);
        UINT flags = SWP_NOSIZE | SWP_NOACTIVATE;
        const bool selected = TabCtrl_GetCurSel(tab) == index;
        if (selected && (GetWindowLongA(tab, GWL_STYLE) & WS_VISIBLE)) flags |= SWP_SHOWWINDOW;
        SetWindowPos(page, tab, area.left, area.top, 0, 0, flags);
        if (flags & SWP_SHOWWINDOW) {
            if (DialogRecord* r = YYDialogRecordOf(page)) r->shown = 1;
        }
        EnableWindow(page, TRUE);
        YYDialogPlacePages(page);
    });
}

void YYDialogReleasePages(HWND dialog)
{
    for (HWND child = GetWindow(dialog, GW_CHILD); child;) {
        HWND next = GetWindow(child, GW_HWNDNEXT);
        if (isLoadedDialog(child)) {
            ShowWindow(child, SW_HIDE);
            if (DialogRecord* r = YYDialogRecordOf(child)) r->shown = 0;
            SetParent(child, mainClient());
        }
        child = next;
    }
}

void YYDialogSizeGrip(HWND dialog)
{
    const DialogRecord* record = YYDialogRecordOf(dialog);
    if (!record || !record->resizable) return;
    if (record->combinedWindow) {
        const INTEGER slot = slotOf(record->combinedWindow);
        if (slot >= 0 && windowSlotTable().Slots[static_cast<std::size_t>(slot)].StatusBar) return;
    }
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgCtrlID(child) == -1 && YYControlClass(child) == kClassScrollBar) return;
    RECT client{};
    GetClientRect(dialog, &client);
    const int size = GetSystemMetrics(SM_CXVSCROLL);
    CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN,
                    client.right - size, client.bottom - size, size, size, dialog,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), instance(), nullptr);
}

bool YYInModalDialog(HWND window)
{
    HWND instanceWindow = dialogTable().handles[0];
    if (!instanceWindow) return false;
    for (HWND w = window; w; w = isChild(w) ? GetParent(w) : nullptr)
        if (w == instanceWindow) return true;
    return false;
}

void YYDialogsDisable(HWND window, INTEGER flag)
{
    const DialogTable& t = dialogTable();
    for (INTEGER i = 1; i <= t.count; ++i) {
        HWND dialog = t.handles[static_cast<std::size_t>(i)];
        const DialogRecord* record = YYDialogRecordOf(dialog);
        if (!record || !record->shown || dialog == window || tabOwnerOf(dialog)) continue;
        if (window && record->combinedWindow == window) continue;
        EnableWindow(dialog, FALSE);
    }
    if (flag != 1) return;
    for (const WindowSlot& slot : windowSlotTable().Slots) {
        HWND frame = slot.Frame.get();
        if (frame && frame != window && IsWindowVisible(frame)) EnableWindow(frame, FALSE);
    }
}

void YYDialogsEnable(HWND window, INTEGER flag)
{
    const bool onlyGiven = dialogManagerState().semiModelessCount > 0;
    const DialogTable& t = dialogTable();
    for (INTEGER i = 1; i <= t.count; ++i) {
        HWND dialog = t.handles[static_cast<std::size_t>(i)];
        const DialogRecord* record = YYDialogRecordOf(dialog);
        if (!record || !record->shown || tabOwnerOf(dialog)) continue;
        if (!onlyGiven || dialog == window) EnableWindow(dialog, TRUE);
    }
    if (flag != 1) return;
    for (const WindowSlot& slot : windowSlotTable().Slots) {
        HWND frame = slot.Frame.get();
        if (frame && IsWindowVisible(frame) && (!onlyGiven || frame == window)) EnableWindow(frame, TRUE);
    }
}

INTEGER YYDialogParentWindow()
{
    HWND dialog = YYCurrentDialog();
    if (!dialog || !isChild(dialog)) return 0;
    const INTEGER slot = slotOf(GetParent(dialog));
    return slot < 0 ? 0 : slot;
}

void YYDialogShow(INTEGER x, INTEGER y, INTEGER childX, INTEGER childY, INTEGER& mode, INTEGER focusField,
                  INTEGER layout)
{
    DialogManagerState& m = dialogManagerState();
    DialogTable& t = dialogTable();
    HWND dialog = YYCurrentDialog();
    DialogRecord* record = YYDialogRecordOf(dialog);
    if (!record) {
        mode = -4;
        return;
    }
    if (record->combinedWindow && !layout) {
        mode = -4;
        return;
    }
    const bool child = isChild(dialog);
    if (record->shown && IsWindowVisible(dialog)) {
        ShowWindow(dialog, IsIconic(dialog) ? SW_RESTORE : SW_SHOWNA);
        SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        if (child) {
            SetFocus(dialog);
            m.currentModeless = dialog;
        }
        mode = 0;
        return;
    }
    INTEGER status = 0;
    INTEGER wanted = mode;
    if (wanted == kDialogModeless && m.semiModeless) {
        wanted = kDialogSemiModeless;
        status = -1;
    }
    if (child && (wanted == kDialogModal || wanted == kDialogSemiModeless)) {
        wanted = kDialogModeless;
        status = -1;
    }
    if (wanted != kDialogModal && wanted != kDialogSemiModeless) wanted = kDialogModeless;
    if (child) {
        x = childX;
        y = childY;
    }
    m.pendingFocus = focusField;
    m.pendingX = x;
    m.pendingY = y;
    record->ownerWindow = YYDialogOwnerWindow();
    record->returnWindow = m.semiModeless ? m.semiModeless : record->ownerWindow;
    record->mode = wanted;

    if (wanted == kDialogModal) {
        const HWND savedDeactivated = m.lastDeactivated, savedModeless = m.currentModeless;
        HWND owner = record->ownerWindow;
        YYDialogsDisable(owner, 1);
        m.creationInProgress = 1;
        const INTEGER resourceId = record->resourceId ? record->resourceId : record->identifier;
        DialogBoxParamA(instance(), MAKEINTRESOURCEA(resourceId), owner, YYDialogProc, 0);
        m.creationInProgress = 0;
        t.handles[0] = nullptr;
        YYDialogsEnable(m.semiModeless ? m.semiModeless : owner, 1);
        m.lastDeactivated = savedDeactivated;
        m.currentModeless = savedModeless;
        if (owner && isChild(owner)) {
            SetFocus(owner);
            SetActiveWindow(owner);
            if (isLoadedDialog(owner)) m.currentModeless = owner;
        } else if (owner && IsWindow(owner)) {
            SetActiveWindow(owner);
        }
        mode = status;
        return;
    }
    if (wanted == kDialogSemiModeless) {
        ++m.semiModelessCount;
        m.semiModeless = dialog;
        YYDialogsDisable(nullptr, 0);
        for (const WindowSlot& slot : windowSlotTable().Slots)
            if (slot.Frame) EnableWindow(slot.Frame.get(), FALSE);
        EnableWindow(dialog, TRUE);
    }
    if (child && !layout) {
        HWND parent = GetParent(dialog);
        const INTEGER slot = slotOf(parent);
        HWND frame = slot >= 0 ? windowSlotTable().Slots[static_cast<std::size_t>(slot)].Frame.get() : parent;
        if (frame && !IsWindowVisible(frame)) {
            mode = -2;
            return;
        }
        const WindowUserRecord* user = frame ? YYWindowRecord(frame) : nullptr;
        if (user && user->Words[0] == kWindowDialogLayout) {
            mode = -3;
            return;
        }
    }
    YYDialogPlacePages(dialog);
    YYDialogCentre(dialog, x, y);
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOREDRAW | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (child) {
        SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        m.currentModeless = dialog;
    }
    ShowWindow(dialog, SW_SHOWNORMAL);
    if (layout != 2) {
        HWND focus = focusField ? YYDialogField(dialog, focusField) : nullptr;
        SetFocus(focus ? focus : dialog);
        if (HWND now = GetFocus()) YYFieldSelectAll(now);
    }
    if (child) SetActiveWindow(dialog);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HWND focused = GetFocus();
    if (focused && GetParent(focused) == dialog) record->previousField = GetDlgCtrlID(focused);
    record->shown = 1;
    mode = status;
}

void WDialogShow(std::optional<INTEGER> x, std::optional<INTEGER> y, std::optional<INTEGER> focusField,
                 std::optional<INTEGER> mode)
{
    HWND dialog = YYCurrentDialog();
    if (!dialog) {
        YYErrorReport(1005, "WDialogShow");
        return;
    }
    INTEGER px = x.value_or(-1), py = y.value_or(-1);
    INTEGER childX = px, childY = py;
    if (isChild(dialog)) {
        RECT client{};
        GetClientRect(GetParent(dialog), &client);
        if (px != -1) childX = windowUnitsToPixel(px, client.right);
        if (py != -1) childY = windowUnitsToPixel(py, client.bottom);
    }
    INTEGER requested = mode.value_or(kDialogModeless);
    const bool modal = requested == kDialogModal && !isChild(dialog);
    INTEGER ignored = 0;
    if (modal) YYWindowSnapshots(1, -1, ignored);
    YYDialogShow(px, py, childX, childY, requested, focusField.value_or(0), 0);
    if (modal) {
        YYWindowSnapshots(0, -1, ignored);
        DialogTable& t = dialogTable();
        YYDialogExitValue(1, t.exitButton);
        YYDialogExitValue(2, t.exitFocusField);
    }
    switch (requested) {
    case -1: YYErrorReport(1014, "WDialogShow"); break;
    case -2: YYErrorReport(1016, "WDialogShow"); break;
    case -3: YYErrorReport(1046, "WDialogShow"); break;
    case -4: YYErrorReport(1047, "WDialogShow"); break;
    default: break;
    }
}

void WDialogShowAtOwner(INTEGER focusField, INTEGER mode, INTEGER window)
{
    const DialogManagerState& m = dialogManagerState();
    HWND anchor = nullptr;
    if (window == -1) anchor = m.currentModeless ? m.currentModeless : m.lastDeactivated;
    else if (window >= 0 && window < kWindowSlots) anchor = windowSlotTable().Slots[static_cast<std::size_t>(window)].Frame.get();
    while (anchor && isChild(anchor)) anchor = GetParent(anchor);
    POINT origin{0, 0};
    if (anchor) ClientToScreen(anchor, &origin);
    WDialogShow(origin.x, origin.y, focusField, mode);
}

INTEGER YYDialogHide(INTEGER index)
{
    DialogManagerState& m = dialogManagerState();
    DialogTable& t = dialogTable();
    HWND dialog = handleAt(index == -1 ? t.currentIndex : index);
    DialogRecord* record = YYDialogRecordOf(dialog);
    if (!record || index == 0) return 0;
    if (index == -1 && record->combinedWindow) return -1;
    if (isChild(dialog) && tabOwnerOf(dialog)) return -2;
    const bool wasModeless = m.currentModeless == dialog;
    if (record->shown && record->mode == kDialogSemiModeless && m.semiModelessCount > 0) {
        --m.semiModelessCount;
        YYDialogsEnable(wasModeless ? record->returnWindow : nullptr, 1);
    }
    for (INTEGER i = 1; i <= t.count; ++i) {
        DialogRecord* other = YYDialogRecordOf(t.handles[static_cast<std::size_t>(i)]);
        if (!other || other == record) continue;
        if (other->ownerWindow == dialog) other->ownerWindow = record->ownerWindow;
        if (other->returnWindow == dialog) other->returnWindow = record->returnWindow;
    }
    if (wasModeless) m.currentModeless = nullptr;
    ShowWindow(dialog, SW_HIDE);
    record->shown = 0;
    if (m.semiModeless == dialog) m.semiModeless = m.semiModelessCount > 0 ? record->returnWindow : nullptr;
    if (m.lastDeactivated == dialog) m.lastDeactivated = record->ownerWindow;
    if (wasModeless && record->ownerWindow && IsWindow(record->ownerWindow)) {
        SetFocus(record->ownerWindow);
        SendMessageA(record->ownerWindow, WM_NCACTIVATE, TRUE, 0);
        if (isLoadedDialog(record->ownerWindow)) m.currentModeless = record->ownerWindow;
    }
    return 0;
}

void WDialogHide()
{
    if (!YYCurrentDialog()) return;
    const INTEGER status = YYDialogHide(-1);
    if (status == -1) YYErrorReport(1047, "WDialogHide");
    if (status == -2) YYErrorReport(1069, "WDialogHide");
}

namespace {

// Unloads the dialog at a table index; forced skips the refusals of the hide (pages going with
// their dialog).
INTEGER unloadAt(INTEGER at, INTEGER keepPages, bool viaCurrent, bool forced)
{
    DialogTable& t = dialogTable();
    DialogManagerState& m = dialogManagerState();
    HWND dialog = handleAt(at);
    if (!dialog || at == 0) return 0;
    DialogRecord* record = YYDialogRecordOf(dialog);
    if (forced) {
        ShowWindow(dialog, SW_HIDE);
        if (record) record->shown = 0;
    } else {
        const INTEGER hidden = YYDialogHide(viaCurrent ? -1 : at);
        if (hidden < 0) return hidden;
    }
    YYDialogReleasePages(dialog);
    const INTEGER identifier = record ? record->identifier : 0;
    if (!keepPages) {
        std::vector<INTEGER> pages;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (YYControlClass(child) != kClassTabControl) continue;
            for (INTEGER k = 0; k < YYTabCount(child); ++k) pages.push_back(YYTabData(child, k).page);
        }
        for (INTEGER page : pages) {
            const INTEGER pageIndex = YYDialogIndex(page);
            if (pageIndex > 0 && handleAt(pageIndex) != dialog) YYDialogDestroy(pageIndex);
        }
    }
    for (INTEGER i = t.count; i >= 1; --i) {
        HWND other = handleAt(i);
        if (!other || other == dialog) continue;
        bool related = false;
        for (HWND w = GetParent(other); w && !related; w = GetParent(w)) related = w == dialog;
        if (related && YYDialogHide(i) >= 0) unloadAt(i, 0, false, false);
    }
    const INTEGER position = YYDialogIndex(identifier) > 0 ? YYDialogIndex(identifier) : at;
    m.dialogSnapshots.erase(dialog);
    if (m.currentModeless == dialog) m.currentModeless = nullptr;
    if (m.lastDeactivated == dialog) m.lastDeactivated = nullptr;
    if (m.semiModeless == dialog) m.semiModeless = nullptr;
    DestroyWindow(dialog);  // its record goes with it
    for (INTEGER i = position; i < t.count; ++i)
        t.handles[static_cast<std::size_t>(i)] = t.handles[static_cast<std::size_t>(i + 1)];
    t.handles[static_cast<std::size_t>(t.count)] = nullptr;
    --t.count;
    t.currentIndex = 0;
    t.currentIdentifier = 0;
    if (t.count == 0) {
        bool anyVisible = false;
        for (const WindowSlot& slot : windowSlotTable().Slots)
            anyVisible = anyVisible || (slot.Frame && IsWindowVisible(slot.Frame.get()));
        if (!anyVisible) m.lastDeactivated = windowSlotTable().Slots[0].Frame.get();
    }
    return 0;
}

}  // namespace

void YYDialogDestroy(INTEGER index) { unloadAt(index, 0, false, true); }

INTEGER YYDialogUnload(INTEGER keepPages, INTEGER index)
{
    const INTEGER at = index == -1 ? dialogTable().currentIndex : index;
    return unloadAt(at, keepPages, index == -1, false);
}

void WDialogUnload(std::optional<INTEGER> keepPages)
{
    if (!YYCurrentDialog()) {
        YYErrorReport(1005, "WDialogUnload");
        return;
    }
    const INTEGER status = YYDialogUnload(keepPages.value_or(0), -1);
    if (status == -1) YYErrorReport(1047, "WDialogUnload");
    if (status == -2) YYErrorReport(1069, "WDialogUnload");
}

INTEGER WDialogQuery(INTEGER code)
{
    const DialogTable& t = dialogTable();
    HWND dialog = YYCurrentDialog();
    switch (code) {
    case 1: return t.exitButton;
    case 2: return t.exitFocusField;
    case 3: return dialog ? t.currentIdentifier : 0;
    case 4: return t.lastCommonResult;
    case 5: return t.lastModalIdentifier;
    case 6: case 7: case 8: case 9: {
        if (!dialog) return 0;
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        RECT r{};
        GetWindowRect(dialog, &r);
        if (IsIconic(dialog) && GetWindowPlacement(dialog, &placement)) r = placement.rcNormalPosition;
        if (isChild(dialog)) {
            if (!IsIconic(dialog)) MapWindowPoints(nullptr, GetParent(dialog), reinterpret_cast<POINT*>(&r), 2);
            RECT client{};
            GetClientRect(GetParent(dialog), &client);
            const INTEGER values[] = {pixelToWindowUnits(r.left, client.right), pixelToWindowUnits(r.top, client.bottom),
                                      pixelToWindowUnits(r.right - r.left, client.right),
                                      pixelToWindowUnits(r.bottom - r.top, client.bottom)};
            return values[code - 6];
        }
        const INTEGER values[] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
        return values[code - 6];
    }
    case 10: {
        if (!dialog) return 0;
        const DialogRecord* record = YYDialogRecordOf(dialog);
        if (record && record->combinedWindow) return 4;
        if (!isChild(dialog)) return 1;
        return isLoadedDialog(GetParent(dialog)) ? 3 : 2;
    }
    default:
        return 0;
    }
}

void WDialogTitle(std::optional<std::string_view> title, std::optional<INTEGER> icon)
{
    HWND dialog = YYCurrentDialog();
    if (!dialog) {
        YYErrorReport(1005, "WDialogTitle");
        return;
    }
    const bool caption = (GetWindowLongA(dialog, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
    const INTEGER iconId = icon.value_or(-1);
    HICON newIcon = nullptr;
    if (caption && iconId != -1) {
        newIcon = iconId == 0 ? LoadIconA(instance(), "icon1") : LoadIconA(instance(), MAKEINTRESOURCEA(iconId));
        if (!newIcon) {
            YYErrorReport(1015, "WDialogTitle");
            return;
        }
    }
    if (title) {
        std::string text(*title);
        while (!text.empty() && text.back() == ' ') text.pop_back();
        if (caption) {
            SetWindowTextA(dialog, text.c_str());
        } else if (const DialogRecord* record = YYDialogRecordOf(dialog)) {
            const DialogTable& t = dialogTable();
            for (INTEGER i = 1; i <= t.count; ++i) {
                HWND other = t.handles[static_cast<std::size_t>(i)];
                for (HWND child = GetWindow(other, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                    if (YYControlClass(child) != kClassTabControl) continue;
                    for (INTEGER k = 0; k < YYTabCount(child); ++k) {
                        if (YYTabData(child, k).page != record->identifier) continue;
                        TCITEMA item{};
                        item.mask = TCIF_TEXT;
                        item.pszText = text.data();
                        TabCtrl_SetItem(child, k, &item);
                    }
                }
            }
        }
    }
    if (newIcon) {
        // Icons from LoadIcon are shared and never destroyed; the dialog only lets go of them.
        SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(newIcon));
    }
}

void WDialogSetTab(INTEGER tabField, INTEGER page)
{
    HWND tab = tabControlOf(tabField, "WDialogSetTab");
    if (!tab) return;
    INTEGER index = -1;
    for (INTEGER k = 0; k < YYTabCount(tab) && index < 0; ++k) {
        const TabItemData data = YYTabData(tab, k);
        if (data.page == page && !data.disabled) index = k;
    }
    if (index < 0) {
        YYErrorReport(1012, "WDialogSetTab");
        return;
    }
    const INTEGER old = static_cast<INTEGER>(TabCtrl_GetCurSel(tab));
    if (old == index) return;
    TabCtrl_SetCurSel(tab, index);
    if (!(GetWindowLongA(tab, GWL_STYLE) & WS_VISIBLE)) return;
    HWND dialog = GetParent(tab);
    if (old >= 0)
        if (HWND oldPage = YYDialogByIdentifier(YYTabData(tab, old).page)) hidePage(oldPage);
    HWND newPage = YYDialogByIdentifier(page);
    const DialogRecord* record = YYDialogRecordOf(dialog);
    if (newPage && GetParent(newPage) == dialog) showPage(tab, newPage, record && record->shown);
}

void WDialogGetTab(INTEGER tabField, INTEGER& page)
{
    HWND tab = tabControlOf(tabField, "WDialogGetTab");
    if (!tab) return;
    const INTEGER selected = static_cast<INTEGER>(TabCtrl_GetCurSel(tab));
    page = selected >= 0 ? YYTabData(tab, selected).page : 0;
}

void WDialogTabState(INTEGER tabField, INTEGER page, INTEGER state)
{
    HWND tab = tabControlOf(tabField, "WDialogTabState");
    if (!tab) return;
    for (INTEGER k = 0; k < YYTabCount(tab); ++k) {
        TabItemData data = YYTabData(tab, k);
        if (data.page != page) continue;
        data.disabled = state == 0 ? 1 : 0;
        YYTabSetData(tab, k, data);
        RECT r{};
        TabCtrl_GetItemRect(tab, k, &r);
        InvalidateRect(tab, &r, TRUE);
        return;
    }
    YYErrorReport(1012, "WDialogTabState");
}

void WDialogSetField(INTEGER field, std::optional<INTEGER> caret)
{
    if (!YYCurrentDialog()) {
        YYErrorReport(1005, "WDialogSetField");
        return;
    }
    INTEGER f = field;
    YYFieldFocus(f, caret ? *caret - 1 : -1);
    if (f == -1) YYErrorReport(1006, "WDialogSetField");
}

void YYDialogResizeClient(INTEGER& width, INTEGER height)
{
    HWND dialog = YYCurrentDialog();
    DialogRecord* record = YYDialogRecordOf(dialog);
    if (!record || record->combinedWindow) {
        width = -1;
        return;
    }
    RECT client{};
    GetClientRect(dialog, &client);
    RECT units{0, 0, width, height};
    MapDialogRect(dialog, &units);
    if (width > 0) client.right = units.right;
    if (height > 0) client.bottom = units.bottom;
    RECT outer = client;
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)));
    SetWindowPos(dialog, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    HWND focus = GetFocus();
    bool focusLost = false;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const FieldRecord* field = YYFieldRecordOf(child);
        if (!field) continue;
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        const bool outside = r.right > client.right || r.bottom > client.bottom;
        if (outside) {
            if (child == focus) focusLost = true;
            ShowWindow(child, SW_HIDE);
        } else if (field->state != kFieldHidden) {
            ShowWindow(child, SW_SHOWNA);
        }
    }
    RECT now{};
    GetWindowRect(dialog, &now);
    if (now.right - now.left < record->minWidth) record->minWidth = now.right - now.left;
    if (now.bottom - now.top < record->minHeight) record->minHeight = now.bottom - now.top;
    if (focusLost) YYFieldFocusFirst(nullptr, dialog, 1);
}

void YYFieldTabStops(INTEGER& field, const INTEGER* stops, INTEGER count)
{
    HWND control = YYDialogField(YYCurrentDialog(), field);
    FieldRecord* record = YYFieldRecordOf(control);
    const ControlClassCode code = YYControlClass(control);
    const bool multiLineEdit = code == kClassEdit && (GetWindowLongA(control, GWL_STYLE) & ES_MULTILINE);
    if (!record || (!multiLineEdit && code != kClassListBox) || count < 0 || (count > 0 && !stops)) {
        field = -1;
        return;
    }
    record->tabStops.assign(stops, stops + count);
    std::vector<INT> values(record->tabStops.begin(), record->tabStops.end());
    SendMessageA(control, code == kClassListBox ? LB_SETTABSTOPS : EM_SETTABSTOPS, static_cast<WPARAM>(count),
                 reinterpret_cast<LPARAM>(values.data()));
    InvalidateRect(control, nullptr, TRUE);
}

void YYTrackbarUndefinedSet(INTEGER value) { dialogManagerState().trackbarUndefined = value; }
