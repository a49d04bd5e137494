// Searching a grid, sorting its rows by a column, deleting, inserting and labelling rows, and the
// row exchange the sort is built on. Columns and rows of the public routines count from 1.
#pragma once

#include <optional>
#include <string_view>

#include "toolkit/dialogs/GridRecords.h"
#include "toolkit/dialogs/GridRowSort.h"

// Finds the first cell holding the text (GridFindOption bits) and makes it current; found := true
// (-1) or false (0).
void WGridFind(INTEGER field, std::string_view text, INTEGER options = 0, LOGICAL* found = nullptr,
               std::optional<INTEGER> firstColumn = std::nullopt, std::optional<INTEGER> lastColumn = std::nullopt,
               std::optional<INTEGER> firstRow = std::nullopt, std::optional<INTEGER> lastRow = std::nullopt);
// Sorts the rows first..last (held to the grid's rows) by the column (GridSortOption bits).
void WGridSort(INTEGER field, INTEGER column, INTEGER options = 0, std::optional<INTEGER> firstRow = std::nullopt,
               std::optional<INTEGER> lastRow = std::nullopt);
// Switches are on when given as 1.
void WGridDeleteRows(INTEGER field, INTEGER row, INTEGER count = 1, INTEGER shrink = 0, INTEGER labels = 0);
void WGridInsertRows(INTEGER field, INTEGER row, INTEGER count = 1, INTEGER grow = 0, INTEGER labels = 0);
void WGridLabelRow(INTEGER field, INTEGER row, std::string_view text);

// Toolkit-internal

// Searches one column (0-based) from firstRow to lastRow; the row of the first match, or -1.
INTEGER YYGridFindMatch(GridRecord& grid, INTEGER column, INTEGER firstRow, INTEGER lastRow, std::string_view text,
                        INTEGER options);
// The sort key of a row of the column (0-based).
GridSortKey YYGridSortKey(GridRecord& grid, INTEGER column, INTEGER row, INTEGER options);
// Exchanges two rows (0-based) of the grid a field names: cells, the flag bytes of number cells,
// with the label switch the row labels; the live editor keeps showing its own row.
void YYGridSwapRows(INTEGER& field, INTEGER rowA, INTEGER rowB, INTEGER labels);
// The same on a grid record.
void YYGridSwapRowsOf(GridRecord& grid, INTEGER rowA, INTEGER rowB, bool labels);
