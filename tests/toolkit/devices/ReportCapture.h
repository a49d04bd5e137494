// Catches the error reporter's console records for the length of a scope, so a test can read
// under which routine name an error was reported.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/foundation/ErrorReport.h"

class ReportCapture {
public:
    ReportCapture() : savedMode_(libraryErrorState().ReportMode), savedHook_(errorReportHooks().consoleLine)
    {
        last().clear();
        errorReportHooks().consoleLine = [](std::string_view record) { last() = std::string(record); };
        libraryErrorState().ReportMode = kReportConsole;
    }
    ~ReportCapture()
    {
        libraryErrorState().ReportMode = savedMode_;
        errorReportHooks().consoleLine = savedHook_;
    }
    ReportCapture(const ReportCapture&) = delete;
    ReportCapture& operator=(const ReportCapture&) = delete;

    static std::string& last()
    {
        static std::string record;
        return record;
    }

private:
    INTEGER savedMode_;
    void (*savedHook_)(std::string_view);
};
