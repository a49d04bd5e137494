#include "toolkit/graphics/ShadedPolygons.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/DriverProtocol.h"

ShadedPolygonBlock& shadedPolygonBlock()
{
    static ShadedPolygonBlock block;
    return block;
}

namespace {

std::size_t at(INTEGER i) { return static_cast<std::size_t>(i); }

void splitColour(INTEGER c, INTEGER& r, INTEGER& g, INTEGER& b)
{
    r = c % 256;
    g = (c / 256) % 256;
    b = (c / 65536) % 256;
}

void removeVertex(ShadedPolygonBlock& p, INTEGER i)
{
    for (INTEGER k = i; k + 1 < p.VertexCount; ++k) {
        p.PixelX[at(k)] = p.PixelX[at(k + 1)];
        p.PixelY[at(k)] = p.PixelY[at(k + 1)];
        p.VertexColour[at(k)] = p.VertexColour[at(k + 1)];
    }
    --p.VertexCount;
}

// Corner colours as fractions.
struct Rgb { REAL r, g, b; };

Rgb fractions(INTEGER c)
{
    INTEGER r = 0, g = 0, b = 0;
    splitColour(c, r, g, b);
    return Rgb{static_cast<REAL>(r) / 255.0f, static_cast<REAL>(g) / 255.0f, static_cast<REAL>(b) / 255.0f};
}

INTEGER component(REAL v) { return std::clamp(YYDeviceTrunc(v * 255.99f), 0, 255); }

}  // namespace

void YYShadedPolygonPixels(ShadeCoordinateRoutine toX, ShadeCoordinateRoutine toY)
{
    const DriverParameterBlock& b = driverParameterBlock();
    ShadedPolygonBlock& p = shadedPolygonBlock();
    const auto corners = std::min({b.PolygonX.size(), b.PolygonY.size(), p.PixelX.size()});
    p.VertexCount = std::clamp<INTEGER>(p.VertexCount, 0, static_cast<INTEGER>(corners));
    for (INTEGER i = 0; i < p.VertexCount; ++i) {
        p.PixelX[at(i)] = toX(b.PolygonX[at(i)]);
        p.PixelY[at(i)] = toY(b.PolygonY[at(i)]);
    }
}

void YYShadedTriangle(INTEGER a, INTEGER b, INTEGER c, INTEGER xmin, INTEGER ymin, INTEGER xmax, INTEGER ymax,
                      ShadePixelRoutine pixel)
{
    const ShadedPolygonBlock& p = shadedPolygonBlock();
    if (!pixel) return;
    const INTEGER corner[3] = {a - 1, b - 1, c - 1};
    for (INTEGER k : corner)
        if (k < 0 || k >= p.VertexCount) return;
    const auto X = [&](INTEGER k) { return p.PixelX[at(k)]; };
    const auto Y = [&](INTEGER k) { return p.PixelY[at(k)]; };
    INTEGER top = std::min({Y(corner[0]), Y(corner[1]), Y(corner[2])});
    INTEGER bottom = std::max({Y(corner[0]), Y(corner[1]), Y(corner[2])});
    if (bottom < ymin || top > ymax) return;
    top = std::max(top, ymin);
    bottom = std::min(bottom, ymax);
    const Rgb colour[3] = {fractions(p.VertexColour[at(corner[0])]), fractions(p.VertexColour[at(corner[1])]),
                           fractions(p.VertexColour[at(corner[2])])};
    // Sides c-a, a-b, b-c as (first, second) corner positions.
    const int sides[3][2] = {{2, 0}, {0, 1}, {1, 2}};
    for (INTEGER y = top; y <= bottom; ++y) {
        INTEGER left = xmax + 1, right = xmin - 1;
        Rgb leftColour{}, rightColour{};
        bool found = false;
        for (const auto& side : sides) {
            const INTEGER f = corner[side[0]], s = corner[side[1]];
            const INTEGER yf = Y(f), ys = Y(s);
            if (yf == ys || y < std::min(yf, ys) || y > std::max(yf, ys)) continue;
            const REAL t = static_cast<REAL>(y - ys) / static_cast<REAL>(yf - ys);
            const INTEGER x = YYDeviceTrunc(t * static_cast<REAL>(X(f)) + (1.0f - t) * static_cast<REAL>(X(s)) + 0.5f);
            const Rgb& cf = colour[side[0]];
            const Rgb& cs = colour[side[1]];
            const Rgb cx{t * cf.r + (1 - t) * cs.r, t * cf.g + (1 - t) * cs.g, t * cf.b + (1 - t) * cs.b};
            if (!found || x < left) { left = x; leftColour = cx; }
            if (!found || x > right) { right = x; rightColour = cx; }
            found = true;
        }
        if (!found || left > xmax || right < xmin) continue;
        Rgb step{0, 0, 0};
        if (right != left) {
            const REAL span = static_cast<REAL>(right - left);
            step = Rgb{(rightColour.r - leftColour.r) / span, (rightColour.g - leftColour.g) / span,
                       (rightColour.b - leftColour.b) / span};
        }
        const INTEGER from = std::max(left, xmin), to = std::min(right, xmax);
        const REAL skipped = static_cast<REAL>(from - left);
        Rgb cur{leftColour.r + step.r * skipped, leftColour.g + step.g * skipped, leftColour.b + step.b * skipped};
        for (INTEGER x = from; x <= to; ++x) {
            pixel(x, y, component(cur.r) + 256 * component(cur.g) + 65536 * component(cur.b));
            cur.r += step.r;
            cur.g += step.g;
            cur.b += step.b;
        }
    }
}

void YYShadedPolygonFill(INTEGER level, INTEGER xmin, INTEGER ymin, INTEGER xmax, INTEGER ymax, ShadePixelRoutine pixel,
                         ShadeGradientRoutine gradient)
{
    ShadedPolygonBlock& p = shadedPolygonBlock();
    p.VertexCount = std::clamp(p.VertexCount, 0, ShadedPolygonBlock::kMaxVertices);
    const INTEGER original = p.VertexCount;
    if (p.VertexCount < 3) return;
    // Repeated vertices collapse into one with the average colour of the run.
    INTEGER i = 0;
    INTEGER sumR = 0, sumG = 0, sumB = 0, run = 1;
    splitColour(p.VertexColour[0], sumR, sumG, sumB);
    while (i < p.VertexCount - 1) {
        if (p.PixelX[at(i + 1)] == p.PixelX[at(i)] && p.PixelY[at(i + 1)] == p.PixelY[at(i)]) {
            if (p.VertexCount == 3) return;
            INTEGER r = 0, g = 0, b = 0;
            splitColour(p.VertexColour[at(i + 1)], r, g, b);
            sumR += r;
            sumG += g;
            sumB += b;
            ++run;
            removeVertex(p, i + 1);
            continue;
        }
        if (run > 1) p.VertexColour[at(i)] = sumR / run + 256 * (sumG / run) + 65536 * (sumB / run);
        ++i;
        run = 1;
        splitColour(p.VertexColour[at(i)], sumR, sumG, sumB);
    }
    const INTEGER n0 = p.VertexCount;
    if (p.PixelX[at(n0 - 1)] == p.PixelX[0] && p.PixelY[at(n0 - 1)] == p.PixelY[0]) {
        if (n0 == 3) return;
        INTEGER r1 = 0, g1 = 0, b1 = 0, rn = 0, gn = 0, bn = 0;
        splitColour(p.VertexColour[0], r1, g1, b1);
        splitColour(p.VertexColour[at(n0 - 1)], rn, gn, bn);
        p.VertexColour[0] = (r1 + rn) / 2 + 256 * ((g1 + gn) / 2) + 65536 * ((b1 + bn) / 2);
        --p.VertexCount;
    }
    const INTEGER n = p.VertexCount;
    if (n == 3) {
        p.TriangleCount = 1;
        p.Triangles[0] = 1;
        p.Triangles[1] = 2;
        p.Triangles[2] = 3;
        INTEGER status = 1;
        if (level == 2 && gradient) gradient(p.PixelX.data(), p.PixelY.data(), p.VertexColour.data(), p.Triangles.data(), 3, 1, status);
        if (status != 0) YYShadedTriangle(1, 2, 3, xmin, ymin, xmax, ymax, pixel);
        return;
    }
    // The triangles index the compacted vertices: decompose the real positions while none was
    // dropped, else the compacted pixel positions themselves.
    std::vector<REAL> xs(at(n)), ys(at(n));
    const DriverParameterBlock& b = driverParameterBlock();
    const bool realUsable = n == original && b.PolygonX.size() >= at(n) && b.PolygonY.size() >= at(n);
    for (INTEGER k = 0; k < n; ++k) {
        xs[at(k)] = realUsable ? b.PolygonX[at(k)] : static_cast<REAL>(p.PixelX[at(k)]);
        ys[at(k)] = realUsable ? b.PolygonY[at(k)] : static_cast<REAL>(p.PixelY[at(k)]);
    }
    YYPolygonDecompose(xs.data(), ys.data(), n, p.Triangles.data(), p.TriangleCount);
    if (p.TriangleCount == 0) return;
    INTEGER status = 1;
    if (level == 2 && gradient)
        gradient(p.PixelX.data(), p.PixelY.data(), p.VertexColour.data(), p.Triangles.data(), n, p.TriangleCount, status);
    if (status == 0) return;
    for (INTEGER k = 0; k < p.TriangleCount; ++k)
        YYShadedTriangle(p.Triangles[at(3 * k)], p.Triangles[at(3 * k + 1)], p.Triangles[at(3 * k + 2)], xmin, ymin,
                         xmax, ymax, pixel);
}

void YYPolygonDecompose(const REAL* x, const REAL* y, INTEGER n, INTEGER* triangles, INTEGER& count)
{
    count = 0;
    if (n <= 2 || !x || !y || !triangles) return;
    std::vector<INTEGER> mark(at(n), 0);
    const auto next = [n](INTEGER i) { return (i + 1) % n; };
    const auto previous = [n](INTEGER i) { return (i + n - 1) % n; };
    const auto same = [&](INTEGER a, INTEGER b) { return x[a] == x[b] && y[a] == y[b]; };
    const auto turn = [&](INTEGER u, INTEGER v, INTEGER w) {
        return (static_cast<double>(x[w]) - x[v]) * (static_cast<double>(y[v]) - y[u]) >
               (static_cast<double>(x[v]) - x[u]) * (static_cast<double>(y[w]) - y[v]);
    };
    INTEGER top = 0;
    for (INTEGER i = 1; i < n; ++i)
        if (y[i] > y[top]) top = i;

    INTEGER start = top;
    while (true) {
        std::fill(mark.begin(), mark.end(), 0);
        count = 0;
        INTEGER p = previous(start), q = next(start);
        INTEGER guard = 0;
        while (same(p, start) && guard++ < n) p = previous(p);
        guard = 0;
        while (same(q, start) && guard++ < n) q = next(q);
        if (same(p, start) || same(q, start)) {
            count = 0;
            return;
        }
        const bool orientation = turn(p, start, q);
        INTEGER u = start, v = next(start), failures = 0;
        bool complete = false;
        // Every step either clips an ear or counts a failure, and n failures in a row end the
        // trial, so the walk always ends.
        for (INTEGER steps = 0; steps < 4 * n * n + 16 && failures < n; ++steps) {
            if (mark[at(v)] == -2) {
                v = next(v);
                continue;
            }
            INTEGER w = next(v);
            while (w != u && (mark[at(w)] == -2 || same(w, v))) {
                mark[at(w)] = -2;
                w = next(w);
            }
            if (w == u) {
                complete = true;
                break;
            }
            if (mark[at(v)] > 0) {
                if (mark[at(mark[at(v)] - 1)] == -2) mark[at(v)] = 0;
            }
            if (mark[at(v)] != 0) {
                ++failures;
                u = v;
                v = w;
                continue;
            }
            if (turn(u, v, w) != orientation) {
                mark[at(v)] = -1;
                ++failures;
                u = v;
                v = w;
                continue;
            }
            const double bx0 = std::min({x[u], x[v], x[w]}), bx1 = std::max({x[u], x[v], x[w]});
            const double by0 = std::min({y[u], y[v], y[w]}), by1 = std::max({y[u], y[v], y[w]});
            const double eps = 1.1920929e-7;
            const double lx = bx0 - eps * std::fabs(bx0), hx = bx1 + eps * std::fabs(bx1);
            const double ly = by0 - eps * std::fabs(by0), hy = by1 + eps * std::fabs(by1);
            INTEGER blocker = -1;
            for (INTEGER k = next(w); k != u; k = next(k)) {
                if (mark[at(k)] == -2) continue;
                const double px = x[k], py = y[k];
                if (px < lx || px > hx || py < ly || py > hy) continue;
                if (same(k, u) || same(k, v) || same(k, w)) continue;
                // Closed triangle: a vertex on any side blocks the ear, so no two triangles overlap.
                const auto side = [&](INTEGER a, INTEGER b) {
                    return (static_cast<double>(x[b]) - x[a]) * (py - y[a]) - (static_cast<double>(y[b]) - y[a]) * (px - x[a]);
                };
                const double s1 = side(u, v), s2 = side(v, w), s3 = side(w, u);
                const bool inside = (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
                if (inside) {
                    blocker = k;
                    break;
                }
            }
            if (blocker >= 0) {
                mark[at(v)] = blocker + 1;
                ++failures;
                u = v;
                v = w;
                continue;
            }
            triangles[3 * count] = u + 1;
            triangles[3 * count + 1] = v + 1;
            triangles[3 * count + 2] = w + 1;
            ++count;
            mark[at(v)] = -2;
            mark[at(u)] = 0;
            mark[at(w)] = 0;
            failures = 0;
            v = w;
            if (count >= n - 2) {
                complete = true;
                break;
            }
        }
        if (complete) return;
        start = next(start);
        if (start == top) {
            YYErrorReport(28, "YYPolygonDecompose");
            return;
        }
    }
}
