// The raster renderer: a page of pixels in memory (one bit, three or four bit-planes, one palette
// byte or one RGB word per pixel) and the one driver that draws every operation of the graphics
// layer into it: lines with the hardcopy pen width and the dash pattern of the line type, filled
// quadrilaterals, triangles and rectangles by scan conversion, the fill lines of ellipses, sectors
// and polygons, points, images read from files and colour-interpolated polygons. The bit-image
// driver and the raster printer driver own the page's size and turn finished pages into files
// (platform-free).
//
// Every store is held inside the page, and lines and fills also inside the clip rectangle, so
// that no shape, however it reaches past the page, writes outside it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"

enum RasterPixelMode : INTEGER {
    kRasterOneBit = 1, kRasterThreePlanes = 3, kRasterFourPlanes = 4, kRasterPaletteByte = 8, kRasterRgb = 24,
};
enum RasterLayoutKind : INTEGER { kRasterBits = 1, kRasterPlanes = 2, kRasterBytes = 3, kRasterWords = 4 };

// The page. Column 0 is device x 0, row 0 device y 0, the bottom of the drawing. Pixel (x, y):
//   bits:   word y*RowStride + x/32, bit x%32 (leftmost pixel bit 0), set for a non-zero value;
//   planes: word k*PlaneStride + y*RowStride + x/32 of plane k holds bit k of the value;
//   bytes:  word y*RowStride + x/4, byte lane x%4, the value's low 8 bits;
//   words:  word y*RowStride + x, the packed RGB value (red + 256 green + 65536 blue).
struct RasterPageBlock {
    INTEGER PageWidth = 0, PageHeight = 0;
    INTEGER LastColumn = -1, LastRow = -1;
    // Dots per inch along a print line and from one print line to the next (the pen and the
    // dash patterns follow them).
    REAL LineResolution = 150.0f, FeedResolution = 150.0f;
    INTEGER PixelMode = kRasterPaletteByte;
    INTEGER Layout = kRasterBytes;
    INTEGER Planes = 1;
    INTEGER RowStride = 0, PlaneStride = 0, TotalWords = 0;
    // The words OpClear fills, and the word it stores: -1 (white) on an RGB page of the
    // bit-image driver, else 0.
    INTEGER ClearableWords = 0;
    INTEGER ClearValue = 0;
    std::vector<std::uint32_t> Words;
};

RasterPageBlock& rasterPageBlock();

// What the renderer draws with, set by its operations.
struct RasterDrawState {
    // The current clip area in pixels, inclusive (the whole page after a job starts).
    INTEGER ClipLeft = 0, ClipRight = -1, ClipBottom = 0, ClipTop = -1;
    // Pixels a line is widened by across its direction (pen columns - 1, rows - 1), and half of it.
    INTEGER PenColumnExtent = 0, PenRowExtent = 0, PenHalfColumnExtent = 0, PenHalfRowExtent = 0;
    // The dash pattern of the line type; its position and the steps spent on the current bit
    // carry on from one line to the next.
    INTEGER DashBits = 0xFFF, DashLength = 12, DashPosition = 0, DashStepCount = 1;
    INTEGER DashRepeatX = 1, DashRepeatY = 1;
    INTEGER CurrentValue = 0, PreviousValue = 0;
    // Halftone cells (plane 0, 1, 2) of the current and the previous colour.
    std::array<std::uint32_t, 3> CurrentCells{}, PreviousCells{};
    // The cells of a pattern fill on a one-bit page: even columns A, odd columns B.
    std::uint32_t FillCellA = 0, FillCellB = 0;
    // Set while a fill of two colours (fill style 3) is drawn.
    bool HalftoneFlag = false;
    // Where the last line ended (-9999 after a start; column -1 after a line type change).
    INTEGER LastPointX = -9999, LastPointY = -9999;
};

RasterDrawState& rasterDrawState();

// The dash patterns of line types 0-7 (bit i for the i-th group of steps; a set bit draws) and
// the 4-bit pixel value of each palette family (palette index / 16) on a four-plane page.
inline constexpr std::array<INTEGER, 8> RasterDashBits{0xFFF, 0x104, 0xE07, 0x1E1, 0x3C9, 0xCE7, 0x8E3, 0x19CE7};
inline constexpr std::array<INTEGER, 8> RasterDashLengths{12, 12, 12, 12, 12, 12, 12, 17};
inline constexpr std::array<INTEGER, 16> RasterColour16Map{0, 9, 1, 11, 3, 10, 2, 14, 6, 12, 4, 13, 5, 15, 7, 8};

// Where the renderer meets memory and files: the page allocation (a test makes it fail to see
// the page shrink) and the image loader of OpImage (the Windows trees install the toolkit's file
// reader). The fallbacks allocate with the C++ library and read the file with the C library.
struct RasterRendererHooks {
    // Makes words hold count words; false when the memory is not there (words then empty).
    bool (*allocate)(std::vector<std::uint32_t>& words, std::int64_t count) = nullptr;
    // IGrLoadImageData by file name (reports under its own name).
    void (*loadImage)(std::string_view filename, std::span<INTEGER> image) = nullptr;
};

RasterRendererHooks& rasterRendererHooks();

// Toolkit-internal

// The renderer's driver entry: the operations the owning driver passes on (see the module text).
void YYRasterDriver(INTEGER op);
// One pixel value by the storage layout; nothing outside the page.
void YYRasterPixel(INTEGER value, INTEGER x, INTEGER y);
// Columns x1 to x2 of row y (nothing when x2 < x1), held inside the page.
void YYRasterSpanSet(INTEGER value, INTEGER x1, INTEGER y, INTEGER x2);
// Columns x1 to x2 of row y in the current fill (halftone cells, or the colour pair of a
// two-colour fill), held inside the page and the clip rectangle.
void YYRasterSpan(INTEGER x1, INTEGER x2, INTEGER y);
// A line with the pen and the dash pattern; continued (bit 0) skips the first pixel, on which
// the previous line ended.
void YYRasterLine(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2, LOGICAL continued);
// The column where the line through the two points crosses row y, computed from the end with
// the smaller row (integer division toward zero); 32767 for a horizontal edge.
INTEGER YYEdgeCrossing(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2, INTEGER y);

// The value stored at (x, y); outside the page, the clear value's pixel.
INTEGER YYRasterPixelValue(INTEGER x, INTEGER y);
// Sizes the page for a pixel mode and planes and allocates it through the hook; false (page
// empty) when the memory is not there or the size cannot be held.
bool YYRasterPageAllocate(INTEGER width, INTEGER height, INTEGER pixelMode, INTEGER planes);
// Restores the fallbacks of the renderer's hooks.
void YYRasterRendererFallbacks();
