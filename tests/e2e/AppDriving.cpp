#include "tests/e2e/AppDriving.h"

#include <vector>

#include "toolkit/foundation/Handles.h"

namespace E2e {

namespace {

// The pixels of a window's rectangle on the screen, row by row (COLORREF values).
struct Capture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

Capture capture(HWND window)
{
    Capture c;
    RECT r{};
    GetWindowRect(window, &r);
    c.width = r.right - r.left;
    c.height = r.bottom - r.top;
    if (c.width <= 0 || c.height <= 0) return c;
    WindowDc screen(nullptr);
    MemoryDcHandle memory(CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = c.width;
    info.bmiHeader.biHeight = -c.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    BitmapHandle bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap || !bits) return c;
    {
        DcSelection selection(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, c.width, c.height, screen.get(), r.left, r.top, SRCCOPY);
        GdiFlush();
    }
    const auto* p = static_cast<const std::uint8_t*>(bits);
    c.pixels.resize(static_cast<std::size_t>(c.width) * c.height);
    for (std::size_t i = 0; i < c.pixels.size(); ++i) c.pixels[i] = RGB(p[4 * i + 2], p[4 * i + 1], p[4 * i]);
    return c;
}

// The open pop-up menus of a process, left to right (a sub-menu opens right of its parent).
std::vector<HWND> popupMenus(DWORD pid)
{
    struct Search {
        DWORD pid;
        std::vector<HWND> found;
    } search{pid, {}};
    struct Visit {
        static BOOL CALLBACK window(HWND window, LPARAM data)
        {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char name[32] = {};
            GetClassNameA(window, name, sizeof name);
            if (owner == s.pid && IsWindowVisible(window) && std::string_view(name) == "#32768") s.found.push_back(window);
            return TRUE;
        }
    };
    EnumWindows(&Visit::window, reinterpret_cast<LPARAM>(&search));
    std::sort(search.found.begin(), search.found.end(),
              [](HWND a, HWND b) { return windowRect(a).left < windowRect(b).left; });
    return search.found;
}

// The highlighted item of a pop-up: its first and last row (-1 when none), and whether its check
// column holds anything but the highlight colour.
struct Highlight {
    int top = -1, bottom = -1;
    bool checked = false;
};

Highlight highlightOf(HWND popup)
{
    const Capture c = capture(popup);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    Highlight h;
    if (c.width < 8) return h;
    const int middle = c.width / 2;
    for (int y = 0; y < c.height; ++y) {
        if (c.at(middle, y) != highlight) continue;
        if (h.top < 0) h.top = y;
        h.bottom = y;
    }
    if (h.top < 0) return h;
    // The check mark sits in the column reserved for it at the item's left, before the text.
    const int checkWidth = GetSystemMetrics(SM_CXMENUCHECK);
    int marked = 0;
    for (int y = h.top; y <= h.bottom; ++y)
        for (int x = 3; x < 3 + checkWidth && x < c.width; ++x)
            if (c.at(x, y) != highlight) ++marked;
    h.checked = marked >= 3;
    return h;
}

}  // namespace

std::string hoverToolbarButton(const Program& program, HWND toolbar, int command)
{
    RECT button{};
    if (!toolbarButtonRect(toolbar, command, button)) return {};
    // Leave the toolbar first, so that the tip of the previous button goes away.
    const RECT bar = windowRect(toolbar);
    mouseMove({bar.left + 2, bar.bottom + 60});
    mouseMove({(button.left + button.right) / 2, (button.top + button.bottom) / 2});
    std::string tip;
    waitFor(
        [&] {
            for (const auto& [window, text] : program.windows()) {
                char name[64] = {};
                GetClassNameA(window, name, sizeof name);
                if (std::string_view(name) == "tooltips_class32" && !text.empty()) tip = text;
            }
            return !tip.empty();
        },
        4000ms);
    return tip;
}

CheckMarks MenuChecks::read(const char* screenshotName) const
{
    CheckMarks marks;
    DWORD pid = 0;
    GetWindowThreadProcessId(frame_, &pid);
    if (!bringToFront(frame_)) return marks;
    // One key, then the highlight of the chosen pop-up (0 the View menu, 1 an open sub-menu)
    // once it has moved.
    int lastTop = -2;
    HWND lastPopup = nullptr;
    const auto step = [&](WORD key, std::size_t level) {
        pressKey(key);
        Highlight h;
        waitFor(
            [&] {
                const std::vector<HWND> popups = popupMenus(pid);
                if (popups.size() != level + 1) return false;
                h = highlightOf(popups[level]);
                const bool moved = popups[level] != lastPopup || h.top != lastTop;
                if (h.top >= 0 && moved) {
                    lastTop = h.top;
                    lastPopup = popups[level];
                    return true;
                }
                return false;
            },
            3000ms);
        return h;
    };
    pressKey(VK_MENU);
    pressKey(VK_RIGHT);  // the bar's View entry
    marks[40024] = step(VK_DOWN, 0).checked;
    step(VK_DOWN, 0);  // UnZoom
    marks[40020] = step(VK_DOWN, 0).checked;
    marks[40019] = step(VK_DOWN, 0).checked;
    step(VK_DOWN, 0);  // Grid on Curve Graph
    marks[40008] = step(VK_RIGHT, 1).checked;
    marks[40011] = step(VK_DOWN, 1).checked;
    if (screenshotName) screenshot(screenshotName);
    step(VK_LEFT, 0);
    step(VK_DOWN, 0);  // Grid on Model Graph
    marks[40012] = step(VK_RIGHT, 1).checked;
    marks[40013] = step(VK_DOWN, 1).checked;
    pressKeys({VK_ESCAPE, VK_ESCAPE, VK_ESCAPE});
    waitFor([&] { return popupMenus(pid).empty(); }, 3000ms);
    return marks;
}

HWND startFlatAsciiExport(const RunningProgram& run, std::string_view fileName)
{
    sendCommand(run.frame, 40004);
    HWND save = run.program.waitForWindow("Flat ASCII Data File");
    if (!save || !settled(save) || !answerFileDialog(save, run.program.path(fileName))) return nullptr;
    HWND kind = run.program.waitForWindow("Field Output Type");
    if (kind) settled(kind);
    return kind;
}

}  // namespace E2e
