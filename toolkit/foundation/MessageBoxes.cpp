#include "toolkit/foundation/MessageBoxes.h"

#include <algorithm>
#include <string>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/Handles.h"
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

// The system sizes a message box to its text and buttons only, so a short text cuts the caption
// ("Brevalon Library Messag"). Once the box has laid itself out, it is widened until its caption
// and close button fit, and its contents move along so that they stay centred.
void fitCaption(HWND box)
{
    char name[16] = {};
    GetClassNameA(box, name, sizeof name);
    if (std::string_view(name) != "#32770") return;
    const int length = GetWindowTextLengthA(box);
    if (length <= 0) return;
    std::string caption(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(box, caption.data(), length + 1);
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return;
    GdiObjectHandle font(CreateFontIndirectA(&metrics.lfCaptionFont));
    WindowDc dc(box);
    SIZE text{};
    {
        DcSelection select(dc.get(), font.get());
        GetTextExtentPoint32A(dc.get(), caption.c_str(), length, &text);
    }
    // The caption: a margin, the text, a gap as wide as a caption button, and the close button.
    const int button = GetSystemMetrics(SM_CXSIZE);
    RECT window{}, client{};
    GetWindowRect(box, &window);
    GetClientRect(box, &client);
    const int needed = text.cx + 2 * button + 2 * GetSystemMetrics(SM_CXEDGE);
    const int delta = needed - client.right;
    if (delta <= 0) return;
    const int left = std::max<int>(window.left - delta / 2, 0);
    SetWindowPos(box, nullptr, left, window.top, window.right - window.left + delta, window.bottom - window.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(child, nullptr, r.left + delta / 2, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT CALLBACK messageBoxHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (call->message == WM_INITDIALOG) fitCaption(call->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
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
        HookHandle fit(SetWindowsHookExA(WH_CALLWNDPROCRET, &messageBoxHook, nullptr, GetCurrentThreadId()));
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
