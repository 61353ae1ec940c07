#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// Fixed client-script and markup blocks, written in the source as raw string
// literals that read exactly like the text they produce, and turned into the
// emitted bytes at compile time:
//
//   - the line break right after the opening delimiter is dropped, so the
//     block's first line starts on its own source line;
//   - every other line break becomes CR LF, so a block whose closing delimiter
//     stands on its own line ends with CR LF, and one whose delimiter follows
//     the last character on the same line ends without a line break;
//   - in a pattern, "@name@" marks a place where a value is inserted (the name
//     says what goes there; values are supplied in order). No emitted text
//     contains "@", so the marker cannot be mistaken for output.
//
// Output copies the finished bytes; nothing is rebuilt per call.
namespace vantrel {

template <std::size_t N>
struct Literal {
  char chars[N]{};
  consteval Literal(const char (&text)[N]) {  // NOLINT: implicit by design
    for (std::size_t i = 0; i < N; ++i) chars[i] = text[i];
  }
  consteval std::size_t size() const { return N - 1; }
  consteval std::size_t start() const { return (N > 1 && chars[0] == '\n') ? 1 : 0; }
};

namespace detail {

template <Literal L>
consteval std::size_t crlf_size() {
  std::size_t size = 0;
  for (std::size_t i = L.start(); i < L.size(); ++i) size += (L.chars[i] == '\n') ? 2 : 1;
  return size;
}

template <Literal L>
consteval std::array<char, crlf_size<L>()> to_crlf() {
  std::array<char, crlf_size<L>()> out{};
  std::size_t o = 0;
  for (std::size_t i = L.start(); i < L.size(); ++i) {
    if (L.chars[i] == '\n') out[o++] = '\r';
    out[o++] = L.chars[i];
  }
  return out;
}

template <Literal L>
inline constexpr auto kCrlfBytes = to_crlf<L>();

template <Literal L>
consteval std::size_t count_holes() {
  std::size_t markers = 0;
  for (std::size_t i = 0; i < L.size(); ++i) markers += (L.chars[i] == '@') ? 1 : 0;
  if (markers % 2 != 0) throw "unbalanced '@' in a text pattern";
  return markers / 2;
}

}  // namespace detail

// A fixed block with CR LF line ends.
template <Literal L>
inline constexpr std::string_view crlf_text{detail::kCrlfBytes<L>.data(),
                                            detail::kCrlfBytes<L>.size()};

// A fixed block with places for values: Holes + 1 fixed fragments, the values
// go between them.
template <std::size_t Holes>
struct Pattern {
  std::array<std::string_view, Holes + 1> fragments;
  std::size_t fixed_size = 0;  // bytes of fixed text, a lower bound of the output
};

template <Literal L>
consteval Pattern<detail::count_holes<L>()> make_pattern() {
  constexpr std::string_view bytes = crlf_text<L>;
  Pattern<detail::count_holes<L>()> pattern{};
  std::size_t fragment = 0;
  std::size_t begin = 0;
  bool in_name = false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '@') continue;
    if (!in_name) {
      pattern.fragments[fragment++] = bytes.substr(begin, i - begin);
      pattern.fixed_size += i - begin;
    } else {
      begin = i + 1;
    }
    in_name = !in_name;
  }
  pattern.fragments[fragment] = bytes.substr(begin);
  pattern.fixed_size += bytes.size() - begin;
  return pattern;
}

template <Literal L>
inline constexpr auto pattern_text = make_pattern<L>();

namespace detail {

template <const auto& P, const auto& Values>
consteval std::size_t filled_size() {
  static_assert(Values.size() + 1 == P.fragments.size(), "one value for each place in the pattern");
  std::size_t size = P.fixed_size;
  for (const std::string_view value : Values) size += value.size();
  return size;
}

template <const auto& P, const auto& Values>
consteval std::array<char, filled_size<P, Values>()> fill_pattern() {
  std::array<char, filled_size<P, Values>()> out{};
  std::size_t o = 0;
  const auto put = [&](std::string_view text) {
    for (const char c : text) out[o++] = c;
  };
  for (std::size_t i = 0; i < Values.size(); ++i) put(P.fragments[i]), put(Values[i]);
  put(P.fragments[Values.size()]);
  return out;
}

template <const auto& P, const auto& Values>
inline constexpr auto kFilledBytes = fill_pattern<P, Values>();

}  // namespace detail

// Pattern P with its places filled, in order, by the texts of Values (a
// std::array of std::string_view), made at compile time: the output for
// values a component starts with, copied whole instead of filled per call.
template <const auto& P, const auto& Values>
inline constexpr std::string_view filled_text{detail::kFilledBytes<P, Values>.data(),
                                              detail::kFilledBytes<P, Values>.size()};

}  // namespace vantrel
