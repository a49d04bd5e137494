#include "toolkit/foundation/NumberParse.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/NumberText.h"

namespace {

constexpr INTEGER kTooLarge = 4, kNoWord = 10, kTwoSeparators = 11, kBadCharacter = 12;

std::string_view firstWord(std::string_view text)
{
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return {};
    const std::size_t end = text.find(' ', start);
    return text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSeparator(char c) { return c == '.' || c == ','; }

INTEGER parseInteger(std::string_view text, INTEGER& value)
{
    value = 0;
    std::string_view word = firstWord(text);
    if (word.empty()) return kNoWord;
    const bool negative = word[0] == '-';
    if (word[0] == '-' || word[0] == '+') word.remove_prefix(1);
    for (char c : word)
        if (!isDigit(c)) return kBadCharacter;
    if (word.size() > 10 || (word.size() == 10 && word[0] > '2')) return kTooLarge;
    long long sum = 0;
    for (char c : word) {
        sum = sum * 10 + (c - '0');
        if (sum > std::numeric_limits<INTEGER>::max()) return kTooLarge;
    }
    value = static_cast<INTEGER>(negative ? -sum : sum);
    return 0;
}

// One part of a real number (mantissa or exponent): sign, digits, and for the mantissa one
// decimal separator.
struct NumberPart {
    bool negative = false;
    std::string integerDigits, fractionDigits;
};

INTEGER readPart(std::string_view part, bool isMantissa, std::size_t maxDigits, NumberPart& out)
{
    std::size_t i = 0;
    if (!part.empty() && (part[0] == '-' || part[0] == '+')) {
        out.negative = part[0] == '-';
        i = 1;
    }
    bool separatorSeen = false;
    for (; i < part.size(); ++i) {
        const char c = part[i];
        if (isDigit(c)) {
            (separatorSeen ? out.fractionDigits : out.integerDigits) += c;
            if (out.integerDigits.size() > maxDigits) return kTooLarge;
        } else if (isSeparator(c)) {
            if (!isMantissa) return kBadCharacter;
            if (separatorSeen) return kTwoSeparators;
            separatorSeen = true;
        } else {
            return kBadCharacter;
        }
    }
    return 0;
}

INTEGER parseReal(std::string_view text, bool isDouble, double& value)
{
    value = 0.0;
    const std::string_view word = firstWord(text);
    if (word.empty()) return kNoWord;
    const int limit = isDouble ? 308 : 38;
    const std::size_t maxDigits = isDouble ? 309 : 39;

    std::size_t letter = word.find('E');
    if (letter == std::string_view::npos) letter = word.find('e');
    if (isDouble && letter == std::string_view::npos) letter = word.find('D');
    if (isDouble && letter == std::string_view::npos) letter = word.find('d');
    std::string_view mantissaText = word, exponentText;
    bool hasExponent = false;
    if (letter != std::string_view::npos) {
        mantissaText = word.substr(0, letter);
        exponentText = word.substr(letter + 1);
        hasExponent = true;
    } else if (word.size() >= 5) {
        // The short form 1.5-100: a sign with exactly three characters after it starts the exponent.
        const std::size_t sign = word.size() - 4;
        if (word[sign] == '-' || word[sign] == '+') {
            mantissaText = word.substr(0, sign);
            exponentText = word.substr(sign);
            hasExponent = true;
        }
    }

    NumberPart mantissa, exponent;
    if (const INTEGER status = readPart(mantissaText, true, maxDigits, mantissa)) return status;
    if (hasExponent)
        if (const INTEGER status = readPart(exponentText, false, maxDigits, exponent)) return status;

    const std::string digits = "0" + mantissa.integerDigits + "." + mantissa.fractionDigits;
    const double m = std::strtod(digits.c_str(), nullptr);
    double result = m;
    if (hasExponent) {
        if (m == 0.0) return 0;
        // The exponent's own digits can run to hundreds; beyond a million the value is out of
        // every range anyway, so the count stops there instead of overflowing.
        long long exponentValue = 0;
        for (char c : exponent.integerDigits) {
            exponentValue = exponentValue * 10 + (c - '0');
            if (exponentValue > 1000000) break;
        }
        if (exponent.negative) exponentValue = -exponentValue;
        const long long p = -static_cast<long long>(std::log10(m) - 1.0);
        const long long n = exponentValue - p;
        if (n > limit) return kTooLarge;
        if (n < -limit) return 0;
        const std::string scaled = digits + "e" + std::to_string(exponentValue);
        result = std::strtod(scaled.c_str(), nullptr);
    }
    if (mantissa.negative) result = -result;
    if (!isDouble && std::fabs(result) > 3.4028235E38) return kTooLarge;
    // A double-precision mantissa just under the limit times 10^308 runs past the largest double.
    if (!std::isfinite(result)) return kTooLarge;
    value = result;
    return 0;
}

// The typed text of a field or cell: up to its first NUL, else its last non-blank character.
std::string_view fieldText(std::string_view text)
{
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) return text.substr(0, nul);
    const std::size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

// The quiet double parse; true when it succeeded.
bool parseQuietDouble(std::string_view text, DOUBLE& value)
{
    QuietErrors quiet;
    IStringToRealDouble(fieldText(text), value);
    return quiet.lastError() == 0;
}

bool parseQuietReal(std::string_view text, REAL& value)
{
    QuietErrors quiet;
    IStringToReal(fieldText(text), value);
    return quiet.lastError() == 0;
}

// Truncation toward zero that refuses what an INTEGER cannot hold.
INTEGER truncatedOrZero(double value)
{
    const double t = std::trunc(value);
    if (!(t >= -2147483647.0 && t <= 2147483647.0)) return 0;
    return static_cast<INTEGER>(t);
}

void finishReformat(std::string& text)
{
    YYLeftJustify(text, "L");
    std::size_t used = text.size();
    while (used > 0 && text[used - 1] == ' ') --used;
    if (used < text.size()) text[used] = '\0';
}

}  // namespace

void IStringToInteger(std::string_view text, INTEGER& value)
{
    if (const INTEGER status = parseInteger(text, value)) YYErrorReport(status, "IStringToInteger");
}

void IStringToReal(std::string_view text, REAL& value)
{
    double result = 0.0;
    const INTEGER status = parseReal(text, false, result);
    value = static_cast<REAL>(result);
    if (status) YYErrorReport(status, "IStringToReal");
}

void IStringToRealDouble(std::string_view text, DOUBLE& value)
{
    const INTEGER status = parseReal(text, true, value);
    if (status) YYErrorReport(status, "IStringToReal");
}

namespace {

// Blanks the first word of the text (after it was parsed, whether or not that succeeded).
void blankFirstWord(std::string& text)
{
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos) return;
    std::size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    text.replace(start, end - start, end - start, ' ');
}

}  // namespace

void INextInteger(std::string& text, INTEGER& value)
{
    if (firstWord(text).empty()) {
        value = 0;
        YYErrorReport(kNoWord, "INextInteger");
        return;
    }
    IStringToInteger(text, value);
    blankFirstWord(text);
}

void INextReal(std::string& text, REAL& value)
{
    if (firstWord(text).empty()) {
        value = 0.0f;
        YYErrorReport(kNoWord, "INextReal");
        return;
    }
    IStringToReal(text, value);
    blankFirstWord(text);
}

void YYParseNumber(DOUBLE& value, std::string_view text) { parseQuietDouble(text, value); }

void YYParseNumberChecked(DOUBLE& value, INTEGER& flag, std::string_view text)
{
    flag = parseQuietDouble(text, value) ? 1 : 0;
}

void YYParseRealQuiet(REAL& value, std::string_view text) { parseQuietReal(text, value); }

void YYParseNumberQuiet(INTEGER& value, std::string_view text)
{
    REAL real = 0.0f;
    parseQuietReal(text, real);
    value = truncatedOrZero(real);
}

void YYReformatInteger(std::string& text)
{
    DOUBLE value = 0.0;
    parseQuietDouble(text, value);
    IntegerToString(truncatedOrZero(value), text, "(I11)");
    finishReformat(text);
}

void YYReformatReal(std::string& text, std::string_view format)
{
    REAL value = 0.0f;
    parseQuietReal(text, value);
    IRealToString(value, text, format);
    finishReformat(text);
}

void YYReformatDouble(std::string& text, std::string_view format)
{
    DOUBLE value = 0.0;
    parseQuietDouble(text, value);
    IDoubleToString(value, text, format);
    finishReformat(text);
}
