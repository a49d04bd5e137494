// Files written whole or not at all. What the program writes for a user goes first into a work
// file beside the file it is to replace; only when every write, the flush to disk and the close
// succeeded does the work file take the target's place, in one step. Any failure removes the work
// file and leaves the target byte for byte as it was. The new file keeps the old one's
// permissions, and a target that is a link is replaced where the link points (the link stays).
// Targets that are no plain files (a printer port, a terminal, a pipe) cannot be replaced: they
// are written directly.
//
// Platform-free interface; WorkFilesWindows.cpp holds the Windows body, WorkFilesPortable.cpp the
// POSIX one of the native tree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class WorkFile {
public:
    enum class Created { Yes, Busy, Failed };

    WorkFile() = default;
    ~WorkFile();  // an uncommitted work file is removed
    WorkFile(WorkFile&& other) noexcept;
    WorkFile& operator=(WorkFile&& other) noexcept;
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;

    // A fresh work file for the target, at a name no file had, in the folder of the file the
    // target finally names. Refused (false, with the reason) when the target is a folder or
    // read-only, or when the folder takes no new file. A target that is no plain file is opened
    // itself.
    bool createFor(std::string_view target);
    // The work file at a fixed name (a program's own, such as the settings' work file), held by
    // this program alone: a file there that no program holds was left by one that stopped and
    // goes (a link as a link, never what it points to); Busy while another program holds it.
    Created create(const std::string& workPath);
    // A fresh work file, as createFor, for bytes that a system call writes by name (a picture the
    // platform records to a file): the name is taken and let go again, so that the call can make
    // the file there itself (path() names it). commit then puts on disk what the call left there
    // and replaces the target with it; a discard removes it. A device is handed over itself.
    bool createNamedFor(std::string_view target);

    // Writes all the bytes at the write position; false (with the reason) when they were not
    // all written.
    bool write(std::span<const std::uint8_t> bytes);
    bool write(std::string_view bytes);
    // Moves the write position by offset from the origin (0 start, 1 current, 2 end); the new
    // position, or -1 (with the reason) when it cannot be moved there.
    std::int64_t seek(std::int64_t offset, int origin);

    // Puts the written bytes on disk, gives them the target's permissions and replaces the target
    // with them in one step; the work file is closed either way. False (with the reason) when any
    // step failed: the work file is gone and the target is as it was.
    bool commit(std::string_view target);
    // Removes the work file unwritten (a target opened directly is only closed).
    void discard();

    // The file the target finally names: its links followed to their end (the target itself when
    // it is no link).
    static std::string finalPath(std::string_view target);

    // Whether a work file is being written (here, or by a system call: createNamedFor).
    bool isOpen() const { return handle_ != kNone || released_; }
    // The file being written (the target itself when it is no plain file).
    const std::string& path() const { return path_; }
    // The system's handle of the open file (a HANDLE on Windows, a descriptor elsewhere), for
    // writers that call the system themselves; writes through it go into the work file.
    std::intptr_t handle() const { return handle_; }
    // The system's code of the last failed step (0 when none), and in words.
    int error() const { return error_; }
    std::string reason() const;

private:
    static constexpr std::intptr_t kNone = -1;
    // The system's half (WorkFilesWindows.cpp, WorkFilesPortable.cpp); each answers 0 or the
    // system's code of its failure.
    // What the target is: 0 a plain file or none (a work file is made), a code that refuses it (a
    // folder, a read-only file); a device is opened here for writing (direct_).
    int openTarget(const std::string& named);
    // Creates the file at the name exclusively and holds it; exists tells that something is there.
    int openNew(const std::string& path, bool& exists);
    // A file at the fixed work name: removed when no program holds it (Yes, try again), Busy when
    // one does.
    Created takeLeftOver(const std::string& path);
    int systemWrite(std::span<const std::uint8_t> bytes, std::size_t& done);
    int systemSeek(std::int64_t offset, int origin, std::int64_t& position);
    int systemFlush();
    // Gives the work file what the replaced file had (permissions, attributes), or refuses.
    int systemKeep(const std::string& named);
    int systemReplace(const std::string& named);
    // Closes a target opened directly; a device may show a lost write only here.
    int systemCloseDirect();
    // Opens again for writing the work file that a system call wrote by name.
    int systemReopen();
    // Removes the work file unwritten: by its handle when held, else by its name.
    void systemDiscard();
    void close();

    std::intptr_t handle_ = kNone;
    std::string path_;
    bool direct_ = false;  // the target itself is open (no plain file to replace)
    bool fixedName_ = false;  // at a fixed work name (create), else at a fresh one (createFor)
    bool released_ = false;   // let go for a system call to write by name (createNamedFor)
    int error_ = 0;
};

// True when the file exists and may not be written (the read-only attribute, or no write
// permission for anyone: a test of the caller's access would pass for an administrator).
bool fileReadOnly(const std::string& path);

// Toolkit-internal

// The steps of a work file that the fault hook can make fail.
enum class WorkFileStep { Create, Write, Seek, Flush, Replace };

// Test seam: before each step of every work file, fault(step, bytes) may answer a system code,
// and the step then fails with that code as if the system had refused it. For a write, bytes is
// the count about to be written; the hook may lower it, and that many bytes are written before the
// failure (a short write). Empty: nothing fails but what the system refuses.
struct WorkFileFaultHooks {
    int (*fault)(WorkFileStep step, std::size_t& bytes) = nullptr;
};
WorkFileFaultHooks& workFileFaultHooks();

// The system's codes for a full disk and a refused permission (the tests' faults), for a name
// that names no file and for a file that is not open.
int YYWorkFileDiskFullCode();
int YYWorkFileDeniedCode();
int YYWorkFileBadNameCode();
int YYWorkFileNotOpenCode();
