// The file drivers' output unit: opening from the work buffer, raw and line writes, the named file
// replaced only by a complete one, failures.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "ReportCapture.h"
#include "toolkit/devices/OutputUnit.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/graphics/DriverProtocol.h"

namespace {

std::string tempFolder()
{
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    return path;
}

std::string readFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class OutputUnitFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        libraryErrorState().LastErrorNumber = 0;
        file_ = tempFolder() + "output-unit.txt";
        DeleteFileA(file_.c_str());
    }
    void TearDown() override
    {
        YYProuClose(2);
        DeleteFileA(file_.c_str());
    }
    void open(const std::string& name)
    {
        stringWorkBuffer().assign(name);
        YYProuOpen(2);
    }
    std::string file_;
};

}  // namespace

TEST_F(OutputUnitFixture, BlankNameFailsWithoutAFile)
{
    outputUnitState().OutputStatus = 0;
    const ReportCapture report;
    open("");
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1);
    EXPECT_NE(ReportCapture::last().find("YYPROU Error=   1"), std::string::npos) << ReportCapture::last();
    EXPECT_EQ(outputUnitState().OutputStatus, -1);
    HANDLE handle = nullptr;
    YYProuUnit(2, handle);
    EXPECT_EQ(handle, INVALID_HANDLE_VALUE);
}

TEST_F(OutputUnitFixture, LinesEndInCarriageReturnAndLineFeed)
{
    open(file_);
    ASSERT_EQ(outputUnitState().OutputStatus, 0);
    EXPECT_EQ(stringWorkBuffer()[file_.size()], '\0');  // the buffer shows where the name ends
    YYProuLine(2, "HELLO");
    YYPROU(2, "HELLO");
    YYPROU(2, std::string_view("\0\x1b", 2));
    YYProuClose(2);
    EXPECT_EQ(readFile(file_), std::string("HELLO\r\nHELLO\0\x1b", 14));
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
}

TEST_F(OutputUnitFixture, ExistingFileIsReplacedAtTheCloseAndItsHandleOffered)
{
    std::ofstream(file_, std::ios::binary) << "an older and much longer content";
    open(file_);
    HANDLE handle = nullptr;
    YYProuUnit(2, handle);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(handle, "ab", 2, &written, nullptr);  // a writer that calls the system itself
    YYPROU(2, "c");
    YYProuClose(2);
    EXPECT_EQ(readFile(file_), "abc");
    YYProuUnit(2, handle);
    EXPECT_EQ(handle, INVALID_HANDLE_VALUE);
}

TEST_F(OutputUnitFixture, FailedOpenAndWritesToAClosedUnitAreReported)
{
    open("Z:\\no\\such\\folder\\plot.ps");
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1);
    EXPECT_EQ(outputUnitState().OutputStatus, -1);
    open(file_);
    EXPECT_EQ(outputUnitState().OutputStatus, 0);  // a new open starts afresh
    YYProuClose(2);
    libraryErrorState().LastErrorNumber = 0;
    YYProuLine(2, "late");
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 2);
    EXPECT_EQ(outputUnitState().OutputStatus, -1);
}

TEST_F(OutputUnitFixture, NameFillingTheWholeBufferWorks)
{
    // A folder and a file name that together make exactly 260 characters.
    const std::string base = tempFolder();
    const std::string folder = base + std::string(200 - base.size(), 'f');
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string name = folder + "\\" + std::string(259 - folder.size() - 4, 'n') + ".plt";
    ASSERT_EQ(name.size(), 260u);
    open(name);
    EXPECT_EQ(outputUnitState().OutputStatus, 0) << YYLastErrorMessage().trimmed();
    YYProuLine(2, "IN;");
    YYProuClose(2);
    EXPECT_EQ(readFile(name), "IN;\r\n");
    EXPECT_EQ(stringWorkBuffer().view(), std::string_view(name));  // nothing written past the name
    DeleteFileA(name.c_str());
    RemoveDirectoryA(folder.c_str());
}

// A read-only target is refused when the unit opens; a target another program holds open cannot be
// replaced when it closes. Either way the report says so once, the old file keeps its bytes and no
// work file is left in the folder.
TEST_F(OutputUnitFixture, ReadOnlyOrLockedTargetKeepsItsBytes)
{
    const std::string old = "an earlier plot\r\n";
    // The work files in the folder (the temporary folder may hold those of a program that crashed).
    const auto workFiles = [] {
        std::set<std::string> names;
        WIN32_FIND_DATAA found{};
        const FindHandle search(FindFirstFileA((tempFolder() + "~qv*.tmp").c_str(), &found));
        if (search)
            do names.insert(found.cFileName);
            while (FindNextFileA(search.get(), &found));
        return names;
    };
    const std::set<std::string> before = workFiles();
    std::ofstream(file_, std::ios::binary) << old;
    ASSERT_TRUE(SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_READONLY));
    const ReportCapture report;
    open(file_);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1);
    EXPECT_EQ(outputUnitState().OutputStatus, -1);
    EXPECT_FALSE(YYProuIsOpen(2));
    SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(readFile(file_), old);

    libraryErrorState().LastErrorNumber = 0;
    open(file_);
    ASSERT_EQ(outputUnitState().OutputStatus, 0);
    YYProuLine(2, "new plot");
    {
        const FileHandle holder(CreateFileA(file_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        YYProuClose(2);
    }
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 3);
    EXPECT_NE(ReportCapture::last().find("YYPROU Error=   3"), std::string::npos) << ReportCapture::last();
    EXPECT_EQ(readFile(file_), old);
    EXPECT_EQ(workFiles(), before);
}
