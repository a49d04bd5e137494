#include "toolkit/editor/EditorFiles.h"

#include <cctype>
#include <string>
#include <vector>

#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/editor/EditorCommands.h"
#include "toolkit/editor/EditorDocuments.h"
#include "toolkit/editor/EditorFormatting.h"
#include "toolkit/editor/EditorStatus.h"
#include "toolkit/editor/EditorWindows.h"
#include "toolkit/foundation/CommonControls.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/OsFiles.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/foundation/WorkFiles.h"

#include <commdlg.h>

namespace {

void errorBox(HWND window, const char* caption, DWORD code)
{
    char text[301] = {};
    YYSystemErrorText(static_cast<INTEGER>(code), text, 300);
    if (!text[0]) lstrcpynA(text, "The file could not be used", sizeof text);
    MessageBoxA(window, text, caption, MB_OK | MB_ICONEXCLAMATION);
}

FileHandle& held(EditorWindowRecord& record)
{
    return record.HeldFiles[static_cast<std::size_t>(std::clamp(record.CurrentFile, 1, kEditorMaxFiles) - 1)];
}

void disableUndoButtons(const EditorWindowRecord& record)
{
    if (!record.Toolbar) return;
    SendMessageA(record.Toolbar, TB_ENABLEBUTTON, kCmdUndo, FALSE);
    SendMessageA(record.Toolbar, TB_ENABLEBUTTON, kCmdRedo, FALSE);
}

// Empties the control after a failed load: nothing partial may stay under any name.
void emptyAfterFailure(HWND window, EditorWindowRecord& record)
{
    YYEditorResetFormat(record);
    SendMessageA(record.RichEdit, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageA(record.RichEdit, EM_SETMODIFY, FALSE, 0);
    record.Changed = 0;
    record.setPath("");
    YYEditorUpdateStatus(window);
}

bool endsWithRtf(std::string_view path)
{
    const std::string_view tail = path.size() > 4 ? path.substr(path.size() - 4) : path;
    if (tail.size() != 4) return false;
    const char* rtf = ".rtf";
    for (std::size_t i = 0; i < 4; ++i)
        if (std::tolower(static_cast<unsigned char>(tail[i])) != rtf[i]) return false;
    return true;
}

}  // namespace

bool YYEditorIsRtfPath(const EditorWindowRecord& record, std::string_view path)
{
    return record.Options.RichText && endsWithRtf(path);
}

std::string YYEditorDialogFilter(const EditorWindowRecord& record)
{
    if (!record.FilterList.empty()) return record.FilterList;
    using namespace std::string_literals;
    if (record.Options.RichText)
        return "Rich Text Files (*.RTF)\0*.RTF\0Text Files (*.TXT)\0*.TXT\0All Files (*.*)\0*.*\0\0"s;
    return "Text Files (*.TXT)\0*.TXT\0All Files (*.*)\0*.*\0\0"s;
}

bool YYEditorHoldFile(EditorWindowRecord& record)
{
    FileHandle file(CreateFileA(record.Path.data(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    const bool ok = static_cast<bool>(file);
    held(record) = std::move(file);
    return ok;
}

void YYEditorCloseFileHandle(HWND window)
{
    if (EditorWindowRecord* record = YYEditorRecord(window)) held(*record).reset();
}

DWORD CALLBACK YYEditorStreamInRead(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* read)
{
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(cookie), buffer, static_cast<DWORD>(wanted), &got, nullptr)) {
        *read = 0;
        return 1;
    }
    *read = static_cast<LONG>(got);
    return 0;
}

DWORD CALLBACK YYEditorStreamOutWrite(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* written)
{
    DWORD wrote = 0;
    if (!editorHooks().writeFile(reinterpret_cast<HANDLE>(cookie), buffer, static_cast<DWORD>(count), &wrote)) wrote = 0;
    *written = static_cast<LONG>(wrote);
    return static_cast<DWORD>(count) - wrote;
}

INTEGER YYEditorLoadFile(HWND window, INTEGER creationFlag)
{
    EditorWindowRecord* found = YYEditorRecord(window);
    if (!found) return 0;
    EditorWindowRecord& record = *found;
    record.Protection = 0;
    INTEGER result = 0;
    const bool opened = YYEditorHoldFile(record);
    if (!opened) {
        const DWORD code = GetLastError();
        if (!(creationFlag == 1 && record.Options.QuietInitialLoad)) errorBox(window, "Open Error", code);
    } else {
        HANDLE file = held(record).get();
        LARGE_INTEGER size{};
        GetFileSizeEx(file, &size);
        if (YYEditorIsRtfPath(record, record.path())) {
            // What does not begin as rich text is no rich text: the control would take it as plain.
            char head[5] = {};
            DWORD got = 0;
            const bool valid = ReadFile(file, head, 5, &got, nullptr) && got == 5 && std::string_view(head, 5) == "{\\rtf";
            SetFilePointer(file, 0, nullptr, FILE_BEGIN);
            EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(file), 0, &YYEditorStreamInRead};
            if (valid) SendMessageA(record.RichEdit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
            if (!valid || stream.dwError != 0) {
                if (!valid) MessageBoxA(window, "The file is not valid rich text", "Read Error", MB_OK | MB_ICONEXCLAMATION);
                else errorBox(window, "Read Error", GetLastError());
                held(record).reset();
                emptyAfterFailure(window, record);
            } else {
                SendMessageA(record.RichEdit, EM_EMPTYUNDOBUFFER, 0, 0);
                disableUndoButtons(record);
                SendMessageA(record.RichEdit, EM_SETMODIFY, FALSE, 0);
                record.Changed = 0;
                YYEditorUpdateStatus(window);
                result = 1;
            }
        } else if (size.QuadPart > record.TextLimit) {
            // More than the control can hold would be cut without a word; refused whole instead.
            MessageBoxA(window, "The file is too large for the editor", "Read Error", MB_OK | MB_ICONEXCLAMATION);
            held(record).reset();
            emptyAfterFailure(window, record);
        } else {
            std::string text(static_cast<std::size_t>(size.QuadPart), '\0');
            DWORD got = 0;
            const bool read = text.empty() || ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
            if (!read || got != text.size()) {
                errorBox(window, "Read Error", GetLastError());
                held(record).reset();
                emptyAfterFailure(window, record);
            } else {
                for (char& c : text)
                    if (c == '\0') c = ' ';
                if (!text.empty() && text.back() == 26) text.pop_back();
                YYEditorResetFormat(record);
                CHARRANGE start{0, 0};
                SendMessageA(record.RichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
                // The control would read a text that begins "{\rtf" as rich text: the first three
                // characters go in after the rest.
                if (text.size() >= 5 && YYEditorRichEditLevel() >= 2 && text.compare(0, 3, "{\\r") == 0) {
                    SendMessageA(record.RichEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str() + 3));
                    SendMessageA(record.RichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
                    const std::string head = text.substr(0, 3);
                    SendMessageA(record.RichEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(head.c_str()));
                } else {
                    SendMessageA(record.RichEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
                }
                SendMessageA(record.RichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
                SendMessageA(record.RichEdit, EM_SCROLLCARET, 0, 0);
                SendMessageA(record.RichEdit, EM_EMPTYUNDOBUFFER, 0, 0);
                disableUndoButtons(record);
                SendMessageA(record.RichEdit, EM_SETMODIFY, FALSE, 0);
                record.Changed = 0;
                YYEditorUpdateStatus(window);
                result = 1;
            }
        }
    }
    YYEditorSyncFormatChecks(record);
    record.Bookmarks[static_cast<std::size_t>(record.CurrentFile - 1)] = -1;
    if (GetWindowLongA(record.RichEdit, GWL_STYLE) & ES_READONLY) held(record).reset();
    record.Protection = 1;
    return result;
}

INTEGER YYEditorSaveFile(HWND window, INTEGER ask)
{
    EditorWindowRecord* found = YYEditorRecord(window);
    if (!found) return 0;
    EditorWindowRecord& record = *found;
    const std::size_t n = static_cast<std::size_t>(record.CurrentFile - 1);
    if (ask == 1 || record.path().empty()) {
        const std::string filter = YYEditorDialogFilter(record);
        std::array<char, kEditorPathLength + 1> name = record.Path;
        OPENFILENAMEA dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = window;
        dialog.lpstrFilter = filter.c_str();
        dialog.nFilterIndex = static_cast<DWORD>(std::max(record.FilterIndex[n], 1));
        dialog.lpstrFile = name.data();
        dialog.nMaxFile = kEditorPathLength;
        dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
        dialog.lpstrDefExt = "";
        if (record.Mode == 2) YYDialogsDisable(window, 1);
        const BOOL chosen = GetSaveFileNameA(&dialog);
        if (record.Mode == 2) YYDialogsEnable(window, 1);
        if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) {
            SetFocus(window);
            YYWindowActivate(window);
        }
        if (!chosen) return 0;
        record.FilterIndex[n] = static_cast<INTEGER>(dialog.nFilterIndex);
        record.setPath(name.data());
        YYEditorFileListPutName(YYWindowSlotFromHandle(window), record.CurrentFile, record.Path.data(), kEditorPathLength);
        // The renamed item is the shown document's: it keeps its check mark.
        if (record.ViewPopup)
            ModifyMenuA(record.ViewPopup, static_cast<UINT>(n), MF_BYPOSITION | MF_STRING | MF_CHECKED,
                        static_cast<UINT_PTR>(kCmdViewPopup + record.CurrentFile),
                        YYEditorViewItemText(record.CurrentFile, record.path()).c_str());
        YYEditorUpdateStatus(window);
    }
    const std::string path(record.path());
    const bool rtf = YYEditorIsRtfPath(record, path);
    held(record).reset();
    if (record.Options.BackupCopy) YYFileCopy(path, path + ".bak");

    // The text goes into a work file beside the old one, which it replaces only once complete: a
    // full disk or a failing write leaves the old file as it was.
    WorkFile out;
    if (!out.createFor(path)) {
        errorBox(window, "Open Error", static_cast<DWORD>(out.error()));
        if (!record.Options.ReadOnly) YYEditorHoldFile(record);
        return 0;
    }
    EDITSTREAM stream{static_cast<DWORD_PTR>(out.handle()), 0, &YYEditorStreamOutWrite};
    SendMessageA(record.RichEdit, EM_STREAMOUT, rtf ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&stream));
    DWORD code = stream.dwError != 0 ? (GetLastError() ? GetLastError() : ERROR_WRITE_FAULT) : 0;
    if (code == 0 && !out.commit(path)) code = static_cast<DWORD>(out.error());
    if (code != 0) {
        out.discard();
        errorBox(window, "Write Error", code);
        if (!record.Options.ReadOnly) YYEditorHoldFile(record);
        return 0;
    }
    SendMessageA(record.RichEdit, EM_SETMODIFY, FALSE, 0);
    if (record.Options.ModifiedMarker) YYEditorUpdateStatus(window);
    if (!record.Options.ReadOnly) YYEditorHoldFile(record);
    return 1;
}

INTEGER YYEditorQuerySave(HWND window, EditorWindowRecord& record)
{
    if (!record.RichEdit || (GetWindowLongA(record.RichEdit, GWL_STYLE) & ES_READONLY) || !record.Options.SaveOffered ||
        !SendMessageA(record.RichEdit, EM_GETMODIFY, 0, 0))
        return 1;
    const std::string question = (record.path().empty() || record.Options.NoFileName)
                                     ? std::string("Do you want to save changes?")
                                     : "Do you want to save changes to " + std::string(record.path()) + "?";
    switch (MessageBoxA(window, question.c_str(), record.SavedTitle.c_str(), MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES: return YYEditorSaveFile(window, 0);
    case IDNO: return 1;
    case IDCANCEL: return 0;
    default: return 1;
    }
}
