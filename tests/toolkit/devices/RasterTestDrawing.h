// The test drawing of the bit-image files and the page benchmark: lines of every line type in
// several pens and colours, scan-converted triangles and quadrilaterals, a two-colour fill, row
// fills as the graphics layer sends them for polygons, points and a polyline, over the whole page.
#pragma once

#include <cmath>
#include <vector>

#include "tests/toolkit/devices/RasterFixture.h"

namespace raster_test {

// Draws into the current job; w and h are the drawable's size (device units).
inline void drawTestPage(REAL w, REAL h)
{
    const REAL right = w - 0.01f, top = h - 0.01f;
    const bool rgbPage = rasterPageBlock().PixelMode == kRasterRgb;
    const auto colour = [rgbPage](INTEGER index, INTEGER rgb) {
        if (rgbPage) RasterJob::rgb(rgb);
        else RasterJob::colour(index);
    };
    // A frame and diagonals.
    colour(223, 0x000000);
    RasterJob::polyline({0, right, right, 0, 0}, {0, 0, top, top, 0});
    RasterJob::line(0, 0, right, top);
    RasterJob::line(0, top, right, 0);
    // Fills in several colours; one two-colour fill.
    colour(16 * 2 + 4, 0x2040E0);
    RasterJob::fill(OpTriangleFill, 4, {0.05f * w, 0.1f * h, 0.45f * w, 0.2f * h, 0.2f * w, 0.6f * h});
    colour(16 * 7 + 2, 0x10C020);
    RasterJob::fill(OpQuadFill, 4, {0.55f * w, 0.1f * h, 0.95f * w, 0.1f * h, 0.85f * w, 0.4f * h, 0.6f * w, 0.4f * h}, 2);
    colour(16 * 12 + 6, 0xE0A030);
    RasterJob::fill(OpQuadFill, 4, {0.1f * w, 0.65f * h, 0.4f * w, 0.75f * h, 0.4f * w, 0.9f * h, 0.1f * w, 0.8f * h}, 1);
    colour(16 * 4, 0xFF00FF);
    RasterJob::fill(OpRectangleFill, 3, {0.5f * w, 0.5f * h, 0.7f * w, 0.7f * h});
    colour(16 * 9 + 1, 0x90F0F0);
    RasterJob::rowFill(4, static_cast<INTEGER>(0.75f * w), static_cast<INTEGER>(0.5f * h), static_cast<INTEGER>(0.95f * w),
                       static_cast<INTEGER>(0.9f * h));
    // Lines of every type and several pens.
    for (INTEGER type = 0; type < 8; ++type) {
        colour(16 * type + 8, 0x101010 * (type + 4));
        RasterJob::lineType(type);
        RasterJob::penWidth(5 + 10 * (type % 3));
        const REAL y = (0.45f + 0.05f * static_cast<REAL>(type)) * h;
        RasterJob::line(0.02f * w, y, 0.48f * w, y + 0.03f * h);
        RasterJob::line(0.3f * w + static_cast<REAL>(type) * 0.02f * w, 0.05f * h, 0.32f * w + static_cast<REAL>(type) * 0.02f * w,
                        0.95f * h);
    }
    RasterJob::lineType(0);
    RasterJob::penWidth(5);
    // A spiral polyline and a row of points.
    colour(16 * 14 + 3, 0x604020);
    std::vector<REAL> xs, ys;
    for (INTEGER k = 0; k < 60; ++k) {
        const REAL angle = 0.3f * static_cast<REAL>(k), radius = 0.004f * static_cast<REAL>(k) * std::min(w, h);
        xs.push_back(0.8f * w + radius * std::cos(angle));
        ys.push_back(0.25f * h + radius * std::sin(angle));
    }
    RasterJob::polyline(xs, ys);
    for (INTEGER k = 0; k < 20; ++k) RasterJob::point((0.05f + 0.045f * static_cast<REAL>(k)) * w, 0.97f * h);
}

}  // namespace raster_test
