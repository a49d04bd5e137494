// Grid lines of the suite display's graphs (platform-free).
#pragma once

#include "Quorvalent/plotRho.h"
#include "toolkit/foundation/CoreTypes.h"

// Grid lines inside each of the first `count` frames: with major set, a line in pen KGRID on every
// inner step boundary and, when a minor pen is above 0, minor lines in that pen inside each step
// (at log10(2..9) of a decade, or at the minor divisions of a linear step); without major, none.
// With reference, a line in pen 11 at x = 1 and, on a logarithmic y axis, at y = 10.
void DRAWGRID(GraphFramePair& frames, LOGICAL major, INTEGER minorPenX, INTEGER minorPenY, LOGICAL reference,
              INTEGER count);
