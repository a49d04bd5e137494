// The host's files and programs seen from a test under Wine, and the PDFs the CUPS PDF queue of
// the test command prints (QV_PDF_DIR names the folder cups-pdf writes to). Wine maps the Unix
// root to Z: and starts Unix programs, but cannot wait for them: a host command's output comes
// back through a file renamed into place when the command is done.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace HostTools {

using namespace std::chrono_literals;

// The bytes of a file (empty when it cannot be read).
std::string readFile(const std::string& name);

bool fileExists(const std::string& windowsName);

// Runs a shell command line of the host and returns what it printed (output and errors), or a
// line saying why nothing came: the shell did not start, or the command outran the deadline (then
// the command and every program it started are ended).
std::string runHost(const std::string& command, std::chrono::milliseconds deadline = 60000ms);

// A host shell command that converts a file (host path) to PDF in the folder with LibreOffice,
// in a profile of its own that it removes afterwards: runs side by side, and a first start on a
// fresh machine, do not share one. Its status is LibreOffice's.
std::string libreOfficeToPdf(const std::string& file, const std::string& folder);

// A Unix name under /tmp for a scratch file of this process, told apart from every other test
// process's (Windows process ids repeat across the Wine servers of parallel test shards).
std::string hostScratchName(const std::string& what);

// An 8-bit binary portable anymap: P5 (grey, one byte a pixel) or P6 (RGB, three), top row first.
struct Pnm {
    int width = 0, height = 0, channels = 0;
    std::string pixels;
    bool valid() const { return channels > 0; }
    unsigned char at(int x, int y, int channel = 0) const
    {
        return static_cast<unsigned char>(
            pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) *
                       static_cast<std::size_t>(channels) +
                   static_cast<std::size_t>(channel)]);
    }
};

// The image of a P5 or P6 file with maximum value 255; invalid for any other header or when the
// pixels fall short.
Pnm parsePnm(const std::string& data);

// One page (from 1) of a PDF of the host rendered by pdftoppm at the resolution, in grey or RGB.
Pnm renderPdfPage(const std::string& pdf, int page, int dpi, bool grey = false);

// The size in points and the turn in degrees of a PDF's page, as pdfinfo reports them; found is
// false when the report gives no page size.
struct PdfPageShape {
    bool found = false;
    double width = 0, height = 0;
    int rotation = 0;
};
PdfPageShape pdfPageShape(const std::string& pdfinfoReport);

// The folder the PDF queue writes to, as a Unix path; empty when the test command set up none.
std::string pdfFolder();

// The names of the PDFs in the folder whose name holds the stem (every PDF for an empty stem).
std::vector<std::string> pdfsNamed(const std::string& stem = {});

// Removes the PDFs whose name holds the stem, without a host program (a Wine process that has run
// host programs for a while can no longer open the printer); whether none is left.
bool removePdfs(const std::string& stem);

// The host path of the one PDF whose name holds the stem, once pdfinfo reads it whole; empty when
// none (or more than one) was there and readable before the deadline.
std::string waitForPdf(const std::string& stem, std::chrono::milliseconds deadline = 60000ms);

// The host path of a PDF not among the names listed before, once pdfinfo reads it whole; empty
// when none came before the deadline.
std::string waitForNewPdf(const std::vector<std::string>& before, std::chrono::milliseconds deadline = 60000ms);

}  // namespace HostTools
