// Text into numbers with the toolkit's own parsers: only the first blank-delimited word counts,
// "." and "," are both decimal points, and every failure has a fixed error number (4 too large,
// 10 blank, 11 two decimal points, 12 invalid character) and leaves the value 0.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

void IStringToInteger(std::string_view text, INTEGER& value);
void IStringToReal(std::string_view text, REAL& value);
// Also reports under "IStringToReal"; accepts D and d as exponent letters too.
void IStringToRealDouble(std::string_view text, DOUBLE& value);
// Parse the first word, then blank it in the text; a blank text gives 0 and error 10.
void INextInteger(std::string& text, INTEGER& value);
void INextReal(std::string& text, REAL& value);

// Toolkit-internal

// Quiet parsers for typed field and cell texts: the text ends at its first NUL; the report mode
// and the last error number are the same afterwards; a failure leaves the fallback 0.
void YYParseNumber(DOUBLE& value, std::string_view text);
// flag := 1 when the text parsed, 0 otherwise.
void YYParseNumberChecked(DOUBLE& value, INTEGER& flag, std::string_view text);
void YYParseRealQuiet(REAL& value, std::string_view text);
// Parsed as a real and truncated toward zero; a value outside the INTEGER range counts as a
// failed parse.
void YYParseNumberQuiet(INTEGER& value, std::string_view text);

// Rewrite a numeric field's text after editing: parse quietly, write back with "(I11)" or the
// given format, left-justify and put a NUL after the last character.
void YYReformatInteger(std::string& text);
void YYReformatReal(std::string& text, std::string_view format);
void YYReformatDouble(std::string& text, std::string_view format);
