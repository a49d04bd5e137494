#include "toolkit/foundation/StatusBar.h"

#include "toolkit/foundation/CommonControls.h"

#include <algorithm>
#include <string>
#include <vector>

#include "toolkit/foundation/WindowSlots.h"

namespace {

INTEGER borderFlags(INTEGER style)
{
    if (style == kStatusNoBorder) return SBT_NOBORDERS;
    if (style == kStatusRaised) return SBT_POPOUT;
    return 0;  // any other value draws sunken
}

WindowSlot& currentSlot() { return windowSlotTable().Slots[windowEngineState().CurrentWindow]; }

}  // namespace

void YYStatusPartStore(INTEGER part, INTEGER widthPixels, INTEGER borderStyle)
{
    if (part < 1 || part > kStatusParts) return;
    StatusPartTable& table = currentSlot().StatusParts;
    table.Widths[static_cast<std::size_t>(part - 1)] = widthPixels;
    table.Borders[static_cast<std::size_t>(part - 1)] = borderFlags(borderStyle);
}

void YYStatusPartEdges(INTEGER window, INTEGER n)
{
    if (window < 0 || window >= kWindowSlots || n < 1) return;
    WindowSlot& slot = windowSlotTable().Slots[window];
    const auto& widths = slot.StatusParts.Widths;
    n = std::min(n, kStatusParts);
    std::vector<int> edges(static_cast<std::size_t>(n));
    INTEGER stretch = -1;
    for (INTEGER i = 0; i < n; ++i) {
        if (widths[static_cast<std::size_t>(i)] == -1) {
            stretch = i;
            break;
        }
        edges[static_cast<std::size_t>(i)] = widths[static_cast<std::size_t>(i)] + (i > 0 ? edges[static_cast<std::size_t>(i - 1)] : 0);
    }
    if (stretch >= 0) {
        // The parts after the stretching one keep their widths against the right edge.
        RECT client{};
        GetClientRect(slot.Frame.get(), &client);
        edges[static_cast<std::size_t>(n - 1)] = client.right;
        for (INTEGER i = n - 2; i >= stretch; --i)
            edges[static_cast<std::size_t>(i)] = edges[static_cast<std::size_t>(i + 1)] - widths[static_cast<std::size_t>(i + 1)];
    }
    slot.StatusParts.Count = n;
    if (slot.StatusBar) SendMessageA(slot.StatusBar, SB_SETPARTS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(edges.data()));
}

void YYStatusPartsApply(INTEGER n)
{
    WindowSlot& slot = currentSlot();
    slot.StatusParts.Count = n;
    if (!slot.StatusBar) return;
    YYStatusPartEdges(windowEngineState().CurrentWindow, n);
    for (INTEGER i = 0; i < n; ++i) {
        // Setting each text again makes a changed border style show at once.
        const auto length = LOWORD(SendMessageA(slot.StatusBar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(i), 0));
        std::string text(length + 1u, '\0');
        SendMessageA(slot.StatusBar, SB_GETTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        SendMessageA(slot.StatusBar, SB_SETTEXTA, static_cast<WPARAM>(i | slot.StatusParts.Borders[static_cast<std::size_t>(i)]),
                     reinterpret_cast<LPARAM>(text.c_str()));
    }
    InvalidateRect(slot.StatusBar, nullptr, TRUE);
    UpdateWindow(slot.StatusBar);
}

void WStatusBarLayout(INTEGER n, std::span<const INTEGER> widths, std::optional<std::span<const INTEGER>> styles)
{
    if (n <= 0 || widths.size() < static_cast<std::size_t>(std::min(n, kStatusParts))) return;
    const INTEGER used = std::min(n, kStatusParts);
    if (std::count(widths.begin(), widths.begin() + used, -1) > 1) return;
    const INTEGER clientWidth = windowEngineState().ClientWidth;
    for (INTEGER i = 0; i < used; ++i) {
        const INTEGER width = widths[static_cast<std::size_t>(i)];
        const INTEGER style = styles && static_cast<std::size_t>(i) < styles->size() ? (*styles)[static_cast<std::size_t>(i)] : 1;
        YYStatusPartStore(i + 1, width == -1 ? -1 : windowUnitsToPixel(width, clientWidth), style);
    }
    YYStatusPartsApply(used);
}

void YYStatusPartText(INTEGER part, const char* text)
{
    WindowSlot& slot = currentSlot();
    if (!slot.StatusBar || part < 1 || part > kStatusParts) return;
    const WPARAM index = static_cast<WPARAM>(part - 1);
    SendMessageA(slot.StatusBar, SB_SETTEXTA, index | static_cast<WPARAM>(slot.StatusParts.Borders[index]),
                 reinterpret_cast<LPARAM>(text));
    RECT r{};
    SendMessageA(slot.StatusBar, SB_GETRECT, index, reinterpret_cast<LPARAM>(&r));
    InvalidateRect(slot.StatusBar, &r, TRUE);
    UpdateWindow(slot.StatusBar);
}

void WStatusBarText(INTEGER part, std::string_view text)
{
    if (part < 1 || part > kStatusParts) return;
    const auto last = text.find_last_not_of(' ');
    const std::string used(last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1));
    YYStatusPartText(part, used.c_str());
}
