#include "toolkit/foundation/ChildWindows.h"
#include "toolkit/foundation/EditorWindowRecord.h"

#include "toolkit/foundation/CommonControls.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/Menus.h"
#include "toolkit/foundation/WindowEngineHooks.h"
#include "toolkit/foundation/WindowProcs.h"
#include "toolkit/foundation/WindowServices.h"

ChildWindowHooks& childWindowHooks()
{
    static ChildWindowHooks hooks;
    return hooks;
}

namespace {

auto& slots() { return windowSlotTable().Slots; }

WindowSlot& slotOf(INTEGER n) { return slots()[static_cast<std::size_t>(n)]; }

std::intptr_t& word(SplitWindowRecord& record, int n) { return record.Words[static_cast<std::size_t>(n - 1)]; }
std::intptr_t word(const SplitWindowRecord& record, int n) { return record.Words[static_cast<std::size_t>(n - 1)]; }

HWND asWindow(std::intptr_t value) { return reinterpret_cast<HWND>(value); }
std::intptr_t asWord(HWND window) { return reinterpret_cast<std::intptr_t>(window); }

INTEGER recordKind(HWND frame)
{
    const WindowUserRecord* record = YYWindowRecord(frame);
    return record ? static_cast<INTEGER>(record->Words[0]) : 0;
}

bool semiModelessUp()
{
    const auto count = childWindowHooks().semiModelessCount;
    return count && count() > 0;
}

bool stacked(const SplitWindowRecord& record) { return (word(record, 10) & kSplitStacked) != 0; }

// A window's rectangle in its parent's client coordinates.
RECT rectInParent(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Extent of a rectangle along (stacked: vertical) or across the split direction.
LONG along(const RECT& r, bool vertical) { return vertical ? r.bottom - r.top : r.right - r.left; }

// What a pane frame adds around its drawing client in the split direction.
LONG paneExtras(INTEGER pane, bool vertical)
{
    const WindowSlot& s = slotOf(pane);
    RECT outer{}, client{};
    GetWindowRect(s.Frame.get(), &outer);
    GetClientRect(s.Client, &client);
    return along(outer, vertical) - along(client, vertical);
}

LONG clientExtent(INTEGER pane, bool vertical)
{
    RECT client{};
    GetClientRect(slotOf(pane).Client, &client);
    return along(client, vertical);
}

// The slot's menu, popup identifiers, accelerators and menu help texts.
void loadMenu(WindowSlot& slot, INTEGER menuId)
{
    if (menuId == 0) return;
    HINSTANCE instance = windowEngineState().Instance;
    HMENU menu = LoadMenuA(instance, MAKEINTRESOURCEA(menuId));
    if (!menu) return;
    slot.Menu = menu;
    YYMenuAssignPopupIds(menu, menuId);
    YYMenuAttachResources(slot, menuId);
}

// Checks a layout dialog for a new window: 0 valid with its outer size, else the status that
// replaces the caller's identifier.
INTEGER checkLayout(INTEGER dialogId, HWND parent, INTEGER& width, INTEGER& height, bool& resizable)
{
    if (const auto available = childWindowHooks().layoutDialogAvailable) {
        const INTEGER status = available(dialogId);
        if (status != 0) return status;
    }
    return YYLayoutDialogProbe(dialogId, parent, width, height, resizable);
}

// Toolbars and status bar of a new frame; returns how much they add to the frame's height and
// width (the status bar and top/bottom bars add height, left/right bars width).
SIZE addBars(INTEGER window, INTEGER flags, const std::array<INTEGER, 4>& toolbars, INTEGER clientWidth)
{
    WindowSlot& slot = slotOf(window);
    SIZE extra{0, 0};
    for (INTEGER edge = 0; edge < 4; ++edge) {
        INTEGER identifier = toolbars[static_cast<std::size_t>(edge)], unusedWidth = 0, unusedHeight = 0;
        if (identifier == 0) continue;
        YYToolbarCreate(identifier, window, edge, unusedWidth, unusedHeight);
        if (identifier < 0) continue;
        const INTEGER thickness = slot.ToolbarWidths[static_cast<std::size_t>(edge)];
        if (edge == 0 || edge == 3) extra.cy += thickness;
        else extra.cx += thickness;
    }
    slot.StatusParts = StatusPartTable{};
    if (flags & kStyleStatusBar) {
        DWORD barStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        if (!(flags & kStyleFixedSize)) barStyle |= SBARS_SIZEGRIP;
        slot.StatusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "", barStyle, 0, 0, clientWidth, 10, slot.Frame.get(),
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)),
                                         windowEngineState().Instance, nullptr);
        if (slot.StatusBar) {
            slot.StatusParts.Widths[0] = -1;
            int whole = -1;
            SendMessageA(slot.StatusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&whole));
            RECT r{};
            GetWindowRect(slot.StatusBar, &r);
            extra.cy += r.bottom - r.top;
        }
    }
    return extra;
}

// The drawing client of a new frame, laid out among its bars.
bool addClient(INTEGER window)
{
    WindowSlot& slot = slotOf(window);
    slot.Client = CreateWindowExA(0, "DOVECLIENT", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
                                  0, 10, 10, slot.Frame.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)),
                                  windowEngineState().Instance, nullptr);
    if (!slot.Client) return false;
    YYFrameLayout(window);
    return true;
}

// The window the new window returns to: the visible modeless dialog's window, else the active frame.
INTEGER returnWindowNow()
{
    if (HWND dialog = dialogManagerHooks().activeModelessDialog(); dialog && IsWindowVisible(dialog)) {
        for (HWND w = dialog; w; w = GetParent(w))
            if (const INTEGER n = YYWindowSlotFromHandle(w); n >= 0) return n;
    }
    return YYWindowSlotFromHandle(windowEngineState().ActiveFrame);
}

// Empties a slot: record detached, frame (with client, bars and children) destroyed, the slot's
// menu destroyed unless the frame took it along or another slot still uses it.
void clearSlot(INTEGER n, bool destroyMenu)
{
    WindowSlot& slot = slotOf(n);
    WindowEngineState& e = windowEngineState();
    HWND frame = slot.Frame.get();
    HMENU menu = slot.Menu;
    const bool attached = frame && menu && GetMenu(frame) == menu;
    if (menu && !attached) {
        // A pane's menu shown on an outer frame goes away with the pane: that frame shows none.
        for (const WindowSlot& other : slots())
            if (HWND f = other.Frame.get(); f && f != frame && GetMenu(f) == menu) SetMenu(f, other.Menu != menu ? other.Menu : nullptr);
    }
    bool shared = false;
    for (int m = 0; m < kWindowSlots; ++m)
        if (m != n && menu && slotOf(m).Menu == menu) {
            // The menu stays with that window, and so do its items' help texts.
            if (!shared) slotOf(m).MenuItemHelp.takeAll(slot.MenuItemHelp);
            shared = true;
        }
    if (frame) SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
    if (HWND bar = slot.SplitRecord ? asWindow(word(*slot.SplitRecord, 6)) : nullptr) {
        SetWindowLongPtrA(bar, GWLP_USERDATA, 0);
        DestroyWindow(bar);
    }
    if (frame && e.ActiveFrame == frame) e.ActiveFrame = slotOf(0).Frame.get();
    if (e.CurrentWindow == n) {
        e.CurrentDc.reset();
        windowGraphicsHooks().windowClosed(slot.Client);
    }
    if (menu && !attached && !shared && destroyMenu) YYMenuFreeItems(menu, n);
    // Destroyed while the slot still names it, so that its WM_DESTROY frees an attached menu's item data.
    if (frame) DestroyWindow(frame);
    slot.Frame.release();
    if (menu && !attached && !shared && destroyMenu) MenuHandle{menu}.reset();
    slot = WindowSlot{};
    // Drawing must not go on into a slot that is gone: the main window becomes current again.
    if (e.CurrentWindow == n && slotOf(0).Frame) {
        QuietErrors quiet;
        YYWINSEL(0, 0);
    }
}

// Every slot whose frame lies inside the frame or is owned by it, directly or through a chain.
bool belongsTo(HWND candidate, HWND frame)
{
    if (!candidate || candidate == frame) return false;
    if (IsChild(frame, candidate)) return true;
    for (HWND owner = GetWindow(candidate, GW_OWNER); owner; owner = GetWindow(owner, GW_OWNER))
        if (owner == frame || IsChild(frame, owner)) return true;
    return false;
}

void placePane(HWND frame, LONG start, LONG extent, const RECT& client, bool vertical, bool move)
{
    const LONG span = vertical ? client.right - client.left : client.bottom - client.top;
    extent = std::max<LONG>(extent, 0);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!move) flags |= SWP_NOMOVE;
    if (vertical) SetWindowPos(frame, nullptr, client.left, start, span, extent, flags);
    else SetWindowPos(frame, nullptr, start, client.top, extent, span, flags);
}

void storeExtents(SplitWindowRecord& record)
{
    const bool vertical = stacked(record);
    word(record, 13) = clientExtent(static_cast<INTEGER>(word(record, 8)), vertical);
    word(record, 14) = clientExtent(static_cast<INTEGER>(word(record, 9)), vertical);
}

}  // namespace

INTEGER YYFreeWindowSlot()
{
    for (INTEGER n = 1; n < kWindowSlots; ++n)
        if (!slotOf(n).Frame) return n;
    return -1;
}

void YYMediaStop(INTEGER window)
{
    if (window >= 0 && window < kWindowSlots) YYMediaStop(slotOf(window));
}

SplitWindowRecord* YYSplitRecord(HWND frame)
{
    if (recordKind(frame) != kWindowSplit) return nullptr;
    return reinterpret_cast<SplitWindowRecord*>(GetWindowLongPtrA(frame, GWLP_USERDATA));
}

HWND YYOutermostFrame(HWND frame)
{
    while (frame && (GetWindowLongA(frame, GWL_STYLE) & WS_CHILD)) {
        const INTEGER parent = YYWindowSlotFromHandle(GetParent(frame));
        if (parent < 0) break;
        frame = slotOf(parent).Frame.get();
    }
    return frame;
}

INTEGER YYSplitOfPane(HWND frame)
{
    if (!frame || !(GetWindowLongA(frame, GWL_STYLE) & WS_CHILD)) return -1;
    const INTEGER parent = YYWindowSlotFromHandle(GetParent(frame));
    if (parent < 0) return -1;
    const SplitWindowRecord* record = YYSplitRecord(slotOf(parent).Frame.get());
    if (!record) return -1;
    const INTEGER pane = YYWindowSlotFromHandle(frame);
    return (pane == word(*record, 8) || pane == word(*record, 9)) ? parent : -1;
}

bool YYSplitPaneLocked(const SplitWindowRecord& record, INTEGER pane, INTEGER direction)
{
    const bool splitDirection = (direction == 1) == stacked(record);
    if (splitDirection && (word(record, 11 + pane) & kPaneFixed)) return true;
    const INTEGER window = static_cast<INTEGER>(word(record, 8 + pane));
    if (window < 1 || window >= kWindowSlots) return false;
    const SplitWindowRecord* inner = YYSplitRecord(slotOf(window).Frame.get());
    return inner && YYSplitWindowLocked(*inner, direction);
}

bool YYSplitWindowLocked(const SplitWindowRecord& record, INTEGER direction)
{
    const bool first = YYSplitPaneLocked(record, 0, direction), second = YYSplitPaneLocked(record, 1, direction);
    const bool alongSplit = (direction == 1) == stacked(record);
    if (alongSplit) return first && second && !(word(record, 10) & kSplitProportional);
    return first || second;
}

bool YYSplitterMovable(const SplitWindowRecord& record)
{
    const INTEGER direction = stacked(record) ? 1 : 0;
    return !YYSplitPaneLocked(record, 0, direction) && !YYSplitPaneLocked(record, 1, direction);
}

void YYChildWindowCreate(INTEGER x, INTEGER y, INTEGER width, INTEGER height, INTEGER& window, INTEGER flags,
                         INTEGER menuId, const std::array<INTEGER, 4>& toolbars, INTEGER& layoutDialog, INTEGER parent,
                         INTEGER background, std::string_view title)
{
    WindowEngineState& e = windowEngineState();
    const INTEGER n = YYFreeWindowSlot();
    if (n < 0) {
        window = -1;
        return;
    }
    const bool inside = (flags & kStyleInsideParent) != 0;
    HWND parentFrame = parent >= 0 && parent < kWindowSlots ? slotOf(parent).Frame.get() : nullptr;
    if (inside) {
        if (!parentFrame) {
            window = -5;
            return;
        }
        if (!IsWindowVisible(parentFrame)) {
            window = -2;
            return;
        }
        const INTEGER kind = recordKind(parentFrame);
        if (kind != 0) {
            window = kind == kWindowDialogLayout ? -3 : -4;
            return;
        }
    }
    HWND parentClient = inside ? slotOf(parent).Client : nullptr;

    bool withLayout = false;
    if (layoutDialog != 0) {
        INTEGER dialogWidth = 0, dialogHeight = 0;
        bool resizable = false;
        const INTEGER status = checkLayout(layoutDialog, parentClient ? parentClient : slotOf(0).Client, dialogWidth,
                                           dialogHeight, resizable);
        if (status != 0) {
            layoutDialog = status;
        } else {
            withLayout = true;
            width = dialogWidth;
            height = dialogHeight;
            if (!resizable) flags = (flags | kStyleFixedSize) & ~(kStyleMaximiseBox | kStyleMaximised);
        }
    }

    DWORD style = YYFrameStyle(flags) & ~WS_MAXIMIZE;
    style |= inside ? (WS_CHILD | WS_CLIPSIBLINGS) : WS_POPUP;
    DWORD exStyle = (flags & kStyleToolWindow) ? WS_EX_TOOLWINDOW : WS_EX_APPWINDOW;
    if (flags & kStyleTopmost) exStyle |= WS_EX_TOPMOST;
    if (semiModelessUp()) style |= WS_DISABLED;

    WindowSlot& slot = slotOf(n);
    slot.BackgroundColour = background;
    slot.BackgroundBrush.reset(background == -1 ? nullptr : CreateSolidBrush(static_cast<COLORREF>(background)));
    const bool withMenu = !inside && menuId != 0;
    RECT outer{0, 0, width, height};
    AdjustWindowRectEx(&outer, style, withMenu, exStyle);
    INTEGER outerWidth = outer.right - outer.left, outerHeight = outer.bottom - outer.top;
    INTEGER areaWidth = e.ScreenWidth, areaHeight = e.ScreenHeight;
    if (inside) {
        RECT r{};
        GetClientRect(parentClient, &r);
        areaWidth = r.right;
        areaHeight = r.bottom;
    }
    const bool centredX = x == kUnchanged, centredY = y == kUnchanged;
    if (centredX) x = (areaWidth - outerWidth) / 2;
    if (centredY) y = (areaHeight - outerHeight) / 2;

    slot.ReturnWindow = returnWindowNow();
    HWND owner = inside ? parentClient : ((flags & kStyleOwned) ? parentFrame : nullptr);
    const std::string text(title);
    slot.Frame.reset(CreateWindowExA(exStyle, "DOVECHILD", text.c_str(), style, x, y, outerWidth, outerHeight, owner,
                                     nullptr, e.Instance, nullptr));
    if (!slot.Frame) {
        slot = WindowSlot{};
        window = -1;
        return;
    }
    HWND frame = slot.Frame.get();
    slot.OpenFlags = flags;
    if (withMenu) {
        loadMenu(slot, menuId);
        if (slot.Menu) SetMenu(frame, slot.Menu);
    }
    slot.SavedRectangle = {-999, 0, 0, 0};

    const SIZE extra = addBars(n, flags, toolbars, width);
    if (extra.cx || extra.cy) {
        const bool maximised = (flags & kStyleMaximised) != 0;
        if (centredX && !maximised) x -= extra.cx / 2;
        if (centredY && !maximised) y -= extra.cy / 2;
        SetWindowPos(frame, nullptr, x, y, outerWidth + extra.cx, outerHeight + extra.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        if (slot.StatusBar) SendMessageA(slot.StatusBar, WM_SIZE, 0, 0);
    }
    if (!addClient(n)) {
        clearSlot(n, true);
        window = -1;
        return;
    }
    HWND layout = withLayout ? YYWindowLayoutAttach(n, layoutDialog, !(flags & kStyleHidden)) : nullptr;
    if (withLayout && !layout) layoutDialog = -4;

    const bool maximised = (flags & kStyleMaximised) != 0;
    if (flags & kStyleHidden) {
        if (maximised) {
            SetWindowLongA(frame, GWL_STYLE, GetWindowLongA(frame, GWL_STYLE) | WS_MAXIMIZE);
            SendMessageA(frame, WM_SIZE, SIZE_MAXIMIZED, 0);
        }
    } else {
        ShowWindow(frame, maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
        SetWindowPos(frame, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        UpdateWindow(frame);
        ValidateRect(slot.Client, nullptr);
        if (layout) UpdateWindow(layout);
        slot.SavedRectangle = {-999, 0, 0, 0};
        SetFocus(slot.Client);
        YYWindowActivate(frame);
    }
    e.ActiveFrame = frame;
    window = n;
}

void YYSplitWindowCreate(std::array<INTEGER, 2>& panes, INTEGER splitFlags, const std::array<INTEGER, 2>& paneFlags,
                         INTEGER firstSize, const std::array<INTEGER, 2>& menuIds,
                         const std::array<std::array<INTEGER, 4>, 2>& toolbars, std::array<INTEGER, 2>& layoutDialogs,
                         const std::array<INTEGER, 2>& backgrounds, std::string_view firstTitle,
                         std::string_view secondTitle)
{
    WindowEngineState& e = windowEngineState();
    const INTEGER window = e.CurrentWindow;
    WindowSlot& split = slotOf(window);
    HWND frame = split.Frame.get();
    if (!frame) {
        panes = {-1, -1};
        return;
    }
    if (const INTEGER kind = recordKind(frame); kind != 0) {
        panes.fill(kind == kWindowDialogLayout ? -3 : -4);
        return;
    }
    for (INTEGER m = 1; m < kWindowSlots; ++m)
        if (HWND other = slotOf(m).Frame.get(); other && GetParent(other) == split.Client) {
            panes = {-6, -6};
            return;
        }

    auto record = std::make_unique<SplitWindowRecord>();
    SplitWindowRecord& r = *record;
    word(r, 1) = kWindowSplit;
    word(r, 7) = window;
    word(r, 15) = kNoAnchor;
    std::array<INTEGER, 2> numbers{-1, -1};
    for (INTEGER m = 1, found = 0; m < kWindowSlots && found < 2; ++m)
        if (!slotOf(m).Frame) numbers[static_cast<std::size_t>(found++)] = m;
    if (numbers[1] < 0) {
        panes = {-1, -1};
        return;
    }
    word(r, 8) = numbers[0];
    word(r, 9) = numbers[1];
    word(r, 10) = splitFlags;
    word(r, 11) = paneFlags[0];
    word(r, 12) = paneFlags[1];
    RECT outer{};
    GetWindowRect(frame, &outer);
    word(r, 16) = outer.right - outer.left;
    word(r, 17) = outer.bottom - outer.top;
    const bool vertical = (splitFlags & kSplitStacked) != 0;

    // Layout dialogs: a valid one gives its pane's size; a fixed one fixes the pane.
    std::array<bool, 2> withLayout{false, false};
    std::array<LONG, 2> layoutExtent{0, 0};
    std::array<bool, 2> layoutFixed{false, false};
    for (std::size_t k = 0; k < 2; ++k) {
        if (layoutDialogs[k] == 0) continue;
        INTEGER w = 0, h = 0;
        bool resizable = false;
        const INTEGER status = checkLayout(layoutDialogs[k], split.Client, w, h, resizable);
        if (status != 0) {
            layoutDialogs[k] = status;
            continue;
        }
        withLayout[k] = true;
        layoutExtent[k] = vertical ? h : w;
        layoutFixed[k] = !resizable;
    }
    INTEGER size = firstSize;
    if (withLayout[0]) size = layoutExtent[0];
    if (withLayout[1] && (!withLayout[0] || (layoutFixed[1] && !layoutFixed[0]))) size = layoutExtent[1];
    if (withLayout[0] && layoutFixed[0]) {
        word(r, 11) |= kPaneFixed;
        word(r, 10) &= ~(kSplitProportional | kSplitSecondKeepsSize);
    }
    if (withLayout[1] && layoutFixed[1] && !(word(r, 11) & kPaneFixed)) {
        word(r, 12) |= kPaneFixed;
        word(r, 10) &= ~kSplitProportional;
    }
    const bool firstFixed = word(r, 11) & kPaneFixed, secondFixed = word(r, 12) & kPaneFixed;
    const bool sizeForSecond = (word(r, 10) & kSplitSecondKeepsSize) || (secondFixed && !firstFixed) ||
                               (withLayout[1] && !withLayout[0]);

    const LONG thickness = GetSystemMetrics(vertical ? SM_CYFRAME : SM_CXFRAME);
    RECT client{};
    GetClientRect(split.Client, &client);
    const LONG extent = along(client, vertical);

    // Pane frames, with their menus, bars and drawing clients.
    std::array<RECT, 2> placed{};
    bool created = true;
    for (std::size_t k = 0; k < 2 && created; ++k) {
        const INTEGER n = numbers[k];
        WindowSlot& pane = slotOf(n);
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        if (!(word(r, 11 + static_cast<int>(k)) & kPaneNoCaption)) style |= WS_CAPTION;
        if (firstSize >= 0 || withLayout[0] || withLayout[1]) style |= WS_VISIBLE;
        if (semiModelessUp()) style |= WS_DISABLED;
        RECT grown{0, 0, 0, 0};
        AdjustWindowRectEx(&grown, style, FALSE, 0);
        const LONG borders = along(grown, vertical);
        LONG start = 0, end = 0;
        if (size < 0) {
            start = k == 0 ? 0 : (extent + thickness) / 2;
            end = k == 0 ? (extent - thickness) / 2 : extent;
        } else {
            const LONG sized = std::min<LONG>(size + borders, extent);
            const bool forThis = (k == 1) == sizeForSecond;
            const LONG firstEnd = sizeForSecond ? std::max<LONG>(extent - sized - thickness, 0) : sized;
            if (k == 0) end = forThis ? sized : firstEnd;
            else start = forThis ? extent - sized : firstEnd + thickness;
            if (k == 1) end = extent;
        }
        RECT box = vertical ? RECT{client.left, start, client.right, end} : RECT{start, client.top, end, client.bottom};
        placed[k] = box;
        pane.BackgroundColour = backgrounds[k];
        pane.BackgroundBrush.reset(backgrounds[k] == -1 ? nullptr
                                                        : CreateSolidBrush(static_cast<COLORREF>(backgrounds[k])));
        const std::string text(k == 0 ? firstTitle : secondTitle);
        pane.Frame.reset(CreateWindowExA(0, "DOVECHILD", text.c_str(), style, box.left, box.top,
                                         box.right - box.left, std::max<LONG>(box.bottom - box.top, 0), split.Client,
                                         nullptr, e.Instance, nullptr));
        if (!pane.Frame) {
            created = false;
            break;
        }
        pane.OpenFlags = word(r, 11 + static_cast<int>(k)) | kStyleInsideParent;
        pane.ReturnWindow = window;
        pane.SavedRectangle = {-999, 0, 0, 0};
        loadMenu(pane, menuIds[k]);
        const INTEGER barFlags = (word(r, 11 + static_cast<int>(k)) & kPaneStatusBar) ? kStyleStatusBar | kStyleFixedSize : 0;
        addBars(n, barFlags, toolbars[k], box.right - box.left);
        if (!addClient(n)) created = false;
    }
    if (created && slotOf(numbers[0]).Menu) SetMenu(YYOutermostFrame(frame), slotOf(numbers[0]).Menu);

    HWND bar = nullptr;
    if (created) {
        const RECT& first = placed[0];
        bar = vertical ? CreateWindowExA(0, "DOVESPLITH", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, client.left,
                                         first.bottom, client.right - client.left, thickness, split.Client, nullptr,
                                         e.Instance, nullptr)
                       : CreateWindowExA(0, "DOVESPLITV", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, first.right,
                                         client.top, thickness, client.bottom - client.top, split.Client, nullptr,
                                         e.Instance, nullptr);
    }
    if (!bar) {
        for (const INTEGER n : numbers)
            if (slotOf(n).Frame) clearSlot(n, true);
        panes = {-1, -1};
        return;
    }
    SetWindowPos(bar, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    word(r, 6) = asWord(bar);
    SetWindowLongPtrA(bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record.get()));
    SetWindowLongPtrA(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record.get()));
    split.SplitRecord = std::move(record);
    storeExtents(r);

    for (std::size_t k = 0; k < 2; ++k) {
        if (!withLayout[k]) continue;
        if (!YYWindowLayoutAttach(numbers[k], layoutDialogs[k], true)) layoutDialogs[k] = -4;
    }
    if (size < 0 && !withLayout[0] && !withLayout[1]) {
        // One proportional pass makes the two halves' drawing areas equal.
        word(r, 13) = word(r, 14) = 1;
        const std::intptr_t flags = word(r, 10);
        word(r, 10) |= kSplitProportional;
        YYSplitLayout(r);
        word(r, 10) = flags;
        storeExtents(r);
        for (const INTEGER n : numbers) ShowWindow(slotOf(n).Frame.get(), SW_SHOWNA);
    }
    const bool hadFocus = GetFocus() == split.Client;
    for (const INTEGER n : numbers) {
        WindowSlot& pane = slotOf(n);
        if (recordKind(pane.Frame.get()) == kWindowDialogLayout) SendMessageA(pane.Frame.get(), WM_SIZE, 0, 0);
        RedrawWindow(pane.Client, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
        ValidateRect(pane.Client, nullptr);
    }
    HWND firstFrame = slotOf(numbers[0]).Frame.get();
    if (hadFocus) {
        SetFocus(slotOf(numbers[0]).Client);
        YYWindowActivate(firstFrame);
        // The focus went on into the first pane's layout, whose field is then ready for typing.
        if (recordKind(firstFrame) == kWindowDialogLayout)
            dialogManagerHooks().layoutDialogFocusField(asWindow(YYWindowRecord(firstFrame)->Words[5]));
    }
    word(r, 18) = asWord(firstFrame);
    panes = numbers;
}

void YYSplitLayout(SplitWindowRecord& record)
{
    const INTEGER window = static_cast<INTEGER>(word(record, 7));
    const INTEGER first = static_cast<INTEGER>(word(record, 8)), second = static_cast<INTEGER>(word(record, 9));
    HWND bar = asWindow(word(record, 6));
    if (!bar || !slotOf(first).Frame || !slotOf(second).Frame) return;
    const bool vertical = stacked(record);
    HWND client = slotOf(window).Client;
    RECT area{};
    GetClientRect(client, &area);
    const LONG extent = along(area, vertical);
    const LONG thickness = along(rectInParent(bar), vertical);
    const RECT firstRect = rectInParent(slotOf(first).Frame.get());
    const RECT secondRect = rectInParent(slotOf(second).Frame.get());
    LONG firstEnd = 0;
    if (word(record, 10) & kSplitProportional) {
        const LONG extras1 = paneExtras(first, vertical), extras2 = paneExtras(second, vertical);
        const LONG available = std::max<LONG>(extent - thickness - extras1 - extras2, 0);
        const std::intptr_t total = word(record, 13) + word(record, 14);
        firstEnd = (total > 0 ? static_cast<LONG>(available * word(record, 13) / total) : available / 2) + extras1;
    } else if ((word(record, 10) & kSplitSecondKeepsSize) || YYSplitPaneLocked(record, 1, vertical ? 1 : 0)) {
        firstEnd = extent - along(secondRect, vertical) - thickness;
    } else {
        firstEnd = along(firstRect, vertical);
    }
    firstEnd = std::clamp<LONG>(firstEnd, 0, std::max<LONG>(extent - thickness, 0));
    placePane(slotOf(first).Frame.get(), 0, firstEnd, area, vertical, false);
    placePane(bar, firstEnd, thickness, area, vertical, true);
    placePane(slotOf(second).Frame.get(), firstEnd + thickness, extent - firstEnd - thickness, area, vertical, true);
    ValidateRect(client, nullptr);
}

bool YYSplitterAwayFromPanes(const SplitWindowRecord& record)
{
    HWND bar = asWindow(word(record, 6));
    const INTEGER first = static_cast<INTEGER>(word(record, 8));
    if (!bar || first < 1 || first >= kWindowSlots || !slotOf(first).Frame) return false;
    const RECT b = rectInParent(bar), f = rectInParent(slotOf(first).Frame.get());
    return stacked(record) ? f.bottom != b.top : f.right != b.left;
}

void YYSplitterMoved(SplitWindowRecord& record)
{
    const INTEGER window = static_cast<INTEGER>(word(record, 7));
    HWND bar = asWindow(word(record, 6));
    HWND first = slotOf(static_cast<INTEGER>(word(record, 8))).Frame.get();
    HWND second = slotOf(static_cast<INTEGER>(word(record, 9))).Frame.get();
    if (!bar || !first || !second) return;
    const bool vertical = stacked(record);
    RECT area{};
    GetClientRect(slotOf(window).Client, &area);
    const RECT b = rectInParent(bar), f = rectInParent(first), s = rectInParent(second);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (vertical) {
        SetWindowPos(first, nullptr, f.left, f.top, f.right - f.left, std::max<LONG>(b.top - f.top, 0), flags);
        SetWindowPos(second, nullptr, s.left, b.bottom, s.right - s.left, std::max<LONG>(s.bottom - b.bottom, 0), flags);
    } else {
        SetWindowPos(first, nullptr, f.left, f.top, std::max<LONG>(b.left - f.left, 0), f.bottom - f.top, flags);
        SetWindowPos(second, nullptr, b.right, s.top, std::max<LONG>(s.right - b.right, 0), s.bottom - s.top, flags);
    }
    storeExtents(record);
}

std::intptr_t* YYEditorRecordWords(HWND frame)
{
    WindowUserRecord* record = YYWindowRecord(frame);
    if (!record || record->Words[0] != kWindowGridEditor) return nullptr;
    // The grid editor's record is longer than the engine's own; they share only the kind word's place.
    return reinterpret_cast<std::intptr_t*>(record);
}

EditorWindowRecord* YYTextEditorRecord(HWND frame)
{
    const WindowUserRecord* record = YYWindowRecord(frame);
    if (!record || record->Words[0] != kWindowTextEditor) return nullptr;
    return WindowOwnedRecord<EditorWindowRecord>::of(frame);
}

namespace {

// A text editor asks about its current file and, when the user lets it go, about every other
// unsaved file of its list in turn, each made current first so that the user sees what is asked.
INTEGER textEditorMayClose(HWND pane, INTEGER window)
{
    const ChildWindowHooks& hooks = childWindowHooks();
    if (!hooks.editorQuerySave) return 1;
    if (hooks.editorQuerySave(pane, kWindowTextEditor) != 1) return 0;
    if (!hooks.editorFileListGetField || !hooks.editorFileListSelect) return 1;
    EditorWindowRecord* record = YYTextEditorRecord(pane);
    if (!record) return 1;
    // The list never holds more than the document table's 20 files, whatever the record says.
    const INTEGER count = std::clamp<INTEGER>(record->FileCount, 0, kTextEditorMaxFiles);
    if (count < 2) return 1;
    const INTEGER first = record->CurrentFile;
    for (INTEGER entry = 1; entry <= count; ++entry) {
        if (entry == first) continue;
        INTEGER field = -1;
        hooks.editorFileListGetField(window, entry, field);
        if (field != 0) continue;
        record = YYTextEditorRecord(pane);
        if (!record) return 1;  // the editor let go of the window meanwhile: nothing left to ask
        const INTEGER previous = record->CurrentFile;
        INTEGER current = previous;
        hooks.editorFileListSelect(window, current, entry);
        // The shown name goes back into the entry it belongs to before the new one's is shown;
        // the current number is the caller's to change, whatever the selection did with it.
        record->CurrentFile = entry;
        char* name = record->Path.data();
        if (hooks.editorFileListPutName) hooks.editorFileListPutName(window, previous, name, kEditorPathLength);
        if (hooks.editorFileListGetName) hooks.editorFileListGetName(window, entry, name, kEditorPathLength);
        if (hooks.editorUpdateStatus) hooks.editorUpdateStatus(pane);
        if (hooks.editorQuerySave(pane, kWindowTextEditor) != 1) return 0;
    }
    return 1;
}

// A split window that carried its command pane's menu as its own lets go of it: the menu is the
// pane's and goes with the pane.
void dropCommandPaneMenu(WindowSlot& split, HWND commandPane)
{
    const INTEGER pane = YYWindowSlotFromHandle(commandPane);
    if (pane < 0 || !split.Menu || slotOf(pane).Menu != split.Menu) return;
    split.Menu = nullptr;
    slotOf(pane).MenuItemHelp.takeAll(split.MenuItemHelp);
}

}  // namespace

INTEGER YYWindowCloseQuery(HWND frame)
{
    const SplitWindowRecord* record = YYSplitRecord(frame);
    if (!record) return 1;
    INTEGER result = 1;
    for (int k = 0; k < 2 && result == 1; ++k) {
        const INTEGER n = static_cast<INTEGER>(word(*record, 8 + k));
        if (n < 1 || n >= kWindowSlots) continue;
        HWND pane = slotOf(n).Frame.get();
        const INTEGER kind = recordKind(pane);
        if (kind == kWindowTextEditor) {
            result = textEditorMayClose(pane, n);
        } else if (kind == kWindowGridEditor) {
            if (const auto ask = childWindowHooks().editorQuerySave) result = ask(pane, kind) == 1 ? 1 : 0;
        } else if (kind == kWindowSplit) {
            result = YYWindowCloseQuery(pane);
        }
    }
    return result;
}

void YYWindowClose(INTEGER& window, INTEGER& dialog)
{
    if (window < 1 || window >= kWindowSlots || !slotOf(window).Frame) {
        window = -1;
        return;
    }
    const INTEGER splitWindow = YYSplitOfPane(slotOf(window).Frame.get());
    if (splitWindow < 0) {
        YYWindowCloseTree(window, dialog);
        return;
    }
    // Closing one pane undoes the whole split.
    WindowSlot& split = slotOf(splitWindow);
    HWND frame = split.Frame.get();
    std::unique_ptr<SplitWindowRecord> record = std::move(split.SplitRecord);
    SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
    dropCommandPaneMenu(split, asWindow(word(*record, 19)));
    SetMenu(YYOutermostFrame(frame), split.Menu);
    const INTEGER first = static_cast<INTEGER>(word(*record, 8)), second = static_cast<INTEGER>(word(*record, 9));
    if (slotOf(first).Frame) YYWindowCloseTree(first, dialog);
    if (slotOf(second).Frame) YYWindowCloseTree(second, dialog);
    if (HWND bar = asWindow(word(*record, 6))) {
        SetWindowLongPtrA(bar, GWLP_USERDATA, 0);
        DestroyWindow(bar);
    }
    InvalidateRect(split.Client, nullptr, TRUE);
}

void YYWindowCloseTree(INTEGER window, INTEGER& dialog)
{
    if (const SplitWindowRecord* record = YYSplitRecord(slotOf(window).Frame.get())) {
        const INTEGER first = static_cast<INTEGER>(word(*record, 8)), second = static_cast<INTEGER>(word(*record, 9));
        if (first > 0 && slotOf(first).Frame) YYWindowCloseTree(first, dialog);
        if (second > 0 && slotOf(second).Frame) YYWindowCloseTree(second, dialog);
    }
    YYWindowSlotClose(window, dialog);
}

void YYWindowSlotClose(INTEGER window, INTEGER& dialog)
{
    if (window < 1 || window >= kWindowSlots) return;
    WindowSlot& slot = slotOf(window);
    HWND frame = slot.Frame.get();
    if (!frame) return;
    YYMediaStop(window);
    if (const WindowUserRecord* record = YYWindowRecord(frame); record && record->Words[0] == kWindowDialogLayout) {
        if (dialog != 0 && dialog == record->Words[1]) dialog = 0;
        SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
        dialogManagerHooks().layoutDialogUnload(asWindow(record->Words[5]));
        slot.OwnedRecord.reset();
    }
    // Everything inside the window or owned by it goes first, innermost and last-opened first.
    for (INTEGER m = kWindowSlots - 1; m >= 1; --m) {
        if (m == window || !belongsTo(slotOf(m).Frame.get(), frame)) continue;
        HWND other = slotOf(m).Frame.get();
        if (const WindowUserRecord* record = YYWindowRecord(other); record && record->Words[0] == kWindowDialogLayout) {
            if (dialog != 0 && dialog == record->Words[1]) dialog = 0;
            SetWindowLongPtrA(other, GWLP_USERDATA, 0);
            dialogManagerHooks().layoutDialogUnload(asWindow(record->Words[5]));
        }
        YYMediaStop(m);
        const SplitWindowRecord* split = YYSplitRecord(other);
        clearSlot(m, !(split && word(*split, 19) != 0));
    }
    // A split window whose command pane this was forgets it, and with it the pane's menu that it
    // carried as its own: the frame shows the split window's own menu again. No split keeps this
    // window as its last active pane either, so that no command goes to a window that is gone.
    for (WindowSlot& other : slots()) {
        if (!other.SplitRecord) continue;
        SplitWindowRecord& split = *other.SplitRecord;
        if (asWindow(word(split, 18)) == frame) word(split, 18) = 0;
        if (asWindow(word(split, 19)) != frame) continue;
        word(split, 19) = 0;
        dropCommandPaneMenu(other, frame);
        HWND outer = YYOutermostFrame(other.Frame.get());
        if (HMENU shown = GetMenu(outer); outer && (!shown || shown == slot.Menu) && shown != other.Menu)
            SetMenu(outer, other.Menu);
    }
    if (const auto release = childWindowHooks().dialogsInsideRelease) release(frame, dialog);
    const INTEGER returnWindow = slot.ReturnWindow;
    for (int m = 0; m < kWindowSlots; ++m)
        if (m != window && slotOf(m).ReturnWindow == window) slotOf(m).ReturnWindow = returnWindow;
    if (const auto replace = childWindowHooks().dialogOwnersReplace) replace(window, returnWindow);
    clearSlot(window, true);
}

void YYWindowContentRelease(INTEGER& dialog, INTEGER flags, INTEGER& status)
{
    const INTEGER window = windowEngineState().CurrentWindow;
    WindowSlot& slot = slotOf(window);
    HWND frame = slot.Frame.get();
    if (!frame) {
        status = 1;
        return;
    }
    WindowUserRecord* record = YYWindowRecord(frame);
    if (!record) {
        status = 2;
        return;
    }
    status = 0;
    switch (record->Words[0]) {
    case kWindowTextEditor:
    case kWindowGridEditor:
        if (const auto release = childWindowHooks().editorRelease) {
            release(frame, static_cast<INTEGER>(record->Words[0]));
        } else {
            SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
            SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&YYFrameWindowProc));
        }
        if (slot.Client) ShowWindow(slot.Client, SW_SHOWNA);
        break;
    case kWindowOtherControl: {
        HWND control = asWindow(record->Words[5]);
        SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&YYFrameWindowProc));
        SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
        if (control) DestroyWindow(control);
        slot.OwnedRecord.reset();
        if (slot.Client) ShowWindow(slot.Client, SW_SHOWNA);
        break;
    }
    case kWindowDialogLayout: {
        HWND layout = asWindow(record->Words[5]);
        if (dialog != 0 && dialog == record->Words[1]) dialog = 0;
        SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
        dialogManagerHooks().layoutDialogUnload(layout);
        slot.OwnedRecord.reset();
        const LONG before = GetWindowLongA(frame, GWL_STYLE);
        LONG style = before;
        if (!(flags & kStyleFixedSize)) style |= WS_THICKFRAME;
        if (flags & kStyleMaximiseBox) style |= WS_MAXIMIZEBOX;
        if (style != before) {
            SetWindowLongA(frame, GWL_STYLE, style);
            SetWindowPos(frame, nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
        break;
    }
    case kWindowSplit: {
        INTEGER first = static_cast<INTEGER>(word(*YYSplitRecord(frame), 8));
        YYWindowClose(first, dialog);
        break;
    }
    default:
        status = 2;
        break;
    }
}

void YYWindowBringToFront()
{
    HWND frame = slotOf(windowEngineState().CurrentWindow).Frame.get();
    if (!frame) return;
    std::vector<HWND> chain;
    for (HWND f = frame; f;) {
        chain.push_back(f);
        if (!(GetWindowLongA(f, GWL_STYLE) & WS_CHILD)) break;
        const INTEGER parent = YYWindowSlotFromHandle(GetParent(f));
        f = parent >= 0 ? slotOf(parent).Frame.get() : nullptr;
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        SetWindowPos(*it, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EnableWindow(frame, TRUE);
    HWND focus = frame;
    if (const WindowUserRecord* record = YYWindowRecord(frame)) {
        const auto kind = record->Words[0];
        if (kind == kWindowOtherControl || kind == kWindowDialogLayout || kind == kWindowGridEditor)
            if (HWND control = asWindow(record->Words[5])) focus = control;
        if (const EditorWindowRecord* editor = YYTextEditorRecord(frame); editor && editor->RichEdit)
            focus = editor->RichEdit;
    }
    SetFocus(focus);
    YYWindowActivate(frame);
}
