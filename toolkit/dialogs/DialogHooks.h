// The dialog manager's routines behind the window engine's dialog hooks (DialogWindowHooks.cpp
// installs them).
#pragma once

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

// Toolkit-internal

void YYRegisterNumericEdits();
void YYGridRegister();
void YYSaveClassProcs();
void YYSaveClassAtoms();
// Whether a layout dialog may be resized with its window (fixed size until the dialog manager says otherwise).
bool YYDialogIsResizable(HWND dialog);
// Whether the dialog manager's window snapshots are in force (a modal box is up).
bool YYWindowSnapshotsInForce();
// A new main window: numeric fields check their entries again (nothing half-validated is left
// over) and the field colour brush is let go.
void YYDialogManagerArm();
// Clears the current dialog and the dialog results the dialog query reports (shut-down).
void YYDialogManagerReset();
// Shut-down: every loaded dialog lets go of its tab pages and is destroyed with its record; the
// table is emptied and the manager's window references, semi-modeless count and brush cleared.
void YYDialogsDestroyAll();
// Every loaded dialog draws its caption active when it is the window given, inactive otherwise
// (null: all inactive).
void YYDialogsDrawActive(HWND window);
// The active modeless dialog that keyboard messages are offered to first, or null.
HWND YYActiveModelessDialog();
// Client size of the current dialog (field 0) or of one of its controls; 0 x 0 without one.
void YYDialogClientSize(INTEGER field, INTEGER& width, INTEGER& height);
// Makes a dialog current by identifier; returns the dialog that was current before (0 none).
INTEGER YYDialogSelectById(INTEGER dialog);
// Loads a layout dialog through the dialog manager (field records, field table, dialog procedure)
// into the drawing client given as parent, combined with that window's frame; it becomes the
// current dialog. Null when it cannot be loaded (already loaded, table full, no template,
// creation failed, or the parent is no window's drawing client).
HWND YYLayoutDialogCreate(INTEGER dialogId, HWND parent);
// Shows a loaded layout dialog modeless inside its window, leaving the focus and the current
// dialog alone; a layout dialog that is already shown stays as it is.
void YYLayoutDialogShow(HWND dialog);
// Tells the dialog manager which frame a layout dialog is laid out in.
void YYLayoutDialogAttach(HWND dialog, HWND frame);
// Hides and unloads a layout dialog through the dialog manager; another dialog that was current
// stays current.
void YYLayoutDialogUnload(HWND dialog);
// Whether a probe instance of a layout dialog is resizable: its field table's [Dialog] line asks
// for it and names an anchor field the probe has.
bool YYLayoutProbeResizable(HWND probe, INTEGER dialogId);
// The layout dialog's focused field gets its text selected; when the focus is not inside the
// dialog, its first tab-stop field takes it first.
void YYLayoutDialogFocusField(HWND dialog);
// Makes a loaded dialog the dialog manager's current dialog.
void YYDialogMakeCurrent(INTEGER dialogId);
// The current dialog's window, or null.
HWND YYCurrentDialogWindow();
// The frame a dialog lays out, or null for an ordinary dialog.
HWND YYDialogLayoutFrame(HWND dialog);
// Makes a dialog the active modeless dialog (null: none).
void YYActiveModelessDialogSet(HWND dialog);
// Per-field cursors of dialog graphics fields: set one field's own cursor, read its shape (-1 when
// the field has no cursor of its own or no field record), or clear the cursors of every field of
// every loaded dialog.
void YYFieldCursorSet(HWND field, HCURSOR cursor, INTEGER shape);
INTEGER YYFieldCursorShape(HWND field);
void YYFieldCursorsClear();
