#include "toolkit/foundation/MainWindow.h"

#include "toolkit/foundation/CommonControls.h"

#include <memory>
#include <string>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/Menus.h"
#include "toolkit/foundation/OsEnvironment.h"
#include "toolkit/foundation/StatusBar.h"
#include "toolkit/foundation/WindowEngineHooks.h"
#include "toolkit/foundation/WindowPlacement.h"
#include "toolkit/foundation/WindowProcs.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/foundation/WindowText.h"

namespace {

constexpr const char* kFrameClass = "DEVIVOZIVUZ";
constexpr const char* kFatalCaption = "Devivozivuz Window";

// A fatal start failure: the user is told, and the process ends with a failure code so that a
// calling script does not take it for success.
[[noreturn]] void fatal(const char* text)
{
    MessageBoxA(nullptr, text, kFatalCaption, MB_OK | MB_ICONHAND | MB_TASKMODAL);
    YYProcessExit(1);
    ExitProcess(1);
}

// Blue-green-red packed as red in the low byte.
constexpr std::array<INTEGER, 16> kNamedColours{
    0x000000, 0x0000BF, 0x00BFBF, 0x00BF00, 0xBFBF00, 0xBF0000, 0xBF00BF, 0xBFBFBF,
    0x404040, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000, 0xFF00FF, 0xFFFFFF,
};

void fillNamedColours()
{
    auto& named = windowEngineState().NamedColours;
    for (std::size_t i = 0; i < kNamedColours.size(); ++i) named[i] = kNamedColours[i];
    named[16] = static_cast<INTEGER>(GetSysColor(COLOR_WINDOWTEXT));
    named[17] = static_cast<INTEGER>(GetSysColor(COLOR_WINDOW));
}

void probeRichEdit()
{
    WindowEngineState& e = windowEngineState();
    e.RichEdit.reset(LoadLibraryA("riched20.dll"));
    if (!e.RichEdit) {
        e.RichEdit.reset(LoadLibraryA("riched32.dll"));
        e.RichEditLevel = 1;
        return;
    }
    WindowHandle probe(CreateWindowExA(0, "RichEdit20A", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, e.Instance,
                                       nullptr));
    if (!probe) {
        e.RichEditLevel = 2;
        return;
    }
    SetWindowTextA(probe.get(), "ab");
    // Version 2 answers in the return value and leaves the point alone; version 3 fills the point.
    POINTL first{-99, -99}, second{-99, -99};
    SendMessageA(probe.get(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first), 1);
    SendMessageA(probe.get(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&second), 1);
    e.RichEditLevel = (first.x == -99 && first.y == -99 && second.x == -99 && second.y == -99) ? 2 : 3;
}

}  // namespace

INTEGER YYLayoutDialogProbe(INTEGER dialogId, HWND parent, INTEGER& width, INTEGER& height, bool& resizable)
{
    HINSTANCE instance = windowEngineState().Instance;
    if (!FindResourceA(instance, MAKEINTRESOURCEA(dialogId), MAKEINTRESOURCEA(5))) return -1;
    WindowHandle probe(CreateDialogParamA(instance, MAKEINTRESOURCEA(dialogId), parent, YYEmptyDialogProc, 0));
    if (!probe) return -4;
    const LONG style = GetWindowLongA(probe.get(), GWL_STYLE);
    if (!(style & WS_CHILD) || !(style & DS_CONTROL) || (style & WS_CAPTION) == WS_CAPTION || (style & WS_SYSMENU))
        return -2;
    RECT outer{};
    GetWindowRect(probe.get(), &outer);
    width = outer.right - outer.left;
    height = outer.bottom - outer.top;
    resizable = dialogManagerHooks().layoutProbeResizable(probe.get(), dialogId);
    return 0;
}

HWND YYWindowLayoutAttach(INTEGER window, INTEGER dialogId, bool show)
{
    WindowSlot& slot = windowSlotTable().Slots[static_cast<std::size_t>(window)];
    HWND frame = slot.Frame.get();
    HWND layout = dialogManagerHooks().layoutDialogCreate(dialogId, slot.Client);
    if (!layout) return nullptr;
    if (show) dialogManagerHooks().layoutDialogShow(layout);
    RECT outer{};
    GetWindowRect(frame, &outer);
    auto record = std::make_unique<WindowUserRecord>();
    record->Words = {kWindowDialogLayout, dialogId, 0, 0, 0, reinterpret_cast<std::intptr_t>(layout),
                     outer.right - outer.left, outer.bottom - outer.top};
    SetWindowLongPtrA(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record.get()));
    slot.OwnedRecord = std::move(record);
    dialogManagerHooks().layoutDialogAttach(layout, frame);
    RECT area{};
    GetClientRect(slot.Client, &area);
    SetWindowPos(layout, nullptr, 0, 0, area.right, area.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    return layout;
}

namespace {

// Report mode 3: the message goes into part 1 of the main window's status bar, and the window
// that was current stays current.
void reportToStatusBar(std::string_view text)
{
    const INTEGER current = WInfoWindowQuery(4);
    WindowSetCurrent(0);
    WStatusBarText(1, text);
    WindowSetCurrent(current);
}

}  // namespace

DWORD YYFrameStyle(INTEGER flags)
{
    DWORD style = WS_CAPTION | WS_CLIPCHILDREN;
    if (flags & kStyleSystemMenu) style |= WS_SYSMENU;
    if (flags & kStyleMinimiseBox) style |= WS_MINIMIZEBOX;
    if (flags & kStyleMaximiseBox) style |= WS_MAXIMIZEBOX;
    if (flags & kStyleMaximised) style |= WS_MAXIMIZE;
    if (!(flags & kStyleFixedSize)) style |= WS_THICKFRAME;
    return style;
}

bool YYRegisterWindowClasses()
{
    WindowEngineState& e = windowEngineState();
    UnregisterClassA(kFrameClass, e.Instance);
    auto registerClass = [&](const char* name, WNDPROC procedure, UINT style, LPCSTR cursor, HICON icon,
                             HBRUSH background, bool replace) -> ATOM {
        WNDCLASSEXA existing{};
        existing.cbSize = sizeof existing;
        if (!replace) {
            if (const ATOM atom = static_cast<ATOM>(GetClassInfoExA(e.Instance, name, &existing))) return atom;
        }
        WNDCLASSA c{};
        c.style = style;
        c.lpfnWndProc = procedure;
        c.hInstance = e.Instance;
        c.hCursor = LoadCursor(nullptr, cursor);
        c.hIcon = icon;
        c.hbrBackground = background;
        c.lpszClassName = name;
        return RegisterClassA(&c);
    };
    HICON icon = LoadIconA(e.Instance, "icon1");
    e.ClassAtoms[0] = registerClass(kFrameClass, YYFrameWindowProc, 0, IDC_ARROW, icon, nullptr, true);
    e.ClassAtoms[1] = registerClass("DOVECHILD", YYFrameWindowProc, 0, IDC_ARROW, icon, nullptr, false);
    e.ClassAtoms[2] = registerClass("DOVECLIENT", YYClientWindowProc, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, IDC_ARROW,
                                    nullptr, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), false);
    e.ClassAtoms[3] = registerClass("DOVESPLITH", YYSplitterWindowProc, CS_VREDRAW | CS_HREDRAW | CS_PARENTDC,
                                    IDC_SIZENS, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), false);
    e.ClassAtoms[4] = registerClass("DOVESPLITV", YYSplitterWindowProc, CS_VREDRAW | CS_HREDRAW | CS_PARENTDC,
                                    IDC_SIZEWE, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), false);
    for (ATOM atom : e.ClassAtoms)
        if (atom == 0) return false;
    return true;
}

void YYMainWindowCreate(INTEGER x, INTEGER y, INTEGER& width, INTEGER& height, INTEGER flags, INTEGER menuId,
                        const std::array<INTEGER, 4>& toolbars, INTEGER paletteSlots, INTEGER& layoutDialog,
                        INTEGER background, std::string_view title, INTEGER titleLength)
{
    WindowEngineState& e = windowEngineState();
    WindowSlot& slot = windowSlotTable().Slots[0];
    e.Instance = GetModuleHandleA(nullptr);
    YYEventEnableDefaults();
    if (!YYRegisterWindowClasses()) fatal("Failed to register class - aborting.");

    e.CommonControls.reset(LoadLibraryA("comctl32.dll"));
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    WindowHandle temporary(CreateWindowExA(0, kFrameClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, e.Instance,
                                           nullptr));
    if (!temporary) fatal("Failed to create window - aborting.");
    dialogManagerHooks().controlClassesRegister();
    probeRichEdit();
    e.FindReplaceMessage = RegisterWindowMessageA("commdlg_FindReplace");
    dialogManagerHooks().dialogManagerArm();

    INTEGER layoutStatus = 0;
    if (layoutDialog != 0) {
        INTEGER dialogWidth = 0, dialogHeight = 0;
        bool resizable = false;
        layoutStatus = YYLayoutDialogProbe(layoutDialog, temporary.get(), dialogWidth, dialogHeight, resizable);
        if (layoutStatus == 0) {
            width = dialogWidth;
            height = dialogHeight;
            if (!resizable) flags = (flags | kStyleFixedSize) & ~(kStyleMaximiseBox | kStyleMaximised);
        }
    }
    temporary.reset();

    const DWORD style = YYFrameStyle(flags);
    const DWORD exStyle = (flags & kStyleTopmost) ? WS_EX_TOPMOST : 0;
    slot.BackgroundColour = background;
    slot.BackgroundBrush.reset(background == -1 ? nullptr : CreateSolidBrush(static_cast<COLORREF>(background)));

    RECT frameRect{0, 0, width, height};
    AdjustWindowRectEx(&frameRect, style, menuId != 0, exStyle);
    INTEGER frameWidth = frameRect.right - frameRect.left, frameHeight = frameRect.bottom - frameRect.top;
    const bool centredX = x == kUnchanged, centredY = y == kUnchanged;
    if (centredX) x = (e.ScreenWidth - frameWidth) / 2;
    if (centredY) y = (e.ScreenHeight - frameHeight) / 2;

    const std::string titleText(title.substr(0, static_cast<std::size_t>(std::max<INTEGER>(titleLength, 0))));
    HMENU menu = menuId != 0 ? LoadMenuA(e.Instance, MAKEINTRESOURCEA(menuId)) : nullptr;
    slot.Frame.reset(CreateWindowExA(exStyle, kFrameClass, titleText.c_str(), style & ~WS_MAXIMIZE, x, y, frameWidth,
                                     frameHeight, nullptr, menu, e.Instance, nullptr));
    if (!slot.Frame) fatal("Failed to create window - aborting.");
    HWND frame = slot.Frame.get();
    if (menu) {
        slot.Menu = menu;
        YYMenuAssignPopupIds(menu, menuId);
        YYMenuAttachResources(slot, menuId);
    }
    const bool maximised = (flags & kStyleMaximised) != 0;

    bool barsAdded = false;
    for (INTEGER edge = 0; edge < 4; ++edge) {
        INTEGER identifier = toolbars[static_cast<std::size_t>(edge)], unusedWidth = 0, unusedHeight = 0;
        if (identifier == 0) continue;
        YYToolbarCreate(identifier, 0, edge, unusedWidth, unusedHeight);
        if (identifier < 0) continue;
        barsAdded = true;
        const INTEGER extra = slot.ToolbarWidths[static_cast<std::size_t>(edge)];
        if (edge == 0 || edge == 3) {
            frameHeight += extra;
            if (centredY && !maximised) y -= extra / 2;
        } else {
            frameWidth += extra;
            if (centredX && !maximised) x -= extra / 2;
        }
    }

    slot.StatusParts = StatusPartTable{};
    INTEGER statusHeight = 0;
    if (flags & kStyleStatusBar) {
        DWORD barStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        if (!(flags & kStyleFixedSize)) barStyle |= SBARS_SIZEGRIP;
        slot.StatusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "", barStyle, 0, 0, width, 10, frame,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)), e.Instance,
                                         nullptr);
        if (slot.StatusBar) {
            slot.StatusParts.Widths[0] = -1;
            slot.StatusParts.Count = 1;
            int whole = -1;
            SendMessageA(slot.StatusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&whole));
            RECT r{};
            GetWindowRect(slot.StatusBar, &r);
            statusHeight = r.bottom - r.top;
            frameHeight += statusHeight;
            if (centredY && !maximised) y -= statusHeight / 2;
            barsAdded = true;
        }
    }
    if (barsAdded) {
        SetWindowPos(frame, nullptr, x, y, frameWidth, frameHeight, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        if (slot.StatusBar) SendMessageA(slot.StatusBar, WM_SIZE, 0, 0);
    }
    // The frame is created restored and grown by its bars, so a maximised window's restored
    // rectangle already holds them.

    RECT client{};
    GetClientRect(frame, &client);
    for (INTEGER edge = 0; edge < 4; ++edge) {
        if (!slot.Toolbars[static_cast<std::size_t>(edge)]) continue;
        const INTEGER thickness = slot.ToolbarWidths[static_cast<std::size_t>(edge)];
        if (edge == 0) client.top += thickness;
        if (edge == 3) client.bottom -= thickness;
        if (edge == 1) client.left += thickness;
        if (edge == 2) client.right -= thickness;
    }
    client.bottom -= statusHeight;
    slot.Client = CreateWindowExA(0, "DOVECLIENT", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                  client.left, client.top, client.right - client.left, client.bottom - client.top,
                                  frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), e.Instance, nullptr);
    if (!slot.Client) fatal("Failed to create window - aborting.");
    YYFrameLayout(0);

    HWND layout = nullptr;
    if (layoutStatus == 0 && layoutDialog != 0) {
        layout = YYWindowLayoutAttach(0, layoutDialog, !(flags & kStyleHidden));
        if (!layout) layoutStatus = -4;
    }

    if (flags & kStyleHidden) {
        e.MainWindowHidden = 1;
        if (maximised) ShowWindow(frame, SW_HIDE);
    } else {
        ShowWindow(frame, maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
        e.MainWindowHidden = 0;
        UpdateWindow(frame);
        ValidateRect(slot.Client, nullptr);  // no initial expose: the application draws when it is ready
        if (layout) UpdateWindow(layout);
    }
    if (maximised && (flags & kStyleHidden)) {
        // a hidden maximised window still learns its maximised size
        SetWindowLongA(frame, GWL_STYLE, GetWindowLongA(frame, GWL_STYLE) | WS_MAXIMIZE);
    }

    e.CurrentWindow = 0;
    e.CurrentDc.reset();
    e.CurrentDc.emplace(slot.Client);
    HDC dc = e.CurrentDc->get();
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_BASELINE);
    YYClientPixelSize(0, width, height);
    YYWinTextColours(0, 15);
    YYWinTextUnderline(0);
    fillNamedColours();
    windowGraphicsHooks().mainWindowDcAttach(dc, slot.Client, e.DisplayColours == 256, paletteSlots);

    e.Msimg32.reset(LoadLibraryA("msimg32.dll"));
    e.GradientFill = e.Msimg32 ? GetProcAddress(e.Msimg32.get(), "GradientFill") : nullptr;
    e.Mapi32.reset(LoadLibraryA("mapi32.dll"));
    e.MapiSendMail = e.Mapi32 ? GetProcAddress(e.Mapi32.get(), "MAPISendMail") : nullptr;
    MailEntryPoints& mail = mailEntryPoints();
    mail.sendMail = reinterpret_cast<void*>(e.MapiSendMail);
    mail.resolveName = e.Mapi32 ? reinterpret_cast<void*>(GetProcAddress(e.Mapi32.get(), "MAPIResolveName")) : nullptr;
    mail.freeBuffer = e.Mapi32 ? reinterpret_cast<void*>(GetProcAddress(e.Mapi32.get(), "MAPIFreeBuffer")) : nullptr;
    errorReportHooks().statusBarText = &reportToStatusBar;
    if (e.CgmClipboardFormat == 0) e.CgmClipboardFormat = RegisterClipboardFormatA("Devivozivuz CGM");

    for (RecordedEvent& entry : pendingEventTable().Entries) entry = RecordedEvent{};
    currentEventState().Deferred = RecordedEvent{};
    currentEventState().HandedBack.clear();
    if (!(flags & kStyleHidden)) SetFocus(slot.Client);
    e.ActiveFrame = frame;
    layoutDialog = layoutStatus == 0 ? layoutDialog : layoutStatus;
}

void WindowOpen(std::optional<INTEGER> flags, std::optional<INTEGER> x, std::optional<INTEGER> y,
                std::optional<INTEGER> width, std::optional<INTEGER> height, std::optional<INTEGER> menuId,
                std::optional<std::array<INTEGER, 4>> toolbars, INTEGER* layoutDialog, std::string_view title,
                std::optional<INTEGER> paletteSlots, std::optional<INTEGER> background)
{
    WindowEngineState& e = windowEngineState();
    if (e.MainWindowOpen) return;
    if (e.ScreenWidth == 0) {  // the display facts are read at start-up; read them here if it was skipped
        INTEGER w, h, colours, slots, constant;
        YYDisplayFacts(w, h, colours, slots, constant);
    }
    const INTEGER openFlags = flags.value_or(7);
    INTEGER w = width.value_or(0), h = height.value_or(0);
    if (w <= 0) w = e.ScreenWidth * 80 / 100;
    if (h <= 0) h = e.ScreenHeight * 80 / 100;
    INTEGER slots = paletteSlots.value_or(16);
    if (slots != 16 && slots != 32 && slots != 64 && slots != 128) slots = 16;
    INTEGER layout = layoutDialog ? *layoutDialog : 0;
    YYMainWindowCreate(x.value_or(kUnchanged), y.value_or(kUnchanged), w, h, openFlags, menuId.value_or(0),
                       toolbars.value_or(std::array<INTEGER, 4>{}), slots, layout, background.value_or(-1), title,
                       static_cast<INTEGER>(title.size()));
    e.ClientWidth = w;
    e.ClientHeight = h;
    if (layout > 0) dialogManagerHooks().dialogMakeCurrent(layout);
    if (layout == -1) YYErrorReport(1007, "WindowOpen");
    if (layout == -2) YYErrorReport(1045, "WindowOpen");
    if (layout == -4) YYErrorReport(1088, "WindowOpen");
    if (layoutDialog) *layoutDialog = layout;
    windowSlotTable().Slots[0].OpenFlags = openFlags;
    e.MainWindowOpen = 1;
    WindowTextState& text = windowTextState();
    text.FontKind = 0;
    text.Bold = text.Italic = 0;
    YYWinTextColours(0, 15);
    YYWinTextUnderline(0);
    INTEGER charWidth = 0, charHeight = 0;
    YYTextFont(0, 0, 0, charWidth, charHeight);
    YYPixelToWindowUnits(charWidth, charHeight, text.CharWidth, text.CharHeight);
    YYWinTextScale();
    windowGraphicsHooks().mainWindowOpened(e.DisplayColours == 256 ? slots : 0, w, h);
}

void WindowOpenDescribed(const WindowDescriptionRecord& record, std::optional<INTEGER> paletteSlots)
{
    const INTEGER x = record.X < 0 ? kUnchanged : record.X;
    const INTEGER y = record.Y < 0 ? kUnchanged : record.Y;
    std::optional<INTEGER> width, height;
    if (record.Width > 0) width = record.Width;
    if (record.Height > 0) height = record.Height;
    const std::string title = record.Title.trimmed();  // the caption shows no padding
    WindowOpen(record.Flags, x, y, width, height, record.MenuId, std::nullopt, nullptr, title, paletteSlots.value_or(0),
               -1);
}

void WindowSetTextStyle(const TextStyleRecord& style)
{
    if (style.FontKind < 0 || style.FontKind > 6) return;
    WindowTextState& text = windowTextState();
    text.FontKind = style.FontKind;
    text.CharWidth = style.CharWidth;
    text.CharHeight = style.CharHeight;
    text.Bold = style.Bold;
    text.Italic = style.Italic;
    YYWinTextScale();
    YYWinTextColours(style.Foreground, style.Background);
    YYWinTextUnderline(style.Underline);
}
