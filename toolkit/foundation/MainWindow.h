// Opening the main window: its classes, slot, palette, named colours, status bar and drawing client.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/FixedText.h"
#include "toolkit/foundation/WinApi.h"

struct WindowDescriptionRecord {
    INTEGER Flags = 7;
    INTEGER X = -1, Y = -1, Width = 0, Height = 0;  // pixels; negative position centres, size <= 0 default
    INTEGER MenuId = 0;
    FixedText<80> Title;
};

struct TextStyleRecord {
    INTEGER FontKind = 0;
    INTEGER CharWidth = 0, CharHeight = 0;  // window units
    INTEGER Bold = 0, Italic = 0, Underline = 0;
    INTEGER Foreground = 0, Background = 15;
};

// Opens the main window once; every argument may be absent (see the defaults in the source).
void WindowOpen(std::optional<INTEGER> flags = std::nullopt, std::optional<INTEGER> x = std::nullopt,
                std::optional<INTEGER> y = std::nullopt, std::optional<INTEGER> width = std::nullopt,
                std::optional<INTEGER> height = std::nullopt, std::optional<INTEGER> menuId = std::nullopt,
                std::optional<std::array<INTEGER, 4>> toolbars = std::nullopt, INTEGER* layoutDialog = nullptr,
                std::string_view title = {}, std::optional<INTEGER> paletteSlots = std::nullopt,
                std::optional<INTEGER> background = std::nullopt);
void WindowOpenDescribed(const WindowDescriptionRecord& record, std::optional<INTEGER> paletteSlots = std::nullopt);
void WindowSetTextStyle(const TextStyleRecord& style);

// Toolkit-internal

void YYMainWindowCreate(INTEGER x, INTEGER y, INTEGER& width, INTEGER& height, INTEGER flags, INTEGER menuId,
                        const std::array<INTEGER, 4>& toolbars, INTEGER paletteSlots, INTEGER& layoutDialog,
                        INTEGER background, std::string_view title, INTEGER titleLength);
// Registers the toolkit's five window classes (the frame class anew); false when one fails.
bool YYRegisterWindowClasses();
// Probes a layout dialog: 0 valid (outer size in width, height), -1 not in the resources, -2 wrong
// style, -4 not creatable.
INTEGER YYLayoutDialogProbe(INTEGER dialogId, HWND parent, INTEGER& width, INTEGER& height, bool& resizable);
// Loads a layout dialog into the window's drawing client, attaches it to the frame with a kind-3
// record and sizes it to the client; null when the dialog cannot be loaded.
HWND YYWindowLayoutAttach(INTEGER window, INTEGER dialogId, bool show);
// The frame and client window styles of a set of WindowStyleCode flags.
DWORD YYFrameStyle(INTEGER flags);
