#include "toolkit/dialogs/GridEditorCommands.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "toolkit/dialogs/DialogChoiceFields.h"
#include "toolkit/dialogs/DialogFieldValues.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/GridCellValues.h"
#include "toolkit/dialogs/GridEditor.h"
#include "toolkit/dialogs/GridFiles.h"
#include "toolkit/dialogs/GridFindSort.h"
#include "toolkit/dialogs/GridPrinting.h"
#include "toolkit/dialogs/GridRecords.h"
#include "toolkit/dialogs/GridRowSort.h"
#include "toolkit/foundation/CharacterRoutines.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/FileSelection.h"
#include "toolkit/foundation/MessageBoxes.h"
#include "toolkit/foundation/OsFiles.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/ScreenDriver.h"

GridEditorSettings& gridEditorSettings()
{
    static GridEditorSettings settings;
    return settings;
}

namespace {

constexpr std::string_view kCsvFilter = "CSV Files|*.csv|All Files|*.*|";

INTEGER& lastError() { return libraryErrorState().LastErrorNumber; }

// Makes the editor's window current for the command and the previous one current again after;
// keeps the toolkit's last error number around the command's own work.
class CommandScope {
public:
    explicit CommandScope(INTEGER window, bool keepError = true)
        : previous_(windowEngineState().CurrentWindow), savedError_(lastError()), keepError_(keepError)
    {
        if (previous_ != window) YYWINSEL(window, 0);
        if (keepError_) lastError() = 0;
    }
    ~CommandScope()
    {
        if (keepError_ && restore_) lastError() = savedError_;
        if (windowEngineState().CurrentWindow != previous_) YYWINSEL(previous_, 0);
    }
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;
    void keepCurrentError() { restore_ = false; }
    void restoreNow() { lastError() = savedError_; restore_ = false; }

private:
    INTEGER previous_;
    INTEGER savedError_;
    bool keepError_;
    bool restore_ = true;
};

// Loads a command's dialog; the previous current dialog comes back when the scope ends.
class CommandDialog {
public:
    explicit CommandDialog(INTEGER id) : previous_(currentDialogId())
    {
        QuietErrors quiet;
        WDialogLoad(id, std::nullopt, -1);
        loaded_ = quiet.lastError() == 0 && YYCurrentDialog() != nullptr && currentDialogId() == id;
        if (!loaded_) WMessageBox(0, 1, 1, "Unable to load required dialog", "Error");
    }
    ~CommandDialog()
    {
        if (loaded_) {
            QuietErrors quiet;
            WDialogUnload();
        }
        if (previous_ > 0) {
            QuietErrors quiet;
            WDialogSelect(previous_);
        }
    }
    CommandDialog(const CommandDialog&) = delete;
    CommandDialog& operator=(const CommandDialog&) = delete;
    bool loaded() const { return loaded_; }

private:
    static INTEGER currentDialogId()
    {
        const DialogRecord* d = YYDialogRecordOf(YYCurrentDialog());
        return d ? d->identifier : 0;
    }
    INTEGER previous_;
    bool loaded_ = false;
};

INTEGER info(INTEGER code)
{
    INTEGER field = 0, value = 0;
    YYGridInfo(field, code, value);
    return value;
}

// Waits for push-button events of the shown command dialog; returns the button's identifier.
INTEGER waitForButton()
{
    for (;;) {
        INTEGER type = 0;
        EventRecord record{};
        WEventWait(type, record);
        if (type == kEventPushButton) return record[1];
        if (type == kEventClose) return 2;
    }
}

std::string trimmedText(std::string text)
{
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    const std::size_t last = text.find_last_not_of(' ');
    text.resize(last == std::string::npos ? 0 : last + 1);
    return text;
}

std::string fieldText(INTEGER field)
{
    std::string text(1024, ' ');
    WDialogGetString(field, text);
    return trimmedText(text);
}

// The backup copy of a file about to be written, made only when there is a file to copy: a first
// save has nothing to protect and says nothing about it.
void backupCopy(const std::string& file)
{
    if (file.empty() || GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    QuietErrors quiet;
    IOsCopyFile(file, file + ".bak");
}

void fileErrorBox(const char* text) { WMessageBox(0, 3, 1, text, "File Error"); }

void showAtEditor(INTEGER window)
{
    WDialogShowAtOwner(0, 3, window);
}

void clearRow(INTEGER row, INTEGER rowLabels)
{
    const INTEGER columns = info(kGridInfoColumns);
    for (INTEGER c = 1; c <= columns; ++c) {
        INTEGER field = 0, kind = 0;
        YYGridColumnKind(field, c - 1, kind);
        if (kind == 11) WGridPutCellOption(0, c, row, 1);
        else WGridClearCell(0, c, row);
    }
    if (rowLabels == 1) WGridLabelRow(0, row, "");
}

}  // namespace

void YYGridEditorGoto(INTEGER window, INTEGER kind)
{
    CommandScope scope(window);
    CommandDialog dialog(kind == 1 ? kGridGotoCellDialog : kGridGotoDialog);
    if (!dialog.loaded()) return;
    const INTEGER columns = info(kGridInfoColumns), rows = info(kGridInfoRows);
    INTEGER column = info(kGridInfoCurrentColumn), row = info(kGridInfoCurrentRow);
    if (kind == 1) {
        WDialogPutInteger(1002, column);
        WDialogPutInteger(1004, row);
        WDialogRangeInteger(1002, 1, columns);
        WDialogRangeInteger(1004, 1, rows);
    } else {
        WDialogTitle(kind == 2 ? "Goto Row" : "Goto Column");
        WDialogPutString(1001, kind == 2 ? "&Row" : "&Column");
        WDialogPutInteger(1002, kind == 2 ? row : column);
        WDialogRangeInteger(1002, 1, kind == 2 ? rows : columns);
    }
    WDialogShow(-1, -1, 0, 1);
    if (WDialogQuery(1) != 1) return;
    if (kind == 1) {
        WDialogGetInteger(1002, column);
        WDialogGetInteger(1004, row);
    } else if (kind == 2) {
        WDialogGetInteger(1002, row);
    } else {
        WDialogGetInteger(1002, column);
    }
    WGridSetCell(0, column, row);
}

void YYGridEditorFind(INTEGER window, INTEGER kind, INTEGER& matchCase, INTEGER& numeric, std::string& text)
{
    CommandScope scope(window, kind != 2);
    bool textColumns = false, numberColumns = false;
    const INTEGER columns = info(kGridInfoColumns);
    for (INTEGER c = 0; c < columns && !(textColumns && numberColumns); ++c) {
        INTEGER field = 0, k = 0;
        YYGridColumnKind(field, c, k);
        if (k == 4) textColumns = true;
        if (k >= 5 && k <= 7) numberColumns = true;
    }
    if (!textColumns && !numberColumns) {
        WMessageBox(0, 3, 1, "Grid contains no searchable columns", "Find");
        return;
    }
    if (!textColumns) numeric = 1;
    const INTEGER numericState = textColumns && numberColumns ? 1 : 3;
    text = trimmedText(text);
    if (kind == 1) {
        CommandDialog dialog(kGridFindDialog);
        if (!dialog.loaded()) return;
        WDialogPutString(1002, text);
        WDialogPutCheckBox(1003, matchCase);
        WDialogPutCheckBox(1004, numeric);
        WDialogFieldState(1004, numericState);
        INTEGER held = 0;
        YYWindowSnapshots(1, window, held);
        showAtEditor(window);
        bool search = false;
        for (;;) {
            const INTEGER button = waitForButton();
            if (button == 2) break;
            if (button != 1) continue;
            const std::string typed = fieldText(1002);
            if (typed.empty()) {
                WBeepControl("");
                continue;
            }
            text = typed;
            WDialogGetCheckBox(1003, matchCase);
            WDialogGetCheckBox(1004, numeric);
            search = true;
            break;
        }
        WDialogHide();
        YYWindowSnapshots(0, window, held);
        if (!search) return;
    }
    if (text.empty()) return;
    LOGICAL found = kFalse;
    const INTEGER options = kFindAfterCurrent + (matchCase == 1 ? 0 : kFindIgnoreCase) + (numeric == 1 ? kFindNumbers : 0);
    WGridFind(0, text, options, &found);
    if (!isTrue(found)) WMessageBox(0, 4, 1, "End of grid reached", "Find");
}

void YYGridEditorDeleteRow(INTEGER window, INTEGER rowLabels, INTEGER rowCount)
{
    CommandScope scope(window);
    const INTEGER row = info(kGridInfoCurrentRow), rows = info(kGridInfoRows);
    if (rows == 1 && rowCount == 1) clearRow(row, rowLabels);
    else WGridDeleteRows(0, row, 1, rowCount, rowLabels);
}

void YYGridEditorInsertRow(INTEGER window, INTEGER rowLabels, INTEGER rowCount, INTEGER position)
{
    CommandScope scope(window);
    const INTEGER row = info(kGridInfoCurrentRow), rows = info(kGridInfoRows);
    if (row == rows && position == 1) {
        if (rowCount != 1) return;
        WGridRows(0, rows + 1);
        clearRow(rows + 1, rowLabels);
        return;
    }
    WGridInsertRows(0, position == 1 ? row + 1 : row, 1, rowCount, rowLabels);
}

void YYGridEditorSort(INTEGER window, INTEGER rowLabels, INTEGER& result)
{
    result = 0;
    CommandScope scope(window);
    const INTEGER columns = info(kGridInfoColumns), current = info(kGridInfoCurrentColumn);
    std::vector<std::string> names;
    for (INTEGER c = 1; c <= columns; ++c) {
        std::string label;
        INTEGER field = 0;
        YYGridGetColumnLabel(field, c, label);
        label = trimmedText(label.substr(0, std::min<std::size_t>(label.size(), 50)));
        if (label.empty()) {
            char number[16] = {};
            std::snprintf(number, sizeof number, "%7d", static_cast<int>(c));
            std::string digits(number);
            digits.erase(0, digits.find_first_not_of(' '));
            label = "Column " + digits;
        }
        names.push_back(label);
    }
    CommandDialog dialog(kGridSortDialog);
    if (!dialog.loaded()) return;
    GridEditorSettings& s = gridEditorSettings();
    WDialogPutMenu(1002, names, static_cast<INTEGER>(names.size()), current);
    WDialogPutRadioButton(s.sortOrder == 1 ? 1004 : 1005);
    WDialogPutCheckBox(1006, s.sortCaseSensitive);
    WDialogShow(-1, -1, 0, 1);
    if (WDialogQuery(1) != 1) return;
    result = 1;
    INTEGER column = current, order = 1;
    WDialogGetMenu(1002, column);
    WDialogGetRadioButton(1004, order);
    WDialogGetCheckBox(1006, s.sortCaseSensitive);
    s.sortOrder = order == 2 ? 2 : 1;
    const INTEGER options = (s.sortOrder == 2 ? kSortDescending : 0) + (s.sortCaseSensitive == 1 ? 0 : kSortIgnoreCase) +
                            (rowLabels == 1 ? kSortMoveLabels : 0);
    // The Sort dialog stays current: field 0 names the editor's grid all the same.
    WGridSort(0, std::max<INTEGER>(column, 1), options, 1, info(kGridInfoRows));
}

void YYGridEditorPrint(INTEGER window, INTEGER firstRow, INTEGER lastRow, INTEGER firstColumn, INTEGER lastColumn,
                       INTEGER& result)
{
    result = 0;
    CommandScope scope(window);
    const ScreenOutputHooks& hooks = screenOutputHooks();
    if (!hooks.printerAvailable || !hooks.printerAvailable()) {
        WMessageBox(0, 1, 1, "No printer installed", "Error");
        return;
    }
    CommandDialog dialog(kGridPrintDialog);
    if (!dialog.loaded()) return;
    INTEGER rowLines = 1, columnLines = 1, everyPage = 1, textColours = 0, backColours = 0, scale = 100;
    YYGridGetPrintOptions(rowLines, columnLines, everyPage, textColours, backColours, scale, 2);
    WDialogPutCheckBox(1002, rowLines);
    WDialogPutCheckBox(1003, columnLines);
    WDialogPutRadioButton(everyPage == 1 ? 1006 : 1005);
    WDialogPutRadioButton(backColours == 1 ? 1010 : textColours == 1 ? 1009 : 1008);
    WDialogPutInteger(1012, scale);
    INTEGER held = 0;
    YYWindowSnapshots(1, window, held);
    showAtEditor(window);
    INTEGER button = 0;
    for (;;) {
        button = waitForButton();
        if (button == 1014) {
            YYGridPageSetup(-1, 2);
            continue;
        }
        if (button == 1 || button == 2) break;
    }
    if (button == 1) {
        INTEGER pages = 0, colours = 1;
        WDialogGetCheckBox(1002, rowLines);
        WDialogGetCheckBox(1003, columnLines);
        WDialogGetRadioButton(1005, pages);
        WDialogGetRadioButton(1008, colours);
        WDialogGetInteger(1012, scale);
        everyPage = pages == 2 ? 1 : 0;
        textColours = colours >= 2 ? 1 : 0;
        backColours = colours == 3 ? 1 : 0;
        YYGridSetPrintOptions(rowLines, columnLines, everyPage, textColours, backColours, scale, 2);
        WDialogHide();
        YYGridPrint(0, result, firstRow, lastRow, firstColumn, lastColumn, 2, "");
    } else {
        WDialogHide();
    }
    YYWindowSnapshots(0, window, held);
}

void YYGridEditorSaveHtml(INTEGER window, INTEGER firstRow, INTEGER lastRow, INTEGER firstColumn, INTEGER lastColumn,
                          INTEGER& result, INTEGER backup, const std::string& editorFile)
{
    result = 0;
    CommandScope scope(window);
    CommandDialog dialog(kGridHtmlDialog);
    if (!dialog.loaded()) return;
    std::string proposal;
    if (!editorFile.empty()) {
        const std::string name = trimmedText(editorFile);
        const std::size_t dot = name.find_last_of('.');
        proposal = (dot == std::string::npos ? name : name.substr(0, dot)) + ".htm";
    }
    std::string lastPut = proposal;
    GridEditorSettings& s = gridEditorSettings();
    WDialogPutString(1002, proposal);
    WDialogPutRadioButton(s.htmlOption1 == 1 ? 1006 : 1005);
    WDialogPutRadioButton(s.htmlOption4 == 1 ? 1009 : 1008);
    WDialogPutCheckBox(1010, s.htmlOption2);
    WDialogPutCheckBox(1011, s.htmlOption8Unchecked);
    WDialogPutString(1013, s.htmlTitle);
    WDialogPutInteger(1015, s.htmlBorder);
    const bool range = firstRow != -1;
    if (!range) {
        WDialogPutRadioButton(1017);
        WDialogFieldState(1018, 0);
    } else {
        WDialogFieldState(1018, 1);
        WDialogPutRadioButton(1018);
    }
    INTEGER held = 0;
    YYWindowSnapshots(1, window, held);
    showAtEditor(window);
    bool accepted = false;
    std::string name;
    for (;;) {
        const INTEGER button = waitForButton();
        if (button == 2) break;
        if (button == 1003) {
            std::string chosen = fieldText(1002);
            chosen.resize(260, ' ');
            WSelectFileFiltered("HTML Files|*.htm;*.html|All Files|*.*|", 35, chosen);
            if (WDialogQuery(4) == 1) {
                lastPut = trimmedText(chosen);
                WDialogPutString(1002, lastPut);
            }
            continue;
        }
        if (button != 1) continue;
        name = fieldText(1002);
        if (name.empty()) {
            WMessageBox(0, 3, 1, "You must enter a filename", "Select File");
            continue;
        }
        if (name != lastPut && GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES) {
            WMessageBox(3, 3, 2, name + " already exists\rDo you want to replace it?", "Select File");
            if (WDialogQuery(4) != 1) continue;
        }
        INTEGER radio = 1;
        WDialogGetRadioButton(1005, radio);
        s.htmlOption1 = radio == 2 ? 1 : 0;
        WDialogGetRadioButton(1008, radio);
        s.htmlOption4 = radio == 2 ? 1 : 0;
        WDialogGetCheckBox(1010, s.htmlOption2);
        WDialogGetCheckBox(1011, s.htmlOption8Unchecked);
        s.htmlTitle = fieldText(1013);
        WDialogGetInteger(1015, s.htmlBorder);
        accepted = true;
        break;
    }
    INTEGER whole = 1;
    if (accepted) WDialogGetRadioButton(1017, whole);
    WDialogHide();
    YYWindowSnapshots(0, window, held);
    if (!accepted) return;
    if (backup == 1) backupCopy(trimmedText(editorFile));
    const INTEGER options = s.htmlOption1 + 2 * s.htmlOption2 + 4 * s.htmlOption4 + (s.htmlOption8Unchecked == 1 ? 0 : 8);
    lastError() = 0;
    if (whole == 2 && range)
        WGridSaveHTML(0, name, firstColumn + 1, lastColumn + 1, firstRow + 1, lastRow + 1, options, s.htmlTitle, s.htmlBorder);
    else
        WGridSaveHTML(0, name, std::nullopt, std::nullopt, std::nullopt, std::nullopt, options, s.htmlTitle, s.htmlBorder);
    switch (lastError()) {
    case 0: result = 1; break;
    case 1: fileErrorBox("Error opening file"); scope.keepCurrentError(); break;
    case 2: fileErrorBox("Error writing file"); scope.keepCurrentError(); break;
    default: result = 1; scope.keepCurrentError(); break;
    }
}

void YYGridEditorSaveCsv(INTEGER window, INTEGER saveAs, INTEGER& result, INTEGER& filterIndex, INTEGER backup,
                         INTEGER labelLine, INTEGER firstRow, INTEGER lastRow, INTEGER firstColumn, INTEGER lastColumn,
                         std::string& fileName, const char* fileFilter)
{
    result = 0;
    CommandScope scope(window);
    const bool range = firstRow != -1;
    std::string name = trimmedText(fileName);
    if (saveAs == 1 || name.empty()) {
        std::string proposal = name;
        if (range) {
            const std::size_t slash = proposal.find_last_of('\\');
            proposal = slash == std::string::npos ? std::string() : proposal.substr(0, slash + 1);
        }
        proposal.resize(260, ' ');
        const std::string filter = fileFilter && fileFilter[0] ? std::string(fileFilter) : std::string(kCsvFilter);
        WSelectFileFiltered(filter, 35, proposal, std::nullopt, &filterIndex);
        if (WDialogQuery(4) != 1) return;
        name = trimmedText(proposal);
        if (name.empty()) return;
    }
    if (!range) fileName = name;
    if (backup == 1) backupCopy(name);
    lastError() = 0;
    if (range)
        WGridSave(0, name, firstColumn + 1, lastColumn + 1, firstRow + 1, lastRow + 1, labelLine == 1 ? 2 : 0);
    else
        WGridSave(0, name, std::nullopt, std::nullopt, std::nullopt, std::nullopt, labelLine == 1 ? 2 : 0);
    switch (lastError()) {
    case 0: result = 1; break;
    case 1: fileErrorBox("Error opening file"); scope.keepCurrentError(); break;
    case 2: fileErrorBox("Error writing file"); scope.keepCurrentError(); break;
    default: result = 1; scope.keepCurrentError(); break;
    }
}

void YYGridEditorLoadCsv(INTEGER window, INTEGER ask, INTEGER rowCount, INTEGER& result, INTEGER& filterIndex,
                         INTEGER labelLine, std::string& fileName, const char* fileFilter)
{
    result = 0;
    CommandScope scope(window);
    std::string name = trimmedText(fileName);
    if (ask == 1) {
        std::string proposal = name;
        proposal.resize(260, ' ');
        const std::string filter = fileFilter && fileFilter[0] ? std::string(fileFilter) : std::string(kCsvFilter);
        WSelectFileFiltered(filter, 160, proposal, std::nullopt, &filterIndex);
        if (WDialogQuery(4) != 1) return;
        name = trimmedText(proposal);
    }
    lastError() = 0;
    WGridLoad(0, name, rowCount, labelLine == 1 ? 2 : 0);
    const INTEGER error = lastError();
    result = 1;
    if (error == 1 || error == 2) {
        fileErrorBox(error == 1 ? "Error opening file" : "Error reading file");
        result = 0;
    } else if (error == 4 || error == 1009) {
        WMessageBox(0, 3, 1, "Out of range value found for numeric cell", "Data Error");
    } else if (error == 11 || error == 12) {
        WMessageBox(0, 3, 1, "Non-numeric data found for numeric cell", "Data Error");
    } else if (error == 1054) {
        WMessageBox(0, 3, 1, "File contains too many rows/columns", "Data Error");
    } else if (error == 1055) {
        WMessageBox(0, 3, 1, "Non-matching data found for menu cell", "Data Error");
    }
    scope.restoreNow();
    WGridSetCell(0, 1, 1);
    if (result == 1) fileName = name;
}
