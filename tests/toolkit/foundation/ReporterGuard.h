// Gives a test a clean reporter (mode 0, no detail, recording hooks) and puts the previous state
// back afterwards, so tests can switch report modes freely.
#pragma once

#include <string>
#include <vector>

#include "toolkit/foundation/ErrorReport.h"

class ReporterGuard {
public:
    ReporterGuard() : savedState_(libraryErrorState()), savedHooks_(errorReportHooks())
    {
        libraryErrorState() = LibraryErrorState{};
        ErrorReportHooks& hooks = errorReportHooks();
        hooks.consoleLine = [](std::string_view record) { records().emplace_back(record); };
        hooks.statusBarText = [](std::string_view text) { records().emplace_back(text); };
        hooks.errorBox = [](std::string_view title, std::string_view text) {
            records().push_back(std::string(title) + "|" + std::string(text));
        };
        hooks.processExit = [](INTEGER code) { exitCodes().push_back(code); };
        hooks.libraryErrorBox = nullptr;
        records().clear();
        exitCodes().clear();
    }
    ~ReporterGuard()
    {
        libraryErrorState() = savedState_;
        errorReportHooks() = savedHooks_;
    }
    ReporterGuard(const ReporterGuard&) = delete;
    ReporterGuard& operator=(const ReporterGuard&) = delete;

    // What the hooks received, in order (console records, status-bar texts, "title|text" boxes).
    static std::vector<std::string>& records()
    {
        static std::vector<std::string> texts;
        return texts;
    }
    static std::vector<INTEGER>& exitCodes()
    {
        static std::vector<INTEGER> codes;
        return codes;
    }

private:
    LibraryErrorState savedState_;
    ErrorReportHooks savedHooks_;
};
