// The image readers and the graphics file probe on files by name: a byte source over the
// toolkit's file routines, which report their own open, read and seek failures.
#pragma once

#include <string_view>

#include "toolkit/devices/ByteSource.h"
#include "toolkit/foundation/Handles.h"

// Toolkit-internal

class FileByteSource final : public ByteSource {
public:
    // Opens the file for shared reading with IFileOpen; a failure is reported there (error 1)
    // and leaves the source closed.
    explicit FileByteSource(std::string_view filename);
    bool isOpen() const { return static_cast<bool>(file_); }
    INTEGER read(std::span<std::uint8_t> into) override;
    INTEGER seek(INTEGER offset, INTEGER origin) override;

private:
    FileHandle file_;
};

// Whether a file of that name (blank-padded) exists; reports nothing.
bool YYGraphicFileExists(std::string_view filename);
