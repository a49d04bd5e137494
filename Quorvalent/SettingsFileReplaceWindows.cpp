// The settings work file on Windows. A work file is held from its creation until it has replaced
// the settings file, so no other program can open it to write, remove or take it meanwhile; a
// file at the name that no program holds was left by one that stopped, and goes (a link as a
// link, never what it points to).
// Marking a held file for deletion (SetFileInformationByHandle) comes with Windows Vista.
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#endif

#include <string>

#include "Quorvalent/IniFile.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WinApi.h"

namespace {

HANDLE handleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

SettingsWorkFile::~SettingsWorkFile() { discard(); }

void SettingsWorkFile::discard()
{
    if (handle_ == -1) return;
    // Marked for deletion while still held: the name goes when the handle closes.
    FILE_DISPOSITION_INFO dispose{TRUE};
    SetFileInformationByHandle(handleOf(handle_), FileDispositionInfo, &dispose, sizeof dispose);
    FileHandle closing(handleOf(handle_));
    handle_ = -1;
}

SettingsWorkFile::Created SettingsWorkFile::create(const std::string& path)
{
    discard();
    path_ = path;
    error_ = 0;
    for (int attempt = 0; attempt < 8; ++attempt) {
        // Held until it has replaced the settings file: others may read it and this program may
        // move it by name, but no other program can open it to write or to remove it.
        FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            handle_ = reinterpret_cast<std::intptr_t>(file.release());
            return Created::Yes;
        }
        const DWORD code = GetLastError();
        // A work file another program is just deleting refuses new files at its name with
        // "access denied"; a folder that may not be written to has no file at the name.
        const bool pending = code == ERROR_ACCESS_DENIED && (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES ||
                                                             GetLastError() == ERROR_ACCESS_DENIED);
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS && !pending) {
            error_ = static_cast<int>(code);
            return Created::Failed;
        }
        // Something is at the name: open it without sharing, as itself when it is a link, and
        // let it go on closing. A program that holds it makes the open fail.
        FileHandle other(CreateFileA(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (!other) {
            const DWORD otherCode = GetLastError();
            if (otherCode == ERROR_SHARING_VIOLATION) return Created::Busy;
            // Being deleted by its program: gone in a moment. A read-only one is no work file of ours.
            if (otherCode == ERROR_ACCESS_DENIED) {
                const DWORD attributes = GetFileAttributesA(path.c_str());
                if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return Created::Busy;
            }
            if (otherCode == ERROR_FILE_NOT_FOUND) continue;
            error_ = static_cast<int>(otherCode);
            return Created::Failed;
        }
    }
    return Created::Busy;
}

bool SettingsWorkFile::write(std::string_view bytes)
{
    if (handle_ == -1) return false;
    while (!bytes.empty()) {
        DWORD done = 0;
        if (!WriteFile(handleOf(handle_), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) || done == 0) {
            error_ = static_cast<int>(GetLastError());
            return false;
        }
        bytes.remove_prefix(done);
    }
    return true;
}

bool SettingsWorkFile::commit(const std::string& settingsFile)
{
    if (handle_ == -1) return false;
    // On disk before the name changes: a crash after the replace must not leave an empty file.
    if (!FlushFileBuffers(handleOf(handle_))) {
        error_ = static_cast<int>(GetLastError());
        discard();
        return false;
    }
    // Moved while still held, so that no other program takes it for a left-over file meanwhile.
    FileHandle closing(handleOf(handle_));
    handle_ = -1;
    // A program reading the settings file at this moment keeps it from being replaced: the
    // reads take milliseconds, so the replace is tried again for a while.
    for (int attempt = 0; attempt < 400; ++attempt) {
        if (MoveFileExA(path_.c_str(), settingsFile.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
        error_ = static_cast<int>(GetLastError());
        if (error_ != ERROR_ACCESS_DENIED && error_ != ERROR_SHARING_VIOLATION) break;
        Sleep(5);
    }
    return false;
}

std::string SettingsWorkFile::reason() const
{
    switch (static_cast<DWORD>(error_)) {
    case NO_ERROR: return {};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "the disk is full";
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION: return "no permission to write in the settings file's folder";
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

bool settingsFileReadOnly(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}
