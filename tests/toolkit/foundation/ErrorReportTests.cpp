// The library error reporter: composed messages, report modes, the debug file, the abnormal exit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "ReporterGuard.h"
#include "toolkit/foundation/ErrorReport.h"

namespace {

std::string lastMessage() { return YYLastErrorMessage().trimmed(); }

// Reports in console mode and returns the composed message.
std::string compose(INTEGER number, std::string_view routine)
{
    WErrorReportMode(kReportConsole);
    YYErrorReport(number, routine);
    return lastMessage();
}

}  // namespace

TEST(YYErrorReport, ComposesRoutineNumberAndText)
{
    ReporterGuard guard;
    struct Case { INTEGER number; const char* routine; const char* expected; } cases[] = {
        {4, "IStringToInteger", "Routine:IStringToInteger Error=   4:Number too large in string to numeric conversion"},
        {1044, "WCompress", "Routine:WCompress Error=1044:Zlib compression/decompression error: data error"},
        {6, "YYx", "Internal routine:YYx Error=   6:"},          // a number without text ends at the colon
        {1001, "yyMenu", "Internal routine:yyMenu Error=1001:Invalid menu item"},
        {18, "XXWIN", "Internal routine:XXWIN Error=  18:Numeric to string conversion error"},
        {18, "xxrast", "Internal routine:xxrast Error=  18:Numeric to string conversion error"},
        {18, "Yyname", "Routine:Yyname Error=  18:Numeric to string conversion error"},
        {18, "xXname", "Routine:xXname Error=  18:Numeric to string conversion error"},
        {12345, "WDialogLoad   ", "Routine:WDialogLoad Error=****:"},  // trailing blanks of the name go
        {-5, "W", "Routine:W Error=  -5:"},
        {1106, "W", "Routine:W Error=1106:"},
        {67, "W", "Routine:W Error=  67:"},
        {1105, "W", "Routine:W Error=1105:3D model facet number invalid"},
    };
    for (const auto& c : cases) {
        libraryErrorState().SystemDetailCode = -3;  // only 1044 may use it here
        EXPECT_EQ(compose(c.number, c.routine), c.expected) << c.number;
    }
}

TEST(YYErrorReport, AppendsSystemAndZlibDetail)
{
    ReporterGuard guard;
    LibraryErrorState& state = libraryErrorState();
    state.SystemDetailCode = -3;
    EXPECT_EQ(compose(1044, "WUnCompress"), "Routine:WUnCompress Error=1044:Zlib compression/decompression error: data error");
    state.SystemDetailCode = 7;  // not a zlib status: blank detail after the ": "
    EXPECT_EQ(compose(1044, "WUnCompress"), "Routine:WUnCompress Error=1044:Zlib compression/decompression error:");

    state.SystemDetailCode = 0;
    EXPECT_EQ(compose(13, "IOsDirChange"), "Routine:IOsDirChange Error=  13:Operating system error:");
    state.SystemDetailCode = 2;
    const std::string withSystemText = compose(13, "IOsDirChange");
    const std::string head = "Routine:IOsDirChange Error=  13:Operating system error: ";
    ASSERT_GT(withSystemText.size(), head.size());
    EXPECT_EQ(withSystemText.substr(0, head.size()), head);

    // Errors 1 and 2 carry the system's text only when the file detail is an operating-system code.
    state.FileDetailKind = 1;
    state.FileDetailCode = 2;
    EXPECT_EQ(compose(1, "IFileOpen"), "Routine:IFileOpen Error=   1:Error opening file or device");
    state.FileDetailKind = 2;
    state.FileDetailCode = 0;
    EXPECT_EQ(compose(2, "IFileReadChar"), "Routine:IFileReadChar Error=   2:Error reading/writing file or device:");
    state.FileDetailCode = 2;
    EXPECT_GT(compose(1, "IFileOpen").size(), std::string("Routine:IFileOpen Error=   1:Error opening file or device: ").size());
}

TEST(YYErrorReport, CutsAtTwoHundredCharactersAndDropsDetailWhenFull)
{
    ReporterGuard guard;
    const std::string longName(250, 'N');
    std::string message = compose(4, longName);
    EXPECT_EQ(message, "Routine:" + std::string(192, 'N'));

    // A name that leaves the message at 198 characters or more gets no detail; one shorter does.
    libraryErrorState().SystemDetailCode = -3;
    const std::string text = "Zlib compression/decompression error";
    const std::string fixed = "Routine: Error=1044:";
    const std::size_t room = 198 - fixed.size() - text.size();
    message = compose(1044, std::string(room, 'a'));
    EXPECT_EQ(message.size(), 198u);
    EXPECT_EQ(message.back(), 'r');
    message = compose(1044, std::string(room - 1, 'a'));
    EXPECT_EQ(message.substr(197), ": d");  // the detail is cut where the 200 characters end
    EXPECT_EQ(message.size(), 200u);
}

TEST(YYErrorReport, ModesDeliverAndAlwaysKeepTheNumber)
{
    ReporterGuard guard;
    YYErrorReport(12, "IStringToReal");  // mode 0: stored only
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 12);
    EXPECT_TRUE(ReporterGuard::records().empty());

    WErrorReportMode(kReportConsole);
    YYErrorReport(10, "INextReal");
    ASSERT_EQ(ReporterGuard::records().size(), 1u);
    EXPECT_EQ(ReporterGuard::records()[0], " Routine:INextReal Error=  10:No substring found");

    WErrorReportMode(kReportStatusBar);
    YYErrorReport(11, "IStringToReal");
    ASSERT_EQ(ReporterGuard::records().size(), 2u);
    EXPECT_EQ(ReporterGuard::records()[1], "Routine:IStringToReal Error=  11:More than one decimal point in number");
    EXPECT_EQ(libraryErrorState().ReportMode, kReportStatusBar);
}

TEST(YYErrorReport, ConsoleModeWritesOneRecordToStandardOutput)
{
    ReporterGuard guard;
    errorReportHooks().consoleLine = nullptr;
    WErrorReportMode(kReportConsole);
    testing::internal::CaptureStdout();
    YYErrorReport(3, "IFileCloseHandle");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), " Routine:IFileCloseHandle Error=   3:Error closing file or device\n");
}

TEST(YYErrorReport, ARoutineFailingDuringTheReportNeitherReportsNorChangesTheLastError)
{
    ReporterGuard guard;
    errorReportHooks().statusBarText = [](std::string_view) {
        ReporterGuard::records().push_back("mode " + std::to_string(libraryErrorState().ReportMode));
        YYErrorReport(1003, "WStatusBarText");  // the status bar fails while reporting
    };
    WErrorReportMode(kReportStatusBar);
    YYErrorReport(1006, "WDialogPutReal");
    EXPECT_EQ(ReporterGuard::records(), std::vector<std::string>{"mode 0"});
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1006);
    EXPECT_EQ(libraryErrorState().ReportMode, kReportStatusBar);
}

TEST(YYErrorReport, MessageBoxModeShowsThreeLinesAndCancelExitsWithZero)
{
    ReporterGuard guard;
    static std::vector<std::string> boxes;
    static INTEGER answer = 1;
    boxes.clear();
    errorReportHooks().libraryErrorBox = [](std::string_view text, std::string_view title) {
        boxes.push_back(std::string(title) + "|" + std::string(text));
        return answer;
    };
    WErrorReportMode(kReportMessageBox);
    libraryErrorState().SystemDetailCode = -5;
    YYErrorReport(1044, "WCompress");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Library Error|Routine:WCompress\rError=1044\rZlib compression/decompression error: buffer error");
    EXPECT_TRUE(ReporterGuard::exitCodes().empty());  // OK returns to the caller

    answer = 0;
    YYErrorReport(1005, "YYDialogX");
    EXPECT_EQ(boxes[1], "Library Error|Internal routine:YYDialogX\rError=1005\rNo dialog currently selected");
    EXPECT_EQ(ReporterGuard::exitCodes(), std::vector<INTEGER>{0});
    EXPECT_TRUE(ReporterGuard::records().empty());  // Cancel exits without a further box
}

// A user's file that could not be written reaches the user in every mode but the message box's,
// whose report has shown it; the report mode and the last error stay as they were.
TEST(YYUserFileFailure, TellsTheUserWhateverTheModeButOnce)
{
    ReporterGuard guard;
    static std::vector<std::string> told;
    told.clear();
    errorReportHooks().userFileFailure = [](std::string_view file, std::string_view reason) {
        told.push_back(std::string(file) + "|" + std::string(reason));
    };
    LibraryErrorState& state = libraryErrorState();
    for (const INTEGER mode : {kReportSilent, kReportConsole, kReportDebugFile, kReportStatusBar, kReportMessageBox}) {
        SCOPED_TRACE(mode);
        told.clear();
        state.ReportMode = mode;
        state.LastErrorNumber = 2;
        state.FileDetailKind = 2;
        state.FileDetailCode = 0;
        YYUserFileFailure("C:\\plots\\survey.ps", 2);
        EXPECT_EQ(state.ReportMode, mode);
        EXPECT_EQ(state.LastErrorNumber, 2);
        if (mode == kReportMessageBox) {
            EXPECT_TRUE(told.empty());
            continue;
        }
        ASSERT_EQ(told.size(), 1u);
        EXPECT_EQ(told[0].rfind("C:\\plots\\survey.ps|Error reading/writing file or device", 0), 0u) << told[0];
    }
}

TEST(WErrorReportMode, IgnoresValuesOutsideZeroToFour)
{
    ReporterGuard guard;
    for (INTEGER mode : {0, 1, 2, 3, 4}) {
        WErrorReportMode(mode);
        EXPECT_EQ(libraryErrorState().ReportMode, mode);
    }
    for (INTEGER bad : {5, -1, 99}) {
        WErrorReportMode(bad);
        EXPECT_EQ(libraryErrorState().ReportMode, 4);
    }
}

TEST(QuietErrors, SilencesAndRestoresModeAndLastError)
{
    ReporterGuard guard;
    WErrorReportMode(kReportConsole);
    YYErrorStore(77);
    {
        QuietErrors quiet;
        EXPECT_EQ(quiet.lastError(), 0);
        YYErrorReport(12, "IStringToReal");
        EXPECT_EQ(quiet.lastError(), 12);
    }
    EXPECT_TRUE(ReporterGuard::records().empty());
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 77);
    EXPECT_EQ(libraryErrorState().ReportMode, kReportConsole);
}

TEST(YYErrorText, KindsAndTextLength)
{
    struct Case { INTEGER code, kind; std::size_t length; const char* expected; } cases[] = {
        {55, 1, 60, "Source and target file names same in copy command"},
        {1023, 1, 10, "Variable t"},
        {7, 1, 5, "     "},
        {1000, 1, 5, "     "},
        {-6, 3, 25, "incompatible version"},
        {2, 3, 12, "need diction"},
        {0, 3, 4, "    "},
        {0, 2, 4, "    "},
    };
    for (const auto& c : cases) {
        std::string text(c.length, 'x');
        YYErrorText(c.code, text, c.kind);
        std::string expected(c.expected);
        expected.resize(c.length, ' ');
        EXPECT_EQ(text, expected) << c.code;
    }
    std::string untouched = "keep";
    YYErrorText(1, untouched, 4);
    EXPECT_EQ(untouched, "keep");
}

TEST(YYAbnormalExit, ShowsCodeAndMessageThenExits)
{
    ReporterGuard guard;
    YYAbnormalExit("Devivozivuz version 7.10j", 0);
    YYAbnormalExit("disk full", -12);
    YYAbnormalExit("   ", 3);  // a blank message shows no box
    EXPECT_EQ(ReporterGuard::records(),
              (std::vector<std::string>{"Devivozivuz|Abnormal exit (code 0) : Devivozivuz version 7.10j",
                                        "Devivozivuz|Abnormal exit (code -12) : disk full"}));
    EXPECT_EQ(ReporterGuard::exitCodes(), (std::vector<INTEGER>{0, -12, 3}));
}

TEST(YYLibraryVersion, IsBlankPadded)
{
    std::string text(8, 'x');
    YYLibraryVersion(text);
    EXPECT_EQ(text, "7.10j   ");
}

// The debug file is created in the current folder; each test runs in a folder of its own.
class DebugFile : public testing::Test {
protected:
    void SetUp() override
    {
        previous_ = std::filesystem::current_path();
        folder_ = std::filesystem::temp_directory_path() /
                  ("qv-debug-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        std::filesystem::current_path(folder_);
        YYDebugLogReset();
    }
    void TearDown() override
    {
        YYDebugLogReset();
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    static std::string contents(const char* name)
    {
        std::ifstream in(name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::filesystem::path previous_, folder_;
    ReporterGuard guard_;
};

TEST_F(DebugFile, WritesLinesWithCrLfIntoTheFirstNameThatCanBeCreated)
{
    WErrorReportMode(kReportDebugFile);
    YYErrorReport(10, "INextInteger");
    YYDebugLogFormat("LFNGEN", 40);
    YYErrorReport(1010, "WDialogGetReal");
    EXPECT_EQ(contents("debug"), "Routine:INextInteger Error=  10:No substring found\r\nLFNGEN=40\r\n"
                                 "Routine:WDialogGetReal Error=1010:Field value undefined\r\n");
}

TEST_F(DebugFile, FallsBackWhenDebugIsAFolder)
{
    std::filesystem::create_directory("debug");
    WErrorReportMode(kReportDebugFile);
    YYErrorReport(4, "IStringToInteger");
    EXPECT_EQ(contents("debug.txt"), "Routine:IStringToInteger Error=   4:Number too large in string to numeric conversion\r\n");

    YYDebugLogReset();
    std::filesystem::remove("debug.txt");
    std::filesystem::create_directory("debug.txt");
    YYDebugLogLine("next");
    EXPECT_EQ(contents("debug.dat"), "next\r\n");
}

TEST_F(DebugFile, LinesAreLostWhenNoNameCanBeCreatedAndNoSecondAttemptIsMade)
{
    for (const char* name : {"debug", "debug.txt", "debug.dat"}) std::filesystem::create_directory(name);
    YYDebugLogLine("lost");
    std::filesystem::remove("debug.dat");
    YYDebugLogLine("also lost");  // the creation was tried once in this run
    EXPECT_FALSE(std::filesystem::exists("debug.dat"));
}
