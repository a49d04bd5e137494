// What the settings-file tests share: each test runs beside a program of its own in a fresh
// folder, with the program's settings at their defaults, and leaves the folder, the current
// folder, the settings and the toolkit fakes as it found them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <utility>

#include "Quorvalent/AppState.h"
#include "Quorvalent/IniFile.h"
#include "Quorvalent/PlotSettings.h"
#include "Quorvalent/SoundingHandler.h"
#include "Quorvalent/SuiteState.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/ToolkitLinkFake.h"

namespace SettingsFolder {

namespace fs = std::filesystem;

inline std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void writeFile(const fs::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// The folder is named from the prefix; the program's file name decides its settings files' names.
class SettingsFolderTest : public ::testing::Test {
protected:
    SettingsFolderTest(std::string folderPrefix, std::string programName)
        : folderPrefix_(std::move(folderPrefix)), programName_(std::move(programName))
    {
    }
    void SetUp() override
    {
        savedFolder_ = fs::current_path();
        savedTitles_ = axisTitleTable();
        folder_ = fs::temp_directory_path() / (folderPrefix_ + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
        ToolkitLinkFake::reset();
        ToolkitLinkFake::script().ProgramPath = (folder_ / programName_).string();
        MessageRecorder::clear();
        resetSettings();
    }
    void TearDown() override
    {
        fs::current_path(savedFolder_);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
        resetSettings();
        ToolkitLinkFake::reset();
        MessageRecorder::clear();
    }
    void resetSettings()
    {
        settingsFileState() = SettingsFileState{};
        mainWindowState() = MainWindowState{};
        graphOptionsState() = GraphOptionsState{};
        plotSettingsState() = PlotSettingsState{};
        suiteState() = SuiteState{};
        systemRecord() = SystemRecord{};
        axisTitleTable() = savedTitles_;
    }

    fs::path folder_;

private:
    std::string folderPrefix_, programName_;
    fs::path savedFolder_;
    AxisTitleTable savedTitles_;
};

}  // namespace SettingsFolder
