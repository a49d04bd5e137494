// Field values of the current dialog: numbers (held as text and as a stored double), text, check
// boxes and radio buttons, ranges, field states, options and queries.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

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
void WDialogFieldOptions(INTEGER field, INTEGER option, INTEGER onOff);
INTEGER WDialogFieldQuery(INTEGER field, INTEGER code);

// Toolkit-internal

// field comes back -1 when the current dialog has no such control.
void YYFieldPutText(INTEGER& field, std::string_view text, DOUBLE value, std::string_view format);
// field -1: no control; -2: the text is blank.
void YYFieldGetNumber(INTEGER& field, DOUBLE& value);
// field -2 when the value is outside the field's range.
void YYFieldCheckRange(INTEGER& field, DOUBLE value);
// The stored format of a REALEDIT or DOUBLEEDIT field, else "(G15.5E2)".
std::string YYFieldFormat(INTEGER field);
// The radio group around a button: its first and last buttons.
void YYRadioGroupBounds(HWND button, HWND& first, HWND& last);
void YYFieldSetState(INTEGER& field, INTEGER state, INTEGER skipSurfaceUpdate);
INTEGER YYFieldKindOf(HWND control);
INTEGER YYFieldStateOf(HWND control);
// 1 wholly inside the rectangle, 2 overlapping, 0 outside.
INTEGER YYFieldGeometry(HWND control, const RECT& area);
