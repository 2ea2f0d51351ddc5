// The last guard where the library hands control back to foreign frames (the
// exported functions, the window procedures): whatever a handler throws ends
// there with the failure result, never in the host's or the system's frames.
#pragma once

#include <type_traits>
#include <utility>

// Runs fn() and returns its result; a value-initialised result (0, FALSE,
// NULL) when it throws.
template <typename Fn>
auto MrGuarded(Fn&& fn) noexcept -> std::invoke_result_t<Fn> {
  using R = std::invoke_result_t<Fn>;
  try {
    return std::forward<Fn>(fn)();
  } catch (...) {
    if constexpr (!std::is_void_v<R>) return R{};
  }
}

// Runs fn(); false when it throws.
template <typename Fn>
bool MrNoThrowVoid(Fn&& fn) noexcept {
  try {
    std::forward<Fn>(fn)();
    return true;
  } catch (...) {
    return false;
  }
}
