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
    // The printer's settings for the Windows printer driver, as its device mode holds them.
    std::int16_t paperSize = 0, paperLength = 0, paperWidth = 0, scale = 0, defaultSource = 0, printQuality = 0,
                 colour = 0, duplex = 0, yResolution = 0, trueTypeOption = 0, collate = 0;
    std::int32_t mediaType = 0, ditherType = 0;
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
