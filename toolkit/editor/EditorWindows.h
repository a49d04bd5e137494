// Editor windows: turning the current toolkit window into a rich-text or plain-text editor, its
// fonts, the table that owns every editor record, and the public opener.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EditorWindowRecord.h"
#include "toolkit/foundation/WinApi.h"

enum EditorOptionCode : INTEGER {
    kEditorWrap = 0x1, kEditorReadOnly = 0x4, kEditorInputField = 0x8, kEditorInputCombo = 0x10,
    kEditorNoToolbar = 0x20, kEditorRichText = 0x40, kEditorModifiedMarker = 0x80, kEditorNoNewOpen = 0x100,
    kEditorNoSaveAs = 0x200, kEditorNoPrint = 0x400, kEditorNoSave = 0x2000, kEditorMultiFile = 0x4000,
    kEditorNoClose = 0x8000, kEditorControlPositions = 0x10000, kEditorBackupCopy = 0x20000,
    kEditorNoFileName = 0x400000, kEditorNoMenuBar = 0x800000, kEditorQuietInitialLoad = 0x1000000,
    kEditorPrintByApplication = 0x4000000, kEditorExtendedToolbar = 0x8000000,
};

enum EditorOpenStatusCode : INTEGER {
    kEditorOpenMainWindow = 1, kEditorOpenMenuWithModal = 2, kEditorOpenMenuMissing = 3, kEditorOpenNoMenuBar = 4,
    kEditorOpenModeChanged = 5, kEditorOpenNoRecord = 6, kEditorOpenNoFieldModal = 7, kEditorOpenOtherRecord = 8,
    kEditorOpenClientOccupied = 11, kEditorOpenTooManyFiles = 12,
};

enum EditorFontKind : INTEGER {
    kEditorFontSystemFixed = 1, kEditorFontTimes = 2, kEditorFontArial = 3, kEditorFontCourier = 4,
    kEditorFontLucida10 = 7, kEditorFontLucida11 = 8, kEditorFontLucida13 = 9, kEditorFontLucida14 = 10,
};

// Every live editor record, owned here and found by its frame: the window engine clears a frame's
// user-data word before it destroys the frame, so the record cannot hang on that word alone.
struct EditorWindowTable {
    std::vector<std::unique_ptr<EditorWindowRecord>> Records;
    std::vector<HWND> Frames;
    INTEGER LiveRecords() const { return static_cast<INTEGER>(Records.size()); }
};
EditorWindowTable& editorWindowTable();

// What a modal editor (mode 1) leaves behind when it closes, for the information routines.
struct EditorLastClosed {
    INTEGER Saved = 0, TextLength = 0, Changed = 0, SelectionStart = 0, SelectionEnd = 0, CurrentFile = 0,
            FileCount = 0, FirstVisibleLine = 0, FontKind = 0, PointSize = 0;
    std::string FindText, ReplaceText, Path;
};
EditorLastClosed& editorLastClosed();

// Seams the tests set: the rich-edit level the editor assumes (0 = the toolkit's probe), the
// control's class, and the writer of a saved file's bytes (default: WriteFile), so that a failing disk can be shown.
struct EditorHooks {
    INTEGER RichEditLevel = 0;
    const char* RichEditClass = nullptr;  // the control's class in place of the level's own
    BOOL (*writeFile)(HANDLE file, const void* bytes, DWORD count, DWORD* written) =
        [](HANDLE file, const void* bytes, DWORD count, DWORD* written) {
            return WriteFile(file, bytes, count, written, nullptr);
        };
};
EditorHooks& editorHooks();

// Opens an editor in the current toolkit window, or a further file in the editor it already is.
// status: 0, or the EditorOpenStatusCode of the last condition met (several are warnings: the
// editor is still made), reported to the error reporter under "WEditorOpen" as
//   1 -> 1022, 2 -> 1026, 3 -> 1027, 4 -> 1025, 5 -> 1024, 6 -> 1027, 7 -> 1033, 8 -> 1038,
//   11 -> 1057, 12 -> 1068.
// mode: 1 modal (returns after the window closed), 2 modeless, 3 semi-modeless; a child window
// inside another runs modeless and mode comes back 2. The filter list is description and pattern
// texts each followed by the same separator ("Text|*.txt|"), empty for the built-in lists.
void WEditorOpen(INTEGER& status, INTEGER& mode, INTEGER menuId, INTEGER options, INTEGER fontKind, INTEGER pointSize,
                 INTEGER filterIndex, INTEGER splitWindow, std::string_view fileName, std::string_view filterList);

// Toolkit-internal

// The workers below take the record by reference; every routine finds a window's record with this.
EditorWindowRecord* YYEditorRecord(HWND frame);
// The rich-edit level the editor works with (1, 2 or 3).
INTEGER YYEditorRichEditLevel();
void YYEditorOpenWindow(INTEGER& status, INTEGER& mode, INTEGER menuId, INTEGER options, INTEGER fontKind,
                        INTEGER pointSize, INTEGER filterIndex, INTEGER splitWindow, const char* fileName,
                        const char* filterList);
void YYEditorCreateFonts(EditorWindowRecord& record, INTEGER fontKind, INTEGER pointSize);
// status 0 done, 1 the current window is no editor; -1 keeps the current kind or size.
void YYEditorSetFont(INTEGER fontKind, INTEGER pointSize, INTEGER& status);
// The filter list of the open and save dialogs from a separator-ended list: at most 1000
// characters, cut after the last complete description and pattern pair, ending in two NULs.
std::string YYEditorFilterList(std::string_view list);
// Releases the record of a frame (called from its last message, and by the window engine).
void YYEditorRecordRelease(HWND frame);
// Installs the editor's routines in the window engine's hooks.
void YYEditorHooksInstall();
