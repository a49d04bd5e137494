// Replacing the settings file on Windows: one move that replaces the old file, so that there is
// never a moment without a settings file, and written through before it returns.
#include "Quorvalent/IniFile.h"
#include "toolkit/foundation/WinApi.h"

bool replaceSettingsFile(const std::string& workFile, const std::string& settingsFile)
{
    return MoveFileExA(workFile.c_str(), settingsFile.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
