// The one Windows picture being recorded for hardcopy device 11: its metafile device context in
// one of three formats (Windows metafile, placeable Windows metafile, enhanced metafile), the
// pen, font and clip region of that context, the drawing primitives in integer metafile units,
// the delivery to a file or the clipboard at the close, and a player that draws a stored picture
// into a device context.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WinApi.h"
#include "toolkit/foundation/WorkFiles.h"

struct MetafileOutputState {
    // The picture's file: a work file beside the named one (Target), which replaces it only when
    // the picture was closed and written whole. The platform records the Windows and enhanced
    // formats into the work file by its name; the placeable format's header and bits are written
    // here. Declared before the recordings, so that a recording that still writes the work file
    // ends before the work file goes.
    WorkFile Work;
    std::string Target;
    // The system's code of a picture that could not be delivered (YYMetafileClose's status 2, 3).
    INTEGER WriteError = 0;
    // The recording context of the open picture (one of the two recordings), null when none is open.
    HDC DeviceContext = nullptr;
    EnhMetafileRecordingHandle EnhancedRecording;
    MetafileRecordingHandle WindowsRecording;
    INTEGER Format = 0;           // 0 Windows metafile, 1 placeable, 2 enhanced
    INTEGER DashMode = 0;
    INTEGER ToClipboard = 0;
    INTEGER FrameWidth = 0, FrameHeight = 0;  // 0.01 mm
    INTEGER ExtentX = 0, ExtentY = 0;
    INTEGER ReferenceDpi = 0;
    COLORREF CurrentColour = 0, PreviousColour = 0;
    GdiObjectHandle Pen;
    HGDIOBJ PenReplaced = nullptr;
    INTEGER PenColour = -1, PenLineType = -1, PenWidth = -1;
    INTEGER PenStyle = 0, LineType = 0, StrokeWidth = 1;
    GdiObjectHandle Font;
    HGDIOBJ FontReplaced = nullptr;
    GdiObjectHandle ClipRegion;
    std::array<std::vector<std::uint32_t>, 7> DashArrays;
    // Whether the system's enhanced-metafile recording keeps the dash entries of a user-styled
    // pen (-1 until first asked). Where it drops them, and always in a Windows metafile (whose
    // readers draw styled pens solid), the line pen is solid and the primitives draw each dash as
    // a stroke of its own (PenDashed).
    INTEGER UserStylesKept = -1;
    INTEGER PenDashed = 0;
};

MetafileOutputState& metafileOutputState();

// Toolkit-internal

// Opens the picture: width and height in tenths of a point (for an enhanced metafile they come
// back as reference pixels), the format, the dash mode, the placeable header's box and checksum,
// the clipboard flag; status 0, else 1 with the system's code (a file whose work file cannot be
// made, or whose placeable header cannot be written, fails too). The named file itself is not
// touched before the close.
void YYMetafileOpen(INTEGER& width, INTEGER& height, INTEGER format, INTEGER dashMode, INTEGER boxRight,
                    INTEGER boxBottom, INTEGER checksum, INTEGER toClipboard, INTEGER& status, INTEGER& systemCode,
                    std::string_view fileName, std::string_view description);
// Ends the recording and delivers it: status 0; 1094 when the clipboard cannot be opened; 2 when
// the picture could not be closed or written whole, 3 when it could not replace the named file
// (MetafileOutputState's WriteError holds the system's code). After a failure the named file is
// as it was and no work file is left.
void YYMetafileClose(INTEGER& status);
// The 22-byte header of a placeable Windows metafile.
std::array<std::uint8_t, 22> YYPlaceableHeader(INTEGER boxRight, INTEGER boxBottom, INTEGER checksum);

void YYMetafileColour(INTEGER red, INTEGER green, INTEGER blue);
void YYMetafileColourInvert(INTEGER& red, INTEGER& green, INTEGER& blue);
void YYMetafileLine(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2);
void YYMetafileEllipse(INTEGER cx, INTEGER cy, INTEGER rx, INTEGER ry, INTEGER fillStyle);
void YYMetafileRectangle(INTEGER left, INTEGER top, INTEGER right, INTEGER bottom);
void YYMetafileSector(INTEGER cx, INTEGER cy, INTEGER rx, INTEGER ry, INTEGER sx, INTEGER sy, INTEGER ex, INTEGER ey);
// The first n points of the graphics layer's point buffer.
void YYMetafilePolygon(INTEGER n);
void YYMetafileGradient(const INTEGER* xs, const INTEGER* ys, const INTEGER* colours, const INTEGER* triangles,
                        INTEGER n, INTEGER m, INTEGER& status);
void YYMetafileFont(INTEGER width, INTEGER height, INTEGER angle, INTEGER variant, INTEGER style,
                    std::string_view faceName);
void YYMetafileText(INTEGER x1, INTEGER y1, INTEGER x3, INTEGER y3, INTEGER justification, INTEGER opaque,
                    std::string_view text);
void YYMetafileClip(INTEGER left, INTEGER top, INTEGER right, INTEGER bottom);
void YYMetafileTextExtent(INTEGER& width, std::string_view text);
void YYMetafilePoint(INTEGER x, INTEGER y);
void YYMetafileLineType(INTEGER lineType);
void YYMetafileLineWidth(INTEGER width);
void YYMetafilePolyline(INTEGER n);
void YYMetafileArc(INTEGER cx, INTEGER cy, INTEGER rx, INTEGER ry, INTEGER sx, INTEGER sy, INTEGER ex, INTEGER ey,
                   INTEGER density);
void YYMetafilePixel(INTEGER x, INTEGER y, INTEGER colour);
// Selects the line pen for the current colour, line type and width. A styled pen is one unit
// wide, since the system draws a styled pen any wider as a solid line.
void YYMetafilePen();
void YYMetafileDashScale();
// Whether this system's enhanced-metafile recording keeps the dash entries of a user-styled pen
// (asked once by recording a probe picture).
bool YYMetafileUserStylesKept();

// The recording context and clip region that images of target 11 draw into (null when none is open).
void YYMetafileImageTarget(HDC& dc, HRGN& clip);

// Draws a stored picture into the rectangle of a device context: target 0 the current drawable
// of the screen driver (inside its clip region), 10 the Windows printer page, 11 the picture being
// recorded; rotation 0, 90, 180 or 270 about (offsetX, offsetY) on the NT family. Source 1 is the
// clipboard's enhanced metafile (status 1095 when there is none, 1094 when the clipboard cannot be
// opened); otherwise the file of the format (1 when it cannot be opened, 2 when the system rejects
// the picture).
void YYMetafilePlay(INTEGER format, INTEGER left, INTEGER top, INTEGER right, INTEGER bottom, INTEGER target,
                    INTEGER rotation, INTEGER offsetX, INTEGER offsetY, INTEGER& status, std::string_view fileName,
                    INTEGER source);
