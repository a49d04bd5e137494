#include "toolkit/foundation/WindowText.h"

#include <algorithm>
#include <string>

#include "toolkit/foundation/WindowEngineHooks.h"
#include "toolkit/foundation/WindowSlots.h"

WindowTextState& windowTextState()
{
    static WindowTextState state;
    return state;
}

namespace {

COLORREF namedColour(INTEGER index)
{
    const auto& colours = windowEngineState().NamedColours;
    const INTEGER packed = colours[static_cast<std::size_t>(std::clamp(index, 0, 17))];
    COLORREF colour = static_cast<COLORREF>(packed);
    // On a palette display the nearest palette colour is what the screen can show.
    if (windowGraphicsHooks().screenPalette()) colour = PALETTERGB(GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return colour;
}

HDC currentDc()
{
    const WindowEngineState& e = windowEngineState();
    return e.CurrentDc ? e.CurrentDc->get() : nullptr;
}

}  // namespace

void YYTextColours(INTEGER foreground, INTEGER background)
{
    windowTextState().TextForeground = foreground;
    windowTextState().TextBackground = background;
}

void YYTextUnderline(INTEGER flag) { windowTextState().TextUnderline = flag; }

void YYWinTextColours(INTEGER foreground, INTEGER background)
{
    WindowTextState& s = windowTextState();
    if (foreground >= 0 && foreground <= 16) s.Foreground = foreground;
    // Background 16 means the system window colour, which is entry 17.
    if (background >= 0 && background <= 16) s.Background = background == 16 ? 17 : background;
    YYTextColours(s.Foreground, s.Background);
}

void YYWinTextUnderline(INTEGER flag)
{
    windowTextState().Underline = flag != 0 ? 1 : 0;
    YYTextUnderline(windowTextState().Underline);
}

void YYWinTextSize(INTEGER width, INTEGER height)
{
    windowTextState().CharWidth = width;
    windowTextState().CharHeight = height;
    YYWinTextScale();
}

void YYWinTextScale()
{
    WindowTextState& s = windowTextState();
    YYWindowUnitsToPixel(s.CharWidth, s.CharHeight, s.PixelWidth, s.PixelHeight);
}

void YYWinTextFont()
{
    WindowTextState& s = windowTextState();
    if (s.FontKind == s.BuiltKind && s.PixelWidth == s.BuiltWidth && s.PixelHeight == s.BuiltHeight &&
        s.Bold == s.BuiltBold && s.Italic == s.BuiltItalic)
        return;
    INTEGER width = s.PixelWidth, height = s.PixelHeight;
    YYTextFont(s.FontKind, s.Bold, s.Italic, width, height);
    s.BuiltKind = s.FontKind;
    s.BuiltWidth = s.PixelWidth;
    s.BuiltHeight = s.PixelHeight;
    s.BuiltBold = s.Bold;
    s.BuiltItalic = s.Italic;
}

void YYTextFont(INTEGER kind, INTEGER bold, INTEGER italic, INTEGER& width, INTEGER& height)
{
    WindowTextState& s = windowTextState();
    s.OwnedFont.reset();
    struct Face {
        const char* name;
        DWORD family;
    };
    const Face faces[] = {{"Times New Roman", FF_ROMAN | VARIABLE_PITCH}, {"Arial", FF_SWISS | VARIABLE_PITCH},
                          {"Courier New", FF_MODERN}, {"Symbol", 0}, {"Wingdings", 0}};
    if (kind >= 2 && kind <= 6) {
        const Face& face = faces[kind - 2];
        s.OwnedFont.reset(CreateFontA(height, width, 0, 0, bold ? 700 : 400, italic ? TRUE : FALSE, FALSE, FALSE,
                                      DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                      face.family, face.name));
        s.Font = static_cast<HFONT>(s.OwnedFont.get());
    } else if (kind == 1) {
        s.Font = static_cast<HFONT>(GetStockObject(SYSTEM_FIXED_FONT));
    } else if (kind == -99) {
        s.Font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    } else {
        s.Font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    }
    ++s.FontBuilds;
    HDC dc = currentDc();
    if (!dc) return;  // before any window exists the size cannot be measured
    DcSelection selected(dc, s.Font);
    TEXTMETRICA metrics{};
    if (GetTextMetricsA(dc, &metrics)) {
        height = metrics.tmHeight;
        width = metrics.tmAveCharWidth;
    }
}

void YYTextColourSet(INTEGER index, INTEGER red, INTEGER green, INTEGER blue)
{
    if (index < 0 || index > 17) return;
    const INTEGER colour = red + 256 * green + 65536 * blue;
    windowEngineState().NamedColours[static_cast<std::size_t>(index)] = colour;
    windowGraphicsHooks().paletteSet(index, colour, 0);
}

void YYTextOut(INTEGER& x, INTEGER& y, std::string_view text, INTEGER length)
{
    HDC dc = currentDc();
    if (!dc || length < 1) return;
    const WindowTextState& s = windowTextState();
    const std::string shown(text.substr(0, std::min<std::size_t>(text.size(), static_cast<std::size_t>(length - 1))));
    DcSelection font(dc, s.Font);
    const COLORREF textColour = namedColour(s.TextForeground);
    const COLORREF oldText = SetTextColor(dc, textColour);
    const COLORREF oldBack = SetBkColor(dc, namedColour(s.TextBackground));
    const int oldMode = SetBkMode(dc, OPAQUE);
    const UINT oldAlign = SetTextAlign(dc, TA_BASELINE | TA_UPDATECP);
    POINT previous{};
    MoveToEx(dc, x, y, &previous);
    TextOutA(dc, 0, 0, shown.c_str(), static_cast<int>(shown.size()));
    POINT after{};
    GetCurrentPositionEx(dc, &after);
    if (s.TextUnderline) {
        GdiObjectHandle pen(CreatePen(PS_SOLID, 1, textColour));
        DcSelection selected(dc, pen.get());
        MoveToEx(dc, x, y + 2, nullptr);
        LineTo(dc, after.x, after.y + 2);
    }
    MoveToEx(dc, previous.x, previous.y, nullptr);
    SetTextAlign(dc, oldAlign);
    SetBkMode(dc, oldMode);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
    x = after.x;
    y = after.y;
}

void YYTextWidth(INTEGER& width, std::string_view text, INTEGER length)
{
    width = 0;
    HDC dc = currentDc();
    if (!dc || length < 1) return;
    const std::string measured(text.substr(0, std::min<std::size_t>(text.size(), static_cast<std::size_t>(length - 1))));
    DcSelection font(dc, windowTextState().Font);
    SIZE size{};
    if (GetTextExtentPoint32A(dc, measured.c_str(), static_cast<int>(measured.size()), &size)) width = size.cx;
}
