#include "toolkit/dialogs/GridEditor.h"

#include "toolkit/foundation/CommonControls.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/GridCellEditor.h"
#include "toolkit/dialogs/GridCellValues.h"
#include "toolkit/dialogs/GridEditorCommands.h"
#include "toolkit/dialogs/GridPainting.h"
#include "toolkit/dialogs/GridRecords.h"
#include "toolkit/dialogs/GridSelection.h"
#include "toolkit/dialogs/GridSetUp.h"
#include "toolkit/foundation/ChildWindows.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/Menus.h"
#include "toolkit/foundation/MessageBoxes.h"
#include "toolkit/foundation/WindowEngineHooks.h"
#include "toolkit/foundation/WindowProcs.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"

static_assert(offsetof(GridEditorRecord, grid) == 5 * sizeof(std::intptr_t));
static_assert(offsetof(GridEditorRecord, statusBar) == (kEditorStatusBarWord - 1) * sizeof(std::intptr_t));
static_assert(offsetof(GridEditorRecord, builtAccelerators) == 13 * sizeof(std::intptr_t));
static_assert(offsetof(GridEditorRecord, userAccelerators) == 14 * sizeof(std::intptr_t));

GridEditorClosedTexts& gridEditorClosedTexts()
{
    static GridEditorClosedTexts texts;
    return texts;
}

namespace {

using Owned = WindowOwnedRecord<GridEditorRecord>;

HINSTANCE instance() { return GetModuleHandleA(nullptr); }
WindowSlot& slotOf(INTEGER n) { return windowSlotTable().Slots[static_cast<std::size_t>(n)]; }

struct CommandText {
    INTEGER id;
    const char* withKey;
    const char* plain;
    const char* help;
};

constexpr CommandText kCommands[] = {
    {kGridCmdFile, "&File", "&File", "Commands to Load and Save files"},
    {kGridCmdNew, "&New\tCtrl+N", "&New", "Clears the grid"},
    {kGridCmdOpen, "&Open\tCtrl+O", "&Open", "Loads an existing grid"},
    {kGridCmdSave, "&Save\tCtrl+S", "&Save", "Saves the grid"},
    {kGridCmdSaveAs, "Save &As\tF12", "Save &As", "Saves the grid with a new name"},
    {kGridCmdSaveSelection, "Save S&election", "Save S&election", "Saves the selected cells"},
    {kGridCmdSaveHtml, "Save As &HTML", "Save As &HTML", "Saves the grid as an HTML document"},
    {kGridCmdPrint, "&Print\tCtrl+P", "&Print", "Prints the grid"},
    {kGridCmdPrintSelection, "Prin&t Selection", "Prin&t Selection", "Prints the selected cells"},
    {kGridCmdExit, "E&xit", "E&xit", "Closes the grid; prompts you to save changes"},
    {kGridCmdEdit, "&Edit", "&Edit", "Commands for Editing and Sorting cells"},
    {kGridCmdCut, "Cu&t\tCtrl+X", "Cu&t\tCtrl+X", "Cuts the selected cells and places them on the clipboard"},
    {kGridCmdCopy, "&Copy\tCtrl+C", "&Copy\tCtrl+C", "Copies the selected cells and places them on the clipboard"},
    {kGridCmdPaste, "&Paste\tCtrl+V", "&Paste\tCtrl+V", "Inserts clipboard contents"},
    {kGridCmdDelete, "&Delete\tDel", "&Delete\tDel", "Clears the selected cells"},
    {kGridCmdSelectAll, "Select &All", "Select &All", "Selects the entire grid"},
    {kGridCmdSort, "&Sort", "&Sort", "Sorts the rows of the grid"},
    {kGridCmdInsertBefore, "&Insert Row Before Current\tCtrl+I", "&Insert Row Before Current\tCtrl+I",
     "Inserts a row into the grid, before the current row"},
    {kGridCmdInsertAfter, "&Insert Row After Current\tCtrl+Shift+I", "&Insert Row After Current\tCtrl+Shift+I",
     "Inserts a row into the grid, after the current row"},
    {kGridCmdDeleteRow, "D&elete Row\tCtrl+E", "D&elete Row\tCtrl+E", "Deletes a row from the grid"},
    {kGridCmdSearch, "&Search", "&Search", "Commands for Searching and Navigation"},
    {kGridCmdFind, "&Find\tCtrl+F", "&Find", "Finds the specified string value"},
    {kGridCmdFindNext, "Find &Next\tF3", "Find &Next", "Repeats the last find"},
    {kGridCmdGotoCell, "&Goto Cell", "&Goto Cell", "Moves to the specified cell"},
    {kGridCmdGotoRow, "Goto Ro&w", "Goto Ro&w", "Moves to the specified row"},
    {kGridCmdGotoColumn, "Goto &Column", "Goto &Column", "Moves to the specified column"},
};

const CommandText* commandText(INTEGER id)
{
    for (const CommandText& c : kCommands)
        if (c.id == id) return &c;
    return nullptr;
}

// What the editor keeps beside its records: the modal editor's frame while its loop runs.
struct GridEditorState {
    HWND modalFrame = nullptr;
    bool modalDone = false;
};

GridEditorState& gridEditorState()
{
    static GridEditorState state;
    return state;
}

GridRecord* gridOf(const GridEditorRecord& r) { return YYGridRecordOf(r.grid); }

void statusText(HWND bar, int part, const char* text, UINT flags = 0)
{
    if (bar) SendMessageA(bar, SB_SETTEXTA, static_cast<WPARAM>(part) | flags, reinterpret_cast<LPARAM>(text));
}

void showReadOuts(const GridEditorRecord& r, UINT packed)
{
    if (!r.statusBar) return;
    const std::string row = "\t\t" + std::to_string(packed & 0x3FFFF);
    const std::string column = "\t\t" + std::to_string(packed >> 18);
    statusText(r.statusBar, 1, row.c_str());
    statusText(r.statusBar, 3, column.c_str());
    UpdateWindow(r.statusBar);
}

// The accelerator table of the enabled shortcut commands; null when none is on.
HACCEL buildAccelerators(const GridEditorRecord& r)
{
    std::vector<ACCEL> keys;
    auto add = [&](bool on, BYTE modifiers, WORD key, INTEGER command) {
        if (on) keys.push_back(ACCEL{static_cast<BYTE>(FVIRTKEY | FNOINVERT | modifiers), key, static_cast<WORD>(command)});
    };
    const bool writable = !r.on(kSwitchReadOnly);
    add(r.on(kSwitchNew), FCONTROL, 'N', kGridCmdNew);
    add(r.on(kSwitchOpen), FCONTROL, 'O', kGridCmdOpen);
    add(r.on(kSwitchSave), FCONTROL, 'S', kGridCmdSave);
    add(r.on(kSwitchSaveAs), 0, VK_F12, kGridCmdSaveAs);
    add(r.on(kSwitchPrint), FCONTROL, 'P', kGridCmdPrint);
    add(r.on(kSwitchFind), FCONTROL, 'F', kGridCmdFind);
    add(r.on(kSwitchFind), 0, VK_F3, kGridCmdFindNext);
    add(r.on(kSwitchRows) && writable, FCONTROL, 'I', kGridCmdInsertBefore);
    add(r.on(kSwitchRows) && writable, FCONTROL | FSHIFT, 'I', kGridCmdInsertAfter);
    add(r.on(kSwitchRows) && writable, FCONTROL, 'E', kGridCmdDeleteRow);
    if (keys.empty()) return nullptr;
    return CreateAcceleratorTableA(keys.data(), static_cast<int>(keys.size()));
}

void appendItem(HMENU menu, INTEGER id, bool withKeys)
{
    const CommandText* c = commandText(id);
    AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(id), withKeys ? c->withKey : c->plain);
}

void buildPopups(GridEditorRecord& r)
{
    const bool keys = r.builtAccelerators != nullptr;
    const bool writable = !r.on(kSwitchReadOnly);
    HMENU file = CreatePopupMenu(), edit = CreatePopupMenu(), search = CreatePopupMenu();
    if (r.on(kSwitchNew)) appendItem(file, kGridCmdNew, keys);
    if (r.on(kSwitchOpen)) appendItem(file, kGridCmdOpen, keys);
    if (r.on(kSwitchSave)) appendItem(file, kGridCmdSave, keys);
    if (r.on(kSwitchSaveAs)) {
        appendItem(file, kGridCmdSaveAs, keys);
        appendItem(file, kGridCmdSaveSelection, keys);
    }
    if (r.on(kSwitchHtml)) appendItem(file, kGridCmdSaveHtml, keys);
    if (r.on(kSwitchNew) || r.on(kSwitchOpen) || r.on(kSwitchSave) || r.on(kSwitchSaveAs) || r.on(kSwitchHtml))
        AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    if (r.on(kSwitchPrint)) {
        appendItem(file, kGridCmdPrint, keys);
        appendItem(file, kGridCmdPrintSelection, keys);
        AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    }
    appendItem(file, kGridCmdExit, keys);
    if (writable) appendItem(edit, kGridCmdCut, keys);
    appendItem(edit, kGridCmdCopy, keys);
    if (writable) {
        appendItem(edit, kGridCmdPaste, keys);
        appendItem(edit, kGridCmdDelete, keys);
    }
    AppendMenuA(edit, MF_SEPARATOR, 0, nullptr);
    appendItem(edit, kGridCmdSelectAll, keys);
    if (writable) {
        AppendMenuA(edit, MF_SEPARATOR, 0, nullptr);
        appendItem(edit, kGridCmdSort, keys);
    }
    if (r.on(kSwitchRows) && writable) {
        appendItem(edit, kGridCmdInsertBefore, keys);
        appendItem(edit, kGridCmdInsertAfter, keys);
        appendItem(edit, kGridCmdDeleteRow, keys);
    }
    if (r.on(kSwitchFind)) {
        appendItem(search, kGridCmdFind, keys);
        appendItem(search, kGridCmdFindNext, keys);
        AppendMenuA(search, MF_SEPARATOR, 0, nullptr);
    }
    appendItem(search, kGridCmdGotoCell, keys);
    appendItem(search, kGridCmdGotoRow, keys);
    appendItem(search, kGridCmdGotoColumn, keys);
    r.menus = {file, edit, search};
}

void insertPopup(HMENU bar, UINT position, HMENU popup, INTEGER id)
{
    const CommandText* c = commandText(id);
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_SUBMENU | MIIM_ID | MIIM_STRING;
    item.hSubMenu = popup;
    item.wID = static_cast<UINT>(id);
    item.dwTypeData = const_cast<char*>(c->plain);
    InsertMenuItemA(bar, position, TRUE, &item);
}

void makeToolbar(GridEditorRecord& r, HWND frame)
{
    HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT, 0, 0, 0, 0,
                               frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(1001)), instance(), nullptr);
    if (!bar) return;
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 15));
    SendMessageA(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(22, 21));
    TBADDBITMAP standard{HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    SendMessageA(bar, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&standard));
    std::vector<TBBUTTON> buttons;
    auto button = [&](int image, INTEGER command) {
        TBBUTTON b{};
        b.iBitmap = image;
        b.idCommand = command;
        b.fsState = TBSTATE_ENABLED;
        b.fsStyle = BTNS_BUTTON;
        buttons.push_back(b);
    };
    auto separator = [&] {
        TBBUTTON b{};
        b.fsStyle = BTNS_SEP;
        buttons.push_back(b);
    };
    const bool writable = !r.on(kSwitchReadOnly);
    if (r.on(kSwitchNew)) button(STD_FILENEW, kGridCmdNew);
    if (r.on(kSwitchOpen)) button(STD_FILEOPEN, kGridCmdOpen);
    if (r.on(kSwitchSave)) button(STD_FILESAVE, kGridCmdSave);
    if (r.on(kSwitchNew) || r.on(kSwitchOpen) || r.on(kSwitchSave)) separator();
    if (r.on(kSwitchPrint)) {
        button(STD_PRINT, kGridCmdPrint);
        separator();
    }
    if (r.on(kSwitchFind)) {
        button(STD_FIND, kGridCmdFind);
        separator();
    }
    if (writable) button(STD_CUT, kGridCmdCut);
    button(STD_COPY, kGridCmdCopy);
    if (writable) button(STD_PASTE, kGridCmdPaste);
    SendMessageA(bar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageA(bar, TB_AUTOSIZE, 0, 0);
    r.toolbar = bar;
    r.tooltips = reinterpret_cast<HWND>(SendMessageA(bar, TB_GETTOOLTIPS, 0, 0));
}

const char* tooltipText(INTEGER command)
{
    switch (command) {
    case kGridCmdNew: return "New";
    case kGridCmdOpen: return "Open";
    case kGridCmdSave: return "Save";
    case kGridCmdPrint: return "Print";
    case kGridCmdCut: return "Cut";
    case kGridCmdCopy: return "Copy";
    case kGridCmdPaste: return "Paste";
    case kGridCmdFind: return "Find";
    default: return "";
    }
}

INTEGER heightOf(HWND w)
{
    RECT r{};
    if (!w || !IsWindowVisible(w)) return 0;
    GetWindowRect(w, &r);
    return r.bottom - r.top;
}

INTEGER widthOf(HWND w)
{
    RECT r{};
    if (!w || !IsWindowVisible(w)) return 0;
    GetWindowRect(w, &r);
    return r.right - r.left;
}

// Status bar at the bottom, toolbar at the top, the docked bars around the grid, the grid in the rest.
void layout(GridEditorRecord& r, HWND frame)
{
    RECT area{};
    GetClientRect(frame, &area);
    if (r.statusBar) SendMessageA(r.statusBar, WM_SIZE, 0, 0);
    if (r.toolbar) SendMessageA(r.toolbar, TB_AUTOSIZE, 0, 0);
    INTEGER top = heightOf(r.toolbar), bottom = area.bottom - heightOf(r.statusBar);
    const INTEGER n = YYWindowSlotFromHandle(frame);
    auto stored = [&](int k) { return n >= 0 ? slotOf(n).ToolbarWidths[static_cast<std::size_t>(k)] : 0; };
    if (HWND t = r.bars[0]) {
        const INTEGER h = heightOf(t);
        SetWindowPos(t, nullptr, 0, top, area.right, h, SWP_NOZORDER | SWP_NOACTIVATE);
        top += h;
    }
    if (HWND b = r.bars[3]) {
        const INTEGER h = heightOf(b);
        bottom -= h;
        SetWindowPos(b, nullptr, 0, bottom, area.right, h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    INTEGER left = 0, right = area.right;
    if (HWND l = r.bars[1]) {
        SetWindowPos(l, nullptr, 0, top, stored(1), bottom - top, SWP_NOZORDER | SWP_NOACTIVATE);
        left += stored(1);
    }
    if (HWND rb = r.bars[2]) {
        right -= stored(2);
        SetWindowPos(rb, nullptr, right, top, stored(2), bottom - top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const INTEGER width = std::max<INTEGER>(right - left, 1), height = std::max<INTEGER>(bottom - top, 1);
    if (r.grid) SetWindowPos(r.grid, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    if (n >= 0 && slotOf(n).Client)
        SetWindowPos(slotOf(n).Client, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The extents that show the whole grid: widths and heights of the cells with the label column,
// the header and the bars, without the frame's non-client area.
SIZE wholeGrid(GridEditorRecord& r)
{
    SIZE s{0, 0};
    GridRecord* g = gridOf(r);
    if (!g) return s;
    INTEGER width = 1;
    for (INTEGER c = 0; c < g->columns; ++c)
        if (const GridColumnRecord* col = g->column(c)) width += col->width - 1;
    if (width > 9999) width = 10000;
    const INTEGER rowsHeight = (g->rowHeight - 1) * g->rows;
    const INTEGER height = rowsHeight >= 9999 ? 10000 : rowsHeight + 1;
    s.cx = width + g->labelWidth + widthOf(r.bars[1]) + widthOf(r.bars[2]);
    s.cy = height + g->headerHeight + heightOf(r.statusBar) + heightOf(r.toolbar) + heightOf(r.bars[0]) + heightOf(r.bars[3]);
    // The grid's own frame and its real scroll bars.
    RECT window{}, client{};
    GetWindowRect(r.grid, &window);
    GetClientRect(r.grid, &client);
    s.cx += (window.right - window.left) - client.right;
    s.cy += (window.bottom - window.top) - client.bottom;
    return s;
}

void keepClosedTexts(const GridEditorRecord& r)
{
    GridEditorClosedTexts& kept = gridEditorClosedTexts();
    kept.findText = r.findText.data();
    kept.secondText = r.secondText.data();
    kept.fileName = r.fileName.data();
    if (const GridRecord* g = YYGridRecordOf(r.grid)) {
        gridEditorLeftovers().unchangedSinceSave = 1 - g->changedSinceSave;
        gridEditorLeftovers().changedSinceLoad = g->changedSinceLoad;
    }
}

// Everything the record holds goes: accelerators, the font; the frame gets the toolkit's procedure back.
void releaseRecord(HWND frame)
{
    std::unique_ptr<GridEditorRecord> record = Owned::release(frame);
    if (!record) return;
    SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&YYFrameWindowProc));
    if (record->builtAccelerators) DestroyAcceleratorTable(record->builtAccelerators);
    if (record->userAccelerators) DestroyAcceleratorTable(record->userAccelerators);
    if (record->grid && IsWindow(record->grid)) DestroyWindow(record->grid);
    if (record->toolbar && IsWindow(record->toolbar)) DestroyWindow(record->toolbar);
    if (record->font) DeleteObject(record->font);
}

void copyText(std::array<char, kGridEditorNameLength>& to, std::string_view text)
{
    const std::size_t n = std::min(text.size(), to.size() - 1);
    std::memcpy(to.data(), text.data(), n);
    to[n] = '\0';
}

std::string_view untilNul(std::string_view text)
{
    const std::size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

std::string_view trimmed(std::string_view text)
{
    const std::size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

// A prototype control of the editor's grid, made after the dialog grid's one.
HWND copyPrototype(HWND source, HWND cellArea, HFONT font)
{
    char cls[64] = {};
    GetClassNameA(source, cls, sizeof cls);
    RECT r{};
    GetWindowRect(source, &r);
    INTEGER height = r.bottom - r.top;
    if (_stricmp(cls, "COMBOBOX") == 0) {
        RECT dropped{};
        SendMessageA(source, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        height = std::max<INTEGER>(height, dropped.bottom - dropped.top);
    }
    char caption[256] = {};
    GetWindowTextA(source, caption, sizeof caption);
    const LONG style = (GetWindowLongA(source, GWL_STYLE) | WS_BORDER | WS_CHILD) & ~(WS_VISIBLE | WS_DISABLED);
    HWND made = CreateWindowExA(GetWindowLongA(source, GWL_EXSTYLE), cls, caption, style, 0, 0, r.right - r.left, height,
                                cellArea, nullptr, instance(), nullptr);
    if (!made) return nullptr;
    SendMessageA(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (const LRESULT limit = SendMessageA(source, EM_GETLIMITTEXT, 0, 0); limit > 0)
        SendMessageA(made, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
    const FieldRecord* from = YYFieldRecordOf(source);
    FieldRecord* to = YYFieldRecordOf(made);
    if (!to) to = YYFieldRecordMake(made);
    if (from && to) {
        to->minimum = from->minimum;
        to->maximum = from->maximum;
        to->smallStep = from->smallStep;
        to->largeStep = from->largeStep;
        to->stepOrigin = from->stepOrigin;
        to->maxLength = from->maxLength;
        to->textColour = from->textColour;
        to->backColour = from->backColour;
        if (from->format) to->format = std::make_shared<std::string>(*from->format);
        if (from->spinControl && to->spinControl) {
            SendMessageA(to->spinControl, UDM_SETRANGE, 0, SendMessageA(from->spinControl, UDM_GETRANGE, 0, 0));
            UDACCEL steps[2] = {};
            const LRESULT n = SendMessageA(from->spinControl, UDM_GETACCEL, 2, reinterpret_cast<LPARAM>(steps));
            if (n > 0) SendMessageA(to->spinControl, UDM_SETACCEL, static_cast<WPARAM>(std::min<LRESULT>(n, 2)),
                                    reinterpret_cast<LPARAM>(steps));
            ShowWindow(to->spinControl, SW_HIDE);
        }
    }
    if (_stricmp(cls, "COMBOBOX") == 0) {
        const LRESULT count = SendMessageA(source, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            const LRESULT length = SendMessageA(source, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
            std::string item(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
            SendMessageA(source, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
            SendMessageA(made, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
        SendMessageA(made, CB_SETCURSEL, static_cast<WPARAM>(SendMessageA(source, CB_GETCURSEL, 0, 0)), 0);
    }
    return made;
}

// The editor's grid: the dialog grid's columns, cells, colours, labels and prototypes, all copied,
// so that nothing the editor does reaches the dialog.
HWND makeGrid(GridEditorRecord& r, HWND frame, HWND source)
{
    const LONG style = (GetWindowLongA(source, GWL_STYLE) | kGridKeepHeight | kGridEnterDown | kGridTabCells | WS_CHILD |
                        WS_VISIBLE) & ~WS_DISABLED;
    HWND grid = CreateWindowExA(WS_EX_CLIENTEDGE, "DOVEGRID", "", style, 0, 0, 200, 200, frame,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(1002)), instance(), nullptr);
    if (!grid) return nullptr;
    r.grid = grid;
    if (FieldRecord* from = YYFieldRecordOf(source)) {
        if (FieldRecord* to = YYFieldRecordMake(grid)) {
            to->value = from->value;
            to->minimum = from->minimum;
            to->maximum = from->maximum;
            to->textColour = from->textColour;
            to->backColour = from->backColour;
            to->maxLength = from->maxLength;
            to->state = from->state;
            to->notifyChanges = from->notifyChanges;
            if (from->format) to->format = std::make_shared<std::string>(*from->format);
        }
    }
    YYGridRebuild(grid, source);
    GridRecord* to = YYGridRecordOf(grid);
    const GridRecord* from = YYGridRecordOf(source);
    if (!to || !from) return grid;
    YYCellEditDestroy(*to, false);
    to->font = r.font;
    to->embedded = 0;
    to->changedSinceSave = to->changedSinceLoad = 0;
    if (from->columnTable) {
        auto table = std::make_shared<std::vector<GridColumnRecord>>(*from->columnTable);
        for (GridColumnRecord& col : *table)
            if (col.prototype) col.prototype = copyPrototype(col.prototype, to->cellArea, r.font);
        to->columnTable = std::move(table);
    }
    if (from->rowLabels) to->rowLabels = std::make_shared<std::vector<std::string>>(*from->rowLabels);
    to->selFirstRow = to->selLastRow = to->selFirstColumn = to->selLastColumn = -1;
    return grid;
}

bool inSplitWindow(HWND frame, HWND& outermost)
{
    outermost = nullptr;
    for (HWND w = frame; w;) {
        HWND parent = GetParent(w);
        HWND grand = parent ? GetParent(parent) : nullptr;
        if (!grand || !YYSplitRecord(grand)) break;
        outermost = grand;
        w = grand;
    }
    return outermost != nullptr;
}

bool hasCaption(HWND frame) { return (GetWindowLongA(frame, GWL_STYLE) & WS_CAPTION) == WS_CAPTION; }

}  // namespace

GridEditorRecord* YYGridEditorRecord(HWND frame)
{
    if (!YYEditorRecordWords(frame)) return nullptr;
    return Owned::of(frame);
}

HWND YYGridEditorCurrentGrid()
{
    const INTEGER n = windowEngineState().CurrentWindow;
    if (n < 1 || n >= kWindowSlots) return nullptr;
    const GridEditorRecord* r = YYGridEditorRecord(slotOf(n).Frame.get());
    return r ? r->grid : nullptr;
}

INTEGER* YYGridEditorLastCell()
{
    const INTEGER n = windowEngineState().CurrentWindow;
    if (n < 1 || n >= kWindowSlots) return nullptr;
    GridEditorRecord* r = YYGridEditorRecord(slotOf(n).Frame.get());
    return r ? &r->lastCell : nullptr;
}

void YYGridWindowTitles(INTEGER window, INTEGER code, std::string& text, INTEGER length)
{
    std::string value;
    if (window == -1) {
        const GridEditorClosedTexts& kept = gridEditorClosedTexts();
        value = code == 1 ? kept.findText : code == 2 ? kept.secondText : code == 3 ? kept.fileName : std::string();
    } else if (window >= 1 && window < kWindowSlots) {
        if (const GridEditorRecord* r = YYGridEditorRecord(slotOf(window).Frame.get()))
            value = code == 1 ? r->findText.data() : code == 2 ? r->secondText.data() : code == 3 ? r->fileName.data() : "";
    }
    const std::size_t n = static_cast<std::size_t>(std::max<INTEGER>(length, 0));
    value.resize(n, ' ');
    text = value;
}

void YYGridWindowTitle(HWND frame)
{
    GridEditorRecord* r = YYGridEditorRecord(frame);
    if (!r) return;
    if (hasCaption(frame)) {
        std::string title = r->baseTitle.data();
        if (r->fileName[0]) title += " - [" + r->name() + "]";
        SetWindowTextA(frame, title.c_str());
    } else {
        statusText(r->statusBar, 4, r->fileName.data());
    }
}

void YYGridWindowSize(GridEditorRecord& r)
{
    HWND frame = r.grid ? GetParent(r.grid) : nullptr;
    if (!frame) return;
    SIZE want = wholeGrid(r);
    RECT outer{}, inner{};
    GetWindowRect(frame, &outer);
    GetClientRect(frame, &inner);
    want.cx += (outer.right - outer.left) - inner.right;
    want.cy += (outer.bottom - outer.top) - inner.bottom;
    const LONG width = outer.right - outer.left, height = outer.bottom - outer.top;
    const bool widthFits = want.cx <= width, heightFits = want.cy <= height;
    // Shrink, never grow.
    if (!widthFits && !heightFits) return;
    const LONG newWidth = widthFits ? want.cx : width, newHeight = heightFits ? want.cy : height;
    SetWindowPos(frame, nullptr, 0, 0, newWidth, newHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void YYGridEditorQuerySave(INTEGER window, INTEGER changed, INTEGER& result, INTEGER filterIndex, INTEGER backup,
                           INTEGER labelLine, char* fileName, const char* fileFilter)
{
    if (changed != 1) {
        result = 1;
        return;
    }
    const std::string name = fileName ? std::string(fileName) : std::string();
    const std::string text = name.empty() ? std::string("Do you want to save changes?")
                                          : "Do you want to save changes to " + name + "?";
    WMessageBox(4, 3, 1, text, "Devivozivuz Grid Editor");
    switch (WDialogQuery(4)) {
    case 1: {  // Yes
        INTEGER saved = 0, index = filterIndex;
        std::string file(name);
        YYGridEditorSaveCsv(window, 0, saved, index, backup, labelLine, -1, -1, -1, -1, file, fileFilter ? fileFilter : "");
        if (saved == 1 && fileName) {
            const std::size_t n = std::min<std::size_t>(file.size(), kGridEditorNameLength - 1);
            std::memcpy(fileName, file.data(), n);
            fileName[n] = '\0';
        }
        result = saved;
        break;
    }
    case 2: result = 1; break;  // No
    case 0: result = 0; break;  // Cancel
    default: break;             // no box: the result stays
    }
}

void YYGridEditorCreate(INTEGER& result, INTEGER field, INTEGER& mode, INTEGER menuId, INTEGER options,
                        INTEGER filterIndex, INTEGER ownerWindow, std::string_view fileName, std::string_view fileFilter)
{
    const INTEGER n = windowEngineState().CurrentWindow;
    if (n < 1 || n >= kWindowSlots || !slotOf(n).Frame) {
        result = 1;
        return;
    }
    WindowSlot& slot = slotOf(n);
    HWND frame = slot.Frame.get();
    if (GetWindowLongPtrA(frame, GWLP_USERDATA) != 0) {
        result = 8;
        return;
    }
    if (slot.Client && GetWindow(slot.Client, GW_CHILD)) {
        result = 12;
        return;
    }
    const bool inside = (GetWindowLongA(frame, GWL_STYLE) & WS_CHILD) != 0;
    HWND outermost = nullptr;
    const bool split = inSplitWindow(frame, outermost);
    bool menuAllowed = true;
    if (inside) {
        menuAllowed = split && outermost && !(GetWindowLongA(outermost, GWL_STYLE) & WS_CHILD);
        if (mode != 2) {
            if (mode == 1) {
                INTEGER ignored = 0;
                YYWindowSnapshots(0, n, ignored);
            }
            mode = 2;
            result = 5;
        } else if (menuId != 0 && !menuAllowed) {
            result = 4;
        }
    }
    HWND source = YYDialogField(YYCurrentDialog(), field);
    GridRecord* sourceGrid = YYGridRecordOf(source);
    if (!sourceGrid || !sourceGrid->initialised) {
        result = 11;
        return;
    }
    // Panes of the split window that need no painting now are kept so (step 20).
    std::vector<HWND> clean;
    if (split)
        for (INTEGER k = 0; k < kWindowSlots; ++k)
            if (HWND w = slotOf(k).Frame.get(); w && !GetUpdateRect(w, nullptr, FALSE)) clean.push_back(w);

    auto owned = std::make_unique<GridEditorRecord>();
    GridEditorRecord& r = *Owned::attach(frame, std::move(owned));
    const bool readOnly = (GetWindowLongA(source, GWL_STYLE) & kGridReadOnlyStyle) != 0;
    auto flag = [options](INTEGER bit) { return (options & bit) != 0; };
    r.switches[kSwitchReadOnly] = readOnly;
    r.switches[kSwitchNew] = !flag(kGridEditNoNewOpen) && !readOnly;
    r.switches[kSwitchOpen] = !flag(kGridEditNoNewOpen);
    r.switches[kSwitchSave] = !flag(kGridEditNoSave) && !readOnly;
    r.switches[kSwitchSaveAs] = !flag(kGridEditNoSaveAs) && !flag(kGridEditNoSave);
    r.switches[kSwitchHtml] = !flag(kGridEditNoHtml) && !flag(kGridEditNoSave);
    r.switches[kSwitchPrint] = !flag(kGridEditNoPrint);
    r.switches[kSwitchFind] = !flag(kGridEditNoFind);
    r.switches[kSwitchRows] = !flag(kGridEditNoRowCommands) && !readOnly;
    r.switches[kSwitchIgnoreProtection] = flag(kGridEditIgnoreProtection);
    r.rowLabelOption = flag(kGridEditRowLabelsMove);
    r.rowCountOption = flag(kGridEditRowCountChanges);
    r.labelLineOption = flag(kGridEditLabelLine);
    r.backupOption = flag(kGridEditBackup);
    r.lastCell = 0x40001;
    {
        const std::string_view filter = untilNul(fileFilter);
        const std::size_t count = std::min<std::size_t>(filter.size(), 1000);
        std::memcpy(r.fileFilter.data(), filter.data(), count);
        r.fileFilter[count] = '\0';
    }
    r.filterIndex = filterIndex == -1 ? 1 : filterIndex;
    r.mode = mode;

    r.builtAccelerators = buildAccelerators(r);
    if (slot.Client) ShowWindow(slot.Client, SW_HIDE);

    if (menuAllowed && !flag(kGridEditNoMenu)) {
        buildPopups(r);
        HMENU bar = nullptr;
        if (menuId != 0 && mode != 1) {
            bar = LoadMenuA(instance(), MAKEINTRESOURCEA(menuId));
            if (bar) YYMenuAssignPopupIds(bar, menuId);
            else result = 3;
        } else if (menuId != 0) {
            result = 2;
        }
        if (!bar) bar = CreateMenu();
        insertPopup(bar, 0, r.menus[0], kGridCmdFile);
        insertPopup(bar, 1, r.menus[1], kGridCmdEdit);
        insertPopup(bar, 2, r.menus[2], kGridCmdSearch);
        r.menuBar = bar;
        HWND shown = split ? outermost : frame;
        if (!split) SetMenu(frame, bar);
        if (slot.Menu && slot.Menu != bar) DestroyMenu(slot.Menu);
        slot.Accelerators = nullptr;
        slot.MenuHelpTexts = {};
        slot.Menu = bar;
        if (split && ownerWindow >= 0) {
            for (HWND w = frame; w && w != outermost;) {
                HWND up = GetParent(w) ? GetParent(GetParent(w)) : nullptr;
                const INTEGER s = YYWindowSlotFromHandle(up);
                if (SplitWindowRecord* record = YYSplitRecord(up); record && s >= 0) {
                    if (!slotOf(s).Menu) slotOf(s).Menu = bar;
                    record->Words[17] = reinterpret_cast<std::intptr_t>(frame);
                }
                w = up;
            }
            SetMenu(shown, bar);
        }
    }
    // A modal editor has no use for the docked bars; the others keep and lay them out.
    if (mode == 1) {
        bool destroyed = false;
        for (HWND& bar : slot.Toolbars)
            if (bar) {
                DestroyWindow(bar);
                bar = nullptr;
                destroyed = true;
            }
        if (destroyed && !IsIconic(frame)) YYFrameLayout(n);
    } else {
        r.bars = slot.Toolbars;
    }
    if (menuId != 0) {
        r.userAccelerators = LoadAcceleratorsA(instance(), MAKEINTRESOURCEA(menuId));
    }
    if (!flag(kGridEditNoToolbar)) makeToolbar(r, frame);
    r.statusBar = slot.StatusBar;
    if (r.statusBar) {
        const bool caption = hasCaption(frame);
        int parts[5] = {30, 90, 140, 200, -1};
        // The frame lays the bar out again from the slot's table (widths): the editor's parts go there too.
        const int widths[5] = {30, 60, 50, 60, -1};
        StatusPartTable& table = slot.StatusParts;
        table.Count = caption ? 4 : 5;
        for (int k = 0; k < 5; ++k) {
            table.Widths[static_cast<std::size_t>(k)] = widths[k];
            table.Borders[static_cast<std::size_t>(k)] = (k == 0 || k == 2) ? SBT_NOBORDERS : 0;
        }
        SendMessageA(r.statusBar, SB_SETPARTS, caption ? 4 : 5, reinterpret_cast<LPARAM>(parts));
        statusText(r.statusBar, 0, "Row", SBT_NOBORDERS);
        statusText(r.statusBar, 1, "\t\t1");
        statusText(r.statusBar, 2, "\tColumn", SBT_NOBORDERS);
        statusText(r.statusBar, 3, "\t\t1");
    }
    SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&YYGridEditorProc));

    LOGFONTA metrics{};
    if (HFONT dialogFont = sourceGrid->font; dialogFont && GetObjectA(dialogFont, sizeof metrics, &metrics)) {
        metrics.lfOutPrecision = OUT_TT_PRECIS;
        r.font = CreateFontIndirectA(&metrics);
    }
    SendMessageA(frame, WM_SETFONT, reinterpret_cast<WPARAM>(r.font), FALSE);
    makeGrid(r, frame, source);
    layout(r, frame);
    if (GridRecord* g = gridOf(r)) {
        YYGridLayoutScroll(*g);
        YYGridWindowSize(r);
        layout(r, frame);
        YYGridRefreshRowLabels(*g);
    }
    GetWindowTextA(frame, r.baseTitle.data(), static_cast<int>(r.baseTitle.size()));
    const std::string_view initial = trimmed(untilNul(fileName));
    if (!initial.empty()) {
        std::string name(initial.substr(0, kGridEditorNameLength - 1));
        INTEGER loaded = 0, index = r.filterIndex;
        YYGridEditorLoadCsv(n, 0, r.rowCountOption, loaded, index, r.labelLineOption, name, r.fileFilter.data());
        if (loaded == 1) {
            copyText(r.fileName, name);
            YYGridWindowTitle(frame);
        }
    }
    if (GridRecord* g = gridOf(r); g && IsWindowEnabled(r.grid) && !g->editor) YYCellEditCreate(*g);
    SetFocus(r.grid);
    if (mode == 3) ++dialogManagerState().semiModelessCount;
    if (!IsWindowEnabled(frame)) EnableWindow(frame, TRUE);
    ShowWindow(frame, SW_SHOW);
    YYWindowActivate(frame);
    if (mode == 1 || mode == 3) YYDialogsDisable(frame, 1);
    for (HWND w : clean)
        if (IsWindow(w)) ValidateRect(w, nullptr);
}

void YYGridEditorLoop()
{
    const INTEGER n = windowEngineState().CurrentWindow;
    if (n < 1 || n >= kWindowSlots) return;
    HWND frame = slotOf(n).Frame.get();
    GridEditorRecord* r = YYGridEditorRecord(frame);
    if (!r) return;
    if (GridRecord* g = gridOf(*r)) g->changedSinceSave = g->changedSinceLoad = 0;
    if (r->mode != 1) return;
    GridEditorState& state = gridEditorState();
    state.modalFrame = frame;
    state.modalDone = false;
    const HACCEL keys = r->builtAccelerators;
    MSG message{};
    while (!state.modalDone && IsWindow(frame)) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (keys && YYGridEditorRecord(frame) && TranslateAcceleratorA(frame, keys, &message)) continue;
        if (message.message == 0x0118 && LOWORD(message.wParam) == 0xFFF6) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    state.modalFrame = nullptr;
    YYDialogsEnable(frame, 1);
    if (IsWindow(frame)) {
        INTEGER dialog = 0;
        YYWindowSlotClose(n, dialog);
    }
    HWND back = dialogManagerState().semiModeless;
    if (!back) back = slotOf(0).Frame.get();
    if (back) {
        EnableWindow(back, TRUE);
        YYWindowActivate(back);
        SetFocus(back);
    }
}

void WGridEditor(INTEGER& status, INTEGER field, INTEGER& mode, INTEGER menuId, INTEGER options, INTEGER filterIndex,
                 INTEGER ownerWindow, std::string_view fileName, std::string_view fileFilter)
{
    status = 0;
    const INTEGER n = windowEngineState().CurrentWindow;
    INTEGER held = 0;
    const bool snapshots = mode == 1;
    if (snapshots) YYWindowSnapshots(1, n, held);
    const INTEGER requested = mode;
    YYGridEditorCreate(status, field, mode, menuId, options, filterIndex, ownerWindow, fileName, fileFilter);
    // Creation gives the reference back itself when it made the request modeless.
    if (snapshots && !(requested == 1 && mode == 2)) YYWindowSnapshots(0, n, held);
    const struct { INTEGER status, error; } errors[] = {{1, 1022}, {2, 1026}, {3, 1027}, {4, 1025}, {5, 1024},
                                                        {6, 1027}, {8, 1038}, {11, 1057}, {12, 1068}};
    for (const auto& e : errors)
        if (e.status == status) YYErrorReport(e.error, "WGridEditor");
    const bool made = status == 0 || (status >= 2 && status <= 5);
    if (made && mode == 1) YYGridEditorLoop();
}

namespace {

INTEGER (*previousQuery)(HWND, INTEGER) = nullptr;
void (*previousRelease)(HWND, INTEGER) = nullptr;

// The close question of a grid editor pane; other kinds go to the routine installed before.
INTEGER queryHook(HWND pane, INTEGER kind)
{
    if (kind != kWindowGridEditor) return previousQuery ? previousQuery(pane, kind) : 1;
    GridEditorRecord* r = YYGridEditorRecord(pane);
    if (!r || !r->on(kSwitchSave)) return 1;
    const GridRecord* g = gridOf(*r);
    INTEGER result = 1;
    YYGridEditorQuerySave(YYWindowSlotFromHandle(pane), g ? g->changedSinceSave : 0, result, r->filterIndex,
                          r->backupOption, r->labelLineOption, r->fileName.data(), r->fileFilter.data());
    if (result == 1 && (r = YYGridEditorRecord(pane))) YYGridWindowTitle(pane);
    return result;
}

void releaseHook(HWND frame, INTEGER kind)
{
    if (kind != kWindowGridEditor) {
        if (previousRelease) previousRelease(frame, kind);
        else SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
        return;
    }
    if (const GridEditorRecord* r = YYGridEditorRecord(frame)) keepClosedTexts(*r);
    releaseRecord(frame);
}

}  // namespace

void YYGridEditorHooksInstall()
{
    ChildWindowHooks& hooks = childWindowHooks();
    if (hooks.editorQuerySave != &queryHook) previousQuery = std::exchange(hooks.editorQuerySave, &queryHook);
    if (hooks.editorRelease != &releaseHook) previousRelease = std::exchange(hooks.editorRelease, &releaseHook);
}

namespace {

bool liveEditorHasSelection(const GridRecord& g)
{
    if (!g.editor) return false;
    DWORD from = 0, to = 0;
    SendMessageA(g.editor, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    return to > from;
}

bool liveEditorReadOnly(const GridRecord& g)
{
    return !g.editor || (GetWindowLongA(g.editor, GWL_STYLE) & ES_READONLY) != 0;
}

bool rowProtected(GridRecord& g, INTEGER row)
{
    for (INTEGER c = 0; c < g.columns; ++c)
        if (const GridColumnRecord* col = g.column(c); col && col->inside(row) && (col->flags[static_cast<std::size_t>(row)] & kCellProtected))
            return true;
    return false;
}

// The clipboard's text kind: 0 no text, 1 plain text, 2 cell-block text (with TAB or line break).
int clipboardKind()
{
    if (!YYClipHasText()) return 0;
    int kind = 1;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
            GlobalLockGuard lock(data);
            if (const char* text = static_cast<const char*>(lock.data()); text && std::strpbrk(text, "\t\r\n")) kind = 2;
        }
        CloseClipboard();
    }
    return kind;
}

void greyItem(HMENU menu, INTEGER id, bool grey) { EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (grey ? MF_GRAYED : MF_ENABLED)); }

void initMenu(GridEditorRecord& r, HMENU menu)
{
    GridRecord* g = gridOf(r);
    if (!g) return;
    const bool block = g->hasSelection();
    const bool readOnly = g->hasStyle(kGridReadOnlyStyle);
    const bool ignore = r.on(kSwitchIgnoreProtection);
    if (menu == r.menus[0]) {
        greyItem(menu, kGridCmdSaveSelection, !block);
        greyItem(menu, kGridCmdPrintSelection, !block);
    } else if (menu == r.menus[1]) {
        bool cut;
        if (!block) cut = liveEditorHasSelection(*g) && !liveEditorReadOnly(*g) && !readOnly;
        else cut = !readOnly && YYGridSelUnprotected(g->window) == 1;
        greyItem(menu, kGridCmdCut, !cut);
        greyItem(menu, kGridCmdDelete, !cut);
        greyItem(menu, kGridCmdCopy, !(block || liveEditorHasSelection(*g)));
        const int clip = clipboardKind();
        bool paste = false;
        if (clip == 2) paste = YYGridPasteUnprotected(g->window) == 1;
        else if (clip == 1) paste = g->editor && !liveEditorReadOnly(*g) && !readOnly;
        greyItem(menu, kGridCmdPaste, !paste);
        bool sortProtected = false;
        if (!ignore)
            for (INTEGER row = 0; row < g->rows && !sortProtected; ++row) sortProtected = rowProtected(*g, row);
        greyItem(menu, kGridCmdSort, readOnly || sortProtected);
        bool belowProtected = false;
        if (!ignore)
            for (INTEGER row = g->currentRow + 1; row < g->rows && !belowProtected; ++row) belowProtected = rowProtected(*g, row);
        const bool lastOfCapacity = g->currentRow >= g->capacity - 1;
        const bool lastUsed = g->currentRow >= g->rows - 1;
        greyItem(menu, kGridCmdInsertAfter, readOnly || belowProtected || lastOfCapacity || (lastUsed && !r.rowCountOption));
        const bool currentProtected = !ignore && rowProtected(*g, g->currentRow);
        greyItem(menu, kGridCmdInsertBefore, readOnly || currentProtected);
        greyItem(menu, kGridCmdDeleteRow, readOnly || currentProtected);
    } else if (menu == r.menus[2]) {
        greyItem(menu, kGridCmdFindNext, r.findText[0] == '\0');
    }
}

void raiseCommand(HWND frame, INTEGER id) { YYEventStore(kEventCommand, 0, static_cast<WPARAM>(id), 0, frame); }

std::string clipboardPlainText()
{
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        GlobalLockGuard lock(data);
        if (const char* chars = static_cast<const char*>(lock.data())) text = chars;
    }
    CloseClipboard();
    return text;
}

void command(HWND frame, GridEditorRecord& r, INTEGER id)
{
    const INTEGER n = YYWindowSlotFromHandle(frame);
    GridRecord* g = gridOf(r);
    if (!g) return;
    auto mayDiscard = [&]() {
        if (!r.on(kSwitchSave)) return true;
        INTEGER result = 1;
        YYGridEditorQuerySave(n, g->changedSinceSave, result, r.filterIndex, r.backupOption, r.labelLineOption,
                              r.fileName.data(), r.fileFilter.data());
        return result == 1;
    };
    auto saveCsv = [&](INTEGER saveAs, bool range) {
        INTEGER result = 0, index = r.filterIndex;
        std::string name = r.fileName.data();
        const INTEGER r1 = range ? g->selFirstRow : -1, r2 = range ? g->selLastRow : -1;
        const INTEGER c1 = range ? g->selFirstColumn : -1, c2 = range ? g->selLastColumn : -1;
        YYGridEditorSaveCsv(n, saveAs, result, index, r.backupOption, r.labelLineOption, r1, r2, c1, c2, name,
                            r.fileFilter.data());
        if (result == 1 && !range) copyText(r.fileName, name);
        return result == 1;
    };
    switch (id) {
    case kGridCmdNew:
        if (!r.on(kSwitchNew) || !mayDiscard()) return;
        YYGridClearAll(g->window, false);
        r.fileName[0] = '\0';
        YYGridWindowTitle(frame);
        g->changedSinceSave = g->changedSinceLoad = 0;
        raiseCommand(frame, id);
        return;
    case kGridCmdOpen: {
        if (!r.on(kSwitchOpen) || !mayDiscard()) return;
        INTEGER result = 0, index = r.filterIndex;
        std::string name = r.fileName.data();
        YYGridEditorLoadCsv(n, 1, r.rowCountOption, result, index, r.labelLineOption, name, r.fileFilter.data());
        if (result != 1) return;
        copyText(r.fileName, name);
        if ((g = gridOf(r))) g->changedSinceSave = g->changedSinceLoad = 0;
        YYGridWindowTitle(frame);
        raiseCommand(frame, id);
        return;
    }
    case kGridCmdSave:
    case kGridCmdSaveAs:
        if (!r.on(id == kGridCmdSave ? kSwitchSave : kSwitchSaveAs)) return;
        if (!saveCsv(id == kGridCmdSaveAs ? 1 : 0, false)) return;
        if ((g = gridOf(r))) g->changedSinceSave = 0;
        YYGridWindowTitle(frame);
        raiseCommand(frame, id);
        return;
    case kGridCmdSaveSelection:
        if (r.on(kSwitchSaveAs) && g->hasSelection()) saveCsv(1, true);
        return;
    case kGridCmdPrint:
    case kGridCmdPrintSelection: {
        if (!r.on(kSwitchPrint)) return;
        INTEGER result = 0;
        if (id == kGridCmdPrint) YYGridEditorPrint(n, 0, g->rows - 1, 0, g->columns - 1, result);
        else if (g->hasSelection())
            YYGridEditorPrint(n, g->selFirstRow, g->selLastRow, g->selFirstColumn, g->selLastColumn, result);
        if (result == 1) raiseCommand(frame, id);
        return;
    }
    case kGridCmdExit:
        PostMessageA(frame, WM_CLOSE, 0, 0);
        return;
    case kGridCmdSaveHtml: {
        if (!r.on(kSwitchHtml)) return;
        INTEGER result = 0;
        std::string name = r.fileName.data();
        if (g->hasSelection())
            YYGridEditorSaveHtml(n, g->selFirstRow, g->selLastRow, g->selFirstColumn, g->selLastColumn, result, r.backupOption,
                                 name);
        else
            YYGridEditorSaveHtml(n, -1, -1, -1, -1, result, r.backupOption, name);
        if (result == 1) raiseCommand(frame, id);
        return;
    }
    case kGridCmdCut:
    case kGridCmdCopy:
    case kGridCmdDelete:
        if (!g->hasSelection()) {
            if (!g->editor) return;
            if (id != kGridCmdDelete) SendMessageA(g->editor, WM_COPY, 0, 0);
            if (id != kGridCmdCopy) SendMessageA(g->editor, WM_CLEAR, 0, 0);
        } else if (id == kGridCmdDelete) {
            YYGridClearSelected(g->window);
        } else if (YYGridCopy(g->window) == 1 && id == kGridCmdCut) {
            YYGridClearSelected(g->window);
        }
        return;
    case kGridCmdPaste: {
        const std::string text = clipboardPlainText();
        if (text.find_first_of("\t\r\n") == std::string::npos) {
            if (g->editor) SendMessageA(g->editor, WM_PASTE, 0, 0);
        } else {
            YYGridPaste(g->window);
        }
        return;
    }
    case kGridCmdSelectAll:
        YYGridSetSelection(g->window, 0, g->rows - 1, 0, g->columns - 1);
        return;
    case kGridCmdSort: {
        INTEGER result = 0;
        YYGridEditorSort(n, r.rowLabelOption, result);
        if (result == 1) raiseCommand(frame, id);
        return;
    }
    case kGridCmdInsertBefore:
    case kGridCmdInsertAfter:
    case kGridCmdDeleteRow:
        if (!r.on(kSwitchRows) || r.on(kSwitchReadOnly)) return;
        if (id == kGridCmdDeleteRow) YYGridEditorDeleteRow(n, r.rowLabelOption, r.rowCountOption);
        else YYGridEditorInsertRow(n, r.rowLabelOption, r.rowCountOption, id == kGridCmdInsertAfter ? 1 : 0);
        raiseCommand(frame, id);
        if ((g = gridOf(r))) g->markChanged();
        return;
    case kGridCmdFind:
    case kGridCmdFindNext: {
        if (!r.on(kSwitchFind)) return;
        std::string text = r.findText.data();
        YYGridEditorFind(n, id == kGridCmdFind ? 1 : 2, r.findMatchCase, r.findNumeric, text);
        if (GridEditorRecord* still = YYGridEditorRecord(frame)) {
            const std::size_t count = std::min(text.size(), still->findText.size() - 1);
            std::memcpy(still->findText.data(), text.data(), count);
            still->findText[count] = '\0';
        }
        return;
    }
    case kGridCmdGotoCell: YYGridEditorGoto(n, 1); return;
    case kGridCmdGotoRow: YYGridEditorGoto(n, 2); return;
    case kGridCmdGotoColumn: YYGridEditorGoto(n, 3); return;
    default:
        raiseCommand(frame, id);
        return;
    }
}

void cellChanged(HWND frame, GridEditorRecord& r, LPARAM lParam)
{
    showReadOuts(r, static_cast<UINT>(lParam));
    if (r.mode != 1) {
        if (eventEnableTable().Flags[kEventFieldChanged - 1]) {
            CurrentEventState& state = currentEventState();
            RecordedEvent& e = state.Recorded;
            e.Type = kEventFieldChanged;
            e.Time = static_cast<INTEGER>(GetMessageTime());
            e.Window = YYWindowSlotFromHandle(frame);
            e.Values = {0, 0, 0, -1};
            e.Y = static_cast<INTEGER>(lParam);
            e.X = 0;
            if (state.FirstChange) {
                e.X = r.lastCell;
                state.FirstChange = 0;
            }
            state.WaitState = 0;
        }
        r.lastCell = static_cast<INTEGER>(lParam);
    } else {
        r.lastCell = static_cast<INTEGER>(lParam);
    }
    HWND outermost = nullptr;
    if (inSplitWindow(frame, outermost)) {
        for (HWND w = frame; w && w != outermost;) {
            HWND up = GetParent(w) ? GetParent(GetParent(w)) : nullptr;
            if (SplitWindowRecord* split = YYSplitRecord(up)) split->Words[17] = reinterpret_cast<std::intptr_t>(frame);
            w = up;
        }
        if (r.menuBar && outermost) SetMenu(outermost, r.menuBar);
    }
}

bool menuHelp(GridEditorRecord& r, WPARAM wParam, LPARAM lParam)
{
    if (!r.statusBar) return false;
    const UINT item = LOWORD(wParam), flags = HIWORD(wParam);
    if (flags == 0xFFFF && lParam == 0) return false;
    INTEGER id = static_cast<INTEGER>(item);
    if (flags & MF_POPUP) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID;
        if (!GetMenuItemInfoA(reinterpret_cast<HMENU>(lParam), item, TRUE, &info)) return false;
        id = static_cast<INTEGER>(info.wID);
    }
    const CommandText* c = id >= kGridCmdFile && id <= kGridCmdGotoColumn ? commandText(id) : nullptr;
    if (!c) return false;
    SendMessageA(r.statusBar, SB_SETTEXTA, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(c->help));
    UpdateWindow(r.statusBar);
    return true;
}

}  // namespace

LRESULT CALLBACK YYGridEditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    GridEditorRecord* record = YYGridEditorRecord(window);
    if (!record) return YYFrameWindowProc(window, message, wParam, lParam);
    GridEditorRecord& r = *record;
    if (message != 0 && message == gridState().cellChangeMessage) {
        cellChanged(window, r, lParam);
        return 0;
    }
    switch (message) {
    case WM_MENUSELECT:
        if (menuHelp(r, wParam, lParam)) return 0;
        break;
    case WM_INITMENUPOPUP:
        initMenu(r, reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) >= 2 && lParam != 0) return DefWindowProcA(window, message, wParam, lParam);
        if (lParam == 0 || reinterpret_cast<HWND>(lParam) == r.toolbar) {
            command(window, r, LOWORD(wParam));
            return 0;
        }
        break;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->code == TTN_GETDISPINFOA) {
            auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
            info->lpszText = const_cast<char*>(tooltipText(static_cast<INTEGER>(header->idFrom)));
            return 0;
        }
        break;
    }
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) layout(r, window);
        return YYFrameWindowProc(window, message, wParam, lParam);
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        LRESULT done = YYFrameWindowProc(window, message, wParam, lParam);
        SIZE whole = wholeGrid(r);
        RECT outer{}, inner{};
        GetWindowRect(window, &outer);
        GetClientRect(window, &inner);
        whole.cx += (outer.right - outer.left) - inner.right;
        whole.cy += (outer.bottom - outer.top) - inner.bottom;
        if (whole.cx <= info->ptMaxSize.x) info->ptMaxSize.x = whole.cx;
        if (whole.cy <= info->ptMaxSize.y) info->ptMaxSize.y = whole.cy;
        info->ptMaxTrackSize = info->ptMaxSize;
        return done;
    }
    case WM_CLOSE: {
        if (r.on(kSwitchSave)) {
            const GridRecord* g = gridOf(r);
            INTEGER result = 1;
            YYGridEditorQuerySave(YYWindowSlotFromHandle(window), g ? g->changedSinceSave : 0, result, r.filterIndex,
                                  r.backupOption, r.labelLineOption, r.fileName.data(), r.fileFilter.data());
            if (result != 1) return 0;
            YYGridWindowTitle(window);
        }
        if (r.mode != 1) {
            YYEventStore(kEventClose, 0, 0, 0, window);
            return 0;
        }
        keepClosedTexts(r);
        GridEditorState& state = gridEditorState();
        if (state.modalFrame == window) state.modalDone = true;
        return 0;
    }
    case WM_SETFOCUS:
        windowEngineState().ActiveFrame = window;
        dialogManagerState().currentModeless = nullptr;
        if (r.grid) SetFocus(r.grid);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(r.font);
    case WM_DESTROY:
        keepClosedTexts(r);
        if (r.mode == 3) {
            dialogManagerState().semiModelessCount = std::max(0, dialogManagerState().semiModelessCount - 1);
            YYDialogsEnable(window, 1);
            const INTEGER n = YYWindowSlotFromHandle(window);
            INTEGER owner = n >= 0 ? slotOf(n).ReturnWindow : -1;
            HWND back = owner >= 0 && owner < kWindowSlots ? slotOf(owner).Frame.get() : nullptr;
            if (!back) back = slotOf(0).Frame.get();
            if (back) {
                YYWindowActivate(back);
                SetFocus(back);
            }
        }
        if (windowEngineState().ActiveFrame == window && r.mode == 1) windowEngineState().ActiveFrame = slotOf(0).Frame.get();
        releaseRecord(window);
        return YYFrameWindowProc(window, message, wParam, lParam);
    default:
        break;
    }
    return YYFrameWindowProc(window, message, wParam, lParam);
}
