#include "toolkit/editor/EditorCommands.h"

#include <cstdio>
#include <vector>

#include "toolkit/editor/EditorWindows.h"
#include "toolkit/foundation/Menus.h"
#include "toolkit/foundation/WindowSlots.h"

namespace {

struct CommandText {
    INTEGER Id;
    const char* WithKeys;
    const char* WithoutKeys;  // null: the same text
    const char* Tooltip;
    const char* Help;
};

// Texts are built in: an editor needs no resources beyond its two optional bitmaps.
constexpr CommandText kCommands[] = {
    {kCmdFilePopup, "&File", nullptr, "", "Commands to Load, Save and Print files"},
    {kCmdNew, "&New\tCtrl+N", "&New", "New", "Creates a new document"},
    {kCmdOpen, "&Open\tCtrl+O", "&Open", "Open", "Opens an existing document"},
    {kCmdSave, "&Save\tCtrl+S", "&Save", "Save", "Saves the active document"},
    {kCmdSaveAs, "Save &As\tF12", "Save &As", "", "Saves the active document with a new name"},
    {kCmdPrint, "&Print\tCtrl+P", "&Print", "Print", "Prints the active document"},
    {kCmdPrintSelection, "Prin&t Selection\tCtrl+Shift+P", "Prin&t Selection", "Print selected text",
     "Prints the selected text"},
    {kCmdClose, "&Close", nullptr, "", nullptr},
    {kCmdExit, "E&xit", nullptr, "", nullptr},
    {kCmdEditPopup, "&Edit", nullptr, "", "Commands for editing text"},
    {kCmdUndo, "&Undo\tCtrl+Z", nullptr, "Undo", "Reverses the last action"},
    {kCmdCut, "Cu&t\tCtrl+X", nullptr, "Cut", "Cuts the selected text and places it on the clipboard"},
    {kCmdCopy, "&Copy\tCtrl+C", nullptr, "Copy", "Copies the selected text and places it on the clipboard"},
    {kCmdPaste, "&Paste\tCtrl+V", nullptr, "Paste", "Inserts clipboard contents"},
    {kCmdDelete, "&Delete\tDel", nullptr, "", "Deletes the selected text"},
    {kCmdSelectAll, "Select &All\tCtrl+A", nullptr, "", "Selects the entire document"},
    {kCmdRedo, "&Redo\tCtrl+Y", nullptr, "Redo", "Redoes the last action that was undone"},
    {kCmdSearchPopup, "&Search", nullptr, "", "Commands to locate and replace text"},
    {kCmdFind, "&Find\tCtrl+F", "&Find", "Find", "Finds the specified text"},
    {kCmdFindNext, "Find &Next\tF3", "Find &Next", "", "Repeats the last find"},
    {kCmdReplace, "&Replace\tCtrl+H", "&Replace", "", "Replaces specific text with different text"},
    {kCmdSetBookmark, "&Set Bookmark\tShift+F2", "&Set Bookmark", "", "Bookmarks the current cursor position"},
    {kCmdGotoBookmark, "Goto &Bookmark\tF2", "Goto &Bookmark", "", "Moves to a previously bookmarked position"},
    {kCmdFormatPopup, "F&ormat", nullptr, "", "Commands to change the formatting of text"},
    {kCmdFont, "&Font", nullptr, "", "Selects the font for the selected or new text"},
    {kCmdBullets, "&Bullet Style", nullptr, "Bullets", "Inserts a bullet on this line"},
    {kCmdAlignLeft, "Align &Left\tCtrl+L", nullptr, "Align Left", nullptr},
    {kCmdAlignCentre, "Align &Centre\tCtrl+E", nullptr, "Centre", nullptr},
    {kCmdAlignRight, "Align &Right\tCtrl+R", nullptr, "Align Right", nullptr},
    {kCmdBold, nullptr, nullptr, "Bold", nullptr},
    {kCmdItalic, nullptr, nullptr, "Italic", nullptr},
    {kCmdUnderline, nullptr, nullptr, "Underline", nullptr},
    {kCmdViewPopup, "&View", nullptr, "", "Commands to switch between files"},
    {kCmdInsertPicture, nullptr, nullptr, "Insert Picture", nullptr},
    {kCmdInsertLink, nullptr, nullptr, "Insert Link", nullptr},
};

const CommandText* findCommand(INTEGER id)
{
    for (const CommandText& c : kCommands)
        if (c.Id == id) return &c;
    return nullptr;
}

// The menu text of an item: the key text only when the window's own accelerator table exists;
// Edit and Format items keep theirs (the control or the table always serves those keys).
std::string itemText(const EditorWindowRecord& record, INTEGER id)
{
    const CommandText* c = findCommand(id);
    if (!c || !c->WithKeys) return {};
    if (record.Options.ExtendedToolbar) {
        if (id == kCmdAlignLeft) return "Align &Left\tCtrl+Shift+L";
        if (id == kCmdAlignCentre) return "Align &Centre\tCtrl+Shift+E";
        if (id == kCmdAlignRight) return "Align &Right\tCtrl+Shift+R";
    }
    if (!record.Accelerators && c->WithoutKeys) return c->WithoutKeys;
    return c->WithKeys;
}

void append(const EditorWindowRecord& record, HMENU menu, INTEGER id, UINT flags = MF_STRING)
{
    AppendMenuA(menu, flags, static_cast<UINT_PTR>(id), itemText(record, id).c_str());
}

void separator(HMENU menu) { AppendMenuA(menu, MF_SEPARATOR, 0, nullptr); }

bool formatting(const EditorWindowRecord& record) { return record.Options.RichText && !record.Options.ReadOnly; }

}  // namespace

std::string YYEditorCommandHelp(const EditorWindowRecord& record, INTEGER command)
{
    const EditorOptionWords& o = record.Options;
    if (command == kCmdClose) {
        return (o.ReadOnly || !o.SaveOffered) ? "Closes the current document"
                                              : "Closes the current document; prompts you to save changes";
    }
    if (command == kCmdExit) {
        if (o.ReadOnly) return "Closes the browser";
        return o.SaveOffered ? "Closes the editor; prompts you to save changes" : "Closes the editor";
    }
    const CommandText* c = findCommand(command);
    return c && c->Help ? c->Help : "";
}

std::string YYEditorCommandTooltip(const EditorWindowRecord& record, INTEGER command)
{
    if ((command == kCmdInsertPicture || command == kCmdInsertLink) && !record.Options.ExtendedToolbar) return {};
    const CommandText* c = findCommand(command);
    return c && c->Tooltip ? c->Tooltip : "";
}

std::string YYEditorViewItemText(INTEGER n, std::string_view path)
{
    char prefix[8] = {};
    if (n <= 9) std::snprintf(prefix, sizeof prefix, "&%1d\t", static_cast<int>(n));
    else std::snprintf(prefix, sizeof prefix, "&%c\t", static_cast<char>(n + 55));
    return std::string(prefix) + (path.empty() ? std::string("Untitled") : std::string(path));
}

AcceleratorHandle YYEditorBuildAccelerators(const EditorWindowRecord& record)
{
    const EditorOptionWords& o = record.Options;
    std::vector<ACCEL> keys;
    auto key = [&](BYTE modifiers, WORD vk, INTEGER id) {
        keys.push_back(ACCEL{static_cast<BYTE>(FVIRTKEY | modifiers), vk, static_cast<WORD>(id)});
    };
    if (o.NewOffered) key(FCONTROL, 'N', kCmdNew);
    if (o.OpenOffered) key(FCONTROL, 'O', kCmdOpen);
    if (o.SaveOffered) key(FCONTROL, 'S', kCmdSave);
    if (o.SaveAsOffered) key(0, VK_F12, kCmdSaveAs);
    if (o.PrintOffered) {
        key(FCONTROL, 'P', kCmdPrint);
        key(FCONTROL | FSHIFT, 'P', kCmdPrintSelection);
    }
    key(FCONTROL, 'F', kCmdFind);
    key(0, VK_F3, kCmdFindNext);
    key(FSHIFT, VK_F2, kCmdSetBookmark);
    key(0, VK_F2, kCmdGotoBookmark);
    if (!o.ReadOnly) key(FCONTROL, 'H', kCmdReplace);
    if (formatting(record)) {
        key(FCONTROL, 'B', kCmdBold);
        key(FCONTROL, 'I', kCmdItalic);
        if (!o.ExtendedToolbar) key(FCONTROL, 'U', kCmdUnderline);
        const BYTE align = o.ExtendedToolbar ? FCONTROL | FSHIFT : FCONTROL;
        key(align, 'L', kCmdAlignLeft);
        key(align, 'E', kCmdAlignCentre);
        key(align, 'R', kCmdAlignRight);
    }
    return AcceleratorHandle(CreateAcceleratorTableA(keys.data(), static_cast<int>(keys.size())));
}

AcceleratorHandle YYEditorBuildPaneAccelerators(const EditorWindowRecord& record)
{
    std::vector<ACCEL> keys;
    auto key = [&](BYTE modifiers, WORD vk, INTEGER id) {
        keys.push_back(ACCEL{static_cast<BYTE>(FVIRTKEY | modifiers), vk, static_cast<WORD>(id)});
    };
    if (!record.Options.ReadOnly) {
        key(FCONTROL, 'Z', kCmdUndo);
        if (YYEditorRichEditLevel() >= 2) key(FCONTROL, 'Y', kCmdRedo);
        key(FCONTROL, 'X', kCmdCut);
        key(FSHIFT, VK_DELETE, kCmdCut);
        key(FCONTROL, 'V', kCmdPaste);
        key(FSHIFT, VK_INSERT, kCmdPaste);
        key(0, VK_DELETE, kCmdDelete);
    }
    key(FCONTROL, 'C', kCmdCopy);
    key(FCONTROL, 'A', kCmdSelectAll);
    return AcceleratorHandle(CreateAcceleratorTableA(keys.data(), static_cast<int>(keys.size())));
}

void YYEditorBuildMenus(EditorWindowRecord& record, INTEGER menuId, INTEGER mode, INTEGER& status)
{
    const EditorOptionWords& o = record.Options;
    const INTEGER level = YYEditorRichEditLevel();
    HMENU file = CreatePopupMenu();
    if (o.NewOffered) append(record, file, kCmdNew);
    if (o.OpenOffered) append(record, file, kCmdOpen);
    if (o.MultiFile && !(o.Raw & kEditorNoClose)) {
        append(record, file, kCmdClose);
        if (o.SaveOffered || o.SaveAsOffered) separator(file);
    }
    if (o.SaveOffered) append(record, file, kCmdSave);
    if (o.SaveAsOffered) append(record, file, kCmdSaveAs);
    if (o.NewOffered || o.OpenOffered || o.SaveOffered || o.SaveAsOffered) separator(file);
    if (o.PrintOffered) {
        append(record, file, kCmdPrint);
        append(record, file, kCmdPrintSelection);
        separator(file);
    }
    append(record, file, kCmdExit);

    HMENU edit = CreatePopupMenu();
    if (!o.ReadOnly) {
        append(record, edit, kCmdUndo);
        if (level >= 2) append(record, edit, kCmdRedo);
        separator(edit);
        append(record, edit, kCmdCut);
    }
    append(record, edit, kCmdCopy);
    if (!o.ReadOnly) {
        append(record, edit, kCmdPaste);
        append(record, edit, kCmdDelete);
    }
    separator(edit);
    append(record, edit, kCmdSelectAll);

    HMENU search = CreatePopupMenu();
    append(record, search, kCmdFind);
    append(record, search, kCmdFindNext);
    if (!o.ReadOnly) append(record, search, kCmdReplace);
    separator(search);
    append(record, search, kCmdSetBookmark);
    append(record, search, kCmdGotoBookmark, MF_STRING | MF_GRAYED);

    HMENU format = nullptr;
    if (formatting(record)) {
        format = CreatePopupMenu();
        append(record, format, kCmdFont);
        append(record, format, kCmdBullets);
        separator(format);
        append(record, format, kCmdAlignLeft);
        append(record, format, kCmdAlignCentre);
        append(record, format, kCmdAlignRight);
    }
    HMENU view = nullptr;
    if (o.MultiFile) {
        view = CreatePopupMenu();
        AppendMenuA(view, MF_STRING | MF_CHECKED, kCmdViewPopup + 1, YYEditorViewItemText(1, record.path()).c_str());
    }

    HMENU bar = nullptr;
    if (menuId != 0 && mode != 1) {
        bar = YYMenuLoad(menuId);
        if (bar) YYMenuAssignPopupIds(bar, menuId);
        else status = kEditorOpenMenuMissing;
    } else if (menuId != 0) {
        status = kEditorOpenMenuWithModal;
    }
    if (!bar) bar = CreateMenu();
    // The editor's popups come first, before the loaded menu's own.
    UINT position = 0;
    auto insert = [&](HMENU popup, INTEGER id, const char* text) {
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_SUBMENU | MIIM_ID | MIIM_STRING;
        item.wID = static_cast<UINT>(id);
        item.hSubMenu = popup;
        item.dwTypeData = const_cast<char*>(text);
        InsertMenuItemA(bar, position++, TRUE, &item);
    };
    insert(file, kCmdFilePopup, "&File");
    insert(edit, kCmdEditPopup, "&Edit");
    insert(search, kCmdSearchPopup, "&Search");
    if (format) insert(format, kCmdFormatPopup, "F&ormat");
    if (view) insert(view, kCmdViewPopup, "&View");
    record.MenuBar = bar;
    record.FilePopup = file;
    record.EditPopup = edit;
    record.SearchPopup = search;
    record.FormatPopup = format;
    record.ViewPopup = view;
}

void YYEditorBuildToolbar(EditorWindowRecord& record, HWND frame)
{
    const EditorOptionWords& o = record.Options;
    HWND toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | CCS_TOP, 0, 0, 0, 0, frame,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorToolbarId)),
                                   GetModuleHandleA(nullptr), nullptr);
    if (!toolbar) return;
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 15));
    SendMessageA(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(22, 21));
    // Image indexes come from what each addition reports, not from counting images by hand.
    TBADDBITMAP standard{HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    const int base = static_cast<int>(SendMessageA(toolbar, TB_ADDBITMAP, 11, reinterpret_cast<LPARAM>(&standard)));
    HINSTANCE module = GetModuleHandleA(nullptr);
    auto hasBitmap = [module](INTEGER id) { return FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2)) != nullptr; };

    std::vector<TBBUTTON> buttons;
    auto button = [&](int image, INTEGER id, BYTE state = TBSTATE_ENABLED) {
        TBBUTTON b{};
        b.iBitmap = image;
        b.idCommand = id;
        b.fsState = state;
        b.fsStyle = BTNS_BUTTON;
        buttons.push_back(b);
    };
    auto gap = [&] {
        TBBUTTON b{};
        b.fsStyle = BTNS_SEP;
        buttons.push_back(b);
    };
    if (o.NewOffered) button(base + STD_FILENEW, kCmdNew);
    if (o.OpenOffered) button(base + STD_FILEOPEN, kCmdOpen);
    if (o.SaveOffered) button(base + STD_FILESAVE, kCmdSave);
    if (o.NewOffered || o.OpenOffered || o.SaveOffered) gap();
    if (o.PrintOffered) {
        button(base + STD_PRINT, kCmdPrint);
        gap();
    }
    button(base + STD_FIND, kCmdFind);
    gap();
    if (!o.ReadOnly) button(base + STD_CUT, kCmdCut, 0);
    button(base + STD_COPY, kCmdCopy, 0);
    if (!o.ReadOnly) {
        button(base + STD_PASTE, kCmdPaste);
        button(base + STD_UNDO, kCmdUndo, 0);
        if (YYEditorRichEditLevel() >= 2) button(base + STD_REDOW, kCmdRedo, 0);
    }
    if (formatting(record) && hasBitmap(kEditorFormatBitmap)) {
        TBADDBITMAP own{module, static_cast<UINT_PTR>(kEditorFormatBitmap)};
        const int first = static_cast<int>(SendMessageA(toolbar, TB_ADDBITMAP, 7, reinterpret_cast<LPARAM>(&own)));
        gap();
        button(first + 0, kCmdBold);
        button(first + 1, kCmdItalic);
        if (!o.ExtendedToolbar) button(first + 2, kCmdUnderline);
        gap();
        button(first + 3, kCmdAlignLeft, TBSTATE_ENABLED | TBSTATE_CHECKED);
        button(first + 4, kCmdAlignCentre);
        button(first + 5, kCmdAlignRight);
        gap();
        button(first + 6, kCmdBullets);
    }
    if (o.ExtendedToolbar && hasBitmap(kEditorInsertBitmap)) {
        TBADDBITMAP own{module, static_cast<UINT_PTR>(kEditorInsertBitmap)};
        const int first = static_cast<int>(SendMessageA(toolbar, TB_ADDBITMAP, 2, reinterpret_cast<LPARAM>(&own)));
        button(first + 0, kCmdInsertPicture);
        button(first + 1, kCmdInsertLink);
    }
    SendMessageA(toolbar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    record.Toolbar = toolbar;
    record.Tooltips = reinterpret_cast<HWND>(SendMessageA(toolbar, TB_GETTOOLTIPS, 0, 0));
}
