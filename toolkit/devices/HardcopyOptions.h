// The hardcopy options every driver reads its page and switches from, their public setter with
// its checks and side effects, the page scaling derived from them, the drivers' shared defaults,
// and keeping the options across a graphics reset (platform-free).
#pragma once

#include <array>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/FixedText.h"

// Options 1-32 and 101-108. 1 to 29 and 101 to 108 are public; 30 and 31 hold the Windows
// printer's physical page (short and long side in the chosen orientation), 32 whether a Windows
// printer could be queried. Lengths are in points unless a driver says otherwise.
struct HardcopyOptionBlock {
    std::array<INTEGER, 33> Options{};   // [1..32]
    std::array<INTEGER, 8> Extended{};   // options 101..108

    // The option's slot, or nullptr for a number outside 1-32 and 101-108.
    INTEGER* slot(INTEGER option);
    // The option's value (0 for a number without a slot).
    INTEGER value(INTEGER option) const;
};

HardcopyOptionBlock& hardcopyOptionBlock();

// The units the options dialogs show page sizes in, with their factors from points.
enum PaperUnitCode : INTEGER { kPaperPoints = 0, kPaperInches = 1, kPaperCentimetres = 2, kPaperMillimetres = 3 };
inline constexpr std::array<REAL, 4> kPaperUnitFactors{1.0f, 0.0138889f, 0.0352778f, 0.352778f};
inline constexpr std::string_view kPaperUnitNames = "pointsinchescm    mm    ";
inline constexpr std::string_view kPaperUnitShortNames = "ptsinscm mm ";

// Stores one option after its check; values that fail it and numbers outside 1-29 and 101-108
// are ignored without a report.
void IGrHardcopySetOption(INTEGER option, INTEGER value);

// Toolkit-internal

// The page aspect from options 1 and 2 and the page angle; unchanged unless both are positive.
void YYPageAspect();
// The orientation-dependent scaling of text, hatching and aspect for the hardcopy page; then the
// text angle and character scale are sent again.
void YYHardcopyRescale();
// The drivers' shared option defaults (called first by every driver's full OpInit).
void YYDriverReset();
// Rewrites the extension of a file name: after its last dot when that follows the last path
// separator, else after its last non-blank character; the rest is blanked.
void YYFileExtensionRewrite(FixedText<260>& name, std::string_view extension);
// The file extension a value of option 22 (PostScript format), 26 (image type) or 27 (metafile
// kind) gives its output file; empty for other options.
std::string_view YYOptionFileExtension(INTEGER option, INTEGER value);

// Keeping the options across a graphics reset with "P": save (only once a driver has been
// initialised; answers whether it saved), clear (options 1-29 to 0), restore (the output name,
// then every saved option through the setter, 1-29 then 101-108).
bool YYHardcopyOptionsSave();
void YYHardcopyOptionsClear();
void YYHardcopyOptionsRestore();

// Installs the rescale, the hardcopy line thickness and the option keeping in the graphics
// layer's drawable hooks.
void YYHardcopyOptionHooksInstall();
