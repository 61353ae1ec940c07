#include "frame/checked_arithmetic.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

int overflow_number(auto operation) {
  try {
    operation();
  } catch (const AutomationError& e) {
    return e.number();
  }
  return 0;
}

TEST(CheckedArithmetic, SixteenBitResultsAtTheBoundaries) {
  EXPECT_EQ(add16(32766, 1), 32767);
  EXPECT_EQ(sub16(-32767, 1), -32768);
  EXPECT_EQ(mul16(1820, 18), 32760);
  EXPECT_EQ(mul16(-1, 32767), -32767);
  EXPECT_EQ(overflow_number([] { add16(32767, 1); }), 6);
  EXPECT_EQ(overflow_number([] { sub16(-32768, 1); }), 6);
  EXPECT_EQ(overflow_number([] { mul16(1821, 18); }), 6);
  EXPECT_EQ(overflow_number([] { mul16(1000, 33); }), 6);
  EXPECT_EQ(overflow_number([] { mul16(-1, -32768); }), 6);
}

TEST(CheckedArithmetic, ThirtyTwoBitResultsAtTheBoundaries) {
  EXPECT_EQ(add32(2147483646, 1), 2147483647);
  EXPECT_EQ(overflow_number([] { add32(2147483647, 1); }), 6);
  EXPECT_EQ(overflow_number([] { add32(-2147483647 - 1, -1); }), 6);
}

}  // namespace
}  // namespace vantrel
