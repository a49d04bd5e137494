// The grid loader's text side on any bytes: fields split (with a small buffer too, so overlong
// fields are met), unquoted and placed into a grid of fuzzed size whose cells are bounds-checked,
// as the loader places them; no crash, and no field lands outside the grid's cells.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "toolkit/dialogs/GridFileText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const auto shape = input.take<std::uint8_t>();
    const INTEGER columns = 1 + (shape & 7), capacity = 1 + ((shape >> 3) & 15);
    const bool labelLine = (shape & 0x80) != 0, rowLabels = (shape & 0x40) != 0;
    const std::size_t limit = (input.take<std::uint8_t>() & 1) ? 32 : kGridCsvPiece;
    const std::string_view bytes = input.rest();

    std::vector<std::string> cells(static_cast<std::size_t>(columns * capacity));
    std::vector<std::string> columnLabels(static_cast<std::size_t>(columns + 1)), rowLabelTexts(static_cast<std::size_t>(capacity));
    INTEGER rows = 1;
    GridCsvPlacement place(columns, labelLine, rowLabels);
    bool stopped = false;
    const auto store = [&](std::string text, bool lineEnd) {
        if (stopped) return;
        if (place.row() >= rows && rows < capacity) ++rows;  // a growing grid
        const GridCsvTarget target = place.next(rows);
        switch (target.kind) {
        case GridCsvTarget::CornerLabel: columnLabels.at(0) = text; break;
        case GridCsvTarget::ColumnLabel: columnLabels.at(static_cast<std::size_t>(target.column + 1)) = text; break;
        case GridCsvTarget::RowLabel: rowLabelTexts.at(static_cast<std::size_t>(target.row)) = text; break;
        case GridCsvTarget::Cell:
            if (target.column < 0 || target.row < 0 || target.row >= rows) std::abort();
            cells.at(static_cast<std::size_t>(target.row * columns + target.column)) = text;
            break;
        case GridCsvTarget::Surplus:
            if (place.row() >= rows) stopped = true;
            break;
        }
        if (text.size() > bytes.size()) std::abort();
        place.advance(lineEnd);
    };
    GridCsvSplitter splitter(limit);
    // Fed in uneven pieces, as reads may come.
    std::size_t at = 0, piece = 1;
    while (at < bytes.size()) {
        if (!splitter.feed(bytes.substr(at, piece), store)) break;
        at += piece;
        piece = piece * 3 % 97 + 1;
    }
    splitter.finish(store);
    for (const std::string& cell : cells) {
        std::string quoted = YYCsvFieldOf(cell, true);
        if (YYCsvFieldText(quoted).size() > cell.size()) std::abort();
        YYCsvField(quoted, quoted.size());
    }
    YYHtmlEscape(bytes.substr(0, 256));
    return 0;
}
