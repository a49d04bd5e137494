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

std::string runHost(const std::string& command, std::chrono::milliseconds deadline)
{
    static int serial = 0;
    const std::string base = hostScratchName("host") + "-" + std::to_string(++serial);
    // The standard folders first, whatever search path Wine hands the host shell.
    const std::string line = "/bin/sh -c \"export PATH=/usr/local/bin:/usr/bin:/bin:$PATH; (" + command + ") > " + base +
                             ".part 2>&1 </dev/null; mv " + base + ".part " + base + ".out\"";
    std::vector<char> text(line.begin(), line.end());
    text.push_back('\0');
    STARTUPINFOA start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA("Z:\\bin\\sh", text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process))
        return "cannot start the host shell";
    const KernelHandle thread(process.hThread), child(process.hProcess);
    const std::string done = "Z:" + base + ".out";
    if (!GuiHarness::waitUntil([&] { return fileExists(done); }, deadline)) return "host command timed out";
    std::string out = readFile(done);
    DeleteFileA(done.c_str());
    return out;
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
