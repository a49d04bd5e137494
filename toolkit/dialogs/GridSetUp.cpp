#include "toolkit/dialogs/GridSetUp.h"

#include "toolkit/foundation/CommonControls.h"

#include <algorithm>
#include <string>

#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogFieldTable.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/GridCellEditor.h"
#include "toolkit/dialogs/GridPainting.h"
#include "toolkit/dialogs/GridRecords.h"
#include "toolkit/foundation/WindowSlots.h"

namespace {

HINSTANCE instance() { return GetModuleHandleA(nullptr); }

// Reads an integer as the field table writes them: optional "-", digits; no digits give 0.
INTEGER readInteger(std::string_view text, std::size_t& at)
{
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\r')) ++at;
    bool negative = false;
    if (at < text.size() && text[at] == '-') {
        negative = true;
        ++at;
    }
    long long value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        value = std::min<long long>(value * 10 + (text[at] - '0'), 2147483647);
        ++at;
    }
    while (at < text.size() && text[at] != ' ' && text[at] != '\n') ++at;
    return static_cast<INTEGER>(negative ? -value : value);
}

void skipLine(std::string_view text, std::size_t& at)
{
    while (at < text.size() && text[at] != '\n') ++at;
    if (at < text.size()) ++at;
}

GridCellKind kindOf(ControlClassCode code, HWND control)
{
    switch (code) {
    case kClassIntegerEdit: case kClassIntegerSpin: return kCellInteger;
    case kClassRealEdit: case kClassRealSpin: return kCellReal;
    case kClassDoubleEdit: case kClassDoubleSpin: return kCellDouble;
    case kClassComboBox: return kCellMenu;
    case kClassButton: {
        const LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
        return type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTO3STATE || type == BS_3STATE ? kCellCheckBox
                                                                                                               : kCellText;
    }
    default: return kCellText;
    }
}

std::string className(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string windowText(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

// The template controls that make columns: a spin field and its up-down control count as one.
std::vector<HWND> templateControls(HWND templateDialog)
{
    std::vector<HWND> controls;
    for (HWND child = GetWindow(templateDialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (YYControlClass(child) == kClassUpDown) continue;
        controls.push_back(child);
    }
    return controls;
}

void insertHeaderItem(HWND header, INTEGER index, INTEGER width, const std::string& text, INTEGER format)
{
    HDITEMA item{};
    item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
    item.cxy = width;
    item.pszText = const_cast<char*>(text.c_str());
    item.fmt = format | HDF_STRING;
    SendMessageA(header, HDM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

HWND makeLabelHeader(GridRecord& g, INTEGER slot)
{
    const INTEGER y = g.headerHeight + slot * (g.rowHeight - 1) + (slot > 0 ? 1 : 0);
    HWND header = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | HDS_BUTTONS, 0, y, g.labelWidth,
                                  slot > 0 ? g.rowHeight - 1 : g.rowHeight, g.window,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(slot)), instance(), nullptr);
    if (!header) return nullptr;
    SendMessageA(header, WM_SETFONT, reinterpret_cast<WPARAM>(g.font), FALSE);
    SetWindowLongPtrA(header, GWLP_USERDATA, GetWindowLongPtrA(header, GWLP_WNDPROC));
    SetWindowLongPtrA(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(YYGridHeaderProc));
    insertHeaderItem(header, 0, g.labelWidth + 1, "", HDF_LEFT);
    return header;
}

}  // namespace

void YYDialogRectToPixels(HWND window, RECT& rect)
{
    WindowDc dc(window);
    TEXTMETRICA metrics{};
    {
        DcSelection font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0)));
        GetTextMetricsA(dc.get(), &metrics);
    }
    rect.left = rect.left * metrics.tmAveCharWidth / 4;
    rect.right = rect.right * metrics.tmAveCharWidth / 4;
    rect.top = rect.top * metrics.tmHeight / 8;
    rect.bottom = rect.bottom * metrics.tmHeight / 8;
}

INT_PTR CALLBACK YYGridTemplateProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (YYIsNumericClass(YYControlClass(child)) || YYFieldRecordOf(child)) continue;
            YYFieldRecordMake(child);  // zero values, no range, no colours
        }
        YYDialogApplyFieldTable(dialog, static_cast<INTEGER>(lParam), -1);
    } else if (message == WM_DESTROY) {
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (!YYIsNumericClass(YYControlClass(child))) YYFieldRecordFree(child);
    }
    return 0;
}

void YYGridFromTemplate(HWND grid, std::string_view text, INTEGER& consumed)
{
    std::size_t at = 0;
    const INTEGER columns = readInteger(text, at);
    const INTEGER rows = readInteger(text, at);
    const INTEGER templateId = readInteger(text, at);
    consumed = static_cast<INTEGER>(at);
    GridRecord* g = YYGridRecordOf(grid);
    if (!g) return;
    if (g->initialised) return;  // a second line would outgrow the storage made for the first
    // Nothing sensible can be built from an empty grid: the field is refused like a bad template.
    bool failed = columns < 1 || rows < 1;
    if (!failed) {
        SendMessageA(grid, kGridSetSize, static_cast<WPARAM>(rows), static_cast<LPARAM>(columns));
        g->templateColumns = columns;
    }
    HWND owner = windowSlotTable().Slots[0].Frame.get();
    HWND templateDialog = failed ? nullptr
                                 : CreateDialogParamA(instance(), MAKEINTRESOURCEA(templateId), owner, YYGridTemplateProc,
                                                      static_cast<LPARAM>(templateId));
    WindowHandle templateOwner(templateDialog);
    failed = failed || !templateDialog;
    if (!failed && g->hasStyle(kGridRowLabels)) {
        skipLine(text, at);
        std::size_t widthAt = at;
        const INTEGER width = readInteger(text, widthAt);
        const LRESULT used = SendMessageA(grid, kGridMakeRowLabels, static_cast<WPARAM>(width),
                                          reinterpret_cast<LPARAM>(std::string(text.substr(at)).c_str()));
        if (used < 0) failed = true;
        else at += static_cast<std::size_t>(used);
    }
    if (!failed && !SendMessageA(grid, kGridBuildColumns, reinterpret_cast<WPARAM>(templateDialog), 0)) failed = true;
    if (failed) {
        // The field goes with its window: the dialog will not find it to free its record.
        YYFieldRecordFree(grid);
        DestroyWindow(grid);
        consumed = static_cast<INTEGER>(at);
        return;
    }
    SendMessageA(grid, kGridLayoutScroll, 0, 0);
    g->initialised = 1;
    g->templateId = templateId;
    consumed = static_cast<INTEGER>(at);
}

LRESULT YYGridMakeRowLabels(HWND grid, INTEGER widthUnits, const char* rawText)
{
    GridRecord* record = YYGridRecordOf(grid);
    if (!record || !rawText) return -1;
    GridRecord& g = *record;
    const std::string_view text(rawText);
    std::size_t at = 0;
    try {
        g.labelHeaders.assign(static_cast<std::size_t>(std::max(g.rowSlots, 0)), nullptr);
        g.rowLabels = std::make_shared<std::vector<std::string>>(static_cast<std::size_t>(g.rows));
    } catch (const std::bad_alloc&) {
        return -1;
    }
    RECT r{widthUnits, 0, 0, 0};
    YYDialogRectToPixels(grid, r);
    g.labelWidth = r.left;
    for (INTEGER slot = 0; slot < g.rowSlots; ++slot) {
        HWND header = makeLabelHeader(g, slot);
        if (!header) return -1;
        ShowWindow(header, SW_SHOWNA);
        g.labelHeaders[static_cast<std::size_t>(slot)] = header;
    }
    skipLine(text, at);
    for (INTEGER row = 0; row < g.rows; ++row) {
        if (at >= text.size() || g.hasStyle(kGridNoLabelLines)) break;
        std::string label;
        while (at < text.size() && text[at] != '\n') {
            if (text[at] != '\r' && label.size() < 50) label.push_back(text[at]);
            ++at;
        }
        if (at < text.size()) ++at;
        while (!label.empty() && label.back() == ' ') label.pop_back();
        (*g.rowLabels)[static_cast<std::size_t>(row)] = label;
    }
    YYGridRefreshRowLabels(g);
    return static_cast<LRESULT>(at);
}

LRESULT YYGridBuildColumns(HWND grid, HWND templateDialog, const INTEGER* positions)
{
    GridRecord* record = YYGridRecordOf(grid);
    if (!record || !templateDialog) return 0;
    GridRecord& g = *record;
    const std::vector<HWND> controls = templateControls(templateDialog);
    // A template with fewer controls than columns is refused rather than read past its end.
    if (static_cast<INTEGER>(controls.size()) < g.columns && !positions) return 0;
    try {
        g.columnTable = std::make_shared<std::vector<GridColumnRecord>>(static_cast<std::size_t>(g.columns));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    if (g.columnHeader) insertHeaderItem(g.columnHeader, 0, g.labelWidth + 1, "", HDF_LEFT);
    RECT client{};
    GetClientRect(grid, &client);
    if (!g.cellArea) {
        g.cellArea = CreateWindowExA(0, "DOVEGRIDCLIENT", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, g.labelWidth,
                                     g.headerHeight, std::max<LONG>(1, client.right - g.labelWidth),
                                     std::max<LONG>(1, client.bottom - g.headerHeight), grid, nullptr, instance(), nullptr);
        if (!g.cellArea) return 0;
    }
    RECT area{};
    GetClientRect(g.cellArea, &area);
    const bool gridDisabled = (g.style() & WS_DISABLED) != 0;
    for (INTEGER k = 0; k < g.columns; ++k) {
        const INTEGER index = positions ? positions[k] - 1 : k;
        if (index < 0 || index >= static_cast<INTEGER>(controls.size())) return 0;
        HWND source = controls[static_cast<std::size_t>(index)];
        const ControlClassCode code = YYControlClass(source);
        FieldRecord* sourceField = YYFieldRecordOf(source);
        RECT r{};
        GetWindowRect(source, &r);
        if (sourceField && sourceField->spinControl) {
            RECT s{};
            GetWindowRect(sourceField->spinControl, &s);
            r.right = std::max(r.right, s.right);
        }
        GridColumnRecord& col = (*g.columnTable)[static_cast<std::size_t>(k)];
        col.width = std::min<INTEGER>(r.right - r.left, area.right);
        const GridCellKind kind = kindOf(code, source);
        INTEGER length = 0;
        if (code == kClassEdit) length = sourceField && sourceField->maxLength ? sourceField->maxLength : 1024;
        else if (code == kClassIntegerEdit || code == kClassIntegerSpin) length = 11;
        if (sourceField) sourceField->maxLength = length;
        if (!col.allocate(kind, kind == kCellText || kind == kCellInteger ? length : 0, g.capacity)) return 0;
        const LONG sourceStyle = GetWindowLongA(source, GWL_STYLE);
        const bool editLike = YYIsEditLike(code);
        if (editLike && (sourceStyle & ES_READONLY) && kind <= kCellDouble)
            std::fill(col.flags.begin(), col.flags.end(), static_cast<unsigned char>(kCellProtected));
        LONG style = ((sourceStyle | WS_BORDER) & ~(WS_VISIBLE | WS_DISABLED)) | (gridDisabled ? WS_DISABLED : 0);
        style |= WS_CHILD;
        INTEGER height = g.rowHeight;
        if (g.hasStyle(kGridReadOnlyStyle)) {
            if (editLike) style |= ES_READONLY;
            if (kind == kCellCheckBox) style = (style & ~BS_TYPEMASK) | BS_CHECKBOX;
        }
        if (editLike) style |= ES_MULTILINE;
        if (kind == kCellMenu) {
            RECT dropped{};
            SendMessageA(source, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
            height = std::max<INTEGER>(g.rowHeight, dropped.bottom - dropped.top);
            style = (style & ~0x3L) | CBS_DROPDOWNLIST | WS_VSCROLL;
        }
        const std::string caption = kind == kCellCheckBox ? std::string(" ") : std::string();
        col.prototype = CreateWindowExA(GetWindowLongA(source, GWL_EXSTYLE), className(source).c_str(), caption.c_str(), style,
                                        0, 0, col.width, height, g.cellArea, nullptr, instance(), nullptr);
        if (!col.prototype) return 0;
        SendMessageA(col.prototype, WM_SETFONT, reinterpret_cast<WPARAM>(g.font), FALSE);
        if (kind == kCellText || kind == kCellReal || kind == kCellDouble)
            SendMessageA(col.prototype, EM_LIMITTEXT, static_cast<WPARAM>(col.textLength), 0);
        else if (kind == kCellInteger)
            SendMessageA(col.prototype, EM_LIMITTEXT, 11, 0);
        FieldRecord* proto = YYFieldRecordOf(col.prototype);
        if (!proto) proto = YYFieldRecordMake(col.prototype);
        if (sourceField) {
            proto->minimum = sourceField->minimum;
            proto->maximum = sourceField->maximum;
            proto->smallStep = sourceField->smallStep;
            proto->largeStep = sourceField->largeStep;
            proto->stepOrigin = sourceField->stepOrigin;
            proto->value = sourceField->value;
            proto->maxLength = sourceField->maxLength;
            if (sourceField->format) proto->format = std::make_shared<std::string>(*sourceField->format);
            if (sourceField->spinControl && proto->spinControl) {
                const LRESULT range = SendMessageA(sourceField->spinControl, UDM_GETRANGE, 0, 0);
                SendMessageA(proto->spinControl, UDM_SETRANGE, 0, range);
            }
        }
        proto->textColour = proto->backColour = -1;
        proto->hasValue = 0;
        if (proto->spinControl) ShowWindow(proto->spinControl, SW_HIDE);
        if (kind == kCellMenu) {
            const LRESULT count = SendMessageA(source, CB_GETCOUNT, 0, 0);
            for (LRESULT i = 1; i < count; ++i) {
                const LRESULT length = SendMessageA(source, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
                if (length < 0) continue;
                std::string item(static_cast<std::size_t>(length) + 1, '\0');
                SendMessageA(source, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
                SendMessageA(col.prototype, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
            }
            SendMessageA(col.prototype, CB_SETCURSEL, static_cast<WPARAM>(SendMessageA(source, CB_GETCURSEL, 0, 0)), 0);
        }
        if (g.columnHeader) insertHeaderItem(g.columnHeader, k + 1, col.width - 1, windowText(source), HDF_CENTER);
    }
    if (!gridDisabled && !g.editor) YYCellEditCreate(g);
    return 1;
}

void YYGridRebuild(HWND target, HWND source)
{
    GridRecord* to = YYGridRecordOf(target);
    GridRecord* from = YYGridRecordOf(source);
    if (!to || !from || !from->initialised) return;
    YYCellEditDestroy(*to, false);
    to->rows = from->rows;
    to->currentColumn = from->currentColumn;
    to->currentRow = from->currentRow;
    to->firstColumn = from->firstColumn;
    to->lastColumn = from->lastColumn;
    to->firstRow = from->firstRow;
    const LONG style = GetWindowLongA(source, GWL_STYLE);
    if (YYGridInModalInstance(source)) {
        // Back from the modal instance: the labels and the dragged column widths it changed.
        if ((style & kGridColumnHeader) && (style & kGridResizableColumns) && to->columnHeader && from->columnHeader) {
            const LRESULT n = SendMessageA(from->columnHeader, HDM_GETITEMCOUNT, 0, 0);
            for (LRESULT i = 0; i < n; ++i) {
                HDITEMA item{};
                item.mask = HDI_WIDTH;
                SendMessageA(from->columnHeader, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
                SendMessageA(to->columnHeader, HDM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            }
        }
        YYGridRefreshRowLabels(*to);
    } else {
        to->initialised = from->initialised;
        to->columns = from->columns;
        to->maxFirstColumn = from->maxFirstColumn;
        to->capacity = from->capacity;
        to->templateColumns = from->templateColumns;
        to->visibleRows = from->visibleRows;
        to->rowSlots = from->rowSlots;
        to->rowSlotsMade = from->rowSlotsMade;
        to->labelWidth = from->labelWidth;
        to->headerHeight = from->headerHeight;
        to->templateId = from->templateId;
        to->scrollScale = from->scrollScale;
        to->rowHeight = from->rowHeight;
        to->embedded = 0;
        to->columnTable = from->columnTable;
        to->rowLabels = from->rowLabels;
        to->font = from->font;
        RECT client{};
        GetClientRect(target, &client);
        if (!to->cellArea)
            to->cellArea = CreateWindowExA(0, "DOVEGRIDCLIENT", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, to->labelWidth,
                                           to->headerHeight, std::max<LONG>(1, client.right - to->labelWidth),
                                           std::max<LONG>(1, client.bottom - to->headerHeight), target, nullptr, instance(),
                                           nullptr);
        if (style & kGridRowLabels) {
            to->labelHeaders.assign(from->labelHeaders.size(), nullptr);
            for (std::size_t slot = 0; slot < from->labelHeaders.size(); ++slot) {
                HWND made = makeLabelHeader(*to, static_cast<INTEGER>(slot));
                to->labelHeaders[slot] = made;
                if (made && IsWindowVisible(from->labelHeaders[slot])) ShowWindow(made, SW_SHOWNA);
            }
            YYGridRefreshRowLabels(*to);
        }
        if (to->columnHeader && from->columnHeader) {
            SendMessageA(to->columnHeader, WM_SETFONT, reinterpret_cast<WPARAM>(to->font), FALSE);
            RECT h{};
            GetWindowRect(from->columnHeader, &h);
            SetWindowPos(to->columnHeader, nullptr, 0, 0, h.right - h.left, h.bottom - h.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            while (SendMessageA(to->columnHeader, HDM_GETITEMCOUNT, 0, 0) > 0) SendMessageA(to->columnHeader, HDM_DELETEITEM, 0, 0);
            const LRESULT n = SendMessageA(from->columnHeader, HDM_GETITEMCOUNT, 0, 0);
            for (LRESULT i = 0; i < n; ++i) {
                char text[256] = {};
                HDITEMA item{};
                item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
                item.pszText = text;
                item.cchTextMax = sizeof text;
                SendMessageA(from->columnHeader, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
                insertHeaderItem(to->columnHeader, static_cast<INTEGER>(i), item.cxy, text, item.fmt & HDF_JUSTIFYMASK);
            }
        }
    }
    for (int bar : {SB_VERT, SB_HORZ}) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        if (GetScrollInfo(source, bar, &info)) {
            info.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
            SetScrollInfo(target, bar, &info, TRUE);
        }
    }
    if (from->editor) {
        YYCellEditCreate(*to);
        if (to->editor) {
            const INTEGER kind = to->column(to->currentColumn)->kind;
            char text[1100] = {};
            GetWindowTextA(from->editor, text, sizeof text);
            if (kind == kCellCheckBox) {
                SendMessageA(to->editor, BM_SETCHECK, SendMessageA(from->editor, BM_GETCHECK, 0, 0), 0);
            } else if (kind == kCellMenu) {
                const LRESULT selected = SendMessageA(from->editor, CB_GETCURSEL, 0, 0);
                if (selected >= 0) SendMessageA(to->editor, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
            } else {
                SetWindowTextA(to->editor, text);
                const FieldRecord* fs = YYFieldRecordOf(from->editor);
                if (FieldRecord* fd = YYFieldRecordOf(to->editor); fs && fd) {
                    fd->value = fs->value;
                    fd->hasValue = fs->hasValue;
                }
                SendMessageA(to->editor, EM_SETMODIFY, SendMessageA(from->editor, EM_GETMODIFY, 0, 0), 0);
            }
        }
    }
    if (to->cellArea) InvalidateRect(to->cellArea, nullptr, TRUE);
}
