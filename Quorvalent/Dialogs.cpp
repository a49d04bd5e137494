// The application's small prompts and the dialogs of the same family that no command opens.
#include "Quorvalent/Dialogs.h"

#include <cmath>

#include "WBRVLib/Brvl95.h"
#include "WBRVLib/DoveLib.h"
#include "toolkit/dialogs/DialogFieldValues.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/NumberParse.h"

namespace {

constexpr INTEGER kExitButtonQuery = 1;
constexpr INTEGER kOk = 1;
constexpr INTEGER kCancel = 2;
constexpr INTEGER kCurrentDialogQuery = 3;

// Shows the current dialog modal and centred; the button that closed it.
INTEGER showModalCentred()
{
    WDialogShow(-1, -1, 0, 1);
    return WDialogQuery(kExitButtonQuery);
}

// A prompt names its field: the prompt text without its trailing blanks.
std::string_view trimmedPrompt(std::string_view prompt)
{
    const std::size_t last = prompt.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view() : prompt.substr(0, last + 1);
}

// The identifiers COLORDLG and SAVEFILEDLGQFRES would show; nothing in the program sets them.
struct UnsetDialogIdentifiers {
    INTEGER ColourDialog = 0;
    INTEGER SaveFileDialog = 0;
    INTEGER SaveFileField = 0;
};
UnsetDialogIdentifiers& unsetDialogIdentifiers()
{
    static UnsetDialogIdentifiers ids;
    return ids;
}

// Whether a field's text is a number.
bool holdsNumber(INTEGER field)
{
    std::string text(255, ' ');
    WDialogGetString(field, text);
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return false;
    DOUBLE number = 0.0;
    INTEGER parsed = 0;
    YYParseNumberChecked(number, parsed, std::string_view(text).substr(first, text.find_last_not_of(' ') + 1 - first));
    return parsed != 0;
}

// Whether the field holds a number; when not, the user is told which field and it gets the focus.
bool numberIn(INTEGER field, std::string_view name)
{
    if (holdsNumber(field)) return true;
    const INTEGER dialog = WDialogQuery(kCurrentDialogQuery);
    WINMSG(noNumberMessage(name));
    if (dialog != 0) WDialogSelect(dialog);
    WDialogSetField(field);
    return false;
}

// Shows a number prompt modal until it closes with a number in its field or without "OK"; the
// button that closed it.
INTEGER promptForNumber(INTEGER field, std::string_view prompt)
{
    for (;;) {
        const INTEGER button = showModalCentred();
        if (button != kOk || numberIn(field, trimmedPrompt(prompt))) return button;
    }
}

}  // namespace

std::string noNumberMessage(std::string_view name)
{
    return "\"" + std::string(name) + "\" holds no number, please re-enter";
}

bool readRealField(INTEGER field, std::string_view name, REAL& value)
{
    if (!numberIn(field, name)) return false;
    WDialogGetReal(field, value);
    return true;
}

bool readIntegerField(INTEGER field, std::string_view name, INTEGER& value)
{
    if (!numberIn(field, name)) return false;
    WDialogGetInteger(field, value);
    return true;
}

void NUMINDLG(std::string_view prompt, REAL& value, LOGICAL& cancel)
{
    WDialogLoad(kRealPromptDialog);
    WDialogPutString(kPromptTextField, prompt);
    WDialogPutReal(1398, value);
    switch (promptForNumber(1398, prompt)) {
    case kOk:
        WDialogGetReal(1398, value);
        cancel = kFalse;
        break;
    case kCancel: cancel = kTrue; break;
    default: break;
    }
    WDialogHide();
}

void STRINGINDLG(std::string_view prompt, std::string& text, LOGICAL& cancel)
{
    WDialogLoad(kTextPromptDialog);
    WDialogPutString(kPromptTextField, prompt);
    WDialogPutString(1136, text);
    switch (showModalCentred()) {
    case kOk: {
        // The field is read into the text's own length (an empty text would read nothing).
        std::string typed(text.size(), ' ');
        WDialogGetString(1136, typed);
        text = typed;
        cancel = kFalse;
        break;
    }
    case kCancel: cancel = kTrue; break;
    default: break;
    }
    WDialogHide();
}

void INUMINDLG(std::string_view prompt, INTEGER& value, LOGICAL& cancel)
{
    WDialogLoad(kIntegerPromptDialog);
    WDialogPutString(kPromptTextField, prompt);
    WDialogPutInteger(1167, value);
    switch (promptForNumber(1167, prompt)) {
    case kOk:
        WDialogGetInteger(1167, value);
        cancel = kFalse;
        break;
    case kCancel: cancel = kTrue; break;
    default: break;
    }
    WDialogHide();
}

void PROCEEDDLG(std::string_view text, LOGICAL& cancel)
{
    WDialogLoad(kProceedDialog);
    WDialogPutString(kPromptTextField, text);
    switch (showModalCentred()) {
    case kOk: cancel = kFalse; break;
    case kCancel: cancel = kTrue; break;
    default: break;
    }
    WDialogHide();
}

PrintSelectionState& printSelectionState()
{
    static PrintSelectionState state;
    return state;
}

void PRINTDLG(LOGICAL& anyItem, LOGICAL& cancel, LOGICAL exporting)
{
    PrintSelectionState& s = printSelectionState();
    const bool printing = !isTrue(exporting);
    WDialogLoad(printing ? kPrintSelectionDialog : kExportSelectionDialog);
    const auto put = [](INTEGER field, LOGICAL on) { WDIALOGPUTCHECKBOXL(field, on); };
    const auto get = [](INTEGER field, LOGICAL& on) { WDIALOGGETCHECKBOXL(field, on); };
    if (printing) put(1058, s.Graphic);
    put(1051, s.DataAndSynthetics);
    put(1052, s.LayeredModel);
    put(1054, s.Equivalence);
    put(1053, s.ResolutionMatrix);
    put(1055, s.SmoothModel);
    switch (showModalCentred()) {
    case kOk:
        if (printing) get(1058, s.Graphic);
        get(1051, s.DataAndSynthetics);
        get(1052, s.LayeredModel);
        get(1054, s.Equivalence);
        get(1053, s.ResolutionMatrix);
        get(1055, s.SmoothModel);
        anyItem = toLogical(isTrue(s.DataAndSynthetics) || isTrue(s.LayeredModel) || isTrue(s.Equivalence) ||
                            isTrue(s.ResolutionMatrix) || isTrue(s.SmoothModel));
        cancel = kFalse;
        break;
    case kCancel: cancel = kTrue; break;
    default: break;
    }
    WDialogHide();
}

void SAVEFILEDLGQFRES(std::string_view text)
{
    const UnsetDialogIdentifiers& ids = unsetDialogIdentifiers();
    if (ids.SaveFileDialog == 0) return;
    WDialogLoad(ids.SaveFileDialog);
    WDialogPutString(ids.SaveFileField, text);
    WDialogShow(-1, -1, 0, 1);
    WDialogHide();
}

void COLORDLG(std::array<INTEGER, 6>& colours, INTEGER& column)
{
    static constexpr const char* kColourNames[16] = {
        "Black", "Light Cyan", "Magenta", "Light Magenta", "Light Blue", "Cyan", "Dark Blue", "Green",
        "Light Green", "Yellow", "Brown", "Light Red", "Red", "Gray", "Light White", "White"};
    (void)kColourNames;
    (void)colours;
    (void)column;
    // The dialog this would show has no identifier in this program.
    if (unsetDialogIdentifiers().ColourDialog == 0) return;
}

void ABSCISSASTATES(INTEGER kind, LOGICAL logSpaced)
{
    constexpr INTEGER kDisabled = 0, kEnabled = 1;
    if (kind == 1) {
        for (INTEGER field : {1361, 1360, 1370, 1362}) WDialogFieldState(field, kDisabled);
        return;
    }
    for (INTEGER field : {1361, 1360, 1370}) WDialogFieldState(field, kEnabled);
    WDialogFieldState(1362, isTrue(logSpaced) ? kEnabled : kDisabled);
}

void GENERATEPAR(INTEGER& count, REAL& start, REAL& increment, LOGICAL& logSpaced, REAL& endValue, LOGICAL& cancel)
{
    WDialogLoad(kGenerationDialog);
    WDialogPutInteger(1361, count);
    WDialogPutReal(1360, start);
    WDialogPutReal(1399, increment);
    WDialogPutCheckBox(1370, isTrue(logSpaced) ? 1 : 0);
    WDialogPutReal(1362, endValue);
    // The dependent field: the end value of an even series, the ratio of a log-spaced one.
    const auto update = [] {
        INTEGER n = 0, checked = 0;
        REAL first = 0.0f, step = 0.0f, last = 0.0f;
        WDialogGetInteger(1361, n);
        WDialogGetReal(1360, first);
        WDialogGetCheckBox(1370, checked);
        WDialogFieldState(1362, checked > 0 ? 1 : 0);
        WDialogFieldState(1399, checked > 0 ? 0 : 1);
        if (n < 2) return;
        if (checked > 0) {
            WDialogGetReal(1362, last);
            if (first > 0.0f && last > 0.0f)
                WDialogPutReal(1399, static_cast<REAL>(std::pow(static_cast<double>(last) / first, 1.0 / (n - 1))));
        } else {
            WDialogGetReal(1399, step);
            WDialogPutReal(1362, first + static_cast<REAL>(n - 1) * step);
        }
    };
    update();
    WDialogShow(-1, -1, 0, 3);
    WEventEnable(kEventFieldChanged, 1);
    WEventEnable(kEventPushButton, 1);
    for (;;) {
        INTEGER type = 0;
        EventRecord record{};
        WEventWait(type, record);
        if (record[0] != kGenerationDialog) continue;
        WDialogSelect(kGenerationDialog);
        if (type == kEventFieldChanged) {
            update();
            continue;
        }
        if (type != kEventPushButton) continue;
        if (record[1] == kOk) {
            INTEGER checked = 0;
            WDialogGetInteger(1361, count);
            WDialogGetReal(1360, start);
            WDialogGetReal(1399, increment);
            WDialogGetCheckBox(1370, checked);
            logSpaced = toLogical(checked > 0);
            WDialogGetReal(1362, endValue);
            cancel = kFalse;
            break;
        }
        if (record[1] == kCancel) {
            cancel = kTrue;
            break;
        }
    }
    WDialogHide();
    WDialogUnload();
}
