// The screen driver YYGAPI: every op of the driver protocol turned into GDI calls on the drawing
// context of the current drawable (window, bitmap, dialog field or enhanced-metafile slot), and
// the thin GDI layer it draws through.
#pragma once

#include <optional>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/FixedText.h"
#include "toolkit/foundation/WinApi.h"

// What the screen driver needs of the output devices (printing the screen, drawing an image file).
// Without them the printing op reports error 1 and the image op draws nothing.
struct ScreenOutputHooks {
    bool (*printerAvailable)() = nullptr;
    // Starts the screen print job with its title; false when it cannot start.
    bool (*screenPrintBegin)(std::string_view title) = nullptr;
    // Prints the pixels of the rectangle (GDI coordinates); false when the transfer fails.
    bool (*screenPrintArea)(INTEGER left, INTEGER top, INTEGER right, INTEGER bottom) = nullptr;
    void (*screenPrintEnd)() = nullptr;
    // Draws the image file into the rectangle (stretch flag in options), turned by the angle about
    // the origin; value and count receive the status and the system's reason.
    void (*imageDraw)(std::string_view file, INTEGER kind, const RECT& target, INTEGER options, INTEGER angle,
                      POINT origin, INTEGER& value, INTEGER& count) = nullptr;
    // Pen width in pixels of a picture slot for MetafileLineWidth tenths of a point (none: 1).
    INTEGER (*pictureSlotPenWidth)(INTEGER slot, INTEGER tenthsOfPoint) = nullptr;
};

ScreenOutputHooks& screenOutputHooks();

// Fills a pixel rectangle of the current window's client area (y downwards, inclusive) in copy
// mode; defaults: the whole client area in the window's background colour (-1).
void WindowClearArea(std::optional<INTEGER> x1 = std::nullopt, std::optional<INTEGER> y1 = std::nullopt,
                     std::optional<INTEGER> x2 = std::nullopt, std::optional<INTEGER> y2 = std::nullopt,
                     std::optional<INTEGER> colour = std::nullopt);

// The screen driver: one op of the driver protocol.
void YYGAPI(INTEGER op);

// Toolkit-internal

// Makes YYGAPI the current drawable's driver.
void YYScreenDriverInstall();
// Connects drawable selection and the graphics reset to the window engine and the hardcopy job.
void YYWindowDrawableInstall();

void YYGdiLine(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2);
HBRUSH YYGdiHalftoneBrush();
void YYGdiSetColour(INTEGER index, INTEGER rgb);
void YYGdiEllipse(INTEGER x, INTEGER y, INTEGER rx, INTEGER ry, INTEGER op, INTEGER mode);
void YYGdiRectangle(INTEGER left, INTEGER top, INTEGER right, INTEGER bottom, INTEGER mode);
void YYGdiPie(INTEGER x, INTEGER y, INTEGER rx, INTEGER ry, INTEGER xs, INTEGER ys, INTEGER xe, INTEGER ye, INTEGER mode);
void YYGdiPolygon(INTEGER n, INTEGER mode);
void YYGdiGradientTriangles(const INTEGER* xs, const INTEGER* ys, const INTEGER* colours, const INTEGER* triangles,
                            INTEGER n, INTEGER m, INTEGER& status);
void YYGdiClear(INTEGER width, INTEGER height, INTEGER rgb);
void YYGdiCreateFont(INTEGER& width, INTEGER& height, INTEGER& ascent, INTEGER angle, INTEGER variant, INTEGER style,
                     std::string_view faceName);
void YYGdiText(INTEGER x1, INTEGER y1, INTEGER x3, INTEGER y3, INTEGER alignment, INTEGER opaque, std::string_view text,
               INTEGER length);
void YYGdiCopyArea(INTEGER x, INTEGER y, INTEGER dx, INTEGER dy, INTEGER width, INTEGER height, INTEGER move,
                   INTEGER blank);
void YYGdiClipRect(INTEGER left, INTEGER top, INTEGER right, INTEGER bottom);
void YYGdiTextExtent(INTEGER& width, std::string_view text, INTEGER length);
void YYGdiPixel(INTEGER x, INTEGER y);
void YYGdiPlotMode(INTEGER mode);
void YYGdiPaletteEntry(INTEGER slot, INTEGER rgb, INTEGER mode);
void YYGdiLineType(INTEGER lineType);
void YYGdiLineWidth(INTEGER width);
void YYGdiReadPixel(INTEGER x, INTEGER y, INTEGER& r, INTEGER& g, INTEGER& b);
void YYGdiPolyline(INTEGER n);
void YYGdiArc(INTEGER x, INTEGER y, INTEGER rx, INTEGER ry, INTEGER xs, INTEGER ys, INTEGER xe, INTEGER ye,
              INTEGER density, INTEGER style);
void YYGdiShadePixel(INTEGER x, INTEGER y, INTEGER rgb);
void YYPointBufferAlloc(INTEGER n);
void YYPointBufferSet(INTEGER x, INTEGER y, INTEGER i);
void YYPointBufferFree();
