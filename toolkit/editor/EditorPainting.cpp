#include "toolkit/editor/EditorPainting.h"

#include <algorithm>
#include <string>

#include "toolkit/editor/EditorDocuments.h"
#include "toolkit/editor/EditorWindows.h"
#include "toolkit/foundation/CommonControls.h"

EditorColourHookFn& editorColourHook()
{
    static EditorColourHookFn hook = &YYEditorColourHook;
    return hook;
}

namespace {

constexpr INTEGER kMaxRuns = 100;
constexpr INTEGER kLineBuffer = 32768;

WNDPROC ownProcedure(HWND control)
{
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_USERDATA));
}

LRESULT callOwn(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC own = ownProcedure(control);
    return own ? CallWindowProcA(own, control, message, wParam, lParam) : DefWindowProcA(control, message, wParam, lParam);
}

CHARRANGE selectionOf(HWND control)
{
    CHARRANGE range{};
    SendMessageA(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
}

// The control's zoom as numerator and denominator, when it reports one with a positive denominator.
bool zoomOf(HWND control, INTEGER& numerator, INTEGER& denominator)
{
    if (YYEditorRichEditLevel() < 3) return false;
    WPARAM num = 0;
    LPARAM den = 0;
    if (!SendMessageA(control, EM_GETZOOM, reinterpret_cast<WPARAM>(&num), reinterpret_cast<LPARAM>(&den))) return false;
    numerator = static_cast<INTEGER>(num & 0xFFFF);
    denominator = static_cast<INTEGER>(den & 0xFFFF);
    return denominator > 0 && numerator > 0;
}

INTEGER cellHeight(const EditorWindowRecord& record)
{
    INTEGER num = 0, den = 0;
    return zoomOf(record.RichEdit, num, den) ? MulDiv(record.CellHeight, num, den) : record.CellHeight;
}

bool wholeSelected(const CHARRANGE& range) { return range.cpMin == 0 && range.cpMax == -1; }

void drawText(HDC dc, HWND control, INTEGER position, const char* text, INTEGER length)
{
    if (length <= 0) return;
    POINT at{};
    YYEditorPosFromChar(control, position, at);
    TextOutA(dc, at.x, at.y, text, length);
}

}  // namespace

void YYEditorPosFromChar(HWND control, INTEGER position, POINT& at)
{
    if (YYEditorRichEditLevel() == 2) {
        const auto packed = static_cast<DWORD>(SendMessageA(control, EM_POSFROMCHAR, static_cast<WPARAM>(position), 0));
        at.x = LOWORD(packed);
        at.y = HIWORD(packed);
        return;
    }
    at = POINT{};
    SendMessageA(control, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), position);
}

void YYEditorPaintRun(EditorWindowRecord& record, HDC dc, const char* text, INTEGER first, INTEGER length)
{
    HWND control = record.RichEdit;
    const CHARRANGE selection = selectionOf(control);
    const INTEGER cell = cellHeight(record);
    INTEGER runStart = 0;
    for (INTEGER i = 0; i < length; ++i) {
        if (text[i] != '\t') continue;
        drawText(dc, control, first + runStart, text + runStart, i - runStart);
        const INTEGER tab = first + i;
        if (wholeSelected(selection) || (tab >= selection.cpMin && tab < selection.cpMax)) {
            POINT from{}, to{};
            YYEditorPosFromChar(control, tab, from);
            YYEditorPosFromChar(control, tab + 1, to);
            RECT gap{from.x, from.y, to.x, from.y + cell};
            FillRect(dc, &gap, GetSysColorBrush(COLOR_HIGHLIGHT));
        }
        runStart = i + 1;
    }
    drawText(dc, control, first + runStart, text + runStart, length - runStart);
}

LRESULT CALLBACK YYEditorPaintProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    EditorWindowRecord* record = YYEditorRecord(GetParent(control));
    if (!record || record->RichEdit != control) return callOwn(control, message, wParam, lParam);
    if (message == WM_MOUSEWHEEL) {
        const INTEGER before = static_cast<INTEGER>(SendMessageA(control, EM_GETFIRSTVISIBLELINE, 0, 0));
        const LRESULT result = callOwn(control, message, wParam, lParam);
        if (!(LOWORD(wParam) & MK_CONTROL)) return result;
        // The zoom changed: the first line stays where it was, and the control lays itself out again.
        const bool hide = !record->Options.RedrawSuspended;
        if (hide) ShowWindow(control, SW_HIDE);
        CHARRANGE selection = selectionOf(control);
        SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        const INTEGER now = static_cast<INTEGER>(SendMessageA(control, EM_GETFIRSTVISIBLELINE, 0, 0));
        if (now != before) SendMessageA(control, EM_LINESCROLL, 0, before - now);
        if (hide) ShowWindow(control, SW_SHOWNA);
        RECT r{};
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(control, nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);
        SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_FRAMECHANGED);
        return result;
    }
    if (message != WM_PAINT || !record->Options.CustomPainting) return callOwn(control, message, wParam, lParam);

    PaintDc paint(control);
    HDC dc = paint.get();
    // Zoomed: the editor's own face scaled, so that the letters fit the places the control measured.
    GdiObjectHandle zoomFont;
    HFONT font = record->Font;
    INTEGER line = record->CellHeight;
    INTEGER num = 0, den = 0;
    if (zoomOf(control, num, den)) {
        LOGFONTA face{};
        GetObjectA(record->Font, sizeof face, &face);
        face.lfHeight = -MulDiv(record->CellAscent, num, den);
        face.lfWidth = 0;
        zoomFont = GdiObjectHandle(CreateFontIndirectA(&face));
        if (zoomFont) font = static_cast<HFONT>(zoomFont.get());
        line = MulDiv(record->CellHeight, num, den);
    }
    DcSelection selectedFont(dc, font);
    HBRUSH background = reinterpret_cast<HBRUSH>(GetClassLongPtrA(control, GCLP_HBRBACKGROUND));
    if (!background) background = GetSysColorBrush(COLOR_WINDOW);
    RECT client{};
    GetClientRect(control, &client);
    RECT edge{client.left, client.top, client.left + 1, client.bottom};
    FillRect(dc, &edge, background);
    edge = RECT{client.right - 1, client.top, client.right, client.bottom};
    FillRect(dc, &edge, background);
    IntersectClipRect(dc, client.left + 1, client.top, client.right - 1, client.bottom);

    const CHARRANGE selection = selectionOf(control);
    const auto lines = static_cast<INTEGER>(SendMessageA(control, EM_GETLINECOUNT, 0, 0));
    const auto firstVisible = static_cast<INTEGER>(SendMessageA(control, EM_GETFIRSTVISIBLELINE, 0, 0));
    const COLORREF windowText = GetSysColor(COLOR_WINDOWTEXT), windowBack = GetSysColor(COLOR_WINDOW);
    const COLORREF highText = GetSysColor(COLOR_HIGHLIGHTTEXT), highBack = GetSysColor(COLOR_HIGHLIGHT);
    SetBkMode(dc, OPAQUE);
    auto colours = [dc](COLORREF text, COLORREF back) {
        SetTextColor(dc, text);
        SetBkColor(dc, back);
    };
    std::string buffer(static_cast<std::size_t>(kLineBuffer), '\0');
    INTEGER lastTop = client.top - line;
    for (INTEGER n = firstVisible; n < lines; ++n) {
        const auto start = static_cast<INTEGER>(SendMessageA(control, EM_LINEINDEX, static_cast<WPARAM>(n), 0));
        if (start < 0) break;
        POINT top{};
        YYEditorPosFromChar(control, start, top);
        if (top.y >= client.bottom) break;
        *reinterpret_cast<WORD*>(buffer.data()) = static_cast<WORD>(kLineBuffer - 1);
        auto length = static_cast<INTEGER>(SendMessageA(control, EM_GETLINE, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(buffer.data())));
        length = std::clamp<INTEGER>(length, 0, kLineBuffer - 1);
        while (length > 0 && (buffer[static_cast<std::size_t>(length - 1)] == '\r' || buffer[static_cast<std::size_t>(length - 1)] == '\n')) --length;
        const char* text = buffer.data();
        RECT band{client.left, n == firstVisible ? client.top : top.y, client.right, top.y + line + 1};
        FillRect(dc, &band, background);
        lastTop = top.y;
        if (wholeSelected(selection)) {
            colours(highText, highBack);
            if (length > 0) YYEditorPaintRun(*record, dc, text, start, length);
            else drawText(dc, control, start, " ", 1);
            continue;
        }
        const INTEGER end = start + length;
        INTEGER selStart = -1, selEnd = -1;
        if (selection.cpMin != selection.cpMax && selection.cpMax > start && selection.cpMin < end) {
            selStart = std::max<INTEGER>(selection.cpMin - start + 1, 1);
            selEnd = std::min<INTEGER>(selection.cpMax - start, length);
        }
        INTEGER starts[kMaxRuns] = {}, ends[kMaxRuns] = {}, runColours[kMaxRuns] = {};
        INTEGER runs = 0, window = record->Window, maximum = kMaxRuns, lineLength = length;
        editorColourHook()(window, selStart, selEnd, maximum, starts, ends, runColours, runs, text, lineLength);
        runs = std::clamp<INTEGER>(runs, 0, kMaxRuns);
        INTEGER next = 1;  // the first 1-based character not yet drawn
        for (INTEGER k = 0; k < runs; ++k) {
            const INTEGER from = std::clamp<INTEGER>(starts[k], next, length + 1);
            const INTEGER to = std::clamp<INTEGER>(ends[k], from - 1, length);
            colours(windowText, windowBack);
            if (from > next) YYEditorPaintRun(*record, dc, text + next - 1, start + next - 1, from - next);
            if (runColours[k] == -1) colours(highText, highBack);
            else colours(static_cast<COLORREF>(runColours[k]), windowBack);
            if (to >= from) YYEditorPaintRun(*record, dc, text + from - 1, start + from - 1, to - from + 1);
            next = std::max(next, to + 1);
        }
        colours(windowText, windowBack);
        if (next <= length) YYEditorPaintRun(*record, dc, text + next - 1, start + next - 1, length - next + 1);
        if (end >= selection.cpMin && end < selection.cpMax) {
            colours(highText, highBack);
            drawText(dc, control, end, " ", 1);
        }
    }
    RECT below{client.left, lastTop + line, client.right, client.bottom};
    if (below.top < client.top) below.top = client.top;
    FillRect(dc, &below, background);
    return 0;
}
