// The pen-plotter tests draw through the real graphics layer onto a 1000 x 800 drawable (100 device
// units per page inch once the plot start has set the page units) and read back what the
// recording driver received, converted to page inches.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingDriver.h"
#include "WBRVLib/Gngrid.h"
#include "WBRVLib/Plotxy.h"
#include "tests/support/ToolkitLinkFake.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/GraphicsState.h"

struct PageSegment {
    REAL X1, Y1, X2, Y2;
};

class PlotterFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGraphicsForTest(1000, 800);
        plotPenState() = PlotPenState{};
        plotTextState() = PlotTextState{};
        ToolkitLinkFake::reset();
        // A screen that draws device text at any angle, as the window's driver declares itself.
        DeviceCapabilityTable& caps = deviceCapabilityTable();
        caps = DeviceCapabilityTable{};
        caps.TextAngles[0] = 360;
        caps.CapabilityString[0].assign("00000111111111100010011011110");
        driver.answerCharSize(1);
        libraryErrorState().LastErrorNumber = 0;
        driver.clear();
    }
    void TearDown() override
    {
        graphicsState().HardcopyActive = 0;
        graphicsState().DrawableActive = 1;
        deviceCapabilityTable() = DeviceCapabilityTable{};
    }
    // The screen start, with the recording of its own ops dropped.
    void startPage()
    {
        PLOTXY(1.0f, 0.0f, kPenStart, frame);
        driver.clear();
        ToolkitLinkFake::script().WindowCalls.clear();
    }
    std::vector<RecordedOp> opsOf(INTEGER op, INTEGER layer = 1)
    {
        std::vector<RecordedOp> out;
        for (const RecordedOp& r : driver.ops())
            if (r.Layer == layer && r.Op == op) out.push_back(r);
        return out;
    }
    // Every line the screen layer drew, in page inches.
    std::vector<PageSegment> segments()
    {
        std::vector<PageSegment> out;
        for (const RecordedOp& r : opsOf(OpLine)) {
            PageSegment s{};
            YYDeviceToUnitsRotated(r.Block.X1, r.Block.Y1, s.X1, s.Y1);
            YYDeviceToUnitsRotated(r.Block.X2, r.Block.Y2, s.X2, s.Y2);
            out.push_back(s);
        }
        return out;
    }
    // The texts the screen layer received, in order.
    std::vector<std::string> texts()
    {
        std::vector<std::string> out;
        for (const RecordedOp& r : opsOf(OpText)) out.push_back(r.Text);
        return out;
    }
    static REAL pointX() { return graphicsTransform().CurrentPointX; }
    static REAL pointY() { return graphicsTransform().CurrentPointY; }

    RecordingDriver driver;
    GraphFrameRecord frame;
};
