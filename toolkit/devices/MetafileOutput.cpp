#include "toolkit/devices/MetafileOutput.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <new>
#include <span>
#include <string>

#include "toolkit/devices/GdiPrimitives.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/PrinterArithmetic.h"
#include "toolkit/devices/PrinterPrimitives.h"
#include "toolkit/foundation/CommonDialogs.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/GdiDrawingState.h"

MetafileOutputState& metafileOutputState()
{
    static MetafileOutputState state;
    return state;
}

namespace {

MetafileOutputState& ms() { return metafileOutputState(); }
HDC dc() { return ms().DeviceContext; }
bool ntFamily() { return windowEngineState().NtPlatform != 0; }

COLORREF colourRef(INTEGER packedRgb)
{
    return RGB(packedRgb & 0xFF, (packedRgb >> 8) & 0xFF, (packedRgb >> 16) & 0xFF);
}

void releasePen()
{
    MetafileOutputState& s = ms();
    if (s.PenReplaced && dc()) SelectObject(dc(), s.PenReplaced);
    s.PenReplaced = nullptr;
    s.Pen.reset();
}

void releaseFont()
{
    MetafileOutputState& s = ms();
    if (s.FontReplaced && dc()) SelectObject(dc(), s.FontReplaced);
    s.FontReplaced = nullptr;
    s.Font.reset();
}

// The reference device of an enhanced metafile: an information context of the printer that the
// printer query found, else the screen.
struct ReferenceDevice {
    MemoryDcHandle printer;
    WindowDc screen;
    HDC get() const { return printer ? printer.get() : screen.get(); }
};

void referenceDevice(ReferenceDevice& reference)
{
    const PageSetupState& p = pageSetupState();
    if (!p.deviceName.empty())
        reference.printer.reset(CreateICA(p.driverName.empty() ? nullptr : p.driverName.c_str(), p.deviceName.c_str(),
                                          nullptr, nullptr));
    if (!reference.printer) reference.screen = WindowDc(nullptr);
}

const std::vector<POINT>& pointBuffer() { return gdiDrawingState().PointBuffer; }

// A run of points stroked as the dashes of the current line type, each dash a polyline of its own
// in the solid line pen; the pattern runs on across the corners, as a styled pen's does.
void strokeDashed(const std::vector<POINT>& points)
{
    MetafileOutputState& s = ms();
    const auto& pattern = s.DashArrays[static_cast<std::size_t>(std::clamp<INTEGER>(s.LineType, 1, 7) - 1)];
    if (points.size() < 2) return;
    if (pattern.empty()) {
        Polyline(dc(), points.data(), static_cast<int>(points.size()));
        return;
    }
    // Every element at least one unit long, so that the walk always moves on.
    const auto element = [&](std::size_t k) { return std::max(static_cast<DOUBLE>(pattern[k % pattern.size()]), 1.0); };
    std::size_t index = 0;
    DOUBLE left = element(0);
    bool on = true;
    std::vector<POINT> dash{points.front()};
    const auto drawDash = [&] {
        if (dash.size() >= 2) Polyline(dc(), dash.data(), static_cast<int>(dash.size()));
        dash.clear();
    };
    for (std::size_t k = 1; k < points.size(); ++k) {
        const POINT a = points[k - 1], b = points[k];
        const DOUBLE dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
        DOUBLE at = 0.0;
        while (length - at > left) {
            at += left;
            const POINT p{static_cast<LONG>(std::lround(a.x + dx * at / length)),
                          static_cast<LONG>(std::lround(a.y + dy * at / length))};
            if (on) {
                dash.push_back(p);
                drawDash();
            } else {
                dash.assign(1, p);
            }
            on = !on;
            left = element(++index);
        }
        left -= length - at;
        if (on) dash.push_back(b);
    }
    if (on) drawDash();
}

// The outline that draw() makes in a path, flattened to runs of points (a closed figure ends on
// its first point again).
std::vector<std::vector<POINT>> flattenedOutline(const std::function<void(HDC)>& draw)
{
    std::vector<std::vector<POINT>> figures;
    MemoryDcHandle work(CreateCompatibleDC(nullptr));
    if (!work) return figures;
    BeginPath(work.get());
    draw(work.get());
    EndPath(work.get());
    FlattenPath(work.get());
    const int n = GetPath(work.get(), nullptr, nullptr, 0);
    if (n <= 0) return figures;
    std::vector<POINT> points(static_cast<std::size_t>(n));
    std::vector<BYTE> kinds(static_cast<std::size_t>(n));
    if (GetPath(work.get(), points.data(), kinds.data(), n) != n) return figures;
    for (std::size_t k = 0; k < points.size(); ++k) {
        if ((kinds[k] & ~PT_CLOSEFIGURE) == PT_MOVETO || figures.empty()) figures.emplace_back();
        figures.back().push_back(points[k]);
        if ((kinds[k] & PT_CLOSEFIGURE) != 0) figures.back().push_back(figures.back().front());
    }
    return figures;
}

// The outline of draw() in the line pen: dash by dash where the pen is solid for a styled line.
void strokeOutline(const std::function<void(HDC)>& draw)
{
    if (ms().PenDashed == 0) {
        draw(dc());
        return;
    }
    for (const std::vector<POINT>& figure : flattenedOutline(draw)) strokeDashed(figure);
}

// Whether the pen record of a recorded picture carries the two dash entries it was made with.
bool recordKeepsDashes(const std::vector<BYTE>& bytes)
{
    const auto u32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        std::memcpy(&v, bytes.data() + at, 4);
        return v;
    };
    for (std::size_t at = 0; at + 8 <= bytes.size();) {
        const std::uint32_t type = u32(at), size = u32(at + 4);
        if (size < 8 || at + size > bytes.size()) return false;
        // EMR_EXTCREATEPEN: the pen's style at byte 28, its entry count at 48, the entries from 52.
        if (type == EMR_EXTCREATEPEN && size >= 60)
            return (u32(at + 28) & PS_STYLE_MASK) == PS_USERSTYLE && u32(at + 48) == 2 && u32(at + 52) == 7 &&
                   u32(at + 56) == 5;
        at += size;
    }
    return false;
}

// Puts the closed picture's file in place of the named one: the placeable bits after their header,
// the other formats as the platform wrote them. 0, or 2 (not closed or written whole) or 3 (not
// replaced), with the system's code in WriteError; the named file is then as it was.
INTEGER deliverFile(const EnhMetafileHandle& enhanced, const MetafileHandle& windows)
{
    MetafileOutputState& s = ms();
    if (!enhanced && !windows) {
        s.Work.discard();
        return 2;
    }
    if (s.Format == 1) {
        const UINT size = GetMetaFileBitsEx(windows.get(), 0, nullptr);
        std::vector<BYTE> bits;
        try {
            bits.resize(size);
        } catch (const std::bad_alloc&) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            bits.clear();
        }
        if (size == 0 || bits.size() != size || GetMetaFileBitsEx(windows.get(), size, bits.data()) != size) {
            s.WriteError = static_cast<INTEGER>(GetLastError() != 0 ? GetLastError() : ERROR_WRITE_FAULT);
            s.Work.discard();
            return 2;
        }
        if (!s.Work.write(std::span<const std::uint8_t>(bits))) {
            s.WriteError = s.Work.error();
            s.Work.discard();
            return 2;
        }
    }
    if (s.Work.commit(s.Target)) return 0;
    s.WriteError = s.Work.error();
    return 3;
}

int pointCount(INTEGER n)
{
    return static_cast<int>(std::clamp<std::size_t>(static_cast<std::size_t>(std::max<INTEGER>(n, 0)), 0, pointBuffer().size()));
}

}  // namespace

std::array<std::uint8_t, 22> YYPlaceableHeader(INTEGER boxRight, INTEGER boxBottom, INTEGER checksum)
{
    std::array<std::uint8_t, 22> h{};
    const auto put16 = [&](std::size_t at, INTEGER v) {
        h[at] = static_cast<std::uint8_t>(v & 0xFF);
        h[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    };
    put16(0, 0xCDD7);
    put16(2, 0x9AC6);
    put16(10, boxRight);
    put16(12, boxBottom);
    put16(14, 1000);
    put16(20, checksum);
    return h;
}

void YYMetafileOpen(INTEGER& width, INTEGER& height, INTEGER format, INTEGER dashMode, INTEGER boxRight,
                    INTEGER boxBottom, INTEGER checksum, INTEGER toClipboard, INTEGER& status, INTEGER& systemCode,
                    std::string_view fileName, std::string_view description)
{
    MetafileOutputState& s = ms();
    releasePen();
    releaseFont();
    s.ClipRegion.reset();
    s.EnhancedRecording.reset();
    s.WindowsRecording.reset();
    s.Work.discard();
    s.DeviceContext = nullptr;
    s.WriteError = 0;
    s.ToClipboard = toClipboard;
    s.Format = format;
    s.FrameWidth = width * 254 / 72;
    s.FrameHeight = height * 254 / 72;
    const std::string name(fileName.substr(0, fileName.find('\0')));
    s.Target = toClipboard != 0 ? std::string() : name;
    status = 0;
    systemCode = 0;
    if (toClipboard == 0) {
        // The placeable header and bits are written here; the other formats are recorded by the
        // platform into the work file by its name.
        const bool made = format == 1 ? s.Work.createFor(name) : s.Work.createNamedFor(name);
        const auto header = YYPlaceableHeader(boxRight, boxBottom, checksum);
        if (!made || (format == 1 && !s.Work.write(std::span<const std::uint8_t>(header)))) {
            status = 1;
            systemCode = s.Work.error();
            s.Work.discard();
            return;
        }
    }
    const char* recordedFile = toClipboard == 0 && format != 1 ? s.Work.path().c_str() : nullptr;
    if (format == 2) {
        ReferenceDevice reference;
        referenceDevice(reference);
        HDC ref = reference.get();
        s.ReferenceDpi = GetDeviceCaps(ref, LOGPIXELSX);
        const DOUBLE hs = GetDeviceCaps(ref, HORZSIZE), vs = GetDeviceCaps(ref, VERTSIZE);
        if (hs > 0 && vs > 0) {
            width = static_cast<INTEGER>(width * GetDeviceCaps(ref, HORZRES) * 25.4 / (hs * 720.0));
            height = static_cast<INTEGER>(height * GetDeviceCaps(ref, VERTRES) * 25.4 / (vs * 720.0));
        }
        const RECT frame{0, 0, s.FrameWidth, s.FrameHeight};
        const std::string text(description);
        s.EnhancedRecording.reset(CreateEnhMetaFileA(ref, recordedFile, &frame, text.empty() ? nullptr : text.c_str()));
        s.DeviceContext = s.EnhancedRecording.get();
        s.DashMode = dashMode;
        YYMetafileDashScale();
    } else {
        s.WindowsRecording.reset(CreateMetaFileA(recordedFile));
        s.DeviceContext = s.WindowsRecording.get();
        if (s.DeviceContext) SetMapMode(s.DeviceContext, MM_ANISOTROPIC);
    }
    if (!s.DeviceContext) {
        status = 1;
        systemCode = static_cast<INTEGER>(GetLastError());
        s.Work.discard();
        return;
    }
    YYMetafileDashScale();
    SetWindowExtEx(s.DeviceContext, width + 1, height + 1, nullptr);
    s.ExtentX = width + 1;
    s.ExtentY = height + 1;
    SetBkMode(s.DeviceContext, TRANSPARENT);
    s.PenColour = s.PenLineType = s.PenWidth = -1;
}

void YYMetafileClose(INTEGER& status)
{
    MetafileOutputState& s = ms();
    status = 0;
    if (!s.DeviceContext) return;
    if (s.ClipRegion) SelectClipRgn(s.DeviceContext, nullptr);
    s.ClipRegion.reset();
    releaseFont();
    releasePen();
    s.DeviceContext = nullptr;
    EnhMetafileHandle enhanced;
    MetafileHandle windows;
    if (s.Format == 2) enhanced.reset(CloseEnhMetaFile(s.EnhancedRecording.release()));
    else windows.reset(CloseMetaFile(s.WindowsRecording.release()));
    // A recording the platform could not finish has its reason now, before any other call.
    if (!enhanced && !windows) s.WriteError = static_cast<INTEGER>(GetLastError() != 0 ? GetLastError() : ERROR_WRITE_FAULT);
    if (s.ToClipboard != 0) {
        ClipboardSession clipboard(nullptr);
        if (!clipboard.isOpen()) {
            status = 1094;
        } else {
            EmptyClipboard();
            if (s.Format == 2) {
                if (SetClipboardData(CF_ENHMETAFILE, enhanced.get())) static_cast<void>(enhanced.release());
            } else {
                GlobalMemoryHandle block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, sizeof(METAFILEPICT)));
                MetafileHandle copy(windows ? CopyMetaFileA(windows.get(), nullptr) : nullptr);
                if (block && copy) {
                    {
                        GlobalLockGuard lock(block.get());
                        auto* picture = static_cast<METAFILEPICT*>(lock.data());
                        if (picture) *picture = METAFILEPICT{MM_ANISOTROPIC, s.FrameWidth, s.FrameHeight, copy.get()};
                    }
                    if (SetClipboardData(CF_METAFILEPICT, block.get())) {
                        static_cast<void>(block.release());
                        static_cast<void>(copy.release());
                    }
                }
            }
        }
    } else {
        status = deliverFile(enhanced, windows);
    }
    s.Format = 0;
}

void YYMetafileColour(INTEGER red, INTEGER green, INTEGER blue)
{
    ms().PreviousColour = ms().CurrentColour;
    ms().CurrentColour = RGB(red & 0xFF, green & 0xFF, blue & 0xFF);
}

void YYMetafileColourInvert(INTEGER& red, INTEGER& green, INTEGER& blue)
{
    YYPrintInvertComponents(hardcopyOptionBlock().value(6), red, green, blue);
}

void YYMetafileDashScale()
{
    MetafileOutputState& s = ms();
    // An enhanced metafile counts in pixels of its reference device and needs the NT family's
    // user styles; a Windows metafile counts in tenths of a point, 720 to the inch.
    if (s.Format == 2 && !ntFamily()) return;
    const INTEGER reference = s.Format == 2 ? s.ReferenceDpi : 720;
    for (INTEGER t = 1; t <= 7; ++t)
        s.DashArrays[static_cast<std::size_t>(t - 1)] =
            YYPrintDashPattern(t, reference, gdiDrawingState().ScreenResolution, s.StrokeWidth);
}

bool YYMetafileUserStylesKept()
{
    MetafileOutputState& s = ms();
    if (s.UserStylesKept < 0) {
        bool kept = false;
        EnhMetafileRecordingHandle probe(CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr));
        if (probe) {
            {
                LOGBRUSH brush{BS_SOLID, 0, 0};
                const DWORD style[2] = {7, 5};
                GdiObjectHandle pen(ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 3, &brush, 2, style));
                DcSelection selected(probe.get(), pen.get());
                MoveToEx(probe.get(), 0, 0, nullptr);
                LineTo(probe.get(), 40, 0);
            }
            EnhMetafileHandle picture(CloseEnhMetaFile(probe.release()));
            const UINT size = picture ? GetEnhMetaFileBits(picture.get(), 0, nullptr) : 0;
            std::vector<BYTE> bytes(size);
            kept = size > 0 && GetEnhMetaFileBits(picture.get(), size, bytes.data()) == size && recordKeepsDashes(bytes);
        }
        s.UserStylesKept = kept ? 1 : 0;
    }
    return s.UserStylesKept == 1;
}

void YYMetafilePen()
{
    MetafileOutputState& s = ms();
    if (!dc()) return;
    const auto colour = static_cast<INTEGER>(s.CurrentColour);
    if (s.Pen && colour == s.PenColour && s.LineType == s.PenLineType && s.StrokeWidth == s.PenWidth) return;
    releasePen();
    s.PenDashed = 0;
    const auto& dashes = s.DashArrays[static_cast<std::size_t>(std::clamp<INTEGER>(s.LineType, 1, 7) - 1)];
    if (s.PenStyle != 0 && s.Format != 2 && !dashes.empty()) {
        // Readers of Windows metafiles draw a styled pen solid (LibreOffice does whatever its
        // width): a solid pen, and the primitives draw the dashes.
        s.Pen.reset(CreatePen(PS_SOLID, s.StrokeWidth, s.CurrentColour));
        if (s.Pen) s.PenDashed = 1;
    } else if (ntFamily() && s.PenStyle != 0 && s.Format == 2) {
        LOGBRUSH brush{BS_SOLID, s.CurrentColour, 0};
        const DWORD geometric = PS_GEOMETRIC | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL;
        const auto width = static_cast<DWORD>(std::max<INTEGER>(s.StrokeWidth, 1));
        if (s.DashMode != 0 || dashes.empty()) {
            s.Pen.reset(ExtCreatePen(geometric | static_cast<DWORD>(s.PenStyle), width, &brush, 0, nullptr));
        } else if (YYMetafileUserStylesKept()) {
            std::vector<DWORD> style(dashes.begin(), dashes.end());
            s.Pen.reset(ExtCreatePen(geometric | PS_USERSTYLE, width, &brush, static_cast<DWORD>(style.size()), style.data()));
        } else {
            // The recording would lose the dashes: a solid pen, and the primitives draw the dashes.
            s.Pen.reset(ExtCreatePen(geometric | PS_SOLID, width, &brush, 0, nullptr));
            if (s.Pen) s.PenDashed = 1;
        }
    }
    // The system draws a styled pen wider than one unit as a solid line.
    if (!s.Pen) s.Pen.reset(CreatePen(s.PenStyle, s.PenStyle != 0 ? 1 : s.StrokeWidth, s.CurrentColour));
    s.PenReplaced = SelectObject(dc(), s.Pen.get());
    s.PenColour = colour;
    s.PenLineType = s.LineType;
    s.PenWidth = s.StrokeWidth;
}

void YYMetafileLine(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2)
{
    if (!dc()) return;
    YYMetafilePen();
    if (ms().PenDashed != 0) {
        strokeDashed({POINT{x1, y1}, POINT{x2, y2}});
    } else {
        MoveToEx(dc(), x1, y1, nullptr);
        LineTo(dc(), x2, y2);
    }
    if (ms().PenStyle == 0) SetPixel(dc(), x2, y2, ms().CurrentColour);
}

void YYMetafileEllipse(INTEGER cx, INTEGER cy, INTEGER rx, INTEGER ry, INTEGER fillStyle)
{
    if (!dc()) return;
    MetafileOutputState& s = ms();
    if (fillStyle >= 3) {
        GdiObjectHandle brush(CreateSolidBrush(s.CurrentColour)), pen(CreatePen(PS_SOLID, 1, s.CurrentColour));
        DcSelection b(dc(), brush.get()), p(dc(), pen.get());
        Ellipse(dc(), cx - rx - 1, cy - ry - 1, cx + rx + 2, cy + ry + 2);
    } else {
        YYMetafilePen();
        DcSelection b(dc(), GetStockObject(NULL_BRUSH));
        strokeOutline([&](HDC into) { Ellipse(into, cx - rx - 1, cy - ry - 1, cx + rx + 2, cy + ry + 2); });
    }
}

void YYMetafileRectangle(INTEGER left, INTEGER top, INTEGER right, INTEGER bottom)
{
    if (!dc()) return;
    GdiObjectHandle brush(CreateSolidBrush(ms().CurrentColour));
    DcSelection b(dc(), brush.get()), p(dc(), GetStockObject(NULL_PEN));
    Rectangle(dc(), left, top, right + 2, bottom + 2);
}

void YYMetafileSector(INTEGER cx, INTEGER cy, INTEGER rx, INTEGER ry, INTEGER sx, INTEGER sy, INTEGER ex, INTEGER ey)
{
    if (!dc()) return;
    GdiObjectHandle brush(CreateSolidBrush(ms().CurrentColour)), pen(CreatePen(PS_SOLID, 1, ms().CurrentColour));
    DcSelection b(dc(), brush.get()), p(dc(), pen.get());
    Pie(dc(), cx - rx - 1, cy - ry - 1, cx + rx + 2, cy + ry + 2, sx, sy, ex, ey);
}

void YYMetafilePolygon(INTEGER n)
{
    if (!dc() || pointCount(n) == 0) return;
    GdiObjectHandle brush(CreateSolidBrush(ms().CurrentColour));
    DcSelection b(dc(), brush.get()), p(dc(), GetStockObject(NULL_PEN));
    Polygon(dc(), pointBuffer().data(), pointCount(n));
}

void YYMetafileGradient(const INTEGER* xs, const INTEGER* ys, const INTEGER* colours, const INTEGER* triangles,
                        INTEGER n, INTEGER m, INTEGER& status)
{
    status = YYGdiGradientMesh(dc(), xs, ys, colours, triangles, n, m);
}

void YYMetafileFont(INTEGER width, INTEGER height, INTEGER angle, INTEGER variant, INTEGER style, std::string_view faceName)
{
    if (!dc()) return;
    releaseFont();
    struct Face {
        const char* name;
        BYTE family, charset;
    };
    static constexpr Face kFaces[] = {{nullptr, FF_DONTCARE, DEFAULT_CHARSET}, {"Courier New", FF_MODERN, ANSI_CHARSET},
                                      {"Arial", FF_SWISS, ANSI_CHARSET}, {"Times New Roman", FF_ROMAN, ANSI_CHARSET},
                                      {"Symbol", FF_ROMAN, SYMBOL_CHARSET}};
    const Face& f = kFaces[std::clamp<INTEGER>(variant, 0, 4)];
    const std::string named(faceName.substr(0, std::min<std::size_t>(faceName.find('\0'), LF_FACESIZE - 1)));
    MetafileOutputState& s = ms();
    s.Font.reset(CreateFontA(-height, width, angle * 10, angle * 10, (style & 1) != 0 ? FW_BOLD : FW_NORMAL,
                             (style & 2) != 0, (style & 4) != 0, FALSE, f.charset, OUT_CHARACTER_PRECIS,
                             CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, static_cast<BYTE>(f.family | VARIABLE_PITCH),
                             f.name ? f.name : named.c_str()));
    if (s.Font) s.FontReplaced = SelectObject(dc(), s.Font.get());
}

void YYMetafileText(INTEGER x1, INTEGER y1, INTEGER x3, INTEGER y3, INTEGER justification, INTEGER opaque,
                    std::string_view text)
{
    if (!dc() || justification < 0 || justification > 2) return;
    MetafileOutputState& s = ms();
    const COLORREF textColour = SetTextColor(dc(), s.CurrentColour), back = SetBkColor(dc(), s.PreviousColour);
    const int mode = SetBkMode(dc(), opaque != 0 ? OPAQUE : TRANSPARENT);
    static constexpr UINT kAlign[] = {TA_BASELINE | TA_LEFT, TA_BASELINE | TA_CENTER, TA_BASELINE | TA_RIGHT};
    SetTextAlign(dc(), kAlign[justification]);
    INTEGER x = x1, y = y1;
    if (justification == 1) {
        x = (x1 + x3) / 2;
        y = (y1 + y3) / 2;
    } else if (justification == 2) {
        x = x3;
        y = y3;
    }
    TextOutA(dc(), x, y, text.data(), static_cast<int>(text.size()));
    SetBkMode(dc(), mode);
    SetBkColor(dc(), back);
    SetTextColor(dc(), textColour);
}

void YYMetafileClip(INTEGER left, INTEGER top, INTEGER right, INTEGER bottom)
{
    if (!dc()) return;
    MetafileOutputState& s = ms();
    s.ClipRegion.reset(CreateRectRgn(left, top, right, bottom));
    SelectClipRgn(dc(), static_cast<HRGN>(s.ClipRegion.get()));
}

void YYMetafileTextExtent(INTEGER& width, std::string_view text)
{
    SIZE size{0, 0};
    if (dc()) GetTextExtentPoint32A(dc(), text.data(), static_cast<int>(text.size()), &size);
    width = size.cx;
}

void YYMetafilePoint(INTEGER x, INTEGER y)
{
    if (dc()) SetPixel(dc(), x, y, ms().CurrentColour);
}

void YYMetafileLineType(INTEGER lineType)
{
    static constexpr INTEGER kStyles[8] = {PS_SOLID, PS_DOT, PS_DASH, PS_DASHDOT, PS_DASHDOTDOT, PS_DASHDOT, PS_DASH, PS_DASHDOTDOT};
    MetafileOutputState& s = ms();
    if (lineType >= 0 && lineType <= 7) s.PenStyle = kStyles[lineType];
    s.LineType = lineType;
}

void YYMetafileLineWidth(INTEGER width)
{
    ms().StrokeWidth = width;
    YYMetafileDashScale();
}

void YYMetafilePolyline(INTEGER n)
{
    const int count = pointCount(n);
    if (!dc() || count == 0) return;
    YYMetafilePen();
    const std::vector<POINT>& p = pointBuffer();
    if (ms().PenDashed != 0) strokeDashed(std::vector<POINT>(p.begin(), p.begin() + count));
    else Polyline(dc(), p.data(), count);
    const POINT first = p[0], last = p[static_cast<std::size_t>(count - 1)];
    if (YYPrintEndPixelNeeded(ms().PenStyle == 0 ? 1 : 0, first.x, first.y, last.x, last.y, true))
        SetPixel(dc(), last.x, last.y, ms().CurrentColour);
}

void YYMetafileArc(INTEGER cx, INTEGER cy, INTEGER rx, INTEGER ry, INTEGER sx, INTEGER sy, INTEGER ex, INTEGER ey,
                   INTEGER density)
{
    if (!dc()) return;
    YYMetafilePen();
    DcSelection b(dc(), GetStockObject(NULL_BRUSH));
    strokeOutline([&](HDC into) {
        if (density > 2) Arc(into, cx - rx - 1, cy - ry - 1, cx + rx + 2, cy + ry + 2, sx, sy, ex, ey);
        else Pie(into, cx - rx - 1, cy - ry - 1, cx + rx + 2, cy + ry + 2, sx, sy, ex, ey);
    });
}

void YYMetafilePixel(INTEGER x, INTEGER y, INTEGER colour)
{
    if (dc()) SetPixel(dc(), x, y, colourRef(colour));
}

void YYMetafileImageTarget(HDC& dc, HRGN& clip)
{
    dc = ms().DeviceContext;
    clip = static_cast<HRGN>(ms().ClipRegion.get());
}

void YYMetafilePlay(INTEGER format, INTEGER left, INTEGER top, INTEGER right, INTEGER bottom, INTEGER target,
                    INTEGER rotation, INTEGER offsetX, INTEGER offsetY, INTEGER& status, std::string_view fileName,
                    INTEGER source)
{
    status = 0;
    GdiDrawingState& screen = gdiDrawingState();
    HDC into = target == 0 ? screen.DrawingDC : target == 10 ? printerDrawingState().Printer.get() : dc();
    if (!into) {
        status = 1;
        return;
    }
    const bool clipped = target == 0 && screen.ClipRegion;
    if (clipped) SelectClipRgn(into, static_cast<HRGN>(screen.ClipRegion.get()));
    const bool turn = ntFamily();
    int previousMode = 0;
    if (turn) {
        previousMode = SetGraphicsMode(into, GM_ADVANCED);
        XFORM x{1, 0, 0, 1, static_cast<FLOAT>(offsetX), static_cast<FLOAT>(offsetY)};
        switch (rotation) {
        case 90: x = XFORM{0, -1, 1, 0, x.eDx, x.eDy}; break;
        case 180: x = XFORM{-1, 0, 0, -1, x.eDx, x.eDy}; break;
        case 270: x = XFORM{0, 1, -1, 0, x.eDx, x.eDy}; break;
        default: break;
        }
        SetWorldTransform(into, &x);
    }
    const RECT box{left, top, right, bottom};
    if (source == 1) {
        ClipboardSession clipboard(nullptr);
        if (!IsClipboardFormatAvailable(CF_ENHMETAFILE)) status = 1095;
        else if (!clipboard.isOpen()) status = 1094;
        else if (!PlayEnhMetaFile(into, static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE)), &box)) status = 2;
    } else {
        const std::string name(fileName.substr(0, fileName.find('\0')));
        FileHandle file(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        std::vector<BYTE> bytes;
        if (!file) {
            status = 1;
        } else {
            const DWORD size = GetFileSize(file.get(), nullptr);
            bytes.resize(size == INVALID_FILE_SIZE ? 0 : size);
            DWORD read = 0;
            if (bytes.empty() || !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                read != bytes.size())
                status = 1;
        }
        const std::size_t skip = format == 1 ? 22 : 0;
        if (status == 0 && bytes.size() <= skip) status = 2;
        if (status == 0 && format == 2) {
            EnhMetafileHandle picture(SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data()));
            if (!picture || !PlayEnhMetaFile(into, picture.get(), &box)) status = 2;
        } else if (status == 0) {
            MetafileHandle picture(SetMetaFileBitsEx(static_cast<UINT>(bytes.size() - skip), bytes.data() + skip));
            if (!picture) {
                status = 2;
            } else {
                const int saved = SaveDC(into);
                SetMapMode(into, MM_ANISOTROPIC);
                const MetafileOutputState& s = ms();
                const INTEGER w = std::max<INTEGER>(right - left, 1), h = std::max<INTEGER>(bottom - top, 1);
                if (target != 11 || s.Format == 2) {
                    INTEGER ox = left, oy = top;
                    if (target == 10) {
                        ox -= GetDeviceCaps(into, PHYSICALOFFSETX);
                        oy -= GetDeviceCaps(into, PHYSICALOFFSETY);
                    }
                    SetViewportOrgEx(into, ox, oy, nullptr);
                    SetViewportExtEx(into, right - left + 1, bottom - top + 1, nullptr);
                } else {
                    SetWindowOrgEx(into, -(left * s.ExtentX / w), -(top * s.ExtentY / h), nullptr);
                    SetViewportExtEx(into, (right - left + 1) * s.ExtentX / std::max<INTEGER>(s.ExtentX, 1),
                                     (bottom - top + 1) * s.ExtentY / std::max<INTEGER>(s.ExtentY, 1), nullptr);
                }
                if (!PlayMetaFile(into, picture.get())) status = 2;
                RestoreDC(into, saved);
            }
        }
    }
    if (clipped) SelectClipRgn(into, nullptr);
    if (turn) {
        ModifyWorldTransform(into, nullptr, MWT_IDENTITY);
        if (previousMode != 0) SetGraphicsMode(into, previousMode);
    }
}
