// Renders every built-in stroke set into one specimen sheet (a one-bit BMP) for review:
//   StrokeFontSpecimen OUTPUT.bmp
// Each set gets its name, the codes 32 to 128 and 160 to 255 in a fixed grid (one glyph per
// cell), and a line of text placed with the set's own spacing.
#include <cstdio>
#include <string>

#include "toolkit/graphics/StrokeFontData.h"
#include "toolkit/graphics/StrokeFonts.h"
#include "toolkit/graphics/strokefonts/SpecimenRaster.h"

namespace {

constexpr int kColumns = 33;
constexpr float kPitch = 32, kCharW = 26, kCharH = 32, kRowPitch = 44, kMargin = 20;
constexpr float kBlockHeight = 40 + 6 * kRowPitch + 56;

void drawText(SpecimenRaster& raster, const std::string& text, float x, float y, float w, float h, int spacing)
{
    StrokeTextGeometry g;
    g.CharAdvanceX = w;
    g.CharLineY = h;
    g.CharacterSpacing = spacing;
    const bool lines = strokeFontTable().StrokeAsLines == 1;
    YYStrokeTextStrokes(g, x, y, text, static_cast<INTEGER>(text.size()), w, h,
                        [&](StrokeOutputKind, std::span<const REAL> xs, std::span<const REAL> ys) {
                            if (!lines) {
                                raster.polygon(xs, ys);
                                return;
                            }
                            for (std::size_t i = 0; i + 1 < xs.size(); ++i)
                                raster.line(xs[i], ys[i], xs[i + 1], ys[i + 1], 0.9f);
                        });
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: StrokeFontSpecimen OUTPUT.bmp\n");
        return 2;
    }
    const int width = static_cast<int>(2 * kMargin + kColumns * kPitch);
    const int height = static_cast<int>(2 * kMargin + static_cast<float>(kBuiltInStrokeSetCount) * kBlockHeight);
    SpecimenRaster raster(width, height);
    const int rows[6][2] = {{32, 64}, {64, 96}, {96, 129}, {160, 192}, {192, 224}, {224, 256}};
    for (int s = 0; s < kBuiltInStrokeSetCount; ++s) {
        const BuiltInStrokeSet& set = kBuiltInStrokeSets[s];
        float top = static_cast<float>(height) - kMargin - static_cast<float>(s) * kBlockHeight;
        YYStrokeFontStandard();
        drawText(raster, set.name, kMargin, top - 14, 12, 18, 0);
        switch (s) {
        case kStrokeSetStandard: YYStrokeFontStandard(); break;
        case kStrokeSetFixed: YYStrokeFontFixedData(); break;
        case kStrokeSetFixedBold: YYStrokeFontFixedBold(); break;
        case kStrokeSetRoman: YYStrokeFontRomanData(); break;
        case kStrokeSetRomanBold: YYStrokeFontRomanBold(); break;
        case kStrokeSetSwiss: YYStrokeFontSwissData(); break;
        case kStrokeSetSwissBold: YYStrokeFontSwissBold(); break;
        default: YYStrokeFontSymbol(); break;
        }
        top -= 40;
        for (const auto& row : rows) {
            const float y = top - kRowPitch / 2;
            for (int code = row[0]; code < row[1]; ++code) {
                const std::string one(1, static_cast<char>(code));
                const float x = kMargin + static_cast<float>(code - row[0]) * kPitch + (kPitch - kCharW) / 2;
                drawText(raster, one, x, y, kCharW, kCharH, 0);
            }
            top -= kRowPitch;
        }
        drawText(raster, "Sounding 1: 0.12 ms, Wave & Field {x, y}? The quick brown fox jumps over a lazy dog.",
                 kMargin, top - 26, 15, 24, set.spacing);
    }
    if (!raster.writeBmp(argv[1])) {
        std::fprintf(stderr, "StrokeFontSpecimen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
