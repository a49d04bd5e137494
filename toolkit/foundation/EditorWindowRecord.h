// The record of a frame that holds a text editor (kind 1). The editor (toolkit/editor) makes and
// owns the records; the window engine reads the fields it routes by (status bar, menu, find
// dialog, accelerator tables, current file) through YYTextEditorRecord, never through words of
// another record type.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/foundation/CommonControls.h"
#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/Handles.h"

#include <commdlg.h>

inline constexpr int kEditorMaxFiles = 20;
inline constexpr int kEditorPathLength = 260;
inline constexpr int kEditorFindLength = 1024;
inline constexpr INTEGER kEditorTextLimit = 100 * 1048576 - 100;

// Option words of the record, one per derived creation option.
struct EditorOptionWords {
    bool NewOffered = false, ReadOnly = false, OpenOffered = false, SaveOffered = false, SaveAsOffered = false,
         PrintOffered = false, RichText = false, MultiFile = false, NoFileName = false, QuietInitialLoad = false,
         PrintByApplication = false, ExtendedToolbar = false, CustomPainting = false, RedrawSuspended = false,
         ControlPositions = false, BackupCopy = false, ModifiedMarker = false;
    INTEGER Raw = 0;  // the creation options as given
};

struct EditorWindowRecord {
    // The kind stays first: every frame record starts with its kind, which the engine reads first.
    std::intptr_t Kind = 1;
    std::array<HWND, 4> WindowToolbars{};  // top, left, right, bottom; empty for a modal editor
    HWND RichEdit = nullptr;
    HWND Toolbar = nullptr;
    HWND Tooltips = nullptr;
    HWND StatusBar = nullptr;
    HWND InputField = nullptr, InputEdit = nullptr;
    HWND LabelFrame = nullptr, LabelText = nullptr;
    HWND FindDialog = nullptr;
    HWND FocusControl = nullptr;
    HMENU MenuBar = nullptr, FilePopup = nullptr, EditPopup = nullptr, SearchPopup = nullptr, FormatPopup = nullptr,
          ViewPopup = nullptr;
    AcceleratorHandle Accelerators, ResourceAccelerators, PaneAccelerators;
    INTEGER Mode = 2;
    INTEGER TextLimit = kEditorTextLimit;
    INTEGER FieldHeight = 0, LabelOffset = 0;
    INTEGER Changed = 0;
    INTEGER Protection = 1;
    std::array<INTEGER, kEditorMaxFiles> FilterIndex{};
    INTEGER CurrentFile = 1, FileCount = 1;
    std::array<char, kEditorPathLength + 1> Path{};  // NUL-terminated; empty = untitled
    std::string SavedTitle;                           // the window title at creation
    std::array<char, kEditorFindLength> FindText{};
    std::array<char, kEditorFindLength> ReplaceText{};
    std::string FilterList;  // NUL-separated pairs ending in two NULs; empty = the built-in lists
    FINDREPLACEA FindBlock{};
    INTEGER ModalEnd = 0;
    INTEGER InsertMode = 1;
    EditorOptionWords Options;
    HFONT Font = nullptr;       // the font in use (a stock font or OwnedFont)
    GdiObjectHandle OwnedFont;  // the created font, empty for a stock one
    INTEGER FontKind = 0, PointSize = 0, CellHeight = 0, CellAscent = 0;
    std::array<FileHandle, kEditorMaxFiles> HeldFiles;
    std::array<INTEGER, 2> PositionCache{-1, -1};
    std::array<INTEGER, kEditorMaxFiles> Bookmarks{};
    std::array<INTEGER, kEditorMaxFiles> BookmarkLengths{};
    // Window number the editor runs in, and the window that was current when it opened.
    INTEGER Window = -1, ReturnWindow = -1;

    std::string_view path() const { return Path.data(); }
    void setPath(std::string_view path)
    {
        Path.fill('\0');
        path.copy(Path.data(), std::min<std::size_t>(path.size(), kEditorPathLength));
    }
};

// Toolkit-internal

// The text-editor record a frame carries, or null when it carries none or one of another kind.
EditorWindowRecord* YYTextEditorRecord(HWND frame);
