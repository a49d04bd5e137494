#include "toolkit/devices/DxfDriver.h"

#include <algorithm>
#include <cmath>

#include "toolkit/devices/DriverSetup.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/OutputUnit.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/NumberText.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"

const std::array<DxfLineTypeEntry, 8> DxfLineTypeTable{{
    {"", "", "", {}, 0},
    {"DOT", "..............................................", "0.25", {"0", "-0.25"}, 2},
    {"DASHED", "__ __ __ __ __ __ __ __ __ __ __ __ __ __ __  ", "0.75", {"0.5", "-0.25"}, 2},
    {"DASHDOT", "__ . __ . __ . __ . __ . __ . __ . __ . __ .  ", "1", {"0.5", "-0.25", "0", "-0.25"}, 4},
    {"DIVIDE", "__ . . __ . . __ . . __ . . __ . . __ . . __  ", "1.25",
     {"0.5", "-0.25", "0", "-0.25", "0", "-0.25"}, 6},
    {"CENTER", "____ _ ____ _ ____ _ ____ _ ____ _ ____ _ ____", "2", {"1.25", "-0.25", "0.25", "-0.25"}, 4},
    // The pattern length is the sum of its elements, which strict readers check.
    {"HIDDEN", "_ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ ", "0.24", {"0.12", "-0.12"}, 2},
    {"PHANTOM", "____ _ _ ____ _ _ ____ _ _ ____ _ _ ____ _ _ _", "2.5",
     {"1.25", "-0.25", "0.25", "-0.25", "0.25", "-0.25"}, 6},
}};

const std::array<INTEGER, 256>& aciColourTable()
{
    static const std::array<INTEGER, 256> table = [] {
        std::array<INTEGER, 256> t{};
        const auto pack = [](INTEGER r, INTEGER g, INTEGER b) { return r + 256 * g + 65536 * b; };
        t[1] = pack(255, 0, 0);
        t[2] = pack(255, 255, 0);
        t[3] = pack(0, 255, 0);
        t[4] = pack(0, 255, 255);
        t[5] = pack(0, 0, 255);
        t[6] = pack(255, 0, 255);
        t[7] = pack(255, 255, 255);
        t[8] = pack(76, 76, 76);
        t[9] = pack(165, 165, 165);
        constexpr std::array<INTEGER, 6> greys{84, 118, 152, 186, 220, 255};
        for (std::size_t k = 0; k < greys.size(); ++k) t[250 + k] = pack(greys[k], greys[k], greys[k]);
        // Component by quarters of full colour: saturated, and halfway to white, per intensity.
        constexpr std::array<std::array<INTEGER, 5>, 5> saturated{
            {{0, 63, 127, 191, 255}, {0, 41, 82, 124, 165}, {0, 31, 63, 95, 127}, {0, 19, 38, 57, 76}, {0, 9, 19, 28, 38}}};
        constexpr std::array<std::array<INTEGER, 5>, 5> pale{{{127, 159, 191, 223, 255},
                                                             {82, 103, 124, 145, 165},
                                                             {63, 79, 95, 111, 127},
                                                             {38, 47, 57, 66, 76},
                                                             {19, 23, 28, 33, 38}}};
        for (INTEGER k = 0; k < 24; ++k) {
            const INTEGER s = k / 4, q = k % 4;
            std::array<INTEGER, 3> f{};
            switch (s) {
            case 0: f = {4, q, 0}; break;
            case 1: f = {4 - q, 4, 0}; break;
            case 2: f = {0, 4, q}; break;
            case 3: f = {0, 4 - q, 4}; break;
            case 4: f = {q, 0, 4}; break;
            default: f = {4, 0, 4 - q}; break;
            }
            for (std::size_t j = 0; j < 5; ++j) {
                const auto& a = saturated[j];
                const auto& b = pale[j];
                const auto at = [&](const std::array<INTEGER, 5>& row, INTEGER quarter) {
                    return row[static_cast<std::size_t>(quarter)];
                };
                t[static_cast<std::size_t>(10 + 10 * k) + 2 * j] = pack(at(a, f[0]), at(a, f[1]), at(a, f[2]));
                t[static_cast<std::size_t>(11 + 10 * k) + 2 * j] = pack(at(b, f[0]), at(b, f[1]), at(b, f[2]));
            }
        }
        return t;
    }();
    return table;
}

DxfDriverState& dxfDriverState()
{
    static DxfDriverState state;
    return state;
}

namespace {

constexpr INTEGER kUnit = 2;
constexpr std::array<INTEGER, 16> kSixteenColours{8, 1, 9, 2, 2, 3, 11, 4, 12, 5, 13, 6, 14, 7, 15, 8};
constexpr std::array<REAL, 3> kHeightFactors{0.78f, 0.63f, 0.63f};

const HardcopyOptionBlock& opts() { return hardcopyOptionBlock(); }
HardcopyDriverState& drv() { return hardcopyDriverState(); }
void pageOpen() { hardcopyJobState().PageOpen = -1; }
bool trueColour() { return opts().value(23) == 24; }

std::string firstNonBlank(const std::string& field)
{
    const std::size_t at = field.find_first_not_of(' ');
    return at == std::string::npos ? std::string() : field.substr(at);
}

void group(INTEGER code, std::string_view value) { YYDxfGroup(std::to_string(code), value); }

void opInit()
{
    if (YYDriverIdentify(8)) return;
    YYDriverReset();
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    o.Options[1] = 756;
    o.Options[2] = 540;
    o.Options[3] = 0;
    o.Options[4] = 0;
    o.Options[5] = 0;
    o.Options[12] = 80;
    o.Options[23] = 8;
    YYHardcopyDeviceFactsSet({.Capabilities = {.DeviceTextThreshold = 0.222f,
                                               .CapabilityString = "00000100000011000010000000010"},
                              .TextBoxFlag = 0,
                              .TextSpacingFlag = 1,
                              .PrintByCommand = 0,
                              .DriverDevice = 8});
    hardcopyFillState().HardcopyColours = 255;
    HardcopyDriverState& d = drv();
    d.ResolutionX = d.ResolutionY = 90;
    hardcopyJobState().OutputFile.assign("raridevu.dxf");
}

void colourDepth()
{
    const INTEGER depth = opts().value(23);
    INTEGER colours = 7, tc = 0;
    if (depth == 24 || depth == 8) {
        colours = 255;
        tc = 1;
    } else if (depth == 4) {
        colours = 14;
    }
    hardcopyFillState().HardcopyColours = colours;
    deviceCapabilityTable().TrueColour[1] = tc;
}

void opBeginOutput()
{
    const DriverParameterBlock& b = driverParameterBlock();
    const REAL ex = YYDrawableXExtent(), ey = YYDrawableYExtent();
    HardcopyDriverState& d = drv();
    d.XScale = ex > 0.0f ? static_cast<REAL>(opts().value(1)) / (ex * 72.0f) : 1.0f;
    d.YScale = ey > 0.0f ? static_cast<REAL>(opts().value(2)) / (ey * 72.0f) : 1.0f;
    if (b.Value <= 0) return;
    if (!YYDriverOutputOpen(kUnit)) return;
    colourDepth();
    const REAL w = static_cast<REAL>(opts().value(1)) / 72.0f, h = static_cast<REAL>(opts().value(2)) / 72.0f;
    YYDxfGroup("0", "SECTION");
    YYDxfGroup("2", "HEADER");
    // The release whose sections and tables the file has (no handles, no objects); readers of
    // later releases take the true colours of group 420 from it as well.
    YYDxfGroup("9", "$ACADVER");
    YYDxfGroup("1", "AC1009");
    YYDxfGroup("9", "$EXTMIN");
    YYDxfGroup("10", "0.0");
    YYDxfGroup("20", "0.0");
    YYDxfGroup("9", "$EXTMAX");
    YYDxfReal(10, w);
    YYDxfReal(20, h);
    YYDxfGroup("9", "$CECOLOR");
    YYDxfGroup("62", "7");
    YYDxfGroup("9", "$CELTYPE");
    YYDxfGroup("6", "DASHDOT");
    YYDxfGroup("9", "$VIEWCTR");
    YYDxfReal(10, w * 0.5f);
    YYDxfReal(20, h * 0.5f);
    YYDxfGroup("9", "$LIMMIN");
    YYDxfGroup("10", "0.0");
    YYDxfGroup("20", "0.0");
    YYDxfGroup("9", "$LIMMAX");
    YYDxfReal(10, w);
    YYDxfReal(20, h);
    YYDxfGroup("0", "ENDSEC");
    YYDxfGroup("0", "SECTION");
    YYDxfGroup("2", "TABLES");
    // The layers draw in CONTINUOUS, so the table holds it beside the seven dashed types.
    YYDxfGroup("0", "TABLE");
    YYDxfGroup("2", "LTYPE");
    YYDxfGroup("70", "8");
    YYDxfGroup("0", "LTYPE");
    YYDxfGroup("2", "CONTINUOUS");
    YYDxfGroup("70", "0");
    YYDxfGroup("3", "Solid line");
    YYDxfGroup("72", "65");
    YYDxfGroup("73", "0");
    YYDxfGroup("40", "0.0");
    for (std::size_t k = 1; k < DxfLineTypeTable.size(); ++k) {
        const DxfLineTypeEntry& e = DxfLineTypeTable[k];
        YYDxfGroup("0", "LTYPE");
        YYDxfGroup("2", e.Name);
        YYDxfGroup("70", "0");
        YYDxfGroup("3", e.Description);
        YYDxfGroup("72", "65");
        YYDxfInteger(73, e.ElementCount);
        YYDxfGroup("40", e.Length);
        for (INTEGER j = 0; j < e.ElementCount; ++j) YYDxfGroup("49", e.Elements[static_cast<std::size_t>(j)]);
    }
    YYDxfGroup("0", "ENDTAB");
    YYDxfGroup("0", "TABLE");
    YYDxfGroup("2", "STYLE");
    YYDxfGroup("70", "1");
    YYDxfGroup("0", "STYLE");
    YYDxfGroup("2", "STANDARD");
    YYDxfGroup("70", "0");
    YYDxfGroup("40", "0");
    YYDxfGroup("41", "1");
    YYDxfGroup("50", "0");
    YYDxfGroup("71", "0");
    YYDxfGroup("42", "0");
    YYDxfGroup("3", "txt");
    YYDxfGroup("0", "ENDTAB");
    YYDxfGroup("0", "TABLE");
    YYDxfGroup("2", "LAYER");
    YYDxfGroup("70", "9");
    for (char layer = '1'; layer <= '9'; ++layer) {
        YYDxfGroup("0", "LAYER");
        YYDxfGroup("2", std::string(1, layer));
        YYDxfGroup("70", "0");
        YYDxfGroup("62", "7");
        YYDxfGroup("6", "CONTINUOUS");
    }
    YYDxfGroup("0", "ENDTAB");
    YYDxfGroup("0", "ENDSEC");
    YYDxfGroup("0", "SECTION");
    YYDxfGroup("2", "ENTITIES");
    dxfDriverState().LastRgb = -1;
}

void opColour()
{
    const GraphicsState& g = graphicsState();
    DxfDriverState& s = dxfDriverState();
    const INTEGER depth = opts().value(23);
    const INTEGER index = g.ColourIndex[1];
    if (depth == 24 || depth == 8) {
        INTEGER rgb = 0;
        if (g.ColourModel == kRgbMode)
            rgb = g.ColourRGB[1];
        else
            YYPaletteRGB(index, rgb);
        if (rgb != s.LastRgb) {
            s.LastIndex = YYDxfColourIndex(rgb);
            s.LastRgb = rgb;
        }
        s.ColourValue = s.LastIndex;
        s.IndexValue = s.LastIndex;
        // Black and white keep colour 7 alone: a true colour would fix them to one of the two.
        if (depth == 24 && rgb != 0 && rgb != 0xFFFFFF) {
            INTEGER red = 0, green = 0, blue = 0;
            YYSplitRGB(rgb, &red, &green, &blue);
            s.ColourValue = red * 65536 + green * 256 + blue;
        } else if (depth == 24) {
            s.ColourValue = -1;
        }
    } else if (depth == 4) {
        s.ColourValue = s.IndexValue = kSixteenColours[static_cast<std::size_t>(std::clamp<INTEGER>(index, 0, 255) / 16)];
    } else {
        const INTEGER k = ((index + 16) / 32 % 8 + 8) % 8;
        s.ColourValue = s.IndexValue = k == 0 ? 7 : k;
    }
}

void lineTypeGroup()
{
    const INTEGER type = graphicsState().LineType;
    if (type >= 1 && type <= 7) group(6, DxfLineTypeTable[static_cast<std::size_t>(type)].Name);
}

void opLine()
{
    const DriverParameterBlock& b = driverParameterBlock();
    pageOpen();
    YYDxfEntity("LINE");
    if (graphicsState().LayerFillRequest[1] == 0) lineTypeGroup();
    YYDxfPoint(10, 20, b.X1, b.Y1);
    YYDxfPoint(11, 21, b.X2, b.Y2);
}

void opPolyline()
{
    const DriverParameterBlock& b = driverParameterBlock();
    pageOpen();
    YYDxfEntity("POLYLINE");
    lineTypeGroup();
    group(66, "1");
    group(70, "0");
    // A polyline's own point is always zero; the vertices carry the points.
    YYDxfPoint(10, 20, 0.0f, 0.0f);
    const std::size_t n = std::min({static_cast<std::size_t>(std::max<INTEGER>(b.Count, 0)), b.PolygonX.size(), b.PolygonY.size()});
    for (std::size_t k = 0; k < n; ++k) {
        group(0, "VERTEX");
        group(8, "1");
        YYDxfPoint(10, 20, b.PolygonX[k], b.PolygonY[k]);
    }
    group(0, "SEQEND");
    group(8, "1");
}

bool areaSquare()
{
    const GraphicsTransform& t = graphicsTransform();
    return t.AreaWidth == t.AreaHeight;
}

void solid(std::array<std::pair<REAL, REAL>, 4> corners)
{
    pageOpen();
    YYDxfEntity("SOLID");
    for (INTEGER k = 0; k < 4; ++k)
        YYDxfPoint(10 + k, 20 + k, corners[static_cast<std::size_t>(k)].first, corners[static_cast<std::size_t>(k)].second);
}

void opFill(INTEGER op)
{
    DriverParameterBlock& b = driverParameterBlock();
    GraphicsState& g = graphicsState();
    const GraphicsTransform& t = graphicsTransform();
    if (b.Value == -1) return;
    const INTEGER style = g.FillStyle;
    const bool polygonal = op == OpQuadFill || op == OpRectangleFill || op == OpTriangleFill;
    if (polygonal && style != 3) {
        if (style != 4) return;
        if (op == OpQuadFill) {
            solid({{{b.X1, b.Y1}, {b.X2, b.Y2}, {b.X4, b.Y4}, {b.X3, b.Y3}}});
        } else if (op == OpTriangleFill) {
            solid({{{b.X1, b.Y1}, {b.X2, b.Y2}, {b.X3, b.Y3}, {b.X3, b.Y3}}});
        } else {
            const REAL x1 = std::max(b.X1, t.DeviceXMin), y1 = std::max(b.Y1, t.DeviceYMin);
            const REAL x2 = std::min(b.X2, t.DeviceXMax), y2 = std::min(b.Y2, t.DeviceYMax);
            solid({{{x1, y1}, {x1, y2}, {x2, y1}, {x2, y2}}});
        }
        return;
    }
    g.LayerFillRequest[1] = 2;
    const REAL o2 = static_cast<REAL>(opts().value(2));
    REAL spacing = o2 != 0.0f ? static_cast<REAL>(opts().value(12)) / 100.0f * YYDrawableYExtent() / o2 : 1.0f;
    if (style == 3) spacing *= 2.0f;
    hardcopyFillState().HardcopyFillSpacing = spacing;
    if (style >= 3) return;
    if (op == OpEllipseFill && b.X3 == 1.0f && areaSquare()) {
        pageOpen();
        YYDxfEntity("CIRCLE");
            YYDxfPoint(10, 20, b.X1, b.Y1);
        YYDxfReal(40, drv().XScale * b.X2);
        return;
    }
    b.Value = -1;
}

void opArc()
{
    DriverParameterBlock& b = driverParameterBlock();
    pageOpen();
    if (!areaSquare()) {
        b.Value = 2;
        return;
    }
    YYDxfEntity("ARC");
    lineTypeGroup();
    YYDxfPoint(10, 20, b.X1, b.Y1);
    YYDxfReal(40, drv().XScale * b.X2);
    YYDxfReal(50, std::min(b.X4, b.X4 + b.Y4));
    YYDxfReal(51, std::max(b.X4, b.X4 + b.Y4));
    b.Value = 1;
}

void opText()
{
    const DriverParameterBlock& b = driverParameterBlock();
    const TextState& s = textState();
    const GraphicsTransform& t = graphicsTransform();
    pageOpen();
    YYDxfEntity("TEXT");
    REAL cw = 0, ch = 0;
    YYRequestedCharSize(cw, ch);
    const bool straight = t.PageAngle % 180 == 0;
    const REAL o1 = static_cast<REAL>(opts().value(1)), o2 = static_cast<REAL>(opts().value(2));
    const REAL ex = YYDrawableXExtent(), ey = YYDrawableYExtent();
    const REAL wDen = (straight ? ex : ey) * 72.0f, hDen = (straight ? ey : ex) * 72.0f;
    const REAL w = wDen != 0.0f ? (straight ? o1 : o2) * cw / wDen : 0.0f;
    const REAL h = hDen != 0.0f ? (straight ? o2 : o1) * ch / hDen : 0.0f;
    const auto mode = static_cast<std::size_t>(std::clamp<INTEGER>(s.CharacterSpacing, 0, 2));
    YYDxfReal(40, h * kHeightFactors[mode]);
    YYDxfReal(41, h != 0.0f ? w * hardcopyTextScaling().HardcopyAspect / h : 1.0f);
    YYDxfInteger(50, static_cast<INTEGER>(std::trunc(s.DeviceTextAngle)));
    const auto count = static_cast<std::size_t>(std::clamp<INTEGER>(b.IntX1, 0, 260));
    group(1, stringWorkBuffer().view().substr(0, count));
    group(7, "STANDARD");
    // The primitive's point lies on the text's middle line; the text stands on its baseline.
    const REAL x = b.X1 + 0.22f * s.CharLineX, y = b.Y1 - 0.22f * s.CharLineY;
    if (s.TextJustification == 0) {
        group(72, "0");
        YYDxfPoint(10, 20, x, y);
    } else {
        group(72, "1");
        YYDxfPoint(10, 20, x, y);
        YYDxfPoint(11, 21, x + 0.5f * b.X2 * s.TextDirCos, y + 0.5f * b.X2 * s.TextUpSin);
    }
}

}  // namespace

void YYDxfGroup(std::string_view code, std::string_view value)
{
    YYProuLine(kUnit, code);
    YYProuLine(kUnit, value);
}

void YYDxfEntity(std::string_view name)
{
    YYDxfGroup("0", name);
    YYDxfGroup("8", "1");
    const DxfDriverState& s = dxfDriverState();
    // A true colour goes with its nearest index, for readers that know no group 420.
    if (trueColour()) {
        YYDxfInteger(62, s.IndexValue);
        if (s.ColourValue >= 0) YYDxfInteger(420, s.ColourValue);
    } else {
        YYDxfInteger(62, s.ColourValue);
    }
}

std::string YYDxfRealText(REAL value)
{
    std::string field(15, ' ');
    IRealToString(value, field, "(F15.6)");
    std::string text = firstNonBlank(field);
    text.erase(text.find_last_not_of(' ') + 1);
    // Only a number loses its trailing zeros; a field of asterisks stays as it is.
    if (text.find('.') != std::string::npos) {
        const std::size_t last = text.find_last_not_of('0');
        text.erase(last == std::string::npos ? 0 : last + 1);
    }
    return text;
}

void YYDxfReal(INTEGER code, REAL value) { group(code, YYDxfRealText(value)); }

void YYDxfInteger(INTEGER code, INTEGER value)
{
    std::string field(8, ' ');
    IntegerToString(value, field, "(I8)");
    group(code, firstNonBlank(field));
}

void YYDxfPoint(INTEGER xCode, INTEGER yCode, REAL x, REAL y)
{
    YYDxfReal(xCode, drv().XScale * x);
    YYDxfReal(yCode, drv().YScale * y);
}

INTEGER YYDxfAciRgb(INTEGER n)
{
    return n >= 0 && n <= 255 ? aciColourTable()[static_cast<std::size_t>(n)] : 0;
}

INTEGER YYDxfColourIndex(INTEGER rgb)
{
    // Black and white are both colour 7, which a viewer draws in the colour that stands out
    // against its own background; the nearest dark index would vanish on a black one.
    if (rgb == 0) return 7;
    const auto cone = [](INTEGER value) {
        REAL h = 0, s = 0, v = 0;
        YYRgbToHsv(value, h, s, v);
        return std::array<REAL, 3>{v * s * std::cos(h), v * s * std::sin(h), v};
    };
    const std::array<REAL, 3> target = cone(rgb);
    REAL best = 9999999.0f;
    INTEGER result = 7;
    for (INTEGER n = 1; n <= 255; ++n) {
        const INTEGER entry = YYDxfAciRgb(n);
        if (entry == rgb) return n;
        const std::array<REAL, 3> p = cone(entry);
        REAL d = 0;
        for (std::size_t k = 0; k < 3; ++k) d += (p[k] - target[k]) * (p[k] - target[k]);
        if (d < best) {
            best = d;
            result = n;
        }
    }
    return result;
}

void XXDXF(INTEGER op)
{
    switch (op) {
    case OpInit: opInit(); break;
    case OpBeginOutput: opBeginOutput(); break;
    case OpEndOutput:
        YYDxfGroup("0", "ENDSEC");
        YYDxfGroup("0", "EOF");
        YYProuClose(kUnit);
        break;
    case OpEndPage: hardcopyJobState().PageOpen = 0; break;
    case OpLine: opLine(); break;
    case OpPoint: {
        const DriverParameterBlock& b = driverParameterBlock();
        pageOpen();
        YYDxfEntity("POINT");
        YYDxfPoint(10, 20, b.X1, b.Y1);
        break;
    }
    case OpPolyline: opPolyline(); break;
    case OpColour: opColour(); break;
    case OpEllipseFill:
    case OpQuadFill:
    case OpRectangleFill:
    case OpTriangleFill:
    case OpSectorFill:
    case OpPolygonFill: opFill(op); break;
    case OpArc: opArc(); break;
    case OpText: opText(); break;
    default: break;
    }
}
