// Polygons whose vertices carry their own colours, filled with interpolated colours through a
// driver's pixel and gradient routines, and the decomposition of a simple polygon into
// triangles (platform-free).
#pragma once

#include <array>

#include "toolkit/foundation/CoreTypes.h"

struct ShadedPolygonBlock {
    static constexpr INTEGER kMaxVertices = 1000;
    INTEGER VertexCount = 0;
    std::array<INTEGER, kMaxVertices> PixelX{}, PixelY{}, VertexColour{};
    INTEGER TriangleCount = 0;
    std::array<INTEGER, 3 * (kMaxVertices - 2)> Triangles{};  // 1-based vertex numbers, 3 per triangle
};

ShadedPolygonBlock& shadedPolygonBlock();

// A driver's routine that sets one pixel to a packed RGB colour.
using ShadePixelRoutine = void (*)(INTEGER x, INTEGER y, INTEGER rgb);
// A driver's routine that fills coloured triangles in one call; status 0 when done.
using ShadeGradientRoutine = void (*)(const INTEGER* xs, const INTEGER* ys, const INTEGER* colours,
                                      const INTEGER* triangles, INTEGER n, INTEGER m, INTEGER& status);

// A driver's mapping of one coordinate of the driver parameter block to its own grid.
using ShadeCoordinateRoutine = INTEGER (*)(REAL v);

// Toolkit-internal

// Sets the block's corners in the driver's grid from the polygon of the driver parameter block,
// keeping no more corners than the polygon has. Every driver calls it before the fill: the
// corners left by another device are in that device's grid.
void YYShadedPolygonPixels(ShadeCoordinateRoutine toX, ShadeCoordinateRoutine toY);

// Fills the polygon of the block within the clip rectangle (pixel grid of the driver, inclusive);
// level 2 tries the gradient routine first.
void YYShadedPolygonFill(INTEGER level, INTEGER xmin, INTEGER ymin, INTEGER xmax, INTEGER ymax, ShadePixelRoutine pixel,
                         ShadeGradientRoutine gradient);
// One triangle of the block (1-based vertex numbers) pixel by pixel.
void YYShadedTriangle(INTEGER a, INTEGER b, INTEGER c, INTEGER xmin, INTEGER ymin, INTEGER xmax, INTEGER ymax,
                      ShadePixelRoutine pixel);
// Ear-clipping triangulation of a simple polygon: at most n - 2 triangles of 1-based vertex
// numbers; count 0 for n <= 2; error 28 when the outline crosses itself.
void YYPolygonDecompose(const REAL* x, const REAL* y, INTEGER n, INTEGER* triangles, INTEGER& count);
