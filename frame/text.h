#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vantrel {

// ASCII letters only, whatever the process's locale: names, header names and
// size units are ASCII, and a byte of a UTF-8 text must never change.
constexpr char ascii_lower(char c) noexcept {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr char ascii_upper(char c) noexcept {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Member names, programmatic identifiers and truth words compare without
// regard to case (ASCII letters only: every such name is ASCII).
constexpr bool equals_ignoring_case(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
  }
  return true;
}

// Whether two texts hold the same bytes, compared eight at a time (the last
// eight overlapping the ones before) and inline: a member name is a dozen
// letters or so, and a call to the C library's compare would cost more than
// the comparing.
inline bool same_bytes(std::string_view a, std::string_view b) noexcept {
  const std::size_t size = a.size();
  if (size != b.size()) return false;
  const auto word = [](const char* at) {
    std::uint64_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
  };
  if (size >= 8) {
    for (std::size_t i = 0; i + 8 < size; i += 8) {
      if (word(a.data() + i) != word(b.data() + i)) return false;
    }
    return word(a.data() + size - 8) == word(b.data() + size - 8);
  }
  for (std::size_t i = 0; i < size; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// `text` without the spaces and tabs at either end.
constexpr std::string_view trim_blanks(std::string_view text) noexcept {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace vantrel
