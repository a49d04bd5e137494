// The event vocabulary shared by the toolkit and its callers (platform-free).
#pragma once

#include <array>

#include "toolkit/foundation/CoreTypes.h"

enum EventTypeCode : INTEGER {
    kEventNone = -1,
    kEventKey = 1, kEventCommand = 2, kEventPushButton = 3, kEventMousePress = 4, kEventMouseRelease = 5,
    kEventMouseMove = 6, kEventExpose = 7, kEventResize = 8, kEventClose = 9, kEventFieldChanged = 10,
    kEventTabChanged = 11, kEventFrameClick = 12, kEventTimer = 13, kEventEditorNotice = 14,
    kEventViewerPosition = 15, kEventDoubleClick = 16,
};

// Word 2 of a key event: a character's own code, or from the key table 256 and up for keys without
// a character (Up 258, F1 301, Shift+F5 325, Ctrl+Left 269 ...).
using ToolkitKeyCode = INTEGER;

// 12 words: window, values 1 to 4, X, Y, exposed width and height (REAL bits), user X and Y (REAL
// bits), message time.
using EventRecord = std::array<INTEGER, 12>;

// The fields of a dialog's record that the event recorder reads and writes when a dialog, one of
// its fields or one of its drawing surfaces raises an event; the dialog manager's records begin
// with them.
struct DialogEventFields {
    INTEGER identifier = 0;
    INTEGER previousField = 0;
    INTEGER currentField = 0;
    INTEGER lastCellValue = 0;
    INTEGER previousPage = 0;
    INTEGER currentPage = 0;
    INTEGER eventField = 0;
    INTEGER mouseButton = 0;
};
