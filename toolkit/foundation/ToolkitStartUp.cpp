#include "toolkit/foundation/ToolkitStartUp.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <string>

#include "toolkit/foundation/CharacterRoutines.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/MessageBoxes.h"
#include "toolkit/foundation/NumberParse.h"
#include "toolkit/foundation/OsEnvironment.h"
#include "toolkit/foundation/OsFiles.h"
#include "toolkit/foundation/WindowEngineHooks.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/foundation/WindowText.h"

ToolkitStartUpState& toolkitStartUpState()
{
    static ToolkitStartUpState state;
    return state;
}

UndefinedValueTable& undefinedValueTable()
{
    static UndefinedValueTable table;
    return table;
}

ToolkitStartUpHooks& toolkitStartUpHooks()
{
    static ToolkitStartUpHooks hooks;
    return hooks;
}

namespace {

std::string_view trimmedView(std::string_view text)
{
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

// An environment value without trailing blanks; blank when unset or longer than the toolkit's
// names can hold.
std::string environmentValue(std::string_view name)
{
    std::string value(1023, ' ');
    IOsVariable(name, value);
    return std::string(trimmedView(value));
}

// A plain file of that name exists. A wildcard would make the lookup match some other file, so
// such a name never counts as existing.
bool fileExists(std::string_view name)
{
    if (name.find_first_of("*?") != std::string_view::npos) return false;
    INTEGER size = -1, year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, attributes = 0, kib = 0;
    YYFileInfo(name, size, year, month, day, hour, minute, second, attributes, kib);
    return size >= 0 && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string currentFolder()
{
    std::string folder(260, ' ');
    IOsDirName(folder);
    return std::string(trimmedView(folder));
}

std::string systemFolder()
{
    std::string folder(260, ' ');
    if (YYSystemFolder(folder) != 0) return {};
    return std::string(trimmedView(folder));
}

// The "VER" key: the version box, then the end of the program.
void versionExit()
{
    std::string version(20, ' ');
    YYLibraryVersion(version);
    YYAbnormalExit("Devivozivuz version " + std::string(trimmedView(version)), 0);
}

// The names WInfoFilename hands out that start-up keeps (the output devices and the graphics layer
// install their own).
void installNameSources()
{
    auto& sources = toolkitNameHooks().toolkitName;
    sources[3] = [] { return toolkitStartUpState().CharacterSetFile.trimmed(); };
    sources[5] = [] { return toolkitStartUpState().CharacterSetFolder.trimmed(); };
    sources[7] = [] { return toolkitStartUpState().ToolkitFolder.trimmed(); };
    BeepControlHooks& beeps = beepControlHooks();
    beeps.beepSwitch = &YYBeepSwitch;
    beeps.beep = &YYBeep;
}

bool isIntegerKey(const std::string& key)
{
    return key == "DEBUG   " || key == "HPGL2   " || key == "LFNGEN  " || key == "LFNPLOTI" || key == "PLOTTER " ||
           key == "PRINTER ";
}

std::string withSeparator(std::string folder)
{
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

// Acts on one settings line; true when it asked for the version.
bool settingsLine(std::string line)
{
    ToolkitStartUpState& s = toolkitStartUpState();
    if (line.size() > 270) line.resize(270);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto equals = line.find('=');
    // The "=" must have a key before it and may not sit in the buffer's last column.
    if (equals == std::string::npos || equals == 0 || equals + 1 == 270) return false;
    for (char& c : line)
        if (c == '\t') c = ' ';
    const std::string before = line.substr(0, equals);
    const auto keyStart = before.find_first_not_of(' ');
    if (keyStart == std::string::npos) return false;
    const auto keyEnd = before.find(' ', keyStart);
    std::string key = before.substr(keyStart, keyEnd == std::string::npos ? std::string::npos : keyEnd - keyStart);
    if (key.size() < 3) return false;
    key.resize(8, ' ');
    for (char& c : key)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    const bool version = key.compare(0, 3, "VER") == 0;
    const auto valueStart = line.find_first_not_of(' ', equals + 1);
    if (valueStart == std::string::npos) return version;
    std::string value = line.substr(valueStart);
    const auto last = value.find_last_not_of(' ');
    value.resize(last + 1);

    if (key == "CHARDIR ") {
        s.CharacterSetFolder.assign(value);
        return version;
    }
    if (key == "CHARSET ") {
        s.CharacterSetFile.assign(value);
        return version;
    }
    // Only the integer keys are numbers: a folder or file value is never put through the parser.
    if (!isIntegerKey(key)) return version;
    INTEGER number = 0;
    IStringToInteger(value, number);
    LibraryErrorState& errors = libraryErrorState();
    const bool failed = errors.LastErrorNumber != 0;
    errors.LastErrorNumber = 0;
    if (failed) return version;
    const ToolkitStartUpHooks& hooks = toolkitStartUpHooks();
    if (key == "DEBUG   ") WErrorReportMode(number);
    else if (key == "HPGL2   ") s.Hpgl2Selection = number;
    else if (key == "PLOTTER ") s.PlotterSelection = number;
    else if (key == "PRINTER ") s.PrinterSelection = number;
    else if (key == "LFNGEN  " && number != hooks.plotFileUnit()) s.LFNGEN = number;
    else if (key == "LFNPLOTI" && number != s.LFNGEN) hooks.plotFileUnitSet(number);
    return version;
}

}  // namespace

void YYSettingsFileRead(std::string_view path)
{
    std::ifstream file{std::string(path)};
    if (!file) return;
    bool version = false;
    std::string line;
    while (std::getline(file, line))
        if (settingsLine(line)) version = true;
    if (version) versionExit();
}

void YYToolkitFolder()
{
    ToolkitStartUpState& s = toolkitStartUpState();
    s.PathSeparator = '\\';
    YYLocaleInfo(s.DecimalCharacter);
    const std::string dovedo = environmentValue("DOVEDO");
    const std::string wide = environmentValue("WIDE");
    if (!dovedo.empty()) {
        s.ToolkitFolder.assign(withSeparator(dovedo));
    } else if (!wide.empty()) {
        std::string upper = wide;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const auto at = upper.rfind("WIDE");
        s.ToolkitFolder.assign(at == std::string::npos ? wide : wide.substr(0, at));
    } else {
        s.ToolkitFolder.assign(currentFolder().substr(0, 2) + "\\dove\\");
    }
    s.LFNGEN = 40;
}

void YYTempFileNames()
{
    std::string folder = environmentValue("TEMP");
    if (folder.empty()) folder = environmentValue("TMP");
    if (folder.empty()) folder = "C:\\";
    folder = withSeparator(folder);
    auto choose = [&](const char* extension) {
        for (int k = 0; k < 100; ++k) {
            char digits[3];
            std::snprintf(digits, sizeof digits, "%02d", k);  // IntegerToString "(I2.2)"
            const std::string candidate = folder + "zid$$" + digits + extension;
            if (!fileExists(candidate)) return candidate;
        }
        // Every name is taken: borrowing one would later delete another program's file.
        return std::string();
    };
    const std::string plotFile = choose(".plt");
    toolkitStartUpHooks().temporaryFilesSet(plotFile, choose(".dmp"));
}

void WToolkitStartUp(std::optional<std::string_view> iniFile)
{
    ToolkitStartUpState& s = toolkitStartUpState();
    if (s.StartUpGuard == -9999) return;
    s.StartUpGuard = -9999;
    INTEGER flags = 0, paletteSlots = 0;
    YYDisplayFacts(s.ScreenWidth, s.ScreenHeight, s.DisplayColours, paletteSlots, flags);
    s.DisplayFlags = flags;
    YYToolkitFolder();
    installNameSources();

    libraryErrorState() = LibraryErrorState{};
    const ToolkitStartUpHooks& hooks = toolkitStartUpHooks();
    hooks.devicesStartUp();
    windowEngineState().CurrentWindow = 0;
    windowEngineState().MainWindowOpen = 0;
    dialogManagerHooks().dialogManagerReset();
    YYErrorReportHooksInstall();
    hooks.graphicsStartUp();
    WindowTextState& text = windowTextState();
    text.BuiltKind = text.BuiltWidth = text.BuiltHeight = text.BuiltBold = text.BuiltItalic = -1;
    undefinedValueTable() = UndefinedValueTable{};
    hooks.editorsAllocate();
    YYBeepSwitch(1);

    const std::string folder = s.ToolkitFolder.trimmed();
    s.CharacterSetFolder.assign(folder.empty() ? std::string{} : folder + "charsets");
    const std::string doveinit = environmentValue("DOVEINIT");
    if (!doveinit.empty() && fileExists(doveinit)) s.SettingsFilePath.assign(doveinit);
    else if (fileExists("dovedo.ini")) s.SettingsFilePath.assign("dovedo.ini");
    else if (folder.empty()) s.SettingsFilePath.assign("dovedo.ini");
    else if (fileExists(folder + "dovedo.ini")) s.SettingsFilePath.assign(folder + "dovedo.ini");
    else s.SettingsFilePath.assign("");

    s.CharacterSetFile.assign("standard.chr");
    YYTempFileNames();
    s.SystemFolder.assign(systemFolder());

    const std::string debug = environmentValue("DOVEDEBUG");
    if (!debug.empty()) WErrorReportMode(debug[0] - '0');
    libraryErrorState().LastErrorNumber = 0;
    std::string word;
    YYCommandLine(-1, word);

    std::string chosen;
    if (iniFile) {
        const auto last = iniFile->find_last_not_of(' ');
        const std::string name(last == std::string_view::npos ? std::string_view{} : iniFile->substr(0, last + 1));
        if (!name.empty() && fileExists(name)) chosen = name;
    }
    if (chosen.empty()) chosen = s.SettingsFilePath.trimmed();
    if (!chosen.empty()) YYSettingsFileRead(chosen);

    std::string charsets = s.CharacterSetFolder.trimmed();
    if (!charsets.empty() && charsets.back() != s.PathSeparator) s.CharacterSetFolder.assign(charsets + s.PathSeparator);

    hooks.hardcopyDefaults(s.PrinterSelection, s.PlotterSelection, s.Hpgl2Selection);
}

void WToolkitShutDown()
{
    const ToolkitStartUpHooks& hooks = toolkitStartUpHooks();
    hooks.devicesShutDown();
    YYWindowsDestroyAll();
    dialogManagerHooks().dialogManagerReset();
    hooks.editorsRelease();
    windowSlotTable().Slots[0].OpenFlags = -1;
}

INTEGER WInfoDisplayQuery(INTEGER code)
{
    const ToolkitStartUpState& s = toolkitStartUpState();
    switch (code) {
    case 1: return s.ScreenWidth;
    case 2: return s.ScreenHeight;
    case 3: return s.DisplayColours;
    case 4: return s.DisplayFlags & 1;
    case 5: return (s.DisplayFlags >> 1) & 1;
    default: return 0;
    }
}
