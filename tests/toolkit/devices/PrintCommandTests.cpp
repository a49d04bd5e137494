// Recognising a print-command template and building the command and its command line.
#include <gtest/gtest.h>

#include <string>

#include "toolkit/devices/HardcopyState.h"

TEST(PrintCommand, TemplatesNeedTheAtSignBetweenBlanks)
{
    struct Case { const char* name; bool isTemplate; };
    const Case cases[] = {
        {"lpr @ -h", true}, {"print /d:lpt1 @", true},  // the fill blank after the name counts
        {"plot@home.ps", false}, {"a @b", false}, {"@ x", false}, {"plain.ps", false},
    };
    for (const Case& c : cases) EXPECT_EQ(YYPrintCommandTemplate(FixedText<260>(c.name)), c.isTemplate) << c.name;
}

TEST(PrintCommand, CommandPutsTheFileAtTheFirstAtSign)
{
    const std::string command = YYPrintCommandBuild(FixedText<260>("copy @ prn @"), "C:\\temp\\zid$$00.plt");
    EXPECT_EQ(command.size(), 260u - 1 + 19);
    EXPECT_EQ(command.substr(0, command.find_last_not_of(' ') + 1), "copy C:\\temp\\zid$$00.plt prn @");
}

TEST(PrintCommand, LongCommandIsBuiltWhole)
{
    const std::string tail(240, 'x');
    const std::string temporary = "C:\\" + std::string(200, 't') + "\\zid$$00.plt";
    const std::string command = YYPrintCommandBuild(FixedText<260>("go @ " + tail), temporary);
    EXPECT_EQ(command.size(), 260u - 1 + temporary.size());
    EXPECT_EQ(command.substr(0, 3 + temporary.size()), "go " + temporary);
    const std::size_t used = command.find_last_not_of(' ') + 1;
    EXPECT_EQ(command.substr(used - tail.size(), tail.size()), tail);  // the end of the template survives
}

TEST(PrintCommand, CommandLineNamesTheInterpreterOfThePlatform)
{
    EXPECT_EQ(YYPrintCommandLine(4, "copy a b"), std::string("cmd.exe /c copy a b\0", 20));
    EXPECT_EQ(YYPrintCommandLine(3, "copy a b"), std::string("command.com /c copy a b\0", 24));
}
