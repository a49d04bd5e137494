// The six numeric edit classes: integer, real and double fields with and without an up-down
// control. They filter keys, keep the field's value, and check and rewrite their text when the
// focus leaves them.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

// What the numeric fields share: only one control has the focus at a time.
struct NumericEditState {
    std::string savedText;
    DOUBLE savedValue = 0.0;
    INTEGER saveOnFocus = 1;
    HWND pendingField = nullptr;
    HWND tabPendingField = nullptr;
    INTEGER validating = 0;
    INTEGER validationSuspended = 0;  // set by the grid while it rearranges its cell editor
    INTEGER buttonRefocusGuard = 1;
    // The tab a refused entry held on to while the tab control was switching, -1 when none.
    INTEGER heldTabSelection = -1;
    ATOM editAtom = 0;
    WNDPROC editProcedure = nullptr;
    WNDPROC upDownProcedure = nullptr;
};

NumericEditState& numericEditState();

// Toolkit-internal

LRESULT CALLBACK YYIntegerEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK YYIntegerSpinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK YYRealEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK YYRealSpinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK YYDoubleEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK YYDoubleSpinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT YYNumericEditCommon(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Checks a numeric field's entry as the focus moves to another window; 1 when it is refused
// (the focus has then gone back to the field). selfCheck: check the focused field itself.
INTEGER YYNumericValidate(HWND field, HWND receiving, INTEGER selfCheck);
// Gives the focus back to a refused field with its text selected.
void YYFieldRefocus(HWND taker, HWND field, INTEGER tabbed);
// Steps a spin field's buddy for an up-down position change; false when the buddy is no spin field.
bool YYSpinStep(HWND buddy, INTEGER delta);
// Step setters; field := -1 when the current dialog has no such field of that class.
void YYIntegerSpinSteps(INTEGER& field, INTEGER smallStep, INTEGER largeStep, INTEGER origin);
void YYRealSpinSteps(INTEGER& field, REAL smallStep, REAL largeStep);
void YYDoubleSpinSteps(INTEGER& field, DOUBLE smallStep, DOUBLE largeStep);
// The numeric-field rules that come before a push button's click: true when the click is refused
// (button 1 with a refused entry); any other button restores the refused field's saved entry.
bool YYPushButtonRefused(INTEGER button);
// With the locale decimal switch on, the fields show and take the user's decimal character; the
// number parser knows only "." and ",". The first puts a field's text into the parser's form, the
// second a formatted number into the form the field shows. Both leave the text alone otherwise.
std::string YYDecimalToParser(std::string_view text);
std::string YYDecimalToLocale(std::string_view text);
// Hands the focus back to the pending field from the push button that holds it (a mouse release
// outside the button, or the button losing the focus); false when no field is pending.
bool YYPendingFieldRefocus(HWND button, INTEGER tabbed);
