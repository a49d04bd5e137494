// INTERIM BINDING of the message-box and dialog calls of WBRVLib/ToolkitLink.h to plain Win32,
// used until the toolkit's message boxes and dialog manager are linked. The event poll and the
// operating-system services already come from the toolkit. Delete this file (and its line in
// WBRVLib/CMakeLists.txt) when the toolkit provides the rest.
//
// What it does not do: dialogs cannot be loaded, so a modal dialog's exit button stays 0;
// graphics text is not bound here.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "WBRVLib/ToolkitLink.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/WinApi.h"

namespace {

struct InterimDialogResults {
    INTEGER LastBoxResult = 0;
    INTEGER LastExitButton = 0;
};

InterimDialogResults& interimDialogResults()
{
    static InterimDialogResults results;
    return results;
}

std::string withoutTrailingBlanks(std::string_view text)
{
    std::size_t n = text.size();
    while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\0')) --n;
    return std::string(text.substr(0, n));
}

std::string blankPadded(std::string text, std::size_t length)
{
    if (text.size() < length) text.resize(length, ' ');
    return text;
}

UINT buttonFlags(INTEGER buttonSet)
{
    switch (buttonSet) {
    case 1: return MB_OKCANCEL;
    case 2: return MB_RETRYCANCEL;
    case 3: return MB_YESNO;
    case 4: return MB_YESNOCANCEL;
    case 5: return MB_ABORTRETRYIGNORE;
    default: return MB_OK;
    }
}

UINT iconFlags(INTEGER icon)
{
    switch (icon) {
    case 1: return MB_ICONHAND;
    case 2: return MB_ICONQUESTION;
    case 3: return MB_ICONEXCLAMATION;
    case 4: return MB_ICONASTERISK;
    default: return 0;
    }
}

// Default button 1 is the button answering 1 (OK, Retry, Yes); 2 the one answering 2 (No,
// Abort), for the two-button sets the second; any other value the second of two, Cancel of
// Yes/No/Cancel, Ignore of Abort/Retry/Ignore, OK alone.
UINT defaultFlags(INTEGER buttonSet, INTEGER defaultButton)
{
    const bool twoButtons = buttonSet >= 1 && buttonSet <= 3;
    if (defaultButton == 1) return MB_DEFBUTTON1;
    if (defaultButton == 2) {
        if (twoButtons || buttonSet == 4) return MB_DEFBUTTON2;
        return MB_DEFBUTTON1;
    }
    if (twoButtons) return MB_DEFBUTTON2;
    if (buttonSet == 4 || buttonSet == 5) return MB_DEFBUTTON3;
    return MB_DEFBUTTON1;
}

INTEGER boxResult(int answer)
{
    switch (answer) {
    case IDOK: case IDRETRY: case IDYES: return 1;
    case IDCANCEL: case IDIGNORE: return 0;
    case IDABORT: case IDNO: return 2;
    default: return -1;
    }
}

}  // namespace

void WMessageBox(INTEGER buttonSet, INTEGER icon, INTEGER defaultButton, std::string_view message, std::string_view caption)
{
    const std::string text = withoutTrailingBlanks(message);
    const std::string title = withoutTrailingBlanks(caption);
    const UINT flags = buttonFlags(buttonSet) | iconFlags(icon) | defaultFlags(buttonSet, defaultButton) | MB_SETFOREGROUND;
    const int answer = MessageBoxA(GetActiveWindow(), text.c_str(), title.c_str(), flags);
    interimDialogResults().LastBoxResult = boxResult(answer);
}

INTEGER WDialogQuery(INTEGER code)
{
    if (code == 4) return interimDialogResults().LastBoxResult;
    if (code == 1) return interimDialogResults().LastExitButton;
    return 0;
}

void WDialogLoad(INTEGER) { interimDialogResults().LastExitButton = 0; }
void WDialogPutString(INTEGER, std::string_view) {}
void WDialogShow(INTEGER, INTEGER, INTEGER, INTEGER) {}
