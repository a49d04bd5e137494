#include "toolkit/foundation/EventStore.h"

#include "toolkit/foundation/ChildWindows.h"
#include "toolkit/foundation/EditorWindowRecord.h"
#include "toolkit/foundation/WindowEngineHooks.h"
#include "toolkit/foundation/WindowProcs.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/foundation/WindowText.h"

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

ToolkitKeyCode YYKeyCodeMap(INTEGER key, INTEGER m)
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

// A resize of the current window's client moves the basis of window units and the drawable.
void followResize(HWND window, INTEGER width, INTEGER height)
{
    const INTEGER slot = YYWindowSlotFromHandle(window);
    if (slot < 0 || windowSlotTable().Slots[slot].Client != window) return;
    WindowEngineState& e = windowEngineState();
    if (slot == e.CurrentWindow) {
        e.ClientWidth = width;
        e.ClientHeight = height;
        YYWinTextScale();
    }
    windowGraphicsHooks().windowResized(slot, width, height);
}

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

INTEGER signedPosition(INTEGER value, INTEGER limit) { return value > limit ? value - 65536 : value; }

// Events of dialogs, their fields and their drawing surfaces, read from the dialog's record.
void dialogEvent(INTEGER type, WPARAM wParam, LPARAM lParam, HWND window)
{
    CurrentEventState& state = currentEventState();
    RecordedEvent& r = state.Recorded;
    DialogEventFields* dialog = dialogManagerHooks().dialogEventFields(window);
    if (!dialog) return;
    switch (type) {
    case 3:
        r.Window = dialog->identifier;
        r.Values[0] = LOWORD(wParam);
        r.Values[1] = dialog->previousField;
        setRest(r, 2);
        state.WaitState = 0;
        return;
    case 10:
        if (state.WaitState == 0) {
            // This wait already has its event: the change is delivered by the next one.
            if (state.InWait) {
                RecordedEvent& d = state.Deferred;
                d.Type = 10;
                d.Window = dialog->identifier;
                d.Values = {dialog->previousField, dialog->currentField, 0, -1};
                d.X = dialog->lastCellValue;
                d.Y = static_cast<INTEGER>(lParam);
                d.Time = static_cast<INTEGER>(GetTickCount());
            }
            dialog->lastCellValue = static_cast<INTEGER>(lParam);
            return;
        }
        r.Window = dialog->identifier;
        r.Values = {dialog->previousField, dialog->currentField, 0, -1};
        if (state.FirstChange) r.X = dialog->lastCellValue;
        r.Y = static_cast<INTEGER>(lParam);
        state.FirstChange = 0;
        dialog->lastCellValue = static_cast<INTEGER>(lParam);
        state.WaitState = 0;
        return;
    case 11:
        r.Window = dialog->identifier;
        r.Values[0] = dialog->previousPage;
        r.Values[1] = dialog->currentPage;
        setRest(r, 2);
        state.WaitState = 0;
        return;
    case 107:
        r.Type = 7;
        r.Window = dialog->identifier;
        r.Values = {-1, -1, 1, dialog->eventField};
        r.X = r.Y = -1;
        state.WaitState = 0;
        return;
    case 108: {
        if (wParam == SIZE_MINIMIZED) return;
        const INTEGER width = LOWORD(lParam), height = HIWORD(lParam);
        r.Type = 8;
        r.Window = dialog->identifier;
        r.Values = {width, height, 1, dialog->eventField};
        r.X = r.Y = -1;
        if (IsWindowVisible(window)) state.WaitState = 0;
        else windowGraphicsHooks().fieldResized(dialog->identifier, dialog->eventField, width, height);
        return;
    }
    default:  // 104, 105, 106, 116: mouse on a drawing surface
        r.Type = type - 100;
        r.Window = dialog->identifier;
        r.Values = {type == 106 ? -1 : dialog->mouseButton, YYMouseButtonState(wParam), 1, dialog->eventField};
        r.X = signedPosition(LOWORD(lParam), windowEngineState().ScreenWidth);
        r.Y = signedPosition(HIWORD(lParam), windowEngineState().ScreenHeight);
        state.WaitState = 0;
        return;
    }
}

}  // namespace

void YYEventStore(INTEGER type, INTEGER value, WPARAM wParam, LPARAM lParam, HWND window)
{
    const INTEGER flagIndex = type > 100 ? type - 101 : type - 1;
    if (flagIndex < 0 || flagIndex >= 16) return;
    if (eventEnableTable().Flags[static_cast<std::size_t>(flagIndex)] == 0) {
        // The drawing must follow the window's size even when nobody listens to resizes.
        if (type == 8 && wParam != SIZE_MINIMIZED) followResize(window, LOWORD(lParam), HIWORD(lParam));
        return;
    }
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
            followResize(window, width, height);
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
    case 3: case 10: case 11: case 104: case 105: case 106: case 107: case 108: case 116:
        dialogEvent(type, wParam, lParam, window);
        break;
    default:
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

void copyOut(const RecordedEvent& r, INTEGER& type, EventRecord& record)
{
    type = r.Type;
    record[0] = r.Window;
    for (std::size_t i = 0; i < 4; ++i) record[1 + i] = r.Values[i];
    record[5] = r.X;
    record[6] = r.Y;
    record[11] = r.Time;
}

// Pending expose or resize of the lowest slot that still has a drawing client; false when none.
bool handOutPending(INTEGER& type, EventRecord& record)
{
    auto& entries = pendingEventTable().Entries;
    for (INTEGER slot = 0; slot < kWindowSlots; ++slot) {
        RecordedEvent& entry = entries[static_cast<std::size_t>(slot)];
        if (entry.Type <= 0 || !windowSlotTable().Slots[slot].Client) continue;
        RecordedEvent out = entry;
        out.Window = slot;
        if (out.Type == 7) {
            // An expose handed out late covers the whole client.
            YYClientSize(1, slot, out.Values[0], out.Values[1]);
            out.Values[2] = 0;
            out.X = out.Y = 0;
        }
        copyOut(out, type, record);
        entry = RecordedEvent{};
        return true;
    }
    return false;
}

bool handOutHandedBack(INTEGER& type, EventRecord& record)
{
    std::deque<RecordedEvent>& events = currentEventState().HandedBack;
    if (events.empty()) return false;
    copyOut(events.front(), type, record);
    events.pop_front();
    return true;
}

bool handOutDeferred(INTEGER& type, EventRecord& record)
{
    RecordedEvent& deferred = currentEventState().Deferred;
    if (deferred.Type == 0) return false;
    copyOut(deferred, type, record);
    deferred = RecordedEvent{};
    return true;
}

// After a delivered expose or resize the window's pending entry is superseded.
void settlePending(INTEGER type, EventRecord& record)
{
    if (!(type == 8 || (type == 7 && record[3] == 0))) return;
    const INTEGER slot = record[0];
    if (slot < 0 || slot >= kWindowSlots) return;
    RecordedEvent& entry = pendingEventTable().Entries[static_cast<std::size_t>(slot)];
    if (entry.Type == 7 && type == 7) {
        YYClientSize(1, slot, record[1], record[2]);
        record[5] = record[6] = 0;
    }
    entry = RecordedEvent{};
}

// The first window up the parent chain (at most three steps) of the child-frame class that
// carries a record.
std::intptr_t* targetRecord(HWND window)
{
    for (int step = 0; window && step <= 3; ++step, window = GetParent(window)) {
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (lstrcmpA(name, "DOVECHILD") != 0) continue;
        if (auto* record = reinterpret_cast<std::intptr_t*>(GetWindowLongPtrA(window, GWLP_USERDATA))) return record;
    }
    return nullptr;
}

bool tryAccelerator(HWND frame, std::intptr_t table, MSG& message)
{
    return table && TranslateAcceleratorA(frame, reinterpret_cast<HACCEL>(table), &message);
}

void dispatch(MSG& message)
{
    // The menu loop's internal idle notice carries nothing for the toolkit.
    if (message.message == 0x0118 && LOWORD(message.wParam) == 0xFFF6) return;
    CurrentEventState& state = currentEventState();
    const bool paint = message.message == WM_PAINT || message.message == WM_SIZE;
    if (paint) state.DispatchingPaint = 1;
    DispatchMessageA(&message);
    if (paint) state.DispatchingPaint = 0;
}

// A modeless dialog keeps its window's accelerators working: a dialog laid out in a window offers
// keys to that window's menu (for a pane without one, to the nearest enclosing split window's),
// a free resizable dialog to the main window's.
bool modelessAccelerator(HWND dialog, MSG& message)
{
    HWND frame = nullptr;
    bool resizable = false;
    if (!dialogManagerHooks().dialogFacts(dialog, frame, resizable)) return false;
    auto& slots = windowSlotTable().Slots;
    if (frame) {
        const INTEGER slot = YYWindowSlotFromHandle(frame);
        if (slot < 0) return false;
        INTEGER menuSlot = slots[slot].Menu ? slot : -1;
        if (menuSlot < 0 && (GetWindowLongA(frame, GWL_STYLE) & WS_CHILD)) {
            for (HWND w = frame; w && menuSlot < 0;) {
                HWND parent = GetParent(w);
                w = parent ? GetParent(parent) : nullptr;
                if (!w || !YYSplitRecord(w)) break;
                const INTEGER s = YYWindowSlotFromHandle(w);
                if (s >= 0 && slots[s].Menu) menuSlot = s;
            }
        }
        return menuSlot >= 0 && YYAcceleratorTranslate(slot, menuSlot, message) != 0;
    }
    return resizable && YYAcceleratorTranslate(0, 0, message) != 0;
}

}  // namespace

void YYEventRoute(MSG& message)
{
    if (HWND dialog = dialogManagerHooks().activeModelessDialog()) {
        if (modelessAccelerator(dialog, message) || IsDialogMessageA(dialog, &message)) return;
    }
    if (std::intptr_t* record = targetRecord(message.hwnd)) {
        HWND frame = nullptr;
        for (HWND w = message.hwnd; w; w = GetParent(w))
            if (reinterpret_cast<std::intptr_t*>(GetWindowLongPtrA(w, GWLP_USERDATA)) == record) frame = w;
        if (const EditorWindowRecord* editor = record[0] == kWindowTextEditor ? YYTextEditorRecord(frame) : nullptr) {
            if (editor->FindDialog && IsDialogMessageA(editor->FindDialog, &message)) return;
            if (tryAccelerator(frame, reinterpret_cast<std::intptr_t>(editor->Accelerators.get()), message) ||
                tryAccelerator(frame, reinterpret_cast<std::intptr_t>(editor->ResourceAccelerators.get()), message))
                return;
            TranslateMessage(&message);
            dispatch(message);
            return;
        }
        if (record[0] == kWindowGridEditor) {
            if (tryAccelerator(frame, record[13], message) || tryAccelerator(frame, record[14], message)) return;
            TranslateMessage(&message);
            dispatch(message);
            return;
        }
    }
    const INTEGER messageSlot = YYWindowSlotFromHandle(message.hwnd);
    INTEGER menuSlot = -1;
    HWND walk = message.hwnd;
    for (int guard = 0; walk && guard < 64; ++guard, walk = GetParent(walk)) {
        const INTEGER slot = YYWindowSlotFromHandle(walk);
        if (slot >= 0 && windowSlotTable().Slots[slot].Menu) {
            menuSlot = slot;
            break;
        }
    }
    if (menuSlot < 0 && windowSlotTable().Slots[0].Menu) menuSlot = 0;
    if (menuSlot >= 0 && YYAcceleratorTranslate(messageSlot >= 0 ? messageSlot : menuSlot, menuSlot, message)) return;
    TranslateMessage(&message);
    dispatch(message);
}

namespace {

// Both loops first hand out a pending expose or resize, or an event deferred from a dispatch;
// true when one was delivered that way.
bool loopStartDelivers(CurrentEventState& state, INTEGER& type, EventRecord& record, INTEGER& delivered)
{
    state.InWait = 1;
    state.Recorded.Type = 0;
    if (!handOutPending(type, record) && !handOutHandedBack(type, record) && !handOutDeferred(type, record))
        return false;
    state.InWait = 0;
    delivered = 1;
    return true;
}

}  // namespace

void YYEventWaitLoop(INTEGER& type, EventRecord& record, INTEGER& delivered)
{
    CurrentEventState& state = currentEventState();
    if (loopStartDelivers(state, type, record, delivered)) return;
    state.FirstChange = 1;
    state.WaitState = 1;
    MSG message{};
    while (state.WaitState == 1) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == -1) continue;  // a failed read leaves no message to dispatch
        YYEventRoute(message);
    }
    copyOut(state.Recorded, type, record);
    settlePending(type, record);
    state.InWait = 0;
    state.Recorded.Type = 0;
    delivered = 1;
}

void YYEventHandBack(INTEGER type, const EventRecord& record)
{
    RecordedEvent event;
    event.Type = type;
    event.Window = record[0];
    for (std::size_t i = 0; i < 4; ++i) event.Values[i] = record[1 + i];
    event.X = record[5];
    event.Y = record[6];
    event.Time = record[11];
    currentEventState().HandedBack.push_back(event);
}

void YYEventPeekLoop(INTEGER& type, EventRecord& record, INTEGER& delivered)
{
    CurrentEventState& state = currentEventState();
    if (loopStartDelivers(state, type, record, delivered)) return;
    state.FirstChange = 1;
    state.WaitState = 1;
    state.Recorded.Type = 0;
    MSG message{};
    while (state.Recorded.Type == 0) {
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            state.Recorded.Type = -1;
            break;
        }
        YYEventRoute(message);
    }
    type = state.Recorded.Type;
    if (type != -1) {
        copyOut(state.Recorded, type, record);
        settlePending(type, record);
    }
    state.InWait = 0;
    state.Recorded.Type = 0;
    delivered = 1;
}

void YYClientSize(INTEGER kind, INTEGER identifier, INTEGER& width, INTEGER& height)
{
    width = height = 0;
    if (kind == 1) YYClientPixelSize(identifier, width, height);
    else if (kind == 3) dialogManagerHooks().dialogClientSize(identifier, width, height);
}

void YYEventConvertPosition(INTEGER type, EventRecord& record)
{
    windowGraphicsHooks().eventPositionConvert(type, record);
}

void WEventWait(INTEGER& type, EventRecord& record)
{
    INTEGER delivered = 1;
    YYEventWaitLoop(type, record, delivered);
    YYEventConvertPosition(type, record);
}

void WEventPeek(INTEGER& type, EventRecord& record)
{
    INTEGER delivered = 1;
    YYEventPeekLoop(type, record, delivered);
    if (type == -1) {
        for (std::size_t i = 0; i < 7; ++i) record[i] = -1;
        record[11] = -1;
        return;
    }
    YYEventConvertPosition(type, record);
}

void YYTimerSet(INTEGER milliseconds, INTEGER timerId, INTEGER target)
{
    const WindowSlot& main = windowSlotTable().Slots[0];
    if (milliseconds > 0) {
        SetTimer(target == 1 ? main.Client : main.Frame.get(), static_cast<UINT_PTR>(timerId), static_cast<UINT>(milliseconds), nullptr);
        return;
    }
    if (main.Client) KillTimer(main.Client, static_cast<UINT_PTR>(timerId));
    if (main.Frame) KillTimer(main.Frame.get(), static_cast<UINT_PTR>(timerId));
}

void YYTimedWait(INTEGER hundredths)
{
    HWND client = windowSlotTable().Slots[0].Client;
    if (!client || !SetTimer(client, 999, static_cast<UINT>(std::max<INTEGER>(hundredths, 0) * 10), nullptr)) return;
    timedWaitArmed() = true;
    MSG message{};
    while (timedWaitArmed()) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == -1) continue;
        if (got == 0) {  // keep the quit request for the application's own loop
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    timedWaitArmed() = false;
}

void YYTickCount(INTEGER& value) { value = static_cast<INTEGER>(GetTickCount() & 0x7FFFFFFFu); }

bool YYTimedWaitArmed() { return timedWaitArmed(); }
void YYTimedWaitDisarm() { timedWaitArmed() = false; }
