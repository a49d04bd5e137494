#include "toolkit/devices/PrinterArithmetic.h"

#include <algorithm>
#include <cmath>

namespace {

// The screen-pixel dash patterns of line types 1 to 7.
const std::array<std::vector<std::uint32_t>, 7>& basePatterns()
{
    static const std::array<std::vector<std::uint32_t>, 7> patterns{{
        {1, 4}, {8, 6}, {1, 4, 8, 4}, {1, 4, 1, 4, 8, 4}, {8, 4, 4, 4}, {4, 4}, {8, 4, 4, 4, 4, 4},
    }};
    return patterns;
}

}  // namespace

std::vector<std::uint32_t> YYPrintDashPattern(INTEGER lineType, INTEGER printerResolution, INTEGER screenResolution,
                                              INTEGER penWidth)
{
    if (lineType < 1 || lineType > 7) return {};
    std::vector<std::uint32_t> dashes = basePatterns()[static_cast<std::size_t>(lineType - 1)];
    const auto printer = static_cast<std::uint32_t>(std::max<INTEGER>(printerResolution, 1));
    const auto screen = static_cast<std::uint32_t>(screenResolution > 0 ? screenResolution : 96);
    for (std::size_t k = 0; k < dashes.size(); ++k) {
        // A zero-length segment would make GDI reject the whole style.
        dashes[k] = std::max<std::uint32_t>(dashes[k] * printer / screen, 1);
        if (k % 2 == 1 && penWidth > 1) dashes[k] += static_cast<std::uint32_t>(penWidth - 1);
    }
    return dashes;
}

void YYPrintInvertComponents(INTEGER mode, INTEGER& red, INTEGER& green, INTEGER& blue)
{
    const bool dark = red < 10 && green < 10 && blue < 10;
    const bool light = red > 245 && green > 245 && blue > 245;
    if (mode == 1 || (mode == 2 && (dark || light))) {
        red = 255 - red;
        green = 255 - green;
        blue = 255 - blue;
    }
}

INTEGER YYPrintPenWidthFor(INTEGER tenthsOfPoint, INTEGER resolutionX, INTEGER resolutionY)
{
    const auto pixels = [tenthsOfPoint](INTEGER resolution) {
        const double w = std::trunc(static_cast<double>(tenthsOfPoint) * resolution / 720.0 + 0.5);
        return std::max<INTEGER>(static_cast<INTEGER>(std::clamp(w, -1.0e6, 1.0e6)), 1);
    };
    return (pixels(resolutionX) + pixels(resolutionY) - 2) / 2;
}

bool YYPrinterIsColour(INTEGER colourCount, INTEGER colourCapability)
{
    return colourCount == -1 || colourCount > 2 || colourCapability > 0;
}

INTEGER YYPrintPageOrigin(INTEGER physicalOffset, INTEGER plotOffset, INTEGER resolution)
{
    return physicalOffset - plotOffset * resolution / 72;
}

INTEGER YYPrintPointsToPixels(INTEGER points, INTEGER resolution) { return points * resolution / 72; }

void YYSectorEndNudge(INTEGER xs, INTEGER ys, INTEGER& xe, INTEGER& ye, REAL startDegrees, REAL sweepDegrees)
{
    if (xs != xe || ys != ye || !(std::fabs(sweepDegrees) <= 10.0f)) return;
    // Whole degrees of the start angle, 0 to 359; an angle beyond any integer counts as 0.
    const double whole = std::trunc(static_cast<double>(startDegrees));
    INTEGER a = std::fabs(whole) < 2.0e9 ? static_cast<INTEGER>(std::fmod(whole, 360.0)) : 0;
    if (a < 0) a += 360;
    if (a < 90) { xe -= 1; ye -= 1; }
    else if (a < 180) { xe -= 1; ye += 1; }
    else if (a < 270) { xe += 1; ye += 1; }
    else { xe += 1; ye -= 1; }
}

bool YYPrintEndPixelNeeded(INTEGER gdiStyleSolid, INTEGER firstX, INTEGER firstY, INTEGER lastX, INTEGER lastY,
                           bool polyline)
{
    if (gdiStyleSolid == 0) return false;
    return !polyline || firstX != lastX || firstY != lastY;
}

GradientVertex YYGradientVertex(INTEGER x, INTEGER y, INTEGER rgb)
{
    GradientVertex v;
    v.x = x;
    v.y = y;
    v.red = static_cast<std::uint16_t>((rgb & 255) * 256);
    v.green = static_cast<std::uint16_t>(rgb & 65280);
    v.blue = static_cast<std::uint16_t>(((rgb & 16711680) / 65536) * 256);
    return v;
}

std::vector<std::uint32_t> YYGradientTriangles(const INTEGER* triangles, INTEGER triangleCount, INTEGER vertexCount)
{
    std::vector<std::uint32_t> out;
    if (!triangles || triangleCount <= 0) return out;
    out.reserve(static_cast<std::size_t>(triangleCount) * 3);
    for (INTEGER k = 0; k < 3 * triangleCount; ++k) {
        const INTEGER n = triangles[k];
        // GDI would read outside the vertex array.
        if (n < 1 || n > vertexCount) return {};
        out.push_back(static_cast<std::uint32_t>(n - 1));
    }
    return out;
}

INTEGER YYDibColourTableBytes(INTEGER headerSize, INTEGER bitCount, INTEGER coloursUsed)
{
    if (headerSize == 12) {
        switch (bitCount) {
        case 1: return 6;
        case 4: return 48;
        case 8: return 768;
        default: return 0;
        }
    }
    if (coloursUsed != 0) return 4 * coloursUsed;
    switch (bitCount) {
    case 1: return 8;
    case 4: return 64;
    case 8: return 1024;
    default: return 0;
    }
}

INTEGER YYDibBitCount(INTEGER planes, INTEGER bitsPerPixel)
{
    const INTEGER bits = planes * bitsPerPixel;
    if (bits <= 1) return 1;
    if (bits <= 4) return 4;
    if (bits <= 8) return 8;
    return 24;
}

INTEGER YYDibImageBytes(INTEGER width, INTEGER height, INTEGER bitCount)
{
    return (width * bitCount + 31) / 32 * 4 * height;
}
