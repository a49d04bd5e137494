#include "toolkit/dialogs/ControlClasses.h"

#include "toolkit/foundation/CommonControls.h"

#include <cstring>
#include <string>

#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogProc.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/NumericEdits.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"

namespace {

struct ClassName {
    ControlClassCode code;
    const char* name;
    bool captureProcedure;
};

constexpr ClassName kClassNames[] = {
    {kClassButton, "BUTTON", true},          {kClassStatic, "STATIC", true},
    {kClassTrackbar, TRACKBAR_CLASSA, true}, {kClassTreeView, "SysTreeView32", true},
    {kClassTabControl, "SysTabControl32", true}, {kClassDialog, "#32770", false},
    {kClassListBox, "LISTBOX", false},       {kClassComboBox, "COMBOBOX", false},
    {kClassProgress, PROGRESS_CLASSA, false}, {kClassUpDown, UPDOWN_CLASSA, false},
    {kClassHeader, "SysHeader32", false},    {kClassScrollBar, "SCROLLBAR", false},
    {kClassEdit, "EDIT", true},              {kClassIntegerEdit, "INTEGEREDIT", false},
    {kClassIntegerSpin, "INTEGERSPIN", false}, {kClassRealEdit, "REALEDIT", false},
    {kClassRealSpin, "REALSPIN", false},     {kClassDoubleEdit, "DOUBLEEDIT", false},
    {kClassDoubleSpin, "DOUBLESPIN", false}, {kClassGrid, "DOVEGRID", false},
};

// Classes are captured from throw-away children of the main frame (or of the desktop before
// the main window exists), so that the atoms are the ones this process's controls carry.
void capture(bool procedures)
{
    ControlClassTable& t = controlClassTable();
    HWND parent = windowSlotTable().Slots[0].Frame.get();
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    for (const ClassName& c : kClassNames) {
        if (procedures && !c.captureProcedure) continue;
        WNDCLASSEXA info{};
        info.cbSize = sizeof info;
        if (!GetClassInfoExA(nullptr, c.name, &info) && !GetClassInfoExA(instance, c.name, &info)) continue;
        const WindowHandle probe(CreateWindowExA(0, c.name, " ", parent ? WS_CHILD : WS_POPUP, 0, 0, 0, 0, parent,
                                                 nullptr, instance, nullptr));
        if (!probe) continue;
        t.atoms[c.code] = static_cast<ATOM>(GetClassLongPtrA(probe.get(), GCW_ATOM));
        if (c.captureProcedure)
            t.procedures[c.code] = reinterpret_cast<WNDPROC>(GetClassLongPtrA(probe.get(), GCLP_WNDPROC));
    }
}

LRESULT callClass(ControlClassCode code, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC procedure = YYClassProcedure(code);
    return procedure ? CallWindowProcA(procedure, window, message, wParam, lParam)
                     : DefWindowProcA(window, message, wParam, lParam);
}

HWND parentDialog(HWND control) { return GetParent(control); }

// A drawing-surface event of a field: the dialog records the field and raises the event.
void surfaceEvent(HWND control, INTEGER type, WPARAM wParam, LPARAM lParam, INTEGER button = -2)
{
    HWND dialog = parentDialog(control);
    if (!YYDialogRaisesEvents(dialog)) return;
    DialogRecord* record = YYDialogRecordOf(dialog);
    if (!record) return;
    record->eventField = GetDlgCtrlID(control);
    if (button != -2) record->mouseButton = button;
    YYEventStore(type, 0, wParam, lParam, dialog);
}

bool controlHeld() { return GetKeyState(VK_CONTROL) < 0; }

void trackbarFieldChanged(HWND trackbar)
{
    HWND dialog = parentDialog(trackbar);
    DialogRecord* record = YYDialogRecordOf(dialog);
    if (!record || YYInModalDialog(dialog)) return;
    record->previousField = record->currentField;
    record->currentField = GetDlgCtrlID(trackbar);
    YYDialogOfWindow(dialog, trackbar);
    if (YYDialogRaisesEvents(dialog))
        YYEventStore(10, 0, 0, reinterpret_cast<LPARAM>(trackbar), dialog);
}

INTEGER nearestEnabledTab(HWND tab, INTEGER from, INTEGER step)
{
    const INTEGER count = YYTabCount(tab);
    for (INTEGER i = from + step; i >= 0 && i < count; i += step)
        if (!YYTabData(tab, i).disabled) return i;
    return -1;
}

void sizePagesToTab(HWND tab)
{
    RECT area{};
    GetWindowRect(tab, &area);
    MapWindowPoints(nullptr, GetParent(tab), reinterpret_cast<POINT*>(&area), 2);
    TabCtrl_AdjustRect(tab, FALSE, &area);
    for (INTEGER i = 0; i < YYTabCount(tab); ++i) {
        const INTEGER index = YYDialogIndex(YYTabData(tab, i).page);
        if (index < 1) continue;
        HWND page = dialogTable().handles[static_cast<std::size_t>(index)];
        if (GetParent(page) != GetParent(tab)) continue;
        SetWindowPos(page, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void paintDisabledTabs(HWND tab)
{
    const INTEGER count = YYTabCount(tab);
    const WindowDc tabDc(tab);
    HDC dc = tabDc.get();
    if (!dc) return;
    const DcSelection font(dc, reinterpret_cast<HFONT>(SendMessageA(tab, WM_GETFONT, 0, 0)));
    for (INTEGER i = 0; i < count; ++i) {
        if (!YYTabData(tab, i).disabled) continue;
        RECT r{};
        TabCtrl_GetItemRect(tab, i, &r);
        char text[1025] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text - 1;
        TabCtrl_GetItem(tab, i, &item);
        RECT inner{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
        // Embossed: the highlight one pixel down and right, then the shadow over it.
        RECT shifted{inner.left + 1, inner.top + 1, inner.right + 1, inner.bottom + 1};
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        SetTextColor(dc, GetSysColor(COLOR_BTNHILIGHT));
        DrawTextA(dc, text, -1, &shifted, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
        DrawTextA(dc, text, -1, &inner, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ValidateRect(tab, &r);
    }
}

}  // namespace

ControlClassTable& controlClassTable()
{
    static ControlClassTable table;
    return table;
}

void YYSaveClassProcs() { capture(true); }
void YYSaveClassAtoms() { capture(false); }

ControlClassCode YYControlClass(HWND control)
{
    if (!control) return kClassUnknown;
    const ControlClassTable& t = controlClassTable();
    const ATOM atom = static_cast<ATOM>(GetClassLongPtrA(control, GCW_ATOM));
    for (const ClassName& c : kClassNames)
        if (t.atoms[c.code] != 0 && t.atoms[c.code] == atom) return c.code;
    char name[64] = {};
    GetClassNameA(control, name, sizeof name);
    for (const ClassName& c : kClassNames)
        if (lstrcmpiA(name, c.name) == 0) return c.code;
    return kClassUnknown;
}

bool YYIsNumericClass(ControlClassCode code) { return code >= kClassIntegerEdit && code <= kClassDoubleSpin; }
bool YYIsEditLike(ControlClassCode code) { return code == kClassEdit || YYIsNumericClass(code); }

WNDPROC YYClassProcedure(ControlClassCode code)
{
    WNDPROC procedure = controlClassTable().procedures[code];
    if (procedure) return procedure;
    for (const ClassName& c : kClassNames) {
        if (c.code != code) continue;
        WNDCLASSA info{};
        if (GetClassInfoA(nullptr, c.name, &info) || GetClassInfoA(GetModuleHandleA(nullptr), c.name, &info))
            return info.lpfnWndProc;
    }
    return nullptr;
}

INTEGER YYTabCount(HWND tab) { return static_cast<INTEGER>(TabCtrl_GetItemCount(tab)); }

namespace {
struct TabItemWithData {
    TCITEMHEADERA header;
    TabItemData data;
};
}  // namespace

TabItemData YYTabData(HWND tab, INTEGER index)
{
    TabItemWithData item{};
    item.header.mask = TCIF_PARAM;
    if (!SendMessageA(tab, TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return {};
    return item.data;
}

void YYTabSetData(HWND tab, INTEGER index, const TabItemData& data)
{
    TabItemWithData item{};
    item.header.mask = TCIF_PARAM;
    item.data = data;
    SendMessageA(tab, TCM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void YYTabAppend(HWND tab, const char* label, const TabItemData& data)
{
    TabItemWithData item{};
    item.header.mask = TCIF_PARAM | TCIF_TEXT;
    item.header.pszText = const_cast<char*>(label);
    item.data = data;
    SendMessageA(tab, TCM_INSERTITEMA, static_cast<WPARAM>(YYTabCount(tab)), reinterpret_cast<LPARAM>(&item));
}

LRESULT CALLBACK YYButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
        SendMessageA(parentDialog(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), 6),
                     reinterpret_cast<LPARAM>(window));
        break;
    case WM_LBUTTONUP: {
        // A press on a push button let a refused numeric entry go for the moment; dragging off
        // the button before releasing clicks nothing, so the entry is still to be mended.
        const LRESULT result = callClass(kClassButton, window, message, wParam, lParam);
        RECT client{};
        GetClientRect(window, &client);
        const POINT pointer{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (numericEditState().pendingField && !PtInRect(&client, pointer)) YYPendingFieldRefocus(window, 0);
        return result;
    }
    case WM_KILLFOCUS: {
        const LRESULT result = callClass(kClassButton, window, message, wParam, lParam);
        const NumericEditState& s = numericEditState();
        if (s.pendingField && s.buttonRefocusGuard) YYPendingFieldRefocus(window, 1);
        return result;
    }
    case BM_SETCHECK: {
        const FieldRecord* field = YYFieldRecordOf(window);
        const LRESULT pushed = SendMessageA(window, BM_GETCHECK, 0, 0);
        if (field && field->drawSurface && static_cast<LRESULT>(wParam) != pushed) {
            LRESULT result = callClass(kClassButton, window, message, wParam, lParam);
            surfaceEvent(window, 107, 0, 0);
            return result;
        }
        break;
    }
    default:
        break;
    }
    return callClass(kClassButton, window, message, wParam, lParam);
}

LRESULT CALLBACK YYEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    const bool ownsEnter = !(style & ES_WANTRETURN);
    switch (message) {
    case WM_GETDLGCODE: {
        LRESULT code = callClass(kClassEdit, window, message, wParam, lParam);
        const MSG* pending = reinterpret_cast<const MSG*>(lParam);
        if (ownsEnter && pending && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN)
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN && ownsEnter && !controlHeld() && GetKeyState(VK_MENU) >= 0) {
            YYNotifyParent(window);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == 1) {  // Ctrl+A
            SendMessageA(window, EM_SETSEL, 0, -1);
            SendMessageA(window, EM_SCROLLCARET, 0, 0);
            return 0;
        }
        // The Enter key acted on key down; Ctrl+Enter (a line feed) still breaks a line.
        if (wParam == '\r' && ownsEnter) return 0;
        break;
    default:
        break;
    }
    return callClass(kClassEdit, window, message, wParam, lParam);
}

LRESULT CALLBACK YYTrackbarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogManagerState& m = dialogManagerState();
    const bool selectionRange = (GetWindowLongA(window, GWL_STYLE) & TBS_ENABLESELRANGE) != 0;
    switch (message) {
    case WM_SETFOCUS:
        SendMessageA(parentDialog(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), 256),
                     reinterpret_cast<LPARAM>(window));
        break;
    case WM_KILLFOCUS:
        m.trackbarAnchor = 0;
        break;
    case WM_KEYDOWN:
        if (!selectionRange || (lParam & 0x40000000)) break;
        if (wParam == VK_SHIFT) {
            m.trackbarAnchor = static_cast<INTEGER>(SendMessageA(window, TBM_GETPOS, 0, 0));
        } else if (wParam == VK_DELETE) {
            SendMessageA(window, TBM_CLEARSEL, TRUE, 0);
            m.trackbarAnchor = 0;
            trackbarFieldChanged(window);
            return 0;
        } else if (wParam == 'A' && controlHeld()) {
            const LRESULT low = SendMessageA(window, TBM_GETRANGEMIN, 0, 0);
            const LRESULT high = SendMessageA(window, TBM_GETRANGEMAX, 0, 0);
            SendMessageA(window, TBM_SETSEL, TRUE, MAKELPARAM(low, high));
            trackbarFieldChanged(window);
            return 0;
        }
        break;
    case WM_KEYUP:
        if (wParam == VK_SHIFT && selectionRange) {
            if (SendMessageA(window, TBM_GETSELSTART, 0, 0) == SendMessageA(window, TBM_GETSELEND, 0, 0))
                SendMessageA(window, TBM_CLEARSEL, TRUE, 0);
            m.trackbarAnchor = 0;
        }
        break;
    default:
        break;
    }
    return callClass(kClassTrackbar, window, message, wParam, lParam);
}

LRESULT CALLBACK YYTabControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        const INTEGER selected = static_cast<INTEGER>(TabCtrl_GetCurSel(window));
        if (selected >= 0) {
            const INTEGER index = YYDialogIndex(YYTabData(window, selected).page);
            RECT update{};
            if (index > 0 && GetUpdateRect(window, &update, FALSE)) {
                HWND page = dialogTable().handles[static_cast<std::size_t>(index)];
                MapWindowPoints(window, page, reinterpret_cast<POINT*>(&update), 2);
                InvalidateRect(page, &update, FALSE);
            }
        }
        paintDisabledTabs(window);
        if (HWND child = GetWindow(window, GW_CHILD)) InvalidateRect(child, nullptr, FALSE);
        break;
    }
    case WM_MOVE: {
        LRESULT result = callClass(kClassTabControl, window, message, wParam, lParam);
        sizePagesToTab(window);
        return result;
    }
    case WM_SIZE:
        if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) {
            LRESULT result = callClass(kClassTabControl, window, message, wParam, lParam);
            sizePagesToTab(window);
            return result;
        }
        break;
    case WM_KEYDOWN: {
        const INTEGER count = YYTabCount(window);
        const INTEGER selected = static_cast<INTEGER>(TabCtrl_GetCurSel(window));
        if (wParam == VK_LEFT || wParam == VK_RIGHT) {
            const INTEGER next = nearestEnabledTab(window, selected, wParam == VK_LEFT ? -1 : 1);
            if (next >= 0) {
                // Through the focus, so that the dialog hears the change as from a click.
                TabCtrl_SetCurFocus(window, next);
            }
            return 0;
        }
        if (wParam == VK_UP || wParam == VK_DOWN) {
            for (INTEGER i = 0; i < count; ++i)
                if (YYTabData(window, i).disabled) return 0;
        }
        break;
    }
    case WM_LBUTTONDOWN: {
        TCHITTESTINFO hit{};
        hit.pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        const INTEGER index = static_cast<INTEGER>(TabCtrl_HitTest(window, &hit));
        if (index >= 0 && YYTabData(window, index).disabled) return 0;
        break;
    }
    default:
        break;
    }
    return callClass(kClassTabControl, window, message, wParam, lParam);
}

LRESULT CALLBACK YYTreeViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETFOCUS && !dialogManagerState().creationInProgress) {
        HWND dialog = parentDialog(window);
        const INTEGER id = GetDlgCtrlID(window);
        if (YYInModalDialog(dialog)) {
            if (DialogRecord* record = YYDialogRecordOf(YYCurrentDialog())) {
                record->previousField = record->currentField;
                record->currentField = id;
            }
        } else if (DialogRecord* record = YYDialogRecordOf(dialog)) {
            const bool changed = record->currentField != id;
            record->previousField = record->currentField;
            record->currentField = id;
            if (changed && YYDialogRaisesEvents(dialog))
                YYEventStore(10, 0, 0, reinterpret_cast<LPARAM>(window), dialog);
        }
    }
    return callClass(kClassTreeView, window, message, wParam, lParam);
}

LRESULT CALLBACK YYPictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const FieldRecord* field = YYFieldRecordOf(window);
    const bool surface = field && field->drawSurface;
    switch (message) {
    case WM_ENABLE:
        return 0;
    case WM_NCHITTEST: {
        LRESULT hit = callClass(kClassStatic, window, message, wParam, lParam);
        if (hit == HTTRANSPARENT && (GetWindowLongA(window, GWL_STYLE) & SS_NOTIFY)) hit = HTCLIENT;
        return hit;
    }
    case WM_SETCURSOR:
        if (surface && LOWORD(lParam) == HTCLIENT) {
            // The field's own cursor, else the toolkit's cursor when one was set.
            if (HCURSOR cursor = field->cursor ? field->cursor : YYGlobalCursor()) {
                SetCursor(cursor);
                return TRUE;
            }
            break;  // no cursor set anywhere: the class's, as over any other field
        }
        break;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: case WM_MOUSEMOVE: {
        // The modal instance's surfaces report nothing, so they have no reason to hold the mouse.
        if (!surface || !YYDialogRaisesEvents(parentDialog(window))) return 0;
        INTEGER button = 0, type = 106;
        if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_LBUTTONDBLCLK) button = 1;
        if (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP || message == WM_RBUTTONDBLCLK) button = 3;
        if (message == WM_MBUTTONDOWN || message == WM_MBUTTONUP || message == WM_MBUTTONDBLCLK) button = 2;
        if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN) {
            SetCapture(window);
            type = 104;
        } else if (message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK) {
            SetCapture(window);
            type = eventEnableTable().Flags[15] ? 116 : 104;
        } else if (message != WM_MOUSEMOVE) {
            ReleaseCapture();
            type = 105;
        }
        surfaceEvent(window, type, wParam, lParam, button);
        return 0;
    }
    default:
        break;
    }
    return callClass(kClassStatic, window, message, wParam, lParam);
}

LRESULT CALLBACK YYUpDownProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A click on the arrows first moves the focus to the field, so that its entry is checked
    // before it is stepped.
    if (message == WM_LBUTTONDOWN)
        if (HWND buddy = reinterpret_cast<HWND>(SendMessageA(window, UDM_GETBUDDY, 0, 0))) SetFocus(buddy);
    if (WNDPROC procedure = numericEditState().upDownProcedure)
        return CallWindowProcA(procedure, window, message, wParam, lParam);
    return callClass(kClassUpDown, window, message, wParam, lParam);
}

LRESULT CALLBACK YYFieldSurfaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const FieldRecord* field = YYFieldRecordOf(window);
    WNDPROC inner = field && field->originalProcedure ? field->originalProcedure : YYClassProcedure(YYControlClass(window));
    if (message == WM_NCDESTROY) {
        // The procedure beneath finishes the destruction; the record goes with the window.
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(inner));
        const LRESULT result = inner ? CallWindowProcA(inner, window, message, wParam, lParam)
                                     : DefWindowProcA(window, message, wParam, lParam);
        YYFieldRecordFree(window);
        return result;
    }
    if (message == WM_SETCURSOR && LOWORD(lParam) == HTCLIENT && field && field->drawSurface && field->cursor) {
        // Any drawing-surface field shows its own cursor, whatever its class.
        SetCursor(field->cursor);
        return TRUE;
    }
    const LRESULT result = inner ? CallWindowProcA(inner, window, message, wParam, lParam)
                                 : DefWindowProcA(window, message, wParam, lParam);
    field = YYFieldRecordOf(window);
    if (field && field->drawSurface) {
        HWND dialog = parentDialog(window);
        if (message == WM_PAINT) {
            surfaceEvent(window, 107, 0, 0);
        } else if (message == WM_SIZE && YYDialogRaisesEvents(dialog)) {
            RedrawWindow(window, nullptr, nullptr, RDW_ERASENOW | RDW_UPDATENOW | RDW_NOCHILDREN);
            surfaceEvent(window, 108, wParam, lParam);
        }
    }
    return result;
}
