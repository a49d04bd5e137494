// Editor files: loading RTF and plain text into the control, saving through a file that replaces
// the old one in one step, the save question, and the file held against writers while shown.
#pragma once

#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EditorWindowRecord.h"

// Toolkit-internal

// 1 loaded, 0 failed. A failure after the file was opened leaves the control empty and the
// document untitled, so that no Save can write a partial text over the file.
INTEGER YYEditorLoadFile(HWND window, INTEGER creationFlag);
DWORD CALLBACK YYEditorStreamInRead(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* read);
// 1 written, 0 cancelled or failed (reported). The old file stays whole until the new text is
// completely written.
INTEGER YYEditorSaveFile(HWND window, INTEGER ask);
DWORD CALLBACK YYEditorStreamOutWrite(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* written);
// 1 go on, 0 the user cancelled.
INTEGER YYEditorQuerySave(HWND window, EditorWindowRecord& record);
void YYEditorCloseFileHandle(HWND window);
// Whether a path names an RTF file for this record (rich text and ".rtf" in any case).
bool YYEditorIsRtfPath(const EditorWindowRecord& record, std::string_view path);
// Opens the current file for reading, denying other writers, and holds it.
bool YYEditorHoldFile(EditorWindowRecord& record);
// The open and save dialogs' filter list: the record's own or the built-in one.
std::string YYEditorDialogFilter(const EditorWindowRecord& record);
