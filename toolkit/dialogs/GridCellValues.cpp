#include "toolkit/dialogs/GridCellValues.h"
#include "toolkit/dialogs/GridEditor.h"

#include "toolkit/foundation/CommonControls.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/GridCellEditor.h"
#include "toolkit/dialogs/GridPainting.h"
#include "toolkit/dialogs/GridSelection.h"
#include "toolkit/dialogs/GridSetUp.h"
#include "toolkit/dialogs/NumericEdits.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/NumberParse.h"
#include "toolkit/foundation/ToolkitStartUp.h"
#include "toolkit/foundation/WindowSlots.h"

namespace {

bool blank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

std::string trimRight(std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
    return std::string(text);
}

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string editorText(HWND editor, std::size_t limit)
{
    std::string text(limit + 1, '\0');
    GetWindowTextA(editor, text.data(), static_cast<int>(text.size()));
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

bool isCurrentWithEditor(const GridRecord& g, INTEGER c, INTEGER r)
{
    return g.editor && c == g.currentColumn && r == g.currentRow;
}

// The grid a cell-layer call addresses and the column; field := -1 or -2 when there is none.
GridRecord* gridAndColumn(INTEGER& field, INTEGER column, GridColumnRecord*& col)
{
    GridRecord* g = YYGridFind(field);
    if (!g) {
        field = -1;
        return nullptr;
    }
    col = g->column(column);
    if (!col) {
        field = -2;
        return nullptr;
    }
    return g;
}

// As gridAndColumn, also checking the row against the row count (mode 0) or the capacity.
GridRecord* gridCell(INTEGER& field, INTEGER column, INTEGER row, GridColumnRecord*& col, bool againstCapacity = false)
{
    GridRecord* g = gridAndColumn(field, column, col);
    if (!g) return nullptr;
    if (row < 0 || row >= (againstCapacity ? g->capacity : g->rows)) {
        field = -2;
        return nullptr;
    }
    return g;
}

void redraw(GridRecord& g, INTEGER column, INTEGER row) { YYGridRedrawCell(g, column, row, gridState().redrawOn != 0); }

// Fills the editor without raising change notices.
void editorSetText(HWND editor, const std::string& text)
{
    gridState().editorLoading = 1;
    SetWindowTextA(editor, text.c_str());
    gridState().editorLoading = 0;
}

bool noDialog(INTEGER field, const char* routine)
{
    if (field == 0 || YYCurrentDialog()) return false;
    YYErrorReport(1005, routine);
    return true;
}

// Turns a cell-layer status into its error; true when there was one.
bool failed(INTEGER status, const char* routine)
{
    if (status == -1) YYErrorReport(1006, routine);
    else if (status == -2) YYErrorReport(1017, routine);
    else return false;
    return true;
}

std::string columnFormat(INTEGER field, INTEGER column)
{
    std::string format;
    INTEGER f = field;
    YYGridColumnFormat(f, column, format);
    return format;
}

// The one cell put behind the integer, real and double entries.
void cellPut(INTEGER field, INTEGER column, INTEGER row, DOUBLE value, bool integer,
             std::optional<std::string_view> format, const char* routine)
{
    if (noDialog(field, routine)) return;
    INTEGER f = field, first = 0;
    YYGridInfo(f, kGridInfoFirstRow, first);
    if (f == -1) {
        YYErrorReport(1006, routine);
        return;
    }
    std::string useFormat;
    if (!integer) {
        useFormat = format && !blank(*format) ? trimRight(*format) : columnFormat(field, column - 1);
        if (useFormat.size() > 50) useFormat.resize(50);
    }
    f = field;
    YYGridCheckValue(f, column - 1, value);
    if (f == -3) {
        YYErrorReport(1009, routine);
        return;
    }
    if (failed(f, routine)) return;
    const std::string text = integer ? YYGridIntegerText(YYGridClampInteger(value)) : YYGridNumberText(value, useFormat);
    f = field;
    YYGridPutText(f, column - 1, row - 1, value, text, useFormat);
    // A put that stores nothing says so, rather than passing for a success.
    if (f == -2) YYErrorReport(1017, routine);
}

// The single-cell layer entries that only need the status turned into an error.
template <class Call>
void cellCall(INTEGER field, const char* routine, Call call)
{
    if (noDialog(field, routine)) return;
    INTEGER f = field;
    call(f);
    failed(f, routine);
}

void putColour(GridRecord& g, INTEGER column, INTEGER row, bool background, INTEGER red, INTEGER green, INTEGER blue)
{
    g.column(column)->setColour(row, background, red, green, blue);
    if (isCurrentWithEditor(g, column, row)) {
        if (FieldRecord* editor = YYFieldRecordOf(g.editor)) {
            INTEGER& target = background ? editor->backColour : editor->textColour;
            if (red == 256) target = -1;
            else if (red != -1) target = YYGridPackRgb(red, green, blue);
        }
        InvalidateRect(g.editor, nullptr, TRUE);
    }
}

INTEGER fieldKindOf(INTEGER kind)
{
    static constexpr INTEGER kinds[] = {kFieldString, kFieldInteger, kFieldReal, kFieldDouble, kFieldCheckBox, kFieldMenu};
    return kind >= 0 && kind <= 5 ? kinds[kind] : kFieldString;
}

}  // namespace

GridEditorLeftovers& gridEditorLeftovers()
{
    static GridEditorLeftovers leftovers;
    return leftovers;
}

GridRecord* YYGridFind(INTEGER field)
{
    // Field 0: the grid of the current window when it is a grid editor.
    HWND control = field == 0 ? YYGridEditorCurrentGrid() : YYDialogField(YYCurrentDialog(), field);
    GridRecord* g = YYGridRecordOf(control);
    return g && g->initialised ? g : nullptr;
}

// ---- cell layer ----

void YYGridClearCell(INTEGER& field, INTEGER column, INTEGER row, INTEGER mode)
{
    GridColumnRecord* col = nullptr;
    GridRecord* g = gridCell(field, column, row, col, mode != 0);
    if (!g) return;
    YYGridClearSelection(g->window);
    if (col->kind == kCellMenu && mode != 2) {
        field = -2;
        return;
    }
    col->clear(row, 0);
    if (isCurrentWithEditor(*g, column, row)) {
        if (col->kind == kCellCheckBox) {
            SendMessageA(g->editor, BM_SETCHECK, BST_UNCHECKED, 0);
        } else if (col->kind == kCellMenu) {
            SendMessageA(g->editor, CB_SETCURSEL, 0, 0);
        } else {
            editorSetText(g->editor, "");
            SendMessageA(g->editor, EM_SETMODIFY, FALSE, 0);
            if (FieldRecord* e = YYFieldRecordOf(g->editor)) e->value = 0.0, e->hasValue = 0;
        }
    }
    g->markChanged();
    redraw(*g, column, row);
}

void YYGridClearMenu(INTEGER& field, INTEGER column, INTEGER row)
{
    GridColumnRecord* col = nullptr;
    GridRecord* g = gridAndColumn(field, column, col);
    if (!g) return;
    if (col->kind != kCellMenu) {
        field = -1;
        return;
    }
    SendMessageA(col->prototype, CB_RESETCONTENT, 0, 0);
    if (isCurrentWithEditor(*g, column, row)) SendMessageA(g->editor, CB_RESETCONTENT, 0, 0);
}

void YYGridAddMenuItem(INTEGER& field, INTEGER column, INTEGER row, std::string_view text)
{
    GridColumnRecord* col = nullptr;
    GridRecord* g = gridAndColumn(field, column, col);
    if (!g) return;
    if (col->kind != kCellMenu) {
        field = -1;
        return;
    }
    const std::string item(text);
    if (SendMessageA(col->prototype, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())) < 0) {
        field = -3;
        return;
    }
    if (isCurrentWithEditor(*g, column, row)) SendMessageA(g->editor, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void YYGridGetMenuItem(INTEGER& field, INTEGER column, INTEGER option, std::string& text)
{
    text.clear();
    GridColumnRecord* col = nullptr;
    GridRecord* g = gridAndColumn(field, column, col);
    if (!g) return;
    const LRESULT length = SendMessageA(col->prototype, CB_GETLBTEXTLEN, static_cast<WPARAM>(option - 1), 0);
    if (length < 0) {
        field = -2;
        return;
    }
    text.assign(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(col->prototype, CB_GETLBTEXT, static_cast<WPARAM>(option - 1), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
}

void YYGridSelectMenuText(INTEGER& field, INTEGER column, INTEGER row, INTEGER& notFound, std::string_view text)
{
    GridColumnRecord* col = nullptr;
    GridRecord* g = gridCell(field, column, row, col);
    if (!g) return;
    notFound = 0;
    INTEGER option = -1;
    const LRESULT count = SendMessageA(col->prototype, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count && option < 0; ++i) {
        INTEGER f = field;
        std::string item;
        YYGridGetMenuItem(f, column, static_cast<INTEGER>(i + 1), item);
        if (sameIgnoringCase(item, text)) option = static_cast<INTEGER>(i);
    }
    if (option < 0) {
        option = 0;
        notFound = 1;
    }
    col->setNumber(row, option);
    if (isCurrentWithEditor(*g, column, row)) SendMessageA(g->editor, CB_SETCURSEL, static_cast<WPARAM>(option), 0);
    redraw(*g, column, row);
}

void YYGridGetCheck(INTEGER& field, INTEGER column, INTEGER row, INTEGER& state)
{
    GridColumnRecord* col = nullptr;
    GridRecord* g = gridCell(field, column, row, col);
    if (!g || col->kind != kCellCheckBox) return;  // another kind leaves the answer as it was
    if (isCurrentWithEditor(*g, column, row)) state = SendMessageA(g->editor, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    else state = col->integer(row);
}

void YYGridPutCheck(INTEGER& field, INTEGER column, INTEGER row, INTEGER state)
{
    GridColumnRecord* col = nullptr;
    GridRecord* g = gridCell(field, column, row, col);
    if (!g) return;
    if (col->kind != kCellCheckBox) {
        field = -2;
        return;
    }
    YYGridClearSelection(g->window);
    col->setNumber(row, state);
    if (isCurrentWithEditor(*g, column, row)) SendMessageA(g->editor, BM_SETCHECK, state == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    else redraw(*g, column, row);
    g->markChanged();
}

void YYGridGetMenuIndex(INTEGER& field, INTEGER column, INTEGER row, INTEGER& option)
{
    GridColumnRecord* col = nullptr;
    GridRecord* g = gridCell(field, column, row, col);
    if (!g || col->kind != kCellMenu) return;
    if (isCurrentWithEditor(*g, column, row)) option = static_cast<INTEGER>(SendMessageA(g->editor, CB_GETCURSEL, 0, 0)) + 1;
    else option = col->integer(row) + 1;
}

void YYGridPutMenuIndex(INTEGER& field, INTEGER column, INTEGER row, INTEGER option)
{
    GridColumnRecord* col = nullptr;
    GridRecord* g = gridCell(field, column, row, col);
    if (!g) return;
    if (col->kind != kCellMenu) {
        field = -2;
        return;
    }
    YYGridClearSelection(g->window);
    col->setNumber(row, option - 1);
    if (isCurrentWithEditor(*g, column, row)) SendMessageA(g->editor, CB_SETCURSEL, static_cast<WPARAM>(option - 1), 0);
    else redraw(*g, column, row);
    g->markChanged();
}

void YYGridGetText(INTEGER& field, INTEGER column, INTEGER row, std::string& text)
{
    text.clear();
    GridColumnRecord* col = nullptr;
    GridRecord* g = gridCell(field, column, row, col);
    if (!g) return;
    if (!YYGridTextKind(col->kind)) {
        field = -2;
        return;
    }
    YYGridCellText(*g, column, row, text, 0);
}

void YYGridGetDouble(INTEGER& field, INTEGER column, INTEGER row, DOUBLE& value)
{
    GridColumnRecord* col = nullptr;
    GridRecord* g = gridCell(field, column, row, col);
    if (!g) return;
    if (!YYGridTextKind(col->kind)) {
        field = -2;
        return;
    }
    if (col->kind == kCellText || isCurrentWithEditor(*g, column, row)) {
        const bool live = isCurrentWithEditor(*g, column, row);
        const std::string text = live ? YYDecimalToParser(editorText(g->editor, 255)) : col->text(row);
        if (blank(text)) {
            field = -3;
            return;
        }
        const FieldRecord* editor = live ? YYFieldRecordOf(g->editor) : nullptr;
        if (col->kind != kCellText && editor && !SendMessageA(g->editor, EM_GETMODIFY, 0, 0)) value = editor->value;
        else YYParseNumber(value, text);
        return;
    }
    if (!(col->flags[static_cast<std::size_t>(row)] & kCellValuePresent)) {
        field = -3;
        return;
    }
    value = col->number(row);
}

void YYGridPutText(INTEGER& field, INTEGER column, INTEGER row, DOUBLE value, std::string_view text, std::string_view format)
{
    GridColumnRecord* col = nullptr;
    GridRecord* g = gridCell(field, column, row, col);
    if (!g) return;
    if (!YYGridTextKind(col->kind)) {
        field = -2;
        return;
    }
    YYGridClearSelection(g->window);
    const std::string shown(text);
    DOUBLE number = value;
    if (col->kind != kCellText && value == 0.0) YYParseNumber(number, shown);
    FieldRecord* proto = YYFieldRecordOf(col->prototype);
    if (proto && (col->kind == kCellReal || col->kind == kCellDouble) && !format.empty() &&
        (!proto->format || !sameIgnoringCase(*proto->format, format))) {
        // A format belongs to the column: every cell shows the last put's format.
        proto->format = std::make_shared<std::string>(format);
        if (g->editor && g->currentColumn == column)
            if (FieldRecord* e = YYFieldRecordOf(g->editor)) e->format = proto->format;
        if (g->cellArea) InvalidateRect(g->cellArea, nullptr, TRUE);
    }
    if (isCurrentWithEditor(*g, column, row)) {
        editorSetText(g->editor, col->kind == kCellText ? shown : YYDecimalToLocale(shown));
        if (FieldRecord* e = YYFieldRecordOf(g->editor)) {
            e->value = number;
            e->hasValue = blank(shown) ? 0 : 1;
        }
        SendMessageA(g->editor, EM_SETMODIFY, FALSE, 0);
    }
    if (col->kind == kCellText) col->setText(row, shown);
    else col->setNumber(row, number);
    unsigned char& flags = col->flags[static_cast<std::size_t>(row)];
    if (!shown.empty()) flags |= kCellValuePresent;
    else flags &= static_cast<unsigned char>(~kCellValuePresent);
    if (!blank(shown)) flags |= kCellHadValue;
    else flags &= static_cast<unsigned char>(~kCellHadValue);
    g->markChanged();
    redraw(*g, column, row);
}

void YYGridColumnFormat(INTEGER& field, INTEGER column, std::string& format)
{
    format = std::string(kGridDefaultFormat);
    GridColumnRecord* col = nullptr;
    if (!gridAndColumn(field, column, col)) return;
    const FieldRecord* proto = YYFieldRecordOf(col->prototype);
    if ((col->kind == kCellReal || col->kind == kCellDouble) && proto && proto->format && !proto->format->empty())
        format = *proto->format;
}

bool YYGridRangeTest(HWND prototype, DOUBLE value)
{
    const FieldRecord* proto = YYFieldRecordOf(prototype);
    return proto && proto->minimum <= proto->maximum && (value < proto->minimum || value > proto->maximum);
}

void YYGridCheckValue(INTEGER& field, INTEGER column, DOUBLE value)
{
    GridColumnRecord* col = nullptr;
    if (!gridAndColumn(field, column, col)) return;
    // An integer cell can not hold what the INTEGER range can not: refused like a value outside the limits.
    if ((col->kind == kCellInteger && !YYGridFitsInteger(value)) || YYGridRangeTest(col->prototype, value)) field = -3;
}

void YYGridSetColumnLabel(INTEGER& field, INTEGER item, std::string_view text)
{
    GridRecord* g = YYGridFind(field);
    if (!g) {
        field = -1;
        return;
    }
    if (!g->columnHeader) return;
    std::string label(text);
    HDITEMA header{};
    header.mask = HDI_TEXT;
    header.pszText = label.data();
    SendMessageA(g->columnHeader, HDM_SETITEMA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&header));
}

void YYGridGetColumnLabel(INTEGER& field, INTEGER item, std::string& text)
{
    text.clear();
    GridRecord* g = YYGridFind(field);
    if (!g) {
        field = -1;
        return;
    }
    if (!g->columnHeader) return;
    char buffer[1025] = {};
    HDITEMA header{};
    header.mask = HDI_TEXT;
    header.pszText = buffer;
    header.cchTextMax = sizeof buffer;
    if (SendMessageA(g->columnHeader, HDM_GETITEMA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&header))) text = buffer;
}

void YYGridSetRowLabel(INTEGER& field, INTEGER row, std::string_view text)
{
    GridRecord* g = YYGridFind(field);
    if (!g) {
        field = -1;
        return;
    }
    if (!g->rowLabels || row < 0 || row >= static_cast<INTEGER>(g->rowLabels->size())) return;
    (*g->rowLabels)[static_cast<std::size_t>(row)] = std::string(text.substr(0, 50));
    YYGridRefreshRowLabels(*g);
}

void YYGridGetRowLabel(INTEGER& field, INTEGER row, std::string& text)
{
    text.clear();
    GridRecord* g = YYGridFind(field);
    if (!g) {
        field = -1;
        return;
    }
    if (g->rowLabels && row >= 0 && row < static_cast<INTEGER>(g->rowLabels->size()))
        text = (*g->rowLabels)[static_cast<std::size_t>(row)];
}

void YYGridSetCellColours(INTEGER& field, INTEGER column, INTEGER row, INTEGER textRed, INTEGER textGreen,
                          INTEGER textBlue, INTEGER backRed, INTEGER backGreen, INTEGER backBlue)
{
    GridColumnRecord* col = nullptr;
    GridRecord* g = gridCell(field, column, row, col, true);
    if (!g) return;
    if (!col->hasColourBlock()) {
        const FieldRecord* proto = YYFieldRecordOf(col->prototype);
        if (!col->makeColourBlock(proto ? proto->textColour : -1, proto ? proto->backColour : -1)) {
            field = -3;
            return;
        }
    }
    putColour(*g, column, row, false, textRed, textGreen, textBlue);
    putColour(*g, column, row, true, backRed, backGreen, backBlue);
    redraw(*g, column, row);
}

void YYGridGetCellColours(INTEGER& field, INTEGER column, INTEGER row, INTEGER& textRed, INTEGER& textGreen,
                          INTEGER& textBlue, INTEGER& backRed, INTEGER& backGreen, INTEGER& backBlue)
{
    GridColumnRecord* col = nullptr;
    GridRecord* g = gridCell(field, column, row, col, true);
    if (!g) return;
    INTEGER text = -1, back = -1;
    if (col->hasColourBlock()) {
        text = col->textColour(row);
        back = col->backColour(row);
    } else {
        const FieldRecord* proto = YYFieldRecordOf(col->prototype);
        const FieldRecord* own = YYFieldRecordOf(g->window);
        text = proto ? proto->textColour : -1;
        back = proto ? proto->backColour : -1;
        if (text == -1 && own) text = own->textColour;
        if (back == -1 && own) back = own->backColour;
    }
    const auto split = [](INTEGER colour, INTEGER& r, INTEGER& gr, INTEGER& b) {
        if (colour == -1) r = gr = b = -1;
        else r = colour & 0xFF, gr = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
    };
    split(text, textRed, textGreen, textBlue);
    split(back, backRed, backGreen, backBlue);
}

void YYGridInfo(INTEGER& field, INTEGER code, INTEGER& value)
{
    if (field == -2) {
        if (code == kGridInfoUnchangedSinceSave) value = gridEditorLeftovers().unchangedSinceSave;
        else if (code == kGridInfoChangedSinceLoad) value = gridEditorLeftovers().changedSinceLoad;
        return;
    }
    GridRecord* g = YYGridFind(field);
    if (!g) {
        field = -1;
        return;
    }
    const auto selected = [&](INTEGER bound) { return g->hasSelection() ? bound + 1 : 0; };
    switch (code) {
    case kGridInfoColumns: value = g->columns; break;
    case kGridInfoCapacity: value = g->capacity; break;
    case kGridInfoRows: value = g->rows; break;
    case kGridInfoCurrentColumn: value = g->currentColumn + 1; break;
    case kGridInfoCurrentRow: value = g->currentRow + 1; break;
    case kGridInfoUnchangedSinceSave: value = 1 - g->changedSinceSave; break;
    case kGridInfoChangedSinceLoad: value = g->changedSinceLoad; break;
    case kGridInfoFirstColumn: value = g->firstColumn + 1; break;
    case kGridInfoFirstRow: value = g->firstRow + 1; break;
    case kGridInfoSelFirstColumn: value = selected(g->selFirstColumn); break;
    case kGridInfoSelFirstRow: value = selected(g->selFirstRow); break;
    case kGridInfoSelLastColumn: value = selected(g->selLastColumn); break;
    case kGridInfoSelLastRow: value = selected(g->selLastRow); break;
    case kGridInfoRowsOnScreen: value = g->rowSlotsMade; break;
    case kGridInfoTemplateColumns: value = g->templateColumns; break;
    default: break;
    }
}

void YYGridSetCurrent(INTEGER& field, INTEGER column, INTEGER row, INTEGER caret)
{
    GridColumnRecord* col = nullptr;
    GridRecord* g = gridCell(field, column, row, col);
    if (!g) return;
    YYGridClearSelection(g->window);
    HWND dialog = GetParent(g->window);
    if (IsWindowVisible(dialog) && IsWindowEnabled(dialog)) {
        SetFocus(dialog);
        YYGridMoveCell(g->window, column, row, true, false);
        SetFocus(g->window);
        if (caret >= 0 && g->editor && YYGridTextKind(col->kind)) SendMessageA(g->editor, EM_SETSEL, caret, caret);
    } else {
        YYGridMoveCell(g->window, column, row, false, false);
    }
}

void YYGridSetRows(INTEGER& field, INTEGER rows)
{
    GridRecord* g = YYGridFind(field);
    if (!g) {
        field = -1;
        return;
    }
    YYGridResizeRows(*g, rows);
    // The grid editor's window follows its grid.
    if (field == 0)
        if (GridEditorRecord* editor = YYGridEditorRecord(GetParent(g->window))) YYGridWindowSize(*editor);
}

void YYGridProtectCell(INTEGER& field, INTEGER column, INTEGER row, INTEGER state)
{
    GridColumnRecord* col = nullptr;
    GridRecord* g = gridCell(field, column, row, col, true);
    if (!g) return;
    unsigned char& flags = col->flags[static_cast<std::size_t>(row)];
    if (state == 1) flags &= static_cast<unsigned char>(~kCellProtected);
    else flags |= kCellProtected;
    if (isCurrentWithEditor(*g, column, row)) YYCellEditReadOnly(g->editor, col->kind, state != 1, true);
    redraw(*g, column, row);
}

void YYGridColumnKind(INTEGER& field, INTEGER column, INTEGER& kind)
{
    GridColumnRecord* col = nullptr;
    if (gridAndColumn(field, column, col)) kind = fieldKindOf(col->kind);
}

void YYGridTextLength(INTEGER& field, INTEGER column, INTEGER& length)
{
    GridColumnRecord* col = nullptr;
    if (!gridAndColumn(field, column, col)) return;
    if (col->kind != kCellText) field = -2;
    else length = col->textLength + 1;
}

void YYGridLabelInfo(INTEGER& field, INTEGER& header, INTEGER& labelWidth)
{
    GridRecord* g = YYGridFind(field);
    if (!g) {
        field = -1;
        return;
    }
    header = g->columnHeader ? 1 : 0;
    labelWidth = g->rowLabels ? g->labelWidth : 0;
}

void YYGridColumnAlignment(INTEGER& field, INTEGER column, INTEGER& alignment)
{
    GridColumnRecord* col = nullptr;
    if (!gridAndColumn(field, column, col)) return;
    const LONG style = GetWindowLongA(col->prototype, GWL_STYLE);
    if (col->kind == kCellCheckBox) alignment = 1;
    else if (col->kind == kCellMenu) alignment = 0;
    else alignment = (style & ES_RIGHT) ? 2 : (style & ES_CENTER) ? 1 : 0;
}

void YYGridClearAll(HWND grid, bool removeOptions)
{
    GridRecord* g = YYGridRecordOf(grid);
    if (!g || !g->columnTable) return;
    YYGridClearSelection(grid);
    if (g->editor) {
        const INTEGER kind = g->column(g->currentColumn)->kind;
        if (kind == kCellCheckBox) SendMessageA(g->editor, BM_SETCHECK, BST_UNCHECKED, 0);
        else if (kind == kCellMenu) {
            if (removeOptions) SendMessageA(g->editor, CB_RESETCONTENT, 0, 0);
            else SendMessageA(g->editor, CB_SETCURSEL, 0, 0);
        } else {
            editorSetText(g->editor, "");
            SendMessageA(g->editor, EM_SETMODIFY, FALSE, 0);
            if (FieldRecord* e = YYFieldRecordOf(g->editor)) e->value = 0.0, e->hasValue = 0;
        }
    }
    for (GridColumnRecord& col : *g->columnTable) {
        if (removeOptions && col.kind == kCellMenu) SendMessageA(col.prototype, CB_RESETCONTENT, 0, 0);
        for (INTEGER r = 0; r < col.capacity; ++r) col.clear(r, 0);
    }
    g->markChanged();
    if (g->cellArea) {
        InvalidateRect(g->cellArea, nullptr, TRUE);
        UpdateWindow(g->cellArea);
    }
}

void YYGridReset(INTEGER& field, INTEGER columns, const INTEGER* positions)
{
    GridRecord* g = YYGridFind(field);
    if (!g || columns < 1) {
        field = -1;
        return;
    }
    YYGridClearSelection(g->window);
    g->currentColumn = g->currentRow = 0;
    if (DialogRecord* d = YYDialogRecordOf(GetParent(g->window))) d->lastCellValue = 0x40001;
    g->firstRow = g->firstColumn = 0;
    YYCellEditDestroy(*g, false);
    if (g->columnHeader)
        while (SendMessageA(g->columnHeader, HDM_GETITEMCOUNT, 0, 0) > 0) SendMessageA(g->columnHeader, HDM_DELETEITEM, 0, 0);
    if (g->columnTable) {
        for (GridColumnRecord& col : *g->columnTable) {
            if (!col.prototype) continue;
            if (!YYIsNumericClass(YYControlClass(col.prototype))) YYFieldRecordFree(col.prototype);
            DestroyWindow(col.prototype);
        }
    }
    g->columnTable.reset();
    HWND owner = windowSlotTable().Slots[0].Frame.get();
    WindowHandle templateDialog(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(g->templateId), owner,
                                                   YYGridTemplateProc, static_cast<LPARAM>(g->templateId)));
    g->columns = columns;
    if (!templateDialog || !YYGridBuildColumns(g->window, templateDialog.get(), positions)) {
        field = -1;
        return;
    }
    YYGridLayoutScroll(*g);
    if (YYGridHasFocus(*g) && g->editor) SetFocus(g->editor);
    if (g->cellArea) InvalidateRect(g->cellArea, nullptr, TRUE);
}

void YYGridResetColumnColours(INTEGER& field, INTEGER column, INTEGER textRed, INTEGER textGreen, INTEGER textBlue,
                              INTEGER backRed, INTEGER backGreen, INTEGER backBlue)
{
    GridColumnRecord* col = nullptr;
    GridRecord* g = gridAndColumn(field, column, col);
    if (!g) return;
    col->colours.clear();
    const auto packed = [](INTEGER r, INTEGER gr, INTEGER b) { return r < 0 || r > 255 ? -1 : YYGridPackRgb(r, gr, b); };
    if (FieldRecord* proto = YYFieldRecordOf(col->prototype)) {
        proto->textColour = packed(textRed, textGreen, textBlue);
        proto->backColour = packed(backRed, backGreen, backBlue);
        if (g->editor && g->currentColumn == column)
            if (FieldRecord* e = YYFieldRecordOf(g->editor)) e->textColour = proto->textColour, e->backColour = proto->backColour;
    }
    if (g->cellArea) InvalidateRect(g->cellArea, nullptr, TRUE);
}

void YYGridSetLimits(INTEGER& field, INTEGER column, DOUBLE minimum, DOUBLE maximum)
{
    GridColumnRecord* col = nullptr;
    GridRecord* g = gridAndColumn(field, column, col);
    if (!g) return;
    const auto apply = [&](HWND control) {
        FieldRecord* f = YYFieldRecordOf(control);
        if (!f) return;
        f->minimum = minimum;
        f->maximum = maximum;
        if (f->spinControl) {
            const auto clamp = [](DOUBLE v) { return static_cast<int>(std::clamp(v, -31073.0, 31073.0)); };
            SendMessageA(f->spinControl, UDM_SETRANGE32, static_cast<WPARAM>(clamp(minimum)), clamp(maximum));
        }
    };
    apply(col->prototype);
    if (g->editor && g->currentColumn == column) apply(g->editor);
}

namespace {
template <class Apply>
void spinSteps(INTEGER& field, INTEGER column, ControlClassCode spinClass, Apply apply)
{
    GridColumnRecord* col = nullptr;
    GridRecord* g = gridAndColumn(field, column, col);
    if (!g) return;
    if (YYControlClass(col->prototype) != spinClass) {
        field = -2;
        return;
    }
    if (FieldRecord* f = YYFieldRecordOf(col->prototype)) apply(*f);
    if (g->editor && g->currentColumn == column)
        if (FieldRecord* f = YYFieldRecordOf(g->editor)) apply(*f);
}
}  // namespace

void YYGridIntegerSpinSteps(INTEGER& field, INTEGER column, INTEGER smallStep, INTEGER largeStep, INTEGER origin)
{
    spinSteps(field, column, kClassIntegerSpin, [&](FieldRecord& f) {
        f.smallStep = smallStep;
        f.largeStep = largeStep == 0 ? smallStep : largeStep;
        f.stepOrigin = origin;
    });
}

void YYGridRealSpinSteps(INTEGER& field, INTEGER column, REAL smallStep, REAL largeStep)
{
    spinSteps(field, column, kClassRealSpin, [&](FieldRecord& f) {
        f.smallStep = smallStep;
        f.largeStep = largeStep;
    });
}

void YYGridDoubleSpinSteps(INTEGER& field, INTEGER column, DOUBLE smallStep, DOUBLE largeStep)
{
    spinSteps(field, column, kClassDoubleSpin, [&](FieldRecord& f) {
        f.smallStep = smallStep;
        f.largeStep = largeStep;
    });
}

// ---- public routines ----

void WGridRows(INTEGER field, INTEGER rows)
{
    if (noDialog(field, "WGridRows")) return;
    INTEGER f = field, capacity = 0;
    YYGridInfo(f, kGridInfoCapacity, capacity);
    if (f == -1) {
        YYErrorReport(1006, "WGridRows");
        return;
    }
    if (rows <= 0) {
        YYErrorReport(1018, "WGridRows");
        return;
    }
    f = field;
    YYGridSetRows(f, std::min(rows, capacity));
    if (rows > capacity) YYErrorReport(1018, "WGridRows");
}

void WGridPutInteger(INTEGER field, INTEGER column, const std::vector<INTEGER>& values, INTEGER n)
{
    GridRecord* g = YYGridFind(field);
    if (!g) {
        WGridPutCellInteger(field, column, 1, values.empty() ? 0 : values[0]);  // reports why
        return;
    }
    n = std::min(n, static_cast<INTEGER>(values.size()));
    bool tooMany = false;
    if (n > g->capacity) {
        tooMany = true;
        n = g->capacity;
    }
    YYGridHoldRedraw();
    for (INTEGER r = 1; r <= n && r <= g->rows; ++r) WGridPutCellInteger(field, column, r, values[static_cast<std::size_t>(r - 1)]);
    // Values for rows beyond the row count are not stored, and their rows are left empty.
    for (INTEGER r = std::min(n, g->rows) + 1; r <= g->capacity; ++r) {
        INTEGER f = field;
        YYGridClearCell(f, column - 1, r - 1, 1);
    }
    YYGridResumeRedraw(field);
    if (tooMany || n > g->rows) YYErrorReport(1018, "WGridPutInteger");
}

void WGridPutReal(INTEGER field, INTEGER column, const std::vector<REAL>& values, INTEGER n,
                  std::optional<std::string_view> format)
{
    GridRecord* g = YYGridFind(field);
    if (!g) {
        WGridPutCellReal(field, column, 1, values.empty() ? 0.0f : values[0], format);
        return;
    }
    n = std::min(n, static_cast<INTEGER>(values.size()));
    if (n > g->rows) {
        YYErrorReport(1018, "WGridPutReal");
        n = g->rows;
    }
    YYGridHoldRedraw();
    for (INTEGER r = 1; r <= n; ++r) WGridPutCellReal(field, column, r, values[static_cast<std::size_t>(r - 1)], format);
    for (INTEGER r = n + 1; r <= g->rows; ++r) {
        INTEGER f = field;
        YYGridClearCell(f, column - 1, r - 1, 1);
    }
    YYGridResumeRedraw(field);
}

void WGridPutOption(INTEGER field, INTEGER column, const std::vector<INTEGER>& options, INTEGER n)
{
    GridRecord* g = YYGridFind(field);
    if (!g) {
        WGridPutCellOption(field, column, 1, options.empty() ? 0 : options[0]);
        return;
    }
    n = std::min(n, static_cast<INTEGER>(options.size()));
    if (n > g->rows) {
        YYErrorReport(1018, "WGridPutOption");
        n = g->rows;
    }
    YYGridHoldRedraw();
    for (INTEGER r = 1; r <= n; ++r) WGridPutCellOption(field, column, r, options[static_cast<std::size_t>(r - 1)]);
    for (INTEGER r = n + 1; r <= g->rows; ++r) WGridPutCellOption(field, column, r, 0);
    YYGridResumeRedraw(field);
}

void WGridPutMenu(INTEGER field, INTEGER column, const std::vector<std::string>& items, INTEGER m,
                  const std::vector<INTEGER>& options, INTEGER n)
{
    GridRecord* g = YYGridFind(field);
    GridColumnRecord* col = g ? g->column(column - 1) : nullptr;
    if (!col || col->kind != kCellMenu) {
        YYErrorReport(1006, "WGridPutMenu");
        return;
    }
    YYGridHoldRedraw();
    INTEGER f = field;
    YYGridClearMenu(f, column - 1, g->currentRow);
    for (INTEGER i = 0; i < m && i < static_cast<INTEGER>(items.size()) && f >= 0; ++i) {
        f = field;
        YYGridAddMenuItem(f, column - 1, g->currentRow, trimRight(items[static_cast<std::size_t>(i)]));
    }
    YYGridResumeRedraw(field);
    if (f < 0) {
        YYErrorReport(1006, "WGridPutMenu");
        return;
    }
    WGridPutOption(field, column, options, n);
}

void WGridGetColumnMenu(INTEGER field, INTEGER column, std::vector<INTEGER>& options, INTEGER& n)
{
    if (GridRecord* g = YYGridFind(field)) n = std::min(n, g->rows);
    if (static_cast<INTEGER>(options.size()) < n) options.resize(static_cast<std::size_t>(std::max(n, 0)));
    for (INTEGER r = 1; r <= n; ++r) WGridGetCellMenu(field, column, r, options[static_cast<std::size_t>(r - 1)]);
}

void WGridGetColumnReal(INTEGER field, INTEGER column, std::vector<REAL>& values, INTEGER& n)
{
    if (GridRecord* g = YYGridFind(field)) n = std::min(n, g->rows);
    if (static_cast<INTEGER>(values.size()) < n) values.resize(static_cast<std::size_t>(std::max(n, 0)));
    for (INTEGER r = 1; r <= n; ++r) WGridGetCellReal(field, column, r, values[static_cast<std::size_t>(r - 1)]);
}

void WGridGetColumnCheckBox(INTEGER field, INTEGER column, std::vector<INTEGER>& states, INTEGER& n)
{
    if (GridRecord* g = YYGridFind(field)) n = std::min(n, g->rows);
    if (static_cast<INTEGER>(states.size()) < n) states.resize(static_cast<std::size_t>(std::max(n, 0)));
    for (INTEGER r = 1; r <= n; ++r) WGridGetCellCheckBox(field, column, r, states[static_cast<std::size_t>(r - 1)]);
}

void WGridPutCellInteger(INTEGER field, INTEGER column, INTEGER row, INTEGER value)
{
    cellPut(field, column, row, value, true, std::nullopt, "WGridPutCellInteger");
}

void WGridPutCellReal(INTEGER field, INTEGER column, INTEGER row, REAL value, std::optional<std::string_view> format)
{
    cellPut(field, column, row, value, false, format, "WGridPutCellReal");
}

void WGridPutCellDouble(INTEGER field, INTEGER column, INTEGER row, DOUBLE value, std::optional<std::string_view> format)
{
    cellPut(field, column, row, value, false, format, "WGridPutCellDouble");
}

void WGridPutCellOption(INTEGER field, INTEGER column, INTEGER row, INTEGER option)
{
    cellCall(field, "WGridPutCellOption", [&](INTEGER& f) { YYGridPutMenuIndex(f, column - 1, row - 1, option); });
}

void WGridPutCellCheckBox(INTEGER field, INTEGER column, INTEGER row, INTEGER state)
{
    cellCall(field, "WGridPutCellCheckBox", [&](INTEGER& f) { YYGridPutCheck(f, column - 1, row - 1, state); });
}

void WGridGetCellMenu(INTEGER field, INTEGER column, INTEGER row, INTEGER& option)
{
    cellCall(field, "WGridGetCellMenu", [&](INTEGER& f) { YYGridGetMenuIndex(f, column - 1, row - 1, option); });
}

void WGridGetCellCheckBox(INTEGER field, INTEGER column, INTEGER row, INTEGER& state)
{
    cellCall(field, "WGridGetCellCheckBox", [&](INTEGER& f) { YYGridGetCheck(f, column - 1, row - 1, state); });
}

void WGridGetCellString(INTEGER field, INTEGER column, INTEGER row, std::string& text)
{
    if (noDialog(field, "WGridGetCellString")) return;
    const std::size_t width = text.size();
    std::string value;
    INTEGER f = field;
    YYGridGetText(f, column - 1, row - 1, value);
    if (failed(f, "WGridGetCellString")) return;
    value.resize(width, ' ');
    text = value;
}

namespace {
enum class NumberRead { kFailed, kValue, kEmpty };

// The number getters: 1010 and the undefined value for an empty cell.
NumberRead getNumber(INTEGER field, INTEGER column, INTEGER row, DOUBLE& value, const char* routine)
{
    if (noDialog(field, routine)) return NumberRead::kFailed;
    INTEGER f = field;
    YYGridGetDouble(f, column - 1, row - 1, value);
    if (failed(f, routine)) return NumberRead::kFailed;
    if (f != -3) return NumberRead::kValue;
    YYErrorReport(1010, routine);
    return NumberRead::kEmpty;
}
}  // namespace

void WGridGetCellReal(INTEGER field, INTEGER column, INTEGER row, REAL& value)
{
    DOUBLE number = 0.0;
    const NumberRead read = getNumber(field, column, row, number, "WGridGetCellReal");
    if (read == NumberRead::kValue) value = YYGridRoundReal(number);
    else if (read == NumberRead::kEmpty) value = undefinedValueTable().RealValue;
}

void WGridGetCellDouble(INTEGER field, INTEGER column, INTEGER row, DOUBLE& value)
{
    DOUBLE number = 0.0;
    const NumberRead read = getNumber(field, column, row, number, "WGridGetCellDouble");
    if (read == NumberRead::kValue) value = number;
    else if (read == NumberRead::kEmpty) value = undefinedValueTable().DoubleValue;
}

void WGridGetCellInteger(INTEGER field, INTEGER column, INTEGER row, INTEGER& value)
{
    DOUBLE number = 0.0;
    const NumberRead read = getNumber(field, column, row, number, "WGridGetCellInteger");
    // Truncated toward zero; a number beyond the INTEGER range reads as the nearest end of it.
    if (read == NumberRead::kValue) value = YYGridClampInteger(number);
    else if (read == NumberRead::kEmpty) value = undefinedValueTable().IntegerValue;
}

void WGridClearCell(INTEGER field, INTEGER column, INTEGER row)
{
    cellCall(field, "WGridClearCell", [&](INTEGER& f) { YYGridClearCell(f, column - 1, row - 1, 0); });
}

void WGridColourCell(INTEGER field, INTEGER column, INTEGER row, std::optional<INTEGER> textColour,
                     std::optional<INTEGER> backColour)
{
    const auto parts = [](std::optional<INTEGER> colour, INTEGER& r, INTEGER& g, INTEGER& b) {
        r = g = b = -1;
        if (!colour) return;
        if (*colour == -1) {
            r = 256;  // back to the column's default
            return;
        }
        r = *colour % 256, g = (*colour / 256) % 256, b = (*colour / 65536) % 256;
    };
    INTEGER tr, tg, tb, br, bg, bb;
    parts(textColour, tr, tg, tb);
    parts(backColour, br, bg, bb);
    cellCall(field, "WGridColourCell",
             [&](INTEGER& f) { YYGridSetCellColours(f, column - 1, row - 1, tr, tg, tb, br, bg, bb); });
}

void WGridLabelColumn(INTEGER field, INTEGER column, std::string_view text)
{
    if (noDialog(field, "WGridLabelColumn")) return;
    GridRecord* g = YYGridFind(field);
    if (!g) {
        YYErrorReport(1006, "WGridLabelColumn");
        return;
    }
    if (column < 0 || column > g->columns) {
        YYErrorReport(1017, "WGridLabelColumn");
        return;
    }
    INTEGER f = field;
    YYGridSetColumnLabel(f, column, trimRight(text));
}

void WGridSetCell(INTEGER field, INTEGER column, INTEGER row, std::optional<INTEGER> caret)
{
    cellCall(field, "WGridSetCell",
             [&](INTEGER& f) { YYGridSetCurrent(f, column - 1, row - 1, caret ? *caret - 1 : -1); });
}

INTEGER WInfoGridCell(INTEGER field, INTEGER column, INTEGER row, INTEGER code)
{
    if (noDialog(field, "WInfoGridCell")) return 0;
    INTEGER f = field, kind = 0;
    YYGridColumnKind(f, column - 1, kind);
    if (failed(f, "WInfoGridCell")) return 0;
    if (code == 2) return kind;
    if (code != 1) return 0;
    switch (kind) {
    case kFieldCheckBox: {
        INTEGER state = 0;
        WGridGetCellCheckBox(field, column, row, state);
        return state;
    }
    case kFieldMenu: {
        INTEGER option = 0;
        WGridGetCellMenu(field, column, row, option);
        return option > 0 ? 1 : 0;
    }
    default: {
        std::string text(1024, ' ');
        WGridGetCellString(field, column, row, text);
        return blank(text) ? 0 : 1;
    }
    }
}

INTEGER WGridQuery(INTEGER field, INTEGER code)
{
    if (field != 0 && field != -1 && !YYCurrentDialog()) return 0;
    INTEGER f = field == -1 ? -2 : field, value = 0;
    YYGridInfo(f, code, value);
    return value;
}
