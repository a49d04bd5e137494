// INTERIM BINDING of WBRVLib/ToolkitLink.h to plain Win32, used until the toolkit's message
// boxes, events, dialogs and operating-system services are linked. Delete this file (and its line
// in WBRVLib/CMakeLists.txt) when the toolkit provides these routines.
//
// What it does not do: the event poll dispatches pending window messages but never reports a
// toolkit event (the toolkit's event recorder does not exist yet); dialogs cannot be loaded, so a
// modal dialog's exit button stays 0; graphics text is not bound here.
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

void WEventPeek(INTEGER& type, EventRecord& record)
{
    // Keeps the windows alive during a long calculation: every pending message is dispatched.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    type = kEventNone;
    for (int word : {0, 1, 2, 3, 4, 5, 6, 11}) record.Words[static_cast<std::size_t>(word)] = -1;
}

void WDialogLoad(INTEGER) { interimDialogResults().LastExitButton = 0; }
void WDialogPutString(INTEGER, std::string_view) {}
void WDialogShow(INTEGER, INTEGER, INTEGER, INTEGER) {}

void IOsCommandWord(INTEGER number, std::string& word)
{
    std::string text;
    if (number == 0) {
        char path[MAX_PATH + 1] = {};
        const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
        text.assign(path, std::min<DWORD>(n, MAX_PATH));
    } else if (number > 0 && number < __argc) {
        text = __argv[number];
    }
    word = blankPadded(text, 255);
}

void IOsUserName(std::string& name)
{
    char buffer[257] = {};
    DWORD size = sizeof buffer;
    if (!GetUserNameA(buffer, &size)) {
        libraryErrorState().SystemDetailCode = static_cast<INTEGER>(GetLastError());
        YYErrorReport(13, "IOsUserName");
        name = blankPadded("", 80);
        return;
    }
    name = blankPadded(buffer, 80);
}

LOGICAL IOsDirIsPresent(std::string_view path)
{
    const DWORD attributes = GetFileAttributesA(withoutTrailingBlanks(path).c_str());
    return toLogical(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
}

void IOsDirMake(std::string_view path)
{
    if (!CreateDirectoryA(withoutTrailingBlanks(path).c_str(), nullptr)) {
        libraryErrorState().SystemDetailCode = static_cast<INTEGER>(GetLastError());
        YYErrorReport(13, "IOsDirMake");
    }
}

void IOsDirChange(std::string_view path)
{
    if (!SetCurrentDirectoryA(withoutTrailingBlanks(path).c_str())) {
        libraryErrorState().SystemDetailCode = static_cast<INTEGER>(GetLastError());
        YYErrorReport(13, "IOsDirChange");
    }
}

void IOsDirName(std::string& name)
{
    char buffer[MAX_PATH + 1] = {};
    const DWORD n = GetCurrentDirectoryA(MAX_PATH, buffer);
    name = blankPadded(std::string(buffer, n <= MAX_PATH ? n : 0), 255);
}
