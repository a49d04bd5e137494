// The HP-GL command encoder both plotter drivers write through: one instruction prepared in a
// 50-character command buffer, its blanks squeezed, written as one line to output unit 2; and the
// annotation records ("SC" with a negative first value) that carry fills, colours and font
// changes beside the drawing for the toolkit's own file probe (platform-free).
#pragma once

#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

struct HpglEncoderState {
    // The instruction under preparation: two letters in characters 1 and 2, then the parameters.
    std::string HpglCommandBuffer = std::string(50, ' ');
};

HpglEncoderState& hpglEncoderState();

// Toolkit-internal

// The two letters and a point in device units, scaled by XScale and YScale, in (2I6).
void YYHpglCommand(std::string_view letters, REAL x, REAL y);
// "LB" (after one blank in record mode 1), the text and the label terminator. Control characters
// and the terminator itself are left out of the text: in a printer job an escape inside a label
// would start a printer command, and a terminator would end the label early.
void YYHpglLabel(std::string_view text, char terminator);
// A fixed instruction (at most 50 characters), squeezed.
void YYHpglLiteral(std::string_view text);
// "SC-9" with a point in device units, scaled; only while option 18 is set.
void YYHpglVertexRecord(REAL x, REAL y);
// "SC-9" with two values unscaled in (2F10.4); only while option 18 is set.
void YYHpglRealVertexRecord(REAL a, REAL b);
// "SC-" with the code and three values (the third offset by 32760); with reset (low bit of flag)
// followed by ";SC0 32760 0 32760". Only while option 18 is set.
void YYHpglRecord(INTEGER code, INTEGER flag, INTEGER a, INTEGER b, INTEGER c);
// The command buffer as the caller left it, up to its last non-blank character, squeezed.
void YYHpglFlush();

// Shared by the two drivers: puts text into the command buffer at a 1-based position (cut at
// its end), and a value formatted with an edit descriptor of the given width.
void YYHpglPut(std::size_t position, std::string_view text);
std::string YYHpglInteger(INTEGER value, std::string_view format, std::size_t width);
std::string YYHpglReal(REAL value, std::string_view format, std::size_t width);
// A device coordinate times a scale, cut toward zero (saturating, NaN as 0).
INTEGER YYHpglScaled(REAL scale, REAL value);
