// The one dialog procedure of every toolkit dialog: field set-up, events for the program, the end of
// a modal instance, tab pages, anchored fields, field colours, activation, focus and clean-up.
#pragma once

#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

// Toolkit-internal

INT_PTR CALLBACK YYDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// loaded null: the dialog is the modal instance of the current dialog.
INT_PTR YYFieldSetUp(HWND dialog, std::unique_ptr<DialogRecord> loaded);
HBRUSH YYFieldCtlColour(HWND dialog, UINT message, HDC dc, HWND control);
void YYDialogCopyFields(HWND destination, HWND source);
// field comes back -1 when the current dialog has no such field. caret is 0-based, -1 = select all.
void YYFieldFocus(INTEGER& field, INTEGER caret);
void YYFieldFocusFirst(HWND defaultControl, HWND window, INTEGER setFlag);
void YYFieldSelectAll(HWND control);
void YYDrawMaskedBitmap(HBITMAP bitmap);
// Presses the default push button of the dialog that holds the control.
void YYNotifyParent(HWND control);
// The record a message to this dialog acts on: the current dialog's for the modal instance.
DialogRecord* YYDialogActingRecord(HWND dialog);
// Whether the dialog may raise events now (not while creating, not from the modal instance).
bool YYDialogRaisesEvents(HWND dialog);
