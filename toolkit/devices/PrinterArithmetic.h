// The arithmetic of printing on a Windows printer that needs no Windows: dash patterns at the
// printer's resolution, the inverted-colour rule, the pen width from option 9, whether a colour
// count means colour, the page origin of a plot, the one-pixel move of a degenerate sector, the
// vertices handed to a gradient fill and the size of a DIB's colour table (platform-free).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"

// The dash pattern of line type 1 to 7 (segment on, gap, ...) at the printer's x resolution,
// scaled from the screen's (unsigned division); a pen wider than one pixel lengthens every dash
// by its square ends, so every gap grows by width - 1. Line type 0 and unknown types: empty.
std::vector<std::uint32_t> YYPrintDashPattern(INTEGER lineType, INTEGER printerResolution, INTEGER screenResolution,
                                              INTEGER penWidth);

// Option 6: 0 keeps the colour, 1 inverts every component, 2 exchanges only near-black and
// near-white (all components below 10, or all above 245).
void YYPrintInvertComponents(INTEGER mode, INTEGER& red, INTEGER& green, INTEGER& blue);

// The GDI pen width for option 9 (tenths of a point) at the printer's resolutions: the two pixel
// widths (each at least 1), averaged less one pixel.
INTEGER YYPrintPenWidthFor(INTEGER tenthsOfPoint, INTEGER resolutionX, INTEGER resolutionY);

// Whether a printer prints in colour: NUMCOLORS is -1 on devices of more than 8 bits per pixel,
// so -1 and anything above 2 are colour; 0 to 2 are colour only when the printer's own colour
// capability says so (colourCapability > 0).
bool YYPrinterIsColour(INTEGER colourCount, INTEGER colourCapability = 0);

// Printer pixel (0, 0) of a plot: the physical offset less the plot offset (points) at the
// resolution; and a length in points as printer pixels (integer divisions).
INTEGER YYPrintPageOrigin(INTEGER physicalOffset, INTEGER plotOffset, INTEGER resolution);
INTEGER YYPrintPointsToPixels(INTEGER points, INTEGER resolution);

// A sector whose start and end land on one printer pixel would be drawn as a whole ellipse:
// when |sweep| is at most 10 degrees the end point moves one pixel by the start angle's quadrant.
void YYSectorEndNudge(INTEGER xs, INTEGER ys, INTEGER& xe, INTEGER& ye, REAL startDegrees, REAL sweepDegrees);

// Whether a line's end pixel must be set by hand: GDI leaves it out, but only solid lines are
// drawn to it, and a closed polyline already has it.
bool YYPrintEndPixelNeeded(INTEGER gdiStyleSolid, INTEGER firstX, INTEGER firstY, INTEGER lastX, INTEGER lastY,
                           bool polyline);

// One vertex of a gradient fill: the colour as 16-bit components of a packed RGB value.
struct GradientVertex {
    INTEGER x = 0, y = 0;
    std::uint16_t red = 0, green = 0, blue = 0, alpha = 0;
};
GradientVertex YYGradientVertex(INTEGER x, INTEGER y, INTEGER rgb);
// The triangles' vertex numbers counted from 0 (the shaded fill counts from 1); a number outside
// 1..vertexCount makes the whole set unusable (empty result).
std::vector<std::uint32_t> YYGradientTriangles(const INTEGER* triangles, INTEGER triangleCount, INTEGER vertexCount);

// The bytes of the colour table after a DIB header: a BITMAPINFOHEADER (size other than 12) has
// 4 bytes per used colour, else 2, 16 or 256 entries for 1, 4 and 8 bits; a BITMAPCOREHEADER
// (size 12) 3 bytes per entry.
INTEGER YYDibColourTableBytes(INTEGER headerSize, INTEGER bitCount, INTEGER coloursUsed);
// The DIB bit count for a bitmap of planes * bits per pixel: 1, 4, 8 or 24.
INTEGER YYDibBitCount(INTEGER planes, INTEGER bitsPerPixel);
// Bytes of the pixel rows of a DIB, each padded to 4 bytes.
INTEGER YYDibImageBytes(INTEGER width, INTEGER height, INTEGER bitCount);
