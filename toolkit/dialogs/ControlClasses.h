// Control classes: the atoms and class procedures of the standard controls, captured once, and the
// replacement procedures that give the fields of every dialog the toolkit's behaviour.
#pragma once

#include <array>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

enum ControlClassCode : INTEGER {
    kClassUnknown = 0, kClassButton, kClassStatic, kClassTrackbar, kClassTreeView, kClassTabControl, kClassDialog,
    kClassListBox, kClassComboBox, kClassProgress, kClassUpDown, kClassHeader, kClassScrollBar, kClassEdit,
    kClassIntegerEdit, kClassIntegerSpin, kClassRealEdit, kClassRealSpin, kClassDoubleEdit, kClassDoubleSpin,
    kClassGrid, kClassCount
};

struct ControlClassTable {
    std::array<ATOM, kClassCount> atoms{};
    std::array<WNDPROC, kClassCount> procedures{};
};

ControlClassTable& controlClassTable();

// Toolkit-internal

// Captures the class procedures of "BUTTON", "STATIC", trackbars, tree views and tab controls.
void YYSaveClassProcs();
// Captures the class atoms of every class the dialog manager tells apart.
void YYSaveClassAtoms();
// The class of a control (by atom once captured, by name before).
ControlClassCode YYControlClass(HWND control);
// Whether the class is one of the six numeric edit classes.
bool YYIsNumericClass(ControlClassCode code);
// An edit-like control: EDIT or a numeric class.
bool YYIsEditLike(ControlClassCode code);
// The procedure the control's class gives its windows.
WNDPROC YYClassProcedure(ControlClassCode code);

LRESULT CALLBACK YYButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK YYEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK YYTrackbarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK YYTabControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK YYTreeViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK YYPictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK YYUpDownProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK YYFieldSurfaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The 8 bytes each tab item carries: the page dialog's identifier and the tab's disabled flag.
struct TabItemData {
    INTEGER page = 0;
    INTEGER disabled = 0;
};
INTEGER YYTabCount(HWND tab);
TabItemData YYTabData(HWND tab, INTEGER index);
void YYTabSetData(HWND tab, INTEGER index, const TabItemData& data);
// Appends a tab with a label and its data.
void YYTabAppend(HWND tab, const char* label, const TabItemData& data);
