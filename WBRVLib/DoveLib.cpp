// REAL values in grids and dialog fields.
#include "WBRVLib/DoveLib.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "WBRVLib/ToolkitLink.h"

namespace {

// Seven significant digits: a REAL read back from this text differs by at most 5e-7 relative.
constexpr std::string_view kExponentForm = "(1PE14.6)";

// Whether a fixed-point descriptor with no decimals and the given width holds the value once it
// is rounded (the point takes one place, a minus sign another).
bool fitsWholeNumber(REAL value, int width)
{
    const double rounded = std::fabs(std::nearbyint(static_cast<double>(value)));
    const int digitsAllowed = width - 1 - (value < 0.0f ? 1 : 0);
    return rounded < std::pow(10.0, digitsAllowed);
}

std::optional<std::string_view> formatArgument(std::string_view format)
{
    if (format.find_first_not_of(' ') == std::string_view::npos) return std::nullopt;
    return format;
}

}  // namespace

bool isMissingReal(REAL value) { return !std::isfinite(value) || value > 1.0E10f; }

std::string_view GridRealFormatLadder(REAL value)
{
    // The comparisons stay in single precision: 0.1 must not count as above the REAL 0.1.
    const REAL a = std::fabs(value);
    if (a > 10000.0f || value == 0.0f) return fitsWholeNumber(value, 8) ? "(F8.0)" : kExponentForm;
    if (a > 1000.0f) return "(F8.1)";
    if (a > 100.0f) return "(F8.2)";
    if (a > 10.0f) return "(F8.3)";
    if (a > 1.0f) return "(F8.4)";
    if (a > 0.1f) return "(F8.5)";
    return "(1PE8.1)";
}

std::string_view DialogRealFormatLadder(REAL value)
{
    if (isMissingReal(value)) return "Unknown";
    const REAL a = std::fabs(value);
    if (a >= 100000.0f || value == 0.0f) return fitsWholeNumber(value, 9) ? "(F9.0)" : kExponentForm;
    if (a >= 10000.0f) return "(F8.0)";
    if (a >= 1000.0f) return "(F8.1)";
    if (a >= 100.0f) return "(F8.2)";
    if (a >= 10.0f) return "(F8.3)";
    if (a >= 1.0f) return "(F8.4)";
    if (a >= 0.1f) return "(F8.5)";
    return "(1PE8.1)";
}

void QFGRIDPUTCELLREAL(INTEGER field, INTEGER column, INTEGER row, REAL value)
{
    WGridPutCellReal(field, column, row, value, GridRealFormatLadder(value));
}

void QFGRIDPUTREALG(INTEGER field, INTEGER column, const REAL* values, INTEGER n)
{
    for (INTEGER row = 1; row <= n; ++row) {
        const REAL v = values[row - 1];
        if (isMissingReal(v))
            WGridClearCell(field, column, row);
        else
            QFGRIDPUTCELLREAL(field, column, row, v);
    }
}

void QFGRIDPUTREALF(INTEGER field, INTEGER column, const REAL* values, INTEGER n, std::string_view format)
{
    const std::optional<std::string_view> given = formatArgument(format);
    const INTEGER count = std::max<INTEGER>(n, 0);
    const bool anyMissing = std::any_of(values, values + count, isMissingReal);
    if (!anyMissing) {
        WGridPutReal(field, column, std::vector<REAL>(values, values + count), count, given);
        return;
    }
    for (INTEGER row = 1; row <= count; ++row) {
        const REAL v = values[row - 1];
        if (isMissingReal(v))
            WGridClearCell(field, column, row);
        else
            WGridPutCellReal(field, column, row, v, given);
    }
}

void QFGRIDPUTREAL(INTEGER field, INTEGER column, const REAL* values, INTEGER n)
{
    QFGRIDPUTREALF(field, column, values, n, "");
}

void QFPUTREAL(INTEGER field, REAL value)
{
    if (isMissingReal(value))
        WDialogPutString(field, "Unknown");
    else
        WDialogPutReal(field, value, DialogRealFormatLadder(value));
}

void QFGRIDGETCELLREAL(INTEGER field, INTEGER column, INTEGER row, REAL& value)
{
    if (WInfoGridCell(field, column, row, 1) > 0) {
        REAL cell = kMissingReal;
        WGridGetCellReal(field, column, row, cell);
        value = cell;
    } else {
        value = kMissingReal;
    }
}

void QFGRIDGETREAL(INTEGER field, INTEGER column, REAL* values, INTEGER n)
{
    for (INTEGER row = 1; row <= n; ++row) QFGRIDGETCELLREAL(field, column, row, values[row - 1]);
}

INTEGER QFINFOGRIDCELLS(INTEGER field, INTEGER column, INTEGER n, LOGICAL fromEnd)
{
    if (isTrue(fromEnd)) {
        for (INTEGER row = n; row >= 1; --row)
            if (WInfoGridCell(field, column, row, 1) > 0) return row;
        return 0;
    }
    INTEGER leading = 0;
    while (leading < n && WInfoGridCell(field, column, leading + 1, 1) > 0) ++leading;
    return leading;
}

void PUTDLGSTRING(INTEGER field, std::string_view text, INTEGER n)
{
    if (n < 1) {
        WDialogPutString(field, " ");
        return;
    }
    WDialogPutString(field, text.substr(0, std::min<std::size_t>(static_cast<std::size_t>(n), text.size())));
}

void WDIALOGGETCHECKBOXL(INTEGER field, LOGICAL& state)
{
    INTEGER box = 0;
    WDialogGetCheckBox(field, box);
    state = toLogical(box > 0);
}

void WDIALOGPUTCHECKBOXL(INTEGER field, LOGICAL state) { WDialogPutCheckBox(field, isTrue(state) ? 1 : 0); }
