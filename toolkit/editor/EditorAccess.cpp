#include "toolkit/editor/EditorAccess.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "toolkit/editor/EditorFiles.h"
#include "toolkit/editor/EditorPainting.h"
#include "toolkit/editor/EditorPrinting.h"
#include "toolkit/editor/EditorStatus.h"
#include "toolkit/editor/EditorText.h"
#include "toolkit/editor/EditorWindowProc.h"
#include "toolkit/editor/EditorWindows.h"
#include "toolkit/foundation/CommonControls.h"
#include "toolkit/foundation/WindowSlots.h"

namespace {

constexpr INTEGER kUndoButton = 32121, kRedoButton = 32127;

// What WEditorRedrawMode(0) keeps for the later WEditorRedrawMode(1); one for every editor.
struct EditorRedrawSave {
    CHARRANGE Selection{0, 0};
    INTEGER FirstLine = 0;
};
EditorRedrawSave& editorRedrawSave()
{
    static EditorRedrawSave save;
    return save;
}

bool converts(const EditorWindowRecord& record)
{
    return YYEditorRichEditLevel() >= 2 && !record.Options.ControlPositions;
}

CHARRANGE selectionOf(const EditorWindowRecord& record)
{
    CHARRANGE range{};
    SendMessageA(record.RichEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
}

INTEGER firstLine(const EditorWindowRecord& record)
{
    return static_cast<INTEGER>(SendMessageA(record.RichEdit, EM_GETFIRSTVISIBLELINE, 0, 0));
}

INTEGER lineCount(const EditorWindowRecord& record)
{
    return static_cast<INTEGER>(SendMessageA(record.RichEdit, EM_GETLINECOUNT, 0, 0));
}

// Control characters from..to (excluded) without touching the selection or the view.
std::string controlText(const EditorWindowRecord& record, INTEGER from, INTEGER to)
{
    if (to <= from) return {};
    std::string text(static_cast<std::size_t>(to - from) + 1, '\0');
    TEXTRANGEA range{{from, to}, text.data()};
    const auto got = static_cast<INTEGER>(SendMessageA(record.RichEdit, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)));
    text.resize(static_cast<std::size_t>(std::clamp<INTEGER>(got, 0, to - from)));
    return text;
}

// Work on the selection without the user seeing it move: the view comes back to its first line.
class SelectionWork {
public:
    explicit SelectionWork(EditorWindowRecord& record) : record_(record), saved_(selectionOf(record)), line_(firstLine(record))
    {
        if (!record.Options.RedrawSuspended) SendMessageA(record.RichEdit, WM_SETREDRAW, FALSE, 0);
        SendMessageA(record.RichEdit, EM_HIDESELECTION, TRUE, 0);
    }
    ~SelectionWork()
    {
        SendMessageA(record_.RichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&saved_));
        YYEditorScrollTo(record_, line_);
        SendMessageA(record_.RichEdit, EM_HIDESELECTION, FALSE, 0);
        if (!record_.Options.RedrawSuspended) {
            SendMessageA(record_.RichEdit, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(record_.RichEdit, nullptr, TRUE);
        }
    }
    SelectionWork(const SelectionWork&) = delete;
    SelectionWork& operator=(const SelectionWork&) = delete;

private:
    EditorWindowRecord& record_;
    CHARRANGE saved_;
    INTEGER line_;
};

void copyBounded(std::string_view text, char* buffer, INTEGER capacity)
{
    if (!buffer || capacity <= 0) return;
    const std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(capacity - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

}  // namespace

EditorWindowRecord* YYEditorOfWindow(INTEGER window, HWND* frame)
{
    if (window < 0 || window >= kWindowSlots) return nullptr;
    HWND f = windowSlotTable().Slots[static_cast<std::size_t>(window)].Frame.get();
    if (frame) *frame = f;
    return f ? YYEditorRecord(f) : nullptr;
}

EditorWindowRecord* YYEditorCurrent(HWND* frame)
{
    return YYEditorOfWindow(windowEngineState().CurrentWindow, frame);
}

INTEGER YYEditorCallerPosition(EditorWindowRecord& record, INTEGER position)
{
    if (!converts(record) || position <= 0) return position;
    const bool oneLinePerParagraph = (GetWindowLongA(record.RichEdit, GWL_STYLE) & WS_HSCROLL) != 0;
    if (oneLinePerParagraph)
        return position + static_cast<INTEGER>(SendMessageA(record.RichEdit, EM_EXLINEFROMCHAR, 0, position));
    return position + YYEditorCountReturns(record, position);
}

void YYEditorMapPosition(EditorWindowRecord& record, INTEGER& a, INTEGER& b)
{
    if (!converts(record)) return;
    std::array<INTEGER, 2>& cache = record.PositionCache;  // control position, caller position
    if (cache[0] < 0 || cache[1] < 0 || a < cache[1] || b < cache[1]) cache = {0, 0};
    const INTEGER top = std::max(a, b);
    const INTEGER wanted = std::max<INTEGER>(top - cache[0] + 1, 0);
    // Read without selecting: the control's view and selection stay as they are.
    const std::string text = controlText(record, cache[0], cache[0] + wanted);
    INTEGER control = cache[0], caller = cache[1];
    INTEGER ra = -1, rb = -1;
    while (control <= top + 1 && (ra < 0 || rb < 0)) {
        if (ra < 0 && caller == a) ra = control;
        if (rb < 0 && caller == b) rb = control;
        const std::size_t k = static_cast<std::size_t>(control - cache[0]);
        if (k < text.size() && text[k] == '\r') {
            ++caller;
            if (ra < 0 && caller == a) ra = control;
            if (rb < 0 && caller == b) rb = control;
        }
        ++control;
        ++caller;
    }
    cache = {control, caller};  // the last walked point: a later scan further on starts here
    a = ra < 0 ? cache[0] - 1 : ra;
    b = rb < 0 ? cache[0] - 1 : rb;
}

DWORD CALLBACK YYEditorStreamCount(DWORD_PTR cookie, LPBYTE, LONG count, LONG* taken)
{
    reinterpret_cast<EditorStreamCookie*>(cookie)->Total += count;
    *taken = count;
    return 0;
}

DWORD CALLBACK YYEditorStreamCopyOut(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* taken)
{
    auto& c = *reinterpret_cast<EditorStreamCookie*>(cookie);
    const LONG room = std::clamp<LONG>(c.Left, 0, count);
    if (room > 0 && c.Write) {
        std::memcpy(c.Write, buffer, static_cast<std::size_t>(room));
        c.Write += room;
        c.Left -= room;
    }
    c.Total += count;  // what was offered: more than written means the buffer was too small
    *taken = count;
    return 0;
}

DWORD CALLBACK YYEditorStreamCopyIn(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* given)
{
    auto& c = *reinterpret_cast<EditorStreamCookie*>(cookie);
    const LONG n = std::clamp<LONG>(c.Left, 0, count);
    if (n > 0) std::memcpy(buffer, c.Read, static_cast<std::size_t>(n));
    c.Read += n;
    c.Left -= n;
    *given = n;
    return 0;
}

std::string YYEditorStreamOutAll(EditorWindowRecord& record)
{
    const UINT format = record.Options.RichText ? SF_RTF : SF_TEXT;
    EditorStreamCookie count;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&count), 0, &YYEditorStreamCount};
    SendMessageA(record.RichEdit, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&stream));
    std::string bytes(static_cast<std::size_t>(std::max<INTEGER>(count.Total, 0)), '\0');
    EditorStreamCookie copy;
    copy.Write = bytes.data();
    copy.Left = static_cast<INTEGER>(bytes.size());
    stream = EDITSTREAM{reinterpret_cast<DWORD_PTR>(&copy), 0, &YYEditorStreamCopyOut};
    SendMessageA(record.RichEdit, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&stream));
    bytes.resize(static_cast<std::size_t>(std::min<INTEGER>(copy.Total, static_cast<INTEGER>(bytes.size()))));
    return bytes;
}

void YYEditorStreamInAll(EditorWindowRecord& record, const char* bytes, INTEGER length)
{
    const INTEGER protection = std::exchange(record.Protection, 0);
    if (!bytes || length <= 0) {
        // An empty stream is no valid RTF; the control might keep what it showed.
        SendMessageA(record.RichEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        record.PositionCache = {-1, -1};
        record.Protection = protection;
        return;
    }
    EditorStreamCookie cookie;
    cookie.Read = bytes;
    cookie.Left = bytes ? std::max<INTEGER>(length, 0) : 0;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&cookie), 0, &YYEditorStreamCopyIn};
    SendMessageA(record.RichEdit, EM_STREAMIN, record.Options.RichText ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&stream));
    record.PositionCache = {-1, -1};
    record.Protection = protection;
}

INTEGER YYEditorInfoOf(EditorWindowRecord& record, INTEGER code)
{
    HWND control = record.RichEdit;
    switch (code) {
    case 1: return SendMessageA(control, EM_GETMODIFY, 0, 0) ? 0 : 1;
    case 2: {
        // The window text counts each paragraph end as two characters, the control as one; the
        // line count would also take every wrapped row for a paragraph end.
        if (record.Options.ControlPositions && YYEditorRichEditLevel() >= 2) return YYEditorControlLength(record);
        return YYEditorWindowTextLength(record, record.Options.RedrawSuspended);
    }
    case 3: return record.Changed;
    case 4: return YYEditorCallerPosition(record, selectionOf(record).cpMin) + 1;
    case 5: {
        const INTEGER length = YYEditorWindowTextLength(record, record.Options.RedrawSuspended);
        return std::min(YYEditorCallerPosition(record, selectionOf(record).cpMax), length);
    }
    case 6: return record.CurrentFile;
    case 7: return record.FileCount;
    case 8: return YYEditorRichEditLevel();
    case 9: return firstLine(record);
    case 10:
        return record.InputField && record.InputField != record.InputEdit
                   ? static_cast<INTEGER>(SendMessageA(record.InputField, CB_GETCOUNT, 0, 0))
                   : 0;
    case 11: return record.FontKind;
    case 12: return record.PointSize;
    case 102: {
        RECT client{};
        GetClientRect(control, &client);
        return firstLine(record) + (record.CellHeight > 0 ? (client.bottom - client.top) / record.CellHeight : 0);
    }
    case 103: return lineCount(record);
    case 104: return record.Options.ControlPositions ? 1 : 0;
    default: return 0;
    }
}

void YYEditorSelectCaller(EditorWindowRecord& record, INTEGER start, INTEGER end)
{
    YYEditorMapPosition(record, start, end);
    CHARRANGE range{start, end};
    SendMessageA(record.RichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageA(record.RichEdit, EM_SCROLLCARET, 0, 0);
}

void YYEditorScrollTo(EditorWindowRecord& record, INTEGER line)
{
    const INTEGER now = firstLine(record);
    if (line != now) SendMessageA(record.RichEdit, EM_LINESCROLL, 0, line - now);
}

void YYEditorSetModifiedOf(HWND frame, EditorWindowRecord& record, INTEGER saved, INTEGER changed)
{
    record.Changed = changed;
    SendMessageA(record.RichEdit, EM_SETMODIFY, saved == 0 ? TRUE : FALSE, 0);
    if (record.Options.ModifiedMarker) YYEditorUpdateStatus(frame);
}

void YYEditorClearUndoOf(EditorWindowRecord& record)
{
    SendMessageA(record.RichEdit, EM_EMPTYUNDOBUFFER, 0, 0);
    for (HWND bar : {record.Toolbar, record.WindowToolbars[0]}) {
        if (!bar) continue;
        SendMessageA(bar, TB_ENABLEBUTTON, kUndoButton, FALSE);
        SendMessageA(bar, TB_ENABLEBUTTON, kRedoButton, FALSE);
    }
}

void WEditorSetAllText(INTEGER& status, std::string_view text)
{
    EditorWindowRecord* record = YYEditorCurrent();
    if (!record) {
        status = 1;
        return;
    }
    const std::string copy(text);
    const INTEGER protection = std::exchange(record->Protection, 0);
    SendMessageA(record->RichEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()));
    record->Protection = protection;
    record->PositionCache = {-1, -1};
    status = 0;
}

void WEditorReplaceRange(INTEGER& start, INTEGER end, std::string_view text)
{
    EditorWindowRecord* record = YYEditorCurrent();
    if (!record) {
        start = -1;
        return;
    }
    HWND control = record->RichEdit;
    // A new undo group: the replacement undoes as one step of its own.
    if (!text.empty() || start != end) {
        if (YYEditorRichEditLevel() == 1) SendMessageA(control, EM_EMPTYUNDOBUFFER, 0, 0);
        else SendMessageA(control, EM_STOPGROUPTYPING, 0, 0);
    }
    INTEGER a = start, b = end;
    YYEditorMapPosition(*record, a, b);
    const std::string copy(text);
    SendMessageA(control, EM_HIDESELECTION, TRUE, 0);
    CHARRANGE range{a, b};
    SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const INTEGER protection = std::exchange(record->Protection, 0);
    SendMessageA(control, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(copy.c_str()));
    record->Protection = protection;
    record->PositionCache = {-1, -1};
    SendMessageA(control, EM_HIDESELECTION, FALSE, 0);
    SendMessageA(control, EM_SCROLLCARET, 0, 0);
    InvalidateRect(control, nullptr, TRUE);
    start = 0;
}

void WEditorGetTextPrefix(INTEGER& status, INTEGER capacity, char* buffer)
{
    EditorWindowRecord* record = YYEditorCurrent();
    if (!record) {
        status = 1;
        return;
    }
    const INTEGER length = YYEditorControlLength(*record);
    const INTEGER room = std::max<INTEGER>(capacity - 1, 0);
    copyBounded(controlText(*record, 0, std::min(length, room)), buffer, capacity);
    status = length <= room ? 0 : 2;
}

void WEditorGetRange(INTEGER& start, INTEGER capacity, char* buffer)
{
    EditorWindowRecord* record = YYEditorCurrent();
    if (!record) {
        start = -1;
        return;
    }
    if (capacity <= 0) {
        start = 0;
        return;
    }
    INTEGER a = std::max<INTEGER>(start, 0), b = a + capacity - 1;
    YYEditorMapPosition(*record, a, b);
    copyBounded(controlText(*record, a, b), buffer, capacity);
    start = 0;
}

void WEditorInfo(INTEGER window, INTEGER code, INTEGER& value)
{
    if (code == 8) {
        value = YYEditorRichEditLevel();
        return;
    }
    if (window == -1) {
        const EditorLastClosed& last = editorLastClosed();
        switch (code) {
        case 1: value = last.Saved; return;
        case 2: value = last.TextLength; return;
        case 3: value = last.Changed; return;
        case 4: value = last.SelectionStart + 1; return;
        case 5: value = std::min(last.SelectionEnd, last.TextLength); return;
        case 6: value = last.CurrentFile; return;
        case 7: value = last.FileCount; return;
        case 9: value = last.FirstVisibleLine; return;
        case 10: value = 0; return;
        case 11: value = last.FontKind; return;
        case 12: value = last.PointSize; return;
        default: return;
        }
    }
    EditorWindowRecord* record = YYEditorOfWindow(window);
    if (!record) return;
    if ((code >= 1 && code <= 12) || (code >= 102 && code <= 104)) value = YYEditorInfoOf(*record, code);
}

void WEditorInfoString(INTEGER window, INTEGER code, char* buffer, INTEGER capacity)
{
    std::string text;
    if (window == -1) {
        const EditorLastClosed& last = editorLastClosed();
        if (code == 1) text = last.FindText;
        else if (code == 2) text = last.ReplaceText;
        else if (code == 3) text = last.Path;
        else return;
    } else {
        EditorWindowRecord* record = YYEditorOfWindow(window);
        if (!record) return;
        if (code == 1) text = record->FindText.data();
        else if (code == 2) text = record->ReplaceText.data();
        else if (code == 3) text = record->path();
        else return;
    }
    copyBounded(text, buffer, capacity);
}

void WEditorLineToChar(INTEGER mode, INTEGER value, INTEGER& result)
{
    EditorWindowRecord* record = YYEditorCurrent();
    if (!record) {
        result = -2;
        return;
    }
    if (mode == 1) {
        INTEGER a = value, b = value;
        YYEditorMapPosition(*record, a, b);
        result = static_cast<INTEGER>(SendMessageA(record->RichEdit, EM_EXLINEFROMCHAR, 0, a));
        return;
    }
    const auto first = static_cast<INTEGER>(SendMessageA(record->RichEdit, EM_LINEINDEX, static_cast<WPARAM>(value), 0));
    result = first + (converts(*record) && first >= 0 ? value : 0);
}

void WEditorSelectRange(INTEGER& start, INTEGER end)
{
    EditorWindowRecord* record = YYEditorCurrent();
    if (!record) {
        start = -1;
        return;
    }
    YYEditorSelectCaller(*record, start, end);
}

void WEditorSetModified(INTEGER saved, INTEGER changed)
{
    HWND frame = nullptr;
    if (EditorWindowRecord* record = YYEditorCurrent(&frame)) YYEditorSetModifiedOf(frame, *record, saved, changed);
}

void WEditorClearUndo()
{
    if (EditorWindowRecord* record = YYEditorCurrent()) YYEditorClearUndoOf(*record);
}

void WEditorTextLength(INTEGER& length)
{
    EditorWindowRecord* record = YYEditorCurrent();
    if (!record) {
        length = 1;
        return;
    }
    EditorStreamCookie count;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&count), 0, &YYEditorStreamCount};
    SendMessageA(record->RichEdit, EM_STREAMOUT, record->Options.RichText ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&stream));
    length = count.Total;
}

void WEditorGetAllText(char* buffer, INTEGER capacity, INTEGER& status)
{
    EditorWindowRecord* record = YYEditorCurrent();
    if (!record) {
        status = 1;
        return;
    }
    EditorStreamCookie copy;
    copy.Write = buffer;
    copy.Left = buffer ? std::max<INTEGER>(capacity, 0) : 0;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&copy), 0, &YYEditorStreamCopyOut};
    SendMessageA(record->RichEdit, EM_STREAMOUT, record->Options.RichText ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&stream));
    status = copy.Total > capacity ? 2 : 0;
}

void WEditorPutAllText(INTEGER length, const char* buffer)
{
    if (EditorWindowRecord* record = YYEditorCurrent()) YYEditorStreamInAll(*record, buffer, length);
}

void WEditorShowFile(INTEGER n, INTEGER& status)
{
    HWND frame = nullptr;
    EditorWindowRecord* record = YYEditorCurrent(&frame);
    if (!record) {
        status = 1;
        return;
    }
    if (!record->Options.MultiFile || n < 1 || n > record->FileCount) {
        status = 2;
        return;
    }
    YYEditorSwitchFile(frame, n);
    status = 0;
}

void WEditorScrollToLine(INTEGER line)
{
    if (EditorWindowRecord* record = YYEditorCurrent()) YYEditorScrollTo(*record, line);
}

void WEditorMoveCaret(INTEGER position)
{
    EditorWindowRecord* record = YYEditorCurrent();
    if (!record) return;
    YYEditorSelectCaller(*record, position, position);
    InvalidateRect(record->RichEdit, nullptr, TRUE);
}

void WEditorCustomPaintOn()
{
    EditorWindowRecord* record = YYEditorCurrent();
    if (!record) return;
    record->Options.CustomPainting = true;
    HWND control = record->RichEdit;
    if (GetWindowLongPtrA(control, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&YYEditorPaintProc)) {
        const LONG_PTR own = SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&YYEditorPaintProc));
        SetWindowLongPtrA(control, GWLP_USERDATA, own);
    }
    InvalidateRect(control, nullptr, TRUE);
}

void WEditorSetOption(INTEGER value)
{
    if (EditorWindowRecord* record = YYEditorCurrent()) record->Options.BackupCopy = value == 1;
}

void WEditorSetCharFormat(INTEGER& status, INTEGER start, INTEGER end, INTEGER bold, INTEGER italic,
                          INTEGER underline, INTEGER strikeout, INTEGER size, INTEGER colour, INTEGER background,
                          std::string_view face)
{
    EditorWindowRecord* record = YYEditorCurrent();
    if (!record) {
        status = -1;
        return;
    }
    if (!record->Options.RichText) {
        status = -2;
        return;
    }
    INTEGER a = start - 1, b = end;
    YYEditorMapPosition(*record, a, b);
    CHARFORMAT2A format{};
    format.cbSize = YYEditorRichEditLevel() == 1 ? sizeof(CHARFORMATA) : sizeof(CHARFORMAT2A);
    format.yHeight = size * 20;
    format.crTextColor = static_cast<COLORREF>(colour);
    format.bCharSet = 1;
    face.copy(format.szFaceName, std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
    auto effect = [&](INTEGER value, DWORD mask, DWORD bit, bool onFromOne) {
        if (value == -1) return;
        format.dwMask |= mask;
        if (onFromOne ? value >= 1 : value == 1) format.dwEffects |= bit;
    };
    effect(bold, CFM_BOLD, CFE_BOLD, false);
    effect(italic, CFM_ITALIC, CFE_ITALIC, false);
    effect(strikeout, CFM_STRIKEOUT, CFE_STRIKEOUT, false);
    effect(underline, CFM_UNDERLINE, CFE_UNDERLINE, true);
    if (size != -1) format.dwMask |= CFM_SIZE;
    if (colour != -2) {
        format.dwMask |= CFM_COLOR;
        if (colour == -1) format.dwEffects |= CFE_AUTOCOLOR;
    }
    if (!face.empty()) format.dwMask |= CFM_FACE;
    if (YYEditorRichEditLevel() >= 2 && background != -2) {
        format.dwMask |= CFM_BACKCOLOR;
        if (background == -1) format.dwEffects |= CFE_AUTOBACKCOLOR;
        else format.crBackColor = static_cast<COLORREF>(background);
    }
    const std::array<INTEGER, 2> cache = record->PositionCache;
    {
        SelectionWork work(*record);
        CHARRANGE range{a, b};
        SendMessageA(record->RichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        const INTEGER protection = std::exchange(record->Protection, 0);
        SendMessageA(record->RichEdit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        record->Protection = protection;
    }
    // A format change moves no character: the position map stays valid.
    record->PositionCache = cache;
    status = 0;
}

void WEditorSetParaFormat(INTEGER& status, INTEGER start, INTEGER end, INTEGER bullet, INTEGER alignment)
{
    EditorWindowRecord* record = YYEditorCurrent();
    if (!record) {
        status = -1;
        return;
    }
    if (!record->Options.RichText) {
        status = -2;
        return;
    }
    INTEGER a = start - 1, b = end;
    YYEditorMapPosition(*record, a, b);
    PARAFORMAT2 format{};
    format.cbSize = sizeof format;
    if (bullet != -1) {
        format.dwMask |= PFM_NUMBERING;
        format.wNumbering = bullet == 1 ? PFN_BULLET : 0;
    }
    if (alignment >= 0 && alignment <= 2) {
        static constexpr WORD kAlign[] = {PFA_LEFT, PFA_CENTER, PFA_RIGHT};
        format.dwMask |= PFM_ALIGNMENT;
        format.wAlignment = kAlign[alignment];
    }
    const std::array<INTEGER, 2> cache = record->PositionCache;
    {
        SelectionWork work(*record);
        CHARRANGE range{a, b};
        SendMessageA(record->RichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        const INTEGER protection = std::exchange(record->Protection, 0);
        SendMessageA(record->RichEdit, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
        record->Protection = protection;
    }
    record->PositionCache = cache;
    status = 0;
}

void WEditorRedrawMode(INTEGER on)
{
    EditorWindowRecord* record = YYEditorCurrent();
    if (!record) return;  // the caller makes an editor current; nothing else is safe
    EditorRedrawSave& save = editorRedrawSave();
    if (on == 0) {
        ShowWindow(record->RichEdit, SW_HIDE);
        save.Selection = selectionOf(*record);
        save.FirstLine = firstLine(*record);
    } else {
        SendMessageA(record->RichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&save.Selection));
        YYEditorScrollTo(*record, save.FirstLine);
        ShowWindow(record->RichEdit, SW_SHOW);
    }
    record->Options.RedrawSuspended = on == 0;
}

void WEditorRedraw(INTEGER window)
{
    if (EditorWindowRecord* record = YYEditorOfWindow(window)) InvalidateRect(record->RichEdit, nullptr, TRUE);
}

void WEditorPrintRange(INTEGER& result, INTEGER start, INTEGER end, std::string_view title)
{
    result = 0;
    HWND frame = nullptr;
    EditorWindowRecord* record = YYEditorCurrent(&frame);
    if (!record) return;
    INTEGER a = start, b = end;
    INTEGER flag = 0;
    if (a >= 0 && a < b) {
        YYEditorMapPosition(*record, a, b);
        flag = 1;
    }
    result = YYEditorPrint(frame, *record, flag, 0, a, b, std::string(title));
}

INTEGER WEditorSaveCurrent(INTEGER ask)
{
    HWND frame = nullptr;
    if (!YYEditorCurrent(&frame)) return 0;
    return YYEditorSaveFile(frame, ask);
}
