// Window text mode: plain text in a Windows font in character cells of the current window.
#pragma once

#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/Handles.h"

struct WindowTextState {
    INTEGER FontKind = 0;
    INTEGER CharWidth = 0, CharHeight = 0;  // window units
    INTEGER Bold = 0, Italic = 0, Underline = 0;
    INTEGER Foreground = 0, Background = 15;
    INTEGER PixelWidth = 0, PixelHeight = 0;  // the character size in pixels of the current window
    // The style last turned into a font, so that an unchanged style does not rebuild it.
    INTEGER BuiltKind = -1000, BuiltWidth = -1, BuiltHeight = -1, BuiltBold = -1, BuiltItalic = -1;
    GdiObjectHandle OwnedFont;   // fonts of kinds 2 to 6; stock fonts are not owned
    HFONT Font = nullptr;
    INTEGER TextForeground = 0, TextBackground = 15, TextUnderline = 0;  // used by the output worker
    INTEGER FontBuilds = 0;  // how many fonts have been made, for the rebuild rule
};

WindowTextState& windowTextState();

// Toolkit-internal

void YYWinTextColours(INTEGER foreground, INTEGER background);
void YYWinTextUnderline(INTEGER flag);
void YYWinTextSize(INTEGER width, INTEGER height);
void YYWinTextScale();
void YYWinTextFont();
void YYTextFont(INTEGER kind, INTEGER bold, INTEGER italic, INTEGER& width, INTEGER& height);
void YYTextColours(INTEGER foreground, INTEGER background);
void YYTextUnderline(INTEGER flag);
void YYTextColourSet(INTEGER index, INTEGER red, INTEGER green, INTEGER blue);
void YYTextOut(INTEGER& x, INTEGER& y, std::string_view text, INTEGER length);
void YYTextWidth(INTEGER& width, std::string_view text, INTEGER length);
