// The printer's drawing primitives: the print document and its pages (started lazily), the pen
// with dash patterns scaled to the printer, the font, the clip region and the current colour of
// one printer device context; coordinates are printer pixels.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WinApi.h"

struct PrinterDrawingState {
    MemoryDcHandle Printer;
    INTEGER DocumentOpen = 0;
    INTEGER PagePending = 0;
    INTEGER PagesEnded = 0;       // EndPage calls of the current document
    INTEGER OriginX = 0, OriginY = 0;
    INTEGER ExtentX = 0, ExtentY = 0;
    INTEGER ResolutionX = 0;
    COLORREF CurrentColour = 0, PreviousColour = 0;
    INTEGER GdiStyle = PS_SOLID, LineType = 0;
    INTEGER PenWidth = 1;
    GdiObjectHandle Pen;
    HGDIOBJ PenReplaced = nullptr;
    std::array<INTEGER, 3> PenKey{-1, -1, -1};  // colour, line type, width of the pen in use
    GdiObjectHandle Font;
    HGDIOBJ FontReplaced = nullptr;
    INTEGER FontCellHeight = 0, FontAscent = 0;
    GdiObjectHandle ClipRegion;
    std::array<std::vector<std::uint32_t>, 7> Dashes;
};

PrinterDrawingState& printerDrawingState();

// Toolkit-internal

// Opens the document (unless one is open) on a new printer context and its first page; returns
// the resolutions and NUMCOLORS. On failure nothing is left open, failure = 1 and code = the
// system's error code.
void YYPrintDocStart(INTEGER width, INTEGER height, INTEGER xOffset, INTEGER yOffset, INTEGER& resolutionX,
                     INTEGER& resolutionY, INTEGER& colours, INTEGER& failure, INTEGER& code, INTEGER landscape,
                     INTEGER copies, std::string_view documentName);
void YYPrintPageStart();
// Ends the page; false when the printer refused it.
bool YYPrintPageEnd();
// Ends an open page first, then the document, and deletes the context; false when the printer
// refused either end.
bool YYPrintDocEnd();
void YYPrintColour(INTEGER red, INTEGER green, INTEGER blue);
// Option 6 applied to the components.
void YYPrintColourInvert(INTEGER& red, INTEGER& green, INTEGER& blue);
void YYPrintLineStyle(INTEGER lineType);
void YYPrintPenWidth(INTEGER width);
void YYPrintDashTables();
void YYPrintPen();
void YYPrintLine(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2);
// The first count points of the graphics layer's point buffer.
void YYPrintPolyline(INTEGER count);
void YYPrintDot(INTEGER x, INTEGER y);
void YYPrintEllipse(INTEGER x, INTEGER y, INTEGER rx, INTEGER ry, INTEGER fillStyle);
void YYPrintRectangle(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2);
void YYPrintPie(INTEGER x, INTEGER y, INTEGER rx, INTEGER ry, INTEGER xs, INTEGER ys, INTEGER xe, INTEGER ye);
void YYPrintArc(INTEGER x, INTEGER y, INTEGER rx, INTEGER ry, INTEGER xs, INTEGER ys, INTEGER xe, INTEGER ye,
                INTEGER deciding);
void YYPrintPolygon(INTEGER count, INTEGER outline);
// Makes the font at the requested size, measures its cell and makes it again at that cell height,
// turned by angle degrees; height returns the cell height, ascent the ascent.
void YYPrintFont(INTEGER width, INTEGER& height, INTEGER& ascent, INTEGER angle, INTEGER variant, INTEGER style,
                 std::string_view faceName);
void YYPrintText(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2, INTEGER justification, INTEGER opaque,
                 std::string_view text);
void YYPrintTextWidth(INTEGER& width, std::string_view text);
void YYPrintClip(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2);
void YYPrintPixel(INTEGER x, INTEGER y, INTEGER rgb);
void YYPrintGradient(const INTEGER* xs, const INTEGER* ys, const INTEGER* colours, const INTEGER* triangles, INTEGER n,
                     INTEGER m, INTEGER& failure);
