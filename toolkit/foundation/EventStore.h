// Event recording: every toolkit window procedure reports what happened through YYEventStore,
// which keeps one recorded event for the wait that collects it.
#pragma once

#include <array>
#include <deque>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EventRecord.h"
#include "toolkit/foundation/WinApi.h"

// EventTypeCode and EventRecord live in EventRecord.h, which callers outside the toolkit include.

struct EventEnableTable {
    std::array<INTEGER, 16> Flags{};
};

struct RecordedEvent {
    INTEGER Type = 0, Window = 0;
    std::array<INTEGER, 4> Values{};
    INTEGER X = 0, Y = 0, Time = 0;
};

struct CurrentEventState {
    RecordedEvent Recorded;
    INTEGER WaitState = 0;        // 1 while a wait or poll collects, 0 once an event is recorded
    INTEGER InWait = 0;
    INTEGER FirstChange = 0;
    INTEGER DispatchingPaint = 0;
    RecordedEvent Deferred;       // a field change raised after this wait already has its event
    INTEGER LastResizeWidth = 0, LastResizeHeight = 0;
    std::deque<RecordedEvent> HandedBack;  // events a dialog's own wait took for other windows
};

struct PendingEventTable {
    std::array<RecordedEvent, 51> Entries;  // type 0 none, 7 expose, 8 resize
};

EventEnableTable& eventEnableTable();
CurrentEventState& currentEventState();
PendingEventTable& pendingEventTable();

// Waits for the next enabled event and returns its type and record.
void WEventWait(INTEGER& type, EventRecord& record);
// Returns at once: the next event, or type -1 with words 1 to 7 and 12 set to -1.
void WEventPeek(INTEGER& type, EventRecord& record);
// Switches delivery of an event type on (1) or off (0); types outside 1 to 16 are ignored.
void WEventEnable(INTEGER type, INTEGER flag);

// Toolkit-internal

void YYEventEnableSet(INTEGER type, INTEGER flag);
void YYEventEnableGet(INTEGER type, INTEGER& flag);
// The defaults: types 1, 2, 3, 4, 7, 8, 9, 13 and 14 on, the others off.
void YYEventEnableDefaults();
void YYEventStore(INTEGER type, INTEGER value, WPARAM wParam, LPARAM lParam, HWND window);
ToolkitKeyCode YYKeyCodeMap(INTEGER virtualKey, INTEGER modifierOffset);
INTEGER YYMouseButtonState(WPARAM keyFlags);
// The status bar of the window or of its nearest ancestor window that has one; null when none.
HWND YYStatusBarOfWindow(INTEGER window);
// Hands a just-raised expose or resize of a drawing client to its pending entry when no wait takes it.
void YYEventPendingKeep(HWND client);
void YYEventWaitLoop(INTEGER& type, EventRecord& record, INTEGER& delivered);
// Gives back an event that a toolkit dialog's own wait collected for another window (a raw record
// of YYEventWaitLoop): later waits and polls deliver it, in order, before anything new.
void YYEventHandBack(INTEGER type, const EventRecord& record);
void YYEventPeekLoop(INTEGER& type, EventRecord& record, INTEGER& delivered);
void YYEventConvertPosition(INTEGER type, EventRecord& record);
// Routes one message: modeless dialog, editor and window accelerators, then dispatch.
void YYEventRoute(MSG& message);
void YYTimerSet(INTEGER milliseconds, INTEGER timerId, INTEGER target);
void YYTimedWait(INTEGER hundredths);
void YYClientSize(INTEGER kind, INTEGER identifier, INTEGER& width, INTEGER& height);
void YYTickCount(INTEGER& value);
// The timed wait's timer 999 on the main drawing client.
bool YYTimedWaitArmed();
void YYTimedWaitDisarm();
