#include "toolkit/graphics/StrokeFonts.h"

#include <algorithm>
#include <cstddef>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/StrokeAdvanceWidths.h"
#include "toolkit/graphics/StrokeFontData.h"

StrokeFontTable& strokeFontTable()
{
    static StrokeFontTable table;
    return table;
}

AdvanceWidthTable& advanceWidthTable()
{
    static AdvanceWidthTable table = [] {
        AdvanceWidthTable t{};
        std::copy(std::begin(kAdvanceWidthDefaultLow), std::end(kAdvanceWidthDefaultLow), t.Low);
        std::copy(std::begin(kAdvanceWidthDefaultHigh), std::end(kAdvanceWidthDefaultHigh), t.High);
        return t;
    }();
    return table;
}

void YYStrokeFontInstall(REAL gridWidth, REAL gridHeight, REAL cellWidth, REAL cellHeight, INTEGER codeBits,
                         INTEGER flags, INTEGER spacing, INTEGER target, std::string_view name,
                         std::string_view glyphs, std::span<const INTEGER, 96> lowStarts,
                         std::span<const INTEGER, 96> highStarts)
{
    if (target != 0) return;
    StrokeFontTable& t = strokeFontTable();
    t.StrokeGridWidth = gridWidth;
    t.StrokeGridHeight = gridHeight;
    t.StrokeCellWidth = cellWidth;
    t.StrokeCellHeight = cellHeight;
    t.StrokeCodeBits = codeBits;
    t.StrokeAsLines = flags & 1;
    t.StrokeHasCode128 = (flags >> 1) & 1;
    t.StrokeFontSpacing = spacing;
    t.StrokeFontName = name;
    t.StrokeGlyphs.assign(glyphs.substr(0, kStrokeGlyphsCapacity));
    // Without a glyph for 128 the end of slot 127 is never read, so it keeps whatever it held.
    const std::size_t lowCount = t.StrokeHasCode128 == 1 ? 96 : 95;
    std::copy_n(lowStarts.begin(), lowCount, t.StrokeLowStarts);
    std::copy(highStarts.begin(), highStarts.end(), t.StrokeHighStarts);
    t.StrokeBoldLoaded = 0;
}

namespace {

void installBuiltIn(BuiltInStrokeSetIndex index, INTEGER target = 0)
{
    const BuiltInStrokeSet& s = kBuiltInStrokeSets[index];
    YYStrokeFontInstall(s.gridWidth, s.gridHeight, s.cellWidth, s.cellHeight, s.codeBits, s.flags, s.spacing, target,
                        s.name, std::string_view(s.glyphs, static_cast<std::size_t>(s.glyphLength)),
                        std::span<const INTEGER, 96>(s.lowStarts, 96), std::span<const INTEGER, 96>(s.highStarts, 96));
}

void installFamily(BuiltInStrokeSetIndex regular, BuiltInStrokeSetIndex bold, INTEGER textStyle)
{
    installBuiltIn((textStyle & 1) != 0 ? bold : regular);
    strokeFontTable().StrokeBoldLoaded = textStyle & 1;
}

int alphabetValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    if (c >= 'a' && c <= 't') return c - 'a' + 36;
    return -1;
}

}  // namespace

void YYStrokeFontStandard(INTEGER target) { installBuiltIn(kStrokeSetStandard, target); }
void YYStrokeFontFixed() { installFamily(kStrokeSetFixed, kStrokeSetFixedBold, textState().TextStyle); }
void YYStrokeFontRoman() { installFamily(kStrokeSetRoman, kStrokeSetRomanBold, textState().TextStyle); }
void YYStrokeFontSwiss() { installFamily(kStrokeSetSwiss, kStrokeSetSwissBold, textState().TextStyle); }
void YYStrokeFontSymbol() { installBuiltIn(kStrokeSetSymbol); }
void YYStrokeFontFixedData() { installBuiltIn(kStrokeSetFixed); }
void YYStrokeFontFixedBold() { installBuiltIn(kStrokeSetFixedBold); }
void YYStrokeFontRomanData() { installBuiltIn(kStrokeSetRoman); }
void YYStrokeFontRomanBold() { installBuiltIn(kStrokeSetRomanBold); }
void YYStrokeFontSwissData() { installBuiltIn(kStrokeSetSwiss); }
void YYStrokeFontSwissBold() { installBuiltIn(kStrokeSetSwissBold); }

void YYCHSPACE(INTEGER code)
{
    AdvanceWidthTable& w = advanceWidthTable();
    if (code == 0) {
        std::copy(std::begin(kAdvanceWidthDefaultLow), std::end(kAdvanceWidthDefaultLow), w.Low);
        std::copy(std::begin(kAdvanceWidthDefaultHigh), std::end(kAdvanceWidthDefaultHigh), w.High);
    } else if (code >= 32 && code <= 126) {
        w.Low[code - 32] = kAdvanceWidthDefaultLow[code - 32];
    } else if (code == 128) {
        w.Low[95] = kAdvanceWidthDefaultLow[95];
    } else if (code >= 161 && code <= 255) {
        w.High[code - 161] = kAdvanceWidthDefaultHigh[code - 161];
    } else {
        YYErrorReport(66, "YYCHSPACE");
    }
}

INTEGER YYStrokeCodeMap(INTEGER code)
{
    const StrokeFontTable& t = strokeFontTable();
    if (code >= 32 && code <= 126) return code;
    if (code == 128) return t.StrokeHasCode128 == 1 ? 127 : 32;
    if (code >= 161 && code <= 255) return t.StrokeCodeBits == 7 ? 32 : code;
    return 32;
}

REAL YYAdvanceWidth(INTEGER mappedCode)
{
    const AdvanceWidthTable& w = advanceWidthTable();
    if (mappedCode >= 32 && mappedCode <= 127) return w.Low[mappedCode - 32];
    if (mappedCode >= 161 && mappedCode <= 255) return w.High[mappedCode - 161];
    return w.Low[0];
}

REAL YYAdvanceTableLength(std::string_view text, INTEGER count)
{
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(std::max<INTEGER>(count, 0)));
    REAL sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += YYAdvanceWidth(YYStrokeCodeMap(static_cast<unsigned char>(text[i])));
    return sum;
}

std::string_view YYStrokeGlyphText(INTEGER mappedCode)
{
    const StrokeFontTable& t = strokeFontTable();
    const INTEGER* starts = nullptr;
    int index = 0;
    if (mappedCode >= 33 && mappedCode <= 127) {
        starts = t.StrokeLowStarts;
        index = mappedCode - 33;
    } else if (mappedCode >= 161 && mappedCode <= 255) {
        starts = t.StrokeHighStarts;
        index = mappedCode - 161;
    } else {
        return {};
    }
    // Start tables come from the installer's caller: a position outside the glyph text draws
    // nothing rather than reading past it.
    const long begin = starts[index];
    const long end = starts[index + 1];
    const long length = static_cast<long>(t.StrokeGlyphs.size());
    if (begin < 1 || end < begin || end > length + 1) return {};
    return std::string_view(t.StrokeGlyphs).substr(static_cast<std::size_t>(begin - 1),
                                                   static_cast<std::size_t>(end - begin));
}

void YYStrokeGlyphDecode(std::string_view glyph, StrokeGlyphStrokes& strokes)
{
    strokes.clear();
    const std::size_t n = glyph.size();
    std::size_t i = 0;
    // A stroke's first two points are read as they stand; after that each character decides
    // whether another point follows or the stroke ends.
    while (i + 4 <= n) {
        std::vector<StrokePoint> stroke;
        bool valid = true;
        auto take = [&](std::size_t at) {
            const int x = alphabetValue(glyph[at]);
            const int y = alphabetValue(glyph[at + 1]);
            if (x < 0 || y < 0) valid = false;
            if (stroke.size() < static_cast<std::size_t>(kStrokeMaxPoints)) stroke.push_back({x, y});
        };
        take(i);
        take(i + 2);
        i += 4;
        bool another = false;
        while (n - i >= 2) {
            if (alphabetValue(glyph[i]) < 0) {
                ++i;
                another = true;
                break;
            }
            take(i);
            i += 2;
        }
        if (valid) strokes.push_back(std::move(stroke));
        if (!another) break;
    }
}

void YYStrokeTextStrokes(const StrokeTextGeometry& g, REAL x, REAL y, std::string_view text, INTEGER count,
                         REAL width, REAL height, const StrokeTextSink& sink)
{
    const StrokeFontTable& t = strokeFontTable();
    const INTEGER n = std::clamp<INTEGER>(count, 0, static_cast<INTEGER>(std::min<std::size_t>(text.size(), 0x7fffffff)));
    const bool stacked = g.TextStacked != 0;
    const bool proportional = g.CharacterSpacing != 0;

    REAL xs = t.StrokeGridWidth > 0 ? width / t.StrokeGridWidth : 0;
    const REAL ys = t.StrokeGridHeight > 0 ? height / t.StrokeGridHeight : 0;
    // The standard set is narrowed for proportional text, whose advances are mostly below one.
    if (proportional && t.StrokeCellWidth < 8) xs *= 0.75f;
    const REAL shear = height != 0 ? g.TextSlant * width / height : 0;
    const REAL underlineLength = proportional ? YYAdvanceTableLength(text, n) : static_cast<REAL>(n);
    const REAL cellW = t.StrokeCellWidth * xs;
    const REAL cellH = t.StrokeCellHeight * ys;

    REAL gx = 0, gy = 0;
    StrokeGlyphStrokes strokes;
    std::vector<REAL> px, py;
    for (INTEGER i = 0; i < n; ++i) {
        const INTEGER code = YYStrokeCodeMap(static_cast<unsigned char>(text[static_cast<std::size_t>(i)]));
        REAL ax = g.CharAdvanceX, ay = g.CharAdvanceY, cx = 0, cy = 0;
        if (proportional) {
            const REAL w = YYAdvanceWidth(code);
            ax = w * g.CharAdvanceX;
            ay = w * g.CharAdvanceY;
            if (!stacked) {
                cx = (1 - w) / 2 * g.CharAdvanceX;
                cy = (1 - w) / 2 * g.CharAdvanceY;
            }
        }
        if (i == 0) {
            // The glyph cell is centred on the middle of the character's advance interval, its
            // bottom half a character height below the centre line.
            if (!stacked) {
                gx = x + cx + (ax - g.TextDirCos * cellW + g.CharLineX) / 2;
                gy = y + cy + (ay - g.TextDirSin * cellW - g.CharLineY) / 2;
            } else {
                // Half the cell back along the text direction, whose vertical part is TextDirSin
                // (not the up sine: they differ on an area whose aspect factor is not 1).
                gx = x + (g.CharLineX - g.TextDirCos * cellW + g.TextUpSin * cellH) / 2;
                gy = y - (g.TextDirSin * cellW + g.CharLineY + g.TextDirCos * cellH) / 2;
            }
        }
        if (proportional && !stacked) {
            gx -= cx;
            gy -= cy;
        }
        if (code > 32) {
            YYStrokeGlyphDecode(YYStrokeGlyphText(code), strokes);
            for (const auto& stroke : strokes) {
                px.clear();
                py.clear();
                for (const StrokePoint& p : stroke) {
                    const REAL s = static_cast<REAL>(p.x) * xs + shear * static_cast<REAL>(p.y) * ys;
                    const REAL u = static_cast<REAL>(p.y) * ys;
                    px.push_back(gx + s * g.TextDirCos - u * g.TextUpSin);
                    py.push_back(gy + s * g.TextDirSin + u * g.TextDirCos);
                }
                StrokeOutputKind kind = StrokeOutputKind::Polygon;
                if (t.StrokeAsLines == 1) kind = stroke.size() == 2 ? StrokeOutputKind::Line : StrokeOutputKind::Polyline;
                sink(kind, px, py);
            }
        }
        if (!stacked) {
            gx += ax + cx;
            gy += ay + cy;
        } else {
            gx += g.CharLineX;
            gy -= g.CharLineY;
        }
    }

    if ((g.TextStyle & 4) != 0 && !stacked) {
        const REAL x0 = x + 0.45f * g.CharLineX;
        const REAL y0 = y - 0.45f * g.CharLineY;
        const REAL lx[2] = {x0, x0 + underlineLength * g.CharAdvanceX};
        const REAL ly[2] = {y0, y0 + underlineLength * g.CharAdvanceY};
        sink(StrokeOutputKind::Line, lx, ly);
    }
}

void YYStrokeText(const StrokeTextGeometry& geometry, REAL x, REAL y, std::string_view text, INTEGER count, REAL width,
                  REAL height)
{
    GraphicsState& g = graphicsState();
    DrawableHooks& hooks = drawableHooks();
    const bool outline = strokeFontTable().StrokeAsLines == 0;
    const bool bold = !outline && (geometry.TextStyle & 1) != 0;
    const INTEGER savedFill = g.FillStyle, savedWidth = g.LineWidth;
    const INTEGER savedHardcopyWidth = hooks.hardcopyLineThicknessQuery ? hooks.hardcopyLineThicknessQuery() : 0;
    const auto sendWidths = [] {
        YYDriverCurrent(OpLineWidth);
        YYDriverHardcopy(OpLineWidth);
    };
    if (outline) {
        g.FillStyle = kFillSolid;
        g.StrokeTextActive = 1;
    } else if (bold) {
        g.LineWidth = savedWidth * 2;
        if (hooks.hardcopyLineThickness && savedHardcopyWidth > 0) hooks.hardcopyLineThickness(savedHardcopyWidth * 2);
        sendWidths();
    }
    YYStrokeTextStrokes(geometry, x, y, text, count, width, height,
                        [](StrokeOutputKind kind, std::span<const REAL> xs, std::span<const REAL> ys) {
                            const INTEGER n = static_cast<INTEGER>(std::min(xs.size(), ys.size()));
                            if (n < 2) return;
                            switch (kind) {
                            case StrokeOutputKind::Line: YYLineDevice(xs[0], ys[0], xs[1], ys[1]); break;
                            case StrokeOutputKind::Polyline: YYPolylineUnits(xs.data(), ys.data(), n, 1); break;
                            case StrokeOutputKind::Polygon: YYPLYGON(xs.data(), ys.data(), n, 1); break;
                            }
                        });
    if (outline) {
        g.FillStyle = savedFill;
        g.StrokeTextActive = 0;
    } else if (bold) {
        g.LineWidth = savedWidth;
        if (hooks.hardcopyLineThickness && savedHardcopyWidth > 0) hooks.hardcopyLineThickness(savedHardcopyWidth);
        sendWidths();
    }
}
