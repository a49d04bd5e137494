// Texts and numbers on the plotter page: a height in page inches, anchored left, centred or right,
// at any angle.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "WBRVLib/Plotxy.h"
#include "WBRVLib/Strings.h"
#include "WBRVLib/ToolkitLink.h"

namespace {

constexpr REAL kDegreesPerRadian = 57.29578f;
// The toolkit font for a nominal height h is set from H = 4·h; centred text is set slightly wider.
constexpr REAL kFontScale = 4.0f;
constexpr REAL kWidthPerH = 0.0108f, kCentredWidthPerH = 0.0114f, kHeightPerH = 0.04f;

enum Justification : INTEGER { kLeft = 0, kCentre = 1, kRight = 2 };

// text(1:n): the text's own length does not count; a short text is padded with blanks.
std::string firstCharacters(std::string_view text, INTEGER n)
{
    std::string part(text.substr(0, std::min<std::size_t>(text.size(), static_cast<std::size_t>(n))));
    part.resize(static_cast<std::size_t>(n), ' ');
    return part;
}

// Selects the font and the alignment for height h and returns the page position of (x, y): the
// origin added, then the pixel scale applied when it is active.
void selectFont(REAL h, INTEGER justification, REAL angle, REAL& x, REAL& y)
{
    const PlotPenState& s = plotPenState();
    REAL big = kFontScale * h;
    x += s.OriginX;
    y += s.OriginY;
    if (s.PixelScaleActive) {
        x *= s.PixelScaleX;
        y *= s.PixelScaleY;
        big *= std::sqrt(s.PixelScaleX * s.PixelScaleY);
    }
    const REAL width = (justification == kCentre ? kCentredWidthPerH : kWidthPerH) * big;
    WGrTextFont(std::nullopt, std::nullopt, width, kHeightPerH * big, std::nullopt, 2);
    IGrTextAlign(justification, angle);
}

void drawText(REAL x, REAL y, REAL h, std::string_view text, REAL angle, INTEGER n, INTEGER justification)
{
    if (n < 1) return;
    if (justification == kLeft) {
        // The reference point lies on the characters' centre line: move half a height along the
        // text's up direction, which for a rotated text is (-sin, cos).
        const REAL radians = angle / kDegreesPerRadian;
        REAL sine = std::sin(radians), cosine = std::cos(radians);
        if (!std::isfinite(sine) || !std::isfinite(cosine)) {
            sine = 0.0f;
            cosine = 1.0f;
        }
        x -= 0.5f * h * sine;
        y += 0.5f * h * cosine;
    }
    selectFont(h, justification, angle, x, y);
    IGrTextDraw(x, y, firstCharacters(text, n));
}

// The fixed-point text of value with the given decimals, right-justified in 48 characters as a
// formatted write puts it: zero decimals still print the point, too wide a number is asterisks.
std::string fixedField(REAL value, int decimals)
{
    constexpr int kWidth = 48;
    std::string digits;
    if (std::isnan(value)) {
        digits = "NaN";
    } else if (std::isinf(value)) {
        digits = value > 0 ? "Infinity" : "-Infinity";
    } else {
        char buffer[128];
        std::snprintf(buffer, sizeof buffer, "%.*f", decimals, static_cast<double>(value));
        digits = buffer;
        if (decimals == 0) digits += '.';
    }
    if (static_cast<int>(digits.size()) > kWidth) return std::string(kWidth, '*');
    return std::string(static_cast<std::size_t>(kWidth) - digits.size(), ' ') + digits;
}

}  // namespace

PlotTextState& plotTextState()
{
    static PlotTextState state;
    return state;
}

void SYMBOL(REAL x, REAL y, REAL h, std::string_view text, REAL angle, INTEGER n)
{
    drawText(x, y, h, text, angle, n, kLeft);
}

void CENTSY(REAL x, REAL y, REAL h, std::string_view text, REAL angle, INTEGER n)
{
    drawText(x, y, h, text, angle, n, kCentre);
}

void SYMBOR(REAL x, REAL y, REAL h, std::string_view text, REAL angle, INTEGER n)
{
    drawText(x, y, h, text, angle, n, kRight);
}

void CENTSYLIMIT(REAL x, REAL y, REAL h, std::string_view text, REAL angle, INTEGER n, REAL wmax)
{
    const REAL estimate = 0.5f * h * static_cast<REAL>(n);
    CENTSY(x, y, estimate > wmax ? h * wmax / estimate : h, text, angle, n);
}

REAL STRINGWIDTH(REAL h, std::string_view text, REAL angle, INTEGER n)
{
    if (n < 1) return 0.0f;
    REAL x = 0, y = 0;
    selectFont(h, kLeft, angle, x, y);
    return plotTextWidth(h, IGrTextLength(firstCharacters(text, n), n), false);
}

void selectPlotFont() { WGrTextFont(102, 1, 0.012f, 0.032f, std::nullopt, 2); }

REAL plotTextWidth(REAL h, REAL length, bool centred)
{
    return 0.43f * h * length * (centred ? kCentredWidthPerH / kWidthPerH : 1.0f);
}

void MAKNUM(REAL value, std::string& text, INTEGER m, INTEGER& ndec)
{
    const bool hideThePoint = ndec < 0;
    if (ndec > 9) ndec = 9;
    FixedText<12>& format = plotTextState().NumberFormat;
    format[10] = ndec > 0 ? static_cast<char>('0' + ndec) : '0';
    const std::string buffer = "  " + fixedField(value, format[10] - '0');
    INTEGER pos = 1;
    const INTEGER length = std::max<INTEGER>(m, 0);
    NXTWRD(buffer, static_cast<INTEGER>(buffer.size()), pos, text, length);
    ndec = INDSTR(text, length) - (hideThePoint ? 1 : 0);
}

void NUMBER(REAL x, REAL y, REAL h, REAL value, REAL angle, INTEGER ndec)
{
    std::string number;
    INTEGER count = ndec;
    MAKNUM(value, number, 20, count);
    SYMBOL(x, y, h, number, angle, count);
}

void CENTNM(REAL x, REAL y, REAL h, REAL value, REAL angle, INTEGER ndec)
{
    std::string number;
    INTEGER count = ndec;
    MAKNUM(value, number, 20, count);
    CENTSY(x, y, h, number, angle, count);
}
