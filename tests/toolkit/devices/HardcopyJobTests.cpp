// The hardcopy dispatcher and job under Wine: device selection, the start's and the stop's op
// sequences through the recording driver, print commands (recorded, and one real run with cmd).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "RecordingDriver.h"
#include "ReportCapture.h"
#include "toolkit/devices/DeviceHooks.h"
#include "toolkit/devices/HardcopyJob.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/OsEnvironment.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {

const std::vector<INTEGER> kStartAttributes{OpLineWidth, OpLineType, OpLineJoin, OpLineCap,
                                            OpClipArea,  OpCharSize, OpColour};

struct LaunchRecord {
    std::vector<std::string> commands;
    INTEGER result = 32;
};
LaunchRecord& launches()
{
    static LaunchRecord record;
    return record;
}
void recordLaunch(std::string_view command, INTEGER hide, INTEGER wait, INTEGER seconds, INTEGER& result)
{
    EXPECT_EQ(hide, 1);
    EXPECT_EQ(wait, 1);
    EXPECT_LT(seconds, 0);
    EXPECT_EQ(command.back(), '\0');
    launches().commands.emplace_back(command.substr(0, command.find('\0')));
    result = launches().result;
}

std::string trimRight(const std::string& s) { return s.substr(0, s.find_last_not_of(' ') + 1); }

std::string tempFolder()
{
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    return path;
}

bool fileExists(const std::string& name) { return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES; }

void writeFile(const std::string& name, const std::string& text) { std::ofstream(name, std::ios::binary) << text; }

std::string readFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class JobFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGraphicsForTest();
        // The hooks bring the real file drivers; the recording driver stays on every device.
        const auto drivers = driverHooks().HardcopyDrivers;
        YYDeviceHooksInstall();
        driverHooks().HardcopyDrivers = drivers;
        hardcopyJobState() = HardcopyJobState{};
        hardcopyJobState().OutputFile.assign("raridevu.out");
        hardcopyJobState().TempPlotFile.assign(tempFolder() + "zid$$07.plt");
        launches() = LaunchRecord{};
        programLaunchHooks().run = recordLaunch;
        libraryErrorState().LastErrorNumber = 0;
        driver.clear();
    }
    void TearDown() override
    {
        programLaunchHooks().run = nullptr;
        graphicsState().HardcopyActive = 0;
        hardcopyJobState().PrintCommand.assign("");
        drawableHooks() = DrawableHooks{};
    }
    std::vector<RecordedOp> hardcopyOps()
    {
        std::vector<RecordedOp> list;
        for (const RecordedOp& op : driver.ops())
            if (op.Layer == 2) list.push_back(op);
        return list;
    }
    RecordingDriver driver{false, true};
};

}  // namespace

TEST_F(JobFixture, EveryDeviceWithADriverStartsAndStops)
{
    for (const INTEGER device : {1, 2, 3, 4, 6, 8, 9, 10, 11, 12}) {
        IGrHardcopyDevice(1, device);
        EXPECT_EQ(driverHooks().HardcopyDevice, device);
        ASSERT_EQ(driver.codes(2), std::vector<INTEGER>{OpInit}) << device;
        EXPECT_NE(driver.ops()[0].Block.Count, -999) << device;  // a full initialisation
        driver.clear();

        IGrHardcopyBeginEnd(" ");
        const std::vector<RecordedOp> ops = hardcopyOps();
        ASSERT_GE(ops.size(), 2u + kStartAttributes.size()) << device;
        EXPECT_EQ(ops[0].Op, OpInit);
        EXPECT_EQ(ops[0].Block.Count, -999);
        EXPECT_EQ(ops[1].Op, OpBeginOutput);
        EXPECT_EQ(ops[1].Block.Count, 1);  // the driver's default name
        EXPECT_EQ(ops[1].Block.Value, 1);
        EXPECT_EQ(ops[1].Text, "raridevu.out");
        std::vector<INTEGER> tail;
        for (std::size_t k = ops.size() - kStartAttributes.size(); k < ops.size(); ++k) tail.push_back(ops[k].Op);
        EXPECT_EQ(tail, kStartAttributes) << device;
        EXPECT_EQ(graphicsState().HardcopyActive, 1);
        driver.clear();

        hardcopyJobState().PageOpen = -1;  // the driver drew on a page
        IGrHardcopyBeginEnd("S");
        const std::vector<RecordedOp> stop = hardcopyOps();
        ASSERT_EQ(stop.size(), 2u) << device;
        EXPECT_EQ(stop[0].Op, OpEndPage);
        EXPECT_EQ(stop[0].Block.Count, 1);
        EXPECT_EQ(stop[0].Block.Value, 32);
        EXPECT_EQ(stop[1].Op, OpEndOutput);
        EXPECT_EQ(graphicsState().HardcopyActive, 0);
        hardcopyJobState().PageOpen = 0;
        driver.clear();
    }
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
}

TEST_F(JobFixture, StopWithoutAPageOrAJob)
{
    IGrHardcopyBeginEnd();
    driver.clear();
    IGrHardcopyBeginEnd("s");
    EXPECT_EQ(driver.codes(2), std::vector<INTEGER>{OpEndOutput});  // no page open: no page end
    driver.clear();
    IGrHardcopyBeginEnd("S");
    EXPECT_TRUE(driver.codes(2).empty());  // nothing open: nothing sent
    EXPECT_TRUE(launches().commands.empty());
}

TEST_F(JobFixture, ActionsThatStartAndTheNamesTheyGive)
{
    struct Case {
        const char* what;
        std::optional<std::string_view> action;
        INTEGER count;
        const char* file;
    };
    const Case cases[] = {
        {"absent", std::nullopt, 1, "raridevu.out"},
        {"blank", " ", 1, "raridevu.out"},
        {"two characters", "S ", 0, "S"},
        {"another letter", "x", 0, "x"},
        {"a name", "C:\\plots\\chart.plt", 0, "C:\\plots\\chart.plt"},
        {"at sign inside a name", "a@b.plt", 0, "a@b.plt"},
        {"template on a device without print command", "lpr @ now", 0, "lpr @ now"},
    };
    for (const Case& c : cases) {
        IGrHardcopyBeginEnd("S");
        driver.clear();
        IGrHardcopyBeginEnd(c.action);
        const std::vector<RecordedOp> ops = hardcopyOps();
        ASSERT_GE(ops.size(), 2u) << c.what;
        EXPECT_EQ(ops[1].Op, OpBeginOutput) << c.what;
        EXPECT_EQ(ops[1].Block.Count, c.count) << c.what;
        EXPECT_EQ(ops[1].Text, c.file) << c.what;
        EXPECT_EQ(graphicsState().HardcopyActive, 1) << c.what;
    }
    IGrHardcopyBeginEnd("S");
    EXPECT_EQ(hardcopyJobState().PrintCommand.trimmed(), "");
}

TEST_F(JobFixture, TitleIsKeptOnlyWhenGiven)
{
    IGrHardcopyBeginEnd(" ", "Sounding 12, late times");
    EXPECT_EQ(hardcopyOps()[1].Block.IntX1, 1);
    EXPECT_EQ(hardcopyJobState().Title.trimmed(), "Sounding 12, late times");
    IGrHardcopyBeginEnd("S");
    driver.clear();
    IGrHardcopyBeginEnd(" ");
    EXPECT_EQ(hardcopyOps()[1].Block.IntX1, 0);
    EXPECT_EQ(hardcopyJobState().Title.trimmed(), "Sounding 12, late times");
    IGrHardcopyBeginEnd("S");
}

TEST_F(JobFixture, SelectingWithAnotherOptionSendsNothing)
{
    IGrHardcopyDevice(1, 3);
    driver.clear();
    IGrHardcopyDevice(2, 10);
    IGrHardcopyDevice(0, 10);
    EXPECT_EQ(driverHooks().HardcopyDevice, 3);
    EXPECT_TRUE(driver.ops().empty());
}

TEST_F(JobFixture, DevicesWithoutADriverLeaveTheJobClosed)
{
    for (const INTEGER device : {5, 7, 0, 13, -2}) {
        IGrHardcopyDevice(1, device);
        EXPECT_EQ(driverHooks().HardcopyDevice, device);
        IGrHardcopyBeginEnd(" ");
        EXPECT_EQ(graphicsState().HardcopyActive, 0) << device;
        EXPECT_TRUE(driver.ops().empty()) << device;
    }
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);

    // The query left unanswered must not turn the next selection into a query.
    EXPECT_EQ(driverParameterBlock().Count, -999);
    IGrHardcopyDevice(1, 2);
    ASSERT_EQ(driver.codes(2), std::vector<INTEGER>{OpInit});
    EXPECT_NE(driver.ops()[0].Block.Count, -999);
}

TEST_F(JobFixture, DriverThatCannotStartGetsNothingMore)
{
    driver.refuseHardcopyOutput(true);
    IGrHardcopyBeginEnd("Z:\\no\\such\\folder\\plot.ps");
    EXPECT_EQ(driver.codes(2), (std::vector<INTEGER>{OpInit, OpBeginOutput}));
    EXPECT_EQ(graphicsState().HardcopyActive, 0);
    driver.clear();
    IGrHardcopyBeginEnd("S");
    EXPECT_TRUE(driver.ops().empty());

    // A print command waiting for output that never came is dropped.
    hardcopyJobState().PrintByCommand = 1;
    IGrHardcopyBeginEnd("lpr @ -h");
    EXPECT_EQ(hardcopyJobState().PrintCommand.trimmed(), "");
    IGrHardcopyBeginEnd("S");
    EXPECT_TRUE(launches().commands.empty());
}

TEST_F(JobFixture, GraphicsResetStopsWithoutClosingThePage)
{
    IGrHardcopyBeginEnd(" ");
    hardcopyJobState().PageOpen = -1;
    driver.clear();
    IGrResetGraphics(" ");
    const std::vector<INTEGER> codes = driver.codes(2);
    const auto end = std::find(codes.begin(), codes.end(), OpEndOutput);
    ASSERT_NE(end, codes.end());
    ASSERT_NE(end + 1, codes.end());
    EXPECT_EQ(*(end + 1), OpInit);  // then the driver is initialised again
    EXPECT_EQ(std::find(codes.begin(), codes.end(), OpEndPage), codes.end());
    EXPECT_EQ(hardcopyJobState().PageOpen, 0);
    EXPECT_EQ(graphicsState().HardcopyActive, 0);
}

TEST_F(JobFixture, TemplateSendsTheTemporaryFileAndTheStopRunsTheCommand)
{
    hardcopyJobState().PrintByCommand = 1;
    const std::string temporary = hardcopyJobState().TempPlotFile.trimmed();
    IGrHardcopyBeginEnd("lpr -P plotter @ -h");
    ASSERT_GE(hardcopyOps().size(), 2u);
    EXPECT_EQ(hardcopyOps()[1].Text, temporary);
    EXPECT_EQ(hardcopyOps()[1].Block.Count, 0);
    EXPECT_EQ(hardcopyJobState().PrintCommand.trimmed(), "lpr -P plotter @ -h");
    writeFile(temporary, "IN;SP1;");  // what the driver would have written

    IGrHardcopyBeginEnd("S");
    ASSERT_EQ(launches().commands.size(), 1u);
    EXPECT_EQ(trimRight(launches().commands[0]), "cmd.exe /c lpr -P plotter " + temporary + " -h");
    EXPECT_FALSE(fileExists(temporary));
    EXPECT_EQ(hardcopyJobState().PrintCommand.trimmed(), "");
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);

    IGrHardcopyBeginEnd("S");
    EXPECT_EQ(launches().commands.size(), 1u);  // run once
}

TEST_F(JobFixture, CommandThatCannotRunIsReportedAndTheFileStillGoes)
{
    hardcopyJobState().PrintByCommand = 1;
    const std::string temporary = hardcopyJobState().TempPlotFile.trimmed();
    IGrHardcopyBeginEnd("nosuchprinter @ now");
    writeFile(temporary, "x");
    launches().result = ERROR_FILE_NOT_FOUND;
    {
        const ReportCapture report;
        IGrHardcopyBeginEnd("S");
        EXPECT_NE(ReportCapture::last().find("YYPRNCMD Error=  13"), std::string::npos) << ReportCapture::last();
    }
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 13);
    EXPECT_FALSE(fileExists(temporary));
    EXPECT_EQ(hardcopyJobState().PrintCommand.trimmed(), "");
}

TEST_F(JobFixture, CommandTooLongForTheTemplateIsRunWhole)
{
    hardcopyJobState().PrintByCommand = 1;
    const std::string folder = tempFolder();
    const std::string tail(230, 'q');
    IGrHardcopyBeginEnd("x @ " + tail);
    IGrHardcopyBeginEnd("S");
    ASSERT_EQ(launches().commands.size(), 1u);
    const std::string command = trimRight(launches().commands[0]);
    EXPECT_EQ(command, "cmd.exe /c x " + hardcopyJobState().TempPlotFile.trimmed() + " " + tail);
}

TEST_F(JobFixture, RealCommandCopiesTheFinishedFile)
{
    programLaunchHooks().run = nullptr;
    hardcopyJobState().PrintByCommand = 1;
    const std::string temporary = hardcopyJobState().TempPlotFile.trimmed();
    const std::string copy = tempFolder() + "hardcopy-job-copy.txt";
    DeleteFileA(copy.c_str());
    IGrHardcopyBeginEnd("copy /y @ " + copy);
    writeFile(temporary, "plotted page\r\n");
    IGrHardcopyBeginEnd("S");
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
    EXPECT_EQ(readFile(copy), "plotted page\r\n");
    EXPECT_FALSE(fileExists(temporary));
    DeleteFileA(copy.c_str());
}
