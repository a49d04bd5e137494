#include "toolkit/devices/HpglEncoder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/OutputUnit.h"
#include "toolkit/foundation/NumberText.h"

HpglEncoderState& hpglEncoderState()
{
    static HpglEncoderState state;
    return state;
}

namespace {

constexpr INTEGER kUnit = 2;
constexpr std::size_t kBufferLength = 50;

std::string& buffer() { return hpglEncoderState().HpglCommandBuffer; }

void clearBuffer() { buffer().assign(kBufferLength, ' '); }

bool recordsOn() { return hardcopyOptionBlock().value(18) != 0; }

// Squeezes the first length characters of the buffer and writes them as one line: blanks right
// after the two letters vanish, every run of blanks between parameters becomes one, trailing
// blanks go.
void writePrepared(std::size_t length)
{
    std::string& b = buffer();
    if (b.size() < kBufferLength) b.resize(kBufferLength, ' ');
    length = std::min(length, kBufferLength);
    const std::string copy = b;
    std::size_t n = std::min<std::size_t>(2, length);
    bool blankPending = false;
    for (std::size_t i = 2; i < length; ++i) {
        const char c = copy[i];
        if (c == ' ') {
            blankPending = true;
            continue;
        }
        if (blankPending && n > 2) b[n++] = ' ';
        blankPending = false;
        b[n++] = c;
    }
    if (hardcopyDriverState().RecordMode == 1) YYPROU(kUnit, " ");
    YYProuLine(kUnit, std::string_view(b).substr(0, n));
}

void putScaledPair(std::size_t position, REAL x, REAL y)
{
    const HardcopyDriverState& d = hardcopyDriverState();
    YYHpglPut(position, YYHpglInteger(YYHpglScaled(d.XScale, x), "(I6)", 6));
    YYHpglPut(position + 6, YYHpglInteger(YYHpglScaled(d.YScale, y), "(I6)", 6));
}

}  // namespace

void YYHpglPut(std::size_t position, std::string_view text)
{
    std::string& b = buffer();
    if (b.size() < kBufferLength) b.resize(kBufferLength, ' ');
    if (position < 1 || position > kBufferLength) return;
    const std::size_t room = kBufferLength - (position - 1);
    b.replace(position - 1, std::min(room, text.size()), text.substr(0, room));
}

std::string YYHpglInteger(INTEGER value, std::string_view format, std::size_t width)
{
    std::string field(width, ' ');
    IntegerToString(value, field, format);
    return field;
}

std::string YYHpglReal(REAL value, std::string_view format, std::size_t width)
{
    std::string field(width, ' ');
    IRealToString(value, field, format);
    return field;
}

INTEGER YYHpglScaled(REAL scale, REAL value)
{
    const DOUBLE v = static_cast<DOUBLE>(scale) * static_cast<DOUBLE>(value);
    if (std::isnan(v)) return 0;
    constexpr DOUBLE top = std::numeric_limits<INTEGER>::max(), bottom = std::numeric_limits<INTEGER>::min();
    return static_cast<INTEGER>(std::trunc(std::clamp(v, bottom, top)));
}

void YYHpglCommand(std::string_view letters, REAL x, REAL y)
{
    clearBuffer();
    YYHpglPut(1, letters.substr(0, 2));
    putScaledPair(3, x, y);
    writePrepared(14);
}

void YYHpglLabel(std::string_view text, char terminator)
{
    std::string label;
    label.reserve(text.size() + 1);
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code >= 32 && code != 127 && c != terminator) label += c;
    }
    label += terminator;
    YYPROU(kUnit, hardcopyDriverState().RecordMode == 1 ? " LB" : "LB");
    YYProuLine(kUnit, label);
}

void YYHpglLiteral(std::string_view text)
{
    clearBuffer();
    text = text.substr(0, std::min(text.size(), kBufferLength));
    YYHpglPut(1, text);
    writePrepared(text.size());
}

void YYHpglVertexRecord(REAL x, REAL y)
{
    if (!recordsOn()) return;
    clearBuffer();
    YYHpglPut(1, "SC-9");
    YYHpglPut(19, "0");
    putScaledPair(6, x, y);
    writePrepared(19);
}

void YYHpglRealVertexRecord(REAL a, REAL b)
{
    if (!recordsOn()) return;
    clearBuffer();
    YYHpglPut(1, "SC-9");
    YYHpglPut(27, "0");
    YYHpglPut(6, YYHpglReal(a, "(F10.4)", 10));
    YYHpglPut(16, YYHpglReal(b, "(F10.4)", 10));
    writePrepared(27);
}

void YYHpglRecord(INTEGER code, INTEGER flag, INTEGER a, INTEGER b, INTEGER c)
{
    if (!recordsOn()) return;
    clearBuffer();
    YYHpglPut(1, "SC-");
    std::size_t at = 4;
    if (code == 1) {
        YYHpglPut(at, YYHpglInteger(code, "(I1)", 1));
        YYHpglPut(at + 1, YYHpglInteger(a, "(I9)", 9));
        at += 10;
    } else {
        const bool wide = code >= 10;
        YYHpglPut(at, wide ? YYHpglInteger(code, "(I2)", 2) : YYHpglInteger(code, "(I1)", 1));
        at += wide ? 2 : 1;
        YYHpglPut(at, YYHpglInteger(a, "(I6)", 6));
        at += 6;
    }
    YYHpglPut(at, YYHpglInteger(b, "(I6)", 6));
    // The third value is stored offset, so that a plotter reading the record sees a positive maximum.
    const INTEGER shifted = c > std::numeric_limits<INTEGER>::max() - 32760 ? c : c + 32760;
    YYHpglPut(at + 6, YYHpglInteger(shifted, "(I6)", 6));
    std::size_t length = at + 11;
    if (flag & 1) {
        YYHpglPut(length + 2, ";SC0 32760 0 32760");
        length += 19;
    }
    writePrepared(length);
}

void YYHpglFlush()
{
    const std::string& b = buffer();
    const std::size_t last = b.find_last_not_of(' ');
    writePrepared(last == std::string::npos ? 0 : last + 1);
}
