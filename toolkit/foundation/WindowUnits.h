// Window units: positions and sizes given to window routines run from 0 to 9999 across a client
// area, whatever its pixel size (platform-free).
#pragma once

#include "toolkit/foundation/CoreTypes.h"

// "Unchanged" for every position and size argument; for a new window's position: centred.
inline constexpr INTEGER kUnchanged = -999999;

// Pixel to window units: truncate((p + 0.5) x 9999 / size); a client below 2 pixels gives 0.
constexpr INTEGER pixelToWindowUnits(INTEGER pixel, INTEGER size)
{
    if (size < 2) return 0;
    return static_cast<INTEGER>((static_cast<double>(pixel) + 0.5) * 9999.0 / static_cast<double>(size));
}

// Window units to pixel: u x (size - 1) / 9999 in integer arithmetic, wide enough not to overflow.
constexpr INTEGER windowUnitsToPixel(INTEGER units, INTEGER size)
{
    if (size < 1) return 0;  // no client yet: nothing to measure against
    return static_cast<INTEGER>(static_cast<long long>(units) * (size - 1) / 9999);
}
