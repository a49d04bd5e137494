// Keeps a test display's Wine desktop open for the whole test run. Wine closes a desktop a second
// after its last program ends; the next program then starts a new desktop process, which takes
// that program's error output with it: the test runner, reading that pipe, waits for the desktop
// process to end, which can be long after the test program itself has ended. The test command
// starts this once per display, detached from every output, and ends it with the Wine server.
#include "toolkit/foundation/WinApi.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    GetDesktopWindow();
    Sleep(INFINITE);
    return 0;
}
