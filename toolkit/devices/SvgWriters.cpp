#include "toolkit/devices/SvgWriters.h"

#include <cmath>
#include <numbers>

#include "toolkit/devices/DriverSetup.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/OutputUnit.h"
#include "toolkit/foundation/NumberText.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {

// A device point as SVG user units: y from the top of the page.
std::string pointText(REAL x, REAL y)
{
    const HardcopyDriverState& d = hardcopyDriverState();
    const REAL extent = YYDrawableYExtent();
    return YYSvgNumberText(x * d.XScale) + "," + YYSvgNumberText((extent - y) * d.YScale);
}

}  // namespace

void YYHexColour(INTEGER red, INTEGER green, INTEGER blue, std::string& text)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    if (text.size() < 6) text.resize(6, ' ');
    const INTEGER bytes[3] = {red, green, blue};
    for (std::size_t k = 0; k < 3; ++k) {
        // Bytes outside 0-255 keep their low eight bits, so every digit is a digit.
        const INTEGER v = bytes[k] & 0xFF;
        text[2 * k] = kDigits[v / 16];
        text[2 * k + 1] = kDigits[v % 16];
    }
}

void YYSvgNumber(REAL value, std::string& text, INTEGER& first, INTEGER& last)
{
    if (text.size() < 8) text.resize(8, ' ');
    IRealToString(value, text, "(F8.2)");
    const std::size_t a = text.find_first_not_of(' ');
    if (a == std::string::npos) {
        first = last = 0;
        return;
    }
    std::size_t b = text.find(' ', a);
    b = b == std::string::npos ? text.size() : b;
    first = static_cast<INTEGER>(a + 1);
    last = static_cast<INTEGER>(b);
    const std::string_view word(text.data() + a, b - a);
    if (word.size() >= 3 && word.substr(word.size() - 3) == ".00") last -= 2;
    else if (word.size() >= 2 && word.back() == '0' && word.find('.') != std::string_view::npos) last -= 1;
}

std::string YYSvgNumberText(REAL value)
{
    std::string field(8, ' ');
    INTEGER first = 0, last = 0;
    YYSvgNumber(value, field, first, last);
    if (first <= 0 || last < first) return "0";
    std::string text = field.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1));
    // A number may not end in its point in an SVG length, point list or transform: renderers
    // refuse "12." there and drop the element, so the document carries "12".
    if (text.size() > 1 && text.back() == '.') text.pop_back();
    return text;
}

void YYSvgPath(INTEGER op)
{
    const DriverParameterBlock& b = driverParameterBlock();
    const GraphicsState& g = graphicsState();
    const HardcopyDriverState& d = hardcopyDriverState();
    hardcopyJobState().PageOpen = -1;
    const DOUBLE x3 = b.X3, y3 = b.Y3;
    const REAL sx = b.X1 + b.X2 * static_cast<REAL>(std::cos(x3)), sy = b.Y1 + b.Y2 * static_cast<REAL>(std::sin(x3));
    const REAL ex = b.X1 + b.X2 * static_cast<REAL>(std::cos(y3)), ey = b.Y1 + b.Y2 * static_cast<REAL>(std::sin(y3));
    const std::string start = pointText(sx, sy);
    // Half a turn, pi as a REAL, already takes the large arc.
    const char large = b.Y3 - b.X3 >= std::numbers::pi_v<REAL> ? '1' : '0';
    std::string path = "<path d=\"M " + start + " A " + YYSvgNumberText(b.X2 * d.XScale) + "," +
                       YYSvgNumberText(b.Y2 * d.YScale) + " 0 " + large + " 0 " + pointText(ex, ey);
    if (op == OpSectorFill || g.FillStyle != 0 || g.HatchDensity <= 2)
        path += " L " + pointText(b.X1, b.Y1) + " L " + start;
    path += "\"/>";
    YYProuLine(2, path);
}
