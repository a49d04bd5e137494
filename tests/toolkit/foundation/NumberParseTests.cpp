// Text into numbers: the first word only, fixed error numbers, value 0 after a failure.
#include <gtest/gtest.h>

#include <cmath>

#include "ReporterGuard.h"
#include "toolkit/foundation/NumberParse.h"

TEST(IStringToInteger, ParsesTheFirstWordWithinTheIntegerRange)
{
    ReporterGuard guard;
    struct Case { std::string_view text; INTEGER value, error; } cases[] = {
        {"  12 apples", 12, 0},   {"2147483647", 2147483647, 0}, {"-2147483647", -2147483647, 0},
        {"+5", 5, 0},             {"-", 0, 0},                   {"+", 0, 0},
        {"2147483648", 0, 4},     {"-2147483648", 0, 4},         {"3000000000", 0, 4},
        {"00000000001", 0, 4},    {"12a", 0, 12},                {"1.0", 0, 12},
        {"--1", 0, 12},           {"   ", 0, 10},                {"", 0, 10},
    };
    for (const auto& c : cases) {
        libraryErrorState().LastErrorNumber = 0;
        INTEGER value = 99;
        IStringToInteger(c.text, value);
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(libraryErrorState().LastErrorNumber, c.error) << c.text;
    }
}

TEST(IStringToReal, ParsesRealAndDoublePrecisionWords)
{
    ReporterGuard guard;
    struct Case { std::string_view text; double real; INTEGER realError; double dbl; INTEGER dblError; } cases[] = {
        {"1,5", 1.5, 0, 1.5, 0},
        {" 1.5 kg", 1.5, 0, 1.5, 0},
        {"-2.25e1", -22.5, 0, -22.5, 0},
        {"1.5.2", 0, 11, 0, 11},
        {"1.5D3", 0, 12, 1500, 0},
        {"1.5d-3", 0, 12, 0.0015, 0},
        {"1.5-100", 0, 0, 1.5e-100, 0},
        {"1.5+10x", 0, 12, 0, 12},
        {"1.5-10", 0, 12, 0, 12},     // the sign is not three characters from the end
        {"1E39", 0, 4, 1e39, 0},
        {"1E-39", 0, 0, 1e-39, 0},
        {"3.5E38", 0, 4, 3.5e38, 0},
        {"1E38", 1e38f, 0, 1e38, 0},
        {"0E5", 0, 0, 0, 0},
        {"E5", 0, 0, 0, 0},
        {"-", 0, 0, 0, 0},
        {".5", 0.5, 0, 0.5, 0},
        {"1E2.5", 0, 12, 0, 12},      // no decimal point in an exponent
        {"1E+-2", 0, 12, 0, 12},
        {"1e5E3", 0, 12, 0, 12},      // the capital letter splits first
        {"9.9D308", 0, 12, 0, 4},     // past the largest double: refused, not infinity
        {"1.7D308", 0, 12, 1.7e308, 0},
        {"1E400", 0, 4, 0, 4},
        {"1E-400", 0, 0, 0, 0},
        {"1E99999999999999999999", 0, 4, 0, 4},  // an exponent past any integer
        {"1E-99999999999999999999", 0, 0, 0, 0},
        {"0E99999999999999999999", 0, 0, 0, 0},
        {"  ", 0, 10, 0, 10},
    };
    for (const auto& c : cases) {
        libraryErrorState().LastErrorNumber = 0;
        REAL real = 99.0f;
        IStringToReal(c.text, real);
        EXPECT_EQ(real, static_cast<REAL>(c.real)) << c.text;
        EXPECT_EQ(libraryErrorState().LastErrorNumber, c.realError) << c.text;

        libraryErrorState().LastErrorNumber = 0;
        DOUBLE dbl = 99.0;
        IStringToRealDouble(c.text, dbl);
        EXPECT_DOUBLE_EQ(dbl, c.dbl) << c.text;
        EXPECT_EQ(libraryErrorState().LastErrorNumber, c.dblError) << c.text;
    }
}

TEST(IStringToReal, DigitCountLimitsAndRoutineName)
{
    ReporterGuard guard;
    WErrorReportMode(kReportConsole);
    DOUBLE dbl = 1;
    IStringToRealDouble(std::string(310, '9'), dbl);  // more than 309 digits before the point
    EXPECT_EQ(dbl, 0.0);
    EXPECT_EQ(ReporterGuard::records().back(),
              " Routine:IStringToReal Error=   4:Number too large in string to numeric conversion");
    IStringToRealDouble(std::string(309, '9'), dbl);  // 1E309 is no double either
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 4);
    IStringToRealDouble("1" + std::string(300, '0'), dbl);
    EXPECT_DOUBLE_EQ(dbl, 1e300);

    REAL real = 1;
    IStringToReal(std::string(40, '1'), real);
    EXPECT_EQ(real, 0.0f);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 4);
}

TEST(INextInteger, TakesWordsOffTheText)
{
    ReporterGuard guard;
    std::string text = "10 20  ";
    INTEGER value = 0;
    INextInteger(text, value);
    EXPECT_EQ(value, 10);
    EXPECT_EQ(text, "   20  ");
    INextInteger(text, value);
    EXPECT_EQ(value, 20);
    EXPECT_EQ(text, "       ");
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
    WErrorReportMode(kReportConsole);
    INextInteger(text, value);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(ReporterGuard::records().back(), " Routine:INextInteger Error=  10:No substring found");

    text = "x1 2.5";  // a failed word is blanked all the same
    INextInteger(text, value);
    EXPECT_EQ(text, "   2.5");
    REAL real = 0;
    INextReal(text, real);
    EXPECT_EQ(real, 2.5f);
    INextReal(text, real);
    EXPECT_EQ(ReporterGuard::records().back(), " Routine:INextReal Error=  10:No substring found");
}

TEST(QuietParsers, LeaveModeAndLastErrorAndCutAtNul)
{
    ReporterGuard guard;
    WErrorReportMode(kReportConsole);
    YYErrorStore(55);
    const std::string withNul = std::string("3.25") + '\0' + "junk 7";
    DOUBLE dbl = 0;
    YYParseNumber(dbl, withNul);
    EXPECT_EQ(dbl, 3.25);
    INTEGER flag = -1;
    YYParseNumberChecked(dbl, flag, "abc");
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(dbl, 0.0);
    YYParseNumberChecked(dbl, flag, "1,5D2");
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(dbl, 150.0);
    REAL real = 1;
    YYParseRealQuiet(real, withNul);
    EXPECT_EQ(real, 3.25f);

    struct Case { std::string_view text; INTEGER value; } cases[] = {
        {"7.9", 7}, {"-7.9", -7}, {"1E20", 0}, {"-3E9", 0}, {"2.1E9", 2100000000}, {"x", 0},
    };
    for (const auto& c : cases) {
        INTEGER value = 99;
        YYParseNumberQuiet(value, c.text);
        EXPECT_EQ(value, c.value) << c.text;
    }
    EXPECT_TRUE(ReporterGuard::records().empty());
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 55);
    EXPECT_EQ(libraryErrorState().ReportMode, kReportConsole);
}

TEST(YYReformat, RewritesFieldTextLeftJustifiedWithNul)
{
    ReporterGuard guard;
    struct Case { std::string text; int kind; std::string expected; } cases[] = {
        {"7.9" + std::string(9, ' '), 0, std::string("7") + '\0' + std::string(10, ' ')},
        {"letters     ", 0, std::string("0") + '\0' + std::string(10, ' ')},
        {"1E20        ", 0, std::string("0") + '\0' + std::string(10, ' ')},
        {"2,5              ", 1, std::string("2.5000") + '\0' + std::string(10, ' ')},
        {"1.5D3            ", 2, std::string("1500.0") + '\0' + std::string(10, ' ')},
        {"1.5D3            ", 1, std::string("0.0000") + '\0' + std::string(10, ' ')},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        if (c.kind == 0) YYReformatInteger(text);
        if (c.kind == 1) YYReformatReal(text, "(G15.5E2)");
        if (c.kind == 2) YYReformatDouble(text, "(G15.5E2)");
        EXPECT_EQ(text, c.expected) << c.text;
    }
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
}
