#include "toolkit/foundation/MessageBoxes.h"

#include <string>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/StatusBar.h"
#include "toolkit/foundation/WindowEngineHooks.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"

namespace {

std::string trimmed(std::string_view text)
{
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return std::string(text);
}

INTEGER libraryErrorBox(std::string_view text, std::string_view title)
{
    WMessageBox(1, 3, 1, text, title);
    return dialogManagerHooks().dialogQuery(4);
}

void statusBarText(std::string_view text)
{
    WindowEngineState& e = windowEngineState();
    if (!windowSlotTable().Slots[0].StatusBar) return;
    const INTEGER previous = e.CurrentWindow;
    QuietErrors quiet;
    WindowSetCurrent(0);
    WStatusBarText(1, text);
    WindowSetCurrent(previous);
}

}  // namespace

ModalSystemDialogFrame::ModalSystemDialogFrame()
    : owner_(dialogManagerHooks().dialogOwnerWindow()), focus_(GetFocus())
{
    dialogManagerHooks().dialogsDisable(owner_, 1);
}

ModalSystemDialogFrame::~ModalSystemDialogFrame()
{
    HWND semiModeless = dialogManagerHooks().semiModelessDialog();
    dialogManagerHooks().dialogsEnable(semiModeless ? semiModeless : owner_, 1);
    if (owner_ && IsWindow(owner_) && (GetWindowLongA(owner_, GWL_STYLE) & WS_CHILD)) {
        SetFocus(owner_);
        YYWindowActivate(owner_);
    }
    if (focus_ && IsWindow(focus_) && owner_ && (focus_ == owner_ || IsChild(owner_, focus_))) SetFocus(focus_);
}

INTEGER YYDefaultButtonIndex(INTEGER buttonSet, INTEGER defaultButton)
{
    if (buttonSet < 1 || buttonSet > 5) return 1;
    if (defaultButton == 1) return buttonSet == 5 ? 2 : 1;
    if (defaultButton == 2) return buttonSet == 5 ? 1 : 2;
    return buttonSet >= 4 ? 3 : 2;
}

UINT YYMessageBoxStyle(INTEGER buttonSet, INTEGER icon, INTEGER defaultIndex)
{
    static constexpr UINT kSets[] = {MB_OK, MB_OKCANCEL, MB_RETRYCANCEL, MB_YESNO, MB_YESNOCANCEL, MB_ABORTRETRYIGNORE};
    static constexpr UINT kIcons[] = {0, MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION, MB_ICONASTERISK};
    static constexpr UINT kDefaults[] = {MB_DEFBUTTON1, MB_DEFBUTTON1, MB_DEFBUTTON2, MB_DEFBUTTON3};
    const UINT set = buttonSet >= 1 && buttonSet <= 5 ? kSets[buttonSet] : MB_OK;
    const UINT iconStyle = icon >= 1 && icon <= 4 ? kIcons[icon] : 0;
    const UINT defaultStyle = defaultIndex >= 1 && defaultIndex <= 3 ? kDefaults[defaultIndex] : MB_DEFBUTTON1;
    return set | iconStyle | defaultStyle;
}

INTEGER YYMessageBoxResult(int answer)
{
    switch (answer) {
    case IDOK: case IDRETRY: case IDYES: return 1;
    case IDCANCEL: case IDIGNORE: return 0;
    case IDABORT: case IDNO: return 2;
    default: return -1;
    }
}

void YYMessageBoxShow(INTEGER buttonSet, INTEGER icon, INTEGER defaultIndex, INTEGER& result,
                      std::string_view message, std::string_view title)
{
    const std::string text(message), caption(title);
    int answer = 0;
    YYModalSystemDialog([&](HWND owner) {
        answer = MessageBoxA(owner, text.c_str(), caption.c_str(), YYMessageBoxStyle(buttonSet, icon, defaultIndex));
    });
    result = YYMessageBoxResult(answer);
}

void WMessageBox(INTEGER buttonSet, INTEGER icon, INTEGER defaultButton, std::string_view message,
                 std::string_view title)
{
    const INTEGER index = YYDefaultButtonIndex(buttonSet, defaultButton);
    INTEGER snapshotStatus = 0;
    dialogManagerHooks().windowSnapshots(1, -1, snapshotStatus);
    if (snapshotStatus != 0) YYErrorReport(snapshotStatus, "WMessageBox");
    INTEGER result = -1;
    YYMessageBoxShow(buttonSet, icon, index, result, trimmed(message), trimmed(title));
    dialogManagerHooks().windowSnapshots(0, -1, snapshotStatus);
    dialogManagerHooks().commonDialogEnded(result);
    if (result == -1) YYErrorReport(1004, "WMessageBox");
}

void YYErrorReportHooksInstall()
{
    ErrorReportHooks& hooks = errorReportHooks();
    hooks.libraryErrorBox = &libraryErrorBox;
    if (!hooks.statusBarText) hooks.statusBarText = &statusBarText;
}
