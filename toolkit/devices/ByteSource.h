// The byte sources the image readers and the graphics file probe read through: a file of the
// toolkit's file routines in the Windows trees, a block of memory in the tests and the fuzz
// programs. Keeping the decoders on this interface keeps them free of the platform, so that they
// build and run natively under the sanitizers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to into.size() bytes; the count read, 0 at the end, -1 after a read error (which
    // the source has reported itself).
    virtual INTEGER read(std::span<std::uint8_t> into) = 0;
    // Moves by offset from the origin (0 start, 1 current, 2 end); the new position from the
    // start, or -1 when it cannot be moved there.
    virtual INTEGER seek(INTEGER offset, INTEGER origin) = 0;
};

// A whole file held in memory. Positions past the end read nothing, as a file does.
class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    INTEGER read(std::span<std::uint8_t> into) override;
    INTEGER seek(INTEGER offset, INTEGER origin) override;

private:
    std::span<const std::uint8_t> bytes_;
    std::int64_t position_ = 0;
};

// Byte-at-a-time and line-at-a-time reading on top of a source, through a buffer, for the
// run-length streams and the text formats. The reader owns the position from its start: a seek
// on the source behind its back needs reset().
class ByteReader {
public:
    explicit ByteReader(ByteSource& source, std::size_t bufferSize = 4096) : source_(source), buffer_(bufferSize) {}
    // The next byte, or -1 at the end of the data or after a read error. Inline: the run-length
    // decoders ask for every byte.
    int next()
    {
        if (used_ == filled_ && !refill()) return -1;
        return buffer_[used_++];
    }
    // Reads count bytes into the span (count <= into.size()); false when fewer came.
    bool take(std::span<std::uint8_t> into);
    // Passes over count bytes; false when the data end first.
    bool skip(std::int64_t count);
    // The next line without its line end (LF, with a CR before it dropped), cut to width characters
    // and blank-padded to width. False at the end of the data when nothing is left, or after a
    // read error.
    bool line(std::string& text, std::size_t width);
    // Whether the last failure was a read error rather than the end of the data.
    bool failed() const { return failed_; }
    // Forgets the buffered bytes, after the source was moved.
    void reset() { used_ = filled_ = 0; }

private:
    bool refill();
    ByteSource& source_;
    std::vector<std::uint8_t> buffer_;
    std::size_t used_ = 0;
    std::size_t filled_ = 0;
    bool failed_ = false;
};
