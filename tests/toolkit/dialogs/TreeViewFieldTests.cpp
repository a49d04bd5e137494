// Tree-view fields under Wine: trees filled from a menu by the field table, items inserted, found,
// renamed, expanded, selected and deleted by identifier, and trees copied to a modal instance and
// back. Dialog 7000 holds tree 7001 (filled from menu 7010, "Hz" selected), the empty tree 7002
// (flags 1) and the edit 7003.
#include <gtest/gtest.h>

#include "toolkit/foundation/CommonControls.h"

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/dialogs/DialogChoiceFields.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/DialogTreeFields.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"

using namespace GuiHarness;
using namespace ToolkitSession;

namespace {

// Menu 7010 as a tree: identifiers depth first, children in braces, "+" after an expanded item.
constexpr const char* kMenuTree = "7100{7101,7102},7110+{7111,7120{7121,7122}},7103";

HTREEITEM nextItem(HWND tree, HTREEITEM item, UINT relation)
{
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

// The shape of a tree read back from the control itself.
std::string shape(HWND tree, HTREEITEM first)
{
    std::string out;
    for (HTREEITEM item = first; item; item = nextItem(tree, item, TVGN_NEXT)) {
        TVITEMA data{};
        data.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE;
        data.stateMask = TVIS_EXPANDED;
        data.hItem = item;
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
        if (!out.empty()) out += ",";
        out += std::to_string(data.lParam);
        if (HTREEITEM child = nextItem(tree, item, TVGN_CHILD)) {
            if (data.state & TVIS_EXPANDED) out += "+";
            out += "{" + shape(tree, child) + "}";
        }
    }
    return out;
}
std::string shape(HWND tree) { return shape(tree, nextItem(tree, nullptr, TVGN_ROOT)); }

INTEGER selectedId(HWND tree)
{
    HTREEITEM item = nextItem(tree, nullptr, TVGN_CARET);
    if (!item) return 0;
    TVITEMA data{};
    data.mask = TVIF_HANDLE | TVIF_PARAM;
    data.hItem = item;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return static_cast<INTEGER>(data.lParam);
}

class TreeFieldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WindowOpen(39, 40, 40, 400, 300);
        WEventEnable(10, 1);
        drainEvents();
        WDialogLoad(7000);
        dialog_ = YYCurrentDialog();
        ASSERT_NE(dialog_, nullptr);
    }
    void TearDown() override
    {
        YYTreeUniqueSwitch(1);
        EXPECT_EQ(unloadAllDialogs(), 0);
        closeAllWindows();
        EXPECT_EQ(dialogManagerState().liveFieldRecords, 0);
    }
    // The events of one type the actions so far raised (the rest of what they raised is dropped).
    static std::vector<EventRecord> eventsOf(INTEGER wanted)
    {
        const DeliveredEvents delivered = eventsBeforeSentinel();
        EXPECT_TRUE(delivered.complete);
        return delivered.of(wanted);
    }
    HWND tree(INTEGER id) const { return GetDlgItem(dialog_, id); }
    // Builds tree 7002 from (reference, position, identifier) steps, each text "item N".
    static void build(std::initializer_list<std::array<INTEGER, 3>> steps)
    {
        for (const auto& s : steps) {
            INTEGER field = 7002;
            YYTreeInsertItem(field, s[0], s[1], s[2], "item " + std::to_string(s[2]));
            ASSERT_EQ(field, 7002) << s[2];
        }
    }
    HWND dialog_ = nullptr;
    Watchdog watchdog_{std::chrono::milliseconds(120000)};
};

}  // namespace

TEST_F(TreeFieldTest, TheTableFillsATreeFromAMenuQuietly)
{
    EXPECT_EQ(shape(tree(7001)), kMenuTree);  // the separator is no item; "Models" is checked
    EXPECT_EQ(selectedId(tree(7001)), 7103);
    std::string text;
    INTEGER field = 7001;
    EXPECT_EQ(YYTreeGetItem(field, 7120, &text), 1);
    EXPECT_EQ(text, "Layered");
    EXPECT_EQ(YYTreeGetItem(field, 7121, &text), kTreeRefused);  // no children
    EXPECT_EQ(text, "Two layers");
    EXPECT_EQ(field, 7001);
    // Menu 0, and a line naming a field that is no tree, change nothing.
    EXPECT_EQ(shape(tree(7002)), "");
    EXPECT_EQ(GetWindowTextLengthA(GetDlgItem(dialog_, 7003)), 0);
    // The program's own filling is no change by the user.
    EXPECT_EQ(YYDialogRecordOf(dialog_)->currentField, 0);
    EXPECT_TRUE(eventsOf(10).empty());
}

TEST_F(TreeFieldTest, AFieldIsFilledFromAMenuByItsIdentifier)
{
    struct Case { INTEGER field, menu, result; };
    const Case nothing[] = {{7002, 0, 7002}, {7002, 7499, 7002}, {7003, 7010, kTreeNoField}, {9999, 7010, kTreeNoField}};
    for (const Case& c : nothing) {
        INTEGER field = c.field;
        YYTreeFromMenu(field, c.menu, 7111);
        EXPECT_EQ(field, c.result) << c.field << " " << c.menu;
    }
    EXPECT_EQ(shape(tree(7002)), "");
    INTEGER field = 7002;
    YYTreeFromMenu(field, 7010, 7111);
    EXPECT_EQ(shape(tree(7002)), kMenuTree);
    EXPECT_EQ(selectedId(tree(7002)), 7111);
}

TEST_F(TreeFieldTest, InsertPlacesItemsAtEveryPositionKind)
{
    struct Step { INTEGER reference, position, identifier; const char* shape; };
    const Step steps[] = {
        {999, 2, 1, "1"},                      // an empty tree takes it at the root, whatever the reference
        {1, kTreeLastChild, 2, "1{2}"},
        {2, kTreeBefore, 3, "1{3,2}"},         // no previous sibling: first under the parent
        {3, kTreeAfter, 4, "1{3,4,2}"},
        {2, kTreeBefore, 5, "1{3,4,5,2}"},
        {1, 7, 6, "1{3,4,5,2},6"},             // any other position: after
        {1, kTreeBefore, 7, "7,1{3,4,5,2},6"},
        {4, kTreeLastChild, 8, "7,1{3,4{8},5,2},6"},
    };
    for (const Step& s : steps) {
        INTEGER field = 7002;
        YYTreeInsertItem(field, s.reference, s.position, s.identifier, "x");
        EXPECT_EQ(field, 7002);
        EXPECT_EQ(shape(tree(7002)), s.shape) << s.identifier;
    }
    INTEGER field = 7002;
    EXPECT_EQ(YYTreeGetItem(field, 4), 1);  // the reference of a last child became a branch
}

TEST_F(TreeFieldTest, InsertRefusesMissingReferencesDuplicatesAndOtherFields)
{
    build({{0, 2, 1}, {1, kTreeLastChild, 2}});
    struct Case { INTEGER field, reference, identifier, result; };
    const Case cases[] = {
        {7002, 42, 9, kTreeNoItem},
        {7002, 42, 2, kTreeNoItem},    // the reference is looked for first
        {7002, 1, 2, kTreeRefused},    // a nested item already has the identifier
        {7003, 1, 9, kTreeNoField},    // an edit
        {9999, 1, 9, kTreeNoField},
    };
    for (const Case& c : cases) {
        INTEGER field = c.field;
        YYTreeInsertItem(field, c.reference, kTreeAfter, c.identifier, "x");
        EXPECT_EQ(field, c.result) << c.field << " " << c.identifier;
    }
    EXPECT_EQ(shape(tree(7002)), "1{2}");
    YYTreeUniqueSwitch(0);
    INTEGER field = 7002;
    YYTreeInsertItem(field, 1, kTreeAfter, 2, "twin");
    EXPECT_EQ(field, 7002);
    EXPECT_EQ(shape(tree(7002)), "1{2},2");
}

TEST_F(TreeFieldTest, FindingGoesDepthFirst)
{
    YYTreeUniqueSwitch(0);
    build({{0, 2, 10}, {10, kTreeAfter, 30}, {10, kTreeLastChild, 20}, {20, kTreeLastChild, 30}});
    INTEGER field = 7002;
    YYTreeSetItem(field, 30, "first met");  // the child of the child, before the later sibling
    std::string text;
    HWND t = tree(7002);
    HTREEITEM sibling = nextItem(t, nextItem(t, nullptr, TVGN_ROOT), TVGN_NEXT);
    EXPECT_EQ(YYTreeFind(t, sibling, 30), sibling);  // from a given item on
    HTREEITEM deep = YYTreeFindById(field, 30);
    ASSERT_NE(deep, nullptr);
    EXPECT_NE(deep, sibling);
    EXPECT_EQ(YYTreeGetItem(field, 30, &text), kTreeRefused);
    EXPECT_EQ(text, "first met");
    EXPECT_EQ(YYTreeFindById(field, 99), nullptr);
    EXPECT_EQ(field, kTreeNoItem);
}

TEST_F(TreeFieldTest, TextAndExpandStateAreSetAndRead)
{
    INTEGER field = 7001;
    YYTreeSetItem(field, 7101, "Ex field");
    std::string text;
    YYTreeGetItem(field, 7101, &text);
    EXPECT_EQ(text, "Ex field");
    struct Case { INTEGER identifier, mode, result, state; };
    const Case cases[] = {
        {7100, 2, 0, 2}, {7100, 1, 0, 1}, {7110, 1, 0, 1}, {7120, 0, 0, 2}, {7101, 2, kTreeRefused, kTreeRefused},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(YYTreeExpand(field, c.identifier, c.mode), c.result) << c.identifier;
        EXPECT_EQ(YYTreeGetItem(field, c.identifier), c.state) << c.identifier;
    }
    EXPECT_EQ(field, 7001);
    struct Missing { INTEGER field, identifier, result; };
    const Missing missing[] = {{7001, 1, kTreeNoItem}, {7003, 7100, kTreeNoField}};
    for (const Missing& m : missing) {
        INTEGER f = m.field;
        EXPECT_EQ(YYTreeExpand(f, m.identifier, 2), m.result);
        f = m.field;
        EXPECT_EQ(YYTreeGetItem(f, m.identifier), m.result);
        f = m.field;
        YYTreeSetItem(f, m.identifier, "y");
        EXPECT_EQ(f, m.result);
    }
    EXPECT_TRUE(eventsOf(10).empty());  // the program's expansions are not the user's
}

TEST_F(TreeFieldTest, SelectionIsReadAndSetAndTheUsersChoiceRaisesAnEvent)
{
    WDialogShow(-1, -1, 0, 2);
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(dialog_) != 0; }));
    drainEvents();
    INTEGER field = 7002;
    EXPECT_EQ(YYTreeGetSelection(field), kTreeNoItem);
    EXPECT_EQ(field, kTreeNoItem);
    field = 7001;
    std::string text;
    EXPECT_EQ(YYTreeGetSelection(field, &text), 7103);
    EXPECT_EQ(text, "Hz");
    YYTreeSelect(field, 7122);
    EXPECT_EQ(YYTreeGetSelection(field, &text), 7122);
    EXPECT_EQ(text, "Three layers");
    EXPECT_EQ(YYTreeGetItem(field, 7120), 2);  // opened to show the choice
    YYTreeSelect(field, 4711);
    EXPECT_EQ(field, kTreeNoItem);
    EXPECT_TRUE(eventsOf(10).empty());

    YYDialogRecordOf(dialog_)->currentField = 7003;
    PostMessageA(tree(7001), WM_KEYDOWN, VK_UP, 0);
    const std::vector<EventRecord> changes = eventsOf(10);
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back()[0], 7000);
    EXPECT_EQ(changes.back()[1], 7001);  // the previous field is the tree too
    EXPECT_EQ(changes.back()[2], 7001);
    field = 7001;
    EXPECT_EQ(YYTreeGetSelection(field), 7121);
}

TEST_F(TreeFieldTest, DeletingTakesTheSubTreeAndClearingEmptiesTheTree)
{
    INTEGER field = 7001;
    YYTreeDelete(field, 7110);
    EXPECT_EQ(field, 7001);
    EXPECT_EQ(shape(tree(7001)), "7100{7101,7102},7103");
    YYTreeFindById(field, 7121);
    EXPECT_EQ(field, kTreeNoItem);
    field = 7001;
    YYTreeDelete(field, 7110);
    EXPECT_EQ(field, kTreeNoItem);
    field = 7001;
    YYTreeDelete(field, 7101);
    YYTreeDelete(field, 7102);
    EXPECT_EQ(shape(tree(7001)), "7100,7103");
    EXPECT_EQ(YYTreeGetItem(field, 7100), kTreeRefused);  // no longer a branch
    YYTreeDelete(field, 7103);                          // the selected item
    EXPECT_TRUE(eventsOf(10).empty());

    YYFieldClear(field);
    EXPECT_EQ(field, 7001);
    EXPECT_EQ(shape(tree(7001)), "");
    EXPECT_EQ(YYTreeGetSelection(field), kTreeNoItem);
}

namespace {
// What the modal instance showed, read from a timer inside its message loop.
struct ModalView {
    std::string shape;
    INTEGER selected = 0;
};
ModalView& modalView()
{
    static ModalView view;
    return view;
}
// Reads the instance's tree, lets "the user" choose another item, and presses OK.
void CALLBACK chooseInModal(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND instance = dialogTable().handles[0];
    if (!instance || !IsWindowVisible(instance)) return;
    KillTimer(nullptr, timer);
    HWND tree = GetDlgItem(instance, 7001);
    modalView() = {shape(tree), selectedId(tree)};
    HTREEITEM ey = nextItem(tree, nextItem(tree, nextItem(tree, nullptr, TVGN_ROOT), TVGN_CHILD), TVGN_NEXT);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(ey));
    PostMessageA(instance, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0);
}
}  // namespace

TEST_F(TreeFieldTest, AModalShowCopiesTheTreeOutAndBack)
{
    INTEGER field = 7001;
    YYTreeSelect(field, 7122);  // opens its parents
    const std::string before = shape(tree(7001));
    EXPECT_EQ(before, "7100{7101,7102},7110+{7111,7120+{7121,7122}},7103");
    modalView() = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, chooseInModal);
    WDialogShow(-1, -1, 0, 1);
    KillTimer(nullptr, timer);
    EXPECT_EQ(modalView().shape, before);
    EXPECT_EQ(modalView().selected, 7122);
    // "Ey" was chosen, which opened "Soundings" to show it.
    EXPECT_EQ(shape(tree(7001)), "7100+{7101,7102},7110+{7111,7120+{7121,7122}},7103");
    EXPECT_EQ(YYTreeGetSelection(field), 7102);
    EXPECT_EQ(WDialogQuery(1), 1);
    EXPECT_EQ(shape(tree(7002)), "");
}

TEST_F(TreeFieldTest, ADoubleClickOnALeafPressesTheDefaultButton)
{
    build({{0, 2, 1}, {1, kTreeAfter, 2}});
    WDialogShow(0, 0, 0, 2);
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(dialog_) != 0; }));
    struct Case { INTEGER field, identifier; bool pressed; };
    const Case cases[] = {
        {7001, 7103, true},    // a leaf
        {7001, 7100, false},   // a branch opens instead
        {7002, 1, false},      // the field's flags keep the default button out of it
    };
    for (const Case& c : cases) {
        HWND t = tree(c.field);
        INTEGER f = c.field;
        HTREEITEM item = YYTreeFindById(f, c.identifier);
        ASSERT_NE(item, nullptr);
        RECT r{};
        std::memcpy(&r, &item, sizeof item);  // the message takes the item in the rectangle
        ASSERT_TRUE(SendMessageA(t, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)));
        POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        POINT screen = at;
        ClientToScreen(t, &screen);
        SetCursorPos(screen.x, screen.y);
        drainEvents();
        PostMessageA(t, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        const std::vector<EventRecord> buttons = eventsOf(3);
        EXPECT_EQ(buttons.size(), c.pressed ? 1u : 0u) << c.field << " " << c.identifier;
        if (!buttons.empty()) {
            EXPECT_EQ(buttons[0][1], 1);
        }
    }
    INTEGER field = 7001;
    EXPECT_EQ(YYTreeGetItem(field, 7100), 2);
}
