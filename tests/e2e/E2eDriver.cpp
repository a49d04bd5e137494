#include "tests/e2e/E2eDriver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/HostTools.h"
#include "toolkit/foundation/CommonControls.h"
#include "toolkit/foundation/Handles.h"

namespace E2e {

namespace {

using Clock = std::chrono::steady_clock;

// Polls a condition every 20 ms until it holds or the deadline passes.
template <class Condition>
bool pollUntil(Condition condition, std::chrono::milliseconds deadline)
{
    const auto end = Clock::now() + deadline;
    for (;;) {
        if (condition()) return true;
        if (Clock::now() >= end) return false;
        std::this_thread::sleep_for(20ms);
    }
}

std::string environment(const char* name)
{
    char buffer[1024];
    const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

void makeFolders(const std::string& path)
{
    for (std::size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '\\' || path[i] == '/') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
}

bool copyFile(const std::string& from, const std::string& to) { return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0; }

INPUT keyInput(WORD vk, bool up)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

// Real input is delivered through the display server: give it time to arrive before the next.
void sendInputs(std::vector<INPUT> inputs)
{
    for (INPUT& in : inputs) {
        SendInput(1, &in, sizeof(INPUT));
        std::this_thread::sleep_for(15ms);
    }
}

HANDLE openProcessOf(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION, FALSE, pid);
}

}  // namespace

std::string artefactFolder()
{
    std::string folder = environment("QV_E2E_ARTEFACTS");
    if (folder.empty()) folder = QV_E2E_ARTEFACT_FOLDER;
    makeFolders(folder);
    return folder;
}

std::string screenshot(std::string_view name)
{
    // What the user sees is what the X display shows: the picture comes from the display server,
    // not from a copy of the screen through the system's own drawing calls.
    const std::string path = artefactFolder() + "/" + std::string(name) + ".png";
    std::string host = path.substr(path.rfind(':') + 1);
    std::replace(host.begin(), host.end(), '\\', '/');
    const std::string log = HostTools::runHost("import -window root '" + host + "' && echo captured");
    return log.find("captured") != std::string::npos ? path : std::string();
}

namespace {
// Under a display without a window manager nobody draws the frames' captions and borders; for the
// program under test Wine draws them itself, as Windows does, so that screenshots show them. The
// setting is Wine's own per-program one and is taken away again when the run ends.
constexpr char kWineProgramKey[] = "Software\\Wine\\AppDefaults\\quorvalent.exe";

void drawOwnFrames(bool on)
{
    if (!on) {
        RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kWineProgramKey) + "\\X11 Driver").c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, kWineProgramKey);
        return;
    }
    HKEY opened = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kWineProgramKey) + "\\X11 Driver").c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &opened, nullptr) != ERROR_SUCCESS)
        return;
    RegistryKeyHandle key(opened);
    RegSetValueExA(key.get(), "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
}
}  // namespace

// ---- Program -------------------------------------------------------------------------------

Program::Program(std::string_view label) : label_(label)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "qv-e2e-" + label_ + "-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(GetTickCount());
    makeFolders(folder_);
    copyFile(QV_PROGRAM_FILE, path("quorvalent.exe"));
}

Program::~Program()
{
    kill();
    drawOwnFrames(false);
    // Nothing of the run stays behind: every file of the folder, then the folder.
    WIN32_FIND_DATAA found{};
    FindHandle search(FindFirstFileA((folder_ + "\\*").c_str(), &found));
    if (search) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA(path(found.cFileName).c_str());
        } while (FindNextFileA(search.get(), &found));
    }
    search.reset();
    RemoveDirectoryA(folder_.c_str());
}

bool Program::placeDefaultSettings() { return copyFile(QV_DEFAULT_SETTINGS_FILE, path("QUORVALENT.INI")); }

bool Program::placeSettings(std::string_view text)
{
    std::ofstream out(path("QUORVALENT.INI"), std::ios::binary);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(out);
}

bool Program::fileExists(std::string_view name) const
{
    return GetFileAttributesA(path(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Program::readFile(std::string_view name) const
{
    std::ifstream in(path(name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Program::start()
{
    drawOwnFrames(true);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + path("quorvalent.exe") + "\"";
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &startup, &process_))
        return false;
    CloseHandle(process_.hThread);
    process_.hThread = nullptr;
    return true;
}

bool Program::running() const
{
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<std::pair<HWND, std::string>> Program::windows() const
{
    struct Search {
        DWORD pid;
        std::vector<std::pair<HWND, std::string>> found;
    } search{process_.dwProcessId, {}};
    // A plain function: the system calls it with its own calling convention.
    struct Visit {
        static BOOL CALLBACK window(HWND window, LPARAM data)
        {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == s.pid && IsWindowVisible(window)) s.found.emplace_back(window, windowText(window));
            return TRUE;
        }
    };
    EnumWindows(&Visit::window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Program::waitForWindow(std::string_view caption, std::chrono::milliseconds deadline) const
{
    HWND found = nullptr;
    pollUntil(
        [&] {
            for (const auto& [window, text] : windows())
                if (text == caption) found = window;
            return found != nullptr || !running();
        },
        deadline);
    return found;
}

bool Program::waitWindowGone(std::string_view caption, std::chrono::milliseconds deadline) const
{
    return pollUntil(
        [&] {
            for (const auto& [window, text] : windows())
                if (text == caption) return false;
            return true;
        },
        deadline);
}

long Program::waitForExit(std::chrono::milliseconds deadline)
{
    if (!process_.hProcess) return -1;
    if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(deadline.count())) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
}

void Program::kill()
{
    if (!process_.hProcess) return;
    KernelHandle process(process_.hProcess);
    process_.hProcess = nullptr;
    if (WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 5000);
    }
}

// ---- commands, buttons and real input ----------------------------------------------------------

void sendCommand(HWND frame, int command) { PostMessageA(frame, WM_COMMAND, MAKEWPARAM(command, 0), 0); }

bool settled(HWND window, std::chrono::milliseconds deadline)
{
    // A sent message is handled as soon as the thread looks at its queue again, before the
    // messages posted to it earlier: this shows the thread is serving its queue, not that a
    // posted command or input has been handled.
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(deadline.count()), &result) != 0;
}

bool clickButton(HWND dialog, int controlId)
{
    HWND button = GetDlgItem(dialog, controlId);
    if (!button) return false;
    // A posted click can be overtaken by settled(): the program's thread serves the sent WM_NULL
    // before the posted click. A check box or radio button shows when the click has been handled
    // (its state is read through the same thread, after the click's notification has run), so
    // wait for its state to turn.
    const LONG type = GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK;
    const bool radio = type == BS_AUTORADIOBUTTON;
    const bool toggles = radio || type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE;
    const LRESULT before = SendMessageA(button, BM_GETCHECK, 0, 0);
    PostMessageA(button, BM_CLICK, 0, 0);
    if (toggles && !(radio && before == BST_CHECKED) && IsWindowEnabled(button))
        return pollUntil([&] { return SendMessageA(button, BM_GETCHECK, 0, 0) != before; }, 5000ms);
    return true;
}

void pressKey(WORD virtualKey) { sendInputs({keyInput(virtualKey, false), keyInput(virtualKey, true)}); }

void pressKeys(std::initializer_list<WORD> virtualKeys)
{
    for (WORD vk : virtualKeys) pressKey(vk);
}

void typeText(std::string_view text)
{
    std::vector<INPUT> inputs;
    for (char ch : text) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wScan = static_cast<unsigned char>(ch);
        in.ki.dwFlags = KEYEVENTF_UNICODE;
        inputs.push_back(in);
        in.ki.dwFlags |= KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    sendInputs(std::move(inputs));
}

bool bringToFront(HWND window)
{
    SetForegroundWindow(window);
    return pollUntil([&] { return GetForegroundWindow() == window; }, 3000ms);
}

void mouseMove(POINT screen)
{
    // Absolute coordinates run from 0 to 65535 across the primary screen.
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    sendInputs({in});
}

namespace {
INPUT buttonInput(int button, bool up)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    switch (button) {
    case 3: in.mi.dwFlags = up ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN; break;
    case 2: in.mi.dwFlags = up ? MOUSEEVENTF_MIDDLEUP : MOUSEEVENTF_MIDDLEDOWN; break;
    default: in.mi.dwFlags = up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN; break;
    }
    return in;
}
}  // namespace

void mouseDown(int button) { sendInputs({buttonInput(button, false)}); }
void mouseUp(int button) { sendInputs({buttonInput(button, true)}); }

void mouseDrag(POINT from, POINT to, int steps, DWORD holdMs)
{
    mouseMove(from);
    mouseDown(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
    for (int i = 1; i <= steps; ++i)
        mouseMove({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
    mouseUp(1);
}

bool typeInto(HWND control, std::string_view text)
{
    RECT rect{};
    if (!GetWindowRect(control, &rect)) return false;
    mouseMove({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    mouseDown(1);
    mouseUp(1);
    pressKeys({VK_END});
    typeText(text);
    pressKey(VK_TAB);
    return true;
}

bool typeIntoCell(HWND window, POINT clientPoint, std::string_view text)
{
    if (!ClientToScreen(window, &clientPoint)) return false;
    mouseMove(clientPoint);
    mouseDown(1);
    mouseUp(1);
    typeText(text);
    pressKey(VK_TAB);
    return true;
}

// ---- windows, status bars, toolbars, boxes ---------------------------------------------------

HWND childById(HWND parent, int id) { return GetDlgItem(parent, id); }

HWND childByClass(HWND parent, std::string_view className)
{
    struct Search {
        std::string name;
        HWND found = nullptr;
    } search{std::string(className)};
    struct Visit {
        static BOOL CALLBACK child(HWND window, LPARAM data)
        {
            auto& s = *reinterpret_cast<Search*>(data);
            char name[128] = {};
            GetClassNameA(window, name, sizeof name);
            if (lstrcmpiA(name, s.name.c_str()) != 0) return TRUE;
            s.found = window;
            return FALSE;
        }
    };
    EnumChildWindows(parent, &Visit::child, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string windowText(HWND window)
{
    // WM_GETTEXT is carried across processes by the system.
    char text[1024] = {};
    DWORD_PTR n = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &n);
    return std::string(text, std::min<std::size_t>(n, sizeof text - 1));
}

std::vector<int> statusBarEdges(HWND bar)
{
    const int n = static_cast<int>(SendMessageA(bar, SB_GETPARTS, 0, 0));
    if (n <= 0) return {};
    KernelHandle process(openProcessOf(bar));
    if (!process) return {};
    ProcessMemory remote(process.get(), sizeof(int) * 256);
    if (!remote.get()) return {};
    SendMessageA(bar, SB_GETPARTS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(remote.get()));
    std::vector<int> edges(static_cast<std::size_t>(n));
    SIZE_T read = 0;
    ReadProcessMemory(process.get(), remote.get(), edges.data(), sizeof(int) * edges.size(), &read);
    return edges;
}

std::string statusBarText(HWND bar, int part)
{
    // The simple-mode text is part 0 while the bar is in simple mode; outside it there is none.
    if (part == 255) {
        if (!statusBarSimple(bar)) return "(parts shown)";
        part = 0;
    }
    // The control writes the text into a buffer of the program's own process.
    const int length = LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0));
    KernelHandle process(openProcessOf(bar));
    if (!process) return {};
    ProcessMemory remote(process.get(), static_cast<SIZE_T>(length) + 512);
    if (!remote.get()) return {};
    SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(remote.get()));
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SIZE_T read = 0;
    ReadProcessMemory(process.get(), remote.get(), text.data(), text.size(), &read);
    text.resize(std::strlen(text.c_str()));
    return text;
}

void setStatusPartText(HWND bar, int part, std::string_view text)
{
    KernelHandle process(openProcessOf(bar));
    if (!process) return;
    const std::string copy(text);
    ProcessMemory remote(process.get(), copy.size() + 1);
    if (!remote.get()) return;
    SIZE_T written = 0;
    WriteProcessMemory(process.get(), remote.get(), copy.c_str(), copy.size() + 1, &written);
    SendMessageA(bar, SB_SETTEXTA, static_cast<WPARAM>(part == 255 ? 255 | SBT_NOBORDERS : part), reinterpret_cast<LPARAM>(remote.get()));
}

bool statusBarSimple(HWND bar) { return SendMessageA(bar, SB_ISSIMPLE, 0, 0) != 0; }

int toolbarIndex(HWND toolbar, int command) { return static_cast<int>(SendMessageA(toolbar, TB_COMMANDTOINDEX, command, 0)); }
bool toolbarChecked(HWND toolbar, int command) { return SendMessageA(toolbar, TB_ISBUTTONCHECKED, command, 0) != 0; }
int toolbarButtonCount(HWND toolbar) { return static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0)); }

bool toolbarButtonRect(HWND toolbar, int command, RECT& screen)
{
    const int index = toolbarIndex(toolbar, command);
    if (index < 0) return false;
    KernelHandle process(openProcessOf(toolbar));
    if (!process) return false;
    ProcessMemory remote(process.get(), sizeof(RECT));
    if (!remote.get() || !SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.get())))
        return false;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process.get(), remote.get(), &screen, sizeof screen, &read)) return false;
    MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&screen), 2);
    return true;
}

std::string messageBoxText(HWND box)
{
    // The box's message is its static control with identifier 0xFFFF.
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? windowText(text) : std::string();
}

bool answerFileDialog(HWND dialog, std::string_view fileName)
{
    // The file-name field: an edit box (0x480) or, in the explorer-style dialog, a combo box
    // (0x47c) with its edit box.
    HWND field = GetDlgItem(dialog, 0x480);
    if (!field) {
        // The explorer style nests the edit box in a combo box inside an extended combo box.
        if (HWND combo = GetDlgItem(dialog, 0x47c)) {
            field = FindWindowExA(combo, nullptr, "Edit", nullptr);
            if (HWND inner = field ? nullptr : FindWindowExA(combo, nullptr, "ComboBox", nullptr))
                field = FindWindowExA(inner, nullptr, "Edit", nullptr);
        }
    }
    if (!field) return false;
    const std::string name(fileName);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()), SMTO_NORMAL, 5000, &result);
    return clickButton(dialog, IDOK);
}

}  // namespace E2e
