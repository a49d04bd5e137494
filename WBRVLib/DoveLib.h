// REAL columns and values in the toolkit's grids and dialog fields: a format chosen from the
// value's magnitude, missing values (above 1e10) as empty cells or the text "Unknown", empty
// cells read back as the missing value 1.0E20, and check boxes as logicals. Platform-free: the
// toolkit is reached through WBRVLib/ToolkitLink.h.
//
// Cells are addressed as (grid field, column, row) with 1-based columns and rows; value arrays
// hold one value per row starting at row 1 (values[0] is row 1).
#pragma once

#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

// The mark of a missing value, and the test for one (a NaN counts as missing too).
inline constexpr REAL kMissingReal = 1.0E20f;
bool isMissingReal(REAL value);

// The format a REAL is written with into a grid cell: "(F8.0)" above 10000 and for 0, then
// "(F8.1)" .. "(F8.5)" down to above 0.1, else "(1PE8.1)". A value that "(F8.0)" cannot hold
// (from 10^7 up, from -10^6 down) gets an exponent form with seven significant digits instead.
std::string_view GridRealFormatLadder(REAL value);
// The format of a dialog field: as the grid's, with "at least" comparisons and "(F9.0)" from
// 100000 (an exponent form where "(F9.0)" cannot hold the value); "Unknown" for a missing value.
std::string_view DialogRealFormatLadder(REAL value);

// Rows 1..n: a missing value clears the cell, any other goes in with the grid ladder.
void QFGRIDPUTREALG(INTEGER field, INTEGER column, const REAL* values, INTEGER n);
// One cell with the grid ladder's format.
void QFGRIDPUTCELLREAL(INTEGER field, INTEGER column, INTEGER row, REAL value);
// Rows 1..n with the caller's format (blank: the column's own); without missing values the whole
// column in one call, which also clears the rows below n.
void QFGRIDPUTREALF(INTEGER field, INTEGER column, const REAL* values, INTEGER n, std::string_view format);
void QFGRIDPUTREAL(INTEGER field, INTEGER column, const REAL* values, INTEGER n);
// A dialog field with the dialog ladder; a missing value shows "Unknown".
void QFPUTREAL(INTEGER field, REAL value);
// Rows 1..n (one cell): the cell's value, or 1.0E20 for an empty cell.
void QFGRIDGETREAL(INTEGER field, INTEGER column, REAL* values, INTEGER n);
void QFGRIDGETCELLREAL(INTEGER field, INTEGER column, INTEGER row, REAL& value);
// fromEnd false: the number of leading rows 1, 2, ... (at most n) that hold a value; true: the
// last row among 1..n that holds a value (0 for none).
INTEGER QFINFOGRIDCELLS(INTEGER field, INTEGER column, INTEGER n, LOGICAL fromEnd);
// text(1:n) into a dialog field; a single blank for n < 1.
void PUTDLGSTRING(INTEGER field, std::string_view text, INTEGER n);
// Check boxes as logicals.
void WDIALOGGETCHECKBOXL(INTEGER field, LOGICAL& state);
void WDIALOGPUTCHECKBOXL(INTEGER field, LOGICAL state);
