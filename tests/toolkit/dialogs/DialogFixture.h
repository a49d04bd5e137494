// Dialog tests start on the main window with the dialog events (10 and 11) enabled and none
// pending, and end with every dialog unloaded (none may refuse), the windows closed and no dialog
// or field record left alive.
#pragma once

#include <gtest/gtest.h>

#include "tests/support/ToolkitSession.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/MainWindow.h"

class DialogWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WindowOpen(39, 40, 40, 400, 300);
        WEventEnable(10, 1);
        WEventEnable(11, 1);
        ToolkitSession::drainEvents();
        libraryErrorState().LastErrorNumber = 0;
    }
    void TearDown() override
    {
        EXPECT_EQ(ToolkitSession::unloadAllDialogs(), 0);
        beforeClosing();
        ToolkitSession::closeAllWindows();
        afterClosing();
        EXPECT_EQ(dialogManagerState().liveDialogRecords, 0);
        EXPECT_EQ(dialogManagerState().liveFieldRecords, 0);
    }
    // A test family's own state put back around closing the windows.
    virtual void beforeClosing() {}
    virtual void afterClosing() {}
};
