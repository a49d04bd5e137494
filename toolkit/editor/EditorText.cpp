#include "toolkit/editor/EditorText.h"

#include <string>

#include "toolkit/foundation/CommonControls.h"

INTEGER YYEditorWindowTextLength(EditorWindowRecord& record, bool redrawSuspended)
{
    HWND control = record.RichEdit;
    if (!control) return 0;
    const auto firstLine = static_cast<INTEGER>(SendMessageA(control, EM_GETFIRSTVISIBLELINE, 0, 0));
    const bool focused = GetFocus() == control;
    POINT caretBefore{}, caretAfter{};
    if (!redrawSuspended) {
        if (focused) {
            HideCaret(control);
            GetCaretPos(&caretBefore);
        }
        UpdateWindow(control);
    }
    const auto length = static_cast<INTEGER>(SendMessageA(control, WM_GETTEXTLENGTH, 0, 0));
    const auto firstNow = static_cast<INTEGER>(SendMessageA(control, EM_GETFIRSTVISIBLELINE, 0, 0));
    if (firstNow != firstLine) SendMessageA(control, EM_LINESCROLL, 0, firstLine - firstNow);
    if (!redrawSuspended && focused) {
        GetCaretPos(&caretAfter);
        if (caretAfter.x == caretBefore.x && caretAfter.y == caretBefore.y) ValidateRect(control, nullptr);
        ShowCaret(control);
    }
    return length;
}

INTEGER YYEditorCountReturns(EditorWindowRecord& record, INTEGER position)
{
    HWND control = record.RichEdit;
    if (!control || position <= 0) return 0;
    // One read of the range in place of one message per character: the count is the same.
    std::string text(static_cast<std::size_t>(position) + 1, '\0');
    TEXTRANGEA range{};
    range.chrg.cpMin = 0;
    range.chrg.cpMax = position;
    range.lpstrText = text.data();
    const auto got = static_cast<INTEGER>(SendMessageA(control, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)));
    INTEGER count = 0;
    for (INTEGER i = 0; i < got && i < position; ++i)
        if (text[static_cast<std::size_t>(i)] == '\r') ++count;
    return count;
}

INTEGER YYEditorControlLength(const EditorWindowRecord& record)
{
    if (!record.RichEdit) return 0;
    GETTEXTLENGTHEX ask{GTL_PRECISE | GTL_NUMCHARS, CP_ACP};
    const auto length = static_cast<INTEGER>(SendMessageA(record.RichEdit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&ask), 0));
    return length >= 0 ? length : 0;
}
