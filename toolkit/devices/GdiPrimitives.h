// What the two GDI drivers (the Windows printer, device 10, and the Windows metafile, device 11)
// do alike around their GDI calls: device coordinates as page units (y running down the page),
// the point buffer of polygons and polylines, the end points of sectors and arcs, the shaded
// polygon's vertices, the font size, the clip rectangle, the text measure's answer and the
// capabilities they state at OpInit; and below them, the gradient mesh both draw shaded polygons with.
#pragma once

#include <string_view>

#include "toolkit/devices/DriverSetup.h"
#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

// Toolkit-internal

// A device point and a length as page units, by the hardcopy scales, y from the drawable's top down.
INTEGER YYGdiX(REAL x);
INTEGER YYGdiY(REAL y);
INTEGER YYGdiXLength(REAL length);
INTEGER YYGdiYLength(REAL length);
// The point buffer with the first n corners of the parameter block (n at most 4).
void YYGdiCornerPoints(INTEGER n);
// The point buffer with the first n polygon points, at most the arrays' length; the count used.
INTEGER YYGdiPolygonPoints(INTEGER n);
// The start and end points of a sector or arc on the page, the end moved one unit where the two
// met (YYSectorEndNudge); true when they met.
bool YYGdiSectorPoints(INTEGER& xs, INTEGER& ys, INTEGER& xe, INTEGER& ye);
// The font size of the text state in page units and the style to draw it with: a fixed-pitch
// face stands in narrower and lower, and the one-character-at-a-time spacing draws no underline.
void YYGdiFontSize(REAL& width, REAL& height, INTEGER& style);
// The clip rectangle on the page, its right and bottom edges taken outwards.
void YYGdiPageClip(INTEGER& left, INTEGER& top, INTEGER& right, INTEGER& bottom);
// The text OpTextWidth measures (Value characters of the work buffer, at most 260), and its answer:
// the measured page width back in device units.
std::string_view YYGdiTextToMeasure();
void YYGdiTextWidthAnswer(INTEGER width);
// The capabilities both drivers state: eight line types, any text angle, true colour, shaded
// fills as far as the system's gradient fill goes, text sent whole.
DeviceCapabilityEntry YYGdiCapabilities();
// The shaded polygon's triangles as one gradient fill on the device context, through the system's
// gradient routine where it has one: 0 when drawn, 1 when not (no context, no routine, nothing to
// fill, a vertex number out of range, or the call failed).
INTEGER YYGdiGradientMesh(HDC dc, const INTEGER* xs, const INTEGER* ys, const INTEGER* colours,
                          const INTEGER* triangles, INTEGER n, INTEGER m);
