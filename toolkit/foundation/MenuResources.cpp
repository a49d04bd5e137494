#include "toolkit/foundation/MenuResources.h"

#include <algorithm>

std::vector<MenuPopupIdRecord> YYReadMenuPopupIds(std::span<const std::uint16_t> words)
{
    std::vector<MenuPopupIdRecord> records;
    std::size_t at = 0;
    while (at < words.size() && words[at] != 0) {
        MenuPopupIdRecord record;
        record.Command = words[at++];
        while (at < words.size() && words[at] != 0) record.Positions.push_back(words[at++]);
        ++at;  // the record's closing 0
        records.push_back(std::move(record));
    }
    return records;
}

ToolbarResource YYReadToolbarResource(std::span<const std::uint16_t> words)
{
    ToolbarResource toolbar;
    if (words.size() > 0) toolbar.ImageWidth = words[0];
    if (words.size() > 1) toolbar.ImageHeight = words[1];
    for (std::size_t i = 2; i < words.size(); ++i) {
        if (words[i] == 0 && (i + 1 >= words.size() || words[i + 1] == 0)) break;
        toolbar.Commands.push_back(words[i]);
    }
    return toolbar;
}

bool YYMenuStringLookUp(std::string_view records, INTEGER command, std::string& text)
{
    std::size_t at = 0;
    while (at + 2 <= records.size()) {
        const unsigned id = static_cast<unsigned char>(records[at]) | (static_cast<unsigned char>(records[at + 1]) << 8);
        at += 2;
        if (id == 0) return false;
        const std::size_t end = std::min(records.find('\0', at), records.size());
        if (static_cast<INTEGER>(id) == command) {
            text.assign(records.substr(at, end - at));
            return true;
        }
        at = end + 1;
    }
    return false;
}
