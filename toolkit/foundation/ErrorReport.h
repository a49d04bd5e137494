// The library error reporter: every failing public toolkit routine reports through YYErrorReport
// with its error number and its own name, then returns normally.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/FixedText.h"

enum ErrorReportModeCode : INTEGER {
    kReportSilent = 0, kReportConsole = 1, kReportDebugFile = 2, kReportStatusBar = 3, kReportMessageBox = 4,
};

// The argument of YYErrorText: which table the code is looked up in.
enum ErrorTextKind : INTEGER { kErrorTextToolkit = 1, kErrorTextSystem = 2, kErrorTextZlib = 3 };

struct LibraryErrorState {
    INTEGER FileDetailKind = 0;    // 0 none, 1 formatted-file status, 2 operating-system code
    INTEGER ReportMode = 0;        // ErrorReportModeCode
    INTEGER SystemDetailCode = 0;  // goes with error 13 (system) and 1044 (zlib)
    INTEGER FileDetailCode = 0;    // goes with errors 1 and 2
    INTEGER LastErrorNumber = 0;
};

LibraryErrorState& libraryErrorState();

// Records the number as the last error and reports it by the current mode.
void YYErrorReport(INTEGER errorNumber, std::string_view routineName);

// Sets the report mode; values outside 0 to 4 leave it unchanged.
void WErrorReportMode(INTEGER mode);

// Stores the number as the last error and nothing else.
void YYErrorStore(INTEGER errorNumber);

// Toolkit-internal

// The text for a toolkit error number (kind 1), an operating-system error code (2) or a zlib
// status (3), blank-padded and cut to the length text has on entry. Any other kind leaves text
// untouched.
void YYErrorText(INTEGER code, std::string& text, INTEGER kind = kErrorTextToolkit);

// The system's message text for an operating-system error code, NUL-terminated in buffer (at most
// size bytes, the NUL included); an empty text when the system has none. Platform service.
void YYSystemErrorText(INTEGER code, char* buffer, INTEGER size);

// The debug file of report mode 2: appends the text and CR LF ("debug", else "debug.txt", else
// "debug.dat" in the current folder, created on the first line of a run).
void YYDebugLogLine(std::string_view text);
// Writes "NAME=VALUE" and CR LF to the debug file.
void YYDebugLogFormat(std::string_view name, INTEGER value);
// Closes the debug file and forgets that its creation was tried, so the next line creates it
// anew (a test that changes folders needs this; the program never calls it).
void YYDebugLogReset();

// Shows the message (unless blank) in a task-modal box titled "Devivozivuz" as
// "Abnormal exit (code N) : MESSAGE", then ends the process with the code. Returns only when a
// test has replaced the process exit.
void YYAbnormalExit(std::string_view message, INTEGER code);

// The library version, blank-padded into text's length.
void YYLibraryVersion(std::string& text);

// The last message composed by the reporter (200 characters, blank-padded).
const FixedText<200>& YYLastErrorMessage();

// A message box without owner, task-modal, with the stop icon and an OK button (platform service).
void YYTaskModalErrorBox(std::string_view title, std::string_view text);
// Ends the process with the exit code (platform service).
[[noreturn]] void YYProcessExit(INTEGER code);

// Where the reporter delivers what it cannot deliver by itself. The window engine installs
// statusBarText when the main window's status bar exists (it makes window 0 current, writes
// part 1 with WStatusBarText and makes the previous window current again); the message boxes
// install libraryErrorBox (WMessageBox with button set 1, icon 3, default button 1, then
// WDialogQuery(4)). Without them, mode 3 drops the message and mode 4 falls back to the task-modal
// stop box. Tests replace errorBox and processExit to watch the abnormal exit.
struct ErrorReportHooks {
    void (*statusBarText)(std::string_view text) = nullptr;
    // Returns the pressed button as WDialogQuery(4) reports it: 0 means Cancel.
    INTEGER (*libraryErrorBox)(std::string_view text, std::string_view title) = nullptr;
    void (*errorBox)(std::string_view title, std::string_view text) = &YYTaskModalErrorBox;
    void (*processExit)(INTEGER code) = &YYProcessExit;
    // Console records of mode 1; null writes them to the standard output.
    void (*consoleLine)(std::string_view record) = nullptr;
    // A user's file that could not be written (the earlier file of its name left as it was), told
    // to the user whatever the report mode: the file's name and what went wrong (the error's text
    // and the system's). A program installs its own message here; without it the report by the
    // mode is all.
    void (*userFileFailure)(std::string_view fileName, std::string_view reason) = nullptr;
};

ErrorReportHooks& errorReportHooks();

// Tells the user, through errorReportHooks().userFileFailure, that the named file could not be
// written: reason is the text of the error (and its detail) as the reporter composes it. Nothing
// is told in report mode 4, whose box has shown the report already. The caller has reported the
// error itself.
void YYUserFileFailure(std::string_view fileName, INTEGER errorNumber);

// Runs a callee quietly: while alive, the report mode and the last error number are 0; both are
// restored at the end of the scope. For routines that expect a callee to fail.
class QuietErrors {
public:
    QuietErrors();
    ~QuietErrors();
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;
    // The last error number recorded since the scope began (0 when none).
    INTEGER lastError() const;

private:
    INTEGER savedMode_;
    INTEGER savedLastError_;
};
