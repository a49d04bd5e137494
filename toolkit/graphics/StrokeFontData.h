// The compiled-in stroke character sets, generated from toolkit/graphics/strokefonts (platform-free).
#pragma once

#include "toolkit/foundation/CoreTypes.h"

// One built-in set as its data routine hands it to the installer.
struct BuiltInStrokeSet {
    const char* name;
    REAL gridWidth;
    REAL gridHeight;
    REAL cellWidth;
    REAL cellHeight;
    INTEGER codeBits;
    INTEGER flags;    // 1: strokes are lines; 2: code 128 has a glyph, kept in the slot of 127
    INTEGER spacing;  // CharacterSpacing the set brings: 0 fixed pitch, 1 proportional
    const char* glyphs;
    INTEGER glyphLength;
    const INTEGER* lowStarts;   // 96 entries
    const INTEGER* highStarts;  // 96 entries
};

enum BuiltInStrokeSetIndex : int {
    kStrokeSetStandard = 0,
    kStrokeSetFixed,
    kStrokeSetFixedBold,
    kStrokeSetRoman,
    kStrokeSetRomanBold,
    kStrokeSetSwiss,
    kStrokeSetSwissBold,
    kStrokeSetSymbol,
    kBuiltInStrokeSetCount,
};

extern const BuiltInStrokeSet kBuiltInStrokeSets[kBuiltInStrokeSetCount];
