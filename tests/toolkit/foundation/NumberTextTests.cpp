// Numbers into text through edit-descriptor formats.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ReporterGuard.h"
#include "toolkit/foundation/NumberText.h"

namespace {

std::string blanks(std::size_t n) { return std::string(n, ' '); }

}  // namespace

TEST(IntegerToString, FormatsWithIntegerDescriptors)
{
    ReporterGuard guard;
    struct Case { INTEGER value; const char* format; std::size_t length; std::string expected; } cases[] = {
        {42, "(I11)", 11, "         42"},
        {42, "(I11)", 14, "         42   "},
        {7, "(I2.2)", 2, "07"},
        {123, "(I10.10)", 10, "0000000123"},
        {-999, "(I4)", 4, "-999"},
        {-12, "(I5.3)", 5, " -012"},
        {0, "(I3.0)", 3, "   "},
        {-2147483647 - 1, "(I11)", 11, "-2147483648"},
        {5, "('n=',I2,' m')", 8, "n= 5 m  "},
        {5, "(2X, I2, I4)", 6, "   5  "},  // output ends where a second value would be asked for
        {17, "(G6)", 6, "    17"},
        {3, "( i 3 )", 3, "  3"},
    };
    for (const auto& c : cases) {
        std::string text(c.length, '#');
        IntegerToString(c.value, text, c.format);
        EXPECT_EQ(text, c.expected) << c.format << " " << c.value;
    }
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
}

TEST(IRealToString, FormatsWithRealDescriptors)
{
    ReporterGuard guard;
    struct Case { double value; const char* format; std::string expected; } cases[] = {
        {3.14159, "(F8.2)", "    3.14"},
        {-0.5, "(F8.2)", "   -0.50"},
        {0.5, "(F3.2)", ".50"},            // the optional zero goes when the field is narrow
        {2.675, "(F8.2)", "    2.67"},     // the binary value lies below the halfway point
        {12.0, "(F8.0)", "     12."},
        {12.5, "(F8.0)", "     13."},      // an exact halfway value rounds away from zero
        {0.0, "(F8.0)", "      0."},
        {99.996, "(F6.2)", "100.00"},
        {0.05, "(1PE8.1)", " 5.0E-02"},
        {0.05, "(E8.1)", " 0.5E-01"},
        {-1234.5, "(1PE10.3)", "-1.235E+03"},
        {0.0, "(1PE8.1)", " 0.0E+00"},
        {12.5, "(G15.5E2)", "     12.500    "},
        {0.0, "(G15.5E2)", "     0.0000    "},
        {1.0e-5, "(G15.5E2)", "    0.10000E-04"},
        {123456.7, "(G15.5E2)", "    0.12346E+06"},
        {99999.5, "(G15.5E2)", "    0.10000E+06"},
        {-1.5, "(G15.5E2)", "    -1.5000    "},
        {0.5, "(G15.5E2)", "    0.50000    "},
        {1.0e-200, "(E12.4)", "  0.1000-199"},  // three exponent digits push out the letter
        {1.0e-200, "(E12.4E3)", " 0.1000E-199"},
        {2.5, "(ES9.2)", " 2.50E+00"},
        {2.5, "(D10.3)", " 0.250D+01"},
        {2.5, "(F5.1,' m')", "  2.5 m"},
    };
    for (const auto& c : cases) {
        std::string text(c.expected.size(), '#');
        IDoubleToString(c.value, text, c.format);
        EXPECT_EQ(text, c.expected) << c.format << " " << c.value;
    }
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);

    std::string text(15, '#');
    IRealToString(0.1f, text, "(G15.5E2)");  // the REAL's own value, not the decimal 0.1
    EXPECT_EQ(text, "    0.10000    ");
    IRealToString(std::numeric_limits<float>::infinity(), text, "(G15.5E2)");
    EXPECT_EQ(text, "       Infinity");
    IRealToString(std::nanf(""), text, "(F8.2)");
    EXPECT_EQ(text, "     NaN       ");
}

TEST(IntegerToString, FailuresGiveAsterisksAndError18)
{
    ReporterGuard guard;
    WErrorReportMode(kReportConsole);
    struct Case { const char* format; INTEGER value; std::size_t length; std::string expected; } cases[] = {
        {"(I3)", 123456, 20, "**********" + blanks(10)},     // too wide for the descriptor
        {"(I4)", 10000, 4, "****"},
        {"(I11)", 1, 5, "*****"},                              // output longer than the text
        {"(F8.2)", 1, 10, "**********"},                       // a real descriptor for an integer
        {"(I4", 1, 10, "**********"},                          // not a complete format
        {"(Q4)", 1, 10, "**********"},
        {"('only text')", 1, 12, "**********  "},              // no descriptor takes the value
    };
    for (const auto& c : cases) {
        std::string text(c.length, '#');
        ReporterGuard::records().clear();
        IntegerToString(c.value, text, c.format);
        EXPECT_EQ(text, c.expected) << c.format;
        ASSERT_EQ(ReporterGuard::records().size(), 1u) << c.format;
        EXPECT_EQ(ReporterGuard::records()[0], " Routine:IntegerToString Error=  18:Numeric to string conversion error");
    }
}

TEST(IRealToString, AsteriskCheckAndRoutineNames)
{
    ReporterGuard guard;
    std::string text(5, '#');
    IRealToString(1.0f, text, "(G15.5E2)");
    EXPECT_EQ(text, "*****");
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 18);

    text.assign(12, '#');
    libraryErrorState().LastErrorNumber = 0;
    IRealToString(1.5f, text, "('*',F5.2)");  // the format's own asterisk is no overflow
    EXPECT_EQ(text, "* 1.50      ");
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);

    WErrorReportMode(kReportConsole);
    text.assign(10, '#');
    IDoubleToString(1.0e30, text, "(F8.2)");
    EXPECT_EQ(text, "**********");
    EXPECT_EQ(ReporterGuard::records().back(), " Routine:IDoubleToString Error=  18:Numeric to string conversion error");
}

TEST(yyint2st, LeftJustifiedAndNulTerminated)
{
    ReporterGuard guard;
    std::string text(15, '#');
    yyint2st(-2147483647 - 1, text);
    EXPECT_EQ(text, std::string("-2147483648") + '\0' + "   ");
    text.assign(13, '#');
    yyint2st(42, text);
    EXPECT_EQ(text, std::string("42") + '\0' + blanks(10));
    text.assign(8, '#');
    yyint2st(42, text);  // shorter than "(I11)": asterisks and error 18
    EXPECT_EQ(text, "********");
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 18);
}

TEST(yyrea2st, StoresTheWriteStatusAndKeepsNarrowFieldsUnreported)
{
    ReporterGuard guard;
    std::string text(12, '#');
    yyrea2st(2.5f, text, "(F8.2)");
    EXPECT_EQ(text, std::string("2.50") + '\0' + blanks(7));
    EXPECT_EQ(libraryErrorState().FileDetailCode, 0);

    yydbl2st(1.0e9, text, "(F5.1)");
    EXPECT_EQ(text, std::string("*****") + '\0' + blanks(6));
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);

    std::string wide(14, '#');
    yydbl2st(1.0e-200, wide, "(E12.4E2)");  // an exponent too long for its digits
    EXPECT_EQ(wide, std::string(12, '*') + '\0' + " ");
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);

    yydbl2st(1.0, text, "(F5.1");
    EXPECT_EQ(text, std::string("**********") + '\0' + " ");
    EXPECT_EQ(libraryErrorState().FileDetailCode, 1);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 18);
}

TEST(YYLeftJustify, MovesTheSpan)
{
    struct Case { std::string text; const char* mode; std::string expected; } cases[] = {
        {"         42", "L", "42         "},
        {"ab    ", "R", "    ab"},
        {"ab    ", "C", "  ab  "},
        {"ab     ", "C", "  ab   "},   // an odd spare blank goes to the right
        {"  ab  ", "C", "  ab  "},
        {"  a b ", "L", "a b   "},
        {"      ", "L", "      "},
        {"abc", "R", "abc"},
        {" ab", "l", "ab "},           // only the capital L and R are named modes; others centre
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        YYLeftJustify(text, c.mode);
        EXPECT_EQ(text, c.expected) << "[" << c.text << "] " << c.mode;
    }
}
