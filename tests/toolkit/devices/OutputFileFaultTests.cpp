// Every file driver's output (the text and plot drivers, the bit-image files, the raster printers'
// files), failed on purpose at each of its writes, at the flush and at the
// replace (the work files' fault hook stands in for the system): the failure is reported once,
// the driver's writing stops, the old file stays byte for byte and no work file is left behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "RasterFixture.h"
#include "RasterPrinterStreams.h"
#include "TextDriverSession.h"
#include "tests/toolkit/foundation/ReporterGuard.h"
#include "tests/toolkit/foundation/WorkFileFaults.h"
#include "toolkit/devices/CgmFileDriver.h"

namespace fs = std::filesystem;

namespace {

const std::string kOld = "the user's previous plot, which no failed job may touch\r\n";

std::string fileText(const fs::path& path)
{
    const raster_test::Bytes bytes = raster_test::readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

void writeText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// One job of a file driver into a file; it answers the work file the job wrote into.
struct Writer {
    const char* name;
    std::function<std::string(const fs::path&)> job;
};

// A text driver's job through the hardcopy session: lines, a fill and a text.
std::string textJob(INTEGER device, const fs::path& file)
{
    TextDriverSession session(device, file.filename().string());
    if (device == 9) {
        driverHooks().HardcopyDrivers[9] = &XXCGM;
        driverParameterBlock().Count = 0;
        driverParameterBlock().Value = 0;
        YYHardcopyDispatch(OpInit);
    }
    // The session writes beside the temporary folder: the user's old file is put there first, and
    // what the job left there is brought back.
    writeText(session.path(), fileText(file));
    session.start("Faults");
    const std::string work = outputUnitState().Units[2].Work.path();
    for (int k = 0; k < 6; ++k) session.send(OpLine, {10.0f * k, 10, 300, 20.0f * k});
    session.fill(OpRectangleFill, {40, 40, 120, 90});
    session.text("Sounding 7", 50, 200, 150, 200);
    session.finish();
    writeText(file, fileText(session.path()));
    return work;
}

// A bit-image job of one page (file types 0 PCX, 1 BMP, 2 run-length BMP, 3 PNG).
std::string imageJob(INTEGER type, const fs::path& file)
{
    raster_test::RasterJob job(48, 32, file, {.bits = type == 2 ? 8 : 24, .fileType = type});
    const std::string work = outputUnitState().Units[2].Work.path();
    raster_test::RasterJob::colour(223);
    raster_test::RasterJob::line(0, 0, 47, 31);
    raster_test::RasterJob::fill(OpRectangleFill, 3, {5, 5, 30, 20});
    job.end();
    return work;
}

// A raster printer's job of one small page (two inches by one and a half) with a diagonal: a laser
// printer's PCL rows, and a dot-matrix printer's head bands.
std::string printerJob(INTEGER model, const fs::path& file)
{
    raster_test::PrinterJob job(model, file, [](HardcopyOptionBlock& o) {
        o.Options[1] = 144;
        o.Options[2] = 108;
    });
    const std::string work = outputUnitState().Units[2].Work.path();
    raster_test::PrinterJob::line(0, 0, 999, 999);
    job.finish();
    return work;
}

const std::vector<Writer>& writers()
{
    static const std::vector<Writer> list = {
        {"PostScript", [](const fs::path& f) { return textJob(2, f); }},
        {"SVG", [](const fs::path& f) { return textJob(3, f); }},
        {"HP-GL", [](const fs::path& f) { return textJob(1, f); }},
        {"HP-GL/2", [](const fs::path& f) { return textJob(12, f); }},
        {"DXF", [](const fs::path& f) { return textJob(8, f); }},
        {"CGM", [](const fs::path& f) { return textJob(9, f); }},
        {"PCX", [](const fs::path& f) { return imageJob(0, f); }},
        {"BMP", [](const fs::path& f) { return imageJob(1, f); }},
        {"run-length BMP", [](const fs::path& f) { return imageJob(2, f); }},
        {"PNG", [](const fs::path& f) { return imageJob(3, f); }},
        {"PCL printer", [](const fs::path& f) { return printerJob(28, f); }},
        {"dot-matrix printer", [](const fs::path& f) { return printerJob(7, f); }},
    };
    return list;
}

// The writes a table fails: every one natively, a spread of them under Wine (where each job
// costs file system calls of the emulator).
std::vector<int> writeIndices(int count)
{
    std::vector<int> indices;
#if defined(_WIN32)
    const int stride = std::max(1, count / 12);
#else
    const int stride = 1;
#endif
    for (int k = 0; k < count; k += stride) indices.push_back(k);
    if (indices.back() != count - 1) indices.push_back(count - 1);
    return indices;
}

std::vector<std::string>& toldFiles()
{
    static std::vector<std::string> files;
    return files;
}

class OutputFileFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        libraryErrorState().ReportMode = kReportConsole;
        toldFiles().clear();
        errorReportHooks().userFileFailure = [](std::string_view file, std::string_view) { toldFiles().emplace_back(file); };
    }
    // Runs the job over the old file with the fault and checks what must hold after any failure.
    void failedJob(const Writer& writer, WorkFileStep step, int index, std::size_t bytes)
    {
        SCOPED_TRACE(::testing::Message() << writer.name << ", step " << static_cast<int>(step) << " at " << index);
        raster_test::TempFolder folder;
        const fs::path file = folder / "plot.out";
        writeText(file, kOld);
        ReporterGuard::records().clear();
        toldFiles().clear();
        std::string work;
        {
            const WorkFileFault fault(step, index, YYWorkFileDiskFullCode(), bytes);
            work = writer.job(file);
            ASSERT_TRUE(WorkFileFault::struck());
        }
        EXPECT_EQ(fileText(file), kOld);
        EXPECT_FALSE(work.empty());
        EXPECT_FALSE(fs::exists(work)) << work;
        std::string reports;
        for (const std::string& r : ReporterGuard::records()) reports += r + "\n";
        ASSERT_EQ(ReporterGuard::records().size(), 1u) << reports;
        EXPECT_NE(ReporterGuard::records()[0].find("Error="), std::string::npos);
        EXPECT_EQ(outputUnitState().OutputStatus, -1);
        // The user learns it once, with the file's name, whatever the report mode.
        ASSERT_EQ(toldFiles().size(), 1u);
        EXPECT_NE(toldFiles()[0].find("plot.out"), std::string::npos) << toldFiles()[0];
    }
    ReporterGuard reporter;
};

}  // namespace

TEST_F(OutputFileFaults, CompleteJobsReplaceTheOldFile)
{
    for (const Writer& writer : writers()) {
        SCOPED_TRACE(writer.name);
        raster_test::TempFolder folder;
        const fs::path file = folder / "plot.out";
        writeText(file, kOld);
        const std::string work = writer.job(file);
        EXPECT_NE(fileText(file), kOld);
        EXPECT_GT(fs::file_size(file), 40u);
        EXPECT_FALSE(fs::exists(work));
        EXPECT_TRUE(ReporterGuard::records().empty());
        EXPECT_TRUE(toldFiles().empty());
    }
}

TEST_F(OutputFileFaults, EveryFailedWriteIsReportedOnceAndKeepsTheOldFile)
{
    for (const Writer& writer : writers()) {
        int writes = 0;
        {
            raster_test::TempFolder folder;
            writeText(folder / "count.out", kOld);
            const WorkFileFault counting;
            writer.job(folder / "count.out");
            writes = WorkFileFault::count(WorkFileStep::Write);
        }
        ASSERT_GT(writes, 0) << writer.name;
        for (const int k : writeIndices(writes)) failedJob(writer, WorkFileStep::Write, k, k % 2 == 0 ? 0 : 3);
    }
}

TEST_F(OutputFileFaults, FailedFlushOrReplaceIsReportedOnceAndKeepsTheOldFile)
{
    for (const Writer& writer : writers()) {
        failedJob(writer, WorkFileStep::Flush, 0, 0);
        failedJob(writer, WorkFileStep::Replace, 0, 0);
        EXPECT_NE(ReporterGuard::records()[0].find("YYPROU Error=   3"), std::string::npos) << ReporterGuard::records()[0];
    }
    // The run-length BMP fills in its header before the close: a failed move there is the
    // header writer's one report.
    failedJob(writers()[8], WorkFileStep::Seek, 0, 0);
    EXPECT_NE(ReporterGuard::records()[0].find("YYBMP2 Error=   2"), std::string::npos) << ReporterGuard::records()[0];
}
