// The grid editor's commands: go to, find, delete and insert rows, sort, print, and the HTML and
// comma-separated files. The first argument names the editor's window; rows and columns are
// 0-based; results are 1 for done and 0 otherwise.
#pragma once

#include <string>

#include "toolkit/foundation/CoreTypes.h"

// Dialog resources of the commands; a program that lacks one gets "Unable to load required dialog".
enum GridEditorDialogId : INTEGER {
    kGridFindDialog = 32106, kGridGotoCellDialog = 32107, kGridGotoDialog = 32108, kGridSortDialog = 32109,
    kGridPrintDialog = 32112, kGridHtmlDialog = 32114,
};

// Remembered settings of Sort and Save as HTML, kept for the run.
struct GridEditorSettings {
    INTEGER sortOrder = 1;  // 1 ascending, 2 descending
    INTEGER sortCaseSensitive = 0;
    INTEGER htmlOption1 = 0, htmlOption4 = 0, htmlOption2 = 0, htmlOption8Unchecked = 1;
    std::string htmlTitle;
    INTEGER htmlBorder = 1;
};
GridEditorSettings& gridEditorSettings();

// Toolkit-internal

void YYGridEditorGoto(INTEGER window, INTEGER kind);
void YYGridEditorFind(INTEGER window, INTEGER kind, INTEGER& matchCase, INTEGER& numeric, std::string& text);
void YYGridEditorDeleteRow(INTEGER window, INTEGER rowLabels, INTEGER rowCount);
void YYGridEditorInsertRow(INTEGER window, INTEGER rowLabels, INTEGER rowCount, INTEGER position);
void YYGridEditorSort(INTEGER window, INTEGER rowLabels, INTEGER& result);
void YYGridEditorPrint(INTEGER window, INTEGER firstRow, INTEGER lastRow, INTEGER firstColumn, INTEGER lastColumn,
                       INTEGER& result);
void YYGridEditorSaveHtml(INTEGER window, INTEGER firstRow, INTEGER lastRow, INTEGER firstColumn, INTEGER lastColumn,
                          INTEGER& result, INTEGER backup, const std::string& editorFile);
void YYGridEditorSaveCsv(INTEGER window, INTEGER saveAs, INTEGER& result, INTEGER& filterIndex, INTEGER backup,
                         INTEGER labelLine, INTEGER firstRow, INTEGER lastRow, INTEGER firstColumn, INTEGER lastColumn,
                         std::string& fileName, const char* fileFilter);
void YYGridEditorLoadCsv(INTEGER window, INTEGER ask, INTEGER rowCount, INTEGER& result, INTEGER& filterIndex,
                         INTEGER labelLine, std::string& fileName, const char* fileFilter);
