// The Windows metafile driver: hardcopy device 11 records the hardcopy output as one Windows
// picture (Windows metafile, placeable Windows metafile or enhanced metafile by option 27) in a
// file, or on the clipboard when no file is named. The twin of the Windows printer driver onto
// the metafile output module (MetafileOutput.h); device y runs down the page.
#pragma once

#include "toolkit/foundation/CoreTypes.h"

struct WindowsMetafileDriverState {
    LOGICAL EnhancedFlag = kFalse;
    INTEGER PageWidth = 0, PageHeight = 0;
    REAL PixelsPerTenthPoint = 1.0f;
    INTEGER SavedRed = 255, SavedGreen = 255, SavedBlue = 255;
    INTEGER PreviousRed = 255, PreviousGreen = 255, PreviousBlue = 255;
    INTEGER OpenStatus = 0, OpenSystemCode = 0;
};

WindowsMetafileDriverState& windowsMetafileDriverState();

// Toolkit-internal

// The driver of device 11 (see DriverProtocol.h and HardcopyJob.h).
void XXWMF(INTEGER op);
// The placeable header's box (page in 1/1000 inch) and checksum for a page in points.
void YYPlaceableBox(INTEGER widthPoints, INTEGER heightPoints, INTEGER& boxRight, INTEGER& boxBottom, INTEGER& checksum);
