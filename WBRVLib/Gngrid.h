// Graph frames: the box of a graph with linear or logarithmic axes, ticks and numbers, drawn with
// the pen plotter relative to the current plot origin (the caller moves the origin to the frame's
// first); nice axis limits from data limits; the mapping constants of a frame. Platform-free.
#pragma once

#include "WBRVLib/GraphFrame.h"
#include "toolkit/foundation/CoreTypes.h"

// The drawn extents while GNGRID runs, copied from the frame's leftmost x, rightmost x and lowest y
// at its start and back at its end.
struct GridExtentState {
    REAL LeftmostX = 0, RightmostX = 0, LowestY = 0;
};

GridExtentState& gridExtentState();

// Border, ticks and the numbered axes of the frame.
void GNGRID(GraphFrameRecord& frame);
// Axes starting at (x, y); length per step (either sign), h the number size, tick the tick length
// (negative: the ticks and numbers on the other side).
void LNHAX(REAL x, REAL y, REAL tick, REAL first, REAL step, REAL length, REAL h, INTEGER minor, INTEGER steps,
           GraphFrameRecord& frame);
void LNVAX(REAL x, REAL y, REAL tick, REAL first, REAL step, REAL length, REAL h, INTEGER minor, INTEGER steps,
           GraphFrameRecord& frame);
void LGHAX(REAL y, REAL x, REAL tick, REAL length, REAL h, INTEGER firstExponent, INTEGER decades);
void LGVAX(REAL x, REAL y, REAL tick, REAL length, REAL h, INTEGER firstExponent, INTEGER decades,
           GraphFrameRecord& frame);

// The tick length GNGRID gives the frame, which is also the size its axis numbers are drawn from.
REAL frameTickLength(const GraphFrameRecord& frame);
// The height of the tallest numbers GNGRID writes along the frame's axes.
REAL axisNumberHeight(const GraphFrameRecord& frame);

// Nice linear axis covering low..high: first tick, step, step count, minor ticks (5).
void LINNX(REAL low, REAL high, REAL& first, REAL& step, INTEGER& steps, INTEGER& minor);
// Decade range covering |low|..|high|.
void LOGNX(REAL low, REAL high, INTEGER& firstExponent, INTEGER& lastExponent);
// LOGNX in powers of 2.
void LOG2NX(REAL low, REAL high, INTEGER& first, INTEGER& last);
// The older nice scale: a step of 1, 1.5, 2, 2.5, 3, 4, 5 or 8 times a power of ten.
void FIGLIM(REAL low, REAL high, REAL& first, REAL& step, INTEGER& minor, INTEGER divisions);
// Nice limits of one axis, logarithmic or linear by the frame's flag.
void X_AXIS(REAL low, REAL high, GraphFrameRecord& frame);
void Y_AYIS(REAL low, REAL high, GraphFrameRecord& frame);

// Offsets, scales and clip limits of the frame's axes.
void FINDAS(GraphFrameRecord& frame);
void FINDASX(GraphFrameRecord& frame);
void FINDASY(GraphFrameRecord& frame);

// Decimals to print for a tick value (-1: a whole number).
INTEGER JSIG(REAL value);
// Running extremes of the magnitudes of a(1..n), skipping 0, NaN and magnitudes outside 1e-15..1e15.
void GETNX(const REAL* a, INTEGER n, REAL& amin, REAL& amax);
// Running extremes of ia(1..n).
void IFNDNX(const INTEGER* ia, INTEGER n, INTEGER& imin, INTEGER& imax);

// ---- frame mapping, curves, clipping and zoom ------------------------------------------------
//
// Data values map to page inches relative to the frame's origin (the positions PLOTXY takes while
// the frame's origin is the plot origin). A REAL above 1e10 is the missing-value mark (1.0E20);
// the curve plotters also treat NaN and infinite samples as missing.

// The clip window of PCLIP and PLOTCP, in frame page units, and the last position PLOTCP saw.
struct ClipWindowState {
    LOGICAL ClippingOn = kFalse;       // PCLIP sets it; PLOTCP with pen 1 and PCLIPOFF clear it
    REAL LowX = 0, HighX = 0, LowY = 0, HighY = 0;
    REAL LastX = 0, LastY = 0;         // the last position passed to PLOTCP with pen 2 or 3
    LOGICAL LastInside = kFalse;
    LOGICAL NoBounds = kFalse;         // PCLIPOFF: DS_PLOT applies no bounds at all
};

ClipWindowState& clipWindowState();

// The curve symbols BOX draws (the frame's symbol kind); any other value is a diamond when BOX's
// flag is set, else a square.
enum SymbolKind : INTEGER {
    kSymbolSquare = 1,
    kSymbolDiamond = 2,
    kSymbolPlus = 3,
    kSymbolCross = 4,              // diagonal cross
    kSymbolSquareCross = 5,
    kSymbolDiamondSquare = 6,
    kSymbolPlusDiamond = 7,
    kSymbolCrossPlus = 8,
    kSymbolTriangle = 9,           // base below
    kSymbolTriangleBelowBase = 10, // apex on the point, base 2h above
    kSymbolTriangleLeftBase = 11,  // apex on the point, base 2w to the left
};

// The saved axis fields of GTODPL / DPLTOG.
struct SavedAxisFields {
    REAL LengthX = 0, LengthY = 0, FirstTickX = 0, FirstTickY = 0, StepX = 0, StepY = 0;
    REAL OffsetX = 0, OffsetY = 0, ScaleX = 0, ScaleY = 0;
    INTEGER StepsX = 0, StepsY = 0, MinorX = 0, MinorY = 0;
};

// Module state of the curve plotters: the dashed curve's current position, the cross-hair's sizes
// and colour, the saved axis fields, and whether the curve entries alternate colours at reversals
// (set by GNPLOT and its entries; GNPLOTDIRECT keeps what the previous call left).
struct CurvePlotState {
    REAL DashX = 0, DashY = 0;
    REAL CursorSizeX = 0.3f, CursorSizeY = 0.3f;
    INTEGER CursorColour = 15;
    SavedAxisFields Saved;
    bool ColourAlternation = false;
};

CurvePlotState& curvePlotState();

// Page position (frame-relative) of a data value; a NaN maps to 0.0.
REAL PLOFX(REAL x, const GraphFrameRecord& frame);
REAL PLOFY(REAL y, const GraphFrameRecord& frame);
void PLOF_XY(REAL x, REAL y, REAL& px, REAL& py, const GraphFrameRecord& frame);
// Data value of an absolute page position (the frame's origin is subtracted first).
REAL XOFPL(REAL px, const GraphFrameRecord& frame);
REAL YOFPL(REAL py, const GraphFrameRecord& frame);
// The data point lies within both axis ranges.
LOGICAL LINGRAPH(REAL x, REAL y, const GraphFrameRecord& frame);

// The frame's symbol around the page position (x, y), half-width w and half-height h; the pen ends
// moved to (x, y). BOX_CP draws it clipped through PLOTCP.
void BOX(REAL x, REAL y, REAL w, REAL h, LOGICAL flag, GraphFrameRecord& frame);
void BOX_CP(REAL x, REAL y, REAL w, REAL h, LOGICAL flag, GraphFrameRecord& frame);
void SET_SYMB(INTEGER kind, GraphFrameRecord& frame);

// Clip window on (result true); PCLIPOFF: clipping off and no bounds for DS_PLOT (result true).
LOGICAL PCLIP(REAL xLow, REAL xHigh, REAL yLow, REAL yHigh);
LOGICAL PCLIPOFF();
// PLOTXY clipped to the window while clipping is on (pens 2 and 3); pen 1 turns clipping off.
void PLOTCP(REAL x, REAL y, INTEGER pen, GraphFrameRecord& frame);
// Clips the segment to the rectangle; the ends are replaced only when some of it is visible.
void CLIPLN(REAL& x1, REAL& y1, REAL& x2, REAL& y2, REAL xLow, REAL xHigh, REAL yLow, REAL yHigh,
            LOGICAL& visible);
// Clips the segment against the line x = bound, keeping x >= bound (lowSide true) or x <= bound.
void CLIP2(REAL& x1, REAL& y1, REAL& x2, REAL& y2, REAL bound, LOGICAL lowSide, LOGICAL& visible);

// n data points as a line (pen lifted at missing values, where x turns back and at a repeated x)
// or as symbols, clipped to the frame's clip limits.
void GNPLOT(const REAL* x, const REAL* y, INTEGER n, LOGICAL symbols, GraphFrameRecord& frame);
// Branches after each reversal in the alternate colour, shifted a pixel, in exclusive-or mode.
void GNPLOTXOR(const REAL* x, const REAL* y, INTEGER n, LOGICAL symbols, GraphFrameRecord& frame);
// Unclipped lines, the pen lifted at every point outside the clip limits.
void GNPLOTDIRECT(const REAL* x, const REAL* y, INTEGER n, LOGICAL symbols, GraphFrameRecord& frame);
// Without the reversal and repeated-x lifts.
void GNPLOTNOLIFT(const REAL* x, const REAL* y, INTEGER n, LOGICAL symbols, GraphFrameRecord& frame);
// Negative values in the alternate colour.
void GNPLOTSIGN(const REAL* x, const REAL* y, INTEGER n, LOGICAL symbols, GraphFrameRecord& frame);
void GN_MOVE(REAL x, REAL y, GraphFrameRecord& frame);
void GN_DRAW(REAL x, REAL y, GraphFrameRecord& frame);
void GN_BOX(REAL x, REAL y, GraphFrameRecord& frame);
void GN_SYMB(const REAL* x, const REAL* y, INTEGER n, GraphFrameRecord& frame);

// Dashed polyline through the mapped points (dash and gap in page inches); DS_PLOTP takes page
// positions; DSPLOT draws each run where x keeps its direction with DS_PLOT.
void DS_PLOT(const REAL* x, const REAL* y, INTEGER n, REAL dash, REAL gap, GraphFrameRecord& frame);
void DS_PLOTP(const REAL* x, const REAL* y, INTEGER n, REAL dash, REAL gap, GraphFrameRecord& frame);
void DSPLOT(const REAL* x, const REAL* y, INTEGER n, REAL dash, REAL gap, GraphFrameRecord& frame);

// Solid box between page corners limited to the frame's clip limits; nothing when it is empty.
void GNFILL(REAL x1, REAL y1, REAL x2, REAL y2, REAL width, INTEGER colour, GraphFrameRecord& frame);
// The whole page in white.
void PAGECLEAR();
// Filled polygon of n data points, kept 0.01 inch inside the clip limits.
void GNPOLYFILL(const REAL* x, const REAL* y, INTEGER n, INTEGER colour, GraphFrameRecord& frame);
// Symbols sized from sizes (y-axis units), a diagonal cross where the flag is set.
void GNPLTS(const REAL* x, const REAL* y, const REAL* sizes, const LOGICAL* flags, INTEGER n,
            GraphFrameRecord& frame);
// Small symbols: a diagonal cross where the flag is set, else a square.
void GNPLTM(const REAL* x, const REAL* y, INTEGER n, const LOGICAL* flags, GraphFrameRecord& frame);
// Points coloured by code (colours holds 5 pens, indexed by code 0..4), as symbols or a line.
void GNPLTL(const REAL* x, const REAL* y, INTEGER n, const INTEGER* codes, const INTEGER* colours,
            LOGICAL symbols, GraphFrameRecord& frame);
// As GNPLTL with 15 pens, symbols only, a diagonal cross where the flag is set.
void GNPLTLM(const REAL* x, const REAL* y, INTEGER n, const INTEGER* codes, const INTEGER* colours,
             const LOGICAL* flags, GraphFrameRecord& frame);
// Straight line of the given slope (in axis units: decades per decade on logarithmic axes)
// through the frame's centre, clipped to the frame.
void DRAWANGLINE(GraphFrameRecord& frame, REAL slope);

// Window units (0..9999, y down) to data values.
void LINEBACK(INTEGER ix1, INTEGER iy1, INTEGER ix2, INTEGER iy2, REAL& x1, REAL& y1, REAL& x2, REAL& y2,
              const GraphFrameRecord& frame);
// New nice limits of both axes (or one) from a rectangle in window units; the frame keeps its
// size on the page.
void ZOOMBOX(INTEGER ix1, INTEGER iy1, INTEGER ix2, INTEGER iy2, GraphFrameRecord& frame);
void ZOOMBOXX(INTEGER ix1, INTEGER ix2, GraphFrameRecord& frame);
void ZOOMBOXZ(INTEGER iy1, INTEGER iy2, GraphFrameRecord& frame);
// Save and restore the axis fields of a frame.
void GTODPL(const GraphFrameRecord& frame);
void DPLTOG(GraphFrameRecord& frame);
// Data units per inch of each linear axis; 1.0 for a logarithmic one.
void GET_WSCL(REAL& sx, REAL& sy, const GraphFrameRecord& frame);
// Cross-hair in exclusive-or at the data point; SETCURSIZE sets its half-lengths (values not above
// 0 give 0.3), SETCURMODE its colour.
void GRFCUR(REAL x, REAL y, GraphFrameRecord& frame);
void SETCURSIZE(REAL sx, REAL sy);
void SETCURMODE(INTEGER colour);
