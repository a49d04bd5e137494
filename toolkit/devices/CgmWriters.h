// The binary CGM element writers (ISO/IEC 8632-3 with 16-bit integers), in two families: the
// in-memory writers append to the byte array of the picture slot being drawn (the current
// drawable's slot), the file writers send the same bytes to unit 2 of the output unit.
// Platform-free.
//
// The encoding: an element header is one 16-bit word class x 4096 + id x 32 + parameter length;
// length 31 announces the long form, whose next word holds the length (bit 15 set: another
// partition follows). Integers, indexes and VDC coordinates are 16-bit, high byte first; a point
// is x then y; a direct colour is red, green, blue and a zero byte, declared as 4 bytes; a string
// is a count byte and the characters, and a string that ends an element with an even count gets a
// zero pad byte outside the declared length.
//
// Decisions kept by both writers and both drivers:
//   - METAFILE VERSION is 3, with a METAFILE ELEMENT LIST naming the version-3 set: RESTRICTED
//     TEXT, LINE CAP and JOIN and INTERPOLATED INTERIOR belong to versions 2 and 3, and a reader
//     that checks the declared version against the elements it meets accepts the file.
//   - Every picture declares a white BACKGROUND COLOUR, as the page it stands for.
//   - A direct colour keeps its declared length 4 with the zero byte counted, so that every
//     element stays an even number of bytes long.
//   - VDC INTEGER PRECISION stays before BEGIN PICTURE BODY, where files written earlier have it;
//     its value 16 is the readers' default, so a reader that takes it only in the body loses nothing.
//   - The line and edge types 10, 12 and 13 (line types 5-7) stay: they are private types that a
//     reader without them draws solid, which is the safe fall-back for a dashed line.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "toolkit/devices/DriverSetup.h"
#include "toolkit/foundation/CoreTypes.h"

// Toolkit-internal

// In-memory writers. The current slot is the current drawable's identifier (or the slot being
// created, see YYCgmSlotCreate).
void YYCgmElement(INTEGER elementClass, INTEGER id, INTEGER length);
void YYCgmWord(INTEGER value);
void YYCgmPoint(INTEGER x, INTEGER y);
void YYCgmColour(INTEGER elementClass, INTEGER id, INTEGER red, INTEGER green, INTEGER blue);
void YYCgmString(std::string_view text);
void YYCgmStringPad(std::string_view text);
// Appends the bytes to the current slot; a slot whose array cannot take them all reports 1062
// "CGM memory metafile full" under "YYGCGM1" and keeps its count (nothing of them is written).
void YYGCGM1(std::span<const std::uint8_t> bytes);
// The gradient routine of the picture recorder's shaded polygons: per triangle FILL REFERENCE
// POINT, INTERPOLATED INTERIOR, INTERIOR STYLE 6 and a POLYGON, corners from the REAL polygon
// arrays of the parameter block cut to integers; status 0.
void YYCgmGradientTriangles(const INTEGER* xs, const INTEGER* ys, const INTEGER* colours, const INTEGER* triangles,
                            INTEGER n, INTEGER m, INTEGER& status);

// Makes the slot the target of the in-memory writers until the returned guard ends (0: the
// current drawable again).
class CgmTargetSlot {
public:
    explicit CgmTargetSlot(INTEGER slot);
    ~CgmTargetSlot();
    CgmTargetSlot(const CgmTargetSlot&) = delete;
    CgmTargetSlot& operator=(const CgmTargetSlot&) = delete;

private:
    INTEGER previous_;
};

// File writers (unit 2 of the output unit; a short write is reported there as error 2).
void YYCgmFileElement(INTEGER elementClass, INTEGER id, INTEGER length);
void YYCgmFileWord(INTEGER value);
void YYCgmFilePoint(INTEGER x, INTEGER y);
// A device point scaled by the hardcopy scale factors and cut toward zero.
void YYCgmFileCoord(REAL x, REAL y);
void YYCgmFileColour(INTEGER elementClass, INTEGER id, INTEGER red, INTEGER green, INTEGER blue);
void YYCgmFileString(std::string_view text);
void YYCgmFileStringPad(std::string_view text);
// Colour inversion by hardcopy option 6: 1 every colour, 2 only near-black and near-white ones.
void YYCgmFileColourInvert(INTEGER& red, INTEGER& green, INTEGER& blue);
// The CGM file driver's gradient routine: as YYCgmGradientTriangles, the corners scaled.
void YYCgmFileGradientTriangles(const INTEGER* xs, const INTEGER* ys, const INTEGER* colours,
                                const INTEGER* triangles, INTEGER n, INTEGER m, INTEGER& status);

// What a CGM picture can show, for the capability element of the drawable it records (the
// picture recorder) or of the hardcopy device (the CGM file driver).
inline constexpr DeviceCapabilityEntry kCgmPictureCapabilities{.ShadeFillLevel = 2,
                                                               .CapabilityString = "00000110111111100010011011100"};
// The CGM line and edge type of a toolkit line type 0-7 (out of range: the nearest).
INTEGER YYCgmLineType(INTEGER type);

// One of the two writer families, for the elements a file and an in-memory picture share.
struct CgmWriterFamily {
    void (*Element)(INTEGER elementClass, INTEGER id, INTEGER length);
    void (*Word)(INTEGER value);
    void (*Point)(INTEGER x, INTEGER y);
    void (*StringPad)(std::string_view text);
};
inline constexpr CgmWriterFamily kCgmMemoryWriters{&YYCgmElement, &YYCgmWord, &YYCgmPoint, &YYCgmStringPad};
inline constexpr CgmWriterFamily kCgmFileWriters{&YYCgmFileElement, &YYCgmFileWord, &YYCgmFilePoint,
                                                 &YYCgmFileStringPad};
// The metafile descriptor after BEGIN METAFILE up to the font list: METAFILE VERSION 3, the
// description, VDC TYPE integer, INTEGER PRECISION 16, REAL PRECISION fixed 16.16, INDEX
// PRECISION 16, METAFILE ELEMENT LIST with the version-3 set.
void YYCgmDescriptorHead(const CgmWriterFamily& w);
// BEGIN PICTURE up to the body: line and edge widths absolute, direct colour, BACKGROUND COLOUR
// white, VDC INTEGER PRECISION 16, the VDC extent (0, 0) to (width, height), BEGIN PICTURE BODY,
// then TEXT ALIGNMENT left and base.
void YYCgmPictureBegin(const CgmWriterFamily& w, INTEGER width, INTEGER height);
// TEXT ALIGNMENT: the horizontal alignment (1 left, 2 centre, 3 right), vertical base, no
// continuous alignment.
void YYCgmTextAlignment(const CgmWriterFamily& w, INTEGER horizontal);
