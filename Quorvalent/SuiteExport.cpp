#include "Quorvalent/SuiteExport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "Quorvalent/CalcLotem.h"
#include "Quorvalent/Refresh1d.h"
#include "Quorvalent/SuiteSoundings.h"
#include "Quorvalent/SuiteState.h"
#include "WBRVLib/Brvl95.h"
#include "toolkit/foundation/WorkFiles.h"

namespace {

// The MODALL file between its first and its last curve: its work file, which replaces the named
// file only after the last curve was written whole.
struct ModallOutputState {
    WorkFile File;
    bool Failed = false;
};
ModallOutputState& modallOutputState()
{
    static ModallOutputState state;
    return state;
}

std::string trimmed(std::string_view text)
{
    const std::size_t end = text.find_last_not_of(' ');
    return std::string(end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1));
}

std::string padded(std::string_view text, std::size_t length)
{
    std::string s(text.substr(0, std::min(text.size(), length)));
    s.resize(length, ' ');
    return s;
}

// The end of a record: the CR LF of a Windows text file, the line feed elsewhere.
#if defined(_WIN32)
constexpr std::string_view kRecordEnd = "\r\n";
#else
constexpr std::string_view kRecordEnd = "\n";
#endif

// Writes records through a buffer and remembers the first failure; what is buffered goes to the
// file when the buffer is full, when failed() is asked and at the end.
class RecordWriter {
public:
    explicit RecordWriter(WorkFile& file) : file_(file) {}
    ~RecordWriter() { flush(); }
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;
    void record(std::string_view text)
    {
        if (failed_) return;
        buffer_ += text;
        buffer_ += kRecordEnd;
        if (buffer_.size() >= 65536) flush();
    }
    // A free-form record of reals: at most five per record, each a blank and 1PE13.6.
    void reals(const REAL* values, INTEGER n)
    {
        std::string line;
        INTEGER onLine = 0;
        for (INTEGER i = 0; i < n; ++i) {
            if (onLine == 5) {
                record(line);
                line.clear();
                onLine = 0;
            }
            line += " " + exponentField(values[i], 13, 6);
            ++onLine;
        }
        record(line.empty() ? std::string(" ") : line);
    }
    bool failed()
    {
        flush();
        return failed_;
    }
    // Why the file failed, in words ("the disk is full" ...).
    std::string reason() const { return file_.reason(); }

private:
    void flush()
    {
        if (!failed_ && !buffer_.empty() && !file_.write(buffer_)) failed_ = true;
        buffer_.clear();
    }
    WorkFile& file_;
    std::string buffer_;
    bool failed_ = false;
};

const char* componentName(INTEGER component)
{
    switch (component) {
    case kFieldEx: return "EX";
    case kFieldEy: return "EY";
    default: return "HZ";
    }
}

std::string verticalScaleText(INTEGER component, INTEGER kind)
{
    if (kind == kDisplayReceivedVoltage) return "measured voltage (nV)";
    if (component == kFieldHz) return "early time app. resistivity (Ohm-m) ";
    return "electric field (nV/m)";
}

std::string timeScaleText()
{
    return engineBlock().TimeAxisMode == 2 ? " normalized time, \"Russian time\"" : " real time (sec)";
}

bool haveSuite()
{
    if (exportableSuiteCurves() > 0) return true;
    WINMSG(ExportMessages::kNoSuite);
    return false;
}

INTEGER samplesOf(const SoundingRecord& suite)
{
    const SuiteState& state = suiteState();
    return std::max(0, std::min({state.SuitePointCount, suite.Data.PointCount, suite.Data.SampleTimes.extent1(),
                                 state.SuiteCurves.extent1()}));
}

void writeModallHeader(RecordWriter& out, std::string_view fileName, const SoundingRecord& suite,
                       std::string_view comment, INTEGER curves)
{
    const SuiteState& state = suiteState();
    const SystemRecord& system = systemRecord();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    const std::string name = componentName(state.FieldComponent);
    out.record(" Output file: " + padded(fileName, 256) + "Generated on: " +
               modallDate(local.tm_mday, local.tm_mon + 1, local.tm_year + 1900) + "  " +
               modallTime(local.tm_hour, local.tm_min, local.tm_sec));
    out.record(" Comments: " + padded(comment, 60));
    out.record(" Curve type is TD" + name);
    out.record(" Vertical scale: " + verticalScaleText(state.FieldComponent, system.DisplayKind));
    out.record(" Time scale:" + timeScaleText());
    out.record(integerField(curves, 2) + " Variations on " + name.substr(0, 1) + integerField(0, 2) + ":");
    for (INTEGER first = 0; first < curves; first += 5) {
        std::string line;
        for (INTEGER i = first; i < std::min(curves, first + 5); ++i)
            line += exponentField(state.VParam[static_cast<std::size_t>(i)], 11, 2);
        out.record(line);
    }
    if (state.ISuiteType == kVaryOffset)
        out.record("  Offset is variation parameter");
    else
        out.record(" Default offset: " + exponentField(system.Offset, 11, 2));
    out.record("");
    out.record(" System parameters: rec. area or length (sqm or m) = " + exponentField(system.RxArea, 11, 2));
    out.record(std::string(31, ' ') + " Source current (A) = " + exponentField(system.TxAmps, 11, 2));
    out.record(std::string(32, ' ') + " source length (m) = " + exponentField(system.TxLength, 11, 2));
    const INTEGER n = samplesOf(suite);
    out.record(integerField(n, 2) + " DATA POINTS");
    out.record(" *****");
}

void writeModelAndTimes(RecordWriter& out, const SoundingRecord& suite)
{
    const LayerModelRecord& m = suite.Model;
    const INTEGER layers = m.NLayer;
    out.record(" " + std::to_string(layers) + "  Layer Model:  (first the resistivities, then the thicknesses)");
    if (m.Parameters.allocated() && layers >= 1) {
        const INTEGER available = static_cast<INTEGER>(m.Parameters.size());
        out.reals(&m.Parameters(1), std::min(layers, available));
        if (layers > 1 && available >= 2 * layers - 1) out.reals(&m.Parameters(layers + 1), layers - 1);
    }
    out.record(" *****");
    out.record(" TIME SCALE: " + timeScaleText());
    const INTEGER n = samplesOf(suite);
    if (n > 0) out.reals(&suite.Data.SampleTimes(1, 1), n);
}

void writeCurveBlocks(RecordWriter& out, const SoundingRecord& suite)
{
    const SuiteState& state = suiteState();
    const INTEGER kind = systemRecord().DisplayKind;
    const INTEGER n = std::min(samplesOf(suite), suite.ResponseValues.extent1());
    const auto column = [&](INTEGER j) {
        if (n > 0 && j <= suite.ResponseValues.extent2()) out.reals(&suite.ResponseValues(1, j), n);
        else out.record(" ");
    };
    if (kind == kDisplayAllTimeRho) {
        // The engine keeps a kind-5 curve's all-time values in its one column.
        out.record(" *****");
        out.record(" All time app.resistivity:");
        column(1);
        return;
    }
    out.record(" *****");
    out.record(" VERTICAL SCALE: " + verticalScaleText(state.FieldComponent, kind));
    column(1);
    if (kind == kDisplayEarlyLateRho || kind == kDisplayEarlyLateAllTimeRho) {
        out.record(" *****");
        out.record(" VERTICAL SCALE: late time app.resistivity:");
        column(2);
    }
    if (kind == kDisplayEarlyLateAllTimeRho) {
        out.record(" *****");
        out.record(" All time app.resistivity:");
        column(3);
    }
}

void reportWriteFailure(const char* message, std::string_view fileName, const std::string& reason)
{
    std::string text = std::string(message) + "\r\n" + trimmed(fileName);
    if (!reason.empty()) text += "\r\n(" + reason + ")";
    WINMSG(text);
}

}  // namespace

std::string integerField(INTEGER value, int width)
{
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width) digits.insert(0, static_cast<std::size_t>(width) - digits.size(), ' ');
    return digits;
}

std::string exponentField(REAL value, int width, int digits)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%*.*E", width, digits, static_cast<double>(value));
    return buffer;
}

std::string modallDate(int day, int month, int year)
{
    static constexpr const char* kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                              "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d-%s-%02d", day, kMonths[std::clamp(month, 1, 12) - 1], ((year % 100) + 100) % 100);
    return buffer;
}

std::string modallTime(int hour, int minute, int second)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d   ", hour, minute, second);
    return buffer;
}

FlatAsciiState& flatAsciiState()
{
    static FlatAsciiState state;
    return state;
}

INTEGER exportableSuiteCurves()
{
    const SoundingRecord& suite = suiteSoundingRecord().Record;
    if (suite.Data.PointCount <= 1 || suiteState().SuitePointCount <= 1) return 0;
    return drawableSuiteCurves();
}

void copySuiteCurve(SoundingRecord& suite, INTEGER k)
{
    const SuiteState& state = suiteState();
    const INTEGER points = std::min({state.SuitePointCount, state.SuiteCurves.extent1(), suite.ResponseValues.extent1()});
    const INTEGER columns = std::min({state.KindCount, suite.Data.ColumnCount, suite.ResponseValues.extent2()});
    for (INTEGER j = 1; j <= columns; ++j)
        for (INTEGER i = 1; i <= points; ++i) suite.ResponseValues(i, j) = state.SuiteCurves(i, (k - 1) * state.KindCount + j);
}

void E_MODEL2(WorkFile& unit, INTEGER, const REAL* parameters, INTEGER, INTEGER layerCount, REAL, REAL)
{
    RecordWriter out(unit);
    out.record(" " + std::to_string(layerCount) + "  Layer Model:  (first the resistivities, then the thicknesses)");
    if (layerCount < 1) return;
    out.reals(parameters, layerCount);
    if (layerCount > 1) out.reals(parameters + layerCount, layerCount - 1);
}

void MOD_OUT(std::string_view fileName, SoundingRecord& suite, INTEGER k, std::string_view comment, LOGICAL& error,
             INTEGER curves)
{
    // The engine block takes the geometry the file describes; the system record keeps its offset.
    const SystemRecord& system = systemRecord();
    EngineBlock& engine = engineBlock();
    engine.Angle = system.TxRxAngle / 57.2958f;
    engine.SourceLength = system.TxLength;
    engine.SourceLength2 = system.TxLength;
    engine.SourceCurrent = system.TxAmps;
    engine.ReceiverArea = system.RxArea;

    ModallOutputState& state = modallOutputState();
    error = kFalse;
    const std::string name = trimmed(fileName);
    if (!state.File.isOpen()) {
        if (!state.File.createFor(name)) {
            error = kTrue;
            WINMSG(std::string(ExportMessages::kCannotOpenModall) + name);
            return;
        }
        RecordWriter out(state.File);
        writeModallHeader(out, fileName, suite, comment, curves);
        writeModelAndTimes(out, suite);
        state.Failed = out.failed();
    }
    RecordWriter out(state.File);
    if (!state.Failed) writeCurveBlocks(out, suite);
    bool failed = state.Failed || out.failed();
    if (failed || k >= curves) {
        // The named file is replaced only by the whole export; a failure leaves it as it was.
        if (!failed && !state.File.commit(name)) failed = true;
        const std::string reason = out.reason();
        state.File.discard();
        state.Failed = false;
        if (failed) {
            error = kTrue;
            reportWriteFailure(ExportMessages::kModallWriteFailed, name, reason);
        }
    }
}

bool exportModall(std::string_view fileName, std::string_view comment)
{
    if (!haveSuite()) return false;
    SoundingRecord& suite = suiteSoundingRecord().Record;
    const INTEGER curves = exportableSuiteCurves();
    for (INTEGER k = 1; k <= curves; ++k) {
        copySuiteCurve(suite, k);
        LOGICAL error = kFalse;
        MOD_OUT(fileName, suite, k, comment, error, curves);
        if (isTrue(error)) return false;
    }
    return true;
}

FlatAsciiColumn flatAsciiColumn(INTEGER component, INTEGER kind, const std::string& previousTitle)
{
    if (component == kFieldEx) return {"    Ex (nV/m)", 1};
    if (component == kFieldEy) return {"    Ey (nV/m)", 1};
    switch (kind) {
    case kDisplayReceivedVoltage: return {"Meas. Voltage", 1};
    case kDisplayEarlyRho: return {"  Early Rho-A", 1};
    case kDisplayElectricField: return {previousTitle, 1};
    case kDisplayEarlyLateRho: return {"   Late Rho-A", 2};
    // A kind-5 curve holds its all-time values in its one column.
    case kDisplayAllTimeRho: return {"AllTime Rho-A", 1};
    default: return {"AllTime Rho-A", 3};
    }
}

bool exportFlatAscii(std::string_view fileName, INTEGER kind)
{
    if (!haveSuite()) return false;
    const SuiteState& state = suiteState();
    const SystemRecord& system = systemRecord();
    SoundingRecord& suite = suiteSoundingRecord().Record;
    const std::string name = trimmed(fileName);
    WorkFile file;
    if (!file.createFor(name)) {
        WINMSG(std::string(ExportMessages::kCannotOpenData) + name);
        return false;
    }
    FlatAsciiState& remembered = flatAsciiState();
    // A kind-5 suite is written from its own column whatever kind is asked for.
    const INTEGER effectiveKind = system.DisplayKind == kDisplayAllTimeRho ? kDisplayAllTimeRho : kind;
    FlatAsciiColumn column = flatAsciiColumn(state.FieldComponent, effectiveKind, remembered.Title);
    column.Title = padded(column.Title, 13);
    remembered.Title = column.Title;
    const INTEGER curves = exportableSuiteCurves();
    const INTEGER n = samplesOf(suite);
    const INTEGER col = std::min(column.Column, std::max(state.KindCount, 1));

    RecordWriter out(file);
    static constexpr const char* kQuantities[] = {"Resistivity of layer", "Thickness of layer", "Depth to bottom of layer",
                                                  "Source-Receiver Offset", "Tx-Rx Angle", "Fade-in of Second Model (%)"};
    if (state.ISuiteType >= 1 && state.ISuiteType <= 3)
        out.record(std::string("Parameter to vary is ") + kQuantities[state.ISuiteType - 1] + integerField(system.ILayer, 12));
    else if (state.ISuiteType >= 4 && state.ISuiteType <= 6)
        out.record(std::string("Parameter to vary is ") + kQuantities[state.ISuiteType - 1]);

    // A group of 25 items restarts on a new record while items remain.
    const auto grouped = [&out](std::string line, const std::vector<std::string>& items) {
        std::size_t inGroup = 0;
        for (const std::string& item : items) {
            if (inGroup == 25) {
                out.record(line);
                line.clear();
                inGroup = 0;
            }
            line += item + ", ";
            ++inGroup;
        }
        out.record(line);
    };
    std::vector<std::string> items;
    for (INTEGER k = 1; k <= curves; ++k) items.push_back(exponentField(state.VParam[static_cast<std::size_t>(k - 1)], 13, 5));
    grouped(std::string(9, ' ') + integerField(curves, 4) + ",    Variations: ", items);
    items.assign(static_cast<std::size_t>(curves), column.Title);
    grouped(std::string(7, ' ') + "NUMBER,          TIME, ", items);
    for (INTEGER i = 1; i <= n; ++i) {
        items.clear();
        items.push_back(exponentField(suite.Data.SampleTimes(i, 1), 13, 5));
        for (INTEGER k = 1; k <= curves; ++k) items.push_back(exponentField(state.SuiteCurves(i, (k - 1) * state.KindCount + col), 13, 5));
        grouped(std::string(8, ' ') + integerField(i, 5) + ", ", items);
    }
    const bool failed = out.failed() || !file.commit(name);
    if (failed) {
        reportWriteFailure(ExportMessages::kDataWriteFailed, name, out.reason());
        return false;
    }
    return true;
}

std::vector<std::string> suiteTableLines(const SoundingRecord& sounding)
{
    const SoundingDataRecord& d = sounding.Data;
    const std::string_view type = d.SoundingType.view();
    const bool frequency = type.rfind("Marine FEM", 0) == 0;
    const INTEGER n = std::min(d.SampleTimes.extent1(), sounding.ResponseValues.extent1());
    const INTEGER columns = sounding.ResponseValues.extent2();
    const auto number = [](INTEGER j) {
        char b[8];
        std::snprintf(b, sizeof b, "%02d", j % 100);
        return std::string(b);
    };
    const auto cut = [](std::string line) {
        if (line.size() > 2048) line.resize(2048);
        return line;
    };
    std::vector<std::string> lines;
    std::string title = frequency ? "  FREQUENCY  " : "     TIME    ";
    for (INTEGER j = 1; j <= columns; ++j)
        title += "      IMP" + number(j) + "  " + "   IMP" + number(j) + "-IMP1" + "   DIMP" + number(j) + "/DT ";
    lines.push_back(cut(title));
    for (INTEGER i = 1; i <= n; ++i) {
        std::string line = exponentField(d.SampleTimes(i, 1), 13, 5);
        for (INTEGER j = 1; j <= columns; ++j) {
            const REAL v = sounding.ResponseValues(i, j);
            const INTEGER a = i < n ? i : std::max(i - 1, 1), b = i < n ? i + 1 : i;
            const REAL dt = d.SampleTimes(b, 1) - d.SampleTimes(a, 1);
            const REAL slope = dt != 0.0f ? (sounding.ResponseValues(b, j) - sounding.ResponseValues(a, j)) / dt : 0.0f;
            line += exponentField(v, 13, 5) + exponentField(v - sounding.ResponseValues(i, 1), 13, 5) + exponentField(slope, 13, 5);
        }
        lines.push_back(cut(line));
    }
    return lines;
}

bool writeSuiteTable(std::string_view fileName, const SoundingRecord& sounding)
{
    const std::string name = trimmed(fileName);
    WorkFile file;
    if (!file.createFor(name)) {
        WINMSG("CANNOT OPEN FILE:" + name);
        return false;
    }
    RecordWriter out(file);
    for (const std::string& line : suiteTableLines(sounding)) out.record(line);
    const bool failed = out.failed() || !file.commit(name);
    if (failed) reportWriteFailure(ExportMessages::kDataWriteFailed, name, out.reason());
    return !failed;
}
