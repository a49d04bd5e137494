// The dialog manager's tables: the loaded dialogs, the manager's state, the record kept per dialog
// window and the record kept per control ("field").
#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/dialogs/DialogEventFields.h"
#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WinApi.h"

inline constexpr int kMaxDialogs = 100;

enum FieldKind : INTEGER {
    kFieldOther = 0, kFieldLabel = 1, kFieldPicture = 2, kFieldGroupBox = 3, kFieldString = 4, kFieldInteger = 5,
    kFieldReal = 6, kFieldDouble = 7, kFieldPushButton = 8, kFieldCheckBox = 9, kFieldRadioButton = 10,
    kFieldMenu = 11, kFieldList = 12, kFieldTab = 13, kFieldProgressBar = 14, kFieldGrid = 15, kFieldTrackbar = 16,
    kFieldTreeView = 17,
};

enum FieldStateCode : INTEGER { kFieldDisabled = 0, kFieldEnabled = 1, kFieldReadOnly = 2, kFieldHidden = 3 };

enum DialogModeKind : INTEGER { kDialogModal = 1, kDialogModeless = 2, kDialogSemiModeless = 3 };

enum FieldAnchorBits : INTEGER { kAnchorLeft = 1, kAnchorRight = 2, kAnchorTop = 4, kAnchorBottom = 8 };

// A field-table line whose field is built by a later family (grids, tree views): kept with the
// dialog and applied when that family sets the field up.
struct DeferredFieldLine {
    INTEGER field = 0;
    std::vector<INTEGER> values;
    std::vector<std::string> lines;  // the label lines that follow some [Grids] lines
};

// Keeps the dialog manager's count of live records of one kind exact however a record is made,
// copied or destroyed; the checks that an unload frees everything read the counts.
enum class LiveRecordKind { dialog, field };
template <LiveRecordKind Kind>
struct LiveRecordCount {
    LiveRecordCount();
    LiveRecordCount(const LiveRecordCount&);
    LiveRecordCount& operator=(const LiveRecordCount&) { return *this; }
    ~LiveRecordCount();
};

// Per dialog window. The event fields come first so that the event recorder reads them in place.
// Where other parts of the toolkit speak of a record word, the field of that name is meant.
struct DialogRecord : DialogEventFields {
    LiveRecordCount<LiveRecordKind::dialog> alive;
    INTEGER shown = 0;
    INTEGER mode = 0;
    HWND ownerWindow = nullptr;
    HWND returnWindow = nullptr;
    INTEGER hasGraphics = 0;
    INTEGER resizable = 0;
    HWND combinedWindow = nullptr;
    HWND lastInputControl = nullptr;
    HWND anchorControl = nullptr;
    INTEGER minWidth = 0;
    INTEGER minHeight = 0;
    // The template the dialog came from: a modal show builds its instance from it, whatever
    // identifier the dialog was loaded under.
    INTEGER resourceId = 0;
    std::vector<DeferredFieldLine> gridLines;
    std::vector<DeferredFieldLine> treeLines;  // as read; each filled its tree at once
};

// Per control.
struct FieldRecord {
    LiveRecordCount<LiveRecordKind::field> alive;
    DOUBLE value = 0.0;
    DOUBLE minimum = 1000.0;
    DOUBLE maximum = -1000.0;  // minimum > maximum: no range
    DOUBLE smallStep = 0.0;
    DOUBLE largeStep = 0.0;
    INTEGER stepOrigin = 0;
    INTEGER hasValue = 0;
    HWND spinControl = nullptr;
    WNDPROC originalProcedure = nullptr;
    INTEGER drawSurface = 0;
    INTEGER textColour = -1;
    INTEGER backColour = -1;
    INTEGER tabPressed = 0;
    INTEGER maxLength = 0;
    INTEGER state = kFieldEnabled;
    std::vector<INTEGER> tabStops;  // tabStopCount is its size
    // Shared between a loaded dialog and its modal instance; empty pointer = the default format.
    std::shared_ptr<std::string> format;
    INTEGER notifyChanges = 0;
    INTEGER rightGap = 0;
    INTEGER bottomGap = 0;
    INTEGER anchorBits = 0;
    INTEGER flags = 0;
    HCURSOR cursor = nullptr;
    INTEGER cursorShape = 0;
    // The procedure installed beneath the outer one (button, edit ...), kept so that destruction
    // can put the class procedure back.
    WNDPROC classProcedure = nullptr;
};

struct DialogTable {
    std::array<HWND, kMaxDialogs + 1> handles{};  // 1..count in load order; 0 = the running modal instance
    INTEGER count = 0;
    INTEGER currentIndex = 0;
    // The public layer's view.
    INTEGER currentIdentifier = 0;
    INTEGER exitButton = 0;
    INTEGER exitFocusField = 0;
    INTEGER lastModalIdentifier = 0;
    INTEGER lastCommonResult = 0;
};

struct DialogSnapshot {
    BitmapHandle bitmap;
    INTEGER count = 0;
};

struct DialogManagerState {
    INTEGER creationInProgress = 0;
    INTEGER pendingX = -1, pendingY = -1;
    INTEGER pendingFocus = 0;
    HWND currentModeless = nullptr;
    HWND lastDeactivated = nullptr;
    HWND semiModeless = nullptr;
    INTEGER semiModelessCount = 0;
    GdiObjectHandle backgroundBrush;
    INTEGER trackbarAnchor = 0;
    INTEGER trackbarUndefined = 0;
    // Tree views: 1 refuses an inserted item whose identifier the tree already holds.
    INTEGER treeUniqueIds = 1;
    // The tree view the program is changing right now: its notifications are the program's own
    // doing, not the user's, and raise no field-change event.
    HWND treeChangedByProgram = nullptr;
    // Window snapshots: per window slot a count (the bitmap lives in the slot), per dialog window
    // a bitmap and a count. Dialogs are keyed by their window, which an unload does not shift.
    INTEGER snapshotsHeld = 0;
    std::array<INTEGER, 51> windowSnapshotCounts{};
    std::map<HWND, DialogSnapshot> dialogSnapshots;
    // Records alive, for the checks that an unload frees everything.
    INTEGER liveDialogRecords = 0;
    INTEGER liveFieldRecords = 0;
};

DialogTable& dialogTable();
DialogManagerState& dialogManagerState();

// Toolkit-internal

// The table index of a loaded dialog by identifier, or -1.
INTEGER YYDialogIndex(INTEGER identifier);
// The handle of the current dialog, or null.
HWND YYCurrentDialog();
DialogRecord* YYDialogRecordOf(HWND dialog);
FieldRecord* YYFieldRecordOf(HWND control);
// A record for a dialog about to be created; the dialog takes it over in WM_INITDIALOG.
std::unique_ptr<DialogRecord> YYDialogRecordMake();
// Hands the record to the dialog window, which owns it from then on.
DialogRecord* YYDialogRecordAttach(HWND dialog, std::unique_ptr<DialogRecord> record);
// Releases the dialog's record: from the dialog's WM_NCDESTROY, or earlier where a closing
// dialog must stop raising events.
void YYDialogRecordRelease(HWND dialog);
// Makes a control's record, owned by the control window.
FieldRecord* YYFieldRecordMake(HWND control);
// Releases the control's record: called from the control's WM_NCDESTROY by the procedure that
// made it.
void YYFieldRecordFree(HWND control);
// The control with this id among the dialog's direct children, or null (never the dialog itself).
HWND YYDialogField(HWND dialog, INTEGER field);
