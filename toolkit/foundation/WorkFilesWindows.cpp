// The work files' system calls on Windows. A work file is held from its creation until it has
// replaced its target, so no other program can open it to write, remove or take it meanwhile; a
// file at a fixed work name that no program holds was left by one that stopped, and goes (a link
// as a link, never what it points to).
// Marking a held file for deletion, setting its attributes through the handle and asking where a
// link leads come with Windows Vista.
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#endif

#include <algorithm>
#include <string>

#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WinApi.h"
#include "toolkit/foundation/WorkFiles.h"

namespace {

HANDLE handleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
int lastError() { return static_cast<int>(GetLastError()); }

// The file at the name, opened only to learn about it (a device as well as a file or a folder).
FileHandle probe(const std::string& name)
{
    return FileHandle(CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// The attributes a replaced file hands on to its successor.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

}  // namespace

std::string WorkFile::finalPath(std::string_view target)
{
    const std::string name(target);
    const FileHandle file = probe(name);
    if (!file) return name;
    char final[MAX_PATH + 16] = {};
    const DWORD length = GetFinalPathNameByHandleA(file.get(), final, sizeof final, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= sizeof final) return name;
    std::string path(final, length);
    if (path.rfind("\\\\?\\UNC\\", 0) == 0) path = "\\\\" + path.substr(8);
    else if (path.rfind("\\\\?\\", 0) == 0) path = path.substr(4);
    // The same file under its full name is no link: the name as given is kept.
    char full[MAX_PATH + 16] = {};
    const DWORD fullLength = GetFullPathNameA(name.c_str(), sizeof full, full, nullptr);
    if (fullLength > 0 && fullLength < sizeof full && lstrcmpiA(full, path.c_str()) == 0) return name;
    return path;
}

int WorkFile::openTarget(const std::string& named)
{
    const FileHandle existing = probe(named);
    if (!existing) return 0;
    if (GetFileType(existing.get()) != FILE_TYPE_DISK) {
        // A printer port or a console takes the bytes as they come; there is no file to replace.
        FileHandle device(CreateFileA(named.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!device) return lastError();
        handle_ = reinterpret_cast<std::intptr_t>(device.release());
        path_ = named;
        direct_ = true;
        return 0;
    }
    BY_HANDLE_FILE_INFORMATION facts{};
    if (GetFileInformationByHandle(existing.get(), &facts) &&
        (facts.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        return ERROR_ACCESS_DENIED;
    return 0;
}

int WorkFile::openNew(const std::string& path, bool& exists)
{
    // Held until it has replaced the target: this program may move it by name, but no other
    // program can open it to write or to remove it. At a fresh name others may also read it; at a
    // fixed name it is held with the right to delete it, so that a failed save removes it while
    // still holding it (a reader must then share its deletion).
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE | (fixedName_ ? DELETE : 0), FILE_SHARE_READ | FILE_SHARE_DELETE,
                                nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
        handle_ = reinterpret_cast<std::intptr_t>(file.release());
        return 0;
    }
    const int code = lastError();
    // A work file another program is just deleting refuses new files at its name with "access
    // denied"; a folder that may not be written to has no file at the name.
    const bool pending = code == ERROR_ACCESS_DENIED &&
                         (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES || GetLastError() == ERROR_ACCESS_DENIED);
    exists = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS || pending;
    return code;
}

WorkFile::Created WorkFile::takeLeftOver(const std::string& path)
{
    // Opened without sharing, as itself when it is a link, and let go on closing. A program that
    // holds it makes the open fail.
    const FileHandle other(CreateFileA(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (other) return Created::Yes;
    const DWORD code = GetLastError();
    if (code == ERROR_SHARING_VIOLATION) return Created::Busy;
    // Being deleted by its program: gone in a moment. A read-only one is no work file of ours.
    if (code == ERROR_ACCESS_DENIED) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return Created::Busy;
    }
    if (code == ERROR_FILE_NOT_FOUND) return Created::Yes;
    error_ = static_cast<int>(code);
    return Created::Failed;
}

int WorkFile::systemWrite(std::span<const std::uint8_t> bytes, std::size_t& done)
{
    done = 0;
    while (done < bytes.size()) {
        DWORD count = 0;
        const auto piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1U << 30));
        if (!WriteFile(handleOf(handle_), bytes.data() + done, piece, &count, nullptr)) return lastError();
        if (count == 0) return ERROR_DISK_FULL;
        done += count;
    }
    return 0;
}

int WorkFile::systemSeek(std::int64_t offset, int origin, std::int64_t& position)
{
    static constexpr DWORD methods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    LARGE_INTEGER distance{}, moved{};
    distance.QuadPart = offset;
    if (!SetFilePointerEx(handleOf(handle_), distance, &moved, methods[origin])) return lastError();
    position = moved.QuadPart;
    return 0;
}

int WorkFile::systemFlush() { return FlushFileBuffers(handleOf(handle_)) ? 0 : lastError(); }

int WorkFile::systemKeep(const std::string& named)
{
    const DWORD old = GetFileAttributesA(named.c_str());
    if (old == INVALID_FILE_ATTRIBUTES) return 0;
    // The user made it read-only to keep it.
    if (old & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return ERROR_ACCESS_DENIED;
    if (old & kKeptAttributes & ~FILE_ATTRIBUTE_ARCHIVE) {
        FILE_BASIC_INFO basic{};  // times of 0 stay as they are
        basic.FileAttributes = old & kKeptAttributes;
        SetFileInformationByHandle(handleOf(handle_), FileBasicInfo, &basic, sizeof basic);
    }
    return 0;
}

int WorkFile::systemReplace(const std::string& named)
{
    // Moved while still held, so that no other program takes it for a left-over file meanwhile. A
    // program reading the target at this moment keeps it from being replaced: the reads take
    // milliseconds, so the replace is tried again for a while.
    int code = 0;
    for (int attempt = 0; attempt < 400; ++attempt) {
        if (MoveFileExA(path_.c_str(), named.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
        code = lastError();
        if (code != ERROR_ACCESS_DENIED && code != ERROR_SHARING_VIOLATION) break;
        Sleep(5);
    }
    // The system says "access denied" for a target that another program holds open; it is told
    // as what it is when the target cannot be opened to be removed for that reason.
    if (code == ERROR_ACCESS_DENIED) {
        const FileHandle target(CreateFileA(named.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, 0, nullptr));
        if (!target && GetLastError() == ERROR_SHARING_VIOLATION) code = ERROR_SHARING_VIOLATION;
    }
    return code;
}

int WorkFile::systemCloseDirect()
{
    close();
    return 0;
}

void WorkFile::close()
{
    if (handle_ == kNone) return;
    FileHandle closing(handleOf(handle_));
    handle_ = kNone;
}

int WorkFile::systemReopen()
{
    // Held again as at its creation; a system call still writing it makes this fail.
    FileHandle file(CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return lastError();
    handle_ = reinterpret_cast<std::intptr_t>(file.release());
    return 0;
}

void WorkFile::systemDiscard()
{
    if (handle_ == kNone) {
        DeleteFileA(path_.c_str());
    } else if (direct_) {
        close();
    } else if (fixedName_) {
        // Marked for deletion while still held: the name goes when the handle closes.
        FILE_DISPOSITION_INFO dispose{TRUE};
        SetFileInformationByHandle(handleOf(handle_), FileDispositionInfo, &dispose, sizeof dispose);
        close();
    } else {
        // A fresh name is this program's alone: nobody takes it between the close and the removal.
        close();
        DeleteFileA(path_.c_str());
    }
}

std::string WorkFile::reason() const
{
    switch (static_cast<DWORD>(error_)) {
    case NO_ERROR: return {};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "the disk is full";
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return "no permission to write there";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return "another program is using the file";
    default: {
        char text[256] = {};
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, static_cast<DWORD>(error_), 0, text,
                       sizeof text, nullptr);
        std::string words(text);
        while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == '.')) words.pop_back();
        return words.empty() ? "system error " + std::to_string(error_) : words;
    }
    }
}

bool fileReadOnly(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

int YYWorkFileDiskFullCode() { return ERROR_DISK_FULL; }
int YYWorkFileDeniedCode() { return ERROR_ACCESS_DENIED; }
int YYWorkFileBadNameCode() { return ERROR_INVALID_NAME; }
int YYWorkFileNotOpenCode() { return ERROR_INVALID_HANDLE; }
