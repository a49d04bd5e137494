// The main program: start-up, the event loop and the menu commands.
#include "Quorvalent/Quorvalent.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "Quorvalent/IniFile.h"
#include "Quorvalent/ModelSuite.h"
#include "Quorvalent/PointerHandling.h"
#include "Quorvalent/Refresh1d.h"
#include "Quorvalent/SuiteCalculation.h"
#include "Quorvalent/SuiteExportCommands.h"
#include "Quorvalent/ViewProperties.h"
#include "Quorvalent/plotModel.h"
#include "WBRVLib/Brvl95.h"
#include "WBRVLib/Strings.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/HelpFiles.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/Menus.h"
#include "toolkit/foundation/OsEnvironment.h"
#include "toolkit/foundation/StatusBar.h"
#include "toolkit/foundation/ToolkitStartUp.h"
#include "toolkit/foundation/WinApi.h"
#include "toolkit/foundation/WindowPlacement.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/ScreenDriver.h"

PointerState& pointerState()
{
    static PointerState state;
    return state;
}

namespace {

// The result flag the loop clears on every pass: the wizard's and the comment prompt's cancel
// flag, the MODALL writer's error flag.
LOGICAL& resultFlag()
{
    static LOGICAL flag = kFalse;
    return flag;
}

LastFileText& lastFileText()
{
    static LastFileText text;
    return text;
}

// Model-suite wizard and calculation, at start-up and from Calculate/Model Suite.
void runModelSuite(LOGICAL& cancelled, LOGICAL& firstCall)
{
    SoundingPair& current = currentSoundingRecord();
    MODELSUITE(current.Record, current.Companion, cancelled, firstCall);
    // Also after a stopped calculation, which switched the labels on, and after the first one.
    SETMENUSTATES();
}

LOGICAL& firstModelSuiteCall()
{
    static LOGICAL first = kTrue;
    return first;
}

// The one redraw of the suite display. It paints every label plainly and wipes a rubber band's
// box, so the pointer's band ends and the hovered label gets its highlight back (else the next
// exclusive-or meant to remove the highlight would draw one).
void refreshSuite()
{
    SoundingPair& suite = suiteSoundingRecord();
    REFRESHSUITE(suite.Record, suite.Companion);
    pointerExposed();
}

void invert(LOGICAL& flag) { flag = isTrue(flag) ? kFalse : kTrue; }

void check(INTEGER command, LOGICAL on) { WMenuSetState(command, 2, isTrue(on) ? 1 : 0); }

bool rectangleOnAnyScreen(INTEGER x, INTEGER y, INTEGER width, INTEGER height)
{
    const RECT rect{x, y, x + width, y + height};
    return MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr;
}

[[noreturn]] void exitProgram()
{
    // The suite's computed curve and its sample times go first; the suite arrays stay.
    SoundingRecord& suite = suiteSoundingRecord().Record;
    if (suite.ResponseValues.allocated() && suite.ResponseValues.deallocate() && suite.Data.SampleTimes.allocated())
        suite.Data.SampleTimes.deallocate();
    storeWindowStateAndSettings();
    WToolkitShutDown();
    std::exit(0);
}

}  // namespace

void SETMENUSTATES()
{
    GraphOptionsState& g = graphOptionsState();
    check(kCmdZoom, g.ZoomMode);
    check(kCmdLabels, g.LabelsShown);
    check(kCmdLinearDepth, g.LinearDepth);
    // The major flag is looked at first: a Minor Axes item chosen while its Major Axes item is off
    // leaves both off, and switching Major Axes off switches Minor Axes off.
    const auto grid = [](LOGICAL& major, LOGICAL& minor, INTEGER majorId, INTEGER minorId) {
        if (isTrue(major)) {
            check(majorId, kTrue);
        } else {
            check(majorId, kFalse);
            minor = kFalse;
        }
        if (isTrue(minor)) {
            check(minorId, kTrue);
            major = kTrue;
            check(majorId, kTrue);
        } else {
            check(minorId, kFalse);
        }
    };
    grid(g.CurveMajorGrid, g.CurveMinorGrid, kCmdCurveMajorGrid, kCmdCurveMinorGrid);
    grid(g.ModelMajorGrid, g.ModelMinorGrid, kCmdModelMajorGrid, kCmdModelMinorGrid);
}

std::string helpFilePath(std::string programPath)
{
    const INTEGER n = static_cast<INTEGER>(programPath.size());
    LCTOUC(programPath, n);
    IRPLPT(programPath, n, ".EXE", 4, ".HLP", 4);
    return programPath;
}

void showHelpContents()
{
    std::string word(255, ' ');  // the path as a 255-character text
    IOsCommandWord(0, word);
    // The command word comes back blank-padded; the path ends at its last non-blank character.
    word.erase(word.find_last_not_of(' ') + 1);
    const std::string path = helpFilePath(word);
    const StdioFile file(std::fopen(path.c_str(), "rb"));
    if (file) {
        WHelpTopicNumber(path);
        return;
    }
    WINMSG("HELP FILE NOT FOUND:\r\n" + path);
}

void settleMainWindowPlacement(MainWindowState& state, const MainWindowState& defaults,
                               bool (*onScreen)(INTEGER x, INTEGER y, INTEGER width, INTEGER height))
{
    const bool sized = state.Width > 0 && state.Height > 0;
    if (state.State == 0 || !sized || !onScreen(state.X, state.Y, state.Width, state.Height)) {
        state.X = defaults.X;
        state.Y = defaults.Y;
        state.Width = defaults.Width;
        state.Height = defaults.Height;
        state.State = 1;
    } else if (state.State != 2) {
        state.State = 1;
    }
}

void storeWindowStateAndSettings()
{
    MainWindowState& w = mainWindowState();
    WindowSetCurrent(0);
    const INTEGER state = WInfoWindowQuery(9);
    // A minimised or maximised window keeps the geometry read at start-up, and a minimised one is
    // not stored as such: it would start as an icon.
    if (state == 1) {
        w.State = 1;
        w.X = WInfoWindowQuery(5);
        w.Y = WInfoWindowQuery(6);
        w.Width = WInfoWindowQuery(1);
        w.Height = WInfoWindowQuery(2) + w.BarHeight;
    } else if (state == 2) {
        w.State = 2;
    }
    LASTDIR(lastFileText());
}

bool runMenuCommand(INTEGER command)
{
    GraphOptionsState& g = graphOptionsState();
    PointerState& p = pointerState();
    // A command ends a rubber band or a label drag without erasing it.
    p.BandActive = kFalse;
    p.DragActive = kFalse;
    if (command < kCmdFirst || command > kCmdLast) return true;
    switch (command) {
    case kCmdExit:
        return false;
    // Grid toggles: the check marks first (they may change the flags again), then the redraw.
    case kCmdCurveMajorGrid: invert(g.CurveMajorGrid); SETMENUSTATES(); refreshSuite(); break;
    case kCmdCurveMinorGrid: invert(g.CurveMinorGrid); SETMENUSTATES(); refreshSuite(); break;
    case kCmdModelMajorGrid: invert(g.ModelMajorGrid); SETMENUSTATES(); refreshSuite(); break;
    case kCmdModelMinorGrid: invert(g.ModelMinorGrid); SETMENUSTATES(); refreshSuite(); break;
    case kCmdLabels: invert(g.LabelsShown); refreshSuite(); SETMENUSTATES(); break;
    case kCmdLinearDepth:
        invert(g.LinearDepth);
        modelGraphAutoscale();
        refreshSuite();
        SETMENUSTATES();
        break;
    case kCmdZoom: invert(g.ZoomMode); SETMENUSTATES(); break;
    case kCmdUnZoom:
        // Both graphs autoscaled; the check marks stay as they are.
        suiteDisplayAutoscale();
        refreshSuite();
        p.Button = 0;
        p.BandActive = kFalse;
        p.DragActive = kFalse;
        WCursorShape(0);
        break;
    case kCmdModelSuite: {
        LOGICAL& cancelled = resultFlag();
        runModelSuite(cancelled, firstModelSuiteCall());
        break;
    }
    case kCmdHelpContents: showHelpContents(); break;
    case kCmdExportSynthetics: WRITEDATA(); break;
    case kCmdExportModall: MODALLEXPORT(); break;
    case kCmdProperties: {
        SoundingPair& suite = suiteSoundingRecord();
        VIEWDLG1D(suite.Record, suite.Companion, curveGraphFrames().Frames, modelGraphFrames().Frames, resultFlag());
        SETMENUSTATES();
        refreshSuite();
        p.Button = 0;
        p.BandActive = kFalse;
        p.DragActive = kFalse;
        WCursorShape(0);
        break;
    }
    case kCmdPrint: PRINTSUITE(); break;
    default:
        break;
    }
    return true;
}

// A file of the user's that the toolkit could not write, told whatever the report mode.
static void tellUserFileFailure(std::string_view fileName, std::string_view reason)
{
    WINMSG("The file could not be written; an earlier file of that name was left as it was:\r\n" + std::string(fileName) +
           "\r\n(" + std::string(reason) + ")");
}

void QUORVALENT()
{
    WToolkitStartUp(" ");
    errorReportHooks().userFileFailure = &tellUserFileFailure;
    const INTEGER screenWidth = WInfoDisplayQuery(1), screenHeight = WInfoDisplayQuery(2);
    MainWindowState& w = mainWindowState();
    setMainWindowDefaults(w, screenWidth, screenHeight);
    const MainWindowState defaults = w;
    seedSettingsWindowDefaults(screenWidth, screenHeight);

    // The current sounding: one layer of 10 ohm-m, every count 1.
    SoundingPair& current = currentSoundingRecord();
    SoundingDataRecord& data = current.Record.Data;
    LayerModelRecord& model = current.Record.Model;
    model.NLayer = 1;
    model.ValuesPerLayer = 1;
    model.ParameterCount = 1;
    data.ColumnCount = 1;
    data.PointCount = 1;
    data.GraphCount = 1;
    ALLOCSOUND(current.Record, current.Companion);
    model.Parameters(1) = 10.0f;
    model.ParameterReal2(1) = 0.0f;
    model.ParameterReal3(1) = 0.0f;
    model.ParameterFlags1(1) = 0;
    model.ParameterFlags2(1) = 0;
    data.Title.assign("New Quorvalent *");

    INIIN(lastFileText());
    settleMainWindowPlacement(w, defaults, &rectangleOnAnyScreen);
    const INTEGER reportMode = settingsFileState().Debug;
    WErrorReportMode(reportMode);

    WindowDescriptionRecord description;
    description.Flags = 39;  // system menu, minimise box, maximise box, status bar
    description.X = w.X;
    description.Y = w.Y;
    description.Width = w.Width;
    description.Height = w.Height;
    description.MenuId = kMainMenuId;
    description.Title.assign(kMainWindowTitle);
    TextStyleRecord style;
    style.FontKind = 4;
    style.Background = 0;
    WindowSetTextStyle(style);
    WindowOpenDescribed(description, 256);
    WindowMoveResize(w.Width, w.Height, w.X, w.Y, w.State);
    WStatusBarLayout(kMainStatusParts, kMainStatusPartWidths);
    WMenuToolbar(kMainToolbarId, 0, 1);
    w.BarHeight = w.Height - WInfoWindowQuery(2);

    WEventEnable(kEventMouseRelease, 1);
    WEventEnable(kEventFieldChanged, 1);
    WErrorReportMode(reportMode);
    WEventEnable(kEventMouseMove, 1);

    pointerState() = PointerState{};
    SETMENUSTATES();
    // The wizard opens at once; cancelled or not, the loop starts.
    runModelSuite(resultFlag(), firstModelSuiteCall());

    for (;;) {
        INTEGER type = 0;
        EventRecord record{};
        // Events the suite calculation took while it polled for its stop come first.
        if (!takeHeldMainLoopEvent(type, record)) WEventWait(type, record);
        resultFlag() = kFalse;
        PointerState& p = pointerState();
        switch (type) {
        case kEventKey:
            p.LastX = record[5];
            p.LastY = record[6];
            break;
        case kEventCommand:
            if (!runMenuCommand(record[1])) exitProgram();
            break;
        case kEventMousePress: pointerPress(record); break;
        case kEventMouseRelease: pointerRelease(record); break;
        case kEventMouseMove: pointerMove(record); break;
        case kEventExpose:
        case kEventResize:
            refreshSuite();
            if (record[0] == 0) WindowSetCurrent(0);
            break;
        case kEventClose:
            pointerBandCancel();
            if (record[0] == 0) exitProgram();
            break;
        case kEventFieldChanged:
            pointerBandCancel();
            WEventEnable(kEventFieldChanged, 0);
            WEventEnable(kEventFieldChanged, 1);
            break;
        default:
            break;
        }
    }
}
