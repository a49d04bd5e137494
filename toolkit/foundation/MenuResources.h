// The byte formats of the resources that come with a menu or a toolbar, read without the Windows
// API so that damaged resources can be tried natively: every reader stops at the end of the bytes
// it is given, whatever the records claim.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"

// One record of a menu's MenuPopupIdResource (RT_RCDATA with the menu's identifier): the
// identifier a pop-up or item receives, and the 1-based positions down the menu tree that lead
// to it (the last one names the item).
struct MenuPopupIdRecord {
    std::uint16_t Command = 0;
    std::vector<std::uint16_t> Positions;
};

// A ToolbarResource (RT_RCDATA next to a BITMAP of the same identifier): the button image size
// and one command identifier per button, 0 for a separator.
struct ToolbarResource {
    int ImageWidth = 16;
    int ImageHeight = 16;
    std::vector<std::uint16_t> Commands;
};

// The records up to the one with identifier 0 (or the end of the words).
std::vector<MenuPopupIdRecord> YYReadMenuPopupIds(std::span<const std::uint16_t> words);

// Width, height, then the buttons up to the first pair of consecutive zero words.
ToolbarResource YYReadToolbarResource(std::span<const std::uint16_t> words);

// The help text of a command in "DOVEMENUSTRING" records (16-bit identifier, NUL-terminated text,
// identifier 0 ends the list); false when the records do not hold it.
bool YYMenuStringLookUp(std::string_view records, INTEGER command, std::string& text);
