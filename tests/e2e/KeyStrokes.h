// Key strokes as a user types them, for SendInput: "{Down}" names a key, "{+Tab}" holds Shift
// with it, "{^A}" holds Ctrl with a letter's key, and any other character is typed with its own key
// (Shift held where the keyboard layout needs it). Shared by the tests that type into the program's
// windows through the system's input queue.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/foundation/WinApi.h"

namespace KeyStrokes {

// The strokes of the text; unknown receives a key name the text uses that has no key.
inline std::vector<INPUT> strokes(std::string_view keys, std::string& unknown)
{
    struct Named {
        std::string_view name;
        WORD key;
    };
    static const Named named[] = {{"Down", VK_DOWN}, {"Up", VK_UP},     {"Left", VK_LEFT},     {"Right", VK_RIGHT},
                                  {"Tab", VK_TAB},   {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE}, {"Back", VK_BACK},
                                  {"Del", VK_DELETE}, {"Home", VK_HOME},  {"End", VK_END},       {"F2", VK_F2}};
    std::vector<INPUT> inputs;
    const auto stroke = [&](WORD key, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(in);
    };
    const auto press = [&](WORD key, WORD held) {
        if (held) stroke(held, false);
        stroke(key, false);
        stroke(key, true);
        if (held) stroke(held, true);
    };
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] != '{') {
            const SHORT scan = VkKeyScanA(keys[i]);
            press(LOBYTE(scan), (HIBYTE(scan) & 1) ? VK_SHIFT : 0);
            continue;
        }
        const std::size_t end = keys.find('}', i);
        std::string_view name = keys.substr(i + 1, end - i - 1);
        i = end;
        WORD held = 0;
        if (!name.empty() && (name.front() == '+' || name.front() == '^')) {
            held = name.front() == '+' ? VK_SHIFT : VK_CONTROL;
            name.remove_prefix(1);
        }
        WORD key = name.size() == 1 ? static_cast<WORD>(LOBYTE(VkKeyScanA(name.front()))) : 0;
        for (const Named& n : named)
            if (n.name == name) key = n.key;
        if (key == 0) unknown = std::string(name);
        else press(key, held);
    }
    return inputs;
}

}  // namespace KeyStrokes
