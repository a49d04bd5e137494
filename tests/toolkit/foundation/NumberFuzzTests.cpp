// Randomised inputs for the number routines: no text or format makes them read or write out of
// bounds (the native tree runs this under the address and undefined-behaviour sanitizers), texts
// keep their length, failures leave 0, and formatted doubles read back to the same value.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "ReporterGuard.h"
#include "toolkit/foundation/NumberParse.h"
#include "toolkit/foundation/NumberText.h"

namespace {

constexpr int kRounds = 20000;

std::string randomText(std::mt19937& random, std::string_view alphabet, std::size_t maxLength)
{
    std::uniform_int_distribution<std::size_t> length(0, maxLength), pick(0, alphabet.size() - 1);
    std::string text(length(random), ' ');
    for (char& c : text) c = alphabet[pick(random)];
    return text;
}

double randomDouble(std::mt19937& random)
{
    switch (random() % 4) {
    case 0: {
        std::uint64_t bits = (static_cast<std::uint64_t>(random()) << 32) | random();
        double value;
        std::memcpy(&value, &bits, sizeof value);  // every bit pattern: NaNs, infinities, subnormals
        return value;
    }
    case 1: return std::ldexp(static_cast<double>(random()) / 4294967296.0 - 0.5, static_cast<int>(random() % 200) - 100);
    case 2: return static_cast<double>(static_cast<std::int32_t>(random()));
    default: return std::pow(10.0, static_cast<int>(random() % 620) - 310);
    }
}

}  // namespace

TEST(NumberFuzz, ParsersOnRandomTexts)
{
    ReporterGuard guard;
    std::mt19937 random(20261210);
    static constexpr char alphabet[] = "0123456789+-.,eEdD x\t9999\0";
    const std::string_view letters(alphabet, sizeof alphabet - 1);
    for (int round = 0; round < kRounds; ++round) {
        std::string text = randomText(random, letters, round % 50 == 0 ? 400 : 24);
        const std::string before = text;
        libraryErrorState().LastErrorNumber = 0;
        INTEGER integer = 1;
        IStringToInteger(text, integer);
        if (libraryErrorState().LastErrorNumber != 0) {
            EXPECT_EQ(integer, 0) << text;
        }
        libraryErrorState().LastErrorNumber = 0;
        REAL real = 1;
        IStringToReal(text, real);
        EXPECT_TRUE(std::isfinite(real)) << text;
        if (libraryErrorState().LastErrorNumber != 0) {
            EXPECT_EQ(real, 0.0f) << text;
        }
        DOUBLE dbl = 1;
        IStringToRealDouble(text, dbl);
        EXPECT_TRUE(std::isfinite(dbl)) << text;
        EXPECT_EQ(text, before);

        YYParseNumberQuiet(integer, text);
        std::string field = text;
        YYReformatReal(field, "(G15.5E2)");
        EXPECT_EQ(field.size(), text.size());
        field = text;
        YYReformatInteger(field);
        EXPECT_EQ(field.size(), text.size());
        field = text;
        INextReal(field, real);
        EXPECT_EQ(field.size(), text.size());
    }
}

TEST(NumberFuzz, FormattersOnRandomFormatsAndValues)
{
    ReporterGuard guard;
    std::mt19937 random(7);
    static constexpr char pieces[][8] = {"I", "F", "E", "G", "D", "ES", "P", "X", "1", "2", "5", "11", "30",
                                         ".", "E", ",", "'a'", "\"", "(", ")", "-", "*", "0"};
    for (int round = 0; round < kRounds; ++round) {
        std::string format = "(";
        for (unsigned n = random() % 8; n > 0; --n) format += pieces[random() % std::size(pieces)];
        if (random() % 8 != 0) format += ")";
        std::string text(random() % 40, '#');
        const std::size_t length = text.size();
        const double value = randomDouble(random);
        IDoubleToString(value, text, format);
        EXPECT_EQ(text.size(), length) << format;
        IRealToString(static_cast<REAL>(value), text, format);
        IntegerToString(static_cast<INTEGER>(random()), text, format);
        yydbl2st(value, text, format);
        yyint2st(static_cast<INTEGER>(random()), text);
        EXPECT_EQ(text.size(), length) << format;
    }
}

TEST(NumberFuzz, SeventeenSignificantDigitsReadBackExactly)
{
    ReporterGuard guard;
    std::mt19937 random(42);
    for (int round = 0; round < kRounds; ++round) {
        const double value = randomDouble(random);
        if (!std::isfinite(value) || std::fabs(value) < 1e-300 || std::fabs(value) > 1e300) continue;
        std::string text(26, ' ');
        IDoubleToString(value, text, "(1PE26.16E3)");
        DOUBLE back = 0;
        IStringToRealDouble(text, back);
        ASSERT_EQ(back, value) << text;
    }
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
}
