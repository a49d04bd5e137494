// The validator of the compiled-in stroke sets: grids, stroke lengths, text size, start tables
// and the codes each set must carry. It runs over all eight sets, and over broken copies to show
// that it notices what it is meant to.
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "toolkit/graphics/StrokeFontData.h"
#include "toolkit/graphics/StrokeFonts.h"

namespace {

constexpr char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrst";

bool inAlphabet(char c) { return c != '\0' && std::strchr(kAlphabet, c) != nullptr; }

// Codes 33 to 126 everywhere, 128 where the set says it has it, 161 to 255 in the Latin sets;
// the symbol set follows its own code page, which has nothing at 240 and 255.
std::vector<int> requiredCodes(const BuiltInStrokeSet& s)
{
    std::vector<int> codes;
    for (int c = 33; c <= 126; ++c) codes.push_back(c);
    if ((s.flags & 2) != 0) codes.push_back(127);
    const bool symbol = std::string(s.name) == "symbol.chr";
    for (int c = 161; c <= 255; ++c)
        if (!symbol || (c != 240 && c != 255)) codes.push_back(c);
    return codes;
}

std::vector<std::string> validate(const BuiltInStrokeSet& s)
{
    std::vector<std::string> problems;
    auto problem = [&](const std::string& text) { problems.push_back(std::string(s.name) + ": " + text); };
    const bool lines = (s.flags & 1) != 0;
    const int maxX = lines ? 6 : 55;
    const int maxY = lines ? 11 : 55;
    const char terminator = lines ? 'u' : 'v';
    const std::string_view text(s.glyphs, static_cast<std::size_t>(s.glyphLength));
    const long length = static_cast<long>(text.size());

    if (length > kStrokeGlyphsCapacity) problem("glyph text longer than " + std::to_string(kStrokeGlyphsCapacity));
    if (s.lowStarts[0] != 1) problem("the low table does not start at 1");
    for (int i = 0; i < 95; ++i) {
        if (s.lowStarts[i + 1] < s.lowStarts[i]) problem("low starts fall at " + std::to_string(33 + i));
        if (s.highStarts[i + 1] < s.highStarts[i]) problem("high starts fall at " + std::to_string(161 + i));
    }
    if (s.highStarts[0] < s.lowStarts[95]) problem("the high table starts inside the low one");
    if (s.highStarts[95] != length + 1) problem("the high table does not end at the text's end");
    for (long p = s.lowStarts[95]; p < s.highStarts[0] && p <= length; ++p)
        if (text[static_cast<std::size_t>(p - 1)] != ' ') problem("non-blank between the tables");

    auto glyphOf = [&](int code) -> std::string_view {
        const INTEGER* starts = code <= 127 ? s.lowStarts : s.highStarts;
        const int i = code <= 127 ? code - 33 : code - 161;
        const long b = starts[i], e = starts[i + 1];
        if (b < 1 || e < b || e > length + 1) return {};
        return text.substr(static_cast<std::size_t>(b - 1), static_cast<std::size_t>(e - b));
    };

    std::vector<bool> present(256, false);
    for (int code = 33; code <= 255; ++code) {
        if (code > 127 && code < 161) continue;
        const std::string_view glyph = glyphOf(code);
        const std::string where = "code " + std::to_string(code == 127 ? 128 : code) + ": ";
        present[static_cast<std::size_t>(code)] = !glyph.empty();
        if (glyph.empty()) continue;
        long pointChars = 0;
        for (std::size_t i = 0; i < glyph.size(); ++i) {
            if (inAlphabet(glyph[i])) {
                ++pointChars;
            } else if (glyph[i] != terminator) {
                problem(where + "character '" + std::string(1, glyph[i]) + "' is neither alphabet nor terminator");
            } else if (i == 0 || i + 1 == glyph.size() || glyph[i + 1] == terminator) {
                problem(where + "misplaced terminator");
            }
        }
        StrokeGlyphStrokes strokes;
        YYStrokeGlyphDecode(glyph, strokes);
        long decoded = 0;
        for (const auto& stroke : strokes) {
            decoded += 2 * static_cast<long>(stroke.size());
            if (stroke.size() < (lines ? 2u : 3u)) problem(where + "a stroke too short");
            if (stroke.size() > 100) problem(where + "a stroke of more than 100 points");
            for (const StrokePoint& p : stroke)
                if (p.x > maxX || p.y > maxY) problem(where + "a point off the grid");
        }
        if (decoded != pointChars) problem(where + "characters that decode to no point");
    }
    for (int code : requiredCodes(s))
        if (!present[static_cast<std::size_t>(code)]) problem("no glyph for code " + std::to_string(code == 127 ? 128 : code));
    if ((s.flags & 2) == 0 && present[127]) problem("a glyph for 128 in a set without it");
    return problems;
}

TEST(StrokeSetValidation, EveryBuiltInSetPasses)
{
    for (const BuiltInStrokeSet& s : kBuiltInStrokeSets) {
        const auto problems = validate(s);
        EXPECT_TRUE(problems.empty()) << problems.size() << " problems, first: " << problems.front();
        EXPECT_EQ(static_cast<std::size_t>(s.glyphLength), std::strlen(s.glyphs)) << s.name;
    }
}

TEST(StrokeSetValidation, TheValidatorNoticesBrokenSets)
{
    // A copy of the standard set, spoilt one way per case.
    const BuiltInStrokeSet& base = kBuiltInStrokeSets[kStrokeSetStandard];
    const std::string goodText(base.glyphs, static_cast<std::size_t>(base.glyphLength));
    const auto a = static_cast<std::size_t>(base.lowStarts['A' - 33] - 1);  // "023B62u1555"
    const struct {
        const char* fault;
        std::size_t at;
        const char* replacement;  // same length as what it replaces
        int lowEntry;             // a low start to spoil (-1: none)
    } cases[] = {
        {"off the grid", a, "723B62u1555", -1},
        {"lone point", a, "02u3B62u155", -1},
        {"stray character", a, "023B62x1555", -1},
        {"misplaced terminator", a, "023B62uu555", -1},
        {"falling starts", a, "023B62u1555", 'B' - 33},
        {"missing glyph", a, "023B62u1555", 'A' - 33},
    };
    for (const auto& c : cases) {
        std::string text = goodText;
        text.replace(c.at, std::strlen(c.replacement), c.replacement);
        std::array<INTEGER, 96> low{};
        std::copy_n(base.lowStarts, 96, low.begin());
        if (c.lowEntry >= 0) {
            if (std::string(c.fault) == "missing glyph") low[static_cast<std::size_t>(c.lowEntry)] = low[static_cast<std::size_t>(c.lowEntry) + 1];
            else low[static_cast<std::size_t>(c.lowEntry)] = low[static_cast<std::size_t>(c.lowEntry) - 1] - 1;
        }
        BuiltInStrokeSet broken = base;
        broken.glyphs = text.c_str();
        broken.lowStarts = low.data();
        EXPECT_FALSE(validate(broken).empty()) << c.fault;
    }
    EXPECT_TRUE(validate(base).empty());
}

}  // namespace
