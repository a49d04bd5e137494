#include "toolkit/devices/GraphicFileProbe.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <string>

#include "toolkit/foundation/CharacterRoutines.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/NumberParse.h"

namespace {

constexpr std::size_t kHeaderSize = 128;
// Longest CGM parameter list: a 15-bit length rounded up to even.
constexpr std::size_t kCgmParameterSize = 32768;

// The probe's working state: the header of the file (zero-filled, with a few zero bytes beyond
// it so that a pattern found near its end reads zeros, not the bytes of an earlier probe) and the
// parameters of the CGM element last read.
struct GraphicProbeState {
    std::array<std::uint8_t, kHeaderSize + 8> header{};
    std::array<std::uint8_t, kCgmParameterSize> cgmParameters{};
};

GraphicProbeState& graphicProbeState()
{
    static GraphicProbeState state;
    return state;
}

std::uint32_t le16(const std::uint8_t* p) { return p[0] | (p[1] << 8U); }
std::uint32_t le32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8U) | (p[2] << 16U) | (static_cast<std::uint32_t>(p[3]) << 24U);
}
std::uint32_t be32(const std::uint8_t* p)
{
    return (static_cast<std::uint32_t>(p[0]) << 24U) | (p[1] << 16U) | (p[2] << 8U) | p[3];
}

// A value that fits an INTEGER, or -1 (no value) for one that does not: sizes computed from a
// broken file must not overflow.
INTEGER valueOrNone(double v)
{
    if (!std::isfinite(v) || v >= 2147483648.0 || v <= -2147483649.0) return -1;
    return static_cast<INTEGER>(std::trunc(v));
}

INTEGER powerOfTwo(std::uint32_t bits) { return bits <= 30 ? INTEGER{1} << bits : -1; }

// Position of the pattern within the header's 128 bytes, or npos.
std::size_t findInHeader(const GraphicProbeState& state, std::string_view pattern)
{
    const auto begin = state.header.begin();
    const auto end = begin + kHeaderSize;
    const auto found = std::search(begin, end, pattern.begin(), pattern.end(),
                                   [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
    return found == end ? std::string_view::npos : static_cast<std::size_t>(found - begin);
}

bool bytesAt(const GraphicProbeState& state, std::size_t position, std::string_view pattern)
{
    return position + pattern.size() <= kHeaderSize &&
           std::memcmp(state.header.data() + position, pattern.data(), pattern.size()) == 0;
}

void blankUpTo(std::string& text, std::size_t count) { std::fill_n(text.begin(), std::min(count, text.size()), ' '); }

// The text between the first pair of double quotes, or blank.
std::string quoted(const std::string& text)
{
    const auto open = text.find('"');
    if (open == std::string::npos) return " ";
    const auto close = text.find('"', open + 1);
    if (close == std::string::npos) return " ";
    return text.substr(open + 1, close - open - 1) + " ";
}

// The two-character instruction name at the first non-blank position, blanked out with
// everything before it; empty for a blank line. after := the index of the character behind it.
std::string takeInstruction(std::string& text, std::size_t& after)
{
    const INTEGER p = YYFirstNonBlank(text);
    if (p == 0) return {};
    std::string name = text.substr(static_cast<std::size_t>(p - 1), 2);
    after = static_cast<std::size_t>(p + 1);
    blankUpTo(text, after);
    return name;
}

// Whether the DXF file opens with group-999 comments before its first SECTION.
bool dxfAfterComments(ByteSource& source)
{
    if (source.seek(0, 0) != 0) return false;
    ByteReader reader(source);
    std::string code, value;
    while (reader.line(code, 20) && reader.line(value, 20)) {
        INTEGER group = 0;
        INextInteger(code, group);
        if (group == 999) continue;
        if (group != 0) return false;
        const INTEGER p = YYFirstNonBlank(value);
        if (p == 0) return false;
        std::string word = value.substr(static_cast<std::size_t>(p - 1));
        word.erase(word.find_last_not_of(' ') + 1);
        return word == "SECTION";
    }
    return false;
}

INTEGER identify(ByteSource& source, const GraphicProbeState& state)
{
    const std::uint8_t* h = state.header.data();
    std::size_t f = 0;
    while (f < kHeaderSize && (h[f] == ' ' || h[f] == 0)) ++f;
    if (bytesAt(state, f, "IN")) return kGraphicHpgl;
    if (bytesAt(state, f, "\x1b%0B")) return kGraphicHpgl2;
    if (bytesAt(state, f, "%!PS")) return kGraphicPostScript;
    if (f + 1 < kHeaderSize && h[f] == '0' && (h[f + 1] == '\n' || h[f + 1] == '\r')) {
        const std::string_view first20(reinterpret_cast<const char*>(h), 20);
        if (first20.find("SECTION") != std::string_view::npos) return kGraphicDxf;
    }
    if (bytesAt(state, f, "999") && f + 3 < kHeaderSize && (h[f + 3] == '\r' || h[f + 3] == '\n'))
        return dxfAfterComments(source) ? kGraphicDxf : kGraphicUnknown;
    if ((findInHeader(state, "<!DOCTYPE svg") != std::string_view::npos ||
         findInHeader(state, "<!doctype svg") != std::string_view::npos) &&
        (findInHeader(state, "<?XML ") != std::string_view::npos ||
         findInHeader(state, "<?xml ") != std::string_view::npos))
        return kGraphicSvg;
    if (h[0] == 10 && h[2] == 1) return kGraphicPcx;
    if (h[0] == 'B' && h[1] == 'M' && le32(h + 6) == 0 && le32(h + 14) != 12) return kGraphicBmp;
    if (le32(h + 40) == 0x464D4520) return kGraphicMetafile;
    if (bytesAt(state, 0, std::string_view("\x01\x00\x09\x00\x00\x03", 6)) || le32(h) == 0x9AC6CDD7)
        return kGraphicMetafile;
    if (h[0] == 0 && h[1] >= 0x10 && h[2] < 0x20) return kGraphicCgm;
    if (h[0] == 1 && h[4] == 1 && h[6] == 8 && h[8] == 0x44 && h[13] == 12) return kGraphicPic;
    if (bytesAt(state, 0, "Draw")) return kGraphicDraw;
    if (bytesAt(state, 0, "\x1b[?38h")) return kGraphicTerminal;
    if (bytesAt(state, 0, "\x1b" "E") || bytesAt(state, 0, "\x1b&a")) return kGraphicPcl;
    if (bytesAt(state, 0, "\x1b@")) return kGraphicEpson;
    if (bytesAt(state, 0, "\x1bU\x01")) return kGraphicEscU;
    if (bytesAt(state, 0, "\x89PNG\r\n\x1a\n")) return kGraphicPng;
    return kGraphicUnknown;
}

using Values = std::array<INTEGER, 7>;  // values 2 to 6 at their own indices

// HP-GL and HP-GL/2: size from the input window, plotter type from the toolkit's marker
// instructions, colour or pen count from the type.
void hpglValues(ByteReader& reader, std::string text, bool hpgl2, Values& v)
{
    static constexpr INTEGER kUnitsPerInch[10] = {1016, 1021, 1021, 1016, 1016, 1016, 1016, 1016, 1016, 1016};
    static constexpr INTEGER kPens[10] = {4, 6, 6, 4, 6, 8, 8, 8, 6, 6};
    static constexpr INTEGER kColours[5] = {2, 256, 2, 256, 256};
    const QuietErrors quiet;
    bool haveType = false, haveSize = false;
    std::int64_t width = 0, height = 0;
    for (;;) {
        for (;;) {
            std::size_t after = 0;
            const std::string name = takeInstruction(text, after);
            if (name.empty()) break;
            if (name == "SC") {
                INTEGER first = 0, second = 0;
                INextInteger(text, first);
                if (first == -13) {
                    INextInteger(text, second);
                    v[5] = hpgl2 ? valueOrNone(static_cast<double>(second) - 10) : second;
                    haveType = true;
                    break;
                }
            } else if (name == "IP") {
                INTEGER x1 = 0, y1 = 0, x2 = 0, y2 = 0;
                INextInteger(text, x1);
                INextInteger(text, y1);
                INextInteger(text, x2);
                INextInteger(text, y2);
                if (hpgl2) {
                    v[2] = valueOrNone(static_cast<double>((72 * (std::int64_t{x2} - x1) + 72) / 1016));
                    v[3] = valueOrNone(static_cast<double>((72 * (std::int64_t{y2} - y1) + 72) / 1016));
                } else {
                    width = std::int64_t{x2} - x1 + 1;
                    height = std::int64_t{y2} - y1 + 1;
                }
                haveSize = true;
                break;
            } else if (hpgl2 && name == "CO") {
                // A comment beginning ":" (bare or quoted, the document title) is no marker;
                // otherwise "13 TYPE" in quotes gives the type.
                if (after < text.size() && text[after] != ':' && text.compare(after, 2, "\":") != 0) {
                    std::string marker = quoted(text);
                    INTEGER a = 0, b = 0;
                    INextInteger(marker, a);
                    INextInteger(marker, b);
                    if (a == 13) {
                        v[5] = b;
                        haveType = true;
                    }
                }
                break;
            }
            const auto semicolon = text.find(';');
            if (semicolon == std::string::npos) break;
            blankUpTo(text, semicolon + 1);
        }
        if (haveType && haveSize) break;
        if (!reader.line(text, kHeaderSize)) break;
    }
    const INTEGER type = v[5];
    if (!hpgl2 && haveType && type >= 1 && type <= 10) {
        if (haveSize) {
            v[2] = valueOrNone(static_cast<double>(72 * width / kUnitsPerInch[type - 1]));
            v[3] = valueOrNone(static_cast<double>(72 * height / kUnitsPerInch[type - 1]));
        }
        v[4] = kPens[type - 1];
    }
    if (hpgl2 && haveType && type >= 1 && type <= 5) v[4] = kColours[type - 1];
}

}  // namespace

namespace {

void textValues(ByteSource& source, INTEGER kind, INTEGER n, Values& v)
{
    if (source.seek(0, 0) != 0) return;
    ByteReader reader(source);
    std::string first;
    if (!reader.line(first, kHeaderSize)) return;
    switch (kind) {
    case kGraphicHpgl:
    case kGraphicHpgl2:
        hpglValues(reader, first, kind == kGraphicHpgl2, v);
        if (n >= 6) YYCNTHPG(source, v[6]);
        break;
    case kGraphicPostScript: {
        std::string second;
        if (!reader.line(second, kHeaderSize)) return;
        const QuietErrors quiet;
        const INTEGER p = YYFirstNonBlank(second);
        constexpr std::string_view kBox = "%%BoundingBox:";
        if (p > 0 && second.compare(static_cast<std::size_t>(p - 1), kBox.size(), kBox) == 0) {
            v[4] = 1;
            blankUpTo(second, static_cast<std::size_t>(p - 1) + kBox.size());
            INTEGER skipped = 0;
            INextInteger(second, skipped);
            INextInteger(second, skipped);
            INextInteger(second, v[2]);
            INextInteger(second, v[3]);
        } else {
            v[4] = 0;
        }
        break;
    }
    case kGraphicDxf: {
        const QuietErrors quiet;
        std::string line;
        for (int number = 2; number <= 16 && reader.line(line, kHeaderSize); ++number) {
            if (number != 14 && number != 16) continue;
            REAL value = 0;
            INextReal(line, value);
            v[number == 14 ? 2 : 3] = valueOrNone(72.0 * static_cast<double>(value));
        }
        break;
    }
    case kGraphicSvg: {
        const QuietErrors quiet;
        std::string line;
        while (reader.line(line, 256)) {
            YYLowerCase(line);
            if (line.find("<svg ") == std::string::npos) continue;
            auto attribute = [&line](std::string_view name, INTEGER& value) {
                const auto at = line.find(std::string(name) + "=\"");
                if (at == std::string::npos) return;
                const auto begin = at + name.size() + 2;
                const auto end = line.find('"', begin);
                if (end == std::string::npos) return;
                REAL number = 0;
                IStringToReal(line.substr(begin, end - begin), number);
                value = valueOrNone(static_cast<double>(number));
            };
            attribute("width", v[2]);
            attribute("height", v[3]);
            break;
        }
        break;
    }
    default: break;
    }
}

void binaryValues(ByteSource& source, INTEGER kind, INTEGER n, const GraphicProbeState& state, Values& v)
{
    const std::uint8_t* h = state.header.data();
    switch (kind) {
    case kGraphicBmp: {
        const std::uint32_t bits = le16(h + 28);
        const std::uint32_t compression = le32(h + 30);
        v[2] = static_cast<INTEGER>(le32(h + 18));
        v[3] = static_cast<INTEGER>(le32(h + 22));
        v[4] = powerOfTwo(bits == 32 ? 24 : bits);
        v[5] = (compression != 0 && compression != 3) ? 1 : 0;
        v[6] = static_cast<INTEGER>(bits);
        break;
    }
    case kGraphicPcx: {
        v[2] = static_cast<INTEGER>(le16(h + 8)) - static_cast<INTEGER>(le16(h + 4)) + 1;
        v[3] = static_cast<INTEGER>(le16(h + 10)) - static_cast<INTEGER>(le16(h + 6)) + 1;
        v[6] = h[3] * h[65];
        v[4] = powerOfTwo(static_cast<std::uint32_t>(v[6]));
        v[5] = h[1];
        break;
    }
    case kGraphicMetafile: {
        const bool placeable = le32(h) == 0x9AC6CDD7;
        const bool enhanced = !placeable && le32(h + 40) == 0x464D4520;
        v[4] = placeable ? 1 : enhanced ? 2 : 0;
        if (placeable) {
            // A zero units-per-inch gives no size rather than a division by zero.
            const std::int64_t unitsPerInch = le16(h + 14);
            if (unitsPerInch > 0) {
                v[2] = valueOrNone(static_cast<double>((72 * (std::int64_t{le16(h + 10)} - le16(h + 6)) + 72) / unitsPerInch));
                v[3] = valueOrNone(static_cast<double>((72 * (std::int64_t{le16(h + 12)} - le16(h + 8)) + 72) / unitsPerInch));
            }
        } else if (enhanced) {
            auto s32 = [h](int at) { return std::int64_t{static_cast<INTEGER>(le32(h + at))}; };
            v[2] = valueOrNone(static_cast<double>((72 * (s32(32) - s32(24)) + 72) / 2540));
            v[3] = valueOrNone(static_cast<double>((72 * (s32(36) - s32(28)) + 72) / 2540));
        }
        break;
    }
    case kGraphicCgm: {
        REAL ratio = 1.0F;
        YYINFOCGM(source, v[4], ratio);
        v[2] = 1000;
        v[3] = valueOrNone(static_cast<double>(1000.0F / ratio));
        break;
    }
    case kGraphicPic:
        v[2] = 3201;
        v[3] = 2312;
        if (n >= 4) YYCNTPIC(source, v[4]);
        break;
    case kGraphicDraw:
        v[2] = static_cast<INTEGER>(le32(h + 32)) / 640;
        v[3] = static_cast<INTEGER>(le32(h + 36)) / 640;
        break;
    case kGraphicPcl: {
        v[4] = (findInHeader(state, "s-3u1A") != std::string_view::npos ||
                findInHeader(state, "s3u1A") != std::string_view::npos) ? 8 : 2;
        const auto k = findInHeader(state, "\x1b*t");
        if (k != std::string_view::npos) {
            // The header keeps zero bytes beyond its end, so the three digits never read past it.
            INTEGER resolution = 0;
            IStringToInteger(std::string_view(reinterpret_cast<const char*>(h) + k + 3, 3), resolution);
            v[5] = resolution > 0 ? resolution : -1;
        }
        break;
    }
    case kGraphicEpson: {
        v[4] = findInHeader(state, "\x1br\x04") != std::string_view::npos ? 8 : 0;
        const auto k = findInHeader(state, std::string_view("\x1b(U\x01\x00", 5));
        // A unit byte of 0 gives no resolution rather than a division by zero.
        if (k != std::string_view::npos && h[k + 5] != 0) v[5] = 3600 / h[k + 5];
        break;
    }
    case kGraphicEscU:
        v[4] = findInHeader(state, "\x1br\x04") != std::string_view::npos ? 8 : 0;
        break;
    case kGraphicPng: {
        const unsigned depth = h[24];
        const unsigned colourType = h[25];
        v[2] = static_cast<INTEGER>(be32(h + 16));
        v[3] = static_cast<INTEGER>(be32(h + 20));
        v[4] = (colourType == 2 || colourType == 6) ? 16777216 : colourType == 3 ? powerOfTwo(depth) : -1;
        v[5] = h[28];
        v[6] = (colourType == 2 || colourType == 6) ? 24 : colourType == 3 ? static_cast<INTEGER>(depth) : -1;
        break;
    }
    default: break;
    }
}

}  // namespace

void YYGraphicFileProbe(ByteSource& source, std::span<INTEGER> values, INTEGER& n)
{
    if (values.empty()) return;
    values[0] = kGraphicNoAnswer;
    const INTEGER size = source.seek(0, 2);
    if (size < 4 || source.seek(0, 0) != 0) return;

    GraphicProbeState& state = graphicProbeState();
    state.header.fill(0);
    std::size_t filled = 0;
    while (filled < kHeaderSize) {
        const INTEGER count = source.read(std::span(state.header).subspan(filled, kHeaderSize - filled));
        if (count <= 0) break;
        filled += static_cast<std::size_t>(count);
    }
    const INTEGER kind = identify(source, state);
    values[0] = kind;

    const INTEGER wanted = std::max<INTEGER>(n, 1);
    Values v;
    v.fill(-1);
    if (wanted >= 2) {
        switch (kind) {
        case kGraphicHpgl:
        case kGraphicHpgl2:
        case kGraphicPostScript:
        case kGraphicDxf:
        case kGraphicSvg: textValues(source, kind, wanted, v); break;
        default: binaryValues(source, kind, wanted, state, v); break;
        }
    }
    const auto last = std::min<std::size_t>({static_cast<std::size_t>(std::min(wanted, 6)), values.size()});
    for (std::size_t k = 2; k <= last; ++k) values[k - 1] = v[k];
}

void YYCNTHPG(ByteSource& source, INTEGER& count)
{
    count = 0;
    bool readError = false;
    if (source.seek(0, 0) == 0) {
        const QuietErrors quiet;
        ByteReader reader(source);
        std::string line;
        while (reader.line(line, 10)) {
            std::size_t after = 0;
            const std::string name = takeInstruction(line, after);
            if (name == "SC") {
                if (YYFirstNonBlank(line) == 0) continue;
                INTEGER first = 0;
                INextInteger(line, first);
                if (first == -3) ++count;
            } else if (name == "CO") {
                if (after < line.size() && (line[after] == ':' || line.compare(after, 2, "\":") == 0)) continue;
                std::string marker = quoted(line);
                INTEGER first = 0;
                INextInteger(marker, first);
                if (first == 3) ++count;
            }
        }
        readError = reader.failed();
    } else {
        readError = true;
    }
    if (readError) YYErrorReport(2, "YYCNTHPG");
    count = std::max<INTEGER>(count, 1);
}

INTEGER YYCgmReadInt(INTEGER position, INTEGER precision)
{
    const auto& p = graphicProbeState().cgmParameters;
    const std::size_t bytes = precision == 16 ? 2 : 4;
    if (position < 1 || static_cast<std::size_t>(position) - 1 + bytes > p.size()) return 0;
    const std::uint8_t* at = p.data() + position - 1;
    if (bytes == 2) return static_cast<std::int16_t>((at[0] << 8U) | at[1]);
    return static_cast<INTEGER>(be32(at));
}

REAL YYCgmReadReal(INTEGER position)
{
    return std::bit_cast<REAL>(static_cast<std::uint32_t>(YYCgmReadInt(position, 32)));
}

void YYINFOCGM(ByteSource& source, INTEGER& pictures, REAL& ratio)
{
    GraphicProbeState& state = graphicProbeState();
    pictures = 0;
    INTEGER integerPrecision = 16;
    INTEGER vdcIntegerPrecision = 16;
    INTEGER vdcType = 0;
    bool haveMaximum = false, haveExtent = false;
    REAL maximumRatio = 1.0F, extentRatio = 1.0F;

    bool failed = source.seek(0, 0) != 0;
    ByteReader reader(source);
    auto word = [&reader](std::uint32_t& value) {
        const int high = reader.next();
        const int low = high < 0 ? -1 : reader.next();
        value = static_cast<std::uint32_t>((high << 8) | low);
        return low >= 0;
    };
    while (!failed) {
        std::uint32_t header = 0;
        if (!word(header)) {
            failed = true;
            break;
        }
        const std::uint32_t elementClass = header >> 12U;
        const std::uint32_t id = (header >> 5U) & 127U;
        std::uint32_t length = header & 31U;
        bool partitioned = false;
        if (length == 31) {
            std::uint32_t longForm = 0;
            if (!word(longForm)) {
                failed = true;
                break;
            }
            length = longForm & 0x7FFFU;
            partitioned = (longForm & 0x8000U) != 0;
        }
        auto is = [&](std::uint32_t c, std::uint32_t i) { return elementClass == c && id == i; };
        const bool parameters = is(2, 6) || is(3, 1) || is(1, 17) || is(1, 3) || is(1, 4);
        // The defaults replacement is entered, not skipped: the elements inside it are read as elements.
        if (is(1, 12)) continue;
        if (parameters && length > 0) {
            state.cgmParameters.fill(0);
            if (!reader.take({state.cgmParameters.data(), length + length % 2})) {
                failed = true;
                break;
            }
        } else if (!reader.skip(length + length % 2)) {
            failed = true;
            break;
        }
        // Later partitions of an element carry only their length word.
        while (partitioned) {
            std::uint32_t longForm = 0;
            if (!word(longForm)) {
                failed = true;
                break;
            }
            const std::uint32_t more = longForm & 0x7FFFU;
            partitioned = (longForm & 0x8000U) != 0;
            if (!reader.skip(more + more % 2)) {
                failed = true;
                break;
            }
        }
        if (failed) break;
        if (parameters && length > 0) {
            if (is(1, 3)) vdcType = YYCgmReadInt(1, 16);
            else if (is(1, 4)) integerPrecision = YYCgmReadInt(1, integerPrecision);
            else if (is(3, 1)) vdcIntegerPrecision = YYCgmReadInt(1, integerPrecision);
            else {
                std::array<double, 4> corner{};
                INTEGER position = 1;
                for (double& c : corner) {
                    if (vdcType != 0) {
                        c = YYCgmReadReal(position);
                        position += 4;
                    } else {
                        c = YYCgmReadInt(position, vdcIntegerPrecision);
                        position += vdcIntegerPrecision == 16 ? 2 : 4;
                    }
                }
                // A degenerate or non-finite extent gives no aspect.
                const double aspect = (corner[2] - corner[0]) / (corner[3] - corner[1]);
                if (std::isfinite(aspect) && aspect != 0 && std::fabs(aspect) < 3.0e38) {
                    (is(1, 17) ? maximumRatio : extentRatio) = static_cast<REAL>(aspect);
                    (is(1, 17) ? haveMaximum : haveExtent) = true;
                }
            }
        }
        if (is(0, 5)) ++pictures;
        if (is(0, 2)) break;
    }
    if (failed) YYErrorReport(2, "YYINFOCGM");
    pictures = std::max<INTEGER>(pictures, 1);
    ratio = haveMaximum ? maximumRatio : haveExtent ? extentRatio : 1.0F;
}

void YYCNTPIC(ByteSource& source, INTEGER& count)
{
    if (source.seek(0, 0) != 0) return;
    ByteReader reader(source);
    std::array<std::uint8_t, 17> header{};
    if (!reader.take(header)) return;
    count = 0;
    bool failed = false;
    for (int op = reader.next(); op >= 0 && !failed; op = reader.next()) {
        if (op == 0xA0 || op == 0xA2 || op == 0xAC) {
            failed = !reader.skip(4);
        } else if (op == 0x30 || op == 0xE0) {
            const int points = reader.next();
            failed = points < 0 || !reader.skip(4 * (std::int64_t{points} + 1));
        } else if (op == 0xA7) {
            failed = !reader.skip(1);
        } else if (op == 0xA8) {
            failed = !reader.skip(1);
            for (int b = 1; !failed && b != 0;) {
                b = reader.next();
                failed = b < 0;
            }
        } else if (op >= 0x60 && op <= 0x6F) {
            ++count;
        }
    }
    if (failed || reader.failed()) YYErrorReport(2, "YYCNTPIC");
    count = std::max<INTEGER>(count, 1);
}
