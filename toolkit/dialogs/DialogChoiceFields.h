// Fields that hold a choice or a position: list and combo boxes ("menus"), progress bars,
// trackbars and tab pages, and clearing a field of any kind.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

// 1 single-selection list, 2 drop-down list, 3 editable combo, 4 multiple-selection list, -1 other.
enum MenuFieldKind : INTEGER {
    kMenuOther = -1, kMenuList = 1, kMenuDropList = 2, kMenuEditableCombo = 3, kMenuMultiList = 4,
};

// Replaces the entries (count of the texts, trailing blanks dropped) and selects option (1-based,
// 0 none); an editable combo with option 0 takes the text as its choice or its typed text.
void WDialogPutMenu(INTEGER field, std::span<const std::string> texts, INTEGER count, INTEGER option,
                    std::optional<std::string_view> text = std::nullopt);
// The selected option (1-based; 0 a typed text that is no entry; -999 none) and, when asked, its
// text blank-padded to the text's length.
void WDialogGetMenu(INTEGER field, INTEGER& option, std::string* text = nullptr);
void WDialogPutOption(INTEGER field, INTEGER option);
void WDialogRangeProgressBar(INTEGER field, INTEGER minimum, INTEGER maximum);
// Mode absent or 0 sets the position; any other mode advances it by the value.
void WDialogPutProgressBar(INTEGER field, INTEGER value, std::optional<INTEGER> mode = std::nullopt);

// Toolkit-internal: workers on a field of the current dialog; field := -1 when the control does
// not exist or is of the wrong class.

void YYFieldClear(INTEGER& field);
INTEGER YYMenuFieldKind(INTEGER& field);
void YYMenuFieldAdd(INTEGER& field, std::string_view text);
void YYMenuFieldSelect(INTEGER& field, INTEGER index);
void YYComboSelectText(INTEGER& field, std::string_view text);
// 1-based selection, -1 none; the text when asked.
INTEGER YYFieldGetListText(INTEGER& field, std::string* text);
INTEGER YYFieldGetComboSel(INTEGER& field, std::string* text);
void YYProgressRange(INTEGER& field, INTEGER minimum, INTEGER maximum);
void YYProgressPut(INTEGER& field, INTEGER value, INTEGER mode);
void YYTrackbarRange(INTEGER& field, INTEGER minimum, INTEGER maximum, INTEGER tickEvery);
void YYTrackbarSteps(INTEGER& field, INTEGER line, INTEGER page);
void YYTrackbarPut(INTEGER& field, INTEGER position, INTEGER mode, INTEGER selectionStart, INTEGER selectionEnd);
void YYTrackbarGet(INTEGER& field, INTEGER& position, INTEGER& selectionStart, INTEGER& selectionEnd);
void YYTrackbarRangeOf(INTEGER& field, INTEGER& minimum, INTEGER& maximum);
// The page dialog identifier of the selected tab; 0 none.
INTEGER YYTabGetCurrent(INTEGER& field);
