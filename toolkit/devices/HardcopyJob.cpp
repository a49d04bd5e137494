#include "toolkit/devices/HardcopyJob.h"

#include <string>

#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/OsEnvironment.h"
#include "toolkit/foundation/OsFiles.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {

bool isStop(const std::optional<std::string_view>& action)
{
    return action && action->size() == 1 && ((*action)[0] == 'S' || (*action)[0] == 's');
}

bool isBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

void runPendingPrintCommand()
{
    HardcopyJobState& job = hardcopyJobState();
    if (job.PrintCommand.usedLength() == 0) return;
    const std::string temporary = job.TempPlotFile.trimmed();
    YYPRNCMD(YYPrintCommandBuild(job.PrintCommand, temporary));
    // The file may never have been written (its driver could not open it): no second report.
    {
        QuietErrors quiet;
        IOsDeleteFile(temporary);
    }
    job.PrintCommand.assign("");
}

void startJob(const std::optional<std::string_view>& action, const std::optional<std::string_view>& title)
{
    GraphicsState& g = graphicsState();
    HardcopyJobState& job = hardcopyJobState();
    DriverParameterBlock& block = driverParameterBlock();
    FixedText<260>& work = stringWorkBuffer();

    block.Count = -999;
    YYHardcopyDispatch(OpInit);
    if (block.Count == -999) return;  // no driver for the selected device

    work = job.OutputFile;
    block.Count = 1;
    if (action && !isBlank(*action)) {
        work.assign(*action);
        block.Count = 0;
    }
    if (job.PrintByCommand != 0 && YYPrintCommandTemplate(work)) {
        job.PrintCommand = work;
        work = job.TempPlotFile;
    }
    if (title) {
        job.Title.assign(*title);
        block.IntX1 = 1;
    } else {
        block.IntX1 = 0;
    }

    // A driver that cannot open its output sets the flag back to 0; nothing further reaches it.
    g.HardcopyActive = 1;
    block.Value = 1;
    YYDriverHardcopy(OpBeginOutput);
    // Nothing will be written that a command could print.
    if (g.HardcopyActive <= 0) job.PrintCommand.assign("");
    YYPageAspect();
    YYHardcopyRescale();
    if (g.DrawableActive == 0) g.DeviceColours = hardcopyFillState().HardcopyColours;
    for (std::size_t k = 0; k < 2; ++k)
        if (g.ColourIndex[k] == -1) YYPaletteNearest(g.ColourRGB[k], g.ColourIndex[k]);
    HardcopyDriverState& driver = hardcopyDriverState();
    driver.LastPenX = driver.LastPenY = -9999.0f;
    for (const INTEGER op : {OpLineWidth, OpLineType, OpLineJoin, OpLineCap, OpClipArea, OpCharSize, OpColour})
        YYDriverHardcopy(op);
}

}  // namespace

void IGrHardcopyDevice(INTEGER option, INTEGER value)
{
    if (option != 1) return;
    driverHooks().HardcopyDevice = value;
    // A start on a device without a driver leaves the query's -999 behind; the driver chosen now
    // must see a full initialisation, not the query.
    driverParameterBlock().Count = 0;
    YYHardcopyDispatch(option);
}

void IGrHardcopyBeginEnd(std::optional<std::string_view> action, std::optional<std::string_view> title)
{
    DriverParameterBlock& block = driverParameterBlock();
    if (hardcopyJobState().PageOpen & 1) {
        block.Count = 1;
        block.Value = 32;
        YYDriverHardcopy(OpEndPage);
    }
    YYDriverHardcopy(OpEndOutput);
    graphicsState().HardcopyActive = 0;
    if (isStop(action)) runPendingPrintCommand();
    else startJob(action, title);
}

void YYPRNCMD(std::string_view command)
{
    INTEGER result = 0;
    YYRunProgram(YYPrintCommandLine(YYOsPlatform(), command), 1, 1, -1, result);
    if (result == 32) return;
    libraryErrorState().SystemDetailCode = result;
    YYErrorReport(13, "YYPRNCMD");
}
