// The settings file a new installation starts with, as the build writes it beside the program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "Quorvalent/AppState.h"
#include "Quorvalent/IniFile.h"
#include "Quorvalent/PlotSettings.h"
#include "Quorvalent/SoundingHandler.h"
#include "Quorvalent/SuiteState.h"
#include "tests/Quorvalent/SettingsFolder.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/ToolkitLinkFake.h"

namespace fs = std::filesystem;
using namespace SettingsFolder;

namespace {

class DefaultSettingsFile : public SettingsFolderTest {
protected:
    DefaultSettingsFile() : SettingsFolderTest("qv-default-settings-", "QUORVALENT.exe") {}
    fs::path ini() const { return folder_ / "QUORVALENT.INI"; }
    int runWriter() const
    {
        const std::string command = std::string("\"") + QV_DEFAULT_SETTINGS_WRITER + "\" \"" + ini().string() + "\"";
        return std::system(command.c_str());
    }
};

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        out.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
    return out;
}

TEST_F(DefaultSettingsFile, HoldsNoKeyThatBelongsToOneMachine)
{
    ASSERT_EQ(runWriter(), 0);
    const std::string text = readFile(ini());
    for (const char* key : {"LastDir=", "Window X=", "Window Y=", "Window W=", "Window H=", "Window State=", "WellLog W=",
                            "WellLog H=", "Sounding W=", "Sounding H="})
        EXPECT_EQ(text.find(std::string("\n") + key), std::string::npos) << key;
    EXPECT_NE(text.find("LZOOM=T"), std::string::npos);
}

// A first start takes the screen's defaults, saves at exit, and writes back the same settings.
TEST_F(DefaultSettingsFile, AFirstStartKeepsTheScreenDefaultsAndWritesTheSameSettingsBack)
{
    ASSERT_EQ(runWriter(), 0);
    const std::string written = readFile(ini());
    MainWindowState& w = mainWindowState();
    setMainWindowDefaults(w, 1280, 1024);
    const MainWindowState defaults = w;
    LastFileText lastFile;
    INIIN(lastFile);
    EXPECT_TRUE(isTrue(settingsFileState().SaveOnExit));
    EXPECT_EQ(w.X, defaults.X);
    EXPECT_EQ(w.Y, defaults.Y);
    EXPECT_EQ(w.Width, defaults.Width);
    EXPECT_EQ(w.Height, defaults.Height);
    EXPECT_EQ(w.State, 1);

    std::vector<std::string> again;
    for (const std::string& line : settingsFileLines("", ""))
        if (written.find("\n" + line + "\r\n") != std::string::npos || written.rfind(line + "\r\n", 0) == 0) again.push_back(line);
    EXPECT_EQ(again, lines(written)) << "every default line comes back unchanged, in order";
}

TEST_F(DefaultSettingsFile, AnExistingSettingsFileIsLeftAsItIs)
{
    std::ofstream(ini(), std::ios::binary) << "[Windows]\r\nDialog X=  12\r\n";
    ASSERT_EQ(runWriter(), 0);
    EXPECT_EQ(readFile(ini()), "[Windows]\r\nDialog X=  12\r\n");
}

}  // namespace
