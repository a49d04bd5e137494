#include "toolkit/devices/FileSinks.h"

#include <array>
#include <cstddef>
#include <memory>

#include "toolkit/devices/ByteSink.h"
#include "toolkit/devices/ImageLoading.h"
#include "toolkit/devices/OutputUnit.h"
#include "toolkit/devices/RasterRenderer.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/UnformattedFiles.h"

namespace {

INTEGER writeHandle(HANDLE handle, std::span<const std::uint8_t> bytes, INTEGER& systemCode)
{
    INTEGER written = 0;
    const INTEGER code = YYOsFileWrite(handle, std::as_bytes(bytes), written);
    if (written < static_cast<INTEGER>(bytes.size())) systemCode = code;
    return written;
}

// The open file of an output unit, looked up afresh on every write.
class UnitSink final : public ByteSink {
public:
    explicit UnitSink(INTEGER unit) : unit_(unit) {}
    INTEGER write(std::span<const std::uint8_t> bytes, INTEGER& systemCode) override
    {
        HANDLE handle = INVALID_HANDLE_VALUE;
        YYProuUnit(unit_, handle);
        if (handle == INVALID_HANDLE_VALUE) {
            systemCode = ERROR_INVALID_HANDLE;
            return 0;
        }
        return writeHandle(handle, bytes, systemCode);
    }

private:
    INTEGER unit_;
};

class UpdateFile final : public ByteFile {
public:
    explicit UpdateFile(FileHandle file) : file_(std::move(file)) {}
    INTEGER write(std::span<const std::uint8_t> bytes, INTEGER& systemCode) override
    {
        return writeHandle(file_.get(), bytes, systemCode);
    }
    INTEGER seek(INTEGER offset, INTEGER origin) override
    {
        INTEGER position = -1;
        if (YYOsFileSeek(file_.get(), offset, origin, position) != 0) return -1;
        return position;
    }

private:
    FileHandle file_;
};

ByteSink* unitSink(INTEGER unit)
{
    static std::array<UnitSink, 5> sinks{UnitSink(0), UnitSink(1), UnitSink(2), UnitSink(3), UnitSink(4)};
    HANDLE handle = INVALID_HANDLE_VALUE;
    YYProuUnit(unit, handle);
    if (handle == INVALID_HANDLE_VALUE || unit < 0 || static_cast<std::size_t>(unit) >= sinks.size()) return nullptr;
    return &sinks[static_cast<std::size_t>(unit)];
}

std::unique_ptr<ByteFile> updateFile(std::string_view name)
{
    HANDLE handle = INVALID_HANDLE_VALUE;
    IFileOpen(name, 2, handle);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<UpdateFile>(FileHandle(handle));
}

}  // namespace

void YYFileSinksInstall()
{
    OutputUnitHooks& unit = outputUnitHooks();
    unit.open = &YYProuOpen;
    unit.close = &YYProuClose;
    unit.sink = &unitSink;
    unit.status = []() -> INTEGER& { return outputUnitState().OutputStatus; };
    unit.update = &updateFile;
    rasterRendererHooks().loadImage = [](std::string_view filename, std::span<INTEGER> image) {
        IGrLoadImageData(filename, image);
    };
}
