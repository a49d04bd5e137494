// The editor window's title (file and modified marker) and its status-bar parts: line and
// column, CAPS, NUM, INS/OVR, and the file for a window without a caption.
#pragma once

#include <string>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EditorWindowRecord.h"

inline constexpr int kEditorStatusEdges[4] = {130, 170, 210, 250};

// Refreshes the title, or status part 4 of a window without a caption.
void YYEditorUpdateStatus(HWND frame);

// Toolkit-internal

// The title (or part 4 text) the editor shows for its file.
std::string YYEditorTitleText(const EditorWindowRecord& record, bool captioned);
// Part 0 from the end of the selection: "Line:%u   Col:%u".
void YYEditorCaretStatus(EditorWindowRecord& record);
// Parts 1 and 2 from the lock keys' toggle state, part 3 from the insert mode.
void YYEditorLockStatus(EditorWindowRecord& record, INTEGER virtualKey);
void YYEditorInsertStatus(EditorWindowRecord& record);
