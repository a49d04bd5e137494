#include "toolkit/editor/EditorDocuments.h"

#include <algorithm>
#include <cstring>

#include "toolkit/editor/EditorAccess.h"
#include "toolkit/editor/EditorText.h"
#include "toolkit/editor/EditorWindows.h"
#include "toolkit/foundation/ChildWindows.h"
#include "toolkit/foundation/CommonControls.h"
#include "toolkit/foundation/EditorWindowRecord.h"

EditorDocumentTable& editorDocumentTable()
{
    static EditorDocumentTable table;
    return table;
}

namespace {

constexpr int kDocuments = 20, kSlots = 51, kNameLength = 260;

// The entry, or null for numbers outside the table; a table not yet allocated (a program that
// opens editors without the toolkit's start-up) is allocated here.
EditorDocumentRecord* entry(INTEGER slot, INTEGER n)
{
    if (slot < 0 || slot >= kSlots || n < 1 || n > kDocuments) return nullptr;
    EditorDocumentTable& table = editorDocumentTable();
    if (!table.Allocated) YYEditorDocumentsAllocate();
    return &table.at(slot, n);
}

void releaseText(EditorDocumentRecord& e)
{
    if (e.Text) ++editorDocumentTable().BuffersFreed;
    e.Text.reset();
    e.TextSet = kFalse;
}

void releaseName(EditorDocumentRecord& e)
{
    if (e.Name) ++editorDocumentTable().BuffersFreed;
    e.Name.reset();
    e.NameSet = kFalse;
}

}  // namespace

void YYEditorDocumentsAllocate()
{
    EditorDocumentTable& table = editorDocumentTable();
    table.Entries.clear();
    table.Entries.resize(kSlots * kDocuments);
    table.Allocated = true;
}

void YYEditorDocumentsRelease()
{
    EditorDocumentTable& table = editorDocumentTable();
    if (!table.Allocated) return;
    for (int slot = 1; slot < kSlots; ++slot)
        for (int n = 1; n <= kDocuments; ++n) {
            EditorDocumentRecord& e = table.at(slot, n);
            releaseText(e);
            releaseName(e);
        }
    table.Entries.clear();
    table.Entries.shrink_to_fit();
    table.Allocated = false;
}

void YYEditorDocumentsReleaseWindow(INTEGER slot)
{
    EditorDocumentTable& table = editorDocumentTable();
    if (!table.Allocated || slot < 0 || slot >= kSlots) return;
    for (int n = 1; n <= kDocuments; ++n) {
        EditorDocumentRecord& e = table.at(slot, n);
        releaseText(e);
        releaseName(e);
        e = EditorDocumentRecord{};
    }
}

void YYEditorFileListGetName(INTEGER slot, INTEGER n, char* name, INTEGER length)
{
    if (!name || length <= 0) return;
    EditorDocumentRecord* e = entry(slot, n);
    std::string kept;
    if (e && e->Name) kept.assign(e->Name->data(), strnlen(e->Name->data(), kNameLength));
    while (!kept.empty() && kept.back() == ' ') kept.pop_back();
    const std::size_t n1 = std::min<std::size_t>(kept.size(), static_cast<std::size_t>(length - 1));
    std::memcpy(name, kept.data(), n1);
    name[n1] = '\0';
    std::fill(name + n1 + 1, name + length, ' ');
}

void YYEditorFileListPutName(INTEGER slot, INTEGER n, const char* name, INTEGER count)
{
    EditorDocumentRecord* e = entry(slot, n);
    if (!e) return;
    if (!e->Name) {
        e->Name = std::make_unique<std::array<char, kNameLength>>();
        e->Name->fill('\0');
        ++editorDocumentTable().BuffersMade;
    }
    e->NameSet = kTrue;
    if (count <= 0 || !name) return;
    std::memcpy(e->Name->data(), name, static_cast<std::size_t>(std::min(count, kNameLength)));
}

void YYEditorFileListSelect(INTEGER slot, INTEGER current, INTEGER next)
{
    if (current == next) return;
    YYEditorDocStore(slot, current);
    YYEditorDocAttach(slot, next);
}

void YYEditorFileListGetField(INTEGER slot, INTEGER n, INTEGER& value)
{
    if (EditorDocumentRecord* e = entry(slot, n)) value = e->Saved;
}

void YYEditorDocStore(INTEGER slot, INTEGER n)
{
    EditorDocumentRecord* e = entry(slot, n);
    EditorWindowRecord* record = YYEditorOfWindow(slot);
    if (!e || !record) return;
    releaseText(*e);
    std::string text = YYEditorStreamOutAll(*record);
    e->TextLength = static_cast<INTEGER>(text.size());
    e->Text = std::make_unique<std::string>(std::move(text));
    ++editorDocumentTable().BuffersMade;
    e->TextSet = kTrue;
    e->DisplayLength = YYEditorInfoOf(*record, 2);
    e->SelectionStart = YYEditorInfoOf(*record, 4);
    e->SelectionEnd = YYEditorInfoOf(*record, 5);
    e->Saved = YYEditorInfoOf(*record, 1);
    e->Changed = YYEditorInfoOf(*record, 3);
    e->FirstVisibleLine = YYEditorInfoOf(*record, 9);
}

void YYEditorDocAttach(INTEGER slot, INTEGER n)
{
    EditorDocumentRecord* e = entry(slot, n);
    HWND frame = nullptr;
    EditorWindowRecord* record = YYEditorOfWindow(slot, &frame);
    if (!e || !record) return;
    const std::string empty;
    const std::string& text = e->Text ? *e->Text : empty;
    YYEditorStreamInAll(*record, text.data(), static_cast<INTEGER>(text.size()));
    YYEditorSelectCaller(*record, e->SelectionStart - 1, e->SelectionEnd);
    YYEditorScrollTo(*record, e->FirstVisibleLine);
    YYEditorSetModifiedOf(frame, *record, e->Saved, e->Changed);
    YYEditorClearUndoOf(*record);
    releaseText(*e);
}

void YYEditorDocClose(INTEGER slot, INTEGER n)
{
    EditorDocumentRecord* e = entry(slot, n);
    if (!e) return;
    releaseName(*e);
    releaseText(*e);
    EditorDocumentTable& table = editorDocumentTable();
    for (INTEGER k = n; k < kDocuments; ++k) table.at(slot, k) = std::move(table.at(slot, k + 1));
    table.at(slot, kDocuments) = EditorDocumentRecord{};
}

void YYEditorColourHook(INTEGER&, INTEGER&, INTEGER&, INTEGER&, INTEGER* starts, INTEGER* ends, INTEGER* colours,
                        INTEGER& runCount, const char*, INTEGER&)
{
    if (starts) starts[0] = 0;
    if (ends) ends[0] = 0;
    if (colours) colours[0] = 0;
    runCount = 0;
}

void YYEditorDocumentHooksInstall()
{
    ChildWindowHooks& hooks = childWindowHooks();
    hooks.editorFileListGetField = [](INTEGER window, INTEGER n, INTEGER& value) { YYEditorFileListGetField(window, n, value); };
    hooks.editorFileListSelect = [](INTEGER window, INTEGER& current, INTEGER n) { YYEditorFileListSelect(window, current, n); };
    hooks.editorFileListPutName = [](INTEGER window, INTEGER n, const char* name, INTEGER length) {
        YYEditorFileListPutName(window, n, name, length);
    };
    hooks.editorFileListGetName = [](INTEGER window, INTEGER n, char* name, INTEGER length) {
        YYEditorFileListGetName(window, n, name, length);
    };
}
