#include "toolkit/editor/EditorDocuments.h"

EditorDocumentTable& editorDocumentTable()
{
    static EditorDocumentTable table;
    return table;
}

void YYEditorDocumentsAllocate()
{
    EditorDocumentTable& table = editorDocumentTable();
    table.Entries.clear();
    table.Entries.resize(51 * 20);
    table.Allocated = true;
}

void YYEditorDocumentsRelease()
{
    EditorDocumentTable& table = editorDocumentTable();
    for (EditorDocumentRecord& entry : table.Entries) entry = EditorDocumentRecord{};
}
