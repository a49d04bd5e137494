#include "toolkit/foundation/Menus.h"

#include "toolkit/foundation/CommonControls.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

#include "toolkit/foundation/ChildWindows.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/MenuResources.h"
#include "toolkit/foundation/WindowEngineHooks.h"
#include "toolkit/foundation/WindowProcs.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/foundation/WindowText.h"

namespace {

// The help records of the context menu that is open, so the frame can show its texts.
struct ContextMenuHelp {
    std::string_view Texts;
};

ContextMenuHelp& contextMenuHelp()
{
    static ContextMenuHelp help;
    return help;
}

HINSTANCE programInstance()
{
    HINSTANCE instance = windowEngineState().Instance;
    return instance ? instance : GetModuleHandleA(nullptr);
}

// A resource of the program as bytes; empty when there is none.
std::string_view resourceBytes(INTEGER identifier, LPCSTR type)
{
    HINSTANCE instance = programInstance();
    HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(identifier), type);
    if (!resource) return {};
    const void* data = LockResource(LoadResource(instance, resource));
    return data ? std::string_view(static_cast<const char*>(data), SizeofResource(instance, resource)) : std::string_view();
}

// The same as 16-bit words (resources are word-aligned; an odd last byte is not part of a word).
std::span<const std::uint16_t> resourceWords(INTEGER identifier)
{
    const std::string_view bytes = resourceBytes(identifier, MAKEINTRESOURCEA(10));  // RT_RCDATA
    return {reinterpret_cast<const std::uint16_t*>(bytes.data()), bytes.size() / 2};
}

WindowSlot& slotOf(INTEGER window) { return windowSlotTable().Slots[static_cast<std::size_t>(window)]; }

// The window routines without a window argument act on the current window when it has bars.
INTEGER barsWindow()
{
    const INTEGER current = windowEngineState().CurrentWindow;
    return YYWindowHasBars(current) ? current : 0;
}

const std::string* itemHelp(HMENU menu, UINT position)
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    if (!GetMenuItemInfoA(menu, position, TRUE, &info)) return nullptr;
    return reinterpret_cast<const std::string*>(info.dwItemData);
}

void setItemHelp(HMENU menu, UINT position, const std::string* help)
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(help);
    SetMenuItemInfoA(menu, position, TRUE, &info);
}

int toolbarButtonIndex(HWND toolbar, INTEGER command)
{
    return static_cast<int>(SendMessageA(toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(command), 0));
}

// Applies one option to the menu item and the toolbar buttons of a command.
void itemOption(INTEGER command, INTEGER& value, bool enable)
{
    const INTEGER window = barsWindow();
    WindowSlot& slot = slotOf(window);
    const INTEGER requested = value;
    value = -1;
    if (slot.Menu && GetMenuState(slot.Menu, static_cast<UINT>(command), MF_BYCOMMAND) != static_cast<UINT>(-1)) {
        if (enable) EnableMenuItem(slot.Menu, static_cast<UINT>(command), MF_BYCOMMAND | (requested ? MF_ENABLED : MF_GRAYED));
        else CheckMenuItem(slot.Menu, static_cast<UINT>(command), MF_BYCOMMAND | (requested ? MF_CHECKED : MF_UNCHECKED));
        value = 0;
    }
    for (HWND toolbar : slot.Toolbars) {
        if (!toolbar || toolbarButtonIndex(toolbar, command) < 0) continue;
        SendMessageA(toolbar, enable ? TB_ENABLEBUTTON : TB_CHECKBUTTON, static_cast<WPARAM>(command), MAKELPARAM(requested != 0, 0));
        value = 1;
    }
}

// Frees the help text of one menu item, and through a pop-up item those of its sub-menu; the
// slot that holds a text lets go of it.
void releaseItemHelp(HMENU menu, UINT position)
{
    if (const std::string* help = itemHelp(menu, position)) {
        setItemHelp(menu, position, nullptr);
        for (WindowSlot& slot : windowSlotTable().Slots)
            if (slot.MenuItemHelp.remove(help)) break;
    }
    if (HMENU sub = GetSubMenu(menu, static_cast<int>(position))) {
        const int count = GetMenuItemCount(sub);
        for (int i = 0; i < count; ++i) releaseItemHelp(sub, static_cast<UINT>(i));
    }
}

// The item of a command in the menu of the window the bars belong to; command := -1 when that
// menu has no such item.
struct CommandItem {
    INTEGER window;
    HMENU menu;
    UINT position;
};

std::optional<CommandItem> commandItem(INTEGER& command)
{
    const INTEGER window = barsWindow();
    HMENU found = nullptr;
    const INTEGER position = YYMenuFindItem(slotOf(window).Menu, command, found);
    if (position < 0) {
        command = -1;
        return std::nullopt;
    }
    return CommandItem{window, found, static_cast<UINT>(position)};
}

void copyStates(HMENU popup, HMENU source)
{
    const int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = GetSubMenu(popup, i)) copyStates(sub, source);
        const UINT id = GetMenuItemID(popup, i);
        if (id == 0 || id == static_cast<UINT>(-1)) continue;
        const UINT state = GetMenuState(source, id, MF_BYCOMMAND);
        if (state == static_cast<UINT>(-1)) continue;
        CheckMenuItem(popup, static_cast<UINT>(i), MF_BYPOSITION | ((state & MF_CHECKED) ? MF_CHECKED : MF_UNCHECKED));
        EnableMenuItem(popup, static_cast<UINT>(i), MF_BYPOSITION | ((state & MF_GRAYED) ? MF_GRAYED : MF_ENABLED));
        char text[101] = {};
        if (GetMenuStringA(source, id, text, sizeof text, MF_BYCOMMAND) > 0)
            ModifyMenuA(popup, static_cast<UINT>(i), MF_BYPOSITION | MF_STRING | (state & (MF_CHECKED | MF_GRAYED)), id, text);
    }
}

}  // namespace

INTEGER YYMenuFindItem(HMENU menu, INTEGER command, HMENU& found)
{
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_SUBMENU;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        if (static_cast<INTEGER>(info.wID) == command && command != 0) {
            found = menu;
            return i;
        }
        if (info.hSubMenu) {
            const INTEGER inner = YYMenuFindItem(info.hSubMenu, command, found);
            if (inner >= 0) return inner;
        }
    }
    found = nullptr;
    return -1;
}

void YYMenuAssignPopupIds(HMENU menu, INTEGER identifier)
{
    if (!menu) return;
    for (const MenuPopupIdRecord& record : YYReadMenuPopupIds(resourceWords(identifier))) {
        HMENU current = menu;
        for (std::size_t k = 0; current && k + 1 < record.Positions.size(); ++k)
            current = GetSubMenu(current, record.Positions[k] - 1);
        if (!current || record.Positions.empty()) continue;
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID;
        info.wID = record.Command;
        SetMenuItemInfoA(current, static_cast<UINT>(record.Positions.back() - 1), TRUE, &info);
    }
}

void YYMenuAttachResources(WindowSlot& slot, INTEGER menuId)
{
    slot.Accelerators = LoadAcceleratorsA(programInstance(), MAKEINTRESOURCEA(menuId));
    slot.MenuHelpTexts = resourceBytes(menuId, "DOVEMENUSTRING");
}

void YYMenuGreyDisabled(HMENU menu)
{
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        if (state & MF_DISABLED) EnableMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | MF_GRAYED);
        if (HMENU sub = GetSubMenu(menu, i)) YYMenuGreyDisabled(sub);
    }
}

HMENU YYMenuLoad(INTEGER identifier)
{
    HMENU menu = LoadMenuA(windowEngineState().Instance, MAKEINTRESOURCEA(identifier));
    if (!menu) return nullptr;
    YYMenuAssignPopupIds(menu, identifier);
    YYMenuGreyDisabled(menu);
    return menu;
}

void YYMenuFreeItems(HMENU menu, INTEGER window)
{
    if (menu)
        for (int i = 0, count = GetMenuItemCount(menu); i < count; ++i) releaseItemHelp(menu, static_cast<UINT>(i));
    if (window >= 0 && window < kWindowSlots) slotOf(window).MenuItemHelp = {};
}

void YYMenuBarRedraw(INTEGER command, INTEGER window)
{
    WindowSlot& slot = slotOf(window);
    if (!slot.Menu || !slot.Frame) return;
    const int count = GetMenuItemCount(slot.Menu);
    for (int i = 0; i < count; ++i)
        if (static_cast<INTEGER>(GetMenuItemID(slot.Menu, i)) == command) {
            DrawMenuBar(slot.Frame.get());
            return;
        }
}

INTEGER YYWindowHasBars(INTEGER window)
{
    if (window < 0 || window >= kWindowSlots) return 0;
    const WindowSlot& slot = slotOf(window);
    if (slot.Menu) return 1;
    for (HWND toolbar : slot.Toolbars)
        if (toolbar) return 1;
    return 0;
}

INTEGER YYMenuOwnerWindow(INTEGER window)
{
    for (int guard = 0; window > 0 && guard < kWindowSlots; ++guard) {
        HWND frame = slotOf(window).Frame.get();
        if (!frame || !(GetWindowLongA(frame, GWL_STYLE) & WS_CHILD)) break;
        window = YYWindowSlotFromHandle(GetParent(frame));
    }
    if (window < 0 || window >= kWindowSlots) return 0;
    return slotOf(window).Menu ? window : 0;
}

void YYWindowLayoutBars(INTEGER window)
{
    WindowSlot& slot = slotOf(window);
    HWND previous = HWND_TOP;
    auto place = [&](HWND bar) {
        if (!bar) return;
        SetWindowPos(bar, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = bar;
    };
    place(slot.StatusBar);
    for (HWND toolbar : slot.Toolbars) place(toolbar);
}

LRESULT CALLBACK YYToolbarSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto original = reinterpret_cast<WNDPROC>(GetPropA(window, "QvToolbarProc"));
    // The frame lays its toolbars out; a toolbar must not size itself.
    if (message == WM_SIZE || !original) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropA(window, "QvToolbarProc");
    }
    return CallWindowProcA(original, window, message, wParam, lParam);
}

void YYToolbarCreate(INTEGER& identifier, INTEGER window, INTEGER position, INTEGER& clientWidth, INTEGER& clientHeight)
{
    clientWidth = clientHeight = -1;
    if (window < 0 || window >= kWindowSlots || !slotOf(window).Frame) {
        identifier = -2;
        return;
    }
    WindowSlot& slot = slotOf(window);
    HWND frame = slot.Frame.get();
    const std::size_t edge = static_cast<std::size_t>(std::clamp(position, 0, 3));
    RECT before{};
    if (slot.Client) GetClientRect(slot.Client, &before);
    const INTEGER oldThickness = slot.Toolbars[edge] ? slot.ToolbarWidths[edge] : 0;
    if (HWND old = slot.Toolbars[edge]) {
        DestroyWindow(old);
        slot.Toolbars[edge] = nullptr;
        slot.ToolbarWidths[edge] = 0;
        if (!YYWindowHasBars(window) || std::all_of(slot.Toolbars.begin(), slot.Toolbars.end(), [](HWND t) { return !t; }))
            slot.ToolbarTips.clear();
    }
    INTEGER thickness = 0;
    if (identifier != 0) {
        HINSTANCE instance = windowEngineState().Instance;
        const std::span<const std::uint16_t> words = resourceWords(identifier);
        HWND toolbar = nullptr;
        if (!words.empty()) {
            toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", 0x54000100 | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                                      0, 0, 10, 10, frame,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(identifier)), instance, nullptr);
        }
        if (!toolbar) {
            identifier = -1;
        } else {
            const ToolbarResource resource = YYReadToolbarResource(words);
            const int imageWidth = resource.ImageWidth, imageHeight = resource.ImageHeight;
            const int images = static_cast<int>(
                std::count_if(resource.Commands.begin(), resource.Commands.end(), [](std::uint16_t w) { return w != 0; }));
            SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
            SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(imageWidth, imageHeight));
            SendMessageA(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(imageWidth + 6, imageHeight + 6));
            TBADDBITMAP bitmap{instance, static_cast<UINT_PTR>(identifier)};
            SendMessageA(toolbar, TB_ADDBITMAP, static_cast<WPARAM>(images), reinterpret_cast<LPARAM>(&bitmap));
            std::vector<TBBUTTON> buttons;
            int image = 0;
            for (const std::uint16_t command : resource.Commands) {
                TBBUTTON button{};
                if (command == 0) {
                    button.fsStyle = TBSTYLE_SEP;
                } else {
                    button.iBitmap = image++;
                    button.idCommand = command;
                    button.fsStyle = TBSTYLE_BUTTON;
                    const UINT state = slot.Menu ? GetMenuState(slot.Menu, command, MF_BYCOMMAND) : static_cast<UINT>(-1);
                    button.fsState = TBSTATE_ENABLED;
                    if (state != static_cast<UINT>(-1)) {
                        if (state & MF_CHECKED) button.fsState |= TBSTATE_CHECKED;
                        if (state & MF_GRAYED) button.fsState &= static_cast<BYTE>(~TBSTATE_ENABLED);
                    }
                }
                if (edge == 1 || edge == 2) button.fsState |= TBSTATE_WRAP;  // one button per row
                buttons.push_back(button);
            }
            SendMessageA(toolbar, TB_ADDBUTTONS, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
            SetPropA(toolbar, "QvToolbarProc", reinterpret_cast<HANDLE>(GetWindowLongPtrA(toolbar, GWLP_WNDPROC)));
            SetWindowLongPtrA(toolbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(YYToolbarSubclassProc));
            thickness = (edge == 0 || edge == 3) ? imageHeight + 12 : imageWidth + 9;
            slot.Toolbars[edge] = toolbar;
            slot.ToolbarWidths[edge] = thickness;
            std::size_t buttonsInAll = 0;
            for (HWND t : slot.Toolbars)
                if (t) buttonsInAll += static_cast<std::size_t>(SendMessageA(t, TB_BUTTONCOUNT, 0, 0));
            slot.ToolbarTips.reserve(buttonsInAll);
            YYWindowLayoutBars(window);
        }
    }
    if (thickness != oldThickness && !IsIconic(frame)) {
        if (IsZoomed(frame) && std::abs(thickness - oldThickness) > 1) {
            RECT r{};
            GetWindowRect(frame, &r);
            const int change = thickness - oldThickness;
            if (edge == 0 || edge == 3) r.bottom += change;
            else r.right += change;
            SetWindowPos(frame, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        RECT client{};
        GetClientRect(frame, &client);
        SendMessageA(frame, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
        if (slot.Client) {
            RECT after{};
            GetClientRect(slot.Client, &after);
            const bool vertical = edge == 0 || edge == 3;
            if ((vertical && after.bottom != before.bottom) || (!vertical && after.right != before.right)) {
                clientWidth = after.right;
                clientHeight = after.bottom;
            }
        }
    }
}

void WMenuToolbar(INTEGER toolbarId, INTEGER window, INTEGER position)
{
    if (window < 0 || window >= kWindowSlots || !slotOf(window).Frame) {
        YYErrorReport(1003, "WMenuToolbar");
        return;
    }
    const INTEGER edge = (position < 1 || position > 4) ? 0 : position - 1;
    INTEGER identifier = toolbarId, width = -1, height = -1;
    YYToolbarCreate(identifier, window, edge, width, height);
    if (identifier == -2) {
        YYErrorReport(1003, "WMenuToolbar");
        return;
    }
    if (identifier == -1) YYErrorReport(1002, "WMenuToolbar");
    const WindowGraphicsHooks& graphics = windowGraphicsHooks();
    if (width >= 0 && window == graphics.currentWindow() && window == windowEngineState().CurrentWindow) {
        windowEngineState().ClientWidth = width;
        windowEngineState().ClientHeight = height;
        YYWinTextSize(windowTextState().CharWidth, windowTextState().CharHeight);
        graphics.windowDrawableResized(window, width, height);
    }
}

void YYMenuItemEnable(INTEGER command, INTEGER& value) { itemOption(command, value, true); }
void YYMenuItemCheck(INTEGER command, INTEGER& value) { itemOption(command, value, false); }

void WMenuSetState(INTEGER command, INTEGER option, INTEGER value)
{
    if ((option != 1 && option != 2) || (value != 0 && value != 1)) return;
    INTEGER result = value;
    if (option == 1) YYMenuItemEnable(command, result);
    else YYMenuItemCheck(command, result);
    if (result == -1) {
        YYErrorReport(1001, "WMenuSetState");
        return;
    }
    YYMenuBarRedraw(command, barsWindow());
}

bool YYContextMenuHasHelp() { return !contextMenuHelp().Texts.empty(); }

bool YYMenuHelpText(INTEGER window, INTEGER command, std::string& text)
{
    text.clear();
    if (window < 0 || window >= kWindowSlots) return false;
    const WindowSlot& slot = slotOf(window);
    HMENU found = nullptr;
    const INTEGER position = YYMenuFindItem(slot.Menu, command, found);
    if (position >= 0)
        if (const std::string* help = itemHelp(found, static_cast<UINT>(position))) {
            text = *help;
            return true;
        }
    if (YYMenuStringLookUp(slot.MenuHelpTexts, command, text)) return true;
    return YYMenuStringLookUp(contextMenuHelp().Texts, command, text);
}

void YYMenuSet(INTEGER& menuId, INTEGER window)
{
    if (window < 0 || window >= kWindowSlots || !slotOf(window).Frame) {
        menuId = -2;
        return;
    }
    WindowSlot& slot = slotOf(window);
    HWND frame = slot.Frame.get();
    const WindowUserRecord* record = YYWindowRecord(frame);
    // A pane's menu shows on the top-level frame around it; other child windows have no menu bar.
    const bool pane = YYSplitOfPane(frame) >= 0;
    if (((GetWindowLongA(frame, GWL_STYLE) & WS_CHILD) && !pane) || (record && record->Words[0] == kWindowTextEditor)) {
        menuId = -2;
        return;
    }
    HMENU menu = nullptr;
    if (menuId != 0) {
        menu = YYMenuLoad(menuId);
        if (!menu) {
            menuId = -1;
            return;
        }
    }
    HWND bar = pane ? YYOutermostFrame(frame) : frame;
    RECT before{};
    GetWindowRect(frame, &before);
    HMENU old = slot.Menu;
    const bool hadMenu = old != nullptr;
    YYMenuFreeItems(old, window);
    slot.Accelerators = nullptr;
    slot.MenuHelpTexts = {};
    // The outer frame changes only while it shows this pane's menu; otherwise it keeps its own.
    if (!pane || (old && GetMenu(bar) == old)) SetMenu(bar, menu);
    // A split window that carried this pane's menu as its own carries the new one.
    for (WindowSlot& other : windowSlotTable().Slots)
        if (&other != &slot && old && other.Menu == old) other.Menu = menu;
    MenuHandle{old}.reset();  // nothing shows it any more
    slot.Menu = menu;
    if (menu) YYMenuAttachResources(slot, menuId);
    if (!pane && record && record->Words[0] == kWindowOtherControl) {
        // The frame keeps its size; a maximised one grows by the menu bar that appeared.
        int height = before.bottom - before.top;
        if (IsZoomed(frame) && menu && !hadMenu) height += GetSystemMetrics(SM_CYMENU);
        SetWindowPos(frame, nullptr, 0, 0, before.right - before.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client{};
        GetClientRect(frame, &client);
        SendMessageA(reinterpret_cast<HWND>(record->Words[5]), WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    }
    DrawMenuBar(bar);
}

void YYMenuPopup(INTEGER& menuId, INTEGER x, INTEGER y, INTEGER clientFlag)
{
    const INTEGER window = barsWindow();
    WindowSlot& slot = slotOf(window);
    HINSTANCE instance = windowEngineState().Instance;
    MenuHandle bar(LoadMenuA(instance, MAKEINTRESOURCEA(menuId)));
    if (!bar) {
        menuId = -1;
        return;
    }
    // The context menu is the resource's top-level items.
    MenuHandle popup(CreatePopupMenu());
    const int count = GetMenuItemCount(bar.get());
    for (int i = count - 1; i >= 0; --i) {
        char text[101] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STATE | MIIM_TYPE;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(bar.get(), static_cast<UINT>(i), TRUE, &info);
        if (info.hSubMenu) RemoveMenu(bar.get(), static_cast<UINT>(i), MF_BYPOSITION);
        InsertMenuItemA(popup.get(), 0, TRUE, &info);
    }
    YYMenuAssignPopupIds(popup.get(), menuId);
    if (slot.Menu) copyStates(popup.get(), slot.Menu);
    POINT at{x, y};
    if (clientFlag) ClientToScreen(slot.Client, &at);
    contextMenuHelp().Texts = resourceBytes(menuId, "DOVEMENUSTRING");
    TrackPopupMenu(popup.get(), TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, slot.Client, nullptr);
    contextMenuHelp() = ContextMenuHelp{};
}

void YYMenuCopyStates(HMENU popup, HMENU source)
{
    if (popup && source) copyStates(popup, source);
}

void YYMenuItemText(INTEGER& command, std::string_view text)
{
    const std::optional<CommandItem> item = commandItem(command);
    if (!item) return;
    const std::string copy(text);
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<char*>(copy.c_str());
    SetMenuItemInfoA(item->menu, item->position, TRUE, &info);
    YYMenuBarRedraw(command, item->window);
}

void YYMenuItemState(INTEGER command, INTEGER option, INTEGER& result)
{
    const WindowSlot& slot = slotOf(barsWindow());
    const UINT state = slot.Menu ? GetMenuState(slot.Menu, static_cast<UINT>(command), MF_BYCOMMAND) : static_cast<UINT>(-1);
    if (state != static_cast<UINT>(-1)) {
        result = option == 1 ? ((state & MF_GRAYED) ? 0 : 1) : ((state & MF_CHECKED) ? 1 : 0);
        return;
    }
    for (HWND toolbar : slot.Toolbars) {
        if (!toolbar || toolbarButtonIndex(toolbar, command) < 0) continue;
        const auto buttonState = SendMessageA(toolbar, TB_GETSTATE, static_cast<WPARAM>(command), 0);
        result = option == 1 ? ((buttonState & TBSTATE_ENABLED) ? 1 : 0) : ((buttonState & TBSTATE_CHECKED) ? 1 : 0);
        return;
    }
    result = -1;
}

void YYMenuItemHelp(INTEGER& command, std::string_view text)
{
    const std::optional<CommandItem> item = commandItem(command);
    if (!item) return;
    if (const std::string* old = itemHelp(item->menu, item->position)) {
        setItemHelp(item->menu, item->position, nullptr);
        for (WindowSlot& slot : windowSlotTable().Slots)
            if (slot.MenuItemHelp.remove(old)) break;
    }
    if (!text.empty()) setItemHelp(item->menu, item->position, slotOf(item->window).MenuItemHelp.add(text));
}

void YYMenuItemDelete(INTEGER& command)
{
    const std::optional<CommandItem> item = commandItem(command);
    if (!item) return;
    // A pop-up item takes the help texts of its sub-menu along.
    releaseItemHelp(item->menu, item->position);
    DeleteMenu(item->menu, item->position, MF_BYPOSITION);
    const WindowSlot& slot = slotOf(item->window);
    if (item->menu == slot.Menu) DrawMenuBar(slot.Frame.get());
}

void YYMenuItemInsert(INTEGER& command, INTEGER offset, INTEGER newId, std::string_view text)
{
    const std::optional<CommandItem> item = commandItem(command);
    if (!item) return;
    HMENU found = item->menu;
    const int count = GetMenuItemCount(found);
    const int at = std::min(static_cast<int>(item->position) + offset, count);
    const std::string copy(text);
    if (newId == 0) InsertMenuA(found, static_cast<UINT>(at), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    else InsertMenuA(found, static_cast<UINT>(at), MF_BYPOSITION | MF_STRING, static_cast<UINT_PTR>(newId), copy.c_str());
    const WindowSlot& slot = slotOf(item->window);
    if (found == slot.Menu) DrawMenuBar(slot.Frame.get());
}

void YYToolbarTipText(INTEGER& command, std::string_view text, INTEGER length)
{
    WindowSlot& slot = slotOf(barsWindow());
    bool hasButton = false;
    for (HWND toolbar : slot.Toolbars)
        if (toolbar && toolbarButtonIndex(toolbar, command) >= 0) hasButton = true;
    if (!hasButton) {
        command = -1;
        return;
    }
    auto entry = std::find_if(slot.ToolbarTips.begin(), slot.ToolbarTips.end(),
                              [&](const ToolbarTip& tip) { return tip.Command == command; });
    if (length == 1) {
        if (entry != slot.ToolbarTips.end()) *entry = ToolbarTip{};
        return;
    }
    if (entry == slot.ToolbarTips.end())
        entry = std::find_if(slot.ToolbarTips.begin(), slot.ToolbarTips.end(), [](const ToolbarTip& tip) { return tip.Command == 0; });
    if (entry == slot.ToolbarTips.end()) {
        slot.ToolbarTips.push_back(ToolbarTip{});
        entry = slot.ToolbarTips.end() - 1;
    }
    const std::size_t keep = static_cast<std::size_t>(std::max(std::min<INTEGER>(length, 80) - 1, 0));
    entry->Command = command;
    entry->Text = std::string(text.substr(0, std::min(keep, text.size())));
}
