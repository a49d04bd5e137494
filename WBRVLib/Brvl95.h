// The utility library's number, array and message-box routines.
//
// Every array routine takes an explicit element count n and works on elements 1..n only; a count
// of 0 or less means there are no elements. Arrays are passed as pointers to their first element
// (1-based positions in the comments).
#pragma once

#include <cstdint>
#include <string_view>

#include "WBRVLib/ToolkitLink.h"
#include "toolkit/foundation/CoreTypes.h"

// ---- arrays and numbers (platform-free) ----------------------------------------------------

void SHIFTF(REAL* a, INTEGER n, INTEGER k);
void SHIFTI(INTEGER* a, INTEGER n, INTEGER k);
void SHIFTI2(std::int16_t* a, INTEGER n, INTEGER k);
void SHIFTL(LOGICAL* a, INTEGER n, INTEGER k);
void SHIFTL1(std::int8_t* a, INTEGER n, INTEGER k);
void SHIFTC(char* a, INTEGER n, INTEGER k);
// a(i) := max(a(i) + c, floor); a NaN sum is stored as it is.
void ADDTO(REAL* a, INTEGER n, REAL c, REAL floor);
void IADDTO(INTEGER* a, INTEGER n, INTEGER c, INTEGER floor);
REAL SUMOF(const REAL* a, INTEGER n);
REAL AVGOF(const REAL* a, INTEGER n);
REAL XTY(const REAL* x, INTEGER incx, const REAL* y, INTEGER incy, INTEGER n);
void COPY(REAL* to, const REAL* from, INTEGER n);
void ERASE(REAL* a, INTEGER n);
void ERASEI(INTEGER* a, INTEGER n);
void VMXU(REAL* x, REAL s, const REAL* y, INTEGER n);

// Nearly equal: neither NaN, and identical, or one 0 and the other below 1e-6 in magnitude, or
// |2(a - b)/(a + b)| <= 1e-6 (a = -b is unequal).
LOGICAL LNLYEQ(REAL a, REAL b);
// A NaN: all exponent bits set and a non-zero mantissa (infinities are not NaNs).
LOGICAL LEQNAN(REAL x);
// Either part of a complex value (two REALs) is a NaN.
LOGICAL LEQNANQ(const REAL* v);
// Widens the running extremes by every element that is neither NaN, nor above 1e15, nor a
// non-zero below 1e-30 in magnitude.
void FINDNX(const REAL* a, INTEGER n, REAL& amin, REAL& amax);
// Number of leading elements below the empty marker 1e20.
INTEGER KOUNTEM(const REAL* a, INTEGER n);

// Solves n equations for m right-hand sides: a holds the n*n coefficients row after row, then n
// rows of m right-hand sides, which receive the solutions. solveSingular() tells whether the last
// call met a pivot below 1e-10.
void SOLVE(REAL* a, INTEGER n, INTEGER m);
LOGICAL solveSingular();

// Winding count of the polygon about (x0, y0); 0 outside, -1 on a vertex or an edge.
INTEGER INSIDE(REAL x0, REAL y0, const REAL* x, const REAL* y, INTEGER n);
REAL TERPOL(const REAL* x, const REAL* y, INTEGER n, REAL x0);
REAL DTERPOL(const DOUBLE* x, const REAL* y, INTEGER n, DOUBLE x0, INTEGER& k);
INTEGER INSERT(const REAL* a, INTEGER n, REAL x);
INTEGER INSERTS(const REAL* a, INTEGER n, REAL x);
void INSRTF(REAL* a, INTEGER pos, INTEGER n, REAL x);
void INSRTI(INTEGER* a, INTEGER pos, INTEGER n, INTEGER x);
void INSRTL(LOGICAL* a, INTEGER pos, INTEGER n, LOGICAL x);
void INSRTC(char* a, INTEGER pos, INTEGER n, char x);
INTEGER NEARIV(REAL x, const REAL* a, INTEGER n);
INTEGER INDEXX(const REAL* a, INTEGER n, REAL x);
// Sorts a ascending; exchanges follow in b (m > 1), c (m > 2), d (m > 3), e (m >= 5).
void ORDER5(REAL* a, REAL* b, REAL* c, REAL* d, REAL* e, INTEGER n, INTEGER m);
REAL FLAGRI(const REAL* x, const REAL* y, REAL x0, INTEGER n);
void SWAP(std::int32_t& a, std::int32_t& b);
void SWAP(REAL& a, REAL& b);
// Widening and narrowing copies; the two arrays may share storage.
void I2TOI4(const std::int16_t* from, INTEGER* to, INTEGER n);
void I4TOI2(std::int16_t* narrow, const INTEGER* wide, INTEGER n);
void L1TOL4(const std::int8_t* from, LOGICAL* to, INTEGER n);
void L4TOL1(std::int8_t* narrow, const LOGICAL* wide, INTEGER n);
void MEMORY();
LOGICAL LQUIT(INTEGER unused);

// ---- packed dates (platform-free) ----------------------------------------------------------

// PackedDate: year*10000 + month*100 + day. A year below 70 means 2000 + year, 70..99 means
// 1900 + year. PackedTime: hours*10000 + minutes*100 + seconds.
INTEGER MONTHDAYYEARIN(INTEGER year, INTEGER month, INTEGER day);
void MONTHDAYYEAROUT(INTEGER date, INTEGER& year, INTEGER& month, INTEGER& day);
INTEGER IDAYOFYEAR(INTEGER year, INTEGER month, INTEGER day);
// Days from 1 January of base to 1 January of year (negative when year is before base).
INTEGER IDAYSSINCE(INTEGER year, INTEGER base);
DOUBLE TIMESINCE1970(INTEGER date, INTEGER time);
DOUBLE TIMESINCE1990(INTEGER date, INTEGER time);
INTEGER NOMORETHAN(INTEGER value, INTEGER limit);

// ---- stop-request test and message boxes ---------------------------------------------------

// The latch of the stop-request test and the event its last poll saw.
struct StopRequestState {
    LOGICAL StopLatch = kFalse;
    INTEGER LastEventType = 0;
    EventRecord LastEvent{};
};
StopRequestState& stopRequestState();

// reset != 0 clears the latch and returns false. Otherwise one event is peeked (and consumed);
// a dialog push button sets the latch, which stays set until the next reset.
LOGICAL LKILL(LOGICAL reset);
// The same test handing the peeked event to the caller.
LOGICAL LKILLEV(LOGICAL reset, INTEGER& type, EventRecord& record);

// Shows the text in a modal box with one OK button, the information icon and the caption
// "Brevalon Library Message"; returns when the user closes it. The error and notice box of the
// whole application (a link seam: tests link a recorder in its place).
void WINMSG(std::string_view text);
// OK and Cancel; cancelled := true when Cancel was pressed.
void WINMSGC(std::string_view text, LOGICAL& cancelled);
// OK with the exclamation icon.
void WINWRN(std::string_view text);
// Yes and No with the question icon; Yes is the default when answer is true on entry.
void WINQUE(std::string_view text, LOGICAL& answer);
// Yes and No with the exclamation icon, No the default.
void WINANS(std::string_view text, LOGICAL& answer);
// The save-changes dialog 101: text in field 1002; button 6 Yes, 7 No, 2 Cancel.
void SAVEFILEDLG(std::string_view text, LOGICAL& yes, LOGICAL& cancel);

inline constexpr std::string_view kLibraryCaption = "Brevalon Library Message";
