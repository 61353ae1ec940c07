#pragma once

#include <cstdint>
#include <limits>

#include "frame/automation_error.h"

// Integer and 32-bit arithmetic as page scripts know it: a result outside the
// type's range raises the overflow error instead of wrapping.
namespace vantrel {

namespace detail {
template <class T>
constexpr T narrow_checked(std::int64_t value) {
  if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) {
    raise_overflow();
  }
  return static_cast<T>(value);
}
}  // namespace detail

constexpr std::int16_t add16(std::int64_t a, std::int64_t b) {
  return detail::narrow_checked<std::int16_t>(a + b);
}
constexpr std::int16_t sub16(std::int64_t a, std::int64_t b) {
  return detail::narrow_checked<std::int16_t>(a - b);
}
constexpr std::int16_t mul16(std::int64_t a, std::int64_t b) {
  return detail::narrow_checked<std::int16_t>(a * b);
}
constexpr std::int32_t add32(std::int64_t a, std::int64_t b) {
  return detail::narrow_checked<std::int32_t>(a + b);
}

}  // namespace vantrel
