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
