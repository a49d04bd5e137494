#include "toolkit/foundation/EventStore.h"

#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/GraphicsState.h"

EventEnableTable& eventEnableTable()
{
    static EventEnableTable table;
    return table;
}

CurrentEventState& currentEventState()
{
    static CurrentEventState state;
    return state;
}

PendingEventTable& pendingEventTable()
{
    static PendingEventTable table;
    return table;
}

void YYEventEnableSet(INTEGER type, INTEGER flag)
{
    if (type < 1 || type > 16) return;
    eventEnableTable().Flags[static_cast<std::size_t>(type - 1)] = flag;
}

void YYEventEnableGet(INTEGER type, INTEGER& flag)
{
    flag = (type >= 1 && type <= 16) ? eventEnableTable().Flags[static_cast<std::size_t>(type - 1)] : 0;
}

void WEventEnable(INTEGER type, INTEGER flag) { YYEventEnableSet(type, flag); }

void YYEventEnableDefaults()
{
    eventEnableTable().Flags = {1, 1, 1, 1, 0, 0, 1, 1, 1, 0, 0, 0, 1, 1, 0, 0};
}

INTEGER YYKeyCodeMap(INTEGER key, INTEGER m)
{
    const INTEGER shift = m / 5;
    switch (key) {
    case 38: return 258 + shift;
    case 40: return 259 + shift;
    case 39: return 260 + shift;
    case 37: return 261 + shift;
    case 33: return 262;
    case 34: return 263;
    case 36: return 270;
    case 35: case 41: return 271;
    case 45: return 272;
    case 46: return 273;
    case 9: return m == 20 ? 274 : 9;
    case 44: return 300;
    case 12: return 285;
    case 109: return 290;
    case 110: return 291;
    case 107: case 108: return 292;
    case 111: return 293;
    case 106: return 294;
    default: break;
    }
    if (key >= 96 && key <= 105) return 280 + (key - 96);
    if (key >= 112 && key <= 131) return key + 189 + m;
    return key;
}

INTEGER YYMouseButtonState(WPARAM keyFlags)
{
    INTEGER state = 0;
    if (keyFlags & MK_CONTROL) state += 1;
    if (keyFlags & MK_SHIFT) state += 2;
    if (keyFlags & MK_LBUTTON) state += 4;
    if (keyFlags & MK_MBUTTON) state += 8;
    if (keyFlags & MK_RBUTTON) state += 16;
    return state;
}

HWND YYStatusBarOfWindow(INTEGER window)
{
    auto& slots = windowSlotTable().Slots;
    for (int guard = 0; window >= 0 && window < kWindowSlots && guard < kWindowSlots; ++guard) {
        if (slots[window].StatusBar) return slots[window].StatusBar;
        HWND frame = slots[window].Frame.get();
        if (!frame || !(GetWindowLongA(frame, GWL_STYLE) & WS_CHILD)) {
            // an owned top-level child window looks to its owner
            HWND owner = frame ? GetWindow(frame, GW_OWNER) : nullptr;
            window = owner ? YYWindowSlotFromHandle(owner) : -1;
        } else {
            window = YYWindowSlotFromHandle(GetParent(frame));
        }
    }
    return nullptr;
}

namespace {

bool isViewerWindow(HWND window)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpA(name, "VARERODOD") == 0;
}

POINT clientPointer(HWND window)
{
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(window, &point);
    return point;
}

void setRest(RecordedEvent& r, INTEGER from)
{
    for (INTEGER i = from; i < 4; ++i) r.Values[static_cast<std::size_t>(i)] = -1;
    r.X = r.Y = -1;
}

}  // namespace

void YYEventStore(INTEGER type, INTEGER value, WPARAM wParam, LPARAM lParam, HWND window)
{
    const INTEGER flagIndex = type > 100 ? type - 101 : type - 1;
    if (flagIndex < 0 || flagIndex >= 16 || eventEnableTable().Flags[static_cast<std::size_t>(flagIndex)] == 0) return;
    CurrentEventState& state = currentEventState();
    RecordedEvent& r = state.Recorded;
    if ((type == 7 || type == 107) && r.Type == 8 && state.WaitState == 0) return;
    const bool visible = window && IsWindowVisible(window);
    if (!(type == 10 && state.WaitState == 0) && !(type == 8 && !visible)) {
        r.Type = type;
        r.Window = YYWindowSlotFromHandle(window);
        r.Time = static_cast<INTEGER>(GetMessageTime());
    }
    const INTEGER surface = isViewerWindow(window) ? 2 : 0;
    switch (type) {
    case 1: {
        const POINT pointer = clientPointer(window);
        if (value == 1) {
            INTEGER key = static_cast<INTEGER>(wParam), offset = 0;
            if (key > 8192) { key -= 8192; offset = 40; }
            else if (key > 4096) { key -= 4096; offset = 20; }
            r.Values[0] = YYKeyCodeMap(key, offset);
        } else {
            r.Values[0] = static_cast<INTEGER>(wParam);
        }
        r.Values[1] = -1;
        r.Values[2] = surface;
        r.Values[3] = -1;
        r.X = pointer.x;
        r.Y = pointer.y;
        state.WaitState = 0;
        break;
    }
    case 2:
        r.Values[0] = LOWORD(wParam);
        setRest(r, 1);
        state.WaitState = 0;
        break;
    case 4: case 5: case 6: case 16: {
        r.Values[0] = type == 6 ? -1 : value;
        r.Values[1] = YYMouseButtonState(wParam);
        r.Values[2] = surface;
        r.Values[3] = -1;
        INTEGER x = LOWORD(lParam), y = HIWORD(lParam);
        // A captured pointer left of or above the window arrives as a large unsigned word.
        if (x > windowEngineState().ScreenWidth) x -= 65536;
        if (y > windowEngineState().ScreenHeight) y -= 65536;
        r.X = x;
        r.Y = y;
        state.WaitState = 0;
        break;
    }
    case 7: {
        RECT update{};
        GetUpdateRect(window, &update, TRUE);
        r.Values = {update.right - update.left, update.bottom - update.top, 0, -1};
        r.X = update.left;
        r.Y = update.top;
        state.WaitState = 0;
        break;
    }
    case 8: {
        if (wParam == SIZE_MINIMIZED) return;
        const INTEGER width = LOWORD(lParam), height = HIWORD(lParam);
        state.LastResizeWidth = width;
        state.LastResizeHeight = height;
        if (visible) {
            r.Values = {width, height, 0, -1};
            r.X = r.Y = -1;
            state.WaitState = 0;
        } else if (windowEngineState().CurrentDc) {
            if (const INTEGER slot = YYWindowSlotFromHandle(window); slot >= 0) YYWindowResized(slot, width, height);
        }
        break;
    }
    case 9: case 14:
        setRest(r, 0);
        state.WaitState = 0;
        break;
    case 12:
        r.Values[0] = value;
        setRest(r, 1);
        state.WaitState = 0;
        break;
    case 13:
        r.Values[0] = static_cast<INTEGER>(wParam);
        setRest(r, 1);
        state.WaitState = 0;
        break;
    case 15:
        r.Values = {LOWORD(lParam), HIWORD(lParam), 2, -1};
        r.X = r.Y = 0;
        state.WaitState = 0;
        break;
    default:
        // Dialog events (3, 10, 11 and the dialog drawing surfaces) are recorded from the dialog's
        // record, which the dialog manager keeps.
        break;
    }
}

void YYEventPendingKeep(HWND client)
{
    CurrentEventState& state = currentEventState();
    const RecordedEvent& r = state.Recorded;
    if (state.WaitState != 0 || state.DispatchingPaint || r.Type <= 0) return;
    if (r.Type != 7 && r.Type != 8) return;
    if (r.Type == 8 && !IsWindowVisible(client)) return;
    const INTEGER slot = YYWindowSlotFromHandle(client);
    if (slot < 0) return;
    const WindowUserRecord* record = YYWindowRecord(windowSlotTable().Slots[slot].Frame.get());
    if (record && (record->Words[0] == kWindowSplit || record->Words[0] == kWindowDialogLayout)) return;
    RecordedEvent& entry = pendingEventTable().Entries[static_cast<std::size_t>(slot)];
    if (r.Type == 7 && entry.Type == 8) return;  // an expose never hides a pending resize
    entry = r;
}

namespace {
bool& timedWaitArmed()
{
    static bool armed = false;
    return armed;
}
}  // namespace

bool YYTimedWaitArmed() { return timedWaitArmed(); }
void YYTimedWaitDisarm() { timedWaitArmed() = false; }
