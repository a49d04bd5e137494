// The bitmap viewer: a bitmap of the store shown in a toolkit child window, in a scrolling window
// of class "VARERODOD" that takes the drawing client's place; scroll bars, keys, the wheel and a
// left-button drag move it, and every move is reported as event 15.
#pragma once

#include <type_traits>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"
#include "toolkit/foundation/WindowSlots.h"

// Attached to the frame and to the viewer window. Head is the frame's window record as the window
// engine reads it: word 1 kind 2, words 2-5 the toolbars (top, left, right, bottom; 0 in the modal
// mode), word 6 the viewer window, word 7 the status bar, word 8 the display mode (1 modal, 2
// modeless, 3 semi-modeless). The viewer window owns the record.
struct BitmapViewerRecord {
    WindowUserRecord Head;
    INTEGER* ModalEnd = nullptr;  // the modal loop's end flag while it runs
    HBITMAP Bitmap = nullptr;
    INTEGER BitmapWidth = 0, BitmapHeight = 0;
    INTEGER FitWidth = -999, FitHeight = -999;  // the frame size that shows the whole bitmap
    INTEGER Flags = 0;  // bit 0 keyboard scrolling, bit 1 drag scrolling
    INTEGER Dragging = 0, LastX = 0, LastY = 0, DragH = 0, DragV = 0;

    HWND viewer() const { return reinterpret_cast<HWND>(Head.Words[5]); }
    HWND statusBar() const { return reinterpret_cast<HWND>(Head.Words[6]); }
    INTEGER mode() const { return static_cast<INTEGER>(Head.Words[7]); }
    HWND toolbar(int k) const { return reinterpret_cast<HWND>(Head.Words[static_cast<std::size_t>(1 + k)]); }
};
static_assert(std::is_standard_layout_v<BitmapViewerRecord>);

// Shows bitmap slot (identifier - 1) in the current window at the given scroll positions (negative
// keeps a viewer's position). mode 1 modal (returns when the window closes), 2 modeless, 3
// semi-modeless; flags bit 0 keyboard, bit 1 drag scrolling. status is written only when there is
// something to report: 1 main window, 2 slot free or outside 0-49, 3 the bitmap is the drawing
// target, 4 the window holds another record, 5 shown modeless instead (mode := 2), 6 the viewer
// could not be made, 9 the drawing client has child windows.
void YYBitmapView(INTEGER slot, INTEGER horizontal, INTEGER vertical, INTEGER& mode, INTEGER flags, INTEGER& status);
// Puts the bitmap into the record, fits the frame and sets both scroll bars.
void YYBitmapViewSetup(BitmapViewerRecord& record, INTEGER slot, INTEGER horizontal, INTEGER vertical);
LRESULT CALLBACK YYBitmapFrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK YYBitmapClientProc(HWND viewer, UINT message, WPARAM wParam, LPARAM lParam);
// value := 0, then for a viewer window: 3 the identifier shown (0 when no longer in the store),
// 4 horizontal and 5 vertical position, 101 bitmap width, 102 height, 103 vertical position +
// page (+ the horizontal scroll bar's height while that bar is shown).
void YYBitmapViewInfo(INTEGER window, INTEGER item, INTEGER& value);

// Toolkit-internal

// The viewer record of a frame or viewer window, nullptr when it holds none.
BitmapViewerRecord* YYBitmapViewerRecord(HWND window);
// Installs the store's query of which windows show a bitmap.
void YYBitmapViewerInstall();
