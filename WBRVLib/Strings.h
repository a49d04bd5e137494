// String routines of the utility library (platform-free).
//
// Texts are blank-padded and carry an explicit count n: a routine works on positions 1..n only
// (and never past the end of the buffer it was given); a count of 0 or less means "empty".
// Positions are 1-based and 0 means "not found". Characters compare by their byte code; only the
// case routines pair "A".."Z" with "a".."z".
#pragma once

#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

// Searching and measuring.
INTEGER IFNDPT(std::string_view text, INTEGER n, std::string_view pattern, INTEGER m);
INTEGER INDSTR(std::string_view text, INTEGER n);
INTEGER IBGSTR(std::string_view text, INTEGER n);
INTEGER IWDSTR(std::string_view text, INTEGER n, char ch);
INTEGER KNTCHR(std::string_view text, INTEGER n, char ch);
INTEGER IFIRSTINT(std::string_view text, INTEGER n);
INTEGER ILASTINT(std::string_view text, INTEGER n, INTEGER start);
INTEGER IDNTCL(std::string_view upper, std::string_view text, INTEGER n);
LOGICAL LCUQEQ(std::string_view word, std::string_view templ, INTEGER n);

// Shifting, copying, replacing.
void SHFSTR(std::string& text, INTEGER n, INTEGER k);
// Copies n characters one at a time from the first on, so a copy onto a lower position of the
// same buffer (a left shift) is safe. The destination comes first.
void COPSTR(char* to, const char* from, INTEGER n);
void COPCHR(std::string& text, INTEGER n, char ch);
void RPLCHR(std::string& text, INTEGER n, char oldChar, char newChar);
INTEGER IRPLPT(std::string& text, INTEGER n, std::string_view pattern, INTEGER m, std::string_view replacement, INTEGER r);
void RPL_PAT(std::string& text, INTEGER n, std::string_view pattern, INTEGER m, std::string_view replacement, INTEGER r);
void NTRAIL(std::string& text, INTEGER& n, char ch);
void INTNUMONLY(std::string& text, INTEGER n);
void NODOUBLEBLANK(std::string& text);

// Words.
void NXTWRD(std::string_view text, INTEGER n, INTEGER& pos, std::string& word, INTEGER m);
INTEGER NWORDS(std::string_view text, INTEGER n);
void ADDWRD(std::string& text, INTEGER n, INTEGER& pos, std::string_view word, INTEGER m);
// Each of the count 10-character words keeps its unique abbreviation in upper case.
void UNQ10(std::string* words, INTEGER count);

// Case and clean-up.
void LCTOUC(std::string& text, INTEGER n);
void UCTOLC(std::string& text, INTEGER from, INTEGER to);
INTEGER NCHRCK(std::string& text, INTEGER n);
void CHR_CHK(std::string& text, INTEGER n);
void VALIDATEFILENAME(std::string& text, INTEGER n, char ch);
void ECD2ASC(std::string& text, INTEGER n);

// Numbers in texts.
void FMTFN(std::string& text, REAL x, INTEGER& code);
void FIXFLOAT(std::string& text);
INTEGER NUMAFTER(std::string_view text, INTEGER n, std::string_view keyword, INTEGER m);
LOGICAL LREADREAL(std::string_view keyword, std::string& line, REAL& value);
LOGICAL LREADINT(std::string_view keyword, std::string& line, INTEGER& value);
LOGICAL LREADLOG(std::string_view keyword, std::string& line, LOGICAL& value);
LOGICAL LBADREAL(std::string_view text, REAL& x);
LOGICAL LBADINT(std::string_view text, INTEGER& i);

// File names.
void FILENAMEEXTONLY(std::string& name);
void FILENAMEONLY(std::string& name);
// The settings-file path beside the program, else in the user's own folder (255 characters).
void INIFILENAME(std::string& name);

// Text on the plot at a user-unit position, centred, right- or left-aligned.
void CENTSTRING(REAL x, REAL y, std::string_view text, INTEGER n);
void RIGHTSTRING(REAL x, REAL y, std::string_view text, INTEGER n);
void LEFTSTRING(REAL x, REAL y, std::string_view text, INTEGER n);

// Workers the settings file shares: number text in the program's own notation, independent of
// the locale (the settings file is always written and read with ".").

// A decimal real ("12", "-1.5", "1.0E-03", "2.5D+01", ".5"); blanks are not allowed inside.
bool readRealWord(std::string_view word, REAL& value);
// A decimal integer with an optional sign that fits 32 bits.
bool readIntegerWord(std::string_view word, INTEGER& value);
// Iw: right-aligned in w characters, w asterisks when it does not fit.
std::string formatInteger(INTEGER value, int width);
// Fw.d: fixed point, right-aligned in w characters with d decimals, w asterisks when too wide.
std::string formatFixed(double value, int width, int decimals);
// 1PEw.d: one digit before the point, d decimals, "E", sign and two exponent digits.
std::string formatExponent(double value, int width, int decimals);
