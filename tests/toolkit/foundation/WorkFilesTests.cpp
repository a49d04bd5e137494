// Files written whole or not at all: a work file beside the target replaces it only when every
// step succeeded; any failure leaves the old file byte for byte and no work file behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>

#include "WorkFileFaults.h"
#include "toolkit/foundation/WorkFiles.h"

#if defined(_WIN32)
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WinApi.h"
#else
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

const std::string kOld = "the old file, which must survive every failure\r\n";

class WorkFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("qv-work-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
        target_ = folder_ / "plot.out";
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::permissions(target_, fs::perms::owner_write, fs::perm_options::add, ignored);
        fs::remove_all(folder_, ignored);
    }
    // Writes the text in pieces of five bytes and commits; false at the first failed step.
    static bool writeWhole(WorkFile& work, const fs::path& target, const std::string& text)
    {
        if (!work.createFor(target.string())) return false;
        for (std::size_t at = 0; at < text.size(); at += 5)
            if (!work.write(std::string_view(text).substr(at, 5))) return false;
        return work.commit(target.string());
    }
    fs::path folder_, target_;
};

}  // namespace

TEST_F(WorkFiles, CompleteFileReplacesTheTargetOrCreatesIt)
{
    for (const bool existed : {false, true}) {
        SCOPED_TRACE(existed);
        if (existed) writeFile(target_, kOld);
        WorkFile work;
        ASSERT_TRUE(writeWhole(work, target_, "new contents\r\n"));
        EXPECT_FALSE(work.isOpen());
        EXPECT_EQ(readFile(target_), "new contents\r\n");
        EXPECT_EQ(folderNames(folder_), std::set<std::string>{"plot.out"});
        fs::remove(target_);
    }
}

// Every step that can fail, at every place it comes: the call that meets the failure says so with
// the system's code, and the old file and the folder are exactly as they were.
TEST_F(WorkFiles, EveryFailedStepLeavesTheOldFileAndNoWorkFile)
{
    const std::string text(53, 'x');  // 11 writes of at most five bytes
    struct Case {
        WorkFileStep step;
        int index;
        std::size_t bytes;  // written before a write fails
    };
    std::vector<Case> cases = {{WorkFileStep::Create, 0, 0}, {WorkFileStep::Flush, 0, 0}, {WorkFileStep::Replace, 0, 0}};
    for (int k = 0; k < 11; ++k) {
        cases.push_back({WorkFileStep::Write, k, 0});  // nothing written
        cases.push_back({WorkFileStep::Write, k, 3});  // a short write
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << static_cast<int>(c.step) << " at " << c.index << " after " << c.bytes);
        writeFile(target_, kOld);
        const int code = c.index % 2 == 0 ? YYWorkFileDiskFullCode() : YYWorkFileDeniedCode();
        const WorkFileFault fault(c.step, c.index, code, c.bytes);
        {
            WorkFile work;
            EXPECT_FALSE(writeWhole(work, target_, text));
            EXPECT_TRUE(WorkFileFault::struck());
            EXPECT_EQ(work.error(), code);
            EXPECT_FALSE(work.reason().empty());
        }
        EXPECT_EQ(readFile(target_), kOld);
        EXPECT_EQ(folderNames(folder_), std::set<std::string>{"plot.out"});
    }
}

TEST_F(WorkFiles, AbandonedWorkFileGoesAndTheTargetStays)
{
    writeFile(target_, kOld);
    {
        WorkFile work;
        ASSERT_TRUE(work.createFor(target_.string()));
        ASSERT_TRUE(work.write("half of a file"));
        EXPECT_EQ(folderNames(folder_).size(), 2u);  // the work file lies beside the target
        EXPECT_EQ(fs::path(work.path()).parent_path(), fs::path(target_).parent_path());
    }
    EXPECT_EQ(readFile(target_), kOld);
    EXPECT_EQ(folderNames(folder_), std::set<std::string>{"plot.out"});
}

// A file that a system call makes by name (the platform's picture recording): the call writes the
// work file, the target changes only at the commit, and every failure before or at the commit, or
// in the call itself, leaves the old file and no work file.
TEST_F(WorkFiles, FileWrittenByNameReplacesTheTargetOnlyAtTheCommit)
{
    const auto writeByName = [](const std::string& path, const std::string& text) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
        return static_cast<bool>(out);
    };
    writeFile(target_, kOld);
    {
        WorkFile work;
        ASSERT_TRUE(work.createNamedFor(target_.string()));
        EXPECT_TRUE(work.isOpen());
        EXPECT_EQ(fs::path(work.path()).parent_path(), target_.parent_path());
        ASSERT_TRUE(writeByName(work.path(), "recorded picture"));
        EXPECT_EQ(readFile(target_), kOld);
        ASSERT_TRUE(work.commit(target_.string()));
        EXPECT_FALSE(work.isOpen());
    }
    EXPECT_EQ(readFile(target_), "recorded picture");
    EXPECT_EQ(folderNames(folder_), std::set<std::string>{"plot.out"});

    enum class Call { Writes, Fails, LeavesNoFile };
    struct Case {
        const char* what;
        std::optional<WorkFileStep> fault;  // a step of the work file that fails
        Call call;
    };
    for (const Case& c : {Case{"create", WorkFileStep::Create, Call::Writes}, Case{"flush", WorkFileStep::Flush, Call::Writes},
                          Case{"replace", WorkFileStep::Replace, Call::Writes}, Case{"the call", std::nullopt, Call::Fails},
                          Case{"no file", std::nullopt, Call::LeavesNoFile}}) {
        SCOPED_TRACE(c.what);
        writeFile(target_, kOld);
        const WorkFileFault fault(c.fault.value_or(WorkFileStep::Create), c.fault ? 0 : WorkFileFault::kNoFault,
                                  YYWorkFileDiskFullCode());
        {
            WorkFile work;
            const bool made = work.createNamedFor(target_.string());
            ASSERT_EQ(made, c.fault != WorkFileStep::Create);
            if (made) {
                writeByName(work.path(), "half a pict");
                if (c.call == Call::LeavesNoFile) fs::remove(work.path());
                // A call that failed is not committed: its writer discards what it left.
                if (c.call == Call::Fails) work.discard();
                else EXPECT_FALSE(work.commit(target_.string()));
                EXPECT_FALSE(work.isOpen());
            }
            if (c.fault) {
                EXPECT_EQ(work.error(), YYWorkFileDiskFullCode());
            }
            if (c.call == Call::LeavesNoFile) {
                EXPECT_NE(work.error(), 0);
            }
        }
        EXPECT_EQ(readFile(target_), kOld);
        EXPECT_EQ(folderNames(folder_), std::set<std::string>{"plot.out"});
    }
}

// A header whose sizes are known only at the end is written into the work file before it commits.
TEST_F(WorkFiles, SeekRewritesBytesBeforeTheCommit)
{
    WorkFile work;
    ASSERT_TRUE(work.createFor(target_.string()));
    ASSERT_TRUE(work.write("0000 body"));
    EXPECT_EQ(work.seek(0, 2), 9);
    EXPECT_EQ(work.seek(0, 0), 0);
    ASSERT_TRUE(work.write("0009"));
    EXPECT_EQ(work.seek(0, 2), 9);
    ASSERT_TRUE(work.commit(target_.string()));
    EXPECT_EQ(readFile(target_), "0009 body");
    EXPECT_EQ(work.seek(0, 0), -1);  // nothing open any more
}

TEST_F(WorkFiles, FolderOrReadOnlyTargetIsRefusedBeforeAnythingIsWritten)
{
    WorkFile work;
    EXPECT_FALSE(work.createFor(folder_.string()));
    EXPECT_NE(work.error(), 0);
    writeFile(target_, kOld);
    fs::permissions(target_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_TRUE(fileReadOnly(target_.string()));
    EXPECT_FALSE(work.createFor(target_.string()));
    EXPECT_EQ(work.error(), YYWorkFileDeniedCode());
    EXPECT_EQ(folderNames(folder_), std::set<std::string>{"plot.out"});
    EXPECT_FALSE(work.createFor((folder_ / "no-such-folder" / "plot.out").string()));
    EXPECT_NE(work.error(), 0);
    EXPECT_FALSE(work.isOpen());
}

#if !defined(_WIN32)
TEST_F(WorkFiles, ReplacedFileKeepsItsPermissionsAndANewOneGetsTheUsualOnes)
{
    writeFile(target_, kOld);
    fs::permissions(target_, fs::perms::owner_read | fs::perms::owner_write);
    WorkFile work;
    ASSERT_TRUE(writeWhole(work, target_, "private"));
    EXPECT_EQ(fs::status(target_).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

    const mode_t mask = ::umask(022);
    const fs::path fresh = folder_ / "fresh.out";
    ASSERT_TRUE(writeWhole(work, fresh, "public"));
    ::umask(mask);
    EXPECT_EQ(fs::status(fresh).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
}

// A link stays a link: the file it points to is replaced (in its own folder), even when it is not
// there yet.
TEST_F(WorkFiles, LinkIsWrittenThroughToTheFileItPointsTo)
{
    const fs::path elsewhere = folder_ / "elsewhere";
    fs::create_directories(elsewhere);
    for (const bool dangling : {false, true}) {
        SCOPED_TRACE(dangling);
        const fs::path real = elsewhere / "real.out";
        fs::remove(real);
        if (!dangling) writeFile(real, kOld);
        fs::remove(target_);
        fs::create_symlink(fs::path("elsewhere") / "real.out", target_);
        WorkFile work;
        ASSERT_TRUE(writeWhole(work, target_, "through the link"));
        EXPECT_TRUE(fs::is_symlink(fs::symlink_status(target_)));
        EXPECT_EQ(readFile(real), "through the link");
        EXPECT_EQ(folderNames(elsewhere), std::set<std::string>{"real.out"});
    }
}

// A device has no file to replace: it takes the bytes directly, and its failures show.
TEST_F(WorkFiles, DeviceIsWrittenDirectlyAndNeverReplaced)
{
    WorkFile work;
    ASSERT_TRUE(work.createFor("/dev/null"));
    EXPECT_EQ(work.path(), "/dev/null");
    EXPECT_TRUE(work.write("anything"));
    EXPECT_TRUE(work.commit("/dev/null"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    if (fs::exists("/dev/full")) {
        ASSERT_TRUE(work.createFor("/dev/full"));
        EXPECT_FALSE(work.write("anything"));
        EXPECT_EQ(work.error(), YYWorkFileDiskFullCode());
        work.discard();
        EXPECT_TRUE(fs::is_character_file("/dev/full"));
    }
}

// The system's own refusal, not a hook: a file-size limit makes the write fail with EFBIG.
TEST_F(WorkFiles, FileSizeLimitOfTheSystemFailsTheWriteAndKeepsTheOldFile)
{
    writeFile(target_, kOld);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    bool written = true;
    int error = 0;
    {
        WorkFile work;
        written = writeWhole(work, target_, std::string(10000, 'y'));
        error = work.error();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(readFile(target_), kOld);
    EXPECT_EQ(folderNames(folder_), std::set<std::string>{"plot.out"});
}
#else
// A target that another program holds open without sharing cannot be replaced: after a while of
// trying, the save fails, the old file is whole and no work file is left.
TEST_F(WorkFiles, LockedTargetFailsTheCommitAndKeepsTheOldFile)
{
    writeFile(target_, kOld);
    const FileHandle holder(CreateFileA(target_.string().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    WorkFile work;
    EXPECT_FALSE(writeWhole(work, target_, "new"));
    EXPECT_EQ(work.reason(), "another program is using the file");
    EXPECT_EQ(folderNames(folder_), std::set<std::string>{"plot.out"});
    DWORD read = 0;
    char bytes[128] = {};
    ASSERT_TRUE(ReadFile(holder.get(), bytes, sizeof bytes, &read, nullptr));
    EXPECT_EQ(std::string(bytes, read), kOld);
}

TEST_F(WorkFiles, DeviceIsWrittenDirectlyAndNeverReplaced)
{
    WorkFile work;
    ASSERT_TRUE(work.createFor("NUL"));
    EXPECT_TRUE(work.write("anything"));
    EXPECT_TRUE(work.commit("NUL"));
}
#endif
