// Replacing the settings file where the C library's rename replaces an existing file in one step
// (the native tree).
#include <cstdio>

#include "Quorvalent/IniFile.h"

bool replaceSettingsFile(const std::string& workFile, const std::string& settingsFile)
{
    return std::rename(workFile.c_str(), settingsFile.c_str()) == 0;
}
