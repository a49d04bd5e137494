// Array, numeric and date routines of the utility library (platform-free).
#include "WBRVLib/Brvl95.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

// Module data: the interval TERPOL and DTERPOL found last, and the singular flag of SOLVE.
struct NumericModuleState {
    INTEGER TerpolInterval = 1;
    INTEGER DterpolInterval = 1;
    LOGICAL Singular = kFalse;
};

NumericModuleState& numericModuleState()
{
    static NumericModuleState state;
    return state;
}

// |k| >= n changes nothing. The distance is taken in 64 bits: -INT_MIN does not fit an INTEGER.
template <class T>
void shiftArray(T* a, INTEGER n, INTEGER k, T vacated)
{
    const std::int64_t distance = k < 0 ? -static_cast<std::int64_t>(k) : k;
    if (a == nullptr || k == 0 || n <= 0 || distance >= n) return;
    const auto s = static_cast<INTEGER>(distance);
    if (k > 0) {
        for (INTEGER i = n - 1; i >= s; --i) a[i] = a[i - s];
        std::fill(a, a + s, vacated);
    } else {
        for (INTEGER i = 0; i < n - s; ++i) a[i] = a[i + s];
        std::fill(a + (n - s), a + n, vacated);
    }
}

template <class T>
void insertAt(T* a, INTEGER pos, INTEGER n, T x, T vacated)
{
    if (a == nullptr || n <= 0 || pos <= 0 || pos > n) return;
    shiftArray(a + (pos - 1), n - pos + 1, 1, vacated);
    a[pos - 1] = x;
}

// The interval (i, i+1), 1-based, of an ascending or descending table that holds x0, trying the
// remembered interval first; 0 when x0 lies outside the table.
template <class X>
INTEGER findInterval(const X* x, INTEGER n, X x0, INTEGER& remembered)
{
    const auto holds = [&](INTEGER i) {
        const X a = x[i - 1], b = x[i];
        return a != b && ((a <= x0 && x0 <= b) || (b <= x0 && x0 <= a));
    };
    if (remembered >= 1 && remembered < n && holds(remembered)) return remembered;
    for (INTEGER i = 1; i < n; ++i)
        if (holds(i)) return remembered = i;
    return 0;
}

template <class X>
REAL interpolate(const X* x, const REAL* y, INTEGER n, X x0, INTEGER& remembered, INTEGER& used)
{
    if (n <= 0) return 0.0f;
    if (n == 1) {
        used = 1;
        return y[0];
    }
    const bool ascending = x[0] <= x[n - 1];
    if (ascending ? x0 <= x[0] : x0 >= x[0]) {
        used = 1;
        return y[0];
    }
    if (ascending ? x0 >= x[n - 1] : x0 <= x[n - 1]) {
        used = n;
        return y[n - 1];
    }
    const INTEGER i = findInterval(x, n, x0, remembered);
    if (i == 0) {
        used = 1;
        return y[0];
    }
    used = i;
    const X a = x[i - 1], b = x[i];
    const REAL ya = y[i - 1], yb = y[i];
    // A missing neighbour: no interpolation across the gap, the nearer tabulated value instead.
    if (ya > 1.0e10f || yb > 1.0e10f) return std::abs(x0 - a) <= std::abs(x0 - b) ? ya : yb;
    return static_cast<REAL>(ya + (yb - ya) * static_cast<double>(x0 - a) / static_cast<double>(b - a));
}

bool isLeapYear(INTEGER year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

INTEGER expandYear(INTEGER year)
{
    if (year < 70) return 2000 + year;
    if (year < 100) return 1900 + year;
    return year;
}

DOUBLE secondsSince(INTEGER date, INTEGER time, INTEGER baseYear)
{
    INTEGER year = 0, month = 0, day = 0;
    MONTHDAYYEAROUT(date, year, month, day);
    const INTEGER days = IDAYSSINCE(year, baseYear) + IDAYOFYEAR(year, month, day) - 1;
    const INTEGER hours = time / 10000, minutes = (time % 10000) / 100, seconds = time % 100;
    return static_cast<DOUBLE>(days) * 86400.0 + hours * 3600.0 + minutes * 60.0 + seconds;
}

}  // namespace

// ---- shifting and filling ------------------------------------------------------------------

void SHIFTF(REAL* a, INTEGER n, INTEGER k) { shiftArray<REAL>(a, n, k, 0.0f); }
void SHIFTI(INTEGER* a, INTEGER n, INTEGER k) { shiftArray<INTEGER>(a, n, k, 0); }
void SHIFTI2(std::int16_t* a, INTEGER n, INTEGER k) { shiftArray<std::int16_t>(a, n, k, 0); }
void SHIFTL(LOGICAL* a, INTEGER n, INTEGER k) { shiftArray<LOGICAL>(a, n, k, kFalse); }
void SHIFTL1(std::int8_t* a, INTEGER n, INTEGER k) { shiftArray<std::int8_t>(a, n, k, 0); }
void SHIFTC(char* a, INTEGER n, INTEGER k) { shiftArray<char>(a, n, k, ' '); }

void INSRTF(REAL* a, INTEGER pos, INTEGER n, REAL x) { insertAt<REAL>(a, pos, n, x, 0.0f); }
void INSRTI(INTEGER* a, INTEGER pos, INTEGER n, INTEGER x) { insertAt<INTEGER>(a, pos, n, x, 0); }
void INSRTL(LOGICAL* a, INTEGER pos, INTEGER n, LOGICAL x) { insertAt<LOGICAL>(a, pos, n, x, kFalse); }
void INSRTC(char* a, INTEGER pos, INTEGER n, char x) { insertAt<char>(a, pos, n, x, ' '); }

void ADDTO(REAL* a, INTEGER n, REAL c, REAL floor)
{
    for (INTEGER i = 0; i < n; ++i) {
        const REAL sum = a[i] + c;
        a[i] = sum < floor ? floor : sum;
    }
}

void IADDTO(INTEGER* a, INTEGER n, INTEGER c, INTEGER floor)
{
    for (INTEGER i = 0; i < n; ++i) a[i] = std::max(a[i] + c, floor);
}

void COPY(REAL* to, const REAL* from, INTEGER n)
{
    for (INTEGER i = 0; i < n; ++i) to[i] = from[i];
}

void ERASE(REAL* a, INTEGER n)
{
    if (n > 0) std::fill(a, a + n, 0.0f);
}

void ERASEI(INTEGER* a, INTEGER n)
{
    if (n > 0) std::fill(a, a + n, 0);
}

void VMXU(REAL* x, REAL s, const REAL* y, INTEGER n)
{
    for (INTEGER i = 0; i < n; ++i) x[i] -= s * y[i];
}

// ---- sums ----------------------------------------------------------------------------------

REAL SUMOF(const REAL* a, INTEGER n)
{
    long double sum = 0.0L;
    for (INTEGER i = 0; i < n; ++i) sum += a[i];
    return static_cast<REAL>(sum);
}

REAL AVGOF(const REAL* a, INTEGER n)
{
    long double sum = 0.0L;
    INTEGER counted = 0;
    for (INTEGER i = 0; i < n; ++i) {
        if (a[i] > 1.0e10f) continue;
        sum += a[i];
        ++counted;
    }
    return static_cast<REAL>(counted > 0 ? sum / counted : sum);
}

REAL XTY(const REAL* x, INTEGER incx, const REAL* y, INTEGER incy, INTEGER n)
{
    long double sum = 0.0L;
    for (INTEGER j = 0; j < n; ++j) sum += static_cast<long double>(x[j * incx]) * y[j * incy];
    return static_cast<REAL>(sum);
}

// ---- missing values and comparisons --------------------------------------------------------

LOGICAL LEQNAN(REAL x)
{
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(x);
    return toLogical((bits & 0x7F800000u) == 0x7F800000u && (bits & 0x007FFFFFu) != 0);
}

LOGICAL LEQNANQ(const REAL* v) { return toLogical(isTrue(LEQNAN(v[0])) || isTrue(LEQNAN(v[1]))); }

LOGICAL LNLYEQ(REAL a, REAL b)
{
    // Single precision throughout: 1e-6f is the threshold the positions and values were made with.
    if (isTrue(LEQNAN(a)) || isTrue(LEQNAN(b))) return kFalse;
    if (a == b) return kTrue;
    if (a == 0.0f) return toLogical(std::fabs(b) < 1.0e-6f);
    if (b == 0.0f) return toLogical(std::fabs(a) < 1.0e-6f);
    if (a == -b) return kFalse;
    const REAL relative = std::fabs(2.0f * (a - b) / (a + b));
    return toLogical(relative <= 1.0e-6f);
}

void FINDNX(const REAL* a, INTEGER n, REAL& amin, REAL& amax)
{
    for (INTEGER i = 0; i < n; ++i) {
        const REAL v = a[i];
        const REAL magnitude = std::fabs(v);
        if (isTrue(LEQNAN(v)) || magnitude > 1.0e15f) continue;
        if (v != 0.0f && magnitude < 1.0e-30f) continue;
        if (v > amax) amax = v;
        if (v < amin) amin = v;
    }
}

INTEGER KOUNTEM(const REAL* a, INTEGER n)
{
    INTEGER i = 0;
    while (i < n && a[i] < 1.0e20f) ++i;
    return i;
}

// ---- linear algebra ------------------------------------------------------------------------

LOGICAL solveSingular() { return numericModuleState().Singular; }

void SOLVE(REAL* a, INTEGER n, INTEGER m)
{
    LOGICAL& singular = numericModuleState().Singular;
    singular = kFalse;
    if (n <= 0) return;
    const auto A = [&](INTEGER i, INTEGER j) -> REAL& { return a[(i - 1) * n + (j - 1)]; };
    REAL* rhs = a + n * n;
    const auto B = [&](INTEGER i) { return rhs + (i - 1) * m; };
    for (INTEGER p = 1; p <= n; ++p) {
        const REAL pivot = A(p, p);
        if (std::fabs(pivot) < 1.0e-10f) {
            singular = kTrue;
            return;
        }
        for (INTEGER j = p; j <= n; ++j) A(p, j) /= pivot;
        for (INTEGER k = 0; k < m; ++k) B(p)[k] /= pivot;
        for (INTEGER i = p + 1; i <= n; ++i) {
            const REAL f = A(i, p);
            VMXU(&A(i, p), f, &A(p, p), n - p + 1);
            VMXU(B(i), f, B(p), m);
        }
    }
    for (INTEGER p = n; p >= 1; --p) {
        if (A(p, p) != 1.0f) {
            singular = kTrue;
            return;
        }
        for (INTEGER i = 1; i < p; ++i) {
            const REAL f = A(i, p);
            VMXU(B(i), f, B(p), m);
            A(i, p) = 0.0f;
        }
    }
}

// ---- geometry and tables -------------------------------------------------------------------

INTEGER INSIDE(REAL x0, REAL y0, const REAL* x, const REAL* y, INTEGER n)
{
    if (n <= 0) return 0;
    // Coordinates far beyond any plot would swamp the angle sums.
    const auto limited = [](double v) { return std::clamp(v, -1.0e8, 1.0e8); };
    const double px = limited(x0), py = limited(y0);
    double total = 0.0;
    INTEGER previous = n - 1;
    for (INTEGER i = 0; i < n; ++i) {
        const double ax = limited(x[previous]) - px, ay = limited(y[previous]) - py;
        const double bx = limited(x[i]) - px, by = limited(y[i]) - py;
        const double la = std::hypot(ax, ay), lb = std::hypot(bx, by);
        if (la == 0.0 || lb == 0.0) return -1;
        if (ax == bx && ay == by) continue;    // a repeated vertex subtends nothing
        const double cross = ax * by - ay * bx;
        const double dot = ax * bx + ay * by;
        const double cosine = std::clamp(dot / (la * lb), -1.0, 1.0);
        if (std::fabs(cross) <= 1.0e-12 * la * lb && dot < 0.0) return -1;    // on the edge
        total += std::acos(cosine) * (cross < 0.0 ? -1.0 : 1.0);
        previous = i;
    }
    return static_cast<INTEGER>(std::lround(std::fabs(total) / (2.0 * 3.14159265358979323846)));
}

REAL TERPOL(const REAL* x, const REAL* y, INTEGER n, REAL x0)
{
    INTEGER used = 0;
    return interpolate<REAL>(x, y, n, x0, numericModuleState().TerpolInterval, used);
}

REAL DTERPOL(const DOUBLE* x, const REAL* y, INTEGER n, DOUBLE x0, INTEGER& k)
{
    return interpolate<DOUBLE>(x, y, n, x0, numericModuleState().DterpolInterval, k);
}

INTEGER INSERT(const REAL* a, INTEGER n, REAL x)
{
    if (n <= 0) return 1;
    const bool ascending = a[0] <= a[n - 1];
    for (INTEGER i = 0; i < n; ++i) {
        if (x == a[i]) return 0;
        if (ascending ? x < a[i] : x > a[i]) return i + 1;
    }
    return n + 1;
}

INTEGER INSERTS(const REAL* a, INTEGER n, REAL x)
{
    if (n <= 0) return 1;
    const bool ascending = a[0] <= a[n - 1];
    for (INTEGER i = 0; i < n; ++i)
        if (ascending ? a[i] >= x : a[i] <= x) return i + 1;
    return n + 1;
}

INTEGER NEARIV(REAL x, const REAL* a, INTEGER n)
{
    REAL best = 1.0e20f;
    INTEGER index = -1;
    for (INTEGER i = 0; i < n; ++i) {
        const REAL d = std::fabs(a[i] - x);
        if (d < best) best = d, index = i + 1;
    }
    return index;
}

INTEGER INDEXX(const REAL* a, INTEGER n, REAL x)
{
    REAL best = 1.0e30f;
    INTEGER index = 0;
    for (INTEGER i = 0; i < n; ++i) {
        const REAL d = std::fabs(a[i] - x);
        if (d < best) best = d, index = i + 1;
    }
    return index;
}

void ORDER5(REAL* a, REAL* b, REAL* c, REAL* d, REAL* e, INTEGER n, INTEGER m)
{
    if (m <= 0 || n <= 1) return;
    bool exchanged = true;
    while (exchanged) {
        exchanged = false;
        for (INTEGER i = 0; i + 1 < n; ++i) {
            if (!(a[i] > a[i + 1])) continue;
            std::swap(a[i], a[i + 1]);
            if (m > 1) std::swap(b[i], b[i + 1]);
            if (m > 2) std::swap(c[i], c[i + 1]);
            if (m > 3) std::swap(d[i], d[i + 1]);
            if (m >= 5) std::swap(e[i], e[i + 1]);
            exchanged = true;
        }
    }
}

REAL FLAGRI(const REAL* x, const REAL* y, REAL x0, INTEGER n)
{
    if (n <= 0) return 1.0f;
    for (INTEGER i = 0; i < n; ++i)
        if (x0 == x[i]) return y[i];
    double sum = 0.0;
    for (INTEGER i = 0; i < n; ++i) {
        double term = y[i];
        for (INTEGER j = 0; j < n; ++j)
            if (j != i) term *= (static_cast<double>(x0) - x[j]) / (static_cast<double>(x[i]) - x[j]);
        sum += term;
    }
    return static_cast<REAL>(sum);
}

void SWAP(std::int32_t& a, std::int32_t& b) { std::swap(a, b); }
void SWAP(REAL& a, REAL& b) { std::swap(a, b); }

// The narrow and wide arrays may be one block of storage: element copies go through bytes, from
// the end when widening and from the start when narrowing, so no element is overwritten unread.
// Narrowing keeps the low bytes of each word (the two's-complement truncation).
template <class Narrow>
void widenCopy(const Narrow* from, std::int32_t* to, INTEGER n)
{
    const auto* source = reinterpret_cast<const unsigned char*>(from);
    auto* target = reinterpret_cast<unsigned char*>(to);
    for (INTEGER i = n - 1; i >= 0; --i) {
        Narrow v;
        std::memcpy(&v, source + sizeof(Narrow) * i, sizeof(Narrow));
        const std::int32_t w = v;
        std::memcpy(target + 4 * i, &w, 4);
    }
}

template <class Narrow>
void narrowCopy(Narrow* narrow, const std::int32_t* wide, INTEGER n)
{
    auto* target = reinterpret_cast<unsigned char*>(narrow);
    const auto* source = reinterpret_cast<const unsigned char*>(wide);
    for (INTEGER i = 0; i < n; ++i) {
        std::int32_t w;
        std::memcpy(&w, source + 4 * i, 4);
        const auto v = static_cast<Narrow>(w);
        std::memcpy(target + sizeof(Narrow) * i, &v, sizeof(Narrow));
    }
}

void I2TOI4(const std::int16_t* from, INTEGER* to, INTEGER n) { widenCopy(from, to, n); }
void L1TOL4(const std::int8_t* from, LOGICAL* to, INTEGER n) { widenCopy(from, to, n); }
void I4TOI2(std::int16_t* narrow, const INTEGER* wide, INTEGER n) { narrowCopy(narrow, wide, n); }
void L4TOL1(std::int8_t* narrow, const LOGICAL* wide, INTEGER n) { narrowCopy(narrow, wide, n); }

void MEMORY() {}
LOGICAL LQUIT(INTEGER) { return kFalse; }

// ---- packed dates --------------------------------------------------------------------------

INTEGER MONTHDAYYEARIN(INTEGER year, INTEGER month, INTEGER day) { return expandYear(year) * 10000 + month * 100 + day; }

void MONTHDAYYEAROUT(INTEGER date, INTEGER& year, INTEGER& month, INTEGER& day)
{
    year = date / 10000;
    month = (date % 10000) / 100;
    day = date % 100;
}

INTEGER IDAYOFYEAR(INTEGER year, INTEGER month, INTEGER day)
{
    static constexpr INTEGER kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const INTEGER m = std::clamp<INTEGER>(month, 1, 12);
    return day + kDaysBefore[m - 1] + ((m > 2 && isLeapYear(expandYear(year))) ? 1 : 0);
}

INTEGER IDAYSSINCE(INTEGER year, INTEGER base)
{
    const INTEGER y = expandYear(year);
    INTEGER days = 0;
    for (INTEGER k = base; k < y; ++k) days += isLeapYear(k) ? 366 : 365;
    for (INTEGER k = y; k < base; ++k) days -= isLeapYear(k) ? 366 : 365;
    return days;
}

DOUBLE TIMESINCE1970(INTEGER date, INTEGER time) { return secondsSince(date, time, 1970); }
DOUBLE TIMESINCE1990(INTEGER date, INTEGER time) { return secondsSince(date, time, 1990); }

INTEGER NOMORETHAN(INTEGER value, INTEGER limit)
{
    // A limit of 0 or below would never reduce the value: it is returned as it stands.
    if (limit <= 0 || value <= limit) return value;
    const INTEGER rest = value % limit;
    return rest == 0 ? limit : rest;
}
