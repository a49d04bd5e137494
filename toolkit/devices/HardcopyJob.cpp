#include "toolkit/devices/HardcopyJob.h"

#include <string>

#include "toolkit/foundation/WinApi.h"

HardcopyJobState& hardcopyJobState()
{
    static HardcopyJobState state;
    return state;
}

namespace {

INTEGER launchAndWait(std::string_view commandLine)
{
    std::string command(commandLine);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<INTEGER>(status);
}

PrintCommandLauncher& launcher()
{
    static PrintCommandLauncher current = launchAndWait;
    return current;
}

}  // namespace

void YYSetPrintCommandLauncher(PrintCommandLauncher next) { launcher() = next ? next : launchAndWait; }

void IGrHardcopyBeginEnd(std::string_view action, std::string_view)
{
    if (action.empty() || (action[0] != 'S' && action[0] != 's')) return;  // starting a job is the devices' own
    HardcopyJobState& job = hardcopyJobState();
    job.PageOpen = 0;
    job.Active = 0;
    const std::string templateText = job.PrintCommand.trimmed();
    if (templateText.empty()) return;
    const std::string plotFile = job.TempPlotFile.trimmed();
    std::string command;
    for (char c : templateText) {
        if (c == '@') command += plotFile;
        else command += c;
    }
    launcher()(command);
    if (!plotFile.empty()) DeleteFileA(plotFile.c_str());
    job.PrintCommand.assign("");
}

void YYPrinterModel(INTEGER model)
{
    HardcopyJobState& job = hardcopyJobState();
    job.PrinterModel = (model >= 2 && model <= 38 && model != 27) ? model : 28;
    job.PrinterSet = 1;
}

void YYPlotterModel(INTEGER type)
{
    HardcopyJobState& job = hardcopyJobState();
    if (type >= 1 && type <= 10) {
        job.PlotterType = type;
    } else if (type >= 11 && type <= 15) {
        job.Hpgl2Type = type - 10;
        job.Hpgl2Set = 1;
        job.PlotterType = 1;
    } else {
        job.PlotterType = 1;
    }
    job.PlotterSet = 1;
}

void YYHpgl2Model(INTEGER type)
{
    HardcopyJobState& job = hardcopyJobState();
    if (type >= 1 && type <= 5) {
        job.Hpgl2Type = type;
        job.Hpgl2Set = 1;
        return;
    }
    switch (job.PrinterModel) {
    case 32: case 35: job.Hpgl2Type = 2; break;
    case 38: job.Hpgl2Type = 5; break;
    case 29: job.Hpgl2Type = 3; break;
    default: job.Hpgl2Type = 1; break;
    }
}

void YYScreenDumpDevice(INTEGER kind)
{
    if (kind != 0) return;
    // Screen dumps go to the Windows printer; whether there is one decides the flag.
    char name[512] = {};
    DWORD size = sizeof name;
    if (GetProfileStringA("windows", "device", "", name, size) > 0 && name[0] != '\0')
        hardcopyJobState().PrinterAvailableFlag = 1;
}
