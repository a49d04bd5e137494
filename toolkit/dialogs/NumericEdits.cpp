#include "toolkit/dialogs/NumericEdits.h"

#include "toolkit/foundation/CommonControls.h"

#include <cmath>
#include <string>

#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogHooks.h"
#include "toolkit/dialogs/DialogProc.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/foundation/NumberParse.h"
#include "toolkit/foundation/NumberText.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"

namespace {

constexpr const char* kDefaultFormat = "(G15.5E2)";
constexpr std::size_t kTextWidth = 255;

struct NumericClass {
    const char* name;
    WNDPROC procedure;
};

const NumericClass kNumericClasses[] = {
    {"INTEGEREDIT", YYIntegerEditProc}, {"INTEGERSPIN", YYIntegerSpinProc}, {"REALEDIT", YYRealEditProc},
    {"REALSPIN", YYRealSpinProc},       {"DOUBLEEDIT", YYDoubleEditProc},   {"DOUBLESPIN", YYDoubleSpinProc},
};

bool isSpin(ControlClassCode code)
{
    return code == kClassIntegerSpin || code == kClassRealSpin || code == kClassDoubleSpin;
}
bool isInteger(ControlClassCode code) { return code == kClassIntegerEdit || code == kClassIntegerSpin; }
bool isDouble(ControlClassCode code) { return code == kClassDoubleEdit || code == kClassDoubleSpin; }

LRESULT callEdit(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC procedure = numericEditState().editProcedure;
    return procedure ? CallWindowProcA(procedure, window, message, wParam, lParam)
                     : DefWindowProcA(window, message, wParam, lParam);
}

std::string windowText(HWND window, std::size_t limit)
{
    std::string text(limit + 1, '\0');
    const int n = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
}

bool blank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

// The routines below write into a blank-padded buffer and end the text with a NUL.
std::string trimmed(std::string text)
{
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string formatOf(const FieldRecord& field)
{
    return field.format && !field.format->empty() ? *field.format : std::string(kDefaultFormat);
}

bool isPushButton(HWND window)
{
    if (!window || YYControlClass(window) != kClassButton) return false;
    const LONG type = GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

void beep() { YYBeep(); }

bool accepted(ControlClassCode code, WPARAM& character)
{
    switch (character) {
    case 1: case 3: case 8: case 9: case 13: case 22: case 24: case 26: case 27:
        return true;
    default:
        break;
    }
    if ((character >= '0' && character <= '9') || character == '+' || character == '-') return true;
    if (isInteger(code)) return false;
    const CursorState& c = cursorState();
    const char decimal = c.DecimalSwitch ? c.DecimalSeparator : '.';
    if (character == static_cast<unsigned char>(decimal) || character == 'E') return true;
    if (character == 'e') {
        character = 'E';
        return true;
    }
    if (!isDouble(code)) return false;
    if (character == 'D') return true;
    if (character == 'd') {
        character = 'D';
        return true;
    }
    return false;
}

void create(HWND window, const CREATESTRUCTA& create)
{
    const ControlClassCode code = YYControlClass(window);
    FieldRecord* field = YYFieldRecordOf(window);
    std::string text = create.lpszName && !IS_INTRESOURCE(create.lpszName) ? create.lpszName : "";
    if (text.size() > 254) text.resize(254);
    const CursorState& c = cursorState();
    if (c.DecimalSwitch)
        for (char& ch : text)
            if (ch == '.') ch = c.DecimalSeparator;
    SetWindowTextA(window, text.c_str());
    if (field) {
        YYParseNumber(field->value, YYDecimalToParser(text));
        field->hasValue = text.empty() ? 0 : 1;
    }
    SendMessageA(window, EM_SETMODIFY, FALSE, 0);
    if (isInteger(code)) {
        if (field) field->maxLength = 11;
        SendMessageA(window, EM_SETLIMITTEXT, 11, 0);
    }
    if (!isSpin(code) || !field) return;
    HWND parent = GetParent(window);
    if (!parent) return;
    DWORD style = WS_CHILD | WS_BORDER | UDS_ALIGNRIGHT | UDS_ARROWKEYS;
    if (create.style & WS_VISIBLE) style |= WS_VISIBLE;
    if (create.style & ES_READONLY) style |= WS_DISABLED;
    if (code != kClassIntegerSpin) style |= UDS_NOTHOUSANDS;
    HWND upDown = CreateWindowExA(0, UPDOWN_CLASSA, " ", style, 0, 0, 1, 1, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), GetModuleHandleA(nullptr), nullptr);
    if (!upDown) return;
    SendMessageA(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(window), 0);
    SendMessageA(upDown, UDM_SETRANGE, 0, MAKELPARAM(100, -100));
    UDACCEL accel[2] = {{0, 1}, {2, 5}};
    SendMessageA(upDown, UDM_SETACCEL, 2, reinterpret_cast<LPARAM>(accel));
    if (code == kClassIntegerSpin) {
        INTEGER position = 0;
        YYParseNumberQuiet(position, YYDecimalToParser(text));
        SendMessageA(upDown, UDM_SETPOS, 0, MAKELPARAM(static_cast<WORD>(position & 0xFFFF), 0));
    }
    NumericEditState& s = numericEditState();
    if (!s.upDownProcedure) s.upDownProcedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(upDown, GWLP_WNDPROC));
    SetWindowLongPtrA(upDown, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(YYUpDownProc));
    field->spinControl = upDown;
}

// Reparses and rewrites the text of a field whose entry was accepted.
void rewrite(HWND window, FieldRecord& field, ControlClassCode code)
{
    if (!isInteger(code) && !SendMessageA(window, EM_GETMODIFY, 0, 0)) return;
    const std::string text = YYDecimalToParser(windowText(window, kTextWidth));
    if (blank(text)) {
        field.value = 0.0;
        return;
    }
    YYParseNumber(field.value, text);
    field.hasValue = 1;
    std::string buffer = text;
    buffer.resize(kTextWidth, ' ');
    if (isInteger(code)) YYReformatInteger(buffer);
    else if (isDouble(code)) YYReformatDouble(buffer, formatOf(field));
    else YYReformatReal(buffer, formatOf(field));
    const std::string shown = isInteger(code) ? trimmed(buffer) : YYDecimalToLocale(trimmed(buffer));
    SetWindowTextA(window, shown.c_str());
    SendMessageA(window, EM_SETMODIFY, FALSE, 0);
}

}  // namespace

NumericEditState& numericEditState()
{
    static NumericEditState state;
    return state;
}

void YYRegisterNumericEdits()
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, "INTEGEREDIT", &existing)) return;
    HWND parent = windowSlotTable().Slots[0].Frame.get();
    {
        const WindowHandle probe(CreateWindowExA(0, "EDIT", " ", parent ? WS_CHILD : WS_POPUP, 0, 0, 0, 0, parent,
                                                 nullptr, instance, nullptr));
        if (!probe) return;
        NumericEditState& s = numericEditState();
        s.editProcedure = reinterpret_cast<WNDPROC>(GetClassLongPtrA(probe.get(), GCLP_WNDPROC));
        s.editAtom = static_cast<ATOM>(GetClassLongPtrA(probe.get(), GCW_ATOM));
    }
    WNDCLASSEXA edit{};
    edit.cbSize = sizeof edit;
    GetClassInfoExA(nullptr, "EDIT", &edit);
    for (const NumericClass& c : kNumericClasses) {
        WNDCLASSEXA info{};
        info.cbSize = sizeof info;
        info.style = edit.style & ~CS_GLOBALCLASS;
        info.lpfnWndProc = c.procedure;
        info.cbClsExtra = edit.cbClsExtra;
        info.cbWndExtra = edit.cbWndExtra;
        info.hInstance = instance;
        info.hIcon = edit.hIcon;
        info.hCursor = edit.hCursor;
        info.hbrBackground = edit.hbrBackground;
        info.lpszClassName = c.name;
        RegisterClassExA(&info);
    }
}

LRESULT YYNumericEditCommon(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    NumericEditState& s = numericEditState();
    switch (message) {
    case WM_NCCREATE: {
        FieldRecord* field = YYFieldRecordMake(window);
        field->smallStep = 1.0;
        field->largeStep = 5.0;
        return callEdit(window, message, wParam, lParam);
    }
    case WM_CREATE: {
        const LRESULT result = callEdit(window, message, wParam, lParam);
        if (result != -1 && lParam) create(window, *reinterpret_cast<const CREATESTRUCTA*>(lParam));
        return result;
    }
    case WM_DESTROY: {
        FieldRecord* field = YYFieldRecordOf(window);
        if (field && field->spinControl && IsWindow(field->spinControl)) DestroyWindow(field->spinControl);
        if (field) field->spinControl = nullptr;
        if (s.pendingField == window) s.pendingField = nullptr;
        if (s.tabPendingField == window) s.tabPendingField = nullptr;
        break;
    }
    case WM_NCDESTROY: {
        const LRESULT result = callEdit(window, message, wParam, lParam);
        YYFieldRecordFree(window);  // the record goes with the window, in a dialog or not
        return result;
    }
    case WM_GETDLGCODE: {
        LRESULT code = callEdit(window, message, wParam, lParam);
        const MSG* pending = reinterpret_cast<const MSG*>(lParam);
        if (pending && pending->message == WM_KEYDOWN) {
            if (pending->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
            if (pending->wParam == VK_TAB)
                if (FieldRecord* field = YYFieldRecordOf(window)) field->tabPressed = 1;
        }
        return code;
    }
    case WM_KEYDOWN:
        if (wParam == VK_TAB) {
            if (FieldRecord* field = YYFieldRecordOf(window)) field->tabPressed = 1;
        } else if (wParam == VK_RETURN && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
            YYNotifyParent(window);
            return 0;
        }
        break;
    case WM_CHAR: {
        if (wParam == 1) {
            SendMessageA(window, EM_SETSEL, 0, -1);
            SendMessageA(window, EM_SCROLLCARET, 0, 0);
            return 0;
        }
        if (wParam == 13) return 0;  // Enter has acted on key down
        WPARAM character = wParam;
        if (!accepted(YYControlClass(window), character)) {
            beep();
            return 0;
        }
        return callEdit(window, message, character, lParam);
    }
    case WM_SETFOCUS: {
        // A refused entry that takes the focus back is still the user's pending edit: it keeps
        // its modified mark, so that the accepted text is parsed when the focus finally leaves.
        if (s.validating) break;
        FieldRecord* field = YYFieldRecordOf(window);
        if (s.saveOnFocus) {
            s.saveOnFocus = 0;
            s.savedText = windowText(window, 254);
            s.savedValue = field ? field->value : 0.0;
        }
        if (field) field->tabPressed = 0;
        SendMessageA(window, EM_SETMODIFY, FALSE, 0);
        break;
    }
    case WM_KILLFOCUS:
        if (YYNumericValidate(window, reinterpret_cast<HWND>(wParam), 0)) return 0;
        break;
    default:
        break;
    }
    return callEdit(window, message, wParam, lParam);
}

LRESULT CALLBACK YYIntegerEditProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return YYNumericEditCommon(w, m, wp, lp); }
LRESULT CALLBACK YYIntegerSpinProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return YYNumericEditCommon(w, m, wp, lp); }
LRESULT CALLBACK YYRealEditProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return YYNumericEditCommon(w, m, wp, lp); }
LRESULT CALLBACK YYRealSpinProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return YYNumericEditCommon(w, m, wp, lp); }
LRESULT CALLBACK YYDoubleEditProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return YYNumericEditCommon(w, m, wp, lp); }
LRESULT CALLBACK YYDoubleSpinProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return YYNumericEditCommon(w, m, wp, lp); }

INTEGER YYNumericValidate(HWND window, HWND receiving, INTEGER selfCheck)
{
    NumericEditState& s = numericEditState();
    const ControlClassCode code = YYControlClass(window);
    if (s.validating || s.validationSuspended || !YYIsNumericClass(code)) return 0;
    const WindowSlot& main = windowSlotTable().Slots[0];
    if (receiving && (receiving == main.Frame.get() || receiving == main.Client)) return 0;
    FieldRecord* field = YYFieldRecordOf(window);
    if (!field) return 0;

    s.tabPendingField = nullptr;
    const bool moved = receiving && receiving != window;
    if (moved) {
        s.pendingField = nullptr;
        if (!field->tabPressed && isPushButton(receiving) && GetDlgCtrlID(receiving) != 1)
            s.pendingField = window;
        else if (YYControlClass(receiving) == kClassTabControl)
            s.tabPendingField = window;
    }

    const std::string text = YYDecimalToParser(windowText(window, kTextWidth));
    const bool hasRange = field->minimum <= field->maximum;
    bool refused = false;
    if (blank(text)) {
        refused = field->hasValue && hasRange;
    } else {
        DOUBLE value = 0.0;
        INTEGER parsed = 0;
        YYParseNumberChecked(value, parsed, text);
        if (parsed) refused = hasRange && (value < field->minimum || value > field->maximum);
        else refused = !(receiving == window && !selfCheck);
    }

    if (refused) {
        if (s.pendingField) return 0;  // the push button decides
        s.validating = 1;
        YYFieldRefocus(receiving, window, field->tabPressed);
        s.validating = 0;
        return 1;
    }
    if (moved) {
        s.pendingField = nullptr;
        s.tabPendingField = nullptr;
        s.saveOnFocus = 1;
    }
    rewrite(window, *field, code);
    return 0;
}

void YYFieldRefocus(HWND taker, HWND window, INTEGER tabbed)
{
    if (taker != window) beep();
    SetFocus(window);
    SendMessageA(window, EM_SETSEL, 0, -1);
    if (!isPushButton(taker)) return;
    HWND dialog = GetParent(window);
    const LRESULT answer = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    const INTEGER defaultId = HIWORD(answer) == DC_HASDEFID ? LOWORD(answer) : 1;
    if (GetDlgCtrlID(taker) == defaultId) return;
    SendMessageA(taker, BM_SETSTYLE, tabbed ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    if (HWND standard = GetDlgItem(dialog, defaultId))
        SendMessageA(standard, BM_SETSTYLE, tabbed ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON, TRUE);
}

bool YYSpinStep(HWND buddy, INTEGER delta)
{
    if (!buddy) return false;
    const ControlClassCode code = YYControlClass(buddy);
    FieldRecord* field = YYFieldRecordOf(buddy);
    if (!isSpin(code) || !field) return false;
    DOUBLE value = field->value;
    if (SendMessageA(buddy, EM_GETMODIFY, 0, 0)) {
        const std::string text = YYDecimalToParser(windowText(buddy, kTextWidth));
        value = 0.0;
        if (!blank(text)) YYParseNumber(value, text);
    }
    DOUBLE step = 0.0;
    if (delta == 1 || delta == -1) step = field->smallStep;
    else if (delta == 5 || delta == -5) step = field->largeStep;
    value += delta < 0 ? -step : step;
    bool clamped = false;
    if (field->minimum <= field->maximum) {
        if (value < field->minimum) value = field->minimum, clamped = true;
        else if (value > field->maximum) value = field->maximum, clamped = true;
    }
    std::string text;
    if (code == kClassIntegerSpin) {
        // Kept inside the INTEGER range so that the conversion stays defined.
        value = std::trunc(std::fmax(-2147483648.0, std::fmin(2147483647.0, value)));
        // A zero step has no grid to snap to.
        if (!clamped && step != 0.0)
            value = std::trunc((value - field->stepOrigin) / step) * step + field->stepOrigin;
        text.assign(kTextWidth, ' ');
        yyint2st(static_cast<INTEGER>(value), text);
    } else {
        text.assign(kTextWidth, ' ');
        yydbl2st(value, text, formatOf(*field));
        text = YYDecimalToLocale(trimmed(text));
    }
    field->value = value;
    SetWindowTextA(buddy, trimmed(text).c_str());
    SendMessageA(buddy, EM_SETMODIFY, FALSE, 0);
    field->hasValue = 1;
    return true;
}

namespace {

FieldRecord* spinField(INTEGER& field, ControlClassCode wanted)
{
    HWND control = YYDialogField(YYCurrentDialog(), field);
    FieldRecord* record = control ? YYFieldRecordOf(control) : nullptr;
    if (!record || YYControlClass(control) != wanted) {
        field = -1;
        return nullptr;
    }
    return record;
}

}  // namespace

void YYIntegerSpinSteps(INTEGER& field, INTEGER smallStep, INTEGER largeStep, INTEGER origin)
{
    if (FieldRecord* record = spinField(field, kClassIntegerSpin)) {
        record->smallStep = smallStep;
        record->largeStep = largeStep == 0 ? smallStep : largeStep;
        record->stepOrigin = origin;
    }
}

void YYRealSpinSteps(INTEGER& field, REAL smallStep, REAL largeStep)
{
    if (FieldRecord* record = spinField(field, kClassRealSpin)) {
        record->smallStep = smallStep;
        record->largeStep = largeStep;
    }
}

void YYDoubleSpinSteps(INTEGER& field, DOUBLE smallStep, DOUBLE largeStep)
{
    if (FieldRecord* record = spinField(field, kClassDoubleSpin)) {
        record->smallStep = smallStep;
        record->largeStep = largeStep;
    }
}

bool YYPushButtonRefused(INTEGER button)
{
    NumericEditState& s = numericEditState();
    HWND focus = GetFocus();
    if (focus && YYIsNumericClass(YYControlClass(focus)) && YYNumericValidate(focus, focus, 1)) s.pendingField = focus;
    HWND pending = s.pendingField;
    s.pendingField = nullptr;
    if (!pending || !IsWindow(pending)) return false;
    if (button == 1) {
        beep();
        s.buttonRefocusGuard = 0;
        SetFocus(pending);
        s.buttonRefocusGuard = 1;
        SendMessageA(pending, EM_SETSEL, 0, -1);
        return true;
    }
    // Any other button abandons the entry: the field gets back what it held when it took the focus.
    SetWindowTextA(pending, s.savedText.c_str());
    if (FieldRecord* field = YYFieldRecordOf(pending)) field->value = s.savedValue;
    SendMessageA(pending, EM_SETMODIFY, FALSE, 0);
    s.saveOnFocus = 1;
    return false;
}

namespace {

// The character the fields use in place of "." while the locale switch is on; "." when off.
char localeDecimal()
{
    const CursorState& c = cursorState();
    return c.DecimalSwitch && c.DecimalSeparator ? c.DecimalSeparator : '.';
}

std::string replaced(std::string_view text, char from, char to)
{
    std::string result(text);
    if (from != to)
        for (char& ch : result)
            if (ch == from) ch = to;
    return result;
}

}  // namespace

std::string YYDecimalToParser(std::string_view text) { return replaced(text, localeDecimal(), '.'); }

std::string YYDecimalToLocale(std::string_view text) { return replaced(text, '.', localeDecimal()); }

bool YYPendingFieldRefocus(HWND button, INTEGER tabbed)
{
    NumericEditState& s = numericEditState();
    HWND pending = s.pendingField;
    if (!pending) return false;
    // The entry is no longer waiting for this button: the field takes it up again.
    s.pendingField = nullptr;
    if (!IsWindow(pending)) return false;
    const INTEGER guard = s.buttonRefocusGuard, validating = s.validating;
    s.buttonRefocusGuard = 0;
    s.validating = 1;  // the focus changes this causes are no new entries to check
    YYFieldRefocus(button, pending, tabbed);
    s.validating = validating;
    s.buttonRefocusGuard = guard;
    return true;
}
