// Text lengths and line-end counts of an editor's rich-edit control.
#pragma once

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EditorWindowRecord.h"

// Toolkit-internal

// The control's window-text length (a line end counts two), taken without the view moving.
INTEGER YYEditorWindowTextLength(EditorWindowRecord& record, bool redrawSuspended);
// The carriage returns among control positions 0 to position - 1.
INTEGER YYEditorCountReturns(EditorWindowRecord& record, INTEGER position);
// The text length in control positions (a line end counts one on level 2 and later): characters,
// never display rows, so that a wrapped paragraph counts as what it holds.
INTEGER YYEditorControlLength(const EditorWindowRecord& record);
