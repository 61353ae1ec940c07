#include "frame/fixed_text.h"

#include <gtest/gtest.h>

#include <array>

#include "frame/automation_error.h"
#include "frame/output.h"

namespace vantrel {
namespace {

constexpr std::string_view kBlock = crlf_text<R"(
first
  second

last
)">;

constexpr std::string_view kOpenEnded = crlf_text<R"(
line
no break after this)">;

constexpr auto kPattern = pattern_text<R"(
<a id="@id@">@text@</a>
@count@ items)">;

TEST(FixedText, EveryLineEndsWithCrLfExceptAnOpenLast) {
  EXPECT_EQ(kBlock, "first\r\n  second\r\n\r\nlast\r\n");
  EXPECT_EQ(kOpenEnded, "line\r\nno break after this");
  static_assert(crlf_text<"">.empty());
  static_assert(crlf_text<"\n">.empty());
}

TEST(FixedText, PatternsInsertValuesInOrder) {
  EXPECT_EQ(kPattern.fragments.size(), 4u);
  EXPECT_EQ(kPattern.fixed_size, std::string_view("<a id=\"\"></a>\r\n items").size());
  Output out;
  out.fill<kPattern>(std::string_view("x1"), std::string_view("Text"), -3);
  EXPECT_EQ(std::move(out).take(), "<a id=\"x1\">Text</a>\r\n-3 items");
}

// Filled when the library is compiled, a pattern gives the bytes it gives
// filled per call.
TEST(FixedText, PatternsFilledAtCompileTimeMatchTheirFill) {
  static constexpr std::array<std::string_view, 3> kValues{"x1", "", "12"};
  Output out;
  out.fill<kPattern>(kValues[0], kValues[1], kValues[2]);
  EXPECT_EQ((filled_text<kPattern, kValues>), std::move(out).take());
}

// Texts and numbers are written in place, in short results and long ones
// (the string moves as it grows): every path gives the same bytes, widest
// numbers too.
TEST(FixedText, PatternsGiveTheSameBytesOnEveryPath) {
  const std::string long_text(3000, 'y');
  const auto expected = [](std::string_view id, std::string_view number) {
    return "<a id=\"" + std::string(id) + "\">T</a>\r\n" + std::string(number) + " items";
  };
  for (const std::string_view id : {std::string_view("x"), std::string_view(long_text)}) {
    Output out;
    out.fill<kPattern>(id, "T", std::int16_t{-32768});
    out.fill<kPattern>(id, "T", std::int64_t{-9223372036854775807 - 1});
    out.fill<kPattern>(id, "T", std::uint64_t{18446744073709551615u});
    // A number written once and copied whole: only its digits stay.
    out.fill<kPattern>(id, "T", Decimal(std::int16_t{-32768}));
    out.fill<kPattern>(id, "T", Decimal(std::int16_t{7}));
    EXPECT_EQ(std::move(out).take(), expected(id, "-32768") + expected(id, "-9223372036854775808") +
                                         expected(id, "18446744073709551615") +
                                         expected(id, "-32768") + expected(id, "7"));
  }
}

// Numbers and texts written in place: every 16-bit number, as a value and as
// a Decimal before a short and a long fragment, and texts of every length
// around the sizes that are copied in pieces.
TEST(FixedText, InPlaceValuesAreExactForEveryNumberAndLength) {
  static constexpr auto kShortTail = pattern_text<"[@n@]">;
  static constexpr auto kLongTail = pattern_text<"[@n@] and more text">;
  for (int number = INT16_MIN; number <= INT16_MAX; ++number) {
    const auto value = static_cast<std::int16_t>(number);
    const std::string expected = "[" + std::to_string(number) + "]";
    Output out;
    out.fill<kShortTail>(value).fill<kShortTail>(Decimal(value)).fill<kLongTail>(Decimal(value));
    ASSERT_EQ(std::move(out).take(), expected + expected + expected + " and more text");
  }
  const std::string letters = "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJ";
  for (std::size_t size = 0; size <= letters.size(); ++size) {
    const std::string_view text = std::string_view(letters).substr(0, size);
    Output out;
    out.fill<kShortTail>(text);
    ASSERT_EQ(std::move(out).take(), "[" + std::string(text) + "]");
  }
}

TEST(Output, AppendsFragmentsNumbersAndVariants) {
  Output out(64);
  out.add("a", std::string_view("b"), std::string("c"), std::int16_t{-32768}, 42u)
      .line(Variant(2.5), Variant(true))
      .line();
  EXPECT_EQ(std::move(out).take(), "abc-32768422.5True\r\n\r\n");
}

// Patterns written in place, appends and blocks mix in order, whatever size
// the output started at: each writes after what is there, nothing before it.
TEST(Output, WritesInPlaceAndAppendedMixInOrder) {
  const std::string block(300, 'b');
  for (const std::size_t start : {0, 3, 40, 1024, 5000}) {
    Output out(start);
    out.fill<kPattern>(std::string_view("x"), "T", 7).add("|").fill<kPattern>("y", "U", -1);
    EXPECT_EQ(out.size(), 50u) << start;
    out.line("!").add_block(block).fill<kPattern>("z", "V", std::int16_t{12});
    EXPECT_EQ(std::move(out).take(),
              "<a id=\"x\">T</a>\r\n7 items|<a id=\"y\">U</a>\r\n-1 items!\r\n" + block +
                  "<a id=\"z\">V</a>\r\n12 items")
        << start;
  }
}

TEST(Output, AVariantThatCannotBeTextRaisesAtItsPlace) {
  Output out;
  EXPECT_THROW(out.add("x", Variant::null()), AutomationError);
}

}  // namespace
}  // namespace vantrel
