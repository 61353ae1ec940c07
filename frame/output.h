#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "frame/fixed_text.h"
#include "frame/variant.h"

namespace vantrel {

inline constexpr std::string_view kCrLf = "\r\n";

namespace detail {

// The two digits of every number below 100, for writing decimals two at a time.
inline constexpr auto kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

inline char* write_pair(char* at, unsigned below_100) {
  std::memcpy(at, &kDigitPairs[2 * below_100], 2);
  return at + 2;
}

}  // namespace detail

// Writes a 16-bit whole number as decimal text (at most six characters, the
// sign included) and returns the end. Inline, and two digits at a step: the
// numbers in markup are short, and a call per number costs more than its
// digits.
inline char* write_decimal(char* at, std::int16_t number) {
  unsigned value = static_cast<unsigned>(number);
  if (number < 0) {
    *at++ = '-';
    value = 0u - static_cast<unsigned>(static_cast<int>(number));
  }
  if (value < 10) {
    *at = static_cast<char>('0' + value);
    return at + 1;
  }
  if (value < 100) return detail::write_pair(at, value);
  if (value < 1000) {
    *at = static_cast<char>('0' + value / 100);
    return detail::write_pair(at + 1, value % 100);
  }
  if (value < 10000) return detail::write_pair(detail::write_pair(at, value / 100), value % 100);
  *at = static_cast<char>('0' + value / 10000);
  value %= 10000;
  return detail::write_pair(detail::write_pair(at + 1, value / 100), value % 100);
}

// Copies text and returns the end. Short texts (the values markup inserts
// are mostly names and paths) are moved in two overlapping pieces of a fixed
// size, which needs no call; longer ones go to the C library's copy.
inline char* copy_text(char* at, std::string_view text) {
  const char* from = text.data();
  const std::size_t size = text.size();
  if (size >= 16) {
    if (size > 32) {
      std::memcpy(at, from, size);
    } else {
      std::memcpy(at, from, 16);
      std::memcpy(at + size - 16, from + size - 16, 16);
    }
  } else if (size >= 8) {
    std::memcpy(at, from, 8);
    std::memcpy(at + size - 8, from + size - 8, 8);
  } else if (size >= 4) {
    std::memcpy(at, from, 4);
    std::memcpy(at + size - 4, from + size - 4, 4);
  } else if (size != 0) {
    at[0] = from[0];
    at[size / 2] = from[size / 2];
    at[size - 1] = from[size - 1];
  }
  return at + size;
}

// A 16-bit whole number written once as decimal text, for a result that
// holds it in several places: a place with at least eight bytes of fixed
// text after it in its pattern copies the whole eight-byte buffer, one move
// of known size, and keeps only the digits (what is written next covers the
// rest).
class Decimal {
 public:
  static constexpr std::size_t kWidest = 8;  // the buffer: the widest 16-bit number and more

  // The digits are gathered in one word and stored at once: read back whole
  // right after, a buffer written a byte or two at a time would make the
  // processor wait for those small writes to land.
  explicit Decimal(std::int16_t number) {
    if constexpr (std::endian::native == std::endian::little) {
      unsigned value = static_cast<unsigned>(number);
      if (number < 0) value = 0u - static_cast<unsigned>(static_cast<int>(number));
      // The first character in the lowest byte.
      std::uint64_t word;
      if (value < 10) {
        word = '0' + value;
        size_ = 1;
      } else if (value < 100) {
        word = pair(value);
        size_ = 2;
      } else if (value < 1000) {
        word = ('0' + value / 100) | pair(value % 100) << 8;
        size_ = 3;
      } else if (value < 10000) {
        word = pair(value / 100) | pair(value % 100) << 16;
        size_ = 4;
      } else {
        word = ('0' + value / 10000) | pair(value / 100 % 100) << 8 | pair(value % 100) << 24;
        size_ = 5;
      }
      if (number < 0) {
        word = word << 8 | '-';
        ++size_;
      }
      std::memcpy(digits_, &word, sizeof word);
    } else {
      size_ = static_cast<std::size_t>(write_decimal(digits_, number) - digits_);
    }
  }
  std::string_view view() const { return {digits_, size_}; }

 private:
  friend class Output;
  // The two characters of a number below 100 as a word, the first lowest.
  static std::uint64_t pair(unsigned below_100) {
    std::uint16_t two;
    std::memcpy(&two, &detail::kDigitPairs[2 * below_100], 2);
    return two;
  }
  char digits_[kWidest] = {};
  std::size_t size_ = 0;
};

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

  // Appends pattern P with its places filled by the values, in order:
  // out.fill<kRow>(a, b). The values are texts and whole numbers (a Variant
  // is made text first, with inserted_text). The pattern is a template
  // argument, so the size of every fixed fragment is known when the caller
  // is compiled and its copy needs no call. The values are written straight
  // into the string, grown once to the widest the pattern can be (its new
  // bytes not cleared first: std::string::resize_and_overwrite), which keeps
  // what was written.
  template <const auto& P, class... Values>
  Output& fill(const Values&... values) {
    append_filled<P>(text_, values...);
    return *this;
  }

  // The same onto the end of a string the caller keeps (a menu's rows).
  // Nothing it writes can fail, so either the whole of it is appended or,
  // when no memory is left for the string to grow, nothing.
  template <const auto& P, class... Values>
  static void append_filled(std::string& text, const Values&... values) {
    static_assert(sizeof...(Values) + 1 == P.fragments.size(),
                  "one value for each place in the pattern");
    static_assert(!(std::is_same_v<Values, Variant> || ...),
                  "a Variant is made text first, with inserted_text");
    const std::size_t written = text.size();
    text.resize_and_overwrite(
        written + P.fixed_size + (0 + ... + widest(values)), [&](char* data, std::size_t) {
          const char* end =
              write_places<P>(data + written, std::index_sequence_for<Values...>{}, values...);
          return static_cast<std::size_t>(end - data);
        });
  }

  // Appends a long fixed block (a few hundred bytes or more) with the C
  // library's copy: appended inline, a block whose size is known when the
  // caller is compiled becomes a block copy instruction that is slower.
  Output& add_block(std::string_view block);

  std::size_t size() const noexcept { return text_.size(); }
  std::string take() && { return std::move(text_); }

 private:
  // The bytes of fixed text after place `place` of pattern P: what is
  // written after the value there, at the least.
  template <const auto& P>
  static constexpr std::size_t fixed_after(std::size_t place) {
    std::size_t bytes = 0;
    for (std::size_t i = place + 1; i < P.fragments.size(); ++i) bytes += P.fragments[i].size();
    return bytes;
  }

  template <const auto& P, std::size_t... I, class... Values>
  static char* write_places(char* at, std::index_sequence<I...>, const Values&... values) {
    ((at = copy_fragment<P.fragments[I].size()>(at, P.fragments[I]),
      at = write<fixed_after<P>(I)>(at, values)),
     ...);
    return copy_fragment<P.fragments[sizeof...(I)].size()>(at, P.fragments[sizeof...(I)]);
  }

  // A short fixed fragment is copied inline, a long one as add_block does.
  template <std::size_t Size>
  static char* copy_fragment(char* at, std::string_view text) {
    if constexpr (Size >= kLongFragment) {
      return copy_long(at, text);
    } else {
      return copy(at, text);
    }
  }
  static constexpr std::size_t kLongFragment = 256;
  static char* copy_long(char* at, std::string_view text);

  void put(std::string_view text) { text_.append(text); }
  void put(const std::string& text) { text_.append(text); }
  template <std::size_t N>
  void put(const char (&text)[N]) {
    text_.append(text, N - 1);
  }
  void put(const Variant& value) { append_text(text_, value); }
  void put(const Decimal& number) { text_.append(number.view()); }
  // Written in place, in the number's own width: a 16-bit value needs no
  // 64-bit division and no call.
  template <std::integral T>
  requires(!std::is_same_v<T, bool> && !std::is_same_v<T, char>) void put(T number) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    text_.append(digits, static_cast<std::size_t>(end - digits));
  }

  static char* copy(char* at, std::string_view text) {
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
  }
  static std::size_t widest(std::string_view text) { return text.size(); }
  static char* write(char* at, std::string_view text) { return copy_text(at, text); }
  // Every value but a Decimal is written the same whatever follows it.
  template <std::size_t Following, class Value>
  static char* write(char* at, const Value& value) {
    return write(at, value);
  }
  // A Decimal followed by at least as much fixed text as its buffer holds is
  // copied whole: the bytes past its digits are written over by what comes
  // next, and all of them lie within the room of the pattern.
  template <std::size_t Following>
  static char* write(char* at, const Decimal& number) {
    if constexpr (Following >= Decimal::kWidest) {
      std::memcpy(at, number.digits_, Decimal::kWidest);
      return at + number.size_;
    } else {
      for (std::size_t i = 0; i < number.size_; ++i) at[i] = number.digits_[i];
      return at + number.size_;
    }
  }
  static std::size_t widest(const Decimal& number) { return number.size_; }
  template <std::integral T>
  requires(!std::is_same_v<T, bool> && !std::is_same_v<T, char>) static constexpr std::size_t
      widest(T) {
    return std::numeric_limits<T>::digits10 + 2;  // every digit and a sign
  }
  template <std::integral T>
  requires(!std::is_same_v<T, bool> && !std::is_same_v<T, char>) static char* write(char* at,
                                                                                    T number) {
    return std::to_chars(at, at + widest(number), number).ptr;
  }
  static char* write(char* at, std::int16_t number) { return write_decimal(at, number); }

  std::string text_;
};

}  // namespace vantrel
