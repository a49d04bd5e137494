#include "toolkit/editor/EditorInputField.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "toolkit/editor/EditorAccess.h"
#include "toolkit/editor/EditorCommands.h"
#include "toolkit/editor/EditorStatus.h"
#include "toolkit/editor/EditorWindows.h"
#include "toolkit/foundation/CommonControls.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/WindowEngineHooks.h"
#include "toolkit/foundation/WindowSlots.h"

namespace {

constexpr INTEGER kFieldTextLength = 32767;

bool isCombo(HWND window)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpiA(name, "ComboBox") == 0;
}

bool hasList(const EditorWindowRecord& record) { return record.InputField && record.InputField != record.InputEdit; }

std::string windowTextOf(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    const int got = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

void copyBounded(const std::string& text, char* buffer, INTEGER capacity)
{
    if (!buffer || capacity <= 0) return;
    const std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(capacity - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

WNDPROC ownProcedure(HWND edit) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(edit, GWLP_USERDATA)); }

LRESULT passOn(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC own = ownProcedure(edit);
    return own ? CallWindowProcA(own, edit, message, wParam, lParam) : DefWindowProcA(edit, message, wParam, lParam);
}

// Enter in a field with a list: the line becomes the newest history item unless it is blank or
// repeats the newest one.
void rememberLine(HWND combo)
{
    const std::string text = windowTextOf(combo).substr(0, kFieldTextLength);
    if (text.find_first_not_of(' ') == std::string::npos) return;
    std::string newest;
    const auto count = static_cast<INTEGER>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    if (count > 0) {
        const auto length = static_cast<INTEGER>(SendMessageA(combo, CB_GETLBTEXTLEN, 0, 0));
        if (length >= 0) {
            newest.assign(static_cast<std::size_t>(length) + 1, '\0');
            SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(newest.data()));
            newest.resize(static_cast<std::size_t>(length));
        }
    }
    if (count > 0 && newest == text) return;
    if (count >= kEditorHistoryLength) SendMessageA(combo, CB_DELETESTRING, kEditorHistoryLength - 1, 0);
    SendMessageA(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
}

void historyStep(HWND combo, bool up)
{
    const auto count = static_cast<INTEGER>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    const auto selected = static_cast<INTEGER>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    INTEGER index = 0;
    if (selected >= 0) {
        index = up ? std::max<INTEGER>(selected - 1, 0) : selected + 1;
    } else {
        const std::string text = windowTextOf(combo);
        const auto found = static_cast<INTEGER>(SendMessageA(combo, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str())));
        index = found < 0 ? 0 : found;
    }
    // Past the oldest item nothing is selected.
    SendMessageA(combo, CB_SETCURSEL, index < count ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
}

}  // namespace

void YYEditorCreateInputField(HWND frame, EditorWindowRecord& record, bool combo)
{
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    const DWORD exStyle = WS_EX_CLIENTEDGE;
    RECT cell{0, 0, 10, record.CellHeight};
    AdjustWindowRectEx(&cell, style, FALSE, exStyle);
    record.FieldHeight = cell.bottom - cell.top + 2;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    auto id = [](INTEGER n) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(n)); };
    if (combo) {
        record.InputField = CreateWindowExA(exStyle, "COMBOBOX", "", style | CBS_DROPDOWN | CBS_AUTOHSCROLL | CBS_HASSTRINGS | WS_VSCROLL,
                                            0, 0, 100, record.FieldHeight * 11, frame, id(kEditorFieldId), instance, nullptr);
        if (record.InputField) {
            SendMessageA(record.InputField, WM_SETFONT, reinterpret_cast<WPARAM>(record.Font), FALSE);
            RECT real{};
            GetWindowRect(record.InputField, &real);
            record.FieldHeight = real.bottom - real.top;
            record.InputEdit = GetWindow(record.InputField, GW_CHILD);
        }
    }
    if (!record.InputField) {
        record.InputField = CreateWindowExA(exStyle, "EDIT", "", style | ES_AUTOHSCROLL, 0, 0, 100, record.FieldHeight, frame,
                                            id(kEditorFieldId), instance, nullptr);
        record.InputEdit = record.InputField;
        SendMessageA(record.InputField, WM_SETFONT, reinterpret_cast<WPARAM>(record.Font), FALSE);
    }
    if (!record.InputField) return;
    if (!record.InputEdit) record.InputEdit = record.InputField;
    record.LabelFrame = CreateWindowExA(exStyle, "STATIC", "", style | SS_CENTER, 0, 0, 0, record.FieldHeight, frame,
                                        id(kEditorLabelId), instance, nullptr);
    {
        // The label's line sits in the middle of its frame.
        RECT inner{};
        GetClientRect(record.LabelFrame, &inner);
        record.LabelOffset = std::max<INTEGER>((inner.bottom - record.CellHeight) / 2, 0);
    }
    record.LabelText = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_CENTER, 0, record.LabelOffset, 0,
                                       record.CellHeight, record.LabelFrame, nullptr, instance, nullptr);
    if (record.LabelText) SendMessageA(record.LabelText, WM_SETFONT, reinterpret_cast<WPARAM>(record.Font), FALSE);
    const LONG_PTR own = SetWindowLongPtrA(record.InputEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&YYEditorToolbarFieldProc));
    SetWindowLongPtrA(record.InputEdit, GWLP_USERDATA, own);
}

LRESULT CALLBACK YYEditorToolbarFieldProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND parent = GetParent(edit);
    const bool combo = parent && isCombo(parent);
    HWND window = combo ? GetParent(parent) : parent;
    EditorWindowRecord* record = YYEditorRecord(window);
    if (!record || (message != WM_KEYDOWN && message != WM_CHAR)) return passOn(edit, message, wParam, lParam);
    HWND field = combo ? parent : edit;
    const bool dropped = combo && SendMessageA(field, CB_GETDROPPEDSTATE, 0, 0) != 0;
    if (message == WM_KEYDOWN) {
        switch (wParam) {
        case VK_CAPITAL: case VK_NUMLOCK: {
            const LRESULT result = passOn(edit, message, wParam, lParam);
            YYEditorLockStatus(*record, static_cast<INTEGER>(wParam));
            return result;
        }
        case VK_PRIOR: SendMessageA(record->RichEdit, EM_SCROLL, SB_PAGEUP, 0); return 0;
        case VK_NEXT: SendMessageA(record->RichEdit, EM_SCROLL, SB_PAGEDOWN, 0); return 0;
        case VK_UP: case VK_DOWN:
            if (!combo) {
                SendMessageA(record->RichEdit, EM_SCROLL, wParam == VK_UP ? SB_LINEUP : SB_LINEDOWN, 0);
                return 0;
            }
            if (dropped) return passOn(edit, message, wParam, lParam);
            historyStep(field, wParam == VK_UP);
            return 0;
        default: return passOn(edit, message, wParam, lParam);
        }
    }
    switch (wParam) {
    case 1:
        SendMessageA(edit, EM_SETSEL, 0, -1);
        SendMessageA(edit, EM_SCROLLCARET, 0, 0);
        return 0;
    case '\t':
        dialogManagerHooks().activeModelessDialogSet(nullptr);
        record->FocusControl = record->RichEdit;
        SetFocus(record->RichEdit);
        return 0;
    case '\r': {
        YYEventStore(kEventEditorNotice, 0, 0, 0, window);
        LRESULT result = 0;
        if (dropped) result = passOn(edit, message, wParam, lParam);
        if (combo) rememberLine(field);
        return result;
    }
    case 27:
        if (dropped) return passOn(edit, message, wParam, lParam);
        SetWindowTextA(field, "");
        return 0;
    default: return passOn(edit, message, wParam, lParam);
    }
}

void WEditorFieldSetFitted(INTEGER& status, std::string_view label, INTEGER length)
{
    HWND frame = nullptr;
    EditorWindowRecord* record = YYEditorCurrent(&frame);
    if (!record) {
        status = 1;
        return;
    }
    if (!record->InputField || !record->LabelFrame) {
        status = 2;
        return;
    }
    const std::string text(label.substr(0, static_cast<std::size_t>(std::clamp<INTEGER>(length, 0, static_cast<INTEGER>(label.size())))));
    SetWindowTextA(record->LabelText, text.c_str());
    int width = 0;
    if (!text.empty()) {
        WindowDc dc(record->LabelText);
        DcSelection font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(record->LabelText, WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
        RECT border{0, 0, size.cx, 0};
        AdjustWindowRectEx(&border, static_cast<DWORD>(GetWindowLongA(record->LabelFrame, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongA(record->LabelFrame, GWL_EXSTYLE)));
        width = border.right - border.left;
    }
    RECT field{};
    GetWindowRect(record->InputField, &field);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&field), 2);
    SetWindowPos(record->LabelFrame, nullptr, 0, 0, width, record->FieldHeight, SWP_NOMOVE | SWP_NOZORDER);
    RECT inner{};
    GetClientRect(record->LabelFrame, &inner);
    SetWindowPos(record->LabelText, nullptr, 0, record->LabelOffset, inner.right, record->FieldHeight - record->LabelOffset,
                 SWP_NOZORDER);
    InvalidateRect(record->LabelFrame, nullptr, TRUE);
    INTEGER left = width;
    const INTEGER slot = record->Window;
    if (record->WindowToolbars[1] && slot >= 0 && slot < kWindowSlots)
        left += windowSlotTable().Slots[static_cast<std::size_t>(slot)].ToolbarWidths[1];
    MoveWindow(record->InputField, left, field.top, std::max<LONG>(field.right - left, 0), record->FieldHeight, TRUE);
    status = 0;
}

void WEditorFieldSetText(INTEGER& status, std::string_view text, INTEGER caret)
{
    EditorWindowRecord* record = YYEditorCurrent();
    if (!record) {
        status = 1;
        return;
    }
    if (!record->InputField) {
        status = 2;
        return;
    }
    const std::string copy(text);
    if (hasList(*record)) SendMessageA(record->InputField, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetWindowTextA(record->InputField, copy.c_str());
    // The key procedure stays out of the way while the caret is placed.
    HWND edit = record->InputEdit;
    const LONG_PTR own = GetWindowLongPtrA(edit, GWLP_USERDATA);
    SetWindowLongPtrA(edit, GWLP_WNDPROC, own);
    if (hasList(*record)) SendMessageA(record->InputField, CB_SETEDITSEL, 0, MAKELPARAM(caret, caret));
    else SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(caret), caret);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&YYEditorToolbarFieldProc));
    InvalidateRect(record->InputField, nullptr, TRUE);
    status = 0;
}

void WEditorFieldKind(INTEGER& status)
{
    EditorWindowRecord* record = YYEditorCurrent();
    status = !record ? 1 : hasList(*record) ? 0 : 2;
}

void WEditorFieldClearList(INTEGER& status)
{
    EditorWindowRecord* record = YYEditorCurrent();
    if (!record) {
        status = 1;
        return;
    }
    if (!hasList(*record)) {
        status = 2;
        return;
    }
    SendMessageA(record->InputField, CB_RESETCONTENT, 0, 0);
    status = 0;
}

void WEditorFieldAddItem(INTEGER index, std::string_view text)
{
    EditorWindowRecord* record = YYEditorCurrent();
    if (!record || !hasList(*record)) return;
    const std::string copy(text);
    SendMessageA(record->InputField, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(copy.c_str()));
}

void WEditorFieldGetText(INTEGER& status, char* buffer, INTEGER capacity)
{
    EditorWindowRecord* record = YYEditorCurrent();
    if (!record) {
        status = 1;
        return;
    }
    if (!record->InputField) {
        status = 3;
        return;
    }
    const std::string text = windowTextOf(record->InputField);
    copyBounded(text, buffer, capacity);
    status = static_cast<INTEGER>(text.size()) >= capacity ? 2 : 0;
}

void WEditorFieldGetItem(INTEGER index, char* buffer, INTEGER capacity, INTEGER& status)
{
    EditorWindowRecord* record = YYEditorCurrent();
    if (!record) {
        status = 1;
        return;
    }
    const auto length = hasList(*record) ? static_cast<INTEGER>(SendMessageA(record->InputField, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0))
                                         : -1;
    if (length < 0) {
        status = 2;
        return;
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(record->InputField, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    copyBounded(text, buffer, capacity);
    status = length >= capacity ? 2 : 0;
}
