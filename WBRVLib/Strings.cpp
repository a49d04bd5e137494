#include "WBRVLib/Strings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "WBRVLib/ToolkitLink.h"

namespace {

// The number of positions a routine may touch: the count, cut to the buffer.
int span(std::string_view text, INTEGER n) { return n <= 0 ? 0 : static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(n), text.size())); }

char at(std::string_view text, int position) { return (position >= 1 && position <= static_cast<int>(text.size())) ? text[position - 1] : ' '; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLower(char c) { return c >= 'a' && c <= 'z'; }
bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
char upper(char c) { return isLower(c) ? static_cast<char>(c - 32) : c; }
char lower(char c) { return isUpper(c) ? static_cast<char>(c + 32) : c; }

// Shifts p[0..n-1] by k places (k > 0 towards the end), blanks entering; |k| >= n changes nothing.
// The distance is taken in 64 bits: -INT_MIN does not fit an int.
void shiftChars(char* p, int n, int k)
{
    const std::int64_t distance = k < 0 ? -static_cast<std::int64_t>(k) : k;
    if (k == 0 || n <= 0 || distance >= n) return;
    const int a = static_cast<int>(distance);
    if (k > 0) {
        for (int i = n - 1; i >= a; --i) p[i] = p[i - a];
        std::fill(p, p + a, ' ');
    } else {
        for (int i = 0; i < n - a; ++i) p[i] = p[i + a];
        std::fill(p + (n - a), p + n, ' ');
    }
}

std::string withoutBlanks(std::string_view text)
{
    std::string out;
    for (char c : text)
        if (c != ' ') out.push_back(c);
    return out;
}

std::string asterisks(int width) { return std::string(static_cast<std::size_t>(std::max(width, 0)), '*'); }

std::string rightAligned(const std::string& text, int width)
{
    if (static_cast<int>(text.size()) > width) return asterisks(width);
    return std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}

// Puts a result into the caller's buffer: its first positions, the rest blanked.
void store(std::string& text, const std::string& result)
{
    const std::size_t size = std::max(text.size(), result.size());
    text.assign(result);
    text.resize(size, ' ');
}

}  // namespace

// ---- number text ---------------------------------------------------------------------------

bool readRealWord(std::string_view word, REAL& value)
{
    std::string text(word);
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < text.size()) {
        char& e = text[i];
        if (e != 'E' && e != 'e' && e != 'D' && e != 'd') return false;
        e = 'E';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        while (i < text.size() && isDigit(text[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0 || i != text.size()) return false;
    }
    const char* first = text.data();
    if (*first == '+') ++first;
    REAL parsed = 0.0f;
    const auto result = std::from_chars(first, text.data() + text.size(), parsed);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return false;
    value = parsed;
    return true;
}

bool readIntegerWord(std::string_view word, INTEGER& value)
{
    if (word.empty()) return false;
    const char* first = word.data();
    const char* last = word.data() + word.size();
    // One sign at most: from_chars would take the '-' of "+-5" after the '+' was skipped.
    if (*first == '+') ++first;
    if (first == last || (first != word.data() && *first == '-')) return false;
    INTEGER parsed = 0;
    const auto result = std::from_chars(first, last, parsed);
    if (result.ec != std::errc() || result.ptr != last) return false;
    value = parsed;
    return true;
}

std::string formatInteger(INTEGER value, int width) { return rightAligned(std::to_string(value), width); }

std::string formatFixed(double value, int width, int decimals)
{
    if (!std::isfinite(value)) return asterisks(width);
    std::array<char, 400> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.*f", decimals, value);
    return rightAligned(buffer.data(), width);
}

std::string formatExponent(double value, int width, int decimals)
{
    if (!std::isfinite(value)) return asterisks(width);
    std::array<char, 64> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.*E", decimals, value);
    // Some C libraries write three exponent digits; the program's notation has two.
    const std::string text(buffer.data());
    const std::size_t e = text.find('E');
    int exponent = std::atoi(text.c_str() + e + 1);
    std::array<char, 16> tail{};
    std::snprintf(tail.data(), tail.size(), "%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return rightAligned(text.substr(0, e + 1) + tail.data(), width);
}

// ---- searching and measuring ---------------------------------------------------------------

INTEGER IFNDPT(std::string_view text, INTEGER n, std::string_view pattern, INTEGER m)
{
    const int count = span(text, n);
    if (count <= 0 || m <= 0 || m > count || static_cast<std::size_t>(m) > pattern.size()) return 0;
    const std::string_view needle = pattern.substr(0, static_cast<std::size_t>(m));
    const std::size_t found = text.substr(0, static_cast<std::size_t>(count)).find(needle);
    return found == std::string_view::npos ? 0 : static_cast<INTEGER>(found + 1);
}

INTEGER INDSTR(std::string_view text, INTEGER n)
{
    int i = span(text, n);
    while (i > 0 && text[i - 1] == ' ') --i;
    return i;
}

INTEGER IBGSTR(std::string_view text, INTEGER n)
{
    const int count = span(text, n);
    for (int i = 1; i <= count; ++i)
        if (text[i - 1] != ' ') return i;
    return 0;
}

INTEGER IWDSTR(std::string_view text, INTEGER n, char ch)
{
    for (int i = span(text, n); i >= 1; --i)
        if (text[i - 1] == ch) return i;
    return 0;
}

INTEGER KNTCHR(std::string_view text, INTEGER n, char ch)
{
    const int count = span(text, n);
    return static_cast<INTEGER>(std::count(text.begin(), text.begin() + count, ch));
}

INTEGER IFIRSTINT(std::string_view text, INTEGER n)
{
    const int count = span(text, n);
    for (int i = 1; i <= count; ++i)
        if (isDigit(text[i - 1])) return i;
    return 0;
}

INTEGER ILASTINT(std::string_view text, INTEGER n, INTEGER start)
{
    const int count = span(text, n);
    if (start < 1 || start > count || !isDigit(text[start - 1])) return 0;
    int i = start;
    while (i < count && isDigit(text[i])) ++i;
    return i;
}

INTEGER IDNTCL(std::string_view upperText, std::string_view text, INTEGER n)
{
    const int count = span(text, n);
    int i = 0;
    while (i < count && i < static_cast<int>(upperText.size()) && upper(text[i]) == upperText[i]) ++i;
    return i;
}

LOGICAL LCUQEQ(std::string_view word, std::string_view templ, INTEGER n)
{
    const int count = span(templ, n);
    for (int i = 1; i <= count; ++i) {
        const char t = templ[i - 1];
        const char w = at(word, i);
        if (isLower(t)) {
            if (w == ' ') return kTrue;
            if (upper(w) != upper(t)) return kFalse;
        } else if (w != t) {
            return kFalse;
        }
    }
    return kTrue;
}

// ---- shifting, copying, replacing ----------------------------------------------------------

void SHFSTR(std::string& text, INTEGER n, INTEGER k) { shiftChars(text.data(), span(text, n), k); }

void COPSTR(char* to, const char* from, INTEGER n)
{
    for (INTEGER i = 0; i < n; ++i) to[i] = from[i];
}

void COPCHR(std::string& text, INTEGER n, char ch) { std::fill_n(text.begin(), span(text, n), ch); }

void RPLCHR(std::string& text, INTEGER n, char oldChar, char newChar)
{
    std::replace(text.begin(), text.begin() + span(text, n), oldChar, newChar);
}

INTEGER IRPLPT(std::string& text, INTEGER n, std::string_view pattern, INTEGER m, std::string_view replacement, INTEGER r)
{
    const int count = span(text, n);
    if (count <= 0 || m <= 0 || static_cast<std::size_t>(m) > pattern.size()) return 0;
    r = std::clamp<INTEGER>(r, 0, static_cast<INTEGER>(replacement.size()));
    const std::string_view needle = pattern.substr(0, static_cast<std::size_t>(m));
    INTEGER replaced = 0;
    // A shorter replacement pulls blanks in at the end; they are not searched again, or a pattern
    // of blanks would match the entering blanks for ever.
    int end = count;
    int i = 1;
    while (i + m - 1 <= end) {
        if (std::string_view(text).substr(static_cast<std::size_t>(i - 1), static_cast<std::size_t>(m)) != needle) {
            ++i;
            continue;
        }
        shiftChars(text.data() + (i - 1), count - i + 1, r - m);
        const int copied = std::min<int>(r, count - i + 1);
        std::copy_n(replacement.data(), copied, text.data() + (i - 1));
        ++replaced;
        if (r < m) end = std::max(end - (m - r), i - 1);
        i += r;
    }
    return replaced;
}

void RPL_PAT(std::string& text, INTEGER n, std::string_view pattern, INTEGER m, std::string_view replacement, INTEGER r)
{
    IRPLPT(text, n, pattern, m, replacement, r);
}

void NTRAIL(std::string& text, INTEGER& n, char ch)
{
    int i = span(text, n);
    if (i <= 0) return;
    while (i >= 1 && text[i - 1] == ch) text[--i] = ' ';
    n = i;
}

void INTNUMONLY(std::string& text, INTEGER n)
{
    // Every non-blank character that is not a digit goes, also when two stand side by side.
    const int count = span(text, n);
    int i = 1;
    while (i <= count) {
        const char c = text[i - 1];
        if (c == ' ' || isDigit(c)) {
            ++i;
            continue;
        }
        if (i == count) {
            text[i - 1] = ' ';
            break;
        }
        shiftChars(text.data() + (i - 1), count - i + 1, -1);
        if (INDSTR(std::string_view(text).substr(static_cast<std::size_t>(i - 1)), count - i + 1) == 0) break;
    }
}

void NODOUBLEBLANK(std::string& text)
{
    // The search ends at the used length of each round: the padding is all blanks and would
    // always match again.
    while (IRPLPT(text, INDSTR(text, static_cast<INTEGER>(text.size())), "  ", 2, " ", 1) > 0) {
    }
}

// ---- words ---------------------------------------------------------------------------------

void NXTWRD(std::string_view text, INTEGER n, INTEGER& pos, std::string& word, INTEGER m)
{
    word.assign(static_cast<std::size_t>(std::max<INTEGER>(m, 0)), ' ');
    const int count = span(text, n);
    if (pos <= 0 || pos > count) return;
    int start = pos;
    while (start <= count && text[start - 1] == ' ') ++start;
    if (start > count) return;
    int end = start;
    while (end <= count && text[end - 1] != ' ') ++end;
    const int length = std::min<int>(end - start, std::max<INTEGER>(m, 0));
    std::copy_n(text.data() + (start - 1), length, word.data());
    pos = end <= count ? end + 1 : count + 1;
}

INTEGER NWORDS(std::string_view text, INTEGER n)
{
    INTEGER pos = 1, words = 0;
    std::string word;
    for (;;) {
        NXTWRD(text, n, pos, word, 10);
        if (INDSTR(word, 10) == 0) return words;
        ++words;
    }
}

void ADDWRD(std::string& text, INTEGER n, INTEGER& pos, std::string_view word, INTEGER m)
{
    const int length = INDSTR(word, m);
    const int count = span(text, n);
    if (length == 0 || pos < 1 || pos > count - 1) return;
    const int copied = std::min(length, count - pos);
    std::copy_n(word.data(), copied, text.data() + (pos - 1));
    pos += copied + 1;
}

void UNQ10(std::string* words, INTEGER count)
{
    if (count <= 0 || words == nullptr) return;
    std::vector<std::string> upperWords(static_cast<std::size_t>(count));
    for (INTEGER i = 0; i < count; ++i) {
        upperWords[i] = words[i];
        upperWords[i].resize(10, ' ');
        for (char& c : upperWords[i]) c = upper(c);
    }
    for (INTEGER i = 0; i < count; ++i) {
        INTEGER shared = 0;
        for (INTEGER j = 0; j < count; ++j)
            if (j != i) shared = std::max(shared, IDNTCL(upperWords[i], upperWords[j], 10));
        words[i] = upperWords[i];
        UCTOLC(words[i], shared + 2, 10);
    }
}

// ---- case and clean-up ---------------------------------------------------------------------

void LCTOUC(std::string& text, INTEGER n)
{
    const int count = span(text, n);
    for (int i = 0; i < count; ++i) text[i] = upper(text[i]);
}

void UCTOLC(std::string& text, INTEGER from, INTEGER to)
{
    const int last = span(text, to);
    for (int i = std::max<INTEGER>(from, 1); i <= last; ++i) text[i - 1] = lower(text[i - 1]);
}

INTEGER NCHRCK(std::string& text, INTEGER n)
{
    const int count = span(text, n);
    INTEGER replaced = 0;
    for (int i = 0; i < count; ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        const bool kept = (b >= 32 && b <= 126) || (b >= 128 && b <= 168) || (b >= 224 && b <= 252);
        if (!kept) {
            text[i] = ' ';
            ++replaced;
        }
    }
    return replaced;
}

void CHR_CHK(std::string& text, INTEGER n) { NCHRCK(text, n); }

void VALIDATEFILENAME(std::string& text, INTEGER n, char ch)
{
    const int count = span(text, n);
    constexpr std::string_view kRefused = "\"*/:<>?\\|";
    for (int i = 0; i < count; ++i)
        if (static_cast<unsigned char>(text[i]) < 32 || kRefused.find(text[i]) != std::string_view::npos) text[i] = ch;
}

void ECD2ASC(std::string& text, INTEGER n)
{
    static const std::array<char, 256> table = [] {
        std::array<char, 256> t{};
        t.fill(' ');
        const auto range = [&t](int code, std::string_view chars) {
            for (char c : chars) t[static_cast<std::size_t>(code++)] = c;
        };
        range(0x81, "abcdefghi");
        range(0x91, "jklmnopqr");
        range(0xA2, "stuvwxyz");
        range(0xC1, "ABCDEFGHI");
        range(0xD1, "JKLMNOPQR");
        range(0xE2, "STUVWXYZ");
        range(0xF0, "0123456789");
        range(0x4B, ".<(+|");
        range(0x50, "&");
        range(0x5A, "!$*);");
        range(0x60, "-/");
        range(0x6B, ",%_>?");
        range(0x79, "`:#@'=\"");
        return t;
    }();
    const int count = span(text, n);
    for (int i = 0; i < count; ++i) text[i] = table[static_cast<unsigned char>(text[i])];
}

// ---- numbers in texts ----------------------------------------------------------------------

void FMTFN(std::string& text, REAL x, INTEGER& code)
{
    std::string result = formatFixed(x, 12, 5);
    const REAL magnitude = std::fabs(x);
    if (result.find('*') != std::string::npos || (magnitude > 0.0f && magnitude < 0.001f)) {
        store(text, formatFixed(x, 12, 1));
        code = 12;
        return;
    }
    store(text, result);
    const INTEGER first = IBGSTR(result, 12);
    const INTEGER limit = result.find('-') != std::string::npos ? 3 : 4;
    if (x == 0.0f || first <= limit) code = 8;
    else if (magnitude >= 1.0f) code = 9;
    else if (magnitude >= 0.1f) code = 10;
    else if (magnitude >= 0.01f) code = 11;
    else code = 12;
}

void FIXFLOAT(std::string& text)
{
    const INTEGER size = static_cast<INTEGER>(text.size());
    LCTOUC(text, size);
    const INTEGER used = INDSTR(text, size);
    if (used == 0) return;
    const bool hasE = text.find('E') != std::string::npos;
    const bool hasPoint = text.find('.') != std::string::npos;
    if (hasE && !hasPoint) IRPLPT(text, size, "E", 1, ".E", 2);
    else if (!hasE && !hasPoint && used < size) text[used] = '.';
}

INTEGER NUMAFTER(std::string_view text, INTEGER n, std::string_view keyword, INTEGER m)
{
    if (n < 1 || m < 1) return 0;
    std::string work(text.substr(0, static_cast<std::size_t>(span(text, n))));
    LCTOUC(work, static_cast<INTEGER>(work.size()));
    const INTEGER found = IFNDPT(work, static_cast<INTEGER>(work.size()), keyword, m);
    int i = found > 0 ? found + m : m;
    std::string digits;
    while (i <= static_cast<int>(work.size()) && isDigit(work[i - 1]) && digits.size() < 20) digits.push_back(work[i++ - 1]);
    INTEGER value = 0;
    if (digits.empty() || !readIntegerWord(digits, value)) return 0;
    return value;
}

namespace {
// Removes the keyword's length from the front of an 80-character line and hands back its first
// word (20 characters); false when the keyword is not in the line.
bool takeKeywordValue(std::string_view keyword, std::string& line, std::string& word)
{
    const INTEGER n = std::min<INTEGER>(80, static_cast<INTEGER>(line.size()));
    const auto k = static_cast<INTEGER>(keyword.size());
    if (IFNDPT(line, n, keyword, k) == 0) return false;
    SHFSTR(line, n, -k);
    INTEGER pos = 1;
    NXTWRD(line, n, pos, word, 20);
    return true;
}
}  // namespace

LOGICAL LREADREAL(std::string_view keyword, std::string& line, REAL& value)
{
    std::string word;
    if (!takeKeywordValue(keyword, line, word)) return kFalse;
    const std::string digits = withoutBlanks(word);
    if (digits.empty()) value = 0.0f;
    else readRealWord(digits, value);
    return kTrue;
}

LOGICAL LREADINT(std::string_view keyword, std::string& line, INTEGER& value)
{
    std::string word;
    if (!takeKeywordValue(keyword, line, word)) return kFalse;
    const std::string digits = withoutBlanks(word.substr(0, 10));
    if (digits.empty()) value = 0;
    else readIntegerWord(digits, value);
    return kTrue;
}

LOGICAL LREADLOG(std::string_view keyword, std::string& line, LOGICAL& value)
{
    std::string word;
    if (!takeKeywordValue(keyword, line, word)) return kFalse;
    const char c = upper(word[0]);
    if (c == 'T') value = kTrue;
    else if (c == 'F') value = kFalse;
    return kTrue;
}

LOGICAL LBADREAL(std::string_view text, REAL& x)
{
    if (text.find('*') != std::string_view::npos) {
        x = 1.0e20f;
        return kFalse;
    }
    const std::string digits = withoutBlanks(text.substr(0, std::min<std::size_t>(20, text.size())));
    if (digits.empty()) {
        x = 0.0f;
        return kFalse;
    }
    return toLogical(!readRealWord(digits, x));
}

LOGICAL LBADINT(std::string_view text, INTEGER& i)
{
    if (text.find('*') != std::string_view::npos) {
        i = 9999999;
        return kFalse;
    }
    const std::string digits = withoutBlanks(text.substr(0, std::min<std::size_t>(20, text.size())));
    if (digits.empty()) {
        i = 0;
        return kFalse;
    }
    return toLogical(!readIntegerWord(digits, i));
}

// ---- file names ----------------------------------------------------------------------------

void FILENAMEEXTONLY(std::string& name)
{
    const std::size_t slash = name.rfind('\\');
    if (slash == std::string::npos) return;
    store(name, name.substr(slash + 1));
}

void FILENAMEONLY(std::string& name)
{
    FILENAMEEXTONLY(name);
    const std::size_t dot = name.find('.');
    if (dot != std::string::npos) std::fill(name.begin() + static_cast<std::ptrdiff_t>(dot), name.end(), ' ');
}

void INIFILENAME(std::string& name)
{
    std::string path(255, ' ');  // the toolkit fills the text to the length it is given
    IOsCommandWord(0, path);
    std::string trimmed = path.substr(0, static_cast<std::size_t>(INDSTR(path, static_cast<INTEGER>(path.size()))));
    // Only the program's own extension is replaced (in any case): ".EXE" inside a folder name is
    // part of the folder, and the folder keeps its case for file systems that mind it.
    std::string tail = trimmed.size() >= 4 ? trimmed.substr(trimmed.size() - 4) : std::string();
    LCTOUC(tail, static_cast<INTEGER>(tail.size()));
    if (tail == ".EXE") trimmed.resize(trimmed.size() - 4);
    trimmed += ".INI";
    std::error_code error;
    if (std::filesystem::is_regular_file(trimmed, error)) {
        store(name, trimmed);
        name.resize(255, ' ');
        return;
    }
    std::string user;
    IOsUserName(user);
    const std::string userName = user.substr(0, static_cast<std::size_t>(INDSTR(user, static_cast<INTEGER>(user.size()))));
    std::string file = trimmed;
    FILENAMEEXTONLY(file);
    file.resize(static_cast<std::size_t>(INDSTR(file, static_cast<INTEGER>(file.size()))));
    // Without a user name there is no folder of the user's own to fall back on.
    if (!userName.empty() && !trimmed.empty() && upper(trimmed[0]) == 'C') {
        for (const char* base : {"C:\\Users\\", "C:\\Documents and Settings\\", "C:\\"}) {
            const std::string folder = std::string(base) + userName;
            if (!isTrue(IOsDirIsPresent(folder))) continue;
            const std::string own = folder + "\\Brevalon";
            if (!isTrue(IOsDirIsPresent(own))) IOsDirMake(own);
            store(name, own + "\\" + file);
            name.resize(255, ' ');
            return;
        }
    }
    store(name, file);
    name.resize(255, ' ');
}
