#include "toolkit/foundation/OsFiles.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/NumberText.h"
#include "toolkit/foundation/WinApi.h"
#include "toolkit/foundation/WorkFiles.h"

namespace {

constexpr std::size_t kNameBuffer = 260;
constexpr std::size_t kFullNameBuffer = 1024;

// The single folder listing of the process and the listing mode.
struct DirListState {
    FindHandle handle;
    bool files = true;
    bool folders = false;
};

DirListState& dirListState()
{
    static DirListState state;
    return state;
}

std::string_view trimRight(std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
    return text;
}

std::string_view trimBoth(std::string_view text)
{
    text = trimRight(text);
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    return text;
}

// The NUL-terminated copy the system is given, cut to the work buffer.
std::string systemName(std::string_view name) { return std::string(name.substr(0, std::min(name.size(), kNameBuffer - 1))); }

void setText(std::string& text, std::string_view value)
{
    const std::size_t length = text.size();
    text.assign(value.substr(0, std::min(value.size(), length)));
    text.resize(length, ' ');
}

void reportSystem(INTEGER code, std::string_view routine)
{
    libraryErrorState().SystemDetailCode = code;
    YYErrorReport(13, routine);
}

INTEGER lastErrorOr0(BOOL ok) { return ok ? 0 : static_cast<INTEGER>(GetLastError()); }

bool isFolder(INTEGER attributes) { return (static_cast<DWORD>(attributes) & FILE_ATTRIBUTE_DIRECTORY) != 0; }

bool endsWithSeparator(std::string_view text) { return !text.empty() && (text.back() == '\\' || text.back() == ':'); }

std::size_t folderPartLength(std::string_view name)
{
    const std::size_t k = name.find_last_of("\\:");
    return k == std::string_view::npos ? 0 : k + 1;
}

std::string upperCopy(std::string_view text)
{
    std::string copy(text);
    for (char& c : copy)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return copy;
}

// One listing run over a pattern, ended when the scope ends.
class Listing {
public:
    explicit Listing(std::string_view pattern) : name_(kNameBuffer, ' ')
    {
        setText(name_, pattern);
        step(0);
    }
    ~Listing() { YYDirListEnd(); }
    Listing(const Listing&) = delete;
    Listing& operator=(const Listing&) = delete;
    INTEGER status() const { return status_; }
    std::string name() const { return std::string(trimRight(name_)); }
    INTEGER attributes() const { return attributes_; }
    void next() { step(1); }

private:
    void step(INTEGER first)
    {
        INTEGER dateTime = 0, size = 0;
        YYDirListNext(first, name_, attributes_, dateTime, size, status_);
    }
    std::string name_;
    INTEGER attributes_ = 0, status_ = 0;
};

// The entries the listing mode accepts, in listing order; stops with error 40 at the capacity.
std::vector<std::string> listEntries(std::string_view dirname, std::string_view filter, std::size_t capacity,
                                     bool counting, std::string_view routine)
{
    std::string pattern(trimBoth(dirname));
    if (!pattern.empty() && pattern.back() != '\\') pattern += '\\';
    const std::string_view f = trimBoth(filter);
    pattern += f.empty() ? std::string_view("*.*") : f;

    std::vector<std::string> entries;
    Listing listing(pattern);
    if (listing.status() != 0) {
        // No match at all is an empty listing, not a failure.
        if (listing.status() != ERROR_FILE_NOT_FOUND) reportSystem(listing.status(), routine);
        return entries;
    }
    const DirListState& mode = dirListState();
    for (; listing.status() == 0; listing.next()) {
        const bool folder = isFolder(listing.attributes());
        if (!((folder && mode.folders) || (!folder && mode.files))) continue;
        if (!counting && entries.size() == capacity) {
            YYErrorReport(40, routine);
            break;
        }
        entries.push_back(listing.name());
    }
    return entries;
}

}  // namespace

ToolkitNameHooks& toolkitNameHooks()
{
    static ToolkitNameHooks hooks;
    return hooks;
}

INTEGER YYFolderSet(std::string_view name) { return lastErrorOr0(SetCurrentDirectoryA(systemName(name).c_str())); }

INTEGER YYFolderGet(std::string& text, bool& tooLong)
{
    std::vector<char> buffer(text.size() + 1, '\0');
    const DWORD needed = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    tooLong = needed > buffer.size() - 1;
    if (needed == 0) return static_cast<INTEGER>(GetLastError());
    if (!tooLong) setText(text, buffer.data());
    return 0;
}

INTEGER YYFolderMake(std::string_view name) { return lastErrorOr0(CreateDirectoryA(systemName(name).c_str(), nullptr)); }

INTEGER YYFolderRemove(std::string_view name) { return lastErrorOr0(RemoveDirectoryA(systemName(name).c_str())); }

INTEGER YYFileDelete(std::string_view name) { return lastErrorOr0(DeleteFileA(systemName(name).c_str())); }

INTEGER YYFileMove(std::string_view oldName, std::string_view newName)
{
    return lastErrorOr0(MoveFileA(systemName(oldName).c_str(), systemName(newName).c_str()));
}

INTEGER YYFileCopy(std::string_view source, std::string_view target)
{
    // Through a work file beside the target, which replaces it only when the copy is whole: a copy
    // that fails (a full disk, a target in use) leaves an earlier file of that name as it was. The
    // copy keeps the source's time of last change, as the system's own copy does.
    const FileHandle from(CreateFileA(systemName(source).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!from) return static_cast<INTEGER>(GetLastError());
    const std::string to = systemName(target);
    WorkFile work;
    if (!work.createFor(to)) return work.error();
    std::array<std::uint8_t, 32768> piece;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(from.get(), piece.data(), static_cast<DWORD>(piece.size()), &read, nullptr))
            return static_cast<INTEGER>(GetLastError());
        if (read == 0) break;
        if (!work.write(std::span<const std::uint8_t>(piece.data(), read))) return work.error();
    }
    FILETIME changed{};
    if (GetFileTime(from.get(), nullptr, nullptr, &changed))
        SetFileTime(reinterpret_cast<HANDLE>(work.handle()), nullptr, nullptr, &changed);
    return work.commit(to) ? 0 : work.error();
}

INTEGER YYFileAttributesSet(std::string_view name, INTEGER attributes)
{
    return lastErrorOr0(SetFileAttributesA(systemName(name).c_str(), static_cast<DWORD>(attributes)));
}

INTEGER YYFullPathGet(std::string_view name, std::string& fullName)
{
    std::vector<char> buffer(kFullNameBuffer, '\0');
    const DWORD length = GetFullPathNameA(systemName(name).c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return static_cast<INTEGER>(GetLastError());
    if (length >= buffer.size()) return ERROR_BUFFER_OVERFLOW;
    setText(fullName, buffer.data());
    return 0;
}

INTEGER YYSystemFolder(std::string& folder)
{
    std::vector<char> buffer(kNameBuffer + 1, '\0');
    const UINT length = GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length == 0 || length >= buffer.size()) return length == 0 ? static_cast<INTEGER>(GetLastError()) : ERROR_BUFFER_OVERFLOW;
    setText(folder, buffer.data());
    return 0;
}

void YYDirListNext(INTEGER first, std::string& name, INTEGER& attributes, INTEGER& dateTime, INTEGER& size,
                   INTEGER& status)
{
    DirListState& state = dirListState();
    WIN32_FIND_DATAA found{};
    if (first == 0) {
        state.handle.reset(FindFirstFileA(systemName(trimRight(name)).c_str(), &found));
        if (!state.handle) {
            status = static_cast<INTEGER>(GetLastError());
            return;
        }
    } else if (!state.handle || !FindNextFileA(state.handle.get(), &found)) {
        status = 1;
        return;
    }
    setText(name, found.cFileName);
    attributes = static_cast<INTEGER>(found.dwFileAttributes);
    FILETIME local{};
    WORD dosDate = 0, dosTime = 0;
    FileTimeToLocalFileTime(&found.ftLastWriteTime, &local);
    FileTimeToDosDateTime(&local, &dosDate, &dosTime);
    dateTime = static_cast<INTEGER>((static_cast<std::uint32_t>(dosDate) << 16) | dosTime);
    size = static_cast<INTEGER>(found.nFileSizeLow);
    status = 0;
}

void YYDirListEnd() { dirListState().handle.reset(); }

INTEGER YYDriveType(std::string_view root) { return static_cast<INTEGER>(GetDriveTypeA(systemName(root).c_str())); }

void YYFileInfo(std::string_view name, INTEGER& size, INTEGER& year, INTEGER& month, INTEGER& day, INTEGER& hour,
                INTEGER& minute, INTEGER& second, INTEGER& attributes, INTEGER& kib)
{
    WIN32_FIND_DATAA found{};
    FindHandle handle(FindFirstFileA(systemName(trimRight(name)).c_str(), &found));
    if (!handle) {
        size = -1;
        return;
    }
    FILETIME local{};
    SYSTEMTIME time{};
    FileTimeToLocalFileTime(&found.ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &time);
    size = static_cast<INTEGER>(found.nFileSizeLow);
    year = time.wYear;
    month = time.wMonth;
    day = time.wDay;
    hour = time.wHour;
    minute = time.wMinute;
    second = time.wSecond;
    attributes = static_cast<INTEGER>(found.dwFileAttributes);
    kib = static_cast<INTEGER>((static_cast<std::uint32_t>(found.nFileSizeLow) + 1023u) / 1024u);
}

namespace {

FileHandle openForTimes(std::string_view name, DWORD access)
{
    return FileHandle(CreateFileA(systemName(trimRight(name)).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

void toWords(const FILETIME& time, std::uint32_t* words)
{
    words[0] = time.dwLowDateTime;
    words[1] = time.dwHighDateTime;
}

FILETIME fromWords(const std::uint32_t* words) { return FILETIME{words[0], words[1]}; }

}  // namespace

INTEGER YYFileTimesGet(std::string_view name, FileTimeWords& times)
{
    const FileHandle file = openForTimes(name, GENERIC_READ);
    if (!file) return static_cast<INTEGER>(GetLastError());
    FILETIME created{}, accessed{}, written{};
    if (!GetFileTime(file.get(), &created, &accessed, &written)) return static_cast<INTEGER>(GetLastError());
    toWords(created, times.words);
    toWords(accessed, times.words + 2);
    toWords(written, times.words + 4);
    return 0;
}

INTEGER YYFileTimesSet(std::string_view name, const FileTimeWords& times)
{
    const FileHandle file = openForTimes(name, FILE_WRITE_ATTRIBUTES);
    if (!file) return static_cast<INTEGER>(GetLastError());
    const FILETIME created = fromWords(times.words), accessed = fromWords(times.words + 2),
                   written = fromWords(times.words + 4);
    return lastErrorOr0(SetFileTime(file.get(), &created, &accessed, &written));
}

INTEGER YYFileTimesCopy(std::string_view source, std::string_view target)
{
    FileTimeWords times;
    if (const INTEGER code = YYFileTimesGet(source, times)) return code;
    return YYFileTimesSet(target, times);
}

void YYDirListModeSet(std::string_view text)
{
    DirListState& state = dirListState();
    state.files = text.find_first_of("Ff") != std::string_view::npos;
    state.folders = text.find_first_of("Dd") != std::string_view::npos;
}

void YYDirListModeGet(std::string& text)
{
    const DirListState& state = dirListState();
    text = std::string(state.files ? "F" : " ") + (state.folders ? "D" : " ");
}

void IOsDirChange(std::string_view dirname)
{
    if (const INTEGER code = YYFolderSet(trimRight(dirname))) reportSystem(code, "IOsDirChange");
}

void IOsDirName(std::string& dirname)
{
    bool tooLong = false;
    const INTEGER code = YYFolderGet(dirname, tooLong);
    if (code != 0 || tooLong) {
        setText(dirname, "");
        if (code != 0) {
            reportSystem(code, "IOsDirName");
        } else {
            YYErrorReport(1023, "IOsDirName");
        }
    }
}

void IOsDirMake(std::string_view dirname)
{
    if (const INTEGER code = YYFolderMake(trimRight(dirname))) reportSystem(code, "IOsDirMake");
}

void IOsDeleteFile(std::string_view filename)
{
    const std::string_view name = trimRight(filename);
    if (name.empty()) return;
    const std::string folder(name.substr(0, folderPartLength(name)));
    Listing listing(name);
    if (listing.status() != 0) {
        reportSystem(listing.status(), "IOsDeleteFile");
        return;
    }
    // A file that cannot be deleted (read-only, in use) is reported and the others still go.
    for (; listing.status() == 0; listing.next()) {
        if (isFolder(listing.attributes())) continue;
        if (const INTEGER code = YYFileDelete(folder + listing.name())) reportSystem(code, "IOsDeleteFile");
    }
}

void IOsRenameFile(std::string_view oldname, std::string_view newname)
{
    const std::string_view from = trimRight(oldname), to = trimRight(newname);
    if (from.empty() || to.empty()) return;
    if (const INTEGER code = YYFileMove(from, to)) reportSystem(code, "IOsRenameFile");
}

void IOsCopyFile(std::string_view source, std::string_view target)
{
    const std::string_view from = trimRight(source);
    if (from.empty()) return;
    const std::size_t k = folderPartLength(from);
    std::string to(trimRight(target.substr(0, std::min(target.size(), kNameBuffer))));

    if (from.find_first_of("?*") == std::string_view::npos) {
        if (to.empty() || endsWithSeparator(to)) to += from.substr(k);
        if (to == from) {
            YYErrorReport(55, "IOsCopyFile");
            return;
        }
        if (const INTEGER code = YYFileCopy(from, to)) reportSystem(code, "IOsCopyFile");
        return;
    }

    if (!to.empty() && !endsWithSeparator(to)) to += '\\';
    const std::string folder(from.substr(0, k));
    Listing listing(from);
    if (listing.status() != 0) {
        reportSystem(listing.status(), "IOsCopyFile");
        return;
    }
    for (; listing.status() == 0; listing.next()) {
        if (isFolder(listing.attributes())) continue;
        if (const INTEGER code = YYFileCopy(folder + listing.name(), to + listing.name())) {
            reportSystem(code, "IOsCopyFile");
            return;
        }
    }
}

void IOsFullPathname(std::string_view filename, std::string& fullname)
{
    const std::string_view name = trimBoth(filename);
    if (name.empty()) {
        setText(fullname, "");
        return;
    }
    if (const INTEGER code = YYFullPathGet(name, fullname)) {
        setText(fullname, "");
        reportSystem(code, "IOsFullPathname");
    }
}

void IOsDirInfo(std::string_view dirname, std::string_view filter, std::span<std::string> names, INTEGER& n)
{
    const std::size_t capacity = n <= 0 ? 0 : std::min(static_cast<std::size_t>(n), names.size());
    std::vector<std::string> entries = listEntries(dirname, filter, capacity, false, "IOsDirInfo");
    std::stable_sort(entries.begin(), entries.end(),
                     [](const std::string& a, const std::string& b) { return upperCopy(a) < upperCopy(b); });
    for (std::size_t i = 0; i < entries.size(); ++i) setText(names[i], entries[i]);
    n = static_cast<INTEGER>(entries.size());
}

void IOsDirInfo(std::string_view dirname, std::string_view filter, INTEGER& n)
{
    n = static_cast<INTEGER>(listEntries(dirname, filter, 0, true, "IOsDirInfo").size());
}

LOGICAL IOsDirIsPresent(std::string_view dirname)
{
    const std::string_view name = trimBoth(dirname);
    if (name.empty()) return kFalse;
    if (name.size() == 1 && name[0] == '\\') return kTrue;
    if (name.size() == 3 && name.substr(1) == ":\\") {
        const INTEGER type = YYDriveType(name);
        return toLogical(type != DRIVE_UNKNOWN && type != DRIVE_NO_ROOT_DIR);
    }
    DirListState& state = dirListState();
    const bool files = state.files, folders = state.folders;
    YYDirListModeSet("d");
    INTEGER count = 1;
    {
        QuietErrors quiet;
        std::string one(1, ' ');
        IOsDirInfo(name, ".", std::span<std::string>(&one, 1), count);
    }
    state.files = files;
    state.folders = folders;
    return toLogical(count == 1);
}

namespace {

std::string environmentValue(const char* name)
{
    std::vector<char> buffer(kNameBuffer + 1, '\0');
    const DWORD length = GetEnvironmentVariableA(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size()) return {};
    return std::string(trimRight(buffer.data()));
}

std::string temporaryFolder()
{
    std::string folder = environmentValue("TEMP");
    if (folder.empty()) folder = environmentValue("TMP");
    if (folder.empty()) folder = "c:";
    return folder;
}

}  // namespace

void WInfoFilename(INTEGER item, std::string& name)
{
    std::string value;
    switch (item) {
    case 8: {
        std::string folder(kNameBuffer, ' ');
        if (YYSystemFolder(folder) == 0) value = std::string(trimRight(folder));
        break;
    }
    case 10:
    case 11: {
        value = temporaryFolder();
        // The separator is added only where it fits, as the folder alone may already fill NAME.
        if (value.back() != '\\' && value.size() < name.size()) value += '\\';
        if (item == 11) {
            std::uint32_t counter = GetTickCount() & 0x7FFFFFFFu;
            std::string file;
            for (;;) {
                std::string digits(10, ' ');
                IntegerToString(static_cast<INTEGER>(counter), digits, "(I10.10)");
                file = "xx" + digits + ".tmp";
                counter = (counter + 1) & 0x7FFFFFFFu;
                if (GetFileAttributesA((value + file).c_str()) == INVALID_FILE_ATTRIBUTES) break;
            }
            if (value.size() + 1 <= name.size()) value += file;
        }
        break;
    }
    case 1: case 2: case 3: case 5: case 7: case 9:
        if (const auto source = toolkitNameHooks().toolkitName[item]) {
            value = source();
        } else if (item == 3) {
            value = "standard.chr";
        } else if (item == 9) {
            value = "H";
        }
        value = std::string(trimRight(value));
        break;
    default:
        break;
    }
    setText(name, value);
    if (value.size() > name.size()) YYErrorReport(1023, "WInfoFilename");
}
