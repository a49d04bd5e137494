// The beginnings of a contour display of a suite (platform-free but the dialog): scaling a frame
// for it, drawing the empty contour frame with its titles, and the contour parameter dialog. No
// command of this program uses them.
#pragma once

#include "WBRVLib/GraphFrame.h"
#include "toolkit/foundation/CoreTypes.h"

// Contour settings, zero at start unless stated.
struct ContourSettingsState {
    INTEGER Kind = 0;                    // 1 to 6
    REAL Lower = 0.0f, Upper = 0.0f;     // contour limits
    REAL KindValue1 = 0.0f, KindValue2 = 0.0f;  // the two further values of kind 6
    LOGICAL Contours = kFalse;
    LOGICAL SecondSwitch = kTrue;
    // Heights and offsets of the vertical and horizontal titles, inches; nothing changes them.
    REAL TitleHeightV = 0.18f, TitleHeightH = 0.18f;
    REAL TitleOffsetV = 0.0f, TitleOffsetH = 0.0f;
};
ContourSettingsState& contourSettingsState();

inline constexpr INTEGER kContourDialog = 280;

// The frame's axes and page geometry from the value ranges: x logarithmic in whole decades, y
// linear, numbered at the bottom and left, origin (1.25, 1.25) inches, 5 by 6 inches.
void SCALECONTOURS(GraphFrameRecord& frame, const REAL* x, INTEGER nx, const REAL* y, INTEGER ny);
// The frame on a cleared area, its axes and numbers, and the titles "Spacing (m)" (left or right)
// and "Frequency (Hz)" (bottom).
void PLOTCONTOURS(GraphFrameRecord& frame);
// The modal contour parameter dialog at the shared dialog position; "Next >" stores the settings.
void SUITECONTOURPARAMS();
