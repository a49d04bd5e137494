#include "toolkit/dialogs/GridRowSort.h"

#include <algorithm>

int YYGridCompareKeys(const GridSortKey& a, const GridSortKey& b)
{
    if (a.isText || b.isText) {
        const std::size_t n = std::min(a.text.size(), b.text.size());
        for (std::size_t i = 0; i < n; ++i) {
            const auto x = static_cast<unsigned char>(a.text[i]), y = static_cast<unsigned char>(b.text[i]);
            if (x != y) return x < y ? -1 : 1;
        }
        return a.text.size() == b.text.size() ? 0 : (a.text.size() < b.text.size() ? -1 : 1);
    }
    if (a.number < b.number) return -1;
    if (b.number < a.number) return 1;
    return 0;
}

void YYGridSortRows(INTEGER first, INTEGER last, bool descending, const std::function<GridSortKey(INTEGER)>& keyOf,
                    const std::function<void(INTEGER, INTEGER)>& swap)
{
    // "Before" in the order asked for.
    const auto before = [descending](const GridSortKey& a, const GridSortKey& b) {
        const int order = YYGridCompareKeys(a, b);
        return descending ? order > 0 : order < 0;
    };
    while (first < last) {
        if (last - first < 6) {
            for (INTEGER i = first; i < last; ++i) {
                GridSortKey keyI = keyOf(i);
                for (INTEGER j = i + 1; j <= last; ++j) {
                    if (before(keyOf(j), keyI)) {
                        swap(i, j);
                        keyI = keyOf(i);
                    }
                }
            }
            return;
        }
        const GridSortKey pivot = keyOf(first);
        INTEGER i = first - 1, j = last + 1;
        for (;;) {
            GridSortKey keyI, keyJ;
            do keyI = keyOf(++i);
            while (before(keyI, pivot));
            do keyJ = keyOf(--j);
            while (before(pivot, keyJ));
            if (i >= j) break;
            if (YYGridCompareKeys(keyI, keyJ) != 0) swap(i, j);
        }
        const INTEGER k = i == j ? i + 1 : i;
        if (j - first < last - k) {
            YYGridSortRows(first, j, descending, keyOf, swap);
            first = k;
        } else {
            YYGridSortRows(k, last, descending, keyOf, swap);
            last = j;
        }
    }
}

bool YYGridTextHas(std::string_view text, std::string_view needle, bool ignoreCase)
{
    if (!ignoreCase) return text.find(needle) != std::string_view::npos;
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    const auto found = std::search(text.begin(), text.end(), needle.begin(), needle.end(),
                                   [&](char a, char b) { return upper(a) == upper(b); });
    return found != text.end() || needle.empty();
}
