#include "toolkit/graphics/GdiDrawingState.h"

GdiDrawingState& gdiDrawingState()
{
    static GdiDrawingState state;
    return state;
}

void YYGdiPaletteSet(INTEGER index, INTEGER colour, INTEGER flag)
{
    GdiDrawingState& s = gdiDrawingState();
    if (!s.PaletteHandle) return;
    PALETTEENTRY entry{static_cast<BYTE>(colour & 0xFF), static_cast<BYTE>((colour >> 8) & 0xFF),
                       static_cast<BYTE>((colour >> 16) & 0xFF), static_cast<BYTE>(flag)};
    auto palette = static_cast<HPALETTE>(s.PaletteHandle.get());
    SetPaletteEntries(palette, static_cast<UINT>(index), 1, &entry);
    if (s.DrawingDC) {
        SelectPalette(s.DrawingDC, palette, FALSE);
        RealizePalette(s.DrawingDC);
    }
}

void YYGdiSelectObjects()
{
    GdiDrawingState& s = gdiDrawingState();
    if (!s.DrawingDC) return;
    if (!s.Pen) s.Pen.reset(CreatePen(PS_SOLID, s.PenWidth, s.CurrentColourRef));
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
    s.PreviousPen = s.PreviousBrush = nullptr;
}

bool YYGdiDrawsElsewhere()
{
    const GdiDrawingState& s = gdiDrawingState();
    return s.DialogFieldWindow || s.PictureDC || s.EmfTarget || s.BitmapSelected;
}
