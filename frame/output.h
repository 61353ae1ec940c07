#pragma once

#include <charconv>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "frame/fixed_text.h"
#include "frame/variant.h"

namespace vantrel {

inline constexpr std::string_view kCrLf = "\r\n";

// Builds one output string: fragments and values appended in order into a
// single reserved string, returned whole. Whole numbers are written as
// decimal text; a Variant is converted to text by the automation rules (so a
// null raises "Invalid use of Null" here, at the place it is inserted).
class Output {
 public:
  explicit Output(std::size_t reserve = 0) { text_.reserve(reserve); }

  template <class... Parts>
  Output& add(const Parts&... parts) {
    (put(parts), ...);
    return *this;
  }

  // Appends the parts, then CR LF.
  template <class... Parts>
  Output& line(const Parts&... parts) {
    (put(parts), ...);
    text_.append(kCrLf);
    return *this;
  }

  // Appends a pattern with its places filled by the values, in order.
  template <std::size_t Holes, class... Values>
  Output& fill(const Pattern<Holes>& pattern, const Values&... values) {
    static_assert(sizeof...(Values) == Holes, "one value for each place in the pattern");
    std::size_t i = 0;
    ((text_.append(pattern.fragments[i++]), put(values)), ...);
    text_.append(pattern.fragments[Holes]);
    return *this;
  }

  void reserve_more(std::size_t bytes) { text_.reserve(text_.size() + bytes); }
  std::size_t size() const noexcept { return text_.size(); }
  std::string take() && { return std::move(text_); }

 private:
  void put(std::string_view text) { text_.append(text); }
  void put(const std::string& text) { text_.append(text); }
  template <std::size_t N>
  void put(const char (&text)[N]) {
    text_.append(text, N - 1);
  }
  void put(const Variant& value) { append_text(text_, value); }
  // Written in place, in the number's own width: a 16-bit value needs no
  // 64-bit division and no call.
  template <std::integral T>
  requires(!std::is_same_v<T, bool> && !std::is_same_v<T, char>) void put(T number) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    text_.append(digits, static_cast<std::size_t>(end - digits));
  }

  std::string text_;
};

}  // namespace vantrel
