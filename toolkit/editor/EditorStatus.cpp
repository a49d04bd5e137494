#include "toolkit/editor/EditorStatus.h"

#include <cstdio>

#include "toolkit/editor/EditorWindows.h"
#include "toolkit/foundation/CommonControls.h"

namespace {

bool hasCaption(HWND frame) { return (GetWindowLongA(frame, GWL_STYLE) & WS_CAPTION) == WS_CAPTION; }

void setPart(HWND bar, int part, const std::string& text)
{
    if (bar) SendMessageA(bar, SB_SETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace

std::string YYEditorTitleText(const EditorWindowRecord& record, bool captioned)
{
    const bool modified = record.Options.ModifiedMarker && record.RichEdit &&
                          SendMessageA(record.RichEdit, EM_GETMODIFY, 0, 0) != 0;
    const bool named = !record.path().empty() && !record.Options.NoFileName;
    if (!captioned) return named ? std::string(record.path()) + (modified ? " *" : "") : std::string();
    std::string title = record.SavedTitle;
    if (!named) return title;
    if (!record.SavedTitle.empty()) title += " - [";
    title += record.path();
    if (modified) title += " *";
    if (!record.SavedTitle.empty()) title += "]";
    return title;
}

void YYEditorUpdateStatus(HWND frame)
{
    EditorWindowRecord* record = YYEditorRecord(frame);
    if (!record) return;
    if (hasCaption(frame)) {
        SetWindowTextA(frame, YYEditorTitleText(*record, true).c_str());
    } else if (record->StatusBar) {
        setPart(record->StatusBar, 4, YYEditorTitleText(*record, false));
    }
}

void YYEditorCaretStatus(EditorWindowRecord& record)
{
    if (!record.StatusBar || !record.RichEdit) return;
    CHARRANGE selection{};
    SendMessageA(record.RichEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    const auto line = static_cast<LONG>(SendMessageA(record.RichEdit, EM_EXLINEFROMCHAR, 0, selection.cpMax));
    const auto lineStart = static_cast<LONG>(SendMessageA(record.RichEdit, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    char text[64] = {};
    std::snprintf(text, sizeof text, "Line:%u   Col:%u", static_cast<unsigned>(line + 1),
                  static_cast<unsigned>(selection.cpMax - lineStart + 1));
    setPart(record.StatusBar, 0, text);
    UpdateWindow(record.StatusBar);
}

void YYEditorLockStatus(EditorWindowRecord& record, INTEGER virtualKey)
{
    if (!record.StatusBar) return;
    if (virtualKey == VK_CAPITAL) setPart(record.StatusBar, 1, (GetKeyState(VK_CAPITAL) & 1) ? "\tCAPS" : "");
    if (virtualKey == VK_NUMLOCK) setPart(record.StatusBar, 2, (GetKeyState(VK_NUMLOCK) & 1) ? "\tNUM" : "");
    UpdateWindow(record.StatusBar);
}

void YYEditorInsertStatus(EditorWindowRecord& record)
{
    setPart(record.StatusBar, 3, record.InsertMode ? "\tINS" : "\tOVR");
}
