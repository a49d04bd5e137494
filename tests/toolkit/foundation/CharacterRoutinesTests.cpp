// Character routines on blank-padded texts and the beep switch.
#include <gtest/gtest.h>

#include <vector>

#include "toolkit/foundation/CharacterRoutines.h"

TEST(YYUpperCase, ChangesOnlyAsciiLetters)
{
    std::string text = "aZ 9_\xe4q{";
    YYUpperCase(text);
    EXPECT_EQ(text, "AZ 9_\xe4Q{");
    YYLowerCase(text);
    EXPECT_EQ(text, "az 9_\xe4q{");
}

TEST(YYFirstWord, FindsTheFirstBlankDelimitedWord)
{
    struct Case { std::string_view text; INTEGER first, last; } cases[] = {
        {"  ab cd", 3, 4}, {"abc", 1, 3}, {"   ", 0, 0}, {"", 0, 0}, {"      x", 7, 7}, {"a\tb c", 1, 3},
    };
    for (const auto& c : cases) {
        INTEGER first = -1, last = -1;
        YYFirstWord(c.text, first, last);
        EXPECT_EQ(first, c.first) << c.text;
        EXPECT_EQ(last, c.last) << c.text;
    }
}

TEST(YYFirstNonBlank, SkipsBlanksAndNuls)
{
    EXPECT_EQ(YYFirstNonBlank(std::string_view("\0 \0  ", 5)), 0);
    EXPECT_EQ(YYFirstNonBlank(std::string_view("\0 \0  z", 6)), 6);
    EXPECT_EQ(YYFirstNonBlank(""), 0);
}

TEST(YYFindSubstring, SearchesIgnoringCaseForwardAndBackward)
{
    struct Case { std::string_view text, pattern; LOGICAL backward; INTEGER expected; } cases[] = {
        {"Grid Editor", "EDIT", kFalse, 6}, {"abcabc", "BC", kTrue, 5}, {"abcabc", "BC", kFalse, 2},
        {"abc", "", kFalse, 1}, {"abc", "", kTrue, 4}, {"ab", "abc", kFalse, 0}, {"abc", "x", kFalse, 0},
        {"ab cd", "B ", kFalse, 2}, {"abcd", "d ", kFalse, 0},  // trailing blanks of the pattern count
    };
    for (const auto& c : cases) EXPECT_EQ(YYFindSubstring(c.text, c.pattern, c.backward), c.expected) << c.pattern;
}

TEST(YYCharInSet, LowerCaseSetsMatchBothCases)
{
    EXPECT_EQ(YYCharInSet("hp", 'H'), kTrue);
    EXPECT_EQ(YYCharInSet("hp", 'p'), kTrue);
    EXPECT_EQ(YYCharInSet("HP", 'h'), kFalse);
    EXPECT_EQ(YYCharInSet("HP", 'P'), kTrue);
    EXPECT_EQ(YYCharInSet("", 'a'), kFalse);
}

TEST(WBeepControl, OnOffOrBeep)
{
    static std::vector<INTEGER> calls;  // switch values; 9 for a beep
    calls.clear();
    const BeepControlHooks saved = beepControlHooks();
    beepControlHooks().beepSwitch = [](INTEGER on) { calls.push_back(on); };
    beepControlHooks().beep = [] { calls.push_back(9); };
    for (std::string_view text : {"on", "On", "OFF", "off ", "ONE", "", "o"}) WBeepControl(text);
    beepControlHooks() = saved;
    EXPECT_EQ(calls, (std::vector<INTEGER>{1, 1, 0, 0, 9, 9, 9}));
}
