#include "Quorvalent/IniFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>
#include <thread>

#include "Quorvalent/AppState.h"
#include "Quorvalent/SoundingHandler.h"
#include "Quorvalent/SuiteState.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WorkFiles.h"
#include "WBRVLib/Brvl95.h"
#include "WBRVLib/Strings.h"
#include "WBRVLib/ToolkitLink.h"

namespace {

constexpr INTEGER kLineLength = 256;
constexpr std::string_view kLineEnd = "\r\n";    // a Windows text file, whatever tree wrote it

std::string trimmed(std::string_view text) { return std::string(text.substr(0, static_cast<std::size_t>(INDSTR(text, static_cast<INTEGER>(text.size()))))); }

bool contains(std::string_view line, std::string_view key) { return IFNDPT(line, kLineLength, key, static_cast<INTEGER>(key.size())) > 0; }

// Lines are taken this long: the keys are looked for in the first 256 characters, and the last
// folder may fill 255 after its key.
constexpr std::size_t kKeptLine = 8 + kMaxLastFolder;

// The file's lines one at a time, each cut to kKeptLine and blank-padded to 256 characters. A
// line ends at LF, CR LF or a CR alone; a UTF-8 byte-order mark before the first line is skipped.
class SettingsLines {
public:
    explicit SettingsLines(std::istream& in) : in_(*in.rdbuf())
    {
        static constexpr char kMark[] = "\xEF\xBB\xBF";
        for (const char c : std::string_view(kMark)) {
            if (in_.sgetc() != static_cast<unsigned char>(c)) break;
            in_.sbumpc();
        }
    }
    bool next(std::string& line)
    {
        line.clear();
        int c = in_.sbumpc();
        if (c == std::char_traits<char>::eof()) return false;
        while (c != std::char_traits<char>::eof() && c != '\n' && c != '\r') {
            if (line.size() < kKeptLine) line.push_back(static_cast<char>(c));
            c = in_.sbumpc();
        }
        if (c == '\r' && in_.sgetc() == '\n') in_.sbumpc();
        if (line.size() < static_cast<std::size_t>(kLineLength)) line.resize(kLineLength, ' ');
        return true;
    }

private:
    std::streambuf& in_;
};

enum class SettingsOpen { Missing, Open, TooLarge, Unreadable };

// The whole file, read before any setting changes, so that a file that cannot be read to its end
// leaves every setting as it was (C streams: a read error is a status, never an exception).
SettingsOpen readWhole(const std::string& path, std::string& text, std::string& reason)
{
    text.clear();
    StdioFile file(std::fopen(path.c_str(), "rb"));
    if (!file) return SettingsOpen::Missing;
    std::array<char, 4096> piece{};
    for (;;) {
        errno = 0;
        const std::size_t count = std::fread(piece.data(), 1, piece.size(), file.get());
        text.append(piece.data(), count);
        // Refused at the first bytes past the limit: a huge file is never read whole.
        if (text.size() > kMaxSettingsFileBytes) return SettingsOpen::TooLarge;
        if (count == piece.size()) continue;
        if (!std::ferror(file.get())) return SettingsOpen::Open;
        reason = std::strerror(errno != 0 ? errno : EIO);
        return SettingsOpen::Unreadable;
    }
}

// ---- taking values -------------------------------------------------------------------------

std::string nextWord(std::string_view line, INTEGER& pos)
{
    std::string word;
    NXTWRD(line, kLineLength, pos, word, 20);
    return trimmed(word);
}

bool takeInteger(const std::string& word, INTEGER& value)
{
    const std::string digits = trimmed(std::string_view(word).substr(0, std::min<std::size_t>(10, word.size())));
    if (digits.empty()) {
        value = 0;
        return true;
    }
    return readIntegerWord(digits, value);
}

bool takeReal(const std::string& word, REAL& value)
{
    if (word.empty()) {
        value = 0.0f;
        return true;
    }
    return readRealWord(word, value);
}

bool takeLogical(const std::string& word, LOGICAL& value)
{
    // "T", "TRUE", ".TRUE." and lower case all count: only the first letter decides.
    std::size_t i = (!word.empty() && word[0] == '.') ? 1 : 0;
    const char c = i < word.size() ? word[i] : ' ';
    if (c == 'T' || c == 't') value = kTrue;
    else if (c == 'F' || c == 'f') value = kFalse;
    else return false;
    return true;
}

// Takes the value of a line that holds the key; a value that cannot be converted leaves every
// setting as it was (the line is skipped).
void takeValue(const IniKeyEntry& entry, std::string line, LastFileText& lastFile)
{
    SettingsFileState& f = settingsFileState();
    SHFSTR(line, kLineLength, -static_cast<INTEGER>(entry.Key.size()));
    INTEGER pos = 1;
    switch (entry.Kind) {
    case IniValueKind::Integer: {
        const std::string word = nextWord(line, pos);
        INTEGER value = 0;
        if (!takeInteger(word, value)) return;
        // The suite holds 1 to 1000 curves (VParam and the values grid); a count beyond is held there.
        if (entry.Key == "NSuite=") value = std::clamp<INTEGER>(value, 1, 1000);
        if (auto* target = std::get_if<std::int32_t*>(&entry.Target)) **target = value;
        f.ReadValues[std::string(entry.Key)] = word.substr(0, std::min<std::size_t>(10, word.size()));
        return;
    }
    case IniValueKind::Real: {
        const std::string word = nextWord(line, pos);
        REAL value = 0.0f;
        if (!takeReal(word, value)) return;
        if (auto* target = std::get_if<REAL*>(&entry.Target)) **target = value;
        f.ReadValues[std::string(entry.Key)] = word;
        return;
    }
    case IniValueKind::Logical: {
        const std::string word = nextWord(line, pos);
        LOGICAL value = kFalse;
        if (!takeLogical(word, value)) return;
        if (auto* target = std::get_if<std::int32_t*>(&entry.Target)) **target = value;
        f.ReadValues[std::string(entry.Key)] = word;
        return;
    }
    case IniValueKind::Title:
        if (auto* target = std::get_if<AxisTitle*>(&entry.Target)) (*target)->assign(std::string_view(line).substr(0, 40));
        return;
    case IniValueKind::LastFile:
        lastFile.assign(std::string_view(line).substr(0, static_cast<std::size_t>(std::min<INTEGER>(INDSTR(line, kLineLength), 24))));
        return;
    case IniValueKind::PenList: {
        std::vector<INTEGER> pens;
        for (int k = 0; k < 6; ++k) {
            const std::string word = nextWord(line, pos);
            if (word.empty()) break;
            INTEGER value = 0;
            if (!takeInteger(word, value)) return;
            pens.push_back(value);
        }
        std::copy(pens.begin(), pens.end(), plotSettingsState().KCALC.begin());
        return;
    }
    case IniValueKind::ValueList: {
        // As many values as the suite has curves at this point of the file, at most ten.
        const INTEGER n = std::clamp<INTEGER>(systemRecord().NSuite, 0, 10);
        std::vector<REAL> values;
        for (INTEGER k = 0; k < n; ++k) {
            REAL value = 0.0f;
            if (!takeReal(nextWord(line, pos), value)) return;
            values.push_back(value);
        }
        std::copy(values.begin(), values.end(), suiteState().VParam.begin());
        return;
    }
    }
}

// ---- writing -------------------------------------------------------------------------------

std::string logicalField(LOGICAL value) { return isTrue(value) ? "T" : "F"; }

// Iw, widened when the value does not fit: the reader must read back what was written.
std::string integerField(INTEGER value, bool separated)
{
    std::string text = formatInteger(value, 5);
    if (text.find('*') != std::string::npos) {
        // The reader takes ten characters of a word; below -999999999 no value would survive.
        text = std::to_string(std::max<INTEGER>(value, -999999999));
    }
    if (separated && text[0] != ' ') text.insert(0, " ");
    return text;
}

// Fw.d while it fits and keeps the value to within 1 part in 10000; otherwise an exponent form
// with nine significant digits, so that large and small values come back unchanged. Fields of a
// list always begin with a blank so that they never run together.
std::string realField(REAL value, int width, int decimals, bool separated)
{
    std::string text = formatFixed(value, width, decimals);
    REAL back = 0.0f;
    const std::size_t first = text.find_first_not_of(' ');
    const bool fits = text.find('*') == std::string::npos && first != std::string::npos && readRealWord(text.substr(first), back);
    const bool keeps = fits && (value == 0.0f ? back == 0.0f : std::fabs(back - value) <= 1.0e-4f * std::fabs(value));
    if (!keeps || (separated && text[0] != ' ')) text = formatExponent(value, 16, 8);
    return text;
}

std::string exponentField(REAL value) { return formatExponent(value, 13, 4); }

}  // namespace

SettingsFileState& settingsFileState()
{
    static SettingsFileState state;
    return state;
}

void seedSettingsWindowDefaults(INTEGER screenWidth, INTEGER screenHeight)
{
    SettingsFileState& f = settingsFileState();
    const auto part = [](INTEGER size, double fraction) { return static_cast<INTEGER>(std::lround(size * fraction)); };
    f.WellLogW = part(screenWidth, 0.6);
    f.WellLogH = part(screenHeight, 0.6);
    f.SoundingW = part(screenWidth, 0.45);
    f.SoundingH = part(screenHeight, 0.5);
}

const std::vector<IniKeyEntry>& IniKeyTable()
{
    static const std::vector<IniKeyEntry> table = [] {
        SettingsFileState& f = settingsFileState();
        GraphOptionsState& g = graphOptionsState();
        PlotSettingsState& p = plotSettingsState();
        SuiteState& u = suiteState();
        SystemRecord& y = systemRecord();
        AxisTitleTable& a = axisTitleTable();
        return std::vector<IniKeyEntry>{
        {"Spacing Column=", IniValueKind::Integer, IniTarget{}},
        {"Resistivity Column=", IniValueKind::Integer, IniTarget{}},
        {"Distance Column=", IniValueKind::Integer, &f.DistanceColumn},
        {"Model Resist Column=", IniValueKind::Integer, &f.ModelResistColumn},
        {"MN Column=", IniValueKind::Integer, IniTarget{}},
        {"Current Column=", IniValueKind::Integer, IniTarget{}},
        {"First Row=", IniValueKind::Integer, &f.FirstRow},
        {"Last Row=", IniValueKind::Integer, &f.LastRow},
        {"Frequency Column=", IniValueKind::Integer, IniTarget{}},
        {"In-Phase Column=", IniValueKind::Integer, IniTarget{}},
        {"Quadrature Column=", IniValueKind::Integer, IniTarget{}},
        {"Rho Error Column=", IniValueKind::Integer, IniTarget{}},
        {"Phase Error Column=", IniValueKind::Integer, IniTarget{}},
        {"IP Data Column=", IniValueKind::Integer, IniTarget{}},
        {"System Time Column=", IniValueKind::Integer, &f.SystemTimeColumn},
        {"System Response Column=", IniValueKind::Integer, &f.SystemResponseColumn},
        {"System DT=", IniValueKind::Real, &f.SystemDT},
        {"Time Column=", IniValueKind::Integer, &f.TimeColumn},
        {"Voltage Column=", IniValueKind::Integer, &f.VoltageColumn},
        {"Space Column=", IniValueKind::Integer, IniTarget{}},
        {"Height Column=", IniValueKind::Integer, IniTarget{}},
        {"Easting Column=", IniValueKind::Integer, IniTarget{}},
        {"Northing Column=", IniValueKind::Integer, IniTarget{}},
        {"Elevation Column=", IniValueKind::Integer, IniTarget{}},
        {"PDist Column=", IniValueKind::Integer, IniTarget{}},
        {"Data Column=", IniValueKind::Integer, IniTarget{}},
        {"Column Increment=", IniValueKind::Integer, IniTarget{}},
        {"Batch Forward=", IniValueKind::Integer, IniTarget{}},
        {"Batch Inverse=", IniValueKind::Integer, IniTarget{}},
        {"Batch Equivalence=", IniValueKind::Integer, IniTarget{}},
        {"Batch Smooth=", IniValueKind::Integer, IniTarget{}},
        {"Method=", IniValueKind::Integer, IniTarget{}},
        {"IXYZFormat=", IniValueKind::Integer, IniTarget{}},
        {"IThkDpthElev=", IniValueKind::Integer, IniTarget{}},
        {"IPctPpmUnit=", IniValueKind::Integer, IniTarget{}},
        {"Debug=", IniValueKind::Integer, &f.Debug},
        {"NPDEC=", IniValueKind::Integer, IniTarget{}},
        {"XYZ Surface=", IniValueKind::Logical, IniTarget{}},
        {"CSV Output=", IniValueKind::Logical, IniTarget{}},
        {"Lat/Long Output=", IniValueKind::Logical, IniTarget{}},
        {"LDInFeet=", IniValueKind::Logical, &g.DepthInFeet},
        {"Batch Plot Data=", IniValueKind::Logical, IniTarget{}},
        {"Batch Plot Model=", IniValueKind::Logical, IniTarget{}},
        {"Batch Plot Layered=", IniValueKind::Logical, IniTarget{}},
        {"Batch Plot Equivalent=", IniValueKind::Logical, IniTarget{}},
        {"Batch Plot Smooth=", IniValueKind::Logical, IniTarget{}},
        {"Batch Plot Group=", IniValueKind::Logical, IniTarget{}},
        {"Batch Group=", IniValueKind::Integer, IniTarget{}},
        {"Well Depth Column=", IniValueKind::Integer, &f.WellDepthColumn},
        {"Well Resist Column=", IniValueKind::Integer, &f.WellResistColumn},
        {"Well ResistV Column=", IniValueKind::Integer, IniTarget{}},
        {"LX1000=", IniValueKind::Logical, &f.LX1000},
        {"Last File=", IniValueKind::LastFile, IniTarget{}},
        {"LZOOM=", IniValueKind::Logical, &g.ZoomMode},
        {"LEQUIV=", IniValueKind::Logical, &p.LEQUIV},
        {"LAYERED=", IniValueKind::Logical, &p.LAYERED},
        {"LSMOOTH=", IniValueKind::Logical, &p.LSMOOTH},
        {"LMODONDAT=", IniValueKind::Logical, &p.LMODONDAT},
        {"LRHOAExport=", IniValueKind::Logical, IniTarget{}},
        {"LINEARMOD=", IniValueKind::Logical, &g.LinearDepth},
        {"LGRIDJD=", IniValueKind::Logical, &g.CurveMajorGrid},
        {"LGRIDND=", IniValueKind::Logical, &g.CurveMinorGrid},
        {"LGRIDJM=", IniValueKind::Logical, &g.ModelMajorGrid},
        {"LGRIDNM=", IniValueKind::Logical, &g.ModelMinorGrid},
        {"LGRIDJPD=", IniValueKind::Logical, IniTarget{}},
        {"LGRIDNPD=", IniValueKind::Logical, IniTarget{}},
        {"LGRIDJPM=", IniValueKind::Logical, IniTarget{}},
        {"LGRIDNPM=", IniValueKind::Logical, IniTarget{}},
        {"LVSource=", IniValueKind::Logical, IniTarget{}},
        {"LDATALINE=", IniValueKind::Logical, IniTarget{}},
        {"LINECOLORS=", IniValueKind::Logical, IniTarget{}},
        {"LREDTOBLUE=", IniValueKind::Logical, IniTarget{}},
        {"LOGCOLOR=", IniValueKind::Logical, IniTarget{}},
        {"LPINNED=", IniValueKind::Logical, IniTarget{}},
        {"LSPLINE=", IniValueKind::Logical, IniTarget{}},
        {"LESTSTART=", IniValueKind::Logical, IniTarget{}},
        {"LGRIDJMP=", IniValueKind::Logical, IniTarget{}},
        {"LGRIDNMP=", IniValueKind::Logical, IniTarget{}},
        {"LPGRAPH=", IniValueKind::Logical, IniTarget{}},
        {"LPDATA=", IniValueKind::Logical, IniTarget{}},
        {"LPMODEL=", IniValueKind::Logical, IniTarget{}},
        {"LPBOUND=", IniValueKind::Logical, IniTarget{}},
        {"LPRESOLV=", IniValueKind::Logical, IniTarget{}},
        {"LPMODELS=", IniValueKind::Logical, IniTarget{}},
        {"LPBOUNDS=", IniValueKind::Logical, IniTarget{}},
        {"LPRESOLVS=", IniValueKind::Logical, IniTarget{}},
        {"LPWORK=", IniValueKind::Logical, IniTarget{}},
        {"LBOSTICK=", IniValueKind::Logical, IniTarget{}},
        {"LNIBLETT=", IniValueKind::Logical, IniTarget{}},
        {"LREDLINE=", IniValueKind::Logical, &p.LREDLINE},
        {"LGRIDJL=", IniValueKind::Logical, IniTarget{}},
        {"LGRIDNL=", IniValueKind::Logical, IniTarget{}},
        {"LGRIDJC=", IniValueKind::Logical, IniTarget{}},
        {"LGRIDNC=", IniValueKind::Logical, IniTarget{}},
        {"LSEA=", IniValueKind::Logical, &p.LSEA},
        {"LPOLYLINE=", IniValueKind::Logical, IniTarget{}},
        {"LEQUIVP=", IniValueKind::Logical, IniTarget{}},
        {"LAYEREDP=", IniValueKind::Logical, IniTarget{}},
        {"LSMOOTHP=", IniValueKind::Logical, IniTarget{}},
        {"CLRES=", IniValueKind::Title, &a.row(37)},
        {"CLSPACE=", IniValueKind::Title, &a.row(28)},
        {"CLRESM=", IniValueKind::Title, &a.row(30)},
        {"CLDEPT=", IniValueKind::Title, &a.row(31)},
        {"CLTIME=", IniValueKind::Title, &a.row(36)},
        {"CLPER=", IniValueKind::Title, &a.row(35)},
        {"CLFREQ=", IniValueKind::Title, &a.row(34)},
        {"CLVOLT=", IniValueKind::Title, &a.row(33)},
        {"CRVOLT=", IniValueKind::Title, &a.row(32)},
        {"CTIMES=", IniValueKind::Title, &a.row(4)},
        {"CLPHAS=", IniValueKind::Title, &a.row(29)},
        {"CLINQD=", IniValueKind::Title, &a.row(27)},
        {"CLHITE=", IniValueKind::Title, &a.row(26)},
        {"CLPFE=", IniValueKind::Title, &a.row(25)},
        {"CLPFEM=", IniValueKind::Title, &a.row(24)},
        {"CLNSPC=", IniValueKind::Title, &a.row(21)},
        {"CLNORT=", IniValueKind::Title, &a.row(8)},
        {"CLEAST=", IniValueKind::Title, &a.row(7)},
        {"CLPDIS=", IniValueKind::Title, &a.row(6)},
        {"CLELEV=", IniValueKind::Title, &a.row(5)},
        {"HICNAME=", IniValueKind::Real, &p.HICNAME},
        {"HIDATV=", IniValueKind::Real, &p.HIDATV},
        {"HIDATH=", IniValueKind::Real, &p.HIDATH},
        {"HIMODV=", IniValueKind::Real, &p.HIMODV},
        {"HIMODH=", IniValueKind::Real, &p.HIMODH},
        {"OFFDATV=", IniValueKind::Real, &p.OFFDATV},
        {"OFFDATH=", IniValueKind::Real, &p.OFFDATH},
        {"OFFDATP=", IniValueKind::Real, IniTarget{}},
        {"OFFMODV=", IniValueKind::Real, &p.OFFMODV},
        {"OFFMODH=", IniValueKind::Real, &p.OFFMODH},
        {"Line Width=", IniValueKind::Integer, &p.LineWidth},
        {"ZVMIN=", IniValueKind::Real, IniTarget{}},
        {"ZVMAX=", IniValueKind::Real, IniTarget{}},
        {"KGRID=", IniValueKind::Integer, &p.KGRID},
        {"KBEST=", IniValueKind::Integer, &p.KBEST},
        {"KEQUV=", IniValueKind::Integer, &p.KEQUV},
        {"KSMOO=", IniValueKind::Integer, &p.KSMOO},
        {"KPLIN=", IniValueKind::Integer, &f.KPLIN},
        {"KSOUN=", IniValueKind::Integer, &f.KSOUN},
        {"KCALC=", IniValueKind::PenList, IniTarget{}},
        {"NSuite=", IniValueKind::Integer, &y.NSuite},
        {"ISuiteType=", IniValueKind::Integer, &u.ISuiteType},
        {"LRhoaDisplay=", IniValueKind::Logical, IniTarget{}},
        {"LNormVolt=", IniValueKind::Logical, IniTarget{}},
        {"LDataPct=", IniValueKind::Logical, &u.LDataPct},
        {"LDifference=", IniValueKind::Logical, &u.LDifference},
        {"LAirWave=", IniValueKind::Logical, IniTarget{}},
        {"TxLength=", IniValueKind::Real, &y.TxLength},
        {"TxAmps=", IniValueKind::Real, &y.TxAmps},
        {"RxLength=", IniValueKind::Real, &y.RxLength},
        {"VNoise=", IniValueKind::Real, &u.VNoise},
        {"VParam=", IniValueKind::ValueList, IniTarget{}},
        {"ILayer=", IniValueKind::Integer, &y.ILayer},
        {"IAbscissa=", IniValueKind::Integer, &y.IAbscissa},
        {"NAbscissa=", IniValueKind::Integer, &y.NAbscissa},
        {"AbStart=", IniValueKind::Real, &y.AbStart},
        {"AbEnd=", IniValueKind::Real, &y.AbEnd},
        {"LDataDisplay=", IniValueKind::Logical, &p.LDataDisplay},
        {"LogAbscissa=", IniValueKind::Logical, &y.LogAbscissa},
        {"LogData=", IniValueKind::Logical, &y.LogData},
        {"SpacingCS=", IniValueKind::Real, IniTarget{}},
        {"TimeCS=", IniValueKind::Real, IniTarget{}},
        {"IFont=", IniValueKind::Integer, &p.IFont},
        {"IStyle=", IniValueKind::Integer, &p.IStyle},
        {"FWidth=", IniValueKind::Real, &p.FWidth},
        {"FHeight=", IniValueKind::Real, &p.FHeight},
        };
    }();
    return table;
}

std::string settingsFilePath(std::string_view extension)
{
    std::string word(255, ' ');  // the toolkit fills the text to the length it is given
    IOsCommandWord(0, word);
    std::string path = trimmed(word);
    // Only the program's own extension is replaced: ".EXE" inside a folder name belongs to it.
    std::string tail = path.size() >= 4 ? path.substr(path.size() - 4) : std::string();
    LCTOUC(tail, static_cast<INTEGER>(tail.size()));
    if (tail == ".EXE") path.resize(path.size() - 4);
    return path + std::string(extension);
}

void INIIN(LastFileText& lastFile)
{
    SettingsFileState& f = settingsFileState();
    const std::string iniPath = settingsFilePath(".INI");
    f.IniPath.assign(iniPath);
    lastFile.assign("");
    std::string text, reason;
    SettingsOpen opened = readWhole(iniPath, text, reason);
    f.SaveOnExit = toLogical(opened == SettingsOpen::Open);
    std::string usedPath = iniPath;
    if (opened == SettingsOpen::Missing) {
        usedPath = settingsFilePath(".INW");
        opened = readWhole(usedPath, text, reason);
        if (opened == SettingsOpen::Open) f.IniPath.assign(usedPath);
    }
    if (opened == SettingsOpen::TooLarge) {
        WINMSG(std::string(SettingsMessages::kTooLarge) + "\n" + usedPath);
        return;
    }
    if (opened == SettingsOpen::Unreadable) {
        WINMSG(std::string(SettingsMessages::kUnreadable) + " (" + reason + "):\n" + usedPath);
        return;
    }
    if (opened != SettingsOpen::Open) return;
    std::istringstream in(text);
    readSettings(in, lastFile);
}

void readSettings(std::istream& in, LastFileText& lastFile)
{
    SettingsFileState& f = settingsFileState();
    MainWindowState& w = mainWindowState();
    lastFile.assign("");
    SettingsLines lines(in);
    std::string line;
    if (!lines.next(line)) return;
    const auto advance = [&] { return lines.next(line); };
    struct SequenceKey {
        std::string_view Key;
        INTEGER* Target;
    };
    const SequenceKey windowsSequence[] = {
        {"Dialog X=", &w.DialogX}, {"Dialog Y=", &w.DialogY}, {"Window X=", &w.X}, {"Window Y=", &w.Y},
        {"Window W=", &w.Width}, {"Window H=", &w.Height}, {"Window State=", &w.State},
        {"Soft Dialog X=", &f.SoftDialogX}, {"Soft Dialog Y=", &f.SoftDialogY},
    };
    for (;;) {
        if (contains(line, "[Directories]")) {
            if (!advance()) return;
            if (!contains(line, "LastDir=")) continue;
            const std::string folder = trimmed(std::string_view(line).substr(8));
            IOsDirChange(std::string_view(folder).substr(0, kMaxLastFolder));
            if (!advance()) return;
            continue;
        }
        if (contains(line, "[Windows]")) {
            bool ended = false;
            for (const SequenceKey& entry : windowsSequence) {
                if (!advance()) return;
                if (!contains(line, entry.Key)) {
                    ended = true;
                    break;
                }
                std::string value = line;
                SHFSTR(value, kLineLength, -static_cast<INTEGER>(entry.Key.size()));
                INTEGER pos = 1;
                INTEGER number = 0;
                if (takeInteger(nextWord(value, pos), number)) *entry.Target = number;
            }
            if (ended) continue;
            if (!advance()) return;
            continue;
        }
        // Every key ends in '=': a line without one holds none (the common blank separator lines).
        const bool mayHoldKey = std::string_view(line).substr(0, kLineLength).find('=') != std::string_view::npos;
        for (const IniKeyEntry& entry : IniKeyTable()) {
            if (!mayHoldKey) break;
            if (!contains(line, entry.Key)) continue;
            takeValue(entry, line, lastFile);
            break;
        }
        if (!advance()) return;
    }
}

std::vector<std::string> settingsFileLines(std::string_view lastFile, std::string_view currentFolder)
{
    const SettingsFileState& f = settingsFileState();
    const MainWindowState& w = mainWindowState();
    const GraphOptionsState& g = graphOptionsState();
    const PlotSettingsState& p = plotSettingsState();
    const SuiteState& u = suiteState();
    const SystemRecord& y = systemRecord();
    const AxisTitleTable& a = axisTitleTable();

    std::vector<std::string> lines;
    std::set<std::string, std::less<>> written;
    const auto put = [&](std::string_view key, const std::string& value) {
        lines.push_back(std::string(key) + value);
        written.emplace(key);
    };
    const auto section = [&](std::string_view name) {
        if (!lines.empty()) lines.emplace_back(" ");
        lines.emplace_back(name);
    };
    const auto integer = [&](std::string_view key, INTEGER value) { put(key, integerField(value, false)); };
    const auto logical = [&](std::string_view key, LOGICAL value) { put(key, logicalField(value)); };
    const auto fixed = [&](std::string_view key, REAL value) { put(key, realField(value, 10, 4, false)); };
    const auto title = [&](std::string_view key, int row) { put(key, std::string(a.row(row).view())); };

    section("[Directories]");
    const std::string folder = trimmed(currentFolder);
    // The whole name or none: a cut one would not exist.
    if (!folder.empty() && folder.size() <= kMaxLastFolder) lines.push_back("LastDir=" + folder);

    section("[Windows]");
    integer("Dialog X=", w.DialogX);
    integer("Dialog Y=", w.DialogY);
    integer("Window X=", w.X);
    integer("Window Y=", w.Y);
    integer("Window W=", w.Width);
    integer("Window H=", w.Height);
    integer("Window State=", w.State);
    const INTEGER others[3][5] = {{-1, -1, f.WellLogW, f.WellLogH, 1}, {-1, -1, 0, 0, 1}, {3, 3, f.SoundingW, f.SoundingH, 1}};
    const char* otherNames[3] = {"WellLog", "System", "Sounding"};
    const char* otherKeys[5] = {" X=", " Y=", " W=", " H=", " State="};
    for (int k = 0; k < 3; ++k)
        for (int j = 0; j < 5; ++j) integer(std::string(otherNames[k]) + otherKeys[j], others[k][j]);
    integer("Soft Dialog X=", f.SoftDialogX);
    integer("Soft Dialog Y=", f.SoftDialogY);

    section("[Data Input]");
    integer("First Row=", f.FirstRow);
    integer("Last Row=", f.LastRow);
    integer("Distance Column=", f.DistanceColumn);
    integer("Model Resist Column=", f.ModelResistColumn);
    integer("Well Depth Column=", f.WellDepthColumn);
    integer("Well Resist Column=", f.WellResistColumn);
    logical("LX1000=", f.LX1000);
    integer("Time Column=", f.TimeColumn);
    integer("Voltage Column=", f.VoltageColumn);
    integer("Debug=", f.Debug);
    integer("System Time Column=", f.SystemTimeColumn);
    integer("System Response Column=", f.SystemResponseColumn);
    put("System DT=", realField(f.SystemDT, 10, 6, false));

    section("[Files]");
    put("Last File=", std::string(LastFileText(lastFile).view()));

    section("[Flags]");
    logical("LZOOM=", g.ZoomMode);
    logical("LINEARMOD=", g.LinearDepth);
    logical("LGRIDJD=", g.CurveMajorGrid);
    logical("LGRIDND=", g.CurveMinorGrid);
    logical("LGRIDJM=", g.ModelMajorGrid);
    logical("LGRIDNM=", g.ModelMinorGrid);

    section("[Graphs]");
    const std::pair<const char*, int> titles[] = {
        {"CLRES=", 37}, {"CLSPACE=", 28}, {"CLRESM=", 30}, {"CLDEPT=", 31}, {"CLTIME=", 36}, {"CLPER=", 35}, {"CLFREQ=", 34},
        {"CLVOLT=", 33}, {"CTIMES=", 4}, {"CRVOLT=", 32}, {"CLPHAS=", 29}, {"CLINQD=", 27}, {"CLHITE=", 26}, {"CLPFE=", 25},
        {"CLPFEM=", 24}, {"CLNSPC=", 21}, {"CLNORT=", 8}, {"CLEAST=", 7}, {"CLPDIS=", 6}, {"CLELEV=", 5},
    };
    for (const auto& [key, row] : titles) title(key, row);
    fixed("HICNAME=", p.HICNAME);
    fixed("HIDATV=", p.HIDATV);
    fixed("HIDATH=", p.HIDATH);
    fixed("HIMODV=", p.HIMODV);
    fixed("HIMODH=", p.HIMODH);
    fixed("OFFDATV=", p.OFFDATV);
    fixed("OFFDATH=", p.OFFDATH);
    fixed("OFFMODV=", p.OFFMODV);
    fixed("OFFMODH=", p.OFFMODH);
    fixed("HIMAPV=", 0.18f);
    fixed("HIMAPH=", 0.18f);
    fixed("OFFMAPV=", 0.0f);
    fixed("OFFMAPH=", 0.0f);
    integer("Line Width=", p.LineWidth);
    integer("KGRID=", p.KGRID);
    integer("KBEST=", p.KBEST);
    integer("KEQUV=", p.KEQUV);
    integer("KSMOO=", p.KSMOO);
    integer("KPLIN=", f.KPLIN);
    integer("KSOUN=", f.KSOUN);
    std::string pens;
    for (INTEGER pen : p.KCALC) pens += integerField(pen, true);
    put("KCALC=", pens);

    section("[Suite]");
    integer("NSuite=", y.NSuite);
    integer("ISuiteType=", u.ISuiteType);
    logical("LDifference=", u.LDifference);
    fixed("TxLength=", y.TxLength);
    fixed("TxAmps=", y.TxAmps);
    fixed("RxLength=", y.RxLength);
    fixed("VNoise=", u.VNoise);
    std::string values;
    const INTEGER n = std::clamp<INTEGER>(y.NSuite, 0, 10);
    for (INTEGER k = 0; k < n; ++k) values += realField(u.VParam[static_cast<std::size_t>(k)], 10, 4, true);
    put("VParam=", values);
    integer("ILayer=", y.ILayer);
    integer("IAbscissa=", y.IAbscissa);
    integer("NAbscissa=", y.NAbscissa);
    put("AbStart=", exponentField(y.AbStart));
    put("AbEnd=", exponentField(y.AbEnd));
    logical("LogAbscissa=", y.LogAbscissa);
    logical("LogData=", y.LogData);

    section("[Font]");
    integer("IFont=", p.IFont);
    integer("IStyle=", p.IStyle);
    put("FWidth=", exponentField(p.FWidth));
    put("FHeight=", exponentField(p.FHeight));

    // Keys read from the file that the layout above has no line for, back as they were read.
    for (const IniKeyEntry& entry : IniKeyTable()) {
        if (written.contains(entry.Key)) continue;
        const auto read = f.ReadValues.find(entry.Key);
        if (read != f.ReadValues.end()) lines.push_back(std::string(entry.Key) + read->second);
    }
    return lines;
}

namespace {

// The work file on the disk. While another program holds its work file this one waits, a few
// seconds at most: a save takes milliseconds. A settings file that is a link is replaced where the
// link points, through a work file beside that file.
class FileSink final : public SettingsSink {
public:
    bool open(const std::string& path) override
    {
        const std::string iniPath = settingsFilePath(".INI");
        if (WorkFile::finalPath(iniPath) != iniPath) return work_.createFor(iniPath);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        for (;;) {
            const WorkFile::Created created = work_.create(path);
            if (created != WorkFile::Created::Busy) return created == WorkFile::Created::Yes;
            if (std::chrono::steady_clock::now() >= deadline) {
                busy_ = true;
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    bool write(std::string_view bytes) override { return work_.write(bytes); }
    bool commit(const std::string& settingsFile) override { return work_.commit(settingsFile); }
    std::string reason() const override { return busy_ ? std::string(SettingsMessages::kBusy) : work_.reason(); }

private:
    WorkFile work_;
    bool busy_ = false;
};

}  // namespace

bool writeSettingsFile(const LastFileText& lastFile, SettingsSink& sink)
{
    if (!isTrue(settingsFileState().SaveOnExit)) return true;
    const std::string workPath = settingsFilePath(".INW");
    const std::string iniPath = settingsFilePath(".INI");
    const auto fail = [&](const std::string& reason) {
        std::string text(SettingsMessages::kNotSaved);
        if (!reason.empty()) text += " (" + reason + ")";
        WINMSG(text + "; " + std::string(SettingsMessages::kLeftUnchanged) + "\n" + iniPath);
        return false;
    };
    // The user made it read-only to keep it: it is not replaced.
    if (fileReadOnly(WorkFile::finalPath(iniPath))) return fail(std::string(SettingsMessages::kReadOnly));

    std::string folder;
    IOsDirName(folder);
    const std::vector<std::string> lines = settingsFileLines(lastFile.view(), folder);
    bool complete = sink.open(workPath);
    for (std::size_t i = 0; complete && i < lines.size(); ++i) complete = sink.write(lines[i]) && sink.write(kLineEnd);
    if (complete && sink.commit(iniPath)) return true;
    return fail(sink.reason());
}

bool LASTDIR(const LastFileText& lastFile)
{
    FileSink sink;
    return writeSettingsFile(lastFile, sink);
}
