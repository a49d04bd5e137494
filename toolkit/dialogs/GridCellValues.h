// Grid cells as the program reads and writes them: the public grid routines (1-based columns and
// rows, errors reported under each routine's own name) and the cell layer beneath them (0-based,
// a status in the field argument: -1 no such grid, -2 out of range or wrong kind, -3 out of the
// column's limits, empty, or out of memory).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/dialogs/GridRecords.h"

// GridInfoCode: the query codes of WGridQuery.
enum GridInfoCode : INTEGER {
    kGridInfoColumns = 1, kGridInfoCapacity = 2, kGridInfoRows = 3, kGridInfoCurrentColumn = 4,
    kGridInfoCurrentRow = 5, kGridInfoUnchangedSinceSave = 6, kGridInfoChangedSinceLoad = 7,
    kGridInfoFirstColumn = 8, kGridInfoFirstRow = 9, kGridInfoSelFirstColumn = 10, kGridInfoSelFirstRow = 11,
    kGridInfoSelLastColumn = 12, kGridInfoSelLastRow = 13, kGridInfoRowsOnScreen = 101, kGridInfoTemplateColumns = 102,
};

void WGridRows(INTEGER field, INTEGER rows);
void WGridPutInteger(INTEGER field, INTEGER column, const std::vector<INTEGER>& values, INTEGER n);
void WGridPutReal(INTEGER field, INTEGER column, const std::vector<REAL>& values, INTEGER n,
                  std::optional<std::string_view> format = std::nullopt);
void WGridPutOption(INTEGER field, INTEGER column, const std::vector<INTEGER>& options, INTEGER n);
void WGridPutMenu(INTEGER field, INTEGER column, const std::vector<std::string>& items, INTEGER m,
                  const std::vector<INTEGER>& options, INTEGER n);
void WGridGetColumnMenu(INTEGER field, INTEGER column, std::vector<INTEGER>& options, INTEGER& n);
void WGridGetColumnReal(INTEGER field, INTEGER column, std::vector<REAL>& values, INTEGER& n);
void WGridGetColumnCheckBox(INTEGER field, INTEGER column, std::vector<INTEGER>& states, INTEGER& n);
void WGridPutCellInteger(INTEGER field, INTEGER column, INTEGER row, INTEGER value);
void WGridPutCellReal(INTEGER field, INTEGER column, INTEGER row, REAL value,
                      std::optional<std::string_view> format = std::nullopt);
void WGridPutCellDouble(INTEGER field, INTEGER column, INTEGER row, DOUBLE value,
                        std::optional<std::string_view> format = std::nullopt);
void WGridPutCellOption(INTEGER field, INTEGER column, INTEGER row, INTEGER option);
void WGridPutCellCheckBox(INTEGER field, INTEGER column, INTEGER row, INTEGER state);
void WGridGetCellMenu(INTEGER field, INTEGER column, INTEGER row, INTEGER& option);
void WGridGetCellCheckBox(INTEGER field, INTEGER column, INTEGER row, INTEGER& state);
void WGridGetCellString(INTEGER field, INTEGER column, INTEGER row, std::string& text);
void WGridGetCellReal(INTEGER field, INTEGER column, INTEGER row, REAL& value);
void WGridGetCellDouble(INTEGER field, INTEGER column, INTEGER row, DOUBLE& value);
void WGridGetCellInteger(INTEGER field, INTEGER column, INTEGER row, INTEGER& value);
void WGridClearCell(INTEGER field, INTEGER column, INTEGER row);
// Packed RGB colours; an absent colour stays, -1 returns it to the column's default.
void WGridColourCell(INTEGER field, INTEGER column, INTEGER row, std::optional<INTEGER> textColour = std::nullopt,
                     std::optional<INTEGER> backColour = std::nullopt);
void WGridLabelColumn(INTEGER field, INTEGER column, std::string_view text);
void WGridSetCell(INTEGER field, INTEGER column, INTEGER row, std::optional<INTEGER> caret = std::nullopt);
INTEGER WInfoGridCell(INTEGER field, INTEGER column, INTEGER row, INTEGER code);
INTEGER WGridQuery(INTEGER field, INTEGER code);

// Toolkit-internal

// The grid a field names: a control of the current dialog, or for 0 the current grid window's grid.
GridRecord* YYGridFind(INTEGER field);
void YYGridClearCell(INTEGER& field, INTEGER column, INTEGER row, INTEGER mode);
void YYGridClearMenu(INTEGER& field, INTEGER column, INTEGER row);
void YYGridAddMenuItem(INTEGER& field, INTEGER column, INTEGER row, std::string_view text);
void YYGridGetMenuItem(INTEGER& field, INTEGER column, INTEGER option, std::string& text);
void YYGridSelectMenuText(INTEGER& field, INTEGER column, INTEGER row, INTEGER& notFound, std::string_view text);
void YYGridGetCheck(INTEGER& field, INTEGER column, INTEGER row, INTEGER& state);
void YYGridPutCheck(INTEGER& field, INTEGER column, INTEGER row, INTEGER state);
void YYGridGetMenuIndex(INTEGER& field, INTEGER column, INTEGER row, INTEGER& option);
void YYGridPutMenuIndex(INTEGER& field, INTEGER column, INTEGER row, INTEGER option);
void YYGridGetText(INTEGER& field, INTEGER column, INTEGER row, std::string& text);
void YYGridGetDouble(INTEGER& field, INTEGER column, INTEGER row, DOUBLE& value);
void YYGridPutText(INTEGER& field, INTEGER column, INTEGER row, DOUBLE value, std::string_view text,
                   std::string_view format);
void YYGridColumnFormat(INTEGER& field, INTEGER column, std::string& format);
void YYGridCheckValue(INTEGER& field, INTEGER column, DOUBLE value);
// Whether a value lies outside a prototype's limits (only when minimum <= maximum).
bool YYGridRangeTest(HWND prototype, DOUBLE value);
void YYGridSetColumnLabel(INTEGER& field, INTEGER item, std::string_view text);
void YYGridGetColumnLabel(INTEGER& field, INTEGER item, std::string& text);
void YYGridSetRowLabel(INTEGER& field, INTEGER row, std::string_view text);
void YYGridGetRowLabel(INTEGER& field, INTEGER row, std::string& text);
void YYGridSetCellColours(INTEGER& field, INTEGER column, INTEGER row, INTEGER textRed, INTEGER textGreen,
                          INTEGER textBlue, INTEGER backRed, INTEGER backGreen, INTEGER backBlue);
void YYGridGetCellColours(INTEGER& field, INTEGER column, INTEGER row, INTEGER& textRed, INTEGER& textGreen,
                          INTEGER& textBlue, INTEGER& backRed, INTEGER& backGreen, INTEGER& backBlue);
void YYGridInfo(INTEGER& field, INTEGER code, INTEGER& value);
void YYGridSetCurrent(INTEGER& field, INTEGER column, INTEGER row, INTEGER caret);
void YYGridSetRows(INTEGER& field, INTEGER rows);
void YYGridProtectCell(INTEGER& field, INTEGER column, INTEGER row, INTEGER state);
void YYGridColumnKind(INTEGER& field, INTEGER column, INTEGER& kind);
void YYGridTextLength(INTEGER& field, INTEGER column, INTEGER& length);
void YYGridLabelInfo(INTEGER& field, INTEGER& header, INTEGER& labelWidth);
void YYGridColumnAlignment(INTEGER& field, INTEGER column, INTEGER& alignment);
// Empties every cell of the grid; with option removal the menu columns lose their options too.
void YYGridClearAll(HWND grid, bool removeOptions);
void YYGridReset(INTEGER& field, INTEGER columns, const INTEGER* positions);
void YYGridResetColumnColours(INTEGER& field, INTEGER column, INTEGER textRed, INTEGER textGreen, INTEGER textBlue,
                              INTEGER backRed, INTEGER backGreen, INTEGER backBlue);
void YYGridSetLimits(INTEGER& field, INTEGER column, DOUBLE minimum, DOUBLE maximum);
void YYGridIntegerSpinSteps(INTEGER& field, INTEGER column, INTEGER smallStep, INTEGER largeStep, INTEGER origin);
void YYGridRealSpinSteps(INTEGER& field, INTEGER column, REAL smallStep, REAL largeStep);
void YYGridDoubleSpinSteps(INTEGER& field, INTEGER column, DOUBLE smallStep, DOUBLE largeStep);
// The values the grid editor window keeps after it closed (GridInfoCode 6 and 7 for field -2).
struct GridEditorLeftovers {
    INTEGER unchangedSinceSave = 1;
    INTEGER changedSinceLoad = 0;
};
GridEditorLeftovers& gridEditorLeftovers();
