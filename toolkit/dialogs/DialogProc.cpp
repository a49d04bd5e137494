#include "toolkit/dialogs/DialogProc.h"

#include "toolkit/foundation/CommonControls.h"

#include <string>
#include <vector>

#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/DialogTreeFields.h"
#include "toolkit/dialogs/GridSetUp.h"
#include "toolkit/dialogs/NumericEdits.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"

namespace {

constexpr INTEGER kEventChange = 10, kEventTab = 11;

HINSTANCE instance() { return GetModuleHandleA(nullptr); }

bool isChild(HWND window) { return (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0; }

UINT cellChangeMessage()
{
    static const UINT message = RegisterWindowMessageA("GM_CELLCHANGE");
    return message;
}

bool isPushButton(HWND control)
{
    if (YYControlClass(control) != kClassButton) return false;
    const LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

bool isLoaded(HWND window)
{
    const DialogTable& t = dialogTable();
    for (INTEGER i = 1; i <= t.count; ++i)
        if (t.handles[static_cast<std::size_t>(i)] == window) return true;
    return false;
}

HWND outermostDialog(HWND dialog)
{
    while (dialog && isChild(dialog) && isLoaded(GetParent(dialog))) dialog = GetParent(dialog);
    // A page inside the modal instance climbs to the instance.
    if (dialog && isChild(dialog) && GetParent(dialog) == dialogTable().handles[0]) dialog = GetParent(dialog);
    return dialog;
}

void raise(HWND dialog, INTEGER type, WPARAM wParam, LPARAM lParam)
{
    if (YYDialogRaisesEvents(dialog)) YYEventStore(type, 0, wParam, lParam, dialog);
}

// Field change bookkeeping; the event only when asked for.
void fieldChanged(HWND dialog, HWND control, INTEGER id, bool raiseEvent, LPARAM y, bool onlyWhenChanged)
{
    DialogRecord* record = YYDialogActingRecord(dialog);
    if (!record) return;
    const bool changed = record->currentField != id;
    record->previousField = record->currentField;
    record->currentField = id;
    if (control) YYDialogOfWindow(dialog, control);
    if (raiseEvent && (!onlyWhenChanged || changed)) raise(dialog, kEventChange, 0, y);
}

std::vector<HWND> children(HWND dialog)
{
    std::vector<HWND> list;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) list.push_back(child);
    return list;
}

std::string windowText(HWND window, int limit = 65535)
{
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(std::min(length, limit)) + 1, '\0');
    GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

RECT rectInParent(HWND control)
{
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void copyListItems(HWND from, HWND to, bool combo)
{
    const UINT count = combo ? CB_GETCOUNT : LB_GETCOUNT, textLength = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT getText = combo ? CB_GETLBTEXT : LB_GETTEXT, add = combo ? CB_ADDSTRING : LB_ADDSTRING;
    SendMessageA(to, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
    const LRESULT n = SendMessageA(from, count, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        const LRESULT length = SendMessageA(from, textLength, static_cast<WPARAM>(i), 0);
        if (length < 0) continue;
        std::string text(static_cast<std::size_t>(std::min<LRESULT>(length, 65535)) + 1, '\0');
        if (length > 65535) continue;  // longer than any item the toolkit puts
        SendMessageA(from, getText, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        // Keep the items in the source's order even in a sorted box.
        SendMessageA(to, combo ? CB_INSERTSTRING : LB_INSERTSTRING, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(text.c_str()));
        (void)add;
    }
}

void copyControl(HWND from, HWND to, ControlClassCode code)
{
    switch (code) {
    case kClassButton:
        SendMessageA(to, BM_SETCHECK, SendMessageA(from, BM_GETCHECK, 0, 0), 0);
        for (WPARAM kind : {WPARAM(IMAGE_BITMAP), WPARAM(IMAGE_ICON)})
            if (LRESULT image = SendMessageA(from, BM_GETIMAGE, kind, 0)) SendMessageA(to, BM_SETIMAGE, kind, image);
        break;
    case kClassStatic:
        for (WPARAM kind : {WPARAM(IMAGE_BITMAP), WPARAM(IMAGE_ICON), WPARAM(IMAGE_ENHMETAFILE)})
            if (LRESULT image = SendMessageA(from, STM_GETIMAGE, kind, 0)) SendMessageA(to, STM_SETIMAGE, kind, image);
        break;
    case kClassComboBox:
        copyListItems(from, to, true);
        SendMessageA(to, CB_SETCURSEL, static_cast<WPARAM>(SendMessageA(from, CB_GETCURSEL, 0, 0)), 0);
        break;
    case kClassListBox: {
        if (const FieldRecord* field = YYFieldRecordOf(from); field && !field->tabStops.empty()) {
            std::vector<INT> stops(field->tabStops.begin(), field->tabStops.end());
            SendMessageA(to, LB_SETTABSTOPS, stops.size(), reinterpret_cast<LPARAM>(stops.data()));
        }
        copyListItems(from, to, false);
        const LONG style = GetWindowLongA(from, GWL_STYLE);
        if (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
            const LRESULT n = SendMessageA(from, LB_GETCOUNT, 0, 0);
            for (LRESULT i = 0; i < n; ++i)
                SendMessageA(to, LB_SETSEL, SendMessageA(from, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0, i);
        } else {
            SendMessageA(to, LB_SETCURSEL, static_cast<WPARAM>(SendMessageA(from, LB_GETCURSEL, 0, 0)), 0);
        }
        break;
    }
    case kClassTabControl: {
        TabCtrl_DeleteAllItems(to);
        for (INTEGER k = 0; k < YYTabCount(from); ++k) {
            char text[1025] = {};
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = 1024;
            TabCtrl_GetItem(from, k, &item);
            YYTabAppend(to, text, YYTabData(from, k));
        }
        TabCtrl_SetCurSel(to, TabCtrl_GetCurSel(from));
        break;
    }
    case kClassProgress: {
        PBRANGE range{};
        SendMessageA(from, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        SendMessageA(to, PBM_SETRANGE32, static_cast<WPARAM>(range.iLow), range.iHigh);
        SendMessageA(to, PBM_SETPOS, static_cast<WPARAM>(SendMessageA(from, PBM_GETPOS, 0, 0)), 0);
        break;
    }
    case kClassTrackbar: {
        const LRESULT low = SendMessageA(from, TBM_GETRANGEMIN, 0, 0), high = SendMessageA(from, TBM_GETRANGEMAX, 0, 0);
        SendMessageA(to, TBM_SETRANGEMIN, FALSE, low);
        SendMessageA(to, TBM_SETRANGEMAX, FALSE, high);
        SendMessageA(to, TBM_SETSEL, FALSE,
                     MAKELPARAM(SendMessageA(from, TBM_GETSELSTART, 0, 0), SendMessageA(from, TBM_GETSELEND, 0, 0)));
        SendMessageA(to, TBM_SETLINESIZE, 0, SendMessageA(from, TBM_GETLINESIZE, 0, 0));
        SendMessageA(to, TBM_SETPAGESIZE, 0, SendMessageA(from, TBM_GETPAGESIZE, 0, 0));
        // With fewer than two ticks there is no spacing to carry over; the range stands in for it.
        const LRESULT ticks = SendMessageA(from, TBM_GETNUMTICS, 0, 0);
        const LRESULT frequency = ticks > 1 ? (high - low) / (ticks - 1) : (high - low > 0 ? high - low : 1);
        SendMessageA(to, TBM_SETTICFREQ, static_cast<WPARAM>(frequency), 0);
        SendMessageA(to, TBM_SETPOS, TRUE, SendMessageA(from, TBM_GETPOS, 0, 0));
        break;
    }
    case kClassEdit:
        SendMessageA(to, EM_SETLIMITTEXT, static_cast<WPARAM>(SendMessageA(from, EM_GETLIMITTEXT, 0, 0)), 0);
        if (const FieldRecord* field = YYFieldRecordOf(from); field && !field->tabStops.empty()) {
            std::vector<INT> stops(field->tabStops.begin(), field->tabStops.end());
            SendMessageA(to, EM_SETTABSTOPS, stops.size(), reinterpret_cast<LPARAM>(stops.data()));
        }
        SendMessageA(to, EM_SETREADONLY, (GetWindowLongA(from, GWL_STYLE) & ES_READONLY) != 0, 0);
        break;
    case kClassTreeView:
        YYTreeCopyAll(to, from);
        break;
    case kClassUpDown: {
        int low = 0, high = 0;
        SendMessageA(from, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
        SendMessageA(to, UDM_SETRANGE32, static_cast<WPARAM>(low), high);
        UDACCEL accel[2] = {};
        const LRESULT n = SendMessageA(from, UDM_GETACCEL, 2, reinterpret_cast<LPARAM>(accel));
        if (n > 0) SendMessageA(to, UDM_SETACCEL, static_cast<WPARAM>(std::min<LRESULT>(n, 2)), reinterpret_cast<LPARAM>(accel));
        break;
    }
    default:
        break;
    }
}

void setUpControl(HWND control)
{
    const ControlClassCode code = YYControlClass(control);
    if (YYIsNumericClass(code)) return;  // these make their own record when they are created
    FieldRecord* field = YYFieldRecordMake(control);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    WNDPROC replacement = nullptr;
    switch (code) {
    case kClassEdit:
        field->maxLength = (style & ES_MULTILINE) ? 65535 : 32767;
        SendMessageA(control, EM_SETLIMITTEXT, static_cast<WPARAM>(field->maxLength), 0);
        replacement = YYEditProc;
        break;
    case kClassButton: {
        const LONG type = style & BS_TYPEMASK;
        if (type == BS_CHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE) {
            style = (style & ~BS_TYPEMASK) | BS_AUTOCHECKBOX;
            SetWindowLongA(control, GWL_STYLE, style);
        } else if (type == BS_RADIOBUTTON) {
            style = (style & ~BS_TYPEMASK) | BS_AUTORADIOBUTTON;
            SetWindowLongA(control, GWL_STYLE, style);
        }
        if (style & (BS_BITMAP | BS_ICON)) {
            const UINT kind = (style & BS_BITMAP) ? IMAGE_BITMAP : IMAGE_ICON;
            ImageHandle image(kind, LoadImageA(instance(), MAKEINTRESOURCEA(GetDlgCtrlID(control)), kind, 0, 0,
                                               kind == IMAGE_BITMAP ? (LR_LOADTRANSPARENT | LR_LOADMAP3DCOLORS) : 0));
            ImageHandle previous(kind, reinterpret_cast<HANDLE>(
                                           SendMessageA(control, BM_SETIMAGE, kind, reinterpret_cast<LPARAM>(image.get()))));
            if (previous.get() == image.get()) previous.release();
            if (!image) SetWindowLongA(control, GWL_STYLE, style & ~(BS_BITMAP | BS_ICON));
            image.release();  // the button shows it now; the dialog frees it when it goes
        }
        replacement = YYButtonProc;
        break;
    }
    case kClassStatic: {
        const LONG type = style & SS_TYPEMASK;
        const INTEGER id = GetDlgCtrlID(control);
        if ((type == SS_BITMAP || type == SS_ICON) && !SendMessageA(control, STM_GETIMAGE, type == SS_BITMAP ? IMAGE_BITMAP : IMAGE_ICON, 0)) {
            HANDLE image = LoadImageA(instance(), MAKEINTRESOURCEA(id), type == SS_BITMAP ? IMAGE_BITMAP : IMAGE_ICON, 0, 0, 0);
            if (image) SendMessageA(control, STM_SETIMAGE, type == SS_BITMAP ? IMAGE_BITMAP : IMAGE_ICON, reinterpret_cast<LPARAM>(image));
        } else if (type == SS_ENHMETAFILE) {
            HRSRC found = FindResourceA(instance(), MAKEINTRESOURCEA(id), "DOVEMETAFILE");
            HGLOBAL loaded = found ? LoadResource(instance(), found) : nullptr;
            if (loaded) {
                HENHMETAFILE metafile = SetEnhMetaFileBits(SizeofResource(instance(), found),
                                                           static_cast<const BYTE*>(LockResource(loaded)));
                SendMessageA(control, STM_SETIMAGE, IMAGE_ENHMETAFILE, reinterpret_cast<LPARAM>(metafile));
            }
        }
        replacement = YYPictureProc;
        break;
    }
    case kClassTrackbar:
        replacement = YYTrackbarProc;
        break;
    case kClassTabControl:
        SendMessageA(control, TCM_SETITEMEXTRA, sizeof(TabItemData), 0);
        replacement = YYTabControlProc;
        break;
    case kClassTreeView:
        SetWindowLongA(control, GWL_STYLE,
                       style | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP);
        replacement = YYTreeViewProc;
        break;
    default:
        break;
    }
    if (replacement) {
        field->classProcedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_WNDPROC));
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(replacement));
    }
    LONG exStyle = GetWindowLongA(control, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY;
    const LONG staticType = style & SS_TYPEMASK;
    const bool groupBox = code == kClassButton && (style & BS_TYPEMASK) == BS_GROUPBOX;
    const bool frame = code == kClassStatic && (staticType == SS_BLACKFRAME || staticType == SS_GRAYFRAME ||
                                                staticType == SS_WHITEFRAME || staticType == SS_ETCHEDFRAME);
    if (groupBox || frame) exStyle |= WS_EX_TRANSPARENT;
    SetWindowLongA(control, GWL_EXSTYLE, exStyle);
    field->originalProcedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_WNDPROC));
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(YYFieldSurfaceProc));
}

// The dialog is going. Its fields stop doing the toolkit's work (each field's record goes later,
// from the field's own WM_NCDESTROY), and the fonts and images the toolkit gave them are freed;
// those of the modal instance are the loaded dialog's.
void releaseControls(HWND dialog, bool modalInstance)
{
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    for (HWND child : children(dialog)) {
        FieldRecord* field = YYFieldRecordOf(child);
        const ControlClassCode code = YYControlClass(child);
        if (field) {
            // From here on only the class procedure sees the field's messages.
            if (field->classProcedure) field->originalProcedure = field->classProcedure;
            field->drawSurface = 0;
            field->spinControl = nullptr;  // the up-down control goes with the dialog
        }
        if (modalInstance) continue;
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0));
        if (font && font != dialogFont && font != GetStockObject(SYSTEM_FONT) && font != GetStockObject(SYSTEM_FIXED_FONT) &&
            font != GetStockObject(DEFAULT_GUI_FONT)) {
            SendMessageA(child, WM_SETFONT, 0, FALSE);
            GdiObjectHandle released(font);
        }
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        const auto takeImage = [&](UINT message, UINT kind) {
            ImageHandle released(kind, reinterpret_cast<HANDLE>(SendMessageA(child, message, kind, 0)));
        };
        if (code == kClassStatic) {
            const LONG type = style & SS_TYPEMASK;
            if (type == SS_BITMAP) takeImage(STM_SETIMAGE, IMAGE_BITMAP);
            else if (type == SS_ICON) takeImage(STM_SETIMAGE, IMAGE_ICON);
            else if (type == SS_ENHMETAFILE) takeImage(STM_SETIMAGE, IMAGE_ENHMETAFILE);
        } else if (code == kClassButton) {
            takeImage(BM_SETIMAGE, IMAGE_BITMAP);
            takeImage(BM_SETIMAGE, IMAGE_ICON);
        }
    }
}

void pushButton(HWND dialog, INTEGER id, HWND button)
{
    DialogTable& t = dialogTable();
    DialogManagerState& m = dialogManagerState();
    if (YYPushButtonRefused(id)) return;
    HWND focus = GetFocus();
    if (dialog == t.handles[0]) {
        DialogRecord* loaded = YYDialogRecordOf(YYCurrentDialog());
        DialogRecord* own = YYDialogRecordOf(dialog);
        t.lastModalIdentifier = loaded ? loaded->identifier : 0;
        if (own) {
            own->currentField = id;
            if (focus && focus != button && GetParent(focus) == dialog) own->previousField = GetDlgCtrlID(focus);
        }
        YYDialogReleasePages(dialog);
        m.creationInProgress = 1;
        YYDialogCopyFields(YYCurrentDialog(), dialog);
        m.currentModeless = nullptr;
        // The instance raises nothing more once its record is gone.
        YYDialogRecordRelease(dialog);
        EndDialog(dialog, 1);
        m.creationInProgress = 0;
        return;
    }
    DialogRecord* record = YYDialogRecordOf(dialog);
    if (!record) return;
    if (!button || focus != button) record->previousField = record->currentField;
    raise(dialog, kEventPushButton, static_cast<WPARAM>(id), 0);
}

void command(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    const INTEGER id = static_cast<INTEGER>(static_cast<short>(LOWORD(wParam)));
    const UINT code = HIWORD(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    if (code == BN_CLICKED && (!control || isPushButton(control))) {
        pushButton(dialog, id, control);
        return;
    }
    if (!control) return;
    const ControlClassCode kind = YYControlClass(control);
    const FieldRecord* field = YYFieldRecordOf(control);
    const bool notify = field && field->notifyChanges;
    const LPARAM y = lParam;
    const bool listOrCombo = kind == kClassListBox || kind == kClassComboBox;
    switch (code) {
    case 0:
        if (kind == kClassButton) fieldChanged(dialog, control, id, true, y, false);
        return;
    case 1:
        if (listOrCombo) fieldChanged(dialog, control, id, true, y, false);
        return;
    case 2:
        if (listOrCombo && !(field && (field->flags & 1))) YYNotifyParent(control);
        return;
    case 3: case 4:
        if (listOrCombo) fieldChanged(dialog, control, id, true, y, true);
        return;
    case 5:
        if (notify && (listOrCombo || kind == kClassButton)) fieldChanged(dialog, control, id, true, y, false);
        return;
    case 6:
        if (kind == kClassButton) fieldChanged(dialog, control, id, true, y, true);
        return;
    case 0x100:
        fieldChanged(dialog, control, id, true, y, true);
        return;
    case 0x300:
        if (notify) fieldChanged(dialog, control, id, true, y, false);
        return;
    default:
        return;
    }
}

void tabNotify(HWND dialog, const NMHDR& header)
{
    HWND tab = header.hwndFrom;
    DialogRecord* record = YYDialogActingRecord(dialog);
    if (!record) return;
    // A numeric entry that may not leave its field may not leave its page either: the tab
    // control is allowed to switch and is then put back.
    NumericEditState& numeric = numericEditState();
    HWND focus = GetFocus();
    if (focus && focus != tab && YYNumericValidate(focus, focus, 1)) numeric.tabPendingField = focus;
    HWND held = numeric.tabPendingField ? numeric.tabPendingField : numeric.pendingField;
    const INTEGER selected = static_cast<INTEGER>(TabCtrl_GetCurSel(tab));
    if (header.code == TCN_SELCHANGING && held) {
        numeric.heldTabSelection = selected;
        YYBeep();
        return;
    }
    if (header.code == TCN_SELCHANGE && (held || numeric.heldTabSelection >= 0)) {
        if (numeric.heldTabSelection >= 0) TabCtrl_SetCurSel(tab, numeric.heldTabSelection);
        numeric.heldTabSelection = -1;
        numeric.tabPendingField = nullptr;
        if (held && IsWindow(held)) {
            // The entry takes the focus back and waits for no push button any more; the focus
            // changes this causes are no new entries to check.
            numeric.pendingField = nullptr;
            const INTEGER guard = numeric.buttonRefocusGuard, validating = numeric.validating;
            numeric.buttonRefocusGuard = 0;
            numeric.validating = 1;
            SetFocus(held);
            numeric.validating = validating;
            numeric.buttonRefocusGuard = guard;
            SendMessageA(held, EM_SETSEL, 0, -1);
        }
        return;
    }
    if (selected < 0) return;
    HWND page = YYDialogByIdentifier(YYTabData(tab, selected).page);
    if (header.code == TCN_SELCHANGING) {
        if (page) {
            ShowWindow(page, SW_HIDE);
            if (DialogRecord* r = YYDialogRecordOf(page)) r->shown = 0;
        }
        record->previousPage = YYTabData(tab, selected).page;
        return;
    }
    if (page) {
        SetWindowPos(page, tab, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        if (DialogRecord* r = YYDialogRecordOf(page)) r->shown = 1;
        RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        if (GetFocus() != tab) YYFieldFocusFirst(nullptr, page, 1);
    }
    record->currentPage = YYTabData(tab, selected).page;
    raise(dialog, kEventTab, 0, 0);
}

void anchorFields(HWND dialog, INTEGER width, INTEGER height)
{
    HDWP positions = BeginDeferWindowPos(16);
    const bool maximised = IsZoomed(dialog) != 0;
    for (HWND child : children(dialog)) {
        const ControlClassCode code = YYControlClass(child);
        if (code == kClassScrollBar && (GetWindowLongA(child, GWL_STYLE) & SBS_SIZEGRIP)) {
            RECT r = rectInParent(child);
            const INTEGER w = r.right - r.left, h = r.bottom - r.top;
            SetWindowPos(child, nullptr, width - w, height - h, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            ShowWindow(child, maximised ? SW_HIDE : SW_SHOWNA);
            continue;
        }
        if (code == kClassUpDown || isLoaded(child)) continue;
        const FieldRecord* field = YYFieldRecordOf(child);
        if (!field || field->anchorBits == 0) continue;
        RECT r = rectInParent(child);
        INTEGER spinWidth = 0;
        if (field->spinControl) {
            RECT s = rectInParent(field->spinControl);
            spinWidth = s.right - s.left;
        }
        const INTEGER right = r.right + spinWidth;
        const INTEGER dx = width - right - field->rightGap, dy = height - r.bottom - field->bottomGap;
        if (field->anchorBits & kAnchorLeft) r.left += dx;
        if (field->anchorBits & kAnchorRight) r.right += dx;
        if (field->anchorBits & kAnchorTop) r.top += dy;
        if (field->anchorBits & kAnchorBottom) r.bottom += dy;
        if (positions)
            positions = DeferWindowPos(positions, child, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
        if (field->spinControl && positions)
            positions = DeferWindowPos(positions, field->spinControl, nullptr, r.right, r.top, spinWidth,
                                       r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }
    if (positions) EndDeferWindowPos(positions);
}

void systemMenuFollows(HWND dialog, WPARAM state)
{
    HMENU menu = GetSystemMenu(dialog, FALSE);
    if (!menu) return;
    const LONG style = GetWindowLongA(dialog, GWL_STYLE);
    const auto set = [menu](UINT item, bool enabled) {
        EnableMenuItem(menu, item, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    };
    if (state == SIZE_MINIMIZED) {
        set(SC_MINIMIZE, false);
        set(SC_RESTORE, true);
    } else if (state == SIZE_MAXIMIZED) {
        set(SC_MAXIMIZE, false);
        set(SC_RESTORE, true);
    } else {
        set(SC_MINIMIZE, (style & WS_MINIMIZEBOX) != 0);
        set(SC_MAXIMIZE, (style & WS_MAXIMIZEBOX) != 0);
        set(SC_RESTORE, false);
    }
}

INT_PTR mouse(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogRecord* record = YYDialogRecordOf(dialog);
    if (!record || !record->hasGraphics || dialog == dialogTable().handles[0]) return FALSE;
    INTEGER type = 106, button = 0;
    switch (message) {
    case WM_LBUTTONDOWN: type = 104; button = 1; break;
    case WM_RBUTTONDOWN: type = 104; button = 3; break;
    case WM_MBUTTONDOWN: type = 104; button = 2; break;
    case WM_LBUTTONUP: type = 105; button = 1; break;
    case WM_RBUTTONUP: type = 105; button = 3; break;
    case WM_MBUTTONUP: type = 105; button = 2; break;
    case WM_LBUTTONDBLCLK: type = 116; button = 1; break;
    case WM_RBUTTONDBLCLK: type = 116; button = 3; break;
    case WM_MBUTTONDBLCLK: type = 116; button = 2; break;
    default: break;
    }
    if (type == 104 || type == 116) SetCapture(dialog);
    if (type == 105) ReleaseCapture();
    if (type == 116 && !eventEnableTable().Flags[15]) type = 104;
    record->mouseButton = button;
    record->eventField = 0;
    raise(dialog, type, wParam, lParam);
    return TRUE;
}

bool paintFromSnapshot(HWND dialog)
{
    DialogManagerState& m = dialogManagerState();
    if (m.dialogSnapshots.empty() && !m.snapshotsHeld) return false;
    auto found = m.dialogSnapshots.find(dialog);
    if (found == m.dialogSnapshots.end() || !found->second.bitmap) return false;
    const PaintDc paint(dialog);
    MemoryDcHandle memory(CreateCompatibleDC(paint.get()));
    if (memory) {
        const DcSelection selected(memory.get(), found->second.bitmap.get());
        const RECT& area = paint.area();
        BitBlt(paint.get(), area.left, area.top, area.right - area.left, area.bottom - area.top, memory.get(), area.left,
               area.top, SRCCOPY);
    }
    return true;
}

}  // namespace

DialogRecord* YYDialogActingRecord(HWND dialog)
{
    if (dialog && dialog == dialogTable().handles[0]) return YYDialogRecordOf(YYCurrentDialog());
    return YYDialogRecordOf(dialog);
}

bool YYDialogRaisesEvents(HWND dialog)
{
    return dialog && !dialogManagerState().creationInProgress && !YYInModalDialog(dialog) &&
           YYDialogRecordOf(dialog) != nullptr;
}

INT_PTR YYFieldSetUp(HWND dialog, std::unique_ptr<DialogRecord> loaded)
{
    DialogManagerState& m = dialogManagerState();
    for (HWND child : children(dialog)) setUpControl(child);
    DialogRecord* record = loaded ? YYDialogRecordAttach(dialog, std::move(loaded)) : nullptr;
    if (record) {
        HWND mainFrame = windowSlotTable().Slots[0].Frame.get();
        if (HICON icon = mainFrame ? reinterpret_cast<HICON>(GetClassLongPtrA(mainFrame, GCLP_HICON)) : nullptr)
            SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        RECT r{};
        GetWindowRect(dialog, &r);
        record->minWidth = r.right - r.left;
        record->minHeight = r.bottom - r.top;
    } else {
        dialogTable().handles[0] = dialog;
        YYDialogRecordAttach(dialog, YYDialogRecordMake());
        YYDialogCopyFields(dialog, YYCurrentDialog());
        YYDialogPlacePages(dialog);
        INTEGER x = m.pendingX, y = m.pendingY;
        YYDialogCentre(dialog, x, y);
        SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetWindowLongA(dialog, GWL_EXSTYLE, GetWindowLongA(dialog, GWL_EXSTYLE) | WS_EX_APPWINDOW);
    INT_PTR answer = record ? FALSE : TRUE;
    if (m.pendingFocus) {
        if (HWND focus = YYDialogField(dialog, m.pendingFocus)) {
            SetFocus(focus);
            YYFieldSelectAll(focus);
            answer = FALSE;
        }
    }
    m.creationInProgress = 0;
    return answer;
}

INT_PTR CALLBACK YYDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogManagerState& m = dialogManagerState();
    if (message == cellChangeMessage()) {
        fieldChanged(dialog, YYDialogField(dialog, static_cast<INTEGER>(wParam)), static_cast<INTEGER>(wParam), true,
                     lParam, false);
        return TRUE;
    }
    switch (message) {
    case WM_INITDIALOG: {
        if (HMENU menu = GetSystemMenu(dialog, FALSE)) {
            const LONG style = GetWindowLongA(dialog, GWL_STYLE);
            EnableMenuItem(menu, SC_RESTORE, MF_BYCOMMAND | MF_GRAYED);
            if (!(style & WS_MINIMIZEBOX)) EnableMenuItem(menu, SC_MINIMIZE, MF_BYCOMMAND | MF_GRAYED);
            if (!(style & WS_MAXIMIZEBOX)) EnableMenuItem(menu, SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED);
            if (!(style & WS_THICKFRAME)) EnableMenuItem(menu, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
        }
        // A loaded dialog's creator hands its record over through the creation parameter; the
        // modal instance has none and makes its own.
        auto* handover = reinterpret_cast<std::unique_ptr<DialogRecord>*>(lParam);
        return YYFieldSetUp(dialog, handover ? std::move(*handover) : nullptr);
    }
    case WM_COMMAND:
        command(dialog, wParam, lParam);
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!header) return FALSE;
        const ControlClassCode kind = YYControlClass(header->hwndFrom);
        if (kind == kClassTabControl && (header->code == TCN_SELCHANGING || header->code == TCN_SELCHANGE)) {
            tabNotify(dialog, *header);
            return TRUE;
        }
        if (kind == kClassUpDown && header->code == UDN_DELTAPOS) {
            auto* change = reinterpret_cast<NMUPDOWN*>(lParam);
            HWND buddy = reinterpret_cast<HWND>(SendMessageA(header->hwndFrom, UDM_GETBUDDY, 0, 0));
            if (YYSpinStep(buddy, change->iDelta)) {
                change->iDelta = 0;  // the up-down control's own position never moves
                SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);
                return TRUE;
            }
            return FALSE;
        }
        if (kind == kClassTreeView && (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW ||
                                       header->code == TVN_ITEMEXPANDEDA || header->code == TVN_ITEMEXPANDEDW)) {
            // What the program does to a tree is no change by the user.
            if (header->hwndFrom == m.treeChangedByProgram) return TRUE;
            const INTEGER id = static_cast<INTEGER>(header->idFrom);
            // Both the previous and the current field become the tree.
            if (DialogRecord* record = YYDialogActingRecord(dialog)) record->currentField = id;
            fieldChanged(dialog, header->hwndFrom, id, true, lParam, false);
            return TRUE;
        }
        if (kind == kClassTreeView && header->code == NM_DBLCLK) {
            YYTreeDoubleClick(header->hwndFrom);
            return FALSE;  // the tree still opens or closes a branch
        }
        return FALSE;
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
        HWND control = reinterpret_cast<HWND>(lParam);
        const ControlClassCode kind = YYControlClass(control);
        if (kind == kClassTrackbar && LOWORD(wParam) != TB_ENDTRACK) {
            if (GetKeyState(VK_SHIFT) < 0 && (GetWindowLongA(control, GWL_STYLE) & TBS_ENABLESELRANGE)) {
                const INTEGER position = static_cast<INTEGER>(SendMessageA(control, TBM_GETPOS, 0, 0));
                const INTEGER anchor = m.trackbarAnchor;
                SendMessageA(control, TBM_SETSEL, TRUE,
                             MAKELPARAM(std::min(anchor, position), std::max(anchor, position)));
            }
            fieldChanged(dialog, control, GetDlgCtrlID(control), true, lParam, false);
            return TRUE;
        }
        if (kind == kClassUpDown && message == WM_VSCROLL && LOWORD(wParam) != SB_ENDSCROLL) {
            HWND buddy = reinterpret_cast<HWND>(SendMessageA(control, UDM_GETBUDDY, 0, 0));
            const INTEGER id = GetDlgCtrlID(buddy);
            if (DialogRecord* record = YYDialogActingRecord(dialog)) record->currentField = id;
            const FieldRecord* spin = YYFieldRecordOf(control);
            fieldChanged(dialog, buddy, id, !(spin && spin->notifyChanges), -1, false);
            return TRUE;
        }
        return FALSE;
    }
    case WM_HELP: {
        const DialogRecord* record = YYDialogRecordOf(dialog);
        if (record) raise(dialog, kEventPushButton, 9, 0);
        return TRUE;
    }
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_LBUTTONUP: case WM_RBUTTONUP:
    case WM_MBUTTONUP: case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK: case WM_MOUSEMOVE:
        return mouse(dialog, message, wParam, lParam);
    case WM_PAINT: {
        if (paintFromSnapshot(dialog)) return TRUE;
        DialogRecord* record = YYDialogRecordOf(dialog);
        if (!m.snapshotsHeld && record && record->hasGraphics && dialog != dialogTable().handles[0]) {
            { const PaintDc validated(dialog); }
            record->eventField = 0;
            raise(dialog, 107, 0, 0);
            return TRUE;
        }
        return FALSE;
    }
    case WM_SIZE: {
        systemMenuFollows(dialog, wParam);
        if (wParam != SIZE_RESTORED && wParam != SIZE_MAXIMIZED) return FALSE;
        DialogRecord* record = YYDialogRecordOf(dialog);
        if (!record) return FALSE;
        if (record->resizable) anchorFields(dialog, LOWORD(lParam), HIWORD(lParam));
        if (dialog != dialogTable().handles[0] && record->hasGraphics) {
            record->eventField = 0;
            RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
            raise(dialog, 108, wParam, lParam);
        }
        return FALSE;
    }
    case WM_GETMINMAXINFO: {
        const DialogRecord* record = YYDialogRecordOf(dialog);
        if (!record || !record->resizable) return FALSE;
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {record->minWidth, record->minHeight};
        return TRUE;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (m.currentModeless == dialog) m.currentModeless = nullptr;
            m.lastDeactivated = dialog;
        } else {
            m.currentModeless = dialog;
        }
        return FALSE;
    case WM_MOUSEACTIVATE:
        if (isChild(dialog) && YYDialogRecordOf(dialog) && !YYDialogRecordOf(dialog)->combinedWindow) {
            SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            if (!IsChild(dialog, GetFocus())) SetFocus(dialog);
            m.currentModeless = dialog;
            YYWindowActivate(dialog);
        } else if (const DialogRecord* record = YYDialogRecordOf(dialog); record && record->combinedWindow) {
            // A click into a window's layout brings that window forward, as a click on its drawing
            // client would.
            HWND frame = record->combinedWindow;
            if (frame != windowEngineState().ActiveFrame) {
                SetWindowPos(frame, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                YYWindowActivate(frame);
            }
        }
        return FALSE;
    case WM_SETFOCUS:
        if (isChild(dialog)) {
            const DialogRecord* record = YYDialogRecordOf(dialog);
            if (record && record->lastInputControl && IsWindow(record->lastInputControl)) {
                SetFocus(record->lastInputControl);
                SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);
                return TRUE;
            }
        }
        return FALSE;
    case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN: case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(
            YYFieldCtlColour(dialog, message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_DESTROY:
        releaseControls(dialog, dialog == dialogTable().handles[0]);
        return FALSE;
    case WM_NCDESTROY:
        YYDialogRecordRelease(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

HBRUSH YYFieldCtlColour(HWND dialog, UINT message, HDC dc, HWND control)
{
    DialogManagerState& m = dialogManagerState();
    m.backgroundBrush.reset();
    HWND field = control;
    while (field && GetParent(field) != dialog) field = GetParent(field);
    if (!field || YYControlClass(field) == kClassTreeView) return nullptr;
    const FieldRecord* record = YYFieldRecordOf(field);
    if (!record || (record->textColour == -1 && record->backColour == -1)) return nullptr;
    const bool buttonLike = message == WM_CTLCOLORBTN;
    const bool staticLike = message == WM_CTLCOLORSTATIC;
    const auto colour = [](INTEGER packed) {
        return RGB(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
    };
    if (record->textColour != -1) SetTextColor(dc, colour(record->textColour));
    else SetTextColor(dc, GetSysColor(buttonLike ? COLOR_BTNTEXT : COLOR_WINDOWTEXT));
    if (record->backColour != -1) {
        const COLORREF back = GetNearestColor(dc, colour(record->backColour));
        SetBkColor(dc, back);
        m.backgroundBrush.reset(CreateSolidBrush(back));
        return static_cast<HBRUSH>(m.backgroundBrush.get());
    }
    const int system = buttonLike || staticLike ? COLOR_BTNFACE : COLOR_WINDOW;
    SetBkColor(dc, GetSysColor(system));
    return GetSysColorBrush(system);
}

void YYDialogCopyFields(HWND destination, HWND source)
{
    DialogRecord* to = YYDialogRecordOf(destination);
    const DialogRecord* from = YYDialogRecordOf(source);
    if (!to || !from) return;
    const std::vector<HWND> a = children(source), b = children(destination);
    const auto paired = [&](HWND control) -> HWND {
        for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
            if (a[i] == control) return b[i];
        return nullptr;
    };
    *to = *from;
    to->anchorControl = paired(from->anchorControl);
    to->lastInputControl = paired(from->lastInputControl);
    SetWindowTextA(destination, windowText(source).c_str());
    SendMessageA(destination, WM_SETICON, ICON_BIG, SendMessageA(source, WM_GETICON, ICON_BIG, 0));
    RECT r{};
    GetWindowRect(source, &r);
    if (isChild(destination)) MapWindowPoints(nullptr, GetParent(destination), reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(destination, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (from->resizable && destination == dialogTable().handles[0]) YYDialogSizeGrip(destination);
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        HWND s = a[i], d = b[i];
        const ControlClassCode code = YYControlClass(s);
        SetWindowLongA(d, GWL_STYLE, GetWindowLongA(s, GWL_STYLE));
        RECT cr = rectInParent(s);
        SetWindowPos(d, nullptr, cr.left, cr.top, cr.right - cr.left, cr.bottom - cr.top, SWP_NOZORDER | SWP_NOACTIVATE);
        const bool grip = code == kClassScrollBar && (GetWindowLongA(s, GWL_STYLE) & SBS_SIZEGRIP);
        if (code != kClassUpDown && !grip) {
            const FieldRecord* fs = YYFieldRecordOf(s);
            FieldRecord* fd = YYFieldRecordOf(d);
            if (fs && fd) {
                fd->value = fs->value;
                fd->minimum = fs->minimum;
                fd->maximum = fs->maximum;
                fd->smallStep = fs->smallStep;
                fd->largeStep = fs->largeStep;
                fd->stepOrigin = fs->stepOrigin;
                fd->hasValue = fs->hasValue;
                fd->textColour = fs->textColour;
                fd->backColour = fs->backColour;
                fd->tabPressed = fs->tabPressed;
                fd->maxLength = fs->maxLength;
                fd->format = fs->format;
                fd->rightGap = fs->rightGap;
                fd->bottomGap = fs->bottomGap;
                fd->anchorBits = fs->anchorBits;
                fd->flags = fs->flags;
                fd->tabStops = fs->tabStops;
            }
        }
        copyControl(s, d, code);
        if (code == kClassGrid) YYGridRebuild(d, s);
        if (code != kClassTabControl) {
            SetWindowTextA(d, windowText(s).c_str());
            if (YYIsEditLike(code)) SendMessageA(d, EM_SETMODIFY, SendMessageA(s, EM_GETMODIFY, 0, 0), 0);
        }
        EnableWindow(d, IsWindowEnabled(s));
        if (LRESULT font = SendMessageA(s, WM_GETFONT, 0, 0)) SendMessageA(d, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    }
}

void YYFieldSelectAll(HWND control)
{
    const ControlClassCode code = YYControlClass(control);
    if (YYIsEditLike(code)) {
        if (code == kClassEdit && (GetWindowLongA(control, GWL_STYLE) & ES_MULTILINE)) {
            DWORD start = 0;
            SendMessageA(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
            SendMessageA(control, EM_SETSEL, start, start);
        } else {
            SendMessageA(control, EM_SETSEL, 0, -1);
        }
        SendMessageA(control, EM_SCROLLCARET, 0, 0);
    } else if (code == kClassComboBox) {
        SendMessageA(control, CB_SETEDITSEL, 0, MAKELPARAM(-1, 0));
    }
}

void YYFieldFocusFirst(HWND defaultControl, HWND window, INTEGER setFlag)
{
    HWND chosen = defaultControl;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        if ((style & WS_VISIBLE) && !(style & WS_DISABLED) && (style & WS_TABSTOP)) {
            chosen = child;
            break;
        }
    }
    if (!chosen) return;
    YYFieldSelectAll(chosen);
    if (setFlag) SetFocus(chosen);
}

void YYFieldFocus(INTEGER& field, INTEGER caret)
{
    HWND dialog = YYCurrentDialog();
    DialogRecord* record = YYDialogRecordOf(dialog);
    if (!record) return;
    HWND control = GetDlgItem(dialog, field);
    if (!control) {
        field = -1;
        return;
    }
    if (!record->shown) return;
    SetFocus(control);
    const ControlClassCode code = YYControlClass(control);
    if (caret != -1 && YYIsEditLike(code)) {
        SendMessageA(control, EM_SETSEL, static_cast<WPARAM>(caret), caret);
        SendMessageA(control, EM_SCROLLCARET, 0, 0);
    } else if (caret != -1 && code == kClassComboBox) {
        SendMessageA(control, CB_SETEDITSEL, 0, MAKELPARAM(caret, caret));
    } else {
        YYFieldSelectAll(control);
    }
    record->currentField = field;
    YYDialogOfWindow(GetParent(control), control);
    if (isChild(dialog)) {
        SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetActiveWindow(dialog);
        dialogManagerState().currentModeless = dialog;
    }
}

void YYDrawMaskedBitmap(HBITMAP bitmap)
{
    BITMAP facts{};
    if (!bitmap || !GetObjectA(bitmap, sizeof facts, &facts)) return;
    MemoryDcHandle image(CreateCompatibleDC(nullptr)), maskDc(CreateCompatibleDC(nullptr));
    BitmapHandle mask(CreateBitmap(facts.bmWidth, facts.bmHeight, 1, 1, nullptr));
    if (!image || !maskDc || !mask) return;
    const DcSelection imageSelected(image.get(), bitmap);
    const DcSelection maskSelected(maskDc.get(), mask.get());
    // The mask is white where the picture has its top-left colour.
    SetBkColor(image.get(), GetPixel(image.get(), 0, 0));
    BitBlt(maskDc.get(), 0, 0, facts.bmWidth, facts.bmHeight, image.get(), 0, 0, SRCCOPY);
    // Clear those pixels, then paint the button face through the mask.
    SetBkColor(image.get(), RGB(255, 255, 255));
    SetTextColor(image.get(), RGB(0, 0, 0));
    BitBlt(image.get(), 0, 0, facts.bmWidth, facts.bmHeight, maskDc.get(), 0, 0, 0x00220326);  // DSna
    GdiObjectHandle face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    const DcSelection faceSelected(image.get(), face.get());
    BitBlt(image.get(), 0, 0, facts.bmWidth, facts.bmHeight, maskDc.get(), 0, 0, 0x00EA02E9);  // DPSao
}

void YYNotifyParent(HWND control)
{
    HWND holder = GetParent(control);
    const LRESULT answer = SendMessageA(holder, DM_GETDEFID, 0, 0);
    const INTEGER id = HIWORD(answer) == DC_HASDEFID ? LOWORD(answer) : 1;
    HWND outer = outermostDialog(holder);
    HWND button = GetDlgItem(outer, id);
    if (button && !IsWindowEnabled(button)) return;
    SendMessageA(outer, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}
