// Byte files by operating-system handle: open, read, write, seek, close. Errors 1 and 2 carry
// the system's code as file detail, so their messages end with the system's text.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

enum FileOpenModeCode : INTEGER { kFileRead = 0, kFileWrite = 1, kFileReadWrite = 2 };
enum FileSeekOriginCode : INTEGER { kSeekStart = 0, kSeekCurrent = 1, kSeekEnd = 2 };

// Opens the file (mode 0 read, 1 write and empty or create, 2 read and write); handle is
// INVALID_HANDLE_VALUE (the "-1" of the handle word) after a failure. The caller closes it with
// IFileCloseHandle or hands it to a FileHandle.
void IFileOpen(std::string_view filename, INTEGER mode, HANDLE& handle);
void IFileCloseHandle(HANDLE handle);
// Moves by position from the origin; position := the new absolute position (-1 after error 2).
// An origin outside 0 to 2 does nothing.
void IFileSeek(HANDLE handle, INTEGER& position, INTEGER origin);

// Toolkit-internal

void YYFileReadBytes(HANDLE handle, std::span<std::byte> buffer, INTEGER nbytes, INTEGER& nread);
void YYFileWriteBytes(HANDLE handle, std::span<const std::byte> buffer, INTEGER nbytes, INTEGER& nwritten);

// The operating-system layer.
HANDLE YYOsFileOpen(std::string_view filename, INTEGER mode, INTEGER& errorCode);
void YYOsFileClose(HANDLE handle);
INTEGER YYOsFileRead(HANDLE handle, std::span<std::byte> buffer, INTEGER& count);
INTEGER YYOsFileWrite(HANDLE handle, std::span<const std::byte> buffer, INTEGER& count);
// An origin outside 0..2 gives ERROR_INVALID_PARAMETER and position -1.
INTEGER YYOsFileSeek(HANDLE handle, INTEGER distance, INTEGER origin, INTEGER& position);
// Read or write with the byte order of each group of groupSize bytes reversed; the writer leaves
// the caller's buffer as it was.
INTEGER YYOsFileReadSwapped(HANDLE handle, std::span<std::byte> buffer, INTEGER groupSize, INTEGER& count);
INTEGER YYOsFileWriteSwapped(HANDLE handle, std::span<std::byte> buffer, INTEGER groupSize, INTEGER& count);

// Reads up to nbytes bytes into the buffer; nread := the count, 0 at the end of the file, -1
// after error 2. Any contiguous buffer (text, bytes, integers) serves; a count beyond the buffer
// is refused as error 2 rather than written past it.
template <class Buffer>
void IFileReadChar(HANDLE handle, Buffer& buffer, INTEGER nbytes, INTEGER& nread)
{
    YYFileReadBytes(handle, std::as_writable_bytes(std::span(buffer)), nbytes, nread);
}

// Writes nbytes bytes of the buffer; nwritten := the count, -1 after error 2.
template <class Buffer>
void IFileWriteChar(HANDLE handle, const Buffer& buffer, INTEGER nbytes, INTEGER& nwritten)
{
    YYFileWriteBytes(handle, std::as_bytes(std::span(buffer)), nbytes, nwritten);
}
