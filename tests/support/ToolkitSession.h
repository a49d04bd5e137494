// What toolkit GUI tests share around the toolkit itself: handing out events through the
// toolkit's own poll (the only place where events are recorded, so a plain message pump would
// lose them), and taking down every dialog and window between tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EventRecord.h"
#include "toolkit/foundation/WinApi.h"

namespace ToolkitSession {

// Hands out whatever events are queued now and forgets them.
void drainEvents();

// The next delivered event, waiting at most deadlineMs; type -1 when none came.
EventRecord nextEvent(INTEGER& type, DWORD deadlineMs = 3000);

// The events the toolkit delivered through its poll before a sentinel (GuiHarness::Sentinel)
// came back: every event the action before it raised is in them, so an event missing from them
// was not raised. Not complete when the sentinel did not come back before the deadline.
struct DeliveredEvents {
    bool complete = false;
    std::vector<INTEGER> types;
    std::vector<EventRecord> records;
    bool has(INTEGER type) const;
    // The records of the events of one type.
    std::vector<EventRecord> of(INTEGER type) const;
};
DeliveredEvents eventsBeforeSentinel(DWORD deadlineMs = 5000);
// The same with the sentinel sent off by a timer after the delay, for actions that are timers.
DeliveredEvents eventsBeforeTimerSentinel(DWORD delayMs, DWORD deadlineMs = 5000);

// Opens the toolkit's main window (flags 7, 256 palette slots) at the position
// (negative: centred) with the size and title, and pumps what opening posted.
void openMainWindow(std::string_view title, INTEGER width, INTEGER height, INTEGER x = -1, INTEGER y = -1);

// Names a printer that does not exist as the page set-up's printer for its scope, for the paths
// without any printer; the names before come back at its end.
class NoPrinter {
public:
    NoPrinter();
    ~NoPrinter();
    NoPrinter(const NoPrinter&) = delete;
    NoPrinter& operator=(const NoPrinter&) = delete;

private:
    std::string device_, driver_, port_;
};

// Unloads loaded dialogs from the first index on until none is left or one refuses to go;
// returns how many are still loaded.
INTEGER unloadAllDialogs();

// Destroys every toolkit window as shut-down does, lets the next test open the main window
// again, and pumps what the destruction posted.
void closeAllWindows();

}  // namespace ToolkitSession
