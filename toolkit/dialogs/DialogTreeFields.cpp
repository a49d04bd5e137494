#include "toolkit/dialogs/DialogTreeFields.h"

#include <cstdint>
#include <vector>

#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogProc.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/Menus.h"

namespace {

// Longest item text a copy carries over.
constexpr int kItemTextLimit = 32766;

// While the program changes a tree, the tree's notifications (a selection made by an insert,
// delete or copy, the first expansion of an item) are not the user's and raise no event.
class ProgramChange {
public:
    explicit ProgramChange(HWND tree) : saved_(dialogManagerState().treeChangedByProgram)
    {
        dialogManagerState().treeChangedByProgram = tree;
    }
    ~ProgramChange() { dialogManagerState().treeChangedByProgram = saved_; }
    ProgramChange(const ProgramChange&) = delete;
    ProgramChange& operator=(const ProgramChange&) = delete;

private:
    HWND saved_;
};

HWND treeField(INTEGER& field)
{
    HWND dialog = YYCurrentDialog();
    HWND c = dialog ? YYDialogField(dialog, field) : nullptr;
    if (!c || YYControlClass(c) != kClassTreeView) {
        field = kTreeNoField;
        return nullptr;
    }
    return c;
}

INTEGER identifierOf(HWND tree, HTREEITEM item)
{
    TVITEMA data{};
    data.mask = TVIF_HANDLE | TVIF_PARAM;
    data.hItem = item;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return static_cast<INTEGER>(data.lParam);
}

std::string textOf(HWND tree, HTREEITEM item)
{
    std::string text(static_cast<std::size_t>(kItemTextLimit) + 1, '\0');
    TVITEMA data{};
    data.mask = TVIF_HANDLE | TVIF_TEXT;
    data.hItem = item;
    data.pszText = text.data();
    data.cchTextMax = kItemTextLimit + 1;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    // The control may hand back its own buffer instead of filling ours.
    const char* filled = data.pszText ? data.pszText : text.data();
    return std::string(filled, std::char_traits<char>::length(filled));
}

HTREEITEM insert(HWND tree, HTREEITEM parent, HTREEITEM after, INTEGER identifier, const std::string& text)
{
    TVINSERTSTRUCTA in{};
    in.hParent = parent;
    in.hInsertAfter = after;
    in.item.mask = TVIF_TEXT | TVIF_PARAM;
    in.item.pszText = const_cast<char*>(text.c_str());
    in.item.lParam = static_cast<LPARAM>(identifier);
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&in)));
}

HTREEITEM next(HWND tree, HTREEITEM item, UINT relation)
{
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

void repaint(HWND tree) { RedrawWindow(tree, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }

// Whether an item draws the expand button of an item with children.
void markChildren(HWND tree, HTREEITEM item, bool hasChildren)
{
    TVITEMA data{};
    data.mask = TVIF_HANDLE | TVIF_CHILDREN;
    data.hItem = item;
    data.cChildren = hasChildren ? 1 : 0;
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&data));
}

// The tree and the item of a field-addressed call; null with field := -1 or -2.
HTREEITEM itemOf(INTEGER& field, INTEGER identifier, HWND& tree)
{
    tree = treeField(field);
    if (!tree) return nullptr;
    HTREEITEM item = YYTreeFind(tree, next(tree, nullptr, TVGN_ROOT), identifier);
    if (!item) field = kTreeNoItem;
    return item;
}

// A popup item whose identifier was never assigned reports its sub-menu's handle: no identifier.
INTEGER menuItemIdentifier(const MENUITEMINFOA& info)
{
    if (info.hSubMenu && info.wID == static_cast<UINT>(reinterpret_cast<std::uintptr_t>(info.hSubMenu))) return 0;
    return static_cast<INTEGER>(info.wID);
}

}  // namespace

HTREEITEM YYTreeFind(HWND tree, HTREEITEM from, INTEGER identifier)
{
    // Depth first without recursion: an item's children come before its next sibling.
    std::vector<HTREEITEM> pending;
    for (HTREEITEM item = from; item || !pending.empty();) {
        if (!item) {
            item = pending.back();
            pending.pop_back();
            continue;
        }
        if (identifierOf(tree, item) == identifier) return item;
        HTREEITEM child = next(tree, item, TVGN_CHILD);
        if (child) {
            if (HTREEITEM sibling = next(tree, item, TVGN_NEXT)) pending.push_back(sibling);
            item = child;
        } else {
            item = next(tree, item, TVGN_NEXT);
        }
    }
    return nullptr;
}

HTREEITEM YYTreeFindById(INTEGER& field, INTEGER identifier)
{
    HWND tree = nullptr;
    return itemOf(field, identifier, tree);
}

void YYTreeAddMenuItems(HWND tree, HTREEITEM parent, HMENU menu, INTEGER selected)
{
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        char text[1024] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text - 1;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        // A separator is a line in a menu, not a choice: it has no place in a tree.
        if (info.fType & MFT_SEPARATOR) continue;
        const INTEGER identifier = menuItemIdentifier(info);
        HTREEITEM item = insert(tree, parent, TVI_LAST, identifier, text);
        if (!item) continue;
        if (info.hSubMenu) {
            YYTreeAddMenuItems(tree, item, info.hSubMenu, selected);
            if (info.fState & MFS_CHECKED) SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        }
        if (selected != 0 && identifier == selected) SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    }
}

void YYTreeFromMenu(HWND tree, INTEGER menu, INTEGER selected)
{
    if (menu == 0 || YYControlClass(tree) != kClassTreeView) return;
    const UniqueHandle<HMENU, DestroyMenu> loaded(YYMenuLoad(menu));
    if (!loaded) return;
    ProgramChange change(tree);
    YYTreeAddMenuItems(tree, TVI_ROOT, loaded.get(), selected);
    repaint(tree);
}

void YYTreeFromMenu(INTEGER& field, INTEGER menu, INTEGER selected)
{
    if (HWND tree = treeField(field)) YYTreeFromMenu(tree, menu, selected);
}

void YYTreeCopy(HWND destination, HTREEITEM parent, HWND source, HTREEITEM first)
{
    ProgramChange change(destination);
    for (HTREEITEM item = first; item; item = next(source, item, TVGN_NEXT)) {
        std::string text(static_cast<std::size_t>(kItemTextLimit) + 1, '\0');
        TVITEMA data{};
        data.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_PARAM | TVIF_CHILDREN;
        data.hItem = item;
        data.stateMask = TVIS_SELECTED | TVIS_EXPANDED;
        data.pszText = text.data();
        data.cchTextMax = kItemTextLimit + 1;
        if (!SendMessageA(source, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data))) continue;
        const char* filled = data.pszText ? data.pszText : text.data();
        HTREEITEM copy = insert(destination, parent, TVI_LAST, static_cast<INTEGER>(data.lParam),
                                std::string(filled, std::char_traits<char>::length(filled)));
        if (!copy) continue;
        if (data.state & TVIS_SELECTED)
            SendMessageA(destination, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(copy));
        if (HTREEITEM child = next(source, item, TVGN_CHILD)) {
            YYTreeCopy(destination, copy, source, child);
            // An item the user opened stays open in the copy.
            if (data.state & TVIS_EXPANDED)
                SendMessageA(destination, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(copy));
        }
    }
}

void YYTreeDeleteAll(HWND tree)
{
    ProgramChange change(tree);
    SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

void YYTreeCopyAll(HWND destination, HWND source)
{
    ProgramChange change(destination);
    YYTreeDeleteAll(destination);
    YYTreeCopy(destination, TVI_ROOT, source, next(source, nullptr, TVGN_ROOT));
}

void YYTreeDoubleClick(HWND tree)
{
    const FieldRecord* record = YYFieldRecordOf(tree);
    if (record && (record->flags & 1)) return;
    const DWORD at = GetMessagePos();
    TVHITTESTINFO hit{};
    hit.pt = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    ScreenToClient(tree, &hit.pt);
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (!item || !(hit.flags & TVHT_ONITEM)) return;
    // A double click on a branch opens or closes it; only a leaf is a choice to confirm.
    if (next(tree, item, TVGN_CHILD)) return;
    YYNotifyParent(tree);
}

void YYTreeInsertItem(INTEGER& field, INTEGER reference, INTEGER position, INTEGER identifier,
                      std::string_view text)
{
    HWND tree = treeField(field);
    if (!tree) return;
    HTREEITEM root = next(tree, nullptr, TVGN_ROOT);
    HTREEITEM parent = TVI_ROOT, after = TVI_FIRST, anchor = nullptr;
    if (root) {
        anchor = YYTreeFind(tree, root, reference);
        if (!anchor) {
            field = kTreeNoItem;
            return;
        }
        if (dialogManagerState().treeUniqueIds && YYTreeFind(tree, root, identifier)) {
            field = kTreeRefused;
            return;
        }
        HTREEITEM above = next(tree, anchor, TVGN_PARENT);
        if (!above) above = TVI_ROOT;
        if (position == kTreeBefore) {
            HTREEITEM previous = next(tree, anchor, TVGN_PREVIOUS);
            parent = above;
            after = previous ? previous : TVI_FIRST;
        } else if (position == kTreeLastChild) {
            parent = anchor;
            after = TVI_LAST;
        } else {
            parent = above;
            after = anchor;
        }
    }
    ProgramChange change(tree);
    if (!insert(tree, parent, after, identifier, std::string(text))) return;
    if (position == kTreeLastChild && anchor) markChildren(tree, anchor, true);
    repaint(tree);
}

void YYTreeDelete(INTEGER& field, INTEGER identifier)
{
    HWND tree = nullptr;
    HTREEITEM item = itemOf(field, identifier, tree);
    if (!item) return;
    ProgramChange change(tree);
    HTREEITEM parent = next(tree, item, TVGN_PARENT);
    SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
    if (parent && !next(tree, parent, TVGN_CHILD)) markChildren(tree, parent, false);  // its last child went
    repaint(tree);
}

void YYTreeSetItem(INTEGER& field, INTEGER identifier, std::string_view text)
{
    HWND tree = nullptr;
    HTREEITEM item = itemOf(field, identifier, tree);
    if (!item) return;
    std::string value(text);
    TVITEMA data{};
    data.mask = TVIF_HANDLE | TVIF_TEXT;
    data.hItem = item;
    data.pszText = value.data();
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&data));
}

INTEGER YYTreeGetItem(INTEGER& field, INTEGER identifier, std::string* text)
{
    HWND tree = nullptr;
    HTREEITEM item = itemOf(field, identifier, tree);
    if (!item) return field;
    if (text) *text = textOf(tree, item);
    if (!next(tree, item, TVGN_CHILD)) return kTreeRefused;
    const LRESULT state = SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED);
    return (state & TVIS_EXPANDED) ? 2 : 1;
}

INTEGER YYTreeExpand(INTEGER& field, INTEGER identifier, INTEGER mode)
{
    HWND tree = nullptr;
    HTREEITEM item = itemOf(field, identifier, tree);
    if (!item) return field;
    if (!next(tree, item, TVGN_CHILD)) return kTreeRefused;
    ProgramChange change(tree);
    SendMessageA(tree, TVM_EXPAND, mode == 1 ? TVE_COLLAPSE : TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    return 0;
}

INTEGER YYTreeGetSelection(INTEGER& field, std::string* text)
{
    HWND tree = treeField(field);
    if (!tree) return kTreeNoField;
    HTREEITEM item = next(tree, nullptr, TVGN_CARET);
    if (!item) {
        field = kTreeNoItem;
        return kTreeNoItem;
    }
    if (text) *text = textOf(tree, item);
    return identifierOf(tree, item);
}

void YYTreeSelect(INTEGER& field, INTEGER identifier)
{
    HWND tree = nullptr;
    HTREEITEM item = itemOf(field, identifier, tree);
    if (!item) return;
    ProgramChange change(tree);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    repaint(tree);
}

void YYTreeUniqueSwitch(INTEGER on) { dialogManagerState().treeUniqueIds = on != 0 ? 1 : 0; }
