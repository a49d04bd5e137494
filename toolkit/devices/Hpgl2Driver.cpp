#include "toolkit/devices/Hpgl2Driver.h"

#include <algorithm>
#include <cmath>

#include "toolkit/devices/DeviceModels.h"
#include "toolkit/devices/DriverSetup.h"
#include "toolkit/devices/Halftones.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/HpglDriver.h"
#include "toolkit/devices/HpglEncoder.h"
#include "toolkit/devices/OutputUnit.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"

const std::array<Hpgl2DeviceEntry, 6> Hpgl2DeviceTable{{
    {"", 0, 0, 0, 0},
    {"HP LaserJet III", 300, 10860, 7918, 2},
    {"HP DJet 1200C/1600C, Color LJet", 300, 10860, 7918, 256},
    {"HP LaserJet 4/5", 600, 10860, 7918, 2},
    {"HP DesignJet", 600, 15836, 10860, 256},
    {"HP Color LaserJet 4500/8500", 600, 10860, 7918, 256},
}};

Hpgl2DriverState& hpgl2DriverState()
{
    static Hpgl2DriverState state;
    return state;
}

namespace {

constexpr INTEGER kUnit = 2;
constexpr REAL kUnitsPerPoint = 14.111111f;
constexpr std::string_view kFullScale = "SC0 32760 0 32760";
constexpr std::array<std::string_view, 8> kLineTypes{"    ", "1 .3", "2 2 ", "4 3 ", "7 2 ", "5 3 ", "3 1 ", "6 3 "};

// Codes 161 to 255 of ISO Latin-1 in the LaserJet III's Roman-8 set.
constexpr std::array<unsigned char, 95> kLatin1ToRoman8{
    0xB8, 0xBF, 0xAF, 0xBA, 0xBC, 0x7C, 0xBD, 0xAB, 0x63, 0xF9, 0xFB, 0x20, 0xF6, 0x52, 0xB0, 0xB3,
    0xFE, 0x32, 0x33, 0xA8, 0xF3, 0xF4, 0xF2, 0x2C, 0x31, 0xFA, 0xFD, 0xF7, 0xF8, 0xF5, 0xB9, 0xA1,
    0xE0, 0xA2, 0xE1, 0xD8, 0xD0, 0xD3, 0xB4, 0xA3, 0xDC, 0xA4, 0xA5, 0xE6, 0xE5, 0xA6, 0xA7, 0xE3,
    0xB6, 0xE8, 0xE7, 0xDF, 0xE9, 0xDA, 0x78, 0xD2, 0xAD, 0xED, 0xAE, 0xDB, 0xB1, 0xF0, 0xDE, 0xC8,
    0xC4, 0xC0, 0xE2, 0xCC, 0xD4, 0xD7, 0xB5, 0xC9, 0xC5, 0xC1, 0xCD, 0xD9, 0xD5, 0xD1, 0xDD, 0xE4,
    0xB7, 0xCA, 0xC6, 0xC2, 0xEA, 0xCE, 0x20, 0xD6, 0xCB, 0xC7, 0xC3, 0xCF, 0xB2, 0xF1, 0xEF};

Hpgl2DriverState& h2() { return hpgl2DriverState(); }
const HardcopyOptionBlock& opts() { return hardcopyOptionBlock(); }
HardcopyDriverState& drv() { return hardcopyDriverState(); }

INTEGER deviceType()
{
    const INTEGER t = printerModelState().Hpgl2Type;
    return t >= 1 && t <= 5 ? t : 1;
}
bool monochrome() { return Hpgl2DeviceTable[static_cast<std::size_t>(deviceType())].Pens == 2; }

std::string& commandBuffer()
{
    std::string& b = hpglEncoderState().HpglCommandBuffer;
    b.assign(50, ' ');
    return b;
}

std::string digit(INTEGER value) { return YYHpglInteger(value, "(I1)", 1); }

void pageOpen() { hardcopyJobState().PageOpen = -1; }

void opInit()
{
    if (YYDriverIdentify(12)) return;
    YYDriverReset();
    const INTEGER t = deviceType();
    const Hpgl2DeviceEntry& row = Hpgl2DeviceTable[static_cast<std::size_t>(t)];
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    o.Options[18] = 0;
    o.Options[5] = 1;
    o.Options[21] = 4;
    o.Options[4] = 0;
    o.Options[3] = 0;
    o.Options[1] = YYHpglScaled(1.0f, static_cast<REAL>(row.XExtent) / kUnitsPerPoint);
    o.Options[2] = YYHpglScaled(1.0f, static_cast<REAL>(row.YExtent) / kUnitsPerPoint);
    const bool mono = row.Pens == 2;
    YYHardcopyDeviceFactsSet(
        {.Capabilities = {.TrueColour = 0,
                          .CapabilityString = mono ? "00000100000011100010001001110" : "00000100011111100010011011110"},
         .TextBoxFlag = 0,
         .TextSpacingFlag = 1,
         .PrintByCommand = 1,
         .DriverDevice = 12});
    HardcopyDriverState& d = drv();
    d.PenCount = row.Pens;
    d.ResolutionX = d.ResolutionY = row.Resolution;
    Hpgl2DriverState& s = h2();
    s.TextSizeChanged = kTrue;
    hardcopyFillState().HardcopyColours = mono ? 2 : 256;
    s.WidthFactor = t == 1 ? 1.5f : 1.2f;
    s.FontLetter = t == 1 ? 'S' : 'A';
    hardcopyJobState().OutputFile.assign("raridevu.plt");
}

void comment(std::string_view head, std::initializer_list<std::pair<std::size_t, std::string>> fields, std::size_t quote)
{
    commandBuffer();
    YYHpglPut(1, head);
    for (const auto& [position, text] : fields) YYHpglPut(position, text);
    // The terminator after the closing quote: without it readers run the next line into the comment.
    YYHpglPut(quote, "\";");
    YYHpglFlush();
}

void opBeginOutput()
{
    const DriverParameterBlock& b = driverParameterBlock();
    YYHpglScales();
    if (b.Value > 0) {
        if (!YYDriverOutputOpen(kUnit)) return;
        Hpgl2DriverState& s = h2();
        const INTEGER t = deviceType();
        drv().RecordMode = opts().value(17) != 0 ? 1 : 2;
        s.LabelTerminator = static_cast<char>(opts().value(21));
        s.CurrentPen = "   ";
        s.FillType = -1;
        s.LastSolidPatternColour = s.LastMixedPrevious = s.LastMixedCurrent = -1;
        s.PenDefined.assign(256, ' ');
        s.LastFontVariant = s.LastStyleBits = -1;
        s.LastFontMode = 0;
        s.LastLabelOrigin = -1;
        if (t != 4) YYHpglLiteral("\x1b%0B");
        if (b.IntX1 != 0) {
            // The title as a quoted comment ending in a terminator, as readers of HP-GL/2 expect
            // (a bare one makes them take the instructions that follow for its text), cut to 46
            // characters; a quote inside it would end the comment early.
            std::string title = hardcopyJobState().Title.trimmed().substr(0, 46);
            std::replace(title.begin(), title.end(), '"', '\'');
            YYHpgl2Token("CO\": " + title + "\";");
        }
        const bool keep = opts().value(5) != 0;
        YYHpglPageLines(kUnitsPerPoint, t == 4 ? !keep : keep, s.P1X, s.P1Y, s.P2X, s.P2Y);
        YYHpglLiteral(std::string("DT") + s.LabelTerminator);
        YYHpglLiteral("DI1. 0.");
        YYHpglLiteral("TR0");
        if (t != 1) YYHpglLiteral("AD1,14;SA");
        if (!monochrome()) YYHpglLiteral("NP256");
        comment("CO\"13", {{7, YYHpglInteger(t, "(I2)", 2)}, {10, YYHpglReal(s.WidthFactor, "(F3.1)", 3)}, {14, "9"}}, 15);
        comment("CO\"2", {{6, digit(opts().value(6))}}, 7);
    }
    YYHpglLiteral(kFullScale);
}

void opColour()
{
    const GraphicsState& g = graphicsState();
    Hpgl2DriverState& s = h2();
    const INTEGER index = g.ColourIndex[1];
    std::string pen;
    if (monochrome()) {
        const INTEGER white = opts().value(6) == 0 ? 0 : 223;
        pen = index == white ? "0  " : "1  ";
    } else {
        pen = YYHpglInteger(index, "(I3)", 3);
        if (index >= 0 && index <= 255 && s.PenDefined[static_cast<std::size_t>(index)] == ' ') {
            INTEGER rgb = 0, red = 0, green = 0, blue = 0;
            YYPaletteRGB(index, rgb);
            YYSplitRGB(rgb, &red, &green, &blue);
            YYHpgl2PenColour(index, red, green, blue);
            s.PenDefined[static_cast<std::size_t>(index)] = '1';
        }
    }
    if (pen != s.CurrentPen) {
        s.CurrentPen = pen;
        YYHpglSelectPen(pen);
    }
    if (g.LayerFillRequest[1] == 0) {
        INTEGER red = 0, green = 0, blue = 0;
        YYColourToRGB(YYModelColour(1), red, green, blue);
        comment("CO\"1", {{6, YYHpglInteger(red + 256 * green + 65536 * blue, "(I8)", 8)}}, 14);
    }
}

void opPaletteEntry()
{
    const DriverParameterBlock& b = driverParameterBlock();
    INTEGER red = 0, green = 0, blue = 0;
    YYSplitRGB(b.IntX1, &red, &green, &blue);
    YYHpgl2PenColour(b.Count, red, green, blue);
    if (b.Count >= 0 && b.Count <= 255) h2().PenDefined[static_cast<std::size_t>(b.Count)] = '1';
}

void opPolyline()
{
    const DriverParameterBlock& b = driverParameterBlock();
    HardcopyDriverState& d = drv();
    pageOpen();
    const std::size_t n = YYHpglPointCount();
    if (n == 0) return;
    if (d.LastPenX != b.PolygonX[0] || d.LastPenY != b.PolygonY[0]) YYHpglCommand("PU", b.PolygonX[0], b.PolygonY[0]);
    YYHpgl2Encode();
    d.LastPenX = b.PolygonX[n - 1];
    d.LastPenY = b.PolygonY[n - 1];
}

std::uint32_t currentCell()
{
    std::uint32_t c0 = 0, c1 = 0, c2 = 0;
    YYHalftonePattern(1, c0, c1, c2);
    return c0;
}

void monochromeFill(INTEGER style)
{
    GraphicsState& g = graphicsState();
    Hpgl2DriverState& s = h2();
    if (g.StrokeTextActive != 0) {
        YYHpglLiteral("FT2");
        s.FillType = -1;
        return;
    }
    const INTEGER previous = g.ColourIndex[0], current = g.ColourIndex[1];
    if (style == 4 || previous == current) {
        if (current != s.LastSolidPatternColour) {
            const std::uint32_t p = currentCell();
            YYHpglLiteral("RF1,8,4,");
            YYHpgl2RasterFill(p);
            s.LastSolidPatternColour = current;
        }
        if (s.FillType != 1) {
            YYHpglLiteral("FT11 1");
            s.FillType = 1;
        }
        return;
    }
    if (previous != s.LastMixedPrevious || current != s.LastMixedCurrent) {
        g.ColourIndex[1] = previous;
        const std::uint32_t a = currentCell();
        g.ColourIndex[1] = current;
        const std::uint32_t b = currentCell();
        const std::uint32_t p = (b & 0x55AA55AAu) + (a & 0xAA55AA55u);
        YYHpglLiteral("RF2,8,4,");
        YYHpgl2RasterFill(p);
        s.LastMixedPrevious = previous;
        s.LastMixedCurrent = current;
    }
    if (s.FillType != 2) {
        YYHpglLiteral("FT11 2");
        s.FillType = 2;
    }
}

void colourFill(INTEGER style)
{
    const GraphicsState& g = graphicsState();
    Hpgl2DriverState& s = h2();
    const bool rgbMode = g.ColourModel == kRgbMode;
    const bool same = rgbMode ? g.ColourRGB[0] == g.ColourRGB[1] : g.ColourIndex[0] == g.ColourIndex[1];
    if (style == 4 || same) return;
    // Two colours blend on a pen of their own, defined with their mean colour.
    const INTEGER current = std::clamp<INTEGER>(g.ColourIndex[1], 0, 255);
    const INTEGER pen = 255 - current;
    INTEGER a = 0, b = 0;
    YYPaletteRGB(g.ColourIndex[0], a);
    YYPaletteRGB(g.ColourIndex[1], b);
    INTEGER ar = 0, ag = 0, ab = 0, br = 0, bg = 0, bb = 0;
    YYSplitRGB(a, &ar, &ag, &ab);
    YYSplitRGB(b, &br, &bg, &bb);
    YYHpgl2PenColour(pen, (ar + br) / 2, (ag + bg) / 2, (ab + bb) / 2);
    s.FillPen = YYHpglInteger(pen, "(I3)", 3);
    YYHpglSelectPen(s.FillPen);
    s.PenDefined[static_cast<std::size_t>(pen)] = ' ';
}

void opFill(INTEGER op)
{
    const DriverParameterBlock& b = driverParameterBlock();
    const GraphicsState& g = graphicsState();
    Hpgl2DriverState& s = h2();
    HardcopyDriverState& d = drv();
    const INTEGER code = YYHpglFillCode(op);
    const INTEGER style = g.FillStyle;
    if (b.Value == -1) {
        if (!(style < 3 && code != 5 && code != 4))
            comment("CO\"", {{4, YYHpglInteger(code, "(I2)", 2)}, {7, "-1"}}, 9);
        if (s.FillPen != s.CurrentPen) YYHpglSelectPen(s.CurrentPen);
        return;
    }
    pageOpen();
    s.FillPen = "   ";
    if (style < 3 && op != OpEllipseFill) return;
    if (style >= 3) {
        if (monochrome())
            monochromeFill(style);
        else
            colourFill(style);
        comment("CO\"", {{4, YYHpglInteger(code, "(I2)", 2)}, {7, digit(style)}, {9, digit(g.HatchDensity)},
                         {11, digit(g.HatchDirection)}, {13, digit(g.FillOutline)}}, 14);
    }
    switch (op) {
    case OpQuadFill: YYHpglPolygonFill({{b.X1, b.Y1}, {b.X2, b.Y2}, {b.X3, b.Y3}, {b.X4, b.Y4}}); break;
    case OpTriangleFill: YYHpglPolygonFill({{b.X1, b.Y1}, {b.X2, b.Y2}, {b.X3, b.Y3}}); break;
    case OpRectangleFill:
        YYHpglCommand("PU", b.X1, b.Y1);
        YYHpglCommand("RA", b.X2, b.Y2);
        d.LastPenX = b.X1;
        d.LastPenY = b.Y1;
        break;
    case OpPolygonFill:
        if (YYHpglPointCount() == 0) break;
        YYHpglCommand("PU", b.PolygonX[0], b.PolygonY[0]);
        YYHpglLiteral("PM0");
        YYHpgl2Encode();
        YYHpglLiteral("PM2;FP");
        d.LastPenX = b.PolygonX[0];
        d.LastPenY = b.PolygonY[0];
        break;
    case OpSectorFill: YYHpglWedgeOrArc(true); break;
    case OpEllipseFill:
        YYHpglCommand("PU", b.X1, b.Y1);
        if (style < 3)
            comment("CO\"5", {{6, digit(style)}, {8, digit(g.HatchDensity)}, {10, digit(g.HatchDirection)},
                              {12, digit(g.FillOutline)}}, 13);
        YYHpglEllipse(style >= 3);
        break;
    default: break;
    }
}

void hatchComment()
{
    const GraphicsState& g = graphicsState();
    if (g.FillStyle != 1 && g.FillStyle != 2) return;
    comment("CO\"4", {{8, digit(g.HatchDensity)}, {10, digit(g.HatchDirection)}, {12, digit(g.FillOutline)}}, 13);
}

void opArc()
{
    pageOpen();
    YYHpglWedgeOrArc(false, &hatchComment);
}

void opText()
{
    const DriverParameterBlock& b = driverParameterBlock();
    const TextState& t = textState();
    Hpgl2DriverState& s = h2();
    pageOpen();
    const INTEGER mode = std::clamp<INTEGER>(t.CharacterSpacing, 0, 2);
    if (isTrue(s.TextSizeChanged)) {
        if (mode != s.LastFontMode) comment("CO\"10", {{7, digit(mode)}}, 8);
        constexpr std::array<REAL, 3> fw{1.0f, 0.932f, 1.06f};
        YYHpglRelativeSize(mode, fw[static_cast<std::size_t>(mode)], s.WidthFactor);
        s.TextSizeChanged = kFalse;
    }
    const INTEGER variant = t.DeviceFontVariant, style = t.TextStyle;
    if (variant != s.LastFontVariant || style != s.LastStyleBits || mode != s.LastFontMode) {
        commandBuffer();
        YYHpglPut(1, (style & 2) != 0 ? "SL.2" : "SL0.");
        YYHpglPut(5, std::string(";") + s.FontLetter + "D 2");
        const bool bold = (style & 1) != 0;
        switch (variant) {
        case 1: YYHpglPut(11, std::string("0 6 ") + (bold ? "5" : "0")); break;
        case 2: YYHpglPut(11, std::string("1 6 ") + (bold ? "3" : "0") + " 7 4148"); break;
        case 3: YYHpglPut(11, std::string("1 6 ") + (bold ? "3" : "0") + " 7 4101"); break;
        case 4: YYHpglPut(11, std::string("1 6 ") + (bold ? "3" : "0") + " 7 4101 1 173"); break;
        default: break;
        }
        YYHpglFlush();
        s.LastFontVariant = variant;
        s.LastStyleBits = style;
        s.LastFontMode = mode;
    }
    const auto count = static_cast<std::size_t>(std::clamp<INTEGER>(b.IntX1, 0, 260));
    std::string label(stringWorkBuffer().view().substr(0, count));
    if (deviceType() == 1 && !(mode != 0 && variant == 4)) {
        for (char& c : label) {
            const auto code = static_cast<unsigned char>(c);
            if (code >= 161) c = static_cast<char>(kLatin1ToRoman8[code - 161]);
        }
    }
    REAL x = 0, y = 0;
    YYHpglLabelStart(x, y);
    INTEGER origin = 0;
    if (mode != 1) {
        const REAL ex = x + b.X3 - b.X1, ey = y + b.Y3 - b.Y1;
        origin = std::clamp<INTEGER>(t.TextJustification, 0, 2);
        if (origin == 1) {
            x = 0.5f * (x + ex);
            y = 0.5f * (y + ey);
        } else if (origin == 2) {
            x = ex;
            y = ey;
        }
    }
    if (origin != s.LastLabelOrigin) {
        YYHpglLiteral(std::string("LO") + "147"[origin]);
        s.LastLabelOrigin = origin;
    }
    YYHpglCommand("PU", x, y);
    YYHpglLabel(label, s.LabelTerminator);
    drv().LastPenX = drv().LastPenY = -9999.0f;
}

void opTextAngle()
{
    const TextState& t = textState();
    commandBuffer();
    YYHpglPut(1, "DI");
    YYHpglPut(3, YYHpglReal(t.TextDirCos, "(F6.3)", 6));
    YYHpglPut(10, YYHpglReal(t.TextDirSin, "(F6.3)", 6));
    YYHpglFlush();
}

void opLineWidth()
{
    commandBuffer();
    YYHpglPut(1, "PW");
    YYHpglPut(3, YYHpglReal(std::clamp(YYHpglPenWidth(), 0.0284f, 5.0f), "(F5.3)", 5));
    YYHpglFlush();
}

void opEndPage()
{
    hardcopyJobState().PageOpen = 0;
    comment("CO\"3", {{6, YYHpglInteger(driverParameterBlock().Value, "(I3)", 3)}}, 9);
    if (deviceType() == 4) {
        YYHpglLiteral("PG");
        return;
    }
    // Back to PCL, the copies and the form feed, then into HP-GL/2 again: 15 bytes.
    const std::string copies = YYHpglInteger(opts().value(8), "(I2.2)", 2);
    YYProuLine(kUnit, "\x1b%1A\x1b&l" + copies + "X\f\x1b%0B");
}

void opEndOutput()
{
    if (deviceType() != 4) YYHpglLiteral("\x1b%0A");
    YYProuClose(kUnit);
}

}  // namespace

void YYHpgl2Token(std::string_view text)
{
    if (drv().RecordMode == 1) YYPROU(kUnit, " ");
    YYProuLine(kUnit, text);
}

void YYHpgl2Encode()
{
    const DriverParameterBlock& b = driverParameterBlock();
    const HardcopyDriverState& d = drv();
    const std::size_t n = YYHpglPointCount();
    std::string line = "PE7";
    const auto append = [&](INTEGER step) {
        // Zigzag sign in the low bit, then base-32 digits, the last one from the terminating range.
        std::int64_t e = step >= 0 ? 2 * static_cast<std::int64_t>(step) : 2 * -static_cast<std::int64_t>(step) + 1;
        while (e >= 32) {
            line += static_cast<char>(63 + e % 32);
            e /= 32;
        }
        line += static_cast<char>(95 + e);
    };
    for (std::size_t i = 1; i < n; ++i) {
        if (line.size() > 246) {
            YYHpgl2Token(line + ";");
            line = "PE7";
        }
        append(YYHpglScaled(d.XScale, b.PolygonX[i]) - YYHpglScaled(d.XScale, b.PolygonX[i - 1]));
        append(YYHpglScaled(d.YScale, b.PolygonY[i]) - YYHpglScaled(d.YScale, b.PolygonY[i - 1]));
    }
    YYHpgl2Token(line + ";");
}

void YYHpgl2RasterFill(std::uint32_t pattern)
{
    const std::uint32_t q = ~pattern;
    for (int row = 0; row < 2; ++row) {
        std::string text = "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,";
        for (int j = 0; j < 16; ++j)
            if ((q >> (16 * row + j)) & 1u) text[static_cast<std::size_t>(2 * j)] = '1';
        if (row == 1) text.back() = ';';
        commandBuffer();
        YYHpglPut(1, text);
        YYHpglFlush();
    }
}

void YYHpgl2PenColour(INTEGER pen, INTEGER red, INTEGER green, INTEGER blue)
{
    const INTEGER mode = opts().value(6);
    const bool white = red > 245 && green > 245 && blue > 245;
    const bool black = red < 10 && green < 10 && blue < 10;
    if (mode == 1 || (mode == 2 && (white || black))) {
        red = 255 - red;
        green = 255 - green;
        blue = 255 - blue;
    }
    commandBuffer();
    YYHpglPut(1, "PC");
    YYHpglPut(3, YYHpglInteger(pen, "(I4)", 4));
    YYHpglPut(8, YYHpglInteger(red, "(I3)", 3));
    YYHpglPut(12, YYHpglInteger(green, "(I3)", 3));
    YYHpglPut(16, YYHpglInteger(blue, "(I3)", 3));
    YYHpglFlush();
}

void XXHPGL2(INTEGER op)
{
    const DriverParameterBlock& b = driverParameterBlock();
    switch (op) {
    case OpInit: opInit(); break;
    case OpBeginOutput: opBeginOutput(); break;
    case OpLine:
        pageOpen();
        YYHpglLineTo(b.X1, b.Y1, b.X2, b.Y2);
        break;
    case OpPoint:
        pageOpen();
        YYHpglLineTo(b.X1, b.Y1, b.X1, b.Y1);
        break;
    case OpPolyline: opPolyline(); break;
    case OpColour:
    case OpColourRestore: opColour(); break;
    case OpPaletteEntry: opPaletteEntry(); break;
    case OpEllipseFill:
    case OpQuadFill:
    case OpRectangleFill:
    case OpTriangleFill:
    case OpSectorFill:
    case OpPolygonFill: opFill(op); break;
    case OpArc: opArc(); break;
    case OpCharSize: h2().TextSizeChanged = kTrue; break;
    case OpTextAngle: opTextAngle(); break;
    case OpText: opText(); break;
    case OpClipArea: {
        const Hpgl2DriverState& s = h2();
        YYHpglClipWindow(kUnitsPerPoint, s.P1X, s.P1Y, s.P2X, s.P2Y);
        break;
    }
    case OpLineType: YYHpglLineType(kLineTypes); break;
    case OpLineWidth: opLineWidth(); break;
    case OpLineJoin: YYHpglLiteral(std::string("LA2 ") + "145"[std::clamp<INTEGER>(opts().value(10), 0, 2)]); break;
    case OpLineCap: YYHpglLiteral(std::string("LA1 ") + "142"[std::clamp<INTEGER>(opts().value(11), 0, 2)]); break;
    case OpEndPage: opEndPage(); break;
    case OpEndOutput: opEndOutput(); break;
    default: break;
    }
}
