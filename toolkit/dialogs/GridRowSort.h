// The grid's row sort without windows: the key of a row and the partition sort that orders a
// range of rows by their keys through a row exchange the caller supplies.
#pragma once

#include <functional>
#include <string>

#include "toolkit/foundation/CoreTypes.h"

// GridFindOption and GridSortOption bits.
enum GridFindOption : INTEGER { kFindAfterCurrent = 1, kFindIgnoreCase = 2, kFindNumbers = 4 };
enum GridSortOption : INTEGER { kSortDescending = 1, kSortIgnoreCase = 2, kSortMoveLabels = 4 };

// A row's key: a text (compared character by character by code, a text that is the start of a
// longer one first) or a number.
struct GridSortKey {
    bool isText = false;
    std::string text;
    DOUBLE number = 0.0;
};

// Toolkit-internal

// -1, 0 or 1 as a orders before, with or after b in ascending order.
int YYGridCompareKeys(const GridSortKey& a, const GridSortKey& b);

// Sorts the rows first..last (any numbering the callbacks share) by keyOf, exchanging rows
// through swap: fewer than 7 rows by exchange sort, more by partitioning around the first row's
// key. Rows with equal keys are never exchanged by the partition; the order is not stable. The
// smaller part is sorted by recursion and the larger one in the loop, so that already ordered
// columns of many rows do not run the stack out.
void YYGridSortRows(INTEGER first, INTEGER last, bool descending, const std::function<GridSortKey(INTEGER)>& keyOf,
                    const std::function<void(INTEGER, INTEGER)>& swap);

// Whether the needle occurs in the text, with ignoreCase comparing the letters a-z as capitals.
bool YYGridTextHas(std::string_view text, std::string_view needle, bool ignoreCase);
