#include "toolkit/foundation/WindowPlacement.h"

#include <algorithm>

#include "toolkit/foundation/ChildWindows.h"
#include "toolkit/foundation/WindowEngineHooks.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/foundation/WindowText.h"

namespace {

WindowSlot& currentSlot() { return windowSlotTable().Slots[windowEngineState().CurrentWindow]; }

bool isInside(HWND frame) { return frame && (GetWindowLongA(frame, GWL_STYLE) & WS_CHILD); }

// Offset between workspace coordinates (placement rectangles) and screen coordinates, measured
// with a throw-away window because the task bar may shift the workspace.
POINT workspaceOffset()
{
    WindowHandle probe(CreateWindowExA(0, "STATIC", "", WS_POPUP, 100, 100, 10, 10, nullptr, nullptr,
                                       GetModuleHandleA(nullptr), nullptr));
    POINT offset{0, 0};
    if (!probe) return offset;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(probe.get(), &placement);
    RECT screen{};
    GetWindowRect(probe.get(), &screen);
    offset.x = placement.rcNormalPosition.left - screen.left;
    offset.y = placement.rcNormalPosition.top - screen.top;
    return offset;
}

RECT normalRectangle(HWND frame)
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(frame, &placement);
    RECT r = placement.rcNormalPosition;
    if (!isInside(frame)) {
        const POINT offset = workspaceOffset();
        OffsetRect(&r, -offset.x, -offset.y);
    }
    return r;
}

RECT frameRectangle(HWND frame)
{
    RECT r{};
    GetWindowRect(frame, &r);
    if (isInside(frame)) MapWindowPoints(nullptr, GetParent(frame), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Frame size less drawing-client size: everything the frame adds around the client.
SIZE frameExtras(const WindowSlot& slot)
{
    RECT outer{}, client{};
    GetWindowRect(slot.Frame.get(), &outer);
    GetClientRect(slot.Client, &client);
    return SIZE{(outer.right - outer.left) - client.right, (outer.bottom - outer.top) - client.bottom};
}

}  // namespace

void YYWindowShowState(INTEGER& state)
{
    HWND frame = currentSlot().Frame.get();
    if (!IsWindowVisible(frame)) state = 3;
    else if (IsIconic(frame)) state = 0;
    else if (IsZoomed(frame)) state = 2;
    else state = 1;
}

void YYWindowChangePlacement(INTEGER x, INTEGER y, INTEGER& width, INTEGER& height, INTEGER state)
{
    WindowSlot& slot = currentSlot();
    HWND frame = slot.Frame.get();
    if (!frame) return;
    INTEGER present = 1;
    YYWindowShowState(present);
    if (state == -1) state = present;
    const bool special = present == 0 || present == 2 || state == 0 || state == 2;
    RECT current = (present == 0 || present == 2) ? normalRectangle(frame) : frameRectangle(frame);
    INTEGER clientWidth = 0, clientHeight = 0;
    const SIZE extras = frameExtras(slot);
    if (present == 2) {
        clientWidth = (current.right - current.left) - extras.cx;
        clientHeight = (current.bottom - current.top) - extras.cy;
    } else {
        RECT r{};
        GetClientRect(slot.Client, &r);
        clientWidth = r.right;
        clientHeight = r.bottom;
    }
    if (const WindowUserRecord* record = YYWindowRecord(frame); record && record->Words[0] == kWindowDialogLayout) {
        HWND dialog = reinterpret_cast<HWND>(record->Words[5]);
        if (!dialogManagerHooks().dialogIsResizable(dialog)) {
            width = clientWidth;  // a fixed layout keeps its size
            height = clientHeight;
        } else {
            auto* words = YYWindowRecord(frame);
            if (width != kUnchanged) words->Words[6] = std::min<std::intptr_t>(words->Words[6], width);
            if (height != kUnchanged) words->Words[7] = std::min<std::intptr_t>(words->Words[7], height);
        }
    }
    if (x == kUnchanged) x = current.left;
    if (y == kUnchanged) y = current.top;
    if (width == kUnchanged) width = clientWidth;
    if (height == kUnchanged) height = clientHeight;
    // The frame keeps what it adds around the client: borders, menu, toolbars and status bar.
    INTEGER outerWidth = width + extras.cx, outerHeight = height + extras.cy;
    if (present == 2 || present == 0) {
        // A maximised or minimised frame's present extras are not its restored ones: measure from style.
        RECT r{0, 0, width, height};
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(frame, GWL_STYLE)) & ~(WS_MAXIMIZE | WS_MINIMIZE),
                           slot.Menu != nullptr, static_cast<DWORD>(GetWindowLongA(frame, GWL_EXSTYLE)));
        outerWidth = r.right - r.left + slot.ToolbarWidths[1] * (slot.Toolbars[1] != nullptr) +
                     slot.ToolbarWidths[2] * (slot.Toolbars[2] != nullptr);
        outerHeight = r.bottom - r.top;
        for (int edge : {0, 3})
            if (HWND bar = slot.Toolbars[static_cast<std::size_t>(edge)]) {
                RECT b{};
                GetWindowRect(bar, &b);
                outerHeight += b.bottom - b.top;
            }
        if (slot.StatusBar) {
            RECT b{};
            GetWindowRect(slot.StatusBar, &b);
            outerHeight += b.bottom - b.top;
        }
    }
    SplitWindowRecord* split = YYSplitRecord(frame);
    if (split) split->Words[19] = 1;  // the split's own tracking limits stay out of the way
    const INTEGER splitOfPane = YYSplitOfPane(frame);
    if (splitOfPane >= 0) {
        // A pane is placed by moving its splitter bar; the bar then re-lays both panes.
        SplitWindowRecord& record = *YYSplitRecord(windowSlotTable().Slots[splitOfPane].Frame.get());
        HWND bar = reinterpret_cast<HWND>(record.Words[5]);
        const bool vertical = (record.Words[9] & kSplitStacked) != 0;
        const RECT paneRect = frameRectangle(frame);
        RECT b = frameRectangle(bar);
        const bool first = YYWindowSlotFromHandle(frame) == record.Words[7];
        const LONG wanted = vertical ? outerHeight : outerWidth;
        LONG shift = 0;
        if (first) shift = (vertical ? paneRect.top : paneRect.left) + wanted - (vertical ? b.top : b.left);
        else shift = (vertical ? paneRect.bottom - wanted - b.bottom : paneRect.right - wanted - b.right);
        const std::intptr_t savedAnchor = record.Words[14];
        record.Words[14] = 0;
        SetWindowPos(bar, nullptr, b.left + (vertical ? 0 : shift), b.top + (vertical ? shift : 0), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        record.Words[14] = savedAnchor;
    } else if (special) {
        WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
        GetWindowPlacement(frame, &placement);
        RECT normal{x, y, x + outerWidth, y + outerHeight};
        if (!isInside(frame)) {
            const POINT offset = workspaceOffset();
            OffsetRect(&normal, offset.x, offset.y);
        } else if (state == 2 || present == 2) {
            // The frame puts the saved rectangle back when it is restored: it must be the new one.
            slot.SavedRectangle = {normal.left, normal.top, normal.right, normal.bottom};
        }
        placement.rcNormalPosition = normal;
        placement.flags = 0;
        switch (state) {
        case 0: placement.showCmd = SW_SHOWMINNOACTIVE; break;
        case 1: placement.showCmd = SW_SHOWNOACTIVATE; break;
        case 2: placement.showCmd = SW_SHOWMAXIMIZED; break;
        case 3: placement.showCmd = SW_HIDE; break;
        default: break;
        }
        SetWindowPlacement(frame, &placement);
    } else {
        SetWindowPos(frame, nullptr, x, y, outerWidth, outerHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(frame, state == 3 ? SW_HIDE : SW_SHOWNA);
    }
    // A window opened hidden shows its layout dialog only now.
    if (state != 3)
        if (const WindowUserRecord* record = YYWindowRecord(frame); record && record->Words[0] == kWindowDialogLayout)
            dialogManagerHooks().layoutDialogShow(reinterpret_cast<HWND>(record->Words[5]));
    if (windowEngineState().CurrentWindow == 0) windowEngineState().MainWindowHidden = state == 3 ? 1 : 0;
    if (split) split->Words[19] = 0;
    RECT r{};
    GetClientRect(slot.Client, &r);
    width = r.right;
    height = r.bottom;
}

void WindowMoveResize(INTEGER width, INTEGER height, INTEGER x, INTEGER y, INTEGER state)
{
    WindowEngineState& e = windowEngineState();
    const INTEGER current = e.CurrentWindow;
    const INTEGER parent = YYParentWindowNumber(current);
    if (parent != -1) {
        // Inside a parent the values are window units of its client; "unchanged" stays unchanged.
        INTEGER parentWidth = 0, parentHeight = 0;
        YYClientPixelSize(parent, parentWidth, parentHeight);
        auto position = [](INTEGER v, INTEGER size) { return v == kUnchanged ? v : windowUnitsToPixel(v, size); };
        auto extent = [](INTEGER v, INTEGER size) {
            return v == kUnchanged ? v : static_cast<INTEGER>(static_cast<long long>(v) * size / 9999);
        };
        x = position(x, parentWidth);
        y = position(y, parentHeight);
        width = extent(width, parentWidth);
        height = extent(height, parentHeight);
    }
    YYWindowChangePlacement(x, y, width, height, state);
    e.ClientWidth = width;
    e.ClientHeight = height;
    YYWinTextScale();
    windowGraphicsHooks().windowPlaced(current, width, height);
}

void YYWindowPlacement(INTEGER selector, INTEGER& x, INTEGER& y, INTEGER& inside, INTEGER& parent)
{
    HWND window = (selector == 2 || selector == 3) ? dialogManagerHooks().currentDialogWindow() : currentSlot().Frame.get();
    x = y = inside = parent = 0;
    if (!window) return;
    RECT r = IsIconic(window) ? normalRectangle(window) : frameRectangle(window);
    if (isInside(window)) {
        // A dialog inside another dialog (a tab page) has no window number: its parent is -1.
        inside = 1;
        parent = YYWindowSlotFromHandle(GetParent(window));
    }
    if (selector == 0 || selector == 2) {
        x = r.left;
        y = r.top;
    } else {
        x = r.right - r.left;
        y = r.bottom - r.top;
    }
}

void YYClientScreenOrigin(INTEGER& x, INTEGER& y)
{
    POINT origin{0, 0};
    ClientToScreen(currentSlot().Client, &origin);
    x = origin.x;
    y = origin.y;
}

void YYWindowGeometry(INTEGER& clientWidth, INTEGER& clientHeight, INTEGER& x, INTEGER& y, INTEGER& inside,
                      INTEGER& parent)
{
    WindowSlot& slot = currentSlot();
    HWND frame = slot.Frame.get();
    INTEGER state = 1;
    YYWindowShowState(state);
    INTEGER unusedInside = 0, unusedParent = 0;
    if (frame && IsZoomed(frame)) {
        const SIZE extras = frameExtras(slot);
        const RECT normal = normalRectangle(frame);
        clientWidth = (normal.right - normal.left) - extras.cx;
        clientHeight = (normal.bottom - normal.top) - extras.cy;
        x = normal.left;
        y = normal.top;
    } else {
        YYClientPixelSize(windowEngineState().CurrentWindow, clientWidth, clientHeight);
        YYWindowPlacement(0, x, y, unusedInside, unusedParent);
    }
    inside = isInside(frame) ? 1 : 0;
    parent = inside ? YYWindowSlotFromHandle(GetParent(frame)) : 0;
}

void YYWindowKindOfCurrent(INTEGER& kind)
{
    const WindowUserRecord* record = YYWindowRecord(currentSlot().Frame.get());
    kind = record ? static_cast<INTEGER>(record->Words[0]) : 0;
}

void YYCurrentDialogKind(INTEGER& kind)
{
    HWND dialog = dialogManagerHooks().currentDialogWindow();
    if (!dialog) kind = 0;
    else if (dialogManagerHooks().dialogLayoutFrame(dialog)) kind = 4;
    else if (!isInside(dialog)) kind = 1;
    else kind = GetClassLongPtrA(GetParent(dialog), GCW_ATOM) == 32770 ? 3 : 2;  // "#32770": a dialog
}

void YYClientOriginOnScreen(INTEGER window, INTEGER, INTEGER, INTEGER& x, INTEGER& y)
{
    HWND target = nullptr;
    if (window >= 0 && window < kWindowSlots) {
        target = windowSlotTable().Slots[window].Client;
    } else {
        // The active modeless dialog, else the active frame; of a window inside another, the
        // outermost window that holds it.
        target = dialogManagerHooks().activeModelessDialog();
        if (!target) target = windowEngineState().ActiveFrame;
        while (target && (GetWindowLongA(target, GWL_STYLE) & WS_CHILD)) target = GetParent(target);
    }
    POINT origin{0, 0};
    if (target) ClientToScreen(target, &origin);
    x = origin.x;
    y = origin.y;
}

void YYWindowExists(INTEGER window, INTEGER& answer)
{
    answer = (window >= 0 && window < kWindowSlots && windowSlotTable().Slots[window].Frame) ? 1 : 0;
}

void YYSystemColour(INTEGER index, INTEGER& colour)
{
    colour = static_cast<INTEGER>(GetSysColor(index == 45 ? COLOR_WINDOWTEXT : COLOR_WINDOW));
}

void YYSystemMetric(INTEGER& value) { value = GetSystemMetrics(SM_CMOUSEBUTTONS); }

INTEGER WInfoWindowQuery(INTEGER code)
{
    WindowEngineState& e = windowEngineState();
    const INTEGER current = e.CurrentWindow;
    INTEGER width = 0, height = 0, x = 0, y = 0, inside = 0, parent = 0;
    auto toParentUnits = [&](INTEGER& px, INTEGER& py) {
        if (!inside) return;
        YYWINSEL(parent, 0);
        YYPixelToWindowUnits(px, py, px, py);
        YYWINSEL(current, 0);
    };
    switch (code) {
    case 1: return e.ClientWidth;
    case 2: return e.ClientHeight;
    case 3: return current == 0 ? windowSlotTable().Slots[0].OpenFlags : -1;
    case 4: return current;
    case 5: case 6: case 13: case 14:
        YYWindowGeometry(width, height, x, y, inside, parent);
        toParentUnits(x, y);
        return (code == 5 || code == 13) ? x : y;
    case 7: case 8:
        YYClientScreenOrigin(x, y);
        return code == 7 ? x : y;
    case 9:
        YYWindowShowState(x);
        return x;
    case 10:
        YYWindowKindOfCurrent(x);
        return x;
    case 11: case 12:
        YYWindowGeometry(width, height, x, y, inside, parent);
        return code == 11 ? width : height;
    default: return 0;
    }
}
