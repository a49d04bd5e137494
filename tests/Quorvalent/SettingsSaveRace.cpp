// A program that saves the settings file ROUNDS times in FOLDER, as a second copy of the program
// would, each time with the settings of its own ID, and checks after each save that the file is
// exactly one program's whole file. It writes its own file's text to FOLDER/expected-ID.txt
// first (programs 1 and 2 know each other's file), and exits with 0 when every save succeeded and no file was torn.
// Usage: SettingsSaveRace FOLDER ID ROUNDS
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "Quorvalent/AppState.h"
#include "Quorvalent/IniFile.h"
#include "Quorvalent/PlotSettings.h"
#include "Quorvalent/SoundingHandler.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/ToolkitLinkFake.h"

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Settings that differ between the programs throughout the file.
void useSettingsOf(int id)
{
    systemRecord().NSuite = id;
    systemRecord().TxLength = 1000.0f * static_cast<float>(id);
    plotSettingsState().KGRID = id;
    for (int row : {37, 28, 30, 4}) axisTitleTable().row(row).assign(std::string(40, static_cast<char>('A' + id)));
    settingsFileState().SaveOnExit = kTrue;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) return 2;
    const fs::path folder = argv[1];
    const int id = std::atoi(argv[2]);
    const int rounds = std::atoi(argv[3]);
    fs::current_path(folder);
    ToolkitLinkFake::script().ProgramPath = (folder / "Quorvalent.exe").string();
    const auto textOf = [](int program) {
        useSettingsOf(program);
        std::string text;
        for (const std::string& line : settingsFileLines(LastFileText().view(), fs::current_path().string())) text += line + "\r\n";
        return text;
    };
    const std::string theirs = textOf(3 - id);
    const std::string mine = textOf(id);
    std::ofstream(folder / ("expected-" + std::to_string(id) + ".txt"), std::ios::binary) << mine;

    int failed = 0, torn = 0;
    for (int round = 0; round < rounds; ++round) {
        useSettingsOf(id);
        if (!LASTDIR(LastFileText())) ++failed;
        // On Windows the settings file cannot be opened in the instant the other program's
        // replace holds it; that is no torn file, and the read is tried again.
        std::string now;
        for (int attempt = 0; attempt < 200 && now.empty(); ++attempt) {
            if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            now = readFile(folder / "Quorvalent.INI");
        }
        const bool whole = now == mine || now == theirs;
        if (!whole) {
            ++torn;
            std::printf("torn: %zu bytes\n", now.size());
        }
    }
    std::printf("program %d: %d saves, %d failed, %d torn, %zu messages\n", id, rounds, failed, torn, MessageRecorder::shown().size());
    for (const std::string& text : MessageRecorder::shown()) std::printf("  %s\n", text.c_str());
    return failed == 0 && torn == 0 ? 0 : 1;
}
