#include "toolkit/dialogs/GridPainting.h"

#include "toolkit/foundation/CommonControls.h"

#include <algorithm>
#include <string>
#include <vector>

#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/GridCellEditor.h"
#include "toolkit/dialogs/GridCellValues.h"
#include "toolkit/dialogs/GridSelection.h"
#include "toolkit/dialogs/NumericEdits.h"

namespace {

COLORREF rgbOf(INTEGER packed) { return RGB(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF); }

INTEGER lastShownColumn(const GridRecord& g) { return std::min(g.lastColumn + 1, g.columns - 1); }

const FieldRecord* gridField(const GridRecord& g) { return YYFieldRecordOf(g.window); }

bool cellSelected(const GridRecord& g, INTEGER c, INTEGER r)
{
    return IsWindowEnabled(g.window) && YYGridHasFocus(g) && g.inSelection(c, r);
}

struct CellColours {
    COLORREF text, back;
};

CellColours cellColours(GridRecord& g, const GridColumnRecord& col, INTEGER c, INTEGER r)
{
    if (!IsWindowEnabled(g.window)) return {GetSysColor(COLOR_GRAYTEXT), GetSysColor(COLOR_BTNFACE)};
    if (cellSelected(g, c, r)) return {GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_HIGHLIGHT)};
    const bool readOnly = g.hasStyle(kGridReadOnlyStyle);
    const bool isProtected = (col.flags[static_cast<std::size_t>(r)] & kCellProtected) != 0;
    if ((!readOnly && !isProtected) || g.hasStyle(kGridColoursEverywhere)) {
        const FieldRecord* proto = YYFieldRecordOf(col.prototype);
        const FieldRecord* field = gridField(g);
        INTEGER text = col.hasColourBlock() ? col.textColour(r) : (proto ? proto->textColour : -1);
        INTEGER back = col.hasColourBlock() ? col.backColour(r) : (proto ? proto->backColour : -1);
        if (text == -1 && field) text = field->textColour;
        if (back == -1 && field) back = field->backColour;
        const COLORREF textColour = text == -1 ? GetSysColor(COLOR_WINDOWTEXT) : rgbOf(text);
        const COLORREF backColour = back != -1 ? rgbOf(back)
                                    : GetSysColor(readOnly || isProtected ? COLOR_BTNFACE : COLOR_WINDOW);
        return {textColour, backColour};
    }
    return {GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_BTNFACE)};
}

// The check-box images of a column: unchecked, checked and their highlighted forms.
struct CheckImages {
    BitmapHandle plain[2];
    BitmapHandle highlighted[2];
};

void makeCheckImages(HDC screen, INTEGER width, INTEGER height, CheckImages& images)
{
    MemoryDcHandle memory(CreateCompatibleDC(screen));
    const INTEGER side = std::max(8, std::min<INTEGER>(13, height - 4));
    for (int state = 0; state < 2; ++state) {
        images.plain[state].reset(CreateCompatibleBitmap(screen, width, height));
        images.highlighted[state].reset(CreateCompatibleBitmap(screen, width, height));
        {
            DcSelection select(memory.get(), images.plain[state].get());
            RECT all{0, 0, width, height};
            FillRect(memory.get(), &all, GetSysColorBrush(COLOR_BTNFACE));
            RECT box{(width - side) / 2, (height - side) / 2, (width - side) / 2 + side, (height - side) / 2 + side};
            DrawFrameControl(memory.get(), &box, DFC_BUTTON, DFCS_BUTTONCHECK | (state ? DFCS_CHECKED : 0));
        }
        BitmapHandle work(CreateCompatibleBitmap(screen, width, height));
        YYDrawMaskedCheck(images.plain[state].get(), images.highlighted[state].get(), work.get());
    }
}

// The advance of each character as an edit control lays the text out, from the positions it gives
// its characters (the last one keeps its own width); empty when it gives no position for one of
// them. The edit control places its glyphs by its own shaping, whose widths can differ from plain
// text output by a pixel here and there: painted with these advances, a cell's text stands where its
// editor will show it.
std::vector<INT> editorAdvances(HWND edit, HDC dc, const std::string& text)
{
    std::vector<INT> advances(text.size());
    LRESULT previous = SendMessageA(edit, EM_POSFROMCHAR, 0, 0);
    for (std::size_t i = 1; i < text.size(); ++i) {
        const LRESULT next = SendMessageA(edit, EM_POSFROMCHAR, static_cast<WPARAM>(i), 0);
        if (previous == -1 || next == -1 || HIWORD(next) != HIWORD(previous)) return {};
        advances[i - 1] = static_cast<short>(LOWORD(next)) - static_cast<short>(LOWORD(previous));
        previous = next;
    }
    SIZE last{};
    GetTextExtentPoint32A(dc, &text.back(), 1, &last);
    advances.back() = last.cx;
    return advances;
}

void paintCells(GridRecord& g, HDC dc, const RECT& update)
{
    const INTEGER shown = YYGridShownRows(g);
    const INTEGER lastColumn = lastShownColumn(g);
    const INTEGER step = g.rowHeight - 1;
    if (g.columns == 0 || shown <= 0) return;
    const INTEGER right = YYGridColumnX(g, lastColumn + 1);
    const INTEGER bottom = shown * step;
    for (INTEGER c = g.firstColumn; c <= lastColumn + 1; ++c) {
        const INTEGER x = YYGridColumnX(g, c);
        MoveToEx(dc, x, 0, nullptr);
        LineTo(dc, x, bottom + 1);
    }
    for (INTEGER i = 0; i <= shown; ++i) {
        MoveToEx(dc, 0, i * step, nullptr);
        LineTo(dc, right + 1, i * step);
    }
    DcSelection font(dc, g.font);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    for (INTEGER c = g.firstColumn; c <= lastColumn; ++c) {
        GridColumnRecord* col = g.column(c);
        if (!col || col->width <= 1) continue;
        const RECT columnInterior{YYGridColumnX(g, c) + 1, 0, YYGridColumnX(g, c) + col->width - 1, bottom};
        RECT meet{};
        if (!IntersectRect(&meet, &columnInterior, &update)) continue;
        CheckImages images;
        if (col->kind == kCellCheckBox) makeCheckImages(dc, col->width - 2, step - 1, images);
        MemoryDcHandle memory(col->kind == kCellCheckBox ? CreateCompatibleDC(dc) : nullptr);
        for (INTEGER i = 0; i < shown; ++i) {
            const INTEGER r = g.firstRow + i;
            const RECT interior = YYGridCellInterior(g, c, r);
            if (!IntersectRect(&meet, &interior, &update)) continue;
            if (g.editor && c == g.currentColumn && r == g.currentRow) continue;  // the editor covers it
            const bool selected = cellSelected(g, c, r);
            if (col->kind == kCellCheckBox) {
                const int state = col->number(r) == 1.0 ? 1 : 0;
                HBITMAP image = selected ? images.highlighted[state].get() : images.plain[state].get();
                DcSelection select(memory.get(), image);
                BitBlt(dc, interior.left, interior.top, interior.right - interior.left, interior.bottom - interior.top,
                       memory.get(), 0, 0, SRCCOPY);
                continue;
            }
            std::string text;
            YYGridCellText(g, c, r, text, 1);
            POINT origin{interior.left + 3, interior.top + 3};
            RECT clip = interior;
            std::vector<INT> advances;
            if (col->kind != kCellMenu && !text.empty()) {
                // The prototype lays the text out as the editor would, so that aligned numbers
                // are painted exactly where the editor shows them.
                SetWindowTextA(col->prototype, text.c_str());
                const LRESULT position = SendMessageA(col->prototype, EM_POSFROMCHAR, 0, 0);
                RECT format{};
                SendMessageA(col->prototype, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
                if (position != -1) {
                    // The editor's client area starts on the cell's grid lines, one pixel before
                    // the interior.
                    origin.x = interior.left + static_cast<short>(LOWORD(position)) - 1;
                    origin.y = interior.top + static_cast<short>(HIWORD(position)) - 1;
                    advances = editorAdvances(col->prototype, dc, text);
                }
                clip = RECT{interior.left + format.left - 1, interior.top + format.top, interior.left + format.right,
                            interior.top + format.bottom};
                IntersectRect(&clip, &clip, &interior);
            }
            const CellColours colours = cellColours(g, *col, c, r);
            GdiObjectHandle brush(CreateSolidBrush(GetNearestColor(dc, colours.back)));
            FillRect(dc, &interior, static_cast<HBRUSH>(brush.get()));
            SetTextColor(dc, colours.text);
            ExtTextOutA(dc, origin.x, origin.y, ETO_CLIPPED, &clip, text.c_str(), static_cast<UINT>(text.size()),
                        advances.empty() ? nullptr : advances.data());
        }
    }
}

void press(GridRecord& g, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_RBUTTONDOWN && g.hasSelection()) return;
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    INTEGER c = 0, r = 0;
    if (!YYGridHitTest(g, point, c, r)) return;
    if (message == WM_LBUTTONDOWN && (wParam & MK_SHIFT)) {
        if (c == g.currentColumn && r == g.currentRow) YYGridClearSelection(g.window);
        else
            YYGridSetSelection(g.window, std::min(r, g.currentRow), std::max(r, g.currentRow), std::min(c, g.currentColumn),
                               std::max(c, g.currentColumn));
        return;
    }
    if (!YYGridMoveCell(g.window, c, r, false, false)) return;
    if (g.editor) {
        POINT inside = point;
        MapWindowPoints(g.cellArea, g.editor, &inside, 1);
        gridState().suppressNotify = 1;
        SendMessageA(g.editor, message, wParam, MAKELPARAM(inside.x, inside.y));
        gridState().suppressNotify = 0;
    }
    if (c > g.lastColumn) YYGridScrollColumnIntoView(g, c);
    if (r >= g.firstRow + g.visibleRows) SendMessageA(g.window, WM_VSCROLL, SB_LINEDOWN, 0);
    gridState().dragColumn = c;
    gridState().dragRow = r;
}

LRESULT editorColours(GridRecord& g, UINT message, HDC dc, HWND control)
{
    GridState& s = gridState();
    s.editorBrush.reset();
    if (control != g.editor) return 0;
    const bool selected = YYGridHasFocus(g) && g.inSelection(g.currentColumn, g.currentRow);
    const FieldRecord* editor = YYFieldRecordOf(control);
    const FieldRecord* field = gridField(g);
    if (message == WM_CTLCOLORSTATIC) {
        const bool editorReadOnly = (GetWindowLongA(control, GWL_STYLE) & ES_READONLY) != 0;
        if (!selected && !(g.hasStyle(kGridReadOnlyStyle) ||
                           (editorReadOnly && g.hasStyle(kGridColoursEverywhere))))
            return 0;
    }
    if (selected) {
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    INTEGER text = editor ? editor->textColour : -1, back = editor ? editor->backColour : -1;
    if (text == -1 && field) text = field->textColour;
    if (back == -1 && field) back = field->backColour;
    if (text == -1 && back == -1) return 0;
    const bool button = message == WM_CTLCOLORBTN;
    SetTextColor(dc, text != -1 ? rgbOf(text) : GetSysColor(button ? COLOR_BTNTEXT : COLOR_WINDOWTEXT));
    if (back != -1) {
        const COLORREF colour = GetNearestColor(dc, rgbOf(back));
        SetBkColor(dc, colour);
        s.editorBrush.reset(CreateSolidBrush(colour));
        return reinterpret_cast<LRESULT>(s.editorBrush.get());
    }
    const int system = button ? COLOR_BTNFACE : COLOR_WINDOW;
    SetBkColor(dc, GetSysColor(system));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(system));
}

void editorCommand(GridRecord& g, WORD code)
{
    GridColumnRecord* col = g.column(g.currentColumn);
    if (!col) return;
    switch (code) {
    case CBN_DROPDOWN: g.openDropDown = g.editor; return;
    case CBN_CLOSEUP: g.openDropDown = nullptr; return;
    case EN_CHANGE: {
        if (gridState().editorLoading || col->kind == kCellMenu || col->kind == kCellCheckBox) return;
        g.markChanged();
        YYGridClearSelection(g.window);
        const FieldRecord* field = gridField(g);
        if (!field || !field->notifyChanges) return;
        break;
    }
    case BN_CLICKED:
        if (col->kind != kCellCheckBox) return;
        break;
    case CBN_SELCHANGE:
        if (col->kind != kCellMenu) return;
        break;
    default: return;
    }
    g.markChanged();
    const bool isProtected = (col->flags[static_cast<std::size_t>(g.currentRow)] & kCellProtected) != 0;
    if (g.hasStyle(kGridReadOnlyStyle) || isProtected) {
        if (code == CBN_SELCHANGE)
            SendMessageA(g.editor, CB_SETCURSEL, static_cast<WPARAM>(col->integer(g.currentRow)), 0);
        return;
    }
    YYGridNotifyCell(g, YYGridPackCell(g.currentColumn, g.currentRow));
    YYGridClearSelection(g.window);
}

void cellAreaSized(GridRecord& g)
{
    NumericEditState& numeric = numericEditState();
    const INTEGER saved = numeric.validationSuspended;
    numeric.validationSuspended = 1;
    RECT client{};
    GetClientRect(g.cellArea, &client);
    const INTEGER step = g.rowHeight - 1;
    const INTEGER v = std::max<INTEGER>(1, (client.bottom - g.rowHeight) / std::max<INTEGER>(1, step) + 1);
    const INTEGER d = std::min(v + 1, g.capacity);
    const INTEGER slotsBefore = g.rowSlots;
    if (d == g.rowSlots) {
        g.visibleRows = v;
    } else if (d < g.rowSlots) {
        if (g.currentRow >= g.firstRow + v) SendMessageA(g.window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
        for (INTEGER slot = d; slot < static_cast<INTEGER>(g.labelHeaders.size()); ++slot)
            if (HWND header = g.labelHeaders[static_cast<std::size_t>(slot)]) DestroyWindow(header);
        if (static_cast<INTEGER>(g.labelHeaders.size()) > d) g.labelHeaders.resize(static_cast<std::size_t>(d));
        g.visibleRows = v;
        g.rowSlots = d;
        g.rowSlotsMade = std::min(d, g.rowSlotsMade);
    } else if (g.rowSlots != g.rowSlotsMade) {
        g.visibleRows = v;
    } else {
        if (g.rows < g.firstRow + d) g.firstRow = std::max(0, g.rows - v);
        INTEGER made = d;
        if (g.hasStyle(kGridRowLabels)) {
            g.labelHeaders.resize(static_cast<std::size_t>(std::max<INTEGER>(d, static_cast<INTEGER>(g.labelHeaders.size()))));
            for (INTEGER slot = g.rowSlots; slot < d; ++slot) {
                const INTEGER y = step * slot + (g.headerHeight ? g.headerHeight + 1 : 1);
                HWND header = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | HDS_BUTTONS, 0, y, g.labelWidth, step, g.window,
                                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(slot)), GetModuleHandleA(nullptr),
                                              nullptr);
                if (!header) {
                    made = slot;
                    break;
                }
                SendMessageA(header, WM_SETFONT, reinterpret_cast<WPARAM>(g.font), FALSE);
                SetWindowLongPtrA(header, GWLP_USERDATA, GetWindowLongPtrA(header, GWLP_WNDPROC));
                SetWindowLongPtrA(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(YYGridHeaderProc));
                HDITEMA item{};
                item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
                item.cxy = g.labelWidth + 1;
                item.pszText = const_cast<char*>("");
                item.fmt = HDF_LEFT | HDF_STRING;
                SendMessageA(header, HDM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
                g.labelHeaders[static_cast<std::size_t>(slot)] = header;
            }
        }
        g.rowSlots = g.rowSlotsMade = made;
        g.visibleRows = std::min(v, made);
        YYGridRefreshRowLabels(g);
    }
    if (g.rowSlots != slotsBefore && !g.embedded) SetFocus(g.window);
    numeric.validationSuspended = saved;
}

// The grid's context menu, built afresh for the window the request came from: the edit commands
// act on that window, the block commands on the grid.
MenuHandle contextMenu(GridRecord& g, HWND target)
{
    const ControlClassCode code = YYControlClass(target);
    const bool editTarget = target && target != g.cellArea && code != kClassButton && code != kClassComboBox;
    const bool block = g.hasSelection();
    const bool gridReadOnly = g.hasStyle(kGridReadOnlyStyle);
    const bool targetReadOnly = editTarget && (GetWindowLongA(target, GWL_STYLE) & ES_READONLY) != 0;
    const bool writable = editTarget && !targetReadOnly && !gridReadOnly;
    DWORD start = 0, end = 0;
    if (editTarget) SendMessageA(target, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const bool textSelected = editTarget && end > start;
    const INTEGER length = editTarget ? GetWindowTextLengthA(target) : 0;
    const INTEGER clip = YYClipHasText();
    const bool blockWritable = block && YYGridSelUnprotected(g.window) != 0;

    MenuHandle menu(CreatePopupMenu());
    if (!menu) return menu;
    const auto item = [&](UINT command, const char* text, bool enabled) {
        AppendMenuA(menu.get(), MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), command, text);
    };
    item(32221, "&Undo", editTarget && !block && SendMessageA(target, EM_CANUNDO, 0, 0) && writable);
    AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    if (block) item(32122, "Cu&t", blockWritable);
    else item(32222, "Cu&t", writable && textSelected);
    if (block) item(32123, "&Copy", true);
    else item(32223, "&Copy", textSelected);
    if (clip == kClipCells) item(32124, "&Paste", YYGridPasteUnprotected(g.window) != 0);
    else item(32224, "&Paste", clip == kClipSingle && writable);
    if (block) item(32125, "&Delete", blockWritable);
    else item(32225, "&Delete", writable && textSelected);
    AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    item(32226, "Select &All", !block && editTarget && length > 0 && !(start == 0 && end >= static_cast<DWORD>(length)));
    return menu;
}

void showContextMenu(GridRecord& g, HWND target, LPARAM lParam)
{
    g.menuTarget = target;
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (lParam == -1) {
        // From the keyboard the request has no point: the menu opens under the current cell.
        const RECT cell = YYGridCellInterior(g, g.currentColumn, g.currentRow);
        at = POINT{cell.left, cell.bottom};
        ClientToScreen(g.cellArea, &at);
    }
    MenuHandle menu = contextMenu(g, target);
    if (menu) TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, g.window, nullptr);
}

}  // namespace

RECT YYGridCellInterior(const GridRecord& g, INTEGER column, INTEGER row)
{
    auto& grid = const_cast<GridRecord&>(g);
    const GridColumnRecord* col = grid.column(column);
    const INTEGER x = YYGridColumnX(g, column), y = (row - g.firstRow) * (g.rowHeight - 1);
    return RECT{x + 1, y + 1, x + (col ? col->width : 1) - 1, y + g.rowHeight - 1};
}

bool YYGridHitTest(const GridRecord& g, POINT point, INTEGER& column, INTEGER& row)
{
    const INTEGER shown = YYGridShownRows(g);
    if (point.x < 0 || point.y < 0) return false;
    for (INTEGER c = g.firstColumn; c <= lastShownColumn(g); ++c) {
        if (YYGridCellInterior(g, c, g.firstRow).right < point.x) continue;
        for (INTEGER i = 0; i < shown; ++i) {
            if (YYGridCellInterior(g, c, g.firstRow + i).bottom < point.y) continue;
            column = c;
            row = g.firstRow + i;
            return true;
        }
        return false;
    }
    return false;
}

void YYGridRedrawCell(GridRecord& g, INTEGER column, INTEGER row, bool update)
{
    if (!g.cellArea) return;
    if (row < g.firstRow || row >= g.firstRow + YYGridShownRows(g)) return;
    if (column < g.firstColumn || column > g.lastColumn + 1) return;
    RECT client{};
    GetClientRect(g.cellArea, &client);
    RECT r = YYGridCellInterior(g, column, row);
    r.top = std::max<LONG>(r.top, 0);
    r.bottom = std::min(r.bottom, client.bottom);
    InvalidateRect(g.cellArea, &r, TRUE);
    if (update) UpdateWindow(g.cellArea);
}

void YYGridHoldRedraw() { gridState().redrawOn = 0; }

void YYGridResumeRedraw(INTEGER field)
{
    gridState().redrawOn = 1;
    if (GridRecord* g = YYGridFind(field); g && g->cellArea) UpdateWindow(g->cellArea);
}

void YYGridRefreshRowLabels(GridRecord& g)
{
    if (g.labelHeaders.empty() || !g.rowLabels) return;
    for (std::size_t slot = 0; slot < g.labelHeaders.size(); ++slot) {
        HWND header = g.labelHeaders[slot];
        if (!header) continue;
        const INTEGER row = g.firstRow + static_cast<INTEGER>(slot);
        std::string label = row < static_cast<INTEGER>(g.rowLabels->size()) ? (*g.rowLabels)[static_cast<std::size_t>(row)] : "";
        HDITEMA item{};
        item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
        item.cxy = g.labelWidth + 1;
        item.pszText = label.data();
        item.fmt = HDF_LEFT | HDF_STRING;
        SendMessageA(header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        ShowWindow(header, row < g.rows ? SW_SHOWNA : SW_HIDE);
        UpdateWindow(header);
    }
}

void YYDrawMaskedCheck(HBITMAP source, HBITMAP target, HBITMAP work)
{
    BITMAP info{};
    if (!GetObjectA(source, sizeof info, &info)) return;
    const int w = info.bmWidth, h = info.bmHeight;
    WindowDc screen(nullptr);
    MemoryDcHandle from(CreateCompatibleDC(screen.get())), to(CreateCompatibleDC(screen.get()));
    MemoryDcHandle scratch(CreateCompatibleDC(screen.get())), maskDc(CreateCompatibleDC(screen.get()));
    BitmapHandle mask(CreateBitmap(w, h, 1, 1, nullptr));
    DcSelection selectFrom(from.get(), source), selectTo(to.get(), target), selectWork(scratch.get(), work);
    DcSelection selectMask(maskDc.get(), mask.get());
    BitBlt(scratch.get(), 0, 0, w, h, from.get(), 0, 0, SRCCOPY);
    // Colour to monochrome: the pixels of the background colour become white in the mask.
    SetBkColor(scratch.get(), GetSysColor(COLOR_BTNFACE));
    BitBlt(maskDc.get(), 0, 0, w, h, scratch.get(), 0, 0, SRCCOPY);
    RECT all{0, 0, w, h};
    FillRect(to.get(), &all, GetSysColorBrush(COLOR_HIGHLIGHT));
    // Monochrome to colour: white stays white (keeps the highlight), black clears.
    SetBkColor(to.get(), RGB(255, 255, 255));
    SetTextColor(to.get(), RGB(0, 0, 0));
    BitBlt(to.get(), 0, 0, w, h, maskDc.get(), 0, 0, SRCAND);
    // The source's face pixels turn black, its other pixels stay, and are ORed in.
    SetBkColor(scratch.get(), RGB(0, 0, 0));
    SetTextColor(scratch.get(), RGB(255, 255, 255));
    BitBlt(scratch.get(), 0, 0, w, h, maskDc.get(), 0, 0, SRCAND);
    BitBlt(to.get(), 0, 0, w, h, scratch.get(), 0, 0, SRCPAINT);
}

HWND YYFindEditChild(HWND window)
{
    if (!window) return nullptr;
    const ControlClassCode code = YYControlClass(window);
    return YYIsEditLike(code) ? window : nullptr;
}

LRESULT CALLBACK YYGridHeaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_USERDATA));
    const GridRecord* g = YYGridRecordOf(GetParent(window));
    if (g && message == WM_SETCURSOR && !g->hasStyle(kGridResizableColumns)) {
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        return TRUE;
    }
    if (g && message == WM_NCHITTEST && g->embedded) return HTTRANSPARENT;
    if (message == WM_NCDESTROY && original) SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    return original ? CallWindowProcA(original, window, message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK YYGridClientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    GridRecord* record = YYGridRecordOf(GetParent(window));
    if (!record || record->cellArea != window) return DefWindowProcA(window, message, wParam, lParam);
    GridRecord& g = *record;
    switch (message) {
    case WM_PAINT: {
        PaintDc paint(window);
        paintCells(g, paint.get(), paint.area());
        return 0;
    }
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN:
        press(g, message, wParam, lParam);
        return 0;
    case WM_CTLCOLOREDIT: case WM_CTLCOLORBTN: case WM_CTLCOLORSTATIC: {
        const LRESULT answer = editorColours(g, message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        return answer ? answer : DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_COMMAND:
        if (g.editor && reinterpret_cast<HWND>(lParam) == g.editor) {
            editorCommand(g, HIWORD(wParam));
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_VSCROLL:
        if (lParam && YYControlClass(reinterpret_cast<HWND>(lParam)) == kClassUpDown && LOWORD(wParam) != SB_ENDSCROLL) {
            if (!YYGridInModalInstance(g.window)) YYGridNotifyCell(g, YYGridPackCell(g.currentColumn, g.currentRow));
            g.markChanged();
            YYGridClearSelection(g.window);
        }
        return 0;
    case WM_USER: {  // the default-button query of an edit: the dialog holding the grid answers
        HWND dialog = GetParent(g.window);
        const LRESULT answer = SendMessageA(dialog, DM_GETDEFID, 0, 0);
        if (HIWORD(answer) == DC_HASDEFID) {
            HWND button = GetDlgItem(dialog, LOWORD(answer));
            if (button && IsWindowEnabled(button))
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(LOWORD(answer), BN_CLICKED), reinterpret_cast<LPARAM>(button));
        }
        return answer;
    }
    case WM_CONTEXTMENU:
        showContextMenu(g, reinterpret_cast<HWND>(wParam), lParam);
        return 0;
    case WM_CLOSE: case WM_NEXTDLGCTL: case WM_NOTIFY:
        return SendMessageA(GetParent(g.window), message, wParam, lParam);
    case WM_NCHITTEST:
        if (g.embedded) return HTTRANSPARENT;
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SIZE:
        if (g.initialised) cellAreaSized(g);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
