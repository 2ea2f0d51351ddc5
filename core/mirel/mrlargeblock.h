// Memory advice for the few large blocks of a document (the text body and
// the row table), which a load fills from end to end at once.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

// Asks the system to back the n bytes at p with large pages where it can:
// filling a fresh block of tens of megabytes then costs a few hundred page
// faults instead of tens of thousands. Small blocks and systems without
// such advice are left alone; the contents never change.
void MrAdviseLargeBlock(void* p, size_t n);

// An allocator for vectors that may grow to such sizes.
template <typename T>
struct CMrLargeBlockAllocator {
  using value_type = T;
  CMrLargeBlockAllocator() = default;
  template <typename U>
  CMrLargeBlockAllocator(const CMrLargeBlockAllocator<U>&) {}
  T* allocate(size_t n) {
    if (n > static_cast<size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    void* p = std::malloc(n * sizeof(T));
    if (p == nullptr) throw std::bad_alloc();
    MrAdviseLargeBlock(p, n * sizeof(T));
    return static_cast<T*>(p);
  }
  void deallocate(T* p, size_t) { std::free(p); }
  template <typename U>
  bool operator==(const CMrLargeBlockAllocator<U>&) const {
    return true;
  }
  template <typename U>
  bool operator!=(const CMrLargeBlockAllocator<U>&) const {
    return false;
  }
};
