#include "toolkit/dialogs/FieldTableText.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

struct Header {
    std::string_view text;
    FieldTableSection section;
};

constexpr Header kHeaders[] = {
    {"[Ranges]", FieldTableSection::Ranges},       {"[Menus]", FieldTableSection::Menus},
    {"[Checks]", FieldTableSection::Checks},       {"[Tabs]", FieldTableSection::Tabs},
    {"[Grids]", FieldTableSection::Grids},         {"[Colours]", FieldTableSection::Colours},
    {"[Trackbars]", FieldTableSection::Trackbars}, {"[Lengths]", FieldTableSection::Lengths},
    {"[Dialog]", FieldTableSection::DialogLine},   {"[Formats]", FieldTableSection::Formats},
    {"[Treeviews]", FieldTableSection::Treeviews}, {"[Fonts]", FieldTableSection::Fonts},
    {"[Flags]", FieldTableSection::Flags},
};

}  // namespace

INTEGER YYHeaderMatch(std::string_view header, std::string_view line)
{
    for (std::size_t i = 0; i < header.size(); ++i) {
        if (i >= line.size()) return static_cast<unsigned char>(header[i]);
        if (header[i] != line[i]) return static_cast<unsigned char>(header[i]) - static_cast<unsigned char>(line[i]);
    }
    return 0;
}

FieldTableSection fieldTableHeader(std::string_view line)
{
    while (!line.empty() && FieldTableTokens::isBlank(line.front())) line.remove_prefix(1);
    for (const Header& h : kHeaders)
        if (YYHeaderMatch(h.text, line) == 0) return h.section;
    return FieldTableSection::None;
}

bool FieldTableLines::next(std::string_view& line)
{
    if (position_ >= text_.size() || text_[position_] == '\0') return false;
    std::size_t end = text_.find('\n', position_);
    if (end == std::string_view::npos) end = text_.size();
    line = text_.substr(position_, end - position_);
    if (const std::size_t nul = line.find('\0'); nul != std::string_view::npos) {
        line = line.substr(0, nul);
        position_ = text_.size();
        return true;
    }
    position_ = end + 1;
    return true;
}

std::string_view FieldTableTokens::next()
{
    while (position_ < line_.size() && isBlank(line_[position_])) ++position_;
    const std::size_t start = position_;
    while (position_ < line_.size() && !isBlank(line_[position_])) ++position_;
    return line_.substr(start, position_ - start);
}

std::string_view FieldTableTokens::rest()
{
    while (position_ < line_.size() && isBlank(line_[position_])) ++position_;
    return line_.substr(position_);
}

INTEGER FieldTableTokens::integerOf(std::string_view token)
{
    std::size_t i = 0;
    const bool negative = !token.empty() && token[0] == '-';
    if (negative) ++i;
    long long value = 0;
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i) {
        value = value * 10 + (token[i] - '0');
        if (value > INT_MAX) value = INT_MAX;  // a longer number is held at the limit
    }
    return static_cast<INTEGER>(negative ? -value : value);
}

std::string_view fieldTableTrimRight(std::string_view text)
{
    while (!text.empty() && FieldTableTokens::isBlank(text.back())) text.remove_suffix(1);
    return text;
}

int fieldTableFontHeight(INTEGER points, INTEGER dotsPerInch)
{
    const double pixels = std::round(static_cast<double>(points) * static_cast<double>(dotsPerInch) / 72.0);
    return static_cast<int>(std::clamp(pixels, -32767.0, 32767.0));
}
