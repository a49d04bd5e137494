#include "tests/e2e/DisplayPixels.h"

#include <algorithm>
#include <cmath>

#include "tests/e2e/AppDriving.h"
#include "toolkit/foundation/Handles.h"

namespace E2e {

Pixels capture(HWND client)
{
    const RECT r = clientRectOf(client);
    Pixels p;
    p.Width = r.right;
    p.Height = r.bottom;
    POINT origin{0, 0};
    ClientToScreen(client, &origin);
    WindowDc screen(nullptr);
    MemoryDcHandle memory(CreateCompatibleDC(screen.get()));
    BitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), p.Width, p.Height));
    p.Data.resize(static_cast<std::size_t>(p.Width) * static_cast<std::size_t>(p.Height));
    {
        DcSelection selection(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, p.Width, p.Height, screen.get(), origin.x, origin.y, SRCCOPY);
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = p.Width;
    info.bmiHeader.biHeight = -p.Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(p.Height), p.Data.data(), &info, DIB_RGB_COLORS);
    return p;
}

int nonWhite(const Pixels& p)
{
    int n = 0;
    for (COLORREF c : p.Data)
        if ((c & 0xFFFFFF) != 0xFFFFFF) ++n;
    return n;
}

Difference difference(const Pixels& a, const Pixels& b, const RECT& within)
{
    Difference d;
    for (int y = std::max<LONG>(within.top, 0); y < std::min<LONG>(within.bottom, a.Height); ++y)
        for (int x = std::max<LONG>(within.left, 0); x < std::min<LONG>(within.right, a.Width); ++x)
            if (a.at(x, y) != b.at(x, y)) {
                ++d.Count;
                d.Box.left = std::min<LONG>(d.Box.left, x);
                d.Box.top = std::min<LONG>(d.Box.top, y);
                d.Box.right = std::max<LONG>(d.Box.right, x);
                d.Box.bottom = std::max<LONG>(d.Box.bottom, y);
            }
    return d;
}

POINT onClient(HWND client, double xInches, double yInches)
{
    const RECT r = clientRectOf(client);
    return {static_cast<LONG>(std::lround(xInches / 10.0 * r.right)), static_cast<LONG>(std::lround((1.0 - yInches / 8.0) * r.bottom))};
}

POINT onScreen(HWND client, double xInches, double yInches) { return clientToScreen(client, onClient(client, xInches, yInches)); }

POINT clientToScreen(HWND client, POINT p)
{
    ClientToScreen(client, &p);
    return p;
}

void moveTo(HWND frame, POINT to)
{
    mouseMove({to.x - 3, to.y - 2});
    mouseMove(to);
    settled(frame);
}

}  // namespace E2e
