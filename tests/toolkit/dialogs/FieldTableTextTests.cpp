// The text side of the field tables: lines, headers, values and font heights (platform-free).
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "toolkit/dialogs/FieldTableText.h"

using namespace std::string_view_literals;

namespace {

TEST(FieldTableText, FontHeightIsComputedBeyondTheIntegerProductAndHeldToWhatWindowsTakes)
{
    struct Case {
        INTEGER points, dpi;
        int height;
    } cases[] = {
        {10, 96, 13}, {12, 72, 12}, {9, 120, 15}, {0, 96, 0}, {-10, 96, -13},
        // points x dpi pass the INTEGER range: the height is held, not wrapped to a small or negative one.
        {INT_MAX, 96, 32767}, {30000000, 96, 32767}, {INT_MIN, 96, -32767}, {INT_MAX, INT_MAX, 32767},
        {1000, 96, 1333},
    };
    for (const Case& c : cases) EXPECT_EQ(fieldTableFontHeight(c.points, c.dpi), c.height) << c.points << " pt at " << c.dpi;
}

TEST(FieldTableText, LinesHeadersAndValues)
{
    std::vector<std::string> lines;
    FieldTableLines reader("[Fonts]\n 1001 10 Arial, 700 1\r\nlast\0ignored\nnever"sv);
    for (std::string_view line; reader.next(line);) lines.emplace_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"[Fonts]", " 1001 10 Arial, 700 1\r", "last"}));

    struct HeaderCase {
        const char* line;
        FieldTableSection section;
    } headers[] = {
        {"[Fonts]", FieldTableSection::Fonts}, {"  \t[Menus] trailing", FieldTableSection::Menus},
        {"[Font", FieldTableSection::None},    {"[fonts]", FieldTableSection::None}, {"", FieldTableSection::None},
    };
    for (const HeaderCase& c : headers) EXPECT_EQ(fieldTableHeader(c.line), c.section) << c.line;

    struct IntegerCase {
        const char* token;
        INTEGER value;
    } integers[] = {
        {"42", 42}, {"-42", -42}, {"12abc", 12}, {"abc", 0}, {"", 0}, {"99999999999", INT_MAX}, {"-99999999999", -INT_MAX},
        {"--5", 0},
    };
    for (const IntegerCase& c : integers) EXPECT_EQ(FieldTableTokens::integerOf(c.token), c.value) << c.token;

    FieldTableTokens tokens(" 1001\t10  Times New Roman, 400 0 \r");
    EXPECT_EQ(tokens.nextInteger(), 1001);
    EXPECT_EQ(tokens.nextInteger(), 10);
    EXPECT_EQ(fieldTableTrimRight(tokens.rest()), "Times New Roman, 400 0");
}

}  // namespace
