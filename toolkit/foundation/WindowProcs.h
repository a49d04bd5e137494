// The window procedures of the toolkit's frames, drawing clients and splitter bars: they turn
// message traffic into toolkit events and keep each window's bars laid out.
#pragma once

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

// Toolkit-internal

LRESULT CALLBACK YYFrameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK YYClientWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK YYSplitterWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The accelerator step of the message loop; non-zero when an accelerator translated the message.
INTEGER YYAcceleratorTranslate(INTEGER messageWindow, INTEGER menuWindow, MSG& message);
// Lays out a frame's status bar, toolbars and drawing client in its client rectangle.
void YYFrameLayout(INTEGER window);
