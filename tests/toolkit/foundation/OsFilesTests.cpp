// Files and folders on real files under Wine, each test in a fresh folder of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <chrono>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>

#include "ReporterGuard.h"
#include "WorkFileFaults.h"
#include "toolkit/foundation/OsFiles.h"
#include "toolkit/foundation/WinApi.h"

namespace fs = std::filesystem;

namespace {

std::string trimmed(const std::string& text) { return text.substr(0, text.find_last_not_of(' ') + 1); }

void writeFile(const fs::path& path, std::string_view contents = "x")
{
    std::ofstream out(path, std::ios::binary);
    out << contents;
}

}  // namespace

class OsFiles : public testing::Test {
protected:
    void SetUp() override
    {
        previous_ = fs::current_path();
        folder_ = fs::temp_directory_path() / ("qv-files-" + std::to_string(GetCurrentProcessId()) + "-" +
                                               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        fs::current_path(folder_);
        WErrorReportMode(kReportConsole);
    }
    void TearDown() override
    {
        fs::current_path(previous_);
        for (const auto& entry : fs::recursive_directory_iterator(folder_))
            SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    static const std::vector<std::string>& reports() { return ReporterGuard::records(); }

    ReporterGuard guard_;
    fs::path previous_, folder_;
};

TEST_F(OsFiles, FolderChangeNameMakeAndFullPath)
{
    IOsDirMake("sub   ");
    IOsDirChange("sub");
    std::string name(300, '#');
    IOsDirName(name);
    EXPECT_EQ(fs::path(trimmed(name)), folder_ / "sub");
    std::string full(300, '#');
    IOsFullPathname("  a.txt  ", full);
    EXPECT_EQ(fs::path(trimmed(full)), folder_ / "sub" / "a.txt");
    IOsFullPathname("   ", full);
    EXPECT_EQ(full, std::string(300, ' '));
    EXPECT_TRUE(reports().empty());

    std::string shortName(4, '#');
    IOsDirName(shortName);
    EXPECT_EQ(shortName, "    ");
    EXPECT_EQ(reports().back(), " Routine:IOsDirName Error=1023:Variable too small to receive text");

    IOsDirChange("no such folder");
    const std::string head = " Routine:IOsDirChange Error=  13:Operating system error: ";
    ASSERT_GT(reports().back().size(), head.size());
    EXPECT_EQ(reports().back().substr(0, head.size()), head);
    IOsDirMake((folder_ / "sub").string());  // exists already
    EXPECT_EQ(libraryErrorState().SystemDetailCode, ERROR_ALREADY_EXISTS);
}

TEST_F(OsFiles, DeleteWithWildcardsSkipsFoldersAndGoesOnAfterAFailure)
{
    for (const char* name : {"a.tmp", "b.tmp", "c.tmp", "keep.txt"}) writeFile(name);
    fs::create_directory("d.tmp");
    SetFileAttributesA("b.tmp", FILE_ATTRIBUTE_READONLY);
    IOsDeleteFile("*.tmp");
    EXPECT_FALSE(fs::exists("a.tmp"));
    EXPECT_TRUE(fs::exists("b.tmp"));
    EXPECT_FALSE(fs::exists("c.tmp"));
    EXPECT_TRUE(fs::exists("d.tmp"));
    EXPECT_TRUE(fs::exists("keep.txt"));
    ASSERT_EQ(reports().size(), 1u);
    EXPECT_EQ(libraryErrorState().SystemDetailCode, ERROR_ACCESS_DENIED);

    IOsDeleteFile("none*.x");
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 13);
    EXPECT_EQ(libraryErrorState().SystemDetailCode, ERROR_FILE_NOT_FOUND);
    libraryErrorState().LastErrorNumber = 0;
    IOsDeleteFile("    ");
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);

    fs::create_directory("x");
    writeFile("x/one.dat");
    IOsDeleteFile("x\\one.dat");  // the folder part is kept for the entry
    EXPECT_FALSE(fs::exists("x/one.dat"));
}

// A copy over an earlier file replaces it only when whole: failed at its write, its flush or its
// replace, or refused by a read-only target, the copy leaves that file byte for byte with nothing
// beside it and reports the system's code. A whole copy keeps the source's time of last change.
TEST_F(OsFiles, CopyReplacesTheTargetOnlyWhenWhole)
{
    writeFile("source.dat", std::string(100000, 's'));
    struct Case {
        const char* what;
        std::optional<WorkFileStep> step;
        int index;  // of the step's calls (the source takes four writes)
        bool readOnly;
    };
    for (const Case& c : {Case{"second write", WorkFileStep::Write, 1, false}, Case{"flush", WorkFileStep::Flush, 0, false},
                          Case{"replace", WorkFileStep::Replace, 0, false}, Case{"read-only target", std::nullopt, 0, true}}) {
        SCOPED_TRACE(c.what);
        writeFile("target.dat", "earlier");
        if (c.readOnly) SetFileAttributesA("target.dat", FILE_ATTRIBUTE_READONLY);
        ReporterGuard::records().clear();
        {
            const WorkFileFault fault(c.step.value_or(WorkFileStep::Create), c.step ? c.index : WorkFileFault::kNoFault,
                                      YYWorkFileDiskFullCode());
            IOsCopyFile("source.dat", "target.dat");
            EXPECT_EQ(WorkFileFault::struck(), c.step.has_value());
        }
        SetFileAttributesA("target.dat", FILE_ATTRIBUTE_NORMAL);
        ASSERT_EQ(reports().size(), 1u);
        EXPECT_EQ(libraryErrorState().LastErrorNumber, 13);
        EXPECT_EQ(libraryErrorState().SystemDetailCode, c.readOnly ? YYWorkFileDeniedCode() : YYWorkFileDiskFullCode());
        std::ifstream in("target.dat", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "earlier");
        EXPECT_EQ(folderNames(folder_), (std::set<std::string>{"source.dat", "target.dat"}));
    }
    ReporterGuard::records().clear();
    const auto changed = fs::last_write_time("source.dat") - std::chrono::hours(30);
    fs::last_write_time("source.dat", changed);
    IOsCopyFile("source.dat", "target.dat");
    EXPECT_TRUE(reports().empty());
    EXPECT_EQ(fs::file_size("target.dat"), 100000u);
    EXPECT_EQ(fs::last_write_time("target.dat"), changed);
}

TEST_F(OsFiles, RenameAndCopyRules)
{
    writeFile("a.txt", "alpha");
    fs::create_directories("src");
    fs::create_directories("dst");
    writeFile("src/b.txt", "beta");
    writeFile("src/c.txt", "gamma");
    writeFile("src/d.dat", "delta");

    IOsCopyFile("a.txt", "   ");  // the target becomes the source's own name
    EXPECT_EQ(reports().back(), " Routine:IOsCopyFile Error=  55:Source and target file names same in copy command");

    const std::string src = (folder_ / "src").string();
    IOsCopyFile(src + "\\b.txt", " ");  // into the current folder under its own name
    EXPECT_TRUE(fs::exists("b.txt"));
    IOsCopyFile("a.txt", "dst\\");
    EXPECT_TRUE(fs::exists("dst/a.txt"));
    IOsCopyFile(src + "\\*.txt", "dst");
    EXPECT_TRUE(fs::exists("dst/b.txt"));
    EXPECT_TRUE(fs::exists("dst/c.txt"));
    EXPECT_FALSE(fs::exists("dst/d.dat"));
    IOsCopyFile("a.txt", "b.txt");  // overwrites
    std::ifstream in("b.txt");
    std::string contents;
    in >> contents;
    EXPECT_EQ(contents, "alpha");
    EXPECT_EQ(reports().size(), 1u);

    IOsCopyFile("src\\*.none", "dst");
    EXPECT_EQ(libraryErrorState().SystemDetailCode, ERROR_FILE_NOT_FOUND);
    IOsRenameFile("a.txt", "renamed.txt");
    EXPECT_TRUE(fs::exists("renamed.txt"));
    IOsRenameFile("a.txt", "again.txt");
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 13);
    libraryErrorState().LastErrorNumber = 0;
    IOsRenameFile("renamed.txt", "   ");  // a blank name does nothing
    EXPECT_TRUE(fs::exists("renamed.txt"));
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
}

TEST_F(OsFiles, SortedListingsModesAndCapacity)
{
    for (const char* name : {"gamma.dat", "alpha.dat", "Beta.dat", "note.txt"}) writeFile(name);
    fs::create_directory("folder.dat");
    std::vector<std::string> names(5, std::string(8, '#'));
    INTEGER n = 5;
    IOsDirInfo(folder_.string(), "*.dat", names, n);
    ASSERT_EQ(n, 3);
    EXPECT_EQ(names[0], "alpha.da");  // cut to the element length
    EXPECT_EQ(names[1], "Beta.dat");
    EXPECT_EQ(names[2], "gamma.da");

    n = 2;
    IOsDirInfo(folder_.string() + "\\", "*.dat", names, n);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(reports().back(), " Routine:IOsDirInfo Error=  40:Number of files matched by IOsDirInfo/List exceeds array size");

    std::string mode;
    YYDirListModeGet(mode);
    EXPECT_EQ(mode, "F ");
    YYDirListModeSet("fD");
    n = 5;
    IOsDirInfo(".", "*.dat", names, n);
    EXPECT_EQ(n, 4);
    YYDirListModeSet("d");
    YYDirListModeGet(mode);
    EXPECT_EQ(mode, " D");
    IOsDirInfo(".", "*.dat", n);
    EXPECT_EQ(n, 1);
    YYDirListModeSet("F");

    const std::size_t reported = reports().size();
    n = 5;
    IOsDirInfo(".", "*.none", names, n);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(reports().size(), reported);  // no match is no error
}

TEST_F(OsFiles, FolderTestIsQuiet)
{
    writeFile("file.txt");
    fs::create_directory("sub");
    libraryErrorState().LastErrorNumber = 31;
    struct Case { std::string name; LOGICAL present; } cases[] = {
        {"\\", kTrue}, {"C:\\", kTrue}, {"  sub  ", kTrue}, {folder_.string(), kTrue},
        {"", kFalse}, {"file.txt", kFalse}, {"missing", kFalse}, {"Q:\\", kFalse},
    };
    for (const auto& c : cases) EXPECT_EQ(IOsDirIsPresent(c.name), c.present) << c.name;
    EXPECT_TRUE(reports().empty());
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 31);
    std::string mode;
    YYDirListModeGet(mode);
    EXPECT_EQ(mode, "F ");
}

TEST_F(OsFiles, ToolkitFileNames)
{
    std::string name(40, '#');
    for (INTEGER item : {4, 6, 12, 0}) {
        WInfoFilename(item, name);
        EXPECT_EQ(name, std::string(40, ' ')) << item;
    }
    WInfoFilename(9, name);
    EXPECT_EQ(trimmed(name), "H");
    WInfoFilename(3, name);
    EXPECT_EQ(trimmed(name), "standard.chr");

    toolkitNameHooks().toolkitName[7] = [] { return std::string("C:\\toolkit\\folder\\that\\is\\rather\\long\\"); };
    std::string shortText(10, '#');
    WInfoFilename(7, shortText);
    toolkitNameHooks().toolkitName[7] = nullptr;
    EXPECT_EQ(shortText, "C:\\toolkit");
    EXPECT_EQ(reports().back(), " Routine:WInfoFilename Error=1023:Variable too small to receive text");

    char systemFolder[MAX_PATH] = {};
    GetSystemDirectoryA(systemFolder, MAX_PATH);
    std::string wide(300, '#');
    WInfoFilename(8, wide);
    EXPECT_EQ(trimmed(wide), systemFolder);

    char savedTemp[MAX_PATH] = {}, savedTmp[MAX_PATH] = {};
    GetEnvironmentVariableA("TEMP", savedTemp, MAX_PATH);
    GetEnvironmentVariableA("TMP", savedTmp, MAX_PATH);
    const std::string temp = (folder_ / "t").string();
    fs::create_directory("t");
    SetEnvironmentVariableA("TEMP", temp.c_str());
    WInfoFilename(10, wide);
    EXPECT_EQ(trimmed(wide), temp + "\\");
    std::string first(300, ' '), second(300, ' ');
    WInfoFilename(11, first);
    writeFile(trimmed(first));  // the next name must differ from a file that now exists
    WInfoFilename(11, second);
    EXPECT_NE(first, second);
    for (const std::string& made : {trimmed(first), trimmed(second)}) {
        const std::string file = made.substr(temp.size() + 1);
        EXPECT_EQ(file.size(), 16u);
        EXPECT_EQ(file.substr(0, 2), "xx");
        EXPECT_EQ(file.substr(12), ".tmp");
        EXPECT_EQ(file.find_first_not_of("0123456789", 2), 12u);
    }

    SetEnvironmentVariableA("TEMP", nullptr);
    SetEnvironmentVariableA("TMP", nullptr);
    WInfoFilename(10, wide);
    EXPECT_EQ(trimmed(wide), "c:\\");
    std::string twoChars(2, '#');
    WInfoFilename(10, twoChars);  // no room for the separator
    EXPECT_EQ(twoChars, "c:");
    SetEnvironmentVariableA("TEMP", savedTemp[0] ? savedTemp : nullptr);
    SetEnvironmentVariableA("TMP", savedTmp[0] ? savedTmp : nullptr);
}

TEST_F(OsFiles, FileFactsTimesAndAttributesWorkers)
{
    writeFile("a.bin", std::string(1025, 'a'));
    writeFile("b.bin");
    INTEGER size = 0, year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, attributes = 0, kib = 0;
    YYFileInfo("a.bin", size, year, month, day, hour, minute, second, attributes, kib);
    EXPECT_EQ(size, 1025);
    EXPECT_EQ(kib, 2);
    EXPECT_GE(year, 2024);
    YYFileInfo("missing.bin", size, year, month, day, hour, minute, second, attributes, kib);
    EXPECT_EQ(size, -1);

    FileTimeWords times;
    ASSERT_EQ(YYFileTimesGet("a.bin", times), 0);
    times.words[4] = 0;           // last write moved back to a fixed moment in 2001
    times.words[5] = 0x01C0E000;
    ASSERT_EQ(YYFileTimesSet("a.bin", times), 0);
    ASSERT_EQ(YYFileTimesCopy("a.bin", "b.bin"), 0);
    FileTimeWords copied;
    ASSERT_EQ(YYFileTimesGet("b.bin", copied), 0);
    EXPECT_EQ(copied.words[5], 0x01C0E000u);
    EXPECT_EQ(YYFileTimesGet("missing.bin", copied), ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(YYFileAttributesSet("b.bin", FILE_ATTRIBUTE_READONLY), 0);
    EXPECT_EQ(YYFileDelete("b.bin"), ERROR_ACCESS_DENIED);
    fs::create_directory("empty");
    EXPECT_EQ(YYFolderRemove("empty"), 0);
    EXPECT_FALSE(fs::exists("empty"));
    EXPECT_TRUE(reports().empty());
}
