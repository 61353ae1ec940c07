#include "host/class_numbers.h"

#include <array>
#include <atomic>
#include <mutex>

namespace vantrel::host {

namespace {

constexpr int kNumbers = 256;

// Read without a lock: a class is written before the count that covers it.
std::array<std::atomic<const ClassDescriptor*>, kNumbers> classes{};
std::atomic<int> numbered{0};
std::mutex numbering;

int find(const ClassDescriptor& cls, int from, int to) {
  for (int i = from; i < to; ++i) {
    if (classes[static_cast<std::size_t>(i)].load(std::memory_order_relaxed) == &cls) return i;
  }
  return kNoClassNumber;
}

}  // namespace

int class_number(const ClassDescriptor& cls) {
  const int seen = numbered.load(std::memory_order_acquire);
  if (const int number = find(cls, 0, seen); number != kNoClassNumber) return number;
  const std::lock_guard lock(numbering);
  const int count = numbered.load(std::memory_order_relaxed);
  if (const int number = find(cls, seen, count); number != kNoClassNumber) return number;
  if (count == kNumbers) return kNoClassNumber;
  classes[static_cast<std::size_t>(count)].store(&cls, std::memory_order_relaxed);
  numbered.store(count + 1, std::memory_order_release);
  return count;
}

const ClassDescriptor* numbered_class(int number) {
  if (number < 0 || number >= numbered.load(std::memory_order_acquire)) return nullptr;
  return classes[static_cast<std::size_t>(number)].load(std::memory_order_relaxed);
}

}  // namespace vantrel::host
