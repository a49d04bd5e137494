#include "toolkit/devices/CgmWriters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/MetafileSlots.h"
#include "toolkit/devices/OutputUnit.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {

constexpr INTEGER kUnit = 2;
// A count byte holds at most 254 characters.
constexpr std::size_t kStringLimit = 254;

INTEGER& targetOverride()
{
    static INTEGER slot = 0;
    return slot;
}

INTEGER currentSlot() { return targetOverride() != 0 ? targetOverride() : graphicsState().DrawableId; }

std::array<std::uint8_t, 2> word(INTEGER value)
{
    const auto v = static_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>((v >> 8) & 0xFFu), static_cast<std::uint8_t>(v & 0xFFu)};
}

std::vector<std::uint8_t> stringBytes(std::string_view text, bool pad)
{
    const std::size_t n = std::min(text.size(), kStringLimit);
    std::vector<std::uint8_t> out;
    out.reserve(n + 2);
    out.push_back(static_cast<std::uint8_t>(n));
    for (std::size_t k = 0; k < n; ++k) out.push_back(static_cast<std::uint8_t>(text[k]));
    if (pad && n % 2 == 0) out.push_back(0);
    return out;
}

std::string_view chars(std::span<const std::uint8_t> bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

void fileBytes(std::span<const std::uint8_t> bytes) { YYPROU(kUnit, chars(bytes)); }

std::array<std::uint8_t, 10> triangleColours(INTEGER c1, INTEGER c2, INTEGER c3)
{
    std::array<std::uint8_t, 10> out{};
    std::size_t k = 0;
    for (const INTEGER c : {c1, c2, c3}) {
        out[k++] = static_cast<std::uint8_t>(c & 0xFF);
        out[k++] = static_cast<std::uint8_t>((c >> 8) & 0xFF);
        out[k++] = static_cast<std::uint8_t>((c >> 16) & 0xFF);
    }
    return out;
}

// The 1-based vertex numbers of triangle t, checked against the n corners.
bool corners(const INTEGER* triangles, INTEGER t, INTEGER n, std::array<std::size_t, 3>& v)
{
    for (std::size_t k = 0; k < 3; ++k) {
        const INTEGER number = triangles[3 * t + static_cast<INTEGER>(k)];
        if (number < 1 || number > n) return false;
        v[k] = static_cast<std::size_t>(number - 1);
    }
    return true;
}

}  // namespace

CgmTargetSlot::CgmTargetSlot(INTEGER slot) : previous_(targetOverride()) { targetOverride() = slot; }
CgmTargetSlot::~CgmTargetSlot() { targetOverride() = previous_; }

void YYGCGM1(std::span<const std::uint8_t> bytes)
{
    const INTEGER k = currentSlot();
    if (k < 1 || k > 20) {
        YYErrorReport(1062, "YYGCGM1");
        return;
    }
    MetafileSlot& s = metafileSlotTable().Slots[static_cast<std::size_t>(k - 1)];
    const std::int64_t used = s.Words[kSlotUsed];
    const std::int64_t last = used + static_cast<std::int64_t>(bytes.size());
    const std::int64_t capacity = std::min<std::int64_t>(s.Words[kSlotCapacity], static_cast<std::int64_t>(s.Bytes.size()));
    if (s.Words[kSlotKind] != kSlotKindCgm || used < 0 || last > capacity) {
        YYErrorReport(1062, "YYGCGM1");
        return;
    }
    std::copy(bytes.begin(), bytes.end(), s.Bytes.begin() + used);
    s.Words[kSlotUsed] = static_cast<INTEGER>(last);
}

void YYCgmElement(INTEGER elementClass, INTEGER id, INTEGER length)
{
    YYCgmWord(elementClass * 4096 + id * 32 + length);
}

void YYCgmWord(INTEGER value) { YYGCGM1(word(value)); }

void YYCgmPoint(INTEGER x, INTEGER y)
{
    const auto a = word(x), b = word(y);
    const std::array<std::uint8_t, 4> bytes{a[0], a[1], b[0], b[1]};
    YYGCGM1(bytes);
}

void YYCgmColour(INTEGER elementClass, INTEGER id, INTEGER red, INTEGER green, INTEGER blue)
{
    YYCgmElement(elementClass, id, 4);
    const std::array<std::uint8_t, 4> bytes{static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green),
                                            static_cast<std::uint8_t>(blue), 0};
    YYGCGM1(bytes);
}

void YYCgmString(std::string_view text) { YYGCGM1(stringBytes(text, false)); }
void YYCgmStringPad(std::string_view text) { YYGCGM1(stringBytes(text, true)); }

void YYCgmGradientTriangles(const INTEGER* xs, const INTEGER* ys, const INTEGER* colours, const INTEGER* triangles,
                            INTEGER n, INTEGER m, INTEGER& status)
{
    for (INTEGER t = 0; t < m; ++t) {
        std::array<std::size_t, 3> v{};
        if (!corners(triangles, t, n, v)) continue;
        const auto X = [&](std::size_t k) { return xs[v[k]]; };
        const auto Y = [&](std::size_t k) { return ys[v[k]]; };
        YYCgmElement(5, 31, 4);
        YYCgmPoint(X(0), Y(0));
        YYCgmElement(5, 43, 22);
        YYCgmWord(3);
        YYCgmPoint(X(1) - X(0), Y(1) - Y(0));
        YYCgmPoint(X(2) - X(0), Y(2) - Y(0));
        YYCgmWord(0);
        YYGCGM1(triangleColours(colours[v[0]], colours[v[1]], colours[v[2]]));
        YYCgmElement(5, 22, 2);
        YYCgmWord(6);
        YYCgmElement(4, 7, 12);
        for (std::size_t k = 0; k < 3; ++k) YYCgmPoint(X(k), Y(k));
    }
    status = 0;
}

void YYCgmFileElement(INTEGER elementClass, INTEGER id, INTEGER length)
{
    YYCgmFileWord(elementClass * 4096 + id * 32 + length);
}

void YYCgmFileWord(INTEGER value) { fileBytes(word(value)); }

void YYCgmFilePoint(INTEGER x, INTEGER y)
{
    const auto a = word(x), b = word(y);
    const std::array<std::uint8_t, 4> bytes{a[0], a[1], b[0], b[1]};
    fileBytes(bytes);
}

void YYCgmFileCoord(REAL x, REAL y)
{
    const HardcopyDriverState& d = hardcopyDriverState();
    YYCgmFilePoint(YYDeviceTrunc(static_cast<DOUBLE>(x) * d.XScale), YYDeviceTrunc(static_cast<DOUBLE>(y) * d.YScale));
}

void YYCgmFileColour(INTEGER elementClass, INTEGER id, INTEGER red, INTEGER green, INTEGER blue)
{
    YYCgmFileElement(elementClass, id, 4);
    const std::array<std::uint8_t, 4> bytes{static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green),
                                            static_cast<std::uint8_t>(blue), 0};
    fileBytes(bytes);
}

void YYCgmFileString(std::string_view text) { fileBytes(stringBytes(text, false)); }
void YYCgmFileStringPad(std::string_view text) { fileBytes(stringBytes(text, true)); }

void YYCgmFileColourInvert(INTEGER& red, INTEGER& green, INTEGER& blue)
{
    const INTEGER mode = hardcopyOptionBlock().value(6);
    const bool nearBlack = red < 10 && green < 10 && blue < 10;
    const bool nearWhite = red > 245 && green > 245 && blue > 245;
    if (mode == 1 || (mode == 2 && (nearBlack || nearWhite))) {
        red = 255 - red;
        green = 255 - green;
        blue = 255 - blue;
    }
}

void YYCgmFileGradientTriangles(const INTEGER* xs, const INTEGER* ys, const INTEGER* colours, const INTEGER* triangles,
                                INTEGER n, INTEGER m, INTEGER& status)
{
    for (INTEGER t = 0; t < m; ++t) {
        std::array<std::size_t, 3> v{};
        if (!corners(triangles, t, n, v)) continue;
        const auto X = [&](std::size_t k) { return xs[v[k]]; };
        const auto Y = [&](std::size_t k) { return ys[v[k]]; };
        YYCgmFileElement(5, 31, 4);
        YYCgmFilePoint(X(0), Y(0));
        YYCgmFileElement(5, 43, 22);
        YYCgmFileWord(3);
        YYCgmFilePoint(X(1) - X(0), Y(1) - Y(0));
        YYCgmFilePoint(X(2) - X(0), Y(2) - Y(0));
        YYCgmFileWord(0);
        fileBytes(triangleColours(colours[v[0]], colours[v[1]], colours[v[2]]));
        YYCgmFileElement(5, 22, 2);
        YYCgmFileWord(6);
        YYCgmFileElement(4, 7, 12);
        for (std::size_t k = 0; k < 3; ++k) YYCgmFilePoint(X(k), Y(k));
    }
    status = 0;
}

INTEGER YYCgmLineType(INTEGER type)
{
    static constexpr std::array<INTEGER, 8> kCgmLineTypes{1, 3, 2, 4, 5, 10, 12, 13};
    return kCgmLineTypes[static_cast<std::size_t>(std::clamp<INTEGER>(type, 0, 7))];
}

void YYCgmDescriptorHead(const CgmWriterFamily& w)
{
    w.Element(1, 1, 2);
    w.Word(3);
    w.Element(1, 2, 18);
    w.StringPad("ZID CGM driver v4");
    w.Element(1, 3, 2);
    w.Word(0);
    w.Element(1, 4, 2);
    w.Word(16);
    w.Element(1, 5, 6);
    w.Word(1);
    w.Word(16);
    w.Word(16);
    w.Element(1, 6, 2);
    w.Word(16);
    // METAFILE ELEMENT LIST: one entry, the version-3 set (-1, 5), which holds every element
    // written here; it follows INDEX PRECISION, whose 16 bits its entries use.
    w.Element(1, 11, 6);
    w.Word(1);
    w.Word(-1);
    w.Word(5);
}

void YYCgmPictureBegin(const CgmWriterFamily& w, INTEGER width, INTEGER height)
{
    w.Element(0, 3, 13);
    w.StringPad("ZID CGM Data");
    w.Element(2, 3, 2);
    w.Word(0);
    w.Element(2, 5, 2);
    w.Word(0);
    w.Element(2, 2, 2);
    w.Word(1);
    // BACKGROUND COLOUR white: paper, whatever colour inversion does to the drawing; a reader
    // whose own default is black would otherwise hide every black item.
    w.Element(2, 7, 4);
    w.Word(0xFFFF);
    w.Word(0xFF00);
    w.Element(3, 1, 2);
    w.Word(16);
    w.Element(2, 6, 8);
    w.Point(0, 0);
    w.Point(width, height);
    w.Element(0, 4, 0);
    YYCgmTextAlignment(w, 1);
}

void YYCgmTextAlignment(const CgmWriterFamily& w, INTEGER horizontal)
{
    w.Element(5, 18, 12);
    w.Word(horizontal);
    w.Word(5);
    for (int k = 0; k < 4; ++k) w.Word(0);  // two fixed-point reals 0.0
}
