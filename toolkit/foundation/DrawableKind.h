// The kinds of drawing target: the window engine names them when it sets cursors and converts event
// positions, the graphics layer when it selects a drawable (platform-free).
#pragma once

#include "toolkit/foundation/CoreTypes.h"

enum DrawableKind : INTEGER { kDrawableWindow = 1, kDrawableBitmap = 2, kDrawableDialogField = 3, kDrawablePicture = 4 };
