#include "toolkit/dialogs/GridFileText.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

void YYCsvQuote(std::string& text, std::size_t capacity)
{
    std::string quoted;
    quoted.reserve(text.size() + 8);
    for (const char c : text) {
        if (c == '"') quoted.push_back('"');
        quoted.push_back(c);
    }
    if (quoted.size() > capacity) quoted.resize(capacity);
    text = std::move(quoted);
}

void YYCsvField(std::string& text, std::size_t length)
{
    const std::size_t size = std::max(length, text.size());
    std::string collapsed;
    collapsed.reserve(size);
    for (std::size_t i = 0; i < text.size(); ++i) {
        collapsed.push_back(text[i]);
        if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"') ++i;
    }
    collapsed.resize(size, ' ');
    text = std::move(collapsed);
}

std::string YYCsvFieldText(std::string_view raw)
{
    std::string text;
    if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"') {
        text.assign(raw.substr(1, raw.size() - 2));
        YYCsvField(text, 0);
    } else {
        text.assign(raw);
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::string YYCsvFieldOf(std::string_view text, bool quote)
{
    if (!quote) return std::string(text);
    std::string quoted(text);
    YYCsvQuote(quoted, kGridCsvFieldLimit - 3);
    return '"' + quoted + '"';
}

GridCsvTarget GridCsvPlacement::next(INTEGER rows) const
{
    GridCsvTarget target;
    target.column = column_;
    target.row = row_;
    if (column_ >= columns_) return target;
    if (row_ < 0) {
        target.kind = column_ < 0 ? GridCsvTarget::CornerLabel : GridCsvTarget::ColumnLabel;
        return target;
    }
    if (row_ >= rows) return target;
    target.kind = column_ < 0 ? GridCsvTarget::RowLabel : GridCsvTarget::Cell;
    return target;
}

void GridCsvPlacement::advance(bool lineEnd)
{
    if (lineEnd) {
        ++row_;
        column_ = firstColumn_;
    } else if (column_ < columns_) {
        ++column_;  // held at the first surplus column, so that it never runs over
    }
}

void GridCsvCollector::take(std::string text, bool lineEnd)
{
    if (surplusRows_) return;
    const GridCsvTarget target = placement_.next(maxRows_);
    if (target.kind == GridCsvTarget::Surplus) {
        if (placement_.row() >= maxRows_) {
            surplusRows_ = true;
            return;
        }
        surplusColumns_ = true;
    } else {
        items_.push_back(Item{target, std::move(text), lineEnd});
    }
    placement_.advance(lineEnd);
}

bool GridCsvCollector::feed(std::string_view piece)
{
    if (!splitter_.feed(piece, [this](std::string text, bool lineEnd) { take(std::move(text), lineEnd); })) return false;
    return !surplusRows_;
}

void GridCsvCollector::finish()
{
    splitter_.finish([this](std::string text, bool lineEnd) { take(std::move(text), lineEnd); });
}

std::string YYHtmlEscape(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        default: escaped.push_back(c); break;
        }
    }
    return escaped;
}

std::string YYHtmlColour(INTEGER packed)
{
    const auto bits = static_cast<std::uint32_t>(packed);
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", static_cast<unsigned>(bits & 0xFF),
                  static_cast<unsigned>((bits >> 8) & 0xFF), static_cast<unsigned>((bits >> 16) & 0xFF));
    return text;
}
