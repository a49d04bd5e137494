// What toolkit GUI tests share around the toolkit itself: handing out events through the
// toolkit's own poll (the only place where events are recorded, so a plain message pump would
// lose them), and taking down every dialog and window between tests.
#pragma once

#include <vector>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EventRecord.h"
#include "toolkit/foundation/WinApi.h"

namespace ToolkitSession {

// Hands out whatever events are queued now and forgets them.
void drainEvents();

// The next delivered event, waiting at most deadlineMs; type -1 when none came.
EventRecord nextEvent(INTEGER& type, DWORD deadlineMs = 3000);

// The types (and, when asked, the records) of the events delivered until none has come for
// quietMs.
std::vector<INTEGER> eventsWithin(DWORD quietMs, std::vector<EventRecord>* records = nullptr);

// Unloads loaded dialogs from the first index on until none is left or one refuses to go;
// returns how many are still loaded.
INTEGER unloadAllDialogs();

// Destroys every toolkit window as shut-down does, lets the next test open the main window
// again, and pumps what the destruction posted.
void closeAllWindows();

}  // namespace ToolkitSession
