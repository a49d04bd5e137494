// The hardcopy options dialogs under Wine: the errors before a driver and without a printer, and
// the printer and export dialogs on the test templates, driven step by step from a timer: their
// display modes, their events (file selection, the image type and metafile kind with the name's
// extension, to file or to the clipboard) and the events of other windows they leave alone.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/devices/HardcopyJob.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyOptionsDialogs.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/dialogs/DialogHooks.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/foundation/CommonDialogs.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"

using namespace GuiHarness;
using namespace ToolkitSession;

namespace {

// Acts on the windows a test expects, in order, from a timer (which also runs inside modal loops):
// each step waits until its window is there, then acts on it once. A step that does not come in
// time fails the test, and every dialog box of the thread is cancelled so that nothing hangs.
class WindowSteps {
public:
    struct Step {
        const char* name;
        std::function<HWND()> find;
        std::function<void(HWND)> act;
    };
    explicit WindowSteps(std::vector<Step> steps) : steps_(std::move(steps))
    {
        current() = this;
        due_ = GetTickCount() + kStepDeadlineMs;
        timer_ = SetTimer(nullptr, 0, 40, &WindowSteps::tick);
    }
    ~WindowSteps()
    {
        KillTimer(nullptr, timer_);
        current() = nullptr;
    }
    WindowSteps(const WindowSteps&) = delete;
    WindowSteps& operator=(const WindowSteps&) = delete;
    bool finished() const { return next_ == steps_.size(); }

private:
    static constexpr DWORD kStepDeadlineMs = 15000;
    static WindowSteps*& current()
    {
        static WindowSteps* steps = nullptr;
        return steps;
    }
    static BOOL CALLBACK cancel(HWND window, LPARAM)
    {
        char cls[16] = {};
        GetClassNameA(window, cls, sizeof cls);
        if (IsWindowVisible(window) && std::string(cls) == "#32770")
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, IDCANCEL)));
        return TRUE;
    }
    static VOID CALLBACK tick(HWND, UINT, UINT_PTR, DWORD)
    {
        WindowSteps* self = current();
        if (!self || self->busy_ || self->finished()) return;
        const Step& step = self->steps_[self->next_];
        if (static_cast<LONG>(self->due_ - GetTickCount()) <= 0) {
            ADD_FAILURE() << "step \"" << step.name << "\" did not come";
            self->next_ = self->steps_.size();
            EnumThreadWindows(GetCurrentThreadId(), &WindowSteps::cancel, 0);
            return;
        }
        HWND window = step.find();
        if (!window) return;
        // An action may run a modal loop of its own, in which this timer fires again.
        self->busy_ = true;
        ++self->next_;
        self->due_ = GetTickCount() + kStepDeadlineMs;
        step.act(window);
        self->busy_ = false;
    }

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    DWORD due_ = 0;
    bool busy_ = false;
    UINT_PTR timer_ = 0;
};

// The loaded dialog with the identifier while it is shown and takes input.
std::function<HWND()> toolkitDialog(INTEGER identifier, std::function<bool(HWND)> also = nullptr)
{
    return [identifier, also]() -> HWND {
        HWND dialog = YYDialogByIdentifier(identifier);
        if (!dialog || !IsWindowVisible(dialog) || !IsWindowEnabled(dialog)) return nullptr;
        return !also || also(dialog) ? dialog : nullptr;
    };
}

// The running modal instance of a toolkit dialog.
HWND modalInstance()
{
    HWND dialog = dialogTable().handles[0];
    return dialog && IsWindowVisible(dialog) ? dialog : nullptr;
}

// A shown dialog box of this thread with the caption.
std::function<HWND()> systemDialog(std::string caption)
{
    return [caption]() -> HWND {
        struct Search {
            std::string caption;
            HWND found = nullptr;
        } search{caption};
        EnumThreadWindows(GetCurrentThreadId(), [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            char cls[16] = {};
            GetClassNameA(window, cls, sizeof cls);
            if (IsWindowVisible(window) && std::string(cls) == "#32770" && windowText(window) == s->caption) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        }, reinterpret_cast<LPARAM>(&search));
        return search.found;
    };
}

std::string itemText(HWND dialog, int id)
{
    char text[300] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void chooseEntry(HWND dialog, int id, int index)
{
    HWND list = GetDlgItem(dialog, id);
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// The system file dialog's filter list and its selected entry, then the name typed and OK.
struct FileDialogSeen {
    std::vector<std::string> filters;
    int selected = -1;
};
std::function<void(HWND)> chooseFile(FileDialogSeen& seen, std::string name)
{
    return [&seen, name](HWND dialog) {
        HWND filter = GetDlgItem(dialog, 1136);
        for (LRESULT k = 0; k < SendMessageA(filter, CB_GETCOUNT, 0, 0); ++k) {
            char text[200] = {};
            SendMessageA(filter, CB_GETLBTEXT, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(text));
            seen.filters.emplace_back(text);
        }
        seen.selected = static_cast<int>(SendMessageA(filter, CB_GETCURSEL, 0, 0));
        for (int field : {1148, 1152})
            if (GetDlgItem(dialog, field)) SetDlgItemTextA(dialog, field, name.c_str());
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    };
}

std::string tempFile(const char* name)
{
    char folder[MAX_PATH + 1] = {};
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name;
}

HWND mainFrame() { return windowSlotTable().Slots[0].Frame.get(); }

class OptionsDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        openMainWindow("Options test", 300, 200);
        savedDevice_ = driverHooks().HardcopyDevice;
        libraryErrorState().LastErrorNumber = 0;
    }
    void TearDown() override
    {
        IGrHardcopyBeginEnd("S");
        driverHooks().HardcopyDevice = savedDevice_;
        unloadAllDialogs();
        closeAllWindows();
    }
    // A device's options without its driver, all 0 but the ones given: the dialogs only read and
    // store them.
    static void chooseDevice(INTEGER device, std::initializer_list<std::pair<INTEGER, INTEGER>> options = {})
    {
        driverHooks().HardcopyDevice = device;
        hardcopyJobState().DriverDevice = device;
        HardcopyOptionBlock& o = hardcopyOptionBlock();
        for (INTEGER k = 1; k <= 29; ++k) o.Options[static_cast<std::size_t>(k)] = 0;
        for (const auto& [option, value] : options) o.Options[static_cast<std::size_t>(option)] = value;
    }
    static void choosePostScript() { chooseDevice(2, {{1, 540}, {2, 720}, {3, 36}, {4, 72}, {5, 1}, {8, 1}, {16, 255}}); }
    Watchdog watchdog_{std::chrono::milliseconds(90000)};
    INTEGER savedDevice_ = 10;
};

}  // namespace

TEST_F(OptionsDialogs, BeforeAnyDriverReportsError46)
{
    hardcopyJobState().DriverDevice = 0;
    WHardcopyOptions();
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 46);
}

TEST_F(OptionsDialogs, PrinterDialogOkStoresThePageOrientationAndFormat)
{
    choosePostScript();
    std::string file = "picture.ps";
    std::string shownGroup, shownWidth;
    WindowSteps steps({{"printer dialog", toolkitDialog(kPrinterDialogTemplate), [&](HWND dialog) {
                            shownGroup = itemText(dialog, 1206);
                            shownWidth = itemText(dialog, 1001);
                            SetDlgItemTextA(dialog, 1001, "10.00");
                            // Portrait, then the encapsulated format: the name follows the format.
                            SendMessageA(GetDlgItem(dialog, 1208), BM_CLICK, 0, 0);
                            chooseEntry(dialog, 1203, 1);
                            click(dialog, IDOK);
                        }}});
    WHardcopyOptions(1, &file);
    EXPECT_TRUE(steps.finished());
    EXPECT_EQ(WDialogQuery(4), 1);
    EXPECT_EQ(shownGroup, "Size/Position (inches)");
    EXPECT_NE(shownWidth.find("7.50"), std::string::npos) << shownWidth;
    const HardcopyOptionBlock& o = hardcopyOptionBlock();
    EXPECT_EQ(o.value(1), 720);
    EXPECT_EQ(o.value(5), 0);
    EXPECT_EQ(o.value(22), 1);
    EXPECT_EQ(file, "picture.eps");
}

TEST_F(OptionsDialogs, PrinterDialogCancelRestoresEveryOption)
{
    choosePostScript();
    const auto before = hardcopyOptionBlock().Options;
    std::string file = "picture.ps";
    WindowSteps steps({{"printer dialog", toolkitDialog(kPrinterDialogTemplate), [](HWND dialog) {
                            SetDlgItemTextA(dialog, 1001, "1.00");
                            SendMessageA(GetDlgItem(dialog, 1208), BM_CLICK, 0, 0);
                            click(dialog, IDCANCEL);
                        }}});
    WHardcopyOptions(1, &file);
    EXPECT_TRUE(steps.finished());
    EXPECT_EQ(WDialogQuery(4), 0);
    EXPECT_EQ(hardcopyOptionBlock().Options, before);
    EXPECT_EQ(file, "picture.ps");
}

// The options dialogs keep the program's other windows and dialogs disabled while they are up and
// give them back afterwards; the further options of the printer dialog are modal over it.
TEST_F(OptionsDialogs, DialogsShowSemiModelessAndTheirSubDialogModal)
{
    struct Seen {
        bool mainEnabled = true, printerEnabled = true, isModalInstance = false;
        INTEGER semiModeless = 0, mode = 0;
    };
    const auto semiModeless = [](HWND dialog, Seen& seen) {
        seen.mainEnabled = IsWindowEnabled(mainFrame()) != 0;
        seen.semiModeless = dialogManagerState().semiModelessCount;
        seen.mode = YYDialogRecordOf(dialog) ? YYDialogRecordOf(dialog)->mode : 0;
    };
    struct Case {
        INTEGER subDialogButton;
        INTEGER endOfJob, pathPoints;
    };
    for (const Case& c : {Case{IDOK, 1, 120}, Case{IDCANCEL, 0, 255}}) {
        SCOPED_TRACE(c.subDialogButton == IDOK ? "further options confirmed" : "further options cancelled");
        choosePostScript();
        std::string file = "picture.ps";
        Seen printer, further;
        WindowSteps steps({
            {"printer dialog", toolkitDialog(kPrinterDialogTemplate), [&](HWND dialog) {
                 semiModeless(dialog, printer);
                 click(dialog, 1207);
             }},
            {"further options", modalInstance, [&](HWND dialog) {
                 further.mainEnabled = IsWindowEnabled(mainFrame()) != 0;
                 further.printerEnabled = IsWindowEnabled(YYDialogByIdentifier(kPrinterDialogTemplate)) != 0;
                 further.isModalInstance = windowText(dialog) == "PostScript options";
                 SendMessageA(GetDlgItem(dialog, 1015), BM_CLICK, 0, 0);
                 SetDlgItemTextA(dialog, 1016, "120");
                 click(dialog, c.subDialogButton);
             }},
            {"printer dialog again", toolkitDialog(kPrinterDialogTemplate), [](HWND dialog) { click(dialog, IDOK); }},
        });
        WHardcopyOptions(1, &file);
        EXPECT_TRUE(steps.finished());
        EXPECT_FALSE(printer.mainEnabled);
        EXPECT_EQ(printer.semiModeless, 1);
        EXPECT_EQ(printer.mode, kDialogSemiModeless);
        EXPECT_TRUE(further.isModalInstance);
        EXPECT_FALSE(further.mainEnabled);
        EXPECT_FALSE(further.printerEnabled);
        EXPECT_EQ(WDialogQuery(4), 1);
        EXPECT_EQ(hardcopyOptionBlock().value(15), c.endOfJob);
        EXPECT_EQ(hardcopyOptionBlock().value(16), c.pathPoints);
        EXPECT_TRUE(IsWindowEnabled(mainFrame()));
        EXPECT_EQ(dialogManagerState().semiModelessCount, 0);
    }
    // The export dialog of a device of its own.
    chooseDevice(3);
    std::string file = "drawing.svg";
    Seen exportDialog;
    WindowSteps steps({{"export dialog", toolkitDialog(kExportDialogTemplateBase + 3), [&](HWND dialog) {
                            semiModeless(dialog, exportDialog);
                            click(dialog, IDCANCEL);
                        }}});
    WHardcopyOptions(0, &file);
    EXPECT_TRUE(steps.finished());
    EXPECT_FALSE(exportDialog.mainEnabled);
    EXPECT_EQ(exportDialog.semiModeless, 1);
    EXPECT_EQ(exportDialog.mode, kDialogSemiModeless);
    EXPECT_TRUE(IsWindowEnabled(mainFrame()));
}

// A menu command, another dialog's push button and a close request that arrive while the dialog
// waits belong to the program: the dialog neither ends on them nor takes them away.
TEST_F(OptionsDialogs, OtherWindowsEventsReachTheProgramAfterTheDialog)
{
    constexpr INTEGER kOther = 77;
    WDialogLoad(kExportDialogTemplateBase + 3, kOther);
    WDialogShow(20, 20, 0, kDialogModeless);
    HWND other = YYDialogByIdentifier(kOther);
    ASSERT_NE(other, nullptr);
    drainEvents();
    choosePostScript();
    const auto before = hardcopyOptionBlock().Options;
    std::string file = "picture.ps";
    WindowSteps steps({{"printer dialog", toolkitDialog(kPrinterDialogTemplate), [&](HWND dialog) {
                            PostMessageA(mainFrame(), WM_COMMAND, MAKEWPARAM(40023, 0), 0);
                            PostMessageA(other, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                         reinterpret_cast<LPARAM>(GetDlgItem(other, IDOK)));
                            PostMessageA(mainFrame(), WM_CLOSE, 0, 0);
                            SetDlgItemTextA(dialog, 1001, "1.00");
                            click(dialog, IDCANCEL);
                        }}});
    WHardcopyOptions(1, &file);
    EXPECT_TRUE(steps.finished());
    EXPECT_EQ(WDialogQuery(4), 0);  // its own Cancel, not the other dialog's OK
    EXPECT_EQ(hardcopyOptionBlock().Options, before);

    const DeliveredEvents delivered = eventsBeforeSentinel();
    ASSERT_TRUE(delivered.complete);
    std::vector<std::pair<INTEGER, INTEGER>> seen;  // type and window of the program's events
    for (std::size_t k = 0; k < delivered.types.size(); ++k) {
        const INTEGER type = delivered.types[k];
        if (type == kEventCommand || type == kEventPushButton || type == kEventClose) seen.emplace_back(type, delivered.records[k][0]);
    }
    const std::vector<std::pair<INTEGER, INTEGER>> expected{{kEventCommand, 0}, {kEventPushButton, kOther}, {kEventClose, 0}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(delivered.of(kEventCommand).at(0)[1], 40023);
    EXPECT_EQ(delivered.of(kEventPushButton).at(0)[1], IDOK);
}

TEST_F(OptionsDialogs, ExportDialogOkStoresThroughTheSetter)
{
    chooseDevice(3, {{1, 800}, {2, 600}, {8, 2}});
    const HardcopyOptionBlock& o = hardcopyOptionBlock();
    std::string file = "drawing.svg";
    std::string shownWidth;
    WindowSteps steps({{"export dialog", toolkitDialog(kExportDialogTemplateBase + 3), [&](HWND dialog) {
                            shownWidth = itemText(dialog, 1001);
                            SetDlgItemTextA(dialog, 1001, "1024");
                            SetDlgItemTextA(dialog, 1002, "-5");  // the setter refuses a page side of 0 or less
                            SetDlgItemTextA(dialog, 1008, "0");   // and takes at least one copy
                            SendMessageA(GetDlgItem(dialog, 1017), BM_CLICK, 0, 0);
                            SetDlgItemTextA(dialog, 1201, "other.svg");
                            click(dialog, IDOK);
                        }}});
    WHardcopyOptions(0, &file);
    EXPECT_TRUE(steps.finished());
    EXPECT_EQ(WDialogQuery(4), 1);
    EXPECT_EQ(shownWidth, "800");
    EXPECT_EQ(o.value(1), 1024);
    EXPECT_EQ(o.value(2), 600);
    EXPECT_EQ(o.value(8), 1);
    EXPECT_EQ(o.value(17), 1);
    EXPECT_EQ(file, "other.svg");
}

// Browse offers the bit-image kinds with the current type preset; the chosen file's extension sets
// the type, and a type chosen in the list rewrites the name's extension.
TEST_F(OptionsDialogs, BitImageFileAndTypeFollowEachOther)
{
    chooseDevice(6, {{1, 800}, {2, 600}, {23, 8}});  // type 0: PCX
    const HardcopyOptionBlock& o = hardcopyOptionBlock();
    std::string file = tempFile("qv-options-page.pcx");
    const std::string chosen = tempFile("qv-options-chosen.PNG");
    FileDialogSeen fileDialog;
    std::string afterBrowse, afterType;
    int typeAfterBrowse = -1;
    WindowSteps steps({
        {"export dialog", toolkitDialog(kExportDialogTemplateBase + 6), [](HWND dialog) { click(dialog, 1202); }},
        {"file selection", systemDialog("BMP/PCX/PNG bit image file"), chooseFile(fileDialog, chosen)},
        {"export dialog after the selection", toolkitDialog(kExportDialogTemplateBase + 6), [&](HWND dialog) {
             afterBrowse = itemText(dialog, 1201);
             typeAfterBrowse = static_cast<int>(SendDlgItemMessageA(dialog, 1026, CB_GETCURSEL, 0, 0));
             chooseEntry(dialog, 1026, 1);  // BMP
         }},
        {"export dialog with the type changed", toolkitDialog(kExportDialogTemplateBase + 6, [](HWND dialog) {
             return itemText(dialog, 1201).find(".bmp") != std::string::npos;
         }),
         [&](HWND dialog) {
             afterType = itemText(dialog, 1201);
             click(dialog, IDOK);
         }},
    });
    WHardcopyOptions(0, &file);
    EXPECT_TRUE(steps.finished());
    EXPECT_EQ(fileDialog.filters, (std::vector<std::string>{"Windows bitmap (*.bmp)", "PC Paintbrush (*.pcx)",
                                                             "Portable network graphics (*.png)"}));
    EXPECT_EQ(fileDialog.selected, 1);  // PCX
    EXPECT_EQ(afterBrowse, chosen);
    EXPECT_EQ(typeAfterBrowse, 3);  // PNG
    EXPECT_EQ(afterType, tempFile("qv-options-chosen.bmp"));
    EXPECT_EQ(WDialogQuery(4), 1);
    EXPECT_EQ(o.value(26), 1);
    EXPECT_EQ(file, tempFile("qv-options-chosen.bmp"));
}

// The metafile goes to a file while the dialog holds a name and to the clipboard without one; the
// system's dash styles are offered only for an enhanced metafile. A job after "to clipboard"
// leaves its picture on the clipboard and writes no file.
TEST_F(OptionsDialogs, MetafileToTheClipboardWritesNoFile)
{
    IGrResetGraphics("");
    IGrHardcopyDevice(1, 11);
    ASSERT_EQ(hardcopyOptionBlock().value(27), 1);  // the driver's placeable metafile
    const std::string name = tempFile("qv-options-picture.wmf");
    DeleteFileA(name.c_str());
    hardcopyJobState().OutputFile.assign("");
    const INTEGER id = kExportDialogTemplateBase + 11;
    struct Shown {
        bool clipboard = false, dashModeEnabled = true, nameFocused = false;
        std::string nameAfterKind = "?";
    } shown;
    WindowSteps steps({
        {"metafile dialog", toolkitDialog(id), [&](HWND dialog) {
             shown.clipboard = checked(dialog, 4001) && !checked(dialog, 1014);
             shown.dashModeEnabled = IsWindowEnabled(GetDlgItem(dialog, 1029)) != 0;
             chooseEntry(dialog, 1027, 2);  // enhanced
         }},
        {"dash mode offered", toolkitDialog(id, [](HWND d) { return IsWindowEnabled(GetDlgItem(d, 1029)) != 0; }),
         [&](HWND dialog) {
             shown.nameAfterKind = itemText(dialog, 1201);  // no name is made up for the clipboard
             SetDlgItemTextA(dialog, 1201, name.c_str());
         }},
        {"to file once named", toolkitDialog(id, [](HWND d) { return checked(d, 1014); }),
         [](HWND dialog) { SetDlgItemTextA(dialog, 1201, ""); }},
        {"to the clipboard once blank", toolkitDialog(id, [](HWND d) { return checked(d, 4001); }),
         [](HWND dialog) { click(dialog, 1014); }},
        {"name field focused for a file", toolkitDialog(id, [](HWND d) { return GetFocus() == GetDlgItem(d, 1201); }),
         [&](HWND dialog) {
             shown.nameFocused = true;
             SetDlgItemTextA(dialog, 1201, name.c_str());
             click(dialog, 4001);
         }},
        {"to the clipboard with a name", toolkitDialog(id, [](HWND d) { return checked(d, 4001); }),
         [](HWND dialog) { click(dialog, IDOK); }},
    });
    WHardcopyOptions(0);
    EXPECT_TRUE(steps.finished());
    EXPECT_TRUE(shown.clipboard);
    EXPECT_FALSE(shown.dashModeEnabled);
    EXPECT_EQ(shown.nameAfterKind, "");
    EXPECT_TRUE(shown.nameFocused);
    EXPECT_EQ(WDialogQuery(4), 1);
    EXPECT_EQ(hardcopyOptionBlock().value(27), 2);
    EXPECT_EQ(hardcopyJobState().OutputFile.usedLength(), 0u);

    {
        ClipboardSession clipboard(mainFrame());
        ASSERT_TRUE(clipboard.isOpen());
        EmptyClipboard();
    }
    IGrHardcopyBeginEnd(" ");
    ASSERT_EQ(graphicsState().HardcopyActive, 1);
    IGrUnits(0, 0, 100, 100);
    IGrPenMove(10, 10);
    IGrPenDraw(90, 90);
    IGrHardcopyBeginEnd("S");
    EXPECT_EQ(GetFileAttributesA(name.c_str()), INVALID_FILE_ATTRIBUTES);
    ClipboardSession clipboard(nullptr);
    ASSERT_TRUE(clipboard.isOpen());
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
}

// A chosen ".emf" file means an enhanced metafile to that file.
TEST_F(OptionsDialogs, MetafileBrowseSetsTheKindAndTheTarget)
{
    IGrHardcopyDevice(1, 11);
    hardcopyJobState().OutputFile.assign("");
    const std::string chosen = tempFile("qv-options-chosen.EMF");
    const INTEGER id = kExportDialogTemplateBase + 11;
    FileDialogSeen fileDialog;
    bool toFile = false, dashModeEnabled = false;
    int kind = -1;
    WindowSteps steps({
        {"metafile dialog", toolkitDialog(id), [](HWND dialog) { click(dialog, 1202); }},
        {"file selection", systemDialog("Windows Metafile"), chooseFile(fileDialog, chosen)},
        {"metafile dialog after the selection", toolkitDialog(id), [&](HWND dialog) {
             toFile = checked(dialog, 1014) && !checked(dialog, 4001);
             dashModeEnabled = IsWindowEnabled(GetDlgItem(dialog, 1029)) != 0;
             kind = static_cast<int>(SendDlgItemMessageA(dialog, 1027, CB_GETCURSEL, 0, 0));
             click(dialog, IDOK);
         }},
    });
    WHardcopyOptions(0);
    EXPECT_TRUE(steps.finished());
    EXPECT_EQ(fileDialog.filters, (std::vector<std::string>{"Windows Metafile (*.wmf)", "Enhanced Windows Metafile (*.emf)"}));
    EXPECT_EQ(fileDialog.selected, 0);
    EXPECT_TRUE(toFile);
    EXPECT_TRUE(dashModeEnabled);
    EXPECT_EQ(kind, 2);
    EXPECT_EQ(hardcopyOptionBlock().value(27), 2);
    EXPECT_EQ(std::string(hardcopyJobState().OutputFile.trimmed()), chosen);
}

TEST_F(OptionsDialogs, MissingTemplateShowsNothingAndChangesNothing)
{
    chooseDevice(9);  // no export template 32009 in the test resources
    const auto before = hardcopyOptionBlock().Options;
    std::string file = "drawing.cgm";
    WHardcopyOptions(0, &file);
    EXPECT_EQ(hardcopyOptionBlock().Options, before);
    EXPECT_EQ(file, "drawing.cgm");
    EXPECT_EQ(WDialogQuery(3), 0);
}
