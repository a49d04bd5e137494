#include "toolkit/foundation/ErrorReport.h"

LibraryErrorState& libraryErrorState()
{
    static LibraryErrorState state;
    return state;
}

void YYErrorReport(INTEGER errorNumber, std::string_view /*routineName*/)
{
    // Composing and delivering the message by mode comes with the error texts.
    libraryErrorState().LastErrorNumber = errorNumber;
}

void WErrorReportMode(INTEGER mode)
{
    if (mode >= kReportSilent && mode <= kReportMessageBox) libraryErrorState().ReportMode = mode;
}

void YYErrorStore(INTEGER errorNumber) { libraryErrorState().LastErrorNumber = errorNumber; }

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
