#include "toolkit/devices/ByteSink.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <string>

#include "toolkit/devices/OutputUnit.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/graphics/DriverProtocol.h"

INTEGER MemoryByteSink::write(std::span<const std::uint8_t> bytes, INTEGER& systemCode)
{
    std::size_t count = bytes.size();
    if (limit_ >= 0) {
        const auto room = static_cast<std::size_t>(
            std::max<std::int64_t>(0, limit_ - static_cast<std::int64_t>(bytes_.size())));
        if (count > room) {
            count = room;
            systemCode = ENOSPC;
        }
    }
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
    return static_cast<INTEGER>(count);
}

namespace {

// A C-library stream without a buffer of its own, so that a failed write shows at once.
class StdioByteFile final : public ByteFile {
public:
    explicit StdioByteFile(StdioFile file) : file_(std::move(file))
    {
        if (file_) std::setvbuf(file_.get(), nullptr, _IONBF, 0);
    }
    bool isOpen() const { return static_cast<bool>(file_); }
    INTEGER write(std::span<const std::uint8_t> bytes, INTEGER& systemCode) override
    {
        errno = 0;
        const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file_.get());
        if (written < bytes.size()) systemCode = errno;
        return static_cast<INTEGER>(written);
    }
    INTEGER seek(INTEGER offset, INTEGER origin) override
    {
        static constexpr std::array<int, 3> whence{SEEK_SET, SEEK_CUR, SEEK_END};
        if (origin < 0 || origin > 2 || std::fseek(file_.get(), offset, whence[static_cast<std::size_t>(origin)]) != 0)
            return -1;
        return static_cast<INTEGER>(std::ftell(file_.get()));
    }

private:
    StdioFile file_;
};

// The output unit's open file, looked up afresh on every write.
class UnitSink final : public ByteSink {
public:
    explicit UnitSink(INTEGER unit) : unit_(unit) {}
    INTEGER write(std::span<const std::uint8_t> bytes, INTEGER& systemCode) override
    {
        return YYProuWrite(unit_, bytes, systemCode);
    }

private:
    INTEGER unit_;
};

ByteSink* unitSink(INTEGER unit)
{
    static std::array<UnitSink, 5> sinks{UnitSink(0), UnitSink(1), UnitSink(2), UnitSink(3), UnitSink(4)};
    if (unit < 0 || static_cast<std::size_t>(unit) >= sinks.size() || !YYProuIsOpen(unit)) return nullptr;
    return &sinks[static_cast<std::size_t>(unit)];
}

void reportOpenFailure(INTEGER code, std::string_view routine)
{
    LibraryErrorState& errors = libraryErrorState();
    errors.FileDetailKind = code != 0 ? 2 : 0;
    errors.FileDetailCode = code;
    YYErrorReport(1, routine);
}

std::unique_ptr<ByteFile> stdioUpdate(std::string_view name)
{
    errno = 0;
    auto file = std::make_unique<StdioByteFile>(StdioFile(std::fopen(std::string(name).c_str(), "r+b")));
    if (file->isOpen()) return file;
    reportOpenFailure(errno, "IFileOpen");
    return nullptr;
}

OutputUnitHooks fallbackHooks()
{
    OutputUnitHooks h;
    h.open = &YYProuOpen;
    h.close = &YYProuClose;
    h.sink = &unitSink;
    h.status = []() -> INTEGER& { return outputUnitState().OutputStatus; };
    h.update = &stdioUpdate;
    return h;
}

}  // namespace

OutputUnitHooks& outputUnitHooks()
{
    static OutputUnitHooks hooks = fallbackHooks();
    return hooks;
}

void YYOutputUnitFallbacks() { outputUnitHooks() = fallbackHooks(); }
