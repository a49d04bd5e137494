#include "toolkit/dialogs/DialogFieldValues.h"

#include "toolkit/foundation/CommonControls.h"

#include <climits>
#include <cmath>

#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogChoiceFields.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/NumericEdits.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/NumberParse.h"
#include "toolkit/foundation/NumberText.h"
#include "toolkit/foundation/ToolkitStartUp.h"

namespace {

std::string trimmedRight(std::string_view text)
{
    if (std::size_t nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return std::string(text);
}

HWND control(INTEGER field) { return YYDialogField(YYCurrentDialog(), field); }

// Grid style bits the grid options switch.
constexpr LONG kGridEnterMovesDown = 0x1000;
constexpr LONG kGridTabMovesCells = 0x4000;
constexpr LONG kGridReadOnly = 0x800;

// Whether a dialog is current, reported for a public routine when not.
bool dialogCurrent(const char* routine)
{
    if (YYCurrentDialog()) return true;
    YYErrorReport(1005, routine);
    return false;
}

// Whether a worker found its field, reported for a public routine when not.
bool fieldFound(INTEGER status, const char* routine)
{
    if (status != -1) return true;
    YYErrorReport(1006, routine);
    return false;
}

std::string windowText(HWND window, int limit = 65535)
{
    const int length = std::min(GetWindowTextLengthA(window), limit);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(window, text.data(), length + 1);
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

bool isCheckOrRadio(HWND c)
{
    if (YYControlClass(c) != kClassButton) return false;
    const LONG type = GetWindowLongA(c, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON;
}

// The check box or radio button of the current dialog, or null with field := -1.
HWND checkOrRadio(INTEGER& field)
{
    HWND c = control(field);
    if (!c || !isCheckOrRadio(c)) {
        field = -1;
        return nullptr;
    }
    return c;
}

// A double made an integer: truncated toward zero, held inside the integer range.
INTEGER toInteger(DOUBLE value)
{
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT_MAX;
    if (value <= -2147483648.0) return INT_MIN;
    return static_cast<INTEGER>(value);
}

void putNumber(INTEGER field, DOUBLE value, const std::string& text, const std::string& format, const char* routine)
{
    if (!dialogCurrent(routine)) return;
    std::string justified = text;
    YYLeftJustify(justified, "L");
    INTEGER f = field;
    YYFieldCheckRange(f, value);
    if (!fieldFound(f, routine)) return;
    if (f == -2) {
        YYErrorReport(1009, routine);
        return;
    }
    YYFieldPutText(f, trimmedRight(justified), value, trimmedRight(format));
    fieldFound(f, routine);
}

std::string chosenFormat(INTEGER field, std::optional<std::string_view> format)
{
    if (format) {
        std::string given = trimmedRight(format->substr(0, std::min<std::size_t>(format->size(), 50)));
        if (!given.empty()) return given;
    }
    return YYFieldFormat(field);
}

}  // namespace

void YYFieldPutText(INTEGER& field, std::string_view text, DOUBLE value, std::string_view format)
{
    HWND c = control(field);
    FieldRecord* record = YYFieldRecordOf(c);
    if (!c) {
        field = -1;
        return;
    }
    const INTEGER notify = record ? record->notifyChanges : 0;
    if (record) record->notifyChanges = 0;
    const std::string shown(text);
    if (!SetWindowTextA(c, shown.c_str())) {
        if (record) record->notifyChanges = notify;
        field = -1;
        return;
    }
    if (record) {
        record->value = value;
        if (value == 0.0) {
            DOUBLE parsed = 0.0;
            INTEGER ok = 0;
            YYParseNumberChecked(parsed, ok, shown);
            if (ok) record->value = parsed;
        }
        record->hasValue = shown.find_first_not_of(' ') != std::string::npos ? 1 : 0;
        record->format.reset();
        if (!format.empty()) record->format = std::make_shared<std::string>(format);
    }
    if (YYIsEditLike(YYControlClass(c))) SendMessageA(c, EM_SETMODIFY, FALSE, 0);
    UpdateWindow(c);
    if (record) record->notifyChanges = notify;
}

void YYFieldGetNumber(INTEGER& field, DOUBLE& value)
{
    HWND c = control(field);
    if (!c) {
        field = -1;
        return;
    }
    const std::string text = windowText(c, 254);
    if (text.find_first_not_of(' ') == std::string::npos) {
        field = -2;
        return;
    }
    const FieldRecord* record = YYFieldRecordOf(c);
    if (record && YYIsNumericClass(YYControlClass(c)) && !SendMessageA(c, EM_GETMODIFY, 0, 0)) {
        value = record->value;
        return;
    }
    YYParseNumber(value, trimmedRight(YYIsNumericClass(YYControlClass(c)) ? YYDecimalToParser(text) : text));
}

void YYFieldCheckRange(INTEGER& field, DOUBLE value)
{
    HWND c = control(field);
    if (!c) {
        field = -1;
        return;
    }
    const FieldRecord* record = YYFieldRecordOf(c);
    if (record && record->minimum <= record->maximum && (value < record->minimum || value > record->maximum))
        field = -2;
}

std::string YYFieldFormat(INTEGER field)
{
    HWND c = control(field);
    const ControlClassCode code = YYControlClass(c);
    const FieldRecord* record = YYFieldRecordOf(c);
    if (record && record->format && (code == kClassRealEdit || code == kClassDoubleEdit))
        return trimmedRight(record->format->substr(0, 49));
    return "(G15.5E2)";
}

void WDialogPutInteger(INTEGER field, INTEGER value)
{
    std::string text(100, ' ');
    IntegerToString(value, text, "(I11)");
    putNumber(field, value, text, "", "WDialogPutInteger");
}

void WDialogPutReal(INTEGER field, REAL value, std::optional<std::string_view> format)
{
    const std::string chosen = chosenFormat(field, format);
    std::string text(100, ' ');
    IRealToString(value, text, chosen);
    putNumber(field, value, text, chosen, "WDialogPutReal");
}

void WDialogPutDouble(INTEGER field, DOUBLE value, std::optional<std::string_view> format)
{
    const std::string chosen = chosenFormat(field, format);
    std::string text(100, ' ');
    IDoubleToString(value, text, chosen);
    putNumber(field, value, text, chosen, "WDialogPutDouble");
}

void WDialogPutString(INTEGER field, std::string_view text)
{
    if (!dialogCurrent("WDialogPutString")) return;
    INTEGER f = field;
    YYFieldPutText(f, trimmedRight(text), 0.0, "");
    fieldFound(f, "WDialogPutString");
}

void WDialogGetInteger(INTEGER field, INTEGER& value)
{
    if (!dialogCurrent("WDialogGetInteger")) return;
    INTEGER f = field;
    DOUBLE number = 0.0;
    YYFieldGetNumber(f, number);
    if (!fieldFound(f, "WDialogGetInteger")) return;
    if (f == -2) {
        value = undefinedValueTable().IntegerValue;
        YYErrorReport(1010, "WDialogGetInteger");
        return;
    }
    value = toInteger(number);
}

void WDialogGetReal(INTEGER field, REAL& value)
{
    if (!dialogCurrent("WDialogGetReal")) return;
    INTEGER f = field;
    DOUBLE number = 0.0;
    YYFieldGetNumber(f, number);
    if (!fieldFound(f, "WDialogGetReal")) return;
    if (f == -2) {
        value = undefinedValueTable().RealValue;
        YYErrorReport(1010, "WDialogGetReal");
        return;
    }
    value = static_cast<REAL>(number);
}

void YYFieldGetText(INTEGER& field, std::string& text)
{
    HWND c = control(field);
    if (!c) {
        field = -1;
        return;
    }
    text = windowText(c);
}

void YYFieldTextLength(INTEGER& field, INTEGER& length)
{
    HWND c = control(field);
    if (!c) {
        field = -1;
        return;
    }
    length = GetWindowTextLengthA(c);
}

void WDialogGetString(INTEGER field, std::string& text)
{
    // Without a current dialog the caller's variable is left as it was.
    if (!dialogCurrent("WDialogGetString")) return;
    const std::size_t width = text.size();
    std::string value;
    INTEGER f = field;
    YYFieldGetText(f, value);
    if (!fieldFound(f, "WDialogGetString")) value.clear();
    value.resize(width, ' ');
    text = value;
}

void WDialogGetStringLength(INTEGER field, INTEGER& length)
{
    if (!dialogCurrent("WDialogGetStringLength")) return;
    INTEGER f = field;
    YYFieldTextLength(f, length);
    fieldFound(f, "WDialogGetStringLength");
}

void YYFieldStoreRange(INTEGER& field, DOUBLE minimum, DOUBLE maximum)
{
    FieldRecord* record = YYFieldRecordOf(control(field));
    if (!record) {
        field = -1;
        return;
    }
    record->minimum = minimum;
    record->maximum = maximum;
}

void YYFieldSetRange(INTEGER& field, std::optional<INTEGER> minimum, std::optional<INTEGER> maximum)
{
    if (!minimum && !maximum) {
        YYFieldStoreRange(field, 1000.0, -1000.0);
        return;
    }
    YYFieldStoreRange(field, minimum.value_or(-2147483647), maximum.value_or(2147483647));
}

void WDialogRangeInteger(INTEGER field, std::optional<INTEGER> minimum, std::optional<INTEGER> maximum)
{
    if (!dialogCurrent("WDialogRangeInteger")) return;
    INTEGER f = field;
    YYFieldSetRange(f, minimum, maximum);
    fieldFound(f, "WDialogRangeInteger");
}

void YYFieldPutCheck(INTEGER& field, INTEGER state)
{
    if (HWND c = checkOrRadio(field)) SendMessageA(c, BM_SETCHECK, state == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void YYFieldGetCheck(INTEGER& field, INTEGER& state)
{
    if (HWND c = checkOrRadio(field)) state = SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void WDialogPutCheckBox(INTEGER field, INTEGER state)
{
    if (!dialogCurrent("WDialogPutCheckBox")) return;
    INTEGER f = field;
    YYFieldPutCheck(f, state);
    fieldFound(f, "WDialogPutCheckBox");
}

void WDialogGetCheckBox(INTEGER field, INTEGER& state)
{
    if (!dialogCurrent("WDialogGetCheckBox")) return;
    INTEGER f = field;
    YYFieldGetCheck(f, state);
    fieldFound(f, "WDialogGetCheckBox");
}

void YYRadioGroupBounds(HWND button, HWND& first, HWND& last)
{
    const ControlClassCode code = YYControlClass(button);
    const auto sameClassNoGroup = [code](HWND w) {
        return w && YYControlClass(w) == code && !(GetWindowLongA(w, GWL_STYLE) & WS_GROUP);
    };
    first = button;
    if (!(GetWindowLongA(button, GWL_STYLE) & WS_GROUP)) {
        HWND w = GetWindow(button, GW_HWNDPREV);
        HWND passed = button;
        while (sameClassNoGroup(w)) {
            passed = w;
            w = GetWindow(w, GW_HWNDPREV);
        }
        first = w && YYControlClass(w) == code && (GetWindowLongA(w, GWL_STYLE) & WS_GROUP) ? w : passed;
    }
    last = button;
    for (HWND w = GetWindow(button, GW_HWNDNEXT); sameClassNoGroup(w); w = GetWindow(w, GW_HWNDNEXT)) last = w;
}

void YYFieldPutRadio(INTEGER& field)
{
    HWND c = checkOrRadio(field);
    if (!c) return;
    HWND first = nullptr, last = nullptr;
    YYRadioGroupBounds(c, first, last);
    for (HWND w = first; w; w = GetWindow(w, GW_HWNDNEXT)) {
        SendMessageA(w, BM_SETCHECK, w == c ? BST_CHECKED : BST_UNCHECKED, 0);
        if (w == last) break;
    }
}

void YYFieldGetRadio(INTEGER& field, INTEGER& position)
{
    HWND c = checkOrRadio(field);
    if (!c) return;
    HWND first = nullptr, last = nullptr;
    YYRadioGroupBounds(c, first, last);
    INTEGER index = 1;
    for (HWND w = first; w; w = GetWindow(w, GW_HWNDNEXT), ++index) {
        if (SendMessageA(w, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            position = index;
            return;
        }
        if (w == last) break;
    }
    field = -2;
}

void WDialogPutRadioButton(INTEGER field)
{
    if (!dialogCurrent("WDialogPutRadioButton")) return;
    INTEGER f = field;
    YYFieldPutRadio(f);
    fieldFound(f, "WDialogPutRadioButton");
}

void WDialogGetRadioButton(INTEGER field, INTEGER& position)
{
    if (!dialogCurrent("WDialogGetRadioButton")) return;
    INTEGER f = field;
    YYFieldGetRadio(f, position);
    if (!fieldFound(f, "WDialogGetRadioButton")) return;
    if (f == -2) {
        position = undefinedValueTable().IntegerValue;
        YYErrorReport(1010, "WDialogGetRadioButton");
    }
}

INTEGER YYFieldGeometry(HWND c, const RECT& area)
{
    RECT r{};
    GetWindowRect(c, &r);
    if (const FieldRecord* record = YYFieldRecordOf(c); record && record->spinControl) {
        RECT s{};
        GetWindowRect(record->spinControl, &s);
        r.right = s.right;
    }
    if (r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom) return 1;
    RECT overlap{};
    return IntersectRect(&overlap, &r, &area) ? 2 : 0;
}

void YYFieldSetState(INTEGER& field, INTEGER state, INTEGER skipSurfaceUpdate)
{
    HWND dialog = YYCurrentDialog();
    HWND c = control(field);
    if (!c) {
        field = -1;
        return;
    }
    FieldRecord* record = YYFieldRecordOf(c);
    if (record) record->state = state;
    RECT area{};
    GetClientRect(dialog, &area);
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&area), 2);
    bool resizable = false;
    for (HWND d = dialog; d && !resizable; d = (GetWindowLongA(d, GWL_STYLE) & WS_CHILD) ? GetParent(d) : nullptr)
        resizable = YYDialogIsResizable(d);
    if (YYFieldGeometry(c, area) != 1 && !resizable) return;
    const ControlClassCode code = YYControlClass(c);
    const bool editLike = YYIsEditLike(code);
    const bool grid = code == kClassGrid;
    if (editLike) {
        EnableWindow(c, state == 1 || state == 2);
        SendMessageA(c, EM_SETREADONLY, state == 2, 0);
    } else if (grid) {
        // A read-only grid stays enabled so that its cells can still be scrolled and selected.
        EnableWindow(c, state == 1 || state == 2);
        const LONG style = GetWindowLongA(c, GWL_STYLE);
        SetWindowLongA(c, GWL_STYLE, state == 2 ? (style | kGridReadOnly) : (style & ~kGridReadOnly));
        InvalidateRect(c, nullptr, FALSE);
    } else {
        EnableWindow(c, state == 1);
    }
    HWND spin = record ? record->spinControl : nullptr;
    if (spin) EnableWindow(spin, state == 1);
    const int show = state == 3 ? SW_HIDE : SW_SHOWNA;
    ShowWindow(c, show);
    if (spin) ShowWindow(spin, show);
    // The selected tab's page is a sibling of the tab control, not its child.
    HWND page = nullptr;
    if (code == kClassTabControl) {
        const INTEGER selected = static_cast<INTEGER>(TabCtrl_GetCurSel(c));
        if (selected >= 0) page = YYDialogByIdentifier(YYTabData(c, selected).page);
        if (page) ShowWindow(page, show);
    }
    if (code == kClassStatic) InvalidateRect(c, nullptr, TRUE);
    if (!(skipSurfaceUpdate && record && record->drawSurface)) UpdateWindow(c);
    const bool losesFocus = state == 0 || state == 3 || (state == 2 && !editLike && !grid);
    HWND focus = GetFocus();
    if (losesFocus && focus && (focus == c || IsChild(c, focus) || (state == 3 && page && IsChild(page, focus)))) {
        DialogRecord* owner = YYDialogRecordOf(dialog);
        if (owner) owner->lastInputControl = nullptr;
        SetFocus(owner && owner->combinedWindow ? owner->combinedWindow : dialog);
    }
}

void WDialogFieldState(INTEGER field, INTEGER state)
{
    if (!dialogCurrent("WDialogFieldState")) return;
    INTEGER f = field;
    YYFieldSetState(f, state, 0);
    fieldFound(f, "WDialogFieldState");
}

void YYFieldSetOption(INTEGER& field, INTEGER option, INTEGER onOff)
{
    HWND c = control(field);
    if (!c) {
        field = -1;
        return;
    }
    const ControlClassCode code = YYControlClass(c);
    switch (option) {
    case kOptionGridEnterMovesDown:
    case kOptionGridTabMovesCells: {
        if (code != kClassGrid) {
            field = -1;
            return;
        }
        const LONG bit = option == kOptionGridEnterMovesDown ? kGridEnterMovesDown : kGridTabMovesCells;
        const LONG style = GetWindowLongA(c, GWL_STYLE);
        SetWindowLongA(c, GWL_STYLE, onOff ? (style | bit) : (style & ~bit));
        return;
    }
    case kOptionReportEveryChange: {
        FieldRecord* record = YYFieldRecordOf(c);
        if (!record || !(YYIsEditLike(code) || code == kClassGrid || code == kClassComboBox)) {
            field = -1;
            return;
        }
        record->notifyChanges = onOff != 0 ? 1 : 0;
        return;
    }
    default: return;
    }
}

void WDialogFieldOptions(INTEGER field, INTEGER option, INTEGER onOff)
{
    if (!dialogCurrent("WDialogFieldOptions")) return;
    INTEGER f = field;
    YYFieldSetOption(f, option, onOff);
    fieldFound(f, "WDialogFieldOptions");
}

INTEGER YYFieldKindOf(HWND c)
{
    const LONG style = GetWindowLongA(c, GWL_STYLE);
    switch (YYControlClass(c)) {
    case kClassStatic: {
        const LONG low = style & 0xFF;
        return low == 0 || low == 1 || low == 11 ? kFieldLabel : kFieldPicture;
    }
    case kClassEdit: return kFieldString;
    case kClassIntegerEdit: case kClassIntegerSpin: return kFieldInteger;
    case kClassRealEdit: case kClassRealSpin: return kFieldReal;
    case kClassDoubleEdit: case kClassDoubleSpin: return kFieldDouble;
    case kClassButton:
        if ((style & 7) == 7) return kFieldGroupBox;
        if ((style & 3) == 3) return kFieldCheckBox;
        if ((style & 9) == 9) return kFieldRadioButton;
        return kFieldPushButton;
    case kClassComboBox: return kFieldMenu;
    case kClassListBox: return kFieldList;
    case kClassTabControl: return kFieldTab;
    case kClassProgress: return kFieldProgressBar;
    case kClassGrid: return kFieldGrid;
    case kClassTrackbar: return kFieldTrackbar;
    case kClassTreeView: return kFieldTreeView;
    default: return kFieldOther;
    }
}

INTEGER YYFieldStateOf(HWND c)
{
    const LONG style = GetWindowLongA(c, GWL_STYLE);
    if (!(style & WS_VISIBLE)) return kFieldHidden;
    if (style & WS_DISABLED) return kFieldDisabled;
    const ControlClassCode code = YYControlClass(c);
    if ((YYIsEditLike(code) || code == kClassGrid) && (style & 0x800)) return kFieldReadOnly;
    return kFieldEnabled;
}

void YYFieldRect(INTEGER& field, RECT& rect)
{
    HWND dialog = YYCurrentDialog();
    HWND c = control(field);
    if (!dialog || !c) {
        field = -1;
        return;
    }
    RECT r{};
    GetClientRect(c, &r);
    MapWindowPoints(c, dialog, reinterpret_cast<POINT*>(&r), 2);
    rect = r;
}

INTEGER WDialogFieldQuery(INTEGER field, INTEGER code)
{
    if (!YYCurrentDialog()) return 0;
    INTEGER f = field;
    switch (code) {
    case kQueryLeft:
    case kQueryTop:
    case kQueryWidth:
    case kQueryHeight: {
        RECT r{};
        YYFieldRect(f, r);
        if (f == -1) return 0;
        const INTEGER values[] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
        return values[code - kQueryLeft];
    }
    case kQueryKind:
    case kQueryState: {
        HWND c = control(field);
        if (!c) return 0;
        return code == kQueryKind ? YYFieldKindOf(c) : YYFieldStateOf(c);
    }
    case kQueryTrackbarMinimum:
    case kQueryTrackbarMaximum: {
        INTEGER minimum = 0, maximum = 0;
        YYTrackbarRangeOf(f, minimum, maximum);
        if (f == -1) return 0;
        return code == kQueryTrackbarMinimum ? minimum : maximum;
    }
    default: return 0;
    }
}
