// Builds the compiled-in stroke character sets from their readable sources.
//
//   StrokeFontGenerator SOURCE_DIR OUTPUT.cpp
//
// standard.strokes holds the line set drawn by hand on its 6 x 11 grid; symbol.strokes the symbol
// set's skeletons on the same grid; outline.strokes a few outline glyphs written out by hand. The
// seven outline sets are grown from these skeletons: each skeleton stroke becomes a filled band
// around it on the 55 grid (wider for the bold variants, thick and thin with serifs for roman), a
// closed skeleton becomes a ring written as one polygon with a slit.
//
// Source lines:  CODE BODY [# comment]   or   @NAME BODY [# comment]
//   BODY is either strokes: points "x,y" separated by blanks, strokes separated by "|";
//   or a composition "= PART PART ...": a code of the same set, "sCODE" a code of the standard
//   set, "cCODE" a capital of the same set lowered to leave room for an accent, or "@NAME".
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "toolkit/graphics/StrokeAdvanceWidths.h"

namespace {

struct Pt {
    double x = 0;
    double y = 0;
};
using Stroke = std::vector<Pt>;
using Glyph = std::vector<Stroke>;
using GlyphMap = std::map<int, Glyph>;

constexpr char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrst";

[[noreturn]] void fail(const std::string& text)
{
    std::cerr << "StrokeFontGenerator: " << text << "\n";
    std::exit(1);
}

// Capitals span y 2 to 11; an accented capital is squeezed into 2 to 9 so the accent fits above.
Glyph lowered(const Glyph& g)
{
    Glyph out = g;
    for (auto& s : out)
        for (auto& p : s)
            if (p.y > 2) p.y = 2 + std::round((p.y - 2) * 7.0 / 9.0);
    return out;
}

struct SourceFile {
    GlyphMap glyphs;
    std::map<std::string, Glyph> parts;
};

Glyph parseStrokes(const std::string& body, const std::string& where)
{
    Glyph g;
    Stroke cur;
    std::istringstream in(body);
    std::string tok;
    while (in >> tok) {
        if (tok == "|") {
            if (cur.size() < 2) fail(where + ": a stroke needs two points");
            g.push_back(cur);
            cur.clear();
            continue;
        }
        int x = 0, y = 0;
        char comma = 0;
        std::istringstream pt(tok);
        if (!(pt >> x >> comma >> y) || comma != ',') fail(where + ": bad point '" + tok + "'");
        cur.push_back({double(x), double(y)});
    }
    if (cur.size() < 2) fail(where + ": a stroke needs two points");
    g.push_back(cur);
    return g;
}

void readSource(const std::string& path, SourceFile& file, const GlyphMap* standard)
{
    std::ifstream in(path);
    if (!in) fail("cannot read " + path);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        const std::string where = path + ":" + std::to_string(lineNo);
        if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream ls(line);
        std::string key;
        if (!(ls >> key)) continue;
        std::string body;
        std::getline(ls, body);
        Glyph g;
        const auto first = body.find_first_not_of(' ');
        if (first != std::string::npos && body[first] == '=') {
            std::istringstream parts(body.substr(first + 1));
            std::string part;
            while (parts >> part) {
                Glyph add;
                if (part[0] == '@') {
                    if (!file.parts.count(part.substr(1))) fail(where + ": unknown part " + part);
                    add = file.parts[part.substr(1)];
                } else if (part[0] == 's' || part[0] == 'c') {
                    const int code = std::stoi(part.substr(1));
                    const GlyphMap& from = (part[0] == 's' && standard) ? *standard : file.glyphs;
                    if (!from.count(code)) fail(where + ": unknown glyph " + part);
                    add = part[0] == 'c' ? lowered(from.at(code)) : from.at(code);
                } else {
                    const int code = std::stoi(part);
                    if (!file.glyphs.count(code)) fail(where + ": unknown glyph " + part);
                    add = file.glyphs[code];
                }
                g.insert(g.end(), add.begin(), add.end());
            }
        } else {
            g = parseStrokes(body, where);
        }
        for (const auto& s : g)
            for (const auto& p : s)
                if (p.x < 0 || p.x > 6 || p.y < 0 || p.y > 11) fail(where + ": point off the 6 x 11 grid");
        if (key[0] == '@') {
            file.parts[key.substr(1)] = g;
        } else {
            const int code = std::stoi(key);
            if (code < 33 || code > 255 || (code > 127 && code < 161)) fail(where + ": code out of range");
            file.glyphs[code] = g;
        }
    }
}

// ---- outline growing ----------------------------------------------------------------------

struct Family {
    const char* routine;  // the data routine's name, for the comment
    const char* name;
    double gridWidth, gridHeight, cellWidth, cellHeight;
    int flags, spacing;
    double thin, thick;   // half widths of horizontal and vertical strokes
    bool proportional, serifs;
    double xScale;        // grid units per skeleton x unit at an advance of 0.84
};

constexpr double kBaseLine = 13.0;
constexpr double kYScale = 3.55;  // skeleton y 2..11 -> 13..45
constexpr double kCentre = 27.5;  // the cell's middle, where the advance interval's middle falls

double advanceOf(int code)
{
    if (code >= 32 && code <= 127) return kAdvanceWidthDefaultLow[code - 32];
    if (code >= 161 && code <= 255) return kAdvanceWidthDefaultHigh[code - 161];
    return 0.84;
}

bool isLetter(int code)
{
    return (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z') ||
           (code >= 192 && code <= 255 && code != 215 && code != 247);
}

Pt sub(Pt a, Pt b) { return {a.x - b.x, a.y - b.y}; }
Pt add(Pt a, Pt b) { return {a.x + b.x, a.y + b.y}; }
Pt mul(Pt a, double k) { return {a.x * k, a.y * k}; }
double dot(Pt a, Pt b) { return a.x * b.x + a.y * b.y; }
double cross(Pt a, Pt b) { return a.x * b.y - a.y * b.x; }
double len(Pt a) { return std::sqrt(dot(a, a)); }

// Where the offset lines of two consecutive segments meet; parallel lines meet at the first.
Pt meet(Pt a, Pt u, Pt b, Pt v)
{
    const double c = cross(u, v);
    if (std::fabs(c) < 1e-9) return b;
    const double t = cross(sub(b, a), v) / c;
    return add(a, mul(u, t));
}

struct Band {
    const Family& f;
    std::vector<Stroke> polys;

    double halfWidth(Pt d) const { return f.thin + (f.thick - f.thin) * std::fabs(d.y); }

    // One open piece: left side forward, right side back, square ends.
    void piece(const Stroke& q) { polys.push_back(bandOf(q)); }

    Stroke bandOf(const Stroke& q) const
    {
        const std::size_t m = q.size();
        std::vector<Pt> d(m - 1), n(m - 1);
        std::vector<double> h(m - 1);
        for (std::size_t i = 0; i + 1 < m; ++i) {
            const Pt v = sub(q[i + 1], q[i]);
            d[i] = mul(v, 1.0 / len(v));
            n[i] = {-d[i].y, d[i].x};
            h[i] = halfWidth(d[i]);
        }
        Stroke left, right;
        for (int side : {1, -1}) {
            Stroke& out = side == 1 ? left : right;
            out.push_back(add(q[0], mul(n[0], side * h[0])));
            for (std::size_t j = 1; j + 1 < m; ++j)
                out.push_back(meet(add(q[j], mul(n[j - 1], side * h[j - 1])), d[j - 1],
                                   add(q[j], mul(n[j], side * h[j])), d[j]));
            out.push_back(add(q[m - 1], mul(n[m - 2], side * h[m - 2])));
        }
        Stroke poly = left;
        poly.insert(poly.end(), right.rbegin(), right.rend());
        return poly;
    }

    // A closed skeleton: the outer ring, a slit to the inner ring, the inner ring backwards.
    void ring(const Stroke& q)  // q without the repeated last point
    {
        const std::size_t m = q.size();
        std::vector<Pt> d(m), n(m);
        std::vector<double> h(m);
        for (std::size_t i = 0; i < m; ++i) {
            const Pt v = sub(q[(i + 1) % m], q[i]);
            d[i] = mul(v, 1.0 / len(v));
            n[i] = {-d[i].y, d[i].x};
            h[i] = halfWidth(d[i]);
        }
        Stroke left, right;
        for (int side : {1, -1}) {
            Stroke& out = side == 1 ? left : right;
            for (std::size_t j = 0; j < m; ++j) {
                const std::size_t p = (j + m - 1) % m;
                out.push_back(meet(add(q[j], mul(n[p], side * h[p])), d[p], add(q[j], mul(n[j], side * h[j])), d[j]));
            }
        }
        Stroke poly = left;
        poly.push_back(left[0]);
        poly.push_back(right[0]);
        for (std::size_t j = m; j-- > 1;) poly.push_back(right[j]);
        poly.push_back(right[0]);
        polys.push_back(poly);
    }

    // The loop's outline grown outwards by the half width.
    void solid(const Stroke& q)
    {
        double area = 0;
        for (std::size_t i = 0; i < q.size(); ++i) area += cross(q[i], q[(i + 1) % q.size()]);
        Stroke outer;
        const std::size_t m = q.size();
        const int side = area > 0 ? -1 : 1;  // right of a counter-clockwise loop is outside
        for (std::size_t j = 0; j < m; ++j) {
            const std::size_t p = (j + m - 1) % m;
            const Pt u = mul(sub(q[j], q[p]), 1.0 / len(sub(q[j], q[p])));
            const Pt v = mul(sub(q[(j + 1) % m], q[j]), 1.0 / len(sub(q[(j + 1) % m], q[j])));
            const Pt nu{-u.y, u.x}, nv{-v.y, v.x};
            outer.push_back(meet(add(q[j], mul(nu, side * halfWidth(u))), u, add(q[j], mul(nv, side * halfWidth(v))), v));
        }
        polys.push_back(outer);
    }

    // A corner too sharp for a clean offset is cut: each side gets a square end that covers it.
    bool sharp(Pt a, Pt b, Pt c) const
    {
        const Pt u = sub(b, a), v = sub(c, b);
        const double cosTurn = dot(u, v) / (len(u) * len(v));
        const double turn = std::acos(std::clamp(cosTurn, -1.0, 1.0));
        if (turn > 80.0 * 3.14159265358979 / 180.0) return true;
        const double inner = f.thick * std::tan(turn / 2);
        return inner > 0.45 * std::min(len(u), len(v));
    }

    void stroke(Stroke s)
    {
        s.erase(std::unique(s.begin(), s.end(), [](Pt a, Pt b) { return a.x == b.x && a.y == b.y; }), s.end());
        if (s.size() < 2) return;
        const bool closed = s.size() >= 4 && s.front().x == s.back().x && s.front().y == s.back().y;
        if (closed) {
            Stroke q(s.begin(), s.end() - 1);
            const std::size_t m = q.size();
            std::size_t cut = m;
            for (std::size_t j = 0; j < m && cut == m; ++j)
                if (sharp(q[(j + m - 1) % m], q[j], q[(j + 1) % m])) cut = j;
            double x0 = q[0].x, x1 = x0, y0 = q[0].y, y1 = y0;
            for (const Pt& p : q) {
                x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
            }
            if (std::min(x1 - x0, y1 - y0) < 4 * f.thick) {
                solid(q);  // a loop too small to keep a hole, such as a degree sign, is filled
                return;
            }
            if (cut == m) {
                ring(q);
                return;
            }
            // Open the loop at a sharp corner and treat it as a path from that corner round to it.
            Stroke open;
            for (std::size_t k = 0; k <= m; ++k) open.push_back(q[(cut + k) % m]);
            split(open, true);
            return;
        }
        split(s, false);
    }

    // A band that crosses itself would leave the crossing unfilled (polygons fill by the
    // even-odd rule), so a stroke is cut where its band would stop being a simple polygon.
    static bool simple(const Stroke& poly)
    {
        const std::size_t n = poly.size();
        auto side = [](Pt a, Pt b, Pt c) { return cross(sub(b, a), sub(c, a)); };
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = i + 2; j < n; ++j) {
                if (i == 0 && j == n - 1) continue;
                const Pt a = poly[i], b = poly[(i + 1) % n], c = poly[j], d = poly[(j + 1) % n];
                const double d1 = side(a, b, c), d2 = side(a, b, d), d3 = side(c, d, a), d4 = side(c, d, b);
                if (((d1 > 1e-9 && d2 < -1e-9) || (d1 < -1e-9 && d2 > 1e-9)) &&
                    ((d3 > 1e-9 && d4 < -1e-9) || (d3 < -1e-9 && d4 > 1e-9)))
                    return false;
            }
        return true;
    }

    // Also a side that runs backwards along a short segment folds the band over itself.
    bool crowded(const Stroke& s, std::size_t from, std::size_t j) const
    {
        const Stroke q(s.begin() + static_cast<std::ptrdiff_t>(from), s.begin() + static_cast<std::ptrdiff_t>(j) + 2);
        const Stroke band = bandOf(q);
        const std::size_t m = q.size();
        for (std::size_t i = 0; i + 1 < m; ++i) {
            const Pt d = sub(q[i + 1], q[i]);
            if (dot(sub(band[i + 1], band[i]), d) <= 0) return true;                  // left side
            if (dot(sub(band[2 * m - 2 - i], band[2 * m - 1 - i]), d) <= 0) return true;  // right side
        }
        return !simple(band);
    }

    // Cut where a corner is too sharp or the band would run over itself; each cut gets a bevel
    // that fills the wedge the two bands leave on the outside of the corner.
    void split(const Stroke& s, bool loop)
    {
        std::size_t from = 0;
        for (std::size_t j = 1; j + 1 < s.size(); ++j) {
            if (!sharp(s[j - 1], s[j], s[j + 1]) && !crowded(s, from, j)) continue;
            piece(Stroke(s.begin() + static_cast<std::ptrdiff_t>(from), s.begin() + static_cast<std::ptrdiff_t>(j) + 1));
            bevel(s[j - 1], s[j], s[j + 1]);
            from = j;
        }
        piece(Stroke(s.begin() + static_cast<std::ptrdiff_t>(from), s.end()));
        if (loop) bevel(s[s.size() - 2], s[0], s[1]);
    }

    void bevel(Pt a, Pt b, Pt c)
    {
        const Pt u = mul(sub(b, a), 1.0 / len(sub(b, a)));
        const Pt v = mul(sub(c, b), 1.0 / len(sub(c, b)));
        const double turn = cross(u, v);
        if (std::fabs(turn) < 1e-6) return;  // straight on: the two bands meet flush
        const double side = turn > 0 ? -1 : 1;  // the outside of a left turn is on the right
        const Pt nu{-u.y, u.x}, nv{-v.y, v.x};
        polys.push_back({b, add(b, mul(nu, side * halfWidth(u))), add(b, mul(nv, side * halfWidth(v)))});
    }

    // Roman feet and heads: a bar across a vertical end on the base line, x-height, cap line or
    // descender line.
    void serif(const Stroke& skel, const Stroke& mapped)
    {
        for (int end : {0, 1}) {
            const std::size_t j = end == 0 ? 0 : skel.size() - 1;
            const std::size_t k = end == 0 ? 1 : skel.size() - 2;
            const Pt d = sub(skel[k], skel[j]);
            if (std::fabs(d.x) > 0.2 * std::fabs(d.y)) continue;
            const double y = skel[j].y;
            if (y != 0 && y != 2 && y != 8 && y != 9 && y != 11) continue;
            const double half = f.thick + 2.4, t = f.thin * 1.5;
            const Pt p = mapped[j];
            const double y0 = d.y > 0 ? p.y : p.y - t, y1 = d.y > 0 ? p.y + t : p.y;
            polys.push_back({{p.x - half, y0}, {p.x + half, y0}, {p.x + half, y1}, {p.x - half, y1}});
        }
    }
};

std::string encodePoint(int x, int y) { return std::string{kAlphabet[x], kAlphabet[y]}; }

std::string encodeStandard(const Glyph& g)
{
    std::string out;
    for (const auto& s : g) {
        if (!out.empty()) out += 'u';
        for (const auto& p : s) out += encodePoint(int(p.x), int(p.y));
    }
    return out;
}

std::string encodeOutline(const Glyph& g, int code, const Family& f)
{
    const double fx = f.proportional ? std::clamp(advanceOf(code) / 0.84, 0.62, 1.45) : 1.0;
    const double sx = f.xScale * fx;
    Band band{f, {}};
    for (const auto& s : g) {
        Stroke mapped;
        for (const auto& p : s) mapped.push_back({kCentre + (p.x - 3) * sx, kBaseLine + (p.y - 2) * kYScale});
        band.stroke(mapped);
        if (f.serifs && isLetter(code) && !(s.front().x == s.back().x && s.front().y == s.back().y))
            band.serif(s, mapped);
    }
    std::string out;
    for (const auto& poly : band.polys) {
        std::vector<std::pair<int, int>> pts;
        for (const auto& p : poly) {
            const int x = std::clamp(int(std::lround(p.x)), 0, 55), y = std::clamp(int(std::lround(p.y)), 0, 55);
            if (pts.empty() || pts.back() != std::make_pair(x, y)) pts.emplace_back(x, y);
        }
        while (pts.size() > 1 && pts.back() == pts.front()) pts.pop_back();
        if (pts.size() < 3) continue;
        if (!out.empty()) out += 'v';
        for (auto [x, y] : pts) out += encodePoint(x, y);
    }
    return out;
}

struct Encoded {
    std::string glyphs;
    int low[96] = {};
    int high[96] = {};
};

// Low glyphs for codes 33 to 127 (127: the glyph of code 128), one blank, then 161 to 255.
template <class Encode>
Encoded assemble(const GlyphMap& glyphs, Encode encode)
{
    Encoded e;
    auto text = [&](int code) {
        auto it = glyphs.find(code);
        return it == glyphs.end() ? std::string() : encode(it->second, code);
    };
    for (int code = 33; code <= 127; ++code) {
        e.low[code - 33] = int(e.glyphs.size()) + 1;
        e.glyphs += text(code);
    }
    e.low[95] = int(e.glyphs.size()) + 1;
    e.glyphs += ' ';
    for (int code = 161; code <= 255; ++code) {
        e.high[code - 161] = int(e.glyphs.size()) + 1;
        e.glyphs += text(code);
    }
    e.high[95] = int(e.glyphs.size()) + 1;
    return e;
}

void writeSet(std::ostream& out, const std::string& id, const Encoded& e)
{
    out << "constexpr char k" << id << "Glyphs[] =\n";
    for (std::size_t i = 0; i < e.glyphs.size(); i += 96) out << "    \"" << e.glyphs.substr(i, 96) << "\"\n";
    out << "    ;\n";
    for (const char* table : {"Low", "High"}) {
        const int* v = table[0] == 'L' ? e.low : e.high;
        out << "constexpr INTEGER k" << id << table << "Starts[96] = {";
        for (int i = 0; i < 96; ++i) out << (i % 12 == 0 ? "\n    " : " ") << v[i] << ",";
        out << "\n};\n";
    }
    out << "\n";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) fail("usage: StrokeFontGenerator SOURCE_DIR OUTPUT.cpp");
    const std::string dir = argv[1];

    SourceFile standard;
    readSource(dir + "/standard.strokes", standard, nullptr);
    SourceFile symbol;
    for (int code = 33; code <= 126; ++code)
        if (standard.glyphs.count(code)) symbol.glyphs[code] = standard.glyphs[code];
    symbol.parts = standard.parts;
    readSource(dir + "/symbol.strokes", symbol, &standard.glyphs);

    // Outline glyphs written out by hand, by set name.
    std::map<std::string, std::map<int, std::string>> handOutlines;
    {
        std::ifstream in(dir + "/outline.strokes");
        if (!in) fail("cannot read outline.strokes");
        std::string line;
        while (std::getline(in, line)) {
            if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
            std::istringstream ls(line);
            std::string set, text;
            int code = 0;
            if (ls >> set >> code >> text) handOutlines[set][code] = text;
        }
    }

    const Family families[] = {
        {"YYStrokeFontFixedData", "fixed.chr", 36.3, 55, 55, 55, 2, 0, 2.2, 2.2, false, false, 3.5},
        {"YYStrokeFontFixedBold", "fixedbld.chr", 36.3, 55, 55, 55, 2, 0, 3.6, 3.6, false, false, 3.5},
        {"YYStrokeFontRomanData", "roman.chr", 36.3, 55, 55, 55, 2, 1, 1.1, 2.7, true, true, 3.5},
        {"YYStrokeFontRomanBold", "romanbld.chr", 36.3, 55, 55, 55, 2, 1, 1.7, 3.8, true, true, 3.5},
        {"YYStrokeFontSwissData", "swiss.chr", 36.3, 55, 55, 55, 2, 1, 2.5, 2.5, true, false, 3.5},
        {"YYStrokeFontSwissBold", "swissbld.chr", 36.3, 55, 55, 55, 2, 1, 3.7, 3.7, true, false, 3.5},
        {"YYStrokeFontSymbol", "symbol.chr", 30.25, 55, 55, 55, 0, 1, 2.2, 2.2, true, false, 3.3},
    };
    const char* ids[] = {"Fixed", "FixedBold", "Roman", "RomanBold", "Swiss", "SwissBold", "Symbol"};

    std::ostringstream out;
    out << "// Generated by StrokeFontGenerator from toolkit/graphics/strokefonts/*.strokes: edit those,\n"
           "// not this file (the native build regenerates it and a test checks the two agree).\n"
           "#include \"toolkit/graphics/StrokeFontData.h\"\n\nnamespace {\n\n";
    writeSet(out, "Standard", assemble(standard.glyphs, [](const Glyph& g, int) { return encodeStandard(g); }));
    for (std::size_t i = 0; i < std::size(families); ++i) {
        const Family& f = families[i];
        const GlyphMap& src = std::string(f.name) == "symbol.chr" ? symbol.glyphs : standard.glyphs;
        const auto& hand = handOutlines[std::string(f.name).substr(0, std::string(f.name).find('.'))];
        writeSet(out, ids[i], assemble(src, [&](const Glyph& g, int code) {
                     auto it = hand.find(code);
                     return it != hand.end() ? it->second : encodeOutline(g, code, f);
                 }));
    }
    out << "}  // namespace\n\nconst BuiltInStrokeSet kBuiltInStrokeSets[kBuiltInStrokeSetCount] = {\n";
    out << "    {\"standard.chr\", 7.68f, 11.88f, 6.0f, 11.0f, 8, 3, 0, kStandardGlyphs, sizeof kStandardGlyphs - 1, "
           "kStandardLowStarts, kStandardHighStarts},\n";
    for (std::size_t i = 0; i < std::size(families); ++i) {
        const Family& f = families[i];
        char sizes[96];
        std::snprintf(sizes, sizeof sizes, "%.2ff, %.2ff, %.2ff, %.2ff", f.gridWidth, f.gridHeight, f.cellWidth, f.cellHeight);
        out << "    {\"" << f.name << "\", " << sizes << ", 8, " << f.flags << ", " << f.spacing << ", k" << ids[i]
            << "Glyphs, sizeof k" << ids[i] << "Glyphs - 1, k" << ids[i] << "LowStarts, k" << ids[i]
            << "HighStarts},\n";
    }
    out << "};\n";

    std::ofstream file(argv[2], std::ios::binary);
    file << out.str();
    if (!file) fail(std::string("cannot write ") + argv[2]);
    return 0;
}
