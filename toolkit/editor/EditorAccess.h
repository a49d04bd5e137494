// The routines through which a program drives an open editor window: its whole text and ranges of
// it in caller positions (a line end counts two), selection, caret and scrolling, the modified and
// changed flags, undo, character and paragraph formats, redrawing, information and printing.
// Every routine acts on the toolkit's current window unless it takes a window number.
// Status values: 0 done; 1 the current window is no editor; 2 a text was cut or there is no such
// document; -1 no editor and -2 no rich text (format routines).
#pragma once

#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EditorWindowRecord.h"

void WEditorSetAllText(INTEGER& status, std::string_view text);
// start: in the first caller position, out the status (0, -1 no editor). One undo step.
void WEditorReplaceRange(INTEGER& start, INTEGER end, std::string_view text);
// At most capacity - 1 characters from the text's beginning (control positions) and a NUL;
// status 0 when the whole text fitted, 2 when it was cut, 1 no editor.
void WEditorGetTextPrefix(INTEGER& status, INTEGER capacity, char* buffer);
// Caller positions start to start + capacity - 1 (excluded) and a NUL: the buffer holds capacity
// characters with the NUL. start: out the status (0, -1 no editor).
void WEditorGetRange(INTEGER& start, INTEGER capacity, char* buffer);
// Window -1 reads what the last closed modal editor left; the code table is in the source.
void WEditorInfo(INTEGER window, INTEGER code, INTEGER& value);
// Code 1 find text, 2 replace text, 3 file path; at most capacity - 1 characters and a NUL.
void WEditorInfoString(INTEGER window, INTEGER code, char* buffer, INTEGER capacity);
// mode 1: the line of a caller position; other modes: the caller position of a line's start.
// result -2 when the current window is no editor.
void WEditorLineToChar(INTEGER mode, INTEGER value, INTEGER& result);
// start: out -1 when the current window is no editor.
void WEditorSelectRange(INTEGER& start, INTEGER end);
void WEditorSetModified(INTEGER saved, INTEGER changed);
void WEditorClearUndo();
// The bytes a stream-out of the whole text gives (RTF in a rich-text window); 1 without an editor.
void WEditorTextLength(INTEGER& length);
// The whole text as it streams out, at most capacity bytes, no NUL; status 0, 2 when cut, 1 no editor.
void WEditorGetAllText(char* buffer, INTEGER capacity, INTEGER& status);
void WEditorPutAllText(INTEGER length, const char* buffer);
// Shows document n of a multi-document window; status 0, 2 no such document, 1 no editor.
void WEditorShowFile(INTEGER n, INTEGER& status);
void WEditorScrollToLine(INTEGER line);
void WEditorMoveCaret(INTEGER position);
void WEditorCustomPaintOn();
// value 1 keeps a ".bak" copy of the old file on every save.
void WEditorSetOption(INTEGER value);
// start is 1-based. bold, italic, strikeout: -1 alone, 1 on, else off; underline: -1 alone,
// 1 or more on; size: -1 alone; colours: -2 alone, -1 automatic; an empty face: alone.
void WEditorSetCharFormat(INTEGER& status, INTEGER start, INTEGER end, INTEGER bold, INTEGER italic,
                          INTEGER underline, INTEGER strikeout, INTEGER size, INTEGER colour, INTEGER background,
                          std::string_view face);
// bullet: -1 alone, 1 bullets, else none; alignment: -1 alone, 0 left, 1 centred, 2 right.
void WEditorSetParaFormat(INTEGER& status, INTEGER start, INTEGER end, INTEGER bullet, INTEGER alignment);
void WEditorRedrawMode(INTEGER on);
void WEditorRedraw(INTEGER window);
// result 1 printed, 0 not (no printer, nothing to print).
void WEditorPrintRange(INTEGER& result, INTEGER start, INTEGER end, std::string_view title);
INTEGER WEditorSaveCurrent(INTEGER ask);

// Toolkit-internal

// The current window's frame and editor record, null when it is no editor.
EditorWindowRecord* YYEditorCurrent(HWND* frame = nullptr);
EditorWindowRecord* YYEditorOfWindow(INTEGER window, HWND* frame = nullptr);
// Caller positions a and b to control positions (in place), through the record's cache.
void YYEditorMapPosition(EditorWindowRecord& record, INTEGER& a, INTEGER& b);
// A control position to a caller position.
INTEGER YYEditorCallerPosition(EditorWindowRecord& record, INTEGER position);
// The whole text as it streams out (RTF in a rich-text window), and back in.
std::string YYEditorStreamOutAll(EditorWindowRecord& record);
void YYEditorStreamInAll(EditorWindowRecord& record, const char* bytes, INTEGER length);
// The stream callbacks: counting, copying out to a bounded buffer, copying in.
struct EditorStreamCookie {
    char* Write = nullptr;
    const char* Read = nullptr;
    INTEGER Left = 0;   // bytes left to read, or room left to write
    INTEGER Total = 0;  // bytes counted or offered
};
DWORD CALLBACK YYEditorStreamCount(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* taken);
DWORD CALLBACK YYEditorStreamCopyOut(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* taken);
DWORD CALLBACK YYEditorStreamCopyIn(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* given);
// The saved flag (1 no unsaved changes), text length and selection as the information codes give them.
INTEGER YYEditorInfoOf(EditorWindowRecord& record, INTEGER code);
void YYEditorSelectCaller(EditorWindowRecord& record, INTEGER start, INTEGER end);
void YYEditorScrollTo(EditorWindowRecord& record, INTEGER line);
void YYEditorSetModifiedOf(HWND frame, EditorWindowRecord& record, INTEGER saved, INTEGER changed);
void YYEditorClearUndoOf(EditorWindowRecord& record);
