#include "toolkit/foundation/HelpFiles.h"

#include <shellapi.h>

#include <cstdio>

#include "toolkit/foundation/CharacterRoutines.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/NumberText.h"
#include "toolkit/foundation/OsEnvironment.h"
#include "toolkit/foundation/OsFiles.h"
#include "toolkit/foundation/WindowSlots.h"

namespace {

using HtmlHelpEntry = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

// The pop-up request of the HTML-help calling pattern.
struct HtmlHelpPopup {
    int size;
    HINSTANCE instance;
    UINT stringId;
    LPCSTR text;
    POINT position;
    COLORREF foreground, background;
    RECT margins;
    LPCSTR font;
};

constexpr UINT kHtmlDisplayTopic = 0, kHtmlTableOfContents = 1, kHtmlKeywordLookup = 13, kHtmlTextPopup = 14,
               kHtmlHelpContext = 15, kHtmlCloseAll = 18;

// The keyword request of the HTML-help calling pattern.
struct HtmlHelpKeyword {
    int size;
    BOOL reserved;
    LPCSTR keywords;
    LPCSTR url;
    LPCSTR message;
    LPCSTR title;
    LPCSTR window;
    BOOL indexOnFail;
};

std::string trimmed(std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    return std::string(text);
}

bool endsWith(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool startsWith(std::string_view text, std::string_view head) { return text.substr(0, head.size()) == head; }

bool fileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The full path of a help file: in the current folder, else beside the program; empty when neither.
std::string locate(const std::string& name)
{
    // The file services fill a blank-padded field of the length they are given.
    std::string full(1024, ' ');
    IOsFullPathname(name, full);
    full = trimmed(full);
    if (!full.empty() && fileExists(full)) return full;
    std::string program(1024, ' ');
    IOsCommandWord(0, program);
    program = trimmed(program);
    const std::size_t slash = program.find_last_of('\\');
    const std::string beside = (slash == std::string::npos ? std::string() : program.substr(0, slash + 1)) + name;
    return fileExists(beside) ? beside : std::string();
}

BOOL winHelp(HWND window, const char* file, UINT command, ULONG_PTR data)
{
    if (HelpHooks& hooks = helpHooks(); hooks.winHelp) return hooks.winHelp(window, file, command, data);
    return WinHelpA(window, file, command, data);
}

INTEGER findExecutable(const std::string& document, std::string& program)
{
    if (HelpHooks& hooks = helpHooks(); hooks.findExecutable) return hooks.findExecutable(document, program);
    char found[MAX_PATH + 1] = {};
    const auto code = reinterpret_cast<INT_PTR>(FindExecutableA(document.c_str(), nullptr, found));
    program = found;
    return static_cast<INTEGER>(code);
}

// The program for a document, or an error: 1 when there is none to be found, 1030 otherwise.
INTEGER programFor(const std::string& document, std::string& program)
{
    const INTEGER code = findExecutable(document, program);
    if (code > 32) return 0;
    return code == SE_ERR_FNF || code == SE_ERR_PNF || code == SE_ERR_NOASSOC ? 1 : 1030;
}

INTEGER run(const std::string& commandLine)
{
    INTEGER result = 0;
    YYRunProgram(commandLine, 0, 0, 0, result);
    return result < 33 ? 1030 : 0;
}

bool browserTakesAnchors(const std::string& program)
{
    std::string name = program.substr(program.find_last_of("\\/") == std::string::npos ? 0 : program.find_last_of("\\/") + 1);
    YYLowerCase(name);
    if (startsWith(name, "net") || startsWith(name, "mozilla")) return true;
    if (!startsWith(name, "iexplore")) return false;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Internet Explorer", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegistryKeyHandle owned(key);
    return RegQueryValueExA(key, "Version", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string temporaryFolder()
{
    std::string name(1024, ' ');
    WInfoFilename(10, name);
    name = trimmed(name);
    if (!name.empty() && name.back() != '\\') {
        // The item may name a file in the folder: keep the folder.
        const DWORD attributes = GetFileAttributesA(name.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            const std::size_t slash = name.find_last_of('\\');
            name = slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
        } else {
            name += '\\';
        }
    }
    return name;
}

}  // namespace

// Two programs opening web help at once must not share the page: each makes one under a name of
// its own, created exclusively.
std::string YYHelpTemporaryPage(const std::string& folder)
{
    static constexpr char kText[] = "Temporary Devivozivuz file. Please delete.\n";
    const DWORD start = GetTickCount();
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        const std::string name = folder + "qvhelp" + std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(start + attempt) + ".htm";
        FileHandle page(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr));
        if (!page) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return {};
        }
        DWORD written = 0;
        if (!WriteFile(page.get(), kText, sizeof kText - 1, &written, nullptr) || written != sizeof kText - 1) {
            page.reset();
            DeleteFileA(name.c_str());
            return {};
        }
        return name;
    }
    return {};
}

HelpState& helpState()
{
    static HelpState state;
    return state;
}

HelpHooks& helpHooks()
{
    static HelpHooks hooks;
    return hooks;
}

INTEGER YYHelpKind(std::string_view name)
{
    if (trimmed(name).empty()) return 0;
    if (endsWith(name, ".hlp")) return 1;
    if (endsWith(name, ".chm") || endsWith(name, ".col") ||
        (startsWith(name, "ms-its:") && name.find(".chm::/") != std::string_view::npos))
        return 2;
    if (startsWith(name, "http://") || endsWith(name, ".htm") || endsWith(name, ".html")) return 3;
    if (endsWith(name, ".pdf")) return 4;
    return -1;
}

void WHelpTopicNumber(std::string_view file, std::optional<INTEGER> topic, std::optional<INTEGER> popup)
{
    const INTEGER number = topic.value_or(-1);
    std::string text(11, ' ');
    IntegerToString(number, text, "(I11)");
    WHelpFile(file, number, trimmed(text), popup.value_or(0), 1);
}

void WHelpFile(std::string_view file, INTEGER topic, std::string_view topicText, INTEGER popup, INTEGER mode)
{
    const std::string name = trimmed(file);
    if (name.empty()) {
        YYHelpClose();
        return;
    }
    std::string lower = name.substr(0, 513);
    YYLowerCase(lower);
    const INTEGER kind = YYHelpKind(lower);
    INTEGER error = 0;
    if (kind < 0) {
        YYErrorReport(1031, "WHelpFile");
        return;
    }
    const bool address = startsWith(lower, "http://");
    std::string full;
    if (!address) {
        std::string local = name;
        std::string topicPath;
        if (startsWith(lower, "ms-its:")) {
            const std::size_t end = lower.find(".chm::/");
            local = name.substr(7, end + 4 - 7);
            topicPath = name.substr(end + 7);
        } else if (startsWith(lower, "file://")) {
            local = name.substr(7);
        }
        full = locate(local);
        if (full.empty()) {
            YYErrorReport(1, "WHelpFile");
            return;
        }
        if (!topicPath.empty()) full += "::/" + topicPath;
    }
    const std::string keyword = trimmed(topicText);
    switch (kind) {
    case 1: {
        INTEGER command = 3;
        if (topic != -1) command = 2;
        else if (mode == 1) command = fileExists(full.substr(0, full.size() - 3) + "cnt") ? 1 : 4;
        YYWinHelpCall(command, popup, topic, error, full, keyword);
        break;
    }
    case 2:
        YYHtmlHelpCall(topic != -1 ? 2 : mode == 1 ? 1 : 3, popup, topic, error, full, keyword);
        break;
    case 3:
        if (address) {
            // The program associated with web pages is found through a page of our own.
            const std::string temporary = YYHelpTemporaryPage(temporaryFolder());
            if (temporary.empty()) {
                error = 1030;
                break;
            }
            YYBrowserOpen(mode + 2, topic, error, temporary, keyword, name);
            DeleteFileA(temporary.c_str());
        } else {
            for (char& c : full)
                if (c == '\\') c = '/';
            YYBrowserOpen(mode, topic, error, full, keyword, name);
        }
        break;
    case 4:
        YYDocumentOpen(error, full);
        break;
    default:
        break;
    }
    if (error != 0) YYErrorReport(error, "WHelpFile");
}

void YYWinHelpCall(INTEGER command, INTEGER popup, INTEGER topic, INTEGER& error, std::string_view file,
                   std::string_view keyword)
{
    const std::string path(file), key(keyword);
    HWND frame = windowSlotTable().Slots[0].Frame.get();
    UINT code = HELP_CONTENTS;
    ULONG_PTR data = 0;
    switch (command) {
    case 1: code = HELP_FINDER; break;
    case 2: code = popup == 1 ? HELP_CONTEXTPOPUP : HELP_CONTEXT; data = static_cast<ULONG_PTR>(topic); break;
    case 3: code = HELP_KEY; data = reinterpret_cast<ULONG_PTR>(key.c_str()); break;
    default: code = HELP_CONTENTS; break;
    }
    error = winHelp(frame, path.c_str(), code, data) ? 0 : 1030;
}

void YYHtmlHelpCall(INTEGER command, INTEGER popup, INTEGER topic, INTEGER& error, std::string_view file,
                    std::string_view keyword)
{
    HelpState& h = helpState();
    if (!h.library) h.library.reset(LoadLibraryA("dovetax.dll"));
    if (h.library && !h.htmlHelp) h.htmlHelp = GetProcAddress(h.library.get(), "yyHtmlHelp");
    if (!h.library || !h.htmlHelp) {
        error = 1081;
        return;
    }
    const auto entry = reinterpret_cast<HtmlHelpEntry>(reinterpret_cast<void*>(h.htmlHelp));
    const std::string path(file), key(keyword);
    HWND answer = nullptr;
    if (command == 1) {
        entry(nullptr, path.c_str(), kHtmlDisplayTopic, 0);
        answer = entry(nullptr, path.c_str(), kHtmlTableOfContents, 0);
    } else if (command == 2 && popup == 1) {
        // The pop-up list is a topic of the file; the joined name must fit its fixed buffer.
        if (path.size() > 259) {
            error = 1030;
            return;
        }
        const std::string popupFile = path + "::/popup.txt";
        POINT pointer{};
        GetCursorPos(&pointer);
        HtmlHelpPopup request{sizeof(HtmlHelpPopup), nullptr, static_cast<UINT>(topic), nullptr,
                              {pointer.x, pointer.y + 16}, static_cast<COLORREF>(-1), static_cast<COLORREF>(-1),
                              {-1, -1, -1, -1}, nullptr};
        answer = entry(nullptr, popupFile.c_str(), kHtmlTextPopup, reinterpret_cast<DWORD_PTR>(&request));
    } else if (command == 2) {
        entry(nullptr, path.c_str(), kHtmlTableOfContents, 0);
        answer = entry(nullptr, path.c_str(), kHtmlHelpContext, static_cast<DWORD_PTR>(topic));
    } else {
        HtmlHelpKeyword request{sizeof(HtmlHelpKeyword), FALSE, key.c_str(), nullptr, nullptr, nullptr, nullptr, TRUE};
        answer = entry(nullptr, path.c_str(), kHtmlKeywordLookup, reinterpret_cast<DWORD_PTR>(&request));
    }
    error = answer ? 0 : 1030;
}

std::string YYBrowserCommandLine(const std::string& program, INTEGER kind, INTEGER topic, std::string_view document,
                                 std::string_view anchor, std::string_view address)
{
    std::string line = program + " ";
    const bool local = kind == 1 || kind == 2;
    if (local) line += "\"file://" + std::string(document);
    else line += std::string(address);
    if (kind == 2 || kind == 4 || topic > 0) line += "#" + std::string(anchor);
    if (local) line += "\"";
    return line;
}

void YYBrowserOpen(INTEGER kind, INTEGER topic, INTEGER& error, std::string_view document, std::string_view anchor,
                   std::string_view address)
{
    std::string program;
    error = programFor(std::string(document), program);
    if (error != 0) return;
    if ((kind == 2 || kind == 4) && !browserTakesAnchors(program)) --kind;
    error = run(YYBrowserCommandLine(program, kind, topic, document, anchor, address));
}

void YYDocumentOpen(INTEGER& error, std::string_view document)
{
    std::string program;
    const std::string path(document);
    error = programFor(path, program);
    if (error == 0) error = run(program + " " + path);
}

void YYHelpClose()
{
    HelpState& h = helpState();
    winHelp(windowSlotTable().Slots[0].Frame.get(), nullptr, HELP_QUIT, 0);
    if (h.htmlHelp)
        reinterpret_cast<HtmlHelpEntry>(reinterpret_cast<void*>(h.htmlHelp))(nullptr, nullptr, kHtmlCloseAll, 0);
    h.htmlHelp = nullptr;
    h.library.reset();
}
