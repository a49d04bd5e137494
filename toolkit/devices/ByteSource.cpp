#include "toolkit/devices/ByteSource.h"

#include <algorithm>

INTEGER MemoryByteSource::read(std::span<std::uint8_t> into)
{
    const auto size = static_cast<std::int64_t>(bytes_.size());
    if (position_ >= size) return 0;
    const auto count = std::min<std::int64_t>(size - position_, static_cast<std::int64_t>(into.size()));
    std::copy_n(bytes_.begin() + position_, count, into.begin());
    position_ += count;
    return static_cast<INTEGER>(count);
}

INTEGER MemoryByteSource::seek(INTEGER offset, INTEGER origin)
{
    std::int64_t base = 0;
    if (origin == 1) base = position_;
    else if (origin == 2) base = static_cast<std::int64_t>(bytes_.size());
    else if (origin != 0) return -1;
    const std::int64_t target = base + offset;
    if (target < 0 || target > INT32_MAX) return -1;
    position_ = target;
    return static_cast<INTEGER>(target);
}

bool ByteReader::refill()
{
    if (failed_) return false;
    const INTEGER count = source_.read(buffer_);
    if (count < 0) failed_ = true;
    if (count <= 0) return false;
    used_ = 0;
    filled_ = static_cast<std::size_t>(count);
    return true;
}

bool ByteReader::take(std::span<std::uint8_t> into)
{
    std::size_t done = 0;
    while (done < into.size()) {
        if (used_ == filled_ && !refill()) return false;
        const std::size_t count = std::min(into.size() - done, filled_ - used_);
        std::copy_n(buffer_.begin() + static_cast<std::ptrdiff_t>(used_), count, into.begin() + static_cast<std::ptrdiff_t>(done));
        used_ += count;
        done += count;
    }
    return true;
}

bool ByteReader::skip(std::int64_t count)
{
    while (count > 0) {
        if (used_ == filled_ && !refill()) return false;
        const auto step = std::min<std::int64_t>(count, static_cast<std::int64_t>(filled_ - used_));
        used_ += static_cast<std::size_t>(step);
        count -= step;
    }
    return true;
}

bool ByteReader::line(std::string& text, std::size_t width)
{
    text.assign(width, ' ');
    std::size_t length = 0;
    bool any = false;
    bool carriageReturn = false;
    for (;;) {
        const int c = next();
        if (c < 0) {
            if (failed_) return false;
            break;
        }
        any = true;
        if (c == '\n') {
            carriageReturn = false;
            break;
        }
        // A CR is kept only when something other than the line end follows it.
        if (carriageReturn && length < width) text[length] = '\r';
        if (carriageReturn) ++length;
        carriageReturn = (c == '\r');
        if (carriageReturn) continue;
        if (length < width) text[length] = static_cast<char>(c);
        ++length;
    }
    return any;
}
