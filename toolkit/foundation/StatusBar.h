// The status bar of a window: parts laid out in window units, texts written into parts.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

enum StatusBorderCode : INTEGER { kStatusNoBorder = 0, kStatusSunken = 1, kStatusRaised = 2 };

// Lays out n parts of the current window's bar; widths in window units, -1 for the part that takes the rest.
void WStatusBarLayout(INTEGER n, std::span<const INTEGER> widths,
                      std::optional<std::span<const INTEGER>> styles = std::nullopt);
// Writes a text (trailing blanks dropped) into part 1 to 255 of the current window's bar.
void WStatusBarText(INTEGER part, std::string_view text);

// Toolkit-internal

void YYStatusPartStore(INTEGER part, INTEGER widthPixels, INTEGER borderStyle);
void YYStatusPartsApply(INTEGER n);
void YYStatusPartEdges(INTEGER window, INTEGER n);
void YYStatusPartText(INTEGER part, const char* text);
