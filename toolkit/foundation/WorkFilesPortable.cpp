// The work files' system calls on POSIX systems (the native tree). A work file is created
// exclusively and held with an exclusive lock until it replaces its target by a rename. A file at
// a fixed work name that no program holds was left by one that stopped, and goes; removing or
// replacing a name happens only while the file there is still the one this program holds, so two
// programs never take each other's work file.
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "toolkit/foundation/WorkFiles.h"

namespace {

bool sameFile(int fd, const std::string& path)
{
    struct stat held {}, named {};
    return ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

// The permissions a new file gets here: every read and write bit the creation mask lets through.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

std::string WorkFile::finalPath(std::string_view target)
{
    std::string path(target);
    // Each link names the next file, relative to its own folder; a loop ends after as many steps
    // as the system itself follows.
    for (int step = 0; step < 40; ++step) {
        struct stat named {};
        if (::lstat(path.c_str(), &named) != 0 || !S_ISLNK(named.st_mode)) return path;
        char next[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), next, sizeof next - 1);
        if (length <= 0) return path;
        const std::string link(next, static_cast<std::size_t>(length));
        const std::size_t slash = path.rfind('/');
        path = link.front() == '/' || slash == std::string::npos ? link : path.substr(0, slash + 1) + link;
    }
    return path;
}

int WorkFile::openTarget(const std::string& named)
{
    struct stat facts {};
    if (::stat(named.c_str(), &facts) != 0) return 0;
    if (S_ISDIR(facts.st_mode)) return EISDIR;
    if (S_ISREG(facts.st_mode)) return (facts.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ? EACCES : 0;
    // A device or a pipe takes the bytes as they come; there is no file to replace.
    const int fd = ::open(named.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return errno;
    handle_ = fd;
    path_ = named;
    direct_ = true;
    return 0;
}

int WorkFile::openNew(const std::string& path, bool& exists)
{
    // Readable by this user alone until it is complete; the target's permissions come at the end.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        exists = errno == EEXIST;
        return errno;
    }
    // Another program may have opened it as left over in the moment before the lock: that one
    // removes it (or has removed it already), this one starts again.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !sameFile(fd, path)) {
        ::close(fd);
        exists = true;
        return EEXIST;
    }
    handle_ = fd;
    return 0;
}

WorkFile::Created WorkFile::takeLeftOver(const std::string& path)
{
    struct stat named {};
    if (::lstat(path.c_str(), &named) != 0) return Created::Yes;  // gone meanwhile: try again
    if (S_ISLNK(named.st_mode)) {
        // A link is removed itself; what it points to is never touched.
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) return error_ = errno, Created::Failed;
        return Created::Yes;
    }
    if (!S_ISREG(named.st_mode)) return error_ = EEXIST, Created::Failed;
    const int other = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (other < 0) return errno == ENOENT ? Created::Yes : (error_ = errno, Created::Failed);
    Created result = Created::Busy;
    if (::flock(other, LOCK_EX | LOCK_NB) == 0) {
        if (sameFile(other, path)) ::unlink(path.c_str());
        result = Created::Yes;
    }
    ::close(other);
    return result;
}

int WorkFile::systemWrite(std::span<const std::uint8_t> bytes, std::size_t& done)
{
    done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::write(static_cast<int>(handle_), bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return errno;
        done += static_cast<std::size_t>(count);
    }
    return 0;
}

int WorkFile::systemSeek(std::int64_t offset, int origin, std::int64_t& position)
{
    static constexpr int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    const off_t moved = ::lseek(static_cast<int>(handle_), static_cast<off_t>(offset), whence[origin]);
    if (moved < 0) return errno;
    position = moved;
    return 0;
}

int WorkFile::systemFlush() { return ::fsync(static_cast<int>(handle_)) == 0 ? 0 : errno; }

int WorkFile::systemKeep(const std::string& named)
{
    const int fd = static_cast<int>(handle_);
    struct stat old {};
    if (::stat(named.c_str(), &old) == 0) {
        // The owner and group only where the system lets this user give them.
        [[maybe_unused]] const int owned = ::fchown(fd, old.st_uid, old.st_gid);
        ::fchmod(fd, old.st_mode & 07777);
    } else {
        ::fchmod(fd, newFileMode());
    }
    return sameFile(fd, path_) ? 0 : ENOENT;
}

int WorkFile::systemReplace(const std::string& named) { return ::rename(path_.c_str(), named.c_str()) == 0 ? 0 : errno; }

int WorkFile::systemCloseDirect()
{
    const int fd = static_cast<int>(handle_);
    handle_ = kNone;
    return ::close(fd) == 0 ? 0 : errno;
}

void WorkFile::close()
{
    if (handle_ == kNone) return;
    ::close(static_cast<int>(handle_));
    handle_ = kNone;
}

int WorkFile::systemReopen()
{
    const int fd = ::open(path_.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return errno;
    handle_ = fd;
    return 0;
}

void WorkFile::systemDiscard()
{
    if (handle_ == kNone) {
        ::unlink(path_.c_str());
        return;
    }
    if (!direct_ && sameFile(static_cast<int>(handle_), path_)) ::unlink(path_.c_str());
    close();
}

std::string WorkFile::reason() const
{
    switch (error_) {
    case 0: return {};
    case ENOSPC:
    case EDQUOT: return "the disk is full";
    case EACCES:
    case EPERM:
    case EROFS: return "no permission to write there";
    case EBUSY:
    case ETXTBSY: return "another program is using the file";
    default: return std::strerror(error_);
    }
}

bool fileReadOnly(const std::string& path)
{
    struct stat named {};
    return ::stat(path.c_str(), &named) == 0 && (named.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

int YYWorkFileDiskFullCode() { return ENOSPC; }
int YYWorkFileDeniedCode() { return EACCES; }
int YYWorkFileBadNameCode() { return ENOENT; }
int YYWorkFileNotOpenCode() { return EBADF; }
