#include "toolkit/devices/PostScriptDriver.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "toolkit/devices/DriverSetup.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/ImageLoading.h"
#include "toolkit/devices/OutputUnit.h"
#include "toolkit/devices/PostScriptWriters.h"
#include "toolkit/devices/SvgWriters.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/NumberText.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"

PostScriptDriverState& postScriptDriverState()
{
    static PostScriptDriverState state;
    return state;
}

namespace {

constexpr INTEGER kUnit = 2;
constexpr std::string_view kEllipseTemplate = "gsave 1.0          scale newpath";

constexpr std::array<std::string_view, 8> kDashPatterns{
    "[] 0", "[1 5] 4", "[6 6] 3", "[1 3 4 4] 0", "[1 2 1 2 4 2] 0", "[5 2 3 2] 2", "[3 3] 1", "[5 2 3 2 3 2] 0",
};

constexpr std::array<std::array<std::string_view, 4>, 3> kBaseFonts{{
    {"Courier", "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique"},
    {"Helvetica", "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique"},
    {"Times-Roman", "Times-Bold", "Times-Italic", "Times-BoldItalic"},
}};
constexpr std::array<std::string_view, 3> kFontPrefixes{"/Courier-", "/Helvetica-", "/Times-"};

// Width and height factors of the font matrix by device-font mode.
constexpr std::array<REAL, 3> kWidthFactors{1.65f, 1.33f, 1.72f};
constexpr std::array<REAL, 3> kHeightFactors{1.0f, 0.82f, 0.82f};
constexpr std::array<std::string_view, 3> kShowProcedures{"lsh", "csh", "rsh"};

PostScriptDriverState& ps() { return postScriptDriverState(); }
const HardcopyOptionBlock& opts() { return hardcopyOptionBlock(); }
bool encapsulated() { return opts().value(22) != 0; }
void pageOpen() { hardcopyJobState().PageOpen = -1; }

std::string formatted(REAL value, std::string_view format, std::size_t width)
{
    std::string field(width, ' ');
    IRealToString(value, field, format);
    return field;
}

std::string formatted(INTEGER value, std::string_view format, std::size_t width)
{
    std::string field(width, ' ');
    IntegerToString(value, field, format);
    return field;
}

std::array<REAL, 3> postColour(INTEGER colour)
{
    std::array<REAL, 3> c{};
    YYPostColour(colour, c[0], c[1], c[2]);
    return c;
}

INTEGER pathLimit()
{
    const INTEGER limit = opts().value(16);
    return limit >= 10 && limit <= 255 ? limit : 255;
}

// The polygon arrays' usable length for a vertex count.
std::size_t polygonCount(INTEGER count)
{
    const DriverParameterBlock& b = driverParameterBlock();
    return std::min<std::size_t>(static_cast<std::size_t>(std::max<INTEGER>(count, 0)),
                                 std::min(b.PolygonX.size(), b.PolygonY.size()));
}

void opInit()
{
    if (YYDriverIdentify(2)) return;
    YYDriverReset();
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    o.Options[1] = 756;
    o.Options[2] = 540;
    o.Options[3] = 42;
    o.Options[4] = 20;
    o.Options[5] = 1;
    o.Options[15] = 1;
    o.Options[16] = 255;
    o.Options[22] = 0;
    YYHardcopyDeviceFactsSet({.Capabilities = {.CapabilityString = "00000111111111100010011011110"},
                              .TextBoxFlag = 0,
                              .TextSpacingFlag = 1,
                              .PrintByCommand = 1,
                              .DriverDevice = 2});
    HardcopyDriverState& d = hardcopyDriverState();
    d.ResolutionX = d.ResolutionY = 600;
    hardcopyFillState().HardcopyColours = 256;
    hardcopyJobState().OutputFile.assign("raridevu.ps");
}

void fontEncodings()
{
    for (std::size_t family = 0; family < kBaseFonts.size(); ++family) {
        for (std::size_t variant = 0; variant < 4; ++variant) {
            YYPostLine("/" + std::string(kBaseFonts[family][variant]) + " ff");
            YYPostLine("dup length dict begin");
            YYPostLine("{1 index /FID ne {def} {pop pop} ifelse} forall");
            YYPostLine("/Encoding ISOLatin1Encoding def");
            YYPostLine("currentdict end " + std::string(kFontPrefixes[family]) + std::to_string(variant + 1) +
                       " exch definefont pop");
        }
    }
    YYPostLine("/Symbol ff");
    YYPostLine("dup length dict begin");
    YYPostLine("{1 index /FID ne {def} {pop pop} ifelse} forall");
    YYPostLine("currentdict end /Symbol exch definefont pop");
}

void opBeginOutput()
{
    DriverParameterBlock& b = driverParameterBlock();
    YYScalesFromDrawable(static_cast<REAL>(opts().value(1)), static_cast<REAL>(opts().value(2)));
    if (b.Value <= 0) return;
    if (!YYDriverOutputOpen(kUnit)) return;

    const HardcopyOptionBlock& o = opts();
    HardcopyDriverState& d = hardcopyDriverState();
    d.RecordMode = o.value(17) != 0 ? 1 : 2;
    d.LastPenX = d.LastPenY = -9999.0f;
    PostScriptDriverState& s = ps();
    s.WrittenColour = {-1.0f, -1.0f, -1.0f};
    s.PathPointCount = 0;
    s.FontInvalid = kTrue;
    s.LineTypeWritten = 0;
    s.LineWidthWritten = 0;

    const bool landscape = o.value(5) != 0;
    REAL tx = 0.0f, ty = 0.0f;
    if (!encapsulated()) {
        YYPostLine("%!PS-Adobe-3.0");
        tx = static_cast<REAL>(o.value(3));
        // Both offsets count from the paper's corner into the paper, whichever way the plot
        // stands: turned, the plot's top edge (the paper's left) lies option 4 from that edge.
        ty = static_cast<REAL>(landscape ? -o.value(4) - o.value(2) : o.value(4));
    } else {
        YYPostLine("%!PS-Adobe-3.0 EPSF-3.0");
        const INTEGER w = landscape ? o.value(2) : o.value(1), h = landscape ? o.value(1) : o.value(2);
        YYPostLine("%%BoundingBox: 0 0" + formatted(w, "(I5)", 5) + formatted(h, "(I5)", 5));
        ty = landscape ? -static_cast<REAL>(o.value(2)) : 0.0f;
    }
    if (b.IntX1 != 0) {
        // A line end inside the title would end the comment and start a line of program.
        std::string title(hardcopyJobState().Title.trimmed());
        std::replace_if(title.begin(), title.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        YYPostLineRaw("%%Title: " + title);
    }
    YYPostLine("%%Creator: Z.I.D. PostScript driver");
    YYPostLine("%%EndComments");
    YYPostLine("/l {lineto} def/m {moveto} def/g {setrgbcolor} def/w {setlinewidth} def");
    YYPostLine("/d {setdash} def/cf {closepath fill} def/s {stroke} def/ff {findfont} def");
    YYPostLine("/ms {makefont setfont} def/ro {rotate} def/cs {closepath stroke} def");
    YYPostLine("/lsh {show} def/rsh {dup stringwidth pop 0 exch sub 0 rmoveto show} def");
    YYPostLine("/csh {dup stringwidth pop 2 div 0 exch sub 0 rmoveto show} def");
    YYPostLine("%%EndProlog");
    fontEncodings();
    if (landscape) YYPostNumber(90.0f, "ro");
    YYPostLine(formatted(tx, "(F8.1)", 8) + formatted(ty, "(F8.1)", 8) + " translate");
    YYPostLine("newpath");
    s.PageNumber = 1;
    YYPostLine("%%Page: 1 1");
}

void segment(REAL x1, REAL y1, REAL x2, REAL y2)
{
    PostScriptDriverState& s = ps();
    HardcopyDriverState& d = hardcopyDriverState();
    if (s.PathPointCount >= pathLimit()) YYPostPath(1);
    if (s.PathPointCount == 0 || d.LastPenX != x1 || d.LastPenY != y1) YYPostPoint(x1, y1, "m");
    YYPostPoint(x2, y2, "l");
    ++s.PathPointCount;
    d.LastPenX = x2;
    d.LastPenY = y2;
}

void opPolyline()
{
    const DriverParameterBlock& b = driverParameterBlock();
    PostScriptDriverState& s = ps();
    HardcopyDriverState& d = hardcopyDriverState();
    const std::size_t n = polygonCount(b.Count);
    if (n == 0) return;
    pageOpen();
    if (s.PathPointCount >= pathLimit()) YYPostPath(1);
    if (s.PathPointCount == 0 || d.LastPenX != b.PolygonX[0] || d.LastPenY != b.PolygonY[0])
        YYPostPoint(b.PolygonX[0], b.PolygonY[0], "m");
    for (std::size_t k = 1; k < n; ++k) {
        if (s.PathPointCount >= pathLimit()) {
            YYPostPath(1);
            YYPostPoint(b.PolygonX[k - 1], b.PolygonY[k - 1], "m");
        }
        YYPostPoint(b.PolygonX[k], b.PolygonY[k], "l");
        ++s.PathPointCount;
    }
    d.LastPenX = b.PolygonX[n - 1];
    d.LastPenY = b.PolygonY[n - 1];
}

void opColour()
{
    const GraphicsState& g = graphicsState();
    PostScriptDriverState& s = ps();
    const INTEGER current = YYModelColour(1);
    // Black lines keep white white, whether it is palette entry 0 or the RGB value of white.
    const bool white = g.ColourModel == kRgbMode ? current == 0xFFFFFF : current == 0;
    s.ColourArgument = opts().value(7) != 0 && !white ? -1 : current;
    const std::array<REAL, 3> c = postColour(s.ColourArgument);
    if (c != s.PendingColour) {
        YYPostPath(1);
        s.PendingColour = c;
    }
}

void shape(std::initializer_list<std::pair<REAL, REAL>> vertices)
{
    bool first = true;
    for (const auto& [x, y] : vertices) {
        YYPostPoint(x, y, first ? "m" : "l");
        first = false;
    }
    ps().PathPointCount = static_cast<INTEGER>(vertices.size());
    YYPostPath(2);
}

void ellipse()
{
    const DriverParameterBlock& b = driverParameterBlock();
    const GraphicsTransform& t = graphicsTransform();
    const HardcopyDriverState& d = hardcopyDriverState();
    const PostScriptDriverState& s = ps();
    const bool straight = t.PageAngle % 180 == 0;
    const REAL o1 = static_cast<REAL>(opts().value(1)), o2 = static_cast<REAL>(opts().value(2));
    const REAL r = straight ? t.AreaHeight * b.X3 / t.AreaWidth : t.AreaHeight / (t.AreaWidth * b.X3);
    const REAL stretch = r * hardcopyTextScaling().HardcopyAspect * (straight ? o2 / o1 : o1 / o2);
    // A flat or undefined stretch would leave a singular matrix for the rest of the page.
    if (!std::isfinite(stretch) || stretch <= 0.0f) return;
    std::string line(kEllipseTemplate);
    line.replace(10, 8, formatted(stretch, "(F8.4)", 8));
    YYPostLine(line);
    YYPostTriple(b.X1 * d.XScale, b.Y1 * d.YScale / stretch, b.X2 * d.XScale, "90. 450. arc");
    if (s.PendingColour != s.WrittenColour)
        YYPostTriple(s.PendingColour[0], s.PendingColour[1], s.PendingColour[2], "g");
    YYPostLine(graphicsState().FillStyle < 3 ? "s" : "cf");
    YYPostLine("grestore");
}

void opFill(INTEGER op)
{
    DriverParameterBlock& b = driverParameterBlock();
    const GraphicsState& g = graphicsState();
    const GraphicsTransform& t = graphicsTransform();
    PostScriptDriverState& s = ps();
    const INTEGER style = g.FillStyle;
    if (b.Value == -1) {
        if (style > 0) YYPostPath(1);
        s.PendingColour = postColour(s.ColourArgument);
        return;
    }
    pageOpen();
    if ((style > 0 && opts().value(7) != 0) || style > 2) {
        YYPostPath(1);
        const std::array<REAL, 3> current = postColour(YYModelColour(1));
        if (style == 3) {
            const std::array<REAL, 3> previous = postColour(YYModelColour(0));
            for (std::size_t k = 0; k < 3; ++k) s.PendingColour[k] = (previous[k] + current[k]) * 0.5f;
        } else {
            s.PendingColour = current;
        }
    }
    if (op != OpEllipseFill && style < 3) return;
    switch (op) {
    case OpQuadFill: shape({{b.X1, b.Y1}, {b.X2, b.Y2}, {b.X3, b.Y3}, {b.X4, b.Y4}}); break;
    case OpTriangleFill: shape({{b.X1, b.Y1}, {b.X2, b.Y2}, {b.X3, b.Y3}}); break;
    case OpRectangleFill: {
        REAL x1 = b.X1, y1 = b.Y1, x2 = b.X2, y2 = b.Y2;
        if (encapsulated()) {
            x1 = std::max(x1, t.DeviceXMin);
            y1 = std::max(y1, t.DeviceYMin);
            x2 = std::min(x2, t.DeviceXMax);
            y2 = std::min(y2, t.DeviceYMax);
        }
        shape({{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}});
        break;
    }
    case OpPolygonFill: {
        const std::size_t n = polygonCount(b.Count);
        if (n == 0) return;
        for (std::size_t k = 0; k < n; ++k) YYPostPoint(b.PolygonX[k], b.PolygonY[k], k == 0 ? "m" : "l");
        s.PathPointCount = static_cast<INTEGER>(n);
        YYPostPath(2);
        break;
    }
    case OpSectorFill: YYPostArc(OpSectorFill, kEllipseTemplate); break;
    case OpEllipseFill: ellipse(); break;
    default: break;
    }
}

// The effective device font: the variant, or for a named face fixed pitch (1) or proportional (2).
INTEGER fontFamily()
{
    const TextState& text = textState();
    if (text.DeviceFontVariant != 0) return text.DeviceFontVariant;
    return text.CharacterSpacing == 0 ? 1 : 2;
}

INTEGER fontMode() { return std::clamp<INTEGER>(textState().CharacterSpacing, 0, 2); }

void fontLine()
{
    const TextState& text = textState();
    const HardcopyTextScaling& scaling = hardcopyTextScaling();
    REAL w = 0.0f, h = 0.0f;
    YYRequestedCharSize(w, h);
    w = std::clamp(w * scaling.ScaleX, 1.0f, 999.0f);
    h = std::clamp(h * scaling.ScaleY, 1.0f, 999.0f);
    if (!std::isfinite(w)) w = 1.0f;
    if (!std::isfinite(h)) h = 1.0f;
    const auto mode = static_cast<std::size_t>(fontMode());
    const std::string a = formatted(w * kWidthFactors[mode], "(F5.1)", 5);
    const std::string d = formatted(h * kHeightFactors[mode], "(F5.1)", 5);
    const INTEGER family = fontFamily();
    std::string name;
    if (family >= 1 && family <= 3)
        name = std::string(kFontPrefixes[static_cast<std::size_t>(family - 1)]) +
               std::to_string(1 + ((text.TextStyle % 4) + 4) % 4);
    else if (family == 4)
        name = "/Symbol";
    else
        return;
    YYPostLine(name + " ff [" + a + " 0 0 " + d + " 0 0] ms");
}

// The text as a string literal of whole characters: "(", ")" and "\" escaped, at most 249
// characters inside the brackets so that the line keeps within 255.
std::string literal(std::string_view text)
{
    std::string out = "(";
    for (char c : text) {
        const bool escaped = c == '(' || c == ')' || c == '\\';
        const std::size_t piece = escaped ? 2 : 1;
        if (out.size() - 1 + piece > 249) break;
        if (escaped) out += '\\';
        out += c;
    }
    return out;
}

void opText()
{
    const DriverParameterBlock& b = driverParameterBlock();
    const TextState& text = textState();
    PostScriptDriverState& s = ps();
    pageOpen();
    YYPostPath(3);
    if (isTrue(s.FontInvalid)) {
        fontLine();
        s.FontInvalid = kFalse;
    }
    const auto count = static_cast<std::size_t>(std::clamp<INTEGER>(b.IntX1, 0, 260));
    const std::string body = literal(stringWorkBuffer().view().substr(0, count));
    // The primitive's point lies on the text's middle line; the baseline is 0.27 heights lower.
    REAL x = b.X1 + 0.27f * text.CharLineX, y = b.Y1 - 0.27f * text.CharLineY;
    INTEGER justification = fontMode() == 1 ? 0 : std::clamp<INTEGER>(text.TextJustification, 0, 2);
    const REAL ex = x - b.X1 + b.X3, ey = y - b.Y1 + b.Y3;
    if (justification == 1) {
        x = 0.5f * (x + ex);
        y = 0.5f * (y + ey);
    } else if (justification == 2) {
        x = ex;
        y = ey;
    }
    YYPostPoint(x, y, "m");
    const REAL angle = std::trunc(text.DeviceTextAngle);
    if (angle != 0.0f) YYPostNumber(angle, "ro");
    YYPostLineRaw(body + ") " + std::string(kShowProcedures[static_cast<std::size_t>(justification)]));
    if (angle != 0.0f) YYPostNumber(360.0f - angle, "ro");
    HardcopyDriverState& d = hardcopyDriverState();
    d.LastPenX = d.LastPenY = -9999.0f;
}

void opClipArea()
{
    if (encapsulated()) return;
    const GraphicsTransform& t = graphicsTransform();
    YYPostPath(1);
    YYPostLine("initclip");
    const REAL x1 = std::trunc(t.DeviceXMin), y1 = std::trunc(t.DeviceYMin);
    const REAL x2 = std::trunc(t.DeviceXMax + 0.99f), y2 = std::trunc(t.DeviceYMax + 0.99f);
    YYPostPoint(x1, y1, "m");
    YYPostPoint(x2, y1, "l");
    YYPostPoint(x2, y2, "l");
    YYPostPoint(x1, y2, "l");
    YYPostLine("clip");
    YYPostLine("newpath");
}

void opLineType()
{
    PostScriptDriverState& s = ps();
    const INTEGER type = graphicsState().LineType;
    if (type == s.LineTypeWritten) return;
    YYPostPath(1);
    const std::size_t k = type >= 0 && type < 8 ? static_cast<std::size_t>(type) : 0;
    YYPostLine(std::string(kDashPatterns[k]) + " d");
    s.LineTypeWritten = type;
}

void opLineWidth()
{
    PostScriptDriverState& s = ps();
    const INTEGER width = opts().value(9);
    if (width == s.LineWidthWritten) return;
    YYPostPath(1);
    YYPostNumber(static_cast<REAL>(width) / 10.0f, "w");
    s.LineWidthWritten = width;
}

void opLineJoin()
{
    YYPostPath(1);
    const INTEGER join = std::clamp<INTEGER>(opts().value(10), 0, 2);
    YYPostLine(std::to_string(join) + " setlinejoin");
    if (join == 0) YYPostNumber(5.0f, "setmiterlimit");
}

void opLineCap()
{
    YYPostPath(1);
    YYPostLine(std::to_string(std::clamp<INTEGER>(opts().value(11), 0, 2)) + " setlinecap");
}

void opImage()
{
    DriverParameterBlock& b = driverParameterBlock();
    const GraphicsTransform& t = graphicsTransform();
    YYPostPath(1);
    const INTEGER width = b.IntX2, height = b.IntY2;
    const std::vector<INTEGER> pixels = YYDriverImagePixels(width, height, std::int64_t{1} << 26);
    if (pixels.empty()) return;
    pageOpen();

    YYPostLine("gsave");
    YYPostLine("/picstr " + formatted(3 * width, "(I10)", 10) + " string def");
    YYPostNumber(static_cast<REAL>(t.PageAngle), "ro");
    const REAL xmin = t.DeviceXMin, ymin = t.DeviceYMin, xmax = t.DeviceXMax, ymax = t.DeviceYMax;
    const REAL dx = xmax - xmin, dy = ymax - ymin;
    switch (t.PageAngle) {
    case 0:
        YYPostPoint(xmin, ymin, "translate");
        YYPostPoint(dx, dy, "scale");
        break;
    case 90:
        YYPostPointSwapped(ymin, -xmax, "translate");
        YYPostPointSwapped(dy, dx, "scale");
        break;
    case 180:
        YYPostPoint(-xmax, -ymax, "translate");
        YYPostPoint(dx, dy, "scale");
        break;
    case 270:
        YYPostPointSwapped(-ymax, xmin, "translate");
        YYPostPointSwapped(dy, dx, "scale");
        break;
    default: break;
    }
    const std::string w = std::to_string(width), h = std::to_string(height);
    YYPostLine(w + " " + h + " 8 [" + w + " 0 0 -" + h + " 0 " + h + "]");
    YYPostLine("{currentfile picstr readhexstring pop}");
    YYPostLine("false 3");
    YYPostLine("colorimage");
    std::string line;
    for (std::size_t k = 0; k < pixels.size(); ++k) {
        INTEGER red = 0, green = 0, blue = 0;
        YYSplitRGB(pixels[k], &red, &green, &blue);
        std::string hex;
        YYHexColour(red, green, blue, hex);
        line += hex;
        if (line.size() == 240 || k + 1 == pixels.size()) {
            YYPostLineRaw(line);
            line.clear();
        }
    }
    YYPostLine("grestore");
}

void opEndPage()
{
    const DriverParameterBlock& b = driverParameterBlock();
    PostScriptDriverState& s = ps();
    hardcopyJobState().PageOpen = 0;
    YYPostPath(1);
    if (!encapsulated()) {
        YYPostLine("/#copies " + formatted(std::clamp<INTEGER>(opts().value(8), 1, 999), "(I3)", 3) + " def");
        YYPostLine("gsave showpage grestore");
    }
    if (b.Count == 0) {
        ++s.PageNumber;
        const std::string n = formatted(s.PageNumber, "(I4)", 4);
        YYPostLine("%%Page: " + n + n);
    }
}

void opEndOutput()
{
    YYPostLine("%%EOF");
    if (!encapsulated()) {
        YYPostLine("initgraphics");
        // The end-of-job character for printers that take several jobs on one connection.
        if (opts().value(15) != 0) YYPROU(kUnit, std::string_view(" \x04", 2));
    }
    YYProuClose(kUnit);
}

}  // namespace

void XXPOST(INTEGER op)
{
    const DriverParameterBlock& b = driverParameterBlock();
    switch (op) {
    case OpInit: opInit(); break;
    case OpLine:
        pageOpen();
        segment(b.X1, b.Y1, b.X2, b.Y2);
        break;
    case OpPoint:
        pageOpen();
        segment(b.X1, b.Y1, b.X1, b.Y1);
        break;
    case OpPolyline: opPolyline(); break;
    case OpColour:
    case OpColourRestore: opColour(); break;
    case OpEllipseFill:
    case OpQuadFill:
    case OpRectangleFill:
    case OpTriangleFill:
    case OpSectorFill:
    case OpPolygonFill: opFill(op); break;
    case OpArc:
        YYPostArc(OpArc, kEllipseTemplate);
        break;
    case OpBeginOutput: opBeginOutput(); break;
    case OpEndOutput: opEndOutput(); break;
    case OpEndPage: opEndPage(); break;
    case OpCharSize: ps().FontInvalid = kTrue; break;
    case OpText: opText(); break;
    case OpClipArea: opClipArea(); break;
    case OpLineType: opLineType(); break;
    case OpLineWidth: opLineWidth(); break;
    case OpLineJoin: opLineJoin(); break;
    case OpLineCap: opLineCap(); break;
    case OpImage: opImage(); break;
    default: break;
    }
}
