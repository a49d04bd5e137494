// The 256-colour default palette and the screen palette taken from it (platform-free).
#pragma once

#include <array>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"

// 256 packed RGB values (red in the low byte), 16 families of 16 shades, index 0 white.
struct DefaultPalette {
    std::array<INTEGER, 256> Entries{};
};

DefaultPalette& defaultPalette();

// Toolkit-internal

// Builds the default palette from its family table.
void YYPaletteDefault();
// The first N entries of the main window's screen palette for a palette slot count of 16, 32,
// 64 or 128, taken from the default palette by index.
std::vector<INTEGER> YYScreenPaletteColours(INTEGER slotCount);
