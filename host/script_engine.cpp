#include "host/script_engine.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using Budget = vantrel::host::ScriptHeap::Budget;

// Asked by the engine at every instruction-count interrupt.
int vantrel_engine_out_of_time(void* udata) {
  auto* budget = static_cast<Budget*>(udata);
  if (budget == nullptr || !budget->has_deadline) return 0;
  if (!budget->timed_out && std::chrono::steady_clock::now() >= budget->deadline) {
    budget->timed_out = true;
  }
  return budget->timed_out ? 1 : 0;
}

namespace vantrel::host {

namespace {

// Each block starts with its size and where it came from, padded to keep
// the engine's alignment.
struct alignas(std::max_align_t) Header {
  std::size_t size;
  std::uint32_t size_class;  // of the heap's small blocks; 0: from the system
};

// Blocks this large come straight from the system and go straight back to
// it when freed: the C library would keep them for reuse, per thread, and a
// long-running host would hold on to every page's peak.
constexpr std::size_t kDirect = std::size_t{256} << 10;

Header* obtain(SmallBlocks& small, std::size_t size) {
  if (sizeof(Header) + size <= SmallBlocks::kLargest) {
    const std::uint32_t size_class = SmallBlocks::class_of(sizeof(Header) + size);
    if (auto* header = static_cast<Header*>(small.take(size_class))) {
      header->size_class = size_class;
      return header;
    }
  }
  Header* header = nullptr;
  if (size < kDirect) {
    header = static_cast<Header*>(std::malloc(sizeof(Header) + size));
  } else {
    void* block = mmap(nullptr, sizeof(Header) + size, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    header = block == MAP_FAILED ? nullptr : static_cast<Header*>(block);
  }
  if (header != nullptr) header->size_class = 0;
  return header;
}

void give_back(SmallBlocks& small, Header* header) {
  if (header->size_class != 0) {
    small.give_back(header, header->size_class);
  } else if (header->size < kDirect) {
    std::free(header);
  } else {
    munmap(header, sizeof(Header) + header->size);
  }
}

// Moves a block to `size` bytes, keeping its contents; null when there is no
// memory (the block is then as it was). The header's size is the caller's.
Header* resize(SmallBlocks& small, Header* header, std::size_t size) {
  const std::size_t old_size = header->size;
  if (header->size_class != 0) {
    if (sizeof(Header) + size <= SmallBlocks::class_size(header->size_class)) return header;
  } else if (old_size < kDirect && size < kDirect &&
             sizeof(Header) + size > SmallBlocks::kLargest) {
    return static_cast<Header*>(std::realloc(header, sizeof(Header) + size));
  } else if (old_size >= kDirect && size >= kDirect) {
    void* moved = mremap(header, sizeof(Header) + old_size, sizeof(Header) + size, MREMAP_MAYMOVE);
    return moved == MAP_FAILED ? nullptr : static_cast<Header*>(moved);
  }
  Header* moved = obtain(small, size);
  if (moved == nullptr) return nullptr;
  std::memcpy(moved + 1, header + 1, std::min(old_size, size));
  give_back(small, header);
  return moved;
}

bool admit(Budget& budget, std::size_t more) {
  if (budget.cap != 0 && (more > budget.cap || budget.in_use > budget.cap - more)) {
    budget.refused_by_cap = true;
    return false;
  }
  return true;
}

void* allocate(void* udata, duk_size_t size) {
  auto& budget = *static_cast<Budget*>(udata);
  if (size > SIZE_MAX - sizeof(Header) || !admit(budget, size)) return nullptr;
  Header* header = obtain(*budget.small, size);
  if (header == nullptr) {
    budget.refused_by_system = true;
    return nullptr;
  }
  header->size = size;
  budget.in_use += size;
  return header + 1;
}

void release(void* udata, void* block) {
  if (block == nullptr) return;
  auto& budget = *static_cast<Budget*>(udata);
  Header* header = static_cast<Header*>(block) - 1;
  budget.in_use -= header->size;
  give_back(*budget.small, header);
}

void* reallocate(void* udata, void* block, duk_size_t size) {
  if (block == nullptr) return allocate(udata, size);
  if (size == 0) {
    release(udata, block);
    return nullptr;
  }
  auto& budget = *static_cast<Budget*>(udata);
  Header* header = static_cast<Header*>(block) - 1;
  const std::size_t old_size = header->size;
  if (size > SIZE_MAX - sizeof(Header) || (size > old_size && !admit(budget, size - old_size))) {
    return nullptr;
  }
  Header* moved = resize(*budget.small, header, size);
  if (moved == nullptr) {
    budget.refused_by_system = true;
    return nullptr;
  }
  moved->size = size;
  budget.in_use = budget.in_use - old_size + size;
  return moved + 1;
}

[[noreturn]] void engine_failed(void*, const char* message) {
  std::fprintf(stderr, "vantrel: the script engine failed: %s\n", message);
  std::abort();
}

}  // namespace

ScriptHeap::ScriptHeap(std::chrono::milliseconds timeout, std::size_t memory_bytes)
    : small_(memory_bytes != 0 ? memory_bytes : kSmallBlocksUncapped) {
  budget_.small = &small_;
  budget_.cap = memory_bytes;
  if (timeout.count() > 0) {
    budget_.has_deadline = true;
    budget_.deadline = std::chrono::steady_clock::now() + timeout;
  }
  ctx_ = duk_create_heap(&allocate, &reallocate, &release, &budget_, &engine_failed);
}

ScriptHeap::~ScriptHeap() {
  if (ctx_ != nullptr) duk_destroy_heap(ctx_);
}

bool ScriptHeap::admit_outside(std::size_t held, std::size_t more) {
  if (budget_.cap == 0) return true;
  if (held > budget_.cap || more > budget_.cap - held || !admit(budget_, held + more)) {
    budget_.refused_by_cap = true;
    return false;
  }
  return true;
}

namespace {

// The budget of a heap made by ScriptHeap, found through the engine's
// allocator data; nullptr for any other heap.
Budget* budget_of(duk_context* ctx) {
  duk_memory_functions functions{};
  duk_get_memory_functions(ctx, &functions);
  if (functions.alloc_func != &allocate) return nullptr;
  return static_cast<Budget*>(functions.udata);
}

}  // namespace

void set_deadline(duk_context* ctx, std::chrono::steady_clock::time_point deadline) {
  Budget* budget = budget_of(ctx);
  if (budget != nullptr && budget->has_deadline) budget->deadline = deadline;
}

HostData* host_data(duk_context* ctx) {
  Budget* budget = budget_of(ctx);
  return budget != nullptr ? &budget->host : nullptr;
}

void note_out_of_memory(duk_context* ctx) {
  if (Budget* budget = budget_of(ctx)) budget->refused_by_system = true;
}

}  // namespace vantrel::host
