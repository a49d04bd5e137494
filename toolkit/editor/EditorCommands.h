// The editor's command vocabulary and the surfaces that issue it: menus, accelerator tables and
// the editor toolbar, shaped by the creation options; the menu help texts and tooltips.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EditorWindowRecord.h"

enum EditorCommandCode : INTEGER {
    kCmdFilePopup = 32100, kCmdNew = 32101, kCmdOpen = 32102, kCmdSave = 32103, kCmdSaveAs = 32104,
    kCmdPrint = 32105, kCmdPrintSelection = 32106, kCmdClose = 32107, kCmdExit = 32108,
    kCmdEditPopup = 32120, kCmdUndo = 32121, kCmdCut = 32122, kCmdCopy = 32123, kCmdPaste = 32124,
    kCmdDelete = 32125, kCmdSelectAll = 32126, kCmdRedo = 32127,
    kCmdSearchPopup = 32140, kCmdFind = 32141, kCmdFindNext = 32142, kCmdReplace = 32143,
    kCmdSetBookmark = 32147, kCmdGotoBookmark = 32148,
    kCmdFormatPopup = 32160, kCmdFont = 32161, kCmdBullets = 32162, kCmdAlignLeft = 32163, kCmdAlignCentre = 32164,
    kCmdAlignRight = 32165, kCmdBold = 32166, kCmdItalic = 32167, kCmdUnderline = 32168,
    kCmdViewPopup = 32180, kCmdInsertPicture = 40019, kCmdInsertLink = 40020,
};

inline constexpr INTEGER kEditorToolbarId = 1001;
inline constexpr INTEGER kEditorControlId = 1002;
inline constexpr INTEGER kEditorFieldId = 1004;
inline constexpr INTEGER kEditorLabelId = 1005;
inline constexpr INTEGER kEditorFormatBitmap = 32101;   // bold, italic, underline, left, centre, right, bullets
inline constexpr INTEGER kEditorInsertBitmap = 2001;    // picture, link

// Toolkit-internal

// The help text shown while a menu item is highlighted; empty when the table has none.
std::string YYEditorCommandHelp(const EditorWindowRecord& record, INTEGER command);
// The tooltip of an editor toolbar button; empty when it has none.
std::string YYEditorCommandTooltip(const EditorWindowRecord& record, INTEGER command);
// "&n\t" (n up to 9) or "&A\t" ... followed by the path, or "Untitled" for an untitled file.
std::string YYEditorViewItemText(INTEGER n, std::string_view path);
// The window accelerator table, and the pane table of an editor that is a pane of a split window.
AcceleratorHandle YYEditorBuildAccelerators(const EditorWindowRecord& record);
AcceleratorHandle YYEditorBuildPaneAccelerators(const EditorWindowRecord& record);
// File, Edit, Search, Format and View popups and the menu bar (with a loaded menu's own popups
// after them); status 2 or 3 as the creation routine reports them.
void YYEditorBuildMenus(EditorWindowRecord& record, INTEGER menuId, INTEGER mode, INTEGER& status);
// The editor toolbar (child 1001) with its buttons and tooltip control.
void YYEditorBuildToolbar(EditorWindowRecord& record, HWND frame);
