// The arithmetic of grid printing, free of the platform: margin units, the page geometry in
// points, the printable rectangle and how many rows a page holds.
#pragma once

#include "toolkit/foundation/CoreTypes.h"

// Margin units of a page set-up: thousandths of an inch or hundredths of a millimetre.
enum GridMarginUnits : INTEGER { kMarginInches = 4, kMarginMillimetres = 8 };

struct GridPageMargins {
    INTEGER units = kMarginInches;
    INTEGER left = 1000, top = 1000, right = 1000, bottom = 1000;
    INTEGER paperWidth = 8500, paperHeight = 11000;
    INTEGER landscape = 0;
};

// Units per inch of the margin units (1000 or 2540).
INTEGER YYGridUnitsPerInch(INTEGER units);
// A length converted between margin units, rounded to the nearest unit, so that a switch there
// and back gives the length it started from.
INTEGER YYGridConvertMargin(INTEGER value, INTEGER fromUnits, INTEGER toUnits);
// Converts the margins and the paper size to the new units.
void YYGridMarginsToUnits(GridPageMargins& page, INTEGER units);
// Page geometry in points: code 1 right margin - left margin, 2 bottom - top, 3 left, 4 top,
// 5 1 for landscape; any other code 0.
INTEGER YYGridPageGet(const GridPageMargins& page, INTEGER code);
// Sets one of the page values (codes as above, in points); code 5 takes orientations 0 to 3.
void YYGridPageSet(GridPageMargins& page, INTEGER code, INTEGER points);
// Rows that fit a page of the height at the row height, one fewer under a header row; a page
// always holds at least one row.
INTEGER YYGridRowsPerPage(INTEGER pageHeight, INTEGER rowHeight, bool headerRow);
