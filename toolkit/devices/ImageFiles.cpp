#include "toolkit/devices/ImageFiles.h"

#include <string>

#include "toolkit/devices/GraphicFileProbe.h"
#include "toolkit/devices/ImageLoading.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/UnformattedFiles.h"

namespace {

std::string trimmedName(std::string_view filename)
{
    const auto first = filename.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = filename.find_last_not_of(" \t\0", std::string_view::npos, 3);
    return std::string(filename.substr(first, last - first + 1));
}

}  // namespace

FileByteSource::FileByteSource(std::string_view filename)
{
    HANDLE handle = INVALID_HANDLE_VALUE;
    IFileOpen(filename, kFileRead, handle);
    file_.reset(handle);
}

INTEGER FileByteSource::read(std::span<std::uint8_t> into)
{
    if (!file_) return -1;
    INTEGER count = 0;
    IFileReadChar(file_.get(), into, static_cast<INTEGER>(into.size()), count);
    return count;
}

INTEGER FileByteSource::seek(INTEGER offset, INTEGER origin)
{
    if (!file_) return -1;
    INTEGER position = offset;
    IFileSeek(file_.get(), position, origin);
    return position;
}

bool YYGraphicFileExists(std::string_view filename)
{
    const std::string name = trimmedName(filename);
    if (name.empty()) return false;
    const DWORD attributes = GetFileAttributesA(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void YYGraphicFileProbe(std::string_view filename, std::span<INTEGER> values, INTEGER& n)
{
    if (values.empty()) return;
    values[0] = kGraphicNoAnswer;
    // A missing file is an answer of its own, not an open failure to report.
    if (!YYGraphicFileExists(filename)) return;
    FileByteSource source(filename);
    if (!source.isOpen()) return;
    YYGraphicFileProbe(source, values, n);
}

void YYCNTHPG(std::string_view filename, INTEGER& count)
{
    FileByteSource source(filename);
    if (!source.isOpen()) {
        YYErrorReport(1, "YYCNTHPG");
        return;
    }
    YYCNTHPG(source, count);
}

void YYINFOCGM(std::string_view filename, INTEGER& pictures, REAL& ratio)
{
    FileByteSource source(filename);
    if (!source.isOpen()) {
        YYErrorReport(1, "YYINFOCGM");
        return;
    }
    YYINFOCGM(source, pictures, ratio);
}

void YYCNTPIC(std::string_view filename, INTEGER& count)
{
    FileByteSource source(filename);
    if (!source.isOpen()) {
        YYErrorReport(1, "YYCNTPIC");
        return;
    }
    YYCNTPIC(source, count);
}

INTEGER YYImageFileHolds(std::string_view filename, INTEGER& detail)
{
    detail = 0;
    const QuietErrors quiet;
    if (!YYGraphicFileExists(filename)) return 0;
    FileByteSource source(filename);
    if (!source.isOpen()) return 0;
    return YYImageSourceHolds(source, detail);
}

void IGrLoadImageData(std::string_view filename, std::span<INTEGER> image)
{
    // A missing or unnamed file is no image of a known kind; nothing is opened.
    if (!YYGraphicFileExists(filename)) {
        YYErrorReport(27, "IGrLoadImageData");
        return;
    }
    FileByteSource source(filename);
    if (!source.isOpen()) return;
    IGrLoadImageData(source, image);
}
