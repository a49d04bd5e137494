// The set-up the file drivers share (DriverSetup.h), driver by driver: each answers the
// identification query with its own device number and initialises nothing, a start on a file that
// cannot be made ends the job with the output unit's error, and a start that works leaves the
// caller's last error as it was.
#include <gtest/gtest.h>

#include <filesystem>

#include "TextDriverSession.h"
#include "tests/toolkit/foundation/ReporterGuard.h"

namespace {

struct FileDriverCase {
    INTEGER device;
    const char* file;
};

constexpr FileDriverCase kFileDrivers[] = {
    {1, "setup.plt"}, {2, "setup.ps"}, {3, "setup.svg"}, {8, "setup.dxf"}, {12, "setup2.plt"},
};

}  // namespace

TEST(FileDriverSetup, QueryOpenFailureAndKeptErrorAlikeInEveryDriver)
{
    for (const FileDriverCase& c : kFileDrivers) {
        SCOPED_TRACE(c.file);
        ReporterGuard reporter;
        TextDriverSession job(c.device, c.file);
        DriverParameterBlock& b = driverParameterBlock();
        GraphicsState& g = graphicsState();
        HardcopyJobState& state = hardcopyJobState();

        state.DriverDevice = 0;
        b.Count = -999;
        driverHooks().HardcopyDrivers[static_cast<std::size_t>(c.device)](OpInit);
        EXPECT_EQ(b.Count, c.device);
        EXPECT_EQ(state.DriverDevice, 0);
        state.DriverDevice = c.device;

        stringWorkBuffer().assign("/nonexistent-folder/" + std::string(c.file));
        g.HardcopyActive = 1;
        b.Value = 1;
        b.IntX1 = 0;
        YYDriverHardcopy(OpBeginOutput);
        EXPECT_EQ(g.HardcopyActive, 0);
        EXPECT_EQ(libraryErrorState().LastErrorNumber, 1);

        libraryErrorState().LastErrorNumber = 77;
        job.start();
        EXPECT_EQ(g.HardcopyActive, 1);
        EXPECT_EQ(libraryErrorState().LastErrorNumber, 77);
        job.finish();
        EXPECT_TRUE(std::filesystem::exists(job.path()));
    }
}
