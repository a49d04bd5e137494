// The reporter's Windows services: the system's texts, the task-modal box, and the process exits
// of the abnormal exit and of Cancel in the "Library Error" box, watched from a child process.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/GuiHarness.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WinApi.h"

namespace {

// Runs the helper with the arguments and returns its exit code (-1 when it did not end in time).
long runHelper(const std::string& arguments)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string helper = (std::filesystem::path(path).parent_path() / "ReporterExitHelper.exe").string();
    std::string line = "\"" + helper + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return -2;
    const KernelHandle process(info.hProcess), thread(info.hThread);
    if (WaitForSingleObject(process.get(), 20000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    return static_cast<long>(code);
}

}  // namespace

TEST(YYAbnormalExit, EndsTheProcessWithItsCode)
{
    EXPECT_EQ(runHelper("abnormal 5"), 5);
    EXPECT_EQ(runHelper("abnormal 0"), 0);
}

TEST(YYErrorReport, CancelInTheLibraryErrorBoxExitsWithZeroAndOkReturns)
{
    EXPECT_EQ(runHelper("box 0"), 0);
    EXPECT_EQ(runHelper("box 1"), 42);
}

TEST(YYTaskModalErrorBox, ShowsAModalBoxThatOkCloses)
{
    GuiHarness::ModalAnswer answer(IDOK);
    YYTaskModalErrorBox("Devivozivuz", "Abnormal exit (code 0) : test");
    EXPECT_TRUE(answer.answered());
}

TEST(YYErrorText, SystemTextsComeFromTheSystem)
{
    std::string text(300, '#');
    YYErrorText(ERROR_FILE_NOT_FOUND, text, kErrorTextSystem);
    EXPECT_NE(text.find_first_not_of(' '), std::string::npos);
    EXPECT_EQ(text.size(), 300u);
    EXPECT_EQ(text.find('\0'), std::string::npos);
    YYErrorText(0, text, kErrorTextSystem);
    EXPECT_EQ(text, std::string(300, ' '));
}
