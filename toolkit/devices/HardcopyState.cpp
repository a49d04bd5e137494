#include "toolkit/devices/HardcopyState.h"

HardcopyJobState& hardcopyJobState()
{
    static HardcopyJobState state;
    return state;
}

HardcopyDriverState& hardcopyDriverState()
{
    static HardcopyDriverState state;
    return state;
}

bool YYPrintCommandTemplate(const FixedText<260>& name) { return name.view().find(" @ ") != std::string_view::npos; }

std::string YYPrintCommandBuild(const FixedText<260>& commandTemplate, std::string_view temporaryFile)
{
    const std::string_view text = commandTemplate.view();
    const std::size_t at = text.find('@');
    if (at == std::string_view::npos) return std::string(text);
    std::string command(text.substr(0, at));
    command += temporaryFile;
    command += text.substr(at + 1);
    return command;
}

std::string YYPrintCommandLine(INTEGER platform, std::string_view command)
{
    std::string line = platform == 4 ? "cmd.exe /c " : "command.com /c ";
    line += command;
    line.push_back('\0');
    return line;
}
