// Stand-in for the utility library's frame mapping, curves, clipping and zoom until that part of
// the library is in this branch: the declarations as the library gives them.
#pragma once

#include "WBRVLib/GraphFrame.h"
#include "toolkit/foundation/CoreTypes.h"

REAL PLOFX(REAL x, const GraphFrameRecord& frame);
REAL PLOFY(REAL y, const GraphFrameRecord& frame);
REAL XOFPL(REAL px, const GraphFrameRecord& frame);
REAL YOFPL(REAL py, const GraphFrameRecord& frame);
LOGICAL PCLIP(REAL xLow, REAL xHigh, REAL yLow, REAL yHigh);
void GNPLOT(const REAL* x, const REAL* y, INTEGER n, LOGICAL symbols, GraphFrameRecord& frame);
void DS_PLOT(const REAL* x, const REAL* y, INTEGER n, REAL dash, REAL gap, GraphFrameRecord& frame);
void ZOOMBOX(INTEGER ix1, INTEGER iy1, INTEGER ix2, INTEGER iy2, GraphFrameRecord& frame);
