#include "toolkit/foundation/CharacterRoutines.h"

#include <algorithm>

namespace {

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string upperCopy(std::string_view text)
{
    std::string copy(text);
    YYUpperCase(copy);
    return copy;
}

}  // namespace

BeepControlHooks& beepControlHooks()
{
    static BeepControlHooks hooks;
    return hooks;
}

void YYUpperCase(std::string& text) { std::transform(text.begin(), text.end(), text.begin(), upper); }

void YYLowerCase(std::string& text) { std::transform(text.begin(), text.end(), text.begin(), lower); }

INTEGER YYFirstNonBlank(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] != ' ' && text[i] != '\0') return static_cast<INTEGER>(i + 1);
    return 0;
}

void YYFirstWord(std::string_view text, INTEGER& first, INTEGER& last)
{
    first = 0;
    last = 0;
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return;
    const std::size_t end = text.find(' ', start);
    first = static_cast<INTEGER>(start + 1);
    last = static_cast<INTEGER>(end == std::string_view::npos ? text.size() : end);
}

INTEGER YYFindSubstring(std::string_view text, std::string_view pattern, LOGICAL backward)
{
    if (pattern.size() > text.size()) return 0;
    const std::string t = upperCopy(text), p = upperCopy(pattern);
    const std::size_t at = isTrue(backward) ? t.rfind(p) : t.find(p);
    return at == std::string::npos ? 0 : static_cast<INTEGER>(at + 1);
}

LOGICAL YYCharInSet(std::string_view set, char character)
{
    if (set.find(character) != std::string_view::npos) return kTrue;
    return toLogical(set.find(lower(character)) != std::string_view::npos);
}

void WBeepControl(std::string_view text)
{
    std::string word(text.substr(0, std::min<std::size_t>(3, text.size())));
    word.resize(3, ' ');
    YYUpperCase(word);
    const BeepControlHooks& hooks = beepControlHooks();
    if (word == "ON ") {
        if (hooks.beepSwitch) hooks.beepSwitch(1);
    } else if (word == "OFF") {
        if (hooks.beepSwitch) hooks.beepSwitch(0);
    } else if (hooks.beep) {
        hooks.beep();
    }
}
