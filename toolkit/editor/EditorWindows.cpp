#include "toolkit/editor/EditorWindows.h"

#include <algorithm>

#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/editor/EditorCommands.h"
#include "toolkit/editor/EditorFiles.h"
#include "toolkit/editor/EditorFormatting.h"
#include "toolkit/editor/EditorInputField.h"
#include "toolkit/editor/EditorDocuments.h"
#include "toolkit/editor/EditorAccess.h"
#include "toolkit/editor/EditorStatus.h"
#include "toolkit/editor/EditorWindowProc.h"
#include "toolkit/foundation/ChildWindows.h"
#include "toolkit/foundation/CommonControls.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/Menus.h"
#include "toolkit/foundation/WindowEngineHooks.h"
#include "toolkit/foundation/WindowProcs.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"

EditorWindowTable& editorWindowTable()
{
    static EditorWindowTable table;
    return table;
}

EditorLastClosed& editorLastClosed()
{
    static EditorLastClosed last;
    return last;
}

EditorHooks& editorHooks()
{
    static EditorHooks hooks;
    return hooks;
}

namespace {

WindowSlot& slotOf(INTEGER n) { return windowSlotTable().Slots[static_cast<std::size_t>(n)]; }

EditorOptionWords optionWords(INTEGER options)
{
    EditorOptionWords o;
    o.Raw = options;
    o.ReadOnly = options & kEditorReadOnly;
    o.NewOffered = !(options & (kEditorNoNewOpen | kEditorReadOnly));
    o.OpenOffered = !(options & kEditorNoNewOpen);
    o.SaveOffered = !(options & (kEditorNoSave | kEditorReadOnly));
    o.SaveAsOffered = !(options & (kEditorNoSaveAs | kEditorNoSave));
    o.PrintOffered = !(options & kEditorNoPrint);
    o.RichText = options & kEditorRichText;
    o.MultiFile = options & kEditorMultiFile;
    o.NoFileName = options & kEditorNoFileName;
    o.QuietInitialLoad = options & kEditorQuietInitialLoad;
    o.PrintByApplication = options & kEditorPrintByApplication;
    o.ExtendedToolbar = options & kEditorExtendedToolbar;
    o.ControlPositions = options & kEditorControlPositions;
    o.BackupCopy = options & kEditorBackupCopy;
    o.ModifiedMarker = options & kEditorModifiedMarker;
    return o;
}

std::string fullPath(const char* name)
{
    if (!name || !name[0]) return {};
    char full[MAX_PATH + 1] = {};
    const DWORD n = GetFullPathNameA(name, sizeof full, full, nullptr);
    return n > 0 && n < sizeof full ? std::string(full) : std::string(name);
}

bool isChild(HWND window) { return (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0; }

// The rich-edit library the level-1 class lives in, loaded only when that class is asked for.
LibraryHandle& levelOneLibrary()
{
    static LibraryHandle library;
    return library;
}

void runModalLoop(HWND frame)
{
    MSG message{};
    while (IsWindow(frame)) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            // The program is ending: the editor goes, and the quit goes on to the outer loop.
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            if (IsWindow(frame)) {
                INTEGER dialog = 0;
                const INTEGER n = YYWindowSlotFromHandle(frame);
                if (n > 0) YYWindowSlotClose(n, dialog);
                else DestroyWindow(frame);
            }
            break;
        }
        const EditorWindowRecord* record = YYEditorRecord(frame);
        if (record && record->Accelerators && TranslateAcceleratorA(frame, record->Accelerators.get(), &message)) continue;
        if (record && record->FindDialog && IsDialogMessageA(record->FindDialog, &message)) continue;
        if (message.message == 0x0118 && LOWORD(message.wParam) == 0xFFF6) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Opening a further file in a window that is an editor already (one document per window).
void openFurtherFile(HWND frame, EditorWindowRecord& record, INTEGER filterIndex, const char* fileName)
{
    const std::string path = fullPath(fileName);
    record.setPath(path);
    if (!path.empty()) {
        YYEditorCloseFileHandle(frame);
        if (!YYEditorLoadFile(frame, 0)) record.setPath("");
        else if (record.ViewPopup)
            ModifyMenuA(record.ViewPopup, 0, MF_BYPOSITION | MF_STRING | MF_CHECKED, kCmdViewPopup + 1,
                        YYEditorViewItemText(1, record.path()).c_str());
    }
    record.FilterIndex[static_cast<std::size_t>(record.CurrentFile - 1)] = filterIndex == -1 ? 1 : filterIndex;
    YYEditorUpdateStatus(frame);
}

INTEGER queryHook(HWND frame, INTEGER kind);
void releaseHook(HWND frame, INTEGER kind);
INTEGER (*previousQuery)(HWND, INTEGER) = nullptr;
void (*previousRelease)(HWND, INTEGER) = nullptr;

INTEGER queryHook(HWND frame, INTEGER kind)
{
    if (kind == 1) {
        EditorWindowRecord* record = YYEditorRecord(frame);
        return record ? YYEditorQuerySave(frame, *record) : 1;
    }
    return previousQuery ? previousQuery(frame, kind) : 1;
}

void releaseHook(HWND frame, INTEGER kind)
{
    if (kind != 1) {
        if (previousRelease) previousRelease(frame, kind);
        return;
    }
    EditorWindowRecord* record = YYEditorRecord(frame);
    if (!record) return;
    if (record->FindDialog) DestroyWindow(std::exchange(record->FindDialog, nullptr));
    for (HWND control : {record->RichEdit, record->Toolbar, record->InputField, record->LabelFrame})
        if (control) DestroyWindow(control);
    SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&YYFrameWindowProc));
    YYEditorRecordRelease(frame);
}

}  // namespace

EditorWindowRecord* YYEditorRecord(HWND frame)
{
    const EditorWindowTable& table = editorWindowTable();
    for (std::size_t i = 0; frame && i < table.Frames.size(); ++i)
        if (table.Frames[i] == frame) return table.Records[i].get();
    return nullptr;
}

void YYEditorRecordRelease(HWND frame)
{
    EditorWindowTable& table = editorWindowTable();
    for (std::size_t i = 0; i < table.Frames.size(); ++i) {
        if (table.Frames[i] != frame) continue;
        YYEditorDocumentsReleaseWindow(table.Records[i]->Window);
        if (GetWindowLongPtrA(frame, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(table.Records[i].get()))
            SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
        table.Frames.erase(table.Frames.begin() + static_cast<std::ptrdiff_t>(i));
        table.Records.erase(table.Records.begin() + static_cast<std::ptrdiff_t>(i));
        return;
    }
}

INTEGER YYEditorRichEditLevel()
{
    const INTEGER forced = editorHooks().RichEditLevel;
    if (forced > 0) return forced;
    const INTEGER probed = windowEngineState().RichEditLevel;
    return probed > 0 ? probed : 3;
}

std::string YYEditorFilterList(std::string_view list)
{
    if (list.empty()) return {};
    const char separator = list.back();
    std::string_view kept = list.substr(0, std::min<std::size_t>(list.size(), 1000));
    // Cut after the last complete pair: a description left without its pattern would pair every
    // later text wrongly.
    std::size_t separators = 0, lastPairEnd = 0;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (kept[i] != separator) continue;
        if (++separators % 2 == 0) lastPairEnd = i + 1;
    }
    std::string result(kept.substr(0, lastPairEnd));
    std::replace(result.begin(), result.end(), separator, '\0');
    if (result.empty()) return {};
    result.push_back('\0');
    return result;
}

void YYEditorCreateFonts(EditorWindowRecord& record, INTEGER fontKind, INTEGER pointSize)
{
    WindowDc screen(nullptr);
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    int height = 0;
    if (pointSize != 0) height = -MulDiv(pointSize, dpi, 72);
    else if (YYEditorRichEditLevel() >= 2 || windowEngineState().OsMajorVersion >= 5) height = -MulDiv(12, dpi, 72);
    GdiObjectHandle created;
    HFONT font = nullptr;
    auto make = [&](int h, int charset, int precision, int pitch, const char* face) {
        created = GdiObjectHandle(CreateFontA(h, 0, 0, 0, 400, 0, 0, 0, static_cast<DWORD>(charset),
                                              static_cast<DWORD>(precision), 0, 0, static_cast<DWORD>(pitch), face));
        font = static_cast<HFONT>(created.get());
    };
    switch (fontKind) {
    case kEditorFontSystemFixed: font = static_cast<HFONT>(GetStockObject(SYSTEM_FIXED_FONT)); break;
    case kEditorFontTimes: make(height, DEFAULT_CHARSET, OUT_TT_PRECIS, 0x12, "Times New Roman"); break;
    case kEditorFontArial: make(height, DEFAULT_CHARSET, OUT_TT_PRECIS, 0x22, "Arial"); break;
    case kEditorFontCourier: make(height, DEFAULT_CHARSET, OUT_TT_PRECIS, 0x32, "Courier New"); break;
    case kEditorFontLucida10: case kEditorFontLucida11: case kEditorFontLucida13: case kEditorFontLucida14: {
        const int points[] = {10, 11, 13, 14};
        make(-MulDiv(points[fontKind - kEditorFontLucida10], dpi, 72), OEM_CHARSET, OUT_DEFAULT_PRECIS, FIXED_PITCH,
             "Lucida Console");
        break;
    }
    default: font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT)); break;
    }
    if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    {
        MemoryDcHandle dc(CreateCompatibleDC(screen.get()));
        DcSelection selected(dc.get(), font);
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc.get(), &metrics);
        record.CellHeight = metrics.tmHeight;
        record.CellAscent = metrics.tmHeight - metrics.tmInternalLeading;
    }
    record.OwnedFont = std::move(created);
    record.Font = font;
    record.FontKind = fontKind;
    record.PointSize = pointSize;
}

void YYEditorSetFont(INTEGER fontKind, INTEGER pointSize, INTEGER& status)
{
    const INTEGER n = windowEngineState().CurrentWindow;
    HWND frame = slotOf(n).Frame.get();
    EditorWindowRecord* record = YYEditorRecord(frame);
    if (!record) {
        status = 1;
        return;
    }
    // The old font stays alive until the control has the new one.
    GdiObjectHandle old = std::move(record->OwnedFont);
    YYEditorCreateFonts(*record, fontKind == -1 ? record->FontKind : fontKind,
                        pointSize == -1 ? record->PointSize : pointSize);
    const bool modified = SendMessageA(record->RichEdit, EM_GETMODIFY, 0, 0) != 0;
    SendMessageA(record->RichEdit, WM_SETFONT, reinterpret_cast<WPARAM>(record->Font), TRUE);
    if (!record->Options.RichText && !modified) {
        SendMessageA(record->RichEdit, EM_SETMODIFY, FALSE, 0);
        if (record->Options.ModifiedMarker) YYEditorUpdateStatus(frame);
    }
    status = 0;
}

void YYEditorOpenWindow(INTEGER& status, INTEGER& mode, INTEGER menuId, INTEGER options, INTEGER fontKind,
                        INTEGER pointSize, INTEGER filterIndex, INTEGER splitWindow, const char* fileName,
                        const char* filterList)
{
    WindowEngineState& engine = windowEngineState();
    const INTEGER n = engine.CurrentWindow;
    if (n <= 0 || n >= kWindowSlots || !slotOf(n).Frame) {
        status = kEditorOpenMainWindow;
        return;
    }
    WindowSlot& slot = slotOf(n);
    HWND frame = slot.Frame.get();
    if (EditorWindowRecord* existing = YYEditorRecord(frame)) {
        if (existing->Options.MultiFile && !YYEditorReusable(*existing))
            YYEditorOpenDocument(frame, *existing, fullPath(fileName), filterIndex, status);
        else
            openFurtherFile(frame, *existing, filterIndex, fileName);
        return;
    }
    if (YYWindowRecord(frame)) {
        status = kEditorOpenOtherRecord;
        return;
    }
    if (slot.Client && GetWindow(slot.Client, GW_CHILD)) {
        status = kEditorOpenClientOccupied;
        return;
    }
    bool menuPossible = true;
    const bool pane = YYSplitOfPane(frame) >= 0;
    if (isChild(frame)) {
        menuPossible = false;
        if (pane) {
            HWND reached = frame;
            while (isChild(reached)) {
                HWND up = GetParent(GetParent(reached));
                if (!up || !YYSplitRecord(up)) break;
                reached = up;
            }
            menuPossible = !isChild(reached);
        }
        if (mode == 2 && menuId != 0 && !menuPossible) status = kEditorOpenNoMenuBar;
        if (mode == 1 || mode == 3) {
            status = kEditorOpenModeChanged;
            mode = 2;
        }
    }
    // What a pane's creation paints in the other windows is not theirs to repaint: the clients
    // that had nothing to update are validated again at the end.
    std::array<bool, kWindowSlots> updatePending{};
    if (pane)
        for (INTEGER k = 0; k < kWindowSlots; ++k)
            if (HWND client = slotOf(k).Client) updatePending[static_cast<std::size_t>(k)] = GetUpdateRect(client, nullptr, FALSE) != 0;
    EditorWindowTable& table = editorWindowTable();
    table.Records.push_back(std::make_unique<EditorWindowRecord>());
    table.Frames.push_back(frame);
    EditorWindowRecord& record = *table.Records.back();
    SetWindowLongPtrA(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&record));
    record.Window = n;
    record.ReturnWindow = slot.ReturnWindow;
    record.Options = optionWords(options);
    record.Bookmarks.fill(-1);
    record.BookmarkLengths.fill(-1);
    record.FilterList = YYEditorFilterList(filterList ? filterList : "");
    record.FilterIndex[0] = filterIndex == -1 ? 1 : filterIndex;
    record.Mode = mode;
    record.Accelerators = YYEditorBuildAccelerators(record);
    if (slot.Client) ShowWindow(slot.Client, SW_HIDE);

    if (menuPossible && !(options & kEditorNoMenuBar)) {
        YYEditorBuildMenus(record, menuId, mode, status);
        HMENU old = slot.Menu;
        YYMenuFreeItems(old, n);
        slot.Menu = record.MenuBar;
        slot.Accelerators = nullptr;
        slot.MenuHelpTexts = {};
        SetMenu(pane ? YYOutermostFrame(frame) : frame, record.MenuBar);
        if (old && old != record.MenuBar) MenuHandle{old}.reset();
    }
    if (splitWindow != -1 && pane && YYSplitOfPane(frame) >= 0) {
        // Every split window from the pane up to the one named that has no menu shows this one,
        // with this editor as the pane whose menu it shows.
        if (record.MenuBar) {
            HWND reached = frame;
            for (INTEGER guard = 0; guard < kWindowSlots; ++guard) {
                const INTEGER s = YYSplitOfPane(reached);
                if (s < 0) break;
                WindowSlot& split = slotOf(s);
                if (!split.Menu) {
                    split.Menu = record.MenuBar;
                    if (split.SplitRecord) split.SplitRecord->Words[18] = reinterpret_cast<std::intptr_t>(frame);
                }
                if (s == splitWindow) break;
                reached = split.Frame.get();
            }
        }
        record.PaneAccelerators = YYEditorBuildPaneAccelerators(record);
    }
    if (mode == 1) {
        bool any = false;
        for (HWND& bar : slot.Toolbars) {
            if (bar) {
                DestroyWindow(bar);
                any = true;
            }
            bar = nullptr;
        }
        slot.ToolbarWidths = {};
        slot.ToolbarTips.clear();
        if (any) {
            RECT r{};
            GetClientRect(frame, &r);
            SendMessageA(frame, WM_SIZE, SIZE_RESTORED, MAKELPARAM(r.right, r.bottom));
        }
    } else {
        record.WindowToolbars = slot.Toolbars;
        if (menuId != 0) {
            record.ResourceAccelerators = AcceleratorHandle(LoadAcceleratorsA(engine.Instance, MAKEINTRESOURCEA(menuId)));
            YYMenuAttachResources(slot, menuId);
            slot.Accelerators = nullptr;  // the editor's own copy is the one used
        }
    }
    if (!(options & kEditorNoToolbar)) YYEditorBuildToolbar(record, frame);
    record.StatusBar = slot.StatusBar;
    if (HWND bar = record.StatusBar) {
        const bool captioned = (GetWindowLongA(frame, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
        int edges[5] = {kEditorStatusEdges[0], kEditorStatusEdges[1], kEditorStatusEdges[2], kEditorStatusEdges[3], -1};
        SendMessageA(bar, SB_SIMPLE, FALSE, 0);
        SendMessageA(bar, SB_SETPARTS, captioned ? 4 : 5, reinterpret_cast<LPARAM>(edges));
        SendMessageA(bar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("Line:1   Col:1"));
        SendMessageA(bar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>((GetKeyState(VK_CAPITAL) & 1) ? "\tCAPS" : ""));
        SendMessageA(bar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>((GetKeyState(VK_NUMLOCK) & 1) ? "\tNUM" : ""));
        SendMessageA(bar, SB_SETTEXTA, 3, reinterpret_cast<LPARAM>("\tINS"));
    }
    YYEditorCreateFonts(record, fontKind, pointSize);
    if (options & (kEditorInputField | kEditorInputCombo)) {
        if (mode == 1) status = kEditorOpenNoFieldModal;
        else YYEditorCreateInputField(frame, record, (options & kEditorInputCombo) != 0);
    }
    record.InsertMode = 1;

    const INTEGER level = YYEditorRichEditLevel();
    if (level == 1 && !levelOneLibrary()) levelOneLibrary().reset(LoadLibraryA("riched32.dll"));
    DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL;
    if (options & kEditorReadOnly) style |= ES_READONLY;
    if (!(options & kEditorWrap)) style |= ES_AUTOHSCROLL | WS_HSCROLL;
    const char* controlClass = editorHooks().RichEditClass ? editorHooks().RichEditClass
                               : level == 1                 ? "RICHEDIT"
                                                            : "RichEdit20A";
    record.RichEdit = CreateWindowExA(WS_EX_CLIENTEDGE, controlClass, "", style, 0, 0, 10, 10,
                                      frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorControlId)),
                                      GetModuleHandleA(nullptr), nullptr);
    if (!record.RichEdit) {
        SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
        if (record.Toolbar) DestroyWindow(record.Toolbar);
        YYEditorRecordRelease(frame);
        if (slot.Client) ShowWindow(slot.Client, SW_SHOWNA);
        status = kEditorOpenNoRecord;
        return;
    }
    SendMessageA(record.RichEdit, WM_SETFONT, reinterpret_cast<WPARAM>(record.Font), FALSE);
    SendMessageA(record.RichEdit, EM_EXLIMITTEXT, 0, record.TextLimit);
    FINDREPLACEA& find = record.FindBlock;
    find.lStructSize = sizeof find;
    find.hwndOwner = frame;
    find.hInstance = reinterpret_cast<HINSTANCE>(GetModuleHandleA(nullptr));
    find.Flags = FR_DOWN;
    if (isChild(frame)) {
        find.Flags |= FR_ENABLEHOOK;
        find.lpfnHook = &YYEditorDialogFocusProc;
    }
    if (level == 1) find.Flags |= FR_HIDEUPDOWN | FR_NOUPDOWN;
    find.lpstrFindWhat = record.FindText.data();
    find.lpstrReplaceWith = record.ReplaceText.data();
    find.wFindWhatLen = kEditorFindLength;
    find.wReplaceWithLen = kEditorFindLength;
    SendMessageA(record.RichEdit, EM_SETEVENTMASK, 0, record.StatusBar ? 0x2B0009 : 0x2A0009);

    SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&YYEditorWindowProc));
    {
        const int length = GetWindowTextLengthA(frame);
        std::string title(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
        GetWindowTextA(frame, title.data(), length + 1);
        title.resize(static_cast<std::size_t>(std::max(length, 0)));
        record.SavedTitle = title;
    }
    record.setPath(fullPath(fileName));
    if (!record.path().empty() && !YYEditorLoadFile(frame, 1)) {
        // A file that exists but could not be shown must not be overwritten by a Save of the empty
        // text; a name that names no file yet stays, for the new file.
        if (GetFileAttributesA(record.Path.data()) != INVALID_FILE_ATTRIBUTES) record.setPath("");
    }
    // The View menu was built before the file was known: its first item names the file now.
    if (record.ViewPopup)
        ModifyMenuA(record.ViewPopup, 0, MF_BYPOSITION | MF_STRING | MF_CHECKED, kCmdViewPopup + 1,
                    YYEditorViewItemText(1, record.path()).c_str());
    YYEditorUpdateStatus(frame);
    YYEditorLayout(frame, record);
    record.FocusControl = record.InputEdit ? record.InputEdit : record.RichEdit;
    SendMessageA(record.RichEdit, EM_SETMODIFY, FALSE, 0);
    record.Changed = 0;
    if (mode == 3) ++dialogManagerState().semiModelessCount;
    if (!IsWindowEnabled(frame)) EnableWindow(frame, TRUE);
    ShowWindow(frame, SW_SHOW);
    SetFocus(record.FocusControl);
    YYWindowActivate(frame);
    if (mode == 1 || mode == 3) YYDialogsDisable(frame, 1);
    if (pane) {
        HWND top = YYOutermostFrame(frame);
        for (INTEGER k = 0; k < kWindowSlots; ++k) {
            HWND client = slotOf(k).Client;
            if (client && !updatePending[static_cast<std::size_t>(k)] && IsChild(top, client)) ValidateRect(client, nullptr);
        }
    }
    if (mode != 1) return;

    runModalLoop(frame);
    YYDialogsEnable(frame, 1);
    HWND back = dialogManagerState().semiModeless;
    if (!back) back = slotOf(0).Frame.get();
    if (back) {
        EnableWindow(back, TRUE);
        SetFocus(back);
        YYWindowActivate(back);
    }
}

void WEditorOpen(INTEGER& status, INTEGER& mode, INTEGER menuId, INTEGER options, INTEGER fontKind, INTEGER pointSize,
                 INTEGER filterIndex, INTEGER splitWindow, std::string_view fileName, std::string_view filterList)
{
    const std::string name(fileName), filters(filterList);
    status = 0;
    const INTEGER n = windowEngineState().CurrentWindow;
    HWND frame = n > 0 && n < kWindowSlots ? slotOf(n).Frame.get() : nullptr;
    // A modal editor in a window of its own keeps the other windows painted from snapshots while
    // its loop runs; the reference is taken and given back here, around the loop.
    const bool snapshots = mode == 1 && frame && !isChild(frame) && !YYEditorRecord(frame);
    INTEGER result = 0;
    if (snapshots) YYWindowSnapshots(1, n, result);
    YYEditorOpenWindow(status, mode, menuId, options, fontKind, pointSize, filterIndex, splitWindow, name.c_str(),
                       filters.c_str());
    if (snapshots) YYWindowSnapshots(0, n, result);
    const struct { INTEGER status, error; } errors[] = {{1, 1022}, {2, 1026}, {3, 1027}, {4, 1025}, {5, 1024},
                                                        {6, 1027}, {7, 1033}, {8, 1038}, {11, 1057}, {12, 1068}};
    for (const auto& e : errors)
        if (e.status == status) YYErrorReport(e.error, "WEditorOpen");
}

void YYEditorHooksInstall()
{
    ChildWindowHooks& hooks = childWindowHooks();
    if (hooks.editorQuerySave != &queryHook) previousQuery = std::exchange(hooks.editorQuerySave, &queryHook);
    if (hooks.editorRelease != &releaseHook) previousRelease = std::exchange(hooks.editorRelease, &releaseHook);
    hooks.editorUpdateStatus = &YYEditorUpdateStatus;
    YYEditorDocumentHooksInstall();
}
