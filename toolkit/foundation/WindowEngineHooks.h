// What the window engine, the event store and the message boxes ask of the folders above the
// foundation: the graphics layer with its screen driver, the output devices' bitmap store, and the
// dialog manager. Those folders install their routines here (toolkit/ToolkitLayers.cpp, before
// the program's main); until they do, and in programs built without them, each entry does what
// its default below does: nothing, or the answer of a toolkit that has no such subsystem.
#pragma once

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EventRecord.h"
#include "toolkit/foundation/WinApi.h"

struct WindowGraphicsHooks {
    // The display's resolution, whether user dash arrays are available (NT family) and the palette
    // slot count, for the screen driver and the graphics layer.
    void (*displayFacts)(INTEGER pixelsPerInch, INTEGER userDashes, INTEGER paletteSlots) = [](INTEGER, INTEGER,
                                                                                                 INTEGER) {};
    // The main window's drawing context becomes the screen driver's: the screen palette is built on
    // a 256-colour display (paletteDisplay) and realised, the pattern bitmap made, the pen and brush
    // selected and the dashes scaled; no picture or bitmap is drawn into any more.
    void (*mainWindowDcAttach)(HDC dc, HWND client, bool paletteDisplay, INTEGER paletteSlots) = [](HDC, HWND, bool,
                                                                                                   INTEGER) {};
    // The main window is open with this drawing-client size: the graphics layer takes the requested
    // palette slot count (0: keep), resets to that window and installs the screen driver.
    void (*mainWindowOpened)(INTEGER paletteSlots, INTEGER width, INTEGER height) = [](INTEGER, INTEGER, INTEGER) {};
    // The window engine lets go of a window's drawing context: when the screen driver draws into it,
    // the driver selects its objects out and forgets it.
    void (*windowDcDetach)(HDC dc) = [](HDC) {};
    // A window's drawing context becomes the screen driver's, unless the driver draws into a
    // dialog field, a picture or a bitmap.
    void (*windowDcAttach)(HDC dc, HWND client) = [](HDC, HWND) {};
    // A window's drawing client is being destroyed: the driver forgets it when it draws there.
    void (*windowClosed)(HWND client) = [](HWND) {};
    // A window was made current with this client size and selection flag.
    void (*windowSelected)(INTEGER window, INTEGER width, INTEGER height, INTEGER switchFlag) =
        [](INTEGER, INTEGER, INTEGER, INTEGER) {};
    // The selection flag of the window switch in progress (0 none).
    INTEGER (*windowSwitchFlag)() = [] { return INTEGER{0}; };
    // The graphics layer's current window (0 the main window).
    INTEGER (*currentWindow)() = [] { return INTEGER{0}; };
    // A window's drawing client got a new size: followed only for the graphics layer's current window.
    void (*windowResized)(INTEGER window, INTEGER width, INTEGER height) = [](INTEGER, INTEGER, INTEGER) {};
    // The window is the drawable with a new size (a toolbar took room from its client).
    void (*windowDrawableResized)(INTEGER window, INTEGER width, INTEGER height) = [](INTEGER, INTEGER, INTEGER) {};
    // The current window was moved or resized by the program: the drawable follows, and so does the
    // drawable size when it is the graphics layer's current window.
    void (*windowPlaced)(INTEGER window, INTEGER width, INTEGER height) = [](INTEGER, INTEGER, INTEGER) {};
    // A dialog drawing surface got a new size while its dialog was hidden.
    void (*fieldResized)(INTEGER dialog, INTEGER field, INTEGER width, INTEGER height) = [](INTEGER, INTEGER, INTEGER,
                                                                                          INTEGER) {};
    // Adds the user-unit positions to a pointer, expose, resize or viewer event (positions stay in
    // pixels without a graphics layer).
    void (*eventPositionConvert)(INTEGER type, EventRecord& record) = [](INTEGER, EventRecord&) {};
    // The current drawable's kind and identifier.
    void (*drawable)(INTEGER& kind, INTEGER& identifier) = [](INTEGER& kind, INTEGER& identifier) {
        kind = 1;
        identifier = 0;
    };
    // The dialog graphics field being drawn into, or null.
    HWND (*dialogFieldWindow)() = [] { return HWND{}; };
    // The screen palette on a 256-colour display, or null.
    HPALETTE (*screenPalette)() = [] { return HPALETTE{}; };
    // Sets one entry of the screen palette (mode as the screen driver's palette routine).
    void (*paletteSet)(INTEGER index, INTEGER colour, INTEGER mode) = [](INTEGER, INTEGER, INTEGER) {};
    // Releases the drawing context of a dialog field, picture or bitmap the driver draws into.
    void (*drawingDcRelease)() = [] {};
    // Shut-down: the screen driver lets go of its objects and the screen palette.
    void (*screenRelease)() = [] {};
    // Shut-down, every window going: the screen driver draws nowhere, not into a window, dialog
    // field, picture or bitmap.
    void (*drawingDcForget)() = [] {};
    // Shut-down: the output devices free every bitmap of the bitmap store.
    void (*bitmapStoreClear)() = [] {};
};
WindowGraphicsHooks& windowGraphicsHooks();

struct DialogManagerHooks {
    // Registers the numeric-field and grid window classes (first main window).
    void (*controlClassesRegister)() = [] {};
    // Takes the controls' class procedures and atoms and arms the numeric fields' checking again
    // (every new main window).
    void (*dialogManagerArm)() = [] {};
    // Clears the current dialog and the dialog results the dialog query reports.
    void (*dialogManagerReset)() = [] {};
    // Every loaded dialog and its record destroyed, the dialog table emptied.
    void (*dialogsDestroyAll)() = [] {};
    // Loaded dialogs draw their captions active when they are this window (null: all inactive).
    void (*dialogsDrawActive)(HWND window) = [](HWND) {};
    // Whether a layout dialog is resized with its window.
    bool (*dialogIsResizable)(HWND dialog) = [](HWND) { return false; };
    // A loaded dialog's layout frame (null for an ordinary dialog) and its resizable flag; false
    // when the window is no loaded dialog.
    bool (*dialogFacts)(HWND dialog, HWND& layoutFrame, bool& resizable) = [](HWND, HWND&, bool&) { return false; };
    // Whether a modal box holds the window snapshots.
    bool (*windowSnapshotsInForce)() = [] { return false; };
    // Takes (mode 1) or gives back (mode 0) the window snapshots around a modal box; result 0 or an
    // error number.
    void (*windowSnapshots)(INTEGER mode, INTEGER leaveOut, INTEGER& result) = [](INTEGER, INTEGER, INTEGER& result) {
        result = 0;
    };
    // The active modeless dialog that keyboard messages are offered to first, or null; and setting it.
    HWND (*activeModelessDialog)() = [] { return HWND{}; };
    void (*activeModelessDialogSet)(HWND dialog) = [](HWND) {};
    // Client size of the current dialog (field 0) or of one of its fields; 0 x 0 without one.
    void (*dialogClientSize)(INTEGER field, INTEGER& width, INTEGER& height) = [](INTEGER, INTEGER& width,
                                                                                INTEGER& height) {
        width = height = 0;
    };
    // Makes a dialog current by identifier; returns the dialog current before (0 none).
    INTEGER (*dialogSelectById)(INTEGER dialog) = [](INTEGER) { return INTEGER{0}; };
    // Makes a loaded dialog current.
    void (*dialogMakeCurrent)(INTEGER dialogId) = [](INTEGER) {};
    // The current dialog's window, or null.
    HWND (*currentDialogWindow)() = [] { return HWND{}; };
    // The frame a dialog lays out, or null.
    HWND (*dialogLayoutFrame)(HWND dialog) = [](HWND) { return HWND{}; };
    // Layout dialogs: loading one into a drawing client (null when it cannot be loaded), showing
    // it, telling it its frame, unloading it, giving its focused field the selection, and whether a
    // probe instance is resizable.
    HWND (*layoutDialogCreate)(INTEGER dialogId, HWND parent) = [](INTEGER, HWND) { return HWND{}; };
    void (*layoutDialogShow)(HWND dialog) = [](HWND) {};
    void (*layoutDialogAttach)(HWND dialog, HWND frame) = [](HWND, HWND) {};
    void (*layoutDialogUnload)(HWND dialog) = [](HWND) {};
    void (*layoutDialogFocusField)(HWND dialog) = [](HWND) {};
    bool (*layoutProbeResizable)(HWND probe, INTEGER dialogId) = [](HWND, INTEGER) { return false; };
    // Per-field cursors of dialog graphics fields: set one, read one (-1 none), clear them all.
    void (*fieldCursorSet)(HWND field, HCURSOR cursor, INTEGER shape) = [](HWND, HCURSOR, INTEGER) {};
    INTEGER (*fieldCursorShape)(HWND field) = [](HWND) { return INTEGER{-1}; };
    void (*fieldCursorsClear)() = [] {};
    // The event fields of the loaded dialog whose window this is, or null.
    DialogEventFields* (*dialogEventFields)(HWND window) = [](HWND) { return static_cast<DialogEventFields*>(nullptr); };
    // The dialog query (code 4: the button that closed the last message box).
    INTEGER (*dialogQuery)(INTEGER code) = [](INTEGER) { return INTEGER{0}; };
    // The window a system dialog is owned by; the dialogs disabled and enabled around it; the
    // semi-modeless dialog that takes the focus back afterwards (null none).
    HWND (*dialogOwnerWindow)() = [] { return HWND{}; };
    void (*dialogsDisable)(HWND window, INTEGER flag) = [](HWND, INTEGER) {};
    void (*dialogsEnable)(HWND window, INTEGER flag) = [](HWND, INTEGER) {};
    HWND (*semiModelessDialog)() = [] { return HWND{}; };
    // A message box or common dialog ended: no field keeps the exit focus, and its result is what the
    // dialog query reports (-1: it failed, the previous result stays).
    void (*commonDialogEnded)(INTEGER result) = [](INTEGER) {};
};
DialogManagerHooks& dialogManagerHooks();
