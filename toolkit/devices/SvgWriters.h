// The small writers of the SVG driver: colours as six hexadecimal digits (also the pixels of
// PostScript images), the short number text of SVG coordinates, and the path of an elliptic arc
// or sector (platform-free).
#pragma once

#include <string>

#include "toolkit/foundation/CoreTypes.h"

// Toolkit-internal

// Characters 1-6 of text := the three bytes 0-255 as lower-case hexadecimal (255, 128, 0 gives
// ff8000); a shorter text is lengthened to 6.
void YYHexColour(INTEGER red, INTEGER green, INTEGER blue, std::string& text);
// Writes the value with (F8.2) into the work field (8 characters when shorter) and gives the
// 1-based bounds of the number in it, trailing zeros of the decimals dropped but the point kept:
// 12. for 12.00, 12.5 for 12.50, 12.25 as it is. Too wide: eight asterisks.
void YYSvgNumber(REAL value, std::string& text, INTEGER& first, INTEGER& last);
// The number as the document carries it: characters first to last of YYSvgNumber, without a
// final point (12 for 12., 12.5 as it is).
std::string YYSvgNumberText(REAL value);
// One path element for OpSectorFill (filled in the open fill group) or OpArc (outlined in the
// stroke group, as a pie unless fill style 0 and hatch density above 2) from the parameter block.
void YYSvgPath(INTEGER op);
