// The main program: start-up, the event loop and the menu commands, the View menu's check marks,
// and the main window's placement rules.
#pragma once

#include <array>
#include <string>

#include "Quorvalent/AppState.h"
#include "Quorvalent/SoundingHandler.h"
#include "Quorvalent/SuiteSoundings.h"
#include "WBRVLib/GraphFrame.h"
#include "toolkit/foundation/CoreTypes.h"

// Command identifiers of menu 30001 and toolbar 30104 (every other number from 40001 to 40057
// has no menu item and no action).
enum MenuCommandCode : INTEGER {
    kCmdExit = 40001,
    kCmdFileMenu = 40002,
    kCmdExportModel = 40003,
    kCmdExportSynthetics = 40004,
    kCmdAbout = 40005,
    kCmdViewMenu = 40006,
    kCmdCurveGridMenu = 40007,
    kCmdCurveMajorGrid = 40008,
    kCmdModelGridMenu = 40009,
    kCmdCurveMinorGrid = 40011,
    kCmdModelMajorGrid = 40012,
    kCmdModelMinorGrid = 40013,
    kCmdModelSuite = 40014,
    kCmdHelpMenu = 40015,
    kCmdExportModall = 40016,
    kCmdUnZoom = 40018,
    kCmdLabels = 40019,
    kCmdLinearDepth = 40020,
    kCmdProperties = 40021,
    kCmdPrint = 40023,
    kCmdZoom = 40024,
    kCmdHelpContents = 40057,
    kCmdFirst = 40001,
    kCmdLast = 40057,
};

// Resource numbers of the main window's menu and toolbar.
inline constexpr INTEGER kMainMenuId = 30001;
inline constexpr INTEGER kMainToolbarId = 30104;
inline constexpr char kMainWindowTitle[] = "Brevalon Research Quorvalent";

// The main loop's mouse state: the last press, the rubber band, the label under the pointer and
// its drag.
struct PointerState {
    INTEGER Button = 0;
    INTEGER PressTime = 0;
    INTEGER AnchorX = 0, AnchorY = 0;
    INTEGER CornerX = 0, CornerY = 0;
    INTEGER LastX = 0, LastY = 0;
    LOGICAL BandActive = kFalse;
    LOGICAL DragActive = kFalse;
    INTEGER CurrentLabel = 0;
    INTEGER HighlightedLabel = 0;
    INTEGER Grab = 0;                  // LabelGrabCode
    LOGICAL AnchorGrabbed = kFalse;
    LOGICAL OnAnchor = kFalse;
    REAL GrabOffsetX = 0.0f, GrabOffsetY = 0.0f;  // where the press held the dragged label's body
    GraphFrameRecord LabelFrame{};
    GraphFrameRecord SavedLabelFrame{};
};
PointerState& pointerState();

// The status bar: five parts of the main window's messages and, at the right, the pointer
// read-out's x and y texts. All seven fit inside the window's 9999 units (the last takes the rest).
inline constexpr INTEGER kMainStatusParts = 7;
inline constexpr std::array<INTEGER, kMainStatusParts> kMainStatusPartWidths = {1800, 1800, 2800, 400, 400, 1400, -1};
inline constexpr INTEGER kReadoutXPart = 6;
inline constexpr INTEGER kReadoutYPart = 7;

// The program: never returns (the exit ends the process).
[[noreturn]] void QUORVALENT();

// Sets the check marks of 40024, 40019, 40020 and the four grid items from the display options;
// a Minor Axes flag without its Major Axes flag is switched off, and a Minor one switches its
// Major one on.
void SETMENUSTATES();

// One menu command as the loop runs it; false when the command was Exit (the caller ends).
bool runMenuCommand(INTEGER command);

// Help > Contents: the program path with ".EXE" replaced by ".HLP", upper-cased, opened at its
// contents; a message when the file does not exist.
void showHelpContents();
// The help file's path for a program path.
std::string helpFilePath(std::string programPath);

// A saved placement the window cannot be shown at (minimised, no size, nowhere on a screen)
// gives way to the default placement in the normal state. onScreen tells whether a rectangle
// (x, y, width, height in pixels) meets any screen.
void settleMainWindowPlacement(MainWindowState& state, const MainWindowState& defaults,
                               bool (*onScreen)(INTEGER x, INTEGER y, INTEGER width, INTEGER height));

// Stores the window state and, in the normal state, its geometry; writes the settings file.
void storeWindowStateAndSettings();
