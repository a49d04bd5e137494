// The grid's cell layer without windows: the packed cell the program sees, typed cell storage
// with per-cell flags and colours, the conversions a value goes through on its way into a cell,
// the text a number shows in a column, and the arithmetic of rows, scroll units and the wheel.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"

enum GridCellKind : INTEGER {
    kCellText = 0, kCellInteger = 1, kCellReal = 2, kCellDouble = 3, kCellCheckBox = 4, kCellMenu = 5,
};

// Per-cell flag bits.
enum GridCellFlags : unsigned char { kCellProtected = 1, kCellValuePresent = 2, kCellHadValue = 4 };

// The default column format of real and double cells.
inline constexpr std::string_view kGridDefaultFormat = "(G15.5E2)";

// Splits a packed cell: column = the value shifted right by 18 and kept to 14 bits, row = the low
// 18 bits.
void WGridDecodeCell(INTEGER packed, INTEGER& column, INTEGER& row);

// Toolkit-internal

// The packed form of a 0-based cell: ((column + 1) << 18) + (row + 1).
INTEGER YYGridPackCell(INTEGER column, INTEGER row);
// Whether a double can be an INTEGER cell's value (after truncation toward zero).
bool YYGridFitsInteger(DOUBLE value);
// Truncation toward zero held inside the INTEGER range (NaN gives 0).
INTEGER YYGridClampInteger(DOUBLE value);
// Rounding to single precision held inside the REAL range (NaN stays NaN).
REAL YYGridRoundReal(DOUBLE value);
// Rows per vertical scroll unit: 1, doubled until rows / scale is at most 65,536.
INTEGER YYGridScrollScale(INTEGER rows);
// Whole rows that fit a height when rows share their dividing lines: (height - 1) / (rowHeight - 1).
INTEGER YYGridWholeRows(INTEGER height, INTEGER rowHeight);
// Adds a wheel delta to the accumulator and returns the rows to scroll (positive: down), leaving
// the remainder of less than a notch (120) in the accumulator.
INTEGER YYGridWheelRows(INTEGER& accumulated, INTEGER delta);
// A number as a cell shows it: written with the format, left-justified. When the value does not fit
// the format's width the text is the closest form that fits that width (fewer decimals, then an
// exponent), never asterisks; the cell's value itself is never changed by this.
std::string YYGridNumberText(DOUBLE value, std::string_view format);
// An integer cell's text.
std::string YYGridIntegerText(INTEGER value);

// The cells of one column: capacity cells of the column's kind, one flag byte per row and, from
// the first colour put on, 7 colour bytes per row (byte 0 flags: 1 text colour set, 2 background
// set; bytes 1-3 and 4-6 red, green and blue).
struct GridCellStorage {
    INTEGER kind = kCellText;
    INTEGER textLength = 0;  // text columns: the longest text; integer columns 11
    INTEGER capacity = 0;
    std::vector<unsigned char> values;
    std::vector<unsigned char> flags;
    std::vector<unsigned char> colours;

    // Bytes per cell of the kind.
    std::size_t cellSize() const;
    // Zero-filled storage for capacity rows; false when the memory is not there.
    bool allocate(INTEGER cellKind, INTEGER length, INTEGER rows);
    bool inside(INTEGER row) const { return row >= 0 && row < capacity; }

    std::string text(INTEGER row) const;
    // Cut to textLength characters.
    void setText(INTEGER row, std::string_view text);
    // The value of an integer, real, double, check-box or menu cell as a double.
    DOUBLE number(INTEGER row) const;
    // Stores into a number, check-box or menu cell: integers truncated toward zero and held in
    // range, reals rounded to single precision.
    void setNumber(INTEGER row, DOUBLE value);
    INTEGER integer(INTEGER row) const { return static_cast<INTEGER>(number(row)); }

    // Empties a cell by kind: text empty, numbers and check boxes 0 and without a value; a menu
    // cell takes option index menuIndex.
    void clear(INTEGER row, INTEGER menuIndex);

    bool hasColourBlock() const { return !colours.empty(); }
    // Makes the colour block; every row starts from the given colours (-1: no colour, flag off).
    bool makeColourBlock(INTEGER textColour, INTEGER backColour);
    // A cell's colour as packed RGB, -1 when its flag is clear (also without a block).
    INTEGER textColour(INTEGER row) const;
    INTEGER backColour(INTEGER row) const;
    // Sets one colour of a cell: red 256 clears its flag, -1 leaves it, any other value sets it.
    void setColour(INTEGER row, bool background, INTEGER red, INTEGER green, INTEGER blue);
};

// The packed RGB of three parts (each kept to 0..255).
INTEGER YYGridPackRgb(INTEGER red, INTEGER green, INTEGER blue);
