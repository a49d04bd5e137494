#include "toolkit/foundation/WindowProcs.h"

#include "toolkit/foundation/CommonControls.h"

#include <span>
#include <string>

#include "toolkit/foundation/ChildWindows.h"
#include "toolkit/foundation/EditorWindowRecord.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/Menus.h"
#include "toolkit/foundation/StatusBar.h"
#include "toolkit/foundation/WindowEngineHooks.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/foundation/WindowText.h"

namespace {

struct ProcedureState {
    HWND NonClientPressWindow = nullptr;
    WPARAM MenuLoopKind = 0;
    // While a menu highlight is passed on to an editor window: that window, and the status-bar
    // word its record had before this status bar was lent to it.
    HWND ForwardTarget = nullptr;
    HWND ForwardSave = nullptr;
};

ProcedureState& procedureState()
{
    static ProcedureState state;
    return state;
}

INTEGER recordKind(HWND frame)
{
    const WindowUserRecord* record = YYWindowRecord(frame);
    return record ? static_cast<INTEGER>(record->Words[0]) : 0;
}

HWND slotFrame(INTEGER slot) { return slot >= 0 ? windowSlotTable().Slots[slot].Frame.get() : nullptr; }

void realisePalette(HWND client)
{
    HPALETTE palette = windowGraphicsHooks().screenPalette();
    if (!palette || !client) return;
    WindowDc dc(client);
    SelectPalette(dc.get(), palette, FALSE);
    RealizePalette(dc.get());
}

void bringForward(HWND frame)
{
    if (!frame) return;
    SetWindowPos(frame, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    YYWindowActivate(frame);
}

// The copy a drawing client repaints from while snapshots are in force, and where in that copy its
// own area begins. A window inside another has no copy of its own: its content is part of the copy
// of the top-level window that holds it.
HBITMAP snapshotShowing(INTEGER slot, HWND client, POINT& offset)
{
    offset = POINT{0, 0};
    if (slot < 0) return nullptr;
    auto& slots = windowSlotTable().Slots;
    if (slots[slot].Snapshot) return static_cast<HBITMAP>(slots[slot].Snapshot.get());
    HWND frame = slotFrame(slot);
    if (!frame || YYWindowRecord(frame)) return nullptr;
    INTEGER ancestor = slot;
    while (frame && (GetWindowLongA(frame, GWL_STYLE) & WS_CHILD)) {
        ancestor = YYWindowSlotFromHandle(GetParent(frame));
        if (ancestor < 0) return nullptr;
        frame = slotFrame(ancestor);
    }
    const WindowSlot& top = slots[ancestor];
    if (ancestor == slot || !top.Snapshot || !top.Client) return nullptr;
    MapWindowPoints(client, top.Client, &offset, 1);
    return static_cast<HBITMAP>(top.Snapshot.get());
}

LRESULT clientKeyDown(HWND window, WPARAM wParam)
{
    // Only the character message this key produced belongs to it; anything else stays queued.
    MSG next;
    if (PeekMessageA(&next, window, WM_CHAR, WM_CHAR, PM_REMOVE)) {
        const INTEGER key = static_cast<INTEGER>(wParam);
        if (key >= 96 && key <= 111) YYEventStore(1, 1, wParam, 0, window);
        else if (key == VK_TAB && (GetKeyState(VK_SHIFT) & 0x8000)) YYEventStore(1, 1, 9 + 4096, 0, window);
        else YYEventStore(1, 0, next.wParam, 0, window);
        return 0;
    }
    const INTEGER key = static_cast<INTEGER>(wParam);
    if ((key >= 16 && key <= 20) || key == 144 || key == 145) return 0;
    INTEGER value = key;
    if (GetKeyState(VK_CONTROL) & 0x8000) value += 8192;
    else if (GetKeyState(VK_SHIFT) & 0x8000) value += 4096;
    YYEventStore(1, 1, static_cast<WPARAM>(value), 0, window);
    return 0;
}

void clientResize(HWND window, INTEGER slot, WPARAM wParam, LPARAM lParam)
{
    HWND frame = slotFrame(slot);
    const INTEGER kind = recordKind(frame);
    if (kind == kWindowSplit) {
        YYSplitLayout(*YYSplitRecord(frame));
        ValidateRect(window, nullptr);
        return;
    }
    if (kind == kWindowDialogLayout) {
        const WindowUserRecord* record = YYWindowRecord(frame);
        RECT r{};
        GetClientRect(window, &r);
        SetWindowPos(reinterpret_cast<HWND>(record->Words[5]), nullptr, 0, 0, r.right, r.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        ValidateRect(window, nullptr);
        return;
    }
    ArrangeIconicWindows(window);
    // A window inside another may have changed its holder's free room for icons too.
    if (frame && (GetWindowLongA(frame, GWL_STYLE) & WS_CHILD) && GetParent(frame))
        ArrangeIconicWindows(GetParent(frame));
    RedrawWindow(window, nullptr, nullptr, RDW_ERASENOW | RDW_UPDATENOW | RDW_NOCHILDREN);
    YYEventStore(8, 0, wParam, lParam, window);
    YYEventPendingKeep(window);
    // Maximised child windows follow their parent's size.
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = {};
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpA(name, "DOVECHILD") != 0 || !IsZoomed(child)) continue;
        SetWindowLongA(child, GWL_STYLE, GetWindowLongA(child, GWL_STYLE) & ~WS_MAXIMIZE);
        ShowWindow(child, SW_SHOWMAXIMIZED);
    }
}

void clientFocus(INTEGER slot)
{
    HWND frame = slotFrame(slot);
    windowEngineState().ActiveFrame = frame;
    dialogManagerHooks().activeModelessDialogSet(nullptr);  // the keyboard belongs to the window now
    if (!frame) return;
    if (slot > 0 || IsWindowVisible(frame))
        SetWindowPos(frame, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (YYSplitOfPane(frame) >= 0) {
        // Every enclosing split remembers this pane; the outermost frame shows the pane's menu.
        HMENU menu = windowSlotTable().Slots[slot].Menu;
        for (HWND pane = frame; pane;) {
            const INTEGER split = YYSplitOfPane(pane);
            if (split < 0) break;
            HWND splitFrame = slotFrame(split);
            YYSplitRecord(splitFrame)->Words[17] = reinterpret_cast<std::intptr_t>(frame);
            if (!menu) menu = windowSlotTable().Slots[split].Menu;
            pane = splitFrame;
        }
        if (recordKind(frame) != kWindowSplit) {
            HWND outer = YYOutermostFrame(frame);
            if (menu && GetMenu(outer) != menu) SetMenu(outer, menu);
        }
    }
    if (const SplitWindowRecord* split = YYSplitRecord(frame)) {
        HWND last = reinterpret_cast<HWND>(split->Words[17]);
        const INTEGER pane = YYWindowSlotFromHandle(last);
        if (pane >= 0 && windowSlotTable().Slots[pane].Client) {
            YYWindowActivate(last);
            SetFocus(windowSlotTable().Slots[pane].Client);
        }
        return;
    }
    if (recordKind(frame) == kWindowDialogLayout) {
        const WindowUserRecord* record = YYWindowRecord(frame);
        HWND dialog = reinterpret_cast<HWND>(record->Words[5]);
        INTEGER saved = 0;
        YYEventEnableGet(10, saved);
        YYEventEnableSet(10, 0);  // the focus change is not a field change
        SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        if (!IsChild(dialog, GetFocus())) SetFocus(dialog);
        dialogManagerHooks().activeModelessDialogSet(dialog);  // its fields take the dialog keys (Tab, Enter)
        YYEventEnableSet(10, saved);
    }
}

const char* systemMenuHelp(UINT command)
{
    switch (command & 0xFFF0) {
    case SC_SIZE: return "Changes the window size";
    case SC_MOVE: return "Changes the window position";
    case SC_MINIMIZE: return "Reduces the window to an icon";
    case SC_MAXIMIZE: return "Enlarges the window to full size";
    case SC_RESTORE: return "Restores the window to its normal size";
    case SC_CLOSE: return "Closes the window";
    default: return "";
    }
}

// The slot whose menu the frame shows; a text editor's own menu handle names the editor, also
// where a split window carries that menu for it.
INTEGER slotShowingMenu(HMENU menu, INTEGER otherwise)
{
    if (!menu) return otherwise;
    INTEGER found = otherwise;
    for (int n = 0; n < kWindowSlots; ++n)
        if (windowSlotTable().Slots[n].Menu == menu) found = n;
    for (int n = 0; n < kWindowSlots; ++n) {
        const EditorWindowRecord* editor = YYTextEditorRecord(windowSlotTable().Slots[n].Frame.get());
        if (editor && editor->MenuBar == menu) found = n;
    }
    return found;
}

// Hands a highlight that found no help text on to the editor window that owns the menu; the
// editor writes its own text into the status bar its record names, so this bar is lent to it for
// the call. An editor that hands the highlight back is not asked again.
void passHighlightOn(HWND editor, HWND bar, WPARAM wParam, LPARAM lParam)
{
    ProcedureState& p = procedureState();
    if (p.ForwardTarget) return;
    const WindowUserRecord* record = YYWindowRecord(editor);
    // The text editor's record names its bar in a field of its own, the grid editor's in a word.
    auto barOf = [editor]() -> HWND* {
        if (EditorWindowRecord* text = YYTextEditorRecord(editor)) return &text->StatusBar;
        if (std::intptr_t* words = YYEditorRecordWords(editor))
            return reinterpret_cast<HWND*>(&words[kEditorStatusBarWord - 1]);
        return nullptr;
    };
    HWND* statusBar = barOf();
    if (!statusBar) return;
    p.ForwardTarget = editor;
    p.ForwardSave = *statusBar;
    *statusBar = bar;
    SendMessageA(editor, WM_MENUSELECT, wParam, lParam);
    // An editor that let go of its record meanwhile has nothing left to restore.
    if (YYWindowRecord(editor) == record) *statusBar = p.ForwardSave;
    p.ForwardTarget = nullptr;
    p.ForwardSave = nullptr;
}

// Menu help in the status bar; false when the menu loop is left to the default procedure.
bool frameMenuHelp(HWND frame, INTEGER slot, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (slot < 0) return false;
    ProcedureState& p = procedureState();
    INTEGER menuWindow = slot;
    if (p.MenuLoopKind != 0) menuWindow = YYMenuOwnerWindow(slot);
    else menuWindow = slotShowingMenu(GetMenu(frame), slot);
    if (menuWindow < 0) return false;
    const WindowSlot& s = windowSlotTable().Slots[menuWindow];
    const INTEGER kind = recordKind(s.Frame.get());
    const bool helps = !s.MenuHelpTexts.empty() || YYContextMenuHasHelp() || !GetMenu(frame) || s.MenuItemHelp.count() > 0 || kind == kWindowTextEditor ||
                       kind == kWindowGridEditor;
    if (!helps) return false;
    HWND bar = YYStatusBarOfWindow(slot);
    if (message == WM_ENTERMENULOOP) {
        p.MenuLoopKind = wParam;
        if (bar) {
            SendMessageA(bar, SB_SETTEXTA, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(""));
            SendMessageA(bar, SB_SIMPLE, TRUE, 0);
        }
        return true;
    }
    if (message == WM_EXITMENULOOP) {
        p.NonClientPressWindow = nullptr;
        if (bar) SendMessageA(bar, SB_SIMPLE, FALSE, 0);
        return true;
    }
    // WM_MENUSELECT
    const UINT item = LOWORD(wParam), flags = HIWORD(wParam);
    std::string text;
    bool found = true;
    if (flags & MF_SYSMENU) {
        text = systemMenuHelp(item);
    } else {
        INTEGER command = static_cast<INTEGER>(item);
        if (flags & MF_POPUP) {
            MENUITEMINFOA info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_ID;
            if (GetMenuItemInfoA(reinterpret_cast<HMENU>(lParam), item, TRUE, &info)) command = static_cast<INTEGER>(info.wID);
        }
        found = YYMenuHelpText(menuWindow, command, text);
    }
    if (bar) {
        SendMessageA(bar, SB_SETTEXTA, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text.c_str()));
        UpdateWindow(bar);
    }
    // The editors keep their help texts themselves.
    if (!found && (kind == kWindowTextEditor || kind == kWindowGridEditor)) passHighlightOn(s.Frame.get(), bar, wParam, lParam);
    return true;
}

}  // namespace

void YYFrameLayout(INTEGER slot)
{
    WindowSlot& s = windowSlotTable().Slots[slot];
    HWND frame = s.Frame.get();
    if (!frame) return;
    RECT area{};
    GetClientRect(frame, &area);
    if (s.StatusBar) {
        YYStatusPartEdges(slot, s.StatusParts.Count);
        SendMessageA(s.StatusBar, WM_SIZE, 0, 0);
        InvalidateRect(s.StatusBar, nullptr, TRUE);
        RECT bar{};
        GetWindowRect(s.StatusBar, &bar);
        area.bottom -= bar.bottom - bar.top;
    }
    if (HWND top = s.Toolbars[0]) {
        // An editor's own top bar stays above the toolbar.
        if (const EditorWindowRecord* editor = YYTextEditorRecord(frame); editor && editor->Toolbar) {
            RECT r{};
            GetWindowRect(editor->Toolbar, &r);
            area.top += r.bottom - r.top;
        }
        MoveWindow(top, 0, area.top, area.right, s.ToolbarWidths[0], TRUE);
        area.top += s.ToolbarWidths[0];
    }
    if (HWND bottom = s.Toolbars[3]) {
        const int h = s.ToolbarWidths[3];
        MoveWindow(bottom, 0, area.bottom - h, area.right, h, TRUE);
        area.bottom -= h;
    }
    if (HWND left = s.Toolbars[1]) {
        MoveWindow(left, area.left, area.top, s.ToolbarWidths[1], area.bottom - area.top, TRUE);
        area.left += s.ToolbarWidths[1];
    }
    if (HWND right = s.Toolbars[2]) {
        MoveWindow(right, area.right - s.ToolbarWidths[2], area.top, s.ToolbarWidths[2], area.bottom - area.top, TRUE);
        area.right -= s.ToolbarWidths[2];
    }
    if (s.Client)
        MoveWindow(s.Client, area.left, area.top, std::max<LONG>(area.right - area.left, 0),
                   std::max<LONG>(area.bottom - area.top, 0), TRUE);
}

LRESULT CALLBACK YYClientWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const INTEGER slot = YYWindowSlotFromHandle(window);
    HWND frame = slotFrame(slot);
    switch (message) {
    case WM_PAINT:
        realisePalette(window);
        if (dialogManagerHooks().windowSnapshotsInForce()) {
            // While a modal box is up the client shows its snapshot and raises nothing.
            const PaintDc paint(window);
            HDC dc = paint.get();
            POINT offset{0, 0};
            if (HBITMAP snapshot = snapshotShowing(slot, window, offset)) {
                MemoryDcHandle source(CreateCompatibleDC(dc));
                DcSelection selected(source.get(), snapshot);
                RECT r{};
                GetClientRect(window, &r);
                BitBlt(dc, 0, 0, r.right, r.bottom, source.get(), offset.x, offset.y, SRCCOPY);
            }
            return 0;
        }
        {
            const INTEGER kind = recordKind(frame);
            if (kind != kWindowDialogLayout && kind != kWindowSplit) {
                YYEventStore(7, 0, wParam, lParam, window);
                YYEventPendingKeep(window);
            }
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SIZE:
        clientResize(window, slot, wParam, lParam);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) YYWindowActivate(frame);
        return 0;
    case WM_SETFOCUS:
        clientFocus(slot);
        return 0;
    case WM_ERASEBKGND:
        if (slot >= 0 && windowSlotTable().Slots[slot].BackgroundBrush) {
            RECT r{};
            GetClipBox(reinterpret_cast<HDC>(wParam), &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r,
                     static_cast<HBRUSH>(windowSlotTable().Slots[slot].BackgroundBrush.get()));
            return 1;
        }
        break;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            HCURSOR cursor = slot >= 0 ? windowSlotTable().Slots[slot].Cursor : nullptr;
            if (!cursor) cursor = YYGlobalCursor();
            if (cursor) {
                const INTEGER kind = recordKind(frame);
                if (kind == 0 || kind == kWindowOtherControl) SetCursor(cursor);
                return TRUE;
            }
        }
        break;
    case WM_CHAR:
        YYEventStore(1, 0, wParam, lParam, window);
        return 0;
    case WM_KEYDOWN:
        return clientKeyDown(window, wParam);
    case WM_SYSCHAR:
        return SendMessageA(frame ? frame : GetParent(window), message, wParam, lParam);
    case WM_COMMAND:
        if (HIWORD(wParam) <= 1) {
            YYEventStore(2, 0, wParam, lParam, window);
            return 0;
        }
        break;
    case WM_TIMER:
        if (wParam == 999 && YYTimedWaitArmed()) {
            YYTimedWaitDisarm();
            KillTimer(window, 999);
            return 0;
        }
        YYEventStore(13, 0, wParam, lParam, window);
        return 0;
    case WM_MOUSEMOVE:
        YYEventStore(6, 0, wParam, lParam, window);
        return 0;
    case WM_LBUTTONDOWN: case WM_MBUTTONDOWN: case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK: case WM_MBUTTONDBLCLK: case WM_RBUTTONDBLCLK: {
        const bool doubleClick = message == WM_LBUTTONDBLCLK || message == WM_MBUTTONDBLCLK || message == WM_RBUTTONDBLCLK;
        const INTEGER button = (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) ? 1
                             : (message == WM_MBUTTONDOWN || message == WM_MBUTTONDBLCLK) ? 2 : 3;
        INTEGER enabled16 = 0;
        YYEventEnableGet(16, enabled16);
        SetCapture(window);
        YYEventStore(doubleClick && enabled16 ? 16 : 4, button, wParam, lParam, window);
        bringForward(frame);
        return 0;
    }
    case WM_LBUTTONUP: case WM_MBUTTONUP: case WM_RBUTTONUP:
        ReleaseCapture();
        YYEventStore(5, message == WM_LBUTTONUP ? 1 : message == WM_MBUTTONUP ? 2 : 3, wParam, lParam, window);
        return 0;
    case WM_MOUSEWHEEL: {
        // The wheel message carries a screen position; events carry client positions.
        POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ScreenToClient(window, &point);
        const LPARAM clientPosition = MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y));
        const short delta = static_cast<short>(HIWORD(wParam));
        YYEventStore(4, delta >= 0 ? 4 : 5, LOWORD(wParam), clientPosition, window);
        return 0;
    }
    case WM_NCLBUTTONDOWN: case WM_NCMBUTTONDOWN: case WM_NCRBUTTONDOWN:
        YYEventStore(12, message == WM_NCLBUTTONDOWN ? 1 : message == WM_NCMBUTTONDOWN ? 2 : 3, wParam, lParam, window);
        bringForward(frame);
        break;
    case WM_MENUSELECT: case WM_ENTERMENULOOP: case WM_EXITMENULOOP:
        return SendMessageA(GetParent(window), message, wParam, lParam);
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) != window) realisePalette(window);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK YYFrameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const INTEGER slot = YYWindowSlotFromHandle(window);
    ProcedureState& p = procedureState();
    switch (message) {
    case WM_CLOSE:
        // Closing is the application's decision: the frame only asks.
        if (recordKind(window) != kWindowSplit || YYWindowCloseQuery(window)) YYEventStore(9, 0, wParam, lParam, window);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) YYWindowActivate(window);
        break;
    case WM_SETFOCUS:
        if (slot >= 0 && windowSlotTable().Slots[slot].Client) SetFocus(windowSlotTable().Slots[slot].Client);
        return 0;
    case WM_ACTIVATEAPP:
        if (wParam) realisePalette(slot >= 0 ? windowSlotTable().Slots[slot].Client : nullptr);
        else YYWindowActivate(nullptr);
        break;
    case WM_NCLBUTTONDOWN:
        p.NonClientPressWindow = window;
        [[fallthrough]];
    case WM_NCMBUTTONDOWN: case WM_NCRBUTTONDOWN:
        if (wParam != HTREDUCE)
            YYEventStore(12, message == WM_NCLBUTTONDOWN ? 1 : message == WM_NCMBUTTONDOWN ? 2 : 3, wParam, lParam, window);
        bringForward(window);
        for (const SplitWindowRecord* split = YYSplitRecord(window); split;) {
            HWND last = reinterpret_cast<HWND>(split->Words[17]);
            if (!last) break;
            YYWindowActivate(last);
            split = YYSplitRecord(last);
        }
        DefWindowProcA(window, message, wParam, lParam);
        return 0;
    case WM_NCLBUTTONUP:
        p.NonClientPressWindow = nullptr;
        return 0;
    case WM_LBUTTONDOWN: case WM_MBUTTONDOWN: case WM_RBUTTONDOWN:
        bringForward(window);
        return 0;
    case WM_SYSCHAR:
        if ((GetWindowLongA(window, GWL_STYLE) & WS_CHILD) && wParam != '-')
            return SendMessageA(GetParent(window), message, wParam, lParam);
        break;
    case WM_COMMAND:
        if (HIWORD(wParam) <= 1) {
            HWND target = window;
            if (!lParam) {
                // Menu and accelerator commands go down to the command pane or the last active pane.
                while (const SplitWindowRecord* split = YYSplitRecord(target)) {
                    HWND next = reinterpret_cast<HWND>(split->Words[18] ? split->Words[18] : split->Words[17]);
                    if (!next) break;
                    target = next;
                }
            }
            const INTEGER kind = recordKind(target);
            if (kind == kWindowTextEditor || kind == kWindowGridEditor) return SendMessageA(target, message, wParam, lParam);
            YYEventStore(2, 0, wParam, lParam, target);
            if (lParam && slot >= 0)
                for (HWND toolbar : windowSlotTable().Slots[slot].Toolbars)
                    if (toolbar == reinterpret_cast<HWND>(lParam)) UpdateWindow(toolbar);
            return 0;
        }
        break;
    case WM_TIMER:
        KillTimer(window, wParam);  // timers on frames fire once
        YYEventStore(13, 0, wParam, lParam, window);
        return 0;
    case WM_ENTERMENULOOP: case WM_MENUSELECT: case WM_EXITMENULOOP:
        if (frameMenuHelp(window, slot, message, wParam, lParam)) return 0;
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == TTN_GETDISPINFOA) {
            auto* request = reinterpret_cast<NMTTDISPINFOA*>(lParam);
            const INTEGER command = static_cast<INTEGER>(header->idFrom);
            std::string text;
            bool found = false;
            for (const WindowSlot& s : windowSlotTable().Slots) {
                for (int edge = 0; edge < 3 && !found; ++edge) {
                    HWND toolbar = s.Toolbars[static_cast<std::size_t>(edge)];
                    if (!toolbar || reinterpret_cast<HWND>(SendMessageA(toolbar, TB_GETTOOLTIPS, 0, 0)) != header->hwndFrom)
                        continue;
                    for (const ToolbarTip& tip : s.ToolbarTips)
                        if (tip.Command == command) { text = tip.Text; found = true; }
                }
            }
            if (!found) {
                char buffer[80] = {};
                LoadStringA(windowEngineState().Instance, static_cast<UINT>(command), buffer, 80);
                text = buffer;
            }
            lstrcpynA(request->szText, text.c_str(), sizeof request->szText);
            request->lpszText = request->szText;
            return 0;
        }
        break;
    }
    case WM_SIZE:
        if (slot < 0) break;
        if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) {
            auto& saved = windowSlotTable().Slots[slot].SavedRectangle;
            if (wParam == SIZE_MAXIMIZED && saved[0] == -999) {
                WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
                GetWindowPlacement(window, &placement);
                saved = {placement.rcNormalPosition.left, placement.rcNormalPosition.top,
                         placement.rcNormalPosition.right, placement.rcNormalPosition.bottom};
            } else if (wParam == SIZE_RESTORED && saved[0] != -999) {
                WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
                GetWindowPlacement(window, &placement);
                placement.rcNormalPosition = RECT{saved[0], saved[1], saved[2], saved[3]};
                placement.showCmd = SW_SHOWNORMAL;
                saved[0] = -999;
                SetWindowPlacement(window, &placement);
            }
        }
        if (wParam == SIZE_MINIMIZED) {
            // An icon inside another window is no longer the active one: the window holding it is.
            if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) {
                SendMessageA(window, WM_NCACTIVATE, FALSE, 0);
                if (HWND holder = GetParent(GetParent(window))) SendMessageA(holder, WM_NCACTIVATE, TRUE, 0);
            }
            return 0;
        }
        YYFrameLayout(slot);
        if (SplitWindowRecord* split = YYSplitRecord(window)) {
            RECT outer{};
            GetWindowRect(window, &outer);
            split->Words[15] = outer.right - outer.left;
            split->Words[16] = outer.bottom - outer.top;
        }
        return 0;
    case WM_EXITSIZEMOVE:
        if (IsIconic(window) && GetParent(window)) ArrangeIconicWindows(GetParent(window));
        break;
    case WM_DESTROY:
        if (slot >= 0) {
            WindowSlot& s = windowSlotTable().Slots[slot];
            YYMenuFreeItems(s.Menu, slot);
            s.Menu = nullptr;
            s.Accelerators = nullptr;
            s.MenuHelpTexts = {};
            s.Toolbars = {};
        }
        break;
    case WM_PALETTECHANGED:
        if (slot >= 0 && windowSlotTable().Slots[slot].Client)
            SendMessageA(windowSlotTable().Slots[slot].Client, message, wParam, lParam);
        return 0;
    case WM_GETMINMAXINFO: {
        if (const SplitWindowRecord* split = YYSplitRecord(window); split && split->Words[19] == 0) {
            // A split whose panes cannot give or take room keeps its outer size in that direction.
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            DefWindowProcA(window, message, wParam, lParam);
            if (YYSplitWindowLocked(*split, 0))
                limits->ptMaxSize.x = limits->ptMinTrackSize.x = limits->ptMaxTrackSize.x = static_cast<LONG>(split->Words[15]);
            if (YYSplitWindowLocked(*split, 1))
                limits->ptMaxSize.y = limits->ptMinTrackSize.y = limits->ptMaxTrackSize.y = static_cast<LONG>(split->Words[16]);
            return 0;
        }
        const WindowUserRecord* record = YYWindowRecord(window);
        if (record && record->Words[0] == kWindowDialogLayout && dialogManagerHooks().dialogIsResizable(reinterpret_cast<HWND>(record->Words[5]))) {
            // A resizable layout never gets smaller than the dialog it was laid out from.
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMinTrackSize.x = static_cast<LONG>(record->Words[6]);
            limits->ptMinTrackSize.y = static_cast<LONG>(record->Words[7]);
            return 0;
        }
        break;
    }
    case WM_NCHITTEST: {
        LRESULT hit = DefWindowProcA(window, message, wParam, lParam);
        if (hit == HTCAPTION && YYSplitOfPane(window) >= 0) return HTBORDER;  // panes stay where the split puts them
        if (const SplitWindowRecord* split = YYSplitRecord(window)) {
            if (YYSplitWindowLocked(*split, 0)) {
                if (hit == HTLEFT || hit == HTRIGHT) hit = HTBORDER;
                else if (hit == HTTOPLEFT || hit == HTTOPRIGHT) hit = HTTOP;
                else if (hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT) hit = HTBOTTOM;
            }
            if (YYSplitWindowLocked(*split, 1)) {
                if (hit == HTTOP || hit == HTBOTTOM) hit = HTBORDER;
                else if (hit == HTTOPLEFT || hit == HTBOTTOMLEFT) hit = HTLEFT;
                else if (hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT) hit = HTRIGHT;
            }
        }
        return hit;
    }
    case WM_INITMENUPOPUP:
        if (const SplitWindowRecord* split = YYSplitRecord(window)) {
            HWND pane = reinterpret_cast<HWND>(split->Words[17]);
            while (const SplitWindowRecord* inner = YYSplitRecord(pane)) pane = reinterpret_cast<HWND>(inner->Words[17]);
            const INTEGER kind = recordKind(pane);
            if (kind == kWindowTextEditor || kind == kWindowGridEditor) return SendMessageA(pane, message, wParam, lParam);
        }
        break;
    case 0x3B9:  // MM_MCINOTIFY: the device finished; the window forgets and closes it
        for (WindowSlot& s : windowSlotTable().Slots)
            if (s.MediaDevice == static_cast<std::uintptr_t>(lParam)) YYMediaStop(s);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK YYSplitterWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* record = reinterpret_cast<SplitWindowRecord*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!record) return DefWindowProcA(window, message, wParam, lParam);
    const bool stackedPanes = (record->Words[9] & kSplitStacked) != 0;
    std::intptr_t& anchor = record->Words[14];
    switch (message) {
    case WM_NCHITTEST:
        // A movable bar is dragged like a window by its caption; a locked one is plain border.
        return YYSplitterMovable(*record) ? HTCAPTION : HTBORDER;
    case WM_SETCURSOR:
        if (YYSplitterMovable(*record)) SetCursor(LoadCursor(nullptr, stackedPanes ? IDC_SIZENS : IDC_SIZEWE));
        return TRUE;
    case WM_ENTERSIZEMOVE: {
        RECT r{};
        GetWindowRect(window, &r);
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
        anchor = stackedPanes ? r.left : r.top;
        return 0;
    }
    case WM_MOVING:
        if (anchor != kNoAnchor) {
            // The bar moves only along the split direction.
            auto* moving = reinterpret_cast<RECT*>(lParam);
            POINT fixed{static_cast<LONG>(anchor), static_cast<LONG>(anchor)};
            ClientToScreen(GetParent(window), &fixed);
            if (stackedPanes) OffsetRect(moving, fixed.x - moving->left, 0);
            else OffsetRect(moving, 0, fixed.y - moving->top);
            return TRUE;
        }
        break;
    case WM_EXITSIZEMOVE:
        anchor = kNoAnchor;
        return 0;
    case WM_MOVE:
        // While dragged, and also when the system moves the bar only after the drag (outline
        // dragging): a bar that has left the panes' edge takes the panes along.
        if (anchor != kNoAnchor || YYSplitterAwayFromPanes(*record)) YYSplitterMoved(*record);
        return 0;
    case WM_SETFOCUS:
        if (HWND last = reinterpret_cast<HWND>(record->Words[17])) SetFocus(last);
        return 0;
    case WM_NCLBUTTONDOWN: case WM_NCMBUTTONDOWN: case WM_NCRBUTTONDOWN: {
        const INTEGER split = static_cast<INTEGER>(record->Words[6]);
        YYEventStore(12, message == WM_NCLBUTTONDOWN ? 1 : message == WM_NCMBUTTONDOWN ? 2 : 3, wParam, lParam,
                     slotFrame(split));
        break;
    }
    case WM_DESTROY:
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

INTEGER YYAcceleratorTranslate(INTEGER messageWindow, INTEGER menuWindow, MSG& message)
{
    if (menuWindow < 0 || menuWindow >= kWindowSlots || messageWindow < 0 || messageWindow >= kWindowSlots) return 0;
    if (const SplitWindowRecord* split = YYSplitRecord(windowSlotTable().Slots[messageWindow].Frame.get());
        split && split->Words[18]) {
        // An editor command pane's own accelerators come first, and only they.
        HWND pane = reinterpret_cast<HWND>(split->Words[18]);
        const WindowUserRecord* record = YYWindowRecord(pane);
        const auto kind = record ? record->Words[0] : 0;
        if (kind == kWindowTextEditor || kind == kWindowGridEditor) {
            const auto* words = reinterpret_cast<const std::intptr_t*>(record);
            static constexpr int kEditorTables[] = {24, 22, 23}, kGridEditorTables[] = {14, 15};
            const std::span<const int> tables = kind == kWindowTextEditor ? std::span<const int>(kEditorTables)
                                                                          : std::span<const int>(kGridEditorTables);
            for (int w : tables)
                if (HACCEL t = reinterpret_cast<HACCEL>(words[w - 1]); t && TranslateAcceleratorA(pane, t, &message)) return 1;
            return 0;
        }
    }
    HACCEL table = windowSlotTable().Slots[menuWindow].Accelerators;
    HWND frame = windowSlotTable().Slots[messageWindow].Frame.get();
    if (!table || !frame) return 0;
    return TranslateAcceleratorA(frame, table, &message) ? 1 : 0;
}
