// Placement of the current window and the facts WInfoWindowQuery reports about it.
#pragma once

#include "toolkit/foundation/CoreTypes.h"

// Moves, sizes (drawing-client size) and shows the current window; -999999 and state -1 keep what is there.
void WindowMoveResize(INTEGER width = -999999, INTEGER height = -999999, INTEGER x = -999999, INTEGER y = -999999,
                      INTEGER state = -1);
INTEGER WInfoWindowQuery(INTEGER code);

// Toolkit-internal

void YYWindowChangePlacement(INTEGER x, INTEGER y, INTEGER& width, INTEGER& height, INTEGER state);
void YYWindowPlacement(INTEGER selector, INTEGER& x, INTEGER& y, INTEGER& inside, INTEGER& parent);
void YYClientScreenOrigin(INTEGER& x, INTEGER& y);
void YYWindowShowState(INTEGER& state);
void YYWindowGeometry(INTEGER& clientWidth, INTEGER& clientHeight, INTEGER& x, INTEGER& y, INTEGER& inside,
                      INTEGER& parent);
void YYWindowKindOfCurrent(INTEGER& kind);
// 0 no current dialog, 1 top-level, 2 inside a window, 3 inside another dialog, 4 laying out a window.
void YYCurrentDialogKind(INTEGER& kind);
void YYClientOriginOnScreen(INTEGER window, INTEGER unused1, INTEGER unused2, INTEGER& x, INTEGER& y);
void YYWindowExists(INTEGER window, INTEGER& answer);
void YYSystemColour(INTEGER index, INTEGER& colour);
void YYSystemMetric(INTEGER& value);
