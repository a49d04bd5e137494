// Test seam for WINMSG: tests that link qv_test_messages get every text recorded here instead
// of a modal box.
#pragma once

#include <string>
#include <vector>

namespace MessageRecorder {
// Texts shown since the last clear, in order.
const std::vector<std::string>& shown();
void clear();
}  // namespace MessageRecorder
