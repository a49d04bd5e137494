// The library error reporter: every failing public toolkit routine reports through YYErrorReport
// with its error number and its own name, then returns normally.
#pragma once

#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

enum ErrorReportModeCode : INTEGER {
    kReportSilent = 0, kReportConsole = 1, kReportDebugFile = 2, kReportStatusBar = 3, kReportMessageBox = 4,
};

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

// A message box without owner, task-modal, with the stop icon and an OK button (Windows only).
void YYTaskModalErrorBox(std::string_view title, std::string_view text);
// Ends the process with the exit code (Windows only).
void YYProcessExit(INTEGER code);

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
