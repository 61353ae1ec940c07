// Class numbers are stable, distinct and shared by every thread.
#include "host/class_numbers.h"

#include <gtest/gtest.h>

#include <array>
#include <thread>
#include <vector>

namespace vantrel::host {
namespace {

TEST(ClassNumbers, OneNumberPerClassFromAnyThread) {
  static const std::array<ClassDescriptor, 3> classes{
      {{"One", "Test.One", {}, "_One", {}, nullptr},
       {"Two", "Test.Two", {}, "_Two", {}, nullptr},
       {"Three", "Test.Three", {}, "_Three", {}, nullptr}}};
  std::array<std::array<int, 3>, 4> seen{};
  std::vector<std::thread> threads;
  for (auto& numbers : seen) {
    threads.emplace_back([&numbers] {
      for (std::size_t i = 0; i < classes.size(); ++i) numbers[i] = class_number(classes[i]);
    });
  }
  for (auto& thread : threads) thread.join();
  for (const auto& numbers : seen) EXPECT_EQ(numbers, seen[0]);
  for (std::size_t i = 0; i < classes.size(); ++i) {
    ASSERT_NE(seen[0][i], kNoClassNumber);
    EXPECT_EQ(numbered_class(seen[0][i]), &classes[i]);
    EXPECT_EQ(class_number(classes[i]), seen[0][i]);
  }
  EXPECT_NE(seen[0][0], seen[0][1]);
  EXPECT_NE(seen[0][1], seen[0][2]);
  EXPECT_EQ(numbered_class(kNoClassNumber), nullptr);
  EXPECT_EQ(numbered_class(1 << 20), nullptr);
}

}  // namespace
}  // namespace vantrel::host
