// Straight lines: the pen routines in user units, the line routines in user and device units, the
// polyline, the clipper that cuts every line to the clip window, and the line attributes that
// travel with lines to the drivers (platform-free).
#pragma once

#include <optional>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

enum LineTypeCode : INTEGER { kLineSolid = 0 };
enum PlotModeCode : INTEGER { kPlotCopy = 0, kPlotOr = 1, kPlotAnd = 2, kPlotXor = 3 };

// Current point := (x, y); nothing is drawn.
void IGrPenMove(REAL x, REAL y);
void IGrPenMoveRelative(REAL dx, REAL dy);
// Line from the current point to (x, y), which becomes the current point.
void IGrPenDraw(REAL x, REAL y);
void IGrPenDrawRelative(REAL dx, REAL dy);
// Line type 0-7 (absent or outside: 0).
void IGrLineStyle(std::optional<INTEGER> type = std::nullopt);
// Screen, hardcopy and metafile line thicknesses; each applied only when present and positive.
void IGrLineThickness(std::optional<INTEGER> screen = std::nullopt, std::optional<INTEGER> hardcopy = std::nullopt,
                      std::optional<INTEGER> metafile = std::nullopt);
// Plot mode by letter: "N" normal, "O" OR, "A" AND, "E" exclusive-or (either case); others normal.
void IGrDrawMode(std::optional<std::string_view> letter = std::nullopt);

// Toolkit-internal

void YYPlotModeSet(INTEGER mode = 0);
// A line in user units, clipped and sent.
void YYLineUnits(REAL x1, REAL y1, REAL x2, REAL y2);
// A line in device units, clipped and sent; the caller's values are not changed.
void YYLineDevice(REAL x1, REAL y1, REAL x2, REAL y2);
// Polyline through n points in user units (device units when device is non-zero).
void YYPolylineUnits(const REAL* x, const REAL* y, INTEGER n, INTEGER device);
// Clips a segment in device units to the clip window; visible false when nothing remains.
void YYClipLine(REAL& x1, REAL& y1, REAL& x2, REAL& y2, bool& visible);
bool YYInsideClip(REAL x, REAL y);
// The point lies inside the clip window and inside the segment's bounding box.
bool YYClipTest(REAL px, REAL py, REAL x1, REAL y1, REAL x2, REAL y2);
// x where the line through the points meets y = yEdge (2147480064 when it is horizontal).
REAL YYClipIntersectX(REAL x1, REAL y1, REAL x2, REAL y2, REAL yEdge);
// y where the line meets x = xEdge (2147480064 when it is vertical).
REAL YYClipIntersectY(REAL x1, REAL y1, REAL x2, REAL y2, REAL xEdge);
