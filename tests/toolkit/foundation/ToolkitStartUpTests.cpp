// Toolkit start-up and shut-down on real files, folders and environment variables under Wine.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/GuiHarness.h"
#include "toolkit/devices/DeviceModels.h"
#include "toolkit/devices/HardcopyJob.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/MetafileSlots.h"
#include "toolkit/editor/EditorDocuments.h"
#include "toolkit/foundation/CharacterRoutines.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/OsEnvironment.h"
#include "toolkit/foundation/OsFiles.h"
#include "toolkit/foundation/ToolkitStartUp.h"
#include "toolkit/foundation/WindowPlacement.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/StrokeFonts.h"

namespace {

// A private folder with its own files; the environment variables start-up reads are cleared
// and restored, and the current folder is put back.
class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char base[MAX_PATH] = {};
        GetTempPathA(sizeof base, base);
        folder_ = std::string(base) + "qvstartup" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(folder_.c_str(), nullptr);
        char current[MAX_PATH] = {};
        GetCurrentDirectoryA(sizeof current, current);
        savedCurrent_ = current;
        for (const char* name : kVariables) {
            char value[1024] = {};
            const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
            saved_.push_back(n ? std::string(value, n) : std::string("\x01"));
            SetEnvironmentVariableA(name, nullptr);
        }
        toolkitStartUpState().StartUpGuard = 0;
        libraryErrorState() = LibraryErrorState{};
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(savedCurrent_.c_str());
        for (std::size_t i = 0; i < saved_.size(); ++i)
            SetEnvironmentVariableA(kVariables[i], saved_[i] == "\x01" ? nullptr : saved_[i].c_str());
        for (const std::string& file : files_) DeleteFileA(file.c_str());
        for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) RemoveDirectoryA(it->c_str());
        RemoveDirectoryA(folder_.c_str());
        libraryErrorState() = LibraryErrorState{};
    }
    std::string write(const std::string& name, const std::string& text)
    {
        const std::string path = folder_ + name;
        std::ofstream(path, std::ios::binary) << text;
        files_.push_back(path);
        return path;
    }
    std::string subfolder(const std::string& name)
    {
        const std::string path = folder_ + name;
        CreateDirectoryA(path.c_str(), nullptr);
        folders_.push_back(path);
        return path + "\\";
    }
    static void restart(std::optional<std::string_view> ini = std::nullopt)
    {
        toolkitStartUpState().StartUpGuard = 0;
        WToolkitStartUp(ini);
    }

    static constexpr const char* kVariables[] = {"DOVEINIT", "DOVEDEBUG", "DOVEDO", "WIDE", "TEMP", "TMP"};
    std::string folder_, savedCurrent_;
    std::vector<std::string> saved_, files_, folders_;
};

}  // namespace

TEST_F(StartUpTest, ToolkitFolderFromEnvironment)
{
    struct Case { const char* dovedo; const char* wide; std::string expected; };
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof current, current);
    const Case cases[] = {
        {"D:\\tools", nullptr, "D:\\tools\\"},
        {"D:\\tools\\", "C:\\x", "D:\\tools\\"},
        {nullptr, "C:\\Progs\\Wide\\bin", "C:\\Progs\\"},
        {nullptr, "C:\\Other", "C:\\Other"},
        {nullptr, nullptr, std::string(current, 2) + "\\dove\\"},
    };
    for (const Case& c : cases) {
        SetEnvironmentVariableA("DOVEDO", c.dovedo);
        SetEnvironmentVariableA("WIDE", c.wide);
        YYToolkitFolder();
        EXPECT_EQ(toolkitStartUpState().ToolkitFolder.trimmed(), c.expected);
        EXPECT_EQ(toolkitStartUpState().LFNGEN, 40);
    }
}

TEST_F(StartUpTest, SettingsFileLookupOrder)
{
    const std::string toolkit = subfolder("kit");
    const std::string work = subfolder("work");
    SetEnvironmentVariableA("DOVEDO", toolkit.c_str());
    SetCurrentDirectoryA(work.c_str());

    restart();
    EXPECT_EQ(toolkitStartUpState().SettingsFilePath.trimmed(), "");  // none anywhere
    EXPECT_EQ(toolkitStartUpState().CharacterSetFolder.trimmed(), toolkit + "charsets\\");

    const std::string inToolkit = write("kit\\dovedo.ini", "DEBUG=1\n");
    files_.push_back(inToolkit);
    restart();
    EXPECT_EQ(toolkitStartUpState().SettingsFilePath.trimmed(), toolkit + "dovedo.ini");
    EXPECT_EQ(libraryErrorState().ReportMode, 1);

    write("work\\dovedo.ini", "DEBUG=3\n");
    restart();
    EXPECT_EQ(toolkitStartUpState().SettingsFilePath.trimmed(), "dovedo.ini");
    EXPECT_EQ(libraryErrorState().ReportMode, 3);

    SetEnvironmentVariableA("DOVEINIT", (folder_ + "missing.ini").c_str());
    restart();
    EXPECT_EQ(toolkitStartUpState().SettingsFilePath.trimmed(), "dovedo.ini");

    const std::string named = write("named.ini", "DEBUG=2\n");
    SetEnvironmentVariableA("DOVEINIT", named.c_str());
    restart();
    EXPECT_EQ(toolkitStartUpState().SettingsFilePath.trimmed(), named);
    EXPECT_EQ(libraryErrorState().ReportMode, 2);

    // The caller's own file comes before all of them; a second start-up reads nothing.
    const std::string callers = write("callers.ini", "DEBUG=4\n");
    restart(callers);
    EXPECT_EQ(libraryErrorState().ReportMode, 4);
    WErrorReportMode(0);
    WToolkitStartUp(callers);
    EXPECT_EQ(libraryErrorState().ReportMode, 0);
}

TEST_F(StartUpTest, SettingsKeys)
{
    // The conversion error of "DEBUG=x" goes to the debug file in the current folder: this test's own.
    SetCurrentDirectoryA(folder_.c_str());
    files_.push_back(folder_ + "debug");
    SetEnvironmentVariableA("DOVEDEBUG", "1x");
    const std::string ini = write("keys.ini",
                                  "[section without equals]\n"
                                  "  debug = 2\n"
                                  "Debug=9\n"
                                  "DEBUG=x\n"
                                  "VE=1\n"
                                  "=5\n"
                                  "\tCHARDIR\t=\tC:\\fonts \n"
                                  "charset=big.chr\n"
                                  "LFNGEN=42\n"
                                  "LFNGEN=50\n"
                                  "LFNPLOTIxyz=40\n"
                                  "PRINTER=27\n"
                                  "PLOTTER=12\n"
                                  "HPGL2=\n");
    restart(ini);
    const ToolkitStartUpState& s = toolkitStartUpState();
    EXPECT_EQ(libraryErrorState().ReportMode, 2);  // from the file, over DOVEDEBUG's 1
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
    EXPECT_EQ(s.CharacterSetFolder.trimmed(), "C:\\fonts\\");
    EXPECT_EQ(s.CharacterSetFile.trimmed(), "big.chr");
    EXPECT_EQ(s.LFNGEN, 50);
    EXPECT_EQ(hardcopyJobState().LFNPLOT, 40);
    EXPECT_EQ(printerModelState().PrinterModel, 28);  // 27 is not a model
    EXPECT_EQ(printerModelState().PlotterType, 1);
    EXPECT_EQ(printerModelState().Hpgl2Type, 2);      // fixed by the plotter selection 12
    EXPECT_EQ(WInfoDisplayQuery(4), 1);
    EXPECT_EQ(WInfoDisplayQuery(5), 1);
    EXPECT_GT(WInfoDisplayQuery(1), 0);
    EXPECT_EQ(undefinedValueTable().IntegerValue, -999);
    YYDebugLogReset();
    std::ifstream log(folder_ + "debug");
    std::string line;
    std::getline(log, line);
    EXPECT_EQ(line.rfind("Routine:IStringToInteger Error=  12:", 0), 0u) << line;
}

TEST_F(StartUpTest, TemporaryNamesSkipTakenOnesAndNeverBorrow)
{
    const std::string temp = subfolder("temp");
    SetEnvironmentVariableA("TEMP", (folder_ + "temp").c_str());
    write("temp\\zid$$00.plt", "x");
    files_.push_back(temp + "zid$$00.plt");
    YYTempFileNames();
    EXPECT_EQ(hardcopyJobState().TempPlotFile.trimmed(), temp + "zid$$01.plt");
    EXPECT_EQ(hardcopyJobState().TempDumpFile.trimmed(), temp + "zid$$00.dmp");

    for (int k = 1; k < 100; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "temp\\zid$$%02d.plt", k);
        write(name, "x");
    }
    YYTempFileNames();
    EXPECT_EQ(hardcopyJobState().TempPlotFile.trimmed(), "");  // all taken: no name rather than someone's file

    SetEnvironmentVariableA("TEMP", nullptr);
    YYTempFileNames();
    const std::string plot = hardcopyJobState().TempPlotFile.trimmed();
    EXPECT_EQ(plot.substr(0, 3), "C:\\");
    EXPECT_EQ(plot.substr(plot.size() - 4), ".plt");
}

namespace {
struct ShutDownTrace {
    std::string command;
    bool windowAlive = false;
};
ShutDownTrace& trace()
{
    static ShutDownTrace t;
    return t;
}
void recordCommand(std::string_view command, INTEGER, INTEGER, INTEGER, INTEGER& result)
{
    trace().command = std::string(command.substr(0, command.find('\0')));
    trace().windowAlive = static_cast<bool>(windowSlotTable().Slots[0].Frame);
    result = 32;
}
}  // namespace

TEST_F(StartUpTest, ShutDownReleasesInOrder)
{
    GuiHarness::Watchdog watchdog;
    restart();
    WindowOpen(39, -999999, -999999, 300, 200);
    ASSERT_TRUE(windowSlotTable().Slots[0].Frame);
    HWND frame = windowSlotTable().Slots[0].Frame.get();
    graphicsState().HardcopyActive = 1;
    hardcopyJobState().TempPlotFile.assign("C:\\nowhere\\zid$$00.plt");
    hardcopyJobState().PrintCommand.assign("print /d @ now");
    INTEGER pictureStatus = 1;
    YYCgmSlotCreate(3, 72, 72, 4096, pictureStatus);
    ASSERT_EQ(pictureStatus, 0);
    if (!editorDocumentTable().Allocated) YYEditorDocumentsAllocate();
    YYEditorFileListPutName(3, 2, "C:\\held.txt", 12);
    programLaunchHooks().run = recordCommand;

    WToolkitShutDown();
    programLaunchHooks().run = nullptr;
    EXPECT_EQ(trace().command.substr(0, trace().command.find_last_not_of(' ') + 1),
              "cmd.exe /c print /d C:\\nowhere\\zid$$00.plt now");
    EXPECT_TRUE(trace().windowAlive);  // the hardcopy ends before the windows go
    EXPECT_EQ(graphicsState().HardcopyActive, 0);
    EXPECT_EQ(hardcopyJobState().PrintCommand.trimmed(), "");
    EXPECT_EQ(metafileSlotTable().Slots[2].Words[kSlotKind], kSlotKindFree);
    EXPECT_TRUE(metafileSlotTable().Slots[2].Bytes.empty());
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
    EXPECT_FALSE(IsWindow(frame));
    // The editor's document table goes with every buffer it held.
    EXPECT_FALSE(editorDocumentTable().Allocated);
    EXPECT_EQ(editorDocumentTable().BuffersMade, editorDocumentTable().BuffersFreed);
    EXPECT_EQ(WInfoWindowQuery(3), -1);
    windowEngineState().MainWindowOpen = 0;
}

TEST_F(StartUpTest, NamesBeepsMailAndStatusBarReportsAreWiredUp)
{
    GuiHarness::Watchdog watchdog;
    const std::string ini = write("names.ini", "CHARDIR=C:\\fonts\nCHARSET=big.chr\n");
    SetEnvironmentVariableA("DOVEDO", "D:\\kit");
    restart(ini);
    screenDumpRecord().FileName.assign("dump.bmp");
    hardcopyJobState().OutputFile.assign("out.plt");
    strokeFontTable() = StrokeFontTable{};
    struct Item { INTEGER item; std::string expected; };
    const Item items[] = {
        {1, "dump.bmp"}, {2, "out.plt"}, {3, "big.chr"}, {5, "C:\\fonts\\"}, {7, "D:\\kit\\"},
        {8, toolkitStartUpState().SystemFolder.trimmed()}, {9, "H"},
    };
    for (const Item& c : items) {
        std::string name(80, ' ');
        WInfoFilename(c.item, name);
        EXPECT_EQ(name.substr(0, name.find_last_not_of(' ') + 1), c.expected) << "item " << c.item;
    }
    YYStrokeFontStandard();
    std::string name(80, ' ');
    WInfoFilename(9, name);
    EXPECT_EQ(name.substr(0, name.find_last_not_of(' ') + 1), "standard.chr");

    // Beeps switched off through the public switch are silent; on again, they sound.
    const INTEGER beeps = cursorState().Beeps;
    WBeepControl("off");
    WBeepControl("now");
    EXPECT_EQ(cursorState().Beeps, beeps);
    WBeepControl("ON ");
    WBeepControl("now");
    EXPECT_EQ(cursorState().Beeps, beeps + 1);

    // The main window brings the mail entries and the status-bar report.
    WindowOpen(39, -999999, -999999, 300, 200);
    ASSERT_TRUE(windowSlotTable().Slots[0].StatusBar);
    EXPECT_EQ(mailEntryPoints().sendMail, reinterpret_cast<void*>(windowEngineState().MapiSendMail));
    WErrorReportMode(3);
    YYErrorReport(13, "IOsDirChange");
    const std::string shown = GuiHarness::statusBarText(windowSlotTable().Slots[0].StatusBar, 0);
    EXPECT_EQ(shown.rfind("Routine:IOsDirChange Error=  13:", 0), 0u) << shown;
    WErrorReportMode(0);
    WToolkitShutDown();
    EXPECT_EQ(mailEntryPoints().sendMail, nullptr);
    EXPECT_EQ(errorReportHooks().statusBarText, nullptr);
    windowEngineState().MainWindowOpen = 0;
}

TEST_F(StartUpTest, VersionKeyShowsTheVersionAndEnds)
{
    static std::string shown;
    static INTEGER exitCode = -1;
    shown.clear();
    exitCode = -1;
    const ErrorReportHooks saved = errorReportHooks();
    errorReportHooks().errorBox = [](std::string_view title, std::string_view text) {
        shown = std::string(title) + "|" + std::string(text);
    };
    errorReportHooks().processExit = [](INTEGER code) { exitCode = code; };
    restart(write("version.ini", "   Version=1\n"));
    errorReportHooks() = saved;
    EXPECT_EQ(shown, "Devivozivuz|Abnormal exit (code 0) : Devivozivuz version 7.10j");
    EXPECT_EQ(exitCode, 0);
}
