#include "toolkit/editor/EditorFind.h"

#include <string>

#include "toolkit/editor/EditorWindows.h"
#include "toolkit/foundation/CommonControls.h"

INTEGER YYEditorFindNext(HWND window, EditorWindowRecord& record, FINDREPLACEA& find)
{
    HWND control = record.RichEdit;
    const WPARAM options = find.Flags & (FR_DOWN | FR_WHOLEWORD | FR_MATCHCASE);
    CHARRANGE selection{};
    SendMessageA(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    const bool empty = selection.cpMin == selection.cpMax;
    FINDTEXTEXA search{};
    search.lpstrText = find.lpstrFindWhat;
    if (YYEditorRichEditLevel() == 1 || (find.Flags & FR_DOWN)) {
        // From one past the start of a selection, so that overlapping occurrences are found.
        search.chrg.cpMin = empty ? selection.cpMin : selection.cpMin + 1;
        search.chrg.cpMax = -1;
    } else {
        search.chrg.cpMin = empty ? selection.cpMax : selection.cpMax - 1;
        search.chrg.cpMax = 0;
    }
    const auto at = static_cast<LONG>(SendMessageA(control, EM_FINDTEXTEX, options, reinterpret_cast<LPARAM>(&search)));
    if (at < 0) {
        HWND owner = record.FindDialog ? record.FindDialog : window;
        if (record.FindDialog) EnableWindow(window, FALSE);
        MessageBoxA(owner, "End of text reached", "Find", MB_OK | MB_ICONINFORMATION);
        if (record.FindDialog) EnableWindow(window, TRUE);
        return 0;
    }
    const auto firstLine = SendMessageA(control, EM_GETFIRSTVISIBLELINE, 0, 0);
    CHARRANGE match{at, at + static_cast<LONG>(lstrlenA(find.lpstrFindWhat))};
    SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&match));
    SendMessageA(control, EM_SCROLLCARET, 0, 0);
    if (SendMessageA(control, EM_GETFIRSTVISIBLELINE, 0, 0) != firstLine) {
        // The match then stands away from the window's edge.
        SendMessageA(control, EM_LINESCROLL, 0, 6);
        SendMessageA(control, EM_SCROLLCARET, 0, 0);
    }
    return 1;
}

INTEGER YYEditorReplace(HWND window, EditorWindowRecord& record, FINDREPLACEA& find)
{
    HWND control = record.RichEdit;
    CHARRANGE selection{};
    SendMessageA(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    if (selection.cpMax - selection.cpMin < kEditorFindLength) {
        std::string selected(static_cast<std::size_t>(selection.cpMax - selection.cpMin) + 1, '\0');
        SendMessageA(control, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(selected.data()));
        const bool same = (find.Flags & FR_MATCHCASE) ? lstrcmpA(selected.c_str(), find.lpstrFindWhat) == 0
                                                      : lstrcmpiA(selected.c_str(), find.lpstrFindWhat) == 0;
        if (same) SendMessageA(control, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(find.lpstrReplaceWith));
    }
    return YYEditorFindNext(window, record, find);
}

void YYEditorPaste(EditorWindowRecord& record)
{
    if (record.Options.RichText) {
        SendMessageA(record.RichEdit, WM_PASTE, 0, 0);
        return;
    }
    if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(record.RichEdit)) return;
    std::string text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        GlobalLockGuard lock(data);
        if (const char* chars = static_cast<const char*>(lock.data())) text = chars;
    }
    CloseClipboard();
    SendMessageA(record.RichEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}
