// The host helpers: a host command's output comes back whole, the anymaps of the PDF and PNG tools
// are read pixel for pixel or refused, and pdfinfo's page size and turn are read.
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/HostTools.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WinApi.h"

using namespace HostTools;

TEST(HostTools, HostCommandOutputAndErrorsComeBack)
{
    EXPECT_EQ(runHost("echo out; echo err >&2"), "out\nerr\n");
    // The standard folders are searched whatever path Wine hands the shell.
    EXPECT_EQ(runHost("command -v pdfinfo"), "/usr/bin/pdfinfo\n");
}

// Wine starts a Unix program without handles: a host command closes none of the caller's.
TEST(HostTools, HostCommandsLeaveTheCallersHandlesOpen)
{
    std::vector<KernelHandle> events;
    for (int k = 0; k < 16; ++k) events.emplace_back(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    for (int k = 0; k < 4; ++k) ASSERT_EQ(runHost("echo " + std::to_string(k)), std::to_string(k) + "\n");
    for (const KernelHandle& event : events) {
        DWORD flags = 0;
        EXPECT_TRUE(GetHandleInformation(event.get(), &flags));
        EXPECT_EQ(WaitForSingleObject(event.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    }
}

// A command past its deadline is ended with everything it started.
TEST(HostTools, AHostCommandPastItsDeadlineIsEnded)
{
    EXPECT_EQ(runHost("sh -c 'sleep 47.25'; echo late", 1500ms), "host command timed out");
    EXPECT_EQ(runHost("pgrep -f 'sleep 47.25' || echo ended"), "ended\n");
}

TEST(HostTools, AnymapsAreReadOrRefused)
{
    const Pnm grey = parsePnm(std::string("P5\n2 1\n255\n") + "\x10\x20");
    ASSERT_TRUE(grey.valid());
    EXPECT_EQ(grey.channels, 1);
    EXPECT_EQ(grey.width, 2);
    EXPECT_EQ(grey.at(1, 0), 0x20);
    const Pnm colour = parsePnm(std::string("P6 1 2 255\n") + "\x01\x02\x03\x04\x05\x06");
    ASSERT_TRUE(colour.valid());
    EXPECT_EQ(colour.height, 2);
    EXPECT_EQ(colour.at(0, 1, 2), 0x06);
    for (const std::string& refused : {std::string("P6 1 1 255\n\x01\x02"),   // pixels short
                                       std::string("P6 1 1 65535\n\x01\x02\x03\x04\x05\x06"),
                                       std::string("P4 8 1\n\xff"), std::string("")})
        EXPECT_FALSE(parsePnm(refused).valid()) << refused.substr(0, 2);
}

TEST(HostTools, PdfInfoPageSizeAndTurn)
{
    const PdfPageShape turned = pdfPageShape("Pages:           1\nPage size:      612 x 792 pts (letter)\nPage rot:       90\n");
    ASSERT_TRUE(turned.found);
    EXPECT_DOUBLE_EQ(turned.width, 612);
    EXPECT_DOUBLE_EQ(turned.height, 792);
    EXPECT_EQ(turned.rotation, 90);
    const PdfPageShape upright = pdfPageShape("Page size:      841.89 x 595.276 pts (A4)\n");
    ASSERT_TRUE(upright.found);
    EXPECT_EQ(upright.rotation, 0);
    EXPECT_FALSE(pdfPageShape("Syntax Error: no file").found);
}
