// The one-line input field under an editor's text (an edit control, or a drop-down combo box that
// keeps the last 100 lines entered), its label, and the routines that set and read them. Enter in
// the field raises event 14 for the editor window.
#pragma once

#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EditorWindowRecord.h"

inline constexpr INTEGER kEditorHistoryLength = 100;

// Status: 0 done, 1 the current window is no editor, 2 no input field (or no list, or cut).
void WEditorFieldSetFitted(INTEGER& status, std::string_view label, INTEGER length);
void WEditorFieldSetText(INTEGER& status, std::string_view text, INTEGER caret);
// 0 the field has a list, 2 no field or one without a list, 1 no editor.
void WEditorFieldKind(INTEGER& status);
void WEditorFieldClearList(INTEGER& status);
void WEditorFieldAddItem(INTEGER index, std::string_view text);
// At most capacity - 1 characters and a NUL; status 0, 2 when cut, 3 no input field, 1 no editor.
void WEditorFieldGetText(INTEGER& status, char* buffer, INTEGER capacity);
// List item index, at most capacity - 1 characters and a NUL; status 0, 2 cut or no such item,
// 1 no editor.
void WEditorFieldGetItem(INTEGER index, char* buffer, INTEGER capacity, INTEGER& status);

// Toolkit-internal

// Makes the field, its label and the label's text for an editor window being created.
void YYEditorCreateInputField(HWND frame, EditorWindowRecord& record, bool combo);
LRESULT CALLBACK YYEditorToolbarFieldProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
