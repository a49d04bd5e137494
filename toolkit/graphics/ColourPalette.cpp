#include "toolkit/graphics/ColourPalette.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"

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

constexpr std::array<int, 8> kEight{0, 159, 95, 127, 31, 191, 63, 223};
// The sixteen colours of a 16-slot device, in slot order.
constexpr std::array<int, 16> kSixteen{0, 175, 111, 143, 47, 207, 79, 239, 240, 159, 95, 127, 31, 191, 63, 223};
// Colour group 0..7 to 8-colour slot; the second row has no caller.
constexpr std::array<std::array<INTEGER, 8>, 2> kGroupSlots{{{0, 4, 6, 2, 3, 1, 5, 7}, {0, 5, 3, 4, 1, 6, 2, 7}}};
// Colours by name code modulo 8: palette row in slot order (white first), RGB row in code order.
constexpr std::array<INTEGER, 8> kNamePalette{0, 159, 95, 127, 31, 191, 63, 223};
constexpr std::array<INTEGER, 8> kNameRgb{0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

std::size_t at(INTEGER i) { return static_cast<std::size_t>(i); }

INTEGER colourGroup(INTEGER index) { return ((index + 16) / 32) % 8; }
bool brightHalf(INTEGER index) { return (index / 16) % 2 == 1; }

void computeCone(INTEGER index)
{
    DefaultPalette& p = defaultPalette();
    REAL h = 0, s = 0, v = 0;
    YYRgbToHsv(p.Entries[at(index)], h, s, v);
    p.ConeX[at(index)] = s * v * std::cos(h);
    p.ConeY[at(index)] = s * v * std::sin(h);
    p.ConeZ[at(index)] = v;
}

bool slotCountWide(INTEGER n) { return n >= 32 && n <= 128; }

// A layer that needs palette indices: an active drawable or hardcopy whose device is not true colour.
bool needsIndex()
{
    const GraphicsState& s = graphicsState();
    const DeviceCapabilityTable& caps = deviceCapabilityTable();
    return (s.DrawableActive != 0 && caps.TrueColour[0] == 0) || (s.HardcopyActive > 0 && caps.TrueColour[1] == 0);
}

void sendColour(INTEGER target)
{
    const GraphicsState& s = graphicsState();
    if (target != 2 && s.DrawableActive > 0) YYDriverCurrent(OpColour);
    if (target != 1) YYDriverHardcopy(OpColour);
}

}  // namespace

void YYPaletteDefault()
{
    DefaultPalette& p = defaultPalette();
    for (int f = 0; f < 16; ++f) {
        const Family& family = kFamilies[at(f)];
        for (int k = 0; k < 16; ++k) {
            const int r = family.red + k * family.redStep, g = family.green + k * family.greenStep,
                      b = family.blue + k * family.blueStep;
            p.Entries[at(16 * f + k)] = r + 256 * g + 65536 * b;
        }
    }
    for (std::size_t j = 0; j < 8; ++j) p.SlotColourTable8[j] = p.Entries[at(kEight[j])];
    for (std::size_t j = 0; j < 16; ++j) p.SlotColourTable16[j] = p.Entries[at(kSixteen[j])];
    YYSlotColoursSeed();
    for (INTEGER i = 0; i < 256; ++i) computeCone(i);
}

std::vector<INTEGER> YYScreenPaletteColours(INTEGER slotCount)
{
    const auto& entries = defaultPalette().Entries;
    std::vector<INTEGER> colours;
    if (slotCount == 16) {
        for (int index : kSixteen) colours.push_back(entries[at(index)]);
        return colours;
    }
    if (slotCount != 32 && slotCount != 64 && slotCount != 128) return colours;
    const int step = 256 / slotCount;
    for (int j = 0; j < slotCount; ++j) {
        const int s = j * step;
        // The white ramp and the light greys start bright; the other runs take their most intense entry.
        colours.push_back(entries[at((s < 16 || s > 239) ? s : s + step - 1)]);
    }
    return colours;
}

void YYSplitRGB(INTEGER colour, INTEGER* red, INTEGER* green, INTEGER* blue)
{
    if (red) *red = colour % 256;
    if (green) *green = (colour / 256) % 256;
    if (blue) *blue = (colour / 65536) % 256;
}

INTEGER IGrPackRGB(INTEGER red, INTEGER green, INTEGER blue)
{
    // Wrapping arithmetic: the packed value is given without clamping or masking.
    return static_cast<INTEGER>(static_cast<std::uint32_t>(red) + 256u * static_cast<std::uint32_t>(green) +
                                65536u * static_cast<std::uint32_t>(blue));
}

void YYPaletteRGB(INTEGER index, INTEGER& value)
{
    value = (index >= 0 && index < 256) ? defaultPalette().Entries[at(index)] : 0;
}

void YYPalette8(INTEGER slot, INTEGER& value)
{
    value = (slot >= 0 && slot < 8) ? defaultPalette().SlotColourTable8[at(slot)] : 0;
}

void YYPalette16(INTEGER slot, INTEGER& value)
{
    value = (slot >= 0 && slot < 16) ? defaultPalette().SlotColourTable16[at(slot)] : 0;
}

void YYPaletteN(INTEGER slot, INTEGER& value)
{
    value = (slot >= 0 && slot < 128) ? defaultPalette().SlotColourTableN[at(slot)] : 0;
}

void YYColourToRGB(INTEGER colour, INTEGER& red, INTEGER& green, INTEGER& blue)
{
    INTEGER v = colour;
    if (graphicsState().ColourModel != kRgbMode) YYPaletteRGB(colour, v);
    YYSplitRGB(v, &red, &green, &blue);
}

void YYPaletteSet(INTEGER index, INTEGER value)
{
    if (index < 0 || index > 255) return;
    DefaultPalette& p = defaultPalette();
    p.Entries[at(index)] = value;
    const INTEGER slot = kGroupSlots[0][at(colourGroup(index))];
    p.SlotColourTable8[at(slot)] = value;
    p.SlotColourTable16[at(slot + (brightHalf(index) ? 8 : 0))] = value;
    const INTEGER n = graphicsState().DeviceColours;
    if (slotCountWide(n)) p.SlotColourTableN[at((index * n) / 256)] = value;
    computeCone(index);
}

INTEGER YYPalette16Index(INTEGER group, INTEGER selector)
{
    if (group < 0 || group > 15) return -1;
    const auto& row = kGroupSlots[selector == 1 ? 1 : 0];
    return row[at(group % 8)] + (group >= 8 ? 8 : 0);
}

INTEGER YYDeviceColour(INTEGER index)
{
    if (index == -1) return -1;
    if (index == 0) return 0;
    const INTEGER n = graphicsState().DeviceColours;
    switch (n) {
    case 1:
    case 2: return 1;
    case 4:
    case 8: return kGroupSlots[0][at(colourGroup(index))];
    case 16: return kGroupSlots[0][at(colourGroup(index))] + (brightHalf(index) ? 8 : 0);
    case 32:
    case 64:
    case 128: return (index * n) / 256;
    default: return index;  // 256 colours, and any count without slots of its own
    }
}

void YYRgbToHsv(INTEGER value, REAL& hue, REAL& saturation, REAL& brightness)
{
    INTEGER r = 0, g = 0, b = 0;
    YYSplitRGB(value, &r, &g, &b);
    const INTEGER mx = std::max({r, g, b}), mn = std::min({r, g, b});
    brightness = static_cast<REAL>(mx) / 255.0f;
    if (mx == mn) {
        saturation = 0.0f;
        hue = 0.0f;
        return;
    }
    const REAL v = brightness, rr = static_cast<REAL>(r) / 255.0f, gg = static_cast<REAL>(g) / 255.0f,
               bb = static_cast<REAL>(b) / 255.0f, nn = static_cast<REAL>(mn) / 255.0f;
    const REAL d = v - nn;
    const auto closeTo = [](REAL a, REAL c) { return std::fabs(a - c) < 0.039f; };
    REAL sector = 0.0f;
    if (closeTo(v, rr)) sector = closeTo(nn, gg) ? 5.0f + (v - bb) / d : 1.0f - (v - gg) / d;
    else if (closeTo(v, gg)) sector = closeTo(nn, bb) ? 1.0f + (v - rr) / d : 3.0f - (v - bb) / d;
    else sector = closeTo(nn, rr) ? 3.0f + (v - gg) / d : 5.0f - (v - rr) / d;
    saturation = d / v;
    hue = sector * 60.0f * 0.017453292f;
}

void YYPaletteNearest(INTEGER value, INTEGER& index)
{
    const DefaultPalette& p = defaultPalette();
    for (INTEGER i = 0; i < 256; ++i)
        if (p.Entries[at(i)] == value) {
            index = i;
            return;
        }
    REAL h = 0, s = 0, v = 0;
    YYRgbToHsv(value, h, s, v);
    const REAL x = s * v * std::cos(h), y = s * v * std::sin(h), z = v;
    REAL best = 9999999.0f;
    index = 0;
    for (INTEGER i = 0; i < 256; ++i) {
        const REAL dx = x - p.ConeX[at(i)], dy = y - p.ConeY[at(i)], dz = z - p.ConeZ[at(i)];
        const REAL d = dx * dx + dy * dy + dz * dz;
        if (d < best) {
            best = d;
            index = i;
        }
    }
}

void YYColourTriple(INTEGER index, INTEGER rgb, INTEGER device, INTEGER target)
{
    GraphicsState& s = graphicsState();
    s.ColourIndex = {s.ColourIndex[1], index};
    s.ColourRGB = {s.ColourRGB[1], rgb};
    s.ColourDevice = {s.ColourDevice[1], device};
    sendColour(target);
}

void IGrColourN(INTEGER n)
{
    const GraphicsState& s = graphicsState();
    INTEGER index = -1, rgb = n;
    if (s.ColourModel != kRgbMode) {
        if (n < 0 || n > 255) {
            YYErrorReport(42, "IGrColourN");
            return;
        }
        index = n;
        YYPaletteRGB(n, rgb);
    } else if (needsIndex()) {
        YYPaletteNearest(n, index);
    }
    YYColourTriple(index, rgb, YYDeviceColour(index), 0);
}

void YYColourModel(INTEGER depth)
{
    GraphicsState& s = graphicsState();
    if (depth == 24) {
        s.ColourModel = kRgbMode;
        return;
    }
    s.ColourModel = kPaletteMode;
    for (std::size_t k = 0; k < 2; ++k)
        if (s.ColourIndex[k] == -1) YYPaletteNearest(s.ColourRGB[k], s.ColourIndex[k]);
}

INTEGER YYColourNameCode(std::string_view name)
{
    const std::size_t start = name.find_first_not_of(' ');
    if (start == std::string_view::npos) return -1;
    std::string_view word = name.substr(start);
    word = word.substr(0, word.find(' '));
    char c[4] = {' ', ' ', ' ', ' '};
    for (std::size_t i = 0; i < 4 && i < word.size(); ++i) {
        const char ch = word[i];
        c[i] = (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
    }
    INTEGER offset = 0;
    std::size_t first = 0;
    if (c[0] == 'B' && c[1] != 'L') {
        offset = 8;
        first = 1;
    }
    const std::string_view head(c + first, 3);
    if (head == "BLA") return 0 + offset;
    if (head == "BLU") return 1 + offset;
    constexpr std::string_view letters = "GCRMYW";
    const std::size_t position = letters.find(c[first]);
    if (position == std::string_view::npos) return -1;
    return static_cast<INTEGER>(position) + 2 + offset;
}

void IGrColour(std::string_view name)
{
    const INTEGER code = YYColourNameCode(name);
    if (code < 0) {
        YYErrorReport(42, "IGrColour");
        return;
    }
    const INTEGER k = code % 8;
    if (graphicsState().ColourModel == kRgbMode) {
        IGrColourN(kNameRgb[at(k)]);
        return;
    }
    // The palette row lists white first and black last: exchange those two positions.
    const INTEGER slot = k == 0 ? 7 : (k == 7 ? 0 : k);
    IGrColourN(kNamePalette[at(slot)]);
}

INTEGER YYHlsComponent(REAL hue, REAL m1, REAL m2)
{
    const REAL hh = std::fmod(hue + 360.0f, 360.0f);
    REAL level = m1;
    if (hh < 60.0f) level = m1 + (m2 - m1) * hh / 60.0f;
    else if (hh < 180.0f) level = m2;
    else if (hh < 240.0f) level = m1 + (m2 - m1) * (240.0f - hh) / 60.0f;
    return static_cast<INTEGER>(level * 255.0f);
}

INTEGER YYHlsToRgb(INTEGER hue, INTEGER lightness, INTEGER saturation)
{
    const INTEGER h = std::clamp(hue, 0, 359), l = std::clamp(lightness, 0, 100), s = std::clamp(saturation, 0, 100);
    if (s == 0) return (l * 255 / 100) * 65793;
    const REAL ll = static_cast<REAL>(l) / 100.0f, ss = static_cast<REAL>(s) / 100.0f;
    REAL m1 = 0, m2 = 0;
    if (l < 50) {
        m2 = ll * (1.0f + ss);
        m1 = ll * (1.0f - ss);
    } else {
        m1 = ll * (1.0f + ss) - ss;
        m2 = ll * (1.0f - ss) + ss;
    }
    const REAL fh = static_cast<REAL>(h);
    return YYHlsComponent(fh, m1, m2) + 256 * YYHlsComponent(fh - 120.0f, m1, m2) +
           65536 * YYHlsComponent(fh + 120.0f, m1, m2);
}

namespace {

// An index outside the palette would write outside every table: refused like a bad colour number.
bool paletteIndexValid(INTEGER n, std::string_view routine)
{
    if (n >= 0 && n <= 255) return true;
    YYErrorReport(42, routine);
    return false;
}

void paletteEntry(INTEGER n, INTEGER rgb, INTEGER flag)
{
    DriverParameterBlock& block = driverParameterBlock();
    block.IntX1 = rgb;
    block.IntX4 = flag;
    block.Value = YYDeviceColour(n);
    block.Count = n;
    if (graphicsState().DrawableActive > 0) YYDriverCurrent(OpPaletteEntry);
    YYDriverHardcopy(OpPaletteEntry);
    YYPaletteSet(n, rgb);
}

}  // namespace

void IGrPaletteEntryRGB(INTEGER n, INTEGER rgb, INTEGER flag)
{
    if (paletteIndexValid(n, "IGrPaletteEntryRGB")) paletteEntry(n, rgb, flag);
}

void IGrDefineColourHLS(INTEGER n, INTEGER hue, INTEGER lightness, INTEGER saturation, INTEGER flag)
{
    if (paletteIndexValid(n, "IGrDefineColourHLS")) paletteEntry(n, YYHlsToRgb(hue, lightness, saturation), flag);
}

void YYSlotColoursSeed()
{
    DefaultPalette& p = defaultPalette();
    const INTEGER n = graphicsState().DeviceColours;
    if (!slotCountWide(n)) return;
    const INTEGER step = 256 / n;
    for (INTEGER j = 0; j < n; ++j) {
        const INTEGER s = j * step;
        p.SlotColourTableN[at(j)] = (s < 16 || s > 239) ? p.Entries[at(s)] : p.Entries[at(s + step - 1)];
    }
}
