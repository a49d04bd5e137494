// Keeps a test display's Wine desktop open for the whole test run. Wine closes a desktop a second
// after its last program ends; the next program then starts a new desktop process, which takes
// that program's error output with it: the test runner, reading that pipe, waits for the desktop
// process to end, which can be long after the test program itself has ended. The test command
// starts this once per display, detached from every output, waits for the file named on its
// command line (the desktop is up: no test program starts it), and ends it with the Wine server.
#include <string>

#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WinApi.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    GetDesktopWindow();
    const std::string ready(commandLine ? commandLine : "");
    if (!ready.empty()) FileHandle(CreateFileA(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    Sleep(INFINITE);
    return 0;
}
