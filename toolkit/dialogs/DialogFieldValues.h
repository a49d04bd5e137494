// Field values of the current dialog: numbers (held as text and as a stored double), text, check
// boxes and radio buttons, ranges, field states, options and queries.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

// The options WDialogFieldOptions switches: how Enter and Tab move in a grid, and whether every
// change of a field's text raises a field-changed event or only the completing notifications.
enum FieldOptionCode : INTEGER {
    kOptionGridEnterMovesDown = 1, kOptionGridTabMovesCells = 2, kOptionReportEveryChange = 3,
};

// What WDialogFieldQuery answers: the field's client rectangle in the dialog's client
// coordinates (pixels), its FieldKind, its FieldStateCode as its window styles give it, and the
// limits of a trackbar.
enum FieldQueryCode : INTEGER {
    kQueryLeft = 1, kQueryTop = 2, kQueryWidth = 3, kQueryHeight = 4, kQueryKind = 5, kQueryState = 6,
    kQueryTrackbarMinimum = 7, kQueryTrackbarMaximum = 8,
};

void WDialogPutInteger(INTEGER field, INTEGER value);
void WDialogPutReal(INTEGER field, REAL value, std::optional<std::string_view> format = std::nullopt);
void WDialogPutDouble(INTEGER field, DOUBLE value, std::optional<std::string_view> format = std::nullopt);
void WDialogPutString(INTEGER field, std::string_view text);
void WDialogGetInteger(INTEGER field, INTEGER& value);
void WDialogGetReal(INTEGER field, REAL& value);
// The text cut at the variable's length and blank-padded to it.
void WDialogGetString(INTEGER field, std::string& text);
void WDialogGetStringLength(INTEGER field, INTEGER& length);
void WDialogRangeInteger(INTEGER field, std::optional<INTEGER> minimum = std::nullopt,
                         std::optional<INTEGER> maximum = std::nullopt);
void WDialogPutCheckBox(INTEGER field, INTEGER state);
void WDialogGetCheckBox(INTEGER field, INTEGER& state);
void WDialogPutRadioButton(INTEGER field);
void WDialogGetRadioButton(INTEGER field, INTEGER& position);
void WDialogFieldState(INTEGER field, INTEGER state);
// option is a FieldOptionCode; any other option does nothing.
void WDialogFieldOptions(INTEGER field, INTEGER option, INTEGER onOff);
// code is a FieldQueryCode; 0 for no current dialog, no such field or any other code.
INTEGER WDialogFieldQuery(INTEGER field, INTEGER code);

// Toolkit-internal: workers on a field of the current dialog; field := -1 when the control does
// not exist or is of the wrong class, and what they would change stays as it was.

void YYFieldPutText(INTEGER& field, std::string_view text, DOUBLE value, std::string_view format);
// field -1: no control; -2: the text is blank.
void YYFieldGetNumber(INTEGER& field, DOUBLE& value);
// field -2 when the value is outside the field's range.
void YYFieldCheckRange(INTEGER& field, DOUBLE value);
// The stored format of a REALEDIT or DOUBLEEDIT field, else "(G15.5E2)".
std::string YYFieldFormat(INTEGER field);
// The control's whole text.
void YYFieldGetText(INTEGER& field, std::string& text);
void YYFieldTextLength(INTEGER& field, INTEGER& length);
// The integer range: neither limit clears it, a missing limit is the widest INTEGER on its side.
// field -1 also for a control without a field record.
void YYFieldSetRange(INTEGER& field, std::optional<INTEGER> minimum, std::optional<INTEGER> maximum);
// Stores both limits as given; a minimum above the maximum means no range.
void YYFieldStoreRange(INTEGER& field, DOUBLE minimum, DOUBLE maximum);
// Automatic check boxes and radio buttons only; state 1 checked, 0 clear (a put of anything but 1
// clears).
void YYFieldGetCheck(INTEGER& field, INTEGER& state);
void YYFieldPutCheck(INTEGER& field, INTEGER state);
// Position (1 = first) of the checked button in the group of the given one; field -2 when none of
// them is checked (position unchanged).
void YYFieldGetRadio(INTEGER& field, INTEGER& position);
// Checks this button and clears every other button of its group.
void YYFieldPutRadio(INTEGER& field);
// Switches a FieldOptionCode; field -1 when the option does not apply to the control's class. Any
// other option does nothing.
void YYFieldSetOption(INTEGER& field, INTEGER option, INTEGER onOff);
// The field's client rectangle in the dialog's client coordinates.
void YYFieldRect(INTEGER& field, RECT& rect);
// The radio group around a button: its first and last buttons.
void YYRadioGroupBounds(HWND button, HWND& first, HWND& last);
void YYFieldSetState(INTEGER& field, INTEGER state, INTEGER skipSurfaceUpdate);
INTEGER YYFieldKindOf(HWND control);
INTEGER YYFieldStateOf(HWND control);
// 1 wholly inside the rectangle, 2 overlapping, 0 outside.
INTEGER YYFieldGeometry(HWND control, const RECT& area);
