// The HP-GL plotter driver: hardcopy device 1 writes one HP-GL instruction per line for the ten
// plotter types in their four variants (generic, Epson, Facit, HP), which differ in the fills the
// plotter draws itself. Device points map onto plotter user units 0 to 32760 on both axes
// ("SC0 32760 0 32760"); every temporary scaling ends by restoring it (platform-free).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

// One plotter type: name, variant letter, plotter units per inch, x offset, x and y extent in
// plotter units, pens.
struct HpglPlotterEntry {
    std::string_view Name;
    char Letter;
    INTEGER UnitsPerInch, XOffset, XExtent, YExtent, Pens;
};

// Types 1 to 10 (index 0 unused).
extern const std::array<HpglPlotterEntry, 11> HpglPlotterTable;

// The variant: the letter's position in "UEFH".
enum PlotterVariantCode : INTEGER { kPlotterGeneric = 1, kPlotterEpson = 2, kPlotterFacit = 3, kPlotterHp = 4 };

struct HpglDriverState {
    REAL UnitsPerPoint = 1016.0f / 72.0f;
    INTEGER Variant = kPlotterGeneric;
    INTEGER NativeFillMask = 0;
    INTEGER P1X = 0, P1Y = 0, P2X = 0, P2Y = 0;
    // The selected pen's digit; blank while none is selected.
    char CurrentPen = ' ';
    // Set at a page end: the next drawing selects the current pen again.
    LOGICAL PenReselect = kFalse;
    // Whether the fill in progress is drawn by the plotter (from its first call to its closing one).
    LOGICAL NativeFill = kFalse;
    REAL LastFillThickness = -1.0f;
    INTEGER LastFontMode = 0, LastStyleBits = -1;
    LOGICAL TextSizeChanged = kTrue;
    char LabelTerminator = '\x04';
    // The pattern of line type 1 (the Facit plotters dash it differently).
    std::string LineType1 = "1 .3";
};

HpglDriverState& hpglDriverState();

// Toolkit-internal

// The driver of device 1 (see DriverProtocol.h).
void XXHPGL(INTEGER op);

// What the HP-GL/2 driver shares with this one. The device extents of the graphics layer (the
// drawable less 0.01).
REAL YYHpglDeviceXExtent();
REAL YYHpglDeviceYExtent();
// XScale and YScale: 32760 over the device extents.
void YYHpglScales();
// P1 and P2 from options 1 to 4, then "IN; IP" and the rotation line; turned says whether the
// plotter's axes turn by 90 degrees.
void YYHpglPageLines(REAL unitsPerPoint, bool turned, INTEGER& p1x, INTEGER& p1y, INTEGER& p2x, INTEGER& p2y);
// The ellipse of OpEllipseFill with its temporary scaling; native adds "PM0" and "PM2;FP".
void YYHpglEllipse(bool native);
// The wedge ("WG" when sector, else "EW") or the arc form of OpSectorFill and OpArc; in the wedge
// form afterPenUp runs right after the pen moves to the centre.
void YYHpglWedgeOrArc(bool sector, void (*afterPenUp)() = nullptr);
// "IW" to the clip rectangle of the graphics layer, between "SC" and the restored scaling.
void YYHpglClipWindow(REAL unitsPerPoint, INTEGER p1x, INTEGER p1y, INTEGER p2x, INTEGER p2y);
// Where a label starts: the anchor moved along and across the text direction by the font mode's
// offsets.
void YYHpglLabelStart(REAL& x, REAL& y);
// "PU" to the first point unless the pen is there, "PD" to the second; the pen stays there.
void YYHpglLineTo(REAL x1, REAL y1, REAL x2, REAL y2);
// The character width and height the graphics layer asks for, in device units, and the page's width and height in device units turned with the page.
void YYHpglTextSizes(REAL& w, REAL& h, REAL& orientedWidth, REAL& orientedHeight);
// The line width of option 9 (tenths of a point) in millimetres.
REAL YYHpglPenWidth();
