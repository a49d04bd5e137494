// Text drawing: a text at a user-unit position in the current font, as device text through the
// drivers of both layers or as stroke glyphs, with whole-character clipping, the box behind the
// text, the underline, and stroke substitution where a device cannot draw the text
// (platform-free).
#pragma once

#include <optional>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/graphics/StrokeFonts.h"

// Draws text with its reference point at (x, y) in user units (absent: the current point) in the
// current colour, and moves the current point past it.
void IGrTextDraw(std::optional<REAL> x, std::optional<REAL> y, std::string_view text);

// Toolkit-internal

// True when layer (0 current drawable, 1 hardcopy) must get stroke text for characters of
// width x height device units.
bool YYUseStrokeText(INTEGER layer, REAL width, REAL height);
// Fills the box behind a text in the previous colour; (x, y) is the text's start point (stacked:
// its column reference); the flags say which layers get the box.
void YYTextDecoration(REAL x, REAL y, std::string_view text, INTEGER count, INTEGER mode, INTEGER drawableFlag,
                      INTEGER hardcopyFlag);
// Odd action: keeps a copy of the installed stroke set; even: puts the copy back.
void YYStrokeFontSwap(INTEGER action);
// The stroke-text geometry of the text attributes as they stand.
StrokeTextGeometry YYStrokeTextGeometry();
