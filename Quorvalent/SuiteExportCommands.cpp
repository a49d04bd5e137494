#include "Quorvalent/SuiteExportCommands.h"

#include <algorithm>
#include <string>

#include "Quorvalent/AppState.h"
#include "Quorvalent/Dialogs.h"
#include "Quorvalent/Refresh1d.h"
#include "Quorvalent/SuiteExport.h"
#include "Quorvalent/SuiteSoundings.h"
#include "Quorvalent/SuiteState.h"
#include "WBRVLib/Brvl95.h"
#include "toolkit/devices/HardcopyJob.h"
#include "toolkit/devices/HardcopyOptionsDialogs.h"
#include "toolkit/dialogs/DialogFieldValues.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/foundation/FileSelection.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {

constexpr INTEGER kDialogResultQuery = 4;
constexpr INTEGER kExitButtonQuery = 1;
constexpr INTEGER kSaveAskOverwriteKeepFolderExtension = 43;            // 1 + 2 + 8 + 32
constexpr INTEGER kSaveAskOverwriteAnyFolderKeepFolderExtension = 47;   // 1 + 2 + 4 + 8 + 32
constexpr INTEGER kWindowsPrinterDevice = 10;

// A save dialog; the chosen name, or "" when it was cancelled or left blank.
std::string chooseSaveFile(std::string_view filter, INTEGER flags, std::string_view title)
{
    std::string name(256, ' ');
    WSelectFileFiltered(filter, flags, name, title);
    if (WDialogQuery(kDialogResultQuery) != 1) return {};
    const std::size_t end = name.find_last_not_of(' ');
    return end == std::string::npos ? std::string{} : name.substr(0, end + 1);
}

}  // namespace

void MODALLEXPORT()
{
    if (systemRecord().NSuite <= 0) return;
    // Refused before the dialogs, so that no name is chosen for a file that cannot be written.
    if (exportableSuiteCurves() <= 0) {
        WINMSG(ExportMessages::kNoSuite);
        return;
    }
    const std::string name = chooseSaveFile("Quorvalent output files|*.PRT|", kSaveAskOverwriteKeepFolderExtension,
                                            "Quorvalent output files");
    if (name.empty()) return;
    std::string comment(60, ' ');
    LOGICAL cancelled = kFalse;
    STRINGINDLG("Enter Optional Comment:", comment, cancelled);
    if (isTrue(cancelled)) return;
    exportModall(name, comment);
}

void EARLYLATEDLG(INTEGER& kind, INTEGER count, LOGICAL& cancelled)
{
    MainWindowState& w = mainWindowState();
    WDialogLoad(kFieldOutputTypeDialog);
    const INTEGER choice = std::clamp(kind / 2, 1, std::max(count, 1));
    kind = choice;
    WDialogFieldState(1069, count == 3 ? 1 : 0);
    WDialogPutRadioButton(choice == 1 ? 1095 : choice == 2 ? 1077 : 1069);
    WDialogShow(w.DialogX, w.DialogY, 0, 1);
    w.DialogX = WDialogQuery(6);
    w.DialogY = WDialogQuery(7);
    if (WDialogQuery(kExitButtonQuery) == 1) {
        INTEGER position = 1;
        WDialogGetRadioButton(1095, position);
        kind = 2 * position;
        cancelled = kFalse;
    } else {
        cancelled = kTrue;
    }
    WDialogHide();
}

void WRITEDATA()
{
    if (exportableSuiteCurves() <= 0) {
        WINMSG(ExportMessages::kNoSuite);
        return;
    }
    const std::string name = chooseSaveFile("Flat ASCII Data File|*.DAT|", kSaveAskOverwriteAnyFolderKeepFolderExtension,
                                            "Flat ASCII Data File");
    if (name.empty()) return;
    FlatAsciiState& state = flatAsciiState();
    const INTEGER displayKind = systemRecord().DisplayKind;
    INTEGER kind = displayKind;
    if (displayKind == kDisplayEarlyLateRho || displayKind == kDisplayEarlyLateAllTimeRho) {
        kind = state.Kind;
        LOGICAL cancelled = kFalse;
        EARLYLATEDLG(kind, displayKind == kDisplayEarlyLateRho ? 2 : 3, cancelled);
        state.Kind = kind;
        if (isTrue(cancelled)) return;
    } else {
        state.Kind = kind;
    }
    exportFlatAscii(name, kind);
}

void WRITESUITE()
{
    const std::string name = chooseSaveFile("Flat ASCII Data File|*.TXT|", kSaveAskOverwriteAnyFolderKeepFolderExtension,
                                            "Flat ASCII Data File");
    if (name.empty()) return;
    writeSuiteTable(name, suiteSoundingRecord().Record);
}

void PRINTSUITE()
{
    IGrHardcopyDevice(1, kWindowsPrinterDevice);
    WHardcopyOptions();
    if (WDialogQuery(kDialogResultQuery) != 1) return;
    WCursorShape(1);
    GraphOptionsState& g = graphOptionsState();
    SoundingPair& suite = suiteSoundingRecord();
    g.Printing = kTrue;
    REFRESHSUITE(suite.Record, suite.Companion);
    IGrHardcopyBeginEnd("S");
    IGrResetGraphics(" ");
    g.Printing = kFalse;
    REFRESHSUITE(suite.Record, suite.Companion);
    WCursorShape(0);
}
