// Message boxes: the system's boxes with the toolkit's button sets, icons and default buttons,
// modal over every toolkit window, their answer kept as the last dialog result.
#pragma once

#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

// Button sets 0 OK, 1 OK/Cancel, 2 Retry/Cancel, 3 Yes/No, 4 Yes/No/Cancel, 5 Abort/Retry/Ignore;
// icons 1 stop, 2 question, 3 exclamation, 4 information. Result (WDialogQuery code 4): 1 OK,
// Retry or Yes; 0 Cancel or Ignore; 2 Abort or No.
void WMessageBox(INTEGER buttonSet, INTEGER icon, INTEGER defaultButton, std::string_view message,
                 std::string_view title);

// Toolkit-internal

// The index (1 to 3) of the default button for a button set and default-button code.
INTEGER YYDefaultButtonIndex(INTEGER buttonSet, INTEGER defaultButton);
// MessageBoxA's style for the codes.
UINT YYMessageBoxStyle(INTEGER buttonSet, INTEGER icon, INTEGER defaultIndex);
// MessageBoxA's answer as the toolkit's result (-1 when the box could not be shown).
INTEGER YYMessageBoxResult(int answer);
void YYMessageBoxShow(INTEGER buttonSet, INTEGER icon, INTEGER defaultIndex, INTEGER& result,
                      std::string_view message, std::string_view title);
// Runs a modal system dialog the toolkit's way: owner from the dialog manager, every other window
// and dialog disabled while it runs, focus restored afterwards. The owner is handed to the call.
template <class Call>
void YYModalSystemDialog(Call call);
// Installs the library error box of the reporter's message-box mode and the status-bar text of its
// status-bar mode.
void YYErrorReportHooksInstall();

// The owner/disable/restore frame shared by every modal system dialog.
class ModalSystemDialogFrame {
public:
    ModalSystemDialogFrame();
    ~ModalSystemDialogFrame();
    ModalSystemDialogFrame(const ModalSystemDialogFrame&) = delete;
    ModalSystemDialogFrame& operator=(const ModalSystemDialogFrame&) = delete;
    HWND owner() const { return owner_; }

private:
    HWND owner_ = nullptr;
    HWND focus_ = nullptr;
};

template <class Call>
void YYModalSystemDialog(Call call)
{
    ModalSystemDialogFrame frame;
    call(frame.owner());
}
