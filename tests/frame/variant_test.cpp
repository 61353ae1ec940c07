#include "frame/variant.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "frame/automation_error.h"
#include "frame/dates.h"

namespace vantrel {
namespace {

using namespace std::string_view_literals;

Variant text(std::string_view value) { return Variant(value); }

// A conversion either yields a value or raises an error number.
template <class T>
struct Expect {
  std::optional<T> value;
  int error = 0;
};
template <class T>
Expect<T> ok(T value) {
  return {value, 0};
}
template <class T>
Expect<T> fails(int number) {
  return {std::nullopt, number};
}

template <class T, class F>
void check(int line, const Variant& input, const Expect<T>& expected, F convert) {
  SCOPED_TRACE(testing::Message() << "case at line " << line);
  const Variant before = input;
  try {
    const T actual = convert(input);
    ASSERT_EQ(expected.error, 0) << "expected error " << expected.error << ", got a value";
    EXPECT_EQ(actual, *expected.value);
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), expected.error) << e.description();
  }
  EXPECT_EQ(testing::PrintToString(input), testing::PrintToString(before))
      << "the conversion changed its operand";
}

TEST(VariantConversion, ToInteger) {
  struct Case {
    int line;
    Variant input;
    Expect<std::int16_t> expected;
  };
  const std::vector<Case> cases = {
      {__LINE__, Variant(2.5), ok<std::int16_t>(2)},
      {__LINE__, Variant(3.5), ok<std::int16_t>(4)},
      {__LINE__, Variant(-2.5), ok<std::int16_t>(-2)},
      {__LINE__, Variant(-3.5), ok<std::int16_t>(-4)},
      {__LINE__, Variant(0.5), ok<std::int16_t>(0)},
      {__LINE__, Variant(1.5), ok<std::int16_t>(2)},
      {__LINE__, Variant(-0.5), ok<std::int16_t>(0)},
      {__LINE__, Variant(-1.5), ok<std::int16_t>(-2)},
      {__LINE__, Variant(2.4999), ok<std::int16_t>(2)},
      {__LINE__, Variant(2.5001), ok<std::int16_t>(3)},
      {__LINE__, text("7"), ok<std::int16_t>(7)},
      {__LINE__, text(" 7 "), ok<std::int16_t>(7)},
      {__LINE__, text("\t-7\t"), ok<std::int16_t>(-7)},
      {__LINE__, text("+7"), ok<std::int16_t>(7)},
      {__LINE__, text("2.5"), ok<std::int16_t>(2)},
      {__LINE__, text("1e3"), ok<std::int16_t>(1000)},
      {__LINE__, text(".5"), ok<std::int16_t>(0)},
      {__LINE__, text("abc"), fails<std::int16_t>(13)},
      {__LINE__, text(""), fails<std::int16_t>(13)},
      {__LINE__, text(" "), fails<std::int16_t>(13)},
      {__LINE__, text("7abc"), fails<std::int16_t>(13)},
      {__LINE__, text("1e"), fails<std::int16_t>(13)},
      {__LINE__, text("."), fails<std::int16_t>(13)},
      {__LINE__, text("True"), fails<std::int16_t>(13)},
      {__LINE__, text("inf"), fails<std::int16_t>(13)},
      {__LINE__, text("0x10"), fails<std::int16_t>(13)},
      {__LINE__, Variant(std::int32_t{32767}), ok<std::int16_t>(32767)},
      {__LINE__, Variant(std::int32_t{-32768}), ok<std::int16_t>(-32768)},
      {__LINE__, Variant(std::int32_t{32768}), fails<std::int16_t>(6)},
      {__LINE__, Variant(std::int32_t{-32769}), fails<std::int16_t>(6)},
      {__LINE__, Variant(32767.5), fails<std::int16_t>(6)},
      {__LINE__, Variant(-32768.5), ok<std::int16_t>(-32768)},
      {__LINE__, text("40000"), fails<std::int16_t>(6)},
      {__LINE__, text("1e400"), fails<std::int16_t>(6)},
      {__LINE__, text("1e-400"), ok<std::int16_t>(0)},
      {__LINE__, Variant(std::numeric_limits<double>::quiet_NaN()), fails<std::int16_t>(6)},
      {__LINE__, Variant(), ok<std::int16_t>(0)},
      {__LINE__, Variant::null(), fails<std::int16_t>(94)},
      {__LINE__, Variant::object(), fails<std::int16_t>(13)},
      {__LINE__, Variant(true), ok<std::int16_t>(-1)},
      {__LINE__, Variant(false), ok<std::int16_t>(0)},
      {__LINE__, Variant(std::int16_t{-5}), ok<std::int16_t>(-5)},
      {__LINE__, Variant(Date{2.5}), ok<std::int16_t>(2)},
  };
  for (const Case& c : cases) check(c.line, c.input, c.expected, to_integer);
}

TEST(VariantConversion, ToLong) {
  struct Case {
    int line;
    Variant input;
    Expect<std::int32_t> expected;
  };
  const std::vector<Case> cases = {
      {__LINE__, Variant(2.5), ok<std::int32_t>(2)},
      {__LINE__, Variant(3.5), ok<std::int32_t>(4)},
      {__LINE__, text("7"), ok<std::int32_t>(7)},
      {__LINE__, Variant(2147483647.0), ok<std::int32_t>(2147483647)},
      {__LINE__, Variant(2147483648.0), fails<std::int32_t>(6)},
      {__LINE__, Variant(-2147483648.0), ok<std::int32_t>(-2147483647 - 1)},
      {__LINE__, Variant(-2147483649.0), fails<std::int32_t>(6)},
      {__LINE__, Variant(-2147483648.5), ok<std::int32_t>(-2147483647 - 1)},
      {__LINE__, text("2147483648"), fails<std::int32_t>(6)},
      {__LINE__, text("abc"), fails<std::int32_t>(13)},
      {__LINE__, Variant(std::int16_t{-32768}), ok<std::int32_t>(-32768)},
      {__LINE__, Variant(), ok<std::int32_t>(0)},
      {__LINE__, Variant::null(), fails<std::int32_t>(94)},
      {__LINE__, Variant(true), ok<std::int32_t>(-1)},
  };
  for (const Case& c : cases) check(c.line, c.input, c.expected, to_long);
}

TEST(VariantConversion, ToBoolean) {
  struct Case {
    int line;
    Variant input;
    Expect<bool> expected;
  };
  const std::vector<Case> cases = {
      {__LINE__, text("True"), ok(true)},
      {__LINE__, text("true"), ok(true)},
      {__LINE__, text(" TRUE "), ok(true)},
      {__LINE__, text("False"), ok(false)},
      {__LINE__, text("false"), ok(false)},
      {__LINE__, text("1"), ok(true)},
      {__LINE__, text("0"), ok(false)},
      {__LINE__, text("-0.5"), ok(true)},
      {__LINE__, text("yes"), fails<bool>(13)},
      {__LINE__, text(""), fails<bool>(13)},
      {__LINE__, Variant(std::int32_t{1}), ok(true)},
      {__LINE__, Variant(std::int32_t{0}), ok(false)},
      {__LINE__, Variant(std::int16_t{-1}), ok(true)},
      {__LINE__, Variant(0.25), ok(true)},
      {__LINE__, Variant(0.0), ok(false)},
      {__LINE__, Variant(), ok(false)},
      {__LINE__, Variant::null(), fails<bool>(94)},
      {__LINE__, Variant::object(), fails<bool>(13)},
      {__LINE__, Variant(true), ok(true)},
  };
  for (const Case& c : cases) check(c.line, c.input, c.expected, to_boolean);
}

TEST(VariantConversion, ToText) {
  struct Case {
    int line;
    Variant input;
    Expect<std::string> expected;
  };
  const std::vector<Case> cases = {
      {__LINE__, Variant(2.5), ok<std::string>("2.5")},
      {__LINE__, Variant(std::int32_t{5}), ok<std::string>("5")},
      {__LINE__, Variant(std::int16_t{-3}), ok<std::string>("-3")},
      {__LINE__, Variant(-3.0), ok<std::string>("-3")},
      {__LINE__, Variant(-0.0), ok<std::string>("0")},
      {__LINE__, Variant(0.1), ok<std::string>("0.1")},
      {__LINE__, Variant(1.0 / 3.0), ok<std::string>("0.333333333333333")},
      {__LINE__, Variant(123456789012345.0), ok<std::string>("123456789012345")},
      {__LINE__, Variant(1e15), ok<std::string>("1E+15")},
      {__LINE__, Variant(0.0001), ok<std::string>("0.0001")},
      {__LINE__, Variant(0.00001), ok<std::string>("1E-05")},
      {__LINE__, Variant(true), ok<std::string>("True")},
      {__LINE__, Variant(false), ok<std::string>("False")},
      {__LINE__, Variant(), ok<std::string>("")},
      {__LINE__, text("a\"<b>"), ok<std::string>("a\"<b>")},
      {__LINE__, Variant(make_date({2003, 2, 14})), ok<std::string>("2/14/2003")},
      {__LINE__, Variant(make_date({2003, 2, 14}, {10, 30, 0})),
       ok<std::string>("2/14/2003 10:30:00 AM")},
      {__LINE__, Variant(make_date({2003, 2, 14}, {23, 5, 9})),
       ok<std::string>("2/14/2003 11:05:09 PM")},
      {__LINE__, Variant(make_date({2003, 2, 14}, {0, 0, 1})),
       ok<std::string>("2/14/2003 12:00:01 AM")},
      {__LINE__, Variant(Date{0.5}), ok<std::string>("12:00:00 PM")},
      {__LINE__, Variant(Date{0}), ok<std::string>("12/30/1899")},
      {__LINE__, Variant(Date{1e9}), fails<std::string>(6)},
      {__LINE__, Variant::null(), fails<std::string>(94)},
      {__LINE__, Variant::object(), fails<std::string>(13)},
  };
  for (const Case& c : cases) check(c.line, c.input, c.expected, to_text);
}

TEST(VariantConversion, ConcatenationSkipsNullAndConvertsTheRest) {
  std::string out = "a";
  append_concatenated(out, Variant::null());
  append_concatenated(out, Variant(std::int32_t{5}));
  append_concatenated(out, Variant());
  append_concatenated(out, Variant(true));
  EXPECT_EQ(out, "a5True");
  EXPECT_THROW(append_concatenated(out, Variant::object()), AutomationError);
}

TEST(VariantConversion, InsertedTextViewsStringsAndConvertsTheRest) {
  const Variant name = text("cal1");
  ConvertedText storage;
  EXPECT_EQ(inserted_text(name, storage).data(), name.string().data()) << "no copy of a String";
  for (const auto& [value, inserted] : std::vector<std::pair<Variant, std::string_view>>{
           {Variant::null(), ""}, {Variant(), ""}, {Variant(2.5), "2.5"}}) {
    ConvertedText converted;
    EXPECT_EQ(inserted_text(value, converted), inserted) << testing::PrintToString(value);
  }
  ConvertedText more;
  EXPECT_THROW(inserted_text(Variant::object(), more), AutomationError);
}

TEST(VariantConversion, RoundHalfEvenAtEveryHalf) {
  for (int whole = -6; whole <= 6; ++whole) {
    const double half = whole + 0.5;
    const double expected = (whole % 2 == 0) ? whole : whole + 1;
    EXPECT_EQ(round_half_even(half), expected) << half;
  }
}

TEST(VariantConversion, ErrorsCarryThePlatformDescriptions) {
  const auto description = [](const Variant& v) {
    try {
      to_integer(v);
    } catch (const AutomationError& e) {
      EXPECT_TRUE(e.source().empty());
      return e.description();
    }
    return std::string("no error");
  };
  EXPECT_EQ(description(Variant(1e6)), "Overflow");
  EXPECT_EQ(description(text("x")), "Type mismatch");
  EXPECT_EQ(description(Variant::null()), "Invalid use of Null");
}

}  // namespace
}  // namespace vantrel
