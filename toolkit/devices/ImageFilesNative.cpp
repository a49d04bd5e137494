// Image loading by file name in the native tree: a byte source over a C-library stream, with the
// same answers as the Windows body (a missing file is error 27, no image of a known kind).
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "toolkit/devices/ImageLoading.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/Handles.h"

namespace {

std::string trimmedName(std::string_view filename)
{
    const auto first = filename.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = filename.find_last_not_of(std::string_view(" \t\0", 3));
    return std::string(filename.substr(first, last - first + 1));
}

class StdioByteSource final : public ByteSource {
public:
    explicit StdioByteSource(const std::string& name) : file_(std::fopen(name.c_str(), "rb")) {}
    bool isOpen() const { return static_cast<bool>(file_); }
    INTEGER read(std::span<std::uint8_t> into) override
    {
        const std::size_t n = std::fread(into.data(), 1, into.size(), file_.get());
        if (n == 0 && std::ferror(file_.get())) return -1;
        return static_cast<INTEGER>(n);
    }
    INTEGER seek(INTEGER offset, INTEGER origin) override
    {
        const int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : -1;
        if (whence < 0 || std::fseek(file_.get(), offset, whence) != 0) return -1;
        const long position = std::ftell(file_.get());
        return position < 0 || position > 0x7fffffffL ? -1 : static_cast<INTEGER>(position);
    }

private:
    StdioFile file_;
};

}  // namespace

INTEGER YYImageFileHolds(std::string_view filename, INTEGER& detail)
{
    detail = 0;
    const std::string name = trimmedName(filename);
    std::error_code error;
    if (name.empty() || !std::filesystem::is_regular_file(name, error)) return 0;
    StdioByteSource source(name);
    if (!source.isOpen()) return 0;
    return YYImageSourceHolds(source, detail);
}

void IGrLoadImageData(std::string_view filename, std::span<INTEGER> image)
{
    const std::string name = trimmedName(filename);
    std::error_code error;
    if (name.empty() || !std::filesystem::is_regular_file(name, error)) {
        YYErrorReport(27, "IGrLoadImageData");
        return;
    }
    StdioByteSource source(name);
    if (!source.isOpen()) {
        libraryErrorState().FileDetailKind = 2;
        libraryErrorState().FileDetailCode = errno;
        YYErrorReport(1, "IFileOpen");
        return;
    }
    IGrLoadImageData(source, image);
}
