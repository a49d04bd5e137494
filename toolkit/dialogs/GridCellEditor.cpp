#include "toolkit/dialogs/GridCellEditor.h"

#include "toolkit/foundation/CommonControls.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/GridPainting.h"
#include "toolkit/dialogs/GridSelection.h"
#include "toolkit/dialogs/NumericEdits.h"
#include "toolkit/foundation/NumberParse.h"
#include "toolkit/foundation/WindowServices.h"

namespace {

std::string textOf(HWND window, std::size_t limit)
{
    std::string text(limit + 1, '\0');
    GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

bool blank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

INTEGER currentKind(GridRecord& g)
{
    const GridColumnRecord* col = g.column(g.currentColumn);
    return col ? col->kind : kCellText;
}

// Grows or clears the block after a move from (fromColumn, fromRow) with the anchor as it was.
void extendBlock(GridRecord& g, INTEGER fromColumn, INTEGER fromRow, INTEGER anchorColumn, INTEGER anchorRow)
{
    const INTEGER c = g.currentColumn, r = g.currentRow;
    if (anchorColumn < 0) {
        YYGridSetSelection(g.window, std::min(fromRow, r), std::max(fromRow, r), std::min(fromColumn, c),
                           std::max(fromColumn, c));
        g.anchorColumn = fromColumn;
        g.anchorRow = fromRow;
    } else if (anchorColumn != c || anchorRow != r) {
        YYGridSetSelection(g.window, std::min(anchorRow, r), std::max(anchorRow, r), std::min(anchorColumn, c),
                           std::max(anchorColumn, c));
        g.anchorColumn = anchorColumn;
        g.anchorRow = anchorRow;
    } else {
        YYGridClearSelection(g.window);
    }
}

void step(GridRecord& g, INTEGER column, INTEGER row, bool extend)
{
    YYGridMoveCell(g.window, column, row, true, extend);
}

// The character index of the caret (the end of the selection the caret stands at).
INTEGER caretIndex(HWND editor)
{
    DWORD start = 0, end = 0;
    SendMessageA(editor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<INTEGER>(end);
}

// A cell whose whole text is selected is entered, not being edited: typing replaces it and the
// arrows move between cells, as in a spreadsheet.
bool wholeTextSelected(HWND editor)
{
    DWORD start = 0, end = 0;
    SendMessageA(editor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const int length = GetWindowTextLengthA(editor);
    return length > 0 && start == 0 && static_cast<int>(end) >= length;
}

// Enter in the last row: the entry is stored and shown as the column shows it, and the program is
// told of the change as if the cell had been left, so that what depends on the cell follows it.
void commitInPlace(GridRecord& g, HWND editor)
{
    if (YYIsNumericClass(YYControlClass(editor)) && YYNumericValidate(editor, editor, 1)) return;
    YYCellEditStore(g);
    YYCellEditLoad(g);
    SendMessageA(editor, EM_SETSEL, 0, -1);
    YYGridNotifyCell(g, YYGridPackCell(g.currentColumn, g.currentRow));
}

bool listOpen(GridRecord& g, HWND editor)
{
    return currentKind(g) == kCellMenu && (g.openDropDown == editor || SendMessageA(editor, CB_GETDROPPEDSTATE, 0, 0));
}

bool key(GridRecord& g, HWND editor, WPARAM virtualKey)
{
    const bool shift = GetKeyState(VK_SHIFT) < 0, control = GetKeyState(VK_CONTROL) < 0;
    const INTEGER kind = currentKind(g);
    const bool choice = kind == kCellCheckBox || kind == kCellMenu;
    const INTEGER c = g.currentColumn, r = g.currentRow;
    const bool wrap = g.hasStyle(kGridWrap);
    switch (virtualKey) {
    case VK_TAB:
        if (g.hasStyle(kGridTabCells)) {
            if (!shift) {
                if (c < g.columns - 1) step(g, c + 1, r, false);
                else if (wrap && r < g.rows - 1) step(g, 0, r + 1, false);
                else YYBeep();
            } else {
                if (c > 0) step(g, c - 1, r, false);
                else if (wrap && r > 0) step(g, g.columns - 1, r - 1, false);
                else YYBeep();
            }
            return true;
        }
        if (choice) {
            SendMessageA(GetParent(g.window), WM_NEXTDLGCTL, shift ? 1 : 0, 0);
            return true;
        }
        return false;
    case VK_RETURN:
        if (!g.hasStyle(kGridEnterDown) || listOpen(g, editor)) return false;
        // Enter commits the cell and moves down; it never reaches the dialog's default button.
        if (r < g.rows - 1) step(g, c, r + 1, false);
        else if (YYGridTextKind(kind)) commitInPlace(g, editor);
        else YYBeep();
        return true;
    case VK_DOWN:
        if (listOpen(g, editor)) return false;
        if (r < g.rows - 1) step(g, c, r + 1, shift);
        else YYBeep();
        return true;
    case VK_UP:
        if (listOpen(g, editor)) return false;
        if (r > 0) step(g, c, r - 1, shift);
        else YYBeep();
        return true;
    case VK_NEXT:
        if (listOpen(g, editor)) return false;
        if (control) step(g, c, g.rows - 1, shift);
        else if (g.visibleRows < g.rows) YYGridForwardExtend(g.window, WM_VSCROLL, SB_PAGEDOWN, 0, shift);
        return true;
    case VK_PRIOR:
        if (listOpen(g, editor)) return false;
        if (control) step(g, c, 0, shift);
        else YYGridForwardExtend(g.window, WM_VSCROLL, SB_PAGEUP, 0, shift);
        return true;
    case VK_END:
        if (!control) return false;
        step(g, g.columns - 1, r, shift);
        return true;
    case VK_HOME:
        if (!control) return false;
        step(g, 0, r, shift);
        return true;
    case VK_LEFT:
        if (!(choice || g.anchorColumn >= 0 || caretIndex(editor) == 0 || wholeTextSelected(editor))) return false;
        if (control) YYGridForwardExtend(g.window, WM_HSCROLL, SB_PAGELEFT, 0, shift);
        else if (c > 0) step(g, c - 1, r, shift);
        else if (wrap && r > 0) step(g, g.columns - 1, r - 1, shift);
        else YYBeep();
        return true;
    case VK_RIGHT:
        if (!(choice || caretIndex(editor) >= GetWindowTextLengthA(editor))) return false;
        if (control) YYGridForwardExtend(g.window, WM_HSCROLL, SB_PAGERIGHT, 0, shift);
        else if (c < g.columns - 1) step(g, c + 1, r, shift);
        else if (wrap && r < g.rows - 1) step(g, 0, r + 1, shift);
        else YYBeep();
        return true;
    case VK_F2: {
        if (!YYGridTextKind(kind)) return false;
        // Editing in place: the caret at the end of the text.
        const WPARAM end = static_cast<WPARAM>(GetWindowTextLengthA(editor));
        SendMessageA(editor, EM_SETSEL, end, static_cast<LPARAM>(end));
        return true;
    }
    case VK_ESCAPE: {
        if (YYGridTextKind(kind)) {
            // The entry is abandoned: the cell's own content comes back, wholly selected.
            YYCellEditLoad(g);
            SendMessageA(editor, EM_SETSEL, 0, -1);
            return true;
        }
        if (!choice) return false;
        HWND parent = GetParent(g.window);
        char name[16] = {};
        GetClassNameA(parent, name, sizeof name);
        if (std::strcmp(name, "DOVECHILD") == 0) return false;
        SendMessageA(parent, WM_CLOSE, 0, 0);
        return true;
    }
    case VK_INSERT:
        if (!shift || control || YYClipHasText() != kClipCells) return false;
        if (YYGridPasteUnprotected(g.window)) YYGridPaste(g.window);
        return true;
    case VK_DELETE:
        if (!g.hasSelection()) return false;
        YYGridBlockCommand(g.window, shift ? 32122 : 32125);
        return true;
    default:
        return false;
    }
}

// A check-box editor inside the selected block looks like the painted cells around it: the button
// paints itself into a bitmap, whose face-coloured pixels then take the highlight colour.
void paintHighlightedCheck(HWND window, WNDPROC original)
{
    PaintDc paint(window);
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0 || !original) return;
    BitmapHandle source(CreateCompatibleBitmap(paint.get(), width, height));
    BitmapHandle target(CreateCompatibleBitmap(paint.get(), width, height));
    BitmapHandle work(CreateCompatibleBitmap(paint.get(), width, height));
    MemoryDcHandle memory(CreateCompatibleDC(paint.get()));
    {
        DcSelection select(memory.get(), source.get());
        FillRect(memory.get(), &client, GetSysColorBrush(COLOR_BTNFACE));
        CallWindowProcA(original, window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT);
    }
    YYDrawMaskedCheck(source.get(), target.get(), work.get());
    DcSelection select(memory.get(), target.get());
    BitBlt(paint.get(), 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
}

}  // namespace

bool YYGridMoveCell(HWND grid, INTEGER column, INTEGER row, bool takeFocus, bool extend)
{
    GridRecord* record = YYGridRecordOf(grid);
    if (!record) return false;
    GridRecord& g = *record;
    GridState& s = gridState();
    const bool same = column == g.currentColumn && row == g.currentRow;
    if (same && g.editor && !s.focusFromOutside) return true;
    if (!same && g.editor && YYIsNumericClass(YYControlClass(g.editor)) && YYNumericValidate(g.editor, g.editor, 1))
        return false;
    const INTEGER fromColumn = g.currentColumn, fromRow = g.currentRow;
    const INTEGER anchorColumn = g.anchorColumn, anchorRow = g.anchorRow;
    const bool focused = YYGridHasFocus(g);
    YYCellEditDestroy(g, true);
    g.currentColumn = column;
    g.currentRow = row;
    YYCellEditCreate(g);
    s.focusFromOutside = 0;
    if (takeFocus) {
        if (GetFocus() == grid && g.editor) {
            // Destroying the old editor left the focus with the grid window, so setting it there
            // again sends no focus message and the grid would keep it: the keys typed next would
            // reach no cell. The focus goes on to the new editor as the grid would pass it.
            YYGridScrollRowIntoView(g, g.currentRow);
            YYGridScrollColumnIntoView(g, g.currentColumn);
            if (g.editor) SetFocus(g.editor);
        } else {
            SetFocus(grid);
        }
    } else if (focused) {
        if (g.editor) {
            s.suppressNotify = 1;
            SetFocus(g.editor);
            s.suppressNotify = 0;
        }
        YYGridNotifyCell(g, YYGridPackCell(column, row));
    }
    if (extend) extendBlock(g, fromColumn, fromRow, anchorColumn, anchorRow);
    else YYGridClearSelection(grid);
    // A cell entered with the focus has its whole text selected, so that typing replaces it.
    if (g.editor && GetFocus() == g.editor && YYGridTextKind(currentKind(g))) SendMessageA(g.editor, EM_SETSEL, 0, -1);
    return true;
}

void YYGridForwardExtend(HWND grid, UINT message, WPARAM code, LPARAM, bool extend)
{
    GridRecord* record = YYGridRecordOf(grid);
    if (!record) return;
    GridRecord& g = *record;
    const INTEGER fromColumn = g.currentColumn, fromRow = g.currentRow;
    const INTEGER anchorColumn = g.anchorColumn, anchorRow = g.anchorRow;
    SendMessageA(grid, message, code, 0);
    if (extend) extendBlock(g, fromColumn, fromRow, anchorColumn, anchorRow);
}

void YYCellEditCreate(GridRecord& g)
{
    if (g.editor || g.columns == 0 || g.rows == 0 || !g.cellArea || !IsWindowEnabled(g.window)) return;
    GridColumnRecord* col = g.column(g.currentColumn);
    if (!col || !col->prototype) return;
    const INTEGER x = YYGridColumnX(g, g.currentColumn), y = (g.currentRow - g.firstRow) * (g.rowHeight - 1);
    INTEGER height = g.rowHeight;
    LONG style = (GetWindowLongA(col->prototype, GWL_STYLE) & ~WS_DISABLED) | WS_VISIBLE | WS_BORDER;
    if (col->kind == kCellMenu) {
        RECT dropped{};
        SendMessageA(col->prototype, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        height += dropped.bottom - dropped.top;
        style |= WS_VSCROLL;
    }
    if (YYGridTextKind(col->kind) && g.hasStyle(kGridReadOnlyStyle)) style |= ES_READONLY;
    char className[64] = {};
    GetClassNameA(col->prototype, className, sizeof className);
    HWND editor = CreateWindowExA(GetWindowLongA(col->prototype, GWL_EXSTYLE), className, "", style, x, y, col->width,
                                  height, g.cellArea, reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)),
                                  GetModuleHandleA(nullptr), nullptr);
    if (!editor) return;
    g.editor = editor;
    FieldRecord* field = YYFieldRecordOf(editor);
    if (!field) field = YYFieldRecordMake(editor);
    if (const FieldRecord* proto = YYFieldRecordOf(col->prototype)) {
        HWND spin = field->spinControl;
        *field = *proto;
        field->spinControl = spin;
        field->originalProcedure = nullptr;
        field->classProcedure = nullptr;
    }
    SendMessageA(editor, WM_SETFONT, reinterpret_cast<WPARAM>(g.font), FALSE);
    if (col->kind == kCellText || col->kind == kCellReal || col->kind == kCellDouble)
        SendMessageA(editor, EM_LIMITTEXT, static_cast<WPARAM>(col->textLength), 0);
    else if (col->kind == kCellInteger)
        SendMessageA(editor, EM_LIMITTEXT, 11, 0);
    YYCellEditLoad(g);
    field->originalProcedure =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(YYCellEditProc)));
}

void YYCellEditDestroy(GridRecord& g, bool store)
{
    if (!g.editor) return;
    NumericEditState& numeric = numericEditState();
    const INTEGER suspended = numeric.validationSuspended;
    numeric.validationSuspended = 1;
    if (store) YYCellEditStore(g);
    HWND editor = std::exchange(g.editor, nullptr);
    if (g.openDropDown == editor) g.openDropDown = nullptr;
    // The grid window holds the focus while there is no editor, so that the focus stays in the grid.
    if (GetFocus() == editor) {
        gridState().suppressNotify = 1;
        SetFocus(g.window);
        gridState().suppressNotify = 0;
    }
    if (FieldRecord* field = YYFieldRecordOf(editor); field && field->originalProcedure)
        SetWindowLongPtrA(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(field->originalProcedure));
    const bool ownRecord = !YYIsNumericClass(YYControlClass(editor));
    if (ownRecord) YYFieldRecordFree(editor);
    DestroyWindow(editor);
    numeric.validationSuspended = suspended;
}

void YYCellEditLoad(GridRecord& g)
{
    GridColumnRecord* col = g.column(g.currentColumn);
    FieldRecord* field = YYFieldRecordOf(g.editor);
    if (!col || !field || !col->inside(g.currentRow)) return;
    const INTEGER r = g.currentRow;
    const unsigned char flags = col->flags[static_cast<std::size_t>(r)];
    if (col->hasColourBlock()) {
        field->textColour = col->textColour(r);
        field->backColour = col->backColour(r);
    }
    GridState& s = gridState();
    s.editorLoading = 1;
    const bool present = (flags & kCellValuePresent) != 0;
    switch (col->kind) {
    case kCellText: SetWindowTextA(g.editor, col->text(r).c_str()); break;
    case kCellInteger:
        SetWindowTextA(g.editor, present ? YYGridIntegerText(col->integer(r)).c_str() : "");
        field->value = present ? col->number(r) : 0.0;
        break;
    case kCellReal: case kCellDouble: {
        const std::string format = field->format ? *field->format : std::string(kGridDefaultFormat);
        SetWindowTextA(g.editor, present ? YYDecimalToLocale(YYGridNumberText(col->number(r), format)).c_str() : "");
        field->value = present ? col->number(r) : 0.0;
        break;
    }
    case kCellCheckBox:
        SetWindowTextA(g.editor, " ");
        SendMessageA(g.editor, BM_SETCHECK, col->number(r) == 1.0 ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case kCellMenu: {
        SendMessageA(g.editor, CB_RESETCONTENT, 0, 0);
        const LRESULT count = SendMessageA(col->prototype, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            const LRESULT length = SendMessageA(col->prototype, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
            std::string item(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
            SendMessageA(col->prototype, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
            SendMessageA(g.editor, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
        SendMessageA(g.editor, CB_SETCURSEL, static_cast<WPARAM>(col->integer(r)), 0);
        break;
    }
    default: break;
    }
    if (YYGridTextKind(col->kind)) SendMessageA(g.editor, EM_SETMODIFY, FALSE, 0);
    s.editorLoading = 0;
    field->hasValue = (flags & kCellHadValue) ? 1 : 0;
    YYCellEditReadOnly(g.editor, col->kind, (flags & kCellProtected) != 0, false);
    InvalidateRect(g.editor, nullptr, TRUE);
}

void YYCellEditStore(GridRecord& g)
{
    if (!g.editor) return;
    GridColumnRecord* col = g.column(g.currentColumn);
    const FieldRecord* field = YYFieldRecordOf(g.editor);
    if (!col || !col->inside(g.currentRow)) return;
    const INTEGER r = g.currentRow;
    unsigned char& flags = col->flags[static_cast<std::size_t>(r)];
    switch (col->kind) {
    case kCellText: col->setText(r, textOf(g.editor, static_cast<std::size_t>(col->textLength))); return;
    case kCellCheckBox: col->setNumber(r, SendMessageA(g.editor, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0); return;
    case kCellMenu: col->setNumber(r, static_cast<DOUBLE>(SendMessageA(g.editor, CB_GETCURSEL, 0, 0))); return;
    default: break;
    }
    const std::string text = YYDecimalToParser(textOf(g.editor, 50));
    DOUBLE value = field ? field->value : 0.0;
    if (SendMessageA(g.editor, EM_GETMODIFY, 0, 0)) {
        if (col->kind == kCellInteger) {
            INTEGER parsed = 0;
            YYParseNumberQuiet(parsed, text);
            value = parsed;
        } else if (col->kind == kCellReal) {
            REAL parsed = 0.0f;
            YYParseRealQuiet(parsed, text);
            value = parsed;
        } else {
            YYParseNumber(value, text);
        }
    }
    col->setNumber(r, value);
    if (!blank(text)) flags |= kCellValuePresent | kCellHadValue;
    else flags &= static_cast<unsigned char>(~kCellValuePresent);
}

void YYCellEditReadOnly(HWND editor, INTEGER kind, bool readOnly, bool update)
{
    if (!editor) return;
    const GridRecord* g = YYGridRecordAbove(editor);
    if (g && g->hasStyle(kGridReadOnlyStyle) && !readOnly) return;
    if (YYGridTextKind(kind)) {
        SendMessageA(editor, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
        if (const FieldRecord* field = YYFieldRecordOf(editor); field && field->spinControl) {
            EnableWindow(field->spinControl, readOnly ? FALSE : TRUE);
            if (update) UpdateWindow(field->spinControl);
        }
    } else if (kind == kCellCheckBox) {
        SendMessageA(editor, BM_SETSTYLE, readOnly ? BS_CHECKBOX : BS_AUTOCHECKBOX, update ? TRUE : FALSE);
    }
}

LRESULT CALLBACK YYCellEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const FieldRecord* field = YYFieldRecordOf(window);
    const WNDPROC original = field ? field->originalProcedure : nullptr;
    const auto callClass = [&]() {
        return original ? CallWindowProcA(original, window, message, wParam, lParam)
                        : DefWindowProcA(window, message, wParam, lParam);
    };
    GridRecord* record = YYGridRecordAbove(window);
    if (!record || record->editor != window) return callClass();
    GridRecord& g = *record;
    GridState& s = gridState();
    const INTEGER kind = currentKind(g);
    switch (message) {
    case WM_KEYDOWN:
        if (key(g, window, wParam)) return 0;
        break;
    case WM_CHAR:
        if (wParam == 1 && YYGridTextKind(kind)) {
            SendMessageA(window, EM_SETSEL, 0, -1);
            SendMessageA(window, EM_SCROLLCARET, 0, 0);
            return 0;
        }
        if (wParam == '\t' || wParam == '\r') return 0;
        if (wParam == 27 && YYGridTextKind(kind)) return 0;  // Escape has acted on key down
        if (wParam == 3 && g.hasSelection()) {  // Ctrl+C
            YYGridBlockCommand(g.window, 32123);
            return 0;
        }
        if (wParam == 0x18 && g.hasSelection()) {  // Ctrl+X
            YYGridBlockCommand(g.window, 32122);
            return 0;
        }
        // Ctrl+V: multi-cell text is the grid's; a single value the editor pastes itself.
        if (wParam == 0x16 && YYClipHasText() == kClipCells) {
            YYGridBlockCommand(g.window, 32124);
            return 0;
        }
        break;
    case WM_CONTEXTMENU:
        if (!g.hasSelection() && GetFocus() != window) SetFocus(window);
        return SendMessageA(g.cellArea, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), lParam);
    case WM_GETDLGCODE: {
        LRESULT code = callClass();
        if (g.hasStyle(kGridEnterDown)) code |= DLGC_WANTALLKEYS;
        else {
            code |= DLGC_WANTARROWS | DLGC_WANTCHARS;
            if (g.hasStyle(kGridTabCells)) code |= DLGC_WANTTAB;
        }
        return code;
    }
    case WM_SETFOCUS: {
        HWND from = reinterpret_cast<HWND>(wParam);
        const bool inside = from && (from == g.window || IsChild(g.window, from));
        if (!inside) {
            s.focusFromOutside = 1;
        } else {
            s.focusFromOutside = 0;
            if (s.focusAway) {
                RECT r{};
                if (YYGridSelectionRect(g.window, r)) InvalidateRect(g.cellArea, &r, TRUE);
                s.focusAway = 0;
            }
        }
        if (!(s.suppressNotify && inside)) YYGridNotifyCell(g, YYGridPackCell(g.currentColumn, g.currentRow));
        const LRESULT result = callClass();
        UpdateWindow(window);
        return result;
    }
    case WM_KILLFOCUS: {
        HWND to = reinterpret_cast<HWND>(wParam);
        const bool inside = to && (to == g.window || IsChild(g.window, to));
        if (!inside && g.hasSelection()) {
            RECT r{};
            if (YYGridSelectionRect(g.window, r)) InvalidateRect(g.cellArea, &r, TRUE);
            s.focusAway = 1;
        }
        break;
    }
    case WM_SETTEXT: {
        const LRESULT result = callClass();
        UpdateWindow(window);
        return result;
    }
    case WM_PAINT:
        if (kind == kCellCheckBox && YYGridHasFocus(g) && g.inSelection(g.currentColumn, g.currentRow)) {
            paintHighlightedCheck(window, original);
            return 0;
        }
        break;
    case WM_MOUSEWHEEL:
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_MOUSEMOVE:
        if (wParam & MK_LBUTTON) {
            POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            MapWindowPoints(window, g.cellArea, &point, 1);
            INTEGER c = 0, r = 0;
            if (YYGridHitTest(g, point, c, r) && (c != s.dragColumn || r != s.dragRow)) {
                if (c == g.currentColumn && r == g.currentRow) YYGridClearSelection(g.window);
                else
                    YYGridSetSelection(g.window, std::min(r, g.currentRow), std::max(r, g.currentRow),
                                       std::min(c, g.currentColumn), std::max(c, g.currentColumn));
                s.dragColumn = s.dragRow = -1;
                s.selectOnRelease = nullptr;  // a drag selects cells, not the editor's text
            }
        }
        break;
    case WM_LBUTTONDOWN:
        // A click enters a cell as in a spreadsheet: its whole text selected, so that typing
        // replaces it. Only a text being typed takes the click as a caret position (F2 or a
        // double click edit the text in place). The selection is made again at the release: a
        // pointer move before it would shrink it.
        if (YYGridTextKind(kind) && !SendMessageA(window, EM_GETMODIFY, 0, 0)) {
            const LRESULT result = callClass();
            SendMessageA(window, EM_SETSEL, 0, -1);
            s.selectOnRelease = window;
            return result;
        }
        break;
    case WM_LBUTTONDBLCLK:
        // The second click of a double click places the caret where it falls, as a press in the
        // edit does (the edit's own double click would select the whole number again).
        if (YYGridTextKind(kind) && original) {
            s.selectOnRelease = nullptr;
            return CallWindowProcA(original, window, WM_LBUTTONDOWN, wParam, lParam);
        }
        break;
    case WM_LBUTTONUP:
        if (s.selectOnRelease == window) {
            s.selectOnRelease = nullptr;
            const LRESULT result = callClass();
            SendMessageA(window, EM_SETSEL, 0, -1);
            return result;
        }
        break;
    case WM_NCHITTEST:
        if (g.embedded) return HTTRANSPARENT;
        break;
    default:
        break;
    }
    return callClass();
}

LRESULT CALLBACK YYGridShiftClickProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_LBUTTONDOWN && (wParam & MK_SHIFT)) {
        if (HWND buddy = reinterpret_cast<HWND>(SendMessageA(window, UDM_GETBUDDY, 0, 0)))
            return SendMessageA(buddy, message, wParam, lParam);
    }
    return original ? CallWindowProcA(original, window, message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}
