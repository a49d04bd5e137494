// Find, replace and paste in an editor window.
#pragma once

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EditorWindowRecord.h"

// Toolkit-internal

// 1 found and selected, 0 at the end of the text ("End of text reached").
INTEGER YYEditorFindNext(HWND window, EditorWindowRecord& record, FINDREPLACEA& find);
// Replaces the selection when it is the find text, then finds the next occurrence.
INTEGER YYEditorReplace(HWND window, EditorWindowRecord& record, FINDREPLACEA& find);
// The control's own paste in a rich-text window; plain text only, as one undo step, otherwise.
void YYEditorPaste(EditorWindowRecord& record);
