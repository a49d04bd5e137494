#include "toolkit/foundation/WindowSlots.h"

#include <algorithm>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/WindowEngineHooks.h"
#include "toolkit/foundation/WindowText.h"

WindowSlotTable& windowSlotTable()
{
    static WindowSlotTable table;
    return table;
}

WindowEngineState& windowEngineState()
{
    static WindowEngineState state;
    return state;
}

void YYPixelToWindowUnits(INTEGER xPixels, INTEGER yPixels, INTEGER& xUnits, INTEGER& yUnits)
{
    const WindowEngineState& e = windowEngineState();
    xUnits = pixelToWindowUnits(xPixels, e.ClientWidth);
    yUnits = pixelToWindowUnits(yPixels, e.ClientHeight);
}

void YYWindowUnitsToPixel(INTEGER xUnits, INTEGER yUnits, INTEGER& xPixels, INTEGER& yPixels)
{
    const WindowEngineState& e = windowEngineState();
    xPixels = windowUnitsToPixel(xUnits, e.ClientWidth);
    yPixels = windowUnitsToPixel(yUnits, e.ClientHeight);
}

WindowUserRecord* YYWindowRecord(HWND frame)
{
    if (!frame) return nullptr;
    return reinterpret_cast<WindowUserRecord*>(GetWindowLongPtrA(frame, GWLP_USERDATA));
}

INTEGER YYWindowSlotFromHandle(HWND window)
{
    if (!window) return -1;
    auto& slots = windowSlotTable().Slots;
    for (int n = 0; n < kWindowSlots; ++n)
        if (slots[n].Frame.get() == window || slots[n].Client == window) return n;
    for (int n = 1; n < kWindowSlots; ++n) {
        const WindowUserRecord* record = YYWindowRecord(slots[n].Frame.get());
        if (record && record->Words[0] == kWindowOtherControl &&
            reinterpret_cast<HWND>(record->Words[5]) == window)
            return n;
    }
    return -1;
}

INTEGER YYParentWindowNumber(INTEGER window)
{
    if (window < 1 || window >= kWindowSlots) return -1;
    HWND frame = windowSlotTable().Slots[window].Frame.get();
    if (!frame || !(GetWindowLongA(frame, GWL_STYLE) & WS_CHILD)) return -1;
    return YYWindowSlotFromHandle(GetParent(frame));
}

void YYClientPixelSize(INTEGER window, INTEGER& width, INTEGER& height)
{
    width = height = 0;
    if (window < 0 || window >= kWindowSlots) return;
    RECT r{};
    if (HWND client = windowSlotTable().Slots[window].Client; client && GetClientRect(client, &r)) {
        width = r.right - r.left;
        height = r.bottom - r.top;
    }
}

void YYDisplayFacts(INTEGER& screenWidth, INTEGER& screenHeight, INTEGER& displayColours, INTEGER& paletteSlots,
                    INTEGER& constant)
{
    WindowEngineState& e = windowEngineState();
    {
        WindowDc desktop(nullptr);
        HDC dc = desktop.get();
        screenWidth = GetDeviceCaps(dc, HORZRES);
        screenHeight = GetDeviceCaps(dc, VERTRES);
        e.PixelsPerInch = GetDeviceCaps(dc, LOGPIXELSX);
        const int planes = GetDeviceCaps(dc, PLANES);
        const int bits = std::min(GetDeviceCaps(dc, BITSPIXEL), 24);
        const int exponent = std::min(planes * bits, 30);  // 2^32 colours would not fit a word
        displayColours = 1 << exponent;
    }
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&version);
#pragma GCC diagnostic pop
    e.NtPlatform = version.dwPlatformId == VER_PLATFORM_WIN32_NT ? 1 : 0;
    e.OsMajorVersion = static_cast<INTEGER>(version.dwMajorVersion);
    switch (displayColours) {
    case 2: paletteSlots = 2; break;
    case 16: paletteSlots = 8; break;
    case 256: paletteSlots = 16; break;
    default: paletteSlots = 256; break;
    }
    constant = 3;
    e.ScreenWidth = screenWidth;
    e.ScreenHeight = screenHeight;
    e.DisplayColours = displayColours;
    windowGraphicsHooks().displayFacts(e.PixelsPerInch, e.NtPlatform, paletteSlots);
}

void YYOutputWindowSelect(INTEGER& width, INTEGER& height, INTEGER& window)
{
    auto& slots = windowSlotTable().Slots;
    if (window < 0 || window >= kWindowSlots || !slots[window].Frame) {
        window = -1;
        return;
    }
    WindowEngineState& e = windowEngineState();
    const WindowGraphicsHooks& graphics = windowGraphicsHooks();
    if (e.CurrentDc) graphics.windowDcDetach(e.CurrentDc->get());
    e.CurrentDc.reset();
    e.CurrentWindow = window;
    e.CurrentDc.emplace(slots[window].Client);
    graphics.windowDcAttach(e.CurrentDc->get(), slots[window].Client);
    YYClientPixelSize(window, width, height);
}

void YYWINSEL(INTEGER window, INTEGER selectionFlag)
{
    INTEGER width = 0, height = 0, selected = window;
    YYOutputWindowSelect(width, height, selected);
    if (selected == -1) {
        YYErrorReport(1003, "YYWINSEL");
        return;
    }
    WindowEngineState& e = windowEngineState();
    e.ClientWidth = width;
    e.ClientHeight = height;
    e.CurrentWindow = window;
    windowGraphicsHooks().windowSelected(window, width, height, selectionFlag);
    YYWinTextScale();
}

void WindowSetCurrent(INTEGER window) { YYWINSEL(window, windowGraphicsHooks().windowSwitchFlag()); }
