// The utility library's number, array and message-box routines.
#pragma once

#include <string_view>

// Shows the text in a modal box with one OK button, the information icon and the caption
// "Brevalon Library Message"; returns when the user closes it. The error and notice box of the
// whole application.
void WINMSG(std::string_view text);
