// Stroke fonts: the installed stroke character set, the glyph code its glyphs are written in, the
// eight compiled-in sets, the advance-width tables of proportional text, and the placement of
// stroke glyphs along a text (platform-free).
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/FixedText.h"

// A set's glyph text is at most this long; a stroke holds at most this many points.
inline constexpr INTEGER kStrokeGlyphsCapacity = 17000;
inline constexpr INTEGER kStrokeMaxPoints = 150;

// The one installed stroke set. Start positions are 1-based into StrokeGlyphs; the glyph of a
// code runs up to the character before the next start in the same table.
struct StrokeFontTable {
    REAL StrokeGridWidth = 0;   // nominal advance in grid units
    REAL StrokeGridHeight = 0;  // nominal height in grid units
    REAL StrokeCellWidth = 0;
    REAL StrokeCellHeight = 0;
    INTEGER StrokeCodeBits = 7;     // 8: glyphs for 161 to 255; 7: those codes draw as blanks
    INTEGER StrokeAsLines = 1;      // 1 strokes are lines, 0 outlines of filled polygons
    INTEGER StrokeHasCode128 = 0;   // 1: code 128 has a glyph, kept in the slot of 127
    INTEGER StrokeFontSpacing = 0;  // CharacterSpacing the set brings: 0 fixed, 1 proportional
    INTEGER StrokeBoldLoaded = 0;   // 1 while the installed outline set is a bold variant
    FixedText<260> StrokeFontName;
    INTEGER StrokeLowStarts[96] = {};   // codes 33 to 127, then the end of 127's glyph
    INTEGER StrokeHighStarts[96] = {};  // codes 161 to 255, then the end of 255's glyph
    std::string StrokeGlyphs;
};

StrokeFontTable& strokeFontTable();

// Advance widths in nominal character widths: Low for codes 32 to 127 (127's entry serves code
// 128), High for 161 to 255. Used by every font with proportional spacing from the tables.
struct AdvanceWidthTable {
    REAL Low[96];
    REAL High[95];
};

AdvanceWidthTable& advanceWidthTable();

// Toolkit-internal

// Installs a set into the StrokeFontTable (target 0; other targets are not used and change
// nothing). Glyph text beyond the capacity is not kept.
void YYStrokeFontInstall(REAL gridWidth, REAL gridHeight, REAL cellWidth, REAL cellHeight, INTEGER codeBits,
                         INTEGER flags, INTEGER spacing, INTEGER target, std::string_view name,
                         std::string_view glyphs, std::span<const INTEGER, 96> lowStarts,
                         std::span<const INTEGER, 96> highStarts);

// "standard.chr", installed by every graphics reset.
void YYStrokeFontStandard(INTEGER target = 0);

// Each installs the bold variant of its family when the bold bit (1) of the text style is set,
// else the regular one, reading the style of the text state, and records which in
// StrokeBoldLoaded.
void YYStrokeFontFixed();
void YYStrokeFontRoman();
void YYStrokeFontSwiss();
void YYStrokeFontSymbol();

void YYStrokeFontFixedData();
void YYStrokeFontFixedBold();
void YYStrokeFontRomanData();
void YYStrokeFontRomanBold();
void YYStrokeFontSwissData();
void YYStrokeFontSwissBold();

// Resets advance widths from the defaults: code 0 all of them, else that code's entry (128: the
// slot of 127). Other codes report error 66 and change nothing.
void YYCHSPACE(INTEGER code);

// The code a character stands for in the installed set (32 for every code without a glyph slot).
INTEGER YYStrokeCodeMap(INTEGER code);
// The advance width of a mapped code.
REAL YYAdvanceWidth(INTEGER mappedCode);
// A text's length in nominal widths from the advance-width tables, each code mapped first.
REAL YYAdvanceTableLength(std::string_view text, INTEGER count);

// The glyph text of a mapped code in the installed set (empty when it has none).
std::string_view YYStrokeGlyphText(INTEGER mappedCode);

struct StrokePoint {
    INTEGER x = 0;
    INTEGER y = 0;
    friend bool operator==(const StrokePoint&, const StrokePoint&) = default;
};
using StrokeGlyphStrokes = std::vector<std::vector<StrokePoint>>;

// Decodes one glyph's text into its strokes. A stroke with a coordinate outside the alphabet is
// dropped; points beyond the per-stroke limit are not kept.
void YYStrokeGlyphDecode(std::string_view glyph, StrokeGlyphStrokes& strokes);

// The text attributes stroke text is drawn with, as the text state holds them.
struct StrokeTextGeometry {
    REAL TextDirCos = 1;
    REAL TextDirSin = 0;
    REAL TextUpSin = 0;
    REAL CharAdvanceX = 0;  // W x TextDirCos
    REAL CharAdvanceY = 0;  // W x TextDirSin
    REAL CharLineX = 0;     // H x TextUpSin
    REAL CharLineY = 0;     // H x TextDirCos
    REAL TextSlant = 0;
    INTEGER CharacterSpacing = 0;
    INTEGER TextStacked = 0;
    INTEGER TextStyle = 0;
};

enum class StrokeOutputKind {
    Line,      // two points: one line (also the underline)
    Polyline,  // a longer stroke of a line set
    Polygon,   // a stroke of an outline set: one filled polygon
};

using StrokeTextSink = std::function<void(StrokeOutputKind, std::span<const REAL> xs, std::span<const REAL> ys)>;

// Places the glyphs of a text with the installed set and hands every stroke, in device units,
// to the sink, then the underline. (x, y) is the start point on the centre line (for stacked
// text the column reference), width and height the character size in device units.
//
// The graphics output's stroke-text routine wraps this: around an outline set it sets the
// fill style to solid and marks stroke text active; around bold text of a line set it doubles
// the line width and the hardcopy line width; its sink sends lines, polylines and polygons to
// the output layers that are on.
void YYStrokeTextStrokes(const StrokeTextGeometry& geometry, REAL x, REAL y, std::string_view text,
                         INTEGER count, REAL width, REAL height, const StrokeTextSink& sink);

// Draws a text with the installed set on every output layer that is on: lines and polylines of a
// line set, filled polygons of an outline set (drawn solid, with stroke text marked active); bold
// text of a line set is drawn with doubled screen and hardcopy line widths, restored afterwards.
void YYStrokeText(const StrokeTextGeometry& geometry, REAL x, REAL y, std::string_view text, INTEGER count, REAL width,
                  REAL height);
