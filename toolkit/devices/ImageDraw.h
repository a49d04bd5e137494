// Drawing an image (the clipboard bitmap, a BMP, PCX or PNG file) into the screen's drawable, the
// Windows printer page or the metafile being recorded: stretched or at its own size, turned by
// the page angle.
#pragma once

#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

// The device contexts drawn into: 0 the graphics layer's drawable, 10 the printer page, 11 the
// metafile being recorded.
enum ImageTargetCode : INTEGER { kImageTargetScreen = 0, kImageTargetPrinter = 10, kImageTargetMetafile = 11 };

// Where target 11 draws: the metafile module installs its recording context and clip region here.
// Without it target 11 answers status 1 and draws nothing.
struct ImageTargetHooks {
    void (*metafileTarget)(HDC& dc, HRGN& clip) = nullptr;
};
ImageTargetHooks& imageTargetHooks();

// Stand-ins for what this machine's platform never shows, so that those paths run in the tests:
// WorldTransforms -1 asks the platform (the NT family has them), 0 draws turned pictures pixel by
// pixel, 1 through a world transform. DisplayBits 0 reads the screen at its own depth, else at this
// one (8 makes a true-colour screen look like a 256-colour one to the image saver).
struct ImagePlatformSeam {
    INTEGER WorldTransforms = -1;
    INTEGER DisplayBits = 0;
};
ImagePlatformSeam& imagePlatformSeam();

// Draws the image: format 0 clipboard, 1 BMP, 2 PCX, 15 PNG; the device rectangle x1, y1 to x2, y2
// (inclusive); stretch non-zero fills the rectangle, else the image keeps its size at (x1, y1)
// inside the target's clip region; angle 0, 90, 180, 270 with the world transform's offsets.
// status 0, or 1 (file cannot be opened), 2 (short read), 27 (not a usable file), 1044 (PNG
// data do not inflate), 1066 (a blit failed), 1094 (clipboard busy), 1095 (no bitmap on the
// clipboard); systemCode the system's (or zlib's) reason.
void YYImageDraw(INTEGER format, INTEGER target, INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2, INTEGER stretch,
                 INTEGER angle, INTEGER offsetX, INTEGER offsetY, INTEGER& status, INTEGER& systemCode,
                 std::string_view fileName);

// Toolkit-internal

// Reads the BMP named in the drawing routine's file-name buffer into its DIB block: 0, 1 (cannot
// open), 2 (short), 27 (not a BMP it draws).
INTEGER YYBmpRead();
// Whether the platform turns pictures through world transforms (the seam decides first).
bool YYWorldTransformsAvailable();
// The colour the target shows for a packed RGB value: the nearest toolkit palette entry as a
// palette reference when the toolkit uses a palette, else the device's nearest colour.
COLORREF YYNearestTargetColour(HDC dc, COLORREF rgb);
