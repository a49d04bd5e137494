// Splits a fuzz input into the pieces a target feeds its routines: fixed-size values taken from
// the front, the rest as text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <string_view>

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(reinterpret_cast<const char*>(data)), size_(data ? size : 0) {}
    // The next sizeof(T) bytes as a T (zero bytes past the end).
    template <class T>
    T take()
    {
        T value{};
        const std::size_t n = std::min(sizeof(T), size_ - used_);
        if (n > 0) std::memcpy(&value, data_ + used_, n);
        used_ += n;
        return value;
    }
    // The next n bytes at most, as text.
    std::string_view text(std::size_t n)
    {
        const std::size_t k = std::min(n, size_ - used_);
        const std::string_view t(data_ + used_, k);
        used_ += k;
        return t;
    }
    std::string_view rest() { return text(size_ - used_); }

private:
    const char* data_;
    std::size_t size_;
    std::size_t used_ = 0;
};
