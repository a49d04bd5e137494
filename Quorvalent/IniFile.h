// The program's settings file beside the program (platform-free): its reader INIIN at start-up
// and its writer LASTDIR at exit.
//
// The file is the user's data. The reader never stops at a bad value: it skips that line and
// reads on; a file it cannot read leaves every setting at its default and is not written over.
// The writer writes a fresh work file (".INW", the toolkit's WorkFile), checks every write, and
// only a complete file replaces the settings file (".INI") in one step, keeping its permissions
// and, when it is a link, replacing the file the link points to; on any failure the old settings
// file is left exactly as it was and the user is told.
#pragma once

#include <cstdint>
#include <istream>
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

// The largest settings file the reader takes: a full one is a few kilobytes. A larger file is no
// settings file the program wrote (and would cost memory without end): it is refused with
// kSettingsTooLarge, every setting keeps its default, and the file is not written over at exit.
inline constexpr std::uintmax_t kMaxSettingsFileBytes = 64 * 1024;
// The longest last folder the file keeps: the writer leaves a longer one out (a cut name would
// not exist), the reader takes this many characters after "LastDir=".
inline constexpr std::size_t kMaxLastFolder = 255;

// Reads the settings file (".INI", else ".INW") into the program's settings; lastFile receives
// the "Last File=" value. Missing or empty file: every setting keeps its default. A file that
// cannot be read is named with kUnreadable and its reason: every setting keeps its default and
// the file is not written over at exit. Lines may end in CR LF, LF or CR alone; a UTF-8
// byte-order mark before the first line is skipped.
void INIIN(LastFileText& lastFile);
// The reading itself, from an open settings file (or any stream of its bytes).
void readSettings(std::istream& in, LastFileText& lastFile);

// Where the writer's bytes go; each step reports success, and reason() says why one failed.
class SettingsSink {
public:
    virtual ~SettingsSink() = default;
    // Creates the work file for this program alone.
    virtual bool open(const std::string& path) = 0;
    virtual bool write(std::string_view bytes) = 0;
    // Puts the complete work file to disk and replaces the settings file with it in one step.
    virtual bool commit(const std::string& settingsFile) = 0;
    // Why the last step failed, in words for the user ("the disk is full" ...); may be empty.
    virtual std::string reason() const { return {}; }
};

// The file's lines for the current settings, without line ends.
std::vector<std::string> settingsFileLines(std::string_view lastFile, std::string_view currentFolder);

// Writes the settings when the ".INI" was read at start-up. True when nothing needed writing or
// the settings file was replaced; false after a failure, which leaves the old file untouched and
// is reported with WINMSG, saying why. A read-only settings file is not replaced.
bool LASTDIR(const LastFileText& lastFile);
// The same through a given sink (the writer's fault path is tested through it).
bool writeSettingsFile(const LastFileText& lastFile, SettingsSink& sink);

namespace SettingsMessages {
inline constexpr std::string_view kNotSaved = "The settings could not be saved";
inline constexpr std::string_view kLeftUnchanged = "the settings file was left unchanged:";
inline constexpr std::string_view kUnreadable =
    "The settings file could not be read; the settings keep their defaults and the file is left as it is";
inline constexpr std::string_view kTooLarge =
    "The settings file is too large to be a settings file; the settings keep their defaults and the file is left as it is:";
inline constexpr std::string_view kReadOnly = "the settings file is read-only";
inline constexpr std::string_view kBusy = "another program kept saving the settings";
}  // namespace SettingsMessages
