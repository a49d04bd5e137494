#include "toolkit/foundation/OsEnvironment.h"

#include <algorithm>
#include <array>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WinApi.h"
// Beyond the lean headers: FindExecutableA and the simple mail interface.
#include <mapi.h>
#include <shellapi.h>

namespace {

constexpr std::size_t kCommandLineLength = 2048;
constexpr std::size_t kPathLength = 260;

// The command line as read on the first query, blank-padded to its full length.
struct CommandLineState {
    bool read = false;
    std::string text;
};

CommandLineState& commandLineState()
{
    static CommandLineState state;
    return state;
}

// The recipient and attachment tables of the mail workers, with the texts they point to.
struct MailTables {
    std::vector<INTEGER> recipientClasses;
    std::vector<std::string> recipientNames, recipientAddresses;
    std::vector<std::string> attachmentPaths;
};

MailTables& mailTables()
{
    static MailTables tables;
    return tables;
}

std::string_view trimRight(std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
    return text;
}

void setText(std::string& text, std::string_view value)
{
    const std::size_t length = text.size();
    text.assign(value.substr(0, std::min(value.size(), length)));
    text.resize(length, ' ');
}

std::string upperCopy(std::string_view text)
{
    std::string copy(text);
    for (char& c : copy)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return copy;
}

HKEY rootKey(std::int64_t root) { return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(static_cast<std::uint32_t>(root))); }

bool isInputMessage(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

}  // namespace

ProgramLaunchHooks& programLaunchHooks()
{
    static ProgramLaunchHooks hooks;
    return hooks;
}

MailEntryPoints& mailEntryPoints()
{
    static MailEntryPoints entries;
    return entries;
}

// ---- environment and command line

INTEGER YYEnvironmentGet(std::string_view name, std::string& value)
{
    std::vector<char> buffer(value.size() + 1, '\0');
    const std::string key(trimRight(name));
    const DWORD length = GetEnvironmentVariableA(key.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length > 0 && length < buffer.size()) setText(value, buffer.data());
    return static_cast<INTEGER>(length);
}

INTEGER YYEnvironmentSet(std::string_view name, std::string_view value)
{
    const std::string key(trimRight(name)), text(trimRight(value));
    return SetEnvironmentVariableA(key.c_str(), text.c_str()) ? 0 : static_cast<INTEGER>(GetLastError());
}

void IOsVariable(std::string_view name, std::string& value)
{
    const std::size_t length = value.size();
    value.assign(length, ' ');
    std::string found(length, ' ');
    const INTEGER needed = YYEnvironmentGet(name, found);
    if (static_cast<std::size_t>(needed) > length) {
        YYErrorReport(1023, "IOsVariable");
        return;
    }
    if (needed > 0) value = found;
}

void YYCommandLineText(std::string& text)
{
    const char* line = GetCommandLineA();
    std::string_view view = line ? std::string_view(line) : std::string_view();
    text.assign(view.substr(0, std::min(view.size(), kCommandLineLength)));
    text.resize(kCommandLineLength, ' ');
}

void YYProgramFileName(std::string& path)
{
    std::array<char, kPathLength + 1> buffer{};
    GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(kPathLength));
    path = buffer.data();
}

INTEGER YYCommandLineParse(std::string_view commandLine, INTEGER n, std::string& word)
{
    std::string line(commandLine.substr(0, std::min(commandLine.size(), kCommandLineLength)));
    line = line.substr(0, line.find('\0'));
    line.resize(kCommandLineLength, ' ');
    INTEGER k = -1;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t start = line.find_first_not_of(' ', pos);
        if (start == std::string::npos) break;
        std::size_t first = start, end = 0;
        if (line[start] != '"') {
            end = line.find(' ', start);
            if (end == std::string::npos) end = line.size();
            pos = end + 1;
        } else {
            // A quote followed only by blanks, or an empty pair of quotes, is no argument.
            if (line.find_first_not_of(' ', start + 1) == std::string::npos) break;
            first = start + 1;
            end = line.find('"', first);
            if (end == std::string::npos) end = line.size();
            if (end == first) {
                pos = end + 1;
                continue;
            }
            pos = end + 2;  // past the closing quote and the character after it
        }
        ++k;
        if (k == n) {
            setText(word, std::string_view(line).substr(first, end - first));
            return k;
        }
    }
    return k;
}

INTEGER YYCommandLine(INTEGER n, std::string& word)
{
    CommandLineState& state = commandLineState();
    if (!state.read) {
        YYCommandLineText(state.text);
        state.read = true;
    }
    const INTEGER k = YYCommandLineParse(state.text, n, word);
    if (n == 0 && k == 0) {
        std::string path;
        YYProgramFileName(path);
        setText(word, path);
    }
    return k;
}

void IOsCommandWord(INTEGER n, std::string& word)
{
    setText(word, "");
    if (n >= 0) YYCommandLine(n, word);
}

// ---- system facts

void YYOsVersion(INTEGER& major, INTEGER& minor)
{
    const DWORD version = GetVersion();
    major = static_cast<INTEGER>(version & 0xFF);
    minor = static_cast<INTEGER>((version >> 8) & 0xFF);
}

INTEGER YYOsPlatform()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExA(&info);
    if (info.dwPlatformId == VER_PLATFORM_WIN32s) return 2;
    if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) return 4;
    return 3;
}

INTEGER YYVolumeSerial(std::string_view root)
{
    const std::string name(trimRight(root));
    DWORD serial = 0;
    // An empty floppy or card drive would otherwise put up the system's "insert a disk" box.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    const BOOL ok = GetVolumeInformationA(name.c_str(), nullptr, 0, &serial, nullptr, nullptr, nullptr, 0);
    SetErrorMode(previous);
    return ok ? static_cast<INTEGER>(serial) : 0;
}

DiskFreeFacts YYDiskFreeFacts()
{
    DiskFreeFacts facts;
    using DiskFreeEx = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    const auto extended = reinterpret_cast<DiskFreeEx>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetDiskFreeSpaceExA")));
    ULARGE_INTEGER available{}, total{}, free{};
    if (extended && extended(nullptr, &available, &total, &free)) {
        facts.extendedCall = true;
        facts.freeBytesExtended = available.QuadPart;
    }
    DWORD spc = 0, bps = 0, clusters = 0, totalClusters = 0;
    if (GetDiskFreeSpaceA(nullptr, &spc, &bps, &clusters, &totalClusters)) {
        facts.sectorsPerCluster = spc;
        facts.bytesPerSector = bps;
        facts.freeClusters = clusters;
    }
    return facts;
}

INTEGER YYDiskFreeMibValue(const DiskFreeFacts& facts)
{
    if (facts.extendedCall) return static_cast<INTEGER>(static_cast<std::uint32_t>(facts.freeBytesExtended >> 20));
    const std::uint32_t product = facts.sectorsPerCluster * facts.bytesPerSector * facts.freeClusters;
    return static_cast<INTEGER>(product / 1048576u);
}

INTEGER YYDiskFreeValue(const DiskFreeFacts& facts, bool ntFamily)
{
    // A byte count of 2 GiB or more does not fit the INTEGER result; the largest value the
    // older 32-bit call could report stands in for it.
    if (ntFamily && facts.extendedCall && YYDiskFreeMibValue(facts) >= 2048) return 2147155968;
    return static_cast<INTEGER>(facts.sectorsPerCluster * facts.bytesPerSector * facts.freeClusters);
}

INTEGER YYDiskFree() { return YYDiskFreeValue(YYDiskFreeFacts(), YYOsPlatform() == 4); }

INTEGER YYDiskFreeForQuery() { return YYDiskFreeMibValue(YYDiskFreeFacts()); }

INTEGER YYTickCount31() { return static_cast<INTEGER>(GetTickCount() & 0x7FFFFFFFu); }

void YYLocalDateTime(INTEGER& year, INTEGER& month, INTEGER& day)
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    year = now.wYear;
    month = now.wMonth;
    day = now.wDay;
}

void YYLocalTime(INTEGER& hour, INTEGER& minute, INTEGER& second, INTEGER& milliseconds)
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    hour = now.wHour;
    minute = now.wMinute;
    second = now.wSecond;
    milliseconds = now.wMilliseconds;
}

void IOsLocalDate(INTEGER& year, INTEGER& month, INTEGER& day) { YYLocalDateTime(year, month, day); }

void YYLocalTimeForward(INTEGER& month, INTEGER& day)
{
    INTEGER year = 0;
    IOsLocalDate(year, month, day);
}

INTEGER YYOsInfoValue(INTEGER code)
{
    switch (code) {
    case 1: return 6;
    case 2: {
        std::string word;
        return YYCommandLine(-1, word);
    }
    case 3: {
        INTEGER major = 0, minor = 0;
        YYOsVersion(major, minor);
        return 100 * major + minor;
    }
    case 6: return 92;
    case 7: case 19: return 0;
    case 9: {
        std::string folder(kPathLength, ' ');
        std::vector<char> buffer(kPathLength + 1, '\0');
        const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0 || length > kPathLength) return 0;
        setText(folder, buffer.data());
        return folder.compare(1, 3, ":\\ ") == 0 ? 1 : 0;
    }
    case 15: return YYTickCount31();
    case 16: return YYOsPlatform();
    case 18: return 1;
    case 20: {
        std::array<char, 8> decimal{};
        if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal.data(), static_cast<int>(decimal.size())) == 0)
            return '.';
        return static_cast<unsigned char>(decimal[0]);
    }
    case 21: return YYDiskFreeForQuery();
    default: break;
    }
    if (code >= 65 && code <= 90) {
        const std::string root = std::string(1, static_cast<char>(code)) + ":\\";
        const UINT type = GetDriveTypeA(root.c_str());
        return type >= 2 ? static_cast<INTEGER>(type) - 1 : 0;
    }
    if (code >= 165 && code <= 190) return YYVolumeSerial(std::string(1, static_cast<char>(code - 100)) + ":\\");
    return 0;
}

INTEGER IOsInfoQuery(INTEGER code)
{
    if (code == 10 || code == 11) return YYVolumeSerial(code == 10 ? "A:\\" : "B:\\") != 0 ? 1 : 0;
    if (code == 17) return YYDiskFree();
    return YYOsInfoValue(code);
}

// ---- user name

INTEGER YYUserNameGet(std::string& name, bool& tooLong)
{
    std::array<char, 257> buffer{};
    DWORD size = static_cast<DWORD>(buffer.size());
    tooLong = false;
    if (!GetUserNameA(buffer.data(), &size)) return static_cast<INTEGER>(GetLastError());
    const std::string_view found(buffer.data());
    tooLong = found.size() > name.size();
    setText(name, found);
    return 0;
}

void IOsUserName(std::string& name)
{
    bool tooLong = false;
    const INTEGER code = YYUserNameGet(name, tooLong);
    if (code == 0 && !tooLong) return;
    setText(name, "");
    if (code != 0) {
        libraryErrorState().SystemDetailCode = code;
        YYErrorReport(13, "IOsUserName");
    } else {
        YYErrorReport(1023, "IOsUserName");
    }
}

// ---- registry

std::int64_t YYRegistryRootKey(std::string_view name)
{
    static constexpr std::string_view roots[] = {
        "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
        "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA",
    };
    std::string key = upperCopy(name.substr(0, std::min<std::size_t>(22, name.size())));
    key.resize(22, ' ');
    for (std::size_t i = 0; i < std::size(roots); ++i) {
        std::string root(roots[i]);
        root.resize(22, ' ');
        if (key == root) return 0x80000000LL + static_cast<std::int64_t>(i);
    }
    return -1;
}

bool YYRegistryRead(std::int64_t root, std::string_view subKey, std::string_view valueName, std::vector<char>& buffer,
                    INTEGER& type, INTEGER& size)
{
    HKEY opened = nullptr;
    const std::string sub(subKey), value(valueName);
    if (RegOpenKeyExA(rootKey(root), sub.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    const RegistryKeyHandle key(opened);
    DWORD valueType = 0, valueSize = static_cast<DWORD>(buffer.size());
    const LONG status = RegQueryValueExA(key.get(), value.c_str(), nullptr, &valueType,
                                         buffer.empty() ? nullptr : reinterpret_cast<BYTE*>(buffer.data()), &valueSize);
    if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        type = static_cast<INTEGER>(valueType);
        size = static_cast<INTEGER>(valueSize);
    } else {
        type = -2;
        size = 0;
    }
    return true;
}

INTEGER YYRegistryWrite(std::int64_t root, std::string_view subKey, std::string_view valueName, INTEGER type,
                        const std::vector<char>& data)
{
    HKEY created = nullptr;
    const std::string sub(subKey), value(valueName);
    LONG status = RegCreateKeyExA(rootKey(root), sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                                  &created, nullptr);
    if (status != ERROR_SUCCESS) return static_cast<INTEGER>(status);
    const RegistryKeyHandle key(created);
    status = RegSetValueExA(key.get(), value.c_str(), 0, static_cast<DWORD>(type),
                            reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
    return static_cast<INTEGER>(status);
}

INTEGER YYRegistryKeyDelete(std::int64_t root, std::string_view subKey)
{
    const std::string sub(subKey);
    return static_cast<INTEGER>(RegDeleteKeyA(rootKey(root), sub.c_str()));
}

INTEGER YYRegistryValueDelete(std::int64_t root, std::string_view subKey, std::string_view valueName)
{
    HKEY opened = nullptr;
    const std::string sub(subKey), value(valueName);
    if (RegOpenKeyExA(rootKey(root), sub.c_str(), 0, KEY_WRITE, &opened) != ERROR_SUCCESS) return 2;
    const RegistryKeyHandle key(opened);
    return static_cast<INTEGER>(RegDeleteValueA(key.get(), value.c_str()));
}

namespace {

// Splits "ROOT\sub\key"; root -1 when the root name is not one of the predefined keys.
std::int64_t splitKeyPath(std::string_view keyPath, std::string& subKey)
{
    const std::size_t p = keyPath.find('\\');
    if (p == std::string_view::npos) return -1;
    subKey = std::string(trimRight(keyPath.substr(p + 1)));
    return YYRegistryRootKey(keyPath.substr(0, p));
}

}  // namespace

void IOsRegistryGet(std::string_view keyPath, std::string* data, std::optional<std::string_view> valueName,
                    INTEGER* type, INTEGER* size)
{
    std::string subKey;
    const std::int64_t root = splitKeyPath(keyPath, subKey);
    const auto finish = [&](INTEGER t, INTEGER s) {
        if (type) *type = t;
        if (size) *size = s;
    };
    if (root < 0) {
        if (data) setText(*data, "");
        finish(-1, 0);
        YYErrorReport(1050, "IOsRegistryGet");
        return;
    }
    const std::string name(valueName ? trimRight(*valueName) : std::string_view());
    std::vector<char> buffer(data ? data->size() + 1 : 0, '\0');
    INTEGER t = -1, s = 0;
    if (!YYRegistryRead(root, subKey, name, buffer, t, s)) {
        if (data) setText(*data, "");
        finish(-1, 0);
        return;
    }
    const bool isText = t == REG_SZ || t == REG_EXPAND_SZ;
    // Larger than DATA: the system left the buffer undefined, so DATA stays blank.
    const bool tooLarge = data && static_cast<std::size_t>(s) > data->size() + 1;
    if (isText && s > 0) --s;
    if (data) {
        if (tooLarge || t < 0) {
            setText(*data, "");
        } else {
            if (isText) std::fill(std::find(buffer.begin(), buffer.end(), '\0'), buffer.end(), ' ');
            data->assign(buffer.data(), data->size());
        }
    }
    finish(t, s);
    if (tooLarge) YYErrorReport(1023, "IOsRegistryGet");
}

void IOsRegistryPut(std::string_view keyPath, std::string_view data, std::optional<std::string_view> valueName,
                    INTEGER type)
{
    std::string subKey;
    const std::int64_t root = splitKeyPath(keyPath, subKey);
    if (root < 0) {
        YYErrorReport(1050, "IOsRegistryPut");
        return;
    }
    const std::string name(valueName ? trimRight(*valueName) : std::string_view());
    std::vector<char> bytes;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        const std::string_view text = trimRight(data);
        bytes.assign(text.begin(), text.end());
        bytes.push_back('\0');
    } else {
        bytes.assign(data.begin(), data.end());
    }
    if (const INTEGER code = YYRegistryWrite(root, subKey, name, type, bytes)) {
        libraryErrorState().SystemDetailCode = code;
        YYErrorReport(13, "IOsRegistryPut");
    }
}

// ---- programs

INTEGER YYCommandStart(std::string_view command)
{
    const std::string line(command.substr(0, command.find('\0')));
    return static_cast<INTEGER>(WinExec(line.c_str(), SW_SHOWNORMAL));
}

INTEGER YYProgramForDocument(std::string_view document, std::string& program)
{
    std::array<char, MAX_PATH + 1> found{};
    const std::string name(trimRight(document));
    const auto result = reinterpret_cast<std::intptr_t>(FindExecutableA(name.c_str(), nullptr, found.data()));
    if (result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND) return 1;
    if (result <= 32) return -1;
    const std::string_view path(found.data());
    if (path.size() > program.size()) return 1023;
    setText(program, path);
    return 0;
}

void YYRunProgram(std::string_view command, INTEGER hide, INTEGER wait, INTEGER seconds, INTEGER& result)
{
    if (programLaunchHooks().run) {
        programLaunchHooks().run(command, hide, wait, seconds, result);
        return;
    }
    std::string line(command.substr(0, command.find('\0')));
    const WORD show = hide == 0 ? SW_SHOWNORMAL : SW_HIDE;
    if (wait == 0) {
        result = static_cast<INTEGER>(WinExec(line.c_str(), show));
        return;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, &startup, &info)) {
        result = static_cast<INTEGER>(GetLastError());
        return;
    }
    const KernelHandle process(info.hProcess), thread(info.hThread);
    if (seconds >= 0) {
        const DWORD limit = static_cast<DWORD>(std::min<std::int64_t>(static_cast<std::int64_t>(seconds) * 1000, 0xFFFFFFFELL));
        const DWORD waited = WaitForSingleObject(process.get(), limit);
        result = waited == WAIT_OBJECT_0 ? 32 : waited == WAIT_TIMEOUT ? -1 : static_cast<INTEGER>(GetLastError());
        return;
    }
    // While the program runs the windows keep repainting and posted messages keep arriving;
    // only the user's clicks and keys of that time are dropped. A quit request is kept for later.
    bool quit = false;
    WPARAM quitCode = 0;
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                quitCode = message.wParam;
            } else if (!isInputMessage(message.message)) {
                DispatchMessageA(&message);
            }
        }
        const DWORD waited = WaitForSingleObject(process.get(), 100);
        if (waited == WAIT_OBJECT_0) {
            result = 32;
            break;
        }
        if (waited == WAIT_FAILED) {
            result = static_cast<INTEGER>(GetLastError());
            break;
        }
    }
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

// ---- mail

void YYMailRecipients(INTEGER n)
{
    MailTables& tables = mailTables();
    const std::size_t count = static_cast<std::size_t>(std::max<INTEGER>(n, 1));
    tables.recipientClasses.assign(count, 0);
    tables.recipientClasses[0] = MAPI_TO;
    tables.recipientNames.assign(count, {});
    tables.recipientAddresses.assign(count, {});
}

void YYMailRecipientAddress(INTEGER entry, std::string_view address)
{
    MailTables& tables = mailTables();
    if (entry >= 1 && static_cast<std::size_t>(entry) <= tables.recipientAddresses.size())
        tables.recipientAddresses[static_cast<std::size_t>(entry - 1)] = std::string(trimRight(address));
}

void YYMailRecipientName(INTEGER entry, std::string_view name)
{
    MailTables& tables = mailTables();
    if (entry >= 1 && static_cast<std::size_t>(entry) <= tables.recipientNames.size())
        tables.recipientNames[static_cast<std::size_t>(entry - 1)] = std::string(trimRight(name));
}

void YYMailRecipientClass(INTEGER entry, INTEGER recipientClass)
{
    MailTables& tables = mailTables();
    if (entry >= 1 && static_cast<std::size_t>(entry) <= tables.recipientClasses.size())
        tables.recipientClasses[static_cast<std::size_t>(entry - 1)] =
            recipientClass == 2 ? MAPI_CC : recipientClass == 3 ? MAPI_BCC : MAPI_TO;
}

void YYMailAttachments(INTEGER n) { mailTables().attachmentPaths.assign(static_cast<std::size_t>(std::max<INTEGER>(n, 1)), {}); }

void YYMailAttachmentPath(INTEGER entry, std::string_view path)
{
    MailTables& tables = mailTables();
    if (entry >= 1 && static_cast<std::size_t>(entry) <= tables.attachmentPaths.size())
        tables.attachmentPaths[static_cast<std::size_t>(entry - 1)] = std::string(trimRight(path));
}

void YYMailSend(INTEGER flags, INTEGER& status, INTEGER& code, std::string_view subject, std::string_view text)
{
    const MailEntryPoints& entries = mailEntryPoints();
    if (!entries.sendMail) {
        status = -1;
        code = 0;
        return;
    }
    const auto send = reinterpret_cast<LPMAPISENDMAIL>(entries.sendMail);
    const auto resolve = reinterpret_cast<LPMAPIRESOLVENAME>(entries.resolveName);
    const auto freeBuffer = reinterpret_cast<LPMAPIFREEBUFFER>(entries.freeBuffer);
    // The mail system may change the current folder while it runs; the toolkit's stays as it was.
    std::array<char, MAX_PATH + 1> folder{};
    GetCurrentDirectoryA(static_cast<DWORD>(folder.size()), folder.data());

    MailTables& tables = mailTables();
    std::vector<MapiRecipDesc> recipients;
    std::vector<lpMapiRecipDesc> resolved;
    for (std::size_t i = 0; i < tables.recipientClasses.size(); ++i) {
        if (tables.recipientNames[i].empty() && tables.recipientAddresses[i].empty()) continue;
        MapiRecipDesc r{};
        r.ulRecipClass = static_cast<ULONG>(tables.recipientClasses[i]);
        r.lpszName = tables.recipientNames[i].empty() ? nullptr : tables.recipientNames[i].data();
        r.lpszAddress = tables.recipientAddresses[i].empty() ? nullptr : tables.recipientAddresses[i].data();
        if ((flags & 4) && resolve) {
            lpMapiRecipDesc found = nullptr;
            char* key = r.lpszName ? r.lpszName : r.lpszAddress;
            if (resolve(0, 0, key, MAPI_DIALOG, 0, &found) == SUCCESS_SUCCESS && found) {
                resolved.push_back(found);
                const ULONG recipientClass = r.ulRecipClass;
                r = *found;
                r.ulRecipClass = recipientClass;
            }
        }
        recipients.push_back(r);
    }
    std::vector<MapiFileDesc> files;
    for (std::string& path : tables.attachmentPaths) {
        if (path.empty()) continue;
        MapiFileDesc f{};
        f.nPosition = static_cast<ULONG>(-1);
        f.lpszPathName = path.data();
        files.push_back(f);
    }
    std::string subjectText(trimRight(subject)), noteText(trimRight(text));
    MapiMessage message{};
    message.lpszSubject = subjectText.data();
    message.lpszNoteText = noteText.data();
    message.nRecipCount = static_cast<ULONG>(recipients.size());
    message.lpRecips = recipients.empty() ? nullptr : recipients.data();
    message.nFileCount = static_cast<ULONG>(files.size());
    message.lpFiles = files.empty() ? nullptr : files.data();
    const FLAGS sendFlags = MAPI_LOGON_UI | (((flags & 1) || recipients.empty()) ? MAPI_DIALOG : 0);
    const ULONG sent = send(0, 0, &message, sendFlags, 0);
    if (freeBuffer)
        for (lpMapiRecipDesc r : resolved) freeBuffer(r);
    status = sent == SUCCESS_SUCCESS ? 0 : -2;
    code = sent == SUCCESS_SUCCESS ? 0 : static_cast<INTEGER>(sent);
    SetCurrentDirectoryA(folder.data());
}
