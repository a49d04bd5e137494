// The error reporter's Windows services: the system's error texts, the task-modal error box and
// the process exit.
#include <string>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/WinApi.h"

void YYSystemErrorText(INTEGER code, char* buffer, INTEGER size)
{
    if (size <= 0) return;
    buffer[0] = '\0';
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        static_cast<DWORD>(code), 0x400, buffer, static_cast<DWORD>(size), nullptr);
    if (length == 0) buffer[0] = '\0';
}

void YYTaskModalErrorBox(std::string_view title, std::string_view text)
{
    const std::string titleText(title), messageText(text);
    MessageBoxA(nullptr, messageText.c_str(), titleText.c_str(), MB_TASKMODAL | MB_ICONHAND | MB_OK);
}

void YYProcessExit(INTEGER code) { ExitProcess(static_cast<UINT>(code)); }
