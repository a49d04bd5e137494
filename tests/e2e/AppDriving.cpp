#include "tests/e2e/AppDriving.h"

#include <gtest/gtest.h>

#include <vector>

#include "toolkit/foundation/Handles.h"

namespace E2e {

Capture screenPixels(HWND window)
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

namespace {

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
    const Capture c = screenPixels(popup);
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

std::string settingsWith(const std::vector<std::pair<std::string, std::string>>& values)
{
    std::string settings = defaultSettingsText();
    for (const auto& [key, value] : values) {
        const std::size_t at = settings.find("\n" + key);
        EXPECT_NE(at, std::string::npos) << key;
        if (at == std::string::npos) continue;
        settings.replace(at + 1, settings.find("\r\n", at + 1) - at - 1, key + value);
    }
    return settings;
}

HWND cellEditor(HWND grid)
{
    struct Visit {
        static BOOL CALLBACK window(HWND window, LPARAM data)
        {
            char name[64] = {};
            GetClassNameA(window, name, sizeof name);
            if (IsWindowVisible(window) && std::string(name).find("EDIT") != std::string::npos) {
                *reinterpret_cast<HWND*>(data) = window;
                return FALSE;
            }
            return TRUE;
        }
    };
    HWND found = nullptr;
    EnumChildWindows(grid, &Visit::window, reinterpret_cast<LPARAM>(&found));
    return found;
}

GridCells::GridCells(HWND page, int id, int column, int row) : grid(GetDlgItem(page, id)), column0(column), row0(row)
{
    const RECT r = editorRect();
    origin = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    width = r.right - r.left + 1;
    height = r.bottom - r.top + 1;
}

RECT GridCells::editorRect() const
{
    RECT r{};
    if (HWND editor = cellEditor(grid)) {
        GetWindowRect(editor, &r);
        MapWindowPoints(nullptr, grid, reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

bool GridCells::select(int column, int row) const
{
    const POINT target = at(column, row);
    POINT p = target;
    ClientToScreen(grid, &p);
    mouseMove(p);
    mouseDown(1);
    mouseUp(1);
    return waitFor(
        [&] {
            const RECT r = editorRect();
            return PtInRect(&r, target) != FALSE;
        },
        5000ms);
}

std::string GridCells::text() const
{
    HWND editor = cellEditor(grid);
    std::string t = editor ? windowText(editor) : std::string();
    t.erase(0, t.find_first_not_of(' '));
    t.erase(t.find_last_not_of(' ') + 1);
    return t;
}

void GridCells::type(int column, int row, const char* value) const
{
    select(column, row);
    pressKey(VK_END);
    for (int i = 0; i < 16; ++i) pressKey(VK_BACK);
    typeText(value);
    pressKey(VK_TAB);
    settled(grid);
}

std::string GridCells::read(int column, int row, const std::string& expected) const
{
    select(column, row);
    std::string seen;
    waitFor(
        [&] {
            seen = text();
            return seen == expected;
        },
        3000ms);
    return seen;
}

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
