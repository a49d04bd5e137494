// The grid editor: a child window turned into a small spreadsheet program for a copy of one grid
// field of the current dialog, with menus, toolbar, read-outs in the status bar, shortcuts, its
// commands (GridEditorCommands.h), a modal loop and the close question.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

// Creation flags; a set bit changes the default.
enum GridEditorOptionFlags : INTEGER {
    kGridEditNoToolbar = 0x20, kGridEditNoNewOpen = 0x100, kGridEditNoSaveAs = 0x200, kGridEditNoPrint = 0x400,
    kGridEditRowLabelsMove = 0x800, kGridEditNoFind = 0x1000, kGridEditNoSave = 0x2000, kGridEditBackup = 0x20000,
    kGridEditNoHtml = 0x40000, kGridEditIgnoreProtection = 0x80000, kGridEditRowCountChanges = 0x100000,
    kGridEditNoRowCommands = 0x200000, kGridEditNoMenu = 0x800000, kGridEditLabelLine = 0x2000000,
};

// Menu, toolbar and accelerator command identifiers.
enum GridEditorCommandCode : INTEGER {
    kGridCmdFile = 32100, kGridCmdNew = 32101, kGridCmdOpen = 32102, kGridCmdSave = 32103, kGridCmdSaveAs = 32104,
    kGridCmdPrint = 32105, kGridCmdPrintSelection = 32106, kGridCmdExit = 32107, kGridCmdSaveHtml = 32108,
    kGridCmdSaveSelection = 32109, kGridCmdEdit = 32120, kGridCmdCut = 32122, kGridCmdCopy = 32123,
    kGridCmdPaste = 32124, kGridCmdDelete = 32125, kGridCmdSelectAll = 32126, kGridCmdSort = 32127,
    kGridCmdInsertBefore = 32128, kGridCmdInsertAfter = 32129, kGridCmdDeleteRow = 32130, kGridCmdSearch = 32140,
    kGridCmdFind = 32141, kGridCmdFindNext = 32142, kGridCmdGotoCell = 32144, kGridCmdGotoRow = 32145,
    kGridCmdGotoColumn = 32146,
};

// Indexes of the command switches.
enum GridEditorSwitch : int {
    kSwitchNew, kSwitchReadOnly, kSwitchOpen, kSwitchSave, kSwitchSaveAs, kSwitchHtml, kSwitchPrint, kSwitchFind,
    kSwitchRows, kSwitchIgnoreProtection,
};

inline constexpr std::size_t kGridEditorNameLength = 260;
inline constexpr std::size_t kGridEditorTextLength = 1024;

// One per editor window, attached to the frame as its user data. The first fifteen words keep
// the order the window engine reads them in (kind, bars, grid, toolbar, tooltips, status bar,
// menu bar, three pop-ups, two accelerator tables), so every one of them is pointer-sized.
struct GridEditorRecord {
    std::intptr_t kind = 4;
    std::array<HWND, 4> bars{};  // top, left, right, bottom
    HWND grid = nullptr;
    HWND toolbar = nullptr;
    HWND tooltips = nullptr;
    HWND statusBar = nullptr;
    HMENU menuBar = nullptr;
    std::array<HMENU, 3> menus{};  // File, Edit, Search
    HACCEL builtAccelerators = nullptr;
    HACCEL userAccelerators = nullptr;
    INTEGER mode = 2;
    INTEGER rowLabelOption = 0;
    INTEGER rowCountOption = 0;
    INTEGER labelLineOption = 0;
    std::array<char, kGridEditorNameLength> fileName{};
    std::array<char, kGridEditorTextLength> baseTitle{};
    std::array<char, kGridEditorTextLength> findText{};
    std::array<char, kGridEditorTextLength> secondText{};
    std::array<char, 1001> fileFilter{};
    INTEGER filterIndex = 1;
    INTEGER findMatchCase = 0;
    INTEGER findNumeric = 0;
    INTEGER done = 0;
    std::array<INTEGER, 10> switches{};
    INTEGER backupOption = 0;
    INTEGER lastCell = 0x40001;
    HFONT font = nullptr;  // the frame's font, made at creation and deleted with the record
    bool on(GridEditorSwitch s) const { return switches[static_cast<std::size_t>(s)] != 0; }
    std::string name() const { return fileName.data(); }
};

// The texts an editor window keeps after it closed (window -1 of YYGridWindowTitles).
struct GridEditorClosedTexts {
    std::string findText, secondText, fileName;
};
GridEditorClosedTexts& gridEditorClosedTexts();

// Opens a grid editor in the current window on a copy of the grid field of the current dialog and,
// for a modal editor (mode 1), runs it until the window closes. mode comes back 2 when a window
// inside a parent was asked for another mode. Creation codes become library errors: 1 (main
// window) 1022, 2 (user menu of a modal editor) 1026, 3 (user menu not loaded) 1027, 4 (no menu
// bar possible) 1025, 5 (made modeless) 1024, 6 (no memory) 1027, 8 (window already holds a
// record) 1038, 11 (no such grid) 1057, 12 (the drawing area has child windows) 1068. status
// receives the creation code, 0 on success.
void WGridEditor(INTEGER& status, INTEGER field, INTEGER& mode, INTEGER menuId, INTEGER options, INTEGER filterIndex,
                 INTEGER ownerWindow, std::string_view fileName, std::string_view fileFilter);

// Toolkit-internal

void YYGridEditorCreate(INTEGER& result, INTEGER field, INTEGER& mode, INTEGER menuId, INTEGER options,
                        INTEGER filterIndex, INTEGER ownerWindow, std::string_view fileName, std::string_view fileFilter);
LRESULT CALLBACK YYGridEditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void YYGridEditorLoop();
void YYGridWindowTitle(HWND frame);
void YYGridWindowSize(GridEditorRecord& record);
void YYGridEditorQuerySave(INTEGER window, INTEGER changed, INTEGER& result, INTEGER filterIndex, INTEGER backup,
                           INTEGER labelLine, char* fileName, const char* fileFilter);
// The editor record of a frame, or null.
GridEditorRecord* YYGridEditorRecord(HWND frame);
// The grid of the current window when that window is a grid editor, else null (field 0 of the
// grid routines).
HWND YYGridEditorCurrentGrid();
// Code 1 the last find text, 2 the second text, 3 the file name of window's editor record; window
// -1 the texts kept from the last closed editor. text is blank-padded to length.
void YYGridWindowTitles(INTEGER window, INTEGER code, std::string& text, INTEGER length);
// The packed last cell of the current window's editor (field 0's last cell value), or null.
INTEGER* YYGridEditorLastCell();
// Installs the editor's close question and release with the window engine.
void YYGridEditorHooksInstall();
