#include "toolkit/foundation/NumberText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "toolkit/foundation/ErrorReport.h"

namespace {

// Descriptor sizes above this are refused: no text the toolkit writes into comes near it, and
// the bound keeps a mistyped format from asking for megabytes of digits.
constexpr int kLargestField = 500;

struct FormatItem {
    enum Kind { Literal, Blanks, Scale, Data } kind = Literal;
    std::string literal;
    int count = 0;       // blanks, or the scale factor
    char code = 0;       // I F E D G, or S for ES
    int w = 0, d = 0, e = 0;
    bool hasD = false, hasE = false;
};

std::string printfText(const char* pattern, int precision, double value)
{
    const int size = std::snprintf(nullptr, 0, pattern, precision, value);
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
    std::snprintf(buffer.data(), buffer.size(), pattern, precision, value);
    return std::string(buffer.data(), static_cast<std::size_t>(size));
}

// Extra digits asked of printf beyond the ones kept, so that the decimal rounding below sees the
// exact value's next digits: a value exactly halfway rounds away from zero, as formatted output
// of numbers does in the program's other tools, not to even as printf does.
constexpr int kGuardDigits = 20;

// Increments a string of decimal digits; true when the carry ran out of its left end.
bool incrementDigits(std::string& digits)
{
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    return true;
}

// |x| as count significant digits d1 d2 ... with |x| ~ d1.d2... x 10^exponent.
void scientificDigits(double ax, int count, std::string& digits, int& exponent)
{
    const std::string m = printfText("%.*e", count - 1 + kGuardDigits, ax);
    const std::size_t at = m.find('e');
    std::string all;
    for (std::size_t k = 0; k < at; ++k)
        if (m[k] != '.') all += m[k];
    exponent = std::atoi(m.c_str() + at + 1);
    const bool roundUp = all[static_cast<std::size_t>(count)] >= '5';
    digits = all.substr(0, static_cast<std::size_t>(count));
    if (roundUp && incrementDigits(digits)) {
        digits.insert(0, 1, '1');
        digits.pop_back();
        ++exponent;
    }
}

// |x| in fixed point with the given decimals ("12" for none, "0.50" for two).
std::string fixedDigits(double ax, int decimals)
{
    const std::string m = printfText("%.*f", decimals + kGuardDigits, ax);
    const std::size_t point = m.find('.');
    std::string digits = m.substr(0, point) + m.substr(point + 1, static_cast<std::size_t>(decimals));
    const bool roundUp = m[point + 1 + static_cast<std::size_t>(decimals)] >= '5';
    std::size_t integerLength = point;
    if (roundUp && incrementDigits(digits)) {
        digits.insert(0, 1, '1');
        ++integerLength;
    }
    if (decimals == 0) return digits;
    return digits.substr(0, integerLength) + "." + digits.substr(integerLength);
}

bool readNumber(std::string_view s, std::size_t& i, int& value)
{
    if (i >= s.size() || s[i] < '0' || s[i] > '9') return false;
    long n = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        n = n * 10 + (s[i] - '0');
        if (n > kLargestField) return false;
        ++i;
    }
    value = static_cast<int>(n);
    return true;
}

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Splits a parenthesised format into its items; false for anything not understood.
bool parseFormat(std::string_view format, std::vector<FormatItem>& items)
{
    // Blanks outside quoted literals carry no meaning in a format.
    std::string s;
    char quote = 0;
    for (char c : format) {
        if (quote) {
            s += c;
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
            s += c;
        } else if (c != ' ' && c != '\t' && c != '\0') {
            s += upper(c);
        }
    }
    if (quote || s.size() < 2 || s.front() != '(' || s.back() != ')') return false;
    const std::string_view body = std::string_view(s).substr(1, s.size() - 2);

    std::size_t i = 0;
    while (i < body.size()) {
        const char c = body[i];
        if (c == ',') {
            ++i;
            continue;
        }
        if (c == '\'' || c == '"') {
            FormatItem item;
            ++i;
            for (;;) {
                if (i >= body.size()) return false;
                if (body[i] == c) {
                    if (i + 1 < body.size() && body[i + 1] == c) {
                        item.literal += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item.literal += body[i++];
            }
            items.push_back(std::move(item));
            continue;
        }
        int sign = 1;
        bool hasSign = false;
        if (c == '-' || c == '+') {
            sign = c == '-' ? -1 : 1;
            hasSign = true;
            ++i;
        }
        int n = 0;
        const bool hasNumber = readNumber(body, i, n);
        if (i >= body.size()) return false;
        const char letter = body[i++];
        if (letter == 'P') {
            if (!hasNumber) return false;
            FormatItem item;
            item.kind = FormatItem::Scale;
            item.count = sign * n;
            items.push_back(item);
            continue;
        }
        if (hasSign) return false;
        if (letter == 'X') {
            FormatItem item;
            item.kind = FormatItem::Blanks;
            item.count = hasNumber ? n : 1;
            items.push_back(item);
            continue;
        }
        if (hasNumber && n == 0) return false;  // a repeat count of zero
        FormatItem item;
        item.kind = FormatItem::Data;
        item.code = letter;
        if (letter == 'E' && i < body.size() && body[i] == 'S') {
            item.code = 'S';
            ++i;
        }
        if (item.code != 'I' && item.code != 'F' && item.code != 'E' && item.code != 'D' && item.code != 'G' &&
            item.code != 'S')
            return false;
        if (!readNumber(body, i, item.w)) return false;
        if (i < body.size() && body[i] == '.') {
            ++i;
            if (!readNumber(body, i, item.d)) return false;
            item.hasD = true;
        }
        if ((item.code == 'E' || item.code == 'S' || item.code == 'G') && item.hasD && i < body.size() &&
            body[i] == 'E') {
            ++i;
            if (!readNumber(body, i, item.e) || item.e == 0) return false;
            item.hasE = true;
        }
        if (item.code != 'I' && item.code != 'G' && !item.hasD) return false;
        if (item.w == 0 && item.code != 'I' && item.code != 'F') return false;
        items.push_back(item);
    }
    return true;
}

std::string fitField(std::string s, int w)
{
    if (w == 0) return s;
    if (static_cast<int>(s.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
    return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

// The optional zero before the decimal point goes when the field is too narrow for it.
std::string dropOptionalZero(std::string s, int w)
{
    if (w == 0 || static_cast<int>(s.size()) <= w) return s;
    const std::size_t at = (!s.empty() && s[0] == '-') ? 1 : 0;
    if (s.compare(at, 2, "0.") == 0) s.erase(at, 1);
    return s;
}

std::string editNonFinite(double x, int w)
{
    std::string s;
    if (std::isnan(x)) {
        s = "NaN";
    } else {
        s = (x < 0 ? "-" : "") + std::string((w == 0 || w >= (x < 0 ? 9 : 8)) ? "Infinity" : "Inf");
    }
    return fitField(s, w);
}

std::string editInteger(long long v, int w, int m, bool hasM)
{
    std::string digits = (v == 0 && hasM && m == 0) ? std::string() : std::to_string(v < 0 ? -v : v);
    if (hasM && static_cast<int>(digits.size()) < m) digits.insert(0, static_cast<std::size_t>(m) - digits.size(), '0');
    if (w == 0 && digits.empty()) digits = "0";
    return fitField((v < 0 ? "-" : "") + digits, w);
}

std::string editFixed(double x, int w, int d, int scale)
{
    if (!std::isfinite(x)) return editNonFinite(x, w);
    const double v = std::fabs(x) * std::pow(10.0, scale);
    if (!std::isfinite(v)) return fitField(std::string(static_cast<std::size_t>(w) + 1, '*'), w);
    std::string s = fixedDigits(v, d);
    if (d == 0) s += '.';
    if (std::signbit(x)) s.insert(0, 1, '-');
    return fitField(dropOptionalZero(s, w), w);
}

std::string editExponent(double x, int w, int d, int e, bool hasE, int scale, char letter, bool scientific)
{
    if (!std::isfinite(x)) return editNonFinite(x, w);
    int digitsWanted = 0;
    if (scientific) {
        digitsWanted = d + 1;
    } else if (scale <= 0) {
        if (scale <= -d) return {};
        digitsWanted = d + scale;
    } else {
        if (scale >= d + 2) return {};
        digitsWanted = d + 1;
    }
    std::string digits(static_cast<std::size_t>(digitsWanted), '0');
    int exponent = 0;
    if (x != 0.0) {
        int decimalExponent = 0;
        scientificDigits(std::fabs(x), digitsWanted, digits, decimalExponent);
        exponent = scientific ? decimalExponent : decimalExponent + 1 - scale;
    }
    std::string mantissa;
    if (scientific) {
        mantissa = digits.substr(0, 1) + "." + digits.substr(1);
    } else if (scale <= 0) {
        mantissa = "0." + std::string(static_cast<std::size_t>(-scale), '0') + digits;
    } else {
        mantissa = digits.substr(0, static_cast<std::size_t>(scale)) + "." + digits.substr(static_cast<std::size_t>(scale));
    }
    const int magnitude = exponent < 0 ? -exponent : exponent;
    const std::string sign = exponent < 0 ? "-" : "+";
    std::string exponentText;
    if (hasE) {
        std::string value = std::to_string(magnitude);
        if (static_cast<int>(value.size()) > e) return std::string(static_cast<std::size_t>(w), '*');
        exponentText = std::string(1, letter) + sign + std::string(static_cast<std::size_t>(e) - value.size(), '0') + value;
    } else if (magnitude <= 99) {
        exponentText = std::string(1, letter) + sign + (magnitude < 10 ? "0" : "") + std::to_string(magnitude);
    } else if (magnitude <= 999) {
        exponentText = sign + std::to_string(magnitude);
    } else {
        return std::string(static_cast<std::size_t>(w), '*');
    }
    std::string s = (std::signbit(x) ? "-" : "") + mantissa + exponentText;
    return fitField(dropOptionalZero(s, w), w);
}

std::string editGeneral(double x, int w, int d, int e, bool hasE, int scale)
{
    if (!std::isfinite(x)) return editNonFinite(x, w);
    if (d == 0) return {};
    const int trailing = hasE ? e + 2 : 4;
    const int fixedWidth = w - trailing;
    int decimals = -1;
    if (x == 0.0) {
        decimals = d - 1;
    } else {
        std::string digits;
        int exponent = 0;
        scientificDigits(std::fabs(x), d, digits, exponent);
        ++exponent;  // the exponent of the form 0.d1d2...
        if (exponent >= 0 && exponent <= d) decimals = d - exponent;
    }
    if (decimals < 0) return editExponent(x, w, d, e, hasE, scale, 'E', false);
    if (fixedWidth <= 0) return std::string(static_cast<std::size_t>(w), '*');
    const std::string fixed = editFixed(x, fixedWidth, decimals, 0);
    if (fixed.find('*') != std::string::npos) return std::string(static_cast<std::size_t>(w), '*');
    return fixed + std::string(static_cast<std::size_t>(trailing), ' ');
}

bool editValue(const FormatItem& item, bool isInteger, INTEGER integerValue, double realValue, int scale,
               std::string& out)
{
    std::string field;
    if (isInteger) {
        if (item.code != 'I' && item.code != 'G') return false;
        field = editInteger(integerValue, item.w, item.d, item.code == 'I' && item.hasD);
    } else {
        switch (item.code) {
        case 'F': field = editFixed(realValue, item.w, item.d, scale); break;
        case 'E': field = editExponent(realValue, item.w, item.d, item.e, item.hasE, scale, 'E', false); break;
        case 'D': field = editExponent(realValue, item.w, item.d, 0, false, scale, 'D', false); break;
        case 'S': field = editExponent(realValue, item.w, item.d, item.e, item.hasE, scale, 'E', true); break;
        case 'G': field = item.hasD ? editGeneral(realValue, item.w, item.d, item.e, item.hasE, scale) : std::string(); break;
        default: return false;
        }
        if (field.empty()) return false;
    }
    out += field;
    return true;
}

std::string padTo(std::string_view s, std::size_t length)
{
    std::string text(s.substr(0, std::min(s.size(), length)));
    text.resize(length, ' ');
    return text;
}

// The common body of the three public writers.
void writeChecked(bool isInteger, INTEGER integerValue, DOUBLE realValue, std::string& text, std::string_view format,
                  std::string_view routine)
{
    std::string out;
    bool ok = YYFormatWrite(isInteger, integerValue, realValue, format, out) && out.size() <= text.size();
    // An asterisk the format did not ask for is a value too wide for its descriptor.
    if (ok && out.find('*') != std::string::npos && format.find('*') == std::string_view::npos) ok = false;
    if (ok) {
        text = padTo(out, text.size());
        return;
    }
    text = padTo("**********", text.size());
    YYErrorReport(18, routine);
}

// Left-justified with a NUL after the last character, blank-padded; the caller's text length.
void justifyWithNul(std::string& text)
{
    YYLeftJustify(text, "L");
    std::size_t used = text.size();
    while (used > 0 && text[used - 1] == ' ') --used;
    if (used < text.size()) text[used] = '\0';
}

void writeJustified(bool isInteger, INTEGER integerValue, DOUBLE realValue, std::string& text,
                    std::string_view format, std::string_view routine, std::string_view overflow, bool storeStatus)
{
    std::string out;
    const bool ok = YYFormatWrite(isInteger, integerValue, realValue, format, out) && out.size() <= text.size();
    if (storeStatus) libraryErrorState().FileDetailCode = ok ? 0 : 1;
    if (ok) {
        text = padTo(out, text.size());
        justifyWithNul(text);
        return;
    }
    text = padTo(std::string(overflow) + '\0', text.size());
    YYErrorReport(18, routine);
}

}  // namespace

bool YYFormatWrite(bool isInteger, INTEGER integerValue, DOUBLE realValue, std::string_view format, std::string& out)
{
    std::vector<FormatItem> items;
    out.clear();
    if (!parseFormat(format, items)) return false;
    int scale = 0;
    bool consumed = false;
    for (const FormatItem& item : items) {
        switch (item.kind) {
        case FormatItem::Literal: out += item.literal; break;
        case FormatItem::Blanks: out.append(static_cast<std::size_t>(item.count), ' '); break;
        case FormatItem::Scale: scale = item.count; break;
        case FormatItem::Data:
            // The one value is written; output ends where the next value would be asked for.
            if (consumed) return true;
            if (!editValue(item, isInteger, integerValue, realValue, scale, out)) return false;
            consumed = true;
            break;
        }
    }
    return consumed;
}

void IntegerToString(INTEGER value, std::string& text, std::string_view format)
{
    writeChecked(true, value, 0.0, text, format, "IntegerToString");
}

void IRealToString(REAL value, std::string& text, std::string_view format)
{
    writeChecked(false, 0, static_cast<DOUBLE>(value), text, format, "IRealToString");
}

void IDoubleToString(DOUBLE value, std::string& text, std::string_view format)
{
    writeChecked(false, 0, value, text, format, "IDoubleToString");
}

void yyint2st(INTEGER value, std::string& text)
{
    writeJustified(true, value, 0.0, text, "(I11)", "yyint2st", "***********", false);
}

void yyrea2st(REAL value, std::string& text, std::string_view format)
{
    writeJustified(false, 0, static_cast<DOUBLE>(value), text, format, "yyrea2st", "**********", true);
}

void yydbl2st(DOUBLE value, std::string& text, std::string_view format)
{
    writeJustified(false, 0, value, text, format, "yydbl2st", "**********", true);
}

void YYLeftJustify(std::string& text, std::string_view mode)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return;
    const std::size_t last = text.find_last_not_of(' ');
    const std::size_t width = last - first + 1;
    if (width == text.size()) return;
    std::size_t target = 0;
    if (!mode.empty() && mode[0] == 'L') {
        target = 0;
    } else if (!mode.empty() && mode[0] == 'R') {
        target = text.size() - width;
    } else {
        target = (text.size() - width) / 2;
    }
    if (target == first) return;
    const std::string span = text.substr(first, width);
    text.assign(text.size(), ' ');
    text.replace(target, width, span);
}
