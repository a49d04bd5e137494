// Grid contents to and from files: comma-separated text written and read back with every value
// checked against its column's kind, and HTML table documents. A save writes a work file and puts
// it in place of the old one only when it was written whole; a load reads what the grid can take
// before it changes a cell (a failed read leaves the grid as it was), and no more: the rest of a
// longer file is left unread and reported (1054).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "toolkit/dialogs/GridFileText.h"
#include "toolkit/foundation/CoreTypes.h"

// Columns and rows 1-based; absent bounds mean the whole grid (GridCsvOption bits).
void WGridSave(INTEGER field, std::string_view filename, std::optional<INTEGER> firstColumn = std::nullopt,
               std::optional<INTEGER> lastColumn = std::nullopt, std::optional<INTEGER> firstRow = std::nullopt,
               std::optional<INTEGER> lastRow = std::nullopt, INTEGER options = 0);
// grow 1: the grid may gain rows up to its capacity; options bit 2: labels.
void WGridLoad(INTEGER field, std::string_view filename, INTEGER grow = 0, INTEGER options = 0);
// GridHtmlOption bits; the background colour packed as red + 256 green + 65536 blue.
void WGridSaveHTML(INTEGER field, std::string_view filename, std::optional<INTEGER> firstColumn = std::nullopt,
                   std::optional<INTEGER> lastColumn = std::nullopt, std::optional<INTEGER> firstRow = std::nullopt,
                   std::optional<INTEGER> lastRow = std::nullopt, INTEGER options = 0,
                   std::optional<std::string_view> title = std::nullopt, std::optional<INTEGER> border = std::nullopt,
                   std::optional<INTEGER> background = std::nullopt);

// Toolkit-internal

// Adds the text as one line (ended by CR LF) to the document unless the status holds a failure.
void YYGridHtmlLine(std::string& document, std::string_view text, INTEGER& status);
