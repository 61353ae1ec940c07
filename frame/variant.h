#pragma once

#include <cstdint>
#include <iosfwd>
#include <new>
#include <string>
#include <string_view>
#include <utility>

namespace vantrel {

// An automation date: days since 30 December 1899, the time of day as the
// fraction (the platform's serial date).
struct Date {
  double serial = 0;
  friend bool operator==(Date, Date) = default;
};

// A tagged automation value. It holds what the caller passed; members convert
// it when they use it (see the conversion functions below).
class Variant {
 public:
  enum class Kind : std::uint8_t {
    Empty,
    Null,
    Boolean,
    Integer,
    Long,
    Double,
    Date,
    String,
    Object
  };

  Variant() noexcept = default;
  explicit Variant(bool value) noexcept : kind_(Kind::Boolean), boolean_(value) {}
  explicit Variant(std::int16_t value) noexcept : kind_(Kind::Integer), integer_(value) {}
  explicit Variant(std::int32_t value) noexcept : kind_(Kind::Long), long_(value) {}
  explicit Variant(double value) noexcept : kind_(Kind::Double), double_(value) {}
  explicit Variant(Date value) noexcept : kind_(Kind::Date), double_(value.serial) {}
  explicit Variant(std::string value) noexcept : kind_(Kind::String), string_(std::move(value)) {}
  explicit Variant(std::string_view value) : kind_(Kind::String), string_(value) {}
  // A String made from the text that make() returns, built in place: the
  // text of a call's result is never moved (a short text would be copied).
  template <class Make>
  static Variant text_of(Make&& make) {
    return Variant(InPlace{}, make);
  }
  // A char would become the number of its code (':' as 58) and a pointer a
  // Boolean; neither is ever what the caller meant, so both fail to compile.
  Variant(char) = delete;
  template <class T>
  Variant(T*) = delete;

  static Variant null() noexcept;
  // A value without a default value (an array, a plain script object): every
  // conversion rejects it with a type mismatch.
  static Variant object() noexcept;

  Kind kind() const noexcept { return kind_; }
  bool is_empty() const noexcept { return kind_ == Kind::Empty; }
  bool is_null() const noexcept { return kind_ == Kind::Null; }

  // Raw contents; valid only for the matching kind.
  bool boolean() const noexcept { return boolean_; }
  std::int16_t integer() const noexcept { return integer_; }
  std::int32_t long_value() const noexcept { return long_; }
  double double_value() const noexcept { return double_; }
  Date date() const noexcept { return Date{double_}; }
  const std::string& string() const& noexcept { return string_; }
  // From a temporary (a call's result), the text is moved out, not copied.
  std::string&& string() && noexcept { return std::move(string_); }

  friend bool operator==(const Variant& a, const Variant& b) noexcept;

 private:
  struct InPlace {};
  template <class Make>
  Variant(InPlace, Make& make) : kind_(Kind::String), string_(make()) {}

  Kind kind_ = Kind::Empty;
  union {
    bool boolean_;
    std::int16_t integer_;
    std::int32_t long_;
    double double_ = 0;
  };
  std::string string_;
};

// Text converted from a value that is not a String, made only when needed:
// a String, what pages mostly pass, is used in place, and then nothing is
// made or freed. (A std::optional<std::string> does the same, but made calls
// of four text arguments through the member table 12 ns slower with GCC 12.)
class ConvertedText {
 public:
  ConvertedText() noexcept {}
  ~ConvertedText() {
    if (made_) text_.~basic_string();
  }
  ConvertedText(const ConvertedText&) = delete;
  ConvertedText& operator=(const ConvertedText&) = delete;

  std::string_view make(std::string text) {
    if (made_) {
      text_ = std::move(text);
    } else {
      new (&text_) std::string(std::move(text));
      made_ = true;
    }
    return text_;
  }

 private:
  union {
    std::string text_;
  };
  bool made_ = false;
};

std::string_view kind_name(Variant::Kind kind) noexcept;
void PrintTo(const Variant& value, std::ostream* os);

// The automation conversion rules. Each raises the platform's error: invalid
// use of Null (94) for a null, type mismatch (13) for text that does not fit
// and for objects, overflow (6) for a number outside the target's range.
// Fractions round to the nearest whole number, halves to the even neighbour.
std::string to_text(const Variant& value);
void append_text(std::string& out, const Variant& value);
// Concatenation: as append_text, except that a null adds nothing.
void append_concatenated(std::string& out, const Variant& value);
namespace detail {
std::string_view converted_inserted_text(const Variant& value, ConvertedText& storage);
std::int16_t converted_integer(const Variant& value);
bool converted_boolean(const Variant& value);
}  // namespace detail
// A value as markup inserts it: a String as it is (a view, no copy), Empty
// and null as nothing, anything else converted to text into `storage`.
// Raises a type mismatch for an object, as every conversion does.
inline std::string_view inserted_text(const Variant& value, ConvertedText& storage) {
  if (value.kind() == Variant::Kind::String) return value.string();
  return detail::converted_inserted_text(value, storage);
}
// The values that need no conversion (what pages mostly pass: whole numbers
// in range, truth values) are taken inline, without a call. A whole number
// in the Integer range may come as a Long: the page host passes every whole
// number so.
inline bool is_whole_integer(const Variant& value) {
  return value.kind() == Variant::Kind::Integer ||
         (value.kind() == Variant::Kind::Long && value.long_value() >= INT16_MIN &&
          value.long_value() <= INT16_MAX);
}
inline std::int16_t to_integer(const Variant& value) {
  if (value.kind() == Variant::Kind::Integer) return value.integer();
  if (is_whole_integer(value)) return static_cast<std::int16_t>(value.long_value());
  return detail::converted_integer(value);
}
std::int32_t to_long(const Variant& value);
inline bool to_boolean(const Variant& value) {
  return value.kind() == Variant::Kind::Boolean ? value.boolean()
                                                : detail::converted_boolean(value);
}
double to_double(const Variant& value);

// Rounds half to even, as every conversion to a whole number does.
double round_half_even(double value) noexcept;

// Reads numeric text: optional blanks, a sign, digits with an optional
// decimal point and exponent, optional blanks. Returns false for any other
// text, the empty text included.
bool parse_number(std::string_view text, double& out) noexcept;

// Appends a number the way the conversion to text writes it.
void append_number(std::string& out, std::int64_t value);
void append_number(std::string& out, double value);

}  // namespace vantrel
