#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "WBRVLib/Strings.h"
#include "tests/support/ToolkitLinkFake.h"

namespace {

TEST(Strings, SearchAndMeasureCases)
{
    struct Case {
        const char* text;
        INTEGER n;
        const char* pattern;
        INTEGER m;
        INTEGER position;
    } cases[] = {
        {"ABCAB", 5, "AB", 2, 1},
        {"ABCAB", 5, "ABX", 3, 0},       // AB at the end is not a match of ABX
        {"ABCAB", 5, "CA", 2, 3},
        {"ABCAB", 3, "AB", 2, 1},
        {"ABCAB", 4, "CAB", 3, 0},       // the match must lie wholly inside n
        {"ABCAB", 0, "A", 1, 0},
        {"ABCAB", 5, "A", 0, 0},
        {"AB", 2, "ABC", 3, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(IFNDPT(c.text, c.n, c.pattern, c.m), c.position) << c.text << " / " << c.pattern;

    EXPECT_EQ(INDSTR("  AB  ", 6), 4);
    EXPECT_EQ(INDSTR("      ", 6), 0);
    EXPECT_EQ(INDSTR("AB", 40), 2);    // the count never reads past the buffer
    EXPECT_EQ(IBGSTR("  AB  ", 6), 3);
    EXPECT_EQ(IBGSTR("    ", 4), 0);
    EXPECT_EQ(IWDSTR("A.B.C", 5, '.'), 4);
    EXPECT_EQ(KNTCHR("A.B.C", 5, '.'), 2);
    EXPECT_EQ(IFIRSTINT("AB12C34", 7), 3);
    EXPECT_EQ(ILASTINT("AB12C34", 7, 3), 4);
    EXPECT_EQ(ILASTINT("AB12C34", 7, 5), 0);
}

TEST(Strings, ShiftCases)
{
    struct Case {
        INTEGER n, k;
        const char* result;
    } cases[] = {
        {5, 2, "  ABC"}, {5, -2, "CDE  "}, {5, 5, "ABCDE"}, {5, -5, "ABCDE"},
        {5, 0, "ABCDE"}, {3, 1, " ABDE"}, {0, 1, "ABCDE"}, {-1, 1, "ABCDE"},
        // Distances beyond the text change nothing, also those whose magnitude leaves the INTEGER range.
        {5, INT_MIN, "ABCDE"}, {5, INT_MAX, "ABCDE"}, {5, INT_MIN + 1, "ABCDE"},
    };
    for (const Case& c : cases) {
        std::string text = "ABCDE";
        SHFSTR(text, c.n, c.k);
        EXPECT_EQ(text, c.result) << "n=" << c.n << " k=" << c.k;
    }
}

TEST(Strings, CopyIsSafeForALeftShiftInOneBuffer)
{
    std::string text = "XYABCD";
    COPSTR(text.data(), text.data() + 2, 4);
    EXPECT_EQ(text, "ABCDCD");
    COPSTR(text.data(), "QQ", 0);
    EXPECT_EQ(text, "ABCDCD");
}

TEST(Strings, NextWordWalksTheText)
{
    const std::string text = "  ONE TWO";
    std::string word;
    INTEGER pos = 1;
    NXTWRD(text, 9, pos, word, 5);
    EXPECT_EQ(word, "ONE  ");
    EXPECT_EQ(pos, 7);
    NXTWRD(text, 9, pos, word, 5);
    EXPECT_EQ(word, "TWO  ");
    EXPECT_EQ(pos, 10);
    NXTWRD(text, 9, pos, word, 5);
    EXPECT_EQ(word, "     ");
    EXPECT_EQ(pos, 10);

    pos = 1;
    NXTWRD("LONGWORD", 8, pos, word, 4);
    EXPECT_EQ(word, "LONG");
    EXPECT_EQ(NWORDS(" A BB  CCC ", 11), 3);
}

TEST(Strings, ReplaceCases)
{
    struct Case {
        const char* text;
        const char* pattern;
        const char* replacement;
        const char* result;
        INTEGER count;
    } cases[] = {
        {"ABA  ", "A", "XYZ", "XYZBX", 2},     // the second replacement is cut at n
        {"A.EXE", ".EXE", ".INI", "A.INI", 1},
        {"AXBXC", "X", "", "ABC  ", 2},        // deletion: the scan resumes at the same place
        {"AXXB ", "XX", "X", "AXB  ", 1},
        {"A    ", " ", "", "A    ", 4},        // blanks entering at the end are not matched again
        {"ABCDE", "Q", "R", "ABCDE", 0},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(IRPLPT(text, 5, c.pattern, static_cast<INTEGER>(std::string(c.pattern).size()), c.replacement,
                         static_cast<INTEGER>(std::string(c.replacement).size())),
                  c.count)
            << c.text;
        EXPECT_EQ(text, c.result) << c.text;
    }
    std::string text = "ABAB";
    RPL_PAT(text, 0, "A", 1, "Z", 1);
    EXPECT_EQ(text, "ABAB");

    std::string spaced = "A   B  C    ";
    NODOUBLEBLANK(spaced);
    EXPECT_EQ(spaced, "A B C       ");
}

TEST(Strings, TrailingCharactersAndCase)
{
    std::string number = "12.500";
    INTEGER n = 6;
    NTRAIL(number, n, '0');
    EXPECT_EQ(number, "12.5  ");
    EXPECT_EQ(n, 4);
    std::string zeros = "000";
    n = 3;
    NTRAIL(zeros, n, '0');
    EXPECT_EQ(zeros, "   ");
    EXPECT_EQ(n, 0);

    std::string text = "abz{AZ@`";
    LCTOUC(text, 8);
    EXPECT_EQ(text, "ABZ{AZ@`");
    UCTOLC(text, 2, 5);
    EXPECT_EQ(text, "Abz{aZ@`");
    std::string part = "abcd";
    LCTOUC(part, 2);
    EXPECT_EQ(part, "ABcd");
}

TEST(Strings, UnprintableBytesBecomeBlanks)
{
    std::string text = {static_cast<char>(200), static_cast<char>(127), static_cast<char>(150), static_cast<char>(233), 'A', '\t'};
    EXPECT_EQ(NCHRCK(text, 6), 3);
    EXPECT_EQ(text, std::string({' ', ' ', static_cast<char>(150), static_cast<char>(233), 'A', ' '}));
    std::string untouched = "\t\t";
    CHR_CHK(untouched, 0);
    EXPECT_EQ(untouched, "\t\t");
}

TEST(Strings, ReadingNumbersFromTexts)
{
    REAL x = 0.0f;
    EXPECT_FALSE(isTrue(LBADREAL(" 1.5E2 ", x)));
    EXPECT_EQ(x, 150.0f);
    EXPECT_FALSE(isTrue(LBADREAL("  **  ", x)));
    EXPECT_EQ(x, 1.0e20f);
    EXPECT_TRUE(isTrue(LBADREAL("1.2.3", x)));
    INTEGER i = 0;
    EXPECT_FALSE(isTrue(LBADINT(" 4 2 ", i)));
    EXPECT_EQ(i, 42);
    EXPECT_FALSE(isTrue(LBADINT("*", i)));
    EXPECT_EQ(i, 9999999);
    EXPECT_TRUE(isTrue(LBADINT("99999999999", i)));    // beyond 32 bits is an error, not a wrap

    std::string line = "NSUITE= 7 rest";
    line.resize(80, ' ');
    INTEGER suite = 0;
    EXPECT_TRUE(isTrue(LREADINT("NSUITE=", line, suite)));
    EXPECT_EQ(suite, 7);
    std::string other = "NOTHING";
    EXPECT_FALSE(isTrue(LREADINT("NSUITE=", other, suite)));
    EXPECT_EQ(NUMAFTER("file run123.dat", 15, "RUN", 3), 123);
    EXPECT_EQ(NUMAFTER("file.dat", 8, "RUN", 3), 0);

    struct WordCase {
        const char* word;
        bool ok;
        REAL value;
    } words[] = {
        {"12", true, 12.0f}, {"-1.5", true, -1.5f}, {"1.0000E-03", true, 0.001f}, {"2.5D+01", true, 25.0f},
        {".5", true, 0.5f}, {"+3.", true, 3.0f}, {"1E", false, 0}, {"E5", false, 0}, {"nan", false, 0},
        {"1,5", false, 0}, {"", false, 0}, {"+-5", false, 0}, {"-+5", false, 0}, {"--5", false, 0},
    };
    for (const WordCase& c : words) {
        REAL value = -7.0f;
        EXPECT_EQ(readRealWord(c.word, value), c.ok) << c.word;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.word;
        }
    }
}

TEST(Strings, IntegerWordsTakeOneSignAtMost)
{
    struct Case {
        const char* word;
        bool ok;
        INTEGER value;
    } cases[] = {
        {"5", true, 5}, {"+5", true, 5}, {"-5", true, -5}, {"-2147483648", true, INT_MIN}, {"2147483648", false, 0},
        {"+-5", false, 0}, {"-+5", false, 0}, {"--5", false, 0}, {"++5", false, 0}, {"+", false, 0}, {"-", false, 0},
        {"5-", false, 0}, {"", false, 0},
    };
    for (const Case& c : cases) {
        INTEGER value = 77;
        EXPECT_EQ(readIntegerWord(c.word, value), c.ok) << c.word;
        EXPECT_EQ(value, c.ok ? c.value : 77) << c.word;    // a refused word leaves the value
    }
}

TEST(Strings, EditDescriptorFormatting)
{
    EXPECT_EQ(formatInteger(-1, 5), "   -1");
    EXPECT_EQ(formatInteger(-10000, 5), "*****");
    EXPECT_EQ(formatFixed(0.15, 10, 4), "    0.1500");
    EXPECT_EQ(formatFixed(123456.0, 10, 4), "**********");
    EXPECT_EQ(formatExponent(0.001, 13, 4), "   1.0000E-03");
    EXPECT_EQ(formatExponent(-2.5e12, 13, 4), "  -2.5000E+12");

    struct FmtCase {
        REAL x;
        const char* text;
        INTEGER code;
    } cases[] = {
        {0.0f, "     0.00000", 8}, {123.0f, "   123.00000", 8}, {12.0f, "    12.00000", 9},
        {-12.0f, "   -12.00000", 9}, {1234567.0f, "   1234567.0", 12}, {0.5f, "     0.50000", 10},
        {0.0005f, "         0.0", 12}, {0.05f, "     0.05000", 11},
    };
    for (const FmtCase& c : cases) {
        std::string text;
        INTEGER code = 0;
        FMTFN(text, c.x, code);
        EXPECT_EQ(code, c.code) << c.x;
        EXPECT_EQ(text, c.text) << c.x;
    }
}

TEST(Strings, FileNamesAndPreparedNumbers)
{
    std::string name = "C:\\DATA\\RUN.1.PRT   ";
    FILENAMEEXTONLY(name);
    EXPECT_EQ(name, std::string("RUN.1.PRT") + std::string(11, ' '));
    FILENAMEONLY(name);
    EXPECT_EQ(name, std::string("RUN") + std::string(17, ' '));

    std::string bad = "a:b*c";
    VALIDATEFILENAME(bad, 5, '_');
    EXPECT_EQ(bad, "a_b_c");

    struct Case {
        const char* in;
        const char* out;
    } floats[] = {{"1e5     ", "1.E5    "}, {"12      ", "12.     "}, {"1.5e3   ", "1.5E3   "}, {"        ", "        "}};
    for (const Case& c : floats) {
        std::string text = c.in;
        FIXFLOAT(text);
        EXPECT_EQ(text, c.out) << c.in;
    }

    std::string ebcdic = {static_cast<char>(0xC8), static_cast<char>(0x89), static_cast<char>(0x40), static_cast<char>(0xF1),
                          static_cast<char>(0x4B), static_cast<char>(0x00)};
    ECD2ASC(ebcdic, 6);
    EXPECT_EQ(ebcdic, "Hi 1. ");

    std::string digits = "A1-2xy3 ";
    INTNUMONLY(digits, 8);
    EXPECT_EQ(digits, "123     ");
}

TEST(Strings, WordsAndAbbreviations)
{
    std::string text(10, ' ');
    INTEGER pos = 1;
    ADDWRD(text, 10, pos, "ONE  ", 5);
    ADDWRD(text, 10, pos, "LONGER", 6);
    EXPECT_EQ(text, "ONE LONGE ");    // the second word is cut to end at n - 1
    EXPECT_EQ(pos, 11);

    std::string words[] = {"PRINT     ", "PROPERTY  ", "EXIT      "};
    UNQ10(words, 3);
    EXPECT_EQ(words[0], "PRInt     ");
    EXPECT_EQ(words[1], "PROperty  ");
    EXPECT_EQ(words[2], "Exit      ");
    EXPECT_TRUE(isTrue(LCUQEQ("PRI       ", "PRInt", 5)));
    EXPECT_FALSE(isTrue(LCUQEQ("PR        ", "PRInt", 5)));
    EXPECT_FALSE(isTrue(LCUQEQ("PRIX      ", "PRInt", 5)));
}

TEST(Strings, SettingsFileNameBesideTheProgram)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("qv-ininame-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    ToolkitLinkFake::reset();
    ToolkitLinkFake::script().ProgramPath = (folder / "prog.exe").string();
    std::ofstream((folder / "prog.INI").string()) << "x";
    std::string name;
    INIFILENAME(name);
    EXPECT_EQ(name.size(), 255u);
    EXPECT_EQ(name.substr(0, static_cast<std::size_t>(INDSTR(name, 255))), (folder / "prog.INI").string());
    ToolkitLinkFake::reset();
    fs::remove_all(folder);
}

}  // namespace
