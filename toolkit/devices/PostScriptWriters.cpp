#include "toolkit/devices/PostScriptWriters.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/OutputUnit.h"
#include "toolkit/devices/PostScriptDriver.h"
#include "toolkit/foundation/NumberText.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"

namespace {

constexpr INTEGER kUnit = 2;
constexpr std::size_t kLineLimit = 255;

// One F9.2 field, with a ".00" ending shortened to ".0" (12.00 -> 12.0, 12.50 stays).
std::string numberField(REAL value)
{
    std::string field(9, ' ');
    IRealToString(value, field, "(F9.2)");
    if (field.size() >= 3 && field.compare(field.size() - 3, 3, ".00") == 0) field.back() = ' ';
    return field;
}

void writeLine(std::string_view line)
{
    if (hardcopyDriverState().RecordMode == 1) YYPROU(kUnit, " ");
    YYProuLine(kUnit, line.substr(0, std::min(line.size(), kLineLimit)));
}

void numbersLine(std::initializer_list<REAL> values, std::string_view word)
{
    std::string work;
    for (REAL v : values) work += numberField(v);
    work += ' ';
    work += word;
    YYPostLine(work);
}

bool sameColour(const std::array<REAL, 3>& a, const std::array<REAL, 3>& b)
{
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

}  // namespace

void YYPostTriple(REAL a, REAL b, REAL c, std::string_view word) { numbersLine({a, b, c}, word); }

void YYPostPoint(REAL x, REAL y, std::string_view word)
{
    const HardcopyDriverState& d = hardcopyDriverState();
    numbersLine({x * d.XScale, y * d.YScale}, word);
}

void YYPostPointSwapped(REAL x, REAL y, std::string_view word)
{
    const HardcopyDriverState& d = hardcopyDriverState();
    numbersLine({x * d.YScale, y * d.XScale}, word);
}

void YYPostNumber(REAL v, std::string_view word) { numbersLine({v}, word); }

void YYPostLine(std::string_view text)
{
    const std::string_view work = text.substr(0, std::min(text.size(), kLineLimit));
    std::string out;
    bool blankBefore = false;
    for (char c : work) {
        if (c == ' ') {
            blankBefore = true;
            continue;
        }
        if (blankBefore && !out.empty()) out += ' ';
        blankBefore = false;
        out += c;
    }
    writeLine(out);
}

void YYPostLineRaw(std::string_view text) { writeLine(text); }

void YYPostPath(INTEGER mode)
{
    PostScriptDriverState& s = postScriptDriverState();
    if (s.PathPointCount == 0 && (mode == 1 || mode == 2)) return;
    if (!sameColour(s.PendingColour, s.WrittenColour)) {
        s.WrittenColour = s.PendingColour;
        YYPostTriple(s.PendingColour[0], s.PendingColour[1], s.PendingColour[2], "g");
    }
    if (mode == 3) return;
    YYPostLine(mode == 1 ? "s" : "cf");
    s.PathPointCount = 0;
}

void YYPostColour(INTEGER colour, REAL& red, REAL& green, REAL& blue)
{
    if (colour == -1) {
        red = green = blue = 0.0f;
    } else {
        INTEGER r = 0, g = 0, b = 0;
        YYColourToRGB(colour, r, g, b);
        red = static_cast<REAL>(r) / 255.0f;
        green = static_cast<REAL>(g) / 255.0f;
        blue = static_cast<REAL>(b) / 255.0f;
    }
    const INTEGER inversion = hardcopyOptionBlock().value(6);
    const bool nearWhite = red > 0.96f && green > 0.96f && blue > 0.96f;
    const bool nearBlack = red < 0.04f && green < 0.04f && blue < 0.04f;
    if (inversion == 1 || (inversion == 2 && (nearWhite || nearBlack))) {
        red = 1.0f - red;
        green = 1.0f - green;
        blue = 1.0f - blue;
    }
}

void YYPostArc(INTEGER op, std::string_view lineTemplate)
{
    const DriverParameterBlock& b = driverParameterBlock();
    const GraphicsState& g = graphicsState();
    const GraphicsTransform& t = graphicsTransform();
    const HardcopyOptionBlock& o = hardcopyOptionBlock();
    const HardcopyDriverState& d = hardcopyDriverState();
    PostScriptDriverState& s = postScriptDriverState();
    hardcopyJobState().PageOpen = -1;

    const REAL aspect = hardcopyTextScaling().HardcopyAspect;
    const REAL o1 = static_cast<REAL>(o.value(1)), o2 = static_cast<REAL>(o.value(2));
    REAL q = t.PageAngle % 180 == 0 ? o2 * aspect / o1 : o1 / (o2 * aspect);
    q = q * t.AreaHeight / t.AreaWidth;
    // A stretch of zero or none at all would make every later coordinate of the page undefined.
    if (!std::isfinite(q) || q <= 0.0f) return;

    std::string line(lineTemplate);
    line.resize(std::max<std::size_t>(line.size(), 32), ' ');
    std::string stretch(8, ' ');
    IRealToString(q, stretch, "(F8.4)");
    line.replace(10, 8, stretch);
    YYPostLine(line);

    const bool pie = g.FillStyle != 0 || g.HatchDensity <= 2 || op == OpSectorFill;
    if (pie) YYPostPoint(b.X1, b.Y1 / q, "m");
    // Radians to degrees with the divisor pi/180 as a REAL.
    const REAL a1 = b.X3 / 0.017453292f, a2 = b.Y3 / 0.017453292f;
    std::string angles(8, ' '), second(8, ' ');
    IRealToString(a1, angles, "(F8.1)");
    IRealToString(a2, second, "(F8.1)");
    const std::string word = angles + second + " arc";
    YYPostTriple(b.X1 * d.XScale, b.Y1 * d.YScale / q, b.X2 * d.XScale, word);
    // The colour lives inside the saved graphics state, so the written colour stays as it was.
    if (!sameColour(s.PendingColour, s.WrittenColour))
        YYPostTriple(s.PendingColour[0], s.PendingColour[1], s.PendingColour[2], "g");
    YYPostLine(op == OpSectorFill ? "cf" : pie ? "cs" : "s");
    YYPostLine("grestore");
}
