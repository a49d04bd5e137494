// An editor control that paints its own text in one font, with runs of colour that a hook
// chooses per line; the view holds its first line when Ctrl and the wheel zoom.
#pragma once

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EditorWindowRecord.h"

// The line painter's colour hook: window number, selection in the line (1-based, -1 none), the
// maximum number of runs, out 1-based inclusive run starts and ends and colours (packed RGB, or -1
// for the selection colours) and their count, the line and its length.
using EditorColourHookFn = void (*)(INTEGER& window, INTEGER& selectionStart, INTEGER& selectionEnd,
                                    INTEGER& maximumRuns, INTEGER* starts, INTEGER* ends, INTEGER* colours,
                                    INTEGER& runCount, const char* line, INTEGER& length);
// The hook the painter calls; the document list's (no runs) unless a program sets another.
EditorColourHookFn& editorColourHook();

// Toolkit-internal

// The client position of a character's top-left corner.
void YYEditorPosFromChar(HWND control, INTEGER position, POINT& at);
// Paints one run of a line: TAB-free pieces at the control's positions, selected TAB gaps filled.
void YYEditorPaintRun(EditorWindowRecord& record, HDC dc, const char* text, INTEGER first, INTEGER length);
LRESULT CALLBACK YYEditorPaintProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
