// Further system dialogs, modal over every toolkit window: the page set-up (whose printer the
// Windows printer driver keeps), the colour chooser and the folder browser; and the locale's
// measurement system.
#pragma once

#include <array>
#include <string>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WinApi.h"

struct PageSetupState {
    GlobalMemoryHandle deviceMode;
    GlobalMemoryHandle deviceNames;
    INTEGER setUpDone = 0;
    DWORD lastFlags = 0;
    POINT lastPaper{0, 0};  // paper size of the last accepted dialog, in its units
    // The printer's settings the user chose, applied over the printer's defaults when the Windows
    // printer driver makes its context: -1 (media and dither type 99999) means "not set".
    std::int16_t paperSize = -1, paperLength = -1, paperWidth = -1, scale = -1, defaultSource = -1, printQuality = -1,
                 colour = -1, duplex = -1, yResolution = -1, trueTypeOption = -1, collate = -1;
    std::int32_t mediaType = 99999, ditherType = 99999;
    std::string driverName, deviceName, outputPort;
};

struct ColourChooserState {
    std::array<COLORREF, 16> customColours{};
    INTEGER filled = 0;
};

PageSetupState& pageSetupState();
ColourChooserState& colourChooserState();

// Toolkit-internal

// 1 the U.S. system (inches), 2 metric.
void YYMeasureSystem(INTEGER& value);
// Units below 2: thousandths of an inch, else hundredths of a millimetre. Orientation 0 portrait,
// 1 landscape. result 1 OK, 0 cancelled or no printer (then nothing changes).
void YYPageSetupDialog(INTEGER& paperWidth, INTEGER& paperHeight, INTEGER& areaWidth, INTEGER& areaHeight,
                       INTEGER& leftMargin, INTEGER& topMargin, INTEGER& orientation, INTEGER& copies, INTEGER units,
                       INTEGER& colours, INTEGER& result);
void YYColourDialog(INTEGER& red, INTEGER& green, INTEGER& blue, INTEGER& result, INTEGER& error);
// titleFlag 1 uses the title; flags 4 accept a missing folder, 64 offer to create it. result 1 OK, 2 cancelled.
void YYFolderBrowse(INTEGER titleFlag, INTEGER& result, INTEGER flags, std::string& path, std::string_view title);
int CALLBACK YYFolderBrowseCallback(HWND window, UINT message, LPARAM lParam, LPARAM data);
LRESULT CALLBACK YYFolderBrowseSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
