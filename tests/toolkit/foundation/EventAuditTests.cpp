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
