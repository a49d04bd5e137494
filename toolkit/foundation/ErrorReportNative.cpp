// The error reporter's services in the native tree, where the platform-free modules are tested:
// the C library's error texts, the error box on the standard error stream, the process exit.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "toolkit/foundation/ErrorReport.h"

void YYSystemErrorText(INTEGER code, char* buffer, INTEGER size)
{
    if (size <= 0) return;
    std::snprintf(buffer, static_cast<std::size_t>(size), "%s\r\n", std::strerror(code));
}

void YYTaskModalErrorBox(std::string_view title, std::string_view text)
{
    const std::string line = std::string(title) + ": " + std::string(text) + "\n";
    std::fputs(line.c_str(), stderr);
}

void YYProcessExit(INTEGER code) { std::_Exit(code); }
