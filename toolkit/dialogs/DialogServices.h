// Services of the dialog manager for the rest of the toolkit: window snapshots around modal waits,
// dialogs and fields as drawing targets, field images and colours, the owner of new dialogs, the
// values a modal dialog leaves, dialog base units and multiple-selection lists.
#pragma once

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

// Images that picture fields take from the output devices, which install their routines here;
// without them a field finds no image there.
struct DialogImageHooks {
    // A copy of the bitmap in bitmap-store slot 1-50, null when the slot is empty.
    HANDLE (*storedBitmapCopy)(INTEGER slot) = [](INTEGER) { return HANDLE{}; };
    // A copy of the picture in picture slot 1-20 (a picture still being recorded is finished
    // first), null when the slot holds none.
    HANDLE (*pictureCopy)(INTEGER slot) = [](INTEGER) { return HANDLE{}; };
};
DialogImageHooks& dialogImageHooks();

// Toolkit-internal

// mode 1 takes, 0 releases; the slot left out keeps its copy. result is set to 0.
void YYWindowSnapshots(INTEGER mode, INTEGER leaveOut, INTEGER& result);
bool YYDialogHasGraphics(HWND dialog);
// Makes the field (0 = the current dialog) the drawing target; -1 in field on failure.
void YYDialogDrawTarget(INTEGER& field, INTEGER& width, INTEGER& height);
// Source kinds: 2 icon, 3 bitmap-store slot, 4 metafile slot, 5 "DOVEMETAFILE" resource, others bitmap
// resource. field comes back -1 for a wrong field or class, -2 when no image was found.
void YYFieldLoadPicture(INTEGER& field, INTEGER source, INTEGER kind);
void YYFieldColoursSet(INTEGER& field, INTEGER textRed, INTEGER textGreen, INTEGER textBlue, INTEGER backRed,
                       INTEGER backGreen, INTEGER backBlue);
// which: 1 text, 2 background. Red 256 = the system colour, red -1 = unchanged.
void YYFieldColourSet(HWND control, INTEGER which, INTEGER red, INTEGER green, INTEGER blue);
void YYDialogExitValue(INTEGER code, INTEGER& result);
void YYDialogOfWindow(HWND dialog, HWND control);
HWND YYDialogOwnerWindow();
void YYDialogBaseUnits(INTEGER& width, INTEGER& height);
INTEGER YYListCount(INTEGER field);
INTEGER YYListIsSelected(INTEGER field, INTEGER index);
void YYListSelect(INTEGER field, INTEGER index, INTEGER state);
void YYListSelectRange(INTEGER field, INTEGER first, INTEGER last, INTEGER state);
