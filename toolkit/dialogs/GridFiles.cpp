#include "toolkit/dialogs/GridFiles.h"

#include <algorithm>
#include <cctype>
#include <new>
#include <optional>
#include <vector>

#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/GridCellValues.h"
#include "toolkit/dialogs/GridPainting.h"
#include "toolkit/dialogs/GridSelection.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/NumberParse.h"
#include "toolkit/foundation/UnformattedFiles.h"
#include "toolkit/foundation/WorkFiles.h"

namespace {

GridRecord* addressed(INTEGER field, const char* routine)
{
    if (field != 0 && !YYCurrentDialog()) {
        YYErrorReport(1005, routine);
        return nullptr;
    }
    GridRecord* g = YYGridFind(field);
    if (!g) YYErrorReport(1006, routine);
    return g;
}

void reportFile(INTEGER number, INTEGER code, const char* routine)
{
    LibraryErrorState& state = libraryErrorState();
    state.FileDetailKind = 2;
    state.FileDetailCode = code;
    YYErrorReport(number, routine);
}

struct Range {
    INTEGER firstColumn, lastColumn, firstRow, lastRow;  // 0-based, inclusive
};

Range clampRange(const GridRecord& g, std::optional<INTEGER> c1, std::optional<INTEGER> c2, std::optional<INTEGER> r1,
                 std::optional<INTEGER> r2)
{
    return Range{std::max(c1.value_or(1), 1) - 1, std::min(c2.value_or(g.columns), g.columns) - 1,
                 std::max(r1.value_or(1), 1) - 1, std::min(r2.value_or(g.rows), g.rows) - 1};
}

// Writes the document to a work file beside the target, which replaces the target only when it
// was written whole: a failed save leaves the old file as it was.
bool writeReplacing(std::string_view filename, const std::string& document, const char* routine)
{
    std::string target(filename);
    while (!target.empty() && (target.back() == ' ' || target.back() == '\0')) target.pop_back();
    WorkFile work;
    const INTEGER failure = !work.createFor(target) ? 1 : work.write(document) && work.commit(target) ? 0 : 2;
    if (failure == 0) return true;
    reportFile(failure, work.error(), routine);
    YYUserFileFailure(target, failure);
    return false;
}

// Memory that ran out while a file's text was made or gathered is the routine's file error, told
// in the system's words (no exception leaves a public routine); a save's file stays as it was.
void reportNoMemory(std::string_view filename, const char* routine, bool save)
{
    reportFile(2, ERROR_NOT_ENOUGH_MEMORY, routine);
    if (!save) return;
    std::string target(filename);
    while (!target.empty() && (target.back() == ' ' || target.back() == '\0')) target.pop_back();
    YYUserFileFailure(target, 2);
}

// Holds the grid's redraw during a load and resumes it however the load ends.
class RedrawHeld {
public:
    explicit RedrawHeld(INTEGER field) : field_(field) { YYGridHoldRedraw(); }
    ~RedrawHeld() { YYGridResumeRedraw(field_); }
    RedrawHeld(const RedrawHeld&) = delete;
    RedrawHeld& operator=(const RedrawHeld&) = delete;

private:
    INTEGER field_;
};

std::string columnLabel(INTEGER field, INTEGER item)
{
    std::string text;
    INTEGER f = field;
    YYGridGetColumnLabel(f, item, text);
    return text;
}

std::string rowLabel(INTEGER field, INTEGER row)
{
    std::string text;
    INTEGER f = field;
    YYGridGetRowLabel(f, row, text);
    return text;
}

bool hasRowLabels(const GridRecord& g) { return g.rowLabels && g.hasStyle(kGridRowLabels); }

// The packed colour a cell is shown with: its own, else the column's, else the grid's; -1 none.
INTEGER cellColour(GridRecord& g, GridColumnRecord& col, INTEGER row, bool background)
{
    INTEGER colour = -1;
    if (col.hasColourBlock()) colour = background ? col.backColour(row) : col.textColour(row);
    if (colour == -1)
        if (const FieldRecord* proto = YYFieldRecordOf(col.prototype)) colour = background ? proto->backColour : proto->textColour;
    if (colour == -1)
        if (const FieldRecord* grid = YYFieldRecordOf(g.window)) colour = background ? grid->backColour : grid->textColour;
    return colour;
}

bool blank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

std::string upper(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

void YYGridHtmlLine(std::string& document, std::string_view text, INTEGER& status)
{
    if (status != 0) return;
    document.append(text);
    document.append("\r\n");
}

void WGridSave(INTEGER field, std::string_view filename, std::optional<INTEGER> firstColumn,
               std::optional<INTEGER> lastColumn, std::optional<INTEGER> firstRow, std::optional<INTEGER> lastRow,
               INTEGER options)
try {
    GridRecord* g = addressed(field, "WGridSave");
    if (!g) return;
    const Range range = clampRange(*g, firstColumn, lastColumn, firstRow, lastRow);
    const bool quote = (options & kCsvNoQuotes) == 0;
    const bool labels = (options & kCsvLabels) != 0;
    const bool rowLabels = labels && hasRowLabels(*g);
    std::string document, cell;
    const auto endField = [&](bool last) { document += last ? "\r\n" : ","; };
    if (labels && g->columnHeader) {
        if (hasRowLabels(*g)) {
            document += YYCsvFieldOf(columnLabel(field, 0), quote);
            endField(range.firstColumn > range.lastColumn);
        }
        for (INTEGER c = range.firstColumn; c <= range.lastColumn; ++c) {
            document += YYCsvFieldOf(columnLabel(field, c + 1), quote);
            endField(c == range.lastColumn);
        }
    }
    for (INTEGER r = range.firstRow; r <= range.lastRow; ++r) {
        if (rowLabels) {
            document += YYCsvFieldOf(rowLabel(field, r), quote);
            endField(range.firstColumn > range.lastColumn);
        }
        for (INTEGER c = range.firstColumn; c <= range.lastColumn; ++c) {
            GridColumnRecord* col = g->column(c);
            YYGridCellText(*g, c, r, cell, 0);
            switch (col ? col->kind : kCellText) {
            case kCellText: document += YYCsvFieldOf(cell, quote); break;
            case kCellMenu:
                if (!cell.empty()) document += YYCsvFieldOf(cell, quote);
                break;
            case kCellCheckBox: document += cell; break;
            default: document += cell.substr(0, 49); break;
            }
            endField(c == range.lastColumn);
        }
    }
    writeReplacing(filename, document, "WGridSave");
} catch (const std::bad_alloc&) {
    reportNoMemory(filename, "WGridSave", true);
}

void WGridLoad(INTEGER field, std::string_view filename, INTEGER grow, INTEGER options)
try {
    static constexpr const char* routine = "WGridLoad";
    GridRecord* g = addressed(field, routine);
    if (!g) return;

    const bool labelLine = (options & kCsvLabels) && g->columnHeader;
    const bool rowLabels = (options & kCsvLabels) && hasRowLabels(*g);
    // What the grid can take is read before any cell changes; the rest of a longer file is not.
    GridCsvCollector collected(g->columns, grow == 1 ? std::max(g->capacity, g->rows) : g->rows, labelLine, rowLabels);
    {
        HANDLE handle = INVALID_HANDLE_VALUE;
        IFileOpen(filename, kFileRead, handle);
        if (handle == INVALID_HANDLE_VALUE) return;
        FileHandle file(handle);
        std::vector<char> piece(kGridCsvPiece);
        for (;;) {
            INTEGER read = 0;
            IFileReadChar(file.get(), piece, static_cast<INTEGER>(piece.size()), read);
            if (read < 0) return;  // reported by the read
            if (read == 0) {
                collected.finish();
                break;
            }
            if (!collected.feed(std::string_view(piece.data(), static_cast<std::size_t>(read)))) break;
        }
        if (collected.overflowed()) {
            // A field that does not fit the read buffer can not be taken whole.
            reportFile(2, ERROR_INSUFFICIENT_BUFFER, routine);
            return;
        }
    }

    std::vector<INTEGER> kinds(static_cast<std::size_t>(g->columns));
    for (INTEGER c = 0; c < g->columns; ++c) kinds[static_cast<std::size_t>(c)] = g->column(c)->kind;

    const auto emptyCell = [&](INTEGER c, INTEGER r) {
        INTEGER f = field;
        if (kinds[static_cast<std::size_t>(c)] == kCellMenu) YYGridPutMenuIndex(f, c, r, 0);
        else YYGridClearCell(f, c, r, 0);
    };
    const auto storeCell = [&](INTEGER c, INTEGER r, const std::string& text) {
        INTEGER f = field;
        switch (kinds[static_cast<std::size_t>(c)]) {
        case kCellText: YYGridPutText(f, c, r, 0.0, text, ""); return;
        case kCellCheckBox: WGridPutCellCheckBox(field, c + 1, r + 1, upper(text) == "YES" ? 1 : 0); return;
        case kCellMenu: {
            if (blank(text)) {
                YYGridPutMenuIndex(f, c, r, 0);
                return;
            }
            INTEGER notFound = 0;
            YYGridSelectMenuText(f, c, r, notFound, text);
            if (notFound) {
                f = field;
                YYGridPutMenuIndex(f, c, r, 0);
                YYErrorReport(1055, routine);
            }
            return;
        }
        default: break;
        }
        // An empty number field empties its cell without a conversion error.
        if (blank(text)) {
            YYGridClearCell(f, c, r, 0);
            return;
        }
        LibraryErrorState& errors = libraryErrorState();
        const INTEGER before = errors.LastErrorNumber;
        errors.LastErrorNumber = 0;
        std::string format;
        YYGridColumnFormat(f, c, format);
        switch (kinds[static_cast<std::size_t>(c)]) {
        case kCellInteger: {
            INTEGER value = 0;
            IStringToInteger(text, value);
            if (errors.LastErrorNumber == 0) WGridPutCellInteger(field, c + 1, r + 1, value);
            break;
        }
        case kCellReal: {
            REAL value = 0.0f;
            IStringToReal(text, value);
            if (errors.LastErrorNumber == 0) WGridPutCellReal(field, c + 1, r + 1, value, format);
            break;
        }
        default: {
            DOUBLE value = 0.0;
            IStringToRealDouble(text, value);
            if (errors.LastErrorNumber == 0) WGridPutCellDouble(field, c + 1, r + 1, value, format);
            break;
        }
        }
        if (errors.LastErrorNumber != 0) {
            f = field;
            YYGridClearCell(f, c, r, 0);
        } else {
            errors.LastErrorNumber = before;
        }
    };

    std::optional<RedrawHeld> held(std::in_place, field);
    for (const GridCsvCollector::Item& item : collected.items()) {
        const GridCsvTarget& target = item.target;
        if (grow == 1) {
            while (target.row >= g->rows && g->rows < g->capacity) YYGridResizeRows(*g, g->rows + 1);
        }
        INTEGER f = field;
        switch (target.kind) {
        case GridCsvTarget::CornerLabel: YYGridSetColumnLabel(f, 0, item.text); break;
        case GridCsvTarget::ColumnLabel: YYGridSetColumnLabel(f, target.column + 1, item.text); break;
        case GridCsvTarget::RowLabel: YYGridSetRowLabel(f, target.row, item.text); break;
        case GridCsvTarget::Cell: storeCell(target.column, target.row, item.text); break;
        case GridCsvTarget::Surplus: break;
        }
        if (item.lineEnd) {
            // The rest of the line's columns are emptied (on the label line their labels).
            for (INTEGER c = std::max(target.column + 1, 0); c < g->columns; ++c) {
                if (target.row < 0) {
                    f = field;
                    YYGridSetColumnLabel(f, c + 1, "");
                } else if (target.row < g->rows) {
                    emptyCell(c, target.row);
                }
            }
        }
    }
    // Rows the file did not reach are emptied; the row count stays.
    for (INTEGER r = std::max(collected.nextRow(), 0); r < g->rows; ++r) {
        if (rowLabels) {
            INTEGER f = field;
            YYGridSetRowLabel(f, r, "");
        }
        for (INTEGER c = 0; c < g->columns; ++c) emptyCell(c, r);
    }
    held.reset();
    if (g->cellArea) InvalidateRect(g->cellArea, nullptr, TRUE);
    // What was left out is said last, so that the caller learns it.
    if (collected.surplusColumns() || collected.surplusRows()) YYErrorReport(1054, routine);
} catch (const std::bad_alloc&) {
    reportNoMemory(filename, "WGridLoad", false);
}

void WGridSaveHTML(INTEGER field, std::string_view filename, std::optional<INTEGER> firstColumn,
                   std::optional<INTEGER> lastColumn, std::optional<INTEGER> firstRow, std::optional<INTEGER> lastRow,
                   INTEGER options, std::optional<std::string_view> title, std::optional<INTEGER> border,
                   std::optional<INTEGER> background)
try {
    GridRecord* g = addressed(field, "WGridSaveHTML");
    if (!g) return;
    const Range range = clampRange(*g, firstColumn, lastColumn, firstRow, lastRow);
    std::string heading(title.value_or(""));
    while (!heading.empty() && heading.back() == ' ') heading.pop_back();
    heading = YYHtmlEscape(heading);
    const bool colours = (options & kHtmlNoColours) == 0;
    std::string document;
    INTEGER status = 0;
    const auto line = [&](std::string_view text) { YYGridHtmlLine(document, text, status); };
    const auto shown = [](std::string text) { return YYHtmlEscape(text.substr(0, std::min<std::size_t>(text.size(), 1024))); };

    if (!(options & kHtmlTableOnly)) {
        line("<html>");
        line("<head>");
        if (title) line("<title>" + heading + "</title>");
        line("</head>");
        line(background ? "<body bgcolor=#" + YYHtmlColour(*background) + ">" : std::string("<body>"));
    }
    if (options & kHtmlCentred) line("<center>");
    if (!heading.empty()) line("<h2>" + heading + "</h2>");
    line("<table border=" + std::to_string(std::max(border.value_or(0), 0)) + " cellpadding=5>");
    const bool labels = hasRowLabels(*g);
    if (g->columnHeader) {
        line("<tr>");
        if (labels) line("<td></td>");
        for (INTEGER c = range.firstColumn; c <= range.lastColumn; ++c) {
            line("<td align=center>");
            line(shown(columnLabel(field, c + 1)));
            line("</td>");
        }
        line("</tr>");
    }
    static constexpr const char* alignments[] = {"left", "center", "right"};
    std::string cell;
    for (INTEGER r = range.firstRow; r <= range.lastRow; ++r) {
        line("<tr>");
        if (labels) {
            line("<td align=left>");
            line(shown(rowLabel(field, r)));
            line("</td>");
        }
        for (INTEGER c = range.firstColumn; c <= range.lastColumn; ++c) {
            GridColumnRecord* col = g->column(c);
            INTEGER f = field, alignment = 0;
            YYGridColumnAlignment(f, c, alignment);
            std::string open = std::string("<td align=") + alignments[std::clamp(alignment, 0, 2)];
            const INTEGER back = colours ? cellColour(*g, *col, r, true) : -1;
            const INTEGER text = colours ? cellColour(*g, *col, r, false) : -1;
            if (back != -1) open += " bgcolor=#" + YYHtmlColour(back);
            line(open + ">");
            if (text != -1) line("<font color=#" + YYHtmlColour(text) + ">");
            YYGridCellText(*g, c, r, cell, 0);
            if (col->kind == kCellCheckBox) {
                const bool checked = cell == "Yes";
                if (options & kHtmlCheckLetters) line(checked ? "Y" : "N");
                else line(checked ? "<font face=\"Symbol\">&middot;</font>" : "&nbsp;");
            } else if (col->kind == kCellMenu && cell.empty()) {
                line(" ");
            } else {
                line(shown(cell));
            }
            if (text != -1) line("</font>");
            line("</td>");
        }
        line("</tr>");
    }
    line("</table>");
    if (options & kHtmlCentred) line("</center>");
    if (!(options & kHtmlTableOnly)) {
        line("</body>");
        line("</html>");
    }
    writeReplacing(filename, document, "WGridSaveHTML");
} catch (const std::bad_alloc&) {
    reportNoMemory(filename, "WGridSaveHTML", true);
}
