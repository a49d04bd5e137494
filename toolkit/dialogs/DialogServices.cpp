#include "toolkit/dialogs/DialogServices.h"

#include "toolkit/foundation/CommonControls.h"

#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogProc.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/GdiDrawingState.h"
#include "toolkit/graphics/GraphicsState.h"

DialogImageHooks& dialogImageHooks()
{
    static DialogImageHooks hooks;
    return hooks;
}

namespace {

BitmapHandle copyClient(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    if (r.right <= 0 || r.bottom <= 0) return {};
    WindowDc dc(window);
    if (!dc.get()) return {};
    BitmapHandle bitmap(CreateCompatibleBitmap(dc.get(), r.right, r.bottom));
    MemoryDcHandle memory(CreateCompatibleDC(dc.get()));
    if (!bitmap || !memory) return {};
    {
        const DcSelection selected(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, r.right, r.bottom, dc.get(), 0, 0, SRCCOPY);
    }
    return bitmap;
}

void pasteClient(HWND window, HBITMAP bitmap)
{
    BITMAP facts{};
    if (!GetObjectA(bitmap, sizeof facts, &facts)) return;
    WindowDc dc(window);
    MemoryDcHandle memory(CreateCompatibleDC(dc.get()));
    if (!dc.get() || !memory) return;
    const DcSelection selected(memory.get(), bitmap);
    BitBlt(dc.get(), 0, 0, facts.bmWidth, facts.bmHeight, memory.get(), 0, 0, SRCCOPY);
}

bool snapshotWindowSlot(INTEGER slot, INTEGER leaveOut)
{
    const WindowSlot& s = windowSlotTable().Slots[static_cast<std::size_t>(slot)];
    HWND frame = s.Frame.get();
    if (!frame || !s.Client || slot == leaveOut || !IsWindowVisible(frame)) return false;
    if (GetWindowLongA(frame, GWL_STYLE) & WS_CHILD) return false;
    const WindowUserRecord* record = YYWindowRecord(frame);
    return !record || record->Words[0] == kWindowSplit;
}

HWND currentField(INTEGER field) { return YYDialogField(YYCurrentDialog(), field); }

}  // namespace

void YYWindowSnapshots(INTEGER mode, INTEGER leaveOut, INTEGER& result)
{
    DialogManagerState& m = dialogManagerState();
    DialogTable& t = dialogTable();
    auto& slots = windowSlotTable().Slots;
    result = 0;
    if (mode == 1) {
        for (INTEGER i = 1; i <= t.count; ++i) {
            HWND dialog = t.handles[static_cast<std::size_t>(i)];
            const DialogRecord* record = YYDialogRecordOf(dialog);
            if (!record || !record->shown) continue;
            for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
                UpdateWindow(child);
            UpdateWindow(dialog);
        }
        m.snapshotsHeld = 1;
        for (INTEGER slot = 0; slot < kWindowSlots; ++slot) {
            if (!snapshotWindowSlot(slot, leaveOut)) continue;
            WindowSlot& s = slots[static_cast<std::size_t>(slot)];
            if (!s.Snapshot) s.Snapshot = copyClient(s.Client);
            ++m.windowSnapshotCounts[static_cast<std::size_t>(slot)];
        }
        for (INTEGER i = 1; i <= t.count; ++i) {
            HWND dialog = t.handles[static_cast<std::size_t>(i)];
            const DialogRecord* record = YYDialogRecordOf(dialog);
            if (!record || !record->shown || !YYDialogHasGraphics(dialog)) continue;
            DialogSnapshot& snapshot = m.dialogSnapshots[dialog];
            if (!snapshot.bitmap) snapshot.bitmap = copyClient(dialog);
            ++snapshot.count;
        }
        return;
    }
    m.snapshotsHeld = 0;
    for (INTEGER slot = 0; slot < kWindowSlots; ++slot) {
        WindowSlot& s = slots[static_cast<std::size_t>(slot)];
        INTEGER& count = m.windowSnapshotCounts[static_cast<std::size_t>(slot)];
        if (slot == leaveOut || count == 0) continue;
        if (--count > 0) {
            m.snapshotsHeld = 1;
            continue;
        }
        if (!s.Snapshot) continue;
        if (s.Client && IsWindow(s.Client)) {
            const LONG style = GetWindowLongA(s.Client, GWL_STYLE);
            SetWindowLongA(s.Client, GWL_STYLE, style & ~WS_CLIPCHILDREN);
            pasteClient(s.Client, s.Snapshot.get());
            ValidateRect(s.Client, nullptr);
            SetWindowLongA(s.Client, GWL_STYLE, style);
            for (const WindowSlot& other : slots) {
                if (!other.Frame || GetParent(other.Frame.get()) != s.Client) continue;
                for (HWND bar : other.Toolbars)
                    if (bar) RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            }
        }
        s.Snapshot.reset();
    }
    // Dialogs that were unloaded meanwhile lose their copies here; the key is the window, not
    // an index that an unload shifts.
    for (auto it = m.dialogSnapshots.begin(); it != m.dialogSnapshots.end();) {
        HWND dialog = it->first;
        DialogSnapshot& snapshot = it->second;
        if (!IsWindow(dialog) || YYDialogIndex(YYDialogRecordOf(dialog) ? YYDialogRecordOf(dialog)->identifier : -1) < 0) {
            it = m.dialogSnapshots.erase(it);
            continue;
        }
        if (--snapshot.count > 0) {
            m.snapshotsHeld = 1;
            ++it;
            continue;
        }
        if (snapshot.bitmap) {
            pasteClient(dialog, snapshot.bitmap.get());
            ValidateRect(dialog, nullptr);
        }
        it = m.dialogSnapshots.erase(it);
    }
    for (INTEGER i = 1; i <= t.count; ++i) {
        HWND dialog = t.handles[static_cast<std::size_t>(i)];
        if (!m.dialogSnapshots.count(dialog)) UpdateWindow(dialog);
    }
}

bool YYDialogHasGraphics(HWND dialog)
{
    const DialogRecord* record = YYDialogRecordOf(dialog);
    if (record && record->hasGraphics) return true;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const FieldRecord* field = YYFieldRecordOf(child);
        if (field && field->drawSurface) return true;
        if (YYControlClass(child) != kClassTabControl) continue;
        const INTEGER selected = static_cast<INTEGER>(TabCtrl_GetCurSel(child));
        if (selected < 0) continue;
        const INTEGER index = YYDialogIndex(YYTabData(child, selected).page);
        if (index > 0 && YYDialogHasGraphics(dialogTable().handles[static_cast<std::size_t>(index)])) return true;
    }
    return false;
}

void YYDialogDrawTarget(INTEGER& field, INTEGER& width, INTEGER& height)
{
    HWND dialog = YYCurrentDialog();
    HWND target = field == 0 ? dialog : currentField(field);
    if (!target) {
        field = -1;
        return;
    }
    GdiDrawingState& gdi = gdiDrawingState();
    YYReleaseDrawingDC();
    WindowDc dc(target);
    if (!dc.get()) {
        gdi.DrawingDC = gdi.DefaultDC;
        gdi.DrawingWindow = nullptr;
        field = -1;
        return;
    }
    RECT r{};
    GetClientRect(target, &r);
    width = r.right;
    height = r.bottom;
    gdi.DialogFieldDc = std::move(dc);
    YYGdiAttachDrawingDC(gdi.DialogFieldDc.get(), target);
    if (field == 0) {
        if (DialogRecord* record = YYDialogRecordOf(dialog)) record->hasGraphics = 1;
    } else if (FieldRecord* record = YYFieldRecordOf(target)) {
        record->drawSurface = 1;
    }
}

void YYFieldLoadPicture(INTEGER& field, INTEGER source, INTEGER kind)
{
    HWND control = currentField(field);
    const ControlClassCode code = YYControlClass(control);
    if (!control || (code != kClassStatic && code != kClassButton) || (code == kClassButton && (kind == 4 || kind == 5))) {
        field = -1;
        return;
    }
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    UINT imageType = IMAGE_BITMAP;
    HANDLE image = nullptr;
    switch (kind) {
    case 2:
        imageType = IMAGE_ICON;
        image = source == 0 ? LoadIconA(instance, "ICON1") : LoadIconA(instance, MAKEINTRESOURCEA(source));
        break;
    case 3:
        if (source >= 1 && source <= 50) image = dialogImageHooks().storedBitmapCopy(source);
        break;
    case 4:
        imageType = IMAGE_ENHMETAFILE;
        if (source >= 1 && source <= 20) image = dialogImageHooks().pictureCopy(source);
        break;
    case 5: {
        imageType = IMAGE_ENHMETAFILE;
        HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(source), "DOVEMETAFILE");
        HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
        if (loaded)
            image = SetEnhMetaFileBits(SizeofResource(instance, found), static_cast<const BYTE*>(LockResource(loaded)));
        break;
    }
    default:
        image = LoadImageA(instance, MAKEINTRESOURCEA(source), IMAGE_BITMAP, 0, 0, 0);
        break;
    }
    if (!image) {
        field = -2;
        return;
    }
    // The field owns the image it shows; the one it showed before goes here.
    if (code == kClassStatic) {
        LONG style = GetWindowLongA(control, GWL_STYLE) & ~0x1F;
        style |= imageType == IMAGE_ICON ? SS_ICON : imageType == IMAGE_ENHMETAFILE ? SS_ENHMETAFILE : SS_BITMAP;
        const UINT oldType = (GetWindowLongA(control, GWL_STYLE) & 0x1F) == SS_ICON ? IMAGE_ICON
                           : (GetWindowLongA(control, GWL_STYLE) & 0x1F) == SS_ENHMETAFILE ? IMAGE_ENHMETAFILE
                                                                                            : IMAGE_BITMAP;
        ImageHandle previous(oldType, reinterpret_cast<HANDLE>(SendMessageA(control, STM_GETIMAGE, oldType, 0)));
        SetWindowLongA(control, GWL_STYLE, style);
        SendMessageA(control, STM_SETIMAGE, imageType, reinterpret_cast<LPARAM>(image));
        if (previous.get() == image) previous.release();
        return;
    }
    if (imageType == IMAGE_BITMAP) YYDrawMaskedBitmap(static_cast<HBITMAP>(image));
    LONG style = GetWindowLongA(control, GWL_STYLE) & ~(BS_BITMAP | BS_ICON);
    SetWindowLongA(control, GWL_STYLE, style | (imageType == IMAGE_ICON ? BS_ICON : BS_BITMAP));
    ImageHandle previous(imageType,
                         reinterpret_cast<HANDLE>(SendMessageA(control, BM_SETIMAGE, imageType, reinterpret_cast<LPARAM>(image))));
    if (previous.get() == image) previous.release();
}

void YYFieldColoursSet(INTEGER& field, INTEGER textRed, INTEGER textGreen, INTEGER textBlue, INTEGER backRed,
                       INTEGER backGreen, INTEGER backBlue)
{
    HWND control = currentField(field);
    if (!control) {
        field = -1;
        return;
    }
    YYFieldColourSet(control, 1, textRed, textGreen, textBlue);
    YYFieldColourSet(control, 2, backRed, backGreen, backBlue);
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void YYFieldColourSet(HWND control, INTEGER which, INTEGER red, INTEGER green, INTEGER blue)
{
    FieldRecord* field = YYFieldRecordOf(control);
    if (!field || red == -1) return;
    const INTEGER packed = red == 256 ? -1 : (red & 0xFF) + 256 * (green & 0xFF) + 65536 * (blue & 0xFF);
    (which == 1 ? field->textColour : field->backColour) = packed;
}

void YYDialogExitValue(INTEGER code, INTEGER& result)
{
    const DialogRecord* record = YYDialogRecordOf(YYCurrentDialog());
    switch (code) {
    case 1: result = record ? record->currentField : 0; return;
    case 2: result = record ? record->previousField : 0; return;
    case 3: result = dialogTable().lastModalIdentifier; return;
    default: result = 0; return;
    }
}

void YYDialogOfWindow(HWND dialog, HWND control)
{
    const ATOM clientAtom = windowEngineState().ClassAtoms[2];
    while (dialog) {
        DialogRecord* record = YYDialogRecordOf(dialog);
        if (record) record->lastInputControl = control;
        if (!(GetWindowLongA(dialog, GWL_STYLE) & WS_CHILD)) return;
        HWND parent = GetParent(dialog);
        if (!parent || (clientAtom && static_cast<ATOM>(GetClassLongPtrA(parent, GCW_ATOM)) == clientAtom)) return;
        control = dialog;
        dialog = parent;
    }
}

HWND YYDialogOwnerWindow()
{
    const DialogManagerState& m = dialogManagerState();
    if (m.currentModeless && IsWindowVisible(m.currentModeless)) {
        const DialogRecord* record = YYDialogRecordOf(m.currentModeless);
        return record && record->combinedWindow ? record->combinedWindow : m.currentModeless;
    }
    return m.lastDeactivated;
}

void YYDialogBaseUnits(INTEGER& width, INTEGER& height)
{
    RECT r{0, 0, 4, 8};
    HWND dialog = YYCurrentDialog();
    if (dialog) MapDialogRect(dialog, &r);
    width = r.right;
    height = r.bottom;
}

INTEGER YYListCount(INTEGER field)
{
    return static_cast<INTEGER>(SendMessageA(currentField(field), LB_GETCOUNT, 0, 0));
}

INTEGER YYListIsSelected(INTEGER field, INTEGER index)
{
    return static_cast<INTEGER>(SendMessageA(currentField(field), LB_GETSEL, static_cast<WPARAM>(index), 0)) > 0 ? 1 : 0;
}

void YYListSelect(INTEGER field, INTEGER index, INTEGER state)
{
    const INTEGER wanted = state == 1 ? 1 : 0;
    if (YYListIsSelected(field, index) != wanted)
        SendMessageA(currentField(field), LB_SETSEL, static_cast<WPARAM>(wanted), index);
}

void YYListSelectRange(INTEGER field, INTEGER first, INTEGER last, INTEGER state)
{
    HWND list = currentField(field);
    if (last <= 65535) {
        SendMessageA(list, LB_SELITEMRANGEEX, static_cast<WPARAM>(state == 1 ? first : last),
                     state == 1 ? last : first);
        return;
    }
    // One range request carries 16-bit indexes only.
    for (INTEGER i = first; i <= last; ++i) YYListSelect(field, i, state);
}
