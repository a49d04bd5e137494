// Byte files by handle on real files under Wine.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <filesystem>

#include "ReporterGuard.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/UnformattedFiles.h"

namespace fs = std::filesystem;

class ByteFiles : public testing::Test {
protected:
    void SetUp() override
    {
        path_ = (fs::temp_directory_path() / ("qv-bytes-" + std::to_string(GetCurrentProcessId()) + ".bin")).string();
        fs::remove(path_);
        WErrorReportMode(kReportConsole);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
    ReporterGuard guard_;
    std::string path_;
};

TEST_F(ByteFiles, OpenModesOnMissingFiles)
{
    for (INTEGER mode : {0, 2}) {
        HANDLE handle = nullptr;
        IFileOpen(path_, mode, handle);
        EXPECT_EQ(handle, INVALID_HANDLE_VALUE);
        EXPECT_EQ(libraryErrorState().FileDetailKind, 2);
        EXPECT_EQ(libraryErrorState().FileDetailCode, ERROR_FILE_NOT_FOUND);
        const std::string head = " Routine:IFileOpen Error=   1:Error opening file or device: ";
        ASSERT_GT(ReporterGuard::records().back().size(), head.size());
        EXPECT_EQ(ReporterGuard::records().back().substr(0, head.size()), head);
    }
    for (INTEGER mode : {3, -1}) {
        HANDLE handle = nullptr;
        IFileOpen(path_, mode, handle);
        EXPECT_EQ(handle, INVALID_HANDLE_VALUE);
        EXPECT_EQ(ReporterGuard::records().back(), " Routine:IFileOpen Error=   1:Error opening file or device:");
    }
    HANDLE handle = nullptr;
    IFileOpen("   ", 1, handle);
    EXPECT_EQ(handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReporterGuard::records().size(), 5u);

    IFileOpen("  " + path_ + "  ", 1, handle);  // mode 1 creates it
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    IFileCloseHandle(handle);
    EXPECT_TRUE(fs::exists(path_));
}

TEST_F(ByteFiles, WriteSeekReadAndByteOrder)
{
    HANDLE raw = nullptr;
    IFileOpen(path_, 1, raw);
    FileHandle file(raw);
    const std::string bytes("\x78\x56\x34\x12\x00\xFFtail", 10);
    INTEGER written = 0;
    IFileWriteChar(file.get(), bytes, 10, written);
    EXPECT_EQ(written, 10);
    const std::array<std::int16_t, 2> words{0x0102, 0x0304};
    IFileWriteChar(file.get(), words, 4, written);
    EXPECT_EQ(written, 4);
    INTEGER read = 0;
    std::string into(4, ' ');
    IFileReadChar(file.get(), into, 4, read);  // written for output only
    EXPECT_EQ(read, -1);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 2);
    file.reset();

    IFileOpen(path_, 0, raw);
    file.reset(raw);
    INTEGER position = 0;
    IFileSeek(file.get(), position, 2);
    EXPECT_EQ(position, 14);  // the length
    position = 0;
    IFileSeek(file.get(), position, 7);  // an unknown origin does nothing
    EXPECT_EQ(position, 0);
    IFileSeek(file.get(), position, 0);
    std::string buffer(20, ' ');
    IFileReadChar(file.get(), buffer, 4, read);
    EXPECT_EQ(read, 4);
    position = -4;
    IFileSeek(file.get(), position, 1);
    EXPECT_EQ(position, 0);
    IFileReadChar(file.get(), buffer, 20, read);
    EXPECT_EQ(read, 14);  // a short read at the end is no error
    EXPECT_EQ(buffer.substr(0, 10), bytes);
    IFileReadChar(file.get(), buffer, 20, read);
    EXPECT_EQ(read, 0);
    IFileReadChar(file.get(), buffer, 21, read);  // more than the buffer holds
    EXPECT_EQ(read, -1);

    position = 10;
    IFileSeek(file.get(), position, 0);
    std::array<std::byte, 4> swapped{};
    INTEGER count = 0;
    EXPECT_EQ(YYOsFileReadSwapped(file.get(), swapped, 2, count), 0);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(swapped[0], std::byte{0x01});  // little-endian 0x0102 read with its bytes swapped
    EXPECT_EQ(swapped[1], std::byte{0x02});
    position = -5;
    IFileSeek(file.get(), position, 0);
    EXPECT_EQ(position, -1);
    EXPECT_EQ(ReporterGuard::records().back().substr(0, 35), " Routine:IFileSeek Error=   2:Error");

    // The worker refuses an origin outside its table itself (callers other than IFileSeek reach
    // it directly) and leaves the file position where it was.
    position = 6;
    IFileSeek(file.get(), position, 0);
    for (const INTEGER origin : {-1, 3, INT_MIN, INT_MAX}) {
        INTEGER moved = 0;
        EXPECT_EQ(YYOsFileSeek(file.get(), 0, origin, moved), ERROR_INVALID_PARAMETER) << origin;
        EXPECT_EQ(moved, -1) << origin;
    }
    INTEGER here = 0;
    EXPECT_EQ(YYOsFileSeek(file.get(), 0, kSeekCurrent, here), 0);
    EXPECT_EQ(here, 6);
}
