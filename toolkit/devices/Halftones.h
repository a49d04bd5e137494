// Halftone cells, the 8 by 4 dot patterns that stand for a colour on devices with one to three
// bit-planes: the one rule that places a cell's dots, the cells of the current colour (the raster
// renderer's fills, the HP-GL/2 raster fill patterns), the cells of 4096 quantised colours built
// once per job, and the dither of single RGB pixels into the raster page (images and
// colour-interpolated polygons) (platform-free).
//
// A cell is one 32-bit word: bit 8 r + c is the dot in cell row r (0-3) and column c (0-7); page
// pixel (x, y) uses bit 8 (y mod 4) + (x mod 8). A set bit is a dot of the plane's colour
// component, or a printed dot on a one-bit page.
#pragma once

#include <array>
#include <cstdint>

#include "toolkit/foundation/CoreTypes.h"

// The cells of every quantised colour: entry 256 (b / 16) + 16 (g / 16) + r / 16, one table per
// plane (0 red, 1 green, 2 blue).
struct HalftoneTables {
    std::array<std::array<std::uint32_t, 4096>, 3> Cells{};
};

HalftoneTables& halftoneTables();

// The sixteen one-bit dither cells: index = colour bits (red 1, green 2, blue 4), plus 8 for a
// bright colour.
inline constexpr std::array<std::uint32_t, 16> MonoDitherPatterns{
    0xFFFFFFFF, 0xBFBFF7F7, 0x73CE7CC7, 0xC6EC3373, 0xE7EF7E7F, 0x7377EE67, 0x676EE676, 0x311148C8,
    0xEDED7777, 0xECEC3776, 0x6643CCC8, 0x64641313, 0x3C669999, 0xC663366C, 0x32668CCC, 0x00000000};

// Toolkit-internal

// The cell of a fraction 0 to about 1 of 32 dots, placed with offset 2, 3 or 4 (the planes use
// different offsets so that their dots do not all fall together).
std::uint32_t YYHalftoneCell(REAL fraction, INTEGER offset);
// The cells of the current colour for a printer colour kind (2: the planes hold ink, so colours
// are complemented on devices of more than two colours). On a two-colour device all three are the
// complement of the grey's cell, so darker colours print more dots.
void YYHalftonePattern(INTEGER kind, std::uint32_t& cell0, std::uint32_t& cell1, std::uint32_t& cell2);
// Fills the three tables (no colour inversion here).
void YYHalftoneTables();
// Stores one pixel of the page from a packed RGB colour: dithered through the tables on bit and
// three-plane pages, the nearest palette entry on palette pages, the colour itself on RGB pages.
// Has the form of the pixel routine of the shaded-polygon fill.
void YYRasterDitherPixel(INTEGER x, INTEGER y, INTEGER rgb);
// Forgets the nearest palette entry remembered for the last colour (the palette may have changed).
void YYRasterDitherCacheReset();
