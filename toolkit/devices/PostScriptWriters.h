// The line writers of the PostScript driver: numbers formatted into a work line and trimmed,
// blanks normalised, the flush of the open path with its colour, colour values as PostScript
// fractions with the inversion of option 6, and the arc and sector writer (platform-free).
// Every line goes to output unit 2 with carriage return and line feed; with option 17 (record
// mode 1) each starts with one blank.
#pragma once

#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

// Toolkit-internal

// Three values unscaled and a word: (3F9.2,1X,A).
void YYPostTriple(REAL a, REAL b, REAL c, std::string_view word);
// A device point in points (x times XScale, y times YScale) and a word: (2F9.2,1X,A).
void YYPostPoint(REAL x, REAL y, std::string_view word);
// The same with the two scales exchanged, for images on pages turned by 90 or 270 degrees.
void YYPostPointSwapped(REAL x, REAL y, std::string_view word);
// One value unscaled and a word: (F9.2,1X,A).
void YYPostNumber(REAL v, std::string_view word);
// One line with every run of blanks made one blank and none at either end.
void YYPostLine(std::string_view text);
// One line as it is, cut to 255 characters.
void YYPostLineRaw(std::string_view text);

// Ends the open path: mode 1 strokes ("s"), 2 fills ("cf"), 3 only writes a changed colour and
// leaves the path open. With no open path, modes 1 and 2 write nothing at all.
void YYPostPath(INTEGER mode);
// The colour value (-1 black, else a palette index or RGB value of the colour model) as three
// fractions 0 to 1, inverted by option 6.
void YYPostColour(INTEGER colour, REAL& red, REAL& green, REAL& blue);
// An arc (OpArc, outline) or sector (OpSectorFill, filled) of the parameter block, drawn inside
// gsave/grestore in a system stretched vertically; template is the 32-character line
// "gsave 1.0", ten blanks, "scale newpath" that receives the stretch.
void YYPostArc(INTEGER op, std::string_view lineTemplate);
