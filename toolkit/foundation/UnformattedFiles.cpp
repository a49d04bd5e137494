#include "toolkit/foundation/UnformattedFiles.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/Handles.h"

namespace {

void reportFileError(INTEGER number, INTEGER code, std::string_view routine)
{
    LibraryErrorState& state = libraryErrorState();
    state.FileDetailKind = 2;
    state.FileDetailCode = code;
    YYErrorReport(number, routine);
}

std::string_view trimBoth(std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    return text;
}

void reverseGroups(std::span<std::byte> bytes, INTEGER groupSize)
{
    if (groupSize <= 1) return;
    const std::size_t g = static_cast<std::size_t>(groupSize);
    for (std::size_t at = 0; at + g <= bytes.size(); at += g) std::reverse(bytes.begin() + at, bytes.begin() + at + g);
}

}  // namespace

HANDLE YYOsFileOpen(std::string_view filename, INTEGER mode, INTEGER& errorCode)
{
    static constexpr struct { DWORD access, share, creation; } modes[] = {
        {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING},
        {GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS},
        {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING},
    };
    if (mode < kFileRead || mode > kFileReadWrite) {
        errorCode = ERROR_INVALID_PARAMETER;
        return INVALID_HANDLE_VALUE;
    }
    const auto& m = modes[mode];
    const std::string name(filename);
    HANDLE handle = CreateFileA(name.c_str(), m.access, m.share, nullptr, m.creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    errorCode = handle == INVALID_HANDLE_VALUE ? static_cast<INTEGER>(GetLastError()) : 0;
    return handle;
}

void YYOsFileClose(HANDLE handle) { FileHandle(handle).reset(); }

INTEGER YYOsFileRead(HANDLE handle, std::span<std::byte> buffer, INTEGER& count)
{
    DWORD done = 0;
    if (!ReadFile(handle, buffer.data(), static_cast<DWORD>(buffer.size()), &done, nullptr)) {
        count = 0;
        return static_cast<INTEGER>(GetLastError());
    }
    count = static_cast<INTEGER>(done);
    return 0;
}

INTEGER YYOsFileWrite(HANDLE handle, std::span<const std::byte> buffer, INTEGER& count)
{
    DWORD done = 0;
    if (!WriteFile(handle, buffer.data(), static_cast<DWORD>(buffer.size()), &done, nullptr)) {
        count = 0;
        return static_cast<INTEGER>(GetLastError());
    }
    count = static_cast<INTEGER>(done);
    return 0;
}

INTEGER YYOsFileSeek(HANDLE handle, INTEGER distance, INTEGER origin, INTEGER& position)
{
    static constexpr DWORD methods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    // Every caller may pass any origin: one outside the table is refused, not looked up.
    if (origin < 0 || origin >= static_cast<INTEGER>(std::size(methods))) {
        position = -1;
        return ERROR_INVALID_PARAMETER;
    }
    SetLastError(NO_ERROR);
    const DWORD result = SetFilePointer(handle, distance, nullptr, methods[origin]);
    // INVALID_SET_FILE_POINTER is also a valid low word of a large position: the error code decides.
    const DWORD code = result == INVALID_SET_FILE_POINTER ? GetLastError() : NO_ERROR;
    if (code != NO_ERROR) {
        position = -1;
        return static_cast<INTEGER>(code);
    }
    position = static_cast<INTEGER>(result);
    return 0;
}

INTEGER YYOsFileReadSwapped(HANDLE handle, std::span<std::byte> buffer, INTEGER groupSize, INTEGER& count)
{
    const INTEGER code = YYOsFileRead(handle, buffer, count);
    reverseGroups(buffer.first(static_cast<std::size_t>(count)), groupSize);
    return code;
}

INTEGER YYOsFileWriteSwapped(HANDLE handle, std::span<std::byte> buffer, INTEGER groupSize, INTEGER& count)
{
    reverseGroups(buffer, groupSize);
    const INTEGER code = YYOsFileWrite(handle, buffer, count);
    reverseGroups(buffer, groupSize);
    return code;
}

void IFileOpen(std::string_view filename, INTEGER mode, HANDLE& handle)
{
    handle = INVALID_HANDLE_VALUE;
    const std::string_view name = trimBoth(filename);
    if (mode < kFileRead || mode > kFileReadWrite || name.empty()) {
        reportFileError(1, 0, "IFileOpen");
        return;
    }
    INTEGER code = 0;
    handle = YYOsFileOpen(name, mode, code);
    if (handle == INVALID_HANDLE_VALUE) reportFileError(1, code, "IFileOpen");
}

void IFileCloseHandle(HANDLE handle)
{
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr) YYOsFileClose(handle);
}

void IFileSeek(HANDLE handle, INTEGER& position, INTEGER origin)
{
    if (origin < kSeekStart || origin > kSeekEnd) return;
    if (const INTEGER code = YYOsFileSeek(handle, position, origin, position)) reportFileError(2, code, "IFileSeek");
}

void YYFileReadBytes(HANDLE handle, std::span<std::byte> buffer, INTEGER nbytes, INTEGER& nread)
{
    if (nbytes < 0 || static_cast<std::size_t>(nbytes) > buffer.size()) {
        nread = -1;
        reportFileError(2, ERROR_INVALID_PARAMETER, "IFileReadChar");
        return;
    }
    if (const INTEGER code = YYOsFileRead(handle, buffer.first(static_cast<std::size_t>(nbytes)), nread)) {
        nread = -1;
        reportFileError(2, code, "IFileReadChar");
    }
}

void YYFileWriteBytes(HANDLE handle, std::span<const std::byte> buffer, INTEGER nbytes, INTEGER& nwritten)
{
    if (nbytes < 0 || static_cast<std::size_t>(nbytes) > buffer.size()) {
        nwritten = -1;
        reportFileError(2, ERROR_INVALID_PARAMETER, "IFileWriteChar");
        return;
    }
    if (const INTEGER code = YYOsFileWrite(handle, buffer.first(static_cast<std::size_t>(nbytes)), nwritten)) {
        nwritten = -1;
        reportFileError(2, code, "IFileWriteChar");
    }
}
