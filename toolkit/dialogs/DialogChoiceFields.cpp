#include "toolkit/dialogs/DialogChoiceFields.h"

#include "toolkit/foundation/CommonControls.h"

#include <algorithm>
#include <cctype>

#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogFieldValues.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/DialogTreeFields.h"
#include "toolkit/dialogs/GridCellValues.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/ToolkitStartUp.h"

namespace {

HWND control(INTEGER field) { return YYDialogField(YYCurrentDialog(), field); }

HWND classed(INTEGER& field, ControlClassCode wanted)
{
    HWND c = control(field);
    if (!c || YYControlClass(c) != wanted) {
        field = -1;
        return nullptr;
    }
    return c;
}

bool haveDialog(const char* routine)
{
    if (YYCurrentDialog()) return true;
    YYErrorReport(1005, routine);
    return false;
}

std::string trimmedRight(std::string_view text)
{
    if (std::size_t nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return std::string(text);
}

std::string itemText(HWND c, UINT lengthMessage, UINT textMessage, WPARAM index)
{
    const LRESULT length = SendMessageA(c, lengthMessage, index, 0);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(c, textMessage, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

std::string windowText(HWND c)
{
    const int length = GetWindowTextLengthA(c);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(c, text.data(), length + 1);
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

void padInto(std::string* target, const std::string& value)
{
    if (!target) return;
    std::string padded = value;
    padded.resize(target->size(), ' ');
    *target = padded;
}

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

}  // namespace

INTEGER YYMenuFieldKind(INTEGER& field)
{
    HWND c = control(field);
    if (!c) {
        field = -1;
        return kMenuOther;
    }
    const LONG style = GetWindowLongA(c, GWL_STYLE);
    switch (YYControlClass(c)) {
    case kClassListBox:
        return (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) ? kMenuMultiList : kMenuList;
    case kClassComboBox:
        return (style & 3) == CBS_DROPDOWNLIST ? kMenuDropList : kMenuEditableCombo;
    default:
        return kMenuOther;
    }
}

void YYMenuFieldAdd(INTEGER& field, std::string_view text)
{
    const INTEGER kind = YYMenuFieldKind(field);
    if (kind == kMenuOther) {
        field = -1;
        return;
    }
    const std::string entry(text);
    HWND c = control(field);
    SendMessageA(c, kind == kMenuList || kind == kMenuMultiList ? LB_ADDSTRING : CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(entry.c_str()));
}

void YYMenuFieldSelect(INTEGER& field, INTEGER index)
{
    const INTEGER kind = YYMenuFieldKind(field);
    if (kind == kMenuOther) {
        field = -1;
        return;
    }
    HWND c = control(field);
    const bool list = kind == kMenuList || kind == kMenuMultiList;
    const LRESULT count = SendMessageA(c, list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0);
    // -1 clears the selection; any other index must name an entry.
    if (index < -1 || index >= count) {
        SendMessageA(c, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        field = -1;
        return;
    }
    SendMessageA(c, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void YYComboSelectText(INTEGER& field, std::string_view text)
{
    HWND c = classed(field, kClassComboBox);
    if (!c) return;
    const LRESULT count = SendMessageA(c, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (sameIgnoringCase(itemText(c, CB_GETLBTEXTLEN, CB_GETLBTEXT, static_cast<WPARAM>(i)), text)) {
            SendMessageA(c, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            return;
        }
    }
    SendMessageA(c, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetWindowTextA(c, std::string(text).c_str());
}

INTEGER YYFieldGetListText(INTEGER& field, std::string* text)
{
    HWND c = classed(field, kClassListBox);
    if (!c) return -1;
    const LRESULT selected = SendMessageA(c, LB_GETCURSEL, 0, 0);
    if (selected < 0) return -1;
    padInto(text, itemText(c, LB_GETTEXTLEN, LB_GETTEXT, static_cast<WPARAM>(selected)));
    return static_cast<INTEGER>(selected) + 1;
}

INTEGER YYFieldGetComboSel(INTEGER& field, std::string* text)
{
    HWND c = classed(field, kClassComboBox);
    if (!c) return -1;
    const LRESULT selected = SendMessageA(c, CB_GETCURSEL, 0, 0);
    const std::string shown = windowText(c);
    padInto(text, shown);
    if (selected >= 0) return static_cast<INTEGER>(selected) + 1;
    if (shown.empty()) return -1;
    const LRESULT count = SendMessageA(c, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        if (itemText(c, CB_GETLBTEXTLEN, CB_GETLBTEXT, static_cast<WPARAM>(i)) == shown)
            return static_cast<INTEGER>(i) + 1;
    return 0;  // a typed text that is no entry
}

void WDialogPutMenu(INTEGER field, std::span<const std::string> texts, INTEGER count, INTEGER option,
                    std::optional<std::string_view> text)
{
    static constexpr const char* kRoutine = "WDialogPutMenu";
    if (!haveDialog(kRoutine)) return;
    INTEGER id = field;
    const INTEGER kind = YYMenuFieldKind(id);
    if (kind == kMenuOther || kind == kMenuMultiList) {
        YYErrorReport(1006, kRoutine);
        return;
    }
    YYFieldClear(id);
    // Never more entries than the caller handed over.
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(std::max(count, 0)), texts.size());
    for (std::size_t i = 0; i < n; ++i) YYMenuFieldAdd(id, trimmedRight(texts[i]));
    if (kind == kMenuEditableCombo && text && option == 0) {
        YYComboSelectText(id, trimmedRight(*text));
        return;
    }
    YYMenuFieldSelect(id, option - 1);
    if (id == -1) YYErrorReport(1011, kRoutine);
}

void WDialogGetMenu(INTEGER field, INTEGER& option, std::string* text)
{
    static constexpr const char* kRoutine = "WDialogGetMenu";
    if (!haveDialog(kRoutine)) return;
    INTEGER id = field;
    const INTEGER kind = YYMenuFieldKind(id);
    if (kind == kMenuOther || kind == kMenuMultiList) {
        YYErrorReport(1006, kRoutine);
        return;
    }
    const INTEGER selected = kind == kMenuList ? YYFieldGetListText(id, text) : YYFieldGetComboSel(id, text);
    if (selected == -1) {
        option = undefinedValueTable().IntegerValue;
        YYErrorReport(1010, kRoutine);
        return;
    }
    option = selected;
}

void WDialogPutOption(INTEGER field, INTEGER option)
{
    static constexpr const char* kRoutine = "WDialogPutOption";
    if (!haveDialog(kRoutine)) return;
    INTEGER id = field;
    const INTEGER kind = YYMenuFieldKind(id);
    if (kind == kMenuOther || kind == kMenuMultiList) {
        YYErrorReport(1006, kRoutine);
        return;
    }
    HWND c = control(id);
    const bool list = kind == kMenuList;
    const LRESULT count = SendMessageA(c, list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0);
    if (option < 1 || option > count) {
        YYErrorReport(1011, kRoutine);  // the selection stays as it was
        return;
    }
    YYMenuFieldSelect(id, option - 1);
}

void YYProgressRange(INTEGER& field, INTEGER minimum, INTEGER maximum)
{
    if (HWND c = classed(field, kClassProgress))
        SendMessageA(c, PBM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(minimum), static_cast<WORD>(maximum)));
}

void YYProgressPut(INTEGER& field, INTEGER value, INTEGER mode)
{
    if (HWND c = classed(field, kClassProgress))
        SendMessageA(c, mode == 0 ? PBM_SETPOS : PBM_DELTAPOS, static_cast<WPARAM>(value), 0);
}

void WDialogRangeProgressBar(INTEGER field, INTEGER minimum, INTEGER maximum)
{
    static constexpr const char* kRoutine = "WDialogRangeProgressBar";
    if (!haveDialog(kRoutine)) return;
    INTEGER id = field;
    if (!classed(id, kClassProgress)) {
        YYErrorReport(1006, kRoutine);
        return;
    }
    if (minimum >= maximum || minimum < 0 || maximum > 65535) {
        YYErrorReport(1013, kRoutine);
        return;
    }
    YYProgressRange(id, minimum, maximum);
}

void WDialogPutProgressBar(INTEGER field, INTEGER value, std::optional<INTEGER> mode)
{
    static constexpr const char* kRoutine = "WDialogPutProgressBar";
    if (!haveDialog(kRoutine)) return;
    INTEGER id = field;
    if (!classed(id, kClassProgress)) {
        YYErrorReport(1006, kRoutine);
        return;
    }
    YYProgressPut(id, value, mode.value_or(0));
}

void YYTrackbarRange(INTEGER& field, INTEGER minimum, INTEGER maximum, INTEGER tickEvery)
{
    HWND c = classed(field, kClassTrackbar);
    if (!c) return;
    SendMessageA(c, TBM_SETRANGEMIN, FALSE, minimum);
    SendMessageA(c, TBM_SETRANGEMAX, TRUE, maximum);
    if (tickEvery > 0) SendMessageA(c, TBM_SETTICFREQ, static_cast<WPARAM>(tickEvery), 0);
}

void YYTrackbarSteps(INTEGER& field, INTEGER line, INTEGER page)
{
    HWND c = classed(field, kClassTrackbar);
    if (!c) return;
    SendMessageA(c, TBM_SETLINESIZE, 0, line);
    SendMessageA(c, TBM_SETPAGESIZE, 0, page > 0 ? page : line);
}

void YYTrackbarPut(INTEGER& field, INTEGER position, INTEGER mode, INTEGER selectionStart, INTEGER selectionEnd)
{
    HWND c = classed(field, kClassTrackbar);
    if (!c) return;
    SendMessageA(c, TBM_SETPOS, TRUE, position);
    if (!(GetWindowLongA(c, GWL_STYLE) & TBS_ENABLESELRANGE)) return;
    if (mode == 0) {
        SendMessageA(c, TBM_SETSELSTART, FALSE, selectionStart);
        SendMessageA(c, TBM_SETSELEND, TRUE, selectionEnd);
    } else if (mode == 2) {
        SendMessageA(c, TBM_CLEARSEL, TRUE, 0);
    }
}

void YYTrackbarGet(INTEGER& field, INTEGER& position, INTEGER& selectionStart, INTEGER& selectionEnd)
{
    HWND c = classed(field, kClassTrackbar);
    if (!c) return;
    position = static_cast<INTEGER>(SendMessageA(c, TBM_GETPOS, 0, 0));
    selectionStart = selectionEnd = dialogManagerState().trackbarUndefined;
    if (!(GetWindowLongA(c, GWL_STYLE) & TBS_ENABLESELRANGE)) return;
    const INTEGER start = static_cast<INTEGER>(SendMessageA(c, TBM_GETSELSTART, 0, 0));
    const INTEGER end = static_cast<INTEGER>(SendMessageA(c, TBM_GETSELEND, 0, 0));
    if (start < end) {
        selectionStart = start;
        selectionEnd = end;
    }
}

void YYTrackbarRangeOf(INTEGER& field, INTEGER& minimum, INTEGER& maximum)
{
    HWND c = classed(field, kClassTrackbar);
    if (!c) return;
    minimum = static_cast<INTEGER>(SendMessageA(c, TBM_GETRANGEMIN, 0, 0));
    maximum = static_cast<INTEGER>(SendMessageA(c, TBM_GETRANGEMAX, 0, 0));
}

INTEGER YYTabGetCurrent(INTEGER& field)
{
    HWND c = classed(field, kClassTabControl);
    if (!c) return 0;
    const INTEGER selected = static_cast<INTEGER>(TabCtrl_GetCurSel(c));
    return selected < 0 ? 0 : YYTabData(c, selected).page;
}

void YYFieldClear(INTEGER& field)
{
    HWND c = control(field);
    if (!c) {
        field = -1;
        return;
    }
    const ControlClassCode code = YYControlClass(c);
    const LONG style = GetWindowLongA(c, GWL_STYLE);
    bool radio = false;
    switch (code) {
    case kClassEdit: case kClassIntegerEdit: case kClassIntegerSpin: case kClassRealEdit: case kClassRealSpin:
    case kClassDoubleEdit: case kClassDoubleSpin:
        SetWindowTextA(c, "");
        SendMessageA(c, EM_SETMODIFY, FALSE, 0);
        break;
    case kClassStatic:
        SetWindowTextA(c, "");
        break;
    case kClassButton: {
        const LONG type = style & BS_TYPEMASK;
        if (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON) {
            radio = true;
            HWND first = nullptr, last = nullptr;
            YYRadioGroupBounds(c, first, last);
            for (HWND b = first ? first : c; b; b = GetWindow(b, GW_HWNDNEXT)) {
                SendMessageA(b, BM_SETCHECK, BST_UNCHECKED, 0);
                InvalidateRect(b, nullptr, TRUE);
                if (b == last || !last) break;
            }
        } else if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE) {
            SendMessageA(c, BM_SETCHECK, BST_UNCHECKED, 0);
        } else {
            SetWindowTextA(c, "");
        }
        break;
    }
    case kClassComboBox:
        SendMessageA(c, CB_RESETCONTENT, 0, 0);
        break;
    case kClassListBox:
        SendMessageA(c, LB_RESETCONTENT, 0, 0);
        break;
    case kClassProgress:
        SendMessageA(c, PBM_SETPOS, static_cast<WPARAM>(SendMessageA(c, PBM_GETRANGE, TRUE, 0)), 0);
        break;
    case kClassTrackbar:
        if (style & TBS_ENABLESELRANGE) SendMessageA(c, TBM_CLEARSEL, TRUE, 0);
        break;
    case kClassTreeView:
        YYTreeDeleteAll(c);
        break;
    case kClassGrid:
        YYGridClearAll(c, true);
        break;
    default:
        field = -1;
        return;
    }
    if (!radio)
        if (FieldRecord* record = YYFieldRecordOf(c)) {
            record->value = 0.0;
            record->hasValue = 0;
        }
    RedrawWindow(c, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}
