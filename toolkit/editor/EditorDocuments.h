// The text editor's document table: windows 0 to 50 by documents 1 to 20, each entry with its two
// text buffers and its state words.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"

struct EditorDocumentRecord {
    std::unique_ptr<std::string> TextBuffer;   // none until the editor loads a document
    std::unique_ptr<std::string> UndoBuffer;
    std::array<INTEGER, 8> StateWords{};
};

struct EditorDocumentTable {
    bool Allocated = false;
    std::vector<EditorDocumentRecord> Entries;  // (window, document) at window x 20 + document - 1

    EditorDocumentRecord& at(int window, int document) { return Entries[static_cast<std::size_t>(window * 20 + document - 1)]; }
};

EditorDocumentTable& editorDocumentTable();

// Toolkit-internal

// Allocates the table (51 x 20) with no buffers.
void YYEditorDocumentsAllocate();
// Frees the buffers of windows 1 to 50 and clears every entry; the table stays allocated.
void YYEditorDocumentsRelease();
