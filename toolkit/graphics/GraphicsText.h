// Graphics text: the text attributes every text output draws with (font, style, spacing, size,
// direction, justification), the routines that set them, the measuring of a text, and the
// workers that tell the drivers of both layers the character size and the text angle
// (platform-free).
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/FixedText.h"

// TextStyle bits.
inline constexpr INTEGER kTextBold = 1;
inline constexpr INTEGER kTextItalic = 2;
inline constexpr INTEGER kTextUnderline = 4;
inline constexpr INTEGER kTextBox = 8;

// Shear of italic stroke glyphs.
inline constexpr REAL kItalicSlant = 0.4663f;

struct TextState {
    INTEGER TextJustification = 1;  // 0 left, 1 centre, 2 right
    INTEGER TextStacked = 0;        // non-zero: each character one line below the previous one
    INTEGER TextStyle = 0;          // kTextBold | kTextItalic | kTextUnderline | kTextBox
    INTEGER StrokeFontSelected = 0; // 1 the installed stroke set, 0 a device font
    INTEGER CharacterSpacing = 0;   // 0 fixed pitch, 1 advance-width tables, 2 as the device measures
    INTEGER DeviceFontVariant = 1;  // 0 named face, 1 fixed pitch, 2 swiss, 3 roman, 4 symbol
    INTEGER FallbackStrokeFont = 1; // 1 fixed, 2 swiss, 3 roman, 4 symbol
    INTEGER TextReserved = 2;       // recorded by IGrTextAlign, no effect on drawing
    FixedText<100> DeviceFaceName;
    std::array<INTEGER, 2> StrokePreference{1, 1};  // [0] current drawable, [1] hardcopy
    REAL TextSlant = 0;
    REAL TextAngle = 0;
    REAL DeviceTextAngle = 0;
    REAL TextDirCos = 1, TextDirSin = 0, TextUpSin = 0;
    REAL CharScaleX = 1, CharScaleY = 1;
    REAL CharAdvanceX = 0, CharAdvanceY = 0, CharLineX = 0, CharLineY = 0;
    REAL TextAreaWidth = 0, TextAreaHeight = 0;
    REAL TextDrawableWidth = 0, TextDrawableHeight = 0;
};

TextState& textState();

// Selects the font and its style, size and spacing; every argument optional. Reports 1058 when a
// named-face device font is current without a face.
void WGrTextFont(std::optional<INTEGER> kind = std::nullopt, std::optional<INTEGER> style = std::nullopt,
                 std::optional<REAL> width = std::nullopt, std::optional<REAL> height = std::nullopt,
                 std::optional<std::string_view> face = std::nullopt, std::optional<INTEGER> mode = std::nullopt);
// Justification 0-2, angle in degrees counterclockwise, stacking, and a recorded reserved value.
void IGrTextAlign(std::optional<INTEGER> justification = std::nullopt, std::optional<REAL> angle = std::nullopt,
                  std::optional<INTEGER> stacked = std::nullopt, std::optional<INTEGER> reserved = std::nullopt);
// Character width and height as fractions of the area; a value <= 0 takes its default.
void IGrTextSize(REAL width, REAL height);
// The length of the first count characters of text in nominal character widths; mode 0 lets the
// device measure, 1 uses the advance-width tables.
REAL IGrTextLength(std::string_view text, INTEGER count, std::optional<INTEGER> mode = std::nullopt);

// Toolkit-internal

// Brings the fallback stroke set, the scale factors and the drivers up to date.
void YYCharScale();
// Sets the text angle, the device angle and the direction, and tells both layers.
void YYTextAngle(REAL angle);
// The graphics area's and the drawable's size in device units from the transform, exchanged at
// page angles 90 and 270; kept when the transform has no size yet.
void YYTextAreaUpdate();
// Aspect factor r between the area's fractions and its device size.
REAL YYTextAspect();
// Requested (Wr, Hr) and device (Wd, Hd) character sizes in device units.
void YYRequestedCharSize(REAL& width, REAL& height);
void YYDeviceCharSize(REAL& width, REAL& height);
// Restores the reset values (graphics reset).
void YYTextStateReset();

// What the hardcopy drivers tell the text output at OpInit and the hardcopy rescale: whether the
// driver draws text boxes and spaces proportional text itself, the page's aspect and its scale
// factors. Before a hardcopy driver sets them the page is taken to match the drawable.
struct HardcopyTextScaling {
    INTEGER TextBoxFlag = 1;
    INTEGER TextSpacingFlag = 1;
    REAL HardcopyAspect = 0;  // 0: the drawable's aspect
    REAL ScaleX = 1, ScaleY = 1;
};

HardcopyTextScaling& hardcopyTextScaling();
