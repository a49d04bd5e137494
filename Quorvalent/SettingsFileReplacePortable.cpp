// The settings work file on POSIX systems (the native tree). A work file is held with an
// exclusive lock from its creation until it replaces the settings file; a file at the name that
// no program holds was left by one that stopped, and goes. Removing or replacing a name happens
// only while the file there is still the one this program holds, so two programs never take each
// other's work file.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Quorvalent/IniFile.h"

namespace {

bool sameFile(int fd, const std::string& path)
{
    struct stat held {}, named {};
    return ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

// The file at the name when no program holds it; Busy when one does.
SettingsWorkFile::Created removeUnheld(const std::string& path, int& error)
{
    struct stat named {};
    if (::lstat(path.c_str(), &named) != 0) return SettingsWorkFile::Created::Yes;    // gone meanwhile: try again
    if (S_ISLNK(named.st_mode)) {
        // A link is removed itself; what it points to is never touched.
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) return error = errno, SettingsWorkFile::Created::Failed;
        return SettingsWorkFile::Created::Yes;
    }
    if (!S_ISREG(named.st_mode)) return error = EEXIST, SettingsWorkFile::Created::Failed;
    const int other = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (other < 0) return errno == ENOENT ? SettingsWorkFile::Created::Yes : (error = errno, SettingsWorkFile::Created::Failed);
    SettingsWorkFile::Created result = SettingsWorkFile::Created::Busy;
    if (::flock(other, LOCK_EX | LOCK_NB) == 0) {
        if (sameFile(other, path)) ::unlink(path.c_str());
        result = SettingsWorkFile::Created::Yes;
    }
    ::close(other);
    return result;
}

}  // namespace

SettingsWorkFile::~SettingsWorkFile() { discard(); }

void SettingsWorkFile::discard()
{
    if (handle_ < 0) return;
    const int fd = static_cast<int>(handle_);
    if (sameFile(fd, path_)) ::unlink(path_.c_str());
    ::close(fd);
    handle_ = -1;
}

SettingsWorkFile::Created SettingsWorkFile::create(const std::string& path)
{
    discard();
    path_ = path;
    error_ = 0;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0) {
            // Another program may have opened it as left over in the moment before the lock:
            // that one removes it (or has removed it already), this one starts again.
            if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !sameFile(fd, path)) {
                ::close(fd);
                continue;
            }
            handle_ = fd;
            return Created::Yes;
        }
        if (errno != EEXIST) {
            error_ = errno;
            return Created::Failed;
        }
        const Created other = removeUnheld(path, error_);
        if (other != Created::Yes) return other;
    }
    return Created::Busy;
}

bool SettingsWorkFile::write(std::string_view bytes)
{
    if (handle_ < 0) return false;
    while (!bytes.empty()) {
        const ssize_t done = ::write(static_cast<int>(handle_), bytes.data(), bytes.size());
        if (done < 0) {
            if (errno == EINTR) continue;
            error_ = errno;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return true;
}

bool SettingsWorkFile::commit(const std::string& settingsFile)
{
    if (handle_ < 0) return false;
    const int fd = static_cast<int>(handle_);
    // On disk before the name changes: a crash after the replace must not leave an empty file.
    if (::fsync(fd) != 0) error_ = errno;
    else if (!sameFile(fd, path_)) error_ = ENOENT;
    else if (::rename(path_.c_str(), settingsFile.c_str()) != 0) error_ = errno;
    if (error_ != 0) {
        discard();
        return false;
    }
    ::close(fd);
    handle_ = -1;
    return true;
}

std::string SettingsWorkFile::reason() const
{
    switch (error_) {
    case 0: return {};
    case ENOSPC:
    case EDQUOT: return "the disk is full";
    case EACCES:
    case EPERM:
    case EROFS: return "no permission to write in the settings file's folder";
    default: return std::strerror(error_);
    }
}

bool settingsFileReadOnly(const std::string& path)
{
    // No write permission for anyone, as the read-only attribute marks it on Windows (a test of
    // the caller's access would pass for an administrator).
    struct stat named {};
    return ::stat(path.c_str(), &named) == 0 && (named.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}
