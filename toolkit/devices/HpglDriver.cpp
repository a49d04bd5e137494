#include "toolkit/devices/HpglDriver.h"

#include <algorithm>
#include <cmath>

#include "toolkit/devices/DeviceModels.h"
#include "toolkit/devices/DriverSetup.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/HpglEncoder.h"
#include "toolkit/devices/OutputUnit.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"

const std::array<HpglPlotterEntry, 11> HpglPlotterTable{{
    {"", ' ', 0, 0, 0, 0, 0},
    {"Generic HP-GL 4-pen plotter", 'U', 1016, 400, 10870, 7480, 4},
    {"HP 7475A A4 paper (6 pens)", 'H', 1021, 400, 11040, 7721, 6},
    {"HP 7475A A3 paper (6 pens)", 'H', 1021, 400, 16158, 11040, 6},
    {"Epson HI80/HP ROM (4 pens)", 'E', 1016, 400, 10900, 7650, 4},
    {"Facit 4550 A4     (6 pens)", 'F', 1016, 400, 10880, 7640, 6},
    {"HP 7440A A4 paper (8 pens)", 'H', 1016, 0, 10880, 7640, 8},
    {"HP 7550A A4 paper (8 pens)", 'H', 1016, 0, 10869, 7600, 8},
    {"HP 7550A A3 paper (8 pens)", 'H', 1016, 0, 15970, 10870, 8},
    {"Facit 4551 A4     (6 pens)", 'F', 1016, 400, 10960, 7480, 6},
    {"Facit 4551 A3     (6 pens)", 'F', 1016, 400, 15880, 10960, 6},
}};

HpglDriverState& hpglDriverState()
{
    static HpglDriverState state;
    return state;
}

namespace {

constexpr INTEGER kUnit = 2;
constexpr std::string_view kFullScale = "SC0 32760 0 32760";

constexpr std::array<std::string_view, 5> kCapabilities{
    "", "00000100000000000010000000010", "00000100000000000010000000000", "00000100000010000010000000010",
    "00000100000011100010001001010"};
constexpr std::array<INTEGER, 5> kNativeMasks{0, 0, 0, 40, 126};
constexpr std::array<std::string_view, 8> kLineTypes{"    ", "1 .3", "2 2 ", "4 3 ", "6 2 ", "5 3 ", "3 1 ", "6 4 "};
constexpr std::array<INTEGER, 8> kPenOrder{0, 2, 4, 1, 5, 3, 6, 7};

HpglDriverState& hp() { return hpglDriverState(); }
const HardcopyOptionBlock& opts() { return hardcopyOptionBlock(); }
HardcopyDriverState& drv() { return hardcopyDriverState(); }

INTEGER truncated(DOUBLE v) { return YYHpglScaled(1.0f, static_cast<REAL>(v)); }

// Opens the page before drawing; after a page end the pen is selected again.
void openPage()
{
    hardcopyJobState().PageOpen = -1;
    if (isTrue(hp().PenReselect)) {
        YYHpglLiteral(std::string("SP") + hp().CurrentPen);
        hp().PenReselect = kFalse;
    }
}

INTEGER plotterType()
{
    const INTEGER t = printerModelState().PlotterType;
    return t >= 1 && t <= 10 ? t : 1;
}

void opInit()
{
    if (YYDriverIdentify(1)) return;
    YYDriverReset();
    HpglDriverState& s = hp();
    const HpglPlotterEntry& row = HpglPlotterTable[static_cast<std::size_t>(plotterType())];
    s.UnitsPerPoint = static_cast<REAL>(row.UnitsPerInch) / 72.0f;
    s.Variant = static_cast<INTEGER>(std::string_view("UEFH").find(row.Letter)) + 1;
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    o.Options[5] = 1;
    o.Options[12] = 80;
    o.Options[18] = 1;
    o.Options[21] = 4;
    o.Options[19] = 0;
    o.Options[25] = 0;
    o.Options[4] = 0;
    o.Options[3] = truncated(static_cast<REAL>(row.XOffset) / s.UnitsPerPoint);
    o.Options[1] = truncated(static_cast<REAL>(row.XExtent) / s.UnitsPerPoint - static_cast<REAL>(o.Options[3]));
    o.Options[2] = truncated(static_cast<REAL>(row.YExtent) / s.UnitsPerPoint);
    YYHardcopyDeviceFactsSet({.Capabilities = {.TrueColour = 0,
                                               .LineTypeCount = 7,
                                               .CapabilityString = kCapabilities[static_cast<std::size_t>(s.Variant)]},
                              .TextBoxFlag = 0,
                              .TextSpacingFlag = 0,
                              .PrintByCommand = 1,
                              .DriverDevice = 1});
    drv().PenCount = row.Pens;
    hardcopyFillState().HardcopyColours = row.Pens;
    s.TextSizeChanged = kTrue;
    s.LineType1 = s.Variant == kPlotterFacit ? "1 1 " : "1 .3";
    s.NativeFillMask = kNativeMasks[static_cast<std::size_t>(s.Variant)];
    hardcopyJobState().OutputFile.assign("raridevu.plt");
}

void opBeginOutput()
{
    const DriverParameterBlock& b = driverParameterBlock();
    YYHpglScales();
    if (b.Value > 0) {
        if (!YYDriverOutputOpen(kUnit)) return;
        HpglDriverState& s = hp();
        drv().RecordMode = opts().value(17) != 0 ? 1 : 2;
        s.LabelTerminator = static_cast<char>(opts().value(21));
        s.CurrentPen = ' ';
        s.LastFillThickness = -1.0f;
        s.PenReselect = kFalse;
        s.LastFontMode = 0;
        s.LastStyleBits = -1;
        if (opts().value(19) != 0) YYHpglLiteral("\x1b.Y");
        YYHpglPageLines(s.UnitsPerPoint, opts().value(5) == 0, s.P1X, s.P1Y, s.P2X, s.P2Y);
        YYHpglLiteral(std::string("DT") + s.LabelTerminator);
        YYHpglLiteral("DI1. 0.");
        YYHpglRecord(2, 0, 9, 0, 0);
        YYHpglRecord(13, 0, plotterType(), 0, 0);
    }
    YYHpglLiteral(kFullScale);
}

void opColour()
{
    const GraphicsState& g = graphicsState();
    HpglDriverState& s = hp();
    const INTEGER i = g.ColourIndex[1];
    const INTEGER k = ((i + 16) / 32 % 8 + 8) % 8;
    const INTEGER pens = std::max<INTEGER>(drv().PenCount, 1);
    const char pen = static_cast<char>('0' + kPenOrder[static_cast<std::size_t>(k)] % pens + 1);
    if (pen != s.CurrentPen) {
        s.CurrentPen = pen;
        YYHpglSelectPen(std::string_view(&pen, 1));
        s.PenReselect = kFalse;
    }
    if (g.LayerFillRequest[1] == 0) {
        INTEGER red = 0, green = 0, blue = 0;
        YYColourToRGB(YYModelColour(1), red, green, blue);
        YYHpglRecord(1, 1, red + 256 * green + 65536 * blue, 0, 0);
    }
}

void opLine(bool point)
{
    const DriverParameterBlock& b = driverParameterBlock();
    openPage();
    if (point)
        YYHpglLineTo(b.X1, b.Y1, b.X1, b.Y1);
    else
        YYHpglLineTo(b.X1, b.Y1, b.X2, b.Y2);
}

void opPolyline()
{
    const DriverParameterBlock& b = driverParameterBlock();
    const std::size_t n = YYHpglPointCount();
    openPage();
    if (n == 0) return;
    HardcopyDriverState& d = drv();
    if (d.LastPenX != b.PolygonX[0] || d.LastPenY != b.PolygonY[0]) YYHpglCommand("PU", b.PolygonX[0], b.PolygonY[0]);
    for (std::size_t k = 1; k < n; ++k) YYHpglCommand("PD", b.PolygonX[k], b.PolygonY[k]);
    d.LastPenX = b.PolygonX[n - 1];
    d.LastPenY = b.PolygonY[n - 1];
}

void opFill(INTEGER op)
{
    DriverParameterBlock& b = driverParameterBlock();
    GraphicsState& g = graphicsState();
    HpglDriverState& s = hp();
    HardcopyDriverState& d = drv();
    const INTEGER code = YYHpglFillCode(op);
    if (b.Value == -1) {
        if (!isTrue(s.NativeFill)) YYHpglRecord(code, 1, -1, 0, 0);
        return;
    }
    openPage();
    const INTEGER bit = op / 2 - 1;
    const INTEGER style = g.FillStyle;
    const bool styleNative = style == 4 || (style == 3 && g.ColourIndex[0] == g.ColourIndex[1]);
    bool native = ((s.NativeFillMask >> bit) & 1) != 0 && opts().value(25) != 0 && styleNative;
    // The HP plotters' polygon buffer holds at most 127 vertices.
    if (op == OpPolygonFill && s.Variant == kPlotterHp && b.Count >= 128) native = false;
    s.NativeFill = native ? kTrue : kFalse;
    if (native) {
        const REAL thickness = std::clamp(static_cast<REAL>(opts().value(12)) * 25.4f / 7200.0f, 0.1f, 5.0f);
        if (thickness != s.LastFillThickness) {
            hpglEncoderState().HpglCommandBuffer.assign(50, ' ');
            YYHpglPut(1, "FT2;PT");
            YYHpglPut(9, YYHpglReal(thickness, "(F4.2)", 4));
            YYHpglFlush();
            s.LastFillThickness = thickness;
        }
    } else {
        g.LayerFillRequest[1] = 2;
        const REAL o2 = static_cast<REAL>(opts().value(2));
        REAL spacing = o2 != 0.0f ? static_cast<REAL>(opts().value(12)) / 100.0f * YYDrawableYExtent() / o2 : 1.0f;
        if (style == 3) spacing *= 2.0f;
        hardcopyFillState().HardcopyFillSpacing = spacing;
        if (op != OpEllipseFill) YYHpglRecord(code, 0, style, g.HatchDensity, g.FillOutline * 10 + g.HatchDirection);
    }
    switch (op) {
    case OpQuadFill:
        if (native) {
            YYHpglPolygonFill({{b.X1, b.Y1}, {b.X2, b.Y2}, {b.X3, b.Y3}, {b.X4, b.Y4}});
        } else {
            YYHpglVertexRecord(b.X1, b.Y1);
            YYHpglVertexRecord(b.X3, b.Y3);
            INTEGER first = 0, second = 0;
            if (b.Value == 1) {
                first = YYHpglScaled(d.YScale, b.Y4 - b.Y1);
                second = YYHpglScaled(d.YScale, b.Y3 - b.Y2);
            } else {
                first = YYHpglScaled(d.XScale, b.X3 - b.X4);
                second = YYHpglScaled(d.XScale, b.X2 - b.X1);
            }
            YYHpglRecord(9, 0, first, second, 0);
            YYHpglRecord(9, 1, b.Value, 0, 0);
        }
        break;
    case OpRectangleFill:
        if (native) {
            YYHpglCommand("PU", b.X1, b.Y1);
            YYHpglCommand("RA", b.X2, b.Y2);
            d.LastPenX = b.X1;
            d.LastPenY = b.Y1;
        } else {
            YYHpglVertexRecord(b.X1, b.Y1);
            YYHpglVertexRecord(b.X2, b.Y2);
            YYHpglLiteral(kFullScale);
        }
        break;
    case OpTriangleFill:
        if (native) {
            YYHpglPolygonFill({{b.X1, b.Y1}, {b.X2, b.Y2}, {b.X3, b.Y3}});
        } else {
            YYHpglVertexRecord(b.X1, b.Y1);
            YYHpglVertexRecord(b.X2, b.Y2);
            YYHpglVertexRecord(b.X3, b.Y3);
            YYHpglLiteral(kFullScale);
        }
        break;
    case OpSectorFill:
        if (native) {
            YYHpglWedgeOrArc(true);
        } else {
            YYHpglVertexRecord(b.X1, b.Y1);
            YYHpglVertexRecord(b.X2, b.Y2);
            YYHpglRealVertexRecord(b.X3, b.Y3);
            YYHpglLiteral(kFullScale);
        }
        break;
    case OpPolygonFill: {
        const std::size_t n =
            std::min({static_cast<std::size_t>(std::max<INTEGER>(b.Count, 0)), b.PolygonX.size(), b.PolygonY.size()});
        if (native) {
            if (n == 0) break;
            YYHpglCommand("PU", b.PolygonX[0], b.PolygonY[0]);
            YYHpglLiteral("PM0");
            for (std::size_t k = 1; k < n; ++k) YYHpglCommand("PD", b.PolygonX[k], b.PolygonY[k]);
            YYHpglLiteral("PM2;FP");
            d.LastPenX = b.PolygonX[0];
            d.LastPenY = b.PolygonY[0];
        } else {
            YYHpglRecord(12, 0, static_cast<INTEGER>(n), 0, 0);
            for (std::size_t k = 0; k < n; ++k) YYHpglVertexRecord(b.PolygonX[k], b.PolygonY[k]);
            YYHpglLiteral(kFullScale);
        }
        break;
    }
    case OpEllipseFill:
        YYHpglCommand("PU", b.X1, b.Y1);
        if (!native) YYHpglRecord(5, 0, style, g.HatchDensity, g.HatchDirection);
        YYHpglEllipse(native);
        break;
    default: break;
    }
}

void opCharSize()
{
    const TextState& t = textState();
    YYHpglRecord(10, 1, t.DeviceFontVariant, t.TextStyle, std::clamp<INTEGER>(t.CharacterSpacing, 0, 2));
    hp().TextSizeChanged = kTrue;
}

void opTextAngle()
{
    const TextState& t = textState();
    hpglEncoderState().HpglCommandBuffer.assign(50, ' ');
    YYHpglPut(1, "DI");
    YYHpglPut(3, YYHpglReal(t.TextDirCos, "(F6.3)", 6));
    YYHpglPut(10, YYHpglReal(t.TextDirSin, "(F6.3)", 6));
    YYHpglFlush();
}

void opText()
{
    const DriverParameterBlock& b = driverParameterBlock();
    const TextState& t = textState();
    HpglDriverState& s = hp();
    openPage();
    const INTEGER mode = std::clamp<INTEGER>(t.CharacterSpacing, 0, 2);
    if (isTrue(s.TextSizeChanged)) {
        constexpr std::array<REAL, 3> fw{1.0f, 1.007f, 1.007f};
        YYHpglRelativeSize(mode, fw[static_cast<std::size_t>(mode)], 1.5f);
        s.TextSizeChanged = kFalse;
    }
    if (mode != s.LastFontMode || t.TextStyle != s.LastStyleBits) {
        YYHpglLiteral((t.TextStyle & 2) != 0 ? "SL.2" : "SL0.");
        s.LastFontMode = mode;
        s.LastStyleBits = t.TextStyle;
    }
    REAL x = 0, y = 0;
    YYHpglLabelStart(x, y);
    YYHpglCommand("PU", x, y);
    const auto count = static_cast<std::size_t>(std::clamp<INTEGER>(b.IntX1, 0, 260));
    YYHpglLabel(stringWorkBuffer().view().substr(0, count), s.LabelTerminator);
    drv().LastPenX = drv().LastPenY = -9999.0f;
}

void opLineType()
{
    std::array<std::string_view, 8> patterns = kLineTypes;
    patterns[1] = hp().LineType1;
    YYHpglLineType(patterns);
}

void opLineWidth()
{
    if (opts().value(18) == 0) return;
    hpglEncoderState().HpglCommandBuffer.assign(50, ' ');
    YYHpglPut(1, "PW");
    YYHpglPut(3, YYHpglReal(std::clamp(YYHpglPenWidth(), 0.1f, 5.0f), "(F5.3)", 5));
    YYHpglFlush();
}

void opEndPage()
{
    HpglDriverState& s = hp();
    hardcopyJobState().PageOpen = 0;
    YYHpglRecord(3, 1, driverParameterBlock().Value, 0, 0);
    const INTEGER type = plotterType();
    YYHpglLiteral(type == 7 || type == 8 ? "PU;SP0 ;PG;" : "PU;SP0 ;");
    s.PenReselect = kTrue;
}

void opEndOutput()
{
    if (opts().value(19) != 0) YYHpglLiteral("\x1b.Z");
    YYProuClose(kUnit);
}

// The temporary scaling that makes a circle round on the plotter: the ratio between the page's
// axes, put over the x maximum (q) or the y maximum (r) of the full scaling.
struct RoundScaling {
    INTEGER Ratio = 32760;
    bool OverX = false;
    INTEGER Quotient = 0;
};

RoundScaling roundScaling(REAL stretch)
{
    const GraphicsTransform& t = graphicsTransform();
    const DOUBLE aspect = hardcopyTextScaling().HardcopyAspect;
    const DOUBLE w = t.AreaWidth, h = t.AreaHeight, k = stretch;
    DOUBLE r = 32760.0;
    const DOUBLE denominator = t.PageAngle % 180 == 0 ? h * aspect * k : h;
    const DOUBLE numerator = t.PageAngle % 180 == 0 ? w * 32760.0 : aspect * w * 32760.0 * k;
    // A page without aspect or an empty area keeps the plain scaling rather than dividing by zero.
    if (denominator != 0.0 && std::isfinite(numerator / denominator) && numerator / denominator >= 1.0) r = numerator / denominator;
    RoundScaling out;
    out.Ratio = truncated(r);
    out.OverX = out.Ratio > 32760;
    if (out.OverX) out.Quotient = 1073217600 / out.Ratio;
    return out;
}

void writeRoundScaling(const RoundScaling& r)
{
    hpglEncoderState().HpglCommandBuffer.assign(50, ' ');
    YYHpglPut(1, kFullScale);
    if (r.OverX)
        YYHpglPut(5, YYHpglInteger(r.Quotient, "(I5)", 5));
    else
        YYHpglPut(13, YYHpglInteger(r.Ratio, "(I5)", 5));
    YYHpglFlush();
}

}  // namespace

void YYHpglScales() { YYScalesFromDrawable(32760.0f, 32760.0f); }

void YYHpglRelativeSize(INTEGER mode, REAL widthFactor, REAL widthDivisor)
{
    constexpr std::array<REAL, 3> fh{1.0f, 1.211f, 1.211f};
    REAL w = 0, h = 0, ow = 0, oh = 0;
    YYHpglTextSizes(w, h, ow, oh);
    REAL width = ow != 0.0f ? w * widthFactor * 100.0f / (ow * widthDivisor) : 0.0f;
    REAL height = oh != 0.0f ? h * fh[static_cast<std::size_t>(mode)] * 100.0f / (oh * 2.0f) : 0.0f;
    const REAL aspect = hardcopyTextScaling().HardcopyAspect;
    if (graphicsTransform().PageAngle % 180 != 0 && aspect != 0.0f) {
        width *= aspect;
        height /= aspect;
    }
    hpglEncoderState().HpglCommandBuffer.assign(50, ' ');
    YYHpglPut(1, "SR");
    YYHpglPut(3, YYHpglReal(width, "(F8.2)", 8));
    YYHpglPut(11, YYHpglReal(height, "(F8.2)", 8));
    YYHpglFlush();
}

void YYHpglSelectPen(std::string_view pen) { YYHpglLiteral("PU;SP" + std::string(pen)); }

void YYHpglLineType(const std::array<std::string_view, 8>& patterns)
{
    const INTEGER type = std::clamp<INTEGER>(graphicsState().LineType, 0, 7);
    YYHpglLiteral("LT" + std::string(patterns[static_cast<std::size_t>(type)]));
}

INTEGER YYHpglFillCode(INTEGER op)
{
    switch (op) {
    case OpEllipseFill: return 5;
    case OpQuadFill: return 8;
    case OpRectangleFill: return 6;
    case OpTriangleFill: return 7;
    case OpSectorFill: return 4;
    default: return 11;
    }
}

void YYHpglPolygonFill(std::initializer_list<std::pair<REAL, REAL>> corners)
{
    auto it = corners.begin();
    YYHpglCommand("PU", it->first, it->second);
    YYHpglLiteral("PM0");
    for (++it; it != corners.end(); ++it) YYHpglCommand("PD", it->first, it->second);
    YYHpglLiteral("PM2;FP");
    drv().LastPenX = corners.begin()->first;
    drv().LastPenY = corners.begin()->second;
}

std::size_t YYHpglPointCount()
{
    const DriverParameterBlock& b = driverParameterBlock();
    return std::min({static_cast<std::size_t>(std::max<INTEGER>(b.Count, 0)), b.PolygonX.size(), b.PolygonY.size()});
}

void YYHpglPageLines(REAL unitsPerPoint, bool turned, INTEGER& p1x, INTEGER& p1y, INTEGER& p2x, INTEGER& p2y)
{
    const auto at = [&](INTEGER points) { return truncated(static_cast<REAL>(points) * unitsPerPoint); };
    const INTEGER o1 = opts().value(1), o2 = opts().value(2), o3 = opts().value(3), o4 = opts().value(4);
    p1x = at(o3);
    p1y = at(o4);
    p2x = at(o3 + o1);
    p2y = at(o4 + o2);
    const auto corners = [&](std::size_t position) {
        YYHpglPut(position, YYHpglInteger(p1x, "(I7)", 7));
        YYHpglPut(position + 7, YYHpglInteger(p1y, "(I7)", 7));
        YYHpglPut(position + 14, YYHpglInteger(p2x, "(I7)", 7));
        YYHpglPut(position + 21, YYHpglInteger(p2y, "(I7)", 7));
    };
    hpglEncoderState().HpglCommandBuffer.assign(50, ' ');
    YYHpglPut(1, "IN; IP");
    corners(7);
    YYHpglFlush();
    hpglEncoderState().HpglCommandBuffer.assign(50, ' ');
    YYHpglPut(1, turned ? "RO 90; IP" : "RO  0; IP");
    corners(11);
    YYHpglFlush();
}

void YYHpglEllipse(bool native)
{
    const DriverParameterBlock& b = driverParameterBlock();
    const RoundScaling r = roundScaling(b.X3);
    const REAL radius = r.OverX ? b.X2 * 32760.0f / static_cast<REAL>(r.Ratio) : b.X2;
    writeRoundScaling(r);
    if (native) YYHpglLiteral("PM0");
    YYHpglCommand("CI", radius, 0.0f);
    if (native) YYHpglLiteral("PM2;FP");
    drv().LastPenX = b.X1;
    drv().LastPenY = b.Y1;
    YYHpglLiteral(kFullScale);
}

void YYHpglWedgeOrArc(bool sector, void (*afterPenUp)())
{
    const DriverParameterBlock& b = driverParameterBlock();
    const GraphicsState& g = graphicsState();
    HardcopyDriverState& d = drv();
    const bool wedge = sector || g.FillStyle != 0 || g.HatchDensity <= 2;
    if (wedge) {
        YYHpglCommand("PU", b.X1, b.Y1);
        if (afterPenUp) afterPenUp();
    }
    const RoundScaling r = roundScaling(1.0f);
    DOUBLE radius = b.X2, cx = b.X1, cy = b.Y1;
    if (r.OverX) {
        radius = static_cast<DOUBLE>(b.X2) * 32760.0 / r.Ratio;
        cx = static_cast<DOUBLE>(r.Quotient) * b.X1 / 32760.0;
    } else {
        cy = static_cast<DOUBLE>(r.Ratio) * b.Y1 / 32760.0;
    }
    writeRoundScaling(r);
    radius *= d.XScale;
    std::string& buffer = hpglEncoderState().HpglCommandBuffer;
    if (wedge) {
        buffer.assign(50, ' ');
        YYHpglPut(1, sector ? "WG" : "EW");
        YYHpglPut(3, YYHpglInteger(truncated(radius), "(I6)", 6));
        YYHpglPut(9, YYHpglReal(b.X4, "(F7.1)", 7));
        YYHpglPut(16, YYHpglReal(b.Y4, "(F7.1)", 7));
        d.LastPenX = b.X1;
        d.LastPenY = b.Y1;
    } else {
        const DOUBLE px = cx * d.XScale, py = cy * d.YScale;
        buffer.assign(50, ' ');
        YYHpglPut(1, "PU");
        YYHpglPut(3, YYHpglInteger(truncated(px + radius * std::cos(b.X3)), "(I6)", 6));
        YYHpglPut(9, YYHpglInteger(truncated(py + radius * std::sin(b.X3)), "(I6)", 6));
        YYHpglFlush();
        YYHpglLiteral("PD");
        buffer.assign(50, ' ');
        YYHpglPut(1, "AA");
        YYHpglPut(3, YYHpglInteger(truncated(px), "(I6)", 6));
        YYHpglPut(9, YYHpglInteger(truncated(py), "(I6)", 6));
        YYHpglPut(15, YYHpglReal(b.Y4, "(F7.1)", 7));
        // The arc ends somewhere in the temporary scaling: the next line starts with the pen up.
        d.LastPenX = d.LastPenY = -9999.0f;
    }
    YYHpglFlush();
    YYHpglLiteral(kFullScale);
}

void YYHpglClipWindow(REAL unitsPerPoint, INTEGER p1x, INTEGER p1y, INTEGER p2x, INTEGER p2y)
{
    const GraphicsTransform& t = graphicsTransform();
    const REAL ex = YYDrawableXExtent(), ey = YYDrawableYExtent();
    const DOUBLE px = ex > 0.0f ? opts().value(1) * static_cast<DOUBLE>(unitsPerPoint) / ex : 0.0;
    const DOUBLE py = ey > 0.0f ? opts().value(2) * static_cast<DOUBLE>(unitsPerPoint) / ey : 0.0;
    YYHpglLiteral("SC");
    std::string& buffer = hpglEncoderState().HpglCommandBuffer;
    buffer.assign(50, ' ');
    YYHpglPut(1, "IW");
    YYHpglPut(3, YYHpglInteger(truncated(px * t.DeviceXMin) + p1x, "(I7)", 7));
    YYHpglPut(10, YYHpglInteger(truncated(py * t.DeviceYMin) + p1y, "(I7)", 7));
    YYHpglPut(17, YYHpglInteger(std::min(truncated(px * t.DeviceXMax + 0.99) + p1x, p2x), "(I7)", 7));
    YYHpglPut(24, YYHpglInteger(std::min(truncated(py * t.DeviceYMax + 0.99) + p1y, p2y), "(I7)", 7));
    YYHpglFlush();
    YYHpglLiteral(kFullScale);
}

void YYHpglLabelStart(REAL& x, REAL& y)
{
    const DriverParameterBlock& b = driverParameterBlock();
    const TextState& t = textState();
    const bool plain = std::clamp<INTEGER>(t.CharacterSpacing, 0, 2) == 0;
    const REAL across = plain ? 0.22f : 0.3f, along = plain ? 0.22f : 0.0f;
    // The primitive's point lies on the text's middle line: the label starts lower, across the
    // text direction, and (plain font) a little further along it.
    x = b.X1 + along * t.CharAdvanceX + across * t.CharLineX;
    y = b.Y1 + along * t.CharAdvanceY - across * t.CharLineY;
}

void YYHpglLineTo(REAL x1, REAL y1, REAL x2, REAL y2)
{
    HardcopyDriverState& d = drv();
    if (d.LastPenX != x1 || d.LastPenY != y1) YYHpglCommand("PU", x1, y1);
    YYHpglCommand("PD", x2, y2);
    d.LastPenX = x2;
    d.LastPenY = y2;
}

void YYHpglTextSizes(REAL& w, REAL& h, REAL& orientedWidth, REAL& orientedHeight)
{
    YYRequestedCharSize(w, h);
    const bool straight = graphicsTransform().PageAngle % 180 == 0;
    orientedWidth = straight ? YYDrawableXExtent() : YYDrawableYExtent();
    orientedHeight = straight ? YYDrawableYExtent() : YYDrawableXExtent();
}

REAL YYHpglPenWidth()
{
    // Option 9 is in tenths of a point; a point is 25.4 / 72 millimetres.
    return static_cast<REAL>(opts().value(9)) * 25.4f / 720.0f;
}

void XXHPGL(INTEGER op)
{
    switch (op) {
    case OpInit: opInit(); break;
    case OpBeginOutput: opBeginOutput(); break;
    case OpLine: opLine(false); break;
    case OpPoint: opLine(true); break;
    case OpPolyline: opPolyline(); break;
    case OpColour: opColour(); break;
    case OpEllipseFill:
    case OpQuadFill:
    case OpRectangleFill:
    case OpTriangleFill:
    case OpSectorFill:
    case OpPolygonFill: opFill(op); break;
    case OpArc: YYHpglWedgeOrArc(false); break;
    case OpCharSize: opCharSize(); break;
    case OpTextAngle: opTextAngle(); break;
    case OpText: opText(); break;
    case OpClipArea: {
        const HpglDriverState& s = hp();
        YYHpglClipWindow(s.UnitsPerPoint, s.P1X, s.P1Y, s.P2X, s.P2Y);
        break;
    }
    case OpLineType: opLineType(); break;
    case OpLineWidth: opLineWidth(); break;
    case OpEndPage: opEndPage(); break;
    case OpEndOutput: opEndOutput(); break;
    default: break;
    }
}
