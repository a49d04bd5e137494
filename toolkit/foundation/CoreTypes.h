// Basic value types shared by the whole program (platform-free).
#pragma once

#include <cstdint>

// The program's numeric vocabulary: 32-bit REAL and INTEGER words, 64-bit DOUBLE.
using REAL = float;
using DOUBLE = double;
using INTEGER = std::int32_t;

// Logical words: all bits set for true, 0 for false; readers look at the lowest bit only,
// because records and event words written elsewhere may carry 1 for true.
using LOGICAL = std::int32_t;
inline constexpr LOGICAL kTrue = -1;
inline constexpr LOGICAL kFalse = 0;

constexpr bool isTrue(LOGICAL value) { return (value & 1) != 0; }
constexpr LOGICAL toLogical(bool value) { return value ? kTrue : kFalse; }
