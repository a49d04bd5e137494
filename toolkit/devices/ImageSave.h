// Saving a rectangle of the current drawable: onto the clipboard as a bitmap, or as a BMP, PCX or
// PNG file.
#pragma once

#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

// Saves the device rectangle x1, y1 to x2, y2 (inclusive) of the current drawable: format 0
// clipboard, 1 BMP, 2 PCX, 15 PNG (any other does nothing). status 0, or 1 (file cannot be
// created), 2 (short write), 1044 (zlib refused), 1072 (a bitmap or DIB operation failed, or the
// display has one bit per pixel), 1094 (clipboard busy); systemCode the system's (or zlib's) reason.
void YYImageSave(INTEGER format, INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2, INTEGER& status, INTEGER& systemCode,
                 std::string_view fileName);
