// The text side of the grid files without windows: quoting and unquoting of comma-separated
// fields, the reader that splits file bytes into fields and lines, the placement of each field in
// a grid of a given size, and the escaping and colours of the HTML table writer.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"

// Options of WGridSave and WGridLoad.
enum GridCsvOption : INTEGER { kCsvNoQuotes = 1, kCsvLabels = 2 };
// Options of WGridSaveHTML.
enum GridHtmlOption : INTEGER { kHtmlTableOnly = 1, kHtmlCentred = 2, kHtmlCheckLetters = 4, kHtmlNoColours = 8 };

// The reader's buffer: a field must fit into it whole.
inline constexpr std::size_t kGridCsvPiece = 65000;
// One written field with its quotes and separator.
inline constexpr std::size_t kGridCsvFieldLimit = 32768;

// Toolkit-internal

// Doubles every double quote of the text, keeping at most capacity characters.
void YYCsvQuote(std::string& text, std::size_t capacity);
// Collapses each pair of double quotes into one and blank-fills the text back to length
// characters (at least its own length).
void YYCsvField(std::string& text, std::size_t length);
// A field's text as read from the file (its CR before the line feed already gone): the enclosing
// quotes are removed and the doubled quotes between them collapsed only when the field starts and
// ends with a quote, so a quote inside an unquoted field stays; trailing blanks are dropped,
// leading blanks kept.
std::string YYCsvFieldText(std::string_view raw);
// The text of a label, text cell or menu option as a field: quoted unless option 1.
std::string YYCsvFieldOf(std::string_view text, bool quote);

// Splits file bytes into fields: a field ends at a line feed, which also ends the line, or at a
// comma outside quotes (in a field that starts with a double quote, one preceded within the field
// by an even number of them). A field that grows past
// the buffer stops the reader. The end of the file ends the last line even without a line feed.
class GridCsvSplitter {
public:
    explicit GridCsvSplitter(std::size_t limit = kGridCsvPiece) : limit_(limit) {}
    // Hands each complete field to sink(text, lineEnd); false once a field outgrew the buffer.
    template <class Sink>
    bool feed(std::string_view bytes, Sink&& sink)
    {
        if (overflow_) return false;
        for (const char c : bytes) {
            if (c == '\n' || (c == ',' && quotes_ % 2 == 0)) {
                emit(sink, c == '\n');
                continue;
            }
            // Only a field that starts with a quote is quoted; in any other a quote is a character.
            if (c == '"' && (quotes_ > 0 || field_.empty())) ++quotes_;
            field_.push_back(c);
            if (field_.size() > limit_) {
                overflow_ = true;
                return false;
            }
        }
        return true;
    }
    // The end of the file: text after the last line feed is the last line.
    template <class Sink>
    void finish(Sink&& sink)
    {
        if (!overflow_ && (!field_.empty() || midLine_)) emit(sink, true);
    }
    bool overflowed() const { return overflow_; }

private:
    template <class Sink>
    void emit(Sink& sink, bool lineEnd)
    {
        std::string_view raw = field_;
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        sink(YYCsvFieldText(raw), lineEnd);
        field_.clear();
        quotes_ = 0;
        midLine_ = !lineEnd;
    }
    std::size_t limit_;
    std::string field_;
    std::size_t quotes_ = 0;
    bool midLine_ = false;
    bool overflow_ = false;
};

// Where each field of a loaded file goes in a grid of columns x rows (0-based positions).
struct GridCsvTarget {
    enum Kind { CornerLabel, ColumnLabel, RowLabel, Cell, Surplus };
    Kind kind = Surplus;
    INTEGER column = 0;  // ColumnLabel, Cell
    INTEGER row = 0;     // RowLabel, Cell
};

class GridCsvPlacement {
public:
    // labelLine: the first line holds column labels; rowLabels: every line starts with a label.
    GridCsvPlacement(INTEGER columns, bool labelLine, bool rowLabels)
        : columns_(columns), firstColumn_(rowLabels ? -1 : 0), row_(labelLine ? -1 : 0), column_(firstColumn_)
    {
    }
    // The target of the next field against the grid's present row count.
    GridCsvTarget next(INTEGER rows) const;
    // After the field: a line end starts the next row.
    void advance(bool lineEnd);
    INTEGER row() const { return row_; }
    INTEGER column() const { return column_; }
    // The columns after the current one on the line just ended (to be emptied): from this column on.
    INTEGER columns() const { return columns_; }

private:
    INTEGER columns_;
    INTEGER firstColumn_;
    INTEGER row_;
    INTEGER column_;
};

// The fields of a loaded file that a grid can take, gathered before any cell changes (so that a
// failed read leaves the grid as it was) and no more: memory follows what the grid keeps, not the
// file's size. Fields past the last column are left out; the first line past the last row the grid
// can have ends the reading, as nothing after it can be taken.
class GridCsvCollector {
public:
    struct Item {
        GridCsvTarget target;
        std::string text;
        bool lineEnd = false;
    };
    // maxRows: the rows the grid has, or may grow to.
    GridCsvCollector(INTEGER columns, INTEGER maxRows, bool labelLine, bool rowLabels)
        : placement_(columns, labelLine, rowLabels), maxRows_(maxRows)
    {
    }
    // Takes the next piece of the file; false once nothing more can be taken (lines past the
    // grid's rows, or a field that outgrew the reader's buffer).
    bool feed(std::string_view piece);
    // The end of the file.
    void finish();
    const std::vector<Item>& items() const { return items_; }
    // The row after the last line taken (from it on the grid's rows are emptied).
    INTEGER nextRow() const { return placement_.row(); }
    bool surplusColumns() const { return surplusColumns_; }
    bool surplusRows() const { return surplusRows_; }
    bool overflowed() const { return splitter_.overflowed(); }

private:
    void take(std::string text, bool lineEnd);
    GridCsvSplitter splitter_;
    GridCsvPlacement placement_;
    INTEGER maxRows_;
    std::vector<Item> items_;
    bool surplusColumns_ = false;
    bool surplusRows_ = false;
};

// Escapes &, <, > and " so that a text cannot break or inject markup.
std::string YYHtmlEscape(std::string_view text);
// A packed RGB colour (red + 256 green + 65536 blue) as six lower-case hexadecimal digits in the
// order red, green, blue.
std::string YYHtmlColour(INTEGER packed);
