#include "toolkit/devices/FileSinks.h"

#include <memory>

#include "toolkit/devices/ByteSink.h"
#include "toolkit/devices/ImageLoading.h"
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
    outputUnitHooks().update = &updateFile;
    rasterRendererHooks().loadImage = [](std::string_view filename, std::span<INTEGER> image) {
        IGrLoadImageData(filename, image);
    };
}
