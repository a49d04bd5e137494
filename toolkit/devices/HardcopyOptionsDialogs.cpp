#include "toolkit/devices/HardcopyOptionsDialogs.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <utility>
#include <vector>

#include "toolkit/devices/DeviceModels.h"
#include "toolkit/devices/HardcopyJob.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/WindowsPrinterDriver.h"
#include "toolkit/dialogs/DialogChoiceFields.h"
#include "toolkit/dialogs/DialogFieldValues.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/foundation/CommonDialogs.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/FileSelection.h"
#include "toolkit/foundation/OsEnvironment.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {

void setCommonResult(INTEGER result) { dialogTable().lastCommonResult = result; }

bool fieldPresent(INTEGER field) { return WDialogFieldQuery(field, kQueryKind) != 0; }

// REAL / factor rounded half away from zero.
INTEGER fromUnit(REAL value, REAL factor)
{
    const double v = static_cast<double>(value) / factor;
    return static_cast<INTEGER>(std::clamp(std::round(v), -2.0e9, 2.0e9));
}

REAL unitFactor(INTEGER unit) { return kPaperUnitFactors[static_cast<std::size_t>(std::clamp<INTEGER>(unit, 0, 3))]; }

std::string unitName(INTEGER unit)
{
    std::string name(kPaperUnitNames.substr(static_cast<std::size_t>(std::clamp<INTEGER>(unit, 0, 3)) * 6, 6));
    return name.substr(0, name.find_last_not_of(' ') + 1);
}

std::string unitShortName(INTEGER unit)
{
    return std::string(kPaperUnitShortNames.substr(static_cast<std::size_t>(std::clamp<INTEGER>(unit, 0, 3)) * 3, 3));
}

std::string trimmed(const std::string& s) { return s.substr(0, s.find_last_not_of(' ') + 1); }

// The text of a field: the dialog fills a string to the length it has, so it gets the full 260.
std::string fieldText(INTEGER field)
{
    std::string text(260, ' ');
    WDialogGetString(field, text);
    return trimmed(text);
}

// The events of one shown options dialog: push buttons and field changes are switched on while it
// is up. Events of other windows that its wait collects meanwhile (a command, a close request)
// are given back when it goes, so that the program still hears of them.
class DialogEvents {
public:
    explicit DialogEvents(INTEGER dialog) : dialog_(dialog)
    {
        for (std::size_t k = 0; k < kTypes.size(); ++k) {
            YYEventEnableGet(kTypes[k], saved_[k]);
            WEventEnable(kTypes[k], 1);
        }
    }
    ~DialogEvents()
    {
        for (std::size_t k = 0; k < kTypes.size(); ++k) WEventEnable(kTypes[k], saved_[k]);
        for (const auto& [type, record] : others_) YYEventHandBack(type, record);
    }
    DialogEvents(const DialogEvents&) = delete;
    DialogEvents& operator=(const DialogEvents&) = delete;

    // Waits for the dialog's OK (1) or Cancel (2) push button; its other events go to onEvent.
    template <class OnEvent>
    INTEGER waitForExit(OnEvent onEvent)
    {
        for (;;) {
            INTEGER type = 0, delivered = 1;
            EventRecord record{};
            YYEventWaitLoop(type, record, delivered);
            if (record[0] != dialog_) {
                others_.emplace_back(type, record);
                continue;
            }
            YYEventConvertPosition(type, record);
            if (type == kEventPushButton && (record[1] == 1 || record[1] == 2)) return record[1];
            onEvent(type, record);
        }
    }

private:
    static constexpr std::array<INTEGER, 2> kTypes{kEventPushButton, kEventFieldChanged};
    INTEGER dialog_;
    std::array<INTEGER, 2> saved_{};
    std::vector<std::pair<INTEGER, EventRecord>> others_;
};

// The field a field-change event names.
INTEGER changedField(const EventRecord& record) { return record[2]; }

struct DeviceDialogText {
    const char* title;
    const char* label;
    const char* filter;
};

DeviceDialogText printerDialogText(INTEGER device)
{
    switch (device) {
    case 1: return {"HP-GL Plotter Output", "Plotter type :", "HP-GL plotter file|*.plt|"};
    case 2: return {"PostScript Output", "Format :", "PostScript file|*.ps;*.eps|"};
    case 4: return {"HP/Epson/IBM Printer Output", "Printer type :", "HP PCL/Epson/IBM printer file|*.prn|"};
    default: return {"HP-GL/2 Printer Output", "Device type :", "HP-GL/2 file|*.plt|"};
    }
}

// The model numbers in the order the list shows them.
std::vector<INTEGER> modelOrder(INTEGER device)
{
    switch (device) {
    case 1: return {4, 5, 9, 10, 1, 6, 2, 3, 7, 8};
    case 4: return {4, 5, 6, 23, 24, 25, 26, 17, 18, 7, 8, 36, 37, 35, 38, 14, 22, 21, 34, 33,
                    31, 32, 10, 11, 28, 29, 13, 30, 2, 12, 15, 16, 19, 20, 3, 9};
    case 12: return {5, 4, 2, 1, 3};
    default: return {};
    }
}

INTEGER currentModel(INTEGER device)
{
    const PrinterModelState& m = printerModelState();
    return device == 1 ? m.PlotterType : device == 4 ? m.PrinterModel : m.Hpgl2Type;
}

void selectModel(INTEGER device, INTEGER model)
{
    if (device == 1) YYPlotterModel(model);
    else if (device == 4) YYPrinterModel(model);
    else YYHpgl2Model(model);
}

std::vector<std::string> modelNames(INTEGER device)
{
    std::vector<std::string> names;
    for (const INTEGER model : modelOrder(device)) {
        if (device == 1) names.emplace_back(PlotterTypeNames[static_cast<std::size_t>(model)]);
        else if (device == 4) names.emplace_back(PrinterModelTable[static_cast<std::size_t>(model)].Name);
        else names.emplace_back(Hpgl2TypeNames[static_cast<std::size_t>(model)]);
    }
    return names;
}

void putPage(REAL factor)
{
    const HardcopyOptionBlock& o = hardcopyOptionBlock();
    for (INTEGER k = 1; k <= 4; ++k) WDialogPutReal(1000 + k, static_cast<REAL>(o.value(k)) * factor, "(F10.2)");
}

// Rewrites the extension of the name in field 1201; a blank name (a metafile for the clipboard) and
// a print-command template stay as they are.
void rewriteFieldExtension(std::string_view extension)
{
    FixedText<260> text;
    text.assign(fieldText(1201));
    if (text.usedLength() == 0 || YYPrintCommandTemplate(text)) return;
    YYFileExtensionRewrite(text, extension);
    WDialogPutString(1201, text.trimmed());
}

// Asks for the output file with the device's filter, starting from the name in 1201; the chosen
// name goes into 1201. Returns it, or nothing after Cancel.
std::optional<std::string> browseOutputFile(std::string_view filter, std::string_view kind, INTEGER filterIndex)
{
    std::string name = fieldText(1201);
    name.resize(260, ' ');
    WSelectFile(-1, filter, 0, name, kind, filterIndex, 1);
    if (WDialogQuery(4) != 1) return std::nullopt;
    name = trimmed(name);
    WDialogPutString(1201, name);
    return name;
}

// The lower-cased extension of a file name, without its dot; empty when it has none.
std::string lowerExtension(const std::string& name)
{
    const std::size_t dot = name.rfind('.'), separator = name.find_last_of("\\/");
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return {};
    std::string extension = name.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

// What the export dialog of a device offers its file selection: the filter and the kind of file.
struct ExportFileText {
    std::string_view filter, kind;
};

ExportFileText exportFileText(INTEGER device)
{
    switch (device) {
    case 3: return {"Scalable Vector Graphics file|*.svg|", "SVG file"};
    case 6:
        return {"Windows bitmap (*.bmp)|*.bmp|PC Paintbrush (*.pcx)|*.pcx|Portable network graphics (*.png)|*.png|",
                "BMP/PCX/PNG bit image file"};
    case 8: return {"AutoCAD DXF file|*.dxf|", "DXF file"};
    case 9: return {"Computer Graphics Metafile|*.cgm|", "CGM file"};
    case 11: return {"Windows Metafile (*.wmf)|*.wmf|Enhanced Windows Metafile (*.emf)|*.emf|", "Windows Metafile"};
    default: return {};
    }
}

constexpr INTEGER kImageTypeField = 1026, kMetafileKindField = 1027, kDashModeField = 1029;
constexpr INTEGER kToFileButton = 1014, kToClipboardButton = 4001;
constexpr INTEGER kEnhancedMetafile = 2;

// The value of an option shown as a list (entry = value + 1), or the option itself when the
// dialog has no such field.
INTEGER listedOption(INTEGER option)
{
    INTEGER entry = hardcopyOptionBlock().value(option) + 1;
    if (fieldPresent(1000 + option)) WDialogGetMenu(1000 + option, entry);
    return entry - 1;
}

// The preset entry of the file selection's filter: bit images BMP 1, PCX 2, PNG 3; metafiles
// EMF 2, the others 1.
INTEGER filterEntry(INTEGER device)
{
    if (device == 6) {
        const INTEGER type = listedOption(26);
        return type == 1 || type == 2 ? 1 : type == 3 ? 3 : 2;
    }
    if (device == 11) return listedOption(27) == kEnhancedMetafile ? 2 : 1;
    return 1;
}

// The dash-mode switch applies only to enhanced metafiles, and only the NT family draws its
// geometric dashes.
void fitDashModeField(INTEGER kind)
{
    if (fieldPresent(kDashModeField))
        WDialogFieldState(kDashModeField, kind == kEnhancedMetafile && YYOsPlatform() == 4 ? 1 : 0);
}

void chooseMetafileTarget(bool toFile) { WDialogPutRadioButton(toFile ? kToFileButton : kToClipboardButton); }

bool metafileToClipboard()
{
    if (!fieldPresent(kToClipboardButton)) return false;
    INTEGER checked = 0;
    WDialogGetCheckBox(kToClipboardButton, checked);
    return checked != 0;
}

// A chosen file's extension sets the image type or the metafile kind it stands for.
void followChosenExtension(INTEGER device, const std::string& name)
{
    const std::string extension = lowerExtension(name);
    if (device == 6 && fieldPresent(kImageTypeField)) {
        const INTEGER type = listedOption(26);
        INTEGER wanted = type;
        if (extension == "bmp" && type != 1 && type != 2) wanted = 1;
        else if (extension == "png") wanted = 3;
        else if (extension == "pcx") wanted = 0;
        if (wanted != type) WDialogPutOption(kImageTypeField, wanted + 1);
    }
    if (device == 11) {
        chooseMetafileTarget(true);
        if (!fieldPresent(kMetafileKindField)) return;
        const INTEGER kind = listedOption(27);
        INTEGER wanted = kind;
        if (extension == "emf") wanted = kEnhancedMetafile;
        else if (extension == "wmf" && kind == kEnhancedMetafile) wanted = 1;  // the placeable kind, the driver's own
        if (wanted != kind) WDialogPutOption(kMetafileKindField, wanted + 1);
        fitDashModeField(wanted);
    }
}

}  // namespace

void YYHardcopyPrinterDialog(INTEGER unit, std::string& fileName, INTEGER device, INTEGER mode, INTEGER restricted)
{
    const INTEGER previous = WDialogQuery(3);
    WDialogLoad(kPrinterDialogTemplate);
    if (WDialogQuery(3) != kPrinterDialogTemplate) {
        if (previous != 0) WDialogSelect(previous);
        return;
    }
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    const std::array<INTEGER, 33> saved = o.Options;
    const REAL factor = unitFactor(unit);
    const DeviceDialogText text = printerDialogText(device);
    WDialogPutString(1201, trimmed(fileName));
    WDialogPutString(1206, "Size/Position (" + unitName(unit) + ")");
    putPage(factor);
    WDialogPutRadioButton(1208 + (o.value(5) != 0 ? 1 : 0));
    WDialogTitle(text.title);
    WDialogPutString(3002, text.label);
    const INTEGER originalModel = currentModel(device);
    std::vector<INTEGER> order = modelOrder(device);
    if (device == 2) {
        const std::vector<std::string> formats{"Printer PostScript", "Encapsulated PostScript"};
        WDialogPutMenu(1203, formats, 2, restricted ? 1 : std::clamp<INTEGER>(o.value(22) + 1, 1, 2));
        if (restricted) {
            WDialogFieldState(1203, 0);
            WDialogFieldState(1207, 0);
        }
    } else {
        const std::vector<std::string> names = modelNames(device);
        const auto at = std::find(order.begin(), order.end(), originalModel);
        WDialogPutMenu(1203, names, static_cast<INTEGER>(names.size()),
                       at == order.end() ? 1 : static_cast<INTEGER>(at - order.begin()) + 1);
    }
    INTEGER exit = 2;
    bool modelChanged = false;
    {
        DialogEvents events(kPrinterDialogTemplate);
        WDialogShowAtOwner(1201, mode, -1);
        INTEGER orientation = o.value(5) != 0 ? 2 : 1;
        INTEGER listEntry = 0;
        WDialogGetMenu(1203, listEntry);
        exit = events.waitForExit([&](INTEGER type, const EventRecord& record) {
            if (type == kEventPushButton && record[1] == 1202) {
                browseOutputFile(text.filter, "", 1);
                return;
            }
            if (type == kEventPushButton && record[1] == 1207 && !restricted) {
                std::string name = fieldText(1201);
                INTEGER code = device;
                if (device == 4) {
                    const PrinterModelState& m = printerModelState();
                    code = m.PrinterFamily >= 9 ? 25 : (m.PrinterFamily >= 7 && m.PrinterPlanes > 1) ? 21
                           : m.PrinterFamily == 8 ? 22 : m.PrinterFamily == 7 ? 24 : 23;
                }
                YYHardcopyExportDialog(unit, name, kExportDialogTemplateBase + code, 1, restricted);
                WDialogSelect(kPrinterDialogTemplate);
                return;
            }
            if (type != kEventFieldChanged) return;
            INTEGER radio = orientation;
            WDialogGetRadioButton(1208, radio);
            if (radio != orientation && radio >= 1) {
                REAL a = 0, b = 0;
                WDialogGetReal(1001, a);
                WDialogGetReal(1002, b);
                WDialogPutReal(1001, b, "(F10.2)");
                WDialogPutReal(1002, a, "(F10.2)");
                orientation = radio;
            }
            INTEGER entry = listEntry;
            WDialogGetMenu(1203, entry);
            if (entry == listEntry || entry < 1) return;
            listEntry = entry;
            if (device == 2) {
                rewriteFieldExtension(YYOptionFileExtension(22, entry - 1));
                return;
            }
            if (static_cast<std::size_t>(entry) > order.size()) return;
            selectModel(device, order[static_cast<std::size_t>(entry - 1)]);
            modelChanged = true;
            if (device == 4 ? !(restricted && graphicsState().HardcopyActive > 0) : !restricted) {
                const INTEGER landscape = orientation == 2 ? 1 : 0;
                IGrHardcopyDevice(1, device);
                if ((o.value(5) != 0 ? 1 : 0) != landscape) {
                    std::swap(o.Options[1], o.Options[2]);
                    o.Options[5] = landscape;
                }
                putPage(factor);
            }
        });
        WDialogHide();
    }
    if (exit == 1) {
        fileName = fieldText(1201);
        for (INTEGER k = 1; k <= 4; ++k) {
            REAL v = 0;
            WDialogGetReal(1000 + k, v);
            o.Options[static_cast<std::size_t>(k)] = fromUnit(v, factor);
        }
        INTEGER radio = 1;
        WDialogGetRadioButton(1208, radio);
        o.Options[5] = radio - 1;
        if (device == 2) {
            INTEGER entry = 1;
            WDialogGetMenu(1203, entry);
            o.Options[22] = std::max<INTEGER>(entry, 1) - 1;
        }
        setCommonResult(1);
    } else {
        if (modelChanged) {
            selectModel(device, originalModel);
            IGrHardcopyDevice(1, device);
        }
        std::copy(saved.begin() + 1, saved.begin() + 30, o.Options.begin() + 1);
        setCommonResult(0);
    }
    WDialogUnload();
    if (previous != 0) WDialogSelect(previous);
}

void YYHardcopyExportDialog(INTEGER unit, std::string& fileName, INTEGER templateId, INTEGER mode, INTEGER restricted)
{
    const INTEGER previous = WDialogQuery(3);
    WDialogLoad(templateId);
    if (WDialogQuery(3) != templateId) {
        if (previous != 0) WDialogSelect(previous);
        return;
    }
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    const INTEGER device = hardcopyJobState().DriverDevice;
    const REAL factor = unitFactor(unit);
    const bool pixelSizes = device == 3 || device == 6;
    const bool ownDialog = mode == 3;
    const bool metafile = ownDialog && device == 11;
    if (ownDialog && fieldPresent(1201)) WDialogPutString(1201, trimmed(fileName));
    const auto isCheck = [&](INTEGER n) {
        if (n == 19) return !(device == 4 && printerModelState().PrinterFamily >= 7);
        return n == 15 || n == 17 || n == 18 || n == 20 || n == 29;
    };
    for (INTEGER n = 1; n <= 29; ++n) {
        const INTEGER field = 1000 + n, value = o.value(n);
        if (!fieldPresent(field)) continue;
        if (n <= 2) {
            if (pixelSizes) WDialogPutInteger(field, value);
            else {
                WDialogPutReal(field, static_cast<REAL>(value) * factor, "(F10.2)");
                if (fieldPresent(2000 + n)) WDialogPutString(2000 + n, unitShortName(unit));
            }
        } else if (n == 8 || n == 9 || n == 12 || n == 16 || n == 21) {
            WDialogPutInteger(field, value);
        } else if (isCheck(n)) {
            WDialogPutCheckBox(field, value % 2);
        } else if (n == 13) {
            const PrinterModelState& m = printerModelState();
            std::vector<std::string> entries;
            for (INTEGER k = 0; k < m.PrinterResolutionCount && k < 4; ++k) {
                char text[8];
                std::snprintf(text, sizeof text, "%3d", static_cast<int>(m.PrinterResolutions[static_cast<std::size_t>(k)]));
                entries.emplace_back(text);
            }
            if (!entries.empty())
                WDialogPutMenu(field, entries, static_cast<INTEGER>(entries.size()),
                               std::clamp<INTEGER>(value, 1, static_cast<INTEGER>(entries.size())));
        } else if (n == 23) {
            WDialogPutOption(field, value == 24 ? 4 : value / 4 + 1);
        } else {
            WDialogPutOption(field, value + 1);
        }
        if (restricted && (n == 6 || n == 7 || (n >= 9 && n <= 11))) WDialogFieldState(field, 0);
    }
    if (metafile) {
        chooseMetafileTarget(!trimmed(fileName).empty());
        fitDashModeField(o.value(27));
        // Typing a name means "to file", clearing it "to the clipboard": every keystroke is heard.
        if (fieldPresent(1201)) WDialogFieldOptions(1201, 3, 1);
    }
    INTEGER exit = 2;
    if (ownDialog) {
        const ExportFileText files = exportFileText(device);
        DialogEvents events(templateId);
        WDialogShowAtOwner(0, 3, -1);
        exit = events.waitForExit([&](INTEGER type, const EventRecord& record) {
            if (type == kEventPushButton && record[1] == 1202) {
                if (const auto chosen = browseOutputFile(files.filter, files.kind, filterEntry(device)))
                    followChosenExtension(device, *chosen);
                return;
            }
            if (type != kEventFieldChanged) return;
            const INTEGER field = changedField(record);
            if (field == kImageTypeField && device == 6) {
                rewriteFieldExtension(YYOptionFileExtension(26, listedOption(26)));
            } else if (field == kMetafileKindField && device == 11) {
                rewriteFieldExtension(YYOptionFileExtension(27, listedOption(27)));
                fitDashModeField(listedOption(27));
            } else if (field == 1201 && metafile) {
                chooseMetafileTarget(!fieldText(1201).empty());
            } else if (field == kToFileButton && metafile && !metafileToClipboard()) {
                WDialogSetField(1201);
            }
        });
        WDialogHide();
    } else {
        // Opened from the printer dialog: modal over it, ended by its push buttons.
        WDialogShowAtOwner(0, 1, -1);
        exit = WDialogQuery(1) == 1 ? 1 : 2;
    }
    if (exit == 1) {
        // A metafile for the clipboard has no file: a name kept here would send it to that file.
        if (ownDialog && fieldPresent(1201)) fileName = metafile && metafileToClipboard() ? std::string() : fieldText(1201);
        setCommonResult(1);
        for (INTEGER n = 1; n <= 29; ++n) {
            const INTEGER field = 1000 + n;
            if (!fieldPresent(field)) continue;
            INTEGER value = o.value(n);
            if (n <= 2 && !pixelSizes) {
                REAL v = 0;
                WDialogGetReal(field, v);
                value = fromUnit(v, factor);
            } else if (n <= 2 || n == 8 || n == 9 || n == 12 || n == 16 || n == 21) {
                WDialogGetInteger(field, value);
            } else if (isCheck(n)) {
                WDialogGetCheckBox(field, value);
            } else if (n == 13) {
                WDialogGetMenu(field, value);
            } else if (n == 23) {
                INTEGER entry = 1;
                WDialogGetMenu(field, entry);
                static constexpr std::array<INTEGER, 4> image{1, 4, 8, 24}, drawing{3, 4, 8, 24};
                const auto& table = device == 8 ? drawing : image;
                value = table[static_cast<std::size_t>(std::clamp<INTEGER>(entry, 1, 4) - 1)];
            } else {
                INTEGER entry = 1;
                WDialogGetMenu(field, entry);
                value = entry - 1;
            }
            if (value != o.value(n)) IGrHardcopySetOption(n, value);
        }
    } else {
        setCommonResult(0);
    }
    WDialogUnload();
    if (previous != 0) WDialogSelect(previous);
}

void WHardcopyOptions(std::optional<INTEGER> unit, std::string* file)
{
    HardcopyJobState& job = hardcopyJobState();
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    if (job.DriverDevice == 0) {
        YYErrorReport(46, "WHardcopyOptions");
        return;
    }
    const INTEGER device = driverHooks().HardcopyDevice;
    if (device == 10 && o.value(32) == 0) {
        YYErrorReport(63, "WHardcopyOptions");
        return;
    }
    INTEGER snapshot = 0;
    YYWindowSnapshots(1, 0, snapshot);
    if (snapshot != 0) YYErrorReport(snapshot, "WHardcopyOptions");
    const INTEGER given = unit.value_or(-1);
    const INTEGER restricted = given < 0 && unit.has_value() ? 1 : 0;
    INTEGER u = given < 0 ? -given : given;
    if (!unit.has_value() || u > 3) {
        INTEGER system = 1;
        YYMeasureSystem(system);
        u = system == 1 ? 1 : 2;
    }
    if (device == 10) {
        // Thousandths of an inch or hundredths of a millimetre per point.
        const REAL factor = u < 2 ? 13.888889f : 35.27778f;
        INTEGER paperW = 0, paperH = 0;
        const auto to = [factor](INTEGER v) { return static_cast<INTEGER>(static_cast<REAL>(v) * factor); };
        INTEGER width = to(o.value(1)), height = to(o.value(2)), left = to(o.value(3)), top = to(o.value(4));
        INTEGER orientation = o.value(5), copies = o.value(8);
        INTEGER colours = windowsPrinterDriverState().Colours, result = 0;
        const INTEGER coloursBefore = colours;
        YYPageSetupDialog(paperW, paperH, width, height, left, top, orientation, copies, u, colours, result);
        if (result != 1) {
            setCommonResult(0);
        } else {
            const auto back = [factor](INTEGER v) { return static_cast<INTEGER>(static_cast<REAL>(v) / factor + 0.5f); };
            IGrHardcopySetOption(1, back(width));
            IGrHardcopySetOption(2, back(height));
            IGrHardcopySetOption(3, back(left));
            IGrHardcopySetOption(4, back(top));
            IGrHardcopySetOption(5, orientation);
            IGrHardcopySetOption(8, copies);
            const bool wasColour = coloursBefore == -1 || coloursBefore > 2;
            const bool isColour = colours == -1 || colours > 2;
            if (!wasColour && isColour) o.Options[7] = 0;
            if (wasColour && !isColour) o.Options[7] = 1;
            hardcopyFillState().HardcopyColours = colours == -1 ? 256 : std::min<INTEGER>(colours, 256);
            windowsPrinterDriverState().Colours = colours;
            const INTEGER sideA = back(paperW), sideB = back(paperH);
            o.Options[31] = orientation == 0 ? std::min(sideA, sideB) : std::max(sideA, sideB);
            o.Options[30] = orientation == 0 ? std::max(sideA, sideB) : std::min(sideA, sideB);
            setCommonResult(1);
        }
    } else {
        std::string name = file ? *file : std::string(job.OutputFile.trimmed());
        if (device == 1 || device == 2 || device == 4 || device == 12)
            YYHardcopyPrinterDialog(u, name, device, 3, restricted);
        else
            YYHardcopyExportDialog(u, name, kExportDialogTemplateBase + device, 3, restricted);
        if (WDialogQuery(4) == 1) {
            if (file) *file = trimmed(name);
            else job.OutputFile.assign(trimmed(name));
        }
    }
    YYWindowSnapshots(0, 0, snapshot);
}
