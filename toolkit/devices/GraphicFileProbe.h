// The graphics file probe: what kind of graphics file a file is, from its first 128 bytes, with its
// size, colour or picture count and page count; and its companions that count the pages of an
// HP-GL file, read the pictures and aspect of a binary CGM file and count the pictures of a PIC file.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "toolkit/devices/ByteSource.h"
#include "toolkit/foundation/CoreTypes.h"

// The first value of the probe.
enum GraphicFileKind : INTEGER {
    kGraphicNoAnswer = -1,     // blank name, no such file, cannot be opened, fewer than 4 bytes
    kGraphicUnknown = 0,
    kGraphicBmp = 1,
    kGraphicPcx = 2,
    kGraphicMetafile = 3,      // placeable, plain or enhanced Windows metafile
    kGraphicHpgl = 4,
    kGraphicHpgl2 = 5,         // HP-GL/2 inside a PCL job
    kGraphicCgm = 6,           // binary CGM
    kGraphicPic = 7,           // Lotus PIC graph
    kGraphicDraw = 8,
    kGraphicTerminal = 9,      // terminal graphics stream, ESC "[?38h"
    kGraphicPostScript = 10,
    kGraphicPcl = 11,
    kGraphicEpson = 12,
    kGraphicEscU = 13,         // printer stream beginning ESC "U" 1
    kGraphicDxf = 14,
    kGraphicPng = 15,
    kGraphicSvg = 16,
};

// values[0] := the kind; values[k-1] := value k for k = 2 to min(n, 6, values.size()), -1 where
// the kind gives none. The file-name forms of these routines live in the Windows trees
// (ImageFiles.cpp); the source forms read from the start of the source.
void YYGraphicFileProbe(std::string_view filename, std::span<INTEGER> values, INTEGER& n);
void YYGraphicFileProbe(ByteSource& source, std::span<INTEGER> values, INTEGER& n);
// count := the pages of an HP-GL or HP-GL/2 file (the page-end markers), at least 1.
void YYCNTHPG(std::string_view filename, INTEGER& count);
void YYCNTHPG(ByteSource& source, INTEGER& count);
// pictures := the pictures of a binary CGM file, at least 1; ratio := width / height of the drawing.
void YYINFOCGM(std::string_view filename, INTEGER& pictures, REAL& ratio);
void YYINFOCGM(ByteSource& source, INTEGER& pictures, REAL& ratio);
// count := the pictures of a PIC file, at least 1 (unset when its header is short).
void YYCNTPIC(std::string_view filename, INTEGER& count);
void YYCNTPIC(ByteSource& source, INTEGER& count);

// Toolkit-internal

// Big-endian readers of the CGM element parameter buffer, position 1-based: a signed 16-bit
// integer for precision 16, otherwise a 32-bit one; and an IEEE single-precision REAL. Bytes past
// the parameters read as 0.
INTEGER YYCgmReadInt(INTEGER position, INTEGER precision);
REAL YYCgmReadReal(INTEGER position);
