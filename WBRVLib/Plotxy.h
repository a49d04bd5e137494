// The pen plotter: drawing on a page of 10 by 8 inches (origin lower left, y up) with pen moves and
// draws, a movable origin and scale factors, 16 pen colours, exclusive-or and erase modes, filled
// boxes, polygons and triangles, pixel conversions, rubber-band outlines, axis copies between
// frames, and texts and numbers of any height and angle. Platform-free: it reaches the toolkit
// through WBRVLib/ToolkitLink.h.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "WBRVLib/GraphFrame.h"
#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/FixedText.h"

// The third argument of PLOTXY.
enum PenCode : INTEGER {
    kPenStart = 1,       // plot start (also 16); the pen does not move
    kPenDraw = 2,        // line from the current point to (x, y)
    kPenMove = 3,        // move to (x, y)
    kPenStartAlso = 16,
    // Negative: (x, y) becomes the new origin first, then the absolute value acts.
};

struct PlotPenState {
    REAL OriginX = 0, OriginY = 0;     // inches, added before the factors
    REAL FactorX = 1, FactorY = 1;
    INTEGER PenColour = 15;
    bool PalettePending = true;        // the plot palette is defined at the first screen start
    REAL LastX = 0, LastY = 0;         // transformed target of the last move or draw
    bool EraseMode = false;
    bool XorMode = false;
    bool SavedXorMode = false;
    REAL PixelScaleX = 0, PixelScaleY = 0;
    bool PixelScaleActive = false;     // only while both pixel scales are positive
    REAL SymbolSizeFactor = 0;
};

PlotPenState& plotPenState();

// The colours of the first screen start, by hue 0-359, lightness and saturation 0-100. Index 14
// is left as the toolkit's palette has it.
struct PlotPaletteEntry {
    INTEGER Index, Hue, Lightness, Saturation;
};
using PlotPaletteTable = std::array<PlotPaletteEntry, 15>;
const PlotPaletteTable& plotPaletteTable();

// The pen: plot start (pen 1 or 16: x > 0 prepares the screen page, y > 0 opens the hardcopy),
// draw (2), move (3), a new origin first for a negative pen, which is also written into frame.
void PLOTXY(REAL x, REAL y, INTEGER pen, GraphFrameRecord& frame);
void PLOTNOP1();
void PLOTNOP2();
void SET_FACT(REAL fx, REAL fy);
void GET_PEN(INTEGER& pen);
// Pens 0..15; other values are ignored.
void SET_PEN(INTEGER pen);
// Solid box between two corners in either order; width is the box's horizontal side.
void FILLBOX(REAL x1, REAL y1, REAL x2, REAL y2, REAL width, INTEGER colour);
// The caller's arrays hold the transformed positions afterwards.
void FILLPOLY(REAL* x, REAL* y, INTEGER n, INTEGER colour);
void FILLTRI(REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, INTEGER colour);
// White box; the origin is added, the factors are not applied.
void CLEARBOX(REAL x1, REAL y1, REAL x2, REAL y2, REAL width);
void ERASEON();
void ERASEOFF();
void XORON();
void XOROFF();
void XORSAVE();
void XORRESTORE();

LOGICAL L_XOR();
LOGICAL L_ERASE();
void SET_BOX(REAL value);
REAL GET_BOX();
void SET_SCL(REAL sx, REAL sy);
// Page position to the pixel that holds it, and back.
void IPIXXY(REAL x, REAL y, INTEGER& ix, INTEGER& iy);
void XYIPIX(REAL& x, REAL& y, INTEGER ix, INTEGER iy);
// As IPIXXY with x' = factor·x + origin and no pixel scale.
void IPIXXY2(REAL x, REAL y, INTEGER& ix, INTEGER& iy);
LOGICAL LRASTR(INTEGER ignored = 0);
LOGICAL LINTERACTER(INTEGER ignored = 0);
REAL PENWTH(INTEGER ignored = 0);
void FILSCR(INTEGER ix1, INTEGER iy1, INTEGER ix2, INTEGER iy2, INTEGER colour, LOGICAL xorMode);
// Exclusive-or outlines between window-unit corners (0..9999, y down); drawing one twice removes it.
void RUBBERBOX(INTEGER ix1, INTEGER iy1, INTEGER ix2, INTEGER iy2);
void RUBBERLINE(INTEGER ix1, INTEGER iy1, INTEGER ix2, INTEGER iy2);
void RUBBERVLINE(INTEGER ix, INTEGER iy1, INTEGER iy2);
void RUBBERPOLY(INTEGER ix1, INTEGER iy1, INTEGER ix2, INTEGER iy2, INTEGER ix3, INTEGER iy3);
void COPYXAXIS(GraphFrameRecord& to, const GraphFrameRecord& from);
void COPYYAXIS(GraphFrameRecord& to, const GraphFrameRecord& from);
void COPYXAXISY(GraphFrameRecord& to, const GraphFrameRecord& from);
void COPYYAXISX(GraphFrameRecord& to, const GraphFrameRecord& from);
// The last pen position relative to the origin, in page inches before the factors; factor 1.0.
void WHERE(REAL& x, REAL& y, REAL& factor);

// ---- plot text and numbers ----------------------------------------------------------------

// The number format MAKNUM patches: a fixed-point field 48 wide, its decimal digit the 11th character.
struct PlotTextState {
    FixedText<12> NumberFormat{"(2H  ,F48.0)"};
};

PlotTextState& plotTextState();

// text(1:n) at height h inches and angle degrees: left-aligned (reference point half a height
// above (x, y) along the text's up direction), centred, right-aligned. n < 1 draws nothing.
void SYMBOL(REAL x, REAL y, REAL h, std::string_view text, REAL angle, INTEGER n);
void CENTSY(REAL x, REAL y, REAL h, std::string_view text, REAL angle, INTEGER n);
void SYMBOR(REAL x, REAL y, REAL h, std::string_view text, REAL angle, INTEGER n);
// CENTSY with the height lowered so that the estimated width 0.5·h·n stays within wmax.
void CENTSYLIMIT(REAL x, REAL y, REAL h, std::string_view text, REAL angle, INTEGER n, REAL wmax);
// Width in inches of text(1:n) at height h (0.0 for n < 1).
REAL STRINGWIDTH(REAL h, std::string_view text, REAL angle, INTEGER n);
// value as its shortest fixed-point text with ndec decimals (at most 9) in text(1:m); ndec returns
// the characters to draw (one less when it came in negative, which hides the decimal point).
void MAKNUM(REAL value, std::string& text, INTEGER m, INTEGER& ndec);
void NUMBER(REAL x, REAL y, REAL h, REAL value, REAL angle, INTEGER ndec);
void CENTNM(REAL x, REAL y, REAL h, REAL value, REAL angle, INTEGER ndec);

// Toolkit-internal
// The text font the plot start selects: the swiss device font, bold, its characters placed by the
// advance-width tables.
void selectPlotFont();
// Width in inches of a text of the given length in nominal character widths (IGrTextLength) drawn
// at height h: by SYMBOL and SYMBOR, or centred by CENTSY, whose font is slightly wider.
REAL plotTextWidth(REAL h, REAL length, bool centred);
