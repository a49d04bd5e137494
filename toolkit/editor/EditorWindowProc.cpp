#include "toolkit/editor/EditorWindowProc.h"

#include <string>

#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/editor/EditorAccess.h"
#include "toolkit/editor/EditorCommands.h"
#include "toolkit/editor/EditorDocuments.h"
#include "toolkit/editor/EditorFiles.h"
#include "toolkit/editor/EditorFind.h"
#include "toolkit/editor/EditorFormatting.h"
#include "toolkit/editor/EditorPrinting.h"
#include "toolkit/editor/EditorStatus.h"
#include "toolkit/editor/EditorText.h"
#include "toolkit/editor/EditorWindows.h"
#include "toolkit/foundation/ChildWindows.h"
#include "toolkit/foundation/CommonControls.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/Menus.h"
#include "toolkit/foundation/WindowEngineHooks.h"
#include "toolkit/foundation/WindowProcs.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"

#include <windowsx.h>

namespace {

void raise(INTEGER type, INTEGER command, HWND window)
{
    YYEventStore(type, 0, static_cast<WPARAM>(command), 0, window);
}

CHARRANGE selectionOf(const EditorWindowRecord& record)
{
    CHARRANGE range{};
    SendMessageA(record.RichEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
}

// The text length bookmarks are measured in: characters, a line end counting one from level 2 on.
INTEGER bookmarkLength(EditorWindowRecord& record)
{
    return YYEditorRichEditLevel() >= 2 ? YYEditorControlLength(record) : YYEditorWindowTextLength(record, true);
}

// New (single file) and the one-file Close: an empty untitled document.
void emptyDocument(HWND window, EditorWindowRecord& record)
{
    record.Protection = 0;
    YYEditorCloseFileHandle(window);
    record.setPath("");
    YYEditorResetFormat(record);
    SendMessageA(record.RichEdit, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageA(record.RichEdit, EM_SETMODIFY, FALSE, 0);
    YYEditorSyncFormatChecks(record);
    record.Changed = 0;
    record.Bookmarks[static_cast<std::size_t>(record.CurrentFile - 1)] = -1;
    YYEditorUpdateStatus(window);
    record.Protection = 1;
}

INTEGER slotOf(HWND window) { return YYWindowSlotFromHandle(window); }

void setViewItem(EditorWindowRecord& record, INTEGER n, std::string_view path, bool checked)
{
    if (!record.ViewPopup) return;
    const std::string text = YYEditorViewItemText(n, path);
    const UINT id = static_cast<UINT>(kCmdViewPopup + n);
    const UINT check = checked ? MF_CHECKED : MF_UNCHECKED;
    if (GetMenuItemCount(record.ViewPopup) < n) AppendMenuA(record.ViewPopup, MF_STRING | check, id, text.c_str());
    else ModifyMenuA(record.ViewPopup, static_cast<UINT>(n - 1), MF_BYPOSITION | MF_STRING | check, id, text.c_str());
}

void checkViewItem(EditorWindowRecord& record, INTEGER n, bool checked)
{
    if (record.ViewPopup)
        CheckMenuItem(record.ViewPopup, static_cast<UINT>(kCmdViewPopup + n), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// One untitled, empty, unmodified document without a file: a multi-document editor reuses it as
// if it kept one document.
bool reusable(EditorWindowRecord& record)
{
    return record.FileCount == 1 && record.path().empty() && YYEditorControlLength(record) == 0 &&
           !SendMessageA(record.RichEdit, EM_GETMODIFY, 0, 0) &&
           !record.HeldFiles[static_cast<std::size_t>(record.CurrentFile - 1)];
}

// Shows document i in place of the current one: the shown one is stored with its name, i's text,
// state and name come back.
void showDocument(HWND window, EditorWindowRecord& record, INTEGER i)
{
    const INTEGER slot = slotOf(window);
    const INTEGER current = record.CurrentFile;
    YYEditorFileListSelect(slot, current, i);
    YYEditorFileListPutName(slot, current, record.Path.data(), kEditorPathLength);
    record.CurrentFile = i;
    YYEditorFileListGetName(slot, i, record.Path.data(), kEditorPathLength);
    record.Path[kEditorPathLength] = '\0';
    YYEditorUpdateStatus(window);
}

// The number of the open document with this path (case ignored), 0 when none.
INTEGER documentNamed(HWND window, EditorWindowRecord& record, std::string_view path)
{
    const INTEGER slot = slotOf(window);
    std::array<char, kEditorPathLength + 1> name{};
    for (INTEGER i = 1; i <= record.FileCount; ++i) {
        if (i == record.CurrentFile) std::copy(record.Path.begin(), record.Path.end(), name.begin());
        else YYEditorFileListGetName(slot, i, name.data(), kEditorPathLength);
        name[kEditorPathLength] = '\0';
        if (!path.empty() && lstrcmpiA(name.data(), std::string(path).c_str()) == 0) return i;
    }
    return 0;
}

// Stores the shown document and appends a new current one (untitled until the caller names it).
void appendDocument(HWND window, EditorWindowRecord& record)
{
    const INTEGER slot = slotOf(window);
    checkViewItem(record, record.CurrentFile, false);
    YYEditorDocStore(slot, record.CurrentFile);
    YYEditorFileListPutName(slot, record.CurrentFile, record.Path.data(), kEditorPathLength);
    const INTEGER filter = record.FilterIndex[static_cast<std::size_t>(record.CurrentFile - 1)];
    record.FileCount += 1;
    record.CurrentFile = record.FileCount;
    const std::size_t n = static_cast<std::size_t>(record.CurrentFile - 1);
    record.FilterIndex[n] = filter;
    record.Bookmarks[n] = -1;
    record.HeldFiles[n].reset();
    record.setPath("");
}

// A document appended for a file that could not be loaded goes again; the one before comes back.
void dropAppended(HWND window, EditorWindowRecord& record, INTEGER previous)
{
    const INTEGER slot = slotOf(window);
    YYEditorDocClose(slot, record.CurrentFile);
    record.HeldFiles[static_cast<std::size_t>(record.CurrentFile - 1)].reset();
    record.FileCount -= 1;
    record.CurrentFile = previous;
    YYEditorDocAttach(slot, previous);
    YYEditorFileListGetName(slot, previous, record.Path.data(), kEditorPathLength);
    record.Path[kEditorPathLength] = '\0';
    checkViewItem(record, previous, true);
    YYEditorUpdateStatus(window);
}

void openCommand(HWND window, EditorWindowRecord& record)
{
    const bool multi = record.Options.MultiFile && !reusable(record);
    if (multi && record.FileCount >= kEditorMaxFiles) return;
    if (!multi && YYEditorQuerySave(window, record) == 0) return;
    const std::string filter = YYEditorDialogFilter(record);
    std::array<char, kEditorPathLength + 1> name = record.Path;
    const std::size_t n = static_cast<std::size_t>(record.CurrentFile - 1);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(std::max(record.FilterIndex[n], 1));
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = kEditorPathLength;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    dialog.lpstrDefExt = "";
    if (record.Mode == 2) YYDialogsDisable(window, 1);
    const BOOL chosen = GetOpenFileNameA(&dialog);
    if (record.Mode == 2) YYDialogsEnable(window, 1);
    if (chosen && multi) {
        std::string full(name.data());
        {
            char expanded[MAX_PATH + 1] = {};
            const DWORD got = GetFullPathNameA(name.data(), sizeof expanded, expanded, nullptr);
            if (got > 0 && got < sizeof expanded) full = expanded;
        }
        YYEditorFileListPutName(slotOf(window), record.CurrentFile, record.Path.data(), kEditorPathLength);
        if (const INTEGER open = documentNamed(window, record, full)) {
            YYEditorSwitchFile(window, open);
            raise(kEventCommand, kCmdViewPopup + open, window);
        } else {
            const INTEGER previous = record.CurrentFile;
            appendDocument(window, record);
            record.setPath(full);
            record.FilterIndex[static_cast<std::size_t>(record.CurrentFile - 1)] = static_cast<INTEGER>(dialog.nFilterIndex);
            if (YYEditorLoadFile(window, 0)) {
                YYEditorFileListPutName(slotOf(window), record.CurrentFile, record.Path.data(), kEditorPathLength);
                setViewItem(record, record.CurrentFile, record.path(), true);
                YYEditorUpdateStatus(window);
                raise(kEventCommand, kCmdOpen, window);
            } else {
                dropAppended(window, record, previous);
            }
        }
    } else if (chosen) {
        const std::string previous(record.path());
        YYEditorCloseFileHandle(window);
        record.setPath(name.data());
        record.FilterIndex[n] = static_cast<INTEGER>(dialog.nFilterIndex);
        if (YYEditorLoadFile(window, 0)) {
            if (record.ViewPopup)
                ModifyMenuA(record.ViewPopup, 0, MF_BYPOSITION | MF_STRING | MF_CHECKED, kCmdViewPopup + 1,
                            YYEditorViewItemText(1, record.path()).c_str());
            raise(kEventCommand, kCmdOpen, window);
        } else if (record.path() == std::string_view(name.data())) {
            // The file could not be opened: the shown text is still the previous file's. (A load
            // that failed later left an empty untitled document, which stays so.)
            record.setPath(previous);
            if (!previous.empty()) YYEditorHoldFile(record);
            YYEditorUpdateStatus(window);
        }
    }
    if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) {
        SetFocus(window);
        YYWindowActivate(window);
    }
}

// Closes the current one of several documents: later documents move down one number.
void closeDocument(HWND window, EditorWindowRecord& record)
{
    const INTEGER slot = slotOf(window);
    const INTEGER n = record.CurrentFile;
    YYEditorCloseFileHandle(window);
    YYEditorDocClose(slot, n);
    for (INTEGER k = n; k < record.FileCount; ++k) {
        const std::size_t to = static_cast<std::size_t>(k - 1), from = static_cast<std::size_t>(k);
        record.HeldFiles[to] = std::move(record.HeldFiles[from]);
        record.FilterIndex[to] = record.FilterIndex[from];
        record.Bookmarks[to] = record.Bookmarks[from];
        record.BookmarkLengths[to] = record.BookmarkLengths[from];
        std::array<char, kEditorPathLength + 1> name{};
        YYEditorFileListGetName(slot, k, name.data(), kEditorPathLength);
        name[kEditorPathLength] = '\0';
        setViewItem(record, k, name.data(), false);
    }
    if (record.ViewPopup) DeleteMenu(record.ViewPopup, static_cast<UINT>(record.FileCount - 1), MF_BYPOSITION);
    record.FileCount -= 1;
    if (record.CurrentFile > record.FileCount) record.CurrentFile = record.FileCount;
    checkViewItem(record, record.CurrentFile, true);
    YYEditorDocAttach(slot, record.CurrentFile);
    YYEditorFileListGetName(slot, record.CurrentFile, record.Path.data(), kEditorPathLength);
    record.Path[kEditorPathLength] = '\0';
    YYEditorUpdateStatus(window);
}

void openFindDialog(HWND window, EditorWindowRecord& record, bool replace)
{
    record.FindBlock.Flags &= ~FR_DIALOGTERM;
    record.FindBlock.hwndOwner = window;
    if (record.FindDialog) DestroyWindow(std::exchange(record.FindDialog, nullptr));
    record.FindDialog = replace ? ReplaceTextA(&record.FindBlock) : FindTextA(&record.FindBlock);
}

void command(HWND window, EditorWindowRecord& record, INTEGER id)
{
    const EditorOptionWords& o = record.Options;
    HWND control = record.RichEdit;
    switch (id) {
    case kCmdNew:
        if (!o.NewOffered) return;
        if (o.MultiFile && !reusable(record)) {
            if (record.FileCount >= kEditorMaxFiles) return;
            appendDocument(window, record);
            emptyDocument(window, record);
            YYEditorFileListPutName(slotOf(window), record.CurrentFile, record.Path.data(), kEditorPathLength);
            setViewItem(record, record.CurrentFile, "", true);
            raise(kEventCommand, id, window);
            return;
        }
        if (YYEditorQuerySave(window, record) == 0) return;
        emptyDocument(window, record);
        if (record.ViewPopup)
            ModifyMenuA(record.ViewPopup, 0, MF_BYPOSITION | MF_STRING | MF_CHECKED, kCmdViewPopup + 1,
                        YYEditorViewItemText(1, "").c_str());
        raise(kEventCommand, id, window);
        return;
    case kCmdOpen:
        if (o.OpenOffered) openCommand(window, record);
        return;
    case kCmdSave:
        if (o.SaveOffered && YYEditorSaveFile(window, 0)) raise(kEventCommand, id, window);
        return;
    case kCmdSaveAs:
        if (o.SaveAsOffered && YYEditorSaveFile(window, 1)) raise(kEventCommand, id, window);
        return;
    case kCmdPrint:
    case kCmdPrintSelection:
        if (!o.PrintOffered) return;
        // The application may take printing over: then it only hears of the command.
        if (o.PrintByApplication || YYEditorPrint(window, record, id == kCmdPrintSelection ? 1 : 0, 1, 0, 0, ""))
            raise(kEventCommand, id, window);
        return;
    case kCmdClose:
        if (!o.MultiFile || YYEditorQuerySave(window, record) == 0) return;
        if (record.FileCount <= 1) {
            emptyDocument(window, record);
            setViewItem(record, 1, "", true);
        } else {
            closeDocument(window, record);
        }
        raise(kEventCommand, id, window);
        return;
    case kCmdExit: SendMessageA(window, WM_CLOSE, 0, 0); return;
    case kCmdUndo: SendMessageA(control, EM_UNDO, 0, 0); return;
    case kCmdRedo: SendMessageA(control, EM_REDO, 0, 0); return;
    case kCmdCut: SendMessageA(control, WM_CUT, 0, 0); return;
    case kCmdCopy: SendMessageA(control, WM_COPY, 0, 0); return;
    case kCmdDelete: SendMessageA(control, WM_CLEAR, 0, 0); return;
    case kCmdPaste: YYEditorPaste(record); return;
    case kCmdSelectAll: {
        CHARRANGE all{0, -1};
        SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
        SendMessageA(control, EM_SCROLLCARET, 0, 0);
        return;
    }
    case kCmdFind: openFindDialog(window, record, false); return;
    case kCmdFindNext: YYEditorFindNext(window, record, record.FindBlock); return;
    case kCmdReplace:
        if (!o.ReadOnly) openFindDialog(window, record, true);
        return;
    case kCmdSetBookmark: {
        const std::size_t n = static_cast<std::size_t>(record.CurrentFile - 1);
        record.Bookmarks[n] = selectionOf(record).cpMax;
        record.BookmarkLengths[n] = bookmarkLength(record);
        return;
    }
    case kCmdGotoBookmark: {
        const INTEGER mark = record.Bookmarks[static_cast<std::size_t>(record.CurrentFile - 1)];
        if (mark < 0) return;
        CHARRANGE at{mark, mark};
        SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at));
        SendMessageA(control, EM_SCROLLCARET, 0, 0);
        return;
    }
    case kCmdFont: YYEditorFontDialog(window, record); return;
    case kCmdBullets: YYEditorToggleBullet(record); return;
    case kCmdAlignLeft: case kCmdAlignCentre: case kCmdAlignRight:
        if (o.RichText && !o.ReadOnly) YYEditorAlign(record, id);
        return;
    case kCmdBold: case kCmdItalic: case kCmdUnderline:
        if (o.RichText && !o.ReadOnly) YYEditorToggleStyle(record, id);
        return;
    default:
        if (id > kCmdViewPopup && id <= kCmdViewPopup + kEditorMaxFiles) {
            YYEditorSwitchFile(window, id - kCmdViewPopup);
            raise(kEventCommand, id, window);
            return;
        }
        raise(kEventCommand, id, window);
    }
}

// A pane that takes the focus becomes the active pane of every split window above it, and the
// top window shows the pane's own menu, or lacking one the first menu up the chain, as it does
// for the other kinds of pane. Whether the pane is the first or the second of its split window
// only says which pane's menu is its own.
void paneFocused(HWND window)
{
    if (YYSplitOfPane(window) < 0) return;
    const INTEGER self = YYWindowSlotFromHandle(window);
    HMENU menu = self > 0 && self < kWindowSlots ? windowSlotTable().Slots[static_cast<std::size_t>(self)].Menu : nullptr;
    HWND reached = window;
    for (INTEGER guard = 0; guard < kWindowSlots; ++guard) {
        const INTEGER s = YYSplitOfPane(reached);
        if (s < 0) break;
        WindowSlot& split = windowSlotTable().Slots[static_cast<std::size_t>(s)];
        if (SplitWindowRecord* r = split.SplitRecord.get()) r->Words[17] = reinterpret_cast<std::intptr_t>(window);
        if (!menu) menu = split.Menu;
        reached = split.Frame.get();
    }
    HWND top = YYOutermostFrame(window);
    if (menu && GetMenu(top) != menu) SetMenu(top, menu);
}

void textChanged(EditorWindowRecord& record, HWND window)
{
    HWND control = record.RichEdit;
    const BOOL canUndo = SendMessageA(control, EM_CANUNDO, 0, 0) != 0;
    const BOOL canRedo = YYEditorRichEditLevel() >= 2 && SendMessageA(control, EM_CANREDO, 0, 0) != 0;
    for (HWND bar : {record.Toolbar, record.WindowToolbars[0]}) {
        if (!bar) continue;
        SendMessageA(bar, TB_ENABLEBUTTON, kCmdUndo, canUndo);
        if (YYEditorRichEditLevel() >= 2) SendMessageA(bar, TB_ENABLEBUTTON, kCmdRedo, canRedo);
    }
    record.Changed = 1;
    record.PositionCache = {-1, -1};
    if (record.Options.ModifiedMarker) YYEditorUpdateStatus(window);
    const std::size_t n = static_cast<std::size_t>(record.CurrentFile - 1);
    if (record.Bookmarks[n] >= 0) {
        const INTEGER length = bookmarkLength(record);
        const INTEGER difference = length - record.BookmarkLengths[n];
        if (selectionOf(record).cpMin - difference <= record.Bookmarks[n]) record.Bookmarks[n] += difference;
        record.BookmarkLengths[n] = length;
    }
}

void selectionChanged(EditorWindowRecord& record)
{
    if (!IsWindowVisible(record.RichEdit)) return;
    const CHARRANGE range = selectionOf(record);
    const bool empty = range.cpMin == range.cpMax;
    if (HWND bar = record.Toolbar) {
        SendMessageA(bar, TB_ENABLEBUTTON, kCmdCut, !empty && YYEditorSelectionEditable(record));
        SendMessageA(bar, TB_ENABLEBUTTON, kCmdCopy, !empty);
    }
    if (record.EditPopup) EnableMenuItem(record.EditPopup, kCmdCopy, MF_BYCOMMAND | (empty ? MF_GRAYED : MF_ENABLED));
    YYEditorSyncFormatChecks(record);
    if (HWND top = record.WindowToolbars[0]) {
        SendMessageA(top, TB_ENABLEBUTTON, kCmdCut, !empty);
        SendMessageA(top, TB_ENABLEBUTTON, kCmdCopy, !empty);
    }
    YYEditorCaretStatus(record);
}

// The key filter: lock-key indicators, the insert mode, and the keys the control lacks.
LRESULT keyFilter(EditorWindowRecord& record, const MSGFILTER& filter)
{
    HWND control = record.RichEdit;
    const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0, alt = GetKeyState(VK_MENU) < 0;
    if (filter.msg == WM_CHAR) {
        // Overwrite mode: a typed character takes the place of the one after the caret.
        if (!record.InsertMode && filter.wParam >= 32 && !ctrl) {
            CHARRANGE range = selectionOf(record);
            if (range.cpMin == range.cpMax) {
                char next[4] = {};
                TEXTRANGEA ask{{range.cpMin, range.cpMin + 1}, next};
                SendMessageA(control, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&ask));
                if (next[0] && next[0] != '\r' && next[0] != '\n') {
                    range.cpMax = range.cpMin + 1;
                    SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
                }
            }
        }
        return 0;
    }
    if (filter.msg != WM_KEYDOWN) return 0;
    switch (filter.wParam) {
    case VK_CAPITAL: case VK_NUMLOCK:
        YYEditorLockStatus(record, static_cast<INTEGER>(filter.wParam));
        return 0;
    case VK_INSERT:
        if (shift && !ctrl && !alt) {
            YYEditorPaste(record);
            return 1;
        }
        if (ctrl && !shift && !alt) {
            SendMessageA(control, WM_COPY, 0, 0);
            return 1;
        }
        if (shift || ctrl) return 0;
        record.InsertMode = record.InsertMode ? 0 : 1;
        YYEditorInsertStatus(record);
        return 0;
    case VK_DELETE:
        if (shift && !ctrl && !alt) {
            if (!record.Options.ReadOnly) SendMessageA(control, WM_CUT, 0, 0);
            return 1;
        }
        return 0;
    case 'V':
        if (ctrl && !shift && !alt) {
            if (!record.Options.ReadOnly) YYEditorPaste(record);
            return 1;
        }
        return 0;
    case VK_OEM_COMMA: case VK_OEM_PERIOD:
        return (ctrl && shift && !record.Options.RichText) ? 1 : 0;
    default:
        return 0;
    }
}

void menuOpening(EditorWindowRecord& record, HMENU popup)
{
    HWND control = record.RichEdit;
    const CHARRANGE range = selectionOf(record);
    const bool empty = range.cpMin == range.cpMax;
    auto enable = [popup](INTEGER id, bool on) { EnableMenuItem(popup, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
    if (popup == record.FilePopup) {
        enable(kCmdPrintSelection, !empty);
    } else if (popup == record.EditPopup) {
        const bool editable = YYEditorSelectionEditable(record);
        enable(kCmdUndo, SendMessageA(control, EM_CANUNDO, 0, 0) != 0);
        if (YYEditorRichEditLevel() >= 2) enable(kCmdRedo, SendMessageA(control, EM_CANREDO, 0, 0) != 0);
        enable(kCmdCopy, !empty);
        enable(kCmdCut, !empty && editable);
        enable(kCmdDelete, !empty && editable);
        enable(kCmdPaste, IsClipboardFormatAvailable(CF_TEXT) && editable);
    } else if (popup == record.SearchPopup) {
        enable(kCmdFindNext, record.FindText[0] != '\0');
        enable(kCmdGotoBookmark, record.Bookmarks[static_cast<std::size_t>(record.CurrentFile - 1)] >= 0);
    } else if (popup == record.FormatPopup) {
        const bool editable = YYEditorSelectionEditable(record);
        enable(kCmdFont, editable);
        enable(kCmdBullets, editable);
    }
}

void menuHelp(HWND window, EditorWindowRecord& record, WPARAM wParam, LPARAM lParam)
{
    if (!record.StatusBar) return;
    INTEGER id = LOWORD(wParam);
    if (HIWORD(wParam) & MF_POPUP) {
        // A popup entry is named by its position; its identifier is that of the entry in the bar.
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID;
        if (GetMenuItemInfoA(reinterpret_cast<HMENU>(lParam), static_cast<UINT>(id), TRUE, &item)) id = static_cast<INTEGER>(item.wID);
    }
    std::string text;
    const INTEGER slot = YYWindowSlotFromHandle(window);
    if (!(slot >= 0 && YYMenuHelpText(slot, id, text))) text = YYEditorCommandHelp(record, id);
    if (text.empty()) {
        YYFrameWindowProc(window, WM_MENUSELECT, wParam, lParam);
        return;
    }
    SendMessageA(record.StatusBar, SB_SETTEXTA, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text.c_str()));
}

void close(HWND window, EditorWindowRecord& record)
{
    if (YYEditorQuerySave(window, record) == 0) return;
    if (record.Options.MultiFile && record.FileCount > 1) {
        // Every other document with unsaved changes is shown and asked about; a cancel goes back.
        const INTEGER first = record.CurrentFile;
        const INTEGER slot = slotOf(window);
        for (INTEGER i = 1; i <= record.FileCount; ++i) {
            if (i == first) continue;
            INTEGER saved = 1;
            YYEditorFileListGetField(slot, i, saved);
            if (saved != 0) continue;
            showDocument(window, record, i);
            if (YYEditorQuerySave(window, record) == 0) {
                YYEditorSwitchFile(window, first);
                return;
            }
        }
    }
    if (record.Mode != 1) {
        YYEventStore(kEventClose, 0, 0, 0, window);
        return;
    }
    EditorLastClosed& last = editorLastClosed();
    HWND control = record.RichEdit;
    last.Saved = SendMessageA(control, EM_GETMODIFY, 0, 0) ? 0 : 1;
    last.TextLength = YYEditorWindowTextLength(record, true);
    last.Changed = record.Changed;
    const CHARRANGE range = selectionOf(record);
    const bool convert = YYEditorRichEditLevel() >= 2 && !record.Options.ControlPositions;
    last.SelectionStart = range.cpMin + (convert ? YYEditorCountReturns(record, range.cpMin) : 0);
    last.SelectionEnd = range.cpMax + (convert ? YYEditorCountReturns(record, range.cpMax) : 0);
    last.CurrentFile = record.CurrentFile;
    last.FileCount = record.FileCount;
    last.FirstVisibleLine = static_cast<INTEGER>(SendMessageA(control, EM_GETFIRSTVISIBLELINE, 0, 0));
    last.FontKind = record.FontKind;
    last.PointSize = record.PointSize;
    last.FindText = record.FindText.data();
    last.ReplaceText = record.ReplaceText.data();
    last.Path = record.path();
    record.ModalEnd = 1;
    // The slot goes with the window (its frame, client, bar and what it owns); the record goes
    // with the window's last message.
    INTEGER dialog = 0;
    const INTEGER slot = YYWindowSlotFromHandle(window);
    if (slot > 0) YYWindowSlotClose(slot, dialog);
    else DestroyWindow(window);
}

LRESULT notify(HWND window, EditorWindowRecord& record, NMHDR& header, LPARAM lParam)
{
    if (header.hwndFrom == record.RichEdit) {
        switch (header.code) {
        case EN_MSGFILTER: return keyFilter(record, *reinterpret_cast<MSGFILTER*>(lParam));
        case EN_SELCHANGE: selectionChanged(record); return 0;
        case EN_PROTECTED: {
            const auto& notice = *reinterpret_cast<ENPROTECTED*>(lParam);
            if (notice.msg == WM_COPY) return 0;
            return record.Protection == 1 ? 1 : 0;
        }
        default: return 0;
        }
    }
    if (header.code == TTN_GETDISPINFOA && header.hwndFrom == record.Tooltips) {
        auto& info = *reinterpret_cast<NMTTDISPINFOA*>(lParam);
        static std::string tip;  // the tooltip reads the text after we return
        tip = YYEditorCommandTooltip(record, static_cast<INTEGER>(header.idFrom));
        info.lpszText = tip.data();
        return 0;
    }
    return YYFrameWindowProc(window, WM_NOTIFY, header.idFrom, lParam);
}

}  // namespace

POINT YYEditorContextMenuPoint(const EditorWindowRecord& record, LPARAM position)
{
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (at.x != -1 || at.y != -1) return at;
    GetCaretPos(&at);
    INTEGER cell = record.CellHeight;
    WPARAM numerator = 0;
    LPARAM denominator = 0;
    if (YYEditorRichEditLevel() >= 3 &&
        SendMessageA(record.RichEdit, EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator), reinterpret_cast<LPARAM>(&denominator)) &&
        denominator >= 1 && numerator >= 1)
        cell = MulDiv(cell, static_cast<int>(numerator), static_cast<int>(denominator));
    at.y += cell;
    ClientToScreen(record.RichEdit, &at);
    return at;
}

void YYEditorLayout(HWND window, EditorWindowRecord& record)
{
    if (IsIconic(window)) return;
    RECT area{};
    GetClientRect(window, &area);
    const INTEGER slot = YYWindowSlotFromHandle(window);
    if (record.StatusBar) {
        SendMessageA(record.StatusBar, WM_SIZE, 0, 0);
        RECT bar{};
        GetWindowRect(record.StatusBar, &bar);
        area.bottom -= bar.bottom - bar.top;
    }
    if (record.Toolbar) {
        SendMessageA(record.Toolbar, TB_AUTOSIZE, 0, 0);
        RECT bar{};
        GetWindowRect(record.Toolbar, &bar);
        area.top += bar.bottom - bar.top;
    }
    if (slot >= 0) {
        const WindowSlot& s = windowSlotTable().Slots[static_cast<std::size_t>(slot)];
        if (HWND top = record.WindowToolbars[0]) {
            MoveWindow(top, 0, area.top, area.right, s.ToolbarWidths[0], TRUE);
            area.top += s.ToolbarWidths[0];
        }
        if (HWND bottom = record.WindowToolbars[3]) {
            MoveWindow(bottom, 0, area.bottom - s.ToolbarWidths[3], area.right, s.ToolbarWidths[3], TRUE);
            area.bottom -= s.ToolbarWidths[3];
        }
        if (HWND left = record.WindowToolbars[1]) {
            MoveWindow(left, area.left, area.top, s.ToolbarWidths[1], area.bottom - area.top, TRUE);
            area.left += s.ToolbarWidths[1];
        }
        if (HWND right = record.WindowToolbars[2]) {
            MoveWindow(right, area.right - s.ToolbarWidths[2], area.top, s.ToolbarWidths[2], area.bottom - area.top, TRUE);
            area.right -= s.ToolbarWidths[2];
        }
    }
    if (record.InputField) {
        area.bottom -= record.FieldHeight;
        RECT label{};
        if (record.LabelFrame) GetWindowRect(record.LabelFrame, &label);
        const int labelWidth = label.right - label.left;
        if (record.LabelFrame) MoveWindow(record.LabelFrame, area.left, area.bottom, labelWidth, record.FieldHeight, TRUE);
        MoveWindow(record.InputField, area.left + labelWidth, area.bottom, area.right - area.left - labelWidth,
                   record.FieldHeight, TRUE);
    }
    MoveWindow(record.RichEdit, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
    if (slot >= 0)
        if (HWND client = windowSlotTable().Slots[static_cast<std::size_t>(slot)].Client)
            MoveWindow(client, area.left, area.top, area.right - area.left, area.bottom - area.top, FALSE);
}

void YYEditorSwitchFile(HWND window, INTEGER n)
{
    EditorWindowRecord* record = YYEditorRecord(window);
    if (!record || n < 1 || n > record->FileCount) return;
    if (record->ViewPopup) {
        CheckMenuItem(record->ViewPopup, static_cast<UINT>(kCmdViewPopup + record->CurrentFile), MF_BYCOMMAND | MF_UNCHECKED);
        CheckMenuItem(record->ViewPopup, static_cast<UINT>(kCmdViewPopup + n), MF_BYCOMMAND | MF_CHECKED);
    }
    if (n != record->CurrentFile) showDocument(window, *record, n);
    RECT r{};
    GetWindowRect(record->RichEdit, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(record->RichEdit, nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);
    SetWindowPos(record->RichEdit, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_FRAMECHANGED);
}

bool YYEditorReusable(EditorWindowRecord& record) { return reusable(record); }

void YYEditorOpenDocument(HWND window, EditorWindowRecord& record, const std::string& path, INTEGER filterIndex,
                          INTEGER& status)
{
    YYEditorFileListPutName(slotOf(window), record.CurrentFile, record.Path.data(), kEditorPathLength);
    if (const INTEGER open = documentNamed(window, record, path)) {
        YYEditorSwitchFile(window, open);
        return;
    }
    if (record.FileCount >= kEditorMaxFiles) {
        status = kEditorOpenTooManyFiles;
        return;
    }
    const INTEGER previous = record.CurrentFile;
    appendDocument(window, record);
    record.setPath(path);
    record.FilterIndex[static_cast<std::size_t>(record.CurrentFile - 1)] = filterIndex == -1 ? 1 : filterIndex;
    if (!path.empty() && !YYEditorLoadFile(window, 1)) {
        // A file that exists but could not be shown is not kept under its name: Save would write
        // the empty text over it. A name that names no file yet stays, for the new file.
        if (GetFileAttributesA(record.Path.data()) != INVALID_FILE_ATTRIBUTES) {
            dropAppended(window, record, previous);
            return;
        }
        emptyDocument(window, record);
        record.setPath(path);
    }
    if (path.empty()) emptyDocument(window, record);
    YYEditorFileListPutName(slotOf(window), record.CurrentFile, record.Path.data(), kEditorPathLength);
    setViewItem(record, record.CurrentFile, record.path(), true);
    YYEditorUpdateStatus(window);
}

UINT_PTR CALLBACK YYEditorDialogFocusProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == 0) {
        if (HWND parent = GetParent(dialog)) {
            SetFocus(parent);
            YYWindowActivate(parent);
        }
    }
    return FALSE;
}

LRESULT CALLBACK YYEditorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    EditorWindowRecord* found = YYEditorRecord(window);
    if (!found) {
        if (message == WM_NCDESTROY) YYEditorRecordRelease(window);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    EditorWindowRecord& record = *found;
    if (message == windowEngineState().FindReplaceMessage && message != 0) {
        auto& block = *reinterpret_cast<FINDREPLACEA*>(lParam);
        if (block.Flags & FR_DIALOGTERM) {
            record.FindDialog = nullptr;
        } else if (block.Flags & FR_REPLACEALL) {
            CHARRANGE start{0, 0};
            SendMessageA(record.RichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
            while (YYEditorReplace(window, record, block)) {}
        } else if (block.Flags & FR_REPLACE) {
            YYEditorReplace(window, record, block);
        } else if (block.Flags & FR_FINDNEXT) {
            YYEditorFindNext(window, record, block);
        }
        return 0;
    }
    switch (message) {
    case WM_COMMAND: {
        const HWND from = reinterpret_cast<HWND>(lParam);
        const UINT code = HIWORD(wParam);
        if (from && from != record.Toolbar && from != record.WindowToolbars[0]) {
            if ((code == EN_SETFOCUS || code == CBN_SETFOCUS) && (from == record.RichEdit || from == record.InputField || from == record.InputEdit)) {
                record.FocusControl = from;
                paneFocused(window);
            }
            if (code == EN_CHANGE && from == record.RichEdit) textChanged(record, window);
            if (code == EN_VSCROLL && from == record.RichEdit && YYEditorRichEditLevel() == 2) InvalidateRect(from, nullptr, TRUE);
            return 0;
        }
        command(window, record, LOWORD(wParam));
        return 0;
    }
    case WM_NOTIFY: return notify(window, record, *reinterpret_cast<NMHDR*>(lParam), lParam);
    case WM_INITMENUPOPUP: menuOpening(record, reinterpret_cast<HMENU>(wParam)); return 0;
    case WM_ENTERMENULOOP:
        if (record.StatusBar) {
            SendMessageA(record.StatusBar, SB_SETTEXTA, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(""));
            SendMessageA(record.StatusBar, SB_SIMPLE, TRUE, 0);
        }
        return 0;
    case WM_EXITMENULOOP:
        if (record.StatusBar) SendMessageA(record.StatusBar, SB_SIMPLE, FALSE, 0);
        return 0;
    case WM_MENUSELECT: menuHelp(window, record, wParam, lParam); return 0;
    case WM_CONTEXTMENU: {
        if (reinterpret_cast<HWND>(wParam) != record.RichEdit || !record.EditPopup) break;
        const POINT at = YYEditorContextMenuPoint(record, lParam);
        TrackPopupMenu(record.EditPopup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
        return 0;
    }
    case WM_MOUSEACTIVATE: case WM_PARENTNOTIFY:
        if (message == WM_PARENTNOTIFY && LOWORD(wParam) != WM_LBUTTONDOWN && LOWORD(wParam) != WM_RBUTTONDOWN &&
            LOWORD(wParam) != WM_MBUTTONDOWN)
            break;
        if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) {
            SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            if (!IsChild(window, GetFocus())) SetFocus(window);
            YYWindowActivate(window);
            return message == WM_MOUSEACTIVATE ? MA_ACTIVATE : 0;
        }
        break;
    case WM_SETFOCUS: {
        dialogManagerHooks().activeModelessDialogSet(nullptr);
        HWND target = record.FocusControl ? record.FocusControl : record.RichEdit;
        if (target) SetFocus(target);
        return 0;
    }
    case WM_ERASEBKGND: return 0;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) YYEditorLayout(window, record);
        return 0;
    case WM_CLOSE: close(window, record); return 0;
    case WM_DESTROY: {
        // The find dialog works on the record's find block: it goes before the record does.
        if (record.FindDialog) DestroyWindow(std::exchange(record.FindDialog, nullptr));
        if (record.Mode == 3) {
            DialogManagerState& d = dialogManagerState();
            if (d.semiModelessCount > 0) --d.semiModelessCount;
            // The windows it held back come back, and the one it was opened from is active again.
            YYDialogsEnable(window, 1);
            const INTEGER slot = YYWindowSlotFromHandle(window);
            const INTEGER back = slot >= 0 ? windowSlotTable().Slots[static_cast<std::size_t>(slot)].ReturnWindow : -1;
            HWND target = back >= 0 && back < kWindowSlots ? windowSlotTable().Slots[static_cast<std::size_t>(back)].Frame.get()
                                                           : nullptr;
            if (!target) target = windowSlotTable().Slots[0].Frame.get();
            if (target && target != window) {
                EnableWindow(target, TRUE);
                SetFocus(target);
                YYWindowActivate(target);
            }
        }
        for (FileHandle& file : record.HeldFiles) file.reset();
        break;
    }
    case WM_NCDESTROY: {
        const LRESULT result = YYFrameWindowProc(window, message, wParam, lParam);
        YYEditorRecordRelease(window);
        return result;
    }
    case WM_ACTIVATE: case WM_KILLFOCUS: case WM_NCHITTEST: case WM_EXITSIZEMOVE: case WM_NCACTIVATE:
        return YYFrameWindowProc(window, message, wParam, lParam);
    default:
        break;
    }
    if (message == WM_DESTROY) return YYFrameWindowProc(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}
