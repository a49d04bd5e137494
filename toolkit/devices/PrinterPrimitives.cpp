#include "toolkit/devices/PrinterPrimitives.h"

#include <algorithm>
#include <string>

#include "toolkit/devices/GdiPrimitives.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/PrinterArithmetic.h"
#include "toolkit/devices/PrinterDeviceContext.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/GdiDrawingState.h"

PrinterDrawingState& printerDrawingState()
{
    static PrinterDrawingState state;
    return state;
}

namespace {

PrinterDrawingState& ps() { return printerDrawingState(); }

// Every drawing primitive starts the page an ended one left pending.
HDC drawingDc()
{
    PrinterDrawingState& s = ps();
    if (!s.Printer) return nullptr;
    if (s.PagePending) YYPrintPageStart();
    return s.Printer.get();
}

void releasePen()
{
    PrinterDrawingState& s = ps();
    if (s.PenReplaced && s.Printer) SelectObject(s.Printer.get(), s.PenReplaced);
    s.PenReplaced = nullptr;
    s.Pen.reset();
    s.PenKey = {-1, -1, -1};
}

void releaseFont()
{
    PrinterDrawingState& s = ps();
    if (s.FontReplaced && s.Printer) SelectObject(s.Printer.get(), s.FontReplaced);
    s.FontReplaced = nullptr;
    s.Font.reset();
}

GdiObjectHandle fontFor(INTEGER height, INTEGER width, INTEGER tenths, INTEGER variant, INTEGER style,
                        const std::string& face)
{
    struct Face {
        const char* name;
        BYTE family, charset;
    };
    static const Face faces[] = {{"Courier New", FF_MODERN, ANSI_CHARSET}, {"Arial", FF_SWISS, ANSI_CHARSET},
                                 {"Times New Roman", FF_ROMAN, ANSI_CHARSET}, {"Symbol", FF_ROMAN, SYMBOL_CHARSET}};
    const bool fixed = variant >= 1 && variant <= 4;
    const Face f = fixed ? faces[variant - 1] : Face{face.c_str(), FF_DONTCARE, DEFAULT_CHARSET};
    return GdiObjectHandle(CreateFontA(-height, width, tenths, tenths, (style & 1) ? 700 : 400, (style & 2) ? 1 : 0,
                                       (style & 4) ? 1 : 0, 0, f.charset, OUT_CHARACTER_PRECIS, CLIP_CHARACTER_PRECIS,
                                       DEFAULT_QUALITY, VARIABLE_PITCH | f.family, f.name));
}

}  // namespace

void YYPrintDocStart(INTEGER width, INTEGER height, INTEGER xOffset, INTEGER yOffset, INTEGER& resolutionX,
                     INTEGER& resolutionY, INTEGER& colours, INTEGER& failure, INTEGER& code, INTEGER landscape,
                     INTEGER copies, std::string_view documentName)
{
    PrinterDrawingState& s = ps();
    failure = 1;
    if (!s.DocumentOpen) {
        SetLastError(0);
        MemoryDcHandle dc = YYPrinterCreateDC(landscape, copies);
        if (!dc) {
            code = static_cast<INTEGER>(GetLastError());
            return;
        }
        const std::string name(documentName);
        DOCINFOA info{};
        info.cbSize = sizeof info;
        info.lpszDocName = name.c_str();
        if (StartDocA(dc.get(), &info) <= 0) {
            // The context goes with the failed start.
            code = static_cast<INTEGER>(GetLastError());
            return;
        }
        s.Printer = std::move(dc);
        s.DocumentOpen = 1;
        s.PagesEnded = 0;
    }
    failure = 0;
    code = 0;
    HDC dc = s.Printer.get();
    colours = GetDeviceCaps(dc, NUMCOLORS);
    resolutionX = GetDeviceCaps(dc, LOGPIXELSX);
    resolutionY = GetDeviceCaps(dc, LOGPIXELSY);
    s.ResolutionX = resolutionX;
    YYPrintDashTables();
    s.OriginX = YYPrintPageOrigin(GetDeviceCaps(dc, PHYSICALOFFSETX), xOffset, resolutionX);
    s.OriginY = YYPrintPageOrigin(GetDeviceCaps(dc, PHYSICALOFFSETY), yOffset, resolutionY);
    s.ExtentX = YYPrintPointsToPixels(width, resolutionX);
    s.ExtentY = YYPrintPointsToPixels(height, resolutionY);
    YYPrintPageStart();
    s.ClipRegion.reset();
    SetBkMode(dc, TRANSPARENT);
    s.PenKey = {-1, -1, -1};
}

void YYPrintPageStart()
{
    PrinterDrawingState& s = ps();
    if (!s.Printer) return;
    HDC dc = s.Printer.get();
    StartPage(dc);
    SetWindowOrgEx(dc, s.OriginX, s.OriginY, nullptr);
    SetWindowExtEx(dc, s.ExtentX, s.ExtentY, nullptr);
    if (s.Font) {
        const HGDIOBJ replaced = SelectObject(dc, s.Font.get());
        if (!s.FontReplaced) s.FontReplaced = replaced;
    }
    // Some drivers reset the context's objects at a page start: select the pen and the clip again.
    if (s.Pen) SelectObject(dc, s.Pen.get());
    if (s.ClipRegion) SelectClipRgn(dc, static_cast<HRGN>(s.ClipRegion.get()));
    s.PagePending = 0;
}

bool YYPrintPageEnd()
{
    PrinterDrawingState& s = ps();
    if (!s.Printer) return true;
    s.PagePending = 1;
    ++s.PagesEnded;
    return EndPage(s.Printer.get()) > 0;
}

bool YYPrintDocEnd()
{
    PrinterDrawingState& s = ps();
    if (!s.Printer) return true;
    HDC dc = s.Printer.get();
    bool done = true;
    // A page still open would be lost with the document.
    if (!s.PagePending) done = YYPrintPageEnd();
    SelectClipRgn(dc, nullptr);
    s.ClipRegion.reset();
    releaseFont();
    releasePen();
    if (EndDoc(dc) <= 0) done = false;
    s.Printer.reset();
    s.DocumentOpen = 0;
    s.PagePending = 0;
    return done;
}

void YYPrintColour(INTEGER red, INTEGER green, INTEGER blue)
{
    PrinterDrawingState& s = ps();
    s.PreviousColour = s.CurrentColour;
    s.CurrentColour = RGB(std::clamp<INTEGER>(red, 0, 255), std::clamp<INTEGER>(green, 0, 255),
                          std::clamp<INTEGER>(blue, 0, 255));
}

void YYPrintColourInvert(INTEGER& red, INTEGER& green, INTEGER& blue)
{
    YYPrintInvertComponents(hardcopyOptionBlock().value(6), red, green, blue);
}

void YYPrintLineStyle(INTEGER lineType)
{
    static constexpr INTEGER kStyles[8] = {PS_SOLID, PS_DOT, PS_DASH, PS_DASHDOT, PS_DASHDOTDOT, PS_DASHDOT, PS_DASH, PS_DASHDOTDOT};
    PrinterDrawingState& s = ps();
    s.GdiStyle = (lineType >= 0 && lineType <= 7) ? kStyles[lineType] : PS_SOLID;
    s.LineType = (lineType >= 0 && lineType <= 7) ? lineType : 0;
}

void YYPrintPenWidth(INTEGER width)
{
    ps().PenWidth = std::max<INTEGER>(width, 0);
    YYPrintDashTables();
}

void YYPrintDashTables()
{
    PrinterDrawingState& s = ps();
    const GdiDrawingState& screen = gdiDrawingState();
    if (!screen.UserDashes) return;
    for (INTEGER t = 1; t <= 7; ++t)
        s.Dashes[static_cast<std::size_t>(t - 1)] = YYPrintDashPattern(t, s.ResolutionX, screen.ScreenResolution, s.PenWidth);
}

void YYPrintPen()
{
    PrinterDrawingState& s = ps();
    if (!s.Printer) return;
    const std::array<INTEGER, 3> key{static_cast<INTEGER>(s.CurrentColour), s.LineType, s.PenWidth};
    if (s.Pen && key == s.PenKey) return;
    HDC dc = s.Printer.get();
    if (s.PenReplaced) SelectObject(dc, s.PenReplaced);
    s.PenReplaced = nullptr;
    s.Pen.reset();
    const auto& dashes = s.LineType >= 1 ? s.Dashes[static_cast<std::size_t>(s.LineType - 1)] : s.Dashes[0];
    if (gdiDrawingState().UserDashes && s.GdiStyle != PS_SOLID && !dashes.empty()) {
        LOGBRUSH brush{BS_SOLID, s.CurrentColour, 0};
        std::vector<DWORD> style(dashes.begin(), dashes.end());
        s.Pen.reset(ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL,
                                 static_cast<DWORD>(std::max<INTEGER>(s.PenWidth, 1)), &brush,
                                 static_cast<DWORD>(style.size()), style.data()));
    }
    if (!s.Pen) s.Pen.reset(CreatePen(s.GdiStyle, s.PenWidth, s.CurrentColour));
    s.PenReplaced = SelectObject(dc, s.Pen.get());
    s.PenKey = key;
}

void YYPrintLine(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2)
{
    HDC dc = drawingDc();
    if (!dc) return;
    YYPrintPen();
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    if (YYPrintEndPixelNeeded(ps().GdiStyle == PS_SOLID, x1, y1, x2, y2, false))
        SetPixel(dc, x2, y2, ps().CurrentColour);
}

void YYPrintPolyline(INTEGER count)
{
    HDC dc = drawingDc();
    const auto& points = gdiDrawingState().PointBuffer;
    const INTEGER n = std::min<INTEGER>(count, static_cast<INTEGER>(points.size()));
    if (!dc || n < 1) return;
    YYPrintPen();
    Polyline(dc, points.data(), n);
    const POINT first = points.front(), last = points[static_cast<std::size_t>(n - 1)];
    if (YYPrintEndPixelNeeded(ps().GdiStyle == PS_SOLID, first.x, first.y, last.x, last.y, true))
        SetPixel(dc, last.x, last.y, ps().CurrentColour);
}

void YYPrintDot(INTEGER x, INTEGER y)
{
    HDC dc = drawingDc();
    if (!dc) return;
    const INTEGER w = std::max<INTEGER>(ps().PenWidth, 1);
    const GdiObjectHandle brush(CreateSolidBrush(ps().CurrentColour));
    const DcSelection pen(dc, GetStockObject(NULL_PEN));
    const DcSelection fill(dc, brush.get());
    Rectangle(dc, x - w / 2, y - w / 2, x + w - w / 2 + 1, y + w - w / 2 + 1);
}

void YYPrintEllipse(INTEGER x, INTEGER y, INTEGER rx, INTEGER ry, INTEGER fillStyle)
{
    HDC dc = drawingDc();
    if (!dc) return;
    if (fillStyle < 3) {
        YYPrintPen();
        const DcSelection fill(dc, GetStockObject(NULL_BRUSH));
        Ellipse(dc, x - rx - 1, y - ry - 1, x + rx + 2, y + ry + 2);
        return;
    }
    const GdiObjectHandle brush(CreateSolidBrush(ps().CurrentColour));
    const GdiObjectHandle outline(CreatePen(PS_SOLID, 1, ps().CurrentColour));
    const DcSelection pen(dc, outline.get());
    const DcSelection fill(dc, brush.get());
    Ellipse(dc, x - rx - 1, y - ry - 1, x + rx + 2, y + ry + 2);
}

void YYPrintRectangle(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2)
{
    HDC dc = drawingDc();
    if (!dc) return;
    const GdiObjectHandle brush(CreateSolidBrush(ps().CurrentColour));
    const DcSelection pen(dc, GetStockObject(NULL_PEN));
    const DcSelection fill(dc, brush.get());
    Rectangle(dc, x1, y1, x2 + 2, y2 + 2);
}

void YYPrintPie(INTEGER x, INTEGER y, INTEGER rx, INTEGER ry, INTEGER xs, INTEGER ys, INTEGER xe, INTEGER ye)
{
    HDC dc = drawingDc();
    if (!dc) return;
    const GdiObjectHandle brush(CreateSolidBrush(ps().CurrentColour));
    const GdiObjectHandle outline(CreatePen(PS_SOLID, 1, ps().CurrentColour));
    const DcSelection pen(dc, outline.get());
    const DcSelection fill(dc, brush.get());
    Pie(dc, x - rx - 1, y - ry - 1, x + rx + 2, y + ry + 2, xs, ys, xe, ye);
}

void YYPrintArc(INTEGER x, INTEGER y, INTEGER rx, INTEGER ry, INTEGER xs, INTEGER ys, INTEGER xe, INTEGER ye,
                INTEGER deciding)
{
    HDC dc = drawingDc();
    if (!dc) return;
    YYPrintPen();
    const DcSelection fill(dc, GetStockObject(NULL_BRUSH));
    if (deciding > 2) Arc(dc, x - rx - 1, y - ry - 1, x + rx + 2, y + ry + 2, xs, ys, xe, ye);
    else Pie(dc, x - rx - 1, y - ry - 1, x + rx + 2, y + ry + 2, xs, ys, xe, ye);
}

void YYPrintPolygon(INTEGER count, INTEGER outline)
{
    HDC dc = drawingDc();
    const auto& points = gdiDrawingState().PointBuffer;
    const INTEGER n = std::min<INTEGER>(count, static_cast<INTEGER>(points.size()));
    if (!dc || n < 2) return;
    const GdiObjectHandle brush(CreateSolidBrush(ps().CurrentColour));
    const GdiObjectHandle edge(outline != 0 ? CreatePen(PS_SOLID, 1, ps().CurrentColour) : nullptr);
    const DcSelection pen(dc, outline != 0 ? edge.get() : GetStockObject(NULL_PEN));
    const DcSelection fill(dc, brush.get());
    Polygon(dc, points.data(), n);
}

void YYPrintFont(INTEGER width, INTEGER& height, INTEGER& ascent, INTEGER angle, INTEGER variant, INTEGER style,
                 std::string_view faceName)
{
    PrinterDrawingState& s = ps();
    releaseFont();
    ascent = 0;
    if (!s.Printer) return;
    HDC dc = s.Printer.get();
    const std::string face(faceName.substr(0, std::min<std::size_t>(faceName.find('\0'), 100)));
    {
        // Measured first at the requested em height: the cell it yields is what the box is drawn for.
        const GdiObjectHandle probe = fontFor(height, width, 0, variant, style, face);
        const DcSelection selected(dc, probe.get());
        TEXTMETRICA metrics{};
        if (GetTextMetricsA(dc, &metrics)) {
            height = metrics.tmHeight;
            ascent = metrics.tmAscent;
        }
    }
    s.Font = fontFor(height, width, angle * 10, variant, style, face);
    s.FontReplaced = SelectObject(dc, s.Font.get());
    s.FontCellHeight = height;
    s.FontAscent = ascent;
}

void YYPrintText(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2, INTEGER justification, INTEGER opaque,
                 std::string_view text)
{
    HDC dc = drawingDc();
    if (!dc || justification < 0 || justification > 2) return;
    const COLORREF textColour = SetTextColor(dc, ps().CurrentColour);
    const COLORREF background = SetBkColor(dc, ps().PreviousColour);
    const int mode = SetBkMode(dc, opaque != 0 ? OPAQUE : TRANSPARENT);
    const int n = static_cast<int>(std::min<std::size_t>(text.size(), 260));
    switch (justification) {
    case 0:
        SetTextAlign(dc, TA_BASELINE | TA_LEFT);
        TextOutA(dc, x1, y1, text.data(), n);
        break;
    case 1:
        SetTextAlign(dc, TA_BASELINE | TA_CENTER);
        TextOutA(dc, (x1 + x2) / 2, (y1 + y2) / 2, text.data(), n);
        break;
    default:
        SetTextAlign(dc, TA_BASELINE | TA_RIGHT);
        TextOutA(dc, x2, y2, text.data(), n);
        break;
    }
    SetTextColor(dc, textColour);
    SetBkColor(dc, background);
    SetBkMode(dc, mode);
}

void YYPrintTextWidth(INTEGER& width, std::string_view text)
{
    width = 0;
    PrinterDrawingState& s = ps();
    if (!s.Printer || text.empty()) return;
    SIZE extent{};
    GetTextExtentPoint32A(s.Printer.get(), text.data(), static_cast<int>(std::min<std::size_t>(text.size(), 260)), &extent);
    width = extent.cx;
}

void YYPrintClip(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2)
{
    PrinterDrawingState& s = ps();
    if (!s.Printer) return;
    s.ClipRegion.reset(CreateRectRgn(x1 - s.OriginX, y1 - s.OriginY, x2 - s.OriginX, y2 - s.OriginY));
    SelectClipRgn(s.Printer.get(), static_cast<HRGN>(s.ClipRegion.get()));
}

void YYPrintPixel(INTEGER x, INTEGER y, INTEGER rgb)
{
    HDC dc = drawingDc();
    if (dc) SetPixel(dc, x, y, static_cast<COLORREF>(rgb & 0xFFFFFF));
}

void YYPrintGradient(const INTEGER* xs, const INTEGER* ys, const INTEGER* colours, const INTEGER* triangles, INTEGER n,
                     INTEGER m, INTEGER& failure)
{
    failure = YYGdiGradientMesh(drawingDc(), xs, ys, colours, triangles, n, m);
}
