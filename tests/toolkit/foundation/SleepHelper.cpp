// A program for the program-runner tests: sleeps the milliseconds given as its argument, then
// ends with exit code 7.
#include <cstdlib>

#include "toolkit/foundation/WinApi.h"

int main(int argc, char** argv)
{
    Sleep(argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 0);
    return 7;
}
