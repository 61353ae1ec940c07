// The cache of compiled scripts keeps to its size, dropping the entry used
// longest ago.
#include "host/compiled_scripts.h"

#include <gtest/gtest.h>

namespace vantrel::host {
namespace {

TEST(CompiledScripts, KeepsToItsSizeAndDropsTheLeastRecentlyUsed) {
  CompiledScripts cache(100);
  cache.keep("a", "text a", std::string(20, 'A'));
  cache.keep("b", "text b", std::string(20, 'B'));
  ASSERT_NE(cache.find("a", "text a"), nullptr);  // a is now the more recent
  cache.keep("c", "text c", std::string(40, 'C'));
  EXPECT_LE(cache.size_bytes(), 100u);
  EXPECT_NE(cache.find("a", "text a"), nullptr);
  EXPECT_EQ(cache.find("b", "text b"), nullptr);
  EXPECT_EQ(*cache.find("c", "text c"), std::string(40, 'C'));
  EXPECT_EQ(cache.find("c", "text C"), nullptr);  // only for the very same text

  cache.keep("c", "text d", "D");  // a changed text replaces the entry
  EXPECT_EQ(cache.find("c", "text c"), nullptr);
  EXPECT_EQ(*cache.find("c", "text d"), "D");
  cache.keep("big", "text", std::string(200, 'X'));  // larger than the cache: not kept
  EXPECT_EQ(cache.find("big", "text"), nullptr);
  EXPECT_LE(cache.size_bytes(), 100u);
}

}  // namespace
}  // namespace vantrel::host
