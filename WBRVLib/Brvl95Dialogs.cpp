// Stop-request test, question boxes and the save-changes dialog of the utility library
// (platform-free: everything goes through the toolkit).
#include "WBRVLib/Brvl95.h"

namespace {
// WDialogQuery code of the last box's pressed button, and of a modal dialog's exit button.
constexpr INTEGER kQueryExitButton = 1;
constexpr INTEGER kQueryBoxResult = 4;
constexpr INTEGER kBoxYes = 1;     // also OK
constexpr INTEGER kBoxCancel = 0;

INTEGER showBox(INTEGER buttonSet, INTEGER icon, INTEGER defaultButton, std::string_view text)
{
    WMessageBox(buttonSet, icon, defaultButton, text, kLibraryCaption);
    return WDialogQuery(kQueryBoxResult);
}
}  // namespace

StopRequestState& stopRequestState()
{
    static StopRequestState state;
    return state;
}

LOGICAL LKILLEV(LOGICAL reset, INTEGER& type, EventRecord& record)
{
    StopRequestState& state = stopRequestState();
    if (reset != 0) {
        state.StopLatch = kFalse;
        return kFalse;
    }
    // The peek also lets the toolkit dispatch pending repaints while a calculation runs.
    WEventPeek(type, record);
    if (type == kEventPushButton) state.StopLatch = kTrue;
    return state.StopLatch;
}

LOGICAL LKILL(LOGICAL reset)
{
    StopRequestState& state = stopRequestState();
    return LKILLEV(reset, state.LastEventType, state.LastEvent);
}

void WINMSGC(std::string_view text, LOGICAL& cancelled) { cancelled = toLogical(showBox(1, 4, 1, text) == kBoxCancel); }

void WINWRN(std::string_view text) { showBox(0, 3, 1, text); }

void WINQUE(std::string_view text, LOGICAL& answer) { answer = toLogical(showBox(3, 2, isTrue(answer) ? 1 : 2, text) == kBoxYes); }

void WINANS(std::string_view text, LOGICAL& answer) { answer = toLogical(showBox(3, 3, 2, text) == kBoxYes); }

void SAVEFILEDLG(std::string_view text, LOGICAL& yes, LOGICAL& cancel)
{
    WDialogLoad(101, std::nullopt, std::nullopt);
    WDialogPutString(1002, text);
    WDialogShow(-1, -1, 0, 1);
    switch (WDialogQuery(kQueryExitButton)) {
    case 6: yes = kTrue; cancel = kFalse; break;
    case 7: yes = kFalse; cancel = kFalse; break;
    case 2: cancel = kTrue; break;
    default: break;
    }
}
