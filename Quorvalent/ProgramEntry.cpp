// The program file's entry point: the main program never returns.
#include "Quorvalent/Quorvalent.h"
#include "toolkit/foundation/WinApi.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { QUORVALENT(); }
