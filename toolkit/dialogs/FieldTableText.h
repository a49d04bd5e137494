// The text side of a dialog's field table (platform-free): its lines, the section headers, the
// blank-separated values of a data line and the font height a font line asks for. The dialog
// manager applies what this reads to the dialog's controls.
#pragma once

#include <cstddef>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

enum class FieldTableSection {
    None, Ranges, Menus, Checks, Tabs, Grids, Colours, Trackbars, Lengths, DialogLine, Formats, Treeviews, Fonts, Flags
};

// The section a header line opens (after its leading blanks), or None when the line is no header.
// A header may be followed by anything on its line.
FieldTableSection fieldTableHeader(std::string_view line);

// 0 when the line begins with the whole header, otherwise the difference of the first differing
// characters (a line cut short of the header does not match).
INTEGER YYHeaderMatch(std::string_view header, std::string_view line);

// The table's lines, each without its line feed; reading stops at a NUL at the start of a line,
// and a NUL inside a line ends the text there.
class FieldTableLines {
public:
    explicit FieldTableLines(std::string_view text) : text_(text) {}
    bool next(std::string_view& line);

private:
    std::string_view text_;
    std::size_t position_ = 0;
};

// The values of a data line, one at a time: each ends at the next blank, tab or CR.
class FieldTableTokens {
public:
    explicit FieldTableTokens(std::string_view line) : line_(line) {}
    std::string_view next();
    INTEGER nextInteger() { return integerOf(next()); }
    // The rest of the line after the blanks that follow the last value read.
    std::string_view rest();
    static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
    // The leading digits with an optional '-', held at the INTEGER limits; 0 without digits.
    static INTEGER integerOf(std::string_view token);

private:
    std::string_view line_;
    std::size_t position_ = 0;
};

// The text without its trailing blanks, tabs and CRs.
std::string_view fieldTableTrimRight(std::string_view text);

// The character height in pixels of a font of the given points on a device of the given dots
// per inch, rounded and held within +-32767 (Windows takes no taller font); computed in double,
// as points x dpi can pass the INTEGER range. 0 points give 0, the default height.
int fieldTableFontHeight(INTEGER points, INTEGER dotsPerInch);
