#include "tests/support/ToolkitSession.h"

#include "tests/support/GuiHarness.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"

namespace ToolkitSession {

void drainEvents()
{
    INTEGER type = 0;
    EventRecord record{};
    for (int i = 0; i < 100; ++i) {
        WEventPeek(type, record);
        if (type == -1) return;
    }
}

EventRecord nextEvent(INTEGER& type, DWORD deadlineMs)
{
    EventRecord record{};
    const DWORD end = GetTickCount() + deadlineMs;
    for (;;) {
        WEventPeek(type, record);
        if (type != -1 || static_cast<LONG>(end - GetTickCount()) <= 0) return record;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

std::vector<INTEGER> eventsWithin(DWORD quietMs, std::vector<EventRecord>* records)
{
    std::vector<INTEGER> types;
    DWORD end = GetTickCount() + quietMs;
    for (int guard = 0; guard < 1000; ++guard) {
        INTEGER type = 0;
        EventRecord record{};
        WEventPeek(type, record);
        if (type != -1) {
            types.push_back(type);
            if (records) records->push_back(record);
            end = GetTickCount() + quietMs;
            continue;
        }
        if (static_cast<LONG>(end - GetTickCount()) <= 0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return types;
}

INTEGER unloadAllDialogs()
{
    DialogTable& t = dialogTable();
    for (INTEGER before = -1; t.count > 0 && t.count != before;) {
        before = t.count;
        YYDialogUnload(0, 1);
    }
    return t.count;
}

void closeAllWindows()
{
    YYWindowsDestroyAll();
    windowEngineState().MainWindowOpen = 0;
    GuiHarness::pumpPending();
}

}  // namespace ToolkitSession
