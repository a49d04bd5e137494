// Filled shapes: the fill style, the trapezium, triangle and polygon with their fill protocol to
// the drivers, line fills (hatching) and the line emulation of device fills, and the simple
// polygon drawn as triangles (platform-free).
#pragma once

#include <optional>

#include "toolkit/foundation/CoreTypes.h"

enum FillStyleCode : INTEGER { kFillOutline = 0, kFillHatch = 1, kFillCrossHatch = 2, kFillHalftone = 3, kFillSolid = 4 };
enum TrapeziumTypeCode : INTEGER { kTrapeziumVertical = 1, kTrapeziumHorizontal = 2 };

// What a hardcopy driver tells the fill emulation: the line spacing of an emulated solid or
// half-tone fill in its device units, and its colour count.
struct HardcopyFillState {
    REAL HardcopyFillSpacing = 1.0f;
    INTEGER HardcopyColours = 256;
};

HardcopyFillState& hardcopyFillState();

// Fill style -2..4 with hatch density 1-5 (default 2) and direction 1-4 (default 3).
void IGrFillStyle(INTEGER style, std::optional<INTEGER> density = std::nullopt,
                  std::optional<INTEGER> direction = std::nullopt);
// Trapezium with both parallel sides of length w (type 1 vertical sides, 2 horizontal).
void IGrTrapezium(REAL x1, REAL y1, REAL x2, REAL y2, REAL w, INTEGER type);
void IGrTrapeziumWidths(REAL x1, REAL y1, REAL x2, REAL y2, REAL w1, REAL w2, INTEGER type);
void IGrTrapeziumRelative(REAL dx, REAL dy, REAL w, INTEGER type);
void IGrTrapeziumRelativeWidths(REAL dx, REAL dy, REAL w1, REAL w2, INTEGER type);
void IGrTriangle(REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3);
void IGrTriangleRelative(REAL dx1, REAL dy1, REAL dx2, REAL dy2);
// A simple polygon filled as triangles.
void IGrPolygonDecomposed(const REAL* x, const REAL* y, INTEGER n);

// Toolkit-internal

// Filled polygon of n points, in device units when device is non-zero.
void YYPLYGON(const REAL* x, const REAL* y, INTEGER n, INTEGER device);
// Hatch spacing of one layer (1 current drawable, 2 hardcopy) for a density.
void YYHatchSpacing(INTEGER layer, INTEGER density, REAL& stepX, REAL& stepY, INTEGER& gridX, INTEGER& gridY,
                    REAL& inset, bool& serpentine);
// The half-tone code becomes the solid code when both colours fall on one device colour.
void YYHalftoneOp(INTEGER solid, INTEGER& code);
// The colour switch of the second pass of a half-tone drawn by lines (pass 1 -> 2 -> 3).
void YYHalftoneColours(INTEGER layer, INTEGER& pass);
void YYSwapReal(REAL& a, REAL& b);
