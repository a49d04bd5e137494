// Character and paragraph formatting of a rich-text editor: the font dialog, bold, italic and
// underline, bullets and alignment, the buttons and checks that follow the caret, and the reset
// of text and formats that New and a failed load use.
#pragma once

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EditorWindowRecord.h"

// Toolkit-internal

void YYEditorFontDialog(HWND window, EditorWindowRecord& record);
UINT_PTR CALLBACK YYEditorFontHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void YYEditorToggleBullet(EditorWindowRecord& record);
void YYEditorToggleStyle(EditorWindowRecord& record, INTEGER command);
void YYEditorAlign(EditorWindowRecord& record, INTEGER command);
void YYEditorSyncFormatChecks(EditorWindowRecord& record);
void YYEditorResetFormat(EditorWindowRecord& record);
// Whether the selection is editable: its protected attribute is uniform and not set.
bool YYEditorSelectionEditable(const EditorWindowRecord& record);
