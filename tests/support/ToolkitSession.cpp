#include "tests/support/ToolkitSession.h"

#include <algorithm>

#include "tests/support/GuiHarness.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/foundation/CommonDialogs.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/MainWindow.h"
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

bool DeliveredEvents::has(INTEGER type) const
{
    for (INTEGER t : types)
        if (t == type) return true;
    return false;
}

std::vector<EventRecord> DeliveredEvents::of(INTEGER type) const
{
    std::vector<EventRecord> found;
    for (std::size_t k = 0; k < types.size(); ++k)
        if (types[k] == type) found.push_back(records[k]);
    return found;
}

namespace {

DeliveredEvents collectUntil(const GuiHarness::Sentinel& sentinel, DWORD deadlineMs)
{
    DeliveredEvents delivered;
    const DWORD end = GetTickCount() + deadlineMs;
    for (;;) {
        INTEGER type = 0;
        EventRecord record{};
        WEventPeek(type, record);
        if (type != -1) {
            delivered.types.push_back(type);
            delivered.records.push_back(record);
            continue;
        }
        if (sentinel.arrived()) {
            delivered.complete = true;
            return delivered;
        }
        const DWORD now = GetTickCount();
        if (static_cast<LONG>(end - now) <= 0) return delivered;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(end - now, 20), QS_ALLINPUT);
    }
}

}  // namespace

DeliveredEvents eventsBeforeSentinel(DWORD deadlineMs)
{
    GuiHarness::Sentinel sentinel;
    sentinel.post();
    return collectUntil(sentinel, deadlineMs);
}

DeliveredEvents eventsBeforeTimerSentinel(DWORD delayMs, DWORD deadlineMs)
{
    GuiHarness::Sentinel sentinel;
    sentinel.postAfter(std::chrono::milliseconds(delayMs));
    return collectUntil(sentinel, deadlineMs);
}

void openMainWindow(std::string_view title, INTEGER width, INTEGER height, INTEGER x, INTEGER y)
{
    WindowDescriptionRecord record;
    record.Flags = 7;
    record.X = x;
    record.Y = y;
    record.Width = width;
    record.Height = height;
    record.Title.assign(title);
    WindowOpenDescribed(record, 256);
    GuiHarness::pumpPending();
}

NoPrinter::NoPrinter()
    : device_(pageSetupState().deviceName), driver_(pageSetupState().driverName), port_(pageSetupState().outputPort)
{
    pageSetupState().deviceName = "No Such Printer";
    pageSetupState().driverName = "winspool";
    pageSetupState().outputPort = "";
}

NoPrinter::~NoPrinter()
{
    pageSetupState().deviceName = device_;
    pageSetupState().driverName = driver_;
    pageSetupState().outputPort = port_;
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
