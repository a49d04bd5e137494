#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "Quorvalent/AppState.h"
#include "Quorvalent/IniFile.h"
#include "Quorvalent/SoundingHandler.h"
#include "Quorvalent/SuiteState.h"
#include "tests/Quorvalent/SettingsFolder.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/ToolkitLinkFake.h"
#include "tests/toolkit/foundation/WorkFileFaults.h"
#include "toolkit/foundation/WorkFiles.h"

#ifdef _WIN32
#include "toolkit/foundation/WinApi.h"
#include "toolkit/foundation/Handles.h"
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using namespace SettingsFolder;

namespace {

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

class SettingsFile : public SettingsFolderTest {
protected:
    SettingsFile() : SettingsFolderTest("qv-settings-", "Quorvalent.exe") {}
    fs::path ini() const { return folder_ / "Quorvalent.INI"; }
    fs::path inw() const { return folder_ / "Quorvalent.INW"; }
    void readText(const std::string& text)
    {
        writeFile(ini(), text);
        LastFileText lastFile;
        INIIN(lastFile);
    }
};

std::string title(const char* key, const std::string& text) { return key + text + std::string(40 - text.size(), ' '); }

TEST_F(SettingsFile, GoldenFileForAKnownState)
{
    setMainWindowDefaults(mainWindowState(), 1280, 1024);
    seedSettingsWindowDefaults(1280, 1024);
    systemRecord().NSuite = 3;
    suiteState().ISuiteType = 1;
    suiteState().VParam[0] = 100.0f;
    suiteState().VParam[1] = 200.0f;
    suiteState().VParam[2] = 300.0f;

    const std::vector<std::string> expected = {
        "[Directories]", "LastDir=C:\\DATA", " ", "[Windows]",
        "Dialog X=   -1", "Dialog Y=   -1", "Window X=  320", "Window Y=  256", "Window W=  640", "Window H=  512", "Window State=    1",
        "WellLog X=   -1", "WellLog Y=   -1", "WellLog W=  768", "WellLog H=  614", "WellLog State=    1",
        "System X=   -1", "System Y=   -1", "System W=    0", "System H=    0", "System State=    1",
        "Sounding X=    3", "Sounding Y=    3", "Sounding W=  576", "Sounding H=  512", "Sounding State=    1",
        "Soft Dialog X=    0", "Soft Dialog Y=    0", " ", "[Data Input]",
        "First Row=    0", "Last Row=    0", "Distance Column=    3", "Model Resist Column=    2", "Well Depth Column=    1",
        "Well Resist Column=    3", "LX1000=F", "Time Column=    2", "Voltage Column=    3", "Debug=    0",
        "System Time Column=    0", "System Response Column=    0", "System DT=  0.000000", " ", "[Files]",
        "Last File=                        ", " ", "[Flags]",
        "LZOOM=T", "LINEARMOD=T", "LGRIDJD=F", "LGRIDND=F", "LGRIDJM=F", "LGRIDNM=F", " ", "[Graphs]",
        title("CLRES=", "Apparent Resistivity (Ohm-m)"), title("CLSPACE=", "Spacing (m)"), title("CLRESM=", "Resistivity (Ohm-m)"),
        title("CLDEPT=", "Depth (m)"), title("CLTIME=", "Time (ms)"), title("CLPER=", "Period (sec)"), title("CLFREQ=", "Frequency (Hz)"),
        title("CLVOLT=", "Received Voltage (nV/m^2)"), title("CTIMES=", "Time (Sec)"), title("CRVOLT=", "Received Voltage (nV)"),
        title("CLPHAS=", "Phase (deg)"), title("CLINQD=", "In-Phase & Quadrature (%)"), title("CLHITE=", "Height (m)"),
        title("CLPFE=", "IP Effect"), title("CLPFEM=", "IP Effect"), title("CLNSPC=", "n-Spacing"), title("CLNORT=", "Northing (m)"),
        title("CLEAST=", "Easting (m)"), title("CLPDIS=", "Profile Distance (m)"), title("CLELEV=", "Elevation (m)"),
        "HICNAME=    0.2700", "HIDATV=    0.1500", "HIDATH=    0.1500", "HIMODV=    0.1800", "HIMODH=    0.1800",
        "OFFDATV=    0.0000", "OFFDATH=    0.0000", "OFFMODV=    0.0000", "OFFMODH=    0.0000",
        "HIMAPV=    0.1800", "HIMAPH=    0.1800", "OFFMAPV=    0.0000", "OFFMAPH=    0.0000", "Line Width=    2",
        "KGRID=    4", "KBEST=   11", "KEQUV=    5", "KSMOO=   10", "KPLIN=    9", "KSOUN=    5",
        "KCALC=    2    4    6    8   10   12", " ", "[Suite]",
        "NSuite=    3", "ISuiteType=    1", "LDifference=F", "TxLength= 1000.0000", "TxAmps=    1.0000", "RxLength=    1.0000",
        "VNoise=    0.0000", "VParam=  100.0000  200.0000  300.0000", "ILayer=    1", "IAbscissa=    1", "NAbscissa=   31",
        "AbStart=   1.0000E-03", "AbEnd=   1.0000E+01", "LogAbscissa=T", "LogData=T", " ", "[Font]",
        "IFont=  103", "IStyle=    1", "FWidth=   2.2000E-02", "FHeight=   4.0000E-02",
    };
    const std::vector<std::string> lines = settingsFileLines(std::string(24, ' '), "C:\\DATA");
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;

    // On disk: those lines with CR LF, replacing the settings file, no work file left behind.
    writeFile(ini(), "NSuite=    3\r\n");
    LastFileText lastFile;
    INIIN(lastFile);
    fs::current_path(folder_);
    ASSERT_TRUE(LASTDIR(lastFile));
    EXPECT_EQ(readFile(ini()), joined(settingsFileLines(lastFile.view(), fs::current_path().string())));
    EXPECT_FALSE(fs::exists(inw()));
    EXPECT_TRUE(MessageRecorder::shown().empty());
}

TEST_F(SettingsFile, ReadingBackReproducesEveryWrittenKeyAtAnyMagnitude)
{
    MainWindowState& w = mainWindowState();
    w = {-10000, 20, 700, 500, 2, 0, 15, 25};
    GraphOptionsState& g = graphOptionsState();
    g.ZoomMode = kFalse;
    g.LinearDepth = kFalse;
    g.CurveMajorGrid = g.ModelMinorGrid = kTrue;
    PlotSettingsState& p = plotSettingsState();
    p.HICNAME = 0.3f;
    p.OFFMODH = -0.25f;
    p.LineWidth = 3;
    p.KGRID = 1;
    p.KCALC = {1, 3, 5, 7, 9, 15};
    p.IFont = 104;
    p.FWidth = 0.0123f;
    axisTitleTable().row(37).assign("Rho-a (Ohm-m)");
    SystemRecord& y = systemRecord();
    y.NSuite = 4;
    y.TxLength = 123456.0f;
    y.TxAmps = 12.5f;
    y.RxLength = 0.5f;
    y.ILayer = 2;
    y.IAbscissa = 2;
    y.NAbscissa = 41;
    y.AbStart = 1.0e-5f;
    y.AbEnd = 100.0f;
    y.LogData = kFalse;
    SuiteState& u = suiteState();
    u.ISuiteType = 4;
    u.LDifference = kTrue;
    u.VNoise = 1.0e-9f;
    u.VParam[0] = 10000.0f;
    u.VParam[1] = 20000.0f;
    u.VParam[2] = 150000.0f;
    u.VParam[3] = -1234.5f;
    SettingsFileState& f = settingsFileState();
    f.Debug = 1;
    f.SystemDT = 2.5e-8f;
    f.KPLIN = 7;
    f.SaveOnExit = kTrue;
    LastFileText lastFile("SURVEY.DAT");
    fs::current_path(folder_);
    ASSERT_TRUE(LASTDIR(lastFile));

    const MainWindowState wrote = w;
    const GraphOptionsState options = g;
    const PlotSettingsState plot = p;
    const SystemRecord system = y;
    const std::array<REAL, 4> values = {u.VParam[0], u.VParam[1], u.VParam[2], u.VParam[3]};
    const REAL noise = u.VNoise;
    resetSettings();
    LastFileText readBack;
    INIIN(readBack);

    EXPECT_EQ(readBack, std::string_view("SURVEY.DAT"));
    const MainWindowState& r = mainWindowState();
    EXPECT_EQ(r.X, wrote.X);    // -10000 no longer turns into asterisks
    EXPECT_EQ(r.Y, wrote.Y);
    EXPECT_EQ(r.Width, wrote.Width);
    EXPECT_EQ(r.Height, wrote.Height);
    EXPECT_EQ(r.State, wrote.State);
    EXPECT_EQ(r.DialogX, wrote.DialogX);
    EXPECT_EQ(r.DialogY, wrote.DialogY);
    EXPECT_EQ(graphOptionsState().ZoomMode, options.ZoomMode);
    EXPECT_EQ(graphOptionsState().LinearDepth, options.LinearDepth);
    EXPECT_EQ(graphOptionsState().CurveMajorGrid, kTrue);
    EXPECT_EQ(graphOptionsState().ModelMinorGrid, kTrue);
    EXPECT_EQ(plotSettingsState().HICNAME, plot.HICNAME);
    EXPECT_EQ(plotSettingsState().OFFMODH, plot.OFFMODH);
    EXPECT_EQ(plotSettingsState().LineWidth, 3);
    EXPECT_EQ(plotSettingsState().KGRID, 1);
    EXPECT_EQ(plotSettingsState().KCALC, plot.KCALC);
    EXPECT_EQ(plotSettingsState().IFont, 104);
    EXPECT_EQ(plotSettingsState().FWidth, plot.FWidth);
    EXPECT_EQ(axisTitleTable().row(37), std::string_view("Rho-a (Ohm-m)"));
    const SystemRecord& s = systemRecord();
    EXPECT_EQ(s.NSuite, 4);
    EXPECT_EQ(s.TxLength, system.TxLength);
    EXPECT_EQ(s.TxAmps, system.TxAmps);
    EXPECT_EQ(s.RxLength, system.RxLength);
    EXPECT_EQ(s.ILayer, 2);
    EXPECT_EQ(s.IAbscissa, 2);
    EXPECT_EQ(s.NAbscissa, 41);
    EXPECT_EQ(s.AbStart, system.AbStart);
    EXPECT_EQ(s.AbEnd, system.AbEnd);
    EXPECT_EQ(s.LogData, kFalse);
    EXPECT_EQ(suiteState().ISuiteType, 4);
    EXPECT_EQ(suiteState().LDifference, kTrue);
    EXPECT_EQ(suiteState().VNoise, noise);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(suiteState().VParam[static_cast<std::size_t>(k)], values[static_cast<std::size_t>(k)]) << k;
    EXPECT_EQ(settingsFileState().Debug, 1);
    EXPECT_EQ(settingsFileState().SystemDT, 2.5e-8f);
    EXPECT_EQ(settingsFileState().KPLIN, 7);
    EXPECT_EQ(settingsFileState().SaveOnExit, kTrue);
}

TEST_F(SettingsFile, IniComesBeforeInwAndOnlyIniIsWrittenBack)
{
    writeFile(inw(), "NSuite=    7\n");
    LastFileText lastFile("leftover");
    INIIN(lastFile);
    EXPECT_EQ(systemRecord().NSuite, 7);
    EXPECT_EQ(settingsFileState().SaveOnExit, kFalse);
    EXPECT_EQ(lastFile, std::string_view(""));
    EXPECT_TRUE(LASTDIR(lastFile));    // nothing to do
    EXPECT_FALSE(fs::exists(ini()));
    EXPECT_EQ(readFile(inw()), "NSuite=    7\n");

    writeFile(ini(), "NSuite=    9\r\n");
    INIIN(lastFile);
    EXPECT_EQ(systemRecord().NSuite, 9);
    EXPECT_EQ(settingsFileState().SaveOnExit, kTrue);
}

// The suite holds 1 to 1000 curves: a count beyond either end is held there when read.
TEST_F(SettingsFile, CurveCountsAreHeldWithinOneToAThousand)
{
    const std::pair<const char*, INTEGER> cases[] = {
        {"NSuite= 5000\r\n", 1000}, {"NSuite=    0\r\n", 1}, {"NSuite=   -3\r\n", 1}, {"NSuite= 1000\r\n", 1000}};
    for (const auto& [text, expected] : cases) {
        writeFile(ini(), text);
        LastFileText lastFile;
        INIIN(lastFile);
        EXPECT_EQ(systemRecord().NSuite, expected) << text;
    }
}

TEST_F(SettingsFile, MissingOrEmptyFileKeepsEveryDefault)
{
    for (bool present : {false, true}) {
        resetSettings();
        if (present) writeFile(ini(), "");
        LastFileText lastFile;
        INIIN(lastFile);
        EXPECT_EQ(systemRecord().NSuite, 5);
        EXPECT_EQ(systemRecord().TxLength, 1000.0f);
        EXPECT_EQ(plotSettingsState().KCALC, (std::array<INTEGER, 6>{2, 4, 6, 8, 10, 12}));
        EXPECT_EQ(graphOptionsState().ZoomMode, kTrue);
        EXPECT_EQ(mainWindowState().DialogX, -1);
        EXPECT_EQ(settingsFileState().SaveOnExit, toLogical(present));
    }
}

TEST_F(SettingsFile, ReaderCases)
{
    struct Case {
        const char* name;
        std::string text;
        std::function<bool()> holds;
    };
    const Case cases[] = {
        {"window key without the sequence", "[Windows]\nWindow X=   50\n", [] { return mainWindowState().X == 0; }},
        {"sequence", "[Windows]\nDialog X=   10\nDialog Y=   20\nWindow X=   30\nNSuite=    2\n",
         [] { return mainWindowState().DialogX == 10 && mainWindowState().DialogY == 20 && mainWindowState().X == 30 && systemRecord().NSuite == 2; }},
        {"values after NSuite", "NSuite=    3\nVParam= 1 2 3 4\n",
         [] { return suiteState().VParam[2] == 3.0f && suiteState().VParam[3] == 0.0f; }},
        {"values before NSuite read five", "VParam= 1 2\n",
         [] { return suiteState().VParam[1] == 2.0f && suiteState().VParam[4] == 0.0f; }},
        {"at most ten values", "NSuite=   12\nVParam= 1 2 3 4 5 6 7 8 9 10 11 12\n",
         [] { return suiteState().VParam[9] == 10.0f && suiteState().VParam[10] == 0.0f; }},
        {"partial pen list", "KCALC=    7    9\n",
         [] { return plotSettingsState().KCALC == std::array<INTEGER, 6>{7, 9, 6, 8, 10, 12}; }},
        {"eleven digits read as ten", "ILayer=12345678901\n", [] { return systemRecord().ILayer == 1234567890; }},
        {"whole word logical", "LZOOM=FALSE\nLINEARMOD=TRUE\nLGRIDJD=.t.\n",
         [] { return graphOptionsState().ZoomMode == kFalse && graphOptionsState().LinearDepth == kTrue && graphOptionsState().CurveMajorGrid == kTrue; }},
        {"indented key is skipped, reading goes on", "  NSuite=    3\nILayer=    4\n",
         [] { return systemRecord().NSuite == 5 && systemRecord().ILayer == 4; }},
        {"bad value skips its line only", "TxLength=abc\nTxAmps=    2.5000\nLogData=X\nKGRID=    9\n",
         [] { return systemRecord().TxLength == 1000.0f && systemRecord().TxAmps == 2.5f && systemRecord().LogData == kTrue && plotSettingsState().KGRID == 9; }},
        {"short title padded", "CLRES=Rho\n", [] { return axisTitleTable().row(37) == std::string_view("Rho"); }},
        {"later duplicate wins", "NSuite=    3\nNSuite=    8\n", [] { return systemRecord().NSuite == 8; }},
        {"longer key tested first", "System Time Column=    7\n",
         [] { return settingsFileState().SystemTimeColumn == 7 && settingsFileState().TimeColumn == 2; }},
        {"CR LF and LF read the same", "NSuite=    6\r\nILayer=    2\r\n", [] { return systemRecord().NSuite == 6 && systemRecord().ILayer == 2; }},
        {"CR alone ends lines too", "NSuite=    6\rILayer=    2\rKGRID=    9", [] { return systemRecord().NSuite == 6 && systemRecord().ILayer == 2 && plotSettingsState().KGRID == 9; }},
        {"byte-order mark before the first key", "\xEF\xBB\xBFNSuite=    6\r\nILayer=    2\r\n", [] { return systemRecord().NSuite == 6 && systemRecord().ILayer == 2; }},
        {"mixed line ends", "NSuite=    6\r\n\rILayer=    2\n\nKGRID=    9\r", [] { return systemRecord().NSuite == 6 && systemRecord().ILayer == 2 && plotSettingsState().KGRID == 9; }},
        {"two signs are refused", "NSuite=+-5\nILayer=-+4\nKGRID=    9\n", [] { return systemRecord().NSuite == 5 && systemRecord().ILayer == 1 && plotSettingsState().KGRID == 9; }},
        {"CR-only windows sequence", "[Windows]\rDialog X=   10\rDialog Y=   20\r", [] { return mainWindowState().DialogX == 10 && mainWindowState().DialogY == 20; }},
        {"integer beyond 32 bits is refused", "NSuite=9999999999\n", [] { return systemRecord().NSuite == 5; }},
        {"bad value in a list keeps the list", "NSuite=    2\nVParam= 1 x\nKCALC= 1 q\n",
         [] { return suiteState().VParam[0] == 0.0f && plotSettingsState().KCALC[0] == 2; }},
    };
    for (const Case& c : cases) {
        resetSettings();
        readText(c.text);
        EXPECT_TRUE(c.holds()) << c.name;
    }

    LastFileText lastFile;
    writeFile(ini(), "Last File=A_NAME_LONGER_THAN_24_CHARACTERS.DAT\n");
    INIIN(lastFile);
    EXPECT_EQ(lastFile, std::string_view("A_NAME_LONGER_THAN_24_CH"));
}

TEST(IniKeyVocabulary, EveryKeySetsAValueOfItsOwnKind)
{
    for (const IniKeyEntry& entry : IniKeyTable()) {
        const bool none = std::holds_alternative<std::monostate>(entry.Target);
        switch (entry.Kind) {
        case IniValueKind::Integer:
        case IniValueKind::Logical: EXPECT_TRUE(none || std::holds_alternative<std::int32_t*>(entry.Target)) << entry.Key; break;
        case IniValueKind::Real: EXPECT_TRUE(none || std::holds_alternative<REAL*>(entry.Target)) << entry.Key; break;
        case IniValueKind::Title: EXPECT_TRUE(std::holds_alternative<AxisTitle*>(entry.Target)) << entry.Key; break;
        default: EXPECT_TRUE(none) << entry.Key; break;
        }
    }
}

TEST_F(SettingsFile, LastDirChangesTheCurrentFolder)
{
    const fs::path work = folder_ / "work dir";
    fs::create_directories(work);
    readText("[Directories]\nLastDir=" + work.string() + "\nNSuite=    4\n");
    EXPECT_TRUE(fs::equivalent(fs::current_path(), work));
    EXPECT_EQ(systemRecord().NSuite, 4);

    const std::string longFolder = "C:\\" + std::string(120, 'x');
    const std::vector<std::string> lines = settingsFileLines("", longFolder);
    EXPECT_EQ(lines[1], "LastDir=" + longFolder);    // not cut at 80 characters
    EXPECT_EQ(settingsFileLines("", "   ")[1], " ");    // a blank folder leaves the line out
}

TEST_F(SettingsFile, PathReplacesOnlyTheProgramsOwnExtension)
{
    struct Case {
        const char* program;
        const char* settings;
    } cases[] = {
        {"C:\\APPS\\QUORVALENT.EXE", "C:\\APPS\\QUORVALENT.INI"},
        {"C:\\apps\\quorvalent.exe", "C:\\apps\\quorvalent.INI"},
        {"C:\\OLD.EXE\\QUORVALENT.EXE", "C:\\OLD.EXE\\QUORVALENT.INI"},
        {"/opt/qv/quorvalent", "/opt/qv/quorvalent.INI"},    // never the program file itself
    };
    for (const Case& c : cases) {
        ToolkitLinkFake::script().ProgramPath = c.program;
        EXPECT_EQ(settingsFilePath(".INI"), c.settings) << c.program;
    }
}

// Writes to a real file but fails at a chosen step: opening, after some bytes, or committing; its
// own work file goes with it, as the real one's does.
class FailingSink final : public SettingsSink {
public:
    enum class Step { Open, Write, Commit };
    FailingSink(Step step, std::size_t limit = 0) : step_(step), limit_(limit) {}
    ~FailingSink() override
    {
        out_.close();
        if (!path_.empty()) std::filesystem::remove(path_);
    }
    bool open(const std::string& path) override
    {
        if (step_ == Step::Open) return false;
        path_ = path;
        out_.open(path, std::ios::binary | std::ios::trunc);
        return static_cast<bool>(out_);
    }
    bool write(std::string_view bytes) override
    {
        if (step_ == Step::Write && written_ + bytes.size() > limit_) {
            out_.write(bytes.data(), static_cast<std::streamsize>(limit_ - written_));    // the disk is full now
            written_ = limit_;
            return false;
        }
        out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        written_ += bytes.size();
        return static_cast<bool>(out_);
    }
    bool commit(const std::string&) override
    {
        out_.close();
        return false;
    }
    std::string reason() const override { return step_ == Step::Write ? "the disk is full" : ""; }

private:
    Step step_;
    std::size_t limit_;
    std::size_t written_ = 0;
    std::ofstream out_;
    std::string path_;
};

TEST_F(SettingsFile, FailedWriteLeavesTheOldFileIntactAndSaysSo)
{
    const std::string old = "[Suite]\r\nNSuite=    7\r\nTxLength= 2500.0000\r\n";
    const FailingSink::Step steps[] = {FailingSink::Step::Open, FailingSink::Step::Write, FailingSink::Step::Write, FailingSink::Step::Commit};
    const std::size_t limits[] = {0, 0, 700, 0};
    for (int k = 0; k < 4; ++k) {
        writeFile(ini(), old);
        LastFileText lastFile;
        INIIN(lastFile);
        MessageRecorder::clear();
        {
            FailingSink sink(steps[k], limits[k]);
            EXPECT_FALSE(writeSettingsFile(lastFile, sink)) << k;
        }
        EXPECT_EQ(readFile(ini()), old) << k;
        EXPECT_FALSE(fs::exists(inw())) << k;
        ASSERT_EQ(MessageRecorder::shown().size(), 1u) << k;
        EXPECT_NE(MessageRecorder::shown()[0].find("could not be saved"), std::string::npos);
        // The message says why when the sink knows.
        EXPECT_EQ(MessageRecorder::shown()[0].find("(the disk is full)") != std::string::npos, steps[k] == FailingSink::Step::Write) << k;
    }
}

TEST_F(SettingsFile, StaleWorkFileIsReplacedAndHandEditsSurvive)
{
    writeFile(inw(), "NSuite=    9\r\nGARBAGE\r\n");
    readText("LDInFeet=T\nMethod=    4\nLPGRAPH=T\nLSEA=F\nNSuite=    2\n");
    EXPECT_EQ(graphOptionsState().DepthInFeet, kTrue);
    LastFileText lastFile;
    fs::current_path(folder_);
    ASSERT_TRUE(LASTDIR(lastFile));
    const std::string text = readFile(ini());
    EXPECT_EQ(text.find("GARBAGE"), std::string::npos);
    EXPECT_EQ(text.find("NSuite=    9"), std::string::npos);
    for (const char* line : {"\r\nLDInFeet=T\r\n", "\r\nMethod=4\r\n", "\r\nLPGRAPH=T\r\n", "\r\nLSEA=F\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;

    resetSettings();
    LastFileText again;
    INIIN(again);
    EXPECT_EQ(graphOptionsState().DepthInFeet, kTrue);
    EXPECT_EQ(systemRecord().NSuite, 2);
}

// A file far beyond any settings file (here 50 MB of empty lines) is refused with the message
// before it is read: the settings keep their defaults and the file is not written over at exit.
TEST_F(SettingsFile, HugeFileIsRefusedUnreadAndLeftByteIdentical)
{
    const std::size_t size = 50u * 1024u * 1024u;
    {
        std::ofstream out(ini(), std::ios::binary | std::ios::trunc);
        const std::string block(1024 * 1024, '\n');
        for (std::size_t written = 0; written < size; written += block.size()) out << block;
    }
    const auto before = fs::last_write_time(ini());
    LastFileText lastFile("kept?");
    INIIN(lastFile);
    ASSERT_EQ(MessageRecorder::shown().size(), 1u);
    EXPECT_EQ(MessageRecorder::shown()[0], std::string(SettingsMessages::kTooLarge) + "\n" + ini().string());
    EXPECT_EQ(lastFile, std::string_view(""));
    EXPECT_EQ(systemRecord().NSuite, 5);
    EXPECT_EQ(settingsFileState().SaveOnExit, kFalse);
    EXPECT_TRUE(LASTDIR(lastFile));    // nothing to save
    EXPECT_EQ(fs::file_size(ini()), size);
    EXPECT_EQ(fs::last_write_time(ini()), before);
    std::ifstream in(ini(), std::ios::binary);
    std::string block(1024 * 1024, ' ');
    bool onlyLineFeeds = true;
    while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0)
        onlyLineFeeds &= block.find_first_not_of('\n') >= static_cast<std::size_t>(in.gcount());
    EXPECT_TRUE(onlyLineFeeds);
    EXPECT_FALSE(fs::exists(inw()));

    // Just within the limit the file is read.
    resetSettings();
    MessageRecorder::clear();
    writeFile(ini(), std::string(kMaxSettingsFileBytes - 13, '\n') + "NSuite=    4\n");
    INIIN(lastFile);
    EXPECT_TRUE(MessageRecorder::shown().empty());
    EXPECT_EQ(systemRecord().NSuite, 4);
}

// The last folder round-trips whole up to 255 characters; a longer one is left out, never cut.
TEST_F(SettingsFile, LastFolderOfUpTo255CharactersRoundTrips)
{
    const std::size_t base = folder_.string().size() + 1;
    for (const std::size_t length : {248u, 249u, 255u, 256u}) {
        SCOPED_TRACE(length);
        // Components of at most 100 characters, the last one making up the length.
        fs::path work = folder_;
        std::size_t rest = length - base;
        for (char name = 'a'; rest > 0; ++name) {
            const std::size_t part = rest > 101 ? 100 : rest;
            work /= std::string(part, name);
            rest -= part + (rest > part ? 1 : 0);
        }
        ASSERT_EQ(work.string().size(), length);
        fs::create_directories(work);
        resetSettings();
        writeFile(ini(), "NSuite=    4\r\n");
        LastFileText lastFile;
        INIIN(lastFile);
        fs::current_path(work);
        ASSERT_TRUE(LASTDIR(lastFile));
        fs::current_path(folder_);
        const std::string text = readFile(ini());
        EXPECT_EQ(text.find("LastDir=" + work.string() + "\r\n") != std::string::npos, length <= 255);
        EXPECT_EQ(text.find("LastDir="), length <= 255 ? text.find("LastDir=" + work.string()) : std::string::npos);
        INIIN(lastFile);
        if (length <= 255) EXPECT_TRUE(fs::equivalent(fs::current_path(), work));
        else EXPECT_TRUE(fs::equivalent(fs::current_path(), folder_));
        fs::current_path(folder_);
    }
}

TEST_F(SettingsFile, ReadOnlySettingsFileIsNotReplacedAndSaysSo)
{
    const std::string old = "NSuite=    7\r\n";
    writeFile(ini(), old);
    LastFileText lastFile;
    INIIN(lastFile);
    fs::permissions(ini(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, fs::perm_options::remove);
    EXPECT_FALSE(LASTDIR(lastFile));
    fs::permissions(ini(), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(readFile(ini()), old);
    EXPECT_FALSE(fs::exists(inw()));
    ASSERT_EQ(MessageRecorder::shown().size(), 1u);
    EXPECT_NE(MessageRecorder::shown()[0].find("(the settings file is read-only)"), std::string::npos);
}

// Where the work file cannot be made, the message gives the system's reason.
TEST_F(SettingsFile, SaveFailureSaysWhy)
{
    writeFile(ini(), "NSuite=    7\r\n");
    LastFileText lastFile;
    INIIN(lastFile);
    ToolkitLinkFake::script().ProgramPath = (folder_ / "gone" / "Quorvalent.exe").string();
    EXPECT_FALSE(LASTDIR(lastFile));
    ASSERT_EQ(MessageRecorder::shown().size(), 1u);
    const std::string& text = MessageRecorder::shown()[0];
    const std::size_t open = text.find(" ("), close = text.find(");");
    ASSERT_NE(open, std::string::npos) << text;
    ASSERT_NE(close, std::string::npos) << text;
    EXPECT_GT(close, open + 3) << text;
}

// While another program holds its work file, a save waits, then gives up with the reason; the
// held file and the settings file stay as they are.
TEST_F(SettingsFile, WorkFileHeldByAnotherProgramIsNeitherTakenNorWrittenInto)
{
    const std::string old = "NSuite=    7\r\n";
    writeFile(ini(), old);
    LastFileText lastFile;
    INIIN(lastFile);
    WorkFile other;
    ASSERT_EQ(other.create(inw().string()), WorkFile::Created::Yes);
    ASSERT_TRUE(other.write("theirs"));
    EXPECT_FALSE(LASTDIR(lastFile));
    ASSERT_EQ(MessageRecorder::shown().size(), 1u);
    EXPECT_NE(MessageRecorder::shown()[0].find(std::string(SettingsMessages::kBusy)), std::string::npos);
    EXPECT_EQ(readFile(ini()), old);
    ASSERT_TRUE(other.commit(ini().string()));
    EXPECT_EQ(readFile(ini()), "theirs");
    EXPECT_FALSE(fs::exists(inw()));
}

#ifndef _WIN32
// A link at the work file's name is removed, never written through: what it points to stays.
TEST_F(SettingsFile, LinkAtTheWorkFileNameIsNotWrittenThrough)
{
    const fs::path victim = folder_ / "victim.txt";
    writeFile(victim, "precious");
    for (const bool dangling : {false, true}) {
        SCOPED_TRACE(dangling);
        fs::remove(inw());
        fs::create_symlink(dangling ? folder_ / "nowhere.txt" : victim, inw());
        writeFile(ini(), "NSuite=    7\r\n");
        resetSettings();
        LastFileText lastFile;
        INIIN(lastFile);
        systemRecord().NSuite = 3;
        ASSERT_TRUE(LASTDIR(lastFile));
        EXPECT_EQ(readFile(victim), "precious");
        EXPECT_FALSE(fs::exists(folder_ / "nowhere.txt"));
        EXPECT_FALSE(fs::is_symlink(fs::symlink_status(inw())));
        EXPECT_FALSE(fs::is_symlink(fs::symlink_status(ini())));
        EXPECT_NE(readFile(ini()).find("\r\nNSuite=    3\r\n"), std::string::npos);
    }
}
#endif

// The real work file failing at each of its steps (the system's refusals stood in for by the
// work files' fault hook): the old settings file stays byte for byte, no work file is left, and
// the user is told once.
TEST_F(SettingsFile, EveryFailedStepOfTheRealWorkFileKeepsTheOldFile)
{
    const std::string old = "[Suite]\r\nNSuite=    7\r\n";
    writeFile(ini(), old);
    LastFileText lastFile;
    INIIN(lastFile);
    int writes = 0;
    {
        const WorkFileFault counting;
        ASSERT_TRUE(LASTDIR(lastFile));
        writes = WorkFileFault::count(WorkFileStep::Write);
    }
    ASSERT_GT(writes, 100);
    std::vector<std::pair<WorkFileStep, int>> cases = {{WorkFileStep::Create, 0}, {WorkFileStep::Flush, 0}, {WorkFileStep::Replace, 0}};
    for (int k = 0; k < writes; k += 7) cases.emplace_back(WorkFileStep::Write, k);
    cases.emplace_back(WorkFileStep::Write, writes - 1);
    for (const auto& [step, index] : cases) {
        SCOPED_TRACE(::testing::Message() << static_cast<int>(step) << " at " << index);
        writeFile(ini(), old);
        MessageRecorder::clear();
        {
            const WorkFileFault fault(step, index, YYWorkFileDiskFullCode(), 2);
            EXPECT_FALSE(LASTDIR(lastFile));
        }
        EXPECT_EQ(readFile(ini()), old);
        EXPECT_EQ(folderNames(folder_), (std::set<std::string>{"Quorvalent.INI"}));
        ASSERT_EQ(MessageRecorder::shown().size(), 1u);
        EXPECT_NE(MessageRecorder::shown()[0].find("(the disk is full)"), std::string::npos) << MessageRecorder::shown()[0];
    }
}

#ifndef _WIN32
// The user's choices about the file stay: its permissions, and a link stays a link whose target
// gets the new settings.
TEST_F(SettingsFile, SaveKeepsTheFilesPermissionsAndWritesThroughALink)
{
    writeFile(ini(), "NSuite=    7\r\n");
    fs::permissions(ini(), fs::perms::owner_read | fs::perms::owner_write);
    LastFileText lastFile;
    INIIN(lastFile);
    systemRecord().NSuite = 3;
    ASSERT_TRUE(LASTDIR(lastFile));
    EXPECT_EQ(fs::status(ini()).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

    const fs::path shared = folder_ / "shared";
    fs::create_directories(shared);
    fs::rename(ini(), shared / "settings.ini");
    fs::create_symlink(shared / "settings.ini", ini());
    resetSettings();
    INIIN(lastFile);
    EXPECT_EQ(systemRecord().NSuite, 3);
    systemRecord().NSuite = 4;
    ASSERT_TRUE(LASTDIR(lastFile));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(ini())));
    EXPECT_NE(readFile(shared / "settings.ini").find("\r\nNSuite=    4\r\n"), std::string::npos);
    EXPECT_EQ(fs::status(shared / "settings.ini").permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(folderNames(shared), std::set<std::string>{"settings.ini"});
    EXPECT_FALSE(fs::exists(inw()));
}

// A settings "file" that cannot be read (here a folder: opening works, reading fails) does not end
// the start: the user is told, every setting keeps its default and nothing is written over it.
TEST_F(SettingsFile, UnreadableSettingsFileLeavesTheDefaultsAndIsNotWrittenOver)
{
    fs::create_directories(ini());
    LastFileText lastFile("kept?");
    INIIN(lastFile);
    ASSERT_EQ(MessageRecorder::shown().size(), 1u);
    EXPECT_EQ(MessageRecorder::shown()[0].rfind(std::string(SettingsMessages::kUnreadable) + " (", 0), 0u) << MessageRecorder::shown()[0];
    EXPECT_NE(MessageRecorder::shown()[0].find("):\n" + ini().string()), std::string::npos);
    EXPECT_EQ(systemRecord().NSuite, 5);
    EXPECT_EQ(settingsFileState().SaveOnExit, kFalse);
    EXPECT_TRUE(LASTDIR(lastFile));
    EXPECT_TRUE(fs::is_directory(ini()));
}
#endif

// Starts a program with its arguments; wait() gives its exit code.
class ChildProgram {
public:
    ChildProgram(const std::string& program, const std::vector<std::string>& arguments)
    {
#ifdef _WIN32
        std::string line = "\"" + program + "\"";
        for (const std::string& a : arguments) line += " \"" + a + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
            process_.reset(info.hProcess);
            KernelHandle thread(info.hThread);
        }
#else
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
#endif
    }
    int wait()
    {
#ifdef _WIN32
        if (!process_) return -1;
        // A deadline on the wait: two programs saving 300 times need a few seconds.
        if (WaitForSingleObject(process_.get(), 120000) != WAIT_OBJECT_0) return -2;
        DWORD code = 0;
        GetExitCodeProcess(process_.get(), &code);
        return static_cast<int>(code);
#else
        if (pid_ <= 0) return -1;
        int status = 0;
        if (waitpid(pid_, &status, 0) != pid_) return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -3;
#endif
    }

private:
#ifdef _WIN32
    KernelHandle process_;
#else
    pid_t pid_ = -1;
#endif
};

// Two programs saving 300 times at once: every save succeeds and the file is always exactly one
// program's whole file (the programs check after each of their saves, this test while they run).
TEST_F(SettingsFile, TwoProgramsSavingAtOnceNeverTearTheFile)
{
    const int rounds = 300;
    ChildProgram first(QV_SETTINGS_SAVE_RACE, {folder_.string(), "1", std::to_string(rounds)});
    ChildProgram second(QV_SETTINGS_SAVE_RACE, {folder_.string(), "2", std::to_string(rounds)});
    // Reads now and then, as a user's editor would, while the programs save.
    std::set<std::string> seen;
    for (int k = 0; k < 500; ++k) {
        const std::string text = readFile(ini());
        if (!text.empty()) seen.insert(text);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(first.wait(), 0);
    EXPECT_EQ(second.wait(), 0);
    const std::set<std::string> whole = {readFile(folder_ / "expected-1.txt"), readFile(folder_ / "expected-2.txt")};
    ASSERT_EQ(whole.size(), 2u);
    seen.insert(readFile(ini()));
    for (const std::string& text : seen) EXPECT_TRUE(whole.contains(text)) << text.size() << " bytes:\n" << text;
    EXPECT_FALSE(fs::exists(inw()));
}

}  // namespace
