#include "toolkit/foundation/WindowServices.h"

#include <algorithm>
#include <string>

#include "toolkit/foundation/CommonControls.h"
#include "toolkit/foundation/DrawableKind.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/OsEnvironment.h"
#include "toolkit/foundation/WindowEngineHooks.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/foundation/WindowText.h"

CursorState& cursorState()
{
    static CursorState state;
    return state;
}

namespace {

WindowSlot& currentSlot() { return windowSlotTable().Slots[windowEngineState().CurrentWindow]; }

HCURSOR cursorOfShape(INTEGER shape)
{
    static const LPCSTR system[] = {IDC_ARROW, IDC_WAIT, IDC_APPSTARTING, IDC_CROSS, IDC_IBEAM, IDC_NO,
                                    IDC_SIZEALL, IDC_SIZENS, IDC_SIZEWE, IDC_SIZENESW, IDC_SIZENWSE, IDC_UPARROW};
    if (shape >= 0 && shape <= 11) return LoadCursor(nullptr, system[shape]);
    return LoadCursorA(windowEngineState().Instance, MAKEINTRESOURCEA(shape));
}

bool pointerOver(HWND window)
{
    POINT point{};
    GetCursorPos(&point);
    return window && WindowFromPoint(point) == window;
}

COLORREF fillColour(INTEGER colour)
{
    if (colour == -1)
        colour = windowEngineState().NamedColours[static_cast<std::size_t>(std::clamp(windowTextState().Background, 0, 17))];
    COLORREF c = static_cast<COLORREF>(colour);
    if (windowGraphicsHooks().screenPalette()) c = PALETTERGB(GetRValue(c), GetGValue(c), GetBValue(c));
    return c;
}

}  // namespace

void YYWindowTitleIcon(INTEGER& icon, INTEGER setTitle, std::string_view title)
{
    HWND frame = currentSlot().Frame.get();
    if (!frame) return;
    if (setTitle) {
        const auto last = title.find_last_not_of(' ');
        const std::string text(last == std::string_view::npos ? std::string_view{} : title.substr(0, last + 1));
        SetWindowTextA(frame, text.c_str());
    }
    if (icon < 0) return;
    HINSTANCE instance = windowEngineState().Instance;
    HICON handle = icon == 0 ? LoadIconA(instance, "icon1") : LoadIconA(instance, MAKEINTRESOURCEA(icon));
    if (!handle) {
        icon = -2;
        return;
    }
    SendMessageA(frame, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(handle));
    SendMessageA(frame, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(handle));
}

void WindowTitle(std::optional<std::string_view> title, std::optional<INTEGER> icon)
{
    INTEGER iconId = icon.value_or(-1);
    YYWindowTitleIcon(iconId, title ? 1 : 0, title.value_or(std::string_view{}));
    if (iconId == -2) YYErrorReport(1015, "WindowTitle");
}

void YYCursorForWindow(INTEGER shape, INTEGER scope, INTEGER kind, INTEGER number)
{
    HCURSOR cursor = cursorOfShape(shape);
    CursorState& c = cursorState();
    auto& slots = windowSlotTable().Slots;
    if (scope == 1) {
        if (kind != kDrawableDialogField && number >= 0 && number < kWindowSlots) {
            slots[number].Cursor = cursor;
            slots[number].CursorShape = shape;
            if (pointerOver(slots[number].Client)) SetCursor(cursor);
        } else if (kind == kDrawableDialogField && number != 0) {
            // The dialog graphics field being drawn keeps its own cursor in its field record.
            HWND field = windowGraphicsHooks().dialogFieldWindow();
            dialogManagerHooks().fieldCursorSet(field, cursor, shape);
            if (pointerOver(field)) SetCursor(cursor);
        }
        return;
    }
    if (scope != 2) {
        for (WindowSlot& slot : slots) {
            slot.Cursor = nullptr;
            slot.CursorShape = 0;
        }
        dialogManagerHooks().fieldCursorsClear();
    }
    c.GlobalCursor = cursor;
    c.GlobalShape = shape;
    SetCursor(cursor);
}

void WCursorShape(INTEGER shape, std::optional<INTEGER> scope)
{
    if (shape < 0) return;
    INTEGER kind = 0, identifier = 0;
    windowGraphicsHooks().drawable(kind, identifier);
    const INTEGER s = scope.value_or(0);
    if (s == 1 && kind != kDrawableWindow && !(kind == kDrawableDialogField && identifier != 0)) {
        YYErrorReport(1097, "WCursorShape");
        return;
    }
    const INTEGER number = kind == kDrawableWindow ? windowEngineState().CurrentWindow : identifier;
    YYCursorForWindow(shape, s, kind, number);
}

HCURSOR YYGlobalCursor() { return cursorState().GlobalCursor; }

void YYCursorShapeInForce(INTEGER& value, INTEGER selector, INTEGER number)
{
    value = cursorState().GlobalShape;
    if (selector == 1 && number >= 0 && number < kWindowSlots && windowSlotTable().Slots[number].Cursor)
        value = windowSlotTable().Slots[number].CursorShape;
    if (selector == 3 && number != 0)
        if (const INTEGER own = dialogManagerHooks().fieldCursorShape(windowGraphicsHooks().dialogFieldWindow()); own >= 0) value = own;
}

void YYCursorMove(INTEGER x, INTEGER y, INTEGER target)
{
    HWND window = target == 1 ? currentSlot().Client : windowGraphicsHooks().dialogFieldWindow();
    if (!window) return;
    POINT point{x, y};
    ClientToScreen(window, &point);
    SetCursorPos(point.x, point.y);
}

void YYWindowActivate(HWND window)
{
    auto& slots = windowSlotTable().Slots;
    if (window && YYWindowSlotFromHandle(window) >= 0) SetFocus(window);
    for (int n = 1; n < kWindowSlots; ++n) {
        HWND frame = slots[n].Frame.get();
        if (!frame) continue;
        const bool active = window && (frame == window || IsChild(frame, window));
        SendMessageA(frame, WM_NCACTIVATE, active ? TRUE : FALSE, 0);
    }
    dialogManagerHooks().dialogsDrawActive(window);
}

void YYReleaseDrawingDC() { windowGraphicsHooks().drawingDcRelease(); }

void YYWindowsDestroyAll()
{
    WindowEngineState& e = windowEngineState();
    const WindowGraphicsHooks& graphics = windowGraphicsHooks();
    graphics.screenRelease();
    graphics.bitmapStoreClear();
    auto& slots = windowSlotTable().Slots;
    for (WindowSlot& slot : slots) {
        HWND frame = slot.Frame.get();
        const WindowUserRecord* record = YYWindowRecord(frame);
        HWND layout = record && record->Words[0] == kWindowDialogLayout ? reinterpret_cast<HWND>(record->Words[5]) : nullptr;
        // Detached first, so that the focus moves of the unload find no layout to pass on to.
        if (frame) SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
        dialogManagerHooks().layoutDialogUnload(layout);
        if (slot.SplitRecord) SetWindowLongPtrA(reinterpret_cast<HWND>(slot.SplitRecord->Words[5]), GWLP_USERDATA, 0);
        slot.OwnedRecord.reset();
        slot.SplitRecord.reset();
    }
    dialogManagerHooks().dialogsDestroyAll();
    dialogManagerHooks().dialogManagerReset();
    e.Msimg32.reset();
    e.Mapi32.reset();
    e.GradientFill = e.MapiSendMail = nullptr;
    mailEntryPoints() = MailEntryPoints{};
    errorReportHooks().statusBarText = nullptr;
    for (WindowSlot& slot : slots) YYMediaStop(slot);
    e.CurrentDc.reset();
    graphics.drawingDcForget();
    for (int n = kWindowSlots - 1; n >= 0; --n) {
        WindowSlot& slot = slots[static_cast<std::size_t>(n)];
        slot.Frame.reset();
        slot.Client = nullptr;
        slot.StatusBar = nullptr;
        slot.Cursor = nullptr;
        slot.CursorShape = 0;
        slot.BackgroundBrush.reset();
        slot.Toolbars = {};
        slot.ToolbarWidths = {};
        slot.ToolbarTips.clear();
    }
    e.CurrentWindow = 0;
    YYEventEnableDefaults();
}

void YYRasterRectangle(INTEGER left, INTEGER top, INTEGER right, INTEGER bottom, INTEGER colour)
{
    const WindowEngineState& e = windowEngineState();
    if (!e.CurrentDc) return;
    HDC dc = e.CurrentDc->get();
    GdiObjectHandle brush(CreateSolidBrush(fillColour(colour)));
    const int oldRop = SetROP2(dc, R2_COPYPEN);
    RECT r{left, top, right + 1, bottom + 1};  // both edges belong to the rectangle
    FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
    SetROP2(dc, oldRop);
}

void YYClientScroll(INTEGER dx, INTEGER dy, INTEGER colour)
{
    HWND client = currentSlot().Client;
    const WindowEngineState& e = windowEngineState();
    if (!client || !e.CurrentDc) return;
    RECT uncovered{};
    GdiObjectHandle region(CreateRectRgn(0, 0, 0, 0));
    ScrollWindowEx(client, dx, dy, nullptr, nullptr, static_cast<HRGN>(region.get()), &uncovered, 0);
    GdiObjectHandle brush(CreateSolidBrush(fillColour(colour)));
    FillRgn(e.CurrentDc->get(), static_cast<HRGN>(region.get()), static_cast<HBRUSH>(brush.get()));
    ValidateRgn(client, static_cast<HRGN>(region.get()));  // no expose for the strip just filled
}

INT_PTR CALLBACK YYEmptyDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

void YYBeep()
{
    if (cursorState().BeepSwitch == 0) return;
    ++cursorState().Beeps;
    MessageBeep(MB_OK);
}

void YYBeepSwitch(INTEGER value) { cursorState().BeepSwitch = value; }

void YYLocaleInfo(char& separator)
{
    char buffer[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer) > 0 && buffer[0])
        cursorState().DecimalSeparator = buffer[0];
    separator = cursorState().DecimalSeparator;
}

void YYLocaleDecimalSwitch(std::string_view flag)
{
    cursorState().DecimalSwitch = (!flag.empty() && flag[0] == 1) ? 1 : 0;
}

INTEGER YYDecimalToInt(const char* text)
{
    if (!text) return 0;
    bool negative = false;
    if (*text == '-') {
        negative = true;
        ++text;
    }
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > 2147483647LL) value = 2147483647LL;  // a field table never holds more; do not wrap
    }
    return static_cast<INTEGER>(negative ? -value : value);
}

INTEGER YYTrimmedLength(const char* text)
{
    if (!text) return 0;
    INTEGER length = 0;
    for (INTEGER i = 0; text[i]; ++i)
        if (text[i] != ' ') length = i + 1;
    return length;
}

INTEGER YYWordLength(const char* text)
{
    INTEGER n = 0;
    while (text && text[n] && text[n] != ' ') ++n;
    return n;
}

void YYCopyBlankPadded(const char* text, char* field, INTEGER length)
{
    INTEGER i = 0;
    for (; text && text[i] && i < length; ++i) field[i] = text[i];
    for (; i < length; ++i) field[i] = ' ';
}

void YYGradientFillAvailable(INTEGER& answer) { answer = windowEngineState().GradientFill ? 2 : 1; }

void YYMediaStop(WindowSlot& slot)
{
    if (slot.MediaDevice == 0) return;
    mciSendCommandA(static_cast<MCIDEVICEID>(slot.MediaDevice), MCI_CLOSE, 0, 0);
    slot.MediaDevice = 0;
}
