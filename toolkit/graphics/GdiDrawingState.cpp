#include "toolkit/graphics/GdiDrawingState.h"

GdiDrawingState& gdiDrawingState()
{
    static GdiDrawingState state;
    return state;
}

namespace {

// Dash, gap, dash, gap ... in pixels at screen resolution, line types 1-7.
const std::array<std::vector<DWORD>, 7> kBaseDashes{{
    {1, 4}, {8, 6}, {1, 4, 8, 4}, {1, 4, 1, 4, 8, 4}, {8, 4, 4, 4}, {4, 4}, {8, 4, 4, 4, 4, 4},
}};

HPEN makePen()
{
    GdiDrawingState& s = gdiDrawingState();
    const auto& dashes = s.DashPatterns[static_cast<std::size_t>(s.LineTypeInUse >= 1 && s.LineTypeInUse <= 7 ? s.LineTypeInUse - 1 : 0)];
    if (s.UserDashes && s.PenStyle != 0 && !dashes.empty()) {
        LOGBRUSH brush{BS_SOLID, s.CurrentColourRef, 0};
        HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL,
                                static_cast<DWORD>(s.PenWidth), &brush, static_cast<DWORD>(dashes.size()), dashes.data());
        if (pen) return pen;
    }
    return CreatePen(s.PenStyle, s.PenWidth, s.CurrentColourRef);
}

}  // namespace

void YYGdiPaletteSet(INTEGER index, INTEGER colour, INTEGER mode)
{
    GdiDrawingState& s = gdiDrawingState();
    if (!s.PaletteHandle || s.EmfTarget || index < 0 || index > 255) return;
    auto palette = static_cast<HPALETTE>(s.PaletteHandle.get());
    if (mode == 0 || mode == 1) UnrealizeObject(palette);
    PALETTEENTRY entry{static_cast<BYTE>(colour & 0xFF), static_cast<BYTE>((colour >> 8) & 0xFF),
                       static_cast<BYTE>((colour >> 16) & 0xFF), 0};
    if (s.LogicalPalette.size() <= static_cast<std::size_t>(index)) s.LogicalPalette.resize(static_cast<std::size_t>(index) + 1);
    s.LogicalPalette[static_cast<std::size_t>(index)] = entry;
    SetPaletteEntries(palette, static_cast<UINT>(index), 1, &entry);
    if ((mode == 0 || mode == 3) && s.DrawingDC) {
        SelectPalette(s.DrawingDC, palette, FALSE);
        RealizePalette(s.DrawingDC);
    }
}

void YYGdiSelectObjects()
{
    GdiDrawingState& s = gdiDrawingState();
    if (!s.DrawingDC) return;
    if (!s.Pen) s.Pen.reset(makePen());
    if (!s.Brush) s.Brush.reset(CreateSolidBrush(s.CurrentColourRef));
    s.PreviousPen = SelectObject(s.DrawingDC, s.Pen.get());
    s.PreviousBrush = SelectObject(s.DrawingDC, s.Brush.get());
}

void YYGdiDeselectObjects()
{
    GdiDrawingState& s = gdiDrawingState();
    if (!s.DrawingDC) return;
    if (s.PreviousPen) SelectObject(s.DrawingDC, s.PreviousPen);
    if (s.PreviousBrush) SelectObject(s.DrawingDC, s.PreviousBrush);
    if (s.PreviousFont) SelectObject(s.DrawingDC, s.PreviousFont);
    s.PreviousPen = s.PreviousBrush = s.PreviousFont = nullptr;
}

bool YYGdiDrawsElsewhere()
{
    const GdiDrawingState& s = gdiDrawingState();
    return s.DialogFieldDc.get() || s.PictureDC || s.EmfTarget || s.BitmapSelected;
}

void YYGdiCreatePen()
{
    GdiDrawingState& s = gdiDrawingState();
    // The old pen may be deleted only once it is no longer selected.
    if (s.DrawingDC && s.PreviousPen) SelectObject(s.DrawingDC, s.PreviousPen);
    s.Pen.reset(makePen());
    if (s.DrawingDC) {
        HGDIOBJ replaced = SelectObject(s.DrawingDC, s.Pen.get());
        if (!s.PreviousPen) s.PreviousPen = replaced;
    }
}

void YYScaleDashPatterns()
{
    GdiDrawingState& s = gdiDrawingState();
    if (!s.UserDashes) return;
    const INTEGER f = s.EmfTarget ? s.EmfResolution : s.ScreenResolution;
    const INTEGER screen = s.ScreenResolution > 0 ? s.ScreenResolution : 96;
    for (std::size_t t = 0; t < 7; ++t) {
        auto& scaled = s.DashPatterns[t];
        scaled = kBaseDashes[t];
        for (std::size_t k = 0; k < scaled.size(); ++k) {
            INTEGER v = f * static_cast<INTEGER>(kBaseDashes[t][k]) / screen;
            if (v < 1) v = 1;  // a zero-length dash or gap makes the pen fail
            if (k % 2 == 1 && s.PenWidth >= 2) v += s.PenWidth - 1;
            scaled[k] = static_cast<DWORD>(v);
        }
    }
}

void YYGdiAttachDrawingDC(HDC dc, HWND window)
{
    GdiDrawingState& gdi = gdiDrawingState();
    gdi.DrawingDC = dc;
    gdi.DrawingWindow = window;
    gdi.PatternBitmap.reset(CreateCompatibleBitmap(dc, 8, 8));
    gdi.PatternStale = 1;
    SetROP2(dc, gdi.RasterOp);
    SetBkMode(dc, TRANSPARENT);
    YYGdiSelectObjects();
    YYScaleDashPatterns();
    if (gdi.PaletteHandle) {
        SelectPalette(dc, static_cast<HPALETTE>(gdi.PaletteHandle.get()), FALSE);
        RealizePalette(dc);
    }
}
