// Test binding of WBRVLib/ToolkitLink.h: boxes, events and dialogs answer from a script, the
// program path is whatever the test sets, folders are the real ones. The graphics calls go to the
// real platform-free graphics layer; only the calls that need Windows (the window clear, the
// hardcopy start) are recorded here.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EventRecord.h"

namespace ToolkitLinkFake {

struct ShownBox {
    INTEGER ButtonSet, Icon, DefaultButton;
    std::string Message, Caption;
};

struct Script {
    std::deque<INTEGER> BoxResults;          // WDialogQuery(4) after each box; -1 when empty
    std::deque<INTEGER> ExitButtons;         // WDialogQuery(1) after each modal WDialogShow
    std::deque<std::pair<INTEGER, EventRecord>> Events;    // WEventPeek; type -1 when empty
    std::vector<ShownBox> Boxes;             // every box shown
    std::vector<INTEGER> LoadedDialogs;
    std::vector<std::pair<INTEGER, std::string>> PutStrings;
    std::string ProgramPath;                 // IOsCommandWord(0)
    std::string UserName;
    std::vector<std::string> MadeFolders;
    // WindowClearArea and IGrHardcopyBeginEnd in call order, written as
    // "WindowClearArea(x1,y1,x2,y2,colour)" (absent arguments as "-") and
    // "IGrHardcopyBeginEnd(action,title)".
    std::vector<std::string> WindowCalls;
    // Grid cells by (field, column, row) with the format each was written with ("-" for none);
    // WGridPutReal clears rows n+1..GridRows of its column. Empty cells read as -999.0.
    struct Cell {
        REAL Value = 0;
        std::string Format;
    };
    std::map<std::tuple<INTEGER, INTEGER, INTEGER>, Cell> GridCells;
    INTEGER GridRows = 1000;
    // The grid calls in order: "WGridPutReal(field,column,n,format)", "WGridPutCellReal(field,
    // column,row,format)", "WGridClearCell(field,column,row)" (an absent format as "-").
    std::vector<std::string> GridCalls;
    std::map<INTEGER, INTEGER> CheckBoxes;   // WDialogPutCheckBox / WDialogGetCheckBox (0 when unset)
    struct PutReal {
        INTEGER Field;
        REAL Value;
        std::string Format;
    };
    std::vector<PutReal> PutReals;           // WDialogPutReal
};

// The script; reset() empties it.
Script& script();
void reset();

}  // namespace ToolkitLinkFake
