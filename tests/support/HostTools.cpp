#include "tests/support/HostTools.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "tests/support/GuiHarness.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WinApi.h"

namespace HostTools {

std::string readFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool fileExists(const std::string& windowsName) { return GetFileAttributesA(windowsName.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string hostScratchName(const std::string& what)
{
    static const std::string process = [] {
        std::random_device random;
        return std::to_string(GetCurrentProcessId()) + "-" + std::to_string(random() % 1000000000u);
    }();
    return "/tmp/qv-" + what + "-" + process;
}

namespace {

bool writeFile(const std::string& name, const std::string& bytes)
{
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out.flush());
}

// Starts a host program with its arguments. Wine runs a Unix program without a process handle to
// wait on, and for one it fills in no thread handle either (what comes back there is whatever the
// structure held): only handles of a Windows process that really started are owned and closed.
bool startHost(const std::string& program, const std::string& arguments)
{
    std::vector<char> text(arguments.begin(), arguments.end());
    text.push_back('\0');
    STARTUPINFOA start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process))
        return false;
    if (process.hProcess) {
        const KernelHandle thread(process.hThread), child(process.hProcess);
    }
    return true;
}

// Ends the command's whole process group (the shell and everything it started) and waits until
// its shell is gone.
void endHostGroup(const std::string& pidFile)
{
    const std::string pid = readFile(pidFile);
    const long id = std::strtol(pid.c_str(), nullptr, 10);
    if (id <= 1) return;
    const std::string group = std::to_string(id);
    if (!startHost("Z:\\bin\\kill", "/bin/kill -KILL -- -" + group)) return;
    GuiHarness::waitUntil([&] { return !fileExists("Z:/proc/" + group); }, 10000ms);
}

}  // namespace

std::string runHost(const std::string& command, std::chrono::milliseconds deadline)
{
    static int serial = 0;
    const std::string base = hostScratchName("host") + "-" + std::to_string(++serial);
    const std::string script = base + ".sh", pid = base + ".pid", part = base + ".part", done = base + ".out";
    // A script file keeps the command's own quoting; the standard folders come first, whatever
    // search path Wine hands the host shell. The output is renamed into place when the command is
    // done: Wine cannot wait for a Unix process.
    const std::string text = "export PATH=/usr/local/bin:/usr/bin:/bin:$PATH\necho $$ > " + pid + "\n(" + command +
                             "\n) > " + part + " 2>&1 </dev/null\nmv " + part + " " + done + "\n";
    if (!writeFile("Z:" + script, text)) return "cannot write the host command";
    const auto cleanUp = [&] {
        for (const std::string& name : {script, pid, part, done}) DeleteFileA(("Z:" + name).c_str());
    };
    // A session of its own makes the shell the leader of a process group that a deadline can end
    // whole, with every program the command started.
    if (!startHost("Z:\\usr\\bin\\setsid", "/usr/bin/setsid /bin/sh " + script)) {
        cleanUp();
        return "cannot start the host shell";
    }
    if (!GuiHarness::waitUntil([&] { return fileExists("Z:" + done); }, deadline)) {
        // The shell writes its id first thing: give it a moment when it has not started yet.
        GuiHarness::waitUntil([&] { return readFile("Z:" + pid).find('\n') != std::string::npos; }, 5000ms);
        endHostGroup("Z:" + pid);
        cleanUp();
        return "host command timed out";
    }
    std::string out = readFile("Z:" + done);
    cleanUp();
    return out;
}

std::string libreOfficeToPdf(const std::string& file, const std::string& folder)
{
    static int serial = 0;
    const std::string profile = hostScratchName("office-profile") + "-" + std::to_string(++serial);
    return "{ soffice --headless -env:UserInstallation=file://" + profile + " --convert-to pdf --outdir '" + folder +
           "' '" + file + "'; status=$?; rm -rf '" + profile + "'; [ $status -eq 0 ]; }";
}

Pnm parsePnm(const std::string& data)
{
    std::istringstream in(data);
    std::string magic;
    int width = 0, height = 0, maxValue = 0;
    in >> magic >> width >> height >> maxValue;
    in.get();  // the one white-space byte before the pixels
    const int channels = magic == "P5" ? 1 : magic == "P6" ? 3 : 0;
    if (!in || channels == 0 || maxValue != 255 || width <= 0 || height <= 0) return Pnm{};
    const auto at = static_cast<std::size_t>(in.tellg());
    const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * static_cast<std::size_t>(channels);
    if (data.size() < at + size) return Pnm{};
    return Pnm{width, height, channels, data.substr(at, size)};
}

Pnm renderPdfPage(const std::string& pdf, int page, int dpi, bool grey)
{
    const std::string out = hostScratchName("pdf-page");
    const std::string number = std::to_string(page);
    runHost(std::string("pdftoppm") + (grey ? " -gray" : "") + " -r " + std::to_string(dpi) + " -f " + number + " -l " +
            number + " -singlefile '" + pdf + "' " + out);
    const std::string file = "Z:" + out + (grey ? ".pgm" : ".ppm");
    const std::string data = readFile(file);
    DeleteFileA(file.c_str());
    return parsePnm(data);
}

PdfPageShape pdfPageShape(const std::string& pdfinfoReport)
{
    PdfPageShape shape;
    const std::size_t size = pdfinfoReport.find("Page size:");
    if (size == std::string::npos) return shape;
    shape.found = std::sscanf(pdfinfoReport.c_str() + size, "Page size: %lf x %lf", &shape.width, &shape.height) == 2;
    const std::size_t rot = pdfinfoReport.find("Page rot:");
    if (rot != std::string::npos) std::sscanf(pdfinfoReport.c_str() + rot, "Page rot: %d", &shape.rotation);
    return shape;
}

std::string pdfFolder()
{
    const char* dir = std::getenv("QV_PDF_DIR");
    return dir ? std::string(dir) : std::string();
}

std::vector<std::string> pdfsNamed(const std::string& stem)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const std::string pattern = stem.empty() ? "*.pdf" : "*" + stem + "*.pdf";
    const FindHandle search(FindFirstFileA(("Z:" + pdfFolder() + "/" + pattern).c_str(), &found));
    if (!search) return names;
    do names.emplace_back(found.cFileName);
    while (FindNextFileA(search.get(), &found));
    return names;
}

bool removePdfs(const std::string& stem)
{
    for (const std::string& name : pdfsNamed(stem)) DeleteFileA(("Z:" + pdfFolder() + "/" + name).c_str());
    return pdfsNamed(stem).empty();
}

namespace {

// cups-pdf writes the file in pieces: it is whole once pdfinfo reads it.
bool pdfReadable(const std::string& path)
{
    return runHost("pdfinfo '" + path + "' >/dev/null && echo readable").find("readable") != std::string::npos;
}

}  // namespace

std::string waitForPdf(const std::string& stem, std::chrono::milliseconds deadline)
{
    std::string found;
    GuiHarness::waitUntil(
        [&] {
            const std::vector<std::string> names = pdfsNamed(stem);
            if (names.size() != 1) return false;
            const std::string path = pdfFolder() + "/" + names.front();
            if (!pdfReadable(path)) return false;
            found = path;
            return true;
        },
        deadline);
    return found;
}

std::string waitForNewPdf(const std::vector<std::string>& before, std::chrono::milliseconds deadline)
{
    std::string found;
    GuiHarness::waitUntil(
        [&] {
            for (const std::string& name : pdfsNamed())
                if (std::find(before.begin(), before.end(), name) == before.end() && pdfReadable(pdfFolder() + "/" + name)) {
                    found = pdfFolder() + "/" + name;
                    return true;
                }
            return false;
        },
        deadline);
    return found;
}

}  // namespace HostTools
