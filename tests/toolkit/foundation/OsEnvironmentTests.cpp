// Environment, command line, system facts, registry and programs under Wine.
#include <gtest/gtest.h>

#include <filesystem>

#include "ReporterGuard.h"
#include "toolkit/foundation/OsEnvironment.h"
#include "toolkit/foundation/WinApi.h"
#include <tlhelp32.h>

namespace {

std::string trimmed(const std::string& text) { return text.substr(0, text.find_last_not_of(' ') + 1); }

int postedSeen = 0;

LRESULT CALLBACK countingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP + 5) ++postedSeen;
    return DefWindowProcA(window, message, wParam, lParam);
}

// Waits, with a deadline, until no SleepHelper.exe runs any more, so the test leaves none behind.
bool waitForHelpersToEnd()
{
    const DWORD deadline = GetTickCount() + 10000;
    for (;;) {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof entry;
        DWORD helper = 0;
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
            if (lstrcmpiA(entry.szExeFile, "SleepHelper.exe") == 0) helper = entry.th32ProcessID;
        CloseHandle(snapshot);
        if (helper == 0) return true;
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, helper);
        const DWORD left = deadline - GetTickCount();
        if (static_cast<int>(left) <= 0) {
            if (process) CloseHandle(process);
            return false;
        }
        if (process) {
            WaitForSingleObject(process, left);
            CloseHandle(process);
        }
    }
}

constexpr const char* kTestKey = "HKEY_CURRENT_USER\\Software\\QuorvalentTests\\Registry";

}  // namespace

TEST(IOsVariable, ValuesAbsentAndTooLong)
{
    ReporterGuard guard;
    WErrorReportMode(kReportConsole);
    SetEnvironmentVariableA("QV_TEST_VALUE", "abcde");
    std::string value(8, '#');
    IOsVariable("QV_TEST_VALUE   ", value);
    EXPECT_EQ(value, "abcde   ");
    value.assign(4, '#');
    IOsVariable("QV_TEST_VALUE", value);  // one character too long
    EXPECT_EQ(value, "    ");
    EXPECT_EQ(ReporterGuard::records().back(), " Routine:IOsVariable Error=1023:Variable too small to receive text");
    value.assign(5, '#');
    IOsVariable("QV_TEST_VALUE", value);
    EXPECT_EQ(value, "abcde");
    SetEnvironmentVariableA("QV_TEST_VALUE", nullptr);
    IOsVariable("QV_TEST_VALUE", value);
    EXPECT_EQ(value, "     ");
    EXPECT_EQ(ReporterGuard::records().size(), 1u);
}

TEST(YYCommandLine, WordsWithQuotes)
{
    struct Case { std::string_view line; INTEGER n; INTEGER result; std::string_view word; } cases[] = {
        {"prog.exe \"C:\\My Files\\a.dat\" -x", 1, 1, "C:\\My Files\\a.dat"},
        {"prog.exe \"C:\\My Files\\a.dat\" -x", 2, 2, "-x"},
        {"prog.exe \"C:\\My Files\\a.dat\" -x", 5, 2, ""},
        {"prog.exe \"C:\\My Files\\a.dat\" -x", -1, 2, ""},
        {"prog.exe \"\" one", 1, 1, "one"},        // empty quotes are no argument
        {"  prog.exe   a  b", 2, 2, "b"},
        {"prog.exe \"open end", 1, 1, "open end"},
        {"prog.exe \"   ", -1, 0, ""},
        {"prog.exe", 0, 0, "prog.exe"},
    };
    for (const auto& c : cases) {
        std::string word(30, ' ');
        EXPECT_EQ(YYCommandLineParse(c.line, c.n, word), c.result) << c.line << " " << c.n;
        EXPECT_EQ(trimmed(word), c.word) << c.line << " " << c.n;
    }
}

TEST(IOsCommandWord, WordZeroIsTheProgramPath)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string word(300, '#');
    IOsCommandWord(0, word);
    EXPECT_EQ(trimmed(word), path);
    IOsCommandWord(-1, word);
    EXPECT_EQ(word, std::string(300, ' '));
    IOsCommandWord(99, word);
    EXPECT_EQ(word, std::string(300, ' '));
}

TEST(IOsInfoQuery, Codes)
{
    EXPECT_EQ(IOsInfoQuery(1), 6);
    EXPECT_EQ(IOsInfoQuery(6), 92);
    EXPECT_EQ(IOsInfoQuery(7), 0);
    EXPECT_EQ(IOsInfoQuery(19), 0);
    EXPECT_EQ(IOsInfoQuery(18), 1);
    EXPECT_EQ(IOsInfoQuery(16), 4);
    EXPECT_EQ(IOsInfoQuery(67), 2);   // C: is a fixed drive
    EXPECT_EQ(IOsInfoQuery(81), 0);   // Q: does not exist
    const DWORD version = GetVersion();
    EXPECT_EQ(IOsInfoQuery(3), static_cast<INTEGER>(100 * (version & 0xFF) + ((version >> 8) & 0xFF)));
    EXPECT_EQ(IOsInfoQuery(2), YYOsInfoValue(2));
    const INTEGER decimal = IOsInfoQuery(20);
    EXPECT_TRUE(decimal == '.' || decimal == ',') << decimal;
    EXPECT_GE(IOsInfoQuery(15), 0);
    EXPECT_GE(IOsInfoQuery(21), 0);

    char saved[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, saved);
    SetCurrentDirectoryA("C:\\");
    EXPECT_EQ(IOsInfoQuery(9), 1);
    SetCurrentDirectoryA("C:\\windows");
    EXPECT_EQ(IOsInfoQuery(9), 0);
    SetCurrentDirectoryA(saved);
}

TEST(IOsInfoQuery, FreeSpaceArithmetic)
{
    const std::uint64_t mib = 1048576;
    struct Case { DiskFreeFacts facts; bool nt; INTEGER bytes, mibs; } cases[] = {
        {{true, 500 * mib, 8, 512, 128000}, true, 8 * 512 * 128000, 500},
        {{true, 3072 * mib, 8, 512, 500000}, true, 2147155968, 3072},
        {{true, 3072 * mib, 8, 512, 500000}, false, 2048000000, 3072},     // not the NT family
        {{false, 0, 8, 512, 400000}, true, 1638400000, 1562},
        {{true, 5000000 * mib, 64, 512, 65535}, true, 2147155968, 5000000}, // far more than 32 bits of bytes
    };
    for (const auto& c : cases) {
        EXPECT_EQ(YYDiskFreeValue(c.facts, c.nt), c.bytes);
        EXPECT_EQ(YYDiskFreeMibValue(c.facts), c.mibs);
    }
}

TEST(IOsRegistry, PutAndGetUnderATestKey)
{
    ReporterGuard guard;
    WErrorReportMode(kReportConsole);
    IOsRegistryPut(kTestKey, "abc      ", "Text");
    IOsRegistryPut(kTestKey, std::string("\x04\x03\x02\x01", 4), "Number", REG_DWORD);
    IOsRegistryPut(kTestKey, "default value", std::nullopt);
    EXPECT_TRUE(ReporterGuard::records().empty());

    struct Case { std::optional<std::string_view> name; std::size_t length; std::string data; INTEGER type, size, error; } cases[] = {
        {"Text", 10, "abc       ", REG_SZ, 3, 0},
        {"Text  ", 3, "abc", REG_SZ, 3, 0},
        {"Text", 2, "  ", REG_SZ, 3, 1023},  // too small: DATA stays blank
        {"Number", 4, std::string("\x04\x03\x02\x01", 4), REG_DWORD, 4, 0},
        {std::nullopt, 16, "default value   ", REG_SZ, 13, 0},
        {"Missing", 4, "    ", -2, 0, 0},
    };
    for (const auto& c : cases) {
        libraryErrorState().LastErrorNumber = 0;
        std::string data(c.length, '#');
        INTEGER type = 99, size = 99;
        IOsRegistryGet(kTestKey, &data, c.name, &type, &size);
        EXPECT_EQ(data, c.data) << c.name.value_or("(default)");
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(size, c.size);
        EXPECT_EQ(libraryErrorState().LastErrorNumber, c.error);
    }
    INTEGER type = 0, size = 0;
    IOsRegistryGet(kTestKey, nullptr, "Text", &type, &size);  // type and size only
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 3);

    std::string data(6, '#');
    IOsRegistryGet("HKEY_CURRENT_USER\\Software\\QuorvalentTests\\NoSuchKey", &data, "Text", &type, &size);
    EXPECT_EQ(data, "      ");
    EXPECT_EQ(type, -1);
    data.assign(6, '#');
    IOsRegistryGet("HKEY_NOWHERE\\Software", &data, "Text", &type, &size);
    EXPECT_EQ(data, "      ");
    EXPECT_EQ(type, -1);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(ReporterGuard::records().back(), " Routine:IOsRegistryGet Error=1050:Invalid pre-defined registry key");
    IOsRegistryPut("NoBackslash", "x");
    EXPECT_EQ(ReporterGuard::records().back(), " Routine:IOsRegistryPut Error=1050:Invalid pre-defined registry key");

    EXPECT_EQ(YYRegistryRootKey("hkey_local_machine"), 0x80000002LL);
    EXPECT_EQ(YYRegistryRootKey("HKEY_DYN_DATA"), 0x80000006LL);
    EXPECT_EQ(YYRegistryValueDelete(0x80000001LL, "Software\\QuorvalentTests\\Registry", "Text"), 0);
    EXPECT_EQ(YYRegistryKeyDelete(0x80000001LL, "Software\\QuorvalentTests\\Registry"), 0);
    EXPECT_EQ(YYRegistryKeyDelete(0x80000001LL, "Software\\QuorvalentTests"), 0);
}

TEST(YYRunProgram, WaitsTimesOutAndReportsBadCommands)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string helper = (std::filesystem::path(path).parent_path() / "SleepHelper.exe").string();
    INTEGER result = 0;
    YYRunProgram("\"" + helper + "\" 0" + '\0' + "ignored", 1, 1, 30, result);
    EXPECT_EQ(result, 32);

    // A message posted to a window while the runner waits without limit reaches the window.
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = countingProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QvRunProgramCounter";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "QvRunProgramCounter", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    postedSeen = 0;
    PostMessageA(window, WM_APP + 5, 0, 0);
    YYRunProgram("\"" + helper + "\" 300", 1, 1, -1, result);
    EXPECT_EQ(result, 32);
    EXPECT_EQ(postedSeen, 1);
    DestroyWindow(window);
    UnregisterClassA("QvRunProgramCounter", GetModuleHandleA(nullptr));

    YYRunProgram("\"" + helper + "\" 1000", 1, 1, 0, result);
    EXPECT_EQ(result, -1);  // still running; it is left to end by itself
    EXPECT_TRUE(waitForHelpersToEnd());

    YYRunProgram("Z:\\no\\such\\program.exe", 1, 1, 5, result);
    EXPECT_TRUE(result == ERROR_PATH_NOT_FOUND || result == ERROR_FILE_NOT_FOUND) << result;
    YYRunProgram("\"" + helper + "\" 0", 1, 0, 0, result);
    EXPECT_GT(result, 31);

    static std::string seen;
    programLaunchHooks().run = [](std::string_view command, INTEGER, INTEGER, INTEGER, INTEGER& r) {
        seen = std::string(command);
        r = 32;
    };
    YYRunProgram("viewer.exe help.htm", 0, 1, -1, result);
    programLaunchHooks().run = nullptr;
    EXPECT_EQ(seen, "viewer.exe help.htm");
}

TEST(IOsUserName, NameAndTooSmall)
{
    ReporterGuard guard;
    char expected[257] = {};
    DWORD size = sizeof expected;
    ASSERT_TRUE(GetUserNameA(expected, &size));
    std::string name(300, '#');
    IOsUserName(name);
    EXPECT_EQ(trimmed(name), expected);
    std::string tiny(0, ' ');
    IOsUserName(tiny);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 1023);

    INTEGER year = 0, month = 0, day = 0;
    IOsLocalDate(year, month, day);
    EXPECT_GE(year, 2024);
    EXPECT_TRUE(month >= 1 && month <= 12 && day >= 1 && day <= 31);

    INTEGER status = 9, code = 9;
    YYMailRecipients(1);
    YYMailSend(0, status, code, "s", "t");  // no mail entry looked up
    EXPECT_EQ(status, -1);
    EXPECT_EQ(code, 0);
}
