// The error reporter's Windows services: the task-modal error box and the process exit.
#include <string>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/WinApi.h"

void YYTaskModalErrorBox(std::string_view title, std::string_view text)
{
    const std::string titleText(title), messageText(text);
    MessageBoxA(nullptr, messageText.c_str(), titleText.c_str(), MB_TASKMODAL | MB_ICONHAND | MB_OK);
}

void YYProcessExit(INTEGER code) { ExitProcess(static_cast<UINT>(code)); }
