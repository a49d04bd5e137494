// A hardcopy job on a file driver (PostScript, SVG, HP-GL, HP-GL/2, DXF, CGM) for tests, without the window engine: a
// 640 x 480 window drawable that receives no output of its own (user units = pixels), the driver selected and initialised by a
// graphics reset, and a job started and ended the way the hardcopy dispatcher does it. Ops can
// also be sent to the driver directly with a filled parameter block (send, polygon). The output
// file lives in the temporary folder and is removed at the end.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "RecordingDriver.h"
#include "toolkit/devices/CgmFileDriver.h"
#include "toolkit/devices/DxfDriver.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/Hpgl2Driver.h"
#include "toolkit/devices/HpglDriver.h"
#include "toolkit/devices/OutputUnit.h"
#include "toolkit/devices/PostScriptDriver.h"
#include "toolkit/devices/SvgDriver.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"

class TextDriverSession {
public:
    TextDriverSession(INTEGER device, const std::string& name)
        : saved_(driverHooks()),
          path_(std::filesystem::temp_directory_path() / ("qv-" + name))
    {
        resetGraphicsForTest(640, 480);
        YYDrawableResized(kDrawableWindow, 0, 640, 480);
        YYHardcopyOptionHooksInstall();
        driverHooks().HardcopyDrivers[2] = &XXPOST;
        driverHooks().HardcopyDrivers[3] = &XXSVG;
        driverHooks().HardcopyDrivers[1] = &XXHPGL;
        driverHooks().HardcopyDrivers[8] = &XXDXF;
        driverHooks().HardcopyDrivers[12] = &XXHPGL2;
        driverHooks().HardcopyDrivers[9] = &XXCGM;
        driverHooks().HardcopyDevice = device;
        driverParameterBlock().Count = 0;
        // Output to the hardcopy only, as the program's print redraw has it.
        IGrResetGraphics("H");
        IGrUnits(0.0f, 0.0f, 640.0f, 480.0f);
        hardcopyJobState().PageOpen = 0;
        libraryErrorState().LastErrorNumber = 0;
    }
    ~TextDriverSession()
    {
        graphicsState().HardcopyActive = 0;
        YYProuClose(2);
        driverHooks() = saved_;
        // QV_KEEP_OUTPUT keeps the files for a look at what a failing test wrote.
        std::error_code ignored;
        if (!std::getenv("QV_KEEP_OUTPUT")) std::filesystem::remove(path_, ignored);
    }
    TextDriverSession(const TextDriverSession&) = delete;
    TextDriverSession& operator=(const TextDriverSession&) = delete;

    static void option(INTEGER n, INTEGER value) { *hardcopyOptionBlock().slot(n) = value; }

    // The start of IGrHardcopyBeginEnd on a named file.
    void start(std::optional<std::string_view> title = std::nullopt)
    {
        GraphicsState& g = graphicsState();
        DriverParameterBlock& b = driverParameterBlock();
        stringWorkBuffer().assign(path_.string());
        b.Count = 0;
        b.IntX1 = title ? 1 : 0;
        if (title) hardcopyJobState().Title.assign(*title);
        g.HardcopyActive = 1;
        b.Value = 1;
        YYDriverHardcopy(OpBeginOutput);
        YYPageAspect();
        YYHardcopyRescale();
        hardcopyDriverState().LastPenX = hardcopyDriverState().LastPenY = -9999.0f;
        for (const INTEGER op : {OpLineWidth, OpLineType, OpLineJoin, OpLineCap, OpClipArea, OpCharSize, OpColour})
            YYDriverHardcopy(op);
    }
    // The stop: the open page is ended as the last one, then the output.
    void finish()
    {
        DriverParameterBlock& b = driverParameterBlock();
        if (hardcopyJobState().PageOpen & 1) {
            b.Count = 1;
            b.Value = 32;
            YYDriverHardcopy(OpEndPage);
        }
        YYDriverHardcopy(OpEndOutput);
        graphicsState().HardcopyActive = 0;
    }

    static void send(INTEGER op, std::initializer_list<REAL> xy = {}, INTEGER value = 1)
    {
        DriverParameterBlock& b = driverParameterBlock();
        REAL* fields[8] = {&b.X1, &b.Y1, &b.X2, &b.Y2, &b.X3, &b.Y3, &b.X4, &b.Y4};
        std::size_t k = 0;
        for (REAL v : xy) *fields[k++] = v;
        b.Value = value;
        YYDriverHardcopy(op);
    }
    // A fill op and its closing call, as a fill primitive sends them.
    static void fill(INTEGER op, std::initializer_list<REAL> xy = {})
    {
        send(op, xy, 1);
        send(op, xy, -1);
    }
    static void polygon(INTEGER op, const std::vector<REAL>& xs, const std::vector<REAL>& ys)
    {
        DriverParameterBlock& b = driverParameterBlock();
        b.PolygonX = xs;
        b.PolygonY = ys;
        b.Count = static_cast<INTEGER>(xs.size());
        b.Value = 1;
        YYDriverHardcopy(op);
        if (op != OpPolyline) {
            b.Value = -1;
            YYDriverHardcopy(op);
        }
    }
    static void rgb(INTEGER value)
    {
        GraphicsState& g = graphicsState();
        g.ColourModel = kRgbMode;
        g.ColourRGB[0] = g.ColourRGB[1];
        g.ColourRGB[1] = value;
        YYDriverHardcopy(OpColour);
    }
    static void text(std::string_view text, REAL x, REAL y, REAL endX, REAL endY, INTEGER piece = 3)
    {
        DriverParameterBlock& b = driverParameterBlock();
        stringWorkBuffer().assign(text);
        b.IntX1 = static_cast<INTEGER>(std::min<std::size_t>(text.size(), 260));
        b.IntX2 = piece;
        b.X1 = x;
        b.Y1 = y;
        b.X3 = endX;
        b.Y3 = endY;
        YYDriverHardcopy(OpText);
    }

    const std::filesystem::path& path() const { return path_; }
    // What the job wrote: while the unit is open that is its work file, which replaces the file
    // at the end.
    std::string contents() const
    {
        const WorkFile& work = outputUnitState().Units[2].Work;
        std::ifstream in(work.isOpen() ? std::filesystem::path(work.path()) : path_, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // The file's lines without their CR LF.
    std::vector<std::string> lines() const
    {
        std::vector<std::string> out;
        const std::string all = contents();
        std::size_t at = 0;
        while (at < all.size()) {
            const std::size_t end = all.find("\r\n", at);
            if (end == std::string::npos) {
                out.push_back(all.substr(at));
                break;
            }
            out.push_back(all.substr(at, end - at));
            at = end + 2;
        }
        return out;
    }

private:
    DriverHooks saved_;
    std::filesystem::path path_;
};
