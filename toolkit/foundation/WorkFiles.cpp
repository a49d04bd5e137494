// The work files' steps in the order every system takes them, with the fault hook in front of each
// system call; the calls themselves are the system's half (WorkFilesWindows.cpp,
// WorkFilesPortable.cpp).
#include "toolkit/foundation/WorkFiles.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <utility>

namespace {

int faultAt(WorkFileStep step, std::size_t& bytes)
{
    const auto fault = workFileFaultHooks().fault;
    return fault ? fault(step, bytes) : 0;
}

int faultAt(WorkFileStep step)
{
    std::size_t none = 0;
    return faultAt(step, none);
}

std::string folderOf(const std::string& path)
{
#if defined(_WIN32)
    const std::size_t separator = path.find_last_of("\\/");
    // "C:name" lies in the current folder of drive C.
    if (separator == std::string::npos) return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : std::string();
#else
    const std::size_t separator = path.rfind('/');
    if (separator == std::string::npos) return {};
#endif
    return path.substr(0, separator + 1);
}

// A name for a fresh work file: a few letters no user file is likely to carry and a number that
// differs between programs and between calls (a name that exists all the same is passed over).
std::string freshName(const std::string& folder)
{
    static std::minstd_rand numbers(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                                    std::random_device{}());
    char text[32];
    std::snprintf(text, sizeof text, "~qv%06X.tmp", static_cast<unsigned>(numbers() & 0xFFFFFFU));
    return folder + text;
}

}  // namespace

WorkFile::~WorkFile() { discard(); }

WorkFile::WorkFile(WorkFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kNone)), path_(std::move(other.path_)), direct_(other.direct_),
      fixedName_(other.fixedName_), released_(std::exchange(other.released_, false)), error_(other.error_)
{
}

WorkFile& WorkFile::operator=(WorkFile&& other) noexcept
{
    if (this != &other) {
        discard();
        handle_ = std::exchange(other.handle_, kNone);
        path_ = std::move(other.path_);
        direct_ = other.direct_;
        fixedName_ = other.fixedName_;
        released_ = std::exchange(other.released_, false);
        error_ = other.error_;
    }
    return *this;
}

bool WorkFile::createFor(std::string_view target)
{
    discard();
    error_ = 0;
    direct_ = false;
    fixedName_ = false;
    const std::string named = finalPath(target);
    if (const int code = openTarget(named)) return error_ = code, false;
    if (direct_) return true;
    const std::string folder = folderOf(named);
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = freshName(folder);
        bool exists = false;
        error_ = faultAt(WorkFileStep::Create);
        if (error_ == 0) error_ = openNew(path_, exists);
        if (error_ == 0 || !exists) break;
    }
    return error_ == 0;
}

bool WorkFile::createNamedFor(std::string_view target)
{
    if (!createFor(target)) return false;
    // The system call opens the file by its name: this program holds it no longer.
    close();
    released_ = true;
    return true;
}

WorkFile::Created WorkFile::create(const std::string& workPath)
{
    discard();
    path_ = workPath;
    error_ = 0;
    direct_ = false;
    fixedName_ = true;
    for (int attempt = 0; attempt < 8; ++attempt) {
        if (const int code = faultAt(WorkFileStep::Create)) return error_ = code, Created::Failed;
        bool exists = false;
        const int code = openNew(workPath, exists);
        if (code == 0) return Created::Yes;
        if (!exists) return error_ = code, Created::Failed;
        const Created other = takeLeftOver(workPath);
        if (other != Created::Yes) return other;
    }
    return Created::Busy;
}

bool WorkFile::write(std::span<const std::uint8_t> bytes)
{
    if (handle_ == kNone) return error_ = YYWorkFileNotOpenCode(), false;
    while (!bytes.empty()) {
        std::size_t allowed = bytes.size();
        const int fault = faultAt(WorkFileStep::Write, allowed);
        std::size_t done = 0;
        int code = 0;
        if (fault == 0 || allowed > 0) code = systemWrite(bytes.first(fault != 0 ? std::min(allowed, bytes.size()) : bytes.size()), done);
        bytes = bytes.subspan(done);
        if (fault != 0) code = fault;
        if (code != 0) return error_ = code, false;
    }
    return true;
}

bool WorkFile::write(std::string_view bytes)
{
    return write(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

std::int64_t WorkFile::seek(std::int64_t offset, int origin)
{
    if (handle_ == kNone) return error_ = YYWorkFileNotOpenCode(), -1;
    if (origin < 0 || origin > 2) return -1;
    std::int64_t position = -1;
    int code = faultAt(WorkFileStep::Seek);
    if (code == 0) code = systemSeek(offset, origin, position);
    if (code != 0) return error_ = code, -1;
    return position;
}

bool WorkFile::commit(std::string_view target)
{
    if (!isOpen()) return error_ = YYWorkFileNotOpenCode(), false;
    if (released_) {
        // What the system call left is taken back to be put on disk and in the target's place.
        if (direct_) return released_ = false, true;
        if (const int code = systemReopen()) {
            error_ = code;
            discard();
            return false;
        }
        released_ = false;
    }
    if (direct_) {
        if (const int code = systemCloseDirect()) return error_ = code, false;
        return true;
    }
    // On disk before the name changes: a crash after the replace must not leave an empty file.
    int code = faultAt(WorkFileStep::Flush);
    if (code == 0) code = systemFlush();
    const std::string named = finalPath(target);
    if (code == 0) code = systemKeep(named);
    if (code == 0) code = faultAt(WorkFileStep::Replace);
    if (code == 0) code = systemReplace(named);
    if (code != 0) {
        error_ = code;
        discard();
        return false;
    }
    close();
    return true;
}

void WorkFile::discard()
{
    // A work file let go to a system call goes by its name; a device is left alone.
    if (released_) {
        released_ = false;
        if (!direct_) systemDiscard();
        return;
    }
    if (handle_ != kNone) systemDiscard();
}

WorkFileFaultHooks& workFileFaultHooks()
{
    static WorkFileFaultHooks hooks;
    return hooks;
}
