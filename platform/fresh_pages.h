// An allocator for large pixel arrays. Memory comes zeroed from the system (large blocks are
// mapped anonymously), so a vector made with a size is not cleared a second time: its pages are
// first touched when drawn into. At 3x a picture of the table is 17 MB; clearing it as well as
// faulting it in cost more than decoding it. Huge pages are not asked for: where the kernel
// compacts memory to find them on request, a start-up spent two thirds of its time there.
//
// A default-inserted element is left as the memory holds it: zero for a fresh block. Vectors of
// this kind are sized once when made (`PixelVector v(n)`) or with assign(n, value); resize()
// after shrinking would leave old values in the elements it adds back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

#include <sys/mman.h>

template <typename T>
struct FreshPageAllocator {
    using value_type = T;
    static constexpr size_t kMappedBytes = size_t{1} << 18;  // below this the heap serves

    FreshPageAllocator() = default;
    template <typename U>
    FreshPageAllocator(const FreshPageAllocator<U>&) noexcept {}

    T* allocate(size_t n) {
        const size_t bytes = n * sizeof(T);
        if (bytes < kMappedBytes) {
            if (void* p = std::calloc(n, sizeof(T))) return static_cast<T*>(p);
            throw std::bad_alloc();
        }
        void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, size_t n) noexcept {
        const size_t bytes = n * sizeof(T);
        if (bytes < kMappedBytes) std::free(p);
        else munmap(p, bytes);
    }
    // Default insertion writes nothing: the block is already zero.
    template <typename U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <typename U>
    bool operator==(const FreshPageAllocator<U>&) const noexcept {
        return true;
    }
};

using PixelVector = std::vector<uint32_t, FreshPageAllocator<uint32_t>>;
