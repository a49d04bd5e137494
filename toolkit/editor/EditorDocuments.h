// The text editor's document table: for windows 0 to 50 by documents 1 to 20, each document's
// file name and, while it is in the background, its whole text and editing state. A multi-document
// editor shows one document in its control and keeps the others here.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"

struct EditorDocumentRecord {
    INTEGER TextLength = 0;       // bytes of the stored text (RTF in a rich-text window)
    INTEGER DisplayLength = 0;    // the text length as the information code 2 gives it
    INTEGER SelectionStart = 0;   // 1-based caller position
    INTEGER SelectionEnd = 0;     // caller position
    INTEGER Saved = 0;            // 1 no unsaved changes
    INTEGER Changed = 0;
    INTEGER FirstVisibleLine = 0;
    LOGICAL NameSet = kFalse;
    LOGICAL TextSet = kFalse;
    std::unique_ptr<std::array<char, 260>> Name;  // NUL-terminated path; empty = untitled
    std::unique_ptr<std::string> Text;            // exactly TextLength bytes
};

struct EditorDocumentTable {
    bool Allocated = false;
    std::vector<EditorDocumentRecord> Entries;  // (window, document) at window x 20 + document - 1
    // Buffers made and freed over the run: what shut-down must bring back to equal.
    INTEGER BuffersMade = 0, BuffersFreed = 0;

    EditorDocumentRecord& at(int window, int document) { return Entries[static_cast<std::size_t>(window * 20 + document - 1)]; }
};

EditorDocumentTable& editorDocumentTable();

// Toolkit-internal

// Allocates the table (51 x 20) with no buffers.
void YYEditorDocumentsAllocate();
// Frees the buffers of windows 1 to 50 and then the table.
void YYEditorDocumentsRelease();

// Frees every entry of a window slot whose editor goes, so that a later editor there starts empty.
void YYEditorDocumentsReleaseWindow(INTEGER slot);

// The routines below take a window slot and a document number 1 to 20; out-of-range numbers do nothing.
// name := the entry's name, cut at its NUL, then NUL and blanks to the buffer's end.
void YYEditorFileListGetName(INTEGER slot, INTEGER n, char* name, INTEGER length);
// Copies count characters of name (at most 260) into the entry's name buffer, made on first use.
void YYEditorFileListPutName(INTEGER slot, INTEGER n, const char* name, INTEGER count);
// Stores the shown document as entry current and shows entry next; the caller sets the number.
void YYEditorFileListSelect(INTEGER slot, INTEGER current, INTEGER next);
// value := the entry's saved flag.
void YYEditorFileListGetField(INTEGER slot, INTEGER n, INTEGER& value);
void YYEditorDocStore(INTEGER slot, INTEGER n);
void YYEditorDocAttach(INTEGER slot, INTEGER n);
void YYEditorDocClose(INTEGER slot, INTEGER n);
// The line painter's colour hook: no runs, every line in the normal colours.
void YYEditorColourHook(INTEGER& window, INTEGER& selectionStart, INTEGER& selectionEnd, INTEGER& maximumRuns,
                        INTEGER* starts, INTEGER* ends, INTEGER* colours, INTEGER& runCount, const char* line,
                        INTEGER& length);
// Installs the document-list routines in the window engine's close query.
void YYEditorDocumentHooksInstall();
