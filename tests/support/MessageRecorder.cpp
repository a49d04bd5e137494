#include "tests/support/MessageRecorder.h"

#include "WBRVLib/Brvl95.h"

namespace {
std::vector<std::string>& texts()
{
    static std::vector<std::string> recorded;
    return recorded;
}
}  // namespace

const std::vector<std::string>& MessageRecorder::shown() { return texts(); }
void MessageRecorder::clear() { texts().clear(); }

void WINMSG(std::string_view text) { texts().emplace_back(text); }
