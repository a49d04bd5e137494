// Writes the settings file a new installation starts with: the program's own settings lines for
// its defaults, without the keys that belong to one machine (the window geometry, which the
// program takes from the screen, and the last folder). Run by the build:
//     default_settings_file PATH
// writes PATH unless a file is there already, so that a user's settings are never replaced.
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "Quorvalent/IniFile.h"
#include "toolkit/foundation/Handles.h"
#include "WBRVLib/Brvl95.h"

// The settings module reaches the program's folders and message boxes through the toolkit; this
// tool only asks it for the lines, so these are never called.
void IOsCommandWord(INTEGER, std::string& word) { word.clear(); }
void IOsUserName(std::string& name) { name.clear(); }
LOGICAL IOsDirIsPresent(std::string_view) { return kFalse; }
void IOsDirMake(std::string_view) {}
void IOsDirChange(std::string_view) {}
void IOsDirName(std::string& name) { name.clear(); }
void WINMSG(std::string_view text) { std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data()); }

namespace {

bool machineDependent(std::string_view line)
{
    constexpr std::string_view keys[] = {"LastDir=", "Window X=", "Window Y=", "Window W=", "Window H=", "Window State=",
                                         "WellLog W=", "WellLog H=", "Sounding W=", "Sounding H="};
    for (std::string_view key : keys)
        if (line.substr(0, key.size()) == key) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: default_settings_file PATH\n");
        return 2;
    }
    if (StdioFile existing(std::fopen(argv[1], "rb")); existing) return 0;
    StdioFile file(std::fopen(argv[1], "wb"));
    if (!file) {
        std::perror(argv[1]);
        return 1;
    }
    for (const std::string& line : settingsFileLines("", "")) {
        if (machineDependent(line)) continue;
        if (std::fputs(line.c_str(), file.get()) < 0 || std::fputs("\r\n", file.get()) < 0) {
            std::perror(argv[1]);
            return 1;
        }
    }
    if (!StdioFileCloseChecked(file)) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
