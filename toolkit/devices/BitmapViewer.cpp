#include "toolkit/devices/BitmapViewer.h"

#include <algorithm>
#include <memory>

#include "toolkit/devices/BitmapStore.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/foundation/ChildWindows.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WindowEngineHooks.h"
#include "toolkit/foundation/WindowProcs.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"

namespace {

constexpr const char* kViewerClass = "VARERODOD";
constexpr int kViewerId = 1001;

using ViewerOwnership = WindowOwnedRecord<BitmapViewerRecord>;

SCROLLINFO scrollInfo(UINT mask)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = mask;
    return info;
}

WindowSlot& slotOf(INTEGER n) { return windowSlotTable().Slots[static_cast<std::size_t>(n)]; }

bool isViewerClass(HWND window)
{
    char name[16] = {};
    return window && GetClassNameA(window, name, sizeof name) > 0 && lstrcmpA(name, kViewerClass) == 0;
}

bool registerClass()
{
    WNDCLASSA existing{};
    if (GetClassInfoA(GetModuleHandleA(nullptr), kViewerClass, &existing)) return true;
    WNDCLASSA c{};
    c.lpfnWndProc = &YYBitmapClientProc;
    c.hInstance = GetModuleHandleA(nullptr);
    c.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    c.lpszClassName = kViewerClass;
    return RegisterClassA(&c) != 0;
}

HWND frameOf(const BitmapViewerRecord& record) { return GetParent(record.viewer()); }

INTEGER position(HWND viewer, int bar)
{
    SCROLLINFO info = scrollInfo(SIF_POS);
    GetScrollInfo(viewer, bar, &info);
    return info.nPos;
}

void raisePosition(const BitmapViewerRecord& record)
{
    const INTEGER h = position(record.viewer(), SB_HORZ), v = position(record.viewer(), SB_VERT);
    YYEventStore(kEventViewerPosition, 0, 0, MAKELPARAM(h & 0xFFFF, v & 0xFFFF), frameOf(record));
}

// A move of one bar: the scroll bar limits the position; a non-zero move repaints and is reported.
void scrollBy(const BitmapViewerRecord& record, int bar, INTEGER move, bool absolute = false, INTEGER target = 0)
{
    HWND viewer = record.viewer();
    const INTEGER now = position(viewer, bar);
    const INTEGER wanted = absolute ? target : now + move;
    if (!absolute && move == 0) return;
    SCROLLINFO info = scrollInfo(SIF_POS);
    info.nPos = wanted;
    SetScrollInfo(viewer, bar, &info, TRUE);
    RedrawWindow(viewer, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    raisePosition(record);
}

// Both bars' pages: the viewer's whole area, less a bar where the other direction needs one (a bar
// is shown only while its page is smaller than the bitmap).
void setPages(const BitmapViewerRecord& record)
{
    HWND viewer = record.viewer();
    RECT outer{};
    GetWindowRect(viewer, &outer);
    INTEGER across = outer.right - outer.left, down = outer.bottom - outer.top;
    bool horizontal = across < record.BitmapWidth;
    if (horizontal) down -= GetSystemMetrics(SM_CYHSCROLL);
    if (down < record.BitmapHeight) {
        across -= GetSystemMetrics(SM_CXVSCROLL);
        if (!horizontal && across < record.BitmapWidth) down -= GetSystemMetrics(SM_CYHSCROLL);
    }
    SCROLLINFO info = scrollInfo(SIF_PAGE);
    info.nPage = static_cast<UINT>(std::clamp<INTEGER>(across, 0, record.BitmapWidth));
    SetScrollInfo(viewer, SB_HORZ, &info, TRUE);
    info.nPage = static_cast<UINT>(std::clamp<INTEGER>(down, 0, record.BitmapHeight));
    SetScrollInfo(viewer, SB_VERT, &info, TRUE);
}

// The frame size that shows the client size plus the frame's bars and toolbars.
SIZE frameSizeFor(HWND frame, const BitmapViewerRecord& record, INTEGER slot)
{
    const WindowSlot& s = slotOf(slot);
    RECT r{0, 0, record.BitmapWidth, record.BitmapHeight};
    if (HWND bar = s.StatusBar; bar && IsWindowVisible(bar)) {
        RECT b{};
        GetWindowRect(bar, &b);
        r.bottom += b.bottom - b.top;
    }
    for (int k = 0; k < 4; ++k)
        if (s.Toolbars[static_cast<std::size_t>(k)]) {
            if (k == 0 || k == 3) r.bottom += s.ToolbarWidths[static_cast<std::size_t>(k)];
            else r.right += s.ToolbarWidths[static_cast<std::size_t>(k)];
        }
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(frame, GWL_STYLE)), GetMenu(frame) != nullptr,
                       static_cast<DWORD>(GetWindowLongA(frame, GWL_EXSTYLE)));
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void placeViewer(HWND frame, const BitmapViewerRecord& record)
{
    const INTEGER n = YYWindowSlotFromHandle(frame);
    if (n < 0 || !slotOf(n).Client) return;
    RECT r{};
    GetWindowRect(slotOf(n).Client, &r);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&r), 2);
    MoveWindow(record.viewer(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void paint(HWND viewer, const BitmapViewerRecord& record)
{
    const PaintDc dc(viewer);
    HPALETTE palette = windowGraphicsHooks().screenPalette();
    const DcPaletteSelection selected(dc.get(), palette);
    if (palette) RealizePalette(dc.get());
    const MemoryDcHandle memory(CreateCompatibleDC(dc.get()));
    if (!memory || !record.Bitmap) return;
    const DcSelection bitmap(memory.get(), record.Bitmap);
    RECT client{};
    GetClientRect(viewer, &client);
    BitBlt(dc.get(), 0, 0, client.right, client.bottom, memory.get(), position(viewer, SB_HORZ),
           position(viewer, SB_VERT), SRCCOPY);
}

bool keyScroll(const BitmapViewerRecord& record, WPARAM key)
{
    HWND viewer = record.viewer();
    RECT client{};
    GetClientRect(viewer, &client);
    const INTEGER halfW = std::max<INTEGER>(client.right / 2, 1), halfH = std::max<INTEGER>(client.bottom / 2, 1);
    const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    switch (key) {
    case VK_PRIOR: ctrl ? scrollBy(record, SB_VERT, 0, true, 0) : scrollBy(record, SB_VERT, -halfH); return true;
    case VK_NEXT: ctrl ? scrollBy(record, SB_VERT, 0, true, record.BitmapHeight) : scrollBy(record, SB_VERT, halfH); return true;
    case VK_HOME: ctrl ? scrollBy(record, SB_HORZ, 0, true, 0) : scrollBy(record, SB_HORZ, -halfW); return true;
    case VK_END: ctrl ? scrollBy(record, SB_HORZ, 0, true, record.BitmapWidth) : scrollBy(record, SB_HORZ, halfW); return true;
    case VK_LEFT: scrollBy(record, SB_HORZ, -1); return true;
    case VK_RIGHT: scrollBy(record, SB_HORZ, 1); return true;
    case VK_UP: scrollBy(record, SB_VERT, -1); return true;
    case VK_DOWN: scrollBy(record, SB_VERT, 1); return true;
    default: return false;
    }
}

void barRequest(const BitmapViewerRecord& record, int bar, WPARAM wParam)
{
    RECT client{};
    GetClientRect(record.viewer(), &client);
    const INTEGER half = std::max<INTEGER>((bar == SB_HORZ ? client.right : client.bottom) / 2, 1);
    switch (LOWORD(wParam)) {
    case SB_LINEUP: scrollBy(record, bar, -1); break;
    case SB_LINEDOWN: scrollBy(record, bar, 1); break;
    case SB_PAGEUP: scrollBy(record, bar, -half); break;
    case SB_PAGEDOWN: scrollBy(record, bar, half); break;
    case SB_THUMBTRACK: {
        SCROLLINFO info = scrollInfo(SIF_TRACKPOS);
        GetScrollInfo(record.viewer(), bar, &info);
        scrollBy(record, bar, 0, true, info.nTrackPos);
        break;
    }
    default: break;
    }
}

HCURSOR slotCursor(HWND frame)
{
    const INTEGER n = YYWindowSlotFromHandle(frame);
    if (n >= 0 && slotOf(n).Cursor) return slotOf(n).Cursor;
    return cursorState().GlobalCursor ? cursorState().GlobalCursor : LoadCursorA(nullptr, IDC_ARROW);
}

bool viewerShows(INTEGER window, HBITMAP bitmap)
{
    if (window < 1 || window >= kWindowSlots) return false;
    const BitmapViewerRecord* record = YYBitmapViewerRecord(slotOf(window).Frame.get());
    return record && record->Bitmap == bitmap;
}

void modalLoop(HWND viewer, const INTEGER& ended)
{
    MSG message{};
    while (!ended && IsWindow(viewer)) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (message.message == 0x0118 && LOWORD(message.wParam) == 0xFFF6) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

BitmapViewerRecord* YYBitmapViewerRecord(HWND window)
{
    if (!window) return nullptr;
    HWND viewer = isViewerClass(window) ? window : nullptr;
    if (!viewer) {
        const WindowUserRecord* head = YYWindowRecord(window);
        if (!head || head->Words[0] != kWindowOtherControl) return nullptr;
        viewer = reinterpret_cast<HWND>(head->Words[5]);
        if (!isViewerClass(viewer) || GetParent(viewer) != window) return nullptr;
    }
    return ViewerOwnership::of(viewer);
}

void YYBitmapViewerInstall() { bitmapViewerQuery().shows = &viewerShows; }

void YYBitmapViewSetup(BitmapViewerRecord& record, INTEGER slot, INTEGER horizontal, INTEGER vertical)
{
    const BitmapSlot& bitmap = bitmapSlotTable().Slots[static_cast<std::size_t>(slot)];
    record.Bitmap = bitmap.Bitmap.get();
    record.BitmapWidth = bitmap.Width;
    record.BitmapHeight = bitmap.Height;
    record.FitWidth = record.FitHeight = -999;
    record.Dragging = 0;
    HWND viewer = record.viewer(), frame = frameOf(record);
    const INTEGER n = YYWindowSlotFromHandle(frame);
    if (n >= 0 && !IsIconic(frame)) {
        const SIZE need = frameSizeFor(frame, record, n);
        RECT now{};
        GetWindowRect(frame, &now);
        const LONG w = now.right - now.left, h = now.bottom - now.top;
        const UINT keep = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
        if (w >= need.cx && h >= need.cy) {
            SetWindowPos(frame, nullptr, 0, 0, need.cx, need.cy, keep);
            record.FitWidth = need.cx;
            record.FitHeight = need.cy;
        } else if (w >= need.cx) {
            const LONG wide = need.cx + GetSystemMetrics(SM_CXVSCROLL);
            if (w >= wide) SetWindowPos(frame, nullptr, 0, 0, wide, h, keep);
        } else if (h >= need.cy) {
            const LONG tall = need.cy + GetSystemMetrics(SM_CYHSCROLL);
            if (h >= tall) SetWindowPos(frame, nullptr, 0, 0, w, tall, keep);
        }
    }
    for (const int bar : {SB_HORZ, SB_VERT}) {
        const INTEGER size = bar == SB_HORZ ? record.BitmapWidth : record.BitmapHeight;
        const INTEGER given = bar == SB_HORZ ? horizontal : vertical;
        SCROLLINFO info = scrollInfo(SIF_RANGE);
        info.nMin = 0;
        info.nMax = size - 1;
        SetScrollInfo(viewer, bar, &info, FALSE);
        setPages(record);
        if (given >= 0) {
            info = scrollInfo(SIF_POS);
            info.nPos = given;
            SetScrollInfo(viewer, bar, &info, TRUE);
        }
    }
    RECT client{};
    GetClientRect(viewer, &client);
    SendMessageA(viewer, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

void YYBitmapView(INTEGER slot, INTEGER horizontal, INTEGER vertical, INTEGER& mode, INTEGER flags, INTEGER& status)
{
    const INTEGER n = windowEngineState().CurrentWindow;
    if (n <= 0 || n >= kWindowSlots || !slotOf(n).Frame) {
        status = 1;
        return;
    }
    if (slot < 0 || slot >= kBitmapSlots || !bitmapSlotTable().Slots[static_cast<std::size_t>(slot)].Bitmap) {
        status = 2;
        return;
    }
    HBITMAP bitmap = bitmapSlotTable().Slots[static_cast<std::size_t>(slot)].Bitmap.get();
    {
        // A bitmap selected into the graphics layer's context cannot go into another one.
        const MemoryDcHandle probe(CreateCompatibleDC(nullptr));
        const HGDIOBJ previous = probe ? SelectObject(probe.get(), bitmap) : nullptr;
        if (!previous) {
            status = 3;
            return;
        }
        SelectObject(probe.get(), previous);
    }
    WindowSlot& s = slotOf(n);
    HWND frame = s.Frame.get();
    if (BitmapViewerRecord* shown = YYBitmapViewerRecord(frame)) {
        YYBitmapViewSetup(*shown, slot, horizontal, vertical);
        RedrawWindow(shown->viewer(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return;
    }
    if (YYWindowRecord(frame)) {
        status = 4;
        return;
    }
    if (s.Client && GetWindow(s.Client, GW_CHILD)) {
        status = 9;
        return;
    }
    if ((GetWindowLongA(frame, GWL_STYLE) & WS_CHILD) && mode != 2) {
        mode = 2;
        status = 5;
    }
    if (!registerClass()) {
        status = 6;
        return;
    }
    auto record = std::make_unique<BitmapViewerRecord>();
    record->Head.Words[0] = kWindowOtherControl;
    record->Head.Words[6] = reinterpret_cast<std::intptr_t>(s.StatusBar);
    record->Head.Words[7] = mode;
    record->Flags = mode == 1 ? 3 : flags;
    if (mode == 1) {
        // The modal viewer is all the window shows: menu and toolbars go.
        if (s.Menu) {
            SetMenu(frame, nullptr);
            DestroyMenu(s.Menu);
        }
        s.Menu = nullptr;
        s.Accelerators = nullptr;
        s.MenuHelpTexts = {};
        bool hadBars = false;
        for (HWND& bar : s.Toolbars)
            if (bar) {
                DestroyWindow(std::exchange(bar, nullptr));
                hadBars = true;
            }
        s.ToolbarTips.clear();
        if (hadBars && !IsIconic(frame)) {
            RECT r{};
            GetClientRect(frame, &r);
            SendMessageA(frame, WM_SIZE, IsZoomed(frame) ? SIZE_MAXIMIZED : SIZE_RESTORED, MAKELPARAM(r.right, r.bottom));
        }
    } else {
        for (int k = 0; k < 4; ++k)
            record->Head.Words[static_cast<std::size_t>(1 + k)] = reinterpret_cast<std::intptr_t>(s.Toolbars[static_cast<std::size_t>(k)]);
    }
    RECT area{};
    if (s.Client) {
        GetWindowRect(s.Client, &area);
        MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&area), 2);
    } else {
        GetClientRect(frame, &area);
    }
    HWND viewer = CreateWindowExA(0, kViewerClass, nullptr, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | WS_CLIPSIBLINGS,
                                  area.left, area.top, area.right - area.left, area.bottom - area.top, frame,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kViewerId)), GetModuleHandleA(nullptr), nullptr);
    if (!viewer) {
        status = 6;
        return;
    }
    record->Head.Words[5] = reinterpret_cast<std::intptr_t>(viewer);
    BitmapViewerRecord* held = ViewerOwnership::attach(viewer, std::move(record));
    SetWindowLongPtrA(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(held));
    SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&YYBitmapFrameProc));
    YYBitmapViewSetup(*held, slot, std::max<INTEGER>(horizontal, 0), std::max<INTEGER>(vertical, 0));
    if (s.Client && GetFocus() == s.Client) SetFocus(viewer);
    if (s.Client) ShowWindow(s.Client, SW_HIDE);
    RedrawWindow(viewer, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);

    const INTEGER shownMode = held->mode();
    if (shownMode == 3) {
        ++dialogManagerState().semiModelessCount;
        if (!IsWindowEnabled(frame)) {
            EnableWindow(frame, TRUE);
            SetFocus(viewer);
        }
        ShowWindow(frame, SW_SHOW);
    }
    if (shownMode == 1 || shownMode == 3) YYDialogsDisable(frame, 1);
    if (shownMode != 1) return;

    INTEGER ended = 0;
    held->ModalEnd = &ended;
    modalLoop(viewer, ended);
    if (IsWindow(viewer)) {
        if (BitmapViewerRecord* still = ViewerOwnership::of(viewer)) still->ModalEnd = nullptr;
    }
    YYDialogsEnable(frame, 1);
    HWND back = dialogManagerState().semiModeless;
    if (!back) back = slotOf(0).Frame.get();
    if (back) {
        EnableWindow(back, TRUE);
        SetFocus(back);
        YYWindowActivate(back);
    }
}

LRESULT CALLBACK YYBitmapFrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam)
{
    BitmapViewerRecord* record = YYBitmapViewerRecord(frame);
    if (!record) return YYFrameWindowProc(frame, message, wParam, lParam);
    switch (message) {
    case WM_CLOSE:
        if (record->mode() == 1) {
            if (record->ModalEnd) *record->ModalEnd = 1;
            INTEGER dialog = 0;
            const INTEGER n = YYWindowSlotFromHandle(frame);
            if (n > 0) YYWindowSlotClose(n, dialog);
            else DestroyWindow(frame);
            return 0;
        }
        YYEventStore(kEventClose, 0, 0, 0, frame);
        return 0;
    case WM_DESTROY:
        if (record->mode() == 3) {
            DialogManagerState& d = dialogManagerState();
            if (d.semiModelessCount > 0) --d.semiModelessCount;
            YYDialogsEnable(frame, 1);
            const INTEGER n = YYWindowSlotFromHandle(frame);
            const INTEGER back = n >= 0 ? slotOf(n).ReturnWindow : -1;
            HWND target = back >= 0 && back < kWindowSlots ? slotOf(back).Frame.get() : nullptr;
            if (!target) target = slotOf(0).Frame.get();
            if (target && target != frame) {
                EnableWindow(target, TRUE);
                SetFocus(target);
                YYWindowActivate(target);
            }
        }
        // The viewer takes the record along when it goes; the frame keeps no pointer to it.
        SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
        return YYFrameWindowProc(frame, message, wParam, lParam);
    case WM_SIZE: {
        const LRESULT result = YYFrameWindowProc(frame, message, wParam, lParam);
        if (wParam != SIZE_MINIMIZED) placeViewer(frame, *record);
        return result;
    }
    case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        const INTEGER n = YYWindowSlotFromHandle(frame);
        if (n < 0) break;
        const SIZE need = frameSizeFor(frame, *record, n);
        POINT& most = limits->ptMaxSize;
        if (most.x >= need.cx && most.y >= need.cy) {
            most = POINT{need.cx, need.cy};
            record->FitWidth = need.cx;
            record->FitHeight = need.cy;
        } else {
            if (most.x >= need.cx) most.x = std::min<LONG>(most.x, need.cx + GetSystemMetrics(SM_CXVSCROLL));
            else if (most.y >= need.cy) most.y = std::min<LONG>(most.y, need.cy + GetSystemMetrics(SM_CYHSCROLL));
            record->FitWidth = record->FitHeight = -999;
        }
        RECT work{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        const LONG edges = 2 * GetSystemMetrics(SM_CXEDGE);
        most.x = std::min<LONG>(most.x, work.right - work.left + edges);
        most.y = std::min<LONG>(most.y, work.bottom - work.top + edges);
        limits->ptMaxTrackSize = most;
        return 0;
    }
    case WM_NCHITTEST: {
        const LRESULT hit = DefWindowProcA(frame, message, wParam, lParam);
        if (IsZoomed(frame) && hit >= HTLEFT && hit <= HTBOTTOMRIGHT) return HTBORDER;
        return hit;
    }
    case WM_SETFOCUS:
        SetFocus(record->viewer());
        return 0;
    case WM_PALETTECHANGED: case WM_QUERYNEWPALETTE:
        return SendMessageA(record->viewer(), message, wParam, lParam);
    case WM_COMMAND: case WM_MENUSELECT: case WM_ENTERMENULOOP: case WM_EXITMENULOOP: case WM_NOTIFY:
    case WM_ACTIVATE: case WM_KILLFOCUS: case WM_EXITSIZEMOVE: case WM_MOUSEACTIVATE: case WM_NCACTIVATE:
    case WM_NCDESTROY:
        return YYFrameWindowProc(frame, message, wParam, lParam);
    default:
        break;
    }
    return DefWindowProcA(frame, message, wParam, lParam);
}

LRESULT CALLBACK YYBitmapClientProc(HWND viewer, UINT message, WPARAM wParam, LPARAM lParam)
{
    BitmapViewerRecord* record = ViewerOwnership::of(viewer);
    if (message == WM_NCDESTROY) {
        // The record goes with the viewer; a frame still pointing at it lets go first.
        if (record) {
            HWND frame = GetParent(viewer);
            if (frame && GetWindowLongPtrA(frame, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(record))
                SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
            if (record->ModalEnd) *record->ModalEnd = 1;
            ViewerOwnership::release(viewer);
        }
        return DefWindowProcA(viewer, message, wParam, lParam);
    }
    if (!record) return DefWindowProcA(viewer, message, wParam, lParam);
    const bool modal = record->mode() == 1;
    switch (message) {
    case WM_PAINT:
        paint(viewer, *record);
        return 0;
    case WM_ERASEBKGND: return 1;
    case WM_HSCROLL: barRequest(*record, SB_HORZ, wParam); return 0;
    case WM_VSCROLL: barRequest(*record, SB_VERT, wParam); return 0;
    case WM_SIZE: {
        const INTEGER h = position(viewer, SB_HORZ), v = position(viewer, SB_VERT);
        setPages(*record);
        if (position(viewer, SB_HORZ) != h || position(viewer, SB_VERT) != v) raisePosition(*record);
        return 0;
    }
    case WM_KEYDOWN:
        if ((modal || (record->Flags & 1)) && keyScroll(*record, wParam)) return 0;
        if (modal) return DefWindowProcA(viewer, message, wParam, lParam);
        return YYClientWindowProc(viewer, message, wParam, lParam);
    case WM_MOUSEWHEEL: {
        RECT client{};
        GetClientRect(viewer, &client);
        const INTEGER half = client.bottom / 2;
        const INTEGER amount = std::clamp<INTEGER>(GET_WHEEL_DELTA_WPARAM(wParam), -half, half);
        scrollBy(*record, SB_VERT, 0, true, std::max<INTEGER>(position(viewer, SB_VERT) - amount, 0));
        return 0;
    }
    case WM_LBUTTONDOWN:
        if (modal || (record->Flags & 2)) {
            SetCapture(viewer);
            record->Dragging = 1;
            record->LastX = static_cast<short>(LOWORD(lParam));
            record->LastY = static_cast<short>(HIWORD(lParam));
            record->DragH = position(viewer, SB_HORZ);
            record->DragV = position(viewer, SB_VERT);
            SetCursor(LoadCursorA(nullptr, IDC_SIZEALL));
            return 0;
        }
        [[fallthrough]];
    case WM_MBUTTONDOWN: case WM_RBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_MBUTTONDBLCLK: case WM_RBUTTONDBLCLK: {
        const bool left = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK;
        if (left && (modal || (record->Flags & 2))) return 0;
        SetCapture(viewer);
        const INTEGER button = left ? 1 : (message == WM_MBUTTONDOWN || message == WM_MBUTTONDBLCLK) ? 2 : 3;
        const bool dbl = message == WM_LBUTTONDBLCLK || message == WM_MBUTTONDBLCLK || message == WM_RBUTTONDBLCLK;
        INTEGER doubles = 0;
        YYEventEnableGet(kEventDoubleClick, doubles);
        YYEventStore(dbl && doubles != 0 ? kEventDoubleClick : kEventMousePress, button, wParam, lParam, viewer);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (record->Dragging) {
            const INTEGER x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
            const INTEGER h = std::max<INTEGER>(record->DragH + record->LastX - x, 0);
            const INTEGER v = std::max<INTEGER>(record->DragV + record->LastY - y, 0);
            scrollBy(*record, SB_HORZ, 0, true, h);
            scrollBy(*record, SB_VERT, 0, true, v);
            record->LastX = x;
            record->LastY = y;
            record->DragH = position(viewer, SB_HORZ);
            record->DragV = position(viewer, SB_VERT);
            return 0;
        }
        return YYClientWindowProc(viewer, message, wParam, lParam);
    case WM_LBUTTONUP:
        if (record->Dragging) {
            SetCursor(slotCursor(GetParent(viewer)));
            record->Dragging = 0;
            ReleaseCapture();
            return 0;
        }
        return YYClientWindowProc(viewer, message, wParam, lParam);
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) == viewer) return 0;
        [[fallthrough]];
    case WM_QUERYNEWPALETTE:
        if (HPALETTE palette = windowGraphicsHooks().screenPalette()) {
            const WindowDc dc(viewer);
            const DcPaletteSelection selected(dc.get(), palette);
            RealizePalette(dc.get());
            InvalidateRect(viewer, nullptr, FALSE);
        }
        return 0;
    case WM_MBUTTONUP: case WM_RBUTTONUP: case WM_CHAR: case WM_SETCURSOR: case WM_KEYUP: case WM_SETFOCUS:
        return YYClientWindowProc(viewer, message, wParam, lParam);
    default:
        break;
    }
    return DefWindowProcA(viewer, message, wParam, lParam);
}

void YYBitmapViewInfo(INTEGER window, INTEGER item, INTEGER& value)
{
    value = 0;
    if (window < 0 || window >= kWindowSlots) return;
    const BitmapViewerRecord* record = YYBitmapViewerRecord(slotOf(window).Frame.get());
    if (!record) return;
    HWND viewer = record->viewer();
    switch (item) {
    case 3:
        for (INTEGER slot = 0; slot < kBitmapSlots; ++slot)
            if (bitmapSlotTable().Slots[static_cast<std::size_t>(slot)].Bitmap.get() == record->Bitmap) value = slot + 1;
        break;
    case 4: value = position(viewer, SB_HORZ); break;
    case 5: value = position(viewer, SB_VERT); break;
    case 101: value = record->BitmapWidth; break;
    case 102: value = record->BitmapHeight; break;
    case 103: {
        SCROLLINFO v = scrollInfo(SIF_POS | SIF_PAGE), h = scrollInfo(SIF_PAGE);
        GetScrollInfo(viewer, SB_VERT, &v);
        GetScrollInfo(viewer, SB_HORZ, &h);
        value = v.nPos + static_cast<INTEGER>(v.nPage);
        if (static_cast<INTEGER>(h.nPage) <= record->BitmapWidth - 1) value += GetSystemMetrics(SM_CYHSCROLL);
        break;
    }
    default: break;
    }
}
