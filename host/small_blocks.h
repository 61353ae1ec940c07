#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Small blocks for one script heap: a free list per size class, the blocks
// carved from large chunks that all go back together when the heap ends (a
// few are kept per thread for the next heap, the rest go to the system). A freed block is reused by
// the next request of its class, so a page that allocates and frees in a loop does not grow. The
// chunks held are bounded: once they reach `max_chunk_bytes`, requests that find no free block of
// their class are refused (null) and the caller uses the system.
namespace vantrel::host {

class SmallBlocks {
 public:
  // The largest block served.
  static constexpr std::size_t kLargest = 4096;
  // The class of a block of `size` bytes (at most kLargest), from 1.
  static std::uint32_t class_of(std::size_t size);
  static std::size_t class_size(std::uint32_t size_class);

  explicit SmallBlocks(std::size_t max_chunk_bytes) : max_chunk_bytes_(max_chunk_bytes) {}
  ~SmallBlocks();
  SmallBlocks(const SmallBlocks&) = delete;
  SmallBlocks& operator=(const SmallBlocks&) = delete;

  // A block of class_size(size_class) bytes, aligned as malloc's; null when
  // there is none free and the chunks are at their bound (or the system has
  // no memory).
  void* take(std::uint32_t size_class);
  void give_back(void* block, std::uint32_t size_class);

  std::size_t chunk_bytes() const { return chunks_.size() * kChunkBytes; }

 private:
  static constexpr std::size_t kChunkBytes = std::size_t{64} << 10;
  static constexpr std::size_t kClasses = 28;
  struct FreeBlock {
    FreeBlock* next;
  };

  const std::size_t max_chunk_bytes_;
  FreeBlock* free_[kClasses + 1] = {};
  std::vector<void*> chunks_;
  char* unused_ = nullptr;  // the rest of the newest chunk
  std::size_t unused_bytes_ = 0;
};

}  // namespace vantrel::host
