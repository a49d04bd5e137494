// The settings file reader on any bytes: it never stops at a bad value, never grows without
// bound and lets no exception out; the writer's lines follow from whatever it read.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>

#include "Quorvalent/AppState.h"
#include "Quorvalent/IniFile.h"
#include "Quorvalent/PlotSettings.h"
#include "Quorvalent/SoundingHandler.h"
#include "Quorvalent/SuiteState.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/ToolkitLinkFake.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fs::path start = fs::current_path();
    ToolkitLinkFake::reset();
    MessageRecorder::clear();
    settingsFileState() = SettingsFileState{};
    mainWindowState() = MainWindowState{};
    plotSettingsState() = PlotSettingsState{};
    suiteState() = SuiteState{};
    systemRecord() = SystemRecord{};
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), data ? size : 0));
    LastFileText lastFile;
    readSettings(in, lastFile);
    // "LastDir=" may name any folder: the next input starts where this one did.
    std::error_code ignored;
    fs::current_path(start, ignored);
    settingsFileLines(lastFile.view(), "C:\\");
    return 0;
}
