// Child windows (slots 1 to 50), split windows with their splitter bar, and closing windows:
// whole trees of windows, their slots and what each window holds.
#pragma once

#include <array>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"
#include "toolkit/foundation/WindowSlots.h"

// Words of the grid editor's frame record (kind 4) that the window engine reads or lends out.
// Every word is pointer-sized; 1-based word n is at index n - 1. The text editor (kind 1) has a
// record type of its own (EditorWindowRecord.h).
inline constexpr int kEditorStatusBarWord = 9;  // the status bar of menu help
inline constexpr int kTextEditorMaxFiles = 20;

// SplitWindowRecord words (1-based, as Words[n - 1]):
//  1 kind 5; 2-5 0; 6 splitter bar; 7 the split window's number; 8, 9 first (top or left) and
//  second pane; 10 split flags; 11, 12 pane flags; 13, 14 the panes' drawing-client extents in the
//  split direction; 15 drag anchor (-999 when no drag); 16, 17 the split window's outer width and
//  height; 18 last active pane (frame); 19 command pane (frame, 0 none); 20 1 while the toolkit
//  itself places the split window.
enum SplitFlagCode : INTEGER { kSplitStacked = 1, kSplitProportional = 2, kSplitSecondKeepsSize = 4 };
enum PaneFlagCode : INTEGER { kPaneStatusBar = 0x20, kPaneFixed = 0x40, kPaneNoCaption = 0x400 };
inline constexpr std::intptr_t kNoAnchor = -999;

// What closing and splitting need of the dialog manager and the editors, which install their
// routines here. Without them: no semi-modeless dialog is up, every layout identifier may be
// loaded, no dialog lies inside or is owned by a closing window, editor panes may always close,
// and an editor's content is released by detaching its record.
struct ChildWindowHooks {
    INTEGER (*semiModelessCount)() = nullptr;
    // -5 when the dialog is already loaded, -3 when no further dialog can be loaded, else 0.
    INTEGER (*layoutDialogAvailable)(INTEGER dialogId) = nullptr;
    // Hides and unloads every loaded dialog (last first) that lies inside the frame or is owned
    // by it; dialog := 0 when it names one of them.
    void (*dialogsInsideRelease)(HWND frame, INTEGER& dialog) = nullptr;
    // Loaded dialogs whose owner references name the closing window get its return window.
    void (*dialogOwnersReplace)(INTEGER window, INTEGER returnWindow) = nullptr;
    // The close question of an editor pane (record kind 1 or 4): 1 may close, 0 not.
    INTEGER (*editorQuerySave)(HWND paneFrame, INTEGER kind) = nullptr;
    // Releases an editor's content (record kind 1 or 4) from its frame.
    void (*editorRelease)(HWND frame, INTEGER kind) = nullptr;
    // A text editor's list of open files, by the window number of its frame and 1-based entry.
    // Without editorFileListGetField or editorFileListSelect the editor is taken to keep one file,
    // and the close question is asked once; the other three are skipped when absent.
    // An entry's field: the files whose field reads 0 are asked about before the window closes.
    void (*editorFileListGetField)(INTEGER window, INTEGER entry, INTEGER& value) = nullptr;
    // Shows an entry's document in place of the current one (stored into its entry first); the
    // record's current number is then set by the caller.
    void (*editorFileListSelect)(INTEGER window, INTEGER& current, INTEGER entry) = nullptr;
    // Stores the editor's current file name (its record's name buffer) into an entry, and copies
    // an entry's file name into that buffer.
    void (*editorFileListPutName)(INTEGER window, INTEGER entry, const char* name, INTEGER length) = nullptr;
    void (*editorFileListGetName)(INTEGER window, INTEGER entry, char* name, INTEGER length) = nullptr;
    // Refreshes the editor window's title and status bar after its current file changed.
    void (*editorUpdateStatus)(HWND frame) = nullptr;
};
ChildWindowHooks& childWindowHooks();

// Toolkit-internal

// Opens a child window in the first free slot; window := its number, or -1 no free slot or
// creation failed, -2 invisible parent, -3 parent laid out by a dialog, -4 parent with another
// record, -5 absent parent. Sizes are drawing-client pixels; -999999 x or y centres.
void YYChildWindowCreate(INTEGER x, INTEGER y, INTEGER width, INTEGER height, INTEGER& window, INTEGER flags,
                         INTEGER menuId, const std::array<INTEGER, 4>& toolbars, INTEGER& layoutDialog, INTEGER parent,
                         INTEGER background, std::string_view title);
// Splits the current window into two panes; panes := their numbers, or both the same negative
// status (-1 no two free slots or creation failed, -3 laid out by a dialog, -4 another record,
// -6 a window lives inside it). A negative first size splits in the middle.
void YYSplitWindowCreate(std::array<INTEGER, 2>& panes, INTEGER splitFlags, const std::array<INTEGER, 2>& paneFlags,
                         INTEGER firstSize, const std::array<INTEGER, 2>& menuIds,
                         const std::array<std::array<INTEGER, 4>, 2>& toolbars, std::array<INTEGER, 2>& layoutDialogs,
                         const std::array<INTEGER, 2>& backgrounds, std::string_view firstTitle,
                         std::string_view secondTitle);
// The words of a frame's grid-editor record, or null for any other frame.
std::intptr_t* YYEditorRecordWords(HWND frame);
// The split record a frame carries, or null.
SplitWindowRecord* YYSplitRecord(HWND frame);
// Whether a pane (0 first, 1 second) is locked in widths (direction 0) or heights (1).
bool YYSplitPaneLocked(const SplitWindowRecord& record, INTEGER pane, INTEGER direction);
// Whether the split window as a whole is locked in widths (0) or heights (1).
bool YYSplitWindowLocked(const SplitWindowRecord& record, INTEGER direction);
// Whether the splitter bar may be dragged (neither pane locked in the split direction).
bool YYSplitterMovable(const SplitWindowRecord& record);
// Lays the two panes and the bar out in the split window's drawing client after a resize.
void YYSplitLayout(SplitWindowRecord& record);
// Whether the bar no longer sits at the first pane's end (it was moved from outside the toolkit).
bool YYSplitterAwayFromPanes(const SplitWindowRecord& record);
// After the bar moved: the panes end and begin at the bar, their extents are stored.
void YYSplitterMoved(SplitWindowRecord& record);
// 1 when the window may close, 0 when a pane of a split window refused.
INTEGER YYWindowCloseQuery(HWND frame);
// Closes child window 1 to 50 (a pane closes its whole split); window := -1 for a number outside
// 1 to 50 or a free slot. dialog is the caller's current-dialog variable.
void YYWindowClose(INTEGER& window, INTEGER& dialog);
void YYWindowCloseTree(INTEGER window, INTEGER& dialog);
void YYWindowSlotClose(INTEGER window, INTEGER& dialog);
// Removes what the current window holds: status 1 no window, 2 nothing held, 0 removed.
void YYWindowContentRelease(INTEGER& dialog, INTEGER flags, INTEGER& status);
// The first free slot 1 to 50, or -1.
INTEGER YYFreeWindowSlot();
// Stops, closes and forgets the media device of a window.
void YYMediaStop(INTEGER window);
// Brings the current window and the windows it lives in forward and gives it the focus.
void YYWindowBringToFront();
// The outermost top-level frame that contains a frame (the frame itself when top-level).
HWND YYOutermostFrame(HWND frame);
// The split window whose pane this frame is, or -1.
INTEGER YYSplitOfPane(HWND frame);
