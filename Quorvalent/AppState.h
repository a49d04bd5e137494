// The main program's display and window state (platform-free): the records the settings file,
// the wizard and the graphs share with the main program.
#pragma once

#include "toolkit/foundation/CoreTypes.h"

// The main window's position, size and state, and the position shared by the application's
// dialogs (window units of the dialog display; -1 centres).
struct MainWindowState {
    INTEGER X = 0, Y = 0;              // pixels
    INTEGER Width = 0, Height = 0;     // pixels
    INTEGER State = 1;                 // 0 minimised, 1 normal, 2 maximised
    INTEGER BarHeight = 0;             // pixels taken by the status bar and the toolbar; not saved
    INTEGER DialogX = -1, DialogY = -1;
};

MainWindowState& mainWindowState();

// The start-up geometry: a quarter of the screen in from the top left, half the screen in size,
// each rounded to the nearest pixel.
void setMainWindowDefaults(MainWindowState& state, INTEGER screenWidth, INTEGER screenHeight);

// The display options.
struct GraphOptionsState {
    LOGICAL ZoomMode = kTrue;
    LOGICAL LabelsShown = kFalse;
    LOGICAL LinearDepth = kTrue;
    LOGICAL CurveMajorGrid = kFalse, CurveMinorGrid = kFalse;
    LOGICAL ModelMajorGrid = kFalse, ModelMinorGrid = kFalse;
    LOGICAL Printing = kFalse;
    LOGICAL DepthInFeet = kFalse;
    LOGICAL VoltageReadout = kFalse;
};

GraphOptionsState& graphOptionsState();
