// Message boxes of the utility library (Windows).
#include <string>

#include "WBRVLib/Brvl95.h"
#include "toolkit/foundation/WinApi.h"

namespace {
constexpr const char* kLibraryCaption = "Brevalon Library Message";
}

void WINMSG(std::string_view text)
{
    // Until the toolkit's message-box routine exists the box is shown directly; the owner is the
    // active window so the box stays in front of the program.
    const std::string message(text);
    MessageBoxA(GetActiveWindow(), message.c_str(), kLibraryCaption, MB_OK | MB_ICONINFORMATION);
}
