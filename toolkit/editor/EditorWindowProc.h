// The editor window's procedure: commands, notices of the control, menus opening, help texts and
// tooltips, the key filter, the context menu, find and replace messages, layout and closing.
#pragma once

#include <string>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EditorWindowRecord.h"

LRESULT CALLBACK YYEditorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Toolkit-internal

// Makes open file n current (one document per window: only the View check and the title move).
// Shows open document n of a multi-document editor (stored and brought back through the document
// list); in a one-document editor only the View check and the title move.
void YYEditorSwitchFile(HWND window, INTEGER n);
// Opens a further file in a multi-document editor: an open one (same path, case ignored) is
// shown, a new one appended and loaded. status 12 when 20 documents are open already.
void YYEditorOpenDocument(HWND window, EditorWindowRecord& record, const std::string& path, INTEGER filterIndex,
                          INTEGER& status);
// Whether a multi-document editor holds only one untitled, empty, unmodified document.
bool YYEditorReusable(EditorWindowRecord& record);
UINT_PTR CALLBACK YYEditorDialogFocusProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Where the context menu opens, in screen coordinates: the mouse position of the message (signed:
// a screen left of or above the primary one has negative coordinates), or, from the keyboard
// (-1, -1), below the caret by one character cell.
POINT YYEditorContextMenuPoint(const EditorWindowRecord& record, LPARAM position);
// Lays out status bar, toolbars, input field and control in the frame's client area.
void YYEditorLayout(HWND window, EditorWindowRecord& record);
