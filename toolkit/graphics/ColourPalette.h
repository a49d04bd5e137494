// Colours of the graphics layer: the 256-colour default palette, the slot colours of devices
// with fewer colours, the device slot of a palette index, the nearest palette entry of an RGB
// value, the current colour pair, colours by name and by hue, lightness and saturation
// (platform-free).
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"

// 256 packed RGB values (red in the low byte), 16 families of 16 shades, index 0 white, together
// with the tables kept in step with it.
struct DefaultPalette {
    std::array<INTEGER, 256> Entries{};
    std::array<INTEGER, 8> SlotColourTable8{};
    std::array<INTEGER, 16> SlotColourTable16{};
    std::array<INTEGER, 128> SlotColourTableN{};
    // Every entry's point in the HSV cone, for the nearest-colour search.
    std::array<REAL, 256> ConeX{}, ConeY{}, ConeZ{};
};

DefaultPalette& defaultPalette();

enum ColourModelCode : INTEGER { kPaletteMode = 1, kRgbMode = 2 };

// Makes colour number n current (error 42 in palette mode outside 0..255).
void IGrColourN(INTEGER n);
// Current colour by name: black, blue, green, cyan, red, magenta, yellow, white, with a leading
// "B" for the bright shade (error 42 for an unknown name).
void IGrColour(std::string_view name);
// Redefines palette entry n and tells the drivers (error 42 outside 0..255).
void IGrPaletteEntryRGB(INTEGER n, INTEGER rgb, INTEGER flag = 0);
// Redefines palette entry n from hue 0-359, lightness 0-100, saturation 0-100.
void IGrDefineColourHLS(INTEGER n, INTEGER hue, INTEGER lightness, INTEGER saturation, INTEGER flag = 0);
// red + 256 x green + 65536 x blue, as given.
INTEGER IGrPackRGB(INTEGER red, INTEGER green, INTEGER blue);

// Toolkit-internal

// Builds the default palette, the slot-colour tables and the cone table.
void YYPaletteDefault();
// Seeds the slot colours of a 32- to 128-colour device from the palette (nothing for other counts).
void YYSlotColoursSeed();
// The first N entries of the main window's screen palette for a palette slot count of 16, 32,
// 64 or 128, taken from the default palette by index.
std::vector<INTEGER> YYScreenPaletteColours(INTEGER slotCount);
// Components of a colour number of the current model.
void YYColourToRGB(INTEGER colour, INTEGER& red, INTEGER& green, INTEGER& blue);
// Palette entry i (0 outside 0..255).
void YYPaletteRGB(INTEGER index, INTEGER& value);
// Slot k of the 8-, 16- and N-slot tables (0 outside them).
void YYPalette8(INTEGER slot, INTEGER& value);
void YYPalette16(INTEGER slot, INTEGER& value);
void YYPaletteN(INTEGER slot, INTEGER& value);
// Sets one entry and the tables that depend on it (an index outside 0..255 changes nothing).
void YYPaletteSet(INTEGER index, INTEGER value);
// Palette index of a packed RGB value: exact match, else nearest in the HSV cone.
void YYPaletteNearest(INTEGER value, INTEGER& index);
// Sets the current colour triple as given and announces it: target 1 current drawable only, 2
// hardcopy only, other both.
void YYColourTriple(INTEGER index, INTEGER rgb, INTEGER device, INTEGER target);
// 24 selects RGB mode; other depths select palette mode.
void YYColourModel(INTEGER depth);
// Device slot of a palette index for the current device colour count (-1 gives -1).
INTEGER YYDeviceColour(INTEGER index);
// The 8- or 16-colour slot of colour group g (selector 0 or 1 picks the row).
INTEGER YYPalette16Index(INTEGER group, INTEGER selector = 0);
// Hue (radians), saturation and value 0..1 of a packed RGB value.
void YYRgbToHsv(INTEGER value, REAL& hue, REAL& saturation, REAL& brightness);
// Packed RGB of hue 0-359 (0 blue, 120 red, 240 green), lightness and saturation 0-100, clamped.
INTEGER YYHlsToRgb(INTEGER hue, INTEGER lightness, INTEGER saturation);
// One component 0-255 of the HLS conversion.
INTEGER YYHlsComponent(REAL hue, REAL m1, REAL m2);
// Code 0-15 of a colour name, -1 when unknown.
INTEGER YYColourNameCode(std::string_view name);
