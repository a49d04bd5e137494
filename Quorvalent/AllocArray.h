// An owned, resizable array with a known allocation state, its own extents and index base 1
// (platform-free). The sounding records keep their curves, times and model in these: a record
// distinguishes "not allocated" from "allocated with 0 elements", and two-dimensional arrays are
// stored with the first index varying fastest, so column k of a curve array is one contiguous run.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <new>
#include <span>
#include <vector>

template <class T>
class AllocArray {
public:
    // Creates the array zero-filled; a negative extent counts as 0. Fails (false) when the array
    // is allocated already (the caller must release it first), and when the elements would not
    // fit the address space or the memory is not there (it stays not allocated).
    bool allocate(int extent1, int extent2 = 1)
    {
        if (allocated_) return false;
        const auto e1 = static_cast<std::uint64_t>(std::max(extent1, 0)), e2 = static_cast<std::uint64_t>(std::max(extent2, 0));
        // In 64 bits: on the 32-bit program the product of two extents wraps in size_t. No array
        // of the 32-bit program can exceed 2 GiB; every tree refuses those alike, before trying.
        const std::uint64_t count = e1 * e2;
        if (count > kMaxBytes / sizeof(T)) return false;
        try {
            data_.assign(static_cast<std::size_t>(count), T{});
        } catch (const std::bad_alloc&) {
            return false;
        }
        extent1_ = static_cast<int>(e1);
        extent2_ = static_cast<int>(e2);
        allocated_ = true;
        return true;
    }

    // Releases the array; false when it was not allocated.
    bool deallocate()
    {
        if (!allocated_) return false;
        data_.clear();
        data_.shrink_to_fit();
        extent1_ = extent2_ = 0;
        allocated_ = false;
        return true;
    }

    // Changes the second extent and keeps the columns both shapes share (new columns zero).
    void resizeColumns(int extent2)
    {
        extent2_ = std::max(extent2, 0);
        data_.resize(static_cast<std::size_t>(extent1_) * static_cast<std::size_t>(extent2_), T{});
    }

    bool allocated() const { return allocated_; }
    int extent1() const { return extent1_; }
    int extent2() const { return extent2_; }
    std::size_t size() const { return data_.size(); }

    // 1-based element access, first index fastest.
    T& operator()(int i, int j = 1)
    {
        assert(i >= 1 && i <= extent1_ && j >= 1 && j <= extent2_);
        return data_[static_cast<std::size_t>(j - 1) * static_cast<std::size_t>(extent1_) + static_cast<std::size_t>(i - 1)];
    }
    const T& operator()(int i, int j = 1) const
    {
        assert(i >= 1 && i <= extent1_ && j >= 1 && j <= extent2_);
        return data_[static_cast<std::size_t>(j - 1) * static_cast<std::size_t>(extent1_) + static_cast<std::size_t>(i - 1)];
    }

    // Column j (1-based) as one contiguous run.
    std::span<T> column(int j)
    {
        assert(j >= 1 && j <= extent2_);
        return {data_.data() + static_cast<std::size_t>(j - 1) * static_cast<std::size_t>(extent1_), static_cast<std::size_t>(extent1_)};
    }

    std::span<T> values() { return data_; }
    std::span<const T> values() const { return data_; }
    void fill(const T& value) { std::fill(data_.begin(), data_.end(), value); }

private:
    static constexpr std::uint64_t kMaxBytes = 0x7FFFFFFFu;
    std::vector<T> data_;
    int extent1_ = 0;
    int extent2_ = 0;
    bool allocated_ = false;
};
