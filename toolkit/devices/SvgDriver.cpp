#include "toolkit/devices/SvgDriver.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "toolkit/devices/DriverSetup.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/OutputUnit.h"
#include "toolkit/devices/SvgWriters.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/NumberText.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"

SvgDriverState& svgDriverState()
{
    static SvgDriverState state;
    return state;
}

namespace {

constexpr INTEGER kUnit = 2;
constexpr std::size_t kLineLimit = 256;

constexpr std::array<std::string_view, 8> kDashArrays{
    "none", "1 5", "6 6", "1 3 4 4", "1 2 1 2 4 2", "5 2 3 2", "3 3", "5 2 3 2 3 2",
};
constexpr std::array<std::string_view, 3> kJoins{"miter", "round", "bevel"};
constexpr std::array<std::string_view, 3> kCaps{"butt", "round", "square"};
constexpr std::array<std::string_view, 4> kFamilies{
    "'Courier New',Courier;", "Arial,Helvetica;", "'Times New Roman','Times Roman';", "Symbol;",
};
constexpr std::array<REAL, 3> kFontSizeFactors{1.65f, 1.33f, 1.72f};

SvgDriverState& sv() { return svgDriverState(); }
const HardcopyOptionBlock& opts() { return hardcopyOptionBlock(); }
void pageOpen() { hardcopyJobState().PageOpen = -1; }
void line(std::string_view text) { YYProuLine(kUnit, text); }

REAL verticalExtent() { return YYDrawableYExtent(); }

std::string num(REAL value) { return YYSvgNumberText(value); }
REAL svgX(REAL x) { return x * hardcopyDriverState().XScale; }
REAL svgY(REAL y) { return (verticalExtent() - y) * hardcopyDriverState().YScale; }
std::string pair(REAL x, REAL y) { return num(svgX(x)) + "," + num(svgY(y)); }

std::size_t clampIndex(INTEGER value, std::size_t size)
{
    return value >= 0 && static_cast<std::size_t>(value) < size ? static_cast<std::size_t>(value) : 0;
}

std::array<INTEGER, 3> colourBytes(INTEGER colour)
{
    std::array<INTEGER, 3> c{};
    YYColourToRGB(colour, c[0], c[1], c[2]);
    return c;
}

void invert(std::array<INTEGER, 3>& c)
{
    const INTEGER mode = opts().value(6);
    const bool nearWhite = c[0] > 245 && c[1] > 245 && c[2] > 245;
    const bool nearBlack = c[0] < 10 && c[1] < 10 && c[2] < 10;
    if (mode == 1 || (mode == 2 && (nearWhite || nearBlack)))
        for (INTEGER& v : c) v = 255 - v;
}

std::string hex(const std::array<INTEGER, 3>& c)
{
    std::string text;
    YYHexColour(c[0], c[1], c[2], text);
    return text;
}

void closeTextGroup()
{
    if (!isTrue(sv().TextGroupOpen)) return;
    line("</g>");
    sv().TextGroupOpen = kFalse;
}

void closeFillGroup()
{
    if (!isTrue(sv().FillGroupOpen)) return;
    line("</g>");
    sv().FillGroupOpen = kFalse;
}

void opInit()
{
    if (YYDriverIdentify(3)) return;
    YYDriverReset();
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    o.Options[1] = 640;
    o.Options[2] = 480;
    o.Options[3] = 0;
    o.Options[4] = 0;
    o.Options[5] = 0;
    YYHardcopyDeviceFactsSet({.Capabilities = {.CapabilityString = "00000111111111100010011011110"},
                              .TextBoxFlag = 0,
                              .TextSpacingFlag = 1,
                              .PrintByCommand = 0,
                              .DriverDevice = 3});
    HardcopyDriverState& d = hardcopyDriverState();
    d.ResolutionX = d.ResolutionY = 72;
    hardcopyFillState().HardcopyColours = 256;
    hardcopyJobState().OutputFile.assign("raridevu.svg");
}

void opBeginOutput()
{
    const DriverParameterBlock& b = driverParameterBlock();
    YYScalesFromDrawable(static_cast<REAL>(opts().value(1)), static_cast<REAL>(opts().value(2)));
    if (b.Value <= 0) return;
    if (!YYDriverOutputOpen(kUnit)) return;
    std::string width(10, ' '), height(10, ' ');
    IntegerToString(opts().value(1), width, "(I10)");
    IntegerToString(opts().value(2), height, "(I10)");
    const auto word = [](const std::string& field) { return field.substr(std::min(field.find_first_not_of(' '), field.size())); };
    line("<?xml version=\"1.0\"?>");
    // The document type line stays: the graphics file probe knows these files by it.
    line("<!DOCTYPE svg SYSTEM \"\">");
    // Viewers render the elements as SVG only in the SVG namespace.
    line("<svg width=\"" + word(width) + "\" height=\"" + word(height) + "\" xmlns=\"http://www.w3.org/2000/svg\">");
    SvgDriverState& s = sv();
    s.StrokeColour = {-1, -1, -1};
    s.StrokeWidth = s.StrokeLineType = s.StrokeJoin = s.StrokeCap = -1;
    s.ClipCounter = 0;
    s.ClipFlag = kFalse;
    s.FillGroupOpen = s.TextGroupOpen = kFalse;
}

void attributeChange()
{
    const GraphicsState& g = graphicsState();
    SvgDriverState& s = sv();
    std::array<INTEGER, 3> c = colourBytes(YYModelColour(1));
    const INTEGER width = std::max<INTEGER>(static_cast<INTEGER>(std::trunc(opts().value(9) * 150.0f / 720.0f + 0.5f)), 1);
    invert(c);
    const INTEGER type = g.LineType, join = opts().value(10), cap = opts().value(11);
    if (c == s.StrokeColour && width == s.StrokeWidth && type == s.StrokeLineType && join == s.StrokeJoin &&
        cap == s.StrokeCap)
        return;
    s.StrokeColourText = hex(c);
    // A fill or text group left open would otherwise take the stroke group's end tag.
    closeTextGroup();
    closeFillGroup();
    if (s.StrokeColour[0] != -1) line("</g>");
    line("<g style=\"fill:none;stroke:#" + s.StrokeColourText + ";stroke-dasharray:" +
         std::string(kDashArrays[clampIndex(type, kDashArrays.size())]) + ";stroke-width:" + std::to_string(width) +
         ";stroke-linejoin:" + std::string(kJoins[clampIndex(join, kJoins.size())]) +
         ";stroke-linecap:" + std::string(kCaps[clampIndex(cap, kCaps.size())]) + "\">");
    s.StrokeColour = c;
    s.StrokeWidth = width;
    s.StrokeLineType = type;
    s.StrokeJoin = join;
    s.StrokeCap = cap;
}

// A point list over as many lines as it needs, none longer than 256 characters; the element's
// end "/>" follows the last pair.
void pointList(std::string_view element, const std::vector<REAL>& xs, const std::vector<REAL>& ys, std::size_t n)
{
    std::string text = "<" + std::string(element) + " points=\"";
    for (std::size_t k = 0; k < n; ++k) {
        const std::string p = pair(xs[k], ys[k]);
        const std::size_t tail = k + 1 == n ? 3 : 1;  // "\"/>" after the last pair, a blank after others
        if (text.size() + p.size() + tail > kLineLimit && text.back() == ' ') {
            text.pop_back();
            line(text);
            text.clear();
        }
        text += p;
        text += k + 1 == n ? "\"/>" : " ";
    }
    if (n == 0) text += "\"/>";
    line(text);
}

std::size_t polygonCount(INTEGER count)
{
    const DriverParameterBlock& b = driverParameterBlock();
    return std::min<std::size_t>(static_cast<std::size_t>(std::max<INTEGER>(count, 0)),
                                 std::min(b.PolygonX.size(), b.PolygonY.size()));
}

void opFill(INTEGER op)
{
    const DriverParameterBlock& b = driverParameterBlock();
    const GraphicsState& g = graphicsState();
    SvgDriverState& s = sv();
    const INTEGER style = g.FillStyle;
    const bool filled = style == 3 || style == 4;
    if (b.Value == -1) {
        if (filled) closeFillGroup();
        return;
    }
    pageOpen();
    if (!filled) {
        if (op != OpEllipseFill) return;
    } else {
        std::array<INTEGER, 3> c = colourBytes(YYModelColour(1));
        if (style == 3) {
            const std::array<INTEGER, 3> previous = colourBytes(YYModelColour(0));
            for (std::size_t k = 0; k < 3; ++k) c[k] = (previous[k] + c[k]) / 2;
        }
        invert(c);
        s.FillColourText = hex(c);
        closeFillGroup();
        std::string style3 = "<g style=\"stroke:none;fill:#" + s.FillColourText;
        if (isTrue(s.ClipFlag)) style3 += ";clip-path:url(#clip" + s.ClipNameText + ")";
        line(style3 + "\">");
        s.FillGroupOpen = kTrue;
    }
    switch (op) {
    case OpEllipseFill: {
        const HardcopyDriverState& d = hardcopyDriverState();
        line("<ellipse cx=\"" + num(svgX(b.X1)) + "\" cy=\"" + num(svgY(b.Y1)) + "\" rx=\"" + num(b.X2 * d.XScale) +
             "\" ry=\"" + num(svgY(b.Y1 - b.Y2) - svgY(b.Y1)) + "\"/>");
        break;
    }
    case OpQuadFill:
        pointList("polygon", {b.X1, b.X2, b.X3, b.X4}, {b.Y1, b.Y2, b.Y3, b.Y4}, 4);
        break;
    case OpRectangleFill:
        pointList("polygon", {b.X1, b.X2, b.X2, b.X1}, {b.Y1, b.Y1, b.Y2, b.Y2}, 4);
        break;
    case OpTriangleFill:
        pointList("polygon", {b.X1, b.X2, b.X3}, {b.Y1, b.Y2, b.Y3}, 3);
        break;
    case OpPolygonFill:
        pointList("polygon", b.PolygonX, b.PolygonY, polygonCount(b.Count));
        break;
    case OpSectorFill: YYSvgPath(OpSectorFill); break;
    default: break;
    }
}

void opClipArea()
{
    const GraphicsTransform& t = graphicsTransform();
    SvgDriverState& s = sv();
    const bool partial = t.AreaX2 < 1.0f || t.AreaY2 < 1.0f || t.AreaX1 > 0.0f || t.AreaY1 > 0.0f;
    if (!partial) {
        s.ClipFlag = kFalse;
        return;
    }
    s.ClipFlag = kTrue;
    ++s.ClipCounter;
    std::string name(8, ' ');
    IntegerToString(s.ClipCounter, name, "(I8)");
    s.ClipNameText = name.substr(std::min(name.find_first_not_of(' '), name.size()));
    // The top edge of the area is its upper limit, counted from the top of the page.
    line("<defs><clipPath id=\"clip" + s.ClipNameText + "\"><rect width=\"" +
         num(svgX(t.DeviceXMax) - svgX(t.DeviceXMin)) + "\" height=\"" + num(svgY(t.DeviceYMin) - svgY(t.DeviceYMax)) +
         "\" x=\"" + num(svgX(t.DeviceXMin)) + "\" y=\"" + num(svgY(t.DeviceYMax)) + "\"/></clipPath></defs>");
}

// The text as XML character data: markup characters and every code from 128 as references, so
// that no text (not even one holding "]]>") can end the element early; a tab becomes a blank and
// the other control characters are dropped (XML allows none of them in a one-line element).
std::string escaped(std::string_view text)
{
    std::string out;
    for (char ch : text) {
        const auto code = static_cast<unsigned char>(ch);
        if (ch == '\t') {
            out += ' ';
            continue;
        }
        if (code < 32 || code == 127) continue;
        if (code >= 128) {
            std::string n(3, ' ');
            IntegerToString(code, n, "(I3)");
            out += "&#" + n + ";";
        } else if (ch == '&') {
            out += "&#38;";
        } else if (ch == '<') {
            out += "&#60;";
        } else if (ch == '>') {
            out += "&#62;";
        } else {
            out += ch;
        }
    }
    return out;
}

INTEGER fontFamily()
{
    const TextState& text = textState();
    if (text.DeviceFontVariant != 0) return text.DeviceFontVariant;
    return text.CharacterSpacing == 0 ? 1 : 2;
}

void opText()
{
    const DriverParameterBlock& b = driverParameterBlock();
    const TextState& text = textState();
    SvgDriverState& s = sv();
    const INTEGER mode = std::clamp<INTEGER>(text.CharacterSpacing, 0, 2);
    const INTEGER justification = std::clamp<INTEGER>(text.TextJustification, 0, 2);
    if ((b.IntX2 & 1) != 0) {
        closeTextGroup();
        const INTEGER family = fontFamily();
        std::string style = "<g style=\"fill:#" + s.StrokeColourText + ";stroke:none;font-family:";
        if (family >= 1 && family <= 4) style += kFamilies[static_cast<std::size_t>(family - 1)];
        if (family != 4) {
            if ((text.TextStyle & kTextBold) != 0) style += "font-weight:bold;";
            if ((text.TextStyle & kTextItalic) != 0) style += "font-style:italic;";
        }
        if (mode != 1) {
            if (justification == 1) style += "text-anchor:middle;";
            else if (justification == 2) style += "text-anchor:end;";
        }
        REAL w = 0.0f, h = 0.0f;
        YYRequestedCharSize(w, h);
        const REAL size = w * kFontSizeFactors[static_cast<std::size_t>(mode)] * hardcopyTextScaling().ScaleX;
        line(style + "font-size:" + num(size) + "\">");
        s.TextGroupOpen = kTrue;
    }
    REAL x = b.X1, y = b.Y1;
    if (mode != 1 && justification == 1) {
        x = 0.5f * (b.X1 + b.X3);
        y = 0.5f * (b.Y1 + b.Y3);
    } else if (mode != 1 && justification == 2) {
        x = b.X3;
        y = b.Y3;
    }
    x += 0.2f * text.CharLineX;
    y -= 0.2f * text.CharLineY;
    std::string transform = "translate(" + num(svgX(x)) + "," + num(svgY(y)) + ")";
    // The page's y axis points down, so the counter-clockwise angle is written negative: the text
    // turns as it does on every other device.
    if (text.DeviceTextAngle != 0.0f) transform += " rotate(" + num(-text.DeviceTextAngle) + ")";
    const auto count = static_cast<std::size_t>(std::clamp<INTEGER>(b.IntX1, 0, 260));
    line("<text transform=\"" + transform + "\">" + escaped(stringWorkBuffer().view().substr(0, count)) + "</text>");
    if ((b.IntX2 & 2) != 0) closeTextGroup();
}

void opEndOutput()
{
    SvgDriverState& s = sv();
    closeTextGroup();
    closeFillGroup();
    line(s.StrokeColour[0] != -1 ? "</g></svg>" : "</svg>");
    s.StrokeColour = {-1, -1, -1};
    YYProuClose(kUnit);
}

}  // namespace

void XXSVG(INTEGER op)
{
    const DriverParameterBlock& b = driverParameterBlock();
    switch (op) {
    case OpInit: opInit(); break;
    case OpLine:
        pageOpen();
        line("<line x1=\"" + num(svgX(b.X1)) + "\" y1=\"" + num(svgY(b.Y1)) + "\" x2=\"" + num(svgX(b.X2)) +
             "\" y2=\"" + num(svgY(b.Y2)) + "\"/>");
        break;
    case OpPoint:
        pageOpen();
        line("<line x1=\"" + num(svgX(b.X1)) + "\" y1=\"" + num(svgY(b.Y1)) + "\" x2=\"" + num(svgX(b.X1)) +
             "\" y2=\"" + num(svgY(b.Y1)) + "\" />");
        break;
    case OpPolyline:
        pageOpen();
        pointList("polyline", b.PolygonX, b.PolygonY, polygonCount(b.Count));
        break;
    case OpColour:
    case OpLineType:
    case OpLineWidth:
    case OpLineJoin:
    case OpLineCap: attributeChange(); break;
    case OpEllipseFill:
    case OpQuadFill:
    case OpRectangleFill:
    case OpTriangleFill:
    case OpSectorFill:
    case OpPolygonFill: opFill(op); break;
    case OpArc: YYSvgPath(OpArc); break;
    case OpBeginOutput: opBeginOutput(); break;
    case OpEndOutput: opEndOutput(); break;
    case OpText:
        pageOpen();
        opText();
        break;
    case OpClipArea: opClipArea(); break;
    default: break;
    }
}
