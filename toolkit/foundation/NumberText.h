// Numbers into text through formats in edit-descriptor notation ("(I11)", "(F8.2)", "(1PE8.1)",
// "(G15.5E2)"). The text's length is its size on entry; the result is blank-padded to it.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

// Writes the value with the format from the text's first character. A value that does not fit,
// an invalid format or output longer than the text gives "**********" (cut to the text) and
// error 18.
void IntegerToString(INTEGER value, std::string& text, std::string_view format);
void IRealToString(REAL value, std::string& text, std::string_view format);
void IDoubleToString(DOUBLE value, std::string& text, std::string_view format);

// Toolkit-internal

// "(I11)" output, left-justified, a NUL after the last digit, blank-padded.
void yyint2st(INTEGER value, std::string& text);
// The formatted value left-justified, a NUL after it; the write status goes to the file detail
// code of LibraryErrorState (0 success). A too-narrow descriptor gives its asterisks unreported.
void yyrea2st(REAL value, std::string& text, std::string_view format);
void yydbl2st(DOUBLE value, std::string& text, std::string_view format);

// Moves the text's non-blank span to the start ("L"), the end ("R") or the middle (any other
// mode; an odd spare blank goes to the right).
void YYLeftJustify(std::string& text, std::string_view mode);

// The formatted write itself: the value (an INTEGER when isInteger, else the DOUBLE) written with
// the format into out. False when the format is invalid for the value or unsupported; a value too
// wide for its descriptor gives that descriptor's asterisks and still succeeds.
bool YYFormatWrite(bool isInteger, INTEGER integerValue, DOUBLE realValue, std::string_view format, std::string& out);
