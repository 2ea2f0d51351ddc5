// The last guard where the library hands control back to foreign frames (the
// window procedures, the exported functions): whatever a handler throws ends
// there with the failure result, never in the host's or the system's frames.
#pragma once

#include <type_traits>
#include <utility>

// Runs fn() and returns its result; returns fail when it throws.
template <typename Fn, typename R = std::invoke_result_t<Fn>>
R MrNoThrow(R fail, Fn&& fn) noexcept {
  try {
    return std::forward<Fn>(fn)();
  } catch (...) {
    return fail;
  }
}

// The same for handlers that return nothing: FALSE when fn() throws.
template <typename Fn>
bool MrNoThrowVoid(Fn&& fn) noexcept {
  try {
    std::forward<Fn>(fn)();
    return true;
  } catch (...) {
    return false;
  }
}
