// The program's display as the screen shows it, for the end-to-end tests: the client's pixels, where
// two pictures differ, points of the 10 x 8 inch page on the screen, and pointer moves that the
// program has handled.
#pragma once

#include <climits>
#include <vector>

#include "toolkit/foundation/WinApi.h"

namespace E2e {

struct Pixels {
    int Width = 0, Height = 0;
    std::vector<COLORREF> Data;
    COLORREF at(int x, int y) const { return Data[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)] & 0xFFFFFF; }
    bool white(int x, int y) const { return at(x, y) == 0xFFFFFF; }
    bool operator==(const Pixels& o) const { return Width == o.Width && Height == o.Height && Data == o.Data; }
};

// The client's pixels as the screen shows them.
Pixels capture(HWND client);
int nonWhite(const Pixels& p);

// Where two pictures differ: the bounding box and the count.
struct Difference {
    RECT Box{INT_MAX, INT_MAX, -1, -1};
    int Count = 0;
};
Difference difference(const Pixels& a, const Pixels& b, const RECT& within);

// A point of the 10 x 8 inch page in the client and on the screen.
POINT onClient(HWND client, double xInches, double yInches);
POINT onScreen(HWND client, double xInches, double yInches);
POINT clientToScreen(HWND client, POINT p);

// Moves the pointer in small steps (real moves, each with its own time) and waits until the
// program has handled them.
void moveTo(HWND frame, POINT to);

}  // namespace E2e
