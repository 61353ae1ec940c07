#include "host/small_blocks.h"

#include <array>
#include <cstdlib>

namespace vantrel::host {

namespace {

constexpr std::size_t kGrain = 16;  // malloc's alignment on 64-bit Linux

// Class sizes: every 16 bytes up to 128, then four steps per doubling.
constexpr std::array<std::size_t, 29> kClassSizes = {
    0,   16,  32,  48,  64,  80,   96,   112,  128,  160,  192,  224,  256,  320, 384,
    448, 512, 640, 768, 896, 1024, 1280, 1536, 1792, 2048, 2560, 3072, 3584, 4096};

// The class of every size, in steps of the grain.
constexpr auto kClassBySize = [] {
  std::array<std::uint8_t, SmallBlocks::kLargest / kGrain + 1> table{};
  std::uint8_t size_class = 1;
  for (std::size_t step = 1; step < table.size(); ++step) {
    while (kClassSizes[size_class] < step * kGrain) ++size_class;
    table[step] = size_class;
  }
  table[0] = 1;
  return table;
}();

static_assert(kClassSizes.back() == SmallBlocks::kLargest);

// Chunks of ended heaps kept for the next heap on the same thread: handing
// them back to the C library and asking again costs page faults and, for a
// thread's own arena, a trim of its memory on every page. A few are kept.
class SpareChunks {
 public:
  static constexpr std::size_t kMax = 8;
  ~SpareChunks() {
    for (std::size_t i = 0; i < count_; ++i) std::free(chunks_[i]);
  }
  void* take() { return count_ == 0 ? nullptr : chunks_[--count_]; }
  bool keep(void* chunk) {
    if (count_ == kMax) return false;
    chunks_[count_++] = chunk;
    return true;
  }

 private:
  void* chunks_[kMax] = {};
  std::size_t count_ = 0;
};

thread_local SpareChunks spare_chunks;

}  // namespace

std::uint32_t SmallBlocks::class_of(std::size_t size) {
  return kClassBySize[(size + kGrain - 1) / kGrain];
}

std::size_t SmallBlocks::class_size(std::uint32_t size_class) { return kClassSizes[size_class]; }

SmallBlocks::~SmallBlocks() {
  for (void* chunk : chunks_) {
    if (!spare_chunks.keep(chunk)) std::free(chunk);
  }
}

void* SmallBlocks::take(std::uint32_t size_class) {
  if (FreeBlock* block = free_[size_class]; block != nullptr) {
    free_[size_class] = block->next;
    return block;
  }
  const std::size_t size = kClassSizes[size_class];
  if (unused_bytes_ < size) {
    if (chunk_bytes() + kChunkBytes > max_chunk_bytes_) return nullptr;
    void* chunk = spare_chunks.take();
    if (chunk == nullptr) chunk = std::malloc(kChunkBytes);
    if (chunk == nullptr) return nullptr;
    try {
      chunks_.push_back(chunk);
    } catch (...) {
      if (!spare_chunks.keep(chunk)) std::free(chunk);
      return nullptr;
    }
    // What was left of the previous chunk is too small for this class; it
    // stays unused until the heap ends.
    unused_ = static_cast<char*>(chunk);
    unused_bytes_ = kChunkBytes;
  }
  void* block = unused_;
  unused_ += size;
  unused_bytes_ -= size;
  return block;
}

void SmallBlocks::give_back(void* block, std::uint32_t size_class) {
  auto* freed = static_cast<FreeBlock*>(block);
  freed->next = free_[size_class];
  free_[size_class] = freed;
}

}  // namespace vantrel::host
