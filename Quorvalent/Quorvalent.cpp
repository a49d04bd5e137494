// The main program.
#include "toolkit/foundation/WinApi.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // The window, the wizard and the event loop stand on the toolkit, which comes next;
    // for now the program starts and ends cleanly.
    return 0;
}
