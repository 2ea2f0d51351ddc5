// Growth of standard containers that fails with FALSE instead of throwing.
// Containers whose size follows the document, a selection, the clipboard,
// a search or host input grow through these helpers, so that running out of
// memory refuses the command (or drops a cache) rather than unwinding
// through the host. Each helper holds its own try block, out of the callers'
// loops: a loop checks the capacity and calls in only when it must grow.
#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <new>
#include <vector>

#include <windows.h>

// Test hook: when set, every growth through these helpers asks it first and
// fails when it answers TRUE. Always NULL outside tests.
using MrAllocFailHook = BOOL (*)(size_t nBytes);
extern MrAllocFailHook g_pfnMrAllocFailHook;

namespace mr_try_alloc_detail {
inline bool Refused(size_t nElements, size_t nElementSize) noexcept {
  return g_pfnMrAllocFailHook != nullptr && g_pfnMrAllocFailHook(nElements * nElementSize) != FALSE;
}
}  // namespace mr_try_alloc_detail

// Room for n elements; the contents never change. FALSE when it cannot be had.
// Kept out of line: its exception handling is set up only when a caller
// really grows.
template <typename Container>
__attribute__((noinline)) BOOL MrTryReserve(Container& c, size_t n) noexcept {
  if (n <= c.capacity()) return TRUE;
  if (mr_try_alloc_detail::Refused(n, sizeof(typename Container::value_type))) return FALSE;
  try {
    c.reserve(n);
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

// Resizes to n elements (new ones value-initialised); unchanged on failure.
template <typename Container>
BOOL MrTryResize(Container& c, size_t n) noexcept {
  if (n > c.size() && !MrTryReserve(c, n)) return FALSE;
  c.resize(n);  // within capacity: cannot allocate
  return TRUE;
}

// Resizes to n copies of value; unchanged on failure.
template <typename Container>
BOOL MrTryAssign(Container& c, size_t n, const typename Container::value_type& value) noexcept {
  if (!MrTryReserve(c, n)) return FALSE;
  c.assign(n, value);
  return TRUE;
}

// Appends [first, last) at the end, growing geometrically; unchanged on
// failure.
template <typename Container, typename It>
BOOL MrTryAppend(Container& c, It first, It last) noexcept {
  const size_t nAdd = static_cast<size_t>(std::distance(first, last));
  const size_t nWant = c.size() + nAdd;
  if (nWant < c.size() || nWant > c.max_size()) return FALSE;
  if (nWant > c.capacity() && !MrTryReserve(c, std::max(nWant, c.capacity() + c.capacity() / 2)) &&
      !MrTryReserve(c, nWant))
    return FALSE;
  c.insert(c.end(), first, last);  // within capacity: cannot allocate
  return TRUE;
}

// Appends one element; unchanged on failure. A caller in a loop checks
// size() < capacity() first and pushes directly while it holds.
template <typename Container>
BOOL MrTryPushBack(Container& c, const typename Container::value_type& value) noexcept {
  const typename Container::value_type* p = &value;
  return MrTryAppend(c, p, p + 1);
}

// Room for at least one more entry in an index built one entry at a time
// (geometric growth), out of line so that the layout loops stay free of
// exception handling. FALSE when the memory is not there.
BOOL MrTryGrowIndex(std::vector<DWORD>* pIndex) noexcept;
