#include "toolkit/dialogs/GridPrintLayout.h"

#include <algorithm>
#include <cstdint>
#include <utility>

INTEGER YYGridUnitsPerInch(INTEGER units) { return units == kMarginInches ? 1000 : 2540; }

INTEGER YYGridConvertMargin(INTEGER value, INTEGER fromUnits, INTEGER toUnits)
{
    if (fromUnits == toUnits) return value;
    // Exact ratio 2540 / 1000 with rounding half away from zero.
    const std::int64_t numerator = static_cast<std::int64_t>(value) * YYGridUnitsPerInch(toUnits);
    const std::int64_t denominator = YYGridUnitsPerInch(fromUnits);
    const std::int64_t half = denominator / 2;
    const std::int64_t rounded = numerator >= 0 ? (numerator + half) / denominator : (numerator - half) / denominator;
    return static_cast<INTEGER>(rounded);
}

void YYGridMarginsToUnits(GridPageMargins& page, INTEGER units)
{
    if (page.units == units) return;
    for (INTEGER* v : {&page.left, &page.top, &page.right, &page.bottom, &page.paperWidth, &page.paperHeight})
        *v = YYGridConvertMargin(*v, page.units, units);
    page.units = units;
}

namespace {

INTEGER toPoints(const GridPageMargins& page, INTEGER value)
{
    return static_cast<INTEGER>(static_cast<std::int64_t>(value) * 72 / YYGridUnitsPerInch(page.units));
}

INTEGER fromPoints(const GridPageMargins& page, INTEGER points)
{
    return static_cast<INTEGER>(static_cast<std::int64_t>(points) * YYGridUnitsPerInch(page.units) / 72);
}

}  // namespace

INTEGER YYGridPageGet(const GridPageMargins& page, INTEGER code)
{
    switch (code) {
    case 1: return toPoints(page, page.right - page.left);
    case 2: return toPoints(page, page.bottom - page.top);
    case 3: return toPoints(page, page.left);
    case 4: return toPoints(page, page.top);
    case 5: return page.landscape ? 1 : 0;
    default: return 0;
    }
}

void YYGridPageSet(GridPageMargins& page, INTEGER code, INTEGER points)
{
    const INTEGER value = fromPoints(page, points);
    switch (code) {
    case 1: page.right = page.left + value; break;
    case 2: page.bottom = page.top + value; break;
    case 3: page.left = value; break;
    case 4: page.top = value; break;
    case 5: {
        if (points < 0 || points > 3) return;
        const INTEGER landscape = points % 2;
        if (landscape != page.landscape) {
            page.landscape = landscape;
            std::swap(page.paperWidth, page.paperHeight);
        }
        const INTEGER width = page.right - page.left, height = page.bottom - page.top;
        const bool exchange = (points == 2 && width > height) || (points == 3 && width < height);
        if (exchange) {
            page.right = page.left + height;
            page.bottom = page.top + width;
        }
        break;
    }
    default: break;
    }
}

INTEGER YYGridRowsPerPage(INTEGER pageHeight, INTEGER rowHeight, bool headerRow)
{
    if (rowHeight <= 0) return 1;
    const INTEGER rows = pageHeight / rowHeight - (headerRow ? 1 : 0);
    return std::max<INTEGER>(rows, 1);
}
