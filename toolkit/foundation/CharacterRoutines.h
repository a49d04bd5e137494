// Small routines on blank-padded texts: case, first non-blank, first word, case-insensitive
// search, option-letter sets, and the public beep switch. Positions are 1-based, 0 means "not
// found"; only the ASCII letters change case.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

// Switches beeps on ("ON "), off ("OFF"), or sounds one now (any other text).
void WBeepControl(std::string_view text);

// Toolkit-internal

void YYUpperCase(std::string& text);
void YYLowerCase(std::string& text);
// Position of the first character that is neither blank nor NUL; 0 when none.
INTEGER YYFirstNonBlank(std::string_view text);
// The first blank-delimited word: first and last positions, both 0 when the text is blank.
void YYFirstWord(std::string_view text, INTEGER& first, INTEGER& last);
// Case-insensitive position of the whole pattern (trailing blanks included) in the text: the
// first occurrence, or the last one when backward is true; 0 when not found.
INTEGER YYFindSubstring(std::string_view text, std::string_view pattern, LOGICAL backward = kFalse);
// Whether the character is in the set, or its lower-case form is: a lower-case set matches both
// cases, an upper-case set only upper case.
LOGICAL YYCharInSet(std::string_view set, char character);

// The beep switch and the beep itself live with the window engine, which installs them here; until
// it does, WBeepControl changes nothing audible.
struct BeepControlHooks {
    void (*beepSwitch)(INTEGER on) = nullptr;  // YYBeepSwitch: 1 on, 0 off
    void (*beep)() = nullptr;                  // YYBeep: the default system sound when beeps are on
};
BeepControlHooks& beepControlHooks();
