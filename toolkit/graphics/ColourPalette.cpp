#include "toolkit/graphics/ColourPalette.h"

DefaultPalette& defaultPalette()
{
    static DefaultPalette palette;
    return palette;
}

namespace {

struct Family {
    int red, green, blue, redStep, greenStep, blueStep;
};

constexpr std::array<Family, 16> kFamilies{{
    {255, 255, 255, -4, -4, -4}, {195, 0, 0, 4, 0, 0},     {131, 0, 0, 4, 0, 0},       {195, 195, 0, 4, 4, 0},
    {131, 131, 0, 4, 4, 0},      {0, 195, 0, 0, 4, 0},     {0, 131, 0, 0, 4, 0},       {0, 195, 195, 0, 4, 4},
    {0, 131, 131, 0, 4, 4},      {0, 0, 195, 0, 0, 4},     {0, 0, 131, 0, 0, 4},       {195, 0, 195, 4, 0, 4},
    {131, 0, 131, 4, 0, 4},      {60, 60, 60, -4, -4, -4}, {124, 124, 124, -4, -4, -4}, {191, 191, 191, -4, -4, -4},
}};

// The sixteen colours of a 16-slot screen, in slot order.
constexpr std::array<int, 16> kSixteen{0, 175, 111, 143, 47, 207, 79, 239, 240, 159, 95, 127, 31, 191, 63, 223};

}  // namespace

void YYPaletteDefault()
{
    auto& entries = defaultPalette().Entries;
    for (int f = 0; f < 16; ++f) {
        const Family& family = kFamilies[static_cast<std::size_t>(f)];
        for (int k = 0; k < 16; ++k) {
            const int r = family.red + k * family.redStep, g = family.green + k * family.greenStep,
                      b = family.blue + k * family.blueStep;
            entries[static_cast<std::size_t>(16 * f + k)] = r + 256 * g + 65536 * b;
        }
    }
}

std::vector<INTEGER> YYScreenPaletteColours(INTEGER slotCount)
{
    const auto& entries = defaultPalette().Entries;
    std::vector<INTEGER> colours;
    if (slotCount == 16) {
        for (int index : kSixteen) colours.push_back(entries[static_cast<std::size_t>(index)]);
        return colours;
    }
    if (slotCount != 32 && slotCount != 64 && slotCount != 128) return colours;
    const int step = 256 / slotCount, shades = slotCount / 16;
    for (int f = 0; f < 16; ++f)
        for (int j = 0; j < shades; ++j) {
            // The bright families take the last shade of each step so that full red, full green ... survive.
            const int index = (f == 0 || f == 15) ? 16 * f + step * j : 16 * f + step * j + step - 1;
            colours.push_back(entries[static_cast<std::size_t>(index)]);
        }
    return colours;
}
