// The printer query and the screen dump set up from it under Wine.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "tests/support/ToolkitSession.h"
#include "toolkit/devices/DeviceModels.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/PrinterQuery.h"
#include "toolkit/foundation/CommonDialogs.h"

namespace {

std::array<INTEGER, 10> query()
{
    std::array<INTEGER, 10> out;
    out.fill(-7);
    YYPrinterQuery(out[0], out[1], out[2], out[3], out[4], out[5], out[6], out[7], out[8], out[9]);
    return out;
}

}  // namespace

TEST(PrinterQuery, UnknownPrinterGivesAStatusAndZeros)
{
    const ToolkitSession::NoPrinter none;
    const std::array<INTEGER, 10> out = query();
    EXPECT_NE(out[9], 0);
    for (std::size_t k = 0; k < 9; ++k) EXPECT_EQ(out[k], 0) << k;

    hardcopyOptionBlock().Options[32] = 1;
    EXPECT_EQ(YYScreenDumpDevice(0), 0);
    EXPECT_EQ(hardcopyOptionBlock().value(32), 0);
    EXPECT_EQ(screenDumpRecord().DeviceKind, 10);
    EXPECT_EQ(screenDumpRecord().Settings[1], 0);
}

TEST(PrinterQuery, DefaultPrinterAnswersConsistently)
{
    // Whether this machine has a printer is its own affair; the answers must agree with it.
    pageSetupState().deviceName.clear();
    const INTEGER named = YYPrinterDefaultName();
    pageSetupState().deviceName.clear();
    const std::array<INTEGER, 10> out = query();
    const INTEGER available = YYScreenDumpDevice(0);
    EXPECT_EQ(available, hardcopyOptionBlock().value(32));
    if (named == 0) {
        EXPECT_NE(out[9], 0);
    }
    if (out[9] != 0) {
        EXPECT_EQ(available, 0);
        for (std::size_t k = 0; k < 9; ++k) EXPECT_EQ(out[k], 0) << k;
    } else {
        EXPECT_EQ(available, 1);
        EXPECT_GE(out[0], out[1]);
        EXPECT_EQ(out[2], out[0] - 144);
        EXPECT_EQ(out[3], out[1] - 144);
        EXPECT_EQ(out[4], 72);
        EXPECT_EQ(out[6], 1);
        EXPECT_EQ(hardcopyOptionBlock().value(31), out[0]);
        EXPECT_EQ(hardcopyOptionBlock().value(30), out[1]);
    }
}

TEST(PrinterQuery, FileDumpDevicesNeedNoPrinter)
{
    EXPECT_EQ(YYScreenDumpDevice(2), 0);
    EXPECT_EQ(screenDumpRecord().DeviceKind, 2);
    EXPECT_EQ(screenDumpRecord().Settings[1], 756);
    EXPECT_EQ(screenDumpRecord().FileName.trimmed(), "vedororu.ps");
}
