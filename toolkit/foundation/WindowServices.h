// Window title and icon, mouse cursor, activation, tear-down of all windows and small services.
#pragma once

#include <optional>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

enum CursorShapeCode : INTEGER {
    kCursorArrow = 0, kCursorWait = 1, kCursorAppStarting = 2, kCursorCross = 3, kCursorIBeam = 4, kCursorNo = 5,
    kCursorSizeAll = 6, kCursorSizeNS = 7, kCursorSizeWE = 8, kCursorSizeNESW = 9, kCursorSizeNWSE = 10,
    kCursorUpArrow = 11,
};

struct CursorState {
    HCURSOR GlobalCursor = nullptr;
    INTEGER GlobalShape = 0;
    INTEGER BeepSwitch = 1;
    char DecimalSeparator = '.';
    INTEGER DecimalSwitch = 0;
    INTEGER Beeps = 0;  // beeps sounded, so that a test can observe them without audio
};

CursorState& cursorState();

// Sets the current window's title (trailing blanks dropped) and, when given, its icon (0 = "icon1").
void WindowTitle(std::optional<std::string_view> title, std::optional<INTEGER> icon = std::nullopt);
// Sets the cursor shape: scope 1 the current drawable, 2 the global cursor only, else everywhere.
void WCursorShape(INTEGER shape, std::optional<INTEGER> scope = std::nullopt);

// Toolkit-internal

void YYWindowTitleIcon(INTEGER& icon, INTEGER setTitle, std::string_view title);
void YYCursorForWindow(INTEGER shape, INTEGER scope, INTEGER drawableKind, INTEGER drawableNumber);
void YYCursorMove(INTEGER x, INTEGER y, INTEGER target);
HCURSOR YYGlobalCursor();
void YYCursorShapeInForce(INTEGER& value, INTEGER selector, INTEGER number);
void YYWindowActivate(HWND window);
void YYWindowsDestroyAll();
void YYReleaseDrawingDC();
void YYRasterRectangle(INTEGER left, INTEGER top, INTEGER right, INTEGER bottom, INTEGER colour);
void YYClientScroll(INTEGER dx, INTEGER dy, INTEGER colour);
INT_PTR CALLBACK YYEmptyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void YYBeep();
void YYBeepSwitch(INTEGER value);
void YYLocaleInfo(char& separator);
void YYLocaleDecimalSwitch(std::string_view flag);
INTEGER YYDecimalToInt(const char* text);
INTEGER YYTrimmedLength(const char* text);
INTEGER YYWordLength(const char* text);
void YYCopyBlankPadded(const char* text, char* field, INTEGER length);
void YYGradientFillAvailable(INTEGER& answer);
struct WindowSlot;
// Stops and closes the media device playing in a window, if any.
void YYMediaStop(WindowSlot& slot);
