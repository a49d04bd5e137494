#include "toolkit/devices/DeviceModels.h"

#include <algorithm>

#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/foundation/ErrorReport.h"

// Models 33 and 34 carry the code that matches their names: the colour DeskJet 540 has three
// planes and colour, the mono one a single plane.
const std::array<PrinterModelEntry, 39> PrinterModelTable{{
    {"     ", ""}, {"     ", ""},
    {"M1M0 ", "IBM Graphics Printer"},
    {"F1M0 ", "Panasonic KX-P1081"},
    {"F1M0 ", "Amstrad DMP 3000"},
    {"F1M0 ", "Epson EX/FX/LX/RX"},
    {"F1M0 ", "Epson EX/FX/LX/RX   (wide)"},
    {"M1M0 ", "Epson MX-80 II/III"},
    {"M1M0 ", "Epson MX-100        (wide)"},
    {"S1M0 ", "Shinwa CP80"},
    {"L1M0 ", "HP LaserJet +"},
    {"L1M0 ", "HP LaserJet II"},
    {"M1M0 ", "IBM Graphics Printer(wide)"},
    {"P3R1 ", "HP PaintJet"},
    {"D1M2 ", "HP DeskJet/DeskJet +"},
    {"M1M0 ", "IBM Proprinter"},
    {"M1M0 ", "IBM Proprinter      (wide)"},
    {"Q1M0 ", "Epson LQ/SQ"},
    {"Q1M0 ", "Epson LQ/SQ         (wide)"},
    {"X1M0 ", "IBM Proprinter X24"},
    {"X1M0 ", "IBM Proprinter X24  (wide)"},
    {"D3R2 ", "HP DeskJet 310/500 colour"},
    {"D1M2 ", "HP DeskJet 310/500/510/520"},
    {"F3C0 ", "Epson JX/LX colour"},
    {"F3C0 ", "Epson JX/LX colour  (wide)"},
    {"Q3C0 ", "Epson LQ colour"},
    {"Q3C0 ", "Epson LQ colour     (wide)"},
    {" 1M0 ", ""},
    {"L1M22", "HP LaserJet III/4L"},
    {"41M22", "HP LaserJet 4/5 series"},
    {"33R1 ", "HP PaintJet XL 300"},
    {"D3C2 ", "HP DeskJet 550C/560C/660C"},
    {"D3C22", "HP DeskJet 1200C/1600C"},
    {"53C2 ", "HP DeskJet 540 colour"},
    {"51M2 ", "HP DeskJet 540 mono"},
    {"L3C22", "HP Color LaserJet"},
    {"21M1 ", "Epson Stylus"},
    {"23C1 ", "Epson Stylus colour"},
    {"43C22", "HP Color LaserJet 4500/8500"},
}};

const std::array<std::string_view, 11> PlotterTypeNames{
    "",
    "Generic HP-GL 4-pen plotter",
    "HP 7475A A4 paper (6 pens)",
    "HP 7475A A3 paper (6 pens)",
    "Epson HI80/HP ROM (4 pens)",
    "Facit 4550 A4     (6 pens)",
    "HP 7440A A4 paper (8 pens)",
    "HP 7550A A4 paper (8 pens)",
    "HP 7550A A3 paper (8 pens)",
    "Facit 4551 A4     (6 pens)",
    "Facit 4551 A3     (6 pens)",
};

const std::array<std::string_view, 6> Hpgl2TypeNames{
    "",
    "HP LaserJet III",
    "HP DJet 1200C/1600C, Color LJet",
    "HP LaserJet 4/5",
    "HP DesignJet",
    "HP Color LaserJet 4500/8500",
};

PrinterModelState& printerModelState()
{
    static PrinterModelState state;
    return state;
}

ScreenDumpRecord& screenDumpRecord()
{
    static ScreenDumpRecord record;
    return record;
}

namespace {

// Resolutions of the families 1 to 12 (the letters of "MFSXQ2LDP345"), highest first.
struct FamilyResolutions {
    std::array<INTEGER, 4> Dpi;
    INTEGER Count;
};
constexpr std::array<FamilyResolutions, 13> kFamilyResolutions{{
    {{0, 0, 0, 0}, 0},
    {{240, 120, 60, 0}, 3},
    {{240, 120, 90, 80}, 4},
    {{160, 80, 0, 0}, 2},
    {{360, 180, 120, 60}, 4},
    {{360, 180, 120, 90}, 4},
    {{720, 360, 180, 0}, 3},
    {{300, 150, 100, 75}, 4},
    {{300, 150, 100, 75}, 4},
    {{180, 90, 0, 0}, 2},
    {{300, 150, 100, 75}, 4},
    {{600, 300, 200, 150}, 4},
    {{300, 150, 75, 0}, 3},
}};

INTEGER positionIn(std::string_view letters, char c)
{
    const std::size_t at = letters.find(c);
    return at == std::string_view::npos ? 0 : static_cast<INTEGER>(at + 1);
}

INTEGER digit(char c) { return c >= '0' && c <= '9' ? c - '0' : 0; }

}  // namespace

void YYPrinterModel(INTEGER model)
{
    PrinterModelState& s = printerModelState();
    s.PrinterModel = (model >= 2 && model <= 38 && model != 27) ? model : 28;
    const std::string_view code = PrinterModelTable[static_cast<std::size_t>(s.PrinterModel)].Code;
    INTEGER family = positionIn("MFSXQ2LDP345", code[0]);
    s.PrinterPlanes = digit(code[1]);
    s.PrinterColourKind = positionIn("RC", code[2]);
    s.PrinterColourLimit = digit(code[3]);
    if (code[4] == '2' && s.Hpgl2TypeGiven == 0) YYHpgl2Model(0);
    if (family > 5) {
        s.PrinterHeadPins = 1;
    } else {
        s.PrinterHeadPins = 8;
        s.PrinterLineAdvance = 23;
    }
    if (family != 0) {
        s.PrinterResolutions = kFamilyResolutions[static_cast<std::size_t>(family)].Dpi;
        s.PrinterResolutionCount = kFamilyResolutions[static_cast<std::size_t>(family)].Count;
    }
    if (family == 4 || family == 5) s.PrinterHeadPins = 24;
    if (family == 3) s.PrinterLineAdvance = 22;
    if (family == 4) s.PrinterLineAdvance = 29;
    if (family == 5) s.PrinterLineAdvance = 24;
    if (family == 11) family = 7;
    if (family == 12) family = 8;
    s.PrinterFamily = family;
}

void YYPlotterModel(INTEGER type)
{
    PrinterModelState& s = printerModelState();
    if (type >= 1 && type <= 10) {
        s.PlotterType = type;
    } else if (type >= 11 && type <= 15) {
        s.Hpgl2Type = type - 10;
        s.Hpgl2TypeGiven = 1;
        s.PlotterType = 1;
    } else {
        s.PlotterType = 1;
    }
}

void YYHpgl2Model(INTEGER type)
{
    PrinterModelState& s = printerModelState();
    if (type >= 1 && type <= 5) {
        s.Hpgl2Type = type;
        s.Hpgl2TypeGiven = 1;
        return;
    }
    switch (s.PrinterModel) {
    case 32: case 35: s.Hpgl2Type = 2; break;
    case 38: s.Hpgl2Type = 5; break;
    case 29: s.Hpgl2Type = 3; break;
    default: s.Hpgl2Type = 1; break;
    }
}

void YYDeviceModelsSelect(INTEGER printer, INTEGER plotter, INTEGER hpgl2)
{
    PrinterModelState& s = printerModelState();
    s = PrinterModelState{};
    YYPrinterModel(printer);
    YYPlotterModel(plotter);
    if (!(hpgl2 == 0 && s.Hpgl2TypeGiven != 0)) YYHpgl2Model(hpgl2);
}

void WInfoDeviceName(INTEGER kind, std::string& name)
{
    const PrinterModelState& s = printerModelState();
    std::string_view text;
    std::size_t width = 0;
    const auto pick = [](const auto& table, INTEGER index) {
        return index >= 0 && static_cast<std::size_t>(index) < table.size() ? std::string_view(table[static_cast<std::size_t>(index)])
                                                                            : std::string_view{};
    };
    switch (kind) {
    case 1:
        text = s.PrinterModel >= 0 && s.PrinterModel <= 38 ? PrinterModelTable[static_cast<std::size_t>(s.PrinterModel)].Name
                                                           : std::string_view{};
        width = 27;
        break;
    case 2:
        text = pick(PlotterTypeNames, s.PlotterType);
        width = 27;
        break;
    case 3:
        text = pick(Hpgl2TypeNames, s.Hpgl2Type);
        width = 31;
        break;
    default:
        break;
    }
    const std::size_t length = name.size();
    name.assign(length, ' ');
    std::copy_n(text.begin(), std::min(length, text.size()), name.begin());
    if (width > 0 && length < width) YYErrorReport(1023, "WInfoDeviceName");
}

void YYScreenDumpSettings(INTEGER kind)
{
    ScreenDumpRecord& dump = screenDumpRecord();
    std::array<INTEGER, 25>& f = dump.Settings;
    if (kind == 2) {
        dump.DeviceKind = 2;
        f[1] = 756;
        f[2] = 540;
        f[3] = 42;
        f[4] = 20;
        f[5] = 1;
        f[8] = 1;
        dump.FileName.assign("vedororu.ps");
    } else if (kind == 4) {
        // Page printers get a landscape page inside their margins; dot-matrix printers print upright.
        const bool pagePrinter = printerModelState().PrinterFamily > 5;
        dump.DeviceKind = 4;
        f[1] = 576;
        f[2] = 432;
        f[3] = pagePrinter ? 100 : 0;
        f[4] = pagePrinter ? 70 : 0;
        f[5] = pagePrinter ? 1 : 0;
        f[8] = 1;
        dump.FileName.assign("vedororu.prn");
    } else if (kind != 10) {
        return;
    }
    f[6] = 0;
    f[7] = 1;
    f[13] = 0;
    f[19] = 3;
    f[20] = 0;
    f[24] = std::min(printerModelState().PrinterColourLimit, 2);
}

INTEGER YYScreenDumpPrinter(const PrinterPage& page)
{
    ScreenDumpRecord& dump = screenDumpRecord();
    HardcopyOptionBlock& options = hardcopyOptionBlock();
    dump.DeviceKind = 10;
    options.Options[31] = page.LongSide;
    options.Options[30] = page.ShortSide;
    dump.Settings[1] = page.Width;
    dump.Settings[2] = page.Height;
    dump.Settings[3] = page.XOffset;
    dump.Settings[4] = page.YOffset;
    dump.Settings[5] = page.Orientation;
    dump.Settings[8] = page.Copies;
    const INTEGER available = page.Status == 0 ? 1 : 0;
    options.Options[32] = available;
    YYScreenDumpSettings(10);
    return available;
}

void YYPrinterDeviceSplit(std::string_view value, std::string& device, std::string& driver, std::string& port)
{
    // Byte steps serve the double-byte code pages too: no trail byte is a comma or a blank.
    std::string* parts[3] = {&device, &driver, &port};
    for (std::string* part : parts) part->clear();
    const std::size_t end = value.find('\0');
    if (end != std::string_view::npos) value = value.substr(0, end);
    std::size_t start = 0;
    for (int k = 0; k < 3; ++k) {
        if (k > 0) {
            while (start < value.size() && value[start] == ' ') ++start;
        }
        const std::size_t comma = k < 2 ? value.find(',', start) : std::string_view::npos;
        if (comma == std::string_view::npos) {
            *parts[k] = std::string(value.substr(std::min(start, value.size())));
            return;
        }
        *parts[k] = std::string(value.substr(start, comma - start));
        start = comma + 1;
    }
}
