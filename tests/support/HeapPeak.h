// Every allocation of a program counted, for tests and benchmarks that measure the memory a routine
// holds at its peak. One source file of the program says QV_HEAP_PEAK_OPERATORS once, which
// replaces the program's operator new and delete; HeapPeakWatch then measures from its creation,
// and HeapLimit lets the memory run out (as in a full 32-bit address space) while it lives.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace heap_peak {

inline std::atomic<std::int64_t> held{0};
inline std::atomic<std::int64_t> peak{0};
// An allocation that would hold more than this fails.
inline std::atomic<std::int64_t> limit{INT64_MAX};
// Each block keeps its size in front of it.
inline constexpr std::size_t kHeader = 16;

inline void* allocate(std::size_t size)
{
    if (held.load() + static_cast<std::int64_t>(size) > limit.load()) throw std::bad_alloc();
    void* block = std::malloc(size + kHeader);
    if (!block) throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    const std::int64_t now = held += static_cast<std::int64_t>(size);
    std::int64_t highest = peak.load();
    while (now > highest && !peak.compare_exchange_weak(highest, now)) {
    }
    return static_cast<char*>(block) + kHeader;
}

inline void release(void* pointer) noexcept
{
    if (!pointer) return;
    void* block = static_cast<char*>(pointer) - kHeader;
    held -= static_cast<std::int64_t>(*static_cast<std::size_t*>(block));
    std::free(block);
}

}  // namespace heap_peak

// The most heap held at once since the watch began, above what was held then.
class HeapPeakWatch {
public:
    HeapPeakWatch() : start_(heap_peak::held.load()) { heap_peak::peak = start_; }
    std::int64_t peak() const { return heap_peak::peak.load() - start_; }

private:
    std::int64_t start_;
};

// While alive, the program may hold no more than `more` bytes above what it held at the start:
// a request past that throws std::bad_alloc, smaller ones still succeed.
class HeapLimit {
public:
    explicit HeapLimit(std::int64_t more) { heap_peak::limit = heap_peak::held.load() + more; }
    ~HeapLimit() { heap_peak::limit = INT64_MAX; }
    HeapLimit(const HeapLimit&) = delete;
    HeapLimit& operator=(const HeapLimit&) = delete;
};

#define QV_HEAP_PEAK_OPERATORS                                                                     \
    void* operator new(std::size_t size) { return heap_peak::allocate(size); }                    \
    void* operator new[](std::size_t size) { return heap_peak::allocate(size); }                  \
    void operator delete(void* pointer) noexcept { heap_peak::release(pointer); }                 \
    void operator delete[](void* pointer) noexcept { heap_peak::release(pointer); }               \
    void operator delete(void* pointer, std::size_t) noexcept { heap_peak::release(pointer); }    \
    void operator delete[](void* pointer, std::size_t) noexcept { heap_peak::release(pointer); }
