#include "toolkit/foundation/FileSelection.h"

#include <commdlg.h>

#include <vector>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/MessageBoxes.h"
#include "toolkit/foundation/WindowEngineHooks.h"
#include "toolkit/foundation/WindowSlots.h"

namespace {

std::string trimmed(std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    return std::string(text);
}

std::string currentFolder()
{
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

}  // namespace

void YYPathSplit(std::string& path, std::string& file)
{
    std::string text = trimmed(path);
    const std::size_t length = text.size();
    file.clear();
    if (length >= 2 && text.compare(length - 2, 2, "..") == 0) {
        path = text;
        return;
    }
    const std::size_t at = text.find_last_of("\\:");
    if (at == std::string::npos) {
        file = text;
        path.clear();
        return;
    }
    if (at == length - 1) {
        // "D:\dir\" loses its last separator; "D:\" and "D:" are roots and stay whole.
        const bool root = length <= 3 && (length < 2 || text[1] == ':');
        if (text[at] == '\\' && !root && text.find('\\') < at) text.pop_back();
        path = text;
        return;
    }
    file = text.substr(at + 1);
    // The separator goes, unless it is what makes a drive root ("D:\a.txt" is in "D:\", and
    // "D:a.txt" in the drive's current folder "D:").
    if (text[at] == ':' || (at == 2 && text[1] == ':')) path = text.substr(0, at + 1);
    else path = text.substr(0, at);
}

std::string YYFilterList(std::string_view filter)
{
    std::string list(filter);
    if (list.empty()) return list;
    const char separator = list.back();
    for (char& c : list)
        if (c == separator) c = '\0';
    list.push_back('\0');  // the list ends with two NULs
    return list;
}

DWORD YYFileDialogFlags(INTEGER flags, INTEGER osMajorVersion)
{
    DWORD result = OFN_HIDEREADONLY;
    const bool save = flags & kSelectSave;
    if (!(flags & kSelectFolderMayBeMissing)) result |= OFN_PATHMUSTEXIST;
    if (save && (flags & kSelectPrompt)) result |= OFN_OVERWRITEPROMPT;
    if (!save) {
        if (flags & kSelectMustExist) result |= OFN_FILEMUSTEXIST;
        else if (flags & kSelectPrompt) result |= OFN_CREATEPROMPT;
        if (flags & kSelectMultiple) result |= OFN_ALLOWMULTISELECT | OFN_EXPLORER;
    }
    (void)osMajorVersion;
    return result;
}

void YYFileDialog(INTEGER& filterIndex, INTEGER flags, INTEGER& result, DWORD& error, std::string_view title,
                  std::string& fileBuffer, std::string_view initialFolder, const std::string& filterText)
{
    const std::string titleText(title), folder(initialFolder);
    OPENFILENAMEA record{};
    record.lStructSize = sizeof record;
    record.lpstrFilter = filterText.empty() ? nullptr : filterText.c_str();
    record.nFilterIndex = static_cast<DWORD>(filterIndex > 0 ? filterIndex : 1);
    record.lpstrFile = fileBuffer.data();
    record.nMaxFile = static_cast<DWORD>(fileBuffer.size());
    record.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    record.lpstrTitle = titleText.c_str();
    record.Flags = YYFileDialogFlags(flags, windowEngineState().OsMajorVersion);
    if ((flags & kSelectDefaultExtension) && windowEngineState().OsMajorVersion != 3) record.lpstrDefExt = "";
    BOOL ok = FALSE;
    YYModalSystemDialog([&](HWND owner) {
        record.hwndOwner = owner;
        ok = (flags & kSelectSave) ? GetSaveFileNameA(&record) : GetOpenFileNameA(&record);
    });
    result = ok ? 1 : 0;
    error = ok ? 0 : CommDlgExtendedError();
    if (ok) filterIndex = static_cast<INTEGER>(record.nFilterIndex);
}

void WSelectFile(INTEGER filterMode, std::string_view filter, INTEGER flags, std::string& fileName,
                 std::string_view title, INTEGER& filterIndex, INTEGER snapshotFlag)
{
    INTEGER status = 0;
    if (snapshotFlag) {
        dialogManagerHooks().windowSnapshots(1, -1, status);
        if (status != 0) YYErrorReport(status, "WSelectFile");
    }
    std::string filterText;
    if (filterMode == -1) {
        std::string_view text = filter.substr(0, std::min<std::size_t>(filter.size(), 1000));
        if (std::size_t nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
        filterText = YYFilterList(text);
    } else if (filterMode != 0) {
        char buffer[1001] = {};
        const int length = LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(filterMode), buffer, sizeof buffer);
        filterText = YYFilterList(std::string_view(buffer, static_cast<std::size_t>(length > 0 ? length : 0)));
    }
    std::string folder = fileName.substr(0, std::min<std::size_t>(fileName.size(), 256));
    std::string file;
    YYPathSplit(folder, file);
    const std::string remembered = currentFolder();
    if (folder.empty()) folder = remembered;
    // The buffer is as long as the caller's name, and long enough for one full path at least.
    std::string buffer(std::max<std::size_t>(fileName.size(), MAX_PATH) + 1, '\0');
    file = trimmed(file).substr(0, buffer.size() - 1);
    std::copy(file.begin(), file.end(), buffer.begin());
    const std::string titleText = trimmed(title).empty() ? std::string("Select File") : trimmed(title);
    INTEGER result = 0;
    DWORD error = 0;
    YYFileDialog(filterIndex, flags, result, error, titleText, buffer, folder, filterText);
    if (result == 1) {
        std::size_t end = buffer.find('\0');
        if (!(flags & kSelectSave) && (flags & kSelectMultiple)) {
            end = buffer.find(std::string("\0\0", 2));
            if (end == std::string::npos) end = buffer.size();
        }
        std::string chosen = buffer.substr(0, end);
        const std::size_t width = fileName.size();
        if (width > 0 && chosen.size() < width) chosen.resize(width, ' ');
        fileName = chosen;
    } else if (error > 0) {
        YYErrorReport(1004, "WSelectFile");
    }
    if (!(result == 1 && (flags & kSelectKeepFolder)) && !remembered.empty()) SetCurrentDirectoryA(remembered.c_str());
    if (snapshotFlag) dialogManagerHooks().windowSnapshots(0, -1, status);
    dialogManagerHooks().commonDialogEnded(result);
}

void WSelectFileFiltered(std::string_view filter, INTEGER flags, std::string& fileName,
                         std::optional<std::string_view> title, INTEGER* filterIndex)
{
    std::string_view text = filter;
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    text = text.substr(0, std::min<std::size_t>(text.size(), 1000));
    std::string titleText(title.value_or(std::string_view()).substr(0, 260));
    INTEGER index = filterIndex ? *filterIndex : 1;
    WSelectFile(text.empty() ? 0 : -1, text, flags, fileName, titleText, index, 1);
    if (filterIndex) *filterIndex = index;
}
