// Help files and documents: WinHelp files, compiled HTML help through "dovetax.dll", web pages in
// the default browser and PDF documents in their program, chosen by the file's kind.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WinApi.h"

struct HelpState {
    LibraryHandle library;  // "dovetax.dll" while HTML help is in use
    FARPROC htmlHelp = nullptr;
};

HelpState& helpState();

// How help reaches the system's viewers. The defaults call WinHelpA and FindExecutableA; programs are
// started through the program launcher (programLaunchHooks). Tests install recorders.
struct HelpHooks {
    BOOL (*winHelp)(HWND window, const char* file, UINT command, ULONG_PTR data) = nullptr;
    // The program associated with the document (full path), or the FindExecutableA result code (<= 32).
    INTEGER (*findExecutable)(const std::string& document, std::string& program) = nullptr;
};
HelpHooks& helpHooks();

void WHelpTopicNumber(std::string_view file, std::optional<INTEGER> topic = std::nullopt,
                      std::optional<INTEGER> popup = std::nullopt);
void WHelpFile(std::string_view file, INTEGER topic, std::string_view topicText, INTEGER popup, INTEGER mode);

// Toolkit-internal

// 0 close, 1 WinHelp, 2 HTML help, 3 browser, 4 document, -1 unknown (from a lower-case name).
INTEGER YYHelpKind(std::string_view lowerName);
void YYWinHelpCall(INTEGER command, INTEGER popup, INTEGER topic, INTEGER& error, std::string_view file,
                   std::string_view keyword);
void YYHtmlHelpCall(INTEGER command, INTEGER popup, INTEGER topic, INTEGER& error, std::string_view file,
                    std::string_view keyword);
// kind 1 local file, 2 local file with anchor, 3 address, 4 address with anchor.
void YYBrowserOpen(INTEGER kind, INTEGER topic, INTEGER& error, std::string_view document, std::string_view anchor,
                   std::string_view address);
// The command line YYBrowserOpen starts, for a program and its arguments.
std::string YYBrowserCommandLine(const std::string& program, INTEGER kind, INTEGER topic, std::string_view document,
                                 std::string_view anchor, std::string_view address);
void YYDocumentOpen(INTEGER& error, std::string_view document);
// Creates a fresh page in the folder (ending in '\\') under a name no other page has, for the
// browser's association; its name, or "" when it could not be made. The caller deletes it.
std::string YYHelpTemporaryPage(const std::string& folder);
void YYHelpClose();
