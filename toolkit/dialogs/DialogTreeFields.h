// Tree-view fields: trees filled from menu resources, items found, inserted, renamed, deleted,
// expanded and selected by their identifiers, and trees copied between a dialog and its modal
// instance. Every item carries a text and an INTEGER identifier (the item's parameter).
#pragma once

#include <string>
#include <string_view>

#include "toolkit/foundation/CommonControls.h"
#include "toolkit/foundation/CoreTypes.h"

// Where an inserted item goes relative to its reference item.
enum TreeInsertPosition : INTEGER {
    kTreeBefore = 1,     // before the reference, under the same parent
    kTreeAfter = 2,      // after the reference, under the same parent (any other value too)
    kTreeLastChild = 3,  // the last child of the reference
};

// Results of the tree workers (also left in the field argument): -1 no tree view with that
// identifier in the current dialog, -2 no item with that identifier, -3 refused (an identifier
// the tree already holds, or an item without children asked to expand or collapse).
inline constexpr INTEGER kTreeNoField = -1;
inline constexpr INTEGER kTreeNoItem = -2;
inline constexpr INTEGER kTreeRefused = -3;

// Toolkit-internal: workers on a tree-view field of the current dialog.

// Fills the tree from a menu resource (items at the end of the tree; sub-menus become children,
// a checked sub-menu starts expanded) and selects the item with the identifier selected. Menu 0,
// or a menu that cannot be loaded, does nothing.
void YYTreeFromMenu(INTEGER& field, INTEGER menu, INTEGER selected);
// The same on a tree-view window (the field-table reader, whose dialog need not be current).
void YYTreeFromMenu(HWND tree, INTEGER menu, INTEGER selected);
// Adds the items of a loaded menu, recursively, at the end under parent.
void YYTreeAddMenuItems(HWND tree, HTREEITEM parent, HMENU menu, INTEGER selected);
// Copies the source items from first along its siblings, with their sub-trees and selection,
// to the end under parent of the destination tree.
void YYTreeCopy(HWND destination, HTREEITEM parent, HWND source, HTREEITEM first);
// Deletes every item of a tree.
void YYTreeDeleteAll(HWND tree);
// Replaces the destination tree's items by copies of the source tree's (a dialog and its modal
// instance).
void YYTreeCopyAll(HWND destination, HWND source);
// A double click in a tree: on an item without children it presses the dialog's default button,
// unless the field's flags say otherwise.
void YYTreeDoubleClick(HWND tree);
// The item with the identifier, depth first from the root; null with field := -1 or -2.
HTREEITEM YYTreeFindById(INTEGER& field, INTEGER identifier);
// The item with the identifier, depth first from the item from along its siblings; null when none.
HTREEITEM YYTreeFind(HWND tree, HTREEITEM from, INTEGER identifier);
// Inserts an item relative to the item reference (TreeInsertPosition); into an empty tree it
// becomes the first item whatever the reference.
void YYTreeInsertItem(INTEGER& field, INTEGER reference, INTEGER position, INTEGER identifier,
                      std::string_view text);
// Deletes the item and its sub-tree.
void YYTreeDelete(INTEGER& field, INTEGER identifier);
// Replaces the item's text.
void YYTreeSetItem(INTEGER& field, INTEGER identifier, std::string_view text);
// The item's expand state: 1 collapsed, 2 expanded, -3 no children (its text given all the same);
// -1 or -2 as in field.
INTEGER YYTreeGetItem(INTEGER& field, INTEGER identifier, std::string* text = nullptr);
// Mode 1 collapses the item, any other mode expands it; 0 done, -3 when it has no children.
INTEGER YYTreeExpand(INTEGER& field, INTEGER identifier, INTEGER mode);
// The selected item's identifier (and text when asked); -2, also in field, when none is selected.
INTEGER YYTreeGetSelection(INTEGER& field, std::string* text = nullptr);
// Selects the item and shows it.
void YYTreeSelect(INTEGER& field, INTEGER identifier);
// 1 refuses items whose identifier the tree already holds (the start value), 0 allows them.
void YYTreeUniqueSwitch(INTEGER on);
