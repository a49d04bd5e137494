// Printing an editor's text, its selection or a range on the default Windows printer, page by
// page, with the page set-up (printer, paper, orientation, margins) of two entries: entry 1 for
// the editor's own Print commands, which show the page set-up dialog, entry 0 for programs.
#pragma once

#include <string>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EditorWindowRecord.h"
#include "toolkit/foundation/Handles.h"

#include <commdlg.h>

struct EditorPageSetupEntry {
    PAGESETUPDLGA Record{};
    GlobalMemoryHandle DeviceMode, DeviceNames;
};
struct EditorPageSetupTable {
    std::array<EditorPageSetupEntry, 2> Entries;
    bool Initialised = false;
};
EditorPageSetupTable& editorPageSetupTable();

// Margins in points, entry 0 or 1: item 1 the text width (paper width less both side margins),
// 2 the text height, 3 the left margin, 4 the top margin, 5 the orientation (0 portrait, 1
// landscape). Setting items 1 and 2 moves the right and bottom margins; item 5 takes 0 to 3
// (2 and 3 also turn the text area with the paper).
void WPageSetupGetMargins(INTEGER item, INTEGER& value, INTEGER entry);
void WPageSetupSetMargins(INTEGER item, INTEGER value, INTEGER entry);

// Toolkit-internal

void YYEditorPageSetupInit();
// units: -1 by the locale, 0 or 1 thousandths of an inch, 2 or more hundredths of a millimetre.
void YYEditorPageSetupDialog(INTEGER units, INTEGER entry, INTEGER& result);
// 1 when the document went to the printer. rangeFlag 0 the whole text; 1 with entry 1 the
// selection, with entry 0 control positions start to end.
INTEGER YYEditorPrint(HWND window, EditorWindowRecord& record, INTEGER rangeFlag, INTEGER entry, INTEGER start,
                      INTEGER end, const std::string& title);
// Units per inch of an entry (1000 or 2540), and a length converted exactly between the two.
INTEGER YYEditorPageUnits(const EditorPageSetupEntry& entry);
INTEGER YYEditorConvertUnits(INTEGER value, INTEGER fromUnits, INTEGER toUnits);
// The text rectangle in twentieths of a point, from the paper, margins and the printer's
// unprintable edges in the entry's units: margins below the edges count as the edges.
RECT YYEditorTextRectangle(const PAGESETUPDLGA& record, INTEGER units);

// What a printer page takes: the first character not printed, from the control's own renderer
// or, where it renders nothing, from the plain-text renderer; and the printer's own calls around
// the pages. Tests replace them.
struct EditorPrintHooks {
    // Renders the range [first, last) onto the page; returns the first character not printed.
    INTEGER (*renderPage)(EditorWindowRecord& record, HDC printer, const RECT& twips, INTEGER first, INTEGER last) = nullptr;
    // Makes the printer's device context from the entry's printer blocks.
    MemoryDcHandle (*createContext)(const EditorPageSetupEntry& entry) = nullptr;
    // The job's page and document ends (StartPage, EndPage, EndDoc and their answers).
    int (*startPage)(HDC printer) = nullptr;
    int (*endPage)(HDC printer) = nullptr;
    int (*endDoc)(HDC printer) = nullptr;
};
EditorPrintHooks& editorPrintHooks();
// The plain-text renderer: the range in the editor font at the printer's resolution, wrapped to
// the text rectangle; returns the first character not printed.
INTEGER YYEditorRenderPlainPage(EditorWindowRecord& record, HDC printer, const RECT& twips, INTEGER first, INTEGER last);
