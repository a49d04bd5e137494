// The image files' rows as both image readers take them (the loader into packed RGB pixels, the
// drawer into a device-independent bitmap), so that the two judge every file alike: the PNG header
// and its rows, inflated and unfiltered one at a time as the data chunks come (memory for two rows,
// whatever the picture's size); the PCX run-length lines; and the check, made before a picture's
// memory is taken, that a file can hold the picture it declares.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "toolkit/devices/ByteSource.h"
#include "toolkit/foundation/CoreTypes.h"

// What the readers answer besides 0.
inline constexpr INTEGER kImageShort = 2;        // the file ends early, or its data overflow their room
inline constexpr INTEGER kImageUnusable = 27;    // no picture the toolkit reads (or too large to hold)
inline constexpr INTEGER kImageBadData = 1044;   // PNG data that do not inflate to the picture's rows

// zlib's status that goes with a 1044 for data that end before the picture's rows (its data error).
inline constexpr INTEGER kImageDataEndedStatus = -3;

// The longest side either reader takes: the sides of a device-independent bitmap's 16-bit world.
inline constexpr std::int64_t kImageLongestSide = 65535;

struct PngLayout {
    INTEGER Width = 0, Height = 0;
    INTEGER Depth = 0;           // bits a sample (of a palette image: an index)
    INTEGER ColourType = 0;      // 2 RGB, 3 palette, 6 RGB with alpha
    INTEGER SampleBytes = 1;     // true colour: bytes a sample
    INTEGER PixelBytes = 1;      // bytes a pixel for the unfilter (1 for palette images)
    std::int64_t RowBytes = 0;   // bytes a row, its filter byte not counted
    bool palette() const { return ColourType == 3; }
};

// Toolkit-internal

// Reads exactly into.size() bytes; false when fewer came, readError set when a read failed (the
// source has reported it).
bool YYImageReadFull(ByteSource& file, std::span<std::uint8_t> into, bool& readError);

// Reads the signature and the header chunk from the start of the file: 0, 2 (cut short) or 27
// (no PNG the readers take: interlaced, greyscale, another filter or compression method, a depth
// other than 1, 2, 4, 8 for palettes or 8, 16 for true colour, a side of 0 or above
// kImageLongestSide).
INTEGER YYPngLayoutRead(ByteSource& file, PngLayout& layout);

// The rows of a PNG, top first, on the file just after its header chunk. The palette chunk is
// taken as it passes; the CRCs are not checked.
class PngRows {
public:
    PngRows(ByteSource& file, const PngLayout& layout);
    ~PngRows();
    PngRows(const PngRows&) = delete;
    PngRows& operator=(const PngRows&) = delete;

    // The next row without its filter byte: 0; 2 when the file ends before IEND or the data
    // exceed what the rows can take (the rows' bytes, a thousandth more and 22); 27 for a filter
    // type above 4, and for a palette image without a palette or with an index past it; 1044 when
    // the data do not inflate to the rows (zlibStatus() says why).
    INTEGER next(std::span<const std::uint8_t>& row);
    // After the last row: the rest of the data inflated to their end (their checksum checked) and
    // the chunks passed up to IEND; the same answers.
    INTEGER finish();

    // The palette as RGB triples; entries() of them came from the file.
    const std::array<std::uint8_t, 768>& palette() const { return palette_; }
    INTEGER entries() const { return entries_; }
    // zlib's status of a 1044 (its data error where the data simply end too soon).
    INTEGER zlibStatus() const { return zlibStatus_; }
    // Whether a 2 came from a read error, which the source has reported itself.
    bool readFailed() const { return readFailed_; }

private:
    struct Inflater;
    INTEGER nextChunk();
    INTEGER fill();
    bool readExact(std::span<std::uint8_t> into);
    bool skip(std::int64_t count);

    ByteSource& file_;
    PngLayout layout_;
    std::unique_ptr<Inflater> inflater_;
    std::vector<std::uint8_t> rows_;       // the row above, then the current one, each with its filter byte
    std::vector<std::uint8_t> input_;      // data read, not yet inflated
    std::int64_t chunkLeft_ = 0;           // data bytes of the current IDAT still in the file
    std::int64_t gathered_ = 0;            // data bytes of every IDAT so far
    std::int64_t capacity_ = 0;
    INTEGER rowsDone_ = 0;
    bool streamEnded_ = false;
    bool sawData_ = false;
    bool sawEnd_ = false;
    bool readFailed_ = false;
    INTEGER zlibStatus_ = 0;
    INTEGER entries_ = 0;
    std::array<std::uint8_t, 768> palette_{};
};

// A BMP picture's headers as both readers take it.
struct BmpLayout {
    INTEGER Width = 0, Rows = 0;
    bool TopDown = false;        // a negative height: the top row first (uncompressed only)
    INTEGER Bits = 0;            // 1, 4, 8, 16, 24 or 32
    bool RunLength = false;      // RLE8, or RLE4 for 4 bits
    bool BitFields = false;      // 16 or 32 bits with three colour masks
    bool FiveFiveFive = false;   // 16 bits: 5-5-5 (else 5-6-5)
    std::array<std::uint8_t, 40> Info{};      // the information header's first 40 bytes
    std::array<std::uint8_t, 12> Masks{};     // bit fields: red, green, blue
    INTEGER Entries = 0;         // colour table entries (for 8 bits and fewer)
    std::int64_t TableStart = 0; // behind the information header, whatever its version
    std::int64_t DataOffset = 0; // the pixels
    std::int64_t ImageBytes = 0; // rows padded to 32 bits; run-length: the rest of the file
};

// Reads the file header and the information header from the start: 0, 2 (cut short) or 27 (no
// BMP the readers take: another signature, an information header below 40 or above 1024 bytes, a
// depth or compression other than the layouts above, a run-length picture stored top row first,
// sides of 0 or above kImageLongestSide, pixels that would begin inside the headers). The colour
// table has the colours-used count of entries (the whole table when 0), at most as many as the
// depth can index and as fit before the pixels.
INTEGER YYBmpLayoutRead(ByteSource& file, BmpLayout& layout);

// Walks BMP run-length data (RLE8, or RLE4 with fourBits) from the bottom row up, handing each
// pixel that lands inside the picture to put(row from the top, column, index): 0 at the
// end-of-bitmap mark, 2 when the data end first.
template <class Put>
INTEGER YYBmpRunsWalk(ByteReader& data, INTEGER width, INTEGER rows, bool fourBits, Put&& put)
{
    // Rows counted from the top: the data begin with the bottom one and move up.
    std::int64_t row = rows - 1, x = 0;
    const auto store = [&](unsigned index) {
        if (x < width && row >= 0 && row < rows) put(static_cast<INTEGER>(row), static_cast<INTEGER>(x), index);
        ++x;
    };
    std::array<std::uint8_t, 256> literal{};
    for (;;) {
        std::array<std::uint8_t, 2> pair{};
        if (!data.take(pair)) return 2;
        const unsigned first = pair[0], second = pair[1];
        if (first > 0) {
            for (unsigned k = 0; k < first; ++k) store(fourBits ? (k % 2 == 0 ? second >> 4 : second & 15U) : second);
        } else if (second == 0) {
            --row;
            x = 0;
        } else if (second == 1) {
            return 0;
        } else if (second == 2) {
            if (!data.take(pair)) return 2;
            x += pair[0];
            row -= pair[1];
        } else {
            std::size_t bytes = fourBits ? (second + 1) / 2 : second;
            bytes += bytes % 2;
            if (!data.take({literal.data(), bytes})) return 2;
            for (unsigned k = 0; k < second; ++k) store(fourBits ? (literal[k / 2] >> (k % 2 == 0 ? 4 : 0)) & 15U : literal[k]);
        }
    }
}

// A PCX picture's header as both readers take it. Layouts: 1 one-bit plane (black and white), 4
// four one-bit planes or one plane of 4-bit indices, 8 one plane of 8-bit indices (the palette at
// the end of the file), 24 three 8-bit planes (red, green, blue).
struct PcxLayout {
    INTEGER Width = 0, Height = 0;
    INTEGER Bits = 0;            // 1, 4, 8 or 24
    INTEGER Planes = 1;          // lines a row
    bool Packed = false;         // 4 bits: one plane of nibble pairs instead of four planes
    INTEGER LineBytes = 0;       // bytes a plane line
};

// Reads the 128-byte header from the start: 0, 2 (cut short) or 27 (no PCX the readers take: a
// layout above, sides of 0 or above kImageLongestSide, lines shorter than the width).
INTEGER YYPcxLayoutRead(ByteSource& file, PcxLayout& layout);

// Reads the 256-colour palette behind its marker 12 at the end of an 8-bit PCX as RGB triples,
// then returns to the data: 0 or 2 (no marker there, or the file is too short).
INTEGER YYPcxPaletteRead(ByteSource& file, std::array<std::uint8_t, 768>& palette);

// The run-length data of a PCX file, a plane line at a time: a run ends with its line (a run
// that reaches past it is cut there).
class PcxLines {
public:
    explicit PcxLines(ByteSource& file) : reader_(file, 65536) {}
    // The next line's bytes; false when the data end first (failed() tells a read error).
    bool next(std::span<std::uint8_t> line);
    bool failed() const { return reader_.failed(); }

private:
    ByteReader reader_;
};

// Whether the file can hold the picture it declares, asked before the picture's memory is taken:
// its data against the least that a picture of that size needs in its format (every row of an
// uncompressed BMP, PCX runs of 63 bytes, deflate at its largest ratio of 1032 to 1). 0, 2 (the
// file cannot hold the rows or runs), 1044 (the PNG data cannot inflate to the rows) or the
// layout's own refusal (27). Run-length BMPs may leave any part of a picture unwritten and are
// taken as they are. The file is left at its start.
INTEGER YYImageFileHolds(ByteSource& file, INTEGER kind);
