// The probe, the loader and the counters on files by name, through the toolkit's file routines.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/toolkit/devices/ImageFileBuilders.h"
#include "tests/toolkit/foundation/ReporterGuard.h"
#include "toolkit/devices/GraphicFileProbe.h"
#include "toolkit/devices/ImageLoading.h"
#include "toolkit/foundation/WinApi.h"

using namespace image_files;
namespace fs = std::filesystem;

namespace {

// A file in the temporary folder, removed at the end of the test.
class TempFile {
public:
    TempFile(const char* name, const Bytes& bytes)
        : path_(fs::temp_directory_path() / (std::to_string(GetCurrentProcessId()) + "-" + name))
    {
        std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                     static_cast<std::streamsize>(bytes.size()));
    }
    ~TempFile() { fs::remove(path_); }
    std::string name() const { return path_.string(); }

private:
    fs::path path_;
};

}  // namespace

TEST(ImageFiles, LoadAndProbeByName)
{
    ReporterGuard guard;
    // Two rows bottom first: blue white / red green; blank padding after the name is ignored.
    const TempFile picture("two.bmp", bmp(2, 2, 24, 0, {}, {0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0,
                                                            0, 0, 0xFF, 0, 0xFF, 0, 0, 0}));
    std::vector<INTEGER> image(4, -1);
    IGrLoadImageData(picture.name() + "   ", image);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
    EXPECT_EQ(image, (std::vector<INTEGER>{0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF}));

    std::vector<INTEGER> values(6, 0);
    INTEGER n = 6;
    YYGraphicFileProbe(picture.name(), values, n);
    EXPECT_EQ(values, (std::vector<INTEGER>{1, 2, 2, 16777216, 0, 24}));

    // The page count comes from a second pass over the same file.
    const TempFile plot("plot.plt", bytesOf("IN; SC -13 1\r\nIP 0 0 1015 1015\r\nSC -3\r\nSC -3\r\nSC -3\r\n"));
    YYGraphicFileProbe(plot.name(), values, n);
    EXPECT_EQ(values, (std::vector<INTEGER>{4, 72, 72, 4, 1, 3}));
}

TEST(ImageFiles, MissingBlankAndShortFilesGiveNoAnswerAndTheCountersReportOpenFailures)
{
    ReporterGuard guard;
    const std::string missing = (fs::temp_directory_path() / "qv-no-such-image.bmp").string();
    const TempFile tiny("tiny.bmp", bytesOf("BM\0"));
    for (const std::string& name : {missing, std::string("    "), tiny.name()}) {
        SCOPED_TRACE(name);
        std::vector<INTEGER> values(6, 9);
        INTEGER n = 6;
        libraryErrorState().LastErrorNumber = 0;
        YYGraphicFileProbe(name, values, n);
        EXPECT_EQ(values[0], -1);
        EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);  // the probe reports nothing
        std::vector<INTEGER> image(4, 9);
        IGrLoadImageData(name, image);
        EXPECT_EQ(libraryErrorState().LastErrorNumber, 27);
        EXPECT_EQ(image, std::vector<INTEGER>(4, 9));
    }

    WErrorReportMode(kReportConsole);
    INTEGER count = 0;
    REAL ratio = 0;
    for (const char* routine : {"YYCNTHPG", "YYINFOCGM", "YYCNTPIC"}) {
        SCOPED_TRACE(routine);
        ReporterGuard::records().clear();
        const std::string_view r(routine);
        if (r == "YYCNTHPG") YYCNTHPG(missing, count);
        else if (r == "YYINFOCGM") YYINFOCGM(missing, count, ratio);
        else YYCNTPIC(missing, count);
        ASSERT_FALSE(ReporterGuard::records().empty());
        EXPECT_NE(ReporterGuard::records().back().find(std::string(routine) + " Error=   1"), std::string::npos);
    }
}
