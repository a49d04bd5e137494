// The application's small modal prompts (a number, an integer, a text, a yes-or-no), the item
// choice before printing or exporting, the generation parameters of a value series, and the field
// states of an abscissa page. Each prompt's dialog is loaded on its first use and afterwards only
// hidden, so it keeps its last state; the prompts open centred.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

// Dialog and field identifiers of the prompts.
inline constexpr INTEGER kRealPromptDialog = 220;
inline constexpr INTEGER kTextPromptDialog = 266;
inline constexpr INTEGER kIntegerPromptDialog = 136;
inline constexpr INTEGER kProceedDialog = 192;
inline constexpr INTEGER kPrintSelectionDialog = 110;
inline constexpr INTEGER kExportSelectionDialog = 273;
inline constexpr INTEGER kGenerationDialog = 221;
inline constexpr INTEGER kPromptTextField = 1117;

// Shows the prompt and the value; "OK" stores the field into the value and clears cancel (a
// field that holds no number is said to and the prompt shows again), "Cancel" sets cancel; any
// other way of closing leaves both unchanged.
void NUMINDLG(std::string_view prompt, REAL& value, LOGICAL& cancel);
// The same for a text: "OK" stores the field blank-padded (or cut) to the text's length.
void STRINGINDLG(std::string_view prompt, std::string& text, LOGICAL& cancel);
// The integer twin of NUMINDLG.
void INUMINDLG(std::string_view prompt, INTEGER& value, LOGICAL& cancel);
// Shows a text; "OK" clears cancel, "Cancel" sets it.
void PROCEEDDLG(std::string_view text, LOGICAL& cancel);

// A number field of the current dialog read as the pages read their numbers. A field left empty,
// or holding text that is no number (pasted, say: typing lets only a number's characters in), is
// no value to store: the user is told which field holds no number, the field gets the focus, and
// false comes back with the value unchanged. name is the field's label as the dialog shows it.
bool readRealField(INTEGER field, std::string_view name, REAL& value);
bool readIntegerField(INTEGER field, std::string_view name, INTEGER& value);
// The message that names a field holding no number.
std::string noNumberMessage(std::string_view name);

// The six remembered item choices of PRINTDLG, all initially true.
struct PrintSelectionState {
    LOGICAL Graphic = kTrue;
    LOGICAL DataAndSynthetics = kTrue;
    LOGICAL LayeredModel = kTrue;
    LOGICAL Equivalence = kTrue;
    LOGICAL ResolutionMatrix = kTrue;
    LOGICAL SmoothModel = kTrue;
};
PrintSelectionState& printSelectionState();

// Item choice before printing (dialog 110) or, with exporting true, before exporting (273):
// "OK" stores the boxes and sets anyItem when any of the five items (not the graphic) is chosen;
// "Cancel" sets cancel.
void PRINTDLG(LOGICAL& anyItem, LOGICAL& cancel, LOGICAL exporting);

// Shows a text in a dialog whose identifiers nothing in this program sets: it does nothing.
void SAVEFILEDLGQFRES(std::string_view text);

// Generation parameters of a value series (dialog 221), with its own event loop: ticking "Log
// spaced" enables the end value and disables the increment, and a change of the start, count,
// increment or box updates the dependent field. "OK" stores the five values, "Cancel" sets cancel.
void GENERATEPAR(INTEGER& count, REAL& start, REAL& increment, LOGICAL& logSpaced, REAL& endValue,
                 LOGICAL& cancel);

// Colour choice over the 16 colour names; its dialog identifier is never set in this program,
// so it changes nothing.
void COLORDLG(std::array<INTEGER, 6>& colours, INTEGER& column);

// Field states of an abscissa page (the current dialog): kind 1 disables 1361, 1360, 1370 and
// 1362; any other kind enables 1361, 1360 and 1370, and 1362 only with log spacing.
void ABSCISSASTATES(INTEGER kind, LOGICAL logSpaced);
