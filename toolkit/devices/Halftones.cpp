#include "toolkit/devices/Halftones.h"

#include <algorithm>

#include "toolkit/devices/DeviceModels.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/RasterRenderer.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GraphicsState.h"

HalftoneTables& halftoneTables()
{
    static HalftoneTables tables;
    return tables;
}

namespace {

std::uint32_t rotateByte(std::uint32_t byte, INTEGER bits)
{
    const unsigned n = static_cast<unsigned>(bits) % 8U;
    return ((byte << n) | (byte >> (8U - n))) & 0xFFU;
}

REAL fractionOf(INTEGER component) { return static_cast<REAL>(component) / 255.0f; }

// The nearest palette entry of the last dithered colour: images repeat colours a lot.
struct DitherCache {
    INTEGER Rgb = -1;
    INTEGER Index = 0;
};

DitherCache& ditherCache()
{
    static DitherCache cache;
    return cache;
}

INTEGER nearestIndex(INTEGER rgb)
{
    DitherCache& cache = ditherCache();
    if (cache.Rgb != rgb) {
        YYPaletteNearest(rgb, cache.Index);
        cache.Rgb = rgb;
    }
    return std::clamp(cache.Index, 0, 255);
}

}  // namespace

std::uint32_t YYHalftoneCell(REAL fraction, INTEGER offset)
{
    INTEGER n = static_cast<INTEGER>(32.0f * fraction + 0.5f);
    if (n <= 0) return 0;
    if (fraction > 0.975f) return 0xFFFFFFFFU;
    n = std::min(n, 32);
    const INTEGER o = std::max(offset, 1);
    const INTEGER run = std::max(1, n / std::max(1, 32 - n));
    const INTEGER skip = std::max(1, (32 - n) / std::max(1, n));
    std::uint32_t cell = 0;
    // Runs of at most `run` dots with `skip` steps between them, from a start that depends on
    // the offset, so the planes' cells differ.
    INTEGER p = ((n / o) * (o + 1)) % 32;
    INTEGER together = 0;
    for (int i = 0; i < 32; ++i) {
        const std::uint32_t bit = 1U << p;
        if ((cell & bit) == 0 && together < run && n > 0) {
            cell |= bit;
            ++together;
            --n;
            p = (p + 1) % 32;
        } else {
            p = (p + skip) % 32;
            together = 0;
        }
    }
    // What the runs left over fills in from both ends.
    for (int j = 0; j < 32 && n > 0; ++j) {
        if ((cell & (1U << j)) == 0) {
            cell |= 1U << j;
            if (--n == 0) break;
        }
        if ((cell & (1U << (31 - j))) == 0) {
            cell |= 1U << (31 - j);
            --n;
        }
    }
    // Rows that came out equal are shifted against each other, so the dots do not line up in
    // columns.
    std::array<std::uint32_t, 4> row{};
    for (int r = 0; r < 4; ++r) row[static_cast<std::size_t>(r)] = (cell >> (8 * r)) & 0xFFU;
    for (std::size_t i = 0; i < 4; ++i) {
        if (row[i] == 0 || row[i] == 0xFF) continue;
        for (std::size_t j = i + 1; j < 4; ++j) {
            if (row[j] == row[i]) row[j] = rotateByte(row[j], o + 1);
            for (std::size_t k = j; k-- > 0;)
                if (row[j] == row[k]) row[k] = rotateByte(row[k], o);
        }
    }
    return row[0] | (row[1] << 8) | (row[2] << 16) | (row[3] << 24);
}

void YYHalftonePattern(INTEGER kind, std::uint32_t& cell0, std::uint32_t& cell1, std::uint32_t& cell2)
{
    const GraphicsState& g = graphicsState();
    INTEGER r = 0, gr = 0, b = 0;
    YYColourToRGB(g.ColourModel == kRgbMode ? g.ColourRGB[1] : g.ColourIndex[1], r, gr, b);
    const INTEGER inversion = hardcopyOptionBlock().Options[6];
    const bool nearBlack = r < 10 && gr < 10 && b < 10, nearWhite = r > 245 && gr > 245 && b > 245;
    const INTEGER colours = hardcopyFillState().HardcopyColours;
    const auto invert = [&] {
        r = 255 - r;
        gr = 255 - gr;
        b = 255 - b;
    };
    if (inversion == 1 || (inversion == 2 && (nearBlack || nearWhite))) invert();
    if (colours > 2 && kind == 2) invert();
    if (colours == 2) {
        const REAL grey = (0.35f * static_cast<REAL>(r) + 0.59f * static_cast<REAL>(gr) + 0.11f * static_cast<REAL>(b)) / 255.0f;
        cell0 = cell1 = cell2 = ~YYHalftoneCell(grey, 2);
        return;
    }
    if (std::max({r, gr, b}) - std::min({r, gr, b}) < 4) {
        cell0 = cell1 = cell2 = YYHalftoneCell(fractionOf(r), 2);
        return;
    }
    cell0 = YYHalftoneCell(fractionOf(r), 2);
    cell1 = YYHalftoneCell(fractionOf(gr), 3);
    cell2 = YYHalftoneCell(fractionOf(b), 4);
}

void YYHalftoneTables()
{
    HalftoneTables& t = halftoneTables();
    const auto level = [](INTEGER q) { return q == 0 ? 0 : 16 * q + 15; };
    std::array<std::array<std::uint32_t, 16>, 3> cells{};
    for (INTEGER q = 0; q < 16; ++q)
        for (INTEGER plane = 0; plane < 3; ++plane)
            cells[static_cast<std::size_t>(plane)][static_cast<std::size_t>(q)] = YYHalftoneCell(fractionOf(level(q)), plane + 2);
    for (INTEGER qb = 0; qb < 16; ++qb)
        for (INTEGER qg = 0; qg < 16; ++qg)
            for (INTEGER qr = 0; qr < 16; ++qr) {
                const std::size_t entry = static_cast<std::size_t>(256 * qb + 16 * qg + qr);
                const INTEGER vr = level(qr), vg = level(qg), vb = level(qb);
                if (std::max({vr, vg, vb}) - std::min({vr, vg, vb}) < 4) {
                    t.Cells[0][entry] = t.Cells[1][entry] = t.Cells[2][entry] = cells[0][static_cast<std::size_t>(qr)];
                } else {
                    t.Cells[0][entry] = cells[0][static_cast<std::size_t>(qr)];
                    t.Cells[1][entry] = cells[1][static_cast<std::size_t>(qg)];
                    t.Cells[2][entry] = cells[2][static_cast<std::size_t>(qb)];
                }
            }
}

void YYRasterDitherPixel(INTEGER x, INTEGER y, INTEGER rgb)
{
    const RasterPageBlock& page = rasterPageBlock();
    if (x < 0 || y < 0 || x > page.LastColumn || y > page.LastRow) return;
    INTEGER pixel = 0;
    switch (page.PixelMode) {
    case kRasterOneBit:
    case kRasterThreePlanes: {
        INTEGER r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
        const std::size_t entry = static_cast<std::size_t>(256 * (b / 16) + 16 * (g / 16) + r / 16);
        const unsigned bit = static_cast<unsigned>(8 * (y % 4) + x % 8);
        const HalftoneTables& t = halftoneTables();
        INTEGER v = 0;
        for (std::size_t k = 0; k < 3; ++k) v += static_cast<INTEGER>((t.Cells[k][entry] >> bit) & 1U) << k;
        const bool inversion = hardcopyOptionBlock().Options[6] != 0;
        if (page.PixelMode == kRasterOneBit) {
            if (inversion && (v == 0 || v == 7)) {
                v = 7 - v;
                r = 255 - r;
                g = 255 - g;
                b = 255 - b;
            }
            const bool bright = r >= 192 || g >= 192 || b >= 192;
            pixel = static_cast<INTEGER>((MonoDitherPatterns[static_cast<std::size_t>(v + (bright ? 8 : 0))] >> bit) & 1U);
        } else {
            if (inversion && (v == 0 || v == 7)) v = 7 - v;
            if (printerModelState().PrinterColourKind == 2) v = 7 - v;
            pixel = v;
        }
        break;
    }
    case kRasterFourPlanes: pixel = RasterColour16Map[static_cast<std::size_t>(nearestIndex(rgb) / 16)]; break;
    case kRasterPaletteByte: pixel = nearestIndex(rgb); break;
    default: pixel = rgb; break;
    }
    YYRasterPixel(pixel, x, y);
}

void YYRasterDitherCacheReset() { ditherCache() = DitherCache{}; }
