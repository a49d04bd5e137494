// The program's settings file beside the program (platform-free): its reader INIIN at start-up
// and its writer LASTDIR at exit.
//
// The file is the user's data. The reader never stops at a bad value: it skips that line and
// reads on. The writer writes a fresh work file (".INW"), checks every write, and only a complete
// file replaces the settings file (".INI") in one step; on any failure the old settings file is
// left exactly as it was and the user is told.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "Quorvalent/PlotSettings.h"
#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/FixedText.h"

using LastFileText = FixedText<24>;

struct SettingsFileState {
    LOGICAL SaveOnExit = kFalse;   // the ".INI" could be read at start-up
    FixedText<255> IniPath;        // the file the reader opened (else the ".INI" it looked for)
    // Values this program only carries from the file back into it.
    INTEGER Debug = 0;             // the report mode the main program applies after reading
    INTEGER SoftDialogX = 0, SoftDialogY = 0;
    INTEGER FirstRow = 0, LastRow = 0, DistanceColumn = 3, ModelResistColumn = 2, WellDepthColumn = 1, WellResistColumn = 3;
    LOGICAL LX1000 = kFalse;
    INTEGER TimeColumn = 2, VoltageColumn = 3;
    INTEGER SystemTimeColumn = 0, SystemResponseColumn = 0;
    REAL SystemDT = 0.0f;
    INTEGER KPLIN = 9, KSOUN = 5;
    // Windows this program never opens, seeded from the screen size at start-up.
    INTEGER WellLogW = 0, WellLogH = 0, SoundingW = 0, SoundingH = 0;
    // Every recognised key read from the file with its value word as read; keys the writer's
    // layout lacks are written back from here, so hand edits survive.
    std::map<std::string, std::string, std::less<>> ReadValues;
};

SettingsFileState& settingsFileState();

// The seeded sizes of the other windows: 0.6 of the screen for "WellLog", 0.45 by 0.5 for
// "Sounding", rounded to the nearest pixel.
void seedSettingsWindowDefaults(INTEGER screenWidth, INTEGER screenHeight);

// The vocabulary: every key the reader recognises, in the order it tests them, with its kind and
// the value it sets (none for keys only carried back into the file).
enum class IniValueKind { Integer, Real, Logical, Title, LastFile, PenList, ValueList };
using IniTarget = std::variant<std::monostate, std::int32_t*, REAL*, AxisTitle*>;
struct IniKeyEntry {
    std::string_view Key;
    IniValueKind Kind;
    IniTarget Target;
};
const std::vector<IniKeyEntry>& IniKeyTable();

// The settings file or work file beside the program: the program path with a trailing ".EXE"
// (any case) replaced by the extension, or the extension appended when there is none.
std::string settingsFilePath(std::string_view extension);

// Reads the settings file (".INI", else ".INW") into the program's settings; lastFile receives
// the "Last File=" value. Missing or empty file: every setting keeps its default.
void INIIN(LastFileText& lastFile);

// Where the writer's bytes go; each step reports success.
class SettingsSink {
public:
    virtual ~SettingsSink() = default;
    virtual bool open(const std::string& path) = 0;      // creates or truncates
    virtual bool write(std::string_view bytes) = 0;
    virtual bool close() = 0;
};

// The file's lines for the current settings, without line ends.
std::vector<std::string> settingsFileLines(std::string_view lastFile, std::string_view currentFolder);

// Writes the settings when the ".INI" was read at start-up. True when nothing needed writing or
// the settings file was replaced; false after a failure, which leaves the old file untouched and
// is reported with WINMSG.
bool LASTDIR(const LastFileText& lastFile);
// The same through a given sink (the writer's fault path is tested through it).
bool writeSettingsFile(const LastFileText& lastFile, SettingsSink& sink);

// Replaces the settings file by the complete work file in one step (link seam: the program
// links the Windows version, the native tree a portable one).
bool replaceSettingsFile(const std::string& workFile, const std::string& settingsFile);
