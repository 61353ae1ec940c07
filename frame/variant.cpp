#include "frame/variant.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <ostream>

#include "frame/automation_error.h"
#include "frame/dates.h"
#include "frame/text.h"

namespace vantrel {

Variant Variant::null() noexcept {
  Variant value;
  value.kind_ = Kind::Null;
  return value;
}

Variant Variant::object() noexcept {
  Variant value;
  value.kind_ = Kind::Object;
  return value;
}

bool operator==(const Variant& a, const Variant& b) noexcept {
  if (a.kind_ != b.kind_) return false;
  switch (a.kind_) {
    case Variant::Kind::Empty:
    case Variant::Kind::Null:
    case Variant::Kind::Object:
      return true;
    case Variant::Kind::Boolean:
      return a.boolean_ == b.boolean_;
    case Variant::Kind::Integer:
      return a.integer_ == b.integer_;
    case Variant::Kind::Long:
      return a.long_ == b.long_;
    case Variant::Kind::Double:
    case Variant::Kind::Date:
      return a.double_ == b.double_;
    case Variant::Kind::String:
      return a.string_ == b.string_;
  }
  return false;
}

std::string_view kind_name(Variant::Kind kind) noexcept {
  switch (kind) {
    case Variant::Kind::Empty:
      return "Empty";
    case Variant::Kind::Null:
      return "Null";
    case Variant::Kind::Boolean:
      return "Boolean";
    case Variant::Kind::Integer:
      return "Integer";
    case Variant::Kind::Long:
      return "Long";
    case Variant::Kind::Double:
      return "Double";
    case Variant::Kind::Date:
      return "Date";
    case Variant::Kind::String:
      return "String";
    case Variant::Kind::Object:
      return "Object";
  }
  return "?";
}

void PrintTo(const Variant& value, std::ostream* os) {
  *os << kind_name(value.kind());
  switch (value.kind()) {
    case Variant::Kind::Boolean:
      *os << '(' << (value.boolean() ? "True" : "False") << ')';
      break;
    case Variant::Kind::Integer:
      *os << '(' << value.integer() << ')';
      break;
    case Variant::Kind::Long:
      *os << '(' << value.long_value() << ')';
      break;
    case Variant::Kind::Double:
    case Variant::Kind::Date:
      *os << '(' << value.double_value() << ')';
      break;
    case Variant::Kind::String:
      *os << "(\"" << value.string() << "\")";
      break;
    default:
      break;
  }
}

double round_half_even(double value) noexcept {
  const double down = std::floor(value);
  const double rest = value - down;
  if (rest > 0.5) return down + 1;
  if (rest < 0.5) return down;
  return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool parse_number(std::string_view text, double& out) noexcept {
  text = trim_blanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // Check the shape ourselves: from_chars would accept "inf", "nan" and hex.
  std::size_t i = 0;
  std::size_t digits = 0;
  long magnitude = 0;  // decimal position of the first significant digit
  bool significant = false;
  while (i < text.size() && is_digit(text[i])) {
    if (text[i] != '0') significant = true;
    if (significant) ++magnitude;
    ++i;
    ++digits;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && is_digit(text[i])) {
      if (!significant && text[i] != '0') significant = true;
      if (!significant) --magnitude;
      ++i;
      ++digits;
    }
  }
  if (digits == 0) return false;
  long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negative_exponent = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      negative_exponent = text[i] == '-';
      ++i;
    }
    if (i == text.size() || !is_digit(text[i])) return false;
    while (i < text.size() && is_digit(text[i])) {
      if (exponent < 100000) exponent = exponent * 10 + (text[i] - '0');
      ++i;
    }
    if (negative_exponent) exponent = -exponent;
  }
  if (i != text.size()) return false;
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + i, value);
  if (result.ec == std::errc::result_out_of_range) {
    value =
        (significant && magnitude + exponent > 0) ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (result.ec != std::errc() || result.ptr != text.data() + i) {
    return false;
  }
  out = negative ? -value : value;
  return true;
}

void append_number(std::string& out, std::int64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

void append_number(std::string& out, double value) {
  if (std::isnan(value)) {
    out.append("NaN");
    return;
  }
  if (std::isinf(value)) {
    out.append(value < 0 ? "-Infinity" : "Infinity");
    return;
  }
  if (value == 0) {  // also -0, which is written as 0
    out.push_back('0');
    return;
  }
  // Fifteen significant digits, trailing zeros dropped, exponent form for
  // very large and very small numbers ("1E+15", "1E-05").
  char buffer[40];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  for (char* p = buffer; p != result.ptr; ++p) {
    if (*p == 'e') *p = 'E';
  }
  out.append(buffer, result.ptr);
}

namespace {

template <class T>
T whole_number(const Variant& value) {
  double number = 0;
  switch (value.kind()) {
    case Variant::Kind::Empty:
      return 0;
    case Variant::Kind::Null:
      raise_invalid_use_of_null();
    case Variant::Kind::Object:
      raise_type_mismatch();
    case Variant::Kind::Boolean:
      return value.boolean() ? -1 : 0;
    case Variant::Kind::Integer:
      number = value.integer();
      break;
    case Variant::Kind::Long:
      number = value.long_value();
      break;
    case Variant::Kind::Double:
    case Variant::Kind::Date:
      number = value.double_value();
      break;
    case Variant::Kind::String:
      if (!parse_number(value.string(), number)) raise_type_mismatch();
      break;
  }
  number = round_half_even(number);
  if (!(number >= std::numeric_limits<T>::min() && number <= std::numeric_limits<T>::max())) {
    raise_overflow();  // also NaN
  }
  return static_cast<T>(number);
}

}  // namespace

std::int16_t detail::converted_integer(const Variant& value) {
  return whole_number<std::int16_t>(value);
}

std::int32_t to_long(const Variant& value) { return whole_number<std::int32_t>(value); }

double to_double(const Variant& value) {
  switch (value.kind()) {
    case Variant::Kind::Empty:
      return 0;
    case Variant::Kind::Null:
      raise_invalid_use_of_null();
    case Variant::Kind::Object:
      raise_type_mismatch();
    case Variant::Kind::Boolean:
      return value.boolean() ? -1 : 0;
    case Variant::Kind::Integer:
      return value.integer();
    case Variant::Kind::Long:
      return value.long_value();
    case Variant::Kind::Double:
    case Variant::Kind::Date:
      return value.double_value();
    case Variant::Kind::String: {
      double number = 0;
      if (!parse_number(value.string(), number)) raise_type_mismatch();
      return number;
    }
  }
  raise_type_mismatch();
}

bool detail::converted_boolean(const Variant& value) {
  switch (value.kind()) {
    case Variant::Kind::Empty:
      return false;
    case Variant::Kind::Null:
      raise_invalid_use_of_null();
    case Variant::Kind::Object:
      raise_type_mismatch();
    case Variant::Kind::Boolean:
      return value.boolean();
    case Variant::Kind::Integer:
      return value.integer() != 0;
    case Variant::Kind::Long:
      return value.long_value() != 0;
    case Variant::Kind::Double:
    case Variant::Kind::Date:
      return value.double_value() != 0;
    case Variant::Kind::String: {
      const std::string_view text = trim_blanks(value.string());
      if (equals_ignoring_case(text, "True")) return true;
      if (equals_ignoring_case(text, "False")) return false;
      double number = 0;
      if (!parse_number(text, number)) raise_type_mismatch();
      return number != 0;
    }
  }
  raise_type_mismatch();
}

void append_text(std::string& out, const Variant& value) {
  switch (value.kind()) {
    case Variant::Kind::Empty:
      return;
    case Variant::Kind::Null:
      raise_invalid_use_of_null();
    case Variant::Kind::Object:
      raise_type_mismatch();
    case Variant::Kind::Boolean:
      out.append(value.boolean() ? "True" : "False");
      return;
    case Variant::Kind::Integer:
      append_number(out, std::int64_t{value.integer()});
      return;
    case Variant::Kind::Long:
      append_number(out, std::int64_t{value.long_value()});
      return;
    case Variant::Kind::Double:
      append_number(out, value.double_value());
      return;
    case Variant::Kind::Date:
      append_date_text(out, value.date());
      return;
    case Variant::Kind::String:
      out.append(value.string());
      return;
  }
}

void append_concatenated(std::string& out, const Variant& value) {
  if (!value.is_null()) append_text(out, value);
}

std::string_view detail::converted_inserted_text(const Variant& value, ConvertedText& storage) {
  std::string text;
  append_concatenated(text, value);
  return storage.make(std::move(text));
}

std::string to_text(const Variant& value) {
  if (value.kind() == Variant::Kind::String) return value.string();
  std::string text;
  append_text(text, value);
  return text;
}

}  // namespace vantrel
