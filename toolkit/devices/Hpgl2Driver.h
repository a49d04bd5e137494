// The HP-GL/2 driver: hardcopy device 12 writes HP-GL/2 for five device types, inside a PCL job
// for the page printers or directly for the large-format plotter. Scaling, clipping, circles,
// wedges and label starts are those of the HP-GL driver; HP-GL/2 adds a pen palette defined
// colour by colour, raster fill patterns from the halftone cells, line ends and joins, compact
// polylines ("PE"), scalable fonts, label origins and comments (platform-free).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

// One device type: name, dots per inch, x and y extent in plotter units (1016 per inch), pens.
struct Hpgl2DeviceEntry {
    std::string_view Name;
    INTEGER Resolution, XExtent, YExtent, Pens;
};

// Types 1 to 5 (index 0 unused).
extern const std::array<Hpgl2DeviceEntry, 6> Hpgl2DeviceTable;

struct Hpgl2DriverState {
    REAL WidthFactor = 1.2f;
    char FontLetter = 'A';
    // Pens as three characters: the number in (I3), or "0" / "1" and two blanks on two-pen devices.
    std::string CurrentPen = "   ";
    std::string FillPen = "   ";
    // -1 none, 1 solid raster fill, 2 mixed raster fill.
    INTEGER FillType = -1;
    INTEGER LastSolidPatternColour = -1;
    INTEGER LastMixedPrevious = -1, LastMixedCurrent = -1;
    // '1' where the pen's colour has been sent with "PC".
    std::string PenDefined = std::string(256, ' ');
    INTEGER LastFontVariant = -1, LastStyleBits = -1, LastFontMode = 0, LastLabelOrigin = -1;
    LOGICAL TextSizeChanged = kTrue;
    char LabelTerminator = '\x04';
    INTEGER P1X = 0, P1Y = 0, P2X = 0, P2Y = 0;
};

Hpgl2DriverState& hpgl2DriverState();

// Toolkit-internal

// The driver of device 12 (see DriverProtocol.h).
void XXHPGL2(INTEGER op);
// Points 1 to Count of the polygon arrays as "PE" lines: relative steps in whole plotter units,
// seven-bit base-32 digits.
void YYHpgl2Encode();
// The 8 x 4 raster pattern of a halftone cell, set where the cell's dot is clear, as two lines.
void YYHpgl2RasterFill(std::uint32_t pattern);
// "PC" for one pen, after the colour inversion of option 6.
void YYHpgl2PenColour(INTEGER pen, INTEGER red, INTEGER green, INTEGER blue);
// One line as it is (after one blank in record mode 1).
void YYHpgl2Token(std::string_view text);
