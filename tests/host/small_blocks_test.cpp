// A script heap's small blocks: every size gets a block that holds it, freed
// blocks are reused, and the chunks stay within their bound.
#include "host/small_blocks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

namespace vantrel::host {
namespace {

TEST(SmallBlocks, EverySizeFitsItsClassAndTheClassesAreTight) {
  for (std::size_t size = 1; size <= SmallBlocks::kLargest; ++size) {
    const std::uint32_t size_class = SmallBlocks::class_of(size);
    ASSERT_GE(SmallBlocks::class_size(size_class), size) << size;
    ASSERT_LT(SmallBlocks::class_size(size_class - 1), size) << size;
  }
}

TEST(SmallBlocks, ReuseFreedBlocksAndKeepToTheirBound) {
  SmallBlocks blocks(std::size_t{128} << 10);
  const std::uint32_t size_class = SmallBlocks::class_of(48);
  for (int round = 0; round < 10000; ++round) {
    void* block = blocks.take(size_class);
    ASSERT_NE(block, nullptr);
    blocks.give_back(block, size_class);
  }
  EXPECT_EQ(blocks.chunk_bytes(), std::size_t{64} << 10);

  std::set<void*> taken;
  void* smallest = nullptr;
  for (std::uint32_t next = 1;; next = next % 28 + 1) {
    void* block = blocks.take(next);
    if (block == nullptr) break;
    ASSERT_TRUE(taken.insert(block).second);  // never handed out twice
    if (next == 1) smallest = block;
    ASSERT_EQ(reinterpret_cast<std::uintptr_t>(block) % 16, 0u);
  }
  EXPECT_EQ(blocks.chunk_bytes(), std::size_t{128} << 10);
  blocks.give_back(smallest, 1);
  EXPECT_EQ(blocks.take(1), smallest);  // a freed block serves its class again
}

}  // namespace
}  // namespace vantrel::host
