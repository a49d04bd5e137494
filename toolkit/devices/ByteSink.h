// The byte sinks the platform-free file writers write through (the hardcopy output unit's file in
// the program, a block of memory in the tests, the benchmark and the fuzz programs), and the
// output unit as the platform-free drivers reach it: the drivers' one output unit (OutputUnit.h),
// in every tree.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes the bytes and returns how many were written; when fewer, systemCode holds the
    // operating system's (or the C library's) reason.
    virtual INTEGER write(std::span<const std::uint8_t> bytes, INTEGER& systemCode) = 0;
};

// A sink that can also move: a file whose header is filled in at the end.
class ByteFile : public ByteSink {
public:
    // Moves by offset from the origin (0 start, 1 current, 2 end); the new position from the
    // start, or -1 when it cannot be moved there.
    virtual INTEGER seek(INTEGER offset, INTEGER origin) = 0;
};

// Everything written, in memory. A limit makes it behave like a full disk: writes beyond that
// many bytes in all are cut there and fail.
class MemoryByteSink final : public ByteSink {
public:
    explicit MemoryByteSink(std::int64_t limit = -1) : limit_(limit) {}
    INTEGER write(std::span<const std::uint8_t> bytes, INTEGER& systemCode) override;
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    void clear() { bytes_.clear(); }

private:
    std::vector<std::uint8_t> bytes_;
    std::int64_t limit_;
};

// The hardcopy output unit for the platform-free drivers. Every entry is set; tests put their own
// in and restore the defaults with YYOutputUnitFallbacks.
struct OutputUnitHooks {
    // Opens the unit on the file named in the work buffer, created or emptied; a failure is
    // reported as error 1 under "YYPROU" and leaves the status at -1.
    void (*open)(INTEGER unit) = nullptr;
    void (*close)(INTEGER unit) = nullptr;
    // The unit's open file, nullptr when none is open.
    ByteSink* (*sink)(INTEGER unit) = nullptr;
    // The status of the unit's last open or write: 0, or -1 after a failure.
    INTEGER& (*status)() = nullptr;
    // The unit's open file as a file that can move, nullptr when none is open. A failed write or
    // move stops the unit as a failed write does (its close then leaves the old file).
    ByteFile* (*file)(INTEGER unit) = nullptr;
};

OutputUnitHooks& outputUnitHooks();

// Toolkit-internal

// Restores the defaults (tests that installed their own).
void YYOutputUnitFallbacks();
