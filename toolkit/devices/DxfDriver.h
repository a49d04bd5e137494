// The DXF driver: hardcopy device 8 writes one ASCII drawing exchange file per job, a header with
// the page's extents, tables of line types, one text style and nine layers, and one entity per
// drawing operation on layer "1", in inches from the page's lower left corner. Colours are colour
// index numbers, or packed RGB values in 24-bit mode (platform-free).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

// One line type of the table: name, pattern length and dash elements (inches; a negative element
// is a gap).
struct DxfLineTypeEntry {
    std::string_view Name;
    std::string_view Description;
    std::string_view Length;
    std::array<std::string_view, 6> Elements;
    INTEGER ElementCount;
};

// Line types 1 to 7 (index 0, solid, unused).
extern const std::array<DxfLineTypeEntry, 8> DxfLineTypeTable;

// The colours of the 256 colour index numbers, packed RGB with red in the low byte.
const std::array<INTEGER, 256>& aciColourTable();

struct DxfDriverState {
    // The colour value of the current colour: an index 1-255 or, in 24-bit mode, a packed RGB
    // value with red in the high byte (-1 for black and white, written as their index only).
    INTEGER ColourValue = 7;
    // The colour index of the current colour (in 24-bit mode the nearest one, written beside it).
    INTEGER IndexValue = 7;
    // The last RGB value given to the nearest-index search and its answer (-1: none yet).
    INTEGER LastRgb = -1;
    INTEGER LastIndex = 7;
};

DxfDriverState& dxfDriverState();

// Toolkit-internal

// The driver of device 8 (see DriverProtocol.h).
void XXDXF(INTEGER op);
// One group: the code line and the value line.
void YYDxfGroup(std::string_view code, std::string_view value);
// Group 0 with the name, layer "1" and the colour: group 62, and in 24-bit mode group 420 after it.
void YYDxfEntity(std::string_view name);
// A REAL in (F15.6) from its first non-blank character, trailing zeros removed ("2.5", "10.").
void YYDxfReal(INTEGER code, REAL value);
// An INTEGER in (I8) from its first non-blank character.
void YYDxfInteger(INTEGER code, INTEGER value);
// A device point in inches: the x code with XScale times x, the y code with YScale times y.
void YYDxfPoint(INTEGER xCode, INTEGER yCode, REAL x, REAL y);
// The colour index 1-255 nearest to a packed RGB value in the colour cone; an exact match gives
// the smallest index of that colour. Black is 7, as white is: the index a viewer draws in the
// colour that stands out against its background.
INTEGER YYDxfColourIndex(INTEGER rgb);
// The packed RGB value of colour index n (0-255; black outside).
INTEGER YYDxfAciRgb(INTEGER n);
// The value text of YYDxfReal.
std::string YYDxfRealText(REAL value);
