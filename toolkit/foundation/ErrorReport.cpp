#include "toolkit/foundation/ErrorReport.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "toolkit/foundation/ErrorTexts.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/NumberText.h"

namespace {

constexpr std::size_t kMessageLength = 200;
constexpr std::size_t kSystemTextLength = 300;
constexpr std::string_view kVersion = "7.10j";

// The reporter's own working state: the last composed message, the debug file and the hooks.
struct ErrorReportWorkState {
    FixedText<kMessageLength> message;
    StdioFile debugFile;
    bool debugOpenTried = false;
    ErrorReportHooks hooks;
};

ErrorReportWorkState& workState()
{
    static ErrorReportWorkState state;
    return state;
}

std::string_view trimRight(std::string_view text)
{
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

bool isInternalName(std::string_view name)
{
    if (name.size() < 2) return false;
    const std::string_view head = name.substr(0, 2);
    return head == "YY" || head == "yy" || head == "XX" || head == "xx";
}

std::string errorText(INTEGER code, INTEGER kind)
{
    std::string text(kSystemTextLength, ' ');
    YYErrorText(code, text, kind);
    return text;
}

// The parts of one composed message: the whole line and where its routine part ends.
struct ComposedMessage {
    std::string line;
    std::size_t routinePartLength = 0;
};

ComposedMessage composeMessage(INTEGER errorNumber, std::string_view routineName)
{
    const LibraryErrorState& state = libraryErrorState();
    ComposedMessage composed;
    std::string& s = composed.line;
    s = isInternalName(routineName) ? "Internal routine:" : "Routine:";
    s += routineName;
    s = std::string(trimRight(std::string_view(s).substr(0, std::min(s.size(), kMessageLength))));
    composed.routinePartLength = s.size();

    std::string number(4, ' ');
    IntegerToString(errorNumber, number, "(I4)");
    s += " Error=" + number + ":";
    s += errorText(errorNumber, kErrorTextToolkit);
    if (s.size() > kMessageLength) s.resize(kMessageLength);

    std::string detail;
    bool withDetail = true;
    if (errorNumber == 1044) {
        detail = errorText(state.SystemDetailCode, kErrorTextZlib);
    } else if (errorNumber == 13) {
        detail = errorText(state.SystemDetailCode, kErrorTextSystem);
    } else if ((errorNumber == 1 || errorNumber == 2) && state.FileDetailKind == 2) {
        detail = errorText(state.FileDetailCode, kErrorTextSystem);
    } else {
        withDetail = false;
    }
    if (withDetail) {
        const std::size_t used = trimRight(s).size();
        // Below 198 there is room for the ":" and its blank; a fuller message keeps its end.
        if (used < kMessageLength - 2) {
            s.resize(used);
            s += ": ";
            s += detail;
        }
    }
    if (s.size() > kMessageLength) s.resize(kMessageLength);
    return composed;
}

// The three lines of the "Library Error" box: the routine part, "Error=" with the number, and
// everything after the colon.
std::string boxText(const ComposedMessage& composed)
{
    const std::string& s = composed.line;
    const std::size_t r = composed.routinePartLength;
    const auto part = [&](std::size_t from, std::size_t count) {
        return from < s.size() ? s.substr(from, count) : std::string();
    };
    return s.substr(0, r) + '\r' + part(r + 1, 10) + '\r' + std::string(trimRight(part(r + 12, std::string::npos)));
}

void writeConsole(std::string_view message)
{
    const std::string record = " " + std::string(message);
    if (workState().hooks.consoleLine) {
        workState().hooks.consoleLine(record);
        return;
    }
    std::fwrite(record.data(), 1, record.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void YYDebugLogOpen()
{
    ErrorReportWorkState& state = workState();
    if (state.debugOpenTried) return;
    state.debugOpenTried = true;
    for (const char* name : {"debug", "debug.txt", "debug.dat"}) {
        state.debugFile.reset(std::fopen(name, "wb"));
        if (state.debugFile) return;
    }
}

void YYDebugLogWrite(const char* text)
{
    YYDebugLogOpen();
    std::FILE* file = workState().debugFile.get();
    if (!file) return;  // none of the three names could be created: the line is lost
    std::fputs(text, file);
    std::fputs("\r\n", file);
    std::fflush(file);
}

void YYDebugLogSend(const char* text) { YYDebugLogWrite(text); }

}  // namespace

LibraryErrorState& libraryErrorState()
{
    static LibraryErrorState state;
    return state;
}

ErrorReportHooks& errorReportHooks() { return workState().hooks; }

const FixedText<200>& YYLastErrorMessage() { return workState().message; }

void YYErrorReport(INTEGER errorNumber, std::string_view routineName)
{
    LibraryErrorState& state = libraryErrorState();
    state.LastErrorNumber = errorNumber;
    if (state.ReportMode <= kReportSilent) return;

    // While the report runs the mode is 0, so a failing status bar or box records its own error
    // silently instead of reporting about the report.
    const INTEGER mode = state.ReportMode;
    const INTEGER lastError = state.LastErrorNumber;
    state.ReportMode = kReportSilent;

    const ComposedMessage composed = composeMessage(errorNumber, routineName);
    workState().message.assign(composed.line);
    const std::string_view message = trimRight(composed.line);
    const ErrorReportHooks& hooks = workState().hooks;

    switch (mode) {
    case kReportConsole:
        writeConsole(message);
        break;
    case kReportDebugFile:
        YYDebugLogLine(message);
        break;
    case kReportStatusBar:
        if (hooks.statusBarText) hooks.statusBarText(message);
        break;
    case kReportMessageBox:
        if (hooks.libraryErrorBox) {
            if (hooks.libraryErrorBox(boxText(composed), "Library Error") == 0) YYAbnormalExit(" ", 0);
        } else if (hooks.errorBox) {
            hooks.errorBox("Library Error", boxText(composed));
        }
        break;
    default:
        break;
    }

    state.ReportMode = mode;
    state.LastErrorNumber = lastError;
}

void YYUserFileFailure(std::string_view fileName, INTEGER errorNumber)
{
    LibraryErrorState& state = libraryErrorState();
    const auto tell = workState().hooks.userFileFailure;
    if (!tell || state.ReportMode == kReportMessageBox) return;
    const ComposedMessage composed = composeMessage(errorNumber, "");
    // What follows " Error=NNNN:": the error's text and its detail.
    const std::size_t after = composed.routinePartLength + 12;
    const std::string reason(trimRight(after < composed.line.size() ? std::string_view(composed.line).substr(after) : ""));
    // Whatever the message routine fails at is recorded quietly and forgotten, as in a report.
    const INTEGER mode = state.ReportMode, lastError = state.LastErrorNumber;
    state.ReportMode = kReportSilent;
    tell(fileName, reason);
    state.ReportMode = mode;
    state.LastErrorNumber = lastError;
}

void WErrorReportMode(INTEGER mode)
{
    if (mode >= kReportSilent && mode <= kReportMessageBox) libraryErrorState().ReportMode = mode;
}

void YYErrorStore(INTEGER errorNumber) { libraryErrorState().LastErrorNumber = errorNumber; }

void YYErrorText(INTEGER code, std::string& text, INTEGER kind)
{
    std::string_view found;
    std::string systemText;
    switch (kind) {
    case kErrorTextToolkit:
        if (code >= 1001 && code <= 1105) {
            found = ErrorTexts::kSecondRange[code - 1001];
        } else {
            for (const auto& entry : ErrorTexts::kFirstRange)
                if (entry.number == code) found = entry.text;
        }
        break;
    case kErrorTextSystem:
        if (code != 0) {
            std::array<char, kSystemTextLength> buffer{};
            YYSystemErrorText(code, buffer.data(), static_cast<INTEGER>(buffer.size()));
            const auto end = std::find(buffer.begin(), buffer.end(), '\0');
            systemText.assign(buffer.begin(), end);
            found = systemText;
        }
        break;
    case kErrorTextZlib:
        for (const auto& entry : ErrorTexts::kZlibStatus)
            if (entry.number == code) found = entry.text;
        break;
    default:
        return;
    }
    const std::size_t length = text.size();
    text.assign(found.substr(0, std::min(found.size(), length)));
    text.resize(length, ' ');
}

void YYDebugLogLine(std::string_view text)
{
    // The system wants a NUL-terminated copy; an embedded NUL ends the line there.
    const std::string copy(text);
    YYDebugLogSend(copy.c_str());
}

void YYDebugLogFormat(std::string_view name, INTEGER value)
{
    std::array<char, 100> buffer{};
    const std::string nameCopy(name);
    std::snprintf(buffer.data(), buffer.size(), "%s=%d", nameCopy.c_str(), static_cast<int>(value));
    YYDebugLogWrite(buffer.data());
}

void YYDebugLogReset()
{
    ErrorReportWorkState& state = workState();
    state.debugFile.reset();
    state.debugOpenTried = false;
}

void YYAbnormalExit(std::string_view message, INTEGER code)
{
    const ErrorReportHooks& hooks = workState().hooks;
    if (!trimRight(message).empty()) {
        std::string text = "Abnormal exit (code     ) :";
        std::string number(4, ' ');
        IntegerToString(code, number, "(I4)");
        text.replace(20, 4, number);
        // Left-justify the seven characters from "(code " on, so the number follows it directly.
        std::string tail = text.substr(20, 7);
        YYLeftJustify(tail, "L");
        text.replace(20, 7, tail);
        text = std::string(trimRight(text)) + " " + std::string(message);
        if (hooks.errorBox) hooks.errorBox("Devivozivuz", text);
    }
    if (hooks.processExit) hooks.processExit(code);
}

void YYLibraryVersion(std::string& text)
{
    const std::size_t length = text.size();
    text.assign(kVersion.substr(0, std::min(kVersion.size(), length)));
    text.resize(length, ' ');
}

QuietErrors::QuietErrors()
    : savedMode_(libraryErrorState().ReportMode), savedLastError_(libraryErrorState().LastErrorNumber)
{
    libraryErrorState().ReportMode = kReportSilent;
    libraryErrorState().LastErrorNumber = 0;
}

QuietErrors::~QuietErrors()
{
    libraryErrorState().ReportMode = savedMode_;
    libraryErrorState().LastErrorNumber = savedLastError_;
}

INTEGER QuietErrors::lastError() const { return libraryErrorState().LastErrorNumber; }
