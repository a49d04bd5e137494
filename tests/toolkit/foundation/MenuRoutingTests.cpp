// Keys typed into a modeless dialog still reach the accelerators of the window it belongs to.
#include <gtest/gtest.h>

#include <array>

#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/dialogs/DialogHooks.h"
#include "toolkit/dialogs/DialogWindowHooks.h"
#include "toolkit/foundation/ChildWindows.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/Menus.h"
#include "toolkit/foundation/WindowSlots.h"

using namespace GuiHarness;
using namespace ToolkitSession;

namespace {

constexpr INTEGER kLayout = 301;  // a push button, laid out in the main window

class ModelessAcceleratorTest : public ::testing::Test {
protected:
    void SetUp() override { YYDialogWindowHooksInstall(); }
    void TearDown() override
    {
        YYActiveModelessDialogSet(nullptr);
        closeAllWindows();
    }
    static HWND layoutOfMain()
    {
        const WindowUserRecord* record = YYWindowRecord(windowSlotTable().Slots[0].Frame.get());
        return record && record->Words[0] == kWindowDialogLayout ? reinterpret_cast<HWND>(record->Words[5]) : nullptr;
    }
    Watchdog watchdog_{std::chrono::milliseconds(60000)};
};

}  // namespace

namespace {

// F5 is menu 30001's accelerator for 40018; the key goes to the layout's button. A key that is no
// accelerator still goes to the dialog and raises no command.
void expectAcceleratorThroughDialog(HWND dialog)
{
    ASSERT_NE(dialog, nullptr);
    YYActiveModelessDialogSet(dialog);
    drainEvents();
    PostMessageA(GetDlgItem(dialog, 1), WM_KEYDOWN, VK_F5, 0);
    INTEGER type = 0;
    const EventRecord r = nextEvent(type);
    EXPECT_EQ(type, 2);
    EXPECT_EQ(r[1], 40018);
    PostMessageA(GetDlgItem(dialog, 1), WM_KEYDOWN, VK_F6, 0);
    nextEvent(type, 300);
    EXPECT_NE(type, 2);
}

}  // namespace

TEST_F(ModelessAcceleratorTest, ALayoutDialogPassesAcceleratorKeysToItsWindowsMenu)
{
    INTEGER layout = kLayout;
    WindowOpen(39, 40, 40, 400, 300, 30001, std::nullopt, &layout);
    pumpPending();
    expectAcceleratorThroughDialog(layoutOfMain());
}

TEST_F(ModelessAcceleratorTest, APaneWithoutMenuUsesTheSplitWindowsMenu)
{
    WindowOpen(39, 40, 40, 400, 300, 30001);
    pumpPending();
    constexpr std::array<INTEGER, 4> noBars{0, 0, 0, 0};
    std::array<INTEGER, 2> panes{}, layouts{kLayout, 0};
    YYSplitWindowCreate(panes, 0, {0, 0}, -1, {0, 0}, {noBars, noBars}, layouts, {-1, -1}, "laid out", "free");
    pumpPending();
    ASSERT_GT(panes[0], 0);
    ASSERT_EQ(layouts[0], kLayout);
    const WindowUserRecord* record = YYWindowRecord(windowSlotTable().Slots[static_cast<std::size_t>(panes[0])].Frame.get());
    ASSERT_NE(record, nullptr);
    expectAcceleratorThroughDialog(reinterpret_cast<HWND>(record->Words[5]));
}

namespace {

constexpr INTEGER kMenu = 30001;

class MenuSetTest : public ::testing::Test {
protected:
    void TearDown() override { closeAllWindows(); }
    static WindowSlot& slot(INTEGER n) { return windowSlotTable().Slots[static_cast<std::size_t>(n)]; }
    static HWND frame(INTEGER n) { return slot(n).Frame.get(); }
    Watchdog watchdog_{std::chrono::milliseconds(60000)};
};

}  // namespace

TEST_F(MenuSetTest, APaneGetsItsMenuShownOnTheFrameOnlyWhileItsMenuIsTheOneShown)
{
    WindowOpen(39, 20, 20, 500, 300);
    WindowSetCurrent(0);
    std::array<INTEGER, 2> panes{}, layouts{0, 0};
    constexpr std::array<INTEGER, 4> noBars{0, 0, 0, 0};
    YYSplitWindowCreate(panes, 0, {0, 0}, -1, {kMenu, 0}, {noBars, noBars}, layouts, {-1, -1}, "first", "second");
    pumpPending();
    ASSERT_GT(panes[1], 0);
    HMENU shown = slot(panes[0]).Menu;
    ASSERT_EQ(GetMenu(frame(0)), shown);

    // The pane whose menu is shown: the frame shows the new menu, the old one is gone.
    INTEGER id = kMenu;
    YYMenuSet(id, panes[0]);
    EXPECT_EQ(id, kMenu);
    HMENU replaced = slot(panes[0]).Menu;
    EXPECT_NE(replaced, shown);
    EXPECT_EQ(GetMenu(frame(0)), replaced);
    EXPECT_FALSE(IsMenu(shown));
    EXPECT_NE(slot(panes[0]).Accelerators, nullptr);

    // The other pane gets a menu of its own; the frame keeps the one it shows.
    id = kMenu;
    YYMenuSet(id, panes[1]);
    EXPECT_EQ(id, kMenu);
    EXPECT_TRUE(IsMenu(slot(panes[1]).Menu));
    EXPECT_EQ(GetMenu(frame(0)), replaced);

    // A missing menu changes nothing; a window inside another without being a pane has no menu bar.
    id = 12345;
    YYMenuSet(id, panes[1]);
    EXPECT_EQ(id, -1);
    INTEGER inside = 0, layout = 0;
    YYChildWindowCreate(5, 5, 80, 60, inside, kStyleInsideParent, 0, noBars, layout, panes[1], -1, "inside");
    ASSERT_GT(inside, 0);
    id = kMenu;
    YYMenuSet(id, inside);
    EXPECT_EQ(id, -2);
}

TEST_F(MenuSetTest, DeletingAPopUpItemFreesTheHelpTextsOfItsSubMenu)
{
    WindowOpen(39, 20, 20, 500, 300, kMenu);
    INTEGER command = 40024;  // inside the "View" pop-up, 40006
    YYMenuItemHelp(command, "zoom in or out");
    command = 40006;
    YYMenuItemHelp(command, "the view");
    ASSERT_EQ(slot(0).MenuItemHelp.count(), 2);
    command = 40006;
    YYMenuItemDelete(command);
    EXPECT_EQ(command, 40006);
    EXPECT_EQ(slot(0).MenuItemHelp.count(), 0);
    HMENU found = nullptr;
    EXPECT_EQ(YYMenuFindItem(slot(0).Menu, 40024, found), -1);
}
