// Blank-padded fixed-length text (platform-free).
//
// Many of the program's texts have a fixed length: a 24-character title, an 80-character window
// title, 260-character file names. Assigning a longer text truncates it, a shorter one is padded
// with blanks, and the "used length" is the position of the last non-blank character. Code that
// depends on that behaviour holds its text in a FixedText<N>; everything else uses std::string.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

template <std::size_t N>
class FixedText {
public:
    static constexpr std::size_t capacity = N;

    FixedText() { chars_.fill(' '); }
    FixedText(std::string_view text) { assign(text); }  // NOLINT: implicit on purpose, like a character assignment

    // Truncates to N characters, pads with blanks.
    void assign(std::string_view text)
    {
        const std::size_t n = std::min(N, text.size());
        std::copy_n(text.data(), n, chars_.data());
        std::fill(chars_.begin() + static_cast<std::ptrdiff_t>(n), chars_.end(), ' ');
    }

    // Every byte zero: the state of a record field that nothing has assigned yet.
    void clearToZero() { chars_.fill('\0'); }

    // Position of the last character that is neither blank nor NUL (0 when there is none).
    std::size_t usedLength() const
    {
        std::size_t n = N;
        while (n > 0 && (chars_[n - 1] == ' ' || chars_[n - 1] == '\0')) --n;
        return n;
    }

    std::string_view view() const { return {chars_.data(), N}; }    // all N characters
    std::string trimmed() const { return std::string(chars_.data(), usedLength()); }

    char& operator[](std::size_t i) { return chars_[i]; }             // 0-based
    char operator[](std::size_t i) const { return chars_[i]; }
    char* data() { return chars_.data(); }
    const char* data() const { return chars_.data(); }

    friend bool operator==(const FixedText& a, const FixedText& b) { return a.chars_ == b.chars_; }
    friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == FixedText(b).view(); }

private:
    std::array<char, N> chars_;
};
