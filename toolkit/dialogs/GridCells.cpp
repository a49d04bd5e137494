#include "toolkit/dialogs/GridCells.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "toolkit/foundation/NumberText.h"

namespace {

std::string trimmed(std::string_view text)
{
    std::size_t first = 0, last = text.size();
    while (first < last && text[first] == ' ') ++first;
    while (last > first && (text[last - 1] == ' ' || text[last - 1] == '\0')) --last;
    return std::string(text.substr(first, last - first));
}

// The shortest fixed or exponent form of the value within width characters.
std::string fitted(DOUBLE value, std::size_t width)
{
    char buffer[64];
    for (int decimals = static_cast<int>(std::min<std::size_t>(width, 15)); decimals >= 0; --decimals) {
        std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
        if (std::strlen(buffer) <= width) return buffer;
    }
    for (int digits = static_cast<int>(std::min<std::size_t>(width, 15)); digits >= 0; --digits) {
        std::snprintf(buffer, sizeof buffer, "%.*E", digits, value);
        if (std::strlen(buffer) <= width) return buffer;
    }
    // A column narrower than any exponent form still gets the whole exponent form.
    std::snprintf(buffer, sizeof buffer, "%.0E", value);
    return buffer;
}

}  // namespace

void WGridDecodeCell(INTEGER packed, INTEGER& column, INTEGER& row)
{
    const auto bits = static_cast<std::uint32_t>(packed);
    column = static_cast<INTEGER>((bits >> 18) & 0x3FFF);
    row = static_cast<INTEGER>(bits & 0x3FFFF);
}

INTEGER YYGridPackCell(INTEGER column, INTEGER row)
{
    return static_cast<INTEGER>((static_cast<std::uint32_t>(column + 1) << 18) + static_cast<std::uint32_t>(row + 1));
}

bool YYGridFitsInteger(DOUBLE value)
{
    return !std::isnan(value) && value > -2147483649.0 && value < 2147483648.0;
}

INTEGER YYGridClampInteger(DOUBLE value)
{
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT_MAX;
    if (value <= -2147483648.0) return INT_MIN;
    return static_cast<INTEGER>(value);
}

REAL YYGridRoundReal(DOUBLE value)
{
    if (std::isnan(value)) return static_cast<REAL>(value);
    if (value > FLT_MAX) return FLT_MAX;
    if (value < -FLT_MAX) return -FLT_MAX;
    return static_cast<REAL>(value);
}

INTEGER YYGridScrollScale(INTEGER rows)
{
    INTEGER scale = 1;
    for (INTEGER v = rows; v > 65536; v /= 2) scale *= 2;
    return scale;
}

INTEGER YYGridWholeRows(INTEGER height, INTEGER rowHeight)
{
    if (rowHeight < 2) return 0;
    return std::max(0, (height - 1) / (rowHeight - 1));
}

INTEGER YYGridWheelRows(INTEGER& accumulated, INTEGER delta)
{
    accumulated += delta;
    INTEGER rows = 0;
    while (accumulated < -119) {
        ++rows;
        accumulated += 120;
    }
    while (accumulated > 119) {
        --rows;
        accumulated -= 120;
    }
    return rows;
}

std::string YYGridNumberText(DOUBLE value, std::string_view format)
{
    std::string out;
    if (format.empty() || !YYFormatWrite(false, 0, value, format, out)) {
        format = kGridDefaultFormat;
        if (!YYFormatWrite(false, 0, value, format, out)) return {};
    }
    // Asterisks say the value is too wide for the descriptor: the cell shows the value in a form
    // that fits, so that a depth of 10,000 m in an "(F8.3)" column still reads as a number.
    if (out.find('*') != std::string::npos && format.find('*') == std::string_view::npos && std::isfinite(value))
        return fitted(value, out.size());
    return trimmed(out);
}

std::string YYGridIntegerText(INTEGER value) { return std::to_string(value); }

std::size_t GridCellStorage::cellSize() const
{
    switch (kind) {
    case kCellText: return static_cast<std::size_t>(textLength) + 1;
    case kCellDouble: return 8;
    default: return 4;
    }
}

bool GridCellStorage::allocate(INTEGER cellKind, INTEGER length, INTEGER rows)
{
    kind = cellKind;
    textLength = length;
    capacity = std::max(rows, 0);
    try {
        values.assign(cellSize() * static_cast<std::size_t>(capacity), 0);
        flags.assign(static_cast<std::size_t>(capacity), 0);
    } catch (const std::bad_alloc&) {
        values.clear();
        flags.clear();
        capacity = 0;
        return false;
    }
    colours.clear();
    return true;
}

std::string GridCellStorage::text(INTEGER row) const
{
    if (!inside(row) || kind != kCellText) return {};
    const char* cell = reinterpret_cast<const char*>(values.data() + cellSize() * static_cast<std::size_t>(row));
    return std::string(cell, strnlen(cell, static_cast<std::size_t>(textLength)));
}

void GridCellStorage::setText(INTEGER row, std::string_view text)
{
    if (!inside(row) || kind != kCellText) return;
    const std::size_t size = cellSize();
    char* cell = reinterpret_cast<char*>(values.data() + size * static_cast<std::size_t>(row));
    std::memset(cell, 0, size);
    std::memcpy(cell, text.data(), std::min(text.size(), size - 1));
}

DOUBLE GridCellStorage::number(INTEGER row) const
{
    if (!inside(row) || kind == kCellText) return 0.0;
    const unsigned char* cell = values.data() + cellSize() * static_cast<std::size_t>(row);
    switch (kind) {
    case kCellReal: {
        REAL v;
        std::memcpy(&v, cell, sizeof v);
        return v;
    }
    case kCellDouble: {
        DOUBLE v;
        std::memcpy(&v, cell, sizeof v);
        return v;
    }
    default: {
        INTEGER v;
        std::memcpy(&v, cell, sizeof v);
        return v;
    }
    }
}

void GridCellStorage::setNumber(INTEGER row, DOUBLE value)
{
    if (!inside(row) || kind == kCellText) return;
    unsigned char* cell = values.data() + cellSize() * static_cast<std::size_t>(row);
    switch (kind) {
    case kCellReal: {
        const REAL v = YYGridRoundReal(value);
        std::memcpy(cell, &v, sizeof v);
        break;
    }
    case kCellDouble: std::memcpy(cell, &value, sizeof value); break;
    default: {
        const INTEGER v = YYGridClampInteger(value);
        std::memcpy(cell, &v, sizeof v);
        break;
    }
    }
}

void GridCellStorage::clear(INTEGER row, INTEGER menuIndex)
{
    if (!inside(row)) return;
    if (kind == kCellText) setText(row, "");
    else setNumber(row, kind == kCellMenu ? menuIndex : 0);
    flags[static_cast<std::size_t>(row)] &= static_cast<unsigned char>(~(kCellValuePresent | kCellHadValue));
}

bool GridCellStorage::makeColourBlock(INTEGER textColour, INTEGER backColour)
{
    unsigned char row[7] = {};
    if (textColour != -1) {
        row[0] |= 1;
        row[1] = textColour & 0xFF, row[2] = (textColour >> 8) & 0xFF, row[3] = (textColour >> 16) & 0xFF;
    }
    if (backColour != -1) {
        row[0] |= 2;
        row[4] = backColour & 0xFF, row[5] = (backColour >> 8) & 0xFF, row[6] = (backColour >> 16) & 0xFF;
    }
    try {
        colours.resize(7 * static_cast<std::size_t>(capacity));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (INTEGER r = 0; r < capacity; ++r) std::memcpy(colours.data() + 7 * static_cast<std::size_t>(r), row, 7);
    return true;
}

INTEGER GridCellStorage::textColour(INTEGER row) const
{
    if (!hasColourBlock() || !inside(row)) return -1;
    const unsigned char* c = colours.data() + 7 * static_cast<std::size_t>(row);
    return (c[0] & 1) ? YYGridPackRgb(c[1], c[2], c[3]) : -1;
}

INTEGER GridCellStorage::backColour(INTEGER row) const
{
    if (!hasColourBlock() || !inside(row)) return -1;
    const unsigned char* c = colours.data() + 7 * static_cast<std::size_t>(row);
    return (c[0] & 2) ? YYGridPackRgb(c[4], c[5], c[6]) : -1;
}

void GridCellStorage::setColour(INTEGER row, bool background, INTEGER red, INTEGER green, INTEGER blue)
{
    if (!hasColourBlock() || !inside(row) || red == -1) return;
    unsigned char* c = colours.data() + 7 * static_cast<std::size_t>(row);
    const unsigned char bit = background ? 2 : 1;
    if (red == 256) {
        c[0] &= static_cast<unsigned char>(~bit);
        return;
    }
    c[0] |= bit;
    unsigned char* parts = c + (background ? 4 : 1);
    parts[0] = static_cast<unsigned char>(red), parts[1] = static_cast<unsigned char>(green);
    parts[2] = static_cast<unsigned char>(blue);
}

INTEGER YYGridPackRgb(INTEGER red, INTEGER green, INTEGER blue)
{
    return (red & 0xFF) + 256 * (green & 0xFF) + 65536 * (blue & 0xFF);
}
