// The raster printer device (4) in the program's own set-up under Wine: selected, started with a
// print-command template, drawn on through the graphics layer, and stopped; the command runs (through
// the launcher seam) on the finished printer file.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "RecordingDriver.h"
#include "toolkit/devices/DeviceHooks.h"
#include "toolkit/devices/DeviceModels.h"
#include "toolkit/devices/HardcopyJob.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/OsEnvironment.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"

namespace {

struct PrintRun {
    std::string command;
    std::string fileBytes;  // the file named in the command, read while the command runs
};
PrintRun& printRun()
{
    static PrintRun run;
    return run;
}

std::string tempFile(const char* name)
{
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    return std::string(path) + name;
}

TEST(RasterPrinterJob, PrintCommandRunsOnTheFinishedFile)
{
    resetGraphicsForTest(200, 100);
    YYDeviceHooksInstall();
    YYPrinterModel(28);
    libraryErrorState().LastErrorNumber = 0;
    const std::string temporary = tempFile("qv-raster-print.tmp");
    hardcopyJobState().TempPlotFile.assign(temporary);
    printRun() = PrintRun{};
    programLaunchHooks().run = [](std::string_view command, INTEGER, INTEGER, INTEGER, INTEGER& result) {
        printRun().command = std::string(command.substr(0, command.find('\0')));
        std::ifstream in(hardcopyJobState().TempPlotFile.trimmed(), std::ios::binary);
        printRun().fileBytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        result = 32;
    };

    IGrHardcopyDevice(1, 4);
    EXPECT_EQ(hardcopyJobState().PrintByCommand, 1);
    IGrHardcopyBeginEnd("lpr -P laser @ -l");
    ASSERT_GT(graphicsState().HardcopyActive, 0);
    IGrPenMove(0.1f, 0.5f);
    IGrPenDraw(0.9f, 0.5f);
    IGrHardcopyBeginEnd("S");
    programLaunchHooks().run = nullptr;
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);

    const std::string command = printRun().command.substr(0, printRun().command.find_last_not_of(' ') + 1);
    EXPECT_EQ(command, "cmd.exe /c lpr -P laser " + temporary + " -l");
    const std::string& file = printRun().fileBytes;
    const std::string esc = "\x1b";
    EXPECT_EQ(file.substr(0, 37), esc + "E" + esc + "&a0700h1000V" + esc + "*t150R" + esc + "*r0904s1A" + esc + "*b2M");
    const std::string end = esc + "&l01X" + esc + "*rB" + esc + "E";
    ASSERT_GT(file.size(), end.size());
    EXPECT_EQ(file.substr(file.size() - end.size()), end);
    // 1200 rows between them, some of which carry the drawn line.
    std::size_t headers = 0;
    for (std::size_t pos = file.find(esc + "*b"); pos != std::string::npos; pos = file.find(esc + "*b", pos + 1)) ++headers;
    EXPECT_EQ(headers, 1200u + 1u);  // and the compression method's command
    EXPECT_EQ(GetFileAttributesA(temporary.c_str()), INVALID_FILE_ATTRIBUTES);  // removed after the command
}

}  // namespace
