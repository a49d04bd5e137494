#include "tests/support/ToolkitLinkFake.h"

#include "WBRVLib/ToolkitLink.h"

#include <optional>

#include <filesystem>
#include <system_error>

namespace {
struct FakeResults {
    INTEGER LastBox = 0;
    INTEGER LastExit = 0;
};
FakeResults& results()
{
    static FakeResults r;
    return r;
}
std::string trimmed(std::string_view text)
{
    std::size_t n = text.size();
    while (n > 0 && text[n - 1] == ' ') --n;
    return std::string(text.substr(0, n));
}
std::string padded(std::string text, std::size_t length)
{
    if (text.size() < length) text.resize(length, ' ');
    return text;
}
}  // namespace

namespace ToolkitLinkFake {
Script& script()
{
    static Script s;
    return s;
}
void reset()
{
    script() = Script{};
    results() = FakeResults{};
}
}  // namespace ToolkitLinkFake

using ToolkitLinkFake::script;

void WMessageBox(INTEGER buttonSet, INTEGER icon, INTEGER defaultButton, std::string_view message, std::string_view caption)
{
    script().Boxes.push_back({buttonSet, icon, defaultButton, std::string(message), std::string(caption)});
    auto& queue = script().BoxResults;
    results().LastBox = queue.empty() ? -1 : queue.front();
    if (!queue.empty()) queue.pop_front();
}

INTEGER WDialogQuery(INTEGER code)
{
    if (code == 4) return results().LastBox;
    if (code == 1) return results().LastExit;
    return 0;
}

void WEventPeek(INTEGER& type, EventRecord& record)
{
    auto& queue = script().Events;
    if (queue.empty()) {
        type = kEventNone;
        for (int word : {0, 1, 2, 3, 4, 5, 6, 11}) record[static_cast<std::size_t>(word)] = -1;
        return;
    }
    type = queue.front().first;
    record = queue.front().second;
    queue.pop_front();
}

void WDialogLoad(INTEGER dialogId, std::optional<INTEGER>, std::optional<INTEGER>) { script().LoadedDialogs.push_back(dialogId); }
void WDialogPutString(INTEGER fieldId, std::string_view text) { script().PutStrings.emplace_back(fieldId, std::string(text)); }
void WDialogShow(std::optional<INTEGER>, std::optional<INTEGER>, std::optional<INTEGER>, std::optional<INTEGER> modeArgument)
{
    if (modeArgument.value_or(0) != 1) return;
    auto& queue = script().ExitButtons;
    results().LastExit = queue.empty() ? 0 : queue.front();
    if (!queue.empty()) queue.pop_front();
}

// As the toolkit does: the word fills the caller's text to its length, cut or blank-padded.
void IOsCommandWord(INTEGER number, std::string& word) { word = padded(number == 0 ? script().ProgramPath : std::string(), word.size()); }
void IOsUserName(std::string& name) { name = padded(script().UserName, 80); }
LOGICAL IOsDirIsPresent(std::string_view path)
{
    std::error_code error;
    return toLogical(std::filesystem::is_directory(trimmed(path), error));
}
void IOsDirMake(std::string_view path)
{
    script().MadeFolders.push_back(trimmed(path));
    std::error_code error;
    std::filesystem::create_directory(trimmed(path), error);
}
void IOsDirChange(std::string_view path)
{
    std::error_code error;
    std::filesystem::current_path(trimmed(path), error);
}
void IOsDirName(std::string& name)
{
    std::error_code error;
    name = padded(std::filesystem::current_path(error).string(), 255);
}
void WindowClearArea(std::optional<INTEGER> x1, std::optional<INTEGER> y1, std::optional<INTEGER> x2,
                     std::optional<INTEGER> y2, std::optional<INTEGER> colour)
{
    std::string call = "WindowClearArea(";
    const std::optional<INTEGER> arguments[] = {x1, y1, x2, y2, colour};
    for (std::size_t i = 0; i < 5; ++i) {
        if (i > 0) call += ',';
        call += arguments[i] ? std::to_string(*arguments[i]) : std::string("-");
    }
    script().WindowCalls.push_back(call + ")");
}
void IGrHardcopyBeginEnd(std::optional<std::string_view> action, std::optional<std::string_view> title)
{
    script().WindowCalls.push_back("IGrHardcopyBeginEnd(" + std::string(action.value_or("")) + "," +
                                   std::string(title.value_or("")) + ")");
}

namespace {
std::string formatText(std::optional<std::string_view> format) { return format ? std::string(*format) : std::string("-"); }
}  // namespace

void WDialogPutReal(INTEGER field, REAL value, std::optional<std::string_view> format)
{
    script().PutReals.push_back({field, value, formatText(format)});
}
void WDialogPutCheckBox(INTEGER field, INTEGER state) { script().CheckBoxes[field] = state; }
void WDialogGetCheckBox(INTEGER field, INTEGER& state)
{
    const auto found = script().CheckBoxes.find(field);
    state = found == script().CheckBoxes.end() ? 0 : found->second;
}
void WGridPutReal(INTEGER field, INTEGER column, const std::vector<REAL>& values, INTEGER n,
                  std::optional<std::string_view> format)
{
    ToolkitLinkFake::Script& s = script();
    s.GridCalls.push_back("WGridPutReal(" + std::to_string(field) + "," + std::to_string(column) + "," +
                          std::to_string(n) + "," + formatText(format) + ")");
    for (INTEGER row = 1; row <= s.GridRows; ++row) {
        if (row <= n && static_cast<std::size_t>(row) <= values.size())
            s.GridCells[{field, column, row}] = {values[static_cast<std::size_t>(row - 1)], formatText(format)};
        else
            s.GridCells.erase({field, column, row});
    }
}
void WGridPutCellReal(INTEGER field, INTEGER column, INTEGER row, REAL value, std::optional<std::string_view> format)
{
    script().GridCalls.push_back("WGridPutCellReal(" + std::to_string(field) + "," + std::to_string(column) + "," +
                                 std::to_string(row) + "," + formatText(format) + ")");
    script().GridCells[{field, column, row}] = {value, formatText(format)};
}
void WGridGetCellReal(INTEGER field, INTEGER column, INTEGER row, REAL& value)
{
    const auto found = script().GridCells.find({field, column, row});
    value = found == script().GridCells.end() ? -999.0f : found->second.Value;
}
void WGridClearCell(INTEGER field, INTEGER column, INTEGER row)
{
    script().GridCalls.push_back("WGridClearCell(" + std::to_string(field) + "," + std::to_string(column) + "," +
                                 std::to_string(row) + ")");
    script().GridCells.erase({field, column, row});
}
INTEGER WInfoGridCell(INTEGER field, INTEGER column, INTEGER row, INTEGER code)
{
    if (code != 1) return 0;
    return script().GridCells.count({field, column, row}) ? 1 : 0;
}
